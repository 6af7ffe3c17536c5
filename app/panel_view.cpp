// The panel view: the pointer plays the panels and the computer keyboard plays the keyboards.
#include "app/panel_view.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/controller.h"
#include "app/info_dash.h"
#include "app/layout_dump.h"
#include "app/patch_folders.h"
#include "app/save_dialog.h"
#include "app/save_prompt.h"
#include "app/undo.h"
#include "engine/audio.h"
#include "engine/generator.h"
#include "engine/verbose.h"
#include "toolkit/layout.h"
#include "toolkit/message.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/video.h"

namespace {

constexpr int PANEL_VIEW_GRID = 10;

// Message records keep the first bytes of the event (its type byte first).
constexpr int EVENT_BYTES = static_cast<int>(sizeof(SDL_Event));

bool valid_index(const std::vector<OBJET*>& list, int i) {
    return i >= 0 && i < static_cast<int>(list.size());
}

bool list_holds(const std::vector<OBJET*>& list, const OBJET* panel) {
    for (const OBJET* p : list)
        if (p == panel) return true;
    return false;
}

bool side_holds(const ITEM_LIST& side, const SPRITE* item) {
    for (const SPRITE* s : side)
        if (s == item) return true;
    return false;
}

// The item still belongs to a panel of the list, so it may be followed.
bool item_alive(const std::vector<OBJET*>& list, const SPRITE* item) {
    if (!item) return false;
    for (const OBJET* p : list)
        if (side_holds(p->front, item) || side_holds(p->back, item)) return true;
    return false;
}

// Key rows of the computer keyboard, left to right, and the keyboard module each plays.
struct NOTE_ROW {
    const char* keyboard;
    SDLKey keys[6];
};
const NOTE_ROW NOTE_ROWS[] = {
    {"KEY_1", {SDLK_z, SDLK_x, SDLK_c, SDLK_v, SDLK_b, SDLK_n}},
    {"KEY_2", {SDLK_a, SDLK_s, SDLK_d, SDLK_f, SDLK_g, SDLK_h}},
    {"KEY_3", {SDLK_q, SDLK_w, SDLK_e, SDLK_r, SDLK_t, SDLK_y}},
};

// Plays or releases a note key; false when the key is no note key.
bool note_key(SDLKey sym, bool down) {
    for (const NOTE_ROW& row : NOTE_ROWS) {
        for (int i = 0; i < 6; ++i) {
            if (row.keys[i] != sym) continue;
            KEYBOARD* k = find_keyboard(row.keyboard);
            if (!k) return true;
            // The playing keyboard's fields, read by the sweep between samples.
            if (down) {
                shared_store(k->key, i + 1);
                shared_store(k->gate, 1);
                shared_store(k->gate_time, 0.0f);
                shared_store(k->sync_pending, 1);
            } else {
                shared_store(k->gate, 0);
            }
            return true;
        }
    }
    return false;
}

int key_down(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    const SDLKey sym = event.key.keysym.sym;
    // With CTRL held, "z" and "y" take back and make again instead of playing a note.
    if ((event.key.keysym.mod & KMOD_CTRL) && (sym == SDLK_z || sym == SDLK_y)) {
        undo_request(sym == SDLK_y || (event.key.keysym.mod & KMOD_SHIFT));
        return FLAG_REDRAW;
    }
    if (note_key(sym, true)) return FLAG_REDRAW;
    // The chooser screen has its own rows and is left only by a click or ESC.
    const bool screen_key = sym == SDLK_F1 || sym == SDLK_F3 || sym == SDLK_F6 || sym == SDLK_5;
    if (screen.chooser_open && screen_key) return FLAG_REDRAW;
    switch (sym) {
    case SDLK_TAB:
        if (generator) screen.controller.selected_vco = next_index(screen.controller.selected_vco, static_cast<int>(generator->vcos.size()));
        break;
    case SDLK_5: {
        const int i = panel_at(screen, list);
        if (i >= 0) {
            const uint32_t before = list[i]->mode;
            list[i]->set_mode(0);
            undo_record_fold(screen, list[i], before);
        }
        break;
    }
    case SDLK_KP_MINUS:
        scope_zoom = scope_zoom_halved(scope_zoom.load());
        break;
    case SDLK_KP_PLUS:
        scope_zoom = scope_zoom_doubled(scope_zoom.load());
        break;
    case SDLK_F1:
        screen.requests |= REQUEST_SCOPE;
        break;
    case SDLK_F3:
        screen.requests |= REQUEST_LOAD;
        break;
    case SDLK_F2:
        dump_layouts(list);
        break;
    case SDLK_F4:
        open_save_prompt(screen, user_save_prefix());
        break;
    case SDLK_F6:
        screen.requests |= REQUEST_CABLES;
        break;
    case SDLK_m:
        if (!screen.chooser_open) screen.requests |= REQUEST_MIDI_LEARN;
        break;
    default:
        break;
    }
    return FLAG_REDRAW;
}

int key_up(SCREEN& screen, std::vector<OBJET*>&, const SDL_Event& event) {
    const SDLKey sym = event.key.keysym.sym;
    if (note_key(sym, false)) return FLAG_REDRAW;
    if (sym == SDLK_ESCAPE) screen.running = 0;
    return FLAG_REDRAW;
}

// Hover: entering an item sends it "TOUCH_IN" (and, when not pressing, the item left
// "TOUCH_OUT") and shows its panel in the information dashboard.
int hover(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    INTERACTION& s = screen.interaction;
    if (!valid_index(list, s.hovered_panel)) return 0;
    OBJET& panel = *list[s.hovered_panel];
    SPRITE* r = item_at(panel, static_cast<float>(s.pointer_x), static_cast<float>(s.pointer_y));
    if (!r || r == s.hovered_item) return 0;
    if (!s.pressing && s.hovered_item) {
        if (item_alive(list, s.hovered_item)) {
            post(panel, make_named_message(&event, EVENT_BYTES, "TOUCH_OUT", s.hovered_item));
            s.hovered_item->hover = 0;
        }
        r->dirty = 1;
        if (screen.info_dash) clear_panel_info(*screen.info_dash);
        s.hovered_item = nullptr;
    }
    post(panel, make_named_message(&event, EVENT_BYTES, "TOUCH_IN", r));
    r->hover = 1;
    r->dirty = 1;
    if (screen.info_dash) show_item_info(*screen.info_dash, &panel, r);
    s.hovered_item = r;
    return FLAG_REDRAW;
}

int motion(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    INTERACTION& s = screen.interaction;
    int flags = 0;
    s.hovered_panel = panel_at(screen, list);
    if (s.scrolling) {
        scroll_x = clamp_scroll(scroll_x + s.scroll_anchor_x - s.pointer_x, scroll_x_limit(screen));
        scroll_y = clamp_scroll(scroll_y + s.scroll_anchor_y - s.pointer_y, SCROLL_Y_MAX);
        s.scrolled_while_held = 1;
        flags |= FLAG_VIEW_MOVED;
    }
    s.pointer_x = event.motion.x + scroll_x;
    s.pointer_y = event.motion.y + scroll_y;
    flags |= hover(screen, list, event);

    if (s.pressing && s.pressed_item) {
        const int d = s.press_y - s.pointer_y;
        if (d != 0 && s.pressed_panel && list_holds(list, s.pressed_panel) &&
            item_alive(list, s.pressed_item)) {
            const char* text = d > 0 ? "SLD_UP" : "SLD_DOWN";
            const MESSAGE m = make_named_message(&event, EVENT_BYTES, text, s.pressed_item);
            for (int i = 0; i < std::abs(d); ++i)
                post(*s.pressed_panel, m);
        }
        if (d != 0) {
            warp_pointer(screen, s.press_x - scroll_x, s.press_y - scroll_y);
            flags |= FLAG_REDRAW;
        }
    } else if (valid_index(list, s.grabbed_panel)) {
        flags |= edge_scroll(s.pointer_x, EDGE_FAR_X, scroll_x_limit(screen), scroll_x);
        flags |= edge_scroll(s.pointer_y, EDGE_FAR_Y, SCROLL_Y_MAX, scroll_y);
        OBJET& panel = *list[s.grabbed_panel];
        panel.x = static_cast<float>(s.pointer_x);
        panel.y = static_cast<float>(s.pointer_y);
        panel.changed = 1;
        flags |= FLAG_REDRAW;
    }
    return flags;
}

int button_down(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& pressed) {
    INTERACTION& s = screen.interaction;
    SDL_Event event = pressed;
    event.button.x = static_cast<Uint16>(event.button.x + scroll_x);
    event.button.y = static_cast<Uint16>(event.button.y + scroll_y);
    SDL_ShowCursor(0);
    int flags = 0;
    if (event.button.button == SDL_BUTTON_MIDDLE) {
        s.scroll_anchor_x = s.pointer_x;
        s.scroll_anchor_y = s.pointer_y;
        s.scrolling = 1;
        s.scrolled_while_held = 0;
        s.hovered_panel = panel_at(screen, list);
    } else if (event.button.button == SDL_BUTTON_LEFT) {
        s.pointer_x = s.press_x = event.button.x;
        s.pointer_y = s.press_y = event.button.y;
        s.pressing = 1;
        flags |= FLAG_REDRAW;
        for (size_t i = 0; i < list.size(); ++i) {
            SPRITE* item =
                item_at(*list[i], static_cast<float>(s.pointer_x), static_cast<float>(s.pointer_y));
            if (!item) continue;
            s.hovered_panel = static_cast<int>(i);
            post(*list[i], make_input_message(&event, EVENT_BYTES, item));
            s.pressed_item = item;
            s.pressed_panel = list[i];
            break;
        }
    } else if (event.button.button == SDL_BUTTON_RIGHT) {
        s.pointer_x = event.button.x;
        s.pointer_y = event.button.y;
        s.grabbed_panel = panel_at(screen, list);
        if (s.grabbed_panel != -1) {
            undo_grab_panel(screen, list[s.grabbed_panel]);
            flags |= FLAG_REDRAW;
        }
    }
    return flags;
}

int button_up(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& released) {
    INTERACTION& s = screen.interaction;
    SDL_Event event = released;
    event.button.x = static_cast<Uint16>(event.button.x + scroll_x);
    event.button.y = static_cast<Uint16>(event.button.y + scroll_y);
    int flags = 0;
    const bool middle = event.button.button == SDL_BUTTON_MIDDLE;
    // A middle click folds the panel under the pointer; a middle drag only scrolled the world.
    if (middle && !s.scrolled_while_held) {
        const int i = panel_at(screen, list);
        if (i >= 0) {
            const uint32_t before = list[i]->mode;
            list[i]->set_mode(0);
            undo_record_fold(screen, list[i], before);
            flags |= FLAG_REDRAW;
        }
    }
    SDL_ShowCursor(1);
    if (s.grabbed_panel != -1) {
        s.pressed_item = nullptr;
        undo_release_panel(screen);
    }
    s.grabbed_panel = -1;
    flags |= FLAG_REDRAW;
    if (s.pressing) {
        s.pressing = 0;
        if (s.pressed_item) {
            // The release belongs to the press: it goes to the panel that was pressed.
            if (s.pressed_panel && list_holds(list, s.pressed_panel) && item_alive(list, s.pressed_item))
                post(*s.pressed_panel, make_input_message(&event, EVENT_BYTES, s.pressed_item));
            s.pressed_item = nullptr;
            s.pressed_panel = nullptr;
            warp_pointer(screen, s.press_x - scroll_x, s.press_y - scroll_y);
        }
    }
    if (middle) {
        s.scrolling = 0;
        s.scrolled_while_held = 0;
        s.scroll_anchor_x = s.pointer_x;
        s.scroll_anchor_y = s.pointer_y;
    }
    return flags;
}

const VIEW_HANDLERS PANEL_VIEW = {key_down, key_up, motion, button_down, button_up};

} // namespace

