#include "frame/sScrollBar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "dialogs/sDialogs.h"
#include "frame/sGrip.h"
#include "dialogs/sListBox.h"
#include "frame/sSkinProvider.h"
#include "platform/graphics/PngFile.h"
#include "platform/widgets/Button.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

// A horizontal bar 121 x 17 on the skinned test form: arrows 17 long, a track of 87.
class SkinnedScrollBar : public SkinnedControls {
 protected:
  TsScrollBar* Bar = nullptr;
  std::vector<std::pair<TScrollCode, int>> Scrolls;
  int Changes = 0;

  void SetUp() override {
    SkinnedControls::SetUp();
    Bar = Make<TsScrollBar>(20, 20, 121, 17);
    Bar->SetName("sScrollBar1");
    Bar->OnScroll = [this](TObject*, TScrollCode code, int& position) { Scrolls.push_back({code, position}); };
    Bar->OnChange = [this](TObject*) { ++Changes; };
    ShowForm();
    Handle();
  }
  void PressAt(int x, int y) {
    const TPoint p = Bar->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    Display.Press();
    Handle();
  }
  void ReleaseAt(int x, int y) {
    const TPoint p = Bar->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    Display.Release();
    Handle();
  }
  void Wait(uint64_t ms) {
    Display.Advance(ms);
    Handle();
  }
};

TEST_F(SkinnedScrollBar, ThumbLengthAndCentreFollowTheRules) {
  EXPECT_TRUE(Bar->PlainWindow());  // skinned from the start: no native bar inside
  EXPECT_EQ(Bar->ArrowLength(), 17);
  EXPECT_EQ(Bar->ThumbLength(), 14);  // no page: the minimum
  Bar->SetPageSize(10);
  EXPECT_EQ(Bar->ThumbLength(), 14);  // 87 / 110 x 10 = 7.9, below the minimum
  Bar->SetPageSize(50);
  EXPECT_EQ(Bar->ThumbLength(), 29);  // 87 / 150 x 50 = 29
  Bar->SetPageSize(0);
  // Centre = 17 + 7 + round(73 / 100 x position): at 0, 50 (36.5 rounds to even) and 100.
  EXPECT_EQ(Bar->ThumbCentre(), 24);
  EXPECT_EQ(Bar->ThumbRect(), (TRect{17, 0, 31, 17}));
  Bar->SetPosition(50);
  EXPECT_EQ(Bar->ThumbCentre(), 60);
  Bar->SetPosition(100);
  EXPECT_EQ(Bar->ThumbCentre(), 97);
  EXPECT_EQ(Bar->ThumbRect(), (TRect{90, 0, 104, 17}));  // ends where the second arrow starts
  // The value under x: round((x - 24) x 100 / 73).
  EXPECT_EQ(Bar->ValueAt(24), 0);
  EXPECT_EQ(Bar->ValueAt(60), 49);
  EXPECT_EQ(Bar->ValueAt(97), 100);
  // Disabled, the thumb's centre is the bar's middle.
  Bar->SetEnabled(false);
  EXPECT_EQ(Bar->ThumbCentre(), 60);
}

TEST_F(SkinnedScrollBar, AnEmptyRangeIsReportedAndThePositionKept) {
  std::string text, caption;
  Display.Schedule([&] {
    TCustomForm* box = Screen->ActiveForm();
    text = box ? static_cast<TsMessageForm*>(box)->MessageText() : "";
    caption = box ? box->Caption() : "";
    Display.Key(VK_RETURN);
  });
  Bar->SetMin(5);
  EXPECT_EQ(Bar->Position(), 5);
  Bar->SetMax(5);
  EXPECT_EQ(text, "Scrollbar property out of range\r\nMax = 5(sScrollBar1)");
  EXPECT_EQ(caption, "Error");
  EXPECT_EQ(Bar->Position(), 5);
  EXPECT_EQ(Bar->Max(), 5);
  EXPECT_EQ(Bar->ThumbCentre(), 0);  // Max = Min
  // A bar that belongs to a control names it.
  Form->SetName("TestForm");
  Bar->SetOwnerControl(Form, nullptr);
  Display.Schedule([&] {
    text = static_cast<TsMessageForm*>(Screen->ActiveForm())->MessageText();
    Display.Key(VK_RETURN);
  });
  Bar->SetParams(3, 9, 2);
  EXPECT_EQ(text, "Scrollbar property out of range\r\nMax = 2(Owner=TestForm)");
  EXPECT_EQ(Bar->Position(), 2);
}

