#include "platform/display/x11/X11Display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/windowing/WinApi.h"
#include "platform/graphics/StartupTrace.h"

// Xlib after our own headers: its macros (None, Bool, Status ...) would clash with them.
#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>

#include "platform/display/x11/X11DisplayInternal.h"

namespace {

const char* const kAtomNames[] = {
    "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_STATE", "WM_CHANGE_STATE", "_NET_WM_PING", "_NET_WM_PID", "_NET_WM_NAME",
    "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WORKAREA",
    "_NET_CURRENT_DESKTOP", "_MOTIF_WM_HINTS", "UTF8_STRING", "XdndAware", "XdndEnter", "XdndPosition",
    "XdndStatus", "XdndLeave", "XdndDrop", "XdndFinished", "XdndSelection", "XdndTypeList", "XdndActionCopy",
    "text/uri-list", "MARUK_DROP", "_NET_SUPPORTING_WM_CHECK", "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT",
    "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_ACTIVE_WINDOW", "_NET_WM_ICON", "_NET_STARTUP_ID", "_NET_STARTUP_INFO_BEGIN",
    "_NET_STARTUP_INFO", "_NET_WM_WINDOW_TYPE_DIALOG", "_NET_WM_STATE_MODAL"};
static_assert(sizeof(kAtomNames) / sizeof(kAtomNames[0]) == kAtomCount, "one name for every atom");

// A request naming one of our windows can reach the server after the window is gone (a
// window manager or a drag source may act on it meanwhile), and a focus request can meet a
// window that the manager has not mapped yet. Xlib's default answer is to end the program;
// such requests need no answer, so those errors are dropped and every other one goes to the
// handler that was there before.
XErrorHandler gPreviousXErrorHandler = nullptr;

int DropWindowRaces(Display* dpy, XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
  switch (error->request_code) {
    case X_SetInputFocus:      // a window the manager has not mapped yet
    case X_GetProperty:        // a drag source that changed or dropped its data meanwhile
    case X_DeleteProperty:
    case X_ConvertSelection:
    case X_SendEvent:
    case X_CreatePixmap:       // no room for a first picture: the window is painted on exposure
    case X_FreePixmap:
    case X_ChangeWindowAttributes:
    case X_PutImage:
      return 0;
    default:
      return gPreviousXErrorHandler ? gPreviousXErrorHandler(dpy, error) : 0;
  }
}

// A termination signal is noted here and wakes a wait through a pipe. The note is read
// without reading the X queue, so a program that is busy with its own messages still sees it.
volatile sig_atomic_t gTerminateRequested = 0;
int gWakeFd = -1;
struct sigaction gPreviousHandlers[2];
bool gHandlerInstalled[2] = {};
constexpr int kTerminateSignals[2] = {SIGTERM, SIGINT};

void OnTerminateSignal(int sig) {
  if (gTerminateRequested) {
    // Asked twice: a program that no longer gets to its messages ends the way it would have
    // without us.
    for (int i = 0; i < 2; ++i)
      if (kTerminateSignals[i] == sig && gHandlerInstalled[i]) sigaction(sig, &gPreviousHandlers[i], nullptr);
    raise(sig);
    return;
  }
  gTerminateRequested = 1;
  if (gWakeFd >= 0) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(gWakeFd, &byte, 1);
    errno = saved;
  }
}

void CatchTerminateSignals(int wakeFd) {
  gTerminateRequested = 0;
  gWakeFd = wakeFd;
  for (int i = 0; i < 2; ++i) {
    struct sigaction current {};
    sigaction(kTerminateSignals[i], nullptr, &current);
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN) continue;  // nohup and the like
    struct sigaction mine {};
    mine.sa_handler = &OnTerminateSignal;
    sigemptyset(&mine.sa_mask);
    sigaction(kTerminateSignals[i], &mine, &gPreviousHandlers[i]);
    gHandlerInstalled[i] = true;
  }
}

