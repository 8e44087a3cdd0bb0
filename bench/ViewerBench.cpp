// The viewer's real window, skinned with its stored skin and showing a loaded ROM, painted in
// the ways a user makes it paint: the whole client area with every control composed anew, one
// button turning hot and back, the frame composed and copied, the whole window, a title button
// lit by the pointer. Times are ratios against a memcpy of the bytes of the area painted
// (32 bits a pixel, as a screen buffer holds them), measured in the same run. The two pointer
// cases first check, once, that nothing outside the control they light changes on the screen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchRatios.h"
#include "frame/sSkinProvider.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/PngFile.h"
#include "viewer/Maruk_rom.h"

namespace {

struct TViewerWindow {
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm1* Form = nullptr;
  TsSkinProvider* Provider = nullptr;
  // The pointer's resting place: the form's own background, over no control.
  TPoint Rest;

  TViewerWindow() {
    ViewerState().Reset();
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = App->CreateForm<TForm1>();
    Provider = Form->sSkinProvider1;
    Form->sBitBtn1->AnimatEvents = 0;  // no fades: every state change paints its final face at once
    Form->Show();
    Handle();
    LoadSampleRom();
    // The focus goes to a check box: a focused "Open ROM" would look hot already.
    Form->sCheckBox1->SetFocus();
    Rest = Form->ClientToScreen({370, 220});
    Display.MoveMouse(Rest.X, Rest.Y);
    Handle();
  }
  ~TViewerWindow() {
    TComponent::Free(App);
    SetDisplay(nullptr);
    ViewerState().Reset();
  }

  void Handle() {
    Step();
    App->ProcessMessages();
  }
  // One turn of the program's loop: input and paint messages, then the screen updated.
  void Step() {
    App->ProcessMessages();
    Display.Pump();
  }

  // 2048 bytes in which every lane changes now and then, so that the waveforms have edges.
  void LoadSampleRom() {
    char name[] = "/tmp/viewer-bench-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
      std::fprintf(stderr, "no sample ROM: cannot create a file in /tmp; the waveforms stay empty\n");
      return;
    }
    close(fd);
    std::vector<char> bytes(2048);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 37) ^ (i >> 3));
    std::ofstream(name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    try {
      Form->LoadRom(name);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "the sample ROM did not load: %s\n", e.what());
    }
    unlink(name);
    Handle();
  }

  TRect WindowRect() const {
    TRect r;
    GetWindowRect(Form->Handle(), &r);
    return r;
  }
  TRect ClientRect() const {
    TRect r;
    GetClientRect(Form->Handle(), &r);
    return r;
  }

  // Every skinned control's face is composed anew at its next paint.
  void DropControlCaches(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* c = parent->Controls(i);
      TsCommonData* link = nullptr;
      if (auto* b = dynamic_cast<TsBitBtn*>(c)) link = b->SkinData();
      else if (auto* x = dynamic_cast<TsCheckBox*>(c)) link = x->SkinData();
      else if (auto* g = dynamic_cast<TsGroupBox*>(c)) link = g->SkinData();
      if (link) link->CacheInvalid = true;
      if (auto* w = dynamic_cast<TWinControl*>(c)) DropControlCaches(w);
    }
  }
  void DropAllCaches() {
    DropControlCaches(Form);
    Provider->SkinData()->CacheInvalid = true;
  }
};

TViewerWindow& Viewer() {
  static TViewerWindow v;
  return v;
}

void Memcpy(benchmark::State& state, size_t bytes) {
  std::vector<uint8_t> src(bytes), dst(bytes);
  for (size_t i = 0; i < bytes; ++i) src[i] = uint8_t(i * 7);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
  state.counters["bytes"] = double(bytes);
}

void BM_MemcpyClient(benchmark::State& state) {
  const TRect c = Viewer().ClientRect();
  Memcpy(state, size_t(c.Width()) * size_t(c.Height()) * 4);
}
BENCHMARK(BM_MemcpyClient);

void BM_MemcpyWindow(benchmark::State& state) {
  const TRect w = Viewer().WindowRect();
  Memcpy(state, size_t(w.Width()) * size_t(w.Height()) * 4);
}
BENCHMARK(BM_MemcpyWindow);

