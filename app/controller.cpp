// The parameter-stepping controller: held command bits become parameter steps at fixed rates.
#include "app/controller.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>

#include "engine/door.h"
#include "engine/module_kinds.h"
#include "remote/remote_line.h"

namespace {

// The filter panel keeps Q above 0 the same way: the filter divides by Q.
constexpr float Q_FLOOR = 0.001f;

template <class M> M* selected(const std::vector<M*>& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size()) ? list[index] : nullptr;
}

// A command with a repeat rate: its counter climbs to period - 1 while waiting, and the
// command acts (and the counter restarts) on the first frame its bit is held after that.
bool paced(int& delay, int period, bool held) {
    if (delay < period - 1) {
        ++delay;
        return false;
    }
    if (!held) return false;
    delay = 0;
    return true;
}

// The selection of each kind that has one; samplers (the last target) have none.
int* selected_index_of(CONTROLLER& c, MODULE_KIND kind) {
    switch (kind) {
    case KIND_VCO:
        return &c.selected_vco;
    case KIND_VCA:
        return &c.selected_vca;
    case KIND_SEQUENCER:
        return &c.selected_sequencer;
    case KIND_PCF:
        return &c.selected_filter;
    default:
        return nullptr;
    }
}

// Sets a parameter of the graph's module through the door.
void put(GENERATOR* g, const MODULE_REF& m, PARAM_ID id, double v, int row = 0, int index = 0) {
    DOOR(*g).set(m, PARAM_KEY{id, row, index}, v);
}

// Whether the note cell the sequencer commands edit lies in the grid.
bool note_in_grid(const SEQUENCER* s, int step) {
    return s && s->pattern >= 0 && s->pattern < SEQ_ROWS && step >= 0 && step < SEQ_COLS;
}

// The envelope time a parameter choice edits, P_COUNT for the sustain (and any other).
PARAM_ID vca_time(int param) {
    switch (param) {
    case 0:
        return P_VCA_ATTACK;
    case 1:
        return P_VCA_DECAY;
    case 3:
        return P_VCA_RELEASE;
    default:
        return P_COUNT;
    }
}

float vca_time_value(const VCA& v, PARAM_ID id) {
    return id == P_VCA_ATTACK ? v.ATTACK : id == P_VCA_DECAY ? v.DECAY : v.RELEASE;
}

void print_command(int number, float value) {
    std::printf("F%d [%f]\n", number, static_cast<double>(value));
}

// "F1" and "F2": F1 raises the frequency and moves the parameter choice and the note down,
// F2 the other way round; both by the command's step, which then grows.
void step_f1_f2(CONTROLLER& c, GENERATOR* g, bool f1) {
    const int slot = f1 ? 0 : 1;
    const float step = c.command_step[slot];
    print_command(slot + 1, step);
    switch (c.target_kind) {
    case KIND_VCO:
        if (VCO* v = selected(g->vcos, c.selected_vco))
            put(g, module_ref(v), P_VCO_FREQ, keep_within(v->FREQ + (f1 ? step : -step), FREQ_MIN, FREQ_MAX));
        break;
    case KIND_VCA:
        c.vca_param += f1 ? -1 : 1;
        if (c.vca_param < 0) c.vca_param = 3;
        if (c.vca_param > 3) c.vca_param = 0;
        break;
    case KIND_SEQUENCER:
        if (SEQUENCER* s = selected(g->sequencers, c.selected_sequencer); note_in_grid(s, c.sequencer_step)) {
            const int32_t stepped = s->step_note[s->pattern][c.sequencer_step] + (f1 ? -1 : 1);
            put(g, module_ref(s), P_SEQ_NOTE, stepped < NOTE_MIN ? NOTE_MIN : stepped > NOTE_MAX ? NOTE_MAX : stepped,
                s->pattern, c.sequencer_step);
        }
        break;
    case KIND_PCF:
        c.filter_param += f1 ? -1 : 1;
        if (c.filter_param < 0) c.filter_param = 4;
        if (c.filter_param > 4) c.filter_param = 0;
        break;
    default:
        break;
    }
    c.command_step[slot] = next_step(step);
}

