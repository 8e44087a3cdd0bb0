// The skinned frame's title bar on a skin made of plain colours: the system and user buttons
// with their glyphs, the help button, the small glyph set and its 2-pixel drop, the inactive
// look, the caption's alignment, the grip, double clicks on the caption and WM_PRINT. Every
// place and colour below is worked out from the skin's numbers and the system metrics.
#include <gtest/gtest.h>

#include <vector>

#include "frame/sSkinProvider.h"
#include "tests/support/TestSkinForm.h"

namespace {

constexpr COLORREF kFrame = RGB(90, 100, 110), kActiveFrame = RGB(70, 80, 90);
constexpr COLORREF kTitle = RGB(120, 124, 128), kActiveTitle = RGB(20, 40, 160);
constexpr COLORREF kText = RGB(210, 212, 214), kActiveText = RGB(250, 250, 2);
// Title glyphs: 18 x 18 images, one colour per state (normal, hot, pressed).
const std::vector<COLORREF> kClose{RGB(200, 0, 0), RGB(220, 0, 0), RGB(240, 0, 0)};
const std::vector<COLORREF> kMax{RGB(0, 200, 0), RGB(0, 220, 0), RGB(0, 240, 0)};
const std::vector<COLORREF> kMin{RGB(0, 0, 200), RGB(0, 0, 220), RGB(0, 0, 240)};
const std::vector<COLORREF> kHelp{RGB(200, 200, 0), RGB(220, 220, 0), RGB(240, 240, 0)};
const std::vector<COLORREF> kNorm{RGB(0, 200, 200), RGB(0, 220, 220), RGB(0, 240, 240)};
// The user buttons' face: 16 x 18.
const std::vector<COLORREF> kUser{RGB(200, 0, 200), RGB(220, 0, 220), RGB(240, 0, 240)};
// The small set: 12 x 12.
const std::vector<COLORREF> kSmallClose{RGB(100, 0, 0), RGB(110, 0, 0), RGB(120, 0, 0)};
const std::vector<COLORREF> kSmallMin{RGB(0, 100, 0), RGB(0, 110, 0), RGB(0, 120, 0)};
const std::vector<COLORREF> kSmallMax{RGB(0, 0, 100), RGB(0, 0, 110), RGB(0, 0, 120)};
constexpr COLORREF kGrip = RGB(2, 4, 6);

// A form that remembers the system commands it is sent.
class TCommandForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<WPARAM> Commands;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SYSCOMMAND) Commands.push_back(m.WParam & 0xFFF0);
    TForm::WndProc(m);
  }
};

// Skins "Test" (large and small title glyphs) and "Large" (large ones only).
void AddTitleSkin(TTestSkin& skin, bool small) {
  skin.Section("FORM", kFrame, kActiveFrame);
  skin.Section("FORMTITLE", kTitle, kActiveTitle, kText, kActiveText);
  skin.Mask("GLOBALINFO", "BICONCLOSE", 0, 0, 18, 18, kClose);
  skin.Mask("GLOBALINFO", "BICONMAX", 60, 0, 18, 18, kMax);
  skin.Mask("GLOBALINFO", "BICONMIN", 120, 0, 18, 18, kMin);
  skin.Mask("GLOBALINFO", "BICONHELP", 180, 0, 18, 18, kHelp);
  skin.Mask("GLOBALINFO", "BICONNORM", 240, 0, 18, 18, kNorm);
  skin.Mask("GLOBALINFO", "TITLEBUTTON", 300, 0, 16, 18, kUser);
  skin.Mask("GLOBALINFO", "GRIPIMAGE", 120, 30, 10, 10, {kGrip});
  if (!small) return;
  skin.Mask("GLOBALINFO", "SICONCLOSE", 0, 30, 12, 12, kSmallClose);
  skin.Mask("GLOBALINFO", "SICONMIN", 40, 30, 12, 12, kSmallMin);
  skin.Mask("GLOBALINFO", "SICONMAX", 80, 30, 12, 12, kSmallMax);
}

// The fixture's form is sizeable, 400 x 300 at (100, 100): a 4-pixel frame and a 19-pixel
// caption, so the top band is 23 high and the 18-pixel buttons sit at (19 + 4 - 18) div 2 = 2,
// from the right: close 378..396, maximise 360..378, minimise 342..360.
class TitleBar : public TestSkinForm {
 protected:
  TsSkinProvider* Provider = nullptr;
  TCommandForm* Commands = nullptr;

