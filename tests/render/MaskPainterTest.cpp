#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/PngFile.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"

namespace {

constexpr COLORREF kKey = 0xFF00FF;

// A picture pixel that tells where it came from; never the key colour.
COLORREF Code(int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x10 + (x >> 8)); }

using TPixelFn = std::function<COLORREF(int x, int y)>;

TDib Picture(int w, int h, const TPixelFn& fn) {
  TDib d(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) d.SetPixel(x, y, fn(x, y));
  return d;
}

// A parent that records skin commands, publishes `Image` on get cache and answers the
// background colour query with `Answer` unless it is the key colour.
class TTestParent : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<unsigned> Commands;
  TDib* Image = nullptr;
  TColor Answer = TColor(kKey);
  void WndProc(TMessage& m) override {
    if (m.Msg != SM_KARVOCMD) return TWinControl::WndProc(m);
    const unsigned command = SkinCommandOf(m.WParam);
    Commands.push_back(command);
    if (command == AC_GETCACHE && Image) PublishedBgSource() = {Image, 0, 0, true};
    if (command == AC_BGCOLORQUERY && COLORREF(Answer) != kKey) ParentFillColor = Answer;
  }
};

// A manager with one stored skin: a master bitmap whose pixels encode their coordinates (the
// mask rows of the button's border are black, so the border shows its picture unchanged),
// and the "BUTTON" border of the stored skin at (243, 190, 286, 220).
class MaskPainter : public ::testing::Test {
 protected:
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TsSkinManager* Manager = nullptr;
  TTestParent* Parent = nullptr;
  TControl* Child = nullptr;
  int Button = -1;

  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Manager = new TsSkinManager(App);
    TsStoredSkin* s = Manager->InternalSkins()->Add();
    s->Name = "Test";
    s->MasterBitmap()->LoadFromDib(Picture(300, 230, [](int x, int y) { return y >= 205 && y < 220 ? 0 : Code(x, y); }));
    TsSkinGeneral* g = s->GeneralData()->Add();
    g->SectionName = "BUTTON";
    g->Color = RGB(9, 9, 9);
    g->FontColor = g->HotFontColor = "0 -1 -1 -1 -1";
    g->GradientData = g->HotGradientData = " ";
    TsSkinImage* i = s->Images()->Add();
    i->SectionName = "BUTTON";
    i->PropertyName = "BORDERSMASK";
    i->Left = 243, i->Top = 190, i->Right = 286, i->Bottom = 220;
    i->ImageCount = 3, i->MaskType = 1, i->BorderWidth = 1, i->StretchMode = 1;
    i->WL = 6, i->WT = 6, i->WR = 7, i->WB = 8;
    Manager->SetSkinName("Test");
    Button = Manager->FindSection("BUTTON");
    Parent = new TTestParent(App);
    Parent->SetColor(RGB(10, 20, 30));
    Child = new TControl(Parent);
    Child->SetParent(Parent);
    Child->SetBounds(5, 7, 20, 12);
  }
  void TearDown() override {
    GlyphFillColor = ParentFillColor = TColor(kKey);
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
  const TsMaskData& Mask(int index) { return Manager->Masks()[size_t(index)]; }
  int ButtonMask() { return Manager->FindMask(Button, "BUTTON", "BORDERSMASK"); }
  // Adds a mask with its own picture of `count` images of w x h, mask rows below when `type` is 1.
  int AddMask(int w, int h, int count, int type, int margin, const TPixelFn& pic, const TPixelFn& mask = nullptr,
              const std::string& property = "OWN") {
    TsMaskData m;
    m.Bmp = std::make_unique<TDib>(Picture(w * count, h * (type + 1), [&](int x, int y) {
      return y < h ? pic(x, y) : mask ? mask(x, y - h) : 0;
    }));
    m.R = {0, 0, w * count, h * (type + 1)};
    m.ImageCount = int16_t(count);
    m.MaskType = int16_t(type);
    m.WL = m.WT = m.WR = m.WB = int16_t(margin);
    m.SectionName = "BUTTON";
    m.PropertyName = property;
    m.Manager = Manager;
    Manager->Masks().push_back(std::move(m));
    return int(Manager->Masks().size()) - 1;
  }
};

using BorderMask = MaskPainter;
using MaskImage = MaskPainter;
using LinkSkin = MaskPainter;
using CornerRepair = MaskPainter;
using BorderOverFace = MaskPainter;
using GlyphBitmap = MaskPainter;

