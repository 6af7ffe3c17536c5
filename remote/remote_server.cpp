// The remote-control server: one line dialogue per accepted TCP client, on a thread of its own.
#include "remote/remote_server.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <thread>

#include "remote/listen_queue.h"
#include "remote/remote_config.h"

const char REMOTE_GREETING[] = "Hello to ORMELIA remote access!\r\nENTER YOU COMMAND then FINISH to exit";
const char REMOTE_PROMPT[] = "\r\nCommand>";

CLIENT_TABLE remote_clients{control_port};

namespace {

// A waiting connection looks at its eviction flag and its silence this often.
constexpr int WATCH_MS = 100;
// The longest a send waits for a client that does not read; the dialogue then goes on, so such
// a client still meets its silence timeout or eviction between two sends.
constexpr int SEND_WAIT_MS = 10000;

// Sends a text and its zero byte; a short send is reported and the dialogue goes on.
void send_text(TCPsocket socket, const char* text) {
    const int length = static_cast<int>(std::strlen(text)) + 1;
    if (SDLNet_TCP_Send(socket, text, length) < length) {
        std::printf("SDLNet_TCP_Send: %s\n", SDL_GetError());
        std::fflush(stdout);
    }
}

void print_closed(int socket_number, const char* why) {
    std::printf("CLOSE : %d (%s)\n", socket_number, why);
    std::fflush(stdout);
}

int socket_number(TCPsocket socket) {
    return static_cast<int>(reinterpret_cast<intptr_t>(socket));
}

} // namespace

int64_t remote_clock_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

RECEIVED receive_line(TCPsocket socket, SDLNet_SocketSet set, LINE_READER& reader, int client) {
    for (;;) {
        if (remote_clients.told_to_leave(client)) return RECEIVED::EVICTED;
        if (reader.next_line()) return RECEIVED::LINE;
        for (;;) {
            if (remote_clients.told_to_leave(client)) return RECEIVED::EVICTED;
            const int64_t left =
                remote_clients.last_heard(client) + remote_config.idle_ms - remote_clock_ms();
            if (left <= 0) return RECEIVED::SILENT;
            const int ready =
                SDLNet_CheckSockets(set, static_cast<Uint32>(left < WATCH_MS ? left : WATCH_MS));
            if (ready < 0) {
                std::printf("Erreur de receive \n");
                std::fflush(stdout);
                return RECEIVED::FAILED;
            }
            if (ready > 0) break;
        }
        const int received = SDLNet_TCP_Recv(socket, reader.chunk_area(), REMOTE_CHUNK_BYTES);
        if (received < 0) {
            std::printf("Erreur de receive \n");
            std::fflush(stdout);
            return RECEIVED::FAILED;
        }
        if (received == 0) return RECEIVED::CLOSED;
        remote_clients.heard(client, remote_clock_ms());
        reader.received(received);
    }
}

int serve_remote_client(TCPsocket socket, int client) {
    std::printf("THREAD\n");
    std::printf("AFT : %d %p \n", socket_number(socket), static_cast<void*>(socket));
    std::printf("SDLNet_TCP_Accepted: %s\n", SDL_GetError());
    std::fflush(stdout);
    send_text(socket, REMOTE_GREETING);

    SDLNet_SocketSet set = SDLNet_AllocSocketSet(1);
    if (set) SDLNet_TCP_AddSocket(set, socket);
    int result = 0;
    LINE_READER reader;
    bool running = set != nullptr;
    while (running) {
        send_text(socket, REMOTE_PROMPT);
        const RECEIVED got = receive_line(socket, set, reader, client);
        if (got == RECEIVED::SILENT) print_closed(socket_number(socket), "silent too long");
        if (got == RECEIVED::EVICTED) print_closed(socket_number(socket), "room for a newcomer");
        if (got != RECEIVED::LINE) break;

        char echo[REMOTE_ECHO_BYTES];
        std::fputs(format_order(echo, sizeof echo, reader.line(), reader.length(), reader.total()), stdout);
        std::fflush(stdout);
        const COMMAND c = parse_command(reader.line());
        if (c.set_port) remote_clients.hold(client, c.port_value);
        if (c.finish) {
            running = false;
            result = 1;
        }
        char reply[16];
        std::snprintf(reply, sizeof reply, "%d\r\n", result);
        send_text(socket, reply);
    }
    // The bits go before the socket, so a client that sees the close knows they are released.
    remote_clients.leave(client);
    if (set) SDLNet_FreeSocketSet(set);
    SDLNet_TCP_Close(socket);
    return result;
}

int accept_remote_client(TCPsocket server) {
    if (!server) return 0;
    TCPsocket socket = SDLNet_TCP_Accept(server);
    if (!socket) return 0;
    std::printf("BEF : %d %p \n", socket_number(socket), static_cast<void*>(socket));
    std::fflush(stdout);
    if (const IPaddress* peer = SDLNet_TCP_GetPeerAddress(socket))
        limit_send_wait(peer->host, peer->port, SEND_WAIT_MS);
    const int client = remote_clients.join(remote_clock_ms());
    if (client < 0) {
        SDLNet_TCP_Close(socket);
        return 0;
    }
    try {
        std::thread(serve_remote_client, socket, client).detach();
    } catch (const std::exception&) {
        remote_clients.leave(client);
        SDLNet_TCP_Close(socket);
        return 0;
    }
    return 1;
}
