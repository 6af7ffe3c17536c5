// The real program's oscilloscope and patch chooser under an X display: the trace and its zoom
// text, the way back to the panels, the chooser's list, and patches loaded in place while the
// recording plays on.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/display.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/wait.h"
#include "tests/support/wave.h"
#include "tests/support/window_program.h"
#include "tests/support/xdo.h"
#include "toolkit/surface_text.h"

namespace {

const std::string ROOT = TESSARO_SOURCE_DIR;

// A steady tone through the master mixer; its panels are one oscillator and one mixer.
std::string tone_patch(const std::string& freq, const std::string& level) {
    return "BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=1;FREQ=" + freq + ";AMOUNT=" + level +
           ";PHASE=0;\nMIXER_4;;\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nMIXER_4;ADD_CHANELL=VCO_1;\n"
           "END_LINKS_DECLARE\n";
}

// Two oscillators, an envelope and a filter: other panels than the tones'.
const char* const SONG_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                               "VCO_1;TYPE=1;FREQ=220;AMOUNT=0.4;PHASE=0;\n"
                               "VCO_2;TYPE=2;FREQ=330;AMOUNT=0.3;PHASE=0;\n"
                               "PCF_1;TYPE=0;HICUT=2000;Q=1;GAIN=0;AMOUNT=1;BYPASS=0;\n"
                               "MIXER_4;;\n"
                               "END_OBJECTS_DECLARE\n"
                               "BEGIN_LINKS_DECLARE\n"
                               "PCF_1;IN=VCO_2;\n"
                               "MIXER_4;ADD_CHANELL=VCO_1;ADD_CHANELL=PCF_1;\n"
                               "END_LINKS_DECLARE\n";

// The chooser lists the names that sort last first: row 0 TONE_B, row 1 TONE_A, row 2 the song,
// whose name has a blank and a lower-case extension.
const char* const ROW_NAMES[] = {"TONE_B.KVX", "TONE_A.KVX", "MY SONG.kvx"};
constexpr int ROW_X = 250;
int row_y(int row) {
    return 50 + 16 * row + 3;
}

// Fraction of a rectangle showing the same pixels in two pictures.
double same_fraction(const IMAGE& a, const IMAGE& b, int x, int y, int w, int h, int tolerance = 12) {
    return match_fraction(a, x, y, b, x, y, w, h, tolerance);
}

int count_colour(const IMAGE& img, uint32_t colour, int x, int y, int w, int h, int tolerance = 24) {
    int n = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            n += colour_distance(img.at(x + i, y + j), colour) <= tolerance;
    return n;
}

// The zoom line as the scope writes it, from the same font and at the same place: left edge at
// x 24, centred on y 150, red mixed into yellow at the glyph edges, over the white sweep.
struct ZOOM_LINE {
    SDL_Surface* picture = nullptr;
    int x = 24, y = 0, w = 0, h = 0;
    explicit ZOOM_LINE(const std::string& text) {
        SURFACE_FONT font;
        if (!load_surface_font(font, (ROOT + "/Fonts/04B_03B_.TTF").c_str(), 25)) return;
        picture = SDL_CreateRGBSurface(SDL_SWSURFACE, 1024, 768, 32, 0xff0000, 0xff00, 0xff, 0);
        SDL_FillRect(picture, nullptr, 0xffffff);
        w = surface_text_width(font, text.c_str());
        h = font.ascent + font.descent;
        y = 150 - h / 2;
        print_surface_text(picture, font, 24 + w / 2, 150, true, 0xff0000, 0xfffff00, "%s", text.c_str());
    }
    ~ZOOM_LINE() {
        if (picture) SDL_FreeSurface(picture);
    }
    ZOOM_LINE(const ZOOM_LINE&) = delete;
    ZOOM_LINE& operator=(const ZOOM_LINE&) = delete;
    uint32_t at(int px, int py) const {
        return static_cast<const uint32_t*>(picture->pixels)[py * (picture->pitch / 4) + px] & 0xffffff;
    }
    // Fraction of the line's inked pixels that the screen shows in their colour.
    double shown_on(const IMAGE& screen) const {
        int inked = 0, same = 0;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) {
                const uint32_t c = at(i, j);
                if (c == 0xffffff) continue;
                ++inked;
                same += colour_distance(screen.at(i, j), c) <= 32;
            }
        return inked ? static_cast<double>(same) / inked : 0;
    }
};

