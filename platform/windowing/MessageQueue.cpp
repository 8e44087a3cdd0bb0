// Sending, posting and retrieving messages; input translation; timers.
#include <algorithm>
#include <cstdlib>

#include "platform/windowing/WindowSystem.h"

namespace {

struct TSendDepth {
  TSendDepth() { ++WS().SendDepth; }
  ~TSendDepth() { --WS().SendDepth; }
};

bool Matches(const TMsg& m, HWND filter, UINT min, UINT max) {
  if (m.message == WM_QUIT) return true;
  if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
  if (min == 0 && max == 0) return true;
  return m.message >= min && m.message <= max;
}

void Enqueue(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, int character = -1) {
  TWindowSystem& ws = WS();
  ws.Posted.push_back({hwnd, msg, wParam, lParam, ws.Now(), ws.CursorPos, character});
}

WPARAM MouseKeyFlags() {
  const TWindowSystem& ws = WS();
  WPARAM f = 0;
  if (ws.KeyDown[VK_LBUTTON]) f |= MK_LBUTTON;
  if (ws.KeyDown[VK_RBUTTON]) f |= MK_RBUTTON;
  if (ws.KeyDown[VK_MBUTTON]) f |= MK_MBUTTON;
  if (ws.KeyDown[VK_SHIFT]) f |= MK_SHIFT;
  if (ws.KeyDown[VK_CONTROL]) f |= MK_CONTROL;
  return f;
}

void LeaveTracked() {
  TWindowSystem& ws = WS();
  if (!ws.Tracked) return;
  HWND t = ws.Tracked;
  ws.Tracked = nullptr;
  if (IsLive(t)) Enqueue(t, ws.TrackedNonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

void BringModalForward(HWND disabledRoot) {
  MessageBeep(0);
  for (HWND w : WS().TopLevels)
    if (w->Owner == disabledRoot && IsWindowVisible(w) && IsWindowEnabled(w)) {
      SetActiveWindow(w);
      return;
    }
}

void HandleMouse(const TInputEvent& e) {
  TWindowSystem& ws = WS();
  ws.CursorPos = e.ScreenPos;
  if (e.Kind == TInputEvent::ieMouseMove) ws.ReportedPos = e.ScreenPos;
  static constexpr int kButtonVk[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  const int button = std::clamp(e.Button, 0, 2);
  if (e.Kind == TInputEvent::ieButtonDown) ws.KeyDown[kButtonVk[button]] = 0x80;
  if (e.Kind == TInputEvent::ieButtonUp) ws.KeyDown[kButtonVk[button]] = 0;

  HWND target;
  LRESULT hit;
  if (ws.Capture && IsLive(ws.Capture)) {
    target = ws.Capture;
    hit = HTCLIENT;
  } else {
    target = WindowFromPoint(e.ScreenPos);
    if (!target) {
      LeaveTracked();
      ws.LastMouseWindow = nullptr;
      return;
    }
    hit = SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(e.ScreenPos.X, e.ScreenPos.Y));
    if (!IsLive(target)) return;
    HWND root = RootOf(target);
    if (root->Style & WS_DISABLED) {
      LeaveTracked();
      if (e.Kind == TInputEvent::ieButtonDown) BringModalForward(root);
      return;
    }
  }
  const bool client = hit == HTCLIENT;
  if (ws.Tracked && (ws.Tracked != target || ws.TrackedNonClient == client)) LeaveTracked();
  ws.LastMouseWindow = target;
  ws.LastHit = hit;

  TPoint local = e.ScreenPos;
  ScreenToClient(target, &local);
  const LPARAM clientPos = MAKELPARAM(local.X, local.Y);
  const LPARAM screenPos = MAKELPARAM(e.ScreenPos.X, e.ScreenPos.Y);

  switch (e.Kind) {
    case TInputEvent::ieMouseMove:
      if (client) Enqueue(target, WM_MOUSEMOVE, MouseKeyFlags(), clientPos);
      else Enqueue(target, WM_NCMOUSEMOVE, WPARAM(hit), screenPos);
      return;
    case TInputEvent::ieWheel: {
      HWND to = ws.Focus ? ws.Focus : target;
      Enqueue(to, WM_MOUSEWHEEL, MAKEWPARAM(unsigned(MouseKeyFlags()), unsigned(int16_t(e.WheelDelta))), screenPos);
      return;
    }
    case TInputEvent::ieButtonDown:
    case TInputEvent::ieButtonUp: {
      static constexpr UINT kClientDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
      static constexpr UINT kNcDown[3] = {WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN};
      const bool down = e.Kind == TInputEvent::ieButtonDown;
      // Down, up and double click are consecutive numbers for each button.
      UINT msg = (client ? kClientDown : kNcDown)[button] + (down ? 0 : 1);
      if (down) {
        HWND root = RootOf(target);
        if (!ws.Capture && root != ws.Active && !(root->ExStyle & WS_EX_NOACTIVATE)) {
          const LRESULT r = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root), MAKELPARAM(int(hit), int(msg)));
          if (!IsLive(target)) return;
          if (r != MA_NOACTIVATE && r != MA_NOACTIVATEANDEAT) ActivateWindow(root, WA_CLICKACTIVE);
          if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) return;
          if (!IsLive(target)) return;
        }
        const TClickRecord press{target, msg, hit, ws.Now(), e.ScreenPos};
        if (MakesDoubleClick(ws.LastClick, press)) {
          ws.LastClick = {};
          msg += 2;
        } else {
          ws.LastClick = press;
        }
      }
      if (client) Enqueue(target, msg, MouseKeyFlags(), clientPos);
      else Enqueue(target, msg, WPARAM(hit), screenPos);
      return;
    }
    default:
      return;
  }
}

}  // namespace

