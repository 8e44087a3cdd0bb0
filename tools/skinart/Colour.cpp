#include "tools/skinart/Colour.h"

#include <algorithm>
#include <cmath>

namespace SkinArt {

TRgb Mix(TRgb a, TRgb b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

COLORREF ToColorRef(TRgb c) {
  auto channel = [](float v) { return int(std::lround(std::clamp(v, 0.0f, 255.0f))); };
  return RGB(channel(c.R), channel(c.G), channel(c.B));
}

TRgb FromColorRef(COLORREF c) { return Rgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

THsl ToHsl(TRgb c) {
  const float r = c.R / 255, g = c.G / 255, b = c.B / 255;
  const float hi = std::max({r, g, b}), lo = std::min({r, g, b}), d = hi - lo;
  THsl out;
  out.L = (hi + lo) / 2;
  if (d <= 0) return out;
  out.S = out.L > 0.5f ? d / (2 - hi - lo) : d / (hi + lo);
  if (hi == r) out.H = 60 * std::fmod((g - b) / d + 6, 6.0f);
  else if (hi == g) out.H = 60 * ((b - r) / d + 2);
  else out.H = 60 * ((r - g) / d + 4);
  return out;
}

TRgb FromHsl(THsl c) {
  c.S = std::clamp(c.S, 0.0f, 1.0f);
  c.L = std::clamp(c.L, 0.0f, 1.0f);
  const float q = c.L < 0.5f ? c.L * (1 + c.S) : c.L + c.S - c.L * c.S, p = 2 * c.L - q;
  auto channel = [&](float t) {
    t = std::fmod(t + 360, 360.0f);
    float v = t < 60 ? p + (q - p) * t / 60 : t < 180 ? q : t < 240 ? p + (q - p) * (240 - t) / 60 : p;
    return v * 255;
  };
  return {channel(c.H + 120), channel(c.H), channel(c.H - 120)};
}

}  // namespace SkinArt