  TForm* NewForm() override { return Commands = new TCommandForm(App); }
  void SetUp() override {
    TestSkinForm::SetUp();
    Form->SetCaption("Title");
    AddTitleSkin(*Skin, true);
    Skin->Apply();
    Provider = new TsSkinProvider(Form);
  }
  // Screen point of a point of `form`'s window.
  static TPoint At(TCustomForm* form, int x, int y) {
    TRect w;
    GetWindowRect(form->Handle(), &w);
    return {w.Left + x, w.Top + y};
  }
  LRESULT HitAt(int x, int y, TCustomForm* form = nullptr) {
    form = form ? form : Form;
    const TPoint p = At(form, x, y);
    return SendMessage(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
  }
  COLORREF WindowPixel(int x, int y, TCustomForm* form = nullptr) {
    const TPoint p = At(form ? form : Form, x, y);
    return Display.ScreenPixel(p.X, p.Y);
  }
  void PointAt(int x, int y) {
    const TPoint p = At(Form, x, y);
    Display.MoveMouse(p.X, p.Y);
    Handle();
  }
  TRect WindowRect() {
    TRect r;
    GetWindowRect(Form->Handle(), &r);
    return r;
  }
  // Half of the glyph and half of the title under it, as a faded glyph is drawn.
  static COLORREF Half(COLORREF a, COLORREF b) {
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2, (GetBValue(a) + GetBValue(b)) / 2);
  }
  // A picture of one colour with another one in its bottom-left pixel, which a user button
  // takes as its transparent colour.
  static TBitmap* Picture(TBitmap* into, int w, int h, COLORREF colour) {
    TDib dib(w, h);
    dib.Fill(colour);
    dib.SetPixel(0, h - 1, RGB(1, 1, 1));
    into->LoadFromDib(dib);
    return into;
  }
  // Another form with a provider of its own, shown at (500, 400).
  TCustomForm* MakeForm(TFormBorderStyle style, TBorderIcons icons = biSystemMenu | biMinimize | biMaximize) {
    auto* f = new TForm(App);
    f->SetBorderStyle(style);
    f->SetBounds(500, 400, 300, 200);
    auto* p = new TsSkinProvider(f);
    p->SetName("Provider");
    p->BorderIcons = icons;
    f->Show();
    Handle();
    return f;
  }
  static TsSkinProvider* ProviderOf(TCustomForm* f) { return static_cast<TsSkinProvider*>(f->FindComponent("Provider")); }
};

TEST_F(TitleBar, SystemButtonsShowTheirGlyphsFromTheRightEdge) {
  ShowForm();
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).R, (TRect{378, 2, 396, 20}));
  EXPECT_EQ(Provider->ButtonRecord(HTMAXBUTTON).R, (TRect{360, 2, 378, 20}));
  EXPECT_EQ(Provider->ButtonRecord(HTMINBUTTON).R, (TRect{342, 2, 360, 20}));
  EXPECT_EQ(WindowPixel(378, 2), kClose[0]);
  EXPECT_EQ(WindowPixel(395, 19), kClose[0]);
  EXPECT_EQ(WindowPixel(377, 10), kMax[0]);
  EXPECT_EQ(WindowPixel(350, 10), kMin[0]);
  EXPECT_EQ(WindowPixel(341, 10), kActiveTitle);
  EXPECT_EQ(WindowPixel(387, 1), kActiveTitle);
  EXPECT_EQ(WindowPixel(387, 20), kActiveTitle);
}

