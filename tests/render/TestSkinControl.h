#pragma once
// A skinned control for the render tests: a custom control with a cached skin link that
// composes its face as one colour per state, holds back while deferred, fades between states
// and records the skin commands and fade frames it receives.
#include <gtest/gtest.h>

#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/DC.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sCommonData.h"
#include "skin/render/sFade.h"

class TTestSkinControl : public TCustomControl {
 public:
  static constexpr COLORREF kStateColors[3] = {RGB(200, 100, 0), RGB(0, 100, 200), RGB(40, 40, 40)};

  explicit TTestSkinControl(TComponent* owner, int kind = 94) : TCustomControl(owner), FLink(this, true) {
    FLink.ControlKind = kind;
  }
  std::string ClassName() const override { return "TTestSkinControl"; }
  TsCommonData* SkinData() { return &FLink; }

  TsFadeTimer* FadeTimer = nullptr;
  TkvAnimatEvents AnimatEvents = 1u << aeGlobalDef;
  bool Pressed = false;
  // What arrived: skin sub-commands in order, the top-left pixel and size of every fade
  // frame, and how often the face was composed.
  std::vector<unsigned> Commands;
  std::vector<COLORREF> FramePixels;
  std::vector<TSize> FrameSizes;
  int Rebuilds = 0;

  int State() const { return Pressed ? 2 : FLink.StateFromInput(); }

  void Rebuild() {
    FLink.SizeCache();
    FLink.Cache()->Fill(kStateColors[State()]);
    FLink.CacheInvalid = false;
    ++Rebuilds;
  }

  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD) {
      const unsigned command = SkinCommandOf(m.WParam);
      Commands.push_back(command);
      switch (command) {
        case AC_STOPFADING:
          StopFade(FadeTimer, &FLink);
          if (HandleAllocated()) Repaint();
          return;
        case AC_FADEPREPARE:
          Rebuild();
          return;
        case AC_FADEFRAME: {
          const TDib* frame = reinterpret_cast<const TDib*>(m.LParam);
          FramePixels.push_back(frame->Empty() ? CLR_INVALID : frame->GetPixel(0, 0));
          FrameSizes.push_back({frame->Width(), frame->Height()});
          m.Result = 0;  // the fade draws the frame
          return;
        }
        default:
          break;
      }
    }
    const bool handled = FLink.HandleMessage(m);
    if (m.Msg == SM_KARVOCMD) {
      const unsigned command = SkinCommandOf(m.WParam);
      if (handled && command >= AC_SKINCHANGED && command <= AC_REFRESH && !InState(csDestroying)) Invalidate();
      return;
    }
    if (handled) return;
    TCustomControl::WndProc(m);
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
      const bool enter = m.Msg == CM_MOUSEENTER;
      ChangePaint(FadeTimer, &FLink, false, enter ? 1 : 2, EventAnimates(enter ? aeMouseEnter : aeMouseLeave, AnimatEvents));
    }
  }

 protected:
  void Paint() override {
    FLink.SetDeferred(FLink.IsDeferred());
    if (FLink.Deferred) return;
    if (FLink.CacheInvalid) Rebuild();
    FLink.PaintCacheTo(TRect{0, 0, 0, 0}, false, Canvas()->Handle(), ClientRect());
  }
  void BeforeDestruction() override {
    StopFade(FadeTimer, &FLink);
    TCustomControl::BeforeDestruction();
  }

 private:
  TsCommonData FLink;
};

// A shown form on the headless screen with a skin manager whose stored skin "Test" has:
// BUTTON (fades over 20 frames, with a border mask and a texture), SHORT (fades over 5),
// NOFADE, PANEL, SOLID (opaque RGB(10, 20, 30)), GLASS (RGB(200, 100, 50), 40 % see-through),
// CLEAR (fully see-through) and GRADIENT (a 50 % gradient). ApplySkin() makes it active.
class SkinnedFormTest : public ::testing::Test {
 protected:
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;

  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = new TForm(App);
    Form->SetBounds(100, 100, 300, 200);
    Manager = new TsSkinManager(Form);
    TsStoredSkin* skin = Manager->InternalSkins()->Add();
    skin->Name = "Test";
    skin->Version = 1;
    TDib master(16, 16);
    master.Fill(RGB(90, 90, 90));
    skin->MasterBitmap()->LoadFromDib(master);
    AddSection(*skin, "GLOBALINFO", RGB(0, 255, 0));
    TsSkinGeneral* button = AddSection(*skin, "BUTTON", RGB(1, 2, 3));
    button->FadingEnabled = true;
    button->FadingIterations = 20;
    TsSkinGeneral* shortFade = AddSection(*skin, "SHORT", RGB(4, 5, 6));
    shortFade->FadingEnabled = true;
    shortFade->FadingIterations = 5;
    AddSection(*skin, "NOFADE", RGB(7, 8, 9))->FadingIterations = 20;
    AddSection(*skin, "PANEL", RGB(11, 12, 13));
    AddSection(*skin, "SOLID", RGB(10, 20, 30));
    AddSection(*skin, "GLASS", RGB(200, 100, 50))->Transparency = 40;
    AddSection(*skin, "CLEAR", RGB(1, 1, 1))->Transparency = 100;
    AddSection(*skin, "GRADIENT", RGB(5, 5, 5))->GradientPercent = 50;
    AddMask(*skin, "BUTTON", "BORDERSMASK", itisaBorder);
    AddMask(*skin, "BUTTON", "PATTERN", itisaTexture);
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }

  void ApplySkin() {
    Manager->SetSkinName("Test");
    ASSERT_TRUE(Manager->SkinData().Ready);
  }
  // A control of `kind` on `parent` (the form by default), 40 x 20 at (x, y).
  TTestSkinControl* Make(int kind, const std::string& section, TWinControl* parent = nullptr, int x = 10, int y = 10) {
    auto* c = new TTestSkinControl(Form, kind);
    c->SetBounds(x, y, 40, 20);
    c->SetParent(parent ? parent : Form);
    if (!section.empty()) c->SkinData()->SetSkinSection(section);
    c->Commands.clear();
    return c;
  }
  void ShowForm() {
    Form->Show();
    Display.Pump();
  }
  COLORREF PixelOf(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    return Display.ScreenPixel(p.X, p.Y);
  }
  // Sends a yes/no query the way links do: straight to the handler, answer in LParam.
  static LPARAM Ask(TControl* c, unsigned command, unsigned flag = 0) {
    TMessage m{SM_KARVOCMD, MakeSkinCommand(command, flag), 0, 0};
    c->WindowProc(m);
    return m.LParam;
  }

 private:
  static TsSkinGeneral* AddSection(TsStoredSkin& skin, const char* name, TColor color) {
    TsSkinGeneral* g = skin.GeneralData()->Add();
    g->SectionName = name;
    g->Color = color;
    g->HotColor = color;
    g->FontColor = "0 -1 -1 -1 -1";
    g->HotFontColor = "0 -1 -1 -1 -1";
    g->GradientData = " ";
    g->HotGradientData = " ";
    return g;
  }
  static void AddMask(TsStoredSkin& skin, const char* section, const char* property, TkvImgType type) {
    TsSkinImage* i = skin.Images()->Add();
    i->SectionName = section;
    i->PropertyName = property;
    i->Right = 9;
    i->Bottom = 6;
    i->ImageCount = 1;
    i->ImgType = type;
  }
};
