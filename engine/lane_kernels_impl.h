// The lane kernels' arithmetic for vectors of W floats; included inside each width's own file.
// Every lane repeats the per-sample code's operations in the same order, without contraction,
// so each lane gives the bits a module's own tick gives. A kernel runs all frames of one or two
// vectors of lanes before the next, so their state stays in registers for the whole run.

template <int W> struct VEC {
    typedef float f __attribute__((vector_size(4 * W)));
    typedef int32_t i __attribute__((vector_size(4 * W)));
    typedef double d __attribute__((vector_size(8 * W)));
};

template <class V, class T> inline V load(const T* p) {
    V v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}
template <class V, class T> inline void store(T* p, V v) {
    __builtin_memcpy(p, &v, sizeof v);
}
// Lanes i.. of frame f of an input: their own values, or the one all lanes share.
template <class V, class T> inline V load(const LANE_FRAMES<T>& in, int f, int i) {
    const T* row = in.at + f * in.stride;
    // x - 0 is x for every x (a -0 included), so the shared value is copied exactly.
    return in.shared ? row[0] - V{} : load<V>(row + i);
}
// Whether any lane of a mask is set: lane_any, from the width's own file, on the mask's bits.
template <class I> inline bool any(I m) {
    return lane_any(m);
}

// std::min(v, 1) then std::max(., -1), a NaN passing unchanged.
template <class F> inline F clip_lanes(F v) {
    const F one = F{} + 1.0f, minus_one = F{} - 1.0f;
    v = one < v ? one : v;
    return v < minus_one ? minus_one : v;
}

// Runs all frames of N vectors of REGS from lane `a`: each vector's frames depend on one another,
// so the N independent vectors' arithmetic fills the waiting. The inputs come by value: no store
// of the run can change where they point.
template <class REGS, int N, class S, class... IN>
void run_lanes(S& s, LANE_OUT out, int a, int frames, LANE_FRAMES<IN>... in) {
    constexpr int V = REGS::LANES;
    REGS r[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k)
        r[k].get(s, a + k * V);
    for (int f = 1; f <= frames; ++f) {
        float* row = out.at + f * out.stride;
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k)
            store(row + a + k * V, r[k].step(load<typename REGS::template input<IN>>(in, f, a + k * V)...));
    }
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k)
        r[k].put(s, a + k * V);
}

// Four vectors at a time, then two, then one.
template <class REGS, class S, class... IN> void run_all(S& s, LANE_OUT out, int lanes, int frames, LANE_FRAMES<IN>... in) {
    constexpr int V = REGS::LANES;
    int i = 0;
    for (; i + 4 * V <= lanes; i += 4 * V)
        run_lanes<REGS, 4>(s, out, i, frames, in...);
    for (; i + 2 * V <= lanes; i += 2 * V)
        run_lanes<REGS, 2>(s, out, i, frames, in...);
    if (i < lanes) run_lanes<REGS, 1>(s, out, i, frames, in...);
}

template <int W> struct VCO_REGS {
    using F = typename VEC<W>::f;
    using I = typename VEC<W>::i;
    static constexpr int LANES = W;
    template <class T> using input = typename std::conditional<std::is_same<T, float>::value, F, I>::type;
    F phase, played, fr, amp;
    I has_in, saw;
    void get(const VCO_LANES& s, int i) {
        phase = load<F>(s.phase + i), played = load<F>(s.played + i);
        fr = load<F>(s.freq + i), amp = load<F>(s.amp + i);
        has_in = load<I>(s.has_in + i), saw = load<I>(s.saw + i);
    }
    void put(VCO_LANES& s, int i) const {
        store(s.phase + i, phase);
        store(s.played + i, played);
    }
    [[gnu::always_inline]] F step(F in) {
        const F one = F{} + 1.0f, minus_one = F{} - 1.0f;
        const F followed = in * fr * 0.022727273f;
        const F f = has_in != 0 ? followed : fr;
        F t = phase + f * SAMPLE_PERIOD;
        t = t > one ? minus_one : t;
        phase = t;
        played = has_in != 0 ? f : played;
        const F magnitude = (F)((I)t & 0x7fffffff);
        const F ramp = t * amp, tri = 2.0f * amp * magnitude - amp;
        return clip_lanes(saw != 0 ? ramp : tri);
    }
};

template <int W> void vco_run(VCO_LANES& s, LANE_FRAMES<float> in, LANE_OUT out, int lanes, int frames) {
    run_all<VCO_REGS<W>>(s, out, lanes, frames, in);
}

