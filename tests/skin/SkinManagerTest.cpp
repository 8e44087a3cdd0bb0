#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <fstream>

#include "platform/components/LayoutReader.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"

namespace {

TsSkinGeneral* AddSection(TsStoredSkin& skin, const char* name, TColor color, const char* parent = "") {
  TsSkinGeneral* g = skin.GeneralData()->Add();
  g->SectionName = name;
  g->ParentClass = parent;
  g->Color = color;
  g->HotColor = color;
  g->FontColor = "0 -1 -1 -1 -1";
  g->HotFontColor = "0 -1 -1 -1 -1";
  g->GradientData = " ";
  g->HotGradientData = " ";
  return g;
}

TsSkinImage* AddMask(TsStoredSkin& skin, const char* section, const char* property, TkvImgType type = itisaBorder) {
  TsSkinImage* i = skin.Images()->Add();
  i->SectionName = section;
  i->PropertyName = property;
  i->Right = 9;
  i->Bottom = 6;
  i->ImageCount = 1;
  i->ImgType = type;
  return i;
}

// A manager on a form of a headless application, with two small internal skins.
struct SkinManager : ::testing::Test {
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = new TForm(App);
    Manager = new TsSkinManager(Form);
    Manager->SetActive(false);
    for (const char* name : {"First", "Second"}) {
      TsStoredSkin* s = Manager->InternalSkins()->Add();
      s->Name = name;
      s->Version = 4.81;
      TDib master(16, 16);
      master.Fill(RGB(255, 0, 0));
      master.SetPixel(0, 0, 0xFF00FF);
      master.SetPixel(1, 0, RGB(90, 90, 90));
      s->MasterBitmap()->LoadFromDib(master);
      AddSection(*s, "GLOBALINFO", clLime)->FontColor = "255 -1 -1 -1 -1";
      AddSection(*s, "BASE", 0x102030);
      AddSection(*s, "CHILD", 0x405060, "BASE");
      AddSection(*s, "GRANDCHILD", 0x708090, "CHILD");
      AddSection(*s, "SELF", 0, "SELF");
      AddMask(*s, "BASE", "BORDERSMASK");
      AddMask(*s, "BASE", "PATTERN", itisaTexture);
      AddMask(*s, "CHILD", "GLYPHMASK", itisaGlyph);
      AddMask(*s, "GLOBALINFO", "BOXCHECKED", itisaGlyph);
    }
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
};

TEST_F(SkinManager, ActiveFalseOnlyStoresTheNameUntilActivated) {
  EXPECT_EQ(DefaultManager(), Manager);
  Manager->SetSkinName("Second");
  EXPECT_EQ(Manager->Sections().size(), 0u);
  EXPECT_EQ(Manager->SkinInfo(), "N/A");
  Manager->SetActive(true);
  EXPECT_EQ(Manager->SkinName(), "Second");
  EXPECT_EQ(Manager->Sections().size(), 5u);
  EXPECT_TRUE(Manager->SkinData().Ready);
  EXPECT_EQ(Manager->SkinInfo(), "4.81");
  EXPECT_EQ(TsSkinManager::Version(), "4.82 beta");
  Manager->SetActive(false);
  EXPECT_EQ(Manager->SkinInfo(), "N/A");
  EXPECT_EQ(Manager->Indexes().GlobalInfo, -1);
  EXPECT_EQ(Manager->FindSection("BASE"), -1);
}

TEST_F(SkinManager, SkinInfoKeepsEveryDigitOfTheVersion) {
  Manager->InternalSkins()->Items(0)->Version = 4.8123456789;
  Manager->InternalSkins()->Items(1)->Version = 5;
  Manager->SetActive(true);
  Manager->SetSkinName("First");
  EXPECT_EQ(Manager->SkinInfo(), "4.8123456789");
  Manager->SetSkinName("Second");
  EXPECT_EQ(Manager->SkinInfo(), "5");
}

TEST_F(SkinManager, UnknownNamesFallBackToTheFirstInternalSkin) {
  Manager->SetActive(true);
  Manager->SetSkinName("No such skin");
  EXPECT_EQ(Manager->SkinName(), "First");
  EXPECT_TRUE(Manager->SkinData().Ready);
  Manager->InternalSkins()->Clear();
  Manager->SetSkinName("Anything");
  EXPECT_FALSE(Manager->Active());
}

TEST_F(SkinManager, LookupsFollowParentsToTheEndAndStopAtASelfParent) {
  Manager->SetActive(true);
  const int child = Manager->FindSection("CHILD"), grand = Manager->FindSection("GRANDCHILD");
  ASSERT_GE(child, 0);
  EXPECT_EQ(Manager->FindMask(grand, "GRANDCHILD", "BORDERSMASK"), 0);  // two steps up
  EXPECT_EQ(Manager->FindMask(grand, "GRANDCHILD", "GLYPHMASK"), 2);
  EXPECT_EQ(Manager->FindTexture(child, "CHILD", "PATTERN"), 1);
  EXPECT_EQ(Manager->FindTexture(child, "CHILD", "BORDERSMASK"), -1);  // not a texture
  EXPECT_EQ(Manager->FindMask(Manager->FindSection("SELF"), "SELF", "BORDERSMASK"), -1);
  EXPECT_EQ(Manager->FindMask(-1, "CHILD", "BORDERSMASK"), -1);
  EXPECT_EQ(Manager->FindMask(child, "", "BORDERSMASK"), -1);
  EXPECT_EQ(Manager->FindMaskDirect("CHILD", "BORDERSMASK"), -1);  // no inheritance
  EXPECT_EQ(Manager->FindMaskDirect("BASE", "BORDERSMASK"), 0);
  EXPECT_EQ(Manager->FindPattern(child, "CHILD", "PATTERN"), -1);  // no patterns at all
  EXPECT_EQ(Manager->FindSection("child"), -1);                     // exact names
  EXPECT_EQ(Manager->Indexes().CheckBoxChecked, 3);
  EXPECT_EQ(Manager->Indexes().RadioButtonGrayed, -1);
  // Border widths: 9 x 6, one frame, no mask: 9 div 3 and 6 div 3.
  EXPECT_EQ(Manager->MaskBorderLeft(0), 3);
  EXPECT_EQ(Manager->MaskBorderTop(0), 2);
  EXPECT_EQ(Manager->GlobalColor(), ColorToRGB(clLime));
  EXPECT_EQ(Manager->GlobalFontColor(), 255u);
}

TEST(SkinColours, HueAndSaturationArithmetic) {
  EXPECT_EQ(ShiftHue(RGB(255, 0, 0), 120), TColor(RGB(0, 255, 0)));
  EXPECT_EQ(ShiftHue(RGB(255, 0, 0), 240), TColor(RGB(0, 0, 255)));
  // A negative hue keeps its sign through the remainder and lands in the last case (V, p, q).
  EXPECT_EQ(ShiftHue(RGB(255, 0, 0), -120), TColor(RGB(255, 0, 255)));
  EXPECT_EQ(ShiftHue(RGB(90, 90, 90), 77), TColor(RGB(90, 90, 90)));  // no saturation: unchanged
  // (200, 100, 50): H = 20; +40 -> 60: i = 1, f = 0 -> (q, V, p) = (200, 200, 50).
  EXPECT_EQ(ShiftHue(RGB(200, 100, 50), 40), TColor(RGB(200, 200, 50)));
  EXPECT_EQ(ShiftHue(clBtnFace, 0), TColor(GetSysColor(COLOR_BTNFACE)));  // system colours become RGB
  EXPECT_EQ(ShiftSaturation(RGB(255, 0, 0), 100), TColor(RGB(85, 85, 85)));
  // avg of (200, 100, 60) = 120: 200 - 0.5*80 = 160, 100 + 0.5*20 = 110, 60 + 0.5*60 = 90.
  EXPECT_EQ(ShiftSaturation(RGB(200, 100, 60), 50), TColor(RGB(160, 110, 90)));
  // Away from grey: 200 + 0.5*80 = 240, 100 - 10 = 90, 60 - 30 = 30.
  EXPECT_EQ(ShiftSaturation(RGB(200, 100, 60), -50), TColor(RGB(240, 90, 30)));
  // Halves round to even: avg of (0, 0, 3) = 1; 0 + 50 * 1 / 100 = 0.5 -> 0; 3 - 1 = 2. And
  // avg of (1, 1, 4) = 2; 1 + 0.5 = 1.5 -> 2; 4 - 1 = 3.
  EXPECT_EQ(ShiftSaturation(RGB(0, 0, 3), 50), TColor(RGB(0, 0, 2)));
  EXPECT_EQ(ShiftSaturation(RGB(1, 1, 4), 50), TColor(RGB(2, 2, 3)));
  // The hue too: (120, 1, 0) has H = 60 * 1 / 120 = 0.5; +2 gives 2.5 -> 2, so f = 2/60 and
  // t = 120 * f = 4 (at 3 it would be 6).
  EXPECT_EQ(ShiftHue(RGB(120, 1, 0), 2), TColor(RGB(120, 4, 0)));
  EXPECT_EQ(SaturationAmount(50), -50);
  EXPECT_EQ(SaturationAmount(-30), 30);
  EXPECT_EQ(SaturationAmount(150), -49);
  EXPECT_EQ(SaturationAmount(0), 0);
  // 2147483648 = 101 * 21262214 + 34; 2147483647 = 101 * 21262214 + 33.
  EXPECT_EQ(SaturationAmount(INT_MIN), 34);
  EXPECT_EQ(SaturationAmount(INT_MAX), -33);
}

TEST_F(SkinManager, ShiftsChangeColoursButNeverMagentaOrGrey) {
  Manager->SetActive(true);
  const COLORREF before = Manager->MasterBitmap()->GetPixel(5, 5);
  Manager->SetHueOffset(0);
  Manager->SetSaturation(0);
  EXPECT_EQ(Manager->MasterBitmap()->GetPixel(5, 5), before);
  Manager->SetHueOffset(120);
  EXPECT_EQ(Manager->MasterBitmap()->GetPixel(5, 5), RGB(0, 255, 0));
  EXPECT_EQ(Manager->MasterBitmap()->GetPixel(0, 0), 0xFF00FFu);
  EXPECT_EQ(Manager->MasterBitmap()->GetPixel(1, 0), RGB(90, 90, 90));
  const int base = Manager->FindSection("BASE");
  // 0x102030 is (48, 32, 16): V 48, S 2/3, H 30; +120 gives 150, i 2, f 0.5: (p, V, t) = (16, 48, 32).
  EXPECT_EQ(Manager->Sections()[size_t(base)].Color, TColor(RGB(16, 48, 32)));
  EXPECT_EQ(Manager->Sections()[size_t(base)].TCLeft, -1);  // "none" stays none
  Manager->SetHueOffset(0);
  EXPECT_EQ(Manager->MasterBitmap()->GetPixel(5, 5), before);  // reloaded from the stored skin
}

TEST(SkinPaths, ResolveLikeTheProgramFolderSays) {
  EXPECT_EQ(ResolveSkinDirectory("..\\Skins", "d:\\app\\bin\\"), "d:\\app\\Skins\\");
  EXPECT_EQ(ResolveSkinDirectory("Skins", "d:\\app\\bin\\"), "d:\\app\\bin\\Skins\\");
  EXPECT_EQ(ResolveSkinDirectory(".\\Skins", "d:\\app\\bin\\"), "d:\\app\\bin\\Skins\\");
  EXPECT_EQ(ResolveSkinDirectory("c:/skins/", "d:\\app\\bin\\"), "c:/skins\\");
  EXPECT_EQ(ResolveSkinDirectory("c:\\Skins", "/opt/app/bin/"), "c:\\Skins\\");
  EXPECT_EQ(ResolveSkinDirectory("../Skins", "/opt/app/bin/"), "/opt/app/Skins\\");
  EXPECT_EQ(ResolveSkinDirectory("./Skins", "/opt/app/bin/"), "/opt/app/bin/Skins\\");
  EXPECT_EQ(ResolveSkinDirectory("/usr/share/skins", "/opt/app/bin/"), "/usr/share/skins\\");
  EXPECT_EQ(SkinFsPath("/opt/app/Skins\\Blue\\Options.dat"), "/opt/app/Skins/Blue/Options.dat");
}

TEST_F(SkinManager, SkinNamesListInternalSkinsAndFoldersWithOptions) {
  char tmpl[] = "/tmp/skins-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  for (const char* f : {"Zinc", "Amber", ".hidden", "NoOptions"}) mkdir((dir + "/" + f).c_str(), 0755);
  for (const char* f : {"Zinc", "Amber", ".hidden"}) std::ofstream(dir + "/" + f + "/Options.dat") << "[GLOBALINFO]\n";
  Manager->SetSkinDirectory(dir);
  std::vector<std::string> names;
  std::string first;
  Manager->GetSkinNames(names, first);
  EXPECT_EQ(names, (std::vector<std::string>{"Amber", "First", "Second", "Zinc"}));
  EXPECT_EQ(first, "First");
  std::system(("rm -rf '" + dir + "'").c_str());
}

// Records the skin commands that reach controls, in order.
std::vector<std::string> gReceived;

class TProbe : public TCustomControl {
 public:
  TProbe(TComponent* owner, const std::string& name, bool ownBroadcast = true, bool throws = false)
      : TCustomControl(owner), FOwnBroadcast(ownBroadcast), FThrows(throws) {
    SetName(name);
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD) {
      if (SkinCommandOf(m.WParam) == AC_OWNBROADCAST) {
        if (FOwnBroadcast) m.LParam = 1;
        return;
      }
      if (SkinCommandOf(m.WParam) == AC_SKINCHANGED) {
        gReceived.push_back(Name());
        if (FThrows) throw std::runtime_error("receiver failed");
      }
      return;
    }
    TCustomControl::WndProc(m);
  }

