#include "platform/display/sdl/SdlDisplay.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/windowing/WinApi.h"

// SDL's native-window header pulls in Xlib and its macros; it comes after our own headers.
#include "platform/display/sdl/SdlX11.h"
#include <X11/extensions/shape.h>

using namespace sdlx11;

namespace {

// A request naming one of our windows can reach the server after the window is gone: SDL
// wakes its event wait by sending an event to a window over a second connection, which can
// overtake the window's destruction on the first. Xlib's default answer to the error is to
// end the program; a window that is gone needs no answer, so those errors are dropped and
// every other one goes to the handler that was there before.
XErrorHandler gPreviousXErrorHandler = nullptr;

int DropWindowRaces(Display* dpy, XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
  return gPreviousXErrorHandler ? gPreviousXErrorHandler(dpy, error) : 0;
}

void IgnoreWindowRaces() {
  const XErrorHandler previous = XSetErrorHandler(DropWindowRaces);
  if (previous != DropWindowRaces) gPreviousXErrorHandler = previous;
}
// Sets environment variables for the lifetime of the object and puts back what was there.
class TScopedEnvironment {
 public:
  void Set(const char* name, const char* value) {
    const char* before = std::getenv(name);
    FSaved.push_back({name, before ? std::optional<std::string>(before) : std::nullopt});
    setenv(name, value, 1);
  }
  ~TScopedEnvironment() {
    for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
      if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
      else unsetenv(it->first.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

bool EnvSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// The drivers that put windows on a screen someone sees: never the invisible ones SDL would
// otherwise fall back to. Empty when the environment names no display at all.
std::string VisibleVideoDrivers() {
  std::string drivers;
  if (EnvSet("DISPLAY")) drivers = "x11";
  bool wayland = EnvSet("WAYLAND_DISPLAY");
  if (!wayland && EnvSet("XDG_RUNTIME_DIR"))
    wayland = access((std::string(std::getenv("XDG_RUNTIME_DIR")) + "/wayland-0").c_str(), F_OK) == 0;
  if (wayland) drivers += drivers.empty() ? "wayland" : ",wayland";
  return drivers;
}

// A termination signal is noted here and then handed to SDL's own handler, which queues a
// quit event and so wakes a wait for events. The note is read without pumping SDL's queue,
// so a program that is busy with its own messages still sees it.
volatile sig_atomic_t gTerminateRequested = 0;
struct sigaction gSdlHandlers[2];
constexpr int kTerminateSignals[2] = {SIGTERM, SIGINT};

void OnTerminateSignal(int sig) {
  gTerminateRequested = 1;
  for (int i = 0; i < 2; ++i)
    if (kTerminateSignals[i] == sig) {
      const struct sigaction& before = gSdlHandlers[i];
      if (!(before.sa_flags & SA_SIGINFO) && before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN &&
          before.sa_handler != nullptr)
        before.sa_handler(sig);
    }
}

void CatchTerminateSignals() {
  gTerminateRequested = 0;
  for (int i = 0; i < 2; ++i) {
    struct sigaction current {};
    sigaction(kTerminateSignals[i], nullptr, &current);
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN) continue;  // nohup and the like
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == &OnTerminateSignal) continue;
    struct sigaction mine {};
    mine.sa_handler = &OnTerminateSignal;
    sigemptyset(&mine.sa_mask);
    sigaction(kTerminateSignals[i], &mine, &gSdlHandlers[i]);
  }
}

void ReleaseTerminateSignals() {
  for (int i = 0; i < 2; ++i) {
    struct sigaction current {};
    sigaction(kTerminateSignals[i], nullptr, &current);
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == &OnTerminateSignal)
      sigaction(kTerminateSignals[i], &gSdlHandlers[i], nullptr);
  }
}

// Copies 24-bit B,G,R rows into the window surface's format.
void ConvertRect(const TDib& from, const TRect& r, SDL_Surface* to) {
  const uint8_t* src = from.ScanLine(r.Top) + std::ptrdiff_t(r.Left) * 3;
  const int bpp = to->format->BytesPerPixel;
  uint8_t* dst = static_cast<uint8_t*>(to->pixels) + std::ptrdiff_t(r.Top) * to->pitch + std::ptrdiff_t(r.Left) * bpp;
  const Uint32 format = to->format->format;
  if (SDL_BYTEORDER == SDL_LIL_ENDIAN && (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888)) {
    // The X server's usual 32-bit format is B,G,R,x in memory: copy straight through.
    for (int y = 0; y < r.Height(); ++y) {
      const uint8_t* s = src + std::ptrdiff_t(y) * from.RowDistance();
      uint8_t* d = dst + std::ptrdiff_t(y) * to->pitch;
      for (int x = 0; x < r.Width(); ++x, s += 3, d += 4) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 0xFF;
      }
    }
    return;
  }
  SDL_ConvertPixels(r.Width(), r.Height(), SDL_PIXELFORMAT_BGR24, src, from.RowDistance(), format, dst, to->pitch);
}

