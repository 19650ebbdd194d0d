#include "app/win32/icons.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace velmora {

namespace {

constexpr uint32_t kTransparent = 0x00000000;
constexpr uint32_t kPageBorder = 0xFF505050;
constexpr uint32_t kPageFill = 0xFFFAFAF5;
constexpr uint32_t kImportArrow = 0xFF288C3C;
constexpr uint32_t kExportArrow = 0xFF1E5AB4;
constexpr uint32_t kBlue = 0xFF1E5AB4;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// Premultiplied-alpha pixels, top row first, of a square picture.
class TPicture {
public:
  explicit TPicture(int size)
      : FSize(size), FPixels(static_cast<size_t>(size * size), kTransparent) {}

  void Set(int x, int y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < FSize && y < FSize) {
      FPixels[static_cast<size_t>(y * FSize + x)] = colour;
    }
  }
  void Fill(int left, int top, int right, int bottom, uint32_t colour) {
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        Set(x, y, colour);
      }
    }
  }
  // A page: a light rectangle with a dark border.
  void Page(int left, int top, int width, int height) {
    Fill(left, top, left + width, top + height, kPageBorder);
    Fill(left + 1, top + 1, left + width - 1, top + height - 1, kPageFill);
  }
  // An arrow pointing right, with its shaft starting at x and its tip at x + length.
  void Arrow(int x, int centreY, int length, int scale, uint32_t colour) {
    const int shaft = length / 2;
    Fill(x, centreY - 2 * scale, x + shaft, centreY + 2 * scale, colour);
    for (int dx = 0; dx < length - shaft; ++dx) {
      const int half = (length - shaft - dx) * 5 * scale / (length - shaft);
      Fill(x + shaft + dx, centreY - half, x + shaft + dx + 1, centreY + half, colour);
    }
  }

  HICON ToIcon() const {
    BITMAPV5HEADER header = {};
    header.bV5Size = sizeof header;
    header.bV5Width = FSize;
    header.bV5Height = -FSize; // top row first
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    const HDC screen = ::GetDC(nullptr);
    const HBITMAP colour = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                              DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    if (!colour) {
      return nullptr;
    }
    std::copy(FPixels.begin(), FPixels.end(), static_cast<uint32_t*>(bits));
    const HBITMAP mask = ::CreateBitmap(FSize, FSize, 1, 1, nullptr);
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    const HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(mask);
    ::DeleteObject(colour);
    return icon;
  }

private:
  int FSize;
  std::vector<uint32_t> FPixels;
};

} // namespace

HICON CreateApplicationIcon(int size) {
  const int scale = size / 16;
  TPicture picture(size);
  picture.Fill(scale, scale, size - scale, size - scale, kBlue);
  picture.Arrow(3 * scale, size / 2, 10 * scale, scale, kWhite);
  return picture.ToIcon();
}

HICON CreateImportIcon() {
  TPicture picture(16);
  picture.Page(7, 1, 8, 14);
  picture.Arrow(0, 8, 10, 1, kImportArrow);
  return picture.ToIcon();
}

HICON CreateExportIcon() {
  TPicture picture(16);
  picture.Page(1, 1, 8, 14);
  picture.Arrow(6, 8, 10, 1, kExportArrow);
  return picture.ToIcon();
}

} // namespace velmora
