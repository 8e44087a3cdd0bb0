#include "platform/widgets/CheckBox.h"

#include <algorithm>

#include "platform/components/PropertyBuilder.h"

namespace {
// Space between the square and the caption.
constexpr int kCaptionGap = 4;
}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  FWidth = 97;
  FHeight = 17;
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == FState) return;
  FState = value;
  StateChanged();
  if (!FClicksDisabled && !InState(csLoading)) Click();
}

void TCustomCheckBox::SetAllowGrayed(bool value) {
  if (value == FAllowGrayed) return;
  FAllowGrayed = value;
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
  if (value == taCenter) value = taRightJustify;
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

TRect TCustomCheckBox::BoxRect() const {
  const TRect client = ClientRect();
  const int y = (client.Height() - kCheckBoxSize) / 2;
  const int x = FAlignment == taLeftJustify ? client.Width() - kCheckBoxSize : 0;
  return Bounds(x, y, kCheckBoxSize, kCheckBoxSize);
}

TRect TCustomCheckBox::CaptionRect() const {
  const TRect client = ClientRect();
  const int indent = kCheckBoxSize + kCaptionGap;
  if (FAlignment == taLeftJustify) return {0, 0, client.Width() - indent, client.Height()};
  return {indent, 0, client.Width(), client.Height()};
}

unsigned TCustomCheckBox::CaptionFormat() const { return DT_LEFT | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE); }

TRect TCustomCheckBox::CaptionTextRect() {
  const TRect area = CaptionRect();
  TDC probe(nullptr);
  SelectFont(&probe, Font()->LogFont());
  TRect r = area;
  DrawText(&probe, Caption(), &r, CaptionFormat() | DT_CALCRECT);
  // Centred vertically; never wider than the room it has.
  const int height = r.Height();
  r.Right = std::min(r.Right, area.Right);
  r.Top = area.Top + (area.Height() - height) / 2;
  r.Bottom = r.Top + height;
  return r;
}

void TCustomCheckBox::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  if (!dc) return;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  const TRect box = BoxRect();
  DrawCheckBox(dc, box.Left, box.Top, FState, FPressed, Enabled());

  TRect text = CaptionTextRect();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  if (Enabled()) {
    canvas->DrawText(Caption(), text, CaptionFormat());
  } else {
    canvas->Select();
    DrawEmbossedText(dc, Caption(), text, CaptionFormat());
  }
  if (Focused()) {
    TRect focus = Caption().empty() ? box : text;
    InflateRect(&focus, 1, 1);
    focus = focus.Intersect(ClientRect());
    DrawFocusRect(dc, &focus);
  }
}

void TCustomCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR && IsAccel(unsigned(m.WParam), Caption()) && CanFocus()) {
    m.Result = 1;
    SetFocus();
    if (Focused()) Toggle();
    return;
  }
  TButtonControl::WndProc(m);
}

const TPropertyTable& TCustomCheckBox::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TButtonControl::ClassProperties());
    TPropertyBuilder<TCustomCheckBox> b(t);
    b.Enum<TAlignment>("Alignment", {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}},
                       [](TCustomCheckBox& c, TAlignment v) { c.SetAlignment(v); });
    b.Boolean("AllowGrayed", [](TCustomCheckBox& c, bool v) { c.SetAllowGrayed(v); });
    b.Boolean("Checked", [](TCustomCheckBox& c, bool v) { c.SetChecked(v); });
    b.Enum<TCheckBoxState>("State", {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}},
                           [](TCustomCheckBox& c, TCheckBoxState v) { c.SetState(v); });
    return t;
  }();
  return table;
}
