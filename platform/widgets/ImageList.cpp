#include "platform/widgets/ImageList.h"

#include <algorithm>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/PropertyRanges.h"

void TCustomImageList::SetSize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
  FImages.clear();
}

int TCustomImageList::Add(const TDib& picture) {
  TDib image(FWidth, FHeight);
  image.Fill(BkColor == clNone ? 0 : ColorToRGB(BkColor));
  const TDib source = picture.As24();
  for (int y = 0; y < std::min(FHeight, source.Height()); ++y)
    for (int x = 0; x < std::min(FWidth, source.Width()); ++x) image.SetPixel(x, y, source.GetPixel(x, y));
  FImages.push_back(std::move(image));
  return Count() - 1;
}

const TDib* TCustomImageList::Image(int index) const {
  return index >= 0 && index < Count() ? &FImages[size_t(index)] : nullptr;
}

const TPropertyTable& TCustomImageList::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TCustomImageList> b(t);
    b.Integer("Width", kSizeRange, [](TCustomImageList& l, int64_t v) { l.SetSize(int(v), l.Height()); });
    b.Integer("Height", kSizeRange, [](TCustomImageList& l, int64_t v) { l.SetSize(l.Width(), int(v)); });
    b.Color("BkColor", [](TCustomImageList& l, TColor v) { l.BkColor = v; });
    return t;
  }();
  return table;
}
