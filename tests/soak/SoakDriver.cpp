#include "tests/soak/SoakDriver.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include "menus/sSystemMenu.h"
#include "platform/graphics/PngFile.h"
#include "platform/windowing/Menu.h"
#include "viewer/Maruk_rom.h"

namespace {

constexpr size_t kRecentEvents = 16;

TPoint Center(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::string WithoutAmpersands(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

std::string Describe(TPoint p) { return "(" + std::to_string(p.X) + ", " + std::to_string(p.Y) + ")"; }

}  // namespace

TSoakDriver::TSoakDriver(THeadlessDisplay& display, TForm1* form, TSoakOptions options)
    : FDisplay(display), FForm(form), FOptions(std::move(options)), FRandom(FOptions.Seed) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!FOptions.RomFolder.empty())
    for (const auto& entry : fs::directory_iterator(FOptions.RomFolder, ec)) FRoms.push_back(entry.path().string());
  std::sort(FRoms.begin(), FRoms.end());
  FRoms.push_back(FOptions.RomFolder + "/no such file.rom");
}

int TSoakDriver::Below(int n) { return n <= 1 ? 0 : int(FRandom() % uint64_t(n)); }

// ---- The run ----------------------------------------------------------------------------------

TSoakResult TSoakDriver::Run() {
  if (!FOptions.LogPath.empty()) FLog = std::fopen(FOptions.LogPath.c_str(), "w");
  // A close of the main window (a double click on its icon, Close in its system menu) is refused
  // so that the run goes on, and counted.
  FForm->OnCloseQuery = [this](TObject*, bool& canClose) {
    canClose = false;
    ++FResult.RefusedCloses;
    Note("a close of the main window was refused");
  };

  std::mutex lock;
  std::condition_variable stopped;
  bool stop = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> guard(lock);
    uint64_t seen = FBeat.load();
    for (;;) {
      if (stopped.wait_for(guard, std::chrono::seconds(FOptions.RealTimeLimitSeconds), [&] { return stop; })) return;
      const uint64_t now = FBeat.load();
      if (now == seen) {
        std::fprintf(stderr, "soak: no step came back within %d s of real time (seed %llu, event %d)\n",
                     FOptions.RealTimeLimitSeconds, static_cast<unsigned long long>(FOptions.Seed), FEventSeen.load());
        std::fflush(stderr);
        std::_Exit(3);
      }
      seen = now;
    }
  });

  FStartTime = FDisplay.Now();
  FDisplay.Schedule([this] { Step(); });
  Application->Run();

  {
    std::lock_guard<std::mutex> guard(lock);
    stop = true;
  }
  stopped.notify_all();
  watchdog.join();
  FForm->OnCloseQuery = nullptr;
  if (FLog) std::fclose(FLog);
  FLog = nullptr;
  FResult.VirtualMs = FDisplay.Now() - FStartTime;
  return FResult;
}

void TSoakDriver::Step() {
  ++FBeat;
  if (FDone) return;
  if (!Settled()) return;
  if (!FFollowUps.empty()) {
    TAction next = std::move(FFollowUps.front());
    FFollowUps.pop_front();
    next();
    if (!FDone) FDisplay.Schedule([this] { Step(); });
    return;
  }
  if (FInBurst) {
    EndBurstCheck();
    if (!FDone) FDisplay.Schedule([this] { Step(); });
    return;
  }
  if (FEvent > FCheckedAt && (FEvent % FOptions.BurstSize == 0 || FEvent >= FOptions.Events)) {
    BeginBurstCheck();
    FDisplay.Schedule([this] { Step(); });
    return;
  }
  if (FEvent >= FOptions.Events) {
    Finish();
    return;
  }
  NextEvent();
  // A pause before the next event; short ones make double clicks of two clicks in a row.
  FDisplay.ScheduleWait(uint64_t(Chance(25) ? Below(1500) : Below(300)));
  FDisplay.Schedule([this] { Step(); });
}

bool TSoakDriver::Settled() {
  const uint64_t next = NextTimerDue();
  if (next == UINT64_MAX) return true;
  const uint64_t now = FDisplay.Now();
  if (now - FEventTime > FOptions.WatchdogMs) {
    Fail("the program still runs timers " + std::to_string(now - FEventTime) + " ms (virtual) after the event");
    return false;
  }
  FDisplay.ScheduleWait(std::max<uint64_t>(next > now ? next - now : 0, 1));
  FDisplay.Schedule([this] { Step(); });
  return false;
}

