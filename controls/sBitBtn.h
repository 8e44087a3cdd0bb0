#pragma once
// The skinned push button: the toolkit's bitmap button whose whole face is composed from its
// skin section (background, border mask, caption in the section's colours, glyph, dotted focus
// frame) in a cached picture, with the window shaped by the mask's transparent corners and
// cross-fades between normal, hot and pressed. Without an active skin it is the plain button.
#include <functional>
#include <memory>

#include "platform/graphics/Region.h"
#include "platform/widgets/BitBtn.h"
#include "platform/widgets/ImageList.h"
#include "skin/render/sCommonData.h"
#include "skin/render/sFade.h"

// How a glyph looks while its button is disabled (a set).
inline constexpr uint32_t dgBlended = 1, dgGrayed = 2;

using TBmpPaintEvent = std::function<void(TObject* sender, TDib* bitmap)>;

class TsBitBtn : public TBitBtn {
 public:
  explicit TsBitBtn(TComponent* owner);
  ~TsBitBtn() override;
  std::string ClassName() const override { return "TsBitBtn"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // ---- Published ----
  TBmpPaintEvent OnPaint;  // the rebuilt face, before it is shown
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TkvAnimatEvents AnimatEvents = 1u << aeGlobalDef;
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  int Blend() const { return FBlend; }
  void SetBlend(int value);
  TsCommonData* SkinData() { return &FSkinData; }
  uint32_t DisabledGlyphKind() const { return FDisabledGlyphKind; }
  void SetDisabledGlyphKind(uint32_t value);
  uint32_t DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(uint32_t value);
  bool Down() const { return FDown; }
  void SetDown(bool value);
  int FocusMargin = 1;
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool value);
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value);
  bool DrawOverBorder() const { return FDrawOverBorder; }
  void SetDrawOverBorder(bool value);
  int TextOffset() const { return FTextOffset; }
  void SetTextOffset(int value);
  TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(TAlignment value);

  // 2 pressed (held down, or Down), 1 hot (focused, under the pointer, or the form's default
  // button while the focus is not on another button), else 0.
  int StateIndex() const;
  // Where the caption and the glyph go in the face for the current state.
  TRect CaptionRect() const;
  TRect GlyphRect() const;
  // The face as last composed (the link's cache).
  const TDib* Face() const { return FSkinData.Cache(); }
  TsFadeTimer* FadeTimer() const { return FFadeTimer; }

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void Paint() override;
  void BeforeDestruction() override;

 private:
  // The colour that stands for "see through" on the face and in glyphs taken from images.
  static constexpr TColor kKey = 0xFF00FF;
  bool Skinned() const;
  bool FromThisManager(const TMessage& message) const;
  void RebuildCache();
  void DrawCaption(TCanvas* canvas);
  void DrawGlyphOnFace();
  // The glyph's size and the caption's extent that the layout works with.
  TSize GlyphSize() const;
  TSize CaptionExtent() const;
  // Starts (or skips) the fade of a state change, or repaints at once.
  void ChangeState(TkvAnimatEvent event, bool halve, uint8_t direction);
  void StopFading() { StopFade(FFadeTimer, &FSkinData); }
  void RepaintNow();
  // Rebuilds Glyph from Images for the plain button's own drawing.
  void GlyphFromImages();

  TsCommonData FSkinData;
  TCanvas FCacheCanvas;  // draws on the cache
  TAlignment FAlignment = taCenter;
  int FBlend = 0;
  uint32_t FDisabledGlyphKind = dgBlended;
  uint32_t FDisabledKind = 1;  // dkBlended
  bool FDown = false;
  bool FGrayed = false;
  int FImageIndex = -1;
  TCustomImageList* FImages = nullptr;
  bool FShowCaption = true;
  bool FShowFocus = true;
  bool FDrawOverBorder = true;
  int FTextOffset = 0;
  TAlignment FTextAlignment = taCenter;

  bool FMouseClicked = false;
  bool FRegionChanged = true;
  TRegion FRegion;
  bool FDefaultActive = false;
  int FOldSpacing = -2;
  TsFadeTimer* FFadeTimer = nullptr;
  bool FGlyphFromImages = false;  // Glyph was built from Images
  // Shared with code that raises events: false once the button is gone.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

void RegisterTsBitBtnClass();
