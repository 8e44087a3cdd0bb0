#include "frame/sScrollBar.h"

#include <algorithm>
#include <cmath>

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/PropertyRanges.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessage.h"
#include "skin/render/sBackground.h"

namespace {

constexpr int kControlKind = 142;
constexpr int kMinThumb = 14;
// Posted to itself when the window's form no longer fits the skin.
constexpr UINT kRecreateMessage = WM_USER + 0x5B;

// To the nearest integer, halves to even.
int RoundEven(double v) { return int(std::nearbyint(v)); }

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
