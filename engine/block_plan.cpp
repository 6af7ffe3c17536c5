// The sub-block plan: cutting the graph into units and running them a run of frames at a time.
#include "block_plan.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "audio.h"
#include "generator.h"
#include "lane_kernels.h"
#include "module_ref.h"

std::atomic<int> block_engine{1};
std::atomic<int> plan_min_lanes{8};
std::atomic<uint32_t> param_writes{0};

// Every module of the graph is a node. A node that reads another hears, at frame n, that node's
// frame n when it comes earlier in the sweep and its frame n - 1 when it comes later (delay 1).
// Either way the producer's whole run must be done first, so the plan runs the graph's strongly
// connected parts in dependency order: a loop runs frame by frame as the sweep does, everything
// else a run of frames at a time. Each output port keeps its frames in a buffer, row 0 holding
// the frame before the run.
//
// A node run on its own (a note source, a mixer in a loop, an oscillator of a shape the lanes do
// not have) ticks as in the sweep: before each tick the fields it reads through its links are
// set to the producers' frames it would have heard, and after the run every field so set is
// given back its last frame.

namespace {

enum PORT { P_VALUE, P_GATE, P_SYNC };

// Where the frames of a port are: frame n at base[n * stride]; stride 0 reads a live field
// (a keyboard's gate, which only other threads write, or a signal of no module).
struct SOURCE {
    const void* base = nullptr;
    int stride = 0;
};

struct READ {
    void* field;  // the producer's live field the link points at
    int node;     // the producer, or -1 when the tick reads the field as it stands
    PORT port;
    int delay;    // 0 or 1 frame
    SOURCE from;  // the producer's frames as this link hears them
};

struct NODE {
    MODULE_KIND kind; // KIND_COUNT for the delay stage
    void* module;
    MODULE_OUTPUTS out;
    int order;     // place in the sweep
    int group = -1, lane = 0;
    float* values = nullptr; // its frames of value, stride `stride`
    int stride = 1;
    std::vector<int32_t> gates, syncs; // buffered when its own tick writes them
    std::vector<float> own_values;
    std::vector<READ> reads;
    std::vector<READ> sets; // the reads a lone tick sets the field of
    void (*tick)(void* module) = nullptr;
    bool reads_itself = false;
    uint8_t poked = 0; // the ports lone ticks have set this run, a bit each
};

enum UNIT_KIND { U_TICKS, U_MIXER, U_LANES };

struct UNIT {
    UNIT_KIND kind;
    std::vector<int> nodes; // in sweep order
    int group = -1;
};

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
    std::vector<float> f[12];
    std::vector<double> d[12];
    std::vector<int32_t> i[4];
    std::vector<float> feed_in;
    std::vector<int32_t> feed_gate;
    std::vector<int> scalar_lanes;
};

enum { FEED_GATHER, FEED_STRAIGHT, FEED_SHARED };

float zero_signal = 0.0f;
int32_t zero_gate = 0;

template <class T> T read_source(const SOURCE& s, int n) {
    const T* p = static_cast<const T*>(s.base) + n * s.stride;
    return s.stride == 0 ? shared_load(*p) : *p;
}

} // namespace

struct BLOCK_PLAN {
    std::vector<NODE> nodes;
    std::vector<UNIT> units;
    std::vector<GROUP> groups;
    std::vector<const void*> links; // the graph's modules and links when the plan was made
    std::vector<std::pair<const void*, std::pair<int, int>>> ports; // sorted: field -> node, port
    std::vector<const VCO*> vcos; // every oscillator, asked for noise each run
    std::vector<int> alone; // the nodes with buffers of their own
    const void* master_field = nullptr;
    SOURCE master;
    std::vector<std::pair<int, PORT>> pokes; // the ports set this run, for giving them back
    // The graph's count of per-frame sweeps when the plan last ran: if it moved, the frames
    // before the run are taken from the fields again.
    const GENERATOR* graph = nullptr;
    uint64_t sweeps_seen = ~uint64_t{0};
};