void ReleaseTerminateSignals() {
  for (int i = 0; i < 2; ++i)
    if (gHandlerInstalled[i]) {
      sigaction(kTerminateSignals[i], &gPreviousHandlers[i], nullptr);
      gHandlerInstalled[i] = false;
    }
  gWakeFd = -1;
}

uint64_t MonotonicMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return uint64_t(t.tv_sec) * 1000 + uint64_t(t.tv_nsec) / 1000000;
}

// Rounds toward minus infinity, so that a screen position left of or above the origin maps to
// the logical pixel that holds it.
int FloorDiv(int v, int n) { return v >= 0 ? v / n : -((-v + n - 1) / n); }

// The window manager's hints for a window without its decorations (the frame is ours).
struct TMotifHints {
  unsigned long Flags = 2;  // decorations given
  unsigned long Functions = 0;
  unsigned long Decorations = 0;
  long InputMode = 0;
  unsigned long State = 0;
};

}  // namespace

TX11Display::TX11Display(int scale) : FScale(std::clamp(scale, 1, kMaxScale)), FAtoms(std::make_unique<TAtoms>()) {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) throw std::runtime_error("cannot open the display (is DISPLAY set?)");
  FDpy = XOpenDisplay(name);
  if (!FDpy) throw std::runtime_error(std::string("cannot open the display ") + name + " (the X server cannot be reached)");
  FScreen = DefaultScreen(FDpy);
  FRoot = RootWindow(FDpy, FScreen);
  FScreenWidth = DisplayWidth(FDpy, FScreen);
  FScreenHeight = DisplayHeight(FDpy, FScreen);
  // Pixels go out as 24-bit colour, red in the high byte: the screen's own visual when it is
  // one, else such a visual of its own with a colour map of its own.
  Visual* visual = DefaultVisual(FDpy, FScreen);
  auto fits = [](const Visual* v) {
    return v->c_class == TrueColor && v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
  };
  if (DefaultDepth(FDpy, FScreen) == 24 && fits(visual)) {
    FVisual = visual;
    FColormap = DefaultColormap(FDpy, FScreen);
    FGc = DefaultGC(FDpy, FScreen);
  } else {
    XVisualInfo info{};
    if (!XMatchVisualInfo(FDpy, FScreen, 24, TrueColor, &info) || !fits(info.visual)) {
      const int depth = DefaultDepth(FDpy, FScreen);
      XCloseDisplay(FDpy);
      throw std::runtime_error("cannot use the display " + std::string(name) + ": its colour depth is " +
                               std::to_string(depth) + " bits, and 24-bit colour is needed");
    }
    FVisual = info.visual;
    FColormap = XCreateColormap(FDpy, FRoot, info.visual, AllocNone);
    FOwnColormap = true;
    const Pixmap probe = XCreatePixmap(FDpy, FRoot, 1, 1, 24);
    FGc = XCreateGC(FDpy, probe, 0, nullptr);
    FOwnGc = true;
    XFreePixmap(FDpy, probe);
  }
  XInternAtoms(FDpy, const_cast<char**>(kAtomNames), kAtomCount, False, reinterpret_cast<Atom*>(FAtoms.get()));
  const XErrorHandler previous = XSetErrorHandler(DropWindowRaces);
  if (previous != DropWindowRaces) gPreviousXErrorHandler = previous;
  // A held key repeats as presses alone, not as a release and a press each time.
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(FDpy, True, &detectable);
  int eventBase = 0, errorBase = 0;
  FHasShape = XShapeQueryExtension(FDpy, &eventBase, &errorBase);
  FCursorShape = XCreateFontCursor(FDpy, XC_left_ptr);
  // A panel that comes or goes changes the work area, a window manager may start or end, and a
  // new screen resolution changes the root.
  XSelectInput(FDpy, FRoot, PropertyChangeMask | StructureNotifyMask);
  // A launcher's start-up notice is this program's to end, not that of programs it starts.
  if (const char* id = std::getenv("DESKTOP_STARTUP_ID")) {
    FStartupId = id;
    unsetenv("DESKTOP_STARTUP_ID");
  }
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) == 0) {
    FWakeRead = pipeFds[0];
    FWakeWrite = pipeFds[1];
  }
  fcntl(ConnectionNumber(FDpy), F_SETFD, FD_CLOEXEC);
  FStartMs = MonotonicMs();
  CatchTerminateSignals(FWakeWrite);
}

