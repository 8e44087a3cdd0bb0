#include "skin/data/sStoredSkins.h"

#include <stdexcept>

#include "platform/components/PropertyBuilder.h"

int DefaultBorderWidthH(const TRect& r, int imageCount) {
  const int d = imageCount * 3;
  return d == 0 ? 0 : r.Width() / d;
}

int DefaultBorderWidthV(const TRect& r, int maskType) {
  const int d = (maskType + 1) * 3;
  return d == 0 ? 0 : r.Height() / d;
}

namespace {

void AddBevel(TPropertyBuilder<TsSkinGeneral>& b, const char* name, TsControlBevel TsSkinGeneral::*field) {
  b.Enum<TsControlBevel>(name, {{"cbNone", cbNone}, {"cbRaisedSoft", cbRaisedSoft}, {"cbLoweredSoft", cbLoweredSoft},
                                {"cbRaisedHard", cbRaisedHard}, {"cbLoweredHard", cbLoweredHard}},
                         [field](TsSkinGeneral& g, TsControlBevel v) { g.*field = v; });
}

}  // namespace

// ---- Sections ----------------------------------------------------------------------------------

void TsSkinGeneral::Assign(const TPersistent* source) {
  auto* s = dynamic_cast<const TsSkinGeneral*>(source);
  if (!s) return TCollectionItem::Assign(source);
  SectionName = s->SectionName; ParentClass = s->ParentClass; Color = s->Color; Bevel = s->Bevel;
  ShadowBlur = s->ShadowBlur; ShadowColor = s->ShadowColor; ShadowDontUse = s->ShadowDontUse;
  ShadowEnabled = s->ShadowEnabled; ReservedBoolean = s->ReservedBoolean; ShadowOffset = s->ShadowOffset;
  ShadowTransparency = s->ShadowTransparency; FontColor = s->FontColor; HotFontColor = s->HotFontColor;
  Transparency = s->Transparency; GradientPercent = s->GradientPercent; GradientData = s->GradientData;
  ImagePercent = s->ImagePercent; ShowFocus = s->ShowFocus; FadingEnabled = s->FadingEnabled;
  FadingIntervalIn = s->FadingIntervalIn; FadingIntervalOut = s->FadingIntervalOut;
  FadingIterations = s->FadingIterations; HotColor = s->HotColor; HotTransparency = s->HotTransparency;
  HotBevel = s->HotBevel; HotGradientPercent = s->HotGradientPercent; HotGradientData = s->HotGradientData;
  HotImagePercent = s->HotImagePercent; BorderColor1 = s->BorderColor1; BorderColor2 = s->BorderColor2; Name = s->Name;
}

const TPropertyTable& TsSkinGeneral::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsSkinGeneral> b(t);
    using G = TsSkinGeneral;
    auto str = [&](const char* n, std::string G::*f) { b.String(n, [f](G& g, const std::string& v) { g.*f = v; }); };
    auto num = [&](const char* n, int G::*f) { b.Integer(n, [f](G& g, int64_t v) { g.*f = int(v); }); };
    auto col = [&](const char* n, TColor G::*f) { b.Color(n, [f](G& g, TColor v) { g.*f = v; }); };
    auto flag = [&](const char* n, bool G::*f) { b.Boolean(n, [f](G& g, bool v) { g.*f = v; }); };
    str("SectionName", &G::SectionName);
    str("ParentClass", &G::ParentClass);
    col("Color", &G::Color);
    AddBevel(b, "Bevel", &G::Bevel);
    num("ShadowBlur", &G::ShadowBlur);
    col("ShadowColor", &G::ShadowColor);
    flag("ShadowDontUse", &G::ShadowDontUse);
    flag("ShadowEnabled", &G::ShadowEnabled);
    flag("ReservedBoolean", &G::ReservedBoolean);
    num("ShadowOffset", &G::ShadowOffset);
    num("ShadowTransparency", &G::ShadowTransparency);
    str("FontColor", &G::FontColor);
    str("HotFontColor", &G::HotFontColor);
    num("Transparency", &G::Transparency);
    num("GradientPercent", &G::GradientPercent);
    str("GradientData", &G::GradientData);
    num("ImagePercent", &G::ImagePercent);
    flag("ShowFocus", &G::ShowFocus);
    flag("FadingEnabled", &G::FadingEnabled);
    num("FadingIntervalIn", &G::FadingIntervalIn);
    num("FadingIntervalOut", &G::FadingIntervalOut);
    num("FadingIterations", &G::FadingIterations);
    col("HotColor", &G::HotColor);
    num("HotTransparency", &G::HotTransparency);
    AddBevel(b, "HotBevel", &G::HotBevel);
    num("HotGradientPercent", &G::HotGradientPercent);
    str("HotGradientData", &G::HotGradientData);
    num("HotImagePercent", &G::HotImagePercent);
    col("BorderColor1", &G::BorderColor1);
    col("BorderColor2", &G::BorderColor2);
    str("Name", &G::Name);
    return t;
  }();
  return table;
}

