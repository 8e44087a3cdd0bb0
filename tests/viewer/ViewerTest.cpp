#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/display/headless/HeadlessDisplay.h"
#include "dialogs/sDialogs.h"
#include "platform/widgets/MessageBox.h"
#include "tests/viewer/ViewerFixture.h"
#include "viewer/Maruk_rom.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kBlack = 0, kWhite = RGB(255, 255, 255);

class Viewer : public TViewerFixture<> {
 protected:
  std::vector<std::string> Immutable;

  void TearDown() override {
    for (const std::string& f : Immutable) SetImmutable(f, false);
    TViewerFixture::TearDown();
  }

  std::string WriteRom(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = Dir + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  static bool SetImmutable(const std::string& path, bool on) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return ok;
  }

  void Click(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.Click(p.X, p.Y);
    App->ProcessMessages();  // the application's loop, with its default error handler
  }
  // Presses "Open ROM" and answers the dialog with `path`; returns the text of an error box
  // if one came up (which is then closed), else "".
  std::string Load(const std::string& path) {
    std::string boxText;
    Display.Schedule([this, path] { Display.TypeText(path); });
    Display.Schedule([this] { Display.Key(VK_RETURN); });
    Display.Schedule([this, &boxText] {
      // The toolkit's box, or the skinned dialog that stands in for it while a skin is active.
      if (auto* box = dynamic_cast<TMessageForm*>(Screen->ActiveForm())) {
        boxText = box->Caption() + "|" + box->MessageText();
        Display.Key(VK_RETURN);
      } else if (auto* dialog = dynamic_cast<TsMessageForm*>(Screen->ActiveForm())) {
        boxText = dialog->Caption() + "|" + dialog->MessageText();
        Display.Key(VK_RETURN);
      }
    });
    Click(Form->sBitBtn1, 10, 10);
    return boxText;
  }
  int32_t Lane(int row, int lane) { return ViewerState().LaneTable[size_t(row)][size_t(lane)]; }
  COLORREF Pic(int x, int y) { return Form->Image1->Picture()->Bitmap()->Dib().GetPixel(x, y); }
  void ClickUpDown(TsUpDown* u, bool next, int times = 1) {
    for (int i = 0; i < times; ++i) Click(u, next ? u->Width() - 10 : 10, u->Height() / 2);
  }
  std::vector<std::string> Captions() {
    return {Form->sLabel9->Caption(), Form->sLabel10->Caption(), Form->sLabel11->Caption()};
  }
};

TEST_F(Viewer, StartsWithTheStoredLayoutAndAGrid) {
  EXPECT_EQ(Form->Caption(), "Maruk timeline ROM viewer");
  TRect r;
  GetWindowRect(Form->Handle(), &r);
  EXPECT_EQ(r, Bounds(192, 107, 640, 269));
  EXPECT_FALSE(Form->sGroupBox1->Enabled());
  EXPECT_EQ(Form->sLabel9->Caption(), "         ");
  EXPECT_EQ(Form->sLabel11->Caption(), "        ");
  EXPECT_EQ(Form->Image1->Picture()->Width(), 513);
  EXPECT_EQ(Form->Image1->Picture()->Height(), 129);
  // The grid: red horizontals, red verticals at steps 0, 32 and 64, black ones between.
  EXPECT_EQ(Pic(100, 16), kRed);
  EXPECT_EQ(Pic(0, 5), kRed);
  EXPECT_EQ(Pic(256, 5), kRed);
  EXPECT_EQ(Pic(512, 5), kRed);
  EXPECT_EQ(Pic(8, 5), kBlack);
  EXPECT_EQ(Pic(4, 5), kWhite);
  EXPECT_EQ(Pic(512, 128), kWhite);  // the end points of the last lines are not painted
  EXPECT_EQ(Pic(511, 128), kRed);
  EXPECT_EQ(Form->OpenDialog1->Filter, "Maruk rom files|*.bin;*.rom");
  EXPECT_EQ(Form->sSkinManager1->SkinName(), "BlueGlass (internal)");
  EXPECT_EQ(Form->sSkinManager1->SkinDirectory(), "c:\\Skins");
}

