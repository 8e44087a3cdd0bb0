#pragma once
// A form of known colour on the headless screen, 400 x 300 at (100, 100), with helpers that
// make controls on it, drive the pointer and read back what the screen shows.
#include <gtest/gtest.h>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/widgets/Forms.h"

class FormOnScreen : public ::testing::Test {
 protected:
  static constexpr COLORREF kFormColor = RGB(200, 210, 220);

  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm* Form = nullptr;

  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    BeforeForm();
    Form = NewForm();
    Form->SetBounds(100, 100, 400, 300);
    Form->SetColor(kFormColor);
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
  // What the fixture makes before the form under test.
  virtual void BeforeForm() {}
  virtual TForm* NewForm() { return new TForm(App); }

  // A control of class T on `parent` (the form by default) at the given bounds.
  template <class T>
  T* Make(int x, int y, int w, int h, TWinControl* parent = nullptr) {
    auto* c = new T(Form);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent ? parent : Form);
    return c;
  }
  void ShowForm() {
    Form->Show();
    Display.Pump();
  }
  // What the screen shows at a point of a control's client area.
  COLORREF PixelOf(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    return Display.ScreenPixel(p.X, p.Y);
  }
  // The screen under a control's client area.
  TDib ShotOf(TControl* c) {
    const TDib screen = Display.Screenshot();
    const TPoint o = c->ClientToScreen({0, 0});
    TDib out(c->Width(), c->Height());
    for (int y = 0; y < c->Height(); ++y)
      for (int x = 0; x < c->Width(); ++x) out.SetPixel(x, y, screen.GetPixel(o.X + x, o.Y + y));
    return out;
  }
  // Handles what is pending the way the program's loop does (which also tells controls when
  // the pointer enters and leaves them).
  void Handle() {
    App->ProcessMessages();
    Display.Pump();
    App->ProcessMessages();
  }
  // Input at a point of a control's client area, handled at once.
  void MoveTo(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    Handle();
  }
  void Click(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.Click(p.X, p.Y);
    Handle();
  }
};
