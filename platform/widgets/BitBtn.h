#pragma once
// TBitBtn: a push button with a picture (the glyph) beside, above or below its caption.
#include <memory>

#include "platform/widgets/Button.h"
#include "platform/widgets/Graphic.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
// The images a glyph may hold side by side, in this order.
enum TButtonGlyphPart { bgUp, bgDisabled, bgDown, bgExclusive };

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;
  std::string ClassName() const override { return "TBitBtn"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // The picture; its bottom-left pixel's colour is drawn as transparent. Loading a picture
  // whose width is 1 to 4 times its height sets NumGlyphs to that count.
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(const TBitmap* glyph);
  // How many images the glyph holds (1 to 4): up, disabled, down, exclusive.
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  // Distance of the glyph and caption from the edge the glyph is on; -1 centres them.
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  // Distance between the glyph and the caption.
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  // A standard kind gives the button its caption, modal result, default or cancel role and
  // picture.
  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind value);
  // A Close button closes its form instead of raising OnClick.
  void Click() override;

  // Where the glyph's top-left corner and the caption's rectangle go inside `client`, the
  // caption measured in the button's font. `offset` moves both (a pressed button).
  void CalcButtonLayout(const TRect& client, int offset, TPoint& glyphPos, TRect& textBounds) const;
  // The picture drawn: the glyph, or the standard picture of the kind while the glyph is empty.
  const TBitmap* CurrentGlyph() const;
  // How many images CurrentGlyph holds.
  int CurrentGlyphCount() const;

 protected:
  void Paint() override;
  virtual void GlyphChanged();
  // Draws one image of the current glyph with its top-left corner at (x, y); a disabled
  // button without its own image draws the up image embossed.
  void DrawGlyph(HDC dc, int x, int y, bool pressed, bool enabled) const;
  std::unique_ptr<TBitmap> FGlyph;
  std::unique_ptr<TBitmap> FKindGlyph;
  int FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  TBitBtnKind FKind = bkCustom;
};
