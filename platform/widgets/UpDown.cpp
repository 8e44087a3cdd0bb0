#include "platform/widgets/UpDown.h"

#include <algorithm>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/PropertyRanges.h"
#include "platform/widgets/Timer.h"

namespace {

constexpr LRESULT kWantArrows = 0x0001;  // DLGC_WANTARROWS

void FillSolid(HDC dc, const TRect& r, COLORREF color) { ::FillRect(dc, &r, CreateSolidBrush(color)); }

// Top-left and bottom-right lines of a one-pixel frame.
void Frame3D(HDC dc, const TRect& r, COLORREF topLeft, COLORREF bottomRight) {
  FillSolid(dc, {r.Left, r.Top, r.Right - 1, r.Top + 1}, topLeft);
  FillSolid(dc, {r.Left, r.Top, r.Left + 1, r.Bottom - 1}, topLeft);
  FillSolid(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
  FillSolid(dc, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
}

}  // namespace

void DrawArrowGlyph(HDC dc, const TRect& r, int direction, int size, COLORREF color) {
  const bool vertical = direction == 0 || direction == 1;
  // The triangle is `size` long in its direction and 2 * size - 1 across.
  const int across = 2 * size - 1;
  const int x0 = vertical ? r.Left + (r.Width() - across) / 2 : r.Left + (r.Width() - size) / 2;
  const int y0 = vertical ? r.Top + (r.Height() - size) / 2 : r.Top + (r.Height() - across) / 2;
  for (int i = 0; i < size; ++i) {
    // Line i counted from the tip is 2 * i + 1 pixels long.
    const int from = size - 1 - i, to = size + i;
    switch (direction) {
      case 0: FillSolid(dc, {x0 + from, y0 + i, x0 + to, y0 + i + 1}, color); break;
      case 1: FillSolid(dc, {x0 + from, y0 + size - 1 - i, x0 + to, y0 + size - i}, color); break;
      case 2: FillSolid(dc, {x0 + i, y0 + from, x0 + i + 1, y0 + to}, color); break;
      default: FillSolid(dc, {x0 + size - 1 - i, y0 + from, x0 + size - i, y0 + to}, color); break;
    }
  }
}

// ---- TCustomUpDown -----------------------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* owner) : TCustomControl(owner) {
  ControlStyle = csCaptureMouse | csOpaque;
  FWidth = GetSystemMetrics(SM_CXVSCROLL);
  FHeight = GetSystemMetrics(SM_CYVSCROLL) * 3 / 2;
  FColor = clBtnFace;
  FParentColor = false;
}

TCustomUpDown::~TCustomUpDown() { *FAlive = false; }

void TCustomUpDown::SetOrientation(TUDOrientation value) {
  if (value == FOrientation) return;
  FOrientation = value;
  // Turning the control keeps its shape turned too, as it was drawn at design time.
  if (!InState(csLoading)) SetBounds(FLeft, FTop, FHeight, FWidth);
  Invalidate();
}

void TCustomUpDown::SetMin(int value) {
  if (value == FMin) return;
  FMin = value;
  if (!InState(csLoading)) SetPosition(FPosition);
  PositionChanged();
}

void TCustomUpDown::SetMax(int value) {
  if (value == FMax) return;
  FMax = value;
  if (!InState(csLoading)) SetPosition(FPosition);
  PositionChanged();
}

void TCustomUpDown::SetPosition(int value) {
  // Layouts may give the position before the range.
  if (!InState(csLoading)) value = std::clamp(value, std::min(FMin, FMax), std::max(FMin, FMax));
  if (value == FPosition) return;
  FPosition = value;
  PositionChanged();
}

void TCustomUpDown::SetAssociate(TWinControl* control) {
  if (control == FAssociate) return;
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  FAssociate = control;
  if (control) control->FreeNotification(this);
}

void TCustomUpDown::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == FAssociate) FAssociate = nullptr;
}

void TCustomUpDown::Loaded() {
  TCustomControl::Loaded();
  SetPosition(FPosition);
}

