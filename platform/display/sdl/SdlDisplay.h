#pragma once
// The real screen: every top-level or popup window is a borderless SDL window of the window's
// full size that shows the window system's own pixels (frame included). Moving, sizing and
// the frame belong to the window system; this class shows pixels, shapes the native window,
// keeps the keyboard focus among our windows, and turns SDL input into input events at
// screen coordinates. One instance at a time: it owns SDL's video subsystem.
//
// Under a window manager (one that follows the desktop conventions: _NET_SUPPORTING_WM_CHECK
// on the root window) top-level windows other than popups are the manager's to place, minimise
// and maximise: the window system's wishes are passed on to it, and what it does (the focus it
// gives, the states it sets, the places and sizes it chooses) comes back as input events.
//
// With a scale factor N above 1 every window is shown N times larger with square blocks of
// N x N screen pixels per pixel; the window system above keeps working in its own pixels (the
// screen it sees is N times smaller and input positions are divided by N).
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/windowing/Display.h"

struct SDL_Window;
union SDL_Event;
struct _XDisplay;
union _XEvent;

class TSdlDisplay : public TDisplay {
 public:
  static constexpr int kMaxScale = 8;
  // Throws std::runtime_error when no display can be opened: none named in the environment
  // (DISPLAY, WAYLAND_DISPLAY), or SDL cannot reach it. Never falls back to an invisible
  // driver unless SDL_VIDEODRIVER asks for one. A launcher's start-up notice
  // (DESKTOP_STARTUP_ID) is taken from the environment, so that programs started later do
  // not inherit it, and ended when the first top-level window is shown.
  explicit TSdlDisplay(int scale = 1);
  ~TSdlDisplay() override;
  TSdlDisplay(const TSdlDisplay&) = delete;
  TSdlDisplay& operator=(const TSdlDisplay&) = delete;

  // The program's identity on the desktop, given to top-level windows created afterwards: the
  // window class that docks and taskbars group windows by (a desktop entry's StartupWMClass),
  // and the icon in several sizes, as 32-bit pictures with transparency (B, G, R, alpha).
  void SetIdentity(const std::string& windowClass, const std::vector<TDib>& icons);

  TRect ScreenRect() const override;
  TRect WorkArea() const override;
  uint64_t Now() const override;
  void CreateSurface(HWND hwnd, const TRect& bounds, bool popup) override;
  void DestroySurface(HWND hwnd) override;
  void SetSurfaceVisible(HWND hwnd, bool visible) override;
  void SetSurfaceBounds(HWND hwnd, const TRect& bounds) override;
  void RaiseSurface(HWND hwnd) override;
  void SetSurfaceShape(HWND hwnd, const TRegion* shape) override;
  void SetSurfaceTitle(HWND hwnd, const std::string& title) override;
  void SetKeyboardFocus(HWND hwnd) override;
  bool IsManaged(HWND hwnd) const override;
  void SetSurfaceState(HWND hwnd, const TSurfaceState& state) override;
  void Present(HWND hwnd, const TDib& pixels, const TRegion& dirty) override;
  bool NextEvent(TInputEvent& event) override;
  void Wait(int64_t timeoutMs) override;
  TPoint CursorPos() const override;
  void Beep() override;
  bool QuitRequested() const override;
  int Scale() const { return FScale; }
  // Whether a window manager runs on the screen now.
  bool WindowManagerRunning() const;

 private:
  struct TWindowDeleter {
    void operator()(SDL_Window* window) const;
  };
  struct TSurface {
    std::unique_ptr<SDL_Window, TWindowDeleter> Sdl;
    uint32_t Id = 0;
    unsigned long XId = 0;  // the X window, 0 on other drivers
    bool Popup = false;
    bool Visible = false;
    TRect Bounds;
    std::optional<TRegion> Shape;  // window coordinates; none = the whole rectangle
    int FilledWidth = 0, FilledHeight = 0;  // size of the window surface when a present last filled it
    HWND FocusBefore = nullptr;    // who had the keyboard focus when a popup appeared
    // The state the window manager gives the window, as last asked for or read; a minimised
    // window is out of sight and is not drawn into until it comes back.
    TSurfaceState State;
    bool Reparented = false;  // inside a window manager's frame
    // Places and sizes asked of the X server, in screen pixels, oldest first, until it reports
    // them: reports of these are the program's own moves, any other is made from outside.
    std::deque<TRect> Requested;
    TRect Reported;              // the place and size the X server last reported, screen pixels
    bool MovedOutside = false;   // Bounds were changed from outside and are still to be reported
  };

