// Windows: creation and destruction, the window tree, styles, geometry and positions.
#include <algorithm>
#include <climits>
#include <utility>

#include "platform/windowing/WindowSystem.h"

HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);

TWindowSystem& TWindowSystem::Get() {
  static TWindowSystem instance;
  // The window classes every program has.
  static const bool systemClasses = [] {
    WNDCLASS bar;
    bar.lpszClassName = "SCROLLBAR";
    bar.lpfnWndProc = ScrollBarControlProc;
    instance.Classes[bar.lpszClassName] = bar;
    return true;
  }();
  (void)systemClasses;
  return instance;
}

TWindowSystem& WS() { return TWindowSystem::Get(); }

uint64_t TWindowSystem::Now() const { return Display ? Display->Now() : 0; }

void TWindowSystem::Reset() {
  std::vector<HWND> roots = TopLevels;
  for (HWND h : roots)
    if (IsLive(h)) DestroyWindow(h);
  Windows.clear();
  Graveyard.clear();
  TopLevels.clear();
  Posted.clear();
  QuitPosted = false;
  Timers.clear();
  ResetFileWatches();
  DCs.clear();
  Capture = Focus = Active = nullptr;
  AppActive = false;
  Tracked = LastMouseWindow = nullptr;
  LastClick = {};
  ReportedPos.reset();
  HeldInput.reset();
  std::fill(std::begin(KeyDown), std::end(KeyDown), uint8_t(0));
}

void SetDisplay(TDisplay* display) {
  TWindowSystem& ws = WS();
  if (ws.Display) ws.Reset();
  ws.Display = display;
  if (display) ws.CursorPos = display->CursorPos();
}

TDisplay* GetDisplay() { return WS().Display; }

bool IsLive(HWND hwnd) { return hwnd && WS().Windows.count(hwnd) && !hwnd->Destroying; }
bool IsWindow(HWND hwnd) { return hwnd && WS().Windows.count(hwnd); }

HWND RootOf(HWND hwnd) {
  while (hwnd && hwnd->IsChild() && hwnd->Parent) hwnd = hwnd->Parent;
  return hwnd;
}
HWND GetAncestorRoot(HWND hwnd) { return IsWindow(hwnd) ? RootOf(hwnd) : nullptr; }

TPoint OffsetInRoot(HWND hwnd) {
  TPoint p;
  while (hwnd && hwnd->IsChild() && hwnd->Parent) {
    HWND parent = hwnd->Parent;
    p.X += hwnd->WindowRect.Left + parent->ClientRect.Left;
    p.Y += hwnd->WindowRect.Top + parent->ClientRect.Top;
    hwnd = parent;
  }
  return p;
}

TPoint WindowOrigin(HWND hwnd) {
  HWND root = RootOf(hwnd);
  TPoint o = OffsetInRoot(hwnd);
  return {o.X + root->WindowRect.Left, o.Y + root->WindowRect.Top};
}

// ---- Classes -----------------------------------------------------------------------------------

bool RegisterClass(const WNDCLASS& cls) {
  if (cls.lpszClassName.empty()) return false;
  WS().Classes[cls.lpszClassName] = cls;
  return true;
}

// ---- Creation ----------------------------------------------------------------------------------