void reset_interaction(SCREEN& screen) {
    screen.interaction = INTERACTION();
}

void build_hit_list(const std::vector<OBJET*>& dashboards, const std::vector<OBJET*>& panels,
                    std::vector<OBJET*>& out) {
    out.clear();
    out.insert(out.end(), dashboards.rbegin(), dashboards.rend());
    out.insert(out.end(), panels.rbegin(), panels.rend());
}

int panel_at(const std::vector<OBJET*>& list, int x, int y) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->contains(static_cast<float>(x), static_cast<float>(y))) return static_cast<int>(i);
    return -1;
}

int panel_at(const SCREEN& screen, const std::vector<OBJET*>& list) {
    return panel_at(list, screen.interaction.pointer_x, screen.interaction.pointer_y);
}

int clamp_scroll(int offset, int max) {
    return offset < 1 ? 0 : offset > max ? max : offset;
}

int edge_scroll(int pointer, int far, int max, int& scroll) {
    int flags = 0;
    if (pointer - scroll > far) {
        scroll = clamp_scroll(scroll + EDGE_SCROLL_STEP, max);
        flags = FLAG_VIEW_MOVED;
    }
    if (pointer - scroll < EDGE_NEAR) {
        scroll = clamp_scroll(scroll - EDGE_SCROLL_STEP, max);
        flags = FLAG_VIEW_MOVED;
    }
    return flags;
}

