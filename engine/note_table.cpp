// The equal-tempered note table: entry i is the note i + 11 semitones above 8.1757989 Hz.
#include "note_table.h"

#include <cmath>
#include <cstdint>

double note_table[NOTE_TABLE_SIZE];

void fill_note_table() {
    // The exponent is formed in single precision, (i + 11) x 1/12 as a float: the table's
    // rounding (and so every pitch) depends on it.
    const float twelfth = 1.0f / 12.0f;
    for (int i = 0; i < NOTE_TABLE_SIZE; ++i) {
        float exponent = static_cast<float>(i + 11) * twelfth;
        note_table[i] = 8.1757989 * std::pow(2.0, static_cast<double>(exponent));
    }
}

double note_at(int index) {
    if (index < 0) index = 0;
    if (index >= NOTE_TABLE_SIZE) index = NOTE_TABLE_SIZE - 1;
    return note_table[index];
}

double note_at(int note, int octave) {
    int64_t n = static_cast<int64_t>(note) + 12 * static_cast<int64_t>(octave);
    if (n < 0) n = 0;
    if (n >= NOTE_TABLE_SIZE) n = NOTE_TABLE_SIZE - 1;
    return note_table[n];
}
