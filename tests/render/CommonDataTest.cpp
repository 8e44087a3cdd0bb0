#include <gtest/gtest.h>

#include "skin/render/sBackground.h"
#include "tests/render/TestSkinControl.h"

namespace {

using CommonData = SkinnedFormTest;
using Commands = std::vector<unsigned>;

TEST_F(CommonData, SectionNamesAreUpperCasedAndMissingOnesResolveToNone) {
  ApplySkin();
  TTestSkinControl* c = Make(94, "");
  TsCommonData* link = c->SkinData();
  link->SetSkinSection("button");
  EXPECT_EQ(link->SkinSection(), "BUTTON");
  EXPECT_EQ(link->SectionIndex, Manager->FindSection("BUTTON"));
  EXPECT_EQ(link->BorderMaskIndex, 0);
  EXPECT_EQ(link->PatternIndex, 1);
  EXPECT_EQ(link->HotPatternIndex, -1);
  EXPECT_EQ(c->Commands, Commands{AC_REFRESH});

  c->Commands.clear();
  link->SetSkinSection("BUTTON");
  EXPECT_TRUE(c->Commands.empty());

  link->SizeCache();
  link->SetSkinSection("");
  EXPECT_EQ(link->SkinSection(), "UNKNOWN");
  EXPECT_EQ(link->SectionIndex, -1);
  EXPECT_EQ(link->BorderMaskIndex, -1);
  EXPECT_FALSE(link->IsSkinned());
  // The control was told the skin is gone for it, and the link dropped its face.
  EXPECT_EQ(c->Commands, Commands{AC_REMOVESKIN});
  EXPECT_TRUE(link->Cache()->Empty());
}

TEST_F(CommonData, AfterLoadPicksTheSectionOfTheKindOrTheClassName) {
  ApplySkin();
  TTestSkinControl* button = Make(94, "");
  TTestSkinControl* panel = Make(51, "");
  TTestSkinControl* other = Make(999, "");
  TTestSkinControl* named = Make(94, "SOLID");
  for (TTestSkinControl* c : {button, panel, other, named}) c->SkinData()->AfterLoad();
  EXPECT_EQ(button->SkinData()->SkinSection(), "BUTTON");
  EXPECT_EQ(panel->SkinData()->SkinSection(), "PANEL");
  EXPECT_EQ(other->SkinData()->SkinSection(), "TTESTSKINCONTROL");
  EXPECT_EQ(other->SkinData()->SectionIndex, -1);
  EXPECT_EQ(named->SkinData()->SkinSection(), "SOLID");
  EXPECT_EQ(named->SkinData()->SectionIndex, Manager->FindSection("SOLID"));

  // Edges of the kind table.
  EXPECT_EQ(DefaultSectionForKind(8), "EDIT");
  EXPECT_EQ(DefaultSectionForKind(9), "");
  EXPECT_EQ(DefaultSectionForKind(18), "COMBOBOX");
  EXPECT_EQ(DefaultSectionForKind(227), "EDIT");
  EXPECT_EQ(DefaultSectionForKind(226), "GROUPBOX");
  EXPECT_EQ(DefaultSectionForKind(142), "");
  for (int kind : {51, 60, 74, 110, 141, 152, 161}) EXPECT_TRUE(IsNoHoverKind(kind)) << kind;
  for (int kind : {-1, 50, 75, 109, 140, 162, 255, 51 + 256}) EXPECT_FALSE(IsNoHoverKind(kind)) << kind;
}

TEST_F(CommonData, StateFollowsMouseAndFocusButNotForPanelsOrDisabledControls) {
  ApplySkin();
  TTestSkinControl* button = Make(94, "BUTTON");
  TTestSkinControl* panel = Make(51, "PANEL", nullptr, 10, 50);
  ShowForm();
  panel->SetTabStop(true);
  button->Perform(CM_MOUSEENTER);
  panel->Perform(CM_MOUSEENTER);
  EXPECT_EQ(button->SkinData()->StateFromInput(), 1);
  EXPECT_FALSE(panel->SkinData()->MouseOver);
  EXPECT_EQ(panel->SkinData()->StateFromInput(), 0);
  button->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(button->SkinData()->StateFromInput(), 0);

  panel->SkinData()->CacheInvalid = false;
  panel->SetFocus();
  Display.Pump();
  EXPECT_TRUE(panel->SkinData()->HasFocus);
  EXPECT_TRUE(panel->SkinData()->CacheInvalid);
  EXPECT_EQ(panel->SkinData()->StateFromInput(), 1);

  panel->SetEnabled(false);
  EXPECT_FALSE(panel->SkinData()->HasFocus);
  panel->SkinData()->HasFocus = true;
  EXPECT_EQ(panel->SkinData()->StateFromInput(), 0);
}

TEST_F(CommonData, PaintingWaitsForTheSkinAndForTheParentsFace) {
  TTestSkinControl* c = Make(94, "BUTTON");
  ShowForm();
  EXPECT_TRUE(c->SkinData()->IsDeferred());
  EXPECT_EQ(c->Rebuilds, 0);

  ApplySkin();
  Display.Pump();
  EXPECT_FALSE(c->SkinData()->IsDeferred());
  EXPECT_EQ(c->Rebuilds, 1);
  EXPECT_EQ(PixelOf(c, 5, 5), TTestSkinControl::kStateColors[0]);

  TTestSkinControl* child = Make(94, "BUTTON", c, 2, 2);
  c->SkinData()->CacheInvalid = true;
  EXPECT_TRUE(child->SkinData()->IsDeferred());
  c->SkinData()->CacheInvalid = false;
  EXPECT_FALSE(child->SkinData()->IsDeferred());
  c->Perform(SM_KARVOCMD, MakeSkinCommand(AC_SETDEFERRED, 1));
  EXPECT_TRUE(child->SkinData()->IsDeferred());
}

TEST_F(CommonData, ManagerSettingStoresNilForTheDefaultAndCommandsOnlyCountFromTheOwnManager) {
  ApplySkin();
  TTestSkinControl* c = Make(94, "BUTTON");
  TsCommonData* link = c->SkinData();
  link->SetSkinManager(Manager);
  EXPECT_EQ(link->SkinManager(), nullptr);
  EXPECT_EQ(link->GetSkinManager(), Manager);
  EXPECT_EQ(c->Commands, Commands{AC_REFRESH});

  auto* other = new TsSkinManager(Form);
  link->CacheInvalid = false;
  c->Perform(SM_KARVOCMD, MakeSkinCommand(AC_REFRESH), reinterpret_cast<LPARAM>(other));
  EXPECT_FALSE(link->CacheInvalid);

  link->SizeCache();
  c->Commands.clear();
  link->SetSkinManager(other);  // a manager without a skin
  EXPECT_EQ(link->SkinManager(), other);
  EXPECT_EQ(c->Commands, Commands{AC_REMOVESKIN});
  EXPECT_EQ(link->SectionIndex, -1);
  EXPECT_TRUE(link->Deferred);
  EXPECT_TRUE(link->Cache()->Empty());

  std::vector<std::string> names;
  for (const TPropInfo& p : link->Properties().Own()) names.push_back(p.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"CustomColor", "CustomFont", "SkinManager", "SkinSection"}));
}

