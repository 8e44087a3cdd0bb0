#include "skin/render/sCommonData.h"

#include <algorithm>

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sMaskPainter.h"

TColor ParentFillColor = 0xFF00FF;
TColor GlyphFillColor = 0xFF00FF;

TsBgSource& PublishedBgSource() {
  static TsBgSource source;
  return source;
}

bool IsNoHoverKind(int controlKind) {
  return (controlKind >= 51 && controlKind <= 74) || controlKind == 110 || (controlKind >= 141 && controlKind <= 161);
}

std::string DefaultSectionForKind(int controlKind) {
  switch (controlKind) {
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 10: case 41: case 76: case 78: case 83: case 84:
    case 96: case 97: case 131: case 140: case 227:
      return "EDIT";
    case 11: case 12: case 13: case 14: case 15: case 16: case 17: case 18: case 81: case 82:
      return "COMBOBOX";
    case 19: return "BAR";
    case 20: return "BARTITLE";
    case 32: case 152: return "CHECKBOX";
    case 33: return "RADIOBUTTON";
    case 51: case 59: case 68: case 73: return "PANEL";
    case 52: case 58: return "PANEL_LOW";
    case 53: case 54: case 60: return "TOOLBAR";
    case 56: return "DRAGBAR";
    case 57: return "TABSHEET";
    case 74: case 226: return "GROUPBOX";
    case 75: return "SPLITTER";
    case 92: case 95: return "SPEEDBUTTON";
    case 93: case 94: return "BUTTON";
    case 98: return "TOOLBUTTON";
    case 141: return "PAGECONTROL";
    case 143: return "TABCONTROL";
    case 151: return "STATUSBAR";
    case 161: return "GAUGE";
    case 165: return "TRACKBAR";
    default: return {};
  }
}

namespace {

// The link's section in its effective manager, or nullptr.
const TsGeneralData* SectionOf(const TsCommonData& link) {
  TsSkinManager* manager = link.GetSkinManager();
  if (!manager || !manager->IsValidSectionIndex(link.SectionIndex)) return nullptr;
  return &manager->Sections()[size_t(link.SectionIndex)];
}

bool HasSections(TsSkinManager* manager) { return manager && !manager->Sections().empty(); }

bool WindowExists(TWinControl* control) { return control && control->HandleAllocated(); }

uint8_t MixChannel(int transparency, int parent, int own) {
  return uint8_t(std::clamp((transparency * (parent - own) + own * 256) >> 8, 0, 255));
}

}  // namespace

bool AskSkinQuery(TControl* target, unsigned command) {
  if (!target) return false;
  TMessage message{SM_KARVOCMD, MakeSkinCommand(command), 0, 0};
  try {
    target->WindowProc(message);
  } catch (...) {
    return false;  // a receiver that fails counts as a no
  }
  return message.LParam == 1;
}

LRESULT SendSkinCommand(TControl* target, unsigned command, unsigned flag, LPARAM lParam) {
  if (!target) return 0;
  if (target->IsWindowed()) {
    auto* windowed = static_cast<TWinControl*>(target);
    if (windowed->HandleAllocated()) return SendMessage(windowed->Handle(), SM_KARVOCMD, MakeSkinCommand(command, flag), lParam);
  }
  return target->Perform(SM_KARVOCMD, MakeSkinCommand(command, flag), lParam);
}

// ---- Life -----------------------------------------------------------------------------------------

TsCommonData::TsCommonData(TComponent* owner, bool withCache)
    : FOwner(owner), FControl(dynamic_cast<TControl*>(owner)) {
  if (withCache) FCache = std::make_unique<TDib>();
}

TsCommonData::~TsCommonData() {
  BorderMaskIndex = SectionIndex = PatternIndex = HotPatternIndex = -1;
  FControl = nullptr;
  FOwner = nullptr;
  FSkinManager = nullptr;
  FCache.reset();
}

TsSkinManager* TsCommonData::GetSkinManager() const { return FSkinManager ? FSkinManager : DefaultManager(); }

// ---- Properties -------------------------------------------------------------------------------

void TsCommonData::SetCustomColor(bool value) { FCustomColor = value; }

void TsCommonData::SetCustomFont(bool value) {
  if (value == FCustomFont) return;
  FCustomFont = value;
  InvalidateCache();
}

void TsCommonData::SetSkinSection(const std::string& name) {
  if (name == FSkinSection) return;
  FSkinSection = name.empty() ? std::string("UNKNOWN") : UpperCase(name);
  TsSkinManager* manager = GetSkinManager();
  if (!HasSections(manager)) SectionIndex = -1;
  else ResolveIndexes();
  if (FControl && FControl->Parent() && !FControl->InState(csDestroying)) {
    const bool valid = HasSections(manager) && manager->IsValidSectionIndex(SectionIndex);
    FControl->Perform(SM_KARVOCMD, MakeSkinCommand(valid ? AC_REFRESH : AC_REMOVESKIN), reinterpret_cast<LPARAM>(manager));
  }
}