TRect TCustomUpDown::ButtonRect(TUDBtnType button) const {
  const TRect c = ClientRect();
  if (FOrientation == udVertical) {
    const int split = c.Top + c.Height() / 2;
    return button == btNext ? TRect{c.Left, c.Top, c.Right, split} : TRect{c.Left, split, c.Right, c.Bottom};
  }
  const int split = c.Left + c.Width() / 2;
  return button == btPrev ? TRect{c.Left, c.Top, split, c.Bottom} : TRect{split, c.Top, c.Right, c.Bottom};
}

bool TCustomUpDown::ButtonAt(int x, int y, TUDBtnType& button) const {
  for (TUDBtnType b : {btNext, btPrev})
    if (ButtonRect(b).Contains(x, y)) {
      button = b;
      return true;
    }
  return false;
}

int TCustomUpDown::StepTarget(bool next) const {
  const int64_t lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
  if (FIncrement == 0) return FPosition;
  const int64_t target = int64_t(FPosition) + (next ? FIncrement : -int64_t(FIncrement));
  if (target > hi) return int(FWrap ? lo : hi);
  if (target < lo) return int(FWrap ? hi : lo);
  return int(target);
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomUpDown::DoClick(TUDBtnType button) {
  if (OnClick) OnClick(this, button);
}

bool TCustomUpDown::DoStep(bool next) {
  const int target = StepTarget(next);
  if (target == FPosition) return false;
  const std::shared_ptr<bool> alive = FAlive;
  if (!CanChange() || !*alive) return false;
  FPosition = target;
  PositionChanged();
  DoClick(next ? btNext : btPrev);
  return *alive;
}

void TCustomUpDown::InvalidateButton(TUDBtnType button) {
  if (!HandleAllocated()) return;
  const TRect r = ButtonRect(button);
  InvalidateRect(FHandle, &r, false);
}

void TCustomUpDown::StartTracking(TUDBtnType button) {
  FTracking = true;
  FTrackOver = true;
  FTrackButton = button;
  FRepeating = false;
  SetTimer(Handle(), kRepeatTimer, kFirstRepeatDelay);
  InvalidateButton(button);
}

void TCustomUpDown::StopTracking() {
  if (!FTracking) return;
  FTracking = false;
  if (HandleAllocated()) KillTimer(FHandle, kRepeatTimer);
  InvalidateButton(FTrackButton);
}

void TCustomUpDown::SetHot(bool hot, TUDBtnType button) {
  if (hot == FHot && (!hot || button == FHotButton)) return;
  if (FHot) InvalidateButton(FHotButton);
  FHot = hot;
  FHotButton = button;
  if (hot) InvalidateButton(button);
}

void TCustomUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const std::shared_ptr<bool> alive = FAlive;
  TCustomControl::MouseDown(button, shift, x, y);
  if (!*alive || button != mbLeft || !Enabled() || FTracking) return;
  TUDBtnType half;
  if (!ButtonAt(x, y, half)) return;
  StartTracking(half);
  DoStep(half == btNext);
}

void TCustomUpDown::MouseMove(TShiftState shift, int x, int y) {
  const std::shared_ptr<bool> alive = FAlive;
  TCustomControl::MouseMove(shift, x, y);
  if (!*alive) return;
  TUDBtnType half = btNext;
  const bool over = ButtonAt(x, y, half);
  SetHot(over && Enabled(), half);
  if (!FTracking) return;
  const bool onTracked = ButtonRect(FTrackButton).Contains(x, y);
  if (onTracked == FTrackOver) return;
  FTrackOver = onTracked;
  InvalidateButton(FTrackButton);
}

void TCustomUpDown::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) StopTracking();
  TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomUpDown::KeyDown(WPARAM& key, TShiftState shift) {
  const std::shared_ptr<bool> alive = FAlive;
  TCustomControl::KeyDown(key, shift);
  if (!*alive || !FArrowKeys || !Enabled()) return;
  if (key == VK_LEFT || key == VK_DOWN) {
    key = 0;
    DoStep(false);
  } else if (key == VK_RIGHT || key == VK_UP) {
    key = 0;
    DoStep(true);
  }
}

