// MIDI messages and how notes are spread over a patch's keyboards.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/audio.h"
#include "engine/generator.h"
#include "engine/midi_bindings.h"
#include "engine/midi_input.h"
#include "engine/note_table.h"

TEST(MidiParse, ReadsWhatThePlayerObeysAndSkipsTheRest) {
    struct CASE {
        std::vector<uint8_t> bytes;
        MIDI_KIND kind;
        int channel, data1, data2;
    } cases[] = {
        {{0x90, 60, 100}, MIDI_KIND::NOTE_ON, 1, 60, 100},
        {{0x9F, 60, 0}, MIDI_KIND::NOTE_OFF, 16, 60, 0},
        {{0x83, 61, 40}, MIDI_KIND::NOTE_OFF, 4, 61, 40},
        {{0xB0, 64, 127}, MIDI_KIND::CONTROL, 1, 64, 127},
        {{0xE1, 0, 64}, MIDI_KIND::PITCH_BEND, 2, 0, 0},
        {{0xE0, 0x7F, 0x7F}, MIDI_KIND::PITCH_BEND, 1, 0, 8191},
        {{0xE0, 0, 0}, MIDI_KIND::PITCH_BEND, 1, 0, -8192},
        {{0x90, 60}, MIDI_KIND::NONE, 0, 0, 0},            // truncated
        {{}, MIDI_KIND::NONE, 0, 0, 0},                     // empty
        {{60, 100, 0}, MIDI_KIND::NONE, 0, 0, 0},           // running status: no status byte
        {{0x90, 0x90, 100}, MIDI_KIND::NONE, 0, 0, 0},      // status byte among the data
        {{0xF0, 1, 2, 3, 0xF7}, MIDI_KIND::NONE, 0, 0, 0},  // SysEx
        {{0xF8, 0, 0}, MIDI_KIND::NONE, 0, 0, 0},           // clock
        {{0xA0, 60, 10}, MIDI_KIND::NONE, 0, 0, 0},         // poly aftertouch
        {{0xD0, 10, 0}, MIDI_KIND::NONE, 0, 0, 0},          // channel aftertouch
        {{0xC3, 5}, MIDI_KIND::PROGRAM, 4, 5, 0},           // program change, two bytes
        {{0xC0, 0x85}, MIDI_KIND::NONE, 0, 0, 0},           // program change with a status byte
        {{0xC0}, MIDI_KIND::NONE, 0, 0, 0},                 // program change without its program
    };
    for (const CASE& c : cases) {
        const MIDI_MESSAGE m = parse_midi(c.bytes.data(), c.bytes.size());
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(m.kind, c.kind);
        if (c.kind == MIDI_KIND::NONE) continue;
        EXPECT_EQ(m.channel, c.channel);
        EXPECT_EQ(m.data1, c.data1);
        EXPECT_EQ(m.data2, c.data2);
    }
    EXPECT_FLOAT_EQ(bend_ratio(8192, 2.0f), std::exp2(2.0f / 12.0f));
    EXPECT_FLOAT_EQ(bend_ratio(-8192, 2.0f), std::exp2(-2.0f / 12.0f));
}

namespace {
// Drives an allocator over n keyboards with a script of messages; notes() tells what each
// keyboard sounds (-1 for a closed gate).
struct RIG {
    explicit RIG(int n) : keyboards(n) {
        fill_note_table();
        for (KEYBOARD& k : keyboards) pointers.push_back(&k);
        voices.reset(pointers.data(), n);
    }
    void send(std::vector<uint8_t> bytes, int channel = 0) {
        play_midi(voices, parse_midi(bytes.data(), bytes.size()), channel);
    }
    std::vector<int> notes() const {
        std::vector<int> out;
        for (const KEYBOARD& k : keyboards) {
            const int index = k.key + 12 * k.octave;
            out.push_back(k.gate ? index + 11 : -1);
        }
        return out;
    }
    std::vector<KEYBOARD> keyboards;
    std::vector<KEYBOARD*> pointers;
    VOICE_ALLOCATOR voices;
};
} // namespace

