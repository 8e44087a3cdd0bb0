// Where the skinned check box puts its box, its caption and its dotted focus frame, read from
// the screen on a skin whose check box section is one plain colour and whose boxes are 12 x 14
// images of one colour per state.
#include <gtest/gtest.h>

#include "controls/sCheckBox.h"
#include "platform/widgets/Edit.h"
#include "tests/support/TestSkinForm.h"

namespace {

constexpr COLORREF kFace = RGB(90, 100, 110), kHotFace = RGB(110, 120, 130);
constexpr COLORREF kText = RGB(20, 30, 200), kHotText = RGB(200, 30, 20);
constexpr COLORREF kUnchecked[3] = {RGB(250, 0, 0), RGB(0, 250, 0), RGB(0, 0, 250)};
constexpr COLORREF kChecked[3] = {RGB(250, 250, 0), RGB(0, 250, 250), RGB(250, 0, 250)};
constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
constexpr int kBw = 12, kBh = 14;
// 130 x 13 pixels in the control's font.
const std::string kCaption = "Maruk timeline ROM viewer";

class CheckBoxLayout : public TestSkinForm {
 protected:
  TsCheckBox* Box = nullptr;

  void SetUp() override {
    TestSkinForm::SetUp();
    Skin->Section("CHECKBOX", kFace, kHotFace, kText, kHotText);
    Skin->Mask("GLOBALINFO", "BOXUNCHECKED", 0, 0, kBw, kBh, {kUnchecked[0], kUnchecked[1], kUnchecked[2]});
    Skin->Mask("GLOBALINFO", "BOXCHECKED", 0, 20, kBw, kBh, {kChecked[0], kChecked[1], kChecked[2]});
    Skin->Apply();
    Make<TEdit>(20, 250, 80, 20);  // takes the focus when the form shows
    Box = Make<TsCheckBox>(20, 20, 90, 20);
    Box->SetCaption(kCaption);
    ShowForm();
  }
  int CaptionMisses(TPoint at, COLORREF colour) {
    return InkMisses(InkOf(kCaption, Box->Font()->LogFont(), at, Box->Width(), Box->Height()), ShotOf(Box), colour);
  }
  TRect Dots() { return BoundsOfColour(ShotOf(Box), kBlack); }
};

TEST_F(CheckBoxLayout, TheBoxSitsAtTheMarginAndTheCaptionBesideIt) {
  // 12 + 2 x 2 + 130 + 8 wide, the larger of 14 and 13 + 2 x 2, plus 2, high.
  ASSERT_EQ(Box->Width(), 154);
  ASSERT_EQ(Box->Height(), 19);
  // The box at (2, (19 - 14) div 2).
  EXPECT_EQ(BoundsOfColour(ShotOf(Box), kUnchecked[0]), Bounds(2, 2, kBw, kBh));
  // The caption's rectangle starts at 12 + 0 + 2 + 4 = 18 and runs from 2 to 19 - 2 - 2; the
  // text's extent in it, grown by 1, is (17, 1, 149, 16), where the text is written.
  EXPECT_EQ(CaptionMisses({17, 2}, kText), 0);
  Box->SetChecked(true);
  Handle();
  EXPECT_EQ(BoundsOfColour(ShotOf(Box), kChecked[0]), Bounds(2, 2, kBw, kBh));
  EXPECT_EQ(CaptionMisses({17, 2}, kText), 0);

  // An indent of 6 moves the caption by 6 and widens the control by as much.
  Box->SetTextIndent(6);
  Handle();
  ASSERT_EQ(Box->Width(), 160);
  EXPECT_EQ(CaptionMisses({23, 2}, kText), 0);
}

TEST_F(CheckBoxLayout, LeftAlignedTheBoxGoesToTheRightAndTheCaptionToTheMargin) {
  Box->SetAlignment(taLeftJustify);
  Handle();
  ASSERT_EQ(Box->Width(), 154);
  // The box at 154 - 12 - 2; the caption's rectangle (2, 2, 154 - 18 - 2, 15).
  EXPECT_EQ(BoundsOfColour(ShotOf(Box), kUnchecked[0]), Bounds(140, 2, kBw, kBh));
  EXPECT_EQ(CaptionMisses({1, 2}, kText), 0);
  Box->SetFocus();
  Handle();
  // (1, 1, 133, 16) with its top a pixel lower, grown by 1.
  EXPECT_EQ(Dots(), (TRect{0, 1, 135, 18}));
}

TEST_F(CheckBoxLayout, TheFocusFrameIsTheWrittenRectangleLoweredByOneAndGrownByOne) {
  EXPECT_TRUE(Dots().IsEmpty());
  Box->SetFocus();
  Handle();
  // Focused: hot face, hot text, the hot box image.
  EXPECT_EQ(CaptionMisses({17, 2}, kHotText), 0);
  EXPECT_EQ(BoundsOfColour(ShotOf(Box), kUnchecked[1]), Bounds(2, 2, kBw, kBh));
  // (17, 1, 149, 16) becomes (17, 2, 149, 16), then (16, 1, 150, 17): dots on its edges.
  EXPECT_EQ(Dots(), (TRect{16, 1, 151, 18}));
  const TDib shot = ShotOf(Box);
  EXPECT_EQ(shot.GetPixel(16, 1), kBlack);
  EXPECT_EQ(shot.GetPixel(19, 1), kBlack);
  EXPECT_EQ(shot.GetPixel(17, 1), kHotFace);
  EXPECT_EQ(shot.GetPixel(15, 0), kWhite);
  EXPECT_EQ(shot.GetPixel(150, 4), kBlack);
  EXPECT_EQ(shot.GetPixel(16, 17), kBlack);

  Box->SetShowFocus(false);
  Handle();
  EXPECT_TRUE(Dots().IsEmpty());
}

TEST_F(CheckBoxLayout, AMultiLineCaptionIsWrappedWithCentredLinesInItsRectangle) {
  Box->SetMultiLine(true);
  Box->SetCaption("Maruk timeline");
  Box->SetBounds(20, 20, 80, 40);
  Handle();
  ASSERT_EQ(Box->Width(), 80);
  // The caption's rectangle (18, 2, 80 - 2 - 2, 40 - 2) with its bottom raised by 2.
  const TRect r{18, 2, 76, 36};
  const TDib expected = InkOf("Maruk timeline", Box->Font()->LogFont(), {}, 80, 40, DT_WORDBREAK | DT_CENTER, r);
  ASSERT_GT(BoundsOfColour(expected, kBlack).Height(), 13) << "the caption must wrap";
  EXPECT_EQ(InkMisses(expected, ShotOf(Box), kText), 0);
  // Each line is centred: as much room on its left as on its right, give or take the
  // font's side bearings.
  for (const TRect line : {TRect{r.Left, 2, r.Right, 15}, TRect{r.Left, 15, r.Right, 28}}) {
    const TRect ink = BoundsOfColour(ShotOf(Box), kText, line);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_LE(std::abs((ink.Left - r.Left) - (r.Right - ink.Right)), 2);
  }
  // The box is centred vertically: (40 - 14) div 2.
  EXPECT_EQ(BoundsOfColour(ShotOf(Box), kUnchecked[0]), Bounds(2, 13, kBw, kBh));
  // The frame is drawn around the whole rectangle: (18, 3, 76, 36) grown by 1.
  Box->SetFocus();
  Handle();
  EXPECT_EQ(Dots(), (TRect{17, 2, 78, 38}));
}

}  // namespace