bool MakesDoubleClick(const TClickRecord& first, const TClickRecord& second) {
  if (!first.Window || first.Window != second.Window || first.Msg != second.Msg) return false;
  const bool client = second.Hit == HTCLIENT;
  if ((first.Hit == HTCLIENT) != client || (client && !(second.Window->ClassStyle & CS_DBLCLKS))) return false;
  const int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  return second.Time - first.Time <= GetDoubleClickTime() && std::abs(second.Pos.X - first.Pos.X) <= cx &&
         std::abs(second.Pos.Y - first.Pos.Y) <= cy;
}

bool PostFrameDoubleClick(const TClickRecord& first, TPoint screen, uint64_t time) {
  if (first.Msg != WM_NCLBUTTONDOWN) return false;
  HWND under = WindowFromPoint(screen);
  if (!under) return false;
  const LRESULT hit = SendMessage(under, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
  if (!IsLive(under) || !MakesDoubleClick(first, {under, WM_NCLBUTTONDOWN, hit, time, screen})) return false;
  WS().LastClick = {};
  Enqueue(under, WM_NCLBUTTONDBLCLK, WPARAM(hit), MAKELPARAM(screen.X, screen.Y));
  return true;
}

namespace {

void SetKeyState(WPARAM vk, bool down) {
  TWindowSystem& ws = WS();
  const uint8_t v = down ? 0x80 : 0;
  ws.KeyDown[vk & 0xFF] = v;
  switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: ws.KeyDown[VK_SHIFT] = v; break;
    case VK_LCONTROL: case VK_RCONTROL: ws.KeyDown[VK_CONTROL] = v; break;
    case VK_LMENU: case VK_RMENU: ws.KeyDown[VK_MENU] = v; break;
    default: break;
  }
}

void HandleKey(const TInputEvent& e) {
  TWindowSystem& ws = WS();
  if (e.Kind == TInputEvent::ieKeyDown && e.Key != VK_MENU && e.Key != VK_LMENU && e.Key != VK_RMENU) ws.LoneAlt = false;
  const bool down = e.Kind == TInputEvent::ieKeyDown;
  WPARAM vk = e.Key;
  SetKeyState(vk, down);
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) vk = VK_SHIFT;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) vk = VK_CONTROL;
  if (vk == VK_LMENU || vk == VK_RMENU) vk = VK_MENU;
  HWND target = ws.Focus && IsLive(ws.Focus) ? ws.Focus : ws.Active;
  if (!target || !IsLive(target)) return;
  const bool alt = ws.KeyDown[VK_MENU] != 0;
  const bool sys = (alt && !ws.KeyDown[VK_CONTROL]) || vk == VK_F10 || vk == VK_MENU || !ws.Focus;
  LPARAM lParam = 1;
  if (alt) lParam |= LPARAM(1) << 29;
  if (e.Repeat) lParam |= LPARAM(1) << 30;
  if (!down) lParam |= LPARAM(3) << 30;
  Enqueue(target, sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP), vk, lParam,
          down ? e.Character : -1);
}

