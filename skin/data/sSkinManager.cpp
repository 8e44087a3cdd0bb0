#include "skin/data/sSkinManager.h"

#include "platform/graphics/StartupTrace.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <dirent.h>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sCommonSections.h"
#include "skin/data/sSkinFolderReader.h"
#include "skin/data/sSkinMessage.h"

namespace {
TsSkinManager* gDefaultManager = nullptr;
bool gSkinChanging = false;
bool gBroadcasting = false;

// Rounds halves to even, whatever the rounding mode in force.
long RoundEven(double v) {
  const double r = std::nearbyint(v);
  if (std::fegetround() == FE_TONEAREST) return long(r);
  const double f = std::floor(v);
  const double diff = v - f;
  if (diff < 0.5) return long(f);
  if (diff > 0.5) return long(f + 1);
  return long(std::fmod(f, 2.0) == 0 ? f : f + 1);
}

int Clamp255(long v) { return int(std::clamp<long>(v, 0, 255)); }
}  // namespace

TsSkinManager* DefaultManager() { return gDefaultManager; }
bool SkinIsChanging() { return gSkinChanging; }
bool BroadcastInProgress() { return gBroadcasting; }

void RegisterSkinMessage() {
  static const bool done = [] {
    RegisterWindowMessage("SM_KARVOCMD");  // the fixed number SM_KARVOCMD is used anyway
    return true;
  }();
  (void)done;
}

// ---- Colour shifts -----------------------------------------------------------------------------

TColor ShiftHue(TColor color, int degrees) {
  const COLORREF rgb = ColorToRGB(color);
  const int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
  const int v = std::max({r, g, b});
  const int delta = v - std::min({r, g, b});
  const double s = v == 0 ? 0.0 : double(delta) / v;
  if (s == 0) return TColor(rgb);
  double h;
  if (r == v) h = 60.0 * (g - b) / delta;
  else if (g == v) h = 120.0 + 60.0 * (b - r) / delta;
  else h = 240.0 + 60.0 * (r - g) / delta;
  if (h < 0) h += 360;
  const int h2 = int(RoundEven(h + degrees) % 360);
  const int i = h2 / 60;
  const double f = h2 / 60.0 - i;
  const int p = Clamp255(RoundEven(v * (1 - s)));
  const int q = Clamp255(RoundEven(v * (1 - f * s)));
  const int t = Clamp255(RoundEven(v * (1 - (1 - f) * s)));
  switch (i) {
    case 0: return TColor(RGB(v, t, p));
    case 1: return TColor(RGB(q, v, p));
    case 2: return TColor(RGB(p, v, t));
    case 3: return TColor(RGB(p, q, v));
    case 4: return TColor(RGB(t, p, v));
    default: return TColor(RGB(v, p, q));
  }
}

TColor ShiftSaturation(TColor color, int amount) {
  // A system colour names an index, not channels: shift the colour it stands for.
  const uint32_t value = (uint32_t(color) & 0xFF000000u) == 0xFF000000u ? ColorToRGB(color) : uint32_t(color);
  const int r = int(value & 0xFF), g = int((value >> 8) & 0xFF), b = int((value >> 16) & 0xFF);
  const double avg = (r + g + b) / 3.0;
  auto move = [&](int c) { return Clamp255(RoundEven(c + amount * (avg - c) / 100.0)); };
  return TColor((value & 0xFF000000u) | uint32_t(move(r)) | (uint32_t(move(g)) << 8) | (uint32_t(move(b)) << 16));
}

// Negating the remainder rather than the setting: -INT_MIN does not fit in an int.
int SaturationAmount(int saturation) { return -(saturation % 101); }

