#include "skin/render/sBackground.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "skin/data/sSkinManager.h"
#include "skin/render/sGradient.h"
#include "skin/render/sPixelTools.h"

namespace {

constexpr TColor kKey = TColor(kSkinKeyColor);
constexpr TRect kCovered{-1, -1, -1, -1};

bool Is24(const TDib* bitmap) { return bitmap && bitmap->BitsPerPixel() == 24 && !bitmap->Empty(); }

// Copies `tile` of `src` over `area`, the tiles lying at anchor + multiples of the tile size;
// tiles are cut at the area's edges.
void TileArea(HDC dc, const TRect& area, TPoint anchor, HDC src, const TRect& tile) {
  const int w = tile.Width(), h = tile.Height();
  if (w <= 0 || h <= 0 || area.IsEmpty()) return;
  for (int y = anchor.Y; y < area.Bottom; y += h) {
    if (y + h <= area.Top) continue;
    for (int x = anchor.X; x < area.Right; x += w) {
      if (x + w <= area.Left) continue;
      const TRect cell = Bounds(x, y, w, h).Intersect(area);
      if (cell.IsEmpty()) continue;
      BitBlt(dc, cell.Left, cell.Top, cell.Width(), cell.Height(), src, tile.Left + cell.Left - x,
             tile.Top + cell.Top - y, SRCCOPY);
    }
  }
}

// The picture a mask lies in: its own, or the master bitmap of its manager.
TDib* MaskPicture(const TsMaskData& mask) {
  if (mask.Bmp && !mask.Bmp->Empty()) return mask.Bmp.get();
  return mask.Manager ? mask.Manager->MasterBitmap() : nullptr;
}

bool SourceUsable(const TsBgSource& source) { return source.Valid && Is24(source.Image); }

// The parent's picture behind `r`: ParentFillColor when it is set and allowed, else a copy
// from the background source at its offsets plus `point`.
void PutParentPicture(TDib* bitmap, const TRect& r, const TsBgSource& source, TPoint point, bool useParentFill) {
  TDC dc(bitmap);
  if (useParentFill && ParentFillColor != kKey) {
    FillRectColor(&dc, r, ParentFillColor);
    return;
  }
  if (!source.Image) return;
  TDC src(source.Image);
  BitBlt(&dc, r.Left, r.Top, r.Width(), r.Height(), &src, source.OffsetX + point.X, source.OffsetY + point.Y, SRCCOPY);
}

// What the layers of one section state consist of.
struct TLayerSet {
  TsSkinManager* Manager = nullptr;
  TColor Color = 0;
  int ImagePercent = 0;
  int GradientPercent = 0;
  int Transparency = 0;
  int MaskIndex = -1;
  int PatternIndex = -1;
  const std::string* GradientData = nullptr;
  const TsGradArray* Pieces = nullptr;
  bool FixedRules = false;  // the fixed-texture variant's weight and colour rules
};

void PaintLayers(TDib* target, const TRect& r, const TLayerSet& set, TsBgSource& source) {
  TDC dc(target);
  bool textured = false;
  if (set.ImagePercent > 0) {
    TRect uncovered = r;
    if (set.PatternIndex >= 0) {
      uncovered = PaintTexture(&dc, r, set.Manager->Patterns()[size_t(set.PatternIndex)].Img.get(), 0, nullptr);
      textured = true;
    } else if (set.MaskIndex >= 0) {
      const TsMaskData& mask = set.Manager->Masks()[size_t(set.MaskIndex)];
      if (mask.MaskType != 0) {
        PaintMaskedTexture(target, r, source, mask.StretchMode, mask);
        uncovered = kCovered;
      } else {
        uncovered = PaintTexture(&dc, r, mask.Bmp.get(), mask.StretchMode, &mask);
      }
      textured = true;
    }
    if (uncovered != kCovered) FillRectColor(&dc, uncovered, set.Color);
  }
  if (set.GradientPercent > 0) {
    const bool noData = !set.GradientData || set.GradientData->empty() || !set.Pieces;
    if (textured) {
      if (!r.IsEmpty()) {
        auto layer = CreateBitmap24(r.Width(), r.Height());
        if (noData) layer->Fill(ColorToRGB(set.Color));
        else PaintGradient(layer.get(), layer->BoundsRect(), *set.Pieces);
        const int weight = set.ImagePercent * 255 / 100;
        BlendImage(target, layer.get(), set.FixedRules ? weight : std::clamp(weight, 0, 255), {r.Left, r.Top},
                   layer->BoundsRect());
      }
    } else if (noData) {
      FillRectColor(&dc, r, set.Color);
    } else {
      PaintGradient(target, r, *set.Pieces);
    }
  }
  const int sum = set.ImagePercent + set.GradientPercent;
  if (sum >= 1 && sum <= 99) {
    MixColor(target, r, sum, set.Color);
  } else if (set.FixedRules ? sum != 100 : sum == 0) {
    const bool parentFill = set.Transparency != 0 && ParentFillColor != kKey;
    FillRectColor(&dc, r, parentFill ? ParentFillColor : set.Color);
  }
}

// Layers straight into the bitmap, or blended over what lies behind it.
void ApplyTransparency(TDib* bitmap, const TRect& r, TPoint point, const TLayerSet& set, TsBgSource& source) {
  const int t = set.Transparency;
  if (!source.Valid || t <= 0) {
    PaintLayers(bitmap, r, set, source);
    return;
  }
  const bool useParentFill = !set.FixedRules;
  const bool copyParent = bitmap != source.Image && (useParentFill || source.Image);
  if (t >= 100) {
    if (copyParent) PutParentPicture(bitmap, r, source, point, useParentFill);
    return;
  }
  if (r.IsEmpty()) return;
  auto layer = CreateBitmap24(r.Width(), r.Height());
  PaintLayers(layer.get(), layer->BoundsRect(), set, source);
  if (copyParent) PutParentPicture(bitmap, r, source, point, useParentFill);
  BlendImage(bitmap, layer.get(), std::clamp(t * 255 / 100, 0, 255), {r.Left, r.Top}, layer->BoundsRect());
}

// State 0 only: a see-through texture (transparency mask, stretch mode 10) over everything.
void PaintOverlay(TsSkinManager* manager, TDib* bitmap, const TRect& r, TsBgSource& source, int textureIndex,
                  int hotTextureIndex) {
  auto overlay = [&](int index) -> const TsMaskData* {
    if (!manager->IsValidMaskIndex(index)) return nullptr;
    const TsMaskData& mask = manager->Masks()[size_t(index)];
    return mask.MaskType > 0 && mask.StretchMode == 10 ? &mask : nullptr;
  };
  const TsMaskData* mask = overlay(textureIndex);
  if (!mask) mask = overlay(hotTextureIndex);
  if (mask) PaintMaskedTexture(bitmap, r, source, 10, *mask);
}

TLayerSet SetForState(TsSkinManager* manager, const TsGeneralData& section, int state) {
  TLayerSet set;
  set.Manager = manager;
  const bool hot = state != 0;
  set.Color = hot ? section.HotColor : section.Color;
  set.ImagePercent = hot ? section.HotImagePercent : section.ImagePercent;
  set.GradientPercent = hot ? section.HotGradientPercent : section.GradientPercent;
  set.Transparency = hot ? section.HotTransparency : section.Transparency;
  if (set.GradientPercent > 0) {
    set.GradientData = hot ? &section.HotGradientData : &section.GradientData;
    set.Pieces = hot ? &section.HotGradientArray : &section.GradientArray;
  }
  return set;
}

}  // namespace

