#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/sBitBtn.h"
#include "controls/sLabel.h"
#include "dialogs/sDialogs.h"
#include "frame/sSkinProvider.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/PngFile.h"
#include "platform/graphics/Text.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/MessageBox.h"
#include "skin/data/sSkinManager.h"
#include "viewer/Maruk_rom.h"

namespace {

// The viewer's window with its stored skin, and the message dialogs opened over it.
class SkinnedDialogs : public ::testing::Test {
 protected:
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm1* Form = nullptr;

  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    App->SetTitle("Maruk_ROM_viewer");
    Form = App->CreateForm<TForm1>();
    Form->Show();
    App->ProcessMessages();
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }

  // The dialog's base units, measured directly in its font: the average width of the 52
  // letters and their height.
  static TSize BaseUnits(TForm* form) {
    TDib probe(1, 1);
    TDC dc(&probe);
    SelectFont(&dc, form->Font()->LogFont());
    TSize letters;
    GetTextExtentPoint32(&dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &letters);
    return {letters.cx / 52, letters.cy};
  }
  static int Round(double v) { return int(v + 0.5); }

  static std::vector<std::string> Names(TsMessageForm* form) {
    std::vector<std::string> names;
    for (TsBitBtn* b : form->Buttons()) names.push_back(b->Name());
    return names;
  }
};

TEST_F(SkinnedDialogs, AnErrorTextIsACentredErrorBoxWithTheHandIconAndOneOkButton) {
  struct {
    std::string caption, text, button, buttonCaption;
    bool isDefault = false, isCancel = false, framed = false;
    TRect bounds, icon, message;
    int clientWidth = 0;
    COLORREF iconCentre = 0;
    TSize units;
  } seen;
  Display.Schedule([&] {
    auto* box = dynamic_cast<TsMessageForm*>(Screen->ActiveForm());
    ASSERT_TRUE(box);
    seen.caption = box->Caption();
    seen.text = box->MessageText();
    ASSERT_EQ(box->Buttons().size(), 1u);
    seen.button = box->Buttons()[0]->Name();
    seen.buttonCaption = box->Buttons()[0]->Caption();
    seen.isDefault = box->DefaultButton() == box->Buttons()[0];
    seen.isCancel = box->CancelButton() == box->Buttons()[0];
    seen.framed = box->Provider()->SkinData()->SkinSection() == "DIALOG";
    seen.bounds = box->BoundsRect();
    ASSERT_TRUE(box->Icon());
    seen.icon = box->Icon()->BoundsRect();
    seen.message = box->Message()->BoundsRect();
    seen.clientWidth = box->ClientWidth();
    seen.units = BaseUnits(box);
    const TPoint centre = box->Icon()->ClientToScreen({16, 26});
    seen.iconCentre = Display.ScreenPixel(centre.X, centre.Y);
    Display.Key(VK_RETURN);
  });
  EXPECT_EQ(ShowSkinMessageText("The file is empty"), mrOk);

  EXPECT_EQ(seen.caption, "Error");
  EXPECT_EQ(seen.text, "The file is empty");
  EXPECT_EQ(seen.button, "OK");
  EXPECT_EQ(seen.buttonCaption, "OK");
  EXPECT_TRUE(seen.isDefault && seen.isCancel);
  EXPECT_TRUE(seen.framed);
  // Centred on the 1280 x 1024 headless screen.
  EXPECT_EQ(seen.bounds.Left, 640 - seen.bounds.Width() / 2);
  EXPECT_EQ(seen.bounds.Top, 512 - seen.bounds.Height() / 2);
  // The icon at (4 X, 1.5 Y) rounded; the text beside it after a gap of 2.5 X.
  const int marginX = 4 * seen.units.cx, marginY = Round(1.5 * seen.units.cy);
  EXPECT_EQ(seen.icon, (TRect{marginX, marginY, marginX + 32, marginY + 32}));
  EXPECT_EQ(seen.message.Left, marginX + 32 + Round(2.5 * seen.units.cx));
  EXPECT_EQ(seen.message.Top, marginY);
  EXPECT_EQ(seen.clientWidth, seen.message.Right + marginX);  // the single button row is narrower
  // The hand icon is a red disc (below its white cross).
  EXPECT_GT(GetRValue(seen.iconCentre), 150);
  EXPECT_LT(GetGValue(seen.iconCentre), 120);
}

TEST_F(SkinnedDialogs, YesNoCancelMakesYesTheDefaultAndCancelTheEscape) {
  TsMessageForm* box = CreateSkinMessageDialog(std::string("Save"), "Save the changes?", mtConfirmation,
                                               {mbCancel, mbNo, mbYes});
  EXPECT_EQ(box->Caption(), "Save");
  EXPECT_EQ(Names(box), (std::vector<std::string>{"Yes", "No", "Cancel"}));
  EXPECT_EQ(box->DefaultButton()->Name(), "Yes");
  EXPECT_EQ(box->CancelButton()->Name(), "Cancel");
  EXPECT_EQ(box->Buttons()[0]->Caption(), "&Yes");

  // A row of three buttons 12.5 X wide (none of the captions is wider), 1 X apart, centred
  // under the content, 1.25 Y below it.
  const TSize u = BaseUnits(box);
  const int w = Round(12.5 * u.cx), gap = u.cx, h = Round(1.75 * u.cy);
  const int row = 3 * w + 2 * gap;
  const int top = std::max(box->Message()->Height(), 32) + Round(1.5 * u.cy) + Round(1.25 * u.cy);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(box->Buttons()[i]->BoundsRect(),
              (TRect{(box->ClientWidth() - row) / 2 + i * (w + gap), top, (box->ClientWidth() - row) / 2 + i * (w + gap) + w,
                     top + h}))
        << i;
  EXPECT_EQ(box->ClientHeight(), top + h + Round(1.5 * u.cy));

  // Escape answers with Cancel, Return with Yes.
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_EQ(box->ShowModal(), mrCancel);
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  EXPECT_EQ(box->ShowModal(), mrYes);
  TComponent::Free(box);

  // Without cancel, No is the escape; without OK or yes, retry is the default.
  box = CreateSkinMessageDialog(std::nullopt, "x", mtWarning, {mbYes, mbNo});
  EXPECT_EQ(box->CancelButton()->Name(), "No");
  EXPECT_EQ(box->Caption(), "Warning");
  TComponent::Free(box);
  box = CreateSkinMessageDialog(std::nullopt, "x", mtInformation, {mbAbort, mbRetry, mbIgnore});
  EXPECT_EQ(box->DefaultButton()->Name(), "Retry");
  EXPECT_EQ(box->CancelButton(), nullptr);
  EXPECT_EQ(box->Caption(), "Information");
  TComponent::Free(box);
}