void ShiftSkinPicture(TDib* dib, int hue, int saturationAmount) {
  if (!dib || dib->Empty() || (hue == 0 && saturationAmount == 0)) return;
  dib->ConvertTo24();
  const int rowDistance = dib->RowDistance();
  uint8_t* row = dib->Row0();
  for (int y = 0; y < dib->Height(); ++y, row += rowDistance) {
    uint8_t* p = row;
    for (int x = 0; x < dib->Width(); ++x, p += 3) {
      const COLORREF c = RGB(p[2], p[1], p[0]);
      if (c == kSkinKeyColor || (p[0] == p[1] && p[1] == p[2])) continue;
      TColor n = TColor(c);
      if (hue != 0) n = ShiftHue(n, hue);
      if (saturationAmount != 0) n = ShiftSaturation(n, saturationAmount);
      p[0] = GetBValue(COLORREF(n));
      p[1] = GetGValue(COLORREF(n));
      p[2] = GetRValue(COLORREF(n));
    }
  }
}

// ---- TkvMenuSupport ----------------------------------------------------------------------------

void TkvMenuSupport::Assign(const TPersistent* source) {
  auto* s = dynamic_cast<const TkvMenuSupport*>(source);
  if (!s) return TPersistent::Assign(source);
  IcoLineSkin = s->IcoLineSkin;
  UseExtraLine = s->UseExtraLine;
  ExtraLineWidth = s->ExtraLineWidth;
  FExtraLineFont.Assign(&s->FExtraLineFont);
}

const TPropertyTable& TkvMenuSupport::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TkvMenuSupport> b(t);
    b.String("IcoLineSkin", [](TkvMenuSupport& m, const std::string& v) { m.IcoLineSkin = v; });
    b.Boolean("UseExtraLine", [](TkvMenuSupport& m, bool v) { m.UseExtraLine = v; });
    b.Integer("ExtraLineWidth", [](TkvMenuSupport& m, int64_t v) { m.ExtraLineWidth = int(v); });
    b.Object("ExtraLineFont", [](TkvMenuSupport& m) -> TPersistent* { return m.ExtraLineFont(); });
    return t;
  }();
  return table;
}

// ---- TsSkinManager -----------------------------------------------------------------------------

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner) {
  RegisterSkinMessage();
  if (!gDefaultManager) {
    FDefaultFlag = true;
    gDefaultManager = this;
    // The default manager sees the application's own window messages first.
    if (Application && !InState(csDesigning))
      FAppHook = Application->HookMainWindow([this](TMessage& m) {
        if (m.Msg == SkinFolderMessage() && FFolderWatch && m.WParam == FFolderWatch) {
          SkinFolderChanged();
          return true;
        }
        return FMenus && FMenus->HandleAppMessage(m);
      });
  }
  FSkinDirectory = "c:\\Skins";
  FShippedSkinDirectory = ::ShippedSkinDirectory();
  FMenuSupport.IcoLineSkin = "ICOLINE";
  if (TsMenuPainter::Factory()) FMenus = TsMenuPainter::Factory()(this);
}

TsSkinManager::~TsSkinManager() {
  if (gDefaultManager == this) gDefaultManager = nullptr;
}

void TsSkinManager::BeforeDestruction() {
  Destroying();
  if (FActive) {
    FActive = false;
    Removal();
  }
  if (FMenus) FMenus->Activate(false);
  FMenus.reset();
  StopFollowingSkinFolder();
  if (FAppHook && Application) Application->UnhookMainWindow(FAppHook);
  FAppHook = 0;
  if (gDefaultManager == this) gDefaultManager = nullptr;
  TComponent::BeforeDestruction();
}

void TsSkinManager::SetSkinnedPopups(bool value) {
  if (value == FSkinnedPopups) return;
  FSkinnedPopups = value;
  if (FMenus && !InState(csDesigning | csLoading)) FMenus->Activate(FActive && FSkinData.Ready);
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
  if (FMenuSupport.IcoLineSkin.empty()) FMenuSupport.IcoLineSkin = "ICOLINE";
  if (FActive && !FSkinName.empty()) Apply();
}

bool TsSkinManager::IsDefault() const { return gDefaultManager == this; }

void TsSkinManager::SetIsDefault(bool value) {
  if (value || !gDefaultManager) {
    gDefaultManager = this;
    FDefaultFlag = true;
    if (!FActive) Removal();
    else {
      Apply();
      RepaintForms();
    }
  } else {
    FDefaultFlag = gDefaultManager == this;
  }
}

