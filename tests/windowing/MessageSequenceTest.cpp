#include "tests/windowing/WindowingTestSupport.h"

namespace {

using MessageSequence = HeadlessTest;

TEST_F(MessageSequence, CreateShowPaintAndClose) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  ASSERT_TRUE(IsWindow(w));
  EXPECT_MESSAGES(TRecorder::Get().Messages(), WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                  WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_NCACTIVATE, WM_NCPAINT, WM_ACTIVATE, WM_SETFOCUS,
                  WM_WINDOWPOSCHANGED);
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);
  TRecorder::Get().Clear();
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(), WM_PAINT, WM_NCPAINT, WM_ERASEBKGND);
  TRecorder::Get().Clear();
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages());  // nothing left to paint
  SendMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_MESSAGES(TRecorder::Get().Messages(), WM_SYSCOMMAND, WM_CLOSE, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                  WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(MessageSequence, ActivationMovesBetweenTwoWindows) {
  HWND a = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100);
  HWND b = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 0, 200, 100);
  Display.Pump();
  TRecorder::Get().Clear();
  SetActiveWindow(a);
  EXPECT_MESSAGES(TRecorder::Get().Messages(b), WM_NCACTIVATE, WM_NCPAINT, WM_ACTIVATE, WM_KILLFOCUS);
  EXPECT_MESSAGES(TRecorder::Get().Messages(a), WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_NCPAINT,
                  WM_ACTIVATE, WM_SETFOCUS);
  EXPECT_EQ(GetTopLevelWindows().front(), a);
}

TEST_F(MessageSequence, ClickOnInactiveWindowActivatesThenDownUp) {
  HWND a = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100);
  HWND b = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 0, 200, 100);
  Display.Pump();
  TRecorder::Get().Clear();
  Display.Click(50, 50);
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(a), WM_MOUSEMOVE, WM_MOUSEACTIVATE, WM_WINDOWPOSCHANGING,
                  WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_NCPAINT, WM_ACTIVATE, WM_SETFOCUS, WM_LBUTTONDOWN,
                  WM_LBUTTONUP);
  (void)b;
  TRecorder::Get().Clear();
  Display.Click(50, 50);  // a second click soon after at the same place is a double click
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(a), WM_MOUSEMOVE, WM_LBUTTONDBLCLK, WM_LBUTTONUP);
  const TRecorded& down = TRecorder::Get().Log[1];
  EXPECT_EQ(GET_X_LPARAM(down.LParam), 50 - 4);
  EXPECT_EQ(GET_Y_LPARAM(down.LParam), 50 - 23);
  EXPECT_EQ(down.WParam, WPARAM(MK_LBUTTON));
}

TEST_F(MessageSequence, DoubleClickNeedsTheClassStyleAndShortInterval) {
  WNDCLASS plain;
  plain.lpszClassName = "NoDouble";
  plain.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    TRecorder::Get().Log.push_back({h, m, w, l});
    return DefWindowProc(h, m, w, l);
  };
  RegisterClass(plain);
  HWND w = CreateWindowEx(0, "NoDouble", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr);
  Display.Pump();
  Display.Click(10, 10);
  Display.Click(10, 10);
  Display.Pump();
  std::vector<UINT> clicks;
  for (UINT m : TRecorder::Get().Messages(w))
    if (m >= WM_LBUTTONDOWN && m <= WM_LBUTTONDBLCLK) clicks.push_back(m);
  EXPECT_MESSAGES(clicks, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP);

  HWND r = CreateRecorded(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  Display.Pump();
  TRecorder::Get().Clear();
  Display.Click(210, 10);
  Display.Advance(600);  // longer than the double-click time
  Display.Click(210, 10);
  Display.Pump();
  clicks.clear();
  for (UINT m : TRecorder::Get().Messages(r))
    if (m >= WM_LBUTTONDOWN && m <= WM_LBUTTONDBLCLK) clicks.push_back(m);
  EXPECT_MESSAGES(clicks, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP);
}

