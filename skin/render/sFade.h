#pragma once
// Cross-fading a skinned control from its old face to its new one on a 10 ms timer.
#include <memory>

#include "platform/widgets/Timer.h"
#include "skin/render/sCommonData.h"

enum TkvAnimatEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TkvAnimatEvents = uint32_t;  // bit (1 << event)
inline constexpr TkvAnimatEvents kDefaultAnimatEvents =
    (1u << aeMouseEnter) | (1u << aeMouseLeave) | (1u << aeMouseDown) | (1u << aeMouseUp);

bool EventAnimates(TkvAnimatEvent event, TkvAnimatEvents events);

class TsFadeTimer : public TTimer {
 public:
  explicit TsFadeTimer(TComponent* owner);
  ~TsFadeTimer() override;
  std::string ClassName() const override { return "TsFadeTimer"; }

  uint8_t FadeDirection = 0;  // 0 none, 1 fading in, 2 fading out
  TsCommonData* OwnerLink = nullptr;
  int32_t StepCount = 0;
  int32_t StepIndex = 0;
  std::unique_ptr<TDib> FromImage;

  void SetDirection(uint8_t direction);
  void PrepareFade(TsCommonData* link);
  void ShowNextFrame();
  bool IsFinished();

 protected:
  void Timer() override;
};

void ChangePaint(TsFadeTimer*& timer, TsCommonData* link, bool halve, uint8_t direction, bool animate);
void StartFade(TsFadeTimer*& timer, TsCommonData* link, bool halve, uint8_t direction);
void StopFade(TsFadeTimer*& timer, TsCommonData* link);
