#include "controls/sTextWriter.h"

#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "skin/data/sSkinManager.h"

void WriteSkinText(TCanvas* canvas, const std::string& text, bool enabled, bool hot, TsCommonData* link,
                   unsigned format, TRect& r) {
  HDC dc = canvas ? canvas->Handle() : nullptr;
  if (!dc) return;
  TControl* control = link ? link->Control() : nullptr;
  TFont* font = canvas->Font();
  if (control) font->Assign(control->Font());
  TsSkinManager* manager = link ? link->GetSkinManager() : nullptr;
  const bool skinned = link && manager && link->IsSkinned() && manager->IsValidSectionIndex(link->SectionIndex);
  const TsGeneralData* section = skinned ? &manager->Sections()[size_t(link->SectionIndex)] : nullptr;
  if (hot && section && section->SectionName == "WEBBUTTON") font->SetStyle(font->Style() | fsUnderline);
  canvas->Brush()->SetStyle(bsClear);

  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  if (!(format & DT_WORDBREAK)) {
    TRect extent = r;
    canvas->DrawText(text, extent, (format & ~(DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    const int w = extent.Width(), h = extent.Height();
    int left = r.Left;
    if (format & DT_CENTER) left = r.Left + (r.Width() - w) / 2;
    else if (format & DT_RIGHT) left = r.Right - w;
    const int top = r.Top + (r.Height() - h) / 2;
    r = {left - 1, top - 1, left + w + 1, top + h + 1};
  }
  const unsigned drawFormat = format | DT_NOCLIP;
  auto draw = [&](TColor colour, int dx, int dy) {
    font->SetColor(colour);
    TRect at = r.Offset(dx, dy);
    canvas->DrawText(text, at, drawFormat);
  };
  if (!enabled) {
    draw(clBtnHighlight, 1, 1);
    draw(clBtnShadow, 0, 0);
  } else if (!section) {
    draw(control ? control->Font()->Color() : clWindowText, 0, 0);
  } else {
    TColor colour = control ? control->Font()->Color() : clWindowText;
    if (!link->CustomFont()) {
      const TColor sides[4] = {hot ? section->HotTCLeft : section->TCLeft, hot ? section->HotTCTop : section->TCTop,
                               hot ? section->HotTCRight : section->TCRight,
                               hot ? section->HotTCBottom : section->TCBottom};
      static constexpr int kDx[4] = {-1, 0, 1, 0}, kDy[4] = {0, -1, 0, 1};
      for (int i = 0; i < 4; ++i)
        if (sides[i] != -1) draw(sides[i], kDx[i], kDy[i]);
      colour = hot ? section->HotFontColor : section->FontColor;
    }
    draw(colour, 0, 0);
  }
  RestoreDC(dc, saved);
}

void DrawDottedFocusRect(TCanvas* canvas, const TRect& r) {
  if (!canvas || !canvas->Handle()) return;
  const int w = r.Width(), h = r.Height();
  for (int i = 0; i <= w / 3; ++i) {
    const int x = r.Left + 3 * i;
    canvas->SetPixel(x, r.Top, clBlack);
    canvas->SetPixel(x, r.Bottom, clBlack);
    canvas->SetPixel(x - 1, r.Top - 1, clWhite);
    canvas->SetPixel(x - 1, r.Bottom - 1, clWhite);
  }
  for (int j = 0; j <= h / 3; ++j) {
    const int y = r.Top + 3 * j;
    canvas->SetPixel(r.Left, y, clBlack);
    canvas->SetPixel(r.Right, y, clBlack);
    canvas->SetPixel(r.Left - 1, y - 1, clWhite);
    canvas->SetPixel(r.Right - 1, y - 1, clWhite);
  }
}

void DrawSkinnedText(HDC dc, const std::string& text, const TRect& r, unsigned format, const TsGeneralData* section,
                     bool hot, bool enabled, COLORREF plainColour) {
  if (text.empty() || r.IsEmpty()) return;
  TSize extent;
  GetTextExtentPoint32(dc, text, &extent);
  int left = r.Left;
  if (format & DT_CENTER) left = r.Left + (r.Width() - extent.cx) / 2;
  else if (format & DT_RIGHT) left = r.Right - extent.cx;
  const TRect at = Bounds(left, r.Top + (r.Height() - extent.cy) / 2, extent.cx, extent.cy);
  const unsigned drawFormat = (format & ~(DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) | DT_SINGLELINE;
  SetBkMode(dc, TRANSPARENT);
  auto draw = [&](COLORREF colour, int dx, int dy) {
    SetTextColor(dc, colour);
    TRect moved = at.Offset(dx, dy);
    DrawText(dc, text, &moved, drawFormat);
  };
  if (!enabled) {
    draw(GetSysColor(COLOR_BTNHIGHLIGHT), 1, 1);
    draw(GetSysColor(COLOR_BTNSHADOW), 0, 0);
    return;
  }
  if (!section) {
    draw(plainColour, 0, 0);
    return;
  }
  const TsGeneralData& s = *section;
  const TColor sides[4] = {hot ? s.HotTCLeft : s.TCLeft, hot ? s.HotTCTop : s.TCTop, hot ? s.HotTCRight : s.TCRight,
                           hot ? s.HotTCBottom : s.TCBottom};
  static constexpr int kDx[4] = {-1, 0, 1, 0}, kDy[4] = {0, -1, 0, 1};
  for (int i = 0; i < 4; ++i)
    if (sides[i] != -1) draw(ColorToRGB(sides[i]), kDx[i], kDy[i]);
  draw(ColorToRGB(hot ? s.HotFontColor : s.FontColor), 0, 0);
}
