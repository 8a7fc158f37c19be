// Writes a 24-bit RGB image as a PNG file (uncompressed deflate blocks: the
// pictures are small and need no zlib).
#pragma once

#include <stdint.h>
#include <vector>

// `rgb` holds width * height pixels, 3 bytes each, rows top to bottom.
bool WritePng(const char* path, int width, int height, const std::vector<uint8_t>& rgb);