TEST_F(SkinnedDialogs, ACustomBoxHasNoIconAndTheApplicationsTitle) {
  TsMessageForm* box = CreateSkinMessageDialog(std::nullopt, "Plain words", mtCustom, {mbOK});
  EXPECT_EQ(box->Caption(), "Maruk_ROM_viewer");
  EXPECT_EQ(box->Icon(), nullptr);
  EXPECT_EQ(box->FindComponent("Image"), nullptr);
  const TSize u = BaseUnits(box);
  EXPECT_EQ(box->Message()->Left(), 4 * u.cx);
  TComponent::Free(box);
}

TEST_F(SkinnedDialogs, LongTextWrapsInHalfTheScreenAndAWideCaptionWidensEveryButton) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "signal ";
  TsMessageForm* box = CreateSkinMessageDialog(std::nullopt, text, mtInformation, {mbYesToAll, mbNoToAll});
  EXPECT_LE(box->Message()->Width(), 640);
  EXPECT_GT(box->Message()->Width(), 500);
  EXPECT_GE(box->Message()->Height(), 3 * BaseUnits(box).cy);
  // "Yes to &All" needs more than 12.5 X: both buttons take its width plus 8.
  TDib probe(1, 1);
  TDC dc(&probe);
  SelectFont(&dc, box->Font()->LogFont());
  TRect r{0, 0, 0, 0};
  DrawText(&dc, "Yes to &All", &r, DT_CALCRECT | DT_SINGLELINE);
  const int wide = std::max({r.Width() + 8, int(12.5 * BaseUnits(box).cx + 0.5)});
  EXPECT_EQ(box->Buttons()[0]->Width(), wide);
  EXPECT_EQ(box->Buttons()[1]->Width(), wide);
  TComponent::Free(box);
}

TEST_F(SkinnedDialogs, MessageBoxesAreSkinnedWhileASkinIsActiveAndClassicOtherwise) {
  std::string kind, caption;
  Display.Schedule([&] {
    TCustomForm* f = Screen->ActiveForm();
    kind = f ? f->ClassName() : "";
    caption = f ? f->Caption() : "";
    Display.Key(VK_ESCAPE);
  });
  // Without a cancel button, Escape on the skinned box answers No.
  EXPECT_EQ(App->MessageBox("Continue?", "Question", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(kind, "TsMessageForm");
  EXPECT_EQ(caption, "Question");

  Form->sSkinManager1->SetActive(false);
  Display.Schedule([&] {
    TCustomForm* f = Screen->ActiveForm();
    kind = f ? f->ClassName() : "";
    Display.Key(VK_RETURN);
  });
  EXPECT_EQ(App->MessageBox("Done", "Note", MB_OK), IDOK);
  EXPECT_EQ(kind, "TMessageForm");
}

TEST_F(SkinnedDialogs, EachTypeHasItsOwnIconAndCaption) {
  struct TCase {
    TMsgDlgType Type;
    const char* Caption;
    bool Blue;  // blue disc; else the yellow triangle
  };
  const TCase cases[] = {{mtWarning, "Warning", false}, {mtInformation, "Information", true}, {mtConfirmation, "Confirm", true}};
  const char* dir = std::getenv("MARUK_SHOT_DIR");
  for (const TCase& c : cases) {
    COLORREF below = 0, corner = 0;
    std::string caption;
    Display.Schedule([&] {
      auto* box = static_cast<TsMessageForm*>(Screen->ActiveForm());
      caption = box->Caption();
      // Below the symbol, inside the shape; and the picture's corner, where the key colour
      // must not show.
      const TPoint p = box->Icon()->ClientToScreen({10, 26}), q = box->Icon()->ClientToScreen({0, 0});
      below = Display.ScreenPixel(p.X, p.Y);
      corner = Display.ScreenPixel(q.X, q.Y);
      if (dir) SavePngFile(Display.Screenshot(), std::string(dir) + "/dialog-" + caption + ".png");
      Display.Key(VK_RETURN);
    });
    SkinMessageDlg(std::nullopt, "The ROM holds 2048 steps.\nShow them all?", c.Type, {mbYes, mbNo});
    EXPECT_EQ(caption, c.Caption);
    if (c.Blue) {
      EXPECT_GT(GetBValue(below), GetRValue(below) + 60) << c.Caption;
    } else {
      EXPECT_GT(GetRValue(below), GetBValue(below) + 100) << c.Caption;
    }
    EXPECT_NE(corner, COLORREF(0xFF00FF)) << c.Caption;
  }
}

}  // namespace
