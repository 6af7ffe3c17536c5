// A plain-socket TCP client for the remote-control tests: connect, send, read exact bytes.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/support/wait.h"

namespace wire {

// The bytes a client receives, zero bytes included.
inline const std::string greeting() {
    return std::string("Hello to ORMELIA remote access!\r\nENTER YOU COMMAND then FINISH to exit") + '\0';
}
inline const std::string prompt() {
    return std::string("\r\nCommand>") + '\0';
}
inline const std::string reply(int result) {
    return std::to_string(result) + "\r\n" + '\0';
}

class CLIENT {
  public:
    CLIENT() = default;
    CLIENT(const CLIENT&) = delete;
    CLIENT& operator=(const CLIENT&) = delete;
    ~CLIENT() { close(); }

    // Connects to the port on the loopback address; false when refused.
    bool connect_to(int port) {
        close();
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) return false;
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            close();
            return false;
        }
        return true;
    }

    bool send(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    // Up to count bytes, fewer when the peer closes or the time runs out.
    std::string read(size_t count, int timeout_ms = PATIENCE_MS) {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        char buffer[4096];
        while (got.size() < count) {
            const int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                    .count());
            if (left <= 0) break;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, left) <= 0) break;
            const size_t want = count - got.size() < sizeof buffer ? count - got.size() : sizeof buffer;
            const ssize_t n = ::recv(fd, buffer, want, 0);
            if (n <= 0) {
                peer_closed = true;
                break;
            }
            got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }

    // True when the peer closes the connection (with no more bytes) within the time.
    bool closed_by_peer(int timeout_ms = PATIENCE_MS) {
        const std::string extra = read(1, timeout_ms);
        return extra.empty() && peer_closed;
    }

    void close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
        peer_closed = false;
    }

    int fd = -1;
    bool peer_closed = false;
};

// Connects to the program's port and waits for the greeting; the program accepts one client per
// frame, so the first attempts may be refused. A connection made while the program still moves
// its listener onto the asked address is closed unanswered; it is made again.
inline bool open_dialogue(CLIENT& c, int timeout_ms = PATIENCE_MS, int port = 9999) {
    const std::string opening = greeting() + prompt();
    std::string got;
    wait_until(
        [&] {
            if (!c.connect_to(port)) return false;
            got = c.read(opening.size(), timeout_ms);
            return !(got.empty() && c.peer_closed);
        },
        timeout_ms, 50);
    return got == opening;
}

// Sends one command line and checks the reply: result 1 (FINISH) closes, any other prompts again.
inline bool exchange(CLIENT& c, const std::string& line, int result) {
    const std::string expected = reply(result) + (result == 1 ? "" : prompt());
    return c.send(line) && c.read(expected.size()) == expected;
}

} // namespace wire
