// Generator of the program's internal skin "BlueGlass (internal)" and of the skin folders
// that ship with it ("Graphite" and "Amber", assets/skins/).
//
//   skin_art <repo-root> [--contact-sheet sheet.png] [--preview preview.png]
//
// The tables below list every section and every mask of the skin. From them the generator
// draws the master bitmap (assets/skin/BlueGlass.bmp, 304 x 260, 8 bits) and the separately
// carried big button (assets/skin/BTN_HUGE.BMP, 288 x 192, 8 bits), and writes the skin's
// stored form between the lines "// skin begin" and "// skin end" of assets/Maruk_rom.layout,
// so rectangles and pictures always agree. Nothing but this file decides the output: every
// run writes the same bytes.
//
// The contact sheet shows every mask at four times its size with its section and property;
// the preview lays the masks over the form's texture the way the painters do, at two times.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Dib.h"
#include "platform/graphics/PngFile.h"
#include "platform/graphics/Text.h"

namespace {

constexpr COLORREF kKey = 0xFF00FF;
constexpr int kMasterWidth = 304;
constexpr int kMasterHeight = 260;
constexpr int kHugeWidth = 288;
constexpr int kHugeHeight = 192;
const char* const kSkinName = "BlueGlass (internal)";
const char* const kHugeName = "BTN_HUGE.BMP";

// ---- Colours and coverage layers ------------------------------------------------------------

struct TRgb {
  float R = 0;
  float G = 0;
  float B = 0;
};

constexpr TRgb Rgb(int r, int g, int b) { return {float(r), float(g), float(b)}; }
const TRgb kWhite = Rgb(255, 255, 255);

TRgb Mix(TRgb a, TRgb b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

COLORREF ToColorRef(TRgb c) {
  auto channel = [](float v) { return int(std::lround(std::clamp(v, 0.0f, 255.0f))); };
  return RGB(channel(c.R), channel(c.G), channel(c.B));
}

TRgb FromColorRef(COLORREF c) { return Rgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The skin being drawn. The painters below are written in the colours of the internal skin;
// a skin of another look maps every colour they use (and may soften the glass shine).
struct TTheme {
  std::function<TRgb(TRgb)> Map;  // none: the colours as written
  float Shine = 1;                // factor on the white lines of glass faces
};
const TTheme kBlueGlassTheme{};
const TTheme* gTheme = &kBlueGlassTheme;

TRgb Ink(TRgb c) { return gTheme->Map ? gTheme->Map(c) : c; }
TRgb Ink(int r, int g, int b) { return Ink(Rgb(r, g, b)); }

// A shape answers whether a point (in pixel units, pixel x covering [x, x + 1)) lies inside.
using TShape = std::function<bool(float, float)>;
using TShade = std::function<TRgb(float, float)>;
using TOpacity = std::function<float(float, float)>;

float SdRoundRect(float x, float y, float l, float t, float r, float b, float radius) {
  const float qx = std::fabs(x - (l + r) / 2) - ((r - l) / 2 - radius);
  const float qy = std::fabs(y - (t + b) / 2) - ((b - t) / 2 - radius);
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

TShape RoundBox(float l, float t, float r, float b, float radius) {
  radius = std::clamp(radius, 0.0f, std::min(r - l, b - t) / 2);
  return [=](float x, float y) { return SdRoundRect(x, y, l, t, r, b, radius) <= 0; };
}

TShape Box(float l, float t, float r, float b) {
  return [=](float x, float y) { return x >= l && x < r && y >= t && y < b; };
}

TShape Disc(float cx, float cy, float radius) {
  return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

TShape Ring(TShape outer, TShape inner) {
  return [=](float x, float y) { return outer(x, y) && !inner(x, y); };
}

TShape Either(TShape a, TShape b) {
  return [=](float x, float y) { return a(x, y) || b(x, y); };
}

// A polyline drawn with round ends, halfWidth on each side of the path.
TShape Stroke(std::vector<std::array<float, 2>> points, float halfWidth) {
  return [=](float x, float y) {
    for (size_t i = 0; i + 1 < points.size(); ++i) {
      const float ax = points[i][0], ay = points[i][1], bx = points[i + 1][0], by = points[i + 1][1];
      const float dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
      const float t = len2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0f, 1.0f) : 0.0f;
      const float px = ax + t * dx - x, py = ay + t * dy - y;
      if (px * px + py * py <= halfWidth * halfWidth) return true;
    }
    return false;
  };
}

// A closed polygon, inside by the even-odd rule.
TShape Polygon(std::vector<std::array<float, 2>> points) {
  return [=](float x, float y) {
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const float xi = points[i][0], yi = points[i][1], xj = points[j][0], yj = points[j][1];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

// A picture in the making: premultiplied colour and coverage per pixel. Shapes are sampled
// 4 x 4 times per pixel, so coverage comes in steps of 1/16, as the mask greys do.
class TLayer {
 public:
  struct TPixel {
    float R = 0, G = 0, B = 0, A = 0;
  };

  TLayer(int width, int height) : FWidth(width), FHeight(height), FPixels(size_t(width) * size_t(height)) {}

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  const TPixel& At(int x, int y) const { return FPixels[size_t(y) * size_t(FWidth) + size_t(x)]; }
  TPixel& At(int x, int y) { return FPixels[size_t(y) * size_t(FWidth) + size_t(x)]; }

  void Paint(const TShape& shape, const TShade& shade, const TOpacity& opacity) {
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx) hits += shape(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
        if (hits == 0) continue;
        const float cx = x + 0.5f, cy = y + 0.5f;
        const float a = std::clamp(hits / 16.0f * opacity(cx, cy), 0.0f, 1.0f);
        const TRgb c = shade(cx, cy);
        TPixel& p = At(x, y);
        p.R = c.R * a + p.R * (1 - a);
        p.G = c.G * a + p.G * (1 - a);
        p.B = c.B * a + p.B * (1 - a);
        p.A = a + p.A * (1 - a);
      }
  }
  void Paint(const TShape& shape, const TShade& shade, float opacity = 1) {
    Paint(shape, shade, [opacity](float, float) { return opacity; });
  }
  void Paint(const TShape& shape, TRgb colour, float opacity = 1) {
    Paint(shape, [colour](float, float) { return colour; }, opacity);
  }
  void Paint(const TShape& shape, TRgb colour, const TOpacity& opacity) {
    Paint(shape, [colour](float, float) { return colour; }, opacity);
  }

  // Colour without the coverage; white where nothing was painted.
  TRgb Colour(int x, int y) const {
    const TPixel& p = At(x, y);
    if (p.A <= 0) return kWhite;
    return {p.R / p.A, p.G / p.A, p.B / p.A};
  }
  float Alpha(int x, int y) const { return At(x, y).A; }

  TLayer Transposed() const {
    TLayer t(FHeight, FWidth);
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) t.At(y, x) = At(x, y);
    return t;
  }
  TLayer Mirrored() const {
    TLayer m(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) m.At(FWidth - 1 - x, y) = At(x, y);
    return m;
  }
  TLayer Flipped() const {
    TLayer m(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) m.At(x, FHeight - 1 - y) = At(x, y);
    return m;
  }

 private:
  int FWidth;
  int FHeight;
  std::vector<TPixel> FPixels;
};

// Paints one state image of a mask at the given size.
using TPainter = std::function<TLayer(int state, int width, int height)>;

TPainter Transposed(TPainter p) {
  return [p](int state, int w, int h) { return p(state, h, w).Transposed(); };
}
TPainter Mirrored(TPainter p) {
  return [p](int state, int w, int h) { return p(state, w, h).Mirrored(); };
}
TPainter Flipped(TPainter p) {
  return [p](int state, int w, int h) { return p(state, w, h).Flipped(); };
}

// ---- The look ------------------------------------------------------------------------------------

// Colours of one state of a glass face: outline, the highlight band from its top colour to
// its end colour, the face below it and the glow that lightens the bottom rows.
struct TGlassLook {
  TRgb Outline;
  TRgb Top;
  TRgb HighlightEnd;
  TRgb Face;
  TRgb Glow;
  float Shine = 0.6f;    // opacity of the light line inside the outline, top part
  bool Sunken = false;   // a pressed face: a shadow under the top edge
};

TGlassLook Ink(const TGlassLook& look) {
  TGlassLook out = look;
  out.Outline = Ink(look.Outline);
  out.Top = Ink(look.Top);
  out.HighlightEnd = Ink(look.HighlightEnd);
  out.Face = Ink(look.Face);
  out.Glow = Ink(look.Glow);
  out.Shine = std::clamp(look.Shine * gTheme->Shine, 0.0f, 1.0f);
  return out;
}

struct TGlassStyle {
  float Radius = 3;
  float Band = 5;           // rows of the highlight band
  float GlowRows = 4;       // rows of the bottom glow
  bool Shadow = true;       // a soft row under the shape
  bool OpenBottom = false;  // no bottom edge: a tab whose page lies below
  bool FlatNormal = false;  // nothing in the normal state (tool buttons)
  std::array<TGlassLook, 3> Look;
};

const TGlassLook kGlassNormal{Rgb(0x3C, 0x6E, 0xA6), Rgb(0xFA, 0xFD, 0xFF), Rgb(0xE0, 0xED, 0xFA),
                              Rgb(0xA4, 0xC8, 0xEC), Rgb(0xD2, 0xEC, 0xFF), 0.7f, false};
const TGlassLook kGlassHot{Rgb(0x28, 0x70, 0xC8), Rgb(0xFF, 0xFF, 0xFF), Rgb(0xEC, 0xF6, 0xFF),
                           Rgb(0xB6, 0xDC, 0xFC), Rgb(0xE4, 0xF8, 0xFF), 0.85f, false};
const TGlassLook kGlassPressed{Rgb(0x24, 0x4C, 0x7E), Rgb(0x9A, 0xBE, 0xE2), Rgb(0xA2, 0xC6, 0xEA),
                               Rgb(0x86, 0xB0, 0xDC), Rgb(0xA8, 0xD0, 0xF4), 0.2f, true};
const TGlassLook kTabActive{Rgb(0x45, 0x74, 0xA6), Rgb(0xFF, 0xFF, 0xFF), Rgb(0xF6, 0xFA, 0xFE),
                            Rgb(0xF0, 0xF6, 0xFC), Rgb(0xF0, 0xF6, 0xFC), 0.9f, false};
const TGlassLook kTabInactive{Rgb(0x5C, 0x84, 0xB0), Rgb(0xEC, 0xF3, 0xFA), Rgb(0xCC, 0xDE, 0xEF),
                              Rgb(0xB4, 0xCC, 0xE4), Rgb(0xC4, 0xDA, 0xEE), 0.5f, false};
const TGlassLook kCloseHot{Rgb(0x9A, 0x2E, 0x24), Rgb(0xFF, 0xE8, 0xE2), Rgb(0xF2, 0xA8, 0x98),
                           Rgb(0xDE, 0x5A, 0x44), Rgb(0xF4, 0x9C, 0x84), 0.7f, false};
const TGlassLook kClosePressed{Rgb(0x70, 0x1E, 0x16), Rgb(0xC0, 0x5A, 0x48), Rgb(0xC0, 0x52, 0x40),
                               Rgb(0xB0, 0x40, 0x2E), Rgb(0xCC, 0x6E, 0x58), 0.2f, true};

TGlassStyle ButtonStyle(float radius = 3, float band = 5) {
  TGlassStyle s;
  s.Radius = radius;
  s.Band = band;
  s.Look = {kGlassNormal, kGlassHot, kGlassPressed};
  return s;
}

TLayer PaintGlass(const TGlassStyle& st, int state, int w, int h) {
  TLayer layer(w, h);
  if (state == 0 && st.FlatNormal) return layer;
  const TGlassLook look = Ink(st.Look[size_t(std::clamp(state, 0, 2))]);
  const float l = 0, t = 0, r = float(w);
  const float b = st.OpenBottom ? h + st.Radius + 3 : float(st.Shadow ? h - 1 : h);
  if (st.Shadow && !st.OpenBottom) layer.Paint(RoundBox(l, t + 1, r, b + 1, st.Radius), Ink(0x1E, 0x3A, 0x5A), 0.22f);
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
  layer.Paint(Ring(face, inner), Ink(kWhite), [&](float, float y) { return y - ft < st.Band ? look.Shine : look.Shine * 0.45f; });
  if (look.Sunken)
    layer.Paint(Ring(face, RoundBox(l + 1, t + 3, r - 1, b + 8, st.Radius)), Ink(0x1A, 0x38, 0x60),
                [&](float, float y) { return y - ft < 1 ? 0.35f : 0.15f; });
  return layer;
}

TPainter Glass(TGlassStyle style) {
  return [style](int state, int w, int h) { return PaintGlass(style, state, w, h); };
}

// Column header: square, white to light blue, a line at the bottom and a separator right.
TLayer PaintHeader(int state, int w, int h) {
  TLayer layer(w, h);
  const TRgb top = state == 2 ? Ink(0xC6, 0xDC, 0xF0) : state == 1 ? Ink(kWhite) : Ink(0xFA, 0xFC, 0xFE);
  const TRgb bottom = state == 2 ? Ink(0xB0, 0xCC, 0xE8) : state == 1 ? Ink(0xD6, 0xEA, 0xFC) : Ink(0xDC, 0xE8, 0xF4);
  layer.Paint(Box(0, 0, float(w), float(h)), [&](float, float y) { return Mix(top, bottom, (y - 3) / 6); });
  layer.Paint(Box(0, float(h - 1), float(w), float(h)), Ink(0x86, 0xA6, 0xC8));
  layer.Paint(Box(float(w - 1), 2, float(w), float(h - 2)), Ink(0xA8, 0xC0, 0xDA));
  layer.Paint(Box(float(w - 2), 2, float(w - 1), float(h - 2)), Ink(kWhite), 0.8f);
  if (state == 1) layer.Paint(Box(0, float(h - 3), float(w), float(h - 1)), Ink(0x5C, 0x9C, 0xE0), 0.7f);
  return layer;
}

// Entry fields: a thin outline with rounded corners and nothing inside, so the section's
// own colour shows; the hot state adds a blue glow inside the outline.
TLayer PaintField(int state, int w, int h) {
  TLayer layer(w, h);
  const TShape outer = RoundBox(0, 0, float(w), float(h), 2.5f);
  const TShape inner = RoundBox(1, 1, float(w - 1), float(h - 1), 1.5f);
  layer.Paint(Ring(outer, inner), state == 0 ? Ink(0x8C, 0xAC, 0xCC) : Ink(0x3E, 0x84, 0xD2));
  const TShape inner2 = RoundBox(2, 2, float(w - 2), float(h - 2), 0.5f);
  if (state == 0)
    layer.Paint(Ring(inner, inner2), Ink(0xC8, 0xD8, 0xE8), [](float, float y) { return y < 2 ? 0.8f : 0.35f; });
  else
    layer.Paint(Ring(inner, inner2), Ink(0x9C, 0xCE, 0xF8), 0.75f);
  return layer;
}

// A groove: scroll bar tracks, progress bars, gauges. Inside stays clear.
TLayer PaintGroove(int state, int w, int h) {
  TLayer layer(w, h);
  const TShape outer = RoundBox(0, 0, float(w), float(h), 3);
  const TShape inner = RoundBox(1, 1, float(w - 1), float(h - 1), 2);
  const TShape inner2 = RoundBox(2, 2, float(w - 2), float(h - 2), 1);
  layer.Paint(Ring(outer, inner), state == 0 ? Ink(0xA4, 0xBE, 0xD8) : Ink(0x7E, 0xA8, 0xD6));
  layer.Paint(Ring(inner, inner2), Ink(0x50, 0x70, 0x98), [](float, float y) { return y < 2 ? 0.22f : 0.0f; });
  layer.Paint(Ring(inner, inner2), Ink(kWhite), [h](float, float y) { return y > h - 2 ? 0.7f : 0.0f; });
  return layer;
}

// Two lines around a clear inside: an outline and a white line within it.
TPainter Etched(TRgb outline, float radius, float shine = 0.75f, float outlineOpacity = 1) {
  return [=](int, int w, int h) {
    TLayer layer(w, h);
    const TShape outer = RoundBox(0, 0, float(w), float(h), radius);
    const TShape inner = RoundBox(1, 1, float(w - 1), float(h - 1), radius - 1);
    const TShape inner2 = RoundBox(2, 2, float(w - 2), float(h - 2), radius - 2);
    layer.Paint(Ring(outer, inner), outline, outlineOpacity);
    layer.Paint(Ring(inner, inner2), Ink(kWhite), shine);
    return layer;
  };
}

// Menu item: nothing in the normal state, a blue rounded frame when selected.
TLayer PaintMenuItem(int state, int w, int h) {
  TLayer layer(w, h);
  if (state == 0) return layer;
  const TShape outer = RoundBox(0, 0, float(w), float(h), 3);
  const TShape inner = RoundBox(1, 1, float(w - 1), float(h - 1), 2);
  const TShape inner2 = RoundBox(2, 2, float(w - 2), float(h - 2), 1);
  layer.Paint(Ring(outer, inner), Ink(0x2C, 0x64, 0xA8), 0.85f);
  layer.Paint(Ring(inner, inner2), Ink(kWhite), [](float, float y) { return y < 4 ? 0.7f : 0.35f; });
  return layer;
}

// Popup menus and dialogs: a dark blue outline, a white line and a pale blue line inside.
TLayer PaintPopupFrame(int, int w, int h) {
  TLayer layer(w, h);
  const TShape r0 = RoundBox(0, 0, float(w), float(h), 4);
  const TShape r1 = RoundBox(1, 1, float(w - 1), float(h - 1), 3);
  const TShape r2 = RoundBox(2, 2, float(w - 2), float(h - 2), 2);
  const TShape r3 = RoundBox(3, 3, float(w - 3), float(h - 3), 1);
  layer.Paint(Ring(r0, r1), Ink(0x3A, 0x66, 0x98));
  layer.Paint(Ring(r1, r2), Ink(kWhite), 0.8f);
  layer.Paint(Ring(r2, r3), Ink(0xA6, 0xC6, 0xE6), 0.55f);
  return layer;
}

// The window frame's four rings, from the outside in.
const std::array<TRgb, 4> kFrameRings = {Rgb(0x36, 0x5E, 0x8C), Rgb(0xE6, 0xF1, 0xFB), Rgb(0xAC, 0xCA, 0xE6),
                                         Rgb(0x7C, 0xA0, 0xC6)};
const TRgb kFormColour = Rgb(0x99, 0xBC, 0xD0);

// Window frame (no mask: corners keyed, edges copied): four rings of 1 pixel, rounded
// corners of radius 4 at the top and 2 at the bottom.
TLayer PaintFormFrame(int, int w, int h) {
  TLayer layer(w, h);
  auto shape = [&](int inset) {
    const float rt = std::max(4.0f - inset, 0.0f), rb = std::max(2.0f - inset, 0.0f);
    const TShape top = RoundBox(float(inset), float(inset), float(w - inset), float(h - inset), rt);
    const TShape bottom = RoundBox(float(inset), float(inset), float(w - inset), float(h - inset), rb);
    const float mid = h / 2.0f;
    return TShape([=](float x, float y) { return y < mid ? top(x, y) : bottom(x, y); });
  };
  for (int i = 0; i < 4; ++i) layer.Paint(Ring(shape(i), shape(i + 1)), Ink(kFrameRings[size_t(i)]));
  layer.Paint(shape(4), Ink(kFormColour));
  return layer;
}

// Title band: the frame's rings along the top and the sides (the bottom is open), a glossy
// line under the top, and a thin separator at the bottom. The inside stays clear so that the
// title's gradient shows.
TLayer PaintTitleBand(int, int w, int h) {
  TLayer layer(w, h);
  auto shape = [&](int inset) {
    return RoundBox(float(inset), float(inset), float(w - inset), float(h + 8), std::max(4.0f - inset, 0.0f));
  };
  for (int i = 0; i < 4; ++i) layer.Paint(Ring(shape(i), shape(i + 1)), Ink(kFrameRings[size_t(i)]));
  layer.Paint(Box(4, 4, float(w - 4), 5), Ink(kWhite), 0.45f);
  layer.Paint(Box(4, float(h - 2), float(w - 4), float(h - 1)), Ink(kWhite), 0.35f);
  layer.Paint(Box(4, float(h - 1), float(w - 4), float(h)), Ink(0x3E, 0x6A, 0x9C), 0.75f);
  return layer;
}

// Flat borders without a mask: one outline of 1 pixel with a keyed corner pixel and a line
// within it; the inside is the section's colour.
enum TPanelKind { pkRaised, pkLowered, pkPage };
TPainter Panel(TPanelKind kind, TRgb fill) {
  return [=](int, int w, int h) {
    TLayer layer(w, h);
    const TShape outer = RoundBox(0, 0, float(w), float(h), 2);
    const TShape inner = Box(1, 1, float(w - 1), float(h - 1));
    layer.Paint(outer, fill);
    layer.Paint(Ring(outer, inner), kind == pkLowered ? Ink(0x84, 0xA2, 0xC2) : Ink(0x9A, 0xB6, 0xD2));
    const TShape topLeft = Either(Box(1, 1, float(w - 1), 2), Box(1, 1, 2, float(h - 1)));
    const TShape bottomRight = Either(Box(1, float(h - 2), float(w - 1), float(h - 1)), Box(float(w - 2), 1, float(w - 1), float(h - 1)));
    const TRgb light = Ink(kWhite), dark = Ink(0xB8, 0xCC, 0xE0);
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

// ---- Glyphs ------------------------------------------------------------------------------------

enum TTitleSymbol { tsNone, tsClose, tsMax, tsMin, tsHelp };

TLayer PaintTitleGlyph(TTitleSymbol symbol, int state, int w, int h) {
  TGlassStyle st = ButtonStyle(4, 7);
  st.Shadow = false;
  st.GlowRows = 5;
  st.Look[0] = {Rgb(0x2E, 0x5C, 0x90), Rgb(0xC8, 0xDE, 0xF4), Rgb(0x9A, 0xBE, 0xE4), Rgb(0x6A, 0x9A, 0xCE),
                Rgb(0x98, 0xC8, 0xF2), 0.5f, false};
  st.Look[1] = {Rgb(0x20, 0x60, 0xB0), Rgb(0xDE, 0xEE, 0xFF), Rgb(0xAE, 0xD2, 0xF6), Rgb(0x7E, 0xB2, 0xEA),
                Rgb(0xB0, 0xDE, 0xFF), 0.7f, false};
  st.Look[2] = {Rgb(0x1C, 0x40, 0x6C), Rgb(0x7C, 0xA2, 0xCC), Rgb(0x74, 0x9C, 0xC8), Rgb(0x5A, 0x88, 0xBC),
                Rgb(0x80, 0xAE, 0xDC), 0.2f, true};
  if (symbol == tsClose) {
    st.Look[1] = kCloseHot;
    st.Look[2] = kClosePressed;
  }
  TLayer layer(w, h);
  const TLayer button = PaintGlass(st, state, w - 2, h - 2);
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
  layer.Paint(shadow, Ink(0x10, 0x28, 0x48), 0.45f);
  layer.Paint(mark, Ink(kWhite));
  return layer;
}

TPainter TitleGlyph(TTitleSymbol symbol) {
  return [symbol](int state, int w, int h) { return PaintTitleGlyph(symbol, state, w, h); };
}

enum TCheckKind { ckUnchecked, ckChecked, ckGrayed };

// The box or circle of a check box or radio button at (x, y), 13 pixels across.
void PaintBoxFace(TLayer& layer, bool round, int state, float x, float y, float size) {
  const TRgb outline = state == 0 ? Ink(0x4E, 0x7A, 0xA8) : state == 1 ? Ink(0x2C, 0x76, 0xC8) : Ink(0x24, 0x52, 0x88);
  const TRgb top = state == 2 ? Ink(0xB4, 0xCE, 0xE8) : Ink(kWhite);
  const TRgb bottom = state == 0 ? Ink(0xD2, 0xE2, 0xF2) : state == 1 ? Ink(0xD6, 0xEC, 0xFF) : Ink(0xE4, 0xF0, 0xFA);
  auto shape = [&](float inset) {
    return round ? Disc(x + size / 2, y + size / 2, size / 2 - inset)
                 : RoundBox(x + inset, y + inset, x + size - inset, y + size - inset, std::max(2.5f - inset, 0.0f));
  };
  layer.Paint(shape(0), outline);
  layer.Paint(shape(1), [&](float, float py) { return Mix(top, bottom, (py - y - 1) / (size - 2)); });
  if (state == 1) layer.Paint(Ring(shape(1), shape(2)), Ink(0x8E, 0xC6, 0xF6), 0.8f);
  if (state == 2) layer.Paint(Ring(shape(1), shape(2.2f)), Ink(0x3A, 0x62, 0x94), [y](float, float py) { return py < y + 3 ? 0.3f : 0.0f; });
}

TPainter CheckBoxGlyph(TCheckKind kind) {
  return [kind](int state, int w, int h) {
    TLayer layer(w, h);
    const float x = 1, y = float((h - 13) / 2 + 1);
    PaintBoxFace(layer, false, state, x, y, 13);
    const TRgb ink = state == 1 ? Ink(0x14, 0x56, 0xA8) : Ink(0x1A, 0x44, 0x7C);
    if (kind == ckChecked)
      layer.Paint(Stroke({{x + 3.2f, y + 6.6f}, {x + 5.6f, y + 9.2f}, {x + 9.8f, y + 3.6f}}, 1.05f), ink);
    else if (kind == ckGrayed)
      layer.Paint(RoundBox(x + 3.5f, y + 3.5f, x + 9.5f, y + 9.5f, 1), Ink(0x7C, 0x9E, 0xC2));
    return layer;
  };
}

TPainter RadioGlyph(TCheckKind kind) {
  return [kind](int state, int w, int h) {
    TLayer layer(w, h);
    const float x = 1, y = float((h - 13) / 2 + 1);
    PaintBoxFace(layer, true, state, x, y, 13);
    if (kind == ckChecked) {
      const TRgb ink = state == 1 ? Ink(0x1E, 0x64, 0xBA) : Ink(0x1E, 0x4E, 0x8A);
      layer.Paint(Disc(x + 6.5f, y + 6.5f, 2.9f), ink);
      layer.Paint(Disc(x + 5.8f, y + 5.6f, 1.0f), Ink(kWhite), 0.7f);
    }
    return layer;
  };
}

// Small check boxes (menus) without a mask: 11 x 11 boxes in 12 x 12 frames.
TPainter SmallBoxGlyph(TCheckKind kind) {
  return [kind](int state, int w, int h) {
    TLayer layer(w, h);
    PaintBoxFace(layer, false, state, 0, 0, float(std::min(w, h) - 1));
    if (kind == ckChecked)
      layer.Paint(Stroke({{2.6f, 5.4f}, {4.6f, 7.6f}, {8.4f, 2.8f}}, 0.95f), Ink(0x1A, 0x44, 0x7C));
    else if (kind == ckGrayed)
      layer.Paint(Box(3, 3, 8, 8), Ink(0x7C, 0x9E, 0xC2));
    return layer;
  };
}

TLayer PaintCheckMark(int, int w, int h) {
  TLayer layer(w, h);
  layer.Paint(Stroke({{1.6f, 4.4f}, {4.2f, 7.0f}, {9.4f, 1.6f}}, 1.1f), Ink(0x1A, 0x44, 0x7C));
  return layer;
}

// Size grip: six dots in a triangle at the bottom right, each with a light dot below it.
TLayer PaintGrip(int, int w, int h) {
  TLayer layer(w, h);
  for (int row = 0; row < 3; ++row)
    for (int col = 2 - row; col < 3; ++col) {
      const float x = float(w - 13 + col * 4), y = float(h - 13 + row * 4);
      layer.Paint(Box(x + 1, y + 1, x + 3, y + 3), Ink(kWhite), 0.9f);
      layer.Paint(Box(x, y, x + 2, y + 2), Ink(0x5A, 0x7E, 0xA6));
    }
  return layer;
}

const std::array<TRgb, 3> kArrowInk = {Rgb(0x2A, 0x4C, 0x74), Rgb(0x16, 0x5E, 0xB4), Rgb(0x10, 0x2C, 0x50)};

// Arrow pointing right in a frame at least 5 wide and 8 high: columns of 8, 6, 4 and 2.
TLayer PaintArrowRight(int state, int w, int h) {
  TLayer layer(w, h);
  const int x0 = (w - 4) / 2, y0 = (h - 8) / 2;
  for (int c = 0; c < 4; ++c)
    layer.Paint(Box(float(x0 + c), float(y0 + c), float(x0 + c + 1), float(y0 + 8 - c)), Ink(kArrowInk[size_t(state)]));
  return layer;
}

// Arrow pointing down, rows of 7, 5, 3 and 1 (combo boxes).
TLayer PaintComboArrow(int state, int w, int h) {
  TLayer layer(w, h);
  const int x0 = (w - 7) / 2, y0 = (h - 4) / 2;
  for (int r = 0; r < 4; ++r)
    layer.Paint(Box(float(x0 + r), float(y0 + r), float(x0 + 7 - r), float(y0 + r + 1)), Ink(kArrowInk[size_t(state)]));
  return layer;
}

// Three ridges across a scroll thumb, each a dark line with a light one beside it.
TLayer PaintThumbRidges(int state, int w, int h) {
  TLayer layer(w, h);
  const int x0 = (w - 6) / 2;
  for (int i = 0; i < 3; ++i) {
    const float x = float(x0 + 2 * i);
    layer.Paint(Box(x, 1, x + 1, float(h - 1)), Ink(kArrowInk[size_t(state)]));
    layer.Paint(Box(x + 1, 1, x + 2, float(h - 1)), Ink(kWhite));
  }
  return layer;
}

// Track bar thumb pointing down: a glass body with a pointed bottom.
TLayer PaintTrackThumb(int state, int w, int h) {
  TLayer layer(w, h);
  const TGlassLook look = Ink(state == 0 ? kGlassNormal : state == 1 ? kGlassHot : kGlassPressed);
  const float fw = float(w), tip = float(h), body = float(h) - fw / 2;
  auto shape = [&](float i) {
    return Either(RoundBox(i, i, fw - i, body, 2.5f - i),
                  Polygon({{i, body - 3}, {fw - i, body - 3}, {fw - i, body}, {fw / 2, tip - i * 1.4f}, {i, body}}));
  };
  layer.Paint(shape(0), look.Outline);
  layer.Paint(shape(1), [&](float, float y) { return y < 6 ? Mix(look.Top, look.HighlightEnd, y / 6) : look.Face; });
  layer.Paint(Box(1, 1, fw - 1, 2), Ink(kWhite), look.Shine);
  return layer;
}

TLayer PaintTick(int, int w, int h) {
  TLayer layer(w, h);
  layer.Paint(Box(0, 0, 1, float(h)), Ink(0x4E, 0x72, 0x9A));
  if (w > 1) layer.Paint(Box(1, 0, float(w), float(h)), Ink(kWhite));
  return layer;
}

// Track bar channel: a sunken groove, dark along the top, light along the bottom.
TLayer PaintChannel(int, int w, int h) {
  TLayer layer(w, h);
  const TShape outer = RoundBox(0, 0, float(w), float(h), 2);
  layer.Paint(outer, Ink(0xDC, 0xE8, 0xF4));
  layer.Paint(Ring(outer, RoundBox(1, 1, float(w - 1), float(h + 4), 1)), Ink(0x6E, 0x90, 0xB6));
  layer.Paint(Ring(outer, RoundBox(1, -4, float(w - 1), float(h - 1), 1)), Ink(kWhite));
  return layer;
}

// A texture that tiles without seams: a soft diagonal sheen and faint lines every third row.
TPainter Sheen(TRgb base) {
  return [base](int, int w, int h) {
    TLayer layer(w, h);
    layer.Paint(Box(0, 0, float(w), float(h)), [&](float x, float y) {
      const double phase = 2 * M_PI * (std::floor(x) / w + std::floor(y) / h);
      const float sheen = float(std::lround(4 * (0.5 + 0.5 * std::sin(phase)))) * 3;  // 0, 3 .. 12
      const float line = int(std::floor(y)) % 3 == 0 ? -4.0f : 0.0f;
      return TRgb{base.R + sheen + line, base.G + sheen + line, base.B + sheen * 0.8f + line};
    });
    return layer;
  };
}

// ---- Sections ------------------------------------------------------------------------------------

enum TBevel { cbNone, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard };

// One section as it is stored, the properties in their stored order.
struct TSection {
  std::string SectionName;
  std::string ParentClass;
  TColor Color = 0;
  TBevel Bevel = cbNone;
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
  TBevel HotBevel = cbNone;
  int HotGradientPercent = 0;
  std::string HotGradientData = " ";
  int HotImagePercent = 0;
  TColor BorderColor1 = clBlack;
  TColor BorderColor2 = clBlack;
  std::string Name;
};

TColor Col(int r, int g, int b) { return TColor(RGB(r, g, b)); }

// Gradient text: pieces of start colour, end colour, percent and direction.
std::string Gradient(std::initializer_list<std::array<int, 4>> pieces) {
  std::string s;
  for (const auto& p : pieces) {
    if (!s.empty()) s += ';';
    s += std::to_string(p[0]) + ';' + std::to_string(p[1]) + ';' + std::to_string(p[2]) + ';' + std::to_string(p[3]) + ";0";
  }
  return s;
}
std::string TwoTone(TColor from, TColor to, int mode = 0) { return Gradient({{from, to, 99, mode}, {to, to, 0, mode}}); }

const TColor kButtonColor = 13282167;     // 0xCAAB77
const TColor kButtonHotColor = 13283984;  // 0xCAB290
const TColor kFormColor = 13679769;       // 0xD0BC99
const TColor kPageColor = Col(0xF4, 0xF8, 0xFC);

std::vector<TSection> Sections() {
  std::vector<TSection> list;
  auto add = [&](const std::string& name, const std::function<void(TSection&)>& edit) {
    TSection s;
    s.SectionName = name;
    edit(s);
    list.push_back(s);
  };
  // Controls whose look is their border mask: the parent's picture shows through.
  auto seeThrough = [](TSection& s) {
    s.Color = kButtonColor;
    s.Transparency = 100;
    s.HotColor = kButtonHotColor;
    s.HotTransparency = 100;
  };
  auto pushButton = [&](TSection& s) {
    seeThrough(s);
    s.ShowFocus = true;
    s.FadingEnabled = true;
    s.FadingIterations = 20;
  };
  auto toolButton = [&](TSection& s) {
    seeThrough(s);
    s.FadingEnabled = true;
    s.FadingIterations = 10;
  };
  auto page = [](TSection& s) {
    s.Color = kPageColor;
    s.HotColor = kPageColor;
  };
  auto scrollPart = [](TSection& s) {
    s.Color = clWhite;
    s.Transparency = 100;
    s.HotTransparency = 100;
  };
  auto track = [](TSection& s) {
    s.Color = Col(0xE6, 0xEE, 0xF6);
    s.HotColor = Col(0xDA, 0xE8, 0xF6);
  };
  auto progress = [](int mode) {
    return [mode](TSection& s) {
      s.Color = Col(0xEE, 0xF4, 0xFA);
      s.HotColor = Col(0x5E, 0x9C, 0xDA);
      s.HotGradientPercent = 100;
      s.HotGradientData = TwoTone(Col(0xB4, 0xDA, 0xFA), Col(0x3E, 0x86, 0xD0), mode);
    };
  };
  auto field = [](TSection& s) {
    s.Color = clWhite;
    s.HotColor = clWhite;
  };
  auto tab = [](TSection& s) {
    s.Color = Col(0xDC, 0xE8, 0xF4);
    s.Transparency = 100;
    s.HotTransparency = 100;
  };

  add("GLOBALINFO", [](TSection& s) {
    s.Color = clLime;
    s.FontColor = "0 16765070 -1 -1 -1";
  });
  add("DRAGBAR", [](TSection& s) {
    s.Color = Col(0x9C, 0xBE, 0xDE);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(Col(0xE2, 0xEE, 0xFA), Col(0x9C, 0xBE, 0xDE));
    s.HotColor = Col(0xB4, 0xD2, 0xF0);
    s.HotGradientPercent = 100;
    s.HotGradientData = TwoTone(clWhite, Col(0xB4, 0xD2, 0xF0));
  });
  add("TABSHEET", page);
  add("PAGECONTROLBOTTOM", page);
  add("PAGECONTROLLEFT", page);
  add("PAGECONTROLRIGHT", page);
  add("SPLITTER", [](TSection& s) {
    s.Color = Col(0xB4, 0xCC, 0xE2);
    s.HotColor = Col(0x9C, 0xC0, 0xE6);
  });
  add("TABCONTROLLEFT", page);
  add("TABCONTROLRIGHT", page);
  add("TABCONTROLBOTTOM", page);
  add("TOOLBAR", [](TSection& s) {
    s.Color = Col(0xD6, 0xE4, 0xF2);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(Col(0xF6, 0xFA, 0xFE), Col(0xC8, 0xDC, 0xEE));
    s.HotColor = Col(0xD6, 0xE4, 0xF2);
    s.HotGradientPercent = 100;
    s.HotGradientData = s.GradientData;
  });
  add("GROUPBOX", [](TSection& s) {
    s.Color = 14215660;
    s.Transparency = 100;
  });
  add("PROGRESSH", progress(0));
  add("GAUGE", progress(0));
  add("PANEL_LOW", [](TSection& s) {
    s.Color = Col(0xE2, 0xEC, 0xF6);
    s.HotColor = s.Color;
  });
  add("MENULINE", [](TSection& s) {
    s.Color = Col(0xC2, 0xD8, 0xEC);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(Col(0xEA, 0xF3, 0xFB), Col(0xB6, 0xD0, 0xEA));
    s.HotColor = Col(0xC2, 0xD8, 0xEC);
    s.HotGradientPercent = 100;
    s.HotGradientData = s.GradientData;
  });
  add("COMBOBOX", field);
  add("SCROLLBAR1H", track);
  add("SCROLLBAR2H", track);
  add("SCROLLBAR1V", track);
  add("SCROLLBAR2V", track);
  add("SPEEDBUTTON_SMALL", toolButton);
  add("STATUSBAR", [](TSection& s) {
    s.Color = Col(0xC8, 0xDC, 0xEE);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(Col(0xE0, 0xEC, 0xF8), Col(0xBC, 0xD4, 0xEA));
    s.HotColor = s.Color;
    s.HotGradientPercent = 100;
    s.HotGradientData = s.GradientData;
  });
  add("SCROLLBTNRIGHT", scrollPart);
  add("SCROLLBTNTOP", scrollPart);
  add("SCROLLBTNLEFT", scrollPart);
  add("SCROLLBTNBOTTOM", scrollPart);
  add("SCROLLSLIDERH", scrollPart);
  add("SCROLLSLIDERV", scrollPart);
  add("TABCONTROL", page);
  add("MENUITEM", [](TSection& s) {
    s.Color = clWhite;
    s.Transparency = 100;
    s.HotColor = 12147712;
    s.HotTransparency = 50;
    s.HotGradientPercent = 100;
    s.HotGradientData = "8481867;16765514;99;0;0;16765514;16765514;0;0;0";
    s.HotFontColor = "0 -1 -1 16439433 16439433";
  });
  add("DIVIDER", [](TSection& s) {
    s.Color = Col(0xD0, 0xE0, 0xF0);
    s.Transparency = 100;
    s.HotTransparency = 100;
  });
  add("TABTOP", tab);
  add("TABRIGHT", tab);
  add("TABLEFT", tab);
  add("TABBOTTOM", tab);
  add("DIALOG", [](TSection& s) {
    s.Color = clWhite;
    s.GradientPercent = 50;
    s.GradientData = "16777215;12748837;99;0;0;12748837;12748837;0;0;0";
    s.ImagePercent = 50;
    s.HotGradientPercent = 50;
    s.HotGradientData = s.GradientData;
    s.HotImagePercent = 50;
  });
  add("FORMTITLE", [](TSection& s) {
    s.Color = clWhite;
    s.Transparency = 50;
    s.GradientPercent = 100;
    s.GradientData = "7754286;16777215;9;0;0;16777215;9661497;17;0;0;9661497;14661514;73;0;0;14661514;14661514;0;0;0";
    s.HotGradientPercent = 100;
    s.HotGradientData =
        "16777215;10916465;42;0;0;10916465;8151366;10;0;0;8151366;13803852;37;0;0;13803852;11502151;10;0;0;11502151;"
        "11502151;0;0;0";
    s.FontColor = "6636336 -1 -1 -1 -1";
    s.HotFontColor = "16380390 4072704 4072704 -1 -1";
  });
  add("PROGRESSV", progress(1));
  add("FORM", [](TSection& s) {
    s.Color = kFormColor;
    s.ImagePercent = 100;
    s.HotColor = kFormColor;
    s.HotImagePercent = 100;
  });
  add("EDIT", field);
  add("PANEL", [](TSection& s) {
    s.Color = Col(0xDE, 0xEA, 0xF5);
    s.Transparency = 30;
    s.HotColor = s.Color;
    s.HotTransparency = 30;
  });
  add("BAR", [](TSection& s) {
    s.Color = Col(0xD4, 0xE4, 0xF3);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(Col(0xF0, 0xF6, 0xFC), Col(0xC4, 0xD8, 0xEC));
    s.HotColor = s.Color;
    s.HotGradientPercent = 100;
    s.HotGradientData = s.GradientData;
  });
  add("BARPANEL", [](TSection& s) {
    s.Color = Col(0xE6, 0xF0, 0xF9);
    s.HotColor = s.Color;
  });
  add("CHECKBOX", [](TSection& s) {
    s.Color = kButtonColor;
    s.Transparency = 100;
    s.HotTransparency = 100;
    s.FadingEnabled = true;
    s.FadingIterations = 20;
  });
  add("WEBBUTTON", [&](TSection& s) {
    seeThrough(s);
    s.FontColor = "12603392 -1 -1 -1 -1";
    s.HotFontColor = "15759360 -1 -1 -1 -1";
  });
  add("RADIOBUTTON", [](TSection& s) {
    s.Color = kButtonColor;
    s.Transparency = 100;
    s.HotTransparency = 100;
    s.FadingEnabled = true;
    s.FadingIterations = 20;
  });
  add("TOOLBUTTON", toolButton);
  add("SPEEDBUTTON", toolButton);
  add("PAGECONTROL", [&](TSection& s) {
    page(s);
    s.FadingEnabled = true;
    s.FadingIterations = 30;
  });
  add("BARTITLE", [](TSection& s) {
    s.Color = Col(0x5E, 0x8C, 0xBE);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(Col(0x86, 0xAE, 0xD8), Col(0x4E, 0x7E, 0xB2));
    s.HotColor = s.Color;
    s.HotGradientPercent = 100;
    s.HotGradientData = s.GradientData;
    s.FontColor = "16777215 -1 -1 -1 -1";
    s.HotFontColor = "16777215 -1 -1 -1 -1";
  });
  add("MAINMENU", [](TSection& s) { s.Color = 12753765; });
  add("EXTRALINE", [](TSection& s) {
    s.Color = Col(0x6E, 0x9A, 0xC8);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(Col(0x4E, 0x7E, 0xB2), Col(0x9C, 0xC2, 0xE6), 1);
    s.HotColor = s.Color;
    s.FontColor = "16777215 -1 -1 -1 -1";
    s.HotFontColor = "16777215 -1 -1 -1 -1";
  });
  add("GRIPH", [](TSection& s) {
    s.Color = Col(0xC8, 0xDA, 0xEC);
    s.HotColor = Col(0xDA, 0xE8, 0xF6);
  });
  add("HINT", [](TSection& s) {
    s.Color = Col(0xF4, 0xF9, 0xFF);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(clWhite, Col(0xDC, 0xEC, 0xFA));
    s.HotColor = s.Color;
  });
  add("MDIAREA", [](TSection& s) {
    s.Color = Col(0x6F, 0x93, 0xB4);
    s.ImagePercent = 100;
    s.HotColor = s.Color;
    s.HotImagePercent = 100;
  });
  add("TRACKBAR", [](TSection& s) {
    s.Color = kFormColor;
    s.Transparency = 100;
    s.HotTransparency = 100;
  });
  add("BUTTON_HUGE", pushButton);
  add("BUTTON_BIG", pushButton);
  add("COLHEADER", [](TSection& s) {
    s.Color = Col(0xEE, 0xF4, 0xFA);
    s.Transparency = 100;
    s.HotTransparency = 100;
  });
  add("BUTTON", pushButton);
  add("KARVOEDIT", field);
  add("KARVOCOMBOBOX", field);

  // The list ends with an item without a name whose values are all zero.
  TSection blank;
  blank.ShadowBlur = blank.ShadowOffset = blank.ShadowTransparency = 0;
  blank.FontColor = blank.HotFontColor = blank.GradientData = blank.HotGradientData = "";
  blank.FadingIntervalIn = blank.FadingIntervalOut = blank.FadingIterations = 0;
  blank.HotColor = blank.BorderColor1 = blank.BorderColor2 = blank.ShadowColor = 0;
  list.push_back(blank);
  return list;
}

// ---- Masks -----------------------------------------------------------------------------------

enum TImgType { itisaBorder, itisaTexture, itisaGlyph };

struct TMask {
  std::string Section;
  std::string Property;
  TRect R;
  int ImageCount = 1;
  int MaskType = 0;
  int BorderWidth = 0;
  int StretchMode = 0;
  TImgType ImgType = itisaGlyph;
  int WL = 0, WR = 0, WT = 0, WB = 0;
  TPainter Paint;             // empty: the area is another mask's
  bool Carried = false;       // a picture of its own (BTN_HUGE.BMP)
  bool HardCorners = false;   // corners keyed where less than half covered (window outlines)
  TRgb Matte = kWhite;        // what soft pixels of a picture without mask are laid over
};

TMask Glyph(std::string section, std::string property, TRect r, int count, int maskType, TPainter paint) {
  TMask m;
  m.Section = std::move(section);
  m.Property = std::move(property);
  m.R = r;
  m.ImageCount = count;
  m.MaskType = maskType;
  m.Paint = std::move(paint);
  return m;
}

TMask Border(std::string section, TRect r, int count, int maskType, int wl, int wr, int wt, int wb, TPainter paint) {
  TMask m = Glyph(std::move(section), "BORDERSMASK", r, count, maskType, std::move(paint));
  m.ImgType = itisaBorder;
  m.StretchMode = 1;
  m.WL = wl;
  m.WR = wr;
  m.WT = wt;
  m.WB = wb;
  return m;
}

TMask Texture(std::string section, std::string property, TRect r, TPainter paint) {
  TMask m = Glyph(std::move(section), std::move(property), r, 1, 0, std::move(paint));
  m.ImgType = itisaTexture;
  return m;
}

// Sizes of the common kinds of border: three states of 15 x 15 with their mask (K3), two
// states (K2), one state (K1), and flat borders of 12 x 12 without mask (K0).
TMask K3(std::string section, int x, int y, TPainter paint) {
  return Border(std::move(section), Bounds(x, y, 45, 30), 3, 1, 5, 5, 5, 5, std::move(paint));
}
TMask K2(std::string section, int x, int y, TPainter paint) {
  return Border(std::move(section), Bounds(x, y, 30, 30), 2, 1, 5, 5, 5, 5, std::move(paint));
}
TMask K1(std::string section, int x, int y, TPainter paint) {
  return Border(std::move(section), Bounds(x, y, 15, 30), 1, 1, 5, 5, 5, 5, std::move(paint));
}
TMask K0(std::string section, int x, int y, TPainter paint, TRgb fill) {
  TMask m = Border(std::move(section), Bounds(x, y, 12, 12), 1, 0, 2, 2, 2, 2, std::move(paint));
  m.Matte = fill;
  return m;
}

TMask Hard(TMask m) {
  m.HardCorners = true;
  return m;
}
TMask Shared(TMask m) {
  m.Paint = nullptr;
  return m;
}
TMask WithMatte(TMask m, TRgb matte) {
  m.Matte = matte;
  return m;
}
TMask WithBorderWidth(TMask m, int width) {
  m.BorderWidth = width;
  return m;
}
TMask Carried(TMask m) {
  m.Carried = true;
  return m;
}
// The track bar's channel is a border under another name.
TMask Channel(TMask m) {
  m.Property = "SLIDERCHANNEL";
  return m;
}

// Master bitmap, 304 x 260 (x ranges, then rows):
//   0-225 x 0-60      scroll buttons, thumbs, tabs, tool and speed buttons (K3)
//   225-240 x 0-60    hint and divider (K1); 252-270 x 0-36 grip; 270-303 x 0-36 track thumb
//   264-300 x 39-47   scroll arrows left and right; 252-304 x 47-83 the dark texture
//   0-132, 147-207 x 60-72   flat borders (K0); 135-147 form frame; 216-227 check mark;
//                     231-252 x 60-96 title band
//   0-225 x 72-114    scroll button frame, group box, menu item, vertical progress, dialog
//                     and menu frame, gauge
//   0-304 x 114-154   title-bar glyphs; 0-195 x 154-190 radio and check boxes;
//                     197-229 x 156-168 channel and ticks; 252-304 x 154-190 the texture
//   0-195 x 190-250   buttons and header (K3), fields, scroll tracks, progress
//   0-160 x 251-259   arrows and thumb ridges; 195-243 x 188-260 grayed and small boxes;
//                     243-286 x 190-220 push button; 243-297 x 220-242 vertical track thumb
// Areas that no mask uses stay white.
std::vector<TMask> Masks() {
  TGlassStyle button = ButtonStyle(3, 5);
  button.GlowRows = 6;
  TGlassStyle scrollButton = ButtonStyle(4, 6);
  TGlassStyle small = ButtonStyle(2.5f, 4);
  TGlassStyle tool = ButtonStyle(3, 4);
  tool.FlatNormal = true;
  TGlassStyle tabTop = ButtonStyle(3, 5);
  tabTop.OpenBottom = true;
  tabTop.Shadow = false;
  tabTop.Look = {kTabInactive, kGlassHot, kTabActive};
  TGlassStyle huge = ButtonStyle(12, 30);
  huge.GlowRows = 14;
  const TPainter tabTopPaint = Glass(tabTop);
  const TPainter tabBottomPaint = Flipped(Glass([&] {
    TGlassStyle s = tabTop;
    s.Band = 2;
    return s;
  }()));
  const TPainter tabLeftPaint = Transposed(tabTopPaint);
  const TPainter tabRightPaint = Mirrored(tabLeftPaint);
  const TPainter groove = PaintGroove;
  const TPainter field = PaintField;
  const TRgb pageFill = Ink(FromColorRef(COLORREF(kPageColor)));
  const TPainter pagePanel = Panel(pkPage, pageFill);

  const TPainter popup = PaintPopupFrame;
  const TPainter formFrame = PaintFormFrame;
  const TPainter texture = Sheen(Ink(kFormColour));

  std::vector<TMask> m = {
      // GLOBALINFO
      Glyph("GLOBALINFO", "BOXCHECKED", {147, 154, 195, 190}, 3, 1, CheckBoxGlyph(ckChecked)),
      Glyph("GLOBALINFO", "BOXUNCHECKED", {98, 154, 146, 190}, 3, 1, CheckBoxGlyph(ckUnchecked)),
      Glyph("GLOBALINFO", "RADIOCHECKED", {49, 154, 97, 190}, 3, 1, RadioGlyph(ckChecked)),
      Glyph("GLOBALINFO", "RADIOUNCHECKED", {0, 154, 48, 190}, 3, 1, RadioGlyph(ckUnchecked)),
      Glyph("GLOBALINFO", "BOXGRAYED", {195, 188, 243, 224}, 3, 1, CheckBoxGlyph(ckGrayed)),
      Glyph("GLOBALINFO", "BICONCLOSE", {244, 114, 304, 154}, 3, 1, TitleGlyph(tsClose)),
      Glyph("GLOBALINFO", "BICONHELP", {183, 114, 243, 154}, 3, 1, TitleGlyph(tsHelp)),
      Glyph("GLOBALINFO", "BICONMAX", {122, 114, 182, 154}, 3, 1, TitleGlyph(tsMax)),
      Glyph("GLOBALINFO", "BICONMIN", {61, 114, 121, 154}, 3, 1, TitleGlyph(tsMin)),
      Shared(Glyph("GLOBALINFO", "BICONNORM", {122, 114, 182, 154}, 3, 1, {})),
      Glyph("GLOBALINFO", "TITLEBUTTON", {0, 114, 60, 154}, 3, 1, TitleGlyph(tsNone)),
      Glyph("GLOBALINFO", "GRIPIMAGE", {252, 0, 270, 36}, 1, 1, PaintGrip),
      WithMatte(Glyph("GLOBALINFO", "SMALLCHECKED", {195, 236, 231, 248}, 3, 0, SmallBoxGlyph(ckChecked)), Ink(0x65, 0x9B, 0xC2)),
      WithMatte(Glyph("GLOBALINFO", "SMALLUNCHECKED", {195, 224, 231, 236}, 3, 0, SmallBoxGlyph(ckUnchecked)), Ink(0x65, 0x9B, 0xC2)),
      WithMatte(Glyph("GLOBALINFO", "SMALLGRAYED", {195, 248, 231, 260}, 3, 0, SmallBoxGlyph(ckGrayed)), Ink(0x65, 0x9B, 0xC2)),
      WithMatte(Glyph("GLOBALINFO", "CHECK", {216, 60, 227, 69}, 1, 0, PaintCheckMark), Ink(0x65, 0x9B, 0xC2)),
      // Flat borders
      K0("TABSHEET", 0, 60, pagePanel, pageFill),
      K0("PAGECONTROLBOTTOM", 12, 60, pagePanel, pageFill),
      K0("PAGECONTROLLEFT", 24, 60, pagePanel, pageFill),
      K0("PAGECONTROLRIGHT", 36, 60, pagePanel, pageFill),
      K0("TABCONTROLLEFT", 48, 60, pagePanel, pageFill),
      K0("TABCONTROLRIGHT", 60, 60, pagePanel, pageFill),
      K0("TABCONTROLBOTTOM", 72, 60, pagePanel, pageFill),
      K0("TOOLBAR", 84, 60, Panel(pkRaised, Ink(0xD6, 0xE4, 0xF2)), Ink(0xD6, 0xE4, 0xF2)),
      Border("GROUPBOX", {63, 72, 84, 114}, 1, 1, 7, 7, 7, 7, Etched(Ink(0x86, 0xA8, 0xCA), 4, 0.7f)),
      K0("PANEL_LOW", 96, 60, Panel(pkLowered, Ink(0xE2, 0xEC, 0xF6)), Ink(0xE2, 0xEC, 0xF6)),
      K1("PROGRESSH", 180, 220, groove),
      K1("GAUGE", 210, 72, groove),
      K2("COMBOBOX", 0, 220, field),
      Glyph("COMBOBOX", "GLYPHMASK", {104, 252, 131, 258}, 3, 0, PaintComboArrow),
      K2("SCROLLBAR1H", 60, 220, groove),
      K2("SCROLLBAR2H", 90, 220, groove),
      K2("SCROLLBAR1V", 120, 220, Transposed(groove)),
      K2("SCROLLBAR2V", 150, 220, Transposed(groove)),
      K3("SPEEDBUTTON_SMALL", 0, 190, Glass(small)),
      K0("STATUSBAR", 108, 60, Panel(pkRaised, Ink(0xC8, 0xDC, 0xEE)), Ink(0xC8, 0xDC, 0xEE)),
      Border("SCROLLBTNRIGHT", {0, 72, 63, 114}, 3, 1, 7, 7, 7, 7, Glass(scrollButton)),
      Glyph("SCROLLBTNRIGHT", "GLYPHMASK", {264, 39, 282, 47}, 3, 0, PaintArrowRight),
      K3("SCROLLBTNTOP", 0, 0, Glass(small)),
      Glyph("SCROLLBTNTOP", "GLYPHMASK", {0, 252, 24, 258}, 3, 0, Flipped(Transposed(PaintArrowRight))),
      Shared(Border("SCROLLBTNLEFT", {0, 72, 63, 114}, 3, 1, 7, 7, 7, 7, {})),
      Glyph("SCROLLBTNLEFT", "GLYPHMASK", {282, 39, 300, 47}, 3, 0, Mirrored(PaintArrowRight)),
      K3("SCROLLBTNBOTTOM", 45, 0, Glass(small)),
      Glyph("SCROLLBTNBOTTOM", "GLYPHMASK", {26, 252, 50, 258}, 3, 0, Transposed(PaintArrowRight)),
      K3("SCROLLSLIDERH", 90, 0, Glass(small)),
      Glyph("SCROLLSLIDERH", "GLYPHMASK", {52, 251, 76, 259}, 3, 0, PaintThumbRidges),
      K3("SCROLLSLIDERV", 135, 0, Transposed(Glass(small))),
      Glyph("SCROLLSLIDERV", "GLYPHMASK", {78, 251, 102, 259}, 3, 0, Transposed(PaintThumbRidges)),
      K0("TABCONTROL", 120, 60, pagePanel, pageFill),
      Border("MENUITEM", {126, 72, 168, 114}, 2, 1, 7, 7, 7, 7, PaintMenuItem),
      K1("DIVIDER", 225, 30, Etched(Ink(0xA6, 0xBE, 0xD6), 2)),
      K3("TABTOP", 180, 0, tabTopPaint),
      K3("TABRIGHT", 90, 30, tabRightPaint),
      K3("TABLEFT", 45, 30, tabLeftPaint),
      K3("TABBOTTOM", 0, 30, tabBottomPaint),
      Hard(Border("DIALOG", {189, 72, 210, 114}, 1, 1, 7, 7, 7, 7, popup)),
      Texture("DIALOG", "PATTERN", {252, 154, 304, 190}, texture),
      Shared(Texture("DIALOG", "HOTPATTERN", {252, 154, 304, 190}, {})),
      Hard(Border("FORMTITLE", {231, 60, 252, 96}, 1, 1, 7, 7, 6, 6, PaintTitleBand)),
      K1("PROGRESSV", 168, 72, Transposed(groove)),
      Shared(Glyph("FORM", "BICONCLOSE", {244, 114, 304, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "BICONHELP", {183, 114, 243, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "BICONMAX", {122, 114, 182, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "BICONMIN", {61, 114, 121, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "BICONNORM", {122, 114, 182, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "TITLEBUTTON", {0, 114, 60, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "GRIPIMAGE", {252, 0, 270, 36}, 1, 1, {})),
      WithMatte(Hard(Border("FORM", {135, 60, 147, 72}, 1, 0, 4, 4, 4, 4, formFrame)), Ink(kFormColour)),
      Shared(Texture("FORM", "HOTPATTERN", {252, 154, 304, 190}, {})),
      Shared(Texture("FORM", "PATTERN", {252, 154, 304, 190}, {})),
      K2("EDIT", 135, 190, field),
      K0("PANEL", 147, 60, Panel(pkRaised, Ink(0xDE, 0xEA, 0xF5)), Ink(0xDE, 0xEA, 0xF5)),
      K0("BAR", 159, 60, Panel(pkRaised, Ink(0xD4, 0xE4, 0xF3)), Ink(0xD4, 0xE4, 0xF3)),
      K0("BARPANEL", 171, 60, Panel(pkRaised, Ink(0xE6, 0xF0, 0xF9)), Ink(0xE6, 0xF0, 0xF9)),
      K3("TOOLBUTTON", 135, 30, Glass(tool)),
      K3("SPEEDBUTTON", 180, 30, Glass(button)),
      K0("PAGECONTROL", 183, 60, pagePanel, pageFill),
      K0("BARTITLE", 195, 60, Panel(pkRaised, Ink(0x5E, 0x8C, 0xBE)), Ink(0x5E, 0x8C, 0xBE)),
      Hard(Border("MAINMENU", {189, 72, 210, 114}, 1, 1, 7, 7, 7, 7, {})),
      K1("HINT", 225, 0, Etched(Ink(0x6A, 0x8E, 0xB6), 3, 0.85f)),
      Texture("MDIAREA", "PATTERN", {252, 47, 304, 83}, Sheen(Ink(0x6F, 0x93, 0xB4))),
      Glyph("TRACKBAR", "TICKVERT", {224, 156, 229, 158}, 1, 0, Transposed(PaintTick)),
      Glyph("TRACKBAR", "TICKHORZ", {219, 156, 221, 161}, 1, 0, PaintTick),
      Glyph("TRACKBAR", "SLIDERVMASK", {243, 220, 297, 242}, 3, 1, Transposed(PaintTrackThumb)),
      Glyph("TRACKBAR", "SLIDERMASK", {270, 0, 303, 36}, 3, 1, PaintTrackThumb),
      Channel(Border("TRACKBAR", {197, 156, 215, 168}, 1, 1, 4, 4, 2, 2, PaintChannel)),
      Carried(Border("BUTTON_HUGE", {0, 0, kHugeWidth, kHugeHeight}, 3, 1, 32, 32, 32, 32, Glass(huge))),
      K3("BUTTON_BIG", 45, 190, Glass(ButtonStyle(4, 5))),
      K3("COLHEADER", 90, 190, PaintHeader),
      WithBorderWidth(Border("BUTTON", {243, 190, 286, 220}, 3, 1, 6, 7, 6, 8, Glass(button)), 1),
      K2("KARVOEDIT", 165, 190, field),
      K2("KARVOCOMBOBOX", 30, 220, field),
      Glyph("KARVOCOMBOBOX", "GLYPHMASK", {133, 252, 160, 258}, 3, 0, PaintComboArrow),
  };
  return m;
}

// ---- Checks -------------------------------------------------------------------------------------

[[noreturn]] void Fail(const std::string& message) { throw std::runtime_error(message); }

// The tables must keep the shape the skin engine expects: the section list, the number of
// masks of each kind, rectangles inside their picture, and no two masks on one area unless
// they are the same picture.
void CheckTables(const std::vector<TSection>& sections, const std::vector<TMask>& masks) {
  if (sections.size() != 64 || !sections.back().SectionName.empty()) Fail("64 sections expected, the last without a name");
  std::set<std::string> names;
  for (size_t i = 0; i + 1 < sections.size(); ++i)
    if (!names.insert(sections[i].SectionName).second) Fail("section twice: " + sections[i].SectionName);

  const std::map<std::string, int> expected = {
      {"BORDERSMASK", 52}, {"GLYPHMASK", 8}, {"PATTERN", 3}, {"HOTPATTERN", 2}, {"TITLEBUTTON", 2}, {"GRIPIMAGE", 2},
      {"BICONNORM", 2}, {"BICONMIN", 2}, {"BICONMAX", 2}, {"BICONHELP", 2}, {"BICONCLOSE", 2}, {"TICKVERT", 1},
      {"TICKHORZ", 1}, {"SLIDERVMASK", 1}, {"SLIDERMASK", 1}, {"SLIDERCHANNEL", 1}, {"CHECK", 1}, {"BOXCHECKED", 1},
      {"BOXUNCHECKED", 1}, {"BOXGRAYED", 1}, {"RADIOCHECKED", 1}, {"RADIOUNCHECKED", 1}, {"SMALLCHECKED", 1},
      {"SMALLUNCHECKED", 1}, {"SMALLGRAYED", 1}};
  std::map<std::string, int> counts;
  std::set<std::pair<std::string, std::string>> keys;
  for (const TMask& m : masks) {
    ++counts[m.Property];
    if (!names.count(m.Section)) Fail("mask of an unknown section: " + m.Section);
    if (!keys.insert({m.Section, m.Property}).second) Fail("mask twice: " + m.Section + " " + m.Property);
    const TRect bounds = m.Carried ? TRect{0, 0, kHugeWidth, kHugeHeight} : TRect{0, 0, kMasterWidth, kMasterHeight};
    if (m.R.IsEmpty() || m.R.Intersect(bounds) != m.R) Fail("mask outside its picture: " + m.Section + " " + m.Property);
    const int fw = m.R.Width() / m.ImageCount, fh = m.R.Height() / (m.MaskType + 1);
    if (m.R.Height() % (m.MaskType + 1) != 0) Fail("mask height not a whole number of parts: " + m.Section);
    if (m.ImgType == itisaBorder && (m.WL + m.WR > fw || m.WT + m.WB > fh))
      Fail("margins wider than the image: " + m.Section + " " + m.Property);
  }
  if (masks.size() != 93) Fail("93 masks expected, " + std::to_string(masks.size()) + " found");
  if (counts != expected) Fail("the number of masks of some kind is wrong");

  for (size_t i = 0; i < masks.size(); ++i) {
    const TMask& a = masks[i];
    if (a.Carried) continue;
    bool drawnElsewhere = false;
    for (size_t j = 0; j < masks.size(); ++j) {
      const TMask& b = masks[j];
      if (i == j || b.Carried || a.R.Intersect(b.R).IsEmpty()) continue;
      if (a.R != b.R || (a.Paint && b.Paint)) Fail("masks overlap: " + a.Section + " " + a.Property + " and " + b.Section + " " + b.Property);
      if (b.Paint) drawnElsewhere = true;
    }
    if (!a.Paint && !drawnElsewhere) Fail("nothing draws the area of " + a.Section + " " + a.Property);
  }
}

// ---- Drawing the pictures ---------------------------------------------------------------------

// Greys of the mask halves: 17 steps, from black (picture shown) to white (background kept).
int MaskGrey(float alpha) {
  const int step = int(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 16));
  return 255 - int(std::lround(step * 255.0 / 16));
}

// Paints one state image of a border through a larger picture cut into nine parts: corners
// and the far parts of the edges come from the large picture, every centre row and column
// from its middle, so edges stay the same along their length and the centre is even.
TLayer PaintSliced(const TMask& m, int state, int fw, int fh) {
  constexpr int kPad = 16;
  const int vw = m.WL + m.WR + 2 * kPad, vh = m.WT + m.WB + 2 * kPad;
  const TLayer big = m.Paint(state, vw, vh);
  auto mapX = [&](int x) { return x < m.WL ? x : x >= fw - m.WR ? vw - (fw - x) : m.WL + kPad; };
  auto mapY = [&](int y) { return y < m.WT ? y : y >= fh - m.WB ? vh - (fh - y) : m.WT + kPad; };
  TLayer out(fw, fh);
  for (int y = 0; y < fh; ++y)
    for (int x = 0; x < fw; ++x) out.At(x, y) = big.At(mapX(x), mapY(y));
  return out;
}

// Whether each pixel of a state image takes the key colour. Glyphs key every clear pixel;
// borders only the clear pixels of their corner pieces that the outer edge reaches, so the
// clear inside of a hollow frame never becomes a hole in a window outline.
std::vector<char> KeyedPixels(const TMask& m, const TLayer& layer) {
  const int fw = layer.Width(), fh = layer.Height();
  auto clear = [&](int x, int y) {
    const float a = layer.Alpha(x, y);
    return m.MaskType == 0 || m.HardCorners ? a < 0.5f : MaskGrey(a) == 255;
  };
  std::vector<char> keyed(size_t(fw) * size_t(fh), 0);
  if (m.ImgType == itisaTexture) return keyed;
  if (m.ImgType == itisaGlyph) {
    for (int y = 0; y < fh; ++y)
      for (int x = 0; x < fw; ++x) keyed[size_t(y * fw + x)] = clear(x, y);
    return keyed;
  }
  auto corner = [&](int x, int y) { return (x < m.WL || x >= fw - m.WR) && (y < m.WT || y >= fh - m.WB); };
  std::vector<std::pair<int, int>> todo;
  auto visit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= fw || y >= fh || keyed[size_t(y * fw + x)] || !corner(x, y) || !clear(x, y)) return;
    keyed[size_t(y * fw + x)] = 1;
    todo.push_back({x, y});
  };
  for (int x = 0; x < fw; ++x) {
    visit(x, 0);
    visit(x, fh - 1);
  }
  for (int y = 0; y < fh; ++y) {
    visit(0, y);
    visit(fw - 1, y);
  }
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    visit(x - 1, y);
    visit(x + 1, y);
    visit(x, y - 1);
    visit(x, y + 1);
  }
  return keyed;
}

void DrawMask(TDib& bmp, const TMask& m) {
  const int fw = m.R.Width() / m.ImageCount, fh = m.R.Height() / (m.MaskType + 1);
  for (int s = 0; s < m.ImageCount; ++s) {
    const TLayer layer = m.ImgType == itisaBorder ? PaintSliced(m, s, fw, fh) : m.Paint(s, fw, fh);
    const std::vector<char> keyed = KeyedPixels(m, layer);
    const int x0 = m.R.Left + s * fw, y0 = m.R.Top;
    for (int y = 0; y < fh; ++y)
      for (int x = 0; x < fw; ++x) {
        const bool key = keyed[size_t(y * fw + x)];
        const float a = layer.Alpha(x, y);
        const TRgb c = layer.Colour(x, y);
        if (m.MaskType == 1) {
          // Pixels of a hard outline are either keyed or fully shown.
          const int grey = key ? 255 : m.HardCorners && a >= 0.5f && (x < m.WL || x >= fw - m.WR) && (y < m.WT || y >= fh - m.WB) ? 0 : MaskGrey(a);
          bmp.SetPixel(x0 + x, y0 + y, key ? kKey : ToColorRef(c));
          bmp.SetPixel(x0 + x, y0 + fh + y, RGB(grey, grey, grey));
        } else {
          bmp.SetPixel(x0 + x, y0 + y, key ? kKey : ToColorRef(Mix(m.Matte, c, a)));
        }
      }
  }
}

// Median cut over the colours that are free to move; the key colour and the mask greys are
// kept exactly. The result has at most 256 colours, so writing it with 8 bits loses nothing
// more.
TDib ReduceColours(const TDib& picture) {
  std::map<COLORREF, int> histogram;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) ++histogram[picture.GetPixel(x, y)];
  if (histogram.size() <= 256) return picture;

  std::set<COLORREF> fixed;
  for (const auto& [c, n] : histogram) {
    const bool grey = GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
    if (c == kKey || (grey && MaskGrey((255 - GetRValue(c)) / 255.0f) == GetRValue(c))) fixed.insert(c);
  }
  struct TEntry {
    COLORREF C;
    int N;
  };
  std::vector<std::vector<TEntry>> boxes(1);
  for (const auto& [c, n] : histogram)
    if (!fixed.count(c)) boxes[0].push_back({c, n});
  auto channel = [](COLORREF c, int i) { return int((c >> (8 * i)) & 0xFF); };
  auto range = [&](const std::vector<TEntry>& box, int i) {
    int lo = 255, hi = 0;
    for (const TEntry& e : box) {
      lo = std::min(lo, channel(e.C, i));
      hi = std::max(hi, channel(e.C, i));
    }
    return hi - lo;
  };
  const size_t budget = 256 - fixed.size();
  while (boxes.size() < budget) {
    size_t best = boxes.size();
    int bestRange = 0, bestChannel = 0;
    for (size_t b = 0; b < boxes.size(); ++b)
      for (int i = 0; i < 3; ++i)
        if (boxes[b].size() > 1 && range(boxes[b], i) > bestRange) {
          best = b;
          bestRange = range(boxes[b], i);
          bestChannel = i;
        }
    if (best == boxes.size()) break;
    std::vector<TEntry>& box = boxes[best];
    std::sort(box.begin(), box.end(), [&](const TEntry& a, const TEntry& b) {
      return channel(a.C, bestChannel) != channel(b.C, bestChannel) ? channel(a.C, bestChannel) < channel(b.C, bestChannel) : a.C < b.C;
    });
    long total = 0, run = 0;
    for (const TEntry& e : box) total += e.N;
    size_t cut = 1;
    for (size_t i = 0; i + 1 < box.size(); ++i) {
      run += box[i].N;
      cut = i + 1;
      if (run * 2 >= total) break;
    }
    std::vector<TEntry> upper(box.begin() + long(cut), box.end());
    box.resize(cut);
    boxes.push_back(std::move(upper));
  }
  std::vector<COLORREF> palette;
  for (const auto& box : boxes) {
    double r = 0, g = 0, b = 0, n = 0;
    for (const TEntry& e : box) {
      r += GetRValue(e.C) * double(e.N);
      g += GetGValue(e.C) * double(e.N);
      b += GetBValue(e.C) * double(e.N);
      n += e.N;
    }
    palette.push_back(RGB(int(std::lround(r / n)), int(std::lround(g / n)), int(std::lround(b / n))));
  }
  for (COLORREF c : fixed)
    if (c != kKey) palette.push_back(c);

  std::map<COLORREF, COLORREF> nearest;
  for (const auto& [c, n] : histogram) {
    if (fixed.count(c)) {
      nearest[c] = c;
      continue;
    }
    long bestDistance = -1;
    COLORREF best = 0;
    for (COLORREF p : palette) {
      const long dr = long(GetRValue(c)) - GetRValue(p), dg = long(GetGValue(c)) - GetGValue(p), db = long(GetBValue(c)) - GetBValue(p);
      const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (bestDistance < 0 || d < bestDistance) {
        bestDistance = d;
        best = p;
      }
    }
    nearest[c] = best;
  }
  TDib out = picture;
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) out.SetPixel(x, y, nearest[picture.GetPixel(x, y)]);
  return out;
}

size_t DistinctColours(const TDib& picture) {
  std::set<COLORREF> colours;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) colours.insert(picture.GetPixel(x, y));
  return colours.size();
}

struct TPictures {
  TDib Master;  // 24 bits as drawn, then 8 bits as stored
  TDib Huge;
};

TPictures DrawPictures(const std::vector<TMask>& masks) {
  TPictures p{TDib(kMasterWidth, kMasterHeight, 24), TDib(kHugeWidth, kHugeHeight, 24)};
  p.Master.Fill(RGB(255, 255, 255));
  p.Huge.Fill(RGB(255, 255, 255));
  for (const TMask& m : masks)
    if (m.Paint) DrawMask(m.Carried ? p.Huge : p.Master, m);
  return p;
}

// The stored pictures always carry a full table of 256 colours.
TDib Palettised(const TDib& picture) {
  TDib out = QuantizeTo8(ReduceColours(picture));
  out.Palette().resize(256, 0);
  return out;
}

// ---- The stored form ------------------------------------------------------------------------

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string ColorText(TColor c) {
  switch (c) {
    case clBlack: return "clBlack";
    case clWhite: return "clWhite";
    case clLime: return "clLime";
    default: return std::to_string(c);
  }
}

std::string BoolText(bool b) { return b ? "True" : "False"; }

std::string BevelText(TBevel b) {
  static const char* const names[] = {"cbNone", "cbRaisedSoft", "cbLoweredSoft", "cbRaisedHard", "cbLoweredHard"};
  return names[b];
}

std::string ImgTypeText(TImgType t) {
  static const char* const names[] = {"itisaBorder", "itisaTexture", "itisaGlyph"};
  return names[t];
}

class TLayoutWriter {
 public:
  explicit TLayoutWriter(std::string indent) : FIndent(std::move(indent)) {}
  void Line(int depth, const std::string& s) { FText += FIndent + std::string(size_t(depth) * 2, ' ') + s + "\n"; }
  void Prop(int depth, const std::string& name, const std::string& value) { Line(depth, name + " = " + value); }
  void Text(int depth, const std::string& name, const std::string& value) {
    if (!value.empty()) Prop(depth, name, Quoted(value));
  }
  const std::string& Result() const { return FText; }

 private:
  std::string FIndent;
  std::string FText;
};

std::string SkinLayoutText(const std::vector<TSection>& sections, const std::vector<TMask>& masks, const std::string& indent) {
  TLayoutWriter w(indent);
  w.Line(0, "InternalSkins = <");
  w.Line(1, "item");
  w.Text(2, "Name", kSkinName);
  w.Line(2, "GeneralData = <");
  for (size_t i = 0; i < sections.size(); ++i) {
    const TSection& s = sections[i];
    constexpr int d = 4;
    w.Line(3, "item");
    w.Text(d, "SectionName", s.SectionName);
    w.Text(d, "ParentClass", s.ParentClass);
    w.Prop(d, "Color", ColorText(s.Color));
    w.Prop(d, "Bevel", BevelText(s.Bevel));
    w.Prop(d, "ShadowBlur", std::to_string(s.ShadowBlur));
    w.Prop(d, "ShadowColor", ColorText(s.ShadowColor));
    w.Prop(d, "ShadowDontUse", BoolText(s.ShadowDontUse));
    w.Prop(d, "ShadowEnabled", BoolText(s.ShadowEnabled));
    w.Prop(d, "ReservedBoolean", BoolText(s.ReservedBoolean));
    w.Prop(d, "ShadowOffset", std::to_string(s.ShadowOffset));
    w.Prop(d, "ShadowTransparency", std::to_string(s.ShadowTransparency));
    w.Text(d, "FontColor", s.FontColor);
    w.Text(d, "HotFontColor", s.HotFontColor);
    w.Prop(d, "Transparency", std::to_string(s.Transparency));
    w.Prop(d, "GradientPercent", std::to_string(s.GradientPercent));
    w.Text(d, "GradientData", s.GradientData);
    w.Prop(d, "ImagePercent", std::to_string(s.ImagePercent));
    w.Prop(d, "ShowFocus", BoolText(s.ShowFocus));
    w.Prop(d, "FadingEnabled", BoolText(s.FadingEnabled));
    w.Prop(d, "FadingIntervalIn", std::to_string(s.FadingIntervalIn));
    w.Prop(d, "FadingIntervalOut", std::to_string(s.FadingIntervalOut));
    w.Prop(d, "FadingIterations", std::to_string(s.FadingIterations));
    w.Prop(d, "HotColor", ColorText(s.HotColor));
    w.Prop(d, "HotTransparency", std::to_string(s.HotTransparency));
    w.Prop(d, "HotBevel", BevelText(s.HotBevel));
    w.Prop(d, "HotGradientPercent", std::to_string(s.HotGradientPercent));
    w.Text(d, "HotGradientData", s.HotGradientData);
    w.Prop(d, "HotImagePercent", std::to_string(s.HotImagePercent));
    w.Prop(d, "BorderColor1", ColorText(s.BorderColor1));
    w.Prop(d, "BorderColor2", ColorText(s.BorderColor2));
    w.Text(d, "Name", s.Name);
    w.Line(3, i + 1 < sections.size() ? "end" : "end>");
  }
  w.Line(2, "Images = <");
  for (size_t i = 0; i < masks.size(); ++i) {
    const TMask& m = masks[i];
    constexpr int d = 4;
    const TRect r = m.R;
    w.Line(3, "item");
    w.Text(d, "SectionName", m.Section);
    if (m.Carried) {
      w.Prop(d, "Image.Data", "{ file " + Quoted(std::string("skin/") + kHugeName) + " }");
      w.Text(d, "Name", kHugeName);
    }
    w.Text(d, "PropertyName", m.Property);
    w.Prop(d, "Left", std::to_string(r.Left));
    w.Prop(d, "Top", std::to_string(r.Top));
    w.Prop(d, "Right", std::to_string(r.Right));
    w.Prop(d, "Bottom", std::to_string(r.Bottom));
    w.Prop(d, "ImageCount", std::to_string(m.ImageCount));
    w.Prop(d, "MaskType", std::to_string(m.MaskType));
    w.Prop(d, "BorderWidth", std::to_string(m.BorderWidth));
    w.Prop(d, "StretchMode", std::to_string(m.StretchMode));
    w.Prop(d, "ImgType", ImgTypeText(m.ImgType));
    w.Prop(d, "WL", std::to_string(m.WL));
    w.Prop(d, "WR", std::to_string(m.WR));
    w.Prop(d, "WT", std::to_string(m.WT));
    w.Prop(d, "WB", std::to_string(m.WB));
    w.Line(3, i + 1 < masks.size() ? "end" : "end>");
  }
  w.Prop(2, "Patterns", "<>");
  w.Prop(2, "MasterBitmap.Data", "{ file 'skin/BlueGlass.bmp' }");
  w.Prop(2, "Shadow1Color", ColorText(clBlack));
  w.Prop(2, "Shadow1Offset", "3");
  w.Prop(2, "Shadow1Blur", "6");
  w.Prop(2, "Shadow1Transparency", "60");
  w.Prop(2, "Version", "4.81");
  w.Text(2, "Description", "Light glassy blue, carried inside the program");
  w.Line(1, "end>");
  return w.Result();
}

// Puts the skin between "// skin begin" and "// skin end" inside the skin manager's object,
// adding the two lines before its SkinDirectory line the first time.
std::string ReplaceSkinBlock(const std::string& layout, const std::vector<TSection>& sections, const std::vector<TMask>& masks) {
  const std::string begin = "// skin begin", end = "// skin end";
  std::vector<std::string> lines;
  {
    std::istringstream in(layout);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  auto trimmed = [](const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a);
  };
  auto indentOf = [](const std::string& s) { return s.substr(0, s.find_first_not_of(" \t")); };
  size_t first = lines.size(), last = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (trimmed(lines[i]) == begin && first == lines.size()) first = i;
    if (trimmed(lines[i]) == end && first != lines.size() && last == lines.size()) last = i;
  }
  if (first == lines.size()) {
    size_t manager = lines.size();
    for (size_t i = 0; i < lines.size(); ++i)
      if (trimmed(lines[i]).rfind("object sSkinManager1:", 0) == 0) manager = i;
    if (manager == lines.size()) Fail("the layout has no sSkinManager1 object");
    size_t at = lines.size();
    for (size_t i = manager + 1; i < lines.size() && trimmed(lines[i]) != "end"; ++i)
      if (trimmed(lines[i]).rfind("SkinDirectory", 0) == 0) at = i;
    if (at == lines.size()) Fail("the skin manager of the layout has no SkinDirectory line");
    const std::string indent = indentOf(lines[at]);
    lines.insert(lines.begin() + long(at), {indent + begin, indent + end});
    first = at;
    last = at + 1;
  }
  if (last == lines.size()) Fail("'// skin begin' without '// skin end' in the layout");
  const std::string indent = indentOf(lines[first]);
  std::string out;
  for (size_t i = 0; i <= first; ++i) out += lines[i] + "\n";
  out += SkinLayoutText(sections, masks, indent);
  for (size_t i = last; i < lines.size(); ++i) out += lines[i] + "\n";
  return out;
}

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadPictureFile(path);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
  WritePictureFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}


// ---- Skin folders ------------------------------------------------------------------------------
//
// The skins that ship with the program as folders (assets/skins/<Name>/): the masks of the
// internal skin drawn again in colours of their own, the sections with their colours mapped
// the same way, a JPEG pattern for the window's background, and an Options.dat that uses
// every kind of mask value.

struct THsl {
  float H = 0, S = 0, L = 0;  // degrees, 0..1, 0..1
};

THsl ToHsl(TRgb c) {
  const float r = c.R / 255, g = c.G / 255, b = c.B / 255;
  const float hi = std::max({r, g, b}), lo = std::min({r, g, b}), d = hi - lo;
  THsl out;
  out.L = (hi + lo) / 2;
  if (d <= 0) return out;
  out.S = out.L > 0.5f ? d / (2 - hi - lo) : d / (hi + lo);
  if (hi == r) out.H = 60 * std::fmod((g - b) / d + 6, 6.0f);
  else if (hi == g) out.H = 60 * ((b - r) / d + 2);
  else out.H = 60 * ((r - g) / d + 4);
  return out;
}

TRgb FromHsl(THsl c) {
  c.S = std::clamp(c.S, 0.0f, 1.0f);
  c.L = std::clamp(c.L, 0.0f, 1.0f);
  const float q = c.L < 0.5f ? c.L * (1 + c.S) : c.L + c.S - c.L * c.S, p = 2 * c.L - q;
  auto channel = [&](float t) {
    t = std::fmod(t + 360, 360.0f);
    float v = t < 60 ? p + (q - p) * t / 60 : t < 180 ? q : t < 240 ? p + (q - p) * (240 - t) / 60 : p;
    return v * 255;
  };
  return {channel(c.H + 120), channel(c.H), channel(c.H - 120)};
}

// The internal skin's colours fall into three groups: its blues (faces, outlines, frames),
// the saturated blues of hot and pressed states and of check marks (accents), and the few
// other colours (the red of a hot close button, greys).
enum TColourKind { ckBlue, ckAccent, ckOther };
TColourKind KindOf(const THsl& c) {
  if (c.S <= 0.04f || c.H < 150 || c.H > 270) return ckOther;
  return c.S >= 0.55f && c.L < 0.75f ? ckAccent : ckBlue;
}

struct TFolderSkin {
  std::string Name;
  std::string Description;
  TTheme Theme;
  std::function<TRgb(TRgb)> Text;     // text colours of the sections
  std::function<TRgb(TRgb)> Contour;  // text contour colours
  TRgb PatternBase;                   // the window's background pattern
  bool Brushed = false;               // brushed metal rather than paper
};

// Graphite: dark neutral greys with a touch of blue, white text, an orange accent for hot,
// pressed and checked things.
TFolderSkin GraphiteSkin() {
  TFolderSkin skin;
  skin.Name = "Graphite";
  skin.Description = "Dark graphite greys with an orange accent";
  skin.Theme.Shine = 0.45f;
  skin.Theme.Map = [](TRgb c) {
    THsl h = ToHsl(c);
    switch (KindOf(h)) {
      case ckAccent:
        return FromHsl({28, 0.9f, 0.36f + 0.45f * h.L});
      case ckBlue:
        return FromHsl({212, h.S * 0.14f, 0.08f + 0.42f * h.L});
      case ckOther:
        break;
    }
    // White stays light: the symbols on title buttons and the shine of glass.
    if (h.S <= 0.04f) return FromHsl({212, 0.04f, h.L >= 0.98f ? 0.86f : 0.08f + 0.42f * h.L});
    return FromHsl({h.H, h.S * 0.8f, 0.12f + 0.7f * h.L});
  };
  skin.Text = [](TRgb c) {
    const THsl h = ToHsl(c);
    return h.L < 0.5f ? FromHsl({212, 0.10f, 0.93f - 0.3f * h.L}) : FromHsl({28, 0.9f, 0.62f});
  };
  skin.Contour = [](TRgb) { return Rgb(0x14, 0x16, 0x19); };
  skin.PatternBase = Rgb(0x3A, 0x3D, 0x42);
  skin.Brushed = true;
  return skin;
}

// Amber: warm cream and honey tones, brown text, a deeper orange accent.
TFolderSkin AmberSkin() {
  TFolderSkin skin;
  skin.Name = "Amber";
  skin.Description = "Warm light amber and cream";
  skin.Theme.Shine = 0.9f;
  skin.Theme.Map = [](TRgb c) {
    THsl h = ToHsl(c);
    switch (KindOf(h)) {
      case ckAccent:
        return FromHsl({24, 0.78f, 0.12f + 0.8f * h.L});
      case ckBlue:
        return FromHsl({36, std::min(1.0f, h.S * 0.95f), 0.02f + 0.97f * h.L});
      case ckOther:
        break;
    }
    if (h.S <= 0.04f) return FromHsl({36, 0.10f, h.L});
    return FromHsl({h.H, h.S, h.L});
  };
  skin.Text = [](TRgb c) {
    const THsl h = ToHsl(c);
    return h.L < 0.5f ? FromHsl({22, 0.55f, 0.08f + 0.6f * h.L}) : FromHsl({36, 0.3f, std::max(h.L, 0.9f)});
  };
  skin.Contour = [](TRgb c) {
    const THsl h = ToHsl(c);
    return h.L < 0.5f ? FromHsl({22, 0.6f, 0.12f + 0.3f * h.L}) : FromHsl({40, 0.6f, std::max(h.L, 0.85f)});
  };
  skin.PatternBase = Rgb(0xEE, 0xDD, 0xBE);
  return skin;
}

TColor MapColor(const std::function<TRgb(TRgb)>& map, TColor c) {
  if (c == -1) return c;
  return TColor(ToColorRef(map(FromColorRef(COLORREF(ColorToRGB(c))))));
}

std::string MapGradient(const std::function<TRgb(TRgb)>& map, const std::string& text) {
  std::vector<std::string> words;
  std::stringstream in(text);
  for (std::string w; std::getline(in, w, ';');)
    if (!w.empty() && w != " ") words.push_back(w);
  if (words.size() < 5) return text;
  std::string out;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string w = words[i];
    if (i % 5 < 2) w = std::to_string(MapColor(map, TColor(std::stol(w))));
    out += (i ? ";" : "") + w;
  }
  return out;
}

// "text left top right bottom" with the text colour and the contours mapped.
std::array<TColor, 5> MapFontColor(const TFolderSkin& skin, const std::string& text) {
  std::array<TColor, 5> c = {0, -1, -1, -1, -1};
  std::stringstream in(text);
  for (size_t i = 0; i < 5 && in >> c[i]; ++i) {
  }
  c[0] = MapColor(skin.Text, c[0]);
  for (size_t i = 1; i < 5; ++i) c[i] = MapColor(skin.Contour, c[i]);
  return c;
}

// A texture that tiles without seams: brushed metal (fine streaks along the rows) or paper
// (soft mottling and fibres). Values come from a hash of the wrapped position, so every run
// draws the same picture.
TDib DrawPattern(const TFolderSkin& skin, int w, int h) {
  auto hash = [](uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return float(x & 0xFFFF) / 65535.0f - 0.5f;
  };
  auto noise = [&](int x, int y) {
    x = (x % w + w) % w;
    y = (y % h + h) % h;
    return hash(uint32_t(y * w + x) * 2654435761u + 12345u);
  };
  TDib dib(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float v;
      if (skin.Brushed) {
        float streak = 0;
        for (int k = -6; k <= 6; ++k) streak += noise(x + k, y);  // long along the row
        v = streak * 4.0f + noise(x, y) * 5.0f + noise(0, y) * 6.0f;
      } else {
        float mottle = 0;
        for (int dy = -3; dy <= 3; ++dy)
          for (int dx = -3; dx <= 3; ++dx) mottle += noise(x + dx, y + dy);
        v = mottle * 0.9f + noise(x, y) * 4.0f + (noise(x / 4, y) > 0.47f ? -5.0f : 0.0f);
      }
      const TRgb c = skin.PatternBase;
      dib.SetPixel(x, y, ToColorRef({c.R + v, c.G + v, c.B + v * 0.9f}));
    }
  return dib;
}

void SaveJpegFile(const TDib& picture, const std::string& path) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(picture.Width());
  info.image_height = JDIMENSION(picture.Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(picture.Width()) * 3);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < picture.Width(); ++x) {
      const COLORREF c = picture.GetPixel(x, int(info.next_scanline));
      row[size_t(x) * 3] = GetRValue(c);
      row[size_t(x) * 3 + 1] = GetGValue(c);
      row[size_t(x) * 3 + 2] = GetBValue(c);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  const std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  WritePictureFile(path, bytes);
}

constexpr int kPatternWidth = 320, kPatternHeight = 300;  // 96,000 pixels: a pattern, not a texture
const char* const kPatternFile = "Background.jpg";

std::string Padded(int value, int width) {
  std::string s = std::to_string(value);
  return std::string(size_t(std::max(0, width - int(s.size()))), '0') + s;
}

// The value of one mask in Options.dat. Every kind of value occurs: glyphs in "@" columns,
// borders whose widths are the default ones as "#(...)(...)", other borders in "^" columns,
// textures in "~" columns, the big button as "!" with its own file, and the backgrounds of
// the window and of dialogs as the JPEG pattern.
std::string MaskValue(const TMask& m) {
  const TRect r = m.R;
  const std::string rect = Padded(r.Left, 4) + " " + Padded(r.Top, 4) + " " + Padded(r.Right, 4) + " " + Padded(r.Bottom, 4);
  if ((m.Section == "FORM" || m.Section == "DIALOG") && (m.Property == "PATTERN" || m.Property == "HOTPATTERN"))
    return kPatternFile;
  if (m.Carried)
    return std::string("!") + kHugeName + "!" + std::to_string(m.ImageCount) + "!" + std::to_string(m.MaskType) + "!" +
           std::to_string(int(m.ImgType)) + "!" + std::to_string(m.WL) + "!" + std::to_string(m.WT) + "!" +
           std::to_string(m.WR) + "!" + std::to_string(m.WB);
  if (m.ImgType == itisaGlyph) return "@" + rect + " " + std::to_string(m.ImageCount) + " " + std::to_string(m.MaskType);
  if (m.ImgType == itisaTexture) return "~" + rect + " " + Padded(m.StretchMode, 2) + " " + std::to_string(m.MaskType);
  const int dw = r.Width() / (m.ImageCount * 3), dh = r.Height() / ((m.MaskType + 1) * 3);
  if (m.Property == "BORDERSMASK" && m.BorderWidth == 0 && m.StretchMode == 1 && m.WL == dw && m.WR == dw && m.WT == dh &&
      m.WB == dh)
    return "#(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom) + ")(" + std::to_string(m.ImageCount) + "," + std::to_string(m.MaskType) + ")";
  return "^" + rect + " " + Padded(m.WL, 4) + " " + Padded(m.WT, 4) + " " + Padded(m.WR, 4) + " " + Padded(m.WB, 4) + " " +
         std::to_string(m.ImageCount) + " " + std::to_string(m.MaskType) + " " + std::to_string(m.StretchMode) + " " +
         std::to_string(m.BorderWidth);
}

