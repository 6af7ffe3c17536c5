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
#include "patch_markers.h"
#include "patch_words.h"
#include "splitter.h"

using namespace patch_read;

namespace {

// The modules of one kind by name, the first of the list for a name carried twice. A name too
// long for the array is refused when declared, so a wanted name that long finds nothing: were
// it cut, it would find another module whose name begins the same.
class NAME_INDEX {
  public:
    NAME_INDEX(const GENERATOR& g, MODULE_KIND kind) : access_(*kind_info(kind).access) {
        const size_t n = access_.count(g);
        by_name_.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            void* m = access_.at(g, i);
            by_name_.emplace(std::string_view(access_.name(m)), m);
        }
    }
    void* find(const char* wanted) const {
        std::string_view w(wanted);
        if (w.size() >= access_.name_capacity) return nullptr;
        auto it = by_name_.find(w);
        return it != by_name_.end() ? it->second : nullptr;
    }
    const MODULE_ACCESS& access() const { return access_; }
    size_t size() const { return by_name_.size(); }

  private:
    const MODULE_ACCESS& access_;
    std::unordered_map<std::string_view, void*> by_name_;
};

// Every list of the graph indexed by name: a patch of many modules is wired in time that grows
// with its size, not with its square.
struct NAMES {
    explicit NAMES(const GENERATOR& g) {
        for (int k = 0; k < KIND_COUNT; ++k)
            kinds.emplace_back(g, static_cast<MODULE_KIND>(k));
        if (g.keyboards.size() == 1) only_keyboard = g.keyboards[0];
    }
    std::vector<NAME_INDEX> kinds;
    void* only_keyboard = nullptr;
};

MODULE_OUTPUTS find_source(const NAMES& n, MODULE_KIND kind, const char* name) {
    // With a single keyboard every "KEY" source is that keyboard, whatever its name.
    void* m = kind == KIND_KEYBOARD && n.only_keyboard != nullptr ? n.only_keyboard : n.kinds[kind].find(name);
    return m != nullptr ? n.kinds[kind].access().outputs(m) : MODULE_OUTPUTS{};
}

// The ports of one target module (null where the kind has no such port).
struct TARGET {
    MODULE_KIND kind;
    MODULE_PORTS ports;
};

bool find_target(const NAMES& n, MODULE_KIND kind, const char* name, TARGET& t) {
    void* m = n.kinds[kind].find(name);
    if (m == nullptr) return false;
    t.kind = kind;
    t.ports = n.kinds[kind].access().ports(m);
    return true;
}

void connect_mod(GENERATOR& g, MOD_SLOT* slot, const MODULE_OUTPUTS& s) {
    if (slot != nullptr && s.value != nullptr) *slot = g.new_mod_cell(s.value);
}

void connect(GENERATOR& g, TARGET& target, PORT port, const MODULE_OUTPUTS& s) {
    const MODULE_PORTS& t = target.ports;
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
MODULE_OUTPUTS rule_source(const NAMES& n, const PORT_RULE& rule, const char* source_name, FIELD_OUTCOME& out) {
    MODULE_OUTPUTS found;
    for (int k = 0; k < rule.source_count; ++k) {
        MODULE_KIND kind = rule.sources[k];
        if (std::strstr(source_name, kind_info(kind).keyword) == nullptr) continue;
        out.named = true;
        MODULE_OUTPUTS s = find_source(n, kind, source_name);
        if (s.value != nullptr) {
            found = s;
            out.found = true;
        }
    }
    return found;
}

void apply_link(GENERATOR& g, const NAMES& n, TARGET& t, const PARAM& p, FIELD_OUTCOME& out) {
    const char* source_name = p.value.get();
    PORT_RULES rules = kind_ports(t.kind);
    for (int r = 0; r < rules.count; ++r) {
        const PORT_RULE& rule = rules.rules[r];
        const char* tested = rule.key_text_only ? p.key.get() : p.field.c_str();
        if (tested == nullptr || std::strstr(tested, rule.key) == nullptr) continue;
        if (rule.port == PORT_SLOT) {
            // One channel per field, left unconnected when the source is missing.
            connect(g, t, rule.port,
                    source_name != nullptr ? rule_source(n, rule, source_name, out) : MODULE_OUTPUTS{});
            continue;
        }
        if (source_name == nullptr) continue;
        for (int k = 0; k < rule.source_count; ++k) {
            MODULE_KIND kind = rule.sources[k];
            if (std::strstr(source_name, kind_info(kind).keyword) == nullptr) continue;
            out.named = true;
            MODULE_OUTPUTS s = find_source(n, kind, source_name);
            if (s.value != nullptr) out.found = true;
            connect(g, t, rule.port, s);
        }
    }
}

void declare_link(GENERATOR& g, const NAMES& n, const std::string& word) {
    std::vector<std::string_view> fields;
    if (!split_declaration(word, fields)) return;
    const std::string name(fields[0]);

    MODULE_KIND kinds[KIND_COUNT];
    const int kind_count = link_targets_of(name.c_str(), kinds);
    if (kind_count == 0) return;

    // A target that no module carries makes the whole declaration a no-op.
    std::vector<TARGET> targets;
    for (int i = 0; i < kind_count; ++i) {
        TARGET t;
        if (find_target(n, kinds[i], name.c_str(), t)) targets.push_back(t);
    }
    if (targets.empty()) {
        report(MSG_NO_MODULE, "pas de module nomme %s, ses liens sont ignores\n", name.c_str());
        return;
    }

    for_each_param(fields, true, [&](const PARAM& p) {
        FIELD_OUTCOME out;
        for (TARGET& t : targets)
            apply_link(g, n, t, p, out);
        if (out.named && !out.found)
            report(MSG_NO_MODULE, "%s : %s=%s, pas de module nomme %s\n", name.c_str(),
                   p.key != nullptr ? p.key.get() : "", p.value.get(), p.value.get());
    });
}

} // namespace

int load_links(GENERATOR* g, const char* path) {
    FILE_HANDLE f = open_patch(path);
    if (!f) return 1;
    const NAMES names(*g);
    read_section(f.get(), SECTION{LINKS_BEGIN, LINKS_END, false},
                 [g, &names](const std::string& word) { declare_link(*g, names, word); });
    return 1;
}
