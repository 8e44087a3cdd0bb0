#include "platform/widgets/Graphic.h"

#include <cstring>

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/BmpFile.h"
#include "platform/graphics/JpegFile.h"

namespace {

bool IsJpeg(const std::vector<uint8_t>& b) { return b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8; }
bool IsBmp(const std::vector<uint8_t>& b) { return b.size() >= 2 && b[0] == 'B' && b[1] == 'M'; }

TDib DecodePicture(const uint8_t* data, size_t size) {
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return LoadJpeg(data, size);
  return LoadBmp(data, size);
}

uint32_t ReadLE32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

}  // namespace

TDib ReadCountedPicture(const std::vector<uint8_t>& bytes) {
  if (IsBmp(bytes) || IsJpeg(bytes)) return DecodePicture(bytes.data(), bytes.size());
  if (bytes.size() < 4) throw EPictureError("picture data is truncated: no byte count");
  const uint32_t count = ReadLE32(bytes.data());
  if (count > bytes.size() - 4)
    throw EPictureError("picture data is truncated: " + std::to_string(count) + " bytes announced, " +
                        std::to_string(bytes.size() - 4) + " present");
  return DecodePicture(bytes.data() + 4, count);
}

// ---- TBitmap -----------------------------------------------------------------------------------

TBitmap::TBitmap() = default;
TBitmap::TBitmap(int width, int height) { SetSize(width, height); }
TBitmap::~TBitmap() = default;

void TBitmap::SetWidth(int width) { SetSize(width, Height()); }
void TBitmap::SetHeight(int height) { SetSize(Width(), height); }

void TBitmap::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  const int bpp = FDib.BitsPerPixel() <= 8 && !FDib.Empty() ? 24 : FDib.BitsPerPixel();
  TDib fresh(std::max(width, 0), std::max(height, 0), bpp == 32 ? 32 : 24);
  fresh.Fill(0xFFFFFF);
  if (!FDib.Empty() && !fresh.Empty()) {
    TDib old = FDib.As24();
    TDC from(&old), to(&fresh);
    BitBlt(&to, 0, 0, fresh.Width(), fresh.Height(), &from, 0, 0, SRCCOPY);
  }
  fresh.Transparent = FDib.Transparent;
  fresh.TransparentColor = FDib.TransparentColor;
  FDib = std::move(fresh);
  if (FDC) FDC->SelectBitmap(&FDib);
  Changed();
}

TPixelFormat TBitmap::PixelFormat() const {
  switch (FDib.BitsPerPixel()) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 32: return pf32bit;
    default: return pf24bit;
  }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  const int want = format == pf32bit ? 32 : 24;
  if (FDib.BitsPerPixel() == want) return;
  TDib converted(FDib.Width(), FDib.Height(), want);
  for (int y = 0; y < FDib.Height(); ++y)
    for (int x = 0; x < FDib.Width(); ++x) converted.SetPixel(x, y, FDib.GetPixel(x, y));
  converted.Transparent = FDib.Transparent;
  converted.TransparentColor = FDib.TransparentColor;
  FDib = std::move(converted);
  if (FDC) FDC->SelectBitmap(&FDib);
  Changed();
}

namespace {
class TBitmapCanvas : public TCanvas {
 public:
  TBitmapCanvas(TBitmap* bitmap, TDC* dc) : FBitmap(bitmap), FDC(dc) {}

 protected:
  void CreateHandle() override {
    // Drawing needs direct pixels: palettised pictures become 24-bit first.
    if (FBitmap->Dib().BitsPerPixel() != 24 && FBitmap->Dib().BitsPerPixel() != 32) FBitmap->SetPixelFormat(pf24bit);
    FDC->SelectBitmap(&FBitmap->Dib());
    SetHandle(FDC);
  }

 private:
  TBitmap* FBitmap;
  TDC* FDC;
};
}  // namespace

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FDC = std::make_unique<TDC>(&FDib);
    FCanvas = std::make_unique<TBitmapCanvas>(this, FDC.get());
    FCanvas->OnChange = [this](TObject*) { Changed(); };
  }
  return FCanvas.get();
}

