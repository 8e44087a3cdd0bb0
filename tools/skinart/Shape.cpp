#include "tools/skinart/Shape.h"

#include <algorithm>
#include <cmath>

namespace SkinArt {

float SdRoundRect(float x, float y, float l, float t, float r, float b, float radius) {
  const float qx = std::fabs(x - (l + r) / 2) - ((r - l) / 2 - radius);
  const float qy = std::fabs(y - (t + b) / 2) - ((b - t) / 2 - radius);
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

TShape RoundBox(float l, float t, float r, float b, float radius) {
  radius = std::clamp(radius, 0.0f, std::min(r - l, b - t) / 2);
  return [=](float x, float y) { return SdRoundRect(x, y, l, t, r, b, radius) <= 0; };
}

TShape Box(float l, float t, float r, float b) {
  return [=](float x, float y) { return x >= l && x < r && y >= t && y < b; };
}

TShape Disc(float cx, float cy, float radius) {
  return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

TShape Ring(TShape outer, TShape inner) {
  return [=](float x, float y) { return outer(x, y) && !inner(x, y); };
}

TShape Either(TShape a, TShape b) {
  return [=](float x, float y) { return a(x, y) || b(x, y); };
}

TShape Inset(int w, int h, int inset, float radius) {
  return RoundBox(float(inset), float(inset), float(w - inset), float(h - inset), radius - inset);
}

TShape Rim(int w, int h, int inset, float radius) { return Ring(Inset(w, h, inset, radius), Inset(w, h, inset + 1, radius)); }

TShape Stroke(TPoints points, float halfWidth) {
  return [=](float x, float y) {
    for (size_t i = 0; i + 1 < points.size(); ++i) {
      const float ax = points[i][0], ay = points[i][1], bx = points[i + 1][0], by = points[i + 1][1];
      const float dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
      const float t = len2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0f, 1.0f) : 0.0f;
      const float px = ax + t * dx - x, py = ay + t * dy - y;
      if (px * px + py * py <= halfWidth * halfWidth) return true;
    }
    return false;
  };
}

TShape Polygon(TPoints points) {
  return [=](float x, float y) {
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const float xi = points[i][0], yi = points[i][1], xj = points[j][0], yj = points[j][1];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

}  // namespace SkinArt
