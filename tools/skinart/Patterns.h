#pragma once
// Textures that tile without seams: the sheen of the master bitmap's textures and the
// background pictures of the shipped skins.
#include "platform/graphics/Dib.h"
#include "tools/skinart/Layer.h"

namespace SkinArt {

// A soft diagonal sheen over `base` and faint lines every third row.
TPainter Sheen(TRgb base);

enum TPatternKind { ptPaper, ptBrushed };
// Brushed metal (fine streaks along the rows) or paper (soft mottling and fibres) around
// `base`. Values come from a hash of the wrapped position, so every run draws the same picture.
TDib DrawPattern(TPatternKind kind, TRgb base, int w, int h);

}  // namespace SkinArt
