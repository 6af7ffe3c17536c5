// The remote console of the real program in headless mode: the wire transcript, then many
// clients at once with well-formed and abusive ones mixed.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "remote/client_table.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/wire_client.h"

namespace {

const char* const SAW_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                              "VCO_1;TYPE=3;FREQ=441;AMOUNT=0.5;PHASE=0;\n"
                              "MIXER_4;;\n"
                              "END_OBJECTS_DECLARE\n"
                              "BEGIN_LINKS_DECLARE\n"
                              "MIXER_4;ADD_CHANELL=VCO_1;\n"
                              "END_LINKS_DECLARE\n";

class ProgramRemote : public testing::Test {
  protected:
    // `tessaro --headless` on the patch, its remote control on a port of its own, with the menus
    // answered (no sound, first driver) and the console left open.
    void SetUp() override {
        write_text(dir + "/SAW.KVX", SAW_PATCH);
        ASSERT_GT(port, 0);
        ASSERT_TRUE(program.start({"--headless", "--remote", "127.0.0.1:" + std::to_string(port), dir + "/SAW.KVX"},
                                  {"SDL_AUDIODRIVER=dummy"}));
        program.type("41");
    }

    bool open_dialogue(wire::CLIENT& c) { return wire::open_dialogue(c, PATIENCE_MS, port); }

    // Opens a dialogue and ends it: the program is then up and serving. Its threads once the
    // probe's own has gone; -1 when the dialogue failed.
    long threads_after_a_probe() {
        wire::CLIENT probe;
        if (!open_dialogue(probe)) return -1;
        const long with_probe = program.status_field("Threads:");
        if (!wire::exchange(probe, "FINISH\r\n", 1) || !probe.closed_by_peer()) return -1;
        long now = with_probe;
        wait_until([&] {
            now = program.status_field("Threads:");
            return now < with_probe;
        });
        return now;
    }

    // Waits until the program has printed text count times more than it had at from.
    bool printed_after(size_t from, const std::string& text, int count) {
        return program.wait_for_count(text, count, from);
    }
    void TearDown() override {
        if (program.pid > 0) program.finish();
    }

