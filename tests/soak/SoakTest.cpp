// Random input against the whole program. The short run is part of the suite; a long one is
// asked for with MARUK_SOAK_EVENTS (and MARUK_SOAK_SEED to replay a seed, MARUK_SOAK_LOG to
// write every event to a file):
//   MARUK_SOAK_EVENTS=100000 build-wt/tests/soak/soak_tests --gtest_filter='Soak.*'
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/sSkinProvider.h"
#include "tests/soak/SoakDriver.h"
#include "tests/soak/SoakFixture.h"

namespace {

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

class Soak : public SoakFixture {};

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
              "%d system menus, %d skin switches, %d title buttons\n",
              result.Events, seconds, double(result.VirtualMs) / 1000.0, result.Bursts, result.DialogsOpened,
              result.RomsChosen, result.SystemMenus, result.SkinSwitches, result.TitleButtons);

  ASSERT_EQ(result.Failure, "");
  EXPECT_EQ(result.Events, options.Events);
  EXPECT_EQ(result.Bursts, (options.Events + options.BurstSize - 1) / options.BurstSize);
  EXPECT_EQ(result.RefusedCloses, 0);
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
