#include "platform/widgets/BitBtn.h"

#include <algorithm>
#include <cstdlib>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/PropertyRanges.h"

namespace {

struct TKindInfo {
  const char* Caption;
  TModalResult Result;
};

constexpr TKindInfo kKinds[] = {
    {"", mrNone},          {"OK", mrOk},        {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},       {"&No", mrNo},       {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry},   {"&Ignore", mrIgnore}, {"&All", mrAll},
};

// A thick stroke of 2 x 2 dots from (x0, y0) to (x1, y1).
void Stroke(TDib& dib, int x0, int y0, int x1, int y1, COLORREF color) {
  const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int i = 0; i <= steps; ++i) {
    const int x = x0 + (steps ? (x1 - x0) * i / steps : 0);
    const int y = y0 + (steps ? (y1 - y0) * i / steps : 0);
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx)
        if (x + dx >= 0 && x + dx < dib.Width() && y + dy >= 0 && y + dy < dib.Height()) dib.SetPixel(x + dx, y + dy, color);
  }
}

// The standard pictures: a green check for the kinds that agree, a red cross for those that
// refuse; the other kinds show their caption alone.
std::unique_ptr<TBitmap> MakeKindGlyph(TBitBtnKind kind) {
  const bool agree = kind == bkOK || kind == bkYes || kind == bkAll;
  const bool refuse = kind == bkCancel || kind == bkNo || kind == bkAbort;
  if (!agree && !refuse) return nullptr;
  TDib dib(16, 16, 24);
  dib.Fill(RGB(0, 128, 128));  // the background; the bottom-left pixel makes it transparent
  if (agree) {
    Stroke(dib, 2, 8, 6, 12, RGB(0, 128, 0));
    Stroke(dib, 6, 12, 13, 3, RGB(0, 128, 0));
  } else {
    Stroke(dib, 3, 3, 12, 12, RGB(192, 0, 0));
    Stroke(dib, 12, 3, 3, 12, RGB(192, 0, 0));
  }
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromDib(std::move(dib));
  return bitmap;
}

}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), FGlyph(std::make_unique<TBitmap>()) {
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TBitBtn::~TBitBtn() { FGlyph->OnChange = nullptr; }

void TBitBtn::SetGlyph(const TBitmap* glyph) { FGlyph->Assign(glyph); }

void TBitBtn::GlyphChanged() {
  const int w = FGlyph->Width(), h = FGlyph->Height();
  if (h > 0 && w % h == 0) {
    const int count = w / h;
    FNumGlyphs = count >= 1 && count <= 4 ? count : 1;
  }
  Invalidate();
}

void TBitBtn::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (value == FNumGlyphs) return;
  FNumGlyphs = value;
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TBitBtn::SetMargin(int value) {
  value = std::max(value, -1);
  if (value == FMargin) return;
  FMargin = value;
  Invalidate();
}

void TBitBtn::SetSpacing(int value) {
  value = std::max(value, -1);
  if (value == FSpacing) return;
  FSpacing = value;
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind value) {
  if (value == FKind) return;
  if (value != bkCustom) {
    const TKindInfo& info = kKinds[value];
    SetDefault(value == bkOK || value == bkYes);
    SetCancel(value == bkCancel || value == bkNo);
    // A stored layout keeps its own caption when it has one.
    if (*info.Caption && (!InState(csLoading) || Caption().empty())) SetCaption(info.Caption);
    SetModalResult(info.Result);
    FKindGlyph = MakeKindGlyph(value);
  }
  FKind = value;
  Invalidate();
}

void TBitBtn::Click() {
  if (FKind == bkClose)
    if (TCustomForm* form = ParentForm()) {
      form->Close();
      return;
    }
  TButton::Click();
}

const TBitmap* TBitBtn::CurrentGlyph() const {
  if (!FGlyph->Empty()) return FGlyph.get();
  return FKindGlyph.get();
}

int TBitBtn::CurrentGlyphCount() const { return CurrentGlyph() == FGlyph.get() ? FNumGlyphs : 1; }

void TBitBtn::CalcButtonLayout(const TRect& client, int offset, TPoint& glyphPos, TRect& textBounds) const {
  TSize glyph;
  if (const TBitmap* g = CurrentGlyph()) glyph = {g->Width() / CurrentGlyphCount(), g->Height()};
  TSize text;
  if (!Caption().empty()) {
    TDC probe(nullptr);
    SelectFont(&probe, Font()->LogFont());
    TRect r{0, 0, client.Width(), 0};
    DrawText(&probe, Caption(), &r, DT_SINGLELINE | DT_CALCRECT);
    text = {r.Width(), r.Height()};
  }
  const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
  const int available = horizontal ? client.Width() : client.Height();
  const int glyphLength = horizontal ? glyph.cx : glyph.cy;
  const int textLength = horizontal ? text.cx : text.cy;
  // Spacing only separates two things.
  int spacing = (glyph.cx == 0 || text.cx == 0) ? 0 : FSpacing;
  int margin = FMargin;
  if (margin < 0) {
    if (spacing < 0) {
      margin = spacing = (available - glyphLength - textLength) / 3;
    } else {
      margin = (available - (glyphLength + spacing + textLength) + 1) / 2;
    }
  } else if (spacing < 0) {
    spacing = (available - margin - glyphLength - textLength) / 2;
  }

  TPoint g, t;
  if (horizontal) {
    g.Y = (client.Height() - glyph.cy + 1) / 2;
    t.Y = (client.Height() - text.cy + 1) / 2;
  } else {
    g.X = (client.Width() - glyph.cx + 1) / 2;
    t.X = (client.Width() - text.cx + 1) / 2;
  }
  switch (FLayout) {
    case blGlyphLeft:
      g.X = margin;
      t.X = g.X + glyph.cx + spacing;
      break;
    case blGlyphRight:
      g.X = client.Width() - margin - glyph.cx;
      t.X = g.X - spacing - text.cx;
      break;
    case blGlyphTop:
      g.Y = margin;
      t.Y = g.Y + glyph.cy + spacing;
      break;
    case blGlyphBottom:
      g.Y = client.Height() - margin - glyph.cy;
      t.Y = g.Y - spacing - text.cy;
      break;
  }
  glyphPos = {client.Left + g.X + offset, client.Top + g.Y + offset};
  textBounds = Bounds(client.Left + t.X + offset, client.Top + t.Y + offset, text.cx, text.cy);
}

void TBitBtn::DrawGlyph(HDC dc, int x, int y, bool pressed, bool enabled) const {
  const TBitmap* glyph = CurrentGlyph();
  if (!glyph || glyph->Empty()) return;
  const int parts = CurrentGlyphCount();
  const int w = glyph->Width() / parts, h = glyph->Height();
  if (w <= 0) return;
  const TDib pixels = glyph->Dib().As24();
  const COLORREF key = ColorToRGB(glyph->TransparentColor());
  if (!enabled && parts < 2) {
    // No image of its own for the disabled state: the dark parts of the up image, embossed.
    for (const auto& [dx, color] : {std::pair{1, GetSysColor(COLOR_BTNHIGHLIGHT)}, std::pair{0, GetSysColor(COLOR_BTNSHADOW)}})
      for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
          const COLORREF c = pixels.GetPixel(px, py);
          if (c == key) continue;
          const int luminance = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
          if (luminance >= 192) continue;
          const TRect dot = Bounds(x + px + dx, y + py + dx, 1, 1);
          FillRect(dc, &dot, CreateSolidBrush(color));
        }
    return;
  }
  int part = bgUp;
  if (!enabled) part = bgDisabled;
  else if (pressed && parts > bgDown) part = bgDown;
  TDC source(const_cast<TDib*>(&pixels));
  TransparentBlt(dc, x, y, w, h, &source, part * w, 0, w, h, key);
}

