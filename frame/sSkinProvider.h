#pragma once
// The provider of a form's skinned frame. It takes over the form's window procedure and draws
// everything outside the client area from the skin (borders, title bar with icon, caption and
// buttons, the outline cut from the border masks), paints the client background from the same
// off-screen picture, answers the skin library's questions about the form's background, keeps
// a maximised window in the work area, and can snap to screen edges and move or size the
// window by a drawn outline.
#include <memory>
#include <string>
#include <vector>

#include "platform/components/Collection.h"
#include "platform/components/Component.h"
#include "platform/graphics/Region.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/Graphic.h"
#include "menus/sSystemMenu.h"
#include "skin/data/sSkinData.h"
#include "skin/render/sCommonData.h"

class TsSkinManager;
class TsSkinableMenus;

// One title-bar button as laid out: State 0 normal, 1 hot, 2 pressed, -1 never laid out;
// ImageIndex is its glyph mask; R is its rectangle in window coordinates.
struct TsButtonRecord {
  int State = -1;
  int ImageIndex = -1;
  TRect R;
};

// A button of the user's own on the title bar.
class TsTitleButton : public TCollectionItem {
 public:
  explicit TsTitleButton(TCollection* collection);
  std::string ClassName() const override { return "TsTitleButton"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;

  bool Enabled = true;
  TBitmap* Glyph() { return &FGlyph; }
  const TBitmap* Glyph() const { return &FGlyph; }
  std::string Name = "TsTitleButton";
  bool UseSkinData = true;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TsButtonRecord Record;

 private:
  TBitmap FGlyph;
};

using TsTitleButtons = TTypedCollection<TsTitleButton>;

// The picture drawn at the left of the title bar instead of the form's icon.
class TsTitleIcon : public TPersistent {
 public:
  std::string ClassName() const override { return "TsTitleIcon"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;
  TBitmap* Glyph() { return &FGlyph; }
  const TBitmap* Glyph() const { return &FGlyph; }
  int Height = 0;  // 0: automatic
  int Width = 0;

 private:
  TBitmap FGlyph;
};

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };

class TsScrollBar;
class TsGrip;

class TsSkinProvider : public TComponent, public TsLinkHost, public TsSystemMenuHost {
 public:
  explicit TsSkinProvider(TComponent* owner);
  ~TsSkinProvider() override;
  std::string ClassName() const override { return "TsSkinProvider"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // ---- Published ----
  TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
  TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment value);
  TsCommonData* SkinData() { return &FSkinData; }
  TsGripMode GripMode = gmNone;
  bool MakeSkinMenu = true;
  std::string MenuLineSkin;
  TsResizeMode ResizeMode = rmStandard;
  bool ScreenSnap = false;
  int SnapBuffer = 10;
  bool ShowAppIcon() const { return FShowAppIcon; }
  void SetShowAppIcon(bool value);
  TsTitleButtons* TitleButtons() { return &FTitleButtons; }
  TsTitleIcon* TitleIcon() { return &FTitleIcon; }
  const std::string& TitleSkin() const { return FTitleSkin; }
  void SetTitleSkin(const std::string& value);
  bool UseGlobalColor() const { return FUseGlobalColor; }
  void SetUseGlobalColor(bool value);

  // ---- State others read ----
  TCustomForm* Form() const { return FForm; }
  TsSystemMenu* SystemMenu() const { return FSysMenu; }
  bool FormActive() const { return FFormActive; }
  int HotCode() const { return FHotCode; }
  // The provider draws the frame now: the form is not being destroyed and the skin is active.
  bool Skinned() const;
  const TsButtonRecord& ButtonRecord(int hitCode) const;
  // The form's own skinned scroll bars and the grip between them (nullptr until first needed),
  // and how far the content is scrolled.
  TsScrollBar* VertBar() const { return FVertBar; }
  TsScrollBar* HorzBar() const { return FHorzBar; }
  TsGrip* Grip() const { return FGrip; }
  TPoint ScrollOffset() const { return {FScrollX, FScrollY}; }
  // Shows, places and sizes the own scroll bars for the content and the client size.
  void UpdateOwnScrollBars();
  // The frame cache (the link's cache): the whole window as last composed.
  const TDib* FrameCache() const { return FSkinData.Cache(); }
  // Composes the frame cache anew, all of it, now; the next non-client paint shows it.
  void ComposeFrame();

  // ---- Frame metrics (from the border style and the system metrics) ----
  bool Bordered() const;
  int CaptionHeight() const;
  int BorderHeight() const;
  int BorderWidth() const;
  int MenuRowHeight() const;
  bool MainMenuShown() const;
  int TopBandHeight() const;
  int SideBandWidth() const;
  int BottomBandHeight() const;
  TPoint ClientOffset() const;
  TRect IconRect() const;
  // The main menu's bar in window coordinates (empty without one).
  TRect MenuBarRect() const;
  bool IconShown() const;

  // ---- Button predicates (shared with the system menu: TsSystemMenuHost) ----
  bool CloseShown() const override;
  bool MaximizeShown() const override;
  bool MinimizeShown() const override;
  bool HelpShown() const;
  bool CanMaximize() const override;
  bool CanMinimize() const override;
  bool CanRestore() const override;
  bool SystemGroupExists() const;
  bool ListsSkins() const override { return MakeSkinMenu; }
  TsSkinManager* MenuSkinManager() override;

