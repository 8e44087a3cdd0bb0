#include <cstdlib>
#include <vector>

#include "platform/components/LayoutReader.h"
#include "platform/graphics/PngFile.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/UpDown.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

class UpDownTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(100, 100, 320, 200);
    Form->Show();
    Display.Pump();
  }

  TUpDown* Make(TUDOrientation orientation, int left, int top, int width, int height) {
    auto* u = new TUpDown(Form);
    u->SetOrientation(orientation);
    u->SetBounds(left, top, width, height);
    u->SetParent(Form);
    u->OnClick = [this](TObject*, TUDBtnType b) { Clicks.push_back(b); };
    Display.Pump();
    return u;
  }

  // Screen centre of one half.
  TPoint Centre(TUpDown* u, TUDBtnType b) {
    const TRect r = u->ButtonRect(b);
    return u->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  }
  void ClickHalf(TUpDown* u, TUDBtnType b) {
    const TPoint p = Centre(u, b);
    Display.Click(p.X, p.Y);
    Display.Pump();
  }
  void PressHalf(TUpDown* u, TUDBtnType b) {
    const TPoint p = Centre(u, b);
    Display.MoveMouse(p.X, p.Y);
    Display.Press();
    Display.Pump();
  }
  COLORREF HalfPixel(TUpDown* u, TUDBtnType b, int dx, int dy) {
    const TRect r = u->ButtonRect(b);
    return PixelOf(u, dx >= 0 ? r.Left + dx : r.Right + dx, dy >= 0 ? r.Top + dy : r.Bottom + dy);
  }
  // Lengths of the first and last lines of `color` pixels across a half, scanning rows
  // (vertical halves) or columns: the tip of an arrow is 1 long, its base longest.
  std::vector<int> GlyphLines(TUpDown* u, TUDBtnType b, COLORREF color, bool rows) {
    const TRect r = u->ButtonRect(b);
    std::vector<int> lines;
    const int outer = rows ? r.Height() : r.Width(), inner = rows ? r.Width() : r.Height();
    for (int i = 0; i < outer; ++i) {
      int n = 0;
      for (int j = 0; j < inner; ++j)
        if (PixelOf(u, rows ? r.Left + j : r.Left + i, rows ? r.Top + i : r.Top + j) == color) ++n;
      if (n) lines.push_back(n);
    }
    return lines;
  }

  TForm* Form = nullptr;
  std::vector<TUDBtnType> Clicks;
};

// ---- Stepping and limits -----------------------------------------------------------------------

TEST_F(UpDownTest, StepsByIncrementAndStopsAtTheLimits) {
  TUpDown* u = Make(udVertical, 10, 10, 17, 25);
  u->SetMax(2048);
  u->SetIncrement(32);
  u->SetPosition(2000);

  ClickHalf(u, btNext);
  EXPECT_EQ(u->Position(), 2032);
  ClickHalf(u, btNext);
  EXPECT_EQ(u->Position(), 2048);  // the last step is cut short at Max
  ASSERT_EQ(Clicks, (std::vector<TUDBtnType>{btNext, btNext}));

  ClickHalf(u, btNext);  // at Max: no change and no event
  EXPECT_EQ(u->Position(), 2048);
  EXPECT_EQ(Clicks.size(), 2u);

  ClickHalf(u, btPrev);
  EXPECT_EQ(u->Position(), 2016);
  EXPECT_EQ(Clicks.back(), btPrev);

  u->SetPosition(16);
  ClickHalf(u, btPrev);
  EXPECT_EQ(u->Position(), 0);
  Clicks.clear();
  ClickHalf(u, btPrev);
  EXPECT_EQ(u->Position(), 0);
  EXPECT_TRUE(Clicks.empty());

  // From code the position is kept in range and raises nothing.
  u->SetPosition(5000);
  EXPECT_EQ(u->Position(), 2048);
  u->SetPosition(-3);
  EXPECT_EQ(u->Position(), 0);
  u->SetPosition(700);
  u->SetMax(500);  // a narrower range takes the position with it
  EXPECT_EQ(u->Position(), 500);
  EXPECT_TRUE(Clicks.empty());
}

TEST_F(UpDownTest, WrapGoesFromOneEndToTheOther) {
  TUpDown* u = Make(udVertical, 10, 10, 17, 25);
  u->SetMin(5);
  u->SetMax(20);
  u->SetIncrement(4);
  u->SetWrap(true);
  u->SetPosition(20);
  ClickHalf(u, btNext);
  EXPECT_EQ(u->Position(), 5);
  ClickHalf(u, btPrev);
  EXPECT_EQ(u->Position(), 20);
  EXPECT_EQ(Clicks, (std::vector<TUDBtnType>{btNext, btPrev}));
}