namespace {

// Calls f with each module of the graph in sweep order.
template <class F> void each_module(const GENERATOR& g, F&& f) {
    for (SEQUENCER* m : g.sequencers) f(KIND_SEQUENCER, m);
    for (KEYBOARD* m : g.keyboards) f(KIND_KEYBOARD, m);
    for (VCO* m : g.vcos) f(KIND_VCO, m);
    for (MIXER* m : g.mixers) f(KIND_MIXER, m);
    for (SAMPLER* m : g.samplers) f(KIND_SAMPLER, m);
    for (VCA* m : g.vcas) f(KIND_VCA, m);
    for (PCF* m : g.filters) f(KIND_PCF, m);
    for (SFX_DELAY* m : g.effects) f(KIND_COUNT, m);
}

// The fields a module's links point at, in a fixed order, each with the address of the link.
template <class F> void each_link(MODULE_KIND kind, void* m, F&& f) {
    if (kind == KIND_COUNT) {
        SFX_DELAY* d = static_cast<SFX_DELAY*>(m);
        f(&d->input, d->input);
        return;
    }
    const MODULE_PORTS p = module_ports({kind, m});
    if (p.input) f(p.input, *p.input);
    if (p.gate_in) f(p.gate_in, *p.gate_in);
    if (p.sync_in) f(p.sync_in, *p.sync_in);
    for (MOD_SLOT* slot : {p.mod_freq, p.mod_phase, p.mod_amp, p.mod_pwm})
        if (slot) f(slot, *slot != nullptr ? **slot : nullptr);
    if (p.mixer) {
        const int n = std::min(std::max(p.mixer->input_count, 0), MIXER_SLOTS);
        f(&p.mixer->input_count, reinterpret_cast<void*>(static_cast<intptr_t>(n)));
        for (int c = 0; c < n; ++c)
            f(&p.mixer->inputs[c], p.mixer->inputs[c].input);
    }
}

// Everything the plan was made from, in order: each module, then its links and what they hold.
void snapshot(const GENERATOR& g, std::vector<const void*>& out) {
    each_module(g, [&](MODULE_KIND kind, void* m) {
        out.push_back(m);
        each_link(kind, m, [&](const void* link, void* target) {
            out.push_back(link);
            out.push_back(target);
        });
    });
}

int port_of(const BLOCK_PLAN& p, const void* field, PORT* port) {
    auto it = std::lower_bound(p.ports.begin(), p.ports.end(), field,
                               [](const auto& e, const void* f) { return e.first < f; });
    if (it == p.ports.end() || it->first != field) return -1;
    *port = static_cast<PORT>(it->second.second);
    return it->second.first;
}

// The frames of a node's port as a consumer with the given delay hears them.
SOURCE source_of(BLOCK_PLAN& p, int node, PORT port, int delay, const void* field) {
    if (node < 0) return {field, 0};
    NODE& n = p.nodes[node];
    if (port == P_VALUE) return {n.values - delay * n.stride, n.stride};
    std::vector<int32_t>& b = port == P_GATE ? n.gates : n.syncs;
    if (b.empty()) return {field, 0};
    return {b.data() - delay, 1};
}

// Tarjan's strongly connected components, iteratively; components come out consumers first.
std::vector<std::vector<int>> components(const std::vector<std::vector<int>>& next) {
    const int n = static_cast<int>(next.size());
    std::vector<int> index(n, -1), low(n, 0), stack;
    std::vector<char> on(n, 0);
    std::vector<std::vector<int>> out;
    int counter = 0;
    std::vector<std::pair<int, size_t>> calls;
    for (int root = 0; root < n; ++root) {
        if (index[root] >= 0) continue;
        calls.push_back({root, 0});
        while (!calls.empty()) {
            auto& [v, k] = calls.back();
            if (k == 0) {
                index[v] = low[v] = counter++;
                stack.push_back(v);
                on[v] = 1;
            }
            if (k < next[v].size()) {
                const int w = next[v][k++];
                if (index[w] < 0)
                    calls.push_back({w, 0});
                else if (on[w])
                    low[v] = std::min(low[v], index[w]);
                continue;
            }
            if (low[v] == index[v]) {
                std::vector<int> c;
                int w;
                do {
                    w = stack.back();
                    stack.pop_back();
                    on[w] = 0;
                    c.push_back(w);
                } while (w != v);
                out.push_back(c);
            }
            const int done = v;
            calls.pop_back();
            if (!calls.empty()) low[calls.back().first] = std::min(low[calls.back().first], low[done]);
        }
    }
    return out;
}

// The one-frame processing of a kind, called without the virtual table.
template <class M> void tick_module(void* m) {
    static_cast<M*>(m)->M::process();
}
using TICK = void (*)(void*);
template <size_t... K> TICK tick_of(MODULE_KIND kind, std::index_sequence<K...>) {
    const TICK ticks[] = {tick_module<kind_class<static_cast<MODULE_KIND>(K)>>...};
    return ticks[kind];
}
TICK tick_of(MODULE_KIND kind) {
    if (kind == KIND_COUNT) return tick_module<SFX_DELAY>;
    return tick_of(kind, std::make_index_sequence<KIND_COUNT>());
}

bool laned(MODULE_KIND k) {
    return k == KIND_VCO || k == KIND_PCF || k == KIND_VCA;
}

} // namespace

