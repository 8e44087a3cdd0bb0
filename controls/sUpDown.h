#pragma once
// The arrow buttons that move the viewer's view. At this stage they are the toolkit's
// up-down control with the skinned up-down's stored settings and defaults.
#include "platform/widgets/UpDown.h"

class TsUpDown : public TCustomUpDown {
 public:
  explicit TsUpDown(TComponent* owner);
  std::string ClassName() const override { return "TsUpDown"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  std::string ButtonSkin;
  bool ShowInaccessibility = true;
};

void RegisterTsUpDownClass();
