#include <gtest/gtest.h>

#include "tests/render/TestSkinControl.h"

namespace {

// 255 - k * 256 div 20 for k = 1 .. 20, the last one clamped from -1.
const int kTwentyWeights[20] = {243, 230, 217, 204, 191, 179, 166, 153, 140, 127,
                                115, 102, 89,  76,  63,  51,  38,  25,  12,  0};

// One byte of a blend of the old face into the new one with weight w.
int Mix(int oldByte, int newByte, int w) { return (oldByte * w + newByte * (255 - w) + 127) >> 8; }
COLORREF Mix(COLORREF oldColor, COLORREF newColor, int w) {
  return RGB(Mix(GetRValue(oldColor), GetRValue(newColor), w), Mix(GetGValue(oldColor), GetGValue(newColor), w),
             Mix(GetBValue(oldColor), GetBValue(newColor), w));
}

constexpr COLORREF kNormal = TTestSkinControl::kStateColors[0];
constexpr COLORREF kHot = TTestSkinControl::kStateColors[1];

class Fade : public SkinnedFormTest {
 protected:
  // A control of `section` on the shown form, its face composed in the normal state.
  TTestSkinControl* Shown(const std::string& section) {
    ApplySkin();
    TTestSkinControl* c = Make(94, section);
    ShowForm();
    EXPECT_FALSE(c->SkinData()->CacheInvalid);
    c->Commands.clear();
    return c;
  }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) Display.Advance(10);
  }
};

TEST(FadeEvents, DefaultSetStandsInForTheMouseEvents) {
  EXPECT_TRUE(EventAnimates(aeMouseEnter, 1u << aeGlobalDef));
  EXPECT_TRUE(EventAnimates(aeMouseUp, 1u << aeGlobalDef));
  EXPECT_FALSE(EventAnimates(aeMouseEnter, 0));
  EXPECT_TRUE(EventAnimates(aeMouseDown, 1u << aeMouseDown));
  EXPECT_FALSE(EventAnimates(aeMouseLeave, 1u << aeMouseDown));
}

TEST_F(Fade, TwentyIterationsShowTwentyFramesThenStopOnTheTwentyFirstTick) {
  TTestSkinControl* c = Shown("BUTTON");
  c->Perform(CM_MOUSEENTER);
  ASSERT_NE(c->FadeTimer, nullptr);
  // The new face is composed at once but not shown yet.
  EXPECT_EQ(c->Commands, std::vector<unsigned>{AC_FADEPREPARE});
  EXPECT_EQ(c->SkinData()->Cache()->GetPixel(0, 0), kHot);
  Display.Pump();
  EXPECT_EQ(PixelOf(c, 5, 5), kNormal);
  for (int k = 1; k <= 20; ++k) {
    Tick();
    ASSERT_EQ(c->FramePixels.size(), size_t(k));
    ASSERT_NE(c->FadeTimer, nullptr) << k;
  }
  Tick();
  EXPECT_EQ(c->FadeTimer, nullptr);
  EXPECT_EQ(c->Commands.back(), AC_STOPFADING);
  EXPECT_EQ(c->FramePixels.size(), 20u);
  Display.Pump();
  EXPECT_EQ(PixelOf(c, 5, 5), kHot);
}

TEST_F(Fade, FramesBlendTheOldFaceIntoTheNewWithFallingWeights) {
  TTestSkinControl* c = Shown("BUTTON");
  c->Perform(CM_MOUSEENTER);
  for (int k = 0; k < 20; ++k) {
    Tick();
    ASSERT_EQ(c->FramePixels.size(), size_t(k + 1));
    EXPECT_EQ(c->FramePixels[size_t(k)], Mix(kNormal, kHot, kTwentyWeights[k])) << "frame " << k + 1;
    // Answered with 0, so the fade drew the frame on the window itself.
    EXPECT_EQ(PixelOf(c, 39, 19), c->FramePixels[size_t(k)]) << "frame " << k + 1;
  }
}

