#include "platform/components/LayoutReader.h"
#include "platform/graphics/PngFile.h"
#include "platform/widgets/Button.h"
#include "platform/widgets/CheckBox.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/ListBox.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/UpDown.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

class TGalleryForm : public TForm {
 public:
  explicit TGalleryForm(TComponent* owner) : TForm(owner) {}
  std::string ClassName() const override { return "TGalleryForm"; }
  int Clicks = 0;
  void GetMethods(std::map<std::string, std::any>& methods) override {
    methods["ButtonClick"] = TNotifyEvent([this](TObject*) { ++Clicks; });
  }
};

const char* kGallery = R"(object Gallery: TGalleryForm
  Left = 100
  Top = 80
  Width = 420
  Height = 300
  Caption = 'Every plain control'
  Menu = MainMenu1
  object GroupBox1: TGroupBox
    Left = 8
    Top = 8
    Width = 190
    Height = 150
    Caption = '&Settings'
    TabOrder = 0
    object Label1: TLabel
      Left = 12
      Top = 24
      Caption = '&Name:'
      FocusControl = Edit1
    end
    object Edit1: TEdit
      Left = 60
      Top = 20
      Width = 116
      Height = 21
      Text = 'Maruk'
      TabOrder = 0
    end
    object CheckBox1: TCheckBox
      Left = 12
      Top = 52
      Width = 120
      Height = 17
      Caption = 'D4 used as sync'
      Checked = True
      TabOrder = 1
    end
    object CheckBox2: TCheckBox
      Left = 12
      Top = 76
      Width = 120
      Height = 17
      Caption = 'Disabled'
      Enabled = False
      TabOrder = 2
    end
    object UpDown1: TUpDown
      Left = 12
      Top = 104
      Width = 120
      Height = 17
      Orientation = udHorizontal
      Max = 2048
      TabOrder = 3
    end
  end
  object ListBox1: TListBox
    Left = 208
    Top = 14
    Width = 190
    Height = 144
    Items.Strings = (
      'a.rom'
      'b.rom'
      'c.bin'
      'timing.bin')
    TabOrder = 1
  end
  object Button1: TButton
    Left = 8
    Top = 176
    Width = 90
    Height = 25
    Caption = '&Open ROM'
    Default = True
    TabOrder = 2
    OnClick = ButtonClick
  end
  object BitBtn1: TBitBtn
    Left = 108
    Top = 176
    Width = 90
    Height = 25
    Kind = bkCancel
    TabOrder = 3
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Caption = '&Open...'
        ShortCut = 16463
      end
    end
  end
end)";

using Gallery = WidgetTest;

TEST_F(Gallery, EveryPlainControlFromALayoutWorksWithMouseAndKeys) {
  RegisterWidgetClasses();
  auto* form = new TGalleryForm(App);
  ReadLayout(form, kGallery);
  form->Show();
  Display.Pump();
  auto* edit = dynamic_cast<TEdit*>(form->FindComponent("Edit1"));
  auto* check = dynamic_cast<TCheckBox*>(form->FindComponent("CheckBox1"));
  auto* list = dynamic_cast<TListBox*>(form->FindComponent("ListBox1"));
  auto* button = dynamic_cast<TButton*>(form->FindComponent("Button1"));
  ASSERT_TRUE(edit && check && list && button);
  if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(Display.Screenshot(), std::string(dir) + "/gallery.png");
  // The first control in tab order has the focus; typing replaces the selected text.
  EXPECT_TRUE(edit->Focused());
  Display.TypeText("ROM");
  Display.Pump();
  EXPECT_EQ(edit->Text(), "ROM");
  ClickOn(check, 5, 8);
  EXPECT_FALSE(check->Checked());
  ClickOn(list, 20, 20);
  EXPECT_EQ(list->ItemIndex(), 1);
  Display.Key(VK_DOWN);
  Display.Pump();
  EXPECT_EQ(list->ItemIndex(), 2);
  ClickOn(button, 10, 10);
  EXPECT_EQ(form->Clicks, 1);
  // Enter in the edit box presses the default button.
  edit->SetFocus();
  Display.Key(VK_RETURN);
  Display.Pump();
  EXPECT_EQ(form->Clicks, 2);
}

}  // namespace
