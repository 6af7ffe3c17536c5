// The door into the engine: parameter keys, link ports, the handshake with the audio thread
// and the observer list.
#include "door.h"

#include "block_plan.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio.h"

namespace {

constexpr bool table_in_order() {
    for (int i = 0; i < P_COUNT; ++i)
        if (param_table[i].id != i || !(param_table[i].reach.min >= param_table[i].patch.min) ||
            !(param_table[i].reach.max <= param_table[i].patch.max))
            return false;
    return true;
}
static_assert(table_in_order(), "the parameter table is indexed by PARAM_ID and each reach lies in its range");

// One parameter's storage: a 32-bit whole number or a float, never both.
struct FIELD {
    int32_t* whole = nullptr;
    float* real = nullptr;
};

// A single-word relaxed store: the sweep reads the field whole, before or after the change.
// Each store is counted after it is made, so a plan that sees the count move reads the new value.
void store(int32_t* f, int32_t v) {
    shared_store(*f, v);
    param_writes.fetch_add(1, std::memory_order_release);
}
void store(float* f, float v) {
    shared_store(*f, v);
    param_writes.fetch_add(1, std::memory_order_release);
}
template <class T> void store_link(T** f, T* v) {
    shared_store(*f, v);
}

bool in_cell(const PARAM_KEY& k) {
    return k.row >= 0 && k.row < SEQ_ROWS && k.index >= 0 && k.index < SEQ_COLS;
}
bool in_slot(const PARAM_KEY& k) {
    return k.index >= 0 && k.index < MIXER_SLOTS;
}

FIELD field_in(SEQUENCER& s, const PARAM_KEY& k) {
    const bool cell = in_cell(k);
    switch (k.id) {
    case P_SEQ_DIVIDER:
        return {nullptr, &s.DIVIDER};
    case P_SEQ_WISHED_TEMPO:
        return {nullptr, &s.next_divider};
    case P_SEQ_NBR_STEP:
        return {&s.NBR_STEP, nullptr};
    case P_SEQ_NOTE:
        return cell ? FIELD{&s.step_note[k.row][k.index], nullptr} : FIELD{};
    case P_SEQ_OCTAVE:
        return cell ? FIELD{&s.step_octave[k.row][k.index], nullptr} : FIELD{};
    case P_SEQ_BYPASS:
        return cell ? FIELD{&s.step_bypass[k.row][k.index], nullptr} : FIELD{};
    case P_SEQ_VOLUME:
        return cell ? FIELD{nullptr, &s.step_volume[k.row][k.index]} : FIELD{};
    case P_SEQ_LENGHT:
        return cell ? FIELD{nullptr, &s.step_length[k.row][k.index]} : FIELD{};
    case P_SEQ_POWER:
        return {&s.power, nullptr};
    case P_SEQ_PLAYING_PATTERN:
        return {&s.pattern, nullptr};
    case P_SEQ_WISHED_PATTERN:
        return {&s.next_pattern, nullptr};
    default:
        return {};
    }
}

FIELD field_in(PCF& f, const PARAM_KEY& k) {
    switch (k.id) {
    case P_PCF_HICUT:
        return {&f.HICUT, nullptr};
    case P_PCF_AMOUNT:
        return {nullptr, &f.AMOUNT};
    case P_PCF_TYPE:
        return {&f.TYPE, nullptr};
    case P_PCF_GAIN:
        return {nullptr, &f.GAIN};
    case P_PCF_Q:
        return {nullptr, &f.Q};
    case P_PCF_BYPASS:
        return {&f.BYPASS, nullptr};
    case P_PCF_POWER:
        return {&f.power, nullptr};
    default:
        return {};
    }
}

FIELD field_in(VCO& o, const PARAM_KEY& k) {
    switch (k.id) {
    case P_VCO_TYPE:
        return {&o.TYPE, nullptr};
    case P_VCO_FREQ:
        return {nullptr, &o.FREQ};
    case P_VCO_AMOUNT:
        return {nullptr, &o.AMOUNT};
    case P_VCO_PHASE:
        return {nullptr, &o.PHASE};
    case P_VCO_PWM:
        return {nullptr, &o.PWM};
    case P_VCO_POWER:
        return {&o.power, nullptr};
    default:
        return {};
    }
}

FIELD field_in(VCA& a, const PARAM_KEY& k) {
    switch (k.id) {
    case P_VCA_ATTACK:
        return {nullptr, &a.ATTACK};
    case P_VCA_INVERT:
        return {&a.INVERT, nullptr};
    case P_VCA_BYPASS:
        return {&a.BYPASS, nullptr};
    case P_VCA_DECAY:
        return {nullptr, &a.DECAY};
    case P_VCA_SUSTAIN:
        return {nullptr, &a.SUSTAIN};
    case P_VCA_RELEASE:
        return {nullptr, &a.RELEASE};
    default:
        return {};
    }
}

FIELD field_in(KEYBOARD& kb, const PARAM_KEY& k) {
    switch (k.id) {
    case P_KEY_POWER:
        return {&kb.power, nullptr};
    case P_KEY_OCTAVE:
        return {&kb.octave, nullptr};
    case P_KEY_NOTE:
        return {&kb.key, nullptr};
    default:
        return {};
    }
}

FIELD field_in(MIXER& m, const PARAM_KEY& k) {
    const bool slot = in_slot(k);
    switch (k.id) {
    case P_MIX_ENABLED:
        return {&m.enabled, nullptr};
    case P_MIX_LEVEL:
        return slot ? FIELD{nullptr, &m.level[k.index]} : FIELD{};
    case P_MIX_MUTE:
        return slot ? FIELD{nullptr, &m.mute[k.index]} : FIELD{};
    default:
        return {};
    }
}

// A sampler has no parameter the door sets: its file is loaded by the patch reader.
FIELD field_in(SAMPLER&, const PARAM_KEY&) {
    return {};
}

// The field a key names in a module, none when the module's kind lacks it.
FIELD field_of(const MODULE_REF& m, const PARAM_KEY& k) {
    if (m.module == nullptr || k.id < 0 || k.id >= P_COUNT || param_info(k.id).kind != m.kind) return {};
    FIELD f;
    with_class(m, [&](auto& module) { f = field_in(module, k); });
    return f;
}

// The ports of one consumer, null where its kind has none, as the kinds table gives them.
struct PORTS {
    float** input = nullptr;
    int32_t** gate = nullptr;
    int32_t** sync = nullptr;
    MOD_SLOT* mod[4] = {nullptr, nullptr, nullptr, nullptr}; // FREQ, PHASE, AMP, PWM
    MIXER* mixer = nullptr;
};

PORTS ports_of(const MODULE_REF& m) {
    const MODULE_PORTS p = module_ports(m);
    PORTS out;
    out.input = p.input;
    out.gate = p.gate_in;
    out.sync = p.sync_in;
    out.mod[0] = p.mod_freq;
    out.mod[1] = p.mod_phase;
    out.mod[2] = p.mod_amp;
    out.mod[3] = p.mod_pwm;
    out.mixer = p.mixer;
    return out;
}

// Reads "ddd" exactly `digits` long (any length of at least two when digits is 0) at p.
bool read_number(const char*& p, int digits, int& out) {
    const char* start = p;
    int v = 0;
    while (*p >= '0' && *p <= '9' && (digits == 0 || p - start < digits)) {
        if (v > 100000) return false;
        v = v * 10 + (*p++ - '0');
    }
    const long n = p - start;
    out = v;
    return digits == 0 ? n >= 2 : n == digits;
}

} // namespace

