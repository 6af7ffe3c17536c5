// Whether the remote-control port can be listened on, asked before anything else is started.
#pragma once
#include <cstdint>
#include <string>

// Tries to bind a TCP socket to host (IPv4, host byte order; 0 for every interface) and port the
// way the listening socket will be bound, then lets it go. Returns 0 when the bind succeeded,
// else the errno of the failure (EADDRINUSE when another program listens there). With
// listen_too the socket also listens, for a moment in which a client could connect to it.
int port_bind_error(uint32_t host, int port, bool listen_too = false);

// The line that says a port cannot be had and how to choose another.
std::string port_taken_line(int port, int error);
