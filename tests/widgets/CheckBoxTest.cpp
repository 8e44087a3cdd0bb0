#include "platform/components/LayoutReader.h"
#include "platform/widgets/CheckBox.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

const COLORREF kShadow = GetSysColor(COLOR_BTNSHADOW), kWindow = GetSysColor(COLOR_WINDOW),
               kFace = GetSysColor(COLOR_BTNFACE), kText = GetSysColor(COLOR_WINDOWTEXT);

class CheckBox : public WidgetTest {
 protected:
  TForm* Form = nullptr;
  TCheckBox* Box = nullptr;
  int Clicks = 0;
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(50, 50, 300, 150);
    Box = new TCheckBox(Form);
    Box->SetParent(Form);
    Box->SetBounds(10, 10, 120, 17);
    Box->SetCaption("&Check me");
    Box->OnClick = [this](TObject*) { ++Clicks; };
  }
  void ShowForm() {
    Form->Show();
    Display.Pump();
  }
  // The pixel of the check mark's top-right stroke, inside the square.
  COLORREF MarkPixel() {
    const TRect box = Box->BoxRect();
    return PixelOf(Box, box.Left + 9, box.Top + 3);
  }
};

TEST_F(CheckBox, MouseTogglesOnReleaseInside) {
  ShowForm();
  ClickOn(Box, 5, 8);
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(MarkPixel(), kText);
  // The caption is part of the control: clicking it toggles too.
  ClickOn(Box, 60, 8);
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(MarkPixel(), kWindow);

  // Pressed: the square turns to the button face until the pointer leaves it.
  const TPoint in = Box->ClientToScreen({5, 8});
  Display.MoveMouse(in.X, in.Y);
  Display.Press();
  Display.Pump();
  EXPECT_EQ(MarkPixel(), kFace);
  Display.MoveMouse(in.X + 200, in.Y);
  Display.Release();
  Display.Pump();
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(MarkPixel(), kWindow);
}

TEST_F(CheckBox, SpaceTogglesOnceOnRelease) {
  ShowForm();
  ASSERT_TRUE(Box->Focused());
  Display.KeyDown(VK_SPACE);
  Display.KeyDown(VK_SPACE, true);
  Display.Pump();
  EXPECT_FALSE(Box->Checked());
  Display.KeyUp(VK_SPACE);
  Display.Pump();
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
  // Alt and the accelerator toggles as well.
  Display.KeyDown(VK_MENU);
  Display.Key('C');
  Display.KeyUp(VK_MENU);
  Display.Pump();
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Clicks, 2);
}

TEST_F(CheckBox, AllowGrayedCyclesThroughThreeStates) {
  ShowForm();
  Box->SetAllowGrayed(true);
  std::vector<TCheckBoxState> seen;
  for (int i = 0; i < 4; ++i) {
    ClickOn(Box, 5, 8);
    seen.push_back(Box->State());
  }
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked, cbGrayed}));
  EXPECT_EQ(Clicks, 4);
  Box->SetState(cbGrayed);
  Display.Pump();
  EXPECT_EQ(MarkPixel(), kShadow);
  Box->SetAllowGrayed(false);
  ClickOn(Box, 5, 8);
  EXPECT_EQ(Box->State(), cbChecked);
  ClickOn(Box, 5, 8);
  EXPECT_EQ(Box->State(), cbUnchecked);
  ClickOn(Box, 5, 8);
  EXPECT_EQ(Box->State(), cbChecked);
}

TEST_F(CheckBox, CodeRaisesOnClickButReadingALayoutDoesNot) {
  Box->SetChecked(true);
  EXPECT_EQ(Clicks, 1);
  Box->SetChecked(true);
  EXPECT_EQ(Clicks, 1);
  Box->SetState(cbUnchecked);
  EXPECT_EQ(Clicks, 2);

  RegisterWidgetClasses();
  int loadedClicks = 0;
  TLayoutContext context;
  context.Methods["BoxClick"] = TNotifyEvent([&](TObject*) { ++loadedClicks; });
  ReadLayout(Form,
             "object Form1: TForm\n"
             "  object CheckBox2: TCheckBox\n"
             "    OnClick = BoxClick\n    Checked = True\n    AllowGrayed = True\n    Alignment = taLeftJustify\n"
             "  end\n"
             "  object CheckBox3: TCheckBox\n    State = cbGrayed\n    OnClick = BoxClick\n  end\n"
             "end\n",
             context);
  auto* loaded = dynamic_cast<TCheckBox*>(Form->FindComponent("CheckBox2"));
  auto* grayed = dynamic_cast<TCheckBox*>(Form->FindComponent("CheckBox3"));
  ASSERT_TRUE(loaded && grayed);
  EXPECT_TRUE(loaded->Checked());
  EXPECT_TRUE(loaded->AllowGrayed());
  EXPECT_EQ(loaded->Alignment(), taLeftJustify);
  EXPECT_EQ(grayed->State(), cbGrayed);
  EXPECT_EQ(loadedClicks, 0);
  loaded->SetChecked(false);
  EXPECT_EQ(loadedClicks, 1);
}

TEST_F(CheckBox, LeftJustifiedCaptionPutsTheSquareAtTheRight) {
  Box->SetAlignment(taLeftJustify);
  ShowForm();
  const int top = (Box->Height() - kCheckBoxSize) / 2;
  const int left = Box->Width() - kCheckBoxSize;
  // The square's sunken edge: shadow at its top-left, white at its bottom-right.
  EXPECT_EQ(PixelOf(Box, left, top), kShadow);
  EXPECT_EQ(PixelOf(Box, Box->Width() - 1, top + kCheckBoxSize - 1), kWindow);
  EXPECT_NE(PixelOf(Box, 0, top), kShadow);
  ClickOn(Box, Box->Width() - 5, 8);
  EXPECT_TRUE(Box->Checked());
}

}  // namespace