void TsSkinManager::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  if (value) {
    SetSkinName(FSkinName);
  } else {
    if (!InState(csLoading)) Removal();
    UpdateIndexes();
  }
}

void TsSkinManager::SetCommonSections(const std::vector<std::string>& lines) {
  FCommonSections.clear();
  for (const std::string& line : lines)
    FCommonSections.push_back(!line.empty() && line[0] != ';' ? RemoveChar(line, ' ') : line);
  SetSkinName(FSkinName);
}

void TsSkinManager::SetSaturation(int value) {
  if (value == FSaturation) return;
  FSaturation = value;
  gSkinChanging = true;
  if (FSkinData.Ready) {
    LoadSkin();
    gSkinChanging = false;
    if (!InState(csLoading | csReading)) RepaintForms();
  }
}

void TsSkinManager::SetHueOffset(int value) {
  if (value == FHueOffset) return;
  FHueOffset = value;
  gSkinChanging = true;
  if (FSkinData.Ready) {
    LoadSkin();
    gSkinChanging = false;
    if (!InState(csLoading | csReading)) RepaintForms();
  }
}

void TsSkinManager::SetSkinDirectory(const std::string& value) {
  if (value == FSkinDirectory) return;
  FSkinDirectory = value;
  FSkinData.SkinPath = ResolveSkinDirectory();
}

void TsSkinManager::SetSkinName(const std::string& value) {
  const std::string previousName = FSkinName;
  FSkinName = value;
  if (!FActive) return;
  if (OnBeforeChange) OnBeforeChange(this);
  gSkinChanging = true;
  // The skin in use stays ready while the new one is read: a message about one that cannot be
  // read shows over controls that go on painting. Apply makes the new one ready.
  TraceStartup("skin load starts");
  if (LoadSkin()) {
    TraceStartup("skin loaded");
    if (FActive) Apply();
    TraceStartup("skin applied");
  } else {
    // The skin could not be read: the one in use stays, as the controls see it.
    FSkinName = previousName;
  }
  gSkinChanging = false;
  if (OnAfterChange) OnAfterChange(this);
}

// The folder of the skin in use changed (sSkinManager_Watch.cpp): read it again, as choosing
// the skin would, but from the same folder; one that cannot be read keeps the skin in use.
void TsSkinManager::ReloadSkinFolder() {
  const std::string skinPath = FSkinData.SkinPath;
  if (!FActive || skinPath.empty()) return;
  if (OnBeforeChange) OnBeforeChange(this);
  gSkinChanging = true;
  std::string reason;
  if (ReadSkinFolder(skinPath, reason)) Apply();
  else ShowSkinMessage(CannotLoadText(skinPath, reason, true));
  gSkinChanging = false;
  if (OnAfterChange) OnAfterChange(this);
}

std::string TsSkinManager::SkinInfo() const {
  if (!FSkinData.Ready) return "N/A";
  // Fifteen significant digits, as much as a double holds; to_chars ignores the locale.
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, FSkinData.Version, std::chars_format::general, 15);
  return std::string(buf, end.ptr);
}

std::string TsSkinManager::ResolveSkinDirectory() const { return ::ResolveSkinDirectory(FSkinDirectory, ProgramFolder()); }

std::string TsSkinManager::FindSkinFolder(const std::string& name) const {
  // A name that walks out of the skin folders is no skin folder.
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) return {};
  for (const std::string& folder : {ResolveSkinDirectory(), FShippedSkinDirectory}) {
    if (folder.empty()) continue;
    std::string base = folder;
    if (base.back() != '/' && base.back() != '\\') base += '\\';
    if (!FindSkinFile(base + name + "\\", "Options.dat").empty()) return base + name + "\\";
  }
  return {};
}

