#include "skin/data/sSkinFolderReader.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <new>

#include "platform/components/Persistent.h"
#include "platform/graphics/BmpFile.h"
#include "platform/graphics/JpegFile.h"
#include "skin/data/sSkinPaths.h"
#include "skin/data/sSkinText.h"

namespace {

// Pattern pictures of fewer pixels than this are small enough to be textures.
constexpr int64_t kPatternPixels = 90000;

// The layouts of the fixed-column mask forms, for saying what was expected.
constexpr const char* kGlyphLayout = "@LLLL TTTT RRRR BBBB N M";
constexpr const char* kBorderLayout = "^LLLL TTTT RRRR BBBB llll tttt rrrr bbbb N M S W";
constexpr const char* kTextureLayout = "~LLLL TTTT RRRR BBBB SS M";
constexpr const char* kFileLayout = "!FILE.BMP!count!mask type!image type[!left!top!right!bottom]";
constexpr const char* kNumber = "a whole number, decimal or hexadecimal after 0x or $";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Characters `from` to `to` (1-based, inclusive) of a fixed-column value as a number.
int16_t Column(const std::string& value, size_t from, size_t to, const char* what, const char* layout) {
  const std::string text = from <= value.size() ? value.substr(from - 1, to - from + 1) : std::string();
  int32_t v;
  if (!ParseSkinInteger(text, v) || v < INT16_MIN || v > INT16_MAX) {
    const std::string columns = from == to ? "column " + std::to_string(from)
                                           : "columns " + std::to_string(from) + "-" + std::to_string(to);
    throw ESkinLoadError(columns + " (" + Quoted(text) + ") must be a number",
                         std::string(what) + " in " + columns + " of " + layout);
  }
  return int16_t(v);
}

int16_t Field(const std::string& value, int n, const char* what) {
  const std::string text = NthWord(n, value, "!");
  int32_t v;
  if (!ParseSkinInteger(text, v) || v < INT16_MIN || v > INT16_MAX)
    throw ESkinLoadError(std::string(what) + " (" + Quoted(text) + ") must be a number",
                         std::string(what) + " in field " + std::to_string(n) + " of " + kFileLayout);
  return int16_t(v);
}

void DefaultWidths(TsMaskData& m) {
  m.WL = m.WR = int16_t(DefaultBorderWidthH(m.R, m.ImageCount));
  m.WT = m.WB = int16_t(DefaultBorderWidthV(m.R, m.MaskType));
}

// A key that every section, or GLOBALINFO, is read for: its value is no mask.
bool IsReadKey(const std::string& key) {
  for (const auto* list : {&TsSkinFolderReader::SectionKeys(), &TsSkinFolderReader::GlobalInfoKeys()})
    for (const std::string& k : *list)
      if (SameText(k, key)) return true;
  return false;
}

bool IsPatternKey(const std::string& key) { return key == "PATTERN" || key == "HOTPATTERN"; }

bool NamesJpeg(const std::string& value) {
  const std::string upper = UpperCase(value);
  return upper.find(".JPG") != std::string::npos || upper.find(".JPEG") != std::string::npos;
}

}  // namespace

void ParseSectionGradients(TsGeneralData& section) {
  auto parse = [](const std::string& text, TsGradArray& out) {
    try {
      if (text != " ") ParseGradientData(text, out);
    } catch (const std::invalid_argument&) {
    }
  };
  parse(section.GradientData, section.GradientArray);
  parse(section.HotGradientData, section.HotGradientArray);
}

TDib LoadSkinBmp(const std::string& path) {
  try {
    TDib dib = LoadBmpFile(SkinFsPath(path));
    dib.ConvertTo24();
    return dib;
  } catch (const std::bad_alloc&) {
    throw ESkinLoadError("the picture " + path + " is too large to be held in memory");
  } catch (const std::exception& e) {
    throw ESkinLoadError("the picture " + path + " cannot be read: " + e.what(), "a BMP picture");
  }
}

TDib LoadSkinJpeg(const std::string& path) {
  try {
    return LoadJpegFile(SkinFsPath(path));
  } catch (const std::bad_alloc&) {
    throw ESkinLoadError("the picture " + path + " is too large to be held in memory");
  } catch (const std::exception& e) {
    throw ESkinLoadError("the picture " + path + " cannot be read: " + e.what(), "a JPEG picture");
  }
}

