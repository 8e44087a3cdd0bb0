#pragma once
// Pixel-level tools shared by all skin painting: fast row-based pixel access, colour fills,
// colour mixing, image blending, grey conversion and masked mixing. Pixels are read and
// written through row addresses (row 0 plus y times the row distance).
#include <cstdint>

#include "platform/graphics/DC.h"
#include "platform/graphics/Dib.h"

class TkvFast24 {
 public:
  TDib* Bitmap = nullptr;
  int Width = 0;
  int Height = 0;
  int32_t RowDistance = 0;
  uint8_t* Row0 = nullptr;
  // Fails (leaving Width 0) for a bitmap narrower or lower than 2 pixels.
  bool Attach(TDib* bitmap);
  // No bounds check: callers check.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);
};

class TkvFastSum24 {
 public:
  TDib* Source = nullptr;
  TDib* Destination = nullptr;
  int Width = 0, Height = 0;
  uint8_t* SourceRow0 = nullptr;
  uint8_t* DestinationRow0 = nullptr;
  int32_t SourceRowDistance = 0, DestinationRowDistance = 0;
  uint8_t Weight = 0;
  TRect DestinationRect;
  TRect SourceRect;
  bool Attach(TDib* source, TDib* destination);
  // destination := (destination * weight + source * (255 - weight) + 127) >> 8, every byte.
  void Blend();
};

// The three shared accessors (two TkvFast24, one TkvFastSum24); painters must not nest them.
TkvFast24& SharedFast24A();
TkvFast24& SharedFast24B();
TkvFastSum24& SharedFastSum24();

void FillRectColor(HDC dc, const TRect& r, TColor color);
std::unique_ptr<TDib> CreateBitmap24(int width, int height);
// round(f * pixel + (1 - f) * c) per channel, f = percent / 100, inclusive bounds, ties to even.
void MixColor(TDib* bitmap, TRect r, int percent, TColor color);
void BlendImage(TDib* destination, TDib* source, int weight, TPoint point, TRect sourceRect);
// The same for equal sizes over the whole area; nothing when the sizes differ.
void BlendSameSize(TDib* destination, TDib* source, int weight);
void BlendKeyed(TDib* destination, int x, int y, TColor key, double factor, TRect sourceRect, TDib* source);
void Grayscale(TDib* bitmap);
void GrayscaleKeyed(TDib* bitmap, TColor key);
void MixMasked(TDib* target, TDib* mask, TColor color);
