#include "platform/widgets/Controls.h"

#include <algorithm>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/PropertyRanges.h"

namespace {
TControl* gCaptureControl = nullptr;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyboardState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
  return s;
}

TWinControl* FindControl(HWND hwnd) {
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  return static_cast<TWinControl*>(GetWindowUserData(hwnd));
}

TControl* GetCaptureControl() {
  TControl* owner = FindControl(GetCapture());
  if (owner && gCaptureControl && gCaptureControl->Parent() == owner) return gCaptureControl;
  return owner;
}

void SetCaptureControl(TControl* control) {
  ReleaseCapture();
  gCaptureControl = nullptr;
  if (!control) return;
  if (!control->IsWindowed()) {
    if (!control->Parent()) return;
    gCaptureControl = control;
    control = control->Parent();
  }
  SetCapture(static_cast<TWinControl*>(control)->Handle());
}

void ForgetCaptureControl(const TControl* control) {
  if (gCaptureControl && (gCaptureControl == control || gCaptureControl->Parent() == control)) gCaptureControl = nullptr;
}

TControl* FindDragTarget(TPoint screen, bool allowDisabled) {
  TWinControl* win = FindControl(WindowFromPoint(screen));
  if (!win) return nullptr;
  TControl* child = win->ControlAtPos(win->ScreenToClient(screen), allowDisabled);
  return child ? child : win;
}

