#pragma once
// The skin link of a control: which skin section it is painted from. This stage keeps the
// stored settings only; painting from the skin builds on them.
#include <string>

#include "platform/components/Component.h"

class TsSkinManager;

class TsCommonData : public TPersistent {
 public:
  explicit TsCommonData(TComponent* owner) : FOwner(owner) {}
  std::string ClassName() const override { return "TsCommonData"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool value) { FCustomColor = value; }
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool value) { FCustomFont = value; }
  TsSkinManager* SkinManager() const { return FSkinManager; }
  void SetSkinManager(TsSkinManager* manager) { FSkinManager = manager; }
  // Always kept in upper case; an empty name is stored as "UNKNOWN".
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& name);
  TComponent* Owner() const { return FOwner; }

 private:
  TComponent* FOwner;
  bool FCustomColor = false;
  bool FCustomFont = false;
  TsSkinManager* FSkinManager = nullptr;
  std::string FSkinSection;
};