bool ReadHashMask(const std::string& section, const std::string& key, const std::string& value,
                  TsSkinManager* manager, TsMaskData& m) {
  auto numbers = [](const std::string& word, std::vector<int32_t>& out) {
    for (const std::string& w : SplitWords(word, " ,")) {
      int32_t v;
      if (!ParseSkinInteger(w, v) || v < INT16_MIN || v > INT16_MAX) return false;
      out.push_back(v);
    }
    return true;
  };
  std::vector<int32_t> rect, counts;
  if (!numbers(NthWord(2, value, " ()"), rect) || !numbers(NthWord(3, value, " ()"), counts)) return false;
  if (rect.size() < 4 || counts.size() < 2) return false;
  m = TsMaskData();
  m.SectionName = UpperCase(section);
  m.PropertyName = UpperCase(key);
  m.R = {rect[0], rect[1], rect[2], rect[3]};
  m.ImageCount = int16_t(std::max(counts[0], 1));
  m.MaskType = int16_t(std::max(counts[1], 0));
  m.BorderWidth = int16_t(counts.size() > 2 ? std::max(counts[2], 0) : 0);
  if (IsPatternKey(m.PropertyName)) {
    m.ImgType = itisaTexture;
    m.StretchMode = 0;
  } else {
    m.ImgType = itisaBorder;
    m.StretchMode = int16_t(counts.size() > 3 ? counts[3] : 1);
  }
  if (m.BorderWidth != 0) m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
  else DefaultWidths(m);
  m.Manager = manager;
  return true;
}

bool ReadFileMask(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& skinPath, TsSkinManager* manager, TsMaskData& m) {
  const std::string path = FindSkinFile(skinPath, value);
  if (path.empty()) return false;
  TDib picture = LoadSkinBmp(path);
  if (picture.Empty()) return false;
  m = TsMaskData();
  m.R = {0, 0, picture.Width(), picture.Height()};
  m.Bmp = std::make_unique<TDib>(std::move(picture));
  m.SectionName = UpperCase(section);
  m.PropertyName = UpperCase(key);
  m.ImgType = itisaBorder;
  m.MaskType = 1;
  m.ImageCount = 3;
  DefaultWidths(m);
  m.Manager = manager;
  return true;
}

// ---- Problems --------------------------------------------------------------------------------

ESkinLoadError::ESkinLoadError(TsSkinProblem problem)
    : std::runtime_error(DescribeSkinProblem(problem)), FProblem(std::move(problem)) {}

std::string DescribeSkinProblem(const TsSkinProblem& p) {
  std::string text;
  if (p.Line > 0) text = "Options.dat, line " + std::to_string(p.Line);
  if (!p.Section.empty()) text += (text.empty() ? "" : ", ") + std::string("section [") + p.Section + "]";
  if (!p.Key.empty()) text += ", key " + p.Key;
  text += (text.empty() ? "" : ": ") + p.What;
  if (!p.Expected.empty()) text += " (" + p.Expected + ")";
  return text;
}

// ---- TsSkinFolderReader ------------------------------------------------------------------------

TsSkinFolderReader::TsSkinFolderReader(TsSkinManager* manager, std::string skinPath)
    : FManager(manager), FSkinPath(std::move(skinPath)) {
  FOptionsPath = FindSkinFile(FSkinPath, "Options.dat");
  if (FOptionsPath.empty()) FOptionsPath = FSkinPath + "Options.dat";
  try {
    FOptions = TsOptionsFile::FromFile(SkinFsPath(FOptionsPath));
  } catch (const std::bad_alloc&) {
    throw ESkinLoadError("Options.dat is too large to be held in memory");
  } catch (const std::exception& e) {
    throw ESkinLoadError(std::string("Options.dat cannot be read: ") + e.what(),
                         "a text file Options.dat in the skin's folder");
  }
}

TsSkinFolderReader::TsSkinFolderReader(TsSkinManager* manager, TsOptionsFile options, std::string skinPath)
    : FManager(manager), FSkinPath(std::move(skinPath)), FOptionsPath(FSkinPath + "Options.dat"),
      FOptions(std::move(options)) {}

