// The sprite registry: named images loaded from the sprite description file, each with the
// texture whose texture name is its index.
#pragma once
#include <cstdio>
#include <vector>

struct SDL_Surface;

constexpr int REGISTRY_CAPACITY = 400;
constexpr int REGISTRY_NAME_SIZE = 80;
constexpr int DESCRIPTION_TOKEN_SIZE = 60;

// One entry of the description file: a single image ("SIMPLEPART") or a tile sheet.
struct SPRITE_ENTRY {
    char name[DESCRIPTION_TOKEN_SIZE] = {};
    char path[DESCRIPTION_TOKEN_SIZE] = {};
    char type[DESCRIPTION_TOKEN_SIZE] = {};
    bool simple = true;
    int tile_w = 0, tile_h = 0, rows = 0, columns = 0, gap_x = 0, gap_y = 0;
};

// Reads the two header tokens and then the entries, up to the name "END", a path token
// beginning with '#', or the end of the file.
std::vector<SPRITE_ENTRY> parse_sprite_description(FILE* f);

struct TILE_ORIGIN {
    int x, y;
};
// Where tile (row, column) of a sheet is cut: gaps lie only between neighbouring tiles.
TILE_ORIGIN tile_origin(const SPRITE_ENTRY& sheet, int row, int column);

// Every image is kept in one pixel layout whatever its file gave: 32 bits per pixel with the
// bytes red, green, blue, alpha in memory order. Returns a new surface (the source is kept).
SDL_Surface* to_registry_layout(SDL_Surface* src);
// A new w x h surface in the registry layout holding the rectangle at (x, y) of a surface in
// that layout; the part outside the source stays transparent black.
SDL_Surface* cut_tile(const SDL_Surface* sheet, int x, int y, int w, int h);

class SPRITE_REGISTRY {
  public:
    SDL_Surface* surfaces[REGISTRY_CAPACITY] = {};
    int widths[REGISTRY_CAPACITY] = {};
    int heights[REGISTRY_CAPACITY] = {};
    char names[REGISTRY_CAPACITY][REGISTRY_NAME_SIZE] = {};
    int count = 0;

    SPRITE_REGISTRY() = default;
    SPRITE_REGISTRY(const SPRITE_REGISTRY&) = delete;
    SPRITE_REGISTRY& operator=(const SPRITE_REGISTRY&) = delete;
    ~SPRITE_REGISTRY();

    // Empties the registry and loads the description file. A missing file or a single image
    // that cannot be loaded ends the process with status -1; a tile sheet that cannot be
    // loaded is skipped. Returns 1.
    int create_registry(const char* path);
    // Index of the first image of that exact name, or -1.
    int index_of_image(const char* name) const;
    // The surface of that name, or null.
    SDL_Surface* get_image(const char* name) const;
    // Adds or replaces an image and uploads its texture; takes the surface over. Returns 1, or
    // 0 when the registry is full (the image is refused with a message naming it).
    int register_image(const char* name, SDL_Surface* surface, int width, int height);
    // Loads an image file under a name not yet registered. Returns count, or 0 on failure.
    int load_image(const char* path, const char* name);
    // Registers a surface under a name not yet registered; takes the surface over. Returns
    // count, or 0 for a null surface with a new name.
    int add_surface(SDL_Surface* surface, const char* name);

    bool full() const { return count >= REGISTRY_CAPACITY; }

  private:
    void clear();
    void refuse(const char* name) const;
    void load_sheet(const SPRITE_ENTRY& e);
    // Surfaces replaced by a later registration, kept alive while items may still point to them.
    std::vector<SDL_Surface*> retired;
};

// The registry every sprite draws from; null until the video set-up creates it.
extern SPRITE_REGISTRY* sprite_registry;
