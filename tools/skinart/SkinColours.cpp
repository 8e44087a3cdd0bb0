#include "tools/skinart/SkinColours.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace SkinArt {

namespace {

template <class TKey, class TValue, size_t N>
void Fill(std::array<TValue, N>& target, const std::vector<std::pair<TKey, TValue>>& entries, const char* what) {
  std::array<bool, N> given{};
  for (const auto& [key, value] : entries) {
    const size_t i = size_t(key);
    if (i >= N) throw std::runtime_error(std::string(what) + " " + std::to_string(i) + " is not in the table");
    if (given[i]) throw std::runtime_error(std::string(what) + " " + std::to_string(i) + " is given twice");
    given[i] = true;
    target[i] = value;
  }
  for (size_t i = 0; i < N; ++i)
    if (!given[i]) throw std::runtime_error(std::string(what) + " " + std::to_string(i) + " is missing");
}

}  // namespace

TSkinColours TSkinColours::FromTable(const std::vector<TInkEntry>& inks, const std::vector<TLookEntry>& looks) {
  TSkinColours c;
  Fill(c.FInks, inks, "colour");
  Fill(c.FLooks, looks, "glass look");
  return c;
}

TSkinColours TSkinColours::Mapped(const std::function<TRgb(TRgb)>& map, float shine) const {
  TSkinColours out;
  for (size_t i = 0; i < FInks.size(); ++i) out.FInks[i] = map(FInks[i]);
  for (size_t i = 0; i < FLooks.size(); ++i) {
    const TGlassLook& look = FLooks[i];
    TGlassLook& mapped = out.FLooks[i];
    mapped = look;
    mapped.Outline = map(look.Outline);
    mapped.Top = map(look.Top);
    mapped.HighlightEnd = map(look.HighlightEnd);
    mapped.Face = map(look.Face);
    mapped.Glow = map(look.Glow);
    mapped.Shine = std::clamp(look.Shine * shine, 0.0f, 1.0f);
  }
  return out;
}

}  // namespace SkinArt
