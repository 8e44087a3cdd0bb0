// The X display on a private X server (Xvfb): pixels read back from the screen through a
// second connection, input sent as X events, keyboard focus kept among our windows.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/display/x11/X11Display.h"
#include "platform/windowing/WinApi.h"
#include "tests/support/XServer.h"
#include "tests/support/XdndSource.h"

// Xlib last: its macros (None, Bool, Status ...) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

#include "platform/display/x11/X11DisplayInternal.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

constexpr COLORREF kGreen = RGB(10, 200, 30);
constexpr COLORREF kRed = RGB(200, 20, 20);
constexpr uintptr_t kRescueTimer = 99;

class X11Display : public ::testing::Test {
 protected:
  static std::unique_ptr<TXServer>& Server() {
    static std::unique_ptr<TXServer> server;
    return server;
  }
  static void SetUpTestSuite() { Server() = std::make_unique<TXServer>(); }
  static void TearDownTestSuite() { Server().reset(); }

  void SetUp() override {
    if (!Server()->Dpy()) GTEST_SKIP() << "Needs an X server: " << Server()->Problem();
    FDpy = Server()->Dpy();
    if (const char* v = std::getenv("DISPLAY")) FSavedEnv["DISPLAY"] = v;
    setenv("DISPLAY", Server()->Name().c_str(), 1);
    FDisplay = std::make_unique<TX11Display>();
    SetDisplay(FDisplay.get());
    WNDCLASS cls;
    cls.lpszClassName = "X11Display";
    cls.lpfnWndProc = [this](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      FSeen.push_back({h, m, wp, lp, 0, {}});
      if (m == WM_TIMER && wp == kRescueTimer) ReleaseCapture();  // ends a modal loop that got stuck
      if (m != WM_PAINT) return DefWindowProc(h, m, wp, lp);
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      TRect r;
      GetClientRect(h, &r);
      FillRect(dc, &r, CreateSolidBrush(FColours.count(h) ? FColours[h] : kGreen));
      EndPaint(h, &ps);
      return 0;
    };
    RegisterClass(cls);
  }

  void TearDown() override {
    SetDisplay(nullptr);
    FDisplay.reset();
    auto it = FSavedEnv.find("DISPLAY");
    if (it == FSavedEnv.end()) unsetenv("DISPLAY");
    else setenv("DISPLAY", it->second.c_str(), 1);
  }

  HWND Create(uint32_t style, int x, int y, int w, int h, HWND owner = nullptr) {
    return CreateWindowEx(0, "X11Display", "", style, x, y, w, h, owner);
  }

