#include "controls/sCheckBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/graphics/DC.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

constexpr COLORREF kKey = 0xFF00FF;
// The box masks of the stored skin's GLOBALINFO section: three state images of 16 x 18 side
// by side, each picture above its transparency mask.
const TRect kUncheckedMask{98, 154, 146, 190};
const TRect kCheckedMask{147, 154, 195, 190};
const TRect kGrayedMask{195, 188, 243, 224};
constexpr int kBoxW = 16, kBoxH = 18;

uint8_t Channel(COLORREF c, int shift) { return uint8_t((c >> shift) & 0xFF); }

class CheckBox : public SkinnedControls {
 protected:
  TsCheckBox* MakeBox(const std::string& caption, int x = 20, int y = 20) {
    auto* c = Make<TsCheckBox>(x, y, 90, 20);
    c->SetCaption(caption);
    c->OnClick = [this](TObject*) { ++Clicks; };
    return c;
  }
  // Input with the application's own handling, which tells controls that the pointer
  // entered or left them.
  void Hover(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    Settle();
  }
  void HoverForm() { Hover(Form, 300, 250); }
  // Shows the form with the focus on a plain button, away from the check boxes.
  void ShowUnfocused() {
    auto* sink = Make<TButton>(300, 20, 60, 25);
    ShowForm();
    sink->SetFocus();
    Settle();
  }
  void Settle() {
    App->ProcessMessages();
    Display.Pump();
  }
  void Press() {
    Display.Press();
    Settle();
  }
  void Release() {
    Display.Release();
    Settle();
  }
  // Longer than any fade of the stored skin.
  void FinishFades() {
    Display.Advance(400);
    Settle();
  }

  // The box as the mask's state image gives it over a plain background: key-coloured picture
  // pixels show the background, the others are mixed with it by their mask pixel.
  TDib ExpectedBox(const TRect& maskRect, int state, COLORREF background) {
    const TDib& master = *Manager->MasterBitmap();
    TDib out(kBoxW, kBoxH);
    for (int y = 0; y < kBoxH; ++y)
      for (int x = 0; x < kBoxW; ++x) {
        const int sx = maskRect.Left + state * kBoxW + x, sy = maskRect.Top + y;
        const COLORREF s = master.GetPixel(sx, sy), m = master.GetPixel(sx, sy + kBoxH);
        if (s == kKey) {
          out.SetPixel(x, y, background);
          continue;
        }
        COLORREF mixed = 0;
        for (int shift : {0, 8, 16}) {
          const int d = Channel(background, shift), sc = Channel(s, shift), mc = Channel(m, shift);
          mixed |= COLORREF(std::clamp(((d - sc) * mc + sc * 256) >> 8, 0, 255)) << shift;
        }
        out.SetPixel(x, y, mixed);
      }
    return out;
  }
  // The box of a check box with the default margin, as the screen shows it.
  TDib BoxOnScreen(TsCheckBox* c) {
    const TDib shot = ShotOf(c);
    const int top = (c->Height() - kBoxH) / 2;
    TDib out(kBoxW, kBoxH);
    for (int y = 0; y < kBoxH; ++y)
      for (int x = 0; x < kBoxW; ++x) out.SetPixel(x, y, shot.GetPixel(2 + x, top + y));
    return out;
  }
  static int Differences(const TDib& a, const TDib& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
    return n;
  }
  // A fade frame: (old × w + new × (255 − w) + 127) >> 8 in every channel.
  static TDib Blend(const TDib& from, const TDib& to, int w) {
    TDib out(from.Width(), from.Height());
    for (int y = 0; y < from.Height(); ++y)
      for (int x = 0; x < from.Width(); ++x) {
        COLORREF c = 0;
        for (int shift : {0, 8, 16}) {
          const int old = Channel(from.GetPixel(x, y), shift), now = Channel(to.GetPixel(x, y), shift);
          c |= COLORREF((old * w + now * (255 - w) + 127) >> 8) << shift;
        }
        out.SetPixel(x, y, c);
      }
    return out;
  }
  int Clicks = 0;
};

