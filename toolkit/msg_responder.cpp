// Message queues of controls.
#include "toolkit/msg_responder.h"

void MSG_RESPONDER::receive(const MESSAGE& m) {
    queue.push_back(std::make_unique<MESSAGE>(m));
}
