#pragma once
// Drives the viewer on the headless display with random input: clicks, double clicks and
// drags on and around its windows, the wheel, keys with modifiers, the Open dialog, the
// system menu with its list of skins, and the title-bar buttons. One seed reproduces a run
// exactly.
//
// Every step runs while the program waits for input (in its main loop or a modal one), so
// each step starts from a settled program. Checks:
// - a watchdog on the virtual clock: the program must stop running timers within
//   WatchdogMs of an event;
// - a watchdog on real time: a step that never comes back ends the process with the seed;
// - after each burst, a screenshot, a full repaint of every window, and a second
//   screenshot that must equal the first (nothing half-drawn, nothing stale).
// The main window is never closed: the close button, Alt+F4 and the system menu's Close
// are never chosen (a guard on the form refuses and counts any close that slips through).
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"

class TForm1;

struct TSoakOptions {
  uint64_t Seed = 1;
  int Events = 1000;
  int BurstSize = 100;
  uint64_t WatchdogMs = 30000;    // virtual time for the program to settle after an event
  int RealTimeLimitSeconds = 120;  // real time for one step before the process is ended
  std::string RomFolder;     // where the Open dialog is answered from
  std::string FailureFolder; // where the two screenshots of a failed burst are written
  std::vector<std::string> Skins;  // names offered in "Available skins" to switch between
  std::string LogPath;       // every event, one a line ("" for none)
  std::function<void(int event)> OnEvent;  // after each event's input is queued
};

struct TSoakResult {
  std::string Failure;  // empty when the run passed
  int Events = 0;
  int Bursts = 0;
  int DialogsOpened = 0;
  int RomsChosen = 0;
  int SkinSwitches = 0;
  int SystemMenus = 0;
  int TitleButtons = 0;
  int RefusedCloses = 0;
  uint64_t VirtualMs = 0;
};

class TSoakDriver {
 public:
  TSoakDriver(THeadlessDisplay& display, TForm1* form, TSoakOptions options);
  // Runs the application's message loop until every event is played (or a check fails).
  TSoakResult Run();

  // Screen rectangle of the item of a shown popup menu whose caption starts with `caption`
  // (the system menu, or its "Available skins" list); empty when not shown.
  static TRect ShownMenuItemRect(TForm1* form, bool skinList, const std::string& caption);

 private:
  using TAction = std::function<void()>;
  void Step();
  void Fail(const std::string& what);
  void Note(const std::string& what);
  bool Settled();
  void BeginBurstCheck();
  void EndBurstCheck();
  void Finish();
  void NextEvent();

  // Kinds of state the program can be in between events.
  HWND MenuWindow() const;    // a shown popup menu, or nullptr
  HWND ModalWindow() const;   // a shown dialog or message box in front, or nullptr
  HWND MainWindow() const;

  // Events.
  void RandomMainEvent();
  void RandomDialogEvent(HWND dialog);
  void RandomMenuEvent();
  void ClickAround(HWND window, int button, bool twice);
  void MoveAround(HWND window);
  void Drag(HWND window);
  void RandomKey(bool inMenu, bool inDialog);
  void OpenTheDialog();
  void DismissDialog(HWND dialog);
  void OpenSystemMenu();
  void SwitchSkin();
  void TitleButton();

  // Helpers.
  int Below(int n);  // 0 .. n-1
  bool Chance(int percent) { return Below(100) < percent; }
  TPoint PointAround(const TRect& r, int margin);
  bool RefusedPoint(TPoint p);  // the main window's close button
  LRESULT HitAt(HWND top, TPoint p);
  void Press(TPoint p, int button);
  void ClickAt(TPoint p, int button = 0);
  void KeyWith(std::vector<WPARAM> modifiers, WPARAM key);
  HWND FindChildWithText(HWND parent, const std::string& text);
  std::vector<HWND> Descendants(HWND parent);
  void Later(TAction action);  // a follow-up step of the current event

  THeadlessDisplay& FDisplay;
  TForm1* FForm;
  TSoakOptions FOptions;
  TSoakResult FResult;
  std::mt19937_64 FRandom;
  int FEvent = 0;            // number of the last event started
  uint64_t FEventTime = 0;   // virtual time it started at
  uint64_t FStartTime = 0;
  std::deque<TAction> FFollowUps;
  std::deque<std::string> FRecent;  // the last events, for the failure message
  std::vector<std::string> FRoms;
  TDib FBurstShot;
  bool FInBurst = false;
  bool FDone = false;
  int FClosingTries = 0;
  std::FILE* FLog = nullptr;
  HWND FLastModal = nullptr;
  int FCheckedAt = 0;        // event after which the last burst was checked
  std::atomic<uint64_t> FBeat{0};  // steps taken, read by the real-time watchdog
  std::atomic<int> FEventSeen{0};
};
