#pragma once
// Masks of a skin: nine-part borders, glyph images, the complete painting of a linked
// control, corner repair of a cached face, a border over a button face with its window
// shape, and a button's own glyph bitmap.
#include <vector>

#include "platform/graphics/Region.h"
#include "skin/data/sSkinData.h"
#include "skin/render/sCommonData.h"

class TsSkinManager;

void PaintBorderMask(TDib* bitmap, TRect r, bool fillCentre, bool seeThrough, int state, const TsMaskData& mask,
                     TsBgSource& source);
void DrawMaskImage(TDib* bitmap, TPoint point, int state, const TsMaskData& mask, int mode);
void PaintSkinSection(int sectionIndex, const std::string& sectionName, TsBgSource& source, int hotTextureIndex,
                      int textureIndex, TsSkinManager* manager, TDib* bitmap, TPoint point, TRect r, int state,
                      bool fillCentre);
void PaintSkinSectionFixed(int sectionIndex, int borderMaskIndex, int textureIndex, TsSkinManager* manager, TDib* bitmap,
                           TPoint point, TRect r, int state, bool fillCentre, TsBgSource& source,
                           const std::string& sectionName, int hotTextureIndex);
void PaintSkinSectionToDC(int sectionIndex, const std::string& sectionName, TsBgSource& source, TsSkinManager* manager,
                          HDC dc, TPoint point, TRect r, int state, bool fillCentre);
void PaintLinkSkin(TsCommonData* link, TsBgSource& source, bool fillCentre, bool seeThrough, TDib* bitmap, TPoint point,
                   TRect r, int state);
// corners: 1 top-left, 2 bottom-left, 4 top-right, 8 bottom-right.
void RepairCacheCorners(TsCommonData* link, int state, uint32_t corners);
inline void RepairAllCorners(TsCommonData* link, int state) { RepairCacheCorners(link, state, 15); }
void PaintBorderOverFace(TDib* bitmap, TRegion* region, bool fillCentre, int state, const TsMaskData& mask);
// disabledKind as for PaintDisabled (dkBlended, dkGrayed).
void DrawGlyphBitmap(const TDib& glyph, TDib* target, TRect r, int blend, bool active, uint32_t disabledKind, bool grayed,
                     bool enabled, int numGlyphs);
void CopyKeyedBitmap(TDib* target, const TDib& picture, int x, TColor key, int y);
// What a border mask leaves of a window of `width` x `height` at its corners: the key-coloured
// pixels of its four corner parts, as rectangles in window coordinates (the holes of the
// window's outline). `masterBitmap` holds the mask when it has no picture of its own.
std::vector<TRect> BorderMaskCornerHoles(const TsMaskData& mask, const TDib* masterBitmap, int width, int height);
