#pragma once
// Push buttons: TButtonControl (what push buttons and check boxes share: pressing with the
// mouse or the Space key, the pressed look while the pointer stays inside) and TButton (a
// push button that can be the dialog's default or cancel button and close a modal form).
#include <string>

#include "platform/widgets/ClassicLook.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/Forms.h"

// The pressing behaviour push buttons and check boxes share; subclasses say what a
// completed press does (ButtonClicked) and paint in Paint.
class TButtonControl : public TCustomControl {
 public:
  explicit TButtonControl(TComponent* owner);
  std::string ClassName() const override { return "TButtonControl"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  // Held down by the mouse (with the pointer inside) or by the Space key.
  bool Pressed() const { return FPressed; }

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  // A press was released over the control: a push button clicks, a check box toggles.
  virtual void ButtonClicked() = 0;
  void SetPressed(bool value);
  // Ends a press without a click (capture lost, focus lost, disabled).
  void CancelPress();
  bool FWordWrap = false;
  bool FPressed = false;
  bool FMouseDown = false;
  bool FSpaceDown = false;
};

// A push button drawn in the classic look.
class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* owner);
  std::string ClassName() const override { return "TButton"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // Enter clicks the default button while the focus is on a control that is not a button.
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  // Escape clicks the cancel button.
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  // A click gives the parent form this modal result when it is not mrNone.
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  // The button Enter would click now: the focused button, or the default one while the
  // focus is elsewhere. It carries the black frame.
  bool Active() const { return FActive; }

  void Click() override;
  void WndProc(TMessage& message) override;

 protected:
  void ButtonClicked() override { Click(); }
  void Paint() override;
  // The state DrawButtonFace draws this button in.
  unsigned FaceState() const;
  // Draws the caption into `text` (embossed while disabled) and the focus rectangle when
  // focused; the canvas font and clear brush must already be selected.
  void DrawCaptionAndFocus(TCanvas* canvas, const TRect& client, const TRect& text, unsigned format);
  void SetActive(bool value);
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  TModalResult FModalResult = mrNone;
};
