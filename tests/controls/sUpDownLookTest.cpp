// How the skinned up-down control looks: its two buttons from the scroll-button sections or
// from the section ButtonSkin names, and the unavailable look of a button that cannot move
// the position (or of both while disabled), worked out to the byte on a skin of plain colours.
#include <gtest/gtest.h>

#include "controls/sUpDown.h"
#include "frame/sSkinProvider.h"
#include "tests/support/TestSkinForm.h"

namespace {

// The left button's section, its 2-pixel frame and its arrow, one colour per state.
constexpr COLORREF kLeft = RGB(40, 80, 120), kLeftHot = RGB(50, 90, 130);
constexpr COLORREF kLeftFrame[3] = {RGB(10, 20, 30), RGB(12, 22, 32), RGB(14, 24, 34)};
constexpr COLORREF kLeftArrow[3] = {RGB(250, 0, 0), RGB(0, 250, 0), RGB(0, 0, 250)};
constexpr COLORREF kRight = RGB(60, 100, 140), kRightHot = RGB(70, 110, 150);
constexpr COLORREF kRightFrame[3] = {RGB(16, 26, 36), RGB(18, 28, 38), RGB(20, 30, 40)};
constexpr COLORREF kRightArrow[3] = {RGB(250, 250, 0), RGB(0, 250, 250), RGB(250, 0, 250)};
// A section of its own for both buttons, without a frame.
constexpr COLORREF kOwn = RGB(160, 60, 20), kOwnHot = RGB(180, 80, 40);

// In a 145 x 16 control the left button is 72 wide and the right one 73; the 6 x 8 arrows sit
// at ((72 - 6) div 2, (16 - 8) div 2) and 72 + (73 - 6) div 2.
const TPoint kLeftCorner{1, 1}, kLeftInside{10, 8}, kLeftArrowAt{35, 7};
const TPoint kRightCorner{72 + 1, 1}, kRightInside{72 + 10, 8}, kRightArrowAt{105 + 2, 7};

class UpDownLook : public TestSkinForm {
 protected:
  TsUpDown* UpDown = nullptr;
  int Clicks = 0;

