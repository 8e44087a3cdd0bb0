#include "skin/data/sSkinFolderReader.h"

#include <algorithm>
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

std::string Where(const std::string& section, const std::string& key) {
  return "Options.dat, section [" + section + "], key " + key;
}

// Characters `from` to `to` (1-based, inclusive) of a fixed-column value as a number.
int16_t Column(const std::string& section, const std::string& key, const std::string& value, size_t from, size_t to) {
  const std::string text = from <= value.size() ? value.substr(from - 1, to - from + 1) : std::string();
  int32_t v;
  if (!ParseSkinInteger(text, v) || v < INT16_MIN || v > INT16_MAX) {
    const std::string columns = from == to ? "column " + std::to_string(from)
                                           : "columns " + std::to_string(from) + "-" + std::to_string(to);
    throw ESkinLoadError(Where(section, key) + " = \"" + value + "\": " + columns + " (\"" + text +
                         "\") must be a number");
  }
  return int16_t(v);
}

int16_t Field(const std::string& section, const std::string& key, const std::string& value, int n,
              const char* what) {
  const std::string text = NthWord(n, value, "!");
  int32_t v;
  if (!ParseSkinInteger(text, v) || v < INT16_MIN || v > INT16_MAX)
    throw ESkinLoadError(Where(section, key) + " = \"" + value + "\": " + what + " (\"" + text +
                         "\") must be a number");
  return int16_t(v);
}

void DefaultWidths(TsMaskData& m) {
  m.WL = m.WR = int16_t(DefaultBorderWidthH(m.R, m.ImageCount));
  m.WT = m.WB = int16_t(DefaultBorderWidthV(m.R, m.MaskType));
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
    throw ESkinLoadError("the picture " + path + " cannot be read: " + e.what());
  }
}

