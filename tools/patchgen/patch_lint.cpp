// A checker for hand-written patches: flags the word-grammar pitfalls that make the readers
// skip, misread or silently ignore a declaration, and wiring that cannot sound.
#include "patch_lint.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

#include "engine/sample_file.h"

namespace {

enum Kind { SEQ, PCF, KEY, SMP, VCO, VCA, MIX, KIND_COUNT };
const char* const KIND_WORD[KIND_COUNT] = {"SEQUENCER", "PCF", "KEY", "SAMPLER", "VCO", "VCA", "MIXER"};

bool has(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

// The modules a declaration name creates: four independent groups, the second one stopping
// at its first match.
std::vector<Kind> created_kinds(const std::string& name) {
    std::vector<Kind> kinds;
    if (has(name, "SEQUENCER")) kinds.push_back(SEQ);
    for (Kind k : {PCF, KEY, SMP, VCO})
        if (has(name, KIND_WORD[k])) {
            kinds.push_back(k);
            break;
        }
    if (has(name, "VCA")) kinds.push_back(VCA);
    if (has(name, "MIXER")) kinds.push_back(MIX);
    return kinds;
}

// The rule sets a link target name selects: the first of SEQUENCER, VCO, MIXER, then VCA,
// PCF and SAMPLER independently.
std::vector<Kind> target_kinds(const std::string& name) {
    std::vector<Kind> kinds;
    for (Kind k : {SEQ, VCO, MIX})
        if (has(name, KIND_WORD[k])) {
            kinds.push_back(k);
            break;
        }
    for (Kind k : {VCA, PCF, SMP})
        if (has(name, KIND_WORD[k])) kinds.push_back(k);
    return kinds;
}

// Object keys of each kind, in the order the reader tests them.
const std::vector<std::string>& object_keys(Kind k) {
    static const std::vector<std::string> keys[KIND_COUNT] = {
        {"DIVIDER", "NBR_STEP", "NOTE", "BYPASS", "VOLUME", "LENGHT"},
        {"HICUT", "AMOUNT", "TYPE", "GAIN", "Q", "BYPASS"},
        {},
        {"FILE"},
        {"TYPE", "FREQ", "AMOUNT", "NOTE", "PHASE"},
        {"ATTACK", "INVERT", "BYPASS", "DECAY", "SUSTAIN", "RELEASE"},
        {},
    };
    return keys[k];
}

bool is_int(const std::string& v) {
    if (v.empty()) return false;
    char* end = nullptr;
    std::strtol(v.c_str(), &end, 10);
    return *end == '\0';
}

bool is_real(const std::string& v) {
    if (v.empty()) return false;
    char* end = nullptr;
    std::strtod(v.c_str(), &end);
    return *end == '\0';
}

bool digits_at(const std::string& s, size_t pos, size_t n) {
    if (s.size() < pos + n) return false;
    for (size_t i = pos; i < pos + n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

// A sequencer step key: long form PREFIX_rrr_ccc with three-digit row and column up to 63,
// or (not for NOTE) a short form PREFIX_c of at most 9 characters.
bool valid_step_key(const std::string& key, const std::string& prefix) {
    const size_t p = prefix.size() + 1; // after "PREFIX_"
    if (key.compare(0, p, prefix + "_") != 0) return false;
    if (key.size() == p + 7 && digits_at(key, p, 3) && key[p + 3] == '_' && digits_at(key, p + 4, 3))
        return std::atoi(key.c_str() + p) <= 63 && std::atoi(key.c_str() + p + 4) <= 63;
    if (prefix != "NOTE" && key.size() <= 9 && key.size() > p && digits_at(key, p, key.size() - p))
        return std::atoi(key.c_str() + p) <= 63;
    return false;
}

// The value type a key expects: 'i' integer, 'r' real, 't' text, 'w' waveform digit.
char value_type(Kind k, const std::string& key) {
    if (k == SMP) return 't';
    if (k == VCO && key == "TYPE") return 'w';
    if (key == "HICUT" || key == "TYPE" || key == "NBR_STEP" || key == "NOTE" || key == "INVERT" ||
        key == "BYPASS")
        return 'i';
    return 'r';
}

struct Port {
    const char* word;
    std::vector<Kind> sources;
};

// Ports of each target kind with the source kinds they accept.
const std::vector<Port>& ports(Kind k) {
    static const std::vector<Port> table[KIND_COUNT] = {
        {{"SYNC", {KEY}}},
        {{"MOD_FREQ", {VCO, SMP, VCA}},
         {"MOD_PHASE", {VCO, SMP, VCA}},
         {"MOD_AMP", {VCO, SMP, VCA}},
         {"IN", {PCF, VCO, SMP, MIX, VCA, SEQ, KEY}},
         {"GATE", {KEY, SEQ}},
         {"SYNC", {SEQ, KEY}}},
        {},
        {{"MOD_FREQ", {VCO, SMP}},
         {"MOD_PHASE", {VCO, SMP}},
         {"MOD_AMP", {VCO, SMP}},
         {"IN", {SEQ, KEY}},
         {"GATE", {SEQ, KEY}},
         {"SYNC", {SEQ, KEY}}},
        {{"MOD_FREQ", {VCO, SMP, VCA}},
         {"MOD_PHASE", {VCO, SMP, VCA}},
         {"MOD_AMP", {VCO, SMP, VCA}},
         {"MOD_PWM", {VCO, SMP, VCA}},
         {"IN", {SEQ, KEY}},
         {"GATE", {SEQ, KEY}},
         {"SYNC", {SEQ, KEY}}},
        {{"IN", {VCO, PCF, SMP, MIX}}, {"GATE", {KEY, SEQ}}},
        {{"ADD_CHANELL", {VCO, SMP, VCA, PCF, MIX}}},
    };
    return table[k];
}

class Linter {
  public:
    explicit Linter(const std::string& base) : base_dir(base) {}

    std::vector<LintFinding> run(const std::vector<std::string>& words) {
        read_sections(words);
        check_wiring();
        return findings;
    }

  private:
    struct Decl {
        int word;
        std::vector<std::string> fields; // field 0 the name, then the parameter fields
    };

    void report(int word, const std::string& text) { findings.push_back({word, text}); }

    void read_sections(const std::vector<std::string>& words) {
        enum { BEFORE, OBJECTS, BETWEEN, LINKS, AFTER } state = BEFORE;
        std::vector<Decl> links;
        for (size_t i = 0; i < words.size(); ++i) {
            const std::string& w = words[i];
            const int number = static_cast<int>(i) + 1;
            if (w == "BEGIN_OBJECTS_DECLARE" && state == BEFORE) {
                state = OBJECTS;
            } else if (w == "END_OBJECTS_DECLARE" && state == OBJECTS) {
                state = BETWEEN;
            } else if (w == "BEGIN_LINKS_DECLARE" && state == BETWEEN) {
                state = LINKS;
            } else if (w == "END_LINKS_DECLARE" && state == LINKS) {
                state = AFTER;
            } else if (w[0] == '#') {
                continue;
            } else if (state == OBJECTS || state == LINKS) {
                Decl d{number, split_fields(w, ';')};
                if (!well_formed(d, w)) continue;
                if (state == OBJECTS)
                    declare(d);
                else
                    links.push_back(d);
            } else {
                report(number, "'" + w + "' stands outside the two sections");
            }
        }
        if (state != AFTER)
            report(0, "the markers BEGIN_OBJECTS_DECLARE, END_OBJECTS_DECLARE, BEGIN_LINKS_DECLARE, "
                      "END_LINKS_DECLARE are not all present in that order");
        for (const Decl& d : links)
            link(d);
    }

    // The grammar every declaration shares: two ';' at least, a final ';', no empty field.
    bool well_formed(Decl& d, const std::string& w) {
        const std::string quoted = "'" + w + "'";
        if (d.fields.size() < 3) {
            report(d.word, quoted + " has fewer than two ';' and is skipped");
            return false;
        }
        if (!d.fields.back().empty()) report(d.word, quoted + ": the text after the last ';' is ignored");
        d.fields.pop_back();
        if (d.fields[0].empty()) {
            report(d.word, quoted + " has no name");
            return false;
        }
        return true;
    }

    void declare(const Decl& d) {
        const std::string& name = d.fields[0];
        const auto kinds = created_kinds(name);
        if (kinds.empty()) {
            report(d.word, "'" + name + "' contains no module keyword and creates nothing");
            return;
        }
        if (kinds.size() > 1) report(d.word, "'" + name + "' creates several modules");
        for (Kind k : kinds) {
            for (const Decl& other : modules[k])
                if (other.fields[0] == name) report(d.word, "'" + name + "' is declared twice");
            modules[k].push_back(d);
            if (kinds.size() == 1) check_keys(k, d);
        }
        if (name == "MIXER_4") has_master = true;
    }

    void check_keys(Kind k, const Decl& d) {
        const auto& keys = object_keys(k);
        bool filter_on = false;
        for (size_t f = 1; f < d.fields.size(); ++f) {
            const std::string& field = d.fields[f];
            const std::string quoted = "'" + field + "' in " + d.fields[0];
            if (field.empty()) {
                if (!keys.empty()) report(d.word, d.fields[0] + " has an empty field: the reader stops");
                continue;
            }
            if (keys.empty()) {
                report(d.word, quoted + " is ignored: this kind reads no keys");
                continue;
            }
            const auto kv = split_fields(field, '=');
            if (kv.size() < 2 || kv[1].empty()) {
                report(d.word, quoted + " has no value");
                continue;
            }
            const std::string& key = kv[0];
            const std::string& value = kv[1];
            std::string matched; // the key the field is meant for
            int applied = 0;     // every key contained anywhere in the field applies
            for (const std::string& candidate : keys) {
                if (!has(field, candidate.c_str())) continue;
                ++applied;
                const bool step = k == SEQ && candidate != "DIVIDER" && candidate != "NBR_STEP";
                if (step ? valid_step_key(key, candidate) : key == candidate) matched = candidate;
            }
            if (matched.empty()) {
                report(d.word, quoted + ": unknown or misspelt key");
                continue;
            }
            if (applied > 1) report(d.word, quoted + " applies more than one key");
            const char type = value_type(k, matched);
            if ((type == 'i' && !is_int(value)) || (type == 'r' && !is_real(value)) ||
                (type == 'w' && (value.size() != 1 || value[0] < '1' || value[0] > '6')))
                report(d.word, quoted + ": bad value");
            if (k == SEQ && matched == "NOTE" && is_int(value) &&
                (std::atoi(value.c_str()) < 0 || std::atoi(value.c_str()) > 1999))
                report(d.word, quoted + ": note outside the note table");
            if (k == PCF && matched == "TYPE" && is_int(value) &&
                (std::atoi(value.c_str()) < 0 || std::atoi(value.c_str()) > 7))
                report(d.word, quoted + ": filter type outside 0 to 7");
            if (k == PCF && matched == "BYPASS" && is_int(value)) filter_on = std::atoi(value.c_str()) == 0;
            if (k == SMP && !base_dir.empty()) {
                if (const char* why = sample_file_problem((base_dir + "/" + value).c_str()))
                    report(d.word, quoted + ": the sample file " + why);
            }
        }
        if (k == PCF && !filter_on) report(d.word, d.fields[0] + " stays bypassed (no BYPASS=0)");
    }

    const Decl* find(Kind k, const std::string& name) const {
        if (k == KEY && modules[KEY].size() == 1) return &modules[KEY][0];
        for (const Decl& m : modules[k])
            if (m.fields[0] == name) return &m;
        return nullptr;
    }

    void link(const Decl& d) {
        const std::string& target = d.fields[0];
        const auto kinds = target_kinds(target);
        if (kinds.empty()) return; // the writer's OUTPUT_1;MIXER_4; line and the like
        for (Kind k : kinds) {
            if (!find(k, target)) {
                report(d.word, "link target '" + target + "' is not declared as a " + KIND_WORD[k]);
                continue;
            }
            for (size_t f = 1; f < d.fields.size(); ++f)
                link_field(d, k, d.fields[f]);
        }
    }

    void link_field(const Decl& d, Kind k, const std::string& field) {
        const std::string quoted = "'" + field + "' in the links of " + d.fields[0];
        if (field.empty()) {
            report(d.word, d.fields[0] + " has an empty link field: the reader stops");
            return;
        }
        const auto kv = split_fields(field, '=');
        if (kv.size() < 2 || kv[1].empty()) {
            report(d.word, quoted + " names no source");
            return;
        }
        const std::string& port = kv[0];
        const std::string& source = kv[1];
        const Port* intended = nullptr;
        for (const Port& p : ports(k)) {
            const bool applies =
                p.word == std::string("ADD_CHANELL") ? has(port, p.word) : has(field, p.word);
            if (!applies) continue;
            if (port == p.word)
                intended = &p;
            else
                report(d.word, quoted + " also applies the port " + p.word);
        }
        if (!intended) {
            report(d.word, quoted + ": no such port on a " + KIND_WORD[k]);
            return;
        }
        bool accepted = false;
        for (Kind s : intended->sources) {
            if (!has(source, KIND_WORD[s])) continue;
            accepted = true;
            if (!find(s, source)) report(d.word, quoted + ": source not declared as a " + KIND_WORD[s]);
        }
        if (!accepted) {
            report(d.word, quoted + ": the port does not accept this kind of source");
            return;
        }
        const std::string& name = d.fields[0];
        if (k == MIX && ++channels[name] == 25) report(d.word, name + " gets more than 24 channels");
        if (k == VCA || k == SMP) wired[name].insert(port);
    }

    void check_wiring() {
        if (!has_master) report(0, "no mixer named MIXER_4: the program refuses the patch");
        for (const Decl& m : modules[VCA]) {
            const auto& w = wired[m.fields[0]];
            if (!w.count("GATE"))
                report(m.word, m.fields[0] + " has no GATE: it outputs a constant 1.0");
            else if (!w.count("IN"))
                report(m.word, m.fields[0] + " has a GATE but no IN: it stays silent");
        }
        for (const Decl& m : modules[SMP])
            if (!wired[m.fields[0]].count("GATE"))
                report(m.word, m.fields[0] + " has no GATE: it never plays");
    }

    std::string base_dir;
    std::vector<LintFinding> findings;
    std::vector<Decl> modules[KIND_COUNT];
    std::map<std::string, int> channels;
    std::map<std::string, std::set<std::string>> wired;
    bool has_master = false;
};

} // namespace

std::vector<std::string> patch_words(const std::string& text) {
    std::vector<std::string> words;
    std::string w;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!w.empty()) words.push_back(w);
            w.clear();
        } else {
            w += c;
        }
    }
    if (!w.empty()) words.push_back(w);
    return words;
}

std::vector<std::string> split_fields(const std::string& word, char separator) {
    std::vector<std::string> fields(1);
    for (char c : word) {
        if (c == separator)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::vector<LintFinding> lint_patch(const std::string& text, const std::string& base_dir) {
    return Linter(base_dir).run(patch_words(text));
}
