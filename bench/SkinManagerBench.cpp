// Loading and announcing the shipped skin, and shifting its hue, against one copy of its
// master bitmap.
#include <benchmark/benchmark.h>

#include "bench/BenchRatios.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "viewer/Maruk_rom.h"

namespace {

struct TViewer {
  THeadlessDisplay Display;
  TApplication* App;
  TForm1* Form;
  TViewer() {
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = App->CreateForm<TForm1>();
  }
  ~TViewer() {
    TComponent::Free(App);
    SetDisplay(nullptr);
  }
};

TViewer& Viewer() {
  static TViewer v;
  return v;
}

void BM_CopyMasterBitmap(benchmark::State& state) {
  TsSkinManager* m = Viewer().Form->sSkinManager1;
  const TDib* master = m->MasterBitmap();
  if (!master) return state.SkipWithError("the skin is not loaded");
  for (auto _ : state) {
    TDib copy = *master;
    benchmark::DoNotOptimize(copy.Bits());
  }
}
BENCHMARK(BM_CopyMasterBitmap);

void BM_LoadSkinAndApply(benchmark::State& state) {
  TsSkinManager* m = Viewer().Form->sSkinManager1;
  const std::string name = m->SkinName();
  for (auto _ : state) m->SetSkinName(name);
}
BENCHMARK(BM_LoadSkinAndApply);

void BM_HueShiftMasterBitmap(benchmark::State& state) {
  TsSkinManager* m = Viewer().Form->sSkinManager1;
  const TDib* master = m->MasterBitmap();
  if (!master) return state.SkipWithError("the skin is not loaded");
  for (auto _ : state) {
    TDib copy = *master;
    ShiftSkinPicture(&copy, 30, 0);
    benchmark::DoNotOptimize(copy.Bits());
  }
}
BENCHMARK(BM_HueShiftMasterBitmap);

}  // namespace

RATIO_BENCHMARK_MAIN("BM_CopyMasterBitmap");
