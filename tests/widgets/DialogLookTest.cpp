#include <sys/stat.h>

#include "platform/widgets/Button.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/OpenDialog.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

class TOwnButton : public TButton {
 public:
  explicit TOwnButton(TComponent* owner) : TButton(owner) {}
  std::string ClassName() const override { return "TOwnButton"; }
};

// A label that is not a TLabel: it may stand in for one all the same.
class TOwnLabel : public TCustomLabel {
 public:
  explicit TOwnLabel(TComponent* owner) : TCustomLabel(owner) {}
  std::string ClassName() const override { return "TOwnLabel"; }
};

class DialogLook : public WidgetTest {
 protected:
  void TearDown() override {
    for (const char* name : {"TButton", "TLabel"}) RegisterDialogControl(name, nullptr);
    DialogFormHook() = nullptr;
    WidgetTest::TearDown();
  }
  static std::vector<std::string> ClassesOn(TCustomForm* form) {
    std::vector<std::string> names;
    for (int i = 0; i < form->ControlCount(); ++i) names.push_back(form->Controls(i)->ClassName());
    return names;
  }
};

TEST_F(DialogLook, AMakerStandsInOnlyWithAControlOfTheRightClass) {
  EXPECT_EQ(MakeDialogControl<TButton>("TButton", App)->ClassName(), "TButton");
  RegisterDialogControl("TButton", [](TComponent* o) { return new TOwnButton(o); });
  EXPECT_EQ(MakeDialogControl<TButton>("TButton", App)->ClassName(), "TOwnButton");
  // No stand-in this time: the toolkit's own class.
  RegisterDialogControl("TButton", [](TComponent*) -> TControl* { return nullptr; });
  EXPECT_EQ(MakeDialogControl<TButton>("TButton", App)->ClassName(), "TButton");
  // A label cannot stand in for a button: it is freed and the toolkit's button is made.
  RegisterDialogControl("TButton", [](TComponent* o) { return new TOwnLabel(o); });
  const int before = App->ComponentCount();
  EXPECT_EQ(MakeDialogControl<TButton>("TButton", App)->ClassName(), "TButton");
  EXPECT_EQ(App->ComponentCount(), before + 1);
  RegisterDialogControl("TButton", nullptr);
  EXPECT_EQ(MakeRegisteredDialogControl("TButton", App), nullptr);
}

TEST_F(DialogLook, TheOpenDialogIsBuiltFromTheStandInsAndShownToTheHookFirst) {
  char tmpl[] = "/tmp/dialog-look-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  RegisterDialogControl("TButton", [](TComponent* o) { return new TOwnButton(o); });
  RegisterDialogControl("TLabel", [](TComponent* o) { return new TOwnLabel(o); });
  int hooked = 0;
  bool visibleAtHook = true;
  std::vector<std::string> atHook, shown;
  DialogFormHook() = [&](TCustomForm* form) {
    ++hooked;
    visibleAtHook = form->Visible();
    atHook = ClassesOn(form);
  };
  auto* d = new TOpenDialog(App);
  d->InitialDir = dir;
  d->Options |= ofNoChangeDir;
  Display.Schedule([&] { shown = ClassesOn(Screen->ActiveForm()); });
  Display.Schedule([&] { Display.TypeText("new.rom"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  EXPECT_TRUE(d->Execute());
  rmdir(dir.c_str());
  EXPECT_EQ(d->FileName, dir + "/new.rom");
  EXPECT_EQ(hooked, 1);
  EXPECT_FALSE(visibleAtHook);
  const std::vector<std::string> expected{"TOwnLabel", "TOwnLabel", "TListBox",   "TOwnLabel", "TEdit",
                                          "TOwnLabel", "TOwnLabel", "TOwnButton", "TOwnButton"};
  EXPECT_EQ(atHook, expected);
  EXPECT_EQ(shown, expected);
}

}  // namespace
