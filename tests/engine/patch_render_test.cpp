// Shipped patches rendered in full: no one-sample dropouts, and one render held to exact samples.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "patch_render.h"

namespace {

// A sample of exactly 0 between two neighbours of the same sign, both well away from 0: a
// signal does not cross zero and come straight back, so this is a hole punched into it. The
// master is read as the float it is: a signal passing near zero rounds to the 16-bit 0 now
// and then, but hardly ever lands on the float 0.
int dropouts(const std::vector<float>& s) {
    const float large = 0.01f;
    int n = 0;
    for (size_t i = 1; i + 1 < s.size(); ++i)
        if (s[i] == 0 && ((s[i - 1] > large && s[i + 1] > large) || (s[i - 1] < -large && s[i + 1] < -large))) ++n;
    return n;
}

uint64_t fnv1a(const std::vector<int16_t>& s) {
    uint64_t h = 1469598103934665603ull;
    for (int16_t v : s) {
        const uint16_t u = static_cast<uint16_t>(v);
        h = (h ^ (u & 0xffu)) * 1099511628211ull;
        h = (h ^ (u >> 8)) * 1099511628211ull;
    }
    return h;
}

class ShippedPatch : public testing::TestWithParam<const char*> {};

} // namespace

TEST_P(ShippedPatch, HasNoOneSampleDropouts) {
    const std::string path = std::string("KVX/") + GetParam() + ".KVX";
    const PATCH_RENDER r = render_patch_file(path.c_str(), 4 * SAMPLE_RATE);
    ASSERT_EQ(r.master.size(), 4u * SAMPLE_RATE);
    EXPECT_EQ(dropouts(r.master), 0);
}

INSTANTIATE_TEST_SUITE_P(Examples, ShippedPatch,
                         testing::Values("BASSLINE", "DRUMS", "LEAD", "MODULATION", "PAD", "BENCH_W1", "BENCH_W2"));

TEST(PatchRender, DropoutFinderSeesAHole) {
    EXPECT_EQ(dropouts({-0.0187f, 0.0f, -0.0201f}), 1);
    EXPECT_EQ(dropouts({0.0187f, -0.0f, 0.0201f}), 1);
    EXPECT_EQ(dropouts({0.0187f, 0.0f, -0.0201f}), 0);
    EXPECT_EQ(dropouts({-0.0187f, -1e-6f, -0.0201f}), 0);
}

// The bass line's first second, sample for sample. Its filter rings through the envelope's
// restarts at every note (frame 22050 starts the fifth step).
TEST(PatchRender, BasslineFirstSecondIsExact) {
    const std::vector<int16_t> s = render_patch_file("KVX/BASSLINE.KVX", SAMPLE_RATE).left;
    ASSERT_EQ(s.size(), static_cast<size_t>(SAMPLE_RATE));
    EXPECT_EQ(s[22050], -562);
    EXPECT_EQ(s[22051], -614);
    EXPECT_EQ(s[22052], -661); // the envelope's restart no longer punches a hole here
    EXPECT_EQ(s[22053], -702);
    EXPECT_EQ(s[40000], 10753);
    EXPECT_EQ(fnv1a(s), 15346812275076360227u);
}
