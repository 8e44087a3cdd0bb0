#pragma once
// The real screen, through Xlib: every top-level or popup window is an X window of the
// window's full size that shows the window system's own pixels (frame included). Moving,
// sizing and the frame belong to the window system; this class shows pixels, shapes the X
// window, keeps the keyboard focus among our windows, takes dropped files, and turns X input
// into input events at screen coordinates. One instance at a time.
//
// A window is mapped only once its first picture has been presented, and that picture is put
// on the screen in the same breath, so a window never shows blank.
//
// Under a window manager (one that follows the desktop conventions: _NET_SUPPORTING_WM_CHECK
// on the root window) top-level windows other than popups are the manager's to place, minimise
// and maximise: the window system's wishes are passed on to it, and what it does (the focus it
// gives, the states it sets, the places and sizes it chooses) comes back as input events. A
// launcher's start-up notice (DESKTOP_STARTUP_ID) is taken from the environment, so that
// programs started later do not inherit it, and ended when the first top-level window maps.
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

// Xlib's types, without its macros.
struct _XDisplay;
union _XEvent;
struct _XImage;

class TX11Display : public TDisplay {
 public:
  static constexpr int kMaxScale = 8;
  struct TAtoms;  // the X atoms it uses (X11DisplayInternal.h)
  // Throws std::runtime_error when no display can be opened: none named (DISPLAY), or the X
  // server cannot be reached.
  explicit TX11Display(int scale = 1);
  ~TX11Display() override;
  TX11Display(const TX11Display&) = delete;
  TX11Display& operator=(const TX11Display&) = delete;

  TRect ScreenRect() const override;
  TRect WorkArea() const override;
  uint64_t Now() const override;
  void CreateSurface(HWND hwnd, const TRect& bounds, TSurfaceKind kind, HWND owner) override;
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
  void Wait(int64_t timeoutMs, const std::vector<int>& descriptors) override;
  TPoint CursorPos() const override;
  void SetPointerGrab(bool grab) override;
  void Beep() override;
  bool QuitRequested() const override;
  int Scale() const { return FScale; }
  // Whether a window manager runs on the screen now.
  bool WindowManagerRunning() const;
  // The program's icon for top-level windows created afterwards, in several sizes: 32-bit
  // pictures with transparency (B, G, R, alpha).
  void SetIcon(const std::vector<TDib>& icons);

  // The connection to the X server and a window's X id (0 when it has none), for tests that
  // look behind the program's back.
  _XDisplay* XDisplay() const { return FDpy; }
  unsigned long XWindowOf(HWND hwnd) const;

