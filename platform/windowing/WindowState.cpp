// Showing, minimising, maximising and restoring windows, and following what a window manager
// does to them from outside: the keyboard focus it gives, the states it sets, the places and
// sizes it chooses.
//
// Without a manager a minimised top-level window becomes a caption bar at the bottom of the work
// area and a maximised one covers the work area with its borders outside it. A window whose
// surface a manager handles is minimised to the manager (its rectangle stays as it was) and
// maximised to the work area (a manager keeps a maximised window's borders inside it); the
// manager is told of every state change, puts a window back in its normal place itself, and its
// own changes are followed.
#include <algorithm>

#include "platform/windowing/WindowSystem.h"

namespace {

TRect MinimizedRect(HWND hwnd) {
  const int w = GetSystemMetrics(SM_CXMINIMIZED), h = GetSystemMetrics(SM_CYMINIMIZED);
  if (hwnd->IsChild()) {
    return Bounds(0, hwnd->Parent->ClientRect.Height() - h, w, h);
  }
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  // First free slot along the bottom of the work area.
  for (int slot = 0;; ++slot) {
    TRect r = Bounds(work.Left + slot * w, work.Bottom - h, w, h);
    bool taken = false;
    for (HWND other : WS().TopLevels)
      if (other != hwnd && (other->Style & WS_MINIMIZE) && other->WindowRect == r) taken = true;
    if (!taken || r.Right > work.Right) return r;
  }
}

void SetPlacement(HWND hwnd, const TRect& r, UINT extra) {
  SetWindowPos(hwnd, HWND_TOP, r.Left, r.Top, r.Width(), r.Height(), SWP_FRAMECHANGED | SWP_STATECHANGED | extra);
}

bool Managed(HWND hwnd) {
  const TWindowSystem& ws = WS();
  return !hwnd->IsChild() && hwnd->SurfaceCreated && ws.Display && ws.Display->IsManaged(hwnd);
}

TSurfaceState StateOf(HWND hwnd) {
  TSurfaceState s;
  s.Minimized = (hwnd->Style & WS_MINIMIZE) != 0;
  s.Maximized = (hwnd->Style & WS_MAXIMIZE) != 0;
  return s;
}

// Tells the window manager the window's state, before the window moves: a manager keeps the
// place a window had before it maximised it, to restore it there.
void TellManager(HWND hwnd) {
  if (Managed(hwnd)) WS().Display->SetSurfaceState(hwnd, StateOf(hwnd));
}

void DropFocusInside(HWND hwnd) {
  TWindowSystem& ws = WS();
  if (IsLive(hwnd) && ws.Focus && (ws.Focus == hwnd || IsChild(hwnd, ws.Focus))) SetFocus(nullptr);
}

}  // namespace

bool ShowWindow(HWND hwnd, int cmd) {
  if (!IsLive(hwnd)) return false;
  const bool wasVisible = (hwnd->Style & WS_VISIBLE) != 0;
  const bool activate = cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWMINNOACTIVE && cmd != SW_HIDE &&
                        !hwnd->IsChild();
  const UINT act = activate ? 0 : SWP_NOACTIVATE;
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return false;
      SendMessage(hwnd, WM_SHOWWINDOW, 0, 0);
      if (!IsLive(hwnd)) return true;
      SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: {
      if (!(hwnd->Style & WS_MINIMIZE)) {
        if (!(hwnd->Style & WS_MAXIMIZE)) hwnd->RestoreRect = hwnd->WindowRect;
        hwnd->Style |= WS_MINIMIZE;  // WS_MAXIMIZE is kept so that a restore maximises again
        if (!wasVisible) SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
        if (!IsLive(hwnd)) return wasVisible;
        if (Managed(hwnd)) {
          // Out of sight on the manager's taskbar; raising it would bring it back.
          TellManager(hwnd);
          const TRect& r = hwnd->WindowRect;
          SetWindowPos(hwnd, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                       SWP_FRAMECHANGED | SWP_STATECHANGED | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        } else {
          SetPlacement(hwnd, MinimizedRect(hwnd), SWP_SHOWWINDOW | SWP_NOACTIVATE);
        }
        if (IsLive(hwnd)) SendMessage(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        DropFocusInside(hwnd);
        if (MinimizedOutOfSight(hwnd)) PointerLeftWindow(hwnd);
      }
      return wasVisible;
    }
    case SW_MAXIMIZE: {
      if (!(hwnd->Style & (WS_MINIMIZE | WS_MAXIMIZE))) hwnd->RestoreRect = hwnd->WindowRect;
      MINMAXINFO mmi{};
      SystemMinMaxInfo(hwnd, &mmi);
      SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
      if (!IsLive(hwnd)) return wasVisible;
      hwnd->Style = (hwnd->Style & ~WS_MINIMIZE) | WS_MAXIMIZE;
      if (!wasVisible) SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
      if (!IsLive(hwnd)) return wasVisible;
      const int w = std::min(mmi.ptMaxSize.X, mmi.ptMaxTrackSize.X), h = std::min(mmi.ptMaxSize.Y, mmi.ptMaxTrackSize.Y);
      TRect r = Bounds(mmi.ptMaxPosition.X, mmi.ptMaxPosition.Y, w, h);
      if (Managed(hwnd)) {
        TRect work;
        SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        if (!r.Intersect(work).IsEmpty()) r = r.Intersect(work);
        TellManager(hwnd);
      }
      SetPlacement(hwnd, r, SWP_SHOWWINDOW | act);
      return wasVisible;
    }
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT: {
      if (hwnd->Style & WS_MINIMIZE) {
        hwnd->Style &= ~WS_MINIMIZE;
        if ((hwnd->Style & WS_MAXIMIZE) && cmd == SW_RESTORE) {
          hwnd->Style &= ~WS_MAXIMIZE;
          return ShowWindow(hwnd, SW_MAXIMIZE);
        }
        hwnd->Style &= ~WS_MAXIMIZE;
        TellManager(hwnd);
        SetPlacement(hwnd, hwnd->RestoreRect, SWP_SHOWWINDOW | act);
        return wasVisible;
      }
      if (hwnd->Style & WS_MAXIMIZE) {
        hwnd->Style &= ~WS_MAXIMIZE;
        if (Managed(hwnd)) {
          // The manager kept the window's normal place when the window was maximised (by the
          // manager itself or at our request) and puts it back there; that move is followed.
          TellManager(hwnd);
          SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_STATECHANGED | SWP_SHOWWINDOW | act);
          return wasVisible;
        }
        SetPlacement(hwnd, hwnd->RestoreRect, SWP_SHOWWINDOW | act);
        return wasVisible;
      }
      [[fallthrough]];
    }
    default:  // SW_SHOW, SW_SHOWNA, SW_SHOWNOACTIVATE
      if (wasVisible) {
        if (activate && WS().Active != RootOf(hwnd)) SetActiveWindow(hwnd);
        return true;
      }
      SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
      if (!IsLive(hwnd)) return false;
      SetWindowPos(hwnd, hwnd->IsChild() ? nullptr : HWND_TOP, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | (hwnd->IsChild() ? SWP_NOZORDER : 0) | act);
      return false;
  }
}

