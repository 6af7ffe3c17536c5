// The parameter-stepping controller: turns the held bits of the remote control word into
// parameter changes of one selected module, once per frame, and finds the keyboards.
#pragma once
#include <cstdint>

#include "engine/generator.h"
#include "engine/module_kinds.h"
#include "engine/param_table.h"

// Bits of the control word. A remote client holds a command by leaving its bit set.
enum CONTROL_BIT : int32_t {
    CONTROL_F1 = 1,
    CONTROL_F2 = 2,
    CONTROL_F3 = 4,
    CONTROL_F4 = 8,
    CONTROL_SELECT = 16,
    CONTROL_NEXT_TARGET = 32,
    CONTROL_WAVE_UP = 64,
    CONTROL_WAVE_DOWN = 128
};

// The kinds the commands act on, in the order "next target" steps through them; the
// controller starts on the first.
constexpr MODULE_KIND CONTROLLED_KINDS[] = {KIND_VCO, KIND_VCA, KIND_SEQUENCER, KIND_PCF, KIND_SAMPLER};
// The controlled kind after kind, back to the first after the last (and for any other kind).
MODULE_KIND next_target_kind(MODULE_KIND kind);

// The repeat rates: a select or target change acts at most every 7th frame, a waveform change
// at most every 13th.
constexpr int SELECT_PERIOD_FRAMES = 7;
constexpr int WAVE_PERIOD_FRAMES = 13;
// Each frame a command is held, its step grows by this factor, up to STEP_MAX.
constexpr float STEP_ACCELERATION = 1.5f;
// From 0.01 the step reaches this in 23 frames, about 0.4 s: the first frames give fine
// control, and at 100 Hz a frame (6 kHz a second) a held command still crosses the whole
// audio range within four seconds without ever jumping further than a large knob turn.
constexpr float STEP_MAX = 100.0f;
// The step a command starts from once its bit has been released.
constexpr float STEP_START = 0.01f;

// The controller's state, owned by the loop that steps it once per frame (the window's screen,
// or the headless loop); a fresh one is the start-up state.
struct CONTROLLER {
    MODULE_KIND target_kind = CONTROLLED_KINDS[0];
    int selected_vco = 0;
    int selected_vca = 0;
    int selected_sequencer = 0;
    int selected_filter = 0;
    int selected_sampler = 0;
    int vca_param = 0;    // 0 ATTACK, 1 DECAY, 2 SUSTAIN, 3 RELEASE
    int filter_param = 0; // 0 HICUT, 1 Q, 2 GAIN, 3 and 4 change nothing
    int waveform = 0;
    int sequencer_step = 0;
    // The step of "F1" and "F2"; for "F3" and "F4" a frame counter that is printed. A step
    // starts at STEP_START, as after any frame without its command.
    float command_step[4] = {STEP_START, STEP_START, STEP_START, STEP_START};
    int select_delay = 0;
    int kind_delay = 0;
    int wave_up_delay = 0;
    int wave_down_delay = 0;
};

// One step with the control word read once from control_port, on the global generator.
// Returns 1 when a command acted, else 0.
int step_controller(CONTROLLER& c);
// The same step for a given graph and control word.
int step_controller(CONTROLLER& c, GENERATOR* g, int32_t bits);

// The keyboard a key row is bound to: the only keyboard whatever its name, else the first
// named exactly name; null when none (or no graph).
KEYBOARD* find_keyboard(const char* name);
KEYBOARD* find_keyboard(GENERATOR* g, const char* name);

// The ranges the controller keeps the values it steps in: the reach of the parameter table,
// which the panels step within too.
constexpr float FREQ_MIN = static_cast<float>(param_info(P_VCO_FREQ).reach.min);
constexpr float FREQ_MAX = static_cast<float>(param_info(P_VCO_FREQ).reach.max);
constexpr float AMOUNT_MIN = static_cast<float>(param_info(P_VCO_AMOUNT).reach.min);
constexpr float AMOUNT_MAX = static_cast<float>(param_info(P_VCO_AMOUNT).reach.max);
// The most raise_time gives (99999 + 100); longer times are not stepped further.
constexpr float TIME_MAX_MS = static_cast<float>(param_info(P_VCA_ATTACK).reach.max);
// The filter's cut-off stays below the Nyquist frequency (22050 Hz), where its poles would
// reach the unit circle; 20 kHz is also the top of hearing.
constexpr int32_t HICUT_MAX = static_cast<int32_t>(param_info(P_PCF_HICUT).reach.max);
constexpr float GAIN_FLOOR_DB = static_cast<float>(param_info(P_PCF_GAIN).reach.min);
constexpr float DIVIDER_MIN = static_cast<float>(param_info(P_SEQ_DIVIDER).reach.min);
constexpr float DIVIDER_MAX = static_cast<float>(param_info(P_SEQ_DIVIDER).reach.max);
// The controller moves a step's note within its octave, one semitone at a time.
constexpr int32_t NOTE_MIN = 0;
constexpr int32_t NOTE_MAX = 12;

// Arithmetic of the steps, one value each.

// v held to [lo, hi]; not a number becomes lo.
float keep_within(float v, float lo, float hi);
// The step of a held "F1" or "F2" on the next frame: times STEP_ACCELERATION, at most STEP_MAX.
float next_step(float step);
// HICUT raised by 100 Hz, at most HICUT_MAX; a cut-off already above is left as it is.
int32_t raise_cutoff(int32_t hz);

// Index after index in a list of count entries, back to 0 at the end (also for an index
// beyond a list that shrank, and for an empty list).
int next_index(int index, int count);
// An envelope time raised by three tests applied in turn: below 10 + 1, then from 10 below 100
// + 10, then from 100 below 100000 + 100 (so 9 becomes 20). A time that is not a number or
// negative counts as 0, one beyond TIME_MAX_MS as TIME_MAX_MS.
float raise_time(float ms);
// The mirrored lowering (below 10 - 1, then from 10 below 100 - 10, then from 100 below
// 100000 - 100); a time never goes below 0, and counts as raise_time says.
float lower_time(float ms);
