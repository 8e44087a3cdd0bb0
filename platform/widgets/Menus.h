#pragma once
// Menus of the toolkit: TMenuItem trees shown as a popup (TPopupMenu) or as a form's menu
// bar (TMainMenu), over the window system's menus. Items may be drawn by their owner
// through OnMeasureItem and OnDrawItem.
#include <memory>
#include <string>
#include <vector>

#include "platform/widgets/Controls.h"
#include "platform/windowing/Menu.h"

class TMenu;
class TMenuItem;

using TShortCut = uint16_t;  // virtual key in the low byte, scShift/scCtrl/scAlt above
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
std::string ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const std::string& text);

using TMenuMeasureItemEvent = std::function<void(TObject* sender, TCanvas* canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TObject* sender, TCanvas* canvas, TRect rect, bool selected)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  std::string ClassName() const override { return "TMenuItem"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void SetParentComponent(TComponent* parent) override;

  std::string Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut shortCut);
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
  TMenuBreak Break() const { return FBreak; }
  void SetBreak(TMenuBreak value);
  int GroupIndex = 0;
  bool IsLine() const { return FCaption == "-"; }

  int Count() const { return int(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems[size_t(index)]; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Clear();  // frees the children
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return FParent; }
  TMenu* GetParentMenu() const;
  // The window-system command id of this item.
  UINT Command() const { return FCommand; }
  // Runs OnClick when the item is enabled (checking it first with AutoCheck).
  virtual void Click();
  bool AutoCheck = false;
  // True when the window system asks this item's menu to measure and draw it.
  bool IsOwnerDrawn() const;

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;
  // Who installed OnMeasureItem and OnDrawItem when a painter did (it may remove them again).
  const void* HandlersOwner = nullptr;

 protected:
  void Changed();
  // Owner-drawn items: the classic look sized and painted on the canvas (prepared with the
  // menu font and the colours of the state), then the handlers, which may change it all.
  virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
  virtual void DrawItem(TCanvas* canvas, const TRect& rect, bool selected);
  bool IsBarItem() const;

 private:
  friend class TMenu;
  std::string FCaption;
  TShortCut FShortCut = 0;
  bool FChecked = false;
  bool FRadioItem = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  TMenuBreak FBreak = mbNone;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  UINT FCommand = 0;
  TMenu* FMenu = nullptr;  // set on the root item of a menu
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  std::string ClassName() const override { return "TMenu"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Loaded() override;
  TMenuItem* Items() { return FItems.get(); }
  // The window system's menu, rebuilt from the items when they changed.
  HMENU Handle();
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool value);
  // The item with this command id, or nullptr.
  TMenuItem* FindItem(UINT command) const;
  // Handles WM_COMMAND, WM_MEASUREITEM and WM_DRAWITEM for items of this menu.
  bool DispatchCommand(UINT command);
  bool MeasureItem(MEASUREITEMSTRUCT* mis);
  bool DrawItem(const DRAWITEMSTRUCT* dis);
  void Changed();
  static TMenu* FindMenuOfCommand(UINT command);
  // For a form's window procedure: runs WM_COMMAND of menu items and answers WM_MEASUREITEM
  // and WM_DRAWITEM of owner-drawn ones. Returns false for messages of anything else.
  static bool RouteMessage(TMessage& message);
  // Clicks the enabled, visible item with this shortcut; false when there is none.
  bool IsShortCut(TShortCut shortCut);

 protected:
  virtual bool IsMenuBar() const { return false; }
  void Rebuild();
  HMENU FHandle = nullptr;
  std::unique_ptr<TMenuItem> FItems;
  bool FOwnerDraw = false;
  bool FDirty = true;
  // Shared with code that raises events: false once the menu is gone.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

 private:
  void BuildInto(HMENU menu, TMenuItem* item);
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
  std::string ClassName() const override { return "TMainMenu"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

 protected:
  bool IsMenuBar() const override { return true; }
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);
  std::string ClassName() const override { return "TPopupMenu"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  // Shows the menu at a screen point and runs the chosen item's OnClick.
  virtual void Popup(int x, int y);
  TNotifyEvent OnPopup;
  TComponent* PopupComponent = nullptr;
  bool AutoPopup = true;
  TPopupAlignment Alignment = paLeft;

 protected:
  // The window that owns the shown menu: the form of PopupComponent or of the owner, else
  // the active form, else the main form.
  HWND PopupOwnerWindow() const;
};
