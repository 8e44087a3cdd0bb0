#include <string>
#include <vector>

#include "platform/widgets/ListBox.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

// A list that hosts a scroll bar of its own: the built-in one is neither drawn nor worked,
// and every change of the scroll state is counted.
class THostedBarList : public TListBox {
 public:
  explicit THostedBarList(TComponent* owner) : TListBox(owner) {}
  int Changes = 0;

 protected:
  bool DrawsScrollBar() const override { return false; }
  void ScrollStateChanged() override { ++Changes; }
};

// A list that keeps the built-in bar and counts the same changes.
class TCountingList : public TListBox {
 public:
  explicit TCountingList(TComponent* owner) : TListBox(owner) {}
  int Changes = 0;

 protected:
  void ScrollStateChanged() override { ++Changes; }
};

class ListBoxScrollHooks : public WidgetTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(50, 50, 320, 240);
  }
  template <class T>
  T* AddList(int items) {
    auto* list = new T(Form);
    list->SetParent(Form);
    list->SetBounds(10, 10, 150, 100);
    std::vector<std::string> strings;
    for (int i = 0; i < items; ++i) strings.push_back("item " + std::to_string(i));
    list->Items()->SetStrings(strings);
    return list;
  }
  void ShowForm() {
    Form->Show();
    Display.Pump();
  }
};

TEST_F(ListBoxScrollHooks, AHostedBarKeepsItsPlaceFreeButIsNeitherDrawnNorWorked) {
  auto* hosted = AddList<THostedBarList>(30);
  ShowForm();
  ASSERT_TRUE(hosted->ScrollBarVisible());
  const TRect bar = hosted->ScrollBarRect();
  EXPECT_EQ(bar.Width(), GetSystemMetrics(SM_CXVSCROLL));
  // Items stop at the bar's place, which shows the list's background, not a classic arrow.
  EXPECT_EQ(hosted->ItemRect(0).Right, bar.Left);
  EXPECT_EQ(PixelOf(hosted, bar.Left + 3, bar.Bottom - 3), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(PixelOf(hosted, bar.Left + 3, bar.Top + 3), GetSysColor(COLOR_WINDOW));
  // A click there neither scrolls nor selects.
  ClickOn(hosted, bar.Left + 8, bar.Bottom - 8);
  ClickOn(hosted, bar.Left + 8, bar.Top + 30);
  EXPECT_EQ(hosted->TopIndex(), 0);
  EXPECT_EQ(hosted->ItemIndex(), -1);
  // The items beside it are still chosen by the mouse.
  ClickOn(hosted, 20, hosted->ItemRect(2).Top + 3);
  EXPECT_EQ(hosted->ItemIndex(), 2);
}

TEST_F(ListBoxScrollHooks, TheBuiltInBarIsDrawnAndWorkedByDefault) {
  auto* plain = AddList<TCountingList>(30);
  ShowForm();
  const TRect bar = plain->ScrollBarRect();
  EXPECT_EQ(PixelOf(plain, bar.Left + 3, bar.Bottom - 3), GetSysColor(COLOR_BTNFACE));
  ClickOn(plain, bar.Left + 8, bar.Bottom - 8);
  EXPECT_EQ(plain->TopIndex(), 1);
}

TEST_F(ListBoxScrollHooks, TheScrollStateChangeIsToldForTheTopTheItemsAndTheSize) {
  auto* list = AddList<TCountingList>(30);
  ShowForm();
  int seen = list->Changes;
  list->SetTopIndex(5);
  EXPECT_EQ(list->Changes, ++seen);
  list->SetTopIndex(5);  // no change, nothing to tell
  EXPECT_EQ(list->Changes, seen);
  list->Items()->Add("one more");
  EXPECT_EQ(list->Changes, ++seen);
  list->Items()->Delete(0);
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
  EXPECT_EQ(list->TopIndex(), 0);
  EXPECT_EQ(list->Changes, seen + 2);
}

}  // namespace