 private:
  struct TSurface {
    unsigned long Id = 0;  // the X window
    TSurfaceKind Kind = skTopLevel;
    bool Popup = false;    // a menu or a hint: override-redirect, no window manager's
    HWND Owner = nullptr;  // a dialog's owner
    bool Visible = false;      // shown as far as the window system is concerned
    bool Mapped = false;       // a map request went to the server
    bool Viewable = false;     // the server said it is mapped
    bool Presented = false;    // the pixel buffer holds a whole picture of the current size
    bool FocusWhenMapped = false;
    // A shown window takes a new size together with its new picture and outline (Present).
    bool ResizePending = false;
    // The first picture, held by the server as the window's background until the window is
    // mapped: the server draws it as part of the map itself.
    unsigned long FirstPicture = 0;
    TRect Bounds;
    std::optional<TRegion> Shape;  // window coordinates; none = the whole rectangle
    // What is shown, in the server's pixel format, at screen scale (for exposures).
    std::vector<uint32_t> Pixels;
    int PixelsWidth = 0, PixelsHeight = 0;
    HWND FocusBefore = nullptr;  // who had the keyboard focus when a popup appeared
    bool Sizeable = false;       // a window manager may size and maximise it
    // The state the window manager gives the window, as last asked for or read; a minimised
    // window is out of sight and is not drawn into until it comes back.
    TSurfaceState State;
    bool Reparented = false;  // inside a window manager's frame
    // Places and sizes asked of the X server, in screen pixels, oldest first, until it reports
    // them: reports of these are the program's own moves, any other is made from outside.
    std::deque<TRect> Requested;
    TRect Reported;             // the place and size the X server last reported, screen pixels
    bool MovedOutside = false;  // Bounds were changed from outside and are still to be reported
  };
  TPoint ToLogical(int x, int y) const;
  TSurface* Find(HWND hwnd);
  const TSurface* Find(HWND hwnd) const;
  HWND FromX(unsigned long window) const;
  void Translate(_XEvent& e);
  void TranslateKey(_XEvent& e);
  void ReleaseHeldKeys();
  void TranslateButton(_XEvent& e);
  void TranslateClientMessage(_XEvent& e);
  void PushMove(TPoint screen);
  void PushFocusLoss();
  // Puts part of the window's pixel buffer on the screen (screen-scale window coordinates).
  void PutPixels(const TSurface& s, unsigned long drawable, int x, int y, int w, int h);
  void DropFirstPicture(TSurface& s);
  void MapNow(HWND hwnd, TSurface& s);
  void ApplyShape(const TSurface& s);
  void ApplyBounds(TSurface& s);
  void SetSizeHints(const TSurface& s);
  // Moves the keyboard focus off a window that is going away or being hidden.
  void HandFocusOn(HWND leaving);
  void GiveFocus(TSurface& s);
  HWND FocusedWindow() const;
  // Reports a change of the keyboard focus between our windows and the rest of the screen.
  void CheckFocus();
  void RecoverLostRelease();
  bool ReadWorkArea(TRect& out) const;
  // The window manager: what it is told, and what it did.
  void NoteRequested(TSurface& s);
  void TranslateManager(_XEvent& e);
  void FollowConfigure(TSurface& s, const _XEvent& e);
  void ReadManagerState(HWND hwnd, TSurface& s);
  void SendToManager(const TSurface& s, unsigned long type, long l0, long l1 = 0, long l2 = 0, long l3 = 0);
  void EndStartupNotice(const TSurface& s);
  // Reports the places and sizes changed from outside since the last time: after any change of
  // state that came with them (the window system takes a window's normal place from the moment
  // it learns the window is maximised), before any input that followed them.
  void ReportMovedOutside();
  // Drag and drop: the other side's messages, and the dropped data when it arrives.
  void DndMessage(_XEvent& e);
  void DndData(_XEvent& e);
  void DndFinish(bool accepted);

  int FScale = 1;
  _XDisplay* FDpy = nullptr;
  int FScreen = 0;
  unsigned long FRoot = 0;
  int FScreenWidth = 0, FScreenHeight = 0;  // the root window's size, followed as it changes
  void* FVisual = nullptr;                  // Xlib's Visual: 24-bit colour, red in the high byte
  unsigned long FColormap = 0;
  struct _XGC* FGc = nullptr;
  bool FOwnColormap = false, FOwnGc = false;
  unsigned long FCursorShape = 0;
  std::unique_ptr<TAtoms> FAtoms;
  bool FHasShape = false;
  int FWakeRead = -1, FWakeWrite = -1;  // a termination signal writes here to end a wait
  uint64_t FStartMs = 0;

  mutable TRect FWorkArea;
  mutable bool FWorkAreaKnown = false;
  mutable int FManagerRunning = -1;  // as last read from the root window; -1 not read yet
  std::vector<unsigned long> FIcon;  // _NET_WM_ICON: width, height, ARGB pixels, for each size
  std::string FStartupId;

  std::map<HWND, TSurface> FSurfaces;
  std::map<unsigned long, HWND> FByX;
  std::deque<TInputEvent> FEvents;
  mutable TPoint FCursor;
  unsigned FButtons = 0;  // X buttons 1 to 3 held, as bits 1 << (button - 1)
  unsigned FServerPressed = 0;  // of those, the presses the server made (its button state tells)
  int FNumLockMask = -1;        // the modifier bit of Num Lock; -1 not asked yet
  bool FQuitSent = false;
  bool FPointerGrabbed = false;
  bool FFocusChanged = false;
  bool FHadFocus = false;
  HWND FLastFocus = nullptr;
  uint8_t FKeysDown[32] = {};  // X key codes held, for telling auto-repeat from a new press
  uint8_t FKeyVk[256] = {};    // the virtual key each held key code was pressed as

  // The drop under way: its source, its target, and where the pointer was.
  unsigned long FDndSource = 0;
  HWND FDndTarget = nullptr;
  TPoint FDndPos;
  bool FDndUriList = false;
  unsigned long FDndWindow = 0;  // our X window the source talks to
};
