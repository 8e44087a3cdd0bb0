// Pixels, lines, rectangles, rounded shapes and gradient fills on a device context.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/graphics/DC.h"

namespace {

TRect Normalised(int l, int t, int r, int b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

void PlotSurface(HDC dc, int sx, int sy, COLORREF color, int rop2) {
  dc->RopSurfaceRect({sx, sy, sx + 1, sy + 1}, color, rop2);
}

// Rows of a rounded rectangle covering `bounds` with corner ellipses ew x eh: a pixel is in
// when its centre lies inside the shape. Symmetric left/right and top/bottom.
TRegion RoundRectRegion(const TRect& bounds, int ew, int eh) {
  const int w = bounds.Width(), h = bounds.Height();
  if (w <= 0 || h <= 0) return {};
  ew = std::min(std::abs(ew), w);
  eh = std::min(std::abs(eh), h);
  if (ew < 2 || eh < 2) return TRegion(bounds);
  const double a = ew / 2.0, b = eh / 2.0;
  std::vector<TRect> rows;
  rows.reserve(size_t(eh) + 1);
  for (int y = 0; y < h; ++y) {
    const double yc = y + 0.5;
    double dy = 0;
    if (yc < b) dy = b - yc;
    else if (yc > h - b) dy = yc - (h - b);
    int inset = 0;
    if (dy > 0) {
      const double q = 1.0 - (dy / b) * (dy / b);
      const double dx = q > 0 ? a * std::sqrt(q) : 0.0;
      inset = int(std::ceil(a - dx - 0.5 - 1e-9));
      if (inset < 0) inset = 0;
    }
    if (2 * inset >= w) continue;
    rows.push_back({bounds.Left + inset, bounds.Top + y, bounds.Right - inset, bounds.Top + y + 1});
  }
  return TRegion::FromRects(rows);
}

void FillSurfaceRegion(HDC dc, const TRegion& surfaceRgn, COLORREF color, int rop2) {
  for (const TRect& r : surfaceRgn.Rects()) dc->RopSurfaceRect(r, color, rop2);
}

// Paints the shape's outline with the pen and its inside with the brush. `shape` builds the
// shape's region for given bounds.
template <class Shape>
void PaintClosedShape(HDC dc, TRect r, Shape shape) {
  const auto& st = dc->State();
  const TRect surf = dc->ToSurface(r);
  const bool hasPen = st.Pen.Style != PS_NULL;
  const bool hasBrush = st.Brush.Style != BS_NULL;
  if (!hasPen) {
    // Without an outline the filled area loses the right column and the bottom row.
    if (hasBrush) FillSurfaceRegion(dc, shape(TRect{surf.Left, surf.Top, surf.Right - 1, surf.Bottom - 1}, 0),
                                    st.Brush.Color, st.Rop2);
    return;
  }
  TRegion outer = shape(surf, 0);
  TRegion inner = shape(TRect{surf.Left + 1, surf.Top + 1, surf.Right - 1, surf.Bottom - 1}, 2);
  if (hasBrush) FillSurfaceRegion(dc, inner, st.Brush.Color, st.Rop2);
  FillSurfaceRegion(dc, outer.Subtract(inner), st.Pen.Color, st.Rop2);
}

}  // namespace

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  TPoint p = dc->ToSurface(x, y);
  if (!dc->SurfaceClip().Contains(p.X, p.Y)) return CLR_INVALID;
  dc->FillSurfaceRect({p.X, p.Y, p.X + 1, p.Y + 1}, color & 0xFFFFFF);
  return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  TPoint p = dc->ToSurface(x, y);
  if (!dc->SurfaceClip().Contains(p.X, p.Y)) return CLR_INVALID;
  return dc->Surface()->GetPixel(p.X, p.Y);
}

bool MoveToEx(HDC dc, int x, int y, TPoint* old) {
  if (!dc) return false;
  if (old) *old = dc->State().CurrentPos;
  dc->State().CurrentPos = {x, y};
  return true;
}

bool LineTo(HDC dc, int x, int y) {
  if (!dc) return false;
  auto& st = dc->State();
  const TPoint from = st.CurrentPos;
  st.CurrentPos = {x, y};
  if (st.Pen.Style == PS_NULL) return true;
  const COLORREF color = st.Pen.Color;
  const int rop2 = st.Rop2;
  const TPoint a = dc->ToSurface(from.X, from.Y);
  const TPoint b = dc->ToSurface(x, y);
  // Horizontal and vertical lines become one span; the end point is not painted.
  if (a.Y == b.Y) {
    if (a.X < b.X) dc->RopSurfaceRect({a.X, a.Y, b.X, a.Y + 1}, color, rop2);
    else if (a.X > b.X) dc->RopSurfaceRect({b.X + 1, a.Y, a.X + 1, a.Y + 1}, color, rop2);
    return true;
  }
  if (a.X == b.X) {
    if (a.Y < b.Y) dc->RopSurfaceRect({a.X, a.Y, a.X + 1, b.Y}, color, rop2);
    else dc->RopSurfaceRect({a.X, b.Y + 1, a.X + 1, a.Y + 1}, color, rop2);
    return true;
  }
  // Bresenham, stopping before the end point.
  int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
  const int stepX = a.X < b.X ? 1 : -1, stepY = a.Y < b.Y ? 1 : -1;
  int err = dx + dy;
  int px = a.X, py = a.Y;
  while (px != b.X || py != b.Y) {
    PlotSurface(dc, px, py, color, rop2);
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; px += stepX; }
    if (e2 <= dx) { err += dx; py += stepY; }
  }
  return true;
}

