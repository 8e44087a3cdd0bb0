#include <gtest/gtest.h>

#include <set>
#include <string>

#include "controls/sGroupBox.h"
#include "controls/sLabel.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "skin/data/sSkinManager.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

using TGlyphs = std::set<std::pair<int, int>>;

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// The pixels of a label's caption drawn plainly at its top-left corner.
TGlyphs GlyphPixels(TControl* label) {
  TDib dib(label->Width() + 10, label->Height() + 10);
  dib.Fill(RGB(255, 255, 255));
  TDC dc(&dib);
  SelectFont(&dc, label->Font()->LogFont());
  SetTextColor(&dc, 0);
  SetBkMode(&dc, TRANSPARENT);
  TRect at{0, 0, dib.Width(), dib.Height()};
  DrawText(&dc, label->Caption(), &at, DT_LEFT | DT_TOP | DT_EXPANDTABS);
  TGlyphs out;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x)
      if (dib.GetPixel(x, y) != RGB(255, 255, 255)) out.insert({x, y});
  return out;
}

class Label : public SkinnedControls {
 protected:
  // Counts, for a label on screen, the pixels that are not `ink` on the caption's glyphs and
  // not `paper` elsewhere.
  int WrongPixels(TControl* label, COLORREF ink, COLORREF paper) {
    const TGlyphs glyphs = GlyphPixels(label);
    int wrong = 0;
    for (int y = 0; y < label->Height(); ++y)
      for (int x = 0; x < label->Width(); ++x)
        wrong += PixelOf(label, x, y) != (glyphs.count({x, y}) ? ink : paper);
    return wrong;
  }
};

class TCountingLabel : public TsLabel {
 public:
  explicit TCountingLabel(TComponent* owner) : TsLabel(owner) {}
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    TsLabel::Paint();
  }
};

TEST_F(Label, TextTakesTheSkinsGlobalFontColourAndTheColourNeverShows) {
  auto* skinColoured = Make<TsLabel>(10, 10, 60, 13);
  auto* ownColoured = Make<TsLabel>(10, 40, 60, 13);
  auto* custom = Make<TsCustomLabel>(10, 70, 60, 13);
  for (TCustomLabel* l : std::initializer_list<TCustomLabel*>{skinColoured, ownColoured, custom}) {
    l->SetCaption("Hex 42");
    l->Font()->SetColor(kRed);
    l->SetColor(kBlue);
    EXPECT_TRUE(l->Transparent());
  }
  ownColoured->SetUseSkinColor(false);
  ShowForm();
  ASSERT_EQ(Manager->GlobalFontColor(), 0u);  // "BlueGlass (internal)" writes black
  EXPECT_EQ(WrongPixels(skinColoured, 0, kFormColor), 0);
  EXPECT_EQ(WrongPixels(custom, 0, kFormColor), 0);
  EXPECT_EQ(WrongPixels(ownColoured, kRed, kFormColor), 0);
}

TEST_F(Label, DisabledTextIsBlendedTowardWhatLiesBehind) {
  Form->SetColor(clWhite);
  auto* onForm = Make<TsLabel>(10, 10, 60, 13);
  onForm->SetCaption("Hex 42");
  onForm->Font()->SetColor(kRed);  // painted in the skin's black, then blended
  onForm->SetEnabled(false);
  // Inside a skinned group box the box answers with the colour that shows through its face.
  auto* box = Make<TsGroupBox>(10, 40, 200, 60);
  box->SetColor(clAqua);
  auto* inBox = Make<TsLabel>(10, 20, 60, 13, box);
  inBox->SetCaption("Hex 42");
  inBox->SetEnabled(false);
  // Its own colour: red 0.4 * 4 + 0.6 * 255 = 154.6 rounds to 155.
  auto* own = Make<TsLabel>(100, 10, 60, 13);
  own->SetCaption("Hex 42");
  own->SetUseSkinColor(false);
  own->Font()->SetColor(RGB(4, 0, 0));
  own->SetEnabled(false);
  ShowForm();
  EXPECT_EQ(WrongPixels(own, RGB(155, 153, 153), RGB(255, 255, 255)), 0);
  EXPECT_EQ(WrongPixels(onForm, 0x999999, RGB(255, 255, 255)), 0);
  EXPECT_EQ(WrongPixels(inBox, 0x999999, RGB(255, 255, 255)), 0);

  // 0.4 of black and 0.6 of (200, 210, 220), each rounded.
  Form->SetColor(kFormColor);
  box->SkinData()->InvalidateCache();
  Display.Pump();
  EXPECT_EQ(WrongPixels(onForm, RGB(120, 126, 132), kFormColor), 0);
  EXPECT_EQ(WrongPixels(inBox, RGB(120, 126, 132), kFormColor), 0);

  // Without a skin disabled text is engraved as the toolkit does it.
  Manager->SetActive(false);
  Display.Pump();
  EXPECT_NE(WrongPixels(onForm, RGB(120, 126, 132), kFormColor), 0);
}

