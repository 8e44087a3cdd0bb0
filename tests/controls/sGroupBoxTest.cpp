#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "controls/sGroupBox.h"
#include "controls/sLabel.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "skin/data/sSkinManager.h"
#include "tests/controls/SkinnedControlsTest.h"

namespace {

using GroupBox = SkinnedControls;
using TGlyphs = std::set<std::pair<int, int>>;

constexpr COLORREF kKey = 0xFF00FF;

int TextWidth(const TFont* font, const std::string& text) {
  TDC probe(nullptr);
  SelectFont(&probe, font->LogFont());
  TSize size;
  GetTextExtentPoint32(&probe, text, &size);
  return size.cx;
}

// The pixels that `text` covers when drawn plainly with its top-left corner at (x, y).
TGlyphs GlyphPixels(const TFont* font, const std::string& text, int x, int y) {
  TDib dib(x + 200, y + 30);
  dib.Fill(RGB(255, 255, 255));
  TDC dc(&dib);
  SelectFont(&dc, font->LogFont());
  SetTextColor(&dc, 0);
  SetBkMode(&dc, TRANSPARENT);
  TRect at{x, y, x + 200, y + 30};
  DrawText(&dc, text, &at, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  TGlyphs out;
  for (int j = 0; j < dib.Height(); ++j)
    for (int i = 0; i < dib.Width(); ++i)
      if (dib.GetPixel(i, j) != RGB(255, 255, 255)) out.insert({i, j});
  return out;
}

// The stored skin's "GROUPBOX" border: one 21 x 21 image at (63, 72) of the master bitmap
// with 7-pixel margins and its transparency mask 21 rows lower, laid over the box's body from
// row `top` down. Returns the face pixel at (x, y) of a w x h box over `behind`, or the key
// colour where the border leaves the body's inside alone.
COLORREF FacePixel(const TDib& master, COLORREF behind, int w, int h, int top, int x, int y) {
  if (y < top) return behind;
  const int bx = x < 7 ? 63 + x : x >= w - 7 ? 77 + x - (w - 7) : -1;
  const int by = y - top < 7 ? 72 + y - top : y >= h - 7 ? 86 + y - (h - 7) : -1;
  const int edgeX = 70 + (x - 7) % 7, edgeY = 79 + (y - top - 7) % 7;
  if (bx < 0 && by < 0) return kKey;
  const int sx = bx >= 0 ? bx : edgeX, sy = by >= 0 ? by : edgeY;
  const COLORREF s = master.GetPixel(sx, sy), m = master.GetPixel(sx, sy + 21);
  if (s == kKey) return behind;  // only corners hold key pixels: they show what lies behind
  auto mix = [](int d, int sv, int mv) { return std::clamp(((d - sv) * mv + sv * 256) >> 8, 0, 255); };
  return RGB(mix(GetRValue(behind), GetRValue(s), GetRValue(m)), mix(GetGValue(behind), GetGValue(s), GetGValue(m)),
             mix(GetBValue(behind), GetBValue(s), GetBValue(m)));
}

// A windowless child that counts its paints and remembers what lay under it when it painted.
class TCountingChild : public TGraphicControl {
 public:
  explicit TCountingChild(TComponent* owner) : TGraphicControl(owner) {}
  int Paints = 0;
  COLORREF Under = CLR_INVALID;
  std::vector<std::string>* Log = nullptr;

 protected:
  void Paint() override {
    ++Paints;
    Under = Canvas()->Pixel(0, 0);
    if (Log) Log->push_back("graphic");
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(RGB(255, 0, 0));
    Canvas()->FillRect({2, 2, 6, 6});
  }
};

// A windowed skinned child that holds back while its parent's face is stale and paints once
// told that the parent has finished.
class TWaitingChild : public TCustomControl {
 public:
  TWaitingChild(TComponent* owner, std::vector<std::string>* log) : TCustomControl(owner), Link(this, true), Log(log) {}
  TsCommonData Link;
  std::vector<std::string>* Log;

  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD) {
      switch (SkinCommandOf(m.WParam)) {
        case AC_UPDATEFINISHED:
          Log->push_back("finished");
          if (Link.IsDeferred()) {
            Link.Deferred = false;
            Repaint();
          }
          return;
        case AC_REFRESH:
          Link.HandleSkinCommand(m);
          Repaint();
          return;
        case AC_STOPFADING:
          Log->push_back("stop fading");
          return;
        default:
          if (Link.HandleMessage(m)) return;
          break;
      }
    }
    TCustomControl::WndProc(m);
  }

 protected:
  void Paint() override {
    Link.SetDeferred(Link.IsDeferred());
    Log->push_back(Link.Deferred ? "held" : "painted");
  }
};

