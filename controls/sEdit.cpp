#include "controls/sEdit.h"

#include "platform/components/PropertyBuilder.h"
#include "skin/data/sSkinManager.h"

namespace {
constexpr int kControlKind = 8;
}  // namespace

TsEdit::TsEdit(TComponent* owner) : TEdit(owner), FSkinData(this, true), FFace(this, &FSkinData) {
  FSkinData.ControlKind = kControlKind;
  FSkinData.AfterLoad();
}

void TsEdit::Loaded() {
  TEdit::Loaded();
  FSkinData.AfterLoad();
}

void TsEdit::PaintBackground(TCanvas* canvas, const TRect& client) {
  if (!FFace.Skinned()) {
    TEdit::PaintBackground(canvas, client);
    return;
  }
  FFace.PaintClient(canvas->Handle(), client);
}

COLORREF TsEdit::TextColor() const { return FFace.Skinned() ? FFace.TextColour() : TEdit::TextColor(); }

void TsEdit::WndProc(TMessage& m) {
  if (m.Msg == SM_KARVOCMD) {
    FFace.HandleSkinCommand(m);
    return;
  }
  if (FFace.Skinned() && FFace.HandleMessage(m)) return;
  if (!FSkinData.HandleMessage(m)) TEdit::WndProc(m);
  FFace.FollowState();
}

const TPropertyTable& TsEdit::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomEdit::ClassProperties());
    TPropertyBuilder<TsEdit> b(t);
    b.Object("SkinData", [](TsEdit& c) -> TPersistent* { return c.SkinData(); });
    return t;
  }();
  return table;
}

void RegisterTsEditClass() { RegisterComponentClass<TsEdit>("TsEdit"); }
