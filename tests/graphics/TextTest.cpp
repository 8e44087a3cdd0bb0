#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/graphics/DC.h"
#include "platform/graphics/FontFace.h"
#include "platform/graphics/Text.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

TLogFont Font(const std::string& name, int height, TFontStyles style = 0) {
  TLogFont f;
  f.Name = name;
  f.Height = height;
  f.Style = style;
  return f;
}

// A white picture with a transparent-mode context drawing black text in the default font.
struct TCanvas {
  TDib Dib;
  TDC DC;
  explicit TCanvas(int w = 200, int h = 60) : Dib(w, h), DC(&Dib) {
    Dib.Fill(kWhite);
    SetBkMode(&DC, TRANSPARENT);
    SetTextColor(&DC, 0);
  }
  HDC dc() { return &DC; }
  TSize Extent(const std::string& text) {
    TSize s;
    GetTextExtentPoint32(&DC, text, &s);
    return s;
  }
};

// Bounding box of the pixels that differ from `background` (empty when none).
TRect PaintedBox(const TDib& dib, COLORREF background = kWhite) {
  TRect box{dib.Width(), dib.Height(), 0, 0};
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x)
      if (dib.GetPixel(x, y) != background) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return box.IsEmpty() ? TRect{} : box;
}

// Whether `drawn` matches `expected`, which must show something.
testing::AssertionResult SamePixels(const TDib& drawn, const TDib& expected) {
  if (PaintedBox(expected).IsEmpty()) return testing::AssertionFailure() << "nothing expected";
  for (int y = 0; y < drawn.Height(); ++y)
    for (int x = 0; x < drawn.Width(); ++x)
      if (drawn.GetPixel(x, y) != expected.GetPixel(x, y))
        return testing::AssertionFailure() << "first difference at " << x << "," << y;
  return testing::AssertionSuccess();
}

std::set<COLORREF> Colours(const TDib& dib) {
  std::set<COLORREF> colours;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) colours.insert(dib.GetPixel(x, y));
  return colours;
}

}  // namespace

// ---- Font engine --------------------------------------------------------------------------

TEST(FontFace, DefaultFontIsTheThirteenPixelBitmapStrike) {
  for (int height : {-11, 0, 13, 12, 14}) {
    auto face = TFontFace::Get(Font("MS Sans Serif", height));
    EXPECT_TRUE(face->IsBitmapStrike()) << height;
    EXPECT_EQ(face->Height(), 13) << height;
  }
  EXPECT_EQ(TFontFace::Get(Font("ms sans serif", -11)), TFontFace::Get(Font("MS Sans Serif", -11)));

  TCanvas c;
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(c.dc(), &tm));
  EXPECT_EQ(tm.tmHeight, 13);
  EXPECT_EQ(tm.tmAscent, 11);
  EXPECT_EQ(tm.tmInternalLeading, 2);
  EXPECT_EQ(tm.tmWeight, 400);
  EXPECT_EQ(c.Extent("Maruk timeline ROM viewer"), (TSize{130, 13}));
}

TEST(FontFace, OtherSizesOfTheBitmapName) {
  auto sixteen = TFontFace::Get(Font("MS Sans Serif", -13));
  EXPECT_TRUE(sixteen->IsBitmapStrike());
  EXPECT_EQ(sixteen->Height() - sixteen->InternalLeading(), 13);
  EXPECT_EQ(TFontFace::Get(Font("MS Sans Serif", 16))->Height(), 16);

  auto large = TFontFace::Get(Font("MS Sans Serif", -30));
  EXPECT_FALSE(large->IsBitmapStrike());
  EXPECT_GT(large->Height(), 30);
}

