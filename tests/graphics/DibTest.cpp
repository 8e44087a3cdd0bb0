// Converting pictures of every depth to 24 bits, and filling them.
#include <gtest/gtest.h>

#include "platform/graphics/Dib.h"

namespace {

// The three bytes of a 24-bit pixel, blue first.
std::vector<int> Bytes24(const TDib& d, int x, int y) {
  const uint8_t* p = d.ScanLine(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

TEST(Dib, PalettedPicturesBecomeTheirPaletteColoursIn24Bits) {
  for (bool bottomUp : {false, true}) {
    TDib eight(3, 2, 8, bottomUp);
    eight.Palette() = std::vector<COLORREF>(256, 0);
    eight.Palette()[7] = RGB(10, 20, 30);
    eight.Palette()[200] = RGB(250, 128, 1);
    eight.SetPixel(0, 0, 7);
    eight.SetPixel(2, 1, 200);
    eight.Transparent = true;
    eight.TransparentColor = RGB(250, 128, 1);
    const TDib out = eight.As24();
    ASSERT_EQ(out.BitsPerPixel(), 24);
    EXPECT_EQ(Bytes24(out, 0, 0), (std::vector<int>{30, 20, 10}));
    EXPECT_EQ(Bytes24(out, 2, 1), (std::vector<int>{1, 128, 250}));
    EXPECT_EQ(Bytes24(out, 1, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_TRUE(out.Transparent);
    EXPECT_EQ(out.TransparentColor, RGB(250, 128, 1));
  }
  // An index past a short palette stays black.
  TDib shortPalette(2, 1, 8);
  shortPalette.Palette() = {RGB(1, 2, 3), RGB(4, 5, 6)};
  shortPalette.SetPixel(0, 0, 1);
  shortPalette.SetPixel(1, 0, 9);
  const TDib out = shortPalette.As24();
  EXPECT_EQ(Bytes24(out, 0, 0), (std::vector<int>{6, 5, 4}));
  EXPECT_EQ(Bytes24(out, 1, 0), (std::vector<int>{0, 0, 0}));

  // Four and one bit: the pixels' nibbles and bits, most significant first.
  TDib four(3, 1, 4);
  four.Palette()[0xA] = RGB(100, 0, 0);
  four.Palette()[0x3] = RGB(0, 100, 0);
  four.SetPixel(0, 0, 0xA);
  four.SetPixel(1, 0, 0x3);
  EXPECT_EQ(four.As24().GetPixel(0, 0), RGB(100, 0, 0));
  EXPECT_EQ(four.As24().GetPixel(1, 0), RGB(0, 100, 0));
  EXPECT_EQ(four.As24().GetPixel(2, 0), four.Palette()[0]);
  TDib one(9, 1, 1);
  one.Palette() = {RGB(0, 0, 0), RGB(255, 255, 255)};
  one.SetPixel(8, 0, 1);
  EXPECT_EQ(one.As24().GetPixel(7, 0), RGB(0, 0, 0));
  EXPECT_EQ(one.As24().GetPixel(8, 0), RGB(255, 255, 255));
}

TEST(Dib, ThirtyTwoBitPicturesLoseOnlyTheirFourthByte) {
  TDib d(2, 2, 32, true);
  uint8_t* p = d.ScanLine(1) + 4;
  p[0] = 11, p[1] = 22, p[2] = 33, p[3] = 44;
  const TDib out = d.As24();
  EXPECT_EQ(Bytes24(out, 1, 1), (std::vector<int>{11, 22, 33}));
  EXPECT_EQ(Bytes24(out, 0, 0), (std::vector<int>{0, 0, 0}));
}

TEST(Dib, FillPaintsEveryRowOfBothRowOrders) {
  for (bool bottomUp : {false, true})
    for (int bits : {24, 32}) {
      TDib d(5, 3, bits, bottomUp);
      d.Fill(RGB(1, 2, 3));
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(d.GetPixel(x, y), RGB(1, 2, 3)) << bits << " bits at " << x << "," << y;
    }
  TDib empty(0, 4);
  empty.Fill(RGB(1, 2, 3));  // nothing to fill, and no row to read
}

}  // namespace
