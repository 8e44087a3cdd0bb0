#include <gtest/gtest.h>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/PngFile.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"
#include "skin/render/sPixelTools.h"
#include "viewer/Maruk_rom.h"

namespace {

// Faces of the viewer's controls painted from the stored skin through their links: the
// button in every state and disabled, the group box, and the frames of a fade. With
// MARUK_SHOT_DIR set, the sheet is written there as faces.png.
TEST(ShippedFaces, ButtonAndGroupBoxFacesFromTheStoredSkin) {
  THeadlessDisplay display;
  SetDisplay(&display);
  auto* app = new TApplication(nullptr);
  TForm1* form = app->CreateForm<TForm1>();
  form->Show();
  display.Pump();

  TDib sheet(4 * 120 + 10, 220);
  sheet.Fill(ColorToRGB(clLime));  // the window's own colour behind see-through faces
  TDC sheetDC(&sheet);
  auto put = [&](const TDib& face, int x, int y) {
    TDC src(const_cast<TDib*>(&face));
    BitBlt(&sheetDC, x, y, face.Width(), face.Height(), &src, 0, 0, SRCCOPY);
  };

  TsCommonData button(form->sBitBtn1, true);
  button.SetSkinSection("BUTTON");
  button.ResolveIndexes();
  ASSERT_GE(button.SectionIndex, 0);
  ASSERT_GE(button.BorderMaskIndex, 0);
  std::vector<TDib> states;
  for (int state = 0; state <= 2; ++state) {
    TDib face(105, 25);
    face.Fill(ColorToRGB(clLime));
    TsBgSource none;
    GlyphFillColor = TColor(ColorToRGB(clLime));
    PaintLinkSkin(&button, none, true, false, &face, {0, 208}, {0, 0, 105, 25}, state);
    states.push_back(face);
    put(face, 10 + state * 120, 10);
  }
  // The three states differ, and the see-through button keeps the window's colour in its corners.
  EXPECT_NE(states[0].GetPixel(52, 12), states[1].GetPixel(52, 12));
  EXPECT_NE(states[1].GetPixel(52, 12), states[2].GetPixel(52, 12));
  EXPECT_EQ(states[0].GetPixel(0, 0), ColorToRGB(clLime));
  // Disabled: half blended with the parent's colour.
  TDib disabled = states[0];
  TsBgSource none;
  ParentFillColor = TColor(ColorToRGB(clLime));
  PaintDisabled(&disabled, dkBlended, form, {0, 208}, none);
  ParentFillColor = 0xFF00FF;
  put(disabled, 10 + 3 * 120, 10);

  TsCommonData group(form->sGroupBox1, true);
  group.SetSkinSection("GROUPBOX");
  group.ResolveIndexes();
  ASSERT_GE(group.SectionIndex, 0);
  TDib groupFace(200, 120);
  groupFace.Fill(ColorToRGB(clLime));
  TsBgSource groupSource;
  GlyphFillColor = TColor(ColorToRGB(clLime));
  PaintLinkSkin(&group, groupSource, true, false, &groupFace, {0, 0}, {0, 0, 200, 120}, 0);
  put(groupFace, 10, 45);

  // Fade frames from normal to hot with the weights of a 20-step fade.
  for (int k = 0; k < 5; ++k) {
    TDib frame = states[0];
    const int step = k * 5;
    const int w = std::clamp(255 - step * 256 / 20, 0, 255);
    BlendSameSize(&frame, &states[1], w);
    put(frame, 230 + (k % 2) * 120, 45 + (k / 2) * 35);
    if (k == 0) {
      // Weight 255 keeps (almost) the old face: every byte becomes (d * 255 + s * 0 + 127) >> 8.
      const COLORREF old = states[0].GetPixel(52, 12);
      auto keep = [](int d) { return (d * 255 + 127) >> 8; };
      EXPECT_EQ(frame.GetPixel(52, 12), RGB(keep(GetRValue(old)), keep(GetGValue(old)), keep(GetBValue(old))));
    }
  }
  if (const char* dir = std::getenv("MARUK_SHOT_DIR")) SavePngFile(sheet, std::string(dir) + "/faces.png");
  TComponent::Free(app);
  SetDisplay(nullptr);
}

}  // namespace
