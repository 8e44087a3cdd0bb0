#pragma once
// A device-independent bitmap: the picture every painter draws into.
//
// Pixels are rows of 1, 4, 8, 24 or 32 bits, each row padded to 4 bytes. 24-bit pixels are
// three bytes blue, green, red; 32-bit pixels are blue, green, red, alpha. Palettised pictures
// (1/4/8 bits) carry their colour table. Rows are stored top-down unless the picture was
// created bottom-up; painters must not assume either and walk rows through RowDistance(),
// which is negative for a bottom-up picture.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/graphics/Colors.h"
#include "platform/graphics/Types.h"

class TDib {
 public:
  // Largest picture the layer will allocate (also the readers' limit for absurd headers).
  static constexpr int64_t kMaxPixels = int64_t(1) << 26;  // 64 Mpx
  static constexpr int kMaxSide = 1 << 15;

  TDib() = default;
  // Pixels start out zero (black, or palette entry 0). Throws std::length_error when the size
  // is negative or too big, std::invalid_argument for an unsupported depth.
  TDib(int width, int height, int bitsPerPixel = 24, bool bottomUp = false);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int BitsPerPixel() const { return FBitsPerPixel; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  bool BottomUp() const { return FBottomUp; }
  TRect BoundsRect() const { return {0, 0, FWidth, FHeight}; }

  // Bytes per stored row (padded to 4) and the signed distance from row y to row y + 1.
  int RowBytes() const { return FRowBytes; }
  int RowDistance() const { return FBottomUp ? -FRowBytes : FRowBytes; }
  uint8_t* ScanLine(int y) { return Row0() + std::ptrdiff_t(y) * RowDistance(); }
  const uint8_t* ScanLine(int y) const { return Row0() + std::ptrdiff_t(y) * RowDistance(); }
  uint8_t* Row0();
  const uint8_t* Row0() const;

  // The rows in memory order (bottom row first for a bottom-up picture).
  uint8_t* Bits() { return FBits.data(); }
  const uint8_t* Bits() const { return FBits.data(); }
  size_t BitsSize() const { return FBits.size(); }

  // Colour table of a palettised picture, entries as 0x00BBGGRR.
  std::vector<COLORREF>& Palette() { return FPalette; }
  const std::vector<COLORREF>& Palette() const { return FPalette; }

  // Colour of a pixel (palette entries resolved; entries past the table read as black).
  // Bounds are the caller's business, as with the row accessors.
  COLORREF GetPixel(int x, int y) const;
  // For 24 and 32 bits: writes the colour. For palettised pictures: writes the palette index
  // given in the low bits of `value`.
  void SetPixel(int x, int y, COLORREF value);
  // Palette index of a palettised picture's pixel.
  int GetIndex(int x, int y) const;

  void Fill(COLORREF color);  // 24 and 32 bits only

  // Turns the picture into a 24-bit one in place (same orientation); no-op when already 24.
  void ConvertTo24();
  TDib As24() const;

  // Changes the size; the content is lost (cleared to zero).
  void SetSize(int width, int height);

  // Whether a key colour marks transparent pixels, and which.
  bool Transparent = false;
  COLORREF TransparentColor = 0xFF00FF;

 private:
  int FWidth = 0;
  int FHeight = 0;
  int FBitsPerPixel = 24;
  int FRowBytes = 0;
  bool FBottomUp = false;
  std::vector<uint8_t> FBits;
  std::vector<COLORREF> FPalette;
};

using HBITMAP = TDib*;

// Row length in bytes, padded to 4 bytes, for a width and depth; -1 when it would overflow.
int64_t DibRowBytes(int64_t width, int bitsPerPixel);
