// How the skinned scroll bar looks on a skin of plain colours: the hot faces that follow the
// pointer, the disabled face and an arrow area lengthened to its section's border images.
#include <gtest/gtest.h>

#include "frame/sScrollBar.h"
#include "platform/widgets/Edit.h"
#include "tests/support/TestSkinForm.h"

namespace {

constexpr COLORREF kBefore = RGB(130, 20, 20), kBeforeHot = RGB(150, 40, 40);
constexpr COLORREF kAfter = RGB(20, 130, 20), kAfterHot = RGB(40, 150, 40);
constexpr COLORREF kLeft = RGB(20, 20, 130), kLeftHot = RGB(40, 40, 150);
constexpr COLORREF kRight = RGB(20, 120, 120), kRightHot = RGB(40, 140, 140);
constexpr COLORREF kThumb = RGB(200, 200, 200), kThumbHot = RGB(220, 220, 220);
const std::vector<COLORREF> kLeftArrow{RGB(250, 250, 0), RGB(0, 250, 250), RGB(250, 0, 250)};
const std::vector<COLORREF> kRightArrow{RGB(200, 100, 0), RGB(0, 100, 200), RGB(100, 0, 200)};
const std::vector<COLORREF> kLeftFrame{RGB(10, 10, 10), RGB(12, 12, 12), RGB(14, 14, 14)};

// A horizontal bar 121 x 17 on a plain form: 17-pixel arrows, a 14-pixel thumb. At position
// 50 of 0..100 the thumb's centre is 17 + 7 + round(73 / 100 x 50) = 60 (36.5 rounds to even),
// so it spans 53..67; the track before it shows at 17..53, the one after it at 67..104.
class ScrollBarLook : public TestSkinForm {
 protected:
  TsScrollBar* Bar = nullptr;

