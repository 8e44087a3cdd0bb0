#pragma once
// The skinned group box: a frame that paints its face from the skin (a caption band showing
// what lies behind it, the section's background and border below, a caption plate with the
// caption), paints its windowless children over that face off-screen, and tells its windowed
// children when it has finished so that they paint over a complete background. Without a
// skin it is the toolkit's group box.
#include "platform/widgets/GroupBox.h"
#include "skin/render/sCommonData.h"

enum TsCaptionLayout { clTopLeft, clTopCenter, clTopRight };

class TsGroupBox : public TCustomGroupBox {
 public:
  static constexpr int kControlKind = 74;

  explicit TsGroupBox(TComponent* owner);
  std::string ClassName() const override { return "TsGroupBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  TsCommonData* SkinData() { return &FSkinData; }

  TsCaptionLayout CaptionLayout() const { return FCaptionLayout; }
  void SetCaptionLayout(TsCaptionLayout value);
  // Moves the body and the client area down (or, negative, the caption up) by this many pixels.
  int CaptionYOffset() const { return FCaptionYOffset; }
  void SetCaptionYOffset(int value);
  // The section painted under the caption; empty means "CHECKBOX".
  const std::string& CaptionSkin() const { return FCaptionSkin; }
  void SetCaptionSkin(const std::string& value);

  // The height of the caption band: the larger of 4 and the height of "W", plus 2.
  int SkinCaptionHeight() const;
  // Where the caption plate lies on the top edge.
  TRect CaptionRect() const;
  // Composes the face into the link's cache.
  void RebuildCache();

  void Loaded() override;
  void WndProc(TMessage& message) override;
  void PaintControls(HDC dc, TControl* first) override;

 protected:
  void AlignControls(TControl* control, TRect& rect) override;

 private:
  // Handles a skin command; false passes it on to the link.
  bool HandleSkinMessage(TMessage& message);
  void PaintSkinned(HDC dc);
  // Tells every windowed child that the face is complete.
  void SendUpdateFinished();

  TsCaptionLayout FCaptionLayout = clTopLeft;
  int FCaptionYOffset = 0;
  std::string FCaptionSkin;
  TsCommonData FSkinData;
};

void RegisterTsGroupBoxClass();
