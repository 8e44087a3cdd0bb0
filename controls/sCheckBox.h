#pragma once
// The check box of the viewer window. At this stage it is the toolkit's check box with the
// skinned check box's stored settings.
#include "platform/widgets/CheckBox.h"
#include "skin/render/sCommonData.h"

class TsCheckBox : public TCustomCheckBox {
 public:
  explicit TsCheckBox(TComponent* owner);
  std::string ClassName() const override { return "TsCheckBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  TsCommonData* SkinData() { return &FSkinData; }

  int Margin = 2;
  int ImgChecked = 0;
  int ImgUnchecked = 0;
  bool MultiLine = false;
  bool ReadOnly = false;
  bool ShowFocus = true;
  int TextIndent = 0;

 private:
  TsCommonData FSkinData;
};

void RegisterTsCheckBoxClass();
