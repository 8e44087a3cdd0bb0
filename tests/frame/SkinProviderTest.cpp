#include <gtest/gtest.h>

#include "frame/sScrollBar.h"
#include "frame/sSkinProvider.h"
#include "menus/sSystemMenu.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/windowing/Menu.h"
#include "skin/data/sSkinManager.h"
#include "tests/support/ViewerWindowTest.h"
#include "viewer/Maruk_rom.h"

namespace {

class SkinnedFrame : public ViewerWindowTest {
 protected:
  TsSkinProvider* Provider = nullptr;

  void SetUp() override {
    ViewerWindowTest::SetUp();
    Provider = Form->sSkinProvider1;
  }
};

TEST_F(SkinnedFrame, TheButtonsSitFromTheRightEdgeTouchingEachOther) {
  // 640 wide with a 4-pixel sizing frame; the stored skin's glyphs are 20 x 20; a 19-pixel
  // caption: the buttons' top is (19 + 4 - 20) div 2 = 1.
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).R, (TRect{616, 1, 636, 21}));
  EXPECT_EQ(Provider->ButtonRecord(HTMAXBUTTON).R, (TRect{596, 1, 616, 21}));
  EXPECT_EQ(Provider->ButtonRecord(HTMINBUTTON).R, (TRect{576, 1, 596, 21}));
  EXPECT_EQ(Provider->ButtonRecord(HTHELP).State, -1);  // no help button: never laid out
  EXPECT_EQ(HitAt(626, 10), HTCLOSE);
  EXPECT_EQ(HitAt(606, 10), HTMAXBUTTON);
  EXPECT_EQ(HitAt(586, 10), HTMINBUTTON);
  EXPECT_EQ(HitAt(10, 10), HTSYSMENU);   // the icon, 16 x 16 from x 4
  EXPECT_EQ(HitAt(300, 10), HTCAPTION);
  EXPECT_EQ(HitAt(1, 100), HTLEFT);
  EXPECT_EQ(HitAt(636, 266), HTBOTTOMRIGHT);
  EXPECT_EQ(HitAt(300, 100), HTCLIENT);
  EXPECT_EQ(Provider->IconRect(), (TRect{4, 3, 20, 19}));  // top (19 + 4 - 16) div 2
}

TEST_F(SkinnedFrame, HoverAndPressLightTheButtonAndReleasingElsewhereSendsNothing) {
  const TPoint close = At(626, 10);
  Display.MoveMouse(close.X, close.Y);
  Handle();
  EXPECT_EQ(Provider->HotCode(), HTCLOSE);
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).State, 1);
  Display.Press();
  Handle();
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).State, 2);
  const TPoint caption = At(300, 10);
  Display.MoveMouse(caption.X, caption.Y);
  Handle();
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).State, 0);
  Display.Release();
  Handle();
  EXPECT_TRUE(IsWindow(Form->Handle()));
  EXPECT_FALSE(App->Terminated());
}

TEST_F(SkinnedFrame, APointerJumpingFromTheClientAreaOntoTheCloseButtonLightsItAndLeavingPutsItOut) {
  // The form's client area at (370, 220) is bare background; the close button spans window
  // x 616..636, y 1..21 (see above). The stored skin's close face is blue, its hot face red:
  // (620, 18) is face, away from the cross.
  auto redFace = [this] {
    const COLORREF c = WindowPixel(620, 18);
    return GetRValue(c) > GetBValue(c);
  };
  const TPoint inside = Form->ClientToScreen({370, 220});
  Display.MoveMouse(inside.X, inside.Y);
  Handle();
  EXPECT_FALSE(redFace());
  const TPoint close = At(626, 10);
  Display.MoveMouse(close.X, close.Y);
  Handle();
  EXPECT_EQ(Provider->HotCode(), HTCLOSE);
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).State, 1);
  EXPECT_TRUE(redFace());
  Display.MoveMouse(inside.X, inside.Y);
  Handle();
  EXPECT_EQ(Provider->HotCode(), 0);
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).State, 0);
  EXPECT_FALSE(redFace());
}