bool TsSkinManager::LoadSkin() {
  if (!FActive) return true;
  gSkinChanging = true;
  // Everything is read into fresh arrays; the skin in use is replaced only once they are
  // complete.
  const std::string skinPath = FindSkinFolder(FSkinName);
  if (!skinPath.empty()) {
    std::string reason;
    if (ReadSkinFolder(skinPath, reason)) return true;
    const bool keep = !FArrays.Sections.empty();
    ShowSkinMessage(CannotLoadText(skinPath, reason, keep));
    if (keep) return false;
    // Nothing to keep: go on with the internal skins.
  }
  int index = FInternalSkins.FindSkin(FSkinName);
  if (index < 0) {
    if (FInternalSkins.Count() == 0) {
      FActive = false;
      return true;
    }
    FSkinName = FInternalSkins.Items(0)->Name;
    index = 0;
  }
  TsSkinArrays arrays;
  TsSkinData info = FSkinData;
  try {
    BuildFromStoredSkin(*FInternalSkins.Items(index), this, arrays, info);
    MergeCommonSections(FCommonSections, this, "", arrays);
  } catch (const std::exception& e) {
    ShowSkinMessage("The common sections cannot be added to the skin \"" + FSkinName + "\": " + e.what() + ".");
  }
  ShiftSkin(arrays, info, FHueOffset, SaturationAmount(FSaturation));
  info.SkinPath.clear();
  FArrays = std::move(arrays);
  FSkinData = info;
  FollowSkinFolder();
  return true;
}

bool TsSkinManager::ReadSkinFolder(const std::string& skinPath, std::string& reason) {
  TsSkinArrays arrays;
  TsSkinData info = FSkinData;
  try {
    TsSkinFolderReader reader(this, skinPath);
    reader.Read(arrays, info);
    MergeCommonSections(FCommonSections, this, skinPath, arrays);
    ShiftSkin(arrays, info, FHueOffset, SaturationAmount(FSaturation));
  } catch (const std::exception& e) {
    reason = e.what();
    while (!reason.empty() && reason.back() == '.') reason.pop_back();
    return false;
  }
  info.SkinPath = skinPath;
  FArrays = std::move(arrays);
  FSkinData = info;
  FollowSkinFolder();
  return true;
}

std::string TsSkinManager::CannotLoadText(const std::string& skinPath, const std::string& reason, bool keep) const {
  return "The skin \"" + FSkinName + "\" cannot be loaded from " + SkinFsPath(skinPath) + ":\n" + reason + ".\n\n" +
         (keep ? "The skin in use stays active." : "The program's internal skin is used instead.");
}

void ShiftSkin(TsSkinArrays& arrays, TsSkinData& info, int hue, int sat) {
  if (hue == 0 && sat == 0) return;
  auto shift = [&](TColor c) {
    if (hue != 0) c = ShiftHue(c, hue);
    if (sat != 0) c = ShiftSaturation(c, sat);
    return c;
  };
  ShiftSkinPicture(arrays.MasterBitmap.get(), hue, sat);
  for (TsMaskData& m : arrays.Masks) ShiftSkinPicture(m.Bmp.get(), hue, sat);
  for (TsGeneralData& s : arrays.Sections) {
    s.Color = shift(s.Color);
    s.HotColor = shift(s.HotColor);
    for (TColor* c : {&s.FontColor, &s.TCLeft, &s.TCTop, &s.TCRight, &s.TCBottom, &s.HotFontColor, &s.HotTCLeft,
                      &s.HotTCTop, &s.HotTCRight, &s.HotTCBottom})
      if (*c != -1) *c = shift(*c);
    for (TsGradArray* a : {&s.GradientArray, &s.HotGradientArray})
      for (TsGradPiece& p : *a) {
        p.Color1 = shift(p.Color1);
        p.Color2 = shift(p.Color2);
      }
  }
  info.Shadow1Color = shift(info.Shadow1Color);
}

void TsSkinManager::Apply() {
  if (FMenus) FMenus->SkinChanged();
  FSkinData.Ready = false;
  gBroadcasting = true;
  UpdateIndexes();
  TMessage changed{SM_KARVOCMD, MakeSkinCommand(AC_SKINCHANGED), reinterpret_cast<LPARAM>(this), 0};
  BroadcastCommand(changed);
  gBroadcasting = false;
  FSkinData.Ready = true;
  if (FMenus && !InState(csDesigning)) FMenus->Activate(true);
  RepaintForms();
}

