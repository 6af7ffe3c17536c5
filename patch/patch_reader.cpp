// Reading a patch file: words, the objects section's declarations and the links section's wiring.
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
#include "splitter.h"

int word_number = 0;

void (*patch_caption_hook)(const char* path) = nullptr;

namespace {

void exit_with(int status) {
    std::exit(status);
}

} // namespace

void (*patch_fatal_hook)(int status) = exit_with;

namespace {

// Raised after the fatal hook when the hook returns instead of ending the process: reading
// stops there.
struct STOP_READING {};

void fatal() {
    patch_fatal_hook(-1);
    throw STOP_READING{};
}

struct FILE_CLOSER {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FILE_HANDLE = std::unique_ptr<FILE, FILE_CLOSER>;

FILE_HANDLE open_patch(const char* path) {
    if (patch_caption_hook != nullptr) patch_caption_hook(path);
    return FILE_HANDLE(std::fopen(path, "r"));
}

// The blanks of scanf "%s": blank, tab, line feed, vertical tab, form feed, carriage return.
bool is_blank(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

enum class WORD_READ { WORD, TOO_LONG, END };

// Reads the next word. A word longer than PATCH_WORD_MAX is consumed whole and reported as
// too long, so the next read starts after it.
WORD_READ read_word(FILE* f, std::string& word) {
    word.clear();
    int c;
    do
        c = std::getc(f);
    while (c != EOF && is_blank(c));
    if (c == EOF) return WORD_READ::END;
    bool too_long = false;
    for (; c != EOF && !is_blank(c); c = std::getc(f)) {
        if (word.size() < PATCH_WORD_MAX)
            word.push_back(static_cast<char>(c));
        else
            too_long = true;
    }
    return too_long ? WORD_READ::TOO_LONG : WORD_READ::WORD;
}

void report_too_long() {
    std::printf("Ligne %d : mot de plus de %zu caracteres ignore\n", word_number, PATCH_WORD_MAX);
}

void report_short_word() {
    std::printf("Ligne %d semble avoir moins de 2 parametres\n", word_number);
}

void report_empty_field() {
    std::printf("Erreur, au niveau des parametre ligne [%d]\n", word_number);
}

// One parameter field: the whole text, the key (text before the first "=") and the value
// (text after it up to the next "="); key and value are null when empty.
struct PARAM {
    std::string field;
    std::unique_ptr<char[]> key;
    std::unique_ptr<char[]> value;

    explicit PARAM(std::string_view text) : field(text) {
        SPLITTER at_equal{'=', field.c_str()};
        key = at_equal.field_at(0);
        value = at_equal.field_at(1);
    }
    bool has(const char* key_text) const { return std::strstr(field.c_str(), key_text) != nullptr; }
};

bool contains(std::string_view text, const char* keyword) {
    return text.find(keyword) != std::string_view::npos;
}

// Calls apply on every parameter field (1 to n - 1) of a declaration. An empty field ends the
// process for the kinds that treat it as an error and is skipped by the others.
template <class APPLY>
void for_each_param(const std::vector<std::string_view>& fields, bool empty_is_fatal, APPLY apply) {
    for (size_t i = 1; i + 1 < fields.size(); ++i) {
        if (fields[i].empty()) {
            if (!empty_is_fatal) continue;
            report_empty_field();
            fatal();
        }
        PARAM p(fields[i]);
        apply(p);
    }
}

// ---- objects section -------------------------------------------------------------------

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
    if (bytes == -1) {
        std::printf("Error load the file\n");
        fatal();
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
    SPLITTER split{';', word.c_str()};
    if (split.separator_count() < 2) {
        report_short_word();
        return;
    }
    std::vector<std::string_view> fields = split.fields();
    if (fields[0].empty()) return;
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

// ---- links section ---------------------------------------------------------------------

// Whether a module carries the wanted name. Names are cut to their array when declared, so a
// wanted name too long for the array matches the module holding its cut form.
template <class M> bool has_name(const M& m, const char* wanted) {
    const size_t capacity = sizeof m.name;
    if (std::strlen(wanted) < capacity) return std::strcmp(m.name, wanted) == 0;
    return std::strlen(m.name) == capacity - 1 && std::strncmp(m.name, wanted, capacity - 1) == 0;
}

template <class M> M* find_named(const std::vector<M*>& list, const char* wanted) {
    for (M* m : list)
        if (has_name(*m, wanted)) return m;
    return nullptr;
}

// What a source offers to the ports it can feed.
struct SOURCE {
    float* value = nullptr;
    int32_t* gate = nullptr;
    int32_t* sync = nullptr;
};

template <class M> SOURCE note_source(M* m) {
    SOURCE s;
    if (m != nullptr) {
        s.value = &m->value;
        s.gate = &m->gate;
        s.sync = &m->sync_pulse;
    }
    return s;
}

template <class M> SOURCE audio_source(M* m) {
    SOURCE s;
    if (m != nullptr) s.value = &m->value;
    return s;
}

SOURCE find_source(GENERATOR& g, SOURCE_KIND kind, const char* name) {
    switch (kind) {
    case SRC_SEQUENCER:
        return note_source(find_named(g.sequencers, name));
    case SRC_KEY:
        // With a single keyboard every "KEY" source is that keyboard, whatever its name.
        return note_source(g.keyboards.size() == 1 ? g.keyboards[0] : find_named(g.keyboards, name));
    case SRC_VCO:
        return audio_source(find_named(g.vcos, name));
    case SRC_SAMPLER:
        return audio_source(find_named(g.samplers, name));
    case SRC_VCA:
        return audio_source(find_named(g.vcas, name));
    case SRC_PCF:
        return audio_source(find_named(g.filters, name));
    case SRC_MIXER:
        return audio_source(find_named(g.mixers, name));
    default:
        return SOURCE{};
    }
}

// The ports of one target module (null where the kind has no such port).
struct TARGET {
    TARGET_KIND kind;
    float** input = nullptr;
    int32_t** gate_in = nullptr;
    int32_t** sync_in = nullptr;
    MOD_SLOT* mod_freq = nullptr;
    MOD_SLOT* mod_phase = nullptr;
    MOD_SLOT* mod_amp = nullptr;
    MOD_SLOT* mod_pwm = nullptr;
    MIXER* mixer = nullptr;
};

template <class M> void modulated(TARGET& t, M* m) {
    t.input = &m->input;
    t.gate_in = &m->gate_in;
    t.sync_in = &m->sync_in;
    t.mod_freq = &m->mod_freq;
    t.mod_phase = &m->mod_phase;
    t.mod_amp = &m->mod_amp;
}

bool find_target(GENERATOR& g, TARGET_KIND kind, const char* name, TARGET& t) {
    t = TARGET{};
    t.kind = kind;
    switch (kind) {
    case TGT_SEQUENCER:
        if (SEQUENCER* s = find_named(g.sequencers, name)) {
            t.sync_in = &s->sync_in;
            return true;
        }
        return false;
    case TGT_VCO:
        if (VCO* o = find_named(g.vcos, name)) {
            modulated(t, o);
            t.mod_pwm = &o->mod_pwm;
            return true;
        }
        return false;
    case TGT_MIXER:
        return (t.mixer = find_named(g.mixers, name)) != nullptr;
    case TGT_VCA:
        if (VCA* a = find_named(g.vcas, name)) {
            t.input = &a->input;
            t.gate_in = &a->gate_in;
            return true;
        }
        return false;
    case TGT_PCF:
        if (PCF* f = find_named(g.filters, name)) {
            modulated(t, f);
            return true;
        }
        return false;
    case TGT_SAMPLER:
        if (SAMPLER* s = find_named(g.samplers, name)) {
            modulated(t, s);
            return true;
        }
        return false;
    default:
        return false;
    }
}

void connect_mod(GENERATOR& g, MOD_SLOT* slot, const SOURCE& s) {
    if (slot != nullptr && s.value != nullptr) *slot = g.new_mod_cell(s.value);
}

void connect(GENERATOR& g, TARGET& t, PORT port, const SOURCE& s) {
    switch (port) {
    case PORT_INPUT:
        if (t.input != nullptr && s.value != nullptr) *t.input = s.value;
        break;
    case PORT_GATE:
        if (t.gate_in != nullptr && s.gate != nullptr) *t.gate_in = s.gate;
        break;
    case PORT_SYNC:
        if (t.sync_in != nullptr && s.sync != nullptr) *t.sync_in = s.sync;
        break;
    case PORT_MOD_FREQ:
        connect_mod(g, t.mod_freq, s);
        break;
    case PORT_MOD_PHASE:
        connect_mod(g, t.mod_phase, s);
        break;
    case PORT_MOD_AMP:
        connect_mod(g, t.mod_amp, s);
        break;
    case PORT_MOD_PWM:
        connect_mod(g, t.mod_pwm, s);
        break;
    case PORT_CHANNEL:
        // A mixer with every channel in use ignores further channels.
        if (t.mixer != nullptr && s.value != nullptr) t.mixer->add_channel(s.value);
        break;
    case PORT_SLOT:
        if (t.mixer != nullptr) t.mixer->add_channel(s.value);
        break;
    }
}

// The source a field names among the kinds a rule accepts: every kind whose keyword the name
// contains is looked up, and the last one found counts.
SOURCE rule_source(GENERATOR& g, const PORT_RULE& rule, const char* source_name) {
    SOURCE found;
    for (int k = 0; k < rule.source_count; ++k) {
        SOURCE_KIND kind = rule.sources[k];
        if (std::strstr(source_name, source_keywords[kind]) == nullptr) continue;
        SOURCE s = find_source(g, kind, source_name);
        if (s.value != nullptr) found = s;
    }
    return found;
}

void apply_link(GENERATOR& g, TARGET& t, const PARAM& p) {
    const char* source_name = p.value.get();
    PORT_RULES rules = port_rules(t.kind);
    for (int r = 0; r < rules.count; ++r) {
        const PORT_RULE& rule = rules.rules[r];
        const char* tested = rule.key_text_only ? p.key.get() : p.field.c_str();
        if (tested == nullptr || std::strstr(tested, rule.key) == nullptr) continue;
        if (rule.port == PORT_SLOT) {
            // One channel per field, left unconnected when the source is missing.
            connect(g, t, rule.port, source_name != nullptr ? rule_source(g, rule, source_name) : SOURCE{});
            continue;
        }
        if (source_name == nullptr) continue;
        for (int k = 0; k < rule.source_count; ++k) {
            SOURCE_KIND kind = rule.sources[k];
            if (std::strstr(source_name, source_keywords[kind]) == nullptr) continue;
            connect(g, t, rule.port, find_source(g, kind, source_name));
        }
    }
}

void declare_link(GENERATOR& g, const std::string& word) {
    SPLITTER split{';', word.c_str()};
    if (split.separator_count() < 2) {
        report_short_word();
        return;
    }
    std::vector<std::string_view> fields = split.fields();
    if (fields[0].empty()) return;
    const std::string name(fields[0]);
    const std::string_view n(name);

    std::vector<TARGET_KIND> kinds;
    if (contains(n, "SEQUENCER"))
        kinds.push_back(TGT_SEQUENCER);
    else if (contains(n, "VCO"))
        kinds.push_back(TGT_VCO);
    else if (contains(n, "MIXER"))
        kinds.push_back(TGT_MIXER);
    if (contains(n, "VCA")) kinds.push_back(TGT_VCA);
    if (contains(n, "PCF")) kinds.push_back(TGT_PCF);
    if (contains(n, "SAMPLER")) kinds.push_back(TGT_SAMPLER);

    // A target that no module carries makes the whole declaration a no-op.
    std::vector<TARGET> targets;
    for (TARGET_KIND kind : kinds) {
        TARGET t;
        if (find_target(g, kind, name.c_str(), t)) targets.push_back(t);
    }
    if (targets.empty()) return;

    for_each_param(fields, true, [&](const PARAM& p) {
        for (TARGET& t : targets)
            apply_link(g, t, p);
    });
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

int load_links(GENERATOR* g, const char* path) {
    FILE_HANDLE f = open_patch(path);
    if (!f) return 1;
    word_number = 0;
    bool started = false;
    std::string word;
    try {
        for (;;) {
            WORD_READ r = read_word(f.get(), word);
            if (r == WORD_READ::END) break;
            ++word_number;
            if (r == WORD_READ::TOO_LONG) {
                if (started) report_too_long();
                continue;
            }
            if (word == "BEGIN_LINKS_DECLARE") {
                started = true;
                continue;
            }
            if (word == "END_LINKS_DECLARE") break;
            if (word[0] == '#' || !started) continue;
            declare_link(*g, word);
        }
    } catch (const STOP_READING&) {
    }
    return 1;
}
