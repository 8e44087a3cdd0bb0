#include "tools/skinart/Preview.h"

#include <algorithm>
#include <stdexcept>

#include "platform/graphics/DC.h"
#include "platform/graphics/PngFile.h"
#include "platform/graphics/Text.h"

namespace SkinArt {

namespace {

// Lays the masks over pictures the way the skin painters do, to judge the look.
class TPreview {
 public:
  TPreview(const TPictures& pictures, const std::vector<TMask>& masks)
      : FMaster(pictures.Master.As24()), FHuge(pictures.Huge.As24()), FMasks(masks) {}

  const TMask& Find(const std::string& section, const std::string& property) const {
    for (const TMask& m : FMasks)
      if (m.Section == section && m.Property == property) return m;
    throw std::runtime_error("no mask " + section + " " + property);
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

}  // namespace

void RenderPreview(const TPictures& pictures, const std::vector<TMask>& masks, const std::string& path) {
  TPreview(pictures, masks).Render(path);
}

}  // namespace SkinArt
