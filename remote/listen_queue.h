// The pending-connection queue and the address of the remote-control listening socket.
#pragma once
#include <cstdint>

// SDL_net listens with a queue of 5 pending connections. The frame loop takes one client per
// frame, so a burst of clients overflows such a queue and the kernel drops their handshakes,
// to be retried only seconds later. This raises the queue of this process's listening TCP
// socket on port to length. Returns the number of sockets changed (1, or 0 when none was found).
int widen_listen_queue(int port, int length = 128);

// SDL_net listens on every interface. This moves this process's listening TCP socket on port
// to the IPv4 address host (host byte order) instead: the descriptor SDL_net holds is
// replaced by a new socket bound to host and port, listening with a queue of length and
// non-blocking like the one it replaces. Returns false (errno set) when no such socket was
// found or the new one could not be bound; the descriptor is then left closed to clients.
bool bind_listener(int port, uint32_t host, int length = 128);

// Limits how long a send on the connected TCP socket whose peer is the IPv4 address host and
// port (both in network byte order, as SDL_net keeps them) may wait for room, so that a client
// that never reads cannot hold its connection's thread in a send for ever. Returns false when
// no such socket is open.
bool limit_send_wait(uint32_t host, uint16_t port, int ms);
