// Screen captures as PNG files, encoded by Windows' own imaging component.
#include "e2e/driver/Screenshot.h"

#include <wincodec.h>

#include <utility>

namespace e2e {

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

namespace {

template <class T>
struct Com {
  T* p = nullptr;
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p != nullptr) p->Release();
  }
  T** put() { return &p; }
  T* operator->() const { return p; }
};

}  // namespace

bool writePng(const Image& image, const std::filesystem::path& file) {
  if (image.empty() || image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3) return false;
  // Tests call this from threads that may or may not have COM yet; a mode already chosen is fine.
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const bool ownsCom = SUCCEEDED(init);
  bool written = false;
  {
    std::vector<std::uint8_t> bgr(image.rgb);
    for (std::size_t i = 0; i + 2 < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);
    const UINT stride = static_cast<UINT>(image.width) * 3;
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    written = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()))) &&
              SUCCEEDED(factory->CreateStream(stream.put())) &&
              SUCCEEDED(stream->InitializeFromFilename(file.wstring().c_str(), GENERIC_WRITE)) &&
              SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
              SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
              SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
              SUCCEEDED(frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height))) &&
              SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
              SUCCEEDED(frame->WritePixels(static_cast<UINT>(image.height), stride, static_cast<UINT>(bgr.size()),
                                           bgr.data())) &&
              SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  }
  if (ownsCom) CoUninitialize();
  return written;
}

}  // namespace e2e
