// Saving never loses a patch: the old file survives every failure, and the save prompt.
#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "patch/save_patch.h"
#include "patch_files.h"

namespace {

std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Save : public PatchTest {
  protected:
    void SetUp() override {
        PatchTest::SetUp();
        load("VCO_1;TYPE=3;FREQ=220.5; VCO_2;TYPE=2; MIXER_4;; END_OBJECTS_DECLARE BEGIN_LINKS_DECLARE "
             "MIXER_4;ADD_CHANELL=VCO_1;ADD_CHANELL=VCO_2;");
    }
    // save_patch_to with its console report captured.
    bool save(const std::string& path, std::string* report = nullptr) {
        ::testing::internal::CaptureStdout();
        bool ok = save_patch_to(graph_.get(), path.c_str());
        std::string out = ::testing::internal::GetCapturedStdout();
        if (report != nullptr) *report = out;
        return ok;
    }
};

TEST_F(Save, ReplacesTheFileAndLeavesNothingBeside) {
    std::string target = dir_.write("song.KVX", "old patch");
    chmod(target.c_str(), 0640);
    ASSERT_TRUE(save(target));
    std::string text = read_text(target);
    EXPECT_EQ(0u, text.find("BEGIN_OBJECTS_DECLARE\n"));
    EXPECT_NE(std::string::npos, text.find("MIXER_4;ADD_CHANELL=VCO_1;ADD_CHANELL=VCO_2;\n"));
    EXPECT_EQ((std::vector<std::string>{"patch.KVX", "song.KVX"}), entries(dir_.path()));
    struct stat st;
    ASSERT_EQ(0, stat(target.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777u); // the replaced file's permissions are kept
}

TEST_F(Save, WriteFailingMidwayKeepsTheOldFile) {
    std::string target = dir_.write("song.KVX", "old patch");
    // A file size limit makes the writes fail part of the way, as a full disk would.
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    std::string report;
    bool ok = save(target, &report);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(ok);
    EXPECT_EQ("old patch", read_text(target));
    EXPECT_EQ(0u, report.find("Impossible de sauver [" + target + "] : ")) << report;
    EXPECT_EQ((std::vector<std::string>{"patch.KVX", "song.KVX"}), entries(dir_.path()));
}

TEST_F(Save, NamesThatCannotBeWrittenChangeNothing) {
    std::string folder = dir_.file("folder.KVX");
    ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
    std::string report;
    EXPECT_FALSE(save(folder, &report));
    EXPECT_NE(std::string::npos, report.find(folder));
    EXPECT_TRUE(entries(folder).empty());
    EXPECT_FALSE(save(dir_.file("missing/song.KVX")));
    EXPECT_FALSE(save(""));
    EXPECT_EQ((std::vector<std::string>{"folder.KVX", "patch.KVX"}), entries(dir_.path()));

    // Folder permissions do not bind the super-user, so the locked folder is checked only for others.
    if (geteuid() == 0) return;
    std::string locked = dir_.file("locked");
    ASSERT_EQ(0, mkdir(locked.c_str(), 0755));
    std::ofstream(locked + "/song.KVX") << "old patch";
    chmod(locked.c_str(), 0555);
    EXPECT_FALSE(save(locked + "/song.KVX"));
    EXPECT_EQ("old patch", read_text(locked + "/song.KVX"));
}

TEST_F(Save, SymbolicLinkKeepsPointingAtTheSavedFile) {
    std::string real = dir_.write("real.KVX", "old patch");
    std::string link = dir_.file("link.KVX");
    ASSERT_EQ(0, symlink(real.c_str(), link.c_str()));
    ASSERT_TRUE(save(link));
    struct stat st;
    ASSERT_EQ(0, lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(0u, read_text(real).find("BEGIN_OBJECTS_DECLARE"));
}

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
    std::vector<std::string> before = entries(dir_.path());
    prompt_with("", dir_.path() + "/", graph_.get());
    EXPECT_EQ(before, entries(dir_.path()));
}

} // namespace
