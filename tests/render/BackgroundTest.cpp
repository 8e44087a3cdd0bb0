#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sPixelTools.h"

namespace {

constexpr TColor kKey = TColor(kSkinKeyColor);

TDib Filled(int w, int h, COLORREF color) {
  TDib dib(w, h);
  dib.Fill(color);
  return dib;
}

bool SameBits(const TDib& a, const TDib& b) {
  return a.BitsSize() == b.BitsSize() && std::memcmp(a.Bits(), b.Bits(), a.BitsSize()) == 0;
}

uint8_t BlendByte(int d, int s, int w) { return uint8_t((d * w + s * (255 - w) + 127) >> 8); }
COLORREF BlendColor(COLORREF d, COLORREF s, int w) {
  return RGB(BlendByte(GetRValue(d), GetRValue(s), w), BlendByte(GetGValue(d), GetGValue(s), w),
             BlendByte(GetBValue(d), GetBValue(s), w));
}

// The master bitmap's texture tile: 4 x 3 at (0, 0).
COLORREF TilePixel(int x, int y) { return RGB(10 + 20 * x, 5 + 30 * y, 77); }
// A parent picture with a different colour at every place.
COLORREF ParentPixel(int x, int y) { return RGB(10 * x, 10 * y, 7); }

TDib ParentPicture(int w, int h) {
  TDib dib(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) dib.SetPixel(x, y, ParentPixel(x, y));
  return dib;
}

constexpr COLORREF kGreen = RGB(0, 200, 0);

// A manager on a form with a small stored skin: a plain section, a textured section with a
// 4 x 3 "PATTERN" tile, and a 4 x 3 texture with a transparency mask below it at (8, 0).
struct Background : ::testing::Test {
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  int Plain = -1, Textured = -1, Tile = -1, Masked = -1;

  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = new TForm(App);
    Manager = new TsSkinManager(Form);
    Manager->SetActive(false);
    TsStoredSkin* skin = Manager->InternalSkins()->Add();
    skin->Name = "Test";
    TDib master = Filled(16, 8, RGB(128, 128, 128));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) master.SetPixel(x, y, TilePixel(x, y));
    for (int y = 0; y < 3; ++y)
      for (int x = 8; x < 12; ++x) master.SetPixel(x, y, kGreen);
    master.SetPixel(8, 0, kSkinKeyColor);
    const COLORREF maskColumns[4] = {0, 0xFFFFFF, RGB(128, 128, 128), RGB(255, 0, 0)};
    for (int y = 3; y < 6; ++y)
      for (int x = 0; x < 4; ++x) master.SetPixel(8 + x, y, maskColumns[x]);
    skin->MasterBitmap()->LoadFromDib(master);
    for (const char* name : {"PLAIN", "TEX"}) {
      TsSkinGeneral* g = skin->GeneralData()->Add();
      g->SectionName = name;
      g->FontColor = g->HotFontColor = "0 -1 -1 -1 -1";
    }
    AddTexture(*skin, "PATTERN", Rect(0, 0, 4, 3), 0);
    AddTexture(*skin, "OVERLAY", Rect(8, 0, 12, 6), 1);
    Manager->SetSkinName("Test");
    Manager->SetActive(true);
    Plain = Manager->FindSection("PLAIN");
    Textured = Manager->FindSection("TEX");
    Tile = Manager->FindMaskDirect("TEX", "PATTERN");
    Masked = Manager->FindMaskDirect("TEX", "OVERLAY");
    ASSERT_TRUE(Manager->IsValidSectionIndex(Plain) && Manager->IsValidSectionIndex(Textured));
    ASSERT_TRUE(Manager->IsValidMaskIndex(Tile) && Manager->IsValidMaskIndex(Masked));
    ASSERT_EQ(Manager->MasterBitmap()->GetPixel(1, 2), TilePixel(1, 2));
    Section(Plain).Color = RGB(10, 20, 30);
    Section(Plain).HotColor = RGB(40, 50, 60);
    Section(Textured).Color = RGB(100, 200, 50);
    Section(Textured).HotColor = RGB(1, 2, 3);
    ParentFillColor = GlyphFillColor = kKey;
  }
  void TearDown() override {
    ParentFillColor = GlyphFillColor = kKey;
    TComponent::Free(App);
    SetDisplay(nullptr);
  }

  static void AddTexture(TsStoredSkin& skin, const char* property, const TRect& r, int maskType) {
    TsSkinImage* i = skin.Images()->Add();
    i->SectionName = "TEX";
    i->PropertyName = property;
    i->Left = r.Left;
    i->Top = r.Top;
    i->Right = r.Right;
    i->Bottom = r.Bottom;
    i->ImageCount = 1;
    i->MaskType = maskType;
    i->ImgType = itisaTexture;
  }
  TsGeneralData& Section(int index) { return Manager->Sections()[size_t(index)]; }
  TsMaskData& Mask(int index) { return Manager->Masks()[size_t(index)]; }
  void SetGradient(int section, int percent, const std::string& data) {
    Section(section).GradientPercent = percent;
    Section(section).GradientData = data;
    Section(section).GradientArray = ParseGradientData(data);
  }
  void Paint(int section, TDib& bitmap, TsBgSource& source, int state = 0, int textureIndex = -1,
             int hotTextureIndex = -1, TColor color = kKey, TPoint point = {}, TRect r = {-1, 0, 0, 0}) {
    if (r.Left == -1) r = bitmap.BoundsRect();
    PaintSectionBackground(section, Section(section).SectionName, source, color, hotTextureIndex, textureIndex, Manager,
                           &bitmap, point, r, state);
  }
};

}  // namespace