TEST(StoredLayout, TheSkinManagerListsItsPropertiesInTheirPublishedOrder) {
  std::istringstream in(Form1Layout());
  std::vector<std::string> names;
  bool inManager = false;
  for (std::string line; std::getline(in, line);) {
    if (line.find("object sSkinManager1:") != std::string::npos) inManager = true;
    else if (inManager && line == "  end") break;
    // The manager's own properties are indented by four blanks.
    else if (inManager && line.size() > 4 && line.compare(0, 4, "    ") == 0 && line[4] != ' ' && line[4] != '/') {
      const std::string name = line.substr(4, line.find_first_of(" .=", 4) - 4);
      if (names.empty() || names.back() != name) names.push_back(name);
      if (name == "SkinInfo") {
        EXPECT_EQ(line, "    SkinInfo = '4.81'");
      }
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"InternalSkins", "MenuSupport", "SkinDirectory", "SkinName", "SkinInfo"}));
}

TEST_F(Viewer, ByteA5SplitsIntoItsLanesAndShowsOnThePicture) {
  EXPECT_EQ(Load(WriteRom("one.rom", {0xA5})), "");
  EXPECT_EQ(ViewerState().RomSize, 1u);
  const int expected[8] = {-1, 0, -1, 0, 0, -1, 0, -1};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(Lane(0, k), expected[k]) << k;
  EXPECT_TRUE(Form->sGroupBox1->Enabled());
  EXPECT_EQ(Captions(), (std::vector<std::string>{"0", "32", "64"}));
  // Step 0 at address 0: no edge strokes, so the red column 0 stays; lane 0 high (rows 2, 3 blue).
  EXPECT_EQ(Pic(0, 5), kRed);
  EXPECT_EQ(Pic(3, 2), kBlue);
  EXPECT_EQ(Pic(3, 14), kWhite);
  // Lane 1 low: rows 16+13 and 16+14 blue, 16+2 white.
  EXPECT_EQ(Pic(3, 16 + 14), kBlue);
  EXPECT_EQ(Pic(3, 16 + 2), kWhite);
  // Step 1 (address 1, all lanes 0): lane 0 falls -> a blue edge over the band.
  EXPECT_EQ(Pic(8, 5), kBlue);
  EXPECT_EQ(Pic(9, 5), kBlue);
  // Lane 1 stays low: black then white column.
  EXPECT_EQ(Pic(8, 16 + 5), kBlack);
  EXPECT_EQ(Pic(9, 16 + 5), kWhite);
}

TEST_F(Viewer, ShortFileAfterALongOneKeepsTheOlderRows) {
  std::vector<uint8_t> big(2048);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 7 + 1);
  Load(WriteRom("big.bin", big));
  Load(WriteRom("small.bin", {0x01}));
  EXPECT_EQ(ViewerState().RomSize, 1u);
  EXPECT_EQ(Lane(0, 0), -1);
  for (int k = 1; k < 8; ++k) EXPECT_EQ(Lane(0, k), 0);
  for (int r = 1; r < 2048; ++r) EXPECT_EQ(Lane(r, 0), (big[size_t(r)] & 1) ? -1 : 0) << r;
  EXPECT_EQ(Lane(2048, 0), 0);
}

TEST_F(Viewer, LongFileIsReadWholeButFeedsOnly2048Rows) {
  std::vector<uint8_t> rom(3000, 0xFF);
  EXPECT_EQ(Load(WriteRom("long.rom", rom)), "");
  EXPECT_EQ(ViewerState().RomImage.size(), 3000u);
  EXPECT_EQ(Lane(2047, 7), -1);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(Lane(2048, k), 0);
}

TEST_F(Viewer, UpDownClicksMoveTheViewAndCaptions) {
  Load(WriteRom("a.rom", std::vector<uint8_t>(100, 0x55)));
  ClickUpDown(Form->sUpDown1, true, 10);
  EXPECT_EQ(Form->sUpDown1->Position(), 10);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"10", "42", "74"}));
  // Hex view changes only the next update.
  Click(Form->sCheckBox2, 5, 10);
  EXPECT_TRUE(Form->sCheckBox2->Checked());
  EXPECT_EQ(Captions(), (std::vector<std::string>{"10", "42", "74"}));
  ClickUpDown(Form->sUpDown1, false);
  ClickUpDown(Form->sUpDown1, true);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"000A", "002A", "004A"}));
  // At a position above 0 the step-0 edge repaints column 0: no red left there.
  EXPECT_NE(Pic(0, 5), kRed);
}

