#include <string>
#include <vector>

#include "platform/widgets/ListBox.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

// A list that counts the changes of its scroll state and, when `Hosted`, leaves its scroll bar
// to a control of its own: the built-in one is neither drawn nor worked.
class THookedList : public TListBox {
 public:
  explicit THookedList(TComponent* owner) : TListBox(owner) {}
  bool Hosted = false;
  int Changes = 0;

 protected:
  bool DrawsScrollBar() const override { return !Hosted; }
  void ScrollStateChanged() override { ++Changes; }
};

class ListBoxScrollHooks : public WidgetTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(50, 50, 400, 240);
  }
  THookedList* AddList(int left, bool hosted) {
    auto* list = new THookedList(Form);
    list->Hosted = hosted;
    list->SetParent(Form);
    list->SetBounds(left, 10, 150, 100);
    std::vector<std::string> strings;
    for (int i = 0; i < 30; ++i) strings.push_back("item " + std::to_string(i));
    list->Items()->SetStrings(strings);
    return list;
  }
};

TEST_F(ListBoxScrollHooks, AHostedBarKeepsItsPlaceFreeButIsNeitherDrawnNorWorked) {
  THookedList* builtIn = AddList(10, false);
  THookedList* hosted = AddList(200, true);
  Form->Show();
  Display.Pump();
  const TRect bar = hosted->ScrollBarRect();
  ASSERT_TRUE(hosted->ScrollBarVisible());
  EXPECT_EQ(hosted->ItemRect(0).Right, bar.Left);
  // The built-in bar's down arrow is a classic button; the hosted bar's place shows the list.
  EXPECT_EQ(PixelOf(builtIn, bar.Left + 3, bar.Bottom - 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelOf(hosted, bar.Left + 3, bar.Bottom - 3), GetSysColor(COLOR_WINDOW));
  ClickOn(builtIn, bar.Left + 8, bar.Bottom - 8);
  EXPECT_EQ(builtIn->TopIndex(), 1);
  // On the hosted bar's place a click neither scrolls nor selects; beside it, it selects.
  ClickOn(hosted, bar.Left + 8, bar.Bottom - 8);
  ClickOn(hosted, bar.Left + 8, bar.Top + 30);
  EXPECT_EQ(hosted->TopIndex(), 0);
  EXPECT_EQ(hosted->ItemIndex(), -1);
  ClickOn(hosted, 20, hosted->ItemRect(2).Top + 3);
  EXPECT_EQ(hosted->ItemIndex(), 2);
}

TEST_F(ListBoxScrollHooks, TheScrollStateChangeIsToldForTheTopTheItemsAndTheSize) {
  THookedList* list = AddList(10, true);
  Form->Show();
  Display.Pump();
  int seen = list->Changes;
  list->SetTopIndex(5);
  EXPECT_EQ(list->Changes, ++seen);
  list->SetTopIndex(5);  // no change, nothing to tell
  EXPECT_EQ(list->Changes, seen);
  list->Items()->Add("one more");
  EXPECT_EQ(list->Changes, ++seen);
  list->SetHeight(60);
  EXPECT_GT(list->Changes, seen);
  seen = list->Changes;
  // The wheel moves the top three rows a notch.
  const TPoint p = list->ClientToScreen({20, 20});
  Display.MoveMouse(p.X, p.Y);
  Display.Wheel(-120);
  Display.Pump();
  EXPECT_EQ(list->TopIndex(), 8);
  EXPECT_EQ(list->Changes, seen + 1);
  list->Items()->Clear();
  EXPECT_EQ(list->Changes, seen + 2);
}

}  // namespace
