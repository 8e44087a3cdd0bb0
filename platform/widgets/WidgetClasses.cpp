#include "platform/widgets/WidgetClasses.h"

#include "platform/components/Component.h"
#include "platform/widgets/BitBtn.h"
#include "platform/widgets/Button.h"
#include "platform/widgets/CheckBox.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/GroupBox.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/ListBox.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/OpenDialog.h"
#include "platform/widgets/Timer.h"
#include "platform/widgets/UpDown.h"

void RegisterWidgetClasses() {
  static const bool done = [] {
    RegisterComponentClass<TButton>("TButton");
    RegisterComponentClass<TBitBtn>("TBitBtn");
    RegisterComponentClass<TCheckBox>("TCheckBox");
    RegisterComponentClass<TGroupBox>("TGroupBox");
    RegisterComponentClass<TLabel>("TLabel");
    RegisterComponentClass<TEdit>("TEdit");
    RegisterComponentClass<TListBox>("TListBox");
    RegisterComponentClass<TUpDown>("TUpDown");
    RegisterComponentClass<TImage>("TImage");
    RegisterComponentClass<TImageList>("TImageList");
    RegisterComponentClass<TTimer>("TTimer");
    RegisterComponentClass<TMenuItem>("TMenuItem");
    RegisterComponentClass<TMainMenu>("TMainMenu");
    RegisterComponentClass<TPopupMenu>("TPopupMenu");
    RegisterComponentClass<TOpenDialog>("TOpenDialog");
    return true;
  }();
  (void)done;
}