TEST_F(TitleBar, UserButtonsFollowTheSystemOnesAndADisabledOneIsFadedAndNotHit) {
  TsTitleButton* first = Provider->TitleButtons()->Add();
  TsTitleButton* second = Provider->TitleButtons()->Add();
  // The first is as wide as the skin's face (16, more than 8 + 2); the second as its 20-pixel
  // picture + 2.
  Picture(first->Glyph(), 8, 6, RGB(30, 60, 90));
  Picture(second->Glyph(), 20, 4, RGB(40, 70, 100));
  second->Enabled = false;
  std::vector<TPoint> downs, ups;
  first->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { downs.push_back({x, y}); };
  first->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) { ups.push_back({x, y}); };
  ShowForm();
  EXPECT_EQ(first->Record.R, (TRect{326, 2, 342, 20}));
  EXPECT_EQ(second->Record.R, (TRect{304, 2, 326, 20}));
  // The first: the skin's face with the picture centred on it, (326 + 4, 2 + 6), its
  // bottom-left pixel left out.
  EXPECT_EQ(WindowPixel(327, 3), kUser[0]);
  EXPECT_EQ(WindowPixel(330, 8), RGB(30, 60, 90));
  EXPECT_EQ(WindowPixel(337, 12), RGB(30, 60, 90));
  EXPECT_EQ(WindowPixel(330, 13), kUser[0]);
  EXPECT_EQ(WindowPixel(329, 8), kUser[0]);
  // The second: the face faded to half over the title, 16 wide from its left; its picture
  // at (304 + 1, 2 + 7), not faded.
  EXPECT_EQ(WindowPixel(304, 3), Half(kUser[0], kActiveTitle));
  EXPECT_EQ(WindowPixel(319, 19), Half(kUser[0], kActiveTitle));
  EXPECT_EQ(WindowPixel(321, 3), kActiveTitle);
  EXPECT_EQ(WindowPixel(306, 9), RGB(40, 70, 100));
  EXPECT_EQ(WindowPixel(324, 12), RGB(40, 70, 100));
  EXPECT_EQ(WindowPixel(305, 12), Half(kUser[0], kActiveTitle));

  EXPECT_EQ(HitAt(334, 2), 1000);
  EXPECT_EQ(HitAt(334, 20), 1000);
  EXPECT_EQ(HitAt(310, 10), HTCAPTION);
  EXPECT_EQ(HitAt(334, 21), HTCAPTION);

  PointAt(334, 10);
  EXPECT_EQ(Provider->HotCode(), 1000);
  EXPECT_EQ(WindowPixel(327, 3), kUser[1]);
  Display.Press();
  Handle();
  // Pressed: the face's third image, the picture one pixel right and down.
  EXPECT_EQ(first->Record.State, 2);
  EXPECT_EQ(WindowPixel(327, 3), kUser[2]);
  EXPECT_EQ(WindowPixel(330, 8), kUser[2]);
  EXPECT_EQ(WindowPixel(331, 9), RGB(30, 60, 90));
  EXPECT_EQ(WindowPixel(338, 13), RGB(30, 60, 90));
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0], At(Form, 334, 10));
  EXPECT_TRUE(ups.empty());
  Display.Release();
  Handle();
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0], At(Form, 334, 10));
  EXPECT_NE(first->Record.State, 2);
  EXPECT_TRUE(Commands->Commands.empty());
}

TEST_F(TitleBar, TheHelpButtonSitsLeftOfMinimiseAndAsksForContextHelp) {
  Provider->BorderIcons = biSystemMenu | biMinimize | biMaximize | biHelp;
  ShowForm();
  EXPECT_EQ(Provider->ButtonRecord(HTHELP).R, (TRect{324, 2, 342, 20}));
  EXPECT_EQ(WindowPixel(330, 10), kHelp[0]);
  EXPECT_EQ(HitAt(333, 10), HTHELP);
  EXPECT_EQ(HitAt(350, 10), HTMINBUTTON);
  PointAt(333, 10);
  EXPECT_EQ(WindowPixel(330, 10), kHelp[1]);
  Display.Press();
  Handle();
  EXPECT_EQ(WindowPixel(330, 10), kHelp[2]);
  Display.Release();
  Handle();
  EXPECT_EQ(Commands->Commands, std::vector<WPARAM>{SC_CONTEXTHELP});
  EXPECT_EQ(Provider->ButtonRecord(HTHELP).State, 0);
  EXPECT_TRUE(IsWindow(Form->Handle()));

  // A single-border form with only the system menu and help: close, then help.
  TCustomForm* single = MakeForm(bsSingle, biSystemMenu | biHelp);
  TsSkinProvider* p = ProviderOf(single);
  // A 3-pixel fixed frame: close 279..297, help 261..279, top (19 + 3 - 18) div 2 = 2.
  EXPECT_EQ(p->ButtonRecord(HTCLOSE).R, (TRect{279, 2, 297, 20}));
  EXPECT_EQ(p->ButtonRecord(HTHELP).R, (TRect{261, 2, 279, 20}));
  EXPECT_EQ(p->ButtonRecord(HTMAXBUTTON).State, -1);
  EXPECT_EQ(HitAt(270, 10, single), HTHELP);
  EXPECT_EQ(HitAt(288, 10, single), HTCLOSE);
  EXPECT_EQ(WindowPixel(270, 10, single), kHelp[0]);
}

