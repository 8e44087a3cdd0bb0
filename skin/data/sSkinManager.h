#pragma once
// The skin manager: owns the active skin, chosen among its stored skins (or a skin folder),
// builds the run-time arrays from it, answers the lookups by which controls find their
// sections and masks, and tells every window of the application when the skin arrives,
// changes or goes away (the message SM_KARVOCMD).
#include <functional>
#include <string>
#include <vector>

#include "platform/components/Component.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/GraphicsObjects.h"
#include "skin/data/sMenuPainter.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinPaths.h"
#include "skin/data/sStoredSkins.h"

// The library's message: sub-command in the high 16 bits of wParam, a flag or value in the
// low 16 bits, the sending manager (or an argument) in lParam.
inline constexpr UINT SM_KARVOCMD = 0xA100;
constexpr WPARAM MakeSkinCommand(unsigned command, unsigned flag = 0) { return WPARAM((command << 16) | (flag & 0xFFFF)); }
constexpr unsigned SkinCommandOf(WPARAM wParam) { return unsigned((wParam >> 16) & 0xFFFF); }
constexpr unsigned SkinCommandFlag(WPARAM wParam) { return unsigned(wParam & 0xFFFF); }
// Sub-commands.
inline constexpr unsigned AC_SKINCHANGED = 1, AC_REMOVESKIN = 2, AC_REFRESH = 3, AC_UPDATEFINISHED = 6,
                          AC_OWNBROADCAST = 7, AC_STOPFADING = 16;

// Settings for skinned menus.
class TkvMenuSupport : public TPersistent {
 public:
  std::string ClassName() const override { return "TkvMenuSupport"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;
  std::string IcoLineSkin;
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
  TFont* ExtraLineFont() { return &FExtraLineFont; }

 private:
  TFont FExtraLineFont;
};

// Indexes that controls need most, looked up once after every load (-1 = absent).
struct TsPresetIndexes {
  int16_t GlobalInfo = -1;
  int16_t CheckBoxChecked = -1, CheckBoxUnChecked = -1, CheckBoxGrayed = -1;
  int16_t RadioButtonChecked = -1, RadioButtonUnChecked = -1, RadioButtonGrayed = -1;
  int16_t SmallBoxChecked = -1, SmallBoxUnChecked = -1, SmallBoxGrayed = -1;
  int16_t TabTop = -1, TabBottom = -1, TabLeft = -1, TabRight = -1;
  int16_t TabTopMask = -1, TabBottomMask = -1, TabLeftMask = -1, TabRightMask = -1;
  int16_t ScrollBtnTop = -1, ScrollBtnBottom = -1, ScrollBtnLeft = -1, ScrollBtnRight = -1;
  int16_t ScrollSliderV = -1, ScrollSliderH = -1;
  int16_t ScrollBtnTopMask = -1, ScrollBtnBottomMask = -1, ScrollBtnLeftMask = -1, ScrollBtnRightMask = -1;
  int16_t ScrollSliderVMask = -1, ScrollSliderHMask = -1;
  int16_t ScrollBtnTopGlyph = -1, ScrollBtnBottomGlyph = -1, ScrollBtnLeftGlyph = -1, ScrollBtnRightGlyph = -1;
  int16_t ScrollSliderVGlyph = -1, ScrollSliderHGlyph = -1;
  int16_t ScrollBtnTopPattern = -1, ScrollBtnBottomPattern = -1, ScrollBtnLeftPattern = -1, ScrollBtnRightPattern = -1;
  int16_t ScrollSliderVPattern = -1, ScrollSliderHPattern = -1;
  int16_t ScrollBtnTopHotPattern = -1, ScrollBtnBottomHotPattern = -1, ScrollBtnLeftHotPattern = -1,
          ScrollBtnRightHotPattern = -1, ScrollSliderVHotPattern = -1, ScrollSliderHHotPattern = -1;
  int16_t ScrollBar1H = -1, ScrollBar1V = -1, ScrollBar2H = -1, ScrollBar2V = -1;
  int16_t ScrollBar1HMask = -1, ScrollBar1VMask = -1, ScrollBar2HMask = -1, ScrollBar2VMask = -1;
  int16_t ScrollBar1HPattern = -1, ScrollBar1VPattern = -1, ScrollBar2HPattern = -1, ScrollBar2VPattern = -1;
  int16_t ScrollBar1HHotPattern = -1, ScrollBar1VHotPattern = -1, ScrollBar2HHotPattern = -1, ScrollBar2VHotPattern = -1;
  int32_t ComboBtn = -1, ComboBtnMask = -1, ComboBtnPattern = -1, ComboBtnHotPattern = -1, ComboGlyph = -1;
};

using TkvGetExtraLineData =
    std::function<void(TObject* sender, TObject* firstItem, std::string& text, std::string& section, bool& show)>;

class TsSkinManager : public TComponent {
 public:
  explicit TsSkinManager(TComponent* owner);
  ~TsSkinManager() override;
  std::string ClassName() const override { return "TsSkinManager"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Loaded() override;

  // ---- Published properties ----
  bool IsDefault() const;
  void SetIsDefault(bool value);
  bool Active() const { return FActive; }
  void SetActive(bool value);
  const std::vector<std::string>& CommonSections() const { return FCommonSections; }
  void SetCommonSections(const std::vector<std::string>& lines);
  int Saturation() const { return FSaturation; }
  void SetSaturation(int value);
  int HueOffset() const { return FHueOffset; }
  void SetHueOffset(int value);
  TsStoredSkins* InternalSkins() { return &FInternalSkins; }
  void SetInternalSkins(const TsStoredSkins* skins) { FInternalSkins.Assign(skins); }
  TkvMenuSupport* MenuSupport() { return &FMenuSupport; }
  const std::string& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const std::string& value);
  const std::string& SkinName() const { return FSkinName; }
  void SetSkinName(const std::string& value);
  // The active skin's version with "." as separator, "N/A" while no skin is ready.
  std::string SkinInfo() const;
  static std::string Version() { return "4.82 beta"; }
  bool SkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool value);
  TNotifyEvent OnAfterChange;
  TNotifyEvent OnBeforeChange;
  TkvGetExtraLineData OnGetMenuExtraLineData;