std::string OptionsText(const TFolderSkin& skin, const std::vector<TSection>& sections, const std::vector<TMask>& masks) {
  const auto& map = skin.Theme.Map;
  std::string out = "; " + skin.Name + ": written by tools/SkinArtGenerator.cpp, do not edit by hand\n";
  auto key = [&](const std::string& name, const std::string& value) { out += name + "=" + value + "\n"; };
  auto flag = [](bool b) { return std::string(b ? "TRUE" : "FALSE"); };
  for (const TSection& s : sections) {
    if (s.SectionName.empty()) continue;
    out += "\n[" + s.SectionName + "]\n";
    if (s.SectionName == "GLOBALINFO") {
      key("VERSION", "4.81");
      key("AUTHOR", "Maruk ROM viewer");
      key("DESCRIPTION", skin.Description);
      key("SHADOW1COLOR", "0");
      key("SHADOW1OFFSET", "3");
      key("SHADOW1BLUR", "6");
      key("SHADOW1TRANSPARENCY", "60");
      key("MASTERBITMAP", skin.Name + ".bmp");
    }
    if (!s.ParentClass.empty()) key("PARENTCLASS", s.ParentClass);
    key("COLOR", std::to_string(MapColor(map, s.Color)));
    key("BEVEL", std::to_string(int(s.Bevel)));
    key("SHADOWBLUR", std::to_string(s.ShadowBlur));
    key("SHADOWOFFSET", std::to_string(s.ShadowOffset));
    key("SHADOWCOLOR", std::to_string(s.ShadowColor));
    key("SHADOWTRANSPARENCY", std::to_string(s.ShadowTransparency));
    key("SHADOWENABLED", flag(s.ShadowEnabled));
    key("RESERVEDBOOLEAN", flag(s.ReservedBoolean));
    const std::array<TColor, 5> font = MapFontColor(skin, s.FontColor), hot = MapFontColor(skin, s.HotFontColor);
    const char* const fontKeys[] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    const char* const hotKeys[] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    for (size_t i = 0; i < 5; ++i) key(fontKeys[i], std::to_string(font[i]));
    for (size_t i = 0; i < 5; ++i) key(hotKeys[i], std::to_string(hot[i]));
    key("TRANSPARENCY", std::to_string(s.Transparency));
    key("GRADIENTPERCENT", std::to_string(s.GradientPercent));
    if (s.GradientData != " ") key("GRADIENTDATA", MapGradient(map, s.GradientData));
    key("IMAGEPERCENT", std::to_string(s.ImagePercent));
    key("SHOWFOCUS", flag(s.ShowFocus));
    key("FADINGENABLED", flag(s.FadingEnabled));
    key("FADINGINTERVALIN", std::to_string(s.FadingIntervalIn));
    key("FADINGINTERVALOUT", std::to_string(s.FadingIntervalOut));
    key("FADINGITERATIONS", std::to_string(s.FadingIterations));
    key("HOTCOLOR", std::to_string(MapColor(map, s.HotColor)));
    key("HOTTRANSPARENCY", std::to_string(s.HotTransparency));
    key("HOTBEVEL", std::to_string(int(s.HotBevel)));
    key("HOTGRADIENTPERCENT", std::to_string(s.HotGradientPercent));
    if (s.HotGradientData != " ") key("HOTGRADIENTDATA", MapGradient(map, s.HotGradientData));
    key("HOTIMAGEPERCENT", std::to_string(s.HotImagePercent));
    key("BORDERCOLOR1", std::to_string(MapColor(map, s.BorderColor1)));
    key("BORDERCOLOR2", std::to_string(MapColor(map, s.BorderColor2)));
    for (const TMask& m : masks)
      if (m.Section == s.SectionName) key(m.Property, MaskValue(m));
  }
  return out;
}

