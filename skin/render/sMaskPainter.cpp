#include "skin/render/sMaskPainter.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <tuple>

#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sPixelTools.h"

namespace {

constexpr COLORREF kKey = kSkinKeyColor;

// Row access to a 24-bit picture.
struct TRows {
  uint8_t* Row0 = nullptr;
  std::ptrdiff_t Distance = 0;
  int Width = 0;
  int Height = 0;
  uint8_t* At(int x, int y) const { return Row0 + std::ptrdiff_t(y) * Distance + std::ptrdiff_t(x) * 3; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};

bool Is24(const TDib* dib) { return dib && !dib->Empty() && dib->BitsPerPixel() == 24; }

TRows RowsOf(const TDib* dib) {
  TDib* d = const_cast<TDib*>(dib);  // read-only use for const pictures
  return {d->Row0(), d->RowDistance(), d->Width(), d->Height()};
}

bool IsKey(const uint8_t* p) { return p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF; }

void Put(uint8_t* p, COLORREF c) {
  p[0] = GetBValue(c);
  p[1] = GetGValue(c);
  p[2] = GetRValue(c);
}

void Copy3(uint8_t* d, const uint8_t* s) {
  d[0] = s[0];
  d[1] = s[1];
  d[2] = s[2];
}

uint8_t MixByte(int d, int s, int m) { return uint8_t(std::clamp(((d - s) * m + s * 256) >> 8, 0, 255)); }

// Masked mix, each channel with its own mask byte; faded raises the mask by 100.
void MaskedMix(uint8_t* d, const uint8_t* s, const uint8_t* m, bool faded) {
  for (int i = 0; i < 3; ++i) d[i] = MixByte(d[i], s[i], faded ? std::min(m[i] + 100, 255) : m[i]);
}

// Where the images of a mask lie and which picture holds them.
struct TMaskGeometry {
  const TDib* Picture = nullptr;
  int Count = 1;  // ImageCount
  int Type = 0;   // MaskType
  int FW = 0, FH = 0;
  int X0 = 0, Y0 = 0;
};

bool MaskGeometry(const TsMaskData& mask, int state, TMaskGeometry& g) {
  g.Picture = mask.Bmp ? mask.Bmp.get() : mask.Manager ? mask.Manager->MasterBitmap() : nullptr;
  if (!Is24(g.Picture) || mask.ImageCount <= 0 || mask.MaskType < 0) return false;
  g.Count = mask.ImageCount;
  g.Type = mask.MaskType;
  g.FW = mask.R.Width() / g.Count;
  g.FH = mask.R.Height() / (g.Type + 1);
  g.X0 = mask.R.Left + std::clamp(state, 0, g.Count - 1) * g.FW;
  g.Y0 = mask.R.Top;
  return g.FW > 0 && g.FH > 0;
}

// Calls fn(destination, picture, mask, x, y) for every pixel of a w x h piece copied from
// (sx, sy) of `src` to (dx, dy) of `dst`, clipped to both pictures (and to the mask rows
// `maskOffset` lower when maskOffset > 0). x and y are destination coordinates.
template <class F>
void ForPiece(const TRows& dst, int dx, int dy, int w, int h, const TRows& src, int sx, int sy, int maskOffset, F&& fn) {
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  w = std::min({w, dst.Width - dx, src.Width - sx});
  h = std::min({h, dst.Height - dy, src.Height - sy - std::max(maskOffset, 0)});
  if (w <= 0 || h <= 0) return;
  for (int y = 0; y < h; ++y) {
    uint8_t* d = dst.At(dx, dy + y);
    const uint8_t* s = src.At(sx, sy + y);
    const uint8_t* m = maskOffset > 0 ? src.At(sx, sy + y + maskOffset) : nullptr;
    for (int x = 0; x < w; ++x, d += 3, s += 3) {
      fn(d, s, m, dx + x, dy + y);
      if (m) m += 3;
    }
  }
}

// Repeats a tile from `from` while its start is less than `to` minus one tile; the last
// tile is cut at `to`. A tile of size 0 is never repeated.
template <class F>
void Tile(int from, int to, int tile, F&& put) {
  if (tile <= 0) return;
  int p = from;
  while (p < to - tile) {
    put(p, tile);
    p += tile;
  }
  if (to - p > 0) put(p, to - p);
}

// Where the key colour of a corner or glyph shows what lies behind.
struct TBehind {
  TRows Rows;
  int OffsetX = 0, OffsetY = 0;
  bool Valid = false;
  explicit TBehind(const TsBgSource& s) {
    Valid = s.Valid && Is24(s.Image);
    if (Valid) Rows = RowsOf(s.Image);
    OffsetX = s.OffsetX;
    OffsetY = s.OffsetY;
  }
  // Copies the pixel behind destination (x, y), when it lies inside the picture.
  bool Sample(uint8_t* d, int x, int y) const {
    if (!Valid || !Rows.Inside(x + OffsetX, y + OffsetY)) return false;
    Copy3(d, Rows.At(x + OffsetX, y + OffsetY));
    return true;
  }
};

enum TPieceKind { pkCorner, pkEdge, pkCentre };

// One of the nine parts of a border: a tile of the picture and where it goes.
struct TPiece {
  TPieceKind Kind;
  int SX, SY, SW, SH;
  TRect Dst;
};

// The nine pieces in painting order: top-left corner, left edge, top edge, bottom-left
// corner, bottom edge, bottom-right corner, top-right corner, right edge, centre.
std::array<TPiece, 9> NinePieces(const TMaskGeometry& g, const TRect& r, int wl, int wt, int wr, int wb, int cw,
                                 int ch) {
  const int x0 = g.X0, y0 = g.Y0, xr = g.X0 + g.FW - wr, yb = g.Y0 + g.FH - wb;
  const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  return {{
      {pkCorner, x0, y0, wl, wt, {L, T, L + wl, T + wt}},
      {pkEdge, x0, y0 + wt, wl, ch, {L, T + wt, L + wl, B - wb}},
      {pkEdge, x0 + wl, y0, cw, wt, {L + wl, T, R - wr, T + wt}},
      {pkCorner, x0, yb, wl, wb, {L, B - wb, L + wl, B}},
      {pkEdge, x0 + wl, yb, cw, wb, {L + wl, B - wb, R - wr, B}},
      {pkCorner, xr, yb, wr, wb, {R - wr, B - wb, R, B}},
      {pkCorner, xr, y0, wr, wt, {R - wr, T, R, T + wt}},
      {pkEdge, xr, y0 + wt, wr, ch, {R - wr, T + wt, R, B - wb}},
      {pkCentre, x0 + wl, y0 + wt, cw, ch, {L + wl, T + wt, R - wr, B - wb}},
  }};
}

// Margins that do not fit into `size` are shrunk from both sides.
void AdjustMargins(int size, int& a, int& b) {
  if (size < a + b) {
    const int e = a + b - size;
    a -= e / 2;
    b -= e / 2;
    if (size % 2 != 0) --b;
  }
  a = std::max(a, 0);
  b = std::max(b, 0);
}

// Tiles a piece over its destination, calling fn per pixel as ForPiece does.
template <class F>
void TilePiece(const TRows& dst, const TRows& src, const TPiece& p, int maskOffset, F&& fn) {
  Tile(p.Dst.Top, p.Dst.Bottom, p.SH, [&](int y, int h) {
    Tile(p.Dst.Left, p.Dst.Right, p.SW, [&](int x, int w) { ForPiece(dst, x, y, w, h, src, p.SX, p.SY, maskOffset, fn); });
  });
}

void KeyedCopyRect(TDib* target, const TDib& picture, const TRect& sourceRect, int x, int y, COLORREF key) {
  if (!Is24(target) || !Is24(&picture)) return;
  const uint8_t kb = GetBValue(key), kg = GetGValue(key), kr = GetRValue(key);
  ForPiece(RowsOf(target), x, y, sourceRect.Width(), sourceRect.Height(), RowsOf(&picture), sourceRect.Left,
           sourceRect.Top, 0, [&](uint8_t* d, const uint8_t* s, const uint8_t*, int, int) {
             if (s[0] != kb || s[1] != kg || s[2] != kr) Copy3(d, s);
           });
}

bool ColorIsSet(TColor c) { return COLORREF(c) != kKey; }

void AskParentColor(TControl* control) {
  if (!control || !control->Parent()) return;
  try {
    control->Parent()->Perform(SM_KARVOCMD, MakeSkinCommand(AC_BGCOLORQUERY), 0);
  } catch (...) {
    // a receiver's error leaves the colour as it is
  }
}

}  // namespace

void PaintBorderMask(TDib* bitmap, TRect r, bool fillCentre, bool seeThrough, int state, const TsMaskData& mask,
                     TsBgSource& source) {
  if (r.Width() <= 1 || r.Height() <= 1 || !mask.Manager || !Is24(bitmap)) return;
  TMaskGeometry g;
  if (!MaskGeometry(mask, state, g)) return;
  int wl = mask.WL, wt = mask.WT, wr = mask.WR, wb = mask.WB;
  AdjustMargins(r.Width(), wl, wr);
  AdjustMargins(r.Height(), wt, wb);
  const int cw = std::max(g.FW - wl - wr, 0), ch = g.FH - wt - wb;
  if (ch < 0) return;

  const TRows dst = RowsOf(bitmap), src = RowsOf(g.Picture);
  const TBehind behind(source);
  const auto pieces = NinePieces(g, r, wl, wt, wr, wb, cw, ch);

  if (g.Type != 0) {
    const COLORREF glyphFill = ColorToRGB(GlyphFillColor);
    const bool glyphFillSet = ColorIsSet(GlyphFillColor);
    for (const TPiece& p : pieces) {
      if (p.Kind == pkCentre && !fillCentre) continue;
      if (p.Kind == pkCorner) {
        TilePiece(dst, src, p, g.FH, [&](uint8_t* d, const uint8_t* s, const uint8_t* m, int x, int y) {
          if (!IsKey(s)) MaskedMix(d, s, m, false);
          else if (behind.Valid) behind.Sample(d, x, y);
          else Put(d, glyphFillSet ? glyphFill : kKey);  // the key stays for RepairCacheCorners
        });
      } else {
        TilePiece(dst, src, p, g.FH,
                  [](uint8_t* d, const uint8_t* s, const uint8_t* m, int, int) { MaskedMix(d, s, m, false); });
      }
    }
    return;
  }

  std::unique_ptr<TDC> dstDC, srcDC;
  for (const TPiece& p : pieces) {
    if (p.Kind == pkCentre && (!fillCentre || mask.BorderWidth != 0)) continue;
    if (p.Kind == pkCorner) {
      TilePiece(dst, src, p, 0, [&](uint8_t* d, const uint8_t* s, const uint8_t*, int x, int y) {
        if (!IsKey(s)) Copy3(d, s);
        else if (seeThrough) behind.Sample(d, x, y);
      });
    } else if (mask.StretchMode != 0) {
      if (p.SW <= 0 || p.SH <= 0 || p.Dst.IsEmpty()) continue;
      if (!dstDC) {
        dstDC = std::make_unique<TDC>(bitmap);
        srcDC = std::make_unique<TDC>(const_cast<TDib*>(g.Picture));
      }
      StretchBlt(dstDC.get(), p.Dst.Left, p.Dst.Top, p.Dst.Width(), p.Dst.Height(), srcDC.get(), p.SX, p.SY, p.SW, p.SH,
                 SRCCOPY);
    } else {
      TilePiece(dst, src, p, 0, [](uint8_t* d, const uint8_t* s, const uint8_t*, int, int) { Copy3(d, s); });
    }
  }
}

void DrawMaskImage(TDib* bitmap, TPoint point, int state, const TsMaskData& mask, int mode) {
  if (!Is24(bitmap)) return;
  TMaskGeometry g;
  if (!MaskGeometry(mask, state, g)) return;
  const TRect sourceRect{g.X0, g.Y0, g.X0 + g.FW, g.Y0 + g.FH};
  if (g.Type == 0) {
    if (!mask.Bmp && mode != 1) {
      BlendKeyed(bitmap, point.X, point.Y, TColor(kKey), 0.5, sourceRect, mask.Manager->MasterBitmap());
    } else {
      KeyedCopyRect(bitmap, *g.Picture, sourceRect, point.X, point.Y, kKey);
    }
    return;
  }
  const bool faded = mode != 1;
  ForPiece(RowsOf(bitmap), point.X, point.Y, g.FW, g.FH, RowsOf(g.Picture), g.X0, g.Y0, g.FH,
           [faded](uint8_t* d, const uint8_t* s, const uint8_t* m, int, int) {
             if (!IsKey(s)) MaskedMix(d, s, m, faded);
           });
}

void PaintSkinSection(int sectionIndex, const std::string& sectionName, TsBgSource& source, int hotTextureIndex,
                      int textureIndex, TsSkinManager* manager, TDib* bitmap, TPoint point, TRect r, int state,
                      bool fillCentre) {
  if (!manager) manager = DefaultManager();
  if (!manager || !bitmap) return;
  PaintSectionBackground(sectionIndex, sectionName, source, TColor(kKey), hotTextureIndex, textureIndex, manager, bitmap,
                         point, r, state);
  const int maskIndex = manager->FindMask(sectionIndex, sectionName, "BORDERSMASK");
  if (!manager->IsValidMaskIndex(maskIndex)) return;
  TsBgSource moved = source;
  moved.OffsetX += point.X;
  moved.OffsetY += point.Y;
  PaintBorderMask(bitmap, r, fillCentre, true, state, manager->Masks()[size_t(maskIndex)], moved);
}

void PaintSkinSectionFixed(int sectionIndex, int borderMaskIndex, int textureIndex, TsSkinManager* manager, TDib* bitmap,
                           TPoint point, TRect r, int state, bool fillCentre, TsBgSource& source,
                           const std::string& sectionName, int hotTextureIndex) {
  if (!manager) manager = DefaultManager();
  if (!manager || !bitmap) return;
  PaintSectionBackgroundFixed(sectionIndex, textureIndex, hotTextureIndex, manager, bitmap, point, r, state, source,
                              sectionName);
  if (!manager->IsValidMaskIndex(borderMaskIndex)) return;
  TsBgSource moved = source;
  moved.OffsetX += point.X;
  moved.OffsetY += point.Y;
  PaintBorderMask(bitmap, r, fillCentre, true, state, manager->Masks()[size_t(borderMaskIndex)], moved);
}

void PaintSkinSectionToDC(int sectionIndex, const std::string& sectionName, TsBgSource& source, TsSkinManager* manager,
                          HDC dc, TPoint point, TRect r, int state, bool fillCentre) {
  if (!dc || r.IsEmpty()) return;
  auto bitmap = CreateBitmap24(r.Width(), r.Height());
  if (!bitmap) return;
  PaintSkinSection(sectionIndex, sectionName, source, -1, -1, manager, bitmap.get(), point,
                   {0, 0, r.Width(), r.Height()}, state, fillCentre);
  TDC memory(bitmap.get());
  const int saved = SaveDC(dc);
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), &memory, 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

void PaintLinkSkin(TsCommonData* link, TsBgSource& source, bool fillCentre, bool seeThrough, TDib* bitmap, TPoint point,
                   TRect r, int state) {
  if (!link || !bitmap) return;
  TsSkinManager* manager = link->GetSkinManager();
  if (!manager || !manager->IsValidSectionIndex(link->SectionIndex)) return;
  if (r.Left < 0 || r.Top < 0 || r.Right > bitmap->Width() || r.Bottom > bitmap->Height()) return;

  TControl* control = link->Control();
  ParentFillColor = TColor(kKey);
  if (!source.Valid && control && control->Parent()) {
    GlyphFillColor = ParentFillColor = TColor(ColorToRGB(control->Parent()->Color()));
  }
  if (source.Valid && !link->DependsOnParent() && !ColorIsSet(ParentFillColor)) AskParentColor(control);

  PaintLinkBackground(link, source, state, bitmap, point, r);

  source.OffsetX += point.X;
  source.OffsetY += point.Y;
  if (manager->IsValidMaskIndex(link->BorderMaskIndex))
    PaintBorderMask(bitmap, r, fillCentre, seeThrough, state, manager->Masks()[size_t(link->BorderMaskIndex)], source);

  GlyphFillColor = ParentFillColor = TColor(kKey);

  struct TCornerImage {
    const char* Name;
    bool Right, Bottom;
  };
  static constexpr TCornerImage kCorners[] = {
      {"IMGTOPLEFT", false, false}, {"IMGTOPRIGHT", true, false}, {"IMGBTMLEFT", false, true}, {"IMGBTMRIGHT", true, true}};
  for (const TCornerImage& c : kCorners) {
    const int index = manager->FindMask(link->SectionIndex, link->SkinSection(), c.Name);
    if (!manager->IsValidMaskIndex(index)) continue;
    const TsMaskData& image = manager->Masks()[size_t(index)];
    if (image.ImageCount <= 0 || image.MaskType < 0) continue;
    const int fw = image.R.Width() / image.ImageCount, fh = image.R.Height() / (image.MaskType + 1);
    // The bottom-left image sits at x 0 whatever the rectangle's left.
    const int x = c.Right ? r.Right - fw : c.Bottom ? 0 : r.Left;
    const int y = c.Bottom ? r.Bottom - fh : r.Top;
    DrawMaskImage(bitmap, {x, y}, state, image, 1);
  }
}

void RepairCacheCorners(TsCommonData* link, int state, uint32_t corners) {
  if (!link) return;
  TsSkinManager* manager = link->GetSkinManager();
  TControl* control = link->Control();
  TDib* cache = link->Cache();
  if (!manager || !manager->IsValidMaskIndex(link->BorderMaskIndex) || !Is24(cache) || !control ||
      control->Width() <= 1 || control->Height() <= 1)
    return;

  TsBgSource behindSource;
  link->GetParentBackground(behindSource);
  TWinControl* parent = control->Parent();
  if (!parent) {
    ParentFillColor = TColor(kKey);
  } else if (!behindSource.Valid) {
    ParentFillColor = TColor(ColorToRGB(parent->Color()));
  } else if (link->ParentIsTextured()) {
    ParentFillColor = TColor(kKey);
  } else if (!ColorIsSet(ParentFillColor)) {
    AskParentColor(control);
    if (ColorIsSet(ParentFillColor)) ParentFillColor = TColor(ColorToRGB(ParentFillColor));
  } else {
    ParentFillColor = TColor(kKey);
  }

  const TsMaskData& mask = manager->Masks()[size_t(link->BorderMaskIndex)];
  TRect R = mask.R;
  int count = mask.ImageCount, type = mask.MaskType;
  if (count == 0 && mask.Bmp) {
    type = 1;
    count = 3;
    R = {0, 0, mask.Bmp->Width(), mask.Bmp->Height()};
  }
  const TDib* picture = mask.Bmp ? mask.Bmp.get() : manager->MasterBitmap();
  if (count <= 0 || type < 0 || !Is24(picture)) {
    ParentFillColor = TColor(kKey);
    return;
  }

  const bool fillSet = ColorIsSet(ParentFillColor);
  if (!fillSet) {
    behindSource.OffsetX += control->Left();
    behindSource.OffsetY += control->Top();
  }
  const TBehind behind(behindSource);
  const COLORREF fill = ColorToRGB(ParentFillColor);

  const int width = control->Width(), height = control->Height();
  const int wl = mask.WL, wt = mask.WT, wr = mask.WR, wb = mask.WB;
  const int fh = R.Height() / (type + 1);
  const int x0 = R.Left + std::clamp(state, 0, count - 1) * R.Width() / count;
  // Kept as it always was: below the image's right edge when the width is not a multiple of 3n.
  const int rightX = x0 + 3 * (R.Width() / (3 * count));
  const int bottomY = R.Top + fh - wb;

  struct TCornerPiece {
    uint32_t Flag;
    int SX, SY, W, H, DX, DY;
  };
  const bool inclusive = type == 0;
  const int more = inclusive ? 1 : 0;
  const TCornerPiece pieces[] = {
      {1, x0, R.Top, wl, wt, 0, 0},
      {2, inclusive ? R.Left : x0, bottomY, wl, wb, 0, height - wb},
      {8, rightX - wr, bottomY, wr, wb, width - wr, height - wb},
      {4, rightX - wr, R.Top, wr, wt, width - wr, 0},
  };
  const TRows dst = RowsOf(cache), src = RowsOf(picture);
  for (const TCornerPiece& p : pieces) {
    if (!(corners & p.Flag)) continue;
    ForPiece(dst, p.DX, p.DY, p.W + more, p.H + more, src, p.SX, p.SY, 0,
             [&](uint8_t* d, const uint8_t* s, const uint8_t*, int x, int y) {
               if (!IsKey(s)) return;
               if (inclusive && !behind.Valid) return;
               if (fillSet) Put(d, fill);
               else behind.Sample(d, x, y);
             });
  }
  ParentFillColor = TColor(kKey);
}

void PaintBorderOverFace(TDib* bitmap, TRegion* region, bool fillCentre, int state, const TsMaskData& mask) {
  if (!Is24(bitmap) || bitmap->Width() <= 1 || bitmap->Height() <= 1 || !mask.Manager) return;
  TMaskGeometry g;
  if (!MaskGeometry(mask, state, g)) return;
  const TRect r = bitmap->BoundsRect();
  int wl = mask.WL, wt = mask.WT, wr = mask.WR, wb = mask.WB;
  AdjustMargins(r.Width(), wl, wr);
  AdjustMargins(r.Height(), wt, wb);
  // The centre tile keeps the size the mask's own margins give it.
  const int cw = std::max(g.FW - mask.WL - mask.WR, 0), ch = g.FH - mask.WT - mask.WB;
  if (ch < 0) return;

  const TRows dst = RowsOf(bitmap), src = RowsOf(g.Picture);
  const bool masked = g.Type != 0;
  const int maskOffset = masked ? g.FH : 0;
  for (const TPiece& p : NinePieces(g, r, wl, wt, wr, wb, cw, ch)) {
    if (p.Kind == pkCentre && !fillCentre) continue;
    if (p.Kind != pkCorner) {
      TilePiece(dst, src, p, maskOffset, [masked](uint8_t* d, const uint8_t* s, const uint8_t* m, int, int) {
        if (masked) MaskedMix(d, s, m, false);
        else Copy3(d, s);
      });
      continue;
    }
    // A corner: key pixels are cut out of the region run by run.
    int runStart = -1, runRow = -1, lastX = -1;
    auto endRun = [&](int right, int mode) {
      if (runStart < 0) return;
      if (region) {
        const TRegion run = CreateRectRgn(runStart, runRow, right, runRow + 1);
        CombineRgn(region, region, &run, mode);
      }
      runStart = -1;
    };
    ForPiece(dst, p.Dst.Left, p.Dst.Top, p.SW, p.SH, src, p.SX, p.SY, maskOffset,
             [&](uint8_t* d, const uint8_t* s, const uint8_t* m, int x, int y) {
               if (y != runRow) {
                 endRun(lastX + 1, RGN_DIFF);
                 runRow = y;
               }
               lastX = x;
               if (IsKey(s)) {
                 if (runStart < 0) runStart = x;
                 return;
               }
               endRun(x, RGN_XOR);
               if (masked) MaskedMix(d, s, m, false);
               else Copy3(d, s);
             });
    endRun(lastX + 1, RGN_DIFF);
  }
}

void DrawGlyphBitmap(const TDib& glyph, TDib* target, TRect r, int blend, bool active, uint32_t disabledKind, bool grayed,
                     bool enabled, int numGlyphs) {
  if (!Is24(target) || glyph.Empty()) return;
  TDib picture = glyph.As24();
  if (!Is24(&picture)) return;
  const double f = blend / 100.0;
  // The transparent colour is read from the bottom-left pixel once the picture is final.
  auto key = [&picture] { return TColor(picture.GetPixel(0, picture.Height() - 1)); };
  if (numGlyphs < 2) {
    const TRect whole = picture.BoundsRect();
    if (enabled) {
      if (grayed && !active) Grayscale(&picture);
      if (active || blend < 1) KeyedCopyRect(target, picture, whole, r.Left, r.Top, COLORREF(key()));
      else BlendKeyed(target, r.Left, r.Top, key(), f, whole, &picture);
    } else {
      if (disabledKind & dkGrayed) Grayscale(&picture);
      if (disabledKind & dkBlended) BlendKeyed(target, r.Left, r.Top, key(), 0.5, whole, &picture);
      else KeyedCopyRect(target, picture, whole, r.Left, r.Top, COLORREF(key()));
    }
    return;
  }
  const int w = picture.Width() / numGlyphs;
  const TRect first{0, 0, w, picture.Height()};
  if (enabled && !active && blend > 0) {
    BlendKeyed(target, r.Left, r.Top, key(), f, first, &picture);
  } else {
    KeyedCopyRect(target, picture, enabled ? first : first.Offset(w, 0), r.Left, r.Top, COLORREF(key()));
  }
}

void CopyKeyedBitmap(TDib* target, const TDib& picture, int x, TColor key, int y) {
  KeyedCopyRect(target, picture, picture.BoundsRect(), x, y, COLORREF(key));
}

std::vector<TRect> BorderMaskCornerHoles(const TsMaskData& m, const TDib* masterBitmap, int width, int height) {
  std::vector<TRect> holes;
  const TDib* picture = m.Bmp ? m.Bmp.get() : masterBitmap;
  if (!picture) return holes;
  const int stateWidth = m.R.Width() / std::max<int>(m.ImageCount, 1);
  const int pictureHeight = m.R.Height() / (m.MaskType + 1);
  // Rows of a corner band; each run of key pixels in its left and right corner is one hole.
  auto scan = [&](int firstRow, int rows, int baseY) {
    for (int row = 0; row < rows; ++row) {
      const int my = firstRow + row;
      if (my < 0 || my >= m.R.Height()) continue;
      for (const auto& [fromCol, toCol, xBase] :
           {std::tuple{0, int(m.WL) - 1, 0}, std::tuple{stateWidth - m.WR, stateWidth - 1, width - stateWidth}}) {
        int start = -1;
        for (int col = fromCol; col <= toCol + 1; ++col) {
          const int px = m.R.Left + col, py = m.R.Top + my;
          const bool key = col <= toCol && px >= 0 && px < picture->Width() && py >= 0 && py < picture->Height() &&
                           picture->GetPixel(px, py) == kKey;
          if (key && start < 0) start = col;
          if (!key && start >= 0) {
            holes.push_back({xBase + start, baseY + row, xBase + col, baseY + row + 1});
            start = -1;
          }
        }
      }
    }
  };
  scan(0, m.WT, 0);
  scan(pictureHeight - m.WB, m.WB, height - m.WB);
  return holes;
}
