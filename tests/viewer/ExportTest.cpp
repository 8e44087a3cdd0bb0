// --export: the program writes its window as a PNG without any display. The picture is
// compared pixel by pixel with the same window brought to the same state through the
// program's ordinary path (real clicks and keys on the headless screen) and screenshot.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/PngFile.h"
#include "tests/support/ChildProcess.h"
#include "viewer/Maruk_rom.h"

namespace {

using namespace std::chrono_literals;

struct TRun {
  int ExitCode = -1;
  std::string Output, Errors;
};

class Export : public ::testing::Test {
 protected:
  std::string Dir, Home, Rom;

  void SetUp() override {
    char tmpl[] = "/tmp/export-test-XXXXXX";
    Dir = mkdtemp(tmpl);
    Home = Dir + "/home";  // no skins of the user's own
    std::system(("mkdir -p '" + Home + "'").c_str());
    Rom = Dir + "/timing.rom";
    std::vector<uint8_t> bytes(2048);
    for (size_t a = 0; a < bytes.size(); ++a) bytes[a] = uint8_t(a * 37 + (a >> 3));
    std::ofstream(Rom, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }

  // The program as a script runs it: no display of any kind in its environment.
  TRun RunExport(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {MARUK_VIEWER_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    TChildProcess program(argv, {{"HOME", Home}}, {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}, true);
    TRun run;
    if (!program.Started() || !program.WaitFor(120s)) return run;
    run.ExitCode = program.ExitCode();
    run.Output = program.Output();
    run.Errors = program.Errors();
    return run;
  }
  static TDib ReadPicture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return LoadPngWithAlpha(bytes.data(), bytes.size());
  }
};

struct TState {
  std::string Skin;  // empty: the stored skin
  int Position = 0;
  bool Hex = false, D4Sync = false;
  int Scale = 1;
};

// The window brought to `state` the way a user brings it there, on a screen `state.Scale`
// times larger: the skin chosen, the check boxes clicked, the ROM opened with "Open ROM", the
// view moved with the arrows, the pointer taken away. Returns the screen's part under the
// window, and sets `outline` to the window's outline (window pixels).
TDib ShowByHand(const TState& state, const std::string& rom, TRegion& outline, bool& shaped) {
  THeadlessDisplay display(1280, 1024, {0, 0, 1280, 984}, state.Scale);
  SetDisplay(&display);
  ViewerState().Reset();
  auto* app = new TApplication(nullptr);
  app->SetTitle("Maruk_ROM_viewer");
  TForm1* form = app->CreateForm<TForm1>();
  form->sSkinManager1->SetShippedSkinDirectory(MARUK_SHIPPED_SKINS);
  form->Show();
  app->ProcessMessages();
  display.Pump();
  if (!state.Skin.empty()) form->sSkinManager1->SetSkinName(state.Skin);
  const int n = state.Scale;
  auto click = [&](TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    display.Click(p.X * n, p.Y * n);
    app->ProcessMessages();
  };
  if (state.Hex) click(form->sCheckBox2, 10, 10);
  if (state.D4Sync) click(form->sCheckBox1, 10, 10);
  display.Schedule([&] { display.TypeText(rom); });
  display.Schedule([&] { display.Key(VK_RETURN); });
  click(form->sBitBtn1, 10, 10);
  for (int i = 0; i < state.Position / 32; ++i) click(form->sUpDown2, form->sUpDown2->Width() - 10, 8);
  for (int i = 0; i < state.Position % 32; ++i) click(form->sUpDown1, form->sUpDown1->Width() - 10, 8);
  EXPECT_EQ(form->sUpDown1->Position(), state.Position);
  display.MoveMouse(2, 2);
  app->ProcessMessages();
  display.Advance(2000);
  app->ProcessMessages();
  display.Pump();
  TRect r;
  GetWindowRect(form->Handle(), &r);
  shaped = GetWindowRgn(form->Handle(), &outline) != RGN_ERROR;
  const TDib screen = display.Screenshot();
  TDib window(r.Width() * n, r.Height() * n);
  TDC from(const_cast<TDib*>(&screen)), to(&window);
  BitBlt(&to, 0, 0, window.Width(), window.Height(), &from, r.Left * n, r.Top * n, SRCCOPY);
  TComponent::Free(app);
  SetDisplay(nullptr);
  ViewerState().Reset();
  return window;
}

TEST_F(Export, ThePictureIsTheWindowAsTheProgramShowsIt) {
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("HOME", Home.c_str(), 1);
  const TState states[] = {
      {"", 0, true, false, 1},
      {"Graphite", 37, true, false, 2},
      {"Amber", 100, true, true, 3},
      {"BlueGlass (internal)", 2048, false, true, 1},
  };
  for (const TState& s : states) {
    const std::string name = (s.Skin.empty() ? "stored" : s.Skin) + " at " + std::to_string(s.Position) + " x" +
                             std::to_string(s.Scale);
    const std::string out = Dir + "/shot.png";
    std::vector<std::string> args = {"--export", out, "--position", std::to_string(s.Position), "--scale",
                                     std::to_string(s.Scale)};
    if (s.Hex) args.push_back("--hex");
    if (s.D4Sync) args.push_back("--d4-sync");
    if (!s.Skin.empty()) args.insert(args.end(), {"--skin", s.Skin});
    args.push_back(Rom);
    const TRun run = RunExport(args);
    ASSERT_EQ(run.ExitCode, 0) << name << ": " << run.Errors;
    EXPECT_EQ(run.Errors, "") << name;
    const TDib picture = ReadPicture(out);

    TRegion outline;
    bool shaped = false;
    const TDib expected = ShowByHand(s, Rom, outline, shaped);
    ASSERT_EQ(picture.Width(), expected.Width()) << name;
    ASSERT_EQ(picture.Height(), expected.Height()) << name;
    int differing = 0, transparent = 0;
    for (int y = 0; y < picture.Height() && differing < 5; ++y)
      for (int x = 0; x < picture.Width() && differing < 5; ++x) {
        const uint8_t* p = picture.ScanLine(y) + x * 4;
        const bool inside = !shaped || outline.Contains(x / s.Scale, y / s.Scale);
        if (!inside) {
          EXPECT_EQ(p[3], 0) << name << ": outside the outline at " << x << "," << y;
          ++transparent;
          continue;
        }
        const COLORREF got = RGB(p[2], p[1], p[0]);
        if (p[3] != 0xFF || got != expected.GetPixel(x, y)) {
          ADD_FAILURE() << name << ": pixel " << x << "," << y << " is " << std::hex << got << " (alpha "
                        << int(p[3]) << "), the program shows " << expected.GetPixel(x, y);
          ++differing;
        }
      }
    EXPECT_EQ(differing, 0) << name;
    if (shaped) {
      EXPECT_GT(transparent, 0) << name << ": the cut corners are transparent";
    }
  }
  if (home) setenv("HOME", savedHome.c_str(), 1);
  else unsetenv("HOME");
}

TEST_F(Export, AFileThatCannotBeReadIsReportedAsTheMessageBoxWouldAndNothingIsWritten) {
  const std::string out = Dir + "/never.png";
  TRun run = RunExport({"--export", out, Dir + "/missing.rom"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Errors, "Maruk_ROM_viewer: File not found.\n");
  EXPECT_EQ(run.Output, "");
  run = RunExport({"--export", out, Dir});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Errors, "Maruk_ROM_viewer: File access denied.\n");
  EXPECT_NE(access(out.c_str(), F_OK), 0);
  // A picture that cannot be written.
  run = RunExport({"--export", Dir + "/no/such/folder.png", Rom});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Errors.rfind("Maruk_ROM_viewer: cannot create '" + Dir + "/no/such/folder.png'", 0), 0u) << run.Errors;
}

TEST_F(Export, ASkinThatCannotBeLoadedIsReportedAndNothingIsWritten) {
  // A copy of a shipped skin without its master bitmap, in the user's skin folder.
  std::system(("mkdir -p '" + Home + "/Skins' && cp -r '" + std::string(MARUK_SHIPPED_SKINS) + "Amber' '" + Home +
               "/Skins/Broken' && rm '" + Home + "/Skins/Broken/Amber.bmp'").c_str());
  const std::string out = Dir + "/broken.png";
  const TRun run = RunExport({"--export", out, "--skin", "broken", Rom});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Errors.rfind("Maruk_ROM_viewer: The skin \"Broken\" cannot be loaded from " + Home + "/Skins/Broken/:", 0), 0u)
      << run.Errors;
  EXPECT_NE(access(out.c_str(), F_OK), 0);
}

