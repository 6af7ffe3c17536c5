// OpenGL item drawing: textures, quads, blending modes and label text.
#include "toolkit/gl_renderer.h"

#include "toolkit/font.h"
#include "toolkit/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <cstring>

namespace {

bool any_texture_size() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (version && version[0] >= '2' && version[0] <= '9') return true;
    return extensions && std::strstr(extensions, "GL_ARB_texture_non_power_of_two");
}

} // namespace

OPENGL_RENDERER& gl_renderer() {
    static OPENGL_RENDERER instance;
    return instance;
}

void OPENGL_RENDERER::upload_image(int index, const SDL_Surface* image) {
    // The texture name is the image's registry index; nearest filtering keeps pixel art sharp.
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(index));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, image->pitch / 4);
    // Registry images are red, green, blue, alpha bytes. Where any texture size is allowed
    // the image is uploaded as it is; otherwise the mipmap builder rescales it.
    static const bool exact = any_texture_size();
    if (exact)
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, image->w, image->h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image->pixels);
    else
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, image->w, image->h, GL_RGBA, GL_UNSIGNED_BYTE,
                          image->pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

// Centred at (x, y) minus the scroll offset, turned about x, then y, then z, spanning 2 ex along
// its own x axis and 2 ey along its own y axis.
void OPENGL_RENDERER::quad(int texture, float x, float y, float z, float rx, float ry, float rz, float ey,
                           float ex) {
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x - static_cast<float>(scroll_x), y - static_cast<float>(scroll_y), z);
    glRotatef(rx, 1, 0, 0);
    glRotatef(ry, 0, 1, 0);
    glRotatef(rz, 0, 0, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-ex, ey, 0);
    glTexCoord2f(0, 1);
    glVertex3f(ex, ey, 0);
    glTexCoord2f(1, 1);
    glVertex3f(ex, -ey, 0);
    glTexCoord2f(1, 0);
    glVertex3f(-ex, -ey, 0);
    glEnd();
    glPopMatrix();
}

void OPENGL_RENDERER::blend_multiply() {
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glEnable(GL_BLEND);
}

void OPENGL_RENDERER::blend_add() {
    glBlendFunc(GL_ONE, GL_ONE);
}

void OPENGL_RENDERER::blend_end() {
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void OPENGL_RENDERER::set_color(uint32_t rgb) {
    glColor3ub(static_cast<GLubyte>(rgb >> 16), static_cast<GLubyte>(rgb >> 8), static_cast<GLubyte>(rgb));
}

void OPENGL_RENDERER::print_label(float x, float y, const char* text) {
    print_text(small_font, x, y, "%s", text);
}