TEST_F(BorderMask, ButtonFaceInStateOneTakesCornersEdgesAndCentreFromTheHotImage) {
  ASSERT_GE(ButtonMask(), 0);
  TDib face(105, 25);
  face.Fill(RGB(1, 2, 3));
  TsBgSource none;
  PaintBorderMask(&face, face.BoundsRect(), true, true, 1, Mask(ButtonMask()), none);
  // Corners 6x6, 7x6, 6x8, 7x8; the 1-pixel edge column 92 times, the edge row 11 times.
  auto sx = [](int x) { return x < 6 ? 257 + x : x >= 105 - 7 ? 257 + 14 - (105 - x) : 257 + 6; };
  auto sy = [](int y) { return y < 6 ? 190 + y : y >= 25 - 8 ? 190 + 15 - (25 - y) : 190 + 6; };
  int wrong = 0;
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 105; ++x)
      if (face.GetPixel(x, y) != Code(sx(x), sy(y)) && wrong++ < 5) ADD_FAILURE() << "pixel " << x << "," << y;
  EXPECT_EQ(wrong, 0);

  face.Fill(RGB(1, 2, 3));
  PaintBorderMask(&face, face.BoundsRect(), false, true, 1, Mask(ButtonMask()), none);
  EXPECT_EQ(face.GetPixel(6, 6), RGB(1, 2, 3));
  EXPECT_EQ(face.GetPixel(97, 16), RGB(1, 2, 3));
  EXPECT_EQ(face.GetPixel(5, 16), Code(257 + 5, 196));
}

TEST_F(BorderMask, StatesBeyondTheLastImageUseTheLastOne) {
  TDib face(30, 20);
  TsBgSource none;
  for (auto [state, x] : {std::pair{0, 243}, {2, 271}, {7, 271}}) {
    PaintBorderMask(&face, face.BoundsRect(), true, false, state, Mask(ButtonMask()), none);
    EXPECT_EQ(face.GetPixel(0, 0), Code(x, 190)) << state;
  }
}

TEST_F(BorderMask, MarginsShrinkOnNarrowRectanglesAndRightPiecesComeLater) {
  struct TCase { int margin, width, wl, wr; };
  for (const TCase c : {TCase{7, 9, 5, 4}, {7, 10, 5, 5}, {7, 11, 6, 5}, {6, 10, 5, 6}}) {
    const int index = AddMask(20, 10, 1, 1, 2, Code);
    Manager->Masks()[size_t(index)].WL = int16_t(c.margin);
    Manager->Masks()[size_t(index)].WR = 7;
    TDib face(c.width, 10);
    TsBgSource none;
    PaintBorderMask(&face, face.BoundsRect(), true, false, 0, Mask(index), none);
    for (int y : {0, 5})
      for (int x = 0; x < c.width; ++x) {
        const int expectX = x >= c.width - c.wr ? 20 - (c.width - x) : x;
        EXPECT_EQ(GetRValue(face.GetPixel(x, y)), expectX) << c.width << ": " << x << "," << y;
      }
  }
}

TEST_F(BorderMask, MaskedMixUsesEachChannelsOwnMaskByte) {
  const int index = AddMask(3, 3, 1, 1, 1, [](int, int) { return RGB(100, 50, 0); },
                            [](int, int) { return RGB(128, 0, 255); });
  TDib face(5, 5);
  face.Fill(RGB(200, 200, 200));
  TsBgSource none;
  PaintBorderMask(&face, face.BoundsRect(), true, false, 0, Mask(index), none);
  // ((200 - 100) * 128 + 100 * 256) >> 8 = 150; mask 0 gives 50; (200 * 255) >> 8 = 199.
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(face.GetPixel(x, y), RGB(150, 50, 199)) << x << "," << y;
}

TEST_F(BorderMask, MaskedCornerKeyPixelsComeFromSourceThenGlyphFillElseStayKey) {
  const int index = AddMask(3, 3, 1, 1, 1, [](int, int) { return kKey; });
  TDib face(5, 5), behind = Picture(40, 40, Code);
  TsBgSource none, source{&behind, 3, 4, true};
  PaintBorderMask(&face, face.BoundsRect(), true, false, 0, Mask(index), none);
  EXPECT_EQ(face.GetPixel(0, 0), kKey);
  GlyphFillColor = RGB(0, 200, 0);
  PaintBorderMask(&face, face.BoundsRect(), true, false, 0, Mask(index), none);
  EXPECT_EQ(face.GetPixel(4, 4), RGB(0, 200, 0));
  EXPECT_EQ(face.GetPixel(2, 0), kKey);  // edges mix every pixel, the key colour too
  PaintBorderMask(&face, face.BoundsRect(), true, false, 0, Mask(index), source);
  EXPECT_EQ(face.GetPixel(0, 0), Code(3, 4));
  EXPECT_EQ(face.GetPixel(4, 4), Code(7, 8));
}

