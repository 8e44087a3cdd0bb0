// A skin that cannot be loaded: the skin in use stays, and the skinned message box that says
// why is drawn whole over it and goes away by keyboard or mouse.
#include <gtest/gtest.h>

#include <set>

#include "controls/sBitBtn.h"
#include "controls/sLabel.h"
#include "dialogs/sDialogs.h"
#include "frame/sSkinProvider.h"
#include "menus/sSystemMenu.h"
#include "platform/windowing/Menu.h"
#include "tests/support/ViewerWindowTest.h"
#include "tests/skin/SkinFolderFiles.h"

namespace {

// What the message box showed while it was up.
struct TBoxLook {
  bool Shown = false;
  std::string Text;
  int Colours = 0;          // distinct colours in the whole window
  int TitleDiffers = -1;    // title band pixels other than the provider's frame picture
  int TitleColours = 0;     // distinct colours in the frame picture's title band
  int TextInk = 0;          // pixels of the message unlike the background behind it
  int TextArea = 0;
  int ButtonColours = 0;    // distinct colours of the OK button
  std::string Button;
  TPoint ButtonCentre;
};

class SkinLoadMessage : public ViewerWindowTest {
 protected:
  THomeFolder Home;

  void SetUp() override {
    // A skin folder whose MENUITEM border has a malformed number ("00x5" for its right edge).
    WriteBmp(Home, "Skins/Damaged/master.bmp", 64, 32);
    Home.Write("Skins/Damaged/Options.dat",
               "[GLOBALINFO]\n"
               "MASTERBITMAP=master.bmp\n"
               "[MENUITEM]\n"
               "BORDERSMASK=^0000 0016 00x5 0032 0005 0005 0005 0005 3 0 1 0\n");
    ViewerWindowTest::SetUp();
  }

  static TDib ScreenPart(const TDib& screen, const TRect& r) {
    TDib part(r.Width(), r.Height());
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) part.SetPixel(x, y, screen.GetPixel(r.Left + x, r.Top + y));
    return part;
  }
  static int Colours(const TDib& d, TRect r) {
    std::set<COLORREF> seen;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) seen.insert(d.GetPixel(x, y));
    return int(seen.size());
  }
  // The message box on the screen now.
  TBoxLook Look() {
    TBoxLook look;
    auto* box = dynamic_cast<TsMessageForm*>(Screen->ActiveForm());
    if (!box || box->Buttons().empty()) return look;
    look.Shown = true;
    look.Text = box->MessageText();
    TRect w;
    GetWindowRect(box->Handle(), &w);
    const TDib window = ScreenPart(Display.Screenshot(), w);
    look.Colours = Colours(window, {0, 0, w.Width(), w.Height()});
    TsBitBtn* ok = box->Buttons()[0];
    look.Button = ok->Caption();
    TRect b;
    GetWindowRect(ok->Handle(), &b);
    look.ButtonColours = Colours(window, b.Offset(-w.Left, -w.Top));
    look.ButtonCentre = {b.Left + b.Width() / 2, b.Top + b.Height() / 2};
    // The frame as its provider composed it; nothing to compare with when it never did.
    const TDib* frame = box->Provider()->FrameCache();
    if (!frame || frame->Width() != w.Width() || frame->Height() != w.Height()) return look;
    const int band = box->Provider()->TopBandHeight();
    look.TitleDiffers = 0;
    for (int y = 0; y < band; ++y)
      for (int x = 8; x < w.Width() - 8; ++x) look.TitleDiffers += window.GetPixel(x, y) != frame->GetPixel(x, y);
    look.TitleColours = Colours(*frame, {0, 0, w.Width(), band});
    // The message lies on the form's background, which is the frame picture at the same place.
    TsLabel* message = box->Message();
    const TPoint at = box->ClientToScreen({message->Left(), message->Top()});
    const TPoint origin{at.X - w.Left, at.Y - w.Top};
    for (int y = 0; y < message->Height(); ++y)
      for (int x = 0; x < message->Width(); ++x)
        look.TextInk += window.GetPixel(origin.X + x, origin.Y + y) != frame->GetPixel(origin.X + x, origin.Y + y);
    look.TextArea = message->Width() * message->Height();
    return look;
  }
  // Clicks the middle of an item of a shown popup menu.
  void ClickItem(HMENU menu, const std::string& caption) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      if (GetMenuString(menu, UINT(i), MF_BYPOSITION) == caption) {
        TRect r;
        ASSERT_TRUE(GetMenuItemRect(nullptr, menu, UINT(i), &r));
        Display.Click(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
        return;
      }
    FAIL() << caption;
  }
  // Chooses the damaged skin from the system menu the way a user does, looks at the message
  // box, and closes it with `dismiss`.
  TBoxLook ChooseDamagedSkin(const std::function<void(const TBoxLook&)>& dismiss) {
    TBoxLook look;
    HMENU menu = Form->sSkinProvider1->SystemMenu()->Handle();
    Display.Schedule([&] { ClickItem(menu, "Available skins"); });
    Display.Schedule([&] { ClickItem(GetSubMenu(menu, 0), "Damaged"); });
    // The box has been up for a while and the pointer has crossed it.
    Display.ScheduleWait(2000);
    Display.Schedule([&] {
      look = Look();
      if (look.Shown) Display.MoveMouse(look.ButtonCentre.X - 60, look.ButtonCentre.Y - 30);
    });
    Display.Schedule([&] {
      look = Look();
      dismiss(look);
    });
    ClickAt(10, 10);  // the icon
    return look;
  }
  // The box was drawn whole: its skinned frame, its text, its OK button.
  static void ExpectWholeBox(const TBoxLook& look) {
    ASSERT_TRUE(look.Shown);
    EXPECT_GT(look.Colours, 20);
    EXPECT_EQ(look.TitleDiffers, 0);
    EXPECT_GT(look.TitleColours, 5);
    // Letters on the background: some of the message's box, far from all of it.
    EXPECT_GT(look.TextInk, look.TextArea / 30);
    EXPECT_LT(look.TextInk, look.TextArea / 2);
    EXPECT_EQ(look.Button, "OK");
    EXPECT_GT(look.ButtonColours, 5);
  }
  bool BoxGone() {
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (dynamic_cast<TsMessageForm*>(Screen->Forms(i))) return false;
    return true;
  }
};