TEST_F(SkinnedFrame, MaximiseCoversTheWorkAreaWithTheBordersOutsideAndRestoreComesBack) {
  ClickAt(606, 10);
  EXPECT_TRUE(IsZoomed(Form->Handle()));
  EXPECT_EQ(WindowRect(), (TRect{-4, -4, 1284, 988}));  // work area 1280 x 984 at (0, 0)
  // The maximise button is now the restore button, still at the right.
  EXPECT_EQ(Provider->ButtonRecord(HTMAXBUTTON).R, (TRect{1244, 1, 1264, 21}));
  ClickAt(1254, 10);
  EXPECT_FALSE(IsZoomed(Form->Handle()));
  EXPECT_EQ(WindowRect(), (TRect{192, 107, 832, 376}));
}

TEST_F(SkinnedFrame, AMinimisedWindowIsComposedAnewWithItsRestoreButton) {
  ClickAt(586, 10);
  ASSERT_TRUE(IsIconic(Form->Handle()));
  const TRect r = WindowRect();
  ASSERT_TRUE(Provider->FrameCache());
  EXPECT_EQ(Provider->FrameCache()->Width(), r.Width());
  EXPECT_GE(Provider->ButtonRecord(HTMINBUTTON).State, 0);
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).R.Right, r.Width() - 4);
  // What the screen shows is that picture.
  int differ = 0;
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 4; x < r.Width() - 4; ++x) differ += WindowPixel(x, y) != Provider->FrameCache()->GetPixel(x, y);
  EXPECT_EQ(differ, 0);
  // The minimise button became the restore button.
  const TRect restore = Provider->ButtonRecord(HTMINBUTTON).R;
  ClickAt(restore.Left + 10, restore.Top + 10);
  EXPECT_FALSE(IsIconic(Form->Handle()));
  EXPECT_EQ(WindowRect(), (TRect{192, 107, 832, 376}));
}

TEST_F(SkinnedFrame, TheOutlineLeavesOutExactlyTheKeyPixelsOfTheBordersCorners) {
  TRegion shape;
  ASSERT_NE(GetWindowRgn(Form->Handle(), &shape), RGN_ERROR);
  const TDib* master = Manager->MasterBitmap();
  // The form's border mask: (135, 60, 147, 72), one image, 4-pixel margins.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(shape.Contains(x, 268 - 3 + y), master->GetPixel(135 + x, 60 + 12 - 4 + y) != 0xFF00FFu) << x << "," << y;
      EXPECT_EQ(shape.Contains(636 + x, 268 - 3 + y), master->GetPixel(135 + 8 + x, 60 + 12 - 4 + y) != 0xFF00FFu)
          << x << "," << y;
    }
  // The title's own border cuts the top corners too: anything key-coloured in either goes.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if (master->GetPixel(135 + x, 60 + y) == 0xFF00FFu) {
        EXPECT_FALSE(shape.Contains(x, y)) << x << "," << y;
      }
  EXPECT_TRUE(shape.Contains(320, 0));
  EXPECT_TRUE(shape.Contains(320, 268));
}

TEST_F(SkinnedFrame, TheClientBackgroundIsTheFramesPictureAtTheSamePlace) {
  const TDib* frame = Provider->FrameCache();
  const TPoint offset = Provider->ClientOffset();
  EXPECT_EQ(offset, (TPoint{4, 23}));
  // Between "Hex view" and "Save ROM" nothing covers the form.
  for (int x : {330, 350, 400})
    EXPECT_EQ(WindowPixel(offset.X + x, offset.Y + 210), frame->GetPixel(offset.X + x, offset.Y + 210)) << x;
  // And none of the layout's design colours shows.
  EXPECT_NE(Form->Color(), TColor(clBtnFace));
}

TEST_F(SkinnedFrame, TheSystemMenuShowsAndEnablesTheCommandsByState) {
  TsSystemMenu* menu = Provider->SystemMenu();
  ASSERT_TRUE(menu);
  menu->UpdateItems();
  EXPECT_TRUE(menu->ItemRestore->Visible());
  EXPECT_FALSE(menu->ItemRestore->Enabled());
  EXPECT_TRUE(menu->ItemMove->Enabled());
  EXPECT_TRUE(menu->ItemSize->Enabled());
  EXPECT_TRUE(menu->ItemMinimize->Enabled());
  EXPECT_TRUE(menu->ItemMaximize->Enabled());
  EXPECT_TRUE(menu->ItemClose->Enabled());
  ShowWindow(Form->Handle(), SW_MAXIMIZE);
  menu->UpdateItems();
  EXPECT_TRUE(menu->ItemRestore->Enabled());
  EXPECT_FALSE(menu->ItemMove->Enabled());
  EXPECT_FALSE(menu->ItemMaximize->Enabled());
}

