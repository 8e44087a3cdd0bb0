// Watching files: real kernel reports reach the message loop on the headless screen, whose
// virtual clock times the quiet period; on the real display a change wakes a blocked wait.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/display/x11/X11Display.h"
#include "platform/windowing/WindowSystem.h"
#include "tests/windowing/WindowingTestSupport.h"
// Xlib last: its macros would clash with the headers above.
#include "tests/support/XServer.h"

namespace {

constexpr UINT kChanged = WM_APP + 7;

// The headless screen, remembering what the message loop asked to wait on.
class TWaitRecordingDisplay : public THeadlessDisplay {
 public:
  std::vector<std::vector<int>> Waits;
  void Wait(int64_t timeoutMs, const std::vector<int>& descriptors) override {
    Waits.push_back(descriptors);
    THeadlessDisplay::Wait(timeoutMs, descriptors);
  }
};

class FileWatch : public HeadlessTest {
 protected:
  std::string Dir;
  HWND Window = nullptr;

  void SetUp() override {
    HeadlessTest::SetUp();
    char tmpl[] = "/tmp/file-watch-test-XXXXXX";
    Dir = mkdtemp(tmpl);
    Window = CreateRecorded(WS_POPUP, 0, 0, 10, 10);
    TRecorder::Get().Clear();
  }
  void TearDown() override {
    HeadlessTest::TearDown();
    std::system(("rm -rf '" + Dir + "'").c_str());
  }
  std::string Path(const std::string& name) const { return Dir + "/" + name; }
  static void Write(const std::string& path, const std::string& text, bool append = false) {
    std::ofstream(path, append ? std::ios::app : std::ios::trunc) << text;
  }
  // The change messages the window got, by watch id.
  std::vector<WPARAM> Told() const {
    std::vector<WPARAM> ids;
    for (const TRecorded& r : TRecorder::Get().Log)
      if (r.Message == kChanged) ids.push_back(r.WParam);
    return ids;
  }
};

TEST_F(FileWatch, ARewriteInPlaceIsToldOnceWhenItHasSettled) {
  const std::string rom = Path("a.rom");
  Write(rom, "one");
  const uintptr_t id = WatchFileChanges(Window, kChanged, rom, 200);
  ASSERT_NE(id, 0u);
  Display.Advance(1000);
  EXPECT_TRUE(Told().empty()) << "nothing changed yet";

  Write(rom, "two");
  Display.Advance(150);
  Write(rom, "three", true);  // still being written: the quiet time starts again
  Display.Advance(199);
  EXPECT_TRUE(Told().empty());
  Display.Advance(1);
  EXPECT_EQ(Told(), std::vector<WPARAM>{id});

  // Nothing more comes, and the loop has nothing left to wait for but input.
  Display.Advance(5000);
  EXPECT_EQ(Told().size(), 1u);
  EXPECT_EQ(NextTimerDue(), UINT64_MAX);
  StopWatchingChanges(id);
}

// A busy folder (a build's, /tmp) does not wake the program for writes to its other files;
// only names coming and going there can concern the watched file.
TEST_F(FileWatch, WritesToOtherFilesBesideTheWatchedOneDoNotWakeTheProgram) {
  const std::string rom = Path("a.rom"), other = Path("log.txt");
  Write(rom, "one");
  Write(other, "x");
  const uintptr_t id = WatchFileChanges(Window, kChanged, rom, 200);
  ASSERT_NE(id, 0u);
  for (int i = 0; i < 5; ++i) Write(other, "more", true);
  pollfd fd{FileWatchDescriptor(), POLLIN, 0};
  EXPECT_EQ(poll(&fd, 1, 0), 0) << "woken by writes to another file";
  Write(rom, "two");
  EXPECT_EQ(poll(&fd, 1, 0), 1);
  Display.Advance(200);
  EXPECT_EQ(Told(), std::vector<WPARAM>{id});
  StopWatchingChanges(id);
}

TEST_F(FileWatch, TheFileItselfIsWatchedAlsoThroughALinkFromElsewhere) {
  // The watched name is a link into another folder: rewriting the file it points to changes
  // nothing in the watched folder, only the file itself. After the file there is replaced by a
  // new one, the new one is watched.
  const std::string elsewhere = Path("build");
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0755), 0);
  const std::string target = elsewhere + "/out.bin", link = Path("rom.bin");
  Write(target, "first");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  const uintptr_t id = WatchFileChanges(Window, kChanged, link, 200);
  ASSERT_NE(id, 0u);
  Write(target, "second");
  Display.Advance(200);
  EXPECT_EQ(Told().size(), 1u);

  Write(elsewhere + "/out.tmp", "third");
  ASSERT_EQ(rename((elsewhere + "/out.tmp").c_str(), target.c_str()), 0);
  Display.Advance(200);
  EXPECT_EQ(Told().size(), 2u) << "the old file was deleted";
  Write(target, "fourth");
  Display.Advance(200);
  EXPECT_EQ(Told().size(), 3u) << "the new file behind the link is watched";
  StopWatchingChanges(id);
}