template <class F>
void TsSkinFolderReader::Entry(const std::string& section, const TsOptionsFile::TKey* key, F&& read) const {
  try {
    read();
  } catch (const ESkinLoadError& e) {
    TsSkinProblem p = e.Problem();
    if (p.Line == 0 && key) {
      p.Line = key->Line;
      p.Section = section;
      p.Key = key->Name;
    }
    if (!FProblems) throw ESkinLoadError(std::move(p));
    FProblems->push_back(std::move(p));
  }
}

void TsSkinFolderReader::Warn(const std::string& section, const TsOptionsFile::TKey& key, std::string what,
                              std::string expected) const {
  if (FProblems) FProblems->push_back({false, key.Line, section, key.Name, std::move(what), std::move(expected)});
}

void TsSkinFolderReader::Read(TsSkinArrays& out, TsSkinData& info) const {
  if (FOptions.Sections().empty()) {
    ESkinLoadError error("Options.dat holds no sections", "[SECTION] lines, each followed by KEY=value lines");
    if (!FProblems) throw error;
    FProblems->push_back(error.Problem());
    return;
  }
  ReadMasks(out);
  ReadPatterns(out);
  ReadSections(out, info);
}

void TsSkinFolderReader::ReadMasks(TsSkinArrays& out) const {
  out.Masks.clear();
  out.MasterBitmap.reset();
  const TsOptionsFile::TKey* master = FOptions.FindKey("GLOBALINFO", "MASTERBITMAP");
  if (master && !master->Value.empty())
    Entry("GLOBALINFO", master, [&] {
      const std::string path = FindSkinFile(FSkinPath, master->Value);
      // Every mask cut from the master bitmap would be lost without it: no skin at all.
      if (path.empty())
        throw ESkinLoadError("the master bitmap " + SkinFilePath(FSkinPath, master->Value) +
                                 " named by MASTERBITMAP is missing",
                             "a BMP picture of that name in the skin's folder");
      out.MasterBitmap = std::make_unique<TDib>(LoadSkinBmp(path));
      out.MasterBitmap->Transparent = true;
      out.MasterBitmap->TransparentColor = kSkinKeyColor;
    });
  for (const TsOptionsFile::TSection& section : FOptions.Sections())
    for (const TsOptionsFile::TKey& key : section.Keys) {
      if (SameText(section.Name, "GLOBALINFO") && SameText(key.Name, "MASTERBITMAP")) continue;
      Entry(section.Name, &key, [&] { AddMask(section.Name, key, out); });
    }
}

