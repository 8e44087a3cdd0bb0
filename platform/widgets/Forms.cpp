#include "platform/widgets/Forms.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/components/LayoutReader.h"
#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/HintWindow.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/PropertyRanges.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

std::string ExceptionMessageText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

// ---- TControlScrollBar -------------------------------------------------------------------------

void TControlScrollBar::Assign(const TPersistent* source) {
  if (auto* s = dynamic_cast<const TControlScrollBar*>(source)) {
    Range = s->Range;
    Increment = s->Increment;
    Visible = s->Visible;
    Smooth = s->Smooth;
    Position = s->Position;
    Margin = s->Margin;
    return;
  }
  TPersistent::Assign(source);
}

const TPropertyTable& TControlScrollBar::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TControlScrollBar> b(t);
    b.Integer("Range", kScrollRange, [](TControlScrollBar& s, int64_t v) { s.Range = int(v); });
    b.Integer("Increment", kScrollIncrementRange, [](TControlScrollBar& s, int64_t v) { s.Increment = int(v); });
    b.Boolean("Visible", [](TControlScrollBar& s, bool v) { s.Visible = v; });
    b.Boolean("Smooth", [](TControlScrollBar& s, bool v) { s.Smooth = v; });
    b.Integer("Position", kScrollRange, [](TControlScrollBar& s, int64_t v) { s.Position = int(v); });
    b.Integer("Margin", kScrollRange, [](TControlScrollBar& s, int64_t v) { s.Margin = int(v); });
    return t;
  }();
  return table;
}

// ---- TCustomForm -------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner), FCanvas(this) {
  ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  FVisible = false;
  FColor = clBtnFace;
  FParentColor = false;
  FParentFont = false;
  FLeft = 0;
  FTop = 0;
  FWidth = 320;
  FHeight = 240;
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::BeforeDestruction() {
  Destroying();
  if (OnDestroy) OnDestroy(this);
  if (Screen) Screen->RemoveForm(this);
  TWinControl::BeforeDestruction();
}

void TCustomForm::ReadStoredLayout(const std::string& text, TLayoutContext context) {
  ReadLayout(this, text, std::move(context));
  DoCreate();
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (FVisible) {
    // A form stored as visible shows once it exists.
    FVisible = false;
    Show();
  }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == FBorderIcons) return;
  FBorderIcons = icons;
  if (HandleAllocated()) {
    TCreateParams p;
    CreateParams(p);
    SetWindowStyle(FHandle, p.Style | (GetWindowStyle(FHandle) & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE)));
    SetWindowExStyle(FHandle, p.ExStyle);
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

