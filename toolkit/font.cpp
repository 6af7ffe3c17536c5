// FreeType glyph rasterising into textures and display lists, and printing with them.
#include "toolkit/font.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include "platform/data_dir.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <stdexcept>
#include <vector>

FONT small_font;
FONT large_font;

int glyph_texture_size(int n) {
    int size = 1;
    while (size < n)
        size <<= 1;
    return size;
}

float line_height(float height) {
    return height / 0.63f;
}

int split_lines(const char* text, TEXT_LINE* lines, int max) {
    int count = 0, start = 0, i = 0;
    for (;; ++i) {
        if (text[i] == '\n' || text[i] == '\0') {
            if (count < max) lines[count] = {start, i - start};
            ++count;
            if (text[i] == '\0') break;
            start = i + 1;
        }
    }
    return count;
}

namespace {

void build_glyph(FT_Face face, unsigned char code, unsigned int list_base, unsigned int texture) {
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_DEFAULT))
        throw std::runtime_error("FT_Load_Glyph failed");
    FT_Glyph glyph;
    if (FT_Get_Glyph(face->glyph, &glyph)) throw std::runtime_error("FT_Get_Glyph failed");
    FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1);
    auto* bitmap_glyph = reinterpret_cast<FT_BitmapGlyph>(glyph);
    const FT_Bitmap& bitmap = bitmap_glyph->bitmap;
    int w = static_cast<int>(bitmap.width), rows = static_cast<int>(bitmap.rows);
    int tw = glyph_texture_size(w), th = glyph_texture_size(rows);

    // Luminance and alpha both carry the coverage, so the glyph takes the current colour.
    std::vector<GLubyte> data(static_cast<size_t>(2 * tw * th), 0);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < w; ++i) {
            GLubyte v = bitmap.buffer[j * bitmap.pitch + i];
            data[2 * (i + j * tw)] = data[2 * (i + j * tw) + 1] = v;
        }
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, tw, th, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, data.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    float s = static_cast<float>(w) / tw, t = static_cast<float>(rows) / th;
    glNewList(list_base + code, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPushMatrix();
    glTranslatef(static_cast<float>(bitmap_glyph->left), 0, 0);
    glTranslatef(0, static_cast<float>(bitmap_glyph->top - rows), 0);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, static_cast<float>(rows));
    glTexCoord2f(0, t);
    glVertex2f(0, 0);
    glTexCoord2f(s, t);
    glVertex2f(static_cast<float>(w), 0);
    glTexCoord2f(s, 0);
    glVertex2f(static_cast<float>(w), static_cast<float>(rows));
    glEnd();
    glPopMatrix();
    glTranslatef(static_cast<float>(face->glyph->advance.x >> 6), 0, 0);
    glEndList();
    FT_Done_Glyph(glyph);
}

} // namespace

void load_font(FONT& font, const char* path, float height) {
    font.textures = new unsigned int[FONT_CODES];
    font.height = height;
    FT_Library library;
    if (FT_Init_FreeType(&library)) throw std::runtime_error("FT_Init_FreeType failed");
    FT_Face face;
    if (FT_New_Face(library, data_path(path).c_str(), 0, &face)) {
        FT_Done_FreeType(library);
        throw std::runtime_error("FT_New_Face failed (there is probably a problem with your font file)");
    }
    // height points at 96 dots per inch in both directions.
    FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(height * 64), static_cast<FT_F26Dot6>(height * 64), 96,
                     96);
    font.list_base = glGenLists(FONT_CODES);
    glGenTextures(FONT_CODES, font.textures);
    try {
        for (int n = 0; n < FONT_CODES; ++n)
            build_glyph(face, static_cast<unsigned char>(n), font.list_base, font.textures[n]);
    } catch (...) {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        throw;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void free_font(FONT& font) {
    if (font.list_base) glDeleteLists(font.list_base, FONT_CODES);
    if (font.textures) glDeleteTextures(FONT_CODES, font.textures);
    delete[] font.textures;
    font.textures = nullptr;
    font.list_base = 0;
}

void print_text(FONT& font, float x, float y, const char* format, ...) {
    if (!format || !font.textures) return;

    // Text positions are window pixels counted from the bottom edge.
    glPushAttrib(GL_TRANSFORM_BIT);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(viewport[0], viewport[2], viewport[1], viewport[3]);
    glPopAttrib();

    float step = line_height(font.height);
    char text[PRINT_TEXT_MAX + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    glPushAttrib(GL_LIST_BIT | GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glListBase(font.list_base);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);

    TEXT_LINE lines[PRINT_TEXT_MAX + 1];
    int count = split_lines(text, lines, PRINT_TEXT_MAX + 1);
    for (int i = 0; i < count; ++i) {
        // Codes past 127 have no glyph: they are left out rather than calling foreign lists.
        unsigned char codes[PRINT_TEXT_MAX + 1];
        int n = 0;
        for (int k = 0; k < lines[i].length; ++k) {
            auto c = static_cast<unsigned char>(text[lines[i].start + k]);
            if (c < FONT_CODES) codes[n++] = c;
        }
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(x, y - step * static_cast<float>(i), 0);
        glMultMatrixf(modelview);
        glCallLists(n, GL_UNSIGNED_BYTE, codes);
        glPopMatrix();
    }
    glPopAttrib();

    glPushAttrib(GL_TRANSFORM_BIT);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
