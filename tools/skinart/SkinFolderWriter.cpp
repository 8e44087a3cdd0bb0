#include "tools/skinart/SkinFolderWriter.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "platform/graphics/BmpFile.h"
#include "tools/skinart/ColourReduction.h"
#include "tools/skinart/FileOutput.h"
#include "tools/skinart/MaskPictures.h"
#include "tools/skinart/MaskTable.h"
#include "tools/skinart/TableCheck.h"

namespace SkinArt {

namespace {

constexpr int kPatternWidth = 320, kPatternHeight = 300;  // 96,000 pixels: a pattern, not a texture
const char* const kPatternFile = "Background.jpg";

std::string Padded(int value, int width) {
  std::string s = std::to_string(value);
  return std::string(size_t(std::max(0, width - int(s.size()))), '0') + s;
}

TColor MapColor(const TColourMap& map, TColor c) {
  if (c == -1) return c;
  return TColor(ToColorRef(map(FromColorRef(COLORREF(ColorToRGB(c))))));
}

std::string MapGradient(const TColourMap& map, const std::string& text) {
  std::vector<std::string> words;
  std::stringstream in(text);
  for (std::string w; std::getline(in, w, ';');)
    if (!w.empty() && w != " ") words.push_back(w);
  if (words.size() < 5) return text;
  std::string out;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string w = words[i];
    if (i % 5 < 2) w = std::to_string(MapColor(map, TColor(std::stol(w))));
    out += (i ? ";" : "") + w;
  }
  return out;
}

// "text left top right bottom" with the text colour and the contours mapped.
std::array<TColor, 5> MapFontColor(const TFolderSkin& skin, const std::string& text) {
  std::array<TColor, 5> c = {0, -1, -1, -1, -1};
  std::stringstream in(text);
  for (size_t i = 0; i < 5 && in >> c[i]; ++i) {
  }
  c[0] = MapColor(skin.Text, c[0]);
  for (size_t i = 1; i < 5; ++i) c[i] = MapColor(skin.Contour, c[i]);
  return c;
}

}  // namespace

std::string MaskValue(const TMask& m) {
  const TRect r = m.R;
  const std::string rect = Padded(r.Left, 4) + " " + Padded(r.Top, 4) + " " + Padded(r.Right, 4) + " " + Padded(r.Bottom, 4);
  if ((m.Section == "FORM" || m.Section == "DIALOG") && (m.Property == "PATTERN" || m.Property == "HOTPATTERN"))
    return kPatternFile;
  if (m.Carried)
    return std::string("!") + kHugeName + "!" + std::to_string(m.ImageCount) + "!" + std::to_string(m.MaskType) + "!" +
           std::to_string(int(m.ImgType)) + "!" + std::to_string(m.WL) + "!" + std::to_string(m.WT) + "!" +
           std::to_string(m.WR) + "!" + std::to_string(m.WB);
  if (m.ImgType == itisaGlyph) return "@" + rect + " " + std::to_string(m.ImageCount) + " " + std::to_string(m.MaskType);
  if (m.ImgType == itisaTexture) return "~" + rect + " " + Padded(m.StretchMode, 2) + " " + std::to_string(m.MaskType);
  const int dw = r.Width() / (m.ImageCount * 3), dh = r.Height() / ((m.MaskType + 1) * 3);
  if (m.Property == "BORDERSMASK" && m.BorderWidth == 0 && m.StretchMode == 1 && m.WL == dw && m.WR == dw && m.WT == dh &&
      m.WB == dh)
    return "#(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom) + ")(" + std::to_string(m.ImageCount) + "," + std::to_string(m.MaskType) + ")";
  return "^" + rect + " " + Padded(m.WL, 4) + " " + Padded(m.WT, 4) + " " + Padded(m.WR, 4) + " " + Padded(m.WB, 4) + " " +
         std::to_string(m.ImageCount) + " " + std::to_string(m.MaskType) + " " + std::to_string(m.StretchMode) + " " +
         std::to_string(m.BorderWidth);
}

