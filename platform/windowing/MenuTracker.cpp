// TMenuTracker: the modal loop of a menu session, its popup levels, and mouse and keyboard
// handling inside it.
#include "platform/windowing/MenuTracker.h"

#include <algorithm>

namespace MenuInternal {

constexpr uintptr_t kHoverTimer = 1;
constexpr uint32_t kHoverDelay = 400;

static TPoint Place(const TPlacement& p, int w, int h) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  int x = 0, y = 0;
  switch (p.Kind) {
    case TPlacement::pkPoint: {
      x = (p.Align & TPM_RIGHTALIGN) ? p.At.X - w : (p.Align & TPM_CENTERALIGN) ? p.At.X - w / 2 : p.At.X;
      y = (p.Align & TPM_BOTTOMALIGN) ? p.At.Y - h : (p.Align & TPM_VCENTERALIGN) ? p.At.Y - h / 2 : p.At.Y;
      // A menu that would leave the screen opens on the other side of the point.
      if (x + w > sw) x = p.At.X - w >= 0 ? p.At.X - w : sw - w;
      if (y + h > sh) y = p.At.Y - h >= 0 ? p.At.Y - h : sh - h;
      if (p.Exclude && !Bounds(x, y, w, h).Intersect(*p.Exclude).IsEmpty()) {
        if (p.Exclude->Bottom + h <= sh) y = p.Exclude->Bottom;
        else if (p.Exclude->Top - h >= 0) y = p.Exclude->Top - h;
      }
      break;
    }
    case TPlacement::pkBelow:
      x = p.Anchor.Left;
      y = p.Anchor.Bottom;
      if (y + h > sh && p.Anchor.Top - h >= 0) y = p.Anchor.Top - h;
      break;
    case TPlacement::pkBeside:
      x = p.Anchor.Right - kPopupBorder;
      y = p.ItemTop - kPopupBorder;
      if (x + w > sw) x = p.Anchor.Left - w + kPopupBorder;
      break;
  }
  x = std::max(0, std::min(x, sw - w));
  y = std::max(0, std::min(y, sh - h));
  return {x, y};
}

