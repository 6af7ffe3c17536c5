// tessaro-gallery OUT.png: opens the window, draws one of every toolkit thing (each registry
// image, buttons, knobs, labels in both fonts, a folded and an unfolded panel read from a
// layout file, a cable with its plugs) and writes a screenshot of it.
#include "png_writer.h"
#include "toolkit/font.h"
#include "toolkit/items.h"
#include "toolkit/video.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libGLX\nleak:libGL\nleak:libX11\nleak:libxcb\nleak:libSDL\nleak:swrast\nleak:libgallium\n"
           "leak:libLLVM\nleak:libglapi\nleak:dri\n";
}

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;
const char* const FONT_FILE = "Fonts/04B_03B_.TTF";
const char* const FRONT_LAYOUT = "RC/GALLERY.RC";
const char* const BACK_LAYOUT = "RC/BACK_GALLERY.RC";
constexpr uint32_t INK = 0xE8E0C8;

int image_width(const char* name) {
    int i = sprite_registry->index_of_image(name);
    return i < 0 ? 0 : sprite_registry->widths[i];
}

int image_height(const char* name) {
    int i = sprite_registry->index_of_image(name);
    return i < 0 ? 0 : sprite_registry->heights[i];
}

bool registered(const char* name) {
    return sprite_registry->index_of_image(name) >= 0;
}

// Posts a named message as the frame loop does for the pointer over an item or a knob step.
void send(OBJET& panel, SPRITE* target, const char* text, int times = 1) {
    for (int i = 0; i < times; ++i)
        post(panel, make_named_message(nullptr, 0, text, target));
}

void click(OBJET& panel, SPRITE* target) {
    post(panel, make_event_message(EVENT_MOUSE_DOWN, target));
    post(panel, make_event_message(EVENT_MOUSE_UP, target));
}

template <typename T> T* add(OBJET& panel, T* item, const char* name, int x, int y) {
    char full[ITEM_NAME_SIZE];
    if (std::snprintf(full, sizeof full, "%s_%s", panel.prefix, name) >= ITEM_NAME_SIZE)
        full[ITEM_NAME_SIZE - 1] = 0;
    item->set_name(full);
    item->set_position(static_cast<float>(x), static_cast<float>(y), 0);
    panel.current->push_back(item);
    return item;
}

void caption(OBJET& panel, const char* text, int x, int y, uint32_t colour = INK) {
    add(panel, new LABEL(text, x, y, 0, 8, static_cast<int>(colour)), "LABEL_CAPTION", x, y);
}

// The strip of controls: buttons off, on and hovered, knobs at several angles, digits,
// lamps and step buttons, labels in several colours.
void build_controls(OBJET& strip) {
    const int top = 22;
    caption(strip, "BUTTONS", 10, 8);
    const char* states[3] = {"OFF", "ON", "HOVER"};
    for (int i = 0; i < 3; ++i) {
        auto* power =
            add(strip, new BUTTON("POWER", "POWER_ON", "0", "POWER_OFF"), "POWER", 12 + 26 * i, top + 4);
        auto* load = add(strip, new BUTTON("LOAD", "SYSBTN_5", "SYSBTN_5", "SYSBTN_1"), "BUTTON_LOAD",
                         92 + 72 * i, top);
        if (i == 1) {
            click(strip, power);
            click(strip, load);
        }
        if (i == 2) {
            send(strip, power, "TOUCH_IN");
            send(strip, load, "TOUCH_IN");
        }
        caption(strip, states[i], 108 + 72 * i, top + 28);
    }

    caption(strip, "KNOBS", 330, 8);
    const int angles[5] = {-135, -45, 0, 45, 135};
    for (int i = 0; i < 5; ++i) {
        auto* k = add(strip, new SLIDER("SLD", "SLD"), "SLD_DEMO", 332 + 26 * i, top + 4);
        send(strip, k, angles[i] >= 0 ? "SLD_DOWN" : "SLD_UP", std::abs(angles[i]));
    }
    auto* m = add(strip, new SLIDER("SLD", "KNOB_M"), "SLD_M", 466, top);
    send(strip, m, "SLD_DOWN", 90);
    auto* l = add(strip, new SLIDER("SLD", "KNOB_L"), "SLD_L", 498, top - 4);
    send(strip, l, "SLD_UP", 60);
    caption(strip, "-135  -45   0   45  135   90  -60", 330, top + 28);

    caption(strip, "DIGITS, LAMPS, STEPS", 548, 8);
    for (int k = 0; k <= 10; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "LED_NUMERIC_1_%d", k);
        add(strip, new SPRITE(name, 0, 0), "DIGIT", 550 + 10 * k, top);
        std::snprintf(name, sizeof name, "LED_NUMERIC_2_%d", k);
        add(strip, new SPRITE(name, 0, 0), "DIGIT", 550 + 10 * k, top + 20);
    }
    for (int set = 1; set <= 2; ++set) {
        for (int lit = 0; lit <= 1; ++lit) {
            char name[32];
            std::snprintf(name, sizeof name, "LAMP_LED_%d_%d", set, lit);
            auto* lamp = add(strip, new SPRITE(name, 0, 0), "LAMP", 666 + 14 * lit, top + 4 + 20 * (set - 1));
            std::snprintf(lamp->mask, sizeof lamp->mask, "LAMP_LED_%d_MASK", set);
        }
    }
    for (int i = 0; i < 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "BUTTONSTYLEA_%d", i);
        add(strip, new BUTTON("UP", name, "0", name), "BUTTON_UP", 702 + 12 * i, top + 4);
        std::snprintf(name, sizeof name, "BUTTONSTYLEB_%d", i);
        add(strip, new BUTTON("DOWN", name, "0", name), "BUTTON_DOWN", 702 + 12 * i, top + 24);
    }
    for (int i = 0; i < 4; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "PATTERN_%d", i + (i % 2 ? 8 : 0));
        add(strip, new BUTTON("PATTERN", name, "0", name), "BUTTON_PATTERN", 746 + 16 * i, top + 2);
        std::snprintf(name, sizeof name, "ARROW_%d", i);
        add(strip, new BUTTON("ARROW", name, "0", name), "BUTTON_ARROW", 746 + 16 * i, top + 22);
    }

    caption(strip, "LABELS", 830, 8);
    caption(strip, "SMALL FONT 0123456789", 830, top + 2, 0xFFD040);
    caption(strip, "440.000 Hz  -3.5 dB", 830, top + 14, 0x60E0FF);
    caption(strip, "lower case too", 830, top + 26, 0xFF7060);
}