void WriteFolderSkin(const std::string& root, const TFolderSkin& skin, const std::vector<TSection>& sections) {
  const TTheme* saved = gTheme;
  gTheme = &skin.Theme;
  const std::vector<TMask> masks = Masks();
  CheckTables(sections, masks);
  const TPictures drawn = DrawPictures(masks);
  const TPictures pictures{Palettised(drawn.Master), Palettised(drawn.Huge)};
  gTheme = saved;
  const std::string folder = root + "/assets/skins/" + skin.Name;
  std::filesystem::create_directories(folder);
  SaveBmpFile(pictures.Master, 8, folder + "/" + skin.Name + ".bmp");
  SaveBmpFile(pictures.Huge, 8, folder + "/" + kHugeName);
  SaveJpegFile(DrawPattern(skin, kPatternWidth, kPatternHeight), folder + "/" + kPatternFile);
  WriteText(folder + "/Options.dat", OptionsText(skin, sections, masks));
  std::printf("assets/skins/%s: %zu colours drawn, %zu kept; Options.dat with %zu sections, %zu masks\n",
              skin.Name.c_str(), DistinctColours(drawn.Master), DistinctColours(pictures.Master), sections.size() - 1,
              masks.size());
}

// ---- Contact sheet ----------------------------------------------------------------------------