// ---- Textures -------------------------------------------------------------------------------

void TileImage(HDC dc, const TRect& r, const TDib* picture) {
  if (!dc || !picture || picture->Empty()) return;
  TDC src(const_cast<TDib*>(picture));
  TileArea(dc, r, {r.Left, r.Top}, &src, picture->BoundsRect());
}

TRect PaintTexture(HDC dc, TRect r, const TDib* picture, int stretchMode, const TsMaskData* mask) {
  if (picture && !picture->Empty()) {
    TileImage(dc, r, picture);
    return kCovered;
  }
  TDib* master = mask && mask->Manager ? mask->Manager->MasterBitmap() : nullptr;
  const TRect tile = mask ? mask->R : TRect{};
  const int w = tile.Width(), h = tile.Height();
  if (!dc || !master || w <= 0 || h <= 0) return r;
  auto rest = [](const TRect& u) { return u.IsEmpty() ? kCovered : u; };
  TDC src(master);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  TRect uncovered = kCovered;
  switch (stretchMode) {
    case 0:
      TileArea(dc, r, {r.Left, r.Top}, &src, tile);
      break;
    case 1:
      StretchBlt(dc, r.Left, r.Top, r.Width(), r.Height(), &src, tile.Left, tile.Top, w, h, SRCCOPY);
      break;
    case 2:
      TileArea(dc, {r.Left, r.Top, r.Right, r.Top + h}, {r.Left, r.Top}, &src, tile);
      uncovered = rest({r.Left, r.Top + h, r.Right, r.Bottom});
      break;
    case 3:
      TileArea(dc, {r.Left, r.Top, r.Left + w, r.Bottom}, {r.Left, r.Top}, &src, tile);
      uncovered = rest({r.Left + w, r.Top, r.Right, r.Bottom});
      break;
    case 4:
      StretchBlt(dc, r.Left, r.Top, r.Width(), h, &src, tile.Left, tile.Top, w, h, SRCCOPY);
      uncovered = rest({r.Left, r.Top + h, r.Right, r.Bottom});
      break;
    case 5:
      StretchBlt(dc, r.Left, r.Top, w, r.Height(), &src, tile.Left, tile.Top, w, h, SRCCOPY);
      uncovered = rest({r.Left + w, r.Top, r.Right, r.Bottom});
      break;
    case 6:
      TileArea(dc, {r.Left, r.Bottom - h, r.Right, r.Bottom}, {r.Left, r.Bottom - h}, &src, tile);
      uncovered = rest({r.Left, r.Top, r.Right, r.Bottom - h});
      break;
    case 7:
      TileArea(dc, {r.Right - w, r.Top, r.Right, r.Bottom}, {r.Right - w, r.Top}, &src, tile);
      uncovered = rest({r.Left, r.Top, r.Right - w, r.Bottom});
      break;
    case 10: {
      const int rows = r.Height() > 0 ? r.Height() / h : 0;
      TileArea(dc, {r.Left, r.Top, r.Right, r.Top + rows * h}, {r.Left, r.Top}, &src, tile);
      break;
    }
    default:
      uncovered = r;
      break;
  }
  RestoreDC(dc, saved);
  return uncovered;
}

