#pragma once
// Text output on a device context with the context's font, text colour, background mode
// and colour, and text alignment. Strings are UTF-8.
#include <cstdint>
#include <string_view>

#include "platform/graphics/DC.h"
#include "platform/graphics/Types.h"

struct TEXTMETRIC {
  int32_t tmHeight = 0;
  int32_t tmAscent = 0;
  int32_t tmDescent = 0;
  int32_t tmInternalLeading = 0;
  int32_t tmExternalLeading = 0;
  int32_t tmAveCharWidth = 0;
  int32_t tmMaxCharWidth = 0;
  int32_t tmWeight = 0;
  int32_t tmOverhang = 0;
  int32_t tmDigitizedAspectX = 96;
  int32_t tmDigitizedAspectY = 96;
  uint8_t tmFirstChar = 0;
  uint8_t tmLastChar = 0;
  uint8_t tmDefaultChar = 0;
  uint8_t tmBreakChar = 0;
  uint8_t tmItalic = 0;
  uint8_t tmUnderlined = 0;
  uint8_t tmStruckOut = 0;
  uint8_t tmPitchAndFamily = 0;
  uint8_t tmCharSet = 0;
};

// ExtTextOut options.
enum : unsigned { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };

// DrawText formats.
enum : unsigned {
  DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80,
  DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
  DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000,
  DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000,
  DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000
};

// Draws a line of text at (x, y) placed by the text alignment; with TA_UPDATECP it starts
// at the current position and moves it past the text. In OPAQUE mode the text cell is first
// filled with the background colour. Characters are drawn as they are (no line breaks).
bool TextOut(HDC dc, int x, int y, std::string_view text);
// As TextOut; ETO_OPAQUE fills `r` with the background colour first, ETO_CLIPPED keeps the
// text inside `r`. `r` may be null when neither option is given.
bool ExtTextOut(HDC dc, int x, int y, unsigned options, const TRect* r, std::string_view text);
// Width (sum of advances) and cell height of the text in the selected font.
bool GetTextExtentPoint32(HDC dc, std::string_view text, TSize* size);
bool GetTextMetrics(HDC dc, TEXTMETRIC* metrics);

// Formatted text in a rectangle. Returns the height of the text (from the rectangle's top to
// the text's bottom for DT_VCENTER and DT_BOTTOM), 0 on failure. With DT_CALCRECT nothing is
// drawn and `r` is widened or narrowed to the widest line and its bottom set below the last
// line. Empty text draws nothing and returns 0; with DT_CALCRECT it leaves a rectangle of
// zero width and zero height at r's top-left corner. DT_TABSTOP takes the tab width in
// characters from bits 8-15 of the format (which then cannot hold other flags).
// DT_MODIFYSTRING, DT_RTLREADING and DT_INTERNAL are accepted and ignored.
int DrawText(HDC dc, std::string_view text, TRect* r, unsigned format);
