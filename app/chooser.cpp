// The patch chooser screen: its own rows, hit-tested here, over the layout RC/LOAD.RC.
#include "app/chooser.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/frame_pacer.h"
#include "app/info_dash.h"
#include "app/panel_view.h"
#include "app/patch_folders.h"
#include "app/screen.h"
#include "app/startup.h"
#include "engine/verbose.h"
#include "platform/console.h"
#include "remote/remote_server.h"
#include "toolkit/label.h"
#include "toolkit/layout.h"
#include "toolkit/message.h"
#include "toolkit/objet.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/video.h"

int shown_rows(int count) {
    return count < 0 ? 0 : std::min(count, CHOOSER_ROWS);
}

int scrolled_top(int top, int mode, int count) {
    if (mode == SCROLL_DOWN) ++top;
    if (mode == SCROLL_UP) --top;
    const int last = std::max(0, count - CHOOSER_ROWS);
    return std::max(0, std::min(top, last));
}

int chooser_row_at(int x, int y, int rows) {
    if (x < CHOOSER_ROW_X || x > CHOOSER_ROW_X + CHOOSER_ROW_WIDTH) return -1;
    const int from_first = y - (CHOOSER_ROW_Y - CHOOSER_ROW_ABOVE);
    if (from_first < 0) return -1;
    const int row = from_first / CHOOSER_ROW_STEP;
    return row < rows ? row : -1;
}

std::string chooser_row_text(const std::string& name) {
    char text[LABEL_TEXT_SIZE];
    std::snprintf(text, sizeof text, "%*s", CHOOSER_NAME_WIDTH, name.c_str());
    return text;
}

namespace {

// The screen: the layout's background and scroll buttons, then one label per shown row.
struct CHOOSER_SCREEN {
    SCREEN& screen;
    std::vector<PATCH_CHOICE> choices;
    std::vector<std::string> names;
    OBJET* panel = nullptr;
    std::vector<LABEL*> rows; // owned by the panel
    std::vector<OBJET*> list;
    int top = 0;
    int scroll = SCROLL_NONE;
    int hovered = -1;
    int selected = -1;

    explicit CHOOSER_SCREEN(SCREEN& s) : screen(s) {
        verbose_printf("LOAD KVX\n");
        choices = patch_choices();
        for (const PATCH_CHOICE& c : choices) names.push_back(c.name);
        panel = new OBJET(0, 0, CHOOSER_PREFIX);
        load_layout(*panel, CHOOSER_LAYOUT);
        verbose_printf("LOAD KVX-5\n");
        // Said at once: the screen is up from here on, whoever reads the console.
        std::fflush(stdout);
        for (int r = 0; r < shown_rows(static_cast<int>(names.size())); ++r) {
            auto* label = new LABEL("", CHOOSER_ROW_X, CHOOSER_ROW_Y + CHOOSER_ROW_STEP * r, 0,
                                    CHOOSER_ROW_SIZE, static_cast<int>(CHOOSER_ROW_COLOUR));
            panel->front.push_back(label);
            rows.push_back(label);
        }
        list.push_back(panel);
        fill_rows();
    }
    ~CHOOSER_SCREEN() { delete panel; }
    CHOOSER_SCREEN(const CHOOSER_SCREEN&) = delete;
    CHOOSER_SCREEN& operator=(const CHOOSER_SCREEN&) = delete;

    // The panel stays at the window's top left whatever the world's scroll offset, and
    // unfolded, whatever a middle click did to it.
    void place() {
        panel->set_position(static_cast<float>(scroll_x), static_cast<float>(scroll_y), 0);
        if (panel->mode != MODE_FRONT) panel->set_mode(MODE_FRONT);
    }

    int row_under(int window_x, int window_y) const {
        if (item_at(*panel, static_cast<float>(window_x + scroll_x), static_cast<float>(window_y + scroll_y)))
            return -1; // a scroll button
        return chooser_row_at(window_x, window_y, static_cast<int>(rows.size()));
    }

    void fill_rows() {
        for (size_t r = 0; r < rows.size(); ++r) {
            const size_t i = static_cast<size_t>(top) + r;
            set_label_text(*rows[r], i < names.size() ? chooser_row_text(names[i]).c_str() : "");
            rows[r]->color =
                static_cast<int>(static_cast<int>(r) == hovered ? CHOOSER_HOVER_COLOUR : CHOOSER_ROW_COLOUR);
            rows[r]->dirty = 1;
        }
    }

    void hover(int row) {
        if (row == hovered) return;
        if (hovered >= 0) verbose_printf("TOUCH_OUT\n");
        hovered = row;
        if (row >= 0) verbose_printf("NR[%d]\nTOUCH_IN\n", top + row);
    }

    // The scroll buttons' presses and releases, newest first; the buttons never see them.
    void take_messages() {
        while (!panel->messages.empty()) {
            const MESSAGE m = panel->messages.back();
            panel->messages.pop_back();
            if (m.kind != 1 || !m.target) continue;
            const char* name = m.target->name;
            const bool down = std::strstr(name, "BUTTON_OCT_DOWN") != nullptr;
            const bool up = std::strstr(name, "BUTTON_OCT_UP") != nullptr;
            if (!down && !up) continue;
            if (m.event_type() == EVENT_MOUSE_DOWN) scroll = down ? SCROLL_DOWN : SCROLL_UP;
            if (m.event_type() == EVENT_MOUSE_UP) scroll = SCROLL_NONE;
        }
    }

    // One batch of window events; a click on a row ends it, the rest being meant for this
    // screen that is about to go.
    void events() {
        SDL_Event e;
        while (selected < 0 && screen.running && SDL_PollEvent(&e)) {
            panel_view_event(screen, list, e);
            if (e.type == SDL_MOUSEMOTION) hover(row_under(e.motion.x, e.motion.y));
            if (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT) {
                const int row = row_under(e.button.x, e.button.y);
                if (row >= 0) selected = top + row;
            }
        }
        if (server_socket) accept_remote_client(server_socket);
    }

    void draw() {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3ub(255, 255, 255);
        begin_2d(0, 0, VIEW_WIDTH, VIEW_HEIGHT);
        draw_panels(list, scroll_x, scroll_y);
        end_2d();
        SDL_GL_SwapBuffers();
    }

    void run() {
        FRAME_PACER pacer(std::chrono::microseconds(1000000 / FRAMES_PER_SECOND));
        while (screen.running && selected < 0) {
            place();
            events();
            take_messages();
            top = scrolled_top(top, scroll, static_cast<int>(names.size()));
            fill_rows();
            if (selected >= 0) break;
            draw();
            pacer.wait();
        }
    }
};

} // namespace

std::string choose_patch(SCREEN& screen) {
    screen.chooser_open = 1;
    reset_interaction(screen);
    PATCH_CHOICE chosen;
    {
        CHOOSER_SCREEN chooser(screen);
        chooser.run();
        if (chooser.selected >= 0 && chooser.selected < static_cast<int>(chooser.names.size()))
            chosen = chooser.choices[static_cast<size_t>(chooser.selected)];
    }
    // The pointer's state and the information dashboard may name the screen just freed.
    reset_interaction(screen);
    if (screen.info_dash) clear_panel_info(*screen.info_dash);
    screen.chooser_open = 0;
    std::fflush(stdout);
    if (chosen.path.empty()) return chosen.path;
    std::printf("Load [%s]\n", chosen.name.c_str());
    return chosen.path;
}
