#include <gtest/gtest.h>

#include "skin/data/sSkinText.h"

namespace {

TEST(SkinText, WordsIgnoreRunsOfSeparators) {
  EXPECT_EQ(CountWords("  a  bc d ", " "), 3);
  EXPECT_EQ(CountWords("", " "), 0);
  EXPECT_EQ(CountWords(";;;", ";"), 0);
  EXPECT_EQ(WordStart(2, "  a  bc d ", " "), 6);
  EXPECT_EQ(WordStart(4, "  a  bc d ", " "), 0);
  EXPECT_EQ(NthWord(2, "#(243,190,286,220)(3,1,1,1)", " ()"), "243,190,286,220");
  EXPECT_EQ(NthWord(3, "#(243,190,286,220)(3,1,1,1)", " ()"), "3,1,1,1");
  EXPECT_EQ(NthWord(9, "a b", " "), "");
  EXPECT_EQ(RemoveChar("a b c ", ' '), "abc");
}

TEST(SkinText, FontColorTakesExactlyFiveWords) {
  TsFontColors c = ParseFontColor("0 16765070 -1 -1 -1");
  EXPECT_EQ(c.Text, 0);
  EXPECT_EQ(c.Left, 16765070);
  EXPECT_EQ(c.Top, -1);
  EXPECT_EQ(c.Right, -1);
  EXPECT_EQ(c.Bottom, -1);
  c = ParseFontColor("16380390 4072704 4072704 -1 -1");
  EXPECT_EQ(c.Text, 16380390);
  EXPECT_EQ(c.Top, 4072704);
  for (const char* odd : {"0 -1 -1 -1", "", " ", "1 2 3 4 5 6"}) {
    c = ParseFontColor("7 7 7 7");  // any shape but five words
    c = ParseFontColor(odd);
    EXPECT_EQ(c.Text, 0) << odd;
    EXPECT_EQ(c.Left, -1) << odd;
    EXPECT_EQ(c.Bottom, -1) << odd;
  }
  EXPECT_THROW(ParseFontColor("0 x -1 -1 -1"), std::invalid_argument);
}

TEST(SkinText, GradientDataGroupsOfFive) {
  EXPECT_TRUE(ParseGradientData(" ").empty());
  EXPECT_TRUE(ParseGradientData("").empty());
  const TsGradArray two = ParseGradientData("10383683;9330438;99;0;0;9330438;9330438;0;0;0");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].Color1, 10383683);
  EXPECT_EQ(two[0].Color2, 9330438);
  EXPECT_EQ(two[0].Percent, 99);
  EXPECT_EQ(two[1].Percent, 0);
  EXPECT_EQ(ParseGradientData("14927761;11240540;86;0;0;11240540;14329180;13;0;0;14329180;14329180;0;0;0").size(), 3u);
  // Seven numbers make one piece; the rest is ignored.
  const TsGradArray one = ParseGradientData("1;2;3;4;5;6;7");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].Mode, 4);
  EXPECT_EQ(one[0].Reserved, 0);
  EXPECT_EQ(ParseGradientData("1;2;150;1;0")[0].Percent, 100);
  EXPECT_THROW(ParseGradientData("1;2;x;1;0"), std::invalid_argument);
  EXPECT_THROW(ParseGradientData("1;2.5;3;1;0"), std::invalid_argument);
  // Runs of separators delimit nothing, wherever they are.
  const TsGradArray spaced = ParseGradientData(";;1;;2;3;4;;5;;;");
  ASSERT_EQ(spaced.size(), 1u);
  EXPECT_EQ(spaced[0], (TsGradPiece{1, 2, 3, 4, 0}));
}

TEST(SkinText, AFailedParseKeepsWhatCameBeforeTheBadWord) {
  TColor text = 99, left = 99, top = 99, right = 99, bottom = 99;
  EXPECT_THROW(ParseFontColor("5 x -1 -1 -1", text, left, top, right, bottom), std::invalid_argument);
  EXPECT_EQ(text, 5);
  EXPECT_EQ(left, -1);  // not read: the empty value
  EXPECT_EQ(bottom, -1);
  EXPECT_THROW(ParseFontColor("1 2 3 4 y", text, left, top, right, bottom), std::invalid_argument);
  EXPECT_EQ(right, 4);
  EXPECT_EQ(bottom, -1);

  TsGradArray pieces{{9, 9, 9, 9, 9}};
  EXPECT_THROW(ParseGradientData("1;2;3;4;5;6;x;8;9;10", pieces), std::invalid_argument);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0], (TsGradPiece{1, 2, 3, 4, 0}));
  EXPECT_THROW(ParseGradientData("x;2;3;4;5", pieces), std::invalid_argument);
  EXPECT_TRUE(pieces.empty());
}

TEST(SkinText, LongGradientsAreReadPieceByPiece) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += std::to_string(i) + ";" + std::to_string(i + 1) + ";50;1;0;";
  const TsGradArray pieces = ParseGradientData(text);
  ASSERT_EQ(pieces.size(), 20000u);
  EXPECT_EQ(pieces[19999], (TsGradPiece{19999, 20000, 50, 1, 0}));
  EXPECT_EQ(SplitWords(" a  b c ", " "), (std::vector<std::string>{"a", "b", "c"}));
}

}  // namespace