TEST(MidiVoices, NotesGoToKeyboardsAsPlayersExpect) {
    using B = std::vector<uint8_t>;
    struct CASE {
        const char* what;
        int keyboards;
        std::vector<B> script;
        std::vector<int> sounding;
        int channel;
    } cases[] = {
        {"chord on three keyboards", 3, {{0x90, 60, 90}, {0x90, 64, 90}, {0x90, 67, 90}}, {60, 64, 67}, 0},
        {"fourth note takes the oldest", 3, {{0x90, 60, 90}, {0x90, 64, 90}, {0x90, 67, 90}, {0x90, 72, 90}},
         {72, 64, 67}, 0},
        {"note off frees its keyboard for the next", 3,
         {{0x90, 60, 90}, {0x90, 64, 90}, {0x80, 60, 0}, {0x90, 70, 90}}, {70, 64, -1}, 0},
        {"velocity 0 is a note off", 2, {{0x90, 60, 90}, {0x90, 60, 0}}, {-1, -1}, 0},
        {"same note again restarts its keyboard", 3, {{0x90, 60, 90}, {0x90, 62, 90}, {0x90, 60, 90}},
         {60, 62, -1}, 0},
        {"mono: last note wins", 1, {{0x90, 60, 90}, {0x90, 64, 90}}, {64}, 0},
        {"mono: release returns to the held note", 1, {{0x90, 60, 90}, {0x90, 64, 90}, {0x80, 64, 0}}, {60}, 0},
        {"mono: releasing a note not sounding changes nothing", 1,
         {{0x90, 60, 90}, {0x90, 64, 90}, {0x80, 60, 0}}, {64}, 0},
        {"mono: all released", 1, {{0x90, 60, 90}, {0x90, 64, 90}, {0x80, 64, 0}, {0x80, 60, 0}}, {-1}, 0},
        {"sustain holds released notes", 2, {{0xB0, 64, 127}, {0x90, 60, 90}, {0x80, 60, 0}}, {60, -1}, 0},
        {"sustain release closes them", 2, {{0xB0, 64, 127}, {0x90, 60, 90}, {0x80, 60, 0}, {0xB0, 64, 0}},
         {-1, -1}, 0},
        {"sustain keeps a held note held", 2, {{0x90, 60, 90}, {0xB0, 64, 127}, {0xB0, 64, 0}}, {60, -1}, 0},
        {"all notes off", 3, {{0x90, 60, 90}, {0x90, 64, 90}, {0xB0, 123, 0}}, {-1, -1, -1}, 0},
        {"all sound off", 2, {{0xB0, 64, 127}, {0x90, 60, 90}, {0x80, 60, 0}, {0xB0, 120, 0}}, {-1, -1}, 0},
        {"notes below the table are ignored", 2, {{0x90, 10, 90}, {0x90, 11, 90}}, {11, -1}, 0},
        {"other channels ignored when one is chosen", 2, {{0x91, 60, 90}, {0x92, 62, 90}}, {62, -1}, 3},
        {"garbage changes nothing", 2, {{0xF0, 0x90, 60}, {0x90, 60}, {64, 90, 0}}, {-1, -1}, 0},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.what);
        RIG rig(c.keyboards);
        for (const B& b : c.script) rig.send(b, c.channel);
        EXPECT_EQ(rig.notes(), c.sounding);
    }
}

TEST(MidiVoices, PitchFollowsTheNoteTableWhateverTheOctaveAndBends) {
    RIG rig(2);
    rig.keyboards[1].octave = 7;
    rig.send({0x90, 69, 100});
    rig.send({0x90, 21, 100});
    rig.keyboards[0].process();
    rig.keyboards[1].process();
    EXPECT_NEAR(rig.keyboards[0].value, 440.0f, 0.01f);
    EXPECT_NEAR(rig.keyboards[1].value, 27.5f, 0.01f);
    EXPECT_EQ(rig.keyboards[0].sync_pulse, 1);
    rig.send({0xE0, 0x7F, 0x7F});
    rig.keyboards[0].process();
    EXPECT_NEAR(rig.keyboards[0].value, 440.0f * std::exp2(2.0f / 12.0f), 0.1f);
    EXPECT_EQ(rig.keyboards[0].sync_pulse, 0);
}

TEST(MidiRing, KeepsOrderDropsWhenFullAndRefusesLongMessages) {
    static MIDI_RING ring;
    const uint8_t sysex[5] = {0xF0, 1, 2, 3, 0xF7};
    EXPECT_FALSE(ring.push(sysex, sizeof sysex));
    int pushed = 0;
    for (int i = 0; i < MIDI_RING::CAPACITY + 10; ++i) {
        const uint8_t m[3] = {0x90, static_cast<uint8_t>(i & 0x7F), 1};
        pushed += ring.push(m, 3);
    }
    EXPECT_EQ(pushed, MIDI_RING::CAPACITY);
    MIDI_RING::EVENT e;
    for (int i = 0; i < MIDI_RING::CAPACITY; ++i) {
        ASSERT_TRUE(ring.pop(e));
        EXPECT_EQ(e.bytes[1], i & 0x7F);
    }
    EXPECT_FALSE(ring.pop(e));
}

