#pragma once
// The skin manager's menu painter: while a skin is active it makes the program's menus
// owner-drawn and paints them from the skin. A popup gets one composed background (the
// "MAINMENU" section with its border, an optional extra line at the left and an icon column),
// its window's corners cut by the border mask, and items painted over that background from
// the "MENUITEM" section with check glyphs, captions and shortcuts in the section's colours.
// Items of a main-menu bar are painted over the frame provider's menu line.
#include <functional>
#include <string>
#include <vector>

#include "platform/graphics/Dib.h"
#include "platform/widgets/Menus.h"
#include "skin/data/sMenuPainter.h"

class TsSkinManager;

// An item's kind as the painter sees it: by its caption.
enum TsMenuItemKind { mkTitle = 0, mkSeparator = 1, mkNormal = 2, mkBarItem = 3 };
TsMenuItemKind MenuItemKind(const std::string& caption);

using TsMenuDrawItemEvent =
    std::function<void(TMenuItem* item, TCanvas* canvas, TsMenuItemKind kind, unsigned state, const TRect& rect)>;

class TsSkinableMenus : public TPersistent, public TsMenuPainter {
 public:
  explicit TsSkinableMenus(TsSkinManager* manager);
  ~TsSkinableMenus() override;
  std::string ClassName() const override { return "TsSkinableMenus"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // ---- Published ----
  TAlignment Alignment = taLeftJustify;
  int BevelWidth = 0;
  int BorderWidth = 3;
  TFont* CaptionFont() { return &FCaptionFont; }
  int Margin = 3;
  int Spacing = 6;
  TsMenuDrawItemEvent OnDrawItem;
  // The border width of the skin's popup border ("BORDERSMASK" of "MAINMENU"): 0 without one,
  // its border width, or 3 when that is not positive. Cached until the skin changes.
  int SkinBorderWidth();

  // ---- TsMenuPainter ----
  void SkinChanged() override;
  void Activate(bool on) override;
  bool HandleAppMessage(TMessage& message) override;

  bool Active() const { return FActive; }
  // Activate for the menus that `root` owns, at any depth: sets the active flag and switches
  // them (a frame provider does this for its form).
  void SwitchOwnedBy(TComponent* root, bool on);
  void SwitchMainMenu(TMainMenu* menu, bool on);
  void SwitchPopup(TPopupMenu* menu, bool on);
  void SwitchItems(TMenuItem* parent, bool on);
  // Gets one item ready to be measured (the frame provider asks on WM_MEASUREITEM).
  void PrepareItem(TMenuItem* item, bool on);
  // Forgets the composed popup background.
  static void DropPopupBack();
  // The composed background of the popup being shown (empty when there is none).
  static const TDib& PopupBack();

  // ---- Measuring and painting ----
  void MeasurePopupItem(TMenuItem* item, TCanvas* canvas, int& width, int& height);
  void DrawPopupItem(TMenuItem* item, TCanvas* canvas, const TRect& rect, bool selected);
  void MeasureBarItem(TMenuItem* item, TCanvas* canvas, int& width, int& height);
  void DrawBarItem(TMenuItem* item, TCanvas* canvas, const TRect& rect, bool selected);
  // The width of an item's glyph column: its own picture's, the menu's image list's, or 16.
  static TSize GlyphSize(TMenuItem* item);
  // The width of the extra line at the left of the current popup (0 when it is not shown).
  int ExtraLineWidth(bool inside);
  // Composes the background of a popup window of this size for the popup of `first`.
  void ComposePopupBack(TMenuItem* first, int width, int height);
  // Takes over the popup window: its border comes from the composed background and its
  // corners are cut by the border mask.
  void AttachPopupWindow(HWND popup);

 private:
  void PrepareExtraLine(TMenuItem* first);
  void SwitchComponent(TComponent* component, bool on);
  void PaintPopupBorder(HWND popup);
  TsSkinManager* FManager;
  TFont FCaptionFont;
  bool FActive = false;
  int FSkinBorderWidth = -1;
  std::vector<TRect> FCornerRects;
};

// Makes skin managers create this painter (called once by the frame library's registration).
void RegisterSkinableMenus();