BLOCK_PLAN* build_block_plan(GENERATOR& g) {
    // A sampler closes other modules' gates from inside its tick: such graphs run frame by frame.
    if (!g.samplers.empty()) return nullptr;
    BLOCK_PLAN* p = new BLOCK_PLAN();
    snapshot(g, p->links);
    each_module(g, [&](MODULE_KIND kind, void* m) {
        NODE n;
        n.kind = kind;
        n.module = m;
        n.out = kind == KIND_COUNT ? MODULE_OUTPUTS{&static_cast<SFX_DELAY*>(m)->value, nullptr, nullptr}
                                   : module_outputs({kind, m});
        n.order = static_cast<int>(p->nodes.size());
        p->nodes.push_back(std::move(n));
    });
    const int count = static_cast<int>(p->nodes.size());
    for (int i = 0; i < count; ++i) {
        const MODULE_OUTPUTS& o = p->nodes[i].out;
        p->ports.push_back({o.value, {i, P_VALUE}});
        if (o.gate) p->ports.push_back({o.gate, {i, P_GATE}});
        if (o.sync) p->ports.push_back({o.sync, {i, P_SYNC}});
        if (p->nodes[i].kind == KIND_VCO) p->vcos.push_back(static_cast<const VCO*>(p->nodes[i].module));
    }
    std::sort(p->ports.begin(), p->ports.end());

    // Links and the graph of producers before consumers.
    std::vector<std::vector<int>> next(count);
    for (int i = 0; i < count; ++i) {
        NODE& n = p->nodes[i];
        each_link(n.kind, n.module, [&](const void* link, void* target) {
            // The slot count is no field a tick reads through a link.
            if (n.kind == KIND_MIXER && link == &static_cast<MIXER*>(n.module)->input_count) return;
            if (target == nullptr) return;
            PORT port = P_VALUE;
            const int src = port_of(*p, target, &port);
            // A keyboard's gate is written by the window and the MIDI player only: read it live.
            if (src >= 0 && port == P_GATE && p->nodes[src].kind == KIND_KEYBOARD) {
                n.reads.push_back({target, -1, port, 0, {}});
                return;
            }
            // A module hearing itself hears its own field, which holds its previous frame.
            if (src == i) {
                n.reads_itself = true;
                n.reads.push_back({target, -1, port, 0, {}});
                return;
            }
            n.reads.push_back({target, src, port, src >= 0 && p->nodes[src].order > n.order ? 1 : 0, {}});
            if (src >= 0) next[src].push_back(i);
        });
    }

    // Components in dependency order; the depth of each is one more than its deepest producer.
    std::vector<std::vector<int>> comps = components(next);
    std::reverse(comps.begin(), comps.end());
    std::vector<int> comp_of(count), depth(comps.size(), 0);
    for (size_t c = 0; c < comps.size(); ++c)
        for (int v : comps[c])
            comp_of[v] = static_cast<int>(c);
    for (size_t c = 0; c < comps.size(); ++c)
        for (int v : comps[c])
            for (int w : next[v])
                if (comp_of[w] != static_cast<int>(c)) depth[comp_of[w]] = std::max(depth[comp_of[w]], depth[c] + 1);

    // Units, depth by depth: the lone oscillators, filters and envelopes of a depth share lanes.
    std::vector<size_t> by_depth(comps.size());
    for (size_t c = 0; c < comps.size(); ++c)
        by_depth[c] = c;
    std::stable_sort(by_depth.begin(), by_depth.end(), [&](size_t a, size_t b) { return depth[a] < depth[b]; });
    for (size_t at = 0; at < by_depth.size();) {
        size_t end = at;
        while (end < by_depth.size() && depth[by_depth[end]] == depth[by_depth[at]])
            ++end;
        int lane_group[KIND_COUNT];
        std::fill(lane_group, lane_group + KIND_COUNT, -1);
        for (size_t k = at; k < end; ++k) {
            std::vector<int>& c = comps[by_depth[k]];
            std::sort(c.begin(), c.end());
            const bool loop = c.size() > 1;
            const int v = c[0];
            if (!loop) {
                if (p->nodes[v].reads_itself) goto ticks; // a module hearing itself runs alone
                if (laned(p->nodes[v].kind)) {
                    int& gi = lane_group[p->nodes[v].kind];
                    if (gi < 0) {
                        gi = static_cast<int>(p->groups.size());
                        p->groups.push_back(GROUP{});
                        p->groups.back().kind = p->nodes[v].kind;
                        p->units.push_back({U_LANES, {}, gi});
                    }
                    p->groups[gi].nodes.push_back(v);
                    continue;
                }
                if (p->nodes[v].kind == KIND_MIXER) {
                    p->units.push_back({U_MIXER, c, -1});
                    continue;
                }
            }
        ticks:
            p->units.push_back({U_TICKS, c, -1});
            if (loop)
                for (int m : c)
                    for (READ& r : p->nodes[m].reads)
                        if (r.node >= 0 && comp_of[r.node] == comp_of[m]) r.node = -1;
        }
        at = end;
    }

    // Lanes pay for the plan's own work only when they are many: a graph without a group of
    // plan_min_lanes modules of one kind and depth runs frame by frame, as fast as it did.
    size_t widest = 0;
    for (const GROUP& gr : p->groups)
        widest = std::max(widest, gr.nodes.size());
    if (widest < static_cast<size_t>(plan_min_lanes.load())) {
        delete p;
        return nullptr;
    }

    // Buffers: a lane group's frames side by side, every other node's its own.
    for (GROUP& gr : p->groups) {
        const int lanes = static_cast<int>(gr.nodes.size());
        gr.pad = (lanes + LANE_PAD - 1) / LANE_PAD * LANE_PAD;
        gr.out.assign(static_cast<size_t>(SUB_BLOCK + 1) * gr.pad + LANE_PAD, 0.0f);
        for (int l = 0; l < lanes; ++l) {
            NODE& n = p->nodes[gr.nodes[l]];
            gr.modules.push_back(n.module);
            gr.fields.push_back(n.out.value);
            gr.held.push_back(0);
            n.group = static_cast<int>(&gr - p->groups.data());
            n.lane = l;
            n.values = gr.out.data() + l;
            n.stride = gr.pad;
        }
    }
    for (NODE& n : p->nodes) {
        if (n.values != nullptr) continue;
        p->alone.push_back(static_cast<int>(&n - p->nodes.data()));
        n.own_values.assign(SUB_BLOCK + 1, 0.0f);
        n.values = n.own_values.data();
        if (n.out.gate && n.kind != KIND_KEYBOARD) n.gates.assign(SUB_BLOCK + 1, 0);
        if (n.out.sync) n.syncs.assign(SUB_BLOCK + 1, 0);
    }
    // Which ports a lone tick's reads will set, and the lanes' inputs.
    p->pokes.reserve(3 * p->nodes.size());
    for (NODE& n : p->nodes) {
        n.tick = tick_of(n.kind);
        for (READ& r : n.reads)
            if (r.node >= 0) {
                r.from = source_of(*p, r.node, r.port, r.delay, r.field);
                n.sets.push_back(r);
            }
    }
    p->graph = &g;
    for (GROUP& gr : p->groups) {
        const int lanes = static_cast<int>(gr.nodes.size());
        gr.in.assign(gr.pad, SOURCE{&zero_signal, 0});
        gr.gate.assign(gr.pad, SOURCE{&zero_gate, 0});
        for (int l = 0; l < lanes; ++l) {
            NODE& n = p->nodes[gr.nodes[l]];
            const MODULE_PORTS ports = module_ports({n.kind, n.module});
            for (const READ& r : n.reads) {
                const SOURCE s = source_of(*p, r.node, r.port, r.delay, r.field);
                if (ports.input && r.field == *ports.input) gr.in[l] = s;
                if (ports.gate_in && r.field == *ports.gate_in) gr.gate[l] = s;
            }
        }
        // Inputs taken straight from one producer group, lane for lane, need no gathering, and
        // one producer heard by every lane is read once.
        bool straight = lanes > 0 && gr.in[0].stride > 0, shared = lanes > 0;
        for (int l = 1; l < lanes; ++l) {
            straight = straight && gr.in[l].stride == gr.in[0].stride &&
                       static_cast<const float*>(gr.in[l].base) == static_cast<const float*>(gr.in[0].base) + l;
            shared = shared && gr.in[l].stride == gr.in[0].stride && gr.in[l].base == gr.in[0].base;
        }
        gr.in_step = straight ? FEED_STRAIGHT : shared ? FEED_SHARED : FEED_GATHER;
        shared = lanes > 0;
        for (int l = 1; l < lanes; ++l)
            shared = shared && gr.gate[l].stride == gr.gate[0].stride && gr.gate[l].base == gr.gate[0].base;
        gr.gate_step = shared ? FEED_SHARED : FEED_GATHER;
        for (auto& a : gr.f)
            a.assign(gr.pad, 0.0f);
        for (auto& a : gr.d)
            a.assign(gr.pad, 0.0);
        for (auto& a : gr.i)
            a.assign(gr.pad, 0);
        gr.feed_in.assign(static_cast<size_t>(SUB_BLOCK + 1) * gr.pad, 0.0f);
        gr.feed_gate.assign(static_cast<size_t>(SUB_BLOCK + 1) * gr.pad, 0);
        gr.scalar_lanes.reserve(lanes);
    }
    return p;
}

