#pragma once
// The viewer's window shown on the headless screen with its frame provider and stored skin.
#include <gtest/gtest.h>

#include "platform/display/headless/HeadlessDisplay.h"
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
};
