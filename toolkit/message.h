// The message record that the frame loops post to panels and panels hand on to their items.
#pragma once
#include <cstdint>

class ZEL_ENGINE;

// Event type bytes of the window library's event record that items react to.
constexpr unsigned char EVENT_MOUSE_DOWN = 5;
constexpr unsigned char EVENT_MOUSE_UP = 6;
constexpr unsigned char EVENT_USER = 24;

constexpr int MESSAGE_EVENT_SIZE = 20;
constexpr int MESSAGE_TEXT_SIZE = 640;

struct MESSAGE {
    int32_t kind = 0; // 1 = an input event, 0 = a named message
    unsigned char event[MESSAGE_EVENT_SIZE] = {};
    char text[MESSAGE_TEXT_SIZE] = {};
    ZEL_ENGINE* target = nullptr;

    unsigned char event_type() const { return event[0]; }
};

// An input record: the first bytes of the causing event (its first byte is the event type).
MESSAGE make_input_message(const void* event, int event_size, ZEL_ENGINE* target);

// A named record ("TOUCH_IN", "TOUCH_OUT", "SLD_DOWN", "SLD_UP"); event may be null.
MESSAGE make_named_message(const void* event, int event_size, const char* text, ZEL_ENGINE* target);

// Just the event type byte, for callers that have no event record at hand.
MESSAGE make_event_message(unsigned char type, ZEL_ENGINE* target);
