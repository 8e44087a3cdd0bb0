#include "tools/skinart/Layer.h"

#include <algorithm>

namespace SkinArt {

void TLayer::Paint(const TShape& shape, const TShade& shade, const TOpacity& opacity) {
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) hits += shape(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
      if (hits == 0) continue;
      const float cx = x + 0.5f, cy = y + 0.5f;
      const float a = std::clamp(hits / 16.0f * opacity(cx, cy), 0.0f, 1.0f);
      const TRgb c = shade(cx, cy);
      TPixel& p = At(x, y);
      p.R = c.R * a + p.R * (1 - a);
      p.G = c.G * a + p.G * (1 - a);
      p.B = c.B * a + p.B * (1 - a);
      p.A = a + p.A * (1 - a);
    }
}

void TLayer::Paint(const TShape& shape, const TShade& shade, float opacity) {
  Paint(shape, shade, [opacity](float, float) { return opacity; });
}

void TLayer::Paint(const TShape& shape, TRgb colour, float opacity) {
  Paint(shape, [colour](float, float) { return colour; }, opacity);
}

void TLayer::Paint(const TShape& shape, TRgb colour, const TOpacity& opacity) {
  Paint(shape, [colour](float, float) { return colour; }, opacity);
}

TRgb TLayer::Colour(int x, int y) const {
  const TPixel& p = At(x, y);
  if (p.A <= 0) return kWhite;
  return {p.R / p.A, p.G / p.A, p.B / p.A};
}

TLayer TLayer::Transposed() const {
  TLayer t(FHeight, FWidth);
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) t.At(y, x) = At(x, y);
  return t;
}

TLayer TLayer::Mirrored() const {
  TLayer m(FWidth, FHeight);
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) m.At(FWidth - 1 - x, y) = At(x, y);
  return m;
}

TLayer TLayer::Flipped() const {
  TLayer m(FWidth, FHeight);
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) m.At(x, FHeight - 1 - y) = At(x, y);
  return m;
}

TPainter Transposed(TPainter p) {
  return [p](int state, int w, int h) { return p(state, h, w).Transposed(); };
}

TPainter Mirrored(TPainter p) {
  return [p](int state, int w, int h) { return p(state, w, h).Mirrored(); };
}

TPainter Flipped(TPainter p) {
  return [p](int state, int w, int h) { return p(state, w, h).Flipped(); };
}

}  // namespace SkinArt