void TBitBtn::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  if (!dc) return;
  const TRect client = ClientRect();
  const unsigned state = FaceState();
  DrawButtonFace(dc, client, state);
  TPoint glyphPos;
  TRect text;
  CalcButtonLayout(client, ButtonContentOffset(state), glyphPos, text);
  DrawGlyph(dc, glyphPos.X, glyphPos.Y, FPressed, Enabled());
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  DrawCaptionAndFocus(canvas, client, text, format);
}

const TPropertyTable& TBitBtn::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TButton::ClassProperties());
    TPropertyBuilder<TBitBtn> b(t);
    b.Object("Glyph", [](TBitBtn& c) -> TPersistent* { return c.Glyph(); });
    b.Integer("NumGlyphs", kNumGlyphsRange, [](TBitBtn& c, int64_t v) { c.SetNumGlyphs(int(v)); });
    b.Enum<TButtonLayout>("Layout", {{"blGlyphLeft", blGlyphLeft}, {"blGlyphRight", blGlyphRight},
                                     {"blGlyphTop", blGlyphTop}, {"blGlyphBottom", blGlyphBottom}},
                          [](TBitBtn& c, TButtonLayout v) { c.SetLayout(v); });
    b.Integer("Margin", kGlyphGapRange, [](TBitBtn& c, int64_t v) { c.SetMargin(int(v)); });
    b.Integer("Spacing", kGlyphGapRange, [](TBitBtn& c, int64_t v) { c.SetSpacing(int(v)); });
    b.Enum<TBitBtnKind>("Kind", {{"bkCustom", bkCustom}, {"bkOK", bkOK}, {"bkCancel", bkCancel}, {"bkHelp", bkHelp},
                                 {"bkYes", bkYes}, {"bkNo", bkNo}, {"bkClose", bkClose}, {"bkAbort", bkAbort},
                                 {"bkRetry", bkRetry}, {"bkIgnore", bkIgnore}, {"bkAll", bkAll}},
                        [](TBitBtn& c, TBitBtnKind v) { c.SetKind(v); });
    return t;
  }();
  return table;
}
