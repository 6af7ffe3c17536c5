// The panel of a computer-keyboard note source: power, the octave played and the held key lit.
#pragma once
#include <climits>

#include "engine/keyboard.h"
#include "panels/module_panel.h"

// Where the lamp of a held key stands on the panel's printed keyboard (two octaves of 14 white
// keys from C, 8 to 104 pixels across, 70 to 83 down): the centre in panel pixels and the scale
// of the 8-pixel lamp. `key` counts semitones from 1 (C of the keyboard's octave); a key beyond
// the two octaves lights its note name in the first.
struct KEY_SPOT {
    float cx, cy, scale;
};
KEY_SPOT key_spot(int32_t key);

class KEYBOARD_GUI : public MODULE_PANEL {
  public:
    KEYBOARD* module;

    // The items are made now, or at their first use when `items_now` is false.
    KEYBOARD_GUI(const char* number, KEYBOARD* keyboard, bool items_now = true);
    ~KEYBOARD_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }
    bool lamp_out_of_date() const override;

  private:
    // The octave digit and the name of the note the keyboard plays.
    void show_octave();
    int32_t shown_key = -1, shown_octave = -1;
    // The key whose lamp is lit, NO_KEY for none.
    static constexpr int32_t NO_KEY = INT32_MIN;
    int32_t lit_key() const;
    void show_lit_key();
    int32_t shown_lit = NO_KEY;

  protected:
    void build() override;
};
