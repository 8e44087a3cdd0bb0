#pragma once
// What the window system needs of a screen: native surfaces for top-level and popup windows,
// input, a clock and a beep. Implemented by the X display (real windows) and the headless
// display (a virtual screen for tests and the scripted UI driver).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/Dib.h"
#include "platform/graphics/Region.h"
#include "platform/windowing/Messages.h"

struct TWnd;
using HWND = TWnd*;

// What a window manager shows of a top-level window: minimised (on a taskbar, out of sight),
// maximised, both (minimised from the maximised state, which a restore brings back), or neither.
struct TSurfaceState {
  bool Minimized = false;
  bool Maximized = false;
  bool operator==(const TSurfaceState&) const = default;
};

// What a native surface is to the desktop: a program's own window, a dialog of one of them
// (kept above its owner, and modal while the owner is disabled), or a window only shown for
// a moment that no window manager handles: a menu, or a hint beside the pointer.
enum TSurfaceKind { skTopLevel, skDialog, skMenu, skHint };

struct TInputEvent {
  enum TKind {
    ieMouseMove,
    ieButtonDown,
    ieButtonUp,
    ieWheel,
    ieKeyDown,
    ieKeyUp,
    ieFocusLost,     // the native window lost the keyboard focus to another program
    ieFocusGained,   // the keyboard focus was given to the native window from outside
    ieStateChanged,  // the window manager minimised, maximised or restored the window
    ieBoundsChanged, // the native window was moved or sized from outside
    ieCloseRequest,  // the user asked to close the native window from outside
    ieDropFile,      // files dropped on a window
    ieQuit,          // the display is going away (or a headless script has ended)
  };
  TKind Kind = ieMouseMove;
  TPoint ScreenPos;       // mouse events and drops
  int Button = 0;         // 0 left, 1 right, 2 middle
  int WheelDelta = 0;     // multiples of 120, positive away from the user
  WPARAM Key = 0;         // virtual-key code
  bool Repeat = false;    // key auto-repeat
  // The character a key-down gives in the keyboard layout in use (Windows-1252), 0 for none;
  // -1 when the display does not know (the key is then read as on a US keyboard).
  int Character = -1;
  HWND Window = nullptr;  // target of focus, state, bounds, close and drop events
  TSurfaceState State;    // the window's state after ieStateChanged
  TRect Bounds;           // the window's rectangle after ieBoundsChanged, screen coordinates
  std::vector<std::string> Files;  // dropped files' paths, in the order of the drop
};

class TDisplay {
 public:
  virtual ~TDisplay() = default;

  virtual TRect ScreenRect() const = 0;
  virtual TRect WorkArea() const = 0;
  // Milliseconds on the display's clock (virtual on the headless display).
  virtual uint64_t Now() const = 0;

  // A top-level or popup window's native surface, in screen coordinates; a dialog's owner is
  // the top-level window it belongs to.
  virtual void CreateSurface(HWND hwnd, const TRect& bounds, TSurfaceKind kind, HWND owner) = 0;
  virtual void DestroySurface(HWND hwnd) = 0;
  virtual void SetSurfaceVisible(HWND hwnd, bool visible) = 0;
  virtual void SetSurfaceBounds(HWND hwnd, const TRect& bounds) = 0;
  virtual void RaiseSurface(HWND hwnd) = 0;
  // The window outline in window coordinates; nullptr for the whole rectangle.
  virtual void SetSurfaceShape(HWND hwnd, const TRegion* shape) = 0;
  virtual void SetSurfaceTitle(HWND, const std::string&) {}
  virtual void SetKeyboardFocus(HWND) {}
  // Whether a window manager places, minimises and maximises this window's surface. Then the
  // window system asks it to (SetSurfaceState) instead of doing it all itself, and follows what
  // the manager does (ieStateChanged, ieBoundsChanged); a minimised window keeps its rectangle.
  virtual bool IsManaged(HWND) const { return false; }
  virtual void SetSurfaceState(HWND, const TSurfaceState&) {}
  // Shows the window's pixels (its whole frame, window coordinates) inside `dirty`.
  virtual void Present(HWND hwnd, const TDib& pixels, const TRegion& dirty) = 0;

  // Next pending input event, without blocking.
  virtual bool NextEvent(TInputEvent& event) = 0;
  // Blocks until an event may be pending, `timeoutMs` passed (-1: no timeout) or one of
  // `descriptors` has something to read (the window system's file watches).
  virtual void Wait(int64_t timeoutMs, const std::vector<int>& descriptors) = 0;

  virtual TPoint CursorPos() const = 0;
  // While a menu tracks the pointer, presses anywhere on the screen (on other programs' windows
  // too) come to the program, at their screen positions, so that a click elsewhere closes the
  // menu; presses on the program's own windows go to them as always.
  virtual void SetPointerGrab(bool) {}
  virtual void Beep() {}
  // True once the program has been asked from outside to end (a termination signal). The
  // window system then ends every message loop at once, whatever is still queued.
  virtual bool QuitRequested() const { return false; }
};
