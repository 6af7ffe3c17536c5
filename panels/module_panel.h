// The common part of the module panels: kind, layouts, checked item lookups, and the reading
// of the message records that the panels' handlers act on.
#pragma once
#include "engine/module_kinds.h"
#include "toolkit/items.h"

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

// The background sizes of a kind's front and back layouts, in pixels; `known` is false when a
// layout or its background image cannot be found.
struct SIDE_SIZES {
    bool known = false;
    int16_t front_w = 0, front_h = 0, back_w = 0, back_h = 0;
};
SIDE_SIZES kind_side_sizes(MODULE_KIND kind);

class MODULE_PANEL : public OBJET {
  public:
    const MODULE_KIND kind;
    // The module the panel edits, as the kinds table's access functions take it.
    void* const edited_module;

    // Built at (0, 0) with the panel number as prefix; the caller places it afterwards.
    MODULE_PANEL(MODULE_KIND module_kind, const char* number, void* module);
    ~MODULE_PANEL() override;

    // The name of the module the panel edits.
    virtual const char* module_name() const = 0;

    // Makes the items a panel left for later (see `leave_items_for_later`), as they would have
    // been made at construction: at (0, 0) on the front side from the module's values now. The
    // panel then goes back to its place and side; the records queued meanwhile still wait.
    void make_items() override;
    // Leaves the items of a panel that has none yet to its first use, giving it the size its
    // layouts' backgrounds will have. False, and the items are made now, when a layout or its
    // background image cannot be found.
    bool leave_items_for_later(const SIDE_SIZES& sizes);
    // True when a lamp that follows the sound (a held key, a playing sample) shows other than
    // the module now does: the frame loop then draws a frame without waiting for an event.
    virtual bool lamp_out_of_date() const { return false; }

    // Items of the current list by name without prefix. A missing item (or one of another
    // class) is reported on the console, once per name and panel, and null is returned.
    SPRITE* item(const char* name);
    LABEL* label(const char* name);
    BUTTON* button(const char* name);
    SLIDER* knob(const char* name);

    // Sets a label's text, printf-style; nothing when the label is missing.
    void set_label(const char* name, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // Shows an image on a display sprite and marks it for drawing.
    void show_image(const char* name, const char* image_name);
    // Gives a button a state and the image that shows it.
    void show_state(BUTTON* b, int32_t state);
    // The same for a button that toggles itself on each release still waiting for it: it is
    // set so that it shows `state` once it has taken them.
    void show_state_after_releases(BUTTON* b, int32_t state);

    // Appends a generated item to the front list, named by `format` from the prefix and n.
    template <class T> T* add_item(T* item, const char* format, int n) {
        char full[PANEL_TEXT_SIZE + 32];
        std::snprintf(full, sizeof full, format, prefix, n);
        item->set_name(full);
        front.push_back(item);
        return item;
    }

  protected:
    // Makes the items: layouts, generated controls, values shown from the module.
    virtual void build() = 0;
    // Constructors end here: the items are made now unless the builder asked for later.
    void finish_construction(bool items_now);
    // Sets the panel's image name and reads the kind's back layout, then its front layout,
    // leaving the front list current. A kind without layouts gets none.
    void load_layouts();
    void report_missing(const char* name, const char* wanted);

  private:
    std::set<std::string> reported;
};

// True when a panel in the view at (view_x, view_y) has a lamp out of date.
bool lamps_out_of_date(const std::vector<OBJET*>& panels, int view_x, int view_y);

// A release of the mouse button on the record's target.
bool is_release(const MESSAGE& m);
// A knob step ("SLD_DOWN" or "SLD_UP") on a knob whose name holds `word`.
bool is_knob_step(const MESSAGE& m, const char* word);
// True for "SLD_DOWN": the knob turned forward.
bool is_sld_down(const MESSAGE& m);
// The target's full name, "" for none.
const char* target_name(const MESSAGE& m);

// How many releases wait for a button, in the panel's records and in its own queue.
int pending_releases(const OBJET& panel, const BUTTON& b);
// The state a button will have once it has taken every release now waiting for it, in the
// panel's records and in its own queue. Handlers run before the button takes its releases,
// so this is the state the user sees after the click.
int32_t state_after_releases(const OBJET& panel, const BUTTON& b);

// The number n when `bare` is exactly head + n + tail (n decimal), else -1.
int numbered_name(const char* bare, const char* head, const char* tail);

// A float parameter as a whole knob angle, kept inside the integer range.
int32_t knob_angle(float v);
