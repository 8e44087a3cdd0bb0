// The form's own skinned scroll bars: shown while a skin is active and the content reaches
// past the client area, they move the form's children.
#include <algorithm>

#include "frame/sGrip.h"
#include "frame/sScrollBar.h"
#include "frame/sSkinProvider.h"

namespace {
constexpr int kPageStep = 80;
}

bool TsSkinProvider::IsOwnScrollPart(TControl* control) const {
  if (control == FVertBar || control == FHorzBar || control == FGrip) return true;
  // Bars and grips of other controls stay where their controls put them.
  if (auto* bar = dynamic_cast<TsScrollBar*>(control)) return bar->OwnerControl() != nullptr;
  return dynamic_cast<TsGrip*>(control) != nullptr;
}

void TsSkinProvider::RecordContentExtents() {
  if (!FForm) return;
  int right = 0, bottom = 0;
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (!c->Visible() || IsOwnScrollPart(c)) continue;
    if (c->Align() == alNone || c->Align() == alTop) bottom = std::max(bottom, c->Top() + c->Height() + FScrollY);
    if (c->Align() == alNone || c->Align() == alLeft) right = std::max(right, c->Left() + c->Width() + FScrollX);
  }
  FContentRight = right;
  FContentBottom = bottom;
}

void TsSkinProvider::ScrollContent(int dx, int dy) {
  if ((dx == 0 && dy == 0) || !FForm) return;
  FScrollX += dx;
  FScrollY += dy;
  FForm->DisableAlign();
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (IsOwnScrollPart(c)) continue;
    c->SetBounds(c->Left() - dx, c->Top() - dy, c->Width(), c->Height());
  }
  FForm->EnableAlign();
  if (FForm->HandleAllocated()) FForm->Invalidate();
}

void TsSkinProvider::UpdateOwnScrollBars() {
  if (!FSavedAutoScroll || !FForm || FUpdatingBars || InState(csDestroying) || FForm->InState(csDestroying | csLoading))
    return;
  FUpdatingBars = true;
  RecordContentExtents();
  const bool canShow = Skinned() && FForm->Visible() && FForm->HandleAllocated();
  TControlScrollBar* horzSettings = FForm->HorzScrollBar();
  TControlScrollBar* vertSettings = FForm->VertScrollBar();
  const TRect client = FForm->ClientRect();
  const int cw = client.Width(), ch = client.Height();
  const int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
  // Each bar's extent counts the other bar's thickness, so decide twice.
  bool showVert = false, showHorz = false;
  int extentX = 0, extentY = 0;
  for (int pass = 0; pass < 2; ++pass) {
    extentY = std::max(FContentBottom + (showHorz ? barHeight : 0) + 2, vertSettings->Range);
    extentX = std::max(FContentRight + (showVert ? barWidth : 0) + 2, horzSettings->Range);
    const bool vert = canShow && vertSettings->Visible && extentY > ch;
    const bool horz = canShow && horzSettings->Visible && extentX > cw;
    showVert = vert;
    showHorz = horz;
  }

  auto place = [&](TsScrollBar*& bar, bool vertical, bool show, int extent, int clientSize,
                   const TControlScrollBar& settings) {
    if (!show) {
      if (!bar) return;
      // Gone: the content goes back to where it started first.
      if (bar->Position() != 0) bar->SetPosition(0);
      if (vertical && FScrollY != 0) ScrollContent(0, -FScrollY);
      if (!vertical && FScrollX != 0) ScrollContent(-FScrollX, 0);
      bar->SetVisible(false);
      return;
    }
    if (!bar) {
      bar = new TsScrollBar(this);
      bar->SetTabStop(false);
      bar->SetVisible(false);
      if (vertical) bar->SetKind(sbVertical);
      bar->SetParent(FForm);
      TsScrollBar* self = bar;
      bar->SetOwnerControl(FForm, [this, self, vertical](int old) {
        const int delta = self->Position() - old;
        ScrollContent(vertical ? 0 : delta, vertical ? delta : 0);
      });
    }
    const bool rtl = FForm->UseRightToLeftAlignment();
    if (vertical)
      bar->SetBounds(rtl ? 1 : cw - barWidth, 0, barWidth, ch - (showHorz ? barHeight : 0));
    else
      bar->SetBounds(0, ch - barHeight, cw - (showVert ? barWidth : 0), barHeight);
    bar->SmallChange = settings.Increment;
    bar->LargeChange = kPageStep;
    bar->Smooth = settings.Smooth;
    bar->SetPageSize(clientSize - 4);
    bar->SetParams(bar->Position(), 0, extent - clientSize + 4);
    bar->SetVisible(true);
    bar->BringToFront();
  };
  place(FVertBar, true, showVert, extentY, ch, *vertSettings);
  place(FHorzBar, false, showHorz, extentX, cw, *horzSettings);

  if (showVert && showHorz) {
    if (!FGrip) {
      FGrip = new TsGrip(this);
      FGrip->OwnerControl = FForm;
      FGrip->SkinData()->SetSkinManager(FSkinData.GetSkinManager());
      FGrip->SetParent(FForm);
    }
    FGrip->SetBounds(FForm->UseRightToLeftAlignment() ? 1 : cw - barWidth, ch - barHeight, barWidth, barHeight);
    FGrip->SetVisible(true);
    FGrip->BringToFront();
  } else if (FGrip) {
    FGrip->SetVisible(false);
  }
  FUpdatingBars = false;
}
