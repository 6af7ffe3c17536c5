// Text layout arithmetic, surface text and the oscilloscope's pixel operations.
#include "toolkit/font.h"
#include "toolkit/pixels.h"
#include "toolkit/surface_text.h"
#include "toolkit_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const char* const TEST_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

SDL_Surface* surface32(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
}

} // namespace

TEST(TextLayout, GlyphTexturesAndLines) {
    // A 5 x 7 glyph gets an 8 x 8 texture, its quad reaching 0.625 x 0.875 of it.
    EXPECT_EQ(glyph_texture_size(5), 8);
    EXPECT_EQ(glyph_texture_size(7), 8);
    EXPECT_EQ(glyph_texture_size(8), 8);
    EXPECT_EQ(glyph_texture_size(9), 16);
    EXPECT_EQ(glyph_texture_size(0), 1);
    EXPECT_EQ(glyph_texture_size(1), 1);
    EXPECT_NEAR(line_height(6), 9.5238f, 1e-3);

    TEXT_LINE lines[4];
    ASSERT_EQ(split_lines("A\nBC", lines, 4), 2);
    EXPECT_EQ(lines[1].start, 2);
    EXPECT_EQ(lines[1].length, 2);
    ASSERT_EQ(split_lines("A\n", lines, 4), 2) << "a final line feed gives an empty last line";
    EXPECT_EQ(lines[1].length, 0);
    EXPECT_EQ(split_lines("", lines, 4), 1);
    EXPECT_EQ(split_lines("\n\n\n\n\n", lines, 4), 6) << "counted even past the room given";
}

TEST(SurfaceText, WritesCentredColouredTextAndRefusesLongOnes) {
    if (!std::filesystem::exists(TEST_FONT)) GTEST_SKIP() << "no DejaVu font";
    SURFACE_FONT font;
    ASSERT_TRUE(load_surface_font(font, TEST_FONT, 25));
    SURFACE_FONT missing;
    EXPECT_FALSE(load_surface_font(missing, "/no/font.ttf", 25));
    SDL_Surface* s = surface32(400, 100);
    paint(s, 0, 0, 400, 100, 0x123456);
    int width = surface_text_width(font, "ZOOM SIZE IS 1.000");
    EXPECT_GT(width, 100);
    ASSERT_EQ(print_surface_text(s, font, 200, 50, true, 0xFF0000, 0xFFFF00, "ZOOM SIZE IS %3.3f", 1.0), 1);
    int red = 0, left = 400, right = 0, other = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 400; ++x) {
            uint32_t c = rgb_at(s, x, y);
            if (c == 0xFF0000) {
                ++red;
                left = std::min(left, x);
                right = std::max(right, x);
            } else if (c != 0x123456 && (c & 0xFF0000) != 0xFF0000) {
                ++other; // neither untouched nor a red-to-yellow mix
            }
        }
    }
    EXPECT_GT(red, 50);
    EXPECT_EQ(other, 0);
    EXPECT_NEAR((left + right) / 2.0, 200, 6) << "centred on x";
    EXPECT_EQ(rgb_at(s, 0, 0), 0x123456u) << "uncovered pixels are left alone";

    std::string long_text(64, 'x');
    STDOUT_CAPTURE out;
    EXPECT_EQ(print_surface_text(s, font, 0, 0, false, 0xFF0000, 0, "%s", long_text.c_str()), 0);
    EXPECT_EQ(out.finish(), "Size to big for font\n");
    SDL_FreeSurface(s);
}

TEST(ScopePixels, BoundsAndFill) {
    SDL_Surface* s = surface32(10, 900);
    EXPECT_EQ(put_pixel(s, 3, 1, 0xABCDEF), 1);
    EXPECT_EQ(rgb_at(s, 3, 1), 0xABCDEFu);
    EXPECT_EQ(put_pixel(s, 3, 0, 1), 0) << "row 0 is never written";
    EXPECT_EQ(put_pixel(s, 3, 799, 1), 1);
    EXPECT_EQ(put_pixel(s, 3, 800, 1), 0);
    EXPECT_EQ(put_pixel(s, 10, 5, 1), 0);
    EXPECT_EQ(put_pixel(s, -1, 5, 1), 0);
    SDL_Surface* small = surface32(4, 4);
    EXPECT_EQ(put_pixel(small, 0, 4, 1), 0) << "below the surface";

    // The low byte of the mapped colour fills every byte: magenta clears to white, and a
    // colour with a zero low byte clears to black.
    fill_surface(s, 255, 0, 255);
    EXPECT_EQ(rgb_at(s, 9, 899), 0xFFFFFFu);
    fill_surface(s, 255, 255, 0);
    EXPECT_EQ(rgb_at(s, 0, 0), 0u);
    SDL_FreeSurface(small);
    SDL_FreeSurface(s);
}
