// Input: keys as virtual keys, the pointer at screen positions read from the native events,
// buttons the X server lost, and files dropped on a window.
#include "platform/display/sdl/SdlDisplay.h"

#include <unistd.h>

#include <climits>

#include "platform/display/sdl/UriList.h"
#include "platform/windowing/WinApi.h"

// SDL's native-window header pulls in Xlib and its macros; it comes after our own headers.
#include "platform/display/sdl/SdlX11.h"
#include <X11/extensions/XInput2.h>

using namespace sdlx11;

namespace {

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

}  // namespace

void TSdlDisplay::TranslateKey(const SDL_Event& e) {
  const WPARAM vk = VirtualKey(e.key.keysym.scancode, (SDL_GetModState() & KMOD_NUM) != 0);
  if (!vk) return;
  TInputEvent k;
  k.Kind = e.type == SDL_KEYDOWN ? TInputEvent::ieKeyDown : TInputEvent::ieKeyUp;
  k.Key = vk;
  k.Repeat = e.key.repeat != 0;
  FEvents.push_back(k);
}

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

int TSdlDisplay::WatchNative(void* self, SDL_Event* e) {
  if (e->type != SDL_SYSWMEVENT || !e->syswm.msg || e->syswm.msg->subsystem != SDL_SYSWM_X11) return 1;
  auto* display = static_cast<TSdlDisplay*>(self);
  if (e->syswm.msg->msg.x11.event.type == SelectionNotify) {
    display->ReadDropList(e->syswm.msg->msg.x11.event);
    return 1;
  }
  const XGenericEventCookie& cookie = e->syswm.msg->msg.x11.event.xcookie;
  if (cookie.type != GenericEvent || !cookie.data) return 1;
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

// The list of a drop arrives as the answer to SDL's request for the dragged data: it is read
// here, before SDL reads (and may delete) it, with our own rules for what a URI names (SDL
// drops what it cannot take for a local file without a word, and misreads some URIs).
void TSdlDisplay::ReadDropList(const XEvent& x) {
  const XSelectionEvent& sel = x.xselection;
  if (sel.property == None || !FromX(sel.requestor)) return;
  if (sel.selection != XInternAtom(sel.display, "XdndSelection", False) ||
      sel.target != XInternAtom(sel.display, "text/uri-list", False))
    return;
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) host[0] = 0;
  TNativeDrop drop{sel.serial, FilesOfUriList(ReadBytes(sel.display, sel.requestor, sel.property), host)};
  if (drop.Files.empty()) return;
  FNativeDrops.push_back(std::move(drop));
  if (FNativeDrops.size() > 16) FNativeDrops.pop_front();  // bounded, should reading lag
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
  ReportMovedOutside();
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
    case SelectionNotify:
      // A drop's list, read on the watch.
      while (!FNativeDrops.empty() && FNativeDrops.front().Serial < x.xselection.serial) FNativeDrops.pop_front();
      if (!FNativeDrops.empty() && FNativeDrops.front().Serial == x.xselection.serial) {
        TInputEvent d;
        d.Kind = TInputEvent::ieDropFile;
        d.Window = FromX(x.xselection.requestor);
        d.ScreenPos = CursorPos();
        d.Files = std::move(FNativeDrops.front().Files);
        FNativeDrops.pop_front();
        FEvents.push_back(std::move(d));
      }
      return;
    default:
      TranslateManager(x);
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