// ---- Colour, gradient and texture layers --------------------------------------------------------

TEST_F(Background, PlainSectionFillsWithTheStateColourOrTheGivenOne) {
  TsBgSource none;
  TDib dib = Filled(6, 4, 0);
  Paint(Plain, dib, none, 0, -1, -1, kKey, {}, Rect(1, 1, 3, 3));
  EXPECT_EQ(dib.GetPixel(1, 1), RGB(10, 20, 30));
  EXPECT_EQ(dib.GetPixel(2, 2), RGB(10, 20, 30));
  EXPECT_EQ(dib.GetPixel(3, 3), 0u);
  EXPECT_EQ(dib.GetPixel(0, 0), 0u);
  Paint(Plain, dib, none, 2);
  EXPECT_EQ(dib.GetPixel(5, 3), RGB(40, 50, 60));
  Paint(Plain, dib, none, 0, -1, -1, RGB(1, 2, 3));
  EXPECT_EQ(dib.GetPixel(0, 0), RGB(1, 2, 3));
  TDib untouched = Filled(3, 3, 0);
  Paint(int(Manager->Sections().size()), untouched, none);
  EXPECT_EQ(untouched.GetPixel(1, 1), 0u);
}

TEST_F(Background, ColourIsMixedBelowOneHundredPercentAndFilledAtZero) {
  TsBgSource none;
  // Black gradient at 40 %: 60 % of (100, 200, 50) is mixed in.
  SetGradient(Textured, 40, "0;0;100;0;0");
  TDib dib = Filled(5, 4, 0xFFFFFF);
  Paint(Textured, dib, none);
  EXPECT_EQ(dib.GetPixel(0, 0), RGB(60, 120, 30));
  EXPECT_EQ(dib.GetPixel(4, 3), RGB(60, 120, 30));

  // At 100 % the gradient is all there is.
  SetGradient(Textured, 100, "255;255;100;0;0");
  Paint(Textured, dib, none);
  EXPECT_EQ(dib.GetPixel(2, 2), RGB(255, 0, 0));

  // Without gradient data the colour fills instead.
  SetGradient(Textured, 50, "");
  Paint(Textured, dib, none);
  EXPECT_EQ(dib.GetPixel(2, 2), RGB(100, 200, 50));

  // A texture at 30 % keeps 30 % of each tile pixel.
  SetGradient(Textured, 0, "");
  Section(Textured).ImagePercent = 30;
  TDib textured = Filled(6, 4, 0);
  Paint(Textured, textured, none);
  // Tile (1, 0) is (30, 5, 77): (30 * p + 70 * c) / 100 gives 79, 141.5 -> 142 (ties to even), 58.1.
  const COLORREF expected = RGB(79, 142, 58);
  EXPECT_EQ(textured.GetPixel(5, 3), expected);  // tile column 1, row 0
}