// ---- TControl ----------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  if (gCaptureControl == this) gCaptureControl = nullptr;
  if (Application) Application->CancelMouseControl(this);
  if (FParent) FParent->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  Destroying();
  if (Application) Application->CancelMouseControl(this);
  if (gCaptureControl == this) SetCaptureControl(nullptr);
  if (FParent) FParent->RemoveControl(this);
  TComponent::BeforeDestruction();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::MouseMessage(TMessage& m, TMouseButton button, bool down, bool dbl) {
  const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  TShiftState shift = KeysToShiftState(m.WParam);
  if (down) {
    if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
    if (dbl) {
      if (ControlStyle & csClickEvents) DblClick();
      shift |= ssDouble;
    } else if (ControlStyle & csClickEvents) {
      ControlState |= csClicked;
    }
    if (!InState(csDestroying) && !(ControlStyle & csNoStdEvents)) MouseDown(button, shift, x, y);
    return;
  }
  if (ControlStyle & csCaptureMouse) SetMouseCapture(false);
  if (ControlState & csClicked) {
    ControlState &= ~csClicked;
    if (ClientRect().Contains(x, y)) Click();
  }
  if (!InState(csDestroying) && !(ControlStyle & csNoStdEvents)) MouseUp(button, shift, x, y);
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: MouseMessage(m, mbLeft, true, false); return;
    case WM_LBUTTONDBLCLK: MouseMessage(m, mbLeft, true, (ControlStyle & csDoubleClicks) != 0); return;
    case WM_LBUTTONUP: MouseMessage(m, mbLeft, false, false); return;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
      if (!(ControlStyle & csNoStdEvents))
        MouseDown(mbRight, KeysToShiftState(m.WParam) | (m.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      break;
    case WM_RBUTTONUP:
      if (!(ControlStyle & csNoStdEvents)) MouseUp(mbRight, KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
      if (!(ControlStyle & csNoStdEvents)) MouseDown(mbMiddle, KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      break;
    case WM_MBUTTONUP:
      if (!(ControlStyle & csNoStdEvents)) MouseUp(mbMiddle, KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      break;
    case WM_MOUSEMOVE:
      if (!(ControlStyle & csNoStdEvents)) MouseMove(KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      break;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      if (!IsWindowed()) InvalidateControl(true, (ControlStyle & csOpaque) != 0);
      return;
    case CM_PARENTCOLORCHANGED:
      if (FParentColor && FParent) {
        SetColor(m.WParam ? TColor(m.LParam) : FParent->Color());
        FParentColor = true;
      }
      return;
    case CM_PARENTFONTCHANGED:
      if (FParentFont && FParent) {
        FFontChanging = true;
        FFont.Assign(m.WParam ? reinterpret_cast<TFont*>(m.LParam) : FParent->Font());
        FFontChanging = false;
        Perform(CM_FONTCHANGED);
      }
      return;
    default:
      break;
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m) {
  if (m.Msg == WM_GETTEXTLENGTH) m.Result = LRESULT(FText.size());
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw std::invalid_argument("A control cannot be its own parent");
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  InvalidateControl(FVisible, false);
  const bool sized = width != FWidth || height != FHeight;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED);
  if (FParent && FAlign != alNone) FParent->Realign();
  if (FParent) FParent->ChildBoundsChanged(this);
  if (sized && !InState(csLoading)) Resize();
}

void TControl::SetClientSize(int width, int height) {
  const TRect c = ClientRect();
  SetBounds(FLeft, FTop, FWidth + width - c.Width(), FHeight + height - c.Height());
}

TPoint TControl::ClientOrigin() const {
  if (IsWindowed()) {
    auto* self = static_cast<const TWinControl*>(this);
    if (self->FHandle) {
      TPoint p;
      ::ClientToScreen(self->FHandle, &p);
      return p;
    }
  }
  if (!FParent) return {FLeft, FTop};
  TPoint p = FParent->ClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  if (!IsWindowed()) InvalidateControl(true, (ControlStyle & csOpaque) != 0);
  FVisible = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  if (FParent && FAlign != alNone) FParent->Realign();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  if (IsWindowed()) {
    auto* self = static_cast<TWinControl*>(this);
    if (self->HandleAllocated()) ::SetWindowText(self->Handle(), text);
  }
  Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor color) {
  if (color == FColor) {
    FParentColor = false;
    return;
  }
  FColor = color;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (value && FParent && !InState(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (value && FParent && !InState(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged() {
  if (FFontChanging) return;
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!FParent || !FParent->HandleAllocated() || !isVisible) return;
  const TRect r = BoundsRect();
  InvalidateRect(FParent->Handle(), &r, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(FVisible, (ControlStyle & csOpaque) != 0); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  if (ControlStyle & csOpaque) {
    HDC dc = GetDC(FParent->Handle());
    SaveDC(dc);
    IntersectClipRect(dc, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
    FParent->PaintControls(dc, this);
    RestoreDC(dc, -1);
    ReleaseDC(FParent->Handle(), dc);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool capture) {
  if (MouseCapture() == capture) return;
  SetCaptureControl(capture ? this : nullptr);
}

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->Parent()) c = c->Parent();
  return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  list.erase(std::find(list.begin(), list.end(), this));
  list.push_back(this);
  if (IsWindowed() && static_cast<TWinControl*>(this)->HandleAllocated())
    SetWindowPos(static_cast<TWinControl*>(this)->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  else
    Invalidate();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  list.erase(std::find(list.begin(), list.end(), this));
  list.insert(list.begin(), this);
  if (IsWindowed() && static_cast<TWinControl*>(this)->HandleAllocated())
    SetWindowPos(static_cast<TWinControl*>(this)->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  else
    Invalidate();
}

const TPropertyTable& TControl::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TControl> b(t);
    b.Integer("Left", kPositionRange, [](TControl& c, int64_t v) { c.SetLeft(int(v)); });
    b.Integer("Top", kPositionRange, [](TControl& c, int64_t v) { c.SetTop(int(v)); });
    b.Integer("Width", kSizeRange, [](TControl& c, int64_t v) { c.SetWidth(int(v)); });
    b.Integer("Height", kSizeRange, [](TControl& c, int64_t v) { c.SetHeight(int(v)); });
    b.Integer("ClientWidth", kSizeRange, [](TControl& c, int64_t v) { c.SetClientSize(int(v), c.ClientHeight()); });
    b.Integer("ClientHeight", kSizeRange, [](TControl& c, int64_t v) { c.SetClientSize(c.ClientWidth(), int(v)); });
    b.Enum<TAlign>("Align", {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom}, {"alLeft", alLeft},
                             {"alRight", alRight}, {"alClient", alClient}, {"alCustom", alCustom}},
                   [](TControl& c, TAlign v) { c.SetAlign(v); });
    b.Set("Anchors", {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}},
          [](TControl& c, uint32_t v) { c.SetAnchors(v); });
    b.Enum<TBiDiMode>("BiDiMode", {{"bdLeftToRight", bdLeftToRight}, {"bdRightToLeft", bdRightToLeft},
                                   {"bdRightToLeftNoAlign", bdRightToLeftNoAlign},
                                   {"bdRightToLeftReadingOnly", bdRightToLeftReadingOnly}},
                      [](TControl& c, TBiDiMode v) { c.BiDiMode = v; });
    b.String("Caption", [](TControl& c, const std::string& v) { c.SetText(v); });
    b.String("Text", [](TControl& c, const std::string& v) { c.SetText(v); });
    b.Color("Color", [](TControl& c, TColor v) { c.SetColor(v); });
    b.Boolean("ParentColor", [](TControl& c, bool v) { c.SetParentColor(v); });
    b.Object("Font", [](TControl& c) -> TPersistent* { return c.Font(); });
    b.Boolean("ParentFont", [](TControl& c, bool v) { c.SetParentFont(v); });
    b.Boolean("Enabled", [](TControl& c, bool v) { c.SetEnabled(v); });
    b.Boolean("Visible", [](TControl& c, bool v) { c.SetVisible(v); });
    b.Boolean("ShowHint", [](TControl& c, bool v) { c.ShowHint = v; c.ParentShowHint = false; });
    b.Boolean("ParentShowHint", [](TControl& c, bool v) { c.ParentShowHint = v; });
    b.String("Hint", [](TControl& c, const std::string& v) { c.Hint = v; });
    b.Event<TNotifyEvent>("OnClick", [](TControl& c, TNotifyEvent e) { c.OnClick = std::move(e); });
    b.Event<TNotifyEvent>("OnDblClick", [](TControl& c, TNotifyEvent e) { c.OnDblClick = std::move(e); });
    b.Event<TMouseEvent>("OnMouseDown", [](TControl& c, TMouseEvent e) { c.OnMouseDown = std::move(e); });
    b.Event<TMouseMoveEvent>("OnMouseMove", [](TControl& c, TMouseMoveEvent e) { c.OnMouseMove = std::move(e); });
    b.Event<TMouseEvent>("OnMouseUp", [](TControl& c, TMouseEvent e) { c.OnMouseUp = std::move(e); });
    b.Event<TNotifyEvent>("OnResize", [](TControl& c, TNotifyEvent e) { c.OnResize = std::move(e); });
    // Kept by stored layouts of the original tool; they change nothing here.
    for (const char* ignored : {"PixelsPerInch", "TextHeight", "DragCursor", "DragKind", "DragMode", "Cursor",
                                "HelpContext", "HelpKeyword", "HelpType", "ParentBiDiMode", "Constraints.MinWidth",
                                "Ctl3D", "ParentCtl3D"})
      b.Custom(ignored, [](TControl&, const TLayoutValue&, TLayoutContext&) {});
    return t;
  }();
  return table;
}
