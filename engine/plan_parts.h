// The sub-block plan's parts: its nodes, units and lane groups, and where their frames are kept.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "generator.h"
#include "module_kinds.h"

namespace plan {

enum PORT { P_VALUE, P_GATE, P_SYNC };

// Where the frames of a port are: frame n at base[n * stride]; stride 0 reads a live field
// (a keyboard's gate, which only other threads write, or a signal of no module).
struct SOURCE {
    const void* base = nullptr;
    int stride = 0;
};

// One link of a node: what it points at, and where the plan keeps the frames it hears.
struct READ {
    void* field;  // the producer's live field the link points at
    int node;     // the producer, or -1 when the tick reads the field as it stands
    PORT port;
    int delay;    // 0 or 1 frame
    SOURCE from;  // the producer's frames as this link hears them
};

// One module of the graph in the plan.
struct NODE {
    MODULE_KIND kind; // KIND_COUNT for the delay stage
    void* module;
    MODULE_OUTPUTS out;
    int order;     // place in the sweep
    float* values = nullptr; // its frames of value, stride `stride`: in its lane group's rows or its own
    int stride = 1;
    std::vector<int32_t> gates, syncs; // buffered when its own tick writes them
    std::vector<float> own_values;
    std::vector<READ> reads;
    std::vector<READ> sets; // the reads a lone tick sets the field of
    void (*tick)(void* module) = nullptr;
    bool reads_itself = false;
    uint8_t poked = 0; // the ports lone ticks have set this run, a bit each
};

// What the plan runs, in order: lone ticks (a module, or a loop frame by frame), a mixer, or a
// lane group.
enum UNIT_KIND { U_TICKS, U_MIXER, U_LANES };

struct UNIT {
    UNIT_KIND kind;
    std::vector<int> nodes; // in sweep order
    int group = -1;
};

// Modules of one kind and depth, independent of each other, run side by side in SIMD lanes.
struct GROUP {
    MODULE_KIND kind;
    std::vector<int> nodes;
    std::vector<void*> modules; // the nodes' modules, lane by lane
    std::vector<float*> fields; // their output fields
    std::vector<uint8_t> held;  // 1 where the arrays hold the lane's state, newer than its module's
    // The door's store count when the lanes' settings were last read; `ready` false: read them
    // again whatever the count (a new plan, or lanes handed back to the sweep).
    uint32_t writes_seen = 0;
    bool ready = false;
    bool keys_moved = false; // a filter lane runs on coefficients its module does not hold yet
    int pad = 0;
    std::vector<float> out; // (SUB_BLOCK + 1) rows of pad lanes, and a vector's slack
    std::vector<SOURCE> in, gate; // per lane, frame-0 based
    int in_step = 0, gate_step = 0; // FEED_*
    // One array per lane state or setting; what each holds is the kind's (see its run_ function).
    std::vector<float> f[12];
    std::vector<double> d[12];
    std::vector<int32_t> i[4];
    std::vector<float> feed_in;     // gathered input rows, when the inputs are not side by side
    std::vector<int32_t> feed_gate;
    std::vector<int> scalar_lanes;  // the lanes ticking alone this run
};

enum { FEED_GATHER, FEED_STRAIGHT, FEED_SHARED };

// What an unconnected input of a lane hears.
extern float zero_signal;
extern int32_t zero_gate;

template <class T> inline T read_source(const SOURCE& s, int n) {
    const T* p = static_cast<const T*>(s.base) + n * s.stride;
    return s.stride == 0 ? shared_load(*p) : *p;
}


// The frames of a node's port as a consumer with the given delay hears them.
SOURCE source_of(BLOCK_PLAN& p, int node, PORT port, int delay, const void* field);

using TICK = void (*)(void*);
// The one-frame processing of a kind (KIND_COUNT: the delay stage), called without the virtual table.
TICK tick_of(MODULE_KIND kind);
// Before a node's lone ticks of a run: the ports they set are noted, to be given back after it.
void note_sets(BLOCK_PLAN& p, const NODE& n);
// One lone tick at frame n: the fields its links read are set to what the sweep would hold.
void tick_alone(NODE& n, int frame);
// A mixer's frames of a run, from its channels' buffers.
void run_mixer(NODE& n, int frames);

// The inputs, state arrays and feeds of a lane group, once its nodes have their buffers.
void prepare_group(BLOCK_PLAN& p, GROUP& g);
// A lane group's frames of a run: the kernel's lanes, then the lanes that tick alone.
void run_group(BLOCK_PLAN& p, GROUP& g, int frames);
// Every lane's state back to its module, the lanes keeping it as well.
void flush_groups(BLOCK_PLAN& p);
// The lanes drop what they hold and read their modules again at the next run.
void forget_lanes(BLOCK_PLAN& p);

// The strongly connected parts of a graph given as each node's consumers, producers first.
std::vector<std::vector<int>> components(const std::vector<std::vector<int>>& next);

} // namespace plan

struct BLOCK_PLAN {
    std::vector<plan::NODE> nodes;
    std::vector<plan::UNIT> units;
    std::vector<plan::GROUP> groups;
    std::vector<const void*> links; // the graph's modules and links when the plan was made
    std::vector<std::pair<const void*, std::pair<int, int>>> ports; // sorted: field -> node, port
    std::vector<const VCO*> vcos; // every oscillator, asked for noise each run
    std::vector<int> alone; // the nodes with buffers of their own
    const void* master_field = nullptr;
    plan::SOURCE master;
    std::vector<std::pair<int, plan::PORT>> pokes; // the ports set this run, for giving them back
    // The graph's count of per-frame sweeps when the plan last ran: if it moved, the frames
    // before the run are taken from the fields again.
    const GENERATOR* graph = nullptr;
    uint64_t sweeps_seen = ~uint64_t{0};
};
