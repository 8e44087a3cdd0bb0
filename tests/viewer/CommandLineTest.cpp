#include <gtest/gtest.h>

#include "viewer/CommandLine.h"

namespace {

TCommandLine Parse(std::vector<std::string> args, const char* scale = nullptr) { return TCommandLine::Parse(args, scale); }

TEST(CommandLine, NoArgumentsRunsWithoutAFileAtScaleOne) {
  const TCommandLine c = Parse({});
  EXPECT_EQ(c.Action, clRun);
  EXPECT_EQ(c.File, "");
  EXPECT_EQ(c.Scale, 1);
  EXPECT_TRUE(c.Warnings.empty());
}

TEST(CommandLine, TheFileMayStandBeforeOrAfterTheOptions) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"dump.rom", "--scale", "2"},
                                                                {"--scale", "2", "dump.rom"},
                                                                {"--scale=2", "dump.rom"}}) {
    const TCommandLine c = Parse(args);
    EXPECT_EQ(c.Action, clRun) << args[0];
    EXPECT_EQ(c.File, "dump.rom") << args[0];
    EXPECT_EQ(c.Scale, 2) << args[0];
  }
}

TEST(CommandLine, AfterADoubleDashADashedNameIsAFile) {
  const TCommandLine c = Parse({"--", "--scale"});
  EXPECT_EQ(c.Action, clRun);
  EXPECT_EQ(c.File, "--scale");
  EXPECT_EQ(Parse({"-"}).File, "-");  // a lone dash is a name, not an option
}

TEST(CommandLine, HelpAndVersionWinOverWhatFollows) {
  EXPECT_EQ(Parse({"--help"}).Action, clHelp);
  EXPECT_EQ(Parse({"-h"}).Action, clHelp);
  EXPECT_EQ(Parse({"dump.rom", "--help", "--bogus"}).Action, clHelp);
  EXPECT_EQ(Parse({"--version", "--bogus"}).Action, clVersion);
  EXPECT_EQ(TCommandLine::VersionText().rfind("Maruk_ROM_viewer ", 0), 0u);
  EXPECT_NE(TCommandLine::HelpText().find("--scale N"), std::string::npos);
}

TEST(CommandLine, MistakesAreUsageErrorsThatSayWhatWasWrong) {
  const struct {
    std::vector<std::string> Args;
    std::string Error;
  } cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-x", "dump.rom"}, "unknown option '-x'"},
      {{"--scale"}, "option '--scale' needs a value"},
      {{"--scale", "0"}, "invalid scale '0' (a whole number from 1 to 8)"},
      {{"--scale", "9"}, "invalid scale '9' (a whole number from 1 to 8)"},
      {{"--scale=2x"}, "invalid scale '2x' (a whole number from 1 to 8)"},
      {{"--scale", "-2"}, "invalid scale '-2' (a whole number from 1 to 8)"},
      {{"--scale="}, "invalid scale '' (a whole number from 1 to 8)"},
      {{"a.rom", "b.rom"}, "more than one file given ('a.rom' and 'b.rom')"},
  };
  for (const auto& c : cases) {
    const TCommandLine parsed = Parse(c.Args);
    EXPECT_EQ(parsed.Action, clUsageError) << c.Error;
    EXPECT_EQ(parsed.Error, c.Error);
  }
}

TEST(CommandLine, ExportTakesItsPictureTheWindowsStateAndAFile) {
  const TCommandLine c = Parse({"--export", "out.png", "--position", "0x80", "--hex", "--d4-sync", "--skin=Amber",
                                "--scale", "3", "dump.rom"});
  EXPECT_EQ(c.Action, clExport);
  EXPECT_EQ(c.ExportTo, "out.png");
  EXPECT_EQ(c.Position, 128);
  EXPECT_TRUE(c.Hex);
  EXPECT_TRUE(c.D4Sync);
  EXPECT_EQ(c.Skin, "Amber");
  EXPECT_EQ(c.Scale, 3);
  EXPECT_EQ(c.File, "dump.rom");
  const TCommandLine plain = Parse({"dump.rom", "--export=out.png"}, "4");
  EXPECT_EQ(plain.Action, clExport);
  EXPECT_EQ(plain.Position, 0);
  EXPECT_FALSE(plain.Hex || plain.D4Sync);
  EXPECT_EQ(plain.Skin, "");
  EXPECT_EQ(plain.Scale, 1) << "MARUK_SCALE is the screen's setting, not the picture's";
  EXPECT_EQ(Parse({"--export", "o.png", "--position", "2048", "r"}).Position, 2048);
}