bool Polyline(HDC dc, const TPoint* points, int count) {
  if (!dc || !points || count < 2) return false;
  const TPoint saved = dc->State().CurrentPos;
  MoveToEx(dc, points[0].X, points[0].Y, nullptr);
  for (int i = 1; i < count; ++i) LineTo(dc, points[i].X, points[i].Y);
  dc->State().CurrentPos = saved;  // Polyline leaves the current position alone
  return true;
}

int FillRect(HDC dc, const TRect* r, const TLogBrush& brush) {
  if (!dc || !r) return 0;
  if (brush.Style == BS_NULL) return 1;
  dc->FillSurfaceRect(dc->ToSurface(*r), brush.Color);
  return 1;
}

int FrameRect(HDC dc, const TRect* r, const TLogBrush& brush) {
  if (!dc || !r || r->IsEmpty()) return 0;
  if (brush.Style == BS_NULL) return 1;
  const TRect s = dc->ToSurface(*r);
  dc->FillSurfaceRect({s.Left, s.Top, s.Right, s.Top + 1}, brush.Color);
  dc->FillSurfaceRect({s.Left, s.Bottom - 1, s.Right, s.Bottom}, brush.Color);
  dc->FillSurfaceRect({s.Left, s.Top + 1, s.Left + 1, s.Bottom - 1}, brush.Color);
  dc->FillSurfaceRect({s.Right - 1, s.Top + 1, s.Right, s.Bottom - 1}, brush.Color);
  return 1;
}

bool InvertRect(HDC dc, const TRect* r) {
  if (!dc || !r) return false;
  dc->RopSurfaceRect(dc->ToSurface(*r), 0, R2_NOT);
  return true;
}

bool Rectangle(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return false;
  PaintClosedShape(dc, Normalised(left, top, right, bottom), [](const TRect& b, int) { return TRegion(b); });
  return true;
}

bool RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
  if (!dc) return false;
  PaintClosedShape(dc, Normalised(left, top, right, bottom), [width, height](const TRect& b, int shrink) {
    return RoundRectRegion(b, width - shrink, height - shrink);
  });
  return true;
}

bool Ellipse(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return false;
  PaintClosedShape(dc, Normalised(left, top, right, bottom),
                   [](const TRect& b, int) { return RoundRectRegion(b, b.Width(), b.Height()); });
  return true;
}

bool FillRgn(HDC dc, const TRegion* rgn, const TLogBrush& brush) {
  if (!dc || !rgn) return false;
  if (brush.Style == BS_NULL) return true;
  const TPoint o = dc->ToSurface(0, 0);
  for (const TRect& r : rgn->Rects()) dc->FillSurfaceRect(r.Offset(o.X, o.Y), brush.Color);
  return true;
}

bool PatBlt(HDC dc, int x, int y, int w, int h, uint32_t rop) {
  if (!dc) return false;
  const TRect s = dc->ToSurface(Normalised(x, y, x + w, y + h));
  const TLogBrush& brush = dc->State().Brush;
  switch (rop) {
    case PATCOPY: if (brush.Style != BS_NULL) dc->FillSurfaceRect(s, brush.Color); return true;
    case PATINVERT: if (brush.Style != BS_NULL) dc->RopSurfaceRect(s, brush.Color, R2_XORPEN); return true;
    case DSTINVERT: dc->RopSurfaceRect(s, 0, R2_NOT); return true;
    case BLACKNESS: dc->FillSurfaceRect(s, 0); return true;
    case WHITENESS: dc->FillSurfaceRect(s, 0xFFFFFF); return true;
    default: return false;
  }
}

// ---- Gradients -----------------------------------------------------------------------------