void RecalcClientRect(HWND hwnd, WINDOWPOS* pos) {
  NCCALCSIZE_PARAMS params;
  const TRect wr = hwnd->WindowRect;
  params.rgrc[0] = wr;
  params.rgrc[1] = wr;
  params.rgrc[2] = hwnd->ClientRect.Offset(wr.Left, wr.Top);
  params.lppos = pos;
  SendMessage(hwnd, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
  TRect c = params.rgrc[0].Offset(-wr.Left, -wr.Top);
  // The client area never leaves the window.
  c.Left = std::clamp(c.Left, 0, wr.Width());
  c.Top = std::clamp(c.Top, 0, wr.Height());
  c.Right = std::clamp(c.Right, c.Left, wr.Width());
  c.Bottom = std::clamp(c.Bottom, c.Top, wr.Height());
  hwnd->ClientRect = c;
}

namespace {

void InsertIntoZOrder(HWND hwnd, HWND after) {
  std::vector<HWND>& list = hwnd->IsChild() ? hwnd->Parent->Children : WS().TopLevels;
  list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
  if (after == HWND_TOP) {
    list.insert(list.begin(), hwnd);
  } else if (after == HWND_BOTTOM) {
    list.push_back(hwnd);
  } else {
    auto it = std::find(list.begin(), list.end(), after);
    list.insert(it == list.end() ? list.end() : it + 1, hwnd);
  }
  // Owned top-level windows stay above their owners.
  if (!hwnd->IsChild() && after == HWND_TOP) {
    std::vector<HWND> owned;
    for (HWND w : list)
      if (w != hwnd) {
        for (HWND o = w->Owner; o; o = o->Owner)
          if (o == hwnd) { owned.push_back(w); break; }
      }
    for (HWND w : owned) {
      list.erase(std::remove(list.begin(), list.end(), w), list.end());
      list.insert(list.begin(), w);
    }
  }
}

// Windows without WS_POPUP are the program's own; a popup with a caption is a dialog of its
// owner (one without an owner stands alone); a popup the pointer passes through is a hint, and
// every other popup (menus, a drag's outline, a borderless form) is shown only for a moment.
TSurfaceKind SurfaceKindOf(HWND hwnd) {
  if (!(hwnd->Style & WS_POPUP)) return skTopLevel;
  if ((hwnd->Style & WS_CAPTION) == WS_CAPTION) return hwnd->Owner ? skDialog : skTopLevel;
  return (hwnd->ExStyle & WS_EX_TRANSPARENT) ? skHint : skMenu;
}

void SendSizeAndMove(HWND hwnd) {
  const TRect& c = hwnd->ClientRect;
  WPARAM kind = (hwnd->Style & WS_MINIMIZE) ? SIZE_MINIMIZED : (hwnd->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  SendMessage(hwnd, WM_SIZE, kind, MAKELPARAM(c.Width(), c.Height()));
  if (!IsLive(hwnd)) return;
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(hwnd->WindowRect.Left + c.Left, hwnd->WindowRect.Top + c.Top));
}

}  // namespace

HWND CreateWindowEx(uint32_t exStyle, const std::string& className, const std::string& title, uint32_t style, int x,
                    int y, int width, int height, HWND parentOrOwner, intptr_t id, void* param) {
  TWindowSystem& ws = WS();
  auto cls = ws.Classes.find(className);
  if (cls == ws.Classes.end()) return nullptr;
  if ((style & WS_CHILD) && !IsLive(parentOrOwner)) return nullptr;
  if (parentOrOwner && !IsLive(parentOrOwner)) return nullptr;

  auto owned = std::make_unique<TWnd>();
  HWND hwnd = owned.get();
  hwnd->ClassName = className;
  hwnd->ClassStyle = cls->second.style;
  hwnd->ClassBackground = cls->second.hbrBackground;
  hwnd->Proc = cls->second.lpfnWndProc;
  hwnd->Style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  hwnd->ExStyle = exStyle;
  hwnd->Text = title;
  hwnd->Id = id;
  if (style & WS_CHILD) hwnd->Parent = parentOrOwner;
  else hwnd->Owner = parentOrOwner ? RootOf(parentOrOwner) : nullptr;
  if (!hwnd->IsChild()) {
    hwnd->Style |= WS_CLIPSIBLINGS;
    if (!(style & WS_POPUP)) hwnd->Style |= WS_CAPTION;  // overlapped windows always have a caption
  }
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  hwnd->WindowRect = Bounds(x, y, width, height);
  hwnd->RestoreRect = hwnd->WindowRect;
  ws.Windows[hwnd] = std::move(owned);
  InsertIntoZOrder(hwnd, HWND_TOP);

  if (!hwnd->IsChild() || (hwnd->Style & WS_THICKFRAME)) {
    MINMAXINFO mmi{};
    SystemMinMaxInfo(hwnd, &mmi);
    SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!IsLive(hwnd)) return nullptr;
    if (hwnd->Style & WS_THICKFRAME) {
      const int w = std::clamp(width, mmi.ptMinTrackSize.X, std::max(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X));
      const int h = std::clamp(height, mmi.ptMinTrackSize.Y, std::max(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y));
      hwnd->WindowRect = Bounds(x, y, w, h);
      hwnd->RestoreRect = hwnd->WindowRect;
    }
  }

  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hwndParent = parentOrOwner;
  cs.x = hwnd->WindowRect.Left;
  cs.y = hwnd->WindowRect.Top;
  cs.cx = hwnd->WindowRect.Width();
  cs.cy = hwnd->WindowRect.Height();
  cs.style = hwnd->Style;
  cs.dwExStyle = exStyle;
  cs.lpszName = title;
  cs.lpszClass = className;
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (IsLive(hwnd)) DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsLive(hwnd)) return nullptr;
  {
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = hwnd->WindowRect;
    SendMessage(hwnd, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&params));
    const TRect wr = hwnd->WindowRect;
    TRect c = params.rgrc[0].Offset(-wr.Left, -wr.Top);
    c.Left = std::clamp(c.Left, 0, wr.Width());
    c.Top = std::clamp(c.Top, 0, wr.Height());
    c.Right = std::clamp(c.Right, c.Left, wr.Width());
    c.Bottom = std::clamp(c.Bottom, c.Top, wr.Height());
    hwnd->ClientRect = c;
  }
  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (IsLive(hwnd)) DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsLive(hwnd)) return nullptr;
  hwnd->Created = true;
  SendSizeAndMove(hwnd);
  if (!IsLive(hwnd)) return nullptr;
  if (!hwnd->IsChild() && ws.Display) {
    const TSurfaceKind kind = SurfaceKindOf(hwnd);
    ws.Display->CreateSurface(hwnd, hwnd->WindowRect, kind, kind == skDialog ? hwnd->Owner : nullptr);
    ws.Display->SetSurfaceTitle(hwnd, title);
    hwnd->SurfaceCreated = true;
  }
  if (style & WS_MAXIMIZE) ShowWindow(hwnd, SW_SHOWMAXIMIZED);
  else if (style & WS_MINIMIZE) ShowWindow(hwnd, SW_SHOWMINIMIZED);
  else if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return IsLive(hwnd) ? hwnd : nullptr;
}