TEST_F(UpDownTest, OnChangingCanRefuseTheStep) {
  TUpDown* u = Make(udVertical, 10, 10, 17, 25);
  u->SetPosition(10);
  bool allow = false;
  int asked = 0;
  u->OnChanging = [&](TObject* sender, bool& allowChange) {
    EXPECT_EQ(sender, u);
    EXPECT_EQ(u->Position(), 10);  // asked before anything changes
    ++asked;
    allowChange = allow;
  };
  ClickHalf(u, btNext);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(u->Position(), 10);
  EXPECT_TRUE(Clicks.empty());
  allow = true;
  ClickHalf(u, btNext);
  EXPECT_EQ(u->Position(), 11);
  EXPECT_EQ(Clicks.size(), 1u);
}

// ---- Halves ------------------------------------------------------------------------------------

TEST_F(UpDownTest, VerticalTopRaisesAndHorizontalRightRaises) {
  TUpDown* v = Make(udVertical, 10, 10, 17, 26);
  TUpDown* h = Make(udHorizontal, 40, 10, 34, 17);
  for (TUpDown* u : {v, h}) u->SetPosition(50);

  ClickHalf(v, btNext);
  EXPECT_EQ(v->ButtonRect(btNext).Top, 0);  // the upper half
  EXPECT_EQ(v->Position(), 51);
  ClickHalf(h, btPrev);
  EXPECT_EQ(h->ButtonRect(btPrev).Left, 0);  // the left half lowers
  EXPECT_EQ(h->Position(), 49);
  ClickHalf(h, btNext);
  EXPECT_EQ(h->Position(), 50);

  // The arrows point the way they move: the tip (one pixel) first.
  std::vector<int> up = GlyphLines(v, btNext, kBlack, true), down = GlyphLines(v, btPrev, kBlack, true);
  ASSERT_GE(up.size(), 2u);
  EXPECT_EQ(up.front(), 1);
  EXPECT_EQ(up.back(), 2 * int(up.size()) - 1);
  EXPECT_EQ(down.back(), 1);
  EXPECT_EQ(down.front(), 2 * int(down.size()) - 1);
  std::vector<int> left = GlyphLines(h, btPrev, kBlack, false), right = GlyphLines(h, btNext, kBlack, false);
  ASSERT_GE(left.size(), 2u);
  EXPECT_EQ(left.front(), 1);
  EXPECT_EQ(right.back(), 1);
  EXPECT_EQ(right.front(), 2 * int(right.size()) - 1);
}

// ---- Holding a half ----------------------------------------------------------------------------

TEST_F(UpDownTest, HoldingRepeatsAfterADelayThenEveryTenthOfASecond) {
  TUpDown* u = Make(udVertical, 10, 10, 17, 26);
  u->SetMax(2048);
  u->SetIncrement(32);
  PressHalf(u, btNext);
  EXPECT_EQ(u->Position(), 32);  // one step at once
  Display.Advance(399);
  EXPECT_EQ(u->Position(), 32);
  Display.Advance(1);
  EXPECT_EQ(u->Position(), 64);  // the first repeat at 400 ms
  Display.Advance(300);
  EXPECT_EQ(u->Position(), 160);  // then at 500, 600 and 700 ms
  EXPECT_EQ(Clicks.size(), 5u);

  // Off the half the repeat waits; back on it goes on.
  const TPoint other = Centre(u, btPrev);
  Display.MoveMouse(other.X, other.Y);
  Display.Advance(500);
  EXPECT_EQ(u->Position(), 160);
  const TPoint back = Centre(u, btNext);
  Display.MoveMouse(back.X, back.Y);
  Display.Advance(100);
  EXPECT_EQ(u->Position(), 192);

  Display.Release();
  Display.Pump();
  Display.Advance(1000);
  EXPECT_EQ(u->Position(), 192);
  EXPECT_FALSE(u->Tracking());
}