// "F3" and "F4": F3 raises the oscillator's level or the chosen envelope time, holds the
// sustain full and moves the edited sequencer step back; F4 does the opposite, moving the step
// forward. Only F3 acts on a filter, lowering Q or GAIN or raising the cut-off. Each counts
// its frames in its step.
void step_f3_f4(CONTROLLER& c, GENERATOR* g, bool f3) {
    const int slot = f3 ? 2 : 3;
    print_command(slot + 1, c.command_step[slot]);
    c.command_step[slot] += 1.0f;
    switch (c.target_kind) {
    case KIND_VCO:
        if (VCO* v = selected(g->vcos, c.selected_vco))
            put(g, module_ref(v), P_VCO_AMOUNT, keep_within(v->AMOUNT + (f3 ? 0.01f : -0.01f), AMOUNT_MIN, AMOUNT_MAX));
        break;
    case KIND_VCA:
        if (VCA* v = selected(g->vcas, c.selected_vca)) {
            const PARAM_ID t = vca_time(c.vca_param);
            if (t != P_COUNT) {
                const float ms = vca_time_value(*v, t);
                put(g, module_ref(v), t, f3 ? raise_time(ms) : lower_time(ms));
            }
            if (c.vca_param == 2) put(g, module_ref(v), P_VCA_SUSTAIN, f3 ? 1.0f : 0.0f);
        }
        break;
    case KIND_SEQUENCER:
        if (SEQUENCER* s = selected(g->sequencers, c.selected_sequencer)) {
            if (f3) {
                // The last step of the pattern: NBR_STEP itself is one past it.
                if (--c.sequencer_step < 0) c.sequencer_step = s->NBR_STEP - 1;
                if (c.sequencer_step >= SEQ_COLS) c.sequencer_step = SEQ_COLS - 1;
                if (c.sequencer_step < 0) c.sequencer_step = 0;
            } else if (++c.sequencer_step >= s->NBR_STEP || c.sequencer_step >= SEQ_COLS) {
                c.sequencer_step = 0;
            }
        }
        break;
    case KIND_PCF:
        if (PCF* f = selected(g->filters, c.selected_filter); f && f3) {
            const MODULE_REF m = module_ref(f);
            if (c.filter_param == 0) put(g, m, P_PCF_HICUT, raise_cutoff(f->HICUT));
            if (c.filter_param == 1)
                put(g, m, P_PCF_Q, keep_within(f->Q - 0.5f, Q_FLOOR, std::numeric_limits<float>::max()));
            if (c.filter_param == 2)
                put(g, m, P_PCF_GAIN, keep_within(f->GAIN - 0.5f, GAIN_FLOOR_DB, std::numeric_limits<float>::max()));
        }
        break;
    default:
        break;
    }
}

void change_waveform(CONTROLLER& c, GENERATOR* g, bool up) {
    if (up) {
        if (++c.waveform >= 6) c.waveform = 1;
    } else {
        if (--c.waveform < 0) c.waveform = 5;
    }
    if (c.target_kind == KIND_VCO) {
        if (VCO* v = selected(g->vcos, c.selected_vco)) put(g, module_ref(v), P_VCO_TYPE, c.waveform);
    } else if (c.target_kind == KIND_SEQUENCER) {
        if (SEQUENCER* s = selected(g->sequencers, c.selected_sequencer))
            put(g, module_ref(s), P_SEQ_DIVIDER, keep_within(s->DIVIDER * (up ? 2.0f : 0.5f), DIVIDER_MIN, DIVIDER_MAX));
    }
}

} // namespace