void TsSkinFolderReader::AddMask(const std::string& section, const TsOptionsFile::TKey& key, TsSkinArrays& out) const {
  const std::string& value = key.Value;
  if (value.empty()) return;
  TsMaskData m;
  m.SectionName = section;
  m.PropertyName = key.Name;
  m.Manager = FManager;
  auto missing = [&](const std::string& file) {
    Warn(section, key, "the picture " + file + " is missing; the entry is left out",
         "a picture of that name in the skin's folder");
  };
  switch (value[0]) {
    case '!': {
      const std::string file = NthWord(1, value, "!");
      if (file.find(".BMP") == std::string::npos) {
        Warn(section, key, "the file name " + Quoted(file) + " has no \".BMP\" in capitals; the entry is left out",
             std::string("the ! form wants .BMP in capitals: ") + kFileLayout);
        return;
      }
      m.ImageCount = Field(value, 2, "the image count");
      m.MaskType = Field(value, 3, "the mask type");
      const int16_t type = Field(value, 4, "the image type");
      if (type < itisaBorder || type > itisaGlyph)
        throw ESkinLoadError("the image type must be 0, 1 or 2, not " + std::to_string(type),
                             "0 border, 1 texture or 2 glyph in field 4 of " + std::string(kFileLayout));
      m.ImgType = TkvImgType(type);
      const bool widths = CountWords(value, "!") >= 5;
      if (widths) {
        m.WL = Field(value, 5, "the left border width");
        m.WT = Field(value, 6, "the top border width");
        m.WR = Field(value, 7, "the right border width");
        m.WB = Field(value, 8, "the bottom border width");
      }
      const std::string path = FindSkinFile(FSkinPath, file);
      if (path.empty()) return missing(file);
      TDib picture = LoadSkinBmp(path);
      if (picture.Empty()) return Warn(section, key, "the picture " + file + " is empty; the entry is left out", "");
      m.R = {0, 0, picture.Width(), picture.Height()};
      m.Bmp = std::make_unique<TDib>(std::move(picture));
      if (!widths) DefaultWidths(m);
      break;
    }
    case '@': {
      auto col = [&](size_t from, size_t to, const char* what) { return Column(value, from, to, what, kGlyphLayout); };
      m.R = {col(2, 5, "the left edge"), col(7, 10, "the top edge"), col(12, 15, "the right edge"),
             col(17, 20, "the bottom edge")};
      m.ImageCount = col(22, 22, "the image count");
      m.MaskType = col(24, 24, "the mask type");
      m.ImgType = itisaGlyph;
      break;
    }
    case '^': {
      auto col = [&](size_t from, size_t to, const char* what) { return Column(value, from, to, what, kBorderLayout); };
      m.R = {col(2, 5, "the left edge"), col(7, 10, "the top edge"), col(12, 15, "the right edge"),
             col(17, 20, "the bottom edge")};
      m.WL = col(22, 25, "the left border width");
      m.WT = col(27, 30, "the top border width");
      m.WR = col(32, 35, "the right border width");
      m.WB = col(37, 40, "the bottom border width");
      m.ImageCount = col(42, 42, "the image count");
      m.MaskType = col(44, 44, "the mask type");
      m.StretchMode = col(46, 46, "the stretch mode");
      m.BorderWidth = col(48, 48, "the border width");
      m.ImgType = itisaBorder;
      if (m.WL == 0 && m.WT == 0 && m.WR == 0 && m.WB == 0) {
        if (m.BorderWidth != 0) m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
        else DefaultWidths(m);
      }
      break;
    }
    case '~': {
      auto col = [&](size_t from, size_t to, const char* what) { return Column(value, from, to, what, kTextureLayout); };
      m.R = {col(2, 5, "the left edge"), col(7, 10, "the top edge"), col(12, 15, "the right edge"),
             col(17, 20, "the bottom edge")};
      m.StretchMode = col(22, 23, "the stretch mode");
      m.MaskType = value.size() < 25 ? int16_t(0) : col(25, 25, "the mask type");
      m.ImageCount = 1;
      m.ImgType = itisaTexture;
      break;
    }
    default:
      if (value.find('#') != std::string::npos) {
        if (value == "#" || !ReadHashMask(section, key.Name, value, FManager, m)) {
          if (!IsReadKey(key.Name))
            Warn(section, key, Quoted(value) + " is no mask; the entry is left out",
                 "#(left,top,right,bottom)(count,mask type[,border width[,stretch mode]])");
          return;
        }
      } else if (UpperCase(value).find(".BMP") != std::string::npos) {
        if (!ReadFileMask(section, key.Name, value, FSkinPath, FManager, m)) {
          if (!FProblems || IsReadKey(key.Name)) return;
          if (FindSkinFile(FSkinPath, value).empty()) missing(value);
          else Warn(section, key, "the picture " + value + " is empty; the entry is left out", "");
          return;
        }
      } else {
        return;
      }
  }
  if (FProblems) CheckMask(section, key, m, out.MasterBitmap.get());
  out.Masks.push_back(std::move(m));
}

