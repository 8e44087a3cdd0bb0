#pragma once
// A section of a skin as it is stored: the colours, gradients and behaviour of one kind of
// control, the properties in their stored order.
#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/graphics/Colors.h"
#include "skin/data/sSkinData.h"

namespace SkinArt {

struct TSection {
  std::string SectionName;
  std::string ParentClass;
  TColor Color = 0;
  TsControlBevel Bevel = cbNone;
  int ShadowBlur = 6;
  TColor ShadowColor = clBlack;
  bool ShadowDontUse = false;
  bool ShadowEnabled = false;
  bool ReservedBoolean = false;
  int ShadowOffset = 3;
  int ShadowTransparency = 60;
  std::string FontColor = "0 -1 -1 -1 -1";
  std::string HotFontColor = "0 -1 -1 -1 -1";
  int Transparency = 0;
  int GradientPercent = 0;
  std::string GradientData = " ";
  int ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  int FadingIntervalIn = 5;
  int FadingIntervalOut = 5;
  int FadingIterations = 5;
  TColor HotColor = clWhite;
  int HotTransparency = 0;
  TsControlBevel HotBevel = cbNone;
  int HotGradientPercent = 0;
  std::string HotGradientData = " ";
  int HotImagePercent = 0;
  TColor BorderColor1 = clBlack;
  TColor BorderColor2 = clBlack;
  std::string Name;
};

// The item without a name and with every value zero that ends a stored section list.
TSection BlankSection();

constexpr TColor Col(int r, int g, int b) { return TColor(RGB(r, g, b)); }

// Gradient text: pieces of start colour, end colour, percent and direction.
std::string Gradient(std::initializer_list<std::array<int, 4>> pieces);
// From one colour to another over the whole height (mode 0) or width (mode 1).
std::string TwoTone(TColor from, TColor to, int mode = 0);

// Edits of a section that its table applies in turn, for the kinds of section that recur.
using TSectionEdit = std::function<void(TSection&)>;
TSectionEdit All(std::vector<TSectionEdit> edits);
// Colours of the normal and the hot state.
TSectionEdit Plain(TColor color, TColor hot);
// Drawn by its masks alone: fully transparent in both states.
TSectionEdit Clear(TColor color);
// The same gradient from `from` to `to`, top to bottom, in both states.
TSectionEdit Band(TColor color, TColor from, TColor to);
// The skin's pattern over the whole background in both states.
TSectionEdit Pictured(TColor color);
TSectionEdit Fading(int iterations);
TSectionEdit Fonts(std::string normal, std::string hot);

}  // namespace SkinArt
