#include "frame/sSkinProvider.h"

#include "controls/sHintWindow.h"
#include "frame/sGrip.h"
#include "frame/sScrollBar.h"
#include "menus/sSkinMenus.h"
#include "menus/sSystemMenu.h"
#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/PropertyRanges.h"
#include "skin/data/sSkinManager.h"

namespace {
constexpr int kControlKind = 224;
constexpr UINT CM_COLORCHANGED_ = 0xB00D, CM_MENUCHANGED_ = 0xB015;
// Sent by a window system with MDI to a child window when it becomes the active one; ours
// never sends it, a program may.
constexpr UINT WM_CHILDACTIVATE = 0x0022;
static_assert(CM_COLORCHANGED_ == CM_COLORCHANGED && CM_MENUCHANGED_ == CM_MENUCHANGED);
}  // namespace

// ---- Title buttons and icon --------------------------------------------------------------------

TsTitleButton::TsTitleButton(TCollection* collection) : TCollectionItem(collection) {}

void TsTitleButton::Assign(const TPersistent* source) {
  if (auto* b = dynamic_cast<const TsTitleButton*>(source)) {
    Enabled = b->Enabled;
    FGlyph.Assign(&b->FGlyph);
    Name = b->Name;
    UseSkinData = b->UseSkinData;
    OnMouseDown = b->OnMouseDown;
    OnMouseUp = b->OnMouseUp;
    return;
  }
  TCollectionItem::Assign(source);
}

const TPropertyTable& TsTitleButton::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsTitleButton> b(t);
    b.Boolean("Enabled", [](TsTitleButton& t, bool v) { t.Enabled = v; });
    b.Object("Glyph", [](TsTitleButton& t) -> TPersistent* { return t.Glyph(); });
    b.String("Name", [](TsTitleButton& t, const std::string& v) { t.Name = v; });
    b.Boolean("UseSkinData", [](TsTitleButton& t, bool v) { t.UseSkinData = v; });
    b.template Event<TMouseEvent>("OnMouseDown", [](TsTitleButton& t, TMouseEvent e) { t.OnMouseDown = std::move(e); });
    b.template Event<TMouseEvent>("OnMouseUp", [](TsTitleButton& t, TMouseEvent e) { t.OnMouseUp = std::move(e); });
    return t;
  }();
  return table;
}

void TsTitleIcon::Assign(const TPersistent* source) {
  if (auto* i = dynamic_cast<const TsTitleIcon*>(source)) {
    FGlyph.Assign(&i->FGlyph);
    Height = i->Height;
    Width = i->Width;
    return;
  }
  TPersistent::Assign(source);
}

const TPropertyTable& TsTitleIcon::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsTitleIcon> b(t);
    b.Object("Glyph", [](TsTitleIcon& i) -> TPersistent* { return i.Glyph(); });
    b.Integer("Height", TIntRange{0, 256}, [](TsTitleIcon& i, int64_t v) { i.Height = int(v); });
    b.Integer("Width", TIntRange{0, 256}, [](TsTitleIcon& i, int64_t v) { i.Width = int(v); });
    return t;
  }();
  return table;
}

// ---- Life ----------------------------------------------------------------------------------------

TsSkinProvider::TsSkinProvider(TComponent* owner)
    : TComponent(owner), FForm(dynamic_cast<TCustomForm*>(owner)), FSkinData(this, true) {
  FSkinData.ControlKind = kControlKind;
  FSkinData.SetSkinSection("FORM");
  if (!FForm || InState(csDesigning)) return;
  FSavedAutoScroll = FForm->AutoScroll;
  FForm->AutoScroll = false;
  FSavedBorderIcons = FForm->BorderIcons();
  FMenuLineCount = -1;
  FFormActive = true;
  FOldWindowProc = FForm->WindowProc;
  FForm->WindowProc = [this](TMessage& m) { NewWndProc(m); };
  if (FSkinData.GetSkinManager()) Prepare();
}

