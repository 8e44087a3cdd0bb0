#include "platform/graphics/Text.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/graphics/FontFace.h"

namespace {

constexpr std::u32string_view kEllipsis = U"...";

// Advance of the character at pen offset x from the start of its line; with tab stops
// (tabWidth > 0) a tab reaches the next stop.
int CharAdvance(TFontFace& face, char32_t ch, int x, int tabWidth) {
  if (ch == U'\t' && tabWidth > 0) return (x / tabWidth + 1) * tabWidth - x;
  return face.Advance(ch);
}

int LineWidth(TFontFace& face, std::u32string_view text, int tabWidth) {
  int x = 0;
  for (char32_t ch : text) x += CharAdvance(face, ch, x, tabWidth);
  return x;
}

void PutPixel(TDib& dib, int x, int y, COLORREF color, unsigned coverage, bool exact) {
  int bytes = dib.BitsPerPixel() / 8;
  uint8_t* p = dib.ScanLine(y) + ptrdiff_t(x) * bytes;
  uint8_t src[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
  if (exact || coverage >= 255) {
    p[0] = src[0], p[1] = src[1], p[2] = src[2];
    return;
  }
  for (int i = 0; i < 3; ++i) p[i] = uint8_t((src[i] * coverage + p[i] * (255 - coverage) + 127) / 255);
}

void PaintGlyph(const TDC& dc, TDib& dib, const TGlyphImage& g, int penX, int baselineY, COLORREF color,
                bool exact, const TRect& limit) {
  if (g.Width <= 0 || g.Height <= 0) return;
  TRect box = Bounds(penX + g.Left, baselineY - g.Top, g.Width, g.Height);
  dc.ForEachClipRect(box.Intersect(limit), [&](const TRect& c) {
    for (int y = c.Top; y < c.Bottom; ++y) {
      const uint8_t* row = g.Coverage.data() + size_t(y - box.Top) * g.Width;
      for (int x = c.Left; x < c.Right; ++x)
        if (uint8_t v = row[x - box.Left]) PutPixel(dib, x, y, color, v, exact);
    }
  });
}

void FillLimited(TDC& dc, const TRect& surfaceRect, const TRect& limit, COLORREF color) {
  TRect r = surfaceRect.Intersect(limit);
  if (!r.IsEmpty()) dc.FillSurfaceRect(r, color);
}

// Paints one line with its cell's top-left corner at surface point `origin`, inside `limit`
// (surface coordinates) and the context's clip. Returns the line's width.
int PaintLine(TDC& dc, TFontFace& face, TPoint origin, std::u32string_view text, int tabWidth, const TRect& limit,
              bool opaque) {
  const TDC::TState& state = dc.State();
  int width = LineWidth(face, text, tabWidth);
  if (opaque) FillLimited(dc, Bounds(origin.X, origin.Y, width, face.Height()), limit, state.BkColor);

  TDib& dib = *dc.Surface();
  int bits = dib.BitsPerPixel();
  if (bits == 24 || bits == 32) {
    int baseline = origin.Y + face.Ascent();
    bool exact = face.IsBitmapStrike();
    int x = 0;
    for (char32_t ch : text) {
      if (!(ch == U'\t' && tabWidth > 0)) PaintGlyph(dc, dib, face.Glyph(ch), origin.X + x, baseline, state.TextColor, exact, limit);
      x += CharAdvance(face, ch, x, tabWidth);
    }
  }
  int baseline = origin.Y + face.Ascent();
  if (face.Underline())
    FillLimited(dc, Bounds(origin.X, baseline + face.UnderlineOffset(), width, face.UnderlineThickness()), limit,
                state.TextColor);
  if (face.StrikeOut())
    FillLimited(dc, Bounds(origin.X, baseline + face.StrikeOutOffset(), width, face.StrikeOutThickness()), limit,
                state.TextColor);
  return width;
}

// A line of DrawText after accelerator markers are taken out: its characters and the index
// of the character to underline (-1: none).
struct TTextLine {
  std::u32string Text;
  int Accel = -1;
};

// Removes the "&" markers: "&x" marks x, "&&" is a literal "&", a trailing "&" goes. The
// last marked character wins.
std::u32string StripPrefixes(std::u32string_view text, int* accel) {
  std::u32string out;
  *accel = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != U'&') {
      out.push_back(text[i]);
      continue;
    }
    if (i + 1 >= text.size()) break;
    if (text[i + 1] != U'&') *accel = int(out.size());
    out.push_back(text[++i]);
  }
  return out;
}

