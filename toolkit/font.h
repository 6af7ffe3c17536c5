// Text drawn with OpenGL from a TrueType font rasterised once: one texture and one display
// list per ASCII code, called byte by byte when printing.
#pragma once

constexpr int FONT_CODES = 128;
// Longest text one print call draws; longer formatted texts are cut to it.
constexpr int PRINT_TEXT_MAX = 255;

struct FONT {
    float height = 0;                 // requested height in points (at 96 dpi)
    unsigned int* textures = nullptr; // FONT_CODES texture names
    unsigned int list_base = 0;       // first of FONT_CODES display lists
};

// The two fonts of the window: labels print with the small one (height 6).
extern FONT small_font;
extern FONT large_font;

// Builds the glyphs; throws std::runtime_error with FreeType's failure message.
void load_font(FONT& font, const char* path, float height);
void free_font(FONT& font);
// Prints with printf formatting, the first line's baseline origin at (x, y) in bottom-up
// window pixels; '\n' starts a line one line height lower. A null format prints nothing.
void print_text(FONT& font, float x, float y, const char* format, ...) __attribute__((format(printf, 4, 5)));

// Smallest power of two not below n (1 for 0 and 1): glyph textures are power-of-two sized.
int glyph_texture_size(int n);
// Distance between baselines: the height over 0.63.
float line_height(float height);

struct TEXT_LINE {
    int start;
    int length;
};
// Splits at every '\n'; the text after the last one is always a line, maybe empty. Returns
// the number of lines, of which at most `max` are stored.
int split_lines(const char* text, TEXT_LINE* lines, int max);