TEST(FontFace, SynthesisedBoldAddsOnePixelPerCharacter) {
  TCanvas c;
  const std::string text = "Maruk timeline ROM viewer";
  int normal = c.Extent(text).cx;
  SelectFont(c.dc(), Font("MS Sans Serif", -11, fsBold));
  EXPECT_EQ(c.Extent(text).cx, normal + int(text.size()));
  EXPECT_EQ(TFontFace::Get(Font("MS Sans Serif", -11, fsBold))->Weight(), 700);

  // The overstrike: every pixel of the plain glyph is set, and so is its right neighbour.
  TCanvas plain, bold;
  TextOut(plain.dc(), 5, 5, "W");
  SelectFont(bold.dc(), Font("MS Sans Serif", -11, fsBold));
  TextOut(bold.dc(), 5, 5, "W");
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 30; ++x)
      if (plain.Dib.GetPixel(x, y) == 0) {
        EXPECT_EQ(bold.Dib.GetPixel(x, y), 0u);
        EXPECT_EQ(bold.Dib.GetPixel(x + 1, y), 0u);
      }
}

TEST(FontFace, CharactersMapToWindows1252) {
  EXPECT_EQ(TFontFace::ToCp1252(U'A'), 'A');
  EXPECT_EQ(TFontFace::ToCp1252(U'\u00E9'), 0xE9);
  EXPECT_EQ(TFontFace::ToCp1252(U'\u20AC'), 0x80);
  EXPECT_EQ(TFontFace::ToCp1252(U'\u4E00'), '?');
  EXPECT_EQ(TFontFace::ToCp1252(U'\u0080'), '?');

  EXPECT_EQ(TFontFace::Decode("a\xC3\xA9"), U"a\u00E9");
  // Bytes that are not UTF-8 stand for themselves as Windows-1252.
  EXPECT_EQ(TFontFace::Decode("\xE9x"), U"\u00E9x");
  EXPECT_EQ(TFontFace::Decode("\x80"), U"\u20AC");
  EXPECT_EQ(TFontFace::Decode("\xC0\xAF"), U"\u00C0\u00AF");  // overlong
  EXPECT_EQ(TFontFace::Decode("\xE2\x82"), U"\u00E2\u201A");  // cut short

  TCanvas c;
  EXPECT_EQ(c.Extent("\xE4\xB8\x80").cx, c.Extent("?").cx);
  EXPECT_EQ(c.Extent("\xC3\xA9").cx, c.Extent("\xE9").cx);
}

TEST(FontFace, UnknownFamilyFallsBackToAnOutlineFace) {
  TCanvas c;
  SelectFont(c.dc(), Font("No Such Family Anywhere", -14));
  TSize s = c.Extent("Hello");
  EXPECT_GT(s.cx, 0);
  EXPECT_GT(s.cy, 0);
  EXPECT_FALSE(TFontFace::Get(Font("No Such Family Anywhere", -14))->IsBitmapStrike());
}

TEST(FontFace, PositiveHeightIsTheCellHeightOfOutlineFaces) {
  TCanvas c;
  SelectFont(c.dc(), Font("DejaVu Sans", 20));
  TEXTMETRIC tm;
  GetTextMetrics(c.dc(), &tm);
  EXPECT_EQ(tm.tmHeight, 20);
  SelectFont(c.dc(), Font("DejaVu Sans", -20));
  GetTextMetrics(c.dc(), &tm);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20);
}

// ---- TextOut and ExtTextOut ---------------------------------------------------------------

TEST(TextOut, BitmapStrikePixelsArePureTextColour) {
  TCanvas c;
  SetTextColor(c.dc(), kRed);
  TextOut(c.dc(), 3, 3, "Maruk timeline ROM viewer");
  EXPECT_EQ(Colours(c.Dib), (std::set<COLORREF>{kWhite, kRed}));
}

TEST(TextOut, OutlineFaceIsAntiAliased) {
  TCanvas c;
  SelectFont(c.dc(), Font("DejaVu Sans", -16));
  TextOut(c.dc(), 2, 2, "Smooth curves");
  std::set<COLORREF> colours = Colours(c.Dib);
  bool grey = false;
  for (COLORREF col : colours)
    if (col != kWhite && col != 0 && GetRValue(col) == GetGValue(col) && GetGValue(col) == GetBValue(col)) grey = true;
  EXPECT_TRUE(grey);
  EXPECT_GT(colours.size(), 3u);
}

