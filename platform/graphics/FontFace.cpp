#include "platform/graphics/FontFace.h"

#include "platform/graphics/StartupTrace.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_TRUETYPE_TABLES_H
#include FT_WINFONTS_H
#include FT_SIZES_H

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define MARUK_LSAN_DISABLE __lsan::ScopedDisabler lsanDisabler
#else
#define MARUK_LSAN_DISABLE
#endif

#ifndef MARUK_SSERIFE_PATH
#define MARUK_SSERIFE_PATH "/usr/share/wine/fonts/sserife.fon"
#endif

namespace {

constexpr int kDefaultHeight = -11;
constexpr const char* kBitmapFontFile = "sserife.fon";

bool gLibraryGone = false;

}  // namespace

// One face of a font file, parsed once and shared by every font made from it.
class TSharedFace {
 public:
  explicit TSharedFace(FT_Face face) : Face(face) {}
  ~TSharedFace() {
    if (Face && !gLibraryGone) FT_Done_Face(Face);
  }
  TSharedFace(const TSharedFace&) = delete;
  TSharedFace& operator=(const TSharedFace&) = delete;
  FT_Face Face;
};

namespace {

// One strike of the bitmap font file: its face index and its heights.
struct TStrike {
  int Index = 0;
  int PixelHeight = 0;
  int InternalLeading = 0;
};

// FreeType, fontconfig and the caches, set up on first use. The caches are emptied before
// the library goes so that faces are released while it still exists.
struct TFontSystem {
  FT_Library Library = nullptr;
  std::map<std::tuple<std::string, int, int>, std::shared_ptr<TFontFace>> Fonts;
  std::map<std::pair<std::string, int>, std::weak_ptr<TSharedFace>> Faces;
  // The bitmap font file, read whole once; its strikes are parsed from memory.
  bool BitmapLooked = false;
  std::string BitmapPath;
  std::vector<uint8_t> BitmapBytes;
  std::vector<TStrike> Strikes;
  bool FontconfigReady = false;

  TFontSystem() {
    if (FT_Init_FreeType(&Library) != 0) Library = nullptr;
  }
  ~TFontSystem();
  void StartFontconfig() {
    if (FontconfigReady) return;
    FontconfigReady = true;
    // fontconfig loses a few bytes while parsing its configuration; not ours to report.
    MARUK_LSAN_DISABLE;
    FcInit();
  }
  std::shared_ptr<TSharedFace> Face(const std::string& file, int index);
  void ReadBitmapFont();
};

TFontSystem::~TFontSystem() {
  Fonts.clear();
  if (Library) FT_Done_FreeType(Library);
  gLibraryGone = true;
}

TFontSystem& FontSystem() {
  static TFontSystem system;
  return system;
}

std::shared_ptr<TSharedFace> TFontSystem::Face(const std::string& file, int index) {
  const auto key = std::make_pair(file, index);
  if (auto known = Faces[key].lock()) return known;
  FT_Face face = nullptr;
  const bool bitmapFile = !BitmapBytes.empty() && file == BitmapPath;
  const FT_Error error = bitmapFile ? FT_New_Memory_Face(Library, BitmapBytes.data(), FT_Long(BitmapBytes.size()), index, &face)
                                    : FT_New_Face(Library, file.c_str(), index, &face);
  if (error != 0) return nullptr;
  TraceStartup("font face read");
  auto shared = std::make_shared<TSharedFace>(face);
  Faces[key] = shared;
  return shared;
}

// The bitmap font file where the build says it is; failing that, a file of its name in one of
// the font folders fontconfig knows.
std::string FindBitmapFont(TFontSystem& system) {
  // MARUK_BITMAP_FONT names the file instead (empty or unreadable: there is none).
  if (const char* chosen = std::getenv("MARUK_BITMAP_FONT")) return access(chosen, R_OK) == 0 ? chosen : "";
  if (access(MARUK_SSERIFE_PATH, R_OK) == 0) return MARUK_SSERIFE_PATH;
  system.StartFontconfig();
  std::string found;
  FcStrList* dirs = FcConfigGetFontDirs(nullptr);
  if (!dirs) return found;
  while (FcChar8* dir = FcStrListNext(dirs)) {
    const std::string candidate = reinterpret_cast<const char*>(dir) + std::string("/") + kBitmapFontFile;
    if (access(candidate.c_str(), R_OK) == 0) {
      found = candidate;
      break;
    }
  }
  FcStrListDone(dirs);
  return found;
}

void TFontSystem::ReadBitmapFont() {
  if (BitmapLooked || !Library) return;
  BitmapLooked = true;
  BitmapPath = FindBitmapFont(*this);
  if (BitmapPath.empty()) return;
  std::ifstream in(BitmapPath, std::ios::binary);
  BitmapBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (BitmapBytes.empty()) return;
  FT_Face face = nullptr;
  for (long i = 0, count = 1; i < count; ++i) {
    if (FT_New_Memory_Face(Library, BitmapBytes.data(), FT_Long(BitmapBytes.size()), i, &face) != 0) continue;
    count = face->num_faces;
    FT_WinFNT_HeaderRec header;
    if (FT_Get_WinFNT_Header(face, &header) == 0)
      Strikes.push_back({int(i), int(header.pixel_height), int(header.internal_leading)});
    FT_Done_Face(face);
  }
}

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return r;
}

// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t Cp1252ToUnicode(uint8_t b) {
  if (b < 0x80 || b >= 0xA0) return b;
  char16_t u = kCp1252High[b - 0x80];
  return u ? char32_t(u) : char32_t(b);
}

int RoundPx(double v) { return int(std::lround(v)); }

}  // namespace

std::shared_ptr<TFontFace> TFontFace::Get(const TLogFont& font) {
  TLogFont f = font;
  if (f.Height == 0) f.Height = kDefaultHeight;
  constexpr TFontStyles kFaceStyles = fsBold | fsItalic | fsUnderline | fsStrikeOut;
  auto key = std::make_tuple(Lower(f.Name), f.Height, int(f.Style & kFaceStyles));
  TFontSystem& system = FontSystem();
  auto it = system.Fonts.find(key);
  if (it != system.Fonts.end()) return it->second;
  auto face = std::make_shared<TFontFace>(TPassKey{}, f);
  system.Fonts.emplace(std::move(key), face);
  return face;
}

TFontFace::TFontFace(TPassKey, const TLogFont& font) {
  bool bold = font.Style & fsBold;
  FItalic = font.Style & fsItalic;
  FUnderline = font.Style & fsUnderline;
  FStrikeOut = font.Style & fsStrikeOut;
  if (!FontSystem().Library) return;

  if (OpenBitmapStrike(font)) {
    SetBitmapMetrics();
  } else if (OpenOutline(font, bold, FItalic)) {
    SetOutlineMetrics(font.Height);
  } else {
    return;
  }
  if (bold && FWeight < 600) {
    FSynthBold = true;
    FWeight = 700;
    FAveCharWidth += 1;
    FMaxCharWidth += 1;
  }
}

TFontFace::~TFontFace() {
  if (FSize && !gLibraryGone) FT_Done_Size(FSize);
}

bool TFontFace::LoadFace(const std::string& file, int index) {
  std::shared_ptr<TSharedFace> shared = FontSystem().Face(file, index);
  if (!shared) return false;
  FT_Size size = nullptr;
  if (FT_New_Size(shared->Face, &size) != 0) return false;
  if (FSize) FT_Done_Size(FSize);
  FShared = std::move(shared);
  FFace = FShared->Face;
  FSize = size;
  FCharmap = nullptr;
  FShear = false;
  FFileName = file;
  FFaceIndex = index;
  FT_Activate_Size(FSize);
  return true;
}

void TFontFace::Activate() {
  FT_Activate_Size(FSize);
  if (FCharmap) FT_Set_Charmap(FFace, FCharmap);
  static FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // about 12 degrees
  FT_Set_Transform(FFace, FShear ? &shear : nullptr, nullptr);
}

// The bitmap font file holds one face per strike; the strike whose character height (for a
// negative height) or cell height (positive) is the nearest wins when it is within a pixel.
bool TFontFace::OpenBitmapStrike(const TLogFont& font) {
  if (Lower(font.Name) != "ms sans serif") return false;
  TFontSystem& system = FontSystem();
  system.ReadBitmapFont();
  int best = -1, bestDistance = 2;
  for (const TStrike& strike : system.Strikes) {
    const int size = font.Height < 0 ? strike.PixelHeight - strike.InternalLeading : strike.PixelHeight;
    const int distance = std::abs(size - std::abs(font.Height));
    if (distance < bestDistance) {
      bestDistance = distance;
      best = strike.Index;
    }
  }
  if (best < 0 || !LoadFace(system.BitmapPath, best)) return false;
  if (FFace->num_charmaps > 0) FCharmap = FFace->charmaps[0];
  Activate();
  if (FFace->num_fixed_sizes > 0) FT_Select_Size(FFace, 0);
  FBitmapStrike = true;
  return true;
}

