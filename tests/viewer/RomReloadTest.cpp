// The shown ROM follows its file: rewritten in place, renamed over, deleted and created again,
// cut short, made unreadable. Real file-system changes reach the program's loop on the
// headless screen; the virtual clock times the quiet period before the file is read again.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/viewer/ViewerFixture.h"

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

class RomReload : public TViewerFixture<> {
 protected:
  std::string Rom;
  std::vector<std::string> Shown;  // messages shown to the user, in order

  void SetUp() override {
    TViewerFixture::SetUp();
    App->OnException = [this](TObject*, const std::exception& e) { Shown.push_back(e.what()); };
    Rom = Dir + "/timing.rom";
  }

  static void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  static std::vector<uint8_t> Filled(size_t size, uint8_t value) { return std::vector<uint8_t>(size, value); }
  // Loads the file as "Open ROM" does, then lets the loop settle.
  void Open(const std::vector<uint8_t>& bytes) {
    Write(Rom, bytes);
    Form->LoadRom(Rom);
    Display.Advance(1000);
  }
  uint8_t Row(int r) {
    uint8_t b = 0;
    for (int k = 0; k < 8; ++k)
      if (ViewerState().LaneTable[size_t(r)][size_t(k)]) b |= uint8_t(1 << k);
    return b;
  }
  COLORREF Pic(int x, int y) { return Form->Image1->Picture()->Bitmap()->Dib().GetPixel(x, y); }
};

