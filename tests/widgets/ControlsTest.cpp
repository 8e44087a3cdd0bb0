#include "platform/components/LayoutReader.h"
#include "platform/components/PropertyBuilder.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

// A windowless control that paints itself one colour and counts clicks.
class TSwatch : public TGraphicControl {
 public:
  explicit TSwatch(TComponent* owner) : TGraphicControl(owner) { ControlStyle |= csOpaque; }
  std::string ClassName() const override { return "TSwatch"; }
  int Paints = 0;
  std::vector<UINT> Notes;

 protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) Notes.push_back(m.Msg);
    TGraphicControl::WndProc(m);
  }
};

// A windowed control that fills its client area with its colour.
class TPanelish : public TCustomControl {
 public:
  explicit TPanelish(TComponent* owner) : TCustomControl(owner) { ControlStyle |= csAcceptsControls; }
  std::string ClassName() const override { return "TPanelish"; }
  std::vector<UINT> Notes;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE || m.Msg == CM_ENTER || m.Msg == CM_EXIT) Notes.push_back(m.Msg);
    TCustomControl::WndProc(m);
  }
};

class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* owner, const std::string& layout) : TForm(owner) { ReadStoredLayout(layout); }
  std::string ClassName() const override { return "TTestForm"; }
  int Clicks = 0;
  int Activations = 0;
  void GetMethods(std::map<std::string, std::any>& methods) override {
    methods["SwatchClick"] = TNotifyEvent([this](TObject*) { ++Clicks; });
    methods["FormActivate"] = TNotifyEvent([this](TObject*) { ++Activations; });
  }
};

const char* kLayout = R"(object TestForm: TTestForm
  Left = 100
  Top = 50
  Width = 300
  Height = 200
  Caption = 'Controls'
  Color = clLime
  OnActivate = FormActivate
  object Panel1: TPanelish
    Left = 10
    Top = 10
    Width = 150
    Height = 100
    Color = clAqua
    TabOrder = 1
    TabStop = True
    object Swatch1: TSwatch
      Left = 20
      Top = 20
      Width = 30
      Height = 30
      Color = clRed
      OnClick = SwatchClick
    end
  end
  object Panel2: TPanelish
    Left = 170
    Top = 10
    Width = 100
    Height = 100
    Color = clBlue
    TabOrder = 0
    TabStop = True
  end
end)";

using Controls = WidgetTest;

TEST_F(Controls, FormFromLayoutPaintsItsControlsAndRoutesClicks) {
  RegisterComponentClass<TSwatch>("TSwatch");
  RegisterComponentClass<TPanelish>("TPanelish");
  auto* form = new TTestForm(App, kLayout);
  form->Show();
  Display.Pump();
  auto* panel = dynamic_cast<TPanelish*>(form->FindComponent("Panel1"));
  auto* swatch = dynamic_cast<TSwatch*>(form->FindComponent("Swatch1"));
  ASSERT_TRUE(panel && swatch);
  EXPECT_EQ(form->Activations, 1);
  EXPECT_EQ(PixelOf(form, 5, 5), ColorToRGB(clLime));
  EXPECT_EQ(PixelOf(panel, 5, 5), ColorToRGB(clAqua));
  EXPECT_EQ(PixelOf(swatch, 5, 5), ColorToRGB(clRed));
  EXPECT_GE(swatch->Paints, 1);
  ClickOn(swatch, 10, 10);
  EXPECT_EQ(form->Clicks, 1);
  // A press on the swatch and a release outside it gives no click.
  const TPoint in = swatch->ClientToScreen({5, 5});
  Display.MoveMouse(in.X, in.Y);
  Display.Press();
  Display.MoveMouse(in.X + 100, in.Y);
  Display.Release();
  Display.Pump();
  EXPECT_EQ(form->Clicks, 1);
  // The first control in tab order got the focus; Tab moves on.
  auto* panel2 = dynamic_cast<TPanelish*>(form->FindComponent("Panel2"));
  EXPECT_TRUE(panel2->Focused());
  Display.Key(VK_TAB);
  Display.Pump();
  EXPECT_TRUE(panel->Focused());
  EXPECT_EQ(form->ActiveControl(), panel);
  Display.KeyDown(VK_LSHIFT);
  Display.Key(VK_TAB);
  Display.KeyUp(VK_LSHIFT);
  Display.Pump();
  EXPECT_TRUE(panel2->Focused());
}