TX11Display::~TX11Display() {
  if (GetDisplay() == this) SetDisplay(nullptr);
  for (auto& [hwnd, s] : FSurfaces) XDestroyWindow(FDpy, s.Id);
  FSurfaces.clear();
  FByX.clear();
  ReleaseTerminateSignals();
  if (FCursorShape) XFreeCursor(FDpy, FCursorShape);
  if (FOwnGc) XFreeGC(FDpy, FGc);
  if (FOwnColormap) XFreeColormap(FDpy, FColormap);
  XCloseDisplay(FDpy);
  if (FWakeRead >= 0) close(FWakeRead);
  if (FWakeWrite >= 0) close(FWakeWrite);
}

bool TX11Display::QuitRequested() const { return gTerminateRequested != 0; }

uint64_t TX11Display::Now() const { return MonotonicMs() - FStartMs; }

TPoint TX11Display::ToLogical(int x, int y) const { return {FloorDiv(x, FScale), FloorDiv(y, FScale)}; }

TRect TX11Display::ScreenRect() const { return {0, 0, FScreenWidth / FScale, FScreenHeight / FScale}; }

bool TX11Display::ReadWorkArea(TRect& out) const {
  // The work area of the current desktop, as the window manager publishes it.
  auto cardinals = [&](Atom property, std::vector<long>& values) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    values.clear();
    if (XGetWindowProperty(FDpy, FRoot, property, 0, 1024, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) != Success)
      return false;
    if (type == XA_CARDINAL && format == 32)
      values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    if (data) XFree(data);
    return !values.empty();
  };
  std::vector<long> area, desktop;
  if (!cardinals(FAtoms->NetWorkArea, area) || area.size() < 4) return false;
  size_t index = 0;
  if (cardinals(FAtoms->NetCurrentDesktop, desktop) && (size_t(desktop[0]) + 1) * 4 <= area.size())
    index = size_t(desktop[0]) * 4;
  const TRect screen{0, 0, FScreenWidth, FScreenHeight};
  const TRect r = TRect{int(area[index]), int(area[index + 1]), int(area[index] + area[index + 2]),
                        int(area[index + 1] + area[index + 3])}
                      .Intersect(screen);
  if (r.IsEmpty()) return false;
  out = r;
  return true;
}

TRect TX11Display::WorkArea() const {
  // Read once and again only when the root's property changes (see Translate).
  if (!FWorkAreaKnown) {
    TRect r;
    FWorkArea = ReadWorkArea(r) ? r : TRect{0, 0, FScreenWidth, FScreenHeight};
    FWorkAreaKnown = true;
  }
  return {FloorDiv(FWorkArea.Left + FScale - 1, FScale), FloorDiv(FWorkArea.Top + FScale - 1, FScale),
          FloorDiv(FWorkArea.Right, FScale), FloorDiv(FWorkArea.Bottom, FScale)};
}

TX11Display::TSurface* TX11Display::Find(HWND hwnd) {
  auto it = FSurfaces.find(hwnd);
  return it == FSurfaces.end() ? nullptr : &it->second;
}

const TX11Display::TSurface* TX11Display::Find(HWND hwnd) const {
  auto it = FSurfaces.find(hwnd);
  return it == FSurfaces.end() ? nullptr : &it->second;
}

HWND TX11Display::FromX(unsigned long window) const {
  auto it = FByX.find(window);
  return it == FByX.end() ? nullptr : it->second;
}

unsigned long TX11Display::XWindowOf(HWND hwnd) const {
  auto it = FSurfaces.find(hwnd);
  return it == FSurfaces.end() ? 0 : it->second.Id;
}

// ---- Surfaces ----------------------------------------------------------------------------------

