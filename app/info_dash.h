// The information dashboard: names the panel under the pointer, its kind and its display mode.
#pragma once
#include <cstddef>

#include "toolkit/label.h"
#include "toolkit/objet.h"

constexpr const char* INFO_DASH_PREFIX = "58";
constexpr const char* INFO_DASH_LAYOUT = "RC/DASH.RC";
// The name label's nominal character height: its box is very wide on purpose, so that
// nothing on the dashboard is hit under the name.
constexpr int INFO_NAME_SIZE = 8432210;

class INFO_DASH : public OBJET {
  public:
    LABEL* mode_label = nullptr; // "LABEL_VM"
    LABEL* name_label = nullptr; // "CIBLE_NAME"
    LABEL* type_label = nullptr; // "LABEL_TYPE"
    OBJET* shown_panel = nullptr;
    SPRITE* shown_item = nullptr; // the control under the pointer, whose reading the type row shows

    // Loads the layout and adds the three labels; the position is set by the caller.
    INFO_DASH();
    ~INFO_DASH() override;
    int update() override;
    // The information dashboard never folds.
    int set_mode(uint32_t new_mode) override;
};

// Shows a panel in the dashboard: its address and image name, or for a module panel its kind
// and module name, and its mode. A null panel only clears what is shown.
void show_panel_info(INFO_DASH& info, OBJET* panel);
// The same for a control of the panel under the pointer: a knob (or the sequencer's tempo
// buttons) shows what it reads, with its unit, in place of the kind, and keeps it up to date.
void show_item_info(INFO_DASH& info, OBJET* panel, SPRITE* item);
// Hover lost: nothing is shown any more, the texts stay.
void clear_panel_info(INFO_DASH& info);
// A patch was loaded: nothing is shown and the texts, which may name a module of the patch
// before, are emptied.
void forget_panel_info(INFO_DASH& info);

// Longest text whose label box, size x characters / 2, still fits a 32-bit integer.
size_t label_text_limit(int size);
// Copies text into a label, cut to what its box and its array can hold.
void set_label_text(LABEL& label, const char* text);