template <int H> struct PCF_REGS {
    using F = typename VEC<H>::f;
    using I = typename VEC<H>::i;
    using D = typename VEC<H>::d;
    static constexpr int LANES = H;
    template <class T> using input = F;
    D x1, x2, y1, y2, c1, c2, c3, c4, amount;
    F wet;
    I ran;
    void get(const PCF_LANES& s, int i) {
        x1 = load<D>(s.x1 + i), x2 = load<D>(s.x2 + i), y1 = load<D>(s.y1 + i), y2 = load<D>(s.y2 + i);
        c1 = load<D>(s.c1 + i), c2 = load<D>(s.c2 + i), c3 = load<D>(s.c3 + i), c4 = load<D>(s.c4 + i);
        amount = load<D>(s.amount + i), wet = load<F>(s.wet + i), ran = load<I>(s.ran + i);
    }
    void put(PCF_LANES& s, int i) const {
        store(s.x1 + i, x1), store(s.x2 + i, x2), store(s.y1 + i, y1), store(s.y2 + i, y2);
        store(s.ran + i, ran);
    }
    // Silence into a filter at rest gives 0 and leaves the memory as it is; only a lane whose
    // input is 0 can be at rest, so the common frame skips that test.
    [[gnu::always_inline]] F step(F x) {
        const D xd = __builtin_convertvector(x, D);
        const D y = c3 * (xd + x2) + c4 * x1 - c1 * y1 - c2 * y2;
        const F e = __builtin_convertvector(y * amount, F);
        const F v = (1.0f - wet) * x + e * wet;
        if (!any(x == 0.0f)) {
            x2 = x1;
            x1 = xd;
            y2 = y1;
            y1 = y;
            ran = ran | -1;
            return clip_lanes(v);
        }
        const auto rest = (xd == 0.0) & (x1 == 0.0) & (x2 == 0.0) & (y1 == 0.0) & (y2 == 0.0);
        const I rest32 = __builtin_convertvector(rest, I);
        x2 = rest ? x2 : x1;
        x1 = rest ? x1 : xd;
        y2 = rest ? y2 : y1;
        y1 = rest ? y1 : y;
        ran |= ~rest32;
        return clip_lanes(rest32 != 0 ? F{} : v);
    }
};

template <int W> void pcf_run(PCF_LANES& s, LANE_FRAMES<float> in, LANE_OUT out, int lanes, int frames) {
    run_all<PCF_REGS<W / 2>>(s, out, lanes, frames, in);
}

template <int W> struct VCA_REGS {
    using F = typename VEC<W>::f;
    using I = typename VEC<W>::i;
    static constexpr int LANES = W;
    template <class T> using input = typename std::conditional<std::is_same<T, float>::value, F, I>::type;
    F v, env, rt, rl, attack, decay, sustain, release, peak;
    void get(const VCA_LANES& s, int i) {
        v = load<F>(s.v + i), env = load<F>(s.env + i), rt = load<F>(s.release_time + i);
        rl = load<F>(s.release_level + i), attack = load<F>(s.attack + i), decay = load<F>(s.decay + i);
        sustain = load<F>(s.sustain + i), release = load<F>(s.release + i), peak = load<F>(s.peak + i);
    }
    void put(VCA_LANES& s, int i) const {
        store(s.v + i, v), store(s.env + i, env), store(s.release_time + i, rt), store(s.release_level + i, rl);
    }
    // Gate on: attack ramp, then decay (a line to 0 without sustain, else the sustain rule).
    // The divisions are formed only when a lane takes their branch.
    [[gnu::always_inline]] F gate_on(F in) {
        const F t = env * 1000.0f;
        const I in_attack = t < attack;
        const I in_decay = ~in_attack & (t < attack + decay);
        const I no_sustain = sustain == 0.0f;
        const F ramp = any(in_attack) ? t * peak / attack : F{};
        const F line = any(in_decay & no_sustain) ? peak - (t - attack) * peak / decay : F{};
        const F held = v > sustain ? v - v * 0.001f : peak * sustain;
        const F decayed = no_sustain ? line : held;
        const F level = in_attack ? ramp : (in_decay ? decayed : v);
        env = (in_attack | (in_decay & no_sustain)) ? env + SAMPLE_PERIOD : env;
        rl = (in_attack | in_decay) ? level : rl;
        rt = F{};
        return in * level;
    }
    // Gate off: the release line from the level the gate left.
    [[gnu::always_inline]] F gate_off(F in) {
        const I releasing = (release != 0.0f) & (v != 0.0f) & (rt * 1000.0f <= release);
        F level = v;
        if (any(releasing)) {
            const F rt_next = rt + SAMPLE_PERIOD;
            level = releasing ? rl - rl * (rt_next * 1000.0f) / release : v;
            rt = releasing ? rt_next : rt;
        }
        env = F{};
        return in * level;
    }
    // Lanes of one gate (the common case: one note source for all) take one side only.
    [[gnu::always_inline]] F step(F in, I gate) {
        const I on = gate == 1;
        if (!any(~on)) return v = gate_on(in);
        if (!any(on)) return v = gate_off(in);
        VCA_REGS off = *this;
        const F a = gate_on(in), b = off.gate_off(in);
        env = on ? env : off.env;
        rt = on ? rt : off.rt;
        rl = on ? rl : off.rl;
        return v = on ? a : b;
    }
};

template <int W> void vca_run(VCA_LANES& s, LANE_FRAMES<float> in, LANE_FRAMES<int32_t> gate, LANE_OUT out,
                              int lanes, int frames) {
    run_all<VCA_REGS<W>>(s, out, lanes, frames, in, gate);
}

template <int W> constexpr LANE_KERNELS kernels_of_width(const char* name) {
    return {name, vco_run<W>, pcf_run<W>, vca_run<W>};
}
