#pragma once
// The arrow buttons that move the viewer's view. Position, limits, auto-repeat and the click
// event are the toolkit up-down's; while a skin with scroll-button sections is active the two
// buttons are painted from the skin, the one under the pointer hot and the pressed one
// pressed, and a button whose limit the position has reached looks unavailable.
#include <string>

#include "platform/widgets/UpDown.h"
#include "skin/render/sBackground.h"

enum TsDrawingState { dsNormal, dsFirstHot, dsSecondHot, dsFirstPressed, dsSecondPressed };

class TsUpDown : public TCustomUpDown {
 public:
  explicit TsUpDown(TComponent* owner);
  std::string ClassName() const override { return "TsUpDown"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // One skin section for both buttons instead of the scroll-button sections.
  const std::string& ButtonSkin() const { return FButtonSkin; }
  void SetButtonSkin(const std::string& value);
  // dkBlended and dkGrayed: how an unavailable button looks.
  uint32_t DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(uint32_t value);
  // A button whose limit the position has reached looks unavailable and never becomes hot.
  bool ShowInaccessibility() const { return FShowInaccessibility; }
  void SetShowInaccessibility(bool value);

  // The first button is the left one (horizontal) or the top one (vertical).
  TsDrawingState DrawingState() const { return FDrawingState; }

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void PositionChanged() override;

 private:
  // Where one button's look comes from in the active skin (-1 = none).
  struct TButtonLook {
    std::string Section;
    int SectionIndex = -1;
    int BorderMask = -1;
    int Pattern = -1;
    int HotPattern = -1;
    int Glyph = -1;
  };
  bool FindLooks(TButtonLook& first, TButtonLook& second) const;
  TUDBtnType ButtonOf(bool first) const;
  bool AtLimit(TUDBtnType button) const { return Position() == (button == btNext ? Max() : Min()); }
  // `state` unless it makes an unavailable button hot or pressed.
  TsDrawingState Available(TsDrawingState state) const;
  void SetDrawingState(TsDrawingState value);
  // True while the parent's face is stale or the skin isn't ready yet.
  bool MustWait();
  void PaintButton(const TButtonLook& look, bool first, TDib& bitmap, TPoint offset);

  std::string FButtonSkin;
  uint32_t FDisabledKind = dkBlended;
  bool FShowInaccessibility = true;
  bool FPressed = false;
  TsDrawingState FDrawingState = dsNormal;
  // A paint was held back; the parent's update-finished command repaints.
  bool FWaiting = false;
};

void RegisterTsUpDownClass();
