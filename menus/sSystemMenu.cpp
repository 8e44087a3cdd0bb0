#include "menus/sSystemMenu.h"

#include "menus/sSkinMenus.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"

namespace {

TMenuItem* NewItem(TComponent* owner, const std::string& name, const std::string& caption, TNotifyEvent onClick) {
  auto* item = new TMenuItem(owner);
  item->SetName(name);
  item->SetCaption(caption);
  item->OnClick = std::move(onClick);
  return item;
}

}  // namespace

TsSystemMenu::TsSystemMenu(TComponent* owner, TsSystemMenuHost* host) : TPopupMenu(owner), FHost(host) {
  ItemRestore = NewItem(this, "ItemRestore", "Restore", [this](TObject*) {
    Command(SC_RESTORE);
    UpdateItems();
  });
  ItemMove = NewItem(this, "ItemMove", "Move", [this](TObject*) { Command(SC_MOVE); });
  ItemSize = NewItem(this, "ItemSize", "Size", [this](TObject*) { Command(SC_SIZE); });
  ItemMinimize = NewItem(this, "ItemMinimize", "Minimize", [this](TObject*) {
    if (Application && Application->MainForm() == FForm) Application->Minimize();
    else Command(SC_MINIMIZE);
    UpdateItems();
  });
  ItemMaximize = NewItem(this, "ItemMaximize", "Maximize", [this](TObject*) {
    if (FForm) FForm->SetWindowState(wsMaximized);
    Command(SC_MAXIMIZE);
    UpdateItems();
  });
  ItemClose = NewItem(this, "ItemClose", "Close", [this](TObject*) { Command(SC_CLOSE); });
  ItemClose->SetShortCut(TShortCut(scAlt | VK_F4));
  for (TMenuItem* item : {ItemRestore, ItemMove, ItemSize, ItemMinimize, ItemMaximize}) Items()->Add(item);
  Items()->Add(NewItem(this, "", "-", nullptr));
  Items()->Add(ItemClose);
}

void TsSystemMenu::Command(WPARAM command) {
  if (FForm && FForm->HandleAllocated()) SendMessage(FForm->Handle(), WM_SYSCOMMAND, command, 0);
}

void TsSystemMenu::UpdateItems() {
  if (!FForm || !FHost) return;
  try {
    const TFormBorderStyle s = FForm->BorderStyle();
    const TWindowState ws = FForm->WindowState();
    const bool singleOrSizeable = s == bsSingle || s == bsSizeable;
    ItemRestore->SetVisible(singleOrSizeable && FHost->CloseShown());
    ItemRestore->SetEnabled(FHost->CanRestore());
    ItemMove->SetVisible(true);
    ItemMove->SetEnabled(ws != wsMaximized);
    ItemSize->SetVisible(singleOrSizeable || s == bsSizeToolWin);
    ItemSize->SetEnabled(s != bsSingle && ws != wsMinimized);
    ItemMinimize->SetVisible(FHost->MinimizeShown());
    ItemMinimize->SetEnabled(FHost->CanMinimize());
    ItemMaximize->SetVisible(FHost->MaximizeShown());
    ItemMaximize->SetEnabled(FHost->CanMaximize());
    ItemClose->SetVisible(FHost->CloseShown());
    ItemClose->SetEnabled(true);
  } catch (...) {
  }
}

TMenuItem* TsSystemMenu::SkinSelectItem() const {
  TMenuItem* root = const_cast<TsSystemMenu*>(this)->Items();
  return root->Count() > 0 && root->Items(0)->Name() == "SkinSelectItem" ? root->Items(0) : nullptr;
}

void TsSystemMenu::RebuildSkinItems() {
  TMenuItem* root = Items();
  if (TMenuItem* old = SkinSelectItem()) {
    // The item with its children, and the separator after it.
    TMenuItem* separator = root->Count() > 1 ? root->Items(1) : nullptr;
    root->Remove(old);
    TComponent::Free(old);
    if (separator && separator->IsLine()) {
      root->Remove(separator);
      TComponent::Free(separator);
    }
  }
  TsSkinManager* manager = FHost ? FHost->MenuSkinManager() : nullptr;
  if (!manager) return;
  std::vector<std::string> names;
  std::string first;
  manager->GetSkinNames(names, first);
  if (names.empty()) return;
  auto* list = NewItem(this, "SkinSelectItem", "Available skins", nullptr);
  root->Insert(0, list);
  root->Insert(1, NewItem(this, "", "-", nullptr));
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string name = names[i];
    // An '&' in a skin's name is shown as itself, not as a mnemonic, and the skin is chosen by
    // its whole name.
    std::string caption;
    for (char c : name) caption += c == '&' ? std::string("&&") : std::string(1, c);
    auto* item = NewItem(this, "SkinSelectItem" + std::to_string(i), caption, nullptr);
    item->SetRadioItem(true);
    item->SetChecked(name == manager->SkinName());
    if (i > 0 && i % 20 == 0) item->SetBreak(TMenuItem::mbBreak);
    item->OnClick = [manager, name](TObject*) { manager->SetSkinName(name); };
    list->Add(item);
  }
}

void TsSystemMenu::ShowAt(int x, int y) {
  if (FHost && FHost->ListsSkins()) RebuildSkinItems();
  UpdateItems();
  // The menu is drawn from the skin like every popup while one is active.
  TsSkinManager* manager = FHost ? FHost->MenuSkinManager() : nullptr;
  if (auto* painter = manager ? dynamic_cast<TsSkinableMenus*>(manager->MenuPainter()) : nullptr;
      painter && manager->SkinnedPopups())
    painter->SwitchPopup(this, painter->Active());
  PopupComponent = FForm;
  Popup(x, y);
}
