#pragma once
// The real screen: every top-level or popup window is a borderless SDL window of the window's
// full size that shows the window system's own pixels (frame included). Moving, sizing and
// the frame belong to the window system; this class shows pixels, shapes the native window,
// keeps the keyboard focus among our windows, and turns SDL input into input events at
// screen coordinates. One instance at a time: it owns SDL's video subsystem.
//
// With a scale factor N above 1 every window is shown N times larger with square blocks of
// N x N screen pixels per pixel; the window system above keeps working in its own pixels (the
// screen it sees is N times smaller and input positions are divided by N).
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/windowing/Display.h"

struct SDL_Window;
union SDL_Event;

class TSdlDisplay : public TDisplay {
 public:
  static constexpr int kMaxScale = 8;
  // Throws std::runtime_error when no display can be opened: none named in the environment
  // (DISPLAY, WAYLAND_DISPLAY), or SDL cannot reach it. Never falls back to an invisible
  // driver unless SDL_VIDEODRIVER asks for one.
  explicit TSdlDisplay(int scale = 1);
  ~TSdlDisplay() override;
  TSdlDisplay(const TSdlDisplay&) = delete;
  TSdlDisplay& operator=(const TSdlDisplay&) = delete;

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
  void Present(HWND hwnd, const TDib& pixels, const TRegion& dirty) override;
  bool NextEvent(TInputEvent& event) override;
  void Wait(int64_t timeoutMs, const std::vector<int>& descriptors) override;
  TPoint CursorPos() const override;
  void Beep() override;
  bool QuitRequested() const override;
  int Scale() const { return FScale; }

 private:
  struct TWindowDeleter {
    void operator()(SDL_Window* window) const;
  };
  struct TSurface {
    std::unique_ptr<SDL_Window, TWindowDeleter> Sdl;
    uint32_t Id = 0;
    bool Popup = false;
    bool Visible = false;
    TRect Bounds;
    std::optional<TRegion> Shape;  // window coordinates; none = the whole rectangle
    int FilledWidth = 0, FilledHeight = 0;  // size of the window surface when a present last filled it
    HWND FocusBefore = nullptr;    // who had the keyboard focus when a popup appeared
  };

  TPoint ToLogical(TPoint screen) const;
  TSurface* Find(HWND hwnd);
  HWND FromId(uint32_t id) const;
  void WaitWithDescriptors(int64_t timeoutMs, const std::vector<int>& descriptors);
  void Translate(const SDL_Event& e);
  void TranslateNative(const SDL_Event& e);
  void TranslateMouse(const SDL_Event& e);
  void PushMove(TPoint screen);
  // Sees native events while their extension data is still readable (SDL frees it before
  // the event reaches the queue's reader).
  static int WatchNative(void* self, SDL_Event* e);
  bool QueryPointer(TPoint& screen) const;
  // Puts the window surface's pixels on the screen again (an exposure).
  void ShowAgain(TSurface& s);
  void ApplyShape(TSurface& s);
  // Moves the keyboard focus off a window that is going away or being hidden.
  void HandFocusOn(HWND leaving);
  // Which of our windows holds the keyboard focus, nullptr when none does.
  HWND FocusedWindow() const;
  void CheckFocusLost();
  // Keeps FServerPressed: a press the server made sets the button's bit, anything else clears it.
  void NoteServerButton(unsigned xButton, bool heldByServer);
  // Releases, through the X queue, a button that is held here but up on the server.
  void RecoverLostRelease();
  void SyncX() const;

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
};
