#include "platform/display/headless/HeadlessDisplay.h"

#include <algorithm>
#include <cctype>
#include <cstring>

THeadlessDisplay::THeadlessDisplay(int width, int height, TRect workArea, int scale)
    : FScale(std::max(scale, 1)), FScreen{0, 0, width, height}, FWork(workArea) {}

TPoint THeadlessDisplay::ToLogical(TPoint p) const {
  auto floorDiv = [this](int v) { return v >= 0 ? v / FScale : -((-v + FScale - 1) / FScale); };
  return {floorDiv(p.X), floorDiv(p.Y)};
}

void THeadlessDisplay::CreateSurface(HWND hwnd, const TRect& bounds, TSurfaceKind kind, HWND owner) {
  TSurface& s = FSurfaces[hwnd];
  s.Bounds = bounds;
  s.Popup = kind != skTopLevel;
  s.Kind = kind;
  s.Owner = owner;
  s.Pixels = TDib(std::max(bounds.Width(), 1), std::max(bounds.Height(), 1));
}

TSurfaceKind THeadlessDisplay::SurfaceKind(HWND hwnd) const {
  auto it = FSurfaces.find(hwnd);
  return it != FSurfaces.end() ? it->second.Kind : skTopLevel;
}

HWND THeadlessDisplay::SurfaceOwner(HWND hwnd) const {
  auto it = FSurfaces.find(hwnd);
  return it != FSurfaces.end() ? it->second.Owner : nullptr;
}

void THeadlessDisplay::DestroySurface(HWND hwnd) { FSurfaces.erase(hwnd); }

void THeadlessDisplay::SetSurfaceVisible(HWND hwnd, bool visible) {
  auto it = FSurfaces.find(hwnd);
  if (it != FSurfaces.end()) it->second.Visible = visible;
}

void THeadlessDisplay::SetSurfaceBounds(HWND hwnd, const TRect& bounds) {
  auto it = FSurfaces.find(hwnd);
  if (it == FSurfaces.end()) return;
  TSurface& s = it->second;
  if (s.Bounds.Width() != bounds.Width() || s.Bounds.Height() != bounds.Height()) {
    TDib fresh(std::max(bounds.Width(), 1), std::max(bounds.Height(), 1));
    TDC from(&s.Pixels), to(&fresh);
    BitBlt(&to, 0, 0, fresh.Width(), fresh.Height(), &from, 0, 0, SRCCOPY);
    s.Pixels = std::move(fresh);
  }
  s.Bounds = bounds;
}

void THeadlessDisplay::SetSurfaceShape(HWND hwnd, const TRegion* shape) {
  auto it = FSurfaces.find(hwnd);
  if (it == FSurfaces.end()) return;
  if (shape) it->second.Shape = *shape;
  else it->second.Shape.reset();
}

void THeadlessDisplay::Present(HWND hwnd, const TDib& pixels, const TRegion& dirty) {
  auto it = FSurfaces.find(hwnd);
  if (it == FSurfaces.end()) return;
  TSurface& s = it->second;
  if (s.Pixels.Width() != pixels.Width() || s.Pixels.Height() != pixels.Height())
    s.Pixels = TDib(pixels.Width(), pixels.Height());
  TDC to(&s.Pixels);
  TDC from(const_cast<TDib*>(&pixels));
  SelectClipRgn(&to, &dirty);
  BitBlt(&to, 0, 0, pixels.Width(), pixels.Height(), &from, 0, 0, SRCCOPY);
}

bool THeadlessDisplay::NextEvent(TInputEvent& event) {
  if (FEvents.empty()) return false;
  event = FEvents.front();
  FEvents.pop_front();
  return true;
}

void THeadlessDisplay::Wait(int64_t timeoutMs, const std::vector<int>&) {
  if (FWaitUntil) {
    if (FNow < *FWaitUntil) {
      const uint64_t left = *FWaitUntil - FNow;
      FNow += (timeoutMs < 0) ? left : std::min<uint64_t>(uint64_t(timeoutMs), left);
      return;
    }
    FWaitUntil.reset();
  }
  if (!FScript.empty()) {
    auto action = std::move(FScript.front());
    FScript.pop_front();
    action();
    return;
  }
  // Nothing more will ever happen: let the program end instead of waiting forever.
  TInputEvent quit;
  quit.Kind = TInputEvent::ieQuit;
  FEvents.push_back(quit);
}

// ---- Input ---------------------------------------------------------------------------------------

void THeadlessDisplay::MoveMouse(int x, int y) {
  FCursor = ToLogical({x, y});
  TInputEvent e;
  e.Kind = TInputEvent::ieMouseMove;
  e.ScreenPos = FCursor;
  FEvents.push_back(e);
}

void THeadlessDisplay::Press(int button) {
  TInputEvent e;
  e.Kind = TInputEvent::ieButtonDown;
  e.ScreenPos = FCursor;
  e.Button = button;
  FEvents.push_back(e);
}

