// Where the remote console listens, read from the command line, and how long it waits.
#include "remote/remote_config.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

REMOTE_CONFIG remote_config;

bool parse_remote_spec(const char* spec, REMOTE_CONFIG& config) {
    if (!spec) return false;
    if (std::strcmp(spec, "off") == 0) {
        config.enabled = false;
        return true;
    }
    const char* colon = std::strrchr(spec, ':');
    if (!colon || colon == spec) return false;
    const std::string address(spec, static_cast<size_t>(colon - spec));
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

bool set_remote_config(const char* spec) {
    REMOTE_CONFIG read = remote_config;
    if (parse_remote_spec(spec, read)) {
        remote_config = read;
        return true;
    }
    std::printf("--remote needs ADDR:PORT (an IPv4 address, or * for every interface, and a port from 1 to "
                "65535, e.g. 127.0.0.1:9999) or off, not [%s]\n",
                spec ? spec : "");
    return false;
}