 private:
  bool FOwnBroadcast, FThrows;
};

class TLabelProbe : public TGraphicControl {
 public:
  TLabelProbe(TComponent* owner, const std::string& name) : TGraphicControl(owner) { SetName(name); }
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD && SkinCommandOf(m.WParam) == AC_SKINCHANGED) gReceived.push_back(Name());
    TGraphicControl::WndProc(m);
  }
};

TEST_F(SkinManager, BroadcastReachesFormsLastToFirstAndWalksIntoContainers) {
  auto* second = new TForm(App);
  auto add = [](TWinControl* parent, TControl* c) {
    c->SetParent(parent);
    return c;
  };
  auto* box = static_cast<TWinControl*>(add(Form, new TProbe(Form, "box", false)));
  add(box, new TLabelProbe(Form, "label-in-box"));
  auto* inner = static_cast<TWinControl*>(add(box, new TProbe(Form, "inner")));
  add(inner, new TProbe(Form, "deepest"));
  auto* own = static_cast<TWinControl*>(add(Form, new TProbe(Form, "owner-of-its-children", true)));
  add(own, new TProbe(Form, "hidden-child"));
  add(second, new TProbe(second, "failing", true, true));
  add(second, new TProbe(second, "after-failure"));
  add(second, new TLabelProbe(second, "label-on-second"));
  gReceived.clear();
  TMessage m{SM_KARVOCMD, MakeSkinCommand(AC_SKINCHANGED), 0, 0};
  BroadcastCommand(m);
  // The second form (created last) comes first; its walk ends at the failing receiver. A
  // windowed child that does not pass commands on itself is walked into without receiving;
  // one that does receives, and its own children are its business.
  EXPECT_EQ(gReceived, (std::vector<std::string>{"failing", "label-in-box", "inner", "owner-of-its-children"}));
  (void)inner;
}

