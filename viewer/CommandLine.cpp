#include "viewer/CommandLine.h"

#ifndef MARUK_VERSION
#define MARUK_VERSION "0"
#endif

namespace {

// A whole number from `min` to `max` in decimal (or hexadecimal after "0x" when `hexToo`),
// nothing else (no sign, no blanks, no trailing letters).
bool ParseNumber(const std::string& text, int min, int max, bool hexToo, int& result) {
  std::string digits = text;
  int base = 10;
  if (hexToo && digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits = digits.substr(2);
    base = 16;
  }
  if (digits.empty() || digits.size() > 8) return false;
  long value = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    value = value * base + d;
  }
  if (value < min || value > max) return false;
  result = int(value);
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
  bool scaleGiven = false, optionsEnded = false, fileGiven = false, exporting = false;
  std::string exportOnly;  // the first option that only --export takes
  const std::string scaleRange = "a whole number from 1 to " + std::to_string(kMaxScale);
  const std::string positionRange = "a whole number from 0 to " + std::to_string(kMaxPosition);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!option) {
      if (fileGiven) return Fail("more than one file given ('" + result.File + "' and '" + arg + "')");
      result.File = arg;
      fileGiven = true;
      continue;
    }
    // "--name value" or "--name=value".
    const size_t equals = arg.find('=');
    const std::string name = arg.rfind("--", 0) == 0 && equals != std::string::npos ? arg.substr(0, equals) : arg;
    auto value = [&](std::string& out) {
      if (name != arg) {
        out = arg.substr(equals + 1);
        return true;
      }
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      result.Action = clHelp;
      return result;
    } else if (arg == "--version") {
      result.Action = clVersion;
      return result;
    } else if (name == "--check-skin") {
      // The folder is taken as it is, even one that looks like an option.
      if (!value(v) || v.empty()) return Fail("option '--check-skin' needs a skin folder");
      result.SkinFolder = v;
      result.Action = clCheckSkin;
    } else if (name == "--scale" || name == "--export" || name == "--position" || name == "--skin") {
      if (!value(v)) return Fail("option '" + name + "' needs a value");
      if (name == "--scale") {
        if (!ParseNumber(v, 1, kMaxScale, false, result.Scale)) return Fail("invalid scale '" + v + "' (" + scaleRange + ")");
        scaleGiven = true;
      } else if (name == "--export") {
        if (v.empty()) return Fail("option '--export' needs a file name");
        result.ExportTo = v;
        exporting = true;
      } else if (name == "--position") {
        if (!ParseNumber(v, 0, kMaxPosition, true, result.Position))
          return Fail("invalid position '" + v + "' (" + positionRange + ", or hexadecimal after 0x)");
        if (exportOnly.empty()) exportOnly = name;
      } else {
        if (v.empty()) return Fail("option '--skin' needs a skin's name");
        result.Skin = v;
        if (exportOnly.empty()) exportOnly = name;
      }
    } else if (arg == "--hex" || arg == "--d4-sync") {
      (arg == "--hex" ? result.Hex : result.D4Sync) = true;
      if (exportOnly.empty()) exportOnly = arg;
    } else {
      return Fail("unknown option '" + arg + "'");
    }
  }
  if (result.Action == clCheckSkin) {
    if (exporting) return Fail("--check-skin and --export go each alone");
    if (fileGiven) return Fail("--check-skin takes no ROM file ('" + result.File + "' given)");
  }
  if (!exporting && !exportOnly.empty()) return Fail("option '" + exportOnly + "' goes with --export");
  if (exporting) {
    if (!fileGiven) return Fail("--export needs the ROM FILE to show");
    result.Action = clExport;
    // A picture for notes or scripts comes out the same whatever the screen's setting.
    if (!scaleGiven) result.Scale = 1;
    return result;
  }
  if (!scaleGiven && scaleVariable && *scaleVariable && !ParseNumber(scaleVariable, 1, kMaxScale, false, result.Scale))
    result.Warnings.push_back("ignoring MARUK_SCALE='" + std::string(scaleVariable) + "' (" + scaleRange + ")");
  return result;
}

std::string TCommandLine::UsageLine() {
  return "Usage: Maruk_ROM_viewer [--scale N] [--help] [--version] [FILE]\n"
         "       Maruk_ROM_viewer --export OUT.png [--position N] [--hex] [--d4-sync] [--skin NAME] [--scale N] FILE\n"
         "       Maruk_ROM_viewer --check-skin DIR";
}

std::string TCommandLine::HelpText() {
  return "Usage: Maruk_ROM_viewer [OPTION]... [FILE]\n"
         "       Maruk_ROM_viewer --export OUT.png [EXPORT OPTION]... FILE\n"
         "Shows a dump of the Maruk computer's timing ROM as eight logic-analyser waveforms;\n"
         "rest the pointer on them for the address, byte and level under it.\n"
         "\n"
         "  FILE           open this ROM dump at start, as if chosen with \"Open ROM\"; the\n"
         "                 window follows the file when another program rewrites it\n"
         "  --scale N      show the window N times larger (1 to " + std::to_string(kMaxScale) + ")\n"
         "  --check-skin DIR\n"
         "                 check the skin folder DIR as loading it would, print every problem\n"
         "                 as FILE:LINE: [SECTION] KEY: what is wrong (what was expected), and\n"
         "                 exit: 0 the skin loads, 1 it would be refused, 2 bad usage\n"
         "  --help         print this help and exit\n"
         "  --version      print the version and exit\n"
         "\n"
         "Export: writes the window, as it looks with FILE shown, to a PNG picture and exits;\n"
         "no display is needed.\n"
         "  --export OUT.png  the picture to write\n"
         "  --position N   the view's first address, 0 to " + std::to_string(kMaxPosition) +
         " (0x... for hexadecimal; default 0)\n"
         "  --hex          with \"Hex view\" checked\n"
         "  --d4-sync      with \"D4 used as sync\" checked\n"
         "  --skin NAME    in this skin (default: the program's own skin)\n"
         "  --scale N      N times larger (1 to " + std::to_string(kMaxScale) + "; default 1)\n"
         "Exit status 1 when FILE cannot be read (the message on standard error), 2 for a\n"
         "command line that cannot be understood.\n"
         "\n"
         "Environment:\n"
         "  MARUK_SCALE    the scale factor of the window when --scale is not given (default 1)\n"
         "  DISPLAY        the X display to show the window on\n";
}

std::string TCommandLine::VersionText() { return std::string("Maruk_ROM_viewer ") + MARUK_VERSION + "\n"; }
