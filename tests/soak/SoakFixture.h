#pragma once
// The viewer as the program shows it, on the headless screen, with the shipped skins found in
// the build tree and a folder of ROM files to open (the current folder while a test runs, so
// that the Open dialog starts there).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"
#include "viewer/Maruk_rom.h"

class SoakFixture : public ::testing::Test {
 protected:
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm1* Form = nullptr;
  std::string Dir;
  std::string OldFolder;

  void SetUp() override {
    ViewerState().Reset();
    char tmpl[] = "/tmp/soak-roms-XXXXXX";
    Dir = mkdtemp(tmpl);
    WriteRoms();
    char cwd[4096];
    OldFolder = getcwd(cwd, sizeof(cwd)) ? cwd : "/";
    ASSERT_EQ(chdir(Dir.c_str()), 0);
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    App->Initialize();
    App->SetTitle("Maruk_ROM_viewer");
    Form = App->CreateForm<TForm1>();
    Form->sSkinManager1->SetShippedSkinDirectory(MARUK_SHIPPED_SKINS);
    Form->Show();
    Settle();
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
    ViewerState().Reset();
    if (chdir(OldFolder.c_str()) != 0) std::perror("chdir");
    std::system(("rm -rf '" + Dir + "'").c_str());
  }

  // Lets the program handle everything and run its timers out (fades, repeats).
  void Settle() {
    App->ProcessMessages();
    for (int i = 0; i < 500 && NextTimerDue() != UINT64_MAX; ++i) Display.Advance(10);
    App->ProcessMessages();
    Display.Pump();  // presents what was painted
  }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = Dir + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  // Good dumps, short and empty ones, one too long, a folder with a ROM's name and a file the
  // dialog's filter hides.
  void WriteRoms() {
    std::vector<uint8_t> rom(2048);
    for (size_t i = 0; i < rom.size(); ++i) rom[i] = uint8_t(i * 37 + (i >> 3));
    Write("good.rom", rom);
    std::vector<uint8_t> counter(2048);
    for (size_t i = 0; i < counter.size(); ++i) counter[i] = uint8_t(i);
    Write("counter.bin", counter);
    Write("short.rom", std::vector<uint8_t>(100, 0x55));
    Write("empty.bin", {});
    Write("long.rom", std::vector<uint8_t>(70000, 0xA5));
    Write("notes.txt", std::vector<uint8_t>(10, 'x'));
    mkdir((Dir + "/folder.rom").c_str(), 0755);
  }
};