void free_block_plan(BLOCK_PLAN* plan) {
    delete plan;
}

bool plan_matches(const BLOCK_PLAN& plan, const GENERATOR& g) {
    size_t at = 0;
    bool same = true;
    const std::vector<const void*>& l = plan.links;
    each_module(g, [&](MODULE_KIND kind, void* m) {
        if (!same || at >= l.size() || l[at++] != m) {
            same = false;
            return;
        }
        each_link(kind, m, [&](const void* link, void* target) {
            if (!same || at + 1 >= l.size() || l[at] != link || l[at + 1] != target) same = false;
            at += 2;
        });
    });
    return same && at == l.size();
}

namespace {

// Before a node's lone ticks of a run: the ports they set are noted, to be given back after it.
void note_sets(BLOCK_PLAN& p, const NODE& n) {
    for (const READ& r : n.sets) {
        NODE& from = p.nodes[r.node];
        if ((from.poked & (1u << r.port)) == 0) {
            from.poked |= static_cast<uint8_t>(1u << r.port);
            p.pokes.push_back({r.node, r.port});
        }
    }
}

// One lone tick at frame n: the fields its links read are set to what the sweep would hold.
void tick_alone(NODE& n, int frame) {
    for (const READ& r : n.sets) {
        if (r.port == P_VALUE)
            shared_store(*static_cast<float*>(r.field), read_source<float>(r.from, frame));
        else
            shared_store(*static_cast<int32_t*>(r.field), read_source<int32_t>(r.from, frame));
    }
    n.tick(n.module);
    n.values[frame * n.stride] = shared_load(*n.out.value);
    if (!n.gates.empty()) n.gates[frame] = shared_load(*n.out.gate);
    if (!n.syncs.empty()) n.syncs[frame] = shared_load(*n.out.sync);
}

void run_mixer(BLOCK_PLAN& p, NODE& n, int frames) {
    MIXER& m = *static_cast<MIXER*>(n.module);
    SOURCE src[MIXER_SLOTS];
    float level[MIXER_SLOTS];
    int used = 0;
    if (shared_load(m.enabled) != 0) {
        const int32_t slots = shared_load(m.input_count);
        const int count = slots < MIXER_SLOTS ? slots : MIXER_SLOTS;
        int r = 0;
        for (int i = 0; i < count; ++i) {
            if (m.inputs[i].input == nullptr) continue;
            const READ& rd = n.reads[r++];
            if (float_bits(shared_load(m.mute[i])) == 0x3f800000u) continue;
            src[used] = source_of(p, rd.node, rd.port, rd.delay, rd.field);
            level[used++] = shared_load(m.level[i]);
        }
    }
    // Channel by channel over all frames: each frame still adds its channels in slot order, and
    // the frames' sums do not wait on one another.
    float sum[SUB_BLOCK + 1];
    for (int f = 1; f <= frames; ++f)
        sum[f] = 0.0f;
    int i = 0;
    for (; i + 4 <= used; i += 4) {
        if ((src[i].stride | src[i + 1].stride | src[i + 2].stride | src[i + 3].stride) == 0) break;
        const float* in[4];
        for (int k = 0; k < 4; ++k)
            in[k] = static_cast<const float*>(src[i + k].base);
        const int s0 = src[i].stride, s1 = src[i + 1].stride, s2 = src[i + 2].stride, s3 = src[i + 3].stride;
        for (int f = 1; f <= frames; ++f) {
            float v = sum[f];
            v += level[i] * in[0][f * s0];
            v += level[i + 1] * in[1][f * s1];
            v += level[i + 2] * in[2][f * s2];
            v += level[i + 3] * in[3][f * s3];
            sum[f] = v;
        }
    }
    for (; i < used; ++i)
        for (int f = 1; f <= frames; ++f)
            sum[f] += level[i] * read_source<float>(src[i], f);
    for (int f = 1; f <= frames; ++f)
        n.values[f] = used > 0 ? sum[f] / static_cast<float>(used) : 0.0f;
    shared_store(m.value, n.values[frames]);
}

// The lanes' inputs over the run: straight from the producers' buffer, one value a frame for all
// lanes, or gathered side by side into the group's own rows.
template <class T>
LANE_FRAMES<T> feed(const std::vector<SOURCE>& from, int how, std::vector<T>& to, int lanes, int pad, int frames) {
    if (how == FEED_STRAIGHT) return {static_cast<const T*>(from[0].base), from[0].stride, false};
    if (how == FEED_SHARED) {
        if (from[0].stride != 0) return {static_cast<const T*>(from[0].base), from[0].stride, true};
        for (int f = 1; f <= frames; ++f)
            to[f] = read_source<T>(from[0], f);
        return {to.data(), 1, true};
    }
    for (int f = 1; f <= frames; ++f)
        for (int l = 0; l < lanes; ++l)
            to[f * pad + l] = read_source<T>(from[l], f);
    return {to.data(), pad, false};
}

LANE_FRAMES<float> feed(GROUP& g, int frames) {
    return feed(g.in, g.in_step, g.feed_in, static_cast<int>(g.nodes.size()), g.pad, frames);
}

LANE_FRAMES<int32_t> feed_gates(GROUP& g, int frames) {
    return feed(g.gate, g.gate_step, g.feed_gate, static_cast<int>(g.nodes.size()), g.pad, frames);
}

// The settings of a lane a few ahead are asked for early: the modules lie apart in memory.
void prefetch_module(const GROUP& g, int l) {
    if (l >= static_cast<int>(g.modules.size())) return;
    const char* m = static_cast<const char*>(g.modules[l]);
    __builtin_prefetch(m);
    __builtin_prefetch(m + 64);
    __builtin_prefetch(m + 128);
}

// A lane's state (phase, filter memory, envelope) stays in the group's arrays from one run to the
// next; the module gets it back when it must tick alone, when the frames go frame by frame, and
// at the end of every render_frames call (flush_block_plan), for the other threads and callers.
void vco_state(GROUP& g, int l, bool to_module) {
    VCO& m = *static_cast<VCO*>(g.modules[l]);
    if (to_module) {
        m.phase = g.f[0][l];
        m.played_freq = g.f[1][l];
    } else {
        g.f[0][l] = m.phase;
        g.f[1][l] = m.played_freq;
    }
}

void pcf_state(GROUP& g, int l, bool to_module) {
    PCF& m = *static_cast<PCF*>(g.modules[l]);
    if (to_module) {
        m.memory = {g.d[0][l], g.d[1][l], g.d[2][l], g.d[3][l]};
    } else {
        g.d[0][l] = m.memory.x1;
        g.d[1][l] = m.memory.x2;
        g.d[2][l] = m.memory.y1;
        g.d[3][l] = m.memory.y2;
    }
}

void vca_state(GROUP& g, int l, bool to_module) {
    VCA& m = *static_cast<VCA*>(g.modules[l]);
    if (to_module) {
        m.env_time = g.f[1][l];
        m.release_time = g.f[2][l];
        m.release_level = g.f[3][l];
    } else {
        g.f[0][l] = m.value;
        g.f[1][l] = m.env_time;
        g.f[2][l] = m.release_time;
        g.f[3][l] = m.release_level;
    }
}

void lane_state(GROUP& g, int l, bool to_module) {
    if (g.kind == KIND_VCO) vco_state(g, l, to_module);
    if (g.kind == KIND_PCF) pcf_state(g, l, to_module);
    if (g.kind == KIND_VCA) vca_state(g, l, to_module);
}

// Lane l runs in the kernel this time: its state into the arrays unless they hold it already.
void take_lane(GROUP& g, int l) {
    if (!g.held[l]) lane_state(g, l, false);
    g.held[l] = 1;
}

// Lane l ticks alone this time: the module gets its state back first.
void leave_lane(GROUP& g, int l) {
    if (g.held[l]) lane_state(g, l, true);
    g.held[l] = 0;
    g.scalar_lanes.push_back(l);
}

void run_vcos(GROUP& g, const LANE_KERNELS& k, int frames) {
    const int lanes = static_cast<int>(g.nodes.size());
    VCO_LANES s{g.f[0].data(), g.f[1].data(), g.f[2].data(), g.f[3].data(), g.i[0].data(), g.i[1].data()};
    for (int l = 0; l < lanes && !g.ready; ++l) {
        prefetch_module(g, l + 8);
        VCO& m = *static_cast<VCO*>(g.modules[l]);
        const int type = shared_load(m.TYPE);
        const bool ramp = type == WAVE_SAW || type == WAVE_TRI;
        if (shared_load(m.power) == 0 || !ramp || any_connected(m.sync_in, m.mod_amp, m.mod_freq)) {
            leave_lane(g, l);
            continue;
        }
        take_lane(g, l);
        float amp = shared_load(m.AMOUNT);
        if (amp > 1.0f) amp = 1.0f;
        g.f[2][l] = shared_load(m.FREQ);
        g.f[3][l] = amp;
        g.i[0][l] = type == WAVE_SAW;
        g.i[1][l] = m.input != nullptr;
    }
    k.vco(s, feed(g, frames), {g.out.data(), g.pad}, g.pad, frames);
}

void run_pcfs(GROUP& g, const LANE_KERNELS& k, int frames) {
    const int lanes = static_cast<int>(g.nodes.size());
    PCF_LANES s{g.d[0].data(), g.d[1].data(), g.d[2].data(), g.d[3].data(), g.d[4].data(), g.d[5].data(),
                g.d[6].data(), g.d[7].data(), g.d[8].data(), g.f[0].data(), g.i[0].data()};
    for (int l = 0; l < lanes && !g.ready; ++l) {
        prefetch_module(g, l + 8);
        PCF& m = *static_cast<PCF*>(g.modules[l]);
        const int type = shared_load(m.TYPE);
        if (shared_load(m.power) == 0 || m.input == nullptr || shared_load(m.BYPASS) != 0 ||
            any_connected(m.mod_amp, m.mod_freq) || !(type == 1 || type == 2 || type == 4)) {
            leave_lane(g, l);
            continue;
        }
        take_lane(g, l);
        // The coefficients of this run's settings; the filter's key moves only if it runs.
        const float f = static_cast<float>(shared_load(m.HICUT)), q = shared_load(m.Q), gain = shared_load(m.GAIN);
        const bool moved = float_bits(f) != m.key_bits[0] || float_bits(q) != m.key_bits[1] ||
                           float_bits(gain) != m.key_bits[2] || type != m.key_type;
        const BIQUAD_COEFFS* c = &m.coeffs;
        BIQUAD_COEFFS fresh;
        if (TESSARO_UNLIKELY(moved)) {
            fresh = m.coeffs;
            compute_coefficients(fresh, type, f, q, gain);
            c = &fresh;
        }
        g.d[4][l] = c->c[1];
        g.d[5][l] = c->c[2];
        g.d[6][l] = c->c[3];
        g.d[7][l] = c->c[4];
        g.d[8][l] = shared_load(m.AMOUNT) + 1.0f;
        g.f[0][l] = shared_load(m.mix);
        g.i[0][l] = 0;
        g.i[1][l] = moved;
        g.keys_moved = g.keys_moved || moved;
    }
    k.pcf(s, feed(g, frames), {g.out.data(), g.pad}, g.pad, frames);
    if (!g.keys_moved) return;
    g.keys_moved = false;
    for (int l = 0; l < lanes; ++l) {
        if (!g.held[l] || g.i[1][l] == 0) continue;
        if (g.i[0][l] == 0) {
            g.keys_moved = true; // silent so far: its key moves when it first runs
            continue;
        }
        g.i[1][l] = 0;
        PCF& m = *static_cast<PCF*>(g.modules[l]);
        const int type = shared_load(m.TYPE);
        const float f = static_cast<float>(shared_load(m.HICUT)), q = shared_load(m.Q), gain = shared_load(m.GAIN);
        m.key_bits[0] = float_bits(f);
        m.key_bits[1] = float_bits(q);
        m.key_bits[2] = float_bits(gain);
        m.key_freq = f;
        m.key_q = q;
        m.key_gain = gain;
        m.key_type = type;
        compute_coefficients(m.coeffs, type, f, q, gain);
    }
}

void run_vcas(GROUP& g, const LANE_KERNELS& k, int frames) {
    const int lanes = static_cast<int>(g.nodes.size());
    VCA_LANES s{g.f[0].data(), g.f[1].data(), g.f[2].data(), g.f[3].data(), g.f[4].data(),
                g.f[5].data(), g.f[6].data(), g.f[7].data(), g.f[8].data()};
    for (int l = 0; l < lanes && !g.ready; ++l) {
        prefetch_module(g, l + 8);
        VCA& m = *static_cast<VCA*>(g.modules[l]);
        if (m.gate_in == nullptr || shared_load(m.INVERT) != 0) {
            leave_lane(g, l);
            continue;
        }
        take_lane(g, l);
        // A gated envelope is not bypassed: its first tick would store that.
        if (shared_load(m.BYPASS) != 0) shared_store(m.BYPASS, 0);
        g.f[4][l] = shared_load(m.ATTACK);
        g.f[5][l] = shared_load(m.DECAY);
        g.f[6][l] = shared_load(m.SUSTAIN);
        g.f[7][l] = shared_load(m.RELEASE);
        g.f[8][l] = shared_load(m.peak);
    }
    k.vca(s, feed(g, frames), feed_gates(g, frames), {g.out.data(), g.pad}, g.pad, frames);
}

void run_group(BLOCK_PLAN& p, GROUP& g, int frames) {
    const LANE_KERNELS& k = lane_kernels();
    const uint32_t writes = param_writes.load(std::memory_order_acquire);
    if (writes != g.writes_seen) g.ready = false;
    g.writes_seen = writes;
    if (!g.ready) g.scalar_lanes.clear();
    if (g.kind == KIND_VCO) run_vcos(g, k, frames);
    if (g.kind == KIND_PCF) run_pcfs(g, k, frames);
    if (g.kind == KIND_VCA) run_vcas(g, k, frames);
    g.ready = true;
    // The kernels' lanes show their last frame; the others tick alone, frame by frame.
    const int lanes = static_cast<int>(g.nodes.size());
    for (int l = 0; l < lanes; ++l)
        if (g.held[l]) shared_store(*g.fields[l], g.out[frames * g.pad + l]);
    for (int l : g.scalar_lanes) {
        NODE& n = p.nodes[g.nodes[l]];
        note_sets(p, n);
        for (int f = 1; f <= frames; ++f)
            tick_alone(n, f);
    }
}

bool noise_playing(const BLOCK_PLAN& p) {
    for (const VCO* v : p.vcos)
        if (shared_load(v->TYPE) == WAVE_NOISE) return true;
    return false;
}

} // namespace

