#pragma once
// The system menu of a form with a skinned frame (whose own border icons are cleared): the
// window commands, shown and enabled as the frame's buttons are, and a submenu listing the
// available skins that switches the skin when one is chosen.
#include <string>

#include "platform/widgets/Menus.h"

class TsSkinManager;

// What the system menu asks of the frame it belongs to (the frame provider answers).
class TsSystemMenuHost {
 public:
  virtual ~TsSystemMenuHost() = default;
  // Whether the frame shows its close button, and so the menu its window commands.
  virtual bool CloseShown() const = 0;
  virtual bool MinimizeShown() const = 0;
  virtual bool MaximizeShown() const = 0;
  virtual bool CanRestore() const = 0;
  virtual bool CanMinimize() const = 0;
  virtual bool CanMaximize() const = 0;
  // Whether the menu lists the available skins.
  virtual bool ListsSkins() const = 0;
  // The manager whose skins are listed and whose painter draws the menu; nullptr when none.
  virtual TsSkinManager* MenuSkinManager() = 0;
};

class TsSystemMenu : public TPopupMenu {
 public:
  // The menu is owned by `owner` (the frame provider, which is also its host as a rule).
  TsSystemMenu(TComponent* owner, TsSystemMenuHost* host);
  std::string ClassName() const override { return "TsSystemMenu"; }

  TsSystemMenuHost* Host() const { return FHost; }
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
  TsSystemMenuHost* FHost;
  TCustomForm* FForm = nullptr;
};