namespace {

void PutPixel(TDib* s, int x, int y, int r, int g, int b) {
  uint8_t* p = s->ScanLine(y) + x * (s->BitsPerPixel() / 8);
  p[0] = uint8_t(b); p[1] = uint8_t(g); p[2] = uint8_t(r);
}

void GradientRect(HDC dc, const TRIVERTEX& v1, const TRIVERTEX& v2, bool horizontal) {
  const TRIVERTEX& a = (horizontal ? v1.x <= v2.x : v1.y <= v2.y) ? v1 : v2;
  const TRIVERTEX& b = (&a == &v1) ? v2 : v1;
  const TRect area = dc->ToSurface(Normalised(v1.x, v1.y, v2.x, v2.y));
  const TPoint o = dc->ToSurface(0, 0);
  const int64_t start = horizontal ? a.x + o.X : a.y + o.Y;
  const int64_t span = horizontal ? int64_t(b.x) - a.x : int64_t(b.y) - a.y;
  auto channel = [&](int64_t pos, int c0, int c1) {
    if (span == 0) return c0 >> 8;
    return int((c0 * (start + span - pos) + c1 * (pos - start)) / span) >> 8;
  };
  TDib* s = dc->Surface();
  dc->ForEachClipRect(area, [&](const TRect& c) {
    for (int y = c.Top; y < c.Bottom; ++y)
      for (int x = c.Left; x < c.Right; ++x) {
        const int64_t pos = horizontal ? x : y;
        PutPixel(s, x, y, channel(pos, a.Red, b.Red), channel(pos, a.Green, b.Green), channel(pos, a.Blue, b.Blue));
      }
  });
}

struct TEdge {
  int64_t ax, ay, bx, by;
  bool topLeft;
  int64_t At(int64_t px, int64_t py) const { return (bx - ax) * (py - ay) - (by - ay) * (px - ax); }
};

TEdge MakeEdge(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
  // With the triangle wound so that inside points give positive values, a top edge runs
  // rightwards along a row and a left edge runs upwards.
  const bool top = ay == by && bx > ax;
  const bool left = by < ay;
  return {ax, ay, bx, by, top || left};
}

void GradientTriangle(HDC dc, const TRIVERTEX& p0, const TRIVERTEX& p1In, const TRIVERTEX& p2In) {
  const TPoint o = dc->ToSurface(0, 0);
  const TRIVERTEX* v[3] = {&p0, &p1In, &p2In};
  auto X = [&](int i) { return int64_t(v[i]->x) + o.X; };
  auto Y = [&](int i) { return int64_t(v[i]->y) + o.Y; };
  int64_t area = (X(1) - X(0)) * (Y(2) - Y(0)) - (Y(1) - Y(0)) * (X(2) - X(0));
  if (area == 0) return;
  if (area < 0) {
    std::swap(v[1], v[2]);
    area = -area;
  }
  // Weight of vertex i is the edge function of the opposite edge.
  const TEdge e0 = MakeEdge(X(1), Y(1), X(2), Y(2));
  const TEdge e1 = MakeEdge(X(2), Y(2), X(0), Y(0));
  const TEdge e2 = MakeEdge(X(0), Y(0), X(1), Y(1));
  const int64_t minX = std::min({X(0), X(1), X(2)}), maxX = std::max({X(0), X(1), X(2)});
  const int64_t minY = std::min({Y(0), Y(1), Y(2)}), maxY = std::max({Y(0), Y(1), Y(2)});
  const TRect box{int(std::max<int64_t>(minX, INT32_MIN / 2)), int(std::max<int64_t>(minY, INT32_MIN / 2)),
                  int(std::min<int64_t>(maxX + 1, INT32_MAX / 2)), int(std::min<int64_t>(maxY + 1, INT32_MAX / 2))};
  TDib* s = dc->Surface();
  auto mix = [&](int64_t w0, int64_t w1, int64_t w2, COLOR16 TRIVERTEX::*ch) {
    return int((w0 * (v[0]->*ch) + w1 * (v[1]->*ch) + w2 * (v[2]->*ch)) / area) >> 8;
  };
  dc->ForEachClipRect(box, [&](const TRect& c) {
    for (int y = c.Top; y < c.Bottom; ++y)
      for (int x = c.Left; x < c.Right; ++x) {
        const int64_t w0 = e0.At(x, y), w1 = e1.At(x, y), w2 = e2.At(x, y);
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        if ((w0 == 0 && !e0.topLeft) || (w1 == 0 && !e1.topLeft) || (w2 == 0 && !e2.topLeft)) continue;
        PutPixel(s, x, y, mix(w0, w1, w2, &TRIVERTEX::Red), mix(w0, w1, w2, &TRIVERTEX::Green),
                 mix(w0, w1, w2, &TRIVERTEX::Blue));
      }
  });
}

}  // namespace

bool GradientFill(HDC dc, const TRIVERTEX* vertices, uint32_t vertexCount, const void* mesh, uint32_t meshCount,
                  uint32_t mode) {
  if (!dc || !vertices || !mesh) return false;
  switch (mode) {
    case GRADIENT_FILL_RECT_H:
    case GRADIENT_FILL_RECT_V: {
      auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
      for (uint32_t i = 0; i < meshCount; ++i) {
        if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) return false;
        GradientRect(dc, vertices[rects[i].UpperLeft], vertices[rects[i].LowerRight], mode == GRADIENT_FILL_RECT_H);
      }
      return true;
    }
    case GRADIENT_FILL_TRIANGLE: {
      auto* tris = static_cast<const GRADIENT_TRIANGLE*>(mesh);
      for (uint32_t i = 0; i < meshCount; ++i) {
        const GRADIENT_TRIANGLE& t = tris[i];
        if (t.Vertex1 >= vertexCount || t.Vertex2 >= vertexCount || t.Vertex3 >= vertexCount) return false;
        GradientTriangle(dc, vertices[t.Vertex1], vertices[t.Vertex2], vertices[t.Vertex3]);
      }
      return true;
    }
    default:
      return false;
  }
}
