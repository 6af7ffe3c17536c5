// Building the panels of whole graphs: numbers, columns, headings, every example patch, and
// panels whose layout files are missing.
#include "engine/modules.h"
#include "panels/build_panels.h"
#include "panels/module_panel.h"
#include "panels/seq_gui.h"
#include "patch/patch_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "tests/support/panel_driver.h"

namespace {

struct PANELS {
    std::vector<OBJET*> all, sequencers;
    ~PANELS() {
        for (OBJET* p : all)
            delete p;
    }
};

} // namespace

TEST(PanelPlacement, NumbersRepeatAcrossKindsAndContinueAfterTheSources) {
    size_t counts[KIND_COUNT] = {2, 1, 0, 3, 1, 2, 2};
    int first[KIND_COUNT];
    panel_numbers(counts, first);
    EXPECT_EQ(first[KIND_KEYBOARD], 0);
    EXPECT_EQ(first[KIND_VCO], 0);
    EXPECT_EQ(first[KIND_SAMPLER], 0);
    EXPECT_EQ(first[KIND_VCA], 1) << "2 x oscillators - 1";
    EXPECT_EQ(first[KIND_SEQUENCER], 4);
    EXPECT_EQ(first[KIND_PCF], 5);
    EXPECT_EQ(first[KIND_MIXER], 7);

    size_t with_samplers[KIND_COUNT] = {1, 4, 3, 1, 0, 0, 1};
    panel_numbers(with_samplers, first);
    EXPECT_EQ(first[KIND_VCA], 5) << "samplers come before oscillators";
    EXPECT_EQ(first[KIND_MIXER], 6);
    size_t keyboards_only[KIND_COUNT] = {3, 0, 0, 1, 0, 0, 1};
    panel_numbers(keyboards_only, first);
    EXPECT_EQ(first[KIND_VCA], 3);
}

TEST(BuildPanels, TwoKeyboardsAndAnOscillator) {
    GENERATOR g;
    g.keyboards.push_back(new KEYBOARD);
    g.keyboards.push_back(new KEYBOARD);
    g.vcos.push_back(new VCO);
    g.mixers.push_back(new MIXER);
    g.sequencers.push_back(new SEQUENCER);
    PANELS p;
    testing::internal::CaptureStdout();
    EXPECT_EQ(build_panels(g, p.all, p.sequencers), 1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "") << "the headings are printed only with --verbose";
    ASSERT_EQ(p.all.size(), 5u);
    EXPECT_STREQ(p.all[1]->prefix, "1");
    EXPECT_STREQ(p.all[2]->image, "VCO_0");
    ASSERT_EQ(p.sequencers.size(), 1u);
    EXPECT_EQ(p.sequencers[0], p.all[3]);
    EXPECT_STREQ(p.all[3]->prefix, "1");
    EXPECT_STREQ(p.all[4]->prefix, "2");

    // The dashboard reads the kind's word and module name without knowing the class.
    auto* seq = dynamic_cast<MODULE_PANEL*>(p.all[3]);
    ASSERT_NE(seq, nullptr);
    EXPECT_STREQ(kind_info(seq->kind).class_word, "SEQUENCEUR");
    // Layout sprites were read at (0, 0): they sit where the file puts them, relative to the panel.
    EXPECT_EQ(find(*p.all[2], "AFFICHAGE_TYPE_ONDE")->x, 14);
}

TEST(BuildPanels, EveryExamplePatch) {
    fill_note_table();
    int patches = 0;
    for (const auto& entry : std::filesystem::directory_iterator("KVX")) {
        if (entry.path().extension() != ".KVX") continue;
        ++patches;
        const std::string path = entry.path().string();
        auto g = std::make_unique<GENERATOR>();
        testing::internal::CaptureStdout();
        ASSERT_EQ(load_objects(g.get(), path.c_str()), 1) << path;
        load_links(g.get(), path.c_str());
        PANELS p;
        build_panels(*g, p.all, p.sequencers);
        for (OBJET* panel : p.all)
            frame(*panel);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(p.all.size(), total_modules(*g)) << path;
        EXPECT_EQ(out.find("Missing"), std::string::npos) << path << "\n" << out;
        EXPECT_EQ(out.find("Failing"), std::string::npos) << path << "\n" << out;
        for (OBJET* panel : p.all) {
            auto* m = dynamic_cast<MODULE_PANEL*>(panel);
            ASSERT_NE(m, nullptr);
            EXPECT_NE(m->module_name(), nullptr);
            EXPECT_NE(find(*panel, "IMAGE_FOND"), nullptr) << path << " " << panel->prefix;
        }
    }
    EXPECT_GE(patches, 5);
}

TEST(BuildPanels, MissingLayoutsGiveEmptyPanelsThatStillWork) {
    const auto here = std::filesystem::current_path();
    const auto empty =
        std::filesystem::temp_directory_path() / ("tessaro_panels_" + std::to_string(::getpid()));
    std::filesystem::create_directories(empty);
    std::filesystem::current_path(empty);

    GENERATOR g;
    g.keyboards.push_back(new KEYBOARD);
    g.vcos.push_back(new VCO);
    g.vcas.push_back(new VCA);
    g.sequencers.push_back(new SEQUENCER);
    g.filters.push_back(new PCF);
    g.mixers.push_back(new MIXER);
    PANELS p;
    testing::internal::CaptureStdout();
    build_panels(g, p.all, p.sequencers);
    // Messages to the generated controls still work; nothing is left to act on the others.
    SPRITE* knob = find(*p.all[3], "SLD_VOL_1");
    ASSERT_NE(knob, nullptr);
    post(*p.all[3], make_named_message(nullptr, 0, "SLD_UP", knob));
    for (int round = 0; round < 2; ++round)
        for (OBJET* panel : p.all)
            frame(*panel);
    std::string out = testing::internal::GetCapturedStdout();
    std::filesystem::current_path(here);
    std::filesystem::remove_all(empty);

    EXPECT_NE(out.find("Failing to Load RC[RC/VCO.RC] (cause Fopen())\n"), std::string::npos);
    EXPECT_NE(out.find("Missing item [SLD_FREQUENCE] in panel [VCO_0]\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Missing item [POWER] in panel [SEQUEN_2]\n"), std::string::npos) << out;
    // Each missing name is told once, however many frames ask for it.
    EXPECT_EQ(out.find("Missing item [LAMPE_STEP_1]"), std::string::npos);
    size_t first = out.find("[LABEL_DIVIDER] in panel [SEQUEN_2]");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(out.find("[LABEL_DIVIDER] in panel [SEQUEN_2]", first + 1), std::string::npos);
    EXPECT_FLOAT_EQ(g.sequencers[0]->step_volume[0][0], 0.9f);
}