TEST_F(Background, GradientOverATextureIsBlendedByTheImagePercentage) {
  TsBgSource none;
  Section(Textured).ImagePercent = 50;
  SetGradient(Textured, 50, "0;0;100;0;0");
  TDib dib = Filled(6, 4, 0xFFFFFF);
  Paint(Textured, dib, none);
  // Weight 50 * 255 div 100 = 127 for the texture; black gradient; 100 % in total, no colour.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dib.GetPixel(x, y), BlendColor(TilePixel(x % 4, y % 3), 0, 127)) << x << "," << y;
}

TEST_F(Background, WithoutParentPictureZeroPercentFillsWithTheParentFillColour) {
  TsBgSource none;
  Section(Plain).Transparency = 50;
  ParentFillColor = RGB(7, 8, 9);
  TDib dib = Filled(4, 4, 0);
  Paint(Plain, dib, none);
  EXPECT_EQ(dib.GetPixel(3, 3), RGB(7, 8, 9));
  Section(Plain).Transparency = 0;
  Paint(Plain, dib, none);
  EXPECT_EQ(dib.GetPixel(3, 3), RGB(10, 20, 30));
}

// ---- See-through -----------------------------------------------------------------------------

TEST_F(Background, FullTransparencyIntoTheParentsOwnCacheChangesNothing) {
  Section(Plain).Transparency = 100;
  TDib parent = ParentPicture(12, 10);
  const TDib before = parent;
  TsBgSource source{&parent, 2, 3, true};
  Paint(Plain, parent, source, 0, -1, -1, kKey, {1, 1});
  EXPECT_TRUE(SameBits(parent, before));
}

TEST_F(Background, FullTransparencyCopiesTheParentAtTheOffsets) {
  Section(Plain).Transparency = 100;
  TDib parent = ParentPicture(20, 20);
  TsBgSource source{&parent, 3, 2, true};
  TDib dib = Filled(5, 4, 0);
  Paint(Plain, dib, source, 0, -1, -1, kKey, {1, 1});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(dib.GetPixel(x, y), ParentPixel(x + 4, y + 3));

  // The source point is the offsets plus the point, whatever the rectangle's corner.
  TDib part = Filled(5, 4, 0);
  Paint(Plain, part, source, 0, -1, -1, kKey, {1, 1}, Rect(1, 1, 4, 3));
  EXPECT_EQ(part.GetPixel(1, 1), ParentPixel(4, 3));
  EXPECT_EQ(part.GetPixel(3, 2), ParentPixel(6, 4));
  EXPECT_EQ(part.GetPixel(0, 0), 0u);
  EXPECT_EQ(part.GetPixel(4, 3), 0u);

  ParentFillColor = RGB(5, 6, 7);
  Paint(Plain, part, source, 0, -1, -1, kKey, {1, 1});
  EXPECT_EQ(part.GetPixel(2, 2), RGB(5, 6, 7));

  // The hot state has its own transparency.
  ParentFillColor = kKey;
  TDib hot = Filled(5, 4, 0);
  Paint(Plain, hot, source, 1);
  EXPECT_EQ(hot.GetPixel(2, 2), RGB(40, 50, 60));
}

TEST_F(Background, PartialTransparencyBlendsTheSectionOverTheParent) {
  TDib parent = ParentPicture(20, 20);
  TsBgSource source{&parent, 2, 1, true};
  const COLORREF c = RGB(10, 20, 30);
  for (int t : {40, 33, 99}) {
    Section(Plain).Transparency = t;
    const int weight = t * 255 / 100;  // 102, 84, 252
    TDib dib = Filled(4, 3, 0);
    Paint(Plain, dib, source, 0, -1, -1, kKey, {1, 0});
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(dib.GetPixel(x, y), BlendColor(ParentPixel(x + 3, y + 1), c, weight)) << t;
  }
  // A parent fill colour stands for the parent's picture, and a colourless see-through section
  // is filled with it too.
  Section(Plain).Transparency = 40;
  ParentFillColor = RGB(200, 0, 100);
  TDib filled = Filled(4, 3, 0);
  Paint(Plain, filled, source);
  EXPECT_EQ(filled.GetPixel(1, 1), BlendColor(RGB(200, 0, 100), RGB(200, 0, 100), 102));
  // With a gradient the section's own look is blended over the fill colour.
  SetGradient(Plain, 100, "0;0;100;0;0");
  Paint(Plain, filled, source);
  EXPECT_EQ(filled.GetPixel(1, 1), BlendColor(RGB(200, 0, 100), 0, 102));
}

// ---- Texture choice and texture modes ----------------------------------------------------------

