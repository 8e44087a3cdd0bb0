// The program itself on a real display (a private Xvfb), driven with synthetic input through
// the X test extension as a user would drive it: the window is dragged by its caption, an edge
// and a corner; afterwards it must sleep and still answer; and a termination signal must end
// it cleanly whatever it is doing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/XServer.h"
#include "tests/support/XdndSource.h"

// Xlib and its macros last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

struct TGeometry {
  int X = 0, Y = 0, W = 0, H = 0;
  bool operator==(const TGeometry&) const = default;
};

std::ostream& operator<<(std::ostream& o, const TGeometry& g) {
  return o << g.W << "x" << g.H << " at " << g.X << "," << g.Y;
}

class ProgramOnScreen : public ::testing::Test {
 protected:
  static std::unique_ptr<TXServer>& Server() {
    static std::unique_ptr<TXServer> server;
    return server;
  }
  static void SetUpTestSuite() { Server() = std::make_unique<TXServer>("1280x1024x24"); }
  static void TearDownTestSuite() { Server().reset(); }

  Display* Dpy = nullptr;
  std::unique_ptr<TChildProcess> Program;

  void SetUp() override {
    if (!Server()->Dpy()) GTEST_SKIP() << "Needs an X server: " << Server()->Problem();
    Dpy = Server()->Dpy();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(Dpy, &event, &error, &major, &minor)) GTEST_SKIP() << "the X server has no test extension";
    // A window can go away between listing the screen's windows and asking about one of them.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  }
  void TearDown() override {
    Program.reset();
    for (const std::string& rom : Roms) std::remove(rom.c_str());
  }

  // Starts the program and waits for its window; false when it never showed.
  bool Start(const std::vector<std::string>& args = {}) {
    std::vector<std::string> argv = {MARUK_VIEWER_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    Program = std::make_unique<TChildProcess>(
        argv,
        std::map<std::string, std::string>{{"DISPLAY", Server()->Name()}});
    if (!Program->Started()) return false;
    return WaitUntil([&] { return MainWindow() != 0; }, 20s);
  }

  bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
    const auto deadline = TClock::now() + limit;
    while (!done()) {
      if (TClock::now() > deadline || (Program && !Program->Running())) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }

  // The program's mapped top-level windows, bottom of the stack first.
  std::vector<::Window> TopLevels() {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<::Window> out;
    if (!XQueryTree(Dpy, DefaultRootWindow(Dpy), &root, &parent, &children, &count)) return out;
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes a;
      if (XGetWindowAttributes(Dpy, children[i], &a) && a.map_state == IsViewable && a.c_class == InputOutput)
        out.push_back(children[i]);
    }
    if (children) XFree(children);
    return out;
  }
  TGeometry GeometryOf(::Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(Dpy, w, &a)) return {};
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
  TGeometry Main() { return GeometryOf(MainWindow()); }

  void Move(int x, int y) {
    XTestFakeMotionEvent(Dpy, -1, x, y, CurrentTime);
    XSync(Dpy, False);
    std::this_thread::sleep_for(30ms);
  }
  void Button(bool down, int button = 1) {
    XTestFakeButtonEvent(Dpy, unsigned(button), down ? True : False, CurrentTime);
    XSync(Dpy, False);
    std::this_thread::sleep_for(30ms);
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
    std::this_thread::sleep_for(20ms);
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
      std::this_thread::sleep_for(1s);
      const long after = Program->CpuTicks();
      if (before >= 0 && after >= 0) least = std::min(least, double(after - before) / double(hz));
    }
    return least;
  }

  // A pixel of a window as 0xRRGGBB.
  unsigned long PixelOf(::Window w, int x, int y) {
    XImage* image = XGetImage(Dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
  }
  // A pixel of the timeline picture: Image1 stands at (8, 40) in the client area.
  unsigned long PicturePixel(int x, int y) { return PixelOf(MainWindow(), 4 + 8 + x, 4 + 19 + 40 + y); }
  std::string WriteRom(const std::vector<uint8_t>& bytes) {
    char tmpl[] = "/tmp/viewer-screen-rom-XXXXXX";
    const int fd = mkstemp(tmpl);
    if (fd >= 0) {
      const ssize_t written = write(fd, bytes.data(), bytes.size());
      (void)written;
      close(fd);
    }
    Roms.push_back(tmpl);
    return tmpl;
  }
  std::vector<std::string> Roms;

  // Where "Open ROM" is: at (0, 208) in the client area, below a 4-pixel frame and the caption.
  std::pair<int, int> OpenRomButton() {
    const TGeometry g = Main();
    return {g.X + 4 + 50, g.Y + 4 + 19 + 208 + 12};
  }

  // Sends SIGTERM and expects a clean end: exit code 0 soon, nothing reported at exit.
  void ExpectCleanEndOnTerm(const char* state) {
    ASSERT_TRUE(Program->Running()) << state;
    kill(Program->Pid(), SIGTERM);
    EXPECT_TRUE(Program->WaitFor(10s)) << state << ": still running 10 s after SIGTERM";
    EXPECT_EQ(Program->ExitCode(), 0) << state << ", signal " << Program->TermSignal() << ": " << Program->Output();
  }
};