void TSoakDriver::Fail(const std::string& what) {
  std::ostringstream s;
  s << "soak: " << what << " (seed " << FOptions.Seed << ", event " << FEvent << ")\nlast events:";
  for (const std::string& e : FRecent) s << "\n  " << e;
  FResult.Failure = s.str();
  FDone = true;
  if (FLog) std::fprintf(FLog, "FAILED: %s\n", what.c_str());
}

void TSoakDriver::Note(const std::string& what) {
  std::string line = "#" + std::to_string(FEvent) + " t=" + std::to_string(FDisplay.Now() - FStartTime) + " " + what;
  if (FLog) std::fprintf(FLog, "%s\n", line.c_str());
  FRecent.push_back(std::move(line));
  if (FRecent.size() > kRecentEvents) FRecent.pop_front();
}

void TSoakDriver::BeginBurstCheck() {
  FBurstShot = FDisplay.Screenshot();
  for (HWND h : GetTopLevelWindows())
    if (IsWindowVisible(h))
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  FInBurst = true;
}

void TSoakDriver::EndBurstCheck() {
  FInBurst = false;
  FCheckedAt = FEvent;
  ++FResult.Bursts;
  const TDib again = FDisplay.Screenshot();
  int differ = 0;
  TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = 0; y < again.Height(); ++y) {
    if (std::memcmp(again.ScanLine(y), FBurstShot.ScanLine(y), size_t(again.Width()) * 3) == 0) continue;
    for (int x = 0; x < again.Width(); ++x)
      if (again.GetPixel(x, y) != FBurstShot.GetPixel(x, y)) {
        ++differ;
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
      }
  }
  if (!differ) return;
  const std::string stem = FOptions.FailureFolder + "/soak-" + std::to_string(FOptions.Seed) + "-" + std::to_string(FEvent);
  SavePngFile(FBurstShot, stem + "-before.png");
  SavePngFile(again, stem + "-repainted.png");
  Fail("a full repaint changed " + std::to_string(differ) + " pixels in (" + std::to_string(box.Left) + ", " +
       std::to_string(box.Top) + ") - (" + std::to_string(box.Right) + ", " + std::to_string(box.Bottom) +
       "); screenshots " + stem + "-before.png and " + stem + "-repainted.png");
}

void TSoakDriver::Finish() {
  // Dialogs and menus are closed before the program is let go.
  if ((MenuWindow() || ModalWindow()) && FClosingTries++ < 40) {
    FEventTime = FDisplay.Now();
    Note("closing: Escape");
    if (FClosingTries % 4 == 3)
      if (HWND dialog = ModalWindow(); dialog && !MenuWindow()) {
        DismissDialog(dialog);
        FDisplay.Schedule([this] { Step(); });
        return;
      }
    FDisplay.Key(VK_ESCAPE);
    FDisplay.Schedule([this] { Step(); });
    return;
  }
  FDone = true;  // nothing more is scheduled: the display asks the program to quit
}

// ---- State ------------------------------------------------------------------------------------

HWND TSoakDriver::MainWindow() const { return FForm->HandleAllocated() ? FForm->Handle() : nullptr; }

HWND TSoakDriver::MenuWindow() const {
  for (HWND h : GetTopLevelWindows())
    if (IsWindowVisible(h) && GetClassName(h) == "#MenuPopup") return h;
  return nullptr;
}

HWND TSoakDriver::ModalWindow() const {
  for (HWND h : GetTopLevelWindows()) {
    if (!IsWindowVisible(h) || h == MainWindow()) continue;
    const std::string cls = GetClassName(h);
    if (cls == "#MenuPopup" || cls == "TsOutline" || cls == "TApplication") continue;
    return h;
  }
  return nullptr;
}

// ---- Events -----------------------------------------------------------------------------------

void TSoakDriver::NextEvent() {
  ++FEvent;
  FEventSeen = FEvent;
  FResult.Events = FEvent;
  FEventTime = FDisplay.Now();
  const HWND modal = ModalWindow();
  if (modal && modal != FLastModal) ++FResult.DialogsOpened;
  FLastModal = modal;
  if (MenuWindow()) RandomMenuEvent();
  else if (modal) RandomDialogEvent(modal);
  else RandomMainEvent();
  if (FOptions.OnEvent) FOptions.OnEvent(FEvent);
}