TEST_F(FileWatch, AFolderWatchCountsItsFilesButNotEditorsLeftovers) {
  const std::string skin = Path("Skin");
  ASSERT_EQ(mkdir(skin.c_str(), 0755), 0);
  const uintptr_t id = WatchFolderChanges(Window, kChanged, skin, 300);
  ASSERT_NE(id, 0u);
  for (const char* leftover : {".Options.dat.swp", "Options.dat~", "4913", "#Options.dat#", "x.tmp"})
    Write(skin + "/" + leftover, "x");
  Display.Advance(1000);
  EXPECT_TRUE(Told().empty());
  Write(skin + "/Options.dat", "[GLOBALINFO]\n");
  Display.Advance(299);
  EXPECT_TRUE(Told().empty());
  Display.Advance(1);
  EXPECT_EQ(Told(), std::vector<WPARAM>{id});
  Write(skin + "/Picture.bmp", "BM");
  Display.Advance(300);
  EXPECT_EQ(Told().size(), 2u);
  StopWatchingChanges(id);
}

TEST_F(FileWatch, TwoWatchesOnOneFolderAreToldApartAndStopApart) {
  // a.rom is not there yet: only the folder can tell of its coming.
  const std::string a = Path("a.rom"), b = Path("b.rom");
  Write(b, "b");
  const uintptr_t watchA = WatchFileChanges(Window, kChanged, a, 200);
  const uintptr_t watchFolder = WatchFolderChanges(Window, kChanged, Dir, 300);
  ASSERT_NE(watchA, 0u);
  ASSERT_NE(watchFolder, 0u);
  Write(b, "bb");
  Display.Advance(300);
  EXPECT_EQ(Told(), std::vector<WPARAM>{watchFolder});
  EXPECT_TRUE(StopWatchingChanges(watchFolder));
  EXPECT_FALSE(StopWatchingChanges(watchFolder));
  Write(a, "a");
  Display.Advance(300);
  EXPECT_EQ(Told(), (std::vector<WPARAM>{watchFolder, watchA})) << "the shared folder is still watched for a";
  StopWatchingChanges(watchA);
  Write(a, "aaa");
  Display.Advance(300);
  EXPECT_EQ(Told().size(), 2u);
}

TEST_F(FileWatch, NothingIsToldAfterTheWatchStopsOrItsWindowGoes) {
  const std::string rom = Path("c.rom");
  EXPECT_EQ(WatchFileChanges(Window, kChanged, Path("no-such-folder/c.rom"), 200), 0u);
  const uintptr_t id = WatchFileChanges(Window, kChanged, rom, 200);
  ASSERT_NE(id, 0u) << "a file that is not there yet can be watched for";
  Write(rom, "changed");
  Display.Pump();
  StopWatchingChanges(id);
  Display.Advance(500);
  EXPECT_TRUE(Told().empty());

  WatchFileChanges(Window, kChanged, rom, 200);
  Write(rom, "changed again");
  Display.Pump();
  DestroyWindow(Window);
  Display.Advance(500);
  EXPECT_TRUE(Told().empty());
  EXPECT_EQ(NextTimerDue(), UINT64_MAX);
}

