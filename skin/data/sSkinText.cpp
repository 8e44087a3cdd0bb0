#include "skin/data/sSkinText.h"

#include <stdexcept>

int CountWords(const std::string& text, const std::string& separators) {
  int count = 0;
  bool inWord = false;
  for (char c : text) {
    const bool sep = separators.find(c) != std::string::npos;
    if (!sep && !inWord) ++count;
    inWord = !sep;
  }
  return count;
}

int WordStart(int n, const std::string& text, const std::string& separators) {
  int count = 0;
  bool inWord = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool sep = separators.find(text[i]) != std::string::npos;
    if (!sep && !inWord && ++count == n) return int(i) + 1;
    inWord = !sep;
  }
  return 0;
}

std::string NthWord(int n, const std::string& text, const std::string& separators) {
  const int start = WordStart(n, text, separators);
  if (start == 0) return {};
  const size_t from = size_t(start - 1);
  const size_t end = text.find_first_of(separators, from);
  return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

std::string RemoveChar(const std::string& text, char c) {
  std::string out;
  for (char ch : text)
    if (ch != c) out += ch;
  return out;
}

bool ParseDecimal(const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  size_t i = 0;
  bool negative = false;
  if (text[0] == '-' || text[0] == '+') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    if (v > (INT64_MAX - 9) / 10) return false;
    v = v * 10 + (text[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

namespace {
int64_t Number(const std::string& word) {
  int64_t v;
  if (!ParseDecimal(word, v)) throw std::invalid_argument("'" + word + "' is not an integer");
  return v;
}
}  // namespace

TsGradArray ParseGradientData(const std::string& text) {
  const int pieces = CountWords(text, ";") / 5;
  TsGradArray out;
  out.reserve(size_t(pieces));
  for (int k = 0; k < pieces; ++k) {
    TsGradPiece p;
    p.Color1 = TColor(Number(NthWord(5 * k + 1, text, ";")));
    p.Color2 = TColor(Number(NthWord(5 * k + 2, text, ";")));
    const int64_t percent = Number(NthWord(5 * k + 3, text, ";"));
    p.Percent = uint8_t(percent > 100 ? 100 : percent < 0 ? 0 : percent);
    p.Mode = int32_t(Number(NthWord(5 * k + 4, text, ";")));
    out.push_back(p);
  }
  return out;
}

TsFontColors ParseFontColor(const std::string& text) {
  TsFontColors c;
  if (CountWords(text, " ") != 5) return c;
  c.Text = TColor(Number(NthWord(1, text, " ")));
  c.Left = TColor(Number(NthWord(2, text, " ")));
  c.Top = TColor(Number(NthWord(3, text, " ")));
  c.Right = TColor(Number(NthWord(4, text, " ")));
  c.Bottom = TColor(Number(NthWord(5, text, " ")));
  return c;
}
