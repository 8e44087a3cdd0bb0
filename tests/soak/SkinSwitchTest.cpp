// Switching skins through the system menu, as a user does: a round trip A -> B -> A gives
// back the very same screen, and repeating it does not make the heap grow.
// MARUK_SKIN_ROUND_TRIPS sets the number of round trips of the memory run (default 12).
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "frame/sSkinProvider.h"
#include "platform/graphics/PngFile.h"
#include "tests/soak/SoakDriver.h"
#include "tests/soak/SoakFixture.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MARUK_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MARUK_ASAN 1
#endif
#ifdef MARUK_ASAN
// The sanitizer runtime counts what is allocated (malloc statistics do not see its heap).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes the program holds on the heap right now.
size_t HeapInUse() {
#ifdef MARUK_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * size_t(sysconf(_SC_PAGESIZE));
}

class SkinSwitch : public SoakFixture {
 protected:
  void SetUp() override {
    SoakFixture::SetUp();
    // Without fades a control's face is final as soon as it is painted.
    Form->sBitBtn1->AnimatEvents = 0;
    Form->sBitBtn2->AnimatEvents = 0;
    Form->sCheckBox1->AnimatEvents = 0;
    Form->sCheckBox2->AnimatEvents = 0;
    Form->LoadRom(Dir + "/good.rom");
    Settle();
  }

  TPoint CaptionPoint() {
    TRect r;
    GetWindowRect(Form->Handle(), &r);
    return {r.Left + 300, r.Top + 10};
  }

  // Right click on the caption, "Available skins", then the skin's item; the pointer is then
  // taken away from the window so that nothing is shown hot.
  void ChooseSkin(const std::string& name) {
    bool chosen = false;
    Display.Schedule([this] {
      const TRect list = TSoakDriver::ShownMenuItemRect(Form, false, "Available skins");
      ASSERT_FALSE(list.IsEmpty());
      Display.Click((list.Left + list.Right) / 2, (list.Top + list.Bottom) / 2);
    });
    Display.Schedule([this, name, &chosen] {
      const TRect item = TSoakDriver::ShownMenuItemRect(Form, true, name);
      if (item.IsEmpty()) {
        ADD_FAILURE() << "no item for " << name;
        Display.Key(VK_ESCAPE);
        Display.Key(VK_ESCAPE);
        return;
      }
      Display.Click((item.Left + item.Right) / 2, (item.Top + item.Bottom) / 2);
      chosen = true;
    });
    const TPoint caption = CaptionPoint();
    Display.Click(caption.X, caption.Y, 1);
    Settle();
    ASSERT_TRUE(chosen);
    ASSERT_TRUE(Display.ScriptDone());
    ASSERT_EQ(Form->sSkinManager1->SkinName(), name);
    Display.MoveMouse(1270, 1010);
    Settle();
  }

  static int Differences(const TDib& a, const TDib& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
    return n;
  }

  // A -> B -> A from the current skin A: the screen of the second A equals the first.
  void RoundTrip(const std::string& b) {
    const std::string a = Form->sSkinManager1->SkinName();
    Display.MoveMouse(1270, 1010);
    Settle();
    const TDib first = Display.Screenshot();
    ChooseSkin(b);
    const TDib other = Display.Screenshot();
    ChooseSkin(a);
    const TDib again = Display.Screenshot();
    EXPECT_GT(Differences(first, other), 10000) << a << " and " << b << " look alike";
    const int differ = Differences(first, again);
    EXPECT_EQ(differ, 0) << a << " -> " << b << " -> " << a;
    if (differ) {
      SavePngFile(first, ::testing::TempDir() + "skin-round-trip-first.png");
      SavePngFile(again, ::testing::TempDir() + "skin-round-trip-again.png");
    }
  }
};

TEST_F(SkinSwitch, ARoundTripThroughTheSystemMenuGivesBackTheSameScreen) {
  const std::string internal = Form->sSkinManager1->SkinName();
  RoundTrip("Graphite");
  RoundTrip("Amber");
  ChooseSkin("Graphite");
  RoundTrip("Amber");
  RoundTrip(internal);
}

TEST_F(SkinSwitch, RoundTripsDoNotMakeTheHeapGrow) {
  const int rounds = int(std::strtol(std::getenv("MARUK_SKIN_ROUND_TRIPS") ? std::getenv("MARUK_SKIN_ROUND_TRIPS") : "12",
                                     nullptr, 10));
  ASSERT_GE(rounds, 4);
  const std::string a = Form->sSkinManager1->SkinName();
  // The first trips fill caches that are kept (fonts, the skin list).
  for (int i = 0; i < 2; ++i) {
    ChooseSkin("Graphite");
    ChooseSkin(a);
  }
  // Reserved first: the list's own growth would show as the heap's.
  std::vector<double> heap;
  heap.reserve(size_t(rounds));
  const size_t rssBefore = ResidentBytes();
  for (int i = 0; i < rounds; ++i) {
    ChooseSkin("Graphite");
    ChooseSkin(a);
    heap.push_back(double(HeapInUse()));
  }
  const size_t rssAfter = ResidentBytes();
  // Least-squares slope of the heap over the trips.
  double meanX = 0, meanY = 0;
  for (size_t i = 0; i < heap.size(); ++i) {
    meanX += double(i);
    meanY += heap[i];
  }
  meanX /= double(heap.size());
  meanY /= double(heap.size());
  double sxy = 0, sxx = 0;
  for (size_t i = 0; i < heap.size(); ++i) {
    sxy += (double(i) - meanX) * (heap[i] - meanY);
    sxx += (double(i) - meanX) * (double(i) - meanX);
  }
  const double slope = sxy / sxx;
  const double lowest = *std::min_element(heap.begin(), heap.end());
  const double highest = *std::max_element(heap.begin(), heap.end());
  std::printf("skin round trips: %d; heap in use first %.0f, last %.0f, lowest %.0f, highest %.0f bytes; "
              "slope %.1f bytes a trip; resident %zu -> %zu KiB\n",
              rounds, heap.front(), heap.back(), lowest, highest, slope, rssBefore / 1024, rssAfter / 1024);
  // After the first trips the heap is the same at the end of every trip: a leak of even one
  // small object a trip shows as a climb.
  EXPECT_LT(slope, 1.0);
  EXPECT_LE(highest - lowest, 256.0);
}

}  // namespace
