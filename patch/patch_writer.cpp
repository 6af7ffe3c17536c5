// Writing a module graph as a patch file.
#include "patch_writer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "engine/midi_bindings.h"
#include "panel_place_keys.h"
#include "patch_keys.h"
#include "patch_markers.h"

namespace {

// ---- formatting ------------------------------------------------------------------------

void add(std::string& out, const char* text) {
    out += text;
}

void add_int(std::string& out, long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", v);
    out += buf;
}

// Nine significant digits identify every float: reading them back gives the same value.
void add_real(std::string& out, float v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    out += buf;
}

// "KEY=value;"
void int_field(std::string& out, const char* key, long long v) {
    out += key;
    out += '=';
    add_int(out, v);
    out += ';';
}

void real_field(std::string& out, const char* key, float v) {
    out += key;
    out += '=';
    add_real(out, v);
    out += ';';
}

// The same for a key of the tables, written only when the reader accepts the value: a value it
// would refuse is left out, so the saved patch reloads it as its default, without a warning.
void int_field(std::string& out, const OBJECT_KEY& key, long long v, const char* text = nullptr) {
    if (value_in_range(key, static_cast<double>(v))) int_field(out, text != nullptr ? text : key.text, v);
}

// A key every line of its kind carries, so that the line never reads as an empty field: the
// value, or the default a reload gives a refused one.
void int_field_or(std::string& out, const OBJECT_KEY& key, long long v, long long fallback) {
    int_field(out, key.text, value_in_range(key, static_cast<double>(v)) ? v : fallback);
}

void real_field(std::string& out, const OBJECT_KEY& key, float v, const char* text = nullptr) {
    if (value_in_range(key, v)) real_field(out, text != nullptr ? text : key.text, v);
}

// Whether two floats are the same value to the bit, so that -0 and 0 differ.
bool same(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void put_line(FILE* f, std::string& line) {
    line += '\n';
    std::fputs(line.c_str(), f);
}

// A declaration with no parameter field keeps the form "NAME;;".
void close_declaration(std::string& line, size_t name_end) {
    if (line.size() == name_end) line += ';';
}

// ---- source look-up --------------------------------------------------------------------

struct NAMED_SOURCE {
    const char* name;
    MODULE_KIND kind;
};

// Every output of a graph by its address, with the module that owns it: a port names its
// source by one look-up, so a graph saves in time that grows with its size. Where two modules
// would claim an address, the first in the listing order keeps it.
class SOURCE_NAMES {
  public:
    explicit SOURCE_NAMES(const GENERATOR& g) {
        for (const MODULE_REF& m : module_order(g))
            values_.emplace(module_value(m), NAMED_SOURCE{module_name(m), m.kind});
        // Gates and sync pulses come from note sources only.
        for (KEYBOARD* k : g.keyboards) {
            gates_.emplace(&k->gate, NAMED_SOURCE{k->name, KIND_KEYBOARD});
            syncs_.emplace(&k->sync_pulse, NAMED_SOURCE{k->name, KIND_KEYBOARD});
        }
        for (SEQUENCER* s : g.sequencers) {
            gates_.emplace(&s->gate, NAMED_SOURCE{s->name, KIND_SEQUENCER});
            syncs_.emplace(&s->sync_pulse, NAMED_SOURCE{s->name, KIND_SEQUENCER});
        }
    }
    // The module owning the address; false for an address no module owns.
    bool value(const float* address, NAMED_SOURCE& out) const { return find(values_, address, out); }
    bool gate(const int32_t* address, NAMED_SOURCE& out) const { return find(gates_, address, out); }
    bool sync(const int32_t* address, NAMED_SOURCE& out) const { return find(syncs_, address, out); }

  private:
    using INDEX = std::unordered_map<const void*, NAMED_SOURCE>;
    static bool find(const INDEX& index, const void* address, NAMED_SOURCE& out) {
        if (address == nullptr) return false;
        auto it = index.find(address);
        if (it == index.end()) return false;
        out = it->second;
        return true;
    }
    INDEX values_, gates_, syncs_;
};

// ---- link fields -----------------------------------------------------------------------

// "KEY=SOURCE;" with the key the reader connects that port from that source kind by.
void link_field(std::string& line, MODULE_KIND target, PORT port, const NAMED_SOURCE& s) {
    const char* key = port_key_for(target, port, s.kind);
    if (key == nullptr) return;
    line += key;
    line += '=';
    line += s.name;
    line += ';';
}

void input_field(std::string& line, const SOURCE_NAMES& g, MODULE_KIND target, const float* input) {
    NAMED_SOURCE s;
    if (g.value(input, s)) link_field(line, target, PORT_INPUT, s);
}

void mod_field(std::string& line, const SOURCE_NAMES& g, MODULE_KIND target, PORT port, MOD_SLOT slot) {
    NAMED_SOURCE s;
    if (slot != nullptr && g.value(*slot, s)) link_field(line, target, port, s);
}

void gate_field(std::string& line, const SOURCE_NAMES& g, MODULE_KIND target, const int32_t* gate_in) {
    NAMED_SOURCE s;
    if (g.gate(gate_in, s)) link_field(line, target, PORT_GATE, s);
}

void sync_field(std::string& line, const SOURCE_NAMES& g, MODULE_KIND target, const int32_t* sync_in) {
    NAMED_SOURCE s;
    if (g.sync(sync_in, s)) link_field(line, target, PORT_SYNC, s);
}

// Writes "NAME;fields\n" when there is at least one field.
bool finish_links(FILE* f, std::string& line, size_t name_end) {
    if (line.size() == name_end) return false;
    put_line(f, line);
    return true;
}

std::string line_start(const char* name) {
    std::string line = name;
    line += ';';
    return line;
}

// ---- sequencer cells -------------------------------------------------------------------

constexpr int DEFAULT_STEP_NOTE = 10;
constexpr int DEFAULT_STEP_OCTAVE = 3;
constexpr float DEFAULT_STEP_VOLUME = 1.0f;
constexpr float DEFAULT_STEP_LENGTH = 1.0f;
constexpr int DEFAULT_STEP_BYPASS = 0;

// "NOTE_rrr_ccc" and its kin: three-digit row and column, as the reader's fixed positions need.
void cell_key(std::string& out, const char* key, int row, int col) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%03d_%03d=", key, row, col);
    out += buf;
}

void note_cells(std::string& w, const SEQUENCER& m) {
    for (int r = 0; r < SEQ_ROWS; ++r)
        for (int c = 0; c < SEQ_COLS; ++c) {
            const int note = m.step_note[r][c];
            const int octave = m.step_octave[r][c];
            if (note == DEFAULT_STEP_NOTE && octave == DEFAULT_STEP_OCTAVE) continue;
            int64_t number = note + 12 * static_cast<int64_t>(octave);
            if (number > INT32_MAX) number = INT32_MAX;
            if (number < INT32_MIN) number = INT32_MIN;
            const int32_t n = static_cast<int32_t>(number);
            if (!value_in_range(sequencer_keys[SK_NOTE], n)) continue;
            cell_key(w, sequencer_keys[SK_NOTE].text, r, c);
            add_int(w, n);
            w += ';';
            // The note number gives back the octave n / 12 and the note n - 12 x (n / 12);
            // any other pair needs its octave as well.
            if ((n / 12 != octave || n - 12 * (n / 12) != note) &&
                value_in_range(sequencer_keys[SK_OCTAVE], octave)) {
                cell_key(w, sequencer_keys[SK_OCTAVE].text, r, c);
                add_int(w, octave);
                w += ';';
            }
        }
}

template <class T, class ADD>
void cells(std::string& w, const OBJECT_KEY& key, const T (&a)[SEQ_ROWS][SEQ_COLS], T def, ADD add_value) {
    for (int r = 0; r < SEQ_ROWS; ++r)
        for (int c = 0; c < SEQ_COLS; ++c) {
            if (std::memcmp(&a[r][c], &def, sizeof def) == 0) continue;
            if (!value_in_range(key, static_cast<double>(a[r][c]))) continue;
            cell_key(w, key.text, r, c);
            add_value(w, a[r][c]);
            w += ';';
        }
}

} // namespace

