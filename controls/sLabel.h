#pragma once
// The text labels of the viewer window. At this stage they are the toolkit's labels, created
// transparent, with the skinned label's stored settings.
#include "platform/widgets/Label.h"

class TsCustomLabel : public TCustomLabel {
 public:
  explicit TsCustomLabel(TComponent* owner);
  std::string ClassName() const override { return "TsCustomLabel"; }
};

class TsLabel : public TsCustomLabel {
 public:
  explicit TsLabel(TComponent* owner) : TsCustomLabel(owner) {}
  std::string ClassName() const override { return "TsLabel"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  bool UseSkinColor = true;
};

void RegisterTsLabelClass();
