#include <gtest/gtest.h>

#include "skin/data/sCommonSections.h"
#include "skin/data/sOptionsFile.h"
#include "skin/data/sSkinFolderReader.h"
#include "skin/data/sSkinPaths.h"
#include "skin/data/sSkinText.h"
#include "tests/skin/SkinFolderFiles.h"

namespace {

TEST(OptionsFile, NamesMatchWithoutCaseAndEverythingIsListedInFileOrder) {
  const TsOptionsFile options(
      "ignored=before any section\r\n"
      "[Global]\r\n"
      "key=1\n"
      "; a comment=no key\n"
      "no equals sign\n"
      "  [BUTTON]  \n"
      " Color = 255 \n"
      "[global]\n"
      "KEY=2\n"
      "Other=a=b\n");
  ASSERT_EQ(options.Sections().size(), 2u);
  EXPECT_EQ(options.Sections()[0].Name, "Global");
  EXPECT_EQ(options.Sections()[1].Name, "BUTTON");
  // The second [global] adds to the first; of two equal keys the first is read.
  const auto& keys = options.Sections()[0].Keys;
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].Name, "key");
  EXPECT_EQ(keys[1].Name, "KEY");
  EXPECT_EQ(keys[2].Name, "Other");
  EXPECT_EQ(options.ReadString("GLOBAL", "Key", "-"), "1");
  EXPECT_EQ(options.ReadString("global", "other", "-"), "a=b");
  EXPECT_EQ(options.ReadString("button", "COLOR", "-"), "255");
  EXPECT_EQ(options.ReadString("button", "missing", "-"), "-");
  EXPECT_EQ(options.ReadString("nowhere", "Color", "-"), "-");
  EXPECT_EQ(options.Find("Global", "ignored"), nullptr);
}

