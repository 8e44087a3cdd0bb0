// Menus: menu objects and their registry, the functions that build and query menus, and the
// system menu of the classic frame. Drawing, tracking and menu bars are in the other Menu*.cpp.
#include "platform/windowing/Menu.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/windowing/MenuInternal.h"

namespace MenuInternal {

TMenuRegistry& MS() {
  static TMenuRegistry registry;
  return registry;
}

HMENU Live(HMENU menu) { return menu && MS().Menus.count(menu) ? menu : nullptr; }

static void Touch(HMENU menu) { menu->Version = ++MS().Versions; }

static HMENU NewMenu() {
  auto owned = std::make_unique<TMenuObject>();
  HMENU menu = owned.get();
  Touch(menu);
  MS().Menus[menu] = std::move(owned);
  return menu;
}

// True when `target` is `from` or one of its submenus at any depth.
static bool Reaches(HMENU from, HMENU target, std::set<HMENU>& seen) {
  if (from == target) return true;
  if (!Live(from) || !seen.insert(from).second) return false;
  for (const TItem& it : from->Items)
    if (it.SubMenu && Reaches(it.SubMenu, target, seen)) return true;
  return false;
}

// A submenu may be attached when it exists and does not contain the menu it goes into.
static bool CanAttach(HMENU menu, HMENU sub) {
  if (!sub) return true;
  if (!Live(sub)) return false;
  std::set<HMENU> seen;
  return !Reaches(sub, menu, seen);
}

static void CollectTree(HMENU menu, std::vector<HMENU>& out) {
  if (!Live(menu) || std::find(out.begin(), out.end(), menu) != out.end()) return;
  out.push_back(menu);
  for (const TItem& it : menu->Items) CollectTree(it.SubMenu, out);
}

void RecalcFrame(HWND hwnd) {
  if (IsLive(hwnd))
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Drops the entries of windows that are gone (and their system menus).
void SweepWindows() {
  std::vector<HMENU> orphans;
  auto& windows = MS().Windows;
  for (auto it = windows.begin(); it != windows.end();) {
    HWND h = it->first;
    if (!IsWindow(h) || (it->second.SeenCreated && !h->Created)) {
      if (it->second.System) orphans.push_back(it->second.System);
      it = windows.erase(it);
      continue;
    }
    if (h->Created) it->second.SeenCreated = true;
    ++it;
  }
  for (HMENU m : orphans) DestroyMenu(m);
}

TWindowMenus& EntryOf(HWND hwnd) {
  auto [it, added] = MS().Windows.try_emplace(hwnd);
  if (added) it->second.SeenCreated = hwnd->Created;
  return it->second;
}

HMENU BarMenuOf(HWND hwnd) {
  auto it = MS().Windows.find(hwnd);
  return it == MS().Windows.end() ? nullptr : Live(it->second.Bar);
}

bool IsSystemMenuOf(HMENU menu, HWND hwnd) {
  return menu && hwnd && menu->SystemOwner && (menu->SystemOwner == hwnd || menu->SystemOwner == RootOf(hwnd));
}

// ---- Items ----------------------------------------------------------------------------------

std::string CaptionOf(const std::string& text) { return text.substr(0, text.find('\t')); }
std::string ShortcutOf(const std::string& text) {
  const size_t tab = text.find('\t');
  return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

// The character marked with "&" in the caption, lower case, or 0. As DrawText underlines it,
// "&&" is a literal "&" and the last mark wins.
int AccelOf(const std::string& text) {
  const std::string caption = CaptionOf(text);
  int accel = 0;
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') accel = LowerAscii(static_cast<unsigned char>(caption[i + 1]));
    ++i;
  }
  return accel;
}

struct TFound {
  HMENU Menu = nullptr;
  size_t Pos = 0;
};

// An item by position in `menu`, or by command id in `menu` and its submenus.
static bool FindItem(HMENU menu, UINT item, bool byPosition, TFound* out, std::set<HMENU>* seen = nullptr) {
  if (!Live(menu)) return false;
  if (byPosition) {
    if (item >= menu->Items.size()) return false;
    *out = {menu, item};
    return true;
  }
  std::set<HMENU> local;
  if (!seen) seen = &local;
  if (!seen->insert(menu).second) return false;
  for (size_t i = 0; i < menu->Items.size(); ++i) {
    const TItem& it = menu->Items[i];
    if (!IsSeparator(it) && it.Id == item) {
      *out = {menu, i};
      return true;
    }
    if (HMENU sub = SubOf(it); sub && FindItem(sub, item, false, out, seen)) return true;
  }
  return false;
}

static TItem* ItemAt(const TFound& f) { return &f.Menu->Items[f.Pos]; }

static TItem ItemFromFlags(UINT flags, uintptr_t idOrSubMenu, const std::string& text) {
  TItem it;
  if (flags & MF_SEPARATOR) it.Type |= MFT_SEPARATOR;
  if (flags & MF_OWNERDRAW) it.Type |= MFT_OWNERDRAW;
  it.Type |= flags & (MF_MENUBREAK | MF_MENUBARBREAK);
  it.State = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
  if (flags & MF_POPUP) it.SubMenu = reinterpret_cast<HMENU>(idOrSubMenu);
  else if (!(flags & MF_SEPARATOR)) it.Id = UINT(idOrSubMenu);
  if (!(flags & MF_SEPARATOR)) it.Text = text;
  return it;
}

static bool InsertAt(HMENU menu, size_t pos, TItem item) {
  if (!Live(menu) || !CanAttach(menu, item.SubMenu)) return false;
  pos = std::min(pos, menu->Items.size());
  menu->Items.insert(menu->Items.begin() + std::ptrdiff_t(pos), std::move(item));
  Touch(menu);
  return true;
}

static HMENU CreateSystemMenu(HWND hwnd) {
  HMENU m = NewMenu();
  m->SystemOwner = hwnd;
  AppendMenu(m, MF_STRING, SC_RESTORE, "&Restore");
  AppendMenu(m, MF_STRING, SC_MOVE, "&Move");
  AppendMenu(m, MF_STRING, SC_SIZE, "&Size");
  AppendMenu(m, MF_STRING, SC_MINIMIZE, "Mi&nimize");
  AppendMenu(m, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  AppendMenu(m, MF_SEPARATOR, 0, "");
  AppendMenu(m, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
  SetMenuDefaultItem(m, SC_CLOSE, false);
  return m;
}

}  // namespace MenuInternal

using namespace MenuInternal;

// ---- Menu objects ---------------------------------------------------------------------------

HMENU CreatePopupMenu() { return NewMenu(); }
HMENU CreateMenu() { return NewMenu(); }

bool IsMenu(HMENU menu) { return Live(menu) != nullptr; }

bool DestroyMenu(HMENU menu) {
  if (!Live(menu)) return false;
  std::vector<HMENU> doomed;
  CollectTree(menu, doomed);
  TMenuRegistry& ms = MS();
  for (HMENU m : doomed) {
    auto it = ms.Menus.find(m);
    if (ms.Tracker) ms.Graveyard.push_back(std::move(it->second));
    ms.Menus.erase(it);
  }
  auto isDoomed = [&](HMENU m) { return std::find(doomed.begin(), doomed.end(), m) != doomed.end(); };
  // No live menu keeps pointing at a destroyed one.
  for (auto& [m, owned] : ms.Menus)
    for (TItem& it : owned->Items)
      if (it.SubMenu && isDoomed(it.SubMenu)) {
        it.SubMenu = nullptr;
        Touch(m);
      }
  std::vector<HWND> reframe;
  for (auto& [h, e] : ms.Windows) {
    if (e.Bar && isDoomed(e.Bar)) {
      e.Bar = nullptr;
      e.Cached = false;
      reframe.push_back(h);
    }
    if (e.System && isDoomed(e.System)) e.System = nullptr;
  }
  for (HWND h : reframe) RecalcFrame(h);
  return true;
}

bool AppendMenu(HMENU menu, UINT flags, uintptr_t idOrSubMenu, const std::string& text) {
  if (!Live(menu)) return false;
  return InsertAt(menu, menu->Items.size(), ItemFromFlags(flags, idOrSubMenu, text));
}

bool InsertMenu(HMENU menu, UINT item, UINT flags, uintptr_t idOrSubMenu, const std::string& text) {
  if (!Live(menu)) return false;
  TItem fresh = ItemFromFlags(flags, idOrSubMenu, text);
  if (flags & MF_BYPOSITION) return InsertAt(menu, item, std::move(fresh));
  TFound f;
  if (!FindItem(menu, item, false, &f)) return false;
  return InsertAt(f.Menu, f.Pos, std::move(fresh));
}

bool ModifyMenu(HMENU menu, UINT item, UINT flags, uintptr_t idOrSubMenu, const std::string& text) {
  TFound f;
  if (!FindItem(menu, item, (flags & MF_BYPOSITION) != 0, &f)) return false;
  TItem fresh = ItemFromFlags(flags, idOrSubMenu, text);
  if (!CanAttach(f.Menu, fresh.SubMenu)) return false;
  fresh.Data = ItemAt(f)->Data;
  *ItemAt(f) = std::move(fresh);
  Touch(f.Menu);
  return true;
}

namespace {

bool ApplyInfo(HMENU container, TItem& item, const MENUITEMINFO* info) {
  TItem changed = item;
  const UINT mask = info->fMask;
  if (mask & (MIIM_FTYPE | MIIM_TYPE)) changed.Type = info->fType;
  if (mask & MIIM_STATE) changed.State = info->fState;
  if (mask & MIIM_ID) changed.Id = info->wID;
  if (mask & MIIM_SUBMENU) {
    if (!CanAttach(container, info->hSubMenu)) return false;
    changed.SubMenu = info->hSubMenu;
  }
  if (mask & MIIM_DATA) changed.Data = info->dwItemData;
  if (mask & (MIIM_STRING | MIIM_TYPE)) changed.Text = info->dwTypeData;
  item = std::move(changed);
  return true;
}

}  // namespace

bool InsertMenuItem(HMENU menu, UINT item, bool byPosition, const MENUITEMINFO* info) {
  if (!Live(menu) || !info) return false;
  HMENU container = menu;
  size_t pos = item;
  if (!byPosition) {
    TFound f;
    if (!FindItem(menu, item, false, &f)) return false;
    container = f.Menu;
    pos = f.Pos;
  }
  TItem fresh;
  if (!ApplyInfo(container, fresh, info)) return false;
  return InsertAt(container, pos, std::move(fresh));
}

bool GetMenuItemInfo(HMENU menu, UINT item, bool byPosition, MENUITEMINFO* info) {
  TFound f;
  if (!info || !FindItem(menu, item, byPosition, &f)) return false;
  const TItem& it = *ItemAt(f);
  const UINT mask = info->fMask;
  if (mask & (MIIM_FTYPE | MIIM_TYPE)) info->fType = it.Type;
  if (mask & MIIM_STATE) info->fState = it.State;
  if (mask & MIIM_ID) info->wID = it.Id;
  if (mask & MIIM_SUBMENU) info->hSubMenu = SubOf(it);
  if (mask & MIIM_DATA) info->dwItemData = it.Data;
  if (mask & (MIIM_STRING | MIIM_TYPE)) info->dwTypeData = it.Text;
  return true;
}

bool SetMenuItemInfo(HMENU menu, UINT item, bool byPosition, const MENUITEMINFO* info) {
  TFound f;
  if (!info || !FindItem(menu, item, byPosition, &f)) return false;
  if (!ApplyInfo(f.Menu, *ItemAt(f), info)) return false;
  Touch(f.Menu);
  return true;
}

bool RemoveMenu(HMENU menu, UINT item, UINT flags) {
  TFound f;
  if (!FindItem(menu, item, (flags & MF_BYPOSITION) != 0, &f)) return false;
  f.Menu->Items.erase(f.Menu->Items.begin() + std::ptrdiff_t(f.Pos));
  Touch(f.Menu);
  return true;
}

bool DeleteMenu(HMENU menu, UINT item, UINT flags) {
  TFound f;
  if (!FindItem(menu, item, (flags & MF_BYPOSITION) != 0, &f)) return false;
  HMENU sub = SubOf(*ItemAt(f));
  f.Menu->Items.erase(f.Menu->Items.begin() + std::ptrdiff_t(f.Pos));
  Touch(f.Menu);
  if (sub) DestroyMenu(sub);
  return true;
}

int GetMenuItemCount(HMENU menu) { return Live(menu) ? int(menu->Items.size()) : -1; }

UINT GetMenuItemID(HMENU menu, int pos) {
  if (!Live(menu) || pos < 0 || size_t(pos) >= menu->Items.size()) return UINT(-1);
  const TItem& it = menu->Items[size_t(pos)];
  return SubOf(it) ? UINT(-1) : it.Id;
}

HMENU GetSubMenu(HMENU menu, int pos) {
  if (!Live(menu) || pos < 0 || size_t(pos) >= menu->Items.size()) return nullptr;
  return SubOf(menu->Items[size_t(pos)]);
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  TFound f;
  if (!FindItem(menu, item, (flags & MF_BYPOSITION) != 0, &f)) return UINT(-1);
  const TItem& it = *ItemAt(f);
  UINT r = (it.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT)) |
           (it.Type & (MF_SEPARATOR | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MFT_RADIOCHECK));
  if (HMENU sub = SubOf(it)) r |= MF_POPUP | (UINT(std::min<size_t>(sub->Items.size(), 0xFF)) << 8);
  return r;
}

std::string GetMenuString(HMENU menu, UINT item, UINT flags) {
  TFound f;
  if (!FindItem(menu, item, (flags & MF_BYPOSITION) != 0, &f)) return {};
  return ItemAt(f)->Text;
}

int CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  TFound f;
  if (!FindItem(menu, item, (flags & MF_BYPOSITION) != 0, &f)) return -1;
  TItem& it = *ItemAt(f);
  const int previous = int(it.State & MF_CHECKED);
  it.State = (it.State & ~MF_CHECKED) | (flags & MF_CHECKED);
  Touch(f.Menu);
  return previous;
}

bool CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  const bool byPosition = (flags & MF_BYPOSITION) != 0;
  TFound a, b, c;
  if (!FindItem(menu, first, byPosition, &a) || !FindItem(menu, last, byPosition, &b) ||
      !FindItem(menu, check, byPosition, &c))
    return false;
  if (a.Menu != b.Menu || a.Menu != c.Menu || a.Pos > b.Pos || c.Pos < a.Pos || c.Pos > b.Pos) return false;
  for (size_t p = a.Pos; p <= b.Pos; ++p) {
    TItem& it = a.Menu->Items[p];
    if (IsSeparator(it)) continue;
    if (p == c.Pos) {
      it.State |= MF_CHECKED;
      it.Type |= MFT_RADIOCHECK;
    } else {
      it.State &= ~MF_CHECKED;
    }
  }
  Touch(a.Menu);
  return true;
}

int EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  TFound f;
  if (!FindItem(menu, item, (flags & MF_BYPOSITION) != 0, &f)) return -1;
  TItem& it = *ItemAt(f);
  const int previous = int(it.State & (MF_GRAYED | MF_DISABLED));
  it.State = (it.State & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  Touch(f.Menu);
  return previous;
}

bool SetMenuDefaultItem(HMENU menu, UINT item, bool byPosition) {
  if (!Live(menu)) return false;
  int target = -1;
  if (item != UINT(-1)) {
    for (size_t i = 0; i < menu->Items.size() && target < 0; ++i)
      if (byPosition ? i == item : (!IsSeparator(menu->Items[i]) && menu->Items[i].Id == item)) target = int(i);
    if (target < 0) return false;
  }
  for (size_t i = 0; i < menu->Items.size(); ++i) {
    UINT& state = menu->Items[i].State;
    state = int(i) == target ? (state | MF_DEFAULT) : (state & ~MF_DEFAULT);
  }
  Touch(menu);
  return true;
}

UINT GetMenuDefaultItem(HMENU menu, bool byPosition) {
  if (!Live(menu)) return UINT(-1);
  for (size_t i = 0; i < menu->Items.size(); ++i)
    if (menu->Items[i].State & MF_DEFAULT) return byPosition ? UINT(i) : menu->Items[i].Id;
  return UINT(-1);
}

