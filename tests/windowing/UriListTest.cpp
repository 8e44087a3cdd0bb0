// What a dropped list of URIs names: local file URIs in their written forms become decoded
// paths; everything else is kept as it is, a name no file has.
#include <gtest/gtest.h>

#include "platform/display/sdl/UriList.h"

namespace {

using TFiles = std::vector<std::string>;

TEST(UriList, LocalFileUrisInEveryWrittenFormBecomeTheirPaths) {
  EXPECT_EQ(FilesOfUriList("file:///tmp/a.rom\r\n", "box"), TFiles{"/tmp/a.rom"});
  EXPECT_EQ(FilesOfUriList("file:/tmp/a.rom\r\n", "box"), TFiles{"/tmp/a.rom"});
  EXPECT_EQ(FilesOfUriList("file://localhost/tmp/a.rom\r\n", "box"), TFiles{"/tmp/a.rom"});
  EXPECT_EQ(FilesOfUriList("FILE://BOX/tmp/a.rom\r\n", "box"), TFiles{"/tmp/a.rom"});
  // The last line may end without CR LF, or with a LF alone; a NUL may end the list.
  EXPECT_EQ(FilesOfUriList("file:///a\nfile:///b", "box"), (TFiles{"/a", "/b"}));
  EXPECT_EQ(FilesOfUriList(std::string("file:///a\r\n\0", 12), "box"), TFiles{"/a"});
}

TEST(UriList, PercentEscapesAreDecodedOnceAndAQueryOrFragmentIsNotPartOfThePath) {
  EXPECT_EQ(FilesOfUriList("file:///tmp/a%20rom%20%231%20%2541%20%C3%BC.rom\r\n", ""),
            TFiles{"/tmp/a rom #1 %41 \xC3\xBC.rom"});
  EXPECT_EQ(FilesOfUriList("file:///tmp/100%.rom\r\nfile:///tmp/%4g%2\r\n", ""), (TFiles{"/tmp/100%.rom", "/tmp/%4g%2"}));
  EXPECT_EQ(FilesOfUriList("file:///tmp/a.rom?x=1\r\nfile:///tmp/b.rom#top\r\n", ""), (TFiles{"/tmp/a.rom", "/tmp/b.rom"}));
  // An escaped NUL stays in the name, which then opens nothing.
  EXPECT_EQ(FilesOfUriList("file:///tmp/a%00b\r\n", ""), TFiles{std::string("/tmp/a\0b", 8)});
}

TEST(UriList, WhatNamesNoLocalFileIsKeptAsItIs) {
  EXPECT_EQ(FilesOfUriList("http://example.com/a.rom\r\n", "box"), TFiles{"http://example.com/a.rom"});
  EXPECT_EQ(FilesOfUriList("file://elsewhere/tmp/a.rom\r\n", "box"), TFiles{"file://elsewhere/tmp/a.rom"});
  EXPECT_EQ(FilesOfUriList("file:a.rom\r\nfile://box\r\nfoo:bar\r\n", "box"),
            (TFiles{"file:a.rom", "file://box", "foo:bar"}));
}

TEST(UriList, CommentsAndEmptyLinesAreLeftOutAndTheOrderIsKept) {
  EXPECT_EQ(FilesOfUriList("# dragged from a file manager\r\n\r\nfile:///2.rom\r\nfile:///1.rom\r\n", ""),
            (TFiles{"/2.rom", "/1.rom"}));
  EXPECT_EQ(FilesOfUriList("", ""), TFiles{});
  EXPECT_EQ(FilesOfUriList("# only a comment\r\n", ""), TFiles{});
}

}  // namespace