TEST_F(BorderMask, UnmaskedBorderKeysCornersAndStretchesOrTilesEdges) {
  // Columns 0-2 left corner (top-left pixel keyed), 3-5 the edge tile, 6-8 the right corner.
  const int index = AddMask(9, 3, 1, 0, 3, [](int x, int y) { return x == 0 && y == 0 ? kKey : Code(x, y); });
  TDib face(15, 3), behind = Picture(40, 40, Code);
  TsBgSource source{&behind, 20, 30, true};
  auto paint = [&](int stretch, int borderWidth, bool seeThrough) {
    Manager->Masks()[size_t(index)].StretchMode = int16_t(stretch);
    Manager->Masks()[size_t(index)].BorderWidth = int16_t(borderWidth);
    Manager->Masks()[size_t(index)].WT = Manager->Masks()[size_t(index)].WB = 1;
    face.Fill(RGB(1, 1, 1));
    PaintBorderMask(&face, face.BoundsRect(), true, seeThrough, 0, Mask(index), source);
  };
  paint(0, 0, false);
  EXPECT_EQ(face.GetPixel(0, 0), RGB(1, 1, 1));
  for (int x = 3; x < 12; ++x) EXPECT_EQ(face.GetPixel(x, 0), Code(3 + (x - 3) % 3, 0)) << x;
  EXPECT_EQ(face.GetPixel(7, 1), Code(4, 1));  // centre tiled
  paint(1, 0, true);
  EXPECT_EQ(face.GetPixel(0, 0), Code(20, 30));
  for (int x = 3; x < 12; ++x) EXPECT_EQ(face.GetPixel(x, 2), Code(3 + (x - 3) / 3, 2)) << x;
  paint(1, 1, true);
  EXPECT_EQ(face.GetPixel(7, 1), RGB(1, 1, 1));  // no centre with a border width
}

TEST_F(BorderMask, SectionPaintersPutTheBorderOverTheBackgroundAtTheirPoint) {
  TDib screen(130, 40);
  TDC dc(&screen);
  TsBgSource none;
  PaintSkinSectionToDC(Button, "BUTTON", none, Manager, &dc, {0, 0}, {10, 5, 115, 30}, 1, true);
  EXPECT_EQ(screen.GetPixel(10, 5), Code(257, 190));
  EXPECT_EQ(screen.GetPixel(114, 29), Code(270, 204));
  EXPECT_EQ(screen.GetPixel(9, 5), 0u);
  EXPECT_EQ(dc.SaveLevel(), 0);

  const int keyed = AddMask(3, 3, 1, 1, 1, [](int x, int y) { return x + y == 0 ? kKey : RGB(7, 7, 7); });
  TDib face(10, 10), behind = Picture(40, 40, Code);
  TsBgSource source{&behind, 1, 2, true};
  PaintSkinSectionFixed(Button, keyed, -1, Manager, &face, {3, 4}, face.BoundsRect(), 0, true, source, "BUTTON", -1);
  EXPECT_EQ(face.GetPixel(0, 0), Code(4, 6));
  EXPECT_EQ(face.GetPixel(1, 0), RGB(7, 7, 7));
  EXPECT_EQ(source.OffsetX, 1);
  EXPECT_EQ(source.OffsetY, 2);
}

TEST_F(MaskImage, KeyPixelsLeaveTheDestinationWhateverTheMaskSays) {
  const int index = AddMask(2, 1, 1, 1, 0, [](int x, int) { return x == 0 ? kKey : RGB(100, 100, 100); },
                            [](int x, int) { return x == 0 ? 0 : RGB(128, 128, 128); });
  TDib face(2, 2);
  face.Fill(RGB(200, 200, 200));
  DrawMaskImage(&face, {0, 0}, 0, Mask(index), 1);
  EXPECT_EQ(face.GetPixel(0, 0), RGB(200, 200, 200));
  EXPECT_EQ(face.GetPixel(1, 0), RGB(150, 150, 150));
  face.Fill(RGB(200, 200, 200));
  DrawMaskImage(&face, {0, 0}, 0, Mask(index), 2);  // faded: mask 128 + 100
  EXPECT_EQ(face.GetPixel(1, 0), RGB(189, 189, 189));
  EXPECT_EQ(face.GetPixel(0, 1), RGB(200, 200, 200));
}

