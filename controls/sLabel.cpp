#include "controls/sLabel.h"

#include <cmath>

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sCommonData.h"

namespace {

// Set while a label gives its font the skin's colour for painting: that change must not
// resize or repaint the label again.
bool gPreparingPaintFont = false;

bool SkinActive() {
  TsSkinManager* manager = DefaultManager();
  return manager && manager->Active() && manager->SkinData().Ready && !manager->Sections().empty();
}

// The colour a child sees behind itself on `parent`.
COLORREF ParentBackgroundColor(TWinControl* parent) {
  ParentFillColor = TColor(kSkinKeyColor);
  SendSkinCommand(parent, AC_BGCOLORQUERY);
  const TColor colour = COLORREF(ParentFillColor) == kSkinKeyColor ? parent->Color() : ParentFillColor;
  ParentFillColor = TColor(kSkinKeyColor);
  return ColorToRGB(colour);
}

// 0.4 of the text and 0.6 of the background, per channel, rounded to the nearest.
COLORREF BlendTowardBackground(COLORREF text, COLORREF background) {
  auto mix = [](int t, int b) { return uint8_t(std::lround((2 * t + 3 * b) / 5.0)); };
  return RGB(mix(GetRValue(text), GetRValue(background)), mix(GetGValue(text), GetGValue(background)),
             mix(GetBValue(text), GetBValue(background)));
}

}  // namespace

TsCustomLabel::TsCustomLabel(TComponent* owner) : TCustomLabel(owner) { SetTransparent(true); }

void TsCustomLabel::ApplyPaintFont() {
  if (!SkinActive() || !UsesSkinColor()) return;
  const COLORREF global = DefaultManager()->GlobalFontColor();
  if (global == kSkinKeyColor) return;
  // A colour taken for painting leaves the label following its parent's font.
  const bool parentFont = FParentFont;
  Font()->SetColor(TColor(global));
  FParentFont = parentFont;
}

void TsCustomLabel::Paint() {
  gPreparingPaintFont = true;
  try {
    ApplyPaintFont();
  } catch (...) {
    gPreparingPaintFont = false;
    throw;
  }
  gPreparingPaintFont = false;
  TCustomLabel::Paint();
}

void TsCustomLabel::DoDrawText(TRect& r, unsigned flags) {
  if (Enabled() || (flags & DT_CALCRECT) || !SkinActive() || !Parent()) {
    TCustomLabel::DoDrawText(r, flags);
    return;
  }
  const std::string text = GetLabelText();
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Font()->SetColor(TColor(BlendTowardBackground(ColorToRGB(Font()->Color()), ParentBackgroundColor(Parent()))));
  canvas->DrawText(text, r, flags);
}

void TsCustomLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_FONTCHANGED:
      if (gPreparingPaintFont) return;
      break;
    case CM_MOUSEENTER:
      if (OnMouseEnter) OnMouseEnter(this);
      break;
    case CM_MOUSELEAVE:
      TCustomLabel::WndProc(m);
      if (OnMouseLeave && !InState(csDestroying)) OnMouseLeave(this);
      return;
    case SM_KARVOCMD:
      if (SkinCommandOf(m.WParam) == AC_REMOVESKIN && reinterpret_cast<TsSkinManager*>(m.LParam) == DefaultManager() &&
          UsesSkinColor())
        Font()->SetColor(clWindowText);
      return;
    default:
      break;
  }
  TCustomLabel::WndProc(m);
}

const TPropertyTable& TsCustomLabel::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomLabel::ClassProperties());
    TPropertyBuilder<TsCustomLabel> b(t);
    b.Event<TNotifyEvent>("OnMouseEnter", [](TsCustomLabel& l, TNotifyEvent e) { l.OnMouseEnter = std::move(e); });
    b.Event<TNotifyEvent>("OnMouseLeave", [](TsCustomLabel& l, TNotifyEvent e) { l.OnMouseLeave = std::move(e); });
    return t;
  }();
  return table;
}

void TsLabel::SetUseSkinColor(bool value) {
  if (value == FUseSkinColor) return;
  FUseSkinColor = value;
  Invalidate();
}

const TPropertyTable& TsLabel::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TsCustomLabel::ClassProperties());
    TPropertyBuilder<TsLabel> b(t);
    b.Boolean("UseSkinColor", [](TsLabel& l, bool v) { l.SetUseSkinColor(v); });
    return t;
  }();
  return table;
}

void RegisterTsLabelClass() { RegisterComponentClass<TsLabel>("TsLabel"); }
