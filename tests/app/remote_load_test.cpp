// The remote console of the real program in headless mode: the wire transcript, then many
// clients at once with well-formed and abusive ones mixed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "remote/client_table.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/wire_client.h"

namespace {

constexpr int PORT = 9999;

const char* const SAW_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                              "VCO_1;TYPE=3;FREQ=441;AMOUNT=0.5;PHASE=0;\n"
                              "MIXER_4;;\n"
                              "END_OBJECTS_DECLARE\n"
                              "BEGIN_LINKS_DECLARE\n"
                              "MIXER_4;ADD_CHANELL=VCO_1;\n"
                              "END_LINKS_DECLARE\n";

class ProgramRemote : public testing::Test {
  protected:
    // `tessaro --headless` on the patch, with the menus answered (no sound, first driver) and the
    // console left open.
    void SetUp() override {
        write_text(dir + "/SAW.KVX", SAW_PATCH);
        ASSERT_TRUE(program.start({"--headless", dir + "/SAW.KVX"}, {"SDL_AUDIODRIVER=dummy"}));
        program.type("41");
    }
    void TearDown() override {
        if (program.pid > 0) program.finish();
    }

    SCRATCH_DIR scratch{testing::UnitTest::GetInstance()->current_test_info()->name()};
    const std::string dir = scratch.path();
    PROGRAM program;
};

TEST_F(ProgramRemote, TranscriptOfTheEdgeCases) {
    wire::CLIENT a;
    ASSERT_TRUE(wire::open_dialogue(a)) << program.output();
    EXPECT_TRUE(wire::exchange(a, "PORTA=16\r\n", 0));
    EXPECT_TRUE(wire::exchange(a, "PORTA\r\n", 0));
    EXPECT_TRUE(wire::exchange(a, "PORTA=\r\n", 0));

    // The carriage return and the line feed in two separate receives.
    ASSERT_TRUE(a.send("PORTA=0\r"));
    EXPECT_EQ(a.read(1, 300), "");
    EXPECT_TRUE(wire::exchange(a, "\n", 0));

    // A second client's command: the controller sees "F1" held and steps every frame.
    wire::CLIENT b;
    ASSERT_TRUE(wire::open_dialogue(b));
    EXPECT_TRUE(wire::exchange(b, "PORTA=1\r\n", 0));
    pause_ms(200);
    EXPECT_TRUE(wire::exchange(a, "PORTA=0\r\n", 0));
    EXPECT_TRUE(wire::exchange(b, "PORTA=3 FINISH\r\n", 1));
    EXPECT_TRUE(b.closed_by_peer());
    EXPECT_TRUE(wire::exchange(a, "FINISH\r\n", 1));
    EXPECT_TRUE(a.closed_by_peer());
    pause_ms(200);

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
    {
        wire::CLIENT probe;
        ASSERT_TRUE(wire::open_dialogue(probe)) << program.output();
        ASSERT_TRUE(wire::exchange(probe, "FINISH\r\n", 1));
    }
    pause_ms(300);
    const long threads_before = program.status_field("Threads:");
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
            if (!wire::open_dialogue(c)) return;
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
            if (!wire::open_dialogue(c)) return;
            bool ok = true;
            for (int k = 0; k < 3; ++k)
                ok = ok && wire::exchange(c, std::string(200000, static_cast<char>('A' + i)) + "\r\n", 0);
            if (ok && wire::exchange(c, "FINISH\r\n", 1)) ++long_ok;
        });
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] {
            std::mt19937 random(static_cast<unsigned>(i));
            wire::CLIENT c;
            if (!wire::open_dialogue(c)) return;
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
            if (wire::open_dialogue(c)) c.send("PORTA=8"); // "F4", never completed
        });
    for (int i = 0; i < 3; ++i)
        threads.emplace_back([&, i] {
            wire::CLIENT c;
            c.connect_to(PORT);
            c.send("PORTA=" + std::to_string(value_of(CLIENTS + i, COMMANDS - 1)) +
                   "\r\n"); // gone before any reply
        });
    for (std::thread& t : threads)
        t.join();

    EXPECT_EQ(good_clients, CLIENTS);
    EXPECT_EQ(bad_bytes, 0);
    EXPECT_EQ(long_ok, 3);
    ASSERT_TRUE(program.alive()) << program.output();

    // Every dialogue has ended and left no thread, and memory stayed bounded.
    long threads_after = program.status_field("Threads:");
    for (int i = 0; i < 300 && threads_after > threads_before; ++i) {
        pause_ms(10);
        threads_after = program.status_field("Threads:");
    }
    EXPECT_LE(threads_after, threads_before);
    const long rss_after = program.status_field("VmRSS:");
    EXPECT_LT(rss_after - rss_before, 32 * 1024) << rss_before << " kB then " << rss_after << " kB";

    // Every client has left, and with them every bit: the controller is idle...
    pause_ms(200);
    size_t seen = program.output().size();
    pause_ms(500);
    EXPECT_EQ(count_of(program.output().substr(seen), "F3 ["), 0);
    // ...until a client holds "F3" again.
    {
        wire::CLIENT holder;
        ASSERT_TRUE(wire::open_dialogue(holder));
        ASSERT_TRUE(wire::exchange(holder, "PORTA=4\r\n", 0));
        seen = program.output().size();
        pause_ms(500);
        EXPECT_GE(count_of(program.output().substr(seen), "F3 ["), 5);
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

// What the program printed from an offset on, after a pause.
std::string printed_during(PROGRAM& program, int ms) {
    const size_t seen = program.output().size();
    pause_ms(ms);
    return program.output().substr(seen);
}

TEST_F(ProgramRemote, SeveralLinesInOneSendAreSeveralCommands) {
    wire::CLIENT c;
    ASSERT_TRUE(wire::open_dialogue(c)) << program.output();
    const std::string two = wire::reply(0) + wire::prompt() + wire::reply(0) + wire::prompt();
    ASSERT_TRUE(c.send("PORTA=1\r\nPORTA=0\r\n"));
    EXPECT_EQ(c.read(two.size()), two);
    pause_ms(100);
    EXPECT_EQ(count_of(printed_during(program, 400), "F1 ["), 0);
    // Line feeds alone work as well; the second line holds "F3".
    ASSERT_TRUE(c.send("PORTA=0\nPORTA=4\n"));
    EXPECT_EQ(c.read(two.size()), two);
    EXPECT_GE(count_of(printed_during(program, 400), "F3 ["), 5);
    EXPECT_TRUE(wire::exchange(c, "FINISH\r\n", 1));
    EXPECT_EQ(program.finish(), 0);
    const std::string out = program.output();
    EXPECT_NE(out.find("ORDER:[PORTA=1] : ORDER:[PORTA=0] : "), std::string::npos) << out;
}

TEST_F(ProgramRemote, AClientThatDisconnectsReleasesItsBits) {
    wire::CLIENT keeper;
    ASSERT_TRUE(wire::open_dialogue(keeper)) << program.output();
    ASSERT_TRUE(wire::exchange(keeper, "PORTA=1\r\n", 0));
    {
        wire::CLIENT leaver;
        ASSERT_TRUE(wire::open_dialogue(leaver));
        ASSERT_TRUE(wire::exchange(leaver, "PORTA=4\r\n", 0));
        EXPECT_GE(count_of(printed_during(program, 300), "F3 ["), 5);
    } // closed without FINISH
    pause_ms(200);
    const std::string later = printed_during(program, 400);
    EXPECT_EQ(count_of(later, "F3 ["), 0) << later;
    // The bit another client holds stays.
    EXPECT_GE(count_of(later, "F1 ["), 5);
    EXPECT_TRUE(wire::exchange(keeper, "FINISH\r\n", 1));
    pause_ms(200);
    EXPECT_EQ(count_of(printed_during(program, 300), "F1 ["), 0);
}

TEST_F(ProgramRemote, AGoodClientIsServedWhileSilentConnectionsFloodIn) {
    {
        wire::CLIENT probe;
        ASSERT_TRUE(wire::open_dialogue(probe)) << program.output();
        ASSERT_TRUE(wire::exchange(probe, "FINISH\r\n", 1));
    }
    pause_ms(200);
    const long threads_before = program.status_field("Threads:");

    // Hundreds of connections that never say a word, opened without waiting and kept open.
    constexpr int FLOOD = 400;
    std::atomic<bool> flooding{true};
    std::atomic<long> most_threads{0};
    std::vector<int> silent;
    std::thread flood([&] {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(PORT);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < FLOOD; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            if (fd < 0) break;
            fcntl(fd, F_SETFL, O_NONBLOCK);
            ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
            silent.push_back(fd);
            const long threads = program.status_field("Threads:");
            if (threads > most_threads) most_threads = threads;
            pause_ms(10);
        }
        flooding = false;
    });

    pause_ms(1000); // the flood is well under way
    int served = 0;
    {
        wire::CLIENT good;
        if (wire::open_dialogue(good)) {
            for (int i = 0; i < 20; ++i)
                served += wire::exchange(good, "PORTA=" + std::to_string(i % 2 ? 4 : 0) + "\r\n", 0);
            served += wire::exchange(good, "FINISH\r\n", 1);
        }
    }
    const bool still_flooding = flooding;
    flood.join();
    EXPECT_EQ(served, 21) << program.output().substr(0, 2000);
    EXPECT_TRUE(still_flooding) << "the good client was served only after the flood";
    // Threads stay near the client limit however many connections arrive.
    EXPECT_LE(most_threads - threads_before, REMOTE_CLIENTS_MAX + 16)
        << most_threads << " " << threads_before;

    // A second good client after the flood is greeted at once, evicting a silent one.
    wire::CLIENT late;
    ASSERT_TRUE(wire::open_dialogue(late, 10000));
    EXPECT_TRUE(wire::exchange(late, "FINISH\r\n", 1));
    for (int fd : silent)
        ::close(fd);
    ASSERT_TRUE(program.alive());
    EXPECT_EQ(program.finish(), 0);
    EXPECT_NE(program.output().find("(room for a newcomer)"), std::string::npos);
}

