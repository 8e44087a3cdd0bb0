#include <gtest/gtest.h>

#include "platform/graphics/DC.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000, kBlack = 0;

struct Canvas {
  TDib Bmp;
  TDC DC;
  Canvas(int w, int h, bool bottomUp = false) : Bmp(w, h, 24, bottomUp), DC(&Bmp) { Bmp.Fill(kWhite); }
  COLORREF At(int x, int y) const { return Bmp.GetPixel(x, y); }
  // Pixels that differ from white, as a list of points.
  std::vector<TPoint> Painted() const {
    std::vector<TPoint> out;
    for (int y = 0; y < Bmp.Height(); ++y)
      for (int x = 0; x < Bmp.Width(); ++x)
        if (Bmp.GetPixel(x, y) != kWhite) out.push_back({x, y});
    return out;
  }
};

TEST(DCLines, EndPointIsNotPainted) {
  Canvas c(20, 20);
  SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kRed));
  MoveToEx(&c.DC, 2, 5, nullptr);
  LineTo(&c.DC, 10, 5);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(c.At(x, 5), (x >= 2 && x < 10) ? kRed : kWhite) << x;
  // Vertical, drawn upwards: start painted, end not.
  MoveToEx(&c.DC, 15, 12, nullptr);
  LineTo(&c.DC, 15, 3);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(c.At(15, y), (y > 3 && y <= 12) ? kRed : kWhite) << y;
  TPoint pos;
  MoveToEx(&c.DC, 0, 0, &pos);
  EXPECT_EQ(pos, (TPoint{15, 3}));
}

TEST(DCLines, DiagonalStopsBeforeEndAndZeroLengthPaintsNothing) {
  Canvas c(10, 10);
  SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kBlue));
  MoveToEx(&c.DC, 0, 0, nullptr);
  LineTo(&c.DC, 4, 4);
  EXPECT_EQ(c.Painted(), (std::vector<TPoint>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
  MoveToEx(&c.DC, 7, 7, nullptr);
  LineTo(&c.DC, 7, 7);
  EXPECT_EQ(c.At(7, 7), kWhite);
}

TEST(DCLines, PenKeepsLastColourAndNullPenOnlyMoves) {
  Canvas c(10, 4);
  SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kRed));
  SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kBlue));
  MoveToEx(&c.DC, 0, 1, nullptr);
  LineTo(&c.DC, 5, 1);
  EXPECT_EQ(c.At(4, 1), kBlue);
  EXPECT_EQ(c.DC.State().Pen.Color, kBlue);
  SelectPen(&c.DC, CreatePen(PS_NULL, 1, kRed));
  LineTo(&c.DC, 9, 1);
  EXPECT_EQ(c.At(6, 1), kWhite);
  EXPECT_EQ(c.DC.State().CurrentPos, (TPoint{9, 1}));
}

TEST(DCLines, NotRopInvertsDestination) {
  Canvas c(6, 2);
  c.Bmp.SetPixel(1, 0, RGB(10, 20, 30));
  SetROP2(&c.DC, R2_NOT);
  SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kRed));
  MoveToEx(&c.DC, 0, 0, nullptr);
  LineTo(&c.DC, 3, 0);
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_EQ(c.At(1, 0), RGB(245, 235, 225));
  EXPECT_EQ(c.At(3, 0), kWhite);
}

TEST(DCLines, PolylineJoinsPointsAndKeepsCurrentPosition) {
  Canvas c(10, 10);
  SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kRed));
  MoveToEx(&c.DC, 9, 9, nullptr);
  const TPoint pts[] = {{1, 1}, {5, 1}, {5, 5}};
  Polyline(&c.DC, pts, 3);
  EXPECT_EQ(c.Painted(), (std::vector<TPoint>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {5, 2}, {5, 3}, {5, 4}}));
  EXPECT_EQ(c.DC.State().CurrentPos, (TPoint{9, 9}));
}

TEST(DCClip, NothingOutsideTheClipIsTouchedWithOffsetOrigin) {
  for (bool bottomUp : {false, true}) {
    Canvas c(40, 30, bottomUp);
    SetViewportOrgEx(&c.DC, 5, 7, nullptr);
    IntersectClipRect(&c.DC, 0, 0, 10, 10);  // logical: surface (5,7)-(15,17)
    ExcludeClipRect(&c.DC, 2, 2, 4, 4);      // surface (7,9)-(9,11)
    TRect all{-100, -100, 100, 100};
    FillRect(&c.DC, &all, CreateSolidBrush(kRed));
    SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kBlue));
    MoveToEx(&c.DC, -20, 1, nullptr);
    LineTo(&c.DC, 60, 1);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool inClip = x >= 5 && x < 15 && y >= 7 && y < 17 && !(x >= 7 && x < 9 && y >= 9 && y < 11);
        const COLORREF expected = !inClip ? kWhite : (y == 8 ? kBlue : kRed);
        ASSERT_EQ(c.At(x, y), expected) << x << "," << y << " bottomUp=" << bottomUp;
      }
    TRect box;
    EXPECT_EQ(GetClipBox(&c.DC, &box), COMPLEXREGION);
    EXPECT_EQ(box, (TRect{0, 0, 10, 10}));
    TRect inHole{2, 2, 4, 4}, partly{8, 8, 30, 30}, outside{11, 0, 20, 5};
    EXPECT_FALSE(RectVisible(&c.DC, &inHole));
    EXPECT_TRUE(RectVisible(&c.DC, &partly));
    EXPECT_FALSE(RectVisible(&c.DC, &outside));
  }
}

