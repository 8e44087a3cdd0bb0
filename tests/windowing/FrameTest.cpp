#include "tests/windowing/WindowingTestSupport.h"

namespace {

using ClassicFrame = HeadlessTest;

LRESULT HitAt(HWND w, int x, int y) {
  TRect r;
  GetWindowRect(w, &r);
  return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(r.Left + x, r.Top + y));
}

TEST_F(ClassicFrame, ClientAreaFollowsTheStyles) {
  struct Case {
    uint32_t style, ex;
    TRect client;  // in window coordinates
  } cases[] = {
      {WS_OVERLAPPEDWINDOW, 0, {4, 23, 296, 196}},
      {WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, {3, 22, 297, 197}},  // fixed dialog frame
      {WS_POPUP | WS_BORDER, 0, {1, 1, 299, 199}},
      {WS_POPUP, 0, {0, 0, 300, 200}},
      {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, {3, 18, 297, 197}},
      {WS_POPUP, WS_EX_CLIENTEDGE, {2, 2, 298, 198}},
  };
  for (const Case& c : cases) {
    HWND w = CreateRecorded(c.style | WS_VISIBLE, 0, 0, 300, 200, nullptr, c.ex);
    TRect client;
    GetClientRect(w, &client);
    TPoint origin{0, 0};
    ClientToScreen(w, &origin);
    EXPECT_EQ(client.Offset(origin.X, origin.Y), c.client) << std::hex << c.style << " " << c.ex;
    DestroyWindow(w);
  }
}

TEST_F(ClassicFrame, HitCodesOverEveryPartOfTheFrame) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200);
  struct Probe {
    int x, y;
    LRESULT expected;
  } probes[] = {
      {150, 100, HTCLIENT},    {150, 10, HTCAPTION},     {7, 10, HTSYSMENU},        {20, 10, HTSYSMENU},
      {287, 10, HTCLOSE},      {265, 10, HTMAXBUTTON},   {249, 10, HTMINBUTTON},   {0, 100, HTLEFT},
      {299, 100, HTRIGHT},     {150, 0, HTTOP},          {150, 199, HTBOTTOM},     {0, 0, HTTOPLEFT},
      {10, 0, HTTOPLEFT},      {0, 15, HTTOPLEFT},       {299, 0, HTTOPRIGHT},     {0, 199, HTBOTTOMLEFT},
      {299, 199, HTBOTTOMRIGHT}, {290, 199, HTBOTTOMRIGHT}, {-1, 100, HTNOWHERE}, {300, 100, HTNOWHERE},
  };
  for (const Probe& p : probes) EXPECT_EQ(HitAt(w, p.x, p.y), p.expected) << p.x << "," << p.y;
  // Without a sizing frame the border is just a border; maximised windows cannot be sized.
  HWND fixed = CreateRecorded(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 400, 60, 200, 100);
  EXPECT_EQ(HitAt(fixed, 0, 50), HTBORDER);
  EXPECT_EQ(HitAt(fixed, 100, 1), HTBORDER);
  ShowWindow(w, SW_MAXIMIZE);
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(HitAt(w, 1, 300), HTBORDER);
}

TEST_F(ClassicFrame, CaptionButtonSendsItsCommandOnlyWhenReleasedOverIt) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
  Display.Pump();
  // Press close, slide off to the caption, release: nothing happens.
  Display.MoveMouse(287, 10);
  Display.Press();
  Display.Schedule([&] { Display.MoveMouse(150, 10); });
  Display.Schedule([&] { Display.Release(); });
  Display.Pump();
  EXPECT_TRUE(IsWindow(w));
  // Press minimise and release over it: the window minimises.
  TRecorder::Get().Clear();
  Display.MoveMouse(249, 10);
  Display.Press();
  Display.Schedule([&] { Display.Release(); });
  Display.Pump();
  EXPECT_TRUE(IsIconic(w));
  bool sawMinimize = false;
  for (const TRecorded& r : TRecorder::Get().Log)
    if (r.Message == WM_SYSCOMMAND && (r.WParam & 0xFFF0) == SC_MINIMIZE) sawMinimize = true;
  EXPECT_TRUE(sawMinimize);
}

TEST_F(ClassicFrame, PressedButtonIsDrawnSunkenWhileHeld) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
  Display.Pump();
  const COLORREF raisedTopLeft = Display.ScreenPixel(280, 6);
  COLORREF whileHeld = 0;
  Display.MoveMouse(287, 10);
  Display.Press();
  Display.Schedule([&] { whileHeld = Display.ScreenPixel(280, 6); });
  Display.Schedule([&] { Display.MoveMouse(150, 10); });
  Display.Schedule([&] { Display.Release(); });
  Display.Pump();
  EXPECT_EQ(raisedTopLeft, GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(whileHeld, GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(Display.ScreenPixel(280, 6), GetSysColor(COLOR_3DLIGHT));
  (void)w;
}

TEST_F(ClassicFrame, ScrollBarArrowsPagesAndThumbReportScrolls) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 200);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 399;
  si.nPage = 200;
  si.nPos = 500;  // clamped to the last page
  EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, true), 200);
  TRect c;
  GetClientRect(w, &c);
  EXPECT_EQ(c.Width(), 200 - 17);
  SetScrollPos(w, SB_VERT, 0, true);
  Display.Pump();
  std::vector<WPARAM> codes;
  TRecorder::Get().Hook = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_VSCROLL) codes.push_back(LOWORD(wp));
    return false;
  };
  // The down arrow: one line at once, repeats after 400 ms while held.
  Display.MoveMouse(190, 190);
  Display.Press();
  Display.ScheduleWait(550);
  Display.Schedule([&] { Display.Release(); });
  Display.Pump();
  EXPECT_EQ(codes, (std::vector<WPARAM>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
  // The page area below the thumb.
  codes.clear();
  Display.Click(190, 170);
  Display.Pump();
  EXPECT_EQ(codes, (std::vector<WPARAM>{SB_PAGEDOWN, SB_ENDSCROLL}));
  // The thumb (top half of the track) dragged down: track messages, then its position.
  codes.clear();
  Display.MoveMouse(190, 30);
  Display.Press();
  Display.Schedule([&] { Display.MoveMouse(190, 110); });
  Display.Schedule([&] { Display.Release(); });
  Display.Pump();
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes.front(), WPARAM(SB_THUMBTRACK));
  EXPECT_EQ(codes[codes.size() - 2], WPARAM(SB_THUMBPOSITION));
  EXPECT_EQ(codes.back(), WPARAM(SB_ENDSCROLL));
  ShowScrollBar(w, SB_VERT, false);
  GetClientRect(w, &c);
  EXPECT_EQ(c.Width(), 200);
}

}  // namespace
