#include "platform/components/LayoutReader.h"
#include "platform/widgets/Button.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/GroupBox.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

const COLORREF kShadow = GetSysColor(COLOR_BTNSHADOW), kLight = GetSysColor(COLOR_BTNHIGHLIGHT),
               kFace = GetSysColor(COLOR_BTNFACE), kText = GetSysColor(COLOR_WINDOWTEXT);

class Fixture : public WidgetTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(50, 50, 320, 240);
  }
  template <class T>
  T* Add(TWinControl* parent, int x, int y, int w, int h) {
    auto* c = new T(Form);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
  }
  void ShowForm() {
    Form->Show();
    Display.Pump();
  }
  static TSize Extent(const TLogFont& font, const std::string& text) {
    TDC probe(nullptr);
    SelectFont(&probe, font);
    TSize size;
    GetTextExtentPoint32(&probe, text, &size);
    return size;
  }
  // Whether any pixel of the rectangle (client coordinates of `c`) has colour `color`.
  bool Has(TControl* c, const TRect& r, COLORREF color) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (PixelOf(c, x, y) == color) return true;
    return false;
  }
};

using Label = Fixture;

TEST_F(Label, AutoSizeTakesTheTextExtent) {
  auto* label = Add<TLabel>(Form, 20, 20, 200, 40);
  label->Font()->SetName("MS Sans Serif");
  label->Font()->SetStyle(fsBold);
  label->SetCaption("D0 SYNC");
  const TSize extent = Extent(label->Font()->LogFont(), "D0 SYNC");
  EXPECT_EQ(label->Width(), extent.cx);
  EXPECT_EQ(label->Height(), extent.cy);
  EXPECT_EQ(label->Left(), 20);

  // The accelerator mark takes no room; shown as it is, it does.
  label->SetCaption("&Name");
  EXPECT_EQ(label->Width(), Extent(label->Font()->LogFont(), "Name").cx);
  label->SetShowAccelChar(false);
  EXPECT_EQ(label->Width(), Extent(label->Font()->LogFont(), "&Name").cx);

  // A right-aligned label keeps its right edge; without AutoSize nothing moves.
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption("Much longer caption");
  EXPECT_EQ(label->Left() + label->Width(), right);
  label->SetAutoSize(false);
  label->SetBounds(20, 20, 50, 30);
  label->SetCaption("x");
  EXPECT_EQ(label->Width(), 50);
  EXPECT_EQ(label->Height(), 30);
}

TEST_F(Label, WordWrapKeepsTheWidth) {
  auto* label = Add<TLabel>(Form, 10, 10, 60, 13);
  label->SetWordWrap(true);
  label->SetCaption("one two three four five six");
  const int line = Extent(label->Font()->LogFont(), "0").cy;
  EXPECT_EQ(label->Width(), 60);
  EXPECT_GE(label->Height(), 3 * line);
  EXPECT_EQ(label->Height() % line, 0);
}

TEST_F(Label, OpaqueLabelFillsItsBackgroundTransparentDoesNot) {
  Form->SetColor(clLime);
  auto* label = Add<TLabel>(Form, 10, 10, 100, 30);
  label->SetAutoSize(false);
  label->SetColor(clYellow);
  label->SetCaption("Hi");
  ShowForm();
  EXPECT_EQ(PixelOf(label, 90, 25), COLORREF(clYellow));
  EXPECT_TRUE(Has(label, {0, 0, 20, 13}, kText));
  label->SetTransparent(true);
  Display.Pump();
  EXPECT_EQ(PixelOf(label, 90, 25), COLORREF(clLime));
  EXPECT_TRUE(Has(label, {0, 0, 20, 13}, kText));
}

TEST_F(Label, LayoutPlacesTheTextVertically) {
  auto* label = Add<TLabel>(Form, 10, 10, 100, 45);
  label->SetAutoSize(false);
  label->SetCaption("Mm");
  ShowForm();
  const int line = Extent(label->Font()->LogFont(), "Mm").cy;
  auto inkRows = [&](int top, int bottom) { return Has(label, {0, top, 30, bottom}, kText); };
  EXPECT_TRUE(inkRows(0, line));
  EXPECT_FALSE(inkRows(line, 45));
  label->SetLayout(tlBottom);
  Display.Pump();
  EXPECT_FALSE(inkRows(0, 45 - line));
  EXPECT_TRUE(inkRows(45 - line, 45));
  label->SetLayout(tlCenter);
  Display.Pump();
  const int top = (45 - line) / 2;
  EXPECT_FALSE(inkRows(0, top));
  EXPECT_TRUE(inkRows(top, top + line));
  EXPECT_FALSE(inkRows(top + line, 45));
}

