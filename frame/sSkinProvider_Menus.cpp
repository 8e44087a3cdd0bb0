// The provider's part in skinning the form's menus: switching them to the skin's menu painter
// and back with the skin, and keeping the main menu owner-drawn while the skin is active.
#include "frame/sSkinProvider.h"
#include "menus/sSkinMenus.h"
#include "skin/data/sSkinManager.h"

TsSkinableMenus* TsSkinProvider::MenuPainter() const {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  return manager ? dynamic_cast<TsSkinableMenus*>(manager->MenuPainter()) : nullptr;
}

// Every menu the form owns, also forms that are no part of the application's own components:
// main menus always, popup menus and loose items when the manager skins popups.
void TsSkinProvider::SwitchMenus(bool on) {
  TsSkinableMenus* painter = MenuPainter();
  if (painter && FForm && !InState(csDesigning)) painter->SwitchOwnedBy(FForm, on);
}

// The main menu is drawn by the painter again, its items as they are now.
void TsSkinProvider::ApplyMenuOwnerDraw() {
  TMainMenu* menu = FForm ? FForm->Menu() : nullptr;
  TsSkinableMenus* painter = MenuPainter();
  if (!menu || !painter || !Skinned()) return;
  FSkinData.BeginDefer();
  painter->SwitchMainMenu(menu, true);
  FSkinData.EndDefer();
}

// An item of the main menu about to be measured gets the painter's handlers: one added since
// the menu was switched is drawn from the skin like the others.
void TsSkinProvider::PrepareMeasuredItem(TMessage& m) {
  const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.LParam);
  TMainMenu* menu = FForm ? FForm->Menu() : nullptr;
  TsSkinableMenus* painter = MenuPainter();
  if (!mis || mis->CtlType != ODT_MENU || !menu || !painter) return;
  if (TMenuItem* item = menu->FindItem(mis->itemID)) painter->PrepareItem(item, true);
}