constexpr int kZoom = 4;

void FrameBox(TDC& dc, const TRect& r, COLORREF colour) {
  FrameRect(&dc, &r, CreateSolidBrush(colour));
}

void RenderContactSheet(const TPictures& pictures, const std::vector<TMask>& masks, const std::string& path) {
  const TDib master = pictures.Master.As24(), huge = pictures.Huge.As24();
  TDib probe(1, 1);
  TDC measure(&probe);
  auto textWidth = [&](const std::string& s) {
    TSize size;
    GetTextExtentPoint32(&measure, s, &size);
    return size.cx;
  };
  constexpr int kSheetWidth = 1400, kGap = 14, kTextRows = 30;
  struct TCell {
    const TMask* Mask;
    TRect Box;
  };
  std::vector<TCell> cells;
  int x = kGap, y = kGap, rowHeight = 0;
  for (const TMask& m : masks) {
    const int w = std::max(m.R.Width() * kZoom + 2, std::max(textWidth(m.Section), textWidth(m.Property)));
    const int h = m.R.Height() * kZoom + 2 + kTextRows;
    if (x + w > kSheetWidth - kGap && x > kGap) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    cells.push_back({&m, Bounds(x, y, w, h)});
    x += w + kGap;
    rowHeight = std::max(rowHeight, h);
  }
  TDib sheet(kSheetWidth, y + rowHeight + kGap, 24);
  sheet.Fill(RGB(0x9A, 0x9A, 0x9A));
  TDC dc(&sheet);
  SetBkMode(&dc, TRANSPARENT);
  SetTextColor(&dc, RGB(0, 0, 0));
  for (const TCell& cell : cells) {
    const TMask& m = *cell.Mask;
    TDib source = m.Carried ? huge : master;
    TDC src(&source);
    const int left = cell.Box.Left + (cell.Box.Width() - m.R.Width() * kZoom - 2) / 2;
    StretchBlt(&dc, left + 1, cell.Box.Top + 1, m.R.Width() * kZoom, m.R.Height() * kZoom, &src, m.R.Left, m.R.Top,
               m.R.Width(), m.R.Height(), SRCCOPY);
    FrameBox(dc, Bounds(left, cell.Box.Top, m.R.Width() * kZoom + 2, m.R.Height() * kZoom + 2), RGB(0x40, 0x40, 0x40));
    TRect text = {cell.Box.Left, cell.Box.Bottom - kTextRows + 2, cell.Box.Right, cell.Box.Bottom - kTextRows + 15};
    DrawText(&dc, m.Section, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    text = text.Offset(0, 13);
    DrawText(&dc, m.Property, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SavePngFile(sheet, path);
}

// ---- Preview ---------------------------------------------------------------------------------------

// Lays the masks over pictures the way the skin painters do, to judge the look.
class TPreview {
 public:
  TPreview(const TPictures& pictures, const std::vector<TMask>& masks)
      : FMaster(pictures.Master.As24()), FHuge(pictures.Huge.As24()), FMasks(masks) {}

  const TMask& Find(const std::string& section, const std::string& property) const {
    for (const TMask& m : FMasks)
      if (m.Section == section && m.Property == property) return m;
    Fail("no mask " + section + " " + property);
  }

  void Tile(TDib& target, const TRect& area, const TMask& texture) const {
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x)
        target.SetPixel(x, y, FMaster.GetPixel(texture.R.Left + (x - area.Left) % texture.R.Width(), texture.R.Top + (y - area.Top) % texture.R.Height()));
  }

  // Masked mix and keyed copy as the painters do them; `background` supplies key-coloured
  // corner pixels.
  void Put(TDib& target, int dx, int dy, const TMask& m, int sx, int sy, const TDib& background) const {
    const TDib& pic = m.Carried ? FHuge : FMaster;
    const int fh = m.R.Height() / (m.MaskType + 1);
    const COLORREF s = pic.GetPixel(sx, sy);
    if (dx < 0 || dy < 0 || dx >= target.Width() || dy >= target.Height()) return;
    if (s == kKey) {
      target.SetPixel(dx, dy, background.GetPixel(dx, dy));
      return;
    }
    if (m.MaskType == 0) {
      target.SetPixel(dx, dy, s);
      return;
    }
    const COLORREF mk = pic.GetPixel(sx, sy + fh), d = target.GetPixel(dx, dy);
    auto mix = [](int dc, int sc, int mc) { return std::clamp(((dc - sc) * mc + sc * 256) >> 8, 0, 255); };
    target.SetPixel(dx, dy, RGB(mix(GetRValue(d), GetRValue(s), GetRValue(mk)), mix(GetGValue(d), GetGValue(s), GetGValue(mk)),
                                mix(GetBValue(d), GetBValue(s), GetBValue(mk))));
  }

  void NinePart(TDib& target, const TRect& rect, const TMask& m, int state, bool fillCentre) const {
    const TDib background = target;
    const int n = m.ImageCount, fw = m.R.Width() / n, fh = m.R.Height() / (m.MaskType + 1);
    const int x0 = m.Carried ? std::min(state, n - 1) * fw : m.R.Left + std::min(state, n - 1) * fw;
    const int y0 = m.Carried ? 0 : m.R.Top;
    const int wl = m.WL, wr = m.WR, wt = m.WT, wb = m.WB;
    const int cw = fw - wl - wr, ch = fh - wt - wb;
    for (int y = rect.Top; y < rect.Bottom; ++y)
      for (int x = rect.Left; x < rect.Right; ++x) {
        const int rx = x - rect.Left, ry = y - rect.Top;
        const bool left = rx < wl, right = rx >= rect.Width() - wr, top = ry < wt, bottom = ry >= rect.Height() - wb;
        if (!left && !right && !top && !bottom && !fillCentre) continue;
        const int sx = left ? rx : right ? fw - (rect.Width() - rx) : wl + (rx - wl) % std::max(cw, 1);
        const int sy = top ? ry : bottom ? fh - (rect.Height() - ry) : wt + (ry - wt) % std::max(ch, 1);
        Put(target, x, y, m, x0 + sx, y0 + sy, background);
      }
  }

  void Glyph(TDib& target, int x, int y, const TMask& m, int state, bool faded = false) const {
    const int n = m.ImageCount, fw = m.R.Width() / n, fh = m.R.Height() / (m.MaskType + 1);
    const TDib background = target;
    for (int gy = 0; gy < fh; ++gy)
      for (int gx = 0; gx < fw; ++gx) {
        const int sx = m.R.Left + std::min(state, n - 1) * fw + gx, sy = m.R.Top + gy;
        if (FMaster.GetPixel(sx, sy) == kKey) continue;
        if (faded && m.MaskType == 1) {
          const COLORREF s = FMaster.GetPixel(sx, sy), mk = FMaster.GetPixel(sx, sy + fh), d = target.GetPixel(x + gx, y + gy);
          auto mix = [](int dc, int sc, int mc) { mc = std::min(mc + 100, 255); return std::clamp(((dc - sc) * mc + sc * 256) >> 8, 0, 255); };
          target.SetPixel(x + gx, y + gy, RGB(mix(GetRValue(d), GetRValue(s), GetRValue(mk)), mix(GetGValue(d), GetGValue(s), GetGValue(mk)),
                                              mix(GetBValue(d), GetBValue(s), GetBValue(mk))));
        } else {
          Put(target, x + gx, y + gy, m, sx, sy, background);
        }
      }
  }

  void Render(const std::string& path) const {
    constexpr int kWidth = 420, kHeight = 300, kScale = 2;
    TDib window(kWidth, kHeight, 24);
    window.Fill(RGB(0xFF, 0xFF, 0xFF));
    TDC dc(&window);
    // Desktop, then the window: texture, frame, title band over a blended gradient.
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) window.SetPixel(x, y, RGB(0x30 + x / 8, 0x50 + y / 8, 0x70));
    const TDib desktop = window;
    const TRect frame = {10, 10, 410, 290};
    Tile(window, frame, Find("FORM", "PATTERN"));
    NinePart(window, frame, Find("FORM", "BORDERSMASK"), 0, false);
    const TRect title = {frame.Left, frame.Top, frame.Right, frame.Top + 23};
    for (int y = title.Top; y < title.Bottom; ++y) {
      const float t = float(y - title.Top) / float(title.Height());
      const TRgb g = t < 0.09f ? Mix(Rgb(0x2E, 0x52, 0x76), kWhite, t / 0.09f)
                   : t < 0.26f ? Mix(kWhite, Rgb(0x39, 0x6B, 0x93), (t - 0.09f) / 0.17f)
                               : Mix(Rgb(0x39, 0x6B, 0x93), Rgb(0x8A, 0xB6, 0xDF), (t - 0.26f) / 0.73f);
      for (int x = title.Left; x < title.Right; ++x) {
        const TRgb d = FromColorRef(window.GetPixel(x, y));
        window.SetPixel(x, y, ToColorRef(Mix(g, d, 0.5f)));
      }
    }
    NinePart(window, title, Find("FORMTITLE", "BORDERSMASK"), 0, false);
    // Corners outside the outline show the desktop again.
    const TMask& formBorder = Find("FORM", "BORDERSMASK");
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const TRect f = formBorder.R;
        if (FMaster.GetPixel(f.Left + x, f.Top + y) == kKey) {
          window.SetPixel(frame.Left + x, frame.Top + y, desktop.GetPixel(frame.Left + x, frame.Top + y));
          window.SetPixel(frame.Right - 1 - x, frame.Top + y, desktop.GetPixel(frame.Right - 1 - x, frame.Top + y));
        }
        if (FMaster.GetPixel(f.Left + x, f.Bottom - 1 - y) == kKey) {
          window.SetPixel(frame.Left + x, frame.Bottom - 1 - y, desktop.GetPixel(frame.Left + x, frame.Bottom - 1 - y));
          window.SetPixel(frame.Right - 1 - x, frame.Bottom - 1 - y, desktop.GetPixel(frame.Right - 1 - x, frame.Bottom - 1 - y));
        }
      }
    SetBkMode(&dc, TRANSPARENT);
    SetTextColor(&dc, RGB(0x30, 0x42, 0x65));
    TRect caption = {frame.Left + 8, frame.Top + 4, frame.Right - 100, title.Bottom};
    DrawText(&dc, "Maruk timeline ROM viewer", &caption, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    const char* const glyphs[] = {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONHELP"};
    for (int i = 0; i < 4; ++i) Glyph(window, frame.Right - 4 - 20 * (i + 1) - i, frame.Top + 2, Find("GLOBALINFO", glyphs[i]), i == 0 ? 1 : 0);
    // Group box.
    const TRect group = {frame.Left + 8, frame.Top + 32, frame.Right - 8, frame.Top + 150};
    NinePart(window, group, Find("GROUPBOX", "BORDERSMASK"), 0, false);
    // Buttons in three states and check boxes.
    const TMask& button = Find("BUTTON", "BORDERSMASK");
    const char* const labels[] = {"Open ROM", "Hot", "Pressed"};
    for (int s = 0; s < 3; ++s) {
      const TRect r = Bounds(frame.Left + 10 + s * 115, frame.Top + 160, 105, 25);
      NinePart(window, r, button, s, true);
      TRect t = r;
      SetTextColor(&dc, RGB(0, 0, 0));
      DrawText(&dc, labels[s], &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    const char* const boxes[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED", "RADIOUNCHECKED", "RADIOCHECKED"};
    for (int b = 0; b < 5; ++b)
      for (int s = 0; s < 3; ++s) Glyph(window, frame.Left + 20 + b * 70 + s * 20, frame.Top + 50, Find("GLOBALINFO", boxes[b]), s);
    // Scroll bar pieces, an edit, a menu item and tabs.
    const TRect track = Bounds(frame.Left + 20, frame.Top + 80, 200, 17);
    NinePart(window, track, Find("SCROLLBAR1H", "BORDERSMASK"), 0, true);
    NinePart(window, Bounds(track.Left, track.Top, 17, 17), Find("SCROLLBTNLEFT", "BORDERSMASK"), 0, true);
    Glyph(window, track.Left + 5, track.Top + 4, Find("SCROLLBTNLEFT", "GLYPHMASK"), 0);
    NinePart(window, Bounds(track.Right - 17, track.Top, 17, 17), Find("SCROLLBTNRIGHT", "BORDERSMASK"), 1, true);
    Glyph(window, track.Right - 11, track.Top + 4, Find("SCROLLBTNRIGHT", "GLYPHMASK"), 1);
    NinePart(window, Bounds(track.Left + 60, track.Top, 40, 17), Find("SCROLLSLIDERH", "BORDERSMASK"), 0, true);
    Glyph(window, track.Left + 76, track.Top + 4, Find("SCROLLSLIDERH", "GLYPHMASK"), 0);
    const TRect edit = Bounds(frame.Left + 240, frame.Top + 78, 140, 21);
    for (int y = edit.Top; y < edit.Bottom; ++y)
      for (int x = edit.Left; x < edit.Right; ++x) window.SetPixel(x, y, RGB(255, 255, 255));
    NinePart(window, edit, Find("EDIT", "BORDERSMASK"), 1, false);
    for (int s = 0; s < 3; ++s) NinePart(window, Bounds(frame.Left + 20 + s * 62, frame.Top + 108, 60, 20), Find("TABTOP", "BORDERSMASK"), s, true);
    NinePart(window, Bounds(frame.Left + 240, frame.Top + 108, 140, 20), Find("MENUITEM", "BORDERSMASK"), 1, true);
    NinePart(window, Bounds(frame.Left + 20, frame.Top + 200, 140, 60), Find("DIALOG", "BORDERSMASK"), 0, false);
    NinePart(window, Bounds(frame.Left + 180, frame.Top + 200, 96, 60), Find("BUTTON_HUGE", "BORDERSMASK"), 1, true);
    const TMask& grip = Find("GLOBALINFO", "GRIPIMAGE");
    Glyph(window, frame.Right - 18 - 4, frame.Bottom - 18 - 4, grip, 0);

    TDib zoomed(kWidth * kScale, kHeight * kScale, 24);
    TDC zdc(&zoomed);
    StretchBlt(&zdc, 0, 0, kWidth * kScale, kHeight * kScale, &dc, 0, 0, kWidth, kHeight, SRCCOPY);
    SavePngFile(zoomed, path);
  }

 private:
  TDib FMaster;
  TDib FHuge;
  const std::vector<TMask>& FMasks;
};

int Run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: skin_art <repo-root> [--contact-sheet out.png] [--preview out.png]\n");
    return 2;
  }
  const std::string root = argv[1];
  std::string sheetPath, previewPath;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--contact-sheet" && i + 1 < argc) sheetPath = argv[++i];
    else if (arg == "--preview" && i + 1 < argc) previewPath = argv[++i];
    else {
      std::fprintf(stderr, "skin_art: unknown argument '%s'\n", arg.c_str());
      return 2;
    }
  }
  const std::vector<TSection> sections = Sections();
  const std::vector<TMask> masks = Masks();
  CheckTables(sections, masks);

  const TPictures drawn = DrawPictures(masks);
  const TPictures pictures{Palettised(drawn.Master), Palettised(drawn.Huge)};
  std::filesystem::create_directories(root + "/assets/skin");
  SaveBmpFile(pictures.Master, 8, root + "/assets/skin/BlueGlass.bmp");
  SaveBmpFile(pictures.Huge, 8, root + "/assets/skin/" + kHugeName);
  std::printf("assets/skin/BlueGlass.bmp: %zu colours drawn, %zu kept\n", DistinctColours(drawn.Master),
              DistinctColours(pictures.Master));
  std::printf("assets/skin/%s: %zu colours drawn, %zu kept\n", kHugeName, DistinctColours(drawn.Huge),
              DistinctColours(pictures.Huge));
  const std::string layoutPath = root + "/assets/Maruk_rom.layout";
  const std::string layout = ReadText(layoutPath);
  const std::string updated = ReplaceSkinBlock(layout, sections, masks);
  if (updated != layout) WriteText(layoutPath, updated);
  std::printf("assets/Maruk_rom.layout: %zu sections, %zu masks%s\n", sections.size(), masks.size(),
              updated != layout ? "" : " (unchanged)");

  for (const TFolderSkin& skin : {GraphiteSkin(), AmberSkin()}) WriteFolderSkin(root, skin, sections);

  if (!sheetPath.empty()) RenderContactSheet(pictures, masks, sheetPath);
  if (!previewPath.empty()) TPreview(pictures, masks).Render(previewPath);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skin_art: %s\n", e.what());
    return 1;
  }
}
