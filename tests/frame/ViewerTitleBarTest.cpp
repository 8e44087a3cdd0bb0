// The viewer's title bar: what the pointer lights, the icon's clicks, the caption's font and a
// skin's piece behind the buttons.
#include <gtest/gtest.h>

#include <filesystem>

#include "frame/sSkinProvider.h"
#include "menus/sSystemMenu.h"
#include "platform/graphics/BmpFile.h"
#include "platform/windowing/Menu.h"
#include "tests/support/ViewerWindowTest.h"
#include "tests/skin/SkinFolderFiles.h"

namespace {

class ViewerTitleBar : public ViewerWindowTest {
 protected:
  TsSkinProvider* Provider = nullptr;

  void SetUp() override {
    ViewerWindowTest::SetUp();
    Provider = Form->sSkinProvider1;
  }
  void MoveTo(int x, int y) {
    const TPoint p = At(x, y);
    Display.MoveMouse(p.X, p.Y);
    Handle();
  }
  // The pixels of a window-relative rectangle as the screen shows them.
  TDib Shot(const TRect& r) {
    TDib part(r.Width(), r.Height());
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) part.SetPixel(x, y, WindowPixel(r.Left + x, r.Top + y));
    return part;
  }
  static int Differences(const TDib& a, const TDib& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
    return n;
  }
};

TEST_F(ViewerTitleBar, LeavingTheCloseButtonForTheSizingBorderBesideItPutsItOut) {
  // The close button spans window x 616..636 of the 640-pixel window; right of it, in the
  // caption's rows, lies the 4-pixel sizing border.
  const TRect close = Provider->ButtonRecord(HTCLOSE).R;
  const TDib normal = Shot(close);
  MoveTo(626, 10);
  ASSERT_EQ(Provider->HotCode(), HTCLOSE);
  ASSERT_GT(Differences(Shot(close), normal), 100);  // the hot face
  MoveTo(638, 10);
  const LRESULT border = HitAt(638, 10);
  EXPECT_TRUE(border >= HTLEFT && border <= HTBOTTOMRIGHT) << border;
  EXPECT_EQ(Provider->HotCode(), 0);
  EXPECT_EQ(Provider->ButtonRecord(HTCLOSE).State, 0);
  EXPECT_EQ(Differences(Shot(close), normal), 0);
}

TEST_F(ViewerTitleBar, ADoubleClickOnTheIconClosesTheWindowWhereOneClickOpensTheMenu) {
  int closes = 0;
  Form->OnClose = [&](TObject*, TCloseAction& action) {
    ++closes;
    action = caNone;
  };
  const TPoint icon = At(10, 10);
  // One click: the skinned system menu below the icon.
  bool shown = false;
  Display.Schedule([&] {
    shown = GetMenuWindow(Provider->SystemMenu()->Handle()) != nullptr;
    Display.Key(VK_ESCAPE);
  });
  Display.Click(icon.X, icon.Y);
  Handle();
  EXPECT_TRUE(shown);
  EXPECT_EQ(closes, 0);
  ASSERT_TRUE(Display.ScriptDone());

  // Two clicks at once: the second lands while the menu is open, and closes the window.
  Display.Advance(1000);
  Display.Click(icon.X, icon.Y);
  Display.Click(icon.X, icon.Y);
  Handle();
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(GetMenuWindow(Provider->SystemMenu()->Handle()), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);

  // A second click later than the double-click time only closes the menu.
  Display.Advance(1000);
  Display.ScheduleWait(GetDoubleClickTime() + 1);
  Display.Schedule([&] { Display.Click(icon.X, icon.Y); });
  Display.Click(icon.X, icon.Y);
  Handle();
  EXPECT_TRUE(Display.ScriptDone());
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(GetMenuWindow(Provider->SystemMenu()->Handle()), nullptr);
  // And the window still takes its clicks: the caption's double click maximises it.
  Display.Advance(1000);
  const TPoint caption = At(300, 10);
  Display.Click(caption.X, caption.Y);
  Display.Click(caption.X, caption.Y);
  Handle();
  EXPECT_TRUE(IsZoomed(Form->Handle()));
}

TEST_F(ViewerTitleBar, TheCaptionTakesTheStatusFontsHeightAsItsPointSize) {
  // The status font's height, -11, taken as a size: a font of -MulDiv(-11, 96, 72) = 15 pixels
  // from the top of its cell to the bottom. Of the strikes of MS Sans Serif the nearest is the
  // 10-point one, 16 pixels high with an ascent of 13 of which 3 are internal leading: its
  // capitals stand 13 - 3 = 10 pixels tall. (As a height, -11 would give the 8-point strike and
  // capitals 9 pixels tall.)
  const int title = Manager->FindSection("FORMTITLE");
  ASSERT_GE(title, 0);
  const COLORREF ink = ColorToRGB(Manager->Sections()[size_t(title)].HotFontColor);
  Form->SetCaption("HHHH");
  Handle();
  const TDib with = *Provider->FrameCache();
  Form->SetCaption("");
  Handle();
  const TDib without = *Provider->FrameCache();
  int top = -1, bottom = -1;
  for (int y = 0; y < 23; ++y)
    for (int x = 20; x < 400; ++x)
      if (with.GetPixel(x, y) != without.GetPixel(x, y) && with.GetPixel(x, y) == ink) {
        if (top < 0) top = y;
        bottom = y;
      }
  ASSERT_GE(top, 0);
  EXPECT_EQ(bottom - top + 1, 10);
}

