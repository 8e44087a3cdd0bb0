// Block transfers: BitBlt, StretchBlt, TransparentBlt and icon drawing.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/graphics/DC.h"

namespace {

TRect Normalised(int l, int t, int r, int b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

bool IsDirectDepth(const TDib* d) { return d && (d->BitsPerPixel() == 24 || d->BitsPerPixel() == 32); }

inline uint8_t ApplyRop3(uint32_t rop, uint8_t s, uint8_t d) {
  switch (rop) {
    case SRCPAINT: return uint8_t(s | d);
    case SRCAND: return uint8_t(s & d);
    case SRCINVERT: return uint8_t(s ^ d);
    case SRCERASE: return uint8_t(s & ~d);
    case NOTSRCCOPY: return uint8_t(~s);
    case NOTSRCERASE: return uint8_t(~(s | d));
    case MERGEPAINT: return uint8_t(~s | d);
    default: return s;  // SRCCOPY
  }
}

bool IsSourceRop(uint32_t rop) {
  switch (rop) {
    case SRCCOPY: case SRCPAINT: case SRCAND: case SRCINVERT: case SRCERASE:
    case NOTSRCCOPY: case NOTSRCERASE: case MERGEPAINT:
      return true;
    default:
      return false;
  }
}

// Reads a source pixel as blue, green, red bytes.
struct TSourceReader {
  const TDib* Dib;
  int Bpp;  // bytes per pixel for direct depths, 0 for palettised
  explicit TSourceReader(const TDib* d) : Dib(d), Bpp(IsDirectDepth(d) ? d->BitsPerPixel() / 8 : 0) {}
  void Read(int x, int y, uint8_t out[3]) const {
    if (Bpp) {
      const uint8_t* p = Dib->ScanLine(y) + x * Bpp;
      out[0] = p[0]; out[1] = p[1]; out[2] = p[2];
    } else {
      COLORREF c = Dib->GetPixel(x, y);
      out[0] = GetBValue(c); out[1] = GetGValue(c); out[2] = GetRValue(c);
    }
  }
};

// One axis of a stretched copy: destination index i (0..dstLen-1) reads source index
// Map[i], or -1 when that source pixel lies outside the source bitmap.
std::vector<int> AxisMap(int dstLen, int srcStart, int srcLen, bool mirror, int srcLimit) {
  std::vector<int> map(size_t(std::max(dstLen, 0)));
  for (int i = 0; i < dstLen; ++i) {
    const int t = int((int64_t(2 * i + 1) * srcLen) / (int64_t(2) * dstLen));
    const int s = mirror ? srcStart + srcLen - 1 - t : srcStart + t;
    map[size_t(i)] = (s >= 0 && s < srcLimit) ? s : -1;
  }
  return map;
}

// Stretched copy core: for every destination pixel inside the clip, op(dstPixel, srcBGR).
// `plainCopy` says that op writes the source pixel unchanged, so equal rows may be repeated.
template <class Op>
void StretchCopy(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, Op op,
                 bool plainCopy = false) {
  TDib* dsurf = dst->Surface();
  const TDib* ssurf = src->Surface();
  if (!IsDirectDepth(dsurf) || !ssurf || ssurf->Empty() || w == 0 || h == 0 || sw == 0 || sh == 0) return;
  const bool mirrorX = (w < 0) != (sw < 0), mirrorY = (h < 0) != (sh < 0);
  const TRect dl = Normalised(x, y, x + w, y + h);
  const TRect sl = Normalised(sx, sy, sx + sw, sy + sh);
  const TRect dRect = dst->ToSurface(dl);
  const TPoint sOrg = src->ToSurface(sl.Left, sl.Top);
  const std::vector<int> mapX = AxisMap(dl.Width(), sOrg.X, sl.Width(), mirrorX, ssurf->Width());
  const std::vector<int> mapY = AxisMap(dl.Height(), sOrg.Y, sl.Height(), mirrorY, ssurf->Height());
  const TSourceReader reader(ssurf);
  const int dbpp = dsurf->BitsPerPixel() / 8;
  // Reading and writing the same bitmap: read from a snapshot so that overlaps copy correctly.
  TDib snapshot;
  const TSourceReader* rd = &reader;
  TSourceReader snapReader(nullptr);
  if (ssurf == dsurf) {
    snapshot = *ssurf;
    snapReader = TSourceReader(&snapshot);
    rd = &snapReader;
  }
  const bool fastRead = rd->Bpp != 0;
  dst->ForEachClipRect(dRect, [&](const TRect& c) {
    int lastSource = -1;
    for (int py = c.Top; py < c.Bottom; ++py) {
      const int syy = mapY[size_t(py - dRect.Top)];
      if (syy < 0) continue;
      if (plainCopy && syy == lastSource) {
        // Same source row as the row above: repeat the finished row.
        std::memcpy(dsurf->ScanLine(py) + c.Left * dbpp, dsurf->ScanLine(py - 1) + c.Left * dbpp, size_t(c.Width()) * dbpp);
        continue;
      }
      lastSource = syy;
      if (fastRead) {
        const uint8_t* srow = rd->Dib->ScanLine(syy);
        uint8_t* d = dsurf->ScanLine(py) + c.Left * dbpp;
        for (int px = c.Left; px < c.Right; ++px, d += dbpp) {
          const int sxx = mapX[size_t(px - dRect.Left)];
          if (sxx < 0) continue;
          op(d, srow + sxx * rd->Bpp);
        }
        continue;
      }
      uint8_t* d = dsurf->ScanLine(py) + c.Left * dbpp;
      for (int px = c.Left; px < c.Right; ++px, d += dbpp) {
        const int sxx = mapX[size_t(px - dRect.Left)];
        if (sxx < 0) continue;
        uint8_t s[3];
        rd->Read(sxx, syy, s);
        op(d, s);
      }
    }
  });
}

}  // namespace

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop) {
  if (!dst) return false;
  if (!IsSourceRop(rop)) return PatBlt(dst, x, y, w, h, rop);
  if (!src) return false;
  TDib* dsurf = dst->Surface();
  const TDib* ssurf = src->Surface();
  if (!IsDirectDepth(dsurf) || !ssurf) return false;
  if (w < 0) { x += w; sx += w; w = -w; }
  if (h < 0) { y += h; sy += h; h = -h; }
  if (rop != SRCCOPY || ssurf->BitsPerPixel() != dsurf->BitsPerPixel() || ssurf == dsurf) {
    StretchCopy(dst, x, y, w, h, src, sx, sy, w, h, [rop](uint8_t* d, const uint8_t* s) {
      for (int i = 0; i < 3; ++i) d[i] = ApplyRop3(rop, s[i], d[i]);
    });
    return true;
  }
  // Same depth, plain copy: whole rows with memcpy. The source rectangle is cut to the
  // source bitmap and the destination follows it.
  TPoint s0 = src->ToSurface(sx, sy);
  TRect dRect = dst->ToSurface(TRect{x, y, x + w, y + h});
  const TRect srcRect = TRect{s0.X, s0.Y, s0.X + w, s0.Y + h}.Intersect(ssurf->BoundsRect());
  if (srcRect.IsEmpty()) return true;
  const int dx = dRect.Left - s0.X, dy = dRect.Top - s0.Y;  // source to destination shift
  dRect = srcRect.Offset(dx, dy);
  const int bpp = dsurf->BitsPerPixel() / 8;
  const bool sameLayout = dsurf->RowDistance() == ssurf->RowDistance();
  dst->ForEachClipRect(dRect, [&](const TRect& c) {
    const size_t bytes = size_t(c.Width()) * bpp;
    if (sameLayout && bytes == size_t(dsurf->RowBytes())) {
      // Whole rows that lie back to back in both bitmaps: one block.
      const int first = dsurf->BottomUp() ? c.Bottom - 1 : c.Top;
      std::memcpy(dsurf->ScanLine(first), ssurf->ScanLine(first - dy), bytes * size_t(c.Height()));
      return;
    }
    for (int py = c.Top; py < c.Bottom; ++py)
      std::memcpy(dsurf->ScanLine(py) + c.Left * bpp, ssurf->ScanLine(py - dy) + (c.Left - dx) * bpp, bytes);
  });
  return true;
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop) {
  if (!dst) return false;
  if (!IsSourceRop(rop)) return PatBlt(dst, x, y, w, h, rop);
  if (!src) return false;
  if (w == sw && h == sh && w > 0 && h > 0) return BitBlt(dst, x, y, w, h, src, sx, sy, rop);
  if (rop == SRCCOPY) {
    StretchCopy(dst, x, y, w, h, src, sx, sy, sw, sh, [](uint8_t* d, const uint8_t* s) {
      d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
    }, true);
    return true;
  }
  StretchCopy(dst, x, y, w, h, src, sx, sy, sw, sh, [rop](uint8_t* d, const uint8_t* s) {
    for (int i = 0; i < 3; ++i) d[i] = ApplyRop3(rop, s[i], d[i]);
  });
  return true;
}

bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, COLORREF key) {
  if (!dst || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
  const uint8_t kb = GetBValue(key), kg = GetGValue(key), kr = GetRValue(key);
  StretchCopy(dst, x, y, w, h, src, sx, sy, sw, sh, [=](uint8_t* d, const uint8_t* s) {
    if (s[0] == kb && s[1] == kg && s[2] == kr) return;
    d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
  });
  return true;
}

bool DrawIconEx(HDC dc, int x, int y, const TIconImage* icon, int cx, int cy, unsigned /*step*/,
                const TLogBrush* /*flicker*/, unsigned flags) {
  if (!dc || !icon || icon->Color.Empty()) return false;
  const int w = icon->Color.Width(), h = icon->Color.Height();
  if (cx == 0) cx = w;
  if (cy == 0) cy = h;
  const bool hasMask = !icon->Mask.Empty();
  TDC colorDC(const_cast<TDib*>(&icon->Color));
  if (!hasMask) {
    if (flags & DI_IMAGE) StretchBlt(dc, x, y, cx, cy, &colorDC, 0, 0, w, h, SRCCOPY);
    return true;
  }
  TDC maskDC(const_cast<TDib*>(&icon->Mask));
  if (flags & DI_MASK) StretchBlt(dc, x, y, cx, cy, &maskDC, 0, 0, icon->Mask.Width(), icon->Mask.Height(), SRCAND);
  if (flags & DI_IMAGE) StretchBlt(dc, x, y, cx, cy, &colorDC, 0, 0, w, h, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
  return true;
}