    SCRATCH_DIR scratch{testing::UnitTest::GetInstance()->current_test_info()->name()};
    const std::string dir = scratch.path();
    const int port = free_tcp_port();
    PROGRAM program;
};

TEST_F(ProgramRemote, TranscriptOfTheEdgeCases) {
    wire::CLIENT a;
    ASSERT_TRUE(open_dialogue(a)) << program.output();
    EXPECT_TRUE(wire::exchange(a, "PORTA=16\r\n", 0));
    EXPECT_TRUE(wire::exchange(a, "PORTA\r\n", 0));
    EXPECT_TRUE(wire::exchange(a, "PORTA=\r\n", 0));

    // The carriage return and the line feed in two separate receives.
    ASSERT_TRUE(a.send("PORTA=0\r"));
    EXPECT_EQ(a.read(1, 300), "");
    EXPECT_TRUE(wire::exchange(a, "\n", 0));

    // A second client's command: the controller sees "F1" held and steps every frame.
    wire::CLIENT b;
    ASSERT_TRUE(open_dialogue(b));
    EXPECT_TRUE(wire::exchange(b, "PORTA=1\r\n", 0));
    EXPECT_TRUE(program.wait_for_count("F1 [", 2)) << program.output();
    EXPECT_TRUE(wire::exchange(a, "PORTA=0\r\n", 0));
    EXPECT_TRUE(wire::exchange(b, "PORTA=3 FINISH\r\n", 1));
    EXPECT_TRUE(b.closed_by_peer());
    EXPECT_TRUE(wire::exchange(a, "FINISH\r\n", 1));
    EXPECT_TRUE(a.closed_by_peer());

    EXPECT_EQ(program.finish(), 0);
    const std::string out = program.output();
    EXPECT_NE(out.find("ORDER:[PORTA=16] : "), std::string::npos) << out;
    EXPECT_NE(out.find("ORDER:[PORTA] : ORDER:[PORTA=] : "), std::string::npos) << out;
    EXPECT_NE(out.find("ORDER:[PORTA=1] : "), std::string::npos) << out;
    EXPECT_NE(out.find("F1 [0.010000]\nF1 [0.015000]\n"), std::string::npos) << out;
    EXPECT_EQ(count_of(out, "THREAD\n"), 2);
    EXPECT_EQ(count_of(out, "BEF : "), 2);
}

TEST_F(ProgramRemote, ManyClientsAtOnceWithAbusiveOnes) {
    // Ready once a dialogue works; the measures start from there.
    const long threads_before = threads_after_a_probe();
    ASSERT_GT(threads_before, 0) << program.output();
    const long rss_before = program.status_field("VmRSS:");

    constexpr int CLIENTS = 50;
    constexpr int COMMANDS = 100;
    // Commands leave the controller's bits clear, except a client's last one, which holds
    // "F3" (4): the controller keeps stepping after the load only if the word is such a value.
    auto value_of = [](int client, int command) {
        return ((client * COMMANDS + command) << 8) | (command == COMMANDS - 1 ? 4 : 0);
    };

    std::atomic<int> good_clients{0};
    std::atomic<int> bad_bytes{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < CLIENTS; ++i)
        threads.emplace_back([&, i] {
            wire::CLIENT c;
            if (!open_dialogue(c)) return;
            for (int j = 0; j < COMMANDS; ++j) {
                const std::string line = "PORTA=" + std::to_string(value_of(i, j));
                bool ok;
                if (j % 10 == i % 10) {
                    // The line end split across two sends.
                    ok = c.send(line + "\r");
                    pause_ms(2);
                    ok = ok && wire::exchange(c, "\n", 0);
                } else {
                    ok = wire::exchange(c, line + "\r\n", 0);
                }
                if (!ok) {
                    ++bad_bytes;
                    return;
                }
            }
            if (wire::exchange(c, "FINISH\r\n", 1) && c.closed_by_peer()) ++good_clients;
        });

    std::atomic<int> long_ok{0};
    for (int i = 0; i < 3; ++i)
        threads.emplace_back([&, i] {
            wire::CLIENT c;
            if (!open_dialogue(c)) return;
            bool ok = true;
            for (int k = 0; k < 3; ++k)
                ok = ok && wire::exchange(c, std::string(200000, static_cast<char>('A' + i)) + "\r\n", 0);
            if (ok && wire::exchange(c, "FINISH\r\n", 1)) ++long_ok;
        });
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] {
            std::mt19937 random(static_cast<unsigned>(i));
            wire::CLIENT c;
            if (!open_dialogue(c)) return;
            for (int k = 0; k < 20; ++k) {
                std::string junk(1 + random() % 3000, '\0');
                for (char& ch : junk) {
                    ch = static_cast<char>(random() % 256);
                    if (ch == '\r') ch = 'x';
                }
                if (!wire::exchange(c, junk + "\r\n", 0)) return;
            }
            c.send(std::string(5000, '\x7f')); // and away in the middle of a line
        });
    for (int i = 0; i < 3; ++i)
        threads.emplace_back([&] {
            wire::CLIENT c;
            if (open_dialogue(c)) c.send("PORTA=8"); // "F4", never completed
        });
    for (int i = 0; i < 3; ++i)
        threads.emplace_back([&, i] {
            wire::CLIENT c;
            c.connect_to(port);
            c.send("PORTA=" + std::to_string(value_of(CLIENTS + i, COMMANDS - 1)) +
                   "\r\n"); // gone before any reply
        });
    for (std::thread& t : threads)
        t.join();

    EXPECT_EQ(good_clients, CLIENTS);
    EXPECT_EQ(bad_bytes, 0);
    EXPECT_EQ(long_ok, 3);
    ASSERT_TRUE(program.alive()) << program.output();

    // The clients that left before any reply may still wait in the listen queue: each is accepted
    // and holds its "F3" for a moment. The idle check below starts once every connection, the
    // probe's among them, has been accepted.
    const int connections = 1 + CLIENTS + 3 + 4 + 3 + 3;
    EXPECT_TRUE(program.wait_for_count("BEF : ", connections)) << program.output();

    // Every dialogue has ended and left no thread, and memory stayed bounded.
    long threads_after = program.status_field("Threads:");
    wait_until([&] {
        threads_after = program.status_field("Threads:");
        return threads_after <= threads_before;
    });
    EXPECT_LE(threads_after, threads_before);
    const long rss_after = program.status_field("VmRSS:");
    EXPECT_LT(rss_after - rss_before, 32 * 1024) << rss_before << " kB then " << rss_after << " kB";

    // Every client has left, and with them every bit: the controller is idle, stepping nothing
    // until a client holds "F3" again, when it steps every frame.
    const size_t idle = program.output().size();
    {
        wire::CLIENT holder;
        ASSERT_TRUE(open_dialogue(holder));
        const size_t held = program.output().size();
        ASSERT_TRUE(wire::exchange(holder, "PORTA=4\r\n", 0));
        EXPECT_TRUE(printed_after(held, "F3 [", 5)) << program.output().substr(held);
        EXPECT_EQ(count_of(program.output().substr(idle, held - idle), "F3 ["), 0);
    }
    // The "PORTA=8" ("F4") of the clients that left in the middle of the line never acted.
    EXPECT_EQ(program.finish(), 0);
    const std::string out = program.output();
    EXPECT_EQ(out.find("PORTA=8]"), std::string::npos);
    EXPECT_EQ(out.find("F4 ["), std::string::npos);
    EXPECT_EQ(out.find("runtime error"), std::string::npos);
    EXPECT_EQ(out.find("AddressSanitizer"), std::string::npos);
}

} // namespace

