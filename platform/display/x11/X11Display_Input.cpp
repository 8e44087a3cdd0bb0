// Input on the X display: the server's events turned into input events at screen positions.
#include <algorithm>
#include <iterator>

#include "platform/display/x11/X11Display.h"
#include "platform/windowing/WinApi.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "platform/display/x11/X11DisplayInternal.h"

namespace {

// Virtual-key code of a key, read from its first symbol (the one without Shift, in the first
// keyboard group), so that a US keyboard gives the codes printed on its keys.
WPARAM VirtualKey(KeySym sym, bool numLock) {
  if (sym >= XK_a && sym <= XK_z) return WPARAM('A' + (sym - XK_a));
  if (sym >= XK_A && sym <= XK_Z) return WPARAM('A' + (sym - XK_A));
  if (sym >= XK_0 && sym <= XK_9) return WPARAM('0' + (sym - XK_0));
  if (sym >= XK_F1 && sym <= XK_F24) return VK_F1 + WPARAM(sym - XK_F1);
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return VK_NUMPAD0 + WPARAM(sym - XK_KP_0);
  // Without Num Lock the keypad moves the caret, as the keys printed beside the digits.
  static constexpr struct {
    KeySym Sym;
    WPARAM Digit, Navigation;
  } kKeypad[] = {{XK_KP_Insert, VK_NUMPAD0, VK_INSERT}, {XK_KP_End, VK_NUMPAD0 + 1, VK_END},
                 {XK_KP_Down, VK_NUMPAD0 + 2, VK_DOWN},     {XK_KP_Next, VK_NUMPAD0 + 3, VK_NEXT},
                 {XK_KP_Left, VK_NUMPAD0 + 4, VK_LEFT},     {XK_KP_Begin, VK_NUMPAD0 + 5, VK_CLEAR},
                 {XK_KP_Right, VK_NUMPAD0 + 6, VK_RIGHT},   {XK_KP_Home, VK_NUMPAD0 + 7, VK_HOME},
                 {XK_KP_Up, VK_NUMPAD0 + 8, VK_UP},         {XK_KP_Prior, VK_NUMPAD0 + 9, VK_PRIOR},
                 {XK_KP_Delete, VK_DECIMAL, VK_DELETE}};
  for (const auto& k : kKeypad)
    if (sym == k.Sym) return numLock ? k.Digit : k.Navigation;
  switch (sym) {
    case XK_Return: return VK_RETURN;
    case XK_Escape: return VK_ESCAPE;
    case XK_BackSpace: return VK_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab: return VK_TAB;
    case XK_space: return VK_SPACE;
    case XK_minus: return VK_OEM_MINUS;
    case XK_equal: return VK_OEM_PLUS;
    case XK_bracketleft: return VK_OEM_4;
    case XK_bracketright: return VK_OEM_6;
    case XK_backslash: return VK_OEM_5;
    case XK_semicolon: return VK_OEM_1;
    case XK_apostrophe: return VK_OEM_7;
    case XK_grave: return VK_OEM_3;
    case XK_comma: return VK_OEM_COMMA;
    case XK_period: return VK_OEM_PERIOD;
    case XK_slash: return VK_OEM_2;
    case XK_Caps_Lock: return VK_CAPITAL;
    case XK_Scroll_Lock: return VK_SCROLL;
    case XK_Pause: return VK_PAUSE;
    case XK_Insert: return VK_INSERT;
    case XK_Home: return VK_HOME;
    case XK_Prior: return VK_PRIOR;
    case XK_Delete: return VK_DELETE;
    case XK_End: return VK_END;
    case XK_Next: return VK_NEXT;
    case XK_Right: return VK_RIGHT;
    case XK_Left: return VK_LEFT;
    case XK_Down: return VK_DOWN;
    case XK_Up: return VK_UP;
    case XK_Num_Lock: return VK_NUMLOCK;
    case XK_KP_Divide: return VK_DIVIDE;
    case XK_KP_Multiply: return VK_MULTIPLY;
    case XK_KP_Subtract: return VK_SUBTRACT;
    case XK_KP_Add: return VK_ADD;
    case XK_KP_Enter: return VK_RETURN;
    case XK_KP_Decimal: return VK_DECIMAL;
    case XK_Menu: return VK_APPS;
    case XK_Help: return VK_HELP;
    case XK_Control_L: return VK_LCONTROL;
    case XK_Control_R: return VK_RCONTROL;
    case XK_Shift_L: return VK_LSHIFT;
    case XK_Shift_R: return VK_RSHIFT;
    case XK_Alt_L:
    case XK_Meta_L: return VK_LMENU;
    case XK_Alt_R:
    case XK_Meta_R: return VK_RMENU;
    case XK_Super_L: return VK_LWIN;
    case XK_Super_R: return VK_RWIN;
    default: return 0;
  }
}

// Virtual-key code of a key by where it lies on the keyboard (X key codes of the usual Linux
// keymaps are the keyboard's scan codes plus 8), for the keys whose symbols say nothing (a
// German "ß", a Cyrillic letter): the code of the US key in that place.
WPARAM KeyByPosition(unsigned keycode) {
  static constexpr WPARAM kMainBlock[] = {
      // 10 to 23: the digit row (then Backspace and Tab)
      '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', VK_OEM_MINUS, VK_OEM_PLUS, 0, 0,
      // 24 to 37: the top letter row (then Return and Ctrl)
      'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', VK_OEM_4, VK_OEM_6, 0, 0,
      // 38 to 50: the middle row (then Shift)
      'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', VK_OEM_1, VK_OEM_7, VK_OEM_3, 0,
      // 51 to 61: the bottom row
      VK_OEM_5, 'Z', 'X', 'C', 'V', 'B', 'N', 'M', VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2};
  if (keycode >= 10 && keycode < 10 + std::size(kMainBlock)) return kMainBlock[keycode - 10];
  if (keycode == 94) return VK_OEM_102;  // the extra key beside left Shift on European keyboards
  return 0;
}

WPARAM KeyOf(XKeyEvent& key, bool numLock) {
  // The key's own symbol first (the layout's letters keep their names: A on a French keyboard
  // is where Q is on a US one), then its shifted symbol (a French digit row), then its place.
  if (WPARAM vk = VirtualKey(XLookupKeysym(&key, 0), numLock)) return vk;
  const KeySym shifted = XLookupKeysym(&key, 1);
  if ((shifted >= XK_0 && shifted <= XK_9) || (shifted >= XK_A && shifted <= XK_Z)) return VirtualKey(shifted, numLock);
  return KeyByPosition(key.keycode);
}

int CharacterOf(XKeyEvent& key) {
  // What the layout types with this key and these modifiers (Latin-1, which is also
  // Windows-1252 from 0xA0 on); of the control characters only those a key means to type.
  char text[8];
  KeySym sym = 0;
  const int count = XLookupString(&key, text, sizeof text, &sym, nullptr);
  if (count != 1) return 0;
  const int c = static_cast<unsigned char>(text[0]);
  if (c >= 0x20 && c != 0x7F) return c;
  return c == '\r' || c == '\t' || c == 0x08 || c == 0x1B ? c : 0;
}

unsigned ButtonBit(unsigned xButton) { return xButton >= 1 && xButton <= 3 ? 1u << (xButton - 1) : 0; }

}  // namespace

