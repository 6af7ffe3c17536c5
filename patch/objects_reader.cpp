// Reading the objects section of a patch: one module per declaration, keys applied in order.
#include "patch_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/door.h"
#include "engine/midi_bindings.h"
#include "engine/note_table.h"
#include "name_limits.h"
#include "panel_place_keys.h"
#include "patch_keys.h"
#include "patch_markers.h"
#include "patch_words.h"
#include "sample_path.h"
#include "splitter.h"

using namespace patch_read;

namespace {

// The most characters of a field a warning quotes: a stray word may be a megabyte long.
constexpr int QUOTED_MAX = 80;
// Sets one parameter of a module being read through the door; the key's range was checked
// with its message, so the door takes what arrives.
void put(DOOR& door, const MODULE_REF& m, PARAM_ID id, double v, int row = 0, int index = 0) {
    door.set(m, PARAM_KEY{id, row, index}, v);
}

// NOTE_ stores a note number as octave and note within it, which cannot express every pair
// (note 12 of octave 3, note -1 of octave 2); the octave key then sets the octave and moves
// the note so that the note number stays.
void set_step_octave(DOOR& door, SEQUENCER& s, int row, int col, int octave) {
    int64_t number = s.step_note[row][col] + 12 * static_cast<int64_t>(s.step_octave[row][col]);
    int64_t note = number - 12 * static_cast<int64_t>(octave);
    if (note > INT32_MAX) note = INT32_MAX;
    if (note < INT32_MIN) note = INT32_MIN;
    put(door, module_ref(&s), P_SEQ_OCTAVE, octave, row, col);
    put(door, module_ref(&s), P_SEQ_NOTE, static_cast<double>(note), row, col);
}

// Reports a value that the key refuses; the module keeps what it had.
void refuse_value(const char* module, const PARAM& p, const OBJECT_KEY& key) {
    const char* value = p.value != nullptr ? p.value.get() : "";
    if (key.value == VALUE_WAVE)
        report(MSG_BAD_VALUE, "%s : %s=%s refuse, forme 1 a 6 attendue\n", module,
               p.key != nullptr ? p.key.get() : "", value);
    else
        report(MSG_BAD_VALUE, "%s : %s=%s refuse, hors de %g a %g\n", module,
               p.key != nullptr ? p.key.get() : "", value, key.min, key.max);
}

void refuse_key(const char* module, const PARAM& p) {
    report(MSG_BAD_VALUE, "%s : %s=%s ne designe aucune case\n", module, p.key != nullptr ? p.key.get() : "",
           p.value.get());
}

// The value a field gives the key, or null when the field does not apply the key (it does not
// contain the key's text or has no value) or the key refuses the value (after a warning).
const char* accepted(const char* module, const PARAM& p, const OBJECT_KEY& key) {
    if (!p.has(key.text)) return nullptr;
    if (p.value == nullptr) {
        // FILE= is how a sampler without a sample is saved; a number key needs its number.
        if (key.value == VALUE_INT || key.value == VALUE_REAL)
            report(MSG_BAD_VALUE, "%s : %.*s sans valeur, ignore\n", module, QUOTED_MAX, p.field.c_str());
        return nullptr;
    }
    if (!value_text_is_number(key, p.value.get())) {
        report(MSG_BAD_VALUE, "%s : %s=%.*s refuse, pas un nombre\n", module,
               p.key != nullptr ? p.key.get() : "", QUOTED_MAX, p.value.get());
        return nullptr;
    }
    if (value_text_accepted(key, p.value.get())) return p.value.get();
    refuse_value(module, p, key);
    return nullptr;
}

// The step cell a step key names; false (after a warning) when it names none.
bool step_cell(const char* module, const PARAM& p, STEP_KEY_FORM form, int& row, int& col) {
    if (step_cell_of(p.key.get(), form, row, col)) return true;
    refuse_key(module, p);
    return false;
}

void apply_sequencer(DOOR& door, SEQUENCER& s, const PARAM& p) {
    const MODULE_REF m = module_ref(&s);
    for (int k = 0; k < SK_COUNT; ++k) {
        const char* v = accepted(s.name, p, sequencer_keys[k]);
        if (v == nullptr) continue;
        int row, col;
        switch (k) {
        case SK_DIVIDER:
            put(door, m, P_SEQ_DIVIDER, patch_real(v));
            put(door, m, P_SEQ_WISHED_TEMPO, patch_real(v));
            break;
        case SK_NBR_STEP:
            put(door, m, P_SEQ_NBR_STEP, patch_int(v));
            break;
        case SK_NOTE:
            if (step_cell(s.name, p, STEP_NOTE, row, col)) {
                int n = patch_int(v);
                put(door, m, P_SEQ_OCTAVE, n / 12, row, col);
                put(door, m, P_SEQ_NOTE, n - 12 * (n / 12), row, col);
            }
            break;
        case SK_BYPASS:
            if (step_cell(s.name, p, STEP_BYPASS, row, col)) put(door, m, P_SEQ_BYPASS, patch_int(v), row, col);
            break;
        case SK_VOLUME:
            if (step_cell(s.name, p, STEP_THREE_DIGIT, row, col)) put(door, m, P_SEQ_VOLUME, patch_real(v), row, col);
            break;
        case SK_LENGHT:
            if (step_cell(s.name, p, STEP_THREE_DIGIT, row, col)) put(door, m, P_SEQ_LENGHT, patch_real(v), row, col);
            break;
        case SK_OCTAVE:
            if (step_cell(s.name, p, STEP_BYPASS, row, col)) set_step_octave(door, s, row, col, patch_int(v));
            break;
        case SK_POWER:
            put(door, m, P_SEQ_POWER, patch_int(v));
            break;
        case SK_PLAYING:
            put(door, m, P_SEQ_PLAYING_PATTERN, patch_int(v));
            put(door, m, P_SEQ_WISHED_PATTERN, patch_int(v));
            break;
        case SK_WISHED_PATTERN:
            put(door, m, P_SEQ_WISHED_PATTERN, patch_int(v));
            break;
        case SK_WISHED_TEMPO:
            put(door, m, P_SEQ_WISHED_TEMPO, patch_real(v));
            break;
        }
    }
}

// The parameter each plain key of a kind sets, in the kind's key order.
constexpr PARAM_ID PCF_PARAMS[FK_COUNT] = {P_PCF_HICUT, P_PCF_AMOUNT, P_PCF_TYPE,  P_PCF_GAIN,
                                           P_PCF_Q,     P_PCF_BYPASS, P_PCF_POWER};
constexpr PARAM_ID VCA_PARAMS[AK_COUNT] = {P_VCA_ATTACK,  P_VCA_INVERT,  P_VCA_BYPASS,
                                           P_VCA_DECAY,   P_VCA_SUSTAIN, P_VCA_RELEASE};
constexpr PARAM_ID KEYBOARD_PARAMS[KK_COUNT] = {P_KEY_POWER, P_KEY_OCTAVE, P_KEY_NOTE};

// A whole or real value as the key reads it.
double key_value(const OBJECT_KEY& key, const char* v) {
    return key.value == VALUE_REAL ? static_cast<double>(patch_real(v)) : patch_int(v);
}

void apply_pcf(DOOR& door, PCF& f, const PARAM& p) {
    const MODULE_REF m = module_ref(&f);
    for (int k = 0; k < FK_COUNT; ++k) {
        const char* v = accepted(f.name, p, pcf_keys[k]);
        if (v == nullptr) continue;
        const double value = key_value(pcf_keys[k], v);
        put(door, m, PCF_PARAMS[k], value);
        // GAIN also sets AMOUNT to its whole part divided by 10, in integer division.
        if (k == FK_GAIN) put(door, m, P_PCF_AMOUNT, static_cast<float>(integer_part(f.GAIN) / 10));
    }
}

void apply_vco(DOOR& door, VCO& o, const PARAM& p) {
    const MODULE_REF m = module_ref(&o);
    for (int k = 0; k < OK_COUNT; ++k) {
        const char* v = accepted(o.name, p, vco_keys[k]);
        if (v == nullptr) continue;
        switch (k) {
        case OK_TYPE:
            put(door, m, P_VCO_TYPE, vco_type_of(v));
            break;
        case OK_FREQ:
            put(door, m, P_VCO_FREQ, patch_real(v));
            break;
        case OK_AMOUNT:
            put(door, m, P_VCO_AMOUNT, patch_real(v));
            break;
        case OK_NOTE:
            put(door, m, P_VCO_FREQ, static_cast<float>(note_at(patch_int(v))));
            break;
        case OK_PHASE:
            put(door, m, P_VCO_PHASE, patch_real(v));
            break;
        case OK_PWM:
            put(door, m, P_VCO_PWM, patch_real(v));
            break;
        case OK_POWER:
            put(door, m, P_VCO_POWER, patch_int(v));
            break;
        case OK_WAVEFORM:
            put(door, m, P_VCO_TYPE, patch_int(v));
            break;
        }
    }
}

void apply_vca(DOOR& door, VCA& a, const PARAM& p) {
    for (int k = 0; k < AK_COUNT; ++k)
        if (const char* v = accepted(a.name, p, vca_keys[k]))
            put(door, module_ref(&a), VCA_PARAMS[k], key_value(vca_keys[k], v));
}

void apply_keyboard(DOOR& door, KEYBOARD& kb, const PARAM& p) {
    for (int k = 0; k < KK_COUNT; ++k)
        if (const char* v = accepted(kb.name, p, keyboard_keys[k]))
            put(door, module_ref(&kb), KEYBOARD_PARAMS[k], key_value(keyboard_keys[k], v));
}

void apply_mixer(DOOR& door, MIXER& mx, const PARAM& p) {
    const MODULE_REF m = module_ref(&mx);
    for (int k = 0; k < MK_COUNT; ++k) {
        const char* v = accepted(mx.name, p, mixer_keys[k]);
        if (v == nullptr) continue;
        int slot;
        if (k != MK_ENABLED && !indexed_key_of(p.key.get(), mixer_keys[k].text, MIXER_SLOTS, slot)) {
            refuse_key(mx.name, p);
            continue;
        }
        switch (k) {
        case MK_ENABLED:
            put(door, m, P_MIX_ENABLED, patch_int(v));
            break;
        case MK_LEVEL:
            put(door, m, P_MIX_LEVEL, patch_real(v), 0, slot);
            break;
        case MK_MUTE:
            put(door, m, P_MIX_MUTE, patch_real(v), 0, slot);
            break;
        }
    }
}

// A missing file names the sampler and every path tried.
void report_missing_sample(const SAMPLER& s, const char* file) {
    std::string tried;
    for (const std::string& path : sample_candidates(read_place.path, file))
        tried += (tried.empty() ? "" : ", ") + path;
    std::printf("%s:%d: Error load the file : %s : FILE=%s introuvable (%s), le sampler reste muet\n",
                read_place.path.c_str(), read_place.word_line, s.name, file, tried.c_str());
}

// The FILE value is kept as written, so a save writes it back; it is looked for beside the
// patch first, then in the current folder.
void load_sample(SAMPLER& s, const char* file) {
    copy_name(s.sample_path, sizeof s.sample_path, file);
    copy_name(s.FILE, sizeof s.FILE, file);
    const std::string path = sample_path_for(read_place.path, file);
    int bytes = read_wave_data(s.sample_data, path.c_str());
    if (bytes == WAVE_OPEN_FAILED) report_missing_sample(s, file);
    // A missing or refused file leaves the sampler without a sample: silent, the patch plays on.
    if (bytes == WAVE_OPEN_FAILED || bytes == WAVE_REFUSED) {
        s.sample_frames = 0;
        return;
    }
    s.sample_frames = bytes / 4;
    std::printf("Loaded WAVE file [%-32s][%d ]\n", path.c_str(), s.sample_frames);
}

// A sampler's file is loaded here, not set through the door: it is data, not a parameter.
void apply_sampler(DOOR&, SAMPLER& s, const PARAM& p) {
    if (const char* v = accepted(s.name, p, sampler_keys[PK_FILE])) load_sample(s, v);
}

// How the fields of a declaration apply to a module of each kind.
using APPLY_FIELD = void (*)(DOOR& door, void* module, const PARAM& p);
template <class M, void (*APPLY)(DOOR&, M&, const PARAM&)> void apply_to(DOOR& door, void* m, const PARAM& p) {
    APPLY(door, *static_cast<M*>(m), p);
}
struct KIND_READER {
    MODULE_KIND kind;
    APPLY_FIELD apply;
};
const KIND_READER KIND_READERS[] = {
    {KIND_SEQUENCER, apply_to<SEQUENCER, apply_sequencer>}, {KIND_PCF, apply_to<PCF, apply_pcf>},
    {KIND_KEYBOARD, apply_to<KEYBOARD, apply_keyboard>},    {KIND_SAMPLER, apply_to<SAMPLER, apply_sampler>},
    {KIND_VCO, apply_to<VCO, apply_vco>},                   {KIND_VCA, apply_to<VCA, apply_vca>},
    {KIND_MIXER, apply_to<MIXER, apply_mixer>},
};
APPLY_FIELD apply_of(MODULE_KIND kind) {
    for (const KIND_READER& r : KIND_READERS)
        if (r.kind == kind) return r.apply;
    return nullptr;
}

// The modules read so far, each kind in reading order. They join the graph's lists only when
// the section has been read: each list then takes them in reverse, in front of what it held,
// so it runs newest first without moving its modules once per declaration.
struct NEW_MODULES {
    std::vector<void*> read[KIND_COUNT];
    std::vector<std::pair<const void*, PANEL_PLACE>> places;

