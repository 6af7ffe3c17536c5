// The plan's lone ticks and mixers: modules run one frame at a time, and mixers a run at a time.
#include "block_plan.h"
#include "lane_kernels.h"
#include "module_ref.h"
#include "plan_parts.h"

namespace plan {

namespace {
template <class M> void tick_module(void* m) {
    static_cast<M*>(m)->M::process();
}
template <size_t... K> TICK tick_of(MODULE_KIND kind, std::index_sequence<K...>) {
    const TICK ticks[] = {tick_module<kind_class<static_cast<MODULE_KIND>(K)>>...};
    return ticks[kind];
}
} // namespace

TICK tick_of(MODULE_KIND kind) {
    if (kind == KIND_COUNT) return tick_module<SFX_DELAY>;
    return tick_of(kind, std::make_index_sequence<KIND_COUNT>());
}


void note_sets(BLOCK_PLAN& p, const NODE& n) {
    for (const READ& r : n.sets) {
        NODE& from = p.nodes[r.node];
        if ((from.poked & (1u << r.port)) == 0) {
            from.poked |= static_cast<uint8_t>(1u << r.port);
            p.pokes.push_back({r.node, r.port});
        }
    }
}

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

void run_mixer(NODE& n, int frames) {
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
            src[used] = rd.from;
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


} // namespace plan
