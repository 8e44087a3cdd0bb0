// The shared drawing routines of the skin-art generator: coverage, rings, nine-part slicing,
// keyed pixels, the mask halves and the colour reduction of the stored pictures.
#include <gtest/gtest.h>

#include <set>

#include "tools/skinart/ColourReduction.h"
#include "tools/skinart/Layer.h"
#include "tools/skinart/Mask.h"
#include "tools/skinart/MaskPictures.h"

using namespace SkinArt;

namespace {

int Covered(const TLayer& layer) {
  int n = 0;
  for (int y = 0; y < layer.Height(); ++y)
    for (int x = 0; x < layer.Width(); ++x) n += layer.Alpha(x, y) == 1.0f ? 1 : 0;
  return n;
}

TPainter Painting(TShape shape, TRgb colour = Rgb(0, 0, 0), float opacity = 1) {
  return [=](int, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(shape, colour, opacity);
    return layer;
  };
}

}  // namespace

TEST(SkinPainting, CoverageComesInSixteenthsAndLayersBlend) {
  TLayer layer(2, 1);
  layer.Paint(Box(0, 0, 0.5f, 1), Rgb(100, 50, 0));
  EXPECT_FLOAT_EQ(layer.Alpha(0, 0), 0.5f);  // 8 of 16 samples
  EXPECT_FLOAT_EQ(layer.Colour(0, 0).R, 100);
  EXPECT_FLOAT_EQ(layer.Alpha(1, 0), 0);
  EXPECT_EQ(ToColorRef(layer.Colour(1, 0)), RGB(255, 255, 255));  // nothing painted reads white

  // Half of (200, 100, 0) over half of (100, 50, 0): 0.5 x 200 + 0.5 x 0.5 x 100 = 125 over a
  // coverage of 0.75.
  layer.Paint(Box(0, 0, 1, 1), Rgb(200, 100, 0), 0.5f);
  EXPECT_FLOAT_EQ(layer.Alpha(0, 0), 0.75f);
  EXPECT_NEAR(layer.Colour(0, 0).R, 125 / 0.75f, 1e-3);
}

TEST(SkinPainting, RimsAreOnePixelRingsMovingInward) {
  TLayer outer(6, 6), second(6, 6);
  outer.Paint(Rim(6, 6, 0, 0), Rgb(0, 0, 0));
  second.Paint(Rim(6, 6, 1, 0), Rgb(0, 0, 0));
  EXPECT_EQ(Covered(outer), 20);
  EXPECT_EQ(Covered(second), 12);
  EXPECT_EQ(outer.Alpha(0, 3), 1.0f);
  EXPECT_EQ(outer.Alpha(1, 1), 0.0f);
  EXPECT_EQ(second.Alpha(1, 1), 1.0f);
  EXPECT_EQ(second.Alpha(2, 2), 0.0f);
  EXPECT_EQ(second.Alpha(0, 0), 0.0f);

  TLayer rounded(12, 12);
  rounded.Paint(Rim(12, 12, 0, 3), Rgb(0, 0, 0));
  EXPECT_EQ(rounded.Alpha(0, 0), 0.0f);  // outside the corner's circle of radius 3
  EXPECT_EQ(rounded.Alpha(6, 0), 1.0f);
  EXPECT_EQ(rounded.Alpha(6, 1), 0.0f);
}

TEST(SkinPainting, TransformsMoveEachPixel) {
  TLayer layer(3, 2);
  layer.Paint(Box(2, 0, 3, 1), Rgb(0, 0, 0));
  const TLayer t = layer.Transposed(), m = layer.Mirrored(), f = layer.Flipped();
  ASSERT_EQ(t.Width(), 2);
  ASSERT_EQ(t.Height(), 3);
  EXPECT_EQ(t.Alpha(0, 2), 1.0f);
  EXPECT_EQ(m.Alpha(0, 0), 1.0f);
  EXPECT_EQ(f.Alpha(2, 1), 1.0f);
  EXPECT_EQ(Covered(t) + Covered(m) + Covered(f), 3);
}

TEST(SkinPainting, MaskGreysHaveSeventeenSteps) {
  EXPECT_EQ(MaskGrey(0), 255);
  EXPECT_EQ(MaskGrey(1), 0);
  EXPECT_EQ(MaskGrey(0.5f), 127);        // 255 - round(8 x 255 / 16)
  EXPECT_EQ(MaskGrey(1.0f / 16), 239);   // 255 - round(15.94)
  EXPECT_EQ(MaskGrey(0.52f), 127);       // rounds to the step of 8
  EXPECT_EQ(MaskGrey(-1), 255);
  EXPECT_EQ(MaskGrey(2), 0);
}

// Corners and far edges come from the large picture, every middle row and column from its
// centre: a frame 12 x 8 with margins 2, 3, 1, 2 painted through 37 x 35.
TEST(SkinPainting, SlicedBordersStretchTheMiddleOfALargerPicture) {
  TMask m = Border("X", {0, 0, 12, 8}, 1, 0, 2, 3, 1, 2, {});
  int paintedWidth = 0, paintedHeight = 0;
  m.Paint = [&](int, int w, int h) {
    paintedWidth = w;
    paintedHeight = h;
    TLayer layer(w, h);
    layer.Paint(Box(0, 0, float(w), float(h)), [](float x, float y) { return TRgb{float(int(x)) * 10, float(int(y)) * 10, 0}; });
    return layer;
  };
  const TLayer out = PaintSliced(m, 0, 12, 8);
  EXPECT_EQ(paintedWidth, 37);
  EXPECT_EQ(paintedHeight, 35);
  const float columns[12] = {0, 10, 180, 180, 180, 180, 180, 180, 180, 340, 350, 360};
  const float rows[8] = {0, 170, 170, 170, 170, 170, 330, 340};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) {
      EXPECT_FLOAT_EQ(out.Colour(x, y).R, columns[x]) << x << "," << y;
      EXPECT_FLOAT_EQ(out.Colour(x, y).G, rows[y]) << x << "," << y;
    }
}