  COLORREF ScreenPixel(int x, int y) {
    XImage* image = XGetImage(FDpy, DefaultRootWindow(FDpy), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return CLR_INVALID;
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return RGB(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
  }

  // Lets the program run until `done` holds, at most `limit`.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s) {
    const auto deadline = TClock::now() + limit;
    for (;;) {
      PumpPendingMessages();
      if (done()) return true;
      if (TClock::now() > deadline) return false;
      std::this_thread::sleep_for(5ms);
    }
  }
  COLORREF PumpUntilPixel(int x, int y, COLORREF want) {
    COLORREF got = CLR_INVALID;
    PumpUntil([&] { return (got = ScreenPixel(x, y)) == want; });
    return got;
  }

  ::Window XWindowAt(int x, int y) {
    ::Window root = DefaultRootWindow(FDpy), child = 0;
    int lx = 0, ly = 0;
    XTranslateCoordinates(FDpy, root, root, x, y, &lx, &ly, &child);
    return child;
  }
  ::Window XFocus() {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(FDpy, &focus, &revert);
    return focus;
  }

  // Another program's window, shown and given the keyboard focus.
  ::Window OtherProgramTakesTheFocus() {
    const ::Window other = XCreateSimpleWindow(FDpy, DefaultRootWindow(FDpy), 600, 400, 100, 100, 0, 0, 0);
    XSelectInput(FDpy, other, StructureNotifyMask);
    XMapWindow(FDpy, other);
    for (XEvent ev; XWindowEvent(FDpy, other, StructureNotifyMask, &ev), ev.type != MapNotify;) {}
    XSetInputFocus(FDpy, other, RevertToParent, CurrentTime);
    XFlush(FDpy);
    return other;
  }

  void SendButton(int type, int x, int y) {
    const ::Window root = DefaultRootWindow(FDpy), target = XWindowAt(x, y);
    XEvent ev{};
    ev.xbutton.type = type;
    ev.xbutton.window = target;
    ev.xbutton.root = root;
    ev.xbutton.time = CurrentTime;
    ::Window child = 0;
    XTranslateCoordinates(FDpy, root, target, x, y, &ev.xbutton.x, &ev.xbutton.y, &child);
    ev.xbutton.x_root = x;
    ev.xbutton.y_root = y;
    ev.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
    ev.xbutton.button = Button1;
    ev.xbutton.same_screen = True;
    XSendEvent(FDpy, target, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &ev);
    XFlush(FDpy);
  }
  void SendKey(::Window target, KeySym sym, bool down) {
    XEvent ev{};
    ev.xkey.type = down ? KeyPress : KeyRelease;
    ev.xkey.window = target;
    ev.xkey.root = DefaultRootWindow(FDpy);
    ev.xkey.time = CurrentTime;
    ev.xkey.keycode = XKeysymToKeycode(FDpy, sym);
    ev.xkey.same_screen = True;
    XSendEvent(FDpy, target, False, down ? KeyPressMask : KeyReleaseMask, &ev);
    XFlush(FDpy);
  }

  std::vector<TMsg> Seen(HWND h, UINT message) const {
    std::vector<TMsg> out;
    for (const TMsg& m : FSeen)
      if (m.hwnd == h && m.message == message) out.push_back(m);
    return out;
  }

  Display* FDpy = nullptr;
  std::unique_ptr<TX11Display> FDisplay;
  std::map<std::string, std::string> FSavedEnv;
  std::map<HWND, COLORREF> FColours;
  std::vector<TMsg> FSeen;
};

TEST_F(X11Display, ShowsTheClientAreaAtItsScreenPosition) {
  const COLORREF background = ScreenPixel(119, 150);
  ASSERT_NE(background, kGreen);
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 90, 240, 160);
  ASSERT_TRUE(w);
  TPoint topLeft{0, 0};
  ClientToScreen(w, &topLeft);
  TRect client;
  GetClientRect(w, &client);
  ASSERT_GT(topLeft.Y, 90);  // below the caption
  EXPECT_EQ(PumpUntilPixel(topLeft.X + client.Width() / 2, topLeft.Y + client.Height() / 2, kGreen), kGreen);
  EXPECT_EQ(ScreenPixel(topLeft.X, topLeft.Y), kGreen);
  EXPECT_EQ(ScreenPixel(topLeft.X + client.Width() - 1, topLeft.Y + client.Height() - 1), kGreen);
  EXPECT_NE(ScreenPixel(topLeft.X - 1, topLeft.Y), kGreen);  // the frame
  EXPECT_EQ(ScreenPixel(119, 150), background);             // left of the window
}

