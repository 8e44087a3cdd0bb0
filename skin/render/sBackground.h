#pragma once
// Painting the background of a skin section into a 24-bit bitmap for a state: colour,
// texture, gradient and see-through blending with what lies behind; the disabled look, the
// shadow, and painting windowless children over a container's face.
#include "platform/widgets/Controls.h"
#include "skin/data/sSkinData.h"
#include "skin/render/sCommonData.h"

class TsSkinManager;

void TileImage(HDC dc, const TRect& r, const TDib* picture);
// Returns the part of `r` left uncovered, or (-1, -1, -1, -1) when all is covered.
TRect PaintTexture(HDC dc, TRect r, const TDib* picture, int stretchMode, const TsMaskData* mask);
void PaintMaskedTexture(TDib* bitmap, TRect r, TsBgSource& source, int stretchMode, const TsMaskData& mask);
void CopyMaskedSeeThrough(const TRect& destinationRect, const TRect& sourceRect, TDib* bitmap, const TsMaskData& mask,
                          TsBgSource& source);
void PaintSectionBackground(int sectionIndex, const std::string& sectionName, TsBgSource& source, TColor color,
                            int hotTextureIndex, int textureIndex, TsSkinManager* manager, TDib* bitmap, TPoint point,
                            TRect r, int state);
void PaintLinkBackground(TsCommonData* link, TsBgSource& source, int state, TDib* bitmap, TPoint point, TRect r);
void PaintSectionBackgroundFixed(int sectionIndex, int textureIndex, int hotTextureIndex, TsSkinManager* manager,
                                 TDib* bitmap, TPoint point, TRect r, int state, TsBgSource& source,
                                 const std::string& sectionName);
// kind: bit 1 grey (dkGrayed), bit 0 blended (dkBlended).
inline constexpr uint32_t dkBlended = 1, dkGrayed = 2;
void PaintDisabled(TDib* bitmap, uint32_t kind, TControl* parentControl, TPoint point, TsBgSource& source);
void PaintShadow(TDib* bitmap, TRect r, int transparency, int radius, int blur, TColor color);
void PaintGraphicChildren(HDC dc, TWinControl* container);
bool IsPaintableGraphicChild(TControl* child, HDC dc);