void DeliverDrop(const TInputEvent& e) {
  if (e.Files.empty()) return;
  if (HWND to = DropTargetAt(e.ScreenPos, e.Window)) Enqueue(to, WM_DROPFILES, WPARAM(DragStore(e.Files)), 0);
}

void FreeGraveyard() {
  TWindowSystem& ws = WS();
  if (ws.SendDepth == 0 && !ws.Graveyard.empty()) ws.Graveyard.clear();
}

}  // namespace

void PointerLeftWindow(HWND root) {
  TWindowSystem& ws = WS();
  if (ws.Tracked && RootOf(ws.Tracked) == root) LeaveTracked();
  if (ws.LastMouseWindow && RootOf(ws.LastMouseWindow) == root) ws.LastMouseWindow = nullptr;
}

bool ProcessInputEvents() {
  TWindowSystem& ws = WS();
  if (!ws.Display) return false;
  TInputEvent e;
  if (ws.HeldInput) {
    e = std::move(*ws.HeldInput);
    ws.HeldInput.reset();
  } else if (!ws.Display->NextEvent(e)) {
    return false;
  }
  // A button that goes down or comes up where no mouse move has taken the pointer is preceded
  // by a move there (a fast drag's last motion may come only with its release): every loop
  // that follows the pointer sees where it went before the button changes. The button waits
  // as the next event.
  const bool button = e.Kind == TInputEvent::ieButtonDown || e.Kind == TInputEvent::ieButtonUp;
  if (button && ws.ReportedPos != e.ScreenPos) {
    ws.HeldInput = e;
    e.Kind = TInputEvent::ieMouseMove;
  }
  // One event at a time: its messages are handled before the next event picks its target,
  // so a capture or a mouse-leave request made by a handler applies to the following input.
  switch (e.Kind) {
    case TInputEvent::ieMouseMove:
    case TInputEvent::ieButtonDown:
    case TInputEvent::ieButtonUp:
    case TInputEvent::ieWheel:
      HandleMouse(e);
      break;
    case TInputEvent::ieKeyDown:
    case TInputEvent::ieKeyUp:
      HandleKey(e);
      break;
    case TInputEvent::ieFocusLost:
      ActivateWindow(nullptr, WA_INACTIVE);
      break;
    case TInputEvent::ieFocusGained:
      FollowNativeFocus(e.Window);
      break;
    case TInputEvent::ieStateChanged:
      FollowNativeState(e.Window, e.State);
      break;
    case TInputEvent::ieBoundsChanged:
      FollowNativeBounds(e.Window, e.Bounds);
      break;
    case TInputEvent::ieCloseRequest:
      if (IsLive(e.Window)) Enqueue(e.Window, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case TInputEvent::ieDropFile:
      DeliverDrop(e);
      break;
    case TInputEvent::ieQuit:
      PostQuitMessage(0);
      break;
  }
  return true;
}

// ---- Dropped files -----------------------------------------------------------------------------

namespace {
std::map<uintptr_t, std::vector<std::string>>& Drops() {
  static std::map<uintptr_t, std::vector<std::string>> drops;
  return drops;
}
}  // namespace

void DragAcceptFiles(HWND hwnd, bool accept) {
  if (!IsWindow(hwnd)) return;
  if (accept) hwnd->ExStyle |= WS_EX_ACCEPTFILES;
  else hwnd->ExStyle &= ~WS_EX_ACCEPTFILES;
}

HWND DropTargetAt(TPoint screen, HWND over) {
  HWND to = WindowFromPoint(screen);
  // A display that names the window dropped on is believed over the pointer position.
  if (IsLive(over) && (!to || GetAncestorRoot(to) != over)) to = over;
  while (to && !(to->ExStyle & WS_EX_ACCEPTFILES)) to = GetParent(to);
  if (!to || !IsWindowEnabled(GetAncestorRoot(to))) return nullptr;
  return to;
}

uintptr_t DragStore(std::vector<std::string> paths) {
  static uintptr_t next = 1;
  Drops()[next] = std::move(paths);
  return next++;
}

UINT DragQueryFileCount(WPARAM drop) {
  auto it = Drops().find(drop);
  return it == Drops().end() ? 0 : UINT(it->second.size());
}

std::string DragQueryFile(WPARAM drop, UINT index) {
  auto it = Drops().find(drop);
  if (it == Drops().end() || index >= it->second.size()) return {};
  return it->second[index];
}

void DragFinish(WPARAM drop) { Drops().erase(drop); }

// ---- Sending and posting -----------------------------------------------------------------------

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(hwnd)) return 0;
  TSendDepth depth;
  WNDPROC proc = hwnd->Proc;  // a copy: the procedure may replace itself while it runs
  return CallWindowProc(proc, hwnd, msg, wParam, lParam);
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd && !IsLive(hwnd)) return false;
  Enqueue(hwnd, msg, wParam, lParam);
  return true;
}