bool param_key_of(MODULE_KIND kind, const char* text, PARAM_KEY& out) {
    if (text == nullptr) return false;
    for (const PARAM_INFO& s : param_table) {
        if (s.kind != kind) continue;
        const size_t n = std::strlen(s.key);
        if (std::strncmp(text, s.key, n) != 0) continue;
        const char* p = text + n;
        PARAM_KEY k;
        k.id = s.id;
        bool ok = false;
        switch (s.form) {
        case PARAM_PLAIN:
            ok = *p == '\0';
            break;
        case PARAM_CELL:
            ok = read_number(p, 3, k.row) && *p++ == '_' && read_number(p, 3, k.index) && *p == '\0' && in_cell(k);
            break;
        case PARAM_SLOT:
            ok = read_number(p, 0, k.index) && *p == '\0' && in_slot(k);
            break;
        }
        if (ok) {
            out = k;
            return true;
        }
    }
    return false;
}

std::string param_key_text(const PARAM_KEY& key) {
    if (key.id < 0 || key.id >= P_COUNT) return "";
    const PARAM_INFO& s = param_info(key.id);
    char buf[64];
    if (s.form == PARAM_CELL)
        std::snprintf(buf, sizeof buf, "%s%03d_%03d", s.key, key.row, key.index);
    else if (s.form == PARAM_SLOT)
        std::snprintf(buf, sizeof buf, "%s%02d", s.key, key.index);
    else
        std::snprintf(buf, sizeof buf, "%s", s.key);
    return buf;
}