void PaintMaskedTexture(TDib* bitmap, TRect r, TsBgSource& source, int stretchMode, const TsMaskData& mask) {
  if (!mask.Manager || !Is24(bitmap) || !MaskPicture(mask)) return;
  const int w = mask.R.Width() / std::max<int>(mask.ImageCount, 1), h = mask.R.Height() / 2;
  if (w <= 0 || h <= 0 || r.IsEmpty()) return;
  if (stretchMode != 10) {
    for (int y = r.Top; y < r.Bottom; y += h)
      for (int x = r.Left; x < r.Right; x += w) {
        const int cw = std::min(w, r.Right - x), ch = std::min(h, r.Bottom - y);
        CopyMaskedSeeThrough(Bounds(x, y, cw, ch), Bounds(mask.R.Left, mask.R.Top, cw, ch), bitmap, mask, source);
      }
    return;
  }
  const int right = r.Left + r.Width() / w * w, bottom = r.Top + r.Height() / h * h;
  for (int y = r.Top; y < bottom; y += h)
    for (int x = r.Left; x < right; x += w)
      CopyMaskedSeeThrough(Bounds(x, y, w, h), Bounds(mask.R.Left, mask.R.Top, w, h), bitmap, mask, source);
  // What whole tiles leave free shows what lies behind.
  TDC dc(bitmap);
  const TRect strips[2] = {{right, r.Top, r.Right, bottom}, {r.Left, bottom, r.Right, r.Bottom}};
  for (const TRect& strip : strips) {
    if (strip.IsEmpty()) continue;
    if (source.Valid && source.Image) {
      TDC src(source.Image);
      BitBlt(&dc, strip.Left, strip.Top, strip.Width(), strip.Height(), &src, strip.Left + source.OffsetX,
             strip.Top + source.OffsetY, SRCCOPY);
    } else {
      FillRectColor(&dc, strip, GlyphFillColor);
    }
  }
}

