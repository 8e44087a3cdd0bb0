#include "controls/sUpDown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/graphics/DC.h"
#include "skin/render/sCommonData.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

// A skinned container whose face is one colour. While Stale it answers the deferred query
// with yes and paints nothing new; after each paint it tells its windowed children that its
// face is complete, as the group box does.
class TFace : public TCustomControl {
 public:
  static constexpr COLORREF kColor = RGB(60, 120, 90);
  explicit TFace(TComponent* owner) : TCustomControl(owner), Link(this, true) {
    ControlStyle |= csAcceptsControls;
    Link.ControlKind = 51;
    Link.SetSkinSection("PANEL");
  }
  TsCommonData Link;
  bool Stale = false;

  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD && SkinCommandOf(m.WParam) == AC_DEFERREDQUERY) {
      m.LParam = Stale || Link.CacheInvalid ? 1 : 0;
      return;
    }
    if (Link.HandleMessage(m)) return;
    TCustomControl::WndProc(m);
  }

 protected:
  void Paint() override {
    if (Stale) return;
    Link.SizeCache();
    Link.Cache()->Fill(kColor);
    Link.CacheInvalid = false;
    Link.PaintCacheTo({0, 0, 0, 0}, false, Canvas()->Handle(), ClientRect());
    for (int i = 0; i < ControlCount(); ++i)
      if (Controls(i)->IsWindowed()) Controls(i)->Perform(SM_KARVOCMD, MakeSkinCommand(AC_UPDATEFINISHED), 0);
  }
};

class UpDown : public SkinnedControls {
 protected:
  void Settle() {
    App->ProcessMessages();
    Display.Pump();
  }
  void Hover(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    Settle();
  }
};

// The stored skin's arrows: three state images side by side, key-coloured where transparent.
const TRect kLeftArrow{282, 39, 300, 47};    // 6 x 8 each
const TRect kRightArrow{264, 39, 282, 47};
const TRect kTopArrow{0, 252, 24, 258};      // 8 x 6 each
const TRect kBottomArrow{26, 252, 50, 258};
// The scroll buttons' border mask: 21 x 21 images over their masks, 7-pixel borders.
const TRect kButtonBorder{0, 72, 63, 114};
constexpr COLORREF kKey = 0xFF00FF;

uint8_t Channel(COLORREF c, int shift) { return uint8_t((c >> shift) & 0xFF); }

class SkinnedUpDown : public UpDown {
 protected:
  TFace* Face = nullptr;
  TsUpDown* MakeHorizontal(int position, int max = 2048) {
    Face = Make<TFace>(10, 10, 300, 100);
    auto* u = Make<TsUpDown>(24, 40, 16, 145, Face);
    u->SetOrientation(udHorizontal);  // turns 16 x 145 into 145 x 16
    u->SetMax(max);
    u->SetPosition(position);
    u->OnClick = [this](TObject*, TUDBtnType) { ++Clicks; };
    return u;
  }
  // How many pixels of an arrow's state image, drawn with its top-left at (x, y) of the
  // control, are not on the screen as `expected` makes them of the picture's pixel. Only
  // the arrow's own (not key-coloured) pixels count.
  template <class F>
  int ArrowMisses(TControl* c, const TRect& arrow, int state, int x, int y, F expected) {
    const TDib& master = *Manager->MasterBitmap();
    const int w = arrow.Width() / 3, h = arrow.Height();
    const TDib shot = ShotOf(c);
    int misses = 0, drawn = 0;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const COLORREF s = master.GetPixel(arrow.Left + state * w + i, arrow.Top + j);
        if (s == kKey) continue;
        ++drawn;
        misses += !expected(s, shot.GetPixel(x + i, y + j));
      }
    EXPECT_GT(drawn, 0);
    return misses;
  }
  int ArrowMisses(TControl* c, const TRect& arrow, int state, int x, int y) {
    return ArrowMisses(c, arrow, state, x, y, [](COLORREF s, COLORREF shown) { return s == shown; });
  }
  // An unavailable button keeps 40 % of itself over 60 % of what lies behind it.
  int DimmedArrowMisses(TControl* c, const TRect& arrow, int x, int y) {
    return ArrowMisses(c, arrow, 0, x, y, [](COLORREF s, COLORREF shown) {
      for (int shift : {0, 8, 16}) {
        const double want = 0.6 * Channel(TFace::kColor, shift) + 0.4 * Channel(s, shift);
        if (std::abs(Channel(shown, shift) - want) > 1.0) return false;
      }
      return true;
    });
  }
  // The top corner piece (7 x 7) of the border mask's normal image, left or right, as it
  // lies over the face's colour: key pixels show the face, the others are mixed with it.
  int CornerMisses(TControl* c, bool right, int x) {
    const TDib& master = *Manager->MasterBitmap();
    const TDib shot = ShotOf(c);
    const int px = kButtonBorder.Left + (right ? 21 - 7 : 0);
    int misses = 0;
    for (int j = 0; j < 7; ++j)
      for (int i = 0; i < 7; ++i) {
        const COLORREF s = master.GetPixel(px + i, kButtonBorder.Top + j);
        const COLORREF m = master.GetPixel(px + i, kButtonBorder.Top + 21 + j);
        COLORREF want = TFace::kColor;
        if (s != kKey) {
          want = 0;
          for (int shift : {0, 8, 16}) {
            const int d = Channel(TFace::kColor, shift), sc = Channel(s, shift), mc = Channel(m, shift);
            want |= COLORREF(std::clamp(((d - sc) * mc + sc * 256) >> 8, 0, 255)) << shift;
          }
        }
        misses += shot.GetPixel(x + i, j) != want;
      }
    return misses;
  }
  int Clicks = 0;
};