TEST_F(Viewer, SecondUpDownJumpsFromItsOwnMultipleOf32) {
  Load(WriteRom("a.rom", {0x00}));
  ClickUpDown(Form->sUpDown1, true, 5);
  ClickUpDown(Form->sUpDown2, true);
  EXPECT_EQ(Form->sUpDown1->Position(), 32);
  EXPECT_EQ(Form->sUpDown2->Position(), 32);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"32", "64", "96"}));
}

TEST_F(Viewer, ClicksAtTheEndChangeNothing) {
  Load(WriteRom("a.rom", {0x00}));
  for (int i = 0; i < 64; ++i) ClickUpDown(Form->sUpDown2, true);
  EXPECT_EQ(Form->sUpDown2->Position(), 2048);
  EXPECT_EQ(Form->sUpDown1->Position(), 2048);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"2048", "2080", "2112"}));
  Form->sLabel9->SetCaption("marker");
  ClickUpDown(Form->sUpDown2, true);
  ClickUpDown(Form->sUpDown1, true);
  EXPECT_EQ(Form->sLabel9->Caption(), "marker");  // no click event, no redraw
  EXPECT_EQ(Form->sUpDown1->Position(), 2048);
}

TEST_F(Viewer, CheckBoxRelabelsTheSyncLanes) {
  Click(Form->sCheckBox1, 5, 10);
  EXPECT_EQ(Form->sLabel1->Caption(), "D0 Hsync");
  EXPECT_EQ(Form->sLabel5->Caption(), "D4 Vsync");
  Click(Form->sCheckBox1, 5, 10);
  EXPECT_EQ(Form->sLabel1->Caption(), "D0 SYNC");
  EXPECT_EQ(Form->sLabel5->Caption(), "D4");
}

TEST_F(Viewer, FailuresAreReportedAndLeaveTheViewAlone) {
  const std::string title = App->Title();
  EXPECT_EQ(Load(Dir + "/missing.rom"), title + "|File not found.");
  EXPECT_FALSE(Form->sGroupBox1->Enabled());
  const std::string ro = WriteRom("ro.rom", {1, 2, 3});
  chmod(ro.c_str(), 0444);
  if (geteuid() == 0) {
    if (!SetImmutable(ro, true)) GTEST_SKIP() << "cannot make a file read-only for root here";
    Immutable.push_back(ro);
  }
  EXPECT_EQ(Load(ro), title + "|File access denied.");
  EXPECT_FALSE(Form->sGroupBox1->Enabled());
  EXPECT_FALSE(ViewerState().File.IsOpen());
}

TEST_F(Viewer, EmptyFileBeepsAndCancelChangesNothing) {
  Load(WriteRom("a.rom", {0xFF}));
  const int beeps = Display.BeepCount();
  EXPECT_EQ(Load(WriteRom("empty.rom", {})), "");
  EXPECT_EQ(Display.BeepCount(), beeps + 1);
  EXPECT_EQ(ViewerState().RomSize, 0u);
  EXPECT_EQ(Lane(0, 0), -1);
  EXPECT_EQ(ViewerState().RomImage.size(), 1u);
  // Cancelling the dialog.
  Display.Schedule([this] { Display.Key(VK_ESCAPE); });
  Click(Form->sBitBtn1, 10, 10);
  EXPECT_EQ(ViewerState().RomSize, 0u);
}

TEST_F(Viewer, SwitchingToAnotherWindowAndBackKeepsTheWaveforms) {
  std::vector<uint8_t> rom(100);
  for (size_t i = 0; i < rom.size(); ++i) rom[i] = i % 2 ? 0xFF : 0x00;
  Load(WriteRom("edges.rom", rom));
  ASSERT_EQ(Pic(256, 5), kBlue);  // an edge where the grid has a red vertical
  const TDib before = Form->Image1->Picture()->Bitmap()->Dib();
  auto* other = new TForm(App);
  other->SetBounds(700, 500, 200, 100);
  other->Show();
  Display.Pump();
  ASSERT_NE(GetActiveWindow(), Form->Handle());
  SetActiveWindow(Form->Handle());
  Display.Pump();
  ASSERT_EQ(GetActiveWindow(), Form->Handle());
  const TDib& after = Form->Image1->Picture()->Bitmap()->Dib();
  int changed = 0;
  for (int y = 0; y < after.Height(); ++y)
    for (int x = 0; x < after.Width(); ++x) changed += after.GetPixel(x, y) != before.GetPixel(x, y);
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(Pic(256, 5), kBlue);
}

