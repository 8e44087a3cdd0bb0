#pragma once
// The window system: windows with replaceable procedures, the message queue and loops,
// painting, input, timers, the classic non-client frame and system commands.
// Single-threaded: every call comes from the user-interface thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/DC.h"
#include "platform/graphics/Region.h"
#include "platform/windowing/Display.h"
#include "platform/windowing/Messages.h"

using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct TMsg {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  uint64_t time = 0;
  TPoint pt;
  // A key-down's character in the keyboard layout in use (Windows-1252), 0 for none; -1 when
  // the display does not say, and the character is then made from the key as on a US keyboard.
  int character = -1;
};
using MSG = TMsg;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  bool fErase = false;
  TRect rcPaint;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
  TRect rgrc[3];  // in: new window rect; out: rgrc[0] = new client rect (parent coordinates)
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  TPoint ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0, cx = 0, y = 0, x = 0;
  uint32_t style = 0;
  std::string lpszName;
  std::string lpszClass;
  uint32_t dwExStyle = 0;
};

struct TRACKMOUSEEVENT {
  uint32_t dwFlags = 0;
  HWND hwndTrack = nullptr;
  uint32_t dwHoverTime = 0;
};

struct NONCLIENTMETRICS {
  int iBorderWidth = 1, iScrollWidth = 17, iScrollHeight = 17, iCaptionWidth = 18, iCaptionHeight = 18;
  TLogFont lfCaptionFont;
  int iSmCaptionWidth = 12, iSmCaptionHeight = 14;
  TLogFont lfSmCaptionFont;
  int iMenuWidth = 18, iMenuHeight = 18;
  TLogFont lfMenuFont, lfStatusFont, lfMessageFont;
};

// Helpers for packed parameters.
constexpr LPARAM MAKELPARAM(int lo, int hi) { return LPARAM(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16)); }
constexpr int GET_X_LPARAM(LPARAM l) { return int(int16_t(uint16_t(l))); }
constexpr int GET_Y_LPARAM(LPARAM l) { return int(int16_t(uint16_t(l >> 16))); }
constexpr unsigned LOWORD(uintptr_t v) { return unsigned(v & 0xFFFF); }
constexpr unsigned HIWORD(uintptr_t v) { return unsigned((v >> 16) & 0xFFFF); }

// ---- Set-up ---------------------------------------------------------------------------------
// Binds the window system to a display. Destroys every window when the display is changed
// or detached (nullptr).
void SetDisplay(TDisplay* display);
TDisplay* GetDisplay();

// ---- Window classes and windows -------------------------------------------------------------
struct WNDCLASS {
  std::string lpszClassName;
  uint32_t style = 0;
  WNDPROC lpfnWndProc;
  COLORREF hbrBackground = CLR_INVALID;  // CLR_INVALID: no background erase
};
bool RegisterClass(const WNDCLASS& cls);

HWND CreateWindowEx(uint32_t exStyle, const std::string& className, const std::string& title, uint32_t style, int x,
                    int y, int width, int height, HWND parentOrOwner, intptr_t id = 0, void* param = nullptr);
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);

WNDPROC GetWindowProc(HWND hwnd);
// Replaces the window's procedure and returns the old one (subclassing).
WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc);
LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

uint32_t GetWindowStyle(HWND hwnd);
uint32_t GetWindowExStyle(HWND hwnd);
void SetWindowStyle(HWND hwnd, uint32_t style);  // sends WM_STYLECHANGING/CHANGED
void SetWindowExStyle(HWND hwnd, uint32_t exStyle);
intptr_t GetWindowId(HWND hwnd);
void* GetWindowUserData(HWND hwnd);
void SetWindowUserData(HWND hwnd, void* data);
std::string GetClassName(HWND hwnd);
bool SetWindowText(HWND hwnd, const std::string& text);
std::string GetWindowText(HWND hwnd);