static bool IsMouseMessage(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

// 0 left, 1 right, 2 middle, -1 for other mouse messages.
static int ButtonOf(UINT m) {
  if (m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK) return int(m - WM_LBUTTONDOWN) / 3;
  if (m >= WM_NCLBUTTONDOWN && m <= WM_NCMBUTTONDBLCLK) return int(m - WM_NCLBUTTONDOWN) / 3;
  return -1;
}

TMenuTracker::TMenuTracker(HWND owner, UINT flags, HMENU root, bool bar)
    : FOwner(owner), FFlags(flags), FRoot(root), FBar(bar ? owner : nullptr), FSystem(IsSystemMenuOf(root, owner)) {
  MS().Tracker = this;
  if (GetKeyState(VK_LBUTTON) < 0) FOpeningPress = WS().LastClick;
}

TMenuTracker::~TMenuTracker() {
  MS().Tracker = nullptr;
  MS().Graveyard.clear();
}

int TMenuTracker::TrackPopup(TPoint at, UINT align, const TRect* exclude) {
  Begin(true);
  TPlacement p;
  p.At = at;
  p.Align = align;
  p.Exclude = exclude;
  if (OpenPopup(FRoot, 0, p, false) && !FEnd) {
    FCapture = FLevels[0].Wnd;
    SetCapture(FCapture);
    GrabPointer(true);
    FActive = GetActiveWindow();
    Run();
  }
  End(true);
  return FChosen ? 1 : 0;
}

void TMenuTracker::TrackBar(int item, TBarStart how) {
  Begin(false);
  FCapture = FBar;
  SetCapture(FCapture);
  GrabPointer(true);
  FActive = GetActiveWindow();
  FBarPressed = how == bsMouse;
  FDropMode = how != bsKeyHot;
  SwitchBar(item, how != bsKeyHot, how == bsKeyOpen);
  Run();
  End(false);
}

int TMenuTracker::HitBar(TPoint screen) const {
  if (!FBar || !IsWindow(FBar)) return -1;
  const TRect band = BarBand(FBar);
  const TBarLayout l = BarLayout(FBar, band.Width());
  const TPoint o = WindowOrigin(FBar);
  for (size_t i = 0; i < l.Items.size(); ++i)
    if (l.Items[i].Offset(o.X + band.Left, o.Y + band.Top).Contains(screen.X, screen.Y)) return int(i);
  return -1;
}

void TMenuTracker::Cancel() {
  FEnd = true;
  // Wake the loop if it is waiting for input.
  if (!FLevels.empty() && IsLive(FLevels[0].Wnd)) PostMessage(FLevels[0].Wnd, WM_NULL);
  else if (IsLive(FOwner)) PostMessage(FOwner, WM_NULL);
}

HWND TMenuTracker::WindowOf(HMENU menu) const {
  for (const TLevel& l : FLevels)
    if (l.Menu == menu) return l.Wnd;
  return nullptr;
}

bool TMenuTracker::PopupItemRect(HMENU menu, UINT pos, TRect* r) const {
  for (const TLevel& l : FLevels) {
    if (l.Menu != menu || !IsWindow(l.Wnd) || pos >= l.Layout.Items.size()) continue;
    TPoint o;
    ClientToScreen(l.Wnd, &o);
    *r = l.Layout.Items[pos].Offset(o.X, o.Y);
    return true;
  }
  return false;
}

void TMenuTracker::PaintLevel(HWND wnd, HDC dc, const TRect& update) {
  const int li = LevelOf(wnd);
  if (li < 0 || !Live(FLevels[size_t(li)].Menu)) return;
  // Owner-drawn items cover their rectangles; the rest is menu colour.
  {
    const TLevel& l = FLevels[size_t(li)];
    const int saved = SaveDC(dc);
    const size_t n = std::min(l.Layout.Items.size(), l.Menu->Items.size());
    for (size_t i = 0; i < n; ++i)
      if (IsOwnerDraw(l.Menu->Items[i])) {
        const TRect& r = l.Layout.Items[i];
        ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
      }
    TRect client;
    GetClientRect(wnd, &client);
    Fill(dc, client, GetSysColor(COLOR_MENU));
    RestoreDC(dc, saved);
    for (int x : l.Layout.ColumnLines) {
      VLine(dc, x, client.Top, client.Bottom, GetSysColor(COLOR_BTNSHADOW));
      VLine(dc, x + 1, client.Top, client.Bottom, GetSysColor(COLOR_BTNHIGHLIGHT));
    }
  }
  for (size_t i = 0; li < int(FLevels.size()) && i < FLevels[size_t(li)].Layout.Items.size(); ++i)
    if (!FLevels[size_t(li)].Layout.Items[i].Intersect(update).IsEmpty()) DrawItem(size_t(li), int(i), dc, ODA_DRAWENTIRE);
}

const TItem* TMenuTracker::BarItem(int i) const {
  HMENU bar = FBar ? Live(FRoot) : nullptr;
  return bar && i >= 0 && size_t(i) < bar->Items.size() ? &bar->Items[size_t(i)] : nullptr;
}

const TItem* TMenuTracker::LevelItem(size_t li, int i) const {
  if (li >= FLevels.size() || !Live(FLevels[li].Menu) || i < 0) return nullptr;
  const TMenuObject* m = FLevels[li].Menu;
  return size_t(i) < m->Items.size() ? &m->Items[size_t(i)] : nullptr;
}

int TMenuTracker::LevelOf(HWND wnd) const {
  for (size_t i = 0; i < FLevels.size(); ++i)
    if (FLevels[i].Wnd == wnd) return int(i);
  return -1;
}

void TMenuTracker::Begin(bool popup) {
  RegisterPopupClass();
  if (!Notify()) return;
  SendMessage(FOwner, WM_ENTERMENULOOP, popup ? 1 : 0);
  if (Live(FRoot)) SendMessage(FOwner, WM_INITMENU, reinterpret_cast<WPARAM>(FRoot));
}

void TMenuTracker::End(bool popup) {
  CloseFrom(0);
  GrabPointer(false);
  if (FCapture && GetCapture() == FCapture) ReleaseCapture();
  if (FBar) {
    FBarItem = -1;
    RepaintBar();
  }
  if (Notify() && IsWindow(FOwner)) {
    SendMessage(FOwner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    SendMessage(FOwner, WM_EXITMENULOOP, popup ? 1 : 0);
  }
  // Native popups may have taken the keyboard focus from the owner's native window.
  HWND root = IsLive(FOwner) ? RootOf(FOwner) : nullptr;
  if (TDisplay* d = GetDisplay(); d && root && root->SurfaceCreated && GetActiveWindow() == root)
    d->SetKeyboardFocus(root);
}

// A click on another program's window is a click elsewhere too: the display sends the
// program every press while the menu tracks.
void TMenuTracker::GrabPointer(bool grab) {
  if (grab == FPointerGrabbed) return;
  FPointerGrabbed = grab;
  if (TDisplay* d = GetDisplay()) d->SetPointerGrab(grab);
}

bool TMenuTracker::StillValid() const {
  if (!IsLive(FOwner) || GetActiveWindow() != FActive || GetCapture() != FCapture) return false;
  if (FBar && BarMenuOf(FBar) != FRoot) return false;
  for (const TLevel& l : FLevels)
    if (!Live(l.Menu) || !IsLive(l.Wnd)) return false;
  return true;
}

void TMenuTracker::Run() {
  while (!FEnd && StillValid()) {
    TMsg m;
    if (!GetMessage(&m)) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    Handle(m);
    if (!FEnd) RefreshLayouts();
  }
}

void TMenuTracker::Handle(TMsg& m) {
  const UINT msg = m.message;
  if (IsMouseMessage(msg)) return HandleMouse(m);
  if (FSwallowUp >= 0 && msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
    FEnd = true;
    return;
  }
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) return HandleKeyDown(m);
  if (msg == WM_CHAR || msg == WM_SYSCHAR) return HandleChar(m.wParam);
  if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) return;  // key-ups belong to the menu too
  if (msg == WM_TIMER && m.wParam == kHoverTimer && LevelOf(m.hwnd) >= 0) return HoverTimer(m.hwnd);
  TranslateMessage(&m);
  DispatchMessage(&m);
}

