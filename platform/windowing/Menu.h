#pragma once
// Menus: popup menus tracked in their own popup window, window menu bars, and the system
// menu of the classic frame. Items may be owner-drawn through WM_MEASUREITEM/WM_DRAWITEM.
#include <cstdint>
#include <string>

#include "platform/windowing/WinApi.h"

// The window system's menu object, opaque outside the Menu*.cpp files (the toolkit's TMenu is another class).
struct TMenuObject;
using HMENU = TMenuObject*;

// Item types and states.
inline constexpr UINT MFT_STRING = 0x0000, MFT_BITMAP = 0x0004, MFT_MENUBARBREAK = 0x0020, MFT_MENUBREAK = 0x0040,
                      MFT_OWNERDRAW = 0x0100, MFT_RADIOCHECK = 0x0200, MFT_SEPARATOR = 0x0800,
                      MFT_RIGHTORDER = 0x2000, MFT_RIGHTJUSTIFY = 0x4000;
inline constexpr UINT MFS_ENABLED = 0x0000, MFS_UNCHECKED = 0x0000, MFS_UNHILITE = 0x0000, MFS_GRAYED = 0x0003,
                      MFS_DISABLED = MFS_GRAYED, MFS_CHECKED = 0x0008, MFS_HILITE = 0x0080, MFS_DEFAULT = 0x1000;
// MENUITEMINFO masks.
inline constexpr UINT MIIM_STATE = 0x0001, MIIM_ID = 0x0002, MIIM_SUBMENU = 0x0004, MIIM_CHECKMARKS = 0x0008,
                      MIIM_TYPE = 0x0010, MIIM_DATA = 0x0020, MIIM_STRING = 0x0040, MIIM_BITMAP = 0x0080,
                      MIIM_FTYPE = 0x0100;
// Flags of AppendMenu/InsertMenu/ModifyMenu/CheckMenuItem/EnableMenuItem.
inline constexpr UINT MF_BYCOMMAND = 0x0000, MF_BYPOSITION = 0x0400, MF_STRING = 0x0000, MF_SEPARATOR = 0x0800,
                      MF_ENABLED = 0x0000, MF_GRAYED = 0x0001, MF_DISABLED = 0x0002, MF_UNCHECKED = 0x0000,
                      MF_CHECKED = 0x0008, MF_POPUP = 0x0010, MF_MENUBARBREAK = 0x0020, MF_MENUBREAK = 0x0040,
                      MF_OWNERDRAW = 0x0100, MF_DEFAULT = 0x1000;
// WM_MENUSELECT flags (with the item flags above).
inline constexpr UINT MF_HILITE = 0x0080, MF_SYSMENU = 0x2000, MF_MOUSESELECT = 0x8000;
// WM_MENUCHAR results (high word; the low word names the item by position).
inline constexpr UINT MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;
// TrackPopupMenu flags.
inline constexpr UINT TPM_LEFTBUTTON = 0x0000, TPM_RIGHTBUTTON = 0x0002, TPM_LEFTALIGN = 0x0000,
                      TPM_CENTERALIGN = 0x0004, TPM_RIGHTALIGN = 0x0008, TPM_TOPALIGN = 0x0000,
                      TPM_VCENTERALIGN = 0x0010, TPM_BOTTOMALIGN = 0x0020, TPM_NONOTIFY = 0x0080,
                      TPM_RETURNCMD = 0x0100;
// Owner-draw.
inline constexpr UINT ODT_MENU = 1;
inline constexpr UINT ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4;
inline constexpr UINT ODS_SELECTED = 0x0001, ODS_GRAYED = 0x0002, ODS_DISABLED = 0x0004, ODS_CHECKED = 0x0008,
                      ODS_FOCUS = 0x0010, ODS_DEFAULT = 0x0020, ODS_HOTLIGHT = 0x0040, ODS_NOACCEL = 0x0100;

struct MENUITEMINFO {
  UINT fMask = 0;
  UINT fType = MFT_STRING;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  uintptr_t dwItemData = 0;
  std::string dwTypeData;  // the item's text: caption, then "\t" and the shortcut text
};