  TPoint ToLogical(TPoint screen) const;
  TSurface* Find(HWND hwnd);
  const TSurface* Find(HWND hwnd) const;
  HWND FromId(uint32_t id) const;
  HWND FromX(unsigned long xid) const;
  void Translate(const SDL_Event& e);
  void TranslateKey(const SDL_Event& e);
  void TranslateNative(const SDL_Event& e);
  void TranslateMouse(const SDL_Event& e);
  void PushMove(TPoint screen);
  // Sees native events while their extension data is still readable (SDL frees it before
  // the event reaches the queue's reader).
  static int WatchNative(void* self, SDL_Event* e);
  // Reads the files of a drop whose list has arrived (on the watch, before SDL reads it).
  void ReadDropList(const _XEvent& x);
  bool QueryPointer(TPoint& screen) const;
  // Puts the window surface's pixels on the screen again (an exposure).
  void ShowAgain(TSurface& s);
  void ApplyShape(TSurface& s);
  // Moves the keyboard focus off a window that is going away or being hidden.
  void HandFocusOn(HWND leaving);
  // Which of our windows holds the keyboard focus, nullptr when none does.
  HWND FocusedWindow() const;
  // Reports a change of the keyboard focus between our windows and the rest of the screen.
  void CheckFocus();
  // Keeps FServerPressed: a press the server made sets the button's bit, anything else clears it.
  void NoteServerButton(unsigned xButton, bool heldByServer);
  // Releases, through the X queue, a button that is held here but up on the server.
  void RecoverLostRelease();
  void SyncX() const;

  // ---- The window manager ----
  void WatchRoot();
  // A native window got its X window: identity, start-up notice and the manager's hints.
  void PrepareNative(TSurface& s, HWND hwnd);
  void EndStartupNotice(const TSurface& s);
  void NoteRequested(TSurface& s, const TRect& screenRect);
  void TranslateManager(const _XEvent& x);
  void FollowConfigure(TSurface& s, const _XEvent& x);
  // Reports the places and sizes changed from outside since the last time: after any change of
  // state that came with them (the window system takes a window's normal place from the moment
  // it learns the window is maximised), before any input that followed them.
  void ReportMovedOutside();
  void ReadManagerState(HWND hwnd, TSurface& s);
  void SendToManager(const TSurface& s, const char* type, long l0, long l1 = 0, long l2 = 0, long l3 = 0);

  int FScale = 1;
  static constexpr uint64_t kWorkAreaLifeMs = 1000;
  mutable TRect FWorkArea;
  mutable uint64_t FWorkAreaTime = 0;
  mutable bool FWorkAreaRead = false;
  std::map<HWND, TSurface> FSurfaces;
  std::map<uint32_t, HWND> FById;
  std::deque<TInputEvent> FEvents;
  std::optional<TInputEvent> FDrop;  // the drop whose files are arriving
  mutable TPoint FCursor;
  // SDL reports the pointer relative to a window and drops moves that look like no move
  // because the window itself moved along: on X the moves come from the native events,
  // whose screen positions hold at the time of the event.
  bool FNativePointer = false;
  int FXiOpcode = -1;  // the input extension's events; -1 not asked yet, 0 none
  struct TNativePos {
    unsigned long Serial = 0;
    TPoint Pos;
    unsigned Button = 0;  // the X button of a press or release
  };
  std::deque<TNativePos> FXiPositions;
  // Files of drops read on the watch, by the serial of the event that brought them.
  struct TNativeDrop {
    unsigned long Serial = 0;
    std::vector<std::string> Files;
  };
  std::deque<TNativeDrop> FNativeDrops;
  // Screen position from the native event that precedes SDL's button or wheel event.
  TPoint FRootPos;
  bool FRootFresh = false;
  unsigned FButtons = 0;  // SDL button mask while pressed
  // SDL button mask of the presses the server itself made (not sent by another client), whose
  // state the server's button mask tells.
  unsigned FServerPressed = 0;
  bool FFocusChanged = false;
  bool FHadFocus = false;
  HWND FLastFocus = nullptr;
  int FHasShape = -1;  // whether the X server shapes windows; -1 not asked yet
  _XDisplay* FX = nullptr;  // SDL's connection to the X server, once a window has shown it
  // The window manager, as last read from the root window; -1 not read yet.
  mutable int FManagerRunning = -1;
  bool FRootWatched = false;
  std::string FWindowClass;
  std::vector<unsigned long> FIcon;  // _NET_WM_ICON: width, height, ARGB pixels, for each size
  std::string FStartupId;
};
