#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <map>

#include "controls/sBitBtn.h"
#include "controls/sEdit.h"
#include "controls/sLabel.h"
#include "dialogs/sListBox.h"
#include "frame/sSkinProvider.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/widgets/OpenDialog.h"
#include "skin/data/sSkinManager.h"
#include "viewer/Maruk_rom.h"

namespace {

// The stored skin's "EDIT" border: the outermost row of its hot image is (62, 132, 210).
constexpr COLORREF kHotEdge = RGB(62, 132, 210);

// The viewer's window with its stored skin, and the file-open dialog opened over it on a
// folder with a sub-folder and enough files for the list to scroll.
class OpenDialog : public ::testing::Test {
 protected:
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm1* Viewer = nullptr;
  std::string Dir;

  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Viewer = App->CreateForm<TForm1>();
    Viewer->Show();
    App->ProcessMessages();
    char tmpl[] = "/tmp/open-dialog-XXXXXX";
    Dir = mkdtemp(tmpl);
    for (int i = 0; i < 20; ++i) std::ofstream(Dir + "/f" + std::to_string(10 + i) + ".bin") << "x";
    mkdir((Dir + "/sub").c_str(), 0755);
    std::ofstream(Dir + "/sub/inner.bin") << "x";
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
    std::system(("rm -rf '" + Dir + "'").c_str());
  }

  TOpenDialog* MakeDialog() {
    auto* d = new TOpenDialog(App);
    d->Filter = "Maruk rom files|*.bin;*.rom";
    d->InitialDir = Dir;
    d->Options |= ofNoChangeDir;
    return d;
  }
  static TCustomForm* Dialog() { return Screen->ActiveForm(); }
  template <class T>
  static T* Find(TCustomForm* form) {
    for (int i = 0; i < form->ControlCount(); ++i)
      if (auto* c = dynamic_cast<T*>(form->Controls(i))) return c;
    return nullptr;
  }
  static TsSkinProvider* ProviderOf(TCustomForm* form) {
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* p = dynamic_cast<TsSkinProvider*>(form->Components(i))) return p;
    return nullptr;
  }
  static std::map<std::string, int> ClassCounts(TCustomForm* form) {
    std::map<std::string, int> counts;
    for (int i = 0; i < form->ControlCount(); ++i) ++counts[form->Controls(i)->ClassName()];
    return counts;
  }
  COLORREF WindowPixel(TWinControl* c, int x, int y) {
    TRect r;
    GetWindowRect(c->Handle(), &r);
    return Display.ScreenPixel(r.Left + x, r.Top + y);
  }
  // Pixels of the dialog's window in a colour of the classic look (button face, the 3D edge's
  // greys, the active caption), outside the list's built-in scroll bar.
  int ClassicPixels(TCustomForm* form) {
    const TDib screen = Display.Screenshot();
    TsListBox* list = Find<TsListBox>(form);
    TRect bar = list->ScrollBarRect();
    const TPoint barAt = list->ClientToScreen({bar.Left, bar.Top});
    bar = Bounds(barAt.X, barAt.Y, bar.Width(), bar.Height());
    const COLORREF classic[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_3DDKSHADOW),
                                GetSysColor(COLOR_ACTIVECAPTION)};
    TRect window;
    GetWindowRect(form->Handle(), &window);
    int n = 0;
    for (int y = window.Top; y < window.Bottom; ++y)
      for (int x = window.Left; x < window.Right; ++x) {
        if (bar.Contains(x, y)) continue;
        for (COLORREF c : classic) n += screen.GetPixel(x, y) == c;
      }
    return n;
  }
};

// Expectations inside scheduled steps run while the dialog is up; `steps` proves they ran.
TEST_F(OpenDialog, WhileSkinnedItIsFramedAndMadeOfSkinnedControlsAndFollowsASkinSwitch) {
  TsSkinManager* manager = Viewer->sSkinManager1;
  int steps = 0;
  Display.Schedule([&] {
    TCustomForm* form = Dialog();
    EXPECT_EQ(form->Caption(), "Open");
    EXPECT_EQ(ClassCounts(form),
              (std::map<std::string, int>{{"TsBitBtn", 2}, {"TsLabel", 5}, {"TsEdit", 1}, {"TsListBox", 1}}));
    TsSkinProvider* provider = ProviderOf(form);
    ASSERT_TRUE(provider);
    EXPECT_TRUE(provider->Skinned());
    EXPECT_EQ(provider->SkinData()->SkinSection(), "DIALOG");
    EXPECT_FALSE(provider->MakeSkinMenu);
    // The name box has the focus, so its edge is hot; nothing classic shows but the list's bar.
    TsEdit* edit = Find<TsEdit>(form);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(WindowPixel(edit, edit->Width() / 2, 0), kHotEdge);
    EXPECT_EQ(ClassicPixels(form), 0);
    manager->SetActive(false);
    ++steps;
  });
  Display.Schedule([&] {
    TCustomForm* form = Dialog();
    EXPECT_FALSE(ProviderOf(form)->Skinned());
    EXPECT_EQ(WindowPixel(Find<TsEdit>(form), 0, 0), GetSysColor(COLOR_BTNSHADOW));  // the classic edge
    manager->SetActive(true);
    ++steps;
  });
  Display.Schedule([&] {
    TCustomForm* form = Dialog();
    TsEdit* edit = Find<TsEdit>(form);
    EXPECT_TRUE(ProviderOf(form)->Skinned());
    EXPECT_EQ(WindowPixel(edit, edit->Width() / 2, 0), kHotEdge);
    EXPECT_EQ(ClassicPixels(form), 0);
    ++steps;
  });
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_FALSE(MakeDialog()->Execute());
  EXPECT_EQ(steps, 3);
}

TEST_F(OpenDialog, ItStillWorksByKeyboardAndMouse) {
  TOpenDialog* d = MakeDialog();
  Display.Schedule([&] { Display.TypeText("new.rom"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(d->FileName, Dir + "/new.rom");
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_FALSE(d->Execute());
  // A double click on "[sub]" enters it, one on "inner.bin" there chooses it.
  std::vector<std::string> inside;
  auto doubleClickRow = [&](int index) {
    TsListBox* list = Find<TsListBox>(Dialog());
    const TRect row = list->ItemRect(index);
    const TPoint p = list->ClientToScreen({row.Left + 10, row.Top + row.Height() / 2});
    Display.Click(p.X, p.Y);
    Display.Click(p.X, p.Y);
  };
  Display.Schedule([&] { doubleClickRow(1); });
  Display.Schedule([&] {
    inside = Find<TsListBox>(Dialog())->Items()->Strings();
    doubleClickRow(1);
  });
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(inside, (std::vector<std::string>{"[..]", "inner.bin"}));
  EXPECT_EQ(d->FileName, Dir + "/sub/inner.bin");
}

TEST_F(OpenDialog, WithoutASkinItIsTheToolkitsDialog) {
  Viewer->sSkinManager1->SetActive(false);
  App->ProcessMessages();
  int steps = 0;
  Display.Schedule([&] {
    TCustomForm* form = Dialog();
    EXPECT_EQ(ClassCounts(form), (std::map<std::string, int>{{"TButton", 2}, {"TLabel", 5}, {"TEdit", 1}, {"TListBox", 1}}));
    EXPECT_EQ(ProviderOf(form), nullptr);
    EXPECT_EQ(WindowPixel(Find<TEdit>(form), 0, 0), GetSysColor(COLOR_BTNSHADOW));
    ++steps;
  });
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_FALSE(MakeDialog()->Execute());
  EXPECT_EQ(steps, 1);
}

}  // namespace
