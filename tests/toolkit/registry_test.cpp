// The sprite registry: description files, tile sheets with gaps, true colours, capacity.
#include "toolkit/sprite_registry.h"
#include "toolkit_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/verbose.h"

namespace {

void save_bmp(SDL_Surface* s, const std::string& path) {
    ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
    SDL_FreeSurface(s);
}

// A sheet of 1 row of 3 tiles of 4 x 5 pixels with 2-pixel gaps, tile k in colour k, the
// gaps white so that a wrong cut shows.
void save_sheet(const std::string& path) {
    const uint32_t colours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    SDL_Surface* s = solid_bgr(16, 5, 0xFFFFFF);
    for (int k = 0; k < 3; ++k)
        paint(s, k * 6, 0, 4, 5, colours[k]);
    save_bmp(s, path);
}

} // namespace

TEST(DescriptionFile, EntriesStopAtEndOrHashPath) {
    SCRATCH_DIR tmp;
    tmp.write("a.zim", "HEADER v1\nFOND a.png SIMPLEPART\nLED\nsheet.png TILES 4 5 1 3 2 0 IGNORED # x END");
    FILE* f = std::fopen(tmp.file("a.zim").c_str(), "r");
    std::vector<SPRITE_ENTRY> e = parse_sprite_description(f);
    std::fclose(f);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_STREQ(e[0].name, "FOND");
    EXPECT_TRUE(e[0].simple);
    EXPECT_STREQ(e[1].path, "sheet.png");
    EXPECT_FALSE(e[1].simple);
    EXPECT_EQ(e[1].columns, 3);
    EXPECT_EQ(e[1].gap_x, 2);
    // Row and column gaps lie between tiles only.
    EXPECT_EQ(tile_origin(e[1], 0, 0).x, 0);
    EXPECT_EQ(tile_origin(e[1], 0, 2).x, 12);
    SPRITE_ENTRY grid = e[1];
    grid.gap_y = 3;
    EXPECT_EQ(tile_origin(grid, 2, 1).y, 16);

    tmp.write("empty.zim", "H H END\n");
    f = std::fopen(tmp.file("empty.zim").c_str(), "r");
    EXPECT_TRUE(parse_sprite_description(f).empty());
    std::fclose(f);
}

TEST(RegistryLoading, SheetsCutWithGapsInTrueColours) {
    SCRATCH_DIR tmp;
    save_sheet(tmp.file("sheet.bmp"));
    save_bmp(solid_bgr(3, 2, 0xFF8000), tmp.file("orange.bmp"));
    tmp.write("s.zim", "sprites 1\nORANGE " + tmp.file("orange.bmp") + " SIMPLEPART\nTILE " +
                           tmp.file("sheet.bmp") + " SHEET 4 5 1 3 2 0\nORANGE " + tmp.file("sheet.bmp") +
                           " SIMPLEPART\nEND\n");
    RECORDING_RENDERER rec;
    SPRITE_REGISTRY r;
    STDOUT_CAPTURE out;
    set_verbose(true); // the sheets are described only with --verbose
    ASSERT_EQ(r.create_registry(tmp.file("s.zim").c_str()), 1);
    set_verbose(false);
    std::string log = out.finish();
    EXPECT_NE(log.find("Multipart : TILE 4 5 1 3 \n"), std::string::npos);
    ASSERT_EQ(r.count, 4);
    EXPECT_EQ(r.index_of_image("TILE_0"), 1);
    EXPECT_EQ(r.index_of_image("TILE_2"), 3);
    EXPECT_EQ(r.index_of_image("TILE_3"), -1);
    const uint32_t colours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int k = 0; k < 3; ++k) {
        SDL_Surface* t = r.get_image(("TILE_" + std::to_string(k)).c_str());
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->w, 4);
        EXPECT_EQ(rgb_at(t, 0, 0), colours[k]) << "tile " << k;
        EXPECT_EQ(rgb_at(t, 3, 4), colours[k]) << "tile " << k;
    }
    EXPECT_EQ(r.widths[0], 3) << "the second ORANGE entry did not replace the first";
    EXPECT_EQ(rgb_at(r.get_image("ORANGE"), 1, 1), 0xFF8000u);

    // Every stored image has the same byte order: red, green, blue, alpha.
    const auto* px = static_cast<const uint8_t*>(r.get_image("TILE_0")->pixels);
    EXPECT_EQ((std::vector<int>{px[0], px[1], px[2], px[3]}), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(rec.of("upload").size(), 4u);
}