void CopyMaskedSeeThrough(const TRect& destinationRect, const TRect& sourceRect, TDib* bitmap, const TsMaskData& mask,
                          TsBgSource& source) {
  TDib* picture = MaskPicture(mask);
  if (!Is24(bitmap) || !Is24(picture)) return;
  const int half = mask.R.Height() / 2;
  int dx = destinationRect.Left, dy = destinationRect.Top, sx = sourceRect.Left, sy = sourceRect.Top;
  int w = std::min(destinationRect.Width(), sourceRect.Width());
  int h = std::min(destinationRect.Height(), sourceRect.Height());
  // Negative coordinates on either side move both starts.
  const int cutLeft = std::max({0, -dx, -sx}), cutTop = std::max({0, -dy, -sy});
  dx += cutLeft;
  sx += cutLeft;
  dy += cutTop;
  sy += cutTop;
  w = std::min({w - cutLeft, bitmap->Width() - dx, picture->Width() - sx});
  h = std::min({h - cutTop, bitmap->Height() - dy, picture->Height() - sy - half});
  if (w <= 0 || h <= 0) return;

  const bool glyphFill = GlyphFillColor != kKey;
  const COLORREF fill = ColorToRGB(GlyphFillColor);
  const uint8_t fillBytes[3] = {GetBValue(fill), GetGValue(fill), GetRValue(fill)};
  const bool behind = SourceUsable(source);
  uint8_t* dRow0 = bitmap->Row0();
  const uint8_t* pRow0 = picture->Row0();
  const int32_t dDist = bitmap->RowDistance(), pDist = picture->RowDistance();
  for (int j = 0; j < h; ++j) {
    uint8_t* d = dRow0 + std::ptrdiff_t(dy + j) * dDist + std::ptrdiff_t(dx) * 3;
    const uint8_t* s = pRow0 + std::ptrdiff_t(sy + j) * pDist + std::ptrdiff_t(sx) * 3;
    const uint8_t* m = s + std::ptrdiff_t(half) * pDist;
    for (int i = 0; i < w; ++i, d += 3, s += 3, m += 3) {
      const bool key = s[0] == 0xFF && s[1] == 0x00 && s[2] == 0xFF;
      if (!key) {
        for (int k = 0; k < 3; ++k) d[k] = uint8_t(std::clamp(((d[k] - s[k]) * m[k] + s[k] * 256) >> 8, 0, 255));
      } else if (behind && !glyphFill) {
        const int bx = dx + i + source.OffsetX, by = dy + j + source.OffsetY;
        if (bx >= 0 && by >= 0 && bx < source.Image->Width() && by < source.Image->Height()) {
          const uint8_t* b = source.Image->ScanLine(by) + std::ptrdiff_t(bx) * 3;
          d[0] = b[0];
          d[1] = b[1];
          d[2] = b[2];
        }
      } else if (glyphFill) {
        d[0] = fillBytes[0];
        d[1] = fillBytes[1];
        d[2] = fillBytes[2];
      }
    }
  }
}

// ---- Section backgrounds --------------------------------------------------------------------