// ---- What the window manager does ----------------------------------------------------------------

bool MinimizedOutOfSight(HWND hwnd) { return IsWindow(hwnd) && (hwnd->Style & WS_MINIMIZE) && Managed(hwnd); }

void FollowNativeFocus(HWND hwnd) {
  TWindowSystem& ws = WS();
  if (!IsLive(hwnd) || hwnd->IsChild() || !IsWindowVisible(hwnd) || (hwnd->ExStyle & WS_EX_NOACTIVATE)) return;
  // The focus goes only to a window on the screen: one the manager brings back from minimised
  // may have the focus before its new state is read, and is taken as restored now, so that its
  // activation hands the focus on to its controls.
  if (MinimizedOutOfSight(hwnd)) {
    TSurfaceState restored = StateOf(hwnd);
    restored.Minimized = false;
    FollowNativeState(hwnd, restored);
    if (!IsLive(hwnd)) return;
  }
  // A window disabled behind a modal dialog hands its activation to the dialog.
  if (hwnd->Style & WS_DISABLED) {
    HWND enabled = nullptr;
    for (HWND w : ws.TopLevels)
      if (!enabled && w->Owner == hwnd && IsLive(w) && IsWindowVisible(w) && IsWindowEnabled(w)) enabled = w;
    if (!enabled) return;
    hwnd = enabled;
  }
  if (ws.Active != hwnd) ActivateWindow(hwnd, WA_ACTIVE);
}

void FollowNativeState(HWND hwnd, const TSurfaceState& state) {
  if (!IsLive(hwnd) || hwnd->IsChild() || StateOf(hwnd) == state) return;
  if (!(hwnd->Style & (WS_MINIMIZE | WS_MAXIMIZE))) hwnd->RestoreRect = hwnd->WindowRect;
  hwnd->Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
  if (state.Minimized) hwnd->Style |= WS_MINIMIZE;
  if (state.Maximized) hwnd->Style |= WS_MAXIMIZE;
  // The place is the manager's, and comes as a change of bounds of its own; the frame and the
  // client area follow the state now.
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_STATECHANGED);
  if (state.Minimized) {
    DropFocusInside(hwnd);
    PointerLeftWindow(hwnd);
  } else if (IsLive(hwnd)) {
    UpdateWindow(hwnd);
  }
}

void FollowNativeBounds(HWND hwnd, const TRect& bounds) {
  if (!IsLive(hwnd) || hwnd->IsChild() || bounds == hwnd->WindowRect) return;
  // Taken as it is: the native window already has this rectangle, whatever limits the window
  // would set itself.
  SetWindowPos(hwnd, nullptr, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
  // Painted before the input that follows: a frame lays out its caption buttons as it paints.
  if (IsLive(hwnd)) UpdateWindow(hwnd);
}
