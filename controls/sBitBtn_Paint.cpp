// Painting the skinned button: its cached face composed from the skin section over the parent's
// background, with the caption, the glyph and the border mask, copied to the window.
#include "controls/sBitBtn.h"
#include "controls/sTextWriter.h"
#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"
#include "skin/render/sPixelTools.h"

// ---- Painting -----------------------------------------------------------------------------------

void TsBitBtn::Paint() {
  if (!Skinned()) {
    TBitBtn::Paint();
    return;
  }
  HDC dc = Canvas()->Handle();
  if (!dc) return;
  const int saved = SaveDC(dc);
  FSkinData.SetDeferred(FSkinData.IsDeferred());
  if (!FSkinData.Deferred) {
    if (!FFadeTimer) {
      if (!FSkinData.CacheInvalid && !FSkinData.PartlyHidden)
        FSkinData.CacheInvalid = AskSkinQuery(Parent(), AC_PARTLYHIDDENQUERY);
      const TRect parentClient = Parent() ? Parent()->ClientRect() : TRect{};
      FSkinData.PartlyHidden = !Parent() || BoundsRect().Intersect(parentClient.Offset(-parentClient.Left, -parentClient.Top)) !=
                                                BoundsRect();
      if (!FSkinData.CacheInvalid && Spacing() != FOldSpacing) FSkinData.CacheInvalid = true;
      FOldSpacing = Spacing();
    }
    if (FSkinData.CacheInvalid && (!FSkinData.RebuildSuspended || StateIndex() != 0)) RebuildCache();
    if (FRegionChanged) {
      RepairAllCorners(&FSkinData, StateIndex());
      SetWindowRgn(Handle(), &FRegion, true);
      FRegionChanged = false;
    }
    if (const TDib* face = FSkinData.Cache(); face && !face->Empty()) {
      TDC source(const_cast<TDib*>(face));
      BitBlt(dc, 0, 0, Width(), Height(), &source, 0, 0, SRCCOPY);
    }
  }
  RestoreDC(dc, saved);
}

void TsBitBtn::RebuildCache() {
  TsBgSource source;
  FSkinData.GetParentBackground(source);
  FSkinData.SizeCache();
  TDib* cache = FSkinData.Cache();
  if (!cache || cache->Empty()) return;
  ParentFillColor = kKey;
  if (!source.Valid && Parent()) {
    GlyphFillColor = ParentFillColor = TColor(ColorToRGB(Parent()->Color()));
  } else if (source.Valid && !FSkinData.DependsOnParent() && COLORREF(ParentFillColor) == kKey && Parent()) {
    try {
      Parent()->Perform(SM_KARVOCMD, MakeSkinCommand(AC_BGCOLORQUERY), 0);
    } catch (...) {
    }
  }
  const int state = StateIndex();
  const TPoint position{Left(), Top()};
  PaintLinkBackground(&FSkinData, source, state, cache, position, {0, 0, Width(), Height()});
  if (FRegionChanged) FRegion = TRegion(TRect{0, 0, Width(), Height()});
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const bool hasBorder = manager && manager->IsValidMaskIndex(FSkinData.BorderMaskIndex);
  // The face's region is only cut while it is being rebuilt for a new shape.
  TRegion scratch(TRect{0, 0, Width(), Height()});
  auto border = [&] {
    if (hasBorder)
      PaintBorderOverFace(cache, FRegionChanged ? &FRegion : &scratch, true, state,
                          manager->Masks()[size_t(FSkinData.BorderMaskIndex)]);
  };
  if (FDrawOverBorder) border();
  TDC dc(cache);
  FCacheCanvas.SetHandle(&dc);
  if (FShowCaption) DrawCaption(&FCacheCanvas);
  DrawGlyphOnFace();
  FCacheCanvas.SetHandle(nullptr);
  if (!FDrawOverBorder) border();
  if (!Enabled()) {
    TsBgSource behind;
    FSkinData.GetParentBackground(behind);
    PaintDisabled(cache, FDisabledKind, Parent(), position, behind);
  }
  if (OnPaint) {
    const std::weak_ptr<bool> alive = FAlive;
    OnPaint(this, cache);
    if (alive.expired() || !*alive.lock()) return;
  }
  GlyphFillColor = ParentFillColor = kKey;
  FSkinData.CacheInvalid = false;
}

void TsBitBtn::DrawCaption(TCanvas* canvas) {
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  TAlignment align = FTextAlignment;
  if (UseRightToLeftAlignment() && align != taCenter) align = align == taLeftJustify ? taRightJustify : taLeftJustify;
  unsigned format = (align == taLeftJustify ? DT_LEFT : align == taRightJustify ? DT_RIGHT : DT_CENTER) | DT_VCENTER |
                    DT_EXPANDTABS | DT_WORDBREAK;
  if (UseRightToLeftReading()) format |= DT_RTLREADING;
  TRect r = CaptionRect();
  const bool hot = FSkinData.StateFromInput() == 1 || FDefaultActive || FDown;
  WriteSkinText(canvas, Caption(), true, hot, &FSkinData, format, r);
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const bool sectionFocus = manager && manager->IsValidSectionIndex(FSkinData.SectionIndex) &&
                            manager->Sections()[size_t(FSkinData.SectionIndex)].ShowFocus;
  if (Enabled() && Focused() && !Caption().empty() && sectionFocus && FShowFocus && FShowCaption) {
    InflateRect(&r, FocusMargin, FocusMargin);
    DrawDottedFocusRect(canvas, r);
  }
}

void TsBitBtn::DrawGlyphOnFace() {
  TDib* cache = FSkinData.Cache();
  const TRect r = GlyphRect();
  if (r.IsEmpty()) return;
  const bool hot = FSkinData.StateFromInput() == 1;
  const TBitmap* glyph = Glyph();
  if (glyph && glyph->Width() > 0 && !FGlyphFromImages) {
    DrawGlyphBitmap(glyph->Dib(), cache, r, FBlend, hot, FDisabledGlyphKind, FGrayed, Enabled(), NumGlyphs());
    return;
  }
  const TDib* image = FImages ? FImages->Image(FImageIndex) : nullptr;
  if (!image) return;
  const TColor key = FImages->BkColor == clNone ? kKey : TColor(ColorToRGB(FImages->BkColor));
  TDib picture = *image;
  bool grey = false, opaque = true;
  double factor = 0;
  if (Enabled()) {
    grey = FGrayed && !hot;
    opaque = hot || FBlend < 1;
    factor = FBlend / 100.0;
  } else {
    grey = (FDisabledGlyphKind & dgGrayed) != 0;
    opaque = (FDisabledGlyphKind & dgBlended) == 0;
    factor = 0.5;
  }
  if (grey) GrayscaleKeyed(&picture, key);
  if (opaque) CopyKeyedBitmap(cache, picture, r.Left, key, r.Top);
  else BlendKeyed(cache, r.Left, r.Top, key, factor, picture.BoundsRect(), &picture);
}
