#pragma once
// A form on the headless screen with a skin manager of its own whose skin the test makes
// in memory (TTestSkin): the fixture's SetUp adds sections and masks to Skin, then calls
// Skin->Apply(). The manager is the default one every skinned control uses.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "tests/support/FormOnScreen.h"
#include "tests/support/TestSkin.h"

class TestSkinForm : public FormOnScreen {
 protected:
  TsSkinManager* Manager = nullptr;
  std::unique_ptr<TTestSkin> Skin;

  void SetUp() override {
    FormOnScreen::SetUp();
    Manager = new TsSkinManager(Form);
    Skin = std::make_unique<TTestSkin>(Manager, "Test");
  }
  // Shown, and everything it starts handled.
  void ShowForm() {
    FormOnScreen::ShowForm();
    Handle();
  }
};

// Where `text` leaves ink when the window system draws it in `font` on a w x h picture: with
// its top-left corner at `origin`, or laid out in `box` by `format`. The picture is black on
// white.
inline TDib InkOf(const std::string& text, const TLogFont& font, TPoint origin, int w, int h, unsigned format = 0,
                  TRect box = {}) {
  TDib ink(w, h);
  ink.Fill(RGB(255, 255, 255));
  TDC dc(&ink);
  SelectFont(&dc, font);
  SetBkMode(&dc, TRANSPARENT);
  SetTextColor(&dc, RGB(0, 0, 0));
  TRect r = box.IsEmpty() ? TRect{origin.X, origin.Y, w, h} : box;
  DrawText(&dc, text, &r, format | DT_NOCLIP);
  return ink;
}

// How many pixels differ between where `ink` is black and where `shot` has the colour `c`,
// leaving out the pixels of `skip`.
inline int InkMisses(const TDib& ink, const TDib& shot, COLORREF c, TRect skip = {}) {
  int misses = 0;
  for (int y = 0; y < ink.Height(); ++y)
    for (int x = 0; x < ink.Width(); ++x)
      if (!skip.Contains(x, y)) misses += (ink.GetPixel(x, y) == 0) != (shot.GetPixel(x, y) == c);
  return misses;
}
