#include <gtest/gtest.h>

#include <cmath>

#include "controls/sBitBtn.h"
#include "platform/widgets/Edit.h"
#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

class SkinnedButton : public SkinnedControls {
 protected:
  TsBitBtn* Button = nullptr;
  TEdit* Edit = nullptr;  // first in the tab order: it has the focus when the form shows
  int Clicks = 0;
  void SetUp() override {
    SkinnedControls::SetUp();
    Edit = Make<TEdit>(20, 200, 80, 20);
    Button = Make<TsBitBtn>(20, 30, 105, 25);
    Button->SetCaption("Open ROM");
    Button->OnClick = [this](TObject*) { ++Clicks; };
    ShowForm();
  }
  void Press(int x = 10, int y = 10) {
    const TPoint p = Button->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    Display.Press();
    Handle();
  }
  void Release() {
    Display.Release();
    Handle();
  }
  // What the masked mix of the "BUTTON" border gives at face point (x, y) of a face laid on
  // `behind`, for a point on the top edge (which repeats the image's one-pixel column at 6).
  COLORREF TopEdgePixel(int state, int y, COLORREF behind) {
    const TDib* master = Manager->MasterBitmap();
    const int x = 243 + 14 * state + 6;
    const COLORREF s = master->GetPixel(x, 190 + y), m = master->GetPixel(x, 190 + 15 + y);
    auto mix = [](int d, int s, int m) { return std::clamp(int(std::floor(((d - s) * m + s * 256) / 256.0)), 0, 255); };
    return RGB(mix(GetRValue(behind), GetRValue(s), GetRValue(m)), mix(GetGValue(behind), GetGValue(s), GetGValue(m)),
               mix(GetBValue(behind), GetBValue(s), GetBValue(m)));
  }
};

TEST_F(SkinnedButton, TheCaptionIsCentredAndMovesByAPixelWhilePressed) {
  TDib probe(1, 1);
  TDC dc(&probe);
  SelectFont(&dc, Button->Font()->LogFont());
  TSize extent;
  GetTextExtentPoint32(&dc, "Open ROM", &extent);
  const TRect r = Button->CaptionRect();
  EXPECT_EQ(r.Left, (105 - extent.cx) / 2);
  EXPECT_EQ(r.Top, (26 - extent.cy) / 2);
  EXPECT_EQ(r.Width(), extent.cx);
  Button->SetDown(true);
  EXPECT_EQ(Button->StateIndex(), 2);
  EXPECT_EQ(Button->CaptionRect(), r.Offset(1, 1));
  Button->SetDown(false);
  EXPECT_EQ(Button->CaptionRect(), r);
}

TEST_F(SkinnedButton, AReleaseInsideClicksOnceAndOneOutsideDoesNot) {
  Press();
  EXPECT_EQ(Button->StateIndex(), 2);
  Release();
  EXPECT_EQ(Clicks, 1);
  EXPECT_NE(Button->StateIndex(), 2);

  Press();
  const TPoint outside = Button->ClientToScreen({150, 60});
  Display.MoveMouse(outside.X, outside.Y);
  Handle();
  Release();
  EXPECT_EQ(Clicks, 1);
  EXPECT_NE(Button->StateIndex(), 2);

  // The right button neither presses the face nor clicks.
  const TPoint p = Button->ClientToScreen({10, 10});
  Display.MoveMouse(p.X, p.Y);
  Display.Press(1);
  Handle();
  EXPECT_NE(Button->StateIndex(), 2);
  Display.Release(1);
  Handle();
  EXPECT_EQ(Clicks, 1);
}

TEST_F(SkinnedButton, SpaceDownAndUpClicksExactlyOnce) {
  Button->SetFocus();
  Display.Pump();
  Display.KeyDown(VK_SPACE);
  Display.KeyDown(VK_SPACE, true);  // auto-repeat
  Display.Pump();
  EXPECT_EQ(Button->StateIndex(), 2);
  EXPECT_EQ(Clicks, 0);
  Display.KeyUp(VK_SPACE);
  Display.Pump();
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Button->StateIndex(), 1);  // focused: hot
}

TEST_F(SkinnedButton, TheFaceIsTheBorderMaskOfItsStateOverWhatLiesBehind) {
  Display.Advance(500);  // no fade left running
  // Not focused, pointer elsewhere: the normal image, laid over the form's colour.
  ASSERT_EQ(Button->StateIndex(), 0);
  for (int y : {0, 2, 5}) EXPECT_EQ(PixelOf(Button, 50, y), TopEdgePixel(0, y, kFormColor)) << y;
  MoveTo(Button, 50, 12);
  Display.Advance(500);
  ASSERT_EQ(Button->StateIndex(), 1);
  for (int y : {0, 2, 5}) EXPECT_EQ(PixelOf(Button, 50, y), TopEdgePixel(1, y, kFormColor)) << y;
  Press(50, 12);
  Display.Advance(500);
  for (int y : {0, 2, 5}) EXPECT_EQ(PixelOf(Button, 50, y), TopEdgePixel(2, y, kFormColor)) << y;
  Release();
}

