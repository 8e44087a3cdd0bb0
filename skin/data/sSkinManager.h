#pragma once
// The skin manager: holds the program's skins and makes one of them active. This stage keeps
// its stored settings (skin folder, skin name, menu support); loading skins builds on them.
#include <string>

#include "platform/components/Component.h"
#include "platform/widgets/GraphicsObjects.h"

// Settings for skinned menus.
class TkvMenuSupport : public TPersistent {
 public:
  std::string ClassName() const override { return "TkvMenuSupport"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  std::string IcoLineSkin;
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
  TFont* ExtraLineFont() { return &FExtraLineFont; }

 private:
  TFont FExtraLineFont;
};

class TsSkinManager : public TComponent {
 public:
  explicit TsSkinManager(TComponent* owner);
  std::string ClassName() const override { return "TsSkinManager"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  const std::string& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const std::string& value) { FSkinDirectory = value; }
  const std::string& SkinName() const { return FSkinName; }
  void SetSkinName(const std::string& value) { FSkinName = value; }
  const std::string& SkinInfo() const { return FSkinInfo; }
  TkvMenuSupport* MenuSupport() { return &FMenuSupport; }

 private:
  std::string FSkinDirectory = "DefaultSkins";
  std::string FSkinName;
  std::string FSkinInfo;
  TkvMenuSupport FMenuSupport;
};

void RegisterSkinManagerClasses();