bool TX11Display::NextEvent(TInputEvent& event) {
  while (FEvents.empty()) {
    if (QuitRequested() && !FQuitSent) {
      FQuitSent = true;
      TInputEvent q;
      q.Kind = TInputEvent::ieQuit;
      FEvents.push_back(q);
      break;
    }
    if (XPending(FDpy) == 0) {
      CheckFocus();
      ReportMovedOutside();
      if (FButtons & FServerPressed) RecoverLostRelease();
      if (FEvents.empty()) return false;
      break;
    }
    XEvent e;
    XNextEvent(FDpy, &e);
    Translate(e);
  }
  event = std::move(FEvents.front());
  FEvents.pop_front();
  return true;
}

void TX11Display::Translate(XEvent& e) {
  switch (e.type) {
    case MotionNotify:
      // Only the newest of a run of moves counts.
      if (XEventsQueued(FDpy, QueuedAlready) > 0) {
        XEvent next;
        XPeekEvent(FDpy, &next);
        if (next.type == MotionNotify) return;
      }
      PushMove(ToLogical(e.xmotion.x_root, e.xmotion.y_root));
      return;
    case EnterNotify:
    case LeaveNotify:
      // Also on leaving for no window of ours, so that hover states end.
      if (e.xcrossing.mode == NotifyNormal) PushMove(ToLogical(e.xcrossing.x_root, e.xcrossing.y_root));
      return;
    case ButtonPress:
    case ButtonRelease:
      TranslateButton(e);
      return;
    case KeyPress:
    case KeyRelease:
      TranslateKey(e);
      return;
    case FocusIn:
      if (e.xfocus.detail != NotifyPointer) FFocusChanged = true;
      return;
    case FocusOut:
      if (e.xfocus.detail != NotifyPointer) FFocusChanged = true;
      return;
    case Expose:
      if (TSurface* s = Find(FromX(e.xexpose.window)); s && s->Presented) {
        PutPixels(*s, s->Id, e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height);
        if (e.xexpose.count == 0) XFlush(FDpy);
      }
      return;
    case MapNotify:
      if (TSurface* s = Find(FromX(e.xmap.window))) {
        s->Viewable = true;
        DropFirstPicture(*s);
        if (s->FocusWhenMapped && s->Visible) GiveFocus(*s);
      }
      return;
    case UnmapNotify:
      if (TSurface* s = Find(FromX(e.xunmap.window))) {
        s->Viewable = false;
        s->FocusWhenMapped = false;  // minimised by the manager: the focus went elsewhere
      }
      return;
    case PropertyNotify:
      if (e.xproperty.window == FRoot &&
          (e.xproperty.atom == FAtoms->NetWorkArea || e.xproperty.atom == FAtoms->NetCurrentDesktop))
        FWorkAreaKnown = false;
      TranslateManager(e);
      return;
    case ConfigureNotify:
      if (e.xconfigure.window == FRoot) {
        // A new screen resolution.
        FScreenWidth = e.xconfigure.width;
        FScreenHeight = e.xconfigure.height;
        FWorkAreaKnown = false;
        return;
      }
      TranslateManager(e);
      return;
    case ReparentNotify:
      TranslateManager(e);
      return;
    case ClientMessage:
      TranslateClientMessage(e);
      return;
    case SelectionNotify:
      DndData(e);
      return;
    case MappingNotify:
      XRefreshKeyboardMapping(&e.xmapping);
      FNumLockMask = -1;
      return;
    default:
      return;
  }
}