TColor TBitmap::TransparentColor() const {
  if (TransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (FDib.Empty()) return clDefault;
  return TColor(FDib.GetPixel(0, FDib.Height() - 1));
}

void TBitmap::SetTransparentColor(TColor color) {
  FTransparentColor = color;
  TransparentMode = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) const {
  HDC dc = canvas->Handle();
  if (!dc || FDib.Empty()) return;
  TDC src(const_cast<TDib*>(&FDib));
  if (Transparent)
    TransparentBlt(dc, r.Left, r.Top, r.Width(), r.Height(), &src, 0, 0, Width(), Height(), ColorToRGB(TransparentColor()));
  else
    StretchBlt(dc, r.Left, r.Top, r.Width(), r.Height(), &src, 0, 0, Width(), Height(), canvas->CopyMode);
}

void TBitmap::LoadFromStream(const std::vector<uint8_t>& bytes) { LoadFromDib(ReadCountedPicture(bytes)); }

void TBitmap::LoadFromDib(TDib dib) {
  FDib = std::move(dib);
  if (FDC) FDC->SelectBitmap(&FDib);
  Changed();
}

std::vector<uint8_t> TBitmap::SaveToStream() const {
  if (FDib.Empty()) return {};
  return SaveBmp(FDib, FDib.BitsPerPixel() == 8 ? 8 : 24);
}

void TBitmap::Assign(const TPersistent* source) {
  if (auto* b = dynamic_cast<const TBitmap*>(source)) {
    if (b == this) return;
    FDib = b->FDib;
    FTransparentColor = b->FTransparentColor;
    TransparentMode = b->TransparentMode;
    Transparent = b->Transparent;
    if (FDC) FDC->SelectBitmap(&FDib);
    Changed();
    return;
  }
  if (auto* j = dynamic_cast<const TJPEGImage*>(source)) {
    LoadFromDib(j->Dib());
    return;
  }
  if (!source) {
    LoadFromDib(TDib());
    return;
  }
  TGraphic::Assign(source);
}

const TPropertyTable& TBitmap::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TBitmap> b(t);
    b.Binary("Data", [](TBitmap& bmp, const std::vector<uint8_t>& v) { bmp.LoadFromStream(v); });
    return t;
  }();
  return table;
}

// ---- TIcon -------------------------------------------------------------------------------------

