// Whether the remote-control port can be listened on, asked before anything else is started.
#include "remote/port_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

int port_bind_error(uint32_t host, int port, bool listen_too) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return errno;
    // The listening socket is bound with address reuse, so connections of an earlier run still
    // in TIME_WAIT do not count as taking the port; only a listener does.
    const int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(host);
    int error = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || (listen_too && listen(s, 1) != 0))
        error = errno;
    close(s);
    return error;
}

std::string port_taken_line(int port, int error) {
    const std::string p = std::to_string(port);
    std::string line = "The remote-control port " + p + " cannot be opened (" + std::strerror(error) + ")";
    if (error == EADDRINUSE) line += ": another program, perhaps another tessaro, listens on it";
    line += "; choose another with --remote ADDR:PORT (for example --remote 127.0.0.1:" +
            std::to_string(port < 65535 ? port + 1 : 1024) + ") or none with --remote off\n";
    return line;
}
