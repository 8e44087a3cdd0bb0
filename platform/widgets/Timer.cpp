#include "platform/widgets/Timer.h"

#include <algorithm>

#include "platform/components/PropertyBuilder.h"

namespace {

constexpr char kTimerWindowClass[] = "TTimerWindow";
constexpr uintptr_t kTimerId = 1;

void RegisterTimerWindowClass() {
  static bool done = false;
  if (done) return;
  WNDCLASS cls;
  cls.lpszClassName = kTimerWindowClass;
  cls.lpfnWndProc = DefWindowProc;
  done = RegisterClass(cls);
}

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  Stop();
  if (FWindow && IsWindow(FWindow)) {
    HWND window = FWindow;
    FWindow = nullptr;
    DestroyWindow(window);
  }
}

void TTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(uint32_t value) {
  if (value == FInterval) return;
  FInterval = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  FOnTimer = std::move(handler);
  UpdateTimer();
}

void TTimer::Stop() {
  if (FRunning && FWindow && IsWindow(FWindow)) KillTimer(FWindow, kTimerId);
  FRunning = false;
}

void TTimer::UpdateTimer() {
  Stop();
  if (!FEnabled || FInterval == 0 || !FOnTimer || InState(csDestroying)) return;
  if (!FWindow || !IsWindow(FWindow)) {
    // A top-level window that is never shown: it only receives the timer's messages.
    RegisterTimerWindowClass();
    FWindow = CreateWindowEx(0, kTimerWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr);
    if (!FWindow) return;
    SetWindowProc(FWindow, [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
      if (msg == WM_TIMER && wParam == kTimerId) {
        Timer();
        return 0;
      }
      if (msg == WM_NCDESTROY && hwnd == FWindow) {
        FWindow = nullptr;
        FRunning = false;
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    });
  }
  FRunning = SetTimer(FWindow, kTimerId, FInterval) != 0;
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

const TPropertyTable& TTimer::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TTimer> b(t);
    b.Boolean("Enabled", [](TTimer& t, bool v) { t.SetEnabled(v); });
    b.Integer("Interval", [](TTimer& t, int64_t v) { t.SetInterval(uint32_t(std::max<int64_t>(v, 0))); });
    b.Event<TNotifyEvent>("OnTimer", [](TTimer& t, TNotifyEvent e) { t.SetOnTimer(std::move(e)); });
    return t;
  }();
  return table;
}
