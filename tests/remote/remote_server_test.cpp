// Tests of the remote-control server over real TCP connections on an ephemeral port.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <memory>
#include <thread>

#include "remote/listen_queue.h"
#include "remote/remote_config.h"
#include "remote/remote_server.h"
#include "tests/support/wait.h"
#include "tests/support/wire_client.h"

namespace {

int count_of(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

int thread_count() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

// Waits until the process runs at most count threads; returns the last count seen.
int wait_for_threads(int count) {
    int n = thread_count();
    wait_until([&] {
        n = thread_count();
        return n <= count;
    });
    return n;
}

// A free port picked by the system for a moment, then opened by SDL_net.
TCPsocket open_server(int& port) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                           ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0;
        ::close(fd);
        if (!bound) continue;
        port = ntohs(a.sin_port);
        IPaddress address;
        if (SDLNet_ResolveHost(&address, nullptr, static_cast<Uint16>(port)) != 0) continue;
        if (TCPsocket s = SDLNet_TCP_Open(&address)) return s;
    }
    return nullptr;
}

class RemoteServer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDLNet_Init(), 0);
        server = open_server(port);
        ASSERT_NE(server, nullptr);
    }
    static void TearDownTestSuite() {
        SDLNet_TCP_Close(server);
        server = nullptr;
        SDLNet_Quit();
    }

    void SetUp() override {
        control_port = 0;
        threads_before = wait_for_threads(1);
    }
    // Every dialogue of the test has ended and left no thread behind.
    void TearDown() override { EXPECT_EQ(wait_for_threads(threads_before), threads_before); }

    // Connects a client and has the server accept it, as the frame loop would.
    void connect(wire::CLIENT& c) {
        ASSERT_TRUE(c.connect_to(port));
        int accepted = 0;
        wait_until([&] { return (accepted = accept_remote_client(server)) != 0; }, PATIENCE_MS, 10);
        ASSERT_EQ(accepted, 1);
    }

    // Sends one command line and expects the reply, then the prompt unless the dialogue ends.
    void command(wire::CLIENT& c, const std::string& line, int result) {
        ASSERT_TRUE(c.send(line));
        const std::string expected = wire::reply(result) + (result == 1 ? "" : wire::prompt());
        EXPECT_EQ(c.read(expected.size()), expected) << line;
    }

    static TCPsocket server;
    static int port;
    int threads_before = 1;
};

TCPsocket RemoteServer::server = nullptr;
int RemoteServer::port = 0;

TEST_F(RemoteServer, TranscriptByteForByteAndConsole) {
    ::testing::internal::CaptureStdout();
    {
        wire::CLIENT c;
        connect(c);
        // Greeting and first prompt arrive before the client sends anything.
        const std::string opening = wire::greeting() + wire::prompt();
        EXPECT_EQ(c.read(opening.size()), opening);
        command(c, "PORTA=16\r\n", 0);
        EXPECT_EQ(control_port, 16);
        command(c, "PORTA=5\r\n", 0);
        command(c, "PORTA=0\r\n", 0);
        EXPECT_EQ(control_port, 0);
        command(c, "\r\n", 0);
        command(c, "NOTHING=4\r\n", 0);
        command(c, "FINISH\r\n", 1);
        EXPECT_TRUE(c.closed_by_peer());
    }
    wait_for_threads(threads_before);
    std::fflush(stdout);
    const std::string console = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("BEF : "), std::string::npos);
    EXPECT_NE(console.find("THREAD\nAFT : "), std::string::npos);
    EXPECT_NE(console.find("SDLNet_TCP_Accepted: "), std::string::npos);
    EXPECT_NE(console.find("ORDER:[PORTA=16] : ORDER:[PORTA=5] : ORDER:[PORTA=0] : ORDER:[] : "
                           "ORDER:[NOTHING=4] : ORDER:[FINISH] : "),
              std::string::npos)
        << console;
}

TEST_F(RemoteServer, FinishAndPortaInOneLine) {
    wire::CLIENT c;
    connect(c);
    c.read(wire::greeting().size() + wire::prompt().size());
    command(c, "PORTA=3 FINISH\r\n", 1);
    EXPECT_TRUE(c.closed_by_peer());
    // The dialogue is over: the bits it held are released.
    EXPECT_EQ(control_port, 0);
}

