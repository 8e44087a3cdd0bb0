#include "platform/graphics/DC.h"

#include <algorithm>
#include <cstring>
#include <utility>

TDC::TDC(TDib* surface) : FSurface(surface) {}

TDib* TDC::SelectBitmap(TDib* surface) {
  TDib* old = FSurface;
  FSurface = surface;
  FClipValid = false;
  return old;
}

void TDC::SetDeviceOrigin(TPoint origin) {
  FDeviceOrigin = origin;
  FClipValid = false;
}

void TDC::SetVisRegion(std::optional<TRegion> deviceRegion) {
  FVisRgn = std::move(deviceRegion);
  FClipValid = false;
}

int TDC::Save() {
  FSaved.push_back(FState);
  return int(FSaved.size());
}

bool TDC::Restore(int level) {
  const int count = int(FSaved.size());
  if (level < 0) level = count + 1 + level;
  if (level < 1 || level > count) return false;
  FState = FSaved[size_t(level - 1)];
  FSaved.resize(size_t(level - 1));
  FClipValid = false;
  return true;
}

const TRegion& TDC::SurfaceClip() const {
  if (FClipValid) return FSurfaceClip;
  FClipValid = true;
  if (!FSurface || FSurface->Empty() || (FSurface->BitsPerPixel() != 24 && FSurface->BitsPerPixel() != 32)) {
    FSurfaceClip.Clear();
    return FSurfaceClip;
  }
  TRegion clip(FSurface->BoundsRect());
  if (FVisRgn) {
    TRegion vis = *FVisRgn;
    vis.Offset(FDeviceOrigin.X, FDeviceOrigin.Y);
    clip = clip.Intersect(vis);
  }
  if (FState.ClipRgn) {
    TRegion app = *FState.ClipRgn;
    app.Offset(FDeviceOrigin.X, FDeviceOrigin.Y);
    clip = clip.Intersect(app);
  }
  FSurfaceClip = std::move(clip);
  return FSurfaceClip;
}

void TDC::FillSurfaceRect(const TRect& surfaceRect, COLORREF color) {
  const uint8_t b = GetBValue(color), g = GetGValue(color), r = GetRValue(color);
  const int bpp = FSurface ? FSurface->BitsPerPixel() / 8 : 3;
  ForEachClipRect(surfaceRect, [&](const TRect& c) {
    const int w = c.Width();
    uint8_t* first = FSurface->ScanLine(c.Top) + c.Left * bpp;
    uint8_t* p = first;
    for (int x = 0; x < w; ++x, p += bpp) {
      p[0] = b; p[1] = g; p[2] = r;
    }
    const size_t bytes = size_t(w) * bpp;
    for (int y = c.Top + 1; y < c.Bottom; ++y) std::memcpy(FSurface->ScanLine(y) + c.Left * bpp, first, bytes);
  });
}

namespace {
inline uint8_t ApplyRop2(int rop2, uint8_t d, uint8_t p) {
  switch (rop2) {
    case R2_BLACK: return 0;
    case R2_NOTMERGEPEN: return uint8_t(~(d | p));
    case R2_MASKNOTPEN: return uint8_t(d & ~p);
    case R2_NOTCOPYPEN: return uint8_t(~p);
    case R2_MASKPENNOT: return uint8_t(p & ~d);
    case R2_NOT: return uint8_t(~d);
    case R2_XORPEN: return uint8_t(d ^ p);
    case R2_NOTMASKPEN: return uint8_t(~(d & p));
    case R2_MASKPEN: return uint8_t(d & p);
    case R2_NOTXORPEN: return uint8_t(~(d ^ p));
    case R2_NOP: return d;
    case R2_MERGENOTPEN: return uint8_t(d | ~p);
    case R2_MERGEPENNOT: return uint8_t(p | ~d);
    case R2_MERGEPEN: return uint8_t(d | p);
    case R2_WHITE: return 255;
    default: return p;  // R2_COPYPEN
  }
}
}  // namespace

void TDC::RopSurfaceRect(const TRect& surfaceRect, COLORREF color, int rop2) {
  if (rop2 == R2_COPYPEN) {
    FillSurfaceRect(surfaceRect, color);
    return;
  }
  if (rop2 == R2_NOP) return;
  const uint8_t pen[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
  const int bpp = FSurface ? FSurface->BitsPerPixel() / 8 : 3;
  ForEachClipRect(surfaceRect, [&](const TRect& c) {
    for (int y = c.Top; y < c.Bottom; ++y) {
      uint8_t* p = FSurface->ScanLine(y) + c.Left * bpp;
      for (int x = c.Left; x < c.Right; ++x, p += bpp)
        for (int i = 0; i < 3; ++i) p[i] = ApplyRop2(rop2, p[i], pen[i]);
    }
  });
}

// ---- Coordinates and clipping -------------------------------------------------------------

bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old) {
  if (!dc) return false;
  if (old) *old = dc->State().ViewportOrg;
  dc->State().ViewportOrg = {x, y};
  return true;
}

