// Screen captures as PNG files, so a failed outside test leaves a picture of what it saw.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace e2e {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> bgrx;  // top row first, 0x00RRGGBB a pixel

  bool empty() const { return width <= 0 || height <= 0; }
  COLORREF pixel(int x, int y) const;  // RGB(r, g, b); 0 outside the image
};

// The part of the screen in `rect` (screen pixels; clipped to the screen).
Image captureRect(const RECT& rect);

// An 8-bit RGB PNG file, encoded by Windows' imaging component; false when the image is empty or
// the file cannot be written.
bool writePng(const Image& image, const std::filesystem::path& file);

}  // namespace e2e
