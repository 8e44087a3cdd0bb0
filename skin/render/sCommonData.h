#pragma once
// The skin link of a control: names its skin section, resolves it to indexes in the active
// skin, owns the control's cached face and the flags that decide when it is rebuilt, tracks
// mouse-over and focus, and handles the control's side of the skin message.
#include <memory>
#include <string>

#include "platform/components/Component.h"
#include "platform/graphics/Dib.h"
#include "platform/widgets/Controls.h"

class TsSkinManager;

// Where a see-through control takes its background from: normally its parent's cache.
struct TsBgSource {
  TDib* Image = nullptr;
  int OffsetX = 0;  // where the control's top-left corner lies in Image
  int OffsetY = 0;
  bool Valid = false;
};

// Values shared by all links and painters; 0xFF00FF (the key colour) means "not set".
extern TColor ParentFillColor;
extern TColor GlyphFillColor;
// The background source that the last get-cache command (5) published.
TsBgSource& PublishedBgSource();

// Sub-commands that every link handles (the manager's are in sSkinManager.h).
inline constexpr unsigned AC_GETCACHE = 5, AC_SETDEFERRED = 8, AC_SUSPENDREBUILD = 9, AC_DEFERREDQUERY = 10,
                          AC_PARTLYHIDDENQUERY = 11, AC_TEXTUREDQUERY = 19, AC_PARENTCHANGED = 20,
                          AC_BGCOLORQUERY = 21, AC_MARKPARTLYHIDDEN = 22, AC_FADEPREPARE = 23, AC_FADEFRAME = 24;

// An owner of a skin link that is not a control itself (a form's frame provider). The link
// hands it the skin commands it would send a control, and painters take the colour of its
// control (the form) where they would take the owning control's.
class TsLinkHost {
 public:
  virtual ~TsLinkHost() = default;
  // Handles a skin command as the host's own message handler would.
  virtual void HandleLinkCommand(TMessage& message) = 0;
  // The control the host's picture stands for, or nullptr.
  virtual TControl* HostControl() const = 0;
};

// Yes/no skin queries (7, 10, 11, 19) go straight to the target's message handler, which
// answers by writing 1 into LParam; true for yes. A receiver that fails counts as a no.
bool AskSkinQuery(TControl* target, unsigned command);
// A skin command, sent through the window system when the target has a window, else performed.
LRESULT SendSkinCommand(TControl* target, unsigned command, unsigned flag = 0, LPARAM lParam = 0);

// Whether a control kind never takes the hot state from the mouse.
bool IsNoHoverKind(int controlKind);
// The section a control kind uses when none is set ("" when the class name is to be used).
std::string DefaultSectionForKind(int controlKind);

class TsCommonData : public TPersistent {
 public:
  explicit TsCommonData(TComponent* owner, bool withCache = false);
  ~TsCommonData() override;
  std::string ClassName() const override { return "TsCommonData"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // ---- Published properties ----
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool value);
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool value);
  TsSkinManager* SkinManager() const { return FSkinManager; }
  void SetSkinManager(TsSkinManager* manager);
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& name);

  // ---- Run-time fields ----
  bool Deferred = false;
  int BorderMaskIndex = -1;
  int SectionIndex = -1;
  int PatternIndex = -1;
  int HotPatternIndex = -1;
  TControl* SingleChild = nullptr;
  bool RebuildSuspended = false;
  bool CacheInvalid = true;
  bool PartlyHidden = true;
  bool Painting = false;
  TControl* Control() const { return FControl; }
  TComponent* Owner() const { return FOwner; }
  // The owner when it is a link host, else nullptr.
  TsLinkHost* Host() const { return dynamic_cast<TsLinkHost*>(FOwner); }
  TDib* Cache() const { return FCache.get(); }
  int ControlKind = 0;
  bool HasFocus = false;
  bool MouseOver = false;

  // ---- Operations ----
  TsSkinManager* GetSkinManager() const;
  void ResolveIndexes();
  void ChooseSection();
  void AfterLoad();
  bool IsSkinned(bool requireReady = false) const;
  bool HasTransparency() const;
  int StateFromInput() const;
  bool IsDeferred();
  void SizeCache();
  void InvalidateCache();
  bool DependsOnParent();
  bool ParentIsTextured();
  void GetParentBackground(TsBgSource& source);
  void SetDeferred(bool value) { Deferred = value; }
  void BeginDefer() { SetDeferred(true); }
  void EndDefer() { SetDeferred(false); }
  // Sub-commands of the skin message; true when handled.
  bool HandleSkinCommand(TMessage& message);
  // Called with each window message before the owner's own handling; true stops it.
  bool HandleMessage(TMessage& message);
  // Copies the cache to `dc`: origin.Left/Top is the source point in the cache, origin.Right/
  // Bottom are added to each child's position; `clip` is where it goes in `dc`.
  void PaintCacheTo(const TRect& origin, bool repairCorners, HDC dc, const TRect& clip);

 private:
  TComponent* FOwner;
  TControl* FControl;
  bool FCustomColor = false;
  bool FCustomFont = false;
  TsSkinManager* FSkinManager = nullptr;
  std::string FSkinSection;
  std::unique_ptr<TDib> FCache;
};