// A hollow frame keys only the clear pixels of its corner pieces that the outer edge reaches.
TEST(SkinPainting, BordersKeyOnlyCornerPixelsReachedFromTheEdge) {
  TLayer ring(8, 8);
  ring.Paint(Rim(8, 8, 1, 0), Rgb(0, 0, 0));
  const TMask border = Border("X", {0, 0, 8, 16}, 1, 1, 3, 3, 3, 3, {});
  const std::vector<char> keyed = KeyedPixels(border, ring);
  int count = 0;
  for (char k : keyed) count += k;
  EXPECT_EQ(count, 20);  // five in each corner: three along one edge, two more down the other
  EXPECT_TRUE(keyed[0 * 8 + 2]);
  EXPECT_TRUE(keyed[2 * 8 + 0]);
  EXPECT_FALSE(keyed[0 * 8 + 3]);  // on the edge, outside the corner pieces
  EXPECT_FALSE(keyed[2 * 8 + 2]);  // clear, in a corner piece, but inside the ring

  const TMask glyph = Glyph("X", "Y", {0, 0, 8, 16}, 1, 1, {});
  count = 0;
  for (char k : KeyedPixels(glyph, ring)) count += k;
  EXPECT_EQ(count, 64 - 20);  // every clear pixel

  const TMask texture = Texture("X", "Y", {0, 0, 8, 8}, {});
  count = 0;
  for (char k : KeyedPixels(texture, ring)) count += k;
  EXPECT_EQ(count, 0);
}

TEST(SkinPainting, MasksAreDrawnAsPictureAndMaskHalves) {
  TDib bmp(4, 4, 24);
  bmp.Fill(RGB(1, 2, 3));
  DrawMask(bmp, Glyph("X", "Y", {0, 0, 4, 4}, 1, 1, Painting(Box(0, 0, 2, 2), Rgb(10, 20, 30))));
  EXPECT_EQ(bmp.GetPixel(1, 1), RGB(10, 20, 30));
  EXPECT_EQ(bmp.GetPixel(2, 0), kKey);
  EXPECT_EQ(bmp.GetPixel(1, 3), RGB(0, 0, 0));        // mask half: shown
  EXPECT_EQ(bmp.GetPixel(3, 2), RGB(255, 255, 255));  // mask half: keyed, background kept

  // Without a mask, soft pixels are laid over the matte: a quarter of (200, 100, 40).
  TDib plain(2, 1, 24);
  DrawMask(plain, WithMatte(Glyph("X", "Y", {0, 0, 2, 1}, 1, 0, Painting(Box(0, 0, 1, 1), Rgb(0, 0, 0), 0.75f)), Rgb(200, 100, 40)));
  EXPECT_EQ(plain.GetPixel(0, 0), RGB(50, 25, 10));
  EXPECT_EQ(plain.GetPixel(1, 0), kKey);

  // Two states side by side.
  TDib states(4, 1, 24);
  DrawMask(states, Glyph("X", "Y", {0, 0, 4, 1}, 2, 0, [](int state, int w, int h) {
             TLayer layer(w, h);
             layer.Paint(Box(0, 0, float(w), float(h)), Rgb(state * 100, 0, 0));
             return layer;
           }));
  EXPECT_EQ(states.GetPixel(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(states.GetPixel(2, 0), RGB(100, 0, 0));
}

TEST(ColourReduction, KeepsTheKeyAndTheMaskGreysAndFitsIn256Colours) {
  TDib picture(20, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) picture.SetPixel(x, y, RGB(x * 10, y * 10, 51));
  picture.SetPixel(0, 0, kKey);
  picture.SetPixel(1, 0, RGB(127, 127, 127));  // the grey of half coverage
  ASSERT_EQ(DistinctColours(picture), 320u);

  const TDib reduced = ReduceColours(picture);
  EXPECT_LE(DistinctColours(reduced), 256u);
  EXPECT_EQ(reduced.GetPixel(0, 0), kKey);
  EXPECT_EQ(reduced.GetPixel(1, 0), RGB(127, 127, 127));
  EXPECT_EQ(GetBValue(reduced.GetPixel(10, 10)), 51);  // every free colour has blue 51, so does every mean

  const TDib stored = Palettised(picture);
  EXPECT_EQ(stored.BitsPerPixel(), 8);
  EXPECT_EQ(stored.Palette().size(), 256u);
  EXPECT_EQ(stored.GetPixel(0, 0), kKey);

  TDib few(3, 1, 24);
  few.SetPixel(0, 0, RGB(1, 2, 3));
  few.SetPixel(1, 0, RGB(4, 5, 6));
  const TDib same = ReduceColours(few);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(same.GetPixel(x, 0), few.GetPixel(x, 0));
}