// A menu changed while shown (an owner's handler, a timer): lay it out again.
void TMenuTracker::RefreshLayouts() {
  for (size_t li = 0; li < FLevels.size(); ++li) {
    TLevel& l = FLevels[li];
    if (!Live(l.Menu) || l.Menu->Version == l.Version || !IsLive(l.Wnd)) continue;
    l.Version = l.Menu->Version;
    TPopupLayout fresh = LayoutPopup(l.Menu, FOwner);
    if (li >= FLevels.size()) return;
    TLevel& again = FLevels[li];
    again.Layout = std::move(fresh);
    if (again.Selected >= int(again.Layout.Items.size())) again.Selected = -1;
    SetWindowPos(again.Wnd, nullptr, 0, 0, again.Layout.Size.cx + 2 * kPopupBorder,
                 again.Layout.Size.cy + 2 * kPopupBorder, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(again.Wnd, nullptr, false);
  }
}

// ---- Levels ---------------------------------------------------------------------------------

bool TMenuTracker::OpenPopup(HMENU menu, int parentPos, const TPlacement& place, bool selectFirst) {
  HWND wnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, kPopupClass, "", WS_POPUP, 0, 0, 0, 0,
                            FOwner);
  if (!wnd) return false;
  TLevel fresh;
  fresh.Menu = menu;
  fresh.Wnd = wnd;
  FLevels.push_back(std::move(fresh));
  const size_t li = FLevels.size() - 1;
  if (Notify())
    SendMessage(FOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(parentPos, FSystem ? 1 : 0));
  if (FEnd || !Live(menu) || !IsLive(wnd) || li >= FLevels.size()) return false;
  const uint64_t version = menu->Version;
  TPopupLayout layout = LayoutPopup(menu, FOwner);
  if (FEnd || !Live(menu) || !IsLive(wnd) || li >= FLevels.size()) return false;
  TLevel& l = FLevels[li];
  l.Layout = std::move(layout);
  l.Version = version;
  const int w = l.Layout.Size.cx + 2 * kPopupBorder, h = l.Layout.Size.cy + 2 * kPopupBorder;
  const TPoint at = Place(place, w, h);
  SetWindowPos(wnd, HWND_TOP, at.X, at.Y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (selectFirst && IsLive(wnd)) Select(li, NextSelectable(li, -1, true), false);
  return !FEnd;
}

void TMenuTracker::CloseFrom(size_t first) {
  if (FHoverLevel >= int(first)) FHoverLevel = FHoverItem = -1;
  while (FLevels.size() > first) {
    const TLevel l = FLevels.back();
    FLevels.pop_back();
    if (IsWindow(l.Wnd)) DestroyWindow(l.Wnd);
    if (Notify() && Live(l.Menu) && IsLive(FOwner))
      SendMessage(FOwner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(l.Menu), 0);
  }
}

void TMenuTracker::DrawItem(size_t li, int item, HDC dc, UINT action) {
  const TItem* p = LevelItem(li, item);
  if (!p || size_t(item) >= FLevels[li].Layout.Items.size()) return;
  const TItem it = *p;  // the owner's handler may change the menu
  const TLevel& l = FLevels[li];
  const TRect rc = l.Layout.Items[size_t(item)];
  const bool selected = l.Selected == item;
  if (IsOwnerDraw(it)) {
    SendDrawItem(FOwner, l.Menu, it, dc, rc, selected, action);
    // The arrow of a submenu is the menu's, owner-drawn item or not.
    if (HasSub(&it) && !IsSeparator(it)) {
      const COLORREF c = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
      DrawSubmenuArrow(dc, {rc.Right - kArrowArea, rc.Top, rc.Right - 4, rc.Bottom}, c);
    }
  } else {
    const int saved = SaveDC(dc);
    DrawPlainPopupItem(dc, it, rc, l.Layout.ShortcutX[size_t(item)], selected);
    RestoreDC(dc, saved);
  }
}

void TMenuTracker::RedrawItems(size_t li, std::initializer_list<int> items) {
  if (li >= FLevels.size() || !IsLive(FLevels[li].Wnd)) return;
  HWND wnd = FLevels[li].Wnd;
  HDC dc = GetDC(wnd);
  for (int i : items)
    if (i >= 0) DrawItem(li, i, dc, ODA_SELECT);
  ReleaseDC(wnd, dc);
}

void TMenuTracker::NotifySelect(HMENU menu, int pos, bool byMouse) {
  if (!Notify() || !Live(menu) || pos < 0 || size_t(pos) >= menu->Items.size()) return;
  const TItem it = menu->Items[size_t(pos)];
  UINT flags = MF_HILITE | (it.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT)) |
               (it.Type & (MF_SEPARATOR | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK));
  if (SubOf(it)) flags |= MF_POPUP;
  if (byMouse) flags |= MF_MOUSESELECT;
  if (FSystem) flags |= MF_SYSMENU;
  const UINT idOrPos = SubOf(it) ? UINT(pos) : it.Id;
  SendMessage(FOwner, WM_MENUSELECT, MAKEWPARAM(idOrPos, flags), reinterpret_cast<LPARAM>(menu));
}

