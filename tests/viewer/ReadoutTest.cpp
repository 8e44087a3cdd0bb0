// The readout under the pointer: a hint over the timeline picture, driven by real pointer and
// keyboard input on the headless screen, its pause timed by the virtual clock.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "platform/widgets/HintWindow.h"
#include "tests/viewer/ViewerFixture.h"

namespace {

class Readout : public TViewerFixture<TPresentRecorder> {
 protected:

  // A ROM whose byte at each address is the address's low byte, except those given.
  void Load(const std::map<int, uint8_t>& bytes = {}, size_t size = 2048) {
    std::vector<uint8_t> rom(size);
    for (size_t a = 0; a < size; ++a) rom[a] = uint8_t(a);
    for (const auto& [a, b] : bytes) rom[size_t(a)] = b;
    const std::string path = Dir + "/t.rom";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(rom.data()), std::streamsize(rom.size()));
    Form->LoadRom(path);
    App->ProcessMessages();
  }
  TPoint OnPicture(int x, int y) { return Form->Image1->ClientToScreen({x, y}); }
  void MoveTo(TPoint p) {
    Display.MoveMouse(p.X, p.Y);
    App->ProcessMessages();
  }
  // Rests the pointer on the picture's point until the hint pause is over.
  void Rest(int x, int y) {
    MoveTo(OnPicture(x, y));
    Display.Advance(500);
    App->ProcessMessages();
  }
  bool HintShown() { return App->HintWindow() && App->HintWindow()->Shown(); }
  std::string HintText() { return HintShown() ? App->HintWindow()->Caption() : "(no hint)"; }
  TRect HintRect() {
    TRect r;
    GetWindowRect(App->HintWindow()->Handle(), &r);
    return r;
  }
};

TEST_F(Readout, BeforeAnyLoadItSaysThereIsNoRomAfterThePause) {
  ASSERT_FALSE(Form->sGroupBox1->Enabled());
  MoveTo(OnPicture(100, 40));
  Display.Advance(499);
  EXPECT_FALSE(HintShown()) << "shown before the pause was over";
  Display.Advance(1);
  EXPECT_EQ(HintText(), "No ROM loaded");
}

TEST_F(Readout, ItTellsTheAddressTheByteAndTheLaneInDecimalOrHex) {
  Load({{42, 0xA5}, {43, 0x5A}});
  ClickNext(Form->sUpDown1, 5);
  // Step 37 of the view at 5 is address 42; lane 2 (D2, bit 2 of 0xA5) is high.
  Rest(37 * 8 + 3, 2 * 16 + 5);
  EXPECT_EQ(HintText(), "Address 42\nByte 0xA5 = 1010 0101\nD2 FLD1: 1 (high)");
  // The next step, lane 2 again: bit 2 of 0x5A is low.
  MoveTo(OnPicture(38 * 8 + 1, 2 * 16 + 5));
  EXPECT_EQ(HintText(), "Address 43\nByte 0x5A = 0101 1010\nD2 FLD1: 0 (low)");

  Form->sCheckBox2->SetChecked(true);  // "Hex view"
  MoveTo(OnPicture(37 * 8 + 3, 7 * 16 + 15));  // the last pixel row belongs to lane 7
  EXPECT_EQ(HintText(), "Address 002A\nByte 0xA5 = 1010 0101\nD7 cnt. A5-A10: 1 (high)");
  // The last column of the picture is step 64.
  MoveTo(OnPicture(512, 0));
  EXPECT_EQ(HintText(), "Address 0045\nByte 0x45 = 0100 0101\nD0 SYNC: 1 (high)");
}

TEST_F(Readout, TheLaneIsNamedAsItIsLabelled) {
  Load({{0, 0x10}});
  Form->sCheckBox1->SetChecked(true);  // "D4 used as sync"
  Rest(3, 4 * 16 + 8);
  EXPECT_EQ(HintText(), "Address 0\nByte 0x10 = 0001 0000\nD4 Vsync: 1 (high)");
  MoveTo(OnPicture(3, 8));
  EXPECT_EQ(HintText(), "Address 0\nByte 0x10 = 0001 0000\nD0 Hsync: 0 (low)");
}

TEST_F(Readout, StepsWithoutAByteSayWhy) {
  Load({}, 16);
  Rest(20 * 8, 8);
  EXPECT_EQ(HintText(), "Address 20\nNo byte: the file has 16 bytes\nD0 SYNC: 0 (low)");
  // The view near its end: steps past address 2047 show no byte of any file.
  Form->sUpDown1->SetPosition(2040);
  MoveTo(Form->sLabel1->ClientToScreen({5, 5}));
  Rest(9 * 8 + 3, 8);
  EXPECT_EQ(HintText(), "Address 2049\nNo byte: only the first 2048 bytes are shown\nD0 SYNC: 0 (low)");
}

TEST_F(Readout, ItFollowsThePointerWithoutRepaintingTheWindowOrCoveringThePointer) {
  Load();
  Rest(100, 20);
  ASSERT_TRUE(HintShown());
  App->ProcessMessages();
  Display.Pump();
  const int before = Display.Presents[Form->Handle()];
  TRect last = HintRect();
  for (int x = 108; x < 400; x += 8) {
    const TPoint p = OnPicture(x, 20);
    MoveTo(p);
    Display.Pump();
    const TRect r = HintRect();
    EXPECT_FALSE(r.Contains(p.X, p.Y)) << "the hint covers the pointer at " << x;
    EXPECT_EQ(r.Left - last.Left, 8) << "the hint moved with the pointer, one step";
    last = r;
    char address[32];
    std::snprintf(address, sizeof address, "Address %d\n", x / 8);
    EXPECT_EQ(HintText().rfind(address, 0), 0u) << HintText();
  }
  EXPECT_EQ(Display.Presents[Form->Handle()], before) << "the window was repainted while the hint moved";
  // Inside one step the hint stays where it is.
  MoveTo(OnPicture(396 + 3, 22));
  EXPECT_EQ(HintRect(), last);
}

