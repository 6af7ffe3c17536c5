// The table of module kinds.
#include "engine/module_kinds.h"

#include "engine/generator.h"
#include "engine/kind_keys.h"

namespace {

// ---- ports -----------------------------------------------------------------------------

// A rule of a historic port: tested in the whole field, taking the source kinds listed.
template <class... K> constexpr PORT_RULE from(const char* key, PORT port, K... sources) {
    return {key, port, false, sizeof...(K), {sources...}};
}

// A rule of the keys that take any source kind, tested in the key text.
constexpr PORT_RULE any_source(const char* key, PORT port) {
    return {key,
            port,
            true,
            KIND_COUNT,
            {KIND_SEQUENCER, KIND_KEYBOARD, KIND_VCO, KIND_SAMPLER, KIND_VCA, KIND_PCF, KIND_MIXER}};
}

const PORT_RULE sequencer_rules[] = {
    from("SYNC", PORT_SYNC, KIND_KEYBOARD),
};

const PORT_RULE vco_rules[] = {
    from("MOD_FREQ", PORT_MOD_FREQ, KIND_VCO, KIND_SAMPLER, KIND_VCA),
    from("MOD_PHASE", PORT_MOD_PHASE, KIND_VCO, KIND_SAMPLER, KIND_VCA),
    from("MOD_AMP", PORT_MOD_AMP, KIND_VCO, KIND_SAMPLER, KIND_VCA),
    from("MOD_PWM", PORT_MOD_PWM, KIND_VCO, KIND_SAMPLER, KIND_VCA),
    from("IN", PORT_INPUT, KIND_SEQUENCER, KIND_KEYBOARD),
    from("GATE", PORT_GATE, KIND_SEQUENCER, KIND_KEYBOARD),
    from("SYNC", PORT_SYNC, KIND_SEQUENCER, KIND_KEYBOARD),
    any_source(AUDIO_KEY, PORT_INPUT),
    any_source(CV_FREQ_KEY, PORT_MOD_FREQ),
    any_source(CV_PHASE_KEY, PORT_MOD_PHASE),
    any_source(CV_AMP_KEY, PORT_MOD_AMP),
    any_source(CV_PWM_KEY, PORT_MOD_PWM),
};

const PORT_RULE mixer_rules[] = {
    {"ADD_CHANELL", PORT_CHANNEL, true, 5, {KIND_VCO, KIND_SAMPLER, KIND_VCA, KIND_PCF, KIND_MIXER}},
    any_source(SLOT_KEY, PORT_SLOT),
};

const PORT_RULE vca_rules[] = {
    from("IN", PORT_INPUT, KIND_VCO, KIND_PCF, KIND_SAMPLER, KIND_MIXER),
    from("GATE", PORT_GATE, KIND_KEYBOARD, KIND_SEQUENCER),
    any_source(AUDIO_KEY, PORT_INPUT),
};

const PORT_RULE pcf_rules[] = {
    from("MOD_FREQ", PORT_MOD_FREQ, KIND_VCO, KIND_SAMPLER, KIND_VCA),
    from("MOD_PHASE", PORT_MOD_PHASE, KIND_VCO, KIND_SAMPLER, KIND_VCA),
    from("MOD_AMP", PORT_MOD_AMP, KIND_VCO, KIND_SAMPLER, KIND_VCA),
    from("IN", PORT_INPUT, KIND_PCF, KIND_VCO, KIND_SAMPLER, KIND_MIXER, KIND_VCA, KIND_SEQUENCER,
         KIND_KEYBOARD),
    from("GATE", PORT_GATE, KIND_KEYBOARD, KIND_SEQUENCER),
    from("SYNC", PORT_SYNC, KIND_SEQUENCER, KIND_KEYBOARD),
    any_source(CV_FREQ_KEY, PORT_MOD_FREQ),
    any_source(CV_PHASE_KEY, PORT_MOD_PHASE),
    any_source(CV_AMP_KEY, PORT_MOD_AMP),
};

const PORT_RULE sampler_rules[] = {
    from("MOD_FREQ", PORT_MOD_FREQ, KIND_VCO, KIND_SAMPLER),
    from("MOD_PHASE", PORT_MOD_PHASE, KIND_VCO, KIND_SAMPLER),
    from("MOD_AMP", PORT_MOD_AMP, KIND_VCO, KIND_SAMPLER),
    from("IN", PORT_INPUT, KIND_SEQUENCER, KIND_KEYBOARD),
    from("GATE", PORT_GATE, KIND_SEQUENCER, KIND_KEYBOARD),
    from("SYNC", PORT_SYNC, KIND_SEQUENCER, KIND_KEYBOARD),
    any_source(AUDIO_KEY, PORT_INPUT),
    any_source(CV_FREQ_KEY, PORT_MOD_FREQ),
    any_source(CV_PHASE_KEY, PORT_MOD_PHASE),
    any_source(CV_AMP_KEY, PORT_MOD_AMP),
};

// ---- panel jacks -----------------------------------------------------------------------

const char* const VCO_JACKS[] = {"INPUT",         "INPUT_MOD_AMP", "INPUT_MOD_FREQ", "INPUT_MOD_PHASE",
                                 "INPUT_MOD_PWM", "INPUT_SYNC",    "INPUT_GATE"};
const char* const VCA_JACKS[] = {"INPUT", "INPUT_GATE"};
const char* const VCF_JACKS[] = {"INPUT",           "INPUT_MOD_AMP", "INPUT_MOD_FREQ",
                                 "INPUT_MOD_PHASE", "INPUT_SYNC",    "INPUT_GATE"};

// ---- reaching the modules of a class ---------------------------------------------------

// Outputs: note sources offer their gate and sync pulse too.
template <class M> MODULE_OUTPUTS audio_outputs(M& m) {
    MODULE_OUTPUTS o;
    o.value = &m.value;
    return o;
}
template <class M> MODULE_OUTPUTS note_outputs(M& m) {
    MODULE_OUTPUTS o = audio_outputs(m);
    o.gate = &m.gate;
    o.sync = &m.sync_pulse;
    return o;
}
MODULE_OUTPUTS outputs_of(SEQUENCER& m) {
    return note_outputs(m);
}
MODULE_OUTPUTS outputs_of(KEYBOARD& m) {
    return note_outputs(m);
}
template <class M> MODULE_OUTPUTS outputs_of(M& m) {
    return audio_outputs(m);
}

// Ports, as the links reach them: oscillators, samplers and filters share input, gate, sync
// and three modulation slots; only the oscillator's PWM slot is linked.
template <class M> MODULE_PORTS modulated_ports(M& m) {
    MODULE_PORTS p;
    p.input = &m.input;
    p.gate_in = &m.gate_in;
    p.sync_in = &m.sync_in;
    p.mod_freq = &m.mod_freq;
    p.mod_phase = &m.mod_phase;
    p.mod_amp = &m.mod_amp;
    return p;
}
MODULE_PORTS ports_of(SEQUENCER& m) {
    MODULE_PORTS p;
    p.sync_in = &m.sync_in;
    return p;
}
MODULE_PORTS ports_of(KEYBOARD&) {
    return {};
}
MODULE_PORTS ports_of(VCO& m) {
    MODULE_PORTS p = modulated_ports(m);
    p.mod_pwm = &m.mod_pwm;
    return p;
}
MODULE_PORTS ports_of(SAMPLER& m) {
    return modulated_ports(m);
}
MODULE_PORTS ports_of(PCF& m) {
    return modulated_ports(m);
}
MODULE_PORTS ports_of(VCA& m) {
    MODULE_PORTS p;
    p.input = &m.input;
    p.gate_in = &m.gate_in;
    return p;
}
MODULE_PORTS ports_of(MIXER& m) {
    MODULE_PORTS p;
    p.mixer = &m;
    return p;
}

// The access functions of kind K, whose modules the graph keeps in LIST.
template <MODULE_KIND K, std::vector<kind_class<K>*> GENERATOR::*LIST> struct ACCESS_OF {
    using M = kind_class<K>;
    static size_t count(const GENERATOR& g) { return (g.*LIST).size(); }
    static void* at(const GENERATOR& g, size_t i) { return (g.*LIST)[i]; }
    static const char* name(const void* m) { return static_cast<const M*>(m)->name; }
    static MODULE_OUTPUTS outputs(void* m) { return outputs_of(*static_cast<M*>(m)); }
    static MODULE_PORTS ports(void* m) { return ports_of(*static_cast<M*>(m)); }
    static void* create(const char* name) {
        M* m = new M();
        copy_name(m->name, static_cast<int>(sizeof m->name), name);
        return m;
    }
    static void join(GENERATOR& g, const std::vector<void*>& read) {
        std::vector<M*>& l = g.*LIST;
        std::vector<M*> front;
        front.reserve(read.size());
        for (auto it = read.rbegin(); it != read.rend(); ++it)
            front.push_back(static_cast<M*>(*it));
        l.insert(l.begin(), front.begin(), front.end());
    }
    static constexpr MODULE_ACCESS table = {count, at, name, sizeof(M::name), outputs, ports, create, join};
};

template <class T, size_t N> constexpr int size_of(const T (&)[N]) {
    return static_cast<int>(N);
}

} // namespace