TEST_F(Label, RemovingTheSkinGivesSkinColouredLabelsTheWindowTextColour) {
  auto* skinColoured = Make<TsLabel>(10, 10, 60, 13);
  auto* ownColoured = Make<TsLabel>(10, 40, 60, 13);
  auto* box = Make<TsGroupBox>(100, 10, 200, 60);
  auto* inBox = Make<TsLabel>(10, 20, 60, 13, box);
  for (TsLabel* l : {skinColoured, ownColoured, inBox}) {
    l->SetCaption("Hex 42");
    l->Font()->SetColor(kRed);
  }
  ownColoured->SetUseSkinColor(false);
  ShowForm();
  Manager->SetActive(false);
  Display.Pump();
  EXPECT_EQ(skinColoured->Font()->Color(), clWindowText);
  EXPECT_EQ(inBox->Font()->Color(), clWindowText);
  EXPECT_EQ(ownColoured->Font()->Color(), TColor(kRed));
  EXPECT_EQ(WrongPixels(skinColoured, ColorToRGB(clWindowText), kFormColor), 0);
  EXPECT_EQ(WrongPixels(ownColoured, kRed, kFormColor), 0);
}

TEST_F(Label, TakingTheSkinColourNeitherResizesNorRepaintsNorCutsTheParentFont) {
  auto* label = Make<TCountingLabel>(10, 10, 60, 13);
  label->SetCaption("Hex 42");
  ShowForm();
  ASSERT_TRUE(label->ParentFont());
  const int width = label->Width();
  label->Paints = 0;
  label->Font()->SetColor(kRed);  // a change of its own: repaints once
  label->Repaint();
  EXPECT_EQ(label->Paints, 1);
  Display.Pump();
  EXPECT_EQ(label->Paints, 1);
  EXPECT_EQ(label->Width(), width);
  EXPECT_EQ(label->Font()->Color(), TColor(0));

  auto* follower = Make<TCountingLabel>(10, 40, 60, 13);
  follower->SetCaption("Hex 42");
  Display.Pump();
  EXPECT_TRUE(follower->ParentFont());
  Form->Font()->SetHeight(-16);
  EXPECT_EQ(follower->Font()->Height(), -16);
}

TEST_F(Label, ReportsThePointerEnteringAndLeaving) {
  auto* label = Make<TsLabel>(10, 10, 60, 13);
  label->SetCaption("Hex 42");
  std::string events;
  label->OnMouseEnter = [&](TObject* sender) { events += sender == label ? "enter " : "? "; };
  label->OnMouseLeave = [&](TObject* sender) { events += sender == label ? "leave " : "? "; };
  ShowForm();
  // Hover is tracked by the application's loop as it takes the pointer's moves.
  auto move = [&](TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    App->ProcessMessages();
  };
  move(Form, 200, 200);
  move(label, 5, 5);
  move(label, 8, 6);
  move(Form, 200, 200);
  EXPECT_EQ(events, "enter leave ");
}

}  // namespace
