#include "controls/sEdit.h"
#include "frame/sListBox.h"
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
    return true;
  }();
  (void)done;
}
