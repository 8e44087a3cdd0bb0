#include <sys/stat.h>

#include <fstream>

#include "platform/widgets/Button.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/ListBox.h"
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

class TOwnEdit : public TEdit {
 public:
  explicit TOwnEdit(TComponent* owner) : TEdit(owner) {}
  std::string ClassName() const override { return "TOwnEdit"; }
};

class DialogLook : public WidgetTest {
 protected:
  std::string Dir;
  void SetUp() override {
    WidgetTest::SetUp();
    char tmpl[] = "/tmp/dialog-look-XXXXXX";
    Dir = mkdtemp(tmpl);
    std::ofstream(Dir + "/a.rom") << "x";
    mkdir((Dir + "/sub").c_str(), 0755);
  }
  void TearDown() override {
    for (const char* name : {"TButton", "TLabel", "TEdit", "TListBox"}) RegisterDialogControl(name, nullptr);
    DialogFormHook() = nullptr;
    std::system(("rm -rf '" + Dir + "'").c_str());
    WidgetTest::TearDown();
  }
  TOpenDialog* MakeDialog() {
    auto* d = new TOpenDialog(App);
    d->Filter = "Maruk rom files|*.bin;*.rom";
    d->InitialDir = Dir;
    d->Options |= ofNoChangeDir;
    return d;
  }
  // The class names of a form's controls, in creation order.
  static std::vector<std::string> ClassesOn(TCustomForm* form) {
    std::vector<std::string> names;
    for (int i = 0; i < form->ControlCount(); ++i) names.push_back(form->Controls(i)->ClassName());
    return names;
  }
};

TEST_F(DialogLook, AMakerStandsInOnlyWithAControlOfTheRightClass) {
  TComponent* owner = App;
  EXPECT_EQ(MakeDialogControl<TButton>("TButton", owner)->ClassName(), "TButton");
  RegisterDialogControl("TButton", [](TComponent* o) { return new TOwnButton(o); });
  EXPECT_EQ(MakeDialogControl<TButton>("TButton", owner)->ClassName(), "TOwnButton");
  // No stand-in this time: the toolkit's own class.
  RegisterDialogControl("TButton", [](TComponent*) -> TControl* { return nullptr; });
  EXPECT_EQ(MakeDialogControl<TButton>("TButton", owner)->ClassName(), "TButton");
  // A label cannot stand in for a button; it is freed and the toolkit's button is made.
  RegisterDialogControl("TButton", [](TComponent* o) { return new TOwnLabel(o); });
  const int before = owner->ComponentCount();
  EXPECT_EQ(MakeDialogControl<TButton>("TButton", owner)->ClassName(), "TButton");
  EXPECT_EQ(owner->ComponentCount(), before + 1);
  // Removed again.
  RegisterDialogControl("TButton", nullptr);
  EXPECT_EQ(MakeRegisteredDialogControl("TButton", owner), nullptr);
  // A label maker may give any label; the default is the toolkit's TLabel.
  EXPECT_EQ((MakeDialogControl<TCustomLabel, TLabel>("TLabel", owner)->ClassName()), "TLabel");
  RegisterDialogControl("TLabel", [](TComponent* o) { return new TOwnLabel(o); });
  EXPECT_EQ((MakeDialogControl<TCustomLabel, TLabel>("TLabel", owner)->ClassName()), "TOwnLabel");
}

TEST_F(DialogLook, TheOpenDialogIsBuiltFromTheStandInsAndShownToTheHook) {
  RegisterDialogControl("TButton", [](TComponent* o) { return new TOwnButton(o); });
  RegisterDialogControl("TLabel", [](TComponent* o) { return new TOwnLabel(o); });
  RegisterDialogControl("TEdit", [](TComponent* o) { return new TOwnEdit(o); });
  int hooked = 0;
  bool visibleAtHook = true;
  std::vector<std::string> atHook, shown;
  DialogFormHook() = [&](TCustomForm* form) {
    ++hooked;
    visibleAtHook = form->Visible();
    atHook = ClassesOn(form);
  };
  TOpenDialog* d = MakeDialog();
  Display.Schedule([&] { shown = ClassesOn(Screen->ActiveForm()); });
  Display.Schedule([&] { Display.TypeText("new.rom"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(d->FileName, Dir + "/new.rom");
  EXPECT_EQ(hooked, 1);
  EXPECT_FALSE(visibleAtHook);
  const std::vector<std::string> expected{"TOwnLabel", "TOwnLabel", "TListBox",  "TOwnLabel", "TOwnEdit",
                                          "TOwnLabel", "TOwnLabel", "TOwnButton", "TOwnButton"};
  EXPECT_EQ(atHook, expected);
  EXPECT_EQ(shown, expected);
}

TEST_F(DialogLook, WithNothingRegisteredTheDialogUsesTheToolkitsControls) {
  std::vector<std::string> shown;
  TOpenDialog* d = MakeDialog();
  Display.Schedule([&] { shown = ClassesOn(Screen->ActiveForm()); });
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_FALSE(d->Execute());
  EXPECT_EQ(shown, (std::vector<std::string>{"TLabel", "TLabel", "TListBox", "TLabel", "TEdit", "TLabel", "TLabel",
                                             "TButton", "TButton"}));
}

}  // namespace