void TsCommonData::SetSkinManager(TsSkinManager* manager) {
  if (manager == FSkinManager) return;
  FSkinManager = manager == DefaultManager() ? nullptr : manager;
  TsLinkHost* host = Host();
  if (FControl ? FControl->InState(csLoading) : host && FOwner->InState(csLoading)) return;
  if (HasSections(manager)) ResolveIndexes();
  else SectionIndex = -1;
  const bool valid = HasSections(manager) && manager->IsValidSectionIndex(SectionIndex);
  TMessage command{SM_KARVOCMD, MakeSkinCommand(valid ? AC_REFRESH : AC_REMOVESKIN), reinterpret_cast<LPARAM>(manager), 0};
  try {
    if (host) host->HandleLinkCommand(command);
    else if (FControl && FControl->Parent() && !FControl->InState(csDestroying))
      FControl->Perform(command.Msg, command.WParam, command.LParam);
  } catch (...) {
  }
}

// ---- Sections ---------------------------------------------------------------------------------

void TsCommonData::ResolveIndexes() {
  CacheInvalid = true;
  TsSkinManager* manager = GetSkinManager();
  SectionIndex = manager ? manager->FindSection(FSkinSection) : -1;
  if (SectionIndex < 0) {
    // The border mask goes too: an index left from another section or skin would point at a
    // mask that has nothing to do with this control.
    BorderMaskIndex = PatternIndex = HotPatternIndex = -1;
    return;
  }
  BorderMaskIndex = manager->FindMask(SectionIndex, FSkinSection, "BORDERSMASK");
  PatternIndex = manager->FindTexture(SectionIndex, FSkinSection, "PATTERN");
  HotPatternIndex = manager->FindTexture(SectionIndex, FSkinSection, "HOTPATTERN");
}

void TsCommonData::ChooseSection() {
  if (!FSkinSection.empty()) {
    ResolveIndexes();
    return;
  }
  std::string name = DefaultSectionForKind(ControlKind);
  if (name.empty() && FOwner) name = FOwner->ClassName();
  SetSkinSection(name);
}

void TsCommonData::AfterLoad() {
  ChooseSection();
  if (FControl && !IsSkinned(false) && IsThemeActive()) FControl->ControlStyle &= ~csParentBackground;
}

bool TsCommonData::IsSkinned(bool requireReady) const {
  if (!FOwner || FOwner->InState(csDestroying)) return false;
  TsSkinManager* manager = GetSkinManager();
  if (!manager || manager->InState(csDestroying)) return false;
  if (requireReady && !manager->SkinData().Ready) return false;
  return manager->IsValidSectionIndex(SectionIndex);
}

bool TsCommonData::HasTransparency() const {
  const TsGeneralData* section = SectionOf(*this);
  return section && section->Transparency > 0;
}

int TsCommonData::StateFromInput() const {
  if (!FControl || FControl->InState(csDestroying | csDesigning) || !FControl->Enabled()) return 0;
  if (HasFocus || (FControl->IsWindowed() && static_cast<TWinControl*>(FControl)->Focused())) return 1;
  if (!MouseOver) return 0;
  return IsNoHoverKind(ControlKind) ? 0 : 1;
}

bool TsCommonData::IsDeferred() {
  TsSkinManager* manager = GetSkinManager();
  if (!manager || !manager->SkinData().Ready) return true;
  if (!FControl || FControl->InState(csDestroying)) return Deferred;
  if (Deferred || !FControl->Parent()) return true;
  return AskSkinQuery(FControl->Parent(), AC_DEFERREDQUERY);
}

// ---- Cache ------------------------------------------------------------------------------------

void TsCommonData::SizeCache() {
  if (!FCache) FCache = std::make_unique<TDib>();
  FCache->ConvertTo24();
  if (!FControl) return;
  if (FCache->Width() != FControl->Width() || FCache->Height() != FControl->Height())
    FCache->SetSize(std::max(FControl->Width(), 0), std::max(FControl->Height(), 0));
}

void TsCommonData::InvalidateCache() {
  if (!FControl || FControl->InState(csDestroying | csLoading)) return;
  CacheInvalid = true;
  if (!(FControl->ControlState & csCreating) && !FControl->InState(csReading) && FControl->Parent())
    FControl->Invalidate();
}