void THeadlessDisplay::Release(int button) {
  TInputEvent e;
  e.Kind = TInputEvent::ieButtonUp;
  e.ScreenPos = FCursor;
  e.Button = button;
  FEvents.push_back(e);
}

void THeadlessDisplay::Click(int x, int y, int button) {
  MoveMouse(x, y);
  Press(button);
  Release(button);
}

void THeadlessDisplay::Wheel(int delta) {
  TInputEvent e;
  e.Kind = TInputEvent::ieWheel;
  e.ScreenPos = FCursor;
  e.WheelDelta = delta;
  FEvents.push_back(e);
}

void THeadlessDisplay::KeyDown(WPARAM vk, bool repeat) {
  TInputEvent e;
  e.Kind = TInputEvent::ieKeyDown;
  e.Key = vk;
  e.Repeat = repeat;
  FEvents.push_back(e);
}

void THeadlessDisplay::KeyUp(WPARAM vk) {
  TInputEvent e;
  e.Kind = TInputEvent::ieKeyUp;
  e.Key = vk;
  FEvents.push_back(e);
}

void THeadlessDisplay::Key(WPARAM vk) {
  KeyDown(vk);
  KeyUp(vk);
}

namespace {
// The key (and whether Shift is needed) that types a character on a US keyboard.
bool KeyForChar(char c, WPARAM& vk, bool& shift) {
  shift = false;
  if (c >= 'a' && c <= 'z') { vk = WPARAM(c - 'a' + 'A'); return true; }
  if (c >= 'A' && c <= 'Z') { vk = WPARAM(c); shift = true; return true; }
  if (c >= '0' && c <= '9') { vk = WPARAM(c); return true; }
  static const struct { char c; WPARAM vk; bool shift; } table[] = {
      {' ', VK_SPACE, false}, {'\n', VK_RETURN, false}, {'\t', VK_TAB, false},
      {')', '0', true}, {'!', '1', true}, {'@', '2', true}, {'#', '3', true}, {'$', '4', true},
      {'%', '5', true}, {'^', '6', true}, {'&', '7', true}, {'*', '8', true}, {'(', '9', true},
      {';', VK_OEM_1, false}, {':', VK_OEM_1, true}, {'=', VK_OEM_PLUS, false}, {'+', VK_OEM_PLUS, true},
      {',', VK_OEM_COMMA, false}, {'<', VK_OEM_COMMA, true}, {'-', VK_OEM_MINUS, false}, {'_', VK_OEM_MINUS, true},
      {'.', VK_OEM_PERIOD, false}, {'>', VK_OEM_PERIOD, true}, {'/', VK_OEM_2, false}, {'?', VK_OEM_2, true},
      {'`', VK_OEM_3, false}, {'~', VK_OEM_3, true}, {'[', VK_OEM_4, false}, {'{', VK_OEM_4, true},
      {'\\', VK_OEM_5, false}, {'|', VK_OEM_5, true}, {']', VK_OEM_6, false}, {'}', VK_OEM_6, true},
      {'\'', VK_OEM_7, false}, {'"', VK_OEM_7, true},
  };
  for (const auto& t : table)
    if (t.c == c) { vk = t.vk; shift = t.shift; return true; }
  return false;
}
}  // namespace

void THeadlessDisplay::TypeText(const std::string& text) {
  for (char c : text) {
    WPARAM vk;
    bool shift;
    if (!KeyForChar(c, vk, shift)) continue;
    if (shift) KeyDown(VK_LSHIFT);
    Key(vk);
    if (shift) KeyUp(VK_LSHIFT);
  }
}

void THeadlessDisplay::DropFile(const std::string& path, int x, int y) { DropFiles({path}, x, y); }

void THeadlessDisplay::DropFiles(std::vector<std::string> paths, int x, int y) {
  TInputEvent e;
  e.Kind = TInputEvent::ieDropFile;
  e.ScreenPos = ToLogical({x, y});
  e.Files = std::move(paths);
  FEvents.push_back(std::move(e));
}

void THeadlessDisplay::RequestClose(HWND hwnd) {
  TInputEvent e;
  e.Kind = TInputEvent::ieCloseRequest;
  e.Window = hwnd;
  FEvents.push_back(e);
}

// ---- A window manager ---------------------------------------------------------------------------

bool THeadlessDisplay::IsManaged(HWND hwnd) const {
  auto it = FSurfaces.find(hwnd);
  return it != FSurfaces.end() && IsManagedSurface(it->second);
}

void THeadlessDisplay::SetSurfaceState(HWND hwnd, const TSurfaceState& state) {
  auto it = FSurfaces.find(hwnd);
  if (it == FSurfaces.end()) return;
  TSurface& s = it->second;
  if (state.Maximized && !s.State.Maximized) s.NormalBounds = s.Bounds;
  const bool restored = !state.Maximized && s.State.Maximized && !state.Minimized;
  s.State = state;
  if (restored && IsManagedSurface(s)) ManagerMoves(hwnd, s.NormalBounds);
}

