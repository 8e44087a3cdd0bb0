#include "platform/widgets/WinControl.h"

#include <algorithm>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/PropertyRanges.h"

// ---- TWinControl -------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { FDefWndProc = DefWindowProc; }

TWinControl::~TWinControl() {
  if (FHandle && IsWindow(FHandle)) {
    SetWindowUserData(FHandle, nullptr);
    DestroyWindow(FHandle);
  }
  FHandle = nullptr;
  for (TControl* c : std::vector<TControl*>(FControls)) c->FParent = nullptr;
}

void TWinControl::BeforeDestruction() {
  Destroying();
  // Child controls go with their parent, whoever owns them.
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    RemoveControl(c);
    TComponent::Free(c);
  }
  DestroyHandle();
  TControl::BeforeDestruction();
}

LRESULT TWinControl::WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
    auto* control = static_cast<TWinControl*>(cs->lpCreateParams);
    SetWindowUserData(hwnd, control);
    if (control) control->FHandle = hwnd;
  }
  TWinControl* control = FindControl(hwnd);
  if (!control) return DefWindowProc(hwnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  control->WindowProc(m);
  if (msg == WM_NCDESTROY) {
    SetWindowUserData(hwnd, nullptr);
    if (control->FHandle == hwnd) control->FHandle = nullptr;
  }
  return m.Result;
}

HWND TWinControl::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = FText;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle & csAcceptsControls) params.Style |= WS_CLIPCHILDREN;
  if (FVisible) params.Style |= WS_VISIBLE;
  if (!FEnabled) params.Style |= WS_DISABLED;
  if (FTabStop) params.Style |= WS_TABSTOP;
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  params.WndParent = FParent ? FParent->Handle() : nullptr;
  params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent) return;  // a child needs a parent window first
  WNDCLASS cls;
  cls.lpszClassName = params.WinClassName;
  cls.style = params.WindowClassStyle;
  cls.lpfnWndProc = WindowProcedure;
  RegisterClass(cls);
  CreateWindowEx(params.ExStyle, params.WinClassName, params.Caption, params.Style, params.X, params.Y,
                 params.Width, params.Height, params.WndParent, 0, this);
}

void TWinControl::CreateHandle() {
  if (FHandle || InState(csDestroying)) return;
  ControlState |= csCreating;
  CreateWnd();
  ControlState &= ~csCreating;
  if (!FHandle) return;
  for (TControl* c : std::vector<TControl*>(FControls))
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->CreateHandle();
  Realign();
}

void TWinControl::DestroyWnd() {
  if (FHandle) DestroyWindow(FHandle);
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  ControlState |= csDestroyingHandle;
  DestroyWnd();
  ControlState &= ~csDestroyingHandle;
  FHandle = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  CreateHandle();
}

bool TWinControl::Showing() const { return FHandle && IsWindowVisible(FHandle); }

void TWinControl::UpdateShowing() {
  if (!FHandle) {
    if (FVisible && FParent && FParent->HandleAllocated()) CreateHandle();
    return;
  }
  if (GetWindowStyle(FHandle) & WS_CHILD) ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || ContainsControl(control)) return;
  FControls.push_back(control);
  control->FParent = this;
  if (control->IsWindowed()) FTabList.push_back(static_cast<TWinControl*>(control));
  if (!control->InState(csReading)) {
    control->Perform(CM_PARENTCOLORCHANGED);
    control->Perform(CM_PARENTFONTCHANGED);
  } else {
    if (control->FParentColor) control->FColor = FColor;
    if (control->FParentFont) {
      control->FFontChanging = true;
      control->FFont.Assign(&FFont);
      control->FFontChanging = false;
    }
  }
  if (control->IsWindowed() && FHandle) static_cast<TWinControl*>(control)->CreateHandle();
  if (!control->IsWindowed()) control->Invalidate();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  if (control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end()) return;
  if (!control->IsWindowed()) control->Invalidate();
  if (control->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(control);
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
    if (TCustomForm* form = ParentForm()) form->ControlRemoved(w);
    if (!InState(csDestroying)) w->DestroyHandle();
  }
  ForgetCaptureControl(control);
  FControls.erase(std::find(FControls.begin(), FControls.end(), control));
  control->FParent = nullptr;
  if (!InState(csDestroying)) Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return c != control;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() && !allowWinControls) continue;
    if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    if (c->BoundsRect().Contains(p.X, p.Y)) return c;
  }
  return nullptr;
}

void TWinControl::BroadcastMessage(TMessage& m) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    c->WindowProc(m);
    if (m.Result != 0) return;
  }
}

TRect TWinControl::ClientRect() const {
  if (FHandle) {
    TRect r;
    GetClientRect(FHandle, &r);
    return r;
  }
  return {0, 0, FWidth, FHeight};
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  const bool sized = width != FWidth || height != FHeight;
  if (FHandle) {
    SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return;  // WM_WINDOWPOSCHANGED brings the new bounds back and resizes
  }
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  if (FParent && FAlign != alNone) FParent->Realign();
  if (sized) {
    Realign();
    if (!InState(csLoading)) Resize();
  }
}

