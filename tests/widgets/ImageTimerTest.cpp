#include <vector>

#include "platform/components/LayoutReader.h"
#include "platform/graphics/BmpFile.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/Timer.h"
#include "platform/widgets/UpDown.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class ImageTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(100, 100, 300, 220);
    Form->SetColor(clTeal);
    Form->Show();
    Display.Pump();
  }
  TImage* Make(int left, int top, int width, int height) {
    auto* image = new TImage(Form);
    image->SetBounds(left, top, width, height);
    image->SetParent(Form);
    return image;
  }
  // A picture of w x h pixels: blue with a yellow top-left pixel.
  static std::unique_ptr<TBitmap> Picture(int w, int h) {
    auto bitmap = std::make_unique<TBitmap>(w, h);
    bitmap->Dib().Fill(RGB(0, 0, 255));
    bitmap->Dib().SetPixel(0, 0, RGB(255, 255, 0));
    return bitmap;
  }
  TForm* Form = nullptr;
};

TEST_F(ImageTest, CanvasMakesAWhiteBitmapOfTheControlsSize) {
  TImage* image = Make(20, 30, 48, 32);
  EXPECT_EQ(image->Picture()->Graphic(), nullptr);
  TCanvas* canvas = image->Canvas();
  ASSERT_NE(canvas, nullptr);
  auto* bitmap = dynamic_cast<TBitmap*>(image->Picture()->Graphic());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 48);
  EXPECT_EQ(bitmap->Height(), 32);
  EXPECT_EQ(bitmap->Dib().BitsPerPixel(), 24);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) ASSERT_EQ(bitmap->Dib().GetPixel(x, y), kWhite) << x << "," << y;
  // Asking again keeps the same picture.
  EXPECT_EQ(image->Canvas(), canvas);
  EXPECT_EQ(image->Picture()->Graphic(), bitmap);
}

TEST_F(ImageTest, DrawingOnTheCanvasShowsOnScreen) {
  TImage* image = Make(20, 30, 48, 32);
  image->Canvas()->Pen()->SetColor(clRed);
  image->Canvas()->MoveTo(0, 10);
  image->Canvas()->LineTo(40, 10);
  Display.Pump();
  EXPECT_EQ(PixelOf(image, 0, 10), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(image, 39, 10), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(image, 40, 10), kWhite);  // the last point is not drawn
  EXPECT_EQ(PixelOf(image, 20, 11), kWhite);
  EXPECT_EQ(PixelOf(image, 47, 31), kWhite);
  EXPECT_EQ(PixelOf(image, 48, 31), ColorToRGB(clTeal));  // nothing outside the control

  // Later drawing repaints again.
  image->Canvas()->SetPixel(5, 20, clBlue);
  Display.Pump();
  EXPECT_EQ(PixelOf(image, 5, 20), RGB(0, 0, 255));
}

TEST_F(ImageTest, PictureIsShownUnscaledAtTheTopLeft) {
  TImage* image = Make(20, 30, 40, 30);
  image->Picture()->SetGraphic(Picture(10, 8));
  Display.Pump();
  EXPECT_EQ(PixelOf(image, 0, 0), RGB(255, 255, 0));
  EXPECT_EQ(PixelOf(image, 9, 7), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(image, 10, 7), ColorToRGB(clTeal));  // the form shows around the picture
  EXPECT_EQ(PixelOf(image, 9, 8), ColorToRGB(clTeal));
}

TEST_F(ImageTest, StretchCenterAndProportionalPlaceThePicture) {
  TImage* image = Make(20, 30, 40, 30);
  image->Picture()->SetGraphic(Picture(10, 5));
  struct {
    bool Stretch, Center, Proportional;
    TRect Expected;
  } cases[] = {
      {false, false, false, {0, 0, 10, 5}},
      {false, true, false, {15, 12, 25, 17}},
      {true, false, false, {0, 0, 40, 30}},
      {true, false, true, {0, 0, 40, 20}},   // wide picture: the width fills, the shape stays
      {true, true, true, {0, 5, 40, 25}},
      {false, false, true, {0, 0, 10, 5}},   // proportional alone never enlarges
  };
  for (const auto& c : cases) {
    image->SetStretch(c.Stretch);
    image->SetCenter(c.Center);
    image->SetProportional(c.Proportional);
    EXPECT_EQ(image->DestRect(), c.Expected) << c.Stretch << c.Center << c.Proportional;
  }
  image->SetStretch(true);
  image->SetCenter(false);
  image->SetProportional(false);
  Display.Pump();
  EXPECT_EQ(PixelOf(image, 3, 5), RGB(255, 255, 0));  // the top-left pixel, four times larger
  EXPECT_EQ(PixelOf(image, 39, 29), RGB(0, 0, 255));
}

TEST_F(ImageTest, AutoSizeFollowsThePicture) {
  TImage* image = Make(20, 30, 40, 30);
  image->SetAutoSize(true);
  image->Picture()->SetGraphic(Picture(12, 9));
  EXPECT_EQ(image->Width(), 12);
  EXPECT_EQ(image->Height(), 9);
}

