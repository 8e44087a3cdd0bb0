#include "platform/widgets/Image.h"

#include <stdexcept>

#include "platform/components/PropertyBuilder.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(std::make_unique<TPicture>()) {
  ControlStyle |= csReplicatable;
  FWidth = 105;
  FHeight = 105;
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

TCanvas* TImage::Canvas() {
  if (!FPicture->Graphic()) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(FWidth, FHeight);
    bitmap->Dib().Fill(0xFFFFFF);
    FPicture->SetGraphic(std::move(bitmap));
  }
  auto* bitmap = dynamic_cast<TBitmap*>(FPicture->Graphic());
  if (!bitmap) throw std::logic_error("Can only modify an image if it contains a bitmap");
  TCanvas* canvas = bitmap->Canvas();
  // The bitmap does not hear of drawing on its canvas; the image must repaint for it.
  if (!canvas->OnChange) canvas->OnChange = [this](TObject*) { PictureChanged(); };
  return canvas;
}

TRect TImage::DestRect() const {
  int w = FPicture->Width(), h = FPicture->Height();
  const TRect client = ClientRect();
  const int cw = client.Width(), ch = client.Height();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      // Fit inside the client keeping the picture's shape.
      const double aspect = double(w) / h;
      if (w > h) {
        w = cw;
        h = int(cw / aspect);
        if (h > ch) {
          h = ch;
          w = int(ch * aspect);
        }
      } else {
        h = ch;
        w = int(ch * aspect);
        if (w > cw) {
          w = cw;
          h = int(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (FCenter) r = r.Offset((cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* graphic = FPicture->Graphic();
  if (!graphic || graphic->Empty()) return;
  TGraphicControl::Canvas()->StretchDraw(DestRect(), graphic);
}

void TImage::UpdateOpaque() {
  const TGraphic* graphic = FPicture->Graphic();
  bool covers = false;
  if (graphic && !graphic->Empty() && !graphic->Transparent) {
    const TRect r = DestRect(), c = ClientRect();
    covers = r.Left <= c.Left && r.Top <= c.Top && r.Right >= c.Right && r.Bottom >= c.Bottom;
  }
  if (covers) ControlStyle |= csOpaque;
  else ControlStyle &= ~csOpaque;
}

void TImage::PictureChanged() {
  if (InState(csDestroying)) return;
  if (TGraphic* graphic = FPicture->Graphic()) {
    if (!dynamic_cast<TIcon*>(graphic)) graphic->Transparent = FTransparent;
    if (FAutoSize && !graphic->Empty()) SetBounds(FLeft, FTop, graphic->Width(), graphic->Height());
  }
  UpdateOpaque();
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  if (value) PictureChanged();
}

void TImage::SetCenter(bool value) {
  if (value == FCenter) return;
  FCenter = value;
  PictureChanged();
}

void TImage::SetProportional(bool value) {
  if (value == FProportional) return;
  FProportional = value;
  PictureChanged();
}

void TImage::SetStretch(bool value) {
  if (value == FStretch) return;
  FStretch = value;
  PictureChanged();
}

void TImage::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  PictureChanged();
}

const TPropertyTable& TImage::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TControl::ClassProperties());
    TPropertyBuilder<TImage> b(t);
    b.Object("Picture", [](TImage& i) -> TPersistent* { return i.Picture(); });
    b.Boolean("AutoSize", [](TImage& i, bool v) { i.SetAutoSize(v); });
    b.Boolean("Center", [](TImage& i, bool v) { i.SetCenter(v); });
    b.Boolean("Proportional", [](TImage& i, bool v) { i.SetProportional(v); });
    b.Boolean("Stretch", [](TImage& i, bool v) { i.SetStretch(v); });
    b.Boolean("Transparent", [](TImage& i, bool v) { i.SetTransparent(v); });
    b.Boolean("IncrementalDisplay", [](TImage& i, bool v) { i.IncrementalDisplay = v; });
    return t;
  }();
  return table;
}
