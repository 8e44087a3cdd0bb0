#pragma once
// The provider of a form's skinned frame. This stage keeps its stored settings; taking over
// the frame builds on them.
#include <string>

#include "platform/components/Collection.h"
#include "platform/components/Component.h"
#include "skin/render/sCommonData.h"

class TsTitleButton : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  std::string ClassName() const override { return "TsTitleButton"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  std::string Name;
  bool Enabled = true;
  bool UseSkinData = true;
};

class TsSkinProvider : public TComponent, public TsLinkHost {
 public:
  explicit TsSkinProvider(TComponent* owner);
  std::string ClassName() const override { return "TsSkinProvider"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  TsCommonData* SkinData() { return &FSkinData; }
  TTypedCollection<TsTitleButton>* TitleButtons() { return &FTitleButtons; }

  // ---- TsLinkHost ----
  void HandleLinkCommand(TMessage& message) override { FSkinData.HandleSkinCommand(message); }
  TControl* HostControl() const override { return dynamic_cast<TControl*>(Owner()); }

 private:
  TsCommonData FSkinData;
  TTypedCollection<TsTitleButton> FTitleButtons;
};

void RegisterSkinProviderClasses();
