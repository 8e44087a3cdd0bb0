// The program on a private X server with a window manager (openbox), asked what users ask of it
// through the manager (alt-tab, a taskbar, wmctrl): activation lights the caption as a click
// does and another program taking the focus dims it; the minimise button sends the window to
// the manager, which brings it back in place and painted; a maximised window keeps to the work
// area a panel leaves and the manager knows it is maximised; moves and sizes the manager makes
// are followed; the manager's close ends the program; docks can group and pin its window. The
// program sleeps after every step.
#include <fstream>
#include <sstream>

#include "viewer/ProgramIcon.h"
#include "tests/viewer/ProgramOnScreen.h"

namespace {

using namespace std::chrono_literals;

constexpr long kNormalState = 1, kIconicState = 3;

class ProgramUnderManager : public TProgramOnScreen {
 protected:
  bool Managed() const override { return true; }

  void TearDown() override {
    FPanel.reset();
    TProgramOnScreen::TearDown();
  }

  // Asks the manager for something about `w`, as pagers, taskbars and wmctrl do.
  void SendToRoot(::Window w, const char* type, const std::vector<long>& values) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(Dpy, type, False);
    e.xclient.format = 32;
    for (size_t i = 0; i < values.size() && i < 5; ++i) e.xclient.data.l[i] = values[i];
    XSendEvent(Dpy, DefaultRootWindow(Dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XSync(Dpy, False);
  }
  // Activation from a taskbar or pager (source 2), as `wmctrl -a` asks for it.
  void ActivateByManager(::Window w) { SendToRoot(w, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0}); }
  long State(::Window w) {
    const std::vector<long> s = Numbers(w, "WM_STATE");
    return s.empty() ? -1 : s[0];
  }
  bool Maximised(::Window w) {
    const std::vector<long> atoms = Numbers(w, "_NET_WM_STATE", XA_ATOM);
    auto has = [&](const char* name) {
      return std::find(atoms.begin(), atoms.end(), long(XInternAtom(Dpy, name, False))) != atoms.end();
    };
    return has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ");
  }
  TGeometry WorkArea() {
    const std::vector<long> a = Numbers(DefaultRootWindow(Dpy), "_NET_WORKAREA", XA_CARDINAL);
    return a.size() < 4 ? TGeometry{} : TGeometry{int(a[0]), int(a[1]), int(a[2]), int(a[3])};
  }

  // The caption band left of the title buttons; the title buttons; the whole window.
  TPixels Caption() { return PixelsOf(Main(), 4, 4, 540, 18); }
  TPixels TitleButtons() { return PixelsOf(Main(), MainGeometry().W - 62, 4, 58, 18); }
  TPixels Whole() {
    const TGeometry g = MainGeometry();
    return PixelsOf(Main(), 0, 0, g.W, g.H);
  }
  // Where two pictures of the window differ, for failure messages.
  std::string Difference(const TPixels& a, const TPixels& b) {
    if (a.size() != b.size()) return "sizes differ";
    const int w = MainGeometry().W;
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1, count = 0;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) {
        const int x = int(i) % w, y = int(i) / w;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        ++count;
      }
    std::ostringstream o;
    o << count << " pixels differ within x " << left << ".." << right << ", y " << top << ".." << bottom;
    return o.str();
  }
  // A title button, counted in pixels from the window's right edge: close 13, maximise 33,
  // minimise 53. Two clicks at one place within the double-click time would be a double click.
  void ClickTitleButton(int fromRight) {
    std::this_thread::sleep_until(FLastTitleClick + 600ms);
    const TGeometry g = MainGeometry();
    Click(g.X + g.W - fromRight, g.Y + 9);
    FLastTitleClick = TClock::now();
  }
  TClock::time_point FLastTitleClick;
  // A click on the window where it has no control: it only activates the window.
  void ClickInside() {
    const TGeometry g = MainGeometry();
    Click(g.X + 380, g.Y + 250);
  }
  void StartPanel(int height) {
    FPanel = std::make_unique<TChildProcess>(std::vector<std::string>{MARUK_STRUT_PANEL_EXE, std::to_string(height)},
                                             std::map<std::string, std::string>{{"DISPLAY", TTestScreen::Shared(true).Name()}});
  }

 private:
  std::unique_ptr<TChildProcess> FPanel;
};

TEST_F(ProgramUnderManager, ActivationByTheManagerLightsTheCaptionAsAClickDoesAndAnotherProgramDimsIt) {
  ASSERT_TRUE(Start()) << Program->Output();
  ClickInside();
  const TPixels lit = Settled([&] { return Caption(); });

  ActivateByManager(OtherProgram());
  EXPECT_TRUE(WaitUntil([&] { return Caption() != lit; })) << "another program has the focus and the caption is lit";
  ExpectIdle("another program took the focus");

  ActivateByManager(Main());
  EXPECT_TRUE(WaitUntil([&] { return Caption() == lit; })) << "activated by the manager, the caption stays dim";
  ExpectIdle("activation by the manager");
  // The keys go to the control that had the focus: Space presses "Open ROM".
  const size_t windows = TopLevels().size();
  Key(XK_space);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() > windows; })) << "Space did not reach \"Open ROM\"";
  Key(XK_Escape);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() == windows; }));
}

