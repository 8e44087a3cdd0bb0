// The program started as a user starts it from a shell: its options, and what it does without
// a display.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/ChildProcess.h"

namespace {

using namespace std::chrono_literals;

struct TRun {
  int ExitCode = -1;
  std::string Output, Errors;
};

TRun RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& unset = {}) {
  std::vector<std::string> argv = {MARUK_VIEWER_EXE};
  argv.insert(argv.end(), args.begin(), args.end());
  TChildProcess program(argv, {}, unset, true);
  TRun run;
  if (!program.Started() || !program.WaitFor(20s)) return run;
  run.ExitCode = program.ExitCode();
  run.Output = program.Output();
  run.Errors = program.Errors();
  return run;
}

TEST(ProgramCommandLine, HelpAndVersionGoToStandardOutputAndSucceed) {
  const TRun help = RunProgram({"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_EQ(help.Output.rfind("Usage: Maruk_ROM_viewer [OPTION]... [FILE]\n", 0), 0u) << help.Output;
  EXPECT_EQ(help.Errors, "");
  const TRun version = RunProgram({"--version"});
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_EQ(version.Output.rfind("Maruk_ROM_viewer ", 0), 0u) << version.Output;
  EXPECT_EQ(version.Errors, "");
}

TEST(ProgramCommandLine, AnUnknownOptionIsAUsageErrorOnStandardError) {
  const TRun run = RunProgram({"--frobnicate", "dump.rom"});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_EQ(run.Output, "");
  EXPECT_EQ(run.Errors,
            "Maruk_ROM_viewer: unknown option '--frobnicate'\n"
            "Usage: Maruk_ROM_viewer [--scale N] [--help] [--version] [FILE]\n"
            "       Maruk_ROM_viewer --export OUT.png [--position N] [--hex] [--d4-sync] [--skin NAME] [--scale N] FILE\n"
            "       Maruk_ROM_viewer --check-skin DIR\n");
}

TEST(ProgramCommandLine, WithoutADisplayItSaysSoAndFails) {
  // Nothing names a display.
  const TRun run = RunProgram({}, {"DISPLAY"});
  EXPECT_EQ(run.ExitCode, 1) << "still running or killed: " << run.Errors;
  EXPECT_EQ(run.Errors, "Maruk_ROM_viewer: cannot open the display (is DISPLAY set?)\n");
}

TEST(ProgramCommandLine, ADisplayThatCannotBeReachedFailsToo) {
  std::vector<std::string> argv = {MARUK_VIEWER_EXE};
  // A display number with no server behind it.
  TChildProcess program(argv, {{"DISPLAY", ":49999"}}, {}, true);
  ASSERT_TRUE(program.WaitFor(20s)) << "still running without a display";
  EXPECT_EQ(program.ExitCode(), 1);
  EXPECT_EQ(program.Errors().rfind("Maruk_ROM_viewer: cannot open the display :49999", 0), 0u) << program.Errors();
}

// A skin author at a terminal without any display: the checker prints each problem of the
// folder and tells by its exit status whether the skin would load.
TEST(ProgramCommandLine, CheckSkinReportsEveryProblemWithoutADisplay) {
  const std::vector<std::string> noDisplay = {"DISPLAY"};
  char pattern[] = "/tmp/check-skin-test-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  std::ofstream(folder + "/options.dat") << "[BUTTON]\n"
                                            "COLOR=red\n"
                                            "BORDERSMASK=@00z0 0000 0010 0010 1 0\n"
                                            "GLYPHMASK=@0000 0y00 0010 0010 1 0\n";
  const TRun broken = RunProgram({"--check-skin", folder}, noDisplay);
  EXPECT_EQ(broken.ExitCode, 1);
  const std::string file = folder + "/options.dat";
  EXPECT_EQ(broken.Output,
            file + ":2: warning: [BUTTON] COLOR: \"red\" is not a number; the value is taken from PARENTCLASS or the "
                   "default (a whole number, decimal or hexadecimal after 0x or $)\n" +
                file + ":3: [BUTTON] BORDERSMASK: columns 2-5 (\"00z0\") must be a number (the left edge in columns "
                       "2-5 of @LLLL TTTT RRRR BBBB N M)\n" +
                file + ":4: [BUTTON] GLYPHMASK: columns 7-10 (\"0y00\") must be a number (the top edge in columns "
                       "7-10 of @LLLL TTTT RRRR BBBB N M)\n" +
                folder + ": 2 errors, 1 warning: the skin would be refused\n");
  EXPECT_EQ(broken.Errors, "");

  std::ofstream(folder + "/options.dat") << "[BUTTON]\nCOLOR=0x00FF00\n";
  const TRun good = RunProgram({"--check-skin=" + folder}, noDisplay);
  EXPECT_EQ(good.ExitCode, 0);
  EXPECT_EQ(good.Output, folder + ": 0 errors, 0 warnings: the skin loads\n");
  std::filesystem::remove_all(folder);

  const TRun missing = RunProgram({"--check-skin", folder}, noDisplay);
  EXPECT_EQ(missing.ExitCode, 2);
  EXPECT_EQ(missing.Output, "");
  EXPECT_EQ(missing.Errors, "Maruk_ROM_viewer: --check-skin: '" + folder + "' is not a folder\n");
  const TRun bare = RunProgram({"--check-skin"}, noDisplay);
  EXPECT_EQ(bare.ExitCode, 2);
  EXPECT_EQ(bare.Errors.rfind("Maruk_ROM_viewer: option '--check-skin' needs a skin folder\n", 0), 0u) << bare.Errors;
}

}  // namespace