std::string link_port_text(LINK_PORT port, int channel) {
    static const char* const names[] = {"IN", "GATE", "SYNC", "MOD_FREQ", "MOD_PHASE", "MOD_AMP", "MOD_PWM"};
    if (port != LINK_CHANNEL) return names[port];
    char buf[24];
    std::snprintf(buf, sizeof buf, "CHANNEL_%02d", channel);
    return buf;
}

std::string describe_change(const DOOR_CHANGE& c) {
    std::string s = module_name(c.module);
    s += ' ';
    s += c.key;
    if (c.is_link) {
        const char* before = c.old_producer.module != nullptr ? module_name(c.old_producer) : "-";
        const char* after = c.new_producer.module != nullptr ? module_name(c.new_producer) : "-";
        return s + ' ' + before + " -> " + after;
    }
    char buf[80];
    std::snprintf(buf, sizeof buf, " %g -> %g", c.old_value, c.new_value);
    return s + buf;
}

int DOOR_OBSERVERS::add(DOOR_OBSERVER observer) {
    list_.emplace_back(next_handle_, std::move(observer));
    return next_handle_++;
}

void DOOR_OBSERVERS::remove(int handle) {
    for (auto it = list_.begin(); it != list_.end(); ++it)
        if (it->first == handle) {
            list_.erase(it);
            return;
        }
}

void DOOR_OBSERVERS::tell(const DOOR_CHANGE& c) const {
    for (const auto& o : list_)
        o.second(c);
}

DOOR_OBSERVERS& door_observers() {
    static DOOR_OBSERVERS observers;
    return observers;
}

DOOR::DOOR(GENERATOR& graph, DOOR_OBSERVERS& observers) : graph_(&graph), observers_(observers) {}

DOOR::DOOR() : graph_(nullptr), observers_(door_observers()) {}

bool DOOR::get(const MODULE_REF& m, const PARAM_KEY& key, double& value) const {
    const FIELD f = field_of(m, key);
    if (f.whole != nullptr) value = shared_load(*f.whole);
    else if (f.real != nullptr) value = shared_load(*f.real);
    else return false;
    return true;
}