// ---- Masks -------------------------------------------------------------------------------------

void TsSkinImage::Assign(const TPersistent* source) {
  auto* s = dynamic_cast<const TsSkinImage*>(source);
  if (!s) return TCollectionItem::Assign(source);
  SectionName = s->SectionName;
  FImage.Assign(&s->FImage);
  Name = s->Name; PropertyName = s->PropertyName;
  Left = s->Left; Top = s->Top; Right = s->Right; Bottom = s->Bottom;
  ImageCount = s->ImageCount; MaskType = s->MaskType; BorderWidth = s->BorderWidth; StretchMode = s->StretchMode;
  ImgType = s->ImgType; WL = s->WL; WR = s->WR; WT = s->WT; WB = s->WB;
}

const TPropertyTable& TsSkinImage::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsSkinImage> b(t);
    using I = TsSkinImage;
    auto num = [&](const char* n, int I::*f) { b.Integer(n, [f](I& i, int64_t v) { i.*f = int(v); }); };
    b.String("SectionName", [](I& i, const std::string& v) { i.SectionName = v; });
    b.Object("Image", [](I& i) -> TPersistent* { return i.Image(); });
    b.String("Name", [](I& i, const std::string& v) { i.Name = v; });
    b.String("PropertyName", [](I& i, const std::string& v) { i.PropertyName = v; });
    num("Left", &I::Left);
    num("Top", &I::Top);
    num("Right", &I::Right);
    num("Bottom", &I::Bottom);
    num("ImageCount", &I::ImageCount);
    num("MaskType", &I::MaskType);
    num("BorderWidth", &I::BorderWidth);
    num("StretchMode", &I::StretchMode);
    b.Enum<TkvImgType>("ImgType", {{"itisaBorder", itisaBorder}, {"itisaTexture", itisaTexture}, {"itisaGlyph", itisaGlyph}},
                       [](I& i, TkvImgType v) { i.ImgType = v; });
    num("WL", &I::WL);
    num("WR", &I::WR);
    num("WT", &I::WT);
    num("WB", &I::WB);
    return t;
  }();
  return table;
}

// ---- Patterns ----------------------------------------------------------------------------------

void TsSkinPattern::Assign(const TPersistent* source) {
  auto* s = dynamic_cast<const TsSkinPattern*>(source);
  if (!s) return TCollectionItem::Assign(source);
  SectionName = s->SectionName;
  FImage.Assign(&s->FImage);
  Name = s->Name;
  PropertyName = s->PropertyName;
}

const TPropertyTable& TsSkinPattern::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsSkinPattern> b(t);
    b.String("SectionName", [](TsSkinPattern& p, const std::string& v) { p.SectionName = v; });
    b.Object("Image", [](TsSkinPattern& p) -> TPersistent* { return p.Image(); });
    b.String("Name", [](TsSkinPattern& p, const std::string& v) { p.Name = v; });
    b.String("PropertyName", [](TsSkinPattern& p, const std::string& v) { p.PropertyName = v; });
    return t;
  }();
  return table;
}

// ---- Skins -------------------------------------------------------------------------------------