// As ConvertRect, each pixel becoming a block of `scale` x `scale` pixels of the surface.
void ConvertRectScaled(const TDib& from, const TRect& r, int scale, SDL_Surface* to) {
  const int width = r.Width() * scale;
  std::vector<uint8_t> row(size_t(width) * 3);
  const int bpp = to->format->BytesPerPixel;
  const Uint32 format = to->format->format;
  const bool direct = SDL_BYTEORDER == SDL_LIL_ENDIAN && (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888);
  for (int y = r.Top; y < r.Bottom; ++y) {
    const uint8_t* s = from.ScanLine(y) + std::ptrdiff_t(r.Left) * 3;
    uint8_t* d = row.data();
    for (int x = 0; x < r.Width(); ++x, s += 3)
      for (int k = 0; k < scale; ++k, d += 3) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      }
    for (int k = 0; k < scale; ++k) {
      uint8_t* dst = static_cast<uint8_t*>(to->pixels) + std::ptrdiff_t(y * scale + k) * to->pitch +
                     std::ptrdiff_t(r.Left) * scale * bpp;
      if (direct) {
        const uint8_t* src = row.data();
        for (int x = 0; x < width; ++x, src += 3, dst += 4) {
          dst[0] = src[0];
          dst[1] = src[1];
          dst[2] = src[2];
          dst[3] = 0xFF;
        }
      } else {
        SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_BGR24, row.data(), width * 3, format, dst, to->pitch);
      }
    }
  }
}

}  // namespace

void TSdlDisplay::TWindowDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }

TSdlDisplay::TSdlDisplay(int scale) : FScale(std::clamp(scale, 1, kMaxScale)) {
  // A driver the user names is taken as it is; otherwise only drivers that show something.
  if (!EnvSet("SDL_VIDEODRIVER")) {
    const std::string drivers = VisibleVideoDrivers();
    if (drivers.empty()) throw std::runtime_error("cannot open the display (is DISPLAY set?)");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  }
  // Without this SDL re-creates the X window on the first surface request (losing its shape)
  // and every frame goes through a texture.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Closing the last window is the program's decision (WM_CLOSE may refuse).
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // A viewer has no reason to keep the screen saver away (SDL asks the session bus for that).
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  {
    // The program needs neither the session bus nor an input method: it makes characters from
    // key presses itself. Without these SDL's start-up connects to (or launches) a bus daemon,
    // and Xlib parses the locale's whole compose table for an input method nobody uses.
    TScopedEnvironment quiet;
    quiet.Set("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    quiet.Set("XMODIFIERS", "@im=none");
    quiet.Set("XCOMPOSEFILE", "/dev/null");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      const char* display = std::getenv("DISPLAY");
      std::string message = "cannot open the display";
      if (display && *display) message += std::string(" ") + display;
      message += std::string(" (") + SDL_GetError() + ")";
      SDL_Quit();
      throw std::runtime_error(message);
    }
  }
  // A launcher's start-up notice is this program's to end, not that of programs it starts.
  if (const char* id = std::getenv("DESKTOP_STARTUP_ID")) {
    FStartupId = id;
    unsetenv("DESKTOP_STARTUP_ID");
  }
  // The window system makes characters from key presses itself.
  SDL_StopTextInput();
  SDL_EventState(SDL_TEXTINPUT, SDL_DISABLE);
  SDL_EventState(SDL_TEXTEDITING, SDL_DISABLE);
  // Native pointer events carry the screen position at the time of the event.
  const char* driver = SDL_GetCurrentVideoDriver();
  FNativePointer = driver && std::strcmp(driver, "x11") == 0;
  if (FNativePointer) {
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_AddEventWatch(&TSdlDisplay::WatchNative, this);
    IgnoreWindowRaces();
  }
  CatchTerminateSignals();
}

bool TSdlDisplay::QuitRequested() const { return gTerminateRequested != 0; }

TSdlDisplay::~TSdlDisplay() {
  if (GetDisplay() == this) SetDisplay(nullptr);
  FById.clear();
  FSurfaces.clear();
  if (FNativePointer) SDL_DelEventWatch(&TSdlDisplay::WatchNative, this);
  ReleaseTerminateSignals();
  SDL_Quit();
}

