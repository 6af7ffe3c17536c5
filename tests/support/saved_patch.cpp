// Values read back out of the text of a patch the program saved.
#include "tests/support/saved_patch.h"

#include <regex>

#include "tests/support/scratch.h"
#include "tests/support/wait.h"

double saved_value(const std::string& patch, const std::string& name, const std::string& key) {
    const std::regex line("(^|\\n)" + name + ";[^\\n]*?" + key + "=(-?[0-9.]+)");
    std::smatch m;
    return std::regex_search(patch, m, line) ? std::stod(m[2]) : -1;
}

std::string whole_patch(const std::string& path) {
    std::string text;
    wait_until([&] {
        text = read_text(path);
        return text.find("END_LINKS_DECLARE") != std::string::npos;
    });
    return text;
}
