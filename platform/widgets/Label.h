#pragma once
// Labels: windowless text that can size itself to its caption and take the focus to another
// control through its accelerator.
#include "platform/widgets/ClassicLook.h"
#include "platform/widgets/Controls.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };

// Caption drawing and sizing of a label; subclasses may draw the text their own way by
// overriding DoDrawText, which also measures it. TLabel publishes it.
class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* owner);
  ~TCustomLabel() override;
  std::string ClassName() const override { return "TCustomLabel"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  // Keeps the size at the caption's extent (the width too unless WordWrap is on). A label
  // aligned to the right keeps its right edge.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  // A transparent label leaves its background alone; otherwise it fills it with Color.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  // With ShowAccelChar an '&' underlines the next character and makes it the accelerator;
  // without it the caption is drawn as it is.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  // The control the accelerator gives the focus to.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* control);

  void WndProc(TMessage& message) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void Paint() override;
  // Draws the caption in `r` with the DrawText format `flags`, or with DT_CALCRECT measures
  // it (`r` becomes the text's extent).
  virtual void DoDrawText(TRect& r, unsigned flags);
  virtual std::string GetLabelText() const { return Caption(); }
  // Sets the size to the caption's extent when AutoSize is on.
  virtual void AdjustBounds();
  // The caption's extent measured through DoDrawText inside a rectangle of this width.
  TRect MeasureText(int width);
  // The format the caption is drawn with, before the layout's vertical placement.
  unsigned DrawTextFlags() const;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FTransparent = false;
  bool FWordWrap = false;
  TTextLayout FLayout = tlTop;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
 public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
  std::string ClassName() const override { return "TLabel"; }
};
