#pragma once
// The square in the corner where a form's own vertical and horizontal skinned scroll bars
// meet: a panel painted from the skin's check-box section, with the form's face behind it.
#include "platform/widgets/Controls.h"
#include "skin/render/sCommonData.h"

class TsGrip : public TCustomControl {
 public:
  explicit TsGrip(TComponent* owner);
  std::string ClassName() const override { return "TsGrip"; }
  TsCommonData* SkinData() { return &FSkinData; }
  // The control whose corner the grip fills.
  TWinControl* OwnerControl = nullptr;
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;

 private:
  TsCommonData FSkinData;
};
