#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "menus/sSkinMenus.h"
#include "frame/sSkinProvider.h"
#include "menus/sSystemMenu.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/PngFile.h"
#include "skin/data/sSkinManager.h"
#include "tests/support/ViewerWindowTest.h"
#include "viewer/Maruk_rom.h"

namespace {

// The viewer's window with its skin, and its manager's menu painter.
class SkinnedMenus : public ViewerWindowTest {
 protected:
  TsSkinableMenus* Painter = nullptr;
  TsSystemMenu* SystemMenu = nullptr;

  void SetUp() override {
    ViewerWindowTest::SetUp();
    Painter = dynamic_cast<TsSkinableMenus*>(Manager->MenuPainter());
    SystemMenu = Form->sSkinProvider1->SystemMenu();
  }
  // A second internal skin: the stored one with another name, its colours turned by `hue`.
  void AddSkinCopy(const std::string& name, int hue = 0) {
    TsStoredSkin* copy = Manager->InternalSkins()->Add();
    copy->Assign(Manager->InternalSkins()->Items(0));
    copy->Name = name;
    if (hue == 0) return;
    TDib master = copy->MasterBitmap()->Dib().As24();
    ShiftSkinPicture(&master, hue, 0);
    copy->MasterBitmap()->LoadFromDib(std::move(master));
    for (int i = 0; i < copy->GeneralData()->Count(); ++i) {
      TsSkinGeneral* g = copy->GeneralData()->Items(i);
      g->Color = ShiftHue(g->Color, hue);
      g->HotColor = ShiftHue(g->HotColor, hue);
    }
  }
};

TEST_F(SkinnedMenus, TheManagerHasAPainterThatIsActiveWithTheSkin) {
  ASSERT_TRUE(Painter);
  EXPECT_TRUE(Painter->Active());
  // The "MAINMENU" border has no border width of its own: 3.
  EXPECT_EQ(Painter->SkinBorderWidth(), 3);
  EXPECT_EQ(Manager->MenuSupport()->IcoLineSkin, "ICOLINE");
  Manager->SetActive(false);
  EXPECT_FALSE(Painter->Active());
  EXPECT_FALSE(SystemMenu->ItemMove->OnDrawItem);  // the painter's handlers went with it
}

TEST_F(SkinnedMenus, ItemsAreMeasuredFromTheMenuFontAndTheirKind) {
  EXPECT_EQ(MenuItemKind("-"), mkSeparator);
  EXPECT_EQ(MenuItemKind("-Title-"), mkTitle);
  EXPECT_EQ(MenuItemKind("--"), mkTitle);
  EXPECT_EQ(MenuItemKind("-x"), mkNormal);
  EXPECT_EQ(MenuItemKind("Move"), mkNormal);

  TDib probe(1, 1);
  TDC dc(&probe);
  TCanvas canvas;
  canvas.SetHandle(&dc);
  NONCLIENTMETRICS metrics;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
  SelectFont(&dc, metrics.lfMenuFont);
  TSize w;
  GetTextExtentPoint32(&dc, "W", &w);
  int width = 0, height = 0;
  TMenuItem* separator = SystemMenu->Items()->Items(SystemMenu->Items()->IndexOf(SystemMenu->ItemClose) - 1);
  Painter->MeasurePopupItem(separator, &canvas, width, height);
  EXPECT_EQ(height, 2);
  Painter->MeasurePopupItem(SystemMenu->ItemMove, &canvas, width, height);
  // max(round(1.25 x the height of "W"), the 16-pixel glyph) + 2 x Margin.
  EXPECT_EQ(height, std::max(int(std::nearbyint(1.25 * w.cy)), 16) + 6);
  TSize move;
  GetTextExtentPoint32(&dc, "Move", &move);
  EXPECT_EQ(width, 2 * 16 + move.cx + 3 * 3 + 6);
}

TEST_F(SkinnedMenus, TheSkinListIsRebuiltEachTimeInColumnsOfTwenty) {
  for (int i = 1; i < 45; ++i) AddSkinCopy("Skin " + std::string(i < 10 ? "0" : "") + std::to_string(i));
  SystemMenu->RebuildSkinItems();
  SystemMenu->RebuildSkinItems();  // again: still one list and one separator
  TMenuItem* root = SystemMenu->Items();
  ASSERT_EQ(root->Items(0)->Name(), "SkinSelectItem");
  EXPECT_EQ(root->Items(0)->Caption(), "Available skins");
  EXPECT_TRUE(root->Items(1)->IsLine());
  EXPECT_EQ(root->Items(2), SystemMenu->ItemRestore);
  TMenuItem* list = root->Items(0);
  ASSERT_EQ(list->Count(), 45);
  for (int i = 0; i < 45; ++i) {
    const bool breaks = i == 20 || i == 40;
    EXPECT_EQ(list->Items(i)->Break() != TMenuItem::mbNone, breaks) << i;
    EXPECT_TRUE(list->Items(i)->RadioItem());
    EXPECT_EQ(list->Items(i)->Name(), "SkinSelectItem" + std::to_string(i));
  }
  // Sorted; the current skin is the checked one.
  EXPECT_EQ(list->Items(0)->Caption(), "BlueGlass (internal)");
  EXPECT_TRUE(list->Items(0)->Checked());
  EXPECT_FALSE(list->Items(1)->Checked());
}

TEST_F(SkinnedMenus, ChoosingASkinSwitchesItForTheWholeWindowWithNothingLeftStale) {
  AddSkinCopy("Black & White", 150);
  const TDib before = Display.Screenshot();
  SystemMenu->RebuildSkinItems();
  TMenuItem* list = SystemMenu->SkinSelectItem();
  ASSERT_TRUE(list);
  TMenuItem* item = nullptr;
  for (int i = 0; i < list->Count(); ++i)
    if (list->Items(i)->Caption() == "Black && White") item = list->Items(i);  // shown with a plain "&"
  ASSERT_TRUE(item);
  item->Click();
  EXPECT_EQ(Manager->SkinName(), "Black & White");
  Handle();
  const TDib shown = Display.Screenshot();
  int changed = 0;
  for (int y = 107; y < 107 + 269; ++y)
    for (int x = 192; x < 192 + 640; ++x) changed += shown.GetPixel(x, y) != before.GetPixel(x, y);
  EXPECT_GT(changed, 640 * 269 / 2);  // most of the window took the other skin
  if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(shown, std::string(dir) + "/skin-switched.png");
  // A full repaint of everything gives the same picture: nothing was left half-skinned.
  RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_UPDATENOW);
  Handle();
  const TDib again = Display.Screenshot();
  int differ = 0;
  for (int y = 0; y < shown.Height(); ++y)
    for (int x = 0; x < shown.Width(); ++x) differ += shown.GetPixel(x, y) != again.GetPixel(x, y);
  EXPECT_EQ(differ, 0);
}

