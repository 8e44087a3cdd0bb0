#pragma once
// Controls: TControl (anything with a place on a form), the messages and styles every control
// shares, and the capture and lookup helpers. Messages reach a control through its WindowProc,
// which code may replace and restore; Perform calls it directly. TWinControl (a control with a
// window, WinControl.h), TGraphicControl and TCustomControl (ControlCanvas.h) come with it.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/components/Component.h"
#include "platform/widgets/Canvas.h"
#include "platform/windowing/WinApi.h"

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

// The toolkit's own notifications.
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
                      CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
                      CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
                      CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
                      CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11, CM_ENABLEDCHANGED = CM_BASE + 12,
                      CM_COLORCHANGED = CM_BASE + 13, CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
                      CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20,
                      CM_MENUCHANGED = CM_BASE + 21, CM_APPKEYDOWN = CM_BASE + 22, CM_BUTTONPRESSED = CM_BASE + 24,
                      CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
                      CM_ICONCHANGED = CM_BASE + 29, CM_WANTSPECIALKEY = CM_BASE + 30, CM_RELEASE = CM_BASE + 33,
                      CM_SHOWHINTCHANGED = CM_BASE + 34, CM_SYSCOLORCHANGE = CM_BASE + 36,
                      CM_TABSTOPCHANGED = CM_BASE + 40, CM_CONTROLLISTCHANGE = CM_BASE + 44,
                      CM_CHILDKEY = CM_BASE + 46, CM_HINTSHOW = CM_BASE + 48, CM_SYSFONTCHANGED = CM_BASE + 50,
                      CM_CONTROLCHANGE = CM_BASE + 54, CM_CHANGED = CM_BASE + 55, CM_BORDERCHANGED = CM_BASE + 59,
                      CM_MOUSEWHEEL = CM_BASE + 67;
// A request the control can't carry out in its state (a bad range, a window made modal twice).
class EInvalidOperation : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Notifications a parent hands back to the control that sent them.
inline constexpr UINT CN_BASE = 0xBC00, CN_HSCROLL = CN_BASE + WM_HSCROLL, CN_VSCROLL = CN_BASE + WM_VSCROLL;

// Control styles and states.
using TControlStyle = uint32_t;
inline constexpr TControlStyle csAcceptsControls = 1 << 0, csCaptureMouse = 1 << 1, csDesignInteractive = 1 << 2,
                               csClickEvents = 1 << 3, csFramed = 1 << 4, csSetCaption = 1 << 5, csOpaque = 1 << 6,
                               csDoubleClicks = 1 << 7, csFixedWidth = 1 << 8, csFixedHeight = 1 << 9,
                               csNoDesignVisible = 1 << 10, csReplicatable = 1 << 11, csNoStdEvents = 1 << 12,
                               csDisplayDragImage = 1 << 13, csReflector = 1 << 14, csActionClient = 1 << 15,
                               csMenuEvents = 1 << 16, csNeedsBorderPaint = 1 << 17, csParentBackground = 1 << 18;
using TControlState = uint32_t;
inline constexpr TControlState csLButtonDown = 1 << 0, csClicked = 1 << 1, csPalette = 1 << 2,
                               csReadingState = 1 << 3, csAlignmentNeeded = 1 << 4, csFocusing = 1 << 5,
                               csCreating = 1 << 6, csPaintCopy = 1 << 7, csCustomPaint = 1 << 8,
                               csDestroyingHandle = 1 << 9, csDocking = 1 << 10;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAnchors = uint32_t;
inline constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = uint32_t;
inline constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WPARAM& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

class TWinControl;
class TCustomForm;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  std::string ClassName() const override { return "TControl"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // ---- Messages ----
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual void WndProc(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // ---- Place ----
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  void SetParentComponent(TComponent* parent) override;
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientSize(int width, int height);
  TPoint ClientOrigin() const;  // screen position of the client's top-left corner
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors anchors) { FAnchors = anchors; }

  // ---- Look ----
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);
  std::string Caption() const { return FText; }
  void SetCaption(const std::string& text) { SetText(text); }
  std::string Text() const { return FText; }
  void SetText(const std::string& text);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TFont* Font() { return &FFont; }
  const TFont* Font() const { return &FFont; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  bool ShowHint = false;
  bool ParentShowHint = true;
  std::string Hint;
  TBiDiMode BiDiMode = bdLeftToRight;
  bool UseRightToLeftAlignment() const { return BiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return BiDiMode != bdLeftToRight; }

  TControlStyle ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState ControlState = 0;

  // ---- Painting ----
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  virtual bool IsWindowed() const { return false; }

  // ---- Input ----
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;
  virtual void Click();
  virtual void DblClick();
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);
  // The form the control is on, or nullptr.
  TCustomForm* ParentForm() const;
  void BringToFront();
  void SendToBack();

 protected:
  void BeforeDestruction() override;
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Resize();
  virtual void FontChanged();
  // Invalidates the control's place on its parent.
  void InvalidateControl(bool isVisible, bool isOpaque);
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FText;
  TColor FColor = clWindow;
  bool FParentColor = true;
  TFont FFont;
  bool FParentFont = true;
  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  bool FFontChanging = false;

 private:
  friend class TWinControl;
  void MouseMessage(TMessage& message, TMouseButton button, bool down, bool dbl);
};

// Finds the toolkit control of a window, or nullptr.
TWinControl* FindControl(HWND hwnd);
// The control under a screen point, windowless ones included.
TControl* FindDragTarget(TPoint screen, bool allowDisabled);
// The windowless child that holds the mouse (set by a graphic control that captures it).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// Forgets the windowless capture when it is `control` or one of its children.
void ForgetCaptureControl(const TControl* control);
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardState();

// The kinds of control built on TControl, for everyone who includes this header.
#include "platform/widgets/WinControl.h"
