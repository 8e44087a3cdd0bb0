#pragma once
// The font engine: a TLogFont realised as a face at one pixel size, with its metrics, the
// advance of every character and cached glyph pictures.
//
// "MS Sans Serif" near its bitmap strikes comes from the bitmap font file (black and white
// glyphs, Windows-1252 character codes); every other name and size goes through fontconfig
// to an anti-aliased outline face. A font that cannot be realised at all gives a face with
// zero metrics whose characters have no width and no pixels.
//
// Font files are read once per process: every font made from the same face of a file shares
// one FreeType face (each with a size object of its own), and fontconfig is started only for
// a font that the bitmap font file cannot give.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/graphics/LogFont.h"

struct FT_FaceRec_;
struct FT_SizeRec_;
struct FT_CharMapRec_;
class TSharedFace;

// One character's picture: Width x Height coverage values (0 untouched .. 255 full), placed
// Left columns right of the pen position with its first row Top rows above the baseline.
struct TGlyphImage {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Advance = 0;
  std::vector<uint8_t> Coverage;
};

class TFontFace {
  struct TPassKey {};

 public:
  // The process-wide face for a font (fonts that differ only in colour or character set
  // share one).
  static std::shared_ptr<TFontFace> Get(const TLogFont& font);

  TFontFace(TPassKey, const TLogFont& font);
  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  // Cell metrics in pixels: Height = Ascent + Descent; the internal leading is part of the
  // ascent, the external leading is the recommended gap between lines.
  int Height() const { return FAscent + FDescent; }
  int Ascent() const { return FAscent; }
  int Descent() const { return FDescent; }
  int InternalLeading() const { return FInternalLeading; }
  int ExternalLeading() const { return FExternalLeading; }
  int AveCharWidth() const { return FAveCharWidth; }
  int MaxCharWidth() const { return FMaxCharWidth; }
  int Weight() const { return FWeight; }
  bool Italic() const { return FItalic; }
  bool Underline() const { return FUnderline; }
  bool StrikeOut() const { return FStrikeOut; }
  // Lines drawn for the underline and strike-out styles: the first row relative to the
  // baseline row (positive: below) and the thickness.
  int UnderlineOffset() const { return FUnderlineOffset; }
  int UnderlineThickness() const { return FUnderlineThickness; }
  int StrikeOutOffset() const { return FStrikeOutOffset; }
  int StrikeOutThickness() const { return FStrikeOutThickness; }

  // Black and white bitmap strike (glyph pixels take the text colour exactly) rather than an
  // anti-aliased outline face.
  bool IsBitmapStrike() const { return FBitmapStrike; }
  bool Realised() const { return FFace != nullptr; }
  // File and face index the face was loaded from (empty when not realised).
  const std::string& FileName() const { return FFileName; }
  int FaceIndex() const { return FFaceIndex; }

  // Characters are Unicode code points; a bitmap strike shows them as Windows-1252 bytes.
  const TGlyphImage& Glyph(char32_t ch);
  int Advance(char32_t ch) { return Glyph(ch).Advance; }
  int TextWidth(std::u32string_view text);

  // UTF-8 to code points; a byte that does not start a valid sequence stands for itself as a
  // Windows-1252 character.
  static std::u32string Decode(std::string_view utf8);
  // The Windows-1252 byte for a code point, '?' when there is none.
  static uint8_t ToCp1252(char32_t ch);

 private:
  bool OpenBitmapStrike(const TLogFont& font);
  bool OpenOutline(const TLogFont& font, bool bold, bool italic);
  bool LoadFace(const std::string& file, int index);
  // Makes this font's size, character map and slant the face's current ones (the face is
  // shared with other fonts).
  void Activate();
  void SetBitmapMetrics();
  void SetOutlineMetrics(int height);
  TGlyphImage Render(uint32_t code);

  std::shared_ptr<TSharedFace> FShared;
  FT_FaceRec_* FFace = nullptr;
  FT_SizeRec_* FSize = nullptr;
  FT_CharMapRec_* FCharmap = nullptr;
  bool FShear = false;  // outline faces without an italic design
  std::string FFileName;
  int FFaceIndex = 0;
  bool FBitmapStrike = false;
  bool FSynthBold = false;
  bool FSynthItalic = false;  // bitmap strikes only; outlines are sheared by FreeType
  bool FItalic = false;
  bool FUnderline = false;
  bool FStrikeOut = false;
  int FAscent = 0;
  int FDescent = 0;
  int FInternalLeading = 0;
  int FExternalLeading = 0;
  int FAveCharWidth = 0;
  int FMaxCharWidth = 0;
  int FWeight = 400;
  int FUnderlineOffset = 1;
  int FUnderlineThickness = 1;
  int FStrikeOutOffset = -3;
  int FStrikeOutThickness = 1;
  std::unordered_map<uint32_t, TGlyphImage> FGlyphs;
};
