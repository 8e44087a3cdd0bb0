// Top-level windows on a screen with a window manager (played by the headless display): the
// focus the manager gives activates a window as a click does, minimising and maximising go
// through the manager and keep to its rules, and what the manager does from outside (states,
// places, sizes) is followed exactly.
#include "tests/windowing/WindowingTestSupport.h"

namespace {

class WindowManager : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    Display.SetWindowManager(true);
  }
  TRect RectOf(HWND w) {
    TRect r;
    GetWindowRect(w, &r);
    return r;
  }
  static TSurfaceState State(bool minimized, bool maximized) {
    TSurfaceState s;
    s.Minimized = minimized;
    s.Maximized = maximized;
    return s;
  }
  std::vector<TRecorded> Seen(HWND w, UINT message) {
    std::vector<TRecorded> out;
    for (const TRecorded& r : TRecorder::Get().Log)
      if (r.Window == w && r.Message == message) out.push_back(r);
    return out;
  }
};

TEST_F(WindowManager, FocusGivenFromOutsideActivatesAsAClickDoesAndTakenAwayDeactivates) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  HWND child = CreateRecorded(WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, w);
  SetFocus(child);
  Display.Pump();
  TRecorder::Get().Clear();
  Display.TakeFocus(w);
  Display.Pump();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_NCACTIVATE, WM_NCPAINT, WM_ACTIVATE, WM_ACTIVATEAPP);

  TRecorder::Get().Clear();
  Display.GiveFocus(w);
  Display.Pump();
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_ACTIVATEAPP, WM_NCACTIVATE, WM_NCPAINT, WM_ACTIVATE, WM_SETFOCUS);
  ASSERT_EQ(Seen(w, WM_ACTIVATE).size(), 1u);
  EXPECT_EQ(LOWORD(Seen(w, WM_ACTIVATE)[0].WParam), unsigned(WA_ACTIVE));
  ASSERT_EQ(Seen(w, WM_NCACTIVATE).size(), 1u);
  EXPECT_EQ(Seen(w, WM_NCACTIVATE)[0].WParam, 1u);

  // Given again while active: nothing happens.
  TRecorder::Get().Clear();
  Display.GiveFocus(w);
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages());
}

TEST_F(WindowManager, FocusGivenToAPopupThatNeverActivatesIsIgnoredAndToADisabledOwnerGoesToItsDialog) {
  HWND owner = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  HWND menu = CreateRecorded(WS_POPUP, 150, 150, 80, 60, owner, WS_EX_NOACTIVATE);
  ShowWindow(menu, SW_SHOWNA);
  Display.TakeFocus(owner);
  Display.Pump();
  Display.GiveFocus(menu);
  Display.Pump();
  EXPECT_EQ(GetActiveWindow(), nullptr);

  HWND dialog = CreateRecorded(WS_POPUP | WS_CAPTION | WS_VISIBLE, 120, 120, 200, 100, owner);
  EnableWindow(owner, false);
  Display.TakeFocus(dialog);
  Display.Pump();
  ASSERT_EQ(GetActiveWindow(), nullptr);
  Display.GiveFocus(owner);
  Display.Pump();
  EXPECT_EQ(GetActiveWindow(), dialog);
}

TEST_F(WindowManager, MinimisingHandsTheWindowToTheManagerInPlaceAndItsRestoreRepaintsTheWholeWindow) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  Display.Pump();
  const COLORREF shown = Display.ScreenPixel(250, 200);
  // The pointer rests on the caption, which tracks its leaving.
  Display.MoveMouse(250, 110);
  Display.Pump();
  TRACKMOUSEEVENT track;
  track.dwFlags = TME_LEAVE | TME_NONCLIENT;
  track.hwndTrack = w;
  TrackMouseEvent(&track);
  TRecorder::Get().Clear();
  SendMessage(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Display.Pump();
  EXPECT_TRUE(IsIconic(w));
  // Out of sight, the window is no longer under the pointer.
  EXPECT_EQ(Seen(w, WM_NCMOUSELEAVE).size(), 1u);
  EXPECT_EQ(WindowFromPoint({250, 110}), nullptr);
  EXPECT_EQ(RectOf(w), Bounds(100, 100, 300, 200));  // no caption bar in a corner
  EXPECT_EQ(Display.SurfaceState(w), State(true, false));
  EXPECT_EQ(Display.ScreenPixel(250, 200), GetSysColor(COLOR_BACKGROUND));  // out of sight
  TRect client;
  GetClientRect(w, &client);
  EXPECT_TRUE(client.IsEmpty());

  TRecorder::Get().Clear();
  Display.ManagerSetsState(w, State(false, false));  // the taskbar brings it back
  Display.Pump();
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(RectOf(w), Bounds(100, 100, 300, 200));
  GetClientRect(w, &client);
  EXPECT_EQ(client, Bounds(0, 0, 300 - 8, 200 - 8 - 19));
  const std::vector<TRecorded> sizes = Seen(w, WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].WParam, WPARAM(SIZE_RESTORED));
  EXPECT_EQ(sizes[0].LParam, MAKELPARAM(292, 173));
  // The whole window is painted again: frame, background and client.
  for (UINT m : {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}) EXPECT_FALSE(Seen(w, m).empty()) << MessageName(m);
  EXPECT_EQ(Display.ScreenPixel(250, 200), shown);
}

