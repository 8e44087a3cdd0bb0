#include "tools/skinart/Borders.h"

#include <algorithm>
#include <array>

namespace SkinArt {

TPainter Header(const TSkinColours& c) {
  return [c](int state, int w, int h) {
    TLayer layer(w, h);
    const TRgb top = c.ByState(state, ikHeaderTop, ikHeaderTopHot, ikHeaderTopPressed);
    const TRgb bottom = c.ByState(state, ikHeaderBottom, ikHeaderBottomHot, ikHeaderBottomPressed);
    layer.Paint(Box(0, 0, float(w), float(h)), [&](float, float y) { return Mix(top, bottom, (y - 3) / 6); });
    layer.Paint(Box(0, float(h - 1), float(w), float(h)), c[ikHeaderLine]);
    layer.Paint(Box(float(w - 1), 2, float(w), float(h - 2)), c[ikHeaderSeparator]);
    layer.Paint(Box(float(w - 2), 2, float(w - 1), float(h - 2)), c[ikWhite], 0.8f);
    if (state == 1) layer.Paint(Box(0, float(h - 3), float(w), float(h - 1)), c[ikHeaderHotLine], 0.7f);
    return layer;
  };
}

TPainter Field(const TSkinColours& c) {
  return [c](int state, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(Rim(w, h, 0, 2.5f), state == 0 ? c[ikFieldOutline] : c[ikFieldOutlineHot]);
    if (state == 0)
      layer.Paint(Rim(w, h, 1, 2.5f), c[ikFieldInner], [](float, float y) { return y < 2 ? 0.8f : 0.35f; });
    else
      layer.Paint(Rim(w, h, 1, 2.5f), c[ikFieldGlow], 0.75f);
    return layer;
  };
}

TPainter Groove(const TSkinColours& c) {
  return [c](int state, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(Rim(w, h, 0, 3), state == 0 ? c[ikGrooveOutline] : c[ikGrooveOutlineHot]);
    layer.Paint(Rim(w, h, 1, 3), c[ikGrooveShadow], [](float, float y) { return y < 2 ? 0.22f : 0.0f; });
    layer.Paint(Rim(w, h, 1, 3), c[ikWhite], [h](float, float y) { return y > h - 2 ? 0.7f : 0.0f; });
    return layer;
  };
}

TPainter Etched(const TSkinColours& c, TRgb outline, float radius, float shine, float outlineOpacity) {
  const TRgb light = c[ikWhite];
  return [=](int, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(Rim(w, h, 0, radius), outline, outlineOpacity);
    layer.Paint(Rim(w, h, 1, radius), light, shine);
    return layer;
  };
}

TPainter MenuItemFrame(const TSkinColours& c) {
  return [c](int state, int w, int h) {
    TLayer layer(w, h);
    if (state == 0) return layer;
    layer.Paint(Rim(w, h, 0, 3), c[ikMenuItemOutline], 0.85f);
    layer.Paint(Rim(w, h, 1, 3), c[ikWhite], [](float, float y) { return y < 4 ? 0.7f : 0.35f; });
    return layer;
  };
}

TPainter PopupFrame(const TSkinColours& c) {
  return [c](int, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(Rim(w, h, 0, 4), c[ikPopupOutline]);
    layer.Paint(Rim(w, h, 1, 4), c[ikWhite], 0.8f);
    layer.Paint(Rim(w, h, 2, 4), c[ikPopupInner], 0.55f);
    return layer;
  };
}

namespace {

std::array<TRgb, 4> FrameRings(const TSkinColours& c) {
  return {c[ikFrameRing1], c[ikFrameRing2], c[ikFrameRing3], c[ikFrameRing4]};
}

}  // namespace

TPainter FormFrame(const TSkinColours& c) {
  const std::array<TRgb, 4> rings = FrameRings(c);
  const TRgb form = c[ikForm];
  return [rings, form](int, int w, int h) {
    TLayer layer(w, h);
    auto shape = [&](int inset) {
      const TShape top = Inset(w, h, inset, 4), bottom = Inset(w, h, inset, 2);
      const float mid = h / 2.0f;
      return TShape([=](float x, float y) { return y < mid ? top(x, y) : bottom(x, y); });
    };
    for (int i = 0; i < 4; ++i) layer.Paint(Ring(shape(i), shape(i + 1)), rings[size_t(i)]);
    layer.Paint(shape(4), form);
    return layer;
  };
}

TPainter TitleBand(const TSkinColours& c) {
  const std::array<TRgb, 4> rings = FrameRings(c);
  return [c, rings](int, int w, int h) {
    TLayer layer(w, h);
    auto shape = [&](int inset) {
      return RoundBox(float(inset), float(inset), float(w - inset), float(h + 8), std::max(4.0f - inset, 0.0f));
    };
    for (int i = 0; i < 4; ++i) layer.Paint(Ring(shape(i), shape(i + 1)), rings[size_t(i)]);
    layer.Paint(Box(4, 4, float(w - 4), 5), c[ikWhite], 0.45f);
    layer.Paint(Box(4, float(h - 2), float(w - 4), float(h - 1)), c[ikWhite], 0.35f);
    layer.Paint(Box(4, float(h - 1), float(w - 4), float(h)), c[ikTitleSeparator], 0.75f);
    return layer;
  };
}

TPainter Panel(const TSkinColours& c, TPanelKind kind, TRgb fill) {
  return [=](int, int w, int h) {
    TLayer layer(w, h);
    const TShape outer = Inset(w, h, 0, 2);
    const TShape inner = Box(1, 1, float(w - 1), float(h - 1));
    layer.Paint(outer, fill);
    layer.Paint(Ring(outer, inner), kind == pkLowered ? c[ikPanelOutlineLowered] : c[ikPanelOutline]);
    const TShape topLeft = Either(Box(1, 1, float(w - 1), 2), Box(1, 1, 2, float(h - 1)));
    const TShape bottomRight = Either(Box(1, float(h - 2), float(w - 1), float(h - 1)), Box(float(w - 2), 1, float(w - 1), float(h - 1)));
    const TRgb light = c[ikWhite], dark = c[ikPanelShade];
    if (kind == pkLowered) {
      layer.Paint(bottomRight, light, 0.9f);
      layer.Paint(topLeft, dark);
    } else {
      layer.Paint(bottomRight, kind == pkPage ? Mix(fill, dark, 0.4f) : dark);
      layer.Paint(topLeft, light, 0.9f);
    }
    return layer;
  };
}

TPainter TrackChannel(const TSkinColours& c) {
  return [c](int, int w, int h) {
    TLayer layer(w, h);
    const TShape outer = Inset(w, h, 0, 2);
    layer.Paint(outer, c[ikChannel]);
    layer.Paint(Ring(outer, RoundBox(1, 1, float(w - 1), float(h + 4), 1)), c[ikChannelShadow]);
    layer.Paint(Ring(outer, RoundBox(1, -4, float(w - 1), float(h - 1), 1)), c[ikWhite]);
    return layer;
  };
}

}  // namespace SkinArt
