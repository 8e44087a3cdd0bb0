#include "viewer/Maruk_rom.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "platform/components/LayoutReader.h"
#include "viewer/ProgramIcon.h"
#include "viewer/Readout.h"
#include "viewer/ViewerAssets.h"

TViewerState& ViewerState() {
  static TViewerState state;
  return state;
}

namespace {
constexpr TColor kRed = 0x0000FF, kBlack = 0x000000, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
// Posted to the window to load the file named at start.
constexpr UINT WM_LOADSTARTFILE = WM_APP + 1;
// Posted by the watch of the shown file once a change of it has settled.
constexpr UINT WM_ROMCHANGED = WM_APP + 2;
// An assembler or an editor writes in several steps; the file is read once they are over.
constexpr uint32_t kRomSettleMs = 200;
}

const std::string& Form1Layout() {
  static const std::string text = [] {
    const std::vector<uint8_t> bytes = ViewerAsset("Maruk_rom.layout");
    return std::string(bytes.begin(), bytes.end());
  }();
  return text;
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  RegisterViewerClasses();
  TLayoutContext context;
  context.ResolveFile = [](const std::string& name) { return ViewerAsset(name); };
  ReadStoredLayout(Form1Layout(), std::move(context));
  FindComponents();
  // The picture answers the pointer with the readout of the step and lane under it.
  Image1->ShowHint = true;
  Image1->ParentShowHint = false;
  TWndMethod pictureProc = Image1->WindowProc;
  Image1->WindowProc = [this, pictureProc](TMessage& m) {
    if (m.Msg == CM_HINTSHOW) ShowReadout(*reinterpret_cast<THintInfo*>(m.LParam));
    else pictureProc(m);
  };
  // The program's own picture in the title bar.
  Icon()->SetFromBitmap(ProgramIconPicture(GetSystemMetrics(SM_CXSMICON)), 0xFF00FF);
}

void TForm1::GetMethods(std::map<std::string, std::any>& methods) {
  // Components are looked up here too: the reader asks for methods before it reads.
  methods["sBitBtn1Click"] = TNotifyEvent([this](TObject* s) { sBitBtn1Click(s); });
  methods["FormActivate"] = TNotifyEvent([this](TObject* s) { FormActivate(s); });
  methods["sUpDown1Click"] = TUDClickEvent([this](TObject* s, TUDBtnType b) { sUpDown1Click(s, b); });
  methods["sUpDown2Click"] = TUDClickEvent([this](TObject* s, TUDBtnType b) { sUpDown2Click(s, b); });
  methods["sCheckBox1Click"] = TNotifyEvent([this](TObject* s) { sCheckBox1Click(s); });
}

void TForm1::FindComponents() {
  auto find = [this](auto*& field, const char* name) {
    field = dynamic_cast<std::remove_reference_t<decltype(field)>>(FindComponent(name));
  };
  find(OpenDialog1, "OpenDialog1");
  find(sBitBtn1, "sBitBtn1");
  find(sBitBtn2, "sBitBtn2");
  find(sGroupBox1, "sGroupBox1");
  find(sSkinManager1, "sSkinManager1");
  find(sSkinProvider1, "sSkinProvider1");
  find(Image1, "Image1");
  find(sCheckBox1, "sCheckBox1");
  find(sUpDown1, "sUpDown1");
  find(sUpDown2, "sUpDown2");
  TsLabel** labels[] = {&sLabel1, &sLabel2, &sLabel3, &sLabel4, &sLabel5, &sLabel6,
                        &sLabel7, &sLabel8, &sLabel9, &sLabel10, &sLabel11};
  for (int i = 0; i < 11; ++i) find(*labels[i], ("sLabel" + std::to_string(i + 1)).c_str());
  find(sCheckBox2, "sCheckBox2");
}

void TForm1::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  params.ExStyle |= WS_EX_ACCEPTFILES;
}

