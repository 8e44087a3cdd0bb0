// The program itself on a bare X server (no window manager), driven as a user would drive it:
// the window is dragged by its caption, an edge and a corner; afterwards it must sleep and still
// answer; and a termination signal must end it cleanly whatever it is doing.
#include <set>

#include "tests/viewer/ProgramOnScreen.h"
// Xlib and its macros last.
#include "tests/support/XdndSource.h"

namespace {

using namespace std::chrono_literals;

using ProgramOnScreen = TProgramOnScreen;

TEST_F(ProgramOnScreen, AfterDraggingTheCaptionAnEdgeAndACornerItSleepsAndStillAnswers) {
  ASSERT_TRUE(Start()) << Program->Output();
  EXPECT_EQ(MainGeometry(), (TGeometry{192, 107, 640, 269}));

  Drag(400, 115, 10, 5);  // the caption
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == TGeometry{202, 112, 640, 269}; })) << MainGeometry();
  EXPECT_LT(BusyShare(), 0.05) << "busy after a caption drag";

  TGeometry g = MainGeometry();
  Drag(g.X + g.W - 2, g.Y + 130, 30, 0);  // the right edge
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == TGeometry{202, 112, 670, 269}; })) << MainGeometry();

  g = MainGeometry();
  Drag(g.X + g.W - 2, g.Y + g.H - 2, 20, 15);  // the bottom-right corner
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == TGeometry{202, 112, 690, 284}; })) << MainGeometry();
  EXPECT_LT(BusyShare(), 0.05) << "busy after sizing";

  const size_t windows = TopLevels().size();
  const auto [x, y] = OpenRomButton();
  Click(x, y);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() > windows; })) << "no Open dialog";
  EXPECT_LT(BusyShare(), 0.05) << "busy with the dialog open";
  ExpectCleanEndOnTerm("Open dialog shown");
}

// Without a window manager there is no taskbar to go to: the window becomes a caption bar of
// 160 x 25 at the bottom-left corner of the work area, and its restore button brings it back.
TEST_F(ProgramOnScreen, WithoutAWindowManagerMinimisingLeavesACaptionBarInTheCorner) {
  ASSERT_TRUE(Start()) << Program->Output();
  const TGeometry place = MainGeometry();
  Click(place.X + place.W - 53, place.Y + 9);  // the minimise button
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == TGeometry{0, 1024 - 25, 160, 25}; })) << MainGeometry();
  EXPECT_TRUE(MainViewable());
  EXPECT_LT(BusyShare(), 0.05) << "busy after minimising";
  const TGeometry bar = MainGeometry();
  Click(bar.X + bar.W - 45, bar.Y + 9);  // its restore button, where the minimise button was
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == place; })) << MainGeometry();
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
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry().X == 212; })) << MainGeometry();
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

// A press on another program's window while a menu of ours is open only closes the menu, as a
// click anywhere else does; once the menu is closed, presses reach that window again.
TEST_F(ProgramOnScreen, AClickOnAnotherProgramsWindowClosesAnOpenMenuAndThenReachesThatWindow) {
  ASSERT_TRUE(Start()) << Program->Output();
  OtherProgram();
  const size_t windows = TopLevels().size();
  Click(400, 115, 3);  // right click on the caption: the system menu
  ASSERT_TRUE(WaitUntil([&] { return TopLevels().size() > windows; })) << "no system menu";
  OtherProgramPresses();
  Click(800, 650);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() == windows; })) << "the menu stays open";
  EXPECT_EQ(OtherProgramPresses(), 0);
  ExpectIdle("a click on another program closed the menu");
  Click(800, 650);
  EXPECT_EQ(OtherProgramPresses(), 1) << "the menu closed and still holds the pointer";
}

// Without a window manager a dialog takes the keyboard focus when it shows and gives it back to
// its window when it goes; it is an ordinary window of the desktop, a dialog of the main window.
TEST_F(ProgramOnScreen, TheOpenDialogTakesTheFocusAndGivesItBackToTheWindow) {
  ASSERT_TRUE(Start()) << Program->Output();
  EXPECT_TRUE(WaitUntil([&] { return Focused() == Main(); })) << "the window has no focus at start";
  const auto [x, y] = OpenRomButton();
  Click(x, y);
  const ::Window dialog = OtherOfOurs();
  ASSERT_NE(dialog, 0u) << "no Open dialog";
  EXPECT_TRUE(WaitUntil([&] { return Focused() == dialog; })) << "the dialog has no focus";
  EXPECT_FALSE(OverrideRedirect(dialog));
  EXPECT_EQ(TransientFor(dialog), Main());
  Key(XK_Escape);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() == 1; })) << "the dialog stays";
  EXPECT_TRUE(WaitUntil([&] { return Focused() == Main(); })) << "the focus did not come back";
}

// Lane 0 of a ROM of 0xFF bytes is high: rows 2 and 3 of the picture turn blue.
constexpr unsigned long kWhite = 0xFFFFFF, kBlue = 0x0000FF;

TEST_F(ProgramOnScreen, ARomNamedOnTheCommandLineIsShownAtStart) {
  ASSERT_TRUE(Start({WriteRom(std::vector<uint8_t>(100, 0xFF))})) << Program->Output();
  EXPECT_TRUE(WaitUntil([&] { return PicturePixel(4, 2) == kBlue; })) << std::hex << PicturePixel(4, 2);
  EXPECT_EQ(TopLevels().size(), 1u) << "an error box came up";
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
  Program = std::make_unique<TChildProcess>(argv, std::map<std::string, std::string>{{"DISPLAY", TTestScreen::Shared(false).Name()}});
  ASSERT_TRUE(Program->Started());
  const ::Window main = firstNewWindow(TopLevels());
  ASSERT_NE(main, 0u);
  EXPECT_TRUE(manyColours(main)) << "the main window was mapped blank";

  const TGeometry g0 = GeometryOf(main);
  const int x = g0.X + 4 + 50, y = g0.Y + 4 + 19 + 208 + 12;  // "Open ROM"
  const std::vector<::Window> before = TopLevels();
  Click(x, y);
  const ::Window dialog = firstNewWindow(before);
  ASSERT_NE(dialog, 0u);
  EXPECT_TRUE(manyColours(dialog)) << "the Open dialog was mapped blank";
  Key(XK_Escape);

  // A message box: a file that cannot be read, dropped on the window.
  const std::vector<::Window> beforeBox = TopLevels();
  const TGeometry g = GeometryOf(main);
  TXdndSource source(Dpy);
  source.Drop(main, {"/nonexistent/dump.rom"}, g.X + 200, g.Y + 100);
  const ::Window box = firstNewWindow(beforeBox);
  ASSERT_NE(box, 0u);
  EXPECT_TRUE(manyColours(box)) << "the message box was mapped blank";
}

TEST_F(ProgramOnScreen, AtScaleTwoTheWindowIsTwiceAsLargeWithSharpPixelsAndTakesClicksWhereItShowsThem) {
  ASSERT_TRUE(Start({"--scale", "2"})) << Program->Output();
  // The screen of 1280 x 1024 is one of 640 x 512 at 1x: the window is moved in from x 192.
  EXPECT_EQ(MainGeometry(), (TGeometry{0, 214, 1280, 538}));
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
