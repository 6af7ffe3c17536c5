// Start-up placement: the column rule on given sizes, and real panels of shipped and large
// patches standing without overlaps.
#include "engine/modules.h"
#include "panels/build_panels.h"
#include "panels/module_panel.h"
#include "panels/panel_layout.h"
#include "patch/patch_reader.h"
#include "toolkit/sprite_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

struct CASE {
    const char* what;
    std::vector<MODULE_KIND> kinds;
    std::vector<PANEL_RECT> sizes;
    std::vector<PANEL_RECT> expected; // x and y only
    float world;
};

} // namespace

TEST(PanelLayout, ColumnsFollowTheWidestPanelAndOverflowToTheRight) {
    const PANEL_RECT kb{0, 0, 112, 88}, vco{0, 0, 200, 136}, smp{0, 0, 200, 70}, seq{0, 0, 712, 228};
    std::vector<MODULE_KIND> tall_kinds(15, KIND_SEQUENCER);
    std::vector<PANEL_RECT> tall_sizes(15, seq), tall_expected;
    for (int i = 0; i < 15; ++i)
        tall_expected.push_back({i < 13 ? 0.f : 722.f, 50.f + 238.f * (i < 13 ? i : i - 13), 0, 0});
    const CASE cases[] = {
        {"two keyboards, an oscillator and a sampler: one column each",
         {KIND_KEYBOARD, KIND_KEYBOARD, KIND_VCO, KIND_SAMPLER},
         {kb, kb, vco, smp},
         {{0, 50}, {0, 148}, {122, 25}, {332, 25}},
         WORLD_SIZE},
        {"a kind without panels takes no column", {KIND_VCO, KIND_MIXER}, {vco, vco}, {{0, 25}, {210, 50}}, WORLD_SIZE},
        {"13 sequencers fill 3200 pixels, the 14th starts a column to the right", tall_kinds, tall_sizes, tall_expected,
         WORLD_SIZE},
        {"a column past the world's right edge widens the world",
         {KIND_SEQUENCER, KIND_SEQUENCER, KIND_PCF},
         {{0, 0, 3000, 3000}, {0, 0, 3000, 3000}, {0, 0, 100, 100}},
         {{0, 50}, {3010, 50}, {6020, 50}},
         6130},
    };
    for (const CASE& c : cases) {
        std::vector<PANEL_RECT> rects = c.sizes;
        EXPECT_EQ(place_in_columns(c.kinds, rects), c.world) << c.what;
        ASSERT_EQ(rects.size(), c.expected.size());
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_EQ(rects[i].x, c.expected[i].x) << c.what << " panel " << i;
            EXPECT_EQ(rects[i].y, c.expected[i].y) << c.what << " panel " << i;
        }
        size_t a, b;
        EXPECT_FALSE(find_overlap(rects, a, b)) << c.what << ": " << a << " over " << b;
    }
    size_t a, b;
    EXPECT_TRUE(find_overlap({{0, 0, 10, 10}, {20, 0, 5, 5}, {9, 9, 5, 5}}, a, b));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 2u);
    EXPECT_FALSE(rects_overlap({0, 0, 10, 10}, {10, 0, 10, 10})) << "touching edges";
}

namespace {

// Graphs to lay out: every shipped patch, and 200 modules of every kind.
std::vector<std::pair<std::string, std::unique_ptr<GENERATOR>>> layout_graphs() {
    std::vector<std::pair<std::string, std::unique_ptr<GENERATOR>>> out;
    fill_note_table();
    for (const auto& entry : std::filesystem::directory_iterator("KVX")) {
        if (entry.path().extension() != ".KVX") continue;
        auto g = std::make_unique<GENERATOR>();
        testing::internal::CaptureStdout();
        load_objects(g.get(), entry.path().c_str());
        testing::internal::GetCapturedStdout();
        out.emplace_back(entry.path().string(), std::move(g));
    }
    auto big = std::make_unique<GENERATOR>();
    for (int i = 0; i < 200 / 7 + 1; ++i) {
        big->keyboards.push_back(new KEYBOARD);
        big->vcos.push_back(new VCO);
        big->samplers.push_back(new SAMPLER);
        big->vcas.push_back(new VCA);
        big->sequencers.push_back(new SEQUENCER);
        big->filters.push_back(new PCF);
        big->mixers.push_back(new MIXER);
    }
    out.emplace_back("203 modules", std::move(big));
    return out;
}

} // namespace

