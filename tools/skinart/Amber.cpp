#include <algorithm>

#include "tools/skinart/FolderSkin.h"

namespace SkinArt {

// Amber: warm cream and honey tones, brown text, a deeper orange accent.
TFolderSkin AmberSkin() {
  TFolderSkin skin;
  skin.Name = "Amber";
  skin.Description = "Warm light amber and cream";
  skin.Shine = 0.9f;
  skin.Map = ByTone([](const THsl& h) { return FromHsl({36, std::min(1.0f, h.S * 0.95f), 0.02f + 0.97f * h.L}); },
                    [](const THsl& h) { return FromHsl({24, 0.78f, 0.12f + 0.8f * h.L}); },
                    [](const THsl& h) { return h.S <= 0.04f ? FromHsl({36, 0.10f, h.L}) : FromHsl(h); });
  skin.Text = ByLightness([](const THsl& h) { return FromHsl({22, 0.55f, 0.08f + 0.6f * h.L}); },
                          [](const THsl& h) { return FromHsl({36, 0.3f, std::max(h.L, 0.9f)}); });
  skin.Contour = ByLightness([](const THsl& h) { return FromHsl({22, 0.6f, 0.12f + 0.3f * h.L}); },
                             [](const THsl& h) { return FromHsl({40, 0.6f, std::max(h.L, 0.85f)}); });
  skin.PatternBase = Rgb(0xEE, 0xDD, 0xBE);
  return skin;
}

}  // namespace SkinArt
