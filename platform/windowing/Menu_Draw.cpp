// Menus: measuring and drawing items (owner-drawn ones through WM_MEASUREITEM/WM_DRAWITEM),
// the layout of popups and of menu bars.
#include "platform/windowing/MenuInternal.h"

#include <algorithm>

#include "platform/graphics/Text.h"

namespace MenuInternal {

constexpr int kSeparatorHeight = 9;
constexpr int kGutter = 18;           // left of a popup item's caption: check mark or radio dot
constexpr int kShortcutGap = 16;      // between the captions and the shortcut column
constexpr int kColumnLineGap = 4;     // a column break with a vertical line (MFT_MENUBARBREAK)
constexpr int kBarItemPadding = 6;    // each side of a menu bar caption
constexpr int kBarSeparatorWidth = 6;
constexpr int kOwnerDrawCheckSpace = 12;  // popups add room for a check mark to owner-drawn widths

int ItemHeight() { return GetSystemMetrics(SM_CYMENU); }

// ---- Measuring and drawing ------------------------------------------------------------------

static TLogFont MenuFont(bool bold) {
  TLogFont f = DefaultGuiFont();
  if (bold) f.Style = fsBold;
  return f;
}

static int TextWidth(const std::string& text, bool bold, bool prefix) {
  if (text.empty()) return 0;
  TDC dc;
  SelectFont(&dc, MenuFont(bold));
  TRect r{0, 0, 0, 0};
  DrawText(&dc, text, &r, DT_CALCRECT | DT_SINGLELINE | (prefix ? 0u : DT_NOPREFIX));
  return r.Width();
}

void Fill(HDC dc, const TRect& r, COLORREF c) { FillRect(dc, &r, CreateSolidBrush(c)); }

static void HLine(HDC dc, int x1, int x2, int y, COLORREF c) { Fill(dc, {x1, y, x2, y + 1}, c); }
void VLine(HDC dc, int x, int y1, int y2, COLORREF c) { Fill(dc, {x, y1, x + 1, y2}, c); }

// A one-pixel edge around r: `tl` on the top and left, `br` on the bottom and right.
static void Edge1(HDC dc, const TRect& r, COLORREF tl, COLORREF br) {
  HLine(dc, r.Left, r.Right - 1, r.Top, tl);
  VLine(dc, r.Left, r.Top, r.Bottom - 1, tl);
  HLine(dc, r.Left, r.Right, r.Bottom - 1, br);
  VLine(dc, r.Right - 1, r.Top, r.Bottom, br);
}

// A small glyph given as rows of '#' (painted) and '.', centred in `box`.
static void DrawGlyph(HDC dc, const TRect& box, std::initializer_list<const char*> rows, COLORREF c) {
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

static void DrawCheckMark(HDC dc, const TRect& box, bool radio, COLORREF c) {
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
static void PaintMaybeEmbossed(bool embossed, COLORREF color, F&& paint) {
  if (embossed) {
    paint(GetSysColor(COLOR_BTNHIGHLIGHT), 1);
    paint(GetSysColor(COLOR_BTNSHADOW), 0);
  } else {
    paint(color, 0);
  }
}

static UINT OwnerDrawState(const TItem& it, bool selected) {
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

static MEASUREITEMSTRUCT SendMeasureItem(HWND owner, const TItem& it) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = ODT_MENU;
  mis.itemID = it.Id;
  mis.itemData = it.Data;
  mis.itemHeight = UINT(ItemHeight());
  SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  return mis;
}

// ---- Popup layout ---------------------------------------------------------------------------

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

static TBarLayout ComputeBarLayout(HWND hwnd, HMENU menu, int width) {
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
}  // namespace MenuInternal
