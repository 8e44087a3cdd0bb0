// Living with a window manager: finding it, telling it what the window system wants of a window
// (minimised to it, maximised, back again) and following what it does (its states, places and
// sizes); the program's icon, and the end of a launcher's start-up notice.
#include <algorithm>

#include "platform/display/x11/X11Display.h"
#include "platform/windowing/WinApi.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "platform/display/x11/X11DisplayInternal.h"

namespace {

// A window's property of 32-bit items (one long each, as Xlib hands them), empty when it is
// missing or of another type.
std::vector<long> ReadLongs(Display* dpy, ::Window w, Atom property, Atom type) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> out;
  if (XGetWindowProperty(dpy, w, property, 0, 1024, False, type, &actual, &format, &count, &after, &data) == Success &&
      data && format == 32)
    out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
  if (data) XFree(data);
  return out;
}

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

void TX11Display::SetIcon(const std::vector<TDib>& icons) {
  FIcon.clear();
  for (const TDib& icon : icons) {
    if (icon.BitsPerPixel() != 32) continue;
    FIcon.push_back(static_cast<unsigned long>(icon.Width()));
    FIcon.push_back(static_cast<unsigned long>(icon.Height()));
    for (int y = 0; y < icon.Height(); ++y) {
      const uint8_t* p = icon.ScanLine(y);
      for (int x = 0; x < icon.Width(); ++x, p += 4)
        FIcon.push_back(static_cast<unsigned long>(p[3]) << 24 | static_cast<unsigned long>(p[2]) << 16 |
                        static_cast<unsigned long>(p[1]) << 8 | p[0]);
    }
  }
}

bool TX11Display::WindowManagerRunning() const {
  if (FManagerRunning >= 0) return FManagerRunning != 0;
  const std::vector<long> named = ReadLongs(FDpy, FRoot, FAtoms->NetSupportingWmCheck, XA_WINDOW);
  // A manager that has ended leaves the property behind, naming a window that is gone or no
  // longer names itself.
  bool running = false;
  if (named.size() == 1 && named[0]) {
    const std::vector<long> self = ReadLongs(FDpy, ::Window(named[0]), FAtoms->NetSupportingWmCheck, XA_WINDOW);
    running = self.size() == 1 && self[0] == named[0];
  }
  // Kept until the root window tells of a change (TranslateManager).
  FManagerRunning = running ? 1 : 0;
  return running;
}

bool TX11Display::IsManaged(HWND hwnd) const {
  const TSurface* s = Find(hwnd);
  return s && !s->Popup && WindowManagerRunning();
}

