#include "skin/render/sCommonData.h"

#include "platform/components/PropertyBuilder.h"

void TsCommonData::SetSkinSection(const std::string& name) {
  if (name == FSkinSection) return;
  FSkinSection = name.empty() ? "UNKNOWN" : UpperCase(name);
}

const TPropertyTable& TsCommonData::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsCommonData> b(t);
    b.Boolean("CustomColor", [](TsCommonData& d, bool v) { d.SetCustomColor(v); });
    b.Boolean("CustomFont", [](TsCommonData& d, bool v) { d.SetCustomFont(v); });
    b.String("SkinSection", [](TsCommonData& d, const std::string& v) { d.SetSkinSection(v); });
    return t;
  }();
  return table;
}