TEST_F(CheckBox, SizesItselfToItsBoxAndCaption) {
  auto* c = MakeBox("Hex view");
  TDib scratch(1, 1);
  TDC dc(&scratch);
  TCanvas canvas;
  canvas.SetHandle(&dc);
  canvas.Font()->Assign(c->Font());
  const TSize text = canvas.TextExtent("Hex view");
  ASSERT_EQ(text.cy, 13);
  // Box 16 x 18, margins 2, 8 more beside the caption; height the larger of 18 and 13 + 4, plus 2.
  EXPECT_EQ(c->Width(), 16 + 4 + text.cx + 8);
  EXPECT_EQ(c->Height(), 20);

  c->SetCaption("");
  EXPECT_EQ(c->Width(), 20);
  EXPECT_EQ(c->Height(), 20);

  c->SetMargin(5);
  EXPECT_EQ(c->Width(), 16 + 10);
  EXPECT_EQ(c->Height(), 20);  // 18 is still more than 2 x 5
  c->SetMargin(10);
  EXPECT_EQ(c->Height(), 22);
  c->SetMargin(2);
  c->SetCaption("Hex view");
  c->SetTextIndent(6);
  EXPECT_EQ(c->Width(), 16 + 4 + text.cx + 6 + 8);

  // A wrapped caption keeps the size the control was given.
  c->SetMultiLine(true);
  EXPECT_FALSE(c->AutoSize());
  c->SetBounds(c->Left(), c->Top(), 50, 40);
  c->SetCaption("A caption that wraps");
  EXPECT_EQ(c->Width(), 50);
  EXPECT_EQ(c->Height(), 40);
  c->SetAutoSize(true);
  EXPECT_FALSE(c->MultiLine());
  EXPECT_EQ(c->Height(), 20);

  // The viewer's check boxes keep the sizes their layout stores.
  EXPECT_EQ(Viewer->sCheckBox1->BoundsRect(), Bounds(128, 208, 107, 20));
  EXPECT_EQ(Viewer->sCheckBox2->BoundsRect(), Bounds(248, 208, 72, 20));
}

TEST_F(CheckBox, TheBoxIsTheMaskImageOfItsCheckStateAndItsLook) {
  auto* c = MakeBox("Hex view");
  auto* other = MakeBox("Other", 20, 60);
  ShowUnfocused();
  HoverForm();
  FinishFades();
  const TDib normal = ExpectedBox(kUncheckedMask, 0, kFormColor);
  const TDib hot = ExpectedBox(kUncheckedMask, 1, kFormColor);
  const TDib pressed = ExpectedBox(kUncheckedMask, 2, kFormColor);
  ASSERT_GT(Differences(normal, hot), 0);
  ASSERT_GT(Differences(hot, pressed), 0);
  EXPECT_EQ(Differences(BoxOnScreen(c), normal), 0);

  Hover(c, 5, 10);
  FinishFades();
  EXPECT_EQ(Differences(BoxOnScreen(c), hot), 0);
  Press();
  FinishFades();
  EXPECT_EQ(Differences(BoxOnScreen(c), pressed), 0);
  Release();
  FinishFades();
  ASSERT_TRUE(c->Checked());
  EXPECT_EQ(Differences(BoxOnScreen(c), ExpectedBox(kCheckedMask, 1, kFormColor)), 0);

  // Away from the pointer and the focus the box is normal again.
  HoverForm();
  other->SetFocus();
  FinishFades();
  EXPECT_EQ(Differences(BoxOnScreen(c), ExpectedBox(kCheckedMask, 0, kFormColor)), 0);

  c->SetAllowGrayed(true);
  c->SetState(cbGrayed);
  FinishFades();
  EXPECT_EQ(Differences(BoxOnScreen(c), ExpectedBox(kGrayedMask, 0, kFormColor)), 0);

  // Disabled, the face is mixed half and half with the parent's colour.
  c->SetEnabled(false);
  FinishFades();
  const TDib grayed = ExpectedBox(kGrayedMask, 0, kFormColor);
  const TDib shown = BoxOnScreen(c);
  for (int y = 0; y < kBoxH; ++y)
    for (int x = 0; x < kBoxW; ++x)
      for (int shift : {0, 8, 16}) {
        const double half = (Channel(grayed.GetPixel(x, y), shift) + Channel(kFormColor, shift)) / 2.0;
        ASSERT_EQ(Channel(shown.GetPixel(x, y), shift), uint8_t(std::nearbyint(half))) << x << "," << y;
      }
}