// ---- Geometry -----------------------------------------------------------------------------------

TEST_F(GroupBox, CaptionRectangleFollowsTheLayoutAndStaysInsideTheBox) {
  auto* box = Make<TsGroupBox>(10, 10, 200, 100);
  box->SetCaption("Data view");
  ASSERT_TRUE(box->SkinData()->IsSkinned());
  const int tw = TextWidth(box->Font(), "Data view");
  ASSERT_GT(tw, 20);
  EXPECT_EQ(box->SkinCaptionHeight(), 13 + 2);
  EXPECT_EQ(box->CaptionRect(), (TRect{6, 0, 6 + tw + 8, 15}));
  box->SetCaptionLayout(clTopCenter);
  EXPECT_EQ(box->CaptionRect().Left, (200 - tw - 10) / 2);
  EXPECT_EQ(box->CaptionRect().Width(), tw + 8);
  box->SetCaptionLayout(clTopRight);
  EXPECT_EQ(box->CaptionRect().Left, 200 - tw - 14);
  EXPECT_EQ(box->CaptionRect().Right, 200 - 6);

  // A box narrower than its caption: the plate starts at 0 and ends at the box's edge.
  box->SetWidth(30);
  for (TsCaptionLayout layout : {clTopCenter, clTopRight}) {
    box->SetCaptionLayout(layout);
    EXPECT_EQ(box->CaptionRect().Left, 0);
    EXPECT_EQ(box->CaptionRect().Right, 30);
  }
  box->SetCaptionLayout(clTopLeft);
  EXPECT_EQ(box->CaptionRect(), (TRect{6, 0, 30, 15}));
}

TEST_F(GroupBox, CaptionYOffsetMovesTheCaptionBandAndTheClientArea) {
  auto* box = Make<TsGroupBox>(10, 10, 200, 100);
  box->SetCaption("Data view");
  const int tw = TextWidth(box->Font(), "Data view");
  box->SetCaptionYOffset(-5);
  EXPECT_EQ(box->CaptionRect(), (TRect{6, -5, 6 + tw + 8, 10}));
  box->SetCaptionYOffset(4);
  EXPECT_EQ(box->CaptionRect(), (TRect{6, 0, 6 + tw + 8, 19}));

  // Aligned children are laid out that much lower than in the toolkit's box.
  auto* plain = Make<TGroupBox>(220, 10, 200, 100);
  auto* inPlain = Make<TCountingChild>(0, 0, 10, 10, plain);
  auto* inSkinned = Make<TCountingChild>(0, 0, 10, 10, box);
  inPlain->SetAlign(alClient);
  inSkinned->SetAlign(alClient);
  EXPECT_EQ(inSkinned->Top(), inPlain->Top() + 4);
  EXPECT_EQ(inSkinned->Height(), inPlain->Height() - 4);

  // Without a skin section the caption keeps its plain height.
  box->SkinData()->SetSkinSection("NO SUCH SECTION");
  ASSERT_FALSE(box->SkinData()->IsSkinned());
  EXPECT_EQ(box->CaptionRect(), (TRect{6, 0, 6 + tw + 8, 15}));
}

// ---- The face -----------------------------------------------------------------------------------

TEST_F(GroupBox, FaceIsTheBorderMaskOverWhatLiesBehindWithoutCaption) {
  auto* box = Make<TsGroupBox>(10, 10, 60, 50);
  box->SetColor(clAqua);  // the box's own colour shows nowhere under the skin
  ShowForm();
  const TDib shot = ShotOf(box);
  const TDib& master = *Manager->MasterBitmap();
  int wrong = 0;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 60; ++x) {
      COLORREF want = FacePixel(master, kFormColor, 60, 50, 7, x, y);
      if (want == kKey) want = kFormColor;  // the section is fully see-through
      if (shot.GetPixel(x, y) != want && ++wrong < 5) ADD_FAILURE() << x << "," << y;
    }
  EXPECT_EQ(wrong, 0);
  // The border is really there: its left column is not the colour behind it.
  EXPECT_NE(shot.GetPixel(0, 25), kFormColor);
}