void TMenuTracker::Select(size_t li, int item, bool byMouse) {
  if (li >= FLevels.size()) return;
  TLevel& l = FLevels[li];
  if (l.Selected == item) return;
  if (FHoverLevel == int(li)) {
    KillTimer(l.Wnd, kHoverTimer);
    FHoverLevel = FHoverItem = -1;
  }
  const int old = l.Selected;
  l.Selected = item;
  const HMENU menu = l.Menu;
  RedrawItems(li, {old, item});
  if (item >= 0) NotifySelect(menu, item, byMouse);
}

// The next item the keyboard can land on, wrapping; -1 when there is none.
int TMenuTracker::NextSelectable(size_t li, int from, bool forward) const {
  if (li >= FLevels.size() || !Live(FLevels[li].Menu)) return -1;
  const std::vector<TItem>& items = FLevels[li].Menu->Items;
  const int n = int(items.size());
  int cur = from;
  for (int k = 0; k < n; ++k) {
    cur = cur < 0 ? (forward ? 0 : n - 1) : (cur + (forward ? 1 : n - 1)) % n;
    if (IsSelectable(items[size_t(cur)])) return cur;
  }
  return -1;
}

void TMenuTracker::OpenSubmenu(size_t li, bool selectFirst) {
  if (li >= FLevels.size()) return;
  const int sel = FLevels[li].Selected;
  const TItem* it = LevelItem(li, sel);
  if (!HasSub(it) || size_t(sel) >= FLevels[li].Layout.Items.size()) return;
  HMENU sub = SubOf(*it);
  if (li + 1 < FLevels.size() && FLevels[li + 1].Menu == sub) {
    if (selectFirst && FLevels[li + 1].Selected < 0) Select(li + 1, NextSelectable(li + 1, -1, true), false);
    return;
  }
  CloseFrom(li + 1);
  if (FHoverLevel == int(li)) {
    KillTimer(FLevels[li].Wnd, kHoverTimer);
    FHoverLevel = FHoverItem = -1;
  }
  TPlacement p;
  p.Kind = TPlacement::pkBeside;
  GetWindowRect(FLevels[li].Wnd, &p.Anchor);
  TPoint top{0, FLevels[li].Layout.Items[size_t(sel)].Top};
  ClientToScreen(FLevels[li].Wnd, &top);
  p.ItemTop = top.Y;
  OpenPopup(sub, sel, p, selectFirst);
}

