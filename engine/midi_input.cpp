// The MIDI player: messages queued by the MIDI input's thread, played on the audio thread at
// the start of the next piece it renders.
#include "midi_input.h"

#include "generator.h"

MIDI_RING midi_queue;
MIDI_RING midi_controls;
std::atomic<int> midi_channel{0};

bool MIDI_RING::push(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0 || size > 3) return false;
    const uint32_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) >= CAPACITY) return false;
    EVENT& e = events_[head & (CAPACITY - 1)];
    e.size = static_cast<uint8_t>(size);
    for (size_t i = 0; i < size; ++i) e.bytes[i] = bytes[i];
    head_.store(head + 1, std::memory_order_release);
    return true;
}

bool MIDI_RING::pop(EVENT& out) {
    const uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return false;
    out = events_[tail & (CAPACITY - 1)];
    tail_.store(tail + 1, std::memory_order_release);
    return true;
}

void play_midi(VOICE_ALLOCATOR& voices, const MIDI_MESSAGE& m, int channel) {
    if (m.kind == MIDI_KIND::NONE || (channel != 0 && m.channel != channel)) return;
    switch (m.kind) {
    case MIDI_KIND::NOTE_ON:
        voices.note_on(m.data1);
        break;
    case MIDI_KIND::NOTE_OFF:
        voices.note_off(m.data1);
        break;
    case MIDI_KIND::CONTROL:
        if (m.data1 == MIDI_CC_SUSTAIN) voices.sustain(m.data2 >= 64);
        if (m.data1 == MIDI_CC_ALL_SOUND_OFF || m.data1 == MIDI_CC_ALL_NOTES_OFF) voices.all_off();
        break;
    case MIDI_KIND::PITCH_BEND:
        voices.bend(bend_ratio(m.data2, MIDI_BEND_RANGE));
        break;
    default:
        break;
    }
}

namespace {
VOICE_ALLOCATOR player;
std::atomic<uint32_t> controller_words[128];
uint32_t controller_changes = 0; // the audio thread's own count

bool passed_on(const MIDI_MESSAGE& m, int channel) {
    if (channel != 0 && m.channel != channel) return false;
    if (m.kind == MIDI_KIND::PROGRAM) return true;
    return m.kind == MIDI_KIND::CONTROL && m.data1 != MIDI_CC_SUSTAIN && m.data1 != MIDI_CC_ALL_SOUND_OFF &&
           m.data1 != MIDI_CC_ALL_NOTES_OFF;
}
// The graph the voices were taken from, and the pause count then: a pause may have replaced
// the graph by one at the same address, so any pause takes the voices afresh.
const GENERATOR* played_graph = nullptr;
unsigned played_pauses = ~0u;
} // namespace

uint32_t controller_word(int controller) {
    return controller >= 0 && controller < 128 ? controller_words[controller].load(std::memory_order_relaxed) : 0;
}

void apply_midi_events(unsigned pauses) {
    GENERATOR* g = generator;
    MIDI_RING::EVENT e;
    if (g == nullptr) {
        while (midi_queue.pop(e)) {
        }
        return;
    }
    if (g != played_graph || pauses != played_pauses) {
        // The lists run in reverse creation order; the voices go in patch order.
        KEYBOARD* in_order[VOICE_ALLOCATOR::MAX_VOICES];
        int n = 0;
        for (auto it = g->keyboards.rbegin(); it != g->keyboards.rend() && n < VOICE_ALLOCATOR::MAX_VOICES; ++it)
            in_order[n++] = *it;
        player.reset(in_order, n);
        played_graph = g;
        played_pauses = pauses;
    }
    const int channel = midi_channel.load(std::memory_order_relaxed);
    while (midi_queue.pop(e)) {
        const MIDI_MESSAGE m = parse_midi(e.bytes, e.size);
        play_midi(player, m, channel);
        if (!passed_on(m, channel)) continue;
        midi_controls.push(e.bytes, e.size);
        if (m.kind == MIDI_KIND::CONTROL)
            controller_words[m.data1].store(++controller_changes << 7 | static_cast<uint32_t>(m.data2),
                                            std::memory_order_relaxed);
    }
}
