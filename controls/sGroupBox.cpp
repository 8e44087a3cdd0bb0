#include "controls/sGroupBox.h"

#include "platform/components/PropertyBuilder.h"

TsGroupBox::TsGroupBox(TComponent* owner) : TCustomGroupBox(owner), FSkinData(this) {}

const TPropertyTable& TsGroupBox::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomGroupBox::ClassProperties());
    TPropertyBuilder<TsGroupBox> b(t);
    b.Enum<TsCaptionLayout>("CaptionLayout", {{"clTopLeft", clTopLeft}, {"clTopCenter", clTopCenter}, {"clTopRight", clTopRight}},
                            [](TsGroupBox& g, TsCaptionLayout v) { g.CaptionLayout = v; });
    b.Integer("CaptionYOffset", [](TsGroupBox& g, int64_t v) { g.CaptionYOffset = int(v); });
    b.Object("SkinData", [](TsGroupBox& g) -> TPersistent* { return g.SkinData(); });
    b.String("CaptionSkin", [](TsGroupBox& g, const std::string& v) { g.CaptionSkin = v; });
    return t;
  }();
  return table;
}

void RegisterTsGroupBoxClass() { RegisterComponentClass<TsGroupBox>("TsGroupBox"); }
