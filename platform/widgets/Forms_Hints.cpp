// The application's hints: the pause before a hint shows, asking the control for its text,
// placing the window beside the pointer without ever covering it, following the pointer from
// one part of the control to the next, and taking the hint away.
#include <algorithm>

#include "platform/widgets/Forms.h"
#include "platform/widgets/HintWindow.h"

namespace {

// The pointer's arrow reaches this far below its hot spot; a hint below starts there.
constexpr int kBelowPointer = 20;
// A hint above the pointer ends this far above its hot spot.
constexpr int kAbovePointer = 2;

// Whether a control shows hints: its own setting, or its parent's while it follows the parent.
bool WantsHint(const TControl* c) {
  while (c->ParentShowHint && c->Parent()) c = c->Parent();
  return c->ShowHint;
}

TRect ScreenRectOf(const TControl* c, const TRect& client) {
  const TPoint o = c->ClientToScreen({client.Left, client.Top});
  return Bounds(o.X, o.Y, client.Width(), client.Height());
}

}  // namespace

TControl* FindHintTarget(TPoint screen) {
  TControl* found = FindControl(WindowFromPoint(screen));
  while (auto* container = dynamic_cast<TWinControl*>(found)) {
    TControl* child = container->ControlAtPos(container->ScreenToClient(screen), true, true);
    if (!child) break;
    found = child;
  }
  return found;
}

void TApplication::HintMouseMove(TControl* control, TPoint screen) {
  if (control && (!ShowHint || !WantsHint(control))) control = nullptr;
  // Hints are for the window being worked in, not for one behind another program's.
  if (control && control->ParentForm() && !control->ParentForm()->Active()) control = nullptr;
  if (control != FHintControl) {
    const bool wasShown = FHintWindow && FHintWindow->Shown();
    HideHint();
    FHintControl = control;
    FHintDismissed = false;
    if (control) SetTimer(Handle(), kHintTimer, uint32_t(std::max(wasShown ? HintShortPause : HintPause, 1)));
    return;
  }
  if (!control || !FHintActive || FHintDismissed) return;
  // On to another part of the control, or onto the hint itself: ask again, place again.
  const bool onHint = FHintWindow && FHintWindow->Shown() && FHintWindow->BoundsRect().Contains(screen.X, screen.Y);
  if (!FHintCursorRect.Contains(screen.X, screen.Y) || onHint) ShowHintAt(screen);
}

void TApplication::HintPauseOver() {
  KillTimer(Handle(), kHintTimer);
  if (!FHintControl || FHintDismissed) return;
  TPoint p;
  GetCursorPos(&p);
  if (FindHintTarget(p) != FHintControl) return;
  FHintActive = true;
  ShowHintAt(p);
}

void TApplication::ShowHintAt(TPoint screen) {
  TControl* control = FHintControl;
  if (!control) return;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = control->ScreenToClient(screen);
  info.CursorRect = control->ClientRect();
  info.HintStr = control->Hint;
  info.HintMaxWidth = screenWidth;
  TMessage ask{CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info), 0};
  control->WindowProc(ask);
  if (FHintControl != control) return;  // the control went away meanwhile
  FHintCursorRect = ScreenRectOf(control, info.CursorRect);
  if (ask.Result != 0 || info.HintStr.empty()) {
    if (FHintWindow) FHintWindow->ReleaseHint();
    return;
  }
  if (!FHintWindow) {
    FHintWindow = HintWindowClass() ? HintWindowClass()(this) : new THintWindow(this);
    if (!FHintWindow) return;
  }
  const TRect size = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr);
  const int w = size.Width(), h = size.Height();
  // Below the pointer's arrow when it fits on the screen, else above the pointer; never over it.
  int y = screen.Y + kBelowPointer;
  if (y + h > screenHeight) y = screen.Y - kAbovePointer - h;
  const int x = std::clamp(screen.X, 0, std::max(screenWidth - w, 0));
  FHintWindow->ActivateHint(Bounds(x, std::max(y, 0), w, h), info.HintStr);
}

void TApplication::HideHint() {
  if (FHandle && IsWindow(FHandle)) KillTimer(FHandle, kHintTimer);
  FHintActive = false;
  if (FHintWindow) FHintWindow->ReleaseHint();
}

void TApplication::CancelHint() {
  HideHint();
  if (FHintControl) FHintDismissed = true;
}

void TApplication::UpdateHint() {
  if (!FHintControl || !FHintActive || FHintDismissed) return;
  TPoint p;
  GetCursorPos(&p);
  ShowHintAt(p);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FHintWindow) FHintWindow = nullptr;
}
