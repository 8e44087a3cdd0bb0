#pragma once
// The program's command line:
//   Maruk_ROM_viewer [--scale N] [FILE]                 the window, FILE opened at start
//   Maruk_ROM_viewer --export OUT.png [--position N] [--hex] [--d4-sync] [--skin NAME]
//                    [--scale N] FILE                   the window as a picture, no display
//   Maruk_ROM_viewer --check-skin DIR                   the skin folder's problems
// with --help and --version.
#include <string>
#include <vector>

enum TCommandAction { clRun, clHelp, clVersion, clCheckSkin, clUsageError, clExport };

struct TCommandLine {
  static constexpr int kMaxScale = 8;
  static constexpr int kMaxPosition = 2048;

  TCommandAction Action = clRun;
  std::string File;  // the ROM to open at start; empty for none
  std::string SkinFolder;  // the folder to check, for clCheckSkin
  int Scale = 1;     // from --scale, else (not for --export) from MARUK_SCALE, else 1
  std::string Error;                  // what was wrong, for clUsageError
  std::vector<std::string> Warnings;  // things ignored on the way (a bad MARUK_SCALE)
  // For --export: the picture to write and the window's state in it.
  std::string ExportTo;
  int Position = 0;     // the view's first address, as the up-down controls set it
  bool Hex = false;     // "Hex view" checked
  bool D4Sync = false;  // "D4 used as sync" checked
  std::string Skin;     // empty: the stored skin

  // `args` without the program name; `scaleVariable` is the value of MARUK_SCALE (nullptr when
  // unset). Options and the file may come in any order; "--" ends the options.
  static TCommandLine Parse(const std::vector<std::string>& args, const char* scaleVariable);

  static std::string UsageLine();
  static std::string HelpText();
  static std::string VersionText();
};