TEST_F(SkinnedUpDown, A145PixelControlHasA72WideLeftAndA73WideRightButtonWithCentredArrows) {
  TsUpDown* u = MakeHorizontal(1000);
  ShowForm();
  ASSERT_EQ(u->Width(), 145);
  ASSERT_EQ(u->Height(), 16);
  // Rounded corners where each button begins and ends.
  EXPECT_EQ(CornerMisses(u, false, 0), 0);
  EXPECT_EQ(CornerMisses(u, true, 72 - 7), 0);
  EXPECT_EQ(CornerMisses(u, false, 72), 0);
  EXPECT_EQ(CornerMisses(u, true, 145 - 7), 0);
  // 6 x 8 arrows at ((72 - 6) div 2, (16 - 8) div 2) and 72 + (73 - 6) div 2.
  EXPECT_EQ(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);
  EXPECT_EQ(ArrowMisses(u, kRightArrow, 0, 72 + 33, 4), 0);
}

TEST_F(SkinnedUpDown, AVerticalControlUsesTheTopAndBottomButtons) {
  Face = Make<TFace>(10, 10, 300, 100);
  auto* u = Make<TsUpDown>(24, 10, 17, 41, Face);
  u->SetPosition(50);
  ShowForm();
  // 8 x 6 arrows in a 17 x 20 top and a 17 x 21 bottom button.
  EXPECT_EQ(ArrowMisses(u, kTopArrow, 0, 4, 7), 0);
  EXPECT_EQ(ArrowMisses(u, kBottomArrow, 0, 4, 20 + 7), 0);
  // The top button moves towards Max.
  u->SetPosition(100);
  Settle();
  EXPECT_EQ(DimmedArrowMisses(u, kTopArrow, 4, 7), 0);
  EXPECT_EQ(ArrowMisses(u, kBottomArrow, 0, 4, 20 + 7), 0);
}

TEST_F(SkinnedUpDown, AButtonAtItsLimitLooksUnavailableAndNeverTurnsHot) {
  TsUpDown* u = MakeHorizontal(0);
  ShowForm();
  EXPECT_EQ(DimmedArrowMisses(u, kLeftArrow, 33, 4), 0);
  EXPECT_EQ(ArrowMisses(u, kRightArrow, 0, 72 + 33, 4), 0);
  Hover(u, 20, 8);
  EXPECT_EQ(u->DrawingState(), dsNormal);
  EXPECT_EQ(DimmedArrowMisses(u, kLeftArrow, 33, 4), 0);
  Hover(u, 100, 8);
  EXPECT_EQ(u->DrawingState(), dsSecondHot);

  // At Max it is the right button, which loses its hot look there.
  u->SetPosition(2048);
  Settle();
  EXPECT_EQ(u->DrawingState(), dsNormal);
  EXPECT_EQ(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);
  EXPECT_EQ(DimmedArrowMisses(u, kRightArrow, 72 + 33, 4), 0);
}