// The window is mapped only when its first picture is ready, and that picture goes to the
// screen with the map: no blank rectangle shows first.
TEST_F(X11Display, AWindowAppearsWithItsFirstPictureAlreadyInIt) {
  const ::Window root = DefaultRootWindow(FDpy);
  XSelectInput(FDpy, root, SubstructureNotifyMask);
  XSync(FDpy, False);
  HWND w = Create(WS_POPUP | WS_VISIBLE, 300, 200, 120, 80);
  ASSERT_TRUE(w);
  const ::Window xw = FDisplay->XWindowOf(w);
  ASSERT_NE(xw, 0u);
  XSync(FDisplay->XDisplay(), False);
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(FDpy, xw, &a));
  EXPECT_EQ(a.map_state, IsUnmapped) << "mapped before anything was painted";

  PumpPendingMessages();  // paints, then presents and maps
  XSync(FDisplay->XDisplay(), False);
  XEvent ev;
  bool mapped = false;
  while (XCheckTypedEvent(FDpy, MapNotify, &ev)) mapped = mapped || ev.xmap.window == xw;
  XSelectInput(FDpy, root, NoEventMask);
  EXPECT_TRUE(mapped);
  EXPECT_EQ(ScreenPixel(300, 200), kGreen);
  EXPECT_EQ(ScreenPixel(419, 279), kGreen);

  // Hidden and shown again, it waits for a fresh picture instead of showing the old one.
  ShowWindow(w, SW_HIDE);
  FColours[w] = kRed;
  ShowWindow(w, SW_SHOWNA);
  XSync(FDisplay->XDisplay(), False);
  ASSERT_TRUE(XGetWindowAttributes(FDpy, xw, &a));
  EXPECT_EQ(a.map_state, IsUnmapped);
  PumpPendingMessages();
  XSync(FDisplay->XDisplay(), False);
  EXPECT_EQ(ScreenPixel(360, 240), kRed);
}

// A window with an outline takes a new size only together with the outline and the picture
// that go with it: a corner that has just grown never lets a click fall through.
TEST_F(X11Display, AGrowingWindowShowsItsNewSizeOnlyWithItsNewOutline) {
  HWND w = Create(WS_POPUP | WS_VISIBLE, 100, 100, 200, 120);
  TRegion outline(TRect{0, 0, 200, 120});
  SetWindowRgn(w, &outline, false);
  ASSERT_EQ(PumpUntilPixel(150, 150, kGreen), kGreen);
  const ::Window xw = FDisplay->XWindowOf(w);
  Display* programDpy = FDisplay->XDisplay();
  auto insideOutline = [&](int x, int y) {
    int count = 0, order = 0;
    XRectangle* rects = XShapeGetRectangles(FDpy, xw, ShapeBounding, &count, &order);
    bool in = false;
    for (int i = 0; i < count; ++i)
      in = in || (x >= rects[i].x && x < rects[i].x + rects[i].width && y >= rects[i].y && y < rects[i].y + rects[i].height);
    if (rects) XFree(rects);
    return in;
  };
  auto width = [&] {
    XWindowAttributes a;
    return XGetWindowAttributes(FDpy, xw, &a) ? a.width : -1;
  };

  SetWindowPos(w, nullptr, 0, 0, 260, 160, SWP_NOZORDER | SWP_NOMOVE);
  XSync(programDpy, False);
  if (width() == 260) {
    EXPECT_TRUE(insideOutline(250, 150)) << "the new size went out with the old outline";
  }
  TRegion grown(TRect{0, 0, 260, 160});
  SetWindowRgn(w, &grown, true);
  PumpPendingMessages();
  XSync(programDpy, False);
  EXPECT_EQ(width(), 260);
  EXPECT_TRUE(insideOutline(250, 150));
  EXPECT_EQ(ScreenPixel(100 + 250, 100 + 150), kGreen);
}

