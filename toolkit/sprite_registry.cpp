// The sprite registry: description file parsing, tile cutting, pixel layout and registration.
#include "toolkit/sprite_registry.h"

#include "engine/verbose.h"
#include "toolkit/renderer.h"
#include "platform/data_dir.h"

#include <SDL.h>
#include <SDL_image.h>
#include <cstdlib>
#include <cstring>

SPRITE_REGISTRY* sprite_registry = nullptr;

namespace {

#if SDL_BYTEORDER == SDL_BIG_ENDIAN
constexpr Uint32 RED_MASK = 0xFF000000, GREEN_MASK = 0x00FF0000, BLUE_MASK = 0x0000FF00,
                 ALPHA_MASK = 0x000000FF;
#else
constexpr Uint32 RED_MASK = 0x000000FF, GREEN_MASK = 0x0000FF00, BLUE_MASK = 0x00FF0000,
                 ALPHA_MASK = 0xFF000000;
#endif

SDL_Surface* new_layout_surface(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, RED_MASK, GREEN_MASK, BLUE_MASK, ALPHA_MASK);
}

bool read_token(FILE* f, char* out) {
    return std::fscanf(f, "%59s", out) == 1;
}

int read_int(FILE* f) {
    int v = 0;
    return std::fscanf(f, "%d", &v) == 1 ? v : 0;
}

} // namespace

std::vector<SPRITE_ENTRY> parse_sprite_description(FILE* f) {
    std::vector<SPRITE_ENTRY> entries;
    char token[DESCRIPTION_TOKEN_SIZE];
    if (!read_token(f, token) || !read_token(f, token)) return entries;
    SPRITE_ENTRY e;
    if (!read_token(f, e.name) || std::strcmp(e.name, "END") == 0) return entries;
    for (;;) {
        if (!read_token(f, e.path) || e.path[0] == '#') break;
        if (!read_token(f, e.type)) break;
        e.simple = std::strcmp(e.type, "SIMPLEPART") == 0;
        if (!e.simple) {
            e.tile_w = read_int(f);
            e.tile_h = read_int(f);
            e.rows = read_int(f);
            e.columns = read_int(f);
            e.gap_x = read_int(f);
            e.gap_y = read_int(f);
        }
        entries.push_back(e);
        e = SPRITE_ENTRY();
        if (!read_token(f, e.name) || std::strcmp(e.name, "END") == 0) break;
    }
    return entries;
}

TILE_ORIGIN tile_origin(const SPRITE_ENTRY& sheet, int row, int column) {
    return {column * (sheet.tile_w + sheet.gap_x), row * (sheet.tile_h + sheet.gap_y)};
}

SDL_Surface* to_registry_layout(SDL_Surface* src) {
    if (!src) return nullptr;
    SDL_Surface* model = new_layout_surface(1, 1);
    if (!model) return nullptr;
    // The conversion copies the source's own alpha and colour key untouched, so every file
    // format (paletted, 24-bit BGR or RGB, 32-bit with alpha) ends up with the same bytes.
    SDL_Surface* out = SDL_ConvertSurface(src, model->format, SDL_SWSURFACE);
    SDL_FreeSurface(model);
    return out;
}

SDL_Surface* cut_tile(const SDL_Surface* sheet, int x, int y, int w, int h) {
    SDL_Surface* tile = new_layout_surface(w, h);
    if (!tile || !sheet) return tile;
    SDL_LockSurface(tile);
    for (int row = 0; row < h; ++row) {
        int sy = y + row;
        if (sy < 0 || sy >= sheet->h) continue;
        int first = x < 0 ? -x : 0;
        int last = sheet->w - x < w ? sheet->w - x : w;
        if (first >= last) continue;
        const Uint8* from = static_cast<const Uint8*>(sheet->pixels) + sy * sheet->pitch + (x + first) * 4;
        Uint8* to = static_cast<Uint8*>(tile->pixels) + row * tile->pitch + first * 4;
        std::memcpy(to, from, static_cast<size_t>(last - first) * 4);
    }
    SDL_UnlockSurface(tile);
    return tile;
}

SPRITE_REGISTRY::~SPRITE_REGISTRY() {
    clear();
}

void SPRITE_REGISTRY::clear() {
    for (int i = 0; i < REGISTRY_CAPACITY; ++i) {
        if (surfaces[i]) SDL_FreeSurface(surfaces[i]);
        surfaces[i] = nullptr;
        names[i][0] = '\0';
        widths[i] = heights[i] = 0;
    }
    for (SDL_Surface* s : retired)
        SDL_FreeSurface(s);
    retired.clear();
    count = 0;
}