void TsSkinFolderReader::CheckMask(const std::string& section, const TsOptionsFile::TKey& key, const TsMaskData& m,
                                   const TDib* master) const {
  const TDib* picture = m.Bmp ? m.Bmp.get() : master;
  if (!picture) {
    // A MASTERBITMAP that names a missing file is an error already.
    if (FToldNoMaster || FOptions.FindKey("GLOBALINFO", "MASTERBITMAP")) return;
    FToldNoMaster = true;
    Warn(section, key, "the mask lies in the master bitmap, but the skin has none (nor has any mask after it)",
         "MASTERBITMAP=FILE.BMP in [GLOBALINFO]");
    return;
  }
  const TRect& r = m.R;
  auto rect = [&] {
    return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " + std::to_string(r.Right) + ", " +
           std::to_string(r.Bottom) + ")";
  };
  if (r.IsEmpty()) {
    Warn(section, key, "the rectangle " + rect() + " is empty", "left < right and top < bottom");
    return;
  }
  if (r.Intersect(picture->BoundsRect()) != r) {
    Warn(section, key,
         "the rectangle " + rect() + " reaches outside its picture of " + std::to_string(picture->Width()) + " x " +
             std::to_string(picture->Height()) + " pixels",
         "a rectangle inside the picture");
    return;
  }
  if (m.ImgType == itisaTexture) return;
  if (m.ImageCount < 1) {
    Warn(section, key, "the image count is " + std::to_string(m.ImageCount), "1 or more states side by side");
    return;
  }
  if (r.Width() % m.ImageCount != 0)
    Warn(section, key,
         "the width " + std::to_string(r.Width()) + " does not divide into " + std::to_string(m.ImageCount) +
             " states",
         "a width that is a multiple of the image count");
  if (m.MaskType > 0 && r.Height() % (m.MaskType + 1) != 0)
    Warn(section, key, "the height " + std::to_string(r.Height()) + " does not divide into picture and mask",
         "an even height: the picture above, its transparency mask below");
  // Without a transparency mask only a border's corners leave the key colour out: in its edges
  // and centre it would be copied as it is.
  if (m.ImgType == itisaBorder && m.MaskType == 0) {
    const int fw = r.Width() / m.ImageCount;
    const bool centre = m.BorderWidth == 0;
    for (int state = 0; state < m.ImageCount; ++state) {
      const int x0 = r.Left + state * fw;
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = x0; x < x0 + fw; ++x) {
          const bool inCorner = (x < x0 + m.WL || x >= x0 + fw - m.WR) && (y < r.Top + m.WT || y >= r.Bottom - m.WB);
          const bool inCentre = x >= x0 + m.WL && x < x0 + fw - m.WR && y >= r.Top + m.WT && y < r.Bottom - m.WB;
          if (inCorner || (inCentre && !centre) || picture->GetPixel(x, y) != kSkinKeyColor) continue;
          Warn(section, key,
               "the key colour at (" + std::to_string(x) + ", " + std::to_string(y) + ") lies in " +
                   (inCentre ? "the centre" : "an edge") + " of state " + std::to_string(state) +
                   " and is drawn as fuchsia",
               "the key colour only in the four corners of a border without a transparency mask");
          return;
        }
    }
  }
  // Tick marks are solid lines; every other glyph is a shape on the background.
  const bool solid = SameText(key.Name, "TICKHORZ") || SameText(key.Name, "TICKVERT");
  if (m.ImgType == itisaGlyph && m.MaskType == 0 && !solid) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (picture->GetPixel(x, y) == kSkinKeyColor) return;
    Warn(section, key, "the glyph holds no key colour and is drawn as a solid block",
         "fuchsia 0xFF00FF (255, 0, 255) where the background should show");
  }
}

void TsSkinFolderReader::ReadPatterns(TsSkinArrays& out) const {
  out.Patterns.clear();
  for (const TsOptionsFile::TSection& section : FOptions.Sections())
    for (const TsOptionsFile::TKey& key : section.Keys) {
      if (!NamesJpeg(key.Value)) continue;
      Entry(section.Name, &key, [&] {
        const std::string path = FindSkinFile(FSkinPath, key.Value);
        if (path.empty())
          return Warn(section.Name, key, "the picture " + key.Value + " is missing; the entry is left out",
                      "a JPEG picture of that name in the skin's folder");
        TDib picture = LoadSkinJpeg(path);
        if (picture.Empty()) return;
        if (int64_t(picture.Width()) * picture.Height() >= kPatternPixels) {
          TsPatternData p;
          p.Img = std::make_unique<TDib>(std::move(picture));
          p.SectionName = UpperCase(section.Name);
          p.PropertyName = UpperCase(key.Name);
          out.Patterns.push_back(std::move(p));
        } else {
          // A small picture is a texture of its own; its rectangle stays empty.
          TsMaskData m;
          m.Bmp = std::make_unique<TDib>(std::move(picture));
          m.SectionName = UpperCase(section.Name);
          m.PropertyName = UpperCase(key.Name);
          m.ImgType = itisaTexture;
          m.ImageCount = 1;
          m.Manager = FManager;
          out.Masks.push_back(std::move(m));
        }
      });
    }
}

