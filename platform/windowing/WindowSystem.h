#pragma once
// Internal state of the window system, shared by its implementation files.
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/windowing/WinApi.h"

struct TScrollState {
  int Min = 0, Max = 100;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Tracking = false;
  int PressedPart = 0;  // part held down while tracking, 0 = none
};

struct TWnd {
  std::string ClassName;
  uint32_t ClassStyle = 0;
  COLORREF ClassBackground = CLR_INVALID;
  WNDPROC Proc;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  std::string Text;
  intptr_t Id = 0;
  void* UserData = nullptr;
  HWND Parent = nullptr;        // child windows
  HWND Owner = nullptr;         // top-level and popup windows
  std::vector<HWND> Children;   // front of the z-order first
  TRect WindowRect;             // parent-client coordinates for children, screen for others
  TRect ClientRect;             // window coordinates
  TRect RestoreRect;            // placement while neither minimised nor maximised
  bool Created = false;         // WM_NCCREATE/WM_CREATE done
  bool Destroying = false;
  std::optional<TRegion> WindowRgn;  // window coordinates
  // Painting
  TRegion UpdateRgn;            // client coordinates
  bool EraseNeeded = false;
  bool NcDirty = false;
  bool InternalPaint = false;
  // Top-level and popup windows own the pixels of their whole tree.
  std::unique_ptr<TDib> Surface;
  TRegion SurfaceDirty;         // window coordinates
  bool SurfaceCreated = false;
  // Classic frame state.
  bool FrameActive = false;
  LRESULT PressedButton = 0;   // caption button drawn pressed (hit code), 0 = none
  TScrollState HScroll, VScroll;

  bool IsChild() const { return (Style & WS_CHILD) != 0; }
  TSize Size() const { return {WindowRect.Width(), WindowRect.Height()}; }
};

struct TTimer {
  HWND Window = nullptr;
  uintptr_t Id = 0;
  uint32_t Interval = 0;
  uint64_t Due = 0;
};

struct THeldDC {
  std::unique_ptr<TDC> DC;
  HWND Window = nullptr;
};

// A button press as double-click detection sees it.
struct TClickRecord {
  HWND Window = nullptr;
  UINT Msg = 0;             // the button-down message the press gave
  LRESULT Hit = HTNOWHERE;  // where on the window it was
  uint64_t Time = 0;
  TPoint Pos;               // screen coordinates
};

class TWindowSystem {
 public:
  static TWindowSystem& Get();

  TDisplay* Display = nullptr;
  std::map<HWND, std::unique_ptr<TWnd>> Windows;  // every window not yet freed
  std::vector<std::unique_ptr<TWnd>> Graveyard;    // destroyed, freed when no message is in flight
  int SendDepth = 0;
  std::vector<HWND> TopLevels;  // front first
  std::map<std::string, WNDCLASS> Classes;
  std::deque<TMsg> Posted;
  bool QuitPosted = false;
  int QuitCode = 0;
  std::vector<TTimer> Timers;
  std::vector<THeldDC> DCs;
  std::map<std::string, UINT> RegisteredMessages;
  UINT NextRegistered = 0xC000;

  HWND Capture = nullptr;
  HWND Focus = nullptr;
  HWND Active = nullptr;
  bool AppActive = false;

  // Input state.
  TPoint CursorPos;
  uint8_t KeyDown[256] = {};
  HWND Tracked = nullptr;        // window with a pending mouse-leave request
  bool TrackedNonClient = false;
  HWND LastMouseWindow = nullptr;
  LRESULT LastHit = HTNOWHERE;
  // Where the last mouse move told the windows the pointer is (none before the first), and a
  // button event held back while a move to its position goes first.
  std::optional<TPoint> ReportedPos;
  std::optional<TInputEvent> HeldInput;
  // Double-click detection: the last press that did not complete one.
  TClickRecord LastClick;

  bool LoneAlt = false;          // Alt is down and no other key came since
  uint64_t MessageTime = 0;
  TPoint MessagePos;

  uint64_t Now() const;
  void Reset();  // destroys everything; used when the display changes
};

// ---- Shared helpers of the implementation ---------------------------------------------------
TWindowSystem& WS();
bool IsLive(HWND hwnd);
HWND RootOf(HWND hwnd);
// Offset of the window's top-left corner inside its root's surface.
TPoint OffsetInRoot(HWND hwnd);
// Screen position of the window's top-left corner.
TPoint WindowOrigin(HWND hwnd);
// Visible area of a window's part (client or whole window) in its own window coordinates,
// cut by its ancestors, its outline and, per style, children and siblings.
TRegion VisibleRegion(HWND hwnd, bool clientOnly, bool clipChildren);
void MarkSurfaceDirty(HWND root, const TRegion& windowRgn);
void FlushSurfaces();  // presents dirty parts of every surface
void EnsureSurface(HWND root);
void RecalcClientRect(HWND hwnd, WINDOWPOS* pos);
bool NeedsPaint(HWND hwnd);
HWND FindWindowToPaint();
void InvalidateWindowArea(HWND hwnd, const TRegion& windowCoordsRgn, bool erase, bool frame, bool allChildren);
bool ProcessInputEvents();  // converts one pending display event into messages
// Whether `second` completes the double click that `first` began: the same button on the same
// part of the same window (client presses only where the class asks for double clicks), near
// enough and soon enough.
bool MakesDoubleClick(const TClickRecord& first, const TClickRecord& second);
// A left press on a window's frame that a capture took elsewhere (an open menu's): when it
// completes the double click `first` began on the frame under the point, that window gets the
// double click and true is returned.
bool PostFrameDoubleClick(const TClickRecord& first, TPoint screen, uint64_t time);
void DestroyWindowTree(HWND hwnd);
void ActivateWindow(HWND hwnd, WPARAM how);
// What happened to a top-level window from outside (a window manager, another program).
void FollowNativeFocus(HWND hwnd);
void FollowNativeState(HWND hwnd, const TSurfaceState& state);
void FollowNativeBounds(HWND hwnd, const TRect& bounds);
// A top-level window minimised to a window manager: out of sight, though it keeps its rectangle.
bool MinimizedOutOfSight(HWND hwnd);
// The pointer is no longer over `root`'s windows (they went out of sight): hovering ends there.
void PointerLeftWindow(HWND root);
void ForgetWindow(HWND hwnd);  // clears focus, capture, tracking and timers that name it
LRESULT DefNcHitTest(HWND hwnd, TPoint screen);
void PaintClassicFrame(HWND hwnd, HDC dc);
void RunMoveSizeLoop(HWND hwnd, WPARAM command);
// Frame geometry of the classic frame, window coordinates.
struct TFrameLayout {
  int Border = 0;     // frame thickness on each side
  int Caption = 0;    // caption band height including its bottom line, 0 = none
  TRect CaptionRect;  // the caption band
  TRect Icon, Close, Max, Min, Help;  // empty when absent
};
TFrameLayout ClassicFrameLayout(HWND hwnd);
void PaintScrollBars(HWND hwnd, HDC windowDC);
void TrackScrollBar(HWND hwnd, int bar, TPoint screen);
bool SystemMinMaxInfo(HWND hwnd, MINMAXINFO* info);
// File watches (FileWatch.cpp): the descriptor the loop's wait includes (-1: none), reading the
// kernel's reports and posting the changes that have settled (true when one was posted), the
// time the next one settles, and forgetting the watches of a window or all of them.
int FileWatchDescriptor();
bool DeliverFileChanges();
uint64_t NextFileChangeDue();
void ForgetFileWatches(HWND hwnd);
void ResetFileWatches();
