// Console services: keys and words from a pipe, the end of input, raw terminal mode put back
// on exit and on a signal, and the folder listing.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "platform/console.h"
#include "tests/support/wait.h"

namespace {

// Puts a pipe in place of standard input for the life of the object.
class PIPED_STDIN {
  public:
    PIPED_STDIN() {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        saved_ = dup(STDIN_FILENO);
        dup2(fds[0], STDIN_FILENO);
        close(fds[0]);
        writer_ = fds[1];
    }
    ~PIPED_STDIN() {
        end();
        dup2(saved_, STDIN_FILENO);
        close(saved_);
    }
    void send(const std::string& s) { EXPECT_EQ(write(writer_, s.data(), s.size()), (ssize_t)s.size()); }
    void end() {
        if (writer_ >= 0) close(writer_);
        writer_ = -1;
    }

  private:
    int saved_ = -1;
    int writer_ = -1;
};

// A pseudo-terminal whose slave side a child process uses as its standard input.
struct PTY {
    PTY() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        grantpt(master);
        unlockpt(master);
        slave = open(ptsname(master), O_RDWR | O_NOCTTY);
        EXPECT_GE(slave, 0);
    }
    ~PTY() {
        close(slave);
        close(master);
    }
    tcflag_t lflag() const {
        struct termios t;
        tcgetattr(slave, &t);
        return t.c_lflag;
    }
    bool wait_raw() const {
        return wait_until([this] { return !(lflag() & ICANON); }, PATIENCE_MS, 5);
    }
    int master = -1, slave = -1;
};

// Forks a child reading one key from the terminal; its key goes to `report`.
pid_t child_reading_key(const PTY& pty, int report) {
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pty.slave, STDIN_FILENO);
        char key = static_cast<char>(console_getch());
        if (write(report, &key, 1) != 1) _exit(3);
        std::exit(0); // the normal exit path: atexit handlers run
    }
    return pid;
}

} // namespace

TEST(Console, KeysFromAPipeAndEndOfInputAsEsc) {
    PIPED_STDIN in;
    in.send("4\x1b"
            "1");
    EXPECT_EQ(console_getch(), '4');
    EXPECT_EQ(console_getch(), 27);
    EXPECT_EQ(console_getch(), '1');
    in.end();
    EXPECT_EQ(console_getch(), 27);
    EXPECT_EQ(console_getch(), 27); // and again: never waits once input has ended
}

TEST(Console, KeyReadySeesWaitingKeysAndTheEnd) {
    PIPED_STDIN in;
    EXPECT_EQ(console_key_ready(), 0);
    in.send("a");
    EXPECT_EQ(console_key_ready(), 1);
    EXPECT_EQ(console_getch(), 'a');
    EXPECT_EQ(console_key_ready(), 0);
    in.end();
    EXPECT_EQ(console_key_ready(), 1);
    EXPECT_EQ(console_getch(), 27);
}

TEST(Console, WordsAreBlankDelimitedAndCutToTheBuffer) {
    PIPED_STDIN in;
    in.send("  KVX/one.KVX\t\n second\r\nabcdefghij x");
    in.end();
    char word[32];
    EXPECT_EQ(console_read_word(word, sizeof word), 1);
    EXPECT_STREQ(word, "KVX/one.KVX");
    EXPECT_EQ(console_read_word(word, sizeof word), 1);
    EXPECT_STREQ(word, "second");
    char small[5];
    EXPECT_EQ(console_read_word(small, sizeof small), 1);
    EXPECT_STREQ(small, "abcd"); // the rest of the long word is dropped, not left for later
    EXPECT_EQ(console_read_word(word, sizeof word), 1);
    EXPECT_STREQ(word, "x");
    EXPECT_EQ(console_read_word(word, sizeof word), 0);
    EXPECT_STREQ(word, "");
}

TEST(Console, TerminalIsRawWhileReadingAndRestoredAtExit) {
    PTY pty;
    ASSERT_TRUE(pty.lflag() & ICANON);
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    pid_t pid = child_reading_key(pty, report[1]);
    ASSERT_TRUE(pty.wait_raw());
    EXPECT_FALSE(pty.lflag() & ECHO);
    // No line feed follows: only a non-canonical read returns this key.
    ASSERT_EQ(write(pty.master, "x", 1), 1);
    char key = 0;
    ASSERT_EQ(read(report[0], &key, 1), 1);
    EXPECT_EQ(key, 'x');
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(pty.lflag() & ICANON);
    EXPECT_TRUE(pty.lflag() & ECHO);
    close(report[0]);
    close(report[1]);
}

TEST(Console, TerminalIsRestoredWhenASignalEndsTheProgram) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        PTY pty;
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        pid_t pid = child_reading_key(pty, report[1]);
        ASSERT_TRUE(pty.wait_raw());
        kill(pid, sig);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
        EXPECT_TRUE(pty.lflag() & ICANON) << sig;
        EXPECT_TRUE(pty.lflag() & ECHO) << sig;
        close(report[0]);
        close(report[1]);
    }
}

TEST(Console, FolderEntriesSortedWithFoldersBracketed) {
    const std::string dir = testing::TempDir() + "console_listing_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/sub").c_str(), 0755);
    std::ofstream(dir + "/b.KVX") << "x";
    std::ofstream(dir + "/A.KVX") << "x";
    std::ofstream(dir + "/a.KVX") << "x";
    const std::vector<std::string> want = {"A.KVX", "[sub]", "a.KVX", "b.KVX"};
    EXPECT_EQ(folder_entries(dir.c_str()), want);
    EXPECT_TRUE(folder_entries("/nonexistent-folder").empty());
}

TEST(Console, ColumnsShareTheLongestNameWidth) {
    // Longest name 6, so columns of 8: two fit in 20 characters, one in 10.
    const std::vector<std::string> names = {"a.KVX", "bb.KVX", "c"};
    EXPECT_EQ(format_columns(names, 20), "a.KVX   bb.KVX\nc\n");
    EXPECT_EQ(format_columns(names, 10), "a.KVX\nbb.KVX\nc\n");
    EXPECT_EQ(format_columns({}, 80), "");
}