// A skin folder whose form section has a "TITLEBAR" piece of three 30 x 23 states in a
// picture of its own: red when inactive, green when active, blue pressed.
void WriteTitleBarSkin(const TTempFolder& home) {
  TDib piece(90, 23, 24);
  const COLORREF states[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 90; ++x) piece.SetPixel(x, y, states[x / 30]);
  SaveBmpFile(piece, 24, home.Write("Skins/Piece/TITLEBAR.BMP", ""));
  home.Write("Skins/Piece/Options.dat",
             "[GLOBALINFO]\n"
             "VERSION=5\n"
             "[FORM]\n"
             "COLOR=8421504\n"
             "HOTCOLOR=8421504\n"
             "TITLEBAR=!TITLEBAR.BMP!3!0!0!0!0!0!0\n");
}

TEST_F(ViewerTitleBar, ASkinsTitleBarPieceLiesBehindTheButtonsInTheWindowsState) {
  THomeFolder home;
  WriteTitleBarSkin(home);
  Manager->SetSkinName("Piece");
  Handle();
  ASSERT_EQ(Manager->SkinName(), "Piece");
  // The skin has no button glyphs: close, maximise and minimise count 21 pixels each. A third
  // of a state of a piece with its own picture is its width / 9 = 10. The piece covers
  // 640 - (2 * 10 + 63) = 557 to the right edge, over the border and caption rows (4 + 19).
  const COLORREF grey = RGB(128, 128, 128), green = RGB(0, 255, 0), red = RGB(255, 0, 0);
  for (int x : {557, 580, 639}) {
    EXPECT_EQ(WindowPixel(x, 0), green) << x;
    EXPECT_EQ(WindowPixel(x, 22), green) << x;
  }
  EXPECT_EQ(WindowPixel(556, 10), grey);
  EXPECT_EQ(Provider->FrameCache()->GetPixel(600, 23), grey);
  // Another window takes the activation: the piece shows its inactive state.
  auto* other = new TForm(App);
  other->SetBounds(900, 600, 200, 150);
  other->Show();
  Handle();
  ASSERT_FALSE(Provider->FormActive());
  EXPECT_EQ(WindowPixel(600, 10), red);
  EXPECT_EQ(WindowPixel(556, 10), grey);
  // Without the system buttons there is no piece.
  Provider->BorderIcons = 0;
  Provider->ComposeFrame();
  EXPECT_EQ(Provider->FrameCache()->GetPixel(600, 10), grey);
}

// The maximise button's glyph is a box ten pixels square with its top in rows 5 to 15 of the
// 20 x 20 state; the restore glyph, two boxes of eight, the front one at the bottom left from
// (4, 8), the back one at the top right up to column 16. Column 4 lies left of the maximise
// box but on the front box's edge; (14, 14) is on the maximise box's right edge but outside
// both boxes of the restore glyph. (The internal skin's restore mask is its maximise mask.)
TEST_F(ViewerTitleBar, AMaximisedWindowShowsTheRestoreGlyphOfTheShippedSkinFolders) {
  THomeFolder home;
  std::filesystem::create_directory(home.Path() + "/Skins");
  for (const char* skin : {"Graphite", "Amber"})
    std::filesystem::copy(std::string(MARUK_SKIN_ASSETS) + skin, home.Path() + "/Skins/" + skin,
                          std::filesystem::copy_options::recursive);
  auto lightness = [&](const TRect& button, int x, int y) {
    const COLORREF c = WindowPixel(button.Left + x, button.Top + y);
    return GetRValue(c) + GetGValue(c) + GetBValue(c);
  };
  for (const char* skin : {"Graphite", "Amber"}) {
    SCOPED_TRACE(skin);
    Manager->SetSkinName(skin);
    Handle();
    ASSERT_EQ(Manager->SkinName(), skin);
    ASSERT_EQ(Form->WindowState(), wsNormal);
    TRect button = Provider->ButtonRecord(HTMAXBUTTON).R;
    EXPECT_GT(lightness(button, 14, 14), lightness(button, 4, 12) + 150);
    SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Handle();
    ASSERT_EQ(Form->WindowState(), wsMaximized);
    button = Provider->ButtonRecord(HTMAXBUTTON).R;
    EXPECT_GT(lightness(button, 4, 12), lightness(button, 14, 14) + 150);
    SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    Handle();
  }
}

}  // namespace
