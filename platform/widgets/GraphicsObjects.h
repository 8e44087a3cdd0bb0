#pragma once
// The toolkit's drawing objects: fonts, pens and brushes that tell their owner when they
// change, and turn into the device context's own descriptions when a canvas uses them.
#include <functional>
#include <string>

#include "platform/components/Persistent.h"
#include "platform/graphics/DC.h"

using TNotifyEvent = std::function<void(TObject* sender)>;

class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }
};

class TFont : public TGraphicsObject {
 public:
  std::string ClassName() const override { return "TFont"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;

  const std::string& Name() const { return FFont.Name; }
  void SetName(const std::string& name);
  int Height() const { return FFont.Height; }
  void SetHeight(int height);
  // Points at 96 pixels per inch; Height = -(Size * 96 / 72) rounded.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return FFont.Style; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  uint8_t Charset() const { return FFont.CharSet; }
  void SetCharset(uint8_t charset);

  // The description a device context draws with.
  TLogFont LogFont() const { return FFont; }
  void SetLogFont(const TLogFont& font);

 private:
  TLogFont FFont = DefaultGuiFont();
  TColor FColor = clWindowText;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
                pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };

class TPen : public TGraphicsObject {
 public:
  std::string ClassName() const override { return "TPen"; }
  void Assign(const TPersistent* source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode mode);
  TLogPen LogPen() const;
  int Rop2() const;

 private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
 public:
  std::string ClassName() const override { return "TBrush"; }
  void Assign(const TPersistent* source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style);
  TLogBrush LogBrush() const;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};
