// The parameter-stepping controller: held command bits become parameter steps at fixed rates.
#include "app/controller.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>

#include "engine/module_kinds.h"
#include "remote/remote_line.h"

MODULE_KIND target_kind = CONTROLLED_KINDS[0];
int selected_vco = 0;
int selected_vca = 0;
int selected_sequencer = 0;
int selected_filter = 0;
int selected_sampler = 0;
int vca_param = 0;
int filter_param = 0;
int waveform = 0;
int sequencer_step = 0;
float command_step[4] = {STEP_START, STEP_START, STEP_START, STEP_START};
int select_delay = 0;
int kind_delay = 0;
int wave_up_delay = 0;
int wave_down_delay = 0;

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
int* selected_index_of(MODULE_KIND kind) {
    struct SELECTION {
        MODULE_KIND kind;
        int* index;
    };
    static const SELECTION selections[] = {{KIND_VCO, &selected_vco},
                                           {KIND_VCA, &selected_vca},
                                           {KIND_SEQUENCER, &selected_sequencer},
                                           {KIND_PCF, &selected_filter}};
    for (const SELECTION& s : selections)
        if (s.kind == kind) return s.index;
    return nullptr;
}

// The note cell the sequencer commands edit, or null when the indices leave the grid.
int32_t* edited_note(SEQUENCER* s) {
    if (!s || s->pattern < 0 || s->pattern >= SEQ_ROWS || sequencer_step < 0 || sequencer_step >= SEQ_COLS)
        return nullptr;
    return &s->step_note[s->pattern][sequencer_step];
}

float* vca_time(VCA* v, int param) {
    switch (param) {
    case 0:
        return &v->ATTACK;
    case 1:
        return &v->DECAY;
    case 3:
        return &v->RELEASE;
    default:
        return nullptr;
    }
}

void print_command(int number, float value) {
    std::printf("F%d [%f]\n", number, static_cast<double>(value));
}

// "F1" and "F2": F1 raises the frequency and moves the parameter choice and the note down,
// F2 the other way round; both by the command's step, which then grows.
void step_f1_f2(GENERATOR* g, bool f1) {
    const int slot = f1 ? 0 : 1;
    const float step = command_step[slot];
    print_command(slot + 1, step);
    switch (target_kind) {
    case KIND_VCO:
        if (VCO* v = selected(g->vcos, selected_vco))
            v->FREQ = keep_within(v->FREQ + (f1 ? step : -step), FREQ_MIN, FREQ_MAX);
        break;
    case KIND_VCA:
        vca_param += f1 ? -1 : 1;
        if (vca_param < 0) vca_param = 3;
        if (vca_param > 3) vca_param = 0;
        break;
    case KIND_SEQUENCER:
        if (int32_t* note = edited_note(selected(g->sequencers, selected_sequencer))) {
            const int32_t stepped = *note + (f1 ? -1 : 1);
            *note = stepped < NOTE_MIN ? NOTE_MIN : stepped > NOTE_MAX ? NOTE_MAX : stepped;
        }
        break;
    case KIND_PCF:
        filter_param += f1 ? -1 : 1;
        if (filter_param < 0) filter_param = 4;
        if (filter_param > 4) filter_param = 0;
        break;
    default:
        break;
    }
    command_step[slot] = next_step(step);
}

