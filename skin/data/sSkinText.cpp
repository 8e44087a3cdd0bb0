#include "skin/data/sSkinText.h"

#include <stdexcept>

#include "platform/components/Persistent.h"

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

bool ParseSkinInteger(const std::string& text, int32_t& value) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const size_t last = text.find_last_not_of(" \t");
  size_t i = first;
  bool negative = false;
  if (text[i] == '-' || text[i] == '+') {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i > last) return false;
  uint64_t v = 0;
  for (; i <= last; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    v = v * uint64_t(base) + uint64_t(digit);
    if (v > 0xFFFFFFFFull) return false;
  }
  if (negative) {
    if (v > 0x80000000ull) return false;
    value = int32_t(-int64_t(v));
  } else {
    value = int32_t(uint32_t(v));
  }
  return true;
}

std::vector<TsTextSection> SplitSections(const std::vector<std::string>& lines) {
  std::vector<TsTextSection> sections;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections.push_back({line.substr(1, line.size() - 2), {}});
      continue;
    }
    if (!sections.empty()) sections.back().Lines.push_back(line);
  }
  return sections;
}

const TsTextSection* FindTextSection(const std::vector<TsTextSection>& sections, const std::string& name) {
  for (const TsTextSection& s : sections)
    if (SameText(s.Name, name)) return &s;
  return nullptr;
}

bool ReadTextKey(const TsTextSection& section, const std::string& key, std::string& value) {
  for (const std::string& line : section.Lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || !SameText(line.substr(0, eq), key)) continue;
    value = line.substr(eq + 1);
    return true;
  }
  return false;
}

std::string ReadTextString(const TsTextSection* section, const std::string& key, const std::string& fallback) {
  std::string value;
  return section && ReadTextKey(*section, key, value) ? value : fallback;
}

int32_t ReadTextInteger(const TsTextSection* section, const std::string& key, int32_t fallback) {
  int32_t v;
  std::string text;
  return section && ReadTextKey(*section, key, text) && ParseSkinInteger(text, v) ? v : fallback;
}

namespace {
int64_t Number(const std::string& word) {
  int64_t v;
  if (!ParseDecimal(word, v)) throw std::invalid_argument("'" + word + "' is not an integer");
  return v;
}
}  // namespace

std::vector<std::string> SplitWords(const std::string& text, const std::string& separators) {
  std::vector<std::string> words;
  size_t start = text.find_first_not_of(separators);
  while (start != std::string::npos) {
    const size_t end = text.find_first_of(separators, start);
    words.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    start = end == std::string::npos ? end : text.find_first_not_of(separators, end);
  }
  return words;
}

void ParseGradientData(const std::string& text, TsGradArray& out) {
  out.clear();
  const std::vector<std::string> words = SplitWords(text, ";");
  const size_t pieces = words.size() / 5;
  out.reserve(pieces);
  for (size_t k = 0; k < pieces; ++k) {
    const std::string* w = &words[5 * k];
    TsGradPiece p;
    p.Color1 = TColor(Number(w[0]));
    p.Color2 = TColor(Number(w[1]));
    const int64_t percent = Number(w[2]);
    p.Percent = uint8_t(percent > 100 ? 100 : percent < 0 ? 0 : percent);
    p.Mode = int32_t(Number(w[3]));
    out.push_back(p);
  }
}

TsGradArray ParseGradientData(const std::string& text) {
  TsGradArray out;
  ParseGradientData(text, out);
  return out;
}

void ParseFontColor(const std::string& text, TColor& textColor, TColor& left, TColor& top, TColor& right,
                    TColor& bottom) {
  const TsFontColors none;
  TColor* fields[5] = {&textColor, &left, &top, &right, &bottom};
  const TColor defaults[5] = {none.Text, none.Left, none.Top, none.Right, none.Bottom};
  for (int i = 0; i < 5; ++i) *fields[i] = defaults[i];
  const std::vector<std::string> words = SplitWords(text, " ");
  if (words.size() != 5) return;
  for (int i = 0; i < 5; ++i) *fields[i] = TColor(Number(words[size_t(i)]));
}

TsFontColors ParseFontColor(const std::string& text) {
  TsFontColors c;
  ParseFontColor(text, c.Text, c.Left, c.Top, c.Right, c.Bottom);
  return c;
}