MODULE_KIND next_target_kind(MODULE_KIND kind) {
    const size_t n = std::size(CONTROLLED_KINDS);
    for (size_t i = 0; i + 1 < n; ++i)
        if (CONTROLLED_KINDS[i] == kind) return CONTROLLED_KINDS[i + 1];
    return CONTROLLED_KINDS[0];
}

int next_index(int index, int count) {
    ++index;
    return index >= count || index < 0 ? 0 : index;
}

float keep_within(float v, float lo, float hi) {
    if (!(v >= lo)) return lo; // also not a number
    return v > hi ? hi : v;
}

float next_step(float step) {
    return keep_within(step * STEP_ACCELERATION, STEP_START, STEP_MAX);
}

int32_t raise_cutoff(int32_t hz) {
    if (hz >= HICUT_MAX) return hz;
    return hz > HICUT_MAX - 100 ? HICUT_MAX : hz + 100;
}

float raise_time(float ms) {
    ms = keep_within(ms, 0.0f, TIME_MAX_MS);
    if (ms < 10.0f) ms += 1.0f;
    if (ms >= 10.0f && ms < 100.0f) ms += 10.0f;
    if (ms >= 100.0f && ms < 100000.0f) ms += 100.0f;
    return ms;
}

float lower_time(float ms) {
    ms = keep_within(ms, 0.0f, TIME_MAX_MS);
    if (ms < 10.0f) ms -= 1.0f;
    if (ms >= 10.0f && ms < 100.0f) ms -= 10.0f;
    if (ms >= 100.0f && ms < 100000.0f) ms -= 100.0f;
    return ms < 0.0f ? 0.0f : ms;
}

int step_controller(CONTROLLER& c) {
    return step_controller(c, generator, control_port.load(std::memory_order_relaxed));
}

int step_controller(CONTROLLER& c, GENERATOR* g, int32_t bits) {
    for (int i = 0; i < 4; ++i)
        if (!(bits & (1 << i))) c.command_step[i] = STEP_START;
    if (!g) return 0;

    int acted = 0;
    if (paced(c.select_delay, SELECT_PERIOD_FRAMES, bits & CONTROL_SELECT)) {
        if (int* index = selected_index_of(c, c.target_kind))
            *index = next_index(*index, static_cast<int>(module_count(*g, c.target_kind)));
        acted = 1;
    }
    if (paced(c.kind_delay, SELECT_PERIOD_FRAMES, bits & CONTROL_NEXT_TARGET)) {
        c.target_kind = next_target_kind(c.target_kind);
        acted = 1;
    }
    if (paced(c.wave_up_delay, WAVE_PERIOD_FRAMES, bits & CONTROL_WAVE_UP)) {
        change_waveform(c, g, true);
        acted = 1;
    }
    if (paced(c.wave_down_delay, WAVE_PERIOD_FRAMES, bits & CONTROL_WAVE_DOWN)) {
        change_waveform(c, g, false);
        acted = 1;
    }
    if (bits & CONTROL_F1) {
        step_f1_f2(c, g, true);
        acted = 1;
    }
    if (bits & CONTROL_F2) {
        step_f1_f2(c, g, false);
        acted = 1;
    }
    if (bits & CONTROL_F3) {
        step_f3_f4(c, g, true);
        acted = 1;
    }
    if (bits & CONTROL_F4) {
        step_f3_f4(c, g, false);
        acted = 1;
    }
    // The prints reach a console on a pipe or in a file while the command is held.
    if (bits & (CONTROL_F1 | CONTROL_F2 | CONTROL_F3 | CONTROL_F4)) std::fflush(stdout);
    return acted;
}

KEYBOARD* find_keyboard(const char* name) {
    return find_keyboard(generator, name);
}

KEYBOARD* find_keyboard(GENERATOR* g, const char* name) {
    if (!g || !name) return nullptr;
    if (g->keyboards.size() == 1) return g->keyboards.front();
    return find_by_name(g->keyboards, name);
}