class ProgramScopeChooser : public WINDOW_PROGRAM_TEST {
  protected:
    ProgramScopeChooser() : WINDOW_PROGRAM_TEST("scope_chooser") {}

    void SetUp() override {
        WINDOW_PROGRAM_TEST::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(stage_data(ROOT, false));
        ASSERT_EQ(mkdir(stage.file("KVX").c_str(), 0755), 0);
        stage.write("KVX/TONE_A.KVX", tone_patch("441", "0.5"));
        stage.write("KVX/TONE_B.KVX", tone_patch("294", "0.3"));
        stage.write("KVX/MY SONG.kvx", SONG_PATCH);
        stage.write("KVX/notes.txt", "not a patch\n");
    }

    // A screenshot once the window shows more than black.
    IMAGE drawn_screenshot() {
        return window.screenshot_when(
            [](const IMAGE& shot) { return count_colour(shot, 0, 0, 0, shot.w, shot.h, 0) < shot.w * shot.h / 2; });
    }

    // The chooser's screen with the row under the pointer turned red.
    IMAGE hovered_row(int row) {
        window.move(ROW_X, row_y(row));
        return window.screenshot_when(
            [&](const IMAGE& shot) { return count_colour(shot, 0xff0000, 150, row_y(row) - 7, 145, 16, 40) > 15; });
    }

    // Opens the chooser and clicks a row; true once the window carries the row's patch.
    bool load_row(int row) {
        // The click waits for the chooser's screen: a loaded machine may take a while to open it.
        const size_t seen = program.output().size();
        window.key("F3");
        if (!program.wait_for_count("LOAD KVX-5\n", 1, seen)) return false;
        hovered_row(row);
        window.click(LEFT, ROW_X, row_y(row));
        find_window(std::string("KVX/") + ROW_NAMES[row]);
        return window.found();
    }

};

} // namespace

TEST_F(ProgramScopeChooser, F1ShowsTheTraceKeypadPlusDoublesTheZoomF1AgainBringsThePanelsBack) {
    ASSERT_NO_FATAL_FAILURE(start_window("KVX/TONE_A.KVX", true, "41"));
    window.move(900, 740);
    const IMAGE panels = drawn_screenshot();

    window.key("F1");
    const IMAGE trace = window.screenshot_when([](const IMAGE& shot) {
        return count_colour(shot, 0xff00ff, 0, 384, 800, 1) > 60 && count_colour(shot, 0x808080, 0, 384 - 64, 800, 128) > 500;
    });
    // The centre line is magenta on row 384, and the tone's half-scale swing fills 64 rows on
    // either side of it in grey, tipped with cyan.
    EXPECT_GT(count_colour(trace, 0xff00ff, 0, 384, 800, 1), 60);
    EXPECT_GT(count_colour(trace, 0x808080, 0, 384 - 64, 800, 128), 500);
    EXPECT_GT(count_colour(trace, 0x80ffff, 0, 384 - 70, 800, 140), 20);
    EXPECT_EQ(count_colour(trace, 0x808080, 0, 0, 1024, 300), 0) << "no fill beyond the swing";

    window.key("KP_Add");
    const ZOOM_LINE doubled("ZOOM SIZE IS 2.000");
    const ZOOM_LINE single("ZOOM SIZE IS 1.000");
    ASSERT_NE(doubled.picture, nullptr);
    double shown = 0;
    // The line is written when a sweep ends: within one sweep at zoom 2 (about 2.3 s) after the
    // first, shorter one. The old line shares most of its ink with the new one, so the new one
    // has to match better than the old.
    const IMAGE zoomed = window.screenshot_when([&](const IMAGE& shot) {
        shown = doubled.shown_on(shot);
        return shown > 0.95 && single.shown_on(shot) < shown;
    });
    EXPECT_GT(shown, 0.95);
    EXPECT_LT(single.shown_on(zoomed), shown);

    window.key("F1");
    const IMAGE back = window.screenshot_when([&](const IMAGE& shot) {
        return count_colour(shot, 0xff00ff, 0, 384, 800, 1, 0) == 0 && same_fraction(shot, panels, 75, 575, 320, 60) > 0.95;
    });
    // The system dashboard and the oscillator's panel are where they were.
    EXPECT_GT(same_fraction(back, panels, 75, 575, 320, 60), 0.95);
    EXPECT_GT(same_fraction(back, panels, 0, 0, 200, 130, 24), 0.9);
    EXPECT_EQ(count_colour(back, 0xff00ff, 0, 384, 800, 1, 0), 0) << "the trace is gone";

    window.key("Escape");
    EXPECT_EQ(program.wait(), 0) << program.output();
}