TWindowState TCustomForm::WindowState() const {
  if (HandleAllocated()) {
    if (IsIconic(FHandle)) return wsMinimized;
    if (IsZoomed(FHandle)) return wsMaximized;
    return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState state) {
  FWindowState = state;
  if (!HandleAllocated() || !FVisible) return;
  ShowWindow(FHandle, state == wsMinimized ? SW_MINIMIZE : state == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  FMenu = menu;
  if (HandleAllocated()) ::SetMenu(FHandle, menu ? menu->Handle() : nullptr);
}

TRect TCustomForm::ClientRect() const {
  if (HandleAllocated()) return TWinControl::ClientRect();
  // Before the window exists, the frame its styles will give.
  int border = 0, caption = 0;
  switch (FBorderStyle) {
    case bsNone: break;
    case bsSizeable: border = GetSystemMetrics(SM_CXSIZEFRAME); caption = GetSystemMetrics(SM_CYCAPTION); break;
    case bsSizeToolWin: border = GetSystemMetrics(SM_CXSIZEFRAME); caption = GetSystemMetrics(SM_CYSMCAPTION); break;
    case bsToolWindow: border = GetSystemMetrics(SM_CXFIXEDFRAME); caption = GetSystemMetrics(SM_CYSMCAPTION); break;
    default: border = GetSystemMetrics(SM_CXFIXEDFRAME); caption = GetSystemMetrics(SM_CYCAPTION); break;
  }
  const int menu = FMenu ? GetSystemMetrics(SM_CYMENU) : 0;
  return {0, 0, std::max(0, FWidth - 2 * border), std::max(0, FHeight - 2 * border - caption - menu)};
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  params.ExStyle = 0;
  switch (FBorderStyle) {
    case bsNone: params.Style |= WS_POPUP; break;
    case bsSingle: params.Style |= WS_CAPTION; break;
    case bsSizeable: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: params.Style |= WS_POPUP | WS_CAPTION; params.ExStyle |= WS_EX_DLGMODALFRAME; break;
    case bsToolWindow: params.Style |= WS_CAPTION; params.ExStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin: params.Style |= WS_CAPTION | WS_THICKFRAME; params.ExStyle |= WS_EX_TOOLWINDOW; break;
  }
  if (FBorderStyle != bsNone && (FBorderIcons & biSystemMenu)) {
    params.Style |= WS_SYSMENU;
    if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
      if (FBorderIcons & biMinimize) params.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons & biMaximize) params.Style |= WS_MAXIMIZEBOX;
    }
    if ((FBorderIcons & biHelp) && (FBorderStyle == bsDialog || !(FBorderIcons & (biMinimize | biMaximize))))
      params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (!FEnabled) params.Style |= WS_DISABLED;
  params.WndParent = nullptr;
  if (Application && Application->MainForm() && Application->MainForm() != this && Application->MainForm()->HandleAllocated())
    params.WndParent = Application->MainForm()->Handle();
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (FHandle && FMenu) ::SetMenu(FHandle, FMenu->Handle());
}

void TCustomForm::PaintWindow(HDC dc) {
  if (!OnPaint) return;
  FCanvas.FreeHandle();
  FCanvas.Lock();
  FCanvas.SetHandle(dc);
  OnPaint(this);
  FCanvas.SetHandle(nullptr);
  FCanvas.Unlock();
}

void TCustomForm::PlaceOnFirstShow() {
  if (FPlaced) return;
  FPlaced = true;
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  TCustomForm* reference = nullptr;
  if (Position == poMainFormCenter && Application) reference = Application->MainForm();
  if (Position == poOwnerFormCenter) reference = dynamic_cast<TCustomForm*>(Owner());
  if (reference == this) reference = nullptr;
  if (Position == poScreenCenter || Position == poDesktopCenter || ((Position == poMainFormCenter || Position == poOwnerFormCenter) && !reference)) {
    SetBounds(work.Left + (work.Width() - FWidth) / 2, work.Top + (work.Height() - FHeight) / 2, FWidth, FHeight);
  } else if (reference) {
    SetBounds(reference->Left() + (reference->Width() - FWidth) / 2, reference->Top() + (reference->Height() - FHeight) / 2,
              FWidth, FHeight);
  }
  // A window that would stand partly off the work area (a small screen, or one shown at a
  // scale) is moved in as far as its size allows.
  if (Parent()) return;
  const int left = std::max(work.Left, std::min(Left(), work.Right - FWidth));
  const int top = std::max(work.Top, std::min(Top(), work.Bottom - FHeight));
  if (left != Left() || top != Top()) SetBounds(left, top, FWidth, FHeight);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) SetActiveWindow(FHandle);
}

void TCustomForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  if (action == caHide) Hide();
  else if (action == caMinimize) SetWindowState(wsMinimized);
  else Release();
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FModal) throw std::logic_error("Cannot make a visible window modal");
  HWND previous = GetActiveWindow();
  std::vector<TCustomForm*> disabled;
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f != this && f->HandleAllocated() && IsWindowEnabled(f->Handle())) {
        EnableWindow(f->Handle(), false);
        disabled.push_back(f);
      }
    }
  FModal = true;
  FModalResult = mrNone;
  Show();
  while (FModalResult == mrNone) {
    Application->HandleMessage();
    if (Application->Terminated()) FModalResult = mrCancel;
    else if (FModalResult != mrNone) {
      // The dialog may refuse to close.
      TCloseAction action = caHide;
      if (!CloseQuery()) action = caNone;
      else if (OnClose) OnClose(this, action);
      if (action == caNone) FModalResult = mrNone;
    }
    if (InState(csDestroying)) break;
  }
  const TModalResult result = FModalResult;
  FModal = false;
  for (TCustomForm* f : disabled)
    if (f->HandleAllocated()) EnableWindow(f->Handle(), true);
  Hide();
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  return result;
}

