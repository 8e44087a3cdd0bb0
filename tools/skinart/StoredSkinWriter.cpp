#include "tools/skinart/StoredSkinWriter.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "platform/graphics/BmpFile.h"
#include "tools/skinart/BlueGlass.h"
#include "tools/skinart/ColourReduction.h"
#include "tools/skinart/FileOutput.h"

namespace SkinArt {

namespace {

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string ColorText(TColor c) {
  switch (c) {
    case clBlack: return "clBlack";
    case clWhite: return "clWhite";
    case clLime: return "clLime";
    default: return std::to_string(c);
  }
}

std::string BoolText(bool b) { return b ? "True" : "False"; }

std::string BevelText(TsControlBevel b) {
  static const char* const names[] = {"cbNone", "cbRaisedSoft", "cbLoweredSoft", "cbRaisedHard", "cbLoweredHard"};
  return names[b];
}

std::string ImgTypeText(TkvImgType t) {
  static const char* const names[] = {"itisaBorder", "itisaTexture", "itisaGlyph"};
  return names[t];
}

class TLayoutWriter {
 public:
  explicit TLayoutWriter(std::string indent) : FIndent(std::move(indent)) {}
  void Line(int depth, const std::string& s) { FText += FIndent + std::string(size_t(depth) * 2, ' ') + s + "\n"; }
  void Prop(int depth, const std::string& name, const std::string& value) { Line(depth, name + " = " + value); }
  void Text(int depth, const std::string& name, const std::string& value) {
    if (!value.empty()) Prop(depth, name, Quoted(value));
  }
  const std::string& Result() const { return FText; }