void TWinControl::SetEnabled(bool enabled) { TControl::SetEnabled(enabled); }

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !(ControlStyle & csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  const auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!FParent) return;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  order = std::clamp(order, 0, int(list.size()));
  list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool value) {
  if (value == FTabStop) return;
  FTabStop = value;
  Perform(CM_TABSTOPCHANGED);
}

bool TWinControl::CanFocus() const {
  const TControl* c = this;
  const TCustomForm* form = ParentForm();
  if (!form) return FVisible && FEnabled;
  while (c && c != form) {
    if (!c->Visible() || !c->Enabled()) return false;
    c = c->Parent();
  }
  return form->Visible() && form->Enabled();
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  TCustomForm* form = ParentForm();
  if (form && form != this) {
    form->FocusControl(this);
    return;
  }
  ::SetFocus(Handle());
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
  std::vector<TWinControl*> list;
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    std::vector<TWinControl*> inner = c->TabOrderList();
    list.insert(list.end(), inner.begin(), inner.end());
  }
  return list;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const {
  const std::vector<TWinControl*> list = TabOrderList();
  if (list.empty()) return nullptr;
  const int count = int(list.size());
  auto found = std::find(list.begin(), list.end(), current);
  int start = found == list.end() ? (forward ? count - 1 : 0) : int(found - list.begin());
  int i = start;
  do {
    if (forward) i = (i + 1) % count;
    else i = (i + count - 1) % count;
    TWinControl* c = list[size_t(i)];
    if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, forward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::KeyDown(WPARAM& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WPARAM& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

bool TWinControl::WantsKey(WPARAM key) {
  const LRESULT code = Perform(WM_GETDLGCODE, key);
  if (key == VK_TAB) return (code & 0x0002) != 0;                                       // DLGC_WANTTAB
  if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) return (code & 0x0001) != 0;  // DLGC_WANTARROWS
  if (key == VK_RETURN || key == VK_ESCAPE) return (code & 0x0004) != 0;               // DLGC_WANTALLKEYS
  return true;
}

bool TWinControl::DoKeyDown(TMessage& m) {
  WPARAM key = m.WParam;
  const TShiftState shift = KeyboardState();
  TCustomForm* form = ParentForm();
  if (form && form != this && form->KeyPreview) {
    form->KeyDown(key, shift);
    if (key == 0) return true;
  }
  KeyDown(key, shift);
  if (key == 0) return true;
  m.WParam = key;
  const bool dialogKey = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_LEFT || key == VK_RIGHT ||
                         key == VK_UP || key == VK_DOWN;
  if (dialogKey && form && !WantsKey(key)) {
    if (form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) return true;
  }
  return false;
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || InState(csLoading | csDestroying)) return;
  TRect r = ClientRect();
  AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
  rect = {rect.Left + BorderWidth, rect.Top + BorderWidth, rect.Right - BorderWidth, rect.Bottom - BorderWidth};
  ++FAlignLevel;
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
      if (c->Align() != pass || !c->Visible()) continue;
      switch (pass) {
        case alTop: c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height()); rect.Top += c->Height(); break;
        case alBottom: c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height()); rect.Bottom -= c->Height(); break;
        case alLeft: c->SetBounds(rect.Left, rect.Top, c->Width(), rect.Height()); rect.Left += c->Width(); break;
        case alRight: c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), rect.Height()); rect.Right -= c->Width(); break;
        case alClient: c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); break;
        default: break;
      }
    }
  }
  --FAlignLevel;
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* target = nullptr;
  TControl* capture = GetCaptureControl();
  const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (capture && capture->Parent() == this && !capture->IsWindowed()) target = capture;
  else if (!capture || capture == this) target = ControlAtPos(p, false);
  if (!target) return false;
  m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.X - target->Left(), p.Y - target->Top()));
  return true;
}