TEST_F(ProgramUnderManager, TheMinimiseButtonHandsTheWindowToTheManagerWhichBringsItBackInPlaceAndPainted) {
  ASSERT_TRUE(Start()) << Program->Output();
  ClickInside();
  const TGeometry place = MainGeometry();
  const TPixels before = Settled([&] { return Whole(); });

  ClickTitleButton(53);
  EXPECT_TRUE(WaitUntil([&] { return State(Main()) == kIconicState && !MainViewable(); }))
      << "WM_STATE " << State(Main()) << ", " << MainGeometry();
  Move(1000, 1000);  // not over the minimise button, which would light it when it is back
  EXPECT_TRUE(TopLevels().empty()) << "a window of the program stays on the screen";
  ExpectIdle("minimising");

  ActivateByManager(Main());
  EXPECT_TRUE(WaitUntil([&] { return State(Main()) == kNormalState && MainViewable() && MainGeometry() == place; }))
      << MainGeometry();
  EXPECT_TRUE(WaitUntil([&] { return Whole() == before; })) << "not painted as it was, or not active: " << Difference(Whole(), before);
  ExpectIdle("restoring");
}

TEST_F(ProgramUnderManager, AWindowTheManagerMinimisedComesBackPaintedAndItsButtonsStillWork) {
  ASSERT_TRUE(Start()) << Program->Output();
  ClickInside();
  const TGeometry place = MainGeometry();
  const TPixels before = Settled([&] { return Whole(); });

  SendToRoot(Main(), "WM_CHANGE_STATE", {kIconicState});  // as `xdotool windowminimize` asks
  ASSERT_TRUE(WaitUntil([&] { return State(Main()) == kIconicState; }));
  ActivateByManager(Main());
  EXPECT_TRUE(WaitUntil([&] { return MainViewable() && MainGeometry() == place && Whole() == before; }))
      << MainGeometry() << ", " << Difference(Whole(), before);
  ExpectIdle("restoring");
  // The program knows the window is back: its minimise button minimises again.
  ClickTitleButton(53);
  EXPECT_TRUE(WaitUntil([&] { return State(Main()) == kIconicState; }));
}

TEST_F(ProgramUnderManager, MaximisedItKeepsToTheWorkAreaOfAPanelAndTheManagerAndTheTitleButtonsAgree) {
  StartPanel(40);
  ASSERT_TRUE(WaitUntil([&] { return WorkArea() == TGeometry{0, 40, 1280, 984}; }, 20s)) << WorkArea();
  ASSERT_TRUE(Start()) << Program->Output();
  ClickInside();
  const TGeometry place = MainGeometry();
  const TPixels normalButtons = Settled([&] { return TitleButtons(); });

  ClickTitleButton(33);
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == WorkArea(); })) << MainGeometry();
  EXPECT_TRUE(Maximised(Main())) << "the manager was not told";
  Move(1000, 1000);
  const TPixels maximisedButtons = Settled([&] { return TitleButtons(); });
  ExpectIdle("maximising");

  ClickTitleButton(33);
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == place && !Maximised(Main()); })) << MainGeometry();
  Move(1000, 1000);
  EXPECT_TRUE(WaitUntil([&] { return TitleButtons() == normalButtons; }));

  // The manager maximises it (its keyboard shortcut, its menu): the program follows, and its
  // maximise button, now a restore button, restores it.
  const long add = 1, vert = long(XInternAtom(Dpy, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
             horz = long(XInternAtom(Dpy, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
  SendToRoot(Main(), "_NET_WM_STATE", {add, vert, horz, 2});
  // The manager places the window before it records the state; the program hears of both.
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == WorkArea() && Maximised(Main()); })) << MainGeometry();
  EXPECT_TRUE(WaitUntil([&] { return TitleButtons() == maximisedButtons; }));
  ClickTitleButton(33);
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == place && !Maximised(Main()); })) << MainGeometry();
  // And the other way round: maximised by its button, restored by the manager.
  ClickTitleButton(33);
  ASSERT_TRUE(WaitUntil([&] { return MainGeometry() == WorkArea(); })) << MainGeometry();
  SendToRoot(Main(), "_NET_WM_STATE", {0, vert, horz, 2});
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == place && !Maximised(Main()); })) << MainGeometry();
  ClickTitleButton(33);
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == WorkArea() && Maximised(Main()); })) << MainGeometry();
  ExpectIdle("maximising again");
}