std::vector<size_t> TsSkinFolderReader::ParentIndexes() const {
  const auto& sections = FOptions.Sections();
  std::vector<size_t> parents(sections.size(), SIZE_MAX);
  for (size_t i = 0; i < sections.size(); ++i) {
    const std::string* p = FOptions.Find(sections[i].Name, "PARENTCLASS");
    if (p && !p->empty() && *p != "?")
      if (const TsOptionsFile::TSection* s = FOptions.FindSection(*p)) parents[i] = size_t(s - sections.data());
  }
  return parents;
}

std::vector<const std::string*> TsSkinFolderReader::InheritedValues(const std::vector<size_t>& parents,
                                                                    const std::string& key, TKeyKind kind) const {
  const auto& sections = FOptions.Sections();
  const size_t n = sections.size();
  std::vector<const std::string*> own(n, nullptr);
  for (size_t i = 0; i < n; ++i) {
    const TsOptionsFile::TKey* k = FOptions.FindKey(sections[i].Name, key);
    if (!k) continue;
    int32_t number;
    const bool isNumber = ParseSkinInteger(k->Value, number);
    if (kind != kkInteger || (isNumber && number != -1)) own[i] = &k->Value;
    if (FProblems) CheckValue(sections[i].Name, *k, kind);
  }

  // Each section has at most one parent: every chain runs into a section without one or
  // into a ring. A section on a ring reads the ring once round from itself; a section
  // before it takes its own value or else its parent's result.
  std::vector<const std::string*> result(n, nullptr);
  enum : uint8_t { sUnseen, sOnPath, sDone };
  std::vector<uint8_t> state(n, sUnseen);
  std::vector<size_t> path;
  for (size_t start = 0; start < n; ++start) {
    if (state[start] != sUnseen) continue;
    path.clear();
    size_t at = start;
    while (at != SIZE_MAX && state[at] == sUnseen) {
      state[at] = sOnPath;
      path.push_back(at);
      at = parents[at];
    }
    size_t tail = path.size();
    if (at != SIZE_MAX && state[at] == sOnPath) {
      const size_t ringStart = size_t(std::find(path.begin(), path.end(), at) - path.begin());
      const size_t ring = path.size() - ringStart;
      // Walking the ring backwards twice gives every member the first value ahead of it.
      const std::string* ahead = nullptr;
      for (size_t k = 2 * ring; k-- > 0;) {
        const size_t member = path[ringStart + k % ring];
        if (own[member]) ahead = own[member];
        if (k < ring) {
          result[member] = ahead;
          state[member] = sDone;
        }
      }
      tail = ringStart;
    }
    for (size_t k = tail; k-- > 0;) {
      const size_t member = path[k];
      const size_t p = parents[member];
      result[member] = own[member] ? own[member] : p != SIZE_MAX ? result[p] : nullptr;
      state[member] = sDone;
    }
  }
  return result;
}

void TsSkinFolderReader::CheckValue(const std::string& section, const TsOptionsFile::TKey& key, TKeyKind kind) const {
  int32_t number;
  switch (kind) {
    case kkInteger:
      if (!ParseSkinInteger(key.Value, number))
        Warn(section, key, Quoted(key.Value) + " is not a number; the value is taken from PARENTCLASS or the default",
             kNumber);
      break;
    case kkTrue:
      if (!SameText(key.Value, "TRUE") && !SameText(key.Value, "FALSE"))
        Warn(section, key, Quoted(key.Value) + " counts as FALSE", "TRUE or FALSE");
      break;
    case kkGradient:
      if (key.Value != " ") {
        const size_t words = SplitWords(key.Value, ";").size();
        try {
          TsGradArray pieces;
          ParseGradientData(key.Value, pieces);
          if (words % 5 != 0)
            Warn(section, key, std::to_string(words % 5) + " number(s) after the last whole piece are left out",
                 "pieces of five numbers: colour;colour;percent;mode;0");
        } catch (const std::invalid_argument& e) {
          Warn(section, key, std::string(e.what()) + "; the pieces from there on are left out",
               "pieces of five numbers: colour;colour;percent;mode;0");
        }
      }
      break;
    case kkText:
      break;
  }
}