TEST_F(ProgramOnScreen, AfterDraggingTheCaptionAnEdgeAndACornerItSleepsAndStillAnswers) {
  ASSERT_TRUE(Start()) << Program->Output();
  EXPECT_EQ(Main(), (TGeometry{192, 107, 640, 269}));

  Drag(400, 115, 10, 5);  // the caption
  EXPECT_TRUE(WaitUntil([&] { return Main() == TGeometry{202, 112, 640, 269}; })) << Main();
  EXPECT_LT(BusyShare(), 0.05) << "busy after a caption drag";

  TGeometry g = Main();
  Drag(g.X + g.W - 2, g.Y + 130, 30, 0);  // the right edge
  EXPECT_TRUE(WaitUntil([&] { return Main() == TGeometry{202, 112, 670, 269}; })) << Main();

  g = Main();
  Drag(g.X + g.W - 2, g.Y + g.H - 2, 20, 15);  // the bottom-right corner
  EXPECT_TRUE(WaitUntil([&] { return Main() == TGeometry{202, 112, 690, 284}; })) << Main();
  EXPECT_LT(BusyShare(), 0.05) << "busy after sizing";

  const size_t windows = TopLevels().size();
  const auto [x, y] = OpenRomButton();
  Click(x, y);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() > windows; })) << "no Open dialog";
  EXPECT_LT(BusyShare(), 0.05) << "busy with the dialog open";
  ExpectCleanEndOnTerm("Open dialog shown");
}

TEST_F(ProgramOnScreen, ATerminationSignalEndsItCleanlyWhenIdle) {
  ASSERT_TRUE(Start()) << Program->Output();
  ExpectCleanEndOnTerm("idle");
}

TEST_F(ProgramOnScreen, ATerminationSignalEndsItCleanlyInTheMiddleOfADrag) {
  ASSERT_TRUE(Start()) << Program->Output();
  Move(400, 115);
  Button(true);
  Move(420, 125);
  EXPECT_TRUE(WaitUntil([&] { return Main().X == 212; })) << Main();
  ExpectCleanEndOnTerm("caption held down");
  Button(false);
}

TEST_F(ProgramOnScreen, ATerminationSignalEndsItCleanlyWithAnErrorMessageShown) {
  ASSERT_TRUE(Start()) << Program->Output();
  const size_t windows = TopLevels().size();
  const auto [x, y] = OpenRomButton();
  Click(x, y);
  ASSERT_TRUE(WaitUntil([&] { return TopLevels().size() == windows + 1; })) << "no Open dialog";
  // Mapped is not yet focused: on a loaded machine the first keys could go before the dialog
  // takes them.
  std::this_thread::sleep_for(300ms);
  Type("/nonexistent/missing.rom");
  Key(XK_Return);
  // The dialog goes and the message box comes: one window more than at the start again, but a
  // different one; wait for it to settle, then make sure the box is there.
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() == windows + 1; })) << "no message box";
  ExpectCleanEndOnTerm("message box shown");
}

TEST_F(ProgramOnScreen, ATerminationSignalEndsItCleanlyWithTheSystemMenuOpen) {
  ASSERT_TRUE(Start()) << Program->Output();
  const size_t windows = TopLevels().size();
  Click(400, 115, 3);  // right click on the caption
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() > windows; })) << "no system menu";
  ExpectCleanEndOnTerm("system menu open");
}

// Lane 0 of a ROM of 0xFF bytes is high: rows 2 and 3 of the picture turn blue.
constexpr unsigned long kWhite = 0xFFFFFF, kBlue = 0x0000FF;

TEST_F(ProgramOnScreen, ARomNamedOnTheCommandLineIsShownAtStart) {
  ASSERT_TRUE(Start({WriteRom(std::vector<uint8_t>(100, 0xFF))})) << Program->Output();
  EXPECT_TRUE(WaitUntil([&] { return PicturePixel(4, 2) == kBlue; })) << std::hex << PicturePixel(4, 2);
  EXPECT_EQ(TopLevels().size(), 1u) << "an error box came up";
}