// ---- The system menu ------------------------------------------------------------------------

HMENU GetSystemMenu(HWND hwnd, bool revert) {
  if (!IsLive(hwnd)) return nullptr;
  SweepWindows();
  TWindowMenus& e = EntryOf(hwnd);
  if (revert) {
    HMENU old = Live(e.System);
    e.System = nullptr;
    if (old) DestroyMenu(old);
    return nullptr;
  }
  if (!Live(e.System)) e.System = CreateSystemMenu(hwnd);
  return e.System;
}

void TrackSystemMenu(HWND hwnd, TPoint screen) {
  if (!IsLive(hwnd)) return;
  HMENU menu = GetSystemMenu(hwnd, false);
  if (!menu) return;
  const uint32_t style = hwnd->Style;
  const bool minimised = (style & WS_MINIMIZE) != 0, maximised = (style & WS_MAXIMIZE) != 0 && !minimised;
  auto enable = [menu](WPARAM id, bool on) { EnableMenuItem(menu, UINT(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  enable(SC_RESTORE, minimised || maximised);
  enable(SC_MOVE, !maximised);
  enable(SC_SIZE, (style & WS_THICKFRAME) && !minimised && !maximised);
  enable(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !minimised);
  enable(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !maximised);
  const int id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTBUTTON, screen.X, screen.Y, 0, hwnd, nullptr);
  if (id && IsLive(hwnd)) SendMessage(hwnd, WM_SYSCOMMAND, WPARAM(id), MAKELPARAM(screen.X, screen.Y));
}