std::vector<TTextLine> SplitLines(const std::u32string& text, int accel, bool singleLine) {
  std::vector<TTextLine> lines;
  size_t start = 0;
  auto add = [&](size_t end) {
    TTextLine line{text.substr(start, end - start)};
    if (accel >= int(start) && accel < int(end)) line.Accel = accel - int(start);
    lines.push_back(std::move(line));
  };
  if (singleLine) {
    add(text.size());
    return lines;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != U'\n' && text[i] != U'\r') continue;
    add(i);
    if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
    start = i + 1;
  }
  add(text.size());
  return lines;
}

// Greedy breaking at spaces. A word wider than the width stands alone on its line, or is cut
// at the last character that fits when `breakWords` is set.
std::vector<TTextLine> WrapLine(TFontFace& face, const TTextLine& line, int maxWidth, int tabWidth, bool breakWords) {
  std::vector<TTextLine> out;
  const std::u32string& s = line.Text;
  size_t n = s.size();
  auto width = [&](size_t from, size_t to) { return LineWidth(face, std::u32string_view(s).substr(from, to - from), tabWidth); };
  auto isSpace = [&](size_t i) { return s[i] == U' '; };
  auto emit = [&](size_t from, size_t to) {
    TTextLine piece{s.substr(from, to - from)};
    if (line.Accel >= int(from) && line.Accel < int(to)) piece.Accel = line.Accel - int(from);
    out.push_back(std::move(piece));
  };
  if (n == 0) {
    out.push_back(line);
    return out;
  }
  size_t start = 0;
  while (start < n) {
    size_t end = start;
    bool taken = false;
    while (end < n) {
      size_t j = end;
      while (j < n && isSpace(j)) ++j;
      while (j < n && !isSpace(j)) ++j;
      if (width(start, j) <= maxWidth) {
        end = j;
        taken = true;
        continue;
      }
      if (!taken) {
        end = j;
        if (breakWords) {
          size_t k = start + 1;
          while (k < j && width(start, k + 1) <= maxWidth) ++k;
          end = k;
        }
      }
      break;
    }
    emit(start, end);
    start = end;
    while (start < n && isSpace(start)) ++start;
  }
  return out;
}

TTextLine Shorten(const TTextLine& line, size_t keep, std::u32string_view tail, size_t tailFrom) {
  TTextLine r{line.Text.substr(0, keep) + std::u32string(kEllipsis) + std::u32string(tail)};
  if (line.Accel >= 0 && size_t(line.Accel) < keep) r.Accel = line.Accel;
  else if (line.Accel >= 0 && !tail.empty() && size_t(line.Accel) >= tailFrom)
    r.Accel = int(keep + kEllipsis.size() + (line.Accel - tailFrom));
  return r;
}

