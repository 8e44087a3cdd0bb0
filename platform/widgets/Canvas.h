#pragma once
// TCanvas: drawing with a font, a pen and a brush on a device context. The canvas hands its
// objects to the context before every operation, so changes to them always take effect.
#include <memory>
#include <string>
#include <vector>

#include "platform/widgets/GraphicsObjects.h"

class TGraphic;

class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;
  std::string ClassName() const override { return "TCanvas"; }

  TFont* Font() { return &FFont; }
  TPen* Pen() { return &FPen; }
  TBrush* Brush() { return &FBrush; }

  // The device context; a canvas that can make one (a control's, a bitmap's) does so here.
  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return FHandle != nullptr; }

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& points);
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int left, int top, int right, int bottom, int w, int h);
  void Ellipse(int left, int top, int right, int bottom);
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  int DrawText(const std::string& text, TRect& r, unsigned format);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  void Draw(int x, int y, const TGraphic* graphic);
  void StretchDraw(const TRect& r, const TGraphic* graphic);
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
  uint32_t CopyMode = SRCCOPY;

  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);
  TPoint PenPos() const { return FPenPos; }
  TRect ClipRect();

  // Nesting counter for code that holds the canvas across calls.
  void Lock() { ++FLockCount; }
  void Unlock() { --FLockCount; }
  int LockCount() const { return FLockCount; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Gives the context this canvas's font, pen and brush.
  void Select();

 protected:
  virtual void CreateHandle() {}
  void Changing();
  void Changed();

 private:
  HDC FHandle = nullptr;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  TPoint FPenPos;
  int FLockCount = 0;
};
