// The pending-connection queue and the address of the remote-control listening socket.
#include "remote/listen_queue.h"

#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

#include <cstdlib>
#include <vector>

namespace {

bool is_listener_on(int fd, int port) {
    int listening = 0;
    socklen_t size = sizeof listening;
    if (getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) != 0 || !listening) return false;
    sockaddr_storage address{};
    size = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return false;
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port) == port;
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port) == port;
    return false;
}

// The descriptors the process has open; the first 1024 when the list cannot be read.
std::vector<int> open_descriptors() {
    std::vector<int> fds;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') fds.push_back(std::atoi(e->d_name));
        closedir(d);
    } else {
        for (int fd = 0; fd < 1024; ++fd)
            fds.push_back(fd);
    }
    return fds;
}

} // namespace

int widen_listen_queue(int port, int length) {
    int changed = 0;
    for (int fd : open_descriptors())
        if (is_listener_on(fd, port) && listen(fd, length) == 0) ++changed;
    return changed;
}

bool bind_listener(int port, uint32_t host, int length) {
    int listener = -1;
    for (int fd : open_descriptors())
        if (is_listener_on(fd, port)) {
            listener = fd;
            break;
        }
    if (listener < 0) {
        errno = ENOENT;
        return false;
    }
    const int fresh = socket(AF_INET, SOCK_STREAM, 0);
    if (fresh < 0) return false;
    // dup2 closes the socket on every interface, which frees the port, and puts a fresh
    // unbound socket at the same descriptor number, the one SDL_net keeps using.
    const bool moved = dup2(fresh, listener) == listener;
    close(fresh);
    if (!moved) return false;
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(host);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    if (listen(listener, length) != 0) return false;
    // The frame loop's accept must not wait.
    const int flags = fcntl(listener, F_GETFL);
    return flags >= 0 && fcntl(listener, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool limit_send_wait(uint32_t host, uint16_t port, int ms) {
    for (int fd : open_descriptors()) {
        sockaddr_in peer{};
        socklen_t size = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0 || peer.sin_family != AF_INET)
            continue;
        if (peer.sin_addr.s_addr != host || peer.sin_port != port) continue;
        timeval wait{ms / 1000, (ms % 1000) * 1000};
        return setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait) == 0;
    }
    return false;
}
