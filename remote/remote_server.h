// The remote-control server: one line dialogue per accepted TCP client, on a thread of its own.
#pragma once
#include <SDL_net.h>

#include <cstdint>

#include "remote/client_table.h"
#include "remote/remote_line.h"

// Wire texts; each is sent with its terminating zero byte.
extern const char REMOTE_GREETING[];
extern const char REMOTE_PROMPT[];

// The live clients; their words are published in control_port.
extern CLIENT_TABLE remote_clients;

// How a wait for a line ended.
enum class RECEIVED {
    LINE,    // the reader holds a line
    CLOSED,  // the peer closed the connection first
    FAILED,  // a receive failed ("Erreur de receive \n" was printed)
    SILENT,  // nothing arrived for remote_config.idle_ms
    EVICTED, // the client was told to leave to make room for a newcomer
};

// Milliseconds of a steady clock, the time base of the client table.
int64_t remote_clock_ms();

// Waits for the next line of client (its record in remote_clients): first from the bytes the
// reader still holds, else from the socket, watched through set (which holds only socket).
RECEIVED receive_line(TCPsocket socket, SDLNet_SocketSet set, LINE_READER& reader, int client);

// One client's dialogue, run on its own thread: the socket is owned and closed here, and the
// record client is left (releasing its bits) before the socket is closed. Returns 1 when the
// client ended with FINISH, else 0 (it left, a receive failed, it stayed silent or was evicted).
int serve_remote_client(TCPsocket socket, int client);

// The frame loop's accept: takes at most one pending client from server, gives it a record
// (evicting the client silent longest when REMOTE_CLIENTS_MAX are connected) and starts its
// dialogue on a detached thread. Returns 1 when a dialogue was started, else 0 (no server, no
// client, or a thread that could not start, whose socket is then closed).
int accept_remote_client(TCPsocket server);
