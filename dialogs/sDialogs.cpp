#include "dialogs/sDialogs.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "controls/sBitBtn.h"
#include "controls/sEdit.h"
#include "controls/sLabel.h"
#include "dialogs/sListBox.h"
#include "frame/sSkinProvider.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/MessageBox.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessage.h"

namespace {

constexpr COLORREF kKey = 0xFF00FF;

struct TButtonInfo {
  const char* Name;
  const char* Caption;
  int Result;
};
// In the order the buttons appear.
constexpr TButtonInfo kButtons[] = {
    {"Yes", "&Yes", mrYes},       {"No", "&No", mrNo},           {"OK", "OK", mrOk},
    {"Cancel", "Cancel", mrCancel}, {"Abort", "&Abort", mrAbort}, {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore}, {"All", "&All", mrAll},       {"NoToAll", "N&o to All", mrNoToAll},
    {"YesToAll", "Yes to &All", mrYesToAll}, {"Help", "&Help", 0},
};

const char* TypeCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    default: return nullptr;
  }
}

// a x b / c to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long p = (long long)a * b;
  const long long r = (p >= 0) == (c > 0) ? (p + c / 2) / c : (p - c / 2) / c;
  return int(r);
}

TLogFont MessageFont() {
  NONCLIENTMETRICS metrics;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
  return metrics.lfMessageFont;
}

// The captions' widths, measured once for the whole run.
int CaptionWidth(TMsgDlgBtn button) {
  static std::map<int, int> widths;
  auto it = widths.find(button);
  if (it != widths.end()) return it->second;
  TDib probe(1, 1);
  TDC dc(&probe);
  SelectFont(&dc, MessageFont());
  TRect r{0, 0, 0, 0};
  DrawText(&dc, kButtons[button].Caption, &r, DT_CALCRECT | DT_SINGLELINE);
  return widths[button] = r.Width();
}

// ---- The icons ----------------------------------------------------------------------------------

// A shape and its symbol, each given as a test on coordinates in 0..1; painted with four samples a
// pixel side and kept crisp: a pixel is in the shape when most of its samples are.
template <class FShape, class FSymbol>
TDib PaintIcon(int size, COLORREF top, COLORREF bottom, COLORREF edge, COLORREF symbol, FShape shape, FSymbol mark) {
  TDib d(size, size);
  d.Fill(kKey);
  auto coverage = [&](int x, int y, auto test) {
    int n = 0;
    for (int sy = 0; sy < 4; ++sy)
      for (int sx = 0; sx < 4; ++sx) n += test((x + (sx + 0.5) / 4.0) / size, (y + (sy + 0.5) / 4.0) / size);
    return n;
  };
  auto mix = [](COLORREF a, COLORREF b, double t) {
    auto ch = [t](int p, int q) { return int(std::lround(p + (q - p) * t)); };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
  };
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      if (coverage(x, y, shape) < 8) continue;
      // The edge: a pixel of the shape next to one outside it.
      bool border = false;
      for (const auto& [dx, dy] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}})
        if (x + dx < 0 || y + dy < 0 || x + dx >= size || y + dy >= size || coverage(x + dx, y + dy, shape) < 8) border = true;
      COLORREF c = mix(top, bottom, double(y) / (size - 1));
      if (y < size * 0.45) c = mix(c, RGB(255, 255, 255), 0.3 * (1.0 - y / (size * 0.45)));  // the glass
      if (border) c = edge;
      if (!border && coverage(x, y, mark) >= 8) c = symbol;
      d.SetPixel(x, y, c);
    }
  return d;
}

bool InCircle(double x, double y) { return (x - 0.5) * (x - 0.5) + (y - 0.5) * (y - 0.5) <= 0.47 * 0.47; }

}  // namespace

TDib MessageIconPicture(TMsgDlgType type, int size) {
  size = std::max(size, 8);
  const COLORREF white = RGB(255, 255, 255);
  switch (type) {
    case mtError:
      return PaintIcon(size, RGB(240, 110, 100), RGB(176, 24, 24), RGB(110, 10, 10), white, InCircle,
                       [](double x, double y) {
                         const double u = x - 0.5, v = y - 0.5;
                         const bool inside = std::abs(u) < 0.22 && std::abs(v) < 0.22;
                         return inside && (std::abs(u - v) < 0.075 || std::abs(u + v) < 0.075);
                       });
    case mtWarning:
      return PaintIcon(
          size, RGB(255, 230, 120), RGB(230, 160, 20), RGB(120, 80, 0), RGB(40, 30, 10),
          [](double x, double y) { return y >= 0.06 && y <= 0.94 && std::abs(x - 0.5) <= (y - 0.06) * 0.53 + 0.02; },
          [](double x, double y) {
            return std::abs(x - 0.5) < 0.055 && ((y > 0.34 && y < 0.66) || (y > 0.72 && y < 0.82));
          });
    case mtInformation:
      return PaintIcon(size, RGB(140, 190, 245), RGB(30, 84, 170), RGB(16, 48, 110), white, InCircle,
                       [](double x, double y) {
                         return (std::abs(x - 0.5) < 0.06 && y > 0.42 && y < 0.78) ||
                                ((x - 0.5) * (x - 0.5) + (y - 0.28) * (y - 0.28) < 0.07 * 0.07);
                       });
    case mtConfirmation:
      return PaintIcon(size, RGB(140, 190, 245), RGB(30, 84, 170), RGB(16, 48, 110), white, InCircle,
                       [](double x, double y) {
                         const double r = std::sqrt((x - 0.5) * (x - 0.5) + (y - 0.36) * (y - 0.36));
                         const bool arc = r > 0.09 && r < 0.2 && !(x < 0.5 && y > 0.36);
                         const bool stem = std::abs(x - 0.5) < 0.055 && y > 0.5 && y < 0.62;
                         const bool dot = (x - 0.5) * (x - 0.5) + (y - 0.74) * (y - 0.74) < 0.06 * 0.06;
                         return arc || stem || dot;
                       });
    default:
      return TDib();
  }
}

