#include "tools/skinart/Patterns.h"

#include <cmath>
#include <cstdint>

namespace SkinArt {

TPainter Sheen(TRgb base) {
  return [base](int, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(Box(0, 0, float(w), float(h)), [&](float x, float y) {
      const double phase = 2 * M_PI * (std::floor(x) / w + std::floor(y) / h);
      const float sheen = float(std::lround(4 * (0.5 + 0.5 * std::sin(phase)))) * 3;  // 0, 3 .. 12
      const float line = int(std::floor(y)) % 3 == 0 ? -4.0f : 0.0f;
      return TRgb{base.R + sheen + line, base.G + sheen + line, base.B + sheen * 0.8f + line};
    });
    return layer;
  };
}

TDib DrawPattern(TPatternKind kind, TRgb base, int w, int h) {
  auto hash = [](uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return float(x & 0xFFFF) / 65535.0f - 0.5f;
  };
  auto noise = [&](int x, int y) {
    x = (x % w + w) % w;
    y = (y % h + h) % h;
    return hash(uint32_t(y * w + x) * 2654435761u + 12345u);
  };
  TDib dib(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float v;
      if (kind == ptBrushed) {
        float streak = 0;
        for (int k = -6; k <= 6; ++k) streak += noise(x + k, y);  // long along the row
        v = streak * 4.0f + noise(x, y) * 5.0f + noise(0, y) * 6.0f;
      } else {
        float mottle = 0;
        for (int dy = -3; dy <= 3; ++dy)
          for (int dx = -3; dx <= 3; ++dx) mottle += noise(x + dx, y + dy);
        v = mottle * 0.9f + noise(x, y) * 4.0f + (noise(x / 4, y) > 0.47f ? -5.0f : 0.0f);
      }
      dib.SetPixel(x, y, ToColorRef({base.R + v, base.G + v, base.B + v * 0.9f}));
    }
  return dib;
}

}  // namespace SkinArt
