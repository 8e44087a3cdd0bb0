// Live reload of the skin in use: a copy of a shipped skin in the user's skin folder is edited
// while the viewer shows it. Real file-system changes reach the loop on the headless screen;
// the virtual clock times the quiet period before the folder is read again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "dialogs/sDialogs.h"
#include "platform/graphics/BmpFile.h"
#include "tests/viewer/ViewerFixture.h"

namespace {

class SkinReload : public TViewerFixture<TPresentRecorder> {
 protected:
  TsSkinManager* Manager = nullptr;
  std::string SavedHome, Skin;
  bool HadHome = false;
  int Changes = 0;                   // skin changes the manager announced
  std::vector<std::string> Messages;  // texts of the skinned message boxes that came up

  void SetUp() override {
    TViewerFixture::SetUp();
    Skin = Dir + "/Skins/LiveSkin";
    std::system(("mkdir -p '" + Dir + "/Skins' && cp -r '" + std::string(MARUK_SHIPPED_SKINS) + "Graphite' '" + Skin +
                 "'").c_str());
    const char* home = std::getenv("HOME");
    HadHome = home != nullptr;
    if (home) SavedHome = home;
    setenv("HOME", Dir.c_str(), 1);  // "c:\Skins" is $HOME/Skins
    Manager = Form->sSkinManager1;
    Manager->SetSkinName("LiveSkin");
    Settle(1000);
    ASSERT_EQ(Manager->SkinData().SkinPath.empty(), false) << "the skin comes from its folder";
    Manager->OnAfterChange = [this](TObject*) { ++Changes; };
    Display.Watched = Form->Handle();
  }
  void TearDown() override {
    TViewerFixture::TearDown();
    if (HadHome) setenv("HOME", SavedHome.c_str(), 1);
    else unsetenv("HOME");
  }

