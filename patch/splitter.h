// SPLITTER: cuts a text into fields at one separator character (";" for declarations, "="
// for key and value, "=" for remote commands).
#pragma once
#include <memory>
#include <string_view>
#include <vector>

struct SPLITTER {
    char separator;
    const char* text; // not copied: it must outlive the splitter

    // Number of separator characters in the text (0 for an empty or null text).
    int separator_count() const;
    // Field i: the characters between the i-th separator (or the start) and the next one (or
    // the end). Null when the field is empty or lies past the end of the text; otherwise a
    // fresh zero-terminated copy owned by the caller.
    std::unique_ptr<char[]> field_at(int i) const;
    // Every field 0..separator_count() at once, as views into the text (an empty view where
    // field_at gives null). Reading a long word field by field through field_at would scan it
    // once per field.
    std::vector<std::string_view> fields() const;
};
