// The patch checker: finds what makes the readers skip, misread, refuse or silently ignore a
// declaration, and wiring that cannot sound. It tests keys and ports with the readers' tables.
#pragma once
#include <string>
#include <vector>

struct CHECK_FINDING {
    int word;         // the readers' word number (1 = first word of the file), 0 = whole patch
    std::string text; // what is wrong, with the word quoted
    int line = 0;     // the line the word starts on (1 = first line), 0 = whole patch
};

// Checks the text of a patch. Sampler files are looked for as the reader does, beside the patch
// at patch_path first, then as written; relative paths are taken from base_dir (the folder the
// program is started from). An empty base_dir skips that check.
std::vector<CHECK_FINDING> check_patch_text(const std::string& text, const std::string& base_dir,
                                            const std::string& patch_path = "");

// The words of a text as the readers see them: maximal runs of non-white-space characters.
std::vector<std::string> patch_words(const std::string& text);
// The line each of those words starts on, counted from 1.
std::vector<int> patch_word_lines(const std::string& text);

// The fields of a word split at ';' or '=', empty fields included ("A;;B" gives A, "", B).
std::vector<std::string> split_fields(const std::string& word, char separator);

// `tessaro --check PATCH...`: checks each file and prints one line per problem, "PATH:LINE: what"
// ("PATH: what" for the whole patch). Returns 0 when every file is clean, 1 otherwise (a file
// that cannot be read is a problem too).
int check_patches(int count, char** paths);
