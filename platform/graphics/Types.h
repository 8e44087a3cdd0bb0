#pragma once
// Geometry of the drawing layer: points, sizes and rectangles with the window system's
// conventions (right and bottom edges are exclusive).
#include <algorithm>

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  // Intersection; an empty result is normalised to (0, 0, 0, 0).
  TRect Intersect(const TRect& o) const {
    TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

// Window-system style helpers.
inline void SetRect(TRect* r, int l, int t, int rr, int b) { *r = {l, t, rr, b}; }
inline void SetRectEmpty(TRect* r) { *r = {}; }
inline bool IsRectEmpty(const TRect* r) { return r->IsEmpty(); }
inline bool PtInRect(const TRect* r, TPoint p) { return r->Contains(p.X, p.Y); }
inline bool EqualRect(const TRect* a, const TRect* b) { return *a == *b; }
inline void OffsetRect(TRect* r, int dx, int dy) { *r = r->Offset(dx, dy); }
inline void InflateRect(TRect* r, int dx, int dy) {
  r->Left -= dx; r->Top -= dy; r->Right += dx; r->Bottom += dy;
}
inline bool IntersectRect(TRect* dst, const TRect* a, const TRect* b) {
  *dst = a->Intersect(*b);
  return !dst->IsEmpty();
}
inline bool UnionRect(TRect* dst, const TRect* a, const TRect* b) {
  if (a->IsEmpty()) *dst = b->IsEmpty() ? TRect{} : *b;
  else if (b->IsEmpty()) *dst = *a;
  else *dst = {std::min(a->Left, b->Left), std::min(a->Top, b->Top), std::max(a->Right, b->Right),
               std::max(a->Bottom, b->Bottom)};
  return !dst->IsEmpty();
}