class TCountingForm : public TForm {
 public:
  explicit TCountingForm(TComponent* owner) : TForm(owner) {}
  int SkinChanged = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD && SkinCommandOf(m.WParam) == AC_SKINCHANGED) ++SkinChanged;
    TForm::WndProc(m);
  }
};

// Notes every skin command with the manager's flags as the receiver sees them.
class TFlagsForm : public TForm {
 public:
  explicit TFlagsForm(TComponent* owner, TsSkinManager*& manager) : TForm(owner), FManager(manager) {}
  struct TSeen {
    unsigned Command;
    bool Ready, Broadcasting, Changing;
    bool operator==(const TSeen&) const = default;
  };
  std::vector<TSeen> Seen;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD && SkinCommandOf(m.WParam) != AC_OWNBROADCAST)
      Seen.push_back({SkinCommandOf(m.WParam), FManager->SkinData().Ready, BroadcastInProgress(), SkinIsChanging()});
    TForm::WndProc(m);
  }

 private:
  TsSkinManager*& FManager;
};

TEST_F(SkinManager, AChangeOfSkinIsAnnouncedAsChangedThenStopFadingThenRefresh) {
  auto* form = new TFlagsForm(App, Manager);
  Manager->SetActive(true);
  form->Seen.clear();
  Manager->SetSkinName("Second");
  // Changed while not ready and broadcasting; the refresh after both flags are down again,
  // still inside the change.
  using S = TFlagsForm::TSeen;
  EXPECT_EQ(form->Seen, (std::vector<S>{{AC_SKINCHANGED, false, true, true},
                                        {AC_STOPFADING, true, false, true},
                                        {AC_REFRESH, true, false, true}}));
  EXPECT_FALSE(SkinIsChanging());
  form->Seen.clear();
  Manager->SetHueOffset(30);  // a shift only repaints
  EXPECT_EQ(form->Seen, (std::vector<S>{{AC_STOPFADING, true, false, false}, {AC_REFRESH, true, false, false}}));
}