void TFontFace::SetBitmapMetrics() {
  FT_WinFNT_HeaderRec header;
  if (FT_Get_WinFNT_Header(FFace, &header) != 0) return;
  FAscent = header.ascent;
  FDescent = std::max(0, int(header.pixel_height) - int(header.ascent));
  FInternalLeading = header.internal_leading;
  FExternalLeading = header.external_leading;
  FAveCharWidth = header.avg_width;
  FMaxCharWidth = header.max_width;
  FWeight = header.weight;
  FSynthItalic = FItalic && !header.italic;
  FUnderlineOffset = std::min(1, std::max(0, FDescent - 1));
  FUnderlineThickness = 1;
  FStrikeOutOffset = -std::max(1, (FAscent - FInternalLeading) / 3);
  FStrikeOutThickness = 1;
}

// Asks fontconfig for the name, then for DejaVu Sans, then for whatever it has.
bool TFontFace::OpenOutline(const TLogFont& font, bool bold, bool italic) {
  double pixelSize = std::abs(font.Height);
  FontSystem().StartFontconfig();
  const std::string candidates[] = {font.Name, "DejaVu Sans", ""};
  for (const std::string& family : candidates) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) continue;
    FcChar8* file = nullptr;
    int index = 0;
    bool loaded = false;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      loaded = LoadFace(reinterpret_cast<const char*>(file), index);
    }
    FcPatternDestroy(match);
    if (loaded) {
      if (FT_Select_Charmap(FFace, FT_ENCODING_UNICODE) == 0) FCharmap = FFace->charmap;
      else if (FFace->num_charmaps > 0) FCharmap = FFace->charmaps[0];
      Activate();
      return true;
    }
  }
  return false;
}

void TFontFace::SetOutlineMetrics(int height) {
  FT_Face face = FFace;
  if (!FT_IS_SCALABLE(face)) {
    // A bitmap face fontconfig handed us: take the nearest strike as it is.
    if (face->num_fixed_sizes <= 0) return;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i)
      if (std::abs(face->available_sizes[i].height - std::abs(height)) <
          std::abs(face->available_sizes[best].height - std::abs(height)))
        best = i;
    FT_Select_Size(face, best);
    FAscent = int(face->size->metrics.ascender >> 6);
    FDescent = int(-face->size->metrics.descender >> 6);
    FAveCharWidth = FMaxCharWidth = int(face->size->metrics.max_advance >> 6);
    FWeight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
    return;
  }

  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const TT_HoriHeader* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  double unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 1000;
  double ascender = face->ascender, descender = -face->descender;
  if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
    ascender = os2->usWinAscent;
    descender = os2->usWinDescent;
  }
  if (ascender + descender <= 0) {
    ascender = unitsPerEm * 0.8;
    descender = unitsPerEm * 0.2;
  }
  double em = height < 0 ? -height : height * unitsPerEm / (ascender + descender);
  em = std::clamp(em, 1.0, 2048.0);
  FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(em * 64)), 72, 72);
  double scale = em / unitsPerEm;

  FDescent = RoundPx(descender * scale);
  FAscent = height > 0 ? height - FDescent : RoundPx(ascender * scale);
  FInternalLeading = std::max(0, Height() - RoundPx(em));
  if (hhea) {
    double gap = hhea->Line_Gap - ((ascender + descender) - (hhea->Ascender - hhea->Descender));
    FExternalLeading = std::max(0, RoundPx(gap * scale));
  }
  FAveCharWidth = (os2 && os2->xAvgCharWidth > 0) ? RoundPx(os2->xAvgCharWidth * scale) : Advance(U'x');
  FMaxCharWidth = std::max(FAveCharWidth, RoundPx(face->max_advance_width * scale));
  FWeight = (os2 && os2->usWeightClass > 0) ? os2->usWeightClass
                                            : (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;

  int underlineThickness = std::max(1, RoundPx(face->underline_thickness * scale));
  FUnderlineThickness = underlineThickness;
  FUnderlineOffset = std::max(1, RoundPx(-face->underline_position * scale - underlineThickness / 2.0));
  FUnderlineOffset = std::min(FUnderlineOffset, std::max(1, FDescent - underlineThickness));
  if (os2 && os2->yStrikeoutSize > 0) {
    FStrikeOutThickness = std::max(1, RoundPx(os2->yStrikeoutSize * scale));
    FStrikeOutOffset = -RoundPx(os2->yStrikeoutPosition * scale);
  } else {
    FStrikeOutThickness = underlineThickness;
    FStrikeOutOffset = -std::max(1, (FAscent - FInternalLeading) / 3);
  }

  FShear = FItalic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  FGlyphs.clear();  // the average width above may have cached a glyph before the transform
}

const TGlyphImage& TFontFace::Glyph(char32_t ch) {
  uint32_t code = FBitmapStrike ? ToCp1252(ch) : uint32_t(ch);
  auto it = FGlyphs.find(code);
  if (it == FGlyphs.end()) it = FGlyphs.emplace(code, Render(code)).first;
  return it->second;
}

