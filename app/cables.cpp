// Patch cables: records built from the module graph, producer look-ups and the drop rules.
#include "app/cables.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/generator.h"
#include "engine/verbose.h"
#include "panels/module_panel.h"

namespace {

const char* const REFUSED_SIGNAL =
    "Mauvais branchment : Vous essayer de mettre une connexion INPUT_GATE dans une j'sais pas on s'en fout\n";
const char* const REFUSED_INPUT =
    "Mauvais branchment : Vous essayer de mettre une connexion INPUT dans une OUTPUT\n";
const char* const REFUSED_OUTPUT =
    "Mauvais branchment : Vous essayer de mettre une connexion OUTPUT dans une INPUT\n";

MODULE_PANEL* module_panel(OBJET* panel) {
    return dynamic_cast<MODULE_PANEL*>(panel);
}

bool is_kind(OBJET* panel, MODULE_KIND kind) {
    const MODULE_PANEL* p = module_panel(panel);
    return p && p->kind == kind;
}

// What the module of a panel offers and the fields holding its connections; nothing for a
// panel that edits no module.
MODULE_OUTPUTS outputs_of(OBJET* panel) {
    const MODULE_PANEL* p = module_panel(panel);
    return p ? kind_info(p->kind).access->outputs(p->edited_module) : MODULE_OUTPUTS{};
}
MODULE_PORTS ports_of(OBJET* panel) {
    const MODULE_PANEL* p = module_panel(panel);
    return p ? kind_info(p->kind).access->ports(p->edited_module) : MODULE_PORTS{};
}

// Whether the cable editor wires the panel's own input jacks (a mixer's are numbered).
bool wires_jacks(OBJET* panel) {
    const MODULE_PANEL* p = module_panel(panel);
    return p && kind_info(p->kind).jack_count > 0;
}

// The door's port a consumer jack stands for: a modulation slot, the sync or gate input, else
// the audio input.
LINK_PORT jack_link(const char* jack) {
    if (!std::strcmp(jack, "INPUT_MOD_AMP")) return LINK_MOD_AMP;
    if (!std::strcmp(jack, "INPUT_MOD_FREQ")) return LINK_MOD_FREQ;
    if (!std::strcmp(jack, "INPUT_MOD_PHASE")) return LINK_MOD_PHASE;
    if (!std::strcmp(jack, "INPUT_MOD_PWM")) return LINK_MOD_PWM;
    if (!std::strcmp(jack, "INPUT_SYNC")) return LINK_SYNC;
    if (!std::strcmp(jack, "INPUT_GATE")) return LINK_GATE;
    return LINK_IN;
}

// Modulation jacks and the slot each names; null where the module has no such slot.
MOD_SLOT* mod_slot(const MODULE_PORTS& m, const char* jack) {
    if (!std::strcmp(jack, "INPUT_MOD_AMP")) return m.mod_amp;
    if (!std::strcmp(jack, "INPUT_MOD_FREQ")) return m.mod_freq;
    if (!std::strcmp(jack, "INPUT_MOD_PHASE")) return m.mod_phase;
    if (!std::strcmp(jack, "INPUT_MOD_PWM")) return m.mod_pwm;
    return nullptr;
}

// Mixer jack "INPUT_n" for n from 1 to the slot count: the channel index, else -1.
int mixer_channel(const char* jack) {
    const int n = numbered_name(jack, "INPUT_", "");
    return n >= 1 && n <= MIXER_SLOTS ? n - 1 : -1;
}

// A jack on a panel's back side by its name without prefix, whichever side is shown.
SPRITE* find_jack(OBJET* panel, const char* name) {
    panel->make_items();
    for (size_t i = panel->back.size(); i-- > 0;) {
        SPRITE* s = panel->back[i];
        if (!std::strcmp(skip_prefix(s->name), name)) return s;
    }
    return nullptr;
}

// The centre of a jack in world coordinates. A jack never drawn yet takes its image's size.
void jack_centre(OBJET* panel, SPRITE* jack, int& x, int& y) {
    float w = jack->w, h = jack->h;
    if (w <= 0 || h <= 0) {
        if (SDL_Surface* s = jack->get_surface()) {
            w = static_cast<float>(s->w);
            h = static_cast<float>(s->h);
        }
    }
    x = static_cast<int>(panel->x + jack->x + w / 2);
    y = static_cast<int>(panel->y + jack->y + h / 2);
}

enum SIGNAL { SIG_VALUE, SIG_GATE, SIG_SYNC };

const char* producer_jack_name(SIGNAL s) {
    return s == SIG_GATE ? "OUTPUT_GATE" : s == SIG_SYNC ? "OUTPUT_SYNC" : "OUTPUT";
}

// What a port holds now, and the panel producing it.
OBJET* current_producer(const std::vector<OBJET*>& panels, const PORT& port, SIGNAL& signal) {
    signal = SIG_VALUE;
    if (port.value) return *port.value ? producer_of_value(panels, *port.value) : nullptr;
    if (port.mod) return *port.mod && **port.mod ? producer_of_value(panels, **port.mod) : nullptr;
    if (port.gate) {
        signal = SIG_GATE;
        return *port.gate ? producer_of_gate(panels, *port.gate) : nullptr;
    }
    if (port.sync) {
        signal = SIG_SYNC;
        return *port.sync ? producer_of_sync(panels, *port.sync) : nullptr;
    }
    return nullptr;
}

bool connected(const PORT& port) {
    if (port.value) return *port.value != nullptr;
    if (port.mod) return *port.mod != nullptr && **port.mod != nullptr;
    if (port.gate) return *port.gate != nullptr;
    if (port.sync) return *port.sync != nullptr;
    return false;
}

// The cables of one consumer panel, each port in the order given, with the diagnostics of
// missing pieces for the panel's kind.
void panel_cables(const std::vector<OBJET*>& panels, OBJET* panel, const char* const* jacks, size_t count,
                  CABLE_LIST& out) {
    const bool mixer = is_kind(panel, KIND_MIXER), vca = is_kind(panel, KIND_VCA),
               vcf = is_kind(panel, KIND_PCF);
    for (size_t i = 0; i < count; ++i) {
        const char* name = jacks[i];
        const PORT port = jack_port(panel, name);
        if (!connected(port)) continue;
        SIGNAL signal;
        OBJET* producer = current_producer(panels, port, signal);
        SPRITE* consumer_jack = find_jack(panel, name);
        SPRITE* producer_jack = producer ? find_jack(producer, producer_jack_name(signal)) : nullptr;
        if (mixer && (!producer || !producer_jack)) verbose_printf("ZUX\n");
        if (vca && !producer) verbose_printf(signal == SIG_GATE ? "DISH2\n" : "DISH1\n");
        if (vca && producer && !producer_jack && signal == SIG_VALUE)
            verbose_printf("DISH-VCA Output not found?!\n");
        if (vcf && !std::strcmp(name, "INPUT")) {
            if (is_kind(producer, KIND_SAMPLER)) verbose_printf("Un sampler ...");
            if (!consumer_jack) verbose_printf("GITSH in VCF??\n");
        }
        if (!producer || !consumer_jack || !producer_jack) continue;
        int cx, cy, px, py;
        jack_centre(panel, consumer_jack, cx, cy);
        jack_centre(producer, producer_jack, px, py);
        auto cable = std::make_unique<CABLE>(cx, cy, px, py);
        cable->colour = signal == SIG_GATE ? CABLE_GATE : signal == SIG_SYNC ? CABLE_SYNC : CABLE_AUDIO;
        cable->consumer_panel = panel;
        cable->producer_panel = producer;
        cable->consumer_jack = consumer_jack;
        cable->producer_jack = producer_jack;
        out.push_back(std::move(cable));
    }
}

bool has(const char* name, const char* word) {
    return std::strstr(name, word) != nullptr;
}

// The old consumer's port loses its connection, unless it is the port just connected or the
// old links are kept.
void undo_old(GENERATOR& g, const CABLE& cable, const PORT& made, bool keep_links) {
    if (is_kind(cable.consumer_panel, KIND_VCO)) verbose_printf("[%s]\n", cable.consumer_jack->name);
    if (keep_links) return;
    const PORT old = jack_port(cable.consumer_panel, skip_prefix(cable.consumer_jack->name));
    if (old.found() && old.field() != made.field()) disconnect(g, old);
}

// A drop that would leave the graph as it is: told like a drop on the plug's own jack.
DROP_RESULT unchanged() {
    std::printf("C le meme amateur !\n");
    return DROP_SAME_JACK;
}

// The port the cable's consumer end is plugged into.
PORT plugged_port(const CABLE& cable) {
    return jack_port(cable.consumer_panel, skip_prefix(cable.consumer_jack->name));
}

bool holds(const PORT& port, const void* source) {
    if (port.value) return *port.value == source;
    if (port.mod) return *port.mod && **port.mod == source;
    if (port.gate) return *port.gate == source;
    if (port.sync) return *port.sync == source;
    return false;
}

// The consumer end moved to another input; the cable's producer stays the source.
DROP_RESULT move_consumer_end(GENERATOR& g, const CABLE& cable, int kind, OBJET* panel, SPRITE* target,
                              bool keep_links) {
    const char* name = target->name;
    const char* jack = skip_prefix(name);
    if (kind == DRAG_SYNC_IN || kind == DRAG_GATE_IN) {
        const bool sync = kind == DRAG_SYNC_IN;
        if (!has(name, sync ? "INPUT_SYNC" : "INPUT_GATE")) {
            std::printf("%s", REFUSED_SIGNAL);
            return DROP_REFUSED;
        }
        int32_t* source = sync ? sync_source(cable.producer_panel) : gate_source(cable.producer_panel);
        const PORT port = jack_port(panel, jack);
        if (!source || !(sync ? port.sync : port.gate)) {
            std::printf("%s", REFUSED_SIGNAL);
            return DROP_REFUSED;
        }
        if (port.field() == plugged_port(cable).field()) return unchanged();
        connect_signal(g, port, panel_module(cable.producer_panel));
        undo_old(g, cable, port, keep_links);
        std::printf(sync ? "Branchement OUTPUT_SYNC vers INPUT_SYNC\n"
                         : "Branchement OUTPUT_GATE vers INPUT_GATE\n");
        return DROP_CONNECTED;
    }
    if (!has(name, "INPUT")) {
        std::printf("%s", REFUSED_INPUT);
        return DROP_REFUSED;
    }
    float* source = value_source(cable.producer_panel);
    const PORT port = audio_drop_port(panel, jack);
    if (port.new_channel && port.new_channel->input_count >= MIXER_SLOTS) {
        std::printf("Mauvais branchment : le MIXER %s a deja ses %d canaux\n", port.new_channel->name,
                    MIXER_SLOTS);
        return DROP_REFUSED;
    }
    if (!source || !port.found()) {
        std::printf("%s", REFUSED_INPUT);
        return DROP_REFUSED;
    }
    if (port.field() == plugged_port(cable).field()) return unchanged();
    if (!connect_value(g, port, panel_module(cable.producer_panel))) {
        std::printf("%s", REFUSED_INPUT);
        return DROP_REFUSED;
    }
    undo_old(g, cable, port, keep_links);
    std::printf("Branchement OUTPUT vers INPUT\n");
    return DROP_CONNECTED;
}

// The producer end moved to another output: the port of the jack the consumer end is plugged
// into takes the new source.
DROP_RESULT move_producer_end(GENERATOR& g, const CABLE& cable, int kind, OBJET* panel, SPRITE* target) {
    const char* name = target->name;
    const PORT port = plugged_port(cable);
    if (kind == DRAG_SYNC_OUT || kind == DRAG_GATE_OUT) {
        const bool sync = kind == DRAG_SYNC_OUT;
        if (!has(name, sync ? "OUTPUT_SYNC" : "OUTPUT_GATE")) {
            std::printf("%s", REFUSED_SIGNAL);
            return DROP_REFUSED;
        }
        int32_t* source = sync ? sync_source(panel) : gate_source(panel);
        if (!source || !(sync ? port.sync : port.gate)) {
            std::printf("%s", REFUSED_SIGNAL);
            return DROP_REFUSED;
        }
        if (holds(port, source)) return unchanged();
        connect_signal(g, port, panel_module(panel));
        std::printf(sync ? "Branchement OUTPUT_SYNC vers INPUT_SYNC\n"
                         : "Branchement OUTPUT_GATE vers INPUT_GATE\n");
        return DROP_CONNECTED;
    }
    float* source = value_source(panel);
    if (!has(name, "OUTPUT") || !source || !(port.value || port.mod)) {
        std::printf("%s", REFUSED_OUTPUT);
        return DROP_REFUSED;
    }
    if (holds(port, source)) return unchanged();
    connect_value(g, port, panel_module(panel));
    std::printf("Branchement INPUT vers OUTPUT\n");
    return DROP_CONNECTED;
}

} // namespace

