// The viewer driven from outside through the scripted UI driver, as a user would drive it:
// what the window shows must not change when the window is merely activated again, and no
// sequence of input may trap the program in a loop.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/graphics/PngFile.h"
#include "tests/support/ChildProcess.h"

namespace {

using namespace std::chrono_literals;

class UiDriver : public ::testing::Test {
 protected:
  std::string Dir;
  void SetUp() override {
    char tmpl[] = "/tmp/ui-driver-test-XXXXXX";
    Dir = mkdtemp(tmpl);
  }
  void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = Dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // Runs the driver on `script`; true when it ran to the end and exited 0 within the limit.
  ::testing::AssertionResult Run(const std::string& script, std::chrono::milliseconds limit = 20s) {
    TChildProcess driver({MARUK_UI_DRIVER, Write("script.txt", script)});
    if (!driver.Started()) return ::testing::AssertionFailure() << "cannot start " << MARUK_UI_DRIVER;
    if (!driver.WaitFor(limit)) return ::testing::AssertionFailure() << "still running after " << limit.count() << " ms";
    if (driver.ExitCode() != 0)
      return ::testing::AssertionFailure() << "exit " << driver.ExitCode() << ": " << driver.Output();
    return ::testing::AssertionSuccess();
  }
  TDib Shot(const std::string& name) {
    std::ifstream in(Dir + "/" + name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return LoadPng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  static int Differences(const TDib& a, const TDib& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
    return n;
  }
};

TEST_F(UiDriver, ActivatingTheWindowAgainLeavesThePictureAsItWas) {
  // Alternating bytes put an edge at every step: the grid's red verticals would show again
  // wherever a later activation drew the grid over the waveforms.
  std::string rom;
  for (int i = 0; i < 100; ++i) rom += char(i % 2 ? 0xFF : 0x00);
  const std::string path = Write("edges.rom", rom), empty = Write("empty.rom", "");
  const std::string script = "click 240 340\nopen " + path + "\nshot " + Dir + "/loaded.png\n" +
                             // the dialog cancelled
                             "click 240 340\nkey Escape\nshot " + Dir + "/cancelled.png\n" +
                             // a file that is not there, its message box closed
                             "click 240 340\nopen " + Dir + "/missing.rom\nkey Return\nshot " + Dir + "/missing.png\n" +
                             // an empty file (a beep, nothing else)
                             "click 240 340\nopen " + empty + "\nshot " + Dir + "/empty.png\n";
  ASSERT_TRUE(Run(script));
  const TDib loaded = Shot("loaded.png");
  ASSERT_FALSE(loaded.Empty());
  for (const char* after : {"cancelled.png", "missing.png", "empty.png"}) EXPECT_EQ(Differences(loaded, Shot(after)), 0) << after;
}

TEST_F(UiDriver, ClickingTheDisabledMainWindowDuringTheOpenDialogDoesNotTrapTheProgram) {
  // Return on the focused "Open ROM" opens the dialog; a click on the main window behind it,
  // then any key.
  EXPECT_TRUE(Run("key Return\nwait 100\nclick 250 250\ntype x\nwait 100\nkey Escape\n"));
}

TEST_F(UiDriver, WithoutItsFontsTheProgramStillRunsAndDraws) {
  const std::string script = "shot " + Dir + "/window.png\nclick 240 340\nwait 200\nkey Escape\n";
  auto run = [&](const std::map<std::string, std::string>& env) {
    TChildProcess driver({MARUK_UI_DRIVER, Write("script.txt", script)}, env);
    EXPECT_TRUE(driver.WaitFor(20s));
    EXPECT_EQ(driver.ExitCode(), 0) << driver.Output();
    return Shot("window.png");
  };
  // "Open ROM" is drawn from the bitmap font, from an outline font in its place, or not at all:
  // where the caption goes, the first two differ from the third.
  auto captionDifferences = [](const TDib& a, const TDib& b) {
    int n = 0;
    for (int y = 330; y < 346; ++y)
      for (int x = 205; x < 275; ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
    return n;
  };
  const TDib usual = run({});
  const TDib fallback = run({{"MARUK_BITMAP_FONT", Dir + "/no-such-font.fon"}});
  const TDib none = run({{"MARUK_BITMAP_FONT", ""}, {"FONTCONFIG_FILE", Write("empty.conf", "<fontconfig></fontconfig>")}});
  EXPECT_GT(captionDifferences(usual, none), 30);
  EXPECT_GT(captionDifferences(fallback, none), 30);
  EXPECT_GT(captionDifferences(usual, fallback), 0);  // another font
  // Without any font the frame and controls are drawn all the same.
  EXPECT_EQ(none.GetPixel(200, 110), usual.GetPixel(200, 110));
}

}  // namespace