bool DOOR::set(const MODULE_REF& m, const PARAM_KEY& key, double value) {
    const FIELD f = field_of(m, key);
    if ((f.whole == nullptr && f.real == nullptr) || !within(param_info(key.id).patch, value)) return false;
    double old_value;
    bool changed;
    if (f.whole != nullptr) {
        old_value = shared_load(*f.whole);
        const int32_t v = static_cast<int32_t>(value);
        changed = v != old_value;
        store(f.whole, v);
        value = v;
    } else {
        const float old = shared_load(*f.real);
        old_value = old;
        const float v = static_cast<float>(value);
        changed = float_bits(v) != float_bits(old);
        store(f.real, v);
        value = v;
    }
    if (changed && !observers_.empty()) {
        DOOR_CHANGE c;
        c.module = m;
        c.key = param_key_text(key);
        c.old_value = old_value;
        c.new_value = value;
        observers_.tell(c);
    }
    return true;
}

bool DOOR::set(const MODULE_REF& m, const char* key, double value) {
    PARAM_KEY k;
    return param_key_of(m.kind, key, k) && set(m, k, value);
}

// Runs a link change with the callback held between blocks when it renders this graph.
template <class F> void DOOR::held(F&& change) {
    const bool live = generator == graph_ && audio_running.load() != 0;
    if (live) audio_pause();
    change();
    // A graph that is not playing gets its plan when it is installed.
    if (live) graph_->replan();
    if (live) audio_resume();
}

MODULE_REF DOOR::owner_of(const void* signal) const {
    if (signal == nullptr || graph_ == nullptr) return {};
    for (int k = 0; k < KIND_COUNT; ++k) {
        const MODULE_KIND kind = static_cast<MODULE_KIND>(k);
        const MODULE_ACCESS& a = *kind_info(kind).access;
        for (size_t i = 0, n = a.count(*graph_); i < n; ++i) {
            void* m = a.at(*graph_, i);
            const MODULE_OUTPUTS o = a.outputs(m);
            if (o.value == signal || o.gate == signal || o.sync == signal) return {kind, m};
        }
    }
    return {};
}

MODULE_REF DOOR::producer_of(const MODULE_REF& consumer, LINK_PORT port, int channel) const {
    const PORTS p = ports_of(consumer);
    switch (port) {
    case LINK_IN:
        return p.input ? owner_of(*p.input) : MODULE_REF{};
    case LINK_GATE:
        return p.gate ? owner_of(*p.gate) : MODULE_REF{};
    case LINK_SYNC:
        return p.sync ? owner_of(*p.sync) : MODULE_REF{};
    case LINK_CHANNEL:
        if (p.mixer == nullptr || channel < 0 || channel >= MIXER_SLOTS) return {};
        return owner_of(p.mixer->inputs[channel].input);
    default: {
        MOD_SLOT* slot = p.mod[port - LINK_MOD_FREQ];
        return slot != nullptr && *slot != nullptr ? owner_of(**slot) : MODULE_REF{};
    }
    }
}

bool DOOR::connect(const MODULE_REF& consumer, LINK_PORT port, const MODULE_REF& producer, int channel) {
    if (graph_ == nullptr) return false;
    const PORTS p = ports_of(consumer);
    const MODULE_OUTPUTS offered = module_outputs(producer);
    float* signal = offered.value;
    int32_t* gate = offered.gate;
    int32_t* sync = offered.sync;
    bool ok = false;
    const MODULE_REF before = observers_.empty() ? MODULE_REF{} : producer_of(consumer, port, channel);
    held([&] {
        switch (port) {
        case LINK_IN:
            if ((ok = p.input != nullptr && signal != nullptr)) store_link(p.input, signal);
            break;
        case LINK_GATE:
            if ((ok = p.gate != nullptr && gate != nullptr)) store_link(p.gate, gate);
            break;
        case LINK_SYNC:
            if ((ok = p.sync != nullptr && sync != nullptr)) store_link(p.sync, sync);
            break;
        case LINK_CHANNEL:
            ok = p.mixer != nullptr && signal != nullptr && channel >= 0 && channel < MIXER_SLOTS &&
                 channel < p.mixer->input_count;
            if (ok) store_link(&p.mixer->inputs[channel].input, signal);
            break;
        default: {
            MOD_SLOT* slot = p.mod[port - LINK_MOD_FREQ];
            if ((ok = slot != nullptr && signal != nullptr)) store_link(slot, graph_->new_mod_cell(signal));
            break;
        }
        }
    });
    if (ok && !observers_.empty()) {
        DOOR_CHANGE c;
        c.module = consumer;
        c.key = link_port_text(port, channel);
        c.is_link = true;
        c.old_producer = before;
        c.new_producer = producer;
        observers_.tell(c);
    }
    return ok;
}

