#include "platform/widgets/Menus.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/Text.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/PropertyRanges.h"

namespace {

// Command ids of items, unique in the process. They stay below the system commands and fit
// the 16 bits that WM_COMMAND carries.
constexpr UINT kFirstCommand = 0x0100, kLastCommand = 0xEFFF;
constexpr int kGutter = 18;          // left of a caption: the check mark
constexpr int kShortcutGap = 16;     // between caption and shortcut
constexpr int kRightMargin = 16;     // right of the shortcut, where submenu arrows go
constexpr int kSeparatorHeight = 9;

std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> commands;
  return commands;
}

UINT AllocateCommand(TMenuItem* item) {
  static UINT next = kFirstCommand;
  auto& commands = Commands();
  for (UINT tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
    const UINT id = next;
    next = id == kLastCommand ? kFirstCommand : id + 1;
    if (commands.emplace(id, item).second) return id;
  }
  return 0;
}

std::string ItemText(const TMenuItem* item) {
  if (item->ShortCut() == 0) return item->Caption();
  return item->Caption() + "\t" + ShortCutToText(item->ShortCut());
}

TLogFont MenuFont() {
  NONCLIENTMETRICS metrics;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
  return metrics.lfMenuFont;
}

// The canvas an owner-drawn item is measured and drawn with: the menu font and the colours
// the window system gives the item's state.
void PrepareCanvas(TCanvas& canvas, const TMenuItem* item, bool selected) {
  TLogFont font = MenuFont();
  if (item->Default()) font.Style |= fsBold;
  canvas.Font()->SetLogFont(font);
  canvas.Font()->SetColor(selected ? clHighlightText : item->Enabled() ? clMenuText : clGrayText);
  canvas.Brush()->SetColor(selected ? clHighlight : clMenu);
  canvas.Brush()->SetStyle(bsSolid);
}

int CaptionWidth(TCanvas* canvas, const std::string& text, unsigned prefix) {
  if (text.empty()) return 0;
  TRect r{0, 0, 0, 0};
  canvas->DrawText(text, r, DT_CALCRECT | DT_SINGLELINE | prefix);
  return r.Width();
}

void DrawCheck(TCanvas* canvas, const TRect& box, bool radio) {
  const COLORREF color = ColorToRGB(canvas->Font()->Color());
  HDC dc = canvas->Handle();
  const int cx = box.Left + box.Width() / 2, cy = box.Top + box.Height() / 2;
  if (radio) {
    for (int dy = -2; dy <= 2; ++dy) {
      const int half = dy == -2 || dy == 2 ? 1 : 2;
      const TRect row{cx - half, cy + dy, cx + half + 1, cy + dy + 1};
      ::FillRect(dc, &row, CreateSolidBrush(color));
    }
    return;
  }
  // A tick seven pixels wide and three thick: down for three columns, then up.
  const int top = cy - 3;
  for (int i = 0; i < 7; ++i) {
    const int y = i <= 2 ? top + 2 + i : top + 6 - i;
    const TRect col{cx - 3 + i, y, cx - 2 + i, y + 3};
    ::FillRect(dc, &col, CreateSolidBrush(color));
  }
}

}  // namespace

// ---- Shortcuts ---------------------------------------------------------------------------------

namespace {

std::string KeyName(unsigned key) {
  switch (key) {
    case 0x08: return "BkSp";
    case 0x09: return "Tab";
    case 0x0D: return "Enter";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x21: return "PgUp";
    case 0x22: return "PgDn";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2D: return "Ins";
    case 0x2E: return "Del";
    default: break;
  }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
  if (key >= 0x60 && key <= 0x69) return "Num " + std::to_string(key - 0x60);
  if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x6F);
  return "";
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return "";
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(const std::string& text) {
  TShortCut modifiers = 0;
  std::string rest = text;
  for (bool found = true; found;) {
    found = false;
    for (const auto& [prefix, bit] : {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
      const std::string p = prefix;
      if (rest.size() > p.size() && SameText(rest.substr(0, p.size()), p)) {
        modifiers |= bit;
        rest = rest.substr(p.size());
        found = true;
      }
    }
  }
  if (rest.empty()) return 0;
  for (unsigned key = 0x08; key <= 0x87; ++key) {
    const std::string name = KeyName(key);
    if (!name.empty() && SameText(name, rest)) return TShortCut(modifiers | key);
  }
  return 0;
}

// ---- TMenuItem ---------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(AllocateCommand(this)) {}

TMenuItem::~TMenuItem() {
  Destroying();
  while (!FItems.empty()) {
    TMenuItem* child = FItems.back();
    Remove(child);
    TComponent::Free(child);
  }
  if (FParent) {
    TMenuItem* parent = FParent;
    parent->FItems.erase(std::remove(parent->FItems.begin(), parent->FItems.end(), this), parent->FItems.end());
    FParent = nullptr;
    parent->Changed();
  }
  if (FCommand) Commands().erase(FCommand);
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMenu*>(parent)) menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent)) item->Add(this);
}