TEST_F(SkinnedFrame, RemovingTheSkinGivesTheWindowSystemsFrameBackAndAddingItTakesItAgain) {
  Manager->SetActive(false);
  Handle();
  EXPECT_EQ(Form->BorderIcons(), biSystemMenu | biMinimize | biMaximize);
  TRegion shape;
  EXPECT_EQ(GetWindowRgn(Form->Handle(), &shape), RGN_ERROR);
  EXPECT_EQ(Form->Color(), TColor(clBtnFace));
  Manager->SetActive(true);
  Handle();
  EXPECT_EQ(Form->BorderIcons(), 0u);
  EXPECT_NE(GetWindowRgn(Form->Handle(), &shape), RGN_ERROR);
  EXPECT_EQ(HitAt(626, 10), HTCLOSE);
}

TEST_F(SkinnedFrame, AfterTheSystemMenuIsDismissedTheFirstClickOnCloseCloses) {
  bool closed = false;
  Form->OnClose = [&](TObject*, TCloseAction& action) {
    closed = true;
    action = caNone;
  };
  Display.Schedule([this] { Display.Key(VK_ESCAPE); });
  const TPoint caption = At(300, 10);
  Display.Click(caption.X, caption.Y, 1);
  Handle();
  ASSERT_FALSE(closed);
  ClickAt(626, 10);
  EXPECT_TRUE(closed);
}

TEST_F(SkinnedFrame, AltSpaceOpensTheSkinnedSystemMenuBelowTheIcon) {
  bool shown = false;
  TRect menuRect;
  std::string firstItem;
  Display.Schedule([&] {
    HMENU now = Provider->SystemMenu()->Handle();
    shown = GetMenuWindow(now) != nullptr;
    if (shown) GetWindowRect(GetMenuWindow(now), &menuRect);
    firstItem = GetMenuString(now, 0, MF_BYPOSITION);
    Display.Key(VK_ESCAPE);
  });
  Display.KeyDown(VK_LMENU);
  Display.Key(VK_SPACE);
  Display.KeyUp(VK_LMENU);
  Handle();
  ASSERT_TRUE(shown);
  EXPECT_EQ(firstItem, "Available skins");
  // Below the 16-pixel icon inside the 4-pixel frame of the window at (192, 107).
  EXPECT_EQ(menuRect.Left, 192 + 4);
  EXPECT_EQ(menuRect.Top, 107 + 4 + 16);
  EXPECT_TRUE(Display.ScriptDone());
}

TEST(FrameText, TheCaptionIsShortenedToThePrefixThatFitsWithDots) {
  TDib probe(1, 1);
  TDC dc(&probe);
  TLogFont font = DefaultGuiFont();
  font.Style = fsBold;
  SelectFont(&dc, font);
  auto width = [&](const std::string& t) {
    TSize s;
    GetTextExtentPoint32(&dc, t, &s);
    return s.cx;
  };
  const std::string caption = "Maruk timeline ROM viewer";
  EXPECT_EQ(ShortenCaption(&dc, caption, width(caption)), caption);
  // One pixel short: the longest prefix whose "..." version fits.
  const std::string shorter = ShortenCaption(&dc, caption, width(caption) - 1);
  ASSERT_GE(shorter.size(), 4u);
  EXPECT_EQ(shorter.substr(shorter.size() - 3), "...");
  const std::string prefix = shorter.substr(0, shorter.size() - 3);
  EXPECT_EQ(caption.compare(0, prefix.size(), prefix), 0);
  EXPECT_LE(width(shorter), width(caption) - 1);
  EXPECT_GT(width(caption.substr(0, prefix.size() + 1) + "..."), width(caption) - 1);
  // No room: nothing; room for the dots only: nothing either (an empty prefix).
  EXPECT_EQ(ShortenCaption(&dc, caption, 0), "");
  EXPECT_EQ(ShortenCaption(&dc, caption, -5), "");
  EXPECT_EQ(ShortenCaption(&dc, caption, width("...")), "");
}

