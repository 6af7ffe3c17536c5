// Drives a real window through xdotool as a person would: pointer, buttons, keys, screenshots.
#include "tests/support/xdo.h"
#include "tests/support/program.h"
#include "tests/support/wait.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "tests/support/display.h"
#include "tests/support/program.h"

namespace {

std::string xdotool(const std::string& args, int* status = nullptr) {
    return shell_output("xdotool " + args + " 2>/dev/null", status);
}

std::string regex_quoted(const std::string& text) {
    static const std::string special = "\\^$.|?*+()[]{}";
    std::string q;
    for (char c : text) {
        if (special.find(c) != std::string::npos) q += '\\';
        q += c;
    }
    return q;
}

int shell_number(const std::string& text, const std::string& key) {
    const std::regex line(key + "=(-?[0-9]+)");
    std::smatch m;
    return std::regex_search(text, m, line) ? std::stoi(m[1]) : 0;
}

} // namespace

uint32_t IMAGE::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
    return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
}

IMAGE IMAGE::crop(int cx, int cy, int cw, int ch) const {
    IMAGE out;
    out.w = cw;
    out.h = ch;
    out.rgb.assign(static_cast<size_t>(cw) * ch * 3, 0);
    for (int j = 0; j < ch; ++j)
        for (int i = 0; i < cw; ++i) {
            const uint32_t c = at(cx + i, cy + j);
            uint8_t* p = &out.rgb[(static_cast<size_t>(j) * cw + i) * 3];
            p[0] = c >> 16;
            p[1] = (c >> 8) & 0xFF;
            p[2] = c & 0xFF;
        }
    return out;
}

// The real ImageMagick converter, not a stand-in of the same name earlier on the PATH.
static std::string converter() {
    if (const char* c = std::getenv("TESSARO_CONVERT")) return c;
    return access("/usr/bin/convert", X_OK) == 0 ? "/usr/bin/convert" : "convert";
}

bool IMAGE::save(const std::string& path) const {
    const bool png = path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
    const std::string ppm = png ? path + ".ppm" : path;
    FILE* f = std::fopen(ppm.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
    std::fclose(f);
    if (!png || !written) return written;
    int status = -1;
    shell_output(converter() + " " + shell_quoted(ppm) + " " + shell_quoted(path) + " 2>/dev/null", &status);
    std::remove(ppm.c_str());
    return status == 0;
}

IMAGE parse_ppm(const std::string& bytes) {
    IMAGE img;
    std::istringstream in(bytes);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    if (magic != "P6" || w <= 0 || h <= 0 || max != 255) return img;
    in.get();
    const size_t at = static_cast<size_t>(in.tellg());
    const size_t size = static_cast<size_t>(w) * h * 3;
    if (bytes.size() < at + size) return img;
    img.w = w;
    img.h = h;
    img.rgb.assign(bytes.begin() + at, bytes.begin() + at + size);
    return img;
}

IMAGE load_image(const std::string& path) {
    return parse_ppm(shell_output(converter() + " " + shell_quoted(path) + " -depth 8 ppm:- 2>/dev/null"));
}

int colour_distance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        d = std::max(d, std::abs(x));
    }
    return d;
}

double match_fraction(const IMAGE& screen, int x, int y, const IMAGE& picture, int px, int py, int w, int h,
                      int tolerance) {
    int same = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            same += colour_distance(screen.at(x + i, y + j), picture.at(px + i, py + j)) <= tolerance;
    return static_cast<double>(same) / (w * h);
}

int pixels_differing(const IMAGE& a, const IMAGE& b, int x, int y, int w, int h, int tolerance) {
    int n = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            n += colour_distance(a.at(i, j), b.at(i, j)) > tolerance;
    return n;
}

bool have_x_tools() {
    return have_command("xdotool") && have_command("import");
}