void TCustomForm::Release() {
  if (HandleAllocated()) PostMessage(FHandle, CM_RELEASE);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl) return;
  FActiveControl = control;
  if (control && FActive && control->HandleAllocated() && control->CanFocus()) control->SetFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (!control || !control->CanFocus()) return;
  if (FActive || !HandleAllocated()) {
    FActiveControl = control;
    if (control->HandleAllocated() || HandleAllocated()) ::SetFocus(control->Handle());
  } else {
    FActiveControl = control;
  }
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == FFocusedControl) return;
  TWinControl* old = FFocusedControl;
  FFocusedControl = control;
  if (control != this) FActiveControl = control;
  if (old && old != this && !old->InState(csDestroying)) old->Perform(CM_EXIT);
  if (control && control != this && FFocusedControl == control) control->Perform(CM_ENTER);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

void TCustomForm::ControlRemoved(TWinControl* control) {
  if (FActiveControl == control || (FActiveControl && control->ContainsControl(FActiveControl))) FActiveControl = nullptr;
  if (FFocusedControl == control || (FFocusedControl && control->ContainsControl(FFocusedControl))) FFocusedControl = nullptr;
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ACTIVATE: {
      DefaultHandler(m);
      const bool active = LOWORD(m.WParam) != WA_INACTIVE;
      if (active == FActive) return;
      FActive = active;
      if (active) {
        TWinControl* focus = FActiveControl;
        if (!focus) focus = FindNextControl(nullptr, true, true, false);
        if (focus && focus->CanFocus()) focus->SetFocus();
        Activate();
      } else {
        if (Application) Application->CancelHint();
        Deactivate();
      }
      return;
    }
    case WM_CLOSE:
      Close();
      return;
    case WM_COMMAND:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
      if (TMenu::RouteMessage(m)) return;
      break;
    case CM_VISIBLECHANGED:
      if (FVisible) {
        HandleNeeded();
        PlaceOnFirstShow();
        ShowWindow(FHandle, FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
                            : FWindowState == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOW);
        UpdateScrollBars();
        if (OnShow) OnShow(this);
      } else if (HandleAllocated()) {
        if (OnHide) OnHide(this);
        ShowWindow(FHandle, SW_HIDE);
      }
      return;
    case WM_SIZE:
      if (m.WParam == SIZE_MINIMIZED) FWindowState = wsMinimized;
      else if (m.WParam == SIZE_MAXIMIZED) FWindowState = wsMaximized;
      else FWindowState = wsNormal;
      TWinControl::WndProc(m);
      if (m.WParam != SIZE_MINIMIZED) UpdateScrollBars();
      return;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (m.LParam != 0) break;  // from a scroll-bar control
      HandleScroll(m.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, m.WParam);
      return;
    case CM_CONTROLLISTCHANGE:
      TWinControl::WndProc(m);
      UpdateScrollBars();
      return;
    case CM_DIALOGKEY: {
      const WPARAM key = m.WParam;
      if (key == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
        SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
        m.Result = 1;
        return;
      }
      if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
        if (FActiveControl && FActiveControl->Parent()) {
          FActiveControl->Parent()->SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
          m.Result = 1;
        }
        return;
      }
      BroadcastMessage(m);
      return;
    }
    default:
      break;
  }
  TWinControl::WndProc(m);
}