void TSoakDriver::RandomMainEvent() {
  const HWND main = MainWindow();
  int roll = Below(100);
  if ((roll -= 17) < 0) return ClickAround(main, 0, false);
  if ((roll -= 6) < 0) return ClickAround(main, 0, true);
  if ((roll -= 4) < 0) return ClickAround(main, 1, false);
  if ((roll -= 7) < 0) return MoveAround(main);
  if ((roll -= 14) < 0) return Drag(main);
  if ((roll -= 6) < 0) {
    MoveAround(main);
    const int delta = (Below(3) + 1) * 120 * (Chance(50) ? 1 : -1);
    FDisplay.Wheel(delta);
    return Note("wheel " + std::to_string(delta));
  }
  if ((roll -= 22) < 0) return RandomKey(false, false);
  if ((roll -= 7) < 0) return OpenTheDialog();
  if ((roll -= 4) < 0) return OpenSystemMenu();
  if ((roll -= 5) < 0) return SwitchSkin();
  if ((roll -= 6) < 0) return TitleButton();
  // Somewhere on the empty screen.
  ClickAt({Below(1280), Below(1024)}, Chance(80) ? 0 : 1);
}

void TSoakDriver::RandomDialogEvent(HWND dialog) {
  int roll = Below(100);
  if ((roll -= 28) < 0) return DismissDialog(dialog);
  if ((roll -= 20) < 0) return ClickAround(dialog, 0, false);
  if ((roll -= 6) < 0) return ClickAround(dialog, 0, true);
  if ((roll -= 3) < 0) return ClickAround(dialog, 1, false);
  if ((roll -= 9) < 0) return Drag(dialog);
  if ((roll -= 5) < 0) return MoveAround(dialog);
  if ((roll -= 5) < 0) {
    MoveAround(dialog);
    const int delta = (Below(3) + 1) * 120 * (Chance(50) ? 1 : -1);
    FDisplay.Wheel(delta);
    return Note("wheel " + std::to_string(delta));
  }
  if ((roll -= 20) < 0) return RandomKey(false, true);
  // The disabled main window behind it.
  ClickAround(MainWindow(), 0, Chance(20));
}

void TSoakDriver::RandomMenuEvent() {
  TsSystemMenu* menu = FForm->sSkinProvider1 ? FForm->sSkinProvider1->SystemMenu() : nullptr;
  int roll = Below(100);
  if ((roll -= 35) < 0) return RandomKey(true, false);
  if ((roll -= 35) < 0 && menu) {
    // An item of a shown level, never Close.
    std::vector<TRect> items;
    HMENU root = menu->Handle();
    for (HMENU h : {root, GetSubMenu(root, 0)}) {
      if (!h || !GetMenuWindow(h)) continue;
      for (int i = 0; i < GetMenuItemCount(h); ++i) {
        TRect r;
        if (StartsWith(GetMenuString(h, UINT(i), MF_BYPOSITION), "Close")) continue;
        if (GetMenuItemRect(nullptr, h, UINT(i), &r) && !r.IsEmpty()) items.push_back(r);
      }
    }
    if (!items.empty()) {
      const TRect r = items[size_t(Below(int(items.size())))];
      const TPoint p{r.Left + Below(r.Width()), r.Top + Below(r.Height())};
      if (Chance(30)) {
        FDisplay.MoveMouse(p.X, p.Y);
        return Note("move over a menu item " + Describe(p));
      }
      ClickAt(p);
      return;
    }
  }
  if ((roll -= 15) < 0) {
    return MoveAround(MenuWindow());
  }
  // Outside the menu: dismisses it.
  ClickAt({Below(1280), Below(1024)}, Chance(80) ? 0 : 1);
}

void TSoakDriver::ClickAround(HWND window, int button, bool twice) {
  TRect r;
  if (!window || !GetWindowRect(window, &r)) return;
  const TPoint p = PointAround(r, 24);
  if (RefusedPoint(p)) {
    FDisplay.MoveMouse(p.X, p.Y);
    return Note("refused: a click on the main window's close button, moved there instead " + Describe(p));
  }
  ClickAt(p, button);
  if (twice) {
    FDisplay.Click(p.X, p.Y, button);
    Note("... and again (double click)");
  }
}

void TSoakDriver::MoveAround(HWND window) {
  TRect r;
  if (!window || !GetWindowRect(window, &r)) return;
  const TPoint p = PointAround(r, 24);
  FDisplay.MoveMouse(p.X, p.Y);
  Note("move " + Describe(p));
}