void TCustomUpDown::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_TIMER:
      if (m.WParam != kRepeatTimer) break;
      if (!FTracking) {
        KillTimer(FHandle, kRepeatTimer);
        return;
      }
      if (!FRepeating) {
        FRepeating = true;
        SetTimer(FHandle, kRepeatTimer, kRepeatInterval);
      }
      if (FTrackOver) DoStep(FTrackButton == btNext);
      return;
    case WM_GETDLGCODE:
      m.Result = FArrowKeys ? kWantArrows : 0;
      return;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != FHandle) StopTracking();
      break;
    case CM_ENABLEDCHANGED:
      if (!FEnabled) {
        StopTracking();
        FHot = false;
      }
      break;
    case CM_MOUSELEAVE:
      SetHot(false, FHotButton);
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TCustomUpDown::Paint() {
  for (TUDBtnType b : {btNext, btPrev}) DrawButton(b, ButtonRect(b), IsPressed(b), Enabled());
}

void TCustomUpDown::DrawButton(TUDBtnType button, const TRect& r, bool pressed, bool enabled) {
  HDC dc = Canvas()->Handle();
  if (!dc || r.IsEmpty()) return;
  FillSolid(dc, r, GetSysColor(COLOR_BTNFACE));
  if (pressed) {
    Frame3D(dc, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
  } else {
    Frame3D(dc, r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    Frame3D(dc, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, GetSysColor(COLOR_BTNHIGHLIGHT),
            GetSysColor(COLOR_BTNSHADOW));
  }
  TRect inner{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
  if (inner.IsEmpty()) return;
  int direction;
  if (FOrientation == udVertical) direction = button == btNext ? 0 : 1;
  else direction = button == btNext ? 3 : 2;
  const bool vertical = direction < 2;
  const int across = vertical ? r.Width() : r.Height();
  const int along = vertical ? r.Height() : r.Width();
  const int size = std::max(1, std::min((across - 2) / 4, (along - 2) / 3));
  if (pressed) inner = inner.Offset(1, 1);
  if (!enabled) {
    DrawArrowGlyph(dc, inner.Offset(1, 1), direction, size, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawArrowGlyph(dc, inner, direction, size, GetSysColor(COLOR_BTNSHADOW));
  } else {
    DrawArrowGlyph(dc, inner, direction, size, GetSysColor(COLOR_BTNTEXT));
  }
}

const TPropertyTable& TCustomUpDown::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TWinControl::ClassProperties());
    TPropertyBuilder<TCustomUpDown> b(t);
    b.Enum<TUDOrientation>("Orientation", {{"udHorizontal", udHorizontal}, {"udVertical", udVertical}},
                           [](TCustomUpDown& u, TUDOrientation v) { u.SetOrientation(v); });
    b.Integer("Min", kUpDownRange, [](TCustomUpDown& u, int64_t v) { u.SetMin(int(v)); });
    b.Integer("Max", kUpDownRange, [](TCustomUpDown& u, int64_t v) { u.SetMax(int(v)); });
    b.Integer("Increment", kUpDownRange, [](TCustomUpDown& u, int64_t v) { u.SetIncrement(int(v)); });
    b.Integer("Position", kUpDownRange, [](TCustomUpDown& u, int64_t v) { u.SetPosition(int(v)); });
    b.Boolean("Wrap", [](TCustomUpDown& u, bool v) { u.SetWrap(v); });
    b.Boolean("ArrowKeys", [](TCustomUpDown& u, bool v) { u.SetArrowKeys(v); });
    b.Boolean("Thousands", [](TCustomUpDown& u, bool v) { u.Thousands = v; });
    b.Enum<TUDAlignButton>("AlignButton", {{"udLeft", udLeft}, {"udRight", udRight}},
                           [](TCustomUpDown& u, TUDAlignButton v) { u.AlignButton = v; });
    b.Reference<TWinControl>("Associate", [](TCustomUpDown& u, TWinControl* c) { u.SetAssociate(c); });
    b.Event<TUDChangingEvent>("OnChanging", [](TCustomUpDown& u, TUDChangingEvent e) { u.OnChanging = std::move(e); });
    b.Event<TUDClickEvent>("OnClick", [](TCustomUpDown& u, TUDClickEvent e) { u.OnClick = std::move(e); });
    return t;
  }();
  return table;
}

// ---- Registration ------------------------------------------------------------------------------