TEST_F(SkinnedMenus, TheExtraLineIsNeverShownForTheSkinList) {
  Manager->MenuSupport()->UseExtraLine = true;
  TDib probe(1, 1);
  TDC dc(&probe);
  TCanvas canvas;
  canvas.SetHandle(&dc);
  SystemMenu->RebuildSkinItems();
  int plain = 0, height = 0;
  TMenuItem* list = SystemMenu->SkinSelectItem();
  ASSERT_TRUE(list);
  Painter->MeasurePopupItem(list->Items(0), &canvas, plain, height);  // the list popup's first item
  int withList = 0;
  Painter->MeasurePopupItem(SystemMenu->SkinSelectItem(), &canvas, withList, height);  // first item: SkinSelectItem
  EXPECT_EQ(Painter->ExtraLineWidth(false), 0);
  // A popup of its own (first item an ordinary one) shows it, 32 wide.
  auto* popup = new TPopupMenu(Form);
  auto* a = new TMenuItem(popup);
  a->SetCaption("Alpha");
  popup->Items()->Add(a);
  Painter->SwitchPopup(popup, true);
  int w = 0;
  Painter->MeasurePopupItem(a, &canvas, w, height);
  EXPECT_EQ(Painter->ExtraLineWidth(false), 32);
  TSize alpha;
  SelectFont(&dc, canvas.Font()->LogFont());
  GetTextExtentPoint32(&dc, "Alpha", &alpha);
  EXPECT_EQ(w, 2 * 16 + alpha.cx + 3 * 3 + 6 + 32);
}

TEST_F(SkinnedMenus, AMainMenuBarIsDrawnOverTheFramesMenuLine) {
  auto* form = new TForm(App);
  form->SetBounds(300, 400, 320, 200);
  TMainMenu* menu = MakeMainMenu(form);
  form->SetMenu(menu);
  auto* provider = new TsSkinProvider(form);
  Painter->Activate(true);
  form->Show();
  Handle();
  const TRect bar = provider->MenuBarRect();
  ASSERT_FALSE(bar.IsEmpty());
  EXPECT_TRUE(menu->OwnerDraw());
  EXPECT_TRUE(menu->Items()->Items(0)->OnDrawItem);
  // The line is the skin's: no pixel of the classic menu colour anywhere on it.
  TRect window;
  GetWindowRect(form->Handle(), &window);
  int classic = 0, text = 0;
  for (int y = bar.Top; y < bar.Bottom; ++y)
    for (int x = bar.Left; x < bar.Right; ++x) {
      const COLORREF c = Display.ScreenPixel(window.Left + x, window.Top + y);
      classic += c == GetSysColor(COLOR_MENU);
      text += c == 0;
    }
  EXPECT_EQ(classic, 0);
  EXPECT_GT(text, 10);  // the captions in the line's black
  if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(Display.Screenshot(), std::string(dir) + "/menu-bar.png");
}

TEST_F(SkinnedMenus, TheSkinnedSystemMenuWorksFromTheKeyboard) {
  AddSkinCopy("Copy", 120);
  const TRect w = Form->BoundsRect();
  // Down lights the first item (the skin list), Right opens it on its first skin, Down moves
  // to the second, Return chooses it.
  for (WPARAM key : {VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}) Display.Schedule([this, key] { Display.Key(key); });
  Display.Click(w.Left + 300, w.Top + 10, 1);
  Handle();
  EXPECT_EQ(Manager->SkinName(), "Copy");
  // Escape closes the menu and leaves everything as it was.
  Display.Schedule([this] { Display.Key(VK_ESCAPE); });
  Display.Click(w.Left + 300, w.Top + 10, 1);
  Handle();
  EXPECT_EQ(Manager->SkinName(), "Copy");
  EXPECT_EQ(Form->WindowState(), wsNormal);
  // End lights the last command (Close); Up skips the separator above it to Maximize.
  Display.Schedule([this] { Display.Key(VK_END); });
  Display.Schedule([this] { Display.Key(VK_UP); });
  Display.Schedule([this] { Display.Key(VK_RETURN); });
  Display.Click(w.Left + 300, w.Top + 10, 1);
  Handle();
  EXPECT_EQ(Form->WindowState(), wsMaximized);
}

}  // namespace
