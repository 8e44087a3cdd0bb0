// Menus: menu objects and their registry, the popup windows and the modal loop that tracks
// them, window menu bars and the system menu of the classic frame.
#include "platform/windowing/Menu.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/graphics/Text.h"
#include "platform/windowing/WindowSystem.h"

struct TMenuObject {
  struct TItem {
    UINT Type = MFT_STRING;
    UINT State = 0;
    UINT Id = 0;
    HMENU SubMenu = nullptr;
    uintptr_t Data = 0;
    std::string Text;
  };
  HWND SystemOwner = nullptr;  // set on the system menu of that window
  uint64_t Version = 0;        // changes with every modification; layouts cached on it go stale
  std::vector<TItem> Items;
};

namespace {

using TItem = TMenuObject::TItem;

constexpr char kPopupClass[] = "#MenuPopup";
constexpr int kPopupBorder = 3;       // a raised two-line edge and one line of menu colour
constexpr int kSeparatorHeight = 9;
constexpr int kGutter = 18;           // left of a popup item's caption: check mark or radio dot
constexpr int kArrowArea = 16;        // right of the caption: the submenu arrow
constexpr int kShortcutGap = 16;      // between the captions and the shortcut column
constexpr int kColumnLineGap = 4;     // a column break with a vertical line (MFT_MENUBARBREAK)
constexpr int kBarItemPadding = 6;    // each side of a menu bar caption
constexpr int kBarSeparatorWidth = 6;
constexpr int kOwnerDrawCheckSpace = 12;  // popups add room for a check mark to owner-drawn widths
constexpr uintptr_t kHoverTimer = 1;
constexpr uint32_t kHoverDelay = 400;

int ItemHeight() { return GetSystemMetrics(SM_CYMENU); }

// ---- Registry -------------------------------------------------------------------------------

// Per window: its menu bar (with the bar's layout for the last width asked) and system menu.
struct TWindowMenus {
  HMENU Bar = nullptr;
  HMENU System = nullptr;
  // Windows are freed without telling us; a window that was seen created and now is not
  // is a new window at a recycled address.
  bool SeenCreated = false;
  bool Cached = false;
  HMENU CachedMenu = nullptr;
  uint64_t CachedVersion = 0;
  int CachedWidth = -1;
  std::vector<TRect> CachedItems;  // relative to the bar's top-left corner
  int CachedRows = 0;
};

class TMenuTracker;

struct TMenuRegistry {
  std::map<HMENU, std::unique_ptr<TMenuObject>> Menus;
  // Menus destroyed while a menu is tracked stay allocated until tracking ends, so that the
  // loop may still look at what it was showing.
  std::vector<std::unique_ptr<TMenuObject>> Graveyard;
  std::map<HWND, TWindowMenus> Windows;
  uint64_t Versions = 0;
  TMenuTracker* Tracker = nullptr;
};

TMenuRegistry& MS() {
  static TMenuRegistry registry;
  return registry;
}

HMENU Live(HMENU menu) { return menu && MS().Menus.count(menu) ? menu : nullptr; }

void Touch(HMENU menu) { menu->Version = ++MS().Versions; }

HMENU NewMenu() {
  auto owned = std::make_unique<TMenuObject>();
  HMENU menu = owned.get();
  Touch(menu);
  MS().Menus[menu] = std::move(owned);
  return menu;
}

// True when `target` is `from` or one of its submenus at any depth.
bool Reaches(HMENU from, HMENU target, std::set<HMENU>& seen) {
  if (from == target) return true;
  if (!Live(from) || !seen.insert(from).second) return false;
  for (const TItem& it : from->Items)
    if (it.SubMenu && Reaches(it.SubMenu, target, seen)) return true;
  return false;
}

// A submenu may be attached when it exists and does not contain the menu it goes into.
bool CanAttach(HMENU menu, HMENU sub) {
  if (!sub) return true;
  if (!Live(sub)) return false;
  std::set<HMENU> seen;
  return !Reaches(sub, menu, seen);
}

void CollectTree(HMENU menu, std::vector<HMENU>& out) {
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

bool IsSeparator(const TItem& it) { return (it.Type & MFT_SEPARATOR) != 0; }
bool IsOwnerDraw(const TItem& it) { return (it.Type & MFT_OWNERDRAW) != 0; }
bool IsDisabled(const TItem& it) { return (it.State & (MF_GRAYED | MF_DISABLED)) != 0; }
bool IsSelectable(const TItem& it) { return !IsSeparator(it) && !IsDisabled(it); }
HMENU SubOf(const TItem& it) { return Live(it.SubMenu); }

std::string CaptionOf(const std::string& text) { return text.substr(0, text.find('\t')); }
std::string ShortcutOf(const std::string& text) {
  const size_t tab = text.find('\t');
  return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

int LowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

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
bool FindItem(HMENU menu, UINT item, bool byPosition, TFound* out, std::set<HMENU>* seen = nullptr) {
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

TItem* ItemAt(const TFound& f) { return &f.Menu->Items[f.Pos]; }

TItem ItemFromFlags(UINT flags, uintptr_t idOrSubMenu, const std::string& text) {
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

bool InsertAt(HMENU menu, size_t pos, TItem item) {
  if (!Live(menu) || !CanAttach(menu, item.SubMenu)) return false;
  pos = std::min(pos, menu->Items.size());
  menu->Items.insert(menu->Items.begin() + std::ptrdiff_t(pos), std::move(item));
  Touch(menu);
  return true;
}

// ---- Measuring and drawing ------------------------------------------------------------------

TLogFont MenuFont(bool bold) {
  TLogFont f = DefaultGuiFont();
  if (bold) f.Style = fsBold;
  return f;
}

int TextWidth(const std::string& text, bool bold, bool prefix) {
  if (text.empty()) return 0;
  TDC dc;
  SelectFont(&dc, MenuFont(bold));
  TRect r{0, 0, 0, 0};
  DrawText(&dc, text, &r, DT_CALCRECT | DT_SINGLELINE | (prefix ? 0u : DT_NOPREFIX));
  return r.Width();
}

void Fill(HDC dc, const TRect& r, COLORREF c) { FillRect(dc, &r, CreateSolidBrush(c)); }

void HLine(HDC dc, int x1, int x2, int y, COLORREF c) { Fill(dc, {x1, y, x2, y + 1}, c); }
void VLine(HDC dc, int x, int y1, int y2, COLORREF c) { Fill(dc, {x, y1, x + 1, y2}, c); }

// A one-pixel edge around r: `tl` on the top and left, `br` on the bottom and right.
void Edge1(HDC dc, const TRect& r, COLORREF tl, COLORREF br) {
  HLine(dc, r.Left, r.Right - 1, r.Top, tl);
  VLine(dc, r.Left, r.Top, r.Bottom - 1, tl);
  HLine(dc, r.Left, r.Right, r.Bottom - 1, br);
  VLine(dc, r.Right - 1, r.Top, r.Bottom, br);
}

// A small glyph given as rows of '#' (painted) and '.', centred in `box`.
void DrawGlyph(HDC dc, const TRect& box, std::initializer_list<const char*> rows, COLORREF c) {
  const int h = int(rows.size());
  const int w = h ? int(std::string_view(*rows.begin()).size()) : 0;
  const int x0 = box.Left + (box.Width() - w) / 2, y0 = box.Top + (box.Height() - h) / 2;
  int y = y0;
  for (const char* row : rows) {
    for (int x = 0; row[x]; ++x)
      if (row[x] == '#') Fill(dc, {x0 + x, y, x0 + x + 1, y + 1}, c);
    ++y;
  }
}

void DrawCheckMark(HDC dc, const TRect& box, bool radio, COLORREF c) {
  if (radio)
    DrawGlyph(dc, box, {".####.", "######", "######", "######", "######", ".####."}, c);
  else
    DrawGlyph(dc, box, {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."}, c);
}

void DrawSubmenuArrow(HDC dc, const TRect& box, COLORREF c) {
  DrawGlyph(dc, box, {"#...", "##..", "###.", "####", "###.", "##..", "#..."}, c);
}

// Paints `paint(colour, offset)` grayed (embossed) or in the given colour.
template <class F>
void PaintMaybeEmbossed(bool embossed, COLORREF color, F&& paint) {
  if (embossed) {
    paint(GetSysColor(COLOR_BTNHIGHLIGHT), 1);
    paint(GetSysColor(COLOR_BTNSHADOW), 0);
  } else {
    paint(color, 0);
  }
}

UINT OwnerDrawState(const TItem& it, bool selected) {
  UINT s = 0;
  if (selected) s |= ODS_SELECTED;
  if (it.State & MF_GRAYED) s |= ODS_GRAYED;
  if (it.State & MF_DISABLED) s |= ODS_DISABLED;
  if (it.State & MF_CHECKED) s |= ODS_CHECKED;
  if (it.State & MF_DEFAULT) s |= ODS_DEFAULT;
  return s;
}

// The owner paints the whole item rectangle; the context comes prepared with the menu font
// and the colours of the item's state.
void SendDrawItem(HWND owner, HMENU menu, const TItem& it, HDC dc, const TRect& rc, bool selected, UINT action) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_MENU;
  dis.itemID = it.Id;
  dis.itemAction = action;
  dis.itemState = OwnerDrawState(it, selected);
  dis.hwndItem = menu;
  dis.hDC = dc;
  dis.rcItem = rc;
  dis.itemData = it.Data;
  const int saved = SaveDC(dc);
  SelectFont(dc, MenuFont((it.State & MF_DEFAULT) != 0));
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  SendMessage(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  RestoreDC(dc, saved);
}

MEASUREITEMSTRUCT SendMeasureItem(HWND owner, const TItem& it) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = ODT_MENU;
  mis.itemID = it.Id;
  mis.itemData = it.Data;
  mis.itemHeight = UINT(ItemHeight());
  SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  return mis;
}

// ---- Popup layout ---------------------------------------------------------------------------

struct TPopupLayout {
  std::vector<TRect> Items;    // client coordinates
  std::vector<int> ShortcutX;  // where each item's shortcut text starts (client x)
  std::vector<int> ColumnLines;  // x of the vertical lines of MFT_MENUBARBREAK
  TSize Size;                  // client size
};

TPopupLayout LayoutPopup(HMENU menu, HWND owner) {
  struct TColumn {
    size_t First = 0, Last = 0;
    int Caption = 0, Shortcut = 0, OwnerDrawn = 0;
  };
  // Owner-drawn items are measured first: the owner may change the menu meanwhile.
  std::vector<TItem> items = menu->Items;
  std::vector<int> heights(items.size()), ownerWidths(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    if (IsOwnerDraw(items[i])) {
      const MEASUREITEMSTRUCT mis = SendMeasureItem(owner, items[i]);
      heights[i] = int(std::min<UINT>(mis.itemHeight, 0x7FFF));
      ownerWidths[i] = int(std::min<UINT>(mis.itemWidth, 0x7FFF)) + kOwnerDrawCheckSpace;
    } else if (IsSeparator(items[i])) {
      heights[i] = kSeparatorHeight;
    } else {
      heights[i] = ItemHeight();
    }
  }
  std::vector<TColumn> columns;
  for (size_t i = 0; i < items.size(); ++i) {
    const TItem& it = items[i];
    if (columns.empty() || (it.Type & (MFT_MENUBREAK | MFT_MENUBARBREAK))) columns.push_back({i, i});
    TColumn& c = columns.back();
    c.Last = i;
    if (IsOwnerDraw(it)) {
      c.OwnerDrawn = std::max(c.OwnerDrawn, ownerWidths[i]);
      continue;
    }
    if (IsSeparator(it)) continue;
    const bool bold = (it.State & MF_DEFAULT) != 0;
    c.Caption = std::max(c.Caption, TextWidth(CaptionOf(it.Text), bold, true));
    c.Shortcut = std::max(c.Shortcut, TextWidth(ShortcutOf(it.Text), bold, false));
  }
  TPopupLayout l;
  l.Items.resize(items.size());
  l.ShortcutX.resize(items.size());
  int x = 0, height = 0;
  for (size_t ci = 0; ci < columns.size(); ++ci) {
    const TColumn& c = columns[ci];
    if (ci > 0 && (items[c.First].Type & MFT_MENUBARBREAK)) {
      l.ColumnLines.push_back(x + kColumnLineGap / 2 - 1);
      x += kColumnLineGap;
    }
    const int textWidth = kGutter + c.Caption + (c.Shortcut ? kShortcutGap + c.Shortcut : 0) + kArrowArea;
    const int width = std::max(textWidth, c.OwnerDrawn);
    int y = 0;
    for (size_t i = c.First; i <= c.Last; ++i) {
      l.Items[i] = {x, y, x + width, y + heights[i]};
      l.ShortcutX[i] = x + kGutter + c.Caption + kShortcutGap;
      y += heights[i];
    }
    height = std::max(height, y);
    x += width;
  }
  if (columns.empty()) x = kGutter + kArrowArea;
  l.Size = {x, height};
  return l;
}

void DrawPlainPopupItem(HDC dc, const TItem& it, const TRect& rc, int shortcutX, bool selected) {
  if (IsSeparator(it)) {
    Fill(dc, rc, GetSysColor(COLOR_MENU));
    const int y = rc.Top + rc.Height() / 2 - 1;
    HLine(dc, rc.Left + 1, rc.Right - 1, y, GetSysColor(COLOR_BTNSHADOW));
    HLine(dc, rc.Left + 1, rc.Right - 1, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    return;
  }
  const bool grayed = (it.State & MF_GRAYED) != 0;
  Fill(dc, rc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  SelectFont(dc, MenuFont((it.State & MF_DEFAULT) != 0));
  SetBkMode(dc, TRANSPARENT);
  const std::string caption = CaptionOf(it.Text), shortcut = ShortcutOf(it.Text);
  const bool hasSub = SubOf(it) != nullptr;
  const COLORREF color = GetSysColor(grayed ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  PaintMaybeEmbossed(grayed && !selected, color, [&](COLORREF c, int d) {
    SetTextColor(dc, c);
    TRect text{rc.Left + kGutter + d, rc.Top + d, rc.Right - kArrowArea + d, rc.Bottom + d};
    DrawText(dc, caption, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (!shortcut.empty()) {
      TRect sr{shortcutX + d, rc.Top + d, rc.Right - kArrowArea + d, rc.Bottom + d};
      DrawText(dc, shortcut, &sr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (it.State & MF_CHECKED)
      DrawCheckMark(dc, {rc.Left + d, rc.Top + d, rc.Left + kGutter + d, rc.Bottom + d}, (it.Type & MFT_RADIOCHECK) != 0, c);
    if (hasSub) DrawSubmenuArrow(dc, {rc.Right - kArrowArea + d, rc.Top + d, rc.Right - 4 + d, rc.Bottom + d}, c);
  });
}

void PaintPopupFrame(HDC dc, int w, int h) {
  const TRect all{0, 0, w, h};
  Edge1(dc, all, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
  Edge1(dc, {1, 1, w - 1, h - 1}, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
  const COLORREF menu = GetSysColor(COLOR_MENU);
  Edge1(dc, {2, 2, w - 2, h - 2}, menu, menu);
}

// ---- Menu bar layout ------------------------------------------------------------------------

struct TBarLayout {
  std::vector<TRect> Items;  // relative to the bar's top-left corner
  int Rows = 0;
};

TBarLayout ComputeBarLayout(HWND hwnd, HMENU menu, int width) {
  const std::vector<TItem> items = menu->Items;
  const int h = ItemHeight();
  TBarLayout l;
  int x = 0, row = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const TItem& it = items[i];
    int w;
    if (IsSeparator(it)) w = kBarSeparatorWidth;
    else if (IsOwnerDraw(it)) w = int(std::min<UINT>(SendMeasureItem(hwnd, it).itemWidth, 0x7FFF));
    else w = TextWidth(CaptionOf(it.Text), (it.State & MF_DEFAULT) != 0, true) + 2 * kBarItemPadding;
    const bool breakHere = (it.Type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) != 0;
    if (x > 0 && (x + w > width || breakHere)) {
      ++row;
      x = 0;
    }
    l.Items.push_back({x, row * h, x + w, row * h + h});
    x += w;
  }
  l.Rows = row + 1;
  return l;
}

TBarLayout BarLayout(HWND hwnd, int width) {
  auto found = MS().Windows.find(hwnd);
  if (found == MS().Windows.end()) return {};
  HMENU menu = Live(found->second.Bar);
  if (!menu) return {};
  const TWindowMenus& e = found->second;
  if (e.Cached && e.CachedMenu == menu && e.CachedVersion == menu->Version && e.CachedWidth == width)
    return {e.CachedItems, e.CachedRows};
  const uint64_t version = menu->Version;
  TBarLayout l = ComputeBarLayout(hwnd, menu, width);
  // Measuring talks to the window, which may have changed its menu meanwhile.
  auto again = MS().Windows.find(hwnd);
  if (again != MS().Windows.end() && again->second.Bar == menu && Live(menu) && menu->Version == version) {
    TWindowMenus& w = again->second;
    w.Cached = true;
    w.CachedMenu = menu;
    w.CachedVersion = version;
    w.CachedWidth = width;
    w.CachedItems = l.Items;
    w.CachedRows = l.Rows;
  }
  return l;
}

// Where the bar sits: its top-left corner in window coordinates and its width.
TRect BarBand(HWND hwnd) {
  const TFrameLayout f = ClassicFrameLayout(hwnd);
  const int w = hwnd->WindowRect.Width();
  return {f.Border, f.Border + f.Caption, w - f.Border, f.Border + f.Caption};
}

bool BarItemScreenRect(HWND hwnd, size_t pos, TRect* r) {
  const TRect band = BarBand(hwnd);
  const TBarLayout l = BarLayout(hwnd, band.Width());
  if (pos >= l.Items.size()) return false;
  const TPoint o = WindowOrigin(hwnd);
  *r = l.Items[pos].Offset(o.X + band.Left, o.Y + band.Top);
  return true;
}

void DrawPlainBarItem(HDC dc, const TItem& it, const TRect& rc, bool hot, bool pressed) {
  if (IsSeparator(it)) return;
  if (hot) {
    if (pressed) Edge1(dc, rc, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else Edge1(dc, rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
  }
  const int shift = hot && pressed ? 1 : 0;
  SelectFont(dc, MenuFont((it.State & MF_DEFAULT) != 0));
  SetBkMode(dc, TRANSPARENT);
  const std::string caption = CaptionOf(it.Text);
  PaintMaybeEmbossed((it.State & MF_GRAYED) != 0, GetSysColor(COLOR_MENUTEXT), [&](COLORREF c, int d) {
    SetTextColor(dc, c);
    TRect text = rc.Offset(shift + d, shift + d);
    DrawText(dc, caption, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  });
}

// ---- Placement ------------------------------------------------------------------------------

struct TPlacement {
  enum TKind { pkPoint, pkBelow, pkBeside } Kind = pkPoint;
  TPoint At;              // pkPoint: the point the alignment flags refer to
  UINT Align = 0;         // pkPoint: TPM_ alignment flags
  const TRect* Exclude = nullptr;
  TRect Anchor;           // pkBelow: the bar item; pkBeside: the parent popup
  int ItemTop = 0;        // pkBeside: screen top of the parent item
};

TPoint Place(const TPlacement& p, int w, int h) {
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

// ---- Tracking -------------------------------------------------------------------------------

LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void RegisterPopupClass() {
  WNDCLASS cls;
  cls.lpszClassName = kPopupClass;
  cls.style = CS_SAVEBITS;
  cls.lpfnWndProc = PopupProc;
  RegisterClass(cls);
}

bool IsMouseMessage(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

// 0 left, 1 right, 2 middle, -1 for other mouse messages.
int ButtonOf(UINT m) {
  if (m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK) return int(m - WM_LBUTTONDOWN) / 3;
  if (m >= WM_NCLBUTTONDOWN && m <= WM_NCMBUTTONDBLCLK) return int(m - WM_NCLBUTTONDOWN) / 3;
  return -1;
}

// The modal loop of one menu session: a popup menu and its open submenus, or a window's
// menu bar with the popup of its selected item. One session at a time.
class TMenuTracker {
 public:
  TMenuTracker(HWND owner, UINT flags, HMENU root, bool bar)
      : FOwner(owner), FFlags(flags), FRoot(root), FBar(bar ? owner : nullptr), FSystem(IsSystemMenuOf(root, owner)) {
    MS().Tracker = this;
  }
  ~TMenuTracker() {
    MS().Tracker = nullptr;
    MS().Graveyard.clear();
  }
  TMenuTracker(const TMenuTracker&) = delete;
  TMenuTracker& operator=(const TMenuTracker&) = delete;

  bool Chosen() const { return FChosen; }
  UINT ChosenId() const { return FChosenId; }
  bool IsSystem() const { return FSystem; }

  int TrackPopup(TPoint at, UINT align, const TRect* exclude) {
    Begin(true);
    TPlacement p;
    p.At = at;
    p.Align = align;
    p.Exclude = exclude;
    if (OpenPopup(FRoot, 0, p, false) && !FEnd) {
      FCapture = FLevels[0].Wnd;
      SetCapture(FCapture);
      FActive = GetActiveWindow();
      Run();
    }
    End(true);
    return FChosen ? 1 : 0;
  }

  enum TBarStart { bsMouse, bsKeyHot, bsKeyOpen };
  void TrackBar(int item, TBarStart how) {
    Begin(false);
    FCapture = FBar;
    SetCapture(FCapture);
    FActive = GetActiveWindow();
    FBarPressed = how == bsMouse;
    FDropMode = how != bsKeyHot;
    SwitchBar(item, how != bsKeyHot, how == bsKeyOpen);
    Run();
    End(false);
  }

  int HitBar(TPoint screen) const {
    if (!FBar || !IsWindow(FBar)) return -1;
    const TRect band = BarBand(FBar);
    const TBarLayout l = BarLayout(FBar, band.Width());
    const TPoint o = WindowOrigin(FBar);
    for (size_t i = 0; i < l.Items.size(); ++i)
      if (l.Items[i].Offset(o.X + band.Left, o.Y + band.Top).Contains(screen.X, screen.Y)) return int(i);
    return -1;
  }

  void Cancel() {
    FEnd = true;
    // Wake the loop if it is waiting for input.
    if (!FLevels.empty() && IsLive(FLevels[0].Wnd)) PostMessage(FLevels[0].Wnd, WM_NULL);
    else if (IsLive(FOwner)) PostMessage(FOwner, WM_NULL);
  }

  // ---- Used by the popup windows and the bar painter ----
  HWND WindowOf(HMENU menu) const {
    for (const TLevel& l : FLevels)
      if (l.Menu == menu) return l.Wnd;
    return nullptr;
  }

  bool PopupItemRect(HMENU menu, UINT pos, TRect* r) const {
    for (const TLevel& l : FLevels) {
      if (l.Menu != menu || !IsWindow(l.Wnd) || pos >= l.Layout.Items.size()) continue;
      TPoint o;
      ClientToScreen(l.Wnd, &o);
      *r = l.Layout.Items[pos].Offset(o.X, o.Y);
      return true;
    }
    return false;
  }

  HWND BarWindow() const { return FBar; }
  int HotBarItem() const { return FBarItem; }
  bool BarPressed() const { return FDropMode; }

  void PaintLevel(HWND wnd, HDC dc, const TRect& update) {
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

 private:
  struct TLevel {
    HMENU Menu = nullptr;
    HWND Wnd = nullptr;
    TPopupLayout Layout;
    uint64_t Version = 0;
    int Selected = -1;
  };

  HWND FOwner;
  UINT FFlags;
  HMENU FRoot;
  HWND FBar;      // the window whose menu bar is tracked, or nullptr for a popup menu
  bool FSystem;   // the root is the owner's system menu
  std::vector<TLevel> FLevels;
  HWND FCapture = nullptr;
  HWND FActive = nullptr;
  bool FEnd = false;
  bool FChosen = false;
  UINT FChosenId = 0;
  int FBarItem = -1;
  bool FDropMode = false;   // bar items open their popups as the mouse goes over them
  bool FBarPressed = false; // the mouse button went down on the hot bar item
  bool FPopupPressed = false;
  int FHoverLevel = -1, FHoverItem = -1;
  int FSwallowUp = -1;      // the menu is closing; the release of this button ends the loop

  bool Notify() const { return !(FFlags & TPM_NONOTIFY); }

  static bool HasSub(const TItem* it) { return it && SubOf(*it) && !IsDisabled(*it); }

  const TItem* BarItem(int i) const {
    HMENU bar = FBar ? Live(FRoot) : nullptr;
    return bar && i >= 0 && size_t(i) < bar->Items.size() ? &bar->Items[size_t(i)] : nullptr;
  }

  const TItem* LevelItem(size_t li, int i) const {
    if (li >= FLevels.size() || !Live(FLevels[li].Menu) || i < 0) return nullptr;
    const TMenuObject* m = FLevels[li].Menu;
    return size_t(i) < m->Items.size() ? &m->Items[size_t(i)] : nullptr;
  }

  int LevelOf(HWND wnd) const {
    for (size_t i = 0; i < FLevels.size(); ++i)
      if (FLevels[i].Wnd == wnd) return int(i);
    return -1;
  }

  void Begin(bool popup) {
    RegisterPopupClass();
    if (!Notify()) return;
    SendMessage(FOwner, WM_ENTERMENULOOP, popup ? 1 : 0);
    if (Live(FRoot)) SendMessage(FOwner, WM_INITMENU, reinterpret_cast<WPARAM>(FRoot));
  }

  void End(bool popup) {
    CloseFrom(0);
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

  bool StillValid() const {
    if (!IsLive(FOwner) || GetActiveWindow() != FActive || GetCapture() != FCapture) return false;
    if (FBar && BarMenuOf(FBar) != FRoot) return false;
    for (const TLevel& l : FLevels)
      if (!Live(l.Menu) || !IsLive(l.Wnd)) return false;
    return true;
  }

  void Run() {
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

  void Handle(TMsg& m) {
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
  void RefreshLayouts() {
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

  // ---- Levels ----

  bool OpenPopup(HMENU menu, int parentPos, const TPlacement& place, bool selectFirst) {
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

  void CloseFrom(size_t first) {
    if (FHoverLevel >= int(first)) FHoverLevel = FHoverItem = -1;
    while (FLevels.size() > first) {
      const TLevel l = FLevels.back();
      FLevels.pop_back();
      if (IsWindow(l.Wnd)) DestroyWindow(l.Wnd);
      if (Notify() && Live(l.Menu) && IsLive(FOwner))
        SendMessage(FOwner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(l.Menu), 0);
    }
  }

  void DrawItem(size_t li, int item, HDC dc, UINT action) {
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

  void RedrawItems(size_t li, std::initializer_list<int> items) {
    if (li >= FLevels.size() || !IsLive(FLevels[li].Wnd)) return;
    HWND wnd = FLevels[li].Wnd;
    HDC dc = GetDC(wnd);
    for (int i : items)
      if (i >= 0) DrawItem(li, i, dc, ODA_SELECT);
    ReleaseDC(wnd, dc);
  }

  void NotifySelect(HMENU menu, int pos, bool byMouse) {
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

  void Select(size_t li, int item, bool byMouse) {
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
  int NextSelectable(size_t li, int from, bool forward) const {
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

  void OpenSubmenu(size_t li, bool selectFirst) {
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

  void Choose(UINT id) {
    FChosen = true;
    FChosenId = id;
    FEnd = true;
  }

  // Opens the submenu of an item or chooses it.
  void Execute(size_t li, int item) {
    const TItem* it = LevelItem(li, item);
    if (!it) return;
    if (HasSub(it)) OpenSubmenu(li, true);
    else if (IsSelectable(*it) && !SubOf(*it)) Choose(it->Id);
  }

  // ---- The menu bar ----

  void RepaintBar() {
    if (FBar && IsWindowVisible(FBar)) SendMessage(FBar, WM_NCPAINT, 1, 0);
  }

  void SwitchBar(int item, bool open, bool selectFirst) {
    CloseFrom(0);
    if (FEnd) return;
    const bool changed = FBarItem != item;
    FBarItem = item;
    if (open) OpenBarPopup(selectFirst);
    RepaintBar();
    if (changed && !FEnd) NotifySelect(FRoot, item, !selectFirst);
  }

  void OpenBarPopup(bool selectFirst) {
    const TItem* it = BarItem(FBarItem);
    if (!HasSub(it)) return;
    HMENU sub = SubOf(*it);
    TPlacement p;
    p.Kind = TPlacement::pkBelow;
    if (!BarItemScreenRect(FBar, size_t(FBarItem), &p.Anchor)) return;
    FDropMode = true;
    OpenPopup(sub, FBarItem, p, selectFirst);
  }

  void MoveBar(int dir) {
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

  // ---- Mouse ----

  // The popup level under a screen point (deepest first) and the item there (-1: none).
  bool HitPopup(TPoint pt, size_t* level, int* item) const {
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

  void MouseOverPopup(size_t li, int item) {
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

  void HoverTimer(HWND wnd) {
    KillTimer(wnd, kHoverTimer);
    const int li = LevelOf(wnd);
    if (FSwallowUp >= 0 || li < 0 || li != FHoverLevel || FLevels[size_t(li)].Selected != FHoverItem) return;
    FHoverLevel = FHoverItem = -1;
    OpenSubmenu(size_t(li), false);
  }

  // A click that closes the menu goes nowhere, its release included: the menu disappears at
  // once and the loop keeps the capture until the button comes up.
  void CloseOnClick(UINT downMsg) {
    FSwallowUp = ButtonOf(downMsg);
    for (const TLevel& l : FLevels)
      if (IsLive(l.Wnd)) ShowWindow(l.Wnd, SW_HIDE);
    if (FBar) {
      FBarItem = -1;
      RepaintBar();
    }
  }

  void HandleMouse(const TMsg& m) {
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

  // ---- Keyboard ----

  void HandleKeyDown(TMsg& m) {
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

  void Escape() {
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

  void Vertical(bool down) {
    if (FLevels.empty()) {
      if (FBar && FBarItem >= 0) OpenBarPopup(true);
      return;
    }
    const size_t li = FLevels.size() - 1;
    const int next = NextSelectable(li, FLevels[li].Selected, down);
    if (next >= 0) Select(li, next, false);
  }

  void Enter() {
    if (FLevels.empty()) {
      const TItem* it = BarItem(FBarItem);
      if (HasSub(it)) OpenBarPopup(true);
      else if (it && IsSelectable(*it)) Choose(it->Id);
      return;
    }
    const size_t li = FLevels.size() - 1;
    Execute(li, FLevels[li].Selected);
  }

  void HandleChar(WPARAM ch) {
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
  void MenuChar(HMENU menu, WPARAM ch, int li) {
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
};

TMenuTracker* Tracker() { return MS().Tracker; }

LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
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

HMENU CreateSystemMenu(HWND hwnd) {
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

}  // namespace

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

// ---- Menu bars ------------------------------------------------------------------------------

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
