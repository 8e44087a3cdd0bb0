#pragma once
// Hints: a small top-level window beside the pointer with a few lines of text. The application
// shows one after the hint pause when the pointer rests on a control that wants hints
// (ShowHint), asks the control for its text (CM_HINTSHOW), and takes it away on a click, a key,
// when the pointer leaves the control or the window is deactivated. The window never takes the
// focus or the input, and the pointer passes through it. THintWindow draws the plain look; a
// look library puts its own class in its place through HintWindowClass().
#include <functional>
#include <string>

#include "platform/widgets/ControlCanvas.h"

// What a control is asked with CM_HINTSHOW (lParam points to it). The control may change the
// text, the rectangle the hint stays valid in, or refuse the hint by setting the message's
// result to non-zero.
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint CursorPos;      // the pointer, in the control's client coordinates
  TRect CursorRect;      // while the pointer stays inside (client coordinates) the hint stays as it is
  std::string HintStr;   // lines separated by "\n"; no hint when empty
  int HintMaxWidth = 0;
};

class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);
  std::string ClassName() const override { return "THintWindow"; }
  // The size the window needs for `text`, as a rectangle at (0, 0).
  virtual TRect CalcHintRect(int maxWidth, const std::string& text);
  // Shows `text` at `rect` (screen coordinates) without activating anything; a window already
  // shown moves there and repaints only when its text or size changed.
  virtual void ActivateHint(const TRect& rect, const std::string& text);
  void ReleaseHint();
  bool Shown() const { return FShown; }
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  // Called when the window's size changed (for an outline that follows the size).
  virtual void Resized() {}
  // The plain look's room between the window's edge and the text.
  static constexpr int kBorder = 1, kPaddingX = 3, kPaddingY = 2;
  // The text's font and the text measured in it (the plain look and the skinned one share them).
  static TLogFont HintFont();
  static TSize MeasureHintText(const std::string& text, int maxWidth);

 private:
  bool FShown = false;
};

// The application's timer for the hint pause, on the application's window.
inline constexpr uintptr_t kHintTimer = 0x4854;
// The deepest control under a screen point, looking into disabled containers as well: a
// control in a disabled group box has its hint all the same.
TControl* FindHintTarget(TPoint screen);

// The class of the hints the application shows; empty for THintWindow.
using THintWindowFactory = std::function<THintWindow*(TComponent* owner)>;
THintWindowFactory& HintWindowClass();