bool TsCommonData::DependsOnParent() {
  if (RebuildSuspended || !IsSkinned()) return true;
  if (!FControl || (FControl->ControlState & csCreating) || !FControl->Visible()) return true;
  const TsGeneralData* section = SectionOf(*this);
  if (!section) return false;
  const bool depends = !FControl->Enabled() || section->Transparency > 0;
  if (depends && WindowExists(FControl->Parent())) return AskSkinQuery(FControl->Parent(), AC_TEXTUREDQUERY);
  return depends;
}

bool TsCommonData::ParentIsTextured() {
  if (!FControl || !WindowExists(FControl->Parent())) return false;
  return AskSkinQuery(FControl->Parent(), AC_TEXTUREDQUERY);
}

void TsCommonData::GetParentBackground(TsBgSource& source) {
  source = TsBgSource();
  PublishedBgSource().Valid = false;
  if (!FControl || !FControl->Parent()) return;
  try {
    SendSkinCommand(FControl->Parent(), AC_GETCACHE, 0, 0);
  } catch (...) {
  }
  source = PublishedBgSource();
}

// ---- The skin message -------------------------------------------------------------------------

bool TsCommonData::HandleSkinCommand(TMessage& message) {
  const unsigned command = SkinCommandOf(message.WParam);
  const unsigned flag = SkinCommandFlag(message.WParam);
  auto* sender = reinterpret_cast<TsSkinManager*>(message.LParam);
  switch (command) {
    case AC_SKINCHANGED:
      if (sender != GetSkinManager()) return false;
      Deferred = true;
      ResolveIndexes();
      return true;
    case AC_REMOVESKIN:
      if (sender != GetSkinManager()) return false;
      if (sender && sender->InState(csDestroying)) FSkinManager = nullptr;
      BorderMaskIndex = SectionIndex = PatternIndex = HotPatternIndex = -1;
      Deferred = true;
      if (FCache) FCache->SetSize(0, 0);
      return true;
    case AC_REFRESH:
      if (sender != GetSkinManager()) return false;
      CacheInvalid = true;
      Deferred = false;
      return true;
    case AC_GETCACHE: {
      TsBgSource& published = PublishedBgSource();
      published.Image = FCache.get();
      published.OffsetX = published.OffsetY = 0;
      published.Valid = FCache != nullptr;
      return true;
    }
    case AC_OWNBROADCAST:
      message.LParam = 1;
      return true;
    case AC_SETDEFERRED:
      Deferred = flag == 1;
      return true;
    case AC_SUSPENDREBUILD:
      RebuildSuspended = flag == 1;
      return true;
    case AC_DEFERREDQUERY:
      message.LParam = (CacheInvalid || IsDeferred()) ? 1 : 0;
      return true;
    case AC_PARTLYHIDDENQUERY:
      message.LParam = PartlyHidden ? 1 : 0;
      return true;
    case AC_TEXTUREDQUERY: {
      if (SectionIndex < 0) return false;
      const TsGeneralData* section = SectionOf(*this);
      const bool textured = section && section->GradientPercent + section->ImagePercent > 0;
      message.LParam = (textured || DependsOnParent()) ? 1 : 0;
      return true;
    }
    case AC_PARENTCHANGED: {
      const bool depends = DependsOnParent();
      CacheInvalid = CacheInvalid || depends;
      if (FControl && FControl->IsWindowed()) {
        auto* windowed = static_cast<TWinControl*>(FControl);
        if (flag == 1 && windowed->HandleAllocated())
          RedrawWindow(windowed->Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_NOERASE | RDW_NOINTERNALPAINT | RDW_ALLCHILDREN);
        if (depends)
          for (int i = 0; i < windowed->ControlCount(); ++i) {
            TControl* child = windowed->Controls(i);
            if (!child->InState(csDestroying)) SendSkinCommand(child, AC_PARENTCHANGED, 0, 0);
          }
      }
      return true;
    }
    case AC_BGCOLORQUERY: {
      const TsGeneralData* section = IsSkinned() ? SectionOf(*this) : nullptr;
      if (!section) {
        if (FControl) ParentFillColor = TColor(ColorToRGB(FControl->Color()));
        return true;
      }
      if (section->Transparency == 0) {
        ParentFillColor = section->Color;
        return true;
      }
      // What lies behind: the parent's own answer, else its colour.
      COLORREF behind = FControl ? ColorToRGB(FControl->Color()) : ColorToRGB(section->Color);
      if (FControl && FControl->Parent()) {
        TWinControl* parent = FControl->Parent();
        ParentFillColor = TColor(kSkinKeyColor);
        SendSkinCommand(parent, AC_BGCOLORQUERY, 0, 0);
        behind = COLORREF(ParentFillColor) == kSkinKeyColor ? ColorToRGB(parent->Color()) : ColorToRGB(ParentFillColor);
      }
      if (section->Transparency == 100) {
        ParentFillColor = TColor(behind);
        return true;
      }
      const COLORREF own = ColorToRGB(section->Color);
      const int t = section->Transparency;
      ParentFillColor = TColor(RGB(MixChannel(t, GetRValue(behind), GetRValue(own)),
                                   MixChannel(t, GetGValue(behind), GetGValue(own)),
                                   MixChannel(t, GetBValue(behind), GetBValue(own))));
      return true;
    }
    case AC_MARKPARTLYHIDDEN:
      PartlyHidden = true;
      return true;
    default:
      return false;
  }
}

