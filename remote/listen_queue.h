// The pending-connection queue of the remote-control listening socket.
#pragma once

// SDL_net listens with a queue of 5 pending connections. The frame loop takes one client per
// frame, so a burst of clients overflows such a queue and the kernel drops their handshakes,
// to be retried only seconds later. This raises the queue of this process's listening TCP
// socket on port to length. Returns the number of sockets changed (1, or 0 when none was found).
int widen_listen_queue(int port, int length = 128);