TEST_F(GroupBox, CaptionPlateInterruptsTheBorderAndCarriesTheCaption) {
  for (int offset : {0, -5}) {
    SCOPED_TRACE(offset);
    auto* box = Make<TsGroupBox>(10, 10, 120, 50);
    box->SetCaption("Data view");
    box->SetCaptionYOffset(offset);
    ShowForm();
    const TRect plate = box->CaptionRect();
    // The caption is centred in the plate: 4 pixels in and a pixel down from the plate's top
    // (drawn here at y 1 and looked up 5 rows lower when the plate is moved up by 5).
    const TGlyphs glyphs = GlyphPixels(box->Font(), "Data view", 10, 1);
    const TDib shot = ShotOf(box);
    const TDib& master = *Manager->MasterBitmap();
    const int top = offset < 0 ? 0 : 7;
    int wrong = 0, ink = 0;
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 120; ++x) {
        COLORREF want;
        if (plate.Contains(x, y)) {
          want = glyphs.count({x, y + (offset < 0 ? 5 : 0)}) ? RGB(0, 0, 0) : kFormColor;
          ink += want == 0;
        } else {
          want = FacePixel(master, kFormColor, 120, 50, top, x, y);
          if (want == kKey) want = kFormColor;
        }
        if (shot.GetPixel(x, y) != want && ++wrong < 5) ADD_FAILURE() << x << "," << y;
      }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(ink, 20);
    box->Hide();
  }
}

TEST_F(GroupBox, EmptyCaptionLeavesTheTopBorderWhole) {
  auto* box = Make<TsGroupBox>(10, 10, 120, 50);
  box->SetCaption("Data view");
  ShowForm();
  const TDib& master = *Manager->MasterBitmap();
  const COLORREF topEdge = FacePixel(master, kFormColor, 120, 50, 7, 20, 7);
  ASSERT_NE(topEdge, kFormColor);
  EXPECT_EQ(PixelOf(box, 20, 7), kFormColor);  // under the plate
  box->SetCaption("");
  Display.Pump();
  EXPECT_EQ(PixelOf(box, 20, 7), topEdge);
  for (int x = 7; x < 113; ++x) EXPECT_EQ(PixelOf(box, x, 7), FacePixel(master, kFormColor, 120, 50, 7, x, 7)) << x;
}

TEST_F(GroupBox, DisablingChangesNothingOnScreenAndTheColourNeverShows) {
  auto* box = Make<TsGroupBox>(10, 10, 200, 100);
  box->SetCaption("Data view");
  box->SetColor(clAqua);
  auto* label = Make<TsLabel>(20, 30, 60, 13, box);
  label->SetCaption("D0 SYNC");
  ShowForm();
  const TDib enabled = ShotOf(box);
  box->SetEnabled(false);
  Display.Pump();
  const TDib disabled = ShotOf(box);
  int differ = 0, aqua = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      differ += enabled.GetPixel(x, y) != disabled.GetPixel(x, y);
      aqua += disabled.GetPixel(x, y) == ColorToRGB(clAqua);
    }
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(aqua, 0);
  EXPECT_EQ(PixelOf(box, 100, 60), kFormColor);

  // Nothing is erased under the skin: the face covers everything.
  TDib paper(200, 100);
  paper.Fill(RGB(1, 2, 3));
  TDC paperDc(&paper);
  EXPECT_EQ(box->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&paperDc)), 1);
  EXPECT_EQ(paper.GetPixel(100, 60), RGB(1, 2, 3));

  // Without a skin section it is the toolkit's box again, in its own colour.
  box->SkinData()->SetSkinSection("NO SUCH SECTION");
  Display.Pump();
  EXPECT_EQ(PixelOf(box, 100, 60), ColorToRGB(clAqua));
}

// ---- Children -----------------------------------------------------------------------------------

TEST_F(GroupBox, WindowlessChildrenArePaintedOncePerPaintOverTheFace) {
  auto* box = Make<TsGroupBox>(10, 10, 200, 100);
  box->SetCaption("Data view");
  auto* a = Make<TCountingChild>(20, 30, 10, 10, box);
  auto* b = Make<TCountingChild>(40, 30, 10, 10, box);
  ShowForm();
  EXPECT_EQ(a->Under, kFormColor);  // the face, not the box's colour or a stale screen
  EXPECT_EQ(PixelOf(a, 3, 3), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(a, 0, 0), kFormColor);

  a->Paints = b->Paints = 0;
  box->Invalidate();
  Display.Pump();
  EXPECT_EQ(a->Paints, 1);
  EXPECT_EQ(b->Paints, 1);

  a->Paints = b->Paints = 0;
  a->Invalidate();
  Display.Pump();
  EXPECT_EQ(a->Paints, 1);
  EXPECT_EQ(b->Paints, 0);

  // An opaque child repainted on its own goes over the face off-screen too, on its own colour.
  a->ControlStyle |= csOpaque;
  a->SetColor(RGB(0, 0, 200));
  Display.Pump();
  a->Paints = b->Paints = 0;
  a->SetColor(RGB(0, 160, 0));
  a->Repaint();
  EXPECT_EQ(a->Paints, 1);
  EXPECT_EQ(b->Paints, 0);
  EXPECT_EQ(a->Under, RGB(0, 160, 0));
  Display.Pump();
  EXPECT_EQ(PixelOf(a, 0, 0), RGB(0, 160, 0));
  EXPECT_EQ(PixelOf(a, 3, 3), RGB(255, 0, 0));

  // The toolkit's box paints them once as well.
  box->SkinData()->SetSkinSection("NO SUCH SECTION");
  Display.Pump();
  a->Paints = b->Paints = 0;
  box->Invalidate();
  Display.Pump();
  EXPECT_EQ(a->Paints, 1);
  EXPECT_EQ(b->Paints, 1);
}

