#pragma once
// A scroll bar that paints itself from the skin and handles the mouse and keys itself while a
// skin is active; without one it is the window system's scroll-bar control. A control that
// scrolls (a form, a list) can own bars: they take their background from it and tell it of
// every position change.
#include <functional>
#include <memory>
#include <string>

#include "platform/widgets/Controls.h"
#include "skin/render/sCommonData.h"

enum TScrollBarKind { sbHorizontal, sbVertical };
// 0 line back, 1 line forward, 2 page back, 3 page forward, 4 position (release), 5 track,
// 6 top, 7 bottom, 8 end of scroll.
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* sender, TScrollCode code, int& position)>;

class TsScrollBar : public TWinControl {
 public:
  explicit TsScrollBar(TComponent* owner);
  ~TsScrollBar() override;
  std::string ClassName() const override { return "TsScrollBar"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;
  // False: while the thumb is dragged the change notification waits for the release.
  bool Smooth = true;
  uint32_t DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(uint32_t value);
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind value);
  int LargeChange = 1;
  int SmallChange = 1;
  int Max() const { return FMax; }
  void SetMax(int value) { SetParams(FPosition, FMin, value); }
  int Min() const { return FMin; }
  void SetMin(int value) { SetParams(FPosition, value, FMax); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int value);
  int Position() const { return FPosition; }
  void SetPosition(int value) { SetParams(value, FMin, FMax); }
  // Sets position, minimum and maximum together.
  void SetParams(int position, int min, int max);
  TsCommonData* SkinData() { return &FSkinData; }

  // The control the bar scrolls: the bar takes its background from it and calls `changed`
  // with the old position after every change of position.
  void SetOwnerControl(TWinControl* control, std::function<void(int oldPosition)> changed);
  TWinControl* OwnerControl() const { return FOwnerControl; }

  // ---- Geometry (skinned), along the bar's axis ----
  int Length() const { return FKind == sbHorizontal ? Width() : Height(); }
  int ArrowLength() const;
  int ThumbLength() const;
  int ThumbCentre() const;
  TRect ThumbRect() const;
  TRect FirstArrowRect() const;
  TRect SecondArrowRect() const;
  // The value under a point at `p` along the axis.
  int ValueAt(int p) const;

  // Parts: 0 first arrow, 1 second arrow, 2 track before the thumb, 3 track after, 4 thumb.
  // States: 0 normal, 1 hot, 2 pressed.
  int PartState(int part) const { return FStates[part]; }
  // -1 none, 0 first arrow, 1 second arrow, 2 track before, 3 track after, 4 release, 5 thumb.
  int DragPart() const { return FDragPart; }
  // A skin is active: the bar paints and works from it (parts the skin lacks show the
  // background).
  bool Skinned() const;
  // Whether the window is the plain one drawn from the skin (else the native control).
  bool PlainWindow() const { return !FNativeWindow; }

  void Loaded() override;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  bool WantsKey(WPARAM key) override;

 private:
  enum { kFirstArrow, kSecondArrow, kTrackBefore, kTrackAfter, kThumb };
  // The timers of a held arrow or track, and of a dragged thumb.
  static constexpr uintptr_t kRepeatTimer = 1, kFollowTimer = 2;
  // Re-creates the window when its form (native or plain) no longer fits the skin.
  void CheckWindowForm();
  void UpdateNative();
  void SetPartState(int part, int state);
  int CurrentState() const;
  void RepaintIfPending();
  void Paint(HDC dc);
  void PaintArrow(TDib* target, int part, const TsBgSource& source);
  void PaintThumb(TDib* target);
  void DoScroll(TScrollCode code, int& position);
  void Changed(int oldPosition);
  int PointOnAxis(TPoint p) const { return FKind == sbHorizontal ? p.X : p.Y; }
  int PartAt(TPoint p) const;
  bool HandleMouse(TMessage& m);
  void MouseDown(TPoint p);
  void MouseMove(TPoint p);
  void MouseUp(TPoint p);
  void Tick(WPARAM timer);
  void StopTimers();
  void HandleNativeScroll(TMessage& m);
  void HandleSkinCommand(TMessage& m);
  void ShowRangeError(int max);

  TsCommonData FSkinData;
  uint32_t FDisabledKind;
  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPageSize = 0, FPosition = 0;
  int FStates[5] = {0, 0, 0, 0, 0};
  int FDragPart = -1;
  int FGrabOffset = 0;
  bool FRepaintPending = false;
  bool FPaintSuppressed = false;
  bool FNativeWindow = true;
  bool FRepeatTimer = false;
  bool FFollowTimer = false;
  TWinControl* FOwnerControl = nullptr;
  std::function<void(int)> FOwnerChanged;
  int FHeldPosition = 0;
  bool FHolding = false;
  bool FSavedShowHint = false;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Message shown when a bar is given a range with the minimum not below the maximum.
std::string ScrollRangeMessage(int max, const std::string& ownerName, bool hasOwner);

void RegisterTsScrollBarClass();