void flush_block_plan(BLOCK_PLAN& p) {
    for (GROUP& g : p.groups)
        for (size_t l = 0; l < g.held.size(); ++l)
            if (g.held[l]) lane_state(g, static_cast<int>(l), true);
}

bool run_block_plan(BLOCK_PLAN& p, float* master, int frames) {
    // Noise draws from the one random sequence the sweep shares: its order is the sweep's only.
    if (noise_playing(p)) {
        flush_block_plan(p);
        for (GROUP& g : p.groups) {
            std::fill(g.held.begin(), g.held.end(), 0);
            g.ready = false;
        }
        return false;
    }
    if (p.graph->sweeps != p.sweeps_seen) {
        for (GROUP& g : p.groups) {
            std::fill(g.held.begin(), g.held.end(), 0);
            g.ready = false;
        }
        for (NODE& n : p.nodes) {
            n.values[0] = shared_load(*n.out.value);
            if (!n.gates.empty()) n.gates[0] = shared_load(*n.out.gate);
            if (!n.syncs.empty()) n.syncs[0] = shared_load(*n.out.sync);
        }
    }
    for (UNIT& u : p.units) {
        if (u.kind == U_LANES) {
            run_group(p, p.groups[u.group], frames);
        } else if (u.kind == U_MIXER) {
            run_mixer(p, p.nodes[u.nodes[0]], frames);
        } else {
            for (int v : u.nodes)
                note_sets(p, p.nodes[v]);
            for (int f = 1; f <= frames; ++f)
                for (int v : u.nodes)
                    tick_alone(p.nodes[v], f);
        }
    }
    // The fields lone ticks set to earlier frames get their last frame back.
    for (const auto& [v, port] : p.pokes) {
        NODE& n = p.nodes[v];
        n.poked = 0;
        if (port == P_VALUE) shared_store(*n.out.value, n.values[frames * n.stride]);
        if (port == P_GATE) shared_store(*n.out.gate, n.gates[frames]);
        if (port == P_SYNC) shared_store(*n.out.sync, n.syncs[frames]);
    }
    p.pokes.clear();
    // The run's last frame is the next run's frame before.
    for (GROUP& gr : p.groups)
        std::copy_n(gr.out.begin() + static_cast<std::ptrdiff_t>(frames) * gr.pad, gr.pad, gr.out.begin());
    for (int v : p.alone) {
        NODE& n = p.nodes[v];
        n.values[0] = n.values[frames];
        if (!n.gates.empty()) n.gates[0] = n.gates[frames];
        if (!n.syncs.empty()) n.syncs[0] = n.syncs[frames];
    }
    p.sweeps_seen = p.graph->sweeps;
    const void* field = *master_out;
    if (field != p.master_field) {
        PORT port = P_VALUE;
        const int node = port_of(p, field, &port);
        p.master = node >= 0 && port == P_VALUE ? source_of(p, node, P_VALUE, 0, field) : SOURCE{field, 0};
        p.master_field = field;
    }
    for (int n = 0; n < frames; ++n)
        master[n] = read_source<float>(p.master, n + 1);
    return true;
}