void TMenuItem::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  if (shortCut == FShortCut) return;
  FShortCut = shortCut;
  Changed();
}

void TMenuItem::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  // Checking a radio item unchecks the others of its group.
  if (value && FRadioItem && FParent)
    for (TMenuItem* sibling : FParent->FItems)
      if (sibling != this && sibling->FRadioItem && sibling->GroupIndex == GroupIndex) sibling->FChecked = false;
  Changed();
}

void TMenuItem::SetRadioItem(bool value) {
  if (value == FRadioItem) return;
  FRadioItem = value;
  Changed();
}

void TMenuItem::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Changed();
}

void TMenuItem::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  if (value == FDefault) return;
  FDefault = value;
  if (value && FParent)
    for (TMenuItem* sibling : FParent->FItems)
      if (sibling != this) sibling->FDefault = false;
  Changed();
}

void TMenuItem::SetBreak(TMenuBreak value) {
  if (value == FBreak) return;
  FBreak = value;
  Changed();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == item) throw std::invalid_argument("A menu item cannot contain itself");
  if (item->FParent) item->FParent->Remove(item);
  index = std::clamp(index, 0, Count());
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
  Changed();
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* child = FItems.back();
    Remove(child);
    TComponent::Free(child);
  }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FMenu;
}

void TMenuItem::Changed() {
  if (InState(csDestroying)) return;
  if (TMenu* menu = GetParentMenu()) menu->Changed();
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (AutoCheck) SetChecked(FRadioItem ? true : !FChecked);
  if (OnClick) OnClick(this);
}

bool TMenuItem::IsOwnerDrawn() const {
  if (OnMeasureItem || OnDrawItem) return true;
  const TMenu* menu = GetParentMenu();
  return menu && menu->OwnerDraw() && !IsLine();
}

