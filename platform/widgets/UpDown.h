#pragma once
// TCustomUpDown and TUpDown: a pair of arrow buttons that step a position between Min and
// Max, once per press and then repeatedly while the button is held.
#include <functional>
#include <memory>

#include "platform/widgets/Controls.h"

enum TUDOrientation { udHorizontal, udVertical };
enum TUDAlignButton { udLeft, udRight };
enum TUDBtnType { btNext, btPrev };

using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;
using TUDChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

// The state and behaviour of an up-down; painting is the classic look and may be replaced
// by a subclass (Paint), which reads the pressed and hot halves from the public accessors.
class TCustomUpDown : public TCustomControl {
 public:
  explicit TCustomUpDown(TComponent* owner);
  ~TCustomUpDown() override;
  std::string ClassName() const override { return "TCustomUpDown"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation value);
  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int value) { FIncrement = value; }
  // Setting the position from code keeps it inside Min..Max and raises no event.
  int Position() const { return FPosition; }
  void SetPosition(int value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool value) { FWrap = value; }
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool value) { FArrowKeys = value; }
  bool Thousands = true;
  TUDAlignButton AlignButton = udRight;
  // Kept for layouts; the up-down does not move or update its associate.
  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* control);

  // Where each half lies in the client area, and which half a point is on.
  TRect ButtonRect(TUDBtnType button) const;
  bool ButtonAt(int x, int y, TUDBtnType& button) const;
  // The half held down with the mouse over it (drawn pressed).
  bool IsPressed(TUDBtnType button) const { return FTracking && FTrackOver && FTrackButton == button; }
  // The half under the mouse, pressed or not.
  bool IsHot(TUDBtnType button) const { return FHot && FHotButton == button; }
  // True while a half is held with the left button (the mouse may have moved off it).
  bool Tracking() const { return FTracking; }

  TUDChangingEvent OnChanging;
  // Raised after a press, a repeat step or an arrow key changed the position. Replaces the
  // plain click event of controls.
  TUDClickEvent OnClick;

  void WndProc(TMessage& message) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  static constexpr uintptr_t kRepeatTimer = 1;
  static constexpr uint32_t kFirstRepeatDelay = 400;
  static constexpr uint32_t kRepeatInterval = 100;

  // Moves the position by one increment towards Max (next) or Min; asks OnChanging first and
  // raises OnClick when the position changed. Returns whether it changed (and this still exists).
  virtual bool DoStep(bool next);
  virtual bool CanChange();
  virtual void DoClick(TUDBtnType button);
  // The position one step on, or the current one when the step is not possible.
  int StepTarget(bool next) const;
  // Position, Min or Max changed (the plain control's look does not depend on them).
  virtual void PositionChanged() {}

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WPARAM& key, TShiftState shift) override;
  void Paint() override;
  // Draws one half as a push button with its arrow; a subclass may draw its own.
  virtual void DrawButton(TUDBtnType button, const TRect& r, bool pressed, bool enabled);
  void StartTracking(TUDBtnType button);
  void StopTracking();
  void SetHot(bool hot, TUDBtnType button);
  void InvalidateButton(TUDBtnType button);

  TUDOrientation FOrientation = udVertical;
  int FMin = 0;
  int FMax = 100;
  int FIncrement = 1;
  int FPosition = 0;
  bool FWrap = false;
  bool FArrowKeys = true;
  bool FTracking = false;
  bool FTrackOver = false;
  TUDBtnType FTrackButton = btNext;
  bool FHot = false;
  TUDBtnType FHotButton = btNext;
  bool FRepeating = false;  // the first repeat delay has passed
  TWinControl* FAssociate = nullptr;
  // Shared with event raisers: false once the control is gone.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TUpDown : public TCustomUpDown {
 public:
  explicit TUpDown(TComponent* owner) : TCustomUpDown(owner) {}
  std::string ClassName() const override { return "TUpDown"; }
};

// Draws a solid triangle arrow pointing in `direction` (0 up, 1 down, 2 left, 3 right)
// centred in `r`, in `color`; `size` is the triangle's height in pixels.
void DrawArrowGlyph(HDC dc, const TRect& r, int direction, int size, COLORREF color);
