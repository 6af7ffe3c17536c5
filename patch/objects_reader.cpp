// Reading the objects section of a patch: one module per declaration, keys applied in order.
#include "patch_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/note_table.h"
#include "patch_keys.h"
#include "patch_words.h"
#include "splitter.h"

using namespace patch_read;

namespace {

// NOTE_ stores a note number as octave and note within it, which cannot express every pair
// (note 12 of octave 3, note -1 of octave 2); the octave key then sets the octave and moves
// the note so that the note number stays.
void set_step_octave(SEQUENCER& s, int row, int col, int octave) {
    int64_t number = s.step_note[row][col] + 12 * static_cast<int64_t>(s.step_octave[row][col]);
    int64_t note = number - 12 * static_cast<int64_t>(octave);
    if (note > INT32_MAX) note = INT32_MAX;
    if (note < INT32_MIN) note = INT32_MIN;
    s.step_octave[row][col] = octave;
    s.step_note[row][col] = static_cast<int32_t>(note);
}

void apply_sequencer(SEQUENCER& s, const PARAM& p) {
    for (int k = 0; k < SK_COUNT; ++k) {
        if (!p.has(sequencer_keys[k]) || p.value == nullptr) continue;
        const char* v = p.value.get();
        int row, col;
        switch (k) {
        case SK_DIVIDER:
            s.DIVIDER = s.next_divider = patch_real(v);
            break;
        case SK_NBR_STEP:
            s.NBR_STEP = patch_int(v);
            break;
        case SK_NOTE:
            if (step_cell_of(p.key.get(), STEP_NOTE, row, col)) {
                int n = patch_int(v);
                s.step_octave[row][col] = n / 12;
                s.step_note[row][col] = n - 12 * (n / 12);
            }
            break;
        case SK_BYPASS:
            if (step_cell_of(p.key.get(), STEP_BYPASS, row, col)) s.step_bypass[row][col] = patch_int(v);
            break;
        case SK_VOLUME:
            if (step_cell_of(p.key.get(), STEP_THREE_DIGIT, row, col))
                s.step_volume[row][col] = patch_real(v);
            break;
        case SK_LENGHT:
            if (step_cell_of(p.key.get(), STEP_THREE_DIGIT, row, col))
                s.step_length[row][col] = patch_real(v);
            break;
        case SK_OCTAVE:
            if (step_cell_of(p.key.get(), STEP_BYPASS, row, col)) set_step_octave(s, row, col, patch_int(v));
            break;
        case SK_POWER:
            s.power = patch_int(v);
            break;
        case SK_PLAYING:
            s.pattern = s.next_pattern = patch_int(v);
            break;
        case SK_WISHED_PATTERN:
            s.next_pattern = patch_int(v);
            break;
        case SK_WISHED_TEMPO:
            s.next_divider = patch_real(v);
            break;
        }
    }
}

void apply_pcf(PCF& f, const PARAM& p) {
    for (int k = 0; k < FK_COUNT; ++k) {
        if (!p.has(pcf_keys[k]) || p.value == nullptr) continue;
        const char* v = p.value.get();
        switch (k) {
        case FK_HICUT:
            f.HICUT = patch_int(v);
            break;
        case FK_AMOUNT:
            f.AMOUNT = patch_real(v);
            break;
        case FK_TYPE:
            f.TYPE = patch_int(v);
            break;
        case FK_GAIN:
            // GAIN also sets AMOUNT to its whole part divided by 10, in integer division.
            f.GAIN = patch_real(v);
            f.AMOUNT = static_cast<float>(integer_part(f.GAIN) / 10);
            break;
        case FK_Q:
            f.Q = patch_real(v);
            break;
        case FK_BYPASS:
            f.BYPASS = patch_int(v);
            break;
        case FK_POWER:
            f.power = patch_int(v);
            break;
        }
    }
}

void apply_vco(VCO& o, const PARAM& p) {
    for (int k = 0; k < OK_COUNT; ++k) {
        if (!p.has(vco_keys[k]) || p.value == nullptr) continue;
        const char* v = p.value.get();
        switch (k) {
        case OK_TYPE:
            o.TYPE = vco_type_of(v);
            break;
        case OK_FREQ:
            o.FREQ = patch_real(v);
            break;
        case OK_AMOUNT:
            o.AMOUNT = patch_real(v);
            break;
        case OK_NOTE:
            o.FREQ = static_cast<float>(note_at(patch_int(v)));
            break;
        case OK_PHASE:
            o.PHASE = patch_real(v);
            break;
        case OK_PWM:
            o.PWM = patch_real(v);
            break;
        case OK_POWER:
            o.power = patch_int(v);
            break;
        case OK_WAVEFORM:
            o.TYPE = patch_int(v);
            break;
        }
    }
}

void apply_vca(VCA& a, const PARAM& p) {
    for (int k = 0; k < AK_COUNT; ++k) {
        if (!p.has(vca_keys[k]) || p.value == nullptr) continue;
        const char* v = p.value.get();
        switch (k) {
        case AK_ATTACK:
            a.ATTACK = patch_real(v);
            break;
        case AK_INVERT:
            a.INVERT = patch_int(v);
            break;
        case AK_BYPASS:
            a.BYPASS = patch_int(v);
            break;
        case AK_DECAY:
            a.DECAY = patch_real(v);
            break;
        case AK_SUSTAIN:
            a.SUSTAIN = patch_real(v);
            break;
        case AK_RELEASE:
            a.RELEASE = patch_real(v);
            break;
        }
    }
}

void apply_keyboard(KEYBOARD& k, const PARAM& p) {
    for (int i = 0; i < KK_COUNT; ++i) {
        if (!p.has(keyboard_keys[i]) || p.value == nullptr) continue;
        const int v = patch_int(p.value.get());
        switch (i) {
        case KK_POWER:
            k.power = v;
            break;
        case KK_OCTAVE:
            k.octave = v;
            break;
        case KK_NOTE:
            k.key = v;
            break;
        }
    }
}

void apply_mixer(MIXER& m, const PARAM& p) {
    for (int k = 0; k < MK_COUNT; ++k) {
        if (!p.has(mixer_keys[k]) || p.value == nullptr) continue;
        const char* v = p.value.get();
        int slot;
        switch (k) {
        case MK_ENABLED:
            m.enabled = patch_int(v);
            break;
        case MK_LEVEL:
            if (indexed_key_of(p.key.get(), mixer_keys[k], MIXER_SLOTS, slot)) m.level[slot] = patch_real(v);
            break;
        case MK_MUTE:
            if (indexed_key_of(p.key.get(), mixer_keys[k], MIXER_SLOTS, slot)) m.mute[slot] = patch_real(v);
            break;
        }
    }
}

void load_sample(SAMPLER& s, const char* path) {
    copy_name(s.sample_path, sizeof s.sample_path, path);
    copy_name(s.FILE, sizeof s.FILE, path);
    int bytes = read_wave_data(s.sample_data, path);
    if (bytes == WAVE_OPEN_FAILED) {
        std::printf("Error load the file\n");
        fatal();
    }
    // A refused file leaves the sampler without a sample: silent, the patch plays on.
    if (bytes == WAVE_REFUSED) {
        s.sample_frames = 0;
        return;
    }
    s.sample_frames = bytes / 4;
    std::printf("Loaded WAVE file [%-32s][%d ]\n", path, s.sample_frames);
}

void apply_sampler(SAMPLER& s, const PARAM& p) {
    if (p.has(sampler_keys[PK_FILE]) && p.value != nullptr) load_sample(s, p.value.get());
}

template <class M> M* create(std::vector<M*>& list, const char* name) {
    M* m = new M();
    copy_name(m->name, static_cast<int>(sizeof m->name), name);
    GENERATOR::push_front(list, m);
    return m;
}

void declare_object(GENERATOR& g, const std::string& word) {
    std::vector<std::string_view> fields;
    if (!split_declaration(word, fields)) return;
    const std::string name(fields[0]);
    const std::string_view n(name);

    if (contains(n, "SEQUENCER")) {
        SEQUENCER* s = create(g.sequencers, name.c_str());
        for_each_param(fields, true, [s](const PARAM& p) { apply_sequencer(*s, p); });
    }
    if (contains(n, "PCF")) {
        PCF* f = create(g.filters, name.c_str());
        for_each_param(fields, false, [f](const PARAM& p) { apply_pcf(*f, p); });
    } else if (contains(n, "KEY")) {
        KEYBOARD* k = create(g.keyboards, name.c_str());
        for_each_param(fields, false, [k](const PARAM& p) { apply_keyboard(*k, p); });
    } else if (contains(n, "SAMPLER")) {
        SAMPLER* s = create(g.samplers, name.c_str());
        for_each_param(fields, true, [s](const PARAM& p) { apply_sampler(*s, p); });
    } else if (contains(n, "VCO")) {
        VCO* o = create(g.vcos, name.c_str());
        for_each_param(fields, true, [o](const PARAM& p) { apply_vco(*o, p); });
    }
    if (contains(n, "VCA")) {
        VCA* a = create(g.vcas, name.c_str());
        for_each_param(fields, true, [a](const PARAM& p) { apply_vca(*a, p); });
    }
    if (contains(n, "MIXER")) {
        MIXER* m = create(g.mixers, name.c_str());
        for_each_param(fields, false, [m](const PARAM& p) { apply_mixer(*m, p); });
    }
}

} // namespace

int load_objects(GENERATOR* g, const char* path) {
    FILE_HANDLE f = open_patch(path);
    if (!f) {
        std::printf("Must Specify a true filename\n");
        return 0;
    }
    copy_name(g->patch_path, static_cast<int>(sizeof g->patch_path), path);
    word_number = 0;
    std::string word;
    try {
        for (;;) {
            WORD_READ r = read_word(f.get(), word);
            if (r == WORD_READ::END) break;
            ++word_number;
            if (r == WORD_READ::TOO_LONG) {
                report_too_long();
                continue;
            }
            if (word == "BEGIN_OBJECTS_DECLARE") continue;
            if (word == "END_OBJECTS_DECLARE") break;
            if (word[0] == '#') continue;
            declare_object(*g, word);
        }
    } catch (const STOP_READING&) {
    }
    return 1;
}