void TWinControl::PaintHandler(TMessage& m) {
  PAINTSTRUCT ps;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(FHandle, &ps);
  if (dc) {
    const int saved = SaveDC(dc);
    // Opaque windowless children cover their own place.
    for (TControl* c : FControls)
      if (!c->IsWindowed() && c->Visible() && (c->ControlStyle & csOpaque))
        ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
    PaintWindow(dc);
    RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
  }
  if (own) EndPaint(FHandle, &ps);
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = first ? std::find(FControls.begin(), FControls.end(), first) : FControls.begin();
  for (; it != FControls.end(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() || !c->Visible()) continue;
    const TRect r = c->BoundsRect();
    if (!RectVisible(dc, &r)) continue;
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      PaintHandler(m);
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
      // A scroll-bar control reports to its parent; the control itself handles it.
      if (m.LParam != 0) {
        if (TWinControl* bar = FindControl(reinterpret_cast<HWND>(m.LParam)); bar && bar != this) {
          m.Result = bar->Perform(m.Msg == WM_HSCROLL ? CN_HSCROLL : CN_VSCROLL, m.WParam, m.LParam);
          return;
        }
      }
      break;
    case WM_ERASEBKGND: {
      if (!(ControlStyle & csOpaque)) {
        const TRect r = ClientRect();
        ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, CreateSolidBrush(ColorToRGB(FColor)));
      }
      m.Result = 1;
      return;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
      const bool changed = wp && FHandle && (FLeft != wp->x || FTop != wp->y || FWidth != wp->cx || FHeight != wp->cy);
      if (wp && FHandle) {
        FLeft = wp->x;
        FTop = wp->y;
        FWidth = wp->cx;
        FHeight = wp->cy;
      }
      DefaultHandler(m);
      if (changed && FParent) FParent->ChildBoundsChanged(this);
      return;
    }
    case WM_SIZE:
      DefaultHandler(m);
      Realign();
      if (!InState(csLoading | csDestroying)) Resize();
      return;
    case WM_SETFOCUS:
      DefaultHandler(m);
      if (TCustomForm* form = ParentForm()) form->SetFocusedControl(this);
      return;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyDown(m)) return;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WPARAM key = m.WParam;
      KeyUp(key, KeyboardState());
      if (key == 0) return;
      break;
    }
    case WM_CHAR: {
      char key = char(m.WParam);
      TCustomForm* form = ParentForm();
      if (form && form != this && form->KeyPreview) {
        form->KeyPress(key);
        if (key == 0) return;
      }
      KeyPress(key);
      if (key == 0) return;
      m.WParam = WPARAM(uint8_t(key));
      // Characters that make up accelerators and default keys go to the dialog first.
      if (form && (key == '\r' || key == 0x1B || key == '\t')) return;
      break;
    }
    case WM_SYSCHAR:
      if (TCustomForm* form = ParentForm())
        if (form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) return;
      break;
    case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
      if (IsControlMouseMsg(m)) return;
      if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
        // A click on a focusable control gives it the focus.
        if (FTabStop && CanFocus() && !Focused()) SetFocus();
      }
      TControl::WndProc(m);
      return;
    case WM_CAPTURECHANGED:
      ForgetCaptureControl(this);
      break;
    case CM_ENABLEDCHANGED:
      if (!FEnabled && Focused()) {
        if (TCustomForm* form = ParentForm()) form->SelectNext(this, true, true);
      }
      if (FHandle) EnableWindow(FHandle, FEnabled);
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      UpdateShowing();
      return;
    case CM_COLORCHANGED: {
      TMessage child{CM_PARENTCOLORCHANGED, 0, 0, 0};
      for (TControl* c : std::vector<TControl*>(FControls)) c->WindowProc(child);
      Invalidate();
      return;
    }
    case CM_FONTCHANGED: {
      TMessage child{CM_PARENTFONTCHANGED, 0, 0, 0};
      for (TControl* c : std::vector<TControl*>(FControls)) c->WindowProc(child);
      Invalidate();
      return;
    }
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      BroadcastMessage(m);
      return;
    case CM_FOCUSCHANGED:
      for (TControl* c : std::vector<TControl*>(FControls)) c->WindowProc(m);
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (FHandle) m.Result = CallWindowProc(FDefWndProc, FHandle, m.Msg, m.WParam, m.LParam);
  else TControl::DefaultHandler(m);
}

const TPropertyTable& TWinControl::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TControl::ClassProperties());
    TPropertyBuilder<TWinControl> b(t);
    b.Integer("TabOrder", kTabOrderRange, [](TWinControl& c, int64_t v) { c.SetTabOrder(int(v)); });
    b.Boolean("TabStop", [](TWinControl& c, bool v) { c.SetTabStop(v); });
    b.Integer("BorderWidth", kSizeRange, [](TWinControl& c, int64_t v) { c.BorderWidth = int(v); });
    b.Event<TNotifyEvent>("OnEnter", [](TWinControl& c, TNotifyEvent e) { c.OnEnter = std::move(e); });
    b.Event<TNotifyEvent>("OnExit", [](TWinControl& c, TNotifyEvent e) { c.OnExit = std::move(e); });
    b.Event<TKeyEvent>("OnKeyDown", [](TWinControl& c, TKeyEvent e) { c.OnKeyDown = std::move(e); });
    b.Event<TKeyPressEvent>("OnKeyPress", [](TWinControl& c, TKeyPressEvent e) { c.OnKeyPress = std::move(e); });
    b.Event<TKeyEvent>("OnKeyUp", [](TWinControl& c, TKeyEvent e) { c.OnKeyUp = std::move(e); });
    b.Boolean("ParentBackground", [](TWinControl& c, bool v) {
      if (v) c.ControlStyle |= csParentBackground;
      else c.ControlStyle &= ~csParentBackground;
    });
    return t;
  }();
  return table;
}
