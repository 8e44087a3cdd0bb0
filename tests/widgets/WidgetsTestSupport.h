#pragma once
// A headless screen and an application object for every widget test.
#include <gtest/gtest.h>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/widgets/Forms.h"

class WidgetTest : public ::testing::Test {
 protected:
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  void SetUp() override {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
  // Clicks at a point of a control's client area (screen coordinates are worked out).
  void ClickOn(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.Click(p.X, p.Y);
    Display.Pump();
  }
  COLORREF PixelOf(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    return Display.ScreenPixel(p.X, p.Y);
  }
};
