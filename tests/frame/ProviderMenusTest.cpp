// A frame provider keeps its form's menus with the skin: switched to the skin's menu painter
// as the form is activated and back when the skin goes, new main-menu items drawn from the skin
// too.
#include <gtest/gtest.h>

#include "menus/sSkinMenus.h"
#include "frame/sSkinProvider.h"
#include "platform/widgets/Menus.h"
#include "tests/support/ViewerWindowTest.h"

namespace {

class ProviderMenus : public ViewerWindowTest {
 protected:
  TsSkinableMenus* Painter = nullptr;

  void SetUp() override {
    ViewerWindowTest::SetUp();
    Painter = dynamic_cast<TsSkinableMenus*>(Manager->MenuPainter());
    ASSERT_TRUE(Painter);
  }
  // A form with that menu and a provider of its own, shown.
  TForm* MakeForm(TComponent* owner) {
    auto* form = new TForm(owner);
    form->SetBounds(300, 400, 320, 200);
    form->SetMenu(MakeMainMenu(form));
    new TsSkinProvider(form);
    form->Show();
    Handle();
    return form;
  }
  // Pixels of the form's menu bar in the classic menu colour.
  int ClassicPixels(TForm* form) {
    TsSkinProvider* provider = nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* p = dynamic_cast<TsSkinProvider*>(form->Components(i))) provider = p;
    const TRect bar = provider->MenuBarRect();
    TRect window;
    GetWindowRect(form->Handle(), &window);
    int classic = 0;
    for (int y = bar.Top; y < bar.Bottom; ++y)
      for (int x = bar.Left; x < bar.Right; ++x)
        classic += Display.ScreenPixel(window.Left + x, window.Top + y) == GetSysColor(COLOR_MENU);
    return classic;
  }
  // The menu is drawn by the skin's painter: owner-drawn, each top item with its handlers.
  bool Skinned(TMainMenu* menu) {
    if (!menu->OwnerDraw()) return false;
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (menu->Items()->Items(i)->HandlersOwner != Painter || !menu->Items()->Items(i)->OnDrawItem) return false;
    return true;
  }
  static bool Plain(TMainMenu* menu) {
    if (menu->OwnerDraw()) return false;
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (menu->Items()->Items(i)->OnDrawItem) return false;
    return true;
  }
};

// Menus made after the skin was applied: the manager switched the menus there were then.
TEST_F(ProviderMenus, AFormsMenusAreSwitchedAsItIsActivatedAndGoWithTheSkin) {
  TForm* form = MakeForm(App);
  TMainMenu* menu = form->Menu();
  EXPECT_TRUE(Skinned(menu));
  EXPECT_EQ(ClassicPixels(form), 0);
  auto* popup = new TPopupMenu(form);
  auto* entry = new TMenuItem(form);
  entry->SetCaption("Entry");
  popup->Items()->Add(entry);
  Form->SetFocus();
  form->SetFocus();
  Handle();
  ASSERT_TRUE(Manager->SkinnedPopups());
  EXPECT_EQ(entry->HandlersOwner, Painter);
  Manager->SetActive(false);
  Handle();
  EXPECT_TRUE(Plain(menu));
  EXPECT_FALSE(entry->OnDrawItem);
  Manager->SetActive(true);
  Handle();
  EXPECT_TRUE(Skinned(menu));
  EXPECT_EQ(entry->HandlersOwner, Painter);
  EXPECT_EQ(ClassicPixels(form), 0);
}

TEST_F(ProviderMenus, AnItemAddedToTheMenuBarIsDrawnFromTheSkin) {
  TForm* form = MakeForm(App);
  TMainMenu* menu = form->Menu();
  ASSERT_TRUE(Skinned(menu));
  auto* view = new TMenuItem(form);
  view->SetCaption("&View");
  menu->Items()->Add(view);
  Handle();
  EXPECT_EQ(view->HandlersOwner, Painter);
  EXPECT_EQ(ClassicPixels(form), 0);
}

TEST_F(ProviderMenus, AMainMenuGivenLaterIsSkinnedWhenTheColoursChangeOrTheFormIsActivatedAgain) {
  TForm* form = MakeForm(App);
  TMainMenu* second = MakeMainMenu(form);
  form->SetMenu(second);
  Handle();
  ASSERT_TRUE(Plain(second));
  SendMessage(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_TRUE(Skinned(second));
  EXPECT_EQ(ClassicPixels(form), 0);

  TMainMenu* third = MakeMainMenu(form);
  form->SetMenu(third);
  Handle();
  ASSERT_TRUE(Plain(third));
  SendMessage(form->Handle(), 0x0022 /* WM_CHILDACTIVATE */, 0, 0);
  EXPECT_TRUE(Skinned(third));

  TMainMenu* fourth = MakeMainMenu(form);
  form->SetMenu(fourth);
  Handle();
  ASSERT_TRUE(Plain(fourth));
  Form->SetFocus();
  form->SetFocus();
  Handle();
  EXPECT_TRUE(Skinned(fourth));
  EXPECT_EQ(ClassicPixels(form), 0);
}

}  // namespace
