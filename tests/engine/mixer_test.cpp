// Mixer behaviour: the level-weighted average, exact muting, slot bounds; the delay stage.
#include <gtest/gtest.h>

#include "engine/mixer.h"
#include "engine/sfx_delay.h"

TEST(Mixer, OutputsTheAverageOfItsActiveChannels) {
    float a = 1.0f, b = 0.5f;
    MIXER m;
    m.add_channel(&a);
    m.add_channel(&b);
    m.process();
    EXPECT_FLOAT_EQ(m.value, 0.75f);

    // Two full-scale channels stay at full scale: an average, not a sum.
    b = 1.0f;
    m.process();
    EXPECT_FLOAT_EQ(m.value, 1.0f);

    // A channel at level 0 still counts.
    b = 0.8f;
    m.level[0] = 0.0f;
    m.process();
    EXPECT_FLOAT_EQ(m.value, 0.4f);

    // Levels above 1 are not clipped.
    m.level[0] = 3.0f;
    m.level[1] = 3.0f;
    a = 1.0f;
    b = 1.0f;
    m.process();
    EXPECT_FLOAT_EQ(m.value, 3.0f);
}

TEST(Mixer, OnlyAMuteOfExactlyOneSkipsASlot) {
    float a = 0.2f, b = 0.6f;
    MIXER m;
    m.add_channel(&a);
    m.add_channel(&b);
    m.mute[0] = 1.0f;
    m.process();
    EXPECT_FLOAT_EQ(m.value, 0.6f); // muting one of two does not halve the other
    m.mute[0] = 0.999f;
    m.process();
    EXPECT_FLOAT_EQ(m.value, 0.4f);

    // An unconnected slot is skipped like a muted one.
    m.mute[0] = 0.0f;
    m.inputs[0].input = nullptr;
    m.process();
    EXPECT_FLOAT_EQ(m.value, 0.6f);
}

TEST(Mixer, SilentWhenNothingIsActive) {
    float a = 0.5f;
    MIXER empty;
    empty.value = 0.3f;
    empty.process();
    EXPECT_FLOAT_EQ(empty.value, 0.0f);

    MIXER off;
    off.add_channel(&a);
    off.enabled = 0;
    off.process();
    EXPECT_FLOAT_EQ(off.value, 0.0f);

    MIXER muted;
    muted.add_channel(&a);
    muted.mute[0] = 1.0f;
    muted.process();
    EXPECT_FLOAT_EQ(muted.value, 0.0f);
}

TEST(Mixer, HoldsTwentyFourChannelsAtFullLevel) {
    float quiet = 0.5f, loud = 1.0f;
    MIXER m;
    for (int i = 0; i < MIXER_SLOTS; ++i)
        EXPECT_TRUE(m.add_channel(&quiet));
    // A 25th channel is refused and does not disturb the others.
    EXPECT_FALSE(m.add_channel(&loud));
    EXPECT_EQ(m.input_count, MIXER_SLOTS);
    m.process();
    EXPECT_FLOAT_EQ(m.value, 0.5f); // slots 12..23 play at level 1 like the first twelve

    // A count written past the table reads no further than the last slot.
    m.input_count = 1000;
    m.process();
    EXPECT_FLOAT_EQ(m.value, 0.5f);
}

TEST(SfxDelay, PassesItsInputThrough) {
    float master = -0.42f;
    SFX_DELAY d;
    d.input = &master;
    d.process();
    EXPECT_FLOAT_EQ(d.value, -0.42f);
    d.input = nullptr;
    d.process();
    EXPECT_FLOAT_EQ(d.value, 0.0f);
}