// ---- Destruction -------------------------------------------------------------------------------

void ForgetWindow(HWND hwnd) {
  TWindowSystem& ws = WS();
  if (ws.Capture == hwnd) ws.Capture = nullptr;
  if (ws.Focus == hwnd) ws.Focus = nullptr;
  if (ws.Active == hwnd) ws.Active = nullptr;
  if (ws.Tracked == hwnd) ws.Tracked = nullptr;
  if (ws.LastMouseWindow == hwnd) ws.LastMouseWindow = nullptr;
  if (ws.LastClick.Window == hwnd) ws.LastClick = {};
  ws.Timers.erase(std::remove_if(ws.Timers.begin(), ws.Timers.end(), [hwnd](const TTimer& t) { return t.Window == hwnd; }),
                  ws.Timers.end());
  ws.Posted.erase(std::remove_if(ws.Posted.begin(), ws.Posted.end(), [hwnd](const TMsg& m) { return m.hwnd == hwnd; }),
                  ws.Posted.end());
  for (THeldDC& held : ws.DCs)
    if (held.Window == hwnd) held.Window = nullptr;
  ForgetFileWatches(hwnd);
}

namespace {

void SendDestroy(HWND hwnd) {
  SendMessage(hwnd, WM_DESTROY);
  std::vector<HWND> children = hwnd->Children;
  for (HWND c : children)
    if (IsWindow(c)) SendDestroy(c);
}

void FreeTree(HWND hwnd) {
  std::vector<HWND> children = hwnd->Children;
  for (HWND c : children)
    if (IsWindow(c)) FreeTree(c);
  SendMessage(hwnd, WM_NCDESTROY);
  ForgetWindow(hwnd);
  TWindowSystem& ws = WS();
  std::vector<HWND>& list = hwnd->IsChild() && hwnd->Parent ? hwnd->Parent->Children : ws.TopLevels;
  list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
  if (hwnd->SurfaceCreated && ws.Display) ws.Display->DestroySurface(hwnd);
  hwnd->SurfaceCreated = false;
  hwnd->Children.clear();
  auto it = ws.Windows.find(hwnd);
  if (it != ws.Windows.end()) {
    ws.Graveyard.push_back(std::move(it->second));
    ws.Windows.erase(it);
  }
}

}  // namespace

