#include "tools/skinart/BlueGlass.h"

#include <functional>
#include <string>

namespace SkinArt {

namespace {

const TColor kButtonColor = 13282167;     // 0xCAAB77
const TColor kButtonHotColor = 13283984;  // 0xCAB290
const TColor kFormColor = 13679769;       // 0xD0BC99
const TColor kPageColor = Col(0xF4, 0xF8, 0xFC);
// Sections whose flat border is filled with their own colour.
const TColor kToolBarColor = Col(0xD6, 0xE4, 0xF2);
const TColor kPanelLowColor = Col(0xE2, 0xEC, 0xF6);
const TColor kStatusBarColor = Col(0xC8, 0xDC, 0xEE);
const TColor kPanelColor = Col(0xDE, 0xEA, 0xF5);
const TColor kBarColor = Col(0xD4, 0xE4, 0xF3);
const TColor kBarPanelColor = Col(0xE6, 0xF0, 0xF9);
const TColor kBarTitleColor = Col(0x5E, 0x8C, 0xBE);
const TColor kMdiAreaColor = Col(0x6F, 0x93, 0xB4);

TRgb FromColor(TColor c) { return FromColorRef(COLORREF(c)); }

}  // namespace

TSkinColours BlueGlassColours() {
  return TSkinColours::FromTable(
      {
          {ikWhite, kWhite},
          {ikGlassShadow, Rgb(0x1E, 0x3A, 0x5A)},
          {ikGlassSunken, Rgb(0x1A, 0x38, 0x60)},

          {ikHeaderTop, Rgb(0xFA, 0xFC, 0xFE)},
          {ikHeaderTopHot, kWhite},
          {ikHeaderTopPressed, Rgb(0xC6, 0xDC, 0xF0)},
          {ikHeaderBottom, Rgb(0xDC, 0xE8, 0xF4)},
          {ikHeaderBottomHot, Rgb(0xD6, 0xEA, 0xFC)},
          {ikHeaderBottomPressed, Rgb(0xB0, 0xCC, 0xE8)},
          {ikHeaderLine, Rgb(0x86, 0xA6, 0xC8)},
          {ikHeaderSeparator, Rgb(0xA8, 0xC0, 0xDA)},
          {ikHeaderHotLine, Rgb(0x5C, 0x9C, 0xE0)},

          {ikFieldOutline, Rgb(0x8C, 0xAC, 0xCC)},
          {ikFieldOutlineHot, Rgb(0x3E, 0x84, 0xD2)},
          {ikFieldInner, Rgb(0xC8, 0xD8, 0xE8)},
          {ikFieldGlow, Rgb(0x9C, 0xCE, 0xF8)},
          {ikGrooveOutline, Rgb(0xA4, 0xBE, 0xD8)},
          {ikGrooveOutlineHot, Rgb(0x7E, 0xA8, 0xD6)},
          {ikGrooveShadow, Rgb(0x50, 0x70, 0x98)},

          {ikGroupBoxOutline, Rgb(0x86, 0xA8, 0xCA)},
          {ikDividerOutline, Rgb(0xA6, 0xBE, 0xD6)},
          {ikHintOutline, Rgb(0x6A, 0x8E, 0xB6)},
          {ikMenuItemOutline, Rgb(0x2C, 0x64, 0xA8)},
          {ikPopupOutline, Rgb(0x3A, 0x66, 0x98)},
          {ikPopupInner, Rgb(0xA6, 0xC6, 0xE6)},

          {ikFrameRing1, Rgb(0x36, 0x5E, 0x8C)},
          {ikFrameRing2, Rgb(0xE6, 0xF1, 0xFB)},
          {ikFrameRing3, Rgb(0xAC, 0xCA, 0xE6)},
          {ikFrameRing4, Rgb(0x7C, 0xA0, 0xC6)},
          {ikForm, FromColor(kFormColor)},
          {ikTitleSeparator, Rgb(0x3E, 0x6A, 0x9C)},

          {ikPanelOutline, Rgb(0x9A, 0xB6, 0xD2)},
          {ikPanelOutlineLowered, Rgb(0x84, 0xA2, 0xC2)},
          {ikPanelShade, Rgb(0xB8, 0xCC, 0xE0)},
          {ikPage, FromColor(kPageColor)},
          {ikToolBar, FromColor(kToolBarColor)},
          {ikPanelLow, FromColor(kPanelLowColor)},
          {ikStatusBar, FromColor(kStatusBarColor)},
          {ikPanel, FromColor(kPanelColor)},
          {ikBar, FromColor(kBarColor)},
          {ikBarPanel, FromColor(kBarPanelColor)},
          {ikBarTitle, FromColor(kBarTitleColor)},

          {ikSymbolShadow, Rgb(0x10, 0x28, 0x48)},

          {ikBoxOutline, Rgb(0x4E, 0x7A, 0xA8)},
          {ikBoxOutlineHot, Rgb(0x2C, 0x76, 0xC8)},
          {ikBoxOutlinePressed, Rgb(0x24, 0x52, 0x88)},
          {ikBoxTop, kWhite},
          {ikBoxTopPressed, Rgb(0xB4, 0xCE, 0xE8)},
          {ikBoxBottom, Rgb(0xD2, 0xE2, 0xF2)},
          {ikBoxBottomHot, Rgb(0xD6, 0xEC, 0xFF)},
          {ikBoxBottomPressed, Rgb(0xE4, 0xF0, 0xFA)},
          {ikBoxGlow, Rgb(0x8E, 0xC6, 0xF6)},
          {ikBoxShadow, Rgb(0x3A, 0x62, 0x94)},
          {ikCheck, Rgb(0x1A, 0x44, 0x7C)},
          {ikCheckHot, Rgb(0x14, 0x56, 0xA8)},
          {ikGrayed, Rgb(0x7C, 0x9E, 0xC2)},
          {ikRadioDot, Rgb(0x1E, 0x4E, 0x8A)},
          {ikRadioDotHot, Rgb(0x1E, 0x64, 0xBA)},
          {ikMenuMatte, Rgb(0x65, 0x9B, 0xC2)},

          {ikArrow, Rgb(0x2A, 0x4C, 0x74)},
          {ikArrowHot, Rgb(0x16, 0x5E, 0xB4)},
          {ikArrowPressed, Rgb(0x10, 0x2C, 0x50)},
          {ikGripDot, Rgb(0x5A, 0x7E, 0xA6)},
          {ikTick, Rgb(0x4E, 0x72, 0x9A)},
          {ikChannel, Rgb(0xDC, 0xE8, 0xF4)},
          {ikChannelShadow, Rgb(0x6E, 0x90, 0xB6)},
          {ikMdiArea, FromColor(kMdiAreaColor)},
      },
      {
          // outline, top, highlight end, face, glow, shine, sunken
          {lkButton, {Rgb(0x3C, 0x6E, 0xA6), Rgb(0xFA, 0xFD, 0xFF), Rgb(0xE0, 0xED, 0xFA), Rgb(0xA4, 0xC8, 0xEC), Rgb(0xD2, 0xEC, 0xFF), 0.7f, false}},
          {lkButtonHot, {Rgb(0x28, 0x70, 0xC8), Rgb(0xFF, 0xFF, 0xFF), Rgb(0xEC, 0xF6, 0xFF), Rgb(0xB6, 0xDC, 0xFC), Rgb(0xE4, 0xF8, 0xFF), 0.85f, false}},
          {lkButtonPressed, {Rgb(0x24, 0x4C, 0x7E), Rgb(0x9A, 0xBE, 0xE2), Rgb(0xA2, 0xC6, 0xEA), Rgb(0x86, 0xB0, 0xDC), Rgb(0xA8, 0xD0, 0xF4), 0.2f, true}},
          {lkTabActive, {Rgb(0x45, 0x74, 0xA6), Rgb(0xFF, 0xFF, 0xFF), Rgb(0xF6, 0xFA, 0xFE), Rgb(0xF0, 0xF6, 0xFC), Rgb(0xF0, 0xF6, 0xFC), 0.9f, false}},
          {lkTabInactive, {Rgb(0x5C, 0x84, 0xB0), Rgb(0xEC, 0xF3, 0xFA), Rgb(0xCC, 0xDE, 0xEF), Rgb(0xB4, 0xCC, 0xE4), Rgb(0xC4, 0xDA, 0xEE), 0.5f, false}},
          {lkTitleButton, {Rgb(0x2E, 0x5C, 0x90), Rgb(0xC8, 0xDE, 0xF4), Rgb(0x9A, 0xBE, 0xE4), Rgb(0x6A, 0x9A, 0xCE), Rgb(0x98, 0xC8, 0xF2), 0.5f, false}},
          {lkTitleButtonHot, {Rgb(0x20, 0x60, 0xB0), Rgb(0xDE, 0xEE, 0xFF), Rgb(0xAE, 0xD2, 0xF6), Rgb(0x7E, 0xB2, 0xEA), Rgb(0xB0, 0xDE, 0xFF), 0.7f, false}},
          {lkTitleButtonPressed, {Rgb(0x1C, 0x40, 0x6C), Rgb(0x7C, 0xA2, 0xCC), Rgb(0x74, 0x9C, 0xC8), Rgb(0x5A, 0x88, 0xBC), Rgb(0x80, 0xAE, 0xDC), 0.2f, true}},
          {lkCloseHot, {Rgb(0x9A, 0x2E, 0x24), Rgb(0xFF, 0xE8, 0xE2), Rgb(0xF2, 0xA8, 0x98), Rgb(0xDE, 0x5A, 0x44), Rgb(0xF4, 0x9C, 0x84), 0.7f, false}},
          {lkClosePressed, {Rgb(0x70, 0x1E, 0x16), Rgb(0xC0, 0x5A, 0x48), Rgb(0xC0, 0x52, 0x40), Rgb(0xB0, 0x40, 0x2E), Rgb(0xCC, 0x6E, 0x58), 0.2f, true}},
      });
}

std::vector<TSection> BlueGlassSections() {
  std::vector<TSection> list;
  auto add = [&](const std::string& name, const TSectionEdit& edit) {
    TSection s;
    s.SectionName = name;
    edit(s);
    list.push_back(s);
  };
  // Controls drawn by their border masks alone: the parent's picture shows through.
  const TSectionEdit seeThrough = All({Clear(kButtonColor), [](TSection& s) { s.HotColor = kButtonHotColor; }});
  const TSectionEdit pushButton = All({seeThrough, Fading(20), [](TSection& s) { s.ShowFocus = true; }});
  const TSectionEdit toolButton = All({seeThrough, Fading(10)});
  const TSectionEdit checkButton = All({Clear(kButtonColor), Fading(20)});
  const TSectionEdit page = Plain(kPageColor, kPageColor);
  const TSectionEdit field = Plain(clWhite, clWhite);
  const TSectionEdit track = Plain(Col(0xE6, 0xEE, 0xF6), Col(0xDA, 0xE8, 0xF6));
  const TSectionEdit scrollPart = Clear(clWhite);
  const TSectionEdit tab = Clear(Col(0xDC, 0xE8, 0xF4));
  auto progress = [](int mode) {
    return [mode](TSection& s) {
      s.Color = Col(0xEE, 0xF4, 0xFA);
      s.HotColor = Col(0x5E, 0x9C, 0xDA);
      s.HotGradientPercent = 100;
      s.HotGradientData = TwoTone(Col(0xB4, 0xDA, 0xFA), Col(0x3E, 0x86, 0xD0), mode);
    };
  };
  const TSectionEdit whiteText = Fonts("16777215 -1 -1 -1 -1", "16777215 -1 -1 -1 -1");

  add("GLOBALINFO", [](TSection& s) {
    s.Color = clLime;
    s.FontColor = "0 16765070 -1 -1 -1";
  });
  add("DRAGBAR", [](TSection& s) {
    s.Color = Col(0x9C, 0xBE, 0xDE);
    s.GradientPercent = 100;
    s.GradientData = TwoTone(Col(0xE2, 0xEE, 0xFA), Col(0x9C, 0xBE, 0xDE));
    s.HotColor = Col(0xB4, 0xD2, 0xF0);
    s.HotGradientPercent = 100;
    s.HotGradientData = TwoTone(clWhite, Col(0xB4, 0xD2, 0xF0));
  });
  add("TABSHEET", page);
  add("PAGECONTROLBOTTOM", page);
  add("PAGECONTROLLEFT", page);
  add("PAGECONTROLRIGHT", page);
  add("SPLITTER", Plain(Col(0xB4, 0xCC, 0xE2), Col(0x9C, 0xC0, 0xE6)));
  add("TABCONTROLLEFT", page);
  add("TABCONTROLRIGHT", page);
  add("TABCONTROLBOTTOM", page);
  add("TOOLBAR", Band(kToolBarColor, Col(0xF6, 0xFA, 0xFE), Col(0xC8, 0xDC, 0xEE)));
  add("GROUPBOX", [](TSection& s) {
    s.Color = 14215660;
    s.Transparency = 100;
  });
  add("PROGRESSH", progress(0));
  add("GAUGE", progress(0));
  add("PANEL_LOW", Plain(kPanelLowColor, kPanelLowColor));
  add("MENULINE", Band(Col(0xC2, 0xD8, 0xEC), Col(0xEA, 0xF3, 0xFB), Col(0xB6, 0xD0, 0xEA)));
  add("COMBOBOX", field);
  add("SCROLLBAR1H", track);
  add("SCROLLBAR2H", track);
  add("SCROLLBAR1V", track);
  add("SCROLLBAR2V", track);
  add("SPEEDBUTTON_SMALL", toolButton);
  add("STATUSBAR", Band(kStatusBarColor, Col(0xE0, 0xEC, 0xF8), Col(0xBC, 0xD4, 0xEA)));
  add("SCROLLBTNRIGHT", scrollPart);
  add("SCROLLBTNTOP", scrollPart);
  add("SCROLLBTNLEFT", scrollPart);
  add("SCROLLBTNBOTTOM", scrollPart);
  add("SCROLLSLIDERH", scrollPart);
  add("SCROLLSLIDERV", scrollPart);
  add("TABCONTROL", page);
  add("MENUITEM", [](TSection& s) {
    s.Color = clWhite;
    s.Transparency = 100;
    s.HotColor = 12147712;
    s.HotTransparency = 50;
    s.HotGradientPercent = 100;
    s.HotGradientData = "8481867;16765514;99;0;0;16765514;16765514;0;0;0";
    s.HotFontColor = "0 -1 -1 16439433 16439433";
  });
  add("DIVIDER", Clear(Col(0xD0, 0xE0, 0xF0)));
  add("TABTOP", tab);
  add("TABRIGHT", tab);
  add("TABLEFT", tab);
  add("TABBOTTOM", tab);
  add("DIALOG", [](TSection& s) {
    s.Color = clWhite;
    s.GradientPercent = 50;
    s.GradientData = "16777215;12748837;99;0;0;12748837;12748837;0;0;0";
    s.ImagePercent = 50;
    s.HotGradientPercent = 50;
    s.HotGradientData = s.GradientData;
    s.HotImagePercent = 50;
  });
  add("FORMTITLE", [](TSection& s) {
    s.Color = clWhite;
    s.Transparency = 50;
    s.GradientPercent = 100;
    s.GradientData = "7754286;16777215;9;0;0;16777215;9661497;17;0;0;9661497;14661514;73;0;0;14661514;14661514;0;0;0";
    s.HotGradientPercent = 100;
    s.HotGradientData =
        "16777215;10916465;42;0;0;10916465;8151366;10;0;0;8151366;13803852;37;0;0;13803852;11502151;10;0;0;11502151;"
        "11502151;0;0;0";
    s.FontColor = "6636336 -1 -1 -1 -1";
    s.HotFontColor = "16380390 4072704 4072704 -1 -1";
  });
  add("PROGRESSV", progress(1));
  add("FORM", Pictured(kFormColor));
  add("EDIT", field);
  add("PANEL", [](TSection& s) {
    s.Color = kPanelColor;
    s.Transparency = 30;
    s.HotColor = s.Color;
    s.HotTransparency = 30;
  });
  add("BAR", Band(kBarColor, Col(0xF0, 0xF6, 0xFC), Col(0xC4, 0xD8, 0xEC)));
  add("BARPANEL", Plain(kBarPanelColor, kBarPanelColor));
  add("CHECKBOX", checkButton);
  add("WEBBUTTON", All({seeThrough, Fonts("12603392 -1 -1 -1 -1", "15759360 -1 -1 -1 -1")}));
  add("RADIOBUTTON", checkButton);
  add("TOOLBUTTON", toolButton);
  add("SPEEDBUTTON", toolButton);
  add("PAGECONTROL", All({page, Fading(30)}));
  add("BARTITLE", All({Band(kBarTitleColor, Col(0x86, 0xAE, 0xD8), Col(0x4E, 0x7E, 0xB2)), whiteText}));
  add("MAINMENU", [](TSection& s) { s.Color = 12753765; });
  add("EXTRALINE", All({whiteText, [](TSection& s) {
                          s.Color = Col(0x6E, 0x9A, 0xC8);
                          s.GradientPercent = 100;
                          s.GradientData = TwoTone(Col(0x4E, 0x7E, 0xB2), Col(0x9C, 0xC2, 0xE6), 1);
                          s.HotColor = s.Color;
                        }}));
  add("GRIPH", Plain(Col(0xC8, 0xDA, 0xEC), Col(0xDA, 0xE8, 0xF6)));
  add("HINT", [](TSection& s) {
    s.Color = Col(0xF4, 0xF9, 0xFF);
    s.GradientPercent = 100;
    // A blue white, not white: the folder skins turn white into their glass's shine, which
    // their hint text has to stand out from.
    s.GradientData = TwoTone(Col(0xFA, 0xFC, 0xFF), Col(0xDC, 0xEC, 0xFA));
    s.HotColor = s.Color;
  });
  add("MDIAREA", Pictured(kMdiAreaColor));
  add("TRACKBAR", Clear(kFormColor));
  add("BUTTON_HUGE", pushButton);
  add("BUTTON_BIG", pushButton);
  add("COLHEADER", Clear(Col(0xEE, 0xF4, 0xFA)));
  add("BUTTON", pushButton);
  add("KARVOEDIT", field);
  add("KARVOCOMBOBOX", field);

  list.push_back(BlankSection());
  return list;
}

}  // namespace SkinArt