    void join_all(GENERATOR& g) {
        for (const auto& [module, place] : places)
            g.panel_places[module] = place;
        places.clear();
        for (int k = 0; k < KIND_COUNT; ++k) {
            kind_info(static_cast<MODULE_KIND>(k)).access->join(g, read[k]);
            read[k].clear();
        }
    }
};

// A field that no key of the kinds the name creates applies is ignored, once said.
void report_unknown_keys(const std::string& name, const std::vector<std::string_view>& fields,
                         const MODULE_KIND* kinds, int n) {
    for (size_t i = 1; i + 1 < fields.size(); ++i) {
        if (fields[i].empty()) continue;
        bool known = is_binding_key(std::string(fields[i]).c_str());
        for (int k = 0; k < n && !known; ++k) {
            const MODULE_KIND_INFO& info = kind_info(kinds[k]);
            for (int j = 0; j < info.key_count && !known; ++j)
                known = contains(fields[i], info.keys[j].text);
        }
        if (!known)
            report(MSG_UNKNOWN_KEY, "%s : %.*s cle inconnue, ignoree\n", name.c_str(),
                   static_cast<int>(std::min<size_t>(fields[i].size(), QUOTED_MAX)), fields[i].data());
    }
}

// A binding field binds the controller it gives to the parameter its key names; one naming no
// parameter of the kind, or no controller 0 to 127, is refused with a warning.
void bind_field(GENERATOR& g, const char* module, MODULE_KIND kind, void* m, const PARAM& p) {
    if (p.key == nullptr || !is_binding_key(p.key.get())) return;
    PARAM_KEY key;
    if (!binding_key_of(kind, p.key.get(), key)) {
        report(MSG_UNKNOWN_KEY, "%s : %.*s cle inconnue, ignoree\n", module, QUOTED_MAX, p.field.c_str());
        return;
    }
    const int controller = binding_controller_of(p.value != nullptr ? p.value.get() : nullptr);
    if (controller < 0) {
        report(MSG_BAD_VALUE, "%s : %s=%.*s refuse, hors de 0 a 127\n", module, p.key.get(), QUOTED_MAX,
               p.value != nullptr ? p.value.get() : "");
        return;
    }
    bind_controller(g, MODULE_REF{kind, m}, key, controller);
}

void declare_object(GENERATOR& g, DOOR& door, NEW_MODULES& made, const std::string& word) {
    std::vector<std::string_view> fields;
    if (!split_declaration(word, fields)) return;
    const std::string name(fields[0]);
    MODULE_KIND kinds[4];
    const int n = created_kinds_of(name.c_str(), kinds);
    if (n == 0) return;
    // A cut name could be matched by a link meant for another module with the same beginning.
    const size_t capacity = name_capacity_of(name.c_str());
    if (name.size() > capacity) {
        report(MSG_BAD_VALUE, "nom de module de %zu caracteres refuse, %zu au plus : %.40s...\n", name.size(),
               capacity, name.c_str());
        return;
    }
    PANEL_PLACE place;
    const bool placed = take_panel_place(name.c_str(), fields, place);
    report_unknown_keys(name, fields, kinds, n);
    for (int i = 0; i < n; ++i) {
        const MODULE_KIND_INFO& info = kind_info(kinds[i]);
        void* m = info.access->create(name.c_str());
        made.read[kinds[i]].push_back(m);
        if (placed) made.places.emplace_back(m, place);
        const APPLY_FIELD apply = apply_of(kinds[i]);
        for_each_param(fields, info.empty_field_stops, [&](const PARAM& p) {
            apply(door, m, p);
            bind_field(g, name.c_str(), kinds[i], m, p);
        });
    }
}

// The modules the objects section declares, counted before any is made: a patch over the limit
// is refused without taking the memory it asks for. Reading stops at the end marker, as the
// section does.
size_t declared_modules(FILE* f) {
    size_t count = 0;
    std::string word;
    for (;;) {
        WORD_READ r = read_word(f, word);
        if (r == WORD_READ::END || (r == WORD_READ::WORD && word == OBJECTS_END)) break;
        if (r == WORD_READ::TOO_LONG || word[0] == '#') continue;
        const size_t name_end = word.find(';');
        if (name_end == 0 || name_end == std::string::npos ||
            word.find(';', name_end + 1) == std::string::npos)
            continue;
        MODULE_KIND kinds[4];
        count += static_cast<size_t>(created_kinds_of(word.substr(0, name_end).c_str(), kinds));
    }
    return count;
}

} // namespace

int load_objects(GENERATOR* g, const char* path) {
    FILE_HANDLE f = open_patch(path);
    if (!f) {
        const int error = errno;
        std::printf("Must Specify a true filename\n");
        std::printf("Cannot open [%s] : %s\n", path, std::strerror(error));
        return 0;
    }
    if (total_modules(*g) + declared_modules(f.get()) > PATCH_MODULES_MAX) {
        std::printf("Patch [%s] refuse : plus de %zu modules\n", path, PATCH_MODULES_MAX);
        return 0;
    }
    std::rewind(f.get());
    restart_lines();
    copy_name(g->patch_path, static_cast<int>(sizeof g->patch_path), path);
    NEW_MODULES made;
    DOOR door(*g);
    try {
        read_section(f.get(), SECTION{OBJECTS_BEGIN, OBJECTS_END, true},
                     [&](const std::string& word) { declare_object(*g, door, made, word); });
    } catch (...) {
        // A fatal hook that throws: what was read so far stays in the graph.
        made.join_all(*g);
        throw;
    }
    made.join_all(*g);
    return 1;
}
