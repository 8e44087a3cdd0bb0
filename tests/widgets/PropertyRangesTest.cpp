// Integer properties of the toolkit read from a layout: each keeps to its range, so that no
// value can overflow the geometry and font arithmetic or make painting run away.
#include "platform/components/LayoutReader.h"
#include "platform/widgets/BitBtn.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/UpDown.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

struct PropertyRanges : WidgetTest {
  void SetUp() override {
    WidgetTest::SetUp();
    RegisterWidgetClasses();
  }
  // The error reading a form whose properties start on line 2, or "" when it reads.
  std::string ReadError(const std::string& body) {
    auto* form = new TForm(App);
    std::string message;
    try {
      ReadLayout(form, "object F: TForm\n" + body + "end\n");
    } catch (const EReadError& e) {
      message = e.what();
    }
    TComponent::Free(form);
    return message;
  }
};

TEST_F(PropertyRanges, ValuesOutsideARangeAreRefusedWithTheLineAndTheRange) {
  const std::pair<const char*, const char*> cases[] = {
      {"  Left = 2147483647\n", "Line 2: Left = 2147483647 is out of range (-32768..32767)"},
      {"  Top = -32769\n", "Line 2: Top = -32769 is out of range (-32768..32767)"},
      {"  Width = -999999999999999999\n", "Line 2: Width = -999999999999999999 is out of range (0..32767)"},
      {"  Height = 32768\n", "Line 2: Height = 32768 is out of range (0..32767)"},
      {"  ClientWidth = -1\n", "Line 2: ClientWidth = -1 is out of range (0..32767)"},
      {"  ClientHeight = 4294967296\n", "Line 2: ClientHeight = 4294967296 is out of range (0..32767)"},
      {"  BorderWidth = -1\n", "Line 2: BorderWidth = -1 is out of range (0..32767)"},
      {"  Font.Height = -2147483648\n", "Line 2: Height = -2147483648 is out of range (-1000..1000)"},
      {"  Font.Height = 1001\n", "Line 2: Height = 1001 is out of range (-1000..1000)"},
      {"  Font.Size = 751\n", "Line 2: Size = 751 is out of range (-750..750)"},
      {"  Font.Charset = 256\n", "Line 2: Charset = 256 is out of range (0..255)"},
      {"  HorzScrollBar.Range = 32768\n", "Line 2: Range = 32768 is out of range (0..32767)"},
      {"  VertScrollBar.Increment = 0\n", "Line 2: Increment = 0 is out of range (1..32767)"},
      {"  object B: TBitBtn\n    Margin = -2\n  end\n", "Line 3: Margin = -2 is out of range (-1..32767)"},
      {"  object B: TBitBtn\n    Spacing = 2147483647\n  end\n", "Line 3: Spacing = 2147483647 is out of range (-1..32767)"},
      {"  object B: TBitBtn\n    NumGlyphs = 5\n  end\n", "Line 3: NumGlyphs = 5 is out of range (1..4)"},
      {"  object B: TButton\n    TabOrder = -2\n  end\n", "Line 3: TabOrder = -2 is out of range (-1..32767)"},
      {"  object B: TButton\n    ModalResult = 2147483648\n  end\n",
       "Line 3: ModalResult = 2147483648 is out of range (-2147483648..2147483647)"},
      {"  object U: TUpDown\n    Min = -32769\n  end\n", "Line 3: Min = -32769 is out of range (-32768..32767)"},
      {"  object U: TUpDown\n    Increment = 32768\n  end\n", "Line 3: Increment = 32768 is out of range (-32768..32767)"},
      {"  object E: TEdit\n    PasswordChar = 256\n  end\n", "Line 3: PasswordChar = 256 is out of range (0..255)"},
      {"  object M: TMainMenu\n    object I: TMenuItem\n      ShortCut = 65536\n    end\n  end\n",
       "Line 4: ShortCut = 65536 is out of range (0..65535)"},
  };
  for (const auto& [body, message] : cases) EXPECT_EQ(ReadError(body), message) << body;
}

// The extremes of every range load, and the form shows and paints with them.
TEST_F(PropertyRanges, TheExtremesOfEachRangeLoadAndPaint) {
  auto* form = new TForm(App);
  ReadLayout(form, R"(object F: TForm
  Left = 100
  Top = 80
  Width = 400
  Height = 300
  HorzScrollBar.Range = 32767
  HorzScrollBar.Increment = 32767
  VertScrollBar.Margin = 32767
  object B: TBitBtn
    Left = 0
    Top = 0
    Width = 32767
    Height = 32767
    Caption = 'Big'
    Font.Height = -1000
    Margin = 32767
    Spacing = -1
    NumGlyphs = 4
    TabOrder = -1
  end
  object E: TEdit
    Left = -32768
    Top = 32767
    Width = 0
    Height = 0
    BorderWidth = 32767
    Font.Size = -750
  end
  object U: TUpDown
    Left = 32767
    Top = -32768
    Min = -32768
    Max = 32767
    Increment = 32767
    Position = 32767
  end
  object M: TMainMenu
    object I: TMenuItem
      ShortCut = 65535
    end
  end
end)");
  form->Show();
  Display.Pump();
  auto* button = dynamic_cast<TBitBtn*>(form->FindComponent("B"));
  auto* edit = dynamic_cast<TEdit*>(form->FindComponent("E"));
  auto* upDown = dynamic_cast<TUpDown*>(form->FindComponent("U"));
  auto* item = dynamic_cast<TMenuItem*>(form->FindComponent("I"));
  ASSERT_TRUE(button && edit && upDown && item);
  EXPECT_EQ(button->Width(), 32767);
  EXPECT_EQ(button->Height(), 32767);
  EXPECT_EQ(button->Font()->Height(), -1000);
  EXPECT_EQ(button->Margin(), 32767);
  EXPECT_EQ(button->Spacing(), -1);
  EXPECT_EQ(button->NumGlyphs(), 4);
  EXPECT_EQ(edit->Left(), -32768);
  EXPECT_EQ(edit->Top(), 32767);
  EXPECT_EQ(edit->Width(), 0);
  EXPECT_EQ(edit->Font()->Height(), 1000);  // 750 points are 750 * 96 / 72 pixels; a negative size, a cell height
  EXPECT_EQ(upDown->Left(), 32767);
  EXPECT_EQ(upDown->Min(), -32768);
  EXPECT_EQ(upDown->Max(), 32767);
  EXPECT_EQ(upDown->Increment(), 32767);
  EXPECT_EQ(upDown->Position(), 32767);
  EXPECT_EQ(item->ShortCut(), 65535);
  TComponent::Free(form);
}

}  // namespace
