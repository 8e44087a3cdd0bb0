#pragma once
// A font as the toolkit describes it: face name, height in pixels (negative: character
// height without internal leading; positive: cell height; 0: the default size), style and
// character set. The font engine (FontFace.h) turns it into a realised face.
#include <cstdint>
#include <string>

#include "platform/graphics/Colors.h"

using TFontStyles = uint8_t;
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

enum : uint8_t { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255 };

struct TLogFont {
  std::string Name = "MS Sans Serif";
  int Height = -11;
  TFontStyles Style = 0;
  uint8_t CharSet = DEFAULT_CHARSET;
  // The colour a canvas gives its text when it uses this font. Device-context text calls
  // draw with the context's own text colour (SetTextColor).
  TColor Color = clWindowText;

  friend bool operator==(const TLogFont&, const TLogFont&) = default;
};

// The non-client and default GUI font: "MS Sans Serif", 8 points at 96 dpi.
TLogFont DefaultGuiFont();