  // Lets `ms` pass; a skinned message box that comes up meanwhile is read and closed.
  void Settle(uint64_t ms) {
    for (uint64_t passed = 0; passed < ms; passed += 50) {
      if (Display.ScriptDone()) Display.Schedule([this] { CloseBox(); });
      Display.Advance(50);
      App->ProcessMessages();
    }
  }
  // Runs when a modal loop waits: the box is read and closed once it is up.
  void CloseBox() {
    if (auto* box = dynamic_cast<TsMessageForm*>(Screen->ActiveForm())) {
      Messages.push_back(box->MessageText());
      Display.Key(VK_RETURN);
    } else {
      Display.Schedule([this] { CloseBox(); });
    }
  }
  std::string Read(const std::string& name) {
    std::ifstream in(Skin + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // Saves a file the way many editors do: a new file renamed over the old one.
  void Save(const std::string& name, const std::string& content) {
    const std::string temp = Skin + "/." + name + ".tmp";
    std::ofstream(temp, std::ios::binary) << content;
    ASSERT_EQ(rename(temp.c_str(), (Skin + "/" + name).c_str()), 0);
  }
  int CountOnScreen(COLORREF colour) {
    const TDib shot = Display.Screenshot();
    TRect r;
    GetWindowRect(Form->Handle(), &r);
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += shot.GetPixel(x, y) == colour;
    return n;
  }
  // Every pixel the window showed since `from` is the pixel it shows at the end: nothing was
  // shown half done (a flash of background, a frame without its controls).
  void ExpectNothingShownHalfDone(size_t from) {
    const TDib final = Display.WindowShot(Form->Handle());
    int wrong = 0;
    for (size_t i = from; i < Display.Shown.size(); ++i)
      for (const TRect& r : Display.Shown[i].first.Rects())
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, final.Height()); ++y)
          for (int x = std::max(r.Left, 0); x < std::min(r.Right, final.Width()); ++x)
            wrong += Display.Shown[i].second.GetPixel(x, y) != final.GetPixel(x, y);
    EXPECT_EQ(wrong, 0) << "pixels shown on the way that the end does not show";
  }
};

// A colour found nowhere in the skin, exactly as it will be drawn (the bitmap font's pixels
// are pure).
constexpr COLORREF kMarker = RGB(3, 254, 1);

TEST_F(SkinReload, ASavedColourShowsOnceTheWritingHasSettled) {
  ASSERT_EQ(CountOnScreen(kMarker), 0);
  std::string options = Read("Options.dat");
  const std::string from = "[GROUPBOX]\nCOLOR=11258575\nBEVEL=0\nSHADOWBLUR=6\nSHADOWOFFSET=3\nSHADOWCOLOR=0\n"
                           "SHADOWTRANSPARENCY=60\nSHADOWENABLED=FALSE\nRESERVEDBOOLEAN=FALSE\nFONTCOLOR=15724011";
  const size_t at = options.find(from);
  ASSERT_NE(at, std::string::npos);
  options.replace(at + from.size() - 8, 8, std::to_string(kMarker));  // the "Data view" caption's colour
  const size_t shownBefore = Display.Shown.size();
  Save("Options.dat", options);
  Display.Advance(299);
  App->ProcessMessages();
  EXPECT_EQ(Changes, 0) << "read before the writing had settled";
  Settle(1);
  EXPECT_EQ(Changes, 1);
  Settle(500);
  EXPECT_GT(CountOnScreen(kMarker), 20) << "the group box's caption in the new colour";
  EXPECT_EQ(Manager->SkinName(), "LiveSkin");
  EXPECT_TRUE(Messages.empty());
  ExpectNothingShownHalfDone(shownBefore);
}

TEST_F(SkinReload, AReplacedPictureShows) {
  // The master bitmap painted over in one colour, fuchsia (transparent) kept.
  TDib picture = LoadBmpFile(Skin + "/Graphite.bmp").As24();
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (picture.GetPixel(x, y) != RGB(255, 0, 255)) picture.SetPixel(x, y, kMarker);
  ASSERT_EQ(CountOnScreen(kMarker), 0);
  const size_t shownBefore = Display.Shown.size();
  SaveBmpFile(picture, 24, Skin + "/Graphite.bmp");  // written in place
  Settle(800);
  EXPECT_EQ(Changes, 1);
  EXPECT_GT(CountOnScreen(kMarker), 100) << "borders and buttons drawn from the new picture";
  ExpectNothingShownHalfDone(shownBefore);
}

TEST_F(SkinReload, AReloadThatFailsKeepsTheSkinAndSaysWhyOnce) {
  const TDib before = Display.WindowShot(Form->Handle());
  const int sections = int(Manager->Sections().size());
  // The master bitmap goes away: the skin cannot be read.
  ASSERT_EQ(rename((Skin + "/Graphite.bmp").c_str(), (Dir + "/Graphite.bmp").c_str()), 0);
  Settle(3000);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("The skin \"LiveSkin\" cannot be loaded from " + Skin + "/"), std::string::npos)
      << Messages[0];
  EXPECT_NE(Messages[0].find("The skin in use stays active."), std::string::npos);
  EXPECT_EQ(Manager->SkinName(), "LiveSkin");
  EXPECT_EQ(int(Manager->Sections().size()), sections);
  const TDib after = Display.WindowShot(Form->Handle());
  int differing = 0;
  for (int y = 0; y < after.Height(); ++y)
    for (int x = 0; x < after.Width(); ++x) differing += after.GetPixel(x, y) != before.GetPixel(x, y);
  EXPECT_EQ(differing, 0) << "the skin on screen stays as it was";

  // The next change is told again; the picture back in its place mends the skin.
  std::ofstream(Skin + "/Options.dat", std::ios::app) << "\n";
  Settle(1000);
  EXPECT_EQ(Messages.size(), 2u);
  ASSERT_EQ(rename((Dir + "/Graphite.bmp").c_str(), (Skin + "/Graphite.bmp").c_str()), 0);
  Settle(1000);
  EXPECT_EQ(Messages.size(), 2u);
  EXPECT_EQ(Changes, 3);
}

TEST_F(SkinReload, NothingIsReadWhileNothingChangesOrOnlyAnEditorsFilesDo) {
  std::ofstream(Skin + "/.Options.dat.swp") << "vim";
  std::ofstream(Skin + "/Options.dat~") << "backup";
  Settle(2000);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(NextTimerDue(), UINT64_MAX) << "the loop has nothing to wake up for";
}

TEST_F(SkinReload, OnlyTheFolderOfTheSkinInUseIsWatched) {
  // Back to the internal skin: its folder no longer matters.
  Manager->SetSkinName("BlueGlass (internal)");
  Settle(500);
  Changes = 0;
  std::ofstream(Skin + "/Options.dat", std::ios::app) << "\n";
  Display.Pump();
  EXPECT_EQ(NextTimerDue(), UINT64_MAX) << "the change is not even noticed";
  Settle(1000);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(Manager->SkinName(), "BlueGlass (internal)");
}

}  // namespace
