// The panel of a computer-keyboard note source: power and the octave played.
#pragma once
#include "engine/keyboard.h"
#include "panels/module_panel.h"

class KEYBOARD_GUI : public MODULE_PANEL {
  public:
    KEYBOARD* module;

    KEYBOARD_GUI(const char* number, KEYBOARD* keyboard);
    ~KEYBOARD_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }

  private:
    // The octave digit and the name of the note the keyboard plays.
    void show_octave();
    int32_t shown_key = -1, shown_octave = -1;
};
