// The program: the viewer's window on the real display.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include <malloc.h>

#include "platform/display/x11/X11Display.h"
#include "platform/graphics/StartupTrace.h"
#include "skin/data/sSkinChecker.h"
#include "viewer/CommandLine.h"
#include "viewer/Maruk_rom.h"
#include "viewer/ProgramIcon.h"
#include "viewer/WindowExport.h"

namespace {

// --export: the window as a picture, without a display.
int Export(const TCommandLine& commandLine) {
  std::string message, warning;
  const TExportResult result = ExportWindowPicture(commandLine, message, warning);
  if (!warning.empty()) std::fprintf(stderr, "Maruk_ROM_viewer: %s\n", warning.c_str());
  if (result == erUsage)
    std::fprintf(stderr, "Maruk_ROM_viewer: %s\n%s\n", message.c_str(), TCommandLine::UsageLine().c_str());
  else if (result == erFailed)
    std::fprintf(stderr, "Maruk_ROM_viewer: %s\n", message.c_str());
  return int(result);
}

}  // namespace

int main(int argc, char** argv) {
  TraceStartup("main");
  const TCommandLine commandLine = TCommandLine::Parse({argv + 1, argv + argc}, std::getenv("MARUK_SCALE"));
  for (const std::string& warning : commandLine.Warnings) std::fprintf(stderr, "Maruk_ROM_viewer: %s\n", warning.c_str());
  switch (commandLine.Action) {
    case clHelp:
      std::fputs(TCommandLine::HelpText().c_str(), stdout);
      return 0;
    case clVersion:
      std::fputs(TCommandLine::VersionText().c_str(), stdout);
      return 0;
    case clUsageError:
      std::fprintf(stderr, "Maruk_ROM_viewer: %s\n%s\n", commandLine.Error.c_str(), TCommandLine::UsageLine().c_str());
      return 2;
    case clCheckSkin:
      return RunSkinCheck(commandLine.SkinFolder, stdout, stderr, "Maruk_ROM_viewer");
    case clExport:
      return Export(commandLine);
    case clRun:
      break;
  }
  try {
    TX11Display display(commandLine.Scale);
    TraceStartup("X connection");
    display.SetIcon({StoredProgramIcon(16), StoredProgramIcon(32)});
    SetDisplay(&display);
    auto* application = new TApplication(nullptr);
    application->Initialize();
    auto* form = application->CreateForm<TForm1>();
    TraceStartup("window created");
    // Reading the stored layout and building the skin leave much freed memory behind.
    malloc_trim(0);
    if (!commandLine.File.empty()) form->LoadRomWhenShown(commandLine.File);
    TraceStartup("message loop starts");
    application->Run();
    TComponent::Free(application);
    SetDisplay(nullptr);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Maruk_ROM_viewer: %s\n", e.what());
    return 1;
  }
}