TEST_F(SkinnedButton, TheWindowIsCutWhereTheMasksCornerIsTransparent) {
  // Which of the normal image's corner pixels are the key colour.
  const TDib* master = Manager->MasterBitmap();
  ASSERT_EQ(master->GetPixel(243, 190), 0xFF00FFu) << "the stored button has rounded corners";
  TRegion shape;
  ASSERT_NE(GetWindowRgn(Button->Handle(), &shape), RGN_ERROR);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(shape.Contains(x, y), master->GetPixel(243 + x, 190 + y) != 0xFF00FFu) << x << "," << y;
  // The bottom-right corner: the image's last 7 columns and 8 rows.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(shape.Contains(105 - 7 + x, 25 - 8 + y), master->GetPixel(243 + 14 - 7 + x, 190 + 15 - 8 + y) != 0xFF00FFu)
          << x << "," << y;
  EXPECT_TRUE(shape.Contains(50, 12));
}

TEST_F(SkinnedButton, EnteringFadesOverTheSectionsIterationsAndAPressOverHalfOfThem) {
  Display.Advance(500);
  const COLORREF before = PixelOf(Button, 50, 2);
  MoveTo(Button, 50, 12);
  ASSERT_TRUE(Button->FadeTimer());
  EXPECT_EQ(Button->FadeTimer()->StepCount, 20);
  EXPECT_EQ(PixelOf(Button, 50, 2), before);  // nothing changes before the first tick
  Display.Advance(10);
  // Frame 1 keeps 243 parts of 255 of the old face.
  const COLORREF after = TopEdgePixel(1, 2, kFormColor);
  auto frame = [](int o, int n, int w) { return (o * w + n * (255 - w) + 127) >> 8; };
  EXPECT_EQ(PixelOf(Button, 50, 2), RGB(frame(GetRValue(before), GetRValue(after), 243),
                                        frame(GetGValue(before), GetGValue(after), 243),
                                        frame(GetBValue(before), GetBValue(after), 243)));
  Display.Advance(300);
  EXPECT_FALSE(Button->FadeTimer());
  EXPECT_EQ(PixelOf(Button, 50, 2), after);

  Press(50, 12);
  ASSERT_TRUE(Button->FadeTimer());
  EXPECT_EQ(Button->FadeTimer()->StepCount, 10);
  Display.Advance(200);
  Release();
}

TEST_F(SkinnedButton, ADisabledFaceIsHalfTheParentsColour) {
  Display.Advance(500);
  const COLORREF enabled = PixelOf(Button, 50, 12);
  Button->SetEnabled(false);
  Display.Pump();
  auto half = [](int face, int parent) { return int(std::nearbyint(0.5 * face + 0.5 * parent)); };
  EXPECT_EQ(PixelOf(Button, 50, 12), RGB(half(GetRValue(enabled), GetRValue(kFormColor)),
                                          half(GetGValue(enabled), GetGValue(kFormColor)),
                                          half(GetBValue(enabled), GetBValue(kFormColor))));
  // A click on it does nothing.
  Press(50, 12);
  Release();
  EXPECT_EQ(Clicks, 0);
}

TEST_F(SkinnedButton, TheDefaultButtonShowsHotWhileTheFocusIsNotOnAnotherButton) {
  auto* other = Make<TsBitBtn>(200, 30, 80, 25);
  Display.Advance(500);
  Button->SetDefault(true);
  other->SetFocus();
  Handle();
  EXPECT_EQ(Button->StateIndex(), 0);
  Edit->SetFocus();
  Handle();
  EXPECT_EQ(Button->StateIndex(), 1);
  other->SetFocus();
  Handle();
  EXPECT_EQ(Button->StateIndex(), 0);
}

TEST_F(SkinnedButton, WithoutASkinItIsThePlainButton) {
  Manager->SetActive(false);
  Display.Pump();
  EXPECT_FALSE(Button->SkinData()->IsSkinned());
  EXPECT_EQ(PixelOf(Button, 50, 3), GetSysColor(COLOR_BTNFACE));
  TRegion shape;
  EXPECT_EQ(GetWindowRgn(Button->Handle(), &shape), RGN_ERROR);  // the shape went with the skin
  Press();
  Release();
  EXPECT_EQ(Clicks, 1);
  Manager->SetActive(true);
  Display.Pump();
  EXPECT_TRUE(Button->SkinData()->IsSkinned());
  EXPECT_NE(PixelOf(Button, 50, 3), GetSysColor(COLOR_BTNFACE));
}

TEST_F(SkinnedButton, AButtonFreedByItsOwnClickDoesNotFault) {
  Button->OnClick = [this](TObject*) { TComponent::Free(Button); };
  Press();
  Release();
  EXPECT_EQ(Form->ControlCount(), 1);  // the edit is left
  Display.Advance(300);
}

}  // namespace
