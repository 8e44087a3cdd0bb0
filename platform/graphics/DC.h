#pragma once
// Device context: the state every painting call goes through (origin, clip, pen, brush,
// font, colours, raster operation) over a target bitmap, the surface.
//
// Coordinates: a call's logical point plus the viewport origin gives the device point;
// the device point plus the device origin gives the surface pixel. A memory context has
// device origin (0, 0); the window system gives a window's context the window's place on
// its surface and a visible region (child and sibling clipping). Pixels are painted only
// inside the effective clip: the surface, the visible region and the selected clip region.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Colors.h"
#include "platform/graphics/Dib.h"
#include "platform/graphics/LogFont.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Types.h"

enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_NULL = 5 };
enum : int { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL };
enum : int {
  R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
  R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
  R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16
};
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
enum : uint32_t {
  SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
  SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGEPAINT = 0x00BB0226,
  PATCOPY = 0x00F00021, PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042,
  WHITENESS = 0x00FF0062
};
// Text alignment (SetTextAlign).
enum : unsigned {
  TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
  TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24
};
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct TLogPen {
  int Style = PS_SOLID;
  int Width = 1;
  COLORREF Color = 0;
  friend bool operator==(const TLogPen&, const TLogPen&) = default;
};

struct TLogBrush {
  int Style = BS_SOLID;
  COLORREF Color = 0xFFFFFF;
  friend bool operator==(const TLogBrush&, const TLogBrush&) = default;
};

inline TLogPen CreatePen(int style, int width, COLORREF color) { return {style, width, color}; }
inline TLogBrush CreateSolidBrush(COLORREF color) { return {BS_SOLID, color}; }
inline TLogBrush NullBrush() { return {BS_NULL, 0}; }
inline TLogBrush GetSysColorBrush(int index) { return {BS_SOLID, GetSysColor(index)}; }

class TDC {
 public:
  explicit TDC(TDib* surface = nullptr);

  TDib* Surface() const { return FSurface; }
  // Selects another target bitmap (the memory context's SelectObject for bitmaps); returns
  // the previous one.
  TDib* SelectBitmap(TDib* surface);

  // Set by the window system for window contexts.
  void SetDeviceOrigin(TPoint origin);
  TPoint DeviceOrigin() const { return FDeviceOrigin; }
  void SetVisRegion(std::optional<TRegion> deviceRegion);  // nullopt: no restriction

  // State that SaveDC/RestoreDC keep.
  struct TState {
    TPoint ViewportOrg;
    std::optional<TRegion> ClipRgn;  // device coordinates
    TLogPen Pen;
    TLogBrush Brush;
    TLogFont Font = DefaultGuiFont();
    COLORREF TextColor = 0;
    COLORREF BkColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    int Rop2 = R2_COPYPEN;
    int StretchMode = BLACKONWHITE;
    unsigned TextAlign = TA_LEFT | TA_TOP;
    TPoint CurrentPos;
  };
  TState& State() { return FState; }
  const TState& State() const { return FState; }
  void ClipChanged() { FClipValid = false; }

  int Save();
  bool Restore(int level);  // negative: relative to the current level
  int SaveLevel() const { return int(FSaved.size()); }

  // For the painters of this layer.
  TPoint ToSurface(int x, int y) const {
    return {x + FState.ViewportOrg.X + FDeviceOrigin.X, y + FState.ViewportOrg.Y + FDeviceOrigin.Y};
  }
  TRect ToSurface(const TRect& r) const {
    TPoint o = ToSurface(0, 0);
    return r.Offset(o.X, o.Y);
  }
  // The effective clip in surface coordinates.
  const TRegion& SurfaceClip() const;
  // Calls fn(rect) for every part of the effective clip inside `surfaceRect` (surface coordinates).
  template <class F>
  void ForEachClipRect(const TRect& surfaceRect, F&& fn) const {
    if (surfaceRect.IsEmpty()) return;
    for (const TRect& c : SurfaceClip().Rects()) {
      if (c.Top >= surfaceRect.Bottom) break;
      TRect r = c.Intersect(surfaceRect);
      if (!r.IsEmpty()) fn(r);
    }
  }
  // Fills a surface rectangle (clipped) with a colour, or applies the raster operation of a
  // pen colour to it.
  void FillSurfaceRect(const TRect& surfaceRect, COLORREF color);
  void RopSurfaceRect(const TRect& surfaceRect, COLORREF color, int rop2);