TEST_F(ProgramUnderManager, MovesAndSizesTheManagerMakesAreFollowed) {
  ASSERT_TRUE(Start()) << Program->Output();
  ClickInside();
  const TPixels before = Settled([&] { return Whole(); });
  const TGeometry g = MainGeometry();
  const TPixels corner = PixelsOf(Main(), g.W - 4, g.H - 4, 4, 4), buttons = TitleButtons();

  constexpr long kPosition = (1 << 8) | (1 << 9), kSize = (1 << 10) | (1 << 11), kFromPager = 2 << 12;
  SendToRoot(Main(), "_NET_MOVERESIZE_WINDOW", {kPosition | kFromPager, 300, 200, 0, 0});
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == TGeometry{300, 200, 640, 269}; })) << MainGeometry();
  EXPECT_TRUE(WaitUntil([&] { return Whole() == before; })) << "not whole after the move";
  ExpectIdle("a move by the manager");
  // The program knows where its window is: "Open ROM" answers where it is shown.
  const size_t windows = TopLevels().size();
  const auto [x, y] = OpenRomButton();
  Click(x, y);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() > windows; })) << "no Open dialog";
  Key(XK_Escape);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() == windows; }));

  SendToRoot(Main(), "_NET_MOVERESIZE_WINDOW", {kPosition | kSize | kFromPager, 310, 210, 700, 300});
  EXPECT_TRUE(WaitUntil([&] { return MainGeometry() == TGeometry{310, 210, 700, 300}; })) << MainGeometry();
  // The frame is drawn whole at the new size: its corner and its title buttons at the new edges.
  EXPECT_TRUE(WaitUntil([&] { return PixelsOf(Main(), 696, 296, 4, 4) == corner && TitleButtons() == buttons; }));
  ExpectIdle("a size by the manager");
}

TEST_F(ProgramUnderManager, TheManagersCloseEndsTheProgramWithStatusZero) {
  ASSERT_TRUE(Start()) << Program->Output();
  SendToRoot(Main(), "_NET_CLOSE_WINDOW", {CurrentTime, 2});
  EXPECT_TRUE(Program->WaitFor(10s)) << "still running 10 s after the manager's close";
  EXPECT_EQ(Program->ExitCode(), 0) << Program->Output();
}

// The Open dialog is one of the manager's windows, a modal dialog of the main window without
// the manager's frame: another program activated goes above it, and the manager can activate it
// again (a taskbar, alt-tab), after which it takes keys.
TEST_F(ProgramUnderManager, TheOpenDialogIsAModalDialogOfTheWindowThatTheManagerActivatesAndOthersCover) {
  ASSERT_TRUE(Start()) << Program->Output();
  const ::Window other = OtherProgram();
  ClickInside();
  const auto [x, y] = OpenRomButton();
  Click(x, y);
  const ::Window dialog = OtherOfOurs();
  ASSERT_NE(dialog, 0u) << "no Open dialog";
  EXPECT_TRUE(WaitUntil([&] { return State(dialog) == kNormalState; })) << "the manager did not take the dialog in";
  EXPECT_FALSE(OverrideRedirect(dialog));
  EXPECT_EQ(TransientFor(dialog), Main());
  EXPECT_EQ(Numbers(dialog, "_NET_WM_WINDOW_TYPE", XA_ATOM),
            std::vector<long>{long(XInternAtom(Dpy, "_NET_WM_WINDOW_TYPE_DIALOG", False))});
  EXPECT_EQ(Numbers(dialog, "_NET_WM_STATE", XA_ATOM),
            std::vector<long>{long(XInternAtom(Dpy, "_NET_WM_STATE_MODAL", False))});
  const ::Window root = DefaultRootWindow(Dpy);
  auto active = [&] {
    const std::vector<long> a = Numbers(root, "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return a.empty() ? 0ul : ::Window(a[0]);
  };
  // Bottom to top, as the manager stacks its windows.
  auto above = [&](::Window upper, ::Window lower) {
    const std::vector<long> s = Numbers(root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    const auto u = std::find(s.begin(), s.end(), long(upper)), l = std::find(s.begin(), s.end(), long(lower));
    return u != s.end() && l != s.end() && u > l;
  };
  EXPECT_TRUE(WaitUntil([&] { return active() == dialog && Focused() == dialog; })) << "the dialog is not active";

  ActivateByManager(other);
  EXPECT_TRUE(WaitUntil([&] { return active() == other && above(other, dialog); }))
      << "another program activated stays below the dialog";
  ActivateByManager(dialog);
  EXPECT_TRUE(WaitUntil([&] { return active() == dialog && Focused() == dialog && above(dialog, other); }))
      << "the manager cannot activate the dialog";
  Key(XK_Escape);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() == 1; })) << "the dialog did not take the key";
  ExpectIdle("the dialog closed");
}

