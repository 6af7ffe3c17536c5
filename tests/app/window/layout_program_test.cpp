// The real program's panel layout: no panel over another at start-up, and panels moved or folded
// by the user standing where they were left after a save and a new start.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/display.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/wait.h"
#include "tests/support/window_program.h"
#include "tests/support/xdo.h"

namespace {

const std::string ROOT = TESSARO_SOURCE_DIR;

// A patch of 203 modules, 29 of each kind, the master mixer among them.
std::string big_patch() {
    std::string text = "BEGIN_OBJECTS_DECLARE\n";
    for (int i = 1; i <= 29; ++i) {
        const std::string n = std::to_string(i);
        text += "KEY_" + n + ";;\nVCO_" + n + ";TYPE=1;\nSAMPLER_" + n + ";FILE=;\nVCA_" + n + ";BYPASS=0;\n";
        text += "SEQUENCER_" + n + ";DIVIDER=8;\nPCF_" + n + ";BYPASS=0;\nMIXER_" + n + ";;\n";
    }
    return text + "END_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n";
}

struct SAVED_PANEL {
    std::string name;
    double x, y;
    int mode;
};

// The panel fields of every declaration of a saved patch.
std::vector<SAVED_PANEL> saved_panels(const std::string& patch) {
    std::vector<SAVED_PANEL> out;
    const std::regex line("(^|\\n)([A-Z0-9_]+);[^\\n]*?PANEL_X=([0-9.]+);PANEL_Y=([0-9.]+);PANEL_MODE=([0-9])");
    for (auto it = std::sregex_iterator(patch.begin(), patch.end(), line); it != std::sregex_iterator(); ++it)
        out.push_back({(*it)[2], std::stod((*it)[3]), std::stod((*it)[4]), std::stoi((*it)[5])});
    return out;
}

// The front picture of a module's panel, by the name's kind word.
const IMAGE& panel_picture(const std::string& name) {
    static std::map<std::string, IMAGE> pictures;
    static const std::pair<const char*, const char*> kinds[] = {
        {"KEY", "PANEL_KEYBOARD"}, {"VCO", "PANEL_VCO"}, {"SAMPLER", "PANEL_SAMPLER"}, {"VCA", "PANEL_VCA"},
        {"SEQUENCER", "PANEL_SEQUENCER"}, {"PCF", "PANEL_VCF"}, {"MIXER", "PANEL_MIXER"}};
    for (const auto& [word, image] : kinds)
        if (name.compare(0, std::string(word).size() + 1, std::string(word) + "_") == 0) {
            IMAGE& p = pictures[image];
            if (p.empty()) p = load_image(ROOT + "/grfx/" + image + ".png");
            return p;
        }
    static const IMAGE none;
    return none;
}

class ProgramLayout : public WINDOW_PROGRAM_TEST {
  protected:
    ProgramLayout() : WINDOW_PROGRAM_TEST("stage") {}

    void SetUp() override {
        WINDOW_PROGRAM_TEST::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(stage_data(ROOT, true));
        ASSERT_TRUE(stage_folder(stage, ROOT, "KVX", true));
    }

    // Starts `tessaro PATCH` (with --verbose when verbose is set) and waits for its window.
    void open(const std::string& patch, bool verbose = false) {
        ASSERT_NO_FATAL_FAILURE(start_window(patch, verbose));
        window.screenshot_when([](const IMAGE& shot) { return shot.at(600, 700) != 0; });
    }
};

} // namespace

TEST_F(ProgramLayout, NoPanelCoversAnotherAtStartUp) {
    stage.write("KVX/BIG.KVX", big_patch());
    std::vector<std::string> patches = {"KVX/BIG.KVX"};
    for (const auto& entry : std::filesystem::directory_iterator(ROOT + "/KVX"))
        if (entry.path().extension() == ".KVX") patches.push_back("KVX/" + entry.path().filename().string());
    for (const std::string& patch : patches) {
        ASSERT_NO_FATAL_FAILURE(open(patch));
        const std::vector<SAVED_PANEL> panels = saved_panels(save_with_f4("PLACED.KVX", "KVX/PLACED.KVX"));
        close_program();
        EXPECT_FALSE(panels.empty()) << patch;
        for (size_t a = 0; a < panels.size(); ++a) {
            const IMAGE& pa = panel_picture(panels[a].name);
            ASSERT_FALSE(pa.empty()) << panels[a].name;
            for (size_t b = a + 1; b < panels.size(); ++b) {
                const IMAGE& pb = panel_picture(panels[b].name);
                const bool apart = panels[a].x + pa.w <= panels[b].x || panels[b].x + pb.w <= panels[a].x ||
                                   panels[a].y + pa.h <= panels[b].y || panels[b].y + pb.h <= panels[a].y;
                EXPECT_TRUE(apart) << patch << ": " << panels[a].name << " and " << panels[b].name;
            }
        }
    }
}

