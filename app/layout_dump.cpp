// F2's layout file, written whole or not at all.
#include "app/layout_dump.h"

#include <cstdio>

#include "app/patch_folders.h"
#include "patch/save_patch.h"
#include "toolkit/layout.h"
#include "toolkit/objet.h"

bool write_layout_file(OBJET& panel, const char* path) {
    return save_file_to(path, [&panel](FILE* f) { return write_layout(panel, f) == 1; });
}

void dump_layouts(std::vector<OBJET*>& list) {
    for (size_t j = 0; j < list.size(); ++j)
        std::printf("*[%d]****************************\n", static_cast<int>(j));
    if (!list.empty()) write_layout_file(*list.back(), user_file_for_writing("RC/LOL.RC").c_str());
    std::fflush(stdout);
}
