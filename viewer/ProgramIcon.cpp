#include "viewer/ProgramIcon.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr COLORREF kKey = 0xFF00FF;

COLORREF Mix(COLORREF a, COLORREF b, double t) {
  auto ch = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

}  // namespace

TDib ProgramIconPicture(int size) {
  size = std::max(size, 8);
  TDib d(size, size);
  d.Fill(kKey);
  const double s = size / 16.0;
  const int radius = std::max(2, int(std::lround(3 * s)));
  const COLORREF top = RGB(150, 196, 240), bottom = RGB(36, 92, 170), edge = RGB(24, 58, 116);
  auto inside = [&](int x, int y) {
    // The tile with rounded corners.
    const int cx = x < radius ? radius : x > size - 1 - radius ? size - 1 - radius : x;
    const int cy = y < radius ? radius : y > size - 1 - radius ? size - 1 - radius : y;
    const double dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= (radius + 0.4) * (radius + 0.4);
  };
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      if (!inside(x, y)) continue;
      const bool border = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      COLORREF c = Mix(top, bottom, double(y) / (size - 1));
      // The glass: a lighter upper half.
      if (y < size / 2) c = Mix(c, RGB(255, 255, 255), 0.25);
      d.SetPixel(x, y, border ? edge : c);
    }
  // A square wave across the tile, the program's subject.
  const int stroke = std::max(1, int(std::lround(1.5 * s)));
  const int high = int(std::lround(4.5 * s)), low = size - 1 - int(std::lround(4.5 * s)) - (stroke - 1);
  const int left = int(std::lround(2.5 * s)), right = size - 1 - int(std::lround(2.5 * s));
  const int step = std::max(2, (right - left) / 3);
  const COLORREF white = RGB(255, 255, 255);
  auto block = [&](int x0, int y0, int x1, int y1) {
    for (int y = std::min(y0, y1); y <= std::max(y0, y1) + stroke - 1; ++y)
      for (int x = std::min(x0, x1); x <= std::max(x0, x1) + stroke - 1; ++x)
        if (x >= 0 && y >= 0 && x < size && y < size && inside(x, y)) d.SetPixel(x, y, white);
  };
  int x = left;
  bool up = false;
  while (x < right) {
    const int next = std::min(x + step, right);
    const int level = up ? high : low;
    block(x, level, next, level);
    if (next < right) block(next, high, next, low);
    x = next;
    up = !up;
  }
  return d;
}

TDib ProgramIconWithAlpha(int size) {
  const int factor = size >= 32 ? 4 : 1;
  const TDib big = ProgramIconPicture(size * factor);
  TDib out(size, size, 32);
  for (int y = 0; y < size; ++y) {
    uint8_t* row = out.ScanLine(y);
    for (int x = 0; x < size; ++x) {
      int r = 0, g = 0, b = 0, opaque = 0;
      for (int sy = 0; sy < factor; ++sy)
        for (int sx = 0; sx < factor; ++sx) {
          const COLORREF c = big.GetPixel(x * factor + sx, y * factor + sy);
          if (c == kKey) continue;
          r += GetRValue(c);
          g += GetGValue(c);
          b += GetBValue(c);
          ++opaque;
        }
      uint8_t* p = row + 4 * x;
      if (opaque == 0) {
        p[0] = p[1] = p[2] = p[3] = 0;
        continue;
      }
      p[0] = uint8_t((b + opaque / 2) / opaque);
      p[1] = uint8_t((g + opaque / 2) / opaque);
      p[2] = uint8_t((r + opaque / 2) / opaque);
      p[3] = uint8_t((opaque * 255 + factor * factor / 2) / (factor * factor));
    }
  }
  return out;
}