 private:
  std::string FIndent;
  std::string FText;
};

}  // namespace

std::string SkinLayoutText(const std::vector<TSection>& sections, const std::vector<TMask>& masks, const std::string& indent) {
  TLayoutWriter w(indent);
  w.Line(0, "InternalSkins = <");
  w.Line(1, "item");
  w.Text(2, "Name", kBlueGlassName);
  w.Line(2, "GeneralData = <");
  for (size_t i = 0; i < sections.size(); ++i) {
    const TSection& s = sections[i];
    constexpr int d = 4;
    w.Line(3, "item");
    w.Text(d, "SectionName", s.SectionName);
    w.Text(d, "ParentClass", s.ParentClass);
    w.Prop(d, "Color", ColorText(s.Color));
    w.Prop(d, "Bevel", BevelText(s.Bevel));
    w.Prop(d, "ShadowBlur", std::to_string(s.ShadowBlur));
    w.Prop(d, "ShadowColor", ColorText(s.ShadowColor));
    w.Prop(d, "ShadowDontUse", BoolText(s.ShadowDontUse));
    w.Prop(d, "ShadowEnabled", BoolText(s.ShadowEnabled));
    w.Prop(d, "ReservedBoolean", BoolText(s.ReservedBoolean));
    w.Prop(d, "ShadowOffset", std::to_string(s.ShadowOffset));
    w.Prop(d, "ShadowTransparency", std::to_string(s.ShadowTransparency));
    w.Text(d, "FontColor", s.FontColor);
    w.Text(d, "HotFontColor", s.HotFontColor);
    w.Prop(d, "Transparency", std::to_string(s.Transparency));
    w.Prop(d, "GradientPercent", std::to_string(s.GradientPercent));
    w.Text(d, "GradientData", s.GradientData);
    w.Prop(d, "ImagePercent", std::to_string(s.ImagePercent));
    w.Prop(d, "ShowFocus", BoolText(s.ShowFocus));
    w.Prop(d, "FadingEnabled", BoolText(s.FadingEnabled));
    w.Prop(d, "FadingIntervalIn", std::to_string(s.FadingIntervalIn));
    w.Prop(d, "FadingIntervalOut", std::to_string(s.FadingIntervalOut));
    w.Prop(d, "FadingIterations", std::to_string(s.FadingIterations));
    w.Prop(d, "HotColor", ColorText(s.HotColor));
    w.Prop(d, "HotTransparency", std::to_string(s.HotTransparency));
    w.Prop(d, "HotBevel", BevelText(s.HotBevel));
    w.Prop(d, "HotGradientPercent", std::to_string(s.HotGradientPercent));
    w.Text(d, "HotGradientData", s.HotGradientData);
    w.Prop(d, "HotImagePercent", std::to_string(s.HotImagePercent));
    w.Prop(d, "BorderColor1", ColorText(s.BorderColor1));
    w.Prop(d, "BorderColor2", ColorText(s.BorderColor2));
    w.Text(d, "Name", s.Name);
    w.Line(3, i + 1 < sections.size() ? "end" : "end>");
  }
  w.Line(2, "Images = <");
  for (size_t i = 0; i < masks.size(); ++i) {
    const TMask& m = masks[i];
    constexpr int d = 4;
    const TRect r = m.R;
    w.Line(3, "item");
    w.Text(d, "SectionName", m.Section);
    if (m.Carried) {
      w.Prop(d, "Image.Data", "{ file " + Quoted(std::string("skin/") + kHugeName) + " }");
      w.Text(d, "Name", kHugeName);
    }
    w.Text(d, "PropertyName", m.Property);
    w.Prop(d, "Left", std::to_string(r.Left));
    w.Prop(d, "Top", std::to_string(r.Top));
    w.Prop(d, "Right", std::to_string(r.Right));
    w.Prop(d, "Bottom", std::to_string(r.Bottom));
    w.Prop(d, "ImageCount", std::to_string(m.ImageCount));
    w.Prop(d, "MaskType", std::to_string(m.MaskType));
    w.Prop(d, "BorderWidth", std::to_string(m.BorderWidth));
    w.Prop(d, "StretchMode", std::to_string(m.StretchMode));
    w.Prop(d, "ImgType", ImgTypeText(m.ImgType));
    w.Prop(d, "WL", std::to_string(m.WL));
    w.Prop(d, "WR", std::to_string(m.WR));
    w.Prop(d, "WT", std::to_string(m.WT));
    w.Prop(d, "WB", std::to_string(m.WB));
    w.Line(3, i + 1 < masks.size() ? "end" : "end>");
  }
  w.Prop(2, "Patterns", "<>");
  w.Prop(2, "MasterBitmap.Data", "{ file 'skin/BlueGlass.bmp' }");
  w.Prop(2, "Shadow1Color", ColorText(clBlack));
  w.Prop(2, "Shadow1Offset", "3");
  w.Prop(2, "Shadow1Blur", "6");
  w.Prop(2, "Shadow1Transparency", "60");
  w.Prop(2, "Version", "4.81");
  w.Text(2, "Description", kBlueGlassDescription);
  w.Line(1, "end>");
  return w.Result();
}

std::string ReplaceSkinBlock(const std::string& layout, const std::vector<TSection>& sections, const std::vector<TMask>& masks) {
  const std::string begin = "// skin begin", end = "// skin end";
  std::vector<std::string> lines;
  {
    std::istringstream in(layout);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  auto trimmed = [](const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a);
  };
  auto indentOf = [](const std::string& s) { return s.substr(0, s.find_first_not_of(" \t")); };
  size_t first = lines.size(), last = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (trimmed(lines[i]) == begin && first == lines.size()) first = i;
    if (trimmed(lines[i]) == end && first != lines.size() && last == lines.size()) last = i;
  }
  if (first == lines.size()) {
    size_t manager = lines.size();
    for (size_t i = 0; i < lines.size(); ++i)
      if (trimmed(lines[i]).rfind("object sSkinManager1:", 0) == 0) manager = i;
    if (manager == lines.size()) throw std::runtime_error("the layout has no sSkinManager1 object");
    size_t at = lines.size();
    for (size_t i = manager + 1; i < lines.size() && trimmed(lines[i]) != "end"; ++i)
      if (trimmed(lines[i]).rfind("SkinDirectory", 0) == 0) at = i;
    if (at == lines.size()) throw std::runtime_error("the skin manager of the layout has no SkinDirectory line");
    const std::string indent = indentOf(lines[at]);
    lines.insert(lines.begin() + long(at), {indent + begin, indent + end});
    first = at;
    last = at + 1;
  }
  if (last == lines.size()) throw std::runtime_error("'// skin begin' without '// skin end' in the layout");
  const std::string indent = indentOf(lines[first]);
  std::string out;
  for (size_t i = 0; i <= first; ++i) out += lines[i] + "\n";
  out += SkinLayoutText(sections, masks, indent);
  for (size_t i = last; i < lines.size(); ++i) out += lines[i] + "\n";
  return out;
}

TPictures WriteStoredSkin(const std::string& root, const std::vector<TSection>& sections, const std::vector<TMask>& masks) {
  // The layout is read and checked first, so a wrong root or layout leaves no file written.
  const std::string layoutPath = root + "/assets/Maruk_rom.layout";
  const std::string layout = ReadText(layoutPath);
  const std::string updated = ReplaceSkinBlock(layout, sections, masks);
  const TPictures drawn = DrawPictures(masks);
  TPictures pictures{Palettised(drawn.Master), Palettised(drawn.Huge)};
  std::filesystem::create_directories(root + "/assets/skin");
  SaveBmpFile(pictures.Master, 8, root + "/assets/skin/BlueGlass.bmp");
  SaveBmpFile(pictures.Huge, 8, root + "/assets/skin/" + kHugeName);
  std::printf("assets/skin/BlueGlass.bmp: %zu colours drawn, %zu kept\n", DistinctColours(drawn.Master),
              DistinctColours(pictures.Master));
  std::printf("assets/skin/%s: %zu colours drawn, %zu kept\n", kHugeName, DistinctColours(drawn.Huge),
              DistinctColours(pictures.Huge));
  if (updated != layout) WriteText(layoutPath, updated);
  std::printf("assets/Maruk_rom.layout: %zu sections, %zu masks%s\n", sections.size(), masks.size(),
              updated != layout ? "" : " (unchanged)");
  return pictures;
}

}  // namespace SkinArt
