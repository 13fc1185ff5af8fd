#pragma once
// Pictures of what a window shows on the screen, saved as BMP or PNG.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace uiauto {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top row first, 3 bytes a pixel
};

// The screen's pixels under `area` (screen coordinates), as they are now.
Picture captureScreen(const RECT& area);

// Writes `picture` as a 24-bit BMP or, when `path` ends in ".png", as an
// uncompressed PNG. False when the file cannot be written.
bool savePicture(const Picture& picture, const std::string& path);

} // namespace uiauto
