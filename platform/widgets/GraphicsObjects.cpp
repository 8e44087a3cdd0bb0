#include "platform/widgets/GraphicsObjects.h"

#include <cmath>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/PropertyRanges.h"

// ---- TFont -------------------------------------------------------------------------------------

void TFont::Assign(const TPersistent* source) {
  if (auto* f = dynamic_cast<const TFont*>(source)) {
    if (f->FFont == FFont && f->FColor == FColor) return;
    FFont = f->FFont;
    FColor = f->FColor;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == FFont.Name) return;
  FFont.Name = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == FFont.Height) return;
  FFont.Height = height;
  Changed();
}

int TFont::Size() const { return int(std::lround(-FFont.Height * 72.0 / 96.0)); }
void TFont::SetSize(int points) { SetHeight(-int(std::lround(points * 96.0 / 72.0))); }

void TFont::SetStyle(TFontStyles style) {
  if (style == FFont.Style) return;
  FFont.Style = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  FFont.Color = color;
  Changed();
}

void TFont::SetCharset(uint8_t charset) {
  if (charset == FFont.CharSet) return;
  FFont.CharSet = charset;
  Changed();
}

void TFont::SetLogFont(const TLogFont& font) {
  if (font == FFont) return;
  FFont = font;
  FColor = font.Color;
  Changed();
}

const TPropertyTable& TFont::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TFont> b(t);
    b.Custom("Charset", [](TFont& f, const TLayoutValue& v, TLayoutContext& ctx) {
      if (v.Kind == TLayoutValue::lvInteger) return f.SetCharset(uint8_t(v.AsInteger("Charset", kByteRange)));
      static const std::pair<const char*, uint8_t> names[] = {
          {"ANSI_CHARSET", ANSI_CHARSET}, {"DEFAULT_CHARSET", DEFAULT_CHARSET}, {"SYMBOL_CHARSET", SYMBOL_CHARSET},
          {"OEM_CHARSET", OEM_CHARSET}, {"EASTEUROPE_CHARSET", 238}, {"RUSSIAN_CHARSET", 204}, {"GREEK_CHARSET", 161},
          {"TURKISH_CHARSET", 162}, {"BALTIC_CHARSET", 186}};
      for (const auto& [name, value] : names)
        if (SameText(name, v.AsIdent())) return f.SetCharset(value);
      ctx.Fail(v.Line, "Invalid property value '" + v.Text + "'");
    });
    b.Color("Color", [](TFont& f, TColor v) { f.SetColor(v); });
    b.Integer("Height", kFontHeightRange, [](TFont& f, int64_t v) { f.SetHeight(int(v)); });
    b.String("Name", [](TFont& f, const std::string& v) { f.SetName(v); });
    b.Integer("Size", kFontSizeRange, [](TFont& f, int64_t v) { f.SetSize(int(v)); });
    b.Set("Style", {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}},
          [](TFont& f, uint32_t v) { f.SetStyle(TFontStyles(v)); });
    b.Custom("Pitch", [](TFont&, const TLayoutValue&, TLayoutContext&) {});  // kept by older layouts; no effect
    return t;
  }();
  return table;
}

// ---- TPen --------------------------------------------------------------------------------------

void TPen::Assign(const TPersistent* source) {
  if (auto* p = dynamic_cast<const TPen*>(source)) {
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TPen::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width == FWidth || width < 0) return;
  FWidth = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == FMode) return;
  FMode = mode;
  Changed();
}

TLogPen TPen::LogPen() const {
  static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_SOLID, PS_SOLID, PS_NULL, PS_SOLID};
  return CreatePen(kStyles[FStyle], FWidth, ColorToRGB(FColor));
}

int TPen::Rop2() const {
  static constexpr int kModes[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT,
                                   R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                                   R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
  return kModes[FMode];
}

// ---- TBrush ------------------------------------------------------------------------------------

void TBrush::Assign(const TPersistent* source) {
  if (auto* b = dynamic_cast<const TBrush*>(source)) {
    FColor = b->FColor;
    FStyle = b->FStyle;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TBrush::SetColor(TColor color) {
  if (color == FColor && FStyle != bsClear) return;
  FColor = color;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

TLogBrush TBrush::LogBrush() const {
  if (FStyle == bsClear) return NullBrush();
  return CreateSolidBrush(ColorToRGB(FColor));
}