void TsSkinFolderReader::CheckParents(const std::vector<size_t>& parents) const {
  const auto& sections = FOptions.Sections();
  for (size_t i = 0; i < sections.size(); ++i) {
    const TsOptionsFile::TKey* k = FOptions.FindKey(sections[i].Name, "PARENTCLASS");
    if (k && !k->Value.empty() && k->Value != "?" && parents[i] == SIZE_MAX)
      Warn(sections[i].Name, *k, "there is no section [" + k->Value + "]", "the name of a section of this file, or ?");
  }
  // A ring is reported once, on the PARENTCLASS line of its first section in the file.
  std::vector<uint8_t> done(sections.size(), 0);
  for (size_t start = 0; start < sections.size(); ++start) {
    std::vector<size_t> path;
    size_t at = start;
    while (at != SIZE_MAX && !done[at] && std::find(path.begin(), path.end(), at) == path.end()) {
      path.push_back(at);
      at = parents[at];
    }
    if (at != SIZE_MAX && !done[at]) {
      std::vector<size_t> ring(std::find(path.begin(), path.end(), at), path.end());
      const size_t first = *std::min_element(ring.begin(), ring.end());
      std::string chain;
      size_t member = first;
      do {
        chain += sections[member].Name + " -> ";
        member = parents[member];
      } while (member != first);
      chain += sections[first].Name;
      Warn(sections[first].Name, *FOptions.FindKey(sections[first].Name, "PARENTCLASS"),
           "PARENTCLASS goes round in a ring (" + chain + "); keys that none of them has take their defaults",
           "a chain that ends at a section without PARENTCLASS");
    }
    for (size_t p : path) done[p] = 1;
  }
}

const std::vector<std::string>& TsSkinFolderReader::SectionKeys() {
  static const std::vector<std::string> keys = {
      "PARENTCLASS", "COLOR", "BEVEL", "SHADOWBLUR", "SHADOWOFFSET", "SHADOWCOLOR", "SHADOWTRANSPARENCY",
      "SHADOWENABLED", "RESERVEDBOOLEAN", "FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM", "HOTFONTCOLOR",
      "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM", "TRANSPARENCY", "GRADIENTPERCENT", "IMAGEPERCENT",
      "GRADIENTDATA", "SHOWFOCUS", "FADINGENABLED", "FADINGINTERVALIN", "FADINGINTERVALOUT", "FADINGITERATIONS",
      "HOTCOLOR", "HOTTRANSPARENCY", "HOTBEVEL", "HOTGRADIENTPERCENT", "HOTGRADIENTDATA", "HOTIMAGEPERCENT",
      "BORDERCOLOR1", "BORDERCOLOR2"};
  return keys;
}

const std::vector<std::string>& TsSkinFolderReader::GlobalInfoKeys() {
  static const std::vector<std::string> keys = {"VERSION",    "AUTHOR",         "DESCRIPTION",         "SHADOW1COLOR",
                                                "SHADOW1OFFSET", "SHADOW1BLUR", "SHADOW1TRANSPARENCY", "MASTERBITMAP"};
  return keys;
}

