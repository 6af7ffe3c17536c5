// Panel places on declaration lines: read, refused, checked, written and read back.
#include <cstdlib>
#include <string>

#include "patch/patch_check.h"
#include "patch/patch_writer.h"
#include "patch_files.h"

namespace {

std::string patch_with(const std::string& line) {
    return "BEGIN_OBJECTS_DECLARE\n" + line + "\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n";
}

std::string written(const GENERATOR& g) {
    char* text = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&text, &size);
    write_patch(f, g);
    std::fclose(f);
    std::string out(text, size);
    std::free(text);
    return out;
}

class PanelPlaces : public PatchTest {};

} // namespace

TEST_F(PanelPlaces, KeysAreReadRefusedAndChecked) {
    struct CASE {
        const char* line;
        bool placed;
        float x, y;
        uint32_t mode;
        const char* message; // in the reader's output and the checker's findings; "" for none
    };
    const CASE cases[] = {
        {"VCO_1;TYPE=2;PANEL_X=120;PANEL_Y=40.5;PANEL_MODE=2;", true, 120, 40.5f, 2, ""},
        {"KEY_1;PANEL_X=7;PANEL_Y=8;", true, 7, 8, 1, ""},
        {"VCO_1;TYPE=2;PANEL_X=5;", false, 0, 0, 1, ""},
        {"VCO_1;TYPE=2;PANEL_X=-3;PANEL_Y=0;", false, 0, 0, 1, "PANEL_X=-3"},
        {"VCO_1;TYPE=2;PANEL_X=abc;PANEL_Y=0;", false, 0, 0, 1, "PANEL_X=abc"},
        {"MIXER_4;PANEL_X=1;PANEL_Y=2;PANEL_MODE=4;", true, 1, 2, 1, "PANEL_MODE=4"},
    };
    for (const CASE& c : cases) {
        graph_ = std::make_unique<GENERATOR>();
        const std::string out = load_printing(patch_with(c.line));
        EXPECT_EQ(out.find("inconnue"), std::string::npos) << c.line << "\n" << out;
        const size_t modules = total_modules(g());
        ASSERT_EQ(modules, 1u) << c.line;
        const void* m = !g().vcos.empty() ? static_cast<void*>(g().vcos[0])
                        : !g().keyboards.empty() ? static_cast<void*>(g().keyboards[0])
                                                 : static_cast<void*>(g().mixers[0]);
        if (!g().vcos.empty()) {
            EXPECT_EQ(g().vcos[0]->TYPE, 2) << c.line << ": the other keys still apply";
        }
        const auto it = g().panel_places.find(m);
        ASSERT_EQ(it != g().panel_places.end(), c.placed) << c.line;
        if (c.placed) {
            EXPECT_EQ(it->second.x, c.x) << c.line;
            EXPECT_EQ(it->second.y, c.y) << c.line;
            EXPECT_EQ(it->second.mode, c.mode) << c.line;
        }
        std::string findings; // about the panel keys (the patches lack a master mixer)
        for (const CHECK_FINDING& f : check_patch_text(patch_with(c.line), ""))
            if (f.text.find("PANEL_") != std::string::npos) findings += f.text + "\n";
        if (c.message[0] == '\0') {
            EXPECT_EQ(findings, "") << c.line;
        } else {
            EXPECT_NE(out.find(c.message), std::string::npos) << c.line << "\n" << out;
            EXPECT_NE(findings.find(c.message), std::string::npos) << c.line << "\n" << findings;
        }
    }
}

TEST_F(PanelPlaces, SavedPlacesReadBackAndUnplacedLinesStayAsTheyWere) {
    load(patch_with("KEY_1;;\nVCO_1;TYPE=1;\nMIXER_4;;"));
    const std::string before = written(g());
    EXPECT_EQ(before.find("PANEL_"), std::string::npos) << before;
    g().panel_places[g().keyboards[0]] = PANEL_PLACE{10, 20.25f, 2};
    g().panel_places[g().vcos[0]] = PANEL_PLACE{3000, 0, 1};
    const std::string text = written(g());
    EXPECT_NE(text.find("\nKEY_1;PANEL_X=10;PANEL_Y=20.25;PANEL_MODE=2;\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nMIXER_4;;\n"), std::string::npos) << text;

    graph_ = std::make_unique<GENERATOR>();
    load(text);
    ASSERT_EQ(g().panel_places.size(), 2u);
    EXPECT_EQ(g().panel_places[g().keyboards[0]].y, 20.25f);
    EXPECT_EQ(g().panel_places[g().keyboards[0]].mode, 2u);
    EXPECT_EQ(g().panel_places[g().vcos[0]].x, 3000);
    EXPECT_EQ(g().vcos[0]->TYPE, 1);
}