void TX11Display::CreateSurface(HWND hwnd, const TRect& bounds, TSurfaceKind kind, HWND owner) {
  DestroySurface(hwnd);
  // Menus and hints are shown for a moment, where the program puts them, without a window
  // manager's say; windows and their dialogs are the manager's.
  const bool popup = kind == skMenu || kind == skHint;
  XSetWindowAttributes a{};
  // No background: until our picture is put in, the server leaves the screen as it was rather
  // than flashing a blank rectangle.
  a.background_pixmap = 0;
  a.border_pixel = 0;
  a.colormap = FColormap;
  a.override_redirect = popup ? True : False;
  a.cursor = FCursorShape;
  a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                 LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask |
                 PropertyChangeMask;
  const unsigned w = unsigned(std::max(bounds.Width(), 1) * FScale), h = unsigned(std::max(bounds.Height(), 1) * FScale);
  const ::Window id = XCreateWindow(FDpy, FRoot, bounds.Left * FScale, bounds.Top * FScale, w, h, 0, 24, InputOutput,
                                    static_cast<Visual*>(FVisual), CWBackPixmap | CWBorderPixel | CWColormap | CWOverrideRedirect | CWCursor |
                                                 CWEventMask, &a);
  if (!id) throw std::runtime_error("Cannot create a window");
  TSurface s;
  s.Id = id;
  s.Popup = popup;
  s.Kind = kind;
  s.Owner = kind == skDialog && Find(owner) ? owner : nullptr;
  s.Bounds = bounds;
  s.Reported = Bounds(bounds.Left * FScale, bounds.Top * FScale, int(w), int(h));
  // A window manager may size (and maximise) a window with a sizing frame or a maximise button.
  s.Sizeable = !popup && (GetWindowStyle(hwnd) & (WS_THICKFRAME | WS_MAXIMIZEBOX)) != 0;

  const Atom type = popup                ? FAtoms->NetWmWindowTypePopupMenu
                    : kind == skDialog ? FAtoms->NetWmWindowTypeDialog
                                       : FAtoms->NetWmWindowTypeNormal;
  XChangeProperty(FDpy, id, FAtoms->NetWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&type), 1);
  if (!popup) {
    // The class docks group windows by: the desktop entry's StartupWMClass names it.
    XClassHint cls;
    cls.res_name = const_cast<char*>("Maruk_ROM_viewer");
    cls.res_class = const_cast<char*>("Maruk_ROM_viewer");
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMProperties(FDpy, id, nullptr, nullptr, nullptr, 0, nullptr, &hints, &cls);  // also WM_CLIENT_MACHINE
    Atom protocols[2] = {FAtoms->WmDeleteWindow, FAtoms->NetWmPing};
    XSetWMProtocols(FDpy, id, protocols, 2);
    const long pid = long(getpid());
    XChangeProperty(FDpy, id, FAtoms->NetWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    const TMotifHints motif;
    XChangeProperty(FDpy, id, FAtoms->MotifWmHints, FAtoms->MotifWmHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&motif), 5);
    const long dndVersion = 5;
    XChangeProperty(FDpy, id, FAtoms->XdndAware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dndVersion), 1);
    if (!FIcon.empty())
      XChangeProperty(FDpy, id, FAtoms->NetWmIcon, XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(FIcon.data()), int(FIcon.size()));
    if (!FStartupId.empty())
      XChangeProperty(FDpy, id, FAtoms->NetStartupId, FAtoms->Utf8String, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(FStartupId.data()), int(FStartupId.size()));
    SetSizeHints(s);
    // A dialog stays above its owner, and goes (and comes back) with it.
    if (const TSurface* o = Find(s.Owner)) XSetTransientForHint(FDpy, id, o->Id);
  }
  FByX[id] = hwnd;
  FSurfaces[hwnd] = std::move(s);
}