// ---- declarations ----------------------------------------------------------------------

static std::string declaration_text(const VCO& m) {
    std::string line = line_start(m.name);
    // TYPE is read from its first character: the six waveforms are single digits.
    int_field_or(line, vco_keys[OK_TYPE], m.TYPE, WAVE_SIN);
    real_field(line, vco_keys[OK_FREQ], m.FREQ);
    real_field(line, vco_keys[OK_AMOUNT], m.AMOUNT);
    real_field(line, vco_keys[OK_PHASE], m.PHASE);
    real_field(line, vco_keys[OK_PWM], m.PWM);
    int_field(line, vco_keys[OK_POWER], m.power);
    if (!value_in_range(vco_keys[OK_TYPE], m.TYPE)) int_field(line, vco_keys[OK_WAVEFORM], m.TYPE);
    return line;
}

void write_declaration(FILE* f, const VCO& m) {
    std::string line = declaration_text(m);
    put_line(f, line);
}

static std::string declaration_text(const VCA& m) {
    std::string line = line_start(m.name);
    int_field_or(line, vca_keys[AK_BYPASS], shared_load(m.BYPASS), 0); // follows the gate link
    real_field(line, vca_keys[AK_ATTACK], m.ATTACK);
    real_field(line, vca_keys[AK_DECAY], m.DECAY);
    real_field(line, vca_keys[AK_SUSTAIN], m.SUSTAIN);
    real_field(line, vca_keys[AK_RELEASE], m.RELEASE);
    int_field(line, vca_keys[AK_INVERT], m.INVERT);
    return line;
}

