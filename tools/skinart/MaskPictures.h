#pragma once
// Draws the masks into the skin's pictures: each state image beside the next, a mask half
// under the picture half where the mask has one, clear corners in the key colour.
#include <vector>

#include "platform/graphics/Dib.h"
#include "tools/skinart/Mask.h"

namespace SkinArt {

// Greys of the mask halves: 17 steps, from black (picture shown) to white (background kept).
int MaskGrey(float alpha);

// One state image of a border, painted through a larger picture cut into nine parts: corners
// and the far parts of the edges come from the large picture, every centre row and column
// from its middle, so edges stay the same along their length and the centre is even.
TLayer PaintSliced(const TMask& m, int state, int fw, int fh);

// Whether each pixel of a state image takes the key colour (row by row). Glyphs key every
// clear pixel; borders only the clear pixels of their corner pieces that the outer edge
// reaches, so the clear inside of a hollow frame never becomes a hole in a window outline.
std::vector<char> KeyedPixels(const TMask& m, const TLayer& layer);

void DrawMask(TDib& bmp, const TMask& m);

struct TPictures {
  TDib Master;  // 24 bits as drawn, then 8 bits as stored
  TDib Huge;
};

// Both pictures white, then every mask that has a painter drawn into its own.
TPictures DrawPictures(const std::vector<TMask>& masks);

}  // namespace SkinArt