// Frees the forms named in `Victims` when the first skin command reaches it.
class TFreeingForm : public TForm {
 public:
  explicit TFreeingForm(TComponent* owner) : TForm(owner) {}
  std::vector<TForm*> Victims;
  int Received = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_KARVOCMD && SkinCommandOf(m.WParam) == AC_SKINCHANGED) {
      ++Received;
      for (TForm* f : Victims) TComponent::Free(f);
      Victims.clear();
    }
    TForm::WndProc(m);
  }
};

TEST_F(SkinManager, ABroadcastEndsWhenItsReceiversFreedTheFormsBelowIt) {
  auto* first = new TCountingForm(App);
  auto* second = new TCountingForm(App);
  auto* last = new TFreeingForm(App);  // reached first
  last->Victims = {first, second};
  const int before = App->ComponentCount();
  TMessage m{SM_KARVOCMD, MakeSkinCommand(AC_SKINCHANGED), 0, 0};
  BroadcastCommand(m);
  EXPECT_EQ(App->ComponentCount(), before - 2);
  EXPECT_EQ(last->Received, 1);  // the walk does not come round to it again
}

TEST_F(SkinManager, StoredLayoutActivatesTheSkinAndAppliesItTwice) {
  RegisterSkinManagerClasses();
  auto* form = new TCountingForm(App);
  const std::string layout = R"(object F: TCountingForm
  object M: TsSkinManager
    InternalSkins = <
      item
        Name = 'Only'
        GeneralData = <
          item
            SectionName = 'GLOBALINFO'
            Color = clLime
            FontColor = '0 -1 -1 -1 -1'
          end>
        Version = 4.81
      end>
    SkinDirectory = '/nonexistent'
    SkinName = 'Only'
  end
end)";
  ReadLayout(form, layout);
  auto* m = dynamic_cast<TsSkinManager*>(form->FindComponent("M"));
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->SkinData().Ready);
  EXPECT_EQ(m->SkinInfo(), "4.81");
  EXPECT_EQ(form->SkinChanged, 2);  // once from the name setter, once from Loaded
  EXPECT_EQ(m->MenuSupport()->IcoLineSkin, "ICOLINE");
}

}  // namespace