// Keys of another layout: a French digit row (the digits are shifted), a German sharp s, and
// letters where the layout puts them. The virtual key follows the layout's letters and the
// key's digit; the character is the one the layout types.
TEST_F(X11Display, KeysOfAnotherLayoutTypeWhatTheLayoutSays) {
  HWND w = Create(WS_POPUP | WS_VISIBLE, 200, 150, 160, 100);
  ASSERT_EQ(PumpUntilPixel(260, 190, kGreen), kGreen);
  SetFocus(w);
  // Three keys of the main block, given other symbols: the 1 key, the Q key, the - key.
  const KeyCode one = 10, q = 24, minus = 20;
  int perKey = 0;
  int min = 0, max = 0;
  XDisplayKeycodes(FDpy, &min, &max);
  KeySym* before = XGetKeyboardMapping(FDpy, KeyCode(min), max - min + 1, &perKey);
  ASSERT_TRUE(before);
  auto remap = [&](KeyCode code, KeySym plain, KeySym shifted) {
    std::vector<KeySym> syms(size_t(perKey), NoSymbol);
    syms[0] = plain;
    if (perKey > 1) syms[1] = shifted;
    XChangeKeyboardMapping(FDpy, code, perKey, syms.data(), 1);
  };
  remap(one, XK_ampersand, XK_1);
  remap(q, XK_a, XK_A);
  remap(minus, XK_ssharp, XK_question);
  XSync(FDpy, False);
  PumpUntil([] { return false; }, 200ms);  // the program reads the new mapping

  const ::Window target = XWindowAt(260, 190);
  auto press = [&](KeyCode code, unsigned state) {
    for (bool down : {true, false}) {
      XEvent ev{};
      ev.xkey.type = down ? KeyPress : KeyRelease;
      ev.xkey.window = target;
      ev.xkey.root = DefaultRootWindow(FDpy);
      ev.xkey.time = CurrentTime;
      ev.xkey.keycode = code;
      ev.xkey.state = state;
      ev.xkey.same_screen = True;
      XSendEvent(FDpy, target, False, down ? KeyPressMask : KeyReleaseMask, &ev);
    }
    XFlush(FDpy);
  };
  press(one, 0);
  press(one, ShiftMask);
  press(q, 0);
  press(minus, 0);
  ASSERT_TRUE(PumpUntil([&] { return Seen(w, WM_KEYUP).size() >= 4; }));
  std::vector<WPARAM> keys, chars;
  for (const TMsg& m : Seen(w, WM_KEYDOWN)) keys.push_back(m.wParam);
  for (const TMsg& m : Seen(w, WM_CHAR)) chars.push_back(m.wParam);
  EXPECT_EQ(keys, (std::vector<WPARAM>{'1', '1', 'A', VK_OEM_MINUS}));
  EXPECT_EQ(chars, (std::vector<WPARAM>{'&', '1', 'a', 0xDF}));

  XChangeKeyboardMapping(FDpy, min, perKey, before, max - min + 1);
  XFree(before);
  XSync(FDpy, False);
}

// A key held while the focus goes to another program is let go there, out of sight: it must
// not stay down (Alt would turn every later key into a menu command).
TEST_F(X11Display, KeysHeldWhenTheFocusLeavesAreReleased) {
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200);
  ASSERT_EQ(PumpUntilPixel(200, 150, kGreen), kGreen);
  ASSERT_TRUE(PumpUntil([&] { return XFocus() == XWindowAt(200, 150); }));
  SendKey(XWindowAt(200, 150), XK_Alt_L, true);
  ASSERT_TRUE(PumpUntil([] { return GetKeyState(VK_MENU) < 0; }));

  const ::Window other = OtherProgramTakesTheFocus();
  EXPECT_TRUE(PumpUntil([] { return GetActiveWindow() == nullptr; }));
  EXPECT_EQ(GetKeyState(VK_MENU), 0) << "Alt still held after the focus went away";
  EXPECT_EQ(GetKeyState(VK_LMENU), 0);
  XDestroyWindow(FDpy, other);
  XSync(FDpy, False);
  (void)w;
}

// The focus comes back from another program and a key follows at once, before the program has
// looked: the key goes to the window, activated first.
TEST_F(X11Display, AKeyRightAfterTheFocusCameBackGoesToTheWindowItActivated) {
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200);
  ASSERT_EQ(PumpUntilPixel(200, 150, kGreen), kGreen);
  const ::Window ours = XWindowAt(200, 150);
  ASSERT_TRUE(PumpUntil([&] { return XFocus() == ours && GetFocus() == w; }));
  const ::Window other = OtherProgramTakesTheFocus();
  ASSERT_TRUE(PumpUntil([] { return GetActiveWindow() == nullptr; }));

  FSeen.clear();
  XSetInputFocus(FDpy, ours, RevertToParent, CurrentTime);
  SendKey(ours, XK_a, true);
  SendKey(ours, XK_a, false);
  XSync(FDpy, False);
  EXPECT_TRUE(PumpUntil([&] { return !Seen(w, WM_KEYUP).empty(); })) << "the key was lost";
  EXPECT_EQ(Seen(w, WM_KEYDOWN).size(), 1u);
  EXPECT_EQ(GetActiveWindow(), w);
  XDestroyWindow(FDpy, other);
  XSync(FDpy, False);
}

