#pragma once
// TImage: a windowless control that shows a picture, and a canvas to draw one on.
#include <memory>

#include "platform/widgets/Controls.h"
#include "platform/widgets/Graphic.h"

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  std::string ClassName() const override { return "TImage"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TPicture* Picture() { return FPicture.get(); }
  void SetPicture(const TPicture* picture) { FPicture->Assign(picture); }
  // The canvas of the picture's bitmap. An empty picture first becomes a white 24-bit
  // bitmap of the control's size; a picture of another kind cannot be drawn on
  // (std::logic_error). Drawing on it repaints the control.
  TCanvas* Canvas();

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Center() const { return FCenter; }
  void SetCenter(bool value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool IncrementalDisplay = false;

  // Where the picture is drawn in the client area.
  TRect DestRect() const;

 protected:
  void Paint() override;
  virtual void PictureChanged();

 private:
  void UpdateOpaque();
  std::unique_ptr<TPicture> FPicture;
  bool FAutoSize = false;
  bool FCenter = false;
  bool FProportional = false;
  bool FStretch = false;
  bool FTransparent = false;
};