bool TMenuItem::IsBarItem() const {
  return FParent && !FParent->FParent && dynamic_cast<const TMainMenu*>(GetParentMenu());
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  if (IsLine()) {
    height = kSeparatorHeight;
  } else {
    const std::string shortcut = FShortCut ? ShortCutToText(FShortCut) : "";
    const int caption = CaptionWidth(canvas, FCaption, 0);
    if (IsBarItem()) width = caption;
    else width = kGutter + caption + (shortcut.empty() ? 0 : kShortcutGap + CaptionWidth(canvas, shortcut, DT_NOPREFIX));
  }
  if (OnMeasureItem) OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::DrawItem(TCanvas* canvas, const TRect& rect, bool selected) {
  if (OnDrawItem) {
    OnDrawItem(this, canvas, rect, selected);
    return;
  }
  canvas->FillRect(rect);
  HDC dc = canvas->Handle();
  if (IsLine()) {
    const int y = rect.Top + rect.Height() / 2 - 1;
    const TRect dark{rect.Left + 1, y, rect.Right - 1, y + 1}, light{rect.Left + 1, y + 1, rect.Right - 1, y + 2};
    ::FillRect(dc, &dark, GetSysColorBrush(COLOR_BTNSHADOW));
    ::FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    return;
  }
  const bool bar = IsBarItem();
  if (FChecked && !bar) DrawCheck(canvas, {rect.Left, rect.Top, rect.Left + kGutter, rect.Bottom}, FRadioItem);
  canvas->Brush()->SetStyle(bsClear);
  TRect text = bar ? rect : TRect{rect.Left + kGutter, rect.Top, rect.Right - kRightMargin, rect.Bottom};
  const unsigned format = DT_SINGLELINE | DT_VCENTER | (bar ? DT_CENTER : DT_LEFT);
  const std::string shortcut = FShortCut && !bar ? ShortCutToText(FShortCut) : "";
  auto paintText = [&](TColor color, int offset) {
    canvas->Font()->SetColor(color);
    TRect r = text.Offset(offset, offset);
    canvas->DrawText(FCaption, r, format);
    if (!shortcut.empty()) {
      r = text.Offset(offset, offset);
      canvas->DrawText(shortcut, r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
  };
  if (!FEnabled && !selected) {
    paintText(clBtnHighlight, 1);
    paintText(clBtnShadow, 0);
  } else {
    paintText(canvas->Font()->Color(), 0);
  }
}

const TPropertyTable& TMenuItem::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TMenuItem> b(t);
    b.String("Caption", [](TMenuItem& i, const std::string& v) { i.SetCaption(v); });
    b.Integer("ShortCut", kShortCutRange, [](TMenuItem& i, int64_t v) { i.SetShortCut(TShortCut(v)); });
    b.Boolean("Checked", [](TMenuItem& i, bool v) { i.SetChecked(v); });
    b.Boolean("RadioItem", [](TMenuItem& i, bool v) { i.SetRadioItem(v); });
    b.Boolean("AutoCheck", [](TMenuItem& i, bool v) { i.AutoCheck = v; });
    b.Boolean("Enabled", [](TMenuItem& i, bool v) { i.SetEnabled(v); });
    b.Boolean("Visible", [](TMenuItem& i, bool v) { i.SetVisible(v); });
    b.Boolean("Default", [](TMenuItem& i, bool v) { i.SetDefault(v); });
    b.Enum<TMenuItem::TMenuBreak>("Break", {{"mbNone", TMenuItem::mbNone}, {"mbBreak", TMenuItem::mbBreak},
                                            {"mbBarBreak", TMenuItem::mbBarBreak}},
                                  [](TMenuItem& i, TMenuItem::TMenuBreak v) { i.SetBreak(v); });
    b.Integer("GroupIndex", [](TMenuItem& i, int64_t v) {
      i.GroupIndex = int(v);
      i.Changed();
    });
    b.Event<TNotifyEvent>("OnClick", [](TMenuItem& i, TNotifyEvent e) { i.OnClick = std::move(e); });
    b.Event<TMenuMeasureItemEvent>("OnMeasureItem", [](TMenuItem& i, TMenuMeasureItemEvent e) {
      i.OnMeasureItem = std::move(e);
      i.Changed();
    });
    b.Event<TMenuDrawItemEvent>("OnDrawItem", [](TMenuItem& i, TMenuDrawItemEvent e) {
      i.OnDrawItem = std::move(e);
      i.Changed();
    });
    for (const char* ignored : {"Hint", "ImageIndex", "HelpContext", "AutoHotkeys", "AutoLineReduction"})
      b.Custom(ignored, [](TMenuItem&, const TLayoutValue&, TLayoutContext&) {});
    return t;
  }();
  return table;
}

// ---- TMenu -------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() {
  Destroying();
  *FAlive = false;
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* form = Screen->Forms(i);
      if (static_cast<TMenu*>(form->Menu()) == this) form->SetMenu(nullptr);
    }
  FItems.reset();
  if (FHandle) DestroyMenu(FHandle);
}

HMENU TMenu::Handle() {
  if (!FHandle || FDirty || !IsMenu(FHandle)) Rebuild();
  return FHandle;
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == FOwnerDraw) return;
  FOwnerDraw = value;
  Changed();
}

void TMenu::Changed() {
  FDirty = true;
  // The window system paints menu bars by itself: they follow every change at once. Popup
  // menus are built again when they are next shown.
  if (IsMenuBar() && FHandle && !InState(csLoading | csDestroying)) Rebuild();
}

void TMenu::Loaded() {
  TComponent::Loaded();
  if (FHandle && FDirty) Rebuild();
}

void TMenu::Rebuild() {
  if (!FHandle || !IsMenu(FHandle)) {
    FHandle = IsMenuBar() ? CreateMenu() : CreatePopupMenu();
  } else {
    while (GetMenuItemCount(FHandle) > 0) DeleteMenu(FHandle, 0, MF_BYPOSITION);
  }
  BuildInto(FHandle, FItems.get());
  FDirty = false;
  if (IsMenuBar())
    for (HWND window : GetTopLevelWindows())
      if (GetMenu(window) == FHandle) DrawMenuBar(window);
}