TEST_F(ProgramScopeChooser, F3ListsThePatchesAndAClickedNameReplacesTheRunningOneWithoutAGap) {
    const std::string take = stage.file("take.wav");
    ASSERT_NO_FATAL_FAILURE(start_window("KVX/TONE_A.KVX", true, "42", {"TESSARO_RECORD=" + take}));
    window.move(900, 740);
    const IMAGE tone_panels = drawn_screenshot();

    // Three patch files, one row each; the hovered row turns red. The text column ends left of
    // the scroll buttons at x 300.
    window.key("F3");
    ASSERT_TRUE(program.wait_for_output("LOAD KVX-5\n")) << program.output();
    const IMAGE list = hovered_row(1);
    for (int row = 0; row < 3; ++row) {
        const int red = count_colour(list, 0xff0000, 150, row_y(row) - 7, 145, 16, 40);
        const int white = count_colour(list, 0xffffff, 150, row_y(row) - 7, 145, 16, 40);
        EXPECT_GT(row == 1 ? red : white, 15) << "row " << row;
        EXPECT_LT(row == 1 ? white : red, 3) << "row " << row;
    }
    EXPECT_EQ(count_colour(list, 0xffffff, 150, row_y(3) - 7, 145, 16 * 7, 40), 0) << "no fourth row";

    // The song: its name has a blank. Caption and panels change.
    window.click(LEFT, ROW_X, row_y(2));
    find_window("KVX/MY SONG.kvx");
    ASSERT_TRUE(window.found()) << program.output();
    window.move(900, 740);
    const IMAGE song_panels = window.screenshot_when(
        [&](const IMAGE& shot) { return same_fraction(shot, tone_panels, 0, 0, 700, 400) < 0.9; });
    EXPECT_LT(same_fraction(song_panels, tone_panels, 0, 0, 700, 400), 0.9);
    EXPECT_GT(same_fraction(song_panels, tone_panels, 75, 575, 320, 60), 0.95) << "the dashboards stay";

    // Back and forth between the two tones.
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(load_row(i % 2)) << "load " << i << "\n" << program.output();
    window.key("Escape");
    EXPECT_EQ(program.wait(), 0) << program.output();
    const std::string out = program.output();
    EXPECT_NE(out.find("Load [MY SONG.kvx]"), std::string::npos);

    // Every patch is a steady tone: a block left unrendered would show as a run of silence.
    const std::vector<double> left = left_channel(take);
    ASSERT_GT(left.size(), 44100u);
    size_t first = 0, last = left.size();
    while (first < left.size() && left[first] == 0)
        ++first;
    while (last > first && left[last - 1] == 0)
        --last;
    size_t longest = 0, run = 0;
    for (size_t i = first; i < last; ++i) {
        run = left[i] == 0 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_LE(longest, 3072u) << "silent run of " << longest << " frames";
    EXPECT_GT(last - first, 44100u * 5);
}
