// Saving never loses a patch: the old file survives every failure; killed saves are cleaned up.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "patch/save_patch.h"
#include "patch_files.h"

namespace {

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
    EXPECT_EQ((std::vector<std::string>{"patch.KVX", "song.KVX"}), folder_names(dir_.path()));
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
    EXPECT_EQ((std::vector<std::string>{"patch.KVX", "song.KVX"}), folder_names(dir_.path()));
}

TEST_F(Save, NamesThatCannotBeWrittenChangeNothing) {
    std::string folder = dir_.file("folder.KVX");
    ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
    std::string report;
    EXPECT_FALSE(save(folder, &report));
    EXPECT_NE(std::string::npos, report.find(folder));
    EXPECT_TRUE(folder_names(folder).empty());
    EXPECT_FALSE(save(dir_.file("missing/song.KVX")));
    EXPECT_FALSE(save(""));
    EXPECT_EQ((std::vector<std::string>{"folder.KVX", "patch.KVX"}), folder_names(dir_.path()));

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

// What the disk held when the new file was flushed, for the order of flush and rename.
std::string path_at_sync;
std::string content_at_sync;
int syncs = 0;

int recording_sync(int fd) {
    ++syncs;
    content_at_sync = read_text(path_at_sync);
    return fsync(fd);
}

TEST_F(Save, NewFileReachesTheDiskBeforeItReplacesTheOld) {
    std::string target = dir_.write("song.KVX", "old patch");
    path_at_sync = target;
    syncs = 0;
    int (*saved)(int) = save_sync_hook;
    save_sync_hook = recording_sync;
    bool ok = save(target);
    save_sync_hook = saved;
    ASSERT_TRUE(ok);
    // Flushed once, while the old file was still the one under the name.
    EXPECT_EQ(1, syncs);
    EXPECT_EQ("old patch", content_at_sync);
    EXPECT_EQ(0u, read_text(target).find("BEGIN_OBJECTS_DECLARE"));
}

TEST_F(Save, FailedFlushKeepsTheOldFile) {
    std::string target = dir_.write("song.KVX", "old patch");
    int (*saved)(int) = save_sync_hook;
    save_sync_hook = [](int) {
        errno = EIO;
        return -1;
    };
    bool ok = save(target);
    save_sync_hook = saved;
    EXPECT_FALSE(ok);
    EXPECT_EQ("old patch", read_text(target));
    EXPECT_EQ((std::vector<std::string>{"patch.KVX", "song.KVX"}), folder_names(dir_.path()));
}

// Gives a file a modification time seconds_ago in the past.
void age(const std::string& path, int seconds_ago) {
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds_ago;
    times[1] = times[0];
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

TEST(TemporaryNames, SavesAndRendersOnly) {
    EXPECT_TRUE(is_temporary_name(".tessaro-save.1234.0"));
    EXPECT_TRUE(is_temporary_name("out.wav.partial-a1B2c3"));
    EXPECT_TRUE(is_temporary_name("a.partial-b.wav.partial-XXXXXX"));
    EXPECT_FALSE(is_temporary_name("song.KVX"));
    EXPECT_FALSE(is_temporary_name("out.wav.partial-abc"));
    EXPECT_FALSE(is_temporary_name("out.partial-notes.wav"));
    EXPECT_FALSE(is_temporary_name(".partial-abcdef"));
    EXPECT_FALSE(is_temporary_name("tessaro-save.1"));
}

TEST_F(Save, StaleTemporariesGoWithTheNextSaveIntoTheirFolder) {
    std::string old_save = dir_.write(".tessaro-save.99.0", "half");
    std::string old_render = dir_.write("take.wav.partial-Ab12Cd", "half");
    std::string fresh_save = dir_.write(".tessaro-save.98.0", "running");
    std::string kept = dir_.write("notes.txt", "mine");
    std::string old_folder = dir_.file(".tessaro-save.97.0");
    ASSERT_EQ(0, mkdir(old_folder.c_str(), 0755));
    age(old_save, 120);
    age(old_render, 61 + 5);
    age(fresh_save, 10);
    age(kept, 3600);
    age(old_folder, 3600);
    ASSERT_TRUE(save(dir_.file("song.KVX")));
    // The young temporary may belong to a save still running; a folder is never a temporary.
    EXPECT_EQ((std::vector<std::string>{".tessaro-save.97.0", ".tessaro-save.98.0", "notes.txt", "patch.KVX",
                                        "song.KVX"}),
              folder_names(dir_.path()));
}

} // namespace