// The source of a drag learns whether the drop was taken: not by a window that takes no
// files, nor by one behind a modal dialog (disabled); yes by one that takes them.
TEST_F(X11Display, ADropIsTakenOnlyWhereAWindowTakesFiles) {
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  ASSERT_EQ(PumpUntilPixel(250, 200, kGreen), kGreen);
  const ::Window xw = FDisplay->XWindowOf(w);
  Display* sourceDpy = XOpenDisplay(Server()->Name().c_str());
  ASSERT_TRUE(sourceDpy);
  TXdndSource source(sourceDpy);
  // The source waits for the program's answers, so it runs on a thread of its own (with its
  // own connection) while this one runs the program.
  auto drop = [&] {
    bool finished = false;
    const auto until = TClock::now() + 3s;
    std::atomic<bool> done{false};
    std::thread sourceThread([&] {
      finished = source.Drop(xw, {"/tmp/a.rom"}, 250, 200);
      done = true;
    });
    while (!done && TClock::now() < until) {
      PumpPendingMessages();
      std::this_thread::sleep_for(5ms);
    }
    sourceThread.join();
    PumpPendingMessages();
    return finished;
  };
  ASSERT_TRUE(drop());
  EXPECT_FALSE(source.Accepted()) << "taken by a window that takes no files";
  EXPECT_TRUE(Seen(w, WM_DROPFILES).empty());

  DragAcceptFiles(w, true);
  ASSERT_TRUE(drop());
  EXPECT_TRUE(source.Accepted());
  EXPECT_EQ(Seen(w, WM_DROPFILES).size(), 1u);

  EnableWindow(w, false);
  ASSERT_TRUE(drop());
  EXPECT_FALSE(source.Accepted()) << "taken by a disabled window";
  EXPECT_EQ(Seen(w, WM_DROPFILES).size(), 1u);
  XCloseDisplay(sourceDpy);
}

TEST(X11DroppedPaths, LocalFileUrisBecomePathsAndAnythingElseStaysAsWritten) {
  EXPECT_EQ(DroppedPaths("file:///tmp/a%20b%25c.rom\r\n", "box"), std::vector<std::string>{"/tmp/a b%c.rom"});
  // This machine, "localhost" and no host name are all local; another machine is not.
  EXPECT_EQ(DroppedPaths("file://box/x.rom\nfile://localhost/y.rom\nFILE:/z.rom\n", "box"),
            (std::vector<std::string>{"/x.rom", "/y.rom", "/z.rom"}));
  EXPECT_EQ(DroppedPaths("file://elsewhere/x.rom", "box"), std::vector<std::string>{"file://elsewhere/x.rom"});
  // Comments and blank lines are skipped; other schemes are kept for the usual message.
  EXPECT_EQ(DroppedPaths("# from a browser\r\n\r\nhttps://example.org/a.rom\r\n", "box"),
            std::vector<std::string>{"https://example.org/a.rom"});
  // A broken escape is kept as written rather than guessed at.
  EXPECT_EQ(DroppedPaths("file:///a%2.rom\nfile:///b%zz\nfile:///c%", "box"),
            (std::vector<std::string>{"/a%2.rom", "/b%zz", "/c%"}));
  EXPECT_TRUE(DroppedPaths("", "box").empty());
  // An escaped NUL would open a shorter path than the one named.
  EXPECT_EQ(DroppedPaths("file:///tmp/a.rom%00.txt", "box"), std::vector<std::string>{"file:///tmp/a.rom%00.txt"});
}

