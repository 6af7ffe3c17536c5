// Replacing the running graph while another thread renders blocks from it.
#include "app/patch_swap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "engine/audio.h"
#include "engine/modules.h"
#include "patch/patch_reader.h"
#include "tests/support/scratch.h"

namespace {

// A pure tone at one level each: each patch's output is recognisable by its peak.
std::string tone_patch(const char* level) {
    return std::string("BEGIN_OBJECTS_DECLARE\n"
                       "VCO_1;TYPE=1;FREQ=441;AMOUNT=") +
           level +
           ";PHASE=0;\n"
           "MIXER_4;;\n"
           "END_OBJECTS_DECLARE\n"
           "BEGIN_LINKS_DECLARE\n"
           "MIXER_4;ADD_CHANELL=VCO_1;\n"
           "END_LINKS_DECLARE\n";
}

class PatchSwap : public testing::Test {
  protected:
    void SetUp() override {
        fill_note_table();
        saved_hook = patch_fatal_hook;
        audio_pause();
        const LOADED_PATCH first = read_patch_apart(dir.write("A.KVX", tone_patch("0.25")).c_str());
        ASSERT_NE(first.graph, nullptr);
        delete install_patch(first);
    }
    void TearDown() override {
        audio_pause();
        point_master_out(nullptr);
        delete generator;
        generator = nullptr;
        EXPECT_EQ(patch_fatal_hook, saved_hook);
        patch_fatal_hook = saved_hook;
    }

    SCRATCH_DIR dir{"patch_swap"};
    void (*saved_hook)(int) = nullptr;
};

} // namespace

TEST_F(PatchSwap, AFileThatCannotBeLoadedLeavesThePatchPlaying) {
    GENERATOR* playing = generator;
    testing::internal::CaptureStdout();
    // A patch whose links name an unknown module kind is a fatal error at start-up.
    const std::string broken = dir.write("BROKEN.KVX", "BEGIN_OBJECTS_DECLARE\n"
                                                       "MIXER_4;;\nEND_OBJECTS_DECLARE\n"
                                                       "BEGIN_LINKS_DECLARE\nWHATEVER_1;IN=MIXER_4;\n"
                                                       "END_LINKS_DECLARE\n");
    const LOADED_PATCH none_1 = read_patch_apart(dir.file("MISSING.KVX").c_str());
    const LOADED_PATCH none_2 = read_patch_apart(dir.write("SILENT.KVX", "BEGIN_OBJECTS_DECLARE\nVCO_1;;\n"
                                                                         "END_OBJECTS_DECLARE\n")
                                                     .c_str());
    const LOADED_PATCH maybe = read_patch_apart(broken.c_str());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(none_1.graph, nullptr);
    EXPECT_EQ(none_2.graph, nullptr);
    delete maybe.graph;
    EXPECT_EQ(generator, playing);
    EXPECT_NE(out.find("Cannot read"), std::string::npos) << out;
    EXPECT_NE(out.find("the patch playing goes on"), std::string::npos) << out;
}

TEST_F(PatchSwap, AFatalPatchErrorIsReportedAndTheProgramGoesOn) {
    // An empty field in an oscillator's declaration ends the program at start-up; here the load
    // is refused, the patch playing stays, and the hook is put back.
    GENERATOR* playing = generator;
    const std::string bad =
        dir.write("BAD.KVX", "BEGIN_OBJECTS_DECLARE\nVCO_1;;TYPE=2;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n");
    testing::internal::CaptureStdout();
    const LOADED_PATCH loaded = read_patch_apart(bad.c_str());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(loaded.graph, nullptr);
    EXPECT_EQ(generator, playing);
    EXPECT_NE(out.find("Erreur, au niveau des parametre"), std::string::npos) << out;
    EXPECT_NE(out.find("Patch error in"), std::string::npos) << out;
}

TEST_F(PatchSwap, GraphsSwappedBackAndForthUnderRunningAudioNeverMixNorGap) {
    const std::string a = dir.file("A.KVX");
    const std::string b = dir.write("B.KVX", tone_patch("0.75"));
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0}, bad_blocks{0};
    audio_resume();
    std::thread renderer([&] {
        std::vector<int16_t> buf(3072 * 2);
        while (!stop.load()) {
            for (int16_t& s : buf)
                s = 12345; // a peak neither patch has
            render_block(nullptr, buf.data(), 12288, nullptr);
            // A block belongs to one patch: its peak is that patch's level, never between.
            int peak = 0;
            for (int16_t s : buf)
                peak = std::max(peak, std::abs(static_cast<int>(s)));
            // A block asked for during the pause is left untouched, as the stream leaves it.
            const bool untouched = peak == 12345;
            const bool one_patch = std::abs(peak - 8191) < 400 || std::abs(peak - 24575) < 400;
            if (!one_patch && !untouched) bad_blocks.fetch_add(1);
            blocks.fetch_add(1);
        }
    });
    for (int i = 0; i < 20; ++i) {
        const LOADED_PATCH next = read_patch_apart((i % 2 ? a : b).c_str());
        ASSERT_NE(next.graph, nullptr);
        int rebuilt = 0;
        GENERATOR* old = swap_patch(next, [&] { ++rebuilt; });
        EXPECT_EQ(rebuilt, 1);
        EXPECT_NE(old, generator);
        delete old; // no block renders it any more
        const int seen = blocks.load();
        while (blocks.load() < seen + 2)
            std::this_thread::yield();
    }
    stop = true;
    renderer.join();
    EXPECT_GE(blocks.load(), 40);
    EXPECT_EQ(bad_blocks.load(), 0);
    EXPECT_EQ(audio_running.load(), 1); // the stream plays on after every swap
}

TEST_F(PatchSwap, BeforeTheStreamRunsASwapLeavesItIdle) {
    audio_pause();
    const LOADED_PATCH next = read_patch_apart(dir.write("C.KVX", tone_patch("0.5")).c_str());
    ASSERT_NE(next.graph, nullptr);
    delete swap_patch(next);
    EXPECT_EQ(audio_running.load(), 0);
}
