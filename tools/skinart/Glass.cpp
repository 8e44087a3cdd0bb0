#include "tools/skinart/Glass.h"

#include <algorithm>

namespace SkinArt {

TGlassStyle ButtonStyle(const TSkinColours& colours, float radius, float band) {
  TGlassStyle s;
  s.Radius = radius;
  s.Band = band;
  s.Look = {colours[lkButton], colours[lkButtonHot], colours[lkButtonPressed]};
  return s;
}

TLayer PaintGlass(const TSkinColours& colours, const TGlassStyle& st, int state, int w, int h) {
  TLayer layer(w, h);
  if (state == 0 && st.FlatNormal) return layer;
  const TGlassLook& look = st.Look[size_t(std::clamp(state, 0, 2))];
  const float l = 0, t = 0, r = float(w);
  const float b = st.OpenBottom ? h + st.Radius + 3 : float(st.Shadow ? h - 1 : h);
  if (st.Shadow && !st.OpenBottom) layer.Paint(RoundBox(l, t + 1, r, b + 1, st.Radius), colours[ikGlassShadow], 0.22f);
  layer.Paint(RoundBox(l, t, r, b, st.Radius), look.Outline);
  // The gradient runs between the rows inside the outline of the picture itself.
  const float ft = t + 1, fb = st.OpenBottom ? float(h) : b - 1;
  const TShape face = RoundBox(l + 1, t + 1, r - 1, b - 1, st.Radius - 1);
  layer.Paint(face, [&](float, float y) {
    const float dt = y - ft, db = fb - y;
    TRgb c = dt < st.Band ? Mix(look.Top, look.HighlightEnd, dt / st.Band) : look.Face;
    if (!st.OpenBottom && db < st.GlowRows) c = Mix(c, look.Glow, (1 - db / st.GlowRows) * 0.85f);
    return c;
  });
  const TShape inner = RoundBox(l + 2, t + 2, r - 2, b - 2, st.Radius - 2);
  layer.Paint(Ring(face, inner), colours[ikWhite], [&](float, float y) { return y - ft < st.Band ? look.Shine : look.Shine * 0.45f; });
  if (look.Sunken)
    layer.Paint(Ring(face, RoundBox(l + 1, t + 3, r - 1, b + 8, st.Radius)), colours[ikGlassSunken],
                [&](float, float y) { return y - ft < 1 ? 0.35f : 0.15f; });
  return layer;
}

TPainter Glass(const TSkinColours& colours, TGlassStyle style) {
  return [colours, style](int state, int w, int h) { return PaintGlass(colours, style, state, w, h); };
}

}  // namespace SkinArt
