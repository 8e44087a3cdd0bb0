#include <sys/stat.h>

#include <fstream>

#include "platform/graphics/PngFile.h"
#include "platform/widgets/ListBox.h"
#include "platform/widgets/MessageBox.h"
#include "platform/widgets/OpenDialog.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

class Dialogs : public WidgetTest {
 protected:
  std::string Dir;
  void SetUp() override {
    WidgetTest::SetUp();
    char tmpl[] = "/tmp/dialog-test-XXXXXX";
    Dir = mkdtemp(tmpl);
    for (const char* f : {"a.bin", "B.ROM", "notes.txt", "c.rom"}) std::ofstream(Dir + "/" + f) << "x";
    mkdir((Dir + "/sub").c_str(), 0755);
    std::ofstream(Dir + "/sub/inner.bin") << "x";
  }
  void TearDown() override {
    std::system(("rm -rf '" + Dir + "'").c_str());
    WidgetTest::TearDown();
  }
  // The list of the dialog that is up now.
  std::vector<std::string> ListedItems() {
    auto* form = Screen->ActiveForm();
    for (int i = 0; form && i < form->ControlCount(); ++i)
      if (auto* list = dynamic_cast<TListBox*>(form->Controls(i))) return list->Items()->Strings();
    return {};
  }
  TOpenDialog* MakeDialog() {
    auto* d = new TOpenDialog(App);
    d->Filter = "Maruk rom files|*.bin;*.rom";
    d->InitialDir = Dir;
    d->Options |= ofNoChangeDir;
    return d;
  }
};

TEST_F(Dialogs, OpenDialogListsFoldersAndMatchingFilesAndAcceptsANewName) {
  TOpenDialog* d = MakeDialog();
  std::vector<std::string> listed;
  std::string caption;
  Display.Schedule([&] {
    listed = ListedItems();
    caption = Screen->ActiveForm()->Caption();
    if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(Display.Screenshot(), std::string(dir) + "/open-dialog.png");
  });
  Display.Schedule([&] { Display.TypeText("new.rom"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(caption, "Open");
  EXPECT_EQ(listed, (std::vector<std::string>{"[..]", "[sub]", "a.bin", "B.ROM", "c.rom"}));
  EXPECT_EQ(d->FileName, Dir + "/new.rom");  // a file that does not exist is accepted
}

TEST_F(Dialogs, CancelAndEscapeReturnFalseAndFoldersAreEntered) {
  TOpenDialog* d = MakeDialog();
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_FALSE(d->Execute());
  // Typing a folder's name enters it; then a file in it is chosen.
  std::vector<std::string> inside;
  Display.Schedule([&] { Display.TypeText("sub"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  Display.Schedule([&] { inside = ListedItems(); });
  Display.Schedule([&] { Display.TypeText("inner.bin"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(inside, (std::vector<std::string>{"[..]", "inner.bin"}));
  EXPECT_EQ(d->FileName, Dir + "/sub/inner.bin");
}

TEST_F(Dialogs, FileMustExistRefusesAMissingName) {
  TOpenDialog* d = MakeDialog();
  d->Options |= ofFileMustExist;
  std::string warning;
  Display.Schedule([&] { Display.TypeText("missing.bin"); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  Display.Schedule([&] {
    if (auto* box = dynamic_cast<TMessageForm*>(Screen->ActiveForm())) warning = box->MessageText();
    Display.Key(VK_RETURN);
  });
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_FALSE(d->Execute());
  EXPECT_NE(warning.find("File not found"), std::string::npos);
}

TEST_F(Dialogs, ExceptionBoxShowsTheMessageWithAFullStopUnderTheTitle) {
  App->SetTitle("Maruk_ROM_viewer");
  std::string caption, text;
  int buttons = 0;
  Display.Schedule([&] {
    auto* box = dynamic_cast<TMessageForm*>(Screen->ActiveForm());
    ASSERT_TRUE(box);
    caption = box->Caption();
    text = box->MessageText();
    buttons = int(box->Buttons().size());
    Display.Key(VK_RETURN);
  });
  App->ShowException(std::runtime_error("File not found"));
  EXPECT_EQ(caption, "Maruk_ROM_viewer");
  EXPECT_EQ(text, "File not found.");
  EXPECT_EQ(buttons, 1);
  // Yes/No boxes answer with the button pressed; Escape is not a choice there without Cancel.
  Display.Schedule([&] { Display.Key(VK_RIGHT); });
  Display.Schedule([&] { Display.Key(VK_SPACE); });
  EXPECT_EQ(App->MessageBox("Continue?", "Question", MB_YESNO | MB_ICONQUESTION), IDNO);
}

}  // namespace