// A non-control owner of a link, as a form's frame provider is: it hears the commands the
// link would send a control, and stands for its form's colour.
class TTestHost : public TComponent, public TsLinkHost {
 public:
  explicit TTestHost(TForm* form) : TComponent(form), Link(this, true), FForm(form) {}
  TsCommonData Link;
  Commands Heard;
  void HandleLinkCommand(TMessage& m) override { Heard.push_back(SkinCommandOf(m.WParam)); }
  TControl* HostControl() const override { return FForm; }

 private:
  TForm* FForm;
};

TEST_F(CommonData, ALinkOwnedByAHostTellsTheHostAndPaintsWithItsFormsColour) {
  ApplySkin();
  auto* host = new TTestHost(Form);
  EXPECT_EQ(host->Link.Control(), nullptr);
  EXPECT_EQ(host->Link.Host(), host);
  host->Link.SetSkinSection("SOLID");
  auto* other = new TsSkinManager(Form);
  host->Link.SetSkinManager(other);  // no skin there
  EXPECT_EQ(host->Heard, Commands{AC_REMOVESKIN});
  host->Link.SetSkinManager(Manager);
  EXPECT_EQ(host->Heard, (Commands{AC_REMOVESKIN, AC_REFRESH}));
  EXPECT_EQ(host->Link.SectionIndex, Manager->FindSection("SOLID"));

  Form->SetColor(RGB(1, 200, 3));
  host->Link.SetCustomColor(true);
  TDib face(4, 4);
  face.Fill(0);
  TsBgSource none;
  PaintLinkBackground(&host->Link, none, 0, &face, {0, 0}, face.BoundsRect());
  EXPECT_EQ(face.GetPixel(2, 2), RGB(1, 200, 3));
  host->Link.SetCustomColor(false);
  PaintLinkBackground(&host->Link, none, 0, &face, {0, 0}, face.BoundsRect());
  EXPECT_EQ(face.GetPixel(2, 2), RGB(10, 20, 30));  // the section's own colour
}

