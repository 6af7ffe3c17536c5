// Where the remote console listens, read from the command line, and how long it waits.
#include "remote/remote_config.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

REMOTE_CONFIG remote_config;

bool parse_remote_setting(const char* setting, REMOTE_CONFIG& config) {
    if (!setting) return false;
    if (std::strcmp(setting, "off") == 0) {
        config.enabled = false;
        return true;
    }
    const char* colon = std::strrchr(setting, ':');
    if (!colon || colon == setting) return false;
    const std::string address(setting, static_cast<size_t>(colon - setting));
    const char* digits = colon + 1;
    // Decimal digits only: no sign, no blanks, no trailing text, at most five of them.
    const size_t count = std::strlen(digits);
    if (count == 0 || count > 5 || std::strspn(digits, "0123456789") != count) return false;
    const long port = std::strtol(digits, nullptr, 10);
    if (port < 1 || port > 65535) return false;

    uint32_t host = 0;
    if (address != "*") {
        in_addr a{};
        if (inet_pton(AF_INET, address.c_str(), &a) != 1) return false;
        host = ntohl(a.s_addr);
    }
    config.enabled = true;
    config.host = host;
    config.port = static_cast<int>(port);
    return true;
}

bool set_remote_config(const char* setting) {
    REMOTE_CONFIG read = remote_config;
    if (parse_remote_setting(setting, read)) {
        remote_config = read;
        return true;
    }
    std::printf("--remote needs ADDR:PORT (an IPv4 address, or * for every interface, and a port from 1 to "
                "65535, e.g. 127.0.0.1:9999) or off, not [%s]\n",
                setting ? setting : "");
    return false;
}