void TMenu::BuildInto(HMENU menu, TMenuItem* parent) {
  for (TMenuItem* item : parent->FItems) {
    if (!item->FVisible) continue;
    MENUITEMINFO info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.wID = item->FCommand;
    const bool ownerDrawn = item->IsOwnerDrawn();
    if (item->IsLine()) {
      // An owner-drawn separator is still a separator: the keyboard passes over it.
      info.fType = MFT_SEPARATOR | (ownerDrawn ? MFT_OWNERDRAW : 0);
    } else {
      info.fType = ownerDrawn ? MFT_OWNERDRAW : MFT_STRING;
      if (item->FRadioItem) info.fType |= MFT_RADIOCHECK;
      info.dwTypeData = ItemText(item);
    }
    if (item->FBreak == TMenuItem::mbBreak) info.fType |= MFT_MENUBREAK;
    else if (item->FBreak == TMenuItem::mbBarBreak) info.fType |= MFT_MENUBARBREAK;
    if (item->FChecked) info.fState |= MFS_CHECKED;
    if (!item->FEnabled) info.fState |= MFS_GRAYED;
    if (item->FDefault) info.fState |= MFS_DEFAULT;
    if (!item->FItems.empty()) {
      info.hSubMenu = CreatePopupMenu();
      BuildInto(info.hSubMenu, item);
    }
    InsertMenuItem(menu, UINT(GetMenuItemCount(menu)), true, &info);
  }
}

TMenuItem* TMenu::FindItem(UINT command) const {
  auto it = Commands().find(command);
  if (it == Commands().end() || it->second->GetParentMenu() != this) return nullptr;
  return it->second;
}

TMenu* TMenu::FindMenuOfCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second->GetParentMenu();
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindItem(command);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::MeasureItem(MEASUREITEMSTRUCT* mis) {
  if (!mis || mis->CtlType != ODT_MENU) return false;
  TMenuItem* item = FindItem(mis->itemID);
  if (!item) return false;
  TDC dc;
  TCanvas canvas;
  canvas.SetHandle(&dc);
  PrepareCanvas(canvas, item, false);
  int width = int(mis->itemWidth), height = int(mis->itemHeight);
  item->MeasureItem(&canvas, width, height);
  canvas.SetHandle(nullptr);
  mis->itemWidth = UINT(std::max(width, 0));
  mis->itemHeight = UINT(std::max(height, 0));
  return true;
}

bool TMenu::DrawItem(const DRAWITEMSTRUCT* dis) {
  if (!dis || dis->CtlType != ODT_MENU || !dis->hDC) return false;
  TMenuItem* item = FindItem(dis->itemID);
  if (!item) return false;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  const int saved = SaveDC(dis->hDC);
  TCanvas canvas;
  canvas.SetHandle(dis->hDC);
  PrepareCanvas(canvas, item, selected);
  item->DrawItem(&canvas, dis->rcItem, selected);
  canvas.SetHandle(nullptr);
  RestoreDC(dis->hDC, saved);
  return true;
}

bool TMenu::RouteMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND: {
      // Menus send their id alone; controls and accelerators fill the other fields.
      if (m.LParam != 0 || HIWORD(m.WParam) != 0) return false;
      const UINT command = LOWORD(m.WParam);
      TMenu* menu = FindMenuOfCommand(command);
      if (!menu) return false;
      menu->DispatchCommand(command);
      m.Result = 0;
      return true;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (!mis || mis->CtlType != ODT_MENU) return false;
      TMenu* menu = FindMenuOfCommand(mis->itemID);
      if (!menu || !menu->MeasureItem(mis)) return false;
      m.Result = 1;
      return true;
    }
    case WM_DRAWITEM: {
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
      if (!dis || dis->CtlType != ODT_MENU) return false;
      TMenu* menu = FindMenuOfCommand(dis->itemID);
      if (!menu || !menu->DrawItem(dis)) return false;
      m.Result = 1;
      return true;
    }
    default:
      return false;
  }
}

