#include <gtest/gtest.h>

#include <set>

#include "controls/sTextWriter.h"
#include "platform/graphics/DC.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

// A control with a skin link, for the caption painters.
class TCaptioned : public TCustomControl {
 public:
  explicit TCaptioned(TComponent* owner) : TCustomControl(owner), Link(this) {}
  TsCommonData Link;
};

using TextWriter = SkinnedControls;
constexpr COLORREF kPaper = RGB(255, 255, 255);

// Draws `text` plainly in black on white and returns which pixels the glyphs cover.
std::set<std::pair<int, int>> GlyphPixels(TControl* c, const std::string& text, const TRect& r, unsigned format) {
  TDib dib(r.Right + 4, r.Bottom + 4);
  dib.Fill(kPaper);
  TDC dc(&dib);
  SelectFont(&dc, c->Font()->LogFont());
  SetTextColor(&dc, 0);
  SetBkMode(&dc, TRANSPARENT);
  TRect at = r;
  DrawText(&dc, text, &at, format);
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x)
      if (dib.GetPixel(x, y) != kPaper) out.insert({x, y});
  return out;
}

TEST_F(TextWriter, HotTextHasTheSectionsContoursOnePixelToTheirSidesUnderTheText) {
  // The stored title section's hot colours: text 16380390, contours left and top 4072704.
  auto* c = Make<TCaptioned>(0, 0, 60, 20);
  c->Link.SetSkinSection("FORMTITLE");
  ASSERT_GE(c->Link.SectionIndex, 0);
  const COLORREF text = 16380390, contour = 4072704;
  const TRect box{0, 0, 60, 20};
  const unsigned format = DT_LEFT | DT_TOP | DT_WORDBREAK;
  const auto glyph = GlyphPixels(c, "Hi", box, format);
  ASSERT_FALSE(glyph.empty());

  TDib dib(64, 24);
  dib.Fill(kPaper);
  TDC dc(&dib);
  TCanvas canvas;
  canvas.SetHandle(&dc);
  TRect r = box;
  WriteSkinText(&canvas, "Hi", true, true, &c->Link, format, r);
  EXPECT_EQ(r, box);  // word wrapping keeps the rectangle
  int wrong = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      // Drawn in order: shifted left, shifted up, then the text itself on top.
      COLORREF want = kPaper;
      if (glyph.count({x + 1, y}) || glyph.count({x, y + 1})) want = contour;
      if (glyph.count({x, y})) want = text;
      wrong += dib.GetPixel(x, y) != want;
    }
  EXPECT_EQ(wrong, 0);

  // Not hot: the title's normal colours have no contours.
  dib.Fill(kPaper);
  r = box;
  WriteSkinText(&canvas, "Hi", true, false, &c->Link, format, r);
  for (const auto& [x, y] : glyph) EXPECT_EQ(dib.GetPixel(x, y), 6636336u);
  EXPECT_EQ(dib.GetPixel(0, 0), kPaper);
}

TEST_F(TextWriter, WithoutWordWrapTheRectangleBecomesTheTextsExtentGrownByOne) {
  auto* c = Make<TCaptioned>(0, 0, 100, 20);
  c->Link.SetSkinSection("BUTTON");
  TDib dib(100, 20);
  TDC dc(&dib);
  TCanvas canvas;
  canvas.SetHandle(&dc);
  canvas.Font()->Assign(c->Font());
  const TSize extent = canvas.TextExtent("Hex view");
  ASSERT_EQ(extent.cy, 13);
  TRect r{0, 0, 100, 20};
  WriteSkinText(&canvas, "Hex view", true, false, &c->Link, DT_CENTER | DT_VCENTER | DT_SINGLELINE, r);
  const int left = (100 - extent.cx) / 2;
  EXPECT_EQ(r, (TRect{left - 1, 2, left + extent.cx + 1, 2 + 13 + 2}));  // top (20 - 13) div 2 = 3, less 1
  r = {10, 0, 100, 20};
  WriteSkinText(&canvas, "Hex view", true, false, &c->Link, DT_LEFT | DT_VCENTER | DT_SINGLELINE, r);
  EXPECT_EQ(r.Left, 9);
  r = {0, 0, 100, 20};
  WriteSkinText(&canvas, "Hex view", true, false, &c->Link, DT_RIGHT | DT_VCENTER | DT_SINGLELINE, r);
  EXPECT_EQ(r.Right, 101);
}

TEST_F(TextWriter, DisabledTextIsEngravedAndTextStaysInsideItsRectangle) {
  auto* c = Make<TCaptioned>(0, 0, 60, 20);
  c->Link.SetSkinSection("BUTTON");
  const TRect box{0, 0, 60, 20};
  const unsigned format = DT_LEFT | DT_TOP | DT_WORDBREAK;
  const auto glyph = GlyphPixels(c, "Hi", box, format);
  TDib dib(64, 24);
  dib.Fill(0x123456);
  TDC dc(&dib);
  TCanvas canvas;
  canvas.SetHandle(&dc);
  TRect r = box;
  WriteSkinText(&canvas, "Hi", false, false, &c->Link, format, r);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  for (const auto& [x, y] : glyph) {
    EXPECT_EQ(dib.GetPixel(x, y), shadow);
    if (!glyph.count({x + 1, y + 1})) {
      EXPECT_EQ(dib.GetPixel(x + 1, y + 1), highlight);
    }
  }

  // A rectangle narrower than the text cuts it off.
  dib.Fill(kPaper);
  r = {0, 0, 4, 20};
  WriteSkinText(&canvas, "Hi", true, false, &c->Link, format, r);
  for (int y = 0; y < 20; ++y)
    for (int x = 4; x < 64; ++x) ASSERT_EQ(dib.GetPixel(x, y), kPaper) << x << "," << y;
}

TEST(DottedFocusRect, DotsEveryThirdPixelWithWhiteOnesUpAndLeft) {
  TDib dib(20, 12);
  dib.Fill(RGB(9, 9, 9));
  TDC dc(&dib);
  TCanvas canvas;
  canvas.SetHandle(&dc);
  DrawDottedFocusRect(&canvas, {2, 2, 14, 8});  // 12 x 6
  const COLORREF black = 0, white = RGB(255, 255, 255), none = RGB(9, 9, 9);
  for (int x : {2, 5, 8, 11, 14}) {
    EXPECT_EQ(dib.GetPixel(x, 2), black) << x;
    EXPECT_EQ(dib.GetPixel(x, 8), black) << x;  // the bottom edge itself
    EXPECT_EQ(dib.GetPixel(x - 1, 1), white) << x;
  }
  for (int y : {2, 5, 8}) {
    EXPECT_EQ(dib.GetPixel(2, y), black) << y;
    EXPECT_EQ(dib.GetPixel(14, y), black) << y;
    EXPECT_EQ(dib.GetPixel(1, y - 1), white) << y;
    EXPECT_EQ(dib.GetPixel(13, y - 1), white) << y;
  }
  EXPECT_EQ(dib.GetPixel(3, 2), none);
  EXPECT_EQ(dib.GetPixel(2, 3), none);
  EXPECT_EQ(dib.GetPixel(6, 5), none);
  EXPECT_EQ(dib.GetPixel(15, 8), none);
}

}  // namespace
