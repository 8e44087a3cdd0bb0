#include <gtest/gtest.h>

#include <map>

#include "platform/display/headless/HeadlessDisplay.h"
#include "viewer/Maruk_rom.h"

namespace {

// The viewer's window with its stored skin, loaded as at start-up.
struct ShippedSkin : ::testing::Test {
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm1* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = App->CreateForm<TForm1>();
    Manager = Form->sSkinManager1;
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
  const TsGeneralData& Section(const std::string& name) {
    const int i = Manager->FindSection(name);
    EXPECT_GE(i, 0) << name;
    return Manager->Sections()[size_t(std::max(i, 0))];
  }
};

TEST_F(ShippedSkin, IsActiveAndReadyAtStartUp) {
  EXPECT_TRUE(Manager->Active());
  EXPECT_TRUE(Manager->SkinData().Ready);
  EXPECT_EQ(Manager->SkinName(), "BlueGlass (internal)");
  EXPECT_EQ(Manager->SkinInfo(), "4.81");
  EXPECT_EQ(Manager->IsDefault(), true);
  ASSERT_EQ(Manager->InternalSkins()->Count(), 1);
  const TsStoredSkin* stored = Manager->InternalSkins()->Items(0);
  EXPECT_EQ(stored->GeneralData()->Count(), 64);
  EXPECT_EQ(stored->Images()->Count(), 93);
  EXPECT_EQ(stored->Patterns()->Count(), 0);
  EXPECT_DOUBLE_EQ(stored->Version, 4.81);
  // The master bitmap is stored as 304 x 260 with 8 bits and a 256-colour palette, and held
  // at 24 bits once loaded.
  EXPECT_EQ(stored->MasterBitmap()->Width(), 304);
  EXPECT_EQ(stored->MasterBitmap()->Height(), 260);
  EXPECT_EQ(stored->MasterBitmap()->Dib().BitsPerPixel(), 8);
  EXPECT_EQ(stored->MasterBitmap()->Dib().Palette().size(), 256u);
  ASSERT_TRUE(Manager->MasterBitmap());
  EXPECT_EQ(Manager->MasterBitmap()->BitsPerPixel(), 24);
  EXPECT_EQ(Manager->MasterBitmap()->Width(), 304);
  EXPECT_EQ(Manager->MasterBitmap()->Height(), 260);
  EXPECT_EQ(Manager->Sections().size(), 64u);
  EXPECT_EQ(Manager->Masks().size(), 93u);
  EXPECT_EQ(Manager->Sections().back().SectionName, "");
}

TEST_F(ShippedSkin, SectionsCarryTheQuotedValues) {
  struct Row {
    const char* Name;
    TColor Color;
    int Transparency, GradientPercent, ImagePercent;
    TColor HotColor;
    int HotTransparency, HotGradientPercent, HotImagePercent;
    TColor Font, Left, Top, Right, Bottom;  // the five words of FontColor
    bool ShowFocus, Fading;
    int Iterations;
  } rows[] = {
      {"GLOBALINFO", 0x00FF00, 0, 0, 0, 0xFFFFFF, 0, 0, 0, 0, 16765070, -1, -1, -1, false, false, 5},
      {"FORM", 13679769, 0, 0, 100, 13679769, 0, 0, 100, 0, -1, -1, -1, -1, false, false, 5},
      {"FORMTITLE", 0xFFFFFF, 50, 100, 0, 0xFFFFFF, 0, 100, 0, 6636336, -1, -1, -1, -1, false, false, 5},
      {"BUTTON", 13282167, 100, 0, 0, 13283984, 100, 0, 0, 0, -1, -1, -1, -1, true, true, 20},
      {"CHECKBOX", 13282167, 100, 0, 0, 0xFFFFFF, 100, 0, 0, 0, -1, -1, -1, -1, false, true, 20},
      {"GROUPBOX", 14215660, 100, 0, 0, 0xFFFFFF, 0, 0, 0, 0, -1, -1, -1, -1, false, false, 5},
      {"SCROLLBTNLEFT", 0xFFFFFF, 100, 0, 0, 0xFFFFFF, 100, 0, 0, 0, -1, -1, -1, -1, false, false, 5},
      {"SCROLLBTNRIGHT", 0xFFFFFF, 100, 0, 0, 0xFFFFFF, 100, 0, 0, 0, -1, -1, -1, -1, false, false, 5},
      {"MENUITEM", 0xFFFFFF, 100, 0, 0, 12147712, 50, 100, 0, 0, -1, -1, -1, -1, false, false, 5},
      {"MAINMENU", 12753765, 0, 0, 0, 0xFFFFFF, 0, 0, 0, 0, -1, -1, -1, -1, false, false, 5},
      {"DIALOG", 0xFFFFFF, 0, 50, 50, 0xFFFFFF, 0, 50, 50, 0, -1, -1, -1, -1, false, false, 5},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Name);
    const TsGeneralData& s = Section(r.Name);
    EXPECT_EQ(s.Color, r.Color);
    EXPECT_EQ(s.Transparency, r.Transparency);
    EXPECT_EQ(s.GradientPercent, r.GradientPercent);
    EXPECT_EQ(s.ImagePercent, r.ImagePercent);
    EXPECT_EQ(s.HotColor, r.HotColor);
    EXPECT_EQ(s.HotTransparency, r.HotTransparency);
    EXPECT_EQ(s.HotGradientPercent, r.HotGradientPercent);
    EXPECT_EQ(s.HotImagePercent, r.HotImagePercent);
    EXPECT_EQ(s.FontColor, r.Font);
    EXPECT_EQ(s.TCLeft, r.Left);
    EXPECT_EQ(s.TCTop, r.Top);
    EXPECT_EQ(s.TCRight, r.Right);
    EXPECT_EQ(s.TCBottom, r.Bottom);
    EXPECT_EQ(s.ShowFocus, r.ShowFocus);
    EXPECT_EQ(s.FadingEnabled, r.Fading);
    EXPECT_EQ(s.FadingIterations, r.Iterations);
    EXPECT_EQ(s.Bevel, cbNone);
    EXPECT_EQ(s.ParentClass, "");
  }
  EXPECT_EQ(Section("FORMTITLE").GradientArray.size(), 4u);
  EXPECT_EQ(Section("FORMTITLE").HotGradientArray.size(), 5u);
  EXPECT_EQ(Section("FORMTITLE").HotTCLeft, 4072704);
  EXPECT_EQ(Section("MENUITEM").HotGradientArray.size(), 2u);
  EXPECT_EQ(Section("MENUITEM").HotTCRight, 16439433);
  EXPECT_EQ(Section("DIALOG").GradientArray[0].Color2, 12748837);
  EXPECT_EQ(Section("PAGECONTROL").FadingIterations, 30);
  EXPECT_EQ(Section("DRAGBAR").GradientPercent, 100);
  EXPECT_EQ(Section("DRAGBAR").ImagePercent, 0);
  EXPECT_EQ(Section("DRAGBAR").Transparency, 0);
  EXPECT_EQ(Manager->GlobalFontColor(), 0u);
}

