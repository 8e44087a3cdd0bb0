#pragma once
// Check boxes: a square that is checked, unchecked or (when allowed) grayed, with a caption.
#include "platform/widgets/Button.h"

// The state, toggling and classic drawing of a check box; TCheckBox publishes it.
class TCustomCheckBox : public TButtonControl {
 public:
  explicit TCustomCheckBox(TComponent* owner);
  std::string ClassName() const override { return "TCustomCheckBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // Changing the state raises OnClick, from code as from the user, except while a stored
  // layout is being read.
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  // With AllowGrayed a click goes unchecked, checked, grayed and back to unchecked.
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value);
  // taRightJustify: the square at the left and the caption to its right; taLeftJustify: the
  // caption first and the square at the right.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

  // Where the square and the caption are drawn.
  TRect BoxRect() const;
  TRect CaptionRect() const;

  void WndProc(TMessage& message) override;

 protected:
  void ButtonClicked() override { Toggle(); }
  // Moves to the next state as a click does.
  virtual void Toggle();
  // The state changed (before OnClick is raised); repaints.
  virtual void StateChanged() { Invalidate(); }
  void Paint() override;
  // The caption's text as drawn inside CaptionRect (DT_CALCRECT when measuring).
  unsigned CaptionFormat() const;
  // The caption's own extent inside CaptionRect, for the focus outline.
  TRect CaptionTextRect();
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
  bool FClicksDisabled = false;
};

class TCheckBox : public TCustomCheckBox {
 public:
  explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
  std::string ClassName() const override { return "TCheckBox"; }
};
