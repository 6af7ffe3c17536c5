// The remote-control server: one line dialogue per accepted TCP client, on a thread of its own.
#pragma once
#include <SDL_net.h>

#include <memory>

#include "remote/remote_line.h"

// Wire texts; each is sent with its terminating zero byte.
extern const char REMOTE_GREETING[];
extern const char REMOTE_PROMPT[];

// Thread entry for one accepted client; the argument is its socket, which the dialogue owns
// and closes. Returns 1 when the client ended with FINISH, else 0 (the peer left or a
// receive failed).
int serve_remote_client(void* socket);

// Receives chunks into reader until a line end arrives and returns the line as a new
// zero-terminated text. Returns null when the peer closed first, or when a receive failed
// (after printing "Erreur de receive \n").
std::unique_ptr<char[]> receive_line(TCPsocket socket, LINE_READER& reader);

// The frame loop's accept: takes at most one pending client from server and starts its
// dialogue on a detached thread. Returns 1 when a dialogue was started, else 0 (no client, or
// a thread that could not start, whose socket is then closed).
int accept_remote_client(TCPsocket server);
