#include <gtest/gtest.h>

#include "controls/sListBox.h"
#include "platform/widgets/Button.h"
#include "skin/data/sSkinManager.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

// The stored skin's "EDIT" border: its outermost row is (140, 172, 204) in the normal image and
// (62, 132, 210) in the hot one. A chosen item looks like a hot "MENUITEM", whose text is black
// with a contour of 16439433 = (137, 216, 250) one pixel to its right and below.
constexpr COLORREF kNormalEdge = RGB(140, 172, 204), kHotEdge = RGB(62, 132, 210), kWhite = RGB(255, 255, 255);
constexpr COLORREF kContour = RGB(137, 216, 250), kRed = RGB(255, 0, 0);

class ListBox : public SkinnedControls {
 protected:
  TsListBox* List = nullptr;
  TButton* Other = nullptr;

  void SetUp() override {
    SkinnedControls::SetUp();
    Other = Make<TButton>(10, 200, 75, 23);
    List = Make<TsListBox>(20, 20, 150, 100);
    List->Items()->SetStrings({"alpha", "beta", "gamma"});
  }
  COLORREF WindowPixel(TWinControl* c, int x, int y) {
    TRect r;
    GetWindowRect(c->Handle(), &r);
    return Display.ScreenPixel(r.Left + x, r.Top + y);
  }
  // How many pixels of an item's row have exactly this colour.
  int CountInRow(int index, COLORREF colour) {
    const TDib shot = ShotOf(List);
    const TRect row = List->ItemRect(index);
    int n = 0;
    for (int y = row.Top; y < row.Bottom; ++y)
      for (int x = row.Left; x < row.Right; ++x) n += shot.GetPixel(x, y) == colour;
    return n;
  }
};

TEST_F(ListBox, EdgeBackgroundAndItemsComeFromTheEditSection) {
  List->Font()->SetColor(kRed);
  ShowForm();
  Other->SetFocus();
  Handle();
  ASSERT_EQ(List->SkinData()->SkinSection(), "EDIT");
  EXPECT_EQ(WindowPixel(List, 75, 0), kNormalEdge);
  EXPECT_EQ(WindowPixel(List, 0, 50), kNormalEdge);
  EXPECT_EQ(PixelOf(List, 100, 80), kWhite);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GT(CountInRow(i, 0), 10) << i;
    EXPECT_EQ(CountInRow(i, kRed), 0) << i;
  }
  List->SetFocus();
  Handle();
  EXPECT_EQ(WindowPixel(List, 75, 0), kHotEdge);
}

TEST_F(ListBox, TheChosenItemHasTheSkinsLookOfAChosenItem) {
  ShowForm();
  Click(List, 30, List->ItemRect(1).Top + 5);
  ASSERT_EQ(List->ItemIndex(), 1);
  // The hot menu item's look: its contour around black text on a band that is neither the
  // list's white nor the system's highlight.
  EXPECT_GT(CountInRow(1, kContour), 5);
  EXPECT_GT(CountInRow(1, 0), 10);
  EXPECT_EQ(CountInRow(1, GetSysColor(COLOR_HIGHLIGHT)), 0);
  const TRect row = List->ItemRect(1);
  EXPECT_NE(PixelOf(List, row.Right - 20, row.Top + row.Height() / 2), kWhite);
  for (int other : {0, 2}) EXPECT_EQ(CountInRow(other, kContour), 0) << other;
  // The section shows no focus frame: no dotted frame of black pixels on the band's top row.
  int black = 0;
  for (int x = row.Left + 40; x < row.Right - 10; ++x) black += PixelOf(List, x, row.Top) == 0;
  EXPECT_EQ(black, 0);
}

TEST_F(ListBox, TheBuiltInScrollBarStaysAndScrolls) {
  std::vector<std::string> many;
  for (int i = 0; i < 30; ++i) many.push_back("item " + std::to_string(i));
  List->Items()->SetStrings(many);
  ShowForm();
  ASSERT_TRUE(List->ScrollBarVisible());
  const TRect bar = List->ScrollBarRect();
  // The classic down arrow, in the button face colour, at the bottom of the bar.
  EXPECT_EQ(PixelOf(List, bar.Left + 3, bar.Bottom - 3), GetSysColor(COLOR_BTNFACE));
  Click(List, bar.Left + 8, bar.Bottom - 8);
  EXPECT_EQ(List->TopIndex(), 1);
  EXPECT_EQ(List->ItemIndex(), -1);
}

TEST_F(ListBox, WithoutASkinItIsThePlainListBox) {
  List->Font()->SetColor(kRed);
  List->SetItemIndex(0);
  ShowForm();
  Other->SetFocus();
  Manager->SetActive(false);
  Handle();
  EXPECT_EQ(WindowPixel(List, 0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_GT(CountInRow(0, GetSysColor(COLOR_HIGHLIGHT)), 50);
  EXPECT_GT(CountInRow(1, kRed), 10);
  EXPECT_EQ(CountInRow(0, kContour), 0);
}

}  // namespace