TEST(TextOut, ViewportOriginMovesTheText) {
  TCanvas moved, direct;
  SetViewportOrgEx(moved.dc(), 17, 9, nullptr);
  TextOut(moved.dc(), 4, 6, "Origin");
  TextOut(direct.dc(), 21, 15, "Origin");
  EXPECT_TRUE(SamePixels(moved.Dib, direct.Dib));
}

TEST(TextOut, AlignmentAndCurrentPosition) {
  TCanvas ref;
  TSize s = ref.Extent("Align");
  TextOut(ref.dc(), 60, 20, "Align");
  struct {
    unsigned align;
    int x, y;
  } cases[] = {{TA_RIGHT | TA_TOP, 60 + s.cx, 20},
               {TA_CENTER | TA_TOP, 60 + s.cx / 2, 20},
               {TA_LEFT | TA_BOTTOM, 60, 20 + s.cy},
               {TA_LEFT | TA_BASELINE, 60, 20 + 11}};
  for (auto& k : cases) {
    TCanvas c;
    SetTextAlign(c.dc(), k.align);
    TextOut(c.dc(), k.x, k.y, "Align");
    EXPECT_TRUE(SamePixels(c.Dib, ref.Dib)) << k.align;
  }

  TCanvas pieces, whole;
  SetTextAlign(pieces.dc(), TA_UPDATECP);
  MoveToEx(pieces.dc(), 10, 10, nullptr);
  TextOut(pieces.dc(), 0, 0, "Con");
  TextOut(pieces.dc(), 0, 0, "tinued");
  TextOut(whole.dc(), 10, 10, "Continued");
  EXPECT_TRUE(SamePixels(pieces.Dib, whole.Dib));
  EXPECT_EQ(pieces.DC.State().CurrentPos, (TPoint{10 + whole.Extent("Continued").cx, 10}));
}

TEST(TextOut, ClipIsRespected) {
  TCanvas c;
  IntersectClipRect(c.dc(), 20, 0, 50, 14);
  TextOut(c.dc(), 5, 5, "Clipped text runs past");
  TRect box = PaintedBox(c.Dib);
  EXPECT_FALSE(box.IsEmpty());
  EXPECT_GE(box.Left, 20);
  EXPECT_LE(box.Right, 50);
  EXPECT_LE(box.Bottom, 14);
}

TEST(TextOut, NeverWritesOutsideTheSurface) {
  TCanvas c(40, 10);
  SelectFont(c.dc(), Font("DejaVu Sans", -30, fsBold | fsItalic | fsUnderline | fsStrikeOut));
  EXPECT_TRUE(TextOut(c.dc(), -7, -9, "Wide and tall text"));
  EXPECT_TRUE(TextOut(c.dc(), 35, 6, "Wide and tall text"));
  SetBkMode(c.dc(), OPAQUE);
  EXPECT_TRUE(TextOut(c.dc(), -1000, 5, "x"));
  EXPECT_FALSE(PaintedBox(c.Dib).IsEmpty());
}

TEST(TextOut, OpaqueModeFillsTheCell) {
  TCanvas c;
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), kBlue);
  TextOut(c.dc(), 10, 20, "Cell");
  TSize s = c.Extent("Cell");
  EXPECT_EQ(PaintedBox(c.Dib), Bounds(10, 20, s.cx, s.cy));
  for (int y = 20; y < 20 + s.cy; ++y)
    for (int x = 10; x < 10 + s.cx; ++x) {
      COLORREF p = c.Dib.GetPixel(x, y);
      EXPECT_TRUE(p == kBlue || p == 0) << x << "," << y;
    }

  TCanvas t;
  SetBkColor(t.dc(), kBlue);
  TextOut(t.dc(), 10, 20, "Cell");
  EXPECT_EQ(Colours(t.Dib).count(kBlue), 0u);
}