TEST_F(Export, AnEmptyFileGivesTheWindowWithoutAROMAndSaysSo) {
  const std::string empty = Dir + "/empty.rom", out = Dir + "/empty.png";
  std::ofstream(empty).close();
  const TRun run = RunExport({"--export", out, "--position", "5", empty});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Errors, "Maruk_ROM_viewer: '" + empty + "' is empty: the window shows no ROM\n");
  EXPECT_EQ(ReadPicture(out).Width(), 640);
}

TEST_F(Export, BadOptionsAreUsageErrors) {
  const std::string usage =
      "Usage: Maruk_ROM_viewer [--scale N] [--help] [--version] [FILE]\n"
      "       Maruk_ROM_viewer --export OUT.png [--position N] [--hex] [--d4-sync] [--skin NAME] [--scale N] FILE\n"
      "       Maruk_ROM_viewer --check-skin DIR\n";
  const struct {
    std::vector<std::string> Args;
    std::string Error;
  } cases[] = {
      {{"--export", "x.png", "--position", "2049", "r.rom"},
       "invalid position '2049' (a whole number from 0 to 2048, or hexadecimal after 0x)"},
      {{"--export", "x.png", "--skin", "No Such Skin", Rom}, "unknown skin 'No Such Skin' (skins: Amber, BlueGlass (internal), Graphite)"},
  };
  for (const auto& c : cases) {
    const TRun run = RunExport(c.Args);
    EXPECT_EQ(run.ExitCode, 2) << c.Error;
    EXPECT_EQ(run.Errors, "Maruk_ROM_viewer: " + c.Error + "\n" + usage);
  }
}

}  // namespace