bool DOOR::disconnect(const MODULE_REF& consumer, LINK_PORT port, int channel) {
    if (graph_ == nullptr) return false;
    const PORTS p = ports_of(consumer);
    const MODULE_REF before = observers_.empty() ? MODULE_REF{} : producer_of(consumer, port, channel);
    bool ok = false;
    held([&] {
        switch (port) {
        case LINK_IN:
            if ((ok = p.input != nullptr)) store_link(p.input, static_cast<float*>(nullptr));
            break;
        case LINK_GATE:
            if ((ok = p.gate != nullptr)) store_link(p.gate, static_cast<int32_t*>(nullptr));
            break;
        case LINK_SYNC:
            if ((ok = p.sync != nullptr)) store_link(p.sync, static_cast<int32_t*>(nullptr));
            break;
        case LINK_CHANNEL:
            if ((ok = p.mixer != nullptr && channel >= 0 && channel < MIXER_SLOTS))
                store_link(&p.mixer->inputs[channel].input, static_cast<float*>(nullptr));
            break;
        default: {
            MOD_SLOT* slot = p.mod[port - LINK_MOD_FREQ];
            if ((ok = slot != nullptr)) store_link(slot, static_cast<float**>(nullptr));
            break;
        }
        }
    });
    if (ok && before.module != nullptr) {
        DOOR_CHANGE c;
        c.module = consumer;
        c.key = link_port_text(port, channel);
        c.is_link = true;
        c.old_producer = before;
        observers_.tell(c);
    }
    return ok;
}

int DOOR::add_channel(const MODULE_REF& mixer, const MODULE_REF& producer) {
    if (graph_ == nullptr || mixer.kind != KIND_MIXER || mixer.module == nullptr) return -1;
    MIXER& m = *static_cast<MIXER*>(mixer.module);
    const int slot = m.input_count;
    float* signal = module_value(producer);
    bool ok = false;
    held([&] { ok = m.add_channel(signal); });
    if (!ok) return -1;
    if (!observers_.empty()) {
        DOOR_CHANGE c;
        c.module = mixer;
        c.key = link_port_text(LINK_CHANNEL, slot);
        c.is_link = true;
        c.new_producer = signal != nullptr ? producer : MODULE_REF{};
        c.slot_change = 1;
        observers_.tell(c);
    }
    return slot;
}

bool DOOR::remove_channel(const MODULE_REF& mixer, int slot) {
    if (graph_ == nullptr || mixer.kind != KIND_MIXER || mixer.module == nullptr) return false;
    MIXER& m = *static_cast<MIXER*>(mixer.module);
    if (slot < 0 || slot >= MIXER_SLOTS || slot != m.input_count - 1) return false;
    const MODULE_REF before = owner_of(m.inputs[slot].input);
    // Uncounted before it is emptied, so the sweep never reads a slot being taken back.
    held([&] {
        shared_store(m.input_count, slot);
        store_link(&m.inputs[slot].input, static_cast<float*>(nullptr));
    });
    if (!observers_.empty()) {
        DOOR_CHANGE c;
        c.module = mixer;
        c.key = link_port_text(LINK_CHANNEL, slot);
        c.is_link = true;
        c.old_producer = before;
        c.slot_change = -1;
        observers_.tell(c);
    }
    return true;
}
