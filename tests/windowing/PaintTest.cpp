#include "tests/windowing/WindowingTestSupport.h"

namespace {

using Paint = HeadlessTest;

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

// Paints every WM_PAINT of the recorder windows: the whole client in `color`, remembering
// the paint rectangle.
struct TFillOnPaint {
  COLORREF Color;
  std::vector<TRect> PaintRects;
};

void FillOnPaint(std::map<HWND, TFillOnPaint>* fills) {
  TRecorder::Get().Hook = [fills](HWND h, UINT m, WPARAM, LPARAM, LRESULT& result) {
    if (m != WM_PAINT || !fills->count(h)) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    TRect all{-1000, -1000, 1000, 1000};
    FillRect(dc, &all, CreateSolidBrush((*fills)[h].Color));
    (*fills)[h].PaintRects.push_back(ps.rcPaint);
    EndPaint(h, &ps);
    result = 0;
    return true;
  };
}

TEST_F(Paint, OneWmPaintPerInvalidationClippedToTheUpdateRegion) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 10, 10, 100, 80);
  std::map<HWND, TFillOnPaint> fills{{w, {kRed, {}}}};
  FillOnPaint(&fills);
  Display.Pump();
  ASSERT_EQ(fills[w].PaintRects.size(), 1u);
  EXPECT_EQ(fills[w].PaintRects[0], (TRect{0, 0, 100, 80}));
  fills[w].Color = kBlue;
  TRect a{5, 5, 15, 15}, b{50, 40, 60, 50};
  InvalidateRect(w, &a, false);
  InvalidateRect(w, &b, false);
  InvalidateRect(w, &a, false);
  Display.Pump();
  ASSERT_EQ(fills[w].PaintRects.size(), 2u);  // the three invalidations give one paint
  EXPECT_EQ(fills[w].PaintRects[1], (TRect{5, 5, 60, 50}));
  const TDib shot = Display.Screenshot();
  for (int y = 10; y < 90; ++y)
    for (int x = 10; x < 110; ++x) {
      const bool inUpdate = a.Offset(10, 10).Contains(x, y) || b.Offset(10, 10).Contains(x, y);
      ASSERT_EQ(shot.GetPixel(x, y), inUpdate ? kBlue : kRed) << x << "," << y;
    }
  ValidateRect(w, nullptr);
  InvalidateRect(w, &a, false);
  ValidateRect(w, &a);
  Display.Pump();
  EXPECT_EQ(fills[w].PaintRects.size(), 2u);
}

TEST_F(Paint, ParentWithClipChildrenNeverPaintsOverItsChildren) {
  HWND parent = CreateRecorded(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
  HWND child = CreateRecorded(WS_CHILD | WS_VISIBLE, 20, 20, 30, 30, parent);
  std::map<HWND, TFillOnPaint> fills{{parent, {kRed, {}}}, {child, {kBlue, {}}}};
  FillOnPaint(&fills);
  Display.Pump();
  EXPECT_EQ(fills[parent].PaintRects.size(), 1u);
  EXPECT_EQ(fills[child].PaintRects.size(), 1u);
  fills[child].Color = kWhite;
  InvalidateRect(parent, nullptr, true);  // the child is not invalidated through a clipping parent
  Display.Pump();
  EXPECT_EQ(fills[parent].PaintRects.size(), 2u);
  EXPECT_EQ(fills[child].PaintRects.size(), 1u);
  EXPECT_EQ(Display.ScreenPixel(25, 25), kBlue);
  EXPECT_EQ(Display.ScreenPixel(10, 10), kRed);
  // A parent without the clip style hands invalidation down to the child.
  SetWindowStyle(parent, GetWindowStyle(parent) & ~WS_CLIPCHILDREN);
  InvalidateRect(parent, nullptr, true);
  Display.Pump();
  EXPECT_EQ(fills[child].PaintRects.size(), 2u);
  EXPECT_EQ(Display.ScreenPixel(25, 25), kWhite);
}

TEST_F(Paint, SiblingClippingFollowsTheStyle) {
  HWND parent = CreateRecorded(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
  HWND lower = CreateRecorded(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 60, 60, parent);
  HWND upper = CreateRecorded(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 40, 40, 60, 60, parent);  // created last: on top
  std::map<HWND, TFillOnPaint> fills{{parent, {kWhite, {}}}, {lower, {kRed, {}}}, {upper, {kBlue, {}}}};
  FillOnPaint(&fills);
  Display.Pump();
  InvalidateRect(lower, nullptr, false);
  Display.Pump();
  EXPECT_EQ(Display.ScreenPixel(50, 50), kBlue);  // the upper sibling stays on top
  EXPECT_EQ(Display.ScreenPixel(30, 30), kRed);
}

// Content scrolled one child at a time: the lower child is moved (and painted at once) while
// the upper one still covers its new place, so it paints nothing there; when the upper one
// moves away, the part of the lower child it uncovers is painted again.
TEST_F(Paint, AChildMovingAwayUncoversTheSiblingUnderIt) {
  HWND parent = CreateRecorded(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 200, 200);
  HWND lower = CreateRecorded(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 120, 60, 30, parent);
  HWND upper = CreateRecorded(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 60, 100, 50, parent);  // on top
  std::map<HWND, TFillOnPaint> fills{{parent, {kWhite, {}}}, {lower, {kRed, {}}}, {upper, {kBlue, {}}}};
  FillOnPaint(&fills);
  Display.Pump();
  ASSERT_EQ(Display.ScreenPixel(40, 130), kRed);
  SetWindowPos(lower, nullptr, 10, 70, 60, 30, SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateWindow(lower);  // wholly under the upper child: validated, nothing drawn
  EXPECT_EQ(Display.ScreenPixel(40, 80), kBlue);
  SetWindowPos(upper, nullptr, 10, 10, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
  Display.Pump();
  EXPECT_EQ(Display.ScreenPixel(40, 80), kRed);   // the lower child, uncovered
  EXPECT_EQ(Display.ScreenPixel(40, 30), kBlue);  // the upper child in its new place
  EXPECT_EQ(Display.ScreenPixel(40, 130), kWhite);  // the parent where the lower child was
}

TEST_F(Paint, EraseComesFromTheClassBackgroundWhenAsked) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  Display.Pump();
  HDC dc = GetDC(w);
  TRect all{0, 0, 50, 50};
  FillRect(dc, &all, CreateSolidBrush(kRed));
  ReleaseDC(w, dc);
  Display.Pump();
  EXPECT_EQ(Display.ScreenPixel(5, 5), kRed);
  InvalidateRect(w, nullptr, false);
  Display.Pump();
  EXPECT_EQ(Display.ScreenPixel(5, 5), kRed);  // no erase requested
  InvalidateRect(w, nullptr, true);
  Display.Pump();
  EXPECT_EQ(Display.ScreenPixel(5, 5), kWhite);
}

TEST_F(Paint, RedrawWindowUpdateNowPaintsAtOnceWithFrameAndChildren) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150);
  HWND child = CreateRecorded(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, w);
  Display.Pump();
  TRecorder::Get().Clear();
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_PAINT, WM_NCPAINT);
  EXPECT_MESSAGES(TRecorder::Get().Messages(child), WM_PAINT);
  TRecorder::Get().Clear();
  RedrawWindow(w, nullptr, nullptr, RDW_INTERNALPAINT);
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_PAINT);
}

