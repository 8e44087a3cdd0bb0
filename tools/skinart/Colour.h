#pragma once
// Colours as the skin-art painters mix them: three float channels from 0 to 255, rounded only
// when a pixel is stored, and their hue, saturation and lightness for mapping one skin's
// colours onto another's.
#include "platform/graphics/Colors.h"

namespace SkinArt {

struct TRgb {
  float R = 0;
  float G = 0;
  float B = 0;
};

constexpr TRgb Rgb(int r, int g, int b) { return {float(r), float(g), float(b)}; }
inline constexpr TRgb kWhite = Rgb(255, 255, 255);

// From a to b; t is clamped to 0..1.
TRgb Mix(TRgb a, TRgb b, float t);
COLORREF ToColorRef(TRgb c);
TRgb FromColorRef(COLORREF c);

struct THsl {
  float H = 0, S = 0, L = 0;  // degrees, 0..1, 0..1
};

THsl ToHsl(TRgb c);
TRgb FromHsl(THsl c);

}  // namespace SkinArt
