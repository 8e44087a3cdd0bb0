// Menus: window menu bars (the bar menu of a window, its height and painting).
#include "platform/windowing/Menu.h"

#include <algorithm>

#include "platform/windowing/MenuTracker.h"

using namespace MenuInternal;

bool SetMenu(HWND hwnd, HMENU menu) {
  if (!IsLive(hwnd) || hwnd->IsChild() || (menu && !Live(menu))) return false;
  SweepWindows();
  TWindowMenus& e = EntryOf(hwnd);
  e.Bar = menu;
  e.Cached = false;
  RecalcFrame(hwnd);
  return true;
}

HMENU GetMenu(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  SweepWindows();
  return BarMenuOf(hwnd);
}

bool DrawMenuBar(HWND hwnd) {
  if (!IsLive(hwnd)) return false;
  SweepWindows();
  auto it = MS().Windows.find(hwnd);
  if (it != MS().Windows.end()) it->second.Cached = false;
  RecalcFrame(hwnd);
  return true;
}

bool GetMenuItemRect(HWND hwnd, HMENU menu, UINT pos, TRect* r) {
  if (!r || !Live(menu)) return false;
  if (IsWindow(hwnd) && GetMenu(hwnd) == menu) return BarItemScreenRect(hwnd, pos, r);
  return Tracker() && Tracker()->PopupItemRect(menu, pos, r);
}

int MenuBarHeight(HWND hwnd, int width) {
  if (!IsWindow(hwnd) || hwnd->IsChild()) return 0;
  SweepWindows();
  if (!BarMenuOf(hwnd)) return 0;
  const int border = ClassicFrameLayout(hwnd).Border;
  return std::max(1, BarLayout(hwnd, width - 2 * border).Rows) * ItemHeight();
}

void PaintMenuBar(HWND hwnd, HDC windowDC, const TRect& bar) { PaintMenuBarItems(hwnd, windowDC, bar, true); }

void PaintMenuBarItems(HWND hwnd, HDC windowDC, const TRect& bar, bool fillBackground) {
  if (!IsWindow(hwnd) || !windowDC) return;
  SweepWindows();
  HMENU menu = BarMenuOf(hwnd);
  if (!menu) return;
  const TBarLayout l = BarLayout(hwnd, bar.Width());
  if (!Live(menu)) return;
  const std::vector<TItem> items = menu->Items;
  const TMenuTracker* t = Tracker() && Tracker()->BarWindow() == hwnd ? Tracker() : nullptr;
  const int saved = SaveDC(windowDC);
  IntersectClipRect(windowDC, bar.Left, bar.Top, bar.Right, bar.Bottom);
  if (fillBackground) Fill(windowDC, bar, GetSysColor(COLOR_MENU));
  for (size_t i = 0; i < items.size() && i < l.Items.size(); ++i) {
    const TRect rc = l.Items[i].Offset(bar.Left, bar.Top);
    const bool hot = t && t->HotBarItem() == int(i);
    if (IsOwnerDraw(items[i])) {
      SendDrawItem(hwnd, menu, items[i], windowDC, rc, hot, ODA_DRAWENTIRE);
    } else {
      const int s = SaveDC(windowDC);
      DrawPlainBarItem(windowDC, items[i], rc, hot, t && t->BarPressed());
      RestoreDC(windowDC, s);
    }
  }
  RestoreDC(windowDC, saved);
}