TEST_F(X11Display, FollowsMovesSizesAndTheOutline) {
  const COLORREF bareOld = ScreenPixel(150, 150), bareHole = ScreenPixel(500, 360), bareEdge = ScreenPixel(630, 440);
  HWND w = Create(WS_POPUP | WS_VISIBLE, 100, 100, 200, 120);
  ASSERT_EQ(PumpUntilPixel(150, 150, kGreen), kGreen);

  SetWindowPos(w, nullptr, 400, 300, 200, 120, SWP_NOZORDER);
  EXPECT_EQ(PumpUntilPixel(450, 350, kGreen), kGreen);
  EXPECT_EQ(PumpUntilPixel(150, 150, bareOld), bareOld);  // the old place is bare again

  TRegion outline = TRegion(TRect{0, 0, 200, 120}).Subtract(TRegion(TRect{50, 30, 150, 90}));
  SetWindowRgn(w, &outline, true);
  EXPECT_EQ(PumpUntilPixel(500, 360, bareHole), bareHole);  // the hole
  EXPECT_EQ(ScreenPixel(410, 310), kGreen);

  // The outline stays after a resize; what lies outside it stays bare.
  SetWindowPos(w, nullptr, 0, 0, 260, 160, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_EQ(PumpUntilPixel(410, 310, kGreen), kGreen);
  EXPECT_EQ(ScreenPixel(500, 360), bareHole);
  EXPECT_EQ(ScreenPixel(630, 440), bareEdge);

  SetWindowRgn(w, nullptr, true);
  EXPECT_EQ(PumpUntilPixel(500, 360, kGreen), kGreen);
  EXPECT_EQ(PumpUntilPixel(630, 440, kGreen), kGreen);
}

TEST_F(X11Display, MouseAndKeysArriveAtScreenPositions) {
  HWND w = Create(WS_POPUP | WS_VISIBLE, 200, 150, 160, 100);
  ASSERT_EQ(PumpUntilPixel(260, 190, kGreen), kGreen);
  SetFocus(w);

  XWarpPointer(FDpy, 0, DefaultRootWindow(FDpy), 0, 0, 0, 0, 260, 190);
  XFlush(FDpy);
  ASSERT_TRUE(PumpUntil([&] { return !Seen(w, WM_MOUSEMOVE).empty(); }));
  EXPECT_EQ(Seen(w, WM_MOUSEMOVE).back().lParam, MAKELPARAM(60, 40));

  SendButton(ButtonPress, 262, 195);
  SendButton(ButtonRelease, 262, 195);
  ASSERT_TRUE(PumpUntil([&] { return !Seen(w, WM_LBUTTONUP).empty(); }));
  ASSERT_EQ(Seen(w, WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(Seen(w, WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(62, 45));
  EXPECT_EQ(Seen(w, WM_LBUTTONUP)[0].lParam, MAKELPARAM(62, 45));

  const ::Window target = XWindowAt(260, 190);
  const std::vector<std::pair<KeySym, WPARAM>> keys = {
      {XK_a, 'A'}, {XK_7, '7'}, {XK_slash, VK_OEM_2}, {XK_Left, VK_LEFT}, {XK_F5, VK_F5}, {XK_Prior, VK_PRIOR}};
  for (const auto& [sym, vk] : keys) {
    SendKey(target, sym, true);
    SendKey(target, sym, false);
  }
  ASSERT_TRUE(PumpUntil([&] { return Seen(w, WM_KEYUP).size() >= keys.size(); }));
  std::vector<WPARAM> down;
  for (const TMsg& m : Seen(w, WM_KEYDOWN)) down.push_back(m.wParam);
  std::vector<WPARAM> want;
  for (const auto& k : keys) want.push_back(k.second);
  EXPECT_EQ(down, want);
  ASSERT_FALSE(Seen(w, WM_CHAR).empty());
  EXPECT_EQ(Seen(w, WM_CHAR)[0].wParam, WPARAM('a'));
}

TEST_F(X11Display, DraggingTheCaptionMovesTheWindowWithThePointer) {
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  ASSERT_EQ(PumpUntilPixel(250, 200, kGreen), kGreen);
  ASSERT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(250, 110)), HTCAPTION);
  XWarpPointer(FDpy, 0, DefaultRootWindow(FDpy), 0, 0, 0, 0, 250, 110);
  XSync(FDpy, False);
  ASSERT_TRUE(PumpUntil([&] { return !Seen(w, WM_NCMOUSEMOVE).empty(); }));

  // Everything is queued before the program sees any of it, so each move's position relative
  // to the window is stale by the time it is read (the window has moved meanwhile).
  SendButton(ButtonPress, 250, 110);
  for (int step = 1; step <= 3; ++step) XWarpPointer(FDpy, 0, DefaultRootWindow(FDpy), 0, 0, 0, 0, 250 + 20 * step, 110 + 10 * step);
  SendButton(ButtonRelease, 310, 140);
  XSync(FDpy, False);
  SetTimer(w, kRescueTimer, 3000);
  TRect r;
  EXPECT_TRUE(PumpUntil([&] { return GetWindowRect(w, &r) && r.Left == 160 && r.Top == 130; }))
      << "window at " << r.Left << "," << r.Top;
  EXPECT_EQ(PumpUntilPixel(310, 230, kGreen), kGreen);
  EXPECT_EQ(GetCapture(), nullptr);
}

// A release the server never reports (it can follow its press too closely): the button is up
// on the server, so the size loop ends where the pointer is instead of following it on.
TEST_F(X11Display, AReleaseTheServerNeverReportedEndsTheSizeLoop) {
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  ASSERT_EQ(PumpUntilPixel(250, 200, kGreen), kGreen);
  ASSERT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(398, 298)), HTBOTTOMRIGHT);
  XTestFakeMotionEvent(FDpy, -1, 398, 298, CurrentTime);
  XSync(FDpy, False);
  ASSERT_TRUE(PumpUntil([&] { return !Seen(w, WM_NCMOUSEMOVE).empty(); }));
  Display* programDpy = FDisplay->XDisplay();

  XTestFakeButtonEvent(FDpy, 1, True, CurrentTime);
  XTestFakeMotionEvent(FDpy, -1, 428, 318, CurrentTime);
  XTestFakeButtonEvent(FDpy, 1, False, CurrentTime);
  XSync(FDpy, False);
  // Everything has reached the program's connection; the release is taken out unseen.
  XSync(programDpy, False);
  XEvent lost;
  ASSERT_TRUE(XCheckTypedEvent(programDpy, ButtonRelease, &lost));
  SetTimer(w, kRescueTimer, 10000);
  TRect r;
  EXPECT_TRUE(PumpUntil([&] { return GetCapture() == nullptr && !Seen(w, WM_EXITSIZEMOVE).empty(); }, 12s));
  EXPECT_TRUE(Seen(w, WM_TIMER).empty()) << "ended only by the rescue timer";
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (TRect{100, 100, 430, 320}));
  // The button is free again: the next press on the caption is seen.
  const size_t downs = Seen(w, WM_NCLBUTTONDOWN).size();
  XTestFakeMotionEvent(FDpy, -1, 250, 110, CurrentTime);
  XTestFakeButtonEvent(FDpy, 1, True, CurrentTime);
  XTestFakeButtonEvent(FDpy, 1, False, CurrentTime);
  XSync(FDpy, False);
  EXPECT_TRUE(PumpUntil([&] { return Seen(w, WM_NCLBUTTONDOWN).size() > downs; }));
  KillTimer(w, kRescueTimer);
}