HWND GetParent(HWND hwnd);        // the parent of a child window, else nullptr
HWND GetWindowOwner(HWND hwnd);   // the owner of a top-level or popup window
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetAncestorRoot(HWND hwnd);  // the top-level window that holds hwnd
std::vector<HWND> GetChildren(HWND hwnd);  // top of the z-order first
std::vector<HWND> GetTopLevelWindows();    // top of the z-order first
bool IsChild(HWND parent, HWND hwnd);
HWND GetTopWindow(HWND parent);

bool ShowWindow(HWND hwnd, int cmd);
bool IsWindowVisible(HWND hwnd);  // visible itself and every ancestor
bool IsWindowEnabled(HWND hwnd);
bool EnableWindow(HWND hwnd, bool enable);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd);

// Window rectangle in screen coordinates; client rectangle at (0, 0).
bool GetWindowRect(HWND hwnd, TRect* r);
bool GetClientRect(HWND hwnd, TRect* r);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool BringWindowToTop(HWND hwnd);
// The window's rectangle before it was minimised or maximised (parent coordinates).
bool GetRestoredRect(HWND hwnd, TRect* r);
inline HWND const HWND_TOP = nullptr;
extern HWND const HWND_BOTTOM;

bool ClientToScreen(HWND hwnd, TPoint* p);
bool ScreenToClient(HWND hwnd, TPoint* p);
int MapWindowPoints(HWND from, HWND to, TPoint* points, int count);
// The window under a point; a top-level window with WS_EX_TRANSPARENT lets the point through.
HWND WindowFromPoint(TPoint screen);
HWND ChildWindowFromPoint(HWND parent, TPoint client);

// The window outline, in window coordinates (owned copy); nullptr removes it.
int SetWindowRgn(HWND hwnd, const TRegion* rgn, bool redraw);
int GetWindowRgn(HWND hwnd, TRegion* rgn);  // RGN_ERROR when the window has none

// ---- Messages -------------------------------------------------------------------------------
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
void PostQuitMessage(int exitCode);
bool GetMessage(TMsg* msg, HWND filter = nullptr, UINT min = 0, UINT max = 0);
bool PeekMessage(TMsg* msg, HWND filter, UINT min, UINT max, UINT remove);
bool TranslateMessage(const TMsg* msg);
LRESULT DispatchMessage(const TMsg* msg);
bool WaitMessage();
// Processes every message that is ready now without waiting, painting included.
// Returns false when WM_QUIT was seen (it is posted again for the outer loop).
bool PumpPendingMessages();
// The time and cursor position of the message being handled.
uint64_t GetMessageTime();
TPoint GetMessagePos();
UINT RegisterWindowMessage(const std::string& name);

// ---- Painting -------------------------------------------------------------------------------
bool InvalidateRect(HWND hwnd, const TRect* r, bool erase);  // nullptr: whole client
bool InvalidateRgn(HWND hwnd, const TRegion* rgn, bool erase);
bool ValidateRect(HWND hwnd, const TRect* r);
bool ValidateRgn(HWND hwnd, const TRegion* rgn);
bool GetUpdateRect(HWND hwnd, TRect* r, bool erase);
int GetUpdateRgn(HWND hwnd, TRegion* rgn, bool erase);
bool UpdateWindow(HWND hwnd);
bool RedrawWindow(HWND hwnd, const TRect* r, const TRegion* rgn, UINT flags);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);        // client area, child and sibling clipping per style
HDC GetWindowDC(HWND hwnd);  // whole window
// The window a context taken with GetDC, GetWindowDC or BeginPaint draws on, or nullptr.
HWND WindowFromDC(HDC dc);
HDC GetDCEx(HWND hwnd, const TRegion* clip, bool window);
int ReleaseDC(HWND hwnd, HDC dc);
// The pixels of a top-level window's surface (frame included), as last painted.
const TDib* GetWindowSurface(HWND topLevel);

// ---- Input ----------------------------------------------------------------------------------
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
bool SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
bool TrackMouseEvent(TRACKMOUSEEVENT* tme);
bool GetCursorPos(TPoint* p);
int16_t GetKeyState(int vk);       // high bit set while down
int16_t GetAsyncKeyState(int vk);
uint32_t GetDoubleClickTime();

