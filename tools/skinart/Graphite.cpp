#include "tools/skinart/FolderSkin.h"

namespace SkinArt {

// Graphite: dark neutral greys with a touch of blue, white text, an orange accent for hot,
// pressed and checked things.
TFolderSkin GraphiteSkin() {
  TFolderSkin skin;
  skin.Name = "Graphite";
  skin.Description = "Dark graphite greys with an orange accent";
  skin.Shine = 0.45f;
  skin.Map = ByTone([](const THsl& h) { return FromHsl({212, h.S * 0.14f, 0.08f + 0.42f * h.L}); },
                    [](const THsl& h) { return FromHsl({28, 0.9f, 0.36f + 0.45f * h.L}); },
                    [](const THsl& h) {
                      // White stays light: the symbols on title buttons and the shine of glass.
                      if (h.S <= 0.04f) return FromHsl({212, 0.04f, h.L >= 0.98f ? 0.86f : 0.08f + 0.42f * h.L});
                      return FromHsl({h.H, h.S * 0.8f, 0.12f + 0.7f * h.L});
                    });
  skin.Text = ByLightness([](const THsl& h) { return FromHsl({212, 0.10f, 0.93f - 0.3f * h.L}); },
                          [](const THsl&) { return FromHsl({28, 0.9f, 0.62f}); });
  skin.Contour = [](TRgb) { return Rgb(0x14, 0x16, 0x19); };
  skin.PatternBase = Rgb(0x3A, 0x3D, 0x42);
  skin.Pattern = ptBrushed;
  return skin;
}

}  // namespace SkinArt
