// The program: the viewer's window on the real display.
#include <cstdio>
#include <exception>

#include "platform/display/sdl/SdlDisplay.h"
#include "viewer/Maruk_rom.h"

int main() {
  try {
    TSdlDisplay display;
    SetDisplay(&display);
    auto* application = new TApplication(nullptr);
    application->Initialize();
    application->CreateForm<TForm1>();
    application->Run();
    TComponent::Free(application);
    SetDisplay(nullptr);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Maruk_ROM_viewer: %s\n", e.what());
    return 1;
  }
}