TEST_F(SkinnedUpDown, WithoutShowInaccessibilityBothButtonsAlwaysLookAvailable) {
  TsUpDown* u = MakeHorizontal(0);
  u->SetShowInaccessibility(false);
  ShowForm();
  EXPECT_EQ(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);
  Hover(u, 20, 8);
  EXPECT_EQ(u->DrawingState(), dsFirstHot);
  EXPECT_EQ(ArrowMisses(u, kLeftArrow, 1, 33, 4), 0);
}

TEST_F(SkinnedUpDown, TheHotButtonFollowsThePointerAndLeavingClearsIt) {
  TsUpDown* u = MakeHorizontal(1000);
  ShowForm();
  Hover(u, 71, 8);
  EXPECT_EQ(u->DrawingState(), dsFirstHot);
  EXPECT_EQ(ArrowMisses(u, kLeftArrow, 1, 33, 4), 0);
  EXPECT_EQ(ArrowMisses(u, kRightArrow, 0, 72 + 33, 4), 0);
  Hover(u, 72, 8);
  EXPECT_EQ(u->DrawingState(), dsSecondHot);
  EXPECT_EQ(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);
  EXPECT_EQ(ArrowMisses(u, kRightArrow, 1, 72 + 33, 4), 0);
  Hover(Face, 250, 90);
  EXPECT_EQ(u->DrawingState(), dsNormal);
  EXPECT_EQ(ArrowMisses(u, kRightArrow, 0, 72 + 33, 4), 0);
}

TEST_F(SkinnedUpDown, APressShowsThePressedButtonAndClicksOnlyWhenThePositionMoves) {
  TsUpDown* u = MakeHorizontal(0);
  ShowForm();
  Hover(u, 20, 8);
  Display.Press();
  Settle();
  EXPECT_EQ(u->DrawingState(), dsNormal);
  Display.Release();
  Settle();
  EXPECT_EQ(u->Position(), 0);
  EXPECT_EQ(Clicks, 0);

  Hover(u, 100, 8);
  Display.Press();
  Settle();
  EXPECT_EQ(u->Position(), 1);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(u->DrawingState(), dsSecondPressed);
  EXPECT_EQ(ArrowMisses(u, kRightArrow, 2, 72 + 33, 4), 0);
  EXPECT_EQ(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);  // no longer at its limit
  Display.Release();
  Settle();
  EXPECT_EQ(u->DrawingState(), dsSecondHot);

  // Back to the limit: the left button is pressed, then unavailable.
  Hover(u, 20, 8);
  EXPECT_EQ(u->DrawingState(), dsFirstHot);
  Click(u, 20, 8);
  Settle();
  EXPECT_EQ(u->Position(), 0);
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(u->DrawingState(), dsNormal);
  EXPECT_EQ(DimmedArrowMisses(u, kLeftArrow, 33, 4), 0);
}

TEST_F(SkinnedUpDown, InsideAStaleContainerItWaitsForTheContainersUpdate) {
  TsUpDown* u = MakeHorizontal(1000);
  Face->Stale = true;
  ShowForm();
  EXPECT_GT(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);
  u->Repaint();
  Display.Pump();
  EXPECT_GT(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);
  // Told of the update while the face is still stale: it keeps waiting.
  u->Perform(SM_KARVOCMD, MakeSkinCommand(AC_UPDATEFINISHED), 0);
  Display.Pump();
  EXPECT_GT(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);

  // The container paints its face and then tells its children.
  Face->Stale = false;
  Face->Repaint();
  Display.Pump();
  EXPECT_EQ(ArrowMisses(u, kLeftArrow, 0, 33, 4), 0);
  EXPECT_EQ(CornerMisses(u, false, 0), 0);
}

TEST_F(UpDown, WithoutTheScrollButtonSectionsTheToolkitPaints) {
  // A skin without sections: the toolkit's classic face, button face grey with an arrow.
  Manager->SetActive(false);
  auto* u = Make<TsUpDown>(24, 40, 16, 145);
  u->SetOrientation(udHorizontal);
  ShowForm();
  EXPECT_EQ(PixelOf(u, 10, 8), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
