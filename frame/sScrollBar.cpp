#include "frame/sScrollBar.h"

#include <cmath>

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/PropertyRanges.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessage.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"

namespace {

constexpr int kControlKind = 142;
constexpr int kMinThumb = 14;
constexpr uintptr_t kRepeatTimer = 1, kFollowTimer = 2;
// Posted to itself when the window's form no longer fits the skin.
constexpr UINT kRecreateMessage = WM_USER + 0x5B;

// To the nearest integer, halves to even.
int RoundEven(double v) { return int(std::nearbyint(v)); }

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

std::string ScrollRangeMessage(int max, const std::string& ownerName, bool hasOwner) {
  return "Scrollbar property out of range\r\nMax = " + std::to_string(max) +
         (hasOwner ? "(Owner=" + ownerName + ")" : "(" + ownerName + ")");
}

TsScrollBar::TsScrollBar(TComponent* owner) : TWinControl(owner), FSkinData(this, true), FDisabledKind(dkBlended) {
  FSkinData.ControlKind = kControlKind;
  ControlStyle |= csOpaque;
  SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
  FSkinData.AfterLoad();
}

TsScrollBar::~TsScrollBar() {
  *FAlive = false;
  StopTimers();
  if (FDragPart >= 0 && Application) Application->ShowHint = FSavedShowHint;
}

void TsScrollBar::Loaded() {
  TWinControl::Loaded();
  FSkinData.AfterLoad();
  CheckWindowForm();
}

bool TsScrollBar::Skinned() const {
  if (InState(csDestroying)) return false;
  TsSkinManager* manager = FSkinData.GetSkinManager();
  return manager && !manager->InState(csDestroying) && manager->Active();
}

// ---- Window forms ---------------------------------------------------------------------------------

void TsScrollBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  FNativeWindow = !Skinned();
  if (!FNativeWindow) return;
  if (FKind == sbVertical) params.Style |= SBS_VERT | (UseRightToLeftAlignment() ? SBS_LEFTALIGN : SBS_RIGHTALIGN);
  else params.Style |= SBS_HORZ;
}

void TsScrollBar::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  FDefWndProc = FNativeWindow ? ScrollBarControlProc : DefWindowProc;
  TWinControl::CreateWnd();
  if (FNativeWindow) UpdateNative();
}

void TsScrollBar::CheckWindowForm() {
  if (HandleAllocated() && !InState(csDestroying) && FNativeWindow == Skinned()) RecreateWnd();
}

void TsScrollBar::UpdateNative() {
  if (!FNativeWindow || !HandleAllocated()) return;
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = FMin;
  info.nMax = FMax;
  info.nPage = UINT(std::max(FPageSize, 0));
  info.nPos = FKind == sbHorizontal && UseRightToLeftAlignment() ? FMax - FPosition : FPosition;
  SetScrollInfo(Handle(), SB_CTL, &info, true);
}

// ---- Properties -----------------------------------------------------------------------------------

void TsScrollBar::SetDisabledKind(uint32_t value) {
  if (value == FDisabledKind) return;
  FDisabledKind = value;
  FSkinData.InvalidateCache();
}

