#pragma once
// The skinned labels: the toolkit's label, transparent, whose text takes the active skin's
// global font colour, whose disabled text is blended toward what lies behind it instead of
// being engraved, and which reports the pointer entering and leaving it. Its parent paints
// under it.
#include "platform/widgets/Label.h"

class TsCustomLabel : public TCustomLabel {
 public:
  explicit TsCustomLabel(TComponent* owner);
  std::string ClassName() const override { return "TsCustomLabel"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void DoDrawText(TRect& r, unsigned flags) override;
  // Whether the text takes the skin's global font colour.
  virtual bool UsesSkinColor() const { return true; }
  // Gives Font the colour it paints with under the active skin.
  void ApplyPaintFont();
};

class TsLabel : public TsCustomLabel {
 public:
  explicit TsLabel(TComponent* owner) : TsCustomLabel(owner) {}
  std::string ClassName() const override { return "TsLabel"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool value);

 protected:
  bool UsesSkinColor() const override { return FUseSkinColor; }

 private:
  bool FUseSkinColor = true;
};

void RegisterTsLabelClass();
