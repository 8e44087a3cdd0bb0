#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "skin/data/sSkinText.h"
#include "skin/render/sGradient.h"
#include "skin/render/sPixelTools.h"

namespace {

TDib Filled(int w, int h, COLORREF color, bool bottomUp = false) {
  TDib dib(w, h, 24, bottomUp);
  dib.Fill(color);
  return dib;
}

// (a * w + b * (255 - w) + 127) >> 8, the blend of one byte.
uint8_t BlendByte(int a, int b, int w) { return uint8_t((a * w + b * (255 - w) + 127) >> 8); }

void FillRandom(TDib& dib, std::mt19937& rng) {
  for (size_t i = 0; i < dib.BitsSize(); ++i) dib.Bits()[i] = uint8_t(rng());
}

}  // namespace

// ---- Mixing with a colour -----------------------------------------------------------------------

TEST(PixelTools, MixColorRoundsHalvesToEvenAndZeroPercentGivesTheColour) {
  TDib white = Filled(3, 3, 0xFFFFFF);
  MixColor(&white, white.BoundsRect(), 50, clBlack);
  EXPECT_EQ(white.GetPixel(1, 1), RGB(128, 128, 128));  // 127.5 goes to the even 128

  TDib odd = Filled(3, 3, RGB(1, 3, 5));
  MixColor(&odd, odd.BoundsRect(), 50, clBlack);
  EXPECT_EQ(odd.GetPixel(0, 0), RGB(0, 2, 2));  // 0.5 -> 0, 1.5 -> 2, 2.5 -> 2

  TDib any = Filled(3, 3, RGB(17, 200, 99));
  MixColor(&any, any.BoundsRect(), 0, RGB(10, 20, 30));
  EXPECT_EQ(any.GetPixel(2, 2), RGB(10, 20, 30));

  TDib kept = Filled(3, 3, RGB(17, 200, 99));
  MixColor(&kept, kept.BoundsRect(), 100, RGB(10, 20, 30));
  EXPECT_EQ(kept.GetPixel(2, 2), RGB(17, 200, 99));

  // 30 % of 100 and 70 % of 200 (a system colour is resolved first).
  TDib sys = Filled(2, 2, RGB(100, 100, 100));
  MixColor(&sys, sys.BoundsRect(), 30, clBtnFace);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(GetRValue(sys.GetPixel(0, 0)), uint8_t(std::nearbyint(0.3 * 100 + 0.7 * GetRValue(face))));
}

TEST(PixelTools, MixColorBoundsAreInclusiveAndClipped) {
  TDib dib = Filled(5, 4, 0xFFFFFF, true);
  MixColor(&dib, Rect(1, 1, 3, 2), 0, clBlack);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 2;
      EXPECT_EQ(dib.GetPixel(x, y), inside ? 0u : 0xFFFFFFu) << x << "," << y;
    }
  MixColor(&dib, Rect(-3, -3, 40, 40), 0, RGB(1, 2, 3));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(dib.GetPixel(x, y), RGB(1, 2, 3));
}

TEST(PixelTools, MixColorGivesTheRoundedMixForEveryByteOfWideRows) {
  std::mt19937 rng(99);
  // Rows of 15, 51, 99, 147, 192 and 303 bytes: every mix of vector blocks and tails.
  for (int width : {7, 19, 35, 51, 66, 103}) {
    for (int percent : {0, 1, 30, 50, 99, 100}) {
      const COLORREF color = RGB(rng() & 255, rng() & 255, rng() & 255);
      const int channel[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
      TDib dib(width, 5, 24, true);
      FillRandom(dib, rng);
      const TDib before = dib;
      MixColor(&dib, Rect(1, 1, width - 2, 3), percent, TColor(color));
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < width; ++x)
          for (int k = 0; k < 3; ++k) {
            const int p = before.ScanLine(y)[x * 3 + k];
            int expected = p;
            if (x >= 1 && x <= width - 2 && y >= 1 && y <= 3) {
              // Exact hundredths, ties to even.
              const int n = percent * p + (100 - percent) * channel[k];
              expected = n / 100 + (n % 100 > 50 || (n % 100 == 50 && (n / 100) % 2 == 1));
            }
            ASSERT_EQ(dib.ScanLine(y)[x * 3 + k], expected) << width << " " << percent << " " << x << "," << y;
          }
    }
  }
}

