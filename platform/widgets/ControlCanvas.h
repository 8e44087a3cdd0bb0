#pragma once
// The canvas of a control, and the two kinds of control that paint on one: TGraphicControl
// (windowless, painted by its parent) and TCustomControl (a windowed control painting itself).
#include "platform/widgets/WinControl.h"

// A control's canvas: while painting it holds the paint context; otherwise it takes a
// context of the control's window (or of its parent for a windowless control) on demand.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl* control) : FControl(control) {}
  ~TControlCanvas() override;
  void FreeHandle();
  // Releases every context a control canvas took outside painting (done when idle).
  static void FreeDeviceContexts();

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl;
  HWND FWindow = nullptr;
  HDC FOwnDC = nullptr;
};

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  std::string ClassName() const override { return "TGraphicControl"; }
  TCanvas* Canvas() { return &FCanvas; }
  void WndProc(TMessage& message) override;

 protected:
  virtual void Paint() {}
  TControlCanvas FCanvas;
};

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  std::string ClassName() const override { return "TCustomControl"; }
  TCanvas* Canvas() { return &FCanvas; }

 protected:
  void PaintWindow(HDC dc) override;
  virtual void Paint() {}
  TControlCanvas FCanvas;
};