TEST_F(Background, TextureIndexesAreLookedUpOrGivenAndMaskedOnesIgnored) {
  TsBgSource none;
  Section(Textured).ImagePercent = 100;
  TDib looked = Filled(4, 3, 0);
  Paint(Textured, looked, none);
  EXPECT_EQ(looked.GetPixel(2, 1), TilePixel(2, 1));

  TDib given = Filled(4, 3, 0);
  Paint(Textured, given, none, 0, Tile);
  EXPECT_EQ(given.GetPixel(3, 2), TilePixel(3, 2));

  // A given texture with a transparency mask is not a base layer: all of it is colour.
  TDib ignored = Filled(4, 3, 0);
  Paint(Textured, ignored, none, 0, Masked);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(ignored.GetPixel(x, y), RGB(100, 200, 50));

  // The hot set looks for "HOTPATTERN", which this section lacks.
  Section(Textured).HotImagePercent = 100;
  TDib hot = Filled(4, 3, 0);
  Paint(Textured, hot, none, 1);
  EXPECT_EQ(hot.GetPixel(0, 0), RGB(1, 2, 3));
}

TEST_F(Background, TextureModeTwoLeavesTheLowerPartForTheColour) {
  TsBgSource none;
  Mask(Tile).StretchMode = 2;
  TDib direct = Filled(9, 7, 0);
  TDC dc(&direct);
  EXPECT_EQ(PaintTexture(&dc, direct.BoundsRect(), nullptr, 2, &Mask(Tile)), Rect(0, 3, 9, 7));
  EXPECT_EQ(direct.GetPixel(8, 2), TilePixel(0, 2));
  EXPECT_EQ(direct.GetPixel(8, 3), 0u);

  Section(Textured).ImagePercent = 100;
  TDib dib = Filled(9, 7, 0);
  Paint(Textured, dib, none);
  for (int x = 0; x < 9; ++x) {
    EXPECT_EQ(dib.GetPixel(x, 0), TilePixel(x % 4, 0));
    EXPECT_EQ(dib.GetPixel(x, 2), TilePixel(x % 4, 2));
    for (int y = 3; y < 7; ++y) EXPECT_EQ(dib.GetPixel(x, y), RGB(100, 200, 50));
  }
}

TEST_F(Background, TextureModesCoverWhatTheirTableSays) {
  const TsMaskData* mask = &Mask(Tile);
  const TRect covered{-1, -1, -1, -1};
  auto paint = [&](int mode, TRect* left) {
    TDib dib = Filled(9, 7, 0);
    TDC dc(&dib);
    *left = PaintTexture(&dc, Rect(0, 0, 9, 7), nullptr, mode, mask);
    return dib;
  };
  TRect left;
  TDib tiled = paint(0, &left);
  EXPECT_EQ(left, covered);
  EXPECT_EQ(tiled.GetPixel(8, 6), TilePixel(0, 0));

  TDib column = paint(3, &left);
  EXPECT_EQ(left, Rect(4, 0, 9, 7));
  EXPECT_EQ(column.GetPixel(3, 5), TilePixel(3, 2));
  EXPECT_EQ(column.GetPixel(4, 0), 0u);

  TDib bottom = paint(6, &left);
  EXPECT_EQ(left, Rect(0, 0, 9, 4));
  EXPECT_EQ(bottom.GetPixel(5, 4), TilePixel(1, 0));
  EXPECT_EQ(bottom.GetPixel(5, 3), 0u);

  TDib right = paint(7, &left);
  EXPECT_EQ(left, Rect(0, 0, 5, 7));
  EXPECT_EQ(right.GetPixel(5, 6), TilePixel(0, 0));
  EXPECT_EQ(right.GetPixel(4, 6), 0u);

  TDib rows = paint(10, &left);
  EXPECT_EQ(left, covered);
  EXPECT_EQ(rows.GetPixel(8, 5), TilePixel(0, 2));
  EXPECT_EQ(rows.GetPixel(0, 6), 0u);  // below the last whole row

  TDib stretched = paint(1, &left);
  EXPECT_EQ(left, covered);
  EXPECT_EQ(stretched.GetPixel(0, 0), TilePixel(0, 0));
  EXPECT_EQ(stretched.GetPixel(8, 6), TilePixel(3, 2));

  // A picture of its own is tiled over everything.
  TDib own = Filled(2, 2, RGB(9, 8, 7));
  TDib target = Filled(5, 5, 0);
  TDC dc(&target);
  EXPECT_EQ(PaintTexture(&dc, Rect(1, 1, 4, 4), &own, 2, mask), covered);
  EXPECT_EQ(target.GetPixel(3, 3), RGB(9, 8, 7));
  EXPECT_EQ(target.GetPixel(4, 4), 0u);
}