X_WINDOW X_WINDOW::find(const std::string& caption, int timeout_ms) {
    X_WINDOW win;
    const std::string pattern = shell_quoted("^" + regex_quoted(caption) + "$");
    const bool shown = wait_until(
        [&] {
            std::istringstream ids(xdotool("search --name " + pattern));
            std::string id;
            while (ids >> id) {
                const std::string g = xdotool("getwindowgeometry --shell " + id);
                win.w = shell_number(g, "WIDTH");
                win.h = shell_number(g, "HEIGHT");
                // SDL keeps an unmapped helper window of the same name; the real one has a size.
                if (win.w <= 1 || win.h <= 1) continue;
                win.id = id;
                win.x = shell_number(g, "X");
                win.y = shell_number(g, "Y");
                return true;
            }
            return false;
        },
        timeout_ms, 100);
    if (!shown) return X_WINDOW();
    xdotool("windowfocus --sync " + win.id);
    return win;
}

void X_WINDOW::move(int px, int py, bool sync) const {
    if (sync) {
        // Waiting for a move to where the pointer already is waits for an event that never comes.
        int cx, cy;
        pointer(cx, cy);
        if (cx == px && cy == py) return;
    }
    xdotool(std::string("mousemove ") + (sync ? "--sync " : "") + std::to_string(x + px) + " " +
            std::to_string(y + py));
}

void X_WINDOW::button_down(int button) const {
    xdotool("mousedown " + std::to_string(button));
}

void X_WINDOW::button_up(int button) const {
    xdotool("mouseup " + std::to_string(button));
}

void X_WINDOW::click(int button, int px, int py) const {
    move(px, py);
    pause_ms(50);
    button_down(button);
    pause_ms(80);
    button_up(button);
    pause_ms(80);
}

void X_WINDOW::drag(int button, int x0, int y0, int x1, int y1, int steps) const {
    move(x0, y0);
    pause_ms(50);
    button_down(button);
    pause_ms(80);
    for (int i = 1; i <= steps; ++i) {
        xdotool("mousemove " + std::to_string(x + x0 + (x1 - x0) * i / steps) + " " +
                std::to_string(y + y0 + (y1 - y0) * i / steps));
        pause_ms(30);
    }
    pause_ms(80);
    button_up(button);
    pause_ms(80);
}

void X_WINDOW::key_down(const std::string& key) const {
    xdotool("keydown " + shell_quoted(key));
}

void X_WINDOW::key_up(const std::string& key) const {
    xdotool("keyup " + shell_quoted(key));
}

void X_WINDOW::key(const std::string& k) const {
    key_down(k);
    pause_ms(50);
    key_up(k);
}

void X_WINDOW::pointer(int& px, int& py) const {
    const std::string s = xdotool("getmouselocation --shell");
    px = shell_number(s, "X") - x;
    py = shell_number(s, "Y") - y;
}

bool X_WINDOW::pointer_returns_to(int px, int py, int timeout_ms) const {
    return wait_until(
        [&] {
            int cx, cy;
            pointer(cx, cy);
            return cx == px && cy == py;
        },
        timeout_ms);
}

IMAGE X_WINDOW::screenshot() const {
    const IMAGE screen = parse_ppm(shell_output("import -window root -depth 8 ppm:- 2>/dev/null"));
    return screen.empty() ? screen : screen.crop(x, y, w, h);
}

IMAGE X_WINDOW::screenshot_when(const std::function<bool(const IMAGE&)>& shows, int timeout_ms) const {
    IMAGE shot;
    wait_until(
        [&] {
            shot = screenshot();
            return !shot.empty() && shows(shot);
        },
        timeout_ms, 100);
    return shot;
}

std::string close_window_program(PROGRAM& program, const X_WINDOW& window) {
    if (program.alive() && window.found()) {
        window.key("Escape");
        program.wait();
    }
    program.finish(2000);
    return program.output();
}

bool sanitizers_silent(const std::string& output) {
    return output.find("AddressSanitizer") == std::string::npos && output.find("runtime error") == std::string::npos;
}
