#pragma once
// Shapes for the painters: each answers whether a point (in pixel units, pixel x covering
// [x, x + 1)) lies inside.
#include <array>
#include <functional>
#include <vector>

namespace SkinArt {

using TShape = std::function<bool(float, float)>;
using TPoints = std::vector<std::array<float, 2>>;

// Signed distance from (x, y) to the outline of a rectangle with rounded corners.
float SdRoundRect(float x, float y, float l, float t, float r, float b, float radius);

TShape RoundBox(float l, float t, float r, float b, float radius);
TShape Box(float l, float t, float r, float b);
TShape Disc(float cx, float cy, float radius);
TShape Ring(TShape outer, TShape inner);
TShape Either(TShape a, TShape b);
// The w x h picture's rounded outline moved `inset` pixels in; the radius shrinks with it.
TShape Inset(int w, int h, int inset, float radius);
// The ring one pixel wide just inside Inset(w, h, inset, radius).
TShape Rim(int w, int h, int inset, float radius);
// A polyline drawn with round ends, halfWidth on each side of the path.
TShape Stroke(TPoints points, float halfWidth);
// A closed polygon, inside by the even-odd rule.
TShape Polygon(TPoints points);

}  // namespace SkinArt