CABLE::CABLE(int cx, int cy, int px, int py)
    : x1(cx), y1(cy), x2(px), y2(py), plug_in(PLUG_IMAGE, cx, cy, 1, 0xFF00FF, 0, 1.0f, 0, 0),
      plug_out(PLUG_IMAGE, px, py, 1, 0xFF00FF, 0, 1.0f, 0, 0) {
    show_plug(plug_in, true);
    show_plug(plug_out, true);
}

void show_plug(SPRITE& plug, bool plugged) {
    plug.set_image(plugged ? PLUG_IMAGE : UNPLUG_IMAGE);
    std::snprintf(plug.mask, sizeof plug.mask, "%s", plugged ? PLUG_MASK : UNPLUG_MASK);
    plug.dirty = 1;
}

void flip_plug(SPRITE& plug) {
    show_plug(plug, !std::strcmp(plug.image, UNPLUG_IMAGE));
}

float* value_source(OBJET* p) {
    return outputs_of(p).value;
}

int32_t* gate_source(OBJET* p) {
    return outputs_of(p).gate;
}

int32_t* sync_source(OBJET* p) {
    return outputs_of(p).sync;
}

VCO* panel_oscillator(OBJET* panel) {
    return is_kind(panel, KIND_VCO) ? static_cast<VCO*>(module_panel(panel)->edited_module) : nullptr;
}