TEST(PanelLayout, RealPanelsOfShippedAndLargePatchesDoNotOverlap) {
    SPRITE_REGISTRY registry;
    ASSERT_TRUE(registry.create_registry("grfx/opengl.zim"));
    SPRITE_REGISTRY* previous = sprite_registry;
    sprite_registry = &registry;
    for (auto& [what, g] : layout_graphs()) {
        std::vector<OBJET*> panels, sequencers;
        build_panels(*g, panels, sequencers);
        std::vector<PANEL_RECT> rects;
        for (OBJET* p : panels) {
            EXPECT_GT(p->w, 0) << what << " panel " << p->image;
            rects.push_back({p->x, p->y, p->w, p->h});
        }
        size_t a, b;
        EXPECT_FALSE(find_overlap(rects, a, b)) << what << ": " << panels[a]->image << " over " << panels[b]->image;
        for (OBJET* p : panels)
            delete p;
    }
    sprite_registry = previous;
}

// Panels of a whole graph make their items at first use; until then they have the size and
// place a panel made at once has, on every side, and once made they hold the same items.
TEST(PanelLayout, PanelsMadeAtFirstUseMatchPanelsMadeAtOnce) {
    SPRITE_REGISTRY registry;
    ASSERT_TRUE(registry.create_registry("grfx/opengl.zim"));
    SPRITE_REGISTRY* previous = sprite_registry;
    sprite_registry = &registry;
    GENERATOR g;
    g.keyboards.push_back(new KEYBOARD);
    g.vcos.push_back(new VCO);
    g.samplers.push_back(new SAMPLER);
    g.vcas.push_back(new VCA);
    g.sequencers.push_back(new SEQUENCER);
    g.filters.push_back(new PCF);
    g.mixers.push_back(new MIXER);
    std::vector<OBJET*> panels, sequencers;
    build_panels(g, panels, sequencers);
    ASSERT_EQ(panels.size(), 7u);
    for (OBJET* p : panels) {
        auto* later = dynamic_cast<MODULE_PANEL*>(p);
        ASSERT_NE(later, nullptr);
        const std::string what = later->image;
        EXPECT_FALSE(later->items_made) << what;
        std::unique_ptr<OBJET> now(build_panel(later->kind, later->prefix, later->edited_module));
        for (uint32_t mode : {MODE_FOLDED, MODE_BACK, MODE_FRONT, MODE_BACK}) {
            later->set_mode(mode);
            now->set_mode(mode);
            EXPECT_EQ(later->w, now->w) << what << " mode " << mode;
            EXPECT_EQ(later->h, now->h) << what << " mode " << mode;
        }
        later->set_position(300, 200, 0);
        post(*later, make_named_message(nullptr, 0, "WAITING", nullptr));
        // Any lookup makes the items, on the side shown, at the panel's place; records wait.
        EXPECT_NE(find(*later, "IMAGE_FOND"), nullptr) << what;
        EXPECT_TRUE(later->items_made && later->mode == MODE_BACK && later->x == 300 && later->y == 200) << what;
        EXPECT_EQ(later->messages.size(), 1u) << what;
        for (auto side : {&OBJET::front, &OBJET::back}) {
            const ITEM_LIST &a = (*later).*side, &b = (*now).*side;
            ASSERT_EQ(a.size(), b.size()) << what;
            for (size_t i = 0; i < a.size(); ++i) {
                const std::string item = what + " " + a[i]->name;
                EXPECT_TRUE(!std::strcmp(a[i]->name, b[i]->name) && !std::strcmp(a[i]->image, b[i]->image)) << item;
                EXPECT_TRUE(a[i]->x == b[i]->x && a[i]->y == b[i]->y) << item;
                // Labels measure their text when drawn; the other items have their image's size.
                if (!dynamic_cast<LABEL*>(a[i])) {
                    EXPECT_EQ(a[i]->w, b[i]->w) << item;
                }
            }
        }
    }
    for (OBJET* p : panels)
        delete p;
    sprite_registry = previous;
}
