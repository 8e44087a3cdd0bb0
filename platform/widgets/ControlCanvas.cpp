#include "platform/widgets/ControlCanvas.h"

#include <algorithm>

#include "platform/widgets/Forms.h"

// ---- Canvases of controls ----------------------------------------------------------------------

namespace {
std::vector<TControlCanvas*>& CanvasesWithDC() {
  static std::vector<TControlCanvas*> list;
  return list;
}
}  // namespace

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  HWND window = nullptr;
  if (FControl->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(FControl);
    window = w->HandleAllocated() ? w->Handle() : nullptr;
  } else if (FControl->Parent() && FControl->Parent()->HandleAllocated()) {
    window = FControl->Parent()->Handle();
  }
  if (!window) return;
  HDC dc = GetDC(window);
  if (!FControl->IsWindowed()) {
    SetViewportOrgEx(dc, FControl->Left(), FControl->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  }
  FWindow = window;
  FOwnDC = dc;
  SetHandle(dc);
  CanvasesWithDC().push_back(this);
}

void TControlCanvas::FreeHandle() {
  if (!FOwnDC) return;
  if (Handle() == FOwnDC) SetHandle(nullptr);
  ReleaseDC(FWindow, FOwnDC);
  FOwnDC = nullptr;
  FWindow = nullptr;
  auto& list = CanvasesWithDC();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::FreeDeviceContexts() {
  for (TControlCanvas* c : std::vector<TControlCanvas*>(CanvasesWithDC()))
    if (c->LockCount() == 0) c->FreeHandle();
}

// ---- Graphic and custom controls ----------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(this) {}

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    if (m.WParam) {
      FCanvas.FreeHandle();
      FCanvas.Lock();
      FCanvas.SetHandle(reinterpret_cast<HDC>(m.WParam));
      Paint();
      FCanvas.SetHandle(nullptr);
      FCanvas.Unlock();
    }
    return;
  }
  TControl::WndProc(m);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), FCanvas(this) {}

void TCustomControl::PaintWindow(HDC dc) {
  FCanvas.FreeHandle();
  FCanvas.Lock();
  FCanvas.SetHandle(dc);
  Paint();
  FCanvas.SetHandle(nullptr);
  FCanvas.Unlock();
}
