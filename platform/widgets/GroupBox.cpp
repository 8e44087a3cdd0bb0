#include "platform/widgets/GroupBox.h"

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/Text.h"

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks |
                 csReplicatable | csOpaque;
  FWidth = 185;
  FHeight = 105;
}

int TCustomGroupBox::CaptionHeight() const {
  TDC probe(nullptr);
  SelectFont(&probe, Font()->LogFont());
  TSize size;
  GetTextExtentPoint32(&probe, "0", &size);
  return size.cy;
}

TRect TCustomGroupBox::FrameClientRect() const {
  TRect r = ClientRect();
  r.Top += CaptionHeight();
  InflateRect(&r, -2, -2);
  return r;
}

void TCustomGroupBox::AlignControls(TControl* control, TRect& rect) {
  rect.Top += CaptionHeight();
  InflateRect(&rect, -2, -2);
  TCustomControl::AlignControls(control, rect);
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  if (!dc) return;
  const TRect client = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  const int h = CaptionHeight();
  DrawEtchedFrame(dc, {0, h / 2 - 1, client.Width(), client.Height()});
  if (Caption().empty()) return;

  canvas->Font()->Assign(Font());
  TRect text{kCaptionLeft, 0, client.Width(), h};
  canvas->DrawText(Caption(), text, DT_SINGLELINE | DT_CALCRECT);
  // The caption interrupts the frame's top line.
  canvas->FillRect(text);
  canvas->Brush()->SetStyle(bsClear);
  if (Enabled()) {
    canvas->DrawText(Caption(), text, DT_SINGLELINE);
  } else {
    canvas->Select();
    DrawEmbossedText(dc, Caption(), text, DT_SINGLELINE);
  }
}

void TCustomGroupBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGCHAR:
      // Its accelerator takes the focus to the first control inside.
      if (IsAccel(unsigned(m.WParam), Caption()) && CanFocus()) {
        m.Result = 1;
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
        return;
      }
      break;
    case CM_FONTCHANGED:
      TCustomControl::WndProc(m);
      Realign();
      return;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

const TPropertyTable& TCustomGroupBox::ClassProperties() { return TWinControl::ClassProperties(); }
