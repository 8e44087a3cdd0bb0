#pragma once
// The program's command line: `Maruk_ROM_viewer [--scale N] [FILE]`, with --help, --version and
// --check-skin DIR.
#include <string>
#include <vector>

enum TCommandAction { clRun, clHelp, clVersion, clCheckSkin, clUsageError };

struct TCommandLine {
  static constexpr int kMaxScale = 8;

  TCommandAction Action = clRun;
  std::string File;  // the ROM to open at start; empty for none
  std::string SkinFolder;  // the folder to check, for clCheckSkin
  int Scale = 1;     // from --scale, else from MARUK_SCALE, else 1
  std::string Error;                  // what was wrong, for clUsageError
  std::vector<std::string> Warnings;  // things ignored on the way (a bad MARUK_SCALE)

  // `args` without the program name; `scaleVariable` is the value of MARUK_SCALE (nullptr when
  // unset). Options and the file may come in any order; "--" ends the options.
  static TCommandLine Parse(const std::vector<std::string>& args, const char* scaleVariable);

  static std::string UsageLine();
  static std::string HelpText();
  static std::string VersionText();
};