TEST_F(ProgramRemote, ListensOnlyWhereAsked) {
    program.finish();
    // Bound to the loopback address: listed as listening on 127.0.0.1:9999 and nowhere else.
    auto listeners = [] {
        std::ifstream f("/proc/net/tcp");
        std::string line, found;
        while (std::getline(f, line)) {
            std::istringstream words(line);
            std::string slot, local, remote, state;
            words >> slot >> local >> remote >> state;
            if (state == "0A" && local.size() > 5 && local.substr(local.size() - 5) == ":270F")
                found += local + " ";
        }
        return found;
    };
    PROGRAM loopback;
    ASSERT_TRUE(loopback.start({"--headless", "--remote", "127.0.0.1:9999", dir + "/SAW.KVX"}, {"SDL_AUDIODRIVER=dummy"}));
    loopback.type("41");
    wire::CLIENT c;
    ASSERT_TRUE(wire::open_dialogue(c)) << loopback.output();
    EXPECT_EQ(listeners(), "0100007F:270F ");
    EXPECT_TRUE(wire::exchange(c, "FINISH\r\n", 1));
    EXPECT_EQ(loopback.finish(), 0);
    EXPECT_NE(loopback.output().find("\tInit SDL_Net for the remote control on port 9999 of 127.0.0.1\n"),
              std::string::npos)
        << loopback.output();

    // Off: no socket at all, and the program plays on.
    PROGRAM off;
    ASSERT_TRUE(off.start({"--headless", "--remote", "off", dir + "/SAW.KVX"}, {"SDL_AUDIODRIVER=dummy"}));
    off.type("41");
    for (int waited = 0; waited < 10000 && off.output().find("Playing [") == std::string::npos; waited += 50)
        pause_ms(50);
    EXPECT_NE(off.output().find("\tRemote control off\n"), std::string::npos) << off.output();
    EXPECT_EQ(listeners(), "");
    wire::CLIENT refused;
    EXPECT_FALSE(refused.connect_to(PORT));
    EXPECT_TRUE(off.alive());
    EXPECT_EQ(off.finish(), 0);
}

} // namespace
