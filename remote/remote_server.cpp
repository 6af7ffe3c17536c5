// The remote-control server: one line dialogue per accepted TCP client, on a thread of its own.
#include "remote/remote_server.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <thread>

const char REMOTE_GREETING[] = "Hello to ORMELIA remote access!\r\nENTER YOU COMMAND then FINISH to exit";
const char REMOTE_PROMPT[] = "\r\nCommand>";

namespace {

// Sends a text and its zero byte; a short send is reported and the dialogue goes on.
void send_text(TCPsocket socket, const char* text) {
    const int length = static_cast<int>(std::strlen(text)) + 1;
    if (SDLNet_TCP_Send(socket, text, length) < length) {
        std::printf("SDLNet_TCP_Send: %s\n", SDL_GetError());
        std::fflush(stdout);
    }
}

int socket_number(TCPsocket socket) {
    return static_cast<int>(reinterpret_cast<intptr_t>(socket));
}

} // namespace

std::unique_ptr<char[]> receive_line(TCPsocket socket, LINE_READER& reader) {
    char* chunk = reader.chunk_area();
    for (;;) {
        const int received = SDLNet_TCP_Recv(socket, chunk, REMOTE_CHUNK_BYTES);
        if (received < 0) {
            std::printf("Erreur de receive \n");
            std::fflush(stdout);
            return nullptr;
        }
        if (received == 0) return nullptr;
        if (reader.feed(chunk, received)) return reader.take_line();
    }
}

int serve_remote_client(void* socket) {
    TCPsocket client = static_cast<TCPsocket>(socket);
    std::printf("THREAD\n");
    std::printf("AFT : %d %p \n", socket_number(client), socket);
    std::printf("SDLNet_TCP_Accepted: %s\n", SDL_GetError());
    std::fflush(stdout);
    send_text(client, REMOTE_GREETING);

    int result = 0;
    LINE_READER reader;
    bool running = true;
    while (running) {
        send_text(client, REMOTE_PROMPT);
        std::unique_ptr<char[]> line = receive_line(client, reader);
        if (!line) break;
        strip_line_end(line.get());
        std::printf("ORDER:[%s] : ", line.get());
        std::fflush(stdout);
        if (run_command(line.get(), control_port) == 1) {
            running = false;
            result = 1;
        }
        char reply[16];
        std::snprintf(reply, sizeof reply, "%d\r\n", result);
        send_text(client, reply);
    }
    SDLNet_TCP_Close(client);
    return result;
}

int accept_remote_client(TCPsocket server) {
    if (!server) return 0;
    TCPsocket client = SDLNet_TCP_Accept(server);
    if (!client) return 0;
    std::printf("BEF : %d %p \n", socket_number(client), static_cast<void*>(client));
    std::fflush(stdout);
    try {
        std::thread(serve_remote_client, static_cast<void*>(client)).detach();
    } catch (const std::exception&) {
        SDLNet_TCP_Close(client);
        return 0;
    }
    return 1;
}
