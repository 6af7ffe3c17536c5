// Every shipped patch rendered through its sub-block plan gives the per-frame sweep's floats.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "app/patch_load.h"
#include "engine/block_plan.h"
#include "engine/modules.h"

namespace {

// Loads the patch as the program does, with every random draw of the loading seeded alike, and
// renders `seconds` of its master through render_frames in calls of uneven lengths. `planned`
// tells whether the installed graph had a current plan.
std::vector<float> render_loaded(const std::string& path, int engine, int seconds, bool& loaded_ok, bool& planned) {
    sequencer_seed = [] { return 0u; };
    synth_srand(1);
    const LOADED_PATCH loaded = load_patch_file(path.c_str());
    sequencer_seed = ticks_ms;
    std::vector<float> master(static_cast<size_t>(seconds) * SAMPLE_RATE);
    loaded_ok = loaded.graph != nullptr;
    if (!loaded_ok) return master;
    install_patch(loaded);
    planned = loaded.graph->plan != nullptr && plan_matches(*loaded.graph->plan, *loaded.graph);
    block_engine.store(engine);
    const int calls[] = {3072, 1, 1000, 64, 65, 511};
    for (size_t done = 0, c = 0; done < master.size(); ++c) {
        const int n = static_cast<int>(std::min<size_t>(calls[c % std::size(calls)], master.size() - done));
        render_frames(loaded.graph, master.data() + done, n);
        done += static_cast<size_t>(n);
    }
    block_engine.store(1);
    generator = nullptr;
    point_master_out(nullptr);
    delete loaded.graph;
    return master;
}

} // namespace

TEST(BlockPlanPatches, ShippedPatchesRenderAsTheSweepDoes) {
    fill_note_table();
    std::vector<std::string> paths;
    for (const auto& e : std::filesystem::directory_iterator("KVX"))
        if (e.path().extension() == ".KVX") paths.push_back(e.path().string());
    std::sort(paths.begin(), paths.end());
    int rendered = 0;
    for (const std::string& path : paths) {
        bool ok = false, planned = false, unused = false;
        const std::vector<float> want = render_loaded(path, 0, 3, ok, unused);
        if (!ok) continue; // no master mixer: nothing to play
        const std::vector<float> got = render_loaded(path, 1, 3, ok, planned);
        // The assertion that holds only once install_patch builds plans.
        ASSERT_TRUE(planned) << path << ": the installed graph had no current plan";
        ++rendered;
        for (size_t n = 0; n < want.size(); ++n)
            if (std::memcmp(&want[n], &got[n], sizeof(float)) != 0) {
                ADD_FAILURE() << path << ": frame " << n << " is " << got[n] << ", the sweep gives " << want[n];
                break;
            }
    }
    EXPECT_GE(rendered, 7);
}