TEST_F(RemoteServer, CarriageReturnAndLineFeedInSeparateChunks) {
    wire::CLIENT c;
    connect(c);
    c.read(wire::greeting().size() + wire::prompt().size());
    ASSERT_TRUE(c.send("PORTA=7\r"));
    EXPECT_EQ(c.read(1, 200), "");
    command(c, "\n", 0);
    EXPECT_EQ(control_port, 7);
    command(c, "FINISH\r\n", 1);
}

TEST_F(RemoteServer, LongLinesAreCutAndTheDialogueGoesOn) {
    ::testing::internal::CaptureStdout();
    {
        wire::CLIENT c;
        connect(c);
        c.read(wire::greeting().size() + wire::prompt().size());
        command(c, "PORTA=8" + std::string(150000, 'x') + "\r\n", 0);
        EXPECT_EQ(control_port, 8);
        // A command beyond the kept part of a line is not seen.
        command(c, std::string(150000, 'x') + "PORTA=9\r\n", 0);
        EXPECT_EQ(control_port, 8);
        command(c, "\xff\xfe\x01garbage\r\n", 0);
        command(c, "PORTA=4\r\n", 0);
        EXPECT_EQ(control_port, 4);
        command(c, "FINISH\r\n", 1);
    }
    wait_for_threads(threads_before);
    std::fflush(stdout);
    // The console shows the start of a long line and its length, not the whole of it.
    const std::string console = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("ORDER:[PORTA=8" + std::string(193, 'x') + "... [cut, 150007 bytes]] : "),
              std::string::npos);
    EXPECT_EQ(console.find(std::string(201, 'x')), std::string::npos);
    EXPECT_LT(console.size(), 4000u);
}

TEST_F(RemoteServer, TwoClientsHoldTheirBitsTogether) {
    wire::CLIENT a;
    wire::CLIENT b;
    connect(a);
    connect(b);
    a.read(wire::greeting().size() + wire::prompt().size());
    b.read(wire::greeting().size() + wire::prompt().size());
    command(a, "PORTA=5\r\n", 0);
    command(b, "PORTA=6\r\n", 0);
    EXPECT_EQ(control_port, 7);
    command(a, "PORTA=2\r\n", 0);
    EXPECT_EQ(control_port, 6);
    command(b, "FINISH\r\n", 1);
    EXPECT_TRUE(b.closed_by_peer());
    EXPECT_EQ(control_port, 2);
    command(a, "PORTA=1 FINISH\r\n", 1);
    EXPECT_TRUE(a.closed_by_peer());
    EXPECT_EQ(control_port, 0);
}

// Waits until control_port shows value; returns the last value seen.
int32_t wait_for_word(int32_t value) {
    wait_until([&] { return control_port == value; }, PATIENCE_MS, 10);
    return control_port;
}

TEST_F(RemoteServer, SeveralLinesInOneSendEachGetTheirReply) {
    ::testing::internal::CaptureStdout();
    {
        wire::CLIENT c;
        connect(c);
        c.read(wire::greeting().size() + wire::prompt().size());
        const std::string two = wire::reply(0) + wire::prompt() + wire::reply(0) + wire::prompt();
        ASSERT_TRUE(c.send("PORTA=1\r\nPORTA=0\r\n"));
        EXPECT_EQ(c.read(two.size()), two);
        EXPECT_EQ(control_port, 0);
        // Line feeds alone end lines too; the last line of a send wins.
        ASSERT_TRUE(c.send("PORTA=4\nPORTA=2\n"));
        EXPECT_EQ(c.read(two.size()), two);
        EXPECT_EQ(control_port, 2);
        // A partial line waits for its end, then the rest goes on; nothing after FINISH acts.
        ASSERT_TRUE(c.send("PORTA=8\r\nPORTA=1"));
        EXPECT_EQ(c.read(wire::reply(0).size() + wire::prompt().size()), wire::reply(0) + wire::prompt());
        EXPECT_EQ(c.read(1, 200), "");
        EXPECT_EQ(control_port, 8);
        ASSERT_TRUE(c.send("6\r\nFINISH\r\nPORTA=32\r\n"));
        EXPECT_EQ(c.read(two.size()), wire::reply(0) + wire::prompt() + wire::reply(1));
        EXPECT_TRUE(c.closed_by_peer());
        EXPECT_EQ(control_port, 0);
    }
    wait_for_threads(threads_before);
    std::fflush(stdout);
    const std::string console = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("ORDER:[PORTA=1] : ORDER:[PORTA=0] : ORDER:[PORTA=4] : ORDER:[PORTA=2] : "
                           "ORDER:[PORTA=8] : ORDER:[PORTA=16] : ORDER:[FINISH] : "),
              std::string::npos)
        << console;
    EXPECT_EQ(console.find("PORTA=32"), std::string::npos);
}

