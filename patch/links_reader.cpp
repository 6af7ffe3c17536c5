// Reading the links section of a patch: ports of target modules pointed at their sources.
#include "patch_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/note_table.h"
#include "patch_keys.h"
#include "patch_words.h"
#include "splitter.h"

using namespace patch_read;

namespace {

// The modules of one list by name, the first of the list for a name carried twice. Names are
// cut to their array when declared, so a wanted name too long for the array finds the module
// holding its cut form.
template <class M> class NAME_INDEX {
  public:
    explicit NAME_INDEX(const std::vector<M*>& list) {
        by_name_.reserve(list.size());
        for (M* m : list)
            by_name_.emplace(std::string_view(m->name), m);
    }
    M* find(const char* wanted) const {
        std::string_view w(wanted);
        constexpr size_t capacity = sizeof(M::name);
        if (w.size() >= capacity) w = w.substr(0, capacity - 1);
        auto it = by_name_.find(w);
        return it != by_name_.end() ? it->second : nullptr;
    }

  private:
    std::unordered_map<std::string_view, M*> by_name_;
};

// Every list of the graph indexed by name: a patch of many modules is wired in time that grows
// with its size, not with its square.
struct NAMES {
    explicit NAMES(const GENERATOR& g)
        : sequencers(g.sequencers), keyboards(g.keyboards), vcos(g.vcos), samplers(g.samplers), vcas(g.vcas),
          filters(g.filters), mixers(g.mixers),
          only_keyboard(g.keyboards.size() == 1 ? g.keyboards[0] : nullptr) {}
    NAME_INDEX<SEQUENCER> sequencers;
    NAME_INDEX<KEYBOARD> keyboards;
    NAME_INDEX<VCO> vcos;
    NAME_INDEX<SAMPLER> samplers;
    NAME_INDEX<VCA> vcas;
    NAME_INDEX<PCF> filters;
    NAME_INDEX<MIXER> mixers;
    KEYBOARD* only_keyboard;
};

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

SOURCE find_source(const NAMES& n, SOURCE_KIND kind, const char* name) {
    switch (kind) {
    case SRC_SEQUENCER:
        return note_source(n.sequencers.find(name));
    case SRC_KEY:
        // With a single keyboard every "KEY" source is that keyboard, whatever its name.
        return note_source(n.only_keyboard != nullptr ? n.only_keyboard : n.keyboards.find(name));
    case SRC_VCO:
        return audio_source(n.vcos.find(name));
    case SRC_SAMPLER:
        return audio_source(n.samplers.find(name));
    case SRC_VCA:
        return audio_source(n.vcas.find(name));
    case SRC_PCF:
        return audio_source(n.filters.find(name));
    case SRC_MIXER:
        return audio_source(n.mixers.find(name));
    default:
        return SOURCE{};
    }
}

// The ports of one target module (null where the kind has no such port).
struct TARGET {
    LINK_TARGET kind;
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

bool find_target(const NAMES& n, LINK_TARGET kind, const char* name, TARGET& t) {
    t = TARGET{};
    t.kind = kind;
    switch (kind) {
    case TGT_SEQUENCER:
        if (SEQUENCER* s = n.sequencers.find(name)) {
            t.sync_in = &s->sync_in;
            return true;
        }
        return false;
    case TGT_VCO:
        if (VCO* o = n.vcos.find(name)) {
            modulated(t, o);
            t.mod_pwm = &o->mod_pwm;
            return true;
        }
        return false;
    case TGT_MIXER:
        return (t.mixer = n.mixers.find(name)) != nullptr;
    case TGT_VCA:
        if (VCA* a = n.vcas.find(name)) {
            t.input = &a->input;
            t.gate_in = &a->gate_in;
            return true;
        }
        return false;
    case TGT_PCF:
        if (PCF* f = n.filters.find(name)) {
            modulated(t, f);
            return true;
        }
        return false;
    case TGT_SAMPLER:
        if (SAMPLER* s = n.samplers.find(name)) {
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

// What one field did: whether it named a source of a kind some applied rule accepts, and
// whether such a source was found.
struct FIELD_OUTCOME {
    bool named = false;
    bool found = false;
};

// The source a field names among the kinds a rule accepts: every kind whose keyword the name
// contains is looked up, and the last one found counts.
SOURCE rule_source(const NAMES& n, const PORT_RULE& rule, const char* source_name, FIELD_OUTCOME& out) {
    SOURCE found;
    for (int k = 0; k < rule.source_count; ++k) {
        SOURCE_KIND kind = rule.sources[k];
        if (std::strstr(source_name, source_keywords[kind]) == nullptr) continue;
        out.named = true;
        SOURCE s = find_source(n, kind, source_name);
        if (s.value != nullptr) {
            found = s;
            out.found = true;
        }
    }
    return found;
}

void apply_link(GENERATOR& g, const NAMES& n, TARGET& t, const PARAM& p, FIELD_OUTCOME& out) {
    const char* source_name = p.value.get();
    PORT_RULES rules = port_rules(t.kind);
    for (int r = 0; r < rules.count; ++r) {
        const PORT_RULE& rule = rules.rules[r];
        const char* tested = rule.key_text_only ? p.key.get() : p.field.c_str();
        if (tested == nullptr || std::strstr(tested, rule.key) == nullptr) continue;
        if (rule.port == PORT_SLOT) {
            // One channel per field, left unconnected when the source is missing.
            connect(g, t, rule.port,
                    source_name != nullptr ? rule_source(n, rule, source_name, out) : SOURCE{});
            continue;
        }
        if (source_name == nullptr) continue;
        for (int k = 0; k < rule.source_count; ++k) {
            SOURCE_KIND kind = rule.sources[k];
            if (std::strstr(source_name, source_keywords[kind]) == nullptr) continue;
            out.named = true;
            SOURCE s = find_source(n, kind, source_name);
            if (s.value != nullptr) out.found = true;
            connect(g, t, rule.port, s);
        }
    }
}

void declare_link(GENERATOR& g, const NAMES& n, const std::string& word) {
    std::vector<std::string_view> fields;
    if (!split_declaration(word, fields)) return;
    const std::string name(fields[0]);

    LINK_TARGET kinds[TGT_COUNT];
    const int kind_count = link_targets_of(name.c_str(), kinds);
    if (kind_count == 0) return;

    // A target that no module carries makes the whole declaration a no-op.
    std::vector<TARGET> targets;
    for (int i = 0; i < kind_count; ++i) {
        TARGET t;
        if (find_target(n, kinds[i], name.c_str(), t)) targets.push_back(t);
    }
    if (targets.empty()) {
        report(MSG_NO_MODULE, "Ligne %d : pas de module nomme %s, ses liens sont ignores\n", word_number,
               name.c_str());
        return;
    }

    for_each_param(fields, true, [&](const PARAM& p) {
        FIELD_OUTCOME out;
        for (TARGET& t : targets)
            apply_link(g, n, t, p, out);
        if (out.named && !out.found)
            report(MSG_NO_MODULE, "Ligne %d : %s : %s=%s, pas de module nomme %s\n", word_number,
                   name.c_str(), p.key != nullptr ? p.key.get() : "", p.value.get(), p.value.get());
    });
}

} // namespace

int load_links(GENERATOR* g, const char* path) {
    FILE_HANDLE f = open_patch(path);
    if (!f) return 1;
    const NAMES names(*g);
    read_section(f.get(), SECTION{"BEGIN_LINKS_DECLARE", "END_LINKS_DECLARE", false},
                 [g, &names](const std::string& word) { declare_link(*g, names, word); });
    return 1;
}