void TX11Display::SetSizeHints(const TSurface& s) {
  // Placed where the program puts it, and sized only by the program (its own frame sizes it),
  // or by a window manager too when the window may be sized and maximised.
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = USPosition | PPosition | (s.Sizeable ? 0 : PMinSize | PMaxSize);
  hints->x = s.Bounds.Left * FScale;
  hints->y = s.Bounds.Top * FScale;
  hints->min_width = hints->max_width = std::max(s.Bounds.Width(), 1) * FScale;
  hints->min_height = hints->max_height = std::max(s.Bounds.Height(), 1) * FScale;
  XSetWMNormalHints(FDpy, s.Id, hints);
  XFree(hints);
}

void TX11Display::DestroySurface(HWND hwnd) {
  auto it = FSurfaces.find(hwnd);
  if (it == FSurfaces.end()) return;
  HandFocusOn(hwnd);
  for (auto& [other, s] : FSurfaces) {
    if (s.FocusBefore == hwnd) s.FocusBefore = nullptr;
    if (s.Owner == hwnd) s.Owner = nullptr;
  }
  if (FLastFocus == hwnd) FLastFocus = nullptr;
  if (FDndTarget == hwnd) FDndTarget = nullptr;
  DropFirstPicture(it->second);
  XDestroyWindow(FDpy, it->second.Id);
  XFlush(FDpy);
  FByX.erase(it->second.Id);
  FSurfaces.erase(it);
}

void TX11Display::SetSurfaceVisible(HWND hwnd, bool visible) {
  TSurface* s = Find(hwnd);
  if (!s || s->Visible == visible) return;
  s->Visible = visible;
  if (!visible) {
    if (s->ResizePending) {
      ApplyBounds(*s);
      ApplyShape(*s);
    }
    HandFocusOn(hwnd);
    s->FocusWhenMapped = false;
    if (s->Mapped) {
      // A window the manager manages is withdrawn by telling it too.
      if (s->Popup) XUnmapWindow(FDpy, s->Id);
      else XWithdrawWindow(FDpy, s->Id, FScreen);
      XFlush(FDpy);
    }
    // Shown again, it waits for a fresh picture rather than showing the old one.
    DropFirstPicture(*s);
    s->Presented = false;
    s->Mapped = s->Viewable = false;
    return;
  }
  // The map waits for the first whole picture (Present), so that the window never shows blank.
  if (s->Presented) MapNow(hwnd, *s);
}

void TX11Display::MapNow(HWND hwnd, TSurface& s) {
  if (s.Mapped) return;
  if (s.Kind != skTopLevel) {
    const HWND before = FocusedWindow();
    s.FocusBefore = before != hwnd ? before : nullptr;
  }
  if (s.Kind == skDialog) {
    // Modal while its owner takes no input: the manager keeps it above the owner and brings
    // it along when the owner is chosen.
    const std::vector<long> modal{long(FAtoms->NetWmStateModal)};
    const bool ownerDisabled = s.Owner && !IsWindowEnabled(s.Owner);
    XChangeProperty(FDpy, s.Id, FAtoms->NetWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(modal.data()), ownerDisabled ? 1 : 0);
  }
  s.Mapped = true;
  TraceStartup("first picture ready, window mapped");
  // The picture goes to the server first, as the window's background, so that the map itself
  // shows it: nobody ever sees the window blank, however busy the machine. Once the window is
  // mapped the background is dropped again (exposures are answered from the pixel buffer).
  DropFirstPicture(s);
  if (s.PixelsWidth > 0 && s.PixelsHeight > 0) {
    s.FirstPicture = XCreatePixmap(FDpy, s.Id, unsigned(s.PixelsWidth), unsigned(s.PixelsHeight), 24);
    PutPixels(s, s.FirstPicture, 0, 0, s.PixelsWidth, s.PixelsHeight);
    XSetWindowBackgroundPixmap(FDpy, s.Id, s.FirstPicture);
  }
  XMapRaised(FDpy, s.Id);
  if (!s.Popup) {
    s.FocusWhenMapped = true;
    EndStartupNotice(s);
  }
  XFlush(FDpy);
}

