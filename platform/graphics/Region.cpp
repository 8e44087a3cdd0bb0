#include "platform/graphics/Region.h"

#include <algorithm>
#include <cstddef>

namespace {

enum class TRgnOp { And, Or, Xor, Diff };

struct TSpan {
  int Left;
  int Right;
};

bool Apply(TRgnOp op, bool inA, bool inB) {
  switch (op) {
    case TRgnOp::And: return inA && inB;
    case TRgnOp::Or: return inA || inB;
    case TRgnOp::Xor: return inA != inB;
    case TRgnOp::Diff: return inA && !inB;
  }
  return false;
}

// End (exclusive) of the band that starts at index first of canonical rectangles.
size_t BandEnd(const std::vector<TRect>& rects, size_t first) {
  size_t i = first + 1;
  while (i < rects.size() && rects[i].Top == rects[first].Top) ++i;
  return i;
}

// Emits bands top to bottom and merges a band into the previous one when it continues it
// with the same spans, so the output is canonical as long as the spans of each band are
// sorted and do not touch.
class TBandWriter {
 public:
  explicit TBandWriter(std::vector<TRect>& out) : FOut(out) {}

  void Append(const std::vector<TSpan>& spans, int top, int bottom) {
    if (spans.empty()) return;
    if (ContinuesLastBand(spans, top)) {
      for (size_t i = FLastBand; i < FOut.size(); ++i) FOut[i].Bottom = bottom;
      return;
    }
    FLastBand = FOut.size();
    for (const TSpan& s : spans) FOut.push_back({s.Left, top, s.Right, bottom});
  }

 private:
  bool ContinuesLastBand(const std::vector<TSpan>& spans, int top) const {
    if (FOut.empty() || FOut.back().Bottom != top || FOut.size() - FLastBand != spans.size()) return false;
    for (size_t i = 0; i < spans.size(); ++i) {
      const TRect& r = FOut[FLastBand + i];
      if (r.Left != spans[i].Left || r.Right != spans[i].Right) return false;
    }
    return true;
  }

