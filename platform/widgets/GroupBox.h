#pragma once
// Group boxes: an etched frame with a caption at its top left that holds other controls.
#include "platform/widgets/ClassicLook.h"
#include "platform/widgets/Controls.h"

// A container drawn as a captioned etched frame; TGroupBox publishes it.
class TCustomGroupBox : public TCustomControl {
 public:
  explicit TCustomGroupBox(TComponent* owner);
  std::string ClassName() const override { return "TCustomGroupBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // The caption's left edge; the frame's top line runs through the caption's middle.
  static constexpr int kCaptionLeft = 8;
  // Height of a line of the caption's font.
  int CaptionHeight() const;
  // The area aligned children are laid out in: inside the frame, below the caption.
  TRect FrameClientRect() const;

  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void AlignControls(TControl* control, TRect& rect) override;
};

class TGroupBox : public TCustomGroupBox {
 public:
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
  std::string ClassName() const override { return "TGroupBox"; }
};
