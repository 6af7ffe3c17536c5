// The cable view: back sides, patch cables, and re-plugging them with the pointer.
#include "app/cable_view.h"

#include <GL/gl.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/info_dash.h"
#include "app/panel_view.h"
#include "app/save_prompt.h"
#include "app/undo.h"
#include "engine/generator.h"
#include "engine/verbose.h"
#include "patch/patch_writer.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/video.h"

namespace {

constexpr int CABLE_VIEW_GRID = 6;

bool valid_index(const std::vector<OBJET*>& list, int i) {
    return i >= 0 && i < static_cast<int>(list.size());
}

bool is_jack(const SPRITE* item) {
    return std::strstr(item->name, "OUTPUT") || std::strstr(item->name, "INPUT");
}

// The jack (or other item) under the pointer and its panel. Panels may overlap: the first panel
// of the list with an item there wins, so a jack is reached through the empty part of a panel
// lying over it.
SPRITE* item_under(const SCREEN& screen, std::vector<OBJET*>& list, OBJET** panel) {
    const INTERACTION& pointer = screen.interaction;
    const float x = static_cast<float>(pointer.pointer_x), y = static_cast<float>(pointer.pointer_y);
    for (OBJET* p : list) {
        if (SPRITE* item = item_at(*p, x, y)) {
            *panel = p;
            return item;
        }
    }
    const int i = panel_at(screen, list);
    *panel = valid_index(list, i) ? list[i] : nullptr;
    return nullptr;
}

SPRITE& dragged_plug(CABLE_VIEW_STATE& s) {
    CABLE& c = *s.dragged_cable;
    return s.dragged_end == 1 ? c.plug_out : c.plug_in;
}

void forget_pointer_state(CABLE_VIEW_STATE& s) {
    const int keep = s.keep_links;
    s = CABLE_VIEW_STATE();
    s.keep_links = keep;
}

// Hover shows the panel in the information dashboard but sends no message: knobs and buttons
// are not played from the back side.
int hover(SCREEN& screen, std::vector<OBJET*>& list) {
    CABLE_VIEW_STATE& s = screen.cable_state;
    if (!valid_index(list, s.hovered_panel)) return 0;
    OBJET& panel = *list[s.hovered_panel];
    const INTERACTION& pointer = screen.interaction;
    SPRITE* g = item_at(panel, static_cast<float>(pointer.pointer_x), static_cast<float>(pointer.pointer_y));
    if (!g || g == s.hovered_item) return 0;
    if (!s.pressing && s.hovered_item) {
        s.hovered_item->hover = 0;
        g->dirty = 1;
        if (screen.info_dash) clear_panel_info(*screen.info_dash);
        s.hovered_item = nullptr;
    }
    g->hover = 1;
    g->dirty = 1;
    if (screen.info_dash) show_panel_info(*screen.info_dash, &panel);
    s.hovered_item = g;
    return FLAG_REDRAW;
}

// The held plug shows whether letting go here would plug it into another jack.
void plug_feedback(SCREEN& screen, std::vector<OBJET*>& list) {
    CABLE_VIEW_STATE& s = screen.cable_state;
    OBJET* panel;
    SPRITE* g = item_under(screen, list, &panel);
    if (!g) return;
    if (!is_jack(g)) {
        show_plug(dragged_plug(s), false);
        return;
    }
    verbose_printf("Atterri sur qlq chose [%s]\n", g->name);
    const CABLE& c = *s.dragged_cable;
    if (g == (s.dragged_end == 1 ? c.producer_jack : c.consumer_jack)) {
        show_plug(dragged_plug(s), false);
        std::printf("C le meme amateur !\n");
    } else {
        show_plug(dragged_plug(s), true);
    }
}

int motion(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    CABLE_VIEW_STATE& s = screen.cable_state;
    INTERACTION& interaction = screen.interaction;
    int flags = 0;
    s.hovered_panel = panel_at(screen, list);
    if (s.scrolling) {
        // The cable view bounds the offsets below only.
        scroll_x = clamp_scroll(scroll_x + s.scroll_anchor_x - interaction.pointer_x, INT_MAX);
        scroll_y = clamp_scroll(scroll_y + s.scroll_anchor_y - interaction.pointer_y, INT_MAX);
        flags |= FLAG_VIEW_MOVED;
    }
    interaction.pointer_x = event.motion.x + scroll_x;
    interaction.pointer_y = event.motion.y + scroll_y;
    flags |= hover(screen, list);

    if (s.pressing && s.dragged_cable) plug_feedback(screen, list);
    if (s.pressing && s.pressed_item && s.dragged_cable) {
        CABLE& c = *s.dragged_cable;
        if (s.dragged_end == 1) {
            c.x2 = interaction.pointer_x;
            c.y2 = interaction.pointer_y;
        } else {
            c.x1 = interaction.pointer_x;
            c.y1 = interaction.pointer_y;
        }
        s.plug_moved = 1;
        flags |= FLAG_CABLES | FLAG_VIEW_MOVED;
    } else if (!s.pressed_item && valid_index(list, s.grabbed_panel)) {
        // Behind the panels only the near edges scroll, back towards the origin, and as the
        // drag above the offsets are bounded below only.
        flags |= edge_scroll(interaction.pointer_x, INT_MAX, INT_MAX, scroll_x);
        flags |= edge_scroll(interaction.pointer_y, INT_MAX, INT_MAX, scroll_y);
        // The cables plugged into the panel follow it once they are rebuilt from its jacks.
        screen.cable_rebuild = 1;
        OBJET& panel = *list[s.grabbed_panel];
        panel.x = static_cast<float>(interaction.pointer_x);
        panel.y = static_cast<float>(interaction.pointer_y);
        panel.changed = 1;
        flags |= FLAG_REDRAW;
    }
    return flags;
}

const char* drag_kind_name(int kind) {
    switch (kind) {
    case DRAG_GATE_OUT:
        return "OUTPUT_GATE";
    case DRAG_SYNC_OUT:
        return "OUTPUT_SYNC";
    case DRAG_GATE_IN:
        return "INPUT_GATE";
    case DRAG_SYNC_IN:
        return "INPUT_SYNC";
    case DRAG_AUDIO_IN:
        return "INPUT";
    default:
        return "OUTPUT";
    }
}

// Holds the given end of a cable: its plug turns over and the console says which end and kind.
void hold_end(CABLE_VIEW_STATE& s, CABLE& c, SPRITE* jack, int end) {
    flip_plug(end == 1 ? c.plug_out : c.plug_in);
    verbose_printf(end == 1 ? "CIBLE\n" : "SOURCE\n");
    s.dragged_end = end;
    s.dragged_cable = &c;
    s.drag_kind = drag_kind_of(jack->name, end);
    verbose_printf("%s\n", drag_kind_name(s.drag_kind));
}

// A left press on a jack picks up the plug of the last cable that ends there.
void pick_up(SCREEN& screen, SPRITE* item) {
    for (const auto& owned : screen.cable_list) {
        if (owned->producer_jack == item) hold_end(screen.cable_state, *owned, item, 1);
        if (owned->consumer_jack == item) hold_end(screen.cable_state, *owned, item, 0);
    }
}

int button_down(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    CABLE_VIEW_STATE& s = screen.cable_state;
    INTERACTION& interaction = screen.interaction;
    interaction.pointer_x = event.button.x + scroll_x;
    interaction.pointer_y = event.button.y + scroll_y;
    SDL_ShowCursor(0);
    int flags = 0;
    if (event.button.button == SDL_BUTTON_MIDDLE) {
        s.scroll_anchor_x = interaction.pointer_x;
        s.scroll_anchor_y = interaction.pointer_y;
        s.scrolling = 1;
        s.hovered_panel = panel_at(screen, list);
    } else if (event.button.button == SDL_BUTTON_LEFT) {
        s.pressing = 1;
        s.press_x = interaction.pointer_x;
        s.press_y = interaction.pointer_y;
        flags |= FLAG_REDRAW;
        // The press hits what lies under it, even when no motion came before it.
        s.hovered_panel = panel_at(screen, list);
        OBJET* panel;
        if (SPRITE* item = item_under(screen, list, &panel)) {
            s.pressed_item = item;
            pick_up(screen, item);
        }
    } else if (event.button.button == SDL_BUTTON_RIGHT) {
        s.grabbed_panel = panel_at(screen, list);
        if (valid_index(list, s.grabbed_panel)) undo_grab_panel(screen, list[s.grabbed_panel]);
        flags |= FLAG_REDRAW;
    }
    return flags;
}

void drop(SCREEN& screen, std::vector<OBJET*>& list) {
    CABLE_VIEW_STATE& s = screen.cable_state;
    OBJET* panel;
    SPRITE* target = item_under(screen, list, &panel);
    if (generator) drop_plug(*generator, *s.dragged_cable, s.dragged_end, panel, target, s.keep_links != 0);
    // Whatever happened, the cables are drawn again from the graph: a refused plug springs back.
    screen.cable_rebuild = 1;
    std::fflush(stdout);
}

int button_up(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    CABLE_VIEW_STATE& s = screen.cable_state;
    INTERACTION& interaction = screen.interaction;
    interaction.pointer_x = event.button.x + scroll_x;
    interaction.pointer_y = event.button.y + scroll_y;
    SDL_ShowCursor(1);
    int flags = FLAG_REDRAW;
    if (s.grabbed_panel != -1) {
        s.pressed_item = nullptr;
        undo_release_panel(screen);
    }
    s.grabbed_panel = -1;
    if (s.pressing) {
        s.pressing = 0;
        if (s.pressed_item) {
            std::fflush(stdout);
            if (s.dragged_cable) {
                flip_plug(dragged_plug(s));
                if (s.plug_moved) drop(screen, list);
            }
            s.dragged_cable = nullptr;
            s.plug_moved = 0;
            s.pressed_item = nullptr;
            flags |= FLAG_CABLES | FLAG_VIEW_MOVED;
            warp_pointer(screen, s.press_x - scroll_x, s.press_y - scroll_y);
        }
    } else if (event.button.button == SDL_BUTTON_MIDDLE) {
        s.scrolling = 0;
        s.scroll_anchor_x = interaction.pointer_x;
        s.scroll_anchor_y = interaction.pointer_y;
    }
    if (event.button.button == SDL_BUTTON_MIDDLE) s.scrolling = 0;
    s.dragged_cable = nullptr;
    s.plug_moved = 0;
    return flags;
}

// The links line of the oscillator under the pointer, on the console.
void print_links(const SCREEN& screen, std::vector<OBJET*>& list) {
    const int hovered = screen.cable_state.hovered_panel;
    if (!generator || !valid_index(list, hovered)) return;
    const VCO* vco = panel_oscillator(list[hovered]);
    if (!vco) return;
    write_links(stdout, *generator, *vco);
    std::fflush(stdout);
}

// Keys the cable view keeps for itself; the others are the panel view's.
int key_down(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    switch (event.key.keysym.sym) {
    case SDLK_F4:
        // The cable view saves into the working folder.
        open_save_prompt(screen, "");
        return FLAG_REDRAW;
    case SDLK_F5:
        print_links(screen, list);
        return FLAG_REDRAW;
    case SDLK_RCTRL:
        screen.cable_state.keep_links = 1;
        return FLAG_REDRAW;
    default:
        return panel_view_event(screen, list, event);
    }
}

int key_up(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    if (event.key.keysym.sym == SDLK_RCTRL) {
        screen.cable_state.keep_links = 0;
        return FLAG_REDRAW;
    }
    return panel_view_event(screen, list, event);
}

const VIEW_HANDLERS CABLE_VIEW = {key_down, key_up, motion, button_down, button_up};

} // namespace

