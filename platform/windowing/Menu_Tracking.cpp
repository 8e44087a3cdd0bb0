// Menus: the popup window class and the entry points of the modal loop (popup menus, menu
// bars tracked by mouse or keyboard, ending a session).
#include "platform/windowing/Menu.h"

#include <algorithm>

#include "platform/windowing/MenuTracker.h"

namespace MenuInternal {

static LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void RegisterPopupClass() {
  WNDCLASS cls;
  cls.lpszClassName = kPopupClass;
  cls.style = CS_SAVEBITS;
  cls.lpfnWndProc = PopupProc;
  RegisterClass(cls);
}

static LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCALCSIZE: {
      TRect& r = *reinterpret_cast<TRect*>(lParam);
      InflateRect(&r, -kPopupBorder, -kPopupBorder);
      r.Right = std::max(r.Right, r.Left);
      r.Bottom = std::max(r.Bottom, r.Top);
      return 0;
    }
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_NCPAINT: {
      if (!IsWindowVisible(hwnd)) return 0;
      HDC dc = GetWindowDC(hwnd);
      TRect wr;
      GetWindowRect(hwnd, &wr);
      PaintPopupFrame(dc, wr.Width(), wr.Height());
      ReleaseDC(hwnd, dc);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc && Tracker()) Tracker()->PaintLevel(hwnd, dc, ps.rcPaint);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_CANCELMODE:
      EndMenu();
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace MenuInternal

using namespace MenuInternal;

// ---- Tracking -------------------------------------------------------------------------------

int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int /*reserved*/, HWND owner, const TRect* exclude) {
  // Without a display there is no input to end the loop.
  if (!Live(menu) || !IsLive(owner) || Tracker() || !GetDisplay()) return 0;
  TMenuTracker tracker(owner, flags, menu, false);
  tracker.TrackPopup({x, y}, flags & (TPM_CENTERALIGN | TPM_RIGHTALIGN | TPM_VCENTERALIGN | TPM_BOTTOMALIGN), exclude);
  if (!tracker.Chosen()) return 0;
  if (flags & TPM_RETURNCMD) return int(tracker.ChosenId());
  if (!(flags & TPM_NONOTIFY) && IsLive(owner)) {
    if (tracker.IsSystem()) {
      TPoint p;
      GetCursorPos(&p);
      PostMessage(owner, WM_SYSCOMMAND, WPARAM(tracker.ChosenId()), MAKELPARAM(p.X, p.Y));
    } else {
      PostMessage(owner, WM_COMMAND, WPARAM(tracker.ChosenId() & 0xFFFF));
    }
  }
  return 1;
}

bool EndMenu() {
  if (!Tracker()) return false;
  Tracker()->Cancel();
  return true;
}

HWND GetMenuWindow(HMENU menu) { return Tracker() && Live(menu) ? Tracker()->WindowOf(menu) : nullptr; }

void TrackMenuBar(HWND hwnd, TPoint screen) {
  if (!IsLive(hwnd) || Tracker() || !GetDisplay() || !GetMenu(hwnd)) return;
  TMenuTracker tracker(hwnd, 0, GetMenu(hwnd), true);
  const int item = tracker.HitBar(screen);
  if (item < 0) return;
  tracker.TrackBar(item, TMenuTracker::bsMouse);
  if (tracker.Chosen() && IsLive(hwnd)) PostMessage(hwnd, WM_COMMAND, WPARAM(tracker.ChosenId() & 0xFFFF));
}

void TrackMenuBarKey(HWND hwnd, WPARAM key) {
  if (!IsLive(hwnd) || Tracker() || !GetDisplay()) return;
  HMENU bar = GetMenu(hwnd);
  if (!bar || bar->Items.empty()) {
    if (key) MessageBeep(0);
    return;
  }
  int item = -1;
  if (key == 0) {
    for (size_t i = 0; i < bar->Items.size() && item < 0; ++i)
      if (!IsSeparator(bar->Items[i])) item = int(i);
  } else {
    for (size_t i = 0; i < bar->Items.size() && item < 0; ++i)
      if (!IsSeparator(bar->Items[i]) && AccelOf(bar->Items[i].Text) == LowerAscii(int(key))) item = int(i);
  }
  if (item < 0) {
    if (key) MessageBeep(0);
    return;
  }
  const TItem it = bar->Items[size_t(item)];
  if (key && !SubOf(it)) {
    // A letter of an item without a popup chooses it at once.
    if (IsSelectable(it)) PostMessage(hwnd, WM_COMMAND, WPARAM(it.Id & 0xFFFF));
    return;
  }
  TMenuTracker tracker(hwnd, 0, bar, true);
  tracker.TrackBar(item, key ? TMenuTracker::bsKeyOpen : TMenuTracker::bsKeyHot);
  if (tracker.Chosen() && IsLive(hwnd)) PostMessage(hwnd, WM_COMMAND, WPARAM(tracker.ChosenId() & 0xFFFF));
}