 private:
  TDib* FSurface = nullptr;
  TPoint FDeviceOrigin;
  std::optional<TRegion> FVisRgn;
  TState FState;
  std::vector<TState> FSaved;
  mutable TRegion FSurfaceClip;
  mutable bool FClipValid = false;
};

using HDC = TDC*;

// ---- Coordinates and clipping -------------------------------------------------------------
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old);
bool OffsetViewportOrgEx(HDC dc, int dx, int dy, TPoint* old);
bool GetViewportOrgEx(HDC dc, TPoint* org);
// Selects a copy of `rgn` (device coordinates) as the clip region; nullptr removes it.
// Returns the complexity of the resulting clip.
int SelectClipRgn(HDC dc, const TRegion* rgn);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
// 1 and a copy of the selected clip region (device coordinates), or 0 when none is selected.
int GetClipRgn(HDC dc, TRegion* rgn);
// Bounding box of the effective clip in logical coordinates; returns its complexity.
int GetClipBox(HDC dc, TRect* box);
bool RectVisible(HDC dc, const TRect* r);
bool PtVisible(HDC dc, int x, int y);
int SaveDC(HDC dc);
bool RestoreDC(HDC dc, int level);

// ---- Objects and modes ---------------------------------------------------------------------
TLogPen SelectPen(HDC dc, const TLogPen& pen);
TLogBrush SelectBrush(HDC dc, const TLogBrush& brush);
TLogFont SelectFont(HDC dc, const TLogFont& font);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
unsigned SetTextAlign(HDC dc, unsigned align);

// ---- Pixels, lines and shapes --------------------------------------------------------------
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);  // CLR_INVALID outside the clip
bool MoveToEx(HDC dc, int x, int y, TPoint* old);
// Paints from the current position up to, not including, (x, y) and moves there.
bool LineTo(HDC dc, int x, int y);
bool Polyline(HDC dc, const TPoint* points, int count);
int FillRect(HDC dc, const TRect* r, const TLogBrush& brush);
int FrameRect(HDC dc, const TRect* r, const TLogBrush& brush);
bool InvertRect(HDC dc, const TRect* r);
// Outline with the pen, inside with the brush; both exclude the right and bottom edge.
// With a null pen the filled area is one pixel narrower and lower.
bool Rectangle(HDC dc, int left, int top, int right, int bottom);
bool RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
bool Ellipse(HDC dc, int left, int top, int right, int bottom);
bool FillRgn(HDC dc, const TRegion* rgn, const TLogBrush& brush);  // rgn in logical coordinates
bool PatBlt(HDC dc, int x, int y, int w, int h, uint32_t rop);

// ---- Gradients -----------------------------------------------------------------------------
using COLOR16 = uint16_t;
struct TRIVERTEX {
  int32_t x;
  int32_t y;
  COLOR16 Red;
  COLOR16 Green;
  COLOR16 Blue;
  COLOR16 Alpha;
};
struct GRADIENT_TRIANGLE { uint32_t Vertex1, Vertex2, Vertex3; };
struct GRADIENT_RECT { uint32_t UpperLeft, LowerRight; };
enum : uint32_t { GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1, GRADIENT_FILL_TRIANGLE = 2 };
// Triangles: each pixel whose top-left point lies inside (edges on the top and left sides
// included, on the right and bottom excluded) takes the barycentric mix of the vertex
// colours at that point, each channel's 16-bit value shifted right by 8.
bool GradientFill(HDC dc, const TRIVERTEX* vertices, uint32_t vertexCount, const void* mesh,
                  uint32_t meshCount, uint32_t mode);

// ---- Block transfers -----------------------------------------------------------------------
// Source coordinates are logical in the source context; the source's clip is not used; parts
// of the source rectangle outside the source bitmap are not copied.
bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop);
// Nearest pixel (the COLORONCOLOR mode for every stretch mode); negative sizes mirror.
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop);
// Copies (stretching as StretchBlt) every source pixel whose colour is not `key`.
bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, COLORREF key);

// An icon: a colour picture and a 1-bit mask of the same size (1 keeps the background:
// screen = (screen AND mask) XOR colour). An empty mask draws the colour picture opaque.
struct TIconImage {
  TDib Color;
  TDib Mask;
};
enum : unsigned { DI_MASK = 1, DI_IMAGE = 2, DI_NORMAL = 3 };
// cx, cy of 0 draw at the icon's own size.
bool DrawIconEx(HDC dc, int x, int y, const TIconImage* icon, int cx, int cy, unsigned step, const TLogBrush* flicker,
                unsigned flags);
