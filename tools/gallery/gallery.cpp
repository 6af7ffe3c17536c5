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
#include <cstring>
#include <exception>
#include <vector>

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libGLX\nleak:libGL\nleak:libX11\nleak:libxcb\nleak:libSDL\nleak:swrast\nleak:libgallium\n"
           "leak:libLLVM\nleak:libglapi\nleak:dri\n";
}

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;
const char* const FONT_FILE = "Fonts/04B_03B_.TTF";
const char* const LAYOUT_FILE = "RC/GALLERY.RC";

int image_width(const char* name) {
    int i = sprite_registry->index_of_image(name);
    return i < 0 ? 0 : sprite_registry->widths[i];
}

int image_height(const char* name) {
    int i = sprite_registry->index_of_image(name);
    return i < 0 ? 0 : sprite_registry->heights[i];
}

// Posts a message as the frame loop does for the pointer over, pressing or turning an item.
void send(OBJET& panel, SPRITE* target, const char* text, int times = 1) {
    for (int i = 0; i < times; ++i)
        post(panel, make_named_message(nullptr, 0, text, target));
}

void release(OBJET& panel, SPRITE* target) {
    post(panel, make_event_message(EVENT_MOUSE_DOWN, target));
    post(panel, make_event_message(EVENT_MOUSE_UP, target));
}

template <typename T> T* add(OBJET& panel, T* item, const char* name) {
    char full[ITEM_NAME_SIZE];
    if (std::snprintf(full, sizeof full, "%s_%s", panel.prefix, name) >= ITEM_NAME_SIZE)
        full[ITEM_NAME_SIZE - 1] = 0;
    item->set_name(full);
    panel.current->push_back(item);
    return item;
}

LABEL* caption(OBJET& panel, const char* text, int x, int y, int colour = 0xE8E0C8) {
    auto* l = add(panel, new LABEL(text, x, y, 0, 8, colour), "LABEL_CAPTION");
    l->set_position(static_cast<float>(x), static_cast<float>(y), 0);
    return l;
}

// The controls strip: buttons off, on and hovered, knobs at several angles, labels.
void build_controls(OBJET& strip) {
    const int top = 18;
    const char* states[3] = {"OFF", "ON", "HOVER"};
    for (int i = 0; i < 3; ++i) {
        auto* b = add(strip, new BUTTON("BUTTON", "CHK_4_ON", "LAMP_LED_1_1", "CHK_4_OFF"), "BUTTON_DEMO");
        b->set_position(static_cast<float>(10 + 50 * i), top, 0);
        if (i == 1) release(strip, b);
        if (i == 2) send(strip, b, "TOUCH_IN");
        caption(strip, states[i], 8 + 50 * i, top + 36);
    }
    const int angles[6] = {-135, -90, 0, 45, 90, 135};
    for (int i = 0; i < 6; ++i) {
        auto* k = add(strip, new SLIDER("SLD", "SLD"), "SLD_DEMO");
        k->set_position(static_cast<float>(170 + 46 * i), top, 0);
        send(strip, k, angles[i] >= 0 ? "SLD_DOWN" : "SLD_UP", angles[i] >= 0 ? angles[i] : -angles[i]);
        char text[16];
        std::snprintf(text, sizeof text, "%d", angles[i]);
        caption(strip, text, 176 + 46 * i, top + 36);
    }
    for (int k = 0; k <= 10; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "LED_NUMERIC_1_%d", k);
        add(strip, new SPRITE(name, 460 + 14 * k, top), "DIGIT");
        std::snprintf(name, sizeof name, "LED_NUMERIC_2_%d", k);
        add(strip, new SPRITE(name, 460 + 14 * k, top + 24), "DIGIT");
    }
    add(strip, new SPRITE("BUTTONSTYLEA_0", 625, top), "ARROW");
    add(strip, new SPRITE("BUTTONSTYLEB_0", 625, top + 24), "ARROW");
    add(strip, new SPRITE("LAMP_LED_1_0", 660, top), "LAMP");
    add(strip, new SPRITE("LAMP_LED_1_1", 680, top), "LAMP");
    add(strip, new SPRITE("LAMP_LED_2_0", 660, top + 24), "LAMP");
    add(strip, new SPRITE("LAMP_LED_2_1", 680, top + 24), "LAMP");
    caption(strip, "SMALL FONT 0123456789", 710, top + 4, 0xFFD040);
    caption(strip, "label colours", 710, top + 16, 0x60E0FF);
}