void SPRITE_REGISTRY::refuse(const char* name) const {
    std::printf("Sprite registry full (%d images): [%s] refused\n", REGISTRY_CAPACITY, name);
}

int SPRITE_REGISTRY::index_of_image(const char* name) const {
    if (!name) return -1;
    for (int i = 0; i < count; ++i)
        if (std::strcmp(names[i], name) == 0) return i;
    return -1;
}

SDL_Surface* SPRITE_REGISTRY::get_image(const char* name) const {
    int i = index_of_image(name);
    return i < 0 ? nullptr : surfaces[i];
}

int SPRITE_REGISTRY::register_image(const char* name, SDL_Surface* surface, int width, int height) {
    SDL_Surface* image = to_registry_layout(surface);
    if (surface) SDL_FreeSurface(surface);
    int i = index_of_image(name);
    if (i < 0) {
        if (full()) {
            refuse(name);
            if (image) SDL_FreeSurface(image);
            return 0;
        }
        i = count++;
        std::snprintf(names[i], REGISTRY_NAME_SIZE, "%s", name);
    } else {
        verbose_printf("Ref\n");
        if (surfaces[i]) retired.push_back(surfaces[i]);
    }
    surfaces[i] = image;
    widths[i] = width;
    heights[i] = height;
    if (image) renderer().upload_image(i, image);
    return 1;
}

int SPRITE_REGISTRY::load_image(const char* path, const char* name) {
    if (index_of_image(name) < 0) {
        SDL_Surface* s = IMG_Load(data_path(path).c_str());
        if (!s) return 0;
        if (!register_image(name, s, s->w, s->h)) return 0;
    }
    return count;
}

int SPRITE_REGISTRY::add_surface(SDL_Surface* surface, const char* name) {
    verbose_printf("O1\n");
    if (index_of_image(name) < 0) {
        verbose_printf("O2\n");
        if (!surface) return 0;
        verbose_printf("O3\n");
        register_image(name, surface, surface->w, surface->h);
    } else if (surface) {
        SDL_FreeSurface(surface);
    }
    verbose_printf("O4\n");
    return count;
}

void SPRITE_REGISTRY::load_sheet(const SPRITE_ENTRY& e) {
    SDL_Surface* file = IMG_Load(data_path(e.path).c_str());
    if (!file) return;
    SDL_Surface* sheet = to_registry_layout(file);
    SDL_FreeSurface(file);
    if (!sheet) return;
    SDL_LockSurface(sheet);
    for (int r = 0; r < e.rows; ++r) {
        for (int k = 0; k < e.columns; ++k) {
            char tile_name[REGISTRY_NAME_SIZE];
            std::snprintf(tile_name, sizeof tile_name, "%s_%d", e.name, r * e.columns + k);
            if (index_of_image(tile_name) < 0 && full()) {
                refuse(tile_name);
                continue;
            }
            TILE_ORIGIN o = tile_origin(e, r, k);
            add_surface(cut_tile(sheet, o.x, o.y, e.tile_w, e.tile_h), tile_name);
        }
    }
    SDL_UnlockSurface(sheet);
    SDL_FreeSurface(sheet);
}

int SPRITE_REGISTRY::create_registry(const char* path) {
    clear();
    const std::string file = data_path(path);
    FILE* f = std::fopen(file.c_str(), "r");
    if (!f) {
        std::printf("Impossible d'ouvrir [%s]\n", file.c_str());
        std::exit(-1);
    }
    verbose_printf("Opening File [%s] in directory [%s] Ptr [%p] \n", path, ".", static_cast<void*>(f));
    std::vector<SPRITE_ENTRY> entries = parse_sprite_description(f);
    std::fclose(f);
    for (const SPRITE_ENTRY& e : entries) {
        verbose_printf("Nbr elem = %d = %s callable with name [%s] \n", count, e.name, e.path);
        if (e.simple) {
            if (index_of_image(e.name) < 0 && full()) {
                refuse(e.name);
                continue;
            }
            if (load_image(e.path, e.name) < 1) {
                std::printf("Erreur au de chargement simplepart [%s]\n", e.path);
                std::exit(-1);
            }
        } else {
            verbose_printf("Multipart : %s %d %d %d %d \n", e.name, e.tile_w, e.tile_h, e.rows, e.columns);
            if (e.tile_w > 0 && e.tile_h > 0) load_sheet(e);
        }
    }
    return 1;
}
