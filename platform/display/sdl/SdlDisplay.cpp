#include "platform/display/sdl/SdlDisplay.h"

#include <poll.h>
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
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/shape.h>

namespace {

struct TXWindow {
  Display* Dpy = nullptr;
  ::Window Id = 0;
};

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

TXWindow XWindowOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    return {info.info.x11.display, info.info.x11.window};
  return {};
}

TRect FromSdl(const SDL_Rect& r) { return {r.x, r.y, r.x + r.w, r.y + r.h}; }

// Rounds toward minus infinity, so that a screen position left of or above the origin maps to
// the logical pixel that holds it.
int FloorDiv(int v, int n) { return v >= 0 ? v / n : -((-v + n - 1) / n); }

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

// Virtual-key code of a physical key, read as on a US keyboard.
WPARAM VirtualKey(SDL_Scancode code, bool numLock) {
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return WPARAM('A' + (code - SDL_SCANCODE_A));
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return WPARAM('1' + (code - SDL_SCANCODE_1));
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return VK_F1 + WPARAM(code - SDL_SCANCODE_F1);
  if (code >= SDL_SCANCODE_F13 && code <= SDL_SCANCODE_F24) return VK_F12 + 1 + WPARAM(code - SDL_SCANCODE_F13);
  if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9) {
    // Without Num Lock the keypad moves the caret, as the keys printed beside the digits.
    static constexpr WPARAM kNavigation[9] = {VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR,
                                              VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR};
    const int digit = code - SDL_SCANCODE_KP_1;
    return numLock ? VK_NUMPAD0 + 1 + WPARAM(digit) : kNavigation[digit];
  }
  switch (code) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_KP_0: return numLock ? VK_NUMPAD0 : VK_INSERT;
    case SDL_SCANCODE_KP_PERIOD: return numLock ? VK_DECIMAL : VK_DELETE;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_HELP: return VK_HELP;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    default: return 0;
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
  const uint64_t now = SDL_GetTicks64();
  if (FWorkAreaRead && now - FWorkAreaTime < kWorkAreaLifeMs) return FWorkArea;
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

HWND TSdlDisplay::FromId(uint32_t id) const {
  auto it = FById.find(id);
  return it == FById.end() ? nullptr : it->second;
}

// ---- Surfaces ----------------------------------------------------------------------------------

void TSdlDisplay::CreateSurface(HWND hwnd, const TRect& bounds, bool popup) {
  DestroySurface(hwnd);
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
  if (popup) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
  SDL_Window* window = SDL_CreateWindow("", bounds.Left * FScale, bounds.Top * FScale,
                                        std::max(bounds.Width(), 1) * FScale, std::max(bounds.Height(), 1) * FScale,
                                        flags);
  if (!window) throw std::runtime_error(std::string("Cannot create a window: ") + SDL_GetError());
  TSurface s;
  s.Sdl.reset(window);
  s.Id = SDL_GetWindowID(window);
  s.Popup = popup;
  s.Bounds = bounds;
  FById[s.Id] = hwnd;
  FSurfaces[hwnd] = std::move(s);
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
  }
  SyncX();
}

void TSdlDisplay::SetSurfaceBounds(HWND hwnd, const TRect& bounds) {
  TSurface* s = Find(hwnd);
  if (!s) return;
  const bool moved = bounds.Left != s->Bounds.Left || bounds.Top != s->Bounds.Top;
  const bool sized = bounds.Width() != s->Bounds.Width() || bounds.Height() != s->Bounds.Height();
  s->Bounds = bounds;
  if (moved) SDL_SetWindowPosition(s->Sdl.get(), bounds.Left * FScale, bounds.Top * FScale);
  if (sized) {
    SDL_SetWindowSize(s->Sdl.get(), std::max(bounds.Width(), 1) * FScale, std::max(bounds.Height(), 1) * FScale);
    ApplyShape(*s);
  }
}

void TSdlDisplay::RaiseSurface(HWND hwnd) {
  if (TSurface* s = Find(hwnd); s && s->Visible) SDL_RaiseWindow(s->Sdl.get());
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
  if (!s || pixels.Empty()) return;
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

// ---- Keyboard focus ----------------------------------------------------------------------------

HWND TSdlDisplay::FocusedWindow() const {
  Display* dpy = nullptr;
  for (const auto& [hwnd, s] : FSurfaces)
    if ((dpy = XWindowOf(s.Sdl.get()).Dpy)) break;
  if (dpy) {
    // Ask the server: SDL only learns of a change when its event has been read.
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    for (const auto& [hwnd, s] : FSurfaces)
      if (focus && XWindowOf(s.Sdl.get()).Id == focus) return hwnd;
    return nullptr;
  }
  SDL_Window* focus = SDL_GetKeyboardFocus();
  for (const auto& [hwnd, s] : FSurfaces)
    if (focus && s.Sdl.get() == focus) return hwnd;
  return nullptr;
}

void TSdlDisplay::SetKeyboardFocus(HWND hwnd) {
  TSurface* s = Find(hwnd);
  if (!s || !s->Visible) return;
  SDL_SetWindowInputFocus(s->Sdl.get());
  SDL_RaiseWindow(s->Sdl.get());
  SyncX();
}

void TSdlDisplay::HandFocusOn(HWND leaving) {
  TSurface* s = Find(leaving);
  if (!s || !s->Visible || FocusedWindow() != leaving) return;
  // A window that loses its focus by disappearing hands it to nobody (no window manager to
  // pick another), which would read as the program losing the focus.
  TSurface* to = Find(s->FocusBefore);
  if (!to || !to->Visible || to == s) {
    to = nullptr;
    for (HWND h : GetTopLevelWindows()) {
      TSurface* o = h != leaving ? Find(h) : nullptr;
      if (o && o->Visible) {
        to = o;
        break;
      }
    }
  }
  if (!to)
    for (auto& [h, o] : FSurfaces)
      if (h != leaving && o.Visible) {
        to = &o;
        break;
      }
  if (!to) return;
  SDL_SetWindowInputFocus(to->Sdl.get());
  SyncX();
}

void TSdlDisplay::CheckFocusLost() {
  if (!FFocusChanged) return;
  FFocusChanged = false;
  // A focus that moved from one of our windows to another (menus, dialogs) is no loss.
  if (HWND focus = FocusedWindow()) {
    FLastFocus = focus;
    FHadFocus = true;
    return;
  }
  if (FHadFocus) {
    TInputEvent e;
    e.Kind = TInputEvent::ieFocusLost;
    e.Window = FLastFocus;
    FEvents.push_back(e);
  }
  FHadFocus = false;
}

void TSdlDisplay::SyncX() const {
  // Waits until the server has handled our requests, so that the focus events they cause are
  // read together (a loss and the gain that follows it).
  for (const auto& [hwnd, s] : FSurfaces)
    if (Display* dpy = XWindowOf(s.Sdl.get()).Dpy) {
      XSync(dpy, False);
      return;
    }
}

// ---- Input -------------------------------------------------------------------------------------

// A release that comes within microseconds of its press (a quick flick on the frame, or
// generated input) is at times never reported by the X server, though the server's own button
// state has it up; SDL then takes the button as held, ignores the presses that follow, and a
// move or size loop would follow the pointer until some later release. Asked while the queue is
// empty (a release reported before the answer would be queued by then), the server's button
// mask tells; a lost release is put back into the X queue so that SDL's state and ours both
// follow it, at the pointer's position.
void TSdlDisplay::NoteServerButton(unsigned xButton, bool heldByServer) {
  const unsigned bit = xButton == Button1 ? SDL_BUTTON_LMASK
                       : xButton == Button2 ? SDL_BUTTON_MMASK
                       : xButton == Button3 ? SDL_BUTTON_RMASK
                                            : 0;
  if (heldByServer) FServerPressed |= bit; else FServerPressed &= ~bit;
}

void TSdlDisplay::RecoverLostRelease() {
  SDL_Window* window = SDL_GetMouseFocus();
  if (!window)
    for (const auto& [hwnd, s] : FSurfaces)
      if ((window = s.Sdl.get())) break;
  const TXWindow x = XWindowOf(window);
  if (!x.Dpy) return;
  ::Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned mask = 0;
  if (!XQueryPointer(x.Dpy, x.Id, &root, &child, &rootX, &rootY, &winX, &winY, &mask)) return;
  if (XEventsQueued(x.Dpy, QueuedAlready) > 0) return;
  static constexpr struct {
    unsigned Sdl;
    unsigned XMask;
    unsigned XButton;
  } kButtons[] = {{SDL_BUTTON_LMASK, Button1Mask, Button1}, {SDL_BUTTON_MMASK, Button2Mask, Button2},
                  {SDL_BUTTON_RMASK, Button3Mask, Button3}};
  for (const auto& b : kButtons) {
    if (!(FButtons & FServerPressed & b.Sdl) || (mask & b.XMask)) continue;
    FServerPressed &= ~b.Sdl;
    XEvent release{};
    release.xbutton.type = ButtonRelease;
    release.xbutton.display = x.Dpy;
    release.xbutton.window = x.Id;
    release.xbutton.root = root;
    release.xbutton.time = CurrentTime;
    release.xbutton.x = winX;
    release.xbutton.y = winY;
    release.xbutton.x_root = rootX;
    release.xbutton.y_root = rootY;
    release.xbutton.state = mask | b.XMask;
    release.xbutton.button = b.XButton;
    release.xbutton.same_screen = True;
    XPutBackEvent(x.Dpy, &release);
  }
}


bool TSdlDisplay::NextEvent(TInputEvent& event) {
  while (FEvents.empty()) {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) {
      CheckFocusLost();
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

void TSdlDisplay::Wait(int64_t timeoutMs, const std::vector<int>& descriptors) {
  if (!FEvents.empty()) return;
  if (!descriptors.empty()) {
    WaitWithDescriptors(timeoutMs, descriptors);
    return;
  }
  SDL_Event e;
  const int got = timeoutMs < 0 ? SDL_WaitEvent(&e)
                                : SDL_WaitEventTimeout(&e, int(std::min<int64_t>(timeoutMs, INT_MAX)));
  if (got) Translate(e);
}

// SDL waits on its own connection only. On X the wait is done here, on the X connection and the
// descriptors together, the way SDL waits on the connection; what arrives is read into SDL's
// queue when the caller next asks for an event. Elsewhere the wait is cut into slices, after
// each of which the caller reads the descriptors.
void TSdlDisplay::WaitWithDescriptors(int64_t timeoutMs, const std::vector<int>& descriptors) {
  Display* dpy = nullptr;
  for (const auto& [hwnd, s] : FSurfaces)
    if ((dpy = XWindowOf(s.Sdl.get()).Dpy)) break;
  if (!dpy) {
    constexpr int64_t kSliceMs = 100;
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, int(timeoutMs < 0 ? kSliceMs : std::min(timeoutMs, kSliceMs)))) Translate(e);
    return;
  }
  SDL_PumpEvents();
  if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
  XFlush(dpy);
  if (XEventsQueued(dpy, QueuedAlready) > 0) return;
  std::vector<pollfd> fds{{ConnectionNumber(dpy), POLLIN, 0}};
  for (int fd : descriptors) fds.push_back({fd, POLLIN, 0});
  // A signal ends the wait early (EINTR); the caller looks at the quit request then.
  poll(fds.data(), nfds_t(fds.size()), timeoutMs < 0 ? -1 : int(std::min<int64_t>(timeoutMs, INT_MAX)));
}

void TSdlDisplay::Translate(const SDL_Event& e) {
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
    case SDL_KEYUP: {
      const WPARAM vk = VirtualKey(e.key.keysym.scancode, (SDL_GetModState() & KMOD_NUM) != 0);
      if (!vk) break;
      TInputEvent k;
      k.Kind = e.type == SDL_KEYDOWN ? TInputEvent::ieKeyDown : TInputEvent::ieKeyUp;
      k.Key = vk;
      k.Repeat = e.key.repeat != 0;
      FEvents.push_back(k);
      break;
    }
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
          if (hwnd) {
            FHadFocus = true;
            FLastFocus = hwnd;
          }
          FFocusChanged = true;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          FFocusChanged = true;
          break;
        default:
          break;
      }
      break;
    }
    case SDL_DROPBEGIN:
      // The files of one drop come one event each, between its begin and its end.
      FDrop = TInputEvent{};
      FDrop->Kind = TInputEvent::ieDropFile;
      FDrop->Window = FromId(e.drop.windowID);
      FDrop->ScreenPos = CursorPos();
      break;
    case SDL_DROPFILE:
      if (e.drop.file) {
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

int TSdlDisplay::WatchNative(void* self, SDL_Event* e) {
  if (e->type != SDL_SYSWMEVENT || !e->syswm.msg || e->syswm.msg->subsystem != SDL_SYSWM_X11) return 1;
  const XGenericEventCookie& cookie = e->syswm.msg->msg.x11.event.xcookie;
  if (cookie.type != GenericEvent || !cookie.data) return 1;
  auto* display = static_cast<TSdlDisplay*>(self);
  if (display->FXiOpcode < 0) {
    int opcode = 0, eventBase = 0, errorBase = 0;
    display->FXiOpcode = XQueryExtension(cookie.display, "XInputExtension", &opcode, &eventBase, &errorBase) ? opcode : 0;
  }
  if (cookie.extension != display->FXiOpcode ||
      (cookie.evtype != XI_Motion && cookie.evtype != XI_ButtonPress && cookie.evtype != XI_ButtonRelease))
    return 1;
  const auto* device = static_cast<const XIDeviceEvent*>(cookie.data);
  display->FXiPositions.push_back(
      {cookie.serial, display->ToLogical({int(device->root_x), int(device->root_y)}), unsigned(device->detail)});
  if (display->FXiPositions.size() > 4096) display->FXiPositions.pop_front();  // bounded, should reading lag
  return 1;
}

bool TSdlDisplay::QueryPointer(TPoint& screen) const {
  for (const auto& [hwnd, s] : FSurfaces) {
    const TXWindow x = XWindowOf(s.Sdl.get());
    if (!x.Dpy) return false;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(x.Dpy, DefaultRootWindow(x.Dpy), &root, &child, &rootX, &rootY, &winX, &winY, &mask)) return false;
    screen = ToLogical({rootX, rootY});
    return true;
  }
  return false;
}

void TSdlDisplay::PushMove(TPoint screen) {
  FCursor = screen;
  if (!FEvents.empty() && FEvents.back().Kind == TInputEvent::ieMouseMove && FEvents.back().ScreenPos == screen) return;
  TInputEvent m;
  m.Kind = TInputEvent::ieMouseMove;
  m.ScreenPos = screen;
  FEvents.push_back(m);
}

void TSdlDisplay::TranslateNative(const SDL_Event& e) {
  if (!e.syswm.msg || e.syswm.msg->subsystem != SDL_SYSWM_X11) return;
  const XEvent& x = e.syswm.msg->msg.x11.event;
  switch (x.type) {
    case MotionNotify:  // only while SDL holds a core pointer grab
      PushMove(ToLogical({x.xmotion.x_root, x.xmotion.y_root}));
      return;
    case EnterNotify:
    case LeaveNotify:
      // Also on leaving for no window of ours, so that hover states end.
      if (x.xcrossing.mode == NotifyNormal) PushMove(ToLogical({x.xcrossing.x_root, x.xcrossing.y_root}));
      return;
    case ButtonPress:
    case ButtonRelease:
      FRootPos = ToLogical({x.xbutton.x_root, x.xbutton.y_root});
      FRootFresh = true;
      NoteServerButton(x.xbutton.button, x.type == ButtonPress && !x.xbutton.send_event);
      return;
    case GenericEvent: {
      const XGenericEventCookie& cookie = x.xcookie;
      if (FXiOpcode <= 0 || cookie.extension != FXiOpcode) return;
      if (cookie.evtype != XI_Motion && cookie.evtype != XI_ButtonPress && cookie.evtype != XI_ButtonRelease) return;
      while (!FXiPositions.empty() && FXiPositions.front().Serial < cookie.serial) FXiPositions.pop_front();
      TPoint pos;
      unsigned button = 0;
      if (!FXiPositions.empty() && FXiPositions.front().Serial == cookie.serial) {
        pos = FXiPositions.front().Pos;
        button = FXiPositions.front().Button;
        FXiPositions.pop_front();
      } else if (!QueryPointer(pos)) {
        return;
      }
      if (cookie.evtype == XI_Motion) {
        PushMove(pos);
      } else {
        FRootPos = pos;
        FRootFresh = true;
        // The input extension's events come from the server's own devices.
        NoteServerButton(button, cookie.evtype == XI_ButtonPress);
      }
      return;
    }
    default:
      return;
  }
}

void TSdlDisplay::TranslateMouse(const SDL_Event& e) {
  Uint32 windowId = 0;
  TPoint local;
  switch (e.type) {
    case SDL_MOUSEMOTION:
      windowId = e.motion.windowID;
      local = {e.motion.x, e.motion.y};
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      windowId = e.button.windowID;
      local = {e.button.x, e.button.y};
      break;
    default:
      windowId = e.wheel.windowID;
      local = {e.wheel.mouseX, e.wheel.mouseY};
      break;
  }
  // The native event's screen position is exact; window position plus local position is not
  // while the window system is moving the window (the event predates the move).
  TPoint screen = FCursor;
  if (FRootFresh) {
    screen = FRootPos;
  } else if (!FNativePointer || !QueryPointer(screen)) {
    if (FButtons) {
      SDL_GetGlobalMouseState(&screen.X, &screen.Y);
      screen = ToLogical(screen);
    } else if (SDL_Window* window = SDL_GetWindowFromID(windowId)) {
      SDL_GetWindowPosition(window, &screen.X, &screen.Y);
      screen = ToLogical({screen.X + local.X, screen.Y + local.Y});
    }
  }
  FRootFresh = false;
  FCursor = screen;

  TInputEvent m;
  m.ScreenPos = screen;
  if (e.type == SDL_MOUSEMOTION) {
    m.Kind = TInputEvent::ieMouseMove;
  } else if (e.type == SDL_MOUSEWHEEL) {
    int delta = e.wheel.y;
    if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
    if (delta == 0) return;
    m.Kind = TInputEvent::ieWheel;
    m.WheelDelta = delta * 120;
  } else {
    switch (e.button.button) {
      case SDL_BUTTON_LEFT: m.Button = 0; break;
      case SDL_BUTTON_RIGHT: m.Button = 1; break;
      case SDL_BUTTON_MIDDLE: m.Button = 2; break;
      default: return;
    }
    const unsigned bit = SDL_BUTTON(e.button.button);
    if (e.type == SDL_MOUSEBUTTONDOWN) {
      m.Kind = TInputEvent::ieButtonDown;
      // Keep getting moves outside the window while a button is held (the window system's
      // capture, moving and sizing rely on it).
      if (!FButtons) SDL_CaptureMouse(SDL_TRUE);
      FButtons |= bit;
    } else {
      m.Kind = TInputEvent::ieButtonUp;
      FButtons &= ~bit;
      if (!FButtons) SDL_CaptureMouse(SDL_FALSE);
    }
  }
  FEvents.push_back(m);
}

TPoint TSdlDisplay::CursorPos() const {
  TPoint p;
  if (QueryPointer(p)) return FCursor = p;
  if (!FSurfaces.empty()) return FCursor;
  int gx = 0, gy = 0;
  SDL_GetGlobalMouseState(&gx, &gy);
  return ToLogical({gx, gy});
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