void reset_cable_view(SCREEN& screen) {
    forget_pointer_state(screen.cable_state);
    screen.cable_list.clear();
    screen.cable_rebuild = 1;
}

void toggle_cable_view(SCREEN& screen) {
    screen.cable_view = 1 - screen.cable_view;
    // The items under the pointer belong to the side being left.
    forget_pointer_state(screen.cable_state);
    if (screen.cable_view) screen.cable_rebuild = 1;
    for (OBJET* p : screen.panels)
        p->set_mode(screen.cable_view ? MODE_BACK : MODE_FRONT);
    // The switch may come from a dashboard button while a frame is drawn: the next pass draws
    // the other view even when no event follows.
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Event expose = {};
        expose.type = SDL_VIDEOEXPOSE;
        SDL_PushEvent(&expose);
    }
}

void build_cables(SCREEN& screen) {
    // Nothing may point into the old records once they are freed.
    screen.cable_state.dragged_cable = nullptr;
    screen.cable_state.plug_moved = 0;
    build_cables(screen.panels, screen.cable_list);
}

int cable_view_event(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event) {
    return view_event(CABLE_VIEW, screen, list, event);
}

void draw_cable(CABLE& c) {
    for (SPRITE* plug : {&c.plug_in, &c.plug_out})
        plug->update();
    c.plug_in.x = static_cast<float>(c.x1) - c.plug_in.w / 2;
    c.plug_in.y = static_cast<float>(c.y1) - c.plug_in.h / 2;
    c.plug_out.x = static_cast<float>(c.x2) - c.plug_out.w / 2;
    c.plug_out.y = static_cast<float>(c.y2) - c.plug_out.h / 2;
    draw_cable_curve(c.x1, c.y1, c.x2, c.y2);
    c.last_x1 = c.x1;
    c.last_x2 = c.x2;
    c.last_y1 = c.y1;
    c.last_y2 = c.y2;
    c.plug_in.dirty = c.plug_out.dirty = 1;
    c.plug_in.draw();
    c.plug_out.draw();
}

void show_cable_view(SCREEN& screen, int flags) {
    if (!flags) return;
    verbose_printf("ROLL [%d][%p]\n", flags, reinterpret_cast<void*>(static_cast<intptr_t>(std::rand() % 3)));
    if (screen.cable_rebuild) {
        verbose_printf("Cree liste des liens\n");
        build_cables(screen);
        screen.cable_rebuild = 0;
    }
    for (OBJET* p : screen.panels)
        p->update();
    // The console may be a file or a pipe: what this frame printed is passed on now.
    std::fflush(stdout);
    if (screen.draw_cable_frame)
        screen.draw_cable_frame(flags);
    else
        draw_cable_view(screen, flags);
}

void draw_cable_view(SCREEN& screen, int) {
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    begin_2d(0, 0, VIEW_WIDTH, VIEW_HEIGHT);
    glColor3ub(255, 255, 255);
    if (screen.background) draw_background_grid(*screen.background, CABLE_VIEW_GRID, CABLE_VIEW_GRID);
    draw_panels(screen.panels, scroll_x, scroll_y);
    for (const auto& c : screen.cable_list)
        draw_cable(*c);
    draw_save_prompt(screen);
    end_2d();
    SDL_GL_SwapBuffers();
}