// A manager that restores a window may give it the focus before the window hears of its new
// state; the focus still reaches the window, not a window the program thinks is out of sight.
TEST_F(WindowManager, FocusGivenToAMinimisedWindowRestoresItFirst) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  HWND child = CreateRecorded(WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, w);
  SetFocus(child);
  Display.Pump();
  Display.ManagerSetsState(w, State(true, false));
  Display.TakeFocus(w);
  Display.Pump();
  ASSERT_TRUE(IsIconic(w));
  ASSERT_EQ(GetFocus(), nullptr);

  TRecorder::Get().Clear();
  Display.GiveFocus(w);
  Display.Pump();
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);
  const std::vector<TRecorded> activations = Seen(w, WM_ACTIVATE);
  ASSERT_EQ(activations.size(), 1u);
  EXPECT_EQ(activations[0].WParam, WPARAM(WA_ACTIVE)) << "activated as a minimised window";
  TRect client;
  GetClientRect(w, &client);
  EXPECT_EQ(client, Bounds(0, 0, 300 - 8, 200 - 8 - 19));

  // The state the manager reports afterwards changes nothing.
  TRecorder::Get().Clear();
  Display.ManagerSetsState(w, State(false, false));
  Display.Pump();
  EXPECT_TRUE(Seen(w, WM_SIZE).empty());
  EXPECT_EQ(GetFocus(), w);
}

TEST_F(WindowManager, MaximisingFillsTheWorkAreaAndTellsTheManagerBeforeTheWindowMovesAndTheManagerRestores) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  Display.Pump();
  std::vector<TSurfaceState> toldWhenMoving;
  TRecorder::Get().Hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (h == w && m == WM_WINDOWPOSCHANGED) toldWhenMoving.push_back(Display.SurfaceState(w));
    return false;
  };
  ShowWindow(w, SW_MAXIMIZE);
  // Without a manager the borders would lie outside the work area, at (-4, -4).
  EXPECT_EQ(RectOf(w), Bounds(0, 0, 1280, 984));
  ASSERT_FALSE(toldWhenMoving.empty());
  EXPECT_EQ(toldWhenMoving.front(), State(false, true));

  // Restored, it goes where the manager puts it: the place it kept for it.
  toldWhenMoving.clear();
  ShowWindow(w, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(w));
  ASSERT_FALSE(toldWhenMoving.empty());
  EXPECT_EQ(toldWhenMoving.front(), State(false, false));
  Display.Pump();
  EXPECT_EQ(RectOf(w), Bounds(100, 100, 300, 200));
  TRecorder::Get().Hook = nullptr;

  // Minimised from the maximised state, a restore maximises again.
  ShowWindow(w, SW_MAXIMIZE);
  ShowWindow(w, SW_MINIMIZE);
  EXPECT_EQ(Display.SurfaceState(w), State(true, true));
  ShowWindow(w, SW_RESTORE);
  EXPECT_EQ(Display.SurfaceState(w), State(false, true));
  EXPECT_EQ(RectOf(w), Bounds(0, 0, 1280, 984));
}

TEST_F(WindowManager, TheManagersStatesAndPlacesAreFollowedAsTheyAre) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  Display.Pump();
  TRecorder::Get().Clear();
  // The manager's own maximise: the state first, then its place for the window.
  Display.ManagerSetsState(w, State(false, true));
  Display.ManagerMoves(w, Bounds(0, 30, 1280, 954));
  Display.Pump();
  EXPECT_TRUE(IsZoomed(w));
  EXPECT_EQ(RectOf(w), Bounds(0, 30, 1280, 954));
  TRect restored;
  GetRestoredRect(w, &restored);
  EXPECT_EQ(restored, Bounds(100, 100, 300, 200));
  ASSERT_FALSE(Seen(w, WM_SIZE).empty());
  EXPECT_EQ(Seen(w, WM_SIZE).back().WParam, WPARAM(SIZE_MAXIMIZED));
  // Nothing is asked of the manager for what it did itself.
  EXPECT_EQ(Display.SurfaceState(w), State(false, true));

  Display.ManagerSetsState(w, State(false, false));
  Display.ManagerMoves(w, Bounds(100, 100, 300, 200));
  Display.Pump();
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(RectOf(w), Bounds(100, 100, 300, 200));

  // A place and size are taken as they are, even below the smallest size the window would
  // give itself; the window hears of them as of any move and size.
  TRecorder::Get().Clear();
  Display.ManagerMoves(w, Bounds(400, 300, 100, 40));
  Display.Pump();
  EXPECT_EQ(RectOf(w), Bounds(400, 300, 100, 40));
  EXPECT_LT(100, GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_TRUE(Seen(w, WM_WINDOWPOSCHANGING).empty());
  ASSERT_EQ(Seen(w, WM_MOVE).size(), 1u);
  EXPECT_EQ(Seen(w, WM_MOVE)[0].LParam, MAKELPARAM(404, 323));
  EXPECT_EQ(Seen(w, WM_SIZE).size(), 1u);
  // A click lands where the window now is.
  TRecorder::Get().Clear();
  Display.Click(420, 330);
  Display.Pump();
  ASSERT_EQ(Seen(w, WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(Seen(w, WM_LBUTTONDOWN)[0].LParam, MAKELPARAM(16, 7));
}

}  // namespace