void TsScrollBar::SetKind(TScrollBarKind value) {
  if (value == FKind) return;
  FKind = value;
  // A bar turned on its side takes the other orientation's proportions.
  if (!InState(csLoading | csReading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
  SetBounds(Left(), Top(), Width(), Height());
}

void TsScrollBar::SetPageSize(int value) {
  if (value == FPageSize) return;
  FPageSize = value;
  if (FNativeWindow) UpdateNative();
  FRepaintPending = true;
  RepaintIfPending();
}

void TsScrollBar::SetOwnerControl(TWinControl* control, std::function<void(int)> changed) {
  FOwnerControl = control;
  FOwnerChanged = std::move(changed);
}

void TsScrollBar::ShowRangeError(int max) {
  const std::string text = FOwnerControl ? ScrollRangeMessage(max, FOwnerControl->Name(), true)
                                         : ScrollRangeMessage(max, Name(), false);
  // Shown as every message of the skin library is: in the skinned message dialog while the
  // dialogs are registered.
  ShowSkinMessage(text);
}

void TsScrollBar::SetParams(int position, int min, int max) {
  if (!Skinned()) {
    if (max < min) throw EInvalidOperation("Scrollbar property out of range");
    position = std::clamp(position, min, max);
    const bool rangeChanged = min != FMin || max != FMax;
    FMin = min;
    FMax = max;
    const int old = FPosition;
    FPosition = position;
    if (rangeChanged || old != position) UpdateNative();
    if (HandleAllocated() && Enabled()) EnableWindow(Handle(), true);
    if (old != position) Changed(old);
    return;
  }
  const std::shared_ptr<bool> alive = FAlive;
  if (min >= max && !InState(csLoading | csReading)) {
    ShowRangeError(max);
    if (!*alive) return;
  }
  // With an inverted range the maximum wins, as it is checked last.
  if (position < min) position = min;
  if (position > max) position = max;
  if (min != FMin || max != FMax) {
    FMin = min;
    FMax = max;
    FRepaintPending = true;
  }
  if (position == FPosition) {
    if (FDragPart >= 0 && !InState(csLoading | csReading) && !(ControlState & csCreating) && Parent()) {
      int p = position;
      DoScroll(TScrollCode(FDragPart), p);
    }
    if (*alive) RepaintIfPending();
    return;
  }
  const int old = FPosition;
  FPosition = position;
  FRepaintPending = true;
  Changed(old);
  if (*alive && !InState(csLoading | csReading) && !(ControlState & csCreating)) RepaintIfPending();
}

void TsScrollBar::Changed(int oldPosition) {
  const std::shared_ptr<bool> alive = FAlive;
  Perform(CM_CHANGED);
  if (!*alive || FHolding) return;
  if (FOwnerChanged) FOwnerChanged(oldPosition);
  if (!*alive) return;
  if (FDragPart >= 0) {
    int p = FPosition;
    DoScroll(TScrollCode(FDragPart), p);
    if (!*alive) return;
  }
  if (OnChange) OnChange(this);
}

void TsScrollBar::DoScroll(TScrollCode code, int& position) {
  if (OnScroll) OnScroll(this, code, position);
}

// ---- Geometry -------------------------------------------------------------------------------------

int TsScrollBar::ArrowLength() const {
  const int a = GetSystemMetrics(FKind == sbHorizontal ? SM_CXHSCROLL : SM_CYVSCROLL);
  return std::min(a, Length() / 2);
}

int TsScrollBar::ThumbLength() const {
  if (FPageSize == 0) return kMinThumb;
  const int track = Length() - 2 * ArrowLength();
  const int span = FMax + FPageSize - FMin;
  if (span <= 0) return kMinThumb;
  return RoundEven(std::max(double(track) / span * FPageSize, double(kMinThumb)));
}

int TsScrollBar::ThumbCentre() const {
  const int length = Length();
  if (!Enabled()) return length / 2;
  if (FMax == FMin) return 0;
  const int a = ArrowLength(), t = ThumbLength();
  return a + t / 2 + RoundEven(double(length - 2 * a - t) / (FMax - FMin) * (FPosition - FMin));
}

TRect TsScrollBar::ThumbRect() const {
  const int t = ThumbLength(), start = ThumbCentre() - t / 2;
  return FKind == sbHorizontal ? TRect{start, 0, start + t, Height()} : TRect{0, start, Width(), start + t};
}

TRect TsScrollBar::FirstArrowRect() const {
  const int a = ArrowLength();
  return FKind == sbHorizontal ? TRect{0, 0, a, Height()} : TRect{0, 0, Width(), a};
}

TRect TsScrollBar::SecondArrowRect() const {
  const int a = ArrowLength();
  return FKind == sbHorizontal ? TRect{Width() - a, 0, Width(), Height()} : TRect{0, Height() - a, Width(), Height()};
}

int TsScrollBar::ValueAt(int p) const {
  const int a = ArrowLength(), t = ThumbLength();
  const int room = Length() - 2 * a - t;
  if (room <= 0) return FMin;
  return FMin + RoundEven(double(p - a - t / 2) * (FMax - FMin) / room);
}

int TsScrollBar::PartAt(TPoint p) const {
  const TRect client{0, 0, Width(), Height()};
  if (!client.Contains(p.X, p.Y)) return -1;
  const bool thumbShown = Length() - 2 * ArrowLength() >= ThumbLength();
  if (FirstArrowRect().Contains(p.X, p.Y)) return kFirstArrow;
  if (SecondArrowRect().Contains(p.X, p.Y)) return kSecondArrow;
  if (thumbShown && ThumbRect().Contains(p.X, p.Y)) return kThumb;
  return PointOnAxis(p) < ThumbCentre() ? kTrackBefore : kTrackAfter;
}

// ---- Part states ------------------------------------------------------------------------------------

int TsScrollBar::CurrentState() const { return FSkinData.StateFromInput(); }

void TsScrollBar::SetPartState(int part, int state) {
  if (FStates[part] == state) return;
  FStates[part] = state;
  FRepaintPending = true;
  if (state == 0) return;
  // A hot or pressed part leaves the others normal and the track around it hot.
  for (int other : {kFirstArrow, kSecondArrow, kThumb})
    if (other != part) FStates[other] = 0;
  for (int track : {kTrackBefore, kTrackAfter})
    if (track != part) FStates[track] = 1;
}

void TsScrollBar::RepaintIfPending() {
  if (!FRepaintPending || FPaintSuppressed || !HandleAllocated() || InState(csDestroying)) return;
  if (!Skinned()) {
    FRepaintPending = false;
    return;
  }
  Repaint();
}

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

// ---- Mouse and keys ---------------------------------------------------------------------------------

void TsScrollBar::MouseDown(TPoint p) {
  const std::shared_ptr<bool> alive = FAlive;
  if (Application) {
    FSavedShowHint = Application->ShowHint;
    Application->ShowHint = false;
  }
  FGrabOffset = 0;
  if (CanFocus() && !Focused()) SetFocus();
  if (!*alive) return;
  const int part = PartAt(p);
  if (part < 0) return;
  if (HandleAllocated()) SetCapture(Handle());
  switch (part) {
    case kFirstArrow:
      if (FStates[kFirstArrow] == 2) break;
      FDragPart = 0;
      SetPartState(kFirstArrow, 2);
      if (FPosition == FMin) {
        int position = FPosition;
        DoScroll(scLineUp, position);
      } else {
        SetPosition(FPosition - SmallChange);
      }
      if (!*alive) return;
      SetTimer(Handle(), kRepeatTimer, 500);
      FRepeatTimer = true;
      break;
    case kSecondArrow:
      if (FStates[kSecondArrow] == 2) break;
      SetPartState(kSecondArrow, 2);
      FDragPart = 1;
      if (FPosition != FMax) SetPosition(FPosition + SmallChange);
      if (!*alive) return;
      SetTimer(Handle(), kRepeatTimer, 500);
      FRepeatTimer = true;
      break;
    case kThumb:
      FDragPart = 5;
      if (!Smooth) {
        FHolding = true;
        FHeldPosition = FPosition;
      }
      if (FStates[kThumb] == 2) break;
      FGrabOffset = ValueAt(PointOnAxis(p)) - FPosition;
      SetPartState(kThumb, 2);
      SetTimer(Handle(), kFollowTimer, 10);
      FFollowTimer = true;
      break;
    case kTrackBefore:
    case kTrackAfter: {
      FDragPart = part == kTrackBefore ? 2 : 3;
      if (FStates[part] == 2) break;
      SetPartState(part, 2);
      FStates[part == kTrackBefore ? kTrackAfter : kTrackBefore] = CurrentState();
      if (LargeChange != 0) SetPosition(FPosition + (part == kTrackBefore ? -LargeChange : LargeChange));
      if (!*alive) return;
      SetTimer(Handle(), kRepeatTimer, 500);
      FRepeatTimer = true;
      break;
    }
    default:
      break;
  }
  if (*alive) RepaintIfPending();
}

void TsScrollBar::MouseMove(TPoint p) {
  const std::shared_ptr<bool> alive = FAlive;
  const bool thumbPressed = FStates[kThumb] == 2;
  const bool thumbShown = Length() - 2 * ArrowLength() >= ThumbLength();
  if (thumbPressed || (thumbShown && ThumbRect().Contains(p.X, p.Y))) {
    if (thumbPressed) {
      FPaintSuppressed = true;
      SetPosition(ValueAt(PointOnAxis(p)) - FGrabOffset);
      if (!*alive) return;
      FPaintSuppressed = false;
    } else {
      SetPartState(kThumb, 1);
    }
  } else if (FirstArrowRect().Contains(p.X, p.Y)) {
    if (FStates[kFirstArrow] != 2) SetPartState(kFirstArrow, 1);
  } else if (SecondArrowRect().Contains(p.X, p.Y)) {
    if (FStates[kSecondArrow] != 2) SetPartState(kSecondArrow, 1);
  } else {
    SetPartState(kThumb, 0);
    SetPartState(kFirstArrow, 0);
    SetPartState(kSecondArrow, 0);
  }
  RepaintIfPending();
}

void TsScrollBar::MouseUp(TPoint p) {
  const std::shared_ptr<bool> alive = FAlive;
  StopTimers();
  const bool thumbPressed = FStates[kThumb] == 2;
  if (thumbPressed || (FDragPart == 5 && ThumbRect().Contains(p.X, p.Y))) {
    FDragPart = 4;
    FStates[kTrackBefore] = FStates[kTrackAfter] = CurrentState();
    FRepaintPending = true;
    if (thumbPressed) {
      SetPosition(ValueAt(PointOnAxis(p)) - FGrabOffset);
      if (!*alive) return;
      FStates[kThumb] = 0;
      FRepaintPending = true;
      SetPartState(kThumb, ThumbRect().Contains(p.X, p.Y) ? 1 : 0);
      if (FHolding) {
        // The notification held back during the drag, for the whole move.
        FHolding = false;
        if (FPosition != FHeldPosition) {
          Changed(FHeldPosition);
          if (!*alive) return;
        }
      }
    }
  } else {
    for (int arrow : {kFirstArrow, kSecondArrow})
      if (FStates[arrow] == 2) {
        const TRect r = arrow == kFirstArrow ? FirstArrowRect() : SecondArrowRect();
        FStates[arrow] = 0;
        FRepaintPending = true;
        if (r.Contains(p.X, p.Y)) SetPartState(arrow, 1);
      }
    for (int track : {kTrackBefore, kTrackAfter})
      if (FStates[track] == 2) {
        FStates[track] = CurrentState();
        FRepaintPending = true;
      }
  }
  FHolding = false;
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  int position = FPosition;
  DoScroll(scEndScroll, position);
  if (!*alive) return;
  if (Application && FDragPart >= 0) Application->ShowHint = FSavedShowHint;
  FDragPart = -1;
  RepaintIfPending();
}

void TsScrollBar::Tick(WPARAM timer) {
  const std::shared_ptr<bool> alive = FAlive;
  TPoint cursor;
  GetCursorPos(&cursor);
  if (HandleAllocated()) ::ScreenToClient(Handle(), &cursor);
  if (timer == kFollowTimer) {
    if (FStates[kThumb] != 2) {
      StopTimers();
      return;
    }
    if (HandleAllocated() && GetCapture() != Handle()) SetCapture(Handle());
    MouseMove(cursor);
    return;
  }
  bool again = false;
  switch (FDragPart) {
    case 0:
      if ((again = FStates[kFirstArrow] == 2)) SetPosition(FPosition - SmallChange);
      break;
    case 1:
      if ((again = FStates[kSecondArrow] == 2)) SetPosition(FPosition + SmallChange);
      break;
    case 2:
      if ((again = FStates[kTrackBefore] == 2 && ValueAt(PointOnAxis(cursor)) < FPosition))
        SetPosition(FPosition - LargeChange);
      break;
    case 3:
      if ((again = FStates[kTrackAfter] == 2 && ValueAt(PointOnAxis(cursor)) > FPosition))
        SetPosition(FPosition + LargeChange);
      break;
    default:
      break;
  }
  if (!*alive) return;
  if (again) SetTimer(Handle(), kRepeatTimer, 100);
  else if (FRepeatTimer) {
    KillTimer(Handle(), kRepeatTimer);
    FRepeatTimer = false;
  }
  RepaintIfPending();
}

void TsScrollBar::StopTimers() {
  if (HandleAllocated()) {
    if (FRepeatTimer) KillTimer(FHandle, kRepeatTimer);
    if (FFollowTimer) KillTimer(FHandle, kFollowTimer);
  }
  FRepeatTimer = FFollowTimer = false;
}

bool TsScrollBar::WantsKey(WPARAM key) {
  switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: return true;
    default: return TWinControl::WantsKey(key);
  }
}

void TsScrollBar::HandleNativeScroll(TMessage& m) {
  // While skinned the bar moves itself; it follows notifications only while a part is held and
  // no drag keeps its notification back.
  if (Skinned() && (FDragPart < 0 || FHolding)) return;
  const int sign = FKind == sbHorizontal && UseRightToLeftAlignment() ? -1 : 1;
  const WPARAM code = m.WParam & 0xFFFF;
  int position = FPosition;
  switch (code) {
    case SB_LINEUP: position -= SmallChange * sign; break;
    case SB_LINEDOWN: position += SmallChange * sign; break;
    case SB_PAGEUP: position -= LargeChange * sign; break;
    case SB_PAGEDOWN: position += LargeChange * sign; break;
    case SB_TOP: position = FMin; break;
    case SB_BOTTOM: position = FMax; break;
    case SB_ENDSCROLL: break;
    default: {
      SCROLLINFO info;
      info.fMask = SIF_TRACKPOS;
      int track = int((m.WParam >> 16) & 0xFFFF);
      if (HandleAllocated() && GetScrollInfo(Handle(), SB_CTL, &info)) track = info.nTrackPos;
      position = sign < 0 ? FMax - track : track;
      break;
    }
  }
  position = std::max(FMin, std::min(position, FMax));
  const std::shared_ptr<bool> alive = FAlive;
  DoScroll(TScrollCode(code <= SB_ENDSCROLL ? code : SB_ENDSCROLL), position);
  if (*alive && code != SB_ENDSCROLL) SetPosition(position);
}

// ---- Messages ---------------------------------------------------------------------------------------

void TsScrollBar::HandleSkinCommand(TMessage& m) {
  const unsigned command = SkinCommandOf(m.WParam);
  switch (command) {
    case AC_SKINCHANGED:
    case AC_REMOVESKIN:
    case AC_REFRESH:
      StopTimers();
      FSkinData.HandleSkinCommand(m);
      if (command == AC_REFRESH) FSkinData.CacheInvalid = true;
      CheckWindowForm();
      if (command != AC_SKINCHANGED && HandleAllocated()) Invalidate();
      return;
    case AC_UPDATEFINISHED:
      FSkinData.Deferred = false;
      if (HandleAllocated() && Skinned()) Repaint();
      return;
    case AC_OWNBROADCAST:
      m.LParam = 1;
      return;
    default:
      FSkinData.HandleSkinCommand(m);
      return;
  }
}

void TsScrollBar::WndProc(TMessage& m) {
  const std::shared_ptr<bool> alive = FAlive;
  switch (m.Msg) {
    case SM_KARVOCMD:
      HandleSkinCommand(m);
      return;
    case kRecreateMessage:
      CheckWindowForm();
      return;
    case CN_HSCROLL:
    case CN_VSCROLL:
      HandleNativeScroll(m);
      return;
    case WM_TIMER:
      if (m.WParam == kRepeatTimer || m.WParam == kFollowTimer) {
        Tick(m.WParam);
        return;
      }
      break;
    default:
      break;
  }
  if (!Skinned()) {
    TWinControl::WndProc(m);
    // The toolkit keeps presses to itself; the native bar tracks them.
    if (*alive && FNativeWindow && (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK)) DefaultHandler(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT: {
      if (FNativeWindow && HandleAllocated()) PostMessage(Handle(), kRecreateMessage, 0, 0);
      PAINTSTRUCT ps;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const bool own = dc == nullptr;
      if (own) dc = BeginPaint(Handle(), &ps);
      if (dc) Paint(dc);
      if (own) EndPaint(Handle(), &ps);
      return;
    }
    case WM_PRINT:
      m.Msg = WM_PAINT;
      WndProc(m);
      if (!*alive) return;
      m.Msg = WM_NCPAINT;
      TWinControl::WndProc(m);
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      if (!FPaintSuppressed) TWinControl::WndProc(m);
      return;
    case WM_NCHITTEST:
      TWinControl::WndProc(m);
      if (FNativeWindow && HandleAllocated()) PostMessage(Handle(), kRecreateMessage, 0, 0);
      return;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS;
      return;
    case CM_MOUSEENTER:
      FSkinData.MouseOver = true;
      if (Enabled()) {
        SetPartState(kTrackBefore, 1);
        SetPartState(kTrackAfter, 1);
        RepaintIfPending();
      }
      TWinControl::WndProc(m);
      return;
    case CM_MOUSELEAVE:
      FSkinData.MouseOver = false;
      if (Enabled()) {
        SetPartState(kFirstArrow, 0);
        SetPartState(kSecondArrow, 0);
        if (FStates[kThumb] != 2) {
          SetPartState(kThumb, 0);
          SetPartState(kTrackBefore, 0);
          SetPartState(kTrackAfter, 0);
        }
        RepaintIfPending();
      }
      TWinControl::WndProc(m);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
      if (!Enabled()) break;
      const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      if (m.Msg == WM_MOUSEMOVE) MouseMove(p);
      else if (m.Msg == WM_LBUTTONUP) MouseUp(p);
      else MouseDown(p);
      if (!*alive) return;
      // The toolkit's own mouse events still fire; the native window must not track as well.
      if (!FNativeWindow) TWinControl::WndProc(m);
      return;
    }
    case WM_KEYDOWN: {
      int position = FPosition;
      switch (m.WParam) {
        case VK_PRIOR: position -= LargeChange; break;
        case VK_NEXT: position += LargeChange; break;
        case VK_END: position = FMax; break;
        case VK_HOME: position = FMin; break;
        case VK_LEFT: case VK_UP: position -= SmallChange; break;
        case VK_RIGHT: case VK_DOWN: position += SmallChange; break;
        default: TWinControl::WndProc(m); return;
      }
      SetPosition(position);
      if (*alive) TWinControl::WndProc(m);
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
      FSkinData.HandleMessage(m);
      TWinControl::WndProc(m);
      if (*alive && HandleAllocated()) Invalidate();
      return;
    default:
      break;
  }
  if (FSkinData.HandleMessage(m)) return;
  TWinControl::WndProc(m);
}

// ---- Stored properties ------------------------------------------------------------------------------

const TPropertyTable& TsScrollBar::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TWinControl::ClassProperties());
    TPropertyBuilder<TsScrollBar> b(t);
    constexpr TIntRange step{0, 65535};
    b.Event<TNotifyEvent>("OnChange", [](TsScrollBar& s, TNotifyEvent e) { s.OnChange = std::move(e); });
    b.Boolean("Smooth", [](TsScrollBar& s, bool v) { s.Smooth = v; });
    b.Set("DisabledKind", {{"dkBlended", dkBlended}, {"dkGrayed", dkGrayed}},
          [](TsScrollBar& s, uint32_t v) { s.SetDisabledKind(v); });
    b.Enum<TScrollBarKind>("Kind", {{"sbHorizontal", sbHorizontal}, {"sbVertical", sbVertical}},
                           [](TsScrollBar& s, TScrollBarKind v) { s.SetKind(v); });
    b.Integer("LargeChange", step, [](TsScrollBar& s, int64_t v) { s.LargeChange = int(v); });
    b.Integer("Max", [](TsScrollBar& s, int64_t v) { s.SetMax(int(v)); });
    b.Integer("Min", [](TsScrollBar& s, int64_t v) { s.SetMin(int(v)); });
    b.Integer("PageSize", [](TsScrollBar& s, int64_t v) { s.SetPageSize(int(v)); });
    b.Integer("Position", [](TsScrollBar& s, int64_t v) { s.SetPosition(int(v)); });
    b.Integer("SmallChange", step, [](TsScrollBar& s, int64_t v) { s.SmallChange = int(v); });
    b.Event<TScrollEvent>("OnScroll", [](TsScrollBar& s, TScrollEvent e) { s.OnScroll = std::move(e); });
    b.Object("SkinData", [](TsScrollBar& s) -> TPersistent* { return s.SkinData(); });
    return t;
  }();
  return table;
}

void RegisterTsScrollBarClass() { RegisterComponentClass<TsScrollBar>("TsScrollBar"); }
