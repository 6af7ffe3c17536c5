// Port base classes: the shapes through which modules are wired to one another.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/shared_word.h"
#include "engine/stream_format.h"

// A connection is a raw pointer held by the consumer; a null pointer means unconnected.
// Every value the audio thread shares with the other threads is a single aligned 32-bit
// store (float, int or pointer), seen by the sweep either before or after the change; both
// sides reach it through shared_load and shared_store.

// Every module derives from OUTPUT, so its virtual destructor lets the owner delete any
// module through a pointer to its base.
struct OUTPUT {
    virtual ~OUTPUT() = default;
    virtual int process() = 0;
    float value = 0.0f;
};

struct INPUT {
    float* input = nullptr;
};

struct INPUT_GATE {
    virtual int process() = 0;
    int32_t* gate_in = nullptr;
};

struct INPUT_SYNC {
    int32_t* sync_in = nullptr;
};

struct OUTPUT_GATE {
    virtual int process() {
        gate_time += 1.0f;
        return 1;
    }
    float gate_time = 0.0f;
    int32_t gate = 0;
};

// The owner requests a pulse by setting sync_pending; the pulse then lasts one sample.
struct OUTPUT_SYNC {
    virtual int process() {
        sync_tick();
        return 1;
    }
    void sync_tick() {
        if (shared_load(sync_pending) == 1) {
            shared_store(sync_pending, 0);
            sync_pulse = 1;
        } else {
            sync_pulse = 0;
        }
    }
    int32_t sync_pending = 0;
    int32_t sync_pulse = 0;
};

// The bits of a float. Equal bits mean the same value (a NaN included), and 0 and -0 are the only
// equal values with different bits: outside that pair, comparing bits is comparing values
// without a float compare.
inline uint32_t float_bits(float v) {
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// v == 0 (0 or -0) as one integer test rather than a float compare and its NaN check.
inline bool is_zero(float v) {
    return (float_bits(v) << 1) == 0;
}

// Whether any of a few rarely connected pointers is set, as one test: the per-sample code skips
// all their handling at the cost of a single branch.
template <class... P> inline bool any_connected(P... p) {
    return (reinterpret_cast<uintptr_t>(p) | ...) != 0;
}

// Branch hints for the per-sample code: lay the common case out as the straight path.
#define TESSARO_LIKELY(x) __builtin_expect(!!(x), 1)
#define TESSARO_UNLIKELY(x) __builtin_expect(!!(x), 0)

// A signal clipped into [-1, 1]; a NaN passes unchanged.
inline float clip_unit(float v) {
    return std::max(std::min(v, 1.0f), -1.0f);
}


// A modulation slot points to a cell that holds the address of the source's value.
using MOD_SLOT = float**;

inline float read_mod(MOD_SLOT slot) {
    return **slot;
}

// Copies a name into a fixed array, cutting what does not fit.
void copy_name(char* dst, int capacity, const char* src);