TEST_F(MessageSequence, CaptionDragMovesTheWindowInAModalLoop) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  Display.Pump();
  TRecorder::Get().Clear();
  Display.MoveMouse(200, 110);  // on the caption
  Display.Press();
  Display.Schedule([&] { Display.MoveMouse(230, 120); });
  Display.Schedule([&] { Display.MoveMouse(250, 150); });
  Display.Schedule([&] { Display.Release(); });
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE,
                  WM_MOVING, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_MOVING, WM_WINDOWPOSCHANGING,
                  WM_WINDOWPOSCHANGED, WM_MOVE, WM_CAPTURECHANGED, WM_EXITSIZEMOVE);
  EXPECT_EQ(TRecorder::Get().Log[1].WParam, WPARAM(HTCAPTION));
  EXPECT_EQ(TRecorder::Get().Log[2].WParam, WPARAM(SC_MOVE | HTCAPTION));
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(150, 140, 300, 200));
  EXPECT_EQ(GetCapture(), nullptr);
}

// A display whose pointer motions are lost on the way (a fast drag on a busy X server): the
// release is the only event that tells where the pointer went.
class TMotionlessDisplay : public THeadlessDisplay {
 public:
  bool DropMoves = false;
  bool NextEvent(TInputEvent& event) override {
    while (THeadlessDisplay::NextEvent(event))
      if (!(DropMoves && event.Kind == TInputEvent::ieMouseMove)) return true;
    return false;
  }
};

// The queue tells every window where the pointer went before a button changes there, also
// when the display reported no motion to that place.
TEST_F(MessageSequence, AButtonAwayFromTheLastMoveComesAfterAMoveThere) {
  TMotionlessDisplay display;
  SetDisplay(&display);
  struct TBack {
    THeadlessDisplay& To;
    ~TBack() { SetDisplay(&To); }
  } back{Display};
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
  TRecorder::Get().Hook = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_LBUTTONDOWN) SetCapture(h);
    if (m == WM_LBUTTONUP) ReleaseCapture();
    return false;
  };
  display.MoveMouse(150, 150);
  display.Pump();
  TRecorder::Get().Clear();
  display.DropMoves = true;
  display.MoveMouse(160, 170);
  display.Press();
  display.MoveMouse(400, 30);  // outside, where the capture still sends it
  display.Release();
  display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP,
                  WM_CAPTURECHANGED);
  const std::vector<TRecorded> log = TRecorder::Get().Log;
  ASSERT_EQ(log.size(), 5u);
  // The move before the press: at the press, the button still up; the one before the release:
  // at the release, the button still down.
  EXPECT_EQ(log[0].LParam, MAKELPARAM(60, 70));
  EXPECT_EQ(log[0].WParam, WPARAM(0));
  EXPECT_EQ(log[1].LParam, MAKELPARAM(60, 70));
  EXPECT_EQ(log[2].LParam, MAKELPARAM(300, -70));
  EXPECT_EQ(log[2].WParam, WPARAM(MK_LBUTTON));
  EXPECT_EQ(log[3].LParam, MAKELPARAM(300, -70));
  // A button where the last move left the pointer needs no move of its own.
  display.DropMoves = false;
  display.MoveMouse(120, 180);
  display.Press();
  display.Release();
  TRecorder::Get().Clear();
  display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CAPTURECHANGED);
}

