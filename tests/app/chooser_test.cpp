// The patch chooser without a window: which names it lists, how far it scrolls, which row a
// point hits, and the keys it holds back while open.
#include "app/chooser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "app/panel_view.h"
#include "app/patch_folders.h"
#include "app/system_dash.h"
#include "tests/support/scratch.h"
#include "toolkit/label.h"

TEST(ChooserList, KeepsPatchFilesOfAnyCaseWholeAndLastNameFirst) {
    SCRATCH_DIR dir("chooser");
    for (const char* name :
         {"BASS.KVX", "lead.kvx", "Pad.Kvx", "my song.KVX", "notes.txt", "KVX", ".kvx", "x.kvx~"})
        dir.write(name, "");
    ASSERT_EQ(mkdir(dir.file("folder.KVX").c_str(), 0755), 0);
    const std::vector<std::string> names = patch_names(dir.path().c_str());
    // In byte order, reversed: lower case sorts after upper case.
    EXPECT_EQ(names, (std::vector<std::string>{"my song.KVX", "lead.kvx", "Pad.Kvx", "BASS.KVX"}));
    EXPECT_TRUE(patch_names((dir.path() + "/missing").c_str()).empty());
}

TEST(ChooserList, RowTextIsTheNameRightAlignedAndNeverOverflows) {
    EXPECT_EQ(chooser_row_text("LEAD.KVX"), std::string(24, ' ') + "LEAD.KVX");
    EXPECT_EQ(chooser_row_text("a b.KVX").size(), 32u);
    const std::string long_name(5000, 'x');
    EXPECT_EQ(chooser_row_text(long_name).size(), size_t(LABEL_TEXT_SIZE - 1));
}

TEST(ChooserScroll, StaysBetweenZeroAndCountLessTen) {
    // 25 names and the down button held for 20 passes: the list stops at 15, showing 15 to 24.
    int top = 0;
    for (int pass = 0; pass < 20; ++pass)
        top = scrolled_top(top, SCROLL_DOWN, 25);
    EXPECT_EQ(top, 15);
    for (int pass = 0; pass < 40; ++pass)
        top = scrolled_top(top, SCROLL_UP, 25);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(scrolled_top(7, SCROLL_NONE, 25), 7);
    // Fewer than ten names never scroll, whatever is held, and an empty folder neither.
    for (int count : {0, 1, 9, 10}) {
        EXPECT_EQ(scrolled_top(0, SCROLL_DOWN, count), 0) << count;
        EXPECT_EQ(scrolled_top(0, SCROLL_UP, count), 0) << count;
    }
    // A first row left past the end by a shorter list comes back within it.
    EXPECT_EQ(scrolled_top(30, SCROLL_NONE, 25), 15);
    EXPECT_EQ(shown_rows(25), 10);
    EXPECT_EQ(shown_rows(3), 3);
    EXPECT_EQ(shown_rows(0), 0);
}

TEST(ChooserRows, APointHitsTheRowWhoseTextItLiesOn) {
    // Row r's label stands at y 50 + 16 r; its band runs from 4 pixels above to 12 below.
    EXPECT_EQ(chooser_row_at(200, 50, 10), 0);
    EXPECT_EQ(chooser_row_at(200, 46, 10), 0);
    EXPECT_EQ(chooser_row_at(200, 45, 10), -1);
    EXPECT_EQ(chooser_row_at(200, 61, 10), 0);
    EXPECT_EQ(chooser_row_at(200, 62, 10), 1);
    EXPECT_EQ(chooser_row_at(200, 50 + 16 * 9 + 11, 10), 9);
    EXPECT_EQ(chooser_row_at(200, 50 + 16 * 10, 10), -1);
    // Only shown rows: with three names the fourth band is empty.
    EXPECT_EQ(chooser_row_at(200, 50 + 16 * 2, 3), 2);
    EXPECT_EQ(chooser_row_at(200, 50 + 16 * 3, 3), -1);
    EXPECT_EQ(chooser_row_at(200, 60, 0), -1);
    // Left and right of the text column.
    EXPECT_EQ(chooser_row_at(149, 60, 10), -1);
    EXPECT_EQ(chooser_row_at(150, 60, 10), 0);
    EXPECT_EQ(chooser_row_at(150 + 192, 60, 10), 0);
    EXPECT_EQ(chooser_row_at(150 + 193, 60, 10), -1);
    // Clicking the third row while the first shown is 4 chooses name 6.
    EXPECT_EQ(4 + chooser_row_at(200, 50 + 16 * 2 + 3, 10), 6);
}

TEST(ChooserKeys, F3AsksForTheChooserAndTheOpenChooserHoldsScreenKeysBack) {
    SCREEN screen;
    std::vector<OBJET*> list;
    auto key = [&](SDLKey sym) {
        SDL_Event e = {};
        e.type = SDL_KEYDOWN;
        e.key.type = SDL_KEYDOWN;
        e.key.keysym.sym = sym;
        return panel_view_event(screen, list, e);
    };
    EXPECT_EQ(key(SDLK_F3), FLAG_REDRAW);
    EXPECT_EQ(screen.requests, unsigned(REQUEST_LOAD));
    screen.requests = 0;
    screen.chooser_open = 1;
    for (SDLKey sym : {SDLK_F1, SDLK_F3, SDLK_F6}) {
        EXPECT_EQ(key(sym), FLAG_REDRAW);
        EXPECT_EQ(screen.requests, 0u);
    }
}