TEST_F(CommonData, QueriesAreAnsweredThroughLParam) {
  ApplySkin();
  TTestSkinControl* c = Make(94, "BUTTON");
  TsCommonData* link = c->SkinData();
  EXPECT_EQ(Ask(c, AC_OWNBROADCAST), 1);
  link->CacheInvalid = true;
  EXPECT_EQ(Ask(c, AC_DEFERREDQUERY), 1);
  link->CacheInvalid = false;
  EXPECT_EQ(Ask(c, AC_DEFERREDQUERY), 0);
  link->PartlyHidden = false;
  EXPECT_EQ(Ask(c, AC_PARTLYHIDDENQUERY), 0);
  Ask(c, AC_MARKPARTLYHIDDEN);
  EXPECT_EQ(Ask(c, AC_PARTLYHIDDENQUERY), 1);
  Ask(c, AC_SUSPENDREBUILD, 1);
  EXPECT_TRUE(link->RebuildSuspended);
  Ask(c, AC_SUSPENDREBUILD, 0);
  EXPECT_FALSE(link->RebuildSuspended);

  // Textured: a gradient says yes, a plain opaque section no, no section doesn't answer.
  EXPECT_EQ(Ask(c, AC_TEXTUREDQUERY), 0);
  link->SetSkinSection("GRADIENT");
  EXPECT_EQ(Ask(c, AC_TEXTUREDQUERY), 1);
  link->SetSkinSection("NOSUCH");
  TMessage m{SM_KARVOCMD, MakeSkinCommand(AC_TEXTUREDQUERY), 0, 0};
  EXPECT_FALSE(link->HandleSkinCommand(m));
  EXPECT_EQ(m.LParam, 0);

  // The get-cache command publishes the parent's face for its children.
  link->SetSkinSection("BUTTON");
  link->SizeCache();
  TTestSkinControl* child = Make(94, "BUTTON", c, 3, 4);
  TsBgSource source;
  child->SkinData()->GetParentBackground(source);
  EXPECT_TRUE(source.Valid);
  EXPECT_EQ(source.Image, link->Cache());
  c->SkinData()->GetParentBackground(source);  // the form has no face to give
  EXPECT_FALSE(source.Valid);
}

TEST_F(CommonData, BackgroundColourQueryMixesWithThePartsBehind) {
  ApplySkin();
  TTestSkinControl* solid = Make(74, "SOLID");
  TTestSkinControl* glass = Make(94, "GLASS", solid, 2, 2);
  TTestSkinControl* clear = Make(94, "CLEAR", solid, 2, 2);
  TTestSkinControl* onForm = Make(94, "CLEAR", nullptr, 60, 10);
  TTestSkinControl* plain = Make(94, "NOSUCH", nullptr, 60, 40);
  plain->SetColor(RGB(9, 8, 7));
  auto query = [](TControl* c) {
    ParentFillColor = TColor(kSkinKeyColor);
    c->Perform(SM_KARVOCMD, MakeSkinCommand(AC_BGCOLORQUERY));
    return COLORREF(ParentFillColor);
  };
  EXPECT_EQ(query(solid), RGB(10, 20, 30));
  // T = 40, behind (10, 20, 30), own (200, 100, 50):
  // (40 * -190 + 51200) >> 8 = 170, (40 * -80 + 25600) >> 8 = 87, (40 * -20 + 12800) >> 8 = 46.
  EXPECT_EQ(query(glass), RGB(170, 87, 46));
  EXPECT_EQ(query(clear), RGB(10, 20, 30));
  EXPECT_EQ(query(onForm), ColorToRGB(Form->Color()));  // the form does not answer
  EXPECT_EQ(query(plain), RGB(9, 8, 7));
}