TEST(SkinText, IntegersOfSkinFilesAndTheCommonSectionsReader) {
  int32_t v = 0;
  EXPECT_TRUE(ParseSkinInteger(" 0042 ", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(ParseSkinInteger("0x1F", v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(ParseSkinInteger("$ff", v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(ParseSkinInteger("0xFF00000F", v));  // a system colour
  EXPECT_EQ(v, -16777201);
  EXPECT_TRUE(ParseSkinInteger("-1", v));
  EXPECT_EQ(v, -1);
  for (const char* bad : {"", "  ", "12x", "0x", "x12", "4294967296", "-2147483649", "1 2"})
    EXPECT_FALSE(ParseSkinInteger(bad, v)) << bad;

  const std::vector<TsTextSection> sections =
      SplitSections({"KEY=before", "[Button]", "Color=255", ";Color=1", "[EXTRA]", "Value==x", "Count=0x10", "Bad=1a"});
  ASSERT_EQ(sections.size(), 2u);
  const TsTextSection* button = FindTextSection(sections, "BUTTON");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(ReadTextInteger(button, "color", 7), 255);
  const TsTextSection* extra = FindTextSection(sections, "extra");
  EXPECT_EQ(ReadTextString(extra, "VALUE", "-"), "=x");
  EXPECT_EQ(ReadTextInteger(extra, "count", 7), 16);
  EXPECT_EQ(ReadTextInteger(extra, "bad", 7), 7);
  EXPECT_EQ(ReadTextInteger(extra, "missing", 7), 7);
  EXPECT_EQ(ReadTextString(FindTextSection(sections, "none"), "Color", "-"), "-");
}

// A reader over options text, with the folder for its pictures.
struct FolderReader : ::testing::Test {
  TTempFolder Folder;
  TsSkinArrays Arrays;
  TsSkinData Info;
  std::string SkinPath() const { return Folder.Path() + "/"; }
  void Read(const std::string& options) {
    Folder.Write("Options.dat", options);
    TsSkinFolderReader(nullptr, SkinPath()).Read(Arrays, Info);
  }
  const TsGeneralData& Section(const std::string& name) const {
    for (const TsGeneralData& d : Arrays.Sections)
      if (d.SectionName == name) return d;
    ADD_FAILURE() << "no section " << name;
    return Arrays.Sections.front();
  }
  const TsMaskData& Mask(const std::string& section, const std::string& property) const {
    for (const TsMaskData& m : Arrays.Masks)
      if (m.SectionName == section && m.PropertyName == property) return m;
    ADD_FAILURE() << "no mask " << section << " " << property;
    return Arrays.Masks.front();
  }
};

TEST_F(FolderReader, InheritedReadsFollowParentsAndStopAtLoops) {
  Read(
      "[GLOBALINFO]\n"
      "VERSION=5.25\n"
      "AUTHOR=Someone\n"
      "SHADOW1BLUR=0x10\n"
      "[BASE]\n"
      "COLOR=255\n"
      "TCLEFT=100\n"
      "FADINGENABLED=true\n"
      "GRADIENTDATA=1;2;150;0;0\n"
      "SHADOWCOLOR=77\n"
      "[CHILD]\n"
      "PARENTCLASS=base\n"
      "TCLEFT=-1\n"
      "SHADOWBLUR=x12\n"
      "[ORPHAN]\n"
      "COLOR=-16777201\n"
      "HOTCOLOR=-16777201\n"
      "[A]\n"
      "PARENTCLASS=B\n"
      "[B]\n"
      "PARENTCLASS=a\n"
      "[C]\n"
      "PARENTCLASS=D\n"
      "[D]\n"
      "PARENTCLASS=E\n"
      "[E]\n"
      "PARENTCLASS=D\n"
      "[SELF]\n"
      "PARENTCLASS=self\n"
      "FONTCOLOR=0x0000FF\n"
      "[QUESTION]\n"
      "PARENTCLASS=?\n");
  EXPECT_DOUBLE_EQ(Info.Version, 5.25);
  EXPECT_EQ(Info.Author, "Someone");
  EXPECT_EQ(Info.Shadow1Blur, 16);
  EXPECT_EQ(Info.Shadow1Offset, 0);
  ASSERT_EQ(Arrays.Sections.size(), 11u);
  EXPECT_EQ(Arrays.Sections[0].SectionName, "GLOBALINFO");  // file order, names as written
  EXPECT_EQ(Arrays.Sections[5].SectionName, "B");

  const TsGeneralData& child = Section("CHILD");
  EXPECT_EQ(child.ParentClass, "base");
  EXPECT_EQ(child.Color, 255);           // from the parent
  EXPECT_EQ(child.TCLeft, 100);          // -1 counts as absent
  EXPECT_TRUE(child.FadingEnabled);      // "TRUE" in any case
  EXPECT_EQ(child.ShadowBlur, 6);        // not a number: absent, and the parent has none
  EXPECT_EQ(child.ShadowColor, 0);       // not inherited
  EXPECT_EQ(Section("BASE").ShadowColor, 77);
  ASSERT_EQ(child.GradientArray.size(), 1u);
  EXPECT_EQ(child.GradientArray[0].Percent, 100);

  const TsGeneralData& orphan = Section("ORPHAN");
  EXPECT_EQ(orphan.Color, TColor(RGB(212, 208, 200)));  // system colour turned into RGB
  EXPECT_EQ(orphan.HotColor, -16777201);                // HOTCOLOR is kept as written
  EXPECT_EQ(orphan.TCLeft, -1);
  EXPECT_EQ(orphan.ShadowTransparency, 50);
  EXPECT_EQ(orphan.FadingIterations, 5);
  EXPECT_EQ(orphan.GradientData, " ");
  EXPECT_TRUE(orphan.GradientArray.empty());
  EXPECT_EQ(orphan.HotGradientData, "");

  // Loops of two, a loop that does not come back to where it started, and a section that
  // names itself all end with the default.
  EXPECT_EQ(Section("A").Color, 0xFFFFFF);
  EXPECT_EQ(Section("B").Color, 0xFFFFFF);
  EXPECT_EQ(Section("C").Color, 0xFFFFFF);
  EXPECT_EQ(Section("SELF").FontColor, 255);
  EXPECT_EQ(Section("SELF").Color, 0xFFFFFF);
  EXPECT_EQ(Section("QUESTION").ParentClass, "?");
}

TEST_F(FolderReader, RingsReadOnceRoundFromEachMemberAndLongChainsReadWhole) {
  // A chain of 500 sections, each the child of the next: the last one's keys reach the first.
  // (Walking the chain anew for every section and key took minutes here.)
  std::string options = "[GLOBALINFO]\nVERSION=1\n";
  for (int i = 0; i < 500; ++i) {
    options += "[S" + std::to_string(i) + "]\n";
    if (i < 499) options += "PARENTCLASS=s" + std::to_string(i + 1) + "\n";
  }
  options += "COLOR=255\n[S250]\nTCLEFT=7\n";  // [S250] again adds to the first one
  // A ring R1 -> R2 -> R3 -> R1 with values on two members, and a section leading into it.
  options +=
      "[R1]\nPARENTCLASS=R2\nFONTCOLOR=9\n"
      "[R2]\nPARENTCLASS=R3\nCOLOR=2\n"
      "[R3]\nPARENTCLASS=r1\nCOLOR=3\n"
      "[T]\nPARENTCLASS=r3\n";
  Read(options);
  ASSERT_EQ(Arrays.Sections.size(), 505u);
  EXPECT_EQ(Section("S0").Color, 255);
  EXPECT_EQ(Section("S0").TCLeft, 7);
  EXPECT_EQ(Section("S250").TCLeft, 7);
  EXPECT_EQ(Section("S251").TCLeft, -1);
  EXPECT_EQ(Section("S499").Color, 255);
  EXPECT_EQ(Section("S499").ParentClass, "");

  EXPECT_EQ(Section("R1").Color, 2);  // R1 has none: R2's
  EXPECT_EQ(Section("R2").Color, 2);
  EXPECT_EQ(Section("R3").Color, 3);
  EXPECT_EQ(Section("T").Color, 3);       // through R3, which has one
  EXPECT_EQ(Section("R2").FontColor, 9);  // R2, R3, then round to R1
  EXPECT_EQ(Section("R3").FontColor, 9);
  EXPECT_EQ(Section("T").FontColor, 9);   // T, R3, R1
  EXPECT_EQ(Section("T").TCTop, -1);      // nobody on the way has one
}

TEST_F(FolderReader, EveryMaskFormGivesItsFields) {
  WriteBmp(Folder, "master.bmp", 304, 260);
  WriteBmp(Folder, "button.bmp", 90, 48);
  WriteBmp(Folder, "BUTTON.BMP", 60, 40);
  Read(
      "[GLOBALINFO]\n"
      "MASTERBITMAP=master.bmp\n"
      "BoxChecked=@0147 0154 0195 0190 3 1\n"
      "[BUTTON]\n"
      "BORDERSMASK=#(243,190,286,220)(3,1,1)\n"
      "PATTERN=#(243,190,286,220)(3,1,1)\n"
      "[hashy]\n"
      "glyphmask=#(0,0,90,36)(0,-2)\n"
      "hotpattern=#(1,2,3)(1,1)\n"
      "[GroupBox]\n"
      "BordersMask=^0063 0072 0084 0114 0006 0008 0007 0009 1 1 1 0\n"
      "[EDIT]\n"
      "BORDERSMASK=^0000 0000 0045 0030 0000 0000 0000 0000 3 1 1 2\n"
      "[PANEL]\n"
      "BORDERSMASK=^   0    0   90   36    0    0    0    0 3 1 1 0\n"
      "[FORM]\n"
      "PATTERN=~0252 0154 0304 0190 01 1\n"
      "HOTPATTERN=~0252 0154 0304 0190 02\n"
      "[plain]\n"
      "bordersmask=button.bmp\n"
      "GLYPHMASK=!button.bmp!3!1!0\n"
      "OtherMask=!BUTTON.BMP!3!1!2\n"
      "FULLMASK=!BUTTON.BMP!1!0!0!2!3!4!5\n"
      "MISSING=gone.bmp\n"
      "MISSINGTOO=!GONE.BMP!1!0!2\n"
      "TEXT=hello\n"
      "NUMBER=12\n"
      "ALONE=#\n");
  ASSERT_TRUE(Arrays.MasterBitmap);
  EXPECT_EQ(Arrays.MasterBitmap->BitsPerPixel(), 24);
  EXPECT_TRUE(Arrays.MasterBitmap->Transparent);
  EXPECT_EQ(Arrays.MasterBitmap->TransparentColor, kSkinKeyColor);
  ASSERT_EQ(Arrays.Masks.size(), 12u);

  const TsMaskData& box = Arrays.Masks[0];  // names as written
  EXPECT_EQ(box.SectionName, "GLOBALINFO");
  EXPECT_EQ(box.PropertyName, "BoxChecked");
  EXPECT_EQ(box.R, (TRect{147, 154, 195, 190}));
  EXPECT_EQ(box.ImageCount, 3);
  EXPECT_EQ(box.MaskType, 1);
  EXPECT_EQ(box.ImgType, itisaGlyph);
  EXPECT_EQ(box.WL + box.WT + box.WR + box.WB, 0);
  EXPECT_FALSE(box.Bmp);

  const TsMaskData& border = Mask("BUTTON", "BORDERSMASK");
  EXPECT_EQ(border.R, (TRect{243, 190, 286, 220}));
  EXPECT_EQ(border.ImgType, itisaBorder);
  EXPECT_EQ(border.StretchMode, 1);
  EXPECT_EQ(border.BorderWidth, 1);
  EXPECT_EQ(border.WL, 1);
  EXPECT_EQ(border.WT, 1);
  EXPECT_EQ(border.WR, 1);
  EXPECT_EQ(border.WB, 1);
  const TsMaskData& texture = Mask("BUTTON", "PATTERN");
  EXPECT_EQ(texture.ImgType, itisaTexture);
  EXPECT_EQ(texture.StretchMode, 0);
  // Counts below 1 become 1, negative mask types 0; widths by default: 90 div 3, 36 div 3.
  const TsMaskData& hash = Mask("HASHY", "GLYPHMASK");
  EXPECT_EQ(hash.ImageCount, 1);
  EXPECT_EQ(hash.MaskType, 0);
  EXPECT_EQ(hash.ImgType, itisaBorder);
  EXPECT_EQ(hash.WL, 30);
  EXPECT_EQ(hash.WT, 12);

  const TsMaskData& group = Mask("GroupBox", "BordersMask");
  EXPECT_EQ(group.R, (TRect{63, 72, 84, 114}));
  EXPECT_EQ(group.WL, 6);
  EXPECT_EQ(group.WT, 8);
  EXPECT_EQ(group.WR, 7);
  EXPECT_EQ(group.WB, 9);
  EXPECT_EQ(group.ImageCount, 1);
  EXPECT_EQ(group.StretchMode, 1);
  EXPECT_EQ(group.ImgType, itisaBorder);
  EXPECT_EQ(Mask("EDIT", "BORDERSMASK").WT, 2);  // no widths: BorderWidth for all four
  EXPECT_EQ(Mask("EDIT", "BORDERSMASK").WR, 2);
  // No widths and no BorderWidth: 90 div (3 x 3) and 36 div ((1 + 1) x 3).
  EXPECT_EQ(Mask("PANEL", "BORDERSMASK").WL, 10);
  EXPECT_EQ(Mask("PANEL", "BORDERSMASK").WB, 6);

  const TsMaskData& tile = Mask("FORM", "PATTERN");
  EXPECT_EQ(tile.ImgType, itisaTexture);
  EXPECT_EQ(tile.R, (TRect{252, 154, 304, 190}));
  EXPECT_EQ(tile.StretchMode, 1);
  EXPECT_EQ(tile.MaskType, 1);
  EXPECT_EQ(tile.ImageCount, 1);
  EXPECT_EQ(Mask("FORM", "HOTPATTERN").MaskType, 0);  // shorter than 25 characters
  EXPECT_EQ(Mask("FORM", "HOTPATTERN").StretchMode, 2);

  // A lower-case file name is fine for the plain form; names are upper-cased.
  const TsMaskData& file = Mask("PLAIN", "BORDERSMASK");
  ASSERT_TRUE(file.Bmp);
  EXPECT_EQ(file.Bmp->BitsPerPixel(), 24);
  EXPECT_EQ(file.R, (TRect{0, 0, 90, 48}));
  EXPECT_EQ(file.ImageCount, 3);
  EXPECT_EQ(file.MaskType, 1);
  EXPECT_EQ(file.WL, 10);  // 90 div 9
  EXPECT_EQ(file.WT, 8);   // 48 div 6
  // "!" wants ".BMP" in upper case: the lower-case one is skipped, the other two read.
  const TsMaskData& glyph = Mask("plain", "OtherMask");
  EXPECT_EQ(glyph.ImgType, itisaGlyph);
  EXPECT_EQ(glyph.R, (TRect{0, 0, 60, 40}));
  EXPECT_EQ(glyph.WL, 6);  // 60 div 9
  EXPECT_EQ(glyph.WT, 6);  // 40 div 6
  const TsMaskData& full = Mask("plain", "FULLMASK");
  EXPECT_EQ(full.ImgType, itisaBorder);
  EXPECT_EQ(full.WL, 2);
  EXPECT_EQ(full.WT, 3);
  EXPECT_EQ(full.WR, 4);
  EXPECT_EQ(full.WB, 5);
  for (const TsMaskData& m : Arrays.Masks) {
    EXPECT_FALSE(m.SectionName == "plain" && m.PropertyName == "GLYPHMASK");
    EXPECT_FALSE(m.SectionName == "HASHY" && m.PropertyName == "HOTPATTERN") << "it needs four numbers";
  }
}

// The line lies at 90,000 pixels: 300 x 300 is a pattern, 299 x 300 and 200 x 200 are not.
TEST_F(FolderReader, BigJpegsArePatternsAndSmallOnesTexturesOfTheirOwn) {
  WriteBytes(Folder, "big.jpg", JpegBytes(300, 300));
  WriteBytes(Folder, "Small.JPEG", JpegBytes(100, 100));
  WriteBytes(Folder, "narrow.jpg", JpegBytes(299, 300));
  WriteBytes(Folder, "mid.jpg", JpegBytes(200, 200));
  Read(
      "[Form]\n"
      "Pattern=big.jpg\n"
      "HotPattern=Small.JPEG\n"
      "[DIALOG]\n"
      "PATTERN=missing.jpg\n"
      "HOTPATTERN=narrow.jpg\n"
      "[EDIT]\n"
      "PATTERN=mid.jpg\n");
  ASSERT_EQ(Arrays.Patterns.size(), 1u);
  EXPECT_EQ(Arrays.Patterns[0].SectionName, "FORM");
  EXPECT_EQ(Arrays.Patterns[0].PropertyName, "PATTERN");
  EXPECT_EQ(Arrays.Patterns[0].Img->Width(), 300);
  ASSERT_EQ(Arrays.Masks.size(), 3u);
  EXPECT_EQ(Arrays.Masks[1].SectionName, "DIALOG");
  EXPECT_EQ(Arrays.Masks[1].Bmp->Width(), 299);
  EXPECT_EQ(Arrays.Masks[2].SectionName, "EDIT");
  EXPECT_EQ(Arrays.Masks[2].Bmp->Width(), 200);
  const TsMaskData& small = Arrays.Masks[0];
  EXPECT_EQ(small.SectionName, "FORM");
  EXPECT_EQ(small.PropertyName, "HOTPATTERN");
  EXPECT_EQ(small.ImgType, itisaTexture);
  EXPECT_EQ(small.ImageCount, 1);
  EXPECT_EQ(small.R, TRect{});
  ASSERT_TRUE(small.Bmp);
  EXPECT_EQ(small.Bmp->Width(), 100);
  EXPECT_EQ(small.Bmp->Height(), 100);
  EXPECT_EQ(small.Bmp->BitsPerPixel(), 24);
  const COLORREF c = small.Bmp->GetPixel(50, 50);  // the JPEG's colour, give or take rounding
  EXPECT_NEAR(GetRValue(c), 200, 3);
  EXPECT_NEAR(GetGValue(c), 120, 3);
  EXPECT_NEAR(GetBValue(c), 40, 3);
}

TEST_F(FolderReader, DamageIsReportedWithWhereItIs) {
  auto failure = [&](const std::string& options) {
    try {
      Read(options);
    } catch (const ESkinLoadError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(failure("[BUTTON]\nBORDERSMASK=^0063 00x2 0084 0114 0006 0008 0007 0009 1 1 1 0\n"),
            "Options.dat, line 2, section [BUTTON], key BORDERSMASK: columns 7-10 (\"00x2\") must be a number "
            "(the top edge in columns 7-10 of ^LLLL TTTT RRRR BBBB llll tttt rrrr bbbb N M S W)");
  EXPECT_NE(failure("[A]\nK=@0147 0154 0195\n").find("columns 17-20"), std::string::npos);  // too short
  WriteBmp(Folder, "PART.BMP", 30, 20);
  EXPECT_NE(failure("[A]\nK=!PART.BMP!3!one!0\n").find("the mask type (\"one\") must be a number"), std::string::npos);
  EXPECT_NE(failure("[A]\nK=!PART.BMP!3!1!7\n").find("the image type must be 0, 1 or 2"), std::string::npos);
  EXPECT_NE(failure("[A]\nK=!PART.BMP!3!1!0!1!2\n").find("the right border width"), std::string::npos);
  EXPECT_NE(failure("[GLOBALINFO]\nSHADOW1OFFSET=three\n").find("SHADOW1OFFSET: \"three\" is not a number"),
            std::string::npos);
  EXPECT_NE(failure("[GLOBALINFO]\nMASTERBITMAP=none.bmp\n").find("none.bmp named by MASTERBITMAP is missing"),
            std::string::npos);
  Folder.Write("bad.jpg", "not a picture");
  EXPECT_NE(failure("[FORM]\nPATTERN=bad.jpg\n").find("bad.jpg cannot be read"), std::string::npos);
  EXPECT_EQ(failure("[A]\nK=!PART.BMP!3!1!0\n[B]\nK=#(1,2)(3)\n"), "no error");  // a short "#" is no mask
  Folder.Write("Options.dat", "");
  std::filesystem::resize_file(Folder.Path() + "/Options.dat", TsOptionsFile::kMaxFileSize + 1);
  try {
    TsSkinFolderReader(nullptr, SkinPath());
    ADD_FAILURE() << "an oversized Options.dat was read";
  } catch (const ESkinLoadError& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
  }
}

// Skins are often written on disks that ignore case: a name finds its file whatever the case
// of either, but a file of exactly that name wins.
TEST_F(FolderReader, PictureNamesFindTheirFilesWithoutRegardToCase) {
  WriteBmp(Folder, "master.bmp", 40, 30);
  WriteBmp(Folder, "part.bmp", 33, 12);
  WriteBmp(Folder, "Pics/Edge.bmp", 18, 6);
  WriteBmp(Folder, "Exact.BMP", 21, 9);  // both spellings present: the exact one is read
  WriteBmp(Folder, "exact.bmp", 12, 9);
  WriteBmp(Folder, "twice.bmp", 15, 3);  // two others: the first in byte order
  WriteBmp(Folder, "TWICE.bmp", 24, 3);
  WriteBytes(Folder, "back.jpg", JpegBytes(300, 300));
  WriteBytes(Folder, "tile.jpeg", JpegBytes(10, 20));
  Read(
      "[GLOBALINFO]\n"
      "MASTERBITMAP=Master.BMP\n"
      "[BUTTON]\n"
      "GLYPHMASK=!PART.BMP!3!0!2\n"
      "BORDERSMASK=pics\\EDGE.BMP\n"
      "HOTMASK=Exact.BMP\n"
      "OTHERMASK=Twice.BMP\n"
      "PATTERN=Back.JPG\n"
      "HOTPATTERN=TILE.JPEG\n");
  ASSERT_TRUE(Arrays.MasterBitmap);
  EXPECT_EQ(Arrays.MasterBitmap->Width(), 40);
  ASSERT_EQ(Arrays.Masks.size(), 5u);
  EXPECT_EQ(Mask("BUTTON", "GLYPHMASK").R, (TRect{0, 0, 33, 12}));
  EXPECT_EQ(Mask("BUTTON", "BORDERSMASK").R, (TRect{0, 0, 18, 6}));
  EXPECT_EQ(Mask("BUTTON", "HOTMASK").R.Right, 21);
  EXPECT_EQ(Mask("BUTTON", "OTHERMASK").R.Right, 24);
  ASSERT_EQ(Arrays.Patterns.size(), 1u);
  EXPECT_EQ(Arrays.Patterns[0].Img->Width(), 300);
  EXPECT_EQ(Mask("BUTTON", "HOTPATTERN").Bmp->Height(), 20);

  EXPECT_EQ(FindSkinFile(SkinPath(), "PICS/edge.BMP"), SkinPath() + "Pics/Edge.bmp");
  EXPECT_EQ(FindSkinFile(SkinPath(), "pics"), "");  // a folder is no picture
  EXPECT_EQ(FindSkinFile(SkinPath(), "missing.bmp"), "");
  EXPECT_EQ(FindSkinFile(SkinPath(), ""), "");
}

// A VERSION that is no number is only information: the skin loads with version 0.
TEST_F(FolderReader, AVersionThatIsNoNumberCountsAsNone) {
  for (const char* version : {"4,81", "v5", "", "inf", "1e999"}) {
    Read(std::string("[GLOBALINFO]\nVERSION=") + version + "\n[BUTTON]\nCOLOR=255\n");
    EXPECT_EQ(Info.Version, 0) << version;
    EXPECT_EQ(Section("BUTTON").Color, 255) << version;
  }
}

TEST(CommonSections, AddEntriesAfterTheSkinsOwnThatLookupsNeverPrefer) {
  TTempFolder folder;
  WriteBytes(folder, "tiny.jpg", JpegBytes(20, 10));
  TsSkinArrays arrays;
  arrays.MasterBitmap = std::make_unique<TDib>(64, 64, 24);
  TsGeneralData button;
  button.SectionName = "Button";
  button.Color = 0x123456;
  button.ShadowBlur = 9;
  arrays.Sections.push_back(button);
  arrays.Masks.emplace_back();
  arrays.Masks[0].SectionName = "BUTTON";
  arrays.Masks[0].PropertyName = "BORDERSMASK";
  MergeCommonSections({"[BUTTON]", "COLOR=255", "BORDERSMASK=#(0,0,9,6)(1,0)", "[Extra]", "PARENTCLASS=button",
                       "FONTCOLOR=-1", "TCLEFT=7", "SHOWFOCUS=True", "PATTERN=tiny.jpg", "[GLOBALINFO]",
                       "CHECK=#(0,0,3,3)(1,0)", "[Lonely]", "SHADOWBLUR=x"},
                      nullptr, folder.Path() + "/", arrays);
  ASSERT_EQ(arrays.Masks.size(), 2u);  // GLOBALINFO's masks are not taken
  EXPECT_EQ(arrays.Masks[1].SectionName, "BUTTON");
  EXPECT_EQ(arrays.Masks[1].R, (TRect{0, 0, 9, 6}));
  ASSERT_EQ(arrays.Patterns.size(), 1u);  // any size is a pattern here
  EXPECT_EQ(arrays.Patterns[0].SectionName, "EXTRA");
  EXPECT_EQ(arrays.Patterns[0].Img->Width(), 20);
  ASSERT_EQ(arrays.Sections.size(), 5u);
  EXPECT_EQ(arrays.Sections[1].SectionName, "BUTTON");  // added, behind the skin's own
  EXPECT_EQ(arrays.Sections[1].Color, 255);
  EXPECT_EQ(arrays.Sections[1].ParentClass, "-1");
  const TsGeneralData& extra = arrays.Sections[2];
  EXPECT_EQ(extra.ParentClass, "BUTTON");
  EXPECT_EQ(extra.Color, 0x123456);  // the first section named BUTTON is the skin's
  EXPECT_EQ(extra.ShadowBlur, 9);
  EXPECT_EQ(extra.FontColor, 0);  // -1: the parent's value
  EXPECT_EQ(extra.TCLeft, 7);
  EXPECT_TRUE(extra.ShowFocus);
  const TsGeneralData& lonely = arrays.Sections[4];
  EXPECT_EQ(lonely.ShadowBlur, 6);  // no parent: the default
  EXPECT_EQ(lonely.Color, 0xFFFFFF);
  EXPECT_EQ(lonely.GradientData, " ");
}

}  // namespace