// ---- Textures with a transparency mask ------------------------------------------------------------

TEST_F(Background, MaskedCopyMixesEachChannelWithItsMaskByte) {
  TsBgSource none;
  TDib dib = Filled(6, 4, RGB(100, 100, 100));
  CopyMaskedSeeThrough(Rect(1, 1, 5, 4), Rect(8, 0, 12, 3), &dib, Mask(Masked), none);
  EXPECT_EQ(dib.GetPixel(1, 1), RGB(100, 100, 100));  // key pixel, nothing behind, no fill colour
  EXPECT_EQ(dib.GetPixel(1, 2), kGreen);              // black mask
  EXPECT_EQ(dib.GetPixel(2, 1), RGB(99, 100, 99));    // white mask: ((d - s) * 255 + s * 256) >> 8
  EXPECT_EQ(dib.GetPixel(3, 1), RGB(50, 150, 50));    // grey 128
  EXPECT_EQ(dib.GetPixel(4, 3), RGB(99, 200, 0));     // red mask byte only
  EXPECT_EQ(dib.GetPixel(0, 0), RGB(100, 100, 100));

  // Key pixels show what lies behind, or the glyph fill colour when that is set.
  TDib parent = ParentPicture(10, 10);
  TsBgSource behind{&parent, 2, 3, true};
  TDib seeThrough = Filled(6, 4, 0);
  CopyMaskedSeeThrough(Rect(1, 1, 5, 4), Rect(8, 0, 12, 3), &seeThrough, Mask(Masked), behind);
  EXPECT_EQ(seeThrough.GetPixel(1, 1), ParentPixel(3, 4));
  GlyphFillColor = RGB(1, 1, 1);
  CopyMaskedSeeThrough(Rect(1, 1, 5, 4), Rect(8, 0, 12, 3), &seeThrough, Mask(Masked), behind);
  EXPECT_EQ(seeThrough.GetPixel(1, 1), RGB(1, 1, 1));
  TDib filled = Filled(6, 4, 0);
  CopyMaskedSeeThrough(Rect(1, 1, 5, 4), Rect(8, 0, 12, 3), &filled, Mask(Masked), none);
  EXPECT_EQ(filled.GetPixel(1, 1), RGB(1, 1, 1));

  // A negative destination corner moves the source.
  TDib shifted = Filled(6, 4, RGB(100, 100, 100));
  CopyMaskedSeeThrough(Rect(-1, 0, 3, 3), Rect(8, 0, 12, 3), &shifted, Mask(Masked), none);
  EXPECT_EQ(shifted.GetPixel(0, 0), RGB(99, 100, 99));
  EXPECT_EQ(shifted.GetPixel(1, 0), RGB(50, 150, 50));
}

TEST_F(Background, MaskedTextureInModeTenShowsTheSourceBesideWholeTiles) {
  Mask(Masked).StretchMode = 10;
  TDib parent = ParentPicture(20, 20);
  TsBgSource source{&parent, 1, 2, true};
  TDib dib = Filled(9, 7, RGB(100, 100, 100));
  PaintMaskedTexture(&dib, dib.BoundsRect(), source, 10, Mask(Masked));
  EXPECT_EQ(dib.GetPixel(4, 1), kGreen);                   // second tile, black mask column
  EXPECT_EQ(dib.GetPixel(4, 0), ParentPixel(5, 2));        // its key pixel
  EXPECT_EQ(dib.GetPixel(8, 2), ParentPixel(9, 4));        // right of the last whole column
  EXPECT_EQ(dib.GetPixel(3, 6), ParentPixel(4, 8));        // below the last whole row

  // Without a parent picture the strips take the glyph fill colour.
  TsBgSource none;
  GlyphFillColor = RGB(3, 3, 3);
  TDib plain = Filled(9, 7, 0);
  PaintMaskedTexture(&plain, plain.BoundsRect(), none, 10, Mask(Masked));
  EXPECT_EQ(plain.GetPixel(8, 0), RGB(3, 3, 3));
  EXPECT_EQ(plain.GetPixel(0, 6), RGB(3, 3, 3));
  EXPECT_EQ(plain.GetPixel(0, 0), RGB(3, 3, 3));  // key pixel
  EXPECT_EQ(plain.GetPixel(0, 1), kGreen);
}

