// A panel: an item owning lists of items drawn relative to it, receiving the user's input as
// message records that it hands on to the buttons and knobs they target.
#pragma once
#include "toolkit/message.h"
#include "toolkit/sprite.h"

#include <vector>

constexpr int PANEL_TEXT_SIZE = 800;

// Display modes of a panel.
constexpr uint32_t MODE_FRONT = 1;
constexpr uint32_t MODE_FOLDED = 2;
constexpr uint32_t MODE_BACK = 4;

using ITEM_LIST = std::vector<SPRITE*>;

class OBJET : public SPRITE {
  public:
    SPRITE* last_visited = nullptr;
    char prefix[PANEL_TEXT_SIZE] = {};
    char layout_path[PANEL_TEXT_SIZE] = {};
    uint32_t mode = MODE_FRONT;
    std::vector<MESSAGE> messages;
    ITEM_LIST* current;
    ITEM_LIST front;
    ITEM_LIST back;
    ITEM_LIST spare; // never filled
    // A panel may leave its items to be made when first needed (a patch of thousands of modules
    // shows a few dozen panels at a time). Until then its lists are empty and its size is that
    // of the backgrounds its layouts will give each side, in pixels.
    bool items_made = true;
    int16_t front_w = 0, front_h = 0, back_w = 0, back_h = 0;

    // A null prefix ends the process with status 1.
    OBJET(int px, int py, const char* prefix_text);
    // The panel owns the items of its lists and releases them with itself.
    ~OBJET() override;
    OBJET(const OBJET&) = delete;
    OBJET& operator=(const OBJET&) = delete;

    // Hands the queued records to their buttons and knobs, draws when that changed something.
    int update() override;
    // 0 folds or unfolds, 1 and 2 show the front, 4 the back; then resizes and redraws.
    virtual int set_mode(uint32_t new_mode);

    // Makes the items a panel left for later; nothing once they exist. Lookups, hit tests,
    // drawing and layout writing call it, so no caller sees a panel without its items.
    virtual void make_items() {}

    void draw();
};

// The name an item has inside its panel: without the panel number (any run of digits) and its '_'.
// A name without such a prefix is returned whole.
const char* skip_prefix(const char* name);

// The last item of the current list whose name without prefix is `name`, or null.
SPRITE* find(OBJET& panel, const char* name);
// The same among items whose name contains "BUTTON".
SPRITE* find_button(OBJET& panel, const char* name);
// Position of the item counted from the last (0), skipping "BACK" items; 0 when absent.
int index_of(OBJET& panel, const SPRITE* item);
// The topmost control under a point given in panel placement coordinates: never a label, nor
// an item whose name contains "BACK" or "FOND". Null when none.
SPRITE* item_at(OBJET& panel, float px, float py);
void mark_all(OBJET& panel, int32_t value);
void post(OBJET& panel, const MESSAGE& record);
// The panel's size: its "IMAGE_FOND" image size (or its own), halved when folded.
void fit_to_background(OBJET& panel);