void TsSkinManager::RepaintForms() {
  if (!InState(csDesigning)) {
    TMessage stop{SM_KARVOCMD, MakeSkinCommand(AC_STOPFADING), reinterpret_cast<LPARAM>(this), 0};
    BroadcastCommand(stop);
  }
  TMessage refresh{SM_KARVOCMD, MakeSkinCommand(AC_REFRESH), reinterpret_cast<LPARAM>(this), 0};
  BroadcastCommand(refresh);
}

void TsSkinManager::Removal() {
  StopFollowingSkinFolder();
  FSkinData.Ready = false;
  if (FMenus) {
    FMenus->Activate(false);
    FMenus->SkinChanged();
  }
  TMessage removed{SM_KARVOCMD, MakeSkinCommand(AC_REMOVESKIN), reinterpret_cast<LPARAM>(this), 0};
  BroadcastCommand(removed);
  FArrays = TsSkinArrays();
}

// ---- Lookups -----------------------------------------------------------------------------------

int TsSkinManager::FindSection(const std::string& name) const {
  for (size_t i = 0; i < FArrays.Sections.size(); ++i)
    if (FArrays.Sections[i].SectionName == name) return int(i);
  return -1;
}

namespace {
// Follows ParentClass from `sectionIndex` until `match` finds an entry (at most as many steps
// as there are sections, so a loop of parents ends too).
template <class Match>
int FindInherited(const std::vector<TsGeneralData>& sections, int sectionIndex, std::string sectionName, Match match) {
  for (size_t steps = 0; steps <= sections.size(); ++steps) {
    if (sectionIndex < 0 || sectionName.empty()) return -1;
    const int found = match(sectionName);
    if (found >= 0) return found;
    if (size_t(sectionIndex) >= sections.size()) return -1;
    const std::string& parent = sections[size_t(sectionIndex)].ParentClass;
    if (parent.empty() || parent == sectionName) return -1;
    int parentIndex = -1;
    for (size_t i = 0; i < sections.size(); ++i)
      if (sections[i].SectionName == parent) {
        parentIndex = int(i);
        break;
      }
    if (parentIndex < 0) return -1;
    sectionIndex = parentIndex;
    sectionName = parent;
  }
  return -1;
}
}  // namespace

int TsSkinManager::FindMask(int sectionIndex, const std::string& sectionName, const std::string& propertyName) const {
  return FindInherited(FArrays.Sections, sectionIndex, sectionName, [&](const std::string& section) {
    for (size_t i = 0; i < FArrays.Masks.size(); ++i)
      if (FArrays.Masks[i].SectionName == section && FArrays.Masks[i].PropertyName == propertyName) return int(i);
    return -1;
  });
}

int TsSkinManager::FindTexture(int sectionIndex, const std::string& sectionName, const std::string& propertyName) const {
  if (FArrays.Masks.empty()) return -1;
  return FindInherited(FArrays.Sections, sectionIndex, sectionName, [&](const std::string& section) {
    for (size_t i = 0; i < FArrays.Masks.size(); ++i) {
      const TsMaskData& m = FArrays.Masks[i];
      if (m.ImgType == itisaTexture && m.SectionName == section && m.PropertyName == propertyName) return int(i);
    }
    return -1;
  });
}

int TsSkinManager::FindPattern(int sectionIndex, const std::string& sectionName, const std::string& propertyName) const {
  if (FArrays.Patterns.empty()) return -1;
  return FindInherited(FArrays.Sections, sectionIndex, sectionName, [&](const std::string& section) {
    for (size_t i = 0; i < FArrays.Patterns.size(); ++i)
      if (FArrays.Patterns[i].SectionName == section && FArrays.Patterns[i].PropertyName == propertyName) return int(i);
    return -1;
  });
}

int TsSkinManager::FindMaskDirect(const std::string& sectionName, const std::string& propertyName) const {
  if (sectionName.empty()) return -1;
  for (size_t i = 0; i < FArrays.Masks.size(); ++i)
    if (FArrays.Masks[i].SectionName == sectionName && FArrays.Masks[i].PropertyName == propertyName) return int(i);
  return -1;
}