TEST_F(Label, AcceleratorFocusesTheFocusControl) {
  auto* first = Add<TEdit>(Form, 100, 10, 100, 21);
  auto* second = Add<TEdit>(Form, 100, 40, 100, 21);
  auto* label = Add<TLabel>(Form, 10, 44, 80, 13);
  label->SetCaption("&Second:");
  label->SetFocusControl(second);
  ShowForm();
  ASSERT_TRUE(first->Focused());
  auto alt = [&](WPARAM key) {
    Display.KeyDown(VK_MENU);
    Display.Key(key);
    Display.KeyUp(VK_MENU);
    Display.Pump();
  };
  alt('S');
  EXPECT_TRUE(second->Focused());
  first->SetFocus();
  label->SetShowAccelChar(false);
  alt('S');
  EXPECT_TRUE(first->Focused());
  label->SetShowAccelChar(true);
  // The label forgets a focus control that goes away.
  TComponent::Free(second);
  EXPECT_EQ(label->FocusControl(), nullptr);
  alt('S');
  EXPECT_TRUE(first->Focused());
}

TEST_F(Label, ReadFromALayoutSizesOnceLoaded) {
  RegisterWidgetClasses();
  ReadLayout(Form,
             "object Form1: TForm\n"
             "  object Label1: TLabel\n"
             "    Left = 8\n    Top = 8\n    Width = 300\n    Height = 50\n"
             "    Caption = '&Path'\n    FocusControl = Edit1\n    Transparent = True\n    Layout = tlCenter\n"
             "  end\n"
             "  object Edit1: TEdit\n    Left = 8\n    Top = 30\n  end\n"
             "end\n");
  auto* label = dynamic_cast<TLabel*>(Form->FindComponent("Label1"));
  ASSERT_TRUE(label);
  EXPECT_EQ(label->FocusControl(), Form->FindComponent("Edit1"));
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(label->Layout(), tlCenter);
  EXPECT_EQ(label->Width(), Extent(label->Font()->LogFont(), "Path").cx);
}

using GroupBox = Fixture;

TEST_F(GroupBox, CaptionSitsOnTheFrameAtTheTopLeft) {
  auto* group = Add<TGroupBox>(Form, 10, 10, 200, 100);
  group->SetCaption("Options");
  ShowForm();
  const int h = Extent(group->Font()->LogFont(), "0").cy;
  const int line = h / 2 - 1;
  const int textRight = TCustomGroupBox::kCaptionLeft + Extent(group->Font()->LogFont(), "Options").cx;
  // The etched frame: shadow, with highlight one pixel in.
  EXPECT_EQ(PixelOf(group, 3, line), kShadow);
  EXPECT_EQ(PixelOf(group, 3, line + 1), kLight);
  EXPECT_EQ(PixelOf(group, 0, 50), kShadow);
  EXPECT_EQ(PixelOf(group, 1, 50), kLight);
  EXPECT_EQ(PixelOf(group, 199, 50), kLight);
  EXPECT_EQ(PixelOf(group, 198, 50), kShadow);
  EXPECT_EQ(PixelOf(group, 100, 99), kLight);
  EXPECT_EQ(PixelOf(group, textRight + 3, line), kShadow);
  // The caption interrupts the top line and starts at x = 8.
  for (int x = TCustomGroupBox::kCaptionLeft; x < textRight; ++x) EXPECT_NE(PixelOf(group, x, line), kShadow) << x;
  EXPECT_FALSE(Has(group, {0, 0, TCustomGroupBox::kCaptionLeft, h}, kText));
  EXPECT_TRUE(Has(group, {TCustomGroupBox::kCaptionLeft, 0, TCustomGroupBox::kCaptionLeft + 3, h}, kText));
  EXPECT_EQ(PixelOf(group, 100, 50), kFace);

  group->SetEnabled(false);
  Display.Pump();
  const TRect caption{TCustomGroupBox::kCaptionLeft, 0, textRight + 1, h + 1};
  EXPECT_FALSE(Has(group, caption, kText));
  EXPECT_TRUE(Has(group, caption, kLight));
}

TEST_F(GroupBox, ChildrenAlignInsideTheFrame) {
  auto* group = Add<TGroupBox>(Form, 10, 10, 200, 100);
  group->SetCaption("Group");
  auto* inner = Add<TButton>(group, 0, 0, 10, 10);
  inner->SetAlign(alClient);
  ShowForm();
  const int h = Extent(group->Font()->LogFont(), "0").cy;
  EXPECT_EQ(inner->BoundsRect(), (TRect{2, h + 2, 198, 98}));
  EXPECT_EQ(group->FrameClientRect(), inner->BoundsRect());
}

TEST_F(GroupBox, AcceleratorFocusesTheFirstControlInside) {
  auto* outside = Add<TEdit>(Form, 220, 10, 80, 21);
  auto* group = Add<TGroupBox>(Form, 10, 10, 200, 100);
  group->SetCaption("&Group");
  auto* inside = Add<TEdit>(group, 10, 20, 80, 21);
  ShowForm();
  outside->SetFocus();
  Display.Pump();
  Display.KeyDown(VK_MENU);
  Display.Key('G');
  Display.KeyUp(VK_MENU);
  Display.Pump();
  EXPECT_TRUE(inside->Focused());
}

}  // namespace