void TMenuTracker::Choose(UINT id) {
  FChosen = true;
  FChosenId = id;
  FEnd = true;
}

// Opens the submenu of an item or chooses it.
void TMenuTracker::Execute(size_t li, int item) {
  const TItem* it = LevelItem(li, item);
  if (!it) return;
  if (HasSub(it)) OpenSubmenu(li, true);
  else if (IsSelectable(*it) && !SubOf(*it)) Choose(it->Id);
}

// ---- The menu bar ---------------------------------------------------------------------------

void TMenuTracker::RepaintBar() {
  if (FBar && IsWindowVisible(FBar)) SendMessage(FBar, WM_NCPAINT, 1, 0);
}

void TMenuTracker::SwitchBar(int item, bool open, bool selectFirst) {
  CloseFrom(0);
  if (FEnd) return;
  const bool changed = FBarItem != item;
  FBarItem = item;
  if (open) OpenBarPopup(selectFirst);
  RepaintBar();
  if (changed && !FEnd) NotifySelect(FRoot, item, !selectFirst);
}

void TMenuTracker::OpenBarPopup(bool selectFirst) {
  const TItem* it = BarItem(FBarItem);
  if (!HasSub(it)) return;
  HMENU sub = SubOf(*it);
  TPlacement p;
  p.Kind = TPlacement::pkBelow;
  if (!BarItemScreenRect(FBar, size_t(FBarItem), &p.Anchor)) return;
  FDropMode = true;
  OpenPopup(sub, FBarItem, p, selectFirst);
}

void TMenuTracker::MoveBar(int dir) {
  HMENU bar = Live(FRoot);
  if (!bar || bar->Items.empty()) return;
  const int n = int(bar->Items.size());
  int next = FBarItem;
  for (int k = 0; k < n; ++k) {
    next = next < 0 ? 0 : (next + dir + n) % n;
    if (!IsSeparator(bar->Items[size_t(next)])) break;
  }
  SwitchBar(next, !FLevels.empty(), true);
}

// ---- Mouse ----------------------------------------------------------------------------------

// The popup level under a screen point (deepest first) and the item there (-1: none).
bool TMenuTracker::HitPopup(TPoint pt, size_t* level, int* item) const {
  for (size_t k = FLevels.size(); k-- > 0;) {
    const TLevel& l = FLevels[k];
    TRect wr;
    if (!IsWindow(l.Wnd) || !GetWindowRect(l.Wnd, &wr) || !wr.Contains(pt.X, pt.Y)) continue;
    *level = k;
    *item = -1;
    TPoint c = pt;
    ScreenToClient(l.Wnd, &c);
    for (size_t i = 0; i < l.Layout.Items.size(); ++i) {
      const TItem* it = LevelItem(k, int(i));
      if (it && !IsSeparator(*it) && l.Layout.Items[i].Contains(c.X, c.Y)) *item = int(i);
    }
    return true;
  }
  return false;
}

void TMenuTracker::MouseOverPopup(size_t li, int item) {
  if (item < 0) {
    if (li + 1 == FLevels.size()) Select(li, -1, true);
    return;
  }
  if (FLevels[li].Selected == item) {
    CloseFrom(li + 2);
    return;
  }
  CloseFrom(li + 1);
  Select(li, item, true);
  if (FEnd || li >= FLevels.size() || FLevels[li].Selected != item) return;
  if (HasSub(LevelItem(li, item))) {
    SetTimer(FLevels[li].Wnd, kHoverTimer, kHoverDelay);
    FHoverLevel = int(li);
    FHoverItem = item;
  }
}