void TSoakDriver::Drag(HWND window) {
  TRect r;
  if (!window || !GetWindowRect(window, &r)) return;
  TPoint from = PointAround(r, 4);
  std::string what = "anywhere";
  switch (Below(4)) {
    case 0:  // the caption
      for (int i = 0; i < 40; ++i) {
        const TPoint p{r.Left + 24 + Below(std::max(r.Width() - 100, 1)), r.Top + 3 + Below(18)};
        if (HitAt(window, p) == HTCAPTION) {
          from = p;
          what = "the caption";
          break;
        }
      }
      break;
    case 1: {  // an edge or a corner
      const int xs[] = {r.Left, r.Left + 1, (r.Left + r.Right) / 2, r.Right - 2, r.Right - 1};
      const int ys[] = {r.Top, r.Top + 1, (r.Top + r.Bottom) / 2, r.Bottom - 2, r.Bottom - 1};
      from = {xs[Below(5)], ys[Below(5)]};
      what = "the frame (hit " + std::to_string(HitAt(window, from)) + ")";
      break;
    }
    case 2: {  // a control, scroll bars first
      std::vector<HWND> children = Descendants(window), bars;
      std::erase_if(children, [](HWND h) { return !IsWindowVisible(h); });
      for (HWND h : children)
        if (GetClassName(h).find("Scroll") != std::string::npos) bars.push_back(h);
      const std::vector<HWND>& pool = !bars.empty() && Chance(70) ? bars : children;
      if (pool.empty()) break;
      HWND target = pool[size_t(Below(int(pool.size())))];
      TRect c;
      GetWindowRect(target, &c);
      if (c.IsEmpty()) break;
      from = {c.Left + Below(c.Width()), c.Top + Below(c.Height())};
      what = "a " + GetClassName(target);
      break;
    }
    default:
      break;
  }
  if (RefusedPoint(from)) return Note("refused: a drag from the main window's close button");
  FDisplay.MoveMouse(from.X, from.Y);
  FDisplay.Press(0);
  TPoint p = from;
  const int steps = 1 + Below(5);
  for (int i = 0; i < steps; ++i) {
    p = {std::clamp(p.X + Below(401) - 200, 0, 1279), std::clamp(p.Y + Below(301) - 150, 0, 1023)};
    FDisplay.MoveMouse(p.X, p.Y);
  }
  FDisplay.Release(0);
  Note("drag " + what + " from " + Describe(from) + " to " + Describe(p));
}

void TSoakDriver::RandomKey(bool inMenu, bool inDialog) {
  struct TKey {
    const char* Name;
    WPARAM Key;
    WPARAM Modifier;
  };
  static const TKey common[] = {
      {"Tab", VK_TAB, 0},       {"Shift+Tab", VK_TAB, VK_LSHIFT}, {"Left", VK_LEFT, 0},  {"Right", VK_RIGHT, 0},
      {"Up", VK_UP, 0},         {"Down", VK_DOWN, 0},             {"Space", VK_SPACE, 0}, {"Return", VK_RETURN, 0},
      {"Escape", VK_ESCAPE, 0}, {"Home", VK_HOME, 0},             {"End", VK_END, 0},     {"PageUp", VK_PRIOR, 0},
      {"PageDown", VK_NEXT, 0}, {"F10", VK_F10, 0},               {"F1", VK_F1, 0},       {"Alt+Space", VK_SPACE, VK_LMENU},
      {"Backspace", VK_BACK, 0}, {"Delete", VK_DELETE, 0},        {"Shift+F10", VK_F10, VK_LSHIFT},
  };
  static const TKey menuKeys[] = {
      {"Up", VK_UP, 0},   {"Down", VK_DOWN, 0},         {"Left", VK_LEFT, 0}, {"Right", VK_RIGHT, 0},
      {"Home", VK_HOME, 0}, {"End", VK_END, 0},         {"Escape", VK_ESCAPE, 0}, {"F10", VK_F10, 0},
  };
  if (inMenu) {
    // Return chooses the selected item: only while the skin list is open, whose items
    // are all skins (the item that opened it stays selected in the menu above).
    TsSystemMenu* menu = FForm->sSkinProvider1 ? FForm->sSkinProvider1->SystemMenu() : nullptr;
    HMENU skins = menu ? GetSubMenu(menu->Handle(), 0) : nullptr;
    if (skins && GetMenuWindow(skins) && Chance(15)) {
      FDisplay.Key(VK_RETURN);
      return Note("key Return in the skin list");
    }
    if (Chance(8)) {
      FDisplay.KeyDown(VK_LMENU);
      FDisplay.KeyUp(VK_LMENU);
      return Note("key Alt alone");
    }
    const TKey& k = menuKeys[size_t(Below(int(std::size(menuKeys))))];
    FDisplay.Key(k.Key);
    return Note(std::string("key ") + k.Name);
  }
  const int roll = Below(100);
  if (roll < 50) {
    const TKey& k = common[size_t(Below(int(std::size(common))))];
    KeyWith(k.Modifier ? std::vector<WPARAM>{k.Modifier} : std::vector<WPARAM>{}, k.Key);
    return Note(std::string("key ") + k.Name);
  }
  if (roll < 58) {
    FDisplay.KeyDown(VK_LMENU);
    FDisplay.KeyUp(VK_LMENU);
    return Note("key Alt alone");
  }
  const WPARAM letter = WPARAM('A' + Below(26));
  const int mod = Below(inDialog ? 6 : 4);
  std::string name(1, char(letter));
  if (mod == 0) {
    KeyWith({VK_LMENU}, letter);
    name = "Alt+" + name;
  } else if (mod == 1) {
    KeyWith({VK_LCONTROL}, letter);
    name = "Ctrl+" + name;
  } else if (mod == 2) {
    KeyWith({VK_LSHIFT}, letter);
    name = "Shift+" + name;
  } else {
    KeyWith({}, Chance(20) ? WPARAM('0' + Below(10)) : letter);
  }
  Note("key " + name);
}