// Cuts a line that is too wide so that it fits with "..." (at the end, before the last path
// part, or after a whole word).
TTextLine Ellipsize(TFontFace& face, const TTextLine& line, int maxWidth, int tabWidth, unsigned format) {
  const std::u32string& s = line.Text;
  if (LineWidth(face, s, tabWidth) <= maxWidth) return line;
  auto fits = [&](const TTextLine& t) { return LineWidth(face, t.Text, tabWidth) <= maxWidth; };
  if (format & DT_PATH_ELLIPSIS) {
    size_t sep = s.find_last_of(U"\\/");
    if (sep != std::u32string::npos) {
      std::u32string_view tail = std::u32string_view(s).substr(sep);
      for (size_t keep = sep + 1; keep-- > 0;) {
        TTextLine t = Shorten(line, keep, tail, sep);
        if (fits(t)) return t;
      }
    }
  } else if (format & DT_WORD_ELLIPSIS) {
    for (size_t keep = s.size(); keep-- > 0;) {
      if (s[keep] != U' ' || keep == 0 || s[keep - 1] == U' ') continue;
      TTextLine t = Shorten(line, keep, {}, 0);
      if (fits(t)) return t;
    }
  }
  for (size_t keep = s.size(); keep-- > 0;) {
    TTextLine t = Shorten(line, keep, {}, 0);
    if (fits(t) || keep == 0) return t;
  }
  return line;
}

}  // namespace

bool ExtTextOut(HDC dc, int x, int y, unsigned options, const TRect* r, std::string_view text) {
  if (!dc) return false;
  TDC::TState& state = dc->State();
  std::shared_ptr<TFontFace> face = TFontFace::Get(state.Font);
  std::u32string chars = TFontFace::Decode(text);
  int width = face->TextWidth(chars);

  unsigned align = state.TextAlign;
  if (align & TA_UPDATECP) {
    x = state.CurrentPos.X;
    y = state.CurrentPos.Y;
  }
  int left = x, top = y;
  if ((align & TA_CENTER) == TA_CENTER) left -= width / 2;
  else if (align & TA_RIGHT) left -= width;
  if ((align & TA_BASELINE) == TA_BASELINE) top -= face->Ascent();
  else if (align & TA_BOTTOM) top -= face->Height();
  if (align & TA_UPDATECP) {
    if ((align & TA_CENTER) == TA_LEFT) state.CurrentPos.X = x + width;
    else if ((align & TA_CENTER) == TA_RIGHT) state.CurrentPos.X = x - width;
  }

  TDib* surface = dc->Surface();
  if (!surface) return false;
  TRect limit = surface->BoundsRect();
  if (r && (options & ETO_OPAQUE)) FillLimited(*dc, dc->ToSurface(*r), limit, state.BkColor);
  if (r && (options & ETO_CLIPPED)) limit = limit.Intersect(dc->ToSurface(*r));
  PaintLine(*dc, *face, dc->ToSurface(left, top), chars, 0, limit, state.BkMode == OPAQUE);
  return true;
}

bool TextOut(HDC dc, int x, int y, std::string_view text) { return ExtTextOut(dc, x, y, 0, nullptr, text); }

bool GetTextExtentPoint32(HDC dc, std::string_view text, TSize* size) {
  if (!dc || !size) return false;
  std::shared_ptr<TFontFace> face = TFontFace::Get(dc->State().Font);
  size->cx = face->TextWidth(TFontFace::Decode(text));
  size->cy = face->Height();
  return true;
}

bool GetTextMetrics(HDC dc, TEXTMETRIC* metrics) {
  if (!dc || !metrics) return false;
  std::shared_ptr<TFontFace> face = TFontFace::Get(dc->State().Font);
  TEXTMETRIC tm;
  tm.tmHeight = face->Height();
  tm.tmAscent = face->Ascent();
  tm.tmDescent = face->Descent();
  tm.tmInternalLeading = face->InternalLeading();
  tm.tmExternalLeading = face->ExternalLeading();
  tm.tmAveCharWidth = face->AveCharWidth();
  tm.tmMaxCharWidth = face->MaxCharWidth();
  tm.tmWeight = face->Weight();
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = '?';
  tm.tmBreakChar = ' ';
  tm.tmItalic = face->Italic();
  tm.tmUnderlined = face->Underline();
  tm.tmStruckOut = face->StrikeOut();
  // Variable pitch (bit 0 set, as the API has it), swiss family; outline faces are vector
  // and scalable.
  tm.tmPitchAndFamily = face->IsBitmapStrike() ? 0x21 : 0x27;
  tm.tmCharSet = ANSI_CHARSET;
  *metrics = tm;
  return true;
}

