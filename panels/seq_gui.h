// The panel of a step sequencer: 32 step columns (volume and length knobs, note and octave
// digits with their buttons, a mute button and a lamp), patterns, tempo and step count.
#pragma once
#include "engine/sequencer.h"
#include "panels/module_panel.h"

class SEQ_GUI : public MODULE_PANEL {
  public:
    int32_t step_count = 32;
    SEQUENCER* module;

    // The items are made now, or at their first use when `items_now` is false.
    SEQ_GUI(const char* number, SEQUENCER* sequencer, bool items_now = true);
    ~SEQ_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }

    // Shows step i (from 0) of the playing pattern: knobs, labels, digits and mute button.
    void refresh_step(int i);
    void refresh_steps();
    // Lights the lamp of the sequencer's step and darkens the others.
    void show_lamps();

  private:
    void add_step_column(int u);
    void show_digits(const char* item_format, int n, int set, int32_t v);
    // Step n's note display: the name of the note it plays, grey past the pattern's end.
    void show_note(int n, bool active, int32_t note, int32_t octave);
    void show_dividers();
    void handle_release(const MESSAGE& m);
    void handle_knob(const MESSAGE& m);

  protected:
    void build() override;
};