void PostQuitMessage(int exitCode) {
  WS().QuitPosted = true;
  WS().QuitCode = exitCode;
}

namespace {

bool FetchMessage(TMsg* out, HWND filter, UINT min, UINT max, bool remove, bool wait) {
  TWindowSystem& ws = WS();
  for (;;) {
    FreeGraveyard();
    // A request to end the program from outside goes before everything still queued: a
    // loop that keeps posting to itself must not hold it back.
    if (ws.Display && ws.Display->QuitRequested()) {
      *out = {nullptr, WM_QUIT, 0, 0, ws.Now(), ws.CursorPos};
      return true;
    }
    DeliverFileChanges();
    auto it = std::find_if(ws.Posted.begin(), ws.Posted.end(), [&](const TMsg& m) { return Matches(m, filter, min, max); });
    if (it == ws.Posted.end()) {
      if (ProcessInputEvents()) continue;
    } else {
      *out = *it;
      if (remove) ws.Posted.erase(it);
      return true;
    }
    if (ws.QuitPosted) {
      *out = {nullptr, WM_QUIT, WPARAM(ws.QuitCode), 0, ws.Now(), ws.CursorPos};
      if (remove) ws.QuitPosted = false;
      return true;
    }
    if (min == 0 || (min <= WM_PAINT && max >= WM_PAINT)) {
      HWND p = FindWindowToPaint();
      if (p && (!filter || p == filter || IsChild(filter, p))) {
        *out = {p, WM_PAINT, 0, 0, ws.Now(), ws.CursorPos};
        return true;
      }
    }
    if (min == 0 || (min <= WM_TIMER && max >= WM_TIMER)) {
      const uint64_t now = ws.Now();
      TTimer* due = nullptr;
      for (TTimer& t : ws.Timers)
        if (t.Due <= now && (!filter || t.Window == filter) && (!due || t.Due < due->Due)) due = &t;
      if (due) {
        *out = {due->Window, WM_TIMER, due->Id, 0, now, ws.CursorPos};
        if (remove) {
          due->Due += due->Interval;
          if (due->Due <= now) due->Due = now + due->Interval;  // missed ticks are not queued up
        }
        return true;
      }
    }
    if (!wait || !ws.Display) return false;
    FlushSurfaces();
    const uint64_t next = NextTimerDue();
    const uint64_t now = ws.Now();
    const int64_t timeout = next == UINT64_MAX ? -1 : int64_t(next > now ? next - now : 0);
    const int watches = FileWatchDescriptor();
    ws.Display->Wait(timeout, watches >= 0 ? std::vector<int>{watches} : std::vector<int>{});
  }
}

}  // namespace

bool GetMessage(TMsg* msg, HWND filter, UINT min, UINT max) {
  if (!FetchMessage(msg, filter, min, max, true, true)) {
    // Without a display nothing can ever arrive: end the loop instead of spinning.
    *msg = {nullptr, WM_QUIT, 0, 0, 0, {}};
    return false;
  }
  return msg->message != WM_QUIT;
}

bool PeekMessage(TMsg* msg, HWND filter, UINT min, UINT max, UINT remove) {
  return FetchMessage(msg, filter, min, max, (remove & PM_REMOVE) != 0, false);
}

bool WaitMessage() {
  TMsg m;
  FetchMessage(&m, nullptr, 0, 0, false, true);
  return true;
}

LRESULT DispatchMessage(const TMsg* msg) {
  if (!msg || !msg->hwnd || !IsLive(msg->hwnd)) return 0;
  TWindowSystem& ws = WS();
  ws.MessageTime = msg->time;
  ws.MessagePos = msg->pt;
  HWND hwnd = msg->hwnd;
  const LRESULT r = SendMessage(hwnd, msg->message, msg->wParam, msg->lParam);
  // A window that ignores WM_PAINT would otherwise get it forever.
  if (msg->message == WM_PAINT && IsLive(hwnd)) {
    hwnd->NcDirty = false;
    hwnd->InternalPaint = false;
    hwnd->UpdateRgn.Clear();
    hwnd->EraseNeeded = false;
  }
  return r;
}

