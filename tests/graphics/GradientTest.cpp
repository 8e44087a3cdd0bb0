#include <gtest/gtest.h>

#include "platform/graphics/DC.h"

namespace {

TRIVERTEX Vertex(int x, int y, COLORREF c) {
  return {x, y, COLOR16(GetRValue(c) << 8), COLOR16(GetGValue(c) << 8), COLOR16(GetBValue(c) << 8), 0};
}

TEST(GradientTriangle, VertexPixelsTakeVertexColoursAndInsideMixesExactly) {
  TDib bmp(12, 12);
  bmp.Fill(0x123456);
  TDC dc(&bmp);
  // Right triangle with legs of 10: colours red at (0,0), green at (10,0), blue at (0,10).
  TRIVERTEX v[] = {Vertex(0, 0, RGB(255, 0, 0)), Vertex(10, 0, RGB(0, 255, 0)), Vertex(0, 10, RGB(0, 0, 255))};
  GRADIENT_TRIANGLE t{0, 1, 2};
  ASSERT_TRUE(GradientFill(&dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_EQ(bmp.GetPixel(0, 0), RGB(255, 0, 0));
  // (5,0): halfway red to green; 0xFF00 * 5 / 10 = 0x7F80 -> 0x7F.
  EXPECT_EQ(bmp.GetPixel(5, 0), RGB(127, 127, 0));
  // (2,3): weights red 5/10, green 2/10, blue 3/10 of 0xFF00 -> 0x7F80, 0x3300, 0x4C80.
  EXPECT_EQ(bmp.GetPixel(2, 3), RGB(0x7F, 0x33, 0x4C));
  // Hypotenuse points belong to a bottom-right edge and are left out; so are the far vertices.
  EXPECT_EQ(bmp.GetPixel(5, 5), 0x123456u);
  EXPECT_EQ(bmp.GetPixel(10, 0), 0x123456u);
  EXPECT_EQ(bmp.GetPixel(0, 10), 0x123456u);
  EXPECT_EQ(bmp.GetPixel(4, 5), RGB(0x19, 0x66, 0x7F));
}

TEST(GradientTriangle, FourTrianglesCoverARectangleExactlyOnce) {
  // The four-triangle layout of a rectangle (corners and centre). With R2_XOR-like double
  // painting impossible to see in colours, check coverage with a uniform colour instead.
  const int w = 17, h = 11;
  TDib bmp(w + 4, h + 4);
  bmp.Fill(0);
  TDC dc(&bmp);
  SetViewportOrgEx(&dc, 2, 2, nullptr);
  const COLORREF c = RGB(200, 100, 50);
  TRIVERTEX v[] = {Vertex(0, 0, c), Vertex(w / 2, h / 2, c), Vertex(w, 0, c), Vertex(w, h, c), Vertex(0, h, c)};
  GRADIENT_TRIANGLE t[] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  ASSERT_TRUE(GradientFill(&dc, v, 5, t, 4, GRADIENT_FILL_TRIANGLE));
  for (int y = 0; y < h + 4; ++y)
    for (int x = 0; x < w + 4; ++x) {
      const bool in = x >= 2 && x < w + 2 && y >= 2 && y < h + 2;
      ASSERT_EQ(bmp.GetPixel(x, y), in ? c : 0u) << x << "," << y;
    }
}

TEST(GradientTriangle, CentreColourOfASymmetricLayout) {
  TDib bmp(10, 10);
  TDC dc(&bmp);
  // Corners black, centre white: the centre pixel is white, corner pixel (0,0) black.
  TRIVERTEX v[] = {Vertex(0, 0, 0), Vertex(5, 5, 0xFFFFFF), Vertex(10, 0, 0), Vertex(10, 10, 0), Vertex(0, 10, 0)};
  GRADIENT_TRIANGLE t[] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  GradientFill(&dc, v, 5, t, 4, GRADIENT_FILL_TRIANGLE);
  EXPECT_EQ(bmp.GetPixel(5, 5), 0xFFFFFFu);
  EXPECT_EQ(bmp.GetPixel(0, 0), 0u);
  // (5,2) in the top triangle: centre weight = 2*area(top-left,top-right,p)/area = 20/50... 0.4.
  // 0.4 * 0xFF00 = 0x6600 -> 0x66.
  EXPECT_EQ(bmp.GetPixel(5, 2), RGB(0x66, 0x66, 0x66));
}

TEST(GradientRect, HorizontalRunsFromLeftColourToRightColour) {
  TDib bmp(5, 2);
  TDC dc(&bmp);
  TRIVERTEX v[] = {Vertex(0, 0, RGB(0, 0, 0)), Vertex(4, 2, RGB(200, 100, 0))};
  GRADIENT_RECT r{0, 1};
  GradientFill(&dc, v, 2, &r, 1, GRADIENT_FILL_RECT_H);
  EXPECT_EQ(bmp.GetPixel(0, 1), 0u);
  EXPECT_EQ(bmp.GetPixel(2, 0), RGB(100, 50, 0));
  EXPECT_EQ(bmp.GetPixel(4, 0), 0u);  // right edge excluded
}

TEST(GradientFillArgs, BadMeshIndexesAreRejected) {
  TDib bmp(4, 4);
  TDC dc(&bmp);
  TRIVERTEX v[] = {Vertex(0, 0, 0), Vertex(4, 0, 0), Vertex(0, 4, 0)};
  GRADIENT_TRIANGLE t{0, 1, 3};
  EXPECT_FALSE(GradientFill(&dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_FALSE(GradientFill(&dc, v, 3, &t, 1, 7));
}

}  // namespace
