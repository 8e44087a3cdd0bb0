#include "controls/sBitBtn.h"

#include "platform/components/PropertyBuilder.h"

TsBitBtn::TsBitBtn(TComponent* owner) : TBitBtn(owner), FSkinData(this) {}

const TPropertyTable& TsBitBtn::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TBitBtn::ClassProperties());
    TPropertyBuilder<TsBitBtn> b(t);
    b.Object("SkinData", [](TsBitBtn& c) -> TPersistent* { return c.SkinData(); });
    return t;
  }();
  return table;
}

void RegisterTsBitBtnClass() { RegisterComponentClass<TsBitBtn>("TsBitBtn"); }