TEST(TextOut, UnderlineStyleDrawsALineUnderTheCell) {
  TCanvas c;
  SelectFont(c.dc(), Font("MS Sans Serif", -11, fsUnderline));
  TextOut(c.dc(), 10, 10, "ab");
  TSize s = c.Extent("ab");
  for (int x = 10; x < 10 + s.cx; ++x) EXPECT_EQ(c.Dib.GetPixel(x, 10 + 12), 0u) << x;
  EXPECT_EQ(c.Dib.GetPixel(9, 22), kWhite);
  EXPECT_EQ(c.Dib.GetPixel(10 + s.cx, 22), kWhite);
}

TEST(TextOut, ExtTextOutOpaqueAndClippedRectangle) {
  TCanvas c;
  SetBkColor(c.dc(), kBlue);
  TRect r{10, 10, 40, 30};
  ExtTextOut(c.dc(), 12, 12, ETO_OPAQUE | ETO_CLIPPED, &r, "A long piece of text");
  EXPECT_EQ(PaintedBox(c.Dib), r);
  EXPECT_EQ(c.Dib.GetPixel(10, 10), kBlue);
  EXPECT_EQ(c.Dib.GetPixel(39, 29), kBlue);
  EXPECT_GT(Colours(c.Dib).count(0), 0u);
}

// ---- DrawText -----------------------------------------------------------------------------

TEST(TextDraw, SingleLinePlacement) {
  const TRect r{10, 8, 150, 50};
  const std::string text = "Placed text";
  TCanvas probe;
  TSize s = probe.Extent(text);
  unsigned horizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  unsigned vertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  int xs[] = {r.Left, r.Left + (r.Width() - s.cx) / 2, r.Right - s.cx};
  int ys[] = {r.Top, r.Top + (r.Height() - s.cy) / 2, r.Bottom - s.cy};
  for (int h = 0; h < 3; ++h)
    for (int v = 0; v < 3; ++v) {
      TCanvas drawn, expected;
      TRect rr = r;
      int height = DrawText(drawn.dc(), text, &rr, DT_SINGLELINE | horizontal[h] | vertical[v]);
      TextOut(expected.dc(), xs[h], ys[v], text);
      EXPECT_TRUE(SamePixels(drawn.Dib, expected.Dib)) << h << "," << v;
      EXPECT_EQ(height, ys[v] - r.Top + s.cy);
      EXPECT_EQ(rr, r);
    }
}

TEST(TextDraw, CalcRectOfOneLine) {
  TCanvas c;
  TRect r{5, 7, 300, 300};
  int h = DrawText(c.dc(), "Measure me", &r, DT_SINGLELINE | DT_CALCRECT);
  TSize s = c.Extent("Measure me");
  EXPECT_EQ(r, Bounds(5, 7, s.cx, s.cy));
  EXPECT_EQ(h, s.cy);
  EXPECT_TRUE(PaintedBox(c.Dib).IsEmpty());

  r = {5, 7, 300, 300};
  EXPECT_EQ(DrawText(c.dc(), "", &r, DT_CALCRECT), 0);
  EXPECT_EQ(r, (TRect{5, 7, 5, 7}));
  TRect d{0, 0, 100, 30};
  EXPECT_EQ(DrawText(c.dc(), "", &d, DT_LEFT), 0);
}

TEST(TextDraw, LineBreaksSplitLines) {
  TCanvas c;
  TRect r{0, 0, 200, 0};
  EXPECT_EQ(DrawText(c.dc(), "one\ntwo\r\nthree", &r, DT_CALCRECT), 3 * 13);
  EXPECT_EQ(r.Right, c.Extent("three").cx);
  r = {0, 0, 200, 0};
  EXPECT_EQ(DrawText(c.dc(), "one\ntwo", &r, DT_CALCRECT | DT_SINGLELINE), 13);

  TCanvas drawn, expected;
  TRect box{4, 4, 200, 60};
  DrawText(drawn.dc(), "one\r\ntwo", &box, DT_LEFT);
  TextOut(expected.dc(), 4, 4, "one");
  TextOut(expected.dc(), 4, 17, "two");
  EXPECT_TRUE(SamePixels(drawn.Dib, expected.Dib));
}

