#pragma once
// The look of the dialogs the toolkit builds itself (the file-open dialog). A program that
// draws its windows its own way registers stand-ins for the toolkit's controls by class name
// and a hook that sees every such dialog form before it is shown; with nothing registered the
// dialogs use the toolkit's own controls.
#include <functional>
#include <string>

#include "platform/widgets/Forms.h"

// Makes a control owned by `owner` that stands in for a toolkit class, or nullptr to let the
// toolkit's class be used (for instance while the program's own look is off).
using TDialogControlMaker = std::function<TControl*(TComponent* owner)>;

// Registers (or, with an empty maker, removes) the stand-in maker for a toolkit class name.
void RegisterDialogControl(const std::string& className, TDialogControlMaker maker);
// What the maker registered for `className` made, or nullptr when there is none or it made
// nothing.
TControl* MakeRegisteredDialogControl(const std::string& className, TComponent* owner);

// A control for a dialog: the registered stand-in when there is one and it is a `T`, else a
// new `TDefault`. A stand-in of another class is freed and not used.
template <class T, class TDefault = T>
T* MakeDialogControl(const std::string& className, TComponent* owner) {
  if (TControl* made = MakeRegisteredDialogControl(className, owner)) {
    if (auto* standIn = dynamic_cast<T*>(made)) return standIn;
    TComponent::Free(made);
  }
  return new TDefault(owner);
}

// Called with every dialog form the toolkit builds, once its controls exist and before it is
// shown.
using TDialogFormHook = std::function<void(TCustomForm* form)>;
TDialogFormHook& DialogFormHook();
// Runs the hook on `form`, when one is set.
void PrepareDialogForm(TCustomForm* form);
