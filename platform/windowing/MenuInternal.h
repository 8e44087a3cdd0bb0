#pragma once
// Shared by the Menu*.cpp files only: the menu object, the registry of menus and windows, and
// the helpers that more than one of them uses. Not part of the window system's interface.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/windowing/Menu.h"
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

namespace MenuInternal {

using TItem = TMenuObject::TItem;

inline constexpr char kPopupClass[] = "#MenuPopup";
inline constexpr int kPopupBorder = 3;  // a raised two-line edge and one line of menu colour
inline constexpr int kArrowArea = 16;   // right of a popup item's caption: the submenu arrow

// ---- Registry (Menu.cpp) --------------------------------------------------------------------

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

TMenuRegistry& MS();
HMENU Live(HMENU menu);
inline TMenuTracker* Tracker() { return MS().Tracker; }
void RecalcFrame(HWND hwnd);
void SweepWindows();
TWindowMenus& EntryOf(HWND hwnd);
HMENU BarMenuOf(HWND hwnd);
bool IsSystemMenuOf(HMENU menu, HWND hwnd);

// ---- Items (Menu.cpp) -----------------------------------------------------------------------

inline bool IsSeparator(const TItem& it) { return (it.Type & MFT_SEPARATOR) != 0; }
inline bool IsOwnerDraw(const TItem& it) { return (it.Type & MFT_OWNERDRAW) != 0; }
inline bool IsDisabled(const TItem& it) { return (it.State & (MF_GRAYED | MF_DISABLED)) != 0; }
inline bool IsSelectable(const TItem& it) { return !IsSeparator(it) && !IsDisabled(it); }
inline HMENU SubOf(const TItem& it) { return Live(it.SubMenu); }
inline int LowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

std::string CaptionOf(const std::string& text);
std::string ShortcutOf(const std::string& text);
int AccelOf(const std::string& text);

// ---- Measuring, drawing and layout (Menu_Draw.cpp) ------------------------------------------

int ItemHeight();
void Fill(HDC dc, const TRect& r, COLORREF c);
void VLine(HDC dc, int x, int y1, int y2, COLORREF c);
void DrawSubmenuArrow(HDC dc, const TRect& box, COLORREF c);
void SendDrawItem(HWND owner, HMENU menu, const TItem& it, HDC dc, const TRect& rc, bool selected, UINT action);

struct TPopupLayout {
  std::vector<TRect> Items;    // client coordinates
  std::vector<int> ShortcutX;  // where each item's shortcut text starts (client x)
  std::vector<int> ColumnLines;  // x of the vertical lines of MFT_MENUBARBREAK
  TSize Size;                  // client size
};

TPopupLayout LayoutPopup(HMENU menu, HWND owner);
void DrawPlainPopupItem(HDC dc, const TItem& it, const TRect& rc, int shortcutX, bool selected);
void PaintPopupFrame(HDC dc, int w, int h);

struct TBarLayout {
  std::vector<TRect> Items;  // relative to the bar's top-left corner
  int Rows = 0;
};

// The bar's layout for a width, cached per window.
TBarLayout BarLayout(HWND hwnd, int width);
TRect BarBand(HWND hwnd);
bool BarItemScreenRect(HWND hwnd, size_t pos, TRect* r);
void DrawPlainBarItem(HDC dc, const TItem& it, const TRect& rc, bool hot, bool pressed);

// ---- The popup window class (Menu_Tracking.cpp) ---------------------------------------------

void RegisterPopupClass();

}  // namespace MenuInternal