const TPropertyTable& TCustomForm::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TWinControl::ClassProperties());
    TPropertyBuilder<TCustomForm> b(t);
    b.Enum<TFormBorderStyle>("BorderStyle", {{"bsNone", bsNone}, {"bsSingle", bsSingle}, {"bsSizeable", bsSizeable},
                                             {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow},
                                             {"bsSizeToolWin", bsSizeToolWin}},
                             [](TCustomForm& f, TFormBorderStyle v) { f.SetBorderStyle(v); });
    b.Set("BorderIcons", {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize}, {"biHelp", biHelp}},
          [](TCustomForm& f, uint32_t v) { f.SetBorderIcons(v); });
    b.Enum<TWindowState>("WindowState", {{"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}},
                         [](TCustomForm& f, TWindowState v) { f.SetWindowState(v); });
    b.Enum<TPosition>("Position", {{"poDesigned", poDesigned}, {"poDefault", poDefault}, {"poDefaultPosOnly", poDefaultPosOnly},
                                   {"poDefaultSizeOnly", poDefaultSizeOnly}, {"poScreenCenter", poScreenCenter},
                                   {"poDesktopCenter", poDesktopCenter}, {"poMainFormCenter", poMainFormCenter},
                                   {"poOwnerFormCenter", poOwnerFormCenter}},
                      [](TCustomForm& f, TPosition v) { f.Position = v; });
    b.Boolean("AutoScroll", [](TCustomForm& f, bool v) { f.AutoScroll = v; });
    b.Boolean("KeyPreview", [](TCustomForm& f, bool v) { f.KeyPreview = v; });
    b.Object("HorzScrollBar", [](TCustomForm& f) -> TPersistent* { return f.HorzScrollBar(); });
    b.Object("VertScrollBar", [](TCustomForm& f) -> TPersistent* { return f.VertScrollBar(); });
    b.Object("Icon", [](TCustomForm& f) -> TPersistent* { return f.Icon(); });
    b.Reference<TMainMenu>("Menu", [](TCustomForm& f, TMainMenu* m) { f.SetMenu(m); });
    b.Reference<TWinControl>("ActiveControl", [](TCustomForm& f, TWinControl* c) { f.SetActiveControl(c); });
    b.Event<TNotifyEvent>("OnCreate", [](TCustomForm& f, TNotifyEvent e) { f.OnCreate = std::move(e); });
    b.Event<TNotifyEvent>("OnDestroy", [](TCustomForm& f, TNotifyEvent e) { f.OnDestroy = std::move(e); });
    b.Event<TNotifyEvent>("OnActivate", [](TCustomForm& f, TNotifyEvent e) { f.OnActivate = std::move(e); });
    b.Event<TNotifyEvent>("OnDeactivate", [](TCustomForm& f, TNotifyEvent e) { f.OnDeactivate = std::move(e); });
    b.Event<TNotifyEvent>("OnShow", [](TCustomForm& f, TNotifyEvent e) { f.OnShow = std::move(e); });
    b.Event<TNotifyEvent>("OnHide", [](TCustomForm& f, TNotifyEvent e) { f.OnHide = std::move(e); });
    b.Event<TNotifyEvent>("OnPaint", [](TCustomForm& f, TNotifyEvent e) { f.OnPaint = std::move(e); });
    b.Event<TCloseEvent>("OnClose", [](TCustomForm& f, TCloseEvent e) { f.OnClose = std::move(e); });
    b.Event<TCloseQueryEvent>("OnCloseQuery", [](TCustomForm& f, TCloseQueryEvent e) { f.OnCloseQuery = std::move(e); });
    for (const char* ignored : {"OldCreateOrder", "FormStyle", "Scaled", "DefaultMonitor", "PrintScale", "WindowMenu"})
      b.Custom(ignored, [](TCustomForm&, const TLayoutValue&, TLayoutContext&) {});
    return t;
  }();
  return table;
}

void TCustomForm::UpdateScrollBars() {
  if (!HandleAllocated() || FUpdatingScrollBars || InState(csLoading | csDestroying)) return;
  FUpdatingScrollBars = true;
  for (int pass = 0; pass < 2; ++pass) {  // showing one bar shrinks the client for the other
    for (int bar : {SB_HORZ, SB_VERT}) {
      TControlScrollBar& settings = bar == SB_VERT ? FVertScrollBar : FHorzScrollBar;
      const int offset = GetScrollPos(FHandle, bar);
      int extent = settings.Range;
      if (AutoScroll)
        for (int i = 0; i < ControlCount(); ++i) {
          TControl* c = Controls(i);
          if (!c->Visible() || c->Align() != alNone) continue;
          extent = std::max(extent, (bar == SB_VERT ? c->Top() + c->Height() : c->Left() + c->Width()) + offset + settings.Margin);
        }
      TRect client;
      GetClientRect(FHandle, &client);
      const int size = bar == SB_VERT ? client.Height() : client.Width();
      const bool show = settings.Visible && (AutoScroll || settings.Range > 0) && extent > size;
      if (!show && offset != 0) ScrollBy(bar == SB_HORZ ? offset : 0, bar == SB_VERT ? offset : 0);
      ShowScrollBar(FHandle, bar, show);
      if (show) {
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = 0;
        info.nMax = extent - 1;
        info.nPage = UINT(size);
        SetScrollInfo(FHandle, bar, &info, true);
        const int clamped = GetScrollPos(FHandle, bar);
        if (clamped != offset) ScrollBy(bar == SB_HORZ ? offset - clamped : 0, bar == SB_VERT ? offset - clamped : 0);
      } else {
        SetScrollPos(FHandle, bar, 0, false);
      }
      settings.Position = GetScrollPos(FHandle, bar);
    }
  }
  FUpdatingScrollBars = false;
}

