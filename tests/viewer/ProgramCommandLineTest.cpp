// The program started as a user starts it from a shell: its options, and what it does without
// a display.
#include <gtest/gtest.h>

#include <chrono>

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
            "       Maruk_ROM_viewer --export OUT.png [--position N] [--hex] [--d4-sync] [--skin NAME] [--scale N] FILE\n");
}

TEST(ProgramCommandLine, WithoutADisplayItSaysSoAndFails) {
  // Nothing names a display: no X server, no Wayland compositor, no driver chosen by hand.
  const TRun run = RunProgram({}, {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "SDL_VIDEODRIVER"});
  EXPECT_EQ(run.ExitCode, 1) << "still running or killed: " << run.Errors;
  EXPECT_EQ(run.Errors, "Maruk_ROM_viewer: cannot open the display (is DISPLAY set?)\n");
}

TEST(ProgramCommandLine, ADisplayThatCannotBeReachedFailsToo) {
  std::vector<std::string> argv = {MARUK_VIEWER_EXE};
  // A display number with no server behind it.
  TChildProcess program(argv, {{"DISPLAY", ":49999"}}, {"WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "SDL_VIDEODRIVER"}, true);
  ASSERT_TRUE(program.WaitFor(20s)) << "still running without a display";
  EXPECT_EQ(program.ExitCode(), 1);
  EXPECT_EQ(program.Errors().rfind("Maruk_ROM_viewer: cannot open the display :49999", 0), 0u) << program.Errors();
}

}  // namespace
