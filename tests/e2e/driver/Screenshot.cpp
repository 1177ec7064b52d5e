// Screen captures as PNG files, written without an image library.
#include "e2e/driver/Screenshot.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

namespace e2e {

namespace {

const std::array<std::uint32_t, 256>& crcTable() {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = crcTable()[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t adler32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t a = 1, b = 0;
  for (std::size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::vector<std::uint8_t>& data) {
  putBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  // The checksum covers the type and the data, not the length.
  putBigEndian(out, crc32(out.data() + typeAt, out.size() - typeAt));
}

// A zlib stream of stored deflate blocks: bigger than compressed, but needs no compressor.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> out{0x78, 0x01};
  constexpr std::size_t kMaxBlock = 65535;
  std::size_t at = 0;
  do {
    const std::size_t size = std::min(kMaxBlock, raw.size() - at);
    const bool last = at + size == raw.size();
    out.push_back(last ? 1 : 0);
    const auto length = static_cast<std::uint16_t>(size);
    const auto complement = static_cast<std::uint16_t>(~length);
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(complement & 0xFF));
    out.push_back(static_cast<std::uint8_t>(complement >> 8));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  } while (at < raw.size());
  putBigEndian(out, adler32(raw.data(), raw.size()));
  return out;
}

}  // namespace

COLORREF Image::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
  return RGB(rgb[at], rgb[at + 1], rgb[at + 2]);
}

Image captureRect(const RECT& wanted) {
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT rect{};
  if (!IntersectRect(&rect, &wanted, &screen)) return {};
  Image image;
  image.width = rect.right - rect.left;
  image.height = rect.bottom - rect.top;

  HDC screenDc = GetDC(nullptr);
  if (screenDc == nullptr) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down, like the PNG rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memoryDc = CreateCompatibleDC(screenDc);
  bool copied = false;
  if (bitmap != nullptr && memoryDc != nullptr) {
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    copied = BitBlt(memoryDc, 0, 0, image.width, image.height, screenDc, rect.left, rect.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memoryDc, previous);
  }
  if (copied) {
    const auto* bgrx = static_cast<const std::uint8_t*>(bits);
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    image.rgb.resize(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i) {
      image.rgb[i * 3] = bgrx[i * 4 + 2];
      image.rgb[i * 3 + 1] = bgrx[i * 4 + 1];
      image.rgb[i * 3 + 2] = bgrx[i * 4];
    }
  }
  if (memoryDc != nullptr) DeleteDC(memoryDc);
  if (bitmap != nullptr) DeleteObject(bitmap);
  ReleaseDC(nullptr, screenDc);
  return copied ? image : Image{};
}

Image captureScreen() {
  return captureRect({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

Image captureWindow(HWND window) {
  RECT rect{};
  if (window == nullptr || !GetWindowRect(window, &rect)) return {};
  return captureRect(rect);
}

std::vector<std::uint8_t> encodePng(const Image& image) {
  if (image.empty() || image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3) return {};
  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  std::vector<std::uint8_t> header;
  putBigEndian(header, static_cast<std::uint32_t>(image.width));
  putBigEndian(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace
  putChunk(png, "IHDR", header);

  // Every row starts with filter type 0 (none).
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
  std::vector<std::uint8_t> raw;
  raw.reserve((rowBytes + 1) * image.height);
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);
    const auto row = image.rgb.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
    raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  putChunk(png, "IDAT", zlibStored(raw));
  putChunk(png, "IEND", {});
  return png;
}

bool writePng(const Image& image, const std::filesystem::path& file) {
  const auto png = encodePng(image);
  if (png.empty()) return false;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace e2e
