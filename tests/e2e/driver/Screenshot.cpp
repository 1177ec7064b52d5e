#include "e2e/driver/Screenshot.h"

#include <wincodec.h>
#include <wrl/client.h>

namespace e2e {

using Microsoft::WRL::ComPtr;

COLORREF Image::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const std::uint32_t at = bgrx[static_cast<std::size_t>(y) * width + x];
  return RGB(at >> 16 & 0xFF, at >> 8 & 0xFF, at & 0xFF);
}

Image captureRect(const RECT& wanted) {
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT rect{};
  if (!IntersectRect(&rect, &wanted, &screen)) return {};
  Image image{rect.right - rect.left, rect.bottom - rect.top};
  image.bgrx.resize(static_cast<std::size_t>(image.width) * image.height);
  HDC screenDc = GetDC(nullptr);
  HDC memoryDc = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDc, image.width, image.height);
  HGDIOBJ previous = SelectObject(memoryDc, bitmap);
  bool copied = BitBlt(memoryDc, 0, 0, image.width, image.height, screenDc, rect.left, rect.top, SRCCOPY);
  SelectObject(memoryDc, previous);
  // Top-down 32-bit rows, as the image keeps them.
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, 32, BI_RGB}};
  copied = copied && GetDIBits(memoryDc, bitmap, 0, image.height, image.bgrx.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(nullptr, screenDc);
  return copied ? image : Image{};
}

bool writePng(const Image& image, const std::filesystem::path& file) {
  if (image.empty() || image.bgrx.size() != static_cast<std::size_t>(image.width) * image.height) return false;
  // Tests call this from threads that may or may not have COM yet; a mode already chosen is fine.
  const bool ownsCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  bool written = false;
  {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    // 24-bit BGR rows: the format every PNG encoder of the imaging component takes.
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    std::vector<BYTE> rows;
    for (const std::uint32_t pixel : image.bgrx)
      for (const int shift : {0, 8, 16}) rows.push_back(static_cast<BYTE>(pixel >> shift));
    written =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(image.width, image.height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
        format == GUID_WICPixelFormat24bppBGR &&
        SUCCEEDED(frame->WritePixels(image.height, image.width * 3, static_cast<UINT>(rows.size()), rows.data())) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  }
  if (ownsCom) CoUninitialize();
  return written;
}

}  // namespace e2e
