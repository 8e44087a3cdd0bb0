#pragma once
// Pictures of the toolkit: TGraphic and its kinds (bitmap, icon, JPEG image) and TPicture,
// which holds any one of them.
#include <memory>
#include <vector>

#include "platform/graphics/Dib.h"
#include "platform/widgets/Canvas.h"

class TGraphic : public TPersistent {
 public:
  std::string ClassName() const override { return "TGraphic"; }
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const { return Width() == 0 || Height() == 0; }
  // Draws the picture stretched over `r` of the canvas.
  virtual void Draw(TCanvas* canvas, const TRect& r) const = 0;
  // Reads a whole picture file (BMP or JPEG by its signature) or writes a BMP.
  virtual void LoadFromStream(const std::vector<uint8_t>& bytes) = 0;
  virtual std::vector<uint8_t> SaveToStream() const = 0;
  bool Transparent = false;
  TNotifyEvent OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  std::string ClassName() const override { return "TBitmap"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  int Width() const override { return FDib.Width(); }
  int Height() const override { return FDib.Height(); }
  void SetWidth(int width);
  void SetHeight(int height);
  // Changes the size keeping the top-left part of the picture; new pixels are white.
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const;
  void SetPixelFormat(TPixelFormat format);

  TCanvas* Canvas();
  // The pixels, for code that reads rows directly.
  TDib& Dib() { return FDib; }
  const TDib& Dib() const { return FDib; }
  uint8_t* ScanLine(int y) { return FDib.ScanLine(y); }

  // The colour treated as transparent: the bottom-left pixel in tmAuto mode.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode = tmAuto;

  void Draw(TCanvas* canvas, const TRect& r) const override;
  void LoadFromStream(const std::vector<uint8_t>& bytes) override;
  std::vector<uint8_t> SaveToStream() const override;
  void LoadFromDib(TDib dib);
  void Assign(const TPersistent* source) override;

 private:
  TDib FDib;
  TColor FTransparentColor = clDefault;
  std::unique_ptr<TDC> FDC;
  std::unique_ptr<TCanvas> FCanvas;
};

// An icon: colour pixels and a mask.
class TIcon : public TGraphic {
 public:
  std::string ClassName() const override { return "TIcon"; }
  int Width() const override { return FImage.Color.Width(); }
  int Height() const override { return FImage.Color.Height(); }
  void Draw(TCanvas* canvas, const TRect& r) const override;
  void LoadFromStream(const std::vector<uint8_t>& bytes) override;
  std::vector<uint8_t> SaveToStream() const override;
  void Assign(const TPersistent* source) override;
  const TIconImage& Image() const { return FImage; }
  // Makes the icon from a bitmap; pixels of `transparent` become see-through.
  void SetFromBitmap(const TDib& bitmap, COLORREF transparent);

 private:
  TIconImage FImage;
};

class TJPEGImage : public TGraphic {
 public:
  std::string ClassName() const override { return "TJPEGImage"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  int Width() const override { return FDib.Width(); }
  int Height() const override { return FDib.Height(); }
  void Draw(TCanvas* canvas, const TRect& r) const override;
  void LoadFromStream(const std::vector<uint8_t>& bytes) override;
  std::vector<uint8_t> SaveToStream() const override { return FData; }
  void Assign(const TPersistent* source) override;
  const TDib& Dib() const { return FDib; }

 private:
  TDib FDib;
  std::vector<uint8_t> FData;
};

class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  std::string ClassName() const override { return "TPicture"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // The picture as a bitmap: a non-bitmap picture is replaced by an empty bitmap.
  TBitmap* Bitmap();
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }
  void Assign(const TPersistent* source) override;
  // Loads a picture file (BMP or JPEG by signature).
  void LoadFromStream(const std::vector<uint8_t>& bytes);
  // The layout form of a picture: the class name as a length-prefixed string, then that
  // class's data; a 32-bit length and a BMP or JPEG stream is read as well.
  void ReadData(const std::vector<uint8_t>& bytes);
  TNotifyEvent OnChange;

 private:
  void Changed();
  std::unique_ptr<TGraphic> FGraphic;
};

// Reads the stored form of a bitmap property: a 32-bit little-endian byte count followed by
// a whole BMP or JPEG stream (or the stream alone). Raises EPictureError when damaged.
TDib ReadCountedPicture(const std::vector<uint8_t>& bytes);