void TX11Display::SetSurfaceBounds(HWND hwnd, const TRect& bounds) {
  TSurface* s = Find(hwnd);
  if (!s) return;
  const bool moved = bounds.Left != s->Bounds.Left || bounds.Top != s->Bounds.Top;
  const bool sized = bounds.Width() != s->Bounds.Width() || bounds.Height() != s->Bounds.Height();
  s->Bounds = bounds;
  if (!moved && !sized) return;
  if (sized) {
    // The buffer no longer fits: the next present fills it whole.
    s->Presented = false;
    if (s->Mapped) {
      // A shown window changes size only with its new picture and outline in hand (Present):
      // never stretched over stale pixels, never cut by its old outline (a click on a corner
      // that has just grown would fall through to whatever lies behind).
      s->ResizePending = true;
      return;
    }
    DropFirstPicture(*s);
  }
  if (s->ResizePending) return;  // the move goes with the size
  ApplyBounds(*s);
  if (sized) ApplyShape(*s);
  XFlush(FDpy);
}

void TX11Display::ApplyBounds(TSurface& s) {
  s.ResizePending = false;
  DropFirstPicture(s);  // a background of the old size would be tiled over the new one
  if (!s.Popup) SetSizeHints(s);
  NoteRequested(s);
  XMoveResizeWindow(FDpy, s.Id, s.Bounds.Left * FScale, s.Bounds.Top * FScale,
                    unsigned(std::max(s.Bounds.Width(), 1) * FScale), unsigned(std::max(s.Bounds.Height(), 1) * FScale));
}

void TX11Display::RaiseSurface(HWND hwnd) {
  // A window minimised to the manager stays there until it is restored.
  if (TSurface* s = Find(hwnd); s && s->Visible && !s->State.Minimized) {
    XRaiseWindow(FDpy, s->Id);
    XFlush(FDpy);
  }
}

void TX11Display::SetSurfaceShape(HWND hwnd, const TRegion* shape) {
  TSurface* s = Find(hwnd);
  if (!s) return;
  if (shape) s->Shape = *shape;
  else s->Shape.reset();
  if (s->ResizePending) return;  // goes with the size
  ApplyShape(*s);
  XFlush(FDpy);
}

void TX11Display::ApplyShape(const TSurface& s) {
  if (!FHasShape) return;
  if (!s.Shape) {
    XShapeCombineMask(FDpy, s.Id, ShapeBounding, 0, 0, 0, ShapeSet);
    return;
  }
  const TRect limit{0, 0, SHRT_MAX, SHRT_MAX};
  std::vector<XRectangle> rects;
  rects.reserve(s.Shape->Rects().size());
  for (const TRect& r0 : s.Shape->Rects()) {
    const TRect r = TRect{r0.Left * FScale, r0.Top * FScale, r0.Right * FScale, r0.Bottom * FScale}.Intersect(limit);
    if (r.IsEmpty()) continue;
    rects.push_back({short(r.Left), short(r.Top), static_cast<unsigned short>(r.Width()),
                     static_cast<unsigned short>(r.Height())});
  }
  XShapeCombineRectangles(FDpy, s.Id, ShapeBounding, 0, 0, rects.data(), int(rects.size()), ShapeSet, Unsorted);
}