TEST_F(SkinnedScrollBar, WithoutASkinItIsTheNativeBarAndRefusesAnInvertedRange) {
  Manager->SetActive(false);
  Handle();
  EXPECT_FALSE(Bar->PlainWindow());
  EXPECT_THROW(Bar->SetMax(-1), EInvalidOperation);
  EXPECT_EQ(Bar->Max(), 100);
  // The native bar moves by its arrow and reports back through the bar's own events.
  Click(Bar, 110, 8);
  EXPECT_EQ(Bar->Position(), 1);
  ASSERT_GE(Scrolls.size(), 2u);
  EXPECT_EQ(Scrolls.front(), (std::pair{scLineDown, 1}));
  EXPECT_EQ(Scrolls.back(), (std::pair{scEndScroll, 1}));
  EXPECT_EQ(Changes, 1);
  // The skin back: the window is the plain one again.
  Manager->SetActive(true);
  Handle();
  EXPECT_TRUE(Bar->PlainWindow());
}

TEST_F(SkinnedScrollBar, AHeldArrowRepeatsAfterHalfASecondThenEveryTenth) {
  PressAt(113, 8);  // the second arrow
  EXPECT_EQ(Bar->Position(), 1);
  EXPECT_EQ(Bar->PartState(1), 2);
  Wait(499);
  EXPECT_EQ(Bar->Position(), 1);
  Wait(1);
  EXPECT_EQ(Bar->Position(), 2);
  Wait(99);
  EXPECT_EQ(Bar->Position(), 2);
  Wait(1);
  EXPECT_EQ(Bar->Position(), 3);
  Wait(200);
  EXPECT_EQ(Bar->Position(), 5);
  ReleaseAt(113, 8);
  EXPECT_EQ(Bar->PartState(1), 1);  // still under the pointer
  Wait(500);
  EXPECT_EQ(Bar->Position(), 5);
  EXPECT_EQ(Changes, 5);
  ASSERT_EQ(Scrolls.size(), 6u);
  EXPECT_EQ(Scrolls[0], (std::pair{scLineDown, 1}));
  EXPECT_EQ(Scrolls[4], (std::pair{scLineDown, 5}));
  EXPECT_EQ(Scrolls[5], (std::pair{scEndScroll, 5}));
  EXPECT_EQ(Bar->DragPart(), -1);
}

TEST_F(SkinnedScrollBar, HoldingTheFirstArrowAtMinScrollsNowhere) {
  PressAt(5, 8);
  Wait(600);
  ReleaseAt(5, 8);
  EXPECT_EQ(Bar->Position(), 0);
  EXPECT_EQ(Changes, 0);
  // Line back with the unchanged position, at the press and at each repeat, then the end.
  ASSERT_EQ(Scrolls.size(), 4u);
  EXPECT_EQ(Scrolls[0], (std::pair{scLineUp, 0}));
  EXPECT_EQ(Scrolls[2], (std::pair{scLineUp, 0}));
  EXPECT_EQ(Scrolls[3], (std::pair{scEndScroll, 0}));
}

TEST_F(SkinnedScrollBar, PagesRepeatOnlyUntilTheThumbReachesThePointer) {
  Bar->LargeChange = 10;
  PressAt(60, 8);  // the value there is 49
  EXPECT_EQ(Bar->Position(), 10);
  Wait(500);
  EXPECT_EQ(Bar->Position(), 20);
  Wait(300);
  EXPECT_EQ(Bar->Position(), 50);  // 40 was still before 49; 50 is past it
  Wait(300);
  EXPECT_EQ(Bar->Position(), 50);
  ReleaseAt(60, 8);
}

TEST_F(SkinnedScrollBar, DraggingTheThumbKeepsTheGrabOffset) {
  PressAt(27, 8);  // 3 pixels right of the thumb's centre: grab offset round(300 / 73) = 4
  EXPECT_EQ(Bar->PartState(4), 2);
  MoveTo(Bar, 63, 8);  // value round(3900 / 73) = 53, less the offset
  EXPECT_EQ(Bar->Position(), 49);
  EXPECT_EQ(Scrolls.back(), (std::pair{scTrack, 49}));
  ReleaseAt(63, 8);
  EXPECT_EQ(Bar->Position(), 49);
  EXPECT_EQ(Bar->PartState(4), 1);  // the thumb is under the pointer again
  EXPECT_EQ(Scrolls.back(), (std::pair{scEndScroll, 49}));
  EXPECT_EQ(Scrolls[Scrolls.size() - 2], (std::pair{scPosition, 49}));
  EXPECT_EQ(Changes, 1);

  // Not smooth: one change at the release, for the whole move.
  Bar->Smooth = false;
  Changes = 0;
  int ownerOld = -1;
  Bar->SetOwnerControl(Form, [&](int old) { ownerOld = old; });
  PressAt(60, 8);
  MoveTo(Bar, 80, 8);
  MoveTo(Bar, 90, 8);
  EXPECT_EQ(Bar->Position(), 90);  // round(6600 / 73)
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(ownerOld, -1);
  ReleaseAt(90, 8);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(ownerOld, 49);
}

