// A small PNG encoder for screenshots: 8-bit RGB, one zlib stream, no filtering.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The encoded file for w x h pixels of 3 bytes each, rows from the top.
std::vector<uint8_t> encode_png(int w, int h, const uint8_t* rgb);
// Writes it; false when the file cannot be written.
bool write_png(const std::string& path, int w, int h, const uint8_t* rgb);