void TX11Display::SetSurfaceTitle(HWND hwnd, const std::string& title) {
  TSurface* s = Find(hwnd);
  if (!s) return;
  XChangeProperty(FDpy, s->Id, FAtoms->NetWmName, FAtoms->Utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
  XStoreName(FDpy, s->Id, title.c_str());
}

// ---- Pixels ------------------------------------------------------------------------------------

void TX11Display::Present(HWND hwnd, const TDib& pixels, const TRegion& dirty) {
  TSurface* s = Find(hwnd);
  // A window minimised to the manager keeps the picture it had, to show when it comes back
  // until it has painted itself again.
  if (!s || pixels.Empty() || s->State.Minimized) return;
  TDib converted;
  const TDib* from = &pixels;
  if (pixels.BitsPerPixel() != 24) {
    converted = pixels.As24();
    from = &converted;
  }
  const int w = std::max(s->Bounds.Width(), 1) * FScale, h = std::max(s->Bounds.Height(), 1) * FScale;
  TRegion area = dirty;
  if (!s->Presented || s->PixelsWidth != w || s->PixelsHeight != h) {
    s->Pixels.assign(size_t(w) * size_t(h), 0);
    s->PixelsWidth = w;
    s->PixelsHeight = h;
    area = TRegion(from->BoundsRect());
  }
  const TRect limit{0, 0, std::min(w / FScale, from->Width()), std::min(h / FScale, from->Height())};
  std::vector<TRect> shown;
  shown.reserve(area.Rects().size());
  for (const TRect& r0 : area.Rects()) {
    const TRect r = r0.Intersect(limit);
    if (r.IsEmpty()) continue;
    for (int y = r.Top; y < r.Bottom; ++y) {
      const uint8_t* src = from->ScanLine(y) + std::ptrdiff_t(r.Left) * 3;
      uint32_t* row = s->Pixels.data() + size_t(y) * FScale * size_t(w) + size_t(r.Left) * FScale;
      if (FScale == 1) {
        for (int x = r.Left; x < r.Right; ++x, src += 3)
          *row++ = uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16;
      } else {
        for (int x = r.Left; x < r.Right; ++x, src += 3) {
          const uint32_t p = uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16;
          for (int k = 0; k < FScale; ++k) *row++ = p;
        }
      }
      for (int k = 1; k < FScale; ++k) {
        uint32_t* first = s->Pixels.data() + size_t(y) * FScale * size_t(w) + size_t(r.Left) * FScale;
        std::memcpy(first + size_t(k) * size_t(w), first, size_t(r.Width()) * FScale * sizeof(uint32_t));
      }
    }
    shown.push_back(r);
  }
  const bool whole = !s->Presented;
  s->Presented = true;
  if (s->ResizePending) {
    ApplyBounds(*s);
    ApplyShape(*s);
  }
  if (s->Visible && !s->Mapped) {
    MapNow(hwnd, *s);
    return;
  }
  if (!s->Mapped) return;
  if (whole) {
    PutPixels(*s, s->Id, 0, 0, w, h);
  } else {
    for (const TRect& r : shown)
      PutPixels(*s, s->Id, r.Left * FScale, r.Top * FScale, r.Width() * FScale, r.Height() * FScale);
  }
  XFlush(FDpy);
}

void TX11Display::DropFirstPicture(TSurface& s) {
  if (!s.FirstPicture) return;
  XSetWindowBackgroundPixmap(FDpy, s.Id, 0);
  XFreePixmap(FDpy, s.FirstPicture);
  s.FirstPicture = 0;
}

void TX11Display::PutPixels(const TSurface& s, unsigned long drawable, int x, int y, int w, int h) {
  x = std::max(x, 0);
  y = std::max(y, 0);
  w = std::min(w, s.PixelsWidth - x);
  h = std::min(h, s.PixelsHeight - y);
  if (w <= 0 || h <= 0 || s.Pixels.empty()) return;
  XImage* image = XCreateImage(FDpy, static_cast<Visual*>(FVisual), 24, ZPixmap, 0,
                               reinterpret_cast<char*>(const_cast<uint32_t*>(s.Pixels.data())),
                               unsigned(s.PixelsWidth), unsigned(s.PixelsHeight), 32, s.PixelsWidth * 4);
  if (!image) return;
  // The buffer holds pixels in this machine's byte order; Xlib swaps them for a server of the
  // other order.
  static const uint32_t kOne = 1;
  image->byte_order = *reinterpret_cast<const uint8_t*>(&kOne) ? LSBFirst : MSBFirst;
  // Rows go in bands, so that no single request exceeds what the server takes at once.
  const long maxBytes = std::max(long(XMaxRequestSize(FDpy)) * 4 - 64, 4096L);
  const int band = int(std::max(1L, maxBytes / (long(w) * 4)));
  for (int top = y; top < y + h; top += band)
    XPutImage(FDpy, drawable, FGc, image, x, top, x, top, unsigned(w),
              unsigned(std::min(band, y + h - top)));
  image->data = nullptr;  // the buffer is the surface's
  XDestroyImage(image);
}

// ---- Keyboard focus ----------------------------------------------------------------------------

HWND TX11Display::FocusedWindow() const {
  // Ask the server: a change is only known here once its event has been read.
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(FDpy, &focus, &revert);
  return focus ? FromX(focus) : nullptr;
}

void TX11Display::GiveFocus(TSurface& s) {
  if (s.Viewable) {
    XSetInputFocus(FDpy, s.Id, RevertToParent, CurrentTime);
    s.FocusWhenMapped = false;
  } else {
    s.FocusWhenMapped = true;
  }
}

void TX11Display::SetKeyboardFocus(HWND hwnd) {
  TSurface* s = Find(hwnd);
  if (!s || !s->Visible || s->State.Minimized) return;
  if (s->Mapped) XRaiseWindow(FDpy, s->Id);
  GiveFocus(*s);
  XSync(FDpy, False);
}

void TX11Display::HandFocusOn(HWND leaving) {
  TSurface* s = Find(leaving);
  if (!s || !s->Viewable || FocusedWindow() != leaving) return;
  // A window that loses its focus by disappearing hands it to nobody (no window manager to
  // pick another), which would read as the program losing the focus.
  TSurface* to = Find(s->FocusBefore);
  if (!to || !to->Visible || to == s) {
    to = nullptr;
    for (HWND h : GetTopLevelWindows()) {
      TSurface* o = h != leaving ? Find(h) : nullptr;
      if (o && o->Visible && !o->Popup) {
        to = o;
        break;
      }
    }
  }
  if (!to) return;
  GiveFocus(*to);
  XSync(FDpy, False);
}

void TX11Display::CheckFocus() {
  if (!FFocusChanged) return;
  FFocusChanged = false;
  if (HWND focus = FocusedWindow()) {
    // Given from outside (a window manager, a pager, another program) or moved between our own
    // windows (menus, dialogs): the window system activates the window unless it already is
    // active.
    if (!FHadFocus || focus != FLastFocus) {
      TInputEvent e;
      e.Kind = TInputEvent::ieFocusGained;
      e.Window = focus;
      FEvents.push_back(e);
    }
    FLastFocus = focus;
    FHadFocus = true;
    return;
  }
  // A window that is about to take the focus (mapped, not yet shown) keeps it ours.
  for (const auto& [hwnd, s] : FSurfaces)
    if (s.FocusWhenMapped && s.Mapped) return;
  if (FHadFocus) PushFocusLoss();
  FHadFocus = false;
}

void TX11Display::PushFocusLoss() {
  ReleaseHeldKeys();
  TInputEvent e;
  e.Kind = TInputEvent::ieFocusLost;
  e.Window = FLastFocus;
  FEvents.push_back(e);
}

// ---- Waiting -----------------------------------------------------------------------------------

void TX11Display::Wait(int64_t timeoutMs, const std::vector<int>& descriptors) {
  if (!FEvents.empty() || XPending(FDpy) > 0 || gTerminateRequested) return;
  std::vector<pollfd> fds{{ConnectionNumber(FDpy), POLLIN, 0}};
  if (FWakeRead >= 0) fds.push_back({FWakeRead, POLLIN, 0});
  // The window system's own descriptors (its file watches) end the wait too; it reads them.
  for (int fd : descriptors) fds.push_back({fd, POLLIN, 0});
  const int timeout = timeoutMs < 0 ? -1 : int(std::min<int64_t>(timeoutMs, INT_MAX));
  const int n = poll(fds.data(), nfds_t(fds.size()), timeout);
  if (n > 0 && FWakeRead >= 0 && (fds[1].revents & POLLIN)) {
    char drain[16];
    while (read(FWakeRead, drain, sizeof drain) > 0) {}
  }
}

void TX11Display::Beep() {
  XBell(FDpy, 0);
  XFlush(FDpy);
}
