// The window start-up and the windowed program: panels, background, fonts and dashboards,
// then the frame loop.
#include "app/window.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "app/cable_view.h"
#include "app/frame_loop.h"
#include "app/info_dash.h"
#include "app/module_dash.h"
#include "app/panel_view.h"
#include "app/recovery.h"
#include "app/scope.h"
#include "app/screen.h"
#include "app/startup.h"
#include "app/step_notice.h"
#include "app/system_dash.h"
#include "app/undo.h"
#include "engine/audio.h"
#include "engine/generator.h"
#include "engine/verbose.h"
#include "panels/build_panels.h"
#include "panels/panel_layout.h"
#include "platform/console.h"
#include "platform/data_dir.h"
#include "toolkit/font.h"
#include "toolkit/objet.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/sprite.h"
#include "toolkit/video.h"

namespace {

void no_display(const char* why) {
    std::fprintf(stderr,
                 "tessaro needs an X display to open its window (%s); --headless and --render work without "
                 "one.\n",
                 why);
}

void load_fonts() {
    verbose_printf("FreeType - Loading all Fonts\n");
    try {
        load_font(small_font, FONT_FILE, 6);
        load_font(large_font, FONT_FILE, 12);
    } catch (const std::exception& e) {
        std::printf("Font %s: %s\n", FONT_FILE, e.what());
        std::fflush(stdout);
        console_restore();
        std::exit(1);
    }
}

} // namespace

bool display_available() {
    const char* display = std::getenv("DISPLAY");
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if ((!display || !*display) && (!driver || !*driver)) {
        no_display("DISPLAY is not set");
        return false;
    }
    // The window is drawn with OpenGL through GLX: without an X server the library would fall
    // back to a console driver that cannot give one, so only X is tried unless told otherwise.
    if (!driver || !*driver) setenv("SDL_VIDEODRIVER", "x11", 1);
    if (start_video_library() < 0) {
        no_display(SDL_GetError());
        return false;
    }
    return true;
}

void create_dashboards(SCREEN& screen) {
    auto* info = new INFO_DASH();
    info->set_position(50, 450, 0);
    auto* module = new MODULE_DASH();
    module->set_position(475, 475, 0);
    auto* system = new SYSTEM_DASH();
    system->set_position(75, 575, 0);
    std::vector<OBJET*>& dashboards = screen.dashboards;
    dashboards.insert(dashboards.begin(), info);
    dashboards.insert(dashboards.begin(), system);
    dashboards.insert(dashboards.begin(), module);
    screen.info_dash = info;
    forget_panel_info(*info);
}

void start_window(SCREEN& screen, const char* caption, int engine_result) {
    init_video(WINDOW_WIDTH, WINDOW_HEIGHT, SPRITE_FILE);
    SDL_WM_SetCaption(caption, nullptr);
    if (!engine_result) std::exit(1);

    verbose_printf("A3\n");
    build_panels(*generator, screen.panels, screen.sequencer_panels);
    screen.world_width = world_width_of(screen.panels);
    draw_panels(screen.panels, 0, 0);

    verbose_printf("KK\n");
    SPRITE* background = new SPRITE("FOND_GLOBAL", 0, 0, 0, 0, 0, 1.0f);
    screen.background = background;
    background->alpha = 255;
    background->update();
    background->set_image("FOND_ELECTRO");
    background->update();
    verbose_printf("KK-2\n");
    draw_background_grid(*background, START_GRID_COLUMNS, START_GRID_ROWS);

    for (OBJET* p : screen.panels) {
        p->update();
        fit_to_background(*p);
        mark_all(*p, 1);
        // Panels out of view keep their items for later (the first drawing makes them).
        if (p->items_made) p->draw();
    }
    scroll_x = scroll_y = 0;
    reset_interaction(screen);
    load_fonts();
    create_dashboards(screen);
    console_clear();
    std::fflush(stdout);
}

int run_window(const char* patch_path) {
    SCREEN screen;
    scope_mode = 0;
    std::string caption(std::snprintf(nullptr, 0, CAPTION_FORMAT, patch_path), '\0');
    std::snprintf(&caption[0], caption.size() + 1, CAPTION_FORMAT, patch_path);

    // The window cannot be drawn without its art; said before the menus ask anything.
    if (data_dir().empty()) {
        std::fputs(missing_data_line(data_dir_tried()).c_str(), stderr);
        return 1;
    }
    // Without a display nothing is asked: the menus would only lead to the refusal.
    if (!display_available()) return 1;
    char program[] = "tessaro";
    char* args[] = {program, const_cast<char*>(patch_path), nullptr};
    const int engine = init_engine(2, args);
    reset_step_notices();
    install_step_notices();
    start_window(screen, caption.c_str(), engine);

    audio_running = 1;
    start_undo(screen, patch_path, recovery_path_for(patch_path));
    frame_loop(screen);
    write_quit_recovery();
    stop_undo();

    audio_pause();
    remove_step_notices();
    reset_step_notices();
    shutdown_audio();
    release_window(screen);
    return 0;
}

void release_window(SCREEN& screen) {
    release_scope(screen.scope);
    reset_interaction(screen);
    reset_cable_view(screen);
    screen.info_dash = nullptr;
    screen.sequencer_panels.clear();
    for (std::vector<OBJET*>* list : {&screen.panels, &screen.dashboards}) {
        for (OBJET* p : *list)
            delete p;
        list->clear();
    }
    delete screen.background;
    screen.background = nullptr;
    free_font(small_font);
    free_font(large_font);
}