  // ---- The active skin ----
  TsSkinData& SkinData() { return FSkinData; }
  const TsSkinData& SkinData() const { return FSkinData; }
  std::vector<TsGeneralData>& Sections() { return FArrays.Sections; }
  std::vector<TsMaskData>& Masks() { return FArrays.Masks; }
  std::vector<TsPatternData>& Patterns() { return FArrays.Patterns; }
  TDib* MasterBitmap() { return FArrays.MasterBitmap.get(); }
  const TsPresetIndexes& Indexes() const { return FIndexes; }
  // The menu painter, or nullptr when the program has none.
  TsMenuPainter* MenuPainter() const { return FMenus.get(); }

  // ---- Lookups (never raise; -1 when not found) ----
  int FindSection(const std::string& name) const;
  int FindMask(int sectionIndex, const std::string& sectionName, const std::string& propertyName) const;
  int FindTexture(int sectionIndex, const std::string& sectionName, const std::string& propertyName) const;
  int FindPattern(int sectionIndex, const std::string& sectionName, const std::string& propertyName) const;
  int FindMaskDirect(const std::string& sectionName, const std::string& propertyName) const;
  bool IsValidSectionIndex(int index) const;
  bool IsValidMaskIndex(int index) const;
  int MaskBorderLeft(int mask) const;
  int MaskBorderRight(int mask) const;
  int MaskBorderTop(int mask) const;
  int MaskBorderBottom(int mask) const;
  COLORREF GlobalColor() const;
  COLORREF GlobalFontColor() const;
  // Names of the internal skins, of the skin folders in SkinDirectory and of the skins that
  // ship with the program, each once, sorted; `first` gets the first internal skin (or the
  // first folder when there is none).
  void GetSkinNames(std::vector<std::string>& list, std::string& first) const;
  // The absolute skin folder with a trailing backslash.
  std::string ResolveSkinDirectory() const;
  // Where the skins that ship with the program are looked for (ShippedSkinDirectory()).
  const std::string& ShippedSkinDirectory() const { return FShippedSkinDirectory; }
  void SetShippedSkinDirectory(const std::string& value) { FShippedSkinDirectory = value; }
  // The folder of the skin `name` (with a trailing separator): the one in SkinDirectory, else
  // the shipped one; empty when neither has an "Options.dat".
  std::string FindSkinFolder(const std::string& name) const;

