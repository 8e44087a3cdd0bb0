#pragma once
// The skinned one-line edit: the toolkit's edit whose sunken edge and background come from
// the skin's "EDIT" section (its border mask, its colour, its font colour for the text, the
// hot look while it has the focus or the pointer). Selection and caret are the toolkit's.
// Without an active skin it is the plain edit.
#include "controls/sEditFace.h"
#include "platform/widgets/Edit.h"
#include "skin/render/sCommonData.h"

class TsEdit : public TEdit {
 public:
  explicit TsEdit(TComponent* owner);
  std::string ClassName() const override { return "TsEdit"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TsCommonData* SkinData() { return &FSkinData; }
  // The face as last composed: the whole window, edge included.
  const TDib* Face() const { return FSkinData.Cache(); }

  void WndProc(TMessage& message) override;
  void Loaded() override;

 protected:
  void PaintBackground(TCanvas* canvas, const TRect& client) override;
  COLORREF TextColor() const override;

 private:
  TsCommonData FSkinData;
  TsEditFace FFace;
};

void RegisterTsEditClass();