void TX11Display::SendToManager(const TSurface& s, unsigned long type, long l0, long l1, long l2, long l3) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = s.Id;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = l0;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  XSendEvent(FDpy, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

void TX11Display::SetSurfaceState(HWND hwnd, const TSurfaceState& state) {
  TSurface* s = Find(hwnd);
  if (!s || s->Popup) return;
  const TSurfaceState was = s->State;
  s->State = state;
  const Atom vert = FAtoms->NetWmStateMaximizedVert, horz = FAtoms->NetWmStateMaximizedHorz;
  if (!s->Mapped) {
    // The manager reads the state of a window it has not taken in yet when it is mapped; a
    // window minimised before it was ever shown is shown.
    if (state.Maximized != was.Maximized) {
      std::vector<long> atoms = ReadLongs(FDpy, s->Id, FAtoms->NetWmState, XA_ATOM);
      std::erase_if(atoms, [&](long a) { return Atom(a) == vert || Atom(a) == horz; });
      if (state.Maximized) atoms.insert(atoms.end(), {long(vert), long(horz)});
      XChangeProperty(FDpy, s->Id, FAtoms->NetWmState, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(atoms.data()), int(atoms.size()));
    }
    s->State.Minimized = false;
    return;
  }
  constexpr long kFromApplication = 1;
  if (state.Maximized != was.Maximized)
    SendToManager(*s, FAtoms->NetWmState, state.Maximized ? 1 : 0, long(vert), long(horz), kFromApplication);
  if (state.Minimized && !was.Minimized) {
    XIconifyWindow(FDpy, s->Id, FScreen);
  } else if (!state.Minimized && was.Minimized) {
    // Back from the taskbar: mapped again, and activated as a taskbar would.
    XMapWindow(FDpy, s->Id);
    SendToManager(*s, FAtoms->NetActiveWindow, kFromApplication, CurrentTime, 0);
  }
  XFlush(FDpy);
}

// The launcher shows a busy pointer until the program says it has started: a "remove"
// message, sent to the root window 20 bytes at a time.
void TX11Display::EndStartupNotice(const TSurface& s) {
  if (FStartupId.empty()) return;
  std::string message = "remove: ID=" + StartupValue(FStartupId);
  message.push_back('\0');
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = s.Id;
  e.xclient.format = 8;
  for (size_t at = 0; at < message.size(); at += 20) {
    e.xclient.message_type = at == 0 ? FAtoms->NetStartupInfoBegin : FAtoms->NetStartupInfo;
    std::fill(std::begin(e.xclient.data.b), std::end(e.xclient.data.b), 0);
    message.copy(e.xclient.data.b, 20, at);
    XSendEvent(FDpy, FRoot, False, PropertyChangeMask, &e);
  }
  FStartupId.clear();
}

void TX11Display::NoteRequested(TSurface& s) {
  s.Requested.push_back(Bounds(s.Bounds.Left * FScale, s.Bounds.Top * FScale, std::max(s.Bounds.Width(), 1) * FScale,
                               std::max(s.Bounds.Height(), 1) * FScale));
  if (s.Requested.size() > 64) s.Requested.pop_front();
}

void TX11Display::TranslateManager(XEvent& e) {
  switch (e.type) {
    case PropertyNotify: {
      const Atom a = e.xproperty.atom;
      if (e.xproperty.window == FRoot) {
        if (a == FAtoms->NetSupportingWmCheck) FManagerRunning = -1;
        return;
      }
      const HWND hwnd = FromX(e.xproperty.window);
      if (hwnd && (a == FAtoms->WmState || a == FAtoms->NetWmState)) ReadManagerState(hwnd, *Find(hwnd));
      return;
    }
    case ReparentNotify:
      if (const HWND hwnd = FromX(e.xreparent.window)) Find(hwnd)->Reparented = e.xreparent.parent != FRoot;
      return;
    case ConfigureNotify:
      if (const HWND hwnd = FromX(e.xconfigure.window)) FollowConfigure(*Find(hwnd), e);
      return;
    default:
      return;
  }
}

void TX11Display::ReadManagerState(HWND hwnd, TSurface& s) {
  if (s.Popup) return;
  const std::vector<long> normalOrIconic = ReadLongs(FDpy, s.Id, FAtoms->WmState, FAtoms->WmState);
  if (normalOrIconic.empty()) return;  // not (or no longer) the manager's
  const std::vector<long> atoms = ReadLongs(FDpy, s.Id, FAtoms->NetWmState, XA_ATOM);
  auto has = [&](Atom a) { return std::find(atoms.begin(), atoms.end(), long(a)) != atoms.end(); };
  TSurfaceState now;
  now.Minimized = normalOrIconic[0] == IconicState;
  now.Maximized = has(FAtoms->NetWmStateMaximizedVert) && has(FAtoms->NetWmStateMaximizedHorz);
  if (now == s.State) return;
  const bool cameBack = s.State.Minimized && !now.Minimized;
  s.State = now;
  TInputEvent e;
  e.Kind = TInputEvent::ieStateChanged;
  e.Window = hwnd;
  e.State = now;
  FEvents.push_back(e);
  // The focus leaves with a window that goes out of sight and may be back with it before its
  // events are read: the two cancel out in the server's answer, so each is told here.
  if (now.Minimized && FHadFocus && FLastFocus == hwnd) {
    PushFocusLoss();
    FHadFocus = false;
  } else if (cameBack && FocusedWindow() == hwnd && !(FHadFocus && FLastFocus == hwnd)) {
    e.Kind = TInputEvent::ieFocusGained;
    FEvents.push_back(e);
    FLastFocus = hwnd;
    FHadFocus = true;
  }
}

// A report of the X window's place and size: the program's own requests come back in the order
// they were made; anything else was done from outside and is followed.
void TX11Display::FollowConfigure(TSurface& s, const XEvent& e) {
  const XConfigureEvent& c = e.xconfigure;
  TRect r = Bounds(c.x, c.y, c.width, c.height);
  // A manager's frame holds the window: the event's place is inside the frame, unless the
  // manager sent it (then it is on the screen).
  if (s.Reparented && !c.send_event) {
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    if (XTranslateCoordinates(FDpy, s.Id, FRoot, 0, 0, &rootX, &rootY, &child)) r = Bounds(rootX, rootY, c.width, c.height);
  }
  if (r == s.Reported) return;  // restacked, or told again
  s.Reported = r;
  const auto own = std::find(s.Requested.begin(), s.Requested.end(), r);
  if (own != s.Requested.end()) {
    s.Requested.erase(s.Requested.begin(), own + 1);
    return;
  }
  s.Requested.clear();
  auto floorDiv = [](int v, int n) { return v >= 0 ? v / n : -((-v + n - 1) / n); };
  const TRect logical = Bounds(floorDiv(r.Left, FScale), floorDiv(r.Top, FScale), std::max(r.Width() / FScale, 1),
                               std::max(r.Height() / FScale, 1));
  if (logical == s.Bounds) return;
  s.Bounds = logical;
  // The buffer no longer fits: the next present fills it whole.
  if (r.Width() != s.PixelsWidth || r.Height() != s.PixelsHeight) s.Presented = false;
  s.MovedOutside = true;
}

void TX11Display::ReportMovedOutside() {
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
