// The undo history: steps of edits (door changes and panel moves or folds), where the user
// stands among them, and which place matches the file last loaded or saved.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "engine/door.h"

// Who made a change, which decides how changes gather into steps: everything one press of a
// button or key brings (a whole knob drag, a cable re-plug) is one step; the wheel's steps on
// one knob, and the remote controller's or a MIDI controller's changes, gather for a second.
// A writer that says nothing is taken as timed, like the remote controller.
enum EDIT_SOURCE { SOURCE_PANEL, SOURCE_WHEEL, SOURCE_REMOTE, SOURCE_MIDI, SOURCE_OTHER };

// A panel's place in the world (pixels) and its display mode, before and after.
struct PANEL_EDIT {
    int panel = -1;   // index into the screen's panel list
    std::string name; // the module the panel shows, for the console
    float old_x = 0, old_y = 0, new_x = 0, new_y = 0;
    uint32_t old_mode = 0, new_mode = 0;
};

// One edit: a door change, or a panel edit when is_panel is set.
struct EDIT {
    bool is_panel = false;
    DOOR_CHANGE change;
    PANEL_EDIT panel;
};

struct HISTORY_STEP {
    std::vector<EDIT> edits; // in the order they were made
    EDIT_SOURCE source = SOURCE_PANEL;
    long gesture = 0;
    double started = 0, last = 0; // seconds on the caller's clock
};

// More than the 500 steps a user is promised; beyond, the oldest step is forgotten.
constexpr size_t HISTORY_STEPS = 1000;
// Timed sources gather their changes for this long (seconds).
constexpr double GATHER_SECONDS = 1.0;

// Whether two edits touch the same thing: the same module's key or port, or the same panel.
bool same_target(const EDIT& a, const EDIT& b);
// Whether an edit made now by source in gesture belongs to the step `last` (the newest).
bool joins_step(const HISTORY_STEP& last, const EDIT& e, EDIT_SOURCE source, long gesture, double now);
// The edit as undone: old and new swapped.
EDIT reversed(const EDIT& e);
// "PCF_LOW HICUT 1000 -> 600", "VCO_1 panel moved 10,20 -> 300,40", "VCO_1 panel folded".
std::string describe_edit(const EDIT& e);

class UNDO_HISTORY {
  public:
    explicit UNDO_HISTORY(size_t limit = HISTORY_STEPS) : limit_(limit < 1 ? 1 : limit) {}

    // Adds an edit: to the newest step when it joins it (an edit of the same target keeps the
    // step's first old value), else as a new step. Steps undone before are dropped first.
    void record(const EDIT& e, EDIT_SOURCE source, long gesture, double now);
    // The step to take back (its edits are applied in reverse, each reversed), or null when
    // there is none; the position moves back one.
    const HISTORY_STEP* undo();
    // The step to make again (applied in order), or null; the position moves on one.
    const HISTORY_STEP* redo();
    // A fresh history whose start matches the file just loaded.
    void clear();
    // The present position matches the file just saved.
    void mark_saved();
    // Whether a door change separates the present from the file loaded or saved last.
    bool modified() const;

    size_t size() const { return steps_.size(); }
    size_t position() const { return position_; }

  private:
    std::deque<HISTORY_STEP> steps_;
    size_t position_ = 0;
    long saved_ = 0; // -1 once the saved position was dropped
    size_t limit_;
};