TEST_F(Controls, MouseEnterAndLeaveReachWindowedAndWindowlessControls) {
  RegisterComponentClass<TSwatch>("TSwatch");
  RegisterComponentClass<TPanelish>("TPanelish");
  auto* form = new TTestForm(App, kLayout);
  form->Show();
  Display.Pump();
  auto* panel = dynamic_cast<TPanelish*>(form->FindComponent("Panel1"));
  auto* swatch = dynamic_cast<TSwatch*>(form->FindComponent("Swatch1"));
  auto move = [&](TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
    App->ProcessMessages();
  };
  move(panel, 5, 5);
  move(swatch, 5, 5);
  move(panel, 140, 90);
  move(form, 280, 150);
  EXPECT_EQ(panel->Notes, (std::vector<UINT>{CM_MOUSEENTER, CM_MOUSELEAVE, CM_MOUSEENTER, CM_MOUSELEAVE}));
  EXPECT_EQ(swatch->Notes, (std::vector<UINT>{CM_MOUSEENTER, CM_MOUSELEAVE}));
  // Leaving the window altogether.
  move(panel, 5, 5);
  Display.MoveMouse(900, 900);
  App->ProcessMessages();
  App->ProcessMessages();
  EXPECT_EQ(panel->Notes.back(), UINT(CM_MOUSELEAVE));
}

TEST_F(Controls, WindowProcCanBeReplacedAndRestored) {
  RegisterComponentClass<TSwatch>("TSwatch");
  RegisterComponentClass<TPanelish>("TPanelish");
  auto* form = new TTestForm(App, kLayout);
  auto* panel = dynamic_cast<TPanelish*>(form->FindComponent("Panel1"));
  TWndMethod old = panel->WindowProc;
  int seen = 0;
  panel->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_USER) {
      ++seen;
      m.Result = 5;
      return;
    }
    old(m);
  };
  EXPECT_EQ(panel->Perform(WM_USER), 5);
  EXPECT_EQ(SendMessage(panel->Handle(), WM_USER), 5);
  EXPECT_EQ(seen, 2);
  panel->WindowProc = old;
  EXPECT_EQ(panel->Perform(WM_USER), 0);
}

TEST_F(Controls, ExceptionsReachTheDefaultHandlerWithAFullStop) {
  EXPECT_EQ(ExceptionMessageText("File not found"), "File not found.");
  EXPECT_EQ(ExceptionMessageText("I/O error 7"), "I/O error 7.");
  EXPECT_EQ(ExceptionMessageText("Done."), "Done.");
  EXPECT_EQ(ExceptionMessageText("Odd!"), "Odd!");  // '!' sorts before '.'
  EXPECT_EQ(ExceptionMessageText(""), "");
}

TEST_F(Controls, AutoScrollShowsBarsAndScrollsTheControls) {
  RegisterComponentClass<TSwatch>("TSwatch");
  RegisterComponentClass<TPanelish>("TPanelish");
  auto* form = new TTestForm(App, kLayout);
  form->Show();
  Display.Pump();
  TRect c;
  GetClientRect(form->Handle(), &c);
  EXPECT_FALSE(GetWindowStyle(form->Handle()) & WS_VSCROLL);  // everything fits
  auto* panel2 = dynamic_cast<TPanelish*>(form->FindComponent("Panel2"));
  panel2->SetTop(400);
  EXPECT_TRUE(GetWindowStyle(form->Handle()) & WS_VSCROLL);
  SendMessage(form->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_LT(panel2->Top(), 400);
  const int scrolled = 400 - panel2->Top();
  EXPECT_EQ(GetScrollPos(form->Handle(), SB_VERT), scrolled);
  SendMessage(form->Handle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(panel2->Top(), 400);
  form->AutoScroll = false;
  form->UpdateScrollBars();
  EXPECT_FALSE(GetWindowStyle(form->Handle()) & WS_VSCROLL);
}

}  // namespace
