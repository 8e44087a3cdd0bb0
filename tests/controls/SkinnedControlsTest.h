#pragma once
// A form on the headless screen, skinned by the program's own stored skin "BlueGlass
// (internal)": the viewer's window is created (and never shown) for its skin manager, which is
// the default manager every control uses. The form under test has its own known colour.
#include <gtest/gtest.h>

#include "tests/support/FormOnScreen.h"
#include "viewer/Maruk_rom.h"

class SkinnedControls : public FormOnScreen {
 protected:
  TForm1* Viewer = nullptr;
  TsSkinManager* Manager = nullptr;

  void BeforeForm() override {
    Viewer = App->CreateForm<TForm1>();
    Manager = Viewer->sSkinManager1;
  }
  const TsGeneralData& Section(const std::string& name) {
    const int i = Manager->FindSection(name);
    EXPECT_GE(i, 0) << name;
    return Manager->Sections()[size_t(std::max(i, 0))];
  }
};