bool OffsetViewportOrgEx(HDC dc, int dx, int dy, TPoint* old) {
  if (!dc) return false;
  TPoint& org = dc->State().ViewportOrg;
  if (old) *old = org;
  org = {org.X + dx, org.Y + dy};
  return true;
}

bool GetViewportOrgEx(HDC dc, TPoint* org) {
  if (!dc || !org) return false;
  *org = dc->State().ViewportOrg;
  return true;
}

namespace {
// The clip region's complexity as the window system reports it after a change.
int ClipComplexity(HDC dc) { return dc->SurfaceClip().Complexity(); }

// The device-coordinate area that "no clip region" stands for.
TRect DeviceExtent(HDC dc) {
  TDib* s = dc->Surface();
  if (!s) return {};
  TPoint o = dc->DeviceOrigin();
  return s->BoundsRect().Offset(-o.X, -o.Y);
}

TRect Normalised(int l, int t, int r, int b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}
}  // namespace

int SelectClipRgn(HDC dc, const TRegion* rgn) {
  if (!dc) return RGN_ERROR;
  if (rgn) dc->State().ClipRgn = *rgn;
  else dc->State().ClipRgn.reset();
  dc->ClipChanged();
  return ClipComplexity(dc);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return RGN_ERROR;
  TPoint org = dc->State().ViewportOrg;
  TRegion r(Normalised(left, top, right, bottom).Offset(org.X, org.Y));
  auto& clip = dc->State().ClipRgn;
  clip = clip ? clip->Intersect(r) : r;
  dc->ClipChanged();
  return ClipComplexity(dc);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return RGN_ERROR;
  TPoint org = dc->State().ViewportOrg;
  TRegion r(Normalised(left, top, right, bottom).Offset(org.X, org.Y));
  auto& clip = dc->State().ClipRgn;
  clip = (clip ? *clip : TRegion(DeviceExtent(dc))).Subtract(r);
  dc->ClipChanged();
  return ClipComplexity(dc);
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
  if (!dc) return RGN_ERROR;
  if (dc->State().ClipRgn) dc->State().ClipRgn->Offset(dx, dy);
  dc->ClipChanged();
  return ClipComplexity(dc);
}

int GetClipRgn(HDC dc, TRegion* rgn) {
  if (!dc || !rgn) return -1;
  if (!dc->State().ClipRgn) return 0;
  *rgn = *dc->State().ClipRgn;
  return 1;
}

int GetClipBox(HDC dc, TRect* box) {
  if (!dc || !box) return RGN_ERROR;
  const TRegion& clip = dc->SurfaceClip();
  TPoint o = dc->ToSurface(0, 0);
  *box = clip.IsEmpty() ? TRect{} : clip.Box().Offset(-o.X, -o.Y);
  return clip.Complexity();
}

bool RectVisible(HDC dc, const TRect* r) {
  if (!dc || !r) return false;
  return dc->SurfaceClip().Intersects(dc->ToSurface(Normalised(r->Left, r->Top, r->Right, r->Bottom)));
}

bool PtVisible(HDC dc, int x, int y) {
  if (!dc) return false;
  TPoint p = dc->ToSurface(x, y);
  return dc->SurfaceClip().Contains(p.X, p.Y);
}

int SaveDC(HDC dc) { return dc ? dc->Save() : 0; }
bool RestoreDC(HDC dc, int level) { return dc && dc->Restore(level); }

// ---- Objects and modes ---------------------------------------------------------------------

TLogPen SelectPen(HDC dc, const TLogPen& pen) { return std::exchange(dc->State().Pen, pen); }
TLogBrush SelectBrush(HDC dc, const TLogBrush& brush) { return std::exchange(dc->State().Brush, brush); }
TLogFont SelectFont(HDC dc, const TLogFont& font) { return std::exchange(dc->State().Font, font); }
COLORREF SetTextColor(HDC dc, COLORREF color) { return std::exchange(dc->State().TextColor, color); }
COLORREF GetTextColor(HDC dc) { return dc->State().TextColor; }
COLORREF SetBkColor(HDC dc, COLORREF color) { return std::exchange(dc->State().BkColor, color); }
COLORREF GetBkColor(HDC dc) { return dc->State().BkColor; }
int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(dc->State().BkMode, mode);
}
int GetBkMode(HDC dc) { return dc->State().BkMode; }
int SetROP2(HDC dc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return std::exchange(dc->State().Rop2, rop2);
}
int GetROP2(HDC dc) { return dc->State().Rop2; }
int SetStretchBltMode(HDC dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(dc->State().StretchMode, mode);
}
unsigned SetTextAlign(HDC dc, unsigned align) { return std::exchange(dc->State().TextAlign, align); }
