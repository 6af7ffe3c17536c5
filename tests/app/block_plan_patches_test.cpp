// Every shipped patch rendered through its sub-block plan gives the per-frame sweep's floats.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "app/patch_load.h"
#include "engine/block_plan.h"
#include "engine/modules.h"

namespace {

// The sanitizers slow the per-frame sweep some thirtyfold; a second of each patch meets the
// same code there as three do.
#if defined(__SANITIZE_ADDRESS__)
constexpr int SECONDS = 1;
#else
constexpr int SECONDS = 3;
#endif

struct PATCH_RUN {
    bool loaded = false; // false for a patch without a master mixer
    // Whether the installed graph had a current plan; a graph with a sampler, which closes its
    // note source's gate from inside its frame, may run frame by frame.
    bool planned = false;
    bool samplers = false;
    std::vector<float> master;
};

// Loads the patch as the program does, with every random draw of the loading seeded alike, and
// renders its master through render_frames in calls of uneven lengths.
PATCH_RUN render_loaded(const std::string& path, int engine) {
    PATCH_RUN run;
    sequencer_seed = [] { return 0u; };
    synth_srand(1);
    // Every patch gets a plan, however few modules of a kind it has.
    const int min_lanes = plan_min_lanes.exchange(0);
    const LOADED_PATCH loaded = load_patch_file(path.c_str());
    sequencer_seed = ticks_ms;
    if (loaded.graph == nullptr) {
        plan_min_lanes.store(min_lanes);
        return run;
    }
    run.loaded = true;
    install_patch(loaded);
    run.planned = loaded.graph->plan != nullptr && plan_matches(*loaded.graph->plan, *loaded.graph);
    run.samplers = !loaded.graph->samplers.empty();
    block_engine.store(engine);
    run.master.resize(static_cast<size_t>(SECONDS) * SAMPLE_RATE);
    const int calls[] = {3072, 1, 1000, 64, 65, 511};
    for (size_t done = 0, c = 0; done < run.master.size(); ++c) {
        const int n =
            static_cast<int>(std::min<size_t>(calls[c % std::size(calls)], run.master.size() - done));
        render_frames(loaded.graph, run.master.data() + done, n);
        done += static_cast<size_t>(n);
    }
    block_engine.store(1);
    plan_min_lanes.store(min_lanes);
    generator = nullptr;
    point_master_out(nullptr);
    delete loaded.graph;
    return run;
}

// The shipped patches, by file name without its folder and extension.
std::vector<std::string> shipped_patches() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(TESSARO_SOURCE_DIR "/KVX"))
        if (e.path().extension() == ".KVX") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class BlockPlanPatch : public testing::TestWithParam<std::string> {};

} // namespace

TEST_P(BlockPlanPatch, RendersAsTheSweepDoes) {
    fill_note_table();
    const std::string path = "KVX/" + GetParam() + ".KVX";
    const PATCH_RUN want = render_loaded(path, 0);
    if (!want.loaded) GTEST_SKIP() << path << " has no MIXER_4: nothing to play";
    const PATCH_RUN got = render_loaded(path, 1);
    ASSERT_TRUE(got.planned || got.samplers) << path << ": the installed graph had no current plan";
    for (size_t n = 0; n < want.master.size(); ++n)
        if (std::memcmp(&want.master[n], &got.master[n], sizeof(float)) != 0 &&
            !(std::isnan(want.master[n]) && std::isnan(got.master[n]))) {
            ADD_FAILURE() << path << ": frame " << n << " is " << got.master[n] << ", the sweep gives "
                          << want.master[n];
            break;
        }
}

INSTANTIATE_TEST_SUITE_P(Shipped, BlockPlanPatch, testing::ValuesIn(shipped_patches()),
                         [](const testing::TestParamInfo<std::string>& i) { return i.param; });
