// Driving a panel as the panel view does: a frame of its handler and items, a release on an item.
#pragma once
#include <gtest/gtest.h>

#include "toolkit/objet.h"

// One frame of the panel view: the handler, then every item takes its messages.
inline void frame(OBJET& panel) {
    panel.update();
    mark_all(panel, 1);
    panel.draw();
}

// The mouse released over an item, then a frame.
inline void release(OBJET& panel, const char* item) {
    SPRITE* target = find(panel, item);
    ASSERT_NE(target, nullptr) << item;
    post(panel, make_event_message(EVENT_MOUSE_UP, target));
    frame(panel);
}
