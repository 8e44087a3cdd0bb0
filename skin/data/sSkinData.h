#pragma once
// The run-time form of a skin: flat arrays of sections, masks and patterns that painters
// and controls read by index (-1 = none), the master bitmap, and the skin's information.
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Dib.h"
#include "skin/data/sSkinText.h"

class TsSkinManager;

enum TsControlBevel : uint8_t { cbNone, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard };
enum TkvImgType : uint8_t { itisaBorder, itisaTexture, itisaGlyph };

// Key colour of every skin picture: its pixels are transparent.
constexpr COLORREF kSkinKeyColor = 0xFF00FF;

struct TsGeneralData {
  std::string ParentClass;
  std::string SectionName;
  TColor Color = 0;
  TsControlBevel Bevel = cbNone;
  TColor FontColor = 0;
  TColor TCLeft = -1, TCTop = -1, TCRight = -1, TCBottom = -1;
  TColor HotFontColor = 0;
  TColor HotTCLeft = -1, HotTCTop = -1, HotTCRight = -1, HotTCBottom = -1;
  bool ReservedBoolean = false;
  int ShadowBlur = 0;
  TColor ShadowColor = 0;
  bool ShadowEnabled = false;
  int ShadowOffset = 0;
  int ShadowTransparency = 0;
  int Transparency = 0;
  int GradientPercent = 0;
  std::string GradientData;
  TsGradArray GradientArray;
  int ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  int FadingIntervalIn = 0, FadingIntervalOut = 0, FadingIterations = 0;
  TColor HotColor = 0;
  int HotTransparency = 0;
  TsControlBevel HotBevel = cbNone;
  int HotGradientPercent = 0;
  std::string HotGradientData;
  TsGradArray HotGradientArray;
  int HotImagePercent = 0;
  TColor BorderColor1 = 0, BorderColor2 = 0;
};

struct TsMaskData {
  std::unique_ptr<TDib> Bmp;  // the mask's own 24-bit picture; none: it lies in the master bitmap
  std::string SectionName;    // upper case
  std::string PropertyName;   // upper case
  TRect R;                    // where the mask lies in its picture
  int16_t ImageCount = 1;
  int16_t MaskType = 0;
  int16_t BorderWidth = 0;
  int16_t StretchMode = 0;
  TkvImgType ImgType = itisaBorder;
  TsSkinManager* Manager = nullptr;
  int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};

struct TsPatternData {
  std::unique_ptr<TDib> Img;  // the decoded JPEG picture (empty when none)
  std::string SectionName;    // upper case
  std::string PropertyName;   // upper case
};

// Information about the active skin, one per manager.
struct TsSkinData {
  std::string SkinPath;  // folder of a skin read from disk, with a trailing backslash
  bool Ready = false;    // a loaded skin has been announced
  double Version = 0;
  std::string Author;
  std::string Description;
  TColor Shadow1Color = 0;
  int32_t Shadow1Offset = 0;
  int32_t Shadow1Blur = 0;
  int32_t Shadow1Transparency = 0;
};

// The arrays and pictures that one loaded skin consists of.
struct TsSkinArrays {
  std::vector<TsGeneralData> Sections;
  std::vector<TsMaskData> Masks;
  std::vector<TsPatternData> Patterns;
  std::unique_ptr<TDib> MasterBitmap;  // 24-bit, transparent with key 0xFF00FF
};

// The default border widths of a mask rectangle: states side by side, and with a mask the
// picture is twice as high as one state.
int DefaultBorderWidthH(const TRect& r, int imageCount);
int DefaultBorderWidthV(const TRect& r, int maskType);
