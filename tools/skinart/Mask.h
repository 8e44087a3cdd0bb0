#pragma once
// A mask of a skin: where a picture lies in the master bitmap (or in a picture of its own),
// how the skin engine cuts and stretches it, and the painter that draws it.
#include <string>
#include <utility>

#include "platform/graphics/Types.h"
#include "skin/data/sSkinData.h"
#include "tools/skinart/Layer.h"

namespace SkinArt {

constexpr COLORREF kKey = kSkinKeyColor;
constexpr int kMasterWidth = 304;
// The stored skin's master bitmap; a folder skin's is taller by a strip for its restore glyph.
constexpr int kMasterHeight = 260;
constexpr int kFolderMasterHeight = 300;
constexpr int kHugeWidth = 288;
constexpr int kHugeHeight = 192;
inline const char* const kHugeName = "BTN_HUGE.BMP";

struct TMask {
  std::string Section;
  std::string Property;
  TRect R;
  int ImageCount = 1;
  int MaskType = 0;
  int BorderWidth = 0;
  int StretchMode = 0;
  TkvImgType ImgType = itisaGlyph;
  int WL = 0, WR = 0, WT = 0, WB = 0;
  TPainter Paint;             // empty: the area is another mask's
  bool Carried = false;       // a picture of its own (BTN_HUGE.BMP)
  bool HardCorners = false;   // corners keyed where less than half covered (window outlines)
  TRgb Matte = kWhite;        // what soft pixels of a picture without mask are laid over

  // Size of one state image.
  int FrameWidth() const { return R.Width() / ImageCount; }
  int FrameHeight() const { return R.Height() / (MaskType + 1); }
};

TMask Glyph(std::string section, std::string property, TRect r, int count, int maskType, TPainter paint);
TMask Border(std::string section, TRect r, int count, int maskType, int wl, int wr, int wt, int wb, TPainter paint);
TMask Texture(std::string section, std::string property, TRect r, TPainter paint);

// Sizes of the common kinds of border: three states of 15 x 15 with their mask (K3), two
// states (K2), one state (K1), and flat borders of 12 x 12 without mask (K0).
TMask K3(std::string section, int x, int y, TPainter paint);
TMask K2(std::string section, int x, int y, TPainter paint);
TMask K1(std::string section, int x, int y, TPainter paint);
TMask K0(std::string section, int x, int y, TPainter paint, TRgb fill);

// The mask with one field changed.
template <class T, class U>
TMask With(TMask m, T TMask::*field, U value) {
  m.*field = std::move(value);
  return m;
}
inline TMask Hard(TMask m) { return With(std::move(m), &TMask::HardCorners, true); }
// The area is drawn by another mask on the same rectangle.
inline TMask Shared(TMask m) { return With(std::move(m), &TMask::Paint, nullptr); }
inline TMask WithMatte(TMask m, TRgb matte) { return With(std::move(m), &TMask::Matte, matte); }
inline TMask WithBorderWidth(TMask m, int width) { return With(std::move(m), &TMask::BorderWidth, width); }
inline TMask Carried(TMask m) { return With(std::move(m), &TMask::Carried, true); }
// The track bar's channel is a border under another name.
inline TMask Channel(TMask m) { return With(std::move(m), &TMask::Property, "SLIDERCHANNEL"); }

}  // namespace SkinArt
