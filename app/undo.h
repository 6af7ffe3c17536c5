// Undo and redo in the window: the history fed by the door's observer list and by the panel
// moves and folds, taken back and made again through the door, shown at once; the modified
// marker in the caption and the recovery copies it calls for.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/undo_history.h"

struct SCREEN;
class OBJET;

// Starts recording the changes the door tells on this thread, for the window showing screen,
// whose patch was read from patch_path. Recovery copies go to recovery_path.
void start_undo(SCREEN& screen, const char* patch_path, const std::string& recovery_path);
// Stops recording; a recovery copy being written is waited for.
void stop_undo();

// A patch was loaded from path in place of the running one: a fresh history, its start the
// loaded file.
void undo_patch_loaded(const char* patch_path, const std::string& recovery_path);
// The running patch was saved: the present matches a file.
void undo_patch_saved();
// Whether the running patch differs from the file loaded or saved last.
bool patch_modified();

// While muted, door changes are not recorded (a patch read apart for a load).
void undo_mute(bool muted);
// A press of a mouse button or a key: the panel changes that follow, until the next press, are
// one step.
void undo_begin_gesture();
// The source the changes made during its life are recorded as (the remote controller's step,
// a MIDI controller's dispatch).
class UNDO_SOURCE {
  public:
    explicit UNDO_SOURCE(EDIT_SOURCE source);
    ~UNDO_SOURCE();
    UNDO_SOURCE(const UNDO_SOURCE&) = delete;
    UNDO_SOURCE& operator=(const UNDO_SOURCE&) = delete;

  private:
    EDIT_SOURCE saved_;
};

// A panel grabbed to be moved, and let go: a move is recorded when its place changed.
void undo_grab_panel(const SCREEN& screen, const OBJET* panel);
void undo_release_panel(const SCREEN& screen);
// A panel was folded or unfolded from old_mode.
void undo_record_fold(const SCREEN& screen, const OBJET* panel, uint32_t old_mode);

// CTRL+Z (redo false) or CTRL+SHIFT+Z, CTRL+Y (redo true): carried out between frames (see
// undo_apply.h), since panels shown again are built anew.
void undo_request(bool redo);
// The requests made since the last call, oldest first (true for redo); none for another screen.
std::vector<bool> take_undo_requests();
bool undo_running_on(const SCREEN& screen);
// The history of the running patch, and the mark that the door's writes under way are the
// history's own (not recorded).
UNDO_HISTORY& undo_history();
void undo_applying(bool applying);

// Once a pass: the caption's "*" follows the modified state, and a recovery copy is written
// every recovery period while the patch is modified.
void undo_tick();
// ESC quits: a modified patch gets its recovery copy at once.
void write_quit_recovery();
