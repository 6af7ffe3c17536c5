// The window's size, the art and font it loads, and its caption.
#pragma once

constexpr int WINDOW_WIDTH = 1024;
constexpr int WINDOW_HEIGHT = 768;
constexpr const char* SPRITE_FILE = "grfx/opengl.zim";
constexpr const char* FONT_FILE = "Fonts/04B_03B_.TTF";
constexpr const char* CAPTION_FORMAT = "Zel ENGINE & Fennick - Synthesizer [%s]";