TEST_F(MaskImage, ClipsNegativePointsAndPicksTheStateImage) {
  const int index = AddMask(4, 4, 3, 1, 0, Code);
  TDib face(3, 3);
  DrawMaskImage(&face, {-2, -1}, 1, Mask(index), 1);
  EXPECT_EQ(face.GetPixel(0, 0), Code(6, 1));
  EXPECT_EQ(face.GetPixel(1, 2), Code(7, 3));
  EXPECT_EQ(face.GetPixel(2, 2), 0u);
}

TEST_F(MaskImage, UnmaskedMasterImagesCopyKeyedInModeOneAndBlendHalfOtherwise) {
  TsMaskData m;
  m.R = {2, 2, 3, 3};
  m.Manager = Manager;
  TDib face(1, 1);
  face.Fill(RGB(100, 50, 30));
  DrawMaskImage(&face, {0, 0}, 0, m, 1);
  EXPECT_EQ(face.GetPixel(0, 0), Code(2, 2));
  face.Fill(RGB(100, 50, 30));
  DrawMaskImage(&face, {0, 0}, 0, m, 2);
  EXPECT_EQ(face.GetPixel(0, 0), RGB(51, 26, 23));  // (2 + 100) / 2, (2 + 50) / 2, (16 + 30) / 2
}

TEST_F(LinkSkin, WithoutSourceKeyCornersTakeTheParentColourAndFillColoursReset) {
  TsCommonData link(Child, true);
  link.SetSkinSection("BUTTON");
  link.SectionIndex = Button;
  link.BorderMaskIndex = AddMask(4, 4, 1, 1, 2, [](int x, int y) { return x + y == 0 ? kKey : RGB(7, 7, 7); });
  TDib face(20, 12);
  TsBgSource none;
  PaintLinkSkin(&link, none, true, false, &face, {5, 7}, face.BoundsRect(), 0);
  EXPECT_EQ(face.GetPixel(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(face.GetPixel(1, 0), RGB(7, 7, 7));
  EXPECT_EQ(COLORREF(GlyphFillColor), kKey);
  EXPECT_EQ(COLORREF(ParentFillColor), kKey);
  EXPECT_EQ(none.OffsetX, 5);  // the point moves the source
  EXPECT_EQ(none.OffsetY, 7);
}

TEST_F(LinkSkin, CornerImagesGoToTheCornersWithTheBottomLeftOneAtXZero) {
  TsCommonData link(Child, true);
  link.SetSkinSection("BUTTON");
  link.SectionIndex = Button;
  const COLORREF colours[] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0)};
  const char* names[] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
  for (int i = 0; i < 4; ++i) AddMask(2, 2, 1, 0, 0, [&, i](int, int) { return colours[i]; }, nullptr, names[i]);
  TDib face(20, 12);
  TsBgSource none;
  PaintLinkSkin(&link, none, true, false, &face, {0, 0}, {3, 2, 20, 12}, 0);
  EXPECT_EQ(face.GetPixel(3, 2), colours[0]);
  EXPECT_EQ(face.GetPixel(18, 3), colours[1]);
  EXPECT_EQ(face.GetPixel(0, 10), colours[2]);
  EXPECT_EQ(face.GetPixel(1, 11), colours[2]);
  EXPECT_EQ(face.GetPixel(19, 11), colours[3]);

  TDib untouched(20, 12);
  untouched.Fill(RGB(5, 5, 5));
  PaintLinkSkin(&link, none, true, false, &untouched, {0, 0}, {3, 2, 21, 12}, 0);  // outside the bitmap
  link.SectionIndex = 99;
  PaintLinkSkin(&link, none, true, false, &untouched, {0, 0}, {3, 2, 20, 12}, 0);
  EXPECT_EQ(untouched.GetPixel(3, 2), RGB(5, 5, 5));
  EXPECT_EQ(untouched.GetPixel(0, 10), RGB(5, 5, 5));
}