void TSoakDriver::OpenTheDialog() {
  TControl* button = FForm->sBitBtn1;
  if (!button) return;
  const TPoint p = button->ClientToScreen({button->Width() / 2, button->Height() / 2});
  ClickAt(p);
  Note("... on \"Open ROM\"");
}

void TSoakDriver::DismissDialog(HWND dialog) {
  const bool isOpenDialog = GetWindowText(dialog) == "Open";
  const int how = Below(isOpenDialog ? 3 : 2);
  if (how == 0) {
    FDisplay.Key(VK_ESCAPE);
    return Note("dismiss: Escape");
  }
  if (how == 1) {
    for (const char* text : {"Cancel", "OK", "&Cancel", "&OK"})
      if (HWND button = FindChildWithText(dialog, text)) {
        TRect r;
        GetWindowRect(button, &r);
        ClickAt(Center(r));
        return Note(std::string("... on ") + text);
      }
    FDisplay.Key(VK_RETURN);
    return Note("dismiss: Return");
  }
  // Choose a file: the name box is cleared and the path typed, then Return.
  const std::string& path = FRoms[size_t(Below(int(FRoms.size())))];
  for (HWND h : Descendants(dialog))
    if (IsWindowVisible(h) && GetClassName(h).find("Edit") != std::string::npos) {
      TRect r;
      GetWindowRect(h, &r);
      FDisplay.Click(Center(r).X, Center(r).Y);
      break;
    }
  FDisplay.Key(VK_END);
  for (int i = 0; i < 80; ++i) FDisplay.Key(VK_BACK);
  FDisplay.TypeText(path);
  FDisplay.Key(VK_RETURN);
  ++FResult.RomsChosen;
  Note("choose " + path);
}

void TSoakDriver::OpenSystemMenu() {
  ++FResult.SystemMenus;
  const HWND main = MainWindow();
  TRect r;
  GetWindowRect(main, &r);
  if (Chance(50)) {
    for (int i = 0; i < 40; ++i) {
      const TPoint p{r.Left + 24 + Below(std::max(r.Width() - 100, 1)), r.Top + 3 + Below(18)};
      if (HitAt(main, p) == HTCAPTION) {
        ClickAt(p, 1);
        return Note("... on the caption (system menu)");
      }
    }
  }
  KeyWith({VK_LMENU}, VK_SPACE);
  Note("key Alt+Space (system menu)");
}