TEST_F(Background, MaskedOverlayIsPaintedInStateZeroOnly) {
  TsBgSource none;
  Mask(Masked).StretchMode = 10;
  GlyphFillColor = RGB(3, 3, 3);
  TDib normal = Filled(9, 7, 0);
  Paint(Textured, normal, none, 0, Masked);
  EXPECT_EQ(normal.GetPixel(4, 1), kGreen);
  EXPECT_EQ(normal.GetPixel(8, 6), RGB(3, 3, 3));
  TDib hot = Filled(9, 7, 0);
  Paint(Textured, hot, none, 1, Masked);
  EXPECT_EQ(hot.GetPixel(4, 1), RGB(1, 2, 3));
}

// ---- The fixed-texture variant -------------------------------------------------------------------

TEST_F(Background, FixedVariantFillsAboveOneHundredPercentAndSkipsLookups) {
  TsBgSource none;
  Section(Textured).ImagePercent = 100;
  SetGradient(Textured, 50, "0;0;100;0;0");
  // The composer stops at the blended texture (weight 255 for it).
  TDib composed = Filled(4, 3, 0);
  Paint(Textured, composed, none, 0, Tile);
  EXPECT_EQ(composed.GetPixel(2, 1), BlendColor(TilePixel(2, 1), 0, 255));
  // The fixed variant fills 150 % with the colour.
  TDib fixed = Filled(4, 3, 0);
  PaintSectionBackgroundFixed(Textured, Tile, -1, Manager, &fixed, {}, fixed.BoundsRect(), 0, none, "TEX");
  EXPECT_EQ(fixed.GetPixel(2, 1), RGB(100, 200, 50));

  // No texture index: no lookup by name, so no texture.
  SetGradient(Textured, 0, "");
  TDib unnamed = Filled(4, 3, 0);
  PaintSectionBackgroundFixed(Textured, -1, -1, Manager, &unnamed, {}, unnamed.BoundsRect(), 0, none, "TEX");
  EXPECT_EQ(unnamed.GetPixel(2, 1), RGB(100, 200, 50));
}

TEST_F(Background, FixedVariantBlendsOverTheParentPictureNotTheFillColour) {
  Section(Plain).Transparency = 40;
  ParentFillColor = RGB(200, 0, 100);
  TDib parent = ParentPicture(20, 20);
  TsBgSource source{&parent, 2, 1, true};
  TDib dib = Filled(4, 3, 0);
  PaintSectionBackgroundFixed(Plain, -1, -1, Manager, &dib, {1, 1}, dib.BoundsRect(), 0, source, "PLAIN");
  // The section itself, having no texture or gradient, is filled with the parent fill colour.
  EXPECT_EQ(dib.GetPixel(1, 1), BlendColor(ParentPixel(4, 3), RGB(200, 0, 100), 102));
}

// ---- Disabled look -----------------------------------------------------------------------------

namespace {
class Disabled : public Background {};
}  // namespace

TEST_F(Disabled, GreysThenBlendsWithWhatLiesBehind) {
  TDib parent = ParentPicture(20, 20);
  TsBgSource source{&parent, 2, 3, true};
  TDib dib = Filled(3, 3, RGB(90, 60, 30));
  PaintDisabled(&dib, dkGrayed | dkBlended, nullptr, {1, 1}, source);
  // Grey 60, then 60 % background and 40 % control: round(s - 0.4 * (s - 60)).
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      const COLORREF s = ParentPixel(x + 3, y + 4);
      auto ch = [](int v) { return int(std::nearbyint(v - 0.4 * (v - 60))); };
      EXPECT_EQ(dib.GetPixel(x, y), RGB(ch(GetRValue(s)), ch(GetGValue(s)), ch(GetBValue(s))));
    }

  TDib grey = Filled(2, 2, RGB(90, 60, 31));
  PaintDisabled(&grey, dkGrayed, nullptr, {}, source);
  EXPECT_EQ(grey.GetPixel(1, 1), RGB(60, 60, 60));
}

