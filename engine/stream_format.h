// The one format of the sound the program makes: its sample rate and the block it renders.
#pragma once

// Frames a second, in Hz; every module counts time in these samples.
constexpr int SAMPLE_RATE = 44100;
// The highest frequency the rate can carry, in Hz.
constexpr float NYQUIST_HZ = SAMPLE_RATE / 2.0f;
// One sample in seconds (1/44100) as the modules count time, in single precision.
constexpr float SAMPLE_PERIOD = 1.0f / SAMPLE_RATE;

// A frame is two 16-bit samples, left and right.
constexpr int FRAME_BYTES = 4;
// The block the sound library asks for at a time: 3072 frames, about 70 ms.
constexpr int BLOCK_FRAMES = 3072;
constexpr int BLOCK_BYTES = BLOCK_FRAMES * FRAME_BYTES;
