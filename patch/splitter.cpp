// SPLITTER: field counting and extraction over a separator character.
#include "splitter.h"

#include <cstring>

int SPLITTER::separator_count() const {
    if (text == nullptr || separator == '\0') return 0;
    int n = 0;
    for (const char* p = text; *p != '\0'; ++p)
        if (*p == separator) ++n;
    return n;
}

std::unique_ptr<char[]> SPLITTER::field_at(int i) const {
    if (text == nullptr || i < 0) return nullptr;
    if (separator == '\0' && i > 0) return nullptr;
    const char* p = text;
    for (int skipped = 0; skipped < i; ++skipped) {
        p = std::strchr(p, separator);
        if (p == nullptr) return nullptr;
        ++p;
    }
    if (*p == '\0' || *p == separator) return nullptr;
    const char* end = std::strchr(p, separator);
    size_t length = end != nullptr ? static_cast<size_t>(end - p) : std::strlen(p);
    std::unique_ptr<char[]> copy(new char[length + 1]);
    std::memcpy(copy.get(), p, length);
    copy[length] = '\0';
    return copy;
}

std::vector<std::string_view> SPLITTER::fields() const {
    std::vector<std::string_view> out;
    if (text == nullptr) {
        out.emplace_back();
        return out;
    }
    const char* start = text;
    for (const char* p = text;; ++p) {
        if (*p == separator || *p == '\0') {
            out.emplace_back(start, static_cast<size_t>(p - start));
            if (*p == '\0') break;
            start = p + 1;
        }
    }
    return out;
}
