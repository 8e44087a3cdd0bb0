#include "tools/skinart/Glyphs.h"

#include <algorithm>

#include "tools/skinart/Glass.h"

namespace SkinArt {

namespace {

TLayer PaintTitleGlyph(const TSkinColours& c, TTitleSymbol symbol, int state, int w, int h) {
  TGlassStyle st;
  st.Radius = 4;
  st.Band = 7;
  st.Shadow = false;
  st.GlowRows = 5;
  st.Look = {c[lkTitleButton], c[lkTitleButtonHot], c[lkTitleButtonPressed]};
  if (symbol == tsClose) {
    st.Look[1] = c[lkCloseHot];
    st.Look[2] = c[lkClosePressed];
  }
  TLayer layer(w, h);
  const TLayer button = PaintGlass(c, st, state, w - 2, h - 2);
  for (int y = 0; y < button.Height(); ++y)
    for (int x = 0; x < button.Width(); ++x) layer.At(x + 1, y + 1) = button.At(x, y);
  const float d = state == 2 ? 0.5f : 0.0f;  // a pressed symbol sits half a pixel lower
  TShape mark;
  switch (symbol) {
    case tsClose:
      mark = Either(Stroke({{6.5f, 6.5f + d}, {13.5f, 13.5f + d}}, 1.25f), Stroke({{13.5f, 6.5f + d}, {6.5f, 13.5f + d}}, 1.25f));
      break;
    case tsMax:
      mark = Ring(Box(5, 5 + d, 15, 15 + d), Box(6.5f, 8 + d, 13.5f, 13.5f + d));
      break;
    case tsRestore: {
      // Two windows: the one behind shows only where the front one leaves it visible.
      const TShape front = Box(4, 8 + d, 12, 16 + d);
      const TShape back = Ring(Box(8, 4 + d, 16, 12 + d), Box(9.5f, 6 + d, 14.5f, 10.5f + d));
      mark = Either(Ring(back, front), Ring(front, Box(5.5f, 10 + d, 10.5f, 14.5f + d)));
      break;
    }
    case tsMin:
      mark = Box(6, 11.5f + d, 14, 14 + d);
      break;
    case tsHelp:
      mark = Either(Stroke({{7, 7.6f + d}, {8.2f, 5.9f + d}, {10, 5.4f + d}, {11.8f, 5.9f + d}, {12.8f, 7.4f + d},
                            {12.2f, 9 + d}, {10.2f, 10.2f + d}, {10, 11.6f + d}},
                           1.1f),
                    Disc(10, 14.3f + d, 1.3f));
      break;
    case tsNone:
      return layer;
  }
  const TShape shadow = [mark](float x, float y) { return mark(x - 0.75f, y - 0.75f); };
  layer.Paint(shadow, c[ikSymbolShadow], 0.45f);
  layer.Paint(mark, c[ikWhite]);
  return layer;
}

// The box or circle of a check box or radio button at (x, y), `size` pixels across.
void PaintBoxFace(const TSkinColours& c, TLayer& layer, bool round, int state, float x, float y, float size) {
  const TRgb outline = c.ByState(state, ikBoxOutline, ikBoxOutlineHot, ikBoxOutlinePressed);
  const TRgb top = state == 2 ? c[ikBoxTopPressed] : c[ikBoxTop];
  const TRgb bottom = c.ByState(state, ikBoxBottom, ikBoxBottomHot, ikBoxBottomPressed);
  auto shape = [&](float inset) {
    return round ? Disc(x + size / 2, y + size / 2, size / 2 - inset)
                 : RoundBox(x + inset, y + inset, x + size - inset, y + size - inset, std::max(2.5f - inset, 0.0f));
  };
  layer.Paint(shape(0), outline);
  layer.Paint(shape(1), [&](float, float py) { return Mix(top, bottom, (py - y - 1) / (size - 2)); });
  if (state == 1) layer.Paint(Ring(shape(1), shape(2)), c[ikBoxGlow], 0.8f);
  if (state == 2) layer.Paint(Ring(shape(1), shape(2.2f)), c[ikBoxShadow], [y](float, float py) { return py < y + 3 ? 0.3f : 0.0f; });
}

// The ink of arrows and thumb ridges in a state: 0 normal, 1 hot, 2 pressed.
TRgb ArrowInk(const TSkinColours& c, int state) { return c.ByState(state, ikArrow, ikArrowHot, ikArrowPressed); }

// Four columns pointing right, `tall` pixels high and 2 fewer each, centred in the frame.
TPainter Wedge(const TSkinColours& c, int tall) {
  return [c, tall](int state, int w, int h) {
    TLayer layer(w, h);
    const int x0 = (w - 4) / 2, y0 = (h - tall) / 2;
    for (int i = 0; i < 4; ++i)
      layer.Paint(Box(float(x0 + i), float(y0 + i), float(x0 + i + 1), float(y0 + tall - i)), ArrowInk(c, state));
    return layer;
  };
}

}  // namespace

TPainter TitleGlyph(const TSkinColours& c, TTitleSymbol symbol) {
  return [c, symbol](int state, int w, int h) { return PaintTitleGlyph(c, symbol, state, w, h); };
}

TPainter CheckBoxGlyph(const TSkinColours& c, TCheckKind kind) {
  return [c, kind](int state, int w, int h) {
    TLayer layer(w, h);
    const float x = 1, y = float((h - 13) / 2 + 1);
    PaintBoxFace(c, layer, false, state, x, y, 13);
    const TRgb ink = state == 1 ? c[ikCheckHot] : c[ikCheck];
    if (kind == ckChecked)
      layer.Paint(Stroke({{x + 3.2f, y + 6.6f}, {x + 5.6f, y + 9.2f}, {x + 9.8f, y + 3.6f}}, 1.05f), ink);
    else if (kind == ckGrayed)
      layer.Paint(RoundBox(x + 3.5f, y + 3.5f, x + 9.5f, y + 9.5f, 1), c[ikGrayed]);
    return layer;
  };
}

TPainter RadioGlyph(const TSkinColours& c, TCheckKind kind) {
  return [c, kind](int state, int w, int h) {
    TLayer layer(w, h);
    const float x = 1, y = float((h - 13) / 2 + 1);
    PaintBoxFace(c, layer, true, state, x, y, 13);
    if (kind == ckChecked) {
      layer.Paint(Disc(x + 6.5f, y + 6.5f, 2.9f), state == 1 ? c[ikRadioDotHot] : c[ikRadioDot]);
      layer.Paint(Disc(x + 5.8f, y + 5.6f, 1.0f), c[ikWhite], 0.7f);
    }
    return layer;
  };
}

TPainter SmallBoxGlyph(const TSkinColours& c, TCheckKind kind) {
  return [c, kind](int state, int w, int h) {
    TLayer layer(w, h);
    PaintBoxFace(c, layer, false, state, 0, 0, float(std::min(w, h) - 1));
    if (kind == ckChecked)
      layer.Paint(Stroke({{2.6f, 5.4f}, {4.6f, 7.6f}, {8.4f, 2.8f}}, 0.95f), c[ikCheck]);
    else if (kind == ckGrayed)
      layer.Paint(Box(3, 3, 8, 8), c[ikGrayed]);
    return layer;
  };
}

TPainter CheckMark(const TSkinColours& c) {
  const TRgb ink = c[ikCheck];
  return [ink](int, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(Stroke({{1.6f, 4.4f}, {4.2f, 7.0f}, {9.4f, 1.6f}}, 1.1f), ink);
    return layer;
  };
}

TPainter Grip(const TSkinColours& c) {
  const TRgb light = c[ikWhite], dot = c[ikGripDot];
  return [light, dot](int, int w, int h) {
    TLayer layer(w, h);
    for (int row = 0; row < 3; ++row)
      for (int col = 2 - row; col < 3; ++col) {
        const float x = float(w - 13 + col * 4), y = float(h - 13 + row * 4);
        layer.Paint(Box(x + 1, y + 1, x + 3, y + 3), light, 0.9f);
        layer.Paint(Box(x, y, x + 2, y + 2), dot);
      }
    return layer;
  };
}

TPainter ArrowRight(const TSkinColours& c) { return Wedge(c, 8); }

TPainter ComboArrow(const TSkinColours& c) { return Transposed(Wedge(c, 7)); }

TPainter ThumbRidges(const TSkinColours& c) {
  return [c](int state, int w, int h) {
    TLayer layer(w, h);
    const int x0 = (w - 6) / 2;
    for (int i = 0; i < 3; ++i) {
      const float x = float(x0 + 2 * i);
      layer.Paint(Box(x, 1, x + 1, float(h - 1)), ArrowInk(c, state));
      layer.Paint(Box(x + 1, 1, x + 2, float(h - 1)), c[ikWhite]);
    }
    return layer;
  };
}

TPainter TrackThumb(const TSkinColours& c) {
  return [c](int state, int w, int h) {
    TLayer layer(w, h);
    const TGlassLook& look = c[state == 0 ? lkButton : state == 1 ? lkButtonHot : lkButtonPressed];
    const float fw = float(w), tip = float(h), body = float(h) - fw / 2;
    auto shape = [&](float i) {
      return Either(RoundBox(i, i, fw - i, body, 2.5f - i),
                    Polygon({{i, body - 3}, {fw - i, body - 3}, {fw - i, body}, {fw / 2, tip - i * 1.4f}, {i, body}}));
    };
    layer.Paint(shape(0), look.Outline);
    layer.Paint(shape(1), [&](float, float y) { return y < 6 ? Mix(look.Top, look.HighlightEnd, y / 6) : look.Face; });
    layer.Paint(Box(1, 1, fw - 1, 2), c[ikWhite], look.Shine);
    return layer;
  };
}

TPainter Tick(const TSkinColours& c) {
  const TRgb dark = c[ikTick], light = c[ikWhite];
  return [dark, light](int, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(Box(0, 0, 1, float(h)), dark);
    if (w > 1) layer.Paint(Box(1, 0, float(w), float(h)), light);
    return layer;
  };
}

}  // namespace SkinArt
