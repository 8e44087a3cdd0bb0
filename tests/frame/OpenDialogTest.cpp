#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <map>

#include "controls/sBitBtn.h"
#include "controls/sEdit.h"
#include "controls/sLabel.h"
#include "controls/sListBox.h"
#include "frame/sSkinProvider.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/PngFile.h"
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
  void Shot(const std::string& name) {
    if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(Display.Screenshot(), std::string(dir) + "/" + name);
  }
};

TEST_F(OpenDialog, WhileSkinnedItIsFramedByTheDialogSectionAndMadeOfSkinnedControls) {
  std::map<std::string, int> counts;
  std::string section, caption;
  bool framed = false, skinMenu = true;
  COLORREF editEdge = 0;
  int classic = -1;
  std::vector<std::string> buttons;
  Display.Schedule([&] {
    TCustomForm* form = Dialog();
    ASSERT_TRUE(form);
    caption = form->Caption();
    counts = ClassCounts(form);
    if (TsSkinProvider* provider = ProviderOf(form)) {
      section = provider->SkinData()->SkinSection();
      framed = provider->Skinned();
      skinMenu = provider->MakeSkinMenu;
    }
    for (int i = 0; i < form->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TsBitBtn*>(form->Controls(i))) buttons.push_back(b->Caption());
    // The name box has the focus: its edge is hot.
    TsEdit* edit = Find<TsEdit>(form);
    ASSERT_TRUE(edit && edit->Focused());
    editEdge = WindowPixel(edit, edit->Width() / 2, 0);
    classic = ClassicPixels(form);
    Shot("open-dialog-skinned.png");
  });
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_FALSE(MakeDialog()->Execute());
  EXPECT_EQ(caption, "Open");
  EXPECT_TRUE(framed);
  EXPECT_EQ(section, "DIALOG");
  EXPECT_FALSE(skinMenu);
  EXPECT_EQ(counts, (std::map<std::string, int>{{"TsBitBtn", 2}, {"TsLabel", 5}, {"TsEdit", 1}, {"TsListBox", 1}}));
  EXPECT_EQ(buttons, (std::vector<std::string>{"&Open", "Cancel"}));
  EXPECT_EQ(editEdge, kHotEdge);
  EXPECT_EQ(classic, 0);
}

TEST_F(OpenDialog, ANameAndReturnChooseItAndEscapeCancels) {
  TOpenDialog* d = MakeDialog();
  Display.Schedule([&] { Display.TypeText("new.rom"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(d->FileName, Dir + "/new.rom");
  Display.Schedule([&] { Display.TypeText("other.rom"); });
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_FALSE(d->Execute());
  EXPECT_EQ(d->FileName, Dir + "/new.rom");
}

TEST_F(OpenDialog, ADoubleClickOnAFolderEntersItAndOnAFileChoosesIt) {
  TOpenDialog* d = MakeDialog();
  std::vector<std::string> before, inside;
  auto doubleClickRow = [&](int index) {
    TsListBox* list = Find<TsListBox>(Dialog());
    const TRect row = list->ItemRect(index);
    const TPoint p = list->ClientToScreen({row.Left + 10, row.Top + row.Height() / 2});
    Display.Click(p.X, p.Y);
    Display.Click(p.X, p.Y);
  };
  Display.Schedule([&] {
    before = Find<TsListBox>(Dialog())->Items()->Strings();
    doubleClickRow(1);  // "[sub]"
  });
  Display.Schedule([&] {
    inside = Find<TsListBox>(Dialog())->Items()->Strings();
    doubleClickRow(1);  // "inner.bin"
  });
  EXPECT_TRUE(d->Execute());
  ASSERT_GE(before.size(), 2u);
  EXPECT_EQ(before[1], "[sub]");
  EXPECT_EQ(inside, (std::vector<std::string>{"[..]", "inner.bin"}));
  EXPECT_EQ(d->FileName, Dir + "/sub/inner.bin");
}

TEST_F(OpenDialog, WithoutASkinItIsTheToolkitsDialog) {
  Viewer->sSkinManager1->SetActive(false);
  App->ProcessMessages();
  std::map<std::string, int> counts;
  bool provider = true;
  COLORREF editCorner = 0;
  Display.Schedule([&] {
    TCustomForm* form = Dialog();
    counts = ClassCounts(form);
    provider = ProviderOf(form) != nullptr;
    editCorner = WindowPixel(Find<TEdit>(form), 0, 0);
  });
  Display.Schedule([&] { Display.TypeText("plain.rom"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  TOpenDialog* d = MakeDialog();
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(d->FileName, Dir + "/plain.rom");
  EXPECT_EQ(counts, (std::map<std::string, int>{{"TButton", 2}, {"TLabel", 5}, {"TEdit", 1}, {"TListBox", 1}}));
  EXPECT_FALSE(provider);
  EXPECT_EQ(editCorner, GetSysColor(COLOR_BTNSHADOW));  // the classic sunken edge
}

TEST_F(OpenDialog, TheOpenDialogFollowsASkinSwitch) {
  TsSkinManager* manager = Viewer->sSkinManager1;
  bool framedOff = true, framedOn = false;
  COLORREF edgeOff = 0, edgeOn = 0;
  int classicOn = -1;
  // Each step runs once the dialog has handled and painted what the one before did.
  Display.Schedule([&] { manager->SetActive(false); });
  Display.Schedule([&] {
    TCustomForm* form = Dialog();
    framedOff = ProviderOf(form)->Skinned();
    edgeOff = WindowPixel(Find<TsEdit>(form), 0, 0);
    Shot("open-dialog-skin-off.png");
    manager->SetActive(true);
  });
  Display.Schedule([&] {
    TCustomForm* form = Dialog();
    framedOn = ProviderOf(form)->Skinned();
    TsEdit* edit = Find<TsEdit>(form);
    edgeOn = WindowPixel(edit, edit->Width() / 2, 0);
    classicOn = ClassicPixels(form);
    Shot("open-dialog-skin-on.png");
  });
  Display.Schedule([&] { Display.TypeText("again.rom"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  TOpenDialog* d = MakeDialog();
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(d->FileName, Dir + "/again.rom");
  EXPECT_FALSE(framedOff);
  EXPECT_EQ(edgeOff, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_TRUE(framedOn);
  EXPECT_EQ(edgeOn, kHotEdge);
  EXPECT_EQ(classicOn, 0);
}

}  // namespace