  std::vector<TRect>& FOut;
  size_t FLastBand = 0;
};

// Combines the spans of two bands (each sorted, non-touching) by an x sweep over their edges.
// All edges at the same x are applied before the result is sampled, so output spans never touch.
void CombineSpans(const TRect* a, size_t countA, const TRect* b, size_t countB, TRgnOp op,
                  std::vector<TSpan>& out) {
  out.clear();
  size_t i = 0;
  size_t j = 0;
  bool inA = false;
  bool inB = false;
  bool on = false;
  int start = 0;
  while (i < countA || j < countB) {
    const bool hasA = i < countA;
    const bool hasB = j < countB;
    const int xa = hasA ? (inA ? a[i].Right : a[i].Left) : 0;
    const int xb = hasB ? (inB ? b[j].Right : b[j].Left) : 0;
    const int x = !hasA ? xb : !hasB ? xa : std::min(xa, xb);
    if (hasA && xa == x) {
      if (inA) ++i;
      inA = !inA;
    }
    if (hasB && xb == x) {
      if (inB) ++j;
      inB = !inB;
    }
    const bool now = Apply(op, inA, inB);
    if (now == on) continue;
    if (now) start = x;
    else out.push_back({start, x});
    on = now;
  }
}

// Band sweep over the y edges of both operands: within each y interval neither operand changes,
// so the result there is the span combination of the two bands covering it.
std::vector<TRect> Combine(const std::vector<TRect>& a, const std::vector<TRect>& b, TRgnOp op) {
  std::vector<TRect> out;
  out.reserve(a.size() + b.size());
  TBandWriter writer(out);
  std::vector<TSpan> spans;
  const size_t countA = a.size();
  const size_t countB = b.size();
  size_t ia = 0;
  size_t ib = 0;
  size_t endA = countA ? BandEnd(a, 0) : 0;
  size_t endB = countB ? BandEnd(b, 0) : 0;
  int y = !countA ? (countB ? b[0].Top : 0) : !countB ? a[0].Top : std::min(a[0].Top, b[0].Top);

  while (ia < countA || ib < countB) {
    const bool hasA = ia < countA;
    const bool hasB = ib < countB;
    if (op == TRgnOp::And && !(hasA && hasB)) break;
    if (op == TRgnOp::Diff && !hasA) break;
    // Skip a gap that neither operand covers.
    if (!(hasA && a[ia].Top <= y) && !(hasB && b[ib].Top <= y))
      y = !hasA ? b[ib].Top : !hasB ? a[ia].Top : std::min(a[ia].Top, b[ib].Top);
    const bool inA = hasA && a[ia].Top <= y;
    const bool inB = hasB && b[ib].Top <= y;
    const int nextA = hasA ? (inA ? a[ia].Bottom : a[ia].Top) : 0;
    const int nextB = hasB ? (inB ? b[ib].Bottom : b[ib].Top) : 0;
    const int yEnd = !hasA ? nextB : !hasB ? nextA : std::min(nextA, nextB);

    if (Apply(op, inA, inB) || Apply(op, inA, false) || Apply(op, false, inB)) {
      CombineSpans(inA ? &a[ia] : nullptr, inA ? endA - ia : 0, inB ? &b[ib] : nullptr, inB ? endB - ib : 0,
                   op, spans);
      writer.Append(spans, y, yEnd);
    }
    y = yEnd;
    if (inA && a[ia].Bottom <= y) {
      ia = endA;
      endA = ia < countA ? BandEnd(a, ia) : countA;
    }
    if (inB && b[ib].Bottom <= y) {
      ib = endB;
      endB = ib < countB ? BandEnd(b, ib) : countB;
    }
  }
  return out;
}

// Union of two regions whose pixels lie in separate y ranges, upper entirely above lower: the
// bands are concatenated, merging the two that meet if their spans agree.
std::vector<TRect> Stack(const std::vector<TRect>& upper, const std::vector<TRect>& lower) {
  std::vector<TRect> out;
  out.reserve(upper.size() + lower.size());
  out = upper;
  size_t lastBand = out.size() - 1;
  while (lastBand > 0 && out[lastBand - 1].Top == out.back().Top) --lastBand;
  const size_t firstEnd = BandEnd(lower, 0);
  bool joins = out.back().Bottom == lower.front().Top && out.size() - lastBand == firstEnd;
  for (size_t i = 0; joins && i < firstEnd; ++i)
    joins = out[lastBand + i].Left == lower[i].Left && out[lastBand + i].Right == lower[i].Right;
  if (joins) {
    for (size_t i = lastBand; i < out.size(); ++i) out[i].Bottom = lower.front().Bottom;
    out.insert(out.end(), lower.begin() + firstEnd, lower.end());
  } else {
    out.insert(out.end(), lower.begin(), lower.end());
  }
  return out;
}

// For union and xor of regions that do not share any row.
bool StackIfApart(const std::vector<TRect>& a, const std::vector<TRect>& b, std::vector<TRect>& out) {
  if (a.back().Bottom <= b.front().Top) out = Stack(a, b);
  else if (b.back().Bottom <= a.front().Top) out = Stack(b, a);
  else return false;
  return true;
}

}  // namespace

TRegion::TRegion(const TRect& r) { SetRect(r); }

TRect TRegion::Box() const {
  if (FRects.empty()) return {};
  TRect box{FRects.front().Left, FRects.front().Top, FRects.front().Right, FRects.back().Bottom};
  for (const TRect& r : FRects) {
    box.Left = std::min(box.Left, r.Left);
    box.Right = std::max(box.Right, r.Right);
  }
  return box;
}

bool TRegion::Contains(int x, int y) const {
  // Rectangles above the row, then those left of x in the row's band, form a prefix.
  auto it = std::partition_point(FRects.begin(), FRects.end(), [x, y](const TRect& r) {
    return r.Bottom <= y || (r.Top <= y && r.Right <= x);
  });
  return it != FRects.end() && it->Contains(x, y);
}

bool TRegion::Intersects(const TRect& r) const {
  if (r.IsEmpty()) return false;
  auto band = std::partition_point(FRects.begin(), FRects.end(), [&r](const TRect& s) { return s.Bottom <= r.Top; });
  while (band != FRects.end() && band->Top < r.Bottom) {
    const int top = band->Top;
    auto bandEnd = std::partition_point(band, FRects.end(), [top](const TRect& s) { return s.Top == top; });
    auto span = std::partition_point(band, bandEnd, [&r](const TRect& s) { return s.Right <= r.Left; });
    if (span != bandEnd && span->Left < r.Right) return true;
    band = bandEnd;
  }
  return false;
}