TEST_F(GroupBox, WindowedChildrenWaitForTheBoxAndPaintAfterIt) {
  std::vector<std::string> log;
  auto* box = Make<TsGroupBox>(10, 10, 200, 100);
  auto* picture = Make<TCountingChild>(20, 30, 10, 10, box);
  auto* child = new TWaitingChild(Form, &log);
  child->SetBounds(20, 60, 50, 20);
  child->SetParent(box);
  ShowForm();
  picture->Log = &log;

  // The deferred query is answered from the box's cache.
  box->SkinData()->CacheInvalid = true;
  TMessage query{SM_KARVOCMD, MakeSkinCommand(AC_DEFERREDQUERY), 0, 0};
  box->WindowProc(query);
  EXPECT_EQ(query.LParam, 1);
  box->Repaint();
  query.LParam = 0;
  box->WindowProc(query);
  EXPECT_EQ(query.LParam, 0);

  // A skin applied again: fades stop, the child tries first, is held back, and paints when the
  // box is done.
  log.clear();
  Manager->Apply();
  Display.Pump();
  const std::vector<std::string> expected{"stop fading", "held", "graphic", "finished", "painted"};
  EXPECT_EQ(log, expected);
}

TEST_F(GroupBox, UnskinnedBoxHoldsNoChildBackAndPublishesNoFace) {
  auto* box = Make<TsGroupBox>(10, 10, 200, 100);
  box->SkinData()->SetSkinSection("NO SUCH SECTION");
  TMessage query{SM_KARVOCMD, MakeSkinCommand(AC_DEFERREDQUERY), 0, 0};
  box->WindowProc(query);
  EXPECT_EQ(query.LParam, 0);
  PublishedBgSource().Valid = false;
  box->Perform(SM_KARVOCMD, MakeSkinCommand(AC_GETCACHE), 0);
  EXPECT_FALSE(PublishedBgSource().Valid);
}

TEST_F(GroupBox, ViewerDataViewShowsTheFaceAroundThePictureAndLabels) {
  Viewer->Show();
  Display.Pump();
  TsGroupBox* box = Viewer->sGroupBox1;
  ASSERT_FALSE(box->Enabled());
  // The section is wholly see-through: the box's body is the window's own background, the
  // frame's picture at the same place.
  const TDib* frame = Viewer->sSkinProvider1->FrameCache();
  ASSERT_TRUE(frame && !frame->Empty());
  const TPoint offset = Viewer->sSkinProvider1->ClientOffset();
  auto behind = [&](TControl* c, int x, int y) {
    const TPoint p = box->ScreenToClient(c->ClientToScreen({x, y}));
    return frame->GetPixel(box->Left() + p.X + offset.X, box->Top() + p.Y + offset.Y);
  };
  const TRect image = Viewer->Image1->BoundsRect();
  for (int x = image.Left - 1; x <= image.Right; ++x) {
    EXPECT_EQ(PixelOf(box, x, image.Top - 1), behind(box, x, image.Top - 1)) << x;
    EXPECT_EQ(PixelOf(box, x, image.Bottom), behind(box, x, image.Bottom)) << x;
  }
  for (int y = image.Top; y < image.Bottom; ++y) {
    EXPECT_EQ(PixelOf(box, image.Left - 1, y), behind(box, image.Left - 1, y)) << y;
    EXPECT_EQ(PixelOf(box, image.Right, y), behind(box, image.Right, y)) << y;
  }
  // No aqua (the layout's colour) and no lime (the window's) anywhere in the box.
  const TDib shot = ShotOf(box);
  int designColours = 0, other = 0;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x)
      designColours += shot.GetPixel(x, y) == ColorToRGB(clAqua) || shot.GetPixel(x, y) == ColorToRGB(clLime);
  EXPECT_EQ(designColours, 0);
  // Each lane caption is black text on the face, nothing else.
  TsLabel* lane = Viewer->sLabel1;
  for (int y = 0; y < lane->Height(); ++y)
    for (int x = 0; x < lane->Width(); ++x) {
      const COLORREF p = PixelOf(lane, x, y);
      other += p != behind(lane, x, y) && p != 0;
    }
  EXPECT_EQ(other, 0);
}

}  // namespace
