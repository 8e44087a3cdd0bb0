#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <random>
#include <vector>

#include "platform/graphics/Region.h"

namespace {

// Brute-force model: the pixels of a 64 x 64 grid. Random rectangles stay inside it.
constexpr int kGrid = 64;
using TPixels = std::bitset<kGrid * kGrid>;

TPixels Paint(const std::vector<TRect>& rects) {
  TPixels p;
  for (const TRect& r : rects)
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) p.set(y * kGrid + x);
  return p;
}

// Paints a region's own rectangles, failing if any pixel is covered twice or lies off the grid.
TPixels PaintRegion(const TRegion& rgn) {
  TPixels p;
  for (const TRect& r : rgn.Rects()) {
    EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= kGrid && r.Bottom <= kGrid);
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, kGrid); ++y)
      for (int x = std::max(r.Left, 0); x < std::min(r.Right, kGrid); ++x) {
        EXPECT_FALSE(p.test(y * kGrid + x)) << "overlap at " << x << "," << y;
        p.set(y * kGrid + x);
      }
  }
  return p;
}

::testing::AssertionResult IsCanonical(const TRegion& rgn) {
  const std::vector<TRect>& rs = rgn.Rects();
  size_t prevBand = 0;
  size_t prevCount = 0;
  for (size_t i = 0; i < rs.size();) {
    size_t end = i;
    while (end < rs.size() && rs[end].Top == rs[i].Top) ++end;
    for (size_t k = i; k < end; ++k) {
      if (rs[k].IsEmpty()) return ::testing::AssertionFailure() << "empty rect at " << k;
      if (rs[k].Bottom != rs[i].Bottom) return ::testing::AssertionFailure() << "ragged band at " << k;
      if (k > i && rs[k].Left <= rs[k - 1].Right) return ::testing::AssertionFailure() << "spans touch at " << k;
    }
    if (i > 0) {
      const TRect& prev = rs[prevBand];
      if (rs[i].Top < prev.Bottom) return ::testing::AssertionFailure() << "bands overlap at " << i;
      bool sameSpans = rs[i].Top == prev.Bottom && end - i == prevCount &&
                       std::equal(rs.begin() + i, rs.begin() + end, rs.begin() + prevBand,
                                  [](const TRect& p, const TRect& q) { return p.Left == q.Left && p.Right == q.Right; });
      if (sameSpans) return ::testing::AssertionFailure() << "unmerged bands at " << i;
    }
    prevBand = i;
    prevCount = end - i;
    i = end;
  }
  return ::testing::AssertionSuccess();
}

std::vector<TRect> RandomRects(std::mt19937& rng, int maxCount) {
  std::uniform_int_distribution<int> count(0, maxCount);
  std::uniform_int_distribution<int> coord(0, kGrid);
  std::vector<TRect> rects(count(rng));
  for (TRect& r : rects) {
    int x0 = coord(rng), x1 = coord(rng), y0 = coord(rng), y1 = coord(rng);
    // About one in eight stays inverted or empty, which must add nothing.
    if (rng() % 8 != 0) {
      if (x0 > x1) std::swap(x0, x1);
      if (y0 > y1) std::swap(y0, y1);
    }
    r = {x0, y0, x1, y1};
  }
  return rects;
}

TRegion UnionOneByOne(const std::vector<TRect>& rects) {
  TRegion rgn;
  for (const TRect& r : rects) rgn = rgn.Union(TRegion(r));
  return rgn;
}

}  // namespace

TEST(RegionAlgebra, OperationsMatchPixelModelAndStayCanonical) {
  std::mt19937 rng(1234);
  for (int iter = 0; iter < 150; ++iter) {
    std::vector<TRect> ra = RandomRects(rng, 7), rb = RandomRects(rng, 7);
    TRegion a = TRegion::FromRects(ra), b = TRegion::FromRects(rb);
    TPixels pa = Paint(ra), pb = Paint(rb);
    ASSERT_EQ(PaintRegion(a), pa);
    ASSERT_TRUE(IsCanonical(a));
    ASSERT_EQ(a.IsEmpty(), pa.none());

    struct TCase { const char* Name; TRegion Got; TPixels Want; };
    for (const TCase& c : {TCase{"or", a.Union(b), pa | pb}, TCase{"and", a.Intersect(b), pa & pb},
                           TCase{"diff", a.Subtract(b), pa & ~pb}, TCase{"xor", a.Xor(b), pa ^ pb}}) {
      SCOPED_TRACE(::testing::Message() << "iteration " << iter << ", " << c.Name);
      EXPECT_EQ(PaintRegion(c.Got), c.Want);
      EXPECT_TRUE(IsCanonical(c.Got));
    }
  }
}