namespace {

TEST_F(ProgramRemote, SeveralLinesInOneSendAreSeveralCommands) {
    wire::CLIENT c;
    ASSERT_TRUE(open_dialogue(c)) << program.output();
    const std::string two = wire::reply(0) + wire::prompt() + wire::reply(0) + wire::prompt();
    ASSERT_TRUE(c.send("PORTA=1\r\nPORTA=0\r\n"));
    EXPECT_EQ(c.read(two.size()), two);
    const size_t released = program.output().size();
    // Line feeds alone work as well; the second line holds "F3", and while the frames step it
    // the "F1" of the first pair, already released, steps no more.
    ASSERT_TRUE(c.send("PORTA=0\nPORTA=4\n"));
    EXPECT_EQ(c.read(two.size()), two);
    EXPECT_TRUE(printed_after(released, "F3 [", 5)) << program.output().substr(released);
    // (A frame may have caught the word between the first two lines: one step at most.)
    EXPECT_LE(count_of(program.output().substr(released), "F1 ["), 1);
    EXPECT_TRUE(wire::exchange(c, "FINISH\r\n", 1));
    EXPECT_EQ(program.finish(), 0);
    const std::string out = program.output();
    EXPECT_NE(out.find("ORDER:[PORTA=1] : ORDER:[PORTA=0] : "), std::string::npos) << out;
}

TEST_F(ProgramRemote, AClientThatDisconnectsReleasesItsBits) {
    wire::CLIENT keeper;
    ASSERT_TRUE(open_dialogue(keeper)) << program.output();
    ASSERT_TRUE(wire::exchange(keeper, "PORTA=1\r\n", 0));
    {
        wire::CLIENT leaver;
        ASSERT_TRUE(open_dialogue(leaver));
        const size_t seen = program.output().size();
        ASSERT_TRUE(wire::exchange(leaver, "PORTA=4\r\n", 0));
        EXPECT_TRUE(printed_after(seen, "F3 [", 5));
    } // closed without FINISH
    // Once the leaver's dialogue has seen the close its bit is gone: five frames in a row step
    // "F1" alone, the bit the keeper holds.
    std::string later;
    EXPECT_TRUE(wait_until([&] {
        const size_t from = program.output().size();
        if (!printed_after(from, "F1 [", 5)) return false;
        later = program.output().substr(from);
        return count_of(later, "F3 [") == 0;
    })) << later;
    // The keeper's bit goes before its socket closes: once it has, another client's "F3" steps
    // alone (a frame already under way may still show the last "F1").
    EXPECT_TRUE(wire::exchange(keeper, "FINISH\r\n", 1));
    EXPECT_TRUE(keeper.closed_by_peer());
    const size_t gone = program.output().size();
    wire::CLIENT other;
    ASSERT_TRUE(open_dialogue(other));
    ASSERT_TRUE(wire::exchange(other, "PORTA=4\r\n", 0));
    EXPECT_TRUE(printed_after(gone, "F3 [", 5));
    EXPECT_LE(count_of(program.output().substr(gone), "F1 ["), 1) << program.output().substr(gone);
}

TEST_F(ProgramRemote, AGoodClientIsServedWhileSilentConnectionsFloodIn) {
    const long threads_before = threads_after_a_probe();
    ASSERT_GT(threads_before, 0) << program.output();

    // Hundreds of connections that never say a word, opened without waiting and kept open. The
    // good client comes in behind the first half of them, and the second half follows once it
    // has been served.
    constexpr int FLOOD = 400;
    std::atomic<bool> half_open{false};
    std::atomic<bool> good_done{false};
    std::atomic<long> most_threads{0};
    std::vector<int> silent;
    std::thread flood([&] {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < FLOOD; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            if (fd < 0) break;
            fcntl(fd, F_SETFL, O_NONBLOCK);
            ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
            silent.push_back(fd);
            const long threads = program.status_field("Threads:");
            if (threads > most_threads) most_threads = threads;
            if (i == FLOOD / 2) {
                half_open = true;
                wait_until([&] { return good_done.load(); });
            }
            pause_ms(10);
        }
    });

