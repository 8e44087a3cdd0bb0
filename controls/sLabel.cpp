#include "controls/sLabel.h"

#include "platform/components/PropertyBuilder.h"

TsCustomLabel::TsCustomLabel(TComponent* owner) : TCustomLabel(owner) { SetTransparent(true); }

const TPropertyTable& TsLabel::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomLabel::ClassProperties());
    TPropertyBuilder<TsLabel> b(t);
    b.Boolean("UseSkinColor", [](TsLabel& l, bool v) { l.UseSkinColor = v; });
    return t;
  }();
  return table;
}

void RegisterTsLabelClass() { RegisterComponentClass<TsLabel>("TsLabel"); }