TRect TSdlDisplay::ScreenRect() const {
  SDL_Rect r;
  if (SDL_GetDisplayBounds(0, &r) != 0) return {};
  const TRect s = FromSdl(r);
  return {FloorDiv(s.Left, FScale), FloorDiv(s.Top, FScale), FloorDiv(s.Right, FScale), FloorDiv(s.Bottom, FScale)};
}

TRect TSdlDisplay::WorkArea() const {
  // SDL asks the X server for the work area on every call, and the window system asks for it
  // often (the frame's layout and metrics); it changes seldom (a panel added or moved).
  // Once the root window tells of its changes the work area is read again only after one.
  const uint64_t now = SDL_GetTicks64();
  if (FWorkAreaRead && (FRootWatched || now - FWorkAreaTime < kWorkAreaLifeMs)) return FWorkArea;
  SDL_Rect r;
  if (SDL_GetDisplayUsableBounds(0, &r) != 0) return ScreenRect();
  const TRect s = FromSdl(r);
  FWorkArea = {FloorDiv(s.Left, FScale), FloorDiv(s.Top, FScale), FloorDiv(s.Right, FScale), FloorDiv(s.Bottom, FScale)};
  FWorkAreaTime = now;
  FWorkAreaRead = true;
  return FWorkArea;
}

TPoint TSdlDisplay::ToLogical(TPoint screen) const { return {FloorDiv(screen.X, FScale), FloorDiv(screen.Y, FScale)}; }

uint64_t TSdlDisplay::Now() const { return SDL_GetTicks64(); }

TSdlDisplay::TSurface* TSdlDisplay::Find(HWND hwnd) {
  auto it = FSurfaces.find(hwnd);
  return it == FSurfaces.end() ? nullptr : &it->second;
}

const TSdlDisplay::TSurface* TSdlDisplay::Find(HWND hwnd) const {
  auto it = FSurfaces.find(hwnd);
  return it == FSurfaces.end() ? nullptr : &it->second;
}

HWND TSdlDisplay::FromId(uint32_t id) const {
  auto it = FById.find(id);
  return it == FById.end() ? nullptr : it->second;
}

HWND TSdlDisplay::FromX(unsigned long xid) const {
  for (const auto& [hwnd, s] : FSurfaces)
    if (xid && s.XId == xid) return hwnd;
  return nullptr;
}

// ---- Surfaces ----------------------------------------------------------------------------------

void TSdlDisplay::CreateSurface(HWND hwnd, const TRect& bounds, bool popup) {
  DestroySurface(hwnd);
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
  if (popup) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
  // A window manager sizes (and maximises) only a window whose size hints let it.
  else if (GetWindowStyle(hwnd) & (WS_THICKFRAME | WS_MAXIMIZEBOX)) flags |= SDL_WINDOW_RESIZABLE;
  SDL_Window* window = SDL_CreateWindow("", bounds.Left * FScale, bounds.Top * FScale,
                                        std::max(bounds.Width(), 1) * FScale, std::max(bounds.Height(), 1) * FScale,
                                        flags);
  if (!window) throw std::runtime_error(std::string("Cannot create a window: ") + SDL_GetError());
  TSurface s;
  s.Sdl.reset(window);
  s.Id = SDL_GetWindowID(window);
  s.Popup = popup;
  s.Bounds = bounds;
  s.XId = XWindowOf(window).Id;
  FById[s.Id] = hwnd;
  PrepareNative(FSurfaces[hwnd] = std::move(s), hwnd);
}

void TSdlDisplay::DestroySurface(HWND hwnd) {
  auto it = FSurfaces.find(hwnd);
  if (it == FSurfaces.end()) return;
  HandFocusOn(hwnd);
  for (auto& [other, s] : FSurfaces)
    if (s.FocusBefore == hwnd) s.FocusBefore = nullptr;
  if (FLastFocus == hwnd) FLastFocus = nullptr;
  FById.erase(it->second.Id);
  FSurfaces.erase(it);
}

