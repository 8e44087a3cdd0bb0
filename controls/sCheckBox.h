#pragma once
// The check box of the viewer window. While a skin is active it paints its whole face from
// the skin (the section's background, a box picture chosen by the check state, the caption in
// the section's colours, a dotted focus frame), toggles on release of the mouse or the Space
// key, fades between its normal, hot and pressed looks and sizes itself to its caption.
// Without a skin it is the toolkit's check box; ReadOnly blocks changes by the user in both.
#include <memory>

#include "platform/widgets/CheckBox.h"
#include "platform/widgets/Graphic.h"
#include "skin/data/sSkinData.h"
#include "skin/render/sBackground.h"
#include "skin/render/sCommonData.h"
#include "skin/render/sFade.h"

class TsCheckBox : public TCustomCheckBox {
 public:
  explicit TsCheckBox(TComponent* owner);
  ~TsCheckBox() override;
  std::string ClassName() const override { return "TsCheckBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // Space between the edges and the box and caption.
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  TkvAnimatEvents AnimatEvents = 1u << aeGlobalDef;
  TsCommonData* SkinData() { return &FSkinData; }
  // dkBlended and dkGrayed: how the face looks while disabled.
  uint32_t DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(uint32_t value);
  // Own box pictures: three state images side by side (normal, hot, pressed), each picture
  // above its mask (black shows the picture, white what lies behind).
  TBitmap* GlyphChecked() { return &FGlyphChecked; }
  TBitmap* GlyphUnChecked() { return &FGlyphUnChecked; }
  // Indexes into an image list; kept for stored layouts (this program has no image lists).
  int ImgChecked = 0;
  int ImgUnchecked = 0;
  // The caption wraps; switches AutoSize off.
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value);
  // The user can't change the state; the face never shows hot or pressed.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value);
  // Extra space between the box and the caption.
  int TextIndent() const { return FTextIndent; }
  void SetTextIndent(int value);
  // While skinned, the control takes the size of its box and caption.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);

  // Where the box and the caption go at the current size (skinned).
  TSize SkinBoxSize();
  TRect SkinBoxRect();
  TRect SkinCaptionRect();
  // 0 normal, 1 hot, 2 pressed: the image of the box picture shown now.
  int BoxImageState() const;

  void Loaded() override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  void BeforeDestruction() override;
  void Paint() override;
  void Toggle() override;
  void StateChanged() override;
  void KeyDown(WPARAM& key, TShiftState shift) override;
  void KeyUp(WPARAM& key, TShiftState shift) override;

 private:
  bool Skinned() const { return FSkinData.IsSkinned(); }
  bool TakesInput() const { return Skinned() && Enabled() && !InState(csDesigning); }
  // State for the section and the caption: hot while focused or under the pointer.
  int FaceState() const { return FSkinData.StateFromInput() == 1 && !FReadOnly ? 1 : 0; }
  // The skin's box mask for the check state, or nullptr.
  const TsMaskData* SkinBoxMask() const;
  // The own picture for the check state, or nullptr.
  const TBitmap* OwnBoxPicture() const;
  void AdjustSize();
  void RebuildCache();
  void PaintBox(TDib* cache);
  bool HandleInput(TMessage& message);
  void HandleSkinMessage(TMessage& message);
  void Fade(bool halve, uint8_t direction, TkvAnimatEvent event);
  void StopFading() { StopFade(FFadeTimer, &FSkinData); }
  // Takes the focus for a press, raising no click while it moves.
  void TakeFocus();

  TsCommonData FSkinData;
  TsFadeTimer* FFadeTimer = nullptr;
  int FMargin = 2;
  uint32_t FDisabledKind = dkBlended;
  TBitmap FGlyphChecked;
  TBitmap FGlyphUnChecked;
  bool FMultiLine = false;
  bool FReadOnly = false;
  bool FShowFocus = true;
  int FTextIndent = 0;
  bool FAutoSize = true;
  // Shared with event raisers: false once the control is gone.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

void RegisterTsCheckBoxClass();
