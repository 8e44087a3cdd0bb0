// Where the skinned push button puts its glyph, its caption and its dotted focus frame, read
// from the screen on a skin whose button section is one plain colour: the glyph is found by
// its own colour, the caption by the section's text colour, the frame by its black dots.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "controls/sBitBtn.h"
#include "platform/widgets/Edit.h"
#include "tests/support/TestSkinForm.h"

namespace {

constexpr COLORREF kFace = RGB(100, 110, 120), kHotFace = RGB(120, 130, 140);
constexpr COLORREF kText = RGB(20, 30, 200), kHotText = RGB(200, 30, 20);
constexpr COLORREF kGlyph = RGB(0, 200, 0), kKey = RGB(255, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
// 130 pixels wide and 13 high in the button's font.
const std::string kCaption = "Maruk timeline ROM viewer";
// The button is 201 x 51, the glyph 10 x 8.
constexpr int kW = 201, kH = 51, kGw = 10, kGh = 8;

class ButtonLayout : public TestSkinForm {
 protected:
  TsBitBtn* Button = nullptr;
  TEdit* Edit = nullptr;  // first in the tab order: it has the focus when the form shows

  void SetUp() override {
    TestSkinForm::SetUp();
    Skin->Section("BUTTON", kFace, kHotFace, kText, kHotText)->ShowFocus = true;
    Skin->Apply();
    Edit = Make<TEdit>(20, 250, 80, 20);
    Button = Make<TsBitBtn>(20, 30, kW, kH);
    Button->SetCaption(kCaption);
    ShowForm();
  }
  // A 10 x 8 glyph of one colour; its bottom-left pixel, the transparent colour, is the key.
  void GiveGlyph() {
    TDib dib(kGw, kGh);
    dib.Fill(kGlyph);
    dib.SetPixel(0, kGh - 1, kKey);
    TBitmap glyph;
    glyph.LoadFromDib(dib);
    Button->SetGlyph(&glyph);
    Button->SetNumGlyphs(1);
  }
  void Arrange(TButtonLayout layout, TAlignment alignment, int margin, int spacing) {
    Button->SetLayout(layout);
    Button->SetAlignment(alignment);
    Button->SetMargin(margin);
    Button->SetSpacing(spacing);
    Button->SkinData()->InvalidateCache();
    Handle();
  }
  // The caption's pixels, in `colour`, where the window system draws the caption with its
  // top-left corner at `at`; the glyph's rectangle is left out.
  int CaptionMisses(TPoint at, COLORREF colour, TRect glyph = {}) {
    return InkMisses(InkOf(kCaption, Button->Font()->LogFont(), at, kW, kH), ShotOf(Button), colour, glyph);
  }
};

TEST_F(ButtonLayout, TheCaptionIs130By13PixelsInTheButtonsFont) {
  // The expected places below are worked out with this extent.
  TDib probe(1, 1);
  TDC dc(&probe);
  SelectFont(&dc, Button->Font()->LogFont());
  TSize extent;
  GetTextExtentPoint32(&dc, kCaption, &extent);
  EXPECT_EQ(extent.cx, 130);
  EXPECT_EQ(extent.cy, 13);
}

TEST_F(ButtonLayout, WithoutAGlyphTheCaptionIsCentred) {
  // ((201 - 130) div 2, (51 - 13 + 1) div 2), in the normal text colour.
  EXPECT_EQ(CaptionMisses({35, 19}, kText), 0);
  Arrange(blGlyphLeft, taLeftJustify, -1, 4);
  EXPECT_EQ(CaptionMisses({2, 19}, kText), 0);  // a margin of 2
  Arrange(blGlyphLeft, taRightJustify, 7, 4);
  EXPECT_EQ(CaptionMisses({201 - 7 - 130, 19}, kText), 0);
}

struct TPlace {
  TButtonLayout Layout;
  TAlignment Alignment;
  int Margin, Spacing;
  TPoint Glyph, Caption;
};

// Worked out for W 201, H 51, a 10 x 8 glyph and a 130 x 13 caption. Captions beside the glyph
// sit at y (51 - 13 + 1) div 2 = 19, glyphs at y (51 - 8) div 2 = 21; above or below it at x
// (201 - 130 + 1) div 2 = 36 and x (201 - 10) div 2 + 1 = 96. For the glyph m = 0 when the
// margin is -1, else margin + 3, and dx = (201 - 10 - s - 130) div 2 - m, dy = (51 - 8 - s -
// 13) div 2 - m.
const TPlace kPlaces[] = {
    // Margin -1, spacing 4: the caption's margin is 2 unless centred (dx = 28, dy = 13).
    {blGlyphLeft, taLeftJustify, -1, 4, {0, 21}, {2 + 10 + 4, 19}},
    {blGlyphLeft, taCenter, -1, 4, {28, 21}, {(201 - 130 - 4 - 10) / 2 + 4 + 10, 19}},
    {blGlyphLeft, taRightJustify, -1, 4, {56, 21}, {201 - 2 - 130, 19}},
    {blGlyphRight, taLeftJustify, -1, 4, {201 - 56 - 4 - 10, 21}, {2, 19}},
    {blGlyphRight, taCenter, -1, 4, {(130 + 201 + 4 - 10) / 2, 21}, {(201 - 130 - 4 - 10) / 2, 19}},
    {blGlyphRight, taRightJustify, -1, 4, {201 - 10, 21}, {201 - 2 - 10 - 4 - 130, 19}},
    {blGlyphTop, taCenter, -1, 4, {96, 13}, {36, (51 - 8 - 4 - 13) / 2 + 8 + 4}},
    // Centred below: margin (51 - 8 - 4 - 13 + 1) div 2 = 13, y 51 - 13 - 8 - 0 - 4 - 13.
    {blGlyphBottom, taCenter, -1, 4, {96, 51 - 13 - 8}, {36, 13}},
    // Margin 5, spacing 4 (m = 8, dx = 20, dy = 5).
    {blGlyphLeft, taLeftJustify, 5, 4, {8, 21}, {5 + 10 + 4, 19}},
    {blGlyphLeft, taCenter, 5, 4, {28, 21}, {42, 19}},
    {blGlyphLeft, taRightJustify, 5, 4, {8 + 40, 21}, {201 - 5 - 130, 19}},
    {blGlyphRight, taLeftJustify, 5, 4, {201 - 8 - 40 - 4 - 10, 21}, {5, 19}},
    {blGlyphRight, taCenter, 5, 4, {162, 21}, {28, 19}},
    {blGlyphRight, taRightJustify, 5, 4, {201 - 10 - 8, 21}, {201 - 5 - 10 - 4 - 130, 19}},
    {blGlyphTop, taLeftJustify, 5, 4, {96, 8 + 5}, {36, 25}},
    {blGlyphBottom, taRightJustify, 5, 4, {96, 51 - 8 - 5 - 8}, {36, 51 - 5 - 8 - (13 - 5) - 4 - 13}},
    // Spacing 10 (dx = 25, dy = 10); centred below the margin is (51 - 8 - 10 - 13 + 1) div 2 = 10.
    {blGlyphLeft, taCenter, -1, 10, {25, 21}, {(201 - 130 - 10 - 10) / 2 + 10 + 10, 19}},
    {blGlyphTop, taCenter, -1, 10, {96, 10}, {36, 10 + 8 + 10}},
    {blGlyphBottom, taCenter, -1, 10, {96, 51 - 10 - 8}, {36, 51 - 10 - 8 - 0 - 10 - 13}},
    // A negative spacing with margin -1: margin and spacing become (201 - 10 - 130) / 3 = 20
    // (or (51 - 8 - 13) / 3 = 10); the glyph keeps s = -1 (dx = 31, dy = 15).
    {blGlyphLeft, taLeftJustify, -1, -1, {0, 21}, {20 + 10 + 20, 19}},
    {blGlyphLeft, taCenter, -1, -1, {31, 21}, {(201 - 130 - 20 - 10) / 2 + 20 + 10, 19}},
    {blGlyphTop, taCenter, -1, -1, {96, 15}, {36, (51 - 8 - 10 - 13) / 2 + 8 + 10}},
    // With margin 5 a negative spacing becomes (201 - 10 - 5 - 130) div 2 = 28.
    {blGlyphRight, taRightJustify, 5, -1, {201 - 10 - 8, 21}, {201 - 5 - 10 - 28 - 130, 19}},
};

TEST_F(ButtonLayout, GlyphAndCaptionGoWhereLayoutAlignmentMarginAndSpacingPutThem) {
  GiveGlyph();
  for (const TPlace& p : kPlaces) {
    Arrange(p.Layout, p.Alignment, p.Margin, p.Spacing);
    const std::string where = "layout " + std::to_string(p.Layout) + ", alignment " + std::to_string(p.Alignment) +
                              ", margin " + std::to_string(p.Margin) + ", spacing " + std::to_string(p.Spacing);
    const TRect glyph = Bounds(p.Glyph.X, p.Glyph.Y, kGw, kGh);
    EXPECT_EQ(BoundsOfColour(ShotOf(Button), kGlyph), glyph) << where;
    EXPECT_EQ(CaptionMisses(p.Caption, kText, glyph), 0) << where;
  }
}

TEST_F(ButtonLayout, AGlyphWithoutCaptionIsCentredAlone) {
  GiveGlyph();
  Button->SetShowCaption(false);
  Arrange(blGlyphLeft, taCenter, -1, 4);
  // No caption: no spacing, dx = (201 - 10) div 2.
  EXPECT_EQ(BoundsOfColour(ShotOf(Button), kGlyph), Bounds(95, 21, kGw, kGh));
  EXPECT_TRUE(BoundsOfColour(ShotOf(Button), kText).IsEmpty());
  Arrange(blGlyphTop, taCenter, -1, 4);
  EXPECT_EQ(BoundsOfColour(ShotOf(Button), kGlyph), Bounds(96, (51 - 8) / 2, kGw, kGh));
}

TEST_F(ButtonLayout, PressedOrDownTheGlyphAndCaptionMoveOnePixelRightAndDown) {
  GiveGlyph();
  Arrange(blGlyphLeft, taCenter, -1, 4);
  ASSERT_EQ(BoundsOfColour(ShotOf(Button), kGlyph), Bounds(28, 21, kGw, kGh));
  Button->SetDown(true);
  Handle();
  EXPECT_EQ(BoundsOfColour(ShotOf(Button), kGlyph), Bounds(29, 22, kGw, kGh));
  EXPECT_EQ(CaptionMisses({43, 20}, kHotText, Bounds(29, 22, kGw, kGh)), 0);
  Button->SetDown(false);
  Handle();
  EXPECT_EQ(BoundsOfColour(ShotOf(Button), kGlyph), Bounds(28, 21, kGw, kGh));
  EXPECT_EQ(CaptionMisses({42, 19}, kText, Bounds(28, 21, kGw, kGh)), 0);

  // Held down by the mouse: the same, until the release.
  MoveTo(Button, 150, 40);
  Display.Press();
  Handle();
  EXPECT_EQ(BoundsOfColour(ShotOf(Button), kGlyph), Bounds(29, 22, kGw, kGh));
  EXPECT_EQ(CaptionMisses({43, 20}, kHotText, Bounds(29, 22, kGw, kGh)), 0);
  Display.Release();
  Handle();
  EXPECT_EQ(BoundsOfColour(ShotOf(Button), kGlyph), Bounds(28, 21, kGw, kGh));
  EXPECT_EQ(CaptionMisses({42, 19}, kHotText, Bounds(28, 21, kGw, kGh)), 0);
}

class ButtonFocusFrame : public ButtonLayout {
 protected:
  void Focus() {
    Button->SetFocus();
    Handle();
  }
  TRect Dots() { return BoundsOfColour(ShotOf(Button), kBlack); }
};

TEST_F(ButtonFocusFrame, TheFocusedButtonsCaptionIsFramedOneFocusMarginOut) {
  Focus();
  // The caption (35, 19, 165, 32) grown by 1: dots from (34, 18) to (166, 33) inclusive, with
  // white ones a pixel up and left of them.
  EXPECT_EQ(Dots(), (TRect{34, 18, 167, 34}));
  const TDib shot = ShotOf(Button);
  EXPECT_EQ(shot.GetPixel(34, 18), kBlack);
  EXPECT_EQ(shot.GetPixel(37, 18), kBlack);
  EXPECT_EQ(shot.GetPixel(35, 18), kHotFace);
  EXPECT_EQ(shot.GetPixel(33, 17), kWhite);
  EXPECT_EQ(shot.GetPixel(34, 21), kBlack);
  EXPECT_EQ(shot.GetPixel(166, 33), kBlack);
  // A focus margin of 3 takes effect with the next composition.
  Button->FocusMargin = 3;
  Button->SkinData()->InvalidateCache();
  Handle();
  EXPECT_EQ(Dots(), (TRect{32, 16, 169, 36}));
  EXPECT_EQ(ShotOf(Button).GetPixel(31, 15), kWhite);
}

TEST_F(ButtonFocusFrame, NoFrameWithoutFocusShowFocusTheSectionsFlagOrACaption) {
  EXPECT_TRUE(Dots().IsEmpty());  // not focused
  Focus();
  ASSERT_FALSE(Dots().IsEmpty());
  TsGeneralData& section = Manager->Sections()[size_t(Button->SkinData()->SectionIndex)];
  // Each condition taken away alone leaves no frame; given back, the frame is there again.
  const std::pair<const char*, std::function<void(bool)>> conditions[] = {
      {"ShowFocus", [&](bool on) { Button->SetShowFocus(on); }},
      {"the section's flag",
       [&](bool on) {
         section.ShowFocus = on;
         Button->SkinData()->InvalidateCache();
       }},
      {"ShowCaption", [&](bool on) { Button->SetShowCaption(on); }},
      {"a caption", [&](bool on) { Button->SetCaption(on ? kCaption : ""); }},
  };
  for (const auto& [name, set] : conditions) {
    set(false);
    Handle();
    EXPECT_TRUE(Dots().IsEmpty()) << name;
    set(true);
    Handle();
    EXPECT_FALSE(Dots().IsEmpty()) << name;
  }
}

}  // namespace
