#include "tools/skinart/MaskTable.h"

#include "tools/skinart/Borders.h"
#include "tools/skinart/Glass.h"
#include "tools/skinart/Glyphs.h"
#include "tools/skinart/Patterns.h"

namespace SkinArt {

// Master bitmap, 304 x 260 (x ranges, then rows; folder skins 304 x 300):
//   0-225 x 0-60      scroll buttons, thumbs, tabs, tool and speed buttons (K3)
//   225-240 x 0-60    hint and divider (K1); 252-270 x 0-36 grip; 270-303 x 0-36 track thumb
//   264-300 x 39-47   scroll arrows left and right; 252-304 x 47-83 the dark texture
//   0-132, 147-207 x 60-72   flat borders (K0); 135-147 form frame; 216-227 check mark;
//                     231-252 x 60-96 title band
//   0-225 x 72-114    scroll button frame, group box, menu item, vertical progress, dialog
//                     and menu frame, gauge
//   0-304 x 114-154   title-bar glyphs; 0-195 x 154-190 radio and check boxes;
//                     197-229 x 156-168 channel and ticks; 252-304 x 154-190 the texture
//   0-195 x 190-250   buttons and header (K3), fields, scroll tracks, progress
//   0-160 x 251-259   arrows and thumb ridges; 195-243 x 188-260 grayed and small boxes;
//                     243-286 x 190-220 push button; 243-297 x 220-242 vertical track thumb
//   0-60 x 260-300    the restore glyph of the title bar (folder skins only)
// Areas that no mask uses stay white.
std::vector<TMask> Masks(const TSkinColours& c, bool ownRestoreGlyph) {
  const TRect restore = ownRestoreGlyph ? TRect{0, 260, 60, 300} : TRect{122, 114, 182, 154};
  TGlassStyle button = ButtonStyle(c, 3, 5);
  button.GlowRows = 6;
  const TGlassStyle scrollButton = ButtonStyle(c, 4, 6);
  const TGlassStyle small = ButtonStyle(c, 2.5f, 4);
  TGlassStyle tool = ButtonStyle(c, 3, 4);
  tool.FlatNormal = true;
  TGlassStyle tabTop = ButtonStyle(c, 3, 5);
  tabTop.OpenBottom = true;
  tabTop.Shadow = false;
  tabTop.Look = {c[lkTabInactive], c[lkButtonHot], c[lkTabActive]};
  TGlassStyle tabBottom = tabTop;
  tabBottom.Band = 2;
  TGlassStyle huge = ButtonStyle(c, 12, 30);
  huge.GlowRows = 14;
  const TPainter tabTopPaint = Glass(c, tabTop);
  const TPainter tabLeftPaint = Transposed(tabTopPaint);
  const TPainter groove = Groove(c);
  const TPainter field = Field(c);
  const TPainter smallGlass = Glass(c, small);
  const TPainter arrow = ArrowRight(c);
  const TPainter comboArrow = ComboArrow(c);
  const TPainter ridges = ThumbRidges(c);
  const TPainter thumb = TrackThumb(c);
  const TPainter tick = Tick(c);
  const TPainter popup = PopupFrame(c);
  const TRgb matte = c[ikMenuMatte];
  // Flat borders: the panel's fill is the section's own colour, also under soft pixels.
  auto flat = [&](const char* section, int x, TPanelKind kind, TInk fill) {
    return K0(section, x, 60, Panel(c, kind, c[fill]), c[fill]);
  };

  return {
      // GLOBALINFO
      Glyph("GLOBALINFO", "BOXCHECKED", {147, 154, 195, 190}, 3, 1, CheckBoxGlyph(c, ckChecked)),
      Glyph("GLOBALINFO", "BOXUNCHECKED", {98, 154, 146, 190}, 3, 1, CheckBoxGlyph(c, ckUnchecked)),
      Glyph("GLOBALINFO", "RADIOCHECKED", {49, 154, 97, 190}, 3, 1, RadioGlyph(c, ckChecked)),
      Glyph("GLOBALINFO", "RADIOUNCHECKED", {0, 154, 48, 190}, 3, 1, RadioGlyph(c, ckUnchecked)),
      Glyph("GLOBALINFO", "BOXGRAYED", {195, 188, 243, 224}, 3, 1, CheckBoxGlyph(c, ckGrayed)),
      Glyph("GLOBALINFO", "BICONCLOSE", {244, 114, 304, 154}, 3, 1, TitleGlyph(c, tsClose)),
      Glyph("GLOBALINFO", "BICONHELP", {183, 114, 243, 154}, 3, 1, TitleGlyph(c, tsHelp)),
      Glyph("GLOBALINFO", "BICONMAX", {122, 114, 182, 154}, 3, 1, TitleGlyph(c, tsMax)),
      Glyph("GLOBALINFO", "BICONMIN", {61, 114, 121, 154}, 3, 1, TitleGlyph(c, tsMin)),
      ownRestoreGlyph ? Glyph("GLOBALINFO", "BICONNORM", restore, 3, 1, TitleGlyph(c, tsRestore))
                      : Shared(Glyph("GLOBALINFO", "BICONNORM", restore, 3, 1, {})),
      Glyph("GLOBALINFO", "TITLEBUTTON", {0, 114, 60, 154}, 3, 1, TitleGlyph(c, tsNone)),
      Glyph("GLOBALINFO", "GRIPIMAGE", {252, 0, 270, 36}, 1, 1, Grip(c)),
      WithMatte(Glyph("GLOBALINFO", "SMALLCHECKED", {195, 236, 231, 248}, 3, 0, SmallBoxGlyph(c, ckChecked)), matte),
      WithMatte(Glyph("GLOBALINFO", "SMALLUNCHECKED", {195, 224, 231, 236}, 3, 0, SmallBoxGlyph(c, ckUnchecked)), matte),
      WithMatte(Glyph("GLOBALINFO", "SMALLGRAYED", {195, 248, 231, 260}, 3, 0, SmallBoxGlyph(c, ckGrayed)), matte),
      WithMatte(Glyph("GLOBALINFO", "CHECK", {216, 60, 227, 69}, 1, 0, CheckMark(c)), matte),
      // Flat borders
      flat("TABSHEET", 0, pkPage, ikPage),
      flat("PAGECONTROLBOTTOM", 12, pkPage, ikPage),
      flat("PAGECONTROLLEFT", 24, pkPage, ikPage),
      flat("PAGECONTROLRIGHT", 36, pkPage, ikPage),
      flat("TABCONTROLLEFT", 48, pkPage, ikPage),
      flat("TABCONTROLRIGHT", 60, pkPage, ikPage),
      flat("TABCONTROLBOTTOM", 72, pkPage, ikPage),
      flat("TOOLBAR", 84, pkRaised, ikToolBar),
      Border("GROUPBOX", {63, 72, 84, 114}, 1, 1, 7, 7, 7, 7, Etched(c, c[ikGroupBoxOutline], 4, 0.7f)),
      flat("PANEL_LOW", 96, pkLowered, ikPanelLow),
      K1("PROGRESSH", 180, 220, groove),
      K1("GAUGE", 210, 72, groove),
      K2("COMBOBOX", 0, 220, field),
      Glyph("COMBOBOX", "GLYPHMASK", {104, 252, 131, 258}, 3, 0, comboArrow),
      K2("SCROLLBAR1H", 60, 220, groove),
      K2("SCROLLBAR2H", 90, 220, groove),
      K2("SCROLLBAR1V", 120, 220, Transposed(groove)),
      K2("SCROLLBAR2V", 150, 220, Transposed(groove)),
      K3("SPEEDBUTTON_SMALL", 0, 190, smallGlass),
      flat("STATUSBAR", 108, pkRaised, ikStatusBar),
      Border("SCROLLBTNRIGHT", {0, 72, 63, 114}, 3, 1, 7, 7, 7, 7, Glass(c, scrollButton)),
      Glyph("SCROLLBTNRIGHT", "GLYPHMASK", {264, 39, 282, 47}, 3, 0, arrow),
      K3("SCROLLBTNTOP", 0, 0, smallGlass),
      Glyph("SCROLLBTNTOP", "GLYPHMASK", {0, 252, 24, 258}, 3, 0, Flipped(Transposed(arrow))),
      Shared(Border("SCROLLBTNLEFT", {0, 72, 63, 114}, 3, 1, 7, 7, 7, 7, {})),
      Glyph("SCROLLBTNLEFT", "GLYPHMASK", {282, 39, 300, 47}, 3, 0, Mirrored(arrow)),
      K3("SCROLLBTNBOTTOM", 45, 0, smallGlass),
      Glyph("SCROLLBTNBOTTOM", "GLYPHMASK", {26, 252, 50, 258}, 3, 0, Transposed(arrow)),
      K3("SCROLLSLIDERH", 90, 0, smallGlass),
      Glyph("SCROLLSLIDERH", "GLYPHMASK", {52, 251, 76, 259}, 3, 0, ridges),
      K3("SCROLLSLIDERV", 135, 0, Transposed(smallGlass)),
      Glyph("SCROLLSLIDERV", "GLYPHMASK", {78, 251, 102, 259}, 3, 0, Transposed(ridges)),
      flat("TABCONTROL", 120, pkPage, ikPage),
      Border("MENUITEM", {126, 72, 168, 114}, 2, 1, 7, 7, 7, 7, MenuItemFrame(c)),
      K1("DIVIDER", 225, 30, Etched(c, c[ikDividerOutline], 2)),
      K3("TABTOP", 180, 0, tabTopPaint),
      K3("TABRIGHT", 90, 30, Mirrored(tabLeftPaint)),
      K3("TABLEFT", 45, 30, tabLeftPaint),
      K3("TABBOTTOM", 0, 30, Flipped(Glass(c, tabBottom))),
      Hard(Border("DIALOG", {189, 72, 210, 114}, 1, 1, 7, 7, 7, 7, popup)),
      Texture("DIALOG", "PATTERN", {252, 154, 304, 190}, Sheen(c[ikForm])),
      Shared(Texture("DIALOG", "HOTPATTERN", {252, 154, 304, 190}, {})),
      Hard(Border("FORMTITLE", {231, 60, 252, 96}, 1, 1, 7, 7, 6, 6, TitleBand(c))),
      K1("PROGRESSV", 168, 72, Transposed(groove)),
      Shared(Glyph("FORM", "BICONCLOSE", {244, 114, 304, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "BICONHELP", {183, 114, 243, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "BICONMAX", {122, 114, 182, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "BICONMIN", {61, 114, 121, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "BICONNORM", restore, 3, 1, {})),
      Shared(Glyph("FORM", "TITLEBUTTON", {0, 114, 60, 154}, 3, 1, {})),
      Shared(Glyph("FORM", "GRIPIMAGE", {252, 0, 270, 36}, 1, 1, {})),
      WithMatte(Hard(Border("FORM", {135, 60, 147, 72}, 1, 0, 4, 4, 4, 4, FormFrame(c))), c[ikForm]),
      Shared(Texture("FORM", "HOTPATTERN", {252, 154, 304, 190}, {})),
      Shared(Texture("FORM", "PATTERN", {252, 154, 304, 190}, {})),
      K2("EDIT", 135, 190, field),
      flat("PANEL", 147, pkRaised, ikPanel),
      flat("BAR", 159, pkRaised, ikBar),
      flat("BARPANEL", 171, pkRaised, ikBarPanel),
      K3("TOOLBUTTON", 135, 30, Glass(c, tool)),
      K3("SPEEDBUTTON", 180, 30, Glass(c, button)),
      flat("PAGECONTROL", 183, pkPage, ikPage),
      flat("BARTITLE", 195, pkRaised, ikBarTitle),
      Hard(Border("MAINMENU", {189, 72, 210, 114}, 1, 1, 7, 7, 7, 7, {})),
      K1("HINT", 225, 0, Etched(c, c[ikHintOutline], 3, 0.85f)),
      Texture("MDIAREA", "PATTERN", {252, 47, 304, 83}, Sheen(c[ikMdiArea])),
      Glyph("TRACKBAR", "TICKVERT", {224, 156, 229, 158}, 1, 0, Transposed(tick)),
      Glyph("TRACKBAR", "TICKHORZ", {219, 156, 221, 161}, 1, 0, tick),
      Glyph("TRACKBAR", "SLIDERVMASK", {243, 220, 297, 242}, 3, 1, Transposed(thumb)),
      Glyph("TRACKBAR", "SLIDERMASK", {270, 0, 303, 36}, 3, 1, thumb),
      Channel(Border("TRACKBAR", {197, 156, 215, 168}, 1, 1, 4, 4, 2, 2, TrackChannel(c))),
      Carried(Border("BUTTON_HUGE", {0, 0, kHugeWidth, kHugeHeight}, 3, 1, 32, 32, 32, 32, Glass(c, huge))),
      K3("BUTTON_BIG", 45, 190, Glass(c, ButtonStyle(c, 4, 5))),
      K3("COLHEADER", 90, 190, Header(c)),
      WithBorderWidth(Border("BUTTON", {243, 190, 286, 220}, 3, 1, 6, 7, 6, 8, Glass(c, button)), 1),
      K2("KARVOEDIT", 165, 190, field),
      K2("KARVOCOMBOBOX", 30, 220, field),
      Glyph("KARVOCOMBOBOX", "GLYPHMASK", {133, 252, 160, 258}, 3, 0, comboArrow),
  };
}

int MasterHeight(const std::vector<TMask>& masks) {
  for (const TMask& m : masks)
    if (!m.Carried && m.R.Bottom > kMasterHeight) return kFolderMasterHeight;
  return kMasterHeight;
}

}  // namespace SkinArt
