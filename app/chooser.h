// The patch chooser: a screen listing the user's patches and the examples, scrolled by two buttons,
// whose clicked name is handed back to be loaded in place of the running patch.
#pragma once
#include <string>
#include <vector>

constexpr const char* CHOOSER_LAYOUT = "RC/LOAD.RC";
constexpr const char* CHOOSER_PREFIX = "5";
constexpr int CHOOSER_ROWS = 10;
// Rows are labels at x 150, y 50 + 16 x row, nominal size 12, names right-aligned in 32
// characters; hovered red, otherwise white.
constexpr int CHOOSER_ROW_X = 150;
constexpr int CHOOSER_ROW_Y = 50;
constexpr int CHOOSER_ROW_STEP = 16;
constexpr int CHOOSER_ROW_SIZE = 12;
constexpr int CHOOSER_NAME_WIDTH = 32;
constexpr int CHOOSER_ROW_WIDTH = CHOOSER_ROW_SIZE * CHOOSER_NAME_WIDTH / 2;
// The text of a row sits from 4 pixels above its y to 12 below, so rows touch without overlap.
constexpr int CHOOSER_ROW_ABOVE = 4;
constexpr unsigned CHOOSER_HOVER_COLOUR = 0xFF0000;
constexpr unsigned CHOOSER_ROW_COLOUR = 0xFFFFFF;

// Scroll modes: none, one row down per pass, one row up per pass.
enum CHOOSER_SCROLL { SCROLL_NONE = 0, SCROLL_DOWN = 1, SCROLL_UP = 2 };


// The first row shown after one pass in a scroll mode, within 0 .. count - 10 (0 with fewer
// than ten names).
int scrolled_top(int top, int mode, int count);
// How many rows a list of count names shows.
int shown_rows(int count);
// The row under a point given relative to the chooser panel; -1 when none of the shown rows.
int chooser_row_at(int x, int y, int rows);
// A row's text: the name right-aligned in 32 characters, cut to the label's size.
std::string chooser_row_text(const std::string& name);

struct SCREEN;

// Runs the chooser screen until a name is clicked or ESC is released (which also ends the frame
// loop). Returns the clicked patch's path under KVX/, or "" when none was chosen; the caller
// loads it.
std::string choose_patch(SCREEN& screen);