OBJET* producer_of_value(const std::vector<OBJET*>& panels, const float* address) {
    if (!address) return nullptr;
    for (size_t i = panels.size(); i-- > 0;)
        if (value_source(panels[i]) == address) return panels[i];
    return nullptr;
}

OBJET* producer_of_gate(const std::vector<OBJET*>& panels, const int32_t* address) {
    if (!address) return nullptr;
    for (size_t i = panels.size(); i-- > 0;)
        if (gate_source(panels[i]) == address) return panels[i];
    return nullptr;
}

OBJET* producer_of_sync(const std::vector<OBJET*>& panels, const int32_t* address) {
    if (!address) return nullptr;
    for (OBJET* p : panels)
        if (sync_source(p) == address) return p;
    return nullptr;
}

const void* PORT::field() const {
    if (value) return value;
    if (mod) return mod;
    if (gate) return gate;
    if (sync) return sync;
    return new_channel;
}

PORT jack_port(OBJET* panel, const char* jack) {
    PORT port;
    const MODULE_PORTS m = ports_of(panel);
    port.consumer = panel_module(panel);
    if (m.mixer) {
        const int c = mixer_channel(jack);
        port.link = LINK_CHANNEL;
        port.channel = c;
        if (c >= 0) port.value = &m.mixer->inputs[c].input;
    } else if (wires_jacks(panel)) {
        port.link = jack_link(jack);
        if (!std::strcmp(jack, "INPUT"))
            port.value = m.input;
        else if (!std::strcmp(jack, "INPUT_SYNC"))
            port.sync = m.sync_in;
        else if (!std::strcmp(jack, "INPUT_GATE"))
            port.gate = m.gate_in;
        else
            port.mod = mod_slot(m, jack);
    }
    return port;
}