TEST_F(ProgramOnScreen, AFileDroppedFromAFileManagerIsShown) {
  ASSERT_TRUE(Start()) << Program->Output();
  ASSERT_TRUE(WaitUntil([&] { return PicturePixel(4, 2) == kWhite; })) << std::hex << PicturePixel(4, 2);
  const TGeometry g = Main();
  TXdndSource source(Dpy);
  EXPECT_TRUE(source.Drop(MainWindow(), {WriteRom(std::vector<uint8_t>(100, 0xFF)), "/nonexistent/second.rom"},
                          g.X + 200, g.Y + 100));
  EXPECT_TRUE(WaitUntil([&] { return PicturePixel(4, 2) == kBlue; })) << std::hex << PicturePixel(4, 2);
  EXPECT_EQ(TopLevels().size(), 1u) << "the second file was opened too";
}

// Whatever window the program shows, it is never seen blank: the first time it is seen mapped
// (looked for without pause), it already shows its picture.
TEST_F(ProgramOnScreen, ItsWindowAndItsDialogsAppearAlreadyPainted) {
  auto manyColours = [&](::Window w) {
    const TGeometry g = GeometryOf(w);
    std::set<unsigned long> colours;
    for (int i = 0; i < 8; ++i)
      for (int x = 0; x < g.W; x += 7) colours.insert(PixelOf(w, x, int((i + 0.5) * g.H / 8)));
    return colours.size() >= 4;
  };
  // The first new window seen mapped, polling the server as fast as it answers.
  auto firstNewWindow = [&](const std::vector<::Window>& before) -> ::Window {
    const auto deadline = TClock::now() + 20s;
    while (TClock::now() < deadline) {
      for (::Window w : TopLevels())
        if (std::find(before.begin(), before.end(), w) == before.end()) return w;
    }
    return 0;
  };
  std::vector<std::string> argv = {MARUK_VIEWER_EXE};
  Program = std::make_unique<TChildProcess>(argv, std::map<std::string, std::string>{{"DISPLAY", Server()->Name()}});
  ASSERT_TRUE(Program->Started());
  const ::Window main = firstNewWindow(TopLevels());
  ASSERT_NE(main, 0u);
  EXPECT_TRUE(manyColours(main)) << "the main window was mapped blank";

  const auto [x, y] = OpenRomButton();
  const std::vector<::Window> before = TopLevels();
  Click(x, y);
  const ::Window dialog = firstNewWindow(before);
  ASSERT_NE(dialog, 0u);
  EXPECT_TRUE(manyColours(dialog)) << "the Open dialog was mapped blank";
  Key(XK_Escape);

  // A message box: a file that cannot be read, dropped on the window.
  const std::vector<::Window> beforeBox = TopLevels();
  const TGeometry g = Main();
  TXdndSource source(Dpy);
  source.Drop(MainWindow(), {"/nonexistent/dump.rom"}, g.X + 200, g.Y + 100);
  const ::Window box = firstNewWindow(beforeBox);
  ASSERT_NE(box, 0u);
  EXPECT_TRUE(manyColours(box)) << "the message box was mapped blank";
}

TEST_F(ProgramOnScreen, AtScaleTwoTheWindowIsTwiceAsLargeWithSharpPixelsAndTakesClicksWhereItShowsThem) {
  ASSERT_TRUE(Start({"--scale", "2"})) << Program->Output();
  // The screen of 1280 x 1024 is one of 640 x 512 at 1x: the window is moved in from x 192.
  EXPECT_EQ(Main(), (TGeometry{0, 214, 1280, 538}));
  // The picture's grid: a red vertical at step 0 and a red horizontal, each two screen
  // pixels wide, in the middle of the white between them.
  const ::Window w = MainWindow();
  auto at = [&](int x, int y) { return PixelOf(w, 2 * (4 + 8) + x, 2 * (4 + 19 + 40) + y); };
  ASSERT_TRUE(WaitUntil([&] { return at(8, 4) == kWhite; })) << std::hex << at(8, 4);
  EXPECT_EQ(at(0, 10), 0xFF0000u);
  EXPECT_EQ(at(1, 10), 0xFF0000u);
  EXPECT_EQ(at(2, 10), kWhite);
  EXPECT_EQ(at(20, 32), 0xFF0000u);  // picture row 16
  EXPECT_EQ(at(20, 33), 0xFF0000u);
  EXPECT_EQ(at(20, 34), kWhite);
  // "Open ROM" where it is shown.
  const size_t windows = TopLevels().size();
  Click(2 * (4 + 50), 214 + 2 * (4 + 19 + 208 + 12));
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() > windows; })) << "no Open dialog";
}

}  // namespace
