// Painting the skinned bar: its tracks, arrows and thumb from the skin's scroll-bar sections,
// composed off screen over the parent's background.
#include <algorithm>

#include "frame/sScrollBar.h"
#include "platform/graphics/DC.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"

namespace {

// The size of one state image of a mask.
TSize MaskStateSize(const TsMaskData& mask) {
  if (mask.Bmp) return {mask.Bmp->Width() / 3, mask.Bmp->Height() / 2};
  if (mask.ImageCount <= 0 || mask.MaskType < 0) return {0, 0};
  return {mask.R.Width() / mask.ImageCount, mask.R.Height() / (mask.MaskType + 1)};
}

// Where a part's look comes from in the active skin.
struct TPartLook {
  const char* Section;
  int SectionIndex, Mask, Pattern, HotPattern, Glyph;
};

TPartLook TrackLook(const TsPresetIndexes& p, bool horizontal, bool before) {
  if (horizontal)
    return before ? TPartLook{"SCROLLBAR1H", p.ScrollBar1H, p.ScrollBar1HMask, p.ScrollBar1HPattern, p.ScrollBar1HHotPattern, -1}
                  : TPartLook{"SCROLLBAR2H", p.ScrollBar2H, p.ScrollBar2HMask, p.ScrollBar2HPattern, p.ScrollBar2HHotPattern, -1};
  return before ? TPartLook{"SCROLLBAR1V", p.ScrollBar1V, p.ScrollBar1VMask, p.ScrollBar1VPattern, p.ScrollBar1VHotPattern, -1}
                : TPartLook{"SCROLLBAR2V", p.ScrollBar2V, p.ScrollBar2VMask, p.ScrollBar2VPattern, p.ScrollBar2VHotPattern, -1};
}

TPartLook ArrowLook(const TsPresetIndexes& p, bool horizontal, bool first) {
  if (horizontal)
    return first ? TPartLook{"SCROLLBTNLEFT", p.ScrollBtnLeft, p.ScrollBtnLeftMask, p.ScrollBtnLeftPattern,
                             p.ScrollBtnLeftHotPattern, p.ScrollBtnLeftGlyph}
                 : TPartLook{"SCROLLBTNRIGHT", p.ScrollBtnRight, p.ScrollBtnRightMask, p.ScrollBtnRightPattern,
                             p.ScrollBtnRightHotPattern, p.ScrollBtnRightGlyph};
  return first ? TPartLook{"SCROLLBTNTOP", p.ScrollBtnTop, p.ScrollBtnTopMask, p.ScrollBtnTopPattern,
                           p.ScrollBtnTopHotPattern, p.ScrollBtnTopGlyph}
               : TPartLook{"SCROLLBTNBOTTOM", p.ScrollBtnBottom, p.ScrollBtnBottomMask, p.ScrollBtnBottomPattern,
                           p.ScrollBtnBottomHotPattern, p.ScrollBtnBottomGlyph};
}

TPartLook SliderLook(const TsPresetIndexes& p, bool horizontal) {
  return horizontal ? TPartLook{"SCROLLSLIDERH", p.ScrollSliderH, p.ScrollSliderHMask, p.ScrollSliderHPattern,
                                p.ScrollSliderHHotPattern, p.ScrollSliderHGlyph}
                    : TPartLook{"SCROLLSLIDERV", p.ScrollSliderV, p.ScrollSliderVMask, p.ScrollSliderVPattern,
                                p.ScrollSliderVHotPattern, p.ScrollSliderVGlyph};
}

void PaintPart(TsSkinManager* manager, const TPartLook& look, TDib* bitmap, TPoint point, const TRect& r, int state,
               TsBgSource source) {
  if (r.IsEmpty() || !manager->IsValidSectionIndex(look.SectionIndex)) return;
  PaintSkinSectionFixed(look.SectionIndex, look.Mask, look.Pattern, manager, bitmap, point, r, state, true, source,
                        look.Section, look.HotPattern);
}

// Draws a glyph mask centred in `r` when it fits.
void DrawCentredGlyph(TsSkinManager* manager, int glyph, TDib* bitmap, const TRect& r, int state, int shift) {
  if (!manager->IsValidMaskIndex(glyph)) return;
  const TsMaskData& mask = manager->Masks()[size_t(glyph)];
  const TSize size = MaskStateSize(mask);
  if (size.cx <= 0 || size.cy <= 0 || size.cx > r.Width() || size.cy > r.Height()) return;
  DrawMaskImage(bitmap, {r.Left + (r.Width() - size.cx) / 2 + shift, r.Top + (r.Height() - size.cy) / 2 + shift},
                state, mask, 1);
}

}  // namespace

// ---- Painting ---------------------------------------------------------------------------------------

