#pragma once
// The frame of the viewer window's data view. At this stage it is the toolkit's group box
// with the skinned group box's stored settings.
#include "platform/widgets/GroupBox.h"
#include "skin/render/sCommonData.h"

enum TsCaptionLayout { clTopLeft, clTopCenter, clTopRight };

class TsGroupBox : public TCustomGroupBox {
 public:
  explicit TsGroupBox(TComponent* owner);
  std::string ClassName() const override { return "TsGroupBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  TsCommonData* SkinData() { return &FSkinData; }

  TsCaptionLayout CaptionLayout = clTopLeft;
  int CaptionYOffset = 0;
  std::string CaptionSkin;

 private:
  TsCommonData FSkinData;
};

void RegisterTsGroupBoxClass();
