// Checks patch files for grammar pitfalls and dead wiring: tessaro_patchlint [--base DIR] FILE...
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "patch_lint.h"

int main(int argc, char** argv) {
    std::string base = ".";
    int status = 0, files = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--base") == 0 && i + 1 < argc) {
            base = argv[++i];
            continue;
        }
        ++files;
        std::ifstream in(argv[i]);
        if (!in) {
            std::fprintf(stderr, "%s: cannot be read\n", argv[i]);
            status = 2;
            continue;
        }
        std::stringstream text;
        text << in.rdbuf();
        for (const LintFinding& f : lint_patch(text.str(), base)) {
            std::printf("%s: word %d: %s\n", argv[i], f.word, f.text.c_str());
            if (status == 0) status = 1;
        }
    }
    if (files == 0) {
        std::fprintf(stderr, "usage: tessaro_patchlint [--base DIR] FILE...\n");
        return 2;
    }
    return status;
}