// Pixels that differ between two screenshots, inside and outside `r` (screen coordinates).
struct TChange {
  int Inside = 0;
  int Outside = 0;
};
TChange CountChanges(const TDib& before, const TDib& after, const TRect& r) {
  TChange change;
  const size_t rowBytes = size_t(before.Width()) * size_t(before.BitsPerPixel() / 8);
  for (int y = 0; y < before.Height(); ++y) {
    if (std::memcmp(before.ScanLine(y), after.ScanLine(y), rowBytes) == 0) continue;
    for (int x = 0; x < before.Width(); ++x)
      if (before.GetPixel(x, y) != after.GetPixel(x, y)) ++(r.Contains(x, y) ? change.Inside : change.Outside);
  }
  return change;
}

// What the screen showed when the pointer lit a control once and went back to rest.
struct TLightCheck {
  TChange Lit;   // at rest -> lit
  TChange Out;   // lit -> at rest again
  TChange Round; // at rest before -> at rest after
};

// Moves the pointer onto `target` and back to the resting place, and counts the screen pixels
// that changed inside and outside `r` each way. `shots` names PNG files to keep the three
// screenshots in, when given.
TLightCheck LightOnce(TPoint target, const TRect& r, const char* what, const char* shots) {
  TViewerWindow& v = Viewer();
  const TDib rest = v.Display.Screenshot();
  v.Display.MoveMouse(target.X, target.Y);
  v.Handle();
  const TDib lit = v.Display.Screenshot();
  v.Display.MoveMouse(v.Rest.X, v.Rest.Y);
  v.Handle();
  const TDib back = v.Display.Screenshot();
  const TLightCheck check{CountChanges(rest, lit, r), CountChanges(lit, back, r), CountChanges(rest, back, r)};
  std::printf("%s: %d pixels changed inside its %d x %d rectangle, %d outside; back at rest: %d inside, %d outside, "
              "%d differ from before\n",
              what, check.Lit.Inside, r.Width(), r.Height(), check.Lit.Outside, check.Out.Inside, check.Out.Outside,
              check.Round.Inside + check.Round.Outside);
  if (shots && *shots) {
    const std::string base = shots;
    SavePngFile(rest, base + "-rest.png");
    SavePngFile(lit, base + "-lit.png");
    SavePngFile(back, base + "-back.png");
  }
  return check;
}

// Reports a check in the benchmark's counters; false (with the benchmark failed) when the
// control did not change on the screen or anything outside it did.
bool Passed(benchmark::State& state, const TLightCheck& check) {
  state.counters["changed_inside"] = check.Lit.Inside;
  state.counters["changed_outside"] = check.Lit.Outside + check.Out.Outside;
  if (check.Lit.Inside == 0) {
    state.SkipWithError("lighting the control changed nothing on the screen");
    return false;
  }
  if (check.Lit.Outside + check.Out.Outside + check.Round.Inside + check.Round.Outside != 0) {
    state.SkipWithError("pixels outside the control changed");
    return false;
  }
  return true;
}

// Where the screenshots of the checks go: VIEWER_BENCH_SHOTS=/tmp/x keeps /tmp/x-open-rom-*.png
// and /tmp/x-close-*.png.
std::string ShotsPrefix(const char* suffix) {
  const char* prefix = std::getenv("VIEWER_BENCH_SHOTS");
  return prefix && *prefix ? std::string(prefix) + suffix : std::string();
}

// Screen pixels that one `repaint` changed: none, when the pictures composed anew are those
// the screen showed.
int RepaintChanges(const std::function<void()>& repaint) {
  TViewerWindow& v = Viewer();
  v.Handle();
  const TDib before = v.Display.Screenshot();
  repaint();
  const TDib after = v.Display.Screenshot();
  const TChange change = CountChanges(before, after, {});
  return change.Inside + change.Outside;
}

bool SameAfterRepaint(benchmark::State& state, int changed) {
  state.counters["changed_by_repaint"] = changed;
  if (changed == 0) return true;
  state.SkipWithError("the repaint changed what the screen showed");
  return false;
}