TEST_F(ProgramLayout, MovedAndFoldedPanelsStayWhereTheyWereLeft) {
    stage.write("KVX/KNOBS.KVX", "BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=3;FREQ=100;AMOUNT=0.5;\n"
                                 "PCF_1;TYPE=0;HICUT=600;BYPASS=0;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
                                 "BEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n");
    ASSERT_NO_FATAL_FAILURE(open("KVX/KNOBS.KVX"));
    // A right drag takes the oscillator's top-left corner to the pointer; a middle click folds
    // the filter (at (210, 50)).
    window.drag(RIGHT, 150, 40, 430, 330, 10);
    window.click(MIDDLE, 220, 60);
    window.move(700, 700);
    pause_ms(200);
    const std::string saved = save_with_f4("MOVED.KVX", "KVX/MOVED.KVX");
    const std::vector<SAVED_PANEL> panels = saved_panels(saved);
    ASSERT_EQ(panels.size(), 3u) << saved;
    EXPECT_EQ(panels[0].name, "VCO_1") << saved;
    EXPECT_EQ(panels[0].x, 430) << saved;
    EXPECT_EQ(panels[0].y, 330) << saved;
    EXPECT_EQ(panels[0].mode, 1) << saved;
    EXPECT_EQ(panels[2].name, "PCF_1") << saved;
    EXPECT_EQ(panels[2].mode, 2) << saved;
    close_program();

    ASSERT_NO_FATAL_FAILURE(open("KVX/MOVED.KVX"));
    const IMAGE vco = panel_picture("VCO_1");
    auto vco_there = [&](const IMAGE& shot) {
        int same = 0;
        for (int y = 22; y < 34; ++y)
            for (int x = 150; x < 190; ++x)
                same += colour_distance(shot.at(430 + x, 330 + y), vco.at(x, y)) <= 12;
        return same > 40 * 12 * 8 / 10;
    };
    EXPECT_TRUE(vco_there(window.screenshot_when(vco_there))) << "the oscillator where it was left";
}

TEST_F(ProgramLayout, ALoadedPatchOpensAtTheTopLeftWithNothingNamed) {
    std::filesystem::remove_all(stage.file("KVX"));
    std::filesystem::create_directory(stage.file("KVX"));
    const std::string one_vco = "BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=3;FREQ=100;AMOUNT=0.5;PHASE=0;\nMIXER_4;;\n"
                                "END_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n";
    stage.write("KVX/A.KVX", one_vco);
    stage.write("KVX/B.KVX", one_vco);
    ASSERT_NO_FATAL_FAILURE(open("KVX/A.KVX", true));
    window.move(900, 740);
    const IMAGE fresh = window.screenshot();
    const IMAGE dash = load_image(ROOT + "/grfx/DASH_INFO.png");
    ASSERT_FALSE(dash.empty());
    // The dashboard at (50, 450) names nothing: the text row under its title is the bare picture.
    auto nothing_named = [&](const IMAGE& shot) {
        return pixels_differing(shot.crop(50, 450, dash.w, dash.h), dash, 70, 15, 200, 60, 24) < 20;
    };
    EXPECT_TRUE(nothing_named(fresh)) << "at start-up";

    // The oscillator's frequency knob names it in the dashboard, the world scrolled 200 pixels, then B from the chooser
    // (its rows list the names that sort last first).
    // The view finds the panel under the pointer's previous place: two motions.
    window.move(30, 80);
    window.move(31, 80);
    EXPECT_FALSE(nothing_named(window.screenshot_when([&](const IMAGE& shot) { return !nothing_named(shot); })));
    window.drag(MIDDLE, 700, 700, 500, 700, 15);
    window.key("F3");
    ASSERT_TRUE(program.wait_for_output("LOAD KVX-5\n")) << program.output();
    window.move(250, 53);
    pause_ms(200);
    window.click(LEFT, 250, 53);
    window = X_WINDOW::find(window_caption("KVX/B.KVX"));
    ASSERT_TRUE(window.found()) << program.output();
    window.move(900, 740);
    const IMAGE loaded = window.screenshot_when([&](const IMAGE& shot) {
        return pixels_differing(shot, fresh, 0, 0, 700, 440, 24) < 100 && nothing_named(shot);
    });
    EXPECT_LT(pixels_differing(loaded, fresh, 0, 0, 700, 440, 24), 100) << "panels where a fresh start puts them";
    EXPECT_TRUE(nothing_named(loaded));
}

