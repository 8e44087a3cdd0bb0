#include "skin/data/sSkinManager.h"

#include "platform/components/PropertyBuilder.h"

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner) {}

const TPropertyTable& TkvMenuSupport::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TkvMenuSupport> b(t);
    b.String("IcoLineSkin", [](TkvMenuSupport& m, const std::string& v) { m.IcoLineSkin = v; });
    b.Boolean("UseExtraLine", [](TkvMenuSupport& m, bool v) { m.UseExtraLine = v; });
    b.Integer("ExtraLineWidth", [](TkvMenuSupport& m, int64_t v) { m.ExtraLineWidth = int(v); });
    b.Object("ExtraLineFont", [](TkvMenuSupport& m) -> TPersistent* { return m.ExtraLineFont(); });
    return t;
  }();
  return table;
}

const TPropertyTable& TsSkinManager::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TsSkinManager> b(t);
    b.Object("MenuSupport", [](TsSkinManager& m) -> TPersistent* { return m.MenuSupport(); });
    b.String("SkinDirectory", [](TsSkinManager& m, const std::string& v) { m.SetSkinDirectory(v); });
    b.String("SkinName", [](TsSkinManager& m, const std::string& v) { m.SetSkinName(v); });
    return t;
  }();
  return table;
}

void RegisterSkinManagerClasses() { RegisterComponentClass<TsSkinManager>("TsSkinManager"); }