// ---- Weighted blending ---------------------------------------------------------------------------

TEST(PixelTools, BlendWeightZeroTurns255Into254) {
  TDib dst = Filled(4, 3, 0);
  TDib src = Filled(4, 3, 0xFFFFFF);
  BlendSameSize(&dst, &src, 0);
  EXPECT_EQ(dst.GetPixel(3, 2), RGB(254, 254, 254));
  TDib keep = Filled(4, 3, 0xFFFFFF);
  TDib black = Filled(4, 3, 0);
  BlendSameSize(&keep, &black, 255);
  EXPECT_EQ(keep.GetPixel(0, 0), RGB(254, 254, 254));
}

TEST(PixelTools, BlendSameSizeGivesTheFormulaForEveryByteOfOddWidths) {
  std::mt19937 rng(1234);
  // Row lengths that go through 64-, 32- and 16-byte blocks in every combination, with and
  // without a tail.
  for (int width : {2, 3, 5, 6, 11, 16, 21, 27, 37, 101, 213}) {
    for (int weight : {0, 1, 127, 128, 200, 254, 255}) {
      for (bool bottomUp : {false, true}) {
        TDib dst(width, 7, 24, bottomUp), src(width, 7, 24, !bottomUp);
        FillRandom(dst, rng);
        FillRandom(src, rng);
        const TDib before = dst;
        BlendSameSize(&dst, &src, weight);
        for (int y = 0; y < 7; ++y) {
          const uint8_t* d = dst.ScanLine(y);
          const uint8_t* b = before.ScanLine(y);
          const uint8_t* s = src.ScanLine(y);
          for (int i = 0; i < width * 3; ++i)
            ASSERT_EQ(d[i], BlendByte(b[i], s[i], weight)) << "width " << width << " weight " << weight << " y " << y;
          // The row padding is not touched.
          for (int i = width * 3; i < dst.RowBytes(); ++i) ASSERT_EQ(d[i], b[i]);
        }
      }
    }
  }
}

TEST(PixelTools, BlendSameSizeNeedsEqualSizesOfAtLeastTwoPixels) {
  TDib dst = Filled(4, 3, 0), src = Filled(4, 4, 0xFFFFFF);
  BlendSameSize(&dst, &src, 0);
  EXPECT_EQ(dst.GetPixel(0, 0), 0u);
  TDib thin = Filled(1, 3, 0), thinSrc = Filled(1, 3, 0xFFFFFF);
  BlendSameSize(&thin, &thinSrc, 0);
  EXPECT_EQ(thin.GetPixel(0, 0), 0u);
}

TEST(PixelTools, BlendImageClipsThePointAndTheSourceRectangle) {
  // Source pixel (x, y) has red 10x + y + 1; weight 0 makes a destination byte (s*255+127)>>8.
  TDib src(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.SetPixel(x, y, RGB(10 * x + y + 1, 0, 0));
  auto blended = [](int s) { return BlendByte(0, s, 0); };

  TDib dst = Filled(4, 4, 0);
  BlendImage(&dst, &src, 0, {-1, -2}, Rect(0, 0, 4, 4));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool blendedHere = x <= 2 && y <= 1;
      EXPECT_EQ(GetRValue(dst.GetPixel(x, y)), blendedHere ? blended(10 * (x + 1) + (y + 2) + 1) : 0) << x << "," << y;
    }

  // A negative source corner moves the point instead.
  TDib moved = Filled(4, 4, 0);
  BlendImage(&moved, &src, 256, {0, 0}, Rect(-1, 0, 2, 1));  // only the low byte of the weight counts
  EXPECT_EQ(GetRValue(moved.GetPixel(0, 0)), 0);
  EXPECT_EQ(GetRValue(moved.GetPixel(1, 0)), blended(1));
  EXPECT_EQ(GetRValue(moved.GetPixel(2, 0)), blended(11));
  EXPECT_EQ(GetRValue(moved.GetPixel(3, 0)), 0);
  EXPECT_EQ(GetRValue(moved.GetPixel(1, 1)), 0);

  // The source is cut to its own size and to what fits from the point.
  TDib cut = Filled(4, 4, 0);
  BlendImage(&cut, &src, 0, {3, 2}, Rect(2, 2, 10, 10));
  EXPECT_EQ(GetRValue(cut.GetPixel(3, 2)), blended(23));
  EXPECT_EQ(GetRValue(cut.GetPixel(3, 3)), blended(24));
  EXPECT_EQ(GetRValue(cut.GetPixel(2, 2)), 0);
}

