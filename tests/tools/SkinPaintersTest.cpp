// The shared painters: where arrows, grips, glass faces, panels, headers, title buttons and
// textures put their pixels, and in which of the skin's colours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tools/skinart/BlueGlass.h"
#include "tools/skinart/Borders.h"
#include "tools/skinart/Glass.h"
#include "tools/skinart/Glyphs.h"
#include "tools/skinart/Patterns.h"

using namespace SkinArt;

namespace {

const TSkinColours& Colours() {
  static const TSkinColours colours = BlueGlassColours();
  return colours;
}

int Covered(const TLayer& layer) {
  int n = 0;
  for (int y = 0; y < layer.Height(); ++y)
    for (int x = 0; x < layer.Width(); ++x) n += layer.Alpha(x, y) == 1.0f ? 1 : 0;
  return n;
}

float Brightness(TRgb c) { return c.R + c.G + c.B; }

}  // namespace

TEST(SkinPainters, ArrowsAreWedgesOfFourCentredColumnsOrRows) {
  // Right: columns of 8, 6, 4 and 2 from x = 1 in a 6 x 8 frame.
  const TLayer right = ArrowRight(Colours())(0, 6, 8);
  EXPECT_EQ(Covered(right), 8 + 6 + 4 + 2);
  EXPECT_EQ(right.Alpha(1, 0), 1.0f);
  EXPECT_EQ(right.Alpha(4, 3), 1.0f);
  EXPECT_EQ(right.Alpha(4, 2), 0.0f);
  EXPECT_EQ(right.Alpha(5, 3), 0.0f);
  // Down: rows of 7, 5, 3 and 1 from (1, 1) in a 9 x 6 frame.
  const TLayer down = ComboArrow(Colours())(1, 9, 6);
  EXPECT_EQ(Covered(down), 7 + 5 + 3 + 1);
  EXPECT_EQ(down.Alpha(1, 1), 1.0f);
  EXPECT_EQ(down.Alpha(7, 1), 1.0f);
  EXPECT_EQ(down.Alpha(4, 4), 1.0f);
  EXPECT_EQ(down.Alpha(3, 4), 0.0f);
  EXPECT_EQ(ToColorRef(down.Colour(4, 4)), RGB(0x16, 0x5E, 0xB4));  // the hot arrow
}

TEST(SkinPainters, GripIsSixDotsWithLightBelowThem) {
  const TLayer grip = Grip(Colours())(0, 18, 18);
  // Dots of 2 x 2 at (13, 5); (9, 9), (13, 9); (5, 13), (9, 13), (13, 13).
  for (auto [x, y] : {std::pair{13, 5}, {9, 9}, {13, 9}, {5, 13}, {9, 13}, {13, 13}}) {
    EXPECT_EQ(ToColorRef(grip.Colour(x + 1, y + 1)), RGB(0x5A, 0x7E, 0xA6)) << x << "," << y;
    EXPECT_FLOAT_EQ(grip.Alpha(x + 2, y + 2), 0.9f) << x << "," << y;  // the light dot's free corner
  }
  EXPECT_EQ(Covered(grip), 6 * 4);
  EXPECT_EQ(grip.Alpha(5, 5), 0.0f);
}

TEST(SkinPainters, GlassFacesFollowTheirStyle) {
  TGlassStyle tool = ButtonStyle(Colours(), 3, 4);
  tool.FlatNormal = true;
  EXPECT_EQ(Covered(PaintGlass(Colours(), tool, 0, 15, 15)), 0);
  EXPECT_GT(Covered(PaintGlass(Colours(), tool, 1, 15, 15)), 100);

  // With a shadow the last row is only the shadow, at 0.22.
  const TLayer button = PaintGlass(Colours(), ButtonStyle(Colours()), 0, 15, 15);
  EXPECT_NEAR(button.Alpha(7, 14), 0.22f, 1e-6);
  EXPECT_EQ(ToColorRef(button.Colour(7, 13)), RGB(0x3C, 0x6E, 0xA6));  // the outline above it

  // A tab open at the bottom runs its face to the last row, without outline or glow.
  TGlassStyle tab = ButtonStyle(Colours());
  tab.OpenBottom = true;
  tab.Shadow = false;
  const TLayer open = PaintGlass(Colours(), tab, 0, 15, 15);
  EXPECT_EQ(ToColorRef(open.Colour(7, 14)), RGB(0xA4, 0xC8, 0xEC));
  EXPECT_EQ(open.Alpha(7, 14), 1.0f);
}