int TFontFace::TextWidth(std::u32string_view text) {
  int width = 0;
  for (char32_t ch : text) width += Advance(ch);
  return width;
}

TGlyphImage TFontFace::Render(uint32_t code) {
  TGlyphImage g;
  if (!FFace) return g;
  Activate();
  FT_UInt index = FT_Get_Char_Index(FFace, code);  // 0: the face's default glyph
  FT_Int32 flags = FT_LOAD_RENDER | (FBitmapStrike ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  if (FT_Load_Glyph(FFace, index, flags) != 0) return g;
  FT_GlyphSlot slot = FFace->glyph;
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;

  g.Advance = int((slot->advance.x + 32) >> 6);
  g.Left = slot->bitmap_left;
  g.Top = slot->bitmap_top;

  FT_Bitmap converted;
  FT_Bitmap_Init(&converted);
  const FT_Bitmap* bitmap = &slot->bitmap;
  if (bitmap->pixel_mode != FT_PIXEL_MODE_MONO && bitmap->pixel_mode != FT_PIXEL_MODE_GRAY) {
    if (FT_Bitmap_Convert(FontSystem().Library, bitmap, &converted, 1) != 0) return g;
    bitmap = &converted;
  }
  g.Width = int(bitmap->width);
  g.Height = int(bitmap->rows);
  g.Coverage.assign(size_t(g.Width) * g.Height, 0);
  int levels = std::max(2, int(bitmap->num_grays)) - 1;
  for (int y = 0; y < g.Height; ++y) {
    const uint8_t* row = bitmap->pitch >= 0 ? bitmap->buffer + ptrdiff_t(y) * bitmap->pitch
                                            : bitmap->buffer + ptrdiff_t(g.Height - 1 - y) * -bitmap->pitch;
    uint8_t* out = g.Coverage.data() + size_t(y) * g.Width;
    for (int x = 0; x < g.Width; ++x) {
      if (bitmap->pixel_mode == FT_PIXEL_MODE_MONO)
        out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      else if (bitmap == &converted)
        out[x] = uint8_t(std::min(255, row[x] * 255 / levels));
      else
        out[x] = row[x];
    }
  }
  FT_Bitmap_Done(FontSystem().Library, &converted);

  if (FSynthItalic && g.Height > 0) {
    // Shear: each row moves right by a quarter of its height above the cell bottom.
    auto shift = [&](int y) { return std::max(0, (g.Top - 1 - y + FDescent) / 4); };
    int extra = shift(0);
    std::vector<uint8_t> sheared(size_t(g.Width + extra) * g.Height, 0);
    for (int y = 0; y < g.Height; ++y)
      for (int x = 0; x < g.Width; ++x)
        sheared[size_t(y) * (g.Width + extra) + x + shift(y)] = g.Coverage[size_t(y) * g.Width + x];
    g.Width += extra;
    g.Coverage = std::move(sheared);
  }
  if (FSynthBold) {
    // Overstrike: the glyph OR-ed with itself one pixel to the right.
    std::vector<uint8_t> bold(size_t(g.Width + 1) * g.Height, 0);
    for (int y = 0; y < g.Height; ++y)
      for (int x = 0; x <= g.Width; ++x) {
        uint8_t here = x < g.Width ? g.Coverage[size_t(y) * g.Width + x] : 0;
        uint8_t left = x > 0 ? g.Coverage[size_t(y) * g.Width + x - 1] : 0;
        bold[size_t(y) * (g.Width + 1) + x] = std::max(here, left);
      }
    if (g.Width > 0) ++g.Width;
    else bold.clear();
    g.Coverage = std::move(bold);
    g.Advance += 1;
  }
  return g;
}

std::u32string TFontFace::Decode(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  size_t i = 0, n = utf8.size();
  while (i < n) {
    uint8_t b = uint8_t(utf8[i]);
    int length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    char32_t cp = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    bool valid = length > 0 && i + length <= n;
    for (int k = 1; valid && k < length; ++k) {
      uint8_t c = uint8_t(utf8[i + k]);
      if ((c & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (valid) {
      static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
      if (cp < kMin[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) valid = false;
    }
    if (valid) {
      out.push_back(cp);
      i += length;
    } else {
      out.push_back(Cp1252ToUnicode(b));
      ++i;
    }
  }
  return out;
}

uint8_t TFontFace::ToCp1252(char32_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return uint8_t(ch);
  for (int i = 0; i < 32; ++i) {
    char32_t u = kCp1252High[i] ? char32_t(kCp1252High[i]) : char32_t(0x80 + i);
    if (u == ch) return uint8_t(0x80 + i);
  }
  return '?';
}