void PaintSectionBackground(int sectionIndex, const std::string& sectionName, TsBgSource& source, TColor color,
                            int hotTextureIndex, int textureIndex, TsSkinManager* manager, TDib* bitmap, TPoint point,
                            TRect r, int state) {
  if (!manager) manager = DefaultManager();
  if (!manager || !manager->IsValidSectionIndex(sectionIndex) || !Is24(bitmap)) return;
  const TsGeneralData& section = manager->Sections()[size_t(sectionIndex)];
  const bool hot = state != 0;
  TLayerSet set = SetForState(manager, section, state);
  if (color != kKey) set.Color = color;
  if (set.ImagePercent > 0) {
    const char* property = hot ? "HOTPATTERN" : "PATTERN";
    int index = hot ? hotTextureIndex : textureIndex;
    if (index == -1) index = manager->FindMask(sectionIndex, sectionName, property);
    else if (manager->IsValidMaskIndex(index) && manager->Masks()[size_t(index)].MaskType != 0) index = -1;
    if (manager->IsValidMaskIndex(index)) {
      set.MaskIndex = index;
    } else {
      const int pattern = manager->FindPattern(sectionIndex, sectionName, property);
      if (pattern >= 0 && size_t(pattern) < manager->Patterns().size()) set.PatternIndex = pattern;
    }
  }
  ApplyTransparency(bitmap, r, point, set, source);
  if (state == 0) PaintOverlay(manager, bitmap, r, source, textureIndex, hotTextureIndex);
}

void PaintLinkBackground(TsCommonData* link, TsBgSource& source, int state, TDib* bitmap, TPoint point, TRect r) {
  if (!link) return;
  TColor color = kKey;
  if (link->CustomColor()) {
    TControl* control = link->Control();
    if (!control && link->Host()) control = link->Host()->HostControl();
    if (control) color = TColor(ColorToRGB(control->Color()));
  }
  PaintSectionBackground(link->SectionIndex, link->SkinSection(), source, color, link->HotPatternIndex,
                         link->PatternIndex, link->GetSkinManager(), bitmap, point, r, state);
}

void PaintSectionBackgroundFixed(int sectionIndex, int textureIndex, int hotTextureIndex, TsSkinManager* manager,
                                 TDib* bitmap, TPoint point, TRect r, int state, TsBgSource& source,
                                 [[maybe_unused]] const std::string& sectionName) {
  if (!manager) manager = DefaultManager();
  if (!manager || !manager->IsValidSectionIndex(sectionIndex) || !Is24(bitmap)) return;
  TLayerSet set = SetForState(manager, manager->Sections()[size_t(sectionIndex)], state);
  set.FixedRules = true;
  if (set.ImagePercent > 0) {
    const int index = state != 0 ? hotTextureIndex : textureIndex;
    if (manager->IsValidMaskIndex(index)) set.MaskIndex = index;
  }
  ApplyTransparency(bitmap, r, point, set, source);
  if (state == 0) PaintOverlay(manager, bitmap, r, source, textureIndex, hotTextureIndex);
}

// ---- Disabled look and shadow ---------------------------------------------------------------

void PaintDisabled(TDib* bitmap, uint32_t kind, TControl* parentControl, TPoint point, TsBgSource& source) {
  if (!Is24(bitmap)) return;
  if (kind & dkGrayed) Grayscale(bitmap);
  if (!(kind & dkBlended)) return;
  if (SourceUsable(source)) {
    const TRect from = bitmap->BoundsRect().Offset(source.OffsetX + point.X, source.OffsetY + point.Y);
    BlendKeyed(bitmap, 0, 0, TColor(0xFFFFFFFFu), 0.4, from, source.Image);
  } else if (ParentFillColor != kKey) {
    MixColor(bitmap, bitmap->BoundsRect(), 50, ParentFillColor);
  } else if (parentControl) {
    MixColor(bitmap, bitmap->BoundsRect(), 50, TColor(ColorToRGB(parentControl->Color())));
  }
}

