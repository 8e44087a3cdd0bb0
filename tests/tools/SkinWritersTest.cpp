// What the generator writes: the values of masks in Options.dat, a shipped skin's sections
// with their colours mapped, the internal skin's block in the stored layout, and the checks
// that guard the tables.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/skinart/BlueGlass.h"
#include "tools/skinart/MaskTable.h"
#include "tools/skinart/SkinFolderWriter.h"
#include "tools/skinart/StoredSkinWriter.h"
#include "tools/skinart/TableCheck.h"

using namespace SkinArt;

namespace {

template <class F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) lines.push_back(text.substr(start, end - start));
  return lines;
}

}  // namespace

TEST(OptionsFile, EachKindOfMaskHasItsOwnValue) {
  EXPECT_EQ(MaskValue(Glyph("GLOBALINFO", "BOXCHECKED", {147, 154, 195, 190}, 3, 1, {})), "@0147 0154 0195 0190 3 1");
  // Margins of a third of each state image: the short form.
  EXPECT_EQ(MaskValue(K3("TABTOP", 180, 0, {})), "#(180,0,225,30)(3,1)");
  // The same margins with a border width, and other margins: every number, margins in the
  // order left, top, right, bottom.
  EXPECT_EQ(MaskValue(WithBorderWidth(K3("TABTOP", 180, 0, {}), 1)), "^0180 0000 0225 0030 0005 0005 0005 0005 3 1 1 1");
  EXPECT_EQ(MaskValue(Border("BUTTON", {243, 190, 286, 220}, 3, 1, 6, 7, 6, 8, {})),
            "^0243 0190 0286 0220 0006 0006 0007 0008 3 1 1 0");
  EXPECT_EQ(MaskValue(Channel(Border("TRACKBAR", {197, 156, 215, 168}, 1, 1, 6, 6, 2, 2, {}))),
            "^0197 0156 0215 0168 0006 0002 0006 0002 1 1 1 0");
  EXPECT_EQ(MaskValue(Texture("MDIAREA", "PATTERN", {252, 47, 304, 83}, {})), "~0252 0047 0304 0083 00 0");
  EXPECT_EQ(MaskValue(Texture("FORM", "HOTPATTERN", {252, 154, 304, 190}, {})), "Background.jpg");
  EXPECT_EQ(MaskValue(Texture("DIALOG", "PATTERN", {252, 154, 304, 190}, {})), "Background.jpg");
  EXPECT_EQ(MaskValue(Carried(Border("BUTTON_HUGE", {0, 0, 288, 192}, 3, 1, 32, 31, 30, 29, {}))),
            "!BTN_HUGE.BMP!3!1!0!32!30!31!29");
}

TEST(OptionsFile, SectionColoursGoThroughTheSkinsMaps) {
  TFolderSkin skin;
  skin.Name = "Test";
  skin.Description = "A test";
  skin.Map = [](TRgb c) { return TRgb{c.B, c.G, c.R}; };  // red and blue change places
  skin.Text = [](TRgb) { return Rgb(1, 2, 3); };
  skin.Contour = [](TRgb) { return Rgb(4, 5, 6); };
  TSection bar;
  bar.SectionName = "BAR";
  bar.Color = Col(0x10, 0x20, 0x30);
  bar.HotColor = Col(0x11, 0x22, 0x33);
  bar.GradientData = TwoTone(Col(1, 2, 3), Col(4, 5, 6));
  bar.FontColor = "0 -1 7 -1 -1";
  TSection global;
  global.SectionName = "GLOBALINFO";
  const std::vector<TMask> masks = {K0("BAR", 159, 60, {}, kWhite), Glyph("OTHER", "GLYPHMASK", {0, 0, 3, 1}, 3, 0, {})};

  const std::vector<std::string> lines = Lines(OptionsText(skin, {global, bar, BlankSection()}, masks));
  auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
  EXPECT_EQ(lines[0], "; Test: written by tools/SkinArtGenerator.cpp, do not edit by hand");
  EXPECT_TRUE(has("[GLOBALINFO]"));
  EXPECT_TRUE(has("DESCRIPTION=A test"));
  EXPECT_TRUE(has("MASTERBITMAP=Test.bmp"));
  EXPECT_TRUE(has("[BAR]"));
  EXPECT_TRUE(has("COLOR=" + std::to_string(0x102030)));     // was 0x302010
  EXPECT_TRUE(has("HOTCOLOR=" + std::to_string(0x112233)));  // was 0x332211
  // Colours of a gradient change, its percents and directions stay.
  EXPECT_TRUE(has("GRADIENTDATA=" + std::to_string(0x010203) + ";" + std::to_string(0x040506) + ";99;0;0;" +
                  std::to_string(0x040506) + ";" + std::to_string(0x040506) + ";0;0;0"));
  EXPECT_TRUE(has("FONTCOLOR=" + std::to_string(0x030201)));
  EXPECT_TRUE(has("TCLEFT=-1"));  // no contour stays none
  EXPECT_TRUE(has("TCTOP=" + std::to_string(0x060504)));
  EXPECT_TRUE(has("SHADOWCOLOR=0"));
  EXPECT_TRUE(has("BORDERSMASK=^0159 0060 0171 0072 0002 0002 0002 0002 1 0 1 0"));
  // The blank section and masks of sections not in the list are left out.
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("[", 0) == 0; }), 2);
  EXPECT_FALSE(has("GLYPHMASK=@0000 0000 0003 0001 3 0"));
}