TEST_F(SkinnedScrollBar, KeysMoveByTheStepsAndToTheEnds) {
  Bar->SetFocus();
  Bar->SmallChange = 3;
  Bar->LargeChange = 20;
  Display.Key(VK_RIGHT);
  Handle();
  EXPECT_EQ(Bar->Position(), 3);
  Display.Key(VK_NEXT);
  Handle();
  EXPECT_EQ(Bar->Position(), 23);
  Display.Key(VK_END);
  Handle();
  EXPECT_EQ(Bar->Position(), 100);
  Display.Key(VK_DOWN);
  Handle();
  EXPECT_EQ(Bar->Position(), 100);
  Display.Key(VK_HOME);
  Handle();
  EXPECT_EQ(Bar->Position(), 0);
}

TEST_F(SkinnedScrollBar, PaintsFromTheSkinWithTheThumbWhereThePositionSays) {
  const TDib atStart = ShotOf(Bar);
  Bar->SetPosition(100);
  Handle();
  const TDib atEnd = ShotOf(Bar);
  // The column through the first thumb is track at the end, and the other way round.
  int differentAtStart = 0, differentAtEnd = 0;
  for (int y = 2; y < 15; ++y) {
    differentAtStart += atStart.GetPixel(24, y) != atEnd.GetPixel(24, y);
    differentAtEnd += atStart.GetPixel(97, y) != atEnd.GetPixel(97, y);
  }
  EXPECT_GT(differentAtStart, 6);
  EXPECT_GT(differentAtEnd, 6);
  // Nothing of the key colour or of the classic face shows.
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 121; ++x) {
      ASSERT_NE(atEnd.GetPixel(x, y), COLORREF(0xFF00FF)) << x << "," << y;
      ASSERT_NE(atEnd.GetPixel(x, y), GetSysColor(COLOR_BTNFACE)) << x << "," << y;
    }
  // A disabled bar shows no thumb: the columns at both ends look alike again.
  Bar->SetEnabled(false);
  Handle();
  const TDib disabled = ShotOf(Bar);
  int sameAsTrack = 0;
  for (int y = 2; y < 15; ++y) sameAsTrack += disabled.GetPixel(40, y) == disabled.GetPixel(80, y);
  EXPECT_EQ(sameAsTrack, 13);
}

// ---- The form's own bars -------------------------------------------------------------------------

class OwnScrollBars : public SkinnedControls {
 protected:
  TsSkinProvider* Provider = nullptr;
  TButton* Low = nullptr;

  void SetUp() override {
    SkinnedControls::SetUp();
    Provider = new TsSkinProvider(Form);
    Low = Make<TButton>(10, 400, 75, 25);  // below the client area
    ShowForm();
    Handle();
  }
};

TEST_F(OwnScrollBars, ShowOnlyWhileTheContentExceedsTheClientArea) {
  const int ch = Form->ClientHeight();
  ASSERT_LT(ch, 427);
  TsScrollBar* bar = Provider->VertBar();
  ASSERT_TRUE(bar);
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Kind(), sbVertical);
  EXPECT_TRUE(!Provider->HorzBar() || !Provider->HorzBar()->Visible());
  EXPECT_EQ(bar->BoundsRect(), (TRect{Form->ClientWidth() - 17, 0, Form->ClientWidth(), ch}));
  // Content bottom 425 + 2; the range runs to 427 - client height + 4, the page is the client less 4.
  EXPECT_EQ(bar->Min(), 0);
  EXPECT_EQ(bar->Max(), 427 - ch + 4);
  EXPECT_EQ(bar->PageSize(), ch - 4);
  EXPECT_EQ(bar->LargeChange, 80);
  EXPECT_EQ(bar->SmallChange, 8);  // the form bar's increment

  bar->SetPosition(50);
  EXPECT_EQ(Low->Top(), 350);
  EXPECT_EQ(Provider->ScrollOffset().Y, 50);
  // Tall enough for everything: the bar goes and the content comes back.
  Form->SetClientSize(Form->ClientWidth(), 500);
  Handle();
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(Low->Top(), 400);
}