TEST(RegionAlgebra, SamePixelsGiveEqualRegionsWhateverTheConstruction) {
  std::mt19937 rng(99);
  for (int iter = 0; iter < 60; ++iter) {
    std::vector<TRect> rects = RandomRects(rng, 12);
    TRegion built = TRegion::FromRects(rects);
    std::shuffle(rects.begin(), rects.end(), rng);
    EXPECT_EQ(TRegion::FromRects(rects), built);
    EXPECT_EQ(UnionOneByOne(rects), built);
    // The same pixels reached by another route: the whole grid minus the complement.
    TRegion grid(TRect{0, 0, kGrid, kGrid});
    EXPECT_EQ(grid.Subtract(grid.Subtract(built)), built);
    EXPECT_EQ(built.Xor(built), TRegion());
    // Cut into an upper and a lower part that share no row, then put back together.
    int cut = static_cast<int>(rng() % (kGrid + 1));
    TRegion upper = built.Intersect(TRect{0, 0, kGrid, cut}), lower = built.Intersect(TRect{0, cut, kGrid, kGrid});
    EXPECT_EQ(upper.Union(lower), built);
    EXPECT_EQ(lower.Union(upper), built);
    EXPECT_EQ(lower.Xor(upper), built);
  }
}

TEST(RegionAlgebra, AdjacentRectanglesMerge) {
  EXPECT_EQ(TRegion::FromRects({{0, 0, 10, 10}, {10, 0, 20, 10}}).Rects(), (std::vector<TRect>{{0, 0, 20, 10}}));
  EXPECT_EQ(TRegion::FromRects({{0, 0, 10, 10}, {0, 10, 10, 20}}).Rects(), (std::vector<TRect>{{0, 0, 10, 20}}));
  TRegion ring = TRegion(TRect{0, 0, 30, 30}).Subtract(TRegion(TRect{10, 10, 20, 20}));
  EXPECT_EQ(ring.Rects(), (std::vector<TRect>{{0, 0, 30, 10}, {0, 10, 10, 20}, {20, 10, 30, 20}, {0, 20, 30, 30}}));
  EXPECT_EQ(ring.Union(TRegion(TRect{10, 10, 20, 20})).Rects(), (std::vector<TRect>{{0, 0, 30, 30}}));
}

TEST(RegionQueries, PointsAndRectsMatchPixelModel) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-3, kGrid + 3);
  for (int iter = 0; iter < 15; ++iter) {
    std::vector<TRect> rects = RandomRects(rng, 10);
    TRegion rgn = TRegion::FromRects(rects);
    TPixels p = Paint(rects);
    for (int y = -2; y < kGrid + 2; ++y)
      for (int x = -2; x < kGrid + 2; ++x) {
        bool want = x >= 0 && y >= 0 && x < kGrid && y < kGrid && p.test(y * kGrid + x);
        ASSERT_EQ(PtInRegion(&rgn, x, y), want) << x << "," << y << " iteration " << iter;
      }
    for (int k = 0; k < 200; ++k) {
      TRect r{coord(rng), coord(rng), coord(rng), coord(rng)};
      TRect clipped = r.Intersect({0, 0, kGrid, kGrid});
      bool want = (Paint({clipped}) & p).any();
      ASSERT_EQ(RectInRegion(&rgn, &r), want) << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
    }
  }
  TRegion full(TRect{0, 0, 10, 10});
  TRect inverted{5, 5, 2, 8};
  EXPECT_FALSE(RectInRegion(&full, &inverted));
}

TEST(RegionQueries, BoxAndComplexity) {
  TRect box{1, 1, 1, 1};
  TRegion empty;
  EXPECT_EQ(GetRgnBox(&empty, &box), NULLREGION);
  EXPECT_EQ(box, TRect{});

  TRegion one = CreateRectRgn(3, 4, 9, 7);
  EXPECT_EQ(GetRgnBox(&one, &box), SIMPLEREGION);
  EXPECT_EQ(box, (TRect{3, 4, 9, 7}));

  // The widest band is neither the first nor the last.
  TRegion shape = TRegion::FromRects({{5, 0, 8, 2}, {-4, 2, 20, 3}, {6, 3, 7, 9}});
  EXPECT_EQ(GetRgnBox(&shape, &box), COMPLEXREGION);
  EXPECT_EQ(box, (TRect{-4, 0, 20, 9}));

  EXPECT_TRUE(CreateRectRgn(5, 5, 5, 9).IsEmpty());
  EXPECT_TRUE(CreateRectRgn(5, 9, 8, 2).IsEmpty());
  SetRectRgn(&shape, 2, 2, 1, 3);
  EXPECT_TRUE(shape.IsEmpty());
  SetRectRgn(&shape, 0, 0, 2, 3);
  const TRegion small(TRect{0, 0, 2, 3});
  EXPECT_TRUE(EqualRgn(&shape, &small));
}

