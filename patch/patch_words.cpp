// Reading patch words: the word grammar, the fatal-error hook and the shared messages.
#include "patch_words.h"

#include <cstdarg>
#include <cstdlib>

#include "patch_keys.h"

int word_number = 0;

void (*patch_caption_hook)(const char* path) = nullptr;

namespace {

void exit_with(int status) {
    std::exit(status);
}

// The blanks of scanf "%s": blank, tab, line feed, vertical tab, form feed, carriage return.
bool is_blank(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

void (*patch_fatal_hook)(int status) = exit_with;

namespace patch_read {

void fatal() {
    patch_fatal_hook(-1);
    throw STOP_READING{};
}

READ_PLACE read_place;

void restart_lines() {
    read_place.line = 1;
    read_place.word_line = 0;
}

FILE_HANDLE open_patch(const char* path) {
    if (patch_caption_hook != nullptr) patch_caption_hook(path);
    read_place.path = path != nullptr ? path : "";
    restart_lines();
    return FILE_HANDLE(std::fopen(path, "r"));
}

WORD_READ read_word(FILE* f, std::string& word) {
    word.clear();
    int c;
    for (c = std::getc(f); c != EOF && is_blank(c); c = std::getc(f))
        if (c == '\n') ++read_place.line;
    if (c == EOF) return WORD_READ::END;
    read_place.word_line = read_place.line;
    bool too_long = false;
    for (; c != EOF && !is_blank(c); c = std::getc(f)) {
        if (word.size() < PATCH_WORD_MAX)
            word.push_back(static_cast<char>(c));
        else
            too_long = true;
    }
    // The blank that ended the word is read too.
    if (c == '\n') ++read_place.line;
    return too_long ? WORD_READ::TOO_LONG : WORD_READ::WORD;
}

void read_section(FILE* f, const SECTION& section, const std::function<void(const std::string&)>& declare) {
    word_number = 0;
    begin_messages();
    bool started = section.reads_before_begin;
    std::string word;
    try {
        for (;;) {
            WORD_READ r = read_word(f, word);
            if (r == WORD_READ::END) break;
            ++word_number;
            if (r == WORD_READ::TOO_LONG) {
                if (started) report_too_long();
                continue;
            }
            if (word == section.begin) {
                started = true;
                continue;
            }
            if (word == section.end) break;
            if (word[0] == '#' || !started) continue;
            declare(word);
        }
    } catch (const STOP_READING&) {
    } catch (...) {
        end_messages();
        throw;
    }
    end_messages();
}

bool split_declaration(const std::string& word, std::vector<std::string_view>& fields) {
    SPLITTER split{';', word.c_str()};
    if (split.separator_count() < 2) {
        report_short_word();
        return false;
    }
    fields = split.fields();
    return !fields[0].empty();
}

namespace {

int message_counts[MSG_KIND_COUNT] = {};

// What the left-out messages of each kind were about.
const char* const MESSAGE_TOPICS[MSG_KIND_COUNT] = {
    "mots de moins de 2 parametres",
    "mots trop longs",
    "valeurs refusees",
    "modules absents",
    "cles inconnues",
};

} // namespace

void begin_messages() {
    for (int& n : message_counts)
        n = 0;
}

void report(MESSAGE_KIND kind, const char* format, ...) {
    if (++message_counts[kind] > MESSAGES_PER_KIND) return;
    std::printf("%s:%d: ", read_place.path.c_str(), read_place.word_line);
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

void end_messages() {
    for (int k = 0; k < MSG_KIND_COUNT; ++k) {
        const int skipped = message_counts[k] - MESSAGES_PER_KIND;
        if (skipped > 0)
            std::printf("... %d messages de plus non affiches (%s)\n", skipped, MESSAGE_TOPICS[k]);
    }
    begin_messages();
}

void report_too_long() {
    report(MSG_TOO_LONG, "mot de plus de %zu caracteres ignore\n", PATCH_WORD_MAX);
}

void report_short_word() {
    report(MSG_SHORT_WORD, "Ligne %d semble avoir moins de 2 parametres\n", word_number);
}

void report_empty_field() {
    std::printf("%s:%d: Erreur, au niveau des parametre ligne [%d]\n", read_place.path.c_str(),
                read_place.word_line, word_number);
}

} // namespace patch_read