TEST_F(OwnScrollBars, DraggingTheThumbMovesTheContentByTheValueUnderThePointer) {
  TsScrollBar* bar = Provider->VertBar();
  ASSERT_TRUE(bar);
  const int before = Low->Top();
  const int t = bar->ThumbLength(), a = 17, room = bar->Height() - 2 * a - t;
  const int range = bar->Max();
  // Press on the thumb's centre (no grab offset), move it 40 pixels down.
  const int c = bar->ThumbCentre();
  const TPoint start = bar->ClientToScreen({8, c});
  Display.MoveMouse(start.X, start.Y);
  Display.Press();
  Handle();
  Display.MoveMouse(start.X, start.Y + 40);
  Handle();
  Display.Release();
  Handle();
  const int expected = int(std::nearbyint(double(c + 40 - a - t / 2) * range / room));
  EXPECT_EQ(bar->Position(), expected);
  EXPECT_EQ(Low->Top(), before - expected);
  EXPECT_EQ(bar->Top(), 0);  // the bar itself stays
}

TEST_F(OwnScrollBars, BothBarsMeetAtAGripAndGoWithTheSkin) {
  Make<TButton>(600, 10, 75, 25);  // right of the client area too
  Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 1, Form->Height());  // moves: extents recorded
  Handle();
  ASSERT_TRUE(Provider->VertBar() && Provider->HorzBar() && Provider->Grip());
  const int cw = Form->ClientWidth(), ch = Form->ClientHeight();
  EXPECT_EQ(Provider->VertBar()->Height(), ch - 17);
  EXPECT_EQ(Provider->HorzBar()->Width(), cw - 17);
  EXPECT_EQ(Provider->Grip()->BoundsRect(), (TRect{cw - 17, ch - 17, cw, ch}));
  EXPECT_TRUE(Provider->Grip()->Visible());
  Provider->VertBar()->SetPosition(30);
  EXPECT_EQ(Low->Top(), 370);

  if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(Display.Screenshot(), std::string(dir) + "/own-bars.png");
  // Without the skin the form scrolls by its own frame bars; the content starts over at the top.
  Manager->SetActive(false);
  Handle();
  EXPECT_FALSE(Provider->VertBar()->Visible());
  EXPECT_FALSE(Provider->Grip()->Visible());
  EXPECT_EQ(Low->Top(), 400);
  EXPECT_TRUE(GetWindowStyle(Form->Handle()) & WS_VSCROLL);
  Manager->SetActive(true);
  Handle();
  EXPECT_FALSE(GetWindowStyle(Form->Handle()) & WS_VSCROLL);
  EXPECT_TRUE(Provider->VertBar()->Visible());
}

}  // namespace

namespace {

// ---- A skinned list's own bar ----------------------------------------------------------------------

TEST_F(SkinnedControls, AListScrollsWithItsSkinnedBarWhileSkinned) {
  auto* list = Make<TsListBox>(10, 10, 200, 150);
  for (int i = 0; i < 50; ++i) list->Items()->Add("item " + std::to_string(i));
  ShowForm();
  Handle();
  TsScrollBar* bar = list->ScrollBar();
  ASSERT_TRUE(bar);
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->BoundsRect(), list->ScrollBarRect());
  EXPECT_EQ(bar->Max(), 50 - list->VisibleRows());
  EXPECT_EQ(bar->PageSize(), list->VisibleRows());
  // The bar's second arrow moves the list a row on; the list's own moves show on the bar.
  Click(bar, 8, bar->Height() - 5);
  EXPECT_EQ(list->TopIndex(), 1);
  list->SetTopIndex(20);
  EXPECT_EQ(bar->Position(), 20);
  bar->SetFocus();
  Display.Key(VK_END);
  Handle();
  EXPECT_EQ(list->TopIndex(), 50 - list->VisibleRows());
  // Without the skin the list's built-in bar is back.
  Manager->SetActive(false);
  Handle();
  EXPECT_FALSE(bar->Visible());
  list->SetTopIndex(0);
  const TRect r = list->ScrollBarRect();
  Click(list, r.Left + 8, r.Bottom - 5);
  EXPECT_EQ(list->TopIndex(), 1);
}

}  // namespace