TEST_F(CheckBox, OwnPicturesReplaceTheSkinsBoxes) {
  // Three 3 x 2 state images over their masks: black mask rows show the picture, white ones
  // what lies behind.
  auto picture = [](TBitmap* target, COLORREF normal, COLORREF hot) {
    TDib dib(9, 4);
    dib.Fill(0);
    for (int x = 0; x < 9; ++x) {
      dib.SetPixel(x, 0, x < 3 ? normal : hot);
      dib.SetPixel(x, 1, x < 3 ? normal : hot);
      dib.SetPixel(x, 3, RGB(255, 255, 255));  // the lower row of each image is see-through
    }
    target->LoadFromDib(dib);
  };
  auto* c = MakeBox("");
  picture(c->GlyphChecked(), RGB(10, 20, 30), RGB(40, 50, 60));
  picture(c->GlyphUnChecked(), RGB(70, 80, 90), RGB(100, 110, 120));
  // 3 + 2 x 2 wide; the larger of 2 and 2 x 2, plus 2 high. The box sits at (2, 2).
  EXPECT_EQ(c->Width(), 7);
  EXPECT_EQ(c->Height(), 6);
  ShowUnfocused();
  HoverForm();
  FinishFades();
  EXPECT_EQ(PixelOf(c, 2, 2), RGB(70, 80, 90));
  EXPECT_EQ(PixelOf(c, 4, 2), RGB(70, 80, 90));
  const COLORREF behind = PixelOf(c, 2, 3);  // 255/256 of the form's colour
  EXPECT_LE(std::abs(int(GetRValue(behind)) - int(GetRValue(kFormColor))), 1);
  Hover(c, 3, 2);
  FinishFades();
  EXPECT_EQ(PixelOf(c, 2, 2), RGB(100, 110, 120));
  c->SetChecked(true);
  FinishFades();
  EXPECT_EQ(PixelOf(c, 2, 2), RGB(40, 50, 60));
}

TEST_F(CheckBox, AClickTogglesOnceAndAPressReleasedOutsideDoesNot) {
  auto* c = MakeBox("Hex view");
  ShowForm();
  Hover(c, 5, 10);
  Press();
  EXPECT_FALSE(c->Checked());  // toggles on release
  Release();
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(Clicks, 1);

  Press();
  HoverForm();
  Release();
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(Clicks, 1);

  // Leaving ends the press: coming back before the release doesn't toggle either.
  Hover(c, 5, 10);
  Press();
  HoverForm();
  Hover(c, 6, 10);
  Release();
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(Clicks, 1);

  // A right-button click does nothing.
  Display.Press(1);
  Display.Release(1);
  Settle();
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(Clicks, 1);
}

TEST_F(CheckBox, SpaceTogglesOnceOnItsRelease) {
  auto* c = MakeBox("Hex view");
  ShowForm();
  c->SetFocus();
  Display.KeyDown(VK_SPACE);
  Settle();
  EXPECT_FALSE(c->Checked());
  Display.KeyUp(VK_SPACE);
  Settle();
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(Clicks, 1);
  Display.Key(VK_SPACE);
  Settle();
  EXPECT_FALSE(c->Checked());
  EXPECT_EQ(Clicks, 2);
}

TEST_F(CheckBox, AClickHandlerMayFreeTheCheckBox) {
  auto* byMouse = MakeBox("Mouse");
  auto* byKey = MakeBox("Key", 20, 60);
  byMouse->OnClick = [this, byMouse](TObject*) {
    ++Clicks;
    TComponent::Free(byMouse);
  };
  byKey->OnClick = [this, byKey](TObject*) {
    ++Clicks;
    TComponent::Free(byKey);
  };
  ShowForm();
  Hover(byMouse, 5, 10);
  Press();
  Release();
  byKey->SetFocus();
  Display.Key(VK_SPACE);
  Settle();
  FinishFades();
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(Form->ControlCount(), 0);
}

TEST_F(CheckBox, AllowGrayedCyclesThroughTheGrayedState) {
  auto* c = MakeBox("Hex view");
  c->SetAllowGrayed(true);
  ShowForm();
  std::vector<TCheckBoxState> seen;
  for (int i = 0; i < 4; ++i) {
    Click(c, 5, 10);
    Settle();
    seen.push_back(c->State());
  }
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked, cbGrayed}));
  EXPECT_EQ(Clicks, 4);
}

