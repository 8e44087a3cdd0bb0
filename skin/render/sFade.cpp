#include "skin/render/sFade.h"

#include <algorithm>

#include "platform/graphics/DC.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessage.h"
#include "skin/render/sPixelTools.h"

namespace {

const TsGeneralData* SectionOf(const TsCommonData* link) {
  TsSkinManager* manager = link ? link->GetSkinManager() : nullptr;
  if (!manager || !manager->IsValidSectionIndex(link->SectionIndex)) return nullptr;
  return &manager->Sections()[size_t(link->SectionIndex)];
}

bool IsLive(const TControl* control) { return control && !control->InState(csDestroying); }

// A context on the control's own window; a windowless control draws on its parent's window.
HDC ControlDC(TControl* control, HWND& window) {
  window = nullptr;
  if (control->IsWindowed()) {
    auto* windowed = static_cast<TWinControl*>(control);
    if (windowed->HandleAllocated()) window = windowed->Handle();
    return window ? GetDC(window) : nullptr;
  }
  if (!control->Parent() || !control->Parent()->HandleAllocated()) return nullptr;
  window = control->Parent()->Handle();
  HDC dc = GetDC(window);
  if (dc) SetViewportOrgEx(dc, control->Left(), control->Top(), nullptr);
  return dc;
}

}  // namespace

bool EventAnimates(TkvAnimatEvent event, TkvAnimatEvents events) {
  const TkvAnimatEvents bit = 1u << event;
  if (events & bit) return true;
  return (events & (1u << aeGlobalDef)) != 0 && (kDefaultAnimatEvents & bit) != 0;
}

// ---- TsFadeTimer ------------------------------------------------------------------------------

TsFadeTimer::TsFadeTimer(TComponent* owner) : TTimer(owner), FromImage(std::make_unique<TDib>()) {
  SetEnabled(false);
  // The framework's timer runs only while a handler is set; the work is done in Timer().
  SetOnTimer([](TObject*) {});
}

TsFadeTimer::~TsFadeTimer() = default;

void TsFadeTimer::SetDirection(uint8_t direction) {
  FadeDirection = direction;
  if (StepIndex < 0) StepIndex = 1;
  SetEnabled(direction != 0);
}

void TsFadeTimer::PrepareFade(TsCommonData* link) {
  OwnerLink = link;
  FromImage = link && link->Cache() ? std::make_unique<TDib>(*link->Cache()) : std::make_unique<TDib>();
  SetInterval(10);
  const TsGeneralData* section = SectionOf(link);
  StepCount = section ? section->FadingIterations : 0;
  if (!Enabled()) return;
  // A restart takes its length from the fade it interrupts.
  if (FadeDirection == 1) StepCount = StepIndex;
  else if (FadeDirection == 2) StepCount = StepCount - StepIndex;
}

bool TsFadeTimer::IsFinished() {
  TControl* control = OwnerLink ? OwnerLink->Control() : nullptr;
  if (!IsLive(control) || (Application && Application->Terminated())) {
    FadeDirection = 0;
    return false;
  }
  if (StepIndex > StepCount || StepIndex < 0) {
    // The control usually frees this timer while it handles the command.
    try {
      control->Perform(SM_KARVOCMD, MakeSkinCommand(AC_STOPFADING), reinterpret_cast<LPARAM>(OwnerLink->GetSkinManager()));
    } catch (...) {
      return false;
    }
    return true;
  }
  return false;
}

void TsFadeTimer::ShowNextFrame() {
  TControl* control = OwnerLink ? OwnerLink->Control() : nullptr;
  if (!IsLive(control) || StepCount == 0) return;
  struct TAdvance {
    int32_t& Index;
    ~TAdvance() { ++Index; }
  } advance{StepIndex};
  const int weight = std::clamp(255 - StepIndex * 256 / StepCount, 0, 255);
  TDib frame = FromImage ? FromImage->As24() : TDib();
  BlendSameSize(&frame, OwnerLink->Cache(), weight);
  HWND window = nullptr;
  HDC dc = ControlDC(control, window);
  const int saved = dc ? SaveDC(dc) : 0;
  struct TRelease {
    HWND Window;
    HDC DC;
    int Saved;
    TControl* Control;
    ~TRelease() {
      if (!DC) return;
      if (IsLive(Control)) RestoreDC(DC, Saved);
      ReleaseDC(Window, DC);
    }
  } release{window, dc, saved, control};
  const LRESULT shown = control->Perform(SM_KARVOCMD, MakeSkinCommand(AC_FADEFRAME), reinterpret_cast<LPARAM>(&frame));
  if (shown == 0 && dc && !frame.Empty()) {
    TDC source(&frame);
    BitBlt(dc, 0, 0, frame.Width(), frame.Height(), &source, 0, 0, SRCCOPY);
  }
}

void TsFadeTimer::Timer() {
  if (InState(csDestroying)) return;
  try {
    if (IsFinished()) return;
    if (FadeDirection == 1 || FadeDirection == 2) ShowNextFrame();
  } catch (const std::exception& e) {
    ShowSkinMessage(e.what());
  }
}

// ---- Starting and stopping --------------------------------------------------------------------

void ChangePaint(TsFadeTimer*& timer, TsCommonData* link, bool halve, uint8_t direction, bool animate) {
  if (!link || !link->IsSkinned()) return;
  const TsGeneralData* section = SectionOf(link);
  if (animate && !SkinIsChanging() && section && section->FadingEnabled && link->Cache() && !link->CacheInvalid) {
    link->CacheInvalid = true;
    StartFade(timer, link, halve, direction);
    return;
  }
  link->CacheInvalid = true;
  if (timer) StopFade(timer, link);
  if (IsLive(link->Control())) link->Control()->Repaint();
}

void StartFade(TsFadeTimer*& timer, TsCommonData* link, bool halve, uint8_t direction) {
  const TsGeneralData* section = SectionOf(link);
  if (!section || !section->FadingEnabled || !link->Control()) return;
  if (!timer) {
    timer = new TsFadeTimer(link->Control());
    timer->StepIndex = 1;
  }
  timer->PrepareFade(link);
  if (halve) timer->StepCount /= 2;
  if (timer->StepIndex >= timer->StepCount || timer->StepIndex <= 0) timer->StepIndex = 1;
  link->Control()->Perform(SM_KARVOCMD, MakeSkinCommand(AC_FADEPREPARE), reinterpret_cast<LPARAM>(link->GetSkinManager()));
  // The control may have stopped the fade while it repainted.
  if (timer) timer->SetDirection(direction);
}

void StopFade(TsFadeTimer*& timer, TsCommonData*) {
  if (!timer || timer->InState(csDestroying)) return;
  timer->SetEnabled(false);
  TComponent::Free(timer);
  timer = nullptr;
}
