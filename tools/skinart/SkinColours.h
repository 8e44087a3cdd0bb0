#pragma once
// The colours of a skin: every colour the shared painters use, by name. The internal skin
// lists its own; a shipped skin maps the internal skin's colours onto a look of its own.
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "tools/skinart/Colour.h"

namespace SkinArt {

// Colours of one state of a glass face: outline, the highlight band from its top colour to
// its end colour, the face below it and the glow that lightens the bottom rows.
struct TGlassLook {
  TRgb Outline;
  TRgb Top;
  TRgb HighlightEnd;
  TRgb Face;
  TRgb Glow;
  float Shine = 0.6f;    // opacity of the light line inside the outline, top part
  bool Sunken = false;   // a pressed face: a shadow under the top edge
};

enum TInk {
  ikWhite,  // light lines, shine, symbols
  // glass faces
  ikGlassShadow, ikGlassSunken,
  // column headers
  ikHeaderTop, ikHeaderTopHot, ikHeaderTopPressed, ikHeaderBottom, ikHeaderBottomHot, ikHeaderBottomPressed,
  ikHeaderLine, ikHeaderSeparator, ikHeaderHotLine,
  // entry fields and grooves
  ikFieldOutline, ikFieldOutlineHot, ikFieldInner, ikFieldGlow,
  ikGrooveOutline, ikGrooveOutlineHot, ikGrooveShadow,
  // etched frames, menus, popups
  ikGroupBoxOutline, ikDividerOutline, ikHintOutline, ikMenuItemOutline, ikPopupOutline, ikPopupInner,
  // the window frame, from the outside in, and the form within it
  ikFrameRing1, ikFrameRing2, ikFrameRing3, ikFrameRing4, ikForm, ikTitleSeparator,
  // flat panels: outlines, their shade, and the fills of the sections that use them
  ikPanelOutline, ikPanelOutlineLowered, ikPanelShade,
  ikPage, ikToolBar, ikPanelLow, ikStatusBar, ikPanel, ikBar, ikBarPanel, ikBarTitle,
  // title-bar symbols
  ikSymbolShadow,
  // check boxes and radio buttons
  ikBoxOutline, ikBoxOutlineHot, ikBoxOutlinePressed, ikBoxTop, ikBoxTopPressed,
  ikBoxBottom, ikBoxBottomHot, ikBoxBottomPressed, ikBoxGlow, ikBoxShadow,
  ikCheck, ikCheckHot, ikGrayed, ikRadioDot, ikRadioDotHot,
  // small pictures without a mask are laid over this
  ikMenuMatte,
  // arrows and ridges by state, grip dots, track bars
  ikArrow, ikArrowHot, ikArrowPressed, ikGripDot, ikTick, ikChannel, ikChannelShadow,
  // the pattern of the area behind child windows
  ikMdiArea,
  ikCount
};

enum TLook {
  lkButton, lkButtonHot, lkButtonPressed,
  lkTabActive, lkTabInactive,
  lkTitleButton, lkTitleButtonHot, lkTitleButtonPressed,
  lkCloseHot, lkClosePressed,
  lkCount
};

class TSkinColours {
 public:
  using TInkEntry = std::pair<TInk, TRgb>;
  using TLookEntry = std::pair<TLook, TGlassLook>;

  // Every colour and look exactly once; throws std::runtime_error naming the first one that
  // is missing or given twice.
  static TSkinColours FromTable(const std::vector<TInkEntry>& inks, const std::vector<TLookEntry>& looks);

  TRgb operator[](TInk ink) const { return FInks[size_t(ink)]; }
  const TGlassLook& operator[](TLook look) const { return FLooks[size_t(look)]; }
  // The colour of a state: 0 normal, 1 hot, 2 pressed.
  TRgb ByState(int state, TInk normal, TInk hot, TInk pressed) const {
    return (*this)[state == 2 ? pressed : state == 1 ? hot : normal];
  }

  // Every colour through `map`, and the shine of glass faces scaled by `shine` (at most 1).
  TSkinColours Mapped(const std::function<TRgb(TRgb)>& map, float shine) const;

 private:
  std::array<TRgb, ikCount> FInks;
  std::array<TGlassLook, lkCount> FLooks;
};

}  // namespace SkinArt
