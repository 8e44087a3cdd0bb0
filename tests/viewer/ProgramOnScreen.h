#pragma once
// The program itself on a real display (a private Xvfb, bare or with a window manager), driven
// with synthetic input through the X test extension as a user would drive it, and looked at
// through Xlib: its windows, their places, properties and pixels, and its CPU time.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/WindowManager.h"
#include "tests/support/XServer.h"

// Xlib and its macros last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

struct TGeometry {
  int X = 0, Y = 0, W = 0, H = 0;
  bool operator==(const TGeometry&) const = default;
  bool Inside(const TGeometry& o) const { return X >= o.X && Y >= o.Y && X + W <= o.X + o.W && Y + H <= o.Y + o.H; }
};

inline std::ostream& operator<<(std::ostream& o, const TGeometry& g) {
  return o << g.W << "x" << g.H << " at " << g.X << "," << g.Y;
}

// A rectangle of a window's pixels, 0xRRGGBB each, row by row; empty when it could not be read.
using TPixels = std::vector<unsigned long>;

// One private X server per kind (bare, or with openbox) for the whole test program.
class TTestScreen {
 public:
  explicit TTestScreen(bool managed) : FServer("1280x1024x24") {
    // A window the program has just unmapped or destroyed answers requests with an error;
    // that is an answer for the test to judge, not a reason for Xlib to end the test program.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (!FServer.Dpy()) {
      FProblem = FServer.Problem();
      return;
    }
    if (managed) {
      FManager = std::make_unique<TWindowManager>(FServer.Name(), FServer.Dpy());
      if (!FManager->Running()) FProblem = FManager->Problem();
    }
  }
  Display* Dpy() const { return FProblem.empty() ? FServer.Dpy() : nullptr; }
  const std::string& Name() const { return FServer.Name(); }
  const std::string& Problem() const { return FProblem; }

  static TTestScreen& Shared(bool managed) {
    static std::map<bool, std::unique_ptr<TTestScreen>> screens;
    auto& s = screens[managed];
    if (!s) s = std::make_unique<TTestScreen>(managed);
    return *s;
  }

 private:
  TXServer FServer;
  std::unique_ptr<TWindowManager> FManager;
  std::string FProblem;
};

class TProgramOnScreen : public ::testing::Test {
 protected:
  using TClock = std::chrono::steady_clock;

  // Whether this suite runs under a window manager.
  virtual bool Managed() const { return false; }

  Display* Dpy = nullptr;
  std::unique_ptr<TChildProcess> Program;
  std::vector<std::string> Roms;
  std::vector<std::string> Folders;