TEST_F(TitleBar, SmallFramesUseTheSmallGlyphsTwoPixelsLowerWhileTheHitBandStays) {
  ShowForm();
  // A tool window: a 15-pixel caption and a 3-pixel frame. Its 12-pixel close glyph goes to
  // (15 + 3 - 12) div 2 + 2 = 5; no maximise or minimise.
  TCustomForm* tool = MakeForm(bsToolWindow);
  TsSkinProvider* p = ProviderOf(tool);
  EXPECT_EQ(p->ButtonRecord(HTCLOSE).R, (TRect{285, 5, 297, 17}));
  EXPECT_EQ(p->ButtonRecord(HTMAXBUTTON).State, -1);
  EXPECT_EQ(p->ButtonRecord(HTMINBUTTON).State, -1);
  EXPECT_EQ(WindowPixel(285, 5, tool), kSmallClose[0]);
  EXPECT_EQ(WindowPixel(296, 16, tool), kSmallClose[0]);
  EXPECT_NE(WindowPixel(290, 4, tool), kSmallClose[0]);
  // The hit band is (15 + 3 - 12) div 2 = 3 to 3 + 12.
  EXPECT_EQ(HitAt(290, 3, tool), HTCLOSE);
  EXPECT_EQ(HitAt(290, 15, tool), HTCLOSE);
  EXPECT_NE(HitAt(290, 16, tool), HTCLOSE);

  // A dialog: a 19-pixel caption, the small close glyph at (19 + 3 - 12) div 2 + 2 = 7.
  TCustomForm* dialog = MakeForm(bsDialog);
  EXPECT_EQ(ProviderOf(dialog)->ButtonRecord(HTCLOSE).R, (TRect{285, 7, 297, 19}));
  EXPECT_EQ(WindowPixel(290, 10, dialog), kSmallClose[0]);

  // A skin without the small set: the large close glyph, 18 high, at (19 + 3 - 18) div 2.
  TTestSkin large(Manager, "Large");
  AddTitleSkin(large, false);
  large.Apply();
  Handle();
  EXPECT_EQ(ProviderOf(dialog)->ButtonRecord(HTCLOSE).R, (TRect{279, 2, 297, 20}));
  EXPECT_EQ(WindowPixel(290, 10, dialog), kClose[0]);
}

TEST_F(TitleBar, AnInactiveWindowHasTheInactiveTitleFrameAndTextAndFadedButtons) {
  ShowForm();
  ASSERT_TRUE(Provider->FormActive());
  EXPECT_EQ(WindowPixel(300, 12), kActiveTitle);
  EXPECT_EQ(WindowPixel(1, 150), kActiveFrame);
  EXPECT_EQ(WindowPixel(387, 11), kClose[0]);
  EXPECT_GT(BoundsOfColour(Display.WindowShot(Form->Handle()), kActiveText, {0, 0, 400, 23}).Width(), 10);

  TCustomForm* other = MakeForm(bsSizeable);
  ASSERT_FALSE(Provider->FormActive());
  EXPECT_EQ(WindowPixel(300, 12), kTitle);
  EXPECT_EQ(WindowPixel(1, 150), kFrame);
  EXPECT_EQ(WindowPixel(200, 298), kFrame);
  // Every system button faded to half over the inactive title.
  EXPECT_EQ(WindowPixel(387, 11), Half(kClose[0], kTitle));
  EXPECT_EQ(WindowPixel(370, 11), Half(kMax[0], kTitle));
  EXPECT_EQ(WindowPixel(350, 11), Half(kMin[0], kTitle));
  const TDib shot = Display.WindowShot(Form->Handle());
  EXPECT_TRUE(BoundsOfColour(shot, kActiveText, {0, 0, 400, 23}).IsEmpty());
  EXPECT_GT(BoundsOfColour(shot, kText, {0, 0, 400, 23}).Width(), 10);

  // Active again.
  (void)other;
  SetActiveWindow(Form->Handle());
  Handle();
  EXPECT_TRUE(Provider->FormActive());
  EXPECT_EQ(WindowPixel(300, 12), kActiveTitle);
  EXPECT_EQ(WindowPixel(387, 11), kClose[0]);
}

TEST_F(TitleBar, TheCaptionIsAlignedInsideTheRoomBetweenIconAndButtons) {
  Form->SetCaption("Maruk timeline ROM viewer");
  ShowForm();
  // The room: from 16 (icon) + 4 (frame) + 4 to 400 - 3 x 18 - 6.
  const int left = 24, right = 340;
  auto ink = [&] { return BoundsOfColour(Display.WindowShot(Form->Handle()), kActiveText, {0, 0, 400, 23}); };
  const TRect atLeft = ink();
  ASSERT_FALSE(atLeft.IsEmpty());
  EXPECT_GE(atLeft.Left, left);
  EXPECT_LE(atLeft.Left, left + 1);  // the first letter's side bearing
  Provider->SetCaptionAlignment(taRightJustify);
  Handle();
  const TRect atRight = ink();
  EXPECT_EQ(atRight.Width(), atLeft.Width());
  EXPECT_LE(atRight.Right, right);
  EXPECT_GE(atRight.Right, right - 2);
  EXPECT_EQ(atRight.Top, atLeft.Top);
  // Right-aligned the text's box starts room - text width further right; centred, half that.
  const int spare = atRight.Left - atLeft.Left;
  EXPECT_GT(spare, 100);
  Provider->SetCaptionAlignment(taCenter);
  Handle();
  const TRect atCentre = ink();
  EXPECT_EQ(atCentre.Left - atLeft.Left, spare / 2);
  EXPECT_EQ(atCentre.Top, atLeft.Top);
}

