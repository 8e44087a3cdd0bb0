#include "controls/sEdit.h"
#include "dialogs/sDialogs.h"
#include "dialogs/sListBox.h"
#include "platform/widgets/WidgetClasses.h"
#include "viewer/Maruk_rom.h"

void RegisterViewerClasses() {
  static const bool done = [] {
    RegisterWidgetClasses();
    RegisterTsBitBtnClass();
    RegisterTsCheckBoxClass();
    RegisterTsGroupBoxClass();
    RegisterTsLabelClass();
    RegisterTsUpDownClass();
    RegisterTsEditClass();
    RegisterTsListBoxClass();
    RegisterSkinManagerClasses();
    RegisterSkinProviderClasses();
    RegisterSkinDialogs();
    return true;
  }();
  (void)done;
}