TEST(RegionQueries, OffsetMovesEveryPixel) {
  std::mt19937 rng(5);
  TRegion rgn = TRegion::FromRects(RandomRects(rng, 8));
  while (rgn.Complexity() != COMPLEXREGION) rgn = TRegion::FromRects(RandomRects(rng, 8));
  TRegion moved = rgn;
  EXPECT_EQ(OffsetRgn(&moved, -70, 13), COMPLEXREGION);
  EXPECT_TRUE(IsCanonical(moved));
  for (int y = 0; y < kGrid; ++y)
    for (int x = 0; x < kGrid; ++x) ASSERT_EQ(moved.Contains(x - 70, y + 13), rgn.Contains(x, y));
  OffsetRgn(&moved, 70, -13);
  EXPECT_EQ(moved, rgn);
  TRegion empty;
  EXPECT_EQ(OffsetRgn(&empty, 5, 5), NULLREGION);
}

TEST(RegionCombineRgn, DestinationMayAliasOperands) {
  std::mt19937 rng(42);
  for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
    for (int iter = 0; iter < 10; ++iter) {
      TRegion a = TRegion::FromRects(RandomRects(rng, 6)), b = TRegion::FromRects(RandomRects(rng, 6));
      TRegion want;
      int complexity = CombineRgn(&want, &a, &b, mode);
      EXPECT_EQ(complexity, want.Complexity());
      EXPECT_NE(complexity, RGN_ERROR);

      TRegion da = a, db = b;
      EXPECT_EQ(CombineRgn(&da, &da, &b, mode), complexity);
      EXPECT_EQ(da, want) << "mode " << mode;
      EXPECT_EQ(CombineRgn(&db, &a, &db, mode), complexity);
      EXPECT_EQ(db, want) << "mode " << mode;

      TRegion self = a, selfWant;
      CombineRgn(&selfWant, &a, &a, mode);
      CombineRgn(&self, &self, &self, mode);
      EXPECT_EQ(self, selfWant) << "mode " << mode;
    }
  }
}

TEST(RegionCombineRgn, CopyAndUnknownModes) {
  TRegion a = TRegion::FromRects({{0, 0, 4, 4}, {6, 0, 9, 4}});
  TRegion b = CreateRectRgn(1, 1, 30, 30);
  TRegion dst = CreateRectRgn(50, 50, 60, 60);
  EXPECT_EQ(CombineRgn(&dst, &a, &b, RGN_COPY), COMPLEXREGION);
  EXPECT_EQ(dst, a);
  EXPECT_EQ(CombineRgn(&dst, &b, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(dst, b);

  const TRegion before = dst;
  for (int mode : {0, 6, -1, 100}) {
    EXPECT_EQ(CombineRgn(&dst, &a, &b, mode), RGN_ERROR) << mode;
    EXPECT_EQ(dst, before);
  }
  EXPECT_EQ(CombineRgn(&dst, &a, &a, RGN_DIFF), NULLREGION);
  EXPECT_TRUE(dst.IsEmpty());
}

// A window outline with rounded corners and a slot cut through the middle rows: each row is
// added as its own one-pixel run, as a shape built from a mask would be.
TEST(RegionOutline, RowsWithEqualSpansCoalesce) {
  constexpr int kRows = 300;
  constexpr int kWidth = 400;
  const int inset[] = {6, 4, 3, 2, 1, 1};
  std::vector<std::vector<TRect>> rows(kRows);
  for (int y = 0; y < kRows; ++y) {
    int fromEdge = std::min(y, kRows - 1 - y);
    int in = fromEdge < 6 ? inset[fromEdge] : 0;
    if (y >= 100 && y < 140) rows[y] = {{in, y, 180, y + 1}, {220, y, kWidth - in, y + 1}};
    else rows[y] = {{in, y, kWidth - in, y + 1}};
  }
  // Expected size: one band per run of rows whose spans are equal.
  size_t wantRects = 0;
  for (int y = 0; y < kRows; ++y) {
    bool sameAsAbove = y > 0 && rows[y].size() == rows[y - 1].size() &&
                       std::equal(rows[y].begin(), rows[y].end(), rows[y - 1].begin(),
                                  [](const TRect& p, const TRect& q) { return p.Left == q.Left && p.Right == q.Right; });
    if (!sameAsAbove) wantRects += rows[y].size();
  }

  TRegion outline;
  std::vector<TRect> all;
  for (const std::vector<TRect>& row : rows)
    for (const TRect& r : row) {
      TRegion run(r);
      CombineRgn(&outline, &outline, &run, RGN_OR);
      all.push_back(r);
    }
  EXPECT_TRUE(IsCanonical(outline));
  EXPECT_EQ(outline.Rects().size(), wantRects);
  EXPECT_EQ(outline.Box(), (TRect{0, 0, kWidth, kRows}));
  for (int y = 0; y < kRows; ++y)
    for (const TRect& r : rows[y]) {
      EXPECT_TRUE(outline.Contains(r.Left, y) && outline.Contains(r.Right - 1, y)) << y;
      EXPECT_FALSE(outline.Contains(r.Left - 1, y) || outline.Contains(r.Right, y)) << y;
    }

  EXPECT_EQ(TRegion::FromRects(all), outline);
  std::reverse(all.begin(), all.end());
  EXPECT_EQ(UnionOneByOne(all), outline);
}
