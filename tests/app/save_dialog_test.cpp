// The console save dialog: the name typed at the prompt, its path and the names it refuses.
#include <algorithm>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/save_dialog.h"
#include "tests/patch/patch_files.h"

namespace {

class Save : public PatchTest {
  protected:
    void SetUp() override {
        PatchTest::SetUp();
        load("VCO_1;TYPE=3;FREQ=220.5; VCO_2;TYPE=2; MIXER_4;; END_OBJECTS_DECLARE BEGIN_LINKS_DECLARE "
             "MIXER_4;ADD_CHANELL=VCO_1;ADD_CHANELL=VCO_2;");
    }
};

TEST(SavePath, PrefixAndNameCutTo79Characters) {
    EXPECT_EQ("KVX/song.KVX", save_path_for("KVX/", "song.KVX"));
    EXPECT_EQ("song.KVX", save_path_for("", "song.KVX"));
    std::string typed(100, 'n');
    EXPECT_EQ("KVX/" + std::string(79, 'n'), save_path_for("KVX/", typed.c_str()));
}

// Runs the save prompt with the given console input.
std::string prompt_with(const std::string& input, const std::string& prefix, const GENERATOR* g) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return "";
    if (write(pipe_fds[1], input.data(), input.size()) != static_cast<ssize_t>(input.size())) return "";
    close(pipe_fds[1]);
    int saved_stdin = dup(STDIN_FILENO);
    dup2(pipe_fds[0], STDIN_FILENO);
    close(pipe_fds[0]);
    ::testing::internal::CaptureStdout();
    save_patch(prefix.c_str(), g);
    std::string out = ::testing::internal::GetCapturedStdout();
    dup2(saved_stdin, STDIN_FILENO);
    close(saved_stdin);
    return out;
}

TEST_F(Save, PromptAsksForANameAndSavesBelowThePrefix) {
    std::string out = prompt_with("  first.KVX second\n", dir_.path() + "/", graph_.get());
    EXPECT_NE(std::string::npos, out.find("Save - Entrez le nom du fichier :"));
    EXPECT_NE(std::string::npos, out.find("patch.KVX")); // the folder is listed first
    EXPECT_EQ(0u, read_text(dir_.file("first.KVX")).find("BEGIN_OBJECTS_DECLARE"));

    std::string long_name(120, 'x');
    prompt_with(long_name + "\n", dir_.path() + "/", graph_.get());
    EXPECT_EQ(0u, read_text(dir_.file(std::string(79, 'x'))).find("BEGIN_OBJECTS_DECLARE"));

    // No name at all saves nothing.
    std::vector<std::string> before = folder_names(dir_.path());
    prompt_with("", dir_.path() + "/", graph_.get());
    EXPECT_EQ(before, folder_names(dir_.path()));
}

TEST(SaveName, OnlyNamesOfTheFolderItself) {
    EXPECT_TRUE(save_name_allowed("song.KVX"));
    EXPECT_TRUE(save_name_allowed("..song.KVX"));
    EXPECT_FALSE(save_name_allowed("../../x.KVX"));
    EXPECT_FALSE(save_name_allowed("sub/song.KVX"));
    EXPECT_FALSE(save_name_allowed("/tmp/song.KVX"));
    EXPECT_FALSE(save_name_allowed("..\\song.KVX"));
    EXPECT_FALSE(save_name_allowed(".."));
    EXPECT_FALSE(save_name_allowed("."));
    EXPECT_FALSE(save_name_allowed(""));
}

TEST_F(Save, PromptRefusesANameThatLeavesTheFolder) {
    const std::string inner = dir_.file("KVX");
    ASSERT_EQ(0, mkdir(inner.c_str(), 0755));
    std::vector<std::string> before = folder_names(dir_.path());
    std::string out = prompt_with("../escaped.KVX\n", inner + "/", graph_.get());
    EXPECT_NE(std::string::npos, out.find("Nom refuse [../escaped.KVX]")) << out;
    EXPECT_EQ(before, folder_names(dir_.path()));
    EXPECT_TRUE(folder_names(inner).empty());
}

} // namespace
