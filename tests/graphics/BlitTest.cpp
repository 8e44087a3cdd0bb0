#include <gtest/gtest.h>

#include "platform/graphics/DC.h"

namespace {

// A picture whose every pixel encodes its own coordinates.
TDib Numbered(int w, int h, int bpp = 24, bool bottomUp = false) {
  TDib d(w, h, bpp, bottomUp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) d.SetPixel(x, y, RGB(x, y, 7));
  return d;
}

TEST(BitBlt, CopiesTheSourceRectangleToTheDestinationPoint) {
  for (bool srcBottomUp : {false, true})
    for (int srcBpp : {24, 32}) {
      TDib src = Numbered(8, 6, srcBpp, srcBottomUp);
      TDib dst(10, 10);
      TDC s(&src), d(&dst);
      ASSERT_TRUE(BitBlt(&d, 4, 5, 3, 2, &s, 2, 1, SRCCOPY));
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
          const bool in = x >= 4 && x < 7 && y >= 5 && y < 7;
          ASSERT_EQ(dst.GetPixel(x, y), in ? RGB(x - 2, y - 4, 7) : 0u) << x << "," << y;
        }
    }
}

TEST(BitBlt, SourceOutsideItsBitmapIsNotCopiedAndDestinationIsClipped) {
  TDib src = Numbered(4, 4);
  TDib dst(8, 8);
  dst.Fill(0xFFFFFF);
  TDC s(&src), d(&dst);
  SetViewportOrgEx(&s, 1, 0, nullptr);  // source logical (-1, 0) is surface (0, 0)
  IntersectClipRect(&d, 0, 0, 8, 3);
  BitBlt(&d, 0, 0, 8, 8, &s, -3, -1, SRCCOPY);
  // Source surface x = -2.., y = -1..: only surface (0..3, 0..3) exists -> destination x 2..5, y 1..4.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool in = x >= 2 && x < 6 && y >= 1 && y < 3;
      ASSERT_EQ(dst.GetPixel(x, y), in ? RGB(x - 2, y - 1, 7) : 0xFFFFFFu) << x << "," << y;
    }
}

TEST(BitBlt, OverlappingCopyWithinOneBitmapUsesTheOriginalPixels) {
  TDib bmp = Numbered(6, 1);
  TDC dc(&bmp);
  BitBlt(&dc, 1, 0, 5, 1, &dc, 0, 0, SRCCOPY);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(bmp.GetPixel(x, 0), RGB(x - 1, 0, 7));
}

TEST(BitBlt, RasterOperationsCombineSourceAndDestination) {
  TDib src(1, 1), dst(1, 1);
  src.SetPixel(0, 0, RGB(0xF0, 0x0F, 0xFF));
  TDC s(&src), d(&dst);
  dst.SetPixel(0, 0, RGB(0x3C, 0x3C, 0x00));
  BitBlt(&d, 0, 0, 1, 1, &s, 0, 0, SRCAND);
  EXPECT_EQ(dst.GetPixel(0, 0), RGB(0x30, 0x0C, 0x00));
  BitBlt(&d, 0, 0, 1, 1, &s, 0, 0, SRCINVERT);
  EXPECT_EQ(dst.GetPixel(0, 0), RGB(0xC0, 0x03, 0xFF));
  BitBlt(&d, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS);
  EXPECT_EQ(dst.GetPixel(0, 0), 0xFFFFFFu);
}

TEST(StretchBlt, NearestPixelScalingAndMirroring) {
  TDib src = Numbered(2, 2);
  TDib dst(4, 4);
  TDC s(&src), d(&dst);
  StretchBlt(&d, 0, 0, 4, 4, &s, 0, 0, 2, 2, SRCCOPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(dst.GetPixel(x, y), RGB(x / 2, y / 2, 7));
  // Shrinking 4 -> 2 takes every other pixel, the centre-most of each pair (indexes 1 and 3).
  TDib big = Numbered(4, 1), small(2, 1);
  TDC b(&big), sm(&small);
  StretchBlt(&sm, 0, 0, 2, 1, &b, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(small.GetPixel(0, 0), RGB(1, 0, 7));
  EXPECT_EQ(small.GetPixel(1, 0), RGB(3, 0, 7));
  // A negative source width mirrors.
  TDib row = Numbered(3, 1), out(3, 1);
  TDC r(&row), o(&out);
  StretchBlt(&o, 0, 0, 3, 1, &r, 3, 0, -3, 1, SRCCOPY);
  EXPECT_EQ(out.GetPixel(0, 0), RGB(2, 0, 7));
  EXPECT_EQ(out.GetPixel(2, 0), RGB(0, 0, 7));
}

TEST(StretchBlt, PalettisedSourceIsResolvedThroughItsPalette) {
  TDib src(2, 1, 8);
  src.Palette()[3] = RGB(1, 2, 3);
  src.Palette()[9] = RGB(9, 8, 7);
  src.SetPixel(0, 0, 3);
  src.SetPixel(1, 0, 9);
  TDib dst(4, 1);
  TDC s(&src), d(&dst);
  StretchBlt(&d, 0, 0, 4, 1, &s, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dst.GetPixel(1, 0), RGB(1, 2, 3));
  EXPECT_EQ(dst.GetPixel(2, 0), RGB(9, 8, 7));
}

TEST(TransparentBlt, KeyColouredPixelsLeaveTheDestinationAlone) {
  TDib src(3, 1);
  src.SetPixel(0, 0, 0xFF00FF);
  src.SetPixel(1, 0, RGB(1, 2, 3));
  src.SetPixel(2, 0, 0xFF00FE);
  TDib dst(3, 1);
  dst.Fill(0x00AA00);
  TDC s(&src), d(&dst);
  TransparentBlt(&d, 0, 0, 3, 1, &s, 0, 0, 3, 1, 0xFF00FF);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x00AA00u);
  EXPECT_EQ(dst.GetPixel(1, 0), RGB(1, 2, 3));
  EXPECT_EQ(dst.GetPixel(2, 0), 0xFF00FEu);
}

TEST(DrawIconEx, MaskKeepsBackgroundWhereSetAndColourShowsElsewhere) {
  TIconImage icon{TDib(2, 1), TDib(2, 1, 1)};
  icon.Color.SetPixel(0, 0, RGB(10, 20, 30));
  icon.Color.SetPixel(1, 0, 0);
  icon.Mask.Palette() = {0, 0xFFFFFF};
  icon.Mask.SetPixel(0, 0, 0);  // opaque
  icon.Mask.SetPixel(1, 0, 1);  // transparent
  TDib dst(4, 2);
  dst.Fill(RGB(200, 100, 50));
  TDC d(&dst);
  DrawIconEx(&d, 1, 1, &icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(dst.GetPixel(1, 1), RGB(10, 20, 30));
  EXPECT_EQ(dst.GetPixel(2, 1), RGB(200, 100, 50));
  EXPECT_EQ(dst.GetPixel(1, 0), RGB(200, 100, 50));
}

}  // namespace
