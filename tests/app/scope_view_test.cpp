// The oscilloscope's picture without a window: where a point's pixels land, and the zoom line's text.
#include "app/scope.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

struct PICTURE {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 1024, 768, 32, 0xff0000, 0xff00, 0xff, 0);
    PICTURE() { SDL_FillRect(s, nullptr, 0x123456); }
    ~PICTURE() { SDL_FreeSurface(s); }
    PICTURE(const PICTURE&) = delete;
    PICTURE& operator=(const PICTURE&) = delete;
    uint32_t at(int x, int y) const { return static_cast<uint32_t*>(s->pixels)[y * (s->pitch / 4) + x]; }
    int count(uint32_t colour) const {
        int n = 0;
        for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x)
                n += at(x, y) == colour;
        return n;
    }
};

} // namespace

TEST(ScopePicture, APointIsItsTipTheFillToTheCentreAndTheCentre) {
    PICTURE p;
    plot_scope_point(p.s, {10, 64});
    EXPECT_EQ(p.at(10, 384 + 64), SCOPE_TRACE_COLOUR);
    for (int y = 385; y < 384 + 64; ++y)
        EXPECT_EQ(p.at(10, y), SCOPE_FILL_COLOUR) << y;
    EXPECT_EQ(p.at(10, 384), SCOPE_CENTRE_COLOUR);
    EXPECT_EQ(p.at(10, 383), 0x123456u);
    EXPECT_EQ(p.at(10, 384 + 65), 0x123456u);
    EXPECT_EQ(p.count(SCOPE_FILL_COLOUR), 63);

    PICTURE q;
    plot_scope_point(q.s, {20, -3});
    EXPECT_EQ(q.at(20, 381), SCOPE_TRACE_COLOUR);
    EXPECT_EQ(q.at(20, 382), SCOPE_FILL_COLOUR);
    EXPECT_EQ(q.at(20, 383), SCOPE_FILL_COLOUR);
    EXPECT_EQ(q.at(20, 384), SCOPE_CENTRE_COLOUR);
    plot_scope_point(q.s, {21, 0});
    EXPECT_EQ(q.at(21, 384), SCOPE_CENTRE_COLOUR);
    EXPECT_EQ(q.count(SCOPE_TRACE_COLOUR), 1);
}

TEST(ScopePicture, PointsBeyondThePictureStayInsideIt) {
    PICTURE p;
    // The largest swing the ring carries reaches the picture's edge rows, no further.
    plot_scope_point(p.s, {5, -SCOPE_ROW_LIMIT});
    EXPECT_EQ(p.at(5, 1), SCOPE_TRACE_COLOUR);
    plot_scope_point(p.s, {6, SCOPE_ROW_LIMIT});
    EXPECT_EQ(p.at(6, 767), SCOPE_TRACE_COLOUR);
    EXPECT_EQ(p.count(SCOPE_FILL_COLOUR), 2 * 382);
    const int before = p.count(0x123456);
    plot_scope_point(p.s, {1024, 10});
    plot_scope_point(p.s, {-1, 10});
    plot_scope_point(p.s, {SCOPE_WRAP, 10});
    EXPECT_EQ(p.count(0x123456), before);
    plot_scope_point(nullptr, {1, 1});
}

TEST(ScopePicture, ZoomLineIsCutToItsBufferAndTheSweepClearsToWhite) {
    char buf[64];
    EXPECT_STREQ(scope_zoom_text(buf, sizeof buf, 2.0f), "ZOOM SIZE IS 2.000");
    EXPECT_STREQ(scope_zoom_text(buf, sizeof buf, SCOPE_ZOOM_MAX), "ZOOM SIZE IS 1024.000");
    EXPECT_STREQ(scope_zoom_text(buf, sizeof buf, SCOPE_ZOOM_MIN), "ZOOM SIZE IS 0.001");
    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_STREQ(scope_zoom_text(small, sizeof small, 2.0f), "ZOOM SI");

    PICTURE p;
    SCOPE_VIEW scope;
    scope.picture = p.s;
    end_scope_sweep(scope, 1.0f);
    EXPECT_EQ(p.count(0xffffffffu), 1024 * 768);
}
