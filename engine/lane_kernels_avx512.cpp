// The lane kernels compiled for 512-bit vectors (16 floats a vector).
#include "lane_kernels.h"

#include <immintrin.h>

#include <type_traits>

#include "stream_format.h"

namespace {
// Whether any lane of a mask, a whole vector or half of one, is set.
typedef int32_t lane_mask __attribute__((vector_size(4 * 16)));
typedef int32_t half_mask __attribute__((vector_size(2 * 16)));
inline bool lane_any(lane_mask m) {
    return _mm512_test_epi32_mask((__m512i)m, (__m512i)m) != 0;
}
inline bool lane_any(half_mask m) {
    return _mm256_movemask_ps((__m256)m) != 0;
}
#include "lane_kernels_impl.h"
} // namespace

extern const LANE_KERNELS lane_kernels_512 = kernels_of_width<16>("avx512");
