#pragma once
// A form on the headless screen with a skin manager of its own whose skin the test makes
// in memory (TTestSkin): the fixture's SetUp adds sections and masks to Skin, then calls
// Skin->Apply(). The manager is the default one every skinned control uses.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "platform/widgets/Forms.h"
#include "tests/support/TestSkin.h"

class TestSkinForm : public ::testing::Test {
 protected:
  static constexpr COLORREF kFormColor = RGB(200, 210, 220);

  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  std::unique_ptr<TTestSkin> Skin;

  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = NewForm();
    Form->SetBounds(100, 100, 400, 300);
    Form->SetColor(kFormColor);
    Manager = new TsSkinManager(Form);
    Skin = std::make_unique<TTestSkin>(Manager, "Test");
  }
  virtual TForm* NewForm() { return new TForm(App); }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }

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
    Handle();
  }
  // Handles what is pending the way the program's loop does (which also tells controls when
  // the pointer enters and leaves them).
  void Handle() {
    App->ProcessMessages();
    Display.Pump();
    App->ProcessMessages();
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
  void MoveTo(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    Handle();
  }
};

// Where `text` leaves ink when the window system draws it in `font` with its top-left corner
// at `origin` on a w x h picture: the picture in black and white.
inline TDib InkOf(const std::string& text, const TLogFont& font, TPoint origin, int w, int h, unsigned format = 0,
                  TRect box = {}) {
  TDib ink(w, h);
  ink.Fill(RGB(255, 255, 255));
  TDC dc(&ink);
  SelectFont(&dc, font);
  SetBkMode(&dc, TRANSPARENT);
  SetTextColor(&dc, RGB(0, 0, 0));
  TRect r = box.IsEmpty() ? TRect{origin.X, origin.Y, w, h} : box;
  DrawText(&dc, text, &r, format | DT_NOCLIP);
  return ink;
}

// How many pixels differ between where `ink` is black and where `shot` has the colour `c`,
// leaving out the pixels of `skip`.
inline int InkMisses(const TDib& ink, const TDib& shot, COLORREF c, TRect skip = {}) {
  int misses = 0;
  for (int y = 0; y < ink.Height(); ++y)
    for (int x = 0; x < ink.Width(); ++x)
      if (!skip.Contains(x, y)) misses += (ink.GetPixel(x, y) == 0) != (shot.GetPixel(x, y) == c);
  return misses;
}