TEST(DCClip, SelectClipRgnUsesDeviceCoordinatesAndSaveRestoreBringsStateBack) {
  Canvas c(20, 20);
  SetViewportOrgEx(&c.DC, 3, 3, nullptr);
  TRegion rgn = CreateRectRgn(0, 0, 5, 5);  // device coordinates: not moved by the origin
  EXPECT_EQ(SelectClipRgn(&c.DC, &rgn), SIMPLEREGION);
  const int level = SaveDC(&c.DC);
  EXPECT_EQ(level, 1);
  IntersectClipRect(&c.DC, 0, 0, 1, 1);  // logical (0,0) = device (3,3)
  SetTextColor(&c.DC, kRed);
  SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kRed));
  TRect box;
  GetClipBox(&c.DC, &box);
  EXPECT_EQ(box, (TRect{0, 0, 1, 1}));
  SaveDC(&c.DC);
  SetViewportOrgEx(&c.DC, 0, 0, nullptr);
  EXPECT_TRUE(RestoreDC(&c.DC, level));  // pops both levels
  EXPECT_EQ(c.DC.SaveLevel(), 0);
  GetClipBox(&c.DC, &box);
  EXPECT_EQ(box, (TRect{-3, -3, 2, 2}));
  EXPECT_EQ(GetTextColor(&c.DC), kBlack);
  EXPECT_EQ(c.DC.State().Pen.Color, kBlack);
  EXPECT_FALSE(RestoreDC(&c.DC, -1));
  EXPECT_EQ(SelectClipRgn(&c.DC, nullptr), SIMPLEREGION);
  GetClipBox(&c.DC, &box);
  EXPECT_EQ(box, (TRect{-3, -3, 17, 17}));
}

TEST(DCClip, WindowContextHonoursDeviceOriginAndVisibleRegion) {
  Canvas c(30, 30);
  c.DC.SetDeviceOrigin({10, 10});
  TRegion vis = CreateRectRgn(0, 0, 8, 8);
  vis = vis.Subtract(TRegion(TRect{2, 2, 4, 4}));  // a child window's place
  c.DC.SetVisRegion(vis);
  TRect all{-50, -50, 50, 50};
  FillRect(&c.DC, &all, CreateSolidBrush(kBlue));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool in = x >= 10 && x < 18 && y >= 10 && y < 18 && !(x >= 12 && x < 14 && y >= 12 && y < 14);
      ASSERT_EQ(c.At(x, y), in ? kBlue : kWhite) << x << "," << y;
    }
  EXPECT_EQ(GetPixel(&c.DC, 0, 0), kBlue);
  EXPECT_EQ(GetPixel(&c.DC, 2, 2), CLR_INVALID);
}

TEST(DCShapes, RectangleOutlinesWithPenAndFillsWithBrush) {
  Canvas c(10, 10);
  SelectPen(&c.DC, CreatePen(PS_SOLID, 1, kBlue));
  SelectBrush(&c.DC, CreateSolidBrush(kRed));
  Rectangle(&c.DC, 1, 1, 5, 4);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      COLORREF e = kWhite;
      if (x >= 1 && x < 5 && y >= 1 && y < 4) e = (x == 1 || x == 4 || y == 1 || y == 3) ? kBlue : kRed;
      ASSERT_EQ(c.At(x, y), e) << x << "," << y;
    }
}

TEST(DCShapes, NullPenShrinksTheFilledAreaByOnePixel) {
  Canvas c(10, 10);
  SelectPen(&c.DC, CreatePen(PS_NULL, 1, 0));
  SelectBrush(&c.DC, CreateSolidBrush(kRed));
  Rectangle(&c.DC, 2, 2, 6, 6);
  EXPECT_EQ(c.Painted().size(), 9u);
  EXPECT_EQ(c.At(2, 2), kRed);
  EXPECT_EQ(c.At(4, 4), kRed);
  EXPECT_EQ(c.At(5, 5), kWhite);
  // FillRect has no such quirk.
  Canvas f(10, 10);
  TRect r{2, 2, 6, 6};
  FillRect(&f.DC, &r, CreateSolidBrush(kRed));
  EXPECT_EQ(f.Painted().size(), 16u);
}

TEST(DCShapes, RoundRectWithoutOutlineIsSymmetricAndCutsCorners) {
  Canvas c(21, 21);
  SelectPen(&c.DC, CreatePen(PS_NULL, 1, 0));
  SelectBrush(&c.DC, CreateSolidBrush(kRed));
  RoundRect(&c.DC, 0, 0, 21, 21, 8, 8);  // fills a 20 x 20 area
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(19, 19), kWhite);
  EXPECT_EQ(c.At(10, 0), kRed);
  EXPECT_EQ(c.At(0, 10), kRed);
  EXPECT_EQ(c.At(10, 10), kRed);
  for (int y = 0; y < 21; ++y) EXPECT_EQ(c.At(20, y), kWhite);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      ASSERT_EQ(c.At(x, y), c.At(19 - x, y)) << x << "," << y;
      ASSERT_EQ(c.At(x, y), c.At(x, 19 - y)) << x << "," << y;
    }
}

TEST(DCShapes, FrameAndInvert) {
  Canvas c(6, 6);
  TRect r{1, 1, 5, 5};
  FrameRect(&c.DC, &r, CreateSolidBrush(kBlack));
  EXPECT_EQ(c.Painted().size(), 12u);
  InvertRect(&c.DC, &r);
  EXPECT_EQ(c.At(1, 1), kWhite);
  EXPECT_EQ(c.At(2, 2), kBlack);
}

}  // namespace
