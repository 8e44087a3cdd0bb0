// The text functions of the skin readers over any text: words, integers, the gradient and
// font-colour formats, and the CommonSections splitter. The first byte picks the separators
// of the word functions; the rest is the text.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "skin/data/sSkinText.h"

namespace {

void CheckWords(const std::string& text, const std::string& separators) {
  const std::vector<std::string> words = SplitWords(text, separators);
  if (CountWords(text, separators) != int(words.size())) std::abort();
  for (size_t i = 0; i < words.size(); ++i) {
    const int n = int(i) + 1;
    if (words[i].empty() || words[i].find_first_of(separators) != std::string::npos) std::abort();
    if (NthWord(n, text, separators) != words[i]) std::abort();
    const int start = WordStart(n, text, separators);
    if (start < 1 || text.compare(size_t(start - 1), words[i].size(), words[i]) != 0) std::abort();
  }
  if (!NthWord(int(words.size()) + 1, text, separators).empty()) std::abort();
  if (WordStart(int(words.size()) + 1, text, separators) != 0) std::abort();
  if (!NthWord(0, text, separators).empty() || !NthWord(-1, text, separators).empty()) std::abort();
}

void CheckIntegers(const std::string& text) {
  int64_t decimal;
  if (ParseDecimal(text, decimal)) {
    errno = 0;
    char* end = nullptr;
    const long long expected = std::strtoll(text.c_str(), &end, 10);
    if (errno == 0 && end == text.c_str() + text.size() && expected != decimal) std::abort();
  }
  int32_t value;
  ParseSkinInteger(text, value);
}

void CheckPacked(const std::string& text) {
  TsGradArray pieces;
  try {
    ParseGradientData(text, pieces);
  } catch (const std::invalid_argument&) {
  }
  if (pieces.size() > size_t(CountWords(text, ";")) / 5) std::abort();
  for (const TsGradPiece& p : pieces)
    if (p.Percent > 100) std::abort();
  TColor t = 0, l = 0, tp = 0, r = 0, b = 0;
  try {
    ParseFontColor(text, t, l, tp, r, b);
  } catch (const std::invalid_argument&) {
  }
  try {
    ParseFontColor(text);
  } catch (const std::invalid_argument&) {
  }
}

void CheckSections(const std::string& text) {
  const std::vector<TsTextSection> sections = SplitSections(SplitLines(text));
  for (const TsTextSection& s : sections) {
    if (!FindTextSection(sections, s.Name)) std::abort();
    for (const std::string& line : s.Lines) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      std::string value;
      if (!ReadTextKey(s, line.substr(0, eq), value)) std::abort();
      ReadTextInteger(&s, line.substr(0, eq), 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kSeparators[] = {" ", ";", "!", " ,", " ()", ";,", "\t ", "ab"};
  const std::string separators = kSeparators[data[0] % 8];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckWords(text, separators);
  CheckIntegers(text);
  CheckPacked(text);
  CheckSections(text);
  if (RemoveChar(text, ' ').find(' ') != std::string::npos) std::abort();
  return 0;
}