TEST_F(CommonData, CacheCopyTakesTheClipSizedAreaAndLeavesChildrenOut) {
  ApplySkin();
  TTestSkinControl* c = Make(74, "SOLID");
  auto* graphic = new TGraphicControl(Form);
  graphic->SetBounds(1, 1, 2, 2);
  graphic->SetParent(c);
  TTestSkinControl* windowed = Make(94, "BUTTON", c, 3, 1);
  windowed->SetBounds(3, 1, 2, 2);
  TsCommonData* link = c->SkinData();
  link->SizeCache();
  TDib* cache = link->Cache();
  uint8_t* row = cache->Row0();
  for (int y = 0; y < cache->Height(); ++y, row += cache->RowDistance())
    for (int x = 0; x < cache->Width(); ++x) {
      row[x * 3] = 77;
      row[x * 3 + 1] = uint8_t(y * 10);
      row[x * 3 + 2] = uint8_t(x * 10);
    }
  const COLORREF grey = RGB(128, 128, 128);
  const TRect origin{3, 2, 5, 6}, clip{5, 6, 12, 11};
  for (bool opaque : {false, true}) {
    if (opaque) windowed->ControlStyle |= csOpaque;
    TDib target(20, 20);
    target.Fill(grey);
    TDC dc(&target);
    link->PaintCacheTo(origin, false, &dc, clip);
    EXPECT_EQ(dc.SaveLevel(), 0);
    TRegion rgn;
    EXPECT_EQ(GetClipRgn(&dc, &rgn), 0);
    const TRect graphicRect{6, 7, 8, 9}, windowedRect{8, 7, 10, 9};
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool covered = graphicRect.Contains(x, y) || (opaque && windowedRect.Contains(x, y));
        const COLORREF expected =
            clip.Contains(x, y) && !covered ? RGB((x - 5 + 3) * 10, (y - 6 + 2) * 10, 77) : grey;
        ASSERT_EQ(target.GetPixel(x, y), expected) << x << "," << y << " opaque " << opaque;
      }
  }
}

TEST_F(CommonData, MovesAndResizesTellTheChildrenThatDependOnThem) {
  ApplySkin();
  TTestSkinControl* parent = Make(74, "GRADIENT");
  parent->SetBounds(10, 10, 100, 60);
  TTestSkinControl* free = Make(94, "BUTTON", parent, 2, 2);
  TTestSkinControl* anchored = Make(94, "BUTTON", parent, 2, 30);
  anchored->SetAnchors(akLeft | akTop | akRight);
  ShowForm();
  free->Commands.clear();
  anchored->Commands.clear();
  parent->SkinData()->CacheInvalid = false;
  parent->Perform(WM_SIZE);
  EXPECT_TRUE(parent->SkinData()->CacheInvalid);
  EXPECT_EQ(free->Commands, Commands{AC_PARENTCHANGED});
  EXPECT_TRUE(anchored->Commands.empty());

  // A see-through child depends on a textured parent, not on the plain form.
  TTestSkinControl* glass = Make(94, "GLASS", parent, 50, 2);
  TTestSkinControl* glassOnForm = Make(94, "GLASS", nullptr, 150, 10);
  ShowForm();
  for (TTestSkinControl* c : {glass, glassOnForm}) {
    c->SkinData()->CacheInvalid = false;
    c->Commands.clear();
    c->Perform(WM_MOVE);
  }
  EXPECT_EQ(glass->Commands, Commands{AC_PARENTCHANGED});
  EXPECT_TRUE(glass->SkinData()->CacheInvalid);
  EXPECT_TRUE(glassOnForm->Commands.empty());
  EXPECT_FALSE(glassOnForm->SkinData()->CacheInvalid);
}

}  // namespace