bool PumpPendingMessages() {
  TMsg m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      FlushSurfaces();
      return false;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  FlushSurfaces();
  return true;
}

uint64_t GetMessageTime() { return WS().MessageTime; }
TPoint GetMessagePos() { return WS().MessagePos; }

UINT RegisterWindowMessage(const std::string& name) {
  if (name.empty()) return 0;
  TWindowSystem& ws = WS();
  auto it = ws.RegisteredMessages.find(name);
  if (it != ws.RegisteredMessages.end()) return it->second;
  if (ws.NextRegistered > 0xFFFF) return 0;
  return ws.RegisteredMessages[name] = ws.NextRegistered++;
}

// ---- Keyboard translation ----------------------------------------------------------------------

namespace {
// US keyboard layout: the character a key gives, without and with Shift.
int CharForKey(WPARAM vk, bool shift, bool caps) {
  if (vk >= 'A' && vk <= 'Z') return (shift != caps) ? int(vk) : int(vk) + 32;
  if (vk >= '0' && vk <= '9') {
    static const char shifted[] = ")!@#$%^&*(";
    return shift ? shifted[vk - '0'] : int(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return int('0' + (vk - VK_NUMPAD0));
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_ESCAPE: return 0x1B;
    case VK_BACK: return 0x08;
    case VK_TAB: return '\t';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: return 0;
  }
}
}  // namespace

bool TranslateMessage(const TMsg* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return false;
  const TWindowSystem& ws = WS();
  const bool shift = ws.KeyDown[VK_SHIFT] != 0, ctrl = ws.KeyDown[VK_CONTROL] != 0;
  // The layout's own character when the display gave one (a French or German keyboard types
  // what its keys say); otherwise the key as on a US keyboard.
  int ch = msg->character >= 0 ? msg->character : CharForKey(msg->wParam, shift, false);
  if (ctrl && msg->wParam >= 'A' && msg->wParam <= 'Z') ch = int(msg->wParam - 'A' + 1);
  else if (ctrl && ch != 0x1B && ch != '\r' && ch != 0x08) ch = 0;
  if (!ch) return false;
  const UINT charMsg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  TWindowSystem& w = WS();
  w.Posted.push_front({msg->hwnd, charMsg, WPARAM(ch), msg->lParam, msg->time, msg->pt});
  return true;
}

// ---- Timers ------------------------------------------------------------------------------------

uintptr_t SetTimer(HWND hwnd, uintptr_t id, uint32_t elapseMs) {
  TWindowSystem& ws = WS();
  if (hwnd && !IsLive(hwnd)) return 0;
  if (elapseMs < 10) elapseMs = 10;
  if (!hwnd && id == 0) {
    static uintptr_t nextId = 0x7FFF;
    id = ++nextId;
  }
  const uint64_t due = ws.Now() + elapseMs;
  for (TTimer& t : ws.Timers)
    if (t.Window == hwnd && t.Id == id) {
      t.Interval = elapseMs;
      t.Due = due;
      return id ? id : 1;
    }
  ws.Timers.push_back({hwnd, id, elapseMs, due});
  return id ? id : 1;
}

bool KillTimer(HWND hwnd, uintptr_t id) {
  TWindowSystem& ws = WS();
  auto it = std::find_if(ws.Timers.begin(), ws.Timers.end(), [&](const TTimer& t) { return t.Window == hwnd && t.Id == id; });
  if (it == ws.Timers.end()) return false;
  ws.Timers.erase(it);
  ws.Posted.erase(std::remove_if(ws.Posted.begin(), ws.Posted.end(),
                                 [&](const TMsg& m) { return m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == id; }),
                  ws.Posted.end());
  return true;
}

uint64_t NextTimerDue() {
  uint64_t next = UINT64_MAX;
  for (const TTimer& t : WS().Timers) next = std::min(next, t.Due);
  return std::min(next, NextFileChangeDue());
}

uint64_t GetTickCount64() { return WS().Now(); }
uint32_t GetTickCount() { return uint32_t(WS().Now()); }
