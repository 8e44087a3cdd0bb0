#include "frame/sSkinProvider.h"

#include "platform/components/PropertyBuilder.h"

TsSkinProvider::TsSkinProvider(TComponent* owner) : TComponent(owner), FSkinData(this) { FSkinData.SetSkinSection("FORM"); }

const TPropertyTable& TsTitleButton::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsTitleButton> b(t);
    b.String("Name", [](TsTitleButton& t, const std::string& v) { t.Name = v; });
    b.Boolean("Enabled", [](TsTitleButton& t, bool v) { t.Enabled = v; });
    b.Boolean("UseSkinData", [](TsTitleButton& t, bool v) { t.UseSkinData = v; });
    return t;
  }();
  return table;
}

const TPropertyTable& TsSkinProvider::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TsSkinProvider> b(t);
    b.Object("SkinData", [](TsSkinProvider& p) -> TPersistent* { return p.SkinData(); });
    b.Collection("TitleButtons", [](TsSkinProvider& p) -> TCollection* { return p.TitleButtons(); });
    return t;
  }();
  return table;
}

void RegisterSkinProviderClasses() { RegisterComponentClass<TsSkinProvider>("TsSkinProvider"); }