// "F3" and "F4": F3 raises the oscillator's level or the chosen envelope time, holds the
// sustain full and moves the edited sequencer step back; F4 does the opposite, moving the step
// forward. Only F3 acts on a filter, lowering Q or GAIN or raising the cut-off. Each counts
// its frames in its step.
void step_f3_f4(GENERATOR* g, bool f3) {
    const int slot = f3 ? 2 : 3;
    print_command(slot + 1, command_step[slot]);
    command_step[slot] += 1.0f;
    switch (target_kind) {
    case KIND_VCO:
        if (VCO* v = selected(g->vcos, selected_vco))
            v->AMOUNT = keep_within(v->AMOUNT + (f3 ? 0.01f : -0.01f), AMOUNT_MIN, AMOUNT_MAX);
        break;
    case KIND_VCA:
        if (VCA* v = selected(g->vcas, selected_vca)) {
            if (float* t = vca_time(v, vca_param)) *t = f3 ? raise_time(*t) : lower_time(*t);
            if (vca_param == 2) v->SUSTAIN = f3 ? 1.0f : 0.0f;
        }
        break;
    case KIND_SEQUENCER:
        if (SEQUENCER* s = selected(g->sequencers, selected_sequencer)) {
            if (f3) {
                // The last step of the pattern: NBR_STEP itself is one past it.
                if (--sequencer_step < 0) sequencer_step = s->NBR_STEP - 1;
                if (sequencer_step >= SEQ_COLS) sequencer_step = SEQ_COLS - 1;
                if (sequencer_step < 0) sequencer_step = 0;
            } else if (++sequencer_step >= s->NBR_STEP || sequencer_step >= SEQ_COLS) {
                sequencer_step = 0;
            }
        }
        break;
    case KIND_PCF:
        if (PCF* f = selected(g->filters, selected_filter); f && f3) {
            if (filter_param == 0) f->HICUT = raise_cutoff(f->HICUT);
            if (filter_param == 1)
                f->Q = keep_within(f->Q - 0.5f, Q_FLOOR, std::numeric_limits<float>::max());
            if (filter_param == 2)
                f->GAIN = keep_within(f->GAIN - 0.5f, GAIN_FLOOR_DB, std::numeric_limits<float>::max());
        }
        break;
    default:
        break;
    }
}

void change_waveform(GENERATOR* g, bool up) {
    if (up) {
        if (++waveform >= 6) waveform = 1;
    } else {
        if (--waveform < 0) waveform = 5;
    }
    if (target_kind == KIND_VCO) {
        if (VCO* v = selected(g->vcos, selected_vco)) v->TYPE = waveform;
    } else if (target_kind == KIND_SEQUENCER) {
        if (SEQUENCER* s = selected(g->sequencers, selected_sequencer))
            s->DIVIDER = keep_within(s->DIVIDER * (up ? 2.0f : 0.5f), DIVIDER_MIN, DIVIDER_MAX);
    }
}

} // namespace

void reset_controller() {
    target_kind = CONTROLLED_KINDS[0];
    selected_vco = selected_vca = selected_sequencer = selected_filter = selected_sampler = 0;
    vca_param = filter_param = waveform = sequencer_step = 0;
    for (float& s : command_step)
        s = STEP_START;
    select_delay = kind_delay = wave_up_delay = wave_down_delay = 0;
}

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

int step_controller() {
    return step_controller(generator, control_port.load(std::memory_order_relaxed));
}

int step_controller(GENERATOR* g, int32_t bits) {
    for (int i = 0; i < 4; ++i)
        if (!(bits & (1 << i))) command_step[i] = STEP_START;
    if (!g) return 0;

    int acted = 0;
    if (paced(select_delay, SELECT_PERIOD_FRAMES, bits & CONTROL_SELECT)) {
        if (int* index = selected_index_of(target_kind))
            *index = next_index(*index, static_cast<int>(module_count(*g, target_kind)));
        acted = 1;
    }
    if (paced(kind_delay, SELECT_PERIOD_FRAMES, bits & CONTROL_NEXT_TARGET)) {
        target_kind = next_target_kind(target_kind);
        acted = 1;
    }
    if (paced(wave_up_delay, WAVE_PERIOD_FRAMES, bits & CONTROL_WAVE_UP)) {
        change_waveform(g, true);
        acted = 1;
    }
    if (paced(wave_down_delay, WAVE_PERIOD_FRAMES, bits & CONTROL_WAVE_DOWN)) {
        change_waveform(g, false);
        acted = 1;
    }
    if (bits & CONTROL_F1) {
        step_f1_f2(g, true);
        acted = 1;
    }
    if (bits & CONTROL_F2) {
        step_f1_f2(g, false);
        acted = 1;
    }
    if (bits & CONTROL_F3) {
        step_f3_f4(g, true);
        acted = 1;
    }
    if (bits & CONTROL_F4) {
        step_f3_f4(g, false);
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