TEST_F(Disabled, WithoutParentPictureMixesHalfOfTheParentColour) {
  TsBgSource none;
  Form->SetColor(RGB(200, 100, 0));
  TDib dib = Filled(3, 2, RGB(100, 100, 101));
  PaintDisabled(&dib, dkBlended, Form, {}, none);
  EXPECT_EQ(dib.GetPixel(2, 1), RGB(150, 100, 50));  // 50.5 rounds to 50
  ParentFillColor = RGB(0, 0, 0);
  PaintDisabled(&dib, dkBlended, Form, {}, none);
  EXPECT_EQ(dib.GetPixel(0, 0), RGB(75, 50, 25));
}

// ---- Shadow -----------------------------------------------------------------------------------

namespace {

// Expected shadow pixel for a mask level m over target t with colour c: (c*256 + m*(t-c)) >> 8.
uint8_t Shadowed(int t, int m, int c) { return uint8_t((c * 256 + m * (t - c)) >> 8); }

}  // namespace

TEST(Shadow, RingsDarkenTowardsTheInside) {
  // 8 x 8 at (1, 1), no rounding, blur 2, transparency 0: rings of level 255, 170, 85, then 0
  // inside. Without an outline each filled rectangle loses its right column and bottom row.
  TDib dib = Filled(10, 10, RGB(200, 200, 200));
  PaintShadow(&dib, Rect(1, 1, 9, 9), 0, 0, 2, RGB(0, 0, 0));
  auto level = [](int x, int y) {
    if (x >= 2 && x < 5 && y >= 2 && y < 5) return 0;
    if (x >= 1 && x < 6 && y >= 1 && y < 6) return 170;
    return 255;
  };
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 1 && x < 9 && y >= 1 && y < 9;
      const int v = inside ? Shadowed(200, level(x - 1, y - 1), 0) : 200;
      EXPECT_EQ(GetRValue(dib.GetPixel(x, y)), v) << x << "," << y;
    }
}

TEST(Shadow, TransparencyLightensEveryLevel) {
  // Transparency 40: F = 102; ring levels 102 + round(153 / 3 * 2) = 204 and 102 + 51 = 153.
  TDib dib = Filled(8, 8, RGB(0, 0, 0));
  PaintShadow(&dib, dib.BoundsRect(), 40, 0, 2, RGB(100, 0, 50));
  EXPECT_EQ(dib.GetPixel(1, 1), RGB(Shadowed(0, 204, 100), 0, Shadowed(0, 204, 50)));
  EXPECT_EQ(dib.GetPixel(2, 2), RGB(Shadowed(0, 102, 100), 0, Shadowed(0, 102, 50)));
  EXPECT_EQ(dib.GetPixel(7, 7), RGB(Shadowed(0, 255, 100), 0, Shadowed(0, 255, 50)));
}

TEST(Shadow, RoundCornersStayLight) {
  // Corner size 4: the ring from (1, 1) misses its own corner pixel, which keeps level 255.
  TDib dib = Filled(8, 8, RGB(200, 200, 200));
  PaintShadow(&dib, dib.BoundsRect(), 0, 4, 2, RGB(0, 0, 0));
  EXPECT_EQ(GetRValue(dib.GetPixel(1, 1)), Shadowed(200, 255, 0));
  EXPECT_EQ(GetRValue(dib.GetPixel(2, 1)), Shadowed(200, 170, 0));
  EXPECT_EQ(GetRValue(dib.GetPixel(3, 3)), 0);
}

// ---- Windowless children over a container's cache ----------------------------------------------

namespace {

// A container that answers the get-cache command with its own picture.
class TCacheOwner : public TWinControl {
 public:
  explicit TCacheOwner(TComponent* owner) : TWinControl(owner), Cache(ParentPicture(12, 10)) {}
  std::string ClassName() const override { return "TCacheOwner"; }
  TDib Cache;
  bool Publish = true;
  int OffsetX = 0, OffsetY = 0;
  std::vector<unsigned> Commands;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD) {
      Commands.push_back(SkinCommandOf(m.WParam));
      if (SkinCommandOf(m.WParam) == AC_GETCACHE && Publish) PublishedBgSource() = {&Cache, OffsetX, OffsetY, true};
      return;
    }
    TWinControl::WndProc(m);
  }
};

