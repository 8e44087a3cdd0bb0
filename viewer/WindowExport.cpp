#include "viewer/WindowExport.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/graphics/PngFile.h"
#include "skin/data/sSkinMessage.h"
#include "viewer/Maruk_rom.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The skin's name as the manager lists it, compared without regard to case; empty when none.
std::string FindSkinName(TsSkinManager* manager, const std::string& wanted, std::string& all) {
  std::vector<std::string> names;
  std::string first;
  manager->GetSkinNames(names, first);
  std::string found;
  for (const std::string& n : names) {
    all += (all.empty() ? "" : ", ") + n;
    if (found.empty() && Lower(n) == Lower(wanted)) found = n;
  }
  return found;
}

// The window's pixels with their opacity: transparent outside its outline, `scale` times larger.
TDib WindowPicture(HWND window, const TDib& pixels, int scale) {
  TRegion outline;
  const bool shaped = GetWindowRgn(window, &outline) != RGN_ERROR;
  TDib picture(pixels.Width() * scale, pixels.Height() * scale, 32);
  for (int y = 0; y < picture.Height(); ++y) {
    uint8_t* d = picture.ScanLine(y);
    const int sy = y / scale;
    const uint8_t* s = pixels.ScanLine(sy);
    for (int x = 0; x < picture.Width(); ++x, d += 4) {
      const int sx = x / scale;
      const bool inside = !shaped || outline.Contains(sx, sy);
      d[0] = s[sx * 3];
      d[1] = s[sx * 3 + 1];
      d[2] = s[sx * 3 + 2];
      d[3] = inside ? 0xFF : 0;
      if (!inside) d[0] = d[1] = d[2] = 0;
    }
  }
  return picture;
}

// Runs the window on a headless screen for the export and takes it down again.
class TExportSession {
 public:
  explicit TExportSession(int scale) : FDisplay(1280, 1024, {0, 0, 1280, 984}, scale) {
    SetDisplay(&FDisplay);
    FApplication = new TApplication(nullptr);
    FApplication->Initialize();
  }
  ~TExportSession() {
    TComponent::Free(FApplication);
    if (FCatching) SetSkinMessageHandler(FPreviousHandler);
    SetDisplay(nullptr);
  }
  TApplication* Application() { return FApplication; }
  // What the skin engine would say in a message box is kept instead (after the window's
  // classes, the skinned dialogs among them, have been registered).
  void CatchSkinMessages() {
    FCatching = true;
    FPreviousHandler = SetSkinMessageHandler([this](const std::string& text) {
      if (SkinMessage.empty()) SkinMessage = text;
    });
  }
  THeadlessDisplay& Display() { return FDisplay; }
  // Everything that is ready now, and the fades and timers that follow from it.
  void Settle() {
    FApplication->ProcessMessages();
    FDisplay.Advance(2000);
    FApplication->ProcessMessages();
    FDisplay.Pump();
  }
  std::string SkinMessage;

 private:
  THeadlessDisplay FDisplay;
  TApplication* FApplication = nullptr;
  std::function<void(const std::string&)> FPreviousHandler;
  bool FCatching = false;
};

}  // namespace

TExportResult ExportWindowPicture(const TCommandLine& options, std::string& message, std::string& warning) {
  TExportSession session(options.Scale);
  TForm1* form = session.Application()->CreateForm<TForm1>();
  session.CatchSkinMessages();
  if (!options.Skin.empty()) {
    std::string all;
    const std::string name = FindSkinName(form->sSkinManager1, options.Skin, all);
    if (name.empty()) {
      message = "unknown skin '" + options.Skin + "' (skins: " + all + ")";
      return erUsage;
    }
    form->sSkinManager1->SetSkinName(name);
    if (!session.SkinMessage.empty()) {
      message = session.SkinMessage;
      return erFailed;
    }
  }
  form->Show();
  session.Settle();
  // The check boxes first: "Hex view" tells how the load writes the address captions.
  form->sCheckBox2->SetChecked(options.Hex);
  form->sCheckBox1->SetChecked(options.D4Sync);
  try {
    form->LoadRom(options.File);
  } catch (const std::exception& e) {
    message = ExceptionMessageText(e.what());
    return erFailed;
  }
  // The up-down controls move the view only once a ROM is shown.
  if (!form->sGroupBox1->Enabled()) {
    warning = "'" + options.File + "' is empty: the window shows no ROM";
  } else {
    // As a user gets there, click by click: 32 steps at a time with the second arrows, the rest
    // with the first ones. Every click draws, and steps past the lane table keep what the
    // clicks before drew there.
    const int jumped = options.Position / 32 * 32;
    for (int p = 32; p <= jumped; p += 32) {
      form->sUpDown2->SetPosition(p);
      form->sUpDown2Click(form->sUpDown2, btNext);
    }
    for (int p = jumped + 1; p <= options.Position; ++p) {
      form->sUpDown1->SetPosition(p);
      form->sUpDown1Click(form->sUpDown1, btNext);
    }
  }
  session.Settle();
  const TDib pixels = session.Display().WindowShot(form->Handle());
  try {
    WritePictureFile(options.ExportTo, SavePngWithAlpha(WindowPicture(form->Handle(), pixels, options.Scale)));
  } catch (const std::exception& e) {
    message = e.what();
    return erFailed;
  }
  return erWritten;
}
