// The patch checker, over the readers' own key and port tables.
#include "patch_check.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "engine/midi_bindings.h"
#include "engine/mixer.h"
#include "engine/sample_file.h"
#include "name_limits.h"
#include "panel_place_keys.h"
#include "patch_keys.h"
#include "patch_markers.h"
#include "patch_reader.h"
#include "sample_path.h"

namespace {

bool has(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

const char* kind_word(MODULE_KIND k) {
    return kind_info(k).patch_word;
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
    if (n == 0 || s.size() < pos + n) return false;
    for (size_t i = pos; i < pos + n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

// Whether a field's key is the one the key of the table is written as: the key itself, a step
// key PREFIX_rrr_ccc (three digits each, up to 63) or its short form PREFIX_c of at most 9
// characters (not for NOTE_), or a channel key PREFIX_nn.
bool key_written_as(const OBJECT_KEY& k, const std::string& key) {
    const std::string prefix = k.text;
    switch (k.form) {
    case KEY_PLAIN:
        return key == prefix || (prefix == sequencer_keys[SK_DIVIDER].text && key == SAVED_DIVIDER_KEY);
    case KEY_STEP_NOTE:
    case KEY_STEP:
    case KEY_STEP_THREE: {
        const size_t p = prefix.size();
        if (key.compare(0, p, prefix) != 0) return false;
        if (key.size() == p + 7 && digits_at(key, p, 3) && key[p + 3] == '_' && digits_at(key, p + 4, 3))
            return std::atoi(key.c_str() + p) <= 63 && std::atoi(key.c_str() + p + 4) <= 63;
        if (k.form != KEY_STEP_NOTE && key.size() <= 9 && digits_at(key, p, key.size() - p))
            return std::atoi(key.c_str() + p) <= 63;
        return false;
    }
    case KEY_SLOT: {
        const size_t p = prefix.size();
        return key.compare(0, p, prefix) == 0 && digits_at(key, p, key.size() - p) &&
               std::atoi(key.c_str() + p) < MIXER_SLOTS;
    }
    }
    return false;
}

bool empty_text_allowed(const OBJECT_KEYS& keys, const std::string& key) {
    for (int i = 0; i < keys.count; ++i)
        if (keys.keys[i].value == VALUE_TEXT && key == keys.keys[i].text) return true;
    return false;
}

std::string range_text(const OBJECT_KEY& k) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g to %g", k.min, k.max);
    return buf;
}

class CHECKER {
  public:
    CHECKER(const std::string& base, const std::string& patch) : base_dir(base), patch_path(patch) {}

    std::vector<CHECK_FINDING> run(const std::vector<std::string>& words, const std::vector<int>& lines) {
        word_lines = lines;
        read_sections(words);
        check_wiring();
        return findings;
    }

  private:
    struct DECL {
        int word;
        std::vector<std::string> fields; // field 0 the name, then the parameter fields
    };

    void report(int word, const std::string& text) {
        const int line = word > 0 && word <= static_cast<int>(word_lines.size()) ? word_lines[word - 1] : 0;
        findings.push_back({word, text, line});
    }

    void read_sections(const std::vector<std::string>& words) {
        enum { BEFORE, OBJECTS, BETWEEN, LINKS, AFTER } state = BEFORE;
        std::vector<DECL> links;
        for (size_t i = 0; i < words.size(); ++i) {
            const std::string& w = words[i];
            const int number = static_cast<int>(i) + 1;
            if (w == OBJECTS_BEGIN && state == BEFORE) {
                state = OBJECTS;
            } else if (w == OBJECTS_END && state == OBJECTS) {
                state = BETWEEN;
            } else if (w == LINKS_BEGIN && state == BETWEEN) {
                state = LINKS;
            } else if (w == LINKS_END && state == LINKS) {
                state = AFTER;
            } else if (w[0] == '#') {
                continue;
            } else if (state == OBJECTS || state == LINKS) {
                DECL d{number, split_fields(w, ';')};
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
            report(0, std::string("the markers ") + OBJECTS_BEGIN + ", " + OBJECTS_END + ", " + LINKS_BEGIN + ", " +
                          LINKS_END + " are not all present in that order");
        if (module_count > PATCH_MODULES_MAX)
            report(0, "more than " + std::to_string(PATCH_MODULES_MAX) +
                          " modules: the program refuses the patch");
        for (const DECL& d : links)
            link(d);
    }

    // The grammar every declaration shares: two ';' at least, a final ';', a name.
    bool well_formed(DECL& d, const std::string& w) {
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

    void declare(const DECL& d) {
        const std::string& name = d.fields[0];
        MODULE_KIND kinds[4];
        const int n = created_kinds_of(name.c_str(), kinds);
        if (n == 0) {
            report(d.word, "'" + name + "' contains no module keyword and creates nothing");
            return;
        }
        const size_t capacity = name_capacity_of(name.c_str());
        if (name.size() > capacity) {
            report(d.word, "a name of " + std::to_string(name.size()) + " characters (" + name.substr(0, 40) +
                               "...): the reader keeps " + std::to_string(capacity) +
                               " and refuses the module");
            return;
        }
        if (n > 1) report(d.word, "'" + name + "' creates several modules");
        module_count += static_cast<size_t>(n);
        for (int i = 0; i < n; ++i) {
            const MODULE_KIND k = kinds[i];
            for (const DECL& other : modules[k])
                if (other.fields[0] == name) report(d.word, "'" + name + "' is declared twice");
            modules[k].push_back(d);
            if (n == 1) check_keys(k, d);
        }
        if (name == "MIXER_4") has_master = true;
    }

    void check_keys(MODULE_KIND k, const DECL& d) {
        const OBJECT_KEYS keys = kind_keys(k);
        bool bypass_set = false;
        for (size_t f = 1; f < d.fields.size(); ++f) {
            const std::string& field = d.fields[f];
            const std::string quoted = "'" + field + "' in " + d.fields[0];
            if (field.empty()) {
                if (kind_info(k).empty_field_stops)
                    report(d.word, d.fields[0] + " has an empty field: the reader stops");
                continue;
            }
            const auto kv = split_fields(field, '=');
            if (kv.size() < 2 || kv[1].empty()) {
                // "FILE=;" is how the writer keeps a sampler without a sample.
                if (kv.size() < 2 || !empty_text_allowed(keys, kv[0]))
                    report(d.word, quoted + " has no value");
                continue;
            }
            const std::string& key = kv[0];
            const std::string& value = kv[1];
            if (const OBJECT_KEY* panel_key = panel_key_of(field)) {
                check_panel_value(d, quoted, *panel_key, value);
                continue;
            }
            if (is_binding_key(key.c_str())) {
                check_binding(k, d, quoted, key, value);
                continue;
            }
            const OBJECT_KEY* matched = nullptr; // the key the field is meant for
            int applied = 0;                     // every key contained anywhere in the field applies
            for (int i = 0; i < keys.count; ++i) {
                if (!has(field, keys.keys[i].text)) continue;
                ++applied;
                if (key_written_as(keys.keys[i], key)) matched = &keys.keys[i];
            }
            if (matched == nullptr) {
                report(d.word, quoted + ": unknown or misspelt key");
                continue;
            }
            if (applied > 1) report(d.word, quoted + " applies more than one key");
            if (k == KIND_PCF && matched == &pcf_keys[FK_BYPASS]) bypass_set = true;
            check_value(d, quoted, *matched, value);
        }
        if (k == KIND_PCF && !bypass_set) report(d.word, d.fields[0] + " stays bypassed (no BYPASS=0)");
    }

    void check_panel_value(const DECL& d, const std::string& quoted, const OBJECT_KEY& key,
                           const std::string& value) {
        if (!value_text_is_number(key, value.c_str()) || !value_text_accepted(key, value.c_str()))
            report(d.word, quoted + ": outside " + range_text(key) + ", the panel takes its start-up place");
    }

    // A controller bound to a knob: the key names a parameter of the kind, the value a
    // controller 0 to 127.
    void check_binding(MODULE_KIND k, const DECL& d, const std::string& quoted, const std::string& key,
                       const std::string& value) {
        PARAM_KEY param;
        if (!binding_key_of(k, key.c_str(), param))
            report(d.word, quoted + ": binds no parameter of a " + kind_word(k));
        else if (binding_controller_of(value.c_str()) < 0)
            report(d.word, quoted + ": bad value, a controller 0 to 127");
    }

    void check_value(const DECL& d, const std::string& quoted, const OBJECT_KEY& key,
                     const std::string& value) {
        switch (key.value) {
        case VALUE_INT:
            if (!is_int(value)) return report(d.word, quoted + ": bad value");
            break;
        case VALUE_REAL:
            if (!is_real(value)) return report(d.word, quoted + ": bad value");
            break;
        case VALUE_WAVE:
            if (value.size() != 1 || !value_text_accepted(key, value.c_str()))
                report(d.word, quoted + ": bad value, a waveform 1 to 6");
            return;
        case VALUE_TEXT:
            if (!base_dir.empty()) {
                std::string path;
                for (const std::string& c : sample_candidates(patch_path, value)) {
                    path = c[0] == '/' ? c : base_dir + "/" + c;
                    if (access(path.c_str(), F_OK) == 0) break;
                }
                if (const char* why = sample_file_problem(path.c_str()))
                    report(d.word, quoted + ": the sample file " + why);
            }
            return;
        }
        if (!value_text_accepted(key, value.c_str()))
            report(d.word, quoted + ": outside " + range_text(key) + ", the reader keeps the default");
    }

    const DECL* find(MODULE_KIND k, const std::string& name) const {
        if (k == KIND_KEYBOARD && modules[k].size() == 1) return &modules[k][0];
        for (const DECL& m : modules[k])
            if (m.fields[0] == name) return &m;
        return nullptr;
    }

    void link(const DECL& d) {
        const std::string& target = d.fields[0];
        MODULE_KIND kinds[KIND_COUNT];
        const int n = link_targets_of(target.c_str(), kinds);
        // No kind: the writer's OUTPUT_1;MIXER_4; line and the like.
        for (int i = 0; i < n; ++i) {
            const MODULE_KIND k = kinds[i];
            if (!find(k, target)) {
                report(d.word, "link target '" + target + "' is not declared as a " + kind_word(k));
                continue;
            }
            for (size_t f = 1; f < d.fields.size(); ++f)
                link_field(d, kinds[i], d.fields[f]);
        }
    }

    // Whether the source name holds the keyword of a source kind the rule accepts.
    static bool rule_takes(const PORT_RULE& rule, const std::string& source) {
        for (int s = 0; s < rule.source_count; ++s)
            if (has(source, kind_info(rule.sources[s]).keyword)) return true;
        return false;
    }

    void link_field(const DECL& d, MODULE_KIND k, const std::string& field) {
        const std::string& name = d.fields[0];
        const std::string quoted = "'" + field + "' in the links of " + name;
        if (field.empty()) {
            report(d.word, name + " has an empty link field: the reader stops");
            return;
        }
        const auto kv = split_fields(field, '=');
        const std::string& port = kv[0];
        const std::string source = kv.size() > 1 ? kv[1] : "";
        const PORT_RULES rules = kind_ports(k);
        const PORT_RULE* intended = nullptr;
        for (int r = 0; r < rules.count; ++r)
            if (port == rules.rules[r].key) intended = &rules.rules[r];
        if (intended == nullptr) {
            report(d.word, quoted + ": no such port on a " + kind_word(k));
            return;
        }
        // The writer keeps an unconnected channel in its place with an empty slot.
        if (source.empty() && intended->port == PORT_SLOT) {
            count_channel(d, name);
            return;
        }
        if (source.empty()) {
            report(d.word, quoted + " names no source");
            return;
        }
        for (int r = 0; r < rules.count; ++r) {
            const PORT_RULE& other = rules.rules[r];
            if (&other == intended || other.port == intended->port) continue;
            const bool applies = other.key_text_only ? has(port, other.key) : has(field, other.key);
            if (applies && rule_takes(other, source))
                report(d.word, quoted + " also applies the port " + other.key);
        }
        bool accepted = false, found = false;
        std::string missing;
        for (int s = 0; s < intended->source_count; ++s) {
            const MODULE_KIND sk = intended->sources[s];
            if (!has(source, kind_info(sk).keyword)) continue;
            accepted = true;
            if (find(sk, source))
                found = true;
            else
                missing = kind_word(sk);
        }
        if (!accepted) {
            report(d.word, quoted + ": the port does not accept this kind of source");
            return;
        }
        if (!found) report(d.word, quoted + ": source not declared as a " + missing);
        if (intended->port == PORT_CHANNEL || intended->port == PORT_SLOT) count_channel(d, name);
        if (k == KIND_VCA || k == KIND_SAMPLER) wired[name].insert(intended->port);
    }

    void count_channel(const DECL& d, const std::string& mixer) {
        if (++channels[mixer] == MIXER_SLOTS + 1)
            report(d.word, mixer + " gets more than " + std::to_string(MIXER_SLOTS) + " channels");
    }

    void check_wiring() {
        if (!has_master) report(0, "no mixer named MIXER_4: the program refuses the patch");
        for (const DECL& m : modules[KIND_VCA]) {
            const auto& w = wired[m.fields[0]];
            if (!w.count(PORT_GATE))
                report(m.word, m.fields[0] + " has no GATE: it outputs a constant 1.0");
            else if (!w.count(PORT_INPUT))
                report(m.word, m.fields[0] + " has a GATE but no IN: it stays silent");
        }
        for (const DECL& m : modules[KIND_SAMPLER])
            if (!wired[m.fields[0]].count(PORT_GATE))
                report(m.word, m.fields[0] + " has no GATE: it never plays");
    }

    std::string base_dir;
    std::string patch_path;
    std::vector<int> word_lines;
    std::vector<CHECK_FINDING> findings;
    std::vector<DECL> modules[KIND_COUNT];
    size_t module_count = 0;
    std::map<std::string, int> channels;
    std::map<std::string, std::set<PORT>> wired;
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

std::vector<int> patch_word_lines(const std::string& text) {
    std::vector<int> lines;
    int line = 1;
    bool in_word = false;
    for (char c : text) {
        const bool blank = std::isspace(static_cast<unsigned char>(c)) != 0;
        if (!blank && !in_word) lines.push_back(line);
        in_word = !blank;
        if (c == '\n') ++line;
    }
    return lines;
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

std::vector<CHECK_FINDING> check_patch_text(const std::string& text, const std::string& base_dir,
                                            const std::string& patch_path) {
    return CHECKER(base_dir, patch_path).run(patch_words(text), patch_word_lines(text));
}

int check_patches(int count, char** paths) {
    int status = 0;
    for (int i = 0; i < count; ++i) {
        std::ifstream in(paths[i], std::ios::binary);
        if (!in) {
            std::printf("%s: cannot be read\n", paths[i]);
            status = 1;
            continue;
        }
        std::stringstream text;
        text << in.rdbuf();
        for (const CHECK_FINDING& f : check_patch_text(text.str(), ".", paths[i])) {
            if (f.line > 0)
                std::printf("%s:%d: %s\n", paths[i], f.line, f.text.c_str());
            else
                std::printf("%s: %s\n", paths[i], f.text.c_str());
            status = 1;
        }
    }
    std::fflush(stdout);
    return status;
}
