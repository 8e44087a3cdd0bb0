#include <gtest/gtest.h>

#include "skin/data/sSkinChecker.h"
#include "tests/skin/SkinFolderFiles.h"

namespace {

struct TExpected {
  int Line;
  bool Fatal;
  const char* Section;
  const char* Key;
  const char* What;  // a part of the text
};

void ExpectProblems(const TsSkinCheck& check, const std::vector<TExpected>& expected) {
  ASSERT_EQ(check.Problems.size(), expected.size()) << [&] {
    std::string all;
    for (const TsSkinProblem& p : check.Problems) all += FormatSkinProblem("Options.dat", p) + "\n";
    return all;
  }();
  for (size_t i = 0; i < expected.size(); ++i) {
    const TsSkinProblem& p = check.Problems[i];
    const TExpected& e = expected[i];
    SCOPED_TRACE(FormatSkinProblem("Options.dat", p));
    EXPECT_EQ(p.Line, e.Line);
    EXPECT_EQ(p.Fatal, e.Fatal);
    EXPECT_EQ(p.Section, e.Section);
    EXPECT_EQ(p.Key, e.Key);
    EXPECT_NE(p.What.find(e.What), std::string::npos);
  }
}

// One folder with many kinds of damage: every one is reported on its own line, the fatal ones
// do not stop the check, and the skin counts as refused.
TEST(SkinChecker, ReportsEveryProblemOnItsLineSectionAndKey) {
  TTempFolder folder;
  WriteBmp(folder, "master.bmp", 64, 32, RGB(40, 80, 120), kSkinKeyColor);
  WriteBmp(folder, "plain.bmp", 30, 10);  // no key colour anywhere
  folder.Write("Options.dat",
               "[GLOBALINFO]\n"                                                   // 1
               "VERSION=4,81\n"                                                   // 2
               "MASTERBITMAP=Master.BMP\n"                                        // 3
               "SHADOW1BLUR=soft\n"                                               // 4
               "BOXCHECKED=@0000 0000 0048 0016 3 1\n"                            // 5
               "[BUTTON]\n"                                                       // 6
               "COLOR=red\n"                                                      // 7
               "BORDERSMASK=^0063 00x2 0084 0114 0006 0008 0007 0009 1 1 1 0\n"  // 8
               "GLYPHMASK=@0000 0016 0070 0032 3 0\n"                             // 9
               "[CHECKBOX]\n"                                                     // 10
               "BORDERSMASK=#(0,0,40,16)(3,1)\n"                                  // 11
               "GLYPHMASK=!PART.BMP!3!one!0\n"                                    // 12
               "HOTPATTERN=gone.jpg\n"                                            // 13
               "SHOWFOCUS=yes\n"                                                  // 14
               "COLOUR=255\n"                                                     // 15
               "COLOR=1\n"                                                        // 16
               "COLOR=2\n"                                                        // 17
               "[BUTON]\n"                                                        // 18
               "a stray line\n"                                                   // 19
               "[FORM]\n"                                                         // 20
               "PARENTCLASS=DIALOG\n"                                             // 21
               "IMGTOPLEFT=!PLAIN.BMP!1!0!2\n"                                    // 22
               "GRADIENTDATA=255;0;100;0;0;7;x;1;2;3\n"                           // 23
               "[DIALOG]\n"                                                       // 24
               "PARENTCLASS=FORM\n"                                               // 25
               "BORDERSMASK=12\n"                                                 // 26
               "[MENUITEM]\n"                                                     // 27
               "PARENTCLASS=NOWHERE\n"                                            // 28
               "BORDERSMASK=~0000 0000 0010 0010 01\n");                          // 29
  const TsSkinCheck check = CheckSkinFolder(folder.Path());
  EXPECT_TRUE(check.Refused());
  EXPECT_EQ(check.OptionsFile, "Options.dat");
  ExpectProblems(check, {
                            {2, false, "GLOBALINFO", "VERSION", "\"4,81\" is not a number"},
                            {4, true, "GLOBALINFO", "SHADOW1BLUR", "\"soft\" is not a number"},
                            {7, false, "BUTTON", "COLOR", "\"red\" is not a number"},
                            {8, true, "BUTTON", "BORDERSMASK", "columns 7-10 (\"00x2\") must be a number"},
                            {9, false, "BUTTON", "GLYPHMASK", "(0, 16, 70, 32) reaches outside its picture of 64 x 32"},
                            {11, false, "CHECKBOX", "BORDERSMASK", "the width 40 does not divide into 3 states"},
                            {12, true, "CHECKBOX", "GLYPHMASK", "the mask type (\"one\") must be a number"},
                            {13, false, "CHECKBOX", "HOTPATTERN", "the picture gone.jpg is missing"},
                            {14, false, "CHECKBOX", "SHOWFOCUS", "\"yes\" counts as FALSE"},
                            {15, false, "CHECKBOX", "COLOUR", "the program reads no key of this name"},
                            {17, false, "CHECKBOX", "COLOR", "given again; the value on line 16 is the one read"},
                            {18, false, "BUTON", "", "the program paints nothing from this section"},
                            {19, false, "", "", "\"a stray line\" is left out"},
                            {21, false, "FORM", "PARENTCLASS", "ring (FORM -> DIALOG -> FORM)"},
                            {22, false, "FORM", "IMGTOPLEFT", "the glyph holds no key colour"},
                            {23, false, "FORM", "GRADIENTDATA", "'x' is not an integer"},
                            {26, false, "DIALOG", "BORDERSMASK", "\"12\" is no mask or picture"},
                            {28, false, "MENUITEM", "PARENTCLASS", "there is no section [NOWHERE]"},
                        });
  EXPECT_EQ(FormatSkinProblem("skin/Options.dat", check.Problems[3]),
            "skin/Options.dat:8: [BUTTON] BORDERSMASK: columns 7-10 (\"00x2\") must be a number "
            "(the top edge in columns 7-10 of ^LLLL TTTT RRRR BBBB llll tttt rrrr bbbb N M S W)");
  EXPECT_EQ(FormatSkinProblem("skin/Options.dat", check.Problems[12]),
            "skin/Options.dat:19: warning: \"a stray line\" is left out: it comes before the first section or has no "
            "\"=\" ([SECTION], KEY=value or a comment starting with ;)");
}

TEST(SkinChecker, AFolderWithoutOptionsOrSectionsIsRefusedAndSaysWhy) {
  TTempFolder folder;
  TsSkinCheck check = CheckSkinFolder(folder.Path());
  ASSERT_EQ(check.Problems.size(), 1u);
  EXPECT_TRUE(check.Refused());
  EXPECT_EQ(check.Problems[0].Line, 0);
  EXPECT_NE(check.Problems[0].What.find("Options.dat cannot be read"), std::string::npos);

  folder.Write("OPTIONS.DAT", "KEY=value\n");  // found whatever its case
  check = CheckSkinFolder(folder.Path() + "/");
  EXPECT_EQ(check.OptionsFile, "OPTIONS.DAT");
  ASSERT_EQ(check.Problems.size(), 1u);
  EXPECT_NE(check.Problems[0].What.find("holds no sections"), std::string::npos);
}

// Sections, masks and the parents of masks are found by their names as written, in capitals.
TEST(SkinChecker, WarnsOfNamesThatTheProgramLooksUpInCapitals) {
  TTempFolder folder;
  WriteBmp(folder, "master.bmp", 64, 32, RGB(40, 80, 120), kSkinKeyColor);
  folder.Write("Options.dat",
               "[GLOBALINFO]\n"
               "MASTERBITMAP=master.bmp\n"
               "BoxChecked=@0000 0000 0048 0016 3 1\n"
               "[Button]\n"
               "bordersmask=#(0,0,48,16)(3,1)\n"
               "[EDIT]\n"
               "PARENTCLASS=button\n");
  ExpectProblems(CheckSkinFolder(folder.Path()),
                 {{3, false, "GLOBALINFO", "BoxChecked", "looks this mask up as BOXCHECKED"},
                  {4, false, "Button", "", "looks this section up as [BUTTON]"},
                  {7, false, "EDIT", "PARENTCLASS", "the section is written [Button]"}});
}

// A border without a transparency mask copies its edges and centre as they are: the key colour
// belongs in its corners only, and inside only when the centre is not painted.
TEST(SkinChecker, WarnsOfKeyColourInABordersEdgesOrCentre) {
  TTempFolder folder;
  TDib master(24, 16, 24);
  master.Fill(RGB(40, 80, 120));
  master.SetPixel(0, 0, kSkinKeyColor);    // state 0: a corner, fine
  master.SetPixel(5, 6, kSkinKeyColor);    // state 0: the centre, not painted with border width 1
  master.SetPixel(17, 0, kSkinKeyColor);   // state 1: the top edge
  SaveBmpFile(master, 24, folder.Write("master.bmp", ""));
  folder.Write("Options.dat",
               "[GLOBALINFO]\n"
               "MASTERBITMAP=master.bmp\n"
               "[BUTTON]\n"
               "BORDERSMASK=^0000 0000 0012 0016 0004 0004 0004 0004 1 0 0 1\n"   // state 0 alone
               "[EDIT]\n"
               "BORDERSMASK=^0000 0000 0012 0016 0004 0004 0004 0004 1 0 0 0\n"   // centre painted
               "[PANEL]\n"
               "BORDERSMASK=^0000 0000 0024 0016 0004 0004 0004 0004 2 0 0 1\n");  // and state 1
  ExpectProblems(CheckSkinFolder(folder.Path()),
                 {{6, false, "EDIT", "BORDERSMASK", "the key colour at (5, 6) lies in the centre of state 0"},
                  {8, false, "PANEL", "BORDERSMASK", "the key colour at (17, 0) lies in an edge of state 1"}});
}

// Damage that loading does not refuse is only a warning: such a skin counts as loading.
TEST(SkinChecker, WarningsAloneLetTheSkinLoad) {
  TTempFolder folder;
  folder.Write("Options.dat", "[BUTTON]\nCOLOR=0x00FF00\nGLYPHMASK=gone.bmp\n");
  const TsSkinCheck check = CheckSkinFolder(folder.Path());
  EXPECT_FALSE(check.Refused());
  ExpectProblems(check, {{3, false, "BUTTON", "GLYPHMASK", "the picture gone.bmp is missing"}});
}

// The skins that ship with the program load, and the example of the skin guide is clean. The
// shipped button border is 43 pixels wide for three states of 14: its last column is never shown.
TEST(SkinChecker, FindsNoErrorInTheShippedSkinsAndNothingInTheGuidesExample) {
  for (const char* folder : {MARUK_SOURCE_DIR "/assets/skins/Amber", MARUK_SOURCE_DIR "/assets/skins/Graphite"}) {
    SCOPED_TRACE(folder);
    ExpectProblems(CheckSkinFolder(folder), {{2256, false, "BUTTON", "BORDERSMASK", "the width 43 does not divide"}});
  }
  ExpectProblems(CheckSkinFolder(MARUK_SOURCE_DIR "/docs/example-skin"), {});
}


// A skin without its master bitmap says so once: not once more for every mask that lies in it.
TEST(SkinChecker, AMissingMasterBitmapIsToldOnceNotForEveryMask) {
  TTempFolder named, unnamed;
  const std::string masks =
      "BOXCHECKED=@0000 0000 0048 0016 3 1\n"
      "BOXUNCHECKED=@0000 0016 0048 0032 3 1\n"
      "[BUTTON]\n"
      "BORDERSMASK=^0000 0000 0030 0010 0003 0003 0003 0003 3 1 1 0\n";
  named.Write("Options.dat", "[GLOBALINFO]\nMASTERBITMAP=gone.bmp\n" + masks);
  ExpectProblems(CheckSkinFolder(named.Path()), {{2, true, "GLOBALINFO", "MASTERBITMAP", "is missing"}});
  unnamed.Write("Options.dat", "[GLOBALINFO]\n" + masks);
  ExpectProblems(CheckSkinFolder(unnamed.Path()),
                 {{2, false, "GLOBALINFO", "BOXCHECKED", "lies in the master bitmap, but the skin has none"}});
}
}  // namespace
