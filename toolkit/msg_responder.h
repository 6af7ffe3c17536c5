// The mix-in of controls: a queue of message records handed to the item by its panel.
#pragma once
#include "toolkit/message.h"

#include <memory>
#include <vector>

class MSG_RESPONDER {
  public:
    std::vector<std::unique_ptr<MESSAGE>> queue;

    // Takes the queued records from the newest to the oldest, removing each after `handle`.
    // Returns the number taken.
    template <typename F> int drain(F handle) {
        int taken = 0;
        while (!queue.empty()) {
            handle(*queue.back());
            queue.pop_back();
            ++taken;
        }
        return taken;
    }
    void receive(const MESSAGE& m);
};