TEST(CommandLine, ExportMistakesAreUsageErrors) {
  const struct {
    std::vector<std::string> Args;
    std::string Error;
  } cases[] = {
      {{"--export"}, "option '--export' needs a value"},
      {{"--export", "o.png"}, "--export needs the ROM FILE to show"},
      {{"--export", "o.png", "--position", "-1", "r"}, "invalid position '-1' (a whole number from 0 to 2048, or hexadecimal after 0x)"},
      {{"--export", "o.png", "--position", "0x801", "r"}, "invalid position '0x801' (a whole number from 0 to 2048, or hexadecimal after 0x)"},
      {{"--export", "o.png", "--position", "12a", "r"}, "invalid position '12a' (a whole number from 0 to 2048, or hexadecimal after 0x)"},
      {{"--export", "o.png", "--skin=", "r"}, "option '--skin' needs a skin's name"},
      {{"--position", "5", "r"}, "option '--position' goes with --export"},
      {{"--d4-sync", "r"}, "option '--d4-sync' goes with --export"},
      {{"--skin", "Amber", "r"}, "option '--skin' goes with --export"},
      {{"--hex=1", "r"}, "unknown option '--hex=1'"},
  };
  for (const auto& c : cases) {
    const TCommandLine parsed = Parse(c.Args);
    EXPECT_EQ(parsed.Action, clUsageError) << c.Error;
    EXPECT_EQ(parsed.Error, c.Error);
  }
  EXPECT_NE(TCommandLine::HelpText().find("--export OUT.png"), std::string::npos);
}

TEST(CommandLine, CheckSkinTakesOneFolderAndNoRom) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--check-skin", "my skin"}, {"--check-skin=my skin"}}) {
    const TCommandLine c = Parse(args);
    EXPECT_EQ(c.Action, clCheckSkin) << args[0];
    EXPECT_EQ(c.SkinFolder, "my skin") << args[0];
  }
  EXPECT_EQ(Parse({"--check-skin", "--scale"}).SkinFolder, "--scale");  // the folder may look like an option
  EXPECT_NE(TCommandLine::HelpText().find("--check-skin DIR"), std::string::npos);
  for (const auto& args : std::vector<std::vector<std::string>>{{"--check-skin"}, {"--check-skin="}})
    EXPECT_EQ(Parse(args).Error, "option '--check-skin' needs a skin folder");
  const TCommandLine both = Parse({"--check-skin", "Amber", "dump.rom"});
  EXPECT_EQ(both.Action, clUsageError);
  EXPECT_EQ(both.Error, "--check-skin takes no ROM file ('dump.rom' given)");
}

TEST(CommandLine, TheScaleVariableCountsOnlyWithoutTheOption) {
  EXPECT_EQ(Parse({}, "3").Scale, 3);
  EXPECT_EQ(Parse({"--scale", "2"}, "3").Scale, 2);
  EXPECT_EQ(Parse({}, "").Scale, 1);
  // A bad value is reported and left aside; it stops nothing.
  const TCommandLine bad = Parse({"dump.rom"}, "big");
  EXPECT_EQ(bad.Action, clRun);
  EXPECT_EQ(bad.Scale, 1);
  ASSERT_EQ(bad.Warnings.size(), 1u);
  EXPECT_EQ(bad.Warnings[0], "ignoring MARUK_SCALE='big' (a whole number from 1 to 8)");
  EXPECT_TRUE(Parse({"--scale", "2"}, "big").Warnings.empty());
}

}  // namespace