void TRegion::SetRect(const TRect& r) {
  FRects.clear();
  if (!r.IsEmpty()) FRects.push_back(r);
}

void TRegion::Offset(int dx, int dy) {
  for (TRect& r : FRects) r = r.Offset(dx, dy);
}

TRegion TRegion::Union(const TRegion& o) const {
  if (o.IsEmpty()) return *this;
  if (IsEmpty()) return o;
  TRegion result;
  if (!StackIfApart(FRects, o.FRects, result.FRects)) result.FRects = Combine(FRects, o.FRects, TRgnOp::Or);
  return result;
}

TRegion TRegion::Intersect(const TRegion& o) const {
  TRegion result;
  if (IsEmpty() || o.IsEmpty()) return result;
  result.FRects = Combine(FRects, o.FRects, TRgnOp::And);
  return result;
}

TRegion TRegion::Subtract(const TRegion& o) const {
  if (IsEmpty() || o.IsEmpty()) return *this;
  TRegion result;
  result.FRects = Combine(FRects, o.FRects, TRgnOp::Diff);
  return result;
}

TRegion TRegion::Xor(const TRegion& o) const {
  if (o.IsEmpty()) return *this;
  if (IsEmpty()) return o;
  TRegion result;
  if (!StackIfApart(FRects, o.FRects, result.FRects)) result.FRects = Combine(FRects, o.FRects, TRgnOp::Xor);
  return result;
}

// Sweeps down the y edges of all rectangles, keeping the rectangles that cover the current
// interval sorted by left edge; their merged spans form the band of that interval.
TRegion TRegion::FromRects(const std::vector<TRect>& rects) {
  std::vector<TRect> pending;
  pending.reserve(rects.size());
  std::vector<int> edges;
  edges.reserve(rects.size() * 2);
  for (const TRect& r : rects) {
    if (r.IsEmpty()) continue;
    pending.push_back(r);
    edges.push_back(r.Top);
    edges.push_back(r.Bottom);
  }
  std::sort(pending.begin(), pending.end(), [](const TRect& p, const TRect& q) { return p.Top < q.Top; });
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  TRegion result;
  TBandWriter writer(result.FRects);
  std::vector<TRect> active;
  std::vector<TSpan> spans;
  size_t next = 0;
  for (size_t e = 0; e + 1 < edges.size(); ++e) {
    const int y = edges[e];
    std::erase_if(active, [y](const TRect& r) { return r.Bottom <= y; });
    for (; next < pending.size() && pending[next].Top == y; ++next) {
      const TRect& r = pending[next];
      auto at = std::upper_bound(active.begin(), active.end(), r.Left,
                                 [](int left, const TRect& q) { return left < q.Left; });
      active.insert(at, r);
    }
    spans.clear();
    for (const TRect& r : active) {
      if (!spans.empty() && r.Left <= spans.back().Right) spans.back().Right = std::max(spans.back().Right, r.Right);
      else spans.push_back({r.Left, r.Right});
    }
    writer.Append(spans, y, edges[e + 1]);
  }
  return result;
}

int CombineRgn(TRegion* dst, const TRegion* a, const TRegion* b, int mode) {
  if (!dst || !a) return RGN_ERROR;
  if (mode == RGN_COPY) {
    *dst = *a;
    return dst->Complexity();
  }
  if (!b) return RGN_ERROR;
  switch (mode) {
    case RGN_AND: *dst = a->Intersect(*b); break;
    case RGN_OR: *dst = a->Union(*b); break;
    case RGN_XOR: *dst = a->Xor(*b); break;
    case RGN_DIFF: *dst = a->Subtract(*b); break;
    default: return RGN_ERROR;
  }
  return dst->Complexity();
}

int OffsetRgn(TRegion* rgn, int dx, int dy) {
  rgn->Offset(dx, dy);
  return rgn->Complexity();
}

bool PtInRegion(const TRegion* rgn, int x, int y) { return rgn->Contains(x, y); }

bool RectInRegion(const TRegion* rgn, const TRect* r) { return rgn->Intersects(*r); }

int GetRgnBox(const TRegion* rgn, TRect* box) {
  *box = rgn->Box();
  return rgn->Complexity();
}

bool EqualRgn(const TRegion* a, const TRegion* b) { return *a == *b; }

void SetRectRgn(TRegion* rgn, int left, int top, int right, int bottom) { rgn->SetRect({left, top, right, bottom}); }