void TsStoredSkin::Assign(const TPersistent* source) {
  auto* s = dynamic_cast<const TsStoredSkin*>(source);
  if (!s) return TCollectionItem::Assign(source);
  Name = s->Name;
  FGeneralData.Assign(&s->FGeneralData);
  FImages.Assign(&s->FImages);
  FPatterns.Assign(&s->FPatterns);
  FMasterBitmap.Assign(&s->FMasterBitmap);
  Shadow1Color = s->Shadow1Color;
  Shadow1Offset = s->Shadow1Offset;
  Shadow1Blur = s->Shadow1Blur;
  Shadow1Transparency = s->Shadow1Transparency;
  Version = s->Version;
  Author = s->Author;
  Description = s->Description;
}

const TPropertyTable& TsStoredSkin::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsStoredSkin> b(t);
    using S = TsStoredSkin;
    b.String("Name", [](S& s, const std::string& v) { s.Name = v; });
    b.Collection("GeneralData", [](S& s) -> TCollection* { return s.GeneralData(); });
    b.Collection("Images", [](S& s) -> TCollection* { return s.Images(); });
    b.Collection("Patterns", [](S& s) -> TCollection* { return s.Patterns(); });
    b.Object("MasterBitmap", [](S& s) -> TPersistent* { return s.MasterBitmap(); });
    b.Color("Shadow1Color", [](S& s, TColor v) { s.Shadow1Color = v; });
    b.Integer("Shadow1Offset", [](S& s, int64_t v) { s.Shadow1Offset = int(v); });
    b.Integer("Shadow1Blur", [](S& s, int64_t v) { s.Shadow1Blur = int(v); });
    b.Integer("Shadow1Transparency", [](S& s, int64_t v) { s.Shadow1Transparency = int(v); });
    b.Float("Version", [](S& s, double v) { s.Version = v; });
    b.String("Author", [](S& s, const std::string& v) { s.Author = v; });
    b.String("Description", [](S& s, const std::string& v) { s.Description = v; });
    return t;
  }();
  return table;
}

int TsStoredSkins::FindSkin(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name == name) return i;
  return -1;
}

// ---- Building the run-time records -------------------------------------------------------------

namespace {

TDib To24(const TDib& d) {
  TDib out = d.As24();
  return out;
}

void BuildSection(const TsSkinGeneral& g, TsGeneralData& d) {
  d.ParentClass = g.ParentClass;
  d.SectionName = g.SectionName;
  d.Color = g.Color;
  d.Bevel = g.Bevel;
  ParseFontColor(g.FontColor, d.FontColor, d.TCLeft, d.TCTop, d.TCRight, d.TCBottom);
  ParseFontColor(g.HotFontColor, d.HotFontColor, d.HotTCLeft, d.HotTCTop, d.HotTCRight, d.HotTCBottom);
  d.ReservedBoolean = g.ReservedBoolean;
  d.ShadowBlur = g.ShadowBlur;
  d.ShadowColor = g.ShadowColor;
  d.ShadowEnabled = g.ShadowEnabled;
  d.ShadowOffset = g.ShadowOffset;
  d.ShadowTransparency = g.ShadowTransparency;
  d.Transparency = g.Transparency;
  d.GradientPercent = g.GradientPercent;
  d.GradientData = g.GradientData;
  ParseGradientData(g.GradientData, d.GradientArray);
  d.ImagePercent = g.ImagePercent;
  d.ShowFocus = g.ShowFocus;
  d.FadingEnabled = g.FadingEnabled;
  d.FadingIntervalIn = g.FadingIntervalIn;
  d.FadingIntervalOut = g.FadingIntervalOut;
  d.FadingIterations = g.FadingIterations;
  d.HotColor = g.HotColor;
  d.HotTransparency = g.HotTransparency;
  d.HotBevel = g.HotBevel;
  d.HotGradientPercent = g.HotGradientPercent;
  d.HotGradientData = g.HotGradientData;
  ParseGradientData(g.HotGradientData, d.HotGradientArray);
  d.HotImagePercent = g.HotImagePercent;
  d.BorderColor1 = g.BorderColor1;
  d.BorderColor2 = g.BorderColor2;
}

}  // namespace