void write_declaration(FILE* f, const VCA& m) {
    std::string line = declaration_text(m);
    put_line(f, line);
}

static std::string declaration_text(const MIXER& m) {
    static const MIXER fresh;
    std::string line = line_start(m.name);
    const size_t name_end = line.size();
    if (m.enabled != fresh.enabled) int_field(line, mixer_keys[MK_ENABLED], m.enabled);
    char key[16];
    for (int i = 0; i < MIXER_SLOTS; ++i) {
        if (!same(m.level[i], fresh.level[i])) {
            std::snprintf(key, sizeof key, "%s%02d", mixer_keys[MK_LEVEL].text, i);
            real_field(line, mixer_keys[MK_LEVEL], m.level[i], key);
        }
        if (!same(m.mute[i], fresh.mute[i])) {
            std::snprintf(key, sizeof key, "%s%02d", mixer_keys[MK_MUTE].text, i);
            real_field(line, mixer_keys[MK_MUTE], m.mute[i], key);
        }
    }
    close_declaration(line, name_end);
    return line;
}

void write_declaration(FILE* f, const MIXER& m) {
    std::string line = declaration_text(m);
    put_line(f, line);
}

std::string sequencer_word(const SEQUENCER& m) {
    std::string w = line_start(m.name);
    // The playing tempo and pattern change at a pattern's end on the audio thread.
    const float divider = shared_load(m.DIVIDER);
    const int32_t pattern = shared_load(m.pattern);
    real_field(w, sequencer_keys[SK_DIVIDER], divider, SAVED_DIVIDER_KEY);
    int_field(w, sequencer_keys[SK_NBR_STEP], m.NBR_STEP);
    if (!same(m.next_divider, divider) || !value_in_range(sequencer_keys[SK_DIVIDER], divider))
        real_field(w, sequencer_keys[SK_WISHED_TEMPO], m.next_divider);
    int_field_or(w, sequencer_keys[SK_POWER], m.power, 1);
    if (pattern != 0) int_field(w, sequencer_keys[SK_PLAYING], pattern);
    if (m.next_pattern != pattern) int_field(w, sequencer_keys[SK_WISHED_PATTERN], m.next_pattern);
    note_cells(w, m);
    cells(w, sequencer_keys[SK_VOLUME], m.step_volume, DEFAULT_STEP_VOLUME, add_real);
    cells(w, sequencer_keys[SK_LENGHT], m.step_length, DEFAULT_STEP_LENGTH, add_real);
    cells(w, sequencer_keys[SK_BYPASS], m.step_bypass, DEFAULT_STEP_BYPASS,
          [](std::string& out, int32_t v) { add_int(out, v); });
    return w;
}

static std::string declaration_text(const SEQUENCER& m) {
    return sequencer_word(m);
}

void write_declaration(FILE* f, const SEQUENCER& m) {
    std::string w = sequencer_word(m);
    put_line(f, w);
}

static std::string declaration_text(const PCF& m) {
    std::string line = line_start(m.name);
    int_field(line, pcf_keys[FK_HICUT], m.HICUT);
    real_field(line, pcf_keys[FK_Q], m.Q);
    real_field(line, pcf_keys[FK_GAIN], m.GAIN);
    int_field(line, pcf_keys[FK_TYPE], shared_load(m.TYPE)); // wrapped by the audio thread
    // After GAIN, whose reading also sets AMOUNT.
    real_field(line, pcf_keys[FK_AMOUNT], m.AMOUNT);
    int_field_or(line, pcf_keys[FK_BYPASS], m.BYPASS, 1); // a new filter is bypassed
    int_field(line, pcf_keys[FK_POWER], m.power);
    return line;
}

void write_declaration(FILE* f, const PCF& m) {
    std::string line = declaration_text(m);
    put_line(f, line);
}

static std::string declaration_text(const KEYBOARD& m) {
    const KEYBOARD fresh{};
    std::string line = line_start(m.name);
    const size_t name_end = line.size();
    if (m.power != fresh.power) int_field(line, keyboard_keys[KK_POWER], m.power);
    if (m.octave != fresh.octave) int_field(line, keyboard_keys[KK_OCTAVE], m.octave);
    const int32_t key = shared_load(m.key); // MIDI notes set it on the audio thread
    if (key != fresh.key) int_field(line, keyboard_keys[KK_NOTE], key);
    close_declaration(line, name_end);
    return line;
}

void write_declaration(FILE* f, const KEYBOARD& m) {
    std::string line = declaration_text(m);
    put_line(f, line);
}

