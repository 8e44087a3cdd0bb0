#include "platform/widgets/Label.h"

#include "platform/components/PropertyBuilder.h"

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  ControlStyle |= csReplicatable | csOpaque;
  FWidth = 65;
  FHeight = 17;
}

TCustomLabel::~TCustomLabel() = default;

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  if (value) ControlStyle &= ~csOpaque;
  else ControlStyle |= csOpaque;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (control == FFocusControl) return;
  if (FFocusControl) RemoveFreeNotification(FFocusControl);
  FFocusControl = control;
  if (control) control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

unsigned TCustomLabel::DrawTextFlags() const {
  unsigned flags = DT_EXPANDTABS;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  else if (FAlignment == taCenter) flags |= DT_CENTER;
  return flags;
}

void TCustomLabel::DoDrawText(TRect& r, unsigned flags) {
  std::string text = GetLabelText();
  // An empty caption (or a lone accelerator mark) still measures one line high.
  if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  if (Enabled() || (flags & DT_CALCRECT)) {
    canvas->DrawText(text, r, flags);
    return;
  }
  canvas->Select();
  DrawEmbossedText(canvas->Handle(), text, r, flags);
}

TRect TCustomLabel::MeasureText(int width) {
  // Measuring needs no window: a context without a surface measures the same.
  TDC probe(nullptr);
  HDC saved = FCanvas.HandleAllocated() ? FCanvas.Handle() : nullptr;
  FCanvas.SetHandle(&probe);
  TRect r{0, 0, width, 0};
  DoDrawText(r, DrawTextFlags() | DT_CALCRECT);
  FCanvas.SetHandle(saved);
  return r;
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || InState(csReading | csDestroying)) return;
  const TRect r = MeasureText(Width());
  const int width = FWordWrap ? Width() : r.Right;
  int x = Left();
  if (FAlignment == taRightJustify) x += Width() - width;
  SetBounds(x, Top(), width, r.Bottom);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  if (!canvas->Handle()) return;
  const TRect client = ClientRect();
  if (!FTransparent) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
  }
  canvas->Brush()->SetStyle(bsClear);
  TRect r = client;
  const unsigned flags = DrawTextFlags();
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int room = client.Height() - calc.Bottom;
    r = r.Offset(0, FLayout == tlBottom ? room : room / 2);
  }
  DoDrawText(r, flags);
}

void TCustomLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_FONTCHANGED:
      TGraphicControl::WndProc(m);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(unsigned(m.WParam), GetLabelText()) &&
          FFocusControl->CanFocus()) {
        m.Result = 1;
        FFocusControl->SetFocus();
        return;
      }
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

const TPropertyTable& TCustomLabel::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TControl::ClassProperties());
    TPropertyBuilder<TCustomLabel> b(t);
    b.Enum<TAlignment>("Alignment", {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}},
                       [](TCustomLabel& c, TAlignment v) { c.SetAlignment(v); });
    b.Boolean("AutoSize", [](TCustomLabel& c, bool v) { c.SetAutoSize(v); });
    b.Boolean("Transparent", [](TCustomLabel& c, bool v) { c.SetTransparent(v); });
    b.Boolean("WordWrap", [](TCustomLabel& c, bool v) { c.SetWordWrap(v); });
    b.Enum<TTextLayout>("Layout", {{"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}},
                        [](TCustomLabel& c, TTextLayout v) { c.SetLayout(v); });
    b.Boolean("ShowAccelChar", [](TCustomLabel& c, bool v) { c.SetShowAccelChar(v); });
    b.Reference<TWinControl>("FocusControl", [](TCustomLabel& c, TWinControl* v) { c.SetFocusControl(v); });
    return t;
  }();
  return table;
}
