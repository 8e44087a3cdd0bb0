#pragma once
// A region: a set of pixels kept as y-x banded rectangles (bands of equal top and bottom,
// rectangles inside a band sorted by x and not touching, vertically adjacent bands with the
// same spans merged). That canonical form makes equality a plain comparison and keeps window
// outlines made of hundreds of one-pixel runs small.
#include <vector>

#include "platform/graphics/Types.h"

// Region complexity, as CombineRgn and GetRgnBox report it.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// CombineRgn modes.
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

class TRegion {
 public:
  TRegion() = default;
  explicit TRegion(const TRect& r);  // an empty rectangle gives an empty region

  bool IsEmpty() const { return FRects.empty(); }
  // Canonical rectangles, bands top to bottom, left to right inside a band.
  const std::vector<TRect>& Rects() const { return FRects; }
  TRect Box() const;  // bounding box, (0,0,0,0) when empty
  int Complexity() const { return FRects.empty() ? NULLREGION : FRects.size() == 1 ? SIMPLEREGION : COMPLEXREGION; }

  bool Contains(int x, int y) const;
  bool Intersects(const TRect& r) const;  // any pixel of r inside the region

  void SetRect(const TRect& r);
  void Clear() { FRects.clear(); }
  void Offset(int dx, int dy);

  TRegion Union(const TRegion& o) const;
  TRegion Intersect(const TRegion& o) const;
  TRegion Subtract(const TRegion& o) const;
  TRegion Xor(const TRegion& o) const;
  TRegion Intersect(const TRect& r) const { return Intersect(TRegion(r)); }

  // Builds a region from arbitrary (possibly overlapping, unsorted) rectangles.
  static TRegion FromRects(const std::vector<TRect>& rects);

  friend bool operator==(const TRegion& a, const TRegion& b) { return a.FRects == b.FRects; }

 private:
  std::vector<TRect> FRects;
};

// Window-system style calls on regions held by value.
inline TRegion CreateRectRgn(int left, int top, int right, int bottom) { return TRegion(TRect{left, top, right, bottom}); }
inline TRegion CreateRectRgnIndirect(const TRect* r) { return TRegion(*r); }
// dst := a (op) b; dst may alias a or b. b is ignored for RGN_COPY. Returns the complexity
// of the result, RGN_ERROR for an unknown mode (dst unchanged).
int CombineRgn(TRegion* dst, const TRegion* a, const TRegion* b, int mode);
int OffsetRgn(TRegion* rgn, int dx, int dy);
bool PtInRegion(const TRegion* rgn, int x, int y);
bool RectInRegion(const TRegion* rgn, const TRect* r);
int GetRgnBox(const TRegion* rgn, TRect* box);
bool EqualRgn(const TRegion* a, const TRegion* b);
void SetRectRgn(TRegion* rgn, int left, int top, int right, int bottom);