int DrawText(HDC dc, std::string_view text, TRect* r, unsigned format) {
  if (!dc || !r) return 0;
  TDC::TState& state = dc->State();
  std::shared_ptr<TFontFace> face = TFontFace::Get(state.Font);

  int tabChars = 8;
  if (format & DT_TABSTOP) {
    tabChars = int((format >> 8) & 0xFF);
    if (tabChars == 0) tabChars = 8;
    format &= ~0xFF00u;
  }
  int tabWidth = (format & DT_EXPANDTABS) ? tabChars * face->AveCharWidth() : 0;
  bool calc = format & DT_CALCRECT;
  bool singleLine = format & DT_SINGLELINE;

  std::u32string chars = TFontFace::Decode(text);
  if (chars.empty()) {
    if (calc) *r = {r->Left, r->Top, r->Left, r->Top};
    return 0;
  }
  int accel = -1;
  if (!(format & DT_NOPREFIX)) chars = StripPrefixes(chars, &accel);

  std::vector<TTextLine> lines = SplitLines(chars, accel, singleLine);
  int maxWidth = r->Width();
  if ((format & DT_WORDBREAK) && !singleLine) {
    std::vector<TTextLine> wrapped;
    for (const TTextLine& line : lines)
      for (TTextLine& piece : WrapLine(*face, line, maxWidth, tabWidth, format & DT_EDITCONTROL))
        wrapped.push_back(std::move(piece));
    lines = std::move(wrapped);
  }
  if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
    for (TTextLine& line : lines) line = Ellipsize(*face, line, maxWidth, tabWidth, format);

  int lineHeight = face->Height() + ((format & DT_EXTERNALLEADING) ? face->ExternalLeading() : 0);
  int textHeight = lineHeight * int(lines.size());
  std::vector<int> widths;
  int widest = 0;
  for (const TTextLine& line : lines) {
    widths.push_back(LineWidth(*face, line.Text, tabWidth));
    widest = std::max(widest, widths.back());
  }
  if (calc) {
    r->Right = r->Left + widest;
    r->Bottom = r->Top + textHeight;
    return textHeight;
  }

  int y = r->Top;
  if (singleLine && (format & DT_VCENTER)) y = r->Top + (r->Height() - lineHeight) / 2;
  else if (singleLine && (format & DT_BOTTOM)) y = r->Bottom - lineHeight;
  int result = y - r->Top + textHeight;

  TDib* surface = dc->Surface();
  if (!surface) return result;
  TRect limit = surface->BoundsRect();
  if (!(format & DT_NOCLIP)) limit = limit.Intersect(dc->ToSurface(*r));
  bool prefixOnly = format & DT_PREFIXONLY;
  bool showAccel = !(format & DT_HIDEPREFIX);
  for (size_t i = 0; i < lines.size(); ++i, y += lineHeight) {
    const TTextLine& line = lines[i];
    int x = r->Left;
    if (format & DT_CENTER) x += (maxWidth - widths[i]) / 2;
    else if (format & DT_RIGHT) x = r->Right - widths[i];
    TPoint origin = dc->ToSurface(x, y);
    if (!prefixOnly) PaintLine(*dc, *face, origin, line.Text, tabWidth, limit, state.BkMode == OPAQUE);
    if (showAccel && line.Accel >= 0) {
      std::u32string_view s(line.Text);
      int ax = LineWidth(*face, s.substr(0, line.Accel), tabWidth);
      int aw = CharAdvance(*face, s[line.Accel], ax, tabWidth);
      FillLimited(*dc, Bounds(origin.X + ax, origin.Y + face->Ascent() + face->UnderlineOffset(), aw, 1), limit,
                  state.TextColor);
    }
  }
  return result;
}
