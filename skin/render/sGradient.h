#pragma once
// Gradients of skin sections: bands top to bottom (mode 0), left to right (mode 1), or four
// triangles from the corners to the centre (mode 2).
#include "platform/graphics/Dib.h"
#include "skin/data/sSkinText.h"

void PaintGradient(TDib* bitmap, TRect r, const TsGradArray& pieces);
