// Capture, keyboard focus, activation and mouse-leave tracking.
#include <algorithm>

#include "platform/windowing/WindowSystem.h"

HWND SetCapture(HWND hwnd) {
  TWindowSystem& ws = WS();
  HWND old = ws.Capture;
  if (hwnd && !IsLive(hwnd)) return old;
  if (old == hwnd) return old;
  ws.Capture = hwnd;
  if (old && IsLive(old)) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

bool ReleaseCapture() {
  TWindowSystem& ws = WS();
  HWND old = ws.Capture;
  if (!old) return true;
  ws.Capture = nullptr;
  if (IsLive(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

HWND GetCapture() { return WS().Capture; }
HWND GetFocus() { return WS().Focus; }
HWND GetActiveWindow() { return WS().Active; }
HWND GetForegroundWindow() { return WS().Active; }

void ActivateWindow(HWND hwnd, WPARAM how) {
  TWindowSystem& ws = WS();
  if (hwnd && !IsLive(hwnd)) return;
  HWND old = ws.Active;
  if (old == hwnd) return;
  if (old && IsLive(old)) {
    SendMessage(old, WM_NCACTIVATE, 0, 0);
    if (IsLive(old))
      SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), reinterpret_cast<LPARAM>(hwnd));
  }
  if (ws.Active != old) return;  // a handler activated something else meanwhile
  ws.Active = hwnd;
  if (!hwnd) {
    if (ws.AppActive) {
      ws.AppActive = false;
      for (HWND w : std::vector<HWND>(ws.TopLevels))
        if (IsLive(w)) SendMessage(w, WM_ACTIVATEAPP, 0, 0);
    }
    if (ws.Focus) {
      HWND f = ws.Focus;
      ws.Focus = nullptr;
      if (IsLive(f)) SendMessage(f, WM_KILLFOCUS, 0, 0);
    }
    return;
  }
  if (!(hwnd->Style & WS_CHILD)) {
    auto& list = ws.TopLevels;
    if (!list.empty() && list.front() != hwnd) SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (ws.Display && hwnd->SurfaceCreated) {
      ws.Display->RaiseSurface(hwnd);
      ws.Display->SetKeyboardFocus(hwnd);
    }
  }
  if (!ws.AppActive) {
    ws.AppActive = true;
    for (HWND w : std::vector<HWND>(ws.TopLevels))
      if (IsLive(w)) SendMessage(w, WM_ACTIVATEAPP, 1, 0);
  }
  if (!IsLive(hwnd) || ws.Active != hwnd) return;
  SendMessage(hwnd, WM_NCACTIVATE, 1, 0);
  if (IsLive(hwnd) && ws.Active == hwnd)
    SendMessage(hwnd, WM_ACTIVATE, MAKEWPARAM(unsigned(how), IsIconic(hwnd) ? 1 : 0), reinterpret_cast<LPARAM>(old));
  // A focus left in the window that was active goes away.
  if (ws.Focus && IsLive(ws.Focus) && RootOf(ws.Focus) != hwnd && ws.Active == hwnd) SetFocus(nullptr);
}

HWND SetActiveWindow(HWND hwnd) {
  TWindowSystem& ws = WS();
  HWND old = ws.Active;
  if (!IsLive(hwnd)) return nullptr;
  HWND root = RootOf(hwnd);
  if (!IsWindowVisible(root) || (root->Style & WS_DISABLED)) return nullptr;
  ActivateWindow(root, WA_ACTIVE);
  return old;
}

bool SetForegroundWindow(HWND hwnd) { return SetActiveWindow(hwnd) != nullptr || WS().Active == RootOf(hwnd); }

HWND SetFocus(HWND hwnd) {
  TWindowSystem& ws = WS();
  HWND old = ws.Focus;
  if (hwnd == old) return old;
  if (hwnd) {
    if (!IsLive(hwnd)) return nullptr;
    for (HWND w = hwnd; w; w = w->IsChild() ? w->Parent : nullptr)
      if (w->Style & (WS_DISABLED | WS_MINIMIZE)) return nullptr;
    HWND root = RootOf(hwnd);
    if (root != ws.Active) {
      ActivateWindow(root, WA_ACTIVE);
      if (ws.Active != root || !IsLive(hwnd)) return nullptr;
      old = ws.Focus;
      if (old == hwnd) return old;
    }
  }
  if (old && IsLive(old)) {
    SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && !IsLive(hwnd)) return nullptr;
  }
  ws.Focus = hwnd;
  if (hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

bool TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  TWindowSystem& ws = WS();
  if (!tme) return false;
  if (tme->dwFlags & TME_QUERY) {
    tme->dwFlags = ws.Tracked ? (TME_LEAVE | (ws.TrackedNonClient ? TME_NONCLIENT : 0)) : 0;
    tme->hwndTrack = ws.Tracked;
    return true;
  }
  const bool nonClient = (tme->dwFlags & TME_NONCLIENT) != 0;
  if (tme->dwFlags & TME_CANCEL) {
    if (ws.Tracked == tme->hwndTrack && ws.TrackedNonClient == nonClient) ws.Tracked = nullptr;
    return true;
  }
  if (!(tme->dwFlags & TME_LEAVE) || !IsLive(tme->hwndTrack)) return false;
  // A request for a window the pointer is not over is answered at once. Whether it is over it
  // is judged from where the pointer is now, not from the last input message: that may be
  // stale (input swallowed by a disabled window, messages sent to a capturing window), and a
  // leave answered from stale state would be asked for again at once, for ever. A request for
  // the wrong part of the window is tracked; the next pointer move ends it.
  const bool overIt = WindowFromPoint(ws.CursorPos) == tme->hwndTrack;
  if (!overIt && ws.Capture != tme->hwndTrack) {
    PostMessage(tme->hwndTrack, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return true;
  }
  ws.Tracked = tme->hwndTrack;
  ws.TrackedNonClient = nonClient;
  return true;
}

bool GetCursorPos(TPoint* p) {
  if (!p) return false;
  TWindowSystem& ws = WS();
  *p = ws.CursorPos;
  return true;
}

int16_t GetKeyState(int vk) { return int16_t(WS().KeyDown[vk & 0xFF] ? 0x8000 : 0); }
int16_t GetAsyncKeyState(int vk) { return GetKeyState(vk); }
uint32_t GetDoubleClickTime() { return 500; }