TEST_F(MessageSequence, MoveSizeAndCaptionButtonsGoByWhereTheButtonIsReleased) {
  TMotionlessDisplay display;
  SetDisplay(&display);
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  display.Pump();
  TRect r;
  // Caption from (200, 110) to (260, 150): the window moves by 60, 40.
  display.MoveMouse(200, 110);
  display.Press();
  display.Schedule([&] {
    display.DropMoves = true;
    display.MoveMouse(260, 150);
    display.Release();
  });
  display.Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(160, 140, 300, 200));
  EXPECT_EQ(GetCapture(), nullptr);
  // Bottom-right corner (459, 339) to (489, 359): 30 wider, 20 taller.
  display.DropMoves = false;
  display.MoveMouse(459, 339);
  display.Press();
  display.Schedule([&] {
    display.DropMoves = true;
    display.MoveMouse(489, 359);
    display.Release();
  });
  display.Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(160, 140, 330, 220));
  // The loop has ended: a later motion with the button up sizes nothing.
  display.DropMoves = false;
  display.MoveMouse(600, 500);
  display.Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(160, 140, 330, 220));
  // Close pressed, then let go over the caption: the window stays.
  display.DropMoves = false;
  GetWindowRect(w, &r);
  display.MoveMouse(r.Right - 13, r.Top + 10);
  ASSERT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(r.Right - 13, r.Top + 10)), HTCLOSE);
  display.Press();
  display.Schedule([&] {
    display.DropMoves = true;
    display.MoveMouse(r.Left + 60, r.Top + 10);
    display.Release();
  });
  display.Pump();
  EXPECT_TRUE(IsWindow(w));
  EXPECT_EQ(GetCapture(), nullptr);
  display.DropMoves = false;
  DestroyWindow(w);

  // A scroll-bar thumb let go lower down ends there. Range 0-399 with a page of 200 on a
  // 200-pixel bar: arrows of 17, a track of 166, a thumb of 83 grabbed 13 below its top; let go
  // at y 110 its top stands at 80 of the 83 it can travel, position 80 * 200 / 83 = 192.
  HWND bar = CreateRecorded(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 200);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 399;
  si.nPage = 200;
  si.nPos = 0;
  SetScrollInfo(bar, SB_VERT, &si, true);
  display.Pump();
  int thumbPosition = -1;
  TRecorder::Get().Hook = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_VSCROLL && LOWORD(wp) == SB_THUMBPOSITION) thumbPosition = HIWORD(wp);
    return false;
  };
  display.MoveMouse(190, 30);
  display.Press();
  display.Schedule([&] {
    display.DropMoves = true;
    display.MoveMouse(190, 110);
    display.Release();
  });
  display.Pump();
  EXPECT_EQ(thumbPosition, 192);
  TRecorder::Get().Hook = nullptr;
  display.DropMoves = false;
  DestroyWindow(bar);
  SetDisplay(&Display);
}

TEST_F(MessageSequence, EdgeDragSizesTheWindowWithinItsLimits) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  Display.Pump();
  TRecorder::Get().Clear();
  Display.MoveMouse(399, 200);  // right edge
  Display.Press();
  Display.Schedule([&] { Display.MoveMouse(449, 260); });
  Display.Schedule([&] { Display.Release(); });
  Display.Pump();
  const std::vector<UINT> msgs = TRecorder::Get().Messages(w);
  ASSERT_GE(msgs.size(), 5u);
  EXPECT_EQ(TRecorder::Get().Log[1].WParam, WPARAM(HTRIGHT));
  EXPECT_EQ(TRecorder::Get().Log[2].WParam, WPARAM(SC_SIZE + WMSZ_RIGHT));
  EXPECT_NE(std::find(msgs.begin(), msgs.end(), UINT(WM_SIZING)), msgs.end());
  EXPECT_NE(std::find(msgs.begin(), msgs.end(), UINT(WM_SIZE)), msgs.end());
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(100, 100, 350, 200));  // only the right edge follows
  TRect c;
  GetClientRect(w, &c);
  EXPECT_EQ(c, (TRect{0, 0, 350 - 8, 200 - 27}));

  // Dragging the left edge far to the right stops at the minimum tracking width.
  Display.MoveMouse(100, 200);
  Display.Press();
  Display.Schedule([&] { Display.MoveMouse(440, 200); });
  Display.Schedule([&] { Display.Release(); });
  Display.Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r.Width(), GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(r.Right, 450);
}