TEST(SkinPainters, PanelsAreLitFromTheTopLeftUnlessLowered) {
  const TRgb fill = Colours()[ikPanel];
  const TLayer raised = Panel(Colours(), pkRaised, fill)(0, 12, 12);
  const TLayer lowered = Panel(Colours(), pkLowered, fill)(0, 12, 12);
  EXPECT_GT(Brightness(raised.Colour(5, 1)), Brightness(raised.Colour(5, 10)));
  EXPECT_LT(Brightness(lowered.Colour(5, 1)), Brightness(lowered.Colour(5, 10)));
  EXPECT_EQ(ToColorRef(raised.Colour(5, 5)), ToColorRef(fill));
  EXPECT_EQ(ToColorRef(raised.Colour(5, 0)), RGB(0x9A, 0xB6, 0xD2));
  EXPECT_EQ(ToColorRef(lowered.Colour(5, 0)), RGB(0x84, 0xA2, 0xC2));
  // The fill and the outline each cover 6 of the rounded corner pixel's 16 samples: a soft
  // corner, laid over the fill where the picture is stored.
  EXPECT_FLOAT_EQ(raised.Alpha(0, 0), 6 / 16.0f + 6 / 16.0f * 10 / 16.0f);
}

TEST(SkinPainters, HeadersLineTheirBottomAndMarkTheHotState) {
  const TLayer normal = Header(Colours())(0, 15, 15), hot = Header(Colours())(1, 15, 15);
  EXPECT_EQ(ToColorRef(normal.Colour(3, 14)), RGB(0x86, 0xA6, 0xC8));
  EXPECT_EQ(ToColorRef(hot.Colour(3, 14)), RGB(0x86, 0xA6, 0xC8));
  EXPECT_EQ(ToColorRef(normal.Colour(14, 7)), RGB(0xA8, 0xC0, 0xDA));  // the separator
  EXPECT_EQ(ToColorRef(normal.Colour(3, 12)), ToColorRef(Colours()[ikHeaderBottom]));
  EXPECT_NE(ToColorRef(hot.Colour(3, 12)), ToColorRef(Colours()[ikHeaderBottomHot]));  // under the hot line
}

TEST(SkinPainters, TitleButtonsLeaveAMarginAndCarryAWhiteSymbol) {
  for (TTitleSymbol symbol : {tsNone, tsClose, tsMax, tsMin, tsHelp}) {
    const TLayer layer = TitleGlyph(Colours(), symbol)(0, 20, 20);
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(layer.Alpha(0, i), 0.0f) << symbol;
      EXPECT_EQ(layer.Alpha(i, 0), 0.0f) << symbol;
    }
  }
  EXPECT_EQ(ToColorRef(TitleGlyph(Colours(), tsClose)(0, 20, 20).Colour(10, 10)), RGB(255, 255, 255));  // where the strokes cross
  EXPECT_NE(ToColorRef(TitleGlyph(Colours(), tsNone)(0, 20, 20).Colour(10, 10)), RGB(255, 255, 255));
  // Hot, the close button turns red and the others stay blue.
  const TRgb close = TitleGlyph(Colours(), tsClose)(1, 20, 20).Colour(3, 16);
  const TRgb max = TitleGlyph(Colours(), tsMax)(1, 20, 20).Colour(3, 16);
  EXPECT_GT(close.R, close.B);
  EXPECT_LT(max.R, max.B);
}

TEST(SkinPainters, SheenStepsByThreeWithDarkerEveryThirdRow) {
  const TRgb base = Rgb(100, 100, 100);
  const TLayer layer = Sheen(base)(0, 12, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) {
      const int lift = int(std::lround(layer.Colour(x, y).R - base.R)) + (y % 3 == 0 ? 4 : 0);
      EXPECT_TRUE(lift >= 0 && lift <= 12 && lift % 3 == 0) << x << "," << y << ": " << lift;
    }
}

TEST(SkinPainters, BrushedPatternsStreakAlongTheRows) {
  const TDib dib = DrawPattern(ptBrushed, Rgb(0x80, 0x80, 0x80), 64, 48);
  long along = 0, across = 0, sum = 0;
  for (int y = 0; y + 1 < 48; ++y)
    for (int x = 0; x + 1 < 64; ++x) {
      const int v = GetRValue(dib.GetPixel(x, y));
      along += std::abs(GetRValue(dib.GetPixel(x + 1, y)) - v);
      across += std::abs(GetRValue(dib.GetPixel(x, y + 1)) - v);
      sum += v;
    }
  EXPECT_LT(along * 2, across);
  EXPECT_NEAR(double(sum) / (63 * 47), 0x80, 4);
}
