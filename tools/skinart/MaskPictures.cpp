#include "tools/skinart/MaskPictures.h"
#include "tools/skinart/MaskTable.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace SkinArt {

int MaskGrey(float alpha) {
  const int step = int(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 16));
  return 255 - int(std::lround(step * 255.0 / 16));
}

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

namespace {

bool InCorner(const TMask& m, int x, int y, int fw, int fh) {
  return (x < m.WL || x >= fw - m.WR) && (y < m.WT || y >= fh - m.WB);
}

}  // namespace

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
  std::vector<std::pair<int, int>> todo;
  auto visit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= fw || y >= fh || keyed[size_t(y * fw + x)] || !InCorner(m, x, y, fw, fh) || !clear(x, y)) return;
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
  const int fw = m.FrameWidth(), fh = m.FrameHeight();
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
          const int grey = key ? 255 : m.HardCorners && a >= 0.5f && InCorner(m, x, y, fw, fh) ? 0 : MaskGrey(a);
          bmp.SetPixel(x0 + x, y0 + y, key ? kKey : ToColorRef(c));
          bmp.SetPixel(x0 + x, y0 + fh + y, RGB(grey, grey, grey));
        } else {
          bmp.SetPixel(x0 + x, y0 + y, key ? kKey : ToColorRef(Mix(m.Matte, c, a)));
        }
      }
  }
}

TPictures DrawPictures(const std::vector<TMask>& masks) {
  TPictures p{TDib(kMasterWidth, MasterHeight(masks), 24), TDib(kHugeWidth, kHugeHeight, 24)};
  p.Master.Fill(RGB(255, 255, 255));
  p.Huge.Fill(RGB(255, 255, 255));
  for (const TMask& m : masks)
    if (m.Paint) DrawMask(m.Carried ? p.Huge : p.Master, m);
  return p;
}

}  // namespace SkinArt
