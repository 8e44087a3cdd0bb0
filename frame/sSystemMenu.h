#pragma once
// The system menu of a form with a skinned frame (whose own border icons are cleared): the
// window commands, shown and enabled as the frame's buttons are, and a submenu listing the
// available skins that switches the skin when one is chosen.
#include <string>

#include "platform/widgets/Menus.h"

class TsSkinProvider;

class TsSystemMenu : public TPopupMenu {
 public:
  explicit TsSystemMenu(TsSkinProvider* provider);
  std::string ClassName() const override { return "TsSystemMenu"; }

  TsSkinProvider* Provider() const { return FProvider; }
  TCustomForm* Form() const { return FForm; }
  void SetForm(TCustomForm* form) { FForm = form; }

  TMenuItem* ItemRestore = nullptr;
  TMenuItem* ItemMove = nullptr;
  TMenuItem* ItemSize = nullptr;
  TMenuItem* ItemMinimize = nullptr;
  TMenuItem* ItemMaximize = nullptr;
  TMenuItem* ItemClose = nullptr;

  // Shows and enables the commands for the form's border style, border icons and state.
  void UpdateItems();
  // Rebuilds the skin submenu and pops the menu up at a screen point.
  void ShowAt(int x, int y);
  // The item that lists the skins, or nullptr when there is none.
  TMenuItem* SkinSelectItem() const;
  // Lists the available skins anew in the skin submenu (done at each showing).
  void RebuildSkinItems();

 private:
  void Command(WPARAM command);
  TsSkinProvider* FProvider;
  TCustomForm* FForm = nullptr;
};