bool TsSkinManager::IsValidSectionIndex(int index) const { return index >= 0 && size_t(index) < FArrays.Sections.size(); }
bool TsSkinManager::IsValidMaskIndex(int index) const { return index >= 0 && size_t(index) < FArrays.Masks.size(); }

int TsSkinManager::MaskBorderLeft(int mask) const {
  const TsMaskData& m = FArrays.Masks[size_t(mask)];
  if (m.WL > 0) return m.WL;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return DefaultBorderWidthH(m.R, m.ImageCount);
}

int TsSkinManager::MaskBorderRight(int mask) const {
  const TsMaskData& m = FArrays.Masks[size_t(mask)];
  if (m.WR > 0) return m.WR;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return DefaultBorderWidthH(m.R, m.ImageCount);
}

int TsSkinManager::MaskBorderTop(int mask) const {
  const TsMaskData& m = FArrays.Masks[size_t(mask)];
  if (m.WT > 0) return m.WT;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return DefaultBorderWidthV(m.R, m.MaskType);
}

int TsSkinManager::MaskBorderBottom(int mask) const {
  const TsMaskData& m = FArrays.Masks[size_t(mask)];
  if (m.WB > 0) return m.WB;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return DefaultBorderWidthV(m.R, m.MaskType);
}

COLORREF TsSkinManager::GlobalColor() const {
  const int g = FIndexes.GlobalInfo;
  if (g < 0 || size_t(g) >= FArrays.Sections.size()) return ColorToRGB(clBtnFace);
  return ColorToRGB(FArrays.Sections[size_t(g)].Color);
}

COLORREF TsSkinManager::GlobalFontColor() const {
  const int g = FIndexes.GlobalInfo;
  if (g < 0 || size_t(g) >= FArrays.Sections.size()) return kSkinKeyColor;
  return ColorToRGB(FArrays.Sections[size_t(g)].FontColor);
}

void TsSkinManager::GetSkinNames(std::vector<std::string>& list, std::string& first) const {
  list.clear();
  first.clear();
  for (int i = 0; i < FInternalSkins.Count(); ++i) {
    list.push_back(FInternalSkins.Items(i)->Name);
    if (i == 0) first = list.back();
  }
  // The user's skin folder, then the skins that ship with the program; a name counts once.
  for (const std::string& folder : {ResolveSkinDirectory(), FShippedSkinDirectory}) {
    if (folder.empty() || !SkinDirExists(folder)) continue;
    std::string base = folder;
    if (base.back() != '/' && base.back() != '\\') base += '\\';
    DIR* d = opendir(SkinFsPath(base).c_str());
    if (!d) continue;
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name.empty() || name[0] == '.') continue;
      if (SkinDirExists(base + name) && !FindSkinFile(base + name + "\\", "Options.dat").empty()) names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());  // directory order differs between systems
    for (const std::string& n : names) {
      if (std::find(list.begin(), list.end(), n) != list.end()) continue;
      list.push_back(n);
      if (first.empty()) first = n;
    }
  }
  std::sort(list.begin(), list.end());
}