TEST_F(ShippedSkin, MasksHaveTheQuotedRectanglesAndLieInsideTheirPictures) {
  struct Row {
    const char* Section;
    const char* Property;
    TRect R;
    int Count, MaskType, BorderWidth, Stretch;
    TkvImgType Type;
    int WL, WR, WT, WB;
  } rows[] = {
      {"GLOBALINFO", "BOXCHECKED", {147, 154, 195, 190}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "BOXUNCHECKED", {98, 154, 146, 190}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "RADIOCHECKED", {49, 154, 97, 190}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "RADIOUNCHECKED", {0, 154, 48, 190}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "BOXGRAYED", {195, 188, 243, 224}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "BICONCLOSE", {244, 114, 304, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "BICONHELP", {183, 114, 243, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "BICONMAX", {122, 114, 182, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "BICONMIN", {61, 114, 121, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "BICONNORM", {122, 114, 182, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "TITLEBUTTON", {0, 114, 60, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "GRIPIMAGE", {252, 0, 270, 36}, 1, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "SMALLCHECKED", {195, 236, 231, 248}, 3, 0, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "SMALLUNCHECKED", {195, 224, 231, 236}, 3, 0, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "SMALLGRAYED", {195, 248, 231, 260}, 3, 0, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GLOBALINFO", "CHECK", {216, 60, 227, 69}, 1, 0, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"GROUPBOX", "BORDERSMASK", {63, 72, 84, 114}, 1, 1, 0, 1, itisaBorder, 7, 7, 7, 7},
      {"SCROLLBTNRIGHT", "BORDERSMASK", {0, 72, 63, 114}, 3, 1, 0, 1, itisaBorder, 7, 7, 7, 7},
      {"SCROLLBTNRIGHT", "GLYPHMASK", {264, 39, 282, 47}, 3, 0, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"SCROLLBTNLEFT", "BORDERSMASK", {0, 72, 63, 114}, 3, 1, 0, 1, itisaBorder, 7, 7, 7, 7},
      {"SCROLLBTNLEFT", "GLYPHMASK", {282, 39, 300, 47}, 3, 0, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"MENUITEM", "BORDERSMASK", {126, 72, 168, 114}, 2, 1, 0, 1, itisaBorder, 7, 7, 7, 7},
      {"DIALOG", "BORDERSMASK", {189, 72, 210, 114}, 1, 1, 0, 1, itisaBorder, 7, 7, 7, 7},
      {"DIALOG", "PATTERN", {252, 154, 304, 190}, 1, 0, 0, 0, itisaTexture, 0, 0, 0, 0},
      {"DIALOG", "HOTPATTERN", {252, 154, 304, 190}, 1, 0, 0, 0, itisaTexture, 0, 0, 0, 0},
      {"FORMTITLE", "BORDERSMASK", {231, 60, 252, 96}, 1, 1, 0, 1, itisaBorder, 7, 7, 6, 6},
      {"FORM", "BICONCLOSE", {244, 114, 304, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"FORM", "BICONMAX", {122, 114, 182, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"FORM", "TITLEBUTTON", {0, 114, 60, 154}, 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"FORM", "GRIPIMAGE", {252, 0, 270, 36}, 1, 1, 0, 0, itisaGlyph, 0, 0, 0, 0},
      {"FORM", "BORDERSMASK", {135, 60, 147, 72}, 1, 0, 0, 1, itisaBorder, 4, 4, 4, 4},
      {"FORM", "PATTERN", {252, 154, 304, 190}, 1, 0, 0, 0, itisaTexture, 0, 0, 0, 0},
      {"MAINMENU", "BORDERSMASK", {189, 72, 210, 114}, 1, 1, 0, 1, itisaBorder, 7, 7, 7, 7},
      {"BUTTON", "BORDERSMASK", {243, 190, 286, 220}, 3, 1, 1, 1, itisaBorder, 6, 7, 6, 8},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.Section) + "." + r.Property);
    const int i = Manager->FindMaskDirect(r.Section, r.Property);
    ASSERT_GE(i, 0);
    const TsMaskData& m = Manager->Masks()[size_t(i)];
    EXPECT_EQ(m.R, r.R);
    EXPECT_EQ(m.ImageCount, r.Count);
    EXPECT_EQ(m.MaskType, r.MaskType);
    EXPECT_EQ(m.BorderWidth, r.BorderWidth);
    EXPECT_EQ(m.StretchMode, r.Stretch);
    EXPECT_EQ(m.ImgType, r.Type);
    if (r.WL || r.WR || r.WT || r.WB) {
      EXPECT_EQ(m.WL, r.WL);
      EXPECT_EQ(m.WR, r.WR);
      EXPECT_EQ(m.WT, r.WT);
      EXPECT_EQ(m.WB, r.WB);
    }
    EXPECT_FALSE(m.Bmp);
  }
  std::map<std::string, int> counts;
  for (const TsMaskData& m : Manager->Masks()) {
    ++counts[m.PropertyName];
    const TDib* picture = m.Bmp ? m.Bmp.get() : Manager->MasterBitmap();
    EXPECT_TRUE(m.R.Left >= 0 && m.R.Top >= 0 && m.R.Right <= picture->Width() && m.R.Bottom <= picture->Height() &&
                !m.R.IsEmpty())
        << m.SectionName << "." << m.PropertyName;
    EXPECT_GE(Manager->FindSection(m.SectionName), 0) << m.SectionName << " has masks but no section";
  }
  const std::map<std::string, int> expected = {
      {"BORDERSMASK", 52}, {"GLYPHMASK", 8}, {"PATTERN", 3}, {"HOTPATTERN", 2}, {"TITLEBUTTON", 2},
      {"GRIPIMAGE", 2}, {"BICONNORM", 2}, {"BICONMIN", 2}, {"BICONMAX", 2}, {"BICONHELP", 2},
      {"BICONCLOSE", 2}, {"TICKVERT", 1}, {"TICKHORZ", 1}, {"SLIDERVMASK", 1}, {"SLIDERMASK", 1},
      {"SLIDERCHANNEL", 1}, {"CHECK", 1}, {"BOXCHECKED", 1}, {"BOXUNCHECKED", 1}, {"BOXGRAYED", 1},
      {"RADIOCHECKED", 1}, {"RADIOUNCHECKED", 1}, {"SMALLCHECKED", 1}, {"SMALLUNCHECKED", 1}, {"SMALLGRAYED", 1}};
  EXPECT_EQ(counts, expected);
  // The one carried picture.
  const int huge = Manager->FindMaskDirect("BUTTON_HUGE", "BORDERSMASK");
  ASSERT_GE(huge, 0);
  ASSERT_TRUE(Manager->Masks()[size_t(huge)].Bmp);
  EXPECT_EQ(Manager->Masks()[size_t(huge)].R, (TRect{0, 0, 288, 192}));
  EXPECT_EQ(Manager->Masks()[size_t(huge)].Bmp->BitsPerPixel(), 24);
  // The preset table points at GLOBALINFO's glyphs; there is no grayed radio.
  EXPECT_GE(Manager->Indexes().CheckBoxChecked, 0);
  EXPECT_EQ(Manager->Indexes().RadioButtonGrayed, -1);
}

}  // namespace