TEST(StoredLayout, SkinBlockIsAddedOnceAndReplacedAfterwards) {
  const std::string layout =
      "object Form1: TForm1\n"
      "  Caption = 'Maruk'\n"
      "  object sSkinManager1: TsSkinManager\n"
      "    Active = True\n"
      "    SkinDirectory = 'c:\\Skins'\n"
      "    SkinName = 'BlueGlass (internal)'\n"
      "  end\n"
      "end\n";
  TSection form;
  form.SectionName = "FORM";
  form.Name = "it's";
  const std::string once = ReplaceSkinBlock(layout, {form}, {});
  const std::vector<std::string> lines = Lines(once);
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[3], "    Active = True");
  EXPECT_EQ(lines[4], "    // skin begin");
  EXPECT_EQ(lines[5], "    InternalSkins = <");
  EXPECT_EQ(lines[6], "      item");
  EXPECT_EQ(lines[7], "        Name = 'BlueGlass (internal)'");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "            Name = 'it''s'"), lines.end());
  EXPECT_EQ(lines[lines.size() - 5], "    // skin end");
  EXPECT_EQ(lines[lines.size() - 4], "    SkinDirectory = 'c:\\Skins'");
  EXPECT_EQ(lines.back(), "end");

  // A second run finds its own block and writes the same text.
  EXPECT_EQ(ReplaceSkinBlock(once, {form}, {}), once);
  TSection other = form;
  other.Name = "";
  const std::string replaced = ReplaceSkinBlock(once, {other}, {});
  EXPECT_EQ(replaced.find("it''s"), std::string::npos);
  EXPECT_EQ(ReplaceSkinBlock(replaced, {form}, {}), once);
}

TEST(StoredLayout, LayoutsWithoutAPlaceForTheSkinAreRefused) {
  EXPECT_EQ(ErrorOf([] { ReplaceSkinBlock("object Form1: TForm1\nend\n", {}, {}); }), "the layout has no sSkinManager1 object");
  EXPECT_EQ(ErrorOf([] { ReplaceSkinBlock("object sSkinManager1: TsSkinManager\n  SkinName = 'x'\nend\n", {}, {}); }),
            "the skin manager of the layout has no SkinDirectory line");
  EXPECT_EQ(ErrorOf([] { ReplaceSkinBlock("object sSkinManager1: TsSkinManager\n  // skin begin\n  SkinDirectory = ''\nend\n", {}, {}); }),
            "'// skin begin' without '// skin end' in the layout");
}

TEST(StoredLayout, NothingIsWrittenWhenTheLayoutHasNoPlaceForTheSkin) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("skin-art-test-" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root);
  const std::vector<TSection> sections = BlueGlassSections();
  const std::vector<TMask> masks = Masks(BlueGlassColours());
  EXPECT_THROW(WriteStoredSkin(root.string(), sections, masks), std::exception);  // no layout at all
  EXPECT_FALSE(fs::exists(root / "assets"));

  fs::create_directories(root / "assets");
  std::ofstream(root / "assets" / "Maruk_rom.layout") << "object Form1: TForm1\nend\n";
  EXPECT_THROW(WriteStoredSkin(root.string(), sections, masks), std::runtime_error);
  EXPECT_FALSE(fs::exists(root / "assets" / "skin"));
  fs::remove_all(root);
}

TEST(SkinTables, TheInternalTablesPassAndBrokenOnesAreNamed) {
  const std::vector<TSection> sections = BlueGlassSections();
  const std::vector<TMask> masks = Masks(BlueGlassColours());
  EXPECT_NO_THROW(CheckTables(sections, masks));
  ASSERT_EQ(masks[0].Property, "BOXCHECKED");
  ASSERT_EQ(masks[9].Property, "BICONNORM");

  std::vector<TMask> broken = masks;
  broken[0].R = {98, 154, 146, 190};
  EXPECT_EQ(ErrorOf([&] { CheckTables(sections, broken); }), "masks overlap: GLOBALINFO BOXCHECKED and GLOBALINFO BOXUNCHECKED");
  broken = masks;
  broken[0].R = {290, 154, 338, 190};
  EXPECT_EQ(ErrorOf([&] { CheckTables(sections, broken); }), "mask outside its picture: GLOBALINFO BOXCHECKED");
  broken = masks;
  broken[9].R = {255, 96, 300, 110};
  EXPECT_EQ(ErrorOf([&] { CheckTables(sections, broken); }), "nothing draws the area of GLOBALINFO BICONNORM");
  broken = masks;
  broken[0].Section = "NOSUCH";
  EXPECT_EQ(ErrorOf([&] { CheckTables(sections, broken); }), "mask of an unknown section: NOSUCH");
  broken = masks;
  broken[0].ImageCount = 0;
  EXPECT_EQ(ErrorOf([&] { CheckTables(sections, broken); }), "mask with a bad count or type: GLOBALINFO BOXCHECKED");
  broken = masks;
  broken.pop_back();
  EXPECT_EQ(ErrorOf([&] { CheckTables(sections, broken); }), "93 masks expected, 92 found");
}