TsSkinProvider::~TsSkinProvider() { *FAlive = false; }

void TsSkinProvider::BeforeDestruction() {
  if (FForm && FOldWindowProc && !InState(csDesigning)) FForm->WindowProc = FOldWindowProc;
  FOldWindowProc = nullptr;
  if (FSysMenu) {
    TsSystemMenu* menu = FSysMenu;
    FSysMenu = nullptr;
    TComponent::Free(menu);
  }
  TComponent::BeforeDestruction();
}

void TsSkinProvider::Loaded() {
  TComponent::Loaded();
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager || InState(csDesigning) || !manager->Active()) return;
  Prepare();
  if (FSysMenu) FSysMenu->UpdateItems();
  for (int i = 0; i < FTitleButtons.Count(); ++i) {
    TsTitleButton* b = FTitleButtons.Items(i);
    b->Record.ImageIndex = b->UseSkinData ? FTitleButtonMask : -1;
  }
}

void TsSkinProvider::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove) {
    if (component == FVertBar) FVertBar = nullptr;
    if (component == FHorzBar) FHorzBar = nullptr;
    if (component == FGrip) FGrip = nullptr;
  }
  auto* manager = dynamic_cast<TsSkinManager*>(component);
  if (!manager) return;
  if (operation == opInsert && !FSkinData.SkinManager()) FSkinData.SetSkinManager(manager);
  if (operation == opRemove && FSkinData.SkinManager() == manager) FSkinData.SetSkinManager(nullptr);
}

bool TsSkinProvider::Skinned() const {
  if (!FForm || FForm->InState(csDestroying) || InState(csDestroying)) return false;
  TsSkinManager* manager = FSkinData.GetSkinManager();
  return manager && manager->Active() && FSkinData.IsSkinned();
}

void TsSkinProvider::Prepare() {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager || !FForm) return;
  FSkinData.ChooseSection();
  if (!FSysMenu) {
    FSysMenu = new TsSystemMenu(this, this);
    FSysMenu->SetForm(FForm);
    FSysMenu->UpdateItems();
  }
  if (!FIconsCleared && manager->Active() && FSkinData.IsSkinned()) {
    // The frame draws its own buttons; the window system must draw none.
    FIconsCleared = true;
    try {
      FForm->SetBorderIcons(0);
    } catch (...) {
    }
  }
  FSkinData.ResolveIndexes();
  ResolveButtonGlyphs();
  if (!FForm->InState(csLoading | csReading) && !InState(csLoading)) SetFormColour();
}

void TsSkinProvider::SetFormColour() {
  if (!FUseGlobalColor || FSkinData.CustomColor() || !FForm) return;
  TsSkinManager* manager = FSkinData.GetSkinManager();
  FForm->SetColor(manager && manager->Active() && FSkinData.IsSkinned() ? TColor(manager->GlobalColor()) : clBtnFace);
}

// ---- Properties -----------------------------------------------------------------------------------