// Paints a 2 x 2 square of its paint colour at (1, 0) of itself.
class TSquare : public TGraphicControl {
 public:
  explicit TSquare(TComponent* owner) : TGraphicControl(owner) {}
  std::string ClassName() const override { return "TSquare"; }
  COLORREF PaintColor = RGB(250, 0, 0);
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(TColor(PaintColor));
    Canvas()->FillRect(Rect(1, 0, 3, 2));
  }
};

struct GraphicChildren : ::testing::Test {
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm* Form = nullptr;
  TCacheOwner* Container = nullptr;
  TSquare* Child = nullptr;
  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = new TForm(App);
    Container = new TCacheOwner(Form);
    Container->SetBounds(0, 0, 8, 6);
    Child = new TSquare(Form);
    Child->SetParent(Container);
    Child->SetBounds(1, 1, 4, 3);
    Child->SetColor(RGB(0, 0, 250));
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
};

}  // namespace

TEST_F(GraphicChildren, ChildIsPaintedOverTheContainersCache) {
  Container->OffsetX = 2;
  Container->OffsetY = 1;
  TDib target = Filled(8, 6, 0);
  TDC dc(&target);
  PaintGraphicChildren(&dc, Container);
  EXPECT_EQ(Container->Commands, std::vector<unsigned>{AC_GETCACHE});
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inChild = x >= 1 && x < 5 && y >= 1 && y < 4;
      const bool square = x >= 2 && x < 4 && y >= 1 && y < 3;
      const COLORREF expected = square ? RGB(250, 0, 0) : inChild ? ParentPixel(x + 2, y + 1) : 0;
      EXPECT_EQ(target.GetPixel(x, y), expected) << x << "," << y;
    }
  EXPECT_FALSE(PublishedBgSource().Valid);
}

TEST_F(GraphicChildren, OpaqueChildStartsFromItsOwnColour) {
  Child->ControlStyle |= csOpaque;
  TDib target = Filled(8, 6, 0);
  TDC dc(&target);
  PaintGraphicChildren(&dc, Container);
  EXPECT_EQ(target.GetPixel(1, 1), RGB(0, 0, 250));
  EXPECT_EQ(target.GetPixel(2, 1), RGB(250, 0, 0));
  EXPECT_EQ(target.GetPixel(4, 3), RGB(0, 0, 250));
}

TEST_F(GraphicChildren, KeyColouredTopLeftIsNotCopied) {
  Container->Cache.SetPixel(1, 1, kSkinKeyColor);
  TDib target = Filled(8, 6, 0);
  TDC dc(&target);
  PaintGraphicChildren(&dc, Container);
  EXPECT_EQ(Child->Paints, 1);
  EXPECT_EQ(target.GetPixel(2, 1), 0u);
  EXPECT_EQ(target.GetPixel(4, 3), 0u);
}

TEST_F(GraphicChildren, NothingWithoutCacheOrClipOrVisibleChild) {
  TDib target = Filled(8, 6, 0);
  TDC dc(&target);
  Container->Publish = false;
  PaintGraphicChildren(&dc, Container);
  EXPECT_EQ(Child->Paints, 0);

  Container->Publish = true;
  Container->Commands.clear();
  IntersectClipRect(&dc, 0, 0, 0, 0);
  PaintGraphicChildren(&dc, Container);
  EXPECT_EQ(Container->Commands, std::vector<unsigned>{AC_MARKPARTLYHIDDEN});

  TDC fresh(&target);
  Child->SetVisible(false);
  PaintGraphicChildren(&fresh, Container);
  EXPECT_EQ(Child->Paints, 0);
  EXPECT_EQ(target.GetPixel(2, 1), 0u);
}

TEST_F(GraphicChildren, PaintableChildIsAVisibleWindowlessControlInTheClip) {
  TDib target = Filled(8, 6, 0);
  TDC dc(&target);
  EXPECT_TRUE(IsPaintableGraphicChild(Child, &dc));
  EXPECT_FALSE(IsPaintableGraphicChild(Container, &dc));
  TDC clipped(&target);
  IntersectClipRect(&clipped, 5, 4, 8, 6);
  EXPECT_FALSE(IsPaintableGraphicChild(Child, &clipped));
  Child->ControlStyle |= csNoDesignVisible;
  EXPECT_FALSE(IsPaintableGraphicChild(Child, &dc));
  Child->ControlStyle &= ~csNoDesignVisible;
  Child->SetWidth(0);
  EXPECT_FALSE(IsPaintableGraphicChild(Child, &dc));
}