// A module panel read from layout files at (0, 0), as panels are built, then moved.
OBJET* layout_panel(const char* prefix, int x, int y, const char* name) {
    auto* panel = new OBJET(0, 0, prefix);
    panel->set_image("GALLERY_PANEL");
    panel->current = &panel->back;
    load_layout(*panel, BACK_LAYOUT);
    panel->current = &panel->front;
    load_layout(*panel, FRONT_LAYOUT);
    if (auto* label = dynamic_cast<LABEL*>(find(*panel, "label_NAME")))
        std::snprintf(label->text, sizeof label->text, "%s", name);
    panel->set_position(static_cast<float>(x), static_cast<float>(y), 0);
    return panel;
}

// The world position of a jack's centre on a panel's back side.
std::pair<int, int> jack_centre(OBJET& panel, const char* jack) {
    SPRITE* j = find(panel, jack);
    if (!j) return {static_cast<int>(panel.x), static_cast<int>(panel.y)};
    j->update();
    return {static_cast<int>(panel.x + j->x + j->w / 2), static_cast<int>(panel.y + j->y + j->h / 2)};
}

// A cable with a plug centred on each end, the plugs above their cable.
void draw_cable(std::pair<int, int> from, std::pair<int, int> to) {
    draw_cable_curve(from.first, from.second, to.first, to.second);
    for (auto [x, y] : {from, to}) {
        SPRITE plug("FICHE_PLUG", 0, 0);
        std::snprintf(plug.mask, sizeof plug.mask, "FICHE_PLUG_MASK");
        plug.set_position(static_cast<float>(x - image_width("FICHE_PLUG") / 2),
                          static_cast<float>(y - image_height("FICHE_PLUG") / 2), 0);
        plug.draw();
    }
}

// The mask an image is drawn with: its own "_MASK", or its family's (POWER_ON and POWER_OFF
// share POWER_MASK, the tiles of LAMP_LED_1 share LAMP_LED_1_MASK).
void mask_for(const char* name, char* out, int size) {
    if (std::snprintf(out, size, "%s_MASK", name) < size && registered(out)) return;
    derive_button_mask(name, out, size);
    if (!registered(out)) out[0] = '\0';
}

bool is_mask(const char* name) {
    size_t n = std::strlen(name);
    return n > 5 && std::strcmp(name + n - 5, "_MASK") == 0;
}

