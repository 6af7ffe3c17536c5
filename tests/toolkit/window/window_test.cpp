// Pixels on a real OpenGL window: sprite geometry, masks, knobs, tiles, labels, the gallery.
#include "png_writer.h"
#include "tests/support/scratch.h"
#include "tests/toolkit/toolkit_test_support.h"
#include "toolkit/font.h"
#include "toolkit/items.h"
#include "toolkit/video.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// Mesa, X11 and SDL keep allocations for the life of the process; they are not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libGLX\nleak:libGL\nleak:libX11\nleak:libxcb\nleak:libSDL\nleak:swrast\nleak:libgallium\n"
           "leak:libLLVM\nleak:libglapi\nleak:dri\n";
}

namespace {

namespace fs = std::filesystem;

constexpr uint32_t BOX = 0xC83214, BACKDROP = 0x3060C0, YELLOW = 0xFFFF00, WHITE = 0xFFFFFF;

void save(SDL_Surface* s, const fs::path& p) {
    SDL_SaveBMP(s, p.c_str());
    SDL_FreeSurface(s);
}

// Images of the scenes, written as BMP files with a description file naming them.
std::string make_images(const fs::path& dir) {
    save(solid_bgr(40, 20, BOX), dir / "box.bmp");
    save(solid_bgr(64, 64, BACKDROP), dir / "backdrop.bmp");
    // The mask is dark on a 10 x 10 centre square; the image shows a 6 x 6 yellow square there.
    SDL_Surface* mask = solid_bgr(20, 20, WHITE);
    paint(mask, 5, 5, 10, 10, 0);
    save(mask, dir / "dot_mask.bmp");
    SDL_Surface* dot = solid_bgr(20, 20, 0);
    paint(dot, 7, 7, 6, 6, YELLOW);
    save(dot, dir / "dot.bmp");
    // A knob drawn with its pointer straight up from the centre.
    SDL_Surface* knob = solid_bgr(21, 21, 0);
    paint(knob, 9, 0, 3, 10, WHITE);
    save(knob, dir / "knob.bmp");
    // Three 8 x 8 tiles with 2-pixel gaps (white, so a cut in the gap shows).
    SDL_Surface* sheet = solid_bgr(28, 8, WHITE);
    paint(sheet, 0, 0, 8, 8, 0xFF0000);
    paint(sheet, 10, 0, 8, 8, 0x00FF00);
    paint(sheet, 20, 0, 8, 8, 0x0000FF);
    save(sheet, dir / "sheet.bmp");
    std::string zim = "tessaro test\n";
    for (auto [name, file] : std::vector<std::pair<const char*, const char*>>{{"BOX", "box.bmp"},
                                                                              {"BACKDROP", "backdrop.bmp"},
                                                                              {"DOT", "dot.bmp"},
                                                                              {"DOT_MASK", "dot_mask.bmp"},
                                                                              {"KNOB", "knob.bmp"}})
        zim += std::string(name) + " " + (dir / file).string() + " SIMPLEPART\n";
    zim += "TILE " + (dir / "sheet.bmp").string() + " SHEET 8 8 1 3 2 0\nEND\n";
    std::ofstream(dir / "test.zim") << zim;
    return (dir / "test.zim").string();
}

class Window : public testing::Test {
  protected:
    static inline std::unique_ptr<SCRATCH_DIR> scratch;
    static inline fs::path dir;
    static inline bool ready = false;

    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY")) return;
        scratch = std::make_unique<SCRATCH_DIR>("window");
        dir = scratch->path();
        init_video(1024, 768, make_images(dir).c_str());
        // The program's own label font when it is there, else any TrueType font.
        fs::path font = fs::path(TESSARO_SOURCE_DIR) / "Fonts/04B_03B_.TTF";
        if (!fs::exists(font)) font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
        try {
            load_font(small_font, font.c_str(), 6);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            return;
        }
        ready = true;
    }
    static void TearDownTestSuite() { scratch.reset(); }
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        ASSERT_TRUE(ready);
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT);
        begin_2d(0, 0, 1024, 768);
        glColor3ub(255, 255, 255);
    }
    // Ends the frame and reads it back; y counts from the top.
    void finish() {
        end_2d();
        glFinish();
        pixels.resize(1024 * 768 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 1024, 768, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    }
    uint32_t at(int x, int y) const {
        const uint8_t* p = &pixels[((767 - y) * 1024 + x) * 3];
        return (static_cast<uint32_t>(p[0]) << 16) | (p[1] << 8) | p[2];
    }
    std::vector<uint8_t> pixels;
};

} // namespace

TEST_F(Window, SpriteCoversItsImageSizeInTrueColours) {
    SPRITE s("BOX", 10, 10);
    s.draw();
    finish();
    EXPECT_EQ(at(10, 10), BOX);
    EXPECT_EQ(at(49, 29), BOX);
    EXPECT_EQ(at(30, 20), BOX);
    EXPECT_EQ(at(9, 20), 0u);
    EXPECT_EQ(at(50, 20), 0u);
    EXPECT_EQ(at(30, 9), 0u);
    EXPECT_EQ(at(30, 30), 0u);
}

TEST_F(Window, MaskCutsAHoleWhereItIsDark) {
    SPRITE back("BACKDROP", 100, 100);
    back.draw();
    SPRITE dot("DOT", 122, 122);
    std::strcpy(dot.mask, "DOT_MASK");
    dot.draw();
    finish();
    EXPECT_EQ(at(105, 105), BACKDROP) << "outside the sprite";
    EXPECT_EQ(at(124, 124), BACKDROP) << "white mask keeps the picture";
    EXPECT_EQ(at(128, 128), 0u) << "dark mask, black image: a hole";
    EXPECT_EQ(at(131, 131), YELLOW) << "the image is added into the hole";
}