TEST_F(SkinLoadMessage, ADamagedSkinChosenFromTheSystemMenuExplainsItselfInAWholeMessageBox) {
  const TBoxLook byKey = ChooseDamagedSkin([this](const TBoxLook&) { Display.Key(VK_RETURN); });
  ExpectWholeBox(byKey);
  EXPECT_NE(byKey.Text.find("The skin \"Damaged\" cannot be loaded"), std::string::npos) << byKey.Text;
  EXPECT_NE(byKey.Text.find("The skin in use stays active."), std::string::npos) << byKey.Text;
  EXPECT_TRUE(Display.ScriptDone());
  EXPECT_TRUE(BoxGone());
  EXPECT_EQ(Manager->SkinName(), "BlueGlass (internal)");

  const TBoxLook byMouse = ChooseDamagedSkin([this](const TBoxLook& look) {
    Display.Click(look.ButtonCentre.X, look.ButtonCentre.Y);
  });
  ExpectWholeBox(byMouse);
  EXPECT_TRUE(Display.ScriptDone());
  EXPECT_TRUE(BoxGone());
  EXPECT_EQ(Manager->SkinName(), "BlueGlass (internal)");
  EXPECT_TRUE(Form->Enabled());
}

TEST_F(SkinLoadMessage, CommonSectionsThatCannotBeAddedAreExplainedInAWholeMessageBox) {
  Home.Write("bad.jpg", "\xFF\xD8\xFF\xE0 this is no picture");
  TBoxLook look;
  Display.ScheduleWait(2000);
  Display.Schedule([&] {
    look = Look();
    Display.Key(VK_ESCAPE);
  });
  Manager->SetCommonSections({"[EXTRA]", "PATTERN=c:\\bad.jpg"});
  Handle();
  ExpectWholeBox(look);
  EXPECT_NE(look.Text.find("The common sections cannot be added"), std::string::npos) << look.Text;
  EXPECT_TRUE(Display.ScriptDone());
  EXPECT_TRUE(BoxGone());
}

}  // namespace
