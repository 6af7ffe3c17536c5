// F2's layout file: a failed write leaves the last layout whole and says so; a good one
// replaces it.
#include <gtest/gtest.h>

#include <cerrno>

#include "app/layout_dump.h"
#include "patch/save_patch.h"
#include "tests/support/scratch.h"
#include "toolkit/objet.h"

TEST(LayoutFile, WrittenLikeASaveAndFailuresSaid) {
    SCRATCH_DIR dir("layout");
    const std::string path = dir.write("LOL.RC", "SPRITE\tOLD\n");
    OBJET panel(0, 0, "7");
    struct CASE {
        int (*sync)(int);
        bool written;
        const char* file_after;
        const char* said;
    };
    const CASE cases[] = {
        {[](int) {
             errno = ENOSPC;
             return -1;
         },
         false, "SPRITE\tOLD\n", "Impossible de sauver ["},
        {[](int) { return 0; }, true, "", ""},
    };
    for (const CASE& c : cases) {
        save_sync_hook = c.sync;
        testing::internal::CaptureStdout();
        EXPECT_EQ(write_layout_file(panel, path.c_str()), c.written);
        const std::string out = testing::internal::GetCapturedStdout();
        save_sync_hook = fsync;
        EXPECT_EQ(read_text(path), c.file_after);
        EXPECT_NE(out.find(c.said), std::string::npos) << out;
        EXPECT_EQ(folder_names(dir.path()).size(), 1u) << "no temporary file is left";
    }
}
