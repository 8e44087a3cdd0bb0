#include "controls/sCheckBox.h"

#include "platform/components/PropertyBuilder.h"

TsCheckBox::TsCheckBox(TComponent* owner) : TCustomCheckBox(owner), FSkinData(this) {}

const TPropertyTable& TsCheckBox::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomCheckBox::ClassProperties());
    TPropertyBuilder<TsCheckBox> b(t);
    b.Integer("Margin", [](TsCheckBox& c, int64_t v) { c.Margin = int(v); });
    b.Object("SkinData", [](TsCheckBox& c) -> TPersistent* { return c.SkinData(); });
    b.Integer("ImgChecked", [](TsCheckBox& c, int64_t v) { c.ImgChecked = int(v); });
    b.Integer("ImgUnchecked", [](TsCheckBox& c, int64_t v) { c.ImgUnchecked = int(v); });
    b.Boolean("MultiLine", [](TsCheckBox& c, bool v) { c.MultiLine = v; });
    b.Boolean("ReadOnly", [](TsCheckBox& c, bool v) { c.ReadOnly = v; });
    b.Boolean("ShowFocus", [](TsCheckBox& c, bool v) { c.ShowFocus = v; });
    b.Integer("TextIndent", [](TsCheckBox& c, int64_t v) { c.TextIndent = int(v); });
    return t;
  }();
  return table;
}

void RegisterTsCheckBoxClass() { RegisterComponentClass<TsCheckBox>("TsCheckBox"); }