  void SetUp() override {
    TestSkinForm::SetUp();
    Skin->Section("SCROLLBAR1H", kBefore, kBeforeHot);
    Skin->Section("SCROLLBAR2H", kAfter, kAfterHot);
    Skin->Section("SCROLLBTNLEFT", kLeft, kLeftHot);
    Skin->Mask("SCROLLBTNLEFT", "GLYPHMASK", 0, 0, 6, 8, kLeftArrow);
    Skin->Section("SCROLLBTNRIGHT", kRight, kRightHot);
    Skin->Mask("SCROLLBTNRIGHT", "GLYPHMASK", 0, 10, 6, 8, kRightArrow);
    Skin->Section("SCROLLSLIDERH", kThumb, kThumbHot);
    AddToSkin();
    Skin->Apply();
    Make<TEdit>(20, 200, 80, 20);  // takes the focus: a focused bar would look hot
    Bar = Make<TsScrollBar>(20, 20, 121, 17);
    Bar->SetPosition(50);
    ShowForm();
  }
  virtual void AddToSkin() {}
  COLORREF At(int x, int y) { return ShotOf(Bar).GetPixel(x, y); }
  void Away() {
    const TPoint p = Form->ClientToScreen({300, 250});
    Display.MoveMouse(p.X, p.Y);
    Handle();
  }
};

TEST_F(ScrollBarLook, ThePartUnderThePointerAndTheTrackAroundItLookHot) {
  ASSERT_EQ(Bar->ThumbCentre(), 60);
  EXPECT_EQ(At(35, 8), kBefore);
  EXPECT_EQ(At(85, 8), kAfter);
  EXPECT_EQ(At(60, 8), kThumb);
  EXPECT_EQ(At(1, 1), kLeft);
  EXPECT_EQ(At(119, 15), kRight);
  // The arrows' 6 x 8 glyphs centred in 17 x 17: at (5, 4) and (104 + 5, 4).
  EXPECT_EQ(BoundsOfColour(ShotOf(Bar), kLeftArrow[0]), (TRect{5, 4, 11, 12}));
  EXPECT_EQ(BoundsOfColour(ShotOf(Bar), kRightArrow[0]), (TRect{109, 4, 115, 12}));

  // Over the track: both tracks hot, the rest normal.
  MoveTo(Bar, 85, 8);
  EXPECT_EQ(At(35, 8), kBeforeHot);
  EXPECT_EQ(At(85, 8), kAfterHot);
  EXPECT_EQ(At(60, 8), kThumb);
  EXPECT_EQ(At(1, 1), kLeft);
  EXPECT_EQ(At(119, 15), kRight);
  // Over the thumb.
  MoveTo(Bar, 60, 8);
  EXPECT_EQ(At(60, 8), kThumbHot);
  EXPECT_EQ(At(35, 8), kBeforeHot);
  EXPECT_EQ(At(85, 8), kAfterHot);
  // Over the first arrow: it and its glyph hot, the thumb normal again.
  MoveTo(Bar, 8, 8);
  EXPECT_EQ(At(1, 1), kLeftHot);
  EXPECT_EQ(BoundsOfColour(ShotOf(Bar), kLeftArrow[1]), (TRect{5, 4, 11, 12}));
  EXPECT_EQ(At(60, 8), kThumb);
  EXPECT_EQ(At(119, 15), kRight);
  EXPECT_EQ(BoundsOfColour(ShotOf(Bar), kRightArrow[0]), (TRect{109, 4, 115, 12}));
  // Over the second arrow.
  MoveTo(Bar, 112, 8);
  EXPECT_EQ(At(1, 1), kLeft);
  EXPECT_EQ(At(119, 15), kRightHot);
  EXPECT_EQ(BoundsOfColour(ShotOf(Bar), kRightArrow[1]), (TRect{109, 4, 115, 12}));
  // Gone: everything normal.
  Away();
  EXPECT_EQ(At(35, 8), kBefore);
  EXPECT_EQ(At(85, 8), kAfter);
  EXPECT_EQ(At(60, 8), kThumb);
  EXPECT_EQ(At(119, 15), kRight);
}

// Mixed half and half with the form's colour (200, 210, 220), as nothing lies behind the bar.
TEST_F(ScrollBarLook, ADisabledBarIsItsNormalFaceWithoutThumbHalfMixedWithTheForm) {
  Bar->SetPosition(0);
  Bar->SetEnabled(false);
  Handle();
  // The thumb's centre moves to 121 div 2 = 60, and no thumb is drawn there.
  EXPECT_EQ(Bar->ThumbCentre(), 60);
  EXPECT_EQ(At(25, 8), RGB(165, 115, 120));
  EXPECT_EQ(At(59, 8), RGB(165, 115, 120));
  EXPECT_EQ(At(60, 8), RGB(110, 170, 120));
  EXPECT_EQ(At(1, 1), RGB(110, 115, 175));
  EXPECT_EQ(At(119, 15), RGB(110, 165, 170));
  EXPECT_EQ(BoundsOfColour(ShotOf(Bar), RGB(225, 230, 110)), (TRect{5, 4, 11, 12}));
  // The pointer over it changes nothing.
  MoveTo(Bar, 8, 8);
  EXPECT_EQ(At(1, 1), RGB(110, 115, 175));
  MoveTo(Bar, 60, 8);
  EXPECT_EQ(At(60, 8), RGB(110, 170, 120));
  EXPECT_EQ(At(25, 8), RGB(165, 115, 120));
}

// The first arrow's section asks for its button to be as long as its border's 25-pixel images.
class LongArrowLook : public ScrollBarLook {
 protected:
  void AddToSkin() override {
    Skin->Border("SCROLLBTNLEFT", 0, 30, 25, 17, kLeftFrame, 2);
  }
  TsGeneralData& LeftSection() { return Manager->Sections()[size_t(Manager->FindSection("SCROLLBTNLEFT"))]; }
};

TEST_F(LongArrowLook, TheArrowAreaIsLengthenedToTheBordersImagesAndTheGlyphStaysInTheArrow) {
  LeftSection().ReservedBoolean = true;
  Bar->SetPosition(100);  // the thumb far right, at 90..104
  Bar->Repaint();
  Handle();
  // The button runs to 25 with its 2-pixel frame; inside, the section's colour.
  EXPECT_EQ(At(0, 0), kLeftFrame[0]);
  EXPECT_EQ(At(20, 0), kLeftFrame[0]);
  EXPECT_EQ(At(23, 8), kLeftFrame[0]);
  EXPECT_EQ(At(24, 16), kLeftFrame[0]);
  EXPECT_EQ(At(20, 8), kLeft);
  EXPECT_EQ(At(25, 8), kBefore);
  // The glyph is centred in the 17-pixel arrow, not in the longer button.
  EXPECT_EQ(BoundsOfColour(ShotOf(Bar), kLeftArrow[0]), (TRect{5, 4, 11, 12}));

  // Without the section's flag the button is the arrow's 17 pixels.
  LeftSection().ReservedBoolean = false;
  Bar->Repaint();
  Handle();
  EXPECT_EQ(At(15, 8), kLeftFrame[0]);
  EXPECT_EQ(At(16, 8), kLeftFrame[0]);
  EXPECT_EQ(At(17, 8), kBefore);
  EXPECT_EQ(At(20, 0), kBefore);
  EXPECT_EQ(BoundsOfColour(ShotOf(Bar), kLeftArrow[0]), (TRect{5, 4, 11, 12}));
}

}  // namespace