TEST(PixelTools, BlendKeyedSkipsKeyPixelsAndPixelsOutside) {
  TDib dst = Filled(3, 3, RGB(100, 100, 100));
  TDib src = Filled(3, 3, RGB(200, 200, 200));
  src.SetPixel(1, 0, 0xFF00FF);
  BlendKeyed(&dst, 1, 1, 0xFF00FF, 0.4, Rect(0, 0, 3, 3), &src);
  EXPECT_EQ(dst.GetPixel(1, 1), RGB(160, 160, 160));  // 200 - 0.4 * (200 - 100)
  EXPECT_EQ(dst.GetPixel(2, 1), RGB(100, 100, 100));  // the key pixel
  EXPECT_EQ(dst.GetPixel(2, 2), RGB(160, 160, 160));
  EXPECT_EQ(dst.GetPixel(0, 0), RGB(100, 100, 100));

  // Without a key colour the magenta pixel is blended too; ties round to even.
  TDib all = Filled(3, 3, RGB(100, 100, 100));
  src.SetPixel(0, 0, RGB(201, 201, 201));
  BlendKeyed(&all, 0, 0, TColor(0xFF000000u), 0.5, Rect(0, 0, 3, 3), &src);
  EXPECT_EQ(all.GetPixel(1, 0), RGB(178, 50, 178));   // 255 - 0.5 * 155 = 177.5; 0 + 50
  EXPECT_EQ(all.GetPixel(0, 0), RGB(150, 150, 150));  // 150.5 -> 150

  // A negative source corner moves the point.
  TDib shifted = Filled(3, 3, RGB(100, 100, 100));
  BlendKeyed(&shifted, 0, 0, 0xFF00FF, 1.0, Rect(-1, -1, 2, 2), &src);
  EXPECT_EQ(shifted.GetPixel(0, 0), RGB(100, 100, 100));
  EXPECT_EQ(shifted.GetPixel(1, 1), RGB(100, 100, 100));  // factor 1 keeps the destination
  BlendKeyed(&shifted, 0, 0, 0xFF00FF, 0.0, Rect(-1, -1, 2, 2), &src);
  EXPECT_EQ(shifted.GetPixel(0, 0), RGB(100, 100, 100));
  EXPECT_EQ(shifted.GetPixel(1, 1), RGB(201, 201, 201));
  EXPECT_EQ(shifted.GetPixel(2, 1), RGB(100, 100, 100));  // source (1, 0) is the key colour
}

// ---- Grey and masked mixing ----------------------------------------------------------------------

TEST(PixelTools, GrayscaleAveragesTheThreeChannels) {
  TDib dib = Filled(2, 2, RGB(90, 60, 31));
  dib.SetPixel(1, 1, 0xFF00FF);
  TDib keyed = dib;
  Grayscale(&dib);
  EXPECT_EQ(dib.GetPixel(0, 0), RGB(60, 60, 60));
  EXPECT_EQ(dib.GetPixel(1, 1), RGB(170, 170, 170));
  GrayscaleKeyed(&keyed, 0xFF00FF);
  EXPECT_EQ(keyed.GetPixel(0, 1), RGB(60, 60, 60));
  EXPECT_EQ(keyed.GetPixel(1, 1), 0xFF00FFu);
}