TEST_F(TitleBar, TheGripSitsInTheCornerInsideTheFrameAndSizesFromThere) {
  Provider->GripMode = gmRightBottom;
  ShowForm();
  // 10 x 10 at (400 - 10 - 4, 300 - 10 - 4), over the client area's corner.
  EXPECT_EQ(WindowPixel(386, 286), kGrip);
  EXPECT_EQ(WindowPixel(395, 295), kGrip);
  EXPECT_EQ(WindowPixel(385, 290), kActiveFrame);
  EXPECT_EQ(WindowPixel(390, 285), kActiveFrame);
  // Strictly right of and below the grip's top-left corner the window sizes.
  EXPECT_EQ(HitAt(387, 287), HTBOTTOMRIGHT);
  EXPECT_EQ(HitAt(395, 295), HTBOTTOMRIGHT);
  EXPECT_EQ(HitAt(386, 290), HTCLIENT);
  EXPECT_EQ(HitAt(390, 286), HTCLIENT);
  Provider->GripMode = gmNone;
  Provider->ComposeFrame();
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  Handle();
  EXPECT_EQ(HitAt(390, 290), HTCLIENT);
  EXPECT_EQ(WindowPixel(390, 290), kActiveFrame);
}

TEST_F(TitleBar, ADoubleClickOnTheCaptionMaximisesAndASecondRestores) {
  ShowForm();
  const TPoint caption = At(Form, 200, 12);
  Display.Click(caption.X, caption.Y);
  Display.Click(caption.X, caption.Y);
  Handle();
  ASSERT_TRUE(IsZoomed(Form->Handle()));
  EXPECT_EQ(WindowRect(), (TRect{-4, -4, 1284, 988}));
  EXPECT_EQ(WindowPixel(1250, 12), kNorm[0]);  // the maximise button became restore
  Display.Advance(1000);
  const TPoint again = At(Form, 200, 12);
  Display.Click(again.X, again.Y);
  Display.Click(again.X, again.Y);
  Handle();
  EXPECT_FALSE(IsZoomed(Form->Handle()));
  EXPECT_EQ(WindowRect(), (TRect{100, 100, 500, 400}));

  // Without maximise in the border icons of a single-border form, nothing happens.
  TCustomForm* single = MakeForm(bsSingle, biSystemMenu | biMinimize);
  const TPoint other = At(single, 150, 12);
  Display.Click(other.X, other.Y);
  Display.Click(other.X, other.Y);
  Handle();
  EXPECT_FALSE(IsZoomed(single->Handle()));
  TRect r;
  GetWindowRect(single->Handle(), &r);
  EXPECT_EQ(r, (TRect{500, 400, 800, 600}));
}

TEST_F(TitleBar, WMPrintCopiesTheFramesBandsAndNothingOfTheClient) {
  ShowForm();
  TDib picture(400, 300);
  const COLORREF untouched = RGB(1, 2, 3);
  picture.Fill(untouched);
  TDC dc(&picture);
  SendMessage(Form->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(&dc), PRF_NONCLIENT);
  EXPECT_EQ(picture.GetPixel(300, 12), kActiveTitle);
  EXPECT_EQ(picture.GetPixel(387, 11), kClose[0]);
  EXPECT_EQ(picture.GetPixel(370, 11), kMax[0]);
  EXPECT_EQ(picture.GetPixel(1, 150), kActiveFrame);
  EXPECT_EQ(picture.GetPixel(398, 150), kActiveFrame);
  EXPECT_EQ(picture.GetPixel(200, 298), kActiveFrame);
  EXPECT_EQ(picture.GetPixel(200, 150), untouched);
  EXPECT_EQ(picture.GetPixel(4, 23), untouched);

  // A frame marked as changed is composed first.
  const int title = Manager->FindSection("FORMTITLE");
  ASSERT_GE(title, 0);
  Manager->Sections()[size_t(title)].HotColor = TColor(RGB(2, 100, 50));
  Provider->SkinData()->CacheInvalid = true;
  SendMessage(Form->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(&dc), PRF_NONCLIENT);
  EXPECT_EQ(picture.GetPixel(300, 12), RGB(2, 100, 50));
}

}  // namespace
