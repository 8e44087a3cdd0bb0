// Random input against the whole program. The short run is part of the suite; a long one is
// asked for with MARUK_SOAK_EVENTS (and MARUK_SOAK_SEED to replay a seed, MARUK_SOAK_LOG to
// write every event to a file):
//   MARUK_SOAK_EVENTS=100000 build-wt/tests/soak/soak_tests --gtest_filter='Soak.*'
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "frame/sSkinProvider.h"
#include "tests/soak/SoakDriver.h"
#include "tests/soak/SoakFixture.h"

namespace {

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

class Soak : public SoakFixture {
 protected:
  TSoakOptions Options(uint64_t seed, int events) {
    TSoakOptions o;
    o.Seed = seed;
    o.Events = events;
    o.RomFolder = Dir;
    o.FailureFolder = ::testing::TempDir();
    std::string first;
    Form->sSkinManager1->GetSkinNames(o.Skins, first);
    return o;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(Soak, RandomInputLeavesEveryWindowWholeAndTheProgramResponsive) {
  std::vector<std::string> skins;
  std::string first;
  Form->sSkinManager1->GetSkinNames(skins, first);
  // The internal skin and the two shipped ones, so that the soak switches between all three.
  ASSERT_EQ(skins.size(), 3u);
  EXPECT_NE(std::find(skins.begin(), skins.end(), "Graphite"), skins.end());
  EXPECT_NE(std::find(skins.begin(), skins.end(), "Amber"), skins.end());

  TSoakOptions options;
  options.Seed = EnvNumber("MARUK_SOAK_SEED", 20240611);
  options.Events = int(EnvNumber("MARUK_SOAK_EVENTS", 1000));
  options.RomFolder = Dir;
  options.FailureFolder = ::testing::TempDir();
  options.Skins = skins;
  if (const char* log = std::getenv("MARUK_SOAK_LOG")) options.LogPath = log;
  std::printf("soak: seed %llu, %d events\n", static_cast<unsigned long long>(options.Seed), options.Events);
  std::fflush(stdout);

  const auto start = std::chrono::steady_clock::now();
  TSoakDriver driver(Display, Form, options);
  const TSoakResult result = driver.Run();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("soak: %d events in %.1f s real, %.1f s virtual; %d bursts checked, %d dialogs, %d files chosen, "
              "%d system menus, %d skin switches, %d title buttons, %d closes refused\n",
              result.Events, seconds, double(result.VirtualMs) / 1000.0, result.Bursts, result.DialogsOpened,
              result.RomsChosen, result.SystemMenus, result.SkinSwitches, result.TitleButtons, result.RefusedCloses);

  ASSERT_EQ(result.Failure, "");
  EXPECT_EQ(result.Events, options.Events);
  EXPECT_EQ(result.Bursts, (options.Events + options.BurstSize - 1) / options.BurstSize);
  // The run went where it was meant to go.
  EXPECT_GT(result.DialogsOpened, 0);
  EXPECT_GT(result.RomsChosen, 0);
  EXPECT_GT(result.SkinSwitches, 0);
  EXPECT_GT(result.TitleButtons, 0);
  // And the program is still there, its window shown.
  ASSERT_TRUE(Form->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(Form->Handle()));
}

}  // namespace

namespace {

TEST_F(Soak, PixelsThatARepaintWouldChangeFailTheBurstWithSeedAndEvent) {
  TSoakOptions options = Options(5, 40);
  options.BurstSize = 20;
  options.OnEvent = [this](int event) {
    if (event != 20) return;
    // Once the program has handled the event: pixels put on the window outside any paint.
    Display.Schedule([this] {
      TRect client;
      GetClientRect(Form->Handle(), &client);
      HDC dc = GetDC(Form->Handle());
      const TRect mark{client.Right / 2 - 10, client.Bottom / 2 - 3, client.Right / 2 + 10, client.Bottom / 2 + 3};
      FillRect(dc, &mark, CreateSolidBrush(RGB(255, 0, 255)));
      ReleaseDC(Form->Handle(), dc);
    });
  };
  const TSoakResult result = TSoakDriver(Display, Form, options).Run();
  EXPECT_NE(result.Failure.find("a full repaint changed 120 pixels"), std::string::npos) << result.Failure;
  EXPECT_NE(result.Failure.find("(seed 5, event 20)"), std::string::npos) << result.Failure;
  EXPECT_EQ(result.Events, 20);
}

TEST_F(Soak, ATimerThatNeverStopsTripsTheWatchdogAtItsEvent) {
  TSoakOptions options = Options(9, 40);
  options.WatchdogMs = 5000;
  options.OnEvent = [this](int event) {
    if (event == 7) SetTimer(Form->Handle(), 4242, 100);
  };
  const TSoakResult result = TSoakDriver(Display, Form, options).Run();
  EXPECT_NE(result.Failure.find("still runs timers"), std::string::npos) << result.Failure;
  EXPECT_NE(result.Failure.find("(seed 9, event 7)"), std::string::npos) << result.Failure;
  EXPECT_EQ(result.Events, 7);
}

TEST_F(Soak, TheSameSeedPlaysTheSameEventsAndAnotherSeedOthers) {
  auto runOnFreshProgram = [this](uint64_t seed, const std::string& log) {
    THeadlessDisplay display;
    SetDisplay(&display);  // a new display starts the window system afresh
    ViewerState().Reset();
    App = new TApplication(nullptr);
    App->SetTitle("Maruk_ROM_viewer");
    Form = App->CreateForm<TForm1>();
    Form->sSkinManager1->SetShippedSkinDirectory(MARUK_SHIPPED_SKINS);
    Form->Show();
    TSoakOptions options = Options(seed, 150);
    options.LogPath = log;
    const TSoakResult result = TSoakDriver(display, Form, options).Run();
    TComponent::Free(App);
    App = nullptr;
    SetDisplay(nullptr);
    return result;
  };
  TComponent::Free(App);
  App = nullptr;
  const std::string first = Dir + "/../soak-first.log", second = Dir + "/../soak-second.log",
                    other = Dir + "/../soak-other.log";
  ASSERT_EQ(runOnFreshProgram(31, first).Failure, "");
  ASSERT_EQ(runOnFreshProgram(31, second).Failure, "");
  ASSERT_EQ(runOnFreshProgram(32, other).Failure, "");
  const std::string a = ReadFile(first), b = ReadFile(second), c = ReadFile(other);
  std::remove(first.c_str());
  std::remove(second.c_str());
  std::remove(other.c_str());
  EXPECT_GT(a.size(), 1000u);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
}

}  // namespace