void TsSkinFolderReader::ReadSections(TsSkinArrays& out, TsSkinData& info) const {
  // Only information: a version that is not a number is 0, as if none were given.
  info.Version = 0;
  if (const TsOptionsFile::TKey* k = FOptions.FindKey("GLOBALINFO", "VERSION")) {
    const std::string& text = k->Value;
    double version = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), version);
    if (error == std::errc() && end == text.data() + text.size() && std::isfinite(version)) info.Version = version;
    else Warn("GLOBALINFO", *k, Quoted(text) + " is not a number; the version is 0", "a number such as 5.25");
  }
  info.Author = FOptions.ReadString("GLOBALINFO", "AUTHOR", "");
  info.Description = FOptions.ReadString("GLOBALINFO", "DESCRIPTION", "");
  auto shadow = [&](const char* key, int32_t fallback) {
    int32_t v = fallback;
    if (const TsOptionsFile::TKey* k = FOptions.FindKey("GLOBALINFO", key))
      Entry("GLOBALINFO", k, [&] {
        if (!ParseSkinInteger(k->Value, v)) throw ESkinLoadError(Quoted(k->Value) + " is not a number", kNumber);
      });
    return v;
  };
  info.Shadow1Color = shadow("SHADOW1COLOR", 0);
  info.Shadow1Offset = shadow("SHADOW1OFFSET", 0);
  info.Shadow1Blur = shadow("SHADOW1BLUR", -1);
  info.Shadow1Transparency = shadow("SHADOW1TRANSPARENCY", 0);

  out.Sections.clear();
  // Every key is resolved for all sections at once, on first use.
  const std::vector<size_t> parents = ParentIndexes();
  if (FProblems) CheckParents(parents);
  std::map<std::string, std::vector<const std::string*>> resolved;
  size_t index = 0;
  auto inherited = [&](const char* key, TKeyKind kind) {
    assert(IsReadKey(key));
    auto it = resolved.find(key);
    if (it == resolved.end()) it = resolved.emplace(key, InheritedValues(parents, key, kind)).first;
    return it->second[index];
  };
  for (; index < FOptions.Sections().size(); ++index) {
    const std::string& s = FOptions.Sections()[index].Name;
    TsGeneralData d;
    d.SectionName = s;
    d.ParentClass = FOptions.ReadString(s, "PARENTCLASS", "");
    auto integer = [&](const char* key, int32_t fallback) {
      const std::string* text = inherited(key, kkInteger);
      int32_t v;
      return text && ParseSkinInteger(*text, v) ? v : fallback;
    };
    auto boolean = [&](const char* key) {
      const std::string* text = inherited(key, kkTrue);
      return text && SameText(*text, "TRUE");
    };
    auto textValue = [&](const char* key, const std::string& fallback) {
      const std::string* text = inherited(key, kkGradient);
      return text ? *text : fallback;
    };
    auto bevel = [&](const char* key) { return TsControlBevel(std::clamp(integer(key, 0), 0, int(cbLoweredHard))); };
    d.Color = TColor(ColorToRGB(integer("COLOR", 0xFFFFFF)));
    d.Bevel = bevel("BEVEL");
    d.ShadowBlur = integer("SHADOWBLUR", 6);
    d.ShadowOffset = integer("SHADOWOFFSET", 3);
    int32_t shadowColor = 0;
    if (const TsOptionsFile::TKey* k = FOptions.FindKey(s, "SHADOWCOLOR"))
      if (!ParseSkinInteger(k->Value, shadowColor)) {
        shadowColor = 0;
        if (FProblems) CheckValue(s, *k, kkInteger);
      }
    d.ShadowColor = shadowColor;
    d.ShadowTransparency = integer("SHADOWTRANSPARENCY", 50);
    d.ShadowEnabled = boolean("SHADOWENABLED");
    d.ReservedBoolean = boolean("RESERVEDBOOLEAN");
    d.FontColor = integer("FONTCOLOR", 0);
    d.TCLeft = integer("TCLEFT", -1);
    d.TCTop = integer("TCTOP", -1);
    d.TCRight = integer("TCRIGHT", -1);
    d.TCBottom = integer("TCBOTTOM", -1);
    d.HotFontColor = integer("HOTFONTCOLOR", 0);
    d.HotTCLeft = integer("HOTTCLEFT", -1);
    d.HotTCTop = integer("HOTTCTOP", -1);
    d.HotTCRight = integer("HOTTCRIGHT", -1);
    d.HotTCBottom = integer("HOTTCBOTTOM", -1);
    d.Transparency = integer("TRANSPARENCY", 0);
    d.GradientPercent = integer("GRADIENTPERCENT", 0);
    d.ImagePercent = integer("IMAGEPERCENT", 0);
    d.GradientData = textValue("GRADIENTDATA", " ");
    d.ShowFocus = boolean("SHOWFOCUS");
    d.FadingEnabled = boolean("FADINGENABLED");
    d.FadingIntervalIn = integer("FADINGINTERVALIN", 5);
    d.FadingIntervalOut = integer("FADINGINTERVALOUT", 5);
    d.FadingIterations = integer("FADINGITERATIONS", 5);
    d.HotColor = integer("HOTCOLOR", 0xFFFFFF);
    d.HotTransparency = integer("HOTTRANSPARENCY", 0);
    d.HotBevel = bevel("HOTBEVEL");
    d.HotGradientPercent = integer("HOTGRADIENTPERCENT", 0);
    d.HotGradientData = textValue("HOTGRADIENTDATA", "");
    d.HotImagePercent = integer("HOTIMAGEPERCENT", 0);
    d.BorderColor1 = integer("BORDERCOLOR1", 0);
    d.BorderColor2 = integer("BORDERCOLOR2", 0);
    ParseSectionGradients(d);
    out.Sections.push_back(std::move(d));
  }
}
