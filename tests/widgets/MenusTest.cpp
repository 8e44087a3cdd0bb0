#include <cstdlib>
#include <set>
#include <vector>

#include "platform/components/LayoutReader.h"
#include "platform/graphics/PngFile.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/UpDown.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

constexpr COLORREF kPlain = RGB(0, 160, 0);
constexpr COLORREF kSelected = RGB(200, 0, 0);

class MenusTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(100, 100, 400, 300);
    Form->Show();
    Display.Pump();
  }

  TMenuItem* AddItem(TMenuItem* parent, const std::string& caption) {
    auto* item = new TMenuItem(Form);
    item->SetCaption(caption);
    parent->Add(item);
    item->OnClick = [this](TObject* sender) { Clicked.push_back(static_cast<TMenuItem*>(sender)); };
    return item;
  }

  // Screen centre of an item of a shown popup or of a window's menu bar.
  TPoint Centre(HWND window, HMENU menu, UINT pos) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(window, menu, pos, &r));
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }

  TPoint PopupPoint() { return Form->ClientToScreen({30, 30}); }

  TForm* Form = nullptr;
  std::vector<TMenuItem*> Clicked;
};

// ---- Shortcuts ---------------------------------------------------------------------------------

TEST_F(MenusTest, ShortCutTextHasTheClassicNames) {
  struct {
    TShortCut ShortCut;
    const char* Text;
  } cases[] = {
      {TShortCut(scCtrl | 'O'), "Ctrl+O"},
      {TShortCut(scShift | scCtrl | VK_F5), "Shift+Ctrl+F5"},
      {TShortCut(scAlt | VK_RETURN), "Alt+Enter"},
      {TShortCut(VK_DELETE), "Del"},
      {TShortCut(scShift | VK_INSERT), "Shift+Ins"},
      {TShortCut(VK_ESCAPE), "Esc"},
      {TShortCut(scCtrl | '7'), "Ctrl+7"},
      {TShortCut(VK_F12), "F12"},
      {TShortCut(VK_F1), "F1"},
      {TShortCut(scCtrl | VK_PRIOR), "Ctrl+PgUp"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.ShortCut) << c.Text;
  }
  EXPECT_EQ(ShortCutToText(TShortCut(scCtrl | 0xFF)), "");
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(TextToShortCut("ctrl+shift+a"), TShortCut(scCtrl | scShift | 'A'));
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Bogus"), 0);
  EXPECT_EQ(TextToShortCut(""), 0);
}

// ---- Building the window-system menu ------------------------------------------------------------