TEST_F(ProgramLayout, FilterDisplayNamesTheFilterOfEachType) {
    // The filter's panel at (210, 50), its type display laid out at (8, 22), 48 x 28.
    stage.write("KVX/FILTER.KVX", "BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=3;FREQ=100;AMOUNT=0.5;\n"
                                  "PCF_1;TYPE=0;HICUT=600;BYPASS=0;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
                                  "BEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n");
    ASSERT_NO_FATAL_FAILURE(open("KVX/FILTER.KVX"));
    const char* const names[] = {"THROUGH", "LOWPASS", "HIGHPASS", "BANDPASS", "NOTCH", "LOWSHELF", "HIGHSHELF", "PEAKING"};
    for (int type = 0; type < 8; ++type) {
        const IMAGE picture = load_image(ROOT + "/grfx/DISP_FILTRE_" + names[type] + ".png");
        ASSERT_FALSE(picture.empty()) << names[type];
        auto shown = [&](const IMAGE& shot) {
            return pixels_differing(shot.crop(218, 72, picture.w, picture.h), picture, 0, 0, picture.w, picture.h,
                                    16) < picture.w * picture.h / 20;
        };
        EXPECT_TRUE(shown(window.screenshot_when(shown))) << "TYPE " << type << " shows " << names[type];
        window.click(LEFT, 218 + 24, 72 + 14);
        window.move(700, 700);
    }
    window.key("Escape");
    EXPECT_EQ(program.wait(), 0);
}

TEST_F(ProgramLayout, NamesTypedInTheWindowSaveAndAnotherFileIsReplacedOnlyWhenConfirmed) {
    stage.write("KVX/other.KVX", "OLD");
    ASSERT_NO_FATAL_FAILURE(open("KVX/BASSLINE.KVX"));
    window.move(900, 740);
    auto type_name = [&](const std::string& name) {
        for (char c : name)
            window.key(c == '.' ? "period" : std::string(1, c));
    };
    // The field shows what is typed while the sequencer goes on.
    window.key("F4");
    type_name("typed");
    EXPECT_GT(prompt_ink(window.screenshot_when([](const IMAGE& shot) { return prompt_ink(shot) > 100; })), 100);
    window.key("Return");
    ASSERT_TRUE(program.wait_for_output("Saved KVX/typed.KVX")) << program.output();
    EXPECT_NE(stage.read("KVX/typed.KVX").find("END_LINKS_DECLARE"), std::string::npos);

    window.key("F4");
    type_name("two.kvx");
    window.key("Return");
    ASSERT_TRUE(program.wait_for_output("Saved KVX/two.kvx")) << program.output();

    // Another existing file: asked once, ESC keeps it, a second ENTER replaces it.
    window.key("F4");
    type_name("other");
    window.key("Return");
    ASSERT_TRUE(program.wait_for_output("KVX/other.KVX exists")) << program.output();
    window.key("Escape");
    ASSERT_TRUE(program.wait_for_output("Not saved: cancelled")) << program.output();
    EXPECT_EQ(stage.read("KVX/other.KVX"), "OLD");
    EXPECT_TRUE(program.alive()) << "the ESC that closes the prompt does not quit";
    window.key("F4");
    type_name("other");
    window.key("Return");
    window.key("Return");
    ASSERT_TRUE(program.wait_for_output("Saved KVX/other.KVX")) << program.output();
    EXPECT_NE(stage.read("KVX/other.KVX").find("END_LINKS_DECLARE"), std::string::npos);
}
