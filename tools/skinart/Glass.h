#pragma once
// Glass faces: buttons, tabs, scroll parts, title buttons. A rounded outline, a highlight
// band at the top, a glow along the bottom and a light line inside the outline.
#include <array>

#include "tools/skinart/Layer.h"
#include "tools/skinart/SkinColours.h"

namespace SkinArt {

struct TGlassStyle {
  float Radius = 3;
  float Band = 5;           // rows of the highlight band
  float GlowRows = 4;       // rows of the bottom glow
  bool Shadow = true;       // a soft row under the shape
  bool OpenBottom = false;  // no bottom edge: a tab whose page lies below
  bool FlatNormal = false;  // nothing in the normal state (tool buttons)
  std::array<TGlassLook, 3> Look;  // normal, hot, pressed
};

// A push button's style in the skin's button looks.
TGlassStyle ButtonStyle(const TSkinColours& colours, float radius = 3, float band = 5);

TLayer PaintGlass(const TSkinColours& colours, const TGlassStyle& style, int state, int w, int h);
TPainter Glass(const TSkinColours& colours, TGlassStyle style);

}  // namespace SkinArt