TEST_F(Fade, HalvedFadesTakeHalfTheFrames) {
  TTestSkinControl* c = Shown("BUTTON");
  c->Pressed = true;
  ChangePaint(c->FadeTimer, c->SkinData(), true, 1, true);
  Tick(10);
  EXPECT_EQ(c->FramePixels.size(), 10u);
  EXPECT_NE(c->FadeTimer, nullptr);
  Tick();
  EXPECT_EQ(c->FadeTimer, nullptr);  // 11 ticks in all

  TTestSkinControl* shortFade = Make(94, "SHORT", nullptr, 10, 60);
  Display.Pump();
  shortFade->Pressed = true;
  ChangePaint(shortFade->FadeTimer, shortFade->SkinData(), true, 1, true);
  Tick(3);
  EXPECT_EQ(shortFade->FramePixels.size(), 2u);  // 5 div 2
  EXPECT_EQ(shortFade->FadeTimer, nullptr);
}

TEST_F(Fade, WithoutFadingOrWithAStaleFaceTheChangeRepaintsAtOnce) {
  for (const char* section : {"NOFADE", "BUTTON"}) {
    TTestSkinControl* c = Shown(section);
    const int rebuilds = c->Rebuilds;
    if (std::string(section) == "BUTTON") c->SkinData()->CacheInvalid = true;
    c->Perform(CM_MOUSEENTER);
    EXPECT_EQ(c->FadeTimer, nullptr) << section;
    EXPECT_TRUE(c->Commands.empty()) << section;
    EXPECT_EQ(c->Rebuilds, rebuilds + 1) << section;
    EXPECT_FALSE(c->SkinData()->CacheInvalid) << section;
    Display.Pump();
    EXPECT_EQ(PixelOf(c, 5, 5), kHot) << section;
    TComponent::Free(c);
  }
}

TEST_F(Fade, ARestartTakesItsLengthFromTheInterruptedFade) {
  TTestSkinControl* c = Shown("BUTTON");
  c->Perform(CM_MOUSEENTER);
  Tick(5);
  c->Perform(CM_MOUSELEAVE);
  // The fade in had reached frame 6, so the way back has 6 frames.
  Tick(6);
  ASSERT_EQ(c->FramePixels.size(), 11u);
  EXPECT_NE(c->FadeTimer, nullptr);
  // It starts from the face the interrupted fade had composed: 255 - 256 div 6 = 213.
  EXPECT_EQ(c->FramePixels[5], Mix(kHot, kNormal, 213));
  EXPECT_EQ(c->FramePixels[10], Mix(kHot, kNormal, 0));
  Tick();
  EXPECT_EQ(c->FadeTimer, nullptr);
}

TEST_F(Fade, AResizedControlShowsTheOldFaceUnblendedUntilTheEnd) {
  TTestSkinControl* c = Shown("BUTTON");
  c->Perform(CM_MOUSEENTER);
  Tick(3);
  c->SetBounds(10, 10, 50, 24);
  Display.Pump();
  ASSERT_EQ(c->SkinData()->Cache()->Width(), 50);
  Tick(17);
  ASSERT_EQ(c->FramePixels.size(), 20u);
  for (size_t k = 3; k < 20; ++k) {
    EXPECT_EQ(c->FramePixels[k], kNormal) << k;
    EXPECT_EQ(c->FrameSizes[k], (TSize{40, 20})) << k;
  }
  Tick();
  EXPECT_EQ(c->FadeTimer, nullptr);
}

TEST_F(Fade, AControlDestroyedDuringAFadeTakesItsTimerAlong) {
  TTestSkinControl* c = Shown("BUTTON");
  c->Perform(CM_MOUSEENTER);
  Tick(2);
  EXPECT_NE(NextTimerDue(), UINT64_MAX);
  TComponent::Free(c);
  EXPECT_EQ(NextTimerDue(), UINT64_MAX);
  Tick(30);
}

TEST_F(Fade, ATickWithoutALiveControlShowsNothingMore) {
  TTestSkinControl* c = Shown("BUTTON");
  auto* timer = new TsFadeTimer(Form);  // outlives the control's destruction
  timer->PrepareFade(c->SkinData());
  timer->StepIndex = 1;
  timer->SetDirection(1);
  c->IncludeState(csDestroying);
  Tick(3);
  c->ExcludeState(csDestroying);
  EXPECT_TRUE(c->FramePixels.empty());
  EXPECT_EQ(timer->FadeDirection, 0);
  EXPECT_TRUE(timer->Enabled());  // stopped only by its control
  TComponent::Free(timer);
}

}  // namespace
