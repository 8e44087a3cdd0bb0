#include "platform/widgets/DialogLook.h"

#include <map>

namespace {
std::map<std::string, TDialogControlMaker>& Makers() {
  static std::map<std::string, TDialogControlMaker> makers;
  return makers;
}
}  // namespace

void RegisterDialogControl(const std::string& className, TDialogControlMaker maker) {
  if (maker) Makers()[className] = std::move(maker);
  else Makers().erase(className);
}

TControl* MakeRegisteredDialogControl(const std::string& className, TComponent* owner) {
  const auto it = Makers().find(className);
  if (it == Makers().end()) return nullptr;
  // A copy: the maker may register others while it runs.
  const TDialogControlMaker maker = it->second;
  return maker(owner);
}

TDialogFormHook& DialogFormHook() {
  static TDialogFormHook hook;
  return hook;
}

void PrepareDialogForm(TCustomForm* form) {
  if (form && DialogFormHook()) {
    const TDialogFormHook hook = DialogFormHook();
    hook(form);
  }
}