void TsSkinManager::UpdateIndexes() {
  TsPresetIndexes& x = FIndexes;
  x = TsPresetIndexes();
  if (!FActive || FArrays.Sections.empty()) return;
  auto s16 = [](int v) { return int16_t(v); };
  x.GlobalInfo = s16(FindSection("GLOBALINFO"));
  if (x.GlobalInfo >= 0) {
    auto g = [&](const char* p) { return s16(FindMask(x.GlobalInfo, "GLOBALINFO", p)); };
    x.CheckBoxChecked = g("BOXCHECKED");
    x.CheckBoxUnChecked = g("BOXUNCHECKED");
    x.CheckBoxGrayed = g("BOXGRAYED");
    x.RadioButtonChecked = g("RADIOCHECKED");
    x.RadioButtonUnChecked = g("RADIOUNCHECKED");
    x.RadioButtonGrayed = g("RADIOGRAYED");
    x.SmallBoxChecked = g("SMALLCHECKED");
    x.SmallBoxUnChecked = g("SMALLUNCHECKED");
    x.SmallBoxGrayed = g("SMALLGRAYED");
  }
  struct TTab {
    const char* Name;
    int16_t* Section;
    int16_t* Mask;
  } tabs[] = {{"TABTOP", &x.TabTop, &x.TabTopMask}, {"TABBOTTOM", &x.TabBottom, &x.TabBottomMask},
              {"TABLEFT", &x.TabLeft, &x.TabLeftMask}, {"TABRIGHT", &x.TabRight, &x.TabRightMask}};
  for (const TTab& t : tabs) {
    *t.Section = s16(FindSection(t.Name));
    *t.Mask = s16(FindMask(*t.Section, t.Name, "BORDERSMASK"));
  }
  struct TScroll {
    const char* Name;
    int16_t *Section, *Mask, *Glyph, *Pattern, *HotPattern;
  } scrolls[] = {
      {"SCROLLBTNTOP", &x.ScrollBtnTop, &x.ScrollBtnTopMask, &x.ScrollBtnTopGlyph, &x.ScrollBtnTopPattern, &x.ScrollBtnTopHotPattern},
      {"SCROLLBTNBOTTOM", &x.ScrollBtnBottom, &x.ScrollBtnBottomMask, &x.ScrollBtnBottomGlyph, &x.ScrollBtnBottomPattern,
       &x.ScrollBtnBottomHotPattern},
      {"SCROLLBTNLEFT", &x.ScrollBtnLeft, &x.ScrollBtnLeftMask, &x.ScrollBtnLeftGlyph, &x.ScrollBtnLeftPattern,
       &x.ScrollBtnLeftHotPattern},
      {"SCROLLBTNRIGHT", &x.ScrollBtnRight, &x.ScrollBtnRightMask, &x.ScrollBtnRightGlyph, &x.ScrollBtnRightPattern,
       &x.ScrollBtnRightHotPattern},
      {"SCROLLSLIDERV", &x.ScrollSliderV, &x.ScrollSliderVMask, &x.ScrollSliderVGlyph, &x.ScrollSliderVPattern,
       &x.ScrollSliderVHotPattern},
      {"SCROLLSLIDERH", &x.ScrollSliderH, &x.ScrollSliderHMask, &x.ScrollSliderHGlyph, &x.ScrollSliderHPattern,
       &x.ScrollSliderHHotPattern},
  };
  for (const TScroll& s : scrolls) {
    *s.Section = s16(FindSection(s.Name));
    *s.Mask = s16(FindMask(*s.Section, s.Name, "BORDERSMASK"));
    *s.Glyph = *s.Section >= 0 ? s16(FindMask(*s.Section, s.Name, "GLYPHMASK")) : int16_t(-1);
    *s.Pattern = s16(FindMask(*s.Section, s.Name, "PATTERN"));
    *s.HotPattern = s16(FindMask(*s.Section, s.Name, "HOTPATTERN"));
  }
  struct TBar {
    const char* Name;
    int16_t *Section, *Mask, *Pattern, *HotPattern;
  } bars[] = {{"SCROLLBAR1H", &x.ScrollBar1H, &x.ScrollBar1HMask, &x.ScrollBar1HPattern, &x.ScrollBar1HHotPattern},
              {"SCROLLBAR1V", &x.ScrollBar1V, &x.ScrollBar1VMask, &x.ScrollBar1VPattern, &x.ScrollBar1VHotPattern},
              {"SCROLLBAR2H", &x.ScrollBar2H, &x.ScrollBar2HMask, &x.ScrollBar2HPattern, &x.ScrollBar2HHotPattern},
              {"SCROLLBAR2V", &x.ScrollBar2V, &x.ScrollBar2VMask, &x.ScrollBar2VPattern, &x.ScrollBar2VHotPattern}};
  for (const TBar& b : bars) {
    *b.Section = s16(FindSection(b.Name));
    *b.Mask = s16(FindMask(*b.Section, b.Name, "BORDERSMASK"));
    *b.Pattern = s16(FindMask(*b.Section, b.Name, "PATTERN"));
    *b.HotPattern = s16(FindMask(*b.Section, b.Name, "HOTPATTERN"));
  }
  x.ComboBtn = FindSection("COMBOBTN");
  x.ComboBtnMask = FindMaskDirect("COMBOBTN", "BORDERSMASK");
  x.ComboBtnPattern = FindTexture(x.ComboBtn, "COMBOBTN", "PATTERN");
  x.ComboBtnHotPattern = FindTexture(x.ComboBtn, "COMBOBTN", "HOTPATTERN");
  x.ComboGlyph = FindMaskDirect("COMBOBOX", "GLYPHMASK");
}

