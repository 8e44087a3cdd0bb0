#include "tools/skinart/FolderSkin.h"

#include "tools/skinart/BlueGlass.h"

namespace SkinArt {

TSkinColours TFolderSkin::Colours() const { return BlueGlassColours().Mapped(Map, Shine); }

TColourMap ByTone(THslRule blue, THslRule accent, THslRule other) {
  return [=](TRgb c) {
    const THsl h = ToHsl(c);
    if (h.S <= 0.04f || h.H < 150 || h.H > 270) return other(h);
    return h.S >= 0.55f && h.L < 0.75f ? accent(h) : blue(h);
  };
}

TColourMap ByLightness(THslRule dark, THslRule light) {
  return [=](TRgb c) {
    const THsl h = ToHsl(c);
    return h.L < 0.5f ? dark(h) : light(h);
  };
}

}  // namespace SkinArt