struct MEASUREITEMSTRUCT {
  UINT CtlType = ODT_MENU;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  uintptr_t itemData = 0;
};

struct DRAWITEMSTRUCT {
  UINT CtlType = ODT_MENU;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = ODA_DRAWENTIRE;
  UINT itemState = 0;
  HMENU hwndItem = nullptr;  // the menu
  HDC hDC = nullptr;
  TRect rcItem;
  uintptr_t itemData = 0;
};

HMENU CreatePopupMenu();
HMENU CreateMenu();  // a menu bar
bool DestroyMenu(HMENU menu);
bool IsMenu(HMENU menu);
bool AppendMenu(HMENU menu, UINT flags, uintptr_t idOrSubMenu, const std::string& text);
bool InsertMenuItem(HMENU menu, UINT item, bool byPosition, const MENUITEMINFO* info);
bool GetMenuItemInfo(HMENU menu, UINT item, bool byPosition, MENUITEMINFO* info);
bool SetMenuItemInfo(HMENU menu, UINT item, bool byPosition, const MENUITEMINFO* info);
bool RemoveMenu(HMENU menu, UINT item, UINT flags);  // keeps a submenu alive
bool DeleteMenu(HMENU menu, UINT item, UINT flags);  // destroys a submenu too
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int pos);
HMENU GetSubMenu(HMENU menu, int pos);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int CheckMenuItem(HMENU menu, UINT item, UINT flags);  // previous state or -1
bool CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
int EnableMenuItem(HMENU menu, UINT item, UINT flags);
bool SetMenuDefaultItem(HMENU menu, UINT item, bool byPosition);
// The default item's id (or position), or UINT(-1) when the menu has none.
UINT GetMenuDefaultItem(HMENU menu, bool byPosition);
bool InsertMenu(HMENU menu, UINT item, UINT flags, uintptr_t idOrSubMenu, const std::string& text);
bool ModifyMenu(HMENU menu, UINT item, UINT flags, uintptr_t idOrSubMenu, const std::string& text);
// The item's text ("" when there is no such item).
std::string GetMenuString(HMENU menu, UINT item, UINT flags);

// Shows the menu at a screen point and tracks it until an item is chosen or the menu is
// dismissed (click outside, Escape, focus loss). With TPM_RETURNCMD returns the chosen id
// (0 when none); otherwise posts WM_COMMAND (or WM_SYSCOMMAND for the system menu) to the
// owner and returns whether an item was chosen.
int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const TRect* exclude);
bool EndMenu();
// The popup window of the menu being tracked, or nullptr.
HWND GetMenuWindow(HMENU menu);

// Window menu bars.
bool SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
bool DrawMenuBar(HWND hwnd);
// Screen rectangle of an item of a window's menu bar (or of a shown popup menu).
bool GetMenuItemRect(HWND hwnd, HMENU menu, UINT pos, TRect* r);

// The classic system menu (Restore, Move, Size, Minimize, Maximize, Close).
HMENU GetSystemMenu(HWND hwnd, bool revert);

// ---- Used by the default window procedure ------------------------------------------------------
// Height of the menu bar of a window whose frame is `width` wide (0 without a menu).
int MenuBarHeight(HWND hwnd, int width);
// Paints the menu bar into a window device context at `bar` (window coordinates).
void PaintMenuBar(HWND hwnd, HDC windowDC, const TRect& bar);
// The same over what the context already shows there when `fillBackground` is false (a frame
// that paints the bar's background itself).
void PaintMenuBarItems(HWND hwnd, HDC windowDC, const TRect& bar, bool fillBackground);
// Tracks the menu bar after a click on it (HTMENU) or a menu key (F10, Alt, Alt+letter).
void TrackMenuBar(HWND hwnd, TPoint screen);
void TrackMenuBarKey(HWND hwnd, WPARAM key);
// Shows the system menu at a screen point and sends the chosen WM_SYSCOMMAND.
void TrackSystemMenu(HWND hwnd, TPoint screen);
