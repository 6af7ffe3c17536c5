// MIDI messages as the player needs them: one complete message in, what it asks for out.
#include "midi_message.h"

#include <cmath>

MIDI_MESSAGE parse_midi(const uint8_t* bytes, size_t size) {
    MIDI_MESSAGE m;
    if (bytes == nullptr || size < 2) return m;
    const int status = bytes[0];
    if (status < 0x80 || status >= 0xF0) return m;
    if ((status & 0xF0) == 0xC0) {
        if (bytes[1] >= 0x80) return m;
        m.kind = MIDI_KIND::PROGRAM;
        m.channel = (status & 0x0F) + 1;
        m.data1 = bytes[1];
        return m;
    }
    if (size < 3) return m;
    if (bytes[1] >= 0x80 || bytes[2] >= 0x80) return m;
    m.channel = (status & 0x0F) + 1;
    m.data1 = bytes[1];
    m.data2 = bytes[2];
    switch (status & 0xF0) {
    case 0x80:
        m.kind = MIDI_KIND::NOTE_OFF;
        break;
    case 0x90:
        m.kind = m.data2 == 0 ? MIDI_KIND::NOTE_OFF : MIDI_KIND::NOTE_ON;
        break;
    case 0xB0:
        m.kind = MIDI_KIND::CONTROL;
        break;
    case 0xE0:
        m.kind = MIDI_KIND::PITCH_BEND;
        m.data2 = (bytes[2] << 7 | bytes[1]) - 8192;
        m.data1 = 0;
        break;
    default:
        m.channel = 0;
        m.data1 = m.data2 = 0;
        break;
    }
    return m;
}

float bend_ratio(int bend, float range_semitones) {
    // 8192 steps span the range on either side of the centre; one semitone is 2^(1/12).
    const float semitones = static_cast<float>(bend) / 8192.0f * range_semitones;
    return std::exp2(semitones / 12.0f);
}
