#pragma once
// TWinControl: a control with a window of its own, the parent of other controls, with focus,
// tab order, alignment of its children and painting of its windowless ones.
#include "platform/widgets/Controls.h"

struct TCreateParams {
  std::string Caption;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  std::string WinClassName;
  uint32_t WindowClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  std::string ClassName() const override { return "TWinControl"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  bool IsWindowed() const override { return true; }
  HWND Handle();  // creates the window when needed
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  virtual void CreateHandle();
  virtual void DestroyHandle();
  bool Showing() const;

  // Children, in the order they were inserted (back of the z-order first).
  int ControlCount() const { return int(FControls.size()); }
  TControl* Controls(int index) const { return FControls[size_t(index)]; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;
  TControl* ControlAtPos(TPoint clientPos, bool allowDisabled, bool allowWinControls = false) const;
  void BroadcastMessage(TMessage& message);  // to every child control

  // ---- Focus and tab order ----
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // Tab order list of this container's windowed children, depth first.
  std::vector<TWinControl*> TabOrderList() const;
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const;
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() const override;
  void SetEnabled(bool enabled) override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  // Paints the windowless children onto `dc` (all of them, or from `first` on). A container
  // that paints its children its own way (over a composed face) replaces it.
  virtual void PaintControls(HDC dc, TControl* first);
  // Lays out aligned children.
  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  bool ParentBackground() const { return (ControlStyle & csParentBackground) != 0; }
  // Told when a child moved or changed its size.
  virtual void ChildBoundsChanged(TControl*) {}
  int BorderWidth = 0;

 protected:
  void BeforeDestruction() override;
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  virtual void PaintWindow(HDC dc);
  virtual void KeyDown(WPARAM& key, TShiftState shift);
  virtual void KeyUp(WPARAM& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void AlignControls(TControl* control, TRect& rect);
  // True when the control wants a key that would otherwise move the focus (Tab, arrows, Enter, Escape).
  virtual bool WantsKey(WPARAM key);
  void PaintHandler(TMessage& message);
  void RecreateWnd();
  HWND FHandle = nullptr;
  WNDPROC FDefWndProc;

 private:
  friend class TControl;
  static LRESULT WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void UpdateShowing();
  bool IsControlMouseMsg(TMessage& message);
  bool DoKeyDown(TMessage& message);
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
  int FAlignLevel = 0;
};

// The controls that paint on a canvas, for everyone who includes this header.
#include "platform/widgets/ControlCanvas.h"
