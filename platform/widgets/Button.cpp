#include "platform/widgets/Button.h"

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/BitBtn.h"
#include "platform/widgets/CheckBox.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/GroupBox.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/ListBox.h"

// ---- TButtonControl ----------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TCustomControl(owner) {
  // Pressing and clicking are handled here, not by the generic click events of controls.
  ControlStyle = csSetCaption | csDoubleClicks | csOpaque;
  SetTabStop(true);
}

void TButtonControl::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  Invalidate();
}

void TButtonControl::SetPressed(bool value) {
  if (value == FPressed) return;
  FPressed = value;
  Invalidate();
}

void TButtonControl::CancelPress() {
  const bool hadMouse = FMouseDown;
  FMouseDown = false;
  FSpaceDown = false;
  if (hadMouse && MouseCapture()) SetMouseCapture(false);
  SetPressed(false);
}

void TButtonControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A second press in quick succession is a press like the first.
      TCustomControl::WndProc(m);
      if (InState(csDestroying) || !Enabled() || FSpaceDown) return;
      FMouseDown = true;
      SetMouseCapture(true);
      SetPressed(true);
      return;
    case WM_MOUSEMOVE:
      TCustomControl::WndProc(m);
      if (FMouseDown) SetPressed(ClientRect().Contains(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
      return;
    case WM_LBUTTONUP: {
      const bool clicked = FMouseDown && ClientRect().Contains(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      if (FMouseDown) {
        FMouseDown = false;
        SetMouseCapture(false);
        SetPressed(false);
      }
      TCustomControl::WndProc(m);
      // The click may free this control: nothing may follow it.
      if (clicked && !InState(csDestroying)) ButtonClicked();
      return;
    }
    case WM_CAPTURECHANGED:
      TCustomControl::WndProc(m);
      if (FMouseDown && GetCapture() != Handle()) CancelPress();
      return;
    case WM_SETFOCUS:
      TCustomControl::WndProc(m);
      Invalidate();
      return;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(m);
      if (FSpaceDown) CancelPress();
      Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      CancelPress();
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TButtonControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_BUTTON;
      return;
    case WM_KEYDOWN:
      if (m.WParam == VK_SPACE) {
        if (!FSpaceDown && !FMouseDown && Enabled()) {
          FSpaceDown = true;
          SetPressed(true);
        }
        return;
      }
      break;
    case WM_KEYUP:
      if (m.WParam == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        SetPressed(false);
        ButtonClicked();
        return;
      }
      break;
    default:
      break;
  }
  TCustomControl::DefaultHandler(m);
}

const TPropertyTable& TButtonControl::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TWinControl::ClassProperties());
    TPropertyBuilder<TButtonControl> b(t);
    b.Boolean("WordWrap", [](TButtonControl& c, bool v) { c.SetWordWrap(v); });
    return t;
  }();
  return table;
}

// ---- TButton -----------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  FWidth = 75;
  FHeight = 25;
  FColor = clBtnFace;
  FParentColor = false;
}

void TButton::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  Invalidate();
}

void TButton::SetDefault(bool value) {
  if (value == FDefault) return;
  FDefault = value;
  TCustomForm* form = ParentForm();
  TWinControl* focused = form ? form->ActiveControl() : nullptr;
  if (dynamic_cast<TButton*>(focused)) SetActive(focused == this);
  else SetActive(FDefault);
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TCustomForm* form = ParentForm()) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      // Enter is left to the dialog, which hands it to the active button.
      m.Result = DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      return;
    case CM_DIALOGKEY: {
      const bool plain = (KeyboardState() & (ssShift | ssCtrl | ssAlt)) == 0;
      if (plain && ((m.WParam == VK_RETURN && FActive) || (m.WParam == VK_ESCAPE && FCancel)) && CanFocus()) {
        m.Result = 1;
        Click();
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(unsigned(m.WParam), Caption()) && CanFocus()) {
        m.Result = 1;
        Click();
        return;
      }
      break;
    case CM_FOCUSCHANGED: {
      // Whichever button has the focus answers Enter; otherwise the default one does.
      auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
      if (dynamic_cast<TButton*>(focused)) SetActive(focused == this);
      else SetActive(FDefault);
      break;
    }
    default:
      break;
  }
  TButtonControl::WndProc(m);
}

unsigned TButton::FaceState() const {
  unsigned state = 0;
  if (FPressed) state |= pbPressed;
  if (FActive || Focused()) state |= pbDefault;
  if (!Enabled()) state |= pbDisabled;
  return state;
}

void TButton::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  if (!dc) return;
  const TRect client = ClientRect();
  const unsigned state = FaceState();
  const TRect content = DrawButtonFace(dc, client, state);
  const int shift = ButtonContentOffset(state);
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  TRect text = content.Offset(shift, shift);
  unsigned format = DT_CENTER;
  if (FWordWrap) {
    TRect measure = text;
    canvas->DrawText(Caption(), measure, format | DT_WORDBREAK | DT_CALCRECT);
    text.Top += (text.Height() - measure.Height()) / 2;
    format |= DT_WORDBREAK;
  } else {
    format |= DT_SINGLELINE | DT_VCENTER;
  }
  DrawCaptionAndFocus(canvas, client, text, format);
}

void TButton::DrawCaptionAndFocus(TCanvas* canvas, const TRect& client, const TRect& text,
                                  unsigned format) {
  HDC dc = canvas->Handle();
  TRect area = text;
  if (Enabled()) {
    canvas->DrawText(Caption(), area, format);
  } else {
    canvas->Select();
    DrawEmbossedText(dc, Caption(), area, format);
  }
  if (Focused()) {
    const TRect focus = ButtonFocusRect(client);
    DrawFocusRect(dc, &focus);
  }
}

const TPropertyTable& TButton::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TButtonControl::ClassProperties());
    TPropertyBuilder<TButton> b(t);
    b.Boolean("Default", [](TButton& c, bool v) { c.SetDefault(v); });
    b.Boolean("Cancel", [](TButton& c, bool v) { c.SetCancel(v); });
    b.Custom("ModalResult", [](TButton& c, const TLayoutValue& v, TLayoutContext& ctx) {
      if (v.Kind == TLayoutValue::lvInteger) return c.SetModalResult(TModalResult(v.AsInteger("ModalResult", kInt32Range)));
      static const std::pair<const char*, TModalResult> names[] = {
          {"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrAbort", mrAbort}, {"mrRetry", mrRetry},
          {"mrIgnore", mrIgnore}, {"mrYes", mrYes}, {"mrNo", mrNo}, {"mrAll", mrAll}, {"mrNoToAll", mrNoToAll},
          {"mrYesToAll", mrYesToAll}};
      for (const auto& [name, value] : names)
        if (SameText(name, v.AsIdent())) return c.SetModalResult(value);
      ctx.Fail(v.Line, "Invalid property value '" + v.Text + "'");
    });
    return t;
  }();
  return table;
}
