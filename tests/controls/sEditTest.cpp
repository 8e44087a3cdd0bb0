#include <gtest/gtest.h>

#include "controls/sEdit.h"
#include "platform/widgets/Button.h"
#include "skin/data/sSkinManager.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

// The stored skin's "EDIT" border: its outermost row and column are opaque in both images,
// (140, 172, 204) in the normal one and (62, 132, 210) in the hot one; the corner pixel has the
// same colour under a mask of 207 (0xCF). The section's Color is white, its font colour black.
constexpr COLORREF kNormalEdge = RGB(140, 172, 204), kHotEdge = RGB(62, 132, 210), kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

// The masked mix of one channel: ((d - s) * m + s * 256) >> 8.
constexpr int Mix(int d, int s, int m) { return ((d - s) * m + s * 256) >> 8; }

class Edit : public SkinnedControls {
 protected:
  TsEdit* EditBox = nullptr;
  TButton* Other = nullptr;  // holds the focus when the edit is not to have it

  void SetUp() override {
    SkinnedControls::SetUp();
    Other = Make<TButton>(10, 200, 75, 23);
    EditBox = Make<TsEdit>(20, 30, 120, 21);
  }
  // What the screen shows at a point of a control's window (its edge included).
  COLORREF WindowPixel(TWinControl* c, int x, int y) {
    TRect r;
    GetWindowRect(c->Handle(), &r);
    return Display.ScreenPixel(r.Left + x, r.Top + y);
  }
  void FocusOther() {
    Other->SetFocus();
    Handle();
  }
  // How many pixels of the client area have exactly this colour.
  int Count(TControl* c, COLORREF colour) {
    const TDib shot = ShotOf(c);
    int n = 0;
    for (int y = 0; y < c->ClientHeight(); ++y)
      for (int x = 0; x < c->ClientWidth(); ++x) n += shot.GetPixel(x, y) == colour;
    return n;
  }
};

TEST_F(Edit, EdgeAndBackgroundComeFromTheEditSection) {
  ShowForm();
  FocusOther();
  ASSERT_EQ(EditBox->SkinData()->SkinSection(), "EDIT");
  EXPECT_EQ(Section("EDIT").Color, TColor(kWhite));
  // The sunken edge shows the border picture, not the classic 3D edge.
  EXPECT_EQ(WindowPixel(EditBox, 60, 0), kNormalEdge);
  EXPECT_EQ(WindowPixel(EditBox, 0, 10), kNormalEdge);
  EXPECT_EQ(WindowPixel(EditBox, 119, 10), kNormalEdge);
  EXPECT_EQ(WindowPixel(EditBox, 60, 20), kNormalEdge);
  EXPECT_EQ(PixelOf(EditBox, 60, 8), kWhite);
  // The rounded corner is blended over the form behind it, not over the edit's own white.
  const COLORREF corner = RGB(Mix(200, 140, 207), Mix(210, 172, 207), Mix(220, 204, 207));
  EXPECT_EQ(corner, RGB(188, 202, 216));
  EXPECT_EQ(WindowPixel(EditBox, 0, 0), corner);
  EXPECT_EQ(WindowPixel(EditBox, 119, 20), corner);
}

TEST_F(Edit, WithoutABorderStyleTheFaceHasNoEdge) {
  EditBox->SetBorderStyle(bsNone);
  ShowForm();
  FocusOther();
  ASSERT_EQ(EditBox->ClientWidth(), 120);
  for (const TPoint p : {TPoint{0, 0}, TPoint{60, 0}, TPoint{0, 10}, TPoint{119, 20}})
    EXPECT_EQ(PixelOf(EditBox, p.X, p.Y), kWhite) << p.X << "," << p.Y;
}

TEST_F(Edit, TextTakesTheSectionsFontColourUnlessTheFontIsCustom) {
  EditBox->Font()->SetColor(kRed);
  EditBox->SetText("Wide");
  ShowForm();
  FocusOther();
  EXPECT_GT(Count(EditBox, 0), 10);
  EXPECT_EQ(Count(EditBox, kRed), 0);
  EditBox->SkinData()->SetCustomFont(true);
  EditBox->Invalidate();
  Handle();
  EXPECT_GT(Count(EditBox, kRed), 10);
  EXPECT_EQ(Count(EditBox, 0), 0);
}

TEST_F(Edit, FocusAndThePointerGiveTheHotEdge) {
  ShowForm();
  FocusOther();
  EXPECT_EQ(WindowPixel(EditBox, 60, 0), kNormalEdge);
  EditBox->SetFocus();
  Handle();
  EXPECT_EQ(WindowPixel(EditBox, 60, 0), kHotEdge);
  FocusOther();
  EXPECT_EQ(WindowPixel(EditBox, 60, 0), kNormalEdge);
  MoveTo(EditBox, 30, 8);
  EXPECT_EQ(WindowPixel(EditBox, 60, 0), kHotEdge);
  MoveTo(Other, 5, 5);
  EXPECT_EQ(WindowPixel(EditBox, 60, 0), kNormalEdge);
}

TEST_F(Edit, SelectionAndCaretAreTheToolkits) {
  EditBox->SetText("abc def");
  ShowForm();
  EditBox->SetFocus();
  EditBox->SelectAll();
  Handle();
  // The selection band in the system's highlight colour, its text in the highlight text colour.
  EXPECT_GT(Count(EditBox, GetSysColor(COLOR_HIGHLIGHT)), 20);
  EXPECT_GT(Count(EditBox, GetSysColor(COLOR_HIGHLIGHTTEXT)), 20);
  // Typing replaces it; the caret is an inverted column in the white background.
  Display.TypeText("x");
  Handle();
  EXPECT_EQ(EditBox->Text(), "x");
  EXPECT_EQ(Count(EditBox, GetSysColor(COLOR_HIGHLIGHT)), 0);
}

TEST_F(Edit, DisabledTextIsDimmedTowardTheBackground) {
  EditBox->SetText("Wide");
  EditBox->SetEnabled(false);
  ShowForm();
  // 0.4 of the black text and 0.6 of the white background.
  EXPECT_GT(Count(EditBox, RGB(153, 153, 153)), 10);
  EXPECT_EQ(Count(EditBox, 0), 0);
}

TEST_F(Edit, WithoutASkinItIsThePlainEditAndFollowsTheSkinBack) {
  EditBox->Font()->SetColor(kRed);
  EditBox->SetText("Wide");
  ShowForm();
  FocusOther();
  Manager->SetActive(false);
  Handle();
  // The classic sunken edge: shadow grey outside, dark grey inside, at the top-left.
  EXPECT_EQ(WindowPixel(EditBox, 0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(EditBox, 1, 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_GT(Count(EditBox, kRed), 10);
  Manager->SetActive(true);
  Handle();
  EXPECT_EQ(WindowPixel(EditBox, 60, 0), kNormalEdge);
  EXPECT_EQ(Count(EditBox, kRed), 0);
}

}  // namespace
