#include "platform/widgets/Button.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/OpenDialog.h"
#include "platform/widgets/UpDown.h"
#include "viewer/Maruk_rom.h"

void RegisterViewerClasses() {
  static const bool done = [] {
    RegisterStandardControls();
    RegisterMiscControls();
    RegisterDialogClasses();
    RegisterMenuClasses();
    RegisterTsBitBtnClass();
    RegisterTsCheckBoxClass();
    RegisterTsGroupBoxClass();
    RegisterTsLabelClass();
    RegisterTsUpDownClass();
    RegisterSkinManagerClasses();
    RegisterSkinProviderClasses();
    return true;
  }();
  (void)done;
}