TEST_F(CheckBox, ReadOnlyBlocksTheMouseAndKeysAndNeverLooksHotOrPressed) {
  auto* c = MakeBox("Hex view");
  c->SetReadOnly(true);
  ShowUnfocused();
  const TDib normal = ExpectedBox(kUncheckedMask, 0, kFormColor);
  Hover(c, 5, 10);
  FinishFades();
  EXPECT_EQ(Differences(BoxOnScreen(c), normal), 0);
  Press();
  FinishFades();
  EXPECT_EQ(Differences(BoxOnScreen(c), normal), 0);
  Release();
  c->SetFocus();
  Display.KeyDown(VK_SPACE);
  Settle();
  EXPECT_EQ(Differences(BoxOnScreen(c), normal), 0);
  Display.KeyUp(VK_SPACE);
  Settle();
  EXPECT_FALSE(c->Checked());
  EXPECT_EQ(Clicks, 0);

  // The program itself may still change it.
  c->SetChecked(true);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(CheckBox, SpaceOnAReadOnlyBoxRaisesNoKeyEventsWhereOtherKeysStillGoDown) {
  auto* c = MakeBox("Hex view");
  ShowForm();
  c->SetFocus();
  std::vector<WPARAM> downs, ups;
  c->OnKeyDown = [&](TObject*, WPARAM& key, TShiftState) { downs.push_back(key); };
  c->OnKeyUp = [&](TObject*, WPARAM& key, TShiftState) { ups.push_back(key); };
  // Editable, Space is the box's key and the program hears it.
  Display.Key(VK_SPACE);
  Settle();
  EXPECT_EQ(downs, std::vector<WPARAM>{VK_SPACE});
  EXPECT_EQ(ups, std::vector<WPARAM>{VK_SPACE});
  downs.clear();
  ups.clear();
  // Read-only, nothing happens: no press, no event, no key up of any key.
  c->SetReadOnly(true);
  Display.Key(VK_SPACE);
  Display.Key('A');
  Settle();
  EXPECT_EQ(downs, std::vector<WPARAM>{'A'});
  EXPECT_TRUE(ups.empty());
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(Clicks, 1);
}

TEST_F(CheckBox, WithoutItsSectionItIsThePlainCheckBoxAndReadOnlyStillHolds) {
  auto* c = MakeBox("Hex view");
  c->SkinData()->SetSkinSection("NO SUCH SECTION");
  ShowForm();
  // The plain box: a 13-pixel square with a white inside.
  const TRect box = c->BoxRect();
  EXPECT_EQ(box.Width(), 13);
  EXPECT_EQ(PixelOf(c, box.Left + 6, box.Top + 3), RGB(255, 255, 255));
  Click(c, box.Left + 5, box.Top + 5);
  EXPECT_TRUE(c->Checked());
  c->SetReadOnly(true);
  Click(c, box.Left + 5, box.Top + 5);
  c->SetFocus();
  Display.Key(VK_SPACE);
  Settle();
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(Clicks, 1);
}

TEST_F(CheckBox, EnteringFadesOverTheSectionsIterationsAndPressingOverHalfOfThem) {
  ASSERT_TRUE(Section("CHECKBOX").FadingEnabled);
  ASSERT_EQ(Section("CHECKBOX").FadingIterations, 20);
  auto* c = MakeBox("Hex view");
  ShowUnfocused();
  HoverForm();
  FinishFades();
  const TDib normal = ExpectedBox(kUncheckedMask, 0, kFormColor);
  const TDib hot = ExpectedBox(kUncheckedMask, 1, kFormColor);
  const TDib pressed = ExpectedBox(kUncheckedMask, 2, kFormColor);

  // Twenty frames, one every 10 ms: the tenth has the weight 255 - 10 x 256 div 20 = 127.
  Hover(c, 5, 10);
  EXPECT_EQ(Differences(BoxOnScreen(c), normal), 0);
  Display.Advance(100);
  EXPECT_EQ(Differences(BoxOnScreen(c), Blend(normal, hot, 127)), 0);
  Display.Advance(100);
  EXPECT_EQ(Differences(BoxOnScreen(c), Blend(normal, hot, 0)), 0);  // the twentieth, still rounded
  Display.Advance(10);
  EXPECT_EQ(Differences(BoxOnScreen(c), hot), 0);

  // A press fades over ten frames. Taking the focus shows the first one at once, so 40 ms
  // later the fifth is up: weight 255 - 5 x 256 div 10 = 127.
  Press();
  Display.Advance(40);
  EXPECT_EQ(Differences(BoxOnScreen(c), Blend(hot, pressed, 127)), 0);
  Display.Advance(60);
  EXPECT_EQ(Differences(BoxOnScreen(c), pressed), 0);
}

}  // namespace