TEST(FrameIcon, SizeClassesFollowTheCaptionHeight) {
  const std::pair<int, int> cases[] = {{8, 0}, {9, 8}, {16, 8}, {17, 16}, {27, 16}, {28, 32}, {40, 32}};
  for (const auto& [caption, size] : cases) EXPECT_EQ(AutoIconSize(caption), size) << caption;
}

TEST_F(SkinnedFrame, AGivenIconHeightKeepsTheAutomaticWidth) {
  Provider->TitleIcon()->Height = 20;
  EXPECT_EQ(Provider->IconRect(), (TRect{4, 1, 20, 21}));  // 16 wide, top (19 + 4 - 20) div 2
}

TEST_F(SkinnedFrame, SnappingJumpsToTheWorkAreasEdgeWithinTheBuffer) {
  Provider->ScreenSnap = true;
  // The right edge 9 pixels from the work area's right edge (1280): it touches it.
  SetWindowPos(Form->Handle(), nullptr, 1280 - 640 - 9, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect().Right, 1280);
  // 10 pixels away: it stays.
  SetWindowPos(Form->Handle(), nullptr, 1280 - 640 - 10, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect().Right, 1270);
  // The bottom and the left and top edges too.
  SetWindowPos(Form->Handle(), nullptr, 5, 984 - 269 - 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect(), (TRect{0, 984 - 269, 640, 984}));
  Provider->ScreenSnap = false;
  SetWindowPos(Form->Handle(), nullptr, 5, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect().Left, 5);
}

TEST_F(SkinnedFrame, AtTheEdgeOfAMaximisedWindowTheMouseFallsThrough) {
  ShowWindow(Form->Handle(), SW_MAXIMIZE);
  Handle();
  // Window-relative (1, 300) is inside the window but outside (2, 2, width - 4, height - 4).
  EXPECT_EQ(HitAt(1, 300), HTTRANSPARENT);
  EXPECT_EQ(HitAt(300, 300), HTCLIENT);
}

TEST_F(SkinnedFrame, EachChangeOfTheCaptionRepaintsTheTitle) {
  const TDib before = *Provider->FrameCache();
  auto titleDiffers = [&](const TDib& a) {
    int n = 0;
    for (int y = 4; y < 19; ++y)
      for (int x = 24; x < 400; ++x) n += a.GetPixel(x, y) != Provider->FrameCache()->GetPixel(x, y);
    return n;
  };
  Form->SetCaption("Another title");
  Handle();
  EXPECT_GT(titleDiffers(before), 0);
  const TDib second = *Provider->FrameCache();
  Form->SetCaption("Maruk timeline ROM viewer");
  Handle();
  EXPECT_GT(titleDiffers(second), 0);
  EXPECT_EQ(titleDiffers(before), 0);
  // What the screen shows is the cache.
  for (int x : {30, 100, 200}) EXPECT_EQ(WindowPixel(x, 11), Provider->FrameCache()->GetPixel(x, 11)) << x;
}