static std::string declaration_text(const SAMPLER& m) {
    std::string line = line_start(m.name);
    add(line, sampler_keys[PK_FILE].text);
    line += '=';
    add(line, m.sample_path);
    line += ';';
    return line;
}

void write_declaration(FILE* f, const SAMPLER& m) {
    std::string line = declaration_text(m);
    put_line(f, line);
}

// ---- links -----------------------------------------------------------------------------

namespace {

// The mixer's channels: every used channel keeps its slot, so each level stays with its
// source; a channel whose source cannot be named is written as an unconnected slot.
void channel_fields(std::string& line, const SOURCE_NAMES& g, const MIXER& m) {
    const int used = m.input_count < MIXER_SLOTS ? m.input_count : MIXER_SLOTS;
    for (int i = 0; i < used; ++i) {
        NAMED_SOURCE s;
        if (!g.value(m.inputs[i].input, s)) {
            line += SLOT_KEY;
            line += "=;";
        } else if (port_key_for(KIND_MIXER, PORT_CHANNEL, s.kind) != nullptr) {
            link_field(line, KIND_MIXER, PORT_CHANNEL, s);
        } else {
            link_field(line, KIND_MIXER, PORT_SLOT, s);
        }
    }
}

// Every port the kind has, in the order the links are written: input, the modulation slots
// (amplitude, frequency, phase, pulse width), gate, sync, then a mixer's channels.
bool links_line(FILE* f, const SOURCE_NAMES& g, const MODULE_REF& m) {
    const MODULE_KIND t = m.kind;
    const MODULE_PORTS p = module_ports(m);
    std::string line = line_start(module_name(m));
    const size_t name_end = line.size();
    if (p.input != nullptr) input_field(line, g, t, *p.input);
    if (p.mod_amp != nullptr) mod_field(line, g, t, PORT_MOD_AMP, *p.mod_amp);
    if (p.mod_freq != nullptr) mod_field(line, g, t, PORT_MOD_FREQ, *p.mod_freq);
    if (p.mod_phase != nullptr) mod_field(line, g, t, PORT_MOD_PHASE, *p.mod_phase);
    if (p.mod_pwm != nullptr) mod_field(line, g, t, PORT_MOD_PWM, *p.mod_pwm);
    if (p.gate_in != nullptr) gate_field(line, g, t, *p.gate_in);
    if (p.sync_in != nullptr) sync_field(line, g, t, *p.sync_in);
    if (p.mixer != nullptr) channel_fields(line, g, *p.mixer);
    return finish_links(f, line, name_end);
}

} // namespace

bool write_links(FILE* f, const GENERATOR& g, const VCO& m) {
    return links_line(f, SOURCE_NAMES(g), module_ref(const_cast<VCO*>(&m)));
}
bool write_links(FILE* f, const GENERATOR& g, const MODULE_REF& m) {
    return links_line(f, SOURCE_NAMES(g), m);
}

// ---- whole file ------------------------------------------------------------------------

namespace {

// The controllers bound to the module's parameters, "midi_cc_KEY=N;" each, after its own keys.
// A declaration kept as "NAME;;" loses its empty field first.
void binding_fields(std::string& line, const GENERATOR& g, const void* module) {
    for (const MIDI_BINDING& b : g.midi_bindings) {
        if (b.module != module) continue;
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, ";;") == 0) line.pop_back();
        line += binding_key_text(PARAM_KEY{b.id, b.row, b.index});
        line += '=';
        add_int(line, b.controller);
        line += ';';
    }
}

// The reader puts each module at the front of its list, so writing a list from its last
// module to its first gives the list back in its order.
template <class M> void declare_all(FILE* f, const GENERATOR& g, const std::vector<M*>& list) {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        std::string line = declaration_text(**it);
        add_panel_place(line, g, *it);
        binding_fields(line, g, *it);
        put_line(f, line);
    }
}

} // namespace

bool write_patch(FILE* f, const GENERATOR& g) {
    std::fprintf(f, "%s\n\n", OBJECTS_BEGIN);
    declare_all(f, g, g.vcos);
    declare_all(f, g, g.vcas);
    declare_all(f, g, g.mixers);
    declare_all(f, g, g.sequencers);
    declare_all(f, g, g.filters);
    declare_all(f, g, g.keyboards);
    declare_all(f, g, g.samplers);
    std::fprintf(f, "%s\n\n%s\n", OBJECTS_END, LINKS_BEGIN);
    const std::vector<MODULE_REF> order = module_order(g);
    const SOURCE_NAMES sources(g);
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        links_line(f, sources, *it);
    std::fputs("\nOUTPUT_1;MIXER_4;\n", f);
    std::fprintf(f, "%s\n", LINKS_END);
    return std::ferror(f) == 0;
}
