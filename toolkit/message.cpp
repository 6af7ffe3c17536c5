// Building message records from events and texts.
#include "toolkit/message.h"

#include <cstdio>
#include <cstring>

namespace {

void copy_event(MESSAGE& m, const void* event, int event_size) {
    if (!event || event_size <= 0) return;
    int n = event_size < MESSAGE_EVENT_SIZE ? event_size : MESSAGE_EVENT_SIZE;
    std::memcpy(m.event, event, n);
}

} // namespace

MESSAGE make_input_message(const void* event, int event_size, ZEL_ENGINE* target) {
    MESSAGE m;
    m.kind = 1;
    copy_event(m, event, event_size);
    m.target = target;
    return m;
}

MESSAGE make_named_message(const void* event, int event_size, const char* text, ZEL_ENGINE* target) {
    MESSAGE m;
    m.kind = 0;
    copy_event(m, event, event_size);
    std::snprintf(m.text, sizeof m.text, "%s", text ? text : "");
    m.target = target;
    return m;
}

MESSAGE make_event_message(unsigned char type, ZEL_ENGINE* target) {
    MESSAGE m;
    m.kind = 1;
    m.event[0] = type;
    m.target = target;
    return m;
}