TEST_F(Window, KnobPointerTurnsWithItsAngle) {
    OBJET panel(0, 0, "1");
    panel.set_image("NO_SUCH_IMAGE");
    auto* upright = new SLIDER("1_SLD_A", "KNOB");
    upright->set_position(200, 200, 0);
    auto* turned = new SLIDER("1_SLD_B", "KNOB");
    turned->set_position(300, 200, 0);
    panel.front = {upright, turned};
    for (int i = 0; i < 90; ++i)
        post(panel, make_named_message(nullptr, 0, "SLD_DOWN", turned));
    std::vector<OBJET*> list{&panel};
    draw_panels(list, 0, 0);
    finish();
    EXPECT_EQ(turned->angle, 90);
    // Centres at (210, 210) and (310, 210): the pointer goes up at 0 and right at 90 degrees.
    EXPECT_EQ(at(210, 203), WHITE);
    EXPECT_EQ(at(217, 210), 0u);
    EXPECT_EQ(at(317, 210), WHITE);
    EXPECT_EQ(at(310, 203), 0u);
}

TEST_F(Window, TilesShowTheirOwnPartOfTheSheet) {
    SPRITE a("TILE_0", 400, 100), b("TILE_1", 420, 100), c("TILE_2", 440, 100);
    for (SPRITE* s : {&a, &b, &c})
        s->draw();
    finish();
    EXPECT_EQ(at(400, 100), 0xFF0000u);
    EXPECT_EQ(at(407, 107), 0xFF0000u);
    EXPECT_EQ(at(420, 100), 0x00FF00u);
    EXPECT_EQ(at(427, 107), 0x00FF00u) << "no gap column in the tile";
    EXPECT_EQ(at(443, 103), 0x0000FFu);
}

TEST_F(Window, LabelDrawsInItsColourInsideItsLine) {
    LABEL l("HELLO", 500, 300, 0, 8, 0x00FF00);
    l.update();
    l.draw();
    finish();
    int inside = 0, outside = 0;
    for (int y = 280; y < 330; ++y) {
        for (int x = 480; x < 600; ++x) {
            uint32_t c = at(x, y);
            if (c == 0) continue;
            bool green = (c >> 16) == 0 && (c & 0xFF) == 0;
            EXPECT_TRUE(green) << std::hex << c;
            if (x >= 500 && x < 560 && y >= 296 && y <= 308)
                ++inside;
            else
                ++outside;
        }
    }
    EXPECT_GT(inside, 15);
    EXPECT_EQ(outside, 0);
}

TEST_F(Window, CableCurveSagsBetweenItsEnds) {
    draw_cable_curve(600, 100, 800, 100);
    finish();
    // Ends at y 115; the middle control point at 215 pulls the curve's middle to 165.
    auto grey = [&](int x, int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            if (at(x, y) == 0x808880u) return true;
        return false;
    };
    EXPECT_TRUE(grey(700, 162, 168));
    EXPECT_FALSE(grey(700, 100, 150));
    EXPECT_TRUE(grey(602, 113, 120));
}

TEST(PngWriter, ReadsBackExactly) {
    const uint8_t rgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 250, 251, 252, 9, 8, 7};
    const SCRATCH_DIR tmp("png");
    const fs::path p = tmp.file("x.png");
    ASSERT_TRUE(write_png(p.string(), 3, 2, rgb));
    SDL_Surface* s = IMG_Load(p.c_str());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, 3);
    EXPECT_EQ(s->h, 2);
    for (int i = 0; i < 6; ++i) {
        Uint8 r, g, b;
        const Uint8* px =
            static_cast<const Uint8*>(s->pixels) + (i / 3) * s->pitch + (i % 3) * s->format->BytesPerPixel;
        Uint32 v = 0;
        for (int k = 0; k < s->format->BytesPerPixel; ++k)
            v |= static_cast<Uint32>(px[k]) << (8 * k);
        SDL_GetRGB(v, s->format, &r, &g, &b);
        EXPECT_EQ((std::vector<int>{r, g, b}),
                  (std::vector<int>{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]}));
    }
    SDL_FreeSurface(s);
    EXPECT_FALSE(write_png("/no/such/dir/x.png", 3, 2, rgb));
}

TEST(Gallery, WritesAFullWindowScreenshot) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    fs::path root = TESSARO_SOURCE_DIR;
    if (!fs::exists(root / "grfx/opengl.zim") || !fs::exists(root / "Fonts/04B_03B_.TTF"))
        GTEST_SKIP() << "artwork not generated";
    const SCRATCH_DIR tmp("gallery");
    const fs::path out = tmp.file("gallery.png");
    std::string cmd = "cd '" + root.string() + "' && '" TESSARO_GALLERY "' '" + out.string() + "' >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    SDL_Surface* s = IMG_Load(out.c_str());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, 1024);
    EXPECT_EQ(s->h, 768);
    // A real picture: many different colours.
    std::vector<bool> seen(1 << 12);
    int distinct = 0;
    for (int y = 0; y < s->h; y += 3) {
        for (int x = 0; x < s->w; x += 3) {
            const Uint8* p =
                static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
            int key = (p[0] >> 4) << 8 | (p[1] >> 4) << 4 | (p[2] >> 4);
            if (!seen[key]) ++distinct, seen[key] = true;
        }
    }
    EXPECT_GT(distinct, 100);
    SDL_FreeSurface(s);
}
