// Reading the links section of a patch: ports of target modules pointed at their sources.
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
    std::vector<std::string_view> fields;
    if (!split_declaration(word, fields)) return;
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