void BuildFromStoredSkin(const TsStoredSkin& skin, TsSkinManager* manager, TsSkinArrays& out, TsSkinData& info) {
  info.Version = skin.Version;
  info.Author = skin.Author;
  info.Description = skin.Description;
  info.Shadow1Color = skin.Shadow1Color;
  info.Shadow1Offset = skin.Shadow1Offset;
  info.Shadow1Blur = skin.Shadow1Blur;
  info.Shadow1Transparency = skin.Shadow1Transparency;

  out.MasterBitmap = std::make_unique<TDib>(To24(skin.MasterBitmap()->Dib()));
  out.MasterBitmap->Transparent = true;
  out.MasterBitmap->TransparentColor = kSkinKeyColor;

  out.Masks.clear();
  const TsSkinImages& images = *skin.Images();
  for (int i = 0; i < images.Count(); ++i) {
    const TsSkinImage& item = *images.Items(i);
    TsMaskData m;
    if (!item.Name.empty()) {
      m.Bmp = std::make_unique<TDib>(To24(item.Image()->Dib()));
      m.R = {0, 0, m.Bmp->Width(), m.Bmp->Height()};
    } else {
      m.R = {item.Left, item.Top, item.Right, item.Bottom};
    }
    m.PropertyName = UpperCase(item.PropertyName);
    m.SectionName = UpperCase(item.SectionName);
    m.ImageCount = int16_t(item.ImageCount);
    m.MaskType = int16_t(item.MaskType);
    if (m.ImageCount == 0) {
      m.MaskType = 1;
      m.ImageCount = 3;
    }
    m.BorderWidth = int16_t(item.BorderWidth);
    if (m.PropertyName != "PATTERN" && m.PropertyName != "HOTPATTERN") {
      m.StretchMode = int16_t(item.StretchMode);
      m.ImgType = item.ImgType;
    } else {
      m.ImgType = itisaTexture;
      m.StretchMode = item.ImgType == itisaTexture ? int16_t(item.StretchMode) : int16_t(0);
    }
    m.WL = int16_t(item.WL);
    m.WT = int16_t(item.WT);
    m.WR = int16_t(item.WR);
    m.WB = int16_t(item.WB);
    if (m.WL == 0 && m.WT == 0 && m.WR == 0 && m.WB == 0) {
      if (m.BorderWidth != 0) {
        m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
      } else {
        m.WL = m.WR = int16_t(DefaultBorderWidthH(m.R, m.ImageCount));
        m.WT = m.WB = int16_t(DefaultBorderWidthV(m.R, m.MaskType));
      }
    }
    m.Manager = manager;
    // A carried picture that turns out empty is no mask at all.
    if (m.Bmp && m.Bmp->Empty()) continue;
    out.Masks.push_back(std::move(m));
  }

  out.Patterns.clear();
  const TsSkinPatterns& patterns = *skin.Patterns();
  for (int i = 0; i < patterns.Count(); ++i) {
    const TsSkinPattern& item = *patterns.Items(i);
    TsPatternData p;
    p.Img = std::make_unique<TDib>();
    if (item.Image()->Empty()) {
      // Items with the same name share one picture: take the first one that has it.
      for (int j = 0; j < patterns.Count(); ++j) {
        const TsSkinPattern& other = *patterns.Items(j);
        if (other.Name == item.Name && !other.Image()->Empty()) {
          *p.Img = other.Image()->Dib();
          break;
        }
      }
    } else {
      *p.Img = item.Image()->Dib();
    }
    p.SectionName = UpperCase(item.SectionName);
    p.PropertyName = UpperCase(item.PropertyName);
    out.Patterns.push_back(std::move(p));
  }

  out.Sections.clear();
  const TsSkinGenerals& generals = *skin.GeneralData();
  for (int i = 0; i < generals.Count(); ++i) {
    TsGeneralData d;
    try {
      BuildSection(*generals.Items(i), d);
    } catch (const std::invalid_argument&) {
      // Unreadable numbers stop this item with what it has; the next one goes on.
    }
    out.Sections.push_back(std::move(d));
  }
}
