#pragma once
// Skins made in memory for pixel tests: sections of plain colours (one for the normal state,
// one for hot and pressed) and masks cut from a master bitmap whose pixels the test paints
// itself, so that every pixel a painter puts down can be worked out by hand.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/graphics/Dib.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sStoredSkins.h"

class TTestSkin {
 public:
  // A new stored skin `name` in the manager's internal skins, with a master bitmap of the
  // given size filled with the key colour.
  TTestSkin(TsSkinManager* manager, const std::string& name, int masterWidth = 512, int masterHeight = 256)
      : FManager(manager), FName(name), FMaster(masterWidth, masterHeight) {
    FSkin = manager->InternalSkins()->Add();
    FSkin->Name = name;
    FSkin->Version = 1;
    FMaster.Fill(kSkinKeyColor);
    Section("GLOBALINFO", RGB(150, 150, 150), RGB(150, 150, 150));
  }

  // A section filled with `color` in the normal state and `hot` otherwise; its text in
  // `font` (`hotFont` when hot) without contours; no fading.
  TsSkinGeneral* Section(const std::string& name, COLORREF color, COLORREF hot, COLORREF font = RGB(0, 0, 0),
                         COLORREF hotFont = RGB(0, 0, 0)) {
    TsSkinGeneral* g = FSkin->GeneralData()->Add();
    g->SectionName = name;
    g->Color = TColor(color);
    g->HotColor = TColor(hot);
    g->FontColor = std::to_string(font) + " -1 -1 -1 -1";
    g->HotFontColor = std::to_string(hotFont) + " -1 -1 -1 -1";
    g->GradientData = " ";
    g->HotGradientData = " ";
    return g;
  }

  // A mask of one image per colour, side by side at (x, y) of the master bitmap, each w x h
  // and filled with its colour; without a transparency part (mask type 0), so key-coloured
  // pixels painted into it later are transparent.
  TsSkinImage* Mask(const std::string& section, const std::string& property, int x, int y, int w, int h,
                    const std::vector<COLORREF>& colors, TkvImgType type = itisaGlyph) {
    TsSkinImage* i = FSkin->Images()->Add();
    i->SectionName = section;
    i->PropertyName = property;
    i->Left = x;
    i->Top = y;
    i->Right = x + w * int(colors.size());
    i->Bottom = y + h;
    i->ImageCount = int(colors.size());
    i->MaskType = 0;
    i->ImgType = type;
    for (size_t n = 0; n < colors.size(); ++n)
      for (int j = 0; j < h; ++j)
        for (int k = 0; k < w; ++k) FMaster.SetPixel(x + int(n) * w + k, y + j, colors[n]);
    return i;
  }
  // A border mask as above, `margin` wide on every side; its centre is not painted, so the
  // section's colour shows inside the frame.
  TsSkinImage* Border(const std::string& section, int x, int y, int w, int h, const std::vector<COLORREF>& colors,
                      int margin) {
    TsSkinImage* i = Mask(section, "BORDERSMASK", x, y, w, h, colors, itisaBorder);
    i->WL = i->WT = i->WR = i->WB = margin;
    i->BorderWidth = margin;
    return i;
  }

  // The master bitmap, to paint single pixels into before Apply().
  TDib& Master() { return FMaster; }

  // Stores the master bitmap and makes the skin the manager's active one.
  void Apply() {
    FSkin->MasterBitmap()->LoadFromDib(FMaster);
    FManager->SetSkinName(FName);
  }

 private:
  TsSkinManager* FManager;
  std::string FName;
  TsStoredSkin* FSkin = nullptr;
  TDib FMaster;
};

// The bounding box of the pixels of `dib` inside `area` that have exactly the colour `c`
// (empty when there are none).
inline TRect BoundsOfColour(const TDib& dib, COLORREF c, TRect area = {0, 0, 1 << 20, 1 << 20}) {
  TRect box{1 << 20, 1 << 20, -1, -1};
  for (int y = std::max(area.Top, 0); y < std::min(area.Bottom, dib.Height()); ++y)
    for (int x = std::max(area.Left, 0); x < std::min(area.Right, dib.Width()); ++x)
      if (dib.GetPixel(x, y) == c) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return box.Right < 0 ? TRect{} : box;
}
