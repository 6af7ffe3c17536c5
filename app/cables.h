// Patch cables: records built from the module graph, the look-ups from a port back to the panel
// whose module produces it, and the rules by which a dropped plug rewires the graph.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/door.h"
#include "engine/ports.h"
#include "toolkit/objet.h"
#include "toolkit/sprite.h"

struct GENERATOR;
struct MIXER;

// Kind colours of a cable record (kept with the record; the drawing is grey whatever the kind).
constexpr uint32_t CABLE_AUDIO = 0xFFFFFF;
constexpr uint32_t CABLE_GATE = 0xFF0000;
constexpr uint32_t CABLE_SYNC = 0x0000FF;

constexpr const char* PLUG_IMAGE = "FICHE_PLUG";
constexpr const char* PLUG_MASK = "FICHE_PLUG_MASK";
constexpr const char* UNPLUG_IMAGE = "FICHE_UNPLUG";
constexpr const char* UNPLUG_MASK = "FICHE_UNPLUG_MASK";

// One drawn connection: from the consumer's input jack (end 1) to the producer's output jack
// (end 2), in world coordinates, with a plug sprite at each end.
struct CABLE {
    int last_x1 = 0, last_x2 = 0, last_y1 = 0, last_y2 = 0;
    int x1 = 0, y1 = 0;
    int x2 = 0, y2 = 0;
    uint32_t colour = CABLE_AUDIO;
    SPRITE plug_in;
    SPRITE plug_out;
    OBJET* consumer_panel = nullptr;
    OBJET* producer_panel = nullptr;
    SPRITE* consumer_jack = nullptr;
    SPRITE* producer_jack = nullptr;

    CABLE(int cx, int cy, int px, int py);
};

// The cable list owns its records: a rebuild frees the old ones.
using CABLE_LIST = std::vector<std::unique_ptr<CABLE>>;

// The plug sprite of a cable end: "FICHE_PLUG" (or "FICHE_UNPLUG" while held) with its mask.
void show_plug(SPRITE& plug, bool plugged);
// A held plug changes its look: unplugged to plugged, anything else to unplugged.
void flip_plug(SPRITE& plug);

// What a module panel produces, by the panel's real class; null for what it lacks (and for any
// panel that edits no module). Every module has a value; keyboards and sequencers a gate and a
// sync pulse.
float* value_source(OBJET* panel);
int32_t* gate_source(OBJET* panel);
int32_t* sync_source(OBJET* panel);

// The oscillator an oscillator panel edits; null for any other panel.
struct VCO;
VCO* panel_oscillator(OBJET* panel);

// The panel whose module produces the address: value from the last panel to the first, gate
// likewise, sync from the first panel to the last. Null when none.
OBJET* producer_of_value(const std::vector<OBJET*>& panels, const float* address);
OBJET* producer_of_gate(const std::vector<OBJET*>& panels, const int32_t* address);
OBJET* producer_of_sync(const std::vector<OBJET*>& panels, const int32_t* address);

// An input port of a module, as the field that holds its connection (at most one is set), and
// the module and port the door changes it by.
struct PORT {
    float** value = nullptr;      // an input, or one mixer channel
    MOD_SLOT* mod = nullptr;      // a modulation slot (its cell holds the source's value address)
    int32_t** gate = nullptr;     // gate_in
    int32_t** sync = nullptr;     // sync_in
    MIXER* new_channel = nullptr; // a drop on a mixer: the next free channel
    MODULE_REF consumer;
    LINK_PORT link = LINK_IN;
    int channel = 0; // a mixer channel's slot

    bool found() const { return value || mod || gate || sync || new_channel; }
    // The field itself, so two ports can be told apart.
    const void* field() const;
};

// The port the jack of that name (without panel prefix) stands for on the panel's module;
// nothing when the module has no such port.
PORT jack_port(OBJET* panel, const char* jack);
// Where an audio or modulation plug dropped on that jack connects: a modulation slot named by
// the jack, a new mixer channel whichever mixer jack was hit, or else the module's input.
PORT audio_drop_port(OBJET* panel, const char* jack);

// The module a panel edits; none for a panel that edits no module.
MODULE_REF panel_module(OBJET* panel);

// Links the producer's signal into a port through g's door (a modulation slot gets a new cell
// of g). A mixer channel is filled before it is counted; false when the mixer is full or the
// port has another kind.
bool connect_value(GENERATOR& g, const PORT& port, const MODULE_REF& producer);
bool connect_signal(GENERATOR& g, const PORT& port, const MODULE_REF& producer); // gate or sync
// Empties the port through g's door.
void disconnect(GENERATOR& g, const PORT& port);

// Empties the list and builds it again from the panels' modules, printing the progress lines
// and the diagnostics of missing pieces (it never waits for the console). The jacks are looked
// up on each panel's back side. The list ends in the reverse order of creation.
void build_cables(const std::vector<OBJET*>& panels, CABLE_LIST& out);

// Kinds of a held plug: which end of the cable and which signal it carries.
enum DRAG_KIND {
    DRAG_AUDIO_OUT = 0,
    DRAG_AUDIO_IN = 1,
    DRAG_GATE_IN = 2,
    DRAG_SYNC_IN = 3,
    DRAG_GATE_OUT = 4,
    DRAG_SYNC_OUT = 5
};
// The kind of the plug taken from a jack: end 0 is the consumer end, 1 the producer end.
int drag_kind_of(const char* jack_name, int dragged_end);

enum DROP_RESULT { DROP_ON_NOTHING, DROP_NOT_A_JACK, DROP_SAME_JACK, DROP_REFUSED, DROP_CONNECTED };

// A plug of `cable` (end 0 consumer, 1 producer) dropped on `target` of `target_panel` (either
// may be null): prints what happens and rewires g's modules through the panels' modules. A new
// connection is made before the old one is undone, so the audio thread never hears neither;
// keep_links keeps the old consumer connected.
DROP_RESULT drop_plug(GENERATOR& g, const CABLE& cable, int dragged_end, OBJET* target_panel, SPRITE* target,
                      bool keep_links);