bool DestroyWindow(HWND hwnd) {
  if (!IsLive(hwnd)) return false;
  TWindowSystem& ws = WS();
  // Owned windows go first.
  std::vector<HWND> owned;
  for (HWND w : ws.TopLevels)
    if (w->Owner == hwnd) owned.push_back(w);
  for (HWND w : owned)
    if (IsLive(w)) DestroyWindow(w);
  if (!IsLive(hwnd)) return true;

  if (hwnd->Style & WS_VISIBLE)
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!IsLive(hwnd)) return true;
  HWND root = RootOf(hwnd);
  if (ws.Active == hwnd || (ws.Focus && RootOf(ws.Focus) == root && !hwnd->IsChild())) {
    // Hand activation to the owner or the next visible top-level window.
    HWND next = nullptr;
    if (hwnd->Owner && IsLive(hwnd->Owner) && (hwnd->Owner->Style & WS_VISIBLE) && !(hwnd->Owner->Style & WS_DISABLED))
      next = hwnd->Owner;
    for (HWND w : ws.TopLevels)
      if (!next && w != hwnd && IsLive(w) && (w->Style & WS_VISIBLE) && !(w->Style & WS_DISABLED) && !(w->Style & WS_POPUP && w->Owner == hwnd))
        next = w;
    ActivateWindow(next, WA_ACTIVE);
  }
  if (ws.Focus && IsChild(hwnd, ws.Focus)) SetFocus(hwnd->IsChild() ? hwnd->Parent : nullptr);
  if (ws.Capture && (ws.Capture == hwnd || IsChild(hwnd, ws.Capture))) ReleaseCapture();
  hwnd->Destroying = true;
  SendDestroy(hwnd);
  FreeTree(hwnd);
  // A destroyed child leaves a hole in its parent.
  if (root != hwnd && IsLive(root)) InvalidateRect(root, nullptr, true);
  return true;
}

void DestroyWindowTree(HWND hwnd) { DestroyWindow(hwnd); }

// ---- Procedures, styles, text ------------------------------------------------------------------

WNDPROC GetWindowProc(HWND hwnd) { return IsWindow(hwnd) ? hwnd->Proc : WNDPROC{}; }

WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) {
  if (!IsWindow(hwnd)) return {};
  return std::exchange(hwnd->Proc, std::move(proc));
}

LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return DefWindowProc(hwnd, msg, wParam, lParam);
  return proc(hwnd, msg, wParam, lParam);
}

uint32_t GetWindowStyle(HWND hwnd) { return IsWindow(hwnd) ? hwnd->Style : 0; }
uint32_t GetWindowExStyle(HWND hwnd) { return IsWindow(hwnd) ? hwnd->ExStyle : 0; }

