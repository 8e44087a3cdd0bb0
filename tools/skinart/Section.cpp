#include "tools/skinart/Section.h"

#include <utility>

namespace SkinArt {

TSection BlankSection() {
  TSection blank;
  blank.ShadowBlur = blank.ShadowOffset = blank.ShadowTransparency = 0;
  blank.FontColor = blank.HotFontColor = blank.GradientData = blank.HotGradientData = "";
  blank.FadingIntervalIn = blank.FadingIntervalOut = blank.FadingIterations = 0;
  blank.HotColor = blank.BorderColor1 = blank.BorderColor2 = blank.ShadowColor = 0;
  return blank;
}

std::string Gradient(std::initializer_list<std::array<int, 4>> pieces) {
  std::string s;
  for (const auto& p : pieces) {
    if (!s.empty()) s += ';';
    s += std::to_string(p[0]) + ';' + std::to_string(p[1]) + ';' + std::to_string(p[2]) + ';' + std::to_string(p[3]) + ";0";
  }
  return s;
}

std::string TwoTone(TColor from, TColor to, int mode) { return Gradient({{from, to, 99, mode}, {to, to, 0, mode}}); }

TSectionEdit All(std::vector<TSectionEdit> edits) {
  return [edits = std::move(edits)](TSection& s) {
    for (const TSectionEdit& edit : edits) edit(s);
  };
}

TSectionEdit Plain(TColor color, TColor hot) {
  return [=](TSection& s) {
    s.Color = color;
    s.HotColor = hot;
  };
}

TSectionEdit Clear(TColor color) {
  return [=](TSection& s) {
    s.Color = color;
    s.Transparency = 100;
    s.HotTransparency = 100;
  };
}

TSectionEdit Band(TColor color, TColor from, TColor to) {
  return [=](TSection& s) {
    s.Color = s.HotColor = color;
    s.GradientPercent = s.HotGradientPercent = 100;
    s.GradientData = s.HotGradientData = TwoTone(from, to);
  };
}

TSectionEdit Pictured(TColor color) {
  return [=](TSection& s) {
    s.Color = s.HotColor = color;
    s.ImagePercent = s.HotImagePercent = 100;
  };
}

TSectionEdit Fading(int iterations) {
  return [=](TSection& s) {
    s.FadingEnabled = true;
    s.FadingIterations = iterations;
  };
}

TSectionEdit Fonts(std::string normal, std::string hot) {
  return [=](TSection& s) {
    s.FontColor = normal;
    s.HotFontColor = hot;
  };
}

}  // namespace SkinArt
