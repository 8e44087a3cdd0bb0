#pragma once
// Forms, the application object and the screen.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/components/LayoutValue.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/Graphic.h"

class TMainMenu;
class THintWindow;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderIcons = uint32_t;
inline constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                              mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// The form's own scroll bar settings.
class TControlScrollBar : public TPersistent {
 public:
  std::string ClassName() const override { return "TControlScrollBar"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;
  int Range = 0;
  int Increment = 8;
  bool Visible = true;
  bool Smooth = false;
  int Position = 0;
  int Margin = 0;
};

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  std::string ClassName() const override { return "TCustomForm"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // ---- Frame ----
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  TPosition Position = poDesigned;
  TIcon* Icon() { return &FIcon; }
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* menu);
  bool AutoScroll = true;
  TControlScrollBar* HorzScrollBar() { return &FHorzScrollBar; }
  TControlScrollBar* VertScrollBar() { return &FVertScrollBar; }
  bool KeyPreview = false;
  TRect ClientRect() const override;
  // Shows the form's own scroll bars when AutoScroll is on and the controls reach past the
  // client area (or a bar's Range asks for more), and scrolls the controls with them.
  void UpdateScrollBars();
  void ScrollInView(TControl* control);
  void ChildBoundsChanged(TControl*) override { UpdateScrollBars(); }

  // ---- Showing and closing ----
  void Show();
  void Hide() { SetVisible(false); }
  void Close();
  virtual bool CloseQuery();
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  bool Modal() const { return FModal; }
  bool Active() const { return FActive; }
  // Frees the form once the messages now pending have been handled.
  void Release();

  // ---- Focus ----
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  void FocusControl(TWinControl* control);
  void SetFocusedControl(TWinControl* control);
  void ControlRemoved(TWinControl* control);
  TCanvas* Canvas() { return &FCanvas; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void WndProc(TMessage& message) override;
  void KeyDown(WPARAM& key, TShiftState shift) override { TWinControl::KeyDown(key, shift); }
  void KeyPress(char& key) override { TWinControl::KeyPress(key); }
  void Loaded() override;

 protected:
  void BeforeDestruction() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void PaintWindow(HDC dc) override;
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoCreate();
  // Reads the form's stored layout (called by constructors of concrete forms).
  void ReadStoredLayout(const std::string& text, TLayoutContext context = {});

 private:
  void PlaceOnFirstShow();
  void ScrollBy(int dx, int dy);
  void HandleScroll(int bar, WPARAM code);
  bool FUpdatingScrollBars = false;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TWindowState FWindowState = wsNormal;
  TIcon FIcon;
  TMainMenu* FMenu = nullptr;
  TControlScrollBar FHorzScrollBar, FVertScrollBar;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  bool FActive = false;
  bool FPlaced = false;
  TControlCanvas FCanvas;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
  std::string ClassName() const override { return "TForm"; }
};

// The forms of the program, in creation order.
class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner) : TComponent(owner) {}
  std::string ClassName() const override { return "TScreen"; }
  int FormCount() const { return int(FForms.size()); }
  TCustomForm* Forms(int index) const { return FForms[size_t(index)]; }
  TCustomForm* ActiveForm() const;
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  TRect WorkAreaRect() const;
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);

 private:
  std::vector<TCustomForm*> FForms;
};

using TExceptionEvent = std::function<void(TObject* sender, const std::exception& e)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;
  std::string ClassName() const override { return "TApplication"; }

  void Initialize();
  // Creates a form; the first one becomes the main form.
  template <class T>
  T* CreateForm() {
    T* form = new T(this);
    if (!FMainForm) FMainForm = form;
    return form;
  }
  void Run();
  void ProcessMessages();
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  void Minimize();
  void Restore();

  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* form) { FMainForm = form; }
  // The executable's file name without its extension unless set.
  std::string Title() const;
  void SetTitle(const std::string& title) { FTitle = title; }
  bool ShowHint = true;
  TIcon* Icon() { return &FIcon; }
  TExceptionEvent OnException;
  TNotifyEvent OnIdle;

  // Shows an exception in the standard error box; the default handler of the message loop.
  void HandleException(TObject* sender);
  void ShowException(const std::exception& e);
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);
  // The control the mouse is over (it got CM_MOUSEENTER last).
  TControl* MouseControl() const { return FMouseControl; }

  // ---- Hints (Forms_Hints.cpp) ----
  int HintPause = 500;       // how long the pointer rests on a control before its hint shows
  int HintShortPause = 50;   // the same, from one control's hint shown to the next control
  // Takes the hint away (a click, a key, the window deactivated); it comes back only after
  // the pointer has left the control.
  void CancelHint();
  // Asks the control of the hint shown now for it again (its content changed under the pointer).
  void UpdateHint();
  THintWindow* HintWindow() const { return FHintWindow; }
  void Notification(TComponent* component, TOperation operation) override;

  // The program's own hidden window. Messages sent or posted to it go to the hooks, the one
  // installed last first, until one answers true.
  HWND Handle();
  using TWindowHook = std::function<bool(TMessage& message)>;
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int id);
  void CancelMouseControl(TControl* control);

 private:
  bool ProcessMessage(TMsg& msg);
  void Idle();
  void TrackMouseControl();
  void HintMouseMove(TControl* control, TPoint screen);
  void HintPauseOver();
  void ShowHintAt(TPoint screen);
  void HideHint();
  TControl* FHintControl = nullptr;   // the control the pointer rests on, if it wants hints
  bool FHintActive = false;           // the pause is over: its hint is shown (or was refused there)
  bool FHintDismissed = false;        // taken away by a click or a key until the pointer leaves
  TRect FHintCursorRect;              // screen coordinates; leaving it asks for the hint again
  THintWindow* FHintWindow = nullptr;
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  std::string FTitle;
  TIcon FIcon;
  TControl* FMouseControl = nullptr;
  HWND FHandle = nullptr;
  std::vector<std::pair<int, TWindowHook>> FHooks;
  int FNextHook = 1;
};

extern TApplication* Application;
extern TScreen* Screen;

// The standard message box of the toolkit (implemented with its dialogs).
int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);
// The message of an exception as the error box shows it: with "." appended when the last
// character sorts after ".".
std::string ExceptionMessageText(const std::string& message);
