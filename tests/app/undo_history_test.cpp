// The undo history: how edits gather into steps, the limit, the redo steps a new edit drops
// and the saved position.
#include <gtest/gtest.h>

#include "app/undo_history.h"

namespace {

int modules[4];

EDIT param(int module, const char* key, double from, double to) {
    EDIT e;
    e.change.module = MODULE_REF{KIND_PCF, &modules[module]};
    e.change.key = key;
    e.change.old_value = from;
    e.change.new_value = to;
    return e;
}

EDIT move(int panel, float from, float to) {
    EDIT e;
    e.is_panel = true;
    e.panel.panel = panel;
    e.panel.old_x = from;
    e.panel.new_x = to;
    e.panel.old_mode = e.panel.new_mode = 1;
    return e;
}

struct RECORDED {
    EDIT edit;
    EDIT_SOURCE source;
    long gesture;
    double at;
};

TEST(UndoHistory, GathersEditsIntoSteps) {
    struct CASE {
        const char* what;
        std::vector<RECORDED> edits;
        size_t steps;
        double first_old, first_new; // the first step's first edit
    };
    const CASE cases[] = {
        {"a drag is one step, its first old and last new value",
         {{param(0, "HICUT", 1000, 990), SOURCE_PANEL, 1, 0}, {param(0, "HICUT", 990, 600), SOURCE_PANEL, 1, 5}},
         1, 1000, 600},
        {"two presses are two steps",
         {{param(0, "HICUT", 1000, 990), SOURCE_PANEL, 1, 0}, {param(0, "HICUT", 990, 980), SOURCE_PANEL, 2, 0.1}},
         2, 1000, 990},
        {"wheel steps on one knob within a second",
         {{param(0, "Q", 1, 2), SOURCE_WHEEL, 1, 0}, {param(0, "Q", 2, 3), SOURCE_WHEEL, 2, 0.9},
          {param(0, "Q", 3, 4), SOURCE_WHEEL, 3, 1.7}},
         1, 1, 4},
        {"wheel on another knob, or after a pause",
         {{param(0, "Q", 1, 2), SOURCE_WHEEL, 1, 0}, {param(0, "GAIN", 2, 3), SOURCE_WHEEL, 1, 0.1},
          {param(0, "GAIN", 3, 4), SOURCE_WHEEL, 1, 1.2}},
         3, 1, 2},
        {"remote: one step per second of continuous change",
         {{param(0, "FREQ", 1, 2), SOURCE_REMOTE, 0, 0}, {param(1, "FREQ", 2, 3), SOURCE_REMOTE, 0, 0.5},
          {param(0, "FREQ", 2, 5), SOURCE_REMOTE, 0, 0.99}, {param(0, "FREQ", 5, 6), SOURCE_REMOTE, 0, 1.0},
          {param(0, "FREQ", 6, 7), SOURCE_REMOTE, 0, 2.5}},
         3, 1, 5},
        {"a MIDI controller is not the remote",
         {{param(0, "FREQ", 1, 2), SOURCE_REMOTE, 0, 0}, {param(0, "FREQ", 2, 3), SOURCE_MIDI, 0, 0.1}}, 2, 1, 2},
        {"a panel move stands alone in its gesture",
         {{param(0, "HICUT", 1, 2), SOURCE_PANEL, 1, 0}, {move(3, 10, 50), SOURCE_PANEL, 1, 0},
          {param(0, "HICUT", 2, 3), SOURCE_PANEL, 1, 0}},
         3, 1, 2},
    };
    for (const CASE& c : cases) {
        UNDO_HISTORY h;
        for (const RECORDED& r : c.edits)
            h.record(r.edit, r.source, r.gesture, r.at);
        EXPECT_EQ(h.size(), c.steps) << c.what;
        while (h.undo()) {
        }
        const HISTORY_STEP* first = h.redo();
        ASSERT_NE(first, nullptr) << c.what;
        EXPECT_EQ(first->edits.front().change.old_value, c.first_old) << c.what;
        EXPECT_EQ(first->edits.front().change.new_value, c.first_new) << c.what;
    }
}

TEST(UndoHistory, UndoRedoDropsRedoStepsAndKeepsItsLimit) {
    UNDO_HISTORY h;
    for (int i = 0; i < 3; ++i)
        h.record(param(0, "Q", i, i + 1), SOURCE_PANEL, i + 1, i);
    ASSERT_NE(h.undo(), nullptr);
    const HISTORY_STEP* back = h.undo();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->edits[0].change.new_value, 2);
    EXPECT_EQ(reversed(back->edits[0]).change.new_value, 1);
    EDIT added;
    added.change.is_link = true;
    added.change.slot_change = 1;
    EXPECT_EQ(reversed(added).change.slot_change, -1) << "an appended channel is taken back whole";
    EXPECT_EQ(h.redo()->edits[0].change.new_value, 2);
    h.record(param(0, "GAIN", 0, 9), SOURCE_PANEL, 9, 9);
    EXPECT_EQ(h.size(), 3u) << "the undone third step is dropped by a new edit";
    EXPECT_EQ(h.redo(), nullptr);

    UNDO_HISTORY limited(600);
    for (int i = 0; i < 700; ++i)
        limited.record(param(0, "Q", i, i + 1), SOURCE_PANEL, i + 1, i);
    int undone = 0;
    while (limited.undo())
        ++undone;
    EXPECT_EQ(undone, 600);
    EXPECT_GE(HISTORY_STEPS, 500u);
}

TEST(UndoHistory, ModifiedFollowsTheSavedPosition) {
    UNDO_HISTORY h;
    EXPECT_FALSE(h.modified());
    h.record(move(0, 1, 2), SOURCE_PANEL, 1, 0);
    EXPECT_FALSE(h.modified()) << "a panel move is no change of the patch";
    h.record(param(0, "Q", 1, 2), SOURCE_PANEL, 2, 0);
    EXPECT_TRUE(h.modified());
    h.mark_saved();
    EXPECT_FALSE(h.modified());
    h.undo();
    EXPECT_TRUE(h.modified()) << "undone past the save";
    h.redo();
    EXPECT_FALSE(h.modified()) << "back at the save";
    h.undo();
    h.record(param(0, "GAIN", 1, 2), SOURCE_PANEL, 3, 0);
    EXPECT_TRUE(h.modified());
    h.undo();
    EXPECT_TRUE(h.modified()) << "the saved step was dropped: no position matches the file";
    h.clear();
    EXPECT_FALSE(h.modified());
}

} // namespace