void SetWindowStyle(HWND hwnd, uint32_t style) {
  if (!IsLive(hwnd)) return;
  struct { uint32_t styleOld, styleNew; } ss{hwnd->Style, style};
  SendMessage(hwnd, WM_STYLECHANGING, WPARAM(-16), reinterpret_cast<LPARAM>(&ss));
  if (!IsLive(hwnd)) return;
  // Visibility, minimised and maximised states change only through ShowWindow.
  const uint32_t kept = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE;
  hwnd->Style = (ss.styleNew & ~kept) | (hwnd->Style & kept);
  SendMessage(hwnd, WM_STYLECHANGED, WPARAM(-16), reinterpret_cast<LPARAM>(&ss));
}

void SetWindowExStyle(HWND hwnd, uint32_t exStyle) {
  if (!IsLive(hwnd)) return;
  struct { uint32_t styleOld, styleNew; } ss{hwnd->ExStyle, exStyle};
  SendMessage(hwnd, WM_STYLECHANGING, WPARAM(-20), reinterpret_cast<LPARAM>(&ss));
  if (!IsLive(hwnd)) return;
  hwnd->ExStyle = ss.styleNew;
  SendMessage(hwnd, WM_STYLECHANGED, WPARAM(-20), reinterpret_cast<LPARAM>(&ss));
}

intptr_t GetWindowId(HWND hwnd) { return IsWindow(hwnd) ? hwnd->Id : 0; }
void* GetWindowUserData(HWND hwnd) { return IsWindow(hwnd) ? hwnd->UserData : nullptr; }
void SetWindowUserData(HWND hwnd, void* data) {
  if (IsWindow(hwnd)) hwnd->UserData = data;
}
std::string GetClassName(HWND hwnd) { return IsWindow(hwnd) ? hwnd->ClassName : std::string(); }

bool SetWindowText(HWND hwnd, const std::string& text) {
  if (!IsLive(hwnd)) return false;
  return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&text)) != 0;
}

std::string GetWindowText(HWND hwnd) { return IsWindow(hwnd) ? hwnd->Text : std::string(); }

// ---- Tree ---------------------------------------------------------------------------------------

HWND GetParent(HWND hwnd) { return IsWindow(hwnd) && hwnd->IsChild() ? hwnd->Parent : nullptr; }
HWND GetWindowOwner(HWND hwnd) { return IsWindow(hwnd) && !hwnd->IsChild() ? hwnd->Owner : nullptr; }

HWND SetParent(HWND hwnd, HWND newParent) {
  if (!IsLive(hwnd) || !hwnd->IsChild() || !IsLive(newParent) || newParent == hwnd || IsChild(hwnd, newParent))
    return nullptr;
  HWND old = hwnd->Parent;
  const bool visible = IsWindowVisible(hwnd);
  if (visible) InvalidateRect(old, nullptr, true);
  old->Children.erase(std::remove(old->Children.begin(), old->Children.end(), hwnd), old->Children.end());
  hwnd->Parent = newParent;
  newParent->Children.insert(newParent->Children.begin(), hwnd);
  if (IsWindowVisible(hwnd)) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return old;
}

std::vector<HWND> GetChildren(HWND hwnd) { return IsWindow(hwnd) ? hwnd->Children : std::vector<HWND>{}; }
std::vector<HWND> GetTopLevelWindows() { return WS().TopLevels; }

bool IsChild(HWND parent, HWND hwnd) {
  if (!IsWindow(parent) || !IsWindow(hwnd)) return false;
  for (HWND p = GetParent(hwnd); p; p = GetParent(p))
    if (p == parent) return true;
  return false;
}

HWND GetTopWindow(HWND parent) {
  if (!parent) return WS().TopLevels.empty() ? nullptr : WS().TopLevels.front();
  return IsWindow(parent) && !parent->Children.empty() ? parent->Children.front() : nullptr;
}

// ---- State --------------------------------------------------------------------------------------