void TMenuTracker::HoverTimer(HWND wnd) {
  KillTimer(wnd, kHoverTimer);
  const int li = LevelOf(wnd);
  if (FSwallowUp >= 0 || li < 0 || li != FHoverLevel || FLevels[size_t(li)].Selected != FHoverItem) return;
  FHoverLevel = FHoverItem = -1;
  OpenSubmenu(size_t(li), false);
}

// A click that closes the menu goes nowhere, its release included: the menu disappears at
// once and the loop keeps the capture until the button comes up.
void TMenuTracker::CloseOnClick(UINT downMsg) {
  FSwallowUp = ButtonOf(downMsg);
  for (const TLevel& l : FLevels)
    if (IsLive(l.Wnd)) ShowWindow(l.Wnd, SW_HIDE);
  if (FBar) {
    FBarItem = -1;
    RepaintBar();
  }
}

void TMenuTracker::HandleMouse(const TMsg& m) {
  const UINT msg = m.message;
  if (msg == WM_MOUSEWHEEL) return;
  const bool move = msg == WM_MOUSEMOVE || msg == WM_NCMOUSEMOVE;
  const bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP || msg == WM_NCLBUTTONUP ||
                  msg == WM_NCRBUTTONUP || msg == WM_NCMBUTTONUP;
  if (FSwallowUp >= 0) {
    if (up && ButtonOf(msg) == FSwallowUp) FEnd = true;
    return;
  }
  const bool right = msg == WM_RBUTTONUP || msg == WM_NCRBUTTONUP;
  size_t level = 0;
  int item = -1;
  const bool inPopup = HitPopup(m.pt, &level, &item);
  const int barItem = inPopup ? -1 : HitBar(m.pt);
  if (move) {
    if (inPopup) MouseOverPopup(level, item);
    else if (barItem >= 0 && barItem != FBarItem) SwitchBar(barItem, FDropMode, false);
    else if (barItem < 0 && !FLevels.empty()) Select(FLevels.size() - 1, -1, true);
    return;
  }
  if (!up) {  // a button went down (or a double click)
    if (inPopup) {
      FPopupPressed = true;
      if (item < 0) return;
      if (FLevels[level].Selected != item) {
        CloseFrom(level + 1);
        Select(level, item, true);
      }
      if (!FEnd && HasSub(LevelItem(level, item))) OpenSubmenu(level, false);
    } else if (barItem >= 0) {
      if (barItem == FBarItem && FDropMode && !FLevels.empty()) {
        CloseOnClick(msg);  // a click on the open item closes the menu
        return;
      }
      FDropMode = true;
      FBarPressed = true;
      SwitchBar(barItem, true, false);
    } else if (ButtonOf(msg) == 0 && PostFrameDoubleClick(FOpeningPress, m.pt, m.time)) {
      // The second click of a double click on the frame spot that opened the menu (its
      // icon, say) goes to that window as the double click, and the menu closes.
      FEnd = true;
    } else {
      CloseOnClick(msg);  // a click anywhere else closes the menu
    }
    return;
  }
  const bool buttonChooses = !right || (FFlags & TPM_RIGHTBUTTON) || FPopupPressed;
  if (inPopup && item >= 0 && FLevels[level].Selected == item && buttonChooses) {
    const TItem* it = LevelItem(level, item);
    if (it && !SubOf(*it) && IsSelectable(*it)) Choose(it->Id);
  } else if (barItem >= 0 && barItem == FBarItem && FBarPressed) {
    const TItem* it = BarItem(barItem);
    if (it && !SubOf(*it) && IsSelectable(*it)) Choose(it->Id);
  }
  FBarPressed = false;
  FPopupPressed = false;
}

// ---- Keyboard -------------------------------------------------------------------------------

void TMenuTracker::HandleKeyDown(TMsg& m) {
  const bool repeat = (m.lParam & (LPARAM(1) << 30)) != 0;
  switch (m.wParam) {
    case VK_MENU:
      if (!repeat) FEnd = true;
      return;
    case VK_F10:
      FEnd = true;
      return;
    case VK_ESCAPE:
      return Escape();
    case VK_UP:
    case VK_DOWN:
      return Vertical(m.wParam == VK_DOWN);
    case VK_HOME:
    case VK_END:
      if (!FLevels.empty()) Select(FLevels.size() - 1, NextSelectable(FLevels.size() - 1, -1, m.wParam == VK_HOME), false);
      return;
    case VK_LEFT:
      if (FLevels.size() > 1) CloseFrom(FLevels.size() - 1);
      else if (FBar) MoveBar(-1);
      return;
    case VK_RIGHT:
      if (!FLevels.empty() && HasSub(LevelItem(FLevels.size() - 1, FLevels.back().Selected)))
        OpenSubmenu(FLevels.size() - 1, true);
      else if (FBar) MoveBar(1);
      return;
    case VK_RETURN:
      return Enter();
    default:
      TranslateMessage(&m);  // letters come back as WM_CHAR
      return;
  }
}

