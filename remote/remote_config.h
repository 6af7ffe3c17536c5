// Where the remote console listens, read from the command line, and how long it waits.
#pragma once
#include <cstdint>

constexpr int REMOTE_DEFAULT_PORT = 9999;
// A client silent this long is closed: it holds a thread, a socket and a place among the
// REMOTE_CLIENTS_MAX clients.
constexpr int REMOTE_IDLE_MS = 3 * 60 * 1000;

struct REMOTE_CONFIG {
    bool enabled = true;
    // IPv4 address to listen on, in host byte order; 0 for every interface.
    uint32_t host = 0;
    int port = REMOTE_DEFAULT_PORT;
    // Silence after which a client is closed, in milliseconds.
    int idle_ms = REMOTE_IDLE_MS;
};

// Read by init_engine when it opens the listening socket, and by the connections.
extern REMOTE_CONFIG remote_config;

// Reads the argument of --remote: "ADDR:PORT" (ADDR a dotted IPv4 address, "*" for every
// interface; PORT 1 to 65535) or "off". Sets remote_config and returns true; for anything
// else prints why on the console and returns false, leaving remote_config unchanged.
bool set_remote_config(const char* setting);

// The same reading into a given record, without printing; false for a bad setting.
bool parse_remote_setting(const char* setting, REMOTE_CONFIG& config);