// Under a manager too, a click on another program while a menu is open only closes the menu;
// the next click is the manager's again, which activates that program.
TEST_F(ProgramUnderManager, AClickOnAnotherProgramClosesAnOpenMenuAndTheNextOneActivatesIt) {
  ASSERT_TRUE(Start()) << Program->Output();
  OtherProgram();
  ClickInside();
  const TPixels lit = Settled([&] { return Caption(); });
  const size_t windows = TopLevels().size();
  Click(MainGeometry().X + 200, MainGeometry().Y + 9, 3);  // right click on the caption: the system menu
  ASSERT_TRUE(WaitUntil([&] { return TopLevels().size() > windows; })) << "no system menu";
  OtherProgramPresses();
  Click(800, 650);
  EXPECT_TRUE(WaitUntil([&] { return TopLevels().size() == windows; })) << "the menu stays open";
  EXPECT_EQ(OtherProgramPresses(), 0);
  EXPECT_TRUE(Caption() == lit) << "the click that closed the menu activated the other program";
  Click(800, 650);
  EXPECT_TRUE(WaitUntil([&] { return Caption() != lit; })) << "the other program was not activated";
  ExpectIdle("another program activated after a menu");
}

// The line `key=value` of the desktop entry, "" when it has none.
std::string DesktopEntry(const std::string& key) {
  std::ifstream in(MARUK_DESKTOP_ENTRY);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  return {};
}

TEST_F(ProgramUnderManager, ItsIdentityLetsDocksGroupItAndEndsTheLaunchersStartupNotice) {
  // Start-up notices go to the root window as client messages, 20 bytes at a time, each naming
  // a window of the sender's.
  const ::Window root = DefaultRootWindow(Dpy);
  XSelectInput(Dpy, root, PropertyChangeMask);
  XSync(Dpy, False);
  const std::string id = "viewer-test_TIME42";
  ASSERT_TRUE(Start({}, {{"DESKTOP_STARTUP_ID", id}})) << Program->Output();
  const Atom begin = XInternAtom(Dpy, "_NET_STARTUP_INFO_BEGIN", False), more = XInternAtom(Dpy, "_NET_STARTUP_INFO", False);
  std::string notice;
  WaitUntil([&] {
    XEvent e;
    while (XCheckTypedEvent(Dpy, ClientMessage, &e)) {
      if (e.xclient.message_type == begin) notice.clear();
      if (e.xclient.message_type == begin || e.xclient.message_type == more) notice.append(e.xclient.data.b, 20);
    }
    return notice.find('\0') != std::string::npos;
  });
  XSelectInput(Dpy, root, NoEventMask);
  EXPECT_EQ(notice.substr(0, notice.find('\0')), "remove: ID=" + id);
  EXPECT_EQ(Text(Main(), "_NET_STARTUP_ID"), id);
  EXPECT_EQ(DesktopEntry("StartupNotify"), "true");

  // WM_CLASS holds the instance and the class, each ending in a NUL.
  const std::string wmClass = Text(Main(), "WM_CLASS");
  const size_t nul = wmClass.find('\0');
  ASSERT_NE(nul, std::string::npos) << wmClass;
  EXPECT_EQ(wmClass.substr(nul + 1, wmClass.find('\0', nul + 1) - nul - 1), DesktopEntry("StartupWMClass"));
  EXPECT_FALSE(DesktopEntry("StartupWMClass").empty());
  EXPECT_EQ(Numbers(Main(), "_NET_WM_PID"), std::vector<long>{Program->Pid()});
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  EXPECT_EQ(Text(Main(), "WM_CLIENT_MACHINE"), host);
  EXPECT_EQ(Text(Main(), "_NET_WM_NAME"), "Maruk timeline ROM viewer");
  // The program's own picture, at 16 x 16 among its sizes, the key colour see-through.
  const std::vector<long> icons = Numbers(Main(), "_NET_WM_ICON", XA_CARDINAL);
  const TDib picture = ProgramIconPicture(16);
  bool found = false;
  for (size_t at = 0; at + 2 <= icons.size() && !found;) {
    const size_t w = size_t(icons[at]), h = size_t(icons[at + 1]);
    if (w == 16 && h == 16 && at + 2 + w * h <= icons.size()) {
      found = true;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          const COLORREF c = picture.GetPixel(x, y);
          const unsigned long want = c == 0xFF00FF ? 0 : 0xFF000000ul | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
          EXPECT_EQ(static_cast<unsigned long>(icons[at + 2 + size_t(y) * 16 + size_t(x)]) & 0xFFFFFFFFul, want)
              << "icon pixel " << x << "," << y;
        }
    }
    at += 2 + w * h;
  }
  EXPECT_TRUE(found) << "no 16 x 16 icon among " << icons.size() << " numbers";
}

}  // namespace
