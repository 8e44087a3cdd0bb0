#pragma once
// TTimer: a non-visual component that raises OnTimer every Interval milliseconds while it
// is enabled, through a window-system timer on a hidden window of its own.
#include <cstdint>

#include "platform/components/Component.h"
#include "platform/widgets/GraphicsObjects.h"
#include "platform/windowing/WinApi.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  std::string ClassName() const override { return "TTimer"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // Milliseconds between events; 0 stops the timer. Changing it starts the wait again.
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t value);
  // The timer runs only while an OnTimer handler is set, so the handler goes through here.
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent handler);
  // True while the window-system timer is set.
  bool Running() const { return FRunning; }

 protected:
  // Raises OnTimer; subclasses that do their own work on each tick override it.
  virtual void Timer();
  void UpdateTimer();

 private:
  void Stop();
  bool FEnabled = true;
  uint32_t FInterval = 1000;
  TNotifyEvent FOnTimer;
  HWND FWindow = nullptr;
  bool FRunning = false;
};
