// The viewer as a desktop program, on the headless display: files dropped on its window, the
// file named on the command line, and a screen shown at twice the size.
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "dialogs/sDialogs.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/widgets/MessageBox.h"
#include "viewer/Maruk_rom.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

class Desktop : public ::testing::Test {
 protected:
  std::unique_ptr<THeadlessDisplay> Display;
  TApplication* App = nullptr;
  TForm1* Form = nullptr;
  std::string Dir;

  void SetUp() override {
    char tmpl[] = "/tmp/viewer-desktop-XXXXXX";
    Dir = mkdtemp(tmpl);
  }
  void TearDown() override {
    if (App) TComponent::Free(App);
    SetDisplay(nullptr);
    ViewerState().Reset();
    std::system(("rm -rf '" + Dir + "'").c_str());
  }
  // The window as the program makes it; `show` false leaves showing to the test.
  void Start(int scale = 1, bool show = true, TSize screen = {1280, 1024}) {
    ViewerState().Reset();
    Display = std::make_unique<THeadlessDisplay>(screen.cx, screen.cy, TRect{0, 0, screen.cx, screen.cy - 40}, scale);
    SetDisplay(Display.get());
    App = new TApplication(nullptr);
    Form = App->CreateForm<TForm1>();
    if (show) {
      Form->Show();
      App->ProcessMessages();
    }
  }
  std::string WriteRom(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = Dir + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  // Runs the application's loop (with its default error handler) until idle; returns the
  // caption and text of an error box that came up meanwhile (closed again), else "".
  std::string RunLoop() {
    std::string boxText;
    Display->Schedule([this, &boxText] {
      // The skinned dialog while a skin is active, the plain box otherwise.
      if (auto* box = dynamic_cast<TMessageForm*>(Screen->ActiveForm())) {
        boxText = box->Caption() + "|" + box->MessageText();
        Display->Key(VK_RETURN);
      } else if (auto* skinned = dynamic_cast<TsMessageForm*>(Screen->ActiveForm())) {
        boxText = skinned->Caption() + "|" + skinned->MessageText();
        Display->Key(VK_RETURN);
      }
    });
    App->ProcessMessages();
    return boxText;
  }
  TPoint OnScreen(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
  int32_t Lane(int row, int lane) { return ViewerState().LaneTable[size_t(row)][size_t(lane)]; }
  COLORREF Pic(int x, int y) { return Form->Image1->Picture()->Bitmap()->Dib().GetPixel(x, y); }
};

TEST_F(Desktop, AFileDroppedOnTheWindowOpensAsFromTheDialog) {
  Start();
  const TPoint p = OnScreen(Form->Image1, 100, 60);
  Display->DropFile(WriteRom("a5.rom", {0xA5}), p.X, p.Y);
  EXPECT_EQ(RunLoop(), "");
  EXPECT_EQ(ViewerState().RomSize, 1u);
  const int expected[8] = {-1, 0, -1, 0, 0, -1, 0, -1};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(Lane(0, k), expected[k]) << k;
  EXPECT_TRUE(Form->sGroupBox1->Enabled());
  EXPECT_EQ(Form->sLabel9->Caption(), "0");
  EXPECT_EQ(Pic(3, 2), kBlue);  // lane 0 high at step 0
}

TEST_F(Desktop, DroppingSeveralFilesOpensTheFirst) {
  Start();
  const TPoint p = OnScreen(Form->sBitBtn2, 5, 5);  // anywhere on the window, a button too
  Display->DropFiles({WriteRom("first.rom", {0x01}), WriteRom("second.rom", {0xFE})}, p.X, p.Y);
  EXPECT_EQ(RunLoop(), "");
  EXPECT_EQ(Lane(0, 0), -1);
  EXPECT_EQ(Lane(0, 1), 0);
}

TEST_F(Desktop, ADroppedFileThatCannotBeOpenedIsReportedAsFromTheDialog) {
  Start();
  const TPoint p = OnScreen(Form->Image1, 10, 10);
  Display->DropFile(Dir + "/missing.rom", p.X, p.Y);
  EXPECT_EQ(RunLoop(), App->Title() + "|File not found.");
  EXPECT_FALSE(Form->sGroupBox1->Enabled());
}

TEST_F(Desktop, ADropWhileTheOpenDialogIsUpIsIgnored) {
  Start();
  const std::string rom = WriteRom("a.rom", {0xFF});
  const TPoint p = OnScreen(Form->Image1, 10, 10);
  Display->Schedule([&] { Display->DropFile(rom, p.X, p.Y); });
  Display->ScheduleWait(10);
  Display->Schedule([&] { Display->Key(VK_ESCAPE); });  // then the dialog is cancelled
  const TPoint button = OnScreen(Form->sBitBtn1, 10, 10);
  Display->Click(button.X, button.Y);
  App->ProcessMessages();
  App->ProcessMessages();
  EXPECT_EQ(ViewerState().RomSize, 0u);
  EXPECT_FALSE(Form->sGroupBox1->Enabled());
}

TEST_F(Desktop, TheStartFileIsLoadedOnceTheWindowHasItsGrid) {
  Start(1, false);
  Form->LoadRomWhenShown(WriteRom("a5.rom", {0xA5}));
  Form->Show();
  EXPECT_EQ(RunLoop(), "");
  EXPECT_TRUE(Form->sGroupBox1->Enabled());
  EXPECT_EQ(Lane(0, 0), -1);
  // The waveforms lie over the grid: the grid's red column 0 stays (no edge at address 0)
  // and lane 0's high level is blue.
  EXPECT_EQ(Pic(0, 5), kRed);
  EXPECT_EQ(Pic(3, 2), kBlue);
  EXPECT_EQ(Pic(260, 16), kRed);  // a grid row inside a step, untouched by the waveforms
}

TEST_F(Desktop, AStartFileThatCannotBeOpenedShowsTheDialogsErrorBox) {
  Start(1, false);
  Form->LoadRomWhenShown(Dir + "/missing.rom");
  Form->Show();
  EXPECT_EQ(RunLoop(), App->Title() + "|File not found.");
  EXPECT_FALSE(Form->sGroupBox1->Enabled());
  EXPECT_EQ(ViewerState().RomSize, 0u);
}

TEST_F(Desktop, AtTwiceTheSizeAClickLandsOnTheSameControl) {
  Start(2);
  const TPoint p = OnScreen(Form->sCheckBox1, 5, 10);
  // The logical position taken as a screen position lies at half of it: not on the box.
  Display->Click(p.X, p.Y);
  App->ProcessMessages();
  EXPECT_FALSE(Form->sCheckBox1->Checked());
  // Either screen pixel of the doubled pixel reaches the box.
  Display->Click(2 * p.X + 1, 2 * p.Y + 1);
  App->ProcessMessages();
  EXPECT_TRUE(Form->sCheckBox1->Checked());
  EXPECT_EQ(Form->sLabel1->Caption(), "D0 Hsync");
  Display->Click(2 * p.X, 2 * p.Y);
  App->ProcessMessages();
  EXPECT_FALSE(Form->sCheckBox1->Checked());
}

TEST_F(Desktop, AWindowThatWouldStandOffTheScreenIsMovedOntoIt) {
  // 1280 x 1024 at twice the size: a screen of 640 x 512 with a work area of 640 x 472.
  Start(2, true, {640, 512});
  TRect r;
  GetWindowRect(Form->Handle(), &r);
  EXPECT_EQ(r, Bounds(0, 107, 640, 269));
}

TEST_F(Desktop, AtTwiceTheSizeEveryPixelIsATwoByTwoBlock) {
  Start(2);
  const TDib screen = Display->Screenshot();
  ASSERT_EQ(screen.Width(), 2560);
  ASSERT_EQ(screen.Height(), 2048);
  const TDib window = Display->WindowShot(Form->Handle());
  TRect bounds;
  GetWindowRect(Form->Handle(), &bounds);
  ASSERT_EQ(bounds, Bounds(192, 107, 640, 269));  // the window system still works at 1x
  int compared = 0, different = 0;
  // The middle of the window (the frame's rounded corners let the desktop through).
  for (int y = 30; y < window.Height() - 30; y += 3)
    for (int x = 30; x < window.Width() - 30; x += 3) {
      const COLORREF c = window.GetPixel(x, y);
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          ++compared;
          different += screen.GetPixel(2 * (bounds.Left + x) + dx, 2 * (bounds.Top + y) + dy) != c;
        }
    }
  EXPECT_GT(compared, 10000);
  EXPECT_EQ(different, 0);
}

}  // namespace
