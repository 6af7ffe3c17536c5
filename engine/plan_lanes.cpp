// The plan's lane groups: modules of one kind run side by side in the lane kernels.
#include <algorithm>

#include "block_plan.h"
#include "lane_kernels.h"
#include "module_ref.h"
#include "plan_parts.h"

namespace plan {

float zero_signal = 0.0f;
int32_t zero_gate = 0;

void prepare_group(BLOCK_PLAN& p, GROUP& g) {
    const int lanes = static_cast<int>(g.nodes.size());
    g.in.assign(g.pad, SOURCE{&zero_signal, 0});
    g.gate.assign(g.pad, SOURCE{&zero_gate, 0});
    for (int l = 0; l < lanes; ++l) {
        NODE& n = p.nodes[g.nodes[l]];
        const MODULE_PORTS ports = module_ports({n.kind, n.module});
        for (const READ& r : n.reads) {
            if (ports.input && r.field == *ports.input) g.in[l] = r.from;
            if (ports.gate_in && r.field == *ports.gate_in) g.gate[l] = r.from;
        }
    }
    // Inputs taken straight from one producer group, lane for lane, need no gathering, and
    // one producer heard by every lane is read once. A kernel reads whole vectors of a row, so
    // only a lane group's rows (with a vector's slack past their end) are read straight.
    bool straight = lanes > 1 && g.in[0].stride >= LANE_PAD, shared = lanes > 0;
    for (int l = 1; l < lanes; ++l) {
        straight = straight && g.in[l].stride == g.in[0].stride &&
                   static_cast<const float*>(g.in[l].base) == static_cast<const float*>(g.in[0].base) + l;
        shared = shared && g.in[l].stride == g.in[0].stride && g.in[l].base == g.in[0].base;
    }
    g.in_step = straight ? FEED_STRAIGHT : shared ? FEED_SHARED : FEED_GATHER;
    shared = lanes > 0;
    for (int l = 1; l < lanes; ++l)
        shared = shared && g.gate[l].stride == g.gate[0].stride && g.gate[l].base == g.gate[0].base;
    g.gate_step = shared ? FEED_SHARED : FEED_GATHER;
    for (auto& a : g.f)
        a.assign(g.pad, 0.0f);
    for (auto& a : g.d)
        a.assign(g.pad, 0.0);
    for (auto& a : g.i)
        a.assign(g.pad, 0);
    g.feed_in.assign(static_cast<size_t>(SUB_BLOCK + 1) * g.pad, 0.0f);
    g.feed_gate.assign(static_cast<size_t>(SUB_BLOCK + 1) * g.pad, 0);
    g.scalar_lanes.reserve(lanes);
}

namespace {

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

} // namespace

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


void flush_groups(BLOCK_PLAN& p) {
    for (GROUP& g : p.groups)
        for (size_t l = 0; l < g.held.size(); ++l)
            if (g.held[l]) lane_state(g, static_cast<int>(l), true);
}

void forget_lanes(BLOCK_PLAN& p) {
    for (GROUP& g : p.groups) {
        std::fill(g.held.begin(), g.held.end(), 0);
        g.ready = false;
    }
}

} // namespace plan
