#pragma once
// A picture in the making for the skin-art painters, and the painter type itself.
#include <functional>
#include <vector>

#include "tools/skinart/Colour.h"
#include "tools/skinart/Shape.h"

namespace SkinArt {

using TShade = std::function<TRgb(float, float)>;
using TOpacity = std::function<float(float, float)>;

// Premultiplied colour and coverage per pixel. Shapes are sampled 4 x 4 times per pixel, so
// coverage comes in steps of 1/16, as the mask greys do.
class TLayer {
 public:
  struct TPixel {
    float R = 0, G = 0, B = 0, A = 0;
  };

  TLayer(int width, int height) : FWidth(width), FHeight(height), FPixels(size_t(width) * size_t(height)) {}

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  const TPixel& At(int x, int y) const { return FPixels[size_t(y) * size_t(FWidth) + size_t(x)]; }
  TPixel& At(int x, int y) { return FPixels[size_t(y) * size_t(FWidth) + size_t(x)]; }

  // Lays the shape over what is there, coloured and faded by functions of the pixel centre.
  void Paint(const TShape& shape, const TShade& shade, const TOpacity& opacity);
  void Paint(const TShape& shape, const TShade& shade, float opacity = 1);
  void Paint(const TShape& shape, TRgb colour, float opacity = 1);
  void Paint(const TShape& shape, TRgb colour, const TOpacity& opacity);

  // Colour without the coverage; white where nothing was painted.
  TRgb Colour(int x, int y) const;
  float Alpha(int x, int y) const { return At(x, y).A; }

  TLayer Transposed() const;
  TLayer Mirrored() const;
  TLayer Flipped() const;

 private:
  int FWidth;
  int FHeight;
  std::vector<TPixel> FPixels;
};

// Paints one state image of a mask at the given size.
using TPainter = std::function<TLayer(int state, int width, int height)>;

TPainter Transposed(TPainter p);
TPainter Mirrored(TPainter p);
TPainter Flipped(TPainter p);

}  // namespace SkinArt