TSurfaceState THeadlessDisplay::SurfaceState(HWND hwnd) const {
  auto it = FSurfaces.find(hwnd);
  return it == FSurfaces.end() ? TSurfaceState{} : it->second.State;
}

void THeadlessDisplay::Push(TInputEvent::TKind kind, HWND hwnd) {
  TInputEvent e;
  e.Kind = kind;
  e.Window = hwnd;
  FEvents.push_back(std::move(e));
}

void THeadlessDisplay::GiveFocus(HWND hwnd) { Push(TInputEvent::ieFocusGained, hwnd); }

void THeadlessDisplay::TakeFocus(HWND from) { Push(TInputEvent::ieFocusLost, from); }

void THeadlessDisplay::ManagerSetsState(HWND hwnd, const TSurfaceState& state) {
  auto it = FSurfaces.find(hwnd);
  if (it == FSurfaces.end()) return;
  if (state.Maximized && !it->second.State.Maximized) it->second.NormalBounds = it->second.Bounds;
  it->second.State = state;
  Push(TInputEvent::ieStateChanged, hwnd);
  FEvents.back().State = state;
}

void THeadlessDisplay::ManagerMoves(HWND hwnd, const TRect& bounds) {
  SetSurfaceBounds(hwnd, bounds);
  Push(TInputEvent::ieBoundsChanged, hwnd);
  FEvents.back().Bounds = bounds;
}

// ---- Time -------------------------------------------------------------------------------------

void THeadlessDisplay::Pump() { PumpPendingMessages(); }

void THeadlessDisplay::Advance(uint64_t ms) {
  const uint64_t target = FNow + ms;
  Pump();
  for (;;) {
    const uint64_t next = NextTimerDue();
    if (next > target) break;
    if (next > FNow) FNow = next;
    Pump();
  }
  FNow = target;
  Pump();
}

void THeadlessDisplay::Schedule(std::function<void()> action) { FScript.push_back(std::move(action)); }

void THeadlessDisplay::ScheduleWait(uint64_t ms) {
  Schedule([this, ms] { FWaitUntil = FNow + ms; });
}

// ---- Output ------------------------------------------------------------------------------------

TDib THeadlessDisplay::Screenshot() const {
  TDib screen(FScreen.Width(), FScreen.Height());
  screen.Fill(GetSysColor(COLOR_BACKGROUND));
  TDC to(&screen);
  std::vector<HWND> order = GetTopLevelWindows();  // front first
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    auto s = FSurfaces.find(*it);
    if (s == FSurfaces.end() || !Shown(s->second)) continue;
    const TSurface& surf = s->second;
    TDC from(const_cast<TDib*>(&surf.Pixels));
    TRegion clip(TRect{0, 0, surf.Bounds.Width(), surf.Bounds.Height()});
    if (surf.Shape) clip = clip.Intersect(*surf.Shape);
    clip.Offset(surf.Bounds.Left, surf.Bounds.Top);
    SelectClipRgn(&to, &clip);
    BitBlt(&to, surf.Bounds.Left, surf.Bounds.Top, surf.Bounds.Width(), surf.Bounds.Height(), &from, 0, 0, SRCCOPY);
  }
  if (FScale == 1) return screen;
  TDib large(screen.Width() * FScale, screen.Height() * FScale);
  for (int y = 0; y < large.Height(); ++y) {
    const uint8_t* s = screen.ScanLine(y / FScale);
    uint8_t* d = large.ScanLine(y);
    for (int x = 0; x < large.Width(); ++x, d += 3) std::memcpy(d, s + std::ptrdiff_t(x / FScale) * 3, 3);
  }
  return large;
}

TDib THeadlessDisplay::WindowShot(HWND hwnd) const {
  auto it = FSurfaces.find(hwnd);
  return it == FSurfaces.end() ? TDib() : it->second.Pixels;
}

COLORREF THeadlessDisplay::ScreenPixel(int screenX, int screenY) const {
  const TPoint logical = ToLogical({screenX, screenY});
  const int x = logical.X, y = logical.Y;
  std::vector<HWND> order = GetTopLevelWindows();
  for (HWND h : order) {
    auto s = FSurfaces.find(h);
    if (s == FSurfaces.end() || !Shown(s->second)) continue;
    const TSurface& surf = s->second;
    const int lx = x - surf.Bounds.Left, ly = y - surf.Bounds.Top;
    if (lx < 0 || ly < 0 || lx >= surf.Bounds.Width() || ly >= surf.Bounds.Height()) continue;
    if (surf.Shape && !surf.Shape->Contains(lx, ly)) continue;
    if (lx >= surf.Pixels.Width() || ly >= surf.Pixels.Height()) continue;
    return surf.Pixels.GetPixel(lx, ly);
  }
  return GetSysColor(COLOR_BACKGROUND);
}
