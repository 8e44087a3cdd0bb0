#include "platform/graphics/Dib.h"

#include <cstring>
#include <stdexcept>
#include <string>

int64_t DibRowBytes(int64_t width, int bitsPerPixel) {
  if (width < 0 || width > TDib::kMaxSide) return -1;
  return ((width * bitsPerPixel + 31) / 32) * 4;
}

TDib::TDib(int width, int height, int bitsPerPixel, bool bottomUp) : FBitsPerPixel(bitsPerPixel), FBottomUp(bottomUp) {
  switch (bitsPerPixel) {
    case 1: case 4: case 8: case 24: case 32: break;
    default: throw std::invalid_argument("unsupported bitmap depth " + std::to_string(bitsPerPixel));
  }
  if (bitsPerPixel <= 8) FPalette.assign(size_t(1) << bitsPerPixel, 0);
  SetSize(width, height);
}

void TDib::SetSize(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
      int64_t(width) * height > kMaxPixels)
    throw std::length_error("bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                            " is out of range");
  FWidth = width;
  FHeight = height;
  FRowBytes = int(DibRowBytes(width, FBitsPerPixel));
  FBits.assign(size_t(FRowBytes) * size_t(height), 0);
}

uint8_t* TDib::Row0() {
  if (FBits.empty()) return nullptr;
  return FBottomUp ? FBits.data() + size_t(FHeight - 1) * FRowBytes : FBits.data();
}

const uint8_t* TDib::Row0() const {
  if (FBits.empty()) return nullptr;
  return FBottomUp ? FBits.data() + size_t(FHeight - 1) * FRowBytes : FBits.data();
}

int TDib::GetIndex(int x, int y) const {
  const uint8_t* row = ScanLine(y);
  switch (FBitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case 8: return row[x];
    default: return 0;
  }
}

COLORREF TDib::GetPixel(int x, int y) const {
  const uint8_t* row = ScanLine(y);
  switch (FBitsPerPixel) {
    case 24: { const uint8_t* p = row + 3 * x; return RGB(p[2], p[1], p[0]); }
    case 32: { const uint8_t* p = row + 4 * x; return RGB(p[2], p[1], p[0]); }
    default: {
      size_t i = size_t(GetIndex(x, y));
      return i < FPalette.size() ? FPalette[i] : 0;
    }
  }
}

void TDib::SetPixel(int x, int y, COLORREF value) {
  uint8_t* row = ScanLine(y);
  switch (FBitsPerPixel) {
    case 24: { uint8_t* p = row + 3 * x; p[0] = GetBValue(value); p[1] = GetGValue(value); p[2] = GetRValue(value); break; }
    case 32: { uint8_t* p = row + 4 * x; p[0] = GetBValue(value); p[1] = GetGValue(value); p[2] = GetRValue(value); p[3] = 0; break; }
    case 8: row[x] = uint8_t(value); break;
    case 4: {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (value & 0x0F)) : uint8_t((b & 0x0F) | ((value & 0x0F) << 4));
      break;
    }
    case 1: {
      uint8_t& b = row[x >> 3];
      uint8_t bit = uint8_t(0x80 >> (x & 7));
      b = (value & 1) ? uint8_t(b | bit) : uint8_t(b & ~bit);
      break;
    }
  }
}

void TDib::Fill(COLORREF color) {
  if ((FBitsPerPixel != 24 && FBitsPerPixel != 32) || FHeight == 0 || FWidth == 0) return;
  const int bpp = FBitsPerPixel / 8;
  uint8_t* first = ScanLine(0);
  uint8_t* p = first;
  for (int x = 0; x < FWidth; ++x, p += bpp) {
    p[0] = GetBValue(color); p[1] = GetGValue(color); p[2] = GetRValue(color);
    if (bpp == 4) p[3] = 0;
  }
  for (int y = 1; y < FHeight; ++y) std::memcpy(ScanLine(y), first, size_t(FWidth) * size_t(bpp));
}

TDib TDib::As24() const {
  if (FBitsPerPixel == 24) return *this;
  TDib out(FWidth, FHeight, 24, FBottomUp);
  out.Transparent = Transparent;
  out.TransparentColor = TransparentColor;
  // Palette entries as the three bytes they become, so that a row converts by table lookups.
  std::vector<uint8_t> bgr(FPalette.size() * 3);
  for (size_t i = 0; i < FPalette.size(); ++i) {
    bgr[3 * i] = GetBValue(FPalette[i]);
    bgr[3 * i + 1] = GetGValue(FPalette[i]);
    bgr[3 * i + 2] = GetRValue(FPalette[i]);
  }
  for (int y = 0; y < FHeight; ++y) {
    const uint8_t* s = ScanLine(y);
    uint8_t* d = out.ScanLine(y);
    if (FBitsPerPixel == 32) {
      for (int x = 0; x < FWidth; ++x, s += 4, d += 3) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      }
    } else if (FBitsPerPixel == 8) {
      for (int x = 0; x < FWidth; ++x, d += 3) {
        const size_t i = s[x];
        if (i < FPalette.size()) std::memcpy(d, &bgr[3 * i], 3);
      }
    } else {
      for (int x = 0; x < FWidth; ++x, d += 3) {
        const size_t i = size_t(GetIndex(x, y));
        if (i < FPalette.size()) std::memcpy(d, &bgr[3 * i], 3);  // an index past the palette stays black
      }
    }
  }
  return out;
}

void TDib::ConvertTo24() {
  if (FBitsPerPixel != 24) *this = As24();
}