TEST_F(RemoteServer, AClientThatLeavesReleasesItsBits) {
    wire::CLIENT a;
    connect(a);
    a.read(wire::greeting().size() + wire::prompt().size());
    command(a, "PORTA=5\r\n", 0);
    {
        wire::CLIENT b;
        connect(b);
        b.read(wire::greeting().size() + wire::prompt().size());
        command(b, "PORTA=12\r\n", 0);
        EXPECT_EQ(control_port, 13);
        b.close(); // no FINISH
    }
    EXPECT_EQ(wait_for_word(5), 5);
    {
        wire::CLIENT c;
        connect(c);
        c.read(wire::greeting().size() + wire::prompt().size());
        command(c, "PORTA=64\r\n", 0);
        ASSERT_TRUE(c.send("PORTA=128")); // away in the middle of a line
    }
    EXPECT_EQ(wait_for_word(5), 5);
    command(a, "FINISH\r\n", 1);
    EXPECT_TRUE(a.closed_by_peer());
    EXPECT_EQ(control_port, 0);
}

TEST_F(RemoteServer, ASilentClientIsClosedAndReleased) {
    const int idle = remote_config.idle_ms;
    remote_config.idle_ms = 600;
    ::testing::internal::CaptureStdout();
    {
        wire::CLIENT quiet;
        connect(quiet);
        quiet.read(wire::greeting().size() + wire::prompt().size());
        using clock = std::chrono::steady_clock;
        auto ms_since = [](clock::time_point t) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - t).count();
        };
        const auto spoke = clock::now();
        command(quiet, "PORTA=4\r\n", 0);
        // Bytes without a line end count as being heard: 800 ms after the command the client
        // is still there, as it was heard 400 ms in. That holds only when each of the two waits
        // stayed under the idle time, which a stalled machine may not grant.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        const bool heard_in_time = ms_since(spoke) < 550;
        const auto partial = clock::now();
        ASSERT_TRUE(quiet.send("PORT"));
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        const int32_t word = control_port;
        if (heard_in_time && ms_since(partial) < 550) {
            EXPECT_EQ(word, 4);
        }
        EXPECT_TRUE(quiet.closed_by_peer());
        EXPECT_EQ(control_port, 0);
    }
    wait_for_threads(threads_before);
    std::fflush(stdout);
    const std::string console = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("(silent too long)\n"), std::string::npos) << console;
    remote_config.idle_ms = idle;
}