// The client area repainted with every control: each control's face composed anew, the form's
// background copied from its frame picture, the labels and the waveform picture drawn over it.
void BM_ClientRepaintAllControls(benchmark::State& state) {
  TViewerWindow& v = Viewer();
  HWND form = v.Form->Handle();
  auto repaint = [&] {
    v.DropControlCaches(v.Form);
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    v.Step();
  };
  static const int changed = RepaintChanges(repaint);
  if (!SameAfterRepaint(state, changed)) return;
  for (auto _ : state) repaint();
}
BENCHMARK(BM_ClientRepaintAllControls);

// "Open ROM" turns hot under the pointer and back to normal when it leaves: two repaints of
// the button alone.
void BM_OpenRomHotAndBack(benchmark::State& state) {
  TViewerWindow& v = Viewer();
  TsBitBtn* button = v.Form->sBitBtn1;
  const TPoint centre = button->ClientToScreen({button->Width() / 2, button->Height() / 2});
  const TPoint topLeft = button->ClientToScreen({0, 0});
  const TRect r = Bounds(topLeft.X, topLeft.Y, button->Width(), button->Height());
  static const TLightCheck check = LightOnce(centre, r, "\"Open ROM\" hot", ShotsPrefix("-open-rom").c_str());
  if (!Passed(state, check)) return;
  for (auto _ : state) {
    v.Display.MoveMouse(centre.X, centre.Y);
    v.Step();
    if (button->StateIndex() != 1) return state.SkipWithError("the button did not turn hot");
    v.Display.MoveMouse(v.Rest.X, v.Rest.Y);
    v.Step();
  }
  if (button->StateIndex() != 0) state.SkipWithError("the button stayed hot");
}
BENCHMARK(BM_OpenRomHotAndBack);

// The frame picture composed anew: borders, title, icon, buttons and caption.
void BM_FrameCompose(benchmark::State& state) {
  TViewerWindow& v = Viewer();
  for (auto _ : state) v.Provider->ComposeFrame();
  v.Handle();
}
BENCHMARK(BM_FrameCompose);

// The non-client area repainted from a composed frame picture: the four bands copied.
void BM_NonClientRepaint(benchmark::State& state) {
  TViewerWindow& v = Viewer();
  HWND form = v.Form->Handle();
  v.Handle();
  for (auto _ : state) {
    SendMessage(form, WM_NCPAINT, 1, 0);
    v.Step();
  }
}
BENCHMARK(BM_NonClientRepaint);

// The whole window repainted with nothing cached: the frame composed, every control too.
void BM_WholeWindowRepaint(benchmark::State& state) {
  TViewerWindow& v = Viewer();
  HWND form = v.Form->Handle();
  auto repaint = [&] {
    v.DropAllCaches();
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    v.Step();
  };
  static const int changed = RepaintChanges(repaint);
  if (!SameAfterRepaint(state, changed)) return;
  for (auto _ : state) repaint();
}
BENCHMARK(BM_WholeWindowRepaint);

// The pointer onto the close button and off again: the button lights and goes out.
void BM_CloseButtonHover(benchmark::State& state) {
  TViewerWindow& v = Viewer();
  const TRect w = v.WindowRect();
  const TRect r = v.Provider->ButtonRecord(HTCLOSE).R.Offset(w.Left, w.Top);
  const TPoint centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  static const TLightCheck check = LightOnce(centre, r, "close button hot", ShotsPrefix("-close").c_str());
  if (!Passed(state, check)) return;
  for (auto _ : state) {
    v.Display.MoveMouse(centre.X, centre.Y);
    v.Step();
    if (v.Provider->HotCode() != HTCLOSE) return state.SkipWithError("the close button did not light");
    v.Display.MoveMouse(v.Rest.X, v.Rest.Y);
    v.Step();
  }
  if (v.Provider->HotCode() != 0) state.SkipWithError("the close button stayed hot");
}
BENCHMARK(BM_CloseButtonHover);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter reporter("BM_MemcpyWindow", {{"BM_ClientRepaintAllControls", "BM_MemcpyClient"},
                                              {"BM_OpenRomHotAndBack", "BM_MemcpyClient"}});
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