bool IsWindowVisible(HWND hwnd) {
  if (!IsWindow(hwnd)) return false;
  for (HWND w = hwnd; w; w = w->IsChild() ? w->Parent : nullptr)
    if (!(w->Style & WS_VISIBLE)) return false;
  return true;
}

bool IsWindowEnabled(HWND hwnd) { return IsWindow(hwnd) && !(hwnd->Style & WS_DISABLED); }

bool EnableWindow(HWND hwnd, bool enable) {
  if (!IsLive(hwnd)) return false;
  const bool wasDisabled = (hwnd->Style & WS_DISABLED) != 0;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) hwnd->Style &= ~WS_DISABLED;
  else {
    hwnd->Style |= WS_DISABLED;
    TWindowSystem& ws = WS();
    if (ws.Focus && (ws.Focus == hwnd || IsChild(hwnd, ws.Focus))) SetFocus(nullptr);
    if (ws.Capture && (ws.Capture == hwnd || IsChild(hwnd, ws.Capture))) ReleaseCapture();
  }
  SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0);
  return wasDisabled;
}

bool IsIconic(HWND hwnd) { return IsWindow(hwnd) && (hwnd->Style & WS_MINIMIZE); }
bool IsZoomed(HWND hwnd) { return IsWindow(hwnd) && (hwnd->Style & WS_MAXIMIZE); }

// ---- Geometry -----------------------------------------------------------------------------------

bool GetWindowRect(HWND hwnd, TRect* r) {
  if (!IsWindow(hwnd) || !r) return false;
  TPoint o = WindowOrigin(hwnd);
  *r = Bounds(o.X, o.Y, hwnd->WindowRect.Width(), hwnd->WindowRect.Height());
  return true;
}

bool GetClientRect(HWND hwnd, TRect* r) {
  if (!IsWindow(hwnd) || !r) return false;
  *r = {0, 0, hwnd->ClientRect.Width(), hwnd->ClientRect.Height()};
  return true;
}

