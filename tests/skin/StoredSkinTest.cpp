#include <gtest/gtest.h>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/JpegFile.h"
#include "skin/data/sStoredSkins.h"

namespace {

std::vector<uint8_t> MakeJpeg(int w, int h) {
  TDib dib(w, h, 24);
  dib.Fill(RGB(128, 128, 128));
  return SaveJpeg(dib);
}

TsSkinImage* AddImage(TsStoredSkin& skin, const char* section, const char* property, TRect r, int count, int maskType) {
  TsSkinImage* i = skin.Images()->Add();
  i->SectionName = section;
  i->PropertyName = property;
  i->Left = r.Left;
  i->Top = r.Top;
  i->Right = r.Right;
  i->Bottom = r.Bottom;
  i->ImageCount = count;
  i->MaskType = maskType;
  return i;
}

struct StoredSkin : ::testing::Test {
  TsStoredSkins Skins;
  TsStoredSkin* Skin = nullptr;
  TsSkinArrays Arrays;
  TsSkinData Info;
  void SetUp() override {
    Skin = Skins.Add();
    Skin->Name = "Test";
    TDib master(40, 40, 8);
    master.Palette()[1] = RGB(10, 20, 30);
    Skin->MasterBitmap()->LoadFromDib(master);
  }
  void Build() { BuildFromStoredSkin(*Skin, nullptr, Arrays, Info); }
};

TEST_F(StoredSkin, MasksGetNamesUpperCasedAndMissingCountsAndWidthsFilledIn) {
  AddImage(*Skin, "button", "bordersmask", {243, 190, 286, 220}, 0, 0);         // ImageCount 0: three frames with a mask
  AddImage(*Skin, "EDIT", "BORDERSMASK", {0, 0, 43, 30}, 3, 1)->BorderWidth = 1;  // widths from BorderWidth
  AddImage(*Skin, "EDIT2", "BORDERSMASK", {0, 0, 43, 30}, 3, 1);                 // default widths
  TsSkinImage* hot = AddImage(*Skin, "FORM", "hotpattern", {0, 0, 8, 8}, 1, 0);
  hot->ImgType = itisaGlyph;
  hot->StretchMode = 5;
  TsSkinImage* tex = AddImage(*Skin, "FORM", "PATTERN", {0, 0, 8, 8}, 1, 0);
  tex->ImgType = itisaTexture;
  tex->StretchMode = 10;
  Build();
  ASSERT_EQ(Arrays.Masks.size(), 5u);
  const TsMaskData& m0 = Arrays.Masks[0];
  EXPECT_EQ(m0.SectionName, "BUTTON");
  EXPECT_EQ(m0.PropertyName, "BORDERSMASK");
  EXPECT_EQ(m0.ImageCount, 3);
  EXPECT_EQ(m0.MaskType, 1);
  EXPECT_EQ(m0.R, (TRect{243, 190, 286, 220}));
  EXPECT_FALSE(m0.Bmp);
  const TsMaskData& m1 = Arrays.Masks[1];
  EXPECT_EQ(m1.WL, 1);
  EXPECT_EQ(m1.WT, 1);
  EXPECT_EQ(m1.WR, 1);
  EXPECT_EQ(m1.WB, 1);
  const TsMaskData& m2 = Arrays.Masks[2];  // 43 x 30, three frames, mask: 43 div 9 and 30 div 6
  EXPECT_EQ(m2.WL, 4);
  EXPECT_EQ(m2.WR, 4);
  EXPECT_EQ(m2.WT, 5);
  EXPECT_EQ(m2.WB, 5);
  EXPECT_EQ(Arrays.Masks[3].ImgType, itisaTexture);
  EXPECT_EQ(Arrays.Masks[3].StretchMode, 0);
  EXPECT_EQ(Arrays.Masks[4].StretchMode, 10);
}

TEST_F(StoredSkin, OwnPicturesAndTheMasterBitmapBecome24Bits) {
  TsSkinImage* own = AddImage(*Skin, "BUTTON_HUGE", "BORDERSMASK", {5, 5, 9, 9}, 3, 1);
  own->Name = "BTN_HUGE.BMP";
  TDib pic(12, 6, 8);
  pic.Palette()[2] = RGB(1, 2, 3);
  pic.SetPixel(3, 4, 2);
  own->Image()->LoadFromDib(pic);
  TsSkinImage* empty = AddImage(*Skin, "X", "BORDERSMASK", {0, 0, 3, 3}, 1, 0);
  empty->Name = "MISSING.BMP";  // names a picture that is empty: dropped
  Skin->Version = 4.81;
  Skin->Shadow1Color = 0x123456;
  Build();
  ASSERT_EQ(Arrays.Masks.size(), 1u);
  ASSERT_TRUE(Arrays.Masks[0].Bmp);
  EXPECT_EQ(Arrays.Masks[0].Bmp->BitsPerPixel(), 24);
  EXPECT_EQ(Arrays.Masks[0].Bmp->GetPixel(3, 4), RGB(1, 2, 3));
  EXPECT_EQ(Arrays.Masks[0].R, (TRect{0, 0, 12, 6}));
  ASSERT_TRUE(Arrays.MasterBitmap);
  EXPECT_EQ(Arrays.MasterBitmap->BitsPerPixel(), 24);
  EXPECT_TRUE(Arrays.MasterBitmap->Transparent);
  EXPECT_EQ(Arrays.MasterBitmap->TransparentColor, 0xFF00FFu);
  EXPECT_DOUBLE_EQ(Info.Version, 4.81);
  EXPECT_EQ(Info.Shadow1Color, 0x123456);
}

TEST_F(StoredSkin, PatternsWithTheSameNameShareTheFirstPicture) {
  TsSkinPattern* a = Skin->Patterns()->Add();
  a->Name = "wood";
  a->SectionName = "form";
  a->PropertyName = "pattern";
  TsSkinPattern* b = Skin->Patterns()->Add();
  b->Name = "wood";
  b->SectionName = "DIALOG";
  b->PropertyName = "PATTERN";
  b->Image()->LoadFromStream(MakeJpeg(6, 4));
  Build();
  ASSERT_EQ(Arrays.Patterns.size(), 2u);
  ASSERT_TRUE(Arrays.Patterns[0].Img);
  EXPECT_EQ(Arrays.Patterns[0].Img->Width(), 6);  // borrowed from the second item
  EXPECT_EQ(Arrays.Patterns[1].Img->Height(), 4);
  EXPECT_EQ(Arrays.Patterns[0].SectionName, "FORM");
  EXPECT_EQ(Arrays.Patterns[0].PropertyName, "PATTERN");
}

TEST_F(StoredSkin, SectionsParseTheirTextsAndABadItemStopsOnlyItself) {
  TsSkinGeneral* g = Skin->GeneralData()->Add();
  g->SectionName = "GLOBALINFO";
  g->Color = clLime;
  g->FontColor = "0 16765070 -1 -1 -1";
  g->HotFontColor = "0 -1 -1 -1";
  g->GradientData = "10383683;9330438;99;0;0;9330438;9330438;0;0;0";
  g->FadingIterations = 5;
  TsSkinGeneral* bad = Skin->GeneralData()->Add();
  bad->SectionName = "BAD";
  bad->Color = 7;
  bad->FontColor = "0 0 0 0 x";
  bad->FadingIterations = 20;
  TsSkinGeneral* after = Skin->GeneralData()->Add();
  after->SectionName = "AFTER";
  after->HotColor = 9;
  Build();
  ASSERT_EQ(Arrays.Sections.size(), 3u);
  const TsGeneralData& s = Arrays.Sections[0];
  EXPECT_EQ(s.Color, clLime);
  EXPECT_EQ(s.TCLeft, 16765070);
  EXPECT_EQ(s.HotTCLeft, -1);
  ASSERT_EQ(s.GradientArray.size(), 2u);
  EXPECT_EQ(s.FadingIterations, 5);
  EXPECT_EQ(Arrays.Sections[1].Color, 7);            // set before the unreadable text
  EXPECT_EQ(Arrays.Sections[1].FadingIterations, 0);  // after it: not reached
  EXPECT_EQ(Arrays.Sections[2].HotColor, 9);
}

TEST_F(StoredSkin, AnUnreadableWordKeepsTheWordsAndPiecesReadBeforeIt) {
  TsSkinGeneral* font = Skin->GeneralData()->Add();
  font->SectionName = "FONT";
  font->FontColor = "5 x -1 -1 -1";
  font->FadingIterations = 20;
  TsSkinGeneral* hot = Skin->GeneralData()->Add();
  hot->SectionName = "HOT";
  hot->FontColor = "1 2 3 4 5";
  hot->HotFontColor = "6 7 8 oops 10";
  TsSkinGeneral* grad = Skin->GeneralData()->Add();
  grad->SectionName = "GRAD";
  grad->FontColor = grad->HotFontColor = "0 -1 -1 -1 -1";
  grad->GradientData = "1;2;3;4;5;6;x;8;9;10";
  grad->ImagePercent = 40;
  Build();
  ASSERT_EQ(Arrays.Sections.size(), 3u);
  EXPECT_EQ(Arrays.Sections[0].FontColor, 5);
  EXPECT_EQ(Arrays.Sections[0].FadingIterations, 0);  // the item stops at the bad word
  const TsGeneralData& h = Arrays.Sections[1];
  EXPECT_EQ(h.TCBottom, 5);
  EXPECT_EQ(h.HotFontColor, 6);
  EXPECT_EQ(h.HotTCLeft, 7);
  EXPECT_EQ(h.HotTCTop, 8);
  const TsGeneralData& g = Arrays.Sections[2];
  ASSERT_EQ(g.GradientArray.size(), 1u);
  EXPECT_EQ(g.GradientArray[0], (TsGradPiece{1, 2, 3, 4, 0}));
  EXPECT_EQ(g.ImagePercent, 0);
}

TEST_F(StoredSkin, CollectionsCopyOnAssignmentAndFindSkinIsExact) {
  Skin->GeneralData()->Add()->SectionName = "BUTTON";
  TsStoredSkins copy;
  copy.Assign(&Skins);
  ASSERT_EQ(copy.Count(), 1);
  EXPECT_EQ(copy.Items(0)->GeneralData()->Items(0)->SectionName, "BUTTON");
  Skin->GeneralData()->Items(0)->SectionName = "CHANGED";
  EXPECT_EQ(copy.Items(0)->GeneralData()->Items(0)->SectionName, "BUTTON");
  EXPECT_EQ(copy.Items(0)->MasterBitmap()->Width(), 40);
  EXPECT_EQ(Skins.FindSkin("Test"), 0);
  EXPECT_EQ(Skins.FindSkin("test"), -1);
  EXPECT_EQ(Skins.Items(0)->Shadow1Blur, -1);
}

}  // namespace