// ---- Broadcasting ------------------------------------------------------------------------------

void SendToChildren(TWinControl* container, TMessage message) {
  if (!container) return;
  try {
    for (int i = 0; i < container->ControlCount(); ++i) {
      TControl* child = container->Controls(i);
      if (child->InState(csDestroying)) return;
      if (!child->IsWindowed()) {
        TMessage m = message;
        child->WindowProc(m);
        continue;
      }
      TMessage query{SM_KARVOCMD, MakeSkinCommand(AC_OWNBROADCAST), 0, 0};
      child->WindowProc(query);
      if (query.LParam == 1) {
        TMessage m = message;
        child->WindowProc(m);
      } else {
        SendToChildren(static_cast<TWinControl*>(child), message);
      }
    }
  } catch (...) {
    // A receiver's error ends this container's walk only.
  }
}

void BroadcastCommand(TMessage message) {
  if (!Application) return;
  for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
    // Receivers may free forms; once the index has run past the end the walk is over.
    if (i >= Application->ComponentCount()) break;
    auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
    if (!form || form->InState(csDestroying)) continue;
    try {
      TMessage m = message;
      if (form->HandleAllocated()) SendMessage(form->Handle(), m.Msg, m.WParam, m.LParam);
      else form->WindowProc(m);
    } catch (...) {
    }
    SendToChildren(form, message);
  }
}

// ---- Published properties ----------------------------------------------------------------------

const TPropertyTable& TsSkinManager::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TsSkinManager> b(t);
    using M = TsSkinManager;
    b.Boolean("IsDefault", [](M& m, bool v) { m.SetIsDefault(v); });
    b.Boolean("Active", [](M& m, bool v) { m.SetActive(v); });
    b.Strings("CommonSections", [](M& m, const std::vector<std::string>& v) { m.SetCommonSections(v); });
    b.Integer("Saturation", [](M& m, int64_t v) { m.SetSaturation(int(v)); });
    b.Integer("HueOffset", [](M& m, int64_t v) { m.SetHueOffset(int(v)); });
    b.Collection("InternalSkins", [](M& m) -> TCollection* { return m.InternalSkins(); });
    b.Object("MenuSupport", [](M& m) -> TPersistent* { return m.MenuSupport(); });
    b.String("SkinDirectory", [](M& m, const std::string& v) { m.SetSkinDirectory(v); });
    b.String("SkinName", [](M& m, const std::string& v) { m.SetSkinName(v); });
    b.String("SkinInfo", [](M&, const std::string&) {});  // read-only in effect
    b.Boolean("SkinnedPopups", [](M& m, bool v) { m.SetSkinnedPopups(v); });
    b.Event<TNotifyEvent>("OnAfterChange", [](M& m, TNotifyEvent e) { m.OnAfterChange = std::move(e); });
    b.Event<TNotifyEvent>("OnBeforeChange", [](M& m, TNotifyEvent e) { m.OnBeforeChange = std::move(e); });
    b.Event<TkvGetExtraLineData>("OnGetMenuExtraLineData",
                                 [](M& m, TkvGetExtraLineData e) { m.OnGetMenuExtraLineData = std::move(e); });
    return t;
  }();
  return table;
}

void RegisterSkinManagerClasses() { RegisterComponentClass<TsSkinManager>("TsSkinManager"); }