TEST(RegistryLoading, EveryPixelFormatGivesTheSameBytes) {
    SDL_Surface* bgr = solid_bgr(2, 1, 0x102030);
    SDL_Surface* rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 1, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    paint(rgb, 0, 0, 2, 1, 0x102030);
    SDL_Surface* indexed = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 1, 8, 0, 0, 0, 0);
    SDL_Color palette[2] = {{0, 0, 0, 0}, {0x10, 0x20, 0x30, 0}};
    SDL_SetColors(indexed, palette, 0, 2);
    std::memset(indexed->pixels, 1, 2);
    for (SDL_Surface* s : {bgr, rgb, indexed}) {
        SDL_Surface* out = to_registry_layout(s);
        ASSERT_NE(out, nullptr);
        const auto* p = static_cast<const uint8_t*>(out->pixels);
        EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{0x10, 0x20, 0x30, 255}))
            << int(s->format->BitsPerPixel) << " bits";
        SDL_FreeSurface(out);
        SDL_FreeSurface(s);
    }
}

TEST(RegistryLoading, RegisteringAndAddingRules) {
    SPRITE_REGISTRY r;
    STDOUT_CAPTURE out;
    EXPECT_EQ(r.add_surface(solid_bgr(1, 1, 0), "A"), 1);
    EXPECT_EQ(r.add_surface(nullptr, "B"), 0);
    EXPECT_EQ(r.add_surface(solid_bgr(9, 9, 0), "A"), 1) << "a known name keeps its first image";
    EXPECT_EQ(r.register_image("A", solid_bgr(5, 4, 0), 5, 4), 1);
    EXPECT_EQ(out.finish(), "") << "the steps are said only with --verbose";
    EXPECT_EQ(r.widths[0], 5) << "registering a known name replaces it";
    EXPECT_EQ(r.get_image("a"), nullptr) << "names are case-sensitive";
    EXPECT_EQ(r.load_image("/no/such/file.png", "C"), 0);
}

TEST(RegistryLoading, ImagesBeyondCapacityAreRefusedByName) {
    SCRATCH_DIR tmp;
    save_bmp(solid_bgr(1, 1, 0xFFFFFF), tmp.file("dot.bmp"));
    save_sheet(tmp.file("sheet.bmp"));
    std::string zim = "H H\n";
    for (int i = 0; i < 399; ++i)
        zim += "IMG" + std::to_string(i) + " " + tmp.file("dot.bmp") + " SIMPLEPART\n";
    zim += "TILE " + tmp.file("sheet.bmp") + " SHEET 4 5 1 3 2 0\n";
    zim += "LAST " + tmp.file("dot.bmp") + " SIMPLEPART\nEND\n";
    tmp.write("big.zim", zim);
    SPRITE_REGISTRY r;
    STDOUT_CAPTURE out;
    r.create_registry(tmp.file("big.zim").c_str());
    std::string log = out.finish();
    EXPECT_EQ(r.count, REGISTRY_CAPACITY);
    EXPECT_EQ(r.index_of_image("TILE_0"), 399);
    EXPECT_NE(log.find("[TILE_1] refused"), std::string::npos);
    EXPECT_NE(log.find("[TILE_2] refused"), std::string::npos);
    EXPECT_NE(log.find("[LAST] refused"), std::string::npos);
}

TEST(RegistryLoadingDeathTest, MissingFilesEndTheProcess) {
    SCRATCH_DIR tmp;
    std::string missing = tmp.file("none.zim");
    EXPECT_EXIT(SPRITE_REGISTRY().create_registry(missing.c_str()), testing::ExitedWithCode(255), "");
    tmp.write("bad.zim", "H H X " + tmp.file("nope.png") + " SIMPLEPART END");
    std::string bad = tmp.file("bad.zim");
    EXPECT_EXIT(
        {
            SPRITE_REGISTRY r;
            r.create_registry(bad.c_str());
        },
        testing::ExitedWithCode(255), "");
    // A tile sheet that cannot be loaded is skipped without a word.
    tmp.write("sheet.zim", "H H T " + tmp.file("nope.png") + " SHEET 4 4 1 1 0 0 END");
    SPRITE_REGISTRY r;
    STDOUT_CAPTURE out;
    EXPECT_EQ(r.create_registry(tmp.file("sheet.zim").c_str()), 1);
    out.finish();
    EXPECT_EQ(r.count, 0);
}