TEST_F(Viewer, AShortReadIsReportedAndTheNextLoadClosesTheHandle) {
  // A file that shrinks between the size query and the read.
  const std::string path = WriteRom("shrink.rom", std::vector<uint8_t>(64, 1));
  TRomFile f;
  ASSERT_EQ(f.Open(path), 0);
  uint64_t size = 0;
  ASSERT_EQ(f.Size(size), 0);
  ASSERT_EQ(truncate(path.c_str(), 10), 0);
  std::vector<uint8_t> buf(size);
  EXPECT_EQ(f.Read(buf.data(), buf.size()), 100);
  EXPECT_EQ(std::string(EInOutError(100).what()), "Read beyond end of file");
  EXPECT_EQ(std::string(EInOutError(7).what()), "I/O error 7");
  EXPECT_TRUE(f.IsOpen());
}

TEST_F(Viewer, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
  Load(WriteRom("a5.rom", {0xA5}));
  const std::string fifo = Dir + "/pipe.rom";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // A pipe nobody writes to, an endless device and a folder: each refused at once.
  for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/urandom"), Dir}) {
    try {
      Form->LoadRom(path);
      ADD_FAILURE() << path << " was loaded";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), 5) << path;
      EXPECT_EQ(std::string(e.what()), "File access denied") << path;
    }
    EXPECT_FALSE(ViewerState().File.IsOpen()) << path;
    EXPECT_EQ(ViewerState().RomSize, 1u) << path;
    EXPECT_EQ(Lane(0, 0), -1) << path;
  }
}

TEST_F(Viewer, AHugeFileIsReadOnlyAsFarAsTheLanesGo) {
  // 1 GiB with nothing stored but its first and its 2048th byte.
  const std::string path = Dir + "/huge.rom";
  {
    std::ofstream out(path, std::ios::binary);
    out.put(char(0x01));
    out.seekp(2047);
    out.put(char(0x80));
  }
  ASSERT_EQ(truncate(path.c_str(), 1ll << 30), 0);
  EXPECT_EQ(Load(path), "");
  EXPECT_EQ(ViewerState().RomSize, 1u << 30);
  EXPECT_EQ(ViewerState().RomImage.size(), 2048u);
  EXPECT_EQ(Lane(0, 0), -1);
  EXPECT_EQ(Lane(2047, 7), -1);
  EXPECT_EQ(Lane(2048, 7), 0);
  // Up to 16 MiB a file is held whole.
  const std::string limit = Dir + "/limit.rom";
  { std::ofstream(limit, std::ios::binary).put(char(0x02)); }
  ASSERT_EQ(truncate(limit.c_str(), 16 << 20), 0);
  EXPECT_EQ(Load(limit), "");
  EXPECT_EQ(ViewerState().RomImage.size(), size_t(16) << 20);
  EXPECT_EQ(Lane(0, 1), -1);
}

TEST_F(Viewer, ANameThatIsNotUtf8OpensFromTheDialog) {
  const std::string bad = "bad\xff\xfe.rom";
  WriteRom(bad, {0x04});
  std::string boxText = "none";
  // The dialog lists [..] and the file; the second row is the file.
  Display.Schedule([this] { Display.TypeText(Dir); });
  Display.Schedule([this] { Display.Key(VK_RETURN); });
  Display.Schedule([this] { Display.Key(VK_TAB); });
  Display.Schedule([this] { Display.Key(VK_DOWN); });
  Display.Schedule([this] { Display.Key(VK_DOWN); });
  Display.Schedule([this] { Display.Key(VK_RETURN); });
  Click(Form->sBitBtn1, 10, 10);
  EXPECT_EQ(ViewerState().RomSize, 1u);
  EXPECT_EQ(Lane(0, 2), -1);
  EXPECT_NO_THROW(Form->LoadRom(Dir + "/" + bad));
}

}  // namespace