void TMenuTracker::Escape() {
  if (FLevels.size() > 1) {
    CloseFrom(FLevels.size() - 1);
  } else if (FBar && !FLevels.empty()) {
    CloseFrom(0);
    FDropMode = false;
    RepaintBar();
  } else {
    FEnd = true;
  }
}

void TMenuTracker::Vertical(bool down) {
  if (FLevels.empty()) {
    if (FBar && FBarItem >= 0) OpenBarPopup(true);
    return;
  }
  const size_t li = FLevels.size() - 1;
  const int next = NextSelectable(li, FLevels[li].Selected, down);
  if (next >= 0) Select(li, next, false);
}

void TMenuTracker::Enter() {
  if (FLevels.empty()) {
    const TItem* it = BarItem(FBarItem);
    if (HasSub(it)) OpenBarPopup(true);
    else if (it && IsSelectable(*it)) Choose(it->Id);
    return;
  }
  const size_t li = FLevels.size() - 1;
  Execute(li, FLevels[li].Selected);
}

void TMenuTracker::HandleChar(WPARAM ch) {
  if (ch < 0x20 || ch == 0x7F) return;
  const int key = LowerAscii(int(ch));
  if (FLevels.empty()) {
    HMENU bar = FBar ? Live(FRoot) : nullptr;
    if (!bar) return;
    for (size_t i = 0; i < bar->Items.size(); ++i)
      if (!IsSeparator(bar->Items[i]) && AccelOf(bar->Items[i].Text) == key) {
        if (HasSub(&bar->Items[i])) {
          SwitchBar(int(i), true, true);
        } else {
          FBarItem = int(i);
          if (IsSelectable(bar->Items[i])) Choose(bar->Items[i].Id);
        }
        return;
      }
    MenuChar(bar, ch, -1);
    return;
  }
  const size_t li = FLevels.size() - 1;
  HMENU menu = FLevels[li].Menu;
  std::vector<int> matches;
  for (size_t i = 0; i < menu->Items.size(); ++i)
    if (!IsSeparator(menu->Items[i]) && AccelOf(menu->Items[i].Text) == key) matches.push_back(int(i));
  if (matches.empty()) return MenuChar(menu, ch, int(li));
  if (matches.size() == 1) {
    Select(li, matches[0], false);
    if (!FEnd) Execute(li, matches[0]);
    return;
  }
  // Several items share the letter: each press selects the next one.
  const int sel = FLevels[li].Selected;
  auto next = std::find_if(matches.begin(), matches.end(), [sel](int i) { return i > sel; });
  Select(li, next == matches.end() ? matches[0] : *next, false);
}

// No item has the letter: the owner may know one (owner-drawn items show no text of ours).
void TMenuTracker::MenuChar(HMENU menu, WPARAM ch, int li) {
  if (!Notify()) {
    MessageBeep(0);
    return;
  }
  const UINT flags = (li >= 0 ? MF_POPUP : 0) | (FSystem ? MF_SYSMENU : 0);
  const LRESULT r = SendMessage(FOwner, WM_MENUCHAR, MAKEWPARAM(unsigned(ch), flags), reinterpret_cast<LPARAM>(menu));
  const int pos = int(LOWORD(uintptr_t(r)));
  switch (HIWORD(uintptr_t(r))) {
    case MNC_CLOSE:
      FEnd = true;
      return;
    case MNC_EXECUTE:
    case MNC_SELECT:
      if (li < 0 || size_t(li) >= FLevels.size() || FLevels[size_t(li)].Menu != menu) return;
      Select(size_t(li), pos, false);
      if (!FEnd && HIWORD(uintptr_t(r)) == MNC_EXECUTE) Execute(size_t(li), pos);
      return;
    default:
      MessageBeep(0);
      return;
  }
}

}  // namespace MenuInternal