void TX11Display::TranslateClientMessage(XEvent& e) {
  const XClientMessageEvent& m = e.xclient;
  if (m.message_type == FAtoms->WmProtocols && m.format == 32) {
    const Atom protocol = Atom(m.data.l[0]);
    if (protocol == FAtoms->WmDeleteWindow) {
      if (HWND hwnd = FromX(m.window)) {
        TInputEvent c;
        c.Kind = TInputEvent::ieCloseRequest;
        c.Window = hwnd;
        FEvents.push_back(c);
      }
    } else if (protocol == FAtoms->NetWmPing) {
      // The window manager asks whether the program still answers.
      XEvent reply = e;
      reply.xclient.window = FRoot;
      XSendEvent(FDpy, FRoot, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
      XFlush(FDpy);
    }
    return;
  }
  DndMessage(e);
}

void TX11Display::TranslateButton(XEvent& e) {
  ReportMovedOutside();  // input goes where the windows are by now
  const XButtonEvent& b = e.xbutton;
  const TPoint screen = ToLogical(b.x_root, b.y_root);
  FCursor = screen;
  TInputEvent m;
  m.ScreenPos = screen;
  if (b.button == 4 || b.button == 5) {
    if (e.type != ButtonPress) return;
    m.Kind = TInputEvent::ieWheel;
    m.WheelDelta = b.button == 4 ? 120 : -120;
    FEvents.push_back(m);
    return;
  }
  switch (b.button) {
    case Button1: m.Button = 0; break;
    case Button3: m.Button = 1; break;
    case Button2: m.Button = 2; break;
    default: return;
  }
  const unsigned bit = ButtonBit(b.button);
  if (e.type == ButtonPress) {
    m.Kind = TInputEvent::ieButtonDown;
    FButtons |= bit;
    // A press the server made shows in its button state; one sent by another client does not.
    if (b.send_event) FServerPressed &= ~bit;
    else FServerPressed |= bit;
  } else {
    m.Kind = TInputEvent::ieButtonUp;
    FButtons &= ~bit;
    FServerPressed &= ~bit;
  }
  FEvents.push_back(m);
}

void TX11Display::SetPointerGrab(bool grab) {
  if (grab == FPointerGrabbed) return;
  if (grab) {
    // On the root window with owner events: our windows get their input as usual, and the rest
    // comes to the root window, where only its screen position counts. Another program's grab
    // (a window manager moving a window) wins; the menu then closes as it did without.
    FPointerGrabbed = XGrabPointer(FDpy, FRoot, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                   GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
  } else {
    XUngrabPointer(FDpy, CurrentTime);
    FPointerGrabbed = false;
  }
  XFlush(FDpy);
}

void TX11Display::TranslateKey(XEvent& e) {
  ReportMovedOutside();
  // A key typed just after the focus came (alt-tab, then a key) goes to the window activated by
  // it, not to where the focus was before.
  CheckFocus();
  const unsigned code = e.xkey.keycode & 0xFF;
  const uint8_t bit = uint8_t(1u << (code & 7));
  TInputEvent k;
  if (e.type == KeyPress) {
    if (FNumLockMask < 0) FNumLockMask = int(XkbKeysymToModifiers(FDpy, XK_Num_Lock));
    const WPARAM vk = KeyOf(e.xkey, (e.xkey.state & unsigned(FNumLockMask)) != 0);
    if (!vk) return;
    k.Kind = TInputEvent::ieKeyDown;
    k.Key = vk;
    k.Character = CharacterOf(e.xkey);
    k.Repeat = (FKeysDown[code >> 3] & bit) != 0;
    FKeysDown[code >> 3] |= bit;
    FKeyVk[code] = uint8_t(vk);
  } else {
    // The release names the key its press named, whatever the modifiers now are.
    if (!(FKeysDown[code >> 3] & bit)) return;
    FKeysDown[code >> 3] &= uint8_t(~bit);
    k.Kind = TInputEvent::ieKeyUp;
    k.Key = FKeyVk[code];
  }
  FEvents.push_back(k);
}

void TX11Display::ReleaseHeldKeys() {
  // Keys held when the focus goes elsewhere are let go there, out of our sight: release them
  // here, or Alt would still be down when the window comes back.
  for (unsigned code = 0; code < 256; ++code) {
    const uint8_t bit = uint8_t(1u << (code & 7));
    if (!(FKeysDown[code >> 3] & bit)) continue;
    FKeysDown[code >> 3] &= uint8_t(~bit);
    TInputEvent up;
    up.Kind = TInputEvent::ieKeyUp;
    up.Key = FKeyVk[code];
    FEvents.push_back(up);
  }
}

void TX11Display::PushMove(TPoint screen) {
  ReportMovedOutside();
  FCursor = screen;
  if (!FEvents.empty() && FEvents.back().Kind == TInputEvent::ieMouseMove && FEvents.back().ScreenPos == screen) return;
  TInputEvent m;
  m.Kind = TInputEvent::ieMouseMove;
  m.ScreenPos = screen;
  FEvents.push_back(m);
}

TPoint TX11Display::CursorPos() const {
  ::Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned mask = 0;
  if (XQueryPointer(FDpy, FRoot, &root, &child, &rootX, &rootY, &winX, &winY, &mask))
    FCursor = ToLogical(rootX, rootY);
  return FCursor;
}

// A button that is held here but up on the server (its release was lost on the way) would
// leave a move or size loop following the pointer. Asked while the queue is empty (a release
// reported before the answer would be queued by then), the server's button mask tells; the
// lost release is made up at the pointer's position.
void TX11Display::RecoverLostRelease() {
  ::Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned mask = 0;
  if (!XQueryPointer(FDpy, FRoot, &root, &child, &rootX, &rootY, &winX, &winY, &mask)) return;
  if (XEventsQueued(FDpy, QueuedAlready) > 0) return;
  static constexpr struct {
    unsigned XButton, XMask;
    int Button;
  } kButtons[] = {{Button1, Button1Mask, 0}, {Button2, Button2Mask, 2}, {Button3, Button3Mask, 1}};
  for (const auto& b : kButtons) {
    const unsigned bit = ButtonBit(b.XButton);
    if (!(FButtons & FServerPressed & bit) || (mask & b.XMask)) continue;
    FButtons &= ~bit;
    FServerPressed &= ~bit;
    TInputEvent up;
    up.Kind = TInputEvent::ieButtonUp;
    up.Button = b.Button;
    up.ScreenPos = FCursor = ToLogical(rootX, rootY);
    PushMove(up.ScreenPos);
    FEvents.push_back(up);
  }
}