void TCustomForm::ScrollBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  EnableAlign();
  Invalidate();
}

void TCustomForm::HandleScroll(int bar, WPARAM code) {
  if (!HandleAllocated()) return;
  TControlScrollBar& settings = bar == SB_VERT ? FVertScrollBar : FHorzScrollBar;
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  GetScrollInfo(FHandle, bar, &info);
  const int page = std::max(1, int(info.nPage));
  int pos = info.nPos;
  switch (LOWORD(code)) {
    case SB_LINEUP: pos -= settings.Increment; break;
    case SB_LINEDOWN: pos += settings.Increment; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK: if (!settings.Smooth) pos = int(HIWORD(code)); else return; break;
    case SB_THUMBPOSITION: pos = int(HIWORD(code)); break;
    case SB_TOP: pos = info.nMin; break;
    case SB_BOTTOM: pos = info.nMax; break;
    default: return;
  }
  const int old = info.nPos;
  SetScrollPos(FHandle, bar, pos, true);
  const int now = GetScrollPos(FHandle, bar);
  if (now != old) ScrollBy(bar == SB_HORZ ? old - now : 0, bar == SB_VERT ? old - now : 0);
  settings.Position = now;
}

void TCustomForm::ScrollInView(TControl* control) {
  if (!control || !HandleAllocated()) return;
  TRect client;
  GetClientRect(FHandle, &client);
  int dx = 0, dy = 0;
  if (control->Top() < 0) dy = -control->Top();
  else if (control->Top() + control->Height() > client.Height()) dy = client.Height() - control->Top() - control->Height();
  if (control->Left() < 0) dx = -control->Left();
  else if (control->Left() + control->Width() > client.Width()) dx = client.Width() - control->Left() - control->Width();
  if (dy) SetScrollPos(FHandle, SB_VERT, GetScrollPos(FHandle, SB_VERT) - dy, true);
  if (dx) SetScrollPos(FHandle, SB_HORZ, GetScrollPos(FHandle, SB_HORZ) - dx, true);
  ScrollBy(dx, dy);
}

// ---- TScreen -----------------------------------------------------------------------------------

TCustomForm* TScreen::ActiveForm() const {
  HWND active = GetActiveWindow();
  for (TCustomForm* f : FForms)
    if (f->HandleAllocated() && f->Handle() == active) return f;
  return nullptr;
}

TRect TScreen::WorkAreaRect() const {
  TRect r;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

void TScreen::AddForm(TCustomForm* form) {
  if (std::find(FForms.begin(), FForms.end(), form) == FForms.end()) FForms.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) { FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end()); }

// ---- TApplication ------------------------------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  Application = this;
  Screen = new TScreen(this);
}

TApplication::~TApplication() {
  HideHint();
  if (FHintWindow) TComponent::Free(FHintWindow);
  FHintWindow = nullptr;
  FHintControl = nullptr;
  // Forms first, while the screen still lists them.
  for (int i = ComponentCount() - 1; i >= 0; --i)
    if (Components(i) != Screen) TComponent::Free(Components(i));
  FHooks.clear();
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
  FHandle = nullptr;
  if (Application == this) Application = nullptr;
  Screen = nullptr;
}

void TApplication::Initialize() {}