// Waits once for a message; the headless screen ends the wait with a quit, taken off here.
void WaitOnce() {
  WaitMessage();
  TMsg m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(FileWatchWait, TheLoopWaitsOnTheWatchesOnlyWhileThereAreAny) {
  TWaitRecordingDisplay display;
  SetDisplay(&display);
  TRecorder::RegisterClasses();
  HWND w = CreateWindowEx(0, "Recorder", "", WS_POPUP, 0, 0, 10, 10, nullptr);
  char tmpl[] = "/tmp/file-watch-wait-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  WaitOnce();
  ASSERT_FALSE(display.Waits.empty());
  EXPECT_TRUE(display.Waits.back().empty());

  const uintptr_t id = WatchFileChanges(w, kChanged, dir + "/x.rom", 200);
  WaitOnce();
  ASSERT_EQ(display.Waits.back().size(), 1u);
  const int fd = display.Waits.back()[0];
  pollfd p{fd, POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 0), 0) << "nothing to read while nothing changed";
  std::ofstream(dir + "/x.rom") << "new";
  EXPECT_EQ(poll(&p, 1, 0), 1) << "a change wakes the wait";

  StopWatchingChanges(id);
  WaitOnce();
  EXPECT_TRUE(display.Waits.back().empty());
  SetDisplay(nullptr);
  std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(FileWatchOnScreen, AChangeWakesTheRealDisplaysWait) {
  using namespace std::chrono_literals;
  TXServer server;
  if (!server.Dpy()) GTEST_SKIP() << "Needs an X server: " << server.Problem();
  const char* savedDisplay = std::getenv("DISPLAY");
  const std::string before = savedDisplay ? savedDisplay : "";
  setenv("DISPLAY", server.Name().c_str(), 1);
  char tmpl[] = "/tmp/file-watch-screen-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  {
    TX11Display display;
    SetDisplay(&display);
    TRecorder::RegisterClasses();
    HWND w = CreateWindowEx(0, "Recorder", "", WS_POPUP | WS_VISIBLE, 10, 10, 40, 30, nullptr);
    const std::string rom = dir + "/y.rom";
    ASSERT_NE(WatchFileChanges(w, kChanged, rom, 50), 0u);
    constexpr uintptr_t kWatchdog = 5;
    SetTimer(w, kWatchdog, 5000);
    // Drain what showing the window brought, then block until the change is told.
    TMsg m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    // The change is told once it has settled: never sooner than 50 ms after writing began.
    std::atomic<std::chrono::steady_clock::time_point> writing{};
    std::thread writer([rom, &writing] {
      std::this_thread::sleep_for(200ms);
      writing = std::chrono::steady_clock::now();
      std::ofstream(rom) << "written by another program";
    });
    const auto start = std::chrono::steady_clock::now();
    UINT got = 0;
    while (!got && GetMessage(&m)) {
      if (m.message == kChanged || (m.message == WM_TIMER && m.wParam == kWatchdog)) got = m.message;
      DispatchMessage(&m);
    }
    const auto told = std::chrono::steady_clock::now();
    writer.join();
    EXPECT_EQ(got, kChanged) << "the wait did not wake for the change";
    // The settling is counted on the display's millisecond clock, whose ticks may fall up to a
    // millisecond short of the same time on this finer clock.
    EXPECT_GE(told - writing.load(), 49ms) << "told before the writing had settled";
    EXPECT_LT(told - start, 2s);
    SetDisplay(nullptr);
  }
  if (savedDisplay) setenv("DISPLAY", before.c_str(), 1);
  else unsetenv("DISPLAY");
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