// Each row: kind; keyword, patch word, list, dashboard word; layouts, image, heading, panel top;
// cable jacks; keys; ports; whether an empty field stops the reader; graph access.
// clang-format off
const MODULE_KIND_INFO module_kinds[KIND_COUNT] = {
    {KIND_KEYBOARD, "KEY", "KEYBOARD", "keyboards", "KEYBOARD",
     "RC/KEYBOARD.RC", "RC/BACK_KEYBOARD.RC", "KEY_%s", "Keyboards\n", 50,
     nullptr, 0, keyboard_keys, size_of(keyboard_keys), nullptr, 0, false,
     &ACCESS_OF<KIND_KEYBOARD, &GENERATOR::keyboards>::table},
    {KIND_VCO, "VCO", "VCO", "vcos", "VCO",
     "RC/VCO.RC", "RC/BACK_VCO.RC", "VCO_%s", "Vcos\n", 25,
     VCO_JACKS, size_of(VCO_JACKS), vco_keys, size_of(vco_keys), vco_rules, size_of(vco_rules), true,
     &ACCESS_OF<KIND_VCO, &GENERATOR::vcos>::table},
    {KIND_SAMPLER, "SAMPLER", "SAMPLER", "samplers", "SAMPLER",
     "RC/SAMPLER.RC", "RC/BACK_SAMPLER.RC", "SAMPLER_%s", "Samplers\n", 25,
     nullptr, 0, sampler_keys, size_of(sampler_keys), sampler_rules, size_of(sampler_rules), true,
     &ACCESS_OF<KIND_SAMPLER, &GENERATOR::samplers>::table},
    {KIND_VCA, "VCA", "VCA", "vcas", "VCA",
     "RC/VCA.RC", "RC/BACK_VCA.RC", "VCA_%s", "Vcas\n", 50,
     VCA_JACKS, size_of(VCA_JACKS), vca_keys, size_of(vca_keys), vca_rules, size_of(vca_rules), true,
     &ACCESS_OF<KIND_VCA, &GENERATOR::vcas>::table},
    {KIND_SEQUENCER, "SEQUENCER", "SEQUENCER", "sequencers", "SEQUENCEUR",
     "RC/SEQUENCEUR.RC", "RC/BACK_SEQUENCEUR.RC", "SEQUEN_%s", "Sequencers\n", 50,
     nullptr, 0, sequencer_keys, size_of(sequencer_keys), sequencer_rules, size_of(sequencer_rules), true,
     &ACCESS_OF<KIND_SEQUENCER, &GENERATOR::sequencers>::table},
    {KIND_PCF, "PCF", "PCF", "filters", "VCF",
     "RC/VCF.RC", "RC/BACK_VCF.RC", "VCF_%s", "Pcfs\n", 50,
     VCF_JACKS, size_of(VCF_JACKS), pcf_keys, size_of(pcf_keys), pcf_rules, size_of(pcf_rules), false,
     &ACCESS_OF<KIND_PCF, &GENERATOR::filters>::table},
    {KIND_MIXER, "MIXER", "MIXER", "mixers", "MIXER",
     "RC/MIXER.RC", "RC/BACK_MIXER.RC", "MIXER_%s", "Mixers\n", 50,
     nullptr, 0, mixer_keys, size_of(mixer_keys), mixer_rules, size_of(mixer_rules), false,
     &ACCESS_OF<KIND_MIXER, &GENERATOR::mixers>::table},
};
// clang-format on

size_t module_count(const GENERATOR& g, MODULE_KIND kind) {
    return kind_info(kind).access->count(g);
}

size_t total_modules(const GENERATOR& g) {
    size_t n = 0;
    for (int k = 0; k < KIND_COUNT; ++k)
        n += module_count(g, static_cast<MODULE_KIND>(k));
    return n;
}

OBJECT_KEYS kind_keys(MODULE_KIND kind) {
    return {kind_info(kind).keys, kind_info(kind).key_count};
}

PORT_RULES kind_ports(MODULE_KIND kind) {
    return {kind_info(kind).ports, kind_info(kind).port_count};
}