void TSdlDisplay::SetSurfaceVisible(HWND hwnd, bool visible) {
  TSurface* s = Find(hwnd);
  if (!s || s->Visible == visible) return;
  if (!visible) {
    HandFocusOn(hwnd);
    s->Visible = false;
    SDL_HideWindow(s->Sdl.get());
    return;
  }
  const HWND before = FocusedWindow();
  s->Visible = true;
  // Without a window manager SDL gives every window it shows the keyboard focus.
  SDL_ShowWindow(s->Sdl.get());
  if (s->Popup) {
    s->FocusBefore = before != hwnd ? before : nullptr;
    if (TSurface* b = Find(s->FocusBefore); b && b->Visible) SDL_SetWindowInputFocus(b->Sdl.get());
  } else {
    // Minimised before it was ever shown: the manager takes it now.
    if (s->State.Minimized) SetSurfaceState(hwnd, s->State);
    EndStartupNotice(*s);
  }
  SyncX();
}

void TSdlDisplay::SetSurfaceBounds(HWND hwnd, const TRect& bounds) {
  TSurface* s = Find(hwnd);
  if (!s) return;
  const bool moved = bounds.Left != s->Bounds.Left || bounds.Top != s->Bounds.Top;
  const bool sized = bounds.Width() != s->Bounds.Width() || bounds.Height() != s->Bounds.Height();
  const TRect before = s->Bounds;
  s->Bounds = bounds;
  if (moved) {
    NoteRequested(*s, Bounds(bounds.Left * FScale, bounds.Top * FScale, before.Width() * FScale, before.Height() * FScale));
    SDL_SetWindowPosition(s->Sdl.get(), bounds.Left * FScale, bounds.Top * FScale);
  }
  if (sized) {
    NoteRequested(*s, Bounds(bounds.Left * FScale, bounds.Top * FScale, std::max(bounds.Width(), 1) * FScale,
                             std::max(bounds.Height(), 1) * FScale));
    SDL_SetWindowSize(s->Sdl.get(), std::max(bounds.Width(), 1) * FScale, std::max(bounds.Height(), 1) * FScale);
    ApplyShape(*s);
  }
}

void TSdlDisplay::RaiseSurface(HWND hwnd) {
  // Raising a window minimised to the manager would bring it back.
  if (TSurface* s = Find(hwnd); s && s->Visible && !s->State.Minimized) SDL_RaiseWindow(s->Sdl.get());
}

void TSdlDisplay::SetSurfaceShape(HWND hwnd, const TRegion* shape) {
  TSurface* s = Find(hwnd);
  if (!s) return;
  if (shape) s->Shape = *shape;
  else s->Shape.reset();
  ApplyShape(*s);
}

void TSdlDisplay::ApplyShape(TSurface& s) {
  const TXWindow x = XWindowOf(s.Sdl.get());
  if (!x.Dpy) return;
  if (FHasShape < 0) {
    int eventBase = 0, errorBase = 0;
    FHasShape = XShapeQueryExtension(x.Dpy, &eventBase, &errorBase) ? 1 : 0;
  }
  if (!FHasShape) return;
  if (!s.Shape) {
    XShapeCombineMask(x.Dpy, x.Id, ShapeBounding, 0, 0, None, ShapeSet);
  } else {
    const TRect limit{0, 0, SHRT_MAX, SHRT_MAX};
    std::vector<XRectangle> rects;
    rects.reserve(s.Shape->Rects().size());
    for (const TRect& r0 : s.Shape->Rects()) {
      const TRect r = TRect{r0.Left * FScale, r0.Top * FScale, r0.Right * FScale, r0.Bottom * FScale}.Intersect(limit);
      if (r.IsEmpty()) continue;
      rects.push_back({short(r.Left), short(r.Top), static_cast<unsigned short>(r.Width()),
                       static_cast<unsigned short>(r.Height())});
    }
    XShapeCombineRectangles(x.Dpy, x.Id, ShapeBounding, 0, 0, rects.data(), int(rects.size()), ShapeSet, Unsorted);
  }
  XFlush(x.Dpy);
}

void TSdlDisplay::SetSurfaceTitle(HWND hwnd, const std::string& title) {
  if (TSurface* s = Find(hwnd)) SDL_SetWindowTitle(s->Sdl.get(), title.c_str());
}

void TSdlDisplay::Present(HWND hwnd, const TDib& pixels, const TRegion& dirty) {
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
  // The window's surface keeps what was shown (for exposures); fetched every time, since a
  // resize replaces it, blank, and then the whole picture goes in again.
  SDL_Surface* target = SDL_GetWindowSurface(s->Sdl.get());
  if (!target) return;
  TRegion area = dirty;
  if (s->FilledWidth != target->w || s->FilledHeight != target->h) area = TRegion(from->BoundsRect());
  const TRect limit{0, 0, std::min(target->w / FScale, from->Width()), std::min(target->h / FScale, from->Height())};
  std::vector<SDL_Rect> rects;
  rects.reserve(area.Rects().size());
  const bool lock = SDL_MUSTLOCK(target);
  if (lock && SDL_LockSurface(target) != 0) return;
  for (const TRect& r0 : area.Rects()) {
    const TRect r = r0.Intersect(limit);
    if (r.IsEmpty()) continue;
    if (FScale == 1) ConvertRect(*from, r, target);
    else ConvertRectScaled(*from, r, FScale, target);
    rects.push_back({r.Left * FScale, r.Top * FScale, r.Width() * FScale, r.Height() * FScale});
  }
  if (lock) SDL_UnlockSurface(target);
  s->FilledWidth = target->w;
  s->FilledHeight = target->h;
  if (s->Visible && !rects.empty()) SDL_UpdateWindowSurfaceRects(s->Sdl.get(), rects.data(), int(rects.size()));
}

void TSdlDisplay::ShowAgain(TSurface& s) {
  SDL_Surface* target = SDL_GetWindowSurface(s.Sdl.get());
  if (target && s.FilledWidth == target->w && s.FilledHeight == target->h) SDL_UpdateWindowSurface(s.Sdl.get());
}

bool TSdlDisplay::NextEvent(TInputEvent& event) {
  while (FEvents.empty()) {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) {
      CheckFocus();
      ReportMovedOutside();
      if ((FButtons & FServerPressed) && FNativePointer) RecoverLostRelease();
      if (FEvents.empty()) return false;
      break;
    }
    Translate(e);
  }
  event = std::move(FEvents.front());
  FEvents.pop_front();
  return true;
}

void TSdlDisplay::Wait(int64_t timeoutMs) {
  if (!FEvents.empty()) return;
  SDL_Event e;
  const int got = timeoutMs < 0 ? SDL_WaitEvent(&e)
                                : SDL_WaitEventTimeout(&e, int(std::min<int64_t>(timeoutMs, INT_MAX)));
  if (got) Translate(e);
}

void TSdlDisplay::Translate(const SDL_Event& e) {
  switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      // Input goes where the windows are by now.
      ReportMovedOutside();
      break;
    default:
      break;
  }
  switch (e.type) {
    case SDL_SYSWMEVENT:
      TranslateNative(e);
      break;
    case SDL_MOUSEMOTION:
      if (!FNativePointer) TranslateMouse(e);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
      TranslateMouse(e);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(e);
      break;
    case SDL_WINDOWEVENT: {
      const HWND hwnd = FromId(e.window.windowID);
      switch (e.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
          if (TSurface* s = Find(hwnd); s && s->Visible) ShowAgain(*s);
          break;
        case SDL_WINDOWEVENT_CLOSE:
          if (hwnd) {
            TInputEvent c;
            c.Kind = TInputEvent::ieCloseRequest;
            c.Window = hwnd;
            FEvents.push_back(c);
          }
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
          FFocusChanged = true;
          break;
        default:
          break;
      }
      break;
    }
    case SDL_DROPBEGIN:
      // On X the drops come from the native events (TranslateNative), read by our own rules.
      if (FNativePointer) break;
      // The files of one drop come one event each, between its begin and its end.
      FDrop = TInputEvent{};
      FDrop->Kind = TInputEvent::ieDropFile;
      FDrop->Window = FromId(e.drop.windowID);
      FDrop->ScreenPos = CursorPos();
      break;
    case SDL_DROPFILE:
      if (e.drop.file && !FNativePointer) {
        if (FDrop) {
          FDrop->Files.push_back(e.drop.file);
        } else {
          TInputEvent d;
          d.Kind = TInputEvent::ieDropFile;
          d.Window = FromId(e.drop.windowID);
          d.ScreenPos = CursorPos();
          d.Files.push_back(e.drop.file);
          FEvents.push_back(std::move(d));
        }
      }
      SDL_free(e.drop.file);
      break;
    case SDL_DROPTEXT:
      SDL_free(e.drop.file);
      break;
    case SDL_DROPCOMPLETE:
      if (FDrop && !FDrop->Files.empty()) FEvents.push_back(std::move(*FDrop));
      FDrop.reset();
      break;
    case SDL_QUIT: {
      TInputEvent q;
      q.Kind = TInputEvent::ieQuit;
      FEvents.push_back(q);
      break;
    }
    default:
      break;
  }
}

void TSdlDisplay::Beep() {
  for (const auto& [hwnd, s] : FSurfaces) {
    const TXWindow x = XWindowOf(s.Sdl.get());
    if (!x.Dpy) return;
    XBell(x.Dpy, 0);
    XFlush(x.Dpy);
    return;
  }
}