void TForm1::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_DROPFILES:
      HandleDrop(message.WParam);
      return;
    case WM_LOADSTARTFILE: {
      const std::string path = std::move(FStartFile);
      FStartFile.clear();
      if (!path.empty()) LoadRom(path);
      return;
    }
    case WM_ROMCHANGED:
      if (message.WParam == FRomWatch) ReloadShownRom();
      return;
    default:
      TForm::WndProc(message);
  }
}

// A drop of several files opens the first one.
void TForm1::HandleDrop(WPARAM drop) {
  const std::string path = DragQueryFile(drop, 0);
  DragFinish(drop);
  if (!path.empty()) LoadRom(path);
}

void TForm1::LoadRomWhenShown(const std::string& path) {
  FStartFile = path;
  PostMessage(Handle(), WM_LOADSTARTFILE, 0, 0);
}

// ---- Handlers ----------------------------------------------------------------------------------

void TForm1::FormActivate(TObject*) {
  // The grid belongs to the window's first activation. Later ones (back from the Open dialog,
  // a message box or another program) would paint it over the waveforms.
  if (FGridDrawn) return;
  FGridDrawn = true;
  if (!Image1) FindComponents();
  DrawGrid();
}

void TForm1::sBitBtn1Click(TObject*) {
  if (!Image1) FindComponents();
  if (!OpenDialog1->Execute()) return;
  LoadRom(OpenDialog1->FileName);
}

void TForm1::LoadRom(const std::string& path) {
  if (!Image1) FindComponents();
  TViewerState& st = ViewerState();
  // A handle that an earlier failed load left open goes first.
  if (st.File.IsOpen()) st.File.Close();
  if (const int r = st.File.Open(path)) throw EInOutError(r);
  uint64_t size = 0;
  if (const int r = st.File.Size(size)) throw EInOutError(r);
  st.RomSize = uint32_t(std::min<uint64_t>(size, UINT32_MAX));
  if (size == 0) {
    MessageBeep(0);
    st.File.Close();
    return;
  }
  // Past the limit only the part the lanes show is read.
  const size_t wanted = size_t(size <= kWholeRomLimit ? size : uint64_t(kLaneRows - 1));
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(wanted);
  } catch (const std::bad_alloc&) {
    throw EInOutError(8);
  }
  if (const int r = st.File.Read(bytes.data(), wanted)) throw EInOutError(r);
  st.RomImage = std::move(bytes);
  if (const int r = st.File.Close()) throw EInOutError(r);
  SplitIntoLanes(st.RomImage.data(), st.RomImage.size(), st.LaneTable);
  UpdateAddressCaptions();
  DrawWaveforms();
  sGroupBox1->SetEnabled(true);
  if (path != FShownRom) WatchShownRom(path);
  if (Application) Application->UpdateHint();
}

void TForm1::ShowReadout(THintInfo& info) {
  const TReadoutCell cell = ReadoutCellAt(info.CursorPos, {Image1->Width(), Image1->Height()});
  TsLabel* captions[kLanes] = {sLabel1, sLabel2, sLabel3, sLabel4, sLabel5, sLabel6, sLabel7, sLabel8};
  info.HintStr = ReadoutText(ViewerState(), int(sUpDown1->Position()) + cell.Step, cell.Lane, sCheckBox2->Checked(),
                             captions[cell.Lane]->Caption());
  info.CursorRect = cell.Rect;
}

void TForm1::WatchShownRom(const std::string& path) {
  if (FRomWatch) StopWatchingChanges(FRomWatch);
  FShownRom = path;
  FReloadFailureShown = false;
  FRomWatch = WatchFileChanges(Handle(), WM_ROMCHANGED, path, kRomSettleMs);
}