std::string OptionsText(const TFolderSkin& skin, const std::vector<TSection>& sections, const std::vector<TMask>& masks) {
  const TColourMap& map = skin.Map;
  std::string out = "; " + skin.Name + ": written by tools/SkinArtGenerator.cpp, do not edit by hand\n";
  auto key = [&](const std::string& name, const std::string& value) { out += name + "=" + value + "\n"; };
  auto flag = [](bool b) { return std::string(b ? "TRUE" : "FALSE"); };
  for (const TSection& s : sections) {
    if (s.SectionName.empty()) continue;
    out += "\n[" + s.SectionName + "]\n";
    if (s.SectionName == "GLOBALINFO") {
      key("VERSION", "4.81");
      key("AUTHOR", "Maruk ROM viewer");
      key("DESCRIPTION", skin.Description);
      key("SHADOW1COLOR", "0");
      key("SHADOW1OFFSET", "3");
      key("SHADOW1BLUR", "6");
      key("SHADOW1TRANSPARENCY", "60");
      key("MASTERBITMAP", skin.Name + ".bmp");
    }
    if (!s.ParentClass.empty()) key("PARENTCLASS", s.ParentClass);
    key("COLOR", std::to_string(MapColor(map, s.Color)));
    key("BEVEL", std::to_string(int(s.Bevel)));
    key("SHADOWBLUR", std::to_string(s.ShadowBlur));
    key("SHADOWOFFSET", std::to_string(s.ShadowOffset));
    key("SHADOWCOLOR", std::to_string(s.ShadowColor));
    key("SHADOWTRANSPARENCY", std::to_string(s.ShadowTransparency));
    key("SHADOWENABLED", flag(s.ShadowEnabled));
    key("RESERVEDBOOLEAN", flag(s.ReservedBoolean));
    const std::array<TColor, 5> font = MapFontColor(skin, s.FontColor), hot = MapFontColor(skin, s.HotFontColor);
    const char* const fontKeys[] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    const char* const hotKeys[] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    for (size_t i = 0; i < 5; ++i) key(fontKeys[i], std::to_string(font[i]));
    for (size_t i = 0; i < 5; ++i) key(hotKeys[i], std::to_string(hot[i]));
    key("TRANSPARENCY", std::to_string(s.Transparency));
    key("GRADIENTPERCENT", std::to_string(s.GradientPercent));
    if (s.GradientData != " ") key("GRADIENTDATA", MapGradient(map, s.GradientData));
    key("IMAGEPERCENT", std::to_string(s.ImagePercent));
    key("SHOWFOCUS", flag(s.ShowFocus));
    key("FADINGENABLED", flag(s.FadingEnabled));
    key("FADINGINTERVALIN", std::to_string(s.FadingIntervalIn));
    key("FADINGINTERVALOUT", std::to_string(s.FadingIntervalOut));
    key("FADINGITERATIONS", std::to_string(s.FadingIterations));
    key("HOTCOLOR", std::to_string(MapColor(map, s.HotColor)));
    key("HOTTRANSPARENCY", std::to_string(s.HotTransparency));
    key("HOTBEVEL", std::to_string(int(s.HotBevel)));
    key("HOTGRADIENTPERCENT", std::to_string(s.HotGradientPercent));
    if (s.HotGradientData != " ") key("HOTGRADIENTDATA", MapGradient(map, s.HotGradientData));
    key("HOTIMAGEPERCENT", std::to_string(s.HotImagePercent));
    key("BORDERCOLOR1", std::to_string(MapColor(map, s.BorderColor1)));
    key("BORDERCOLOR2", std::to_string(MapColor(map, s.BorderColor2)));
    for (const TMask& m : masks)
      if (m.Section == s.SectionName) key(m.Property, MaskValue(m));
  }
  return out;
}

void WriteFolderSkin(const std::string& root, const TFolderSkin& skin, const std::vector<TSection>& sections) {
  const std::vector<TMask> masks = Masks(skin.Colours(), true);
  CheckTables(sections, masks);
  const TPictures drawn = DrawPictures(masks);
  const TPictures pictures{Palettised(drawn.Master), Palettised(drawn.Huge)};
  const std::string folder = root + "/assets/skins/" + skin.Name;
  std::filesystem::create_directories(folder);
  SaveBmpFile(pictures.Master, 8, folder + "/" + skin.Name + ".bmp");
  SaveBmpFile(pictures.Huge, 8, folder + "/" + kHugeName);
  SaveJpegFile(DrawPattern(skin.Pattern, skin.PatternBase, kPatternWidth, kPatternHeight), folder + "/" + kPatternFile);
  WriteText(folder + "/Options.dat", OptionsText(skin, sections, masks));
  std::printf("assets/skins/%s: %zu colours drawn, %zu kept; Options.dat with %zu sections, %zu masks\n",
              skin.Name.c_str(), DistinctColours(drawn.Master), DistinctColours(pictures.Master), sections.size() - 1,
              masks.size());
}

}  // namespace SkinArt
