#include "viewer/CommandLine.h"

#ifndef MARUK_VERSION
#define MARUK_VERSION "0"
#endif

namespace {

// A whole number from 1 to kMaxScale, nothing else (no sign, no blanks, no trailing "x").
bool ParseScale(const std::string& text, int& scale) {
  if (text.empty() || text.size() > 2) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > TCommandLine::kMaxScale) return false;
  scale = value;
  return true;
}

TCommandLine Fail(std::string error) {
  TCommandLine result;
  result.Action = clUsageError;
  result.Error = std::move(error);
  return result;
}

}  // namespace

TCommandLine TCommandLine::Parse(const std::vector<std::string>& args, const char* scaleVariable) {
  TCommandLine result;
  bool scaleGiven = false, optionsEnded = false, fileGiven = false;
  const std::string range = "a whole number from 1 to " + std::to_string(kMaxScale);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!option) {
      if (fileGiven) return Fail("more than one file given ('" + result.File + "' and '" + arg + "')");
      result.File = arg;
      fileGiven = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      result.Action = clHelp;
      return result;
    } else if (arg == "--version") {
      result.Action = clVersion;
      return result;
    } else if (arg == "--check-skin" || arg.rfind("--check-skin=", 0) == 0) {
      if (arg == "--check-skin") {
        if (i + 1 >= args.size()) return Fail("option '--check-skin' needs a skin folder");
        result.SkinFolder = args[++i];
      } else {
        result.SkinFolder = arg.substr(13);
      }
      if (result.SkinFolder.empty()) return Fail("option '--check-skin' needs a skin folder");
      result.Action = clCheckSkin;
    } else if (arg == "--scale" || arg.rfind("--scale=", 0) == 0) {
      std::string value;
      if (arg == "--scale") {
        if (i + 1 >= args.size()) return Fail("option '--scale' needs a value");
        value = args[++i];
      } else {
        value = arg.substr(8);
      }
      if (!ParseScale(value, result.Scale)) return Fail("invalid scale '" + value + "' (" + range + ")");
      scaleGiven = true;
    } else {
      return Fail("unknown option '" + arg + "'");
    }
  }
  if (result.Action == clCheckSkin && fileGiven)
    return Fail("--check-skin takes no ROM file ('" + result.File + "' given)");
  if (!scaleGiven && scaleVariable && *scaleVariable && !ParseScale(scaleVariable, result.Scale))
    result.Warnings.push_back("ignoring MARUK_SCALE='" + std::string(scaleVariable) + "' (" + range + ")");
  return result;
}

std::string TCommandLine::UsageLine() { return "Usage: Maruk_ROM_viewer [--scale N] [--help] [--version] [FILE]"; }

std::string TCommandLine::HelpText() {
  return "Usage: Maruk_ROM_viewer [OPTION]... [FILE]\n"
         "Shows a dump of the Maruk computer's timing ROM as eight logic-analyser waveforms.\n"
         "\n"
         "  FILE         open this ROM dump at start, as if chosen with \"Open ROM\"\n"
         "  --scale N    show the window N times larger (1 to " + std::to_string(kMaxScale) + ")\n"
         "  --check-skin DIR\n"
         "               check the skin folder DIR as loading it would, print every problem\n"
         "               as FILE:LINE: [SECTION] KEY: what is wrong (what was expected), and\n"
         "               exit: 0 the skin loads, 1 it would be refused, 2 bad usage\n"
         "  --help       print this help and exit\n"
         "  --version    print the version and exit\n"
         "\n"
         "Environment:\n"
         "  MARUK_SCALE  the scale factor when --scale is not given (default 1)\n"
         "  DISPLAY      the X display to show the window on\n";
}

std::string TCommandLine::VersionText() { return std::string("Maruk_ROM_viewer ") + MARUK_VERSION + "\n"; }
