#pragma once
// The viewer's window shown on the headless screen with its frame provider and stored skin.
#include <gtest/gtest.h>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/widgets/Menus.h"
#include "skin/data/sSkinManager.h"
#include "viewer/Maruk_rom.h"

class ViewerWindowTest : public ::testing::Test {
 protected:
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm1* Form = nullptr;
  TsSkinManager* Manager = nullptr;

  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = App->CreateForm<TForm1>();
    Manager = Form->sSkinManager1;
    Form->Show();
    Handle();
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
  // Everything that is ready now: queued messages, then painting and what it posts.
  void Handle() {
    App->ProcessMessages();
    Display.Pump();
    App->ProcessMessages();
  }
  // A main menu of `form` with a "&File" and a "&Help" menu, one item each.
  static TMainMenu* MakeMainMenu(TForm* form) {
    auto* menu = new TMainMenu(form);
    for (const char* caption : {"&File", "&Help"}) {
      auto* item = new TMenuItem(form);
      item->SetCaption(caption);
      auto* sub = new TMenuItem(form);
      sub->SetCaption("Open");
      item->Add(sub);
      menu->Items()->Add(item);
    }
    return menu;
  }
  TRect WindowRect() {
    TRect r;
    GetWindowRect(Form->Handle(), &r);
    return r;
  }
  // Screen point of a point relative to the viewer's window.
  TPoint At(int x, int y) {
    const TRect w = WindowRect();
    return {w.Left + x, w.Top + y};
  }
  LRESULT HitAt(int x, int y) {
    const TPoint p = At(x, y);
    return SendMessage(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
  }
  void ClickAt(int x, int y) {
    const TPoint p = At(x, y);
    Display.Click(p.X, p.Y);
    Handle();
  }
  COLORREF WindowPixel(int x, int y) {
    const TPoint p = At(x, y);
    return Display.ScreenPixel(p.X, p.Y);
  }
};