// ---- Timers ---------------------------------------------------------------------------------
uintptr_t SetTimer(HWND hwnd, uintptr_t id, uint32_t elapseMs);
bool KillTimer(HWND hwnd, uintptr_t id);
uint64_t GetTickCount64();
uint32_t GetTickCount();
// Earliest due time of any timer or of a settling file change, or UINT64_MAX.
uint64_t NextTimerDue();

// ---- System ---------------------------------------------------------------------------------
int GetSystemMetrics(int index);
bool SystemParametersInfo(UINT action, UINT param, void* out, UINT winIni);
bool MessageBeep(UINT type);
bool DrawCaptionButton(HDC dc, const TRect& r, LRESULT hitCode, bool pressed, bool enabled);

// ---- Watching files ---------------------------------------------------------------------------
// A watch posts `msg` to `hwnd`, with the watch's id in wParam, once a change has settled: when
// `settleMs` milliseconds have passed without a further change. The message loop waits for the
// kernel's reports together with input and timers, so nothing runs while nothing changes.
// A file is watched together with its folder: a file written anew and renamed over it, or
// deleted and created again, is a change of it as much as a rewrite in place. A folder watch
// counts a change of any file in it except editors' leftovers (names starting with "." or "#",
// ending in "~", ".swp", ".swx" or ".tmp", or "4913"). Both return 0 when nothing can be watched
// there (no such folder); a file that does not exist yet is watched for its coming.
uintptr_t WatchFileChanges(HWND hwnd, UINT msg, const std::string& file, uint32_t settleMs);
uintptr_t WatchFolderChanges(HWND hwnd, UINT msg, const std::string& folder, uint32_t settleMs);
bool StopWatchingChanges(uintptr_t id);

// ---- Dropped files (WM_DROPFILES: wParam names the drop) ------------------------------------
// A drop goes to the window under the pointer or the nearest of its ancestors that accepts
// files (WS_EX_ACCEPTFILES); it is discarded when none does or when the top-level window is
// disabled (behind a modal dialog). The receiver reads the paths, then calls DragFinish.
void DragAcceptFiles(HWND hwnd, bool accept);
uintptr_t DragStore(std::vector<std::string> paths);
UINT DragQueryFileCount(WPARAM drop);
// The path of file `index` of the drop, "" past the last one.
std::string DragQueryFile(WPARAM drop, UINT index = 0);
void DragFinish(WPARAM drop);
// The window that would take files dropped at `screen` on the top-level window `over` (which
// names the window when the display knows it better than the pointer does), nullptr when the
// drop would be discarded: a display tells the source so before the drop.
HWND DropTargetAt(TPoint screen, HWND over);

// ---- Visual themes ----------------------------------------------------------------------------
// This window system draws the classic look only: themes are never active.
bool IsThemeActive();
int SetWindowTheme(HWND hwnd, const char* subAppName, const char* subIdList);

// ---- Scroll bars of a window's frame (WS_HSCROLL / WS_VSCROLL) --------------------------------
struct SCROLLINFO {
  UINT fMask = SIF_ALL;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
// Sets the bar's range, page and position (clamped to nMin .. nMax - max(nPage - 1, 0));
// returns the new position.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, bool redraw);
bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, bool redraw);
int GetScrollPos(HWND hwnd, int bar);
bool SetScrollRange(HWND hwnd, int bar, int min, int max, bool redraw);
// Shows or hides the bar (adds or removes WS_VSCROLL / WS_HSCROLL and recomputes the frame).
bool ShowScrollBar(HWND hwnd, int bar, bool show);
// The procedure of scroll-bar control windows (class "SCROLLBAR", style SBS_HORZ or SBS_VERT):
// the whole window is one bar, used with SB_CTL; it reports to its parent as WM_HSCROLL or
// WM_VSCROLL with its handle in lParam, and moves by the arrow, page, Home and End keys.
LRESULT ScrollBarControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
