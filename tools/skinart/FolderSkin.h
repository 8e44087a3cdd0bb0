#pragma once
// The skins that ship with the program as folders (assets/skins/<Name>/): the internal
// skin's masks drawn again in colours of their own, its sections with their colours mapped
// the same way, and a JPEG pattern for the window's background.
#include <functional>
#include <string>

#include "tools/skinart/Colour.h"
#include "tools/skinart/Patterns.h"
#include "tools/skinart/SkinColours.h"

namespace SkinArt {

using TColourMap = std::function<TRgb(TRgb)>;
using THslRule = std::function<TRgb(const THsl&)>;

struct TFolderSkin {
  std::string Name;
  std::string Description;
  TColourMap Map;        // from the internal skin's colours to this skin's
  float Shine = 1;       // factor on the light lines of glass faces
  TColourMap Text;       // text colours of the sections
  TColourMap Contour;    // text contour colours
  TRgb PatternBase;      // the window's background pattern
  TPatternKind Pattern = ptPaper;

  TSkinColours Colours() const;
};

// The internal skin's colours fall into three groups: its blues (faces, outlines, frames),
// the saturated blues of hot and pressed states and of check marks (accents), and the few
// other colours (the red of a hot close button, greys). Each group gets a rule of its own.
TColourMap ByTone(THslRule blue, THslRule accent, THslRule other);
// One rule for dark colours (lightness under one half), one for light ones.
TColourMap ByLightness(THslRule dark, THslRule light);

TFolderSkin GraphiteSkin();
TFolderSkin AmberSkin();

}  // namespace SkinArt