  // ---- Steps ----
  // Fills the arrays for SkinName. False when a skin folder could not be read and the skin in
  // use was kept (the user has been told why).
  bool LoadSkin();
  void Apply();
  void Removal();
  // The refresh part of Apply: stop fading (at run time), then refresh.
  void RepaintForms();

 protected:
  void BeforeDestruction() override;

 private:
  void UpdateIndexes();
  // Reads a skin folder into the skin in use; false, with the reason, when it cannot be read
  // (the skin in use is then as it was).
  bool ReadSkinFolder(const std::string& skinPath, std::string& reason);
  std::string CannotLoadText(const std::string& skinPath, const std::string& reason, bool keep) const;
  // Live reload (sSkinManager_Watch.cpp): while the skin in use comes from a folder, the folder
  // is watched, and a change read again once writing has settled, as choosing the skin would.
  void FollowSkinFolder();
  void StopFollowingSkinFolder();
  void SkinFolderChanged();
  void ReloadSkinFolder();
  static UINT SkinFolderMessage();
  std::string FWatchedFolder;
  uintptr_t FFolderWatch = 0;
  bool FReloading = false, FReloadAgain = false;
  bool FActive = true;
  std::vector<std::string> FCommonSections;
  int FSaturation = 0;
  int FHueOffset = 0;
  TsStoredSkins FInternalSkins;
  TkvMenuSupport FMenuSupport;
  std::string FSkinDirectory;
  std::string FSkinName;
  std::string FShippedSkinDirectory;
  bool FSkinnedPopups = true;
  TsSkinData FSkinData;
  TsSkinArrays FArrays;
  TsPresetIndexes FIndexes;
  bool FDefaultFlag = false;
  std::unique_ptr<TsMenuPainter> FMenus;
  int FAppHook = 0;  // the hook on the application's window while this is the default manager
};

// ---- Process-wide state of the skin library ------------------------------------------------
TsSkinManager* DefaultManager();
bool SkinIsChanging();
bool BroadcastInProgress();
// Registers the message name with the window system once (the fixed number is used anyway).
void RegisterSkinMessage();

// Sends a skin message to every form of the application (last to first) and their controls.
void BroadcastCommand(TMessage message);
// Hands a skin message to the children of a container: windowless ones directly, windowed
// ones that handle their own children (they answer the own-broadcast query) directly, the
// others by walking into them. An error ends only that container's walk.
void SendToChildren(TWinControl* container, TMessage message);

// Colour shifts of a whole skin.
TColor ShiftHue(TColor color, int degrees);
TColor ShiftSaturation(TColor color, int amount);
// The saturation amount for a Saturation setting: (-value) mod 101, sign of the dividend.
int SaturationAmount(int saturation);
// Shifts every pixel of a skin picture (made 24-bit first) except key-coloured and grey ones.
void ShiftSkinPicture(TDib* picture, int hue, int saturationAmount);

// Applies the hue shift, then the saturation amount, to a whole skin (pictures, section
// colours, the skin's shadow colour); nothing for 0 and 0.
void ShiftSkin(TsSkinArrays& arrays, TsSkinData& info, int hue, int saturationAmount);

void RegisterSkinManagerClasses();
