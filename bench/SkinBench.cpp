// Skin pixel tools and background composition against a plain memcpy of a 640 x 269 24-bit
// picture (516,480 bytes), with pixman's constant-alpha composite as the nearest outside
// equivalent of the weighted blend.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench/BenchRatios.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "skin/render/sMaskPainter.h"
#include "skin/render/sPixelTools.h"
#include "viewer/Maruk_rom.h"

namespace {

constexpr int kW = 640, kH = 269;
constexpr int kWeight = 100;

TDib Picture(int seed) {
  TDib d(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) d.SetPixel(x, y, RGB(x + seed, y * 3 + seed, (x ^ y) + seed));
  return d;
}

void BM_Memcpy(benchmark::State& state) {
  TDib src = Picture(0), dst(kW, kH);
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), src.BitsSize());
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.BitsSize()));
}
BENCHMARK(BM_Memcpy);

void BM_BlendSameSize(benchmark::State& state) {
  TDib src = Picture(1), dst = Picture(2);
  for (auto _ : state) {
    BlendSameSize(&dst, &src, kWeight);
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.BitsSize()));
}
BENCHMARK(BM_BlendSameSize);

void BM_MixColor(benchmark::State& state) {
  TDib dst = Picture(3);
  for (auto _ : state) {
    MixColor(&dst, dst.BoundsRect(), 40, RGB(200, 100, 50));
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(dst.BitsSize()));
}
BENCHMARK(BM_MixColor);

struct TPixmanDeleter {
  void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using TPixmanImage = std::unique_ptr<pixman_image_t, TPixmanDeleter>;

// Source OVER destination through a solid mask of alpha 255 - weight: the destination keeps
// weight/255 of itself, as in the skin blend.
void PixmanBlend(benchmark::State& state, pixman_format_code_t format, int bytesPerPixel) {
  const int stride = (kW * bytesPerPixel + 3) & ~3;
  std::vector<uint32_t> srcBits(size_t(stride) * kH / 4), dstBits(size_t(stride) * kH / 4);
  auto* s = reinterpret_cast<uint8_t*>(srcBits.data());
  auto* d = reinterpret_cast<uint8_t*>(dstBits.data());
  for (size_t i = 0; i < size_t(stride) * kH; ++i) {
    s[i] = uint8_t(i * 7);
    d[i] = uint8_t(i * 13);
  }
  TPixmanImage src(pixman_image_create_bits(format, kW, kH, srcBits.data(), stride));
  TPixmanImage dst(pixman_image_create_bits(format, kW, kH, dstBits.data(), stride));
  const uint16_t alpha = uint16_t((255 - kWeight) * 257);
  const pixman_color_t maskColor{alpha, alpha, alpha, alpha};
  TPixmanImage mask(pixman_image_create_solid_fill(&maskColor));
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src.get(), mask.get(), dst.get(), 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::DoNotOptimize(dstBits.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kW) * kH * bytesPerPixel);
}

void BM_PixmanOver24(benchmark::State& state) { PixmanBlend(state, PIXMAN_r8g8b8, 3); }
BENCHMARK(BM_PixmanOver24);

void BM_PixmanOver32(benchmark::State& state) { PixmanBlend(state, PIXMAN_x8r8g8b8, 4); }
BENCHMARK(BM_PixmanOver32);

// A 105 x 25 control face from a hand-built section: gradient alone, or gradient at 60 % with
// the colour and a see-through blend of 50 % over a parent picture.
void ComposeSection(benchmark::State& state, int gradientPercent, int transparency) {
  TsSkinManager manager(nullptr);
  TsGeneralData section;
  section.SectionName = "BENCH";
  section.Color = RGB(200, 180, 160);
  section.GradientPercent = gradientPercent;
  section.GradientData = "10383683;9330438;99;0;0;9330438;9330438;0;0;0";
  section.GradientArray = ParseGradientData(section.GradientData);
  section.Transparency = transparency;
  manager.Sections().push_back(std::move(section));
  TDib parent = Picture(4);
  TsBgSource source{&parent, 17, 33, true};
  TDib face(105, 25);
  for (auto _ : state) {
    PaintSectionBackground(0, "BENCH", source, TColor(kSkinKeyColor), -1, -1, &manager, &face, {3, 4},
                           face.BoundsRect(), 0);
    benchmark::DoNotOptimize(face.Bits());
    benchmark::ClobberMemory();
  }
}

void BM_ComposerGradient105x25(benchmark::State& state) { ComposeSection(state, 100, 0); }
BENCHMARK(BM_ComposerGradient105x25);

void BM_ComposerSeeThrough105x25(benchmark::State& state) { ComposeSection(state, 60, 50); }
BENCHMARK(BM_ComposerSeeThrough105x25);


// The viewer's window with its stored skin, for painting a real "BUTTON" face.
struct TViewerWithSkin {
  THeadlessDisplay Display;
  TApplication* App;
  TForm1* Form;
  TViewerWithSkin() {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = App->CreateForm<TForm1>();
    Form->Show();
    Display.Pump();
  }
  ~TViewerWithSkin() {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
};

TViewerWithSkin& Viewer() {
  static TViewerWithSkin v;
  return v;
}

void BM_PaintLinkSkinButton105x25(benchmark::State& state) {
  TViewerWithSkin& v = Viewer();
  TsCommonData link(v.Form->sBitBtn1, true);
  link.SetSkinSection("BUTTON");
  link.ResolveIndexes();
  link.SizeCache();
  if (!link.Cache() || link.SectionIndex < 0) return state.SkipWithError("no BUTTON section");
  for (auto _ : state) {
    TsBgSource source;
    link.GetParentBackground(source);
    PaintLinkSkin(&link, source, true, false, link.Cache(), {0, 208}, {0, 0, 105, 25}, 1);
    benchmark::DoNotOptimize(link.Cache()->Bits());
  }
}
BENCHMARK(BM_PaintLinkSkinButton105x25);

// One fade frame of a 105 x 25 face: copy the old picture, blend the new one in, put it on
// the window.
void BM_FadeFrame105x25(benchmark::State& state) {
  TViewerWithSkin& v = Viewer();
  TDib from(105, 25), now(105, 25);
  from.Fill(RGB(10, 20, 30));
  now.Fill(RGB(200, 180, 160));
  HWND window = v.Form->sBitBtn1->Handle();
  for (auto _ : state) {
    TDib frame = from;
    BlendSameSize(&frame, &now, 128);
    HDC dc = GetDC(window);
    TDC src(&frame);
    BitBlt(dc, 0, 0, 105, 25, &src, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
  }
}
BENCHMARK(BM_FadeFrame105x25);

}  // namespace

RATIO_BENCHMARK_MAIN("BM_Memcpy")