TEST(TextDraw, WordBreakFillsLinesGreedily) {
  TCanvas c;
  const std::string text = "one two three four";
  int width = c.Extent("one two three").cx + 2;
  ASSERT_LT(width, c.Extent(text).cx);
  TRect r{0, 0, width, 0};
  EXPECT_EQ(DrawText(c.dc(), text, &r, DT_WORDBREAK | DT_CALCRECT), 2 * 13);
  EXPECT_EQ(r.Right, c.Extent("one two three").cx);  // shrinks to the widest line

  TCanvas drawn, expected;
  TRect box{3, 3, 3 + width, 50};
  EXPECT_EQ(DrawText(drawn.dc(), text, &box, DT_WORDBREAK), 26);
  TextOut(expected.dc(), 3, 3, "one two three");
  TextOut(expected.dc(), 3, 16, "four");
  EXPECT_TRUE(SamePixels(drawn.Dib, expected.Dib));

  // Centred lines are centred one by one, without the spaces at the break.
  TCanvas centred, centredExpected;
  DrawText(centred.dc(), text, &box, DT_WORDBREAK | DT_CENTER);
  TextOut(centredExpected.dc(), 3 + (width - c.Extent("one two three").cx) / 2, 3, "one two three");
  TextOut(centredExpected.dc(), 3 + (width - c.Extent("four").cx) / 2, 16, "four");
  EXPECT_TRUE(SamePixels(centred.Dib, centredExpected.Dib));
}

TEST(TextDraw, LongWordStaysWholeUnlessEditControl) {
  TCanvas c;
  const std::string word = "Extraordinarily";
  int wordWidth = c.Extent(word).cx;
  TRect r{0, 0, wordWidth / 2, 0};
  EXPECT_EQ(DrawText(c.dc(), "a " + word + " b", &r, DT_WORDBREAK | DT_CALCRECT), 3 * 13);
  EXPECT_EQ(r.Right, wordWidth);  // widened to the word

  r = {0, 0, wordWidth / 2, 0};
  int lines = DrawText(c.dc(), word, &r, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT) / 13;
  EXPECT_GE(lines, 2);
  EXPECT_LE(r.Right, wordWidth / 2);
}

TEST(TextDraw, TabsExpandToEightAverageCharacters) {
  TCanvas c;
  TEXTMETRIC tm;
  GetTextMetrics(c.dc(), &tm);
  TCanvas drawn, expected;
  TRect r{0, 0, 200, 30};
  DrawText(drawn.dc(), "a\tb", &r, DT_EXPANDTABS | DT_SINGLELINE);
  TextOut(expected.dc(), 0, 0, "a");
  TextOut(expected.dc(), 8 * tm.tmAveCharWidth, 0, "b");
  EXPECT_TRUE(SamePixels(drawn.Dib, expected.Dib));

}

TEST(TextDraw, AcceleratorUnderlinesOneCharacter) {
  TCanvas drawn, plain;
  TRect r{10, 10, 190, 40};
  DrawText(drawn.dc(), "&Open", &r, DT_SINGLELINE);
  TextOut(plain.dc(), 10, 10, "Open");
  int underlineY = 10 + 11 + 1;
  int oWidth = plain.Extent("O").cx;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      bool underline = y == underlineY && x >= 10 && x < 10 + oWidth;
      if (underline) EXPECT_EQ(drawn.Dib.GetPixel(x, y), 0u) << x;
      else EXPECT_EQ(drawn.Dib.GetPixel(x, y), plain.Dib.GetPixel(x, y)) << x << "," << y;
    }

  TRect calc{0, 0, 300, 0};
  DrawText(plain.dc(), "&Open", &calc, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(calc.Right, plain.Extent("Open").cx);
}