TDib LoadSkinJpeg(const std::string& path) {
  try {
    return LoadJpegFile(SkinFsPath(path));
  } catch (const std::bad_alloc&) {
    throw ESkinLoadError("the picture " + path + " is too large to be held in memory");
  } catch (const std::exception& e) {
    throw ESkinLoadError("the picture " + path + " cannot be read: " + e.what());
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

// ---- TsSkinFolderReader ------------------------------------------------------------------------

TsSkinFolderReader::TsSkinFolderReader(TsSkinManager* manager, std::string skinPath)
    : FManager(manager), FSkinPath(std::move(skinPath)) {
  try {
    std::string path = FindSkinFile(FSkinPath, "Options.dat");
    if (path.empty()) path = FSkinPath + "Options.dat";
    FOptions = TsOptionsFile::FromFile(SkinFsPath(path));
  } catch (const std::bad_alloc&) {
    throw ESkinLoadError("Options.dat is too large to be held in memory");
  } catch (const std::exception& e) {
    throw ESkinLoadError(std::string("Options.dat cannot be read: ") + e.what());
  }
}

TsSkinFolderReader::TsSkinFolderReader(TsSkinManager* manager, TsOptionsFile options, std::string skinPath)
    : FManager(manager), FSkinPath(std::move(skinPath)), FOptions(std::move(options)) {}

void TsSkinFolderReader::Read(TsSkinArrays& out, TsSkinData& info) const {
  if (FOptions.Sections().empty()) throw ESkinLoadError("Options.dat holds no sections");
  ReadMasks(out);
  ReadPatterns(out);
  ReadSections(out, info);
}

void TsSkinFolderReader::ReadMasks(TsSkinArrays& out) const {
  out.Masks.clear();
  out.MasterBitmap.reset();
  const std::string* master = FOptions.Find("GLOBALINFO", "MASTERBITMAP");
  if (master && !master->empty()) {
    const std::string path = FindSkinFile(FSkinPath, *master);
    // Every mask cut from the master bitmap would be lost without it: no skin at all.
    if (path.empty())
      throw ESkinLoadError("the master bitmap " + SkinFilePath(FSkinPath, *master) + " named by MASTERBITMAP is missing");
    out.MasterBitmap = std::make_unique<TDib>(LoadSkinBmp(path));
    out.MasterBitmap->Transparent = true;
    out.MasterBitmap->TransparentColor = kSkinKeyColor;
  }
  for (const TsOptionsFile::TSection& section : FOptions.Sections())
    for (const TsOptionsFile::TKey& key : section.Keys) {
      if (SameText(section.Name, "GLOBALINFO") && SameText(key.Name, "MASTERBITMAP")) continue;
      AddMask(section.Name, key.Name, key.Value, out);
    }
}

void TsSkinFolderReader::AddMask(const std::string& section, const std::string& key, const std::string& value,
                                 TsSkinArrays& out) const {
  if (value.empty()) return;
  TsMaskData m;
  m.SectionName = section;
  m.PropertyName = key;
  m.Manager = FManager;
  auto col = [&](size_t from, size_t to) { return Column(section, key, value, from, to); };
  switch (value[0]) {
    case '!': {
      const std::string file = NthWord(1, value, "!");
      if (file.find(".BMP") == std::string::npos) return;
      m.ImageCount = Field(section, key, value, 2, "the image count");
      m.MaskType = Field(section, key, value, 3, "the mask type");
      const int16_t type = Field(section, key, value, 4, "the image type");
      if (type < itisaBorder || type > itisaGlyph)
        throw ESkinLoadError(Where(section, key) + " = \"" + value + "\": the image type must be 0, 1 or 2");
      m.ImgType = TkvImgType(type);
      const bool widths = CountWords(value, "!") >= 5;
      if (widths) {
        m.WL = Field(section, key, value, 5, "the left border width");
        m.WT = Field(section, key, value, 6, "the top border width");
        m.WR = Field(section, key, value, 7, "the right border width");
        m.WB = Field(section, key, value, 8, "the bottom border width");
      }
      const std::string path = FindSkinFile(FSkinPath, file);
      if (path.empty()) return;
      TDib picture = LoadSkinBmp(path);
      if (picture.Empty()) return;
      m.R = {0, 0, picture.Width(), picture.Height()};
      m.Bmp = std::make_unique<TDib>(std::move(picture));
      if (!widths) DefaultWidths(m);
      break;
    }
    case '@':
      m.R = {col(2, 5), col(7, 10), col(12, 15), col(17, 20)};
      m.ImageCount = col(22, 22);
      m.MaskType = col(24, 24);
      m.ImgType = itisaGlyph;
      break;
    case '^':
      m.R = {col(2, 5), col(7, 10), col(12, 15), col(17, 20)};
      m.WL = col(22, 25);
      m.WT = col(27, 30);
      m.WR = col(32, 35);
      m.WB = col(37, 40);
      m.ImageCount = col(42, 42);
      m.MaskType = col(44, 44);
      m.StretchMode = col(46, 46);
      m.BorderWidth = col(48, 48);
      m.ImgType = itisaBorder;
      if (m.WL == 0 && m.WT == 0 && m.WR == 0 && m.WB == 0) {
        if (m.BorderWidth != 0) m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
        else DefaultWidths(m);
      }
      break;
    case '~':
      m.R = {col(2, 5), col(7, 10), col(12, 15), col(17, 20)};
      m.StretchMode = col(22, 23);
      m.MaskType = value.size() < 25 ? int16_t(0) : col(25, 25);
      m.ImageCount = 1;
      m.ImgType = itisaTexture;
      break;
    default:
      if (value.find('#') != std::string::npos) {
        if (value == "#" || !ReadHashMask(section, key, value, FManager, m)) return;
      } else if (UpperCase(value).find(".BMP") != std::string::npos) {
        if (!ReadFileMask(section, key, value, FSkinPath, FManager, m)) return;
      } else {
        return;
      }
  }
  out.Masks.push_back(std::move(m));
}

void TsSkinFolderReader::ReadPatterns(TsSkinArrays& out) const {
  out.Patterns.clear();
  for (const TsOptionsFile::TSection& section : FOptions.Sections())
    for (const TsOptionsFile::TKey& key : section.Keys) {
      if (!NamesJpeg(key.Value)) continue;
      const std::string path = FindSkinFile(FSkinPath, key.Value);
      if (path.empty()) continue;
      TDib picture = LoadSkinJpeg(path);
      if (picture.Empty()) continue;
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
                                                                    const std::string& key, bool integer) const {
  const auto& sections = FOptions.Sections();
  const size_t n = sections.size();
  std::vector<const std::string*> own(n, nullptr);
  for (size_t i = 0; i < n; ++i) {
    if (const std::string* v = FOptions.Find(sections[i].Name, key)) {
      int32_t number;
      if (!integer || (ParseSkinInteger(*v, number) && number != -1)) own[i] = v;
    }
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

void TsSkinFolderReader::ReadSections(TsSkinArrays& out, TsSkinData& info) const {
  const std::string versionText = FOptions.ReadString("GLOBALINFO", "VERSION", "0");
  // Only information: a version that is not a number is 0, as if none were given.
  double version = 0;
  const auto [end, error] = std::from_chars(versionText.data(), versionText.data() + versionText.size(), version);
  const bool number = error == std::errc() && end == versionText.data() + versionText.size() && std::isfinite(version);
  info.Version = number ? version : 0;
  info.Author = FOptions.ReadString("GLOBALINFO", "AUTHOR", "");
  info.Description = FOptions.ReadString("GLOBALINFO", "DESCRIPTION", "");
  auto shadow = [&](const char* key, const char* fallback) {
    const std::string text = FOptions.ReadString("GLOBALINFO", key, fallback);
    int32_t v;
    if (!ParseSkinInteger(text, v))
      throw ESkinLoadError(Where("GLOBALINFO", key) + ": \"" + text + "\" is not a number");
    return v;
  };
  info.Shadow1Color = shadow("SHADOW1COLOR", "0");
  info.Shadow1Offset = shadow("SHADOW1OFFSET", "0");
  info.Shadow1Blur = shadow("SHADOW1BLUR", "-1");
  info.Shadow1Transparency = shadow("SHADOW1TRANSPARENCY", "0");

  out.Sections.clear();
  // Every key is resolved for all sections at once, on first use.
  const std::vector<size_t> parents = ParentIndexes();
  std::map<std::pair<std::string, bool>, std::vector<const std::string*>> resolved;
  size_t index = 0;
  auto inherited = [&](const char* key, bool integer) {
    auto it = resolved.find({key, integer});
    if (it == resolved.end())
      it = resolved.emplace(std::make_pair(key, integer), InheritedValues(parents, key, integer)).first;
    return it->second[index];
  };
  for (; index < FOptions.Sections().size(); ++index) {
    const std::string& s = FOptions.Sections()[index].Name;
    TsGeneralData d;
    d.SectionName = s;
    d.ParentClass = FOptions.ReadString(s, "PARENTCLASS", "");
    auto integer = [&](const char* key, int32_t fallback) {
      const std::string* text = inherited(key, true);
      int32_t v;
      return text && ParseSkinInteger(*text, v) ? v : fallback;
    };
    auto boolean = [&](const char* key) {
      const std::string* text = inherited(key, false);
      return text && SameText(*text, "TRUE");
    };
    auto textValue = [&](const char* key, const std::string& fallback) {
      const std::string* text = inherited(key, false);
      return text ? *text : fallback;
    };
    auto bevel = [&](const char* key) { return TsControlBevel(std::clamp(integer(key, 0), 0, int(cbLoweredHard))); };
    d.Color = TColor(ColorToRGB(integer("COLOR", 0xFFFFFF)));
    d.Bevel = bevel("BEVEL");
    d.ShadowBlur = integer("SHADOWBLUR", 6);
    d.ShadowOffset = integer("SHADOWOFFSET", 3);
    int32_t shadowColor = 0;
    if (const std::string* v = FOptions.Find(s, "SHADOWCOLOR")) ParseSkinInteger(*v, shadowColor);
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