    ASSERT_TRUE(wait_until([&] { return half_open.load(); })) << "the flood never got under way";
    int served = 0;
    {
        wire::CLIENT good;
        if (open_dialogue(good)) {
            for (int i = 0; i < 20; ++i)
                served += wire::exchange(good, "PORTA=" + std::to_string(i % 2 ? 4 : 0) + "\r\n", 0);
            served += wire::exchange(good, "FINISH\r\n", 1);
        }
    }
    good_done = true;
    flood.join();
    EXPECT_EQ(served, 21) << program.output().substr(0, 2000);
    // Threads stay near the client limit however many connections arrive.
    EXPECT_LE(most_threads - threads_before, REMOTE_CLIENTS_MAX + 16)
        << most_threads << " " << threads_before;

    // A second good client after the flood is greeted at once, evicting a silent one.
    wire::CLIENT late;
    ASSERT_TRUE(open_dialogue(late));
    EXPECT_TRUE(wire::exchange(late, "FINISH\r\n", 1));
    for (int fd : silent)
        ::close(fd);
    ASSERT_TRUE(program.alive());
    EXPECT_EQ(program.finish(), 0);
    EXPECT_NE(program.output().find("(room for a newcomer)"), std::string::npos);
}

// The local addresses (hex "ADDR:PORT" as the kernel lists them) of the listening TCP sockets
// the process pid holds.
std::string listening_addresses_of(pid_t pid) {
    std::set<std::string> inodes;
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    if (DIR* d = opendir(fds.c_str())) {
        while (const dirent* e = readdir(d)) {
            char target[128];
            const ssize_t n = readlink((fds + "/" + e->d_name).c_str(), target, sizeof target - 1);
            if (n <= 0) continue;
            const std::string t(target, static_cast<size_t>(n));
            if (t.rfind("socket:[", 0) == 0) inodes.insert(t.substr(8, t.size() - 9));
        }
        closedir(d);
    }
    std::string found;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream f(table);
        std::string line;
        while (std::getline(f, line)) {
            std::istringstream words(line);
            std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
            words >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
            if (state == "0A" && inodes.count(inode)) found += local + " ";
        }
    }
    return found;
}

TEST_F(ProgramRemote, ListensOnlyWhereAsked) {
    // The fixture's program listens on the loopback address and nowhere else.
    wire::CLIENT c;
    ASSERT_TRUE(open_dialogue(c)) << program.output();
    char expected[32];
    std::snprintf(expected, sizeof expected, "0100007F:%04X ", port);
    EXPECT_EQ(listening_addresses_of(program.pid), expected);
    EXPECT_TRUE(wire::exchange(c, "FINISH\r\n", 1));
    EXPECT_EQ(program.finish(), 0);
    EXPECT_NE(program.output().find("\tInit SDL_Net for the remote control on port " + std::to_string(port) +
                                    " of 127.0.0.1\n"),
              std::string::npos)
        << program.output();

    // Off: no socket at all, and the program plays on.
    PROGRAM off;
    ASSERT_TRUE(off.start({"--headless", "--remote", "off", dir + "/SAW.KVX"}, {"SDL_AUDIODRIVER=dummy"}));
    off.type("41");
    EXPECT_TRUE(off.wait_for_output("Playing [")) << off.output();
    EXPECT_NE(off.output().find("\tRemote control off\n"), std::string::npos) << off.output();
    EXPECT_EQ(listening_addresses_of(off.pid), "");
    EXPECT_TRUE(off.alive());
    EXPECT_EQ(off.finish(), 0);
}

} // namespace