  void SetUp() override {
    TestSkinForm::SetUp();
    Skin->Section("SCROLLBTNLEFT", kLeft, kLeftHot);
    Skin->Border("SCROLLBTNLEFT", 0, 0, 10, 16, {kLeftFrame[0], kLeftFrame[1], kLeftFrame[2]}, 2);
    Skin->Mask("SCROLLBTNLEFT", "GLYPHMASK", 0, 20, 6, 8, {kLeftArrow[0], kLeftArrow[1], kLeftArrow[2]});
    Skin->Section("SCROLLBTNRIGHT", kRight, kRightHot);
    Skin->Border("SCROLLBTNRIGHT", 0, 30, 10, 16, {kRightFrame[0], kRightFrame[1], kRightFrame[2]}, 2);
    Skin->Mask("SCROLLBTNRIGHT", "GLYPHMASK", 0, 50, 6, 8, {kRightArrow[0], kRightArrow[1], kRightArrow[2]});
    Skin->Section("OWNBUTTON", kOwn, kOwnHot);
  }
  // Makes the skin active and the 145 x 16 control at position 1000 of 0 to 2048.
  void Start() {
    Skin->Apply();
    UpDown = Make<TsUpDown>(24, 40, 16, 145);
    UpDown->SetOrientation(udHorizontal);
    UpDown->SetMax(2048);
    UpDown->SetPosition(1000);
    UpDown->OnClick = [this](TObject*, TUDBtnType) { ++Clicks; };
    ShowForm();
  }
  COLORREF At(TPoint p) { return ShotOf(UpDown).GetPixel(p.X, p.Y); }
};

TEST_F(UpDownLook, EachButtonIsItsScrollButtonSectionWithItsFrameAndArrow) {
  Start();
  EXPECT_EQ(At(kLeftCorner), kLeftFrame[0]);
  EXPECT_EQ(At(kLeftInside), kLeft);
  EXPECT_EQ(At(kLeftArrowAt), kLeftArrow[0]);
  EXPECT_EQ(At(kRightCorner), kRightFrame[0]);
  EXPECT_EQ(At(kRightInside), kRight);
  EXPECT_EQ(At(kRightArrowAt), kRightArrow[0]);
  MoveTo(UpDown, 20, 8);
  EXPECT_EQ(At(kLeftCorner), kLeftFrame[1]);
  EXPECT_EQ(At(kLeftInside), kLeftHot);
  EXPECT_EQ(At(kLeftArrowAt), kLeftArrow[1]);
  EXPECT_EQ(At(kRightInside), kRight);
}

TEST_F(UpDownLook, ButtonSkinPaintsBothButtonsFromItsSectionWithTheScrollArrows) {
  Start();
  UpDown->SetButtonSkin("OWNBUTTON");
  Handle();
  // The section's own colour everywhere: its border mask (none) replaces the scroll frame.
  EXPECT_EQ(At(kLeftCorner), kOwn);
  EXPECT_EQ(At(kLeftInside), kOwn);
  EXPECT_EQ(At(kRightCorner), kOwn);
  EXPECT_EQ(At(kRightInside), kOwn);
  // The arrows stay the scroll buttons' own.
  EXPECT_EQ(At(kLeftArrowAt), kLeftArrow[0]);
  EXPECT_EQ(At(kRightArrowAt), kRightArrow[0]);
  // Hot and pressed take the section's hot colour.
  MoveTo(UpDown, 100, 8);
  EXPECT_EQ(At(kRightInside), kOwnHot);
  EXPECT_EQ(At(kRightArrowAt), kRightArrow[1]);
  EXPECT_EQ(At(kLeftInside), kOwn);
  Display.Press();
  Handle();
  EXPECT_EQ(At(kRightInside), kOwnHot);
  EXPECT_EQ(At(kRightArrowAt), kRightArrow[2]);
  Display.Release();
  Handle();
  EXPECT_EQ(Clicks, 1);
  // Back to the scroll buttons.
  UpDown->SetButtonSkin("");
  Handle();
  EXPECT_EQ(At(kRightCorner), kRightFrame[1]);
  EXPECT_EQ(At(kLeftInside), kLeft);
}

// Without a face behind it (a plain form) an unavailable button is mixed with the form's
// colour c = (200, 210, 220) by a mask of grey 60 x 255 div 100 = 153: each byte becomes
// (c x 256 + 153 x (t - c)) >> 8.
TEST_F(UpDownLook, OnAPlainFormAnUnavailableButtonKeeps153PartsOf256OfItself) {
  Start();
  UpDown->SetPosition(0);
  Handle();
  // Left: (40, 80, 120) gives (26720, 33870, 41020) >> 8; its arrow (250, 0, 0) gives
  // (58850, 21630, 22660) >> 8.
  EXPECT_EQ(At(kLeftInside), RGB(104, 132, 160));
  EXPECT_EQ(At(kLeftArrowAt), RGB(229, 84, 88));
  EXPECT_EQ(At(kRightInside), kRight);
  // Hovering it changes nothing.
  MoveTo(UpDown, 20, 8);
  EXPECT_EQ(UpDown->DrawingState(), dsNormal);
  EXPECT_EQ(At(kLeftInside), RGB(104, 132, 160));

  // Disabled, both buttons are unavailable: right (60, 100, 140) gives (29780, 36930, 44080) >> 8.
  UpDown->SetPosition(1000);
  UpDown->SetEnabled(false);
  Handle();
  EXPECT_EQ(At(kLeftInside), RGB(104, 132, 160));
  EXPECT_EQ(At(kLeftArrowAt), RGB(229, 84, 88));
  EXPECT_EQ(At(kRightInside), RGB(116, 144, 172));
  MoveTo(UpDown, 20, 8);
  EXPECT_EQ(At(kLeftInside), RGB(104, 132, 160));
}

// On a skinned form the frame's picture lies behind the control: an unavailable button is
// 60 % of it and 40 % of itself, round(s - 0.4 x (s - d)), after greying when asked.
class UpDownOnSkinnedForm : public UpDownLook {
 protected:
  static constexpr COLORREF kFormFace = RGB(100, 50, 200);
  void SetUp() override {
    UpDownLook::SetUp();
    Skin->Section("FORM", kFormFace, kFormFace);
    new TsSkinProvider(Form);
  }
};

TEST_F(UpDownOnSkinnedForm, AnUnavailableButtonIsFortyPercentOfItselfOverTheFramesPicture) {
  Start();
  UpDown->SetPosition(2048);
  Handle();
  EXPECT_EQ(At(kLeftInside), kLeft);
  // Right (60, 100, 140) over (100, 50, 200); its arrow (250, 250, 0).
  EXPECT_EQ(At(kRightInside), RGB(84, 70, 176));
  EXPECT_EQ(At(kRightArrowAt), RGB(160, 130, 120));

  UpDown->SetEnabled(false);
  Handle();
  // Left (40, 80, 120); its arrow (250, 0, 0).
  EXPECT_EQ(At(kLeftInside), RGB(76, 62, 168));
  EXPECT_EQ(At(kLeftArrowAt), RGB(160, 30, 120));
  EXPECT_EQ(At(kRightInside), RGB(84, 70, 176));

  // Greyed first: (40 + 80 + 120) div 3 = 80 in every byte.
  UpDown->SetDisabledKind(dkGrayed | dkBlended);
  Handle();
  EXPECT_EQ(At(kLeftInside), RGB(92, 62, 152));
}

}  // namespace
