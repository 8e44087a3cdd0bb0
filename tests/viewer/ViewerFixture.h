#pragma once
// The viewer's window on the headless screen, shown and settled, with a fresh temporary folder
// for the files a test writes; both go away after the test. `TScreen` is the headless display
// or one that watches what the window shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"
#include "viewer/Maruk_rom.h"

// The headless screen, counting what each window put on the screen and keeping the pictures
// one window (`Watched`) showed.
class TPresentRecorder : public THeadlessDisplay {
 public:
  std::map<HWND, int> Presents;
  HWND Watched = nullptr;
  std::vector<std::pair<TRegion, TDib>> Shown;
  void Present(HWND hwnd, const TDib& pixels, const TRegion& dirty) override {
    ++Presents[hwnd];
    if (hwnd == Watched) Shown.emplace_back(dirty, pixels);
    THeadlessDisplay::Present(hwnd, pixels, dirty);
  }
};

template <class TScreen = THeadlessDisplay>
class TViewerFixture : public ::testing::Test {
 protected:
  TScreen Display;
  TApplication* App = nullptr;
  TForm1* Form = nullptr;
  std::string Dir;

  void SetUp() override {
    ViewerState().Reset();
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = App->CreateForm<TForm1>();
    Form->Show();
    App->ProcessMessages();
    Display.Pump();
    char tmpl[] = "/tmp/viewer-test-XXXXXX";
    Dir = mkdtemp(tmpl);
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
    ViewerState().Reset();
    std::system(("rm -rf '" + Dir + "'").c_str());
  }
  // Clicks the right-hand arrow of an up-down control `times` times.
  void ClickNext(TsUpDown* u, int times) {
    for (int i = 0; i < times; ++i) {
      const TPoint p = u->ClientToScreen({u->Width() - 10, u->Height() / 2});
      Display.Click(p.X, p.Y);
      App->ProcessMessages();
    }
  }
};