bool is_wheel_button(Uint8 button) {
    return button == SDL_BUTTON_WHEELUP || button == SDL_BUTTON_WHEELDOWN;
}

void warp_pointer(const SCREEN& screen, int x, int y) {
    if (screen.warp_pointer)
        screen.warp_pointer(x, y);
    else
        SDL_WarpMouse(static_cast<Uint16>(x < 0 ? 0 : x), static_cast<Uint16>(y < 0 ? 0 : y));
}

int step_notice_event(SCREEN& screen, const void* notice_event, int event_size) {
    for (OBJET* p : screen.sequencer_panels) {
        // A panel out of view keeps its records until it is drawn: one pending notice says
        // all that more would, and the queue of a panel never shown does not grow with time.
        bool pending = false;
        for (const MESSAGE& m : p->messages)
            pending = pending || (m.kind == 1 && m.event_type() == EVENT_USER);
        if (!pending) post(*p, make_input_message(notice_event, event_size, nullptr));
    }
    return FLAG_REDRAW;
}

int view_event(const VIEW_HANDLERS& view, SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    // Each press begins what becomes one step of the undo history.
    if (event.type == SDL_KEYDOWN || (event.type == SDL_MOUSEBUTTONDOWN && !is_wheel_button(event.button.button)))
        undo_begin_gesture();
    switch (event.type) {
    case SDL_KEYDOWN:
        return view.key_down(screen, list, event);
    case SDL_KEYUP:
        return view.key_up(screen, list, event);
    case SDL_MOUSEMOTION:
        return view.motion(screen, list, event);
    case SDL_MOUSEBUTTONDOWN:
        return is_wheel_button(event.button.button) ? 0 : view.button_down(screen, list, event);
    case SDL_MOUSEBUTTONUP:
        return is_wheel_button(event.button.button) ? 0 : view.button_up(screen, list, event);
    case SDL_VIDEOEXPOSE:
    case SDL_ACTIVEEVENT:
        return FLAG_REDRAW;
    default:
        return 0;
    }
}

