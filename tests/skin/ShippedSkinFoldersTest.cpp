#include <gtest/gtest.h>

#include "platform/display/headless/HeadlessDisplay.h"
#include "skin/data/sSkinMessage.h"
#include "viewer/Maruk_rom.h"

namespace {

// The skin folders that ship with the program, loaded into the viewer's window from the
// sources (assets/skins).
class ShippedSkinFolders : public ::testing::TestWithParam<const char*> {
 protected:
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm1* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  std::vector<std::string> Messages;
  std::function<void(const std::string&)> Saved;

  void SetUp() override {
    Saved = SetSkinMessageHandler([this](const std::string& text) { Messages.push_back(text); });
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = App->CreateForm<TForm1>();
    Manager = Form->sSkinManager1;
    Manager->SetSkinDirectory("/nonexistent");
    Manager->SetShippedSkinDirectory(MARUK_SOURCE_DIR "/assets/skins/");
    Form->Show();
    Display.Pump();
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
    SetSkinMessageHandler(Saved);
  }
};

TEST_P(ShippedSkinFolders, HaveEverythingTheWindowUsesAndPaintItWithoutKeyColour) {
  const std::string name = GetParam();
  std::vector<std::string> names;
  std::string first;
  Manager->GetSkinNames(names, first);
  EXPECT_EQ(names, (std::vector<std::string>{"Amber", "BlueGlass (internal)", "Graphite"}));

  Manager->SetSkinName(name);
  ASSERT_TRUE(Messages.empty()) << Messages[0];
  EXPECT_EQ(Manager->SkinName(), name);
  EXPECT_EQ(Manager->SkinData().SkinPath, MARUK_SOURCE_DIR "/assets/skins/" + name + "\\");
  EXPECT_EQ(Manager->Sections().size(), 63u);
  EXPECT_EQ(Manager->Masks().size(), 93u - 4u);  // the four backgrounds are the JPEG pattern
  ASSERT_TRUE(Manager->MasterBitmap());
  const TRect master = Manager->MasterBitmap()->BoundsRect();
  for (const TsMaskData& m : Manager->Masks()) {
    const TRect bounds = m.Bmp ? m.Bmp->BoundsRect() : master;
    EXPECT_EQ(m.R.Intersect(bounds), m.R) << m.SectionName << " " << m.PropertyName;
    EXPECT_FALSE(m.R.IsEmpty()) << m.SectionName << " " << m.PropertyName;
  }
  for (const char* section : {"BUTTON", "GROUPBOX", "FORM", "FORMTITLE", "MENUITEM", "MAINMENU", "DIALOG",
                              "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERH",
                              "SCROLLSLIDERV", "SCROLLBAR1H", "SCROLLBAR1V", "CHECKBOX"}) {
    const int s = Manager->FindSection(section);
    EXPECT_GE(s, 0) << section;
    if (std::string(section) != "CHECKBOX") {
      EXPECT_GE(Manager->FindMask(s, section, "BORDERSMASK"), 0) << section;
    }
  }
  const int form = Manager->FindSection("FORM");
  for (const char* glyph : {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "TITLEBUTTON", "GRIPIMAGE"})
    EXPECT_GE(Manager->FindMask(form, "FORM", glyph), 0) << glyph;
  EXPECT_GE(Manager->FindPattern(form, "FORM", "PATTERN"), 0);
  const TsPresetIndexes& x = Manager->Indexes();
  for (int16_t i : {x.CheckBoxChecked, x.CheckBoxUnChecked, x.CheckBoxGrayed, x.RadioButtonChecked,
                    x.SmallBoxChecked, x.ScrollBtnLeftGlyph, x.ScrollBtnRightGlyph, x.ScrollSliderHGlyph})
    EXPECT_GE(i, 0);

  Display.Pump();
  const TDib shot = Display.Screenshot();
  TRect r;
  GetWindowRect(Form->Handle(), &r);
  int keyed = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) keyed += shot.GetPixel(x, y) == kSkinKeyColor;
  EXPECT_EQ(keyed, 0);
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkinFolders, ::testing::Values("Graphite", "Amber"));

// The example skin that the skin guide walks through loads and paints the whole window, with
// no key colour left on screen and nothing drawn by the plain controls' own painting.
TEST_F(ShippedSkinFolders, TheGuidesExampleSkinLoadsAndPaintsTheWindow) {
  Manager->SetShippedSkinDirectory(MARUK_SOURCE_DIR "/docs/");
  Manager->SetSkinName("example-skin");
  ASSERT_TRUE(Messages.empty()) << Messages[0];
  EXPECT_EQ(Manager->SkinName(), "example-skin");
  EXPECT_EQ(Manager->SkinInfo(), "1");
  EXPECT_EQ(Manager->SkinData().Author, "Maruk ROM viewer");
  for (const char* section : {"FORM", "FORMTITLE", "BUTTON", "GROUPBOX", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "DIALOG",
                              "EDIT", "MAINMENU", "SCROLLSLIDERV"})
    EXPECT_GE(Manager->FindMask(Manager->FindSection(section), section, "BORDERSMASK"), 0) << section;
  // DIALOG has its border from FORM, and the right arrow its button from the left one.
  EXPECT_EQ(Manager->FindMask(Manager->FindSection("DIALOG"), "DIALOG", "BORDERSMASK"),
            Manager->FindMask(Manager->FindSection("FORM"), "FORM", "BORDERSMASK"));
  const TsPresetIndexes& x = Manager->Indexes();
  for (int16_t i : {x.CheckBoxChecked, x.CheckBoxUnChecked, x.CheckBoxGrayed, x.ScrollBtnLeftGlyph,
                    x.ScrollBtnRightGlyph, x.ScrollBtnRightMask})
    EXPECT_GE(i, 0);
  const int button = Manager->FindMask(Manager->FindSection("BUTTON"), "BUTTON", "BORDERSMASK");
  ASSERT_GE(button, 0);
  ASSERT_TRUE(Manager->Masks()[size_t(button)].Bmp);  // Button.BMP, a picture of its own
  EXPECT_EQ(Manager->Masks()[size_t(button)].R, (TRect{0, 0, 48, 16}));

  Display.Pump();
  const TDib shot = Display.Screenshot();
  TRect r;
  GetWindowRect(Form->Handle(), &r);
  int keyed = 0, classicFace = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      keyed += shot.GetPixel(x, y) == kSkinKeyColor;
      classicFace += shot.GetPixel(x, y) == RGB(212, 208, 200);
    }
  EXPECT_EQ(keyed, 0);
  EXPECT_EQ(classicFace, 0);
  // The title bar's active gradient ends in RGB(40, 70, 120) on its last row, above the client area.
  EXPECT_EQ(shot.GetPixel((r.Left + r.Right) / 2, r.Top + 22), RGB(40, 70, 120));
}

}  // namespace