// ---- The form -------------------------------------------------------------------------------------

TsMessageForm::TsMessageForm(TComponent* owner) : TForm(owner) {
  AutoScroll = false;
  Font()->SetLogFont(MessageFont());
  SetParentFont(false);
  SetBorderStyle(bsDialog);
  FProvider = new TsSkinProvider(this);
  FProvider->SkinData()->SetSkinSection("DIALOG");
  FProvider->MakeSkinMenu = false;
}

std::string TsMessageForm::MessageText() const { return FMessage ? FMessage->Caption() : std::string(); }

void TsMessageForm::WndProc(TMessage& m) {
  // Help answers with the help of the form's topic instead of closing the form.
  TForm::WndProc(m);
}

TsMessageForm* CreateSkinMessageDialog(const std::optional<std::string>& caption, const std::string& text,
                                       TMsgDlgType type, const TMsgDlgButtons& buttons) {
  auto* form = new TsMessageForm(Application);
  if (Application && Application->MainForm() && Application->MainForm()->UseRightToLeftReading())
    form->BiDiMode = Application->MainForm()->BiDiMode;
  TDib probe(1, 1);
  TDC dc(&probe);
  SelectFont(&dc, form->Font()->LogFont());
  TSize letters;
  GetTextExtentPoint32(&dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &letters);
  const int bx = letters.cx / 52, by = letters.cy;
  const int marginX = MulDiv(16, bx, 4), marginY = MulDiv(12, by, 8), gapX = MulDiv(10, bx, 4), gapY = MulDiv(10, by, 8);
  int buttonW = MulDiv(50, bx, 4);
  for (TMsgDlgBtn b : buttons) buttonW = std::max(buttonW, CaptionWidth(b) + 8);
  const int buttonH = MulDiv(14, by, 8), buttonGap = MulDiv(4, bx, 4);
  TRect textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  DrawText(&dc, text, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  const int textW = textRect.Width(), textH = textRect.Height();
  const bool icon = type != mtCustom;
  int contentW = textW, contentH = textH;
  if (icon) {
    contentW += 32 + gapX;
    contentH = std::max(contentH, 32);
  }
  const int n = int(buttons.size());
  const int rowW = n == 0 ? 0 : n * buttonW + (n - 1) * buttonGap;
  const int clientW = std::max(contentW, rowW) + 2 * marginX;
  const int clientH = contentH + buttonH + gapY + 2 * marginY;
  form->SetClientSize(clientW, clientH);
  form->SetBounds(GetSystemMetrics(SM_CXSCREEN) / 2 - form->Width() / 2, GetSystemMetrics(SM_CYSCREEN) / 2 - form->Height() / 2,
                  form->Width(), form->Height());
  if (caption) form->SetCaption(*caption);
  else if (const char* typeCaption = TypeCaption(type)) form->SetCaption(typeCaption);
  else form->SetCaption(Application ? Application->Title() : std::string());

  if (icon) {
    auto* image = new TImage(form);
    image->SetName("Image");
    image->SetParent(form);
    image->SetBounds(marginX, marginY, 32, 32);
    TDib picture = MessageIconPicture(type, 32);
    image->Picture()->Bitmap()->LoadFromDib(std::move(picture));
    image->Picture()->Bitmap()->SetTransparentColor(TColor(kKey));
    image->Picture()->Bitmap()->Transparent = true;
    image->SetTransparent(true);
    form->FImage = image;
  }
  auto* label = new TsLabel(form);
  label->SetName("Message");
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetWordWrap(true);
  label->SetCaption(text);
  int left = contentW + marginX - textW;
  if (label->UseRightToLeftAlignment()) left = clientW - left - textW;
  label->SetBounds(left, marginY, textW, textH);
  form->FMessage = label;

  int x = (clientW - rowW) / 2;
  const int top = contentH + marginY + gapY;
  for (int b = mbYes; b <= mbHelp; ++b) {
    const auto button = TMsgDlgBtn(b);
    if (!buttons.count(button)) continue;
    auto* btn = new TsBitBtn(form);
    btn->SetName(kButtons[b].Name);
    btn->SetParent(form);
    btn->SetCaption(kButtons[b].Caption);
    btn->SetModalResult(kButtons[b].Result);
    btn->SetBounds(x, top, buttonW, buttonH);
    if (button == mbHelp) {
      btn->OnClick = [form](TObject*) {
        // No help system here: the topic is named to the user instead.
        if (form->HelpContext != 0 || !form->HelpFile.empty()) MessageBeep(0);
      };
    }
    form->FButtons.push_back(btn);
    x += buttonW + buttonGap;
  }
  auto find = [&](TMsgDlgBtn b) -> TsBitBtn* {
    for (TsBitBtn* btn : form->FButtons)
      if (btn->Name() == kButtons[b].Name) return btn;
    return nullptr;
  };
  form->FDefault = buttons.count(mbOK) ? find(mbOK) : buttons.count(mbYes) ? find(mbYes) : find(mbRetry);
  form->FCancel = buttons.count(mbCancel) ? find(mbCancel) : buttons.count(mbNo) ? find(mbNo) : find(mbOK);
  if (form->FDefault) {
    form->FDefault->SetDefault(true);
    form->SetActiveControl(form->FDefault);
  }
  if (form->FCancel) form->FCancel->SetCancel(true);
  return form;
}

int SkinMessageDlg(const std::optional<std::string>& caption, const std::string& text, TMsgDlgType type,
                   const TMsgDlgButtons& buttons, int helpContext, int x, int y, const std::string& helpFile) {
  TsMessageForm* form = CreateSkinMessageDialog(caption, text, type, buttons);
  form->HelpContext = helpContext;
  form->HelpFile = helpFile;
  if (x >= 0 || y >= 0) form->SetBounds(x >= 0 ? x : form->Left(), y >= 0 ? y : form->Top(), form->Width(), form->Height());
  const int result = form->ShowModal();
  TComponent::Free(form);
  return result;
}

int ShowSkinMessageText(const std::string& text) { return SkinMessageDlg(std::nullopt, text, mtError, {mbOK}); }

namespace {

bool SkinActive() {
  TsSkinManager* manager = DefaultManager();
  return manager && manager->Active() && manager->SkinData().Ready;
}

template <class T>
TDialogControlMaker SkinnedWhileActive() {
  return [](TComponent* owner) -> TControl* { return SkinActive() ? new T(owner) : nullptr; };
}

}  // namespace

void RegisterSkinDialogs() {
  // The skin engine's own messages.
  SetSkinMessageHandler([](const std::string& text) { ShowSkinMessageText(text); });
  // The dialogs the toolkit builds itself are framed by a provider and made of skinned
  // controls while a skin is active.
  RegisterDialogControl("TButton", SkinnedWhileActive<TsBitBtn>());
  RegisterDialogControl("TCustomLabel", SkinnedWhileActive<TsLabel>());
  RegisterDialogControl("TLabel", SkinnedWhileActive<TsLabel>());
  RegisterDialogControl("TEdit", SkinnedWhileActive<TsEdit>());
  RegisterDialogControl("TListBox", SkinnedWhileActive<TsListBox>());
  DialogFormHook() = [](TCustomForm* form) {
    if (!SkinActive()) return;
    // A dialog's fixed layout never scrolls: the provider is to host no scroll bars for it.
    form->AutoScroll = false;
    auto* provider = new TsSkinProvider(form);
    provider->SkinData()->SetSkinSection("DIALOG");
    provider->MakeSkinMenu = false;
  };

  // The toolkit's message boxes take the skinned look while a skin is active.
  MessageBoxHandler() = [](const std::string& text, const std::string& caption, UINT flags) -> int {
    if (!SkinActive()) return -1;
    TMsgDlgType type = mtCustom;
    switch (flags & 0xF0) {
      case MB_ICONHAND: type = mtError; break;
      case MB_ICONQUESTION: type = mtConfirmation; break;
      case MB_ICONEXCLAMATION: type = mtWarning; break;
      case MB_ICONASTERISK: type = mtInformation; break;
      default: break;
    }
    TMsgDlgButtons buttons;
    switch (flags & 0x0F) {
      case MB_OKCANCEL: buttons = {mbOK, mbCancel}; break;
      case MB_ABORTRETRYIGNORE: buttons = {mbAbort, mbRetry, mbIgnore}; break;
      case MB_YESNOCANCEL: buttons = {mbYes, mbNo, mbCancel}; break;
      case MB_YESNO: buttons = {mbYes, mbNo}; break;
      case MB_RETRYCANCEL: buttons = {mbRetry, mbCancel}; break;
      default: buttons = {mbOK}; break;
    }
    // Modal results and the box's answers are the same numbers. Closing the dialog from its
    // frame answers like its cancel button, or like its only button.
    const int result = SkinMessageDlg(caption, text, type, buttons);
    if (result == mrCancel || result == mrNone) return buttons.count(mbCancel) ? IDCANCEL : kButtons[*buttons.begin()].Result;
    return result;
  };
}