bool GetRestoredRect(HWND hwnd, TRect* r) {
  if (!IsWindow(hwnd) || !r) return false;
  *r = (hwnd->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ? hwnd->RestoreRect : hwnd->WindowRect;
  return true;
}

bool ClientToScreen(HWND hwnd, TPoint* p) {
  if (!IsWindow(hwnd) || !p) return false;
  TPoint o = WindowOrigin(hwnd);
  p->X += o.X + hwnd->ClientRect.Left;
  p->Y += o.Y + hwnd->ClientRect.Top;
  return true;
}

bool ScreenToClient(HWND hwnd, TPoint* p) {
  if (!IsWindow(hwnd) || !p) return false;
  TPoint o = WindowOrigin(hwnd);
  p->X -= o.X + hwnd->ClientRect.Left;
  p->Y -= o.Y + hwnd->ClientRect.Top;
  return true;
}

int MapWindowPoints(HWND from, HWND to, TPoint* points, int count) {
  TPoint delta;
  if (from) ClientToScreen(from, &delta);
  TPoint back;
  if (to) ScreenToClient(to, &back);
  for (int i = 0; i < count; ++i) {
    points[i].X += delta.X + back.X;
    points[i].Y += delta.Y + back.Y;
  }
  return 0;
}

namespace {

bool InOutline(HWND hwnd, TPoint screen) {
  TPoint o = WindowOrigin(hwnd);
  const int x = screen.X - o.X, y = screen.Y - o.Y;
  if (x < 0 || y < 0 || x >= hwnd->WindowRect.Width() || y >= hwnd->WindowRect.Height()) return false;
  return !hwnd->WindowRgn || hwnd->WindowRgn->Contains(x, y);
}

HWND ChildAtScreen(HWND parent, TPoint screen) {
  TPoint o = WindowOrigin(parent);
  const TRect client = parent->ClientRect.Offset(o.X, o.Y);
  if (!client.Contains(screen.X, screen.Y)) return nullptr;
  for (HWND c : parent->Children) {
    if (!(c->Style & WS_VISIBLE) || c->Destroying || !InOutline(c, screen)) continue;
    if (c->Style & WS_DISABLED) return nullptr;  // disabled children hand the point to their parent
    LRESULT hit = SendMessage(c, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
    if (!IsLive(c)) return nullptr;
    if (hit == HTTRANSPARENT) continue;
    HWND deeper = ChildAtScreen(c, screen);
    return deeper ? deeper : c;
  }
  return nullptr;
}

}  // namespace

HWND WindowFromPoint(TPoint screen) {
  std::vector<HWND> roots = WS().TopLevels;
  for (HWND w : roots) {
    if (!IsLive(w) || !(w->Style & WS_VISIBLE) || MinimizedOutOfSight(w) || !InOutline(w, screen)) continue;
    if (w->ExStyle & WS_EX_TRANSPARENT) continue;  // the pointer passes through (a hint)
    HWND child = ChildAtScreen(w, screen);
    if (child) return child;
    return w;
  }
  return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, TPoint client) {
  if (!IsWindow(parent)) return nullptr;
  for (HWND c : parent->Children)
    if ((c->Style & WS_VISIBLE) && c->WindowRect.Contains(client.X, client.Y)) return c;
  return parent->ClientRect.Offset(-parent->ClientRect.Left, -parent->ClientRect.Top).Contains(client.X, client.Y)
             ? parent
             : nullptr;
}

int SetWindowRgn(HWND hwnd, const TRegion* rgn, bool redraw) {
  if (!IsLive(hwnd)) return 0;
  if (rgn) hwnd->WindowRgn = *rgn;
  else hwnd->WindowRgn.reset();
  if (!hwnd->IsChild() && hwnd->SurfaceCreated && WS().Display)
    WS().Display->SetSurfaceShape(hwnd, hwnd->WindowRgn ? &*hwnd->WindowRgn : nullptr);
  if (redraw && IsWindowVisible(hwnd)) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
    if (hwnd->IsChild()) InvalidateRect(hwnd->Parent, nullptr, true);
  }
  return 1;
}

int GetWindowRgn(HWND hwnd, TRegion* rgn) {
  if (!IsWindow(hwnd) || !rgn || !hwnd->WindowRgn) return RGN_ERROR;
  *rgn = *hwnd->WindowRgn;
  return rgn->Complexity();
}

// ---- Positions ----------------------------------------------------------------------------------

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!IsLive(hwnd)) return false;
  TWindowSystem& ws = WS();
  WINDOWPOS wp;
  wp.hwnd = hwnd;
  wp.hwndInsertAfter = insertAfter;
  wp.x = (flags & SWP_NOMOVE) ? hwnd->WindowRect.Left : x;
  wp.y = (flags & SWP_NOMOVE) ? hwnd->WindowRect.Top : y;
  wp.cx = (flags & SWP_NOSIZE) ? hwnd->WindowRect.Width() : std::max(cx, 0);
  wp.cy = (flags & SWP_NOSIZE) ? hwnd->WindowRect.Height() : std::max(cy, 0);
  wp.flags = flags;
  if (hwnd->Style & WS_VISIBLE) wp.flags &= ~SWP_SHOWWINDOW;
  else wp.flags &= ~SWP_HIDEWINDOW;
  if (!(flags & SWP_NOSENDCHANGING)) {
    SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!IsLive(hwnd)) return false;
  }
  const TRect oldRect = hwnd->WindowRect;
  const TRect newRect = Bounds(wp.x, wp.y, std::max(wp.cx, 0), std::max(wp.cy, 0));
  const bool moved = newRect.Left != oldRect.Left || newRect.Top != oldRect.Top;
  const bool sized = newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height();
  const bool wasVisible = IsWindowVisible(hwnd);
  TRect oldInParent;  // where a child was, in its parent's window coordinates
  if (hwnd->IsChild()) oldInParent = oldRect.Offset(hwnd->Parent->ClientRect.Left, hwnd->Parent->ClientRect.Top);

  hwnd->WindowRect = newRect;
  const TRect oldClient = hwnd->ClientRect;
  if (sized || (wp.flags & SWP_FRAMECHANGED)) RecalcClientRect(hwnd, &wp);
  if (!IsLive(hwnd)) return false;
  if (oldRect.Left + oldClient.Left == newRect.Left + hwnd->ClientRect.Left &&
      oldRect.Top + oldClient.Top == newRect.Top + hwnd->ClientRect.Top)
    wp.flags |= SWP_NOCLIENTMOVE;
  if (oldClient.Width() == hwnd->ClientRect.Width() && oldClient.Height() == hwnd->ClientRect.Height())
    wp.flags |= SWP_NOCLIENTSIZE;
  if (!(wp.flags & SWP_NOZORDER)) InsertIntoZOrder(hwnd, wp.hwndInsertAfter);
  if (wp.flags & SWP_SHOWWINDOW) hwnd->Style |= WS_VISIBLE;
  if (wp.flags & SWP_HIDEWINDOW) hwnd->Style &= ~WS_VISIBLE;
  const bool nowVisible = IsWindowVisible(hwnd);

  if (!hwnd->IsChild() && hwnd->SurfaceCreated && ws.Display) {
    if (moved || sized) ws.Display->SetSurfaceBounds(hwnd, hwnd->WindowRect);
    if (wasVisible != nowVisible) ws.Display->SetSurfaceVisible(hwnd, nowVisible);
    if (nowVisible && !(wp.flags & SWP_NOZORDER) && wp.hwndInsertAfter == HWND_TOP) ws.Display->RaiseSurface(hwnd);
  }
  if (sized && !hwnd->IsChild()) EnsureSurface(hwnd);

  if (!(wp.flags & SWP_NOREDRAW)) {
    const bool frameChanged = (wp.flags & SWP_FRAMECHANGED) || !(oldClient == hwnd->ClientRect);
    if (nowVisible && (!wasVisible || sized || frameChanged || (moved && hwnd->IsChild()))) {
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (hwnd->IsChild() && wasVisible && (moved || sized || !nowVisible)) {
      // What the window covered is uncovered: the parent there, and any sibling under it (one
      // that painted while this window still lay over it drew nothing there).
      HWND parent = hwnd->Parent;
      InvalidateWindowArea(parent, TRegion(oldInParent), true, false, true);
    }
  }
  if (!(flags & SWP_NOACTIVATE) && !hwnd->IsChild() && nowVisible && !(hwnd->Style & WS_DISABLED) &&
      (wp.flags & SWP_SHOWWINDOW) && ws.Active != hwnd)
    ActivateWindow(hwnd, WA_ACTIVE);
  if (!IsLive(hwnd)) return false;
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (!IsLive(hwnd)) return false;
  if ((wp.flags & SWP_HIDEWINDOW) && !hwnd->IsChild() && ws.Active == hwnd) {
    HWND next = nullptr;
    if (hwnd->Owner && IsLive(hwnd->Owner) && IsWindowVisible(hwnd->Owner) && IsWindowEnabled(hwnd->Owner)) next = hwnd->Owner;
    for (HWND w : ws.TopLevels)
      if (!next && w != hwnd && IsLive(w) && IsWindowVisible(w) && IsWindowEnabled(w) && !(w->Style & WS_POPUP)) next = w;
    ActivateWindow(next, WA_ACTIVE);
  }
  if ((wp.flags & SWP_HIDEWINDOW) && ws.Focus && (ws.Focus == hwnd || IsChild(hwnd, ws.Focus)) && hwnd->IsChild())
    SetFocus(hwnd->Parent);
  return true;
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }
