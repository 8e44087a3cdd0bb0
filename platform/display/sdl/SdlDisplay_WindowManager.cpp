// Living with a window manager: finding it, telling it the program's identity and what the
// window system wants of a window (minimised to it, maximised, back again), and following what
// it does (its states, places and sizes). Also the work area it leaves free and the end of a
// launcher's start-up notice.
#include "platform/display/sdl/SdlDisplay.h"

#include <algorithm>
#include <cstdlib>

#include "platform/windowing/WinApi.h"

// SDL's native-window header pulls in Xlib and its macros; it comes after our own headers.
#include "platform/display/sdl/SdlX11.h"
#include <X11/Xatom.h>
#include <X11/Xutil.h>

using namespace sdlx11;

namespace sdlx11 {

std::vector<long> ReadLongs(Display* dpy, ::Window w, Atom property, Atom type) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> out;
  if (XGetWindowProperty(dpy, w, property, 0, 1 << 16, False, type, &actual, &format, &count, &after, &data) ==
          Success &&
      data && format == 32)
    out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
  if (data) XFree(data);
  return out;
}

std::string ReadBytes(Display* dpy, ::Window w, Atom property) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string out;
  // At most 4 MiB: more than any list of dropped files.
  if (XGetWindowProperty(dpy, w, property, 0, 1 << 20, False, AnyPropertyType, &actual, &format, &count, &after,
                         &data) == Success &&
      data && format == 8)
    out.assign(reinterpret_cast<char*>(data), count);
  if (data) XFree(data);
  return out;
}

}  // namespace sdlx11

namespace {

Atom AtomOf(Display* dpy, const char* name) { return XInternAtom(dpy, name, False); }

// A value of the start-up notification protocol: quoted when it holds a space, a quote or a
// backslash, those two escaped.
std::string StartupValue(const std::string& v) {
  if (v.find_first_of(" \"\\") == std::string::npos) return v;
  std::string out = "\"";
  for (char c : v) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

void TSdlDisplay::SetIdentity(const std::string& windowClass, const std::vector<TDib>& icons) {
  FWindowClass = windowClass;
  FIcon.clear();
  for (const TDib& icon : icons) {
    if (icon.BitsPerPixel() != 32) continue;
    FIcon.push_back(static_cast<unsigned long>(icon.Width()));
    FIcon.push_back(static_cast<unsigned long>(icon.Height()));
    for (int y = 0; y < icon.Height(); ++y) {
      const uint8_t* p = icon.ScanLine(y);
      for (int x = 0; x < icon.Width(); ++x, p += 4)
        FIcon.push_back((unsigned long)p[3] << 24 | (unsigned long)p[2] << 16 | (unsigned long)p[1] << 8 | p[0]);
    }
  }
}

void TSdlDisplay::WatchRoot() {
  if (FRootWatched || !FX) return;
  const ::Window root = DefaultRootWindow(FX);
  XWindowAttributes a;
  if (!XGetWindowAttributes(FX, root, &a)) return;
  // Added to what SDL asks of the root window: panels coming and going, a manager starting.
  XSelectInput(FX, root, a.your_event_mask | PropertyChangeMask);
  FRootWatched = true;
  FWorkAreaRead = false;
  FManagerRunning = -1;
}

bool TSdlDisplay::WindowManagerRunning() const {
  if (FManagerRunning >= 0) return FManagerRunning != 0;
  if (!FX) return false;
  const Atom check = AtomOf(FX, "_NET_SUPPORTING_WM_CHECK");
  const std::vector<long> named = ReadLongs(FX, DefaultRootWindow(FX), check, XA_WINDOW);
  // A manager that has ended leaves the property behind, naming a window that is gone or no
  // longer names itself.
  bool running = false;
  if (named.size() == 1 && named[0]) {
    const std::vector<long> self = ReadLongs(FX, ::Window(named[0]), check, XA_WINDOW);
    running = self.size() == 1 && self[0] == named[0];
  }
  // Kept while the root window tells of changes.
  if (FRootWatched) FManagerRunning = running ? 1 : 0;
  return running;
}

bool TSdlDisplay::IsManaged(HWND hwnd) const {
  const TSurface* s = Find(hwnd);
  return s && !s->Popup && s->XId && WindowManagerRunning();
}

void TSdlDisplay::PrepareNative(TSurface& s, HWND) {
  const TXWindow x = XWindowOf(s.Sdl.get());
  if (!x.Dpy) return;
  FX = x.Dpy;
  WatchRoot();
  s.Reported = Bounds(s.Bounds.Left * FScale, s.Bounds.Top * FScale, std::max(s.Bounds.Width(), 1) * FScale,
                      std::max(s.Bounds.Height(), 1) * FScale);
  if (s.Popup) return;
  if (!FWindowClass.empty()) {
    XClassHint hint;
    hint.res_name = FWindowClass.data();
    hint.res_class = FWindowClass.data();
    XSetClassHint(FX, x.Id, &hint);
  }
  if (!FIcon.empty())
    XChangeProperty(FX, x.Id, AtomOf(FX, "_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(FIcon.data()), int(FIcon.size()));
  if (!FStartupId.empty())
    XChangeProperty(FX, x.Id, AtomOf(FX, "_NET_STARTUP_ID"), AtomOf(FX, "UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(FStartupId.data()), int(FStartupId.size()));
}

// The launcher shows a busy pointer until the program says it has started: a "remove"
// message, sent to the root window 20 bytes at a time.
void TSdlDisplay::EndStartupNotice(const TSurface& s) {
  if (FStartupId.empty() || !FX || !s.XId) return;
  std::string message = "remove: ID=" + StartupValue(FStartupId);
  message.push_back('\0');
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = s.XId;
  e.xclient.format = 8;
  for (size_t at = 0; at < message.size(); at += 20) {
    e.xclient.message_type = AtomOf(FX, at == 0 ? "_NET_STARTUP_INFO_BEGIN" : "_NET_STARTUP_INFO");
    std::fill(std::begin(e.xclient.data.b), std::end(e.xclient.data.b), 0);
    message.copy(e.xclient.data.b, 20, at);
    XSendEvent(FX, DefaultRootWindow(FX), False, PropertyChangeMask, &e);
  }
  XFlush(FX);
  FStartupId.clear();
}

void TSdlDisplay::SendToManager(const TSurface& s, const char* type, long l0, long l1, long l2, long l3) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = s.XId;
  e.xclient.message_type = AtomOf(FX, type);
  e.xclient.format = 32;
  e.xclient.data.l[0] = l0;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  XSendEvent(FX, DefaultRootWindow(FX), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

void TSdlDisplay::SetSurfaceState(HWND hwnd, const TSurfaceState& state) {
  TSurface* s = Find(hwnd);
  if (!s || s->Popup || !s->XId || !FX) return;
  const TSurfaceState was = s->State;
  s->State = state;
  const Atom vert = AtomOf(FX, "_NET_WM_STATE_MAXIMIZED_VERT"), horz = AtomOf(FX, "_NET_WM_STATE_MAXIMIZED_HORZ");
  if (!s->Visible) {
    // The manager reads the state of a window it has not taken in yet when it is mapped; a
    // minimised window is handed over once shown.
    if (state.Maximized != was.Maximized) {
      const Atom netState = AtomOf(FX, "_NET_WM_STATE");
      std::vector<long> atoms = ReadLongs(FX, s->XId, netState, XA_ATOM);
      std::erase_if(atoms, [&](long a) { return Atom(a) == vert || Atom(a) == horz; });
      if (state.Maximized) atoms.insert(atoms.end(), {long(vert), long(horz)});
      XChangeProperty(FX, s->XId, netState, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(atoms.data()), int(atoms.size()));
    }
    if (state.Minimized) s->State.Minimized = false;
    return;
  }
  constexpr long kFromApplication = 1;
  if (state.Maximized != was.Maximized)
    SendToManager(*s, "_NET_WM_STATE", state.Maximized ? 1 : 0, long(vert), long(horz), kFromApplication);
  if (state.Minimized && !was.Minimized) {
    XIconifyWindow(FX, s->XId, DefaultScreen(FX));
  } else if (!state.Minimized && was.Minimized) {
    // Back from the taskbar: mapped again, and activated as a taskbar would.
    XMapWindow(FX, s->XId);
    SendToManager(*s, "_NET_ACTIVE_WINDOW", kFromApplication, CurrentTime, 0);
  }
  XFlush(FX);
}

void TSdlDisplay::NoteRequested(TSurface& s, const TRect& screenRect) {
  s.Requested.push_back(screenRect);
  if (s.Requested.size() > 64) s.Requested.pop_front();
}

void TSdlDisplay::TranslateManager(const XEvent& x) {
  if (!FX) return;
  const ::Window root = DefaultRootWindow(FX);
  switch (x.type) {
    case PropertyNotify: {
      const Atom a = x.xproperty.atom;
      if (x.xproperty.window == root) {
        if (a == AtomOf(FX, "_NET_SUPPORTING_WM_CHECK")) FManagerRunning = -1;
        if (a == AtomOf(FX, "_NET_WORKAREA")) FWorkAreaRead = false;
        return;
      }
      const HWND hwnd = FromX(x.xproperty.window);
      if (hwnd && (a == AtomOf(FX, "WM_STATE") || a == AtomOf(FX, "_NET_WM_STATE"))) ReadManagerState(hwnd, *Find(hwnd));
      return;
    }
    case ReparentNotify:
      if (const HWND hwnd = FromX(x.xreparent.window)) Find(hwnd)->Reparented = x.xreparent.parent != root;
      return;
    case ConfigureNotify:
      if (const HWND hwnd = FromX(x.xconfigure.window)) FollowConfigure(*Find(hwnd), x);
      return;
    default:
      return;
  }
}

void TSdlDisplay::ReadManagerState(HWND hwnd, TSurface& s) {
  if (s.Popup) return;
  const Atom wmState = AtomOf(FX, "WM_STATE");
  const std::vector<long> normalOrIconic = ReadLongs(FX, s.XId, wmState, wmState);
  if (normalOrIconic.empty()) return;  // not (or no longer) the manager's
  const std::vector<long> atoms = ReadLongs(FX, s.XId, AtomOf(FX, "_NET_WM_STATE"), XA_ATOM);
  auto has = [&](const char* name) { return std::find(atoms.begin(), atoms.end(), long(AtomOf(FX, name))) != atoms.end(); };
  TSurfaceState now;
  now.Minimized = normalOrIconic[0] == IconicState;
  now.Maximized = has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ");
  if (now == s.State) return;
  s.State = now;
  TInputEvent e;
  e.Kind = TInputEvent::ieStateChanged;
  e.Window = hwnd;
  e.State = now;
  FEvents.push_back(e);
}

// A report of the native window's place and size: the program's own requests come back in the
// order they were made; anything else was done from outside and is followed.
void TSdlDisplay::FollowConfigure(TSurface& s, const XEvent& x) {
  const XConfigureEvent& c = x.xconfigure;
  TRect r = Bounds(c.x, c.y, c.width, c.height);
  // A manager's frame holds the window: the event's place is inside the frame, unless the
  // manager sent it (then it is on the screen).
  if (s.Reparented && !c.send_event) {
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    if (XTranslateCoordinates(FX, s.XId, DefaultRootWindow(FX), 0, 0, &rootX, &rootY, &child))
      r = Bounds(rootX, rootY, c.width, c.height);
  }
  if (r == s.Reported) return;  // restacked, or told again
  s.Reported = r;
  const auto own = std::find(s.Requested.begin(), s.Requested.end(), r);
  if (own != s.Requested.end()) {
    s.Requested.erase(s.Requested.begin(), own + 1);
    return;
  }
  s.Requested.clear();
  const TRect logical = Bounds(FloorDiv(r.Left, FScale), FloorDiv(r.Top, FScale), std::max(r.Width() / FScale, 1),
                               std::max(r.Height() / FScale, 1));
  if (logical == s.Bounds) return;
  s.Bounds = logical;
  s.MovedOutside = true;
}

void TSdlDisplay::ReportMovedOutside() {
  for (auto& [hwnd, s] : FSurfaces) {
    if (!s.MovedOutside) continue;
    s.MovedOutside = false;
    TInputEvent e;
    e.Kind = TInputEvent::ieBoundsChanged;
    e.Window = hwnd;
    e.Bounds = s.Bounds;
    FEvents.push_back(e);
  }
}
