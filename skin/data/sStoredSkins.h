#pragma once
// The stored form of skins: persistent items that a stored layout carries inside the skin
// manager (sections, masks, patterns and the master bitmap of each skin).
#include <memory>
#include <string>

#include "platform/components/Collection.h"
#include "platform/widgets/Graphic.h"
#include "skin/data/sSkinData.h"

class TsSkinGeneral : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  std::string ClassName() const override { return "TsSkinGeneral"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;

  std::string SectionName;
  std::string ParentClass;
  TColor Color = 0;
  TsControlBevel Bevel = cbNone;
  int ShadowBlur = 0;
  TColor ShadowColor = 0;
  bool ShadowDontUse = false;
  bool ShadowEnabled = false;
  bool ReservedBoolean = false;
  int ShadowOffset = 0;
  int ShadowTransparency = 0;
  std::string FontColor;
  std::string HotFontColor;
  int Transparency = 0;
  int GradientPercent = 0;
  std::string GradientData;
  int ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  int FadingIntervalIn = 0;
  int FadingIntervalOut = 0;
  int FadingIterations = 0;
  TColor HotColor = 0;
  int HotTransparency = 0;
  TsControlBevel HotBevel = cbNone;
  int HotGradientPercent = 0;
  std::string HotGradientData;
  int HotImagePercent = 0;
  TColor BorderColor1 = 0;
  TColor BorderColor2 = 0;
  std::string Name;
};

class TsSkinImage : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  std::string ClassName() const override { return "TsSkinImage"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;

  std::string SectionName;
  TBitmap* Image() { return &FImage; }
  const TBitmap* Image() const { return &FImage; }
  std::string Name;
  std::string PropertyName;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int ImageCount = 0;
  int MaskType = 0;
  int BorderWidth = 0;
  int StretchMode = 0;
  TkvImgType ImgType = itisaBorder;
  int WL = 0, WR = 0, WT = 0, WB = 0;

 private:
  TBitmap FImage;
};

class TsSkinPattern : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  std::string ClassName() const override { return "TsSkinPattern"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;

  std::string SectionName;
  TJPEGImage* Image() { return &FImage; }
  const TJPEGImage* Image() const { return &FImage; }
  std::string Name;
  std::string PropertyName;

 private:
  TJPEGImage FImage;
};

using TsSkinGenerals = TTypedCollection<TsSkinGeneral>;
using TsSkinImages = TTypedCollection<TsSkinImage>;
using TsSkinPatterns = TTypedCollection<TsSkinPattern>;

class TsStoredSkin : public TCollectionItem {
 public:
  explicit TsStoredSkin(TCollection* collection) : TCollectionItem(collection) {}
  std::string ClassName() const override { return "TsStoredSkin"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;

  std::string Name;
  TsSkinGenerals* GeneralData() { return &FGeneralData; }
  const TsSkinGenerals* GeneralData() const { return &FGeneralData; }
  TsSkinImages* Images() { return &FImages; }
  const TsSkinImages* Images() const { return &FImages; }
  TsSkinPatterns* Patterns() { return &FPatterns; }
  const TsSkinPatterns* Patterns() const { return &FPatterns; }
  TBitmap* MasterBitmap() { return &FMasterBitmap; }
  const TBitmap* MasterBitmap() const { return &FMasterBitmap; }
  TColor Shadow1Color = 0;
  int Shadow1Offset = 0;
  int Shadow1Blur = -1;
  int Shadow1Transparency = 0;
  double Version = 0;
  std::string Author;
  std::string Description;

 private:
  TsSkinGenerals FGeneralData;
  TsSkinImages FImages;
  TsSkinPatterns FPatterns;
  TBitmap FMasterBitmap;
};

class TsStoredSkins : public TTypedCollection<TsStoredSkin> {
 public:
  std::string ClassName() const override { return "TsStoredSkins"; }
  // Index of the first skin whose Name equals `name` exactly, -1 if none.
  int FindSkin(const std::string& name) const;
};

// Fills `out` from a stored skin: skin information, the master bitmap, masks, patterns and
// sections, in that order. An item whose numbers cannot be read stops with the fields set so
// far; the next item goes on.
void BuildFromStoredSkin(const TsStoredSkin& skin, TsSkinManager* manager, TsSkinArrays& out, TsSkinData& info);