TEST_F(MessageSequence, CaptureKeepsMouseMessagesOutsideTheWindow) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 100, 100, 100, 100);
  Display.Pump();
  TRecorder::Get().Hook = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_LBUTTONDOWN) SetCapture(h);
    if (m == WM_LBUTTONUP) ReleaseCapture();
    return false;
  };
  TRecorder::Get().Clear();
  Display.MoveMouse(150, 150);
  Display.Press();
  Display.MoveMouse(400, 30);  // far outside
  Display.Release();
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP,
                  WM_CAPTURECHANGED);
  const TRecorded& outside = TRecorder::Get().Log[2];
  EXPECT_EQ(GET_X_LPARAM(outside.LParam), 300);
  EXPECT_EQ(GET_Y_LPARAM(outside.LParam), -70);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MessageSequence, MouseLeaveArrivesOnceWhenThePointerGoes) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 100, 100, 100, 100);
  HWND other = CreateRecorded(WS_POPUP | WS_VISIBLE, 300, 100, 100, 100);
  Display.Pump();
  TRecorder::Get().Hook = [w](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_MOUSEMOVE && h == w) {
      TRACKMOUSEEVENT t;
      t.dwFlags = TME_LEAVE;
      t.hwndTrack = h;
      TrackMouseEvent(&t);
    }
    return false;
  };
  TRecorder::Get().Clear();
  Display.MoveMouse(150, 150);
  Display.MoveMouse(160, 150);
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_MOUSEMOVE, WM_MOUSEMOVE);
  Display.MoveMouse(350, 150);
  Display.MoveMouse(360, 150);
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSELEAVE);
  EXPECT_MESSAGES(TRecorder::Get().Messages(other), WM_MOUSEMOVE, WM_MOUSEMOVE);
  // Moving from the client onto the window's own frame also leaves the client.
  HWND framed = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 100, 200, 150);
  Display.Pump();
  TRecorder::Get().Clear();
  TRecorder::Get().Hook = [framed](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_MOUSEMOVE && h == framed) {
      TRACKMOUSEEVENT t;
      t.dwFlags = TME_LEAVE;
      t.hwndTrack = h;
      TrackMouseEvent(&t);
    }
    return false;
  };
  Display.MoveMouse(600, 200);
  Display.MoveMouse(600, 110);  // caption
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(framed), WM_MOUSEMOVE, WM_MOUSELEAVE, WM_NCMOUSEMOVE);
}

TEST_F(MessageSequence, MaximiseFillsTheWorkAreaAndRestoreComesBack) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  Display.Pump();
  TRecorder::Get().Clear();
  SendMessage(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (TRect{-4, -4, 1284, 988}));
  EXPECT_TRUE(IsZoomed(w));
  const std::vector<TRecorded>& log = TRecorder::Get().Log;
  auto size = std::find_if(log.begin(), log.end(), [](const TRecorded& m) { return m.Message == WM_SIZE; });
  ASSERT_NE(size, log.end());
  EXPECT_EQ(size->WParam, WPARAM(SIZE_MAXIMIZED));
  // A double click on the caption restores.
  Display.Click(600, 10);
  Display.Click(600, 10);
  Display.Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(100, 100, 300, 200));
  EXPECT_FALSE(IsZoomed(w));
}

TEST_F(MessageSequence, MinimiseShowsACaptionBarAndRestores) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  Display.Pump();
  SendMessage(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Display.Pump();
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(0, 984 - GetSystemMetrics(SM_CYMINIMIZED), 160, GetSystemMetrics(SM_CYMINIMIZED)));
  TRect c;
  GetClientRect(w, &c);
  EXPECT_TRUE(c.IsEmpty());
  EXPECT_TRUE(IsIconic(w));
  // The minimised bar answers HTCAPTION and a double click restores the window.
  Display.Click(40, r.Top + 10);
  Display.Click(40, r.Top + 10);
  Display.Pump();
  EXPECT_FALSE(IsIconic(w));
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(100, 100, 300, 200));
}

}  // namespace