bool TsCommonData::HandleMessage(TMessage& message) {
  switch (message.Msg) {
    case SM_KARVOCMD:
      return HandleSkinCommand(message);
    case WM_MOVE:
      if (FControl && DependsOnParent()) FControl->Perform(SM_KARVOCMD, MakeSkinCommand(AC_PARENTCHANGED, 1), 0);
      return false;
    case WM_SIZE: {
      if (!IsSkinned()) return false;
      CacheInvalid = true;
      const TsGeneralData* section = SectionOf(*this);
      if (FControl && FControl->IsWindowed() && section && section->GradientPercent > 0) {
        auto* windowed = static_cast<TWinControl*>(FControl);
        for (int i = 0; i < windowed->ControlCount(); ++i) {
          TControl* child = windowed->Controls(i);
          if (!child->InState(csDestroying) && (child->Anchors() & (akRight | akBottom)) == 0)
            SendSkinCommand(child, AC_PARENTCHANGED, 1, 0);
        }
      }
      return false;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (FControl && FControl->IsWindowed()) {
        auto* windowed = static_cast<TWinControl*>(FControl);
        if (windowed->CanFocus() && windowed->TabStop()) {
          CacheInvalid = true;
          HasFocus = message.Msg == WM_SETFOCUS;
        }
      }
      return false;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
      MouseOver = false;
      HasFocus = false;
      return false;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      const TComponent* subject = FControl ? FControl : FOwner;
      if (subject && subject->InState(csDesigning)) return false;
      if (!IsNoHoverKind(ControlKind)) MouseOver = message.Msg == CM_MOUSEENTER;
      return false;
    }
    case WM_UPDATEUISTATE:
      if (IsSkinned()) return true;
      if (IsThemeActive() && FControl && FControl->IsWindowed() && static_cast<TWinControl*>(FControl)->HandleAllocated())
        SetWindowTheme(static_cast<TWinControl*>(FControl)->Handle(), nullptr, nullptr);
      return false;
    default:
      return false;
  }
}

// ---- Copying the cache ------------------------------------------------------------------------

void TsCommonData::PaintCacheTo(const TRect& origin, bool repairCorners, HDC dc, const TRect& clip) {
  if (!dc) return;
  if (repairCorners) RepairAllCorners(this, 0);
  const int saved = SaveDC(dc);
  try {
    IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
    if (FControl && FControl->IsWindowed()) {
      auto* windowed = static_cast<TWinControl*>(FControl);
      const bool designing = windowed->InState(csDesigning);
      for (int i = 0; i < windowed->ControlCount(); ++i) {
        TControl* child = windowed->Controls(i);
        if (!child->Visible()) continue;
        const TRect r = child->BoundsRect().Offset(origin.Right, origin.Bottom);
        if (r.Intersect(clip).IsEmpty()) continue;
        if ((child->ControlStyle & csOpaque) || !child->IsWindowed() || designing)
          ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
      }
    }
    if (FCache && !FCache->Empty()) {
      TDC source(FCache.get());
      BitBlt(dc, clip.Left, clip.Top, clip.Width(), clip.Height(), &source, origin.Left, origin.Top, SRCCOPY);
    }
  } catch (...) {
    RestoreDC(dc, saved);
    throw;
  }
  RestoreDC(dc, saved);
}

// ---- Stored properties ------------------------------------------------------------------------

const TPropertyTable& TsCommonData::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsCommonData> b(t);
    b.Boolean("CustomColor", [](TsCommonData& d, bool v) { d.SetCustomColor(v); });
    b.Boolean("CustomFont", [](TsCommonData& d, bool v) { d.SetCustomFont(v); });
    b.Reference<TsSkinManager>("SkinManager", [](TsCommonData& d, TsSkinManager* m) { d.SetSkinManager(m); });
    b.String("SkinSection", [](TsCommonData& d, const std::string& v) { d.SetSkinSection(v); });
    return t;
  }();
  return table;
}
