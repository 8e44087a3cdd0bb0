#include <gtest/gtest.h>

#include "controls/sEdit.h"
#include "dialogs/sListBox.h"
#include "platform/widgets/Button.h"
#include "skin/data/sSkinManager.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

// The stored skin's "EDIT" section is white with black text. Its border picture's outermost
// row and column are opaque: (140, 172, 204) in the normal image, (62, 132, 210) in the hot one;
// the corner pixel has the normal colour under a mask of 207.
constexpr COLORREF kNormalEdge = RGB(140, 172, 204), kHotEdge = RGB(62, 132, 210), kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
// A chosen list item looks like a hot "MENUITEM": black text with a contour of 16439433.
constexpr COLORREF kContour = RGB(137, 216, 250);

// The masked mix of one channel: ((d - s) * m + s * 256) >> 8.
constexpr int Mix(int d, int s, int m) { return ((d - s) * m + s * 256) >> 8; }

class EditAndList : public SkinnedControls {
 protected:
  TButton* Other = nullptr;  // holds the focus when the control under test is not to have it
  void SetUp() override {
    SkinnedControls::SetUp();
    Other = Make<TButton>(10, 200, 75, 23);
  }
  COLORREF WindowPixel(TWinControl* c, int x, int y) {
    TRect r;
    GetWindowRect(c->Handle(), &r);
    return Display.ScreenPixel(r.Left + x, r.Top + y);
  }
  void FocusOther() {
    Other->SetFocus();
    Handle();
  }
  // How many pixels of a client rectangle have exactly this colour.
  int Count(TControl* c, COLORREF colour, TRect r = {}) {
    if (r.IsEmpty()) r = c->ClientRect();
    const TDib shot = ShotOf(c);
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += shot.GetPixel(x, y) == colour;
    return n;
  }
};

TEST_F(EditAndList, EditEdgeBackgroundAndTextComeFromTheEditSection) {
  auto* edit = Make<TsEdit>(20, 30, 120, 21);
  auto* bare = Make<TsEdit>(20, 80, 120, 21);
  bare->SetBorderStyle(bsNone);
  for (TsEdit* e : {edit, bare}) {
    e->Font()->SetColor(kRed);
    e->SetText("Wide");
  }
  ShowForm();
  FocusOther();
  ASSERT_EQ(edit->SkinData()->SkinSection(), "EDIT");
  EXPECT_EQ(WindowPixel(edit, 60, 0), kNormalEdge);
  EXPECT_EQ(WindowPixel(edit, 0, 10), kNormalEdge);
  EXPECT_EQ(WindowPixel(edit, 119, 10), kNormalEdge);
  EXPECT_EQ(PixelOf(edit, 100, 8), kWhite);
  // The rounded corner is blended over the form behind it, not over the edit's own white.
  EXPECT_EQ(WindowPixel(edit, 0, 0), RGB(Mix(200, 140, 207), Mix(210, 172, 207), Mix(220, 204, 207)));
  EXPECT_EQ(WindowPixel(edit, 119, 20), RGB(188, 202, 216));
  // Black text whatever the font's colour; without a sunken edge, no border at all.
  EXPECT_GT(Count(edit, 0), 10);
  EXPECT_EQ(Count(edit, kRed), 0);
  for (const TPoint p : {TPoint{0, 0}, TPoint{60, 0}, TPoint{119, 20}}) EXPECT_EQ(PixelOf(bare, p.X, p.Y), kWhite);
  // A custom font keeps its own colour; a disabled edit's text is 0.4 black and 0.6 white.
  edit->SkinData()->SetCustomFont(true);
  bare->SetEnabled(false);
  edit->Invalidate();
  Handle();
  EXPECT_GT(Count(edit, kRed), 10);
  EXPECT_GT(Count(bare, RGB(153, 153, 153)), 10);
  EXPECT_EQ(Count(bare, 0), 0);
}

TEST_F(EditAndList, FocusAndThePointerGiveTheHotEdge) {
  auto* edit = Make<TsEdit>(20, 30, 120, 21);
  auto* list = Make<TsListBox>(20, 80, 150, 60);
  ShowForm();
  FocusOther();
  EXPECT_EQ(WindowPixel(edit, 60, 0), kNormalEdge);
  EXPECT_EQ(WindowPixel(list, 75, 0), kNormalEdge);
  edit->SetFocus();
  Handle();
  EXPECT_EQ(WindowPixel(edit, 60, 0), kHotEdge);
  list->SetFocus();
  Handle();
  EXPECT_EQ(WindowPixel(edit, 60, 0), kNormalEdge);
  EXPECT_EQ(WindowPixel(list, 75, 0), kHotEdge);
  MoveTo(edit, 30, 8);
  EXPECT_EQ(WindowPixel(edit, 60, 0), kHotEdge);
  MoveTo(Other, 5, 5);
  EXPECT_EQ(WindowPixel(edit, 60, 0), kNormalEdge);
}

TEST_F(EditAndList, ListItemsTakeTheSectionsColourAndTheChosenOneTheSkinsLook) {
  auto* list = Make<TsListBox>(20, 20, 150, 100);
  list->Items()->SetStrings({"alpha", "beta", "gamma"});
  list->Font()->SetColor(kRed);
  ShowForm();
  Click(list, 30, list->ItemRect(1).Top + 5);
  ASSERT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(PixelOf(list, 100, 80), kWhite);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GT(Count(list, 0, list->ItemRect(i)), 10) << i;
    EXPECT_EQ(Count(list, kRed, list->ItemRect(i)), 0) << i;
    // Only the chosen item has the contour, on a band that is not the system's highlight.
    EXPECT_EQ(Count(list, kContour, list->ItemRect(i)) > 5, i == 1) << i;
  }
  EXPECT_EQ(Count(list, GetSysColor(COLOR_HIGHLIGHT)), 0);
  const TRect row = list->ItemRect(1);
  EXPECT_NE(PixelOf(list, row.Right - 20, row.Top + row.Height() / 2), kWhite);
}

}  // namespace
