#pragma once
// Image lists: pictures of one size kept side by side and drawn by index. Buttons and check
// boxes can take their glyphs from one.
#include <vector>

#include "platform/components/Component.h"
#include "platform/graphics/Dib.h"

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* owner) : TComponent(owner) {}
  std::string ClassName() const override { return "TCustomImageList"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Changing the size empties the list.
  void SetSize(int width, int height);
  // The colour behind the pictures; clNone when they have none.
  TColor BkColor = clNone;

  int Count() const { return int(FImages.size()); }
  // Adds a picture, cut or padded (with BkColor, else black) to the list's size; returns its index.
  int Add(const TDib& picture);
  void Clear() { FImages.clear(); }
  // The picture at `index` (24 bits), or nullptr.
  const TDib* Image(int index) const;

 private:
  int FWidth = 16, FHeight = 16;
  std::vector<TDib> FImages;
};

class TImageList : public TCustomImageList {
 public:
  explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
  std::string ClassName() const override { return "TImageList"; }
};