void TsScrollBar::Paint(HDC dc) {
  if (FPaintSuppressed || !HandleAllocated() || InState(csDestroying | csLoading | csReading) ||
      (ControlState & csCreating) || FSkinData.IsDeferred())
    return;
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager) return;
  FRepaintPending = false;
  FSkinData.SizeCache();
  TDib* cache = FSkinData.Cache();
  const int w = Width(), h = Height();
  if (!cache || w <= 0 || h <= 0) return;
  std::unique_ptr<TDib> temporary;
  TDib* target = cache;
  if (!Enabled()) {
    temporary = std::make_unique<TDib>(w, h);
    target = temporary.get();
  }

  // The background: from the control the bar scrolls, else from the parent.
  TsBgSource source;
  bool ownerGaveBackground = true;
  if (FOwnerControl && FOwnerControl != Parent()) {
    PublishedBgSource().Valid = false;
    SendSkinCommand(FOwnerControl, AC_GETCACHE);
    source = PublishedBgSource();
    if (!dynamic_cast<TCustomForm*>(FOwnerControl)) {
      source.OffsetX -= FOwnerControl->Left();
      source.OffsetY -= FOwnerControl->Top();
    }
    ownerGaveBackground = source.Valid && source.Image;
  } else {
    FSkinData.GetParentBackground(source);
    if (FOwnerControl) ownerGaveBackground = source.Valid && source.Image;
  }
  ParentFillColor = GlyphFillColor = TColor(kSkinKeyColor);
  if (!source.Valid && Parent()) ParentFillColor = GlyphFillColor = TColor(ColorToRGB(Parent()->Color()));

  const bool horizontal = FKind == sbHorizontal;
  const TsPresetIndexes& preset = manager->Indexes();
  const int c = ThumbCentre();
  const TRect before = horizontal ? TRect{0, 0, c, h} : TRect{0, 0, w, c};
  const TRect after = horizontal ? TRect{c, 0, w, h} : TRect{0, c, w, h};
  for (int part : {kTrackBefore, kTrackAfter}) {
    const TRect& r = part == kTrackBefore ? before : after;
    if (r.Width() <= 0 || r.Height() <= 0) continue;
    const int state = !Enabled() ? 0 : FStates[part] ? FStates[part] : CurrentState();
    PaintPart(manager, TrackLook(preset, horizontal, part == kTrackBefore), cache, {Left() + r.Left, Top() + r.Top}, r,
              state, source);
  }
  if (target != cache) {
    TDC from(cache), to(target);
    BitBlt(&to, 0, 0, w, h, &from, 0, 0, SRCCOPY);
  }

  PaintArrow(target, kFirstArrow, source);
  PaintArrow(target, kSecondArrow, source);
  const bool ownerDisabled = FOwnerControl && !FOwnerControl->Enabled();
  if ((Enabled() || ownerDisabled) && Length() - 2 * ArrowLength() >= ThumbLength()) PaintThumb(target);

  if (!Enabled()) {
    if (!FOwnerControl || ownerGaveBackground) {
      PaintDisabled(target, FDisabledKind, Parent(), {Left(), Top()}, source);
    } else {
      const int bar = preset.ScrollBar1H;
      const TColor color = manager->IsValidSectionIndex(bar) ? manager->Sections()[size_t(bar)].Color : TColor(0);
      PaintShadow(target, {0, 0, w + 1, h + 1}, 60, 0, 0, color);
    }
  }
  ParentFillColor = GlyphFillColor = TColor(kSkinKeyColor);
  TDC memory(target);
  BitBlt(dc, 0, 0, w, h, &memory, 0, 0, SRCCOPY);
}

void TsScrollBar::PaintArrow(TDib* target, int part, const TsBgSource& source) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const bool horizontal = FKind == sbHorizontal, first = part == kFirstArrow;
  const TPartLook look = ArrowLook(manager->Indexes(), horizontal, first);
  if (!manager->IsValidSectionIndex(look.SectionIndex)) return;
  const TRect arrow = first ? FirstArrowRect() : SecondArrowRect();
  // A section that asks for it has its button as long as its border's images.
  TRect area = arrow;
  if (manager->Sections()[size_t(look.SectionIndex)].ReservedBoolean && manager->IsValidMaskIndex(look.Mask)) {
    const TSize size = MaskStateSize(manager->Masks()[size_t(look.Mask)]);
    const int length = std::max(ArrowLength(), horizontal ? size.cx : size.cy);
    if (horizontal) {
      if (first) area.Right = length;
      else area.Left = Width() - length;
    } else {
      if (first) area.Bottom = length;
      else area.Top = Height() - length;
    }
  }
  const int state = Enabled() ? FStates[part] : 0;
  PaintPart(manager, look, target, {Left() + area.Left, Top() + area.Top}, area, state, source);
  DrawCentredGlyph(manager, look.Glyph, target, arrow, state, 0);
}

void TsScrollBar::PaintThumb(TDib* target) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const TPartLook look = SliderLook(manager->Indexes(), FKind == sbHorizontal);
  const TRect r = ThumbRect();
  if (r.IsEmpty()) return;
  TDib thumb(r.Width(), r.Height());
  {
    TDC from(FSkinData.Cache()), to(&thumb);
    BitBlt(&to, 0, 0, r.Width(), r.Height(), &from, r.Left, r.Top, SRCCOPY);
  }
  TsBgSource own;
  own.Image = FSkinData.Cache();
  own.Valid = true;
  const int state = FStates[kThumb];
  PaintPart(manager, look, &thumb, {r.Left, r.Top}, {0, 0, r.Width(), r.Height()}, state, own);
  {
    TDC from(&thumb), to(target);
    BitBlt(&to, r.Left, r.Top, r.Width(), r.Height(), &from, 0, 0, SRCCOPY);
  }
  DrawCentredGlyph(manager, look.Glyph, target, r, state, state == 2 ? 1 : 0);
}
