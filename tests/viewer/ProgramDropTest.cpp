// Files dropped on the program's window by a real drag-and-drop source (XDND, as a file manager
// drags "text/uri-list"), on a bare X server and under a window manager: a percent-escaped name
// opens that ROM, of several files the first opens, and what cannot be opened (a folder, a URI
// that names no local file) is reported in the same message box as when it is named on the
// command line, which opens a file exactly as "Open ROM" does.
#include "tests/viewer/ProgramOnScreen.h"
// Xlib and its macros last.
#include "tests/support/XdndSource.h"

namespace {

using namespace std::chrono_literals;

constexpr unsigned long kWhite = 0xFFFFFF, kBlue = 0x0000FF;

class ProgramDrop : public TProgramOnScreen, public ::testing::WithParamInterface<bool> {
 protected:
  bool Managed() const override { return GetParam(); }

  bool StartShowingTheGrid() {
    return Start() && WaitUntil([&] { return PicturePixel(4, 2) == kWhite; });
  }
  bool DropOnWindow(const std::vector<std::string>& uris) {
    const TGeometry g = MainGeometry();
    TXdndSource source(Dpy);
    return source.DropUris(Main(), uris, g.X + 200, g.Y + 100);
  }
  // The message box the program shows: its window's pixels, empty when none came up.
  TPixels MessageBox() {
    ::Window box = 0;
    WaitUntil([&] {
      for (::Window w : TopLevels())
        if (w != Main()) box = w;
      return box != 0;
    });
    const TGeometry g = GeometryOf(box);
    return box ? Settled([&] { return PixelsOf(box, 0, 0, g.W, g.H); }) : TPixels{};
  }
  // The box that the program shows for `name` given on its command line.
  TPixels MessageBoxForCommandLine(const std::string& name) {
    Program.reset();
    if (!Start({name})) return {};
    return MessageBox();
  }
};

TEST_P(ProgramDrop, APercentEscapedFileNameOpensThatRom) {
  ASSERT_TRUE(StartShowingTheGrid()) << Program->Output();
  const std::string rom = WriteRom(std::vector<uint8_t>(100, 0xFF), "a rom #1 %41 \xC3\xBC.rom");
  ASSERT_TRUE(DropOnWindow({"file://" + TXdndSource::Escape(rom)}));
  EXPECT_TRUE(WaitUntil([&] { return PicturePixel(4, 2) == kBlue; })) << std::hex << PicturePixel(4, 2);
  EXPECT_EQ(TopLevels().size(), 1u) << "an error box came up";
  ExpectIdle("a drop");
}

TEST_P(ProgramDrop, OfSeveralFilesTheFirstOpens) {
  ASSERT_TRUE(StartShowingTheGrid()) << Program->Output();
  TXdndSource source(Dpy);
  const TGeometry g = MainGeometry();
  ASSERT_TRUE(source.Drop(Main(), {WriteRom(std::vector<uint8_t>(100, 0xFF)), "/nonexistent/second.rom"}, g.X + 200,
                          g.Y + 100));
  EXPECT_TRUE(WaitUntil([&] { return PicturePixel(4, 2) == kBlue; })) << std::hex << PicturePixel(4, 2);
  EXPECT_EQ(TopLevels().size(), 1u) << "the second file was opened too";
}

TEST_P(ProgramDrop, AFolderIsReportedAsWhenNamedOnTheCommandLine) {
  ASSERT_TRUE(StartShowingTheGrid()) << Program->Output();
  ASSERT_TRUE(DropOnWindow({"file://" + Folder()}));
  const TPixels dropped = MessageBox();
  ASSERT_FALSE(dropped.empty()) << "no message box";
  EXPECT_EQ(PicturePixel(4, 2), kWhite);
  EXPECT_EQ(MessageBoxForCommandLine(Folder()), dropped);
}

TEST_P(ProgramDrop, AUriThatNamesNoLocalFileIsReportedAsWhenNamedOnTheCommandLine) {
  ASSERT_TRUE(StartShowingTheGrid()) << Program->Output();
  const std::string uri = "http://example.com/timeline.rom";
  ASSERT_TRUE(DropOnWindow({uri}));
  const TPixels dropped = MessageBox();
  ASSERT_FALSE(dropped.empty()) << "no message box";
  EXPECT_EQ(PicturePixel(4, 2), kWhite);
  EXPECT_EQ(MessageBoxForCommandLine(uri), dropped);
}

INSTANTIATE_TEST_SUITE_P(, ProgramDrop, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "UnderOpenbox" : "Bare"; });

}  // namespace