// Queued messages reach the graph's keyboards in patch order at the next block; a pause (a patch
// swap) lets the voices start again on whatever graph follows.
TEST(MidiQueue, TheNextBlockPlaysQueuedNotesOnTheGraphInPatchOrder) {
    fill_note_table();
    std::vector<int16_t> block(2 * 64);
    const uint8_t on60[3] = {0x90, 60, 100}, on62[3] = {0x90, 62, 100};
    for (int round = 0; round < 2; ++round) {
        GENERATOR g;
        KEYBOARD* first = new KEYBOARD();
        KEYBOARD* second = new KEYBOARD();
        GENERATOR::push_front(g.keyboards, first); // created first: the list's back
        GENERATOR::push_front(g.keyboards, second);
        generator = &g;
        audio_resume();
        ASSERT_TRUE(midi_queue.push(on60, 3));
        ASSERT_TRUE(midi_queue.push(on62, 3));
        render_block(nullptr, block.data(), 256, nullptr);
        EXPECT_EQ(first->gate, 1);
        EXPECT_EQ(first->key + 12 * first->octave, 60 - 11);
        EXPECT_EQ(second->key + 12 * second->octave, 62 - 11);
        audio_pause();
        generator = nullptr;
    }
}

// Controllers and program changes of the channel listened to go on to the main thread; the
// pedal and all-notes-off stay the player's.
TEST(MidiQueue, ControllersAndProgramsArePassedOnForTheMainThread) {
    std::vector<int16_t> block(2 * 64);
    GENERATOR g;
    generator = &g;
    audio_resume();
    midi_channel = 2;
    const std::vector<std::vector<uint8_t>> sent = {
        {0xB1, 74, 5}, {0xB1, 64, 127}, {0xB1, 123, 0}, {0xC1, 3}, {0xB0, 74, 9}, {0xC5, 1}, {0xB1, 1, 127}};
    for (const auto& m : sent) ASSERT_TRUE(midi_queue.push(m.data(), m.size()));
    render_block(nullptr, block.data(), 256, nullptr);
    std::vector<std::vector<uint8_t>> passed;
    MIDI_RING::EVENT e;
    while (midi_controls.pop(e)) passed.emplace_back(e.bytes, e.bytes + e.size);
    const std::vector<std::vector<uint8_t>> expected = {{0xB1, 74, 5}, {0xC1, 3}, {0xB1, 1, 127}};
    EXPECT_EQ(passed, expected);
    // Where each controller stopped, for a main thread that missed the ring.
    EXPECT_EQ(controller_word(74) & 127, 5u);
    EXPECT_EQ(controller_word(1) & 127, 127u);
    EXPECT_EQ(controller_word(64), 0u);
    midi_channel = 0;
    audio_pause();
    generator = nullptr;
}

// A controller's 0..127 covers the knob's reach: evenly, or evenly in ratio for wide positive
// reaches; whole-number parameters land on whole numbers.
TEST(MidiControllers, SpreadOverTheReach) {
    struct CASE {
        PARAM_ID id;
        int value;
        double expected;
    } cases[] = {
        {P_VCA_SUSTAIN, 0, 0.0},      {P_VCA_SUSTAIN, 127, 1.0},   {P_MIX_LEVEL, 127, 10.0},
        {P_MIX_LEVEL, 0, -10.0},      {P_VCO_FREQ, 0, 0.001},      {P_VCO_FREQ, 127, 22050.0},
        {P_PCF_HICUT, 127, 20000.0},  {P_PCF_HICUT, 0, 1.0},       {P_PCF_TYPE, 64, 3.0},
        {P_VCO_PHASE, 127, 359.0},    {P_VCA_SUSTAIN, 200, 1.0},   {P_VCA_SUSTAIN, -5, 0.0},
    };
    for (const CASE& c : cases)
        EXPECT_NEAR(controller_value(param_info(c.id), c.value), c.expected, 1e-9) << c.id << " " << c.value;
    // In ratio: the middle of 1..20000 Hz is their geometric mean, not 10000 Hz.
    EXPECT_NEAR(controller_value(param_info(P_PCF_HICUT), 127 / 2), std::sqrt(20000.0) * std::pow(20000.0, -0.5 / 127), 1);

}