// The shown file changed: read it as "Open ROM" would. A file that is gone (deleted, or between
// a program's delete and create) keeps the picture without a word until it comes back; a file
// that cannot be read says so once, not again until it could be read in between.
void TForm1::ReloadShownRom() {
  try {
    LoadRom(FShownRom);
    FReloadFailureShown = false;
  } catch (const EInOutError& e) {
    if (e.ErrorCode() == 2 || FReloadFailureShown) return;
    FReloadFailureShown = true;
    if (Application) Application->HandleException(this);
  }
}

void TForm1::UpdateAddressCaptions() {
  const int p = int16_t(sUpDown1->Position());
  const bool hex = sCheckBox2->Checked();
  auto text = [hex](int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, hex ? "%04X" : "%d", v);
    return std::string(buf);
  };
  sLabel9->SetCaption(text(p));
  sLabel10->SetCaption(text(p + 32));
  sLabel11->SetCaption(text(p + 64));
}

void TForm1::sUpDown1Click(TObject*, TUDBtnType) {
  DrawGrid();
  UpdateAddressCaptions();
  DrawWaveforms();
}

void TForm1::sUpDown2Click(TObject*, TUDBtnType) {
  DrawGrid();
  const int q = int16_t(sUpDown2->Position());
  if (q >= 0 && q <= 2048) sUpDown1->SetPosition(q);
  UpdateAddressCaptions();
  DrawWaveforms();
}

void TForm1::sCheckBox1Click(TObject*) {
  if (sCheckBox1->Checked()) {
    sLabel1->SetCaption("D0 Hsync");
    sLabel5->SetCaption("D4 Vsync");
  } else {
    sLabel1->SetCaption("D0 SYNC");
    sLabel5->SetCaption("D4");
  }
}

// ---- Drawing -----------------------------------------------------------------------------------

void TForm1::DrawGrid() {
  TCanvas* c = Image1->Canvas();
  TPen* pen = c->Pen();
  pen->SetColor(kRed);
  for (int a = 0; a <= 8; ++a) {
    c->MoveTo(0, 16 * a);
    c->LineTo(512, 16 * a);
  }
  for (int a = 0; a <= 64; ++a) {
    pen->SetColor(a == 0 || a == 32 || a == 64 ? kRed : kBlack);
    c->MoveTo(8 * a, 0);
    c->LineTo(8 * a, 128);
  }
  pen->SetColor(kBlack);
}

void TForm1::DrawWaveforms() {
  const TViewerState& st = ViewerState();
  TCanvas* c = Image1->Canvas();
  TPen* pen = c->Pen();
  auto line = [c](int x1, int y1, int x2, int y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  const int p = sUpDown1->Position();
  pen->SetColor(kBlue);
  int x = 0;
  for (int a = p; a <= p + 64; ++a) {
    for (int k = 0; k < kLanes; ++k) {
      const int y = 16 * k;
      // Steps past the table's last row show low levels without edges.
      const bool inTable = a >= 0 && a < kLaneRows;
      const bool set = inTable && st.LaneTable[size_t(a)][size_t(k)] != 0;
      const int high = set ? 2 : 14, highInner = set ? 3 : 13;
      const int low = set ? 14 : 2, lowInner = set ? 13 : 3;
      pen->SetColor(kBlue);
      line(x, y + high, x + 8, y + high);
      line(x, y + highInner, x + 8, y + highInner);
      pen->SetColor(kWhite);
      line(x, y + low, x + 8, y + low);
      line(x, y + lowInner, x + 8, y + lowInner);
      if (inTable && a > 0) {
        const bool before = st.LaneTable[size_t(a - 1)][size_t(k)] != 0;
        if (before != set) {
          pen->SetColor(kBlue);
          line(x, y, x, y + 16);
          line(x + 1, y, x + 1, y + 16);
        } else {
          pen->SetColor(kBlack);
          line(x, y, x, y + 16);
          pen->SetColor(kWhite);
          line(x + 1, y, x + 1, y + 16);
        }
      }
    }
    x += 8;
  }
}