PORT audio_drop_port(OBJET* panel, const char* jack) {
    PORT port;
    const MODULE_PORTS m = ports_of(panel);
    if (m.mixer) {
        port.new_channel = m.mixer;
    } else if (wires_jacks(panel)) {
        port.mod = mod_slot(m, jack);
        if (!port.mod) port.value = m.input;
    }
    port.consumer = panel_module(panel);
    port.link = port.mod ? jack_link(jack) : port.new_channel ? LINK_CHANNEL : LINK_IN;
    return port;
}

MODULE_REF panel_module(OBJET* panel) {
    const MODULE_PANEL* p = module_panel(panel);
    return p ? MODULE_REF{p->kind, p->edited_module} : MODULE_REF{};
}

bool connect_value(GENERATOR& g, const PORT& port, const MODULE_REF& producer) {
    DOOR door(g);
    if (port.new_channel) return door.add_channel(port.consumer, producer) >= 0;
    if (!port.value && !port.mod) return false;
    return door.connect(port.consumer, port.link, producer, port.channel);
}

bool connect_signal(GENERATOR& g, const PORT& port, const MODULE_REF& producer) {
    if (!port.gate && !port.sync) return false;
    return DOOR(g).connect(port.consumer, port.link, producer);
}

void disconnect(GENERATOR& g, const PORT& port) {
    if (port.value || port.mod || port.gate || port.sync) DOOR(g).disconnect(port.consumer, port.link, port.channel);
}

