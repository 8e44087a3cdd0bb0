#include "skin/data/sCommonSections.h"

#include <type_traits>

#include "platform/components/Persistent.h"
#include "skin/data/sSkinFolderReader.h"
#include "skin/data/sSkinPaths.h"
#include "skin/data/sSkinText.h"

namespace {

struct TLine {
  std::string Key;
  std::string Value;
};

std::vector<TLine> KeyLines(const TsTextSection& section) {
  std::vector<TLine> keys;
  for (const std::string& line : section.Lines) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) keys.push_back({line.substr(0, eq), line.substr(eq + 1)});
  }
  return keys;
}

bool NamesJpeg(const std::string& value) {
  const std::string upper = UpperCase(value);
  return upper.find(".JPG") != std::string::npos || upper.find(".JPEG") != std::string::npos;
}

// One common section: each key from the list when it is there (and, for numbers, not -1),
// else the parent record's value, else the default of a skin folder.
TsGeneralData CommonRecord(const TsTextSection& section, const TsGeneralData* parent) {
  static const TsGeneralData defaults = [] {
    TsGeneralData d;
    d.Color = 0xFFFFFF;
    d.ShadowBlur = 6;
    d.ShadowOffset = 3;
    d.ShadowTransparency = 50;
    d.GradientData = " ";
    d.FadingIntervalIn = d.FadingIntervalOut = d.FadingIterations = 5;
    d.HotColor = 0xFFFFFF;
    return d;
  }();
  const TsGeneralData& base = parent ? *parent : defaults;
  TsGeneralData d;
  auto integer = [&](const char* key, auto TsGeneralData::*field) {
    const int32_t v = ReadTextInteger(&section, key, -1);
    d.*field = v != -1 ? std::remove_reference_t<decltype(d.*field)>(v) : base.*field;
  };
  auto boolean = [&](const char* key, bool TsGeneralData::*field) {
    std::string text;
    d.*field = ReadTextKey(section, key, text) ? SameText(text, "TRUE") : base.*field;
  };
  auto text = [&](const char* key, std::string TsGeneralData::*field) {
    std::string value;
    d.*field = ReadTextKey(section, key, value) ? value : base.*field;
  };
  auto bevel = [&](const char* key, TsControlBevel TsGeneralData::*field) {
    const int32_t v = ReadTextInteger(&section, key, -1);
    d.*field = v != -1 ? TsControlBevel(std::clamp(v, 0, int(cbLoweredHard))) : base.*field;
  };
  const int32_t color = ReadTextInteger(&section, "COLOR", -1);
  d.Color = color != -1 ? TColor(ColorToRGB(color)) : base.Color;
  bevel("BEVEL", &TsGeneralData::Bevel);
  integer("SHADOWBLUR", &TsGeneralData::ShadowBlur);
  integer("SHADOWOFFSET", &TsGeneralData::ShadowOffset);
  integer("SHADOWCOLOR", &TsGeneralData::ShadowColor);
  integer("SHADOWTRANSPARENCY", &TsGeneralData::ShadowTransparency);
  boolean("SHADOWENABLED", &TsGeneralData::ShadowEnabled);
  boolean("RESERVEDBOOLEAN", &TsGeneralData::ReservedBoolean);
  integer("FONTCOLOR", &TsGeneralData::FontColor);
  integer("TCLEFT", &TsGeneralData::TCLeft);
  integer("TCTOP", &TsGeneralData::TCTop);
  integer("TCRIGHT", &TsGeneralData::TCRight);
  integer("TCBOTTOM", &TsGeneralData::TCBottom);
  integer("HOTFONTCOLOR", &TsGeneralData::HotFontColor);
  integer("HOTTCLEFT", &TsGeneralData::HotTCLeft);
  integer("HOTTCTOP", &TsGeneralData::HotTCTop);
  integer("HOTTCRIGHT", &TsGeneralData::HotTCRight);
  integer("HOTTCBOTTOM", &TsGeneralData::HotTCBottom);
  integer("TRANSPARENCY", &TsGeneralData::Transparency);
  integer("GRADIENTPERCENT", &TsGeneralData::GradientPercent);
  integer("IMAGEPERCENT", &TsGeneralData::ImagePercent);
  text("GRADIENTDATA", &TsGeneralData::GradientData);
  boolean("SHOWFOCUS", &TsGeneralData::ShowFocus);
  boolean("FADINGENABLED", &TsGeneralData::FadingEnabled);
  integer("FADINGINTERVALIN", &TsGeneralData::FadingIntervalIn);
  integer("FADINGINTERVALOUT", &TsGeneralData::FadingIntervalOut);
  integer("FADINGITERATIONS", &TsGeneralData::FadingIterations);
  integer("HOTCOLOR", &TsGeneralData::HotColor);
  integer("HOTTRANSPARENCY", &TsGeneralData::HotTransparency);
  bevel("HOTBEVEL", &TsGeneralData::HotBevel);
  integer("HOTGRADIENTPERCENT", &TsGeneralData::HotGradientPercent);
  text("HOTGRADIENTDATA", &TsGeneralData::HotGradientData);
  integer("HOTIMAGEPERCENT", &TsGeneralData::HotImagePercent);
  integer("BORDERCOLOR1", &TsGeneralData::BorderColor1);
  integer("BORDERCOLOR2", &TsGeneralData::BorderColor2);
  ParseSectionGradients(d);
  return d;
}

}  // namespace

void MergeCommonSections(const std::vector<std::string>& lines, TsSkinManager* manager, const std::string& skinPath,
                         TsSkinArrays& arrays) {
  if (lines.empty()) return;
  const std::vector<TsTextSection> sections = SplitSections(lines);

  for (const TsTextSection& section : sections) {
    if (UpperCase(section.Name) == "GLOBALINFO") continue;
    for (const TLine& line : KeyLines(section)) {
      TsMaskData m;
      bool added = false;
      if (line.Value.find('#') != std::string::npos) {
        added = arrays.MasterBitmap && line.Value != "#" && ReadHashMask(section.Name, line.Key, line.Value, manager, m);
      } else if (UpperCase(line.Value).find(".BMP") != std::string::npos) {
        added = ReadFileMask(section.Name, line.Key, line.Value, skinPath, manager, m);
      }
      if (added) arrays.Masks.push_back(std::move(m));
    }
  }

  for (const TsTextSection& section : sections)
    for (const TLine& line : KeyLines(section)) {
      if (!NamesJpeg(line.Value)) continue;
      const std::string path = FindSkinFile(skinPath, line.Value);
      if (path.empty()) continue;
      TDib picture = LoadSkinJpeg(path);
      if (picture.Empty()) continue;
      TsPatternData p;
      p.Img = std::make_unique<TDib>(std::move(picture));
      p.SectionName = UpperCase(section.Name);
      p.PropertyName = UpperCase(line.Key);
      arrays.Patterns.push_back(std::move(p));
    }

  for (const TsTextSection& section : sections) {
    std::string parentName;
    const bool hasParent = ReadTextKey(section, "PARENTCLASS", parentName);
    parentName = hasParent ? UpperCase(parentName) : "-1";
    // The parent is the first record of that name, the new one included: a section that
    // names itself has no values to take.
    const TsGeneralData* parent = nullptr;
    for (const TsGeneralData& existing : arrays.Sections)
      if (UpperCase(existing.SectionName) == parentName) {
        parent = &existing;
        break;
      }
    TsGeneralData d = CommonRecord(section, parent);
    d.SectionName = section.Name;
    d.ParentClass = parentName;
    arrays.Sections.push_back(std::move(d));
  }
}
