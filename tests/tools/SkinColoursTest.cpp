// The skins' colour tables and the maps that turn the internal skin's colours into a shipped
// skin's.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/skinart/BlueGlass.h"
#include "tools/skinart/FolderSkin.h"
#include "tools/skinart/SkinColours.h"

using namespace SkinArt;

namespace {

std::string FromTableError(const std::vector<TSkinColours::TInkEntry>& inks, const std::vector<TSkinColours::TLookEntry>& looks) {
  try {
    TSkinColours::FromTable(inks, looks);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

std::vector<TSkinColours::TInkEntry> AllInks() {
  std::vector<TSkinColours::TInkEntry> inks;
  for (int i = 0; i < ikCount; ++i) inks.push_back({TInk(i), Rgb(i, 0, 0)});
  return inks;
}

}  // namespace

TEST(SkinColours, TableNamesEveryColourAndLookExactlyOnce) {
  EXPECT_EQ(FromTableError({{ikWhite, kWhite}}, {}), "colour 1 is missing");
  EXPECT_EQ(FromTableError({{ikWhite, kWhite}, {ikWhite, kWhite}}, {}), "colour 0 is given twice");
  EXPECT_EQ(FromTableError(AllInks(), {{lkButton, {}}}), "glass look 1 is missing");
  std::vector<TSkinColours::TLookEntry> looks;
  for (int i = 0; i < lkCount; ++i) looks.push_back({TLook(i), {}});
  looks[3].first = lkButton;
  EXPECT_EQ(FromTableError(AllInks(), looks), "glass look 0 is given twice");

  looks[3].first = TLook(3);
  const TSkinColours c = TSkinColours::FromTable(AllInks(), looks);
  EXPECT_EQ(c[ikGripDot].R, float(ikGripDot));
  EXPECT_NO_THROW(BlueGlassColours());
}

TEST(SkinColours, ByStatePicksNormalHotAndPressed) {
  const TSkinColours c = BlueGlassColours();
  EXPECT_EQ(ToColorRef(c.ByState(0, ikArrow, ikArrowHot, ikArrowPressed)), RGB(0x2A, 0x4C, 0x74));
  EXPECT_EQ(ToColorRef(c.ByState(1, ikArrow, ikArrowHot, ikArrowPressed)), RGB(0x16, 0x5E, 0xB4));
  EXPECT_EQ(ToColorRef(c.ByState(2, ikArrow, ikArrowHot, ikArrowPressed)), RGB(0x10, 0x2C, 0x50));
}

// A shipped skin's colours are the internal skin's mapped once each: mapping twice would
// shift every colour of its pictures.
TEST(SkinColours, MappedTakesEveryColourThroughTheMapOnceAndScalesTheShine) {
  int calls = 0;
  const TSkinColours inverted = BlueGlassColours().Mapped(
      [&](TRgb c) {
        ++calls;
        return TRgb{255 - c.R, 255 - c.G, 255 - c.B};
      },
      2.0f);
  EXPECT_EQ(calls, int(ikCount) + 5 * int(lkCount));
  EXPECT_EQ(ToColorRef(inverted[ikWhite]), RGB(0, 0, 0));
  EXPECT_EQ(ToColorRef(inverted[ikArrow]), RGB(0xD5, 0xB3, 0x8B));
  EXPECT_EQ(ToColorRef(inverted[lkButton].Outline), RGB(0xC3, 0x91, 0x59));
  EXPECT_EQ(ToColorRef(inverted[lkButton].Glow), RGB(0x2D, 0x13, 0x00));
  EXPECT_FLOAT_EQ(inverted[lkButton].Shine, 1.0f);  // 0.7 x 2, at most 1
  EXPECT_FLOAT_EQ(inverted[lkButtonPressed].Shine, 0.4f);
  EXPECT_TRUE(inverted[lkButtonPressed].Sunken);
  EXPECT_FALSE(inverted[lkButtonHot].Sunken);
}

TEST(FolderSkins, ColoursFallIntoBluesAccentsAndOthers) {
  const TColourMap map = ByTone([](const THsl&) { return Rgb(1, 0, 0); }, [](const THsl&) { return Rgb(2, 0, 0); },
                                [](const THsl&) { return Rgb(3, 0, 0); });
  EXPECT_EQ(map(Rgb(0x86, 0xA6, 0xC8)).R, 1);  // a frame blue: hue 211, saturation 0.37
  EXPECT_EQ(map(Rgb(0xD6, 0xEC, 0xFF)).R, 1);  // fully saturated but light (lightness 0.92)
  EXPECT_EQ(map(Rgb(0x14, 0x56, 0xA8)).R, 2);  // a check mark: saturation 0.79, lightness 0.37
  EXPECT_EQ(map(Rgb(0xDE, 0x5A, 0x44)).R, 3);  // the red of a hot close button: hue 9
  EXPECT_EQ(map(Rgb(0x80, 0x80, 0x80)).R, 3);  // grey

  const TColourMap byLight = ByLightness([](const THsl&) { return Rgb(1, 0, 0); }, [](const THsl&) { return Rgb(2, 0, 0); });
  EXPECT_EQ(byLight(Rgb(0x7F, 0x7F, 0x7F)).R, 1);
  EXPECT_EQ(byLight(Rgb(0x80, 0x80, 0x80)).R, 2);
}

TEST(FolderSkins, GraphiteKeepsWhiteLightAndTurnsAccentsOrange) {
  const TFolderSkin graphite = GraphiteSkin();
  // White: hue 212, saturation 0.04, lightness 0.86 -> 217.9, 219.2, 220.7.
  EXPECT_EQ(ToColorRef(graphite.Map(kWhite)), RGB(218, 219, 221));
  // An accent turns orange: red above green above blue.
  const TRgb accent = graphite.Map(Rgb(0x14, 0x56, 0xA8));
  EXPECT_GT(accent.R, accent.G);
  EXPECT_GT(accent.G, accent.B);
  EXPECT_EQ(ToColorRef(graphite.Contour(kWhite)), RGB(0x14, 0x16, 0x19));
  EXPECT_FLOAT_EQ(graphite.Colours()[lkButtonHot].Shine, 0.85f * 0.45f);
}
