// The sequencers' step notices: a single-producer, single-consumer ring of fixed slots.
#include "app/step_notice.h"

#include <atomic>
#include <cstring>

#include "engine/sequencer.h"

namespace {

STEP_NOTICE slots[STEP_NOTICE_SLOTS];
// head counts notices written, tail notices taken; both only grow (modulo 2^32), and
// head - tail is the number queued. The producer publishes a slot with a release store of
// head after filling it; the consumer frees it with a release store of tail after copying it.
std::atomic<unsigned> head{0};
std::atomic<unsigned> tail{0};
std::atomic<unsigned long> dropped{0};

constexpr char PREFIX[] = "SEQ_TRIG_";

void on_step(SEQUENCER* s) {
    post_step_notice(s, s->name);
}

} // namespace

bool post_step_notice(const SEQUENCER* s, const char* name) {
    const unsigned h = head.load(std::memory_order_relaxed);
    if (h - tail.load(std::memory_order_acquire) >= STEP_NOTICE_SLOTS) {
        dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    STEP_NOTICE& n = slots[h & (STEP_NOTICE_SLOTS - 1)];
    n.sequencer = s;
    constexpr size_t prefix_len = sizeof PREFIX - 1;
    std::memcpy(n.text, PREFIX, prefix_len);
    size_t len = 0;
    if (name)
        while (len < STEP_NOTICE_TEXT_SIZE - 1 - prefix_len && name[len] != '\0')
            ++len;
    if (len) std::memcpy(n.text + prefix_len, name, len);
    n.text[prefix_len + len] = '\0';
    head.store(h + 1, std::memory_order_release);
    return true;
}

bool take_step_notice(STEP_NOTICE& out) {
    const unsigned t = tail.load(std::memory_order_relaxed);
    if (head.load(std::memory_order_acquire) == t) return false;
    out = slots[t & (STEP_NOTICE_SLOTS - 1)];
    tail.store(t + 1, std::memory_order_release);
    return true;
}

unsigned long dropped_step_notices() {
    return dropped.load(std::memory_order_relaxed);
}

void reset_step_notices() {
    tail.store(head.load(std::memory_order_acquire), std::memory_order_release);
    dropped.store(0, std::memory_order_relaxed);
}

void install_step_notices() {
    sequencer_step_hook = on_step;
}

void remove_step_notices() {
    sequencer_step_hook = nullptr;
}
