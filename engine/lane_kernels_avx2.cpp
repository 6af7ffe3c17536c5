// The lane kernels compiled for 256-bit vectors (8 floats a vector).
#include "lane_kernels.h"

#include <immintrin.h>

#include <type_traits>

#include "stream_format.h"

namespace {
// Whether any lane of a mask, a whole vector or half of one, is set.
typedef int32_t lane_mask __attribute__((vector_size(4 * 8)));
typedef int32_t half_mask __attribute__((vector_size(2 * 8)));
inline bool lane_any(lane_mask m) {
    return _mm256_movemask_ps((__m256)m) != 0;
}
inline bool lane_any(half_mask m) {
    return _mm_movemask_ps((__m128)m) != 0;
}
#include "lane_kernels_impl.h"
} // namespace

extern const LANE_KERNELS lane_kernels_256 = kernels_of_width<8>("avx2");
