#include "platform/components/LayoutReader.h"
#include "platform/widgets/Button.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/ListBox.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

const COLORREF kHighlight = GetSysColor(COLOR_HIGHLIGHT), kWindow = GetSysColor(COLOR_WINDOW),
               kText = GetSysColor(COLOR_WINDOWTEXT);

class Fixture : public WidgetTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(50, 50, 320, 240);
  }
  template <class T>
  T* Add(int x, int y, int w, int h) {
    auto* c = new T(Form);
    c->SetParent(Form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  void ShowForm() {
    Form->Show();
    Display.Pump();
  }
  void Type(const std::string& text) {
    Display.TypeText(text);
    Display.Pump();
  }
  void Key(WPARAM key, WPARAM modifier = 0) {
    if (modifier) Display.KeyDown(modifier);
    Display.Key(key);
    if (modifier) Display.KeyUp(modifier);
    Display.Pump();
  }
  static int TextWidth(const TControl* c, const std::string& text) {
    TDC probe(nullptr);
    SelectFont(&probe, c->Font()->LogFont());
    TSize size;
    GetTextExtentPoint32(&probe, text, &size);
    return size.cx;
  }
};

using Edit = Fixture;

TEST_F(Edit, TypingBackspaceAndDeleteEditTheText) {
  auto* edit = Add<TEdit>(10, 10, 150, 21);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  ShowForm();
  ASSERT_TRUE(edit->Focused());
  Type("Hello, World");
  EXPECT_EQ(edit->Text(), "Hello, World");
  EXPECT_EQ(changes, 12);
  EXPECT_TRUE(edit->Modified);
  Key(VK_BACK);
  Key(VK_BACK);
  EXPECT_EQ(edit->Text(), "Hello, Wor");
  Key(VK_HOME);
  Key(VK_DELETE);
  Key(VK_RIGHT);
  Type("J");
  EXPECT_EQ(edit->Text(), "eJllo, Wor");
  EXPECT_EQ(edit->CaretPos(), 2);
  // Backspace at the start and Delete at the end change nothing.
  Key(VK_HOME);
  Key(VK_BACK);
  Key(VK_END);
  Key(VK_DELETE);
  EXPECT_EQ(edit->Text(), "eJllo, Wor");
  EXPECT_EQ(changes, 16);
}

TEST_F(Edit, ShiftSelectsAndTypingReplacesTheSelection) {
  auto* edit = Add<TEdit>(10, 10, 150, 21);
  ShowForm();
  Type("abcdef");
  Key(VK_LEFT);
  Display.KeyDown(VK_LSHIFT);
  Display.Key(VK_LEFT);
  Display.Key(VK_LEFT);
  Display.KeyUp(VK_LSHIFT);
  Display.Pump();
  EXPECT_EQ(edit->SelStart(), 3);
  EXPECT_EQ(edit->SelText(), "de");
  Type("X");
  EXPECT_EQ(edit->Text(), "abcXf");
  Key(VK_END);
  Key(VK_HOME, VK_LSHIFT);
  EXPECT_EQ(edit->SelText(), "abcXf");
  Key(VK_DELETE);
  EXPECT_EQ(edit->Text(), "");

  // Ctrl+A selects everything, shown in the highlight colours.
  Type("select me");
  Key('A', VK_LCONTROL);
  EXPECT_EQ(edit->SelLength(), 9);
  EXPECT_EQ(edit->Text(), "select me");
  const int y = edit->ClientHeight() / 2;
  EXPECT_EQ(PixelOf(edit, 3, y), kHighlight);
  Key(VK_RIGHT);
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_EQ(PixelOf(edit, 3, y), kWindow);
}

TEST_F(Edit, MouseClickPlacesTheCaretAndDragSelects) {
  auto* edit = Add<TEdit>(10, 10, 150, 21);
  edit->SetText("abcdef");
  ShowForm();
  // The text starts one pixel inside the client area.
  const int afterC = 1 + TextWidth(edit, "abc");
  const int y = edit->ClientHeight() / 2;
  ClickOn(edit, afterC, y);
  EXPECT_EQ(edit->CaretPos(), 3);
  EXPECT_EQ(edit->SelLength(), 0);
  const TPoint from = edit->ClientToScreen({1 + TextWidth(edit, "a"), y});
  const TPoint to = edit->ClientToScreen({1 + TextWidth(edit, "abcde"), y});
  Display.Advance(1000);  // no double click
  Display.MoveMouse(from.X, from.Y);
  Display.Press();
  Display.MoveMouse(to.X, to.Y);
  Display.Release();
  Display.Pump();
  EXPECT_EQ(edit->SelText(), "bcde");
}

TEST_F(Edit, MaxLengthAndReadOnlyLimitTyping) {
  auto* edit = Add<TEdit>(10, 10, 150, 21);
  edit->SetMaxLength(3);
  ShowForm();
  Type("abcdef");
  EXPECT_EQ(edit->Text(), "abc");
  // Replacing a selection is still possible within the limit.
  Key(VK_LEFT, VK_LSHIFT);
  Type("xy");
  EXPECT_EQ(edit->Text(), "abx");
  edit->SetText("longer than three");
  EXPECT_EQ(edit->Text(), "longer than three");
  edit->SetReadOnly(true);
  Key(VK_END);
  Type("z");
  Key(VK_BACK);
  EXPECT_EQ(edit->Text(), "longer than three");
  EXPECT_EQ(edit->CaretPos(), 17);
}

TEST_F(Edit, TextScrollsToKeepTheCaretVisible) {
  auto* edit = Add<TEdit>(10, 10, 60, 21);
  ShowForm();
  Type("abcdefghijklmnopqrstuvwxyz");
  // The caret is a line of inverted pixels as high as the text.
  TDC probe(nullptr);
  SelectFont(&probe, edit->Font()->LogFont());
  TSize cell;
  GetTextExtentPoint32(&probe, "0", &cell);
  auto caretColumn = [&]() {
    const int h = cell.cy, top = (edit->ClientHeight() - h) / 2;
    for (int x = 0; x < edit->ClientWidth(); ++x) {
      bool line = true;
      for (int y = top; y < top + h && line; ++y) line = PixelOf(edit, x, y) == kText;
      if (line) return x;
    }
    return -1;
  };
  const int atEnd = caretColumn();
  EXPECT_GT(atEnd, edit->ClientWidth() / 2);
  EXPECT_LT(atEnd, edit->ClientWidth());
  Key(VK_HOME);
  EXPECT_EQ(caretColumn(), 1);
  Key(VK_END);
  EXPECT_EQ(caretColumn(), atEnd);
}

TEST_F(Edit, EnterAndEscapeBelongToTheDialog) {
  auto* edit = Add<TEdit>(10, 10, 150, 21);
  auto* ok = Add<TButton>(10, 50, 75, 25);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  Type("ab");
  Key(VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(edit->Text(), "ab");
  EXPECT_TRUE(edit->Focused());
  // Tab moves on; coming back with the keyboard selects the whole text.
  Key(VK_TAB);
  EXPECT_TRUE(ok->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->SelText(), "ab");
}

// ---- TListBox ----------------------------------------------------------------------------------

class ListBox : public Fixture {
 protected:
  TListBox* List = nullptr;
  int Clicks = 0;
  void SetUp() override {
    Fixture::SetUp();
    List = Add<TListBox>(10, 10, 150, 80);
    for (int i = 0; i < 20; ++i) List->Items()->Add("Item " + std::to_string(i));
    List->OnClick = [this](TObject*) { ++Clicks; };
  }
  // Whether the item's row is drawn in the highlight colour (checked at its left end).
  bool Highlighted(int index) {
    const int row = index - List->TopIndex();
    if (row < 0 || row >= List->VisibleRows()) return false;
    return PixelOf(List, 1, row * List->ItemHeight() + List->ItemHeight() / 2) == kHighlight;
  }
};

TEST_F(ListBox, RowsAreAsHighAsTheFontAndTwoPixels) {
  TDC probe(nullptr);
  SelectFont(&probe, List->Font()->LogFont());
  TSize size;
  GetTextExtentPoint32(&probe, "0", &size);
  EXPECT_EQ(List->ItemHeight(), size.cy + 2);
  ShowForm();
  EXPECT_EQ(List->VisibleRows(), List->ClientHeight() / List->ItemHeight());
  EXPECT_EQ(List->ClientHeight(), 80 - 4);  // inside the sunken client edge
}

TEST_F(ListBox, KeyboardMovesTheSelectionAndKeepsItInView) {
  ShowForm();
  ASSERT_TRUE(List->Focused());
  EXPECT_EQ(List->ItemIndex(), -1);
  Key(VK_DOWN);
  EXPECT_EQ(List->ItemIndex(), 0);
  Key(VK_DOWN);
  EXPECT_EQ(List->ItemIndex(), 1);
  EXPECT_TRUE(Highlighted(1));
  EXPECT_FALSE(Highlighted(0));
  Key(VK_END);
  EXPECT_EQ(List->ItemIndex(), 19);
  EXPECT_EQ(List->TopIndex(), 20 - List->VisibleRows());
  EXPECT_TRUE(Highlighted(19));
  Key(VK_DOWN);  // already at the end: no change, no event
  EXPECT_EQ(Clicks, 3);
  Key(VK_HOME);
  EXPECT_EQ(List->TopIndex(), 0);
  EXPECT_TRUE(Highlighted(0));
  const int page = List->VisibleRows() - 1;
  Key(VK_NEXT);
  EXPECT_EQ(List->ItemIndex(), page);
  Key(VK_NEXT);
  EXPECT_EQ(List->ItemIndex(), 2 * page);
  EXPECT_TRUE(Highlighted(2 * page));
  Key(VK_PRIOR);
  EXPECT_EQ(List->ItemIndex(), page);
  Key(VK_UP);
  EXPECT_EQ(List->ItemIndex(), page - 1);
  EXPECT_EQ(Clicks, 8);
  // A letter jumps to the next item starting with it.
  List->Items()->Put(15, "Zebra");
  Type("z");
  EXPECT_EQ(List->ItemIndex(), 15);
  EXPECT_TRUE(Highlighted(15));
}

TEST_F(ListBox, ClickSelectsAndDoubleClickReportsTheItem) {
  int doubles = 0;
  List->OnDblClick = [&](TObject*) { ++doubles; };
  ShowForm();
  const int h = List->ItemHeight();
  ClickOn(List, 20, 2 * h + 3);
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(doubles, 0);
  ClickOn(List, 20, 2 * h + 3);  // the second click comes quickly: a double click
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(doubles, 1);
  Display.Advance(1000);
  ClickOn(List, 20, 3 * h + 3);
  EXPECT_EQ(List->ItemIndex(), 3);
  EXPECT_EQ(Clicks, 2);

  // Below the last item nothing is selected or double-clicked.
  List->Items()->Clear();
  List->Items()->Add("Only");
  Display.Advance(1000);
  ClickOn(List, 20, 3 * h + 3);
  ClickOn(List, 20, 3 * h + 3);
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_EQ(doubles, 1);
}

TEST_F(ListBox, WheelAndScrollBarScrollWithoutSelecting) {
  List->SetItemIndex(0);
  ShowForm();
  const TPoint over = List->ClientToScreen({20, 20});
  Display.MoveMouse(over.X, over.Y);
  Display.Wheel(-120);
  Display.Pump();
  EXPECT_EQ(List->TopIndex(), 3);
  EXPECT_EQ(List->ItemIndex(), 0);
  Display.Wheel(240);
  Display.Pump();
  EXPECT_EQ(List->TopIndex(), 0);

  ASSERT_TRUE(List->ScrollBarVisible());
  const TRect bar = List->ScrollBarRect();
  ClickOn(List, bar.Left + 5, bar.Bottom - 5);  // the down arrow
  EXPECT_EQ(List->TopIndex(), 1);
  Display.Advance(1000);
  ClickOn(List, bar.Left + 5, bar.Bottom - 25);  // the track below the thumb: a page
  EXPECT_EQ(List->TopIndex(), 1 + List->VisibleRows());
  EXPECT_EQ(List->ItemIndex(), 0);
  EXPECT_EQ(Clicks, 0);
  // Items are drawn left of the bar.
  EXPECT_EQ(List->ItemRect(List->TopIndex()).Right, bar.Left);

  // Setting the index from code brings the item into view and raises nothing.
  List->SetItemIndex(0);
  EXPECT_EQ(List->TopIndex(), 0);
  EXPECT_EQ(Clicks, 0);
}

TEST_F(ListBox, SortedListsKeepTheirOrderAndSelection) {
  List->Items()->Clear();
  for (const char* s : {"pear", "Apple", "fig"}) List->Items()->Add(s);
  List->SetItemIndex(0);
  List->SetSorted(true);
  EXPECT_EQ(List->Items()->Strings(), (std::vector<std::string>{"Apple", "fig", "pear"}));
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_EQ(List->Items()->Add("banana"), 1);
  EXPECT_EQ(List->ItemIndex(), 3);
  EXPECT_EQ(List->Items()->IndexOf("PEAR"), 3);
  List->Items()->Delete(0);
  EXPECT_EQ(List->ItemIndex(), 2);
  List->Items()->Delete(2);
  EXPECT_EQ(List->ItemIndex(), -1);
}

TEST_F(ListBox, ReadsItsItemsFromALayout) {
  RegisterWidgetClasses();
  ReadLayout(Form,
             "object Form1: TForm\n"
             "  object ListBox1: TListBox\n"
             "    ItemHeight = 13\n"
             "    Items.Strings = (\n      'one'\n      'two'\n      'three')\n"
             "    ItemIndex = 1\n"
             "  end\n"
             "end\n");
  auto* list = dynamic_cast<TListBox*>(Form->FindComponent("ListBox1"));
  ASSERT_TRUE(list);
  EXPECT_EQ(list->Items()->Strings(), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(ListBox, FocusOutlineSurroundsTheSelectedItem) {
  auto* other = Add<TEdit>(200, 10, 80, 21);
  List->SetItemIndex(1);
  ShowForm();
  const int h = List->ItemHeight();
  // The outline inverts the highlight along the item's top edge.
  const COLORREF outline = kHighlight ^ 0xFFFFFF;
  EXPECT_EQ(PixelOf(List, 0, h), outline);
  other->SetFocus();
  Display.Pump();
  EXPECT_EQ(PixelOf(List, 0, h), kHighlight);
  List->SetEnabled(false);
  Display.Pump();
  EXPECT_TRUE(Highlighted(1));
}

}  // namespace
