// A checker for hand-written patches: flags the word-grammar pitfalls that make the readers
// skip, misread or silently ignore a declaration, and wiring that cannot sound.
#pragma once
#include <string>
#include <vector>

struct LintFinding {
    int word;         // the readers' word number (1 = first word of the file), 0 = whole patch
    std::string text; // what is wrong, with the word quoted
};

// Checks the text of a patch. Sampler files are looked for relative to base_dir (the folder the
// program is started from); an empty base_dir skips that check.
std::vector<LintFinding> lint_patch(const std::string& text, const std::string& base_dir);

// The words of a text as the readers see them: maximal runs of non-white-space characters.
std::vector<std::string> patch_words(const std::string& text);

// The fields of a word split at ';' or '=', empty fields included ("A;;B" gives A, "", B).
std::vector<std::string> split_fields(const std::string& word, char separator);
