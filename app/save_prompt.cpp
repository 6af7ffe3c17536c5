// The window's save prompt: typing, the console's name, the overwrite question and the notice.
#include "app/save_prompt.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/save_dialog.h"
#include "app/screen.h"
#include "app/undo.h"
#include "engine/generator.h"
#include "panels/panel_layout.h"
#include "patch/save_patch.h"
#include "platform/console.h"
#include "toolkit/label.h"
#include "toolkit/panel_walkers.h"

namespace {

// The prompt's line and the notice stand under the key dashboard, in window pixels.
constexpr int FIELD_X = 420, FIELD_Y = 650;
constexpr int FIELD_TEXT_SIZE = 14;
constexpr int FIELD_INK = 0xFFD860;

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The same file, whatever the path's spelling ("KVX/A.KVX" and "./KVX/A.KVX").
bool same_file(const std::string& a, const char* b) {
    struct stat sa, sb;
    return b != nullptr && stat(a.c_str(), &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void show_notice(SAVE_PROMPT& p, const std::string& text) {
    p.notice = text;
    p.notice_until = std::chrono::steady_clock::now() + SAVE_NOTICE_TIME;
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

void close_prompt(SAVE_PROMPT& p) {
    p.open = false;
    p.typed.clear();
    p.console_word.clear();
    p.confirm.clear();
    SDL_EnableUNICODE(0);
}

// Saves under a finished name, or asks or refuses; from_console: a console name never waits
// for a second ENTER, as scripts that pipe it rely on.
void finish(SCREEN& screen, const std::string& name, bool from_console) {
    SAVE_PROMPT& p = screen.save_prompt;
    const std::string path = save_path_for(p.prefix.c_str(), with_patch_extension(name).c_str());
    const bool loaded = generator != nullptr && same_file(path, generator->patch_path);
    switch (save_choice(name, path, file_exists(path), loaded || from_console, p.confirm)) {
    case SAVE_CHOICE::REFUSE:
        show_notice(p, "Not saved: [" + name + "] is no file name of the folder");
        close_prompt(p);
        return;
    case SAVE_CHOICE::ASK:
        p.confirm = path;
        show_notice(p, path + " exists: ENTER again replaces it, ESC keeps it");
        return;
    case SAVE_CHOICE::SAVE:
        break;
    }
    close_prompt(p);
    if (!generator) return;
    record_panel_places(screen.panels, *generator);
    if (save_patch_to(generator, path.c_str())) {
        undo_patch_saved();
        show_notice(p, "Saved " + path);
    }
    else
        show_notice(p, "Not saved: " + path + " could not be written (see the console)");
}

} // namespace

std::string with_patch_extension(const std::string& name) {
    return name.find('.', 1) == std::string::npos ? name + ".KVX" : name;
}

SAVE_CHOICE save_choice(const std::string& name, const std::string& path, bool exists, bool is_loaded_patch,
                        const std::string& confirm) {
    if (!save_name_allowed(name.c_str())) return SAVE_CHOICE::REFUSE;
    if (!exists || is_loaded_patch || confirm == path) return SAVE_CHOICE::SAVE;
    return SAVE_CHOICE::ASK;
}

void open_save_prompt(SCREEN& screen, const std::string& prefix) {
    SAVE_PROMPT& p = screen.save_prompt;
    if (p.open) return;
    close_prompt(p);
    p.open = true;
    p.prefix = prefix;
    p.notice.clear();
    SDL_EnableUNICODE(1);
    console_clear();
    console_list_folder(prefix.empty() ? "." : prefix.c_str());
    std::printf("Save - Entrez le nom du fichier :");
    std::fflush(stdout);
}

bool save_prompt_event(SCREEN& screen, const SDL_Event& event, int& flags) {
    SAVE_PROMPT& p = screen.save_prompt;
    if (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_ESCAPE && p.swallow_escape_up) {
        p.swallow_escape_up = false;
        return true;
    }
    if (!p.open || event.type != SDL_KEYDOWN) return false;
    flags |= FLAG_REDRAW;
    const SDL_keysym& key = event.key.keysym;
    switch (key.sym) {
    case SDLK_ESCAPE:
        p.swallow_escape_up = true;
        close_prompt(p);
        show_notice(p, "Not saved: cancelled");
        return true;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        if (!p.typed.empty()) finish(screen, p.typed, false);
        return true;
    case SDLK_BACKSPACE:
        if (!p.typed.empty()) p.typed.pop_back();
        p.confirm.clear();
        return true;
    default:
        break;
    }
    const unsigned c = key.unicode != 0 ? key.unicode : static_cast<unsigned>(key.sym);
    if (c > ' ' && c < 127 && p.typed.size() < static_cast<size_t>(SAVE_NAME_MAX)) {
        p.typed += static_cast<char>(c);
        p.confirm.clear();
    }
    return true;
}

int poll_save_prompt(SCREEN& screen) {
    SAVE_PROMPT& p = screen.save_prompt;
    int flags = 0;
    while (p.open && console_key_ready()) {
        const int c = console_getch();
        if (c == CONSOLE_ESC && p.console_word.empty()) break; // the console ended: the window decides
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == CONSOLE_ESC) {
            if (p.console_word.empty()) continue;
            const std::string name = p.console_word;
            finish(screen, name, true);
            flags |= FLAG_REDRAW;
        } else if (p.console_word.size() < static_cast<size_t>(SAVE_NAME_MAX)) {
            p.console_word += static_cast<char>(c);
        }
    }
    if (!p.notice.empty() && std::chrono::steady_clock::now() >= p.notice_until) {
        p.notice.clear();
        flags |= FLAG_REDRAW;
    }
    return flags;
}

void draw_save_prompt(SCREEN& screen) {
    SAVE_PROMPT& p = screen.save_prompt;
    if (!p.open && p.notice.empty()) return;
    if (!p.field) {
        p.field = std::make_unique<OBJET>(FIELD_X, FIELD_Y, "57");
        for (const char* name : {"57_LABEL_PROMPT", "57_LABEL_NOTICE"}) {
            auto* label = new LABEL("", 0, p.field->front.empty() ? 0 : 24, 0, FIELD_TEXT_SIZE, FIELD_INK);
            label->set_name(name);
            p.field->front.push_back(label);
        }
    }
    const std::string line = p.open ? "Save as: " + p.prefix + p.typed + "_" : "";
    std::snprintf(static_cast<LABEL*>(p.field->front[0])->text, LABEL_TEXT_SIZE, "%s", line.c_str());
    std::snprintf(static_cast<LABEL*>(p.field->front[1])->text, LABEL_TEXT_SIZE, "%s", p.notice.c_str());
    std::vector<OBJET*> list = {p.field.get()};
    draw_dashboards(list);
}