TEST_F(Paint, WindowRegionCutsPixelsAndHits) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 100, 100, 40, 40);
  std::map<HWND, TFillOnPaint> fills{{w, {kRed, {}}}};
  FillOnPaint(&fills);
  TRegion outline = CreateRectRgn(0, 0, 40, 40).Subtract(CreateRectRgn(0, 0, 10, 10));
  SetWindowRgn(w, &outline, true);
  Display.Pump();
  EXPECT_EQ(Display.ScreenPixel(105, 105), GetSysColor(COLOR_BACKGROUND));  // the desktop shows through
  EXPECT_EQ(Display.ScreenPixel(115, 105), kRed);
  EXPECT_EQ(WindowFromPoint({105, 105}), nullptr);
  EXPECT_EQ(WindowFromPoint({115, 105}), w);
  // Painting through a device context never reaches the cut-out part either.
  const COLORREF before = GetWindowSurface(w)->GetPixel(5, 5);
  HDC dc = GetWindowDC(w);
  TRect all{0, 0, 40, 40};
  FillRect(dc, &all, CreateSolidBrush(kBlue));
  ReleaseDC(w, dc);
  EXPECT_EQ(GetWindowSurface(w)->GetPixel(5, 5), before);
  EXPECT_EQ(GetWindowSurface(w)->GetPixel(15, 5), kBlue);
  SetWindowRgn(w, nullptr, true);
  EXPECT_EQ(WindowFromPoint({105, 105}), w);
}

TEST_F(Paint, PrintDrawsFrameClientAndChildrenIntoAnyContext) {
  HWND w = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 80);
  HWND child = CreateRecorded(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, w);
  TRecorder::Get().Hook = [child](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_PRINTCLIENT && h == child) {
      TRect all{0, 0, 20, 20};
      FillRect(reinterpret_cast<HDC>(wp), &all, CreateSolidBrush(kBlue));
    }
    return false;
  };
  TDib pic(100, 80);
  pic.Fill(0);
  TDC dc(&pic);
  SendMessage(w, WM_PRINT, reinterpret_cast<WPARAM>(&dc), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
  EXPECT_EQ(pic.GetPixel(4 + 15, 23 + 15), kBlue);       // the child's client, at its place
  EXPECT_EQ(pic.GetPixel(4 + 5, 23 + 5), kWhite);        // the window's erased background
  EXPECT_EQ(pic.GetPixel(0, 0), GetSysColor(COLOR_3DLIGHT));  // the frame's outer edge
}

}  // namespace