TEST_F(SkinnedFrame, ComposingTheFrameOnRequestRedrawsAllOfItEvenWhereOnlyTheTitleWouldBe) {
  // A skin whose form section asks for title-only recomposition keeps the borders of the last
  // full composition; composing on request redraws them too.
  Manager->Sections()[size_t(Provider->SkinData()->SectionIndex)].ReservedBoolean = true;
  Provider->ComposeFrame();  // keeps the title band for the title-only path
  TDib* cache = Provider->SkinData()->Cache();
  const COLORREF border = cache->GetPixel(1, 150), title = cache->GetPixel(300, 10);
  const COLORREF junk = border ^ 0xFFFFFF;
  cache->SetPixel(1, 150, junk);
  cache->SetPixel(300, 10, junk);
  Provider->SkinData()->CacheInvalid = true;
  SendMessage(Form->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(cache->GetPixel(300, 10), title);  // the title band is copied back
  EXPECT_EQ(cache->GetPixel(1, 150), junk);    // the left border is not recomposed
  Provider->ComposeFrame();
  EXPECT_EQ(cache->GetPixel(1, 150), border);
  EXPECT_FALSE(Provider->SkinData()->CacheInvalid);
}

// A form of another border style with a provider of its own.
class OtherFrames : public SkinnedFrame {
 protected:
  TForm* Make(TFormBorderStyle style) {
    auto* f = new TForm(App);
    f->SetBorderStyle(style);
    f->SetBounds(300, 300, 300, 200);
    auto* p = new TsSkinProvider(f);
    p->SetName("Provider");
    f->Show();
    Handle();
    return f;
  }
};

TEST_F(OtherFrames, ADialogHasOnlyTheCloseButtonAndABorderlessFormNoTitleAtAll) {
  TForm* dialog = Make(bsDialog);
  auto* p = static_cast<TsSkinProvider*>(dialog->FindComponent("Provider"));
  ASSERT_TRUE(p);
  // A fixed 3-pixel frame: the close button ends at 300 - 3.
  EXPECT_EQ(p->ButtonRecord(HTCLOSE).R.Right, 297);
  EXPECT_EQ(p->ButtonRecord(HTMAXBUTTON).State, -1);
  EXPECT_EQ(p->ButtonRecord(HTMINBUTTON).State, -1);
  EXPECT_FALSE(p->IconShown());

  TForm* bare = Make(bsNone);
  auto* q = static_cast<TsSkinProvider*>(bare->FindComponent("Provider"));
  EXPECT_EQ(q->CaptionHeight(), 0);
  EXPECT_EQ(q->ButtonRecord(HTCLOSE).State, -1);
  EXPECT_EQ(SendMessage(bare->Handle(), WM_NCHITTEST, 0, MAKELPARAM(310, 310)), HTCLIENT);
}

TEST_F(SkinnedFrame, ShrunkBelowItsContentTheWindowKeepsItsFrameAndScrolls) {
  // Drag the bottom-right corner in: the group box now reaches past the client area.
  const TRect before = WindowRect();
  Display.MoveMouse(before.Right - 2, before.Bottom - 2);
  Display.Schedule([&] { Display.MoveMouse(before.Right - 150, before.Bottom - 60); });
  Display.Schedule([&] { Display.MoveMouse(before.Right - 312, before.Bottom - 96); });
  Display.Schedule([&] { Display.Release(); });
  Display.Press();
  Handle();
  const TRect w = WindowRect();
  ASSERT_EQ(w.Width(), 330);
  // The frame's right and bottom bands show the frame, not the children behind them.
  const TDib* cache = Provider->FrameCache();
  for (int x = w.Width() - 4; x < w.Width(); ++x)
    for (int y : {60, 120}) EXPECT_EQ(WindowPixel(x, y), cache->GetPixel(x, y)) << x << "," << y;
  for (int y = w.Height() - 4; y < w.Height(); ++y) EXPECT_EQ(WindowPixel(100, y), cache->GetPixel(100, y)) << y;
  // The content is reached by the form's own skinned bars.
  ASSERT_TRUE(Provider->VertBar() && Provider->HorzBar());
  EXPECT_TRUE(Provider->VertBar()->Visible() && Provider->HorzBar()->Visible());
}

// After a drag let go off the bar, the bar shows what a full repaint of the window draws.
TEST_F(SkinnedFrame, AThumbLetGoOffTheFormsOwnBarIsDrawnAsItsStateSays) {
  Form->SetBounds(192, 107, 330, 173);
  Handle();
  ASSERT_TRUE(Provider->HorzBar() && Provider->HorzBar()->Visible());
  TRect bar;
  GetWindowRect(Provider->HorzBar()->Handle(), &bar);
  // The thumb sits just after the left arrow; it is dragged left and let go below the bar.
  Display.MoveMouse(bar.Left + 17 + 6, bar.Top + bar.Height() / 2);
  Display.Press();
  Display.MoveMouse(bar.Left + 10, bar.Bottom + 30);
  Display.Release();
  Handle();
  const TDib shown = Display.Screenshot();
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Handle();
  const TDib repainted = Display.Screenshot();
  int differ = 0;
  for (int y = bar.Top; y < bar.Bottom; ++y)
    for (int x = bar.Left; x < bar.Right; ++x) differ += shown.GetPixel(x, y) != repainted.GetPixel(x, y);
  EXPECT_EQ(differ, 0);
}

}  // namespace