// Every image of the registry in cells, shrunk where it is larger. Masks are shown at work:
// cutting their image in, or, for a face plate, multiplying its shadow under it.
void draw_contact_sheet(int top, int bottom) {
    std::vector<int> shown;
    for (int i = 0; i < sprite_registry->count; ++i)
        if (!is_mask(sprite_registry->names[i])) shown.push_back(i);
    if (shown.empty()) return;
    int cell = 96, per_row = 1;
    for (; cell > 16; cell -= 2) {
        per_row = (WIDTH - 20) / cell;
        int rows = (static_cast<int>(shown.size()) + per_row - 1) / per_row;
        if (top + rows * cell <= bottom) break;
    }
    int left = (WIDTH - per_row * cell) / 2;
    for (size_t n = 0; n < shown.size(); ++n) {
        const char* name = sprite_registry->names[shown[n]];
        int w = sprite_registry->widths[shown[n]], h = sprite_registry->heights[shown[n]];
        if (w <= 0 || h <= 0) continue;
        float scale = std::min(1.0f, static_cast<float>(cell - 6) / static_cast<float>(std::max(w, h)));
        int x = left + static_cast<int>(n % per_row) * cell + cell / 2 - w / 2;
        int y = top + static_cast<int>(n / per_row) * cell + cell / 2 - h / 2;
        char shadow[ITEM_NAME_SIZE];
        if (std::snprintf(shadow, sizeof shadow, "%s_FOND_MASK", name) < ITEM_NAME_SIZE &&
            registered(shadow)) {
            SPRITE under(shadow, x, y, 0, 0, 1, scale);
            under.draw();
        }
        SPRITE s(name, x, y, 0, 0, 0, scale);
        mask_for(name, s.mask, sizeof s.mask);
        s.draw();
    }
}

void draw_background() {
    int w = image_width("FOND_ELECTRO"), h = image_height("FOND_ELECTRO");
    if (w <= 0 || h <= 0) return;
    SPRITE back("FOND_ELECTRO", 0, 0);
    for (int r = 0; r * h < HEIGHT; ++r) {
        for (int c = 0; c * w < WIDTH; ++c) {
            back.set_position(static_cast<float>(c * w), static_cast<float>(r * h), 0);
            back.draw();
        }
    }
}

// The frame read back from the window, rows from the top.
std::vector<uint8_t> read_frame() {
    std::vector<uint8_t> bottom_up(static_cast<size_t>(WIDTH) * HEIGHT * 3), rows(bottom_up.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, bottom_up.data());
    size_t row = static_cast<size_t>(WIDTH) * 3;
    for (int y = 0; y < HEIGHT; ++y)
        std::memcpy(&rows[static_cast<size_t>(y) * row],
                    &bottom_up[static_cast<size_t>(HEIGHT - 1 - y) * row], row);
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaro-gallery OUT.png\n");
        return 2;
    }
    init_video(WIDTH, HEIGHT, "grfx/opengl.zim");
    SDL_WM_SetCaption("tessaro gallery", nullptr);
    try {
        load_font(small_font, FONT_FILE, 6);
        load_font(large_font, FONT_FILE, 12);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    std::unique_ptr<OBJET> front(layout_panel("1", 10, 96, "VCO_FRONT"));
    std::unique_ptr<OBJET> folded(layout_panel("2", 228, 96, "VCO_FOLDED"));
    folded->set_mode(0);
    std::unique_ptr<OBJET> rear_a(layout_panel("3", 346, 96, "VCO_A"));
    rear_a->set_mode(MODE_BACK);
    std::unique_ptr<OBJET> rear_b(layout_panel("4", 564, 96, "VCO_B"));
    rear_b->set_mode(MODE_BACK);
    // A few knob turns and a click, delivered the way the frame loop delivers them.
    send(*front, find(*front, "SLD_FREQUENCE"), "SLD_DOWN", 120);
    send(*front, find(*front, "SLD_PHASE"), "SLD_UP", 90);
    click(*front, find(*front, "POWER"));
    OBJET strip(0, 0, "5");
    strip.set_image("GALLERY_STRIP");
    build_controls(strip);
    std::vector<OBJET*> panels{front.get(), folded.get(), rear_a.get(), rear_b.get()};
    std::vector<OBJET*> dashboards{&strip};

    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    begin_2d(0, 0, WIDTH, HEIGHT);
    glColor3ub(255, 255, 255);
    draw_background();
    draw_panels(panels, 0, 0);
    draw_dashboards(dashboards);
    draw_contact_sheet(270, HEIGHT - 6);
    draw_cable(jack_centre(*rear_a, "OUTPUT"), jack_centre(*rear_b, "INPUT"));
    draw_cable(jack_centre(*rear_b, "OUTPUT"), jack_centre(*rear_b, "INPUT_MOD_FREQ"));
    glColor3ub(0xFF, 0xD0, 0x40);
    print_text(large_font, 790, static_cast<float>(HEIGHT - 120), "TESSARO");
    glColor3ub(0xE8, 0xE0, 0xC8);
    print_text(large_font, 790, static_cast<float>(HEIGHT - 146), "toolkit gallery");
    print_text(small_font, 790, static_cast<float>(HEIGHT - 170), "large and small font\nsecond line");
    glColor3ub(255, 255, 255);
    end_2d();
    glFinish();

    std::vector<uint8_t> rows = read_frame();
    SDL_GL_SwapBuffers();
    if (!write_png(argv[1], WIDTH, HEIGHT, rows.data())) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("gallery written to %s\n", argv[1]);
    return 0;
}