TEST_F(RemoteServer, AFullServerMakesRoomByClosingTheLongestSilent) {
    ::testing::internal::CaptureStdout();
    {
        std::vector<std::unique_ptr<wire::CLIENT>> clients;
        for (int i = 0; i < REMOTE_CLIENTS_MAX; ++i) {
            clients.emplace_back(new wire::CLIENT);
            connect(*clients.back());
            // Distinct times of last hearing, oldest first.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_EQ(remote_clients.live(), REMOTE_CLIENTS_MAX);
        // The first client speaks: the second is now the silent one.
        clients[0]->read(wire::greeting().size() + wire::prompt().size());
        command(*clients[0], "PORTA=1\r\n", 0);
        clients[1]->read(wire::greeting().size() + wire::prompt().size());

        wire::CLIENT newcomer;
        connect(newcomer);
        EXPECT_EQ(newcomer.read(wire::greeting().size() + wire::prompt().size()),
                  wire::greeting() + wire::prompt());
        EXPECT_TRUE(clients[1]->closed_by_peer());
        EXPECT_EQ(remote_clients.live(), REMOTE_CLIENTS_MAX);
        command(*clients[0], "PORTA=3\r\n", 0);
        command(newcomer, "FINISH\r\n", 1);
        EXPECT_EQ(control_port, 3);
    }
    wait_for_threads(threads_before);
    std::fflush(stdout);
    const std::string console = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(count_of(console, "(room for a newcomer)\n"), 1) << console;
    EXPECT_EQ(control_port, 0);
}

TEST_F(RemoteServer, PeerThatLeavesEndsTheDialogue) {
    {
        // Mid-line: the partial command is not acted on.
        wire::CLIENT c;
        connect(c);
        c.read(wire::greeting().size() + wire::prompt().size());
        ASSERT_TRUE(c.send("PORTA=77"));
    }
    {
        // Gone before the reply: the sends fail, the process lives on.
        wire::CLIENT c;
        connect(c);
        ASSERT_TRUE(c.send("PORTA=78\r\n"));
    }
    {
        // Gone before sending anything.
        wire::CLIENT c;
        connect(c);
    }
    EXPECT_EQ(wait_for_threads(threads_before), threads_before);
    EXPECT_NE(control_port, 77);
}

TEST_F(RemoteServer, ThreadThatCannotStartClosesTheSocket) {
    wire::CLIENT c;
    ASSERT_TRUE(c.connect_to(port));
    ASSERT_EQ(thread_count(), 1) << "the child below must be forked from a single thread";
    const pid_t child = fork();
    if (child == 0) {
        // No new thread may start in the child: drop to an unprivileged user (a privileged one
        // ignores the limit) and allow it no more processes.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(77);
        rlimit none{0, 0};
        if (setrlimit(RLIMIT_NPROC, &none) != 0) _exit(77);
        std::thread probe;
        try {
            probe = std::thread([] {});
            probe.join();
            _exit(77);
        } catch (const std::exception&) {
        }
        int result = 0;
        for (int i = 0; i < 500 && result == 0; ++i) {
            if (accept_remote_client(server) != 0) _exit(1);
            // The accepted socket is closed at once: the client sees the end of the stream.
            pollfd p{c.fd, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) result = c.read(1, 100).empty() && c.peer_closed ? 2 : 3;
        }
        _exit(result == 2 ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot forbid new threads here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// A burst of clients is queued at once, not dropped to be retried seconds later.
TEST(ListenQueue, BurstOfClientsWaitsInTheQueue) {
    ASSERT_EQ(SDLNet_Init(), 0);
    int port = 0;
    TCPsocket server = open_server(port);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(widen_listen_queue(port), 1);
    EXPECT_EQ(widen_listen_queue(port == 65535 ? 1 : port + 1), 0);

    constexpr int BURST = 30;
    std::vector<int> clients;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < BURST; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        fcntl(fd, F_SETFL, O_NONBLOCK);
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        clients.push_back(fd);
    }
    // Well under the kernel's first retry of a dropped handshake (one second).
    int accepted = 0;
    for (int i = 0; i < 40 && accepted < BURST; ++i) {
        while (TCPsocket c = SDLNet_TCP_Accept(server)) {
            SDLNet_TCP_Close(c);
            ++accepted;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(accepted, BURST);
    for (int fd : clients)
        ::close(fd);
    SDLNet_TCP_Close(server);
    SDLNet_Quit();
}

} // namespace

namespace {

// The send wait is set on the connection to the named peer, and on no other socket.
TEST(ListenQueue, SendWaitIsLimitedOnThePeersConnection) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size), 0);
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    const int served = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(served, 0);
    sockaddr_in peer{};
    size = sizeof peer;
    ASSERT_EQ(::getsockname(client, reinterpret_cast<sockaddr*>(&peer), &size), 0);

    EXPECT_TRUE(limit_send_wait(peer.sin_addr.s_addr, peer.sin_port, 2000));
    auto send_wait_ms = [](int fd) {
        timeval t{};
        socklen_t n = sizeof t;
        getsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &t, &n);
        return static_cast<long>(t.tv_sec * 1000 + t.tv_usec / 1000);
    };
    EXPECT_NEAR(send_wait_ms(served), 2000, 10); // in the kernel's ticks
    EXPECT_EQ(send_wait_ms(client), 0);
    EXPECT_FALSE(limit_send_wait(peer.sin_addr.s_addr, static_cast<uint16_t>(peer.sin_port ^ 0x0100), 1250));
    ::close(served);
    ::close(client);
    ::close(listener);
}

} // namespace