void PaintShadow(TDib* bitmap, TRect r, int transparency, int radius, int blur, TColor color) {
  if (!Is24(bitmap)) return;
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  TDC target(bitmap);
  auto copy = CreateBitmap24(w, h);
  TDC copyDc(copy.get());
  BitBlt(&copyDc, 0, 0, w, h, &target, r.Left, r.Top, SRCCOPY);

  auto mask = CreateBitmap24(w, h);
  mask->Fill(0xFFFFFF);
  const int k = std::max(0, std::min({w / 2, h / 2, blur}));
  const int corner = std::min({w / 2, h / 2, radius});
  const int f = std::clamp(transparency * 255 / 100, 0, 255);
  TDC maskDc(mask.get());
  SelectPen(&maskDc, CreatePen(PS_NULL, 1, 0));
  // Rings from the outside in, each darker than the one before, down to level f inside.
  for (int u = 0; u <= k; ++u) {
    const int level = u == 0 ? 255 : f + int(std::nearbyint(double(255 - f) / (k + 1) * (k - u + 1)));
    SelectBrush(&maskDc, CreateSolidBrush(RGB(level, level, level)));
    RoundRect(&maskDc, u, u, w - u, h - u, corner, corner);
  }
  SelectBrush(&maskDc, CreateSolidBrush(RGB(f, f, f)));
  RoundRect(&maskDc, k, k, w - k, h - k, corner, corner);

  MixMasked(copy.get(), mask.get(), color);
  BitBlt(&target, r.Left, r.Top, w, h, &copyDc, 0, 0, SRCCOPY);
}

// ---- Windowless children --------------------------------------------------------------------

namespace {

// Clears the published background source when child painting ends, however it ends.
struct TPublishedSourceReset {
  ~TPublishedSourceReset() { PublishedBgSource().Valid = false; }
};

}  // namespace

void PaintGraphicChildren(HDC dc, TWinControl* container) {
  if (!dc || !container) return;
  if (!(container->Visible() || container->InState(csDesigning)) || container->ControlCount() == 0) return;
  TRect clip;
  GetClipBox(dc, &clip);
  if (clip.IsEmpty()) {
    container->Perform(SM_KARVOCMD, MakeSkinCommand(AC_MARKPARTLYHIDDEN), 0);
    return;
  }
  TPublishedSourceReset reset;
  PublishedBgSource().Valid = false;
  container->Perform(SM_KARVOCMD, MakeSkinCommand(AC_GETCACHE), 0);
  const TsBgSource cache = PublishedBgSource();
  if (!cache.Valid || !cache.Image) return;

  std::vector<TControl*> children;
  for (int i = 0; i < container->ControlCount(); ++i)
    if (IsPaintableGraphicChild(container->Controls(i), dc)) children.push_back(container->Controls(i));
  if (children.empty()) return;

  // Every child paints over its own background in an off-screen picture first, so the
  // screen gets each child in one copy.
  TDib picture(container->Width(), container->Height());
  TDC memory(&picture);
  TDC cacheDc(cache.Image);
  for (TControl* child : children) {
    const TRect b = child->BoundsRect();
    if (child->ControlStyle & csOpaque) FillRectColor(&memory, b, child->Color());
    else BitBlt(&memory, b.Left, b.Top, b.Width(), b.Height(), &cacheDc, b.Left + cache.OffsetX, b.Top + cache.OffsetY,
                SRCCOPY);
  }
  for (TControl* child : children) {
    const int saved = SaveDC(&memory);
    OffsetViewportOrgEx(&memory, child->Left(), child->Top(), nullptr);
    IntersectClipRect(&memory, 0, 0, child->Width(), child->Height());
    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&memory), 0);
    RestoreDC(&memory, saved);
  }
  for (TControl* child : children) {
    const TRect b = child->BoundsRect();
    if (picture.BoundsRect().Contains(b.Left, b.Top) && picture.GetPixel(b.Left, b.Top) == kSkinKeyColor) continue;
    BitBlt(dc, b.Left, b.Top, b.Width(), b.Height(), &memory, b.Left, b.Top, SRCCOPY);
  }
}

bool IsPaintableGraphicChild(TControl* child, HDC dc) {
  if (!child || !dc) return false;
  if (!(child->Visible() || child->InState(csDesigning))) return false;
  if (child->IsWindowed() || (child->ControlStyle & csNoDesignVisible) || child->InState(csDestroying)) return false;
  if (child->Width() <= 0 || child->Height() <= 0) return false;
  const TRect bounds = child->BoundsRect();
  return RectVisible(dc, &bounds);
}