namespace {
TMenuItem* FindShortCut(TMenuItem* parent, TShortCut shortCut) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (!item->Visible() || !item->Enabled()) continue;
    if (item->ShortCut() == shortCut && item->Count() == 0) return item;
    if (TMenuItem* found = FindShortCut(item, shortCut)) return found;
  }
  return nullptr;
}
}  // namespace

bool TMenu::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  TMenuItem* item = FindShortCut(FItems.get(), shortCut);
  if (!item) return false;
  item->Click();
  return true;
}

const TPropertyTable& TMenu::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TMenu> b(t);
    b.Boolean("OwnerDraw", [](TMenu& m, bool v) { m.SetOwnerDraw(v); });
    for (const char* ignored : {"Images", "AutoHotkeys", "AutoLineReduction", "BiDiMode", "ParentBiDiMode"})
      b.Custom(ignored, [](TMenu&, const TLayoutValue&, TLayoutContext&) {});
    return t;
  }();
  return table;
}

// ---- TMainMenu ---------------------------------------------------------------------------------

const TPropertyTable& TMainMenu::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TMenu::ClassProperties());
    TPropertyBuilder<TMainMenu> b(t);
    b.Custom("AutoMerge", [](TMainMenu&, const TLayoutValue&, TLayoutContext&) {});
    return t;
  }();
  return table;
}

// ---- TPopupMenu --------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

HWND TPopupMenu::PopupOwnerWindow() const {
  auto usable = [](TCustomForm* f) { return f && f->HandleAllocated() && IsWindowVisible(f->Handle()) ? f : nullptr; };
  TCustomForm* form = nullptr;
  if (auto* control = dynamic_cast<TControl*>(PopupComponent)) form = usable(control->ParentForm());
  for (TComponent* o = Owner(); o && !form; o = o->Owner()) {
    if (auto* f = dynamic_cast<TCustomForm*>(o)) form = usable(f);
    else if (auto* c = dynamic_cast<TControl*>(o)) form = usable(c->ParentForm());
  }
  if (!form && Screen) form = usable(Screen->ActiveForm());
  if (!form && Application) form = usable(Application->MainForm());
  return form ? form->Handle() : nullptr;
}

void TPopupMenu::Popup(int x, int y) {
  const std::shared_ptr<bool> alive = FAlive;
  if (OnPopup) OnPopup(this);
  if (!*alive) return;
  HWND owner = PopupOwnerWindow();
  if (!owner) return;
  // Handlers may have changed the items in ways the menu does not hear of (events assigned
  // directly): build it afresh for every showing.
  Rebuild();
  // While the menu is up its owner-drawn items are measured and drawn here, whatever the
  // owner's own procedure does with those messages.
  const WNDPROC previous = GetWindowProc(owner);
  SetWindowProc(owner, [previous](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg == WM_MEASUREITEM || msg == WM_DRAWITEM) {
      TMessage m{msg, wParam, lParam, 0};
      if (TMenu::RouteMessage(m)) return m.Result;
    }
    return CallWindowProc(previous, hwnd, msg, wParam, lParam);
  });
  UINT flags = TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_TOPALIGN;
  if (Alignment == paRight) flags |= TPM_RIGHTALIGN;
  else if (Alignment == paCenter) flags |= TPM_CENTERALIGN;
  const int command = TrackPopupMenu(FHandle, flags, x, y, 0, owner, nullptr);
  if (IsWindow(owner)) SetWindowProc(owner, previous);
  if (command != 0 && *alive) DispatchCommand(UINT(command));
}

const TPropertyTable& TPopupMenu::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TMenu::ClassProperties());
    TPropertyBuilder<TPopupMenu> b(t);
    b.Boolean("AutoPopup", [](TPopupMenu& m, bool v) { m.AutoPopup = v; });
    b.Enum<TPopupAlignment>("Alignment", {{"paLeft", paLeft}, {"paRight", paRight}, {"paCenter", paCenter}},
                            [](TPopupMenu& m, TPopupAlignment v) { m.Alignment = v; });
    b.Event<TNotifyEvent>("OnPopup", [](TPopupMenu& m, TNotifyEvent e) { m.OnPopup = std::move(e); });
    for (const char* ignored : {"TrackButton", "MenuAnimation", "HelpContext"})
      b.Custom(ignored, [](TPopupMenu&, const TLayoutValue&, TLayoutContext&) {});
    return t;
  }();
  return table;
}