TEST(TextDraw, PrefixVariants) {
  struct {
    std::string text;
    unsigned format;
    std::string shown;
  } cases[] = {{"A&&B", 0, "A&B"},       {"&Open", DT_NOPREFIX, "&Open"}, {"&Open", DT_HIDEPREFIX, "Open"},
               {"Open&", 0, "Open"},     {"&&", 0, "&"}};
  for (auto& k : cases) {
    TCanvas drawn, expected;
    TRect r{10, 10, 190, 40};
    DrawText(drawn.dc(), k.text, &r, DT_SINGLELINE | k.format);
    TextOut(expected.dc(), 10, 10, k.shown);
    EXPECT_TRUE(SamePixels(drawn.Dib, expected.Dib)) << k.text << " " << k.format;
  }

  TCanvas only;
  TRect r{10, 10, 190, 40};
  DrawText(only.dc(), "Op&en", &r, DT_SINGLELINE | DT_PREFIXONLY);
  int x = 10 + only.Extent("Op").cx;
  EXPECT_EQ(PaintedBox(only.Dib), Bounds(x, 22, only.Extent("e").cx, 1));
}

TEST(TextDraw, EndEllipsisFitsAndEndsWithDots) {
  TCanvas c;
  const std::string text = "A caption far too long for its box";
  TRect r{5, 5, 5 + 70, 25};
  TRect calc = r;
  DrawText(c.dc(), text, &calc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(calc.Width(), r.Width());
  EXPECT_GT(calc.Width(), r.Width() - c.Extent("W").cx);

  DrawText(c.dc(), text, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
  TCanvas dots;
  int dotsWidth = dots.Extent("...").cx;
  int dotsX = 5 + calc.Width() - dotsWidth;
  TextOut(dots.dc(), dotsX, 5, "...");
  for (int y = 0; y < 60; ++y)
    for (int x = dotsX; x < dotsX + dotsWidth; ++x) EXPECT_EQ(c.Dib.GetPixel(x, y), dots.Dib.GetPixel(x, y));
  EXPECT_LE(PaintedBox(c.Dib).Right, 5 + calc.Width());
  EXPECT_GE(PaintedBox(c.Dib).Right, dotsX);
}

TEST(TextDraw, ClipsToTheRectangleUnlessNoClip) {
  TCanvas clipped, free;
  TRect r{20, 10, 60, 30};
  DrawText(clipped.dc(), "This text is much wider than its box", &r, DT_SINGLELINE | DT_CENTER);
  TRect box = PaintedBox(clipped.Dib);
  EXPECT_FALSE(box.IsEmpty());
  EXPECT_GE(box.Left, 20);
  EXPECT_LE(box.Right, 60);
  DrawText(free.dc(), "This text is much wider than its box", &r, DT_SINGLELINE | DT_CENTER | DT_NOCLIP);
  box = PaintedBox(free.Dib);
  EXPECT_LT(box.Left, 20);
  EXPECT_GT(box.Right, 60);
  EXPECT_EQ(clipped.DC.SaveLevel(), 0);
}

TEST(FontFace, FontsSharingAFileKeepTheirOwnSize) {
  auto small = TFontFace::Get(Font("DejaVu Sans", -12));
  auto large = TFontFace::Get(Font("DejaVu Sans", -24));
  ASSERT_TRUE(small->Realised() && large->Realised());
  ASSERT_EQ(small->FileName(), large->FileName());
  // Each renders at its own size whatever the other rendered last.
  const int h = small->Glyph(U'H').Height, H = large->Glyph(U'H').Height;
  EXPECT_GT(H, h + 5);
  EXPECT_EQ(small->Glyph(U'E').Height, h);
  EXPECT_EQ(large->Glyph(U'E').Height, H);
  EXPECT_EQ(small->Glyph(U'F').Height, h);
}
