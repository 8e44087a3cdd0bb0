#pragma once
// A virtual screen for tests and the scripted UI driver: 1280 x 1024 pixels with a work area
// of 1280 x 984 at (0, 0), a virtual clock that only moves when told to, input injected at
// screen coordinates, and screenshots of the screen or of one window.
//
// Two ways to drive it:
// - Directly from a test on the user-interface thread: inject input, then Pump() to let the
//   window system handle it, and Advance(ms) to move the clock through every due timer.
// - As a script: Schedule(...) actions that run one by one whenever the program waits for
//   input (also inside modal loops). When the script is used up, the display asks the
//   program to quit.
//
// It can play a window manager: then top-level windows other than popups are managed (a
// minimised one leaves the screen and keeps its rectangle, a window it is asked to restore from
// the maximised state goes back to the place it had when it was maximised), and a test acts as
// the manager, giving the focus, setting states and moving windows from outside.
//
// With a scale factor N the screen is shown N times larger, as the X display does for
// high-density screens: the window system sees the screen of the given size, while injected
// input positions, screenshots and ScreenPixel are in the pixels of the enlarged screen.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/windowing/WinApi.h"

class THeadlessDisplay : public TDisplay {
 public:
  explicit THeadlessDisplay(int width = 1280, int height = 1024, TRect workArea = {0, 0, 1280, 984}, int scale = 1);
  int Scale() const { return FScale; }

  // ---- TDisplay ----
  TRect ScreenRect() const override { return FScreen; }
  TRect WorkArea() const override { return FWork; }
  uint64_t Now() const override { return FNow; }
  void CreateSurface(HWND hwnd, const TRect& bounds, TSurfaceKind kind, HWND owner) override;
  void DestroySurface(HWND hwnd) override;
  void SetSurfaceVisible(HWND hwnd, bool visible) override;
  void SetSurfaceBounds(HWND hwnd, const TRect& bounds) override;
  void RaiseSurface(HWND) override {}
  void SetSurfaceShape(HWND hwnd, const TRegion* shape) override;
  void Present(HWND hwnd, const TDib& pixels, const TRegion& dirty) override;
  bool NextEvent(TInputEvent& event) override;
  // Never blocks: time moves only when told (a script's wait), so file watches are read by the
  // message loop itself whenever it looks for work.
  void Wait(int64_t timeoutMs, const std::vector<int>& descriptors) override;
  TPoint CursorPos() const override { return FCursor; }
  void Beep() override { ++FBeeps; }
  bool IsManaged(HWND hwnd) const override;
  void SetSurfaceState(HWND hwnd, const TSurfaceState& state) override;

  // ---- Input injection ----
  void MoveMouse(int x, int y);
  void Press(int button = 0);
  void Release(int button = 0);
  void Click(int x, int y, int button = 0);  // move, press, release
  void Wheel(int delta);
  void KeyDown(WPARAM vk, bool repeat = false);
  void KeyUp(WPARAM vk);
  void Key(WPARAM vk);                 // down and up
  void TypeText(const std::string& text);  // US layout, Shift where needed
  void DropFile(const std::string& path, int x, int y);
  void DropFiles(std::vector<std::string> paths, int x, int y);
  void RequestClose(HWND hwnd);

  // ---- A window manager ----
  void SetWindowManager(bool present) { FManager = present; }
  // The state the window system last asked the manager for.
  TSurfaceState SurfaceState(HWND hwnd) const;
  // The manager gives the window the keyboard focus (alt-tab, a taskbar, another program).
  void GiveFocus(HWND hwnd);
  // Another program takes the keyboard focus from the window that has it (nullptr: from
  // whichever does).
  void TakeFocus(HWND from);
  // The manager minimises, maximises or restores the window, or moves and sizes it.
  void ManagerSetsState(HWND hwnd, const TSurfaceState& state);
  void ManagerMoves(HWND hwnd, const TRect& bounds);

  // ---- Time ----
  // Moves the clock by `ms`, stopping at every due timer to let the program handle it.
  void Advance(uint64_t ms);
  // Handles everything that is ready now (input, paint, due timers).
  void Pump();

  // ---- Script ----
  void Schedule(std::function<void()> action);
  // A script step that moves the clock by `ms` while the program runs its loops.
  void ScheduleWait(uint64_t ms);
  bool ScriptDone() const { return FScript.empty() && !FWaitUntil; }

  // ---- Output ----
  TDib Screenshot() const;
  // The window's own pixels as last presented (frame included).
  TDib WindowShot(HWND hwnd) const;
  COLORREF ScreenPixel(int x, int y) const;
  int BeepCount() const { return FBeeps; }
  // What the window system made of a window's surface, and the owner it named (a dialog's).
  TSurfaceKind SurfaceKind(HWND hwnd) const;
  HWND SurfaceOwner(HWND hwnd) const;

 private:
  struct TSurface {
    TRect Bounds;
    bool Visible = false;
    bool Popup = false;  // not a top-level window: a played manager leaves it alone
    TSurfaceKind Kind = skTopLevel;
    HWND Owner = nullptr;
    TSurfaceState State;
    TRect NormalBounds;  // the place before the manager maximised the window
    std::optional<TRegion> Shape;
    TDib Pixels;
  };
  TPoint ToLogical(TPoint p) const;
  bool Shown(const TSurface& s) const { return s.Visible && !(IsManagedSurface(s) && s.State.Minimized); }
  bool IsManagedSurface(const TSurface& s) const { return FManager && !s.Popup; }
  void Push(TInputEvent::TKind kind, HWND hwnd);
  int FScale = 1;
  bool FManager = false;
  TRect FScreen;
  TRect FWork;
  uint64_t FNow = 0;
  TPoint FCursor;
  int FBeeps = 0;
  std::map<HWND, TSurface> FSurfaces;
  std::deque<TInputEvent> FEvents;
  std::deque<std::function<void()>> FScript;
  std::optional<uint64_t> FWaitUntil;
};
