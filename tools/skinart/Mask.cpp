#include "tools/skinart/Mask.h"

#include <utility>

namespace SkinArt {

TMask Glyph(std::string section, std::string property, TRect r, int count, int maskType, TPainter paint) {
  TMask m;
  m.Section = std::move(section);
  m.Property = std::move(property);
  m.R = r;
  m.ImageCount = count;
  m.MaskType = maskType;
  m.Paint = std::move(paint);
  return m;
}

TMask Border(std::string section, TRect r, int count, int maskType, int wl, int wr, int wt, int wb, TPainter paint) {
  TMask m = Glyph(std::move(section), "BORDERSMASK", r, count, maskType, std::move(paint));
  m.ImgType = itisaBorder;
  m.StretchMode = 1;
  m.WL = wl;
  m.WR = wr;
  m.WT = wt;
  m.WB = wb;
  return m;
}

TMask Texture(std::string section, std::string property, TRect r, TPainter paint) {
  TMask m = Glyph(std::move(section), std::move(property), r, 1, 0, std::move(paint));
  m.ImgType = itisaTexture;
  return m;
}

TMask K3(std::string section, int x, int y, TPainter paint) {
  return Border(std::move(section), Bounds(x, y, 45, 30), 3, 1, 5, 5, 5, 5, std::move(paint));
}

TMask K2(std::string section, int x, int y, TPainter paint) {
  return Border(std::move(section), Bounds(x, y, 30, 30), 2, 1, 5, 5, 5, 5, std::move(paint));
}

TMask K1(std::string section, int x, int y, TPainter paint) {
  return Border(std::move(section), Bounds(x, y, 15, 30), 1, 1, 5, 5, 5, 5, std::move(paint));
}

TMask K0(std::string section, int x, int y, TPainter paint, TRgb fill) {
  TMask m = Border(std::move(section), Bounds(x, y, 12, 12), 1, 0, 2, 2, 2, 2, std::move(paint));
  m.Matte = fill;
  return m;
}

}  // namespace SkinArt
