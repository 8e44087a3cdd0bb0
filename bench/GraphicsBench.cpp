// Drawing-service costs against a plain memcpy of a 640 x 269 24-bit picture.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/BenchRatios.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"

namespace {

constexpr int kW = 640, kH = 269;

TDib Picture() {
  TDib d(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) d.SetPixel(x, y, RGB(x, y, x ^ y));
  return d;
}

void BM_Memcpy(benchmark::State& state) {
  TDib src = Picture(), dst(kW, kH);
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), src.BitsSize());
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.BitsSize()));
}
BENCHMARK(BM_Memcpy);

void BM_BitBlt(benchmark::State& state) {
  TDib src = Picture(), dst(kW, kH);
  TDC s(&src), d(&dst);
  for (auto _ : state) {
    BitBlt(&d, 0, 0, kW, kH, &s, 0, 0, SRCCOPY);
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.BitsSize()));
}
BENCHMARK(BM_BitBlt);

void BM_StretchBlt_2x(benchmark::State& state) {
  TDib src(kW / 2, kH / 2), dst(kW, kH);
  TDC s(&src), d(&dst);
  for (auto _ : state) {
    StretchBlt(&d, 0, 0, kW, kH, &s, 0, 0, kW / 2, kH / 2, SRCCOPY);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StretchBlt_2x);

void BM_FillRect(benchmark::State& state) {
  TDib dst(kW, kH);
  TDC d(&dst);
  TRect r{0, 0, kW, kH};
  const TLogBrush brush = CreateSolidBrush(RGB(212, 208, 200));
  for (auto _ : state) {
    FillRect(&d, &r, brush);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillRect);

void BM_DrawText_Caption(benchmark::State& state) {
  TDib dst(kW, 24);
  TDC d(&dst);
  SetBkMode(&d, TRANSPARENT);
  const std::string caption = "Maruk timeline ROM viewer 2048";  // 30 characters
  for (auto _ : state) {
    TRect r{0, 0, kW, 24};
    DrawText(&d, caption, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawText_Caption);

}  // namespace

RATIO_BENCHMARK_MAIN("BM_Memcpy");