TEST_F(Readout, NearTheScreensBottomItShowsAbove) {
  Load();
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  SetWindowPos(Form->Handle(), nullptr, 192, screenHeight - 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  App->ProcessMessages();
  const TPoint p = OnPicture(100, 120);
  MoveTo(p);
  Display.Advance(500);
  ASSERT_TRUE(HintShown());
  const TRect r = HintRect();
  EXPECT_LE(r.Bottom, p.Y) << "above the pointer";
  EXPECT_LE(r.Bottom, screenHeight);
}

TEST_F(Readout, ItGoesWhenThePointerLeavesOnAClickAKeyOrWhenTheWindowIsDeactivated) {
  Load();
  Rest(100, 20);
  ASSERT_TRUE(HintShown());
  // Off the picture (onto the lane captions): gone, and back after the pause.
  MoveTo(Form->sLabel1->ClientToScreen({5, 5}));
  EXPECT_FALSE(HintShown());
  Rest(100, 20);
  EXPECT_TRUE(HintShown());

  // A click: gone, and not back while the pointer stays on the picture.
  const TPoint p = OnPicture(100, 20);
  Display.Press();
  Display.Release();
  App->ProcessMessages();
  EXPECT_FALSE(HintShown());
  Rest(140, 30);
  Display.Advance(2000);
  EXPECT_FALSE(HintShown());
  MoveTo(Form->sLabel1->ClientToScreen({5, 5}));
  Rest(100, 20);
  EXPECT_TRUE(HintShown()) << "back after the pointer left and came again";

  // A key.
  Display.Key(VK_SHIFT);
  App->ProcessMessages();
  EXPECT_FALSE(HintShown());
  MoveTo(Form->sLabel1->ClientToScreen({5, 5}));
  Rest(100, 20);
  ASSERT_TRUE(HintShown());

  // Another program takes the focus.
  Display.TakeFocus(nullptr);
  App->ProcessMessages();
  EXPECT_FALSE(HintShown());
  EXPECT_EQ(GetActiveWindow(), nullptr);
  // While the window is inactive the pointer gets no readout, even coming back.
  MoveTo(Form->sLabel1->ClientToScreen({5, 5}));
  Rest(100, 20);
  EXPECT_FALSE(HintShown());
  (void)p;
}

TEST_F(Readout, ItIsATopLevelWindowThatTakesNeitherFocusNorInput) {
  Load();
  Rest(100, 20);
  ASSERT_TRUE(HintShown());
  HWND hint = App->HintWindow()->Handle();
  EXPECT_EQ(GetAncestorRoot(hint), hint);
  EXPECT_EQ(GetActiveWindow(), Form->Handle());
  EXPECT_TRUE(GetWindowExStyle(hint) & WS_EX_NOACTIVATE);
  // A point of the hint belongs to what lies under it.
  const TRect r = HintRect();
  EXPECT_NE(WindowFromPoint({r.Left + r.Width() / 2, r.Top + r.Height() / 2}), hint);
}

TEST_F(Readout, ARereadFileUpdatesTheReadoutShownNow) {
  Load({{12, 0x00}});
  Rest(12 * 8 + 3, 8);
  ASSERT_EQ(HintText(), "Address 12\nByte 0x00 = 0000 0000\nD0 SYNC: 0 (low)");
  std::vector<uint8_t> rom(2048, 0x01);
  std::ofstream(Dir + "/t.rom", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(rom.data()), std::streamsize(rom.size()));
  Display.Advance(200);
  EXPECT_EQ(HintText(), "Address 12\nByte 0x01 = 0000 0001\nD0 SYNC: 1 (high)");
}

TEST_F(Readout, TheHintIsPaintedFromTheSkinsHintSectionOrPlainWithoutASkin) {
  Load();
  Rest(100, 20);
  ASSERT_TRUE(HintShown());
  Display.Pump();
  TRect r = HintRect();
  // The stored skin's hint: a light blue gradient inside a border whose corners are cut away.
  const COLORREF inside = Display.ScreenPixel(r.Left + r.Width() / 2, r.Top + r.Height() - 8);
  EXPECT_NE(inside, GetSysColor(COLOR_INFOBK));
  EXPECT_GT(GetBValue(inside), GetRValue(inside)) << "bluish";
  TRegion outline;
  ASSERT_NE(GetWindowRgn(App->HintWindow()->Handle(), &outline), RGN_ERROR) << "shaped by the border mask";
  EXPECT_FALSE(outline.Contains(0, 0));
  EXPECT_TRUE(outline.Contains(r.Width() / 2, r.Height() / 2));

  // Without a skin: the plain look, a one-pixel frame in the info text colour around the info
  // background.
  Form->sSkinManager1->SetActive(false);
  MoveTo(Form->sLabel1->ClientToScreen({5, 5}));
  Rest(100, 20);
  Display.Pump();
  r = HintRect();
  EXPECT_EQ(Display.ScreenPixel(r.Left, r.Top), GetSysColor(COLOR_INFOTEXT));
  EXPECT_EQ(Display.ScreenPixel(r.Right - 1, r.Top + 5), GetSysColor(COLOR_INFOTEXT));
  EXPECT_EQ(Display.ScreenPixel(r.Left + 2, r.Top + 2), GetSysColor(COLOR_INFOBK));
  EXPECT_EQ(GetWindowRgn(App->HintWindow()->Handle(), &outline), RGN_ERROR) << "a plain rectangle";
}

}  // namespace