HWND TApplication::Handle() {
  if (FHandle && IsWindow(FHandle)) return FHandle;
  static bool registered = false;
  if (!registered) {
    WNDCLASS cls;
    cls.lpszClassName = "TApplication";
    cls.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
      if (Application && Application->FHandle == hwnd) {
        if (msg == WM_TIMER && wParam == kHintTimer) {
          Application->HintPauseOver();
          return 0;
        }
        TMessage m{msg, wParam, lParam, 0};
        // A hook may remove itself (or others) while it runs.
        const auto hooks = Application->FHooks;
        for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
          if (it->second && it->second(m)) return m.Result;
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    };
    registered = RegisterClass(cls);
  }
  FHandle = CreateWindowEx(WS_EX_TOOLWINDOW, "TApplication", Title(), WS_POPUP, 0, 0, 0, 0, nullptr);
  return FHandle;
}

int TApplication::HookMainWindow(TWindowHook hook) {
  FHooks.emplace_back(FNextHook, std::move(hook));
  return FNextHook++;
}

void TApplication::UnhookMainWindow(int id) {
  std::erase_if(FHooks, [id](const auto& h) { return h.first == id; });
}

std::string TApplication::Title() const {
  if (!FTitle.empty()) return FTitle;
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return "Application";
  std::string name(path, size_t(n));
  name = name.substr(name.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
  return name;
}

void TApplication::Run() {
  if (FMainForm && !FMainForm->Visible()) FMainForm->Show();
  while (!FTerminated && FMainForm) HandleMessage();
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_RESTORE);
}

void TApplication::ProcessMessages() {
  TMsg msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  TMsg msg;
  if (!ProcessMessage(msg)) Idle();
}

bool TApplication::ProcessMessage(TMsg& msg) {
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  try {
    if (msg.message == CM_RELEASE) {
      if (auto* form = dynamic_cast<TCustomForm*>(FindControl(msg.hwnd))) TComponent::Free(form);
      return true;
    }
    switch (msg.message) {
      case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
      case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_MOUSEWHEEL:
        CancelHint();
        break;
      default:
        break;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    switch (msg.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE:
      case WM_MOUSELEAVE:
      case WM_NCMOUSELEAVE:
        TrackMouseControl();
        break;
      default:
        break;
    }
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::Idle() {
  TControlCanvas::FreeDeviceContexts();
  try {
    TrackMouseControl();
    if (OnIdle) OnIdle(this);
  } catch (...) {
    HandleException(this);
  }
  if (!FTerminated) WaitMessage();
}

void TApplication::TrackMouseControl() {
  TPoint p;
  GetCursorPos(&p);
  HWND under = WindowFromPoint(p);
  // A window disabled behind a modal dialog shows no hover.
  if (under && !IsWindowEnabled(GetAncestorRoot(under))) under = nullptr;
  TControl* control = FindControl(under) ? FindDragTarget(p, true) : nullptr;
  if (control && !control->Enabled()) control = nullptr;
  HintMouseMove(FindControl(under) ? FindHintTarget(p) : nullptr, p);
  if (under && FindControl(under)) {
    // Ask for a leave notice so that leaving our windows is noticed too.
    TRACKMOUSEEVENT t;
    t.dwFlags = TME_LEAVE;
    t.hwndTrack = under;
    TPoint local = p;
    ::ScreenToClient(under, &local);
    TRect client;
    GetClientRect(under, &client);
    if (!client.Contains(local.X, local.Y)) t.dwFlags |= TME_NONCLIENT;
    TRACKMOUSEEVENT query;
    query.dwFlags = TME_QUERY;
    TrackMouseEvent(&query);
    if (query.hwndTrack != under || query.dwFlags != t.dwFlags) TrackMouseEvent(&t);
  }
  if (control == FMouseControl) return;
  TControl* old = FMouseControl;
  FMouseControl = control;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  if (control && FMouseControl == control) control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(old));
}

void TApplication::CancelMouseControl(TControl* control) {
  if (FMouseControl == control) FMouseControl = nullptr;
  if (FHintControl == control) {
    HideHint();
    FHintControl = nullptr;
  }
}

void TApplication::HandleException(TObject*) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& e) {
    if (OnException) OnException(this, e);
    else ShowException(e);
  } catch (...) {
    std::runtime_error unknown("Unknown error");
    ShowException(unknown);
  }
}

void TApplication::ShowException(const std::exception& e) {
  MessageBox(ExceptionMessageText(e.what()), Title(), MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  return ShowMessageBox(text, caption, flags);
}