TEST_F(UpDownTest, HeldHalfLooksPressedOnlyWhileTheMouseIsOnIt) {
  TUpDown* u = Make(udVertical, 10, 10, 17, 26);
  const COLORREF raisedCorner = HalfPixel(u, btNext, 0, 0), raisedInner = HalfPixel(u, btNext, 1, 1);
  EXPECT_EQ(raisedCorner, GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(raisedInner, GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(HalfPixel(u, btNext, -1, -1), GetSysColor(COLOR_3DDKSHADOW));

  PressHalf(u, btNext);
  EXPECT_TRUE(u->IsPressed(btNext));
  EXPECT_EQ(HalfPixel(u, btNext, 0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(HalfPixel(u, btNext, 1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(HalfPixel(u, btPrev, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));  // the other half stays raised

  const TPoint outside = u->ClientToScreen({40, 40});
  Display.MoveMouse(outside.X, outside.Y);
  Display.Pump();
  EXPECT_FALSE(u->IsPressed(btNext));
  EXPECT_EQ(HalfPixel(u, btNext, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));

  const TPoint on = Centre(u, btNext);
  Display.MoveMouse(on.X, on.Y);
  Display.Release();
  Display.Pump();
  EXPECT_EQ(HalfPixel(u, btNext, 0, 0), raisedCorner);
  EXPECT_EQ(HalfPixel(u, btNext, 1, 1), raisedInner);
}

// ---- Keyboard and disabled state ---------------------------------------------------------------

TEST_F(UpDownTest, ArrowKeysStepWhileFocused) {
  TUpDown* u = Make(udVertical, 10, 10, 17, 26);
  u->SetPosition(50);
  u->SetIncrement(5);
  u->SetFocus();
  Display.Pump();
  ASSERT_TRUE(u->Focused());
  for (WPARAM key : {VK_UP, VK_RIGHT}) Display.Key(key);
  Display.Pump();
  EXPECT_EQ(u->Position(), 60);
  for (WPARAM key : {VK_DOWN, VK_LEFT, VK_LEFT}) Display.Key(key);
  Display.Pump();
  EXPECT_EQ(u->Position(), 45);
  EXPECT_EQ(Clicks, (std::vector<TUDBtnType>{btNext, btNext, btPrev, btPrev, btPrev}));

  u->SetArrowKeys(false);
  Clicks.clear();
  Display.Key(VK_UP);
  Display.Pump();
  EXPECT_EQ(u->Position(), 45);
  EXPECT_TRUE(Clicks.empty());
}

TEST_F(UpDownTest, DisabledDrawsEmbossedArrowsAndIgnoresInput) {
  TUpDown* u = Make(udVertical, 10, 10, 17, 26);
  u->SetPosition(3);
  u->SetEnabled(false);
  Display.Pump();
  ClickHalf(u, btNext);
  EXPECT_EQ(u->Position(), 3);
  EXPECT_TRUE(Clicks.empty());
  EXPECT_TRUE(GlyphLines(u, btNext, kBlack, true).empty());
  // The grey arrow with its white shadow one pixel lower right.
  const std::vector<int> grey = GlyphLines(u, btNext, GetSysColor(COLOR_BTNSHADOW), true);
  ASSERT_GE(grey.size(), 2u);
  EXPECT_EQ(grey.front(), 1);
  EXPECT_FALSE(GlyphLines(u, btPrev, GetSysColor(COLOR_BTNHIGHLIGHT), true).empty());
}

// ---- Layouts -----------------------------------------------------------------------------------

class TUpDownForm : public TForm {
 public:
  TUpDownForm(TComponent* owner, const std::string& layout) : TForm(owner) { ReadStoredLayout(layout); }
  std::string ClassName() const override { return "TUpDownForm"; }
  std::vector<TUDBtnType> Clicked;
  void GetMethods(std::map<std::string, std::any>& methods) override {
    methods["StepClick"] = TUDClickEvent([this](TObject*, TUDBtnType b) { Clicked.push_back(b); });
    methods["StepChanging"] = TUDChangingEvent([](TObject*, bool& allow) { allow = true; });
  }
};

TEST_F(UpDownTest, LayoutSetsItsProperties) {
  RegisterWidgetClasses();
  auto* form = new TUpDownForm(App, R"(object UpDownForm: TUpDownForm
  Left = 50
  Top = 50
  Width = 200
  Height = 120
  object Step: TUpDown
    Left = 20
    Top = 20
    Width = 34
    Height = 17
    Orientation = udHorizontal
    Position = 1024
    Max = 2048
    Increment = 32
    Wrap = True
    ArrowKeys = False
    Thousands = False
    OnClick = StepClick
    OnChanging = StepChanging
  end
end)");
  auto* u = dynamic_cast<TUpDown*>(form->FindComponent("Step"));
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->Orientation(), udHorizontal);
  EXPECT_EQ(u->Width(), 34);  // a stored shape is kept as it is
  EXPECT_EQ(u->Position(), 1024);  // given before Max, still kept
  EXPECT_EQ(u->Max(), 2048);
  EXPECT_EQ(u->Increment(), 32);
  EXPECT_TRUE(u->Wrap());
  EXPECT_FALSE(u->ArrowKeys());
  EXPECT_FALSE(u->Thousands);
  form->Show();
  Display.Pump();
  ClickOn(u, 30, 8);
  EXPECT_EQ(u->Position(), 1056);
  EXPECT_EQ(form->Clicked, std::vector<TUDBtnType>{btNext});
}

// ---- A look at the whole ------------------------------------------------------------------------

TEST_F(UpDownTest, FormWithUpDownsAndAnImage) {
  TUpDown* vertical = Make(udVertical, 10, 10, 17, 26);
  Make(udHorizontal, 40, 10, 34, 17);
  TUpDown* pressed = Make(udVertical, 90, 10, 17, 26);
  TUpDown* disabled = Make(udHorizontal, 120, 10, 34, 17);
  disabled->SetEnabled(false);
  auto* image = new TImage(Form);
  image->SetBounds(10, 50, 60, 40);
  image->SetParent(Form);
  image->Canvas()->Brush()->SetColor(clRed);
  image->Canvas()->FillRect({5, 5, 25, 20});
  pressed->SetPosition(50);
  PressHalf(pressed, btPrev);
  EXPECT_EQ(PixelOf(image, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(image, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(vertical, 0, 0), GetSysColor(COLOR_3DLIGHT));
  if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(Display.WindowShot(Form->Handle()), std::string(dir) + "/updown.png");
  Display.Release();
  Display.Pump();
}

}  // namespace