TEST_F(MenusTest, ItemsBecomeWindowMenuItems) {
  auto* popup = new TPopupMenu(Form);
  TMenuItem* open = AddItem(popup->Items(), "&Open");
  open->SetShortCut(TShortCut(scCtrl | 'O'));
  AddItem(popup->Items(), "-");
  AddItem(popup->Items(), "Hidden")->SetVisible(false);
  AddItem(popup->Items(), "Save")->SetEnabled(false);
  TMenuItem* big = AddItem(popup->Items(), "Big");
  big->SetDefault(true);
  TMenuItem* column = AddItem(popup->Items(), "Column");
  column->SetBreak(TMenuItem::mbBarBreak);
  TMenuItem* recent = AddItem(popup->Items(), "Recent");
  AddItem(recent, "One");
  AddItem(recent, "Two");

  HMENU m = popup->Handle();
  ASSERT_EQ(GetMenuItemCount(m), 6);  // the hidden item is left out
  EXPECT_EQ(GetMenuString(m, 0, MF_BYPOSITION), "&Open\tCtrl+O");
  EXPECT_EQ(GetMenuItemID(m, 0), open->Command());
  EXPECT_TRUE(GetMenuState(m, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(m, 2, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(m, 3, MF_BYPOSITION) & MF_DEFAULT);
  EXPECT_TRUE(GetMenuState(m, 4, MF_BYPOSITION) & MF_MENUBARBREAK);
  HMENU sub = GetSubMenu(m, 5);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(GetMenuItemCount(sub), 2);
  EXPECT_EQ(GetMenuString(sub, 1, MF_BYPOSITION), "Two");

  // Every item has its own command, which leads back to its menu.
  std::set<UINT> ids;
  for (int i = 0; i < popup->Items()->Count(); ++i) ids.insert(popup->Items()->Items(i)->Command());
  EXPECT_EQ(ids.size(), size_t(popup->Items()->Count()));
  EXPECT_EQ(TMenu::FindMenuOfCommand(recent->Items(1)->Command()), popup);
  EXPECT_EQ(popup->FindItem(recent->Items(1)->Command()), recent->Items(1));
  auto* other = new TPopupMenu(Form);
  EXPECT_EQ(other->FindItem(open->Command()), nullptr);

  // Changes show in the next build.
  open->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(popup->Handle()), 5);
}

TEST_F(MenusTest, CheckingARadioItemUnchecksItsGroup) {
  auto* popup = new TPopupMenu(Form);
  TMenuItem* a = AddItem(popup->Items(), "A");
  TMenuItem* b = AddItem(popup->Items(), "B");
  TMenuItem* c = AddItem(popup->Items(), "C");
  for (TMenuItem* i : {a, b, c}) i->SetRadioItem(true);
  c->GroupIndex = 1;
  a->SetChecked(true);
  c->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(c->Checked());  // another group
  HMENU m = popup->Handle();
  EXPECT_FALSE(GetMenuState(m, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(m, 1, MF_BYPOSITION) & MF_CHECKED);
}

TEST_F(MenusTest, FreeingAnItemOrAMenuFreesWhatItHolds) {
  auto* popup = new TPopupMenu(Form);
  TMenuItem* file = AddItem(popup->Items(), "File");
  TMenuItem* open = AddItem(file, "Open");
  open->SetName("OpenItem");
  AddItem(popup->Items(), "Other")->SetName("OtherItem");
  const UINT openCommand = open->Command();
  TComponent::Free(file);
  EXPECT_EQ(Form->FindComponent("OpenItem"), nullptr);
  EXPECT_EQ(TMenu::FindMenuOfCommand(openCommand), nullptr);
  EXPECT_EQ(popup->Items()->Count(), 1);
  EXPECT_EQ(GetMenuItemCount(popup->Handle()), 1);
  TComponent::Free(popup);
  EXPECT_EQ(Form->FindComponent("OtherItem"), nullptr);
}

// ---- Popup menus ---------------------------------------------------------------------------------

TEST_F(MenusTest, PopupRunsTheItemChosenWithTheKeyboard) {
  auto* popup = new TPopupMenu(Form);
  AddItem(popup->Items(), "&Alpha");
  AddItem(popup->Items(), "-");
  AddItem(popup->Items(), "&Beta")->SetEnabled(false);
  TMenuItem* gamma = AddItem(popup->Items(), "&Gamma");
  int popups = 0;
  popup->OnPopup = [&](TObject* sender) {
    EXPECT_EQ(sender, popup);
    EXPECT_TRUE(Clicked.empty());
    ++popups;
  };
  Display.Schedule([&] {
    for (WPARAM k : {VK_DOWN, VK_DOWN, VK_RETURN}) Display.Key(k);
  });
  const TPoint p = PopupPoint();
  popup->Popup(p.X, p.Y);
  EXPECT_EQ(popups, 1);
  ASSERT_EQ(Clicked.size(), 1u);
  EXPECT_EQ(Clicked[0], gamma);  // past the separator and the disabled item

  Clicked.clear();
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  popup->Popup(p.X, p.Y);
  EXPECT_TRUE(Clicked.empty());
}

TEST_F(MenusTest, PopupRunsTheItemClickedWithTheMouse) {
  auto* popup = new TPopupMenu(Form);
  AddItem(popup->Items(), "One");
  TMenuItem* two = AddItem(popup->Items(), "Two");
  TMenuItem* sub = AddItem(popup->Items(), "More");
  TMenuItem* deep = AddItem(sub, "Deep");
  HMENU m = popup->Handle();
  Display.Schedule([&] {
    const TPoint c = Centre(Form->Handle(), m, 1);
    Display.Click(c.X, c.Y);
  });
  const TPoint p = PopupPoint();
  popup->Popup(p.X, p.Y);
  EXPECT_EQ(Clicked, std::vector<TMenuItem*>{two});

  // Into a submenu: open it with the keyboard, click its item.
  Clicked.clear();
  Display.Schedule([&] {
    for (WPARAM k : {VK_UP, VK_RIGHT}) Display.Key(k);
  });
  Display.Schedule([&] {
    HMENU inner = GetSubMenu(m, 2);
    ASSERT_NE(GetMenuWindow(inner), nullptr);
    const TPoint c = Centre(Form->Handle(), inner, 0);
    Display.Click(c.X, c.Y);
  });
  popup->Popup(p.X, p.Y);
  EXPECT_EQ(Clicked, std::vector<TMenuItem*>{deep});
}

TEST_F(MenusTest, OwnerDrawHandlersMeasureAndDrawTheirItems) {
  auto* popup = new TPopupMenu(Form);
  TMenuItem* first = AddItem(popup->Items(), "First");
  TMenuItem* second = AddItem(popup->Items(), "Second");
  struct TDraw {
    TMenuItem* Item;
    TRect Rect;
    bool Selected;
  };
  std::vector<TDraw> draws;
  std::vector<int> measuredHeights;
  for (TMenuItem* item : {first, second}) {
    item->OnMeasureItem = [&, item](TObject* sender, TCanvas* canvas, int& width, int& height) {
      EXPECT_EQ(sender, item);
      EXPECT_EQ(canvas->Font()->Name(), "MS Sans Serif");
      EXPECT_GT(width, canvas->TextWidth("First") - 1);  // the caption's room is offered first
      measuredHeights.push_back(height);
      width = 90;
      height = item == first ? 24 : 30;
    };
    item->OnDrawItem = [&, item](TObject* sender, TCanvas* canvas, TRect rect, bool selected) {
      EXPECT_EQ(sender, item);
      draws.push_back({item, rect, selected});
      canvas->Brush()->SetColor(TColor(selected ? kSelected : kPlain));
      canvas->FillRect(rect);
    };
  }
  auto last = [&](TMenuItem* item) {
    for (auto it = draws.rbegin(); it != draws.rend(); ++it)
      if (it->Item == item) return *it;
    ADD_FAILURE() << "not drawn";
    return TDraw{};
  };
  HMENU m = popup->Handle();
  auto pixelOf = [&](UINT pos) {
    const TPoint c = Centre(Form->Handle(), m, pos);
    return Display.ScreenPixel(c.X, c.Y);
  };
  Display.Schedule([&] {
    EXPECT_EQ(measuredHeights, (std::vector<int>{GetSystemMetrics(SM_CYMENU), GetSystemMetrics(SM_CYMENU)}));
    const TDraw a = last(first), b = last(second);
    EXPECT_EQ(a.Rect.Left, 0);
    EXPECT_EQ(a.Rect.Top, 0);
    EXPECT_EQ(a.Rect.Bottom, 24);
    EXPECT_GE(a.Rect.Width(), 90);
    EXPECT_EQ(b.Rect, (TRect{0, 24, a.Rect.Right, 54}));
    EXPECT_FALSE(a.Selected);
    EXPECT_FALSE(b.Selected);
    EXPECT_EQ(pixelOf(0), kPlain);
    draws.clear();
    Display.Key(VK_DOWN);
  });
  Display.Schedule([&] {
    EXPECT_TRUE(last(first).Selected);
    EXPECT_EQ(pixelOf(0), kSelected);
    EXPECT_EQ(pixelOf(1), kPlain);
    Display.Key(VK_DOWN);
  });
  Display.Schedule([&] {
    EXPECT_FALSE(last(first).Selected);
    EXPECT_TRUE(last(second).Selected);
    Display.Key(VK_RETURN);
  });
  const TPoint p = PopupPoint();
  popup->Popup(p.X, p.Y);
  EXPECT_EQ(Clicked, std::vector<TMenuItem*>{second});
}

TEST_F(MenusTest, OwnerDrawMenuWithoutHandlersDrawsTheClassicLook) {
  auto* popup = new TPopupMenu(Form);
  popup->SetOwnerDraw(true);
  AddItem(popup->Items(), "&Plain")->SetShortCut(TShortCut(scCtrl | 'P'));
  AddItem(popup->Items(), "-");
  TMenuItem* other = AddItem(popup->Items(), "&Other");
  other->SetChecked(true);
  AddItem(popup->Items(), "&Disabled")->SetEnabled(false);
  HMENU m = popup->Handle();
  EXPECT_TRUE(GetMenuState(m, 0, MF_BYPOSITION) & MF_OWNERDRAW);
  EXPECT_TRUE(GetMenuState(m, 1, MF_BYPOSITION) & MF_SEPARATOR);  // lines stay lines
  Display.Schedule([&] { Display.Key(VK_DOWN); });
  Display.Schedule([&] {
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(Form->Handle(), m, 0, &r));
    EXPECT_EQ(Display.ScreenPixel(r.Right - 2, r.Top + 1), GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_TRUE(GetMenuItemRect(Form->Handle(), m, 2, &r));
    EXPECT_EQ(Display.ScreenPixel(r.Right - 2, r.Top + 1), GetSysColor(COLOR_MENU));
    // The caption is drawn in the text colour somewhere in the row.
    bool text = false;
    for (int x = r.Left; x < r.Right && !text; ++x)
      for (int y = r.Top; y < r.Bottom && !text; ++y) text = Display.ScreenPixel(x, y) == GetSysColor(COLOR_MENUTEXT);
    EXPECT_TRUE(text);
    if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(Display.Screenshot(), std::string(dir) + "/menu.png");
    Display.Key(VK_ESCAPE);
  });
  const TPoint p = PopupPoint();
  popup->Popup(p.X, p.Y);
  EXPECT_TRUE(Clicked.empty());
}

// ---- Main menus ----------------------------------------------------------------------------------

class TMenuForm : public TForm {
 public:
  TMenuForm(TComponent* owner, const std::string& layout) : TForm(owner) { ReadStoredLayout(layout); }
  std::string ClassName() const override { return "TMenuForm"; }
  std::vector<std::string> Clicks;
  void GetMethods(std::map<std::string, std::any>& methods) override {
    methods["OpenClick"] = TNotifyEvent([this](TObject*) { Clicks.push_back("Open"); });
    methods["ExitClick"] = TNotifyEvent([this](TObject*) { Clicks.push_back("Exit"); });
  }
};

const char* kMenuLayout = R"(object MenuForm: TMenuForm
  Left = 120
  Top = 80
  Width = 320
  Height = 240
  Caption = 'Menus'
  Menu = MainMenu1
  object MainMenu1: TMainMenu
    object FileMenu: TMenuItem
      Caption = '&File'
      object OpenItem: TMenuItem
        Caption = '&Open...'
        ShortCut = 16463
        OnClick = OpenClick
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object ExitItem: TMenuItem
        Caption = 'E&xit'
        OnClick = ExitClick
      end
    end
    object HelpMenu: TMenuItem
      Caption = '&Help'
    end
  end
end)";

TEST_F(MenusTest, MainMenuFromALayoutBecomesTheFormsBar) {
  RegisterWidgetClasses();
  auto* form = new TMenuForm(App, kMenuLayout);
  // Until the form routes menu messages itself, the test does it the same way.
  const TWndMethod previous = form->WindowProc;
  form->WindowProc = [previous](TMessage& m) {
    if (!TMenu::RouteMessage(m)) previous(m);
  };
  form->Show();
  Display.Pump();
  auto* menu = dynamic_cast<TMainMenu*>(form->FindComponent("MainMenu1"));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(form->Menu(), menu);
  HMENU bar = GetMenu(form->Handle());
  ASSERT_EQ(bar, menu->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(GetMenuString(bar, 0, MF_BYPOSITION), "&File");
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuString(file, 0, MF_BYPOSITION), "&Open...\tCtrl+O");
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);

  // Choose File > Exit with the mouse.
  Display.Schedule([&] {
    ASSERT_NE(GetMenuWindow(file), nullptr);
    const TPoint c = Centre(form->Handle(), file, 2);
    Display.Click(c.X, c.Y);
  });
  const TPoint fileTitle = Centre(form->Handle(), bar, 0);
  Display.Click(fileTitle.X, fileTitle.Y);
  Display.Pump();
  App->ProcessMessages();
  EXPECT_EQ(form->Clicks, std::vector<std::string>{"Exit"});

  // The shortcut finds its item.
  EXPECT_TRUE(menu->IsShortCut(TShortCut(scCtrl | 'O')));
  EXPECT_FALSE(menu->IsShortCut(TShortCut(scCtrl | 'Q')));
  EXPECT_EQ(form->Clicks, (std::vector<std::string>{"Exit", "Open"}));

  // The bar follows changes at once.
  dynamic_cast<TMenuItem*>(form->FindComponent("HelpMenu"))->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(GetMenu(form->Handle())), 1);

  // The bar takes one menu row from the client area.
  const int withBar = form->ClientHeight();
  form->SetMenu(nullptr);
  Display.Pump();
  EXPECT_EQ(form->ClientHeight() - withBar, GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 19);
}

TEST_F(MenusTest, FreeingAMainMenuTakesItOffItsForm) {
  auto* menu = new TMainMenu(Form);
  AddItem(menu->Items(), "&File");
  Form->SetMenu(menu);
  Display.Pump();
  const int withBar = Form->ClientHeight();
  ASSERT_EQ(GetMenu(Form->Handle()), menu->Handle());
  TComponent::Free(menu);
  Display.Pump();
  EXPECT_EQ(Form->Menu(), nullptr);
  EXPECT_EQ(GetMenu(Form->Handle()), nullptr);
  EXPECT_EQ(Form->ClientHeight(), withBar + GetSystemMetrics(SM_CYMENU));
}

}  // namespace
