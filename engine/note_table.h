// The equal-tempered note table that note sources and NOTE keys index.
#pragma once

constexpr int NOTE_TABLE_SIZE = 2000;
extern double note_table[NOTE_TABLE_SIZE];

void fill_note_table();

// Entry of note_table for an index computed from user data, clamped into the table.
double note_at(int index);
// Entry for note + 12 x octave, formed without overflow and clamped into the table.
double note_at(int note, int octave);