// Every image of the registry in cells, shrunk to fit where it is larger.
void draw_contact_sheet(int top, int bottom) {
    int n = sprite_registry->count;
    if (n == 0) return;
    int cell = 48;
    while (cell > 16) {
        int per_row = (WIDTH - 20) / cell;
        int rows = (n + per_row - 1) / per_row;
        if (top + rows * cell <= bottom) break;
        cell -= 2;
    }
    int per_row = (WIDTH - 20) / cell;
    for (int i = 0; i < n; ++i) {
        const char* name = sprite_registry->names[i];
        int w = image_width(name), h = image_height(name);
        if (w <= 0 || h <= 0) continue;
        float scale = std::min(1.0f, static_cast<float>(cell - 4) / static_cast<float>(std::max(w, h)));
        int cx = 10 + (i % per_row) * cell + cell / 2, cy = top + (i / per_row) * cell + cell / 2;
        SPRITE s(name, cx - w / 2, cy - h / 2);
        s.scale = scale;
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

// A cable between two points with a plug sprite (and its mask) at each end.
void draw_cable(int x1, int y1, int x2, int y2) {
    draw_cable_curve(x1, y1, x2, y2);
    for (auto [x, y] : {std::pair<int, int>{x1, y1}, {x2, y2}}) {
        SPRITE plug("FICHE_PLUG", 0, 0);
        std::snprintf(plug.mask, sizeof plug.mask, "FICHE_PLUG_MASK");
        int w = image_width("FICHE_PLUG"), h = image_height("FICHE_PLUG");
        plug.set_position(static_cast<float>(x - w / 2), static_cast<float>(y + 15 - h / 2), 0);
        plug.draw();
    }
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

    OBJET front(10, 90, "1");
    front.set_image("GALLERY_PANEL");
    load_layout(front, LAYOUT_FILE);
    OBJET folded(0, 90, "2");
    folded.set_image("GALLERY_PANEL");
    load_layout(folded, LAYOUT_FILE);
    folded.set_x(front.x + front.w + 20);
    folded.set_mode(0);
    OBJET strip(0, 0, "3");
    strip.set_image("GALLERY_STRIP");
    build_controls(strip);
    std::vector<OBJET*> panels{&front, &folded, &strip};

    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    begin_2d(0, 0, WIDTH, HEIGHT);
    glColor3ub(255, 255, 255);
    draw_background();
    draw_panels(panels, 0, 0);
    int panels_bottom = static_cast<int>(front.y + front.h);
    int cable_x = static_cast<int>(folded.x + folded.w) + 40;
    draw_cable(cable_x, 120, cable_x + 220, 150);
    print_text(large_font, static_cast<float>(cable_x), static_cast<float>(HEIGHT - panels_bottom + 20), "%s",
               "TESSARO - LARGE FONT");
    draw_contact_sheet(std::max(panels_bottom, 260) + 10, HEIGHT - 8);
    end_2d();
    glFinish();

    std::vector<uint8_t> bottom_up(static_cast<size_t>(WIDTH) * HEIGHT * 3), rows(bottom_up.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, bottom_up.data());
    for (int y = 0; y < HEIGHT; ++y)
        std::memcpy(&rows[static_cast<size_t>(y) * WIDTH * 3],
                    &bottom_up[static_cast<size_t>(HEIGHT - 1 - y) * WIDTH * 3],
                    static_cast<size_t>(WIDTH) * 3);
    SDL_GL_SwapBuffers();
    if (!write_png(argv[1], WIDTH, HEIGHT, rows.data())) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("gallery written to %s\n", argv[1]);
    return 0;
}
