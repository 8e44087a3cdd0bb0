#pragma once
// The viewer's window: loads a timing ROM, splits its first 2048 bytes into eight bit lanes
// and draws 65 steps of them as logic-analyser waveforms.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/sBitBtn.h"
#include "controls/sCheckBox.h"
#include "controls/sGroupBox.h"
#include "controls/sLabel.h"
#include "controls/sUpDown.h"
#include "frame/sSkinProvider.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/HintWindow.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/OpenDialog.h"
#include "skin/data/sSkinManager.h"
#include "viewer/RomFile.h"

// What the viewer keeps for the whole run, one copy per process, all zero at start.
inline constexpr uint64_t kWholeRomLimit = 16u << 20;

struct TViewerState {
  // The file as read: the whole of it up to kWholeRomLimit bytes; of a larger file only the
  // bytes the lanes use, so that memory stays bounded whatever is opened.
  std::vector<uint8_t> RomImage;
  uint32_t RomSize = 0;  // size of the file opened last (4 GiB - 1 for anything larger)
  TLaneTable LaneTable{};
  TRomFile File;  // open only during a load (or left open by a failed one)
  // Back to the state at program start (for running the viewer more than once in a process).
  void Reset() {
    File.Close();
    RomImage.clear();
    RomSize = 0;
    LaneTable = {};
  }
};
TViewerState& ViewerState();

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);
  std::string ClassName() const override { return "TForm1"; }
  void GetMethods(std::map<std::string, std::any>& methods) override;
  void WndProc(TMessage& message) override;

  TOpenDialog* OpenDialog1 = nullptr;
  TsBitBtn* sBitBtn1 = nullptr;
  TsBitBtn* sBitBtn2 = nullptr;
  TsGroupBox* sGroupBox1 = nullptr;
  TsSkinManager* sSkinManager1 = nullptr;
  TsSkinProvider* sSkinProvider1 = nullptr;
  TImage* Image1 = nullptr;
  TsCheckBox* sCheckBox1 = nullptr;
  TsUpDown* sUpDown1 = nullptr;
  TsUpDown* sUpDown2 = nullptr;
  TsLabel* sLabel1 = nullptr;
  TsLabel* sLabel2 = nullptr;
  TsLabel* sLabel3 = nullptr;
  TsLabel* sLabel4 = nullptr;
  TsLabel* sLabel5 = nullptr;
  TsLabel* sLabel6 = nullptr;
  TsLabel* sLabel7 = nullptr;
  TsLabel* sLabel8 = nullptr;
  TsLabel* sLabel9 = nullptr;
  TsLabel* sLabel10 = nullptr;
  TsLabel* sLabel11 = nullptr;
  TsCheckBox* sCheckBox2 = nullptr;

  void sBitBtn1Click(TObject* sender);
  void FormActivate(TObject* sender);
  void sUpDown1Click(TObject* sender, TUDBtnType button);
  void sUpDown2Click(TObject* sender, TUDBtnType button);
  void sCheckBox1Click(TObject* sender);
  void DrawGrid();
  void DrawWaveforms();

  // Loads a ROM file as "Open ROM" does once a file is chosen; input/output errors are thrown
  // as EInOutError, for the application's default handler to show.
  void LoadRom(const std::string& path);
  // Loads `path` as soon as the message loop runs, after the window has appeared, with errors
  // shown as for a file chosen in the dialog (the file named on the command line).
  void LoadRomWhenShown(const std::string& path);
  // The file shown last; it is watched and read again when it changes (empty before a load).
  const std::string& ShownRomPath() const { return FShownRom; }

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  void UpdateAddressCaptions();
  void HandleDrop(WPARAM drop);
  void WatchShownRom(const std::string& path);
  // The readout under the pointer, as the picture's hint.
  void ShowReadout(THintInfo& info);
  void ReloadShownRom();
  std::string FStartFile;
  std::string FShownRom;
  uintptr_t FRomWatch = 0;
  bool FReloadFailureShown = false;
  void FindComponents();
  bool FGridDrawn = false;
};

// The stored layout of TForm1.
const std::string& Form1Layout();
// Makes every component class of the viewer's layout known to the layout reader.
void RegisterViewerClasses();
