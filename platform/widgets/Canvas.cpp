#include "platform/widgets/Canvas.h"

#include "platform/graphics/Text.h"
#include "platform/widgets/Graphic.h"

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

HDC TCanvas::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
  FHandle = dc;
  if (dc) MoveToEx(dc, FPenPos.X, FPenPos.Y, nullptr);
}

void TCanvas::Select() {
  HDC dc = FHandle;
  if (!dc) return;
  SelectFont(dc, FFont.LogFont());
  SetTextColor(dc, ColorToRGB(FFont.Color()));
  SelectPen(dc, FPen.LogPen());
  SetROP2(dc, FPen.Rop2());
  SelectBrush(dc, FBrush.LogBrush());
  SetBkColor(dc, ColorToRGB(FBrush.Color()));
  SetBkMode(dc, FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::MoveTo(int x, int y) {
  FPenPos = {x, y};
  if (HDC dc = Handle()) MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  Select();
  MoveToEx(dc, FPenPos.X, FPenPos.Y, nullptr);
  ::LineTo(dc, x, y);
  FPenPos = {x, y};
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  HDC dc = Handle();
  if (!dc || points.size() < 2) return;
  Changing();
  Select();
  ::Polyline(dc, points.data(), int(points.size()));
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  Select();
  ::FillRect(dc, &r, FBrush.LogBrush());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  Select();
  ::FrameRect(dc, &r, FBrush.LogBrush());
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  Select();
  ::Rectangle(dc, left, top, right, bottom);
  Changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int w, int h) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  Select();
  ::RoundRect(dc, left, top, right, bottom, w, h);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  Select();
  ::Ellipse(dc, left, top, right, bottom);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  Select();
  ::TextOut(dc, x, y, text);
  FPenPos = {x + TextExtent(text).cx, y};
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  Select();
  const unsigned opaque = FBrush.Style() != bsClear ? unsigned(ETO_OPAQUE) : 0u;
  ExtTextOut(dc, x, y, ETO_CLIPPED | opaque, &r, text);
  Changed();
}

int TCanvas::DrawText(const std::string& text, TRect& r, unsigned format) {
  HDC dc = Handle();
  if (!dc) return 0;
  Changing();
  Select();
  const int h = ::DrawText(dc, text, &r, format);
  Changed();
  return h;
}

TSize TCanvas::TextExtent(const std::string& text) {
  TSize size;
  HDC dc = Handle();
  if (dc) {
    SelectFont(dc, FFont.LogFont());
    GetTextExtentPoint32(dc, text, &size);
  } else {
    // Measuring needs no surface: a context without one measures the same.
    TDC probe(nullptr);
    SelectFont(&probe, FFont.LogFont());
    GetTextExtentPoint32(&probe, text, &size);
  }
  return size;
}

void TCanvas::Draw(int x, int y, const TGraphic* graphic) {
  if (!graphic || graphic->Empty() || !Handle()) return;
  Changing();
  graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, const TGraphic* graphic) {
  if (!graphic || graphic->Empty() || !Handle()) return;
  Changing();
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  HDC dc = Handle();
  HDC src = source ? source->Handle() : nullptr;
  if (!dc || !src) return;
  Changing();
  StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), src, sourceRect.Left, sourceRect.Top,
             sourceRect.Width(), sourceRect.Height(), CopyMode);
  Changed();
}

TColor TCanvas::Pixel(int x, int y) {
  HDC dc = Handle();
  return dc ? TColor(GetPixel(dc, x, y)) : TColor(CLR_INVALID);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  HDC dc = Handle();
  if (!dc) return;
  Changing();
  ::SetPixel(dc, x, y, ColorToRGB(color));
  Changed();
}

TRect TCanvas::ClipRect() {
  TRect r;
  if (HDC dc = Handle()) GetClipBox(dc, &r);
  return r;
}