  void SetUp() override {
    TTestScreen& screen = TTestScreen::Shared(Managed());
    if (!screen.Dpy()) GTEST_SKIP() << "Needs an X server" << (Managed() ? " with openbox: " : ": ") << screen.Problem();
    Dpy = screen.Dpy();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(Dpy, &event, &error, &major, &minor)) GTEST_SKIP() << "the X server has no test extension";
  }
  void TearDown() override {
    Program.reset();
    if (FOther) XDestroyWindow(Dpy, FOther);
    // Whatever the program left on the screen goes with it; the pointer leaves no button held.
    XTestFakeButtonEvent(Dpy, 1, False, CurrentTime);
    XSync(Dpy, False);
    for (const std::string& rom : Roms) std::remove(rom.c_str());
    for (const std::string& folder : Folders) std::system(("rm -rf '" + folder + "'").c_str());
  }

  // Starts the program and waits for its window; false when it never showed.
  bool Start(const std::vector<std::string>& args = {}, const std::map<std::string, std::string>& env = {}) {
    std::vector<std::string> argv = {MARUK_VIEWER_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    std::map<std::string, std::string> all{{"DISPLAY", TTestScreen::Shared(Managed()).Name()}};
    for (const auto& [k, v] : env) all[k] = v;
    // A launcher's start-up notice belongs to the program it launched, not to the tests.
    std::vector<std::string> unset;
    if (!env.count("DESKTOP_STARTUP_ID")) unset.push_back("DESKTOP_STARTUP_ID");
    Program = std::make_unique<TChildProcess>(argv, all, unset);
    if (!Program->Started()) return false;
    if (!WaitUntil([&] { return (FMain = MainWindow()) != 0; }, std::chrono::seconds(20))) return false;
    // Under a window manager the window is shown once the manager has taken it in.
    return WaitUntil([&] { return MainViewable(); });
  }

  bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = TClock::now() + limit;
    while (!done()) {
      if (TClock::now() > deadline || (Program && !Program->Running())) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  // A 32-bit property of a window as numbers, empty when it is missing.
  std::vector<long> Numbers(::Window w, const char* name, Atom type = AnyPropertyType) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(Dpy, w, XInternAtom(Dpy, name, False), 0, 1024, False, type, &actual, &format, &count,
                           &after, &data) == Success &&
        data && format == 32)
      out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    if (data) XFree(data);
    return out;
  }
  // An 8-bit property of a window as text (strings separated by NULs as they are stored).
  std::string Text(::Window w, const char* name) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(Dpy, w, XInternAtom(Dpy, name, False), 0, 4096, False, AnyPropertyType, &actual, &format,
                           &count, &after, &data) == Success &&
        data && format == 8)
      out.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    return out;
  }

  // The program's windows that are on the screen (its own, not a manager's frame around them),
  // bottom of the stack first. Its main window carries its process id; its popups (menus,
  // dialogs) are known by being made on the same connection to the server, whose windows share
  // the bits of the id above the server's resource mask.
  std::vector<::Window> TopLevels() {
    std::vector<::Window> out;
    if (!Program) return out;
    constexpr unsigned long kResourceMask = 0x1FFFFF;
    const long pid = Program->Pid();
    std::vector<::Window> candidates;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(Dpy, DefaultRootWindow(Dpy), &root, &parent, &children, &count)) return out;
    for (unsigned i = 0; i < count; ++i) {
      candidates.push_back(children[i]);
      // A window manager's frame holds a window one level down.
      ::Window* inner = nullptr;
      unsigned innerCount = 0;
      if (XQueryTree(Dpy, children[i], &root, &parent, &inner, &innerCount))
        for (unsigned j = 0; j < innerCount; ++j) candidates.push_back(inner[j]);
      if (inner) XFree(inner);
    }
    if (children) XFree(children);
    unsigned long base = 0;
    for (::Window w : candidates) {
      const std::vector<long> p = Numbers(w, "_NET_WM_PID", XA_CARDINAL);
      if (p.size() == 1 && p[0] == pid) base = w & ~kResourceMask;
    }
    if (!base) return out;
    for (::Window w : candidates) {
      XWindowAttributes a;
      if ((w & ~kResourceMask) == base && XGetWindowAttributes(Dpy, w, &a) && a.map_state == IsViewable &&
          a.c_class == InputOutput)
        out.push_back(w);
    }
    return out;
  }
  TGeometry GeometryOf(::Window w) {
    XWindowAttributes a;
    if (!w || !XGetWindowAttributes(Dpy, w, &a)) return {};
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(Dpy, w, DefaultRootWindow(Dpy), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
  }
  // The viewer's window: the one of its size class (wider than 600 pixels).
  ::Window MainWindow() {
    for (::Window w : TopLevels())
      if (GeometryOf(w).W >= 600) return w;
    return 0;
  }
  // The main window as found at the start, mapped or not.
  ::Window Main() const { return FMain; }
  TGeometry MainGeometry() { return GeometryOf(FMain); }
  bool MainViewable() {
    XWindowAttributes a;
    return FMain && XGetWindowAttributes(Dpy, FMain, &a) && a.map_state == IsViewable;
  }

  void Move(int x, int y) {
    XTestFakeMotionEvent(Dpy, -1, x, y, CurrentTime);
    XSync(Dpy, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  void Button(bool down, int button = 1) {
    XTestFakeButtonEvent(Dpy, unsigned(button), down ? True : False, CurrentTime);
    XSync(Dpy, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  void Click(int x, int y, int button = 1) {
    Move(x, y);
    Button(true, button);
    Button(false, button);
  }
  void Drag(int x, int y, int dx, int dy) {
    Move(x, y);
    Button(true);
    Move(x + dx / 2, y + dy / 2);
    Move(x + dx, y + dy);
    Button(false);
  }
  void Key(KeySym sym) {
    const KeyCode code = XKeysymToKeycode(Dpy, sym);
    XTestFakeKeyEvent(Dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(Dpy, code, False, CurrentTime);
    XSync(Dpy, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  void Type(const std::string& text) {
    for (char c : text) Key(c == '/' ? XK_slash : c == '.' ? XK_period : KeySym(c));
  }

  // The smallest share of CPU time the program used over a second, in up to three seconds in a
  // row: work still settling (a dialog filling its list on a loaded machine) is over by the
  // second or third, a loop that spins is not.
  double BusyShare() {
    const long hz = sysconf(_SC_CLK_TCK);
    double least = 1.0;
    for (int attempt = 0; attempt < 3 && least >= 0.05; ++attempt) {
      const long before = Program->CpuTicks();
      std::this_thread::sleep_for(std::chrono::seconds(1));
      const long after = Program->CpuTicks();
      if (before >= 0 && after >= 0) least = std::min(least, double(after - before) / double(hz));
    }
    return least;
  }
  // The program sleeps: over some quarter of a second within two seconds it used at most one
  // clock tick (a spinning loop uses all 25).
  void ExpectIdle(const std::string& step) {
    long least = 1000;
    for (int attempt = 0; attempt < 8 && least > 1; ++attempt) {
      const long before = Program->CpuTicks();
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
      const long after = Program->CpuTicks();
      if (before >= 0 && after >= 0) least = std::min(least, after - before);
    }
    EXPECT_LE(least, 1) << "busy after " << step;
  }

  // A rectangle of a window's pixels.
  TPixels PixelsOf(::Window w, int x, int y, int width, int height) {
    TPixels out;
    XImage* image = w ? XGetImage(Dpy, w, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap) : nullptr;
    if (!image) return out;
    out.reserve(size_t(width) * size_t(height));
    for (int j = 0; j < height; ++j)
      for (int i = 0; i < width; ++i) out.push_back(XGetPixel(image, i, j) & 0xFFFFFF);
    XDestroyImage(image);
    return out;
  }
  // Waits until `what` gives pixels of more than one colour that stay the same for a tenth of a
  // second (a window being painted, or not yet painted at all, does not) and returns them.
  TPixels Settled(const std::function<TPixels()>& what) {
    TPixels last;
    auto since = TClock::now();
    WaitUntil([&] {
      TPixels now = what();
      const bool painted = !now.empty() &&
                           std::any_of(now.begin(), now.end(), [&](unsigned long p) { return p != now.front(); });
      if (!painted || now != last) {
        last = std::move(now);
        since = TClock::now();
        return false;
      }
      return TClock::now() - since >= std::chrono::milliseconds(100);
    });
    return last;
  }
  // A pixel of a window as 0xRRGGBB.
  unsigned long PixelOf(::Window w, int x, int y) {
    const TPixels p = PixelsOf(w, x, y, 1, 1);
    return p.empty() ? ~0ul : p[0];
  }
  // A pixel of the timeline picture: Image1 stands at (8, 40) in the client area.
  unsigned long PicturePixel(int x, int y) { return PixelOf(MainWindow(), 4 + 8 + x, 4 + 19 + 40 + y); }
  std::string WriteRom(const std::vector<uint8_t>& bytes, const std::string& name = "") {
    std::string path;
    if (name.empty()) {
      char tmpl[] = "/tmp/viewer-screen-rom-XXXXXX";
      const int fd = mkstemp(tmpl);
      if (fd >= 0) close(fd);
      path = tmpl;
      Roms.push_back(path);
    } else {
      path = Folder() + "/" + name;
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  // A fresh folder, removed after the test.
  std::string Folder() {
    if (Folders.empty()) {
      char tmpl[] = "/tmp/viewer-screen-dir-XXXXXX";
      Folders.push_back(mkdtemp(tmpl));
    }
    return Folders.front();
  }

  // Where "Open ROM" is: at (0, 208) in the client area, below a 4-pixel frame and the caption.
  std::pair<int, int> OpenRomButton() {
    const TGeometry g = MainGeometry();
    return {g.X + 4 + 50, g.Y + 4 + 19 + 208 + 12};
  }

  // The program's window that is not its main window, once there is one (a dialog, a menu).
  ::Window OtherOfOurs() {
    ::Window found = 0;
    WaitUntil([&] {
      for (::Window w : TopLevels())
        if (w != Main()) found = w;
      return found != 0;
    });
    return found;
  }
  bool OverrideRedirect(::Window w) {
    XWindowAttributes a;
    return XGetWindowAttributes(Dpy, w, &a) && a.override_redirect;
  }
  ::Window TransientFor(::Window w) {
    ::Window owner = 0;
    return XGetTransientForHint(Dpy, w, &owner) ? owner : 0;
  }
  ::Window Focused() {
    ::Window w = 0;
    int revert = 0;
    XGetInputFocus(Dpy, &w, &revert);
    return w;
  }

  // Another program's window at (700, 600), 200 x 100, shown (under a window manager, taken in
  // by it); the presses it gets are counted by OtherProgramPresses.
  ::Window OtherProgram() {
    FOther = XCreateSimpleWindow(Dpy, DefaultRootWindow(Dpy), 700, 600, 200, 100, 0, 0, 0x808080);
    XStoreName(Dpy, FOther, "another program");
    XSelectInput(Dpy, FOther, ButtonPressMask);
    XMapWindow(Dpy, FOther);
    XSync(Dpy, False);
    WaitUntil([&] {
      XWindowAttributes a;
      return XGetWindowAttributes(Dpy, FOther, &a) && a.map_state == IsViewable &&
             (!Managed() || !Numbers(FOther, "WM_STATE").empty());
    });
    return FOther;
  }
  // The presses another program's window got since the last time this was asked.
  int OtherProgramPresses() {
    XSync(Dpy, False);
    int n = 0;
    XEvent e;
    while (XCheckTypedWindowEvent(Dpy, FOther, ButtonPress, &e)) ++n;
    return n;
  }

  // Sends SIGTERM and expects a clean end: exit code 0 soon, nothing reported at exit.
  void ExpectCleanEndOnTerm(const char* state) {
    ASSERT_TRUE(Program->Running()) << state;
    kill(Program->Pid(), SIGTERM);
    EXPECT_TRUE(Program->WaitFor(std::chrono::seconds(10))) << state << ": still running 10 s after SIGTERM";
    EXPECT_EQ(Program->ExitCode(), 0) << state << ", signal " << Program->TermSignal() << ": " << Program->Output();
  }

 private:
  ::Window FMain = 0;
  ::Window FOther = 0;
};
