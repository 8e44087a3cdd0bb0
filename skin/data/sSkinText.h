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
