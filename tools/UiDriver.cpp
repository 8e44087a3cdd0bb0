// Runs the viewer on the headless display from a script (see tools/UiScript.h):
//   ui_driver [--skin NAME] SCRIPT.txt        (or "-" for standard input)
// --skin sets the skin manager's SkinName once the window is created, as choosing the skin
// in the system menu does.
// Exits 0 when the script ran to its end, 2 for a script that cannot be read or parsed.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/UiScript.h"
#include "viewer/Maruk_rom.h"

int main(int argc, char** argv) {
  std::string skin;
  if (argc == 4 && std::string(argv[1]) == "--skin") {
    skin = argv[2];
    argv += 2;
    argc -= 2;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: ui_driver [--skin NAME] SCRIPT (or - for standard input)\n");
    return 2;
  }
  std::stringstream text;
  if (std::string(argv[1]) == "-") {
    text << std::cin.rdbuf();
  } else {
    std::ifstream file(argv[1]);
    if (!file) {
      std::fprintf(stderr, "ui_driver: cannot read %s\n", argv[1]);
      return 2;
    }
    text << file.rdbuf();
  }
  std::vector<TUiCommand> commands;
  try {
    commands = ParseUiScript(text.str());
  } catch (const EUiScriptError& e) {
    std::fprintf(stderr, "ui_driver: %s\n", e.what());
    return 2;
  }
  try {
    THeadlessDisplay display;
    SetDisplay(&display);
    auto* application = new TApplication(nullptr);
    application->Initialize();
    // Message boxes carry the program's title, as they do in the program itself.
    application->SetTitle("Maruk_ROM_viewer");
    TForm1* form = application->CreateForm<TForm1>();
    if (!skin.empty()) form->sSkinManager1->SetSkinName(skin);
    ScheduleUiScript(display, commands);
    application->Run();
    TComponent::Free(application);
    SetDisplay(nullptr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ui_driver: %s\n", e.what());
    return 1;
  }
  return 0;
}
