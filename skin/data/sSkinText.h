#pragma once
// Small text functions of the skin readers: words separated by a set of characters, and the
// two packed formats of skin sections (font colours and gradients).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/Colors.h"

// A word is a maximal run of characters not in `separators`; separators at the start, at the
// end or in a row delimit no empty words.
int CountWords(const std::string& text, const std::string& separators);
// 1-based position of the first character of word n, 0 when there are fewer than n words.
int WordStart(int n, const std::string& text, const std::string& separators);
std::string NthWord(int n, const std::string& text, const std::string& separators);
std::string RemoveChar(const std::string& text, char c);
// A whole-text decimal integer (optional sign); false for anything else.
bool ParseDecimal(const std::string& text, int64_t& value);
// An integer of a skin's text files: leading and trailing blanks allowed, an optional sign,
// decimal digits or hexadecimal ones after "0x", "0X" or "$". Values up to 0xFFFFFFFF are
// taken as their 32-bit pattern (0xFF00000F is the system colour -16777201). False for
// anything else, including numbers that do not fit in 32 bits.
bool ParseSkinInteger(const std::string& text, int32_t& value);

// The text of CommonSections split into sections: a line "[NAME]" starts one, the lines
// after it belong to it, lines starting with ";" are comments, lines before the first
// section are ignored.
struct TsTextSection {
  std::string Name;
  std::vector<std::string> Lines;
};
std::vector<TsTextSection> SplitSections(const std::vector<std::string>& lines);
// The first section whose name equals `name` without regard to case; null if none.
const TsTextSection* FindTextSection(const std::vector<TsTextSection>& sections, const std::string& name);
// The value of the first line "KEY=value" whose key equals `key` without regard to case:
// everything after the equals sign. False when there is no such line.
bool ReadTextKey(const TsTextSection& section, const std::string& key, std::string& value);
std::string ReadTextString(const TsTextSection* section, const std::string& key, const std::string& fallback);
// The key as an integer (see ParseSkinInteger); `fallback` when absent or not a number.
int32_t ReadTextInteger(const TsTextSection* section, const std::string& key, int32_t fallback);

// One piece of a section's gradient.
struct TsGradPiece {
  TColor Color1 = 0;
  TColor Color2 = 0;
  uint8_t Percent = 0;  // 0 to 100
  int32_t Mode = 0;     // direction code
  int32_t Reserved = 0;
  friend bool operator==(const TsGradPiece&, const TsGradPiece&) = default;
};
using TsGradArray = std::vector<TsGradPiece>;

// The words of `text` between characters of `separators`, in order (see CountWords).
std::vector<std::string> SplitWords(const std::string& text, const std::string& separators);

// "c1;c2;percent;mode;x" groups; words left over are ignored; percent is clamped to 100.
// `out` receives the pieces one by one; a word of a piece that is not a decimal integer
// raises std::invalid_argument, leaving in `out` the whole pieces read before it.
void ParseGradientData(const std::string& text, TsGradArray& out);
TsGradArray ParseGradientData(const std::string& text);

// "text left top right bottom": the text colour and the four contour colours (-1 = none).
// Anything but exactly five blank-separated words gives text colour 0 and four times -1.
struct TsFontColors {
  TColor Text = 0;
  TColor Left = -1, Top = -1, Right = -1, Bottom = -1;
};
// Writes the five colours in order into the five fields; a word that is not a decimal integer
// raises std::invalid_argument, leaving the fields before it filled.
void ParseFontColor(const std::string& text, TColor& textColor, TColor& left, TColor& top, TColor& right,
                    TColor& bottom);
TsFontColors ParseFontColor(const std::string& text);
