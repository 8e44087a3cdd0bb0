#pragma once
// The modal loop that tracks menus; internal to the Menu*.cpp files.
#include <initializer_list>
#include <vector>

#include "platform/windowing/MenuInternal.h"

namespace MenuInternal {

// Where a popup opens.
struct TPlacement {
  enum TKind { pkPoint, pkBelow, pkBeside } Kind = pkPoint;
  TPoint At;              // pkPoint: the point the alignment flags refer to
  UINT Align = 0;         // pkPoint: TPM_ alignment flags
  const TRect* Exclude = nullptr;
  TRect Anchor;           // pkBelow: the bar item; pkBeside: the parent popup
  int ItemTop = 0;        // pkBeside: screen top of the parent item
};

// The modal loop of one menu session: a popup menu and its open submenus, or a window's
// menu bar with the popup of its selected item. One session at a time.
class TMenuTracker {
 public:
  TMenuTracker(HWND owner, UINT flags, HMENU root, bool bar);
  ~TMenuTracker();
  TMenuTracker(const TMenuTracker&) = delete;
  TMenuTracker& operator=(const TMenuTracker&) = delete;

  bool Chosen() const { return FChosen; }
  UINT ChosenId() const { return FChosenId; }
  bool IsSystem() const { return FSystem; }

  int TrackPopup(TPoint at, UINT align, const TRect* exclude);
  enum TBarStart { bsMouse, bsKeyHot, bsKeyOpen };
  void TrackBar(int item, TBarStart how);
  int HitBar(TPoint screen) const;
  void Cancel();

  // Used by the popup windows and the bar painter.
  HWND WindowOf(HMENU menu) const;
  bool PopupItemRect(HMENU menu, UINT pos, TRect* r) const;
  HWND BarWindow() const { return FBar; }
  int HotBarItem() const { return FBarItem; }
  bool BarPressed() const { return FDropMode; }
  void PaintLevel(HWND wnd, HDC dc, const TRect& update);

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
  bool FPointerGrabbed = false;
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
  TClickRecord FOpeningPress;  // the left press that opened the menu, still held when it opened

  bool Notify() const { return !(FFlags & TPM_NONOTIFY); }
  static bool HasSub(const TItem* it) { return it && SubOf(*it) && !IsDisabled(*it); }
  const TItem* BarItem(int i) const;
  const TItem* LevelItem(size_t li, int i) const;
  int LevelOf(HWND wnd) const;
  void Begin(bool popup);
  void End(bool popup);
  void GrabPointer(bool grab);
  bool StillValid() const;
  void Run();
  void Handle(TMsg& m);
  void RefreshLayouts();

  // Levels
  bool OpenPopup(HMENU menu, int parentPos, const TPlacement& place, bool selectFirst);
  void CloseFrom(size_t first);
  void DrawItem(size_t li, int item, HDC dc, UINT action);
  void RedrawItems(size_t li, std::initializer_list<int> items);
  void NotifySelect(HMENU menu, int pos, bool byMouse);
  void Select(size_t li, int item, bool byMouse);
  int NextSelectable(size_t li, int from, bool forward) const;
  void OpenSubmenu(size_t li, bool selectFirst);
  void Choose(UINT id);
  void Execute(size_t li, int item);

  // The menu bar
  void RepaintBar();
  void SwitchBar(int item, bool open, bool selectFirst);
  void OpenBarPopup(bool selectFirst);
  void MoveBar(int dir);

  // Mouse
  bool HitPopup(TPoint pt, size_t* level, int* item) const;
  void MouseOverPopup(size_t li, int item);
  void HoverTimer(HWND wnd);
  void CloseOnClick(UINT downMsg);
  void HandleMouse(const TMsg& m);

  // Keyboard
  void HandleKeyDown(TMsg& m);
  void Escape();
  void Vertical(bool down);
  void Enter();
  void HandleChar(WPARAM ch);
  void MenuChar(HMENU menu, WPARAM ch, int li);
};

}  // namespace MenuInternal
