#include "controls/sUpDown.h"

#include "platform/components/PropertyBuilder.h"

TsUpDown::TsUpDown(TComponent* owner) : TCustomUpDown(owner) { SetTabStop(false); }

const TPropertyTable& TsUpDown::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomUpDown::ClassProperties());
    TPropertyBuilder<TsUpDown> b(t);
    b.String("ButtonSkin", [](TsUpDown& u, const std::string& v) { u.ButtonSkin = v; });
    b.Boolean("ShowInaccessibility", [](TsUpDown& u, bool v) { u.ShowInaccessibility = v; });
    return t;
  }();
  return table;
}

void RegisterTsUpDownClass() { RegisterComponentClass<TsUpDown>("TsUpDown"); }
