// The sub-block plan: the graph cut into units in dependency order, and its runs of frames.
#include "block_plan.h"

#include <algorithm>
#include <initializer_list>

#include "lane_kernels.h"
#include "module_ref.h"
#include "plan_parts.h"

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

using namespace plan;

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

bool laned(MODULE_KIND k) {
    return k == KIND_VCO || k == KIND_PCF || k == KIND_VCA;
}

bool noise_playing(const BLOCK_PLAN& p) {
    for (const VCO* v : p.vcos)
        if (shared_load(v->TYPE) == WAVE_NOISE) return true;
    return false;
}

} // namespace

namespace plan {

// The frames of a node's port as a consumer with the given delay hears them.
SOURCE source_of(BLOCK_PLAN& p, int node, PORT port, int delay, const void* field) {
    if (node < 0) return {field, 0};
    NODE& n = p.nodes[node];
    if (port == P_VALUE) return {n.values - delay * n.stride, n.stride};
    std::vector<int32_t>& b = port == P_GATE ? n.gates : n.syncs;
    if (b.empty()) return {field, 0};
    return {b.data() - delay, 1};
}

} // namespace plan

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
    // Where each read finds its frames, found once; the reads a lone tick sets fields for.
    p->pokes.reserve(3 * p->nodes.size());
    for (NODE& n : p->nodes) {
        n.tick = tick_of(n.kind);
        for (READ& r : n.reads) {
            r.from = source_of(*p, r.node, r.port, r.delay, r.field);
            if (r.node >= 0) n.sets.push_back(r);
        }
    }
    p->graph = &g;
    for (GROUP& gr : p->groups)
        prepare_group(*p, gr);
    return p;
}

void free_block_plan(BLOCK_PLAN* plan) {
    delete plan;
}

void PLAN_DELETER::operator()(BLOCK_PLAN* plan) const {
    free_block_plan(plan);
}

void GENERATOR::replan() {
    plan.reset(build_block_plan(*this));
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

void flush_block_plan(BLOCK_PLAN& p) {
    flush_groups(p);
}

bool run_block_plan(BLOCK_PLAN& p, const float* master_field, float* master, int frames) {
    // Noise draws from the one random sequence the sweep shares: its order is the sweep's only.
    if (noise_playing(p)) {
        flush_groups(p);
        forget_lanes(p);
        return false;
    }
    if (p.graph->sweeps != p.sweeps_seen) {
        forget_lanes(p);
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
            run_mixer(p.nodes[u.nodes[0]], frames);
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
    const void* field = master_field;
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