TEST_F(LinkSkin, AsksTheParentForItsColourOnlyWithAValidSource) {
  TsCommonData link(Child, true);
  link.SetSkinSection("BUTTON");
  link.SectionIndex = Button;
  TDib face(20, 12), behind(40, 40);
  TsBgSource none, source{&behind, 0, 0, true};
  PaintLinkSkin(&link, none, true, false, &face, {5, 7}, face.BoundsRect(), 0);
  EXPECT_EQ(std::count(Parent->Commands.begin(), Parent->Commands.end(), AC_BGCOLORQUERY), 0);
  PaintLinkSkin(&link, source, true, false, &face, {5, 7}, face.BoundsRect(), 0);
  EXPECT_EQ(std::count(Parent->Commands.begin(), Parent->Commands.end(), AC_BGCOLORQUERY), 1);
}

TEST_F(CornerRepair, KeyCornersLeftInTheCacheShowTheParentsPicture) {
  TDib behind = Picture(60, 60, Code);
  Parent->Image = &behind;
  TsCommonData link(Child, true);
  link.BorderMaskIndex =
      AddMask(6, 6, 1, 1, 2, [](int x, int y) { return x + y <= 1 || x + y >= 10 ? kKey : RGB(7, 7, 7); });
  link.Cache()->SetSize(20, 12);
  TsBgSource none;
  PaintBorderMask(link.Cache(), {0, 0, 20, 12}, true, false, 0, Mask(link.BorderMaskIndex), none);
  ASSERT_EQ(link.Cache()->GetPixel(0, 0), kKey);
  ASSERT_EQ(link.Cache()->GetPixel(19, 11), kKey);
  RepairAllCorners(&link, 0);
  EXPECT_EQ(link.Cache()->GetPixel(0, 0), Code(5, 7));  // the child sits at (5, 7)
  EXPECT_EQ(link.Cache()->GetPixel(1, 0), Code(6, 7));
  EXPECT_EQ(link.Cache()->GetPixel(19, 11), Code(24, 18));
  EXPECT_EQ(link.Cache()->GetPixel(2, 0), RGB(7, 7, 7));
  EXPECT_EQ(COLORREF(ParentFillColor), kKey);

  Parent->Answer = RGB(1, 2, 3);  // a parent that knows its colour gives that instead
  link.Cache()->Fill(kKey);
  RepairCacheCorners(&link, 0, 1);
  EXPECT_EQ(link.Cache()->GetPixel(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(link.Cache()->GetPixel(19, 11), kKey);
}

TEST_F(CornerRepair, CopyingTheCacheRepairsTheNormalImagesCornersWhateverTheState) {
  TDib behind = Picture(60, 60, Code);
  Parent->Image = &behind;
  TsCommonData link(Child, true);
  // Three masked 4 x 4 images side by side; only the normal one (x 0..3) has key pixels.
  link.BorderMaskIndex = AddMask(4, 4, 3, 1, 2, [](int x, int y) { return x + y <= 1 ? kKey : RGB(7, 7, 7); });
  link.Cache()->SetSize(20, 12);
  link.Cache()->Fill(RGB(50, 50, 50));
  link.HasFocus = true;
  ASSERT_EQ(link.StateFromInput(), 1);  // a hot control: the hot image has no key corner
  TDib target(20, 12);
  target.Fill(0);
  TDC dc(&target);
  link.PaintCacheTo({0, 0, 0, 0}, true, &dc, {0, 0, 20, 12});
  EXPECT_EQ(target.GetPixel(0, 0), Code(5, 7));  // the child sits at (5, 7) in its parent
  EXPECT_EQ(target.GetPixel(1, 0), Code(6, 7));
  EXPECT_EQ(target.GetPixel(0, 1), Code(5, 8));
  EXPECT_EQ(target.GetPixel(2, 0), RGB(50, 50, 50));
  EXPECT_EQ(target.GetPixel(19, 11), RGB(50, 50, 50));
  // Without repair the cache goes out as it is.
  link.Cache()->Fill(RGB(50, 50, 50));
  link.PaintCacheTo({0, 0, 0, 0}, false, &dc, {0, 0, 20, 12});
  EXPECT_EQ(target.GetPixel(0, 0), RGB(50, 50, 50));
}

TEST_F(CornerRepair, WithoutAParentPictureCornersTakeTheParentColour) {
  TsCommonData link(Child, true);
  link.BorderMaskIndex =
      AddMask(4, 4, 1, 1, 2, [](int x, int y) { return x + y <= 1 || x + y >= 5 ? kKey : RGB(7, 7, 7); });
  link.Cache()->SetSize(20, 12);
  link.Cache()->Fill(RGB(50, 50, 50));
  RepairCacheCorners(&link, 0, 2 | 8);
  EXPECT_EQ(link.Cache()->GetPixel(0, 0), RGB(50, 50, 50));  // top corners not asked for
  EXPECT_EQ(link.Cache()->GetPixel(0, 10), RGB(50, 50, 50));
  EXPECT_EQ(link.Cache()->GetPixel(18, 10), RGB(50, 50, 50));
  EXPECT_EQ(link.Cache()->GetPixel(19, 11), RGB(10, 20, 30));
  EXPECT_EQ(COLORREF(ParentFillColor), kKey);
}

TEST_F(CornerRepair, RightCornersAreTakenAtThreeTimesTheThirdOfTheImageWidth) {
  // 43 wide, 3 images: state 1 starts at 14 and its right corners at 14 + 3 * (43 div 9) - 7 = 19.
  TsCommonData link(Child, true);
  link.BorderMaskIndex = AddMask(43, 15, 1, 1, 0, [](int x, int y) {
    return (x == 19 && y == 0) || (x == 27 && y == 1) ? kKey : RGB(7, 7, 7);
  });
  TsMaskData& m = Manager->Masks()[size_t(link.BorderMaskIndex)];
  m.ImageCount = 3, m.WL = 6, m.WT = 6, m.WR = 7, m.WB = 8;
  link.Cache()->SetSize(20, 12);
  link.Cache()->Fill(RGB(50, 50, 50));
  RepairAllCorners(&link, 1);
  EXPECT_EQ(link.Cache()->GetPixel(13, 0), RGB(10, 20, 30));
  EXPECT_EQ(link.Cache()->GetPixel(19, 1), RGB(50, 50, 50));  // where 28 - 7 would have put it
}

TEST_F(CornerRepair, AnImageCountOfZeroMeansThreeMaskedImagesOfTheWholePicture) {
  TsCommonData link(Child, true);
  link.BorderMaskIndex = AddMask(3, 2, 3, 1, 1, [](int x, int y) { return x == 3 && y == 0 ? kKey : 0; });
  Manager->Masks()[size_t(link.BorderMaskIndex)].ImageCount = 0;
  Manager->Masks()[size_t(link.BorderMaskIndex)].R = {0, 0, 1, 1};
  link.Cache()->SetSize(20, 12);
  link.Cache()->Fill(RGB(50, 50, 50));
  RepairCacheCorners(&link, 0, 1);
  EXPECT_EQ(link.Cache()->GetPixel(0, 0), RGB(50, 50, 50));
  RepairCacheCorners(&link, 1, 1);
  EXPECT_EQ(link.Cache()->GetPixel(0, 0), RGB(10, 20, 30));
}

TEST_F(CornerRepair, UnmaskedBordersUseInclusivePiecesBottomLeftFromTheFirstImage) {
  // Three 6x6 images; state 2 starts at 12. Margins 2: the top-left piece covers 12..14 x 0..2
  // and the bottom-left one 0..2 x 4..6, whatever the state.
  TsCommonData link(Child, true);
  link.BorderMaskIndex = AddMask(6, 6, 3, 0, 2, [](int x, int y) {
    return (x == 14 && y == 2) || (x == 2 && y == 4) ? kKey : RGB(7, 7, 7);
  });
  link.Cache()->SetSize(20, 12);
  link.Cache()->Fill(RGB(50, 50, 50));
  RepairAllCorners(&link, 2);  // no parent picture: nothing changes without a mask
  EXPECT_EQ(link.Cache()->GetPixel(2, 2), RGB(50, 50, 50));

  TDib behind = Picture(60, 60, Code);
  Parent->Image = &behind;
  RepairAllCorners(&link, 2);
  EXPECT_EQ(link.Cache()->GetPixel(2, 2), Code(7, 9));
  EXPECT_EQ(link.Cache()->GetPixel(2, 10), Code(7, 17));
  EXPECT_EQ(link.Cache()->GetPixel(1, 10), RGB(50, 50, 50));
}

TEST_F(BorderOverFace, CutsExactlyTheKeyPixelsOfTheCornersOutOfTheRegion) {
  auto isKey = [](int x, int y) { return (x * 7 + y * 3) % 4 == 0; };
  for (int type : {0, 1}) {
    const int index = AddMask(8, 8, 1, type, 3, [&](int x, int y) { return isKey(x, y) ? kKey : Code(x, y); });
    TDib face(12, 10);
    face.Fill(RGB(1, 1, 1));
    TRegion region(face.BoundsRect()), expected(face.BoundsRect());
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 12; ++x) {
        const bool right = x >= 9, bottom = y >= 7;
        if ((x >= 3 && !right) || (y >= 3 && !bottom)) continue;  // not a corner
        if (isKey(right ? x - 4 : x, bottom ? y - 2 : y)) expected = expected.Subtract(TRegion({x, y, x + 1, y + 1}));
      }
    PaintBorderOverFace(&face, &region, true, 0, Mask(index));
    EXPECT_EQ(region, expected) << type;
    EXPECT_EQ(face.GetPixel(0, 0), RGB(1, 1, 1)) << type;   // keyed corner pixel not painted
    EXPECT_EQ(face.GetPixel(11, 9), Code(7, 7)) << type;    // (7*7+7*3) % 4 != 0
    EXPECT_EQ(face.GetPixel(4, 0), kKey) << type;            // edges copy or mix the key as any colour
  }
}

TEST_F(BorderOverFace, RunsEndedByAPixelAreXoredSoOverlappingCornersGiveThemBack) {
  // Width 10 with margins 6 and 7: left corners cover 0..4, right ones 4..9.
  const int index = AddMask(13, 13, 1, 0, 3, [](int x, int y) { return y == 0 && (x == 4 || x == 7) ? kKey : 0; });
  Manager->Masks()[size_t(index)].WL = 6;
  Manager->Masks()[size_t(index)].WR = 7;
  TDib face(10, 10);
  TRegion region(face.BoundsRect());
  PaintBorderOverFace(&face, &region, false, 0, Mask(index));
  EXPECT_TRUE(region.Contains(4, 0));  // removed at the end of the left row, given back by the right run
  EXPECT_EQ(region, TRegion(face.BoundsRect()));
  PaintBorderOverFace(&face, nullptr, false, 0, Mask(index));

  // Width 11 leaves column 5 between the corners; the edge tile keeps the width the mask's own
  // margins give it (13 - 6 - 7 = 0), so nothing is painted there.
  TDib odd(11, 10);
  odd.Fill(RGB(1, 1, 1));
  PaintBorderOverFace(&odd, nullptr, false, 0, Mask(index));
  EXPECT_EQ(odd.GetPixel(5, 0), RGB(1, 1, 1));
  EXPECT_EQ(odd.GetPixel(6, 0), RGB(0, 0, 0));
}

TEST_F(GlyphBitmap, OneImageCopiesAroundTheBottomLeftColour) {
  const COLORREF clear = RGB(0, 255, 0);
  TDib glyph = Picture(3, 2, [&](int x, int y) { return x == 0 || y == 0 ? clear : RGB(200, 200, 200); });
  TDib target(5, 4);
  target.Fill(RGB(100, 100, 100));
  DrawGlyphBitmap(glyph, &target, {1, 1, 4, 3}, 40, true, 0, false, true, 1);
  EXPECT_EQ(target.GetPixel(1, 2), RGB(100, 100, 100));
  EXPECT_EQ(target.GetPixel(2, 2), RGB(200, 200, 200));
  target.Fill(RGB(100, 100, 100));
  DrawGlyphBitmap(glyph, &target, {1, 1, 4, 3}, 40, false, 0, false, true, 1);
  EXPECT_EQ(target.GetPixel(2, 2), RGB(160, 160, 160));  // 200 - 0.4 * (200 - 100)
  EXPECT_EQ(target.GetPixel(2, 1), RGB(100, 100, 100));
  target.Fill(RGB(100, 100, 100));
  DrawGlyphBitmap(glyph, &target, {1, 1, 4, 3}, 40, false, dkBlended, false, false, 1);
  EXPECT_EQ(target.GetPixel(3, 2), RGB(150, 150, 150));
}

TEST_F(GlyphBitmap, GreyingKeepsTheTransparentPixelsTransparent) {
  TDib glyph = Picture(2, 2, [](int x, int y) { return x == 0 && y == 1 ? RGB(0, 255, 0) : RGB(30, 60, 90); });
  TDib target(2, 2);
  target.Fill(RGB(1, 1, 1));
  DrawGlyphBitmap(glyph, &target, {0, 0, 2, 2}, 0, false, 0, true, true, 1);
  EXPECT_EQ(target.GetPixel(1, 1), RGB(60, 60, 60));
  EXPECT_EQ(target.GetPixel(0, 1), RGB(1, 1, 1));
  DrawGlyphBitmap(glyph, &target, {0, 0, 2, 2}, 0, true, 0, true, true, 1);  // hot: not greyed
  EXPECT_EQ(target.GetPixel(1, 1), RGB(30, 60, 90));
}

TEST_F(GlyphBitmap, TwoImagesTakeTheSecondWhenDisabled) {
  TDib glyph = Picture(4, 2, [](int x, int y) { return y == 1 && x != 3 ? kKey : Code(x, y); });
  TDib target(3, 3);
  DrawGlyphBitmap(glyph, &target, {1, 1, 3, 3}, 0, false, dkBlended, false, false, 2);
  EXPECT_EQ(target.GetPixel(1, 1), Code(2, 0));
  EXPECT_EQ(target.GetPixel(2, 2), Code(3, 1));
  EXPECT_EQ(target.GetPixel(1, 2), 0u);
  DrawGlyphBitmap(glyph, &target, {1, 1, 3, 3}, 50, true, 0, false, true, 2);
  EXPECT_EQ(target.GetPixel(1, 1), Code(0, 0));
}

TEST_F(GlyphBitmap, CopyKeyedBitmapSkipsTheKeyAndStaysInsideTheTarget) {
  TDib picture = Picture(4, 4, [](int x, int y) { return x == y ? kKey : Code(x, y); });
  TDib target(3, 3);
  target.Fill(RGB(1, 1, 1));
  CopyKeyedBitmap(&target, picture, -1, TColor(kKey), -2);
  EXPECT_EQ(target.GetPixel(0, 0), Code(1, 2));
  EXPECT_EQ(target.GetPixel(1, 1), Code(2, 3));
  EXPECT_EQ(target.GetPixel(1, 0), RGB(1, 1, 1));  // (2, 2) is the key
  CopyKeyedBitmap(&target, picture, 1, TColor(kKey), 2);
  EXPECT_EQ(target.GetPixel(2, 2), Code(1, 0));
  EXPECT_EQ(target.GetPixel(1, 2), RGB(1, 1, 1));
}

// With MARUK_SHOT_DIR set, writes mask_sheet.png: a button-like masked border in states 0, 1
// and 2 at three sizes over a patterned backdrop, enlarged three times, to look at.
TEST_F(BorderMask, ContactSheetWhenAskedFor) {
  const char* dir = std::getenv("MARUK_SHOT_DIR");
  if (!dir) GTEST_SKIP() << "MARUK_SHOT_DIR not set";
  auto inCorner = [](int x, int y) { return std::min(x, 13 - x) + std::min(y, 14 - y) < 2; };
  auto outline = [](int x, int y) { return x == 0 || x == 13 || y == 0 || y == 14; };
  const int index = AddMask(
      14, 15, 3, 1, 4,
      [&](int x, int y) {
        const int state = x / 14, lx = x % 14;
        if (inCorner(lx, y)) return kKey;
        if (outline(lx, y)) return RGB(40, 60, 110 + 40 * state);
        const int base[3] = {200, 228, 165};
        const int v = base[state] - 3 * y;
        return RGB(v - 20, v - 10, std::min(v + 20, 255));
      },
      [&](int x, int y) {
        const int lx = x % 14;
        return outline(lx, y) ? 0 : y < 7 ? RGB(30, 30, 30) : RGB(110, 110, 110);
      });
  Manager->Masks()[size_t(index)].WB = 5;
  TDib sheet = Picture(3 * 125, 3 * 55 + 20, [](int x, int y) {
    return ((x / 8) + (y / 8)) % 2 ? RGB(235, 235, 235) : RGB(200, 205, 190);
  });
  const TSize sizes[] = {{105, 25}, {60, 40}, {9, 9}};
  for (int state = 0; state < 3; ++state) {
    int top = 10;
    for (const TSize& size : sizes) {
      TsBgSource source{&sheet, 0, 0, true};
      PaintBorderMask(&sheet, Bounds(10 + state * 125, top, size.cx, size.cy), true, true, state, Mask(index), source);
      top += size.cy + 10;
    }
  }
  TDib big = Picture(sheet.Width() * 3, sheet.Height() * 3, [&](int x, int y) { return sheet.GetPixel(x / 3, y / 3); });
  SavePngFile(big, std::string(dir) + "/mask_sheet.png");
}

}  // namespace