void TsSkinProvider::SetCaptionAlignment(TAlignment value) {
  if (value == FCaptionAlignment) return;
  FCaptionAlignment = value;
  FSkinData.CacheInvalid = true;
  if (FForm && FForm->Visible() && FForm->HandleAllocated()) SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::SetShowAppIcon(bool value) {
  if (value == FShowAppIcon) return;
  FShowAppIcon = value;
  FSkinData.CacheInvalid = true;
  if (FForm && FForm->Visible() && FForm->HandleAllocated()) SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::SetTitleSkin(const std::string& value) {
  if (value == FTitleSkin) return;
  FTitleSkin = value;
  FSkinData.CacheInvalid = true;
  if (FForm && FForm->Visible() && FForm->HandleAllocated()) SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::SetUseGlobalColor(bool value) {
  FUseGlobalColor = value;
  if (!FForm || FSkinData.CustomColor()) return;
  TsSkinManager* manager = FSkinData.GetSkinManager();
  FForm->SetColor(value && manager && manager->Active() && FSkinData.IsSkinned() ? TColor(manager->GlobalColor())
                                                                                   : clBtnFace);
}

// ---- Frame metrics ----------------------------------------------------------------------------------

bool TsSkinProvider::Bordered() const { return FForm && FForm->BorderStyle() != bsNone; }

int TsSkinProvider::CaptionHeight() const {
  if (!Bordered()) return 0;
  const TFormBorderStyle s = FForm->BorderStyle();
  return GetSystemMetrics(s == bsToolWindow || s == bsSizeToolWin ? SM_CYSMCAPTION : SM_CYCAPTION);
}

int TsSkinProvider::BorderHeight() const {
  if (!Bordered()) return 0;
  const TFormBorderStyle s = FForm->BorderStyle();
  return GetSystemMetrics(s == bsSizeable || s == bsSizeToolWin ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
}

int TsSkinProvider::BorderWidth() const {
  if (!Bordered()) return 0;
  const TFormBorderStyle s = FForm->BorderStyle();
  return GetSystemMetrics(s == bsSizeable || s == bsSizeToolWin ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
}

bool TsSkinProvider::MainMenuShown() const {
  if (!FForm || FForm->BorderStyle() == bsDialog || !FForm->Menu()) return false;
  TMenuItem* items = FForm->Menu()->Items();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i)->Visible()) return true;
  return false;
}

int TsSkinProvider::MenuRowHeight() const { return FForm && FForm->Menu() ? GetSystemMetrics(SM_CYMENU) - 1 : 0; }

int TsSkinProvider::TopBandHeight() const {
  if (!FForm || !FForm->HandleAllocated()) return 0;
  TRect window, client;
  GetWindowRect(FForm->Handle(), &window);
  GetClientRect(FForm->Handle(), &client);
  int t = window.Height() - client.Height() - (Bordered() ? BorderHeight() : 0);
  t = std::max(t, 0);
  if (IsIconic(FForm->Handle())) t += BorderHeight();
  return t;
}

int TsSkinProvider::SideBandWidth() const { return BorderWidth() + (FForm ? FForm->BorderWidth : 0); }
int TsSkinProvider::BottomBandHeight() const { return BorderHeight() + (FForm ? FForm->BorderWidth : 0); }

TPoint TsSkinProvider::ClientOffset() const {
  if (!FForm || !FForm->HandleAllocated()) return {};
  TRect window, client;
  GetWindowRect(FForm->Handle(), &window);
  GetClientRect(FForm->Handle(), &client);
  const int y = window.Height() - client.Height() - (Bordered() ? BorderHeight() + FForm->BorderWidth : 0);
  return {(window.Width() - client.Width()) / 2, y};
}

bool TsSkinProvider::IconShown() const {
  return FShowAppIcon && FForm && (FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable);
}

TRect TsSkinProvider::IconRect() const {
  if (!IconShown()) return {BorderWidth(), 0, BorderWidth(), 0};
  const int c = CaptionHeight();
  const int w = FTitleIcon.Width ? FTitleIcon.Width : AutoIconSize(c), h = FTitleIcon.Height ? FTitleIcon.Height : AutoIconSize(c);
  const int left = BorderWidth(), top = (c + BorderHeight() - h) / 2;
  return {left, top, left + w, top + h};
}

int AutoIconSize(int captionHeight) {
  return captionHeight < 9 ? 0 : captionHeight <= 16 ? 8 : captionHeight <= 27 ? 16 : 32;
}

// ---- Button predicates --------------------------------------------------------------------------------

namespace {
TWindowState StateOf(const TCustomForm* form) { return form ? form->WindowState() : wsNormal; }
}  // namespace

bool TsSkinProvider::CloseShown() const { return (BorderIcons & biSystemMenu) != 0; }

bool TsSkinProvider::MaximizeShown() const {
  if (!FForm) return false;
  if (StateOf(FForm) == wsMinimized) return true;
  const TFormBorderStyle s = FForm->BorderStyle();
  if (s == bsDialog || s == bsNone || s == bsToolWindow || s == bsSizeToolWin) return false;
  if (s == bsSingle && !(BorderIcons & biMaximize)) return false;
  return (BorderIcons & biSystemMenu) != 0;
}

bool TsSkinProvider::MinimizeShown() const {
  if (!FForm) return false;
  if (StateOf(FForm) == wsMinimized) return true;
  const TFormBorderStyle s = FForm->BorderStyle();
  if (s == bsDialog || s == bsNone || s == bsToolWindow || s == bsSizeToolWin) return false;
  if (s == bsSingle && !(BorderIcons & biMinimize)) return false;
  return (BorderIcons & biSystemMenu) != 0;
}

bool TsSkinProvider::HelpShown() const { return (BorderIcons & biHelp) != 0; }

bool TsSkinProvider::CanMaximize() const {
  if (!FForm || !(BorderIcons & biMaximize) || StateOf(FForm) == wsMaximized) return false;
  const TFormBorderStyle s = FForm->BorderStyle();
  return s == bsSingle || s == bsSizeable || s == bsSizeToolWin;
}

bool TsSkinProvider::CanMinimize() const { return (BorderIcons & biMinimize) && StateOf(FForm) != wsMinimized; }

bool TsSkinProvider::CanRestore() const {
  const TWindowState ws = StateOf(FForm);
  return ((BorderIcons & biMaximize) && ws != wsNormal) || ws == wsMinimized;
}

TsSkinManager* TsSkinProvider::MenuSkinManager() { return FSkinData.GetSkinManager(); }

bool TsSkinProvider::SystemGroupExists() const { return (BorderIcons & biSystemMenu) && FSysMenu; }

// ---- Messages ----------------------------------------------------------------------------------------

void TsSkinProvider::CallOld(TMessage& m) {
  if (FOldWindowProc) FOldWindowProc(m);
}

void TsSkinProvider::HandleLinkCommand(TMessage& message) {
  if (FForm && FOldWindowProc) NewWndProc(message);
  else FSkinData.HandleSkinCommand(message);
}

void TsSkinProvider::NewWndProc(TMessage& m) {
  if (InState(csDesigning) || !FForm) return CallOld(m);
  if (m.Msg == SM_KARVOCMD && HandleSkinMessage(m)) return;
  if (!Skinned()) return CallOld(m);
  HandleWhenSkinned(m);
}

bool TsSkinProvider::HandleSkinMessage(TMessage& m) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == manager;
  const unsigned command = SkinCommandOf(m.WParam);
  switch (command) {
    case AC_SKINCHANGED:
      if (!FSysMenu) Prepare();
      break;
    case AC_REMOVESKIN:
      if (own) RemoveSkin(m);
      return true;
    case AC_OWNBROADCAST:
      m.LParam = 1;
      return true;
    default:
      break;
  }
  if (!Skinned()) {
    if (command == AC_SKINCHANGED && own) {
      MakeSkinned(m);
      return true;
    }
    return false;  // passed on
  }
  switch (command) {
    case AC_SKINCHANGED:
      if (own) {
        FSkinData.ResolveIndexes();
        ResolveButtonGlyphs();
        if (FForm->BorderIcons() != 0) {
          try {
            FForm->SetBorderIcons(0);
          } catch (...) {
          }
        }
        FSkinData.CacheInvalid = true;
        FFullRepaint = true;
        FMenuLineCount = -1;
        FTitleCache.reset();
        FSkinData.Deferred = true;
        TsSkinableMenus::DropPopupBack();
        FMenuOwnerDrawDone = false;
        SwitchMenus(true);
      }
      return true;
    case AC_REFRESH:
      if (own) {
        FSkinData.CacheInvalid = true;
        FFullRepaint = true;
        FMenuLineCount = -1;
        FSkinData.Deferred = false;
        FTitleCache.reset();
        SwitchMenus(Skinned());
        if (Bordered()) FRegionDirty = true;
        SetFormColour();
        if (FForm->Visible() && FForm->HandleAllocated()) {
          // One full repaint: the frame, the client background and every control over it.
          RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
      }
      return true;
    case 4:  // which provider
      m.Result = reinterpret_cast<LRESULT>(this);
      return true;
    case AC_GETCACHE:
      if (!InState(csLoading)) {
        const TPoint o = ClientOffset();
        PublishedBgSource() = {FSkinData.Cache(), o.X, o.Y, FSkinData.Cache() != nullptr};
        // A child asking before the first composition gets a composed picture.
        if (FSkinData.CacheInvalid && FForm->HandleAllocated() && FForm->Visible()) {
          ComposeCache();
          PublishedBgSource() = {FSkinData.Cache(), o.X, o.Y, true};
        }
      }
      return true;
    case AC_SETDEFERRED:
      FSkinData.Deferred = (m.WParam & 0xFFFF) == 1;
      if (FSkinData.IsDeferred()) FSkinData.CacheInvalid = true;
      return true;
    case AC_SUSPENDREBUILD:
      FSkinData.RebuildSuspended = (m.WParam & 0xFFFF) != 0;
      if (FSkinData.RebuildSuspended) ComposeCache();
      FSkinData.HandleSkinCommand(m);
      return true;
    case AC_DEFERREDQUERY:
      m.LParam = FSkinData.CacheInvalid || FSkinData.IsDeferred() ? 1 : 0;
      return true;
    case 15:  // paint one child
      FSkinData.SingleChild = reinterpret_cast<TControl*>(m.LParam);
      return true;
    case AC_TEXTUREDQUERY: {
      const TsGeneralData& s = manager->Sections()[size_t(FSkinData.SectionIndex)];
      m.LParam = s.GradientPercent + s.ImagePercent > 0 ? 1 : 0;
      return true;
    }
    case AC_BGCOLORQUERY:
      ParentFillColor = !FSkinData.CustomColor()
                            ? TColor(ColorToRGB(manager->Sections()[size_t(FSkinData.SectionIndex)].HotColor))
                            : TColor(ColorToRGB(FForm->Color()));
      return true;
    default:
      return false;
  }
}

void TsSkinProvider::MakeSkinned(TMessage& m) {
  FSkinData.HandleSkinCommand(m);  // resolves the section
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager) return;
  ResolveButtonGlyphs();
  if (!FIconsCleared || FForm->BorderIcons() != 0) {
    FIconsCleared = true;
    try {
      FForm->SetBorderIcons(0);
    } catch (...) {
    }
  }
  FSkinData.CacheInvalid = true;
  FFullRepaint = true;
  FRegionDirty = true;
  FMenuLineCount = -1;
  TsSkinableMenus::DropPopupBack();
  FMenuOwnerDrawDone = false;
  SwitchMenus(true);
  SetFormColour();
  // The provider's own bars take over from the form's.
  if (FSavedAutoScroll && FForm->AutoScroll) {
    FForm->AutoScroll = false;
    FForm->UpdateScrollBars();
  }
  UpdateOwnScrollBars();
}

void TsSkinProvider::RemoveSkin(TMessage& m) {
  FSkinData.HandleSkinCommand(m);
  // Without a skin the form scrolls itself again.
  UpdateOwnScrollBars();
  if (FSavedAutoScroll && !FForm->InState(csDestroying)) {
    FForm->AutoScroll = true;
    FForm->UpdateScrollBars();
  }
  FMenuLineCount = -1;
  TsSkinableMenus::DropPopupBack();
  SwitchMenus(false);
  if (FUseGlobalColor && !FSkinData.CustomColor()) FForm->SetColor(clBtnFace);
  if (FSkinData.GetSkinManager() && FForm->BorderIcons() != FSavedBorderIcons) FForm->SetBorderIcons(FSavedBorderIcons);
  FIconsCleared = false;
  FTitleCache.reset();
  FCacheReady = false;
  if (Bordered() && FForm->HandleAllocated()) SetWindowRgn(FForm->Handle(), nullptr, true);
  if (FForm->HandleAllocated() && FForm->Visible())
    RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinProvider::HandleWhenSkinned(TMessage& m) {
  const bool creating = FForm->InState(csLoading) || !FForm->HandleAllocated();
  if (TitleMouseMessage(m)) return;
  if (OutlineMessage(m)) return;
  switch (m.Msg) {
    case WM_SIZE:
      CallOld(m);
      if (FForm->Visible()) UpdateOwnScrollBars();
      if (TsSkinManager* manager = FSkinData.GetSkinManager();
          manager && manager->Sections()[size_t(FSkinData.SectionIndex)].GradientPercent >= 1)
        for (int i = 0; i < FForm->ControlCount(); ++i)
          if (TControl* c = FForm->Controls(i); !c->InState(csDestroying)) SendSkinCommand(c, AC_PARENTCHANGED, 1, 0);
      return;
    case WM_ACTIVATE:
      CallOld(m);
      if (creating) return;
      FFormActive = LOWORD(m.WParam) != WA_INACTIVE;
      FSkinData.CacheInvalid = true;
      FMenuLineCount = -1;
      FMenuOwnerDrawDone = false;
      if (FForm->HandleAllocated()) SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
      SwitchMenus(true);
      UpdateOwnScrollBars();
      if (FSysMenu) FSysMenu->UpdateItems();
      return;
    case WM_NCACTIVATE: {
      CallOld(m);
      if (creating) return;
      const bool active = m.WParam != 0;
      if (Bordered() && active != FFormActive) {
        FFormActive = active;
        FSkinData.CacheInvalid = true;
        FMenuLineCount = -1;
      }
      SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
      SwitchMenus(true);
      if (!FMenuOwnerDrawDone) {
        FMenuOwnerDrawDone = true;
        ApplyMenuOwnerDraw();
      }
      m.Result = 1;
      return;
    }
    case WM_SYSCOLORCHANGE:
    case WM_CHILDACTIVATE:
      CallOld(m);
      ApplyMenuOwnerDraw();
      return;
    case WM_MEASUREITEM:
      PrepareMeasuredItem(m);
      CallOld(m);
      return;
    case WM_SETTEXT:
      CallOld(m);
      if (FForm->Visible() && Bordered() && FForm->HandleAllocated()) {
        FSkinData.CacheInvalid = true;
        SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
      }
      return;
    case WM_PAINT:
      if (!FForm->Visible() || creating) return CallOld(m);
      PaintClient();
      m.Result = 1;
      if (FSkinData.RebuildSuspended) {
        TMessage end{SM_KARVOCMD, MakeSkinCommand(AC_SUSPENDREBUILD, 0), 0, 0};
        FForm->Perform(end.Msg, end.WParam, end.LParam);
        SendToChildren(FForm, end);
      }
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_GETMINMAXINFO:
      MinMaxInfo(m);
      return;
    case WM_WINDOWPOSCHANGING:
      if (!FInRegionUpdate) Snap(reinterpret_cast<WINDOWPOS*>(m.LParam));
      CallOld(m);
      RecordContentExtents();
      return;
    case WM_WINDOWPOSCHANGED:
    case WM_EXITSIZEMOVE: {
      if (FInRegionUpdate) return;
      FRegionDirty = true;
      CallOld(m);
      const TDib* cache = FSkinData.Cache();
      if (FForm->Visible() && FForm->HandleAllocated() && cache &&
          (cache->Width() != CacheWidth() || cache->Height() != FForm->Height())) {
        FSkinData.CacheInvalid = true;
        FMenuLineCount = -1;
        RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
      } else if (FForm->Visible() && FForm->HandleAllocated()) {
        // The outline follows the new size at once.
        SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
      }
      return;
    }
    case WM_SIZING: {
      CallOld(m);
      const TDib* cache = FSkinData.Cache();
      if (cache && (cache->Width() != CacheWidth() || cache->Height() != FForm->Height())) {
        FSkinData.CacheInvalid = true;
        FMenuLineCount = -1;
      }
      return;
    }
    case WM_NCHITTEST: {
      if (!Bordered()) return CallOld(m);
      const LRESULT code = HitTest({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}, m.Result);
      if (code == HTNOWHERE || code == HTCAPTION) {
        // No title element here: whatever the window system says the point is (a sizing
        // border beside the close button, say), nothing stays lit.
        CallOld(m);
        SetHot(0);
      } else {
        m.Result = code;
      }
      return;
    }
    case WM_NCPAINT:
      PaintNonClient();
      return;
    case WM_PRINT: {
      if (m.LParam & PRF_NONCLIENT) {
        if (FSkinData.CacheInvalid) ComposeCache();
        CopyBands(reinterpret_cast<HDC>(m.WParam));
        m.LParam &= ~PRF_NONCLIENT;
      }
      CallOld(m);
      return;
    }
    case CM_COLORCHANGED:
      if (FSkinData.CustomColor()) {
        if (!creating) FSkinData.CacheInvalid = true;
        CallOld(m);
      }
      return;
    case CM_MENUCHANGED:
      if (FForm->Visible() && !creating) FFullRepaint = true;
      CallOld(m);
      return;
    default:
      CallOld(m);
      return;
  }
}

// ---- Stored properties -------------------------------------------------------------------------------

const TPropertyTable& TsSkinProvider::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TsSkinProvider> b(t);
    using P = TsSkinProvider;
    b.Set("BorderIcons", {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize}, {"biHelp", biHelp}},
          [](P& p, uint32_t v) { p.BorderIcons = v; });
    b.Enum<TAlignment>("CaptionAlignment",
                       {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}},
                       [](P& p, TAlignment v) { p.SetCaptionAlignment(v); });
    b.Object("SkinData", [](P& p) -> TPersistent* { return p.SkinData(); });
    b.Enum<TsGripMode>("GripMode", {{"gmNone", gmNone}, {"gmRightBottom", gmRightBottom}}, [](P& p, TsGripMode v) { p.GripMode = v; });
    b.Boolean("MakeSkinMenu", [](P& p, bool v) { p.MakeSkinMenu = v; });
    b.String("MenuLineSkin", [](P& p, const std::string& v) { p.MenuLineSkin = v; });
    b.Enum<TsResizeMode>("ResizeMode", {{"rmStandard", rmStandard}, {"rmBorder", rmBorder}}, [](P& p, TsResizeMode v) { p.ResizeMode = v; });
    b.Boolean("ScreenSnap", [](P& p, bool v) { p.ScreenSnap = v; });
    b.Integer("SnapBuffer", TIntRange{0, 32767}, [](P& p, int64_t v) { p.SnapBuffer = int(v); });
    b.Boolean("ShowAppIcon", [](P& p, bool v) { p.SetShowAppIcon(v); });
    b.Collection("TitleButtons", [](P& p) -> TCollection* { return p.TitleButtons(); });
    b.Object("TitleIcon", [](P& p) -> TPersistent* { return p.TitleIcon(); });
    b.String("TitleSkin", [](P& p, const std::string& v) { p.SetTitleSkin(v); });
    b.Boolean("UseGlobalColor", [](P& p, bool v) { p.SetUseGlobalColor(v); });
    return t;
  }();
  return table;
}

void RegisterSkinProviderClasses() {
  RegisterComponentClass<TsSkinProvider>("TsSkinProvider");
  RegisterSkinableMenus();
  RegisterSkinnedHints();
  RegisterTsScrollBarClass();
}