void TSoakDriver::SwitchSkin() {
  if (FOptions.Skins.empty()) return OpenSystemMenu();
  const std::string name = FOptions.Skins[size_t(Below(int(FOptions.Skins.size())))];
  OpenSystemMenu();
  Note("switching to skin " + name);
  Later([this, name] {
    const TRect list = ShownMenuItemRect(FForm, false, "Available skins");
    if (list.IsEmpty()) return Note("no system menu to choose a skin from");
    FDisplay.MoveMouse(Center(list).X, Center(list).Y);
    Note("move over \"Available skins\"");
    Later([this, name, list] {
      if (ShownMenuItemRect(FForm, true, name).IsEmpty()) {
        ClickAt(Center(list));
        Note("... to open the skin list");
      }
      Later([this, name] {
        const TRect item = ShownMenuItemRect(FForm, true, name);
        if (item.IsEmpty()) return Note("the skin list did not open");
        const std::string before = FForm->sSkinManager1->SkinName();
        ClickAt(Center(item));
        Note("... on skin " + name);
        Later([this, name, before] {
          if (FForm->sSkinManager1->SkinName() == name && name != before) ++FResult.SkinSwitches;
        });
      });
    });
  });
}

void TSoakDriver::TitleButton() {
  const HWND main = MainWindow();
  TRect r;
  GetWindowRect(main, &r);
  std::vector<std::pair<TPoint, LRESULT>> found;
  for (int y = r.Top + 4; y < r.Top + 26; y += 4)
    for (int x = r.Right - 1; x > r.Right - 160 && x > r.Left; x -= 3) {
      const LRESULT hit = HitAt(main, {x, y});
      if (hit == HTMINBUTTON || hit == HTMAXBUTTON) found.push_back({{x, y}, hit});
    }
  if (found.empty()) return ClickAround(main, 0, false);
  const auto [p, hit] = found[size_t(Below(int(found.size())))];
  ++FResult.TitleButtons;
  ClickAt(p);
  Note(hit == HTMINBUTTON ? "... on the minimise (or restore) button" : "... on the maximise (or restore) button");
}

// ---- Helpers ----------------------------------------------------------------------------------

TPoint TSoakDriver::PointAround(const TRect& r, int margin) {
  return {r.Left - margin + Below(r.Width() + 2 * margin), r.Top - margin + Below(r.Height() + 2 * margin)};
}

LRESULT TSoakDriver::HitAt(HWND top, TPoint p) {
  if (!top || !IsWindow(top)) return HTNOWHERE;
  return SendMessage(top, WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
}

bool TSoakDriver::RefusedPoint(TPoint p) {
  const HWND main = MainWindow();
  const HWND under = WindowFromPoint(p);
  if (!main || !under || GetAncestorRoot(under) != main) return false;
  return HitAt(main, p) == HTCLOSE;
}

void TSoakDriver::ClickAt(TPoint p, int button) {
  if (RefusedPoint(p)) {
    FDisplay.MoveMouse(p.X, p.Y);
    return Note("refused: a click on the main window's close button " + Describe(p));
  }
  FDisplay.Click(p.X, p.Y, button);
  Note(std::string(button ? "right click " : "click ") + Describe(p));
}

void TSoakDriver::KeyWith(std::vector<WPARAM> modifiers, WPARAM key) {
  for (WPARAM m : modifiers) FDisplay.KeyDown(m);
  FDisplay.Key(key);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) FDisplay.KeyUp(*it);
}

std::vector<HWND> TSoakDriver::Descendants(HWND parent) {
  std::vector<HWND> out;
  if (!parent || !IsWindow(parent)) return out;
  for (HWND child : GetChildren(parent)) {
    out.push_back(child);
    for (HWND below : Descendants(child)) out.push_back(below);
  }
  return out;
}

HWND TSoakDriver::FindChildWithText(HWND parent, const std::string& text) {
  for (HWND h : Descendants(parent))
    if (IsWindowVisible(h) && WithoutAmpersands(GetWindowText(h)) == WithoutAmpersands(text)) return h;
  return nullptr;
}

void TSoakDriver::Later(TAction action) { FFollowUps.push_back(std::move(action)); }

TRect TSoakDriver::ShownMenuItemRect(TForm1* form, bool skinList, const std::string& caption) {
  TsSystemMenu* menu = form->sSkinProvider1 ? form->sSkinProvider1->SystemMenu() : nullptr;
  if (!menu) return {};
  HMENU h = menu->Handle();
  if (skinList) h = GetSubMenu(h, 0);
  if (!h || !GetMenuWindow(h)) return {};
  for (int i = 0; i < GetMenuItemCount(h); ++i) {
    std::string text = GetMenuString(h, UINT(i), MF_BYPOSITION);
    text = text.substr(0, text.find('\t'));
    TRect r;
    if (WithoutAmpersands(text) == caption && GetMenuItemRect(nullptr, h, UINT(i), &r)) return r;
  }
  return {};
}
