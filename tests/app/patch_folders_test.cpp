// Where the data and the user's patches are found, whatever folder the program starts in.
#include "app/patch_folders.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "patch/save_patch.h"
#include "platform/data_dir.h"
#include "tests/support/scratch.h"

TEST(DataFolders, DataThenUserFoldersInTheirOrder) {
    using LIST = std::vector<std::string>;
    EXPECT_EQ(data_dir_candidates("/opt/t/bin/tessaro", "/usr/local/share/tessaro"),
              (LIST{".", "/opt/t/share/tessaro", "/usr/local/share/tessaro"}));
    EXPECT_EQ(data_dir_candidates("/usr/bin/tessaro", "/usr/share/tessaro"), (LIST{".", "/usr/share/tessaro"}));
    SCRATCH_DIR a("data_a"), b("data_b");
    ASSERT_TRUE(make_folders(b.file("grfx")));
    b.write("grfx/opengl.zim", "");
    EXPECT_EQ(first_data_dir({a.path(), b.path()}), b.path());
    EXPECT_EQ(first_data_dir({a.path()}), "");
    EXPECT_NE(missing_data_line({".", a.path()}).find("none of the current folder and " + a.path()), std::string::npos);

    EXPECT_EQ(user_data_dir("/x/data", "/home/u"), "/x/data/tessaro");
    EXPECT_EQ(user_data_dir("relative", "/home/u"), "/home/u/.local/share/tessaro");
    EXPECT_EQ(user_data_dir(nullptr, nullptr), "");
}

TEST(DataFolders, ChooserAndCommandLineFindTheUsersPatchesBeforeTheExamples) {
    SCRATCH_DIR user("user_kvx"), examples("example_kvx");
    for (const char* n : {"MINE.KVX", "PAD.KVX"}) user.write(n, "");
    for (const char* n : {"PAD.KVX", "DRUMS.KVX", "notes.txt"}) examples.write(n, "");
    const std::vector<PATCH_CHOICE> c = patch_choices(user.path(), examples.path());
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].path, user.file("PAD.KVX"));
    EXPECT_EQ(c[1].path, user.file("MINE.KVX"));
    EXPECT_EQ(c[2].path, examples.file("DRUMS.KVX"));
    EXPECT_EQ(patch_choices(user.path(), user.path()).size(), 2u);
    // Recovery copies follow the user's own patches.
    mkdir(user.file("recovery").c_str(), 0777);
    user.write("recovery/PAD.KVX", "");
    const std::vector<PATCH_CHOICE> kept = patch_choices(user.path(), examples.path());
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[2].name, "recovery/PAD.KVX");
    EXPECT_EQ(kept[2].path, user.file("recovery/PAD.KVX"));

    EXPECT_EQ(located_patch("DRUMS.KVX", user.path(), examples.path()), examples.file("DRUMS.KVX"));
    EXPECT_EQ(located_patch("PAD.KVX", user.path(), examples.path()), user.file("PAD.KVX"));
    EXPECT_EQ(located_patch("x/DRUMS.KVX", user.path(), examples.path()), "x/DRUMS.KVX");
}

TEST(DataFolders, WrittenFilesGetOrdinaryPermissions) {
    SCRATCH_DIR d("modes");
    const mode_t old = umask(027);
    EXPECT_EQ(replacement_mode(d.file("new.wav").c_str()), 0640u);
    umask(old);
    const std::string kept = d.write("kept.wav", "");
    chmod(kept.c_str(), 0604);
    EXPECT_EQ(replacement_mode(kept.c_str()), 0604u);
}