void build_cables(const std::vector<OBJET*>& panels, CABLE_LIST& out) {
    out.clear();
    verbose_printf("Begin Link Creation\n");
    for (OBJET* panel : panels) {
        const MODULE_PANEL* p = module_panel(panel);
        if (!p) continue;
        if (p->kind == KIND_SEQUENCER) verbose_printf("SEQ not done\n");
        if (const MIXER* m = ports_of(panel).mixer) {
            const int used = std::min(std::max(m->input_count, 0), MIXER_SLOTS);
            char names[MIXER_SLOTS][24];
            const char* jacks[MIXER_SLOTS];
            for (int i = 0; i < used; ++i) {
                std::snprintf(names[i], sizeof names[i], "INPUT_%d", i + 1);
                jacks[i] = names[i];
            }
            panel_cables(panels, panel, jacks, static_cast<size_t>(used), out);
        } else {
            const MODULE_KIND_INFO& info = kind_info(p->kind);
            panel_cables(panels, panel, info.jacks, static_cast<size_t>(info.jack_count), out);
        }
    }
    // The cable made last comes first, so it is drawn under the ones made before it.
    std::reverse(out.begin(), out.end());
    verbose_printf("End Link Creation\n");
}

int drag_kind_of(const char* jack_name, int dragged_end) {
    if (dragged_end == 1)
        return has(jack_name, "_GATE")   ? DRAG_GATE_OUT
               : has(jack_name, "_SYNC") ? DRAG_SYNC_OUT
                                         : DRAG_AUDIO_OUT;
    return has(jack_name, "_GATE") ? DRAG_GATE_IN : has(jack_name, "_SYNC") ? DRAG_SYNC_IN : DRAG_AUDIO_IN;
}

DROP_RESULT drop_plug(GENERATOR& g, const CABLE& cable, int dragged_end, OBJET* target_panel, SPRITE* target,
                      bool keep_links) {
    if (!target_panel || !target) {
        std::printf("Postionn\xE9 sur rien\n");
        return DROP_ON_NOTHING;
    }
    if (!has(target->name, "OUTPUT") && !has(target->name, "INPUT")) {
        std::printf("Postionn\xE9 sur ni OUTPUT ni INPUT\n");
        return DROP_NOT_A_JACK;
    }
    verbose_printf("Atterri sur qlq chose [%s]\n", target->name);
    SPRITE* origin = dragged_end == 1 ? cable.producer_jack : cable.consumer_jack;
    if (target == origin) {
        std::printf("C le meme amateur !\n");
        return DROP_SAME_JACK;
    }
    const int kind = drag_kind_of(origin->name, dragged_end);
    if (dragged_end == 1) return move_producer_end(g, cable, kind, target_panel, target);
    return move_consumer_end(g, cable, kind, target_panel, target, keep_links);
}
