#pragma once
// The push button of the viewer window. At this stage it is the toolkit's bitmap button
// with its skin link's stored settings.
#include "platform/widgets/BitBtn.h"
#include "skin/render/sCommonData.h"

class TsBitBtn : public TBitBtn {
 public:
  explicit TsBitBtn(TComponent* owner);
  std::string ClassName() const override { return "TsBitBtn"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  TsCommonData* SkinData() { return &FSkinData; }

 private:
  TsCommonData FSkinData;
};

void RegisterTsBitBtnClass();
