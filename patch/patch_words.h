// Reading patch words: the word grammar, fields and the messages both section readers share.
#pragma once
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "patch_reader.h"
#include "splitter.h"

namespace patch_read {

// Raised after the fatal hook when the hook returns instead of ending the process: reading
// stops there.
struct STOP_READING {};

// A fatal patch error: the hook, then STOP_READING.
[[noreturn]] void fatal();

struct FILE_CLOSER {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FILE_HANDLE = std::unique_ptr<FILE, FILE_CLOSER>;

// Where reading stands: the patch's path and the line (from 1) the last word read starts on.
// Warnings begin with "PATH:LINE: ", the place editors jump to.
struct READ_PLACE {
    std::string path;
    int line = 1;      // the line reading has reached
    int word_line = 0; // the line the last word read starts on
};
extern READ_PLACE read_place;

// Counts lines from the top of the file again, after a rewind.
void restart_lines();

// Announces the path to the caption hook and opens the file in text mode; lines are counted
// from its top.
FILE_HANDLE open_patch(const char* path);

enum class WORD_READ { WORD, TOO_LONG, END };

// Reads the next word. A word longer than PATCH_WORD_MAX is consumed whole and reported as
// too long, so the next read starts after it.
WORD_READ read_word(FILE* f, std::string& word);

// The words that open and close a section, and whether the words before the opening one
// belong to it: the objects section reads from the first word, so its opening word may be
// left out; the links section ignores everything before its opening word.
struct SECTION {
    const char* begin;
    const char* end;
    bool reads_before_begin;
};

// Reads the file from its first word and hands every declaration word of the section to
// declare, counting every word read in word_number: markers, comments and words outside the
// section are passed over, a too long word inside it is reported. Reading ends at the closing
// word, the end of the file or a fatal error whose hook returned; the section's messages are
// ended on every way out, an exception from declare included.
void read_section(FILE* f, const SECTION& section, const std::function<void(const std::string&)>& declare);

// Splits a declaration word at ";" into fields. False (after reporting a word with fewer than
// two ";") when it is no declaration, or silently when its name is empty.
bool split_declaration(const std::string& word, std::vector<std::string_view>& fields);

// Messages that a reader may print once per word come in kinds; after MESSAGES_PER_KIND of one
// kind in a section the rest are only counted, so a file that is no patch at all (a program,
// an image) gives a screenful instead of one line per word.
enum MESSAGE_KIND {
    MSG_SHORT_WORD,
    MSG_TOO_LONG,
    MSG_BAD_VALUE,
    MSG_NO_MODULE,
    MSG_UNKNOWN_KEY,
    MSG_KIND_COUNT
};
constexpr int MESSAGES_PER_KIND = 20;

// Starts a section: no message counted yet.
void begin_messages();
// Prints a message of the kind after the place of the last word read ("PATH:LINE: "), or only
// counts it once its kind has used its share.
void report(MESSAGE_KIND kind, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Ends a section: one line per kind saying how many of its messages were left out.
void end_messages();

void report_too_long();
void report_short_word();
void report_empty_field();

// One parameter field: the whole text, the key (text before the first "=") and the value
// (text after it up to the next "="); key and value are null when empty.
struct PARAM {
    std::string field;
    std::unique_ptr<char[]> key;
    std::unique_ptr<char[]> value;

    explicit PARAM(std::string_view text) : field(text) {
        SPLITTER at_equal{'=', field.c_str()};
        key = at_equal.field_at(0);
        value = at_equal.field_at(1);
    }
    bool has(const char* key_text) const { return std::strstr(field.c_str(), key_text) != nullptr; }
};

inline bool contains(std::string_view text, const char* keyword) {
    return text.find(keyword) != std::string_view::npos;
}

// Calls apply on every parameter field (1 to n - 1) of a declaration. An empty field ends the
// process for the kinds that treat it as an error and is skipped by the others.
template <class APPLY>
void for_each_param(const std::vector<std::string_view>& fields, bool empty_is_fatal, APPLY apply) {
    for (size_t i = 1; i + 1 < fields.size(); ++i) {
        if (fields[i].empty()) {
            if (!empty_is_fatal) continue;
            report_empty_field();
            fatal();
        }
        PARAM p(fields[i]);
        apply(p);
    }
}

} // namespace patch_read