// A request that reaches the server after its window is gone (another client may act on a
// window while it is being destroyed) costs nothing: the program goes on.
TEST_F(X11Display, ARequestForAWindowAlreadyGoneDoesNotEndTheProgram) {
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 120);
  ASSERT_EQ(PumpUntilPixel(200, 170, kGreen), kGreen);
  Display* programDpy = FDisplay->XDisplay();
  const ::Window gone = XCreateSimpleWindow(programDpy, DefaultRootWindow(programDpy), 0, 0, 10, 10, 0, 0, 0);
  XDestroyWindow(programDpy, gone);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = gone;
  ev.xclient.format = 32;
  XSendEvent(programDpy, gone, False, NoEventMask, &ev);
  XSync(programDpy, False);  // the error arrives here; Xlib's own handler would end the process
  FColours[w] = kRed;
  InvalidateRect(w, nullptr, true);
  EXPECT_EQ(PumpUntilPixel(200, 170, kRed), kRed);
}

TEST_F(X11Display, ACloseRequestFromOutsideAsksTheWindowAndDoesNotQuit) {
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 120);
  ASSERT_EQ(PumpUntilPixel(200, 170, kGreen), kGreen);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = XWindowAt(200, 170);
  ev.xclient.message_type = XInternAtom(FDpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(XInternAtom(FDpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(FDpy, ev.xclient.window, False, NoEventMask, &ev);
  XFlush(FDpy);
  bool quit = false;
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(w); }));
  EXPECT_EQ(Seen(w, WM_CLOSE).size(), 1u);
  PumpUntil([&] { return quit = quit || !PumpPendingMessages(); }, 100ms);
  EXPECT_FALSE(quit) << "closing the last window is the program's decision";
}