int panel_view_event(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    return view_event(PANEL_VIEW, screen, list, event);
}

int scroll_x_limit(const SCREEN& screen) {
    return std::max(SCROLL_X_MAX, screen.world_width - VIEW_WIDTH);
}

void draw_background_grid(SPRITE& sprite, int columns, int rows) {
    draw_background_columns(sprite, 0, columns, rows);
}

void draw_background_columns(SPRITE& sprite, int first, int end, int rows) {
    for (int c = first; c < end; ++c) {
        for (int r = 0; r < rows; ++r) {
            sprite.set_position(static_cast<float>(c) * sprite.w, static_cast<float>(r) * sprite.h, 0);
            sprite.dirty = 1;
            sprite.draw();
        }
    }
}

void draw_panel_view(SCREEN& screen, int flags) {
    if (flags & FLAG_VIEW_MOVED) verbose_printf("Request of Scroll\n");
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(255, 255, 255);
    begin_2d(0, 0, VIEW_WIDTH, VIEW_HEIGHT);
    if (SPRITE* bg = screen.background) {
        // A widened world gets as many more tiles as it needs, of which only the columns in
        // view are drawn: a world of thousands of panels is tens of thousands of pixels wide.
        const int needed = bg->w > 0 ? static_cast<int>(std::ceil(screen.world_width / bg->w)) : 0;
        if (needed <= PANEL_VIEW_GRID)
            draw_background_grid(*bg, PANEL_VIEW_GRID, PANEL_VIEW_GRID);
        else
            draw_background_columns(*bg, scroll_x / static_cast<int>(bg->w),
                                    (scroll_x + VIEW_WIDTH) / static_cast<int>(bg->w) + 1, PANEL_VIEW_GRID);
    }
    draw_panels(screen.panels, scroll_x, scroll_y);
    draw_dashboards(screen.dashboards);
    draw_save_prompt(screen);
    end_2d();
    SDL_GL_SwapBuffers();
}