void TIcon::Draw(TCanvas* canvas, const TRect& r) const {
  if (HDC dc = canvas->Handle()) DrawIconEx(dc, r.Left, r.Top, &FImage, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(const std::vector<uint8_t>& bytes) {
  TDib dib = ReadCountedPicture(bytes).As24();
  SetFromBitmap(dib, dib.Empty() ? 0 : dib.GetPixel(0, dib.Height() - 1));
}

std::vector<uint8_t> TIcon::SaveToStream() const { return FImage.Color.Empty() ? std::vector<uint8_t>{} : SaveBmp(FImage.Color, 24); }

void TIcon::Assign(const TPersistent* source) {
  if (auto* i = dynamic_cast<const TIcon*>(source)) {
    FImage.Color = i->FImage.Color;
    FImage.Mask = i->FImage.Mask;
    Changed();
    return;
  }
  if (auto* b = dynamic_cast<const TBitmap*>(source)) {
    SetFromBitmap(b->Dib().As24(), ColorToRGB(b->TransparentColor()));
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::SetFromBitmap(const TDib& bitmap, COLORREF transparent) {
  FImage.Color = bitmap.As24();
  FImage.Mask = TDib(bitmap.Width(), bitmap.Height(), 1);
  FImage.Mask.Palette() = {0, 0xFFFFFF};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (FImage.Color.GetPixel(x, y) == transparent) {
        FImage.Mask.SetPixel(x, y, 1);
        FImage.Color.SetPixel(x, y, 0);
      }
  Changed();
}

// ---- TJPEGImage --------------------------------------------------------------------------------

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r) const {
  HDC dc = canvas->Handle();
  if (!dc || FDib.Empty()) return;
  TDC src(const_cast<TDib*>(&FDib));
  StretchBlt(dc, r.Left, r.Top, r.Width(), r.Height(), &src, 0, 0, Width(), Height(), SRCCOPY);
}

void TJPEGImage::LoadFromStream(const std::vector<uint8_t>& bytes) {
  FDib = LoadJpeg(bytes.data(), bytes.size());
  FData = bytes;
  Changed();
}

void TJPEGImage::Assign(const TPersistent* source) {
  if (!source) {
    FDib = TDib();
    FData.clear();
    Changed();
    return;
  }
  if (auto* j = dynamic_cast<const TJPEGImage*>(source)) {
    FDib = j->FDib;
    FData = j->FData;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

const TPropertyTable& TJPEGImage::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TJPEGImage> b(t);
    // A 32-bit byte count and the JPEG stream, or the stream alone.
    b.Binary("Data", [](TJPEGImage& j, const std::vector<uint8_t>& v) {
      if (v.empty()) return j.Assign(nullptr);
      if (IsJpeg(v)) return j.LoadFromStream(v);
      if (v.size() < 4) throw EPictureError("JPEG picture data is truncated");
      const uint32_t count = ReadLE32(v.data());
      if (count > v.size() - 4) throw EPictureError("JPEG picture data is truncated");
      j.LoadFromStream(std::vector<uint8_t>(v.begin() + 4, v.begin() + 4 + long(count)));
    });
    return t;
  }();
  return table;
}

// ---- TPicture ----------------------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(FGraphic.get())) {
    auto bmp = std::make_unique<TBitmap>();
    if (FGraphic) bmp->Assign(FGraphic.get());
    SetGraphic(std::move(bmp));
  }
  return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::Assign(const TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
    return;
  }
  if (auto* p = dynamic_cast<const TPicture*>(source)) {
    if (p == this) return;
    if (!p->FGraphic) SetGraphic(nullptr);
    else Assign(p->FGraphic.get());
    return;
  }
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<const TBitmap*>(source)) copy = std::make_unique<TBitmap>();
  else if (dynamic_cast<const TIcon*>(source)) copy = std::make_unique<TIcon>();
  else if (dynamic_cast<const TJPEGImage*>(source)) copy = std::make_unique<TJPEGImage>();
  if (!copy) {
    TPersistent::Assign(source);
    return;
  }
  copy->Assign(source);
  SetGraphic(std::move(copy));
}

void TPicture::LoadFromStream(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<TGraphic> g;
  if (IsJpeg(bytes)) g = std::make_unique<TJPEGImage>();
  else g = std::make_unique<TBitmap>();
  g->LoadFromStream(bytes);
  SetGraphic(std::move(g));
}

void TPicture::ReadData(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) {
    SetGraphic(nullptr);
    return;
  }
  const size_t nameLength = bytes[0];
  if (nameLength > 0 && nameLength + 1 <= bytes.size()) {
    const std::string name(bytes.begin() + 1, bytes.begin() + 1 + long(nameLength));
    const std::vector<uint8_t> rest(bytes.begin() + 1 + long(nameLength), bytes.end());
    std::unique_ptr<TGraphic> g;
    if (name == "TBitmap") g = std::make_unique<TBitmap>();
    else if (name == "TJPEGImage") g = std::make_unique<TJPEGImage>();
    else if (name == "TIcon") g = std::make_unique<TIcon>();
    if (g) {
      if (name == "TJPEGImage" && rest.size() >= 4 && !IsJpeg(rest)) {
        const uint32_t count = ReadLE32(rest.data());
        if (count > rest.size() - 4) throw EPictureError("JPEG picture data is truncated");
        g->LoadFromStream(std::vector<uint8_t>(rest.begin() + 4, rest.begin() + 4 + long(count)));
      } else {
        g->LoadFromStream(rest);
      }
      SetGraphic(std::move(g));
      return;
    }
  }
  LoadFromStream(IsBmp(bytes) || IsJpeg(bytes) ? bytes : [&] {
    TDib d = ReadCountedPicture(bytes);
    return SaveBmp(d, d.BitsPerPixel() == 8 ? 8 : 24);
  }());
}

const TPropertyTable& TPicture::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TPicture> b(t);
    b.Binary("Data", [](TPicture& p, const std::vector<uint8_t>& v) { p.ReadData(v); });
    return t;
  }();
  return table;
}