TEST_F(X11Display, PopupsLeaveTheFocusAndOnlyAnotherProgramTakesIt) {
  HWND owner = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200);
  ASSERT_EQ(PumpUntilPixel(200, 150, kGreen), kGreen);
  ASSERT_TRUE(PumpUntil([&] { return XFocus() == XWindowAt(200, 150); }));
  EXPECT_EQ(GetActiveWindow(), owner);

  HWND popup = Create(WS_POPUP, 150, 120, 80, 60, owner);
  FColours[popup] = kRed;
  ShowWindow(popup, SW_SHOWNA);
  EXPECT_EQ(PumpUntilPixel(190, 150, kRed), kRed);  // on top of the owner
  EXPECT_EQ(XFocus(), XWindowAt(60, 150));         // the owner's X window kept the keys
  DestroyWindow(popup);
  EXPECT_EQ(PumpUntilPixel(190, 150, kGreen), kGreen);  // the owner shows again where it was covered
  PumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(GetActiveWindow(), owner);
  for (const TMsg& m : Seen(owner, WM_ACTIVATEAPP)) EXPECT_EQ(m.wParam, 1u);

  // Another program's window takes the focus: the program is no longer active.
  const ::Window other = OtherProgramTakesTheFocus();
  EXPECT_TRUE(PumpUntil([] { return GetActiveWindow() == nullptr; }));
  ASSERT_FALSE(Seen(owner, WM_ACTIVATEAPP).empty());
  EXPECT_EQ(Seen(owner, WM_ACTIVATEAPP).back().wParam, 0u);
  XDestroyWindow(FDpy, other);
  XSync(FDpy, False);
}

// A manager can minimise a window and bring it back before the program reads a thing: the
// server's focus is then where it was, yet the window was out of sight in between. The window
// comes back active with its keyboard focus, as it went.
TEST_F(X11Display, AWindowBackFromMinimisedHasItsFocusAgainEvenWhenTheServersFocusNeverMoved) {
  HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200);
  ASSERT_EQ(PumpUntilPixel(200, 150, kGreen), kGreen);
  ASSERT_TRUE(PumpUntil([&] { return XFocus() == XWindowAt(200, 150); }));
  ASSERT_EQ(GetFocus(), w);
  const ::Window xw = XWindowAt(200, 150);
  const Atom wmState = XInternAtom(FDpy, "WM_STATE", False);
  auto setState = [&](long state) {
    const long value[2] = {state, 0};
    XChangeProperty(FDpy, xw, wmState, wmState, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(value), 2);
    XSync(FDpy, False);
  };

  setState(IconicState);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(w); }));
  EXPECT_EQ(GetActiveWindow(), nullptr) << "a window out of sight stays active";
  setState(NormalState);
  ASSERT_TRUE(PumpUntil([&] { return !IsIconic(w); }));
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w) << "back without its keyboard focus";
}

}  // namespace