TEST(PixelTools, MixMaskedKeepsTheTargetUnderWhiteAndGivesTheColourUnderBlack) {
  TDib target = Filled(3, 2, RGB(200, 200, 200));
  TDib mask = Filled(3, 2, 0xFFFFFF);
  mask.SetPixel(1, 0, 0);
  mask.SetPixel(2, 0, RGB(128, 128, 128));
  MixMasked(&target, &mask, RGB(0, 100, 50));
  // (c * 256 + m * (t - c)) >> 8 per channel.
  EXPECT_EQ(target.GetPixel(0, 0), RGB(199, 199, 199));
  EXPECT_EQ(target.GetPixel(1, 0), RGB(0, 100, 50));
  EXPECT_EQ(target.GetPixel(2, 0), RGB(100, 150, 125));
  TDib other = Filled(3, 3, 0);
  MixMasked(&target, &other, 0);
  EXPECT_EQ(target.GetPixel(0, 1), RGB(199, 199, 199));
}

// ---- Gradients ----------------------------------------------------------------------------------

namespace {

// Red, green, blue of a pixel.
struct TRgb {
  int R, G, B;
};
TRgb Rgb(const TDib& dib, int x, int y) {
  const COLORREF c = dib.GetPixel(x, y);
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace

TEST(Gradient, HundredRowsFromTheFirstPieceTheSecondEmpty) {
  // 0x9E7143 -> 0x8E5F06: red 67 -> 6, green 113 -> 95, blue 158 -> 142 over rows 0..99.
  TDib dib = Filled(3, 100, 0xABCDEF);
  PaintGradient(&dib, Rect(0, 0, 3, 100), ParseGradientData("10383683;9330438;99;0;0;9330438;9330438;0;0;0"));
  const TRgb top = Rgb(dib, 0, 0), mid = Rgb(dib, 2, 50), bottom = Rgb(dib, 1, 99);
  EXPECT_EQ(top.R, 67); EXPECT_EQ(top.G, 113); EXPECT_EQ(top.B, 158);
  // Row 50: 67 - 61 * 50 / 99 = 36.19, 113 - 18 * 50 / 99 = 103.91, 158 - 16 * 50 / 99 = 149.92.
  EXPECT_EQ(mid.R, 36); EXPECT_EQ(mid.G, 104); EXPECT_EQ(mid.B, 150);
  EXPECT_EQ(bottom.R, 6); EXPECT_EQ(bottom.G, 95); EXPECT_EQ(bottom.B, 142);
  for (int y = 0; y < 100; ++y) {
    const double r = 67 - 61.0 * y / 99, g = 113 - 18.0 * y / 99, b = 158 - 16.0 * y / 99;
    auto near = [](double v) { return std::abs(v - std::floor(v) - 0.5) < 1e-3; };
    if (near(r) || near(g) || near(b)) continue;
    const TRgb p = Rgb(dib, 1, y);
    EXPECT_EQ(p.R, int(std::lround(r))) << y;
    EXPECT_EQ(p.G, int(std::lround(g))) << y;
    EXPECT_EQ(p.B, int(std::lround(b))) << y;
  }

  // A second piece of another colour changes nothing: it has no rows left.
  TDib other = Filled(3, 100, 0);
  PaintGradient(&other, Rect(-5, -5, 30, 300), ParseGradientData("10383683;9330438;99;0;0;255;255;0;0;0"));
  EXPECT_EQ(0, std::memcmp(other.Bits(), dib.Bits(), dib.BitsSize()));
}

TEST(Gradient, VerticalPiecesShareTheirBoundaryRowAndStayInTheRectangle) {
  // Rows 0..5 from red 0 to 50, then rows 5..10 from 200 to 0; row 5 belongs to the second.
  TDib dib = Filled(4, 11, RGB(1, 1, 1));
  PaintGradient(&dib, Rect(1, 0, 3, 11), {{RGB(0, 0, 0), RGB(50, 0, 0), 50, 0, 0}, {RGB(200, 0, 0), 0, 50, 0, 0}});
  EXPECT_EQ(Rgb(dib, 1, 0).R, 0);
  EXPECT_EQ(Rgb(dib, 2, 4).R, 40);
  EXPECT_EQ(Rgb(dib, 1, 5).R, 200);
  EXPECT_EQ(Rgb(dib, 1, 7).R, 120);
  EXPECT_EQ(Rgb(dib, 2, 10).R, 0);
  for (int y = 0; y < 11; ++y) {
    EXPECT_EQ(dib.GetPixel(0, y), RGB(1, 1, 1));
    EXPECT_EQ(dib.GetPixel(3, y), RGB(1, 1, 1));
  }
}

TEST(Gradient, HorizontalBandsRoundTheirEndsHalfToEven) {
  // 25 % of 10 columns is 2.5, which rounds to 2: columns 0..2, then 2..9 for the last piece.
  TDib dib = Filled(10, 3, 0);
  PaintGradient(&dib, dib.BoundsRect(), {{RGB(0, 0, 0), RGB(100, 0, 0), 25, 1, 0}, {RGB(0, 70, 0), RGB(0, 0, 0), 75, 1, 0}});
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(dib.GetPixel(0, y), RGB(0, 0, 0));
    EXPECT_EQ(dib.GetPixel(1, y), RGB(50, 0, 0));
    EXPECT_EQ(dib.GetPixel(2, y), RGB(0, 70, 0));
    EXPECT_EQ(dib.GetPixel(9, y), RGB(0, 0, 0));
    EXPECT_EQ(dib.GetPixel(5, y), RGB(0, 40, 0));  // 70 - 70 * 3 / 7
  }
}

TEST(Gradient, TrianglesMeetAtTheCentreAndRepeatMissingVertexColours) {
  // Two pieces: top-left red, centre and every later vertex blue.
  TDib dib = Filled(20, 20, RGB(9, 9, 9));
  PaintGradient(&dib, dib.BoundsRect(), {{RGB(255, 0, 0), 0, 50, 2, 0}, {RGB(0, 0, 255), 0, 50, 2, 0}});
  EXPECT_EQ(dib.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(dib.GetPixel(10, 10), RGB(0, 0, 255));
  EXPECT_EQ(dib.GetPixel(19, 10), RGB(0, 0, 255));  // triangle centre, top-right, bottom-right
  EXPECT_EQ(dib.GetPixel(10, 19), RGB(0, 0, 255));  // triangle bottom-left, centre, bottom-right
  const TRgb mixed = Rgb(dib, 10, 0);
  EXPECT_GT(mixed.R, 0);
  EXPECT_GT(mixed.B, 0);

  // Five pieces: each corner pixel is close to its own vertex colour.
  TDib five = Filled(40, 40, 0);
  PaintGradient(&five, five.BoundsRect(),
                {{RGB(250, 0, 0), 0, 0, 2, 0}, {RGB(0, 0, 0), 0, 0, 2, 0}, {RGB(0, 250, 0), 0, 0, 2, 0},
                 {RGB(0, 0, 250), 0, 0, 2, 0}, {RGB(250, 250, 0), 0, 0, 2, 0}});
  auto near = [](TRgb a, TRgb b) { return std::abs(a.R - b.R) <= 15 && std::abs(a.G - b.G) <= 15 && std::abs(a.B - b.B) <= 15; };
  EXPECT_TRUE(near(Rgb(five, 39, 0), {0, 250, 0}));
  EXPECT_TRUE(near(Rgb(five, 39, 39), {0, 0, 250}));
  EXPECT_TRUE(near(Rgb(five, 0, 39), {250, 250, 0}));
  EXPECT_EQ(five.GetPixel(20, 20), RGB(0, 0, 0));
}