TEST_F(ImageTest, OnlyABitmapCanBeDrawnOn) {
  TImage* image = Make(20, 30, 40, 30);
  image->Picture()->SetGraphic(std::make_unique<TIcon>());
  EXPECT_THROW(image->Canvas(), std::logic_error);
}

TEST_F(ImageTest, LayoutReadsThePicture) {
  RegisterWidgetClasses();
  TDib dib(3, 2);
  dib.Fill(RGB(0, 128, 0));
  std::string hex;
  char digits[3];
  for (uint8_t byte : SaveBmp(dib, 24)) {
    snprintf(digits, sizeof digits, "%02X", byte);
    hex += digits;
  }
  auto* form = new TForm(App);
  ReadLayout(form, "object ImageForm: TForm\n  object Image1: TImage\n    Stretch = True\n    Picture.Data = {" + hex +
                       "}\n  end\nend\n");
  auto* image = dynamic_cast<TImage*>(form->FindComponent("Image1"));
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->Stretch());
  EXPECT_EQ(image->Picture()->Width(), 3);
  EXPECT_EQ(image->Picture()->Height(), 2);
}

// ---- TTimer ------------------------------------------------------------------------------------

class TimerTest : public WidgetTest {};

// Counts its ticks without an OnTimer handler of its own.
class TCountingTimer : public TTimer {
 public:
  using TTimer::TTimer;
  int Ticks = 0;

 protected:
  void Timer() override {
    ++Ticks;
    TTimer::Timer();
  }
};

TEST_F(TimerTest, FiresAtItsIntervalWhileEnabled) {
  auto* timer = new TTimer(App);
  std::vector<uint64_t> times;
  timer->SetInterval(250);
  timer->SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, timer);
    times.push_back(GetTickCount64());
  });
  const uint64_t start = GetTickCount64();
  Display.Advance(249);
  EXPECT_TRUE(times.empty());
  Display.Advance(1);
  Display.Advance(500);
  EXPECT_EQ(times, (std::vector<uint64_t>{start + 250, start + 500, start + 750}));

  timer->SetEnabled(false);
  Display.Advance(1000);
  EXPECT_EQ(times.size(), 3u);
  EXPECT_FALSE(timer->Running());

  timer->SetEnabled(true);  // a fresh wait from now
  Display.Advance(249);
  EXPECT_EQ(times.size(), 3u);
  Display.Advance(1);
  EXPECT_EQ(times.size(), 4u);
  TComponent::Free(timer);
  Display.Advance(1000);
  EXPECT_EQ(times.size(), 4u);
}

TEST_F(TimerTest, RunsOnlyWithAHandlerAndAnInterval) {
  auto* timer = new TCountingTimer(App);
  timer->SetInterval(100);
  Display.Advance(1000);
  EXPECT_EQ(timer->Ticks, 0);
  EXPECT_FALSE(timer->Running());

  int handled = 0;
  timer->SetOnTimer([&](TObject*) { ++handled; });
  Display.Advance(300);
  EXPECT_EQ(timer->Ticks, 3);
  EXPECT_EQ(handled, 3);

  timer->SetInterval(0);
  Display.Advance(1000);
  EXPECT_EQ(timer->Ticks, 3);
  timer->SetOnTimer(nullptr);
  timer->SetInterval(100);
  Display.Advance(1000);
  EXPECT_EQ(timer->Ticks, 3);
}

TEST_F(TimerTest, ChangingTheIntervalStartsTheWaitAgain) {
  auto* timer = new TTimer(App);
  int ticks = 0;
  timer->SetInterval(1000);
  timer->SetOnTimer([&](TObject*) { ++ticks; });
  Display.Advance(900);
  timer->SetInterval(300);
  Display.Advance(299);
  EXPECT_EQ(ticks, 0);
  Display.Advance(1);
  EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, HandlerMayFreeItsTimer) {
  auto* timer = new TTimer(App);
  int ticks = 0;
  timer->SetInterval(50);
  timer->SetOnTimer([&](TObject* sender) {
    ++ticks;
    TComponent::Free(static_cast<TComponent*>(sender));
  });
  Display.Advance(500);
  EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, LayoutSetsTheTimer) {
  RegisterWidgetClasses();
  struct TTimerForm : public TForm {
    using TForm::TForm;
    int Ticks = 0;
    void GetMethods(std::map<std::string, std::any>& methods) override {
      methods["Tick"] = TNotifyEvent([this](TObject*) { ++Ticks; });
    }
  };
  auto* form = new TTimerForm(App);
  ReadLayout(form, "object TimerForm: TForm\n  object Timer1: TTimer\n    Interval = 40\n    OnTimer = Tick\n  end\nend\n");
  auto* timer = dynamic_cast<TTimer*>(form->FindComponent("Timer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 40u);
  EXPECT_TRUE(timer->Enabled());
  Display.Advance(120);
  EXPECT_EQ(form->Ticks, 3);
}

}  // namespace