TEST_F(RomReload, ARewriteInPlaceIsShownKeepingThePositionAndTheCheckBoxes) {
  Open(Filled(2048, 0x00));
  ClickNext(Form->sUpDown1, 5);
  Form->sCheckBox2->SetChecked(true);
  Form->sCheckBox1->SetChecked(true);
  // The high level of lane 0 at the picture's step 1 (address 6): low before.
  EXPECT_EQ(Pic(12, 14), kBlue);

  Write(Rom, Filled(2048, 0x01));
  Display.Advance(199);
  EXPECT_EQ(Row(6), 0x00) << "read before the writing had settled";
  Display.Advance(1);
  EXPECT_EQ(Row(6), 0x01);
  EXPECT_EQ(Form->sUpDown1->Position(), 5);
  EXPECT_TRUE(Form->sCheckBox2->Checked());
  EXPECT_EQ(Form->sLabel1->Caption(), "D0 Hsync");
  EXPECT_EQ(Form->sLabel9->Caption(), "0005") << "the captions are written again, in hex";
  EXPECT_EQ(Pic(12, 2), kBlue) << "redrawn: lane 0 is high";
  EXPECT_EQ(Pic(12, 14), kWhite);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(RomReload, AFileRenamedOverTheShownOneIsShown) {
  Open(Filled(2048, 0x00));
  Write(Dir + "/timing.rom.part", Filled(2048, 0x80));
  Display.Advance(500);
  EXPECT_EQ(Row(0), 0x00) << "another file in the folder";
  ASSERT_EQ(rename((Dir + "/timing.rom.part").c_str(), Rom.c_str()), 0);
  Display.Advance(200);
  EXPECT_EQ(Row(0), 0x80);
  // And the new file is followed in turn.
  Write(Rom, Filled(2048, 0x40));
  Display.Advance(200);
  EXPECT_EQ(Row(0), 0x40);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(RomReload, ADeletedFileKeepsThePictureSilentlyUntilItComesBack) {
  Open(Filled(2048, 0x02));
  ASSERT_EQ(unlink(Rom.c_str()), 0);
  Display.Advance(1000);
  EXPECT_EQ(Row(0), 0x02);
  EXPECT_TRUE(Form->sGroupBox1->Enabled());
  EXPECT_TRUE(Shown.empty()) << Shown.front();
  Write(Rom, Filled(2048, 0x04));
  Display.Advance(200);
  EXPECT_EQ(Row(0), 0x04);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(RomReload, ATruncatedFileIsReadAsOpenRomReadsIt) {
  Open(Filled(2048, 0xFF));
  // Shorter: the rows past its end keep the earlier file's bits.
  Write(Rom, Filled(16, 0x10));
  Display.Advance(200);
  EXPECT_EQ(Row(15), 0x10);
  EXPECT_EQ(Row(16), 0xFF);
  EXPECT_EQ(ViewerState().RomSize, 16u);
  // Empty: a beep, and the picture stays.
  const int beeps = Display.BeepCount();
  ASSERT_EQ(truncate(Rom.c_str(), 0), 0);
  Display.Advance(200);
  EXPECT_EQ(Display.BeepCount(), beeps + 1);
  EXPECT_EQ(Row(15), 0x10);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(RomReload, AFileMadeUnreadableSaysSoOnceUntilItCanBeReadAgain) {
  Open(Filled(2048, 0x08));
  // Something that is no regular file takes the name: refused as Open ROM refuses it.
  ASSERT_EQ(unlink(Rom.c_str()), 0);
  ASSERT_EQ(mkfifo(Rom.c_str(), 0644), 0);
  Display.Advance(200);
  EXPECT_EQ(Shown, std::vector<std::string>{"File access denied"});
  EXPECT_EQ(Row(0), 0x08);
  // Still unreadable after further changes: nothing more is said.
  ASSERT_EQ(chmod(Rom.c_str(), 0600), 0);
  Display.Advance(200);
  ASSERT_EQ(unlink(Rom.c_str()), 0);
  ASSERT_EQ(mkdir(Rom.c_str(), 0755), 0);
  Display.Advance(200);
  EXPECT_EQ(Shown.size(), 1u);
  // Readable again, then unreadable again: said again.
  ASSERT_EQ(rmdir(Rom.c_str()), 0);
  Write(Rom, Filled(2048, 0x20));
  Display.Advance(200);
  EXPECT_EQ(Row(0), 0x20);
  ASSERT_EQ(unlink(Rom.c_str()), 0);
  ASSERT_EQ(mkfifo(Rom.c_str(), 0644), 0);
  Display.Advance(200);
  EXPECT_EQ(Shown.size(), 2u);
}

TEST_F(RomReload, NothingIsReadWhileNothingChanges) {
  Open(Filled(2048, 0x01));
  // Once changed and read again: the reading itself is no change.
  Write(Rom, Filled(2048, 0x00));
  Display.Advance(200);
  ASSERT_EQ(Row(0), 0x00);
  // A mark on a level row that a reading would paint over.
  TCanvas* canvas = Form->Image1->Canvas();
  canvas->Pen()->SetColor(TColor(0x00FF00));
  canvas->MoveTo(100, 2);
  canvas->LineTo(101, 2);
  ASSERT_EQ(Pic(100, 2), RGB(0, 255, 0));
  Write(Dir + "/other.rom", Filled(10, 0x01));  // a neighbour changes
  Display.Advance(60 * 1000);
  EXPECT_EQ(Pic(100, 2), RGB(0, 255, 0));
  EXPECT_EQ(NextTimerDue(), UINT64_MAX) << "the loop has nothing to wake up for";
}

TEST_F(RomReload, OpeningAnotherFileFollowsThatOneInstead) {
  Open(Filled(2048, 0x00));
  const std::string second = Dir + "/second.rom";
  Write(second, Filled(2048, 0x03));
  Form->LoadRom(second);
  EXPECT_EQ(Form->ShownRomPath(), second);
  Write(Rom, Filled(2048, 0x05));
  Display.Advance(500);
  EXPECT_EQ(Row(0), 0x03) << "the first file is no longer shown";
  Write(second, Filled(2048, 0x06));
  Display.Advance(200);
  EXPECT_EQ(Row(0), 0x06);
  // A failed open keeps the shown file and its watch.
  EXPECT_THROW(Form->LoadRom(Dir + "/missing.rom"), EInOutError);
  Write(second, Filled(2048, 0x07));
  Display.Advance(200);
  EXPECT_EQ(Row(0), 0x07);
}

}  // namespace
