// (in progress)
#include "platform/widgets/Menus.h"
// Temporary until the menus land.
TMenu::TMenu(TComponent* owner) : TComponent(owner) {}
TMenu::~TMenu() = default;
HMENU TMenu::Handle() { return nullptr; }
TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}
TMenuItem::~TMenuItem() = default;
void TMenuItem::SetParentComponent(TComponent*) {}
void TMenuItem::Click() {}
const TPropertyTable& TMenuItem::ClassProperties() { return TComponent::ClassProperties(); }