  // ---- TsLinkHost ----
  void HandleLinkCommand(TMessage& message) override;
  TControl* HostControl() const override { return FForm; }

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void BeforeDestruction() override;

 private:
  friend class TsSkinProviderTest;
  // ---- Messages ----
  void NewWndProc(TMessage& m);
  void CallOld(TMessage& m);
  bool HandleSkinMessage(TMessage& m);
  void HandleWhenSkinned(TMessage& m);
  void Prepare();
  void MakeSkinned(TMessage& m);
  void RemoveSkin(TMessage& m);
  void SetFormColour();
  // ---- Painting (sSkinProvider_Paint.cpp) ----
  void ComposeCache();
  void PaintTitleSection(const TRect& band, int offsetX, int offsetY);
  void PaintIcon(TDib* cache);
  void PaintTitleBarPiece(TDib* cache);
  void PaintCaptionText(TDib* cache, bool titleOnly);
  void PaintNonClient();
  void CopyBands(HDC dc);
  void PaintClient();
  int CacheWidth() const;
  // ---- Outline, maximised size, snap, outline resizing (sSkinProvider_Region.cpp) ----
  void RebuildRegion();
  void ApplyRegion();
  void SetEmptyRegion(bool redraw);
  void RemoveTopBandFromRegion();
  void MinMaxInfo(TMessage& m);
  void Snap(WINDOWPOS* pos);
  bool OutlineMessage(TMessage& m);
  void StartOutlineDrag(int code, TPoint screen);
  // ---- Menus (sSkinProvider_Menus.cpp) ----
  TsSkinableMenus* MenuPainter() const;
  void SwitchMenus(bool on);
  void ApplyMenuOwnerDraw();
  void PrepareMeasuredItem(TMessage& m);
  // ---- Own scroll bars (sSkinProvider_Scroll.cpp) ----
  void RecordContentExtents();
  void ScrollContent(int dx, int dy);
  bool IsOwnScrollPart(TControl* control) const;
  // ---- Title buttons (sSkinProvider_Title.cpp) ----
  void ResolveButtonGlyphs();
  int ButtonHeight() const;
  int ButtonWidth(const TsButtonRecord& record) const;
  int UserButtonWidth(const TsTitleButton& button) const;
  int TotalButtonWidth() const;
  void LayoutAndDrawButtons(TDib* cache);
  void ShowSystemMenuBelowIcon();
  void PlaceRecord(TDib* cache, TsButtonRecord& record, int& x, int width, int glyph, bool enabled);
  TsButtonRecord* RecordOf(int hitCode);
  void RepaintButton(int hitCode);
  void SetHot(int code);
  void SetPressed(int code);
  LRESULT HitTest(TPoint screen, LRESULT incoming);
  bool TitleMouseMessage(TMessage& m);
  int MaskIndexInGlobal(const char* name) const;
  int MaskIndexInOwnSection(const char* name) const;

  TCustomForm* FForm = nullptr;
  TsCommonData FSkinData;
  TWndMethod FOldWindowProc;
  TAlignment FCaptionAlignment = taLeftJustify;
  bool FShowAppIcon = true;
  TsTitleButtons FTitleButtons;
  TsTitleIcon FTitleIcon;
  std::string FTitleSkin;
  bool FUseGlobalColor = true;

  bool FFormActive = true;
  TBorderIcons FSavedBorderIcons = 0;
  bool FSavedAutoScroll = false;
  std::vector<TRect> FRegionRects;
  bool FRegionDirty = true;
  bool FInRegionUpdate = false;
  bool FFullRepaint = true;
  bool FCacheReady = false;
  bool FIconsCleared = false;
  std::unique_ptr<TDib> FTitleCache;
  TDib FButtonsBack;
  int FButtonsBackLeft = 0;
  TDib FMenuLineCache;
  int FMenuLineCount = -1;
  bool FMenuOwnerDrawDone = false;

  TsScrollBar* FVertBar = nullptr;
  TsScrollBar* FHorzBar = nullptr;
  TsGrip* FGrip = nullptr;
  int FScrollX = 0, FScrollY = 0;
  // The content's right and bottom edges, in content coordinates.
  int FContentRight = 0, FContentBottom = 0;
  bool FUpdatingBars = false;

  int FHotCode = 0;
  TsButtonRecord FButtonMin, FButtonMax, FButtonClose, FButtonHelp;
  int FTitleButtonMask = -1;
  TsSystemMenu* FSysMenu = nullptr;
  // Shared with code that runs commands: false once the provider is gone.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The size of the title icon for a caption height: 0 below 9, 8 up to 16, 16 up to 27, else 32.
int AutoIconSize(int captionHeight);
// The caption as it fits in `room` pixels in the font selected into `dc`: whole, or the
// longest prefix that fits with "..." behind it, or empty.
std::string ShortenCaption(HDC dc, const std::string& text, int room);

void RegisterSkinProviderClasses();
