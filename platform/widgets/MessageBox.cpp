#include "platform/widgets/MessageBox.h"

#include <algorithm>

#include "platform/graphics/Text.h"

namespace {

struct TButtonSpec {
  const char* Caption;
  int Id;
};

std::vector<TButtonSpec> ButtonsFor(UINT flags) {
  switch (flags & 0x0F) {
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"&Yes", IDYES}, {"&No", IDNO}};
    case MB_RETRYCANCEL: return {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default: return {{"OK", IDOK}};
  }
}

constexpr int kMargin = 12, kIcon = 32, kButtonWidth = 75, kButtonHeight = 23, kButtonGap = 6, kMaxTextWidth = 420;

// Fills a run of rows of a shape given as half-widths per row around a centre line.
void FillSpan(HDC dc, int x0, int x1, int y, COLORREF c) {
  TRect r{x0, y, x1, y + 1};
  FillRect(dc, &r, CreateSolidBrush(c));
}

void DrawMessageIcon(HDC dc, const TRect& r, UINT flags) {
  const UINT icon = flags & 0xF0;
  const int cx = r.Left + 16, cy = r.Top + 16;
  SelectPen(dc, CreatePen(PS_NULL, 1, 0));
  auto disc = [&](COLORREF fill, COLORREF edge) {
    SelectBrush(dc, CreateSolidBrush(edge));
    Ellipse(dc, r.Left + 1, r.Top + 1, r.Left + 32, r.Top + 32);
    SelectBrush(dc, CreateSolidBrush(fill));
    Ellipse(dc, r.Left + 2, r.Top + 2, r.Left + 31, r.Top + 31);
  };
  auto glyph = [&](const char* text, COLORREF color) {
    TLogFont f = DefaultGuiFont();
    f.Name = "DejaVu Sans";
    f.Height = -20;
    f.Style = fsBold;
    SelectFont(dc, f);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    TRect t = r;
    DrawText(dc, text, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  };
  if (icon == MB_ICONERROR) {
    disc(RGB(220, 30, 30), RGB(128, 0, 0));
    SelectPen(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    for (int d = -1; d <= 1; ++d) {
      MoveToEx(dc, cx - 7 + d, cy - 7, nullptr);
      LineTo(dc, cx + 8 + d, cy + 8);
      MoveToEx(dc, cx + 7 + d, cy - 7, nullptr);
      LineTo(dc, cx - 8 + d, cy + 8);
    }
  } else if (icon == MB_ICONWARNING) {
    for (int y = 0; y < 28; ++y) {
      const int half = y / 2 + 1;
      FillSpan(dc, cx - half, cx + half, r.Top + 2 + y, y == 27 ? RGB(0, 0, 0) : RGB(255, 220, 0));
      FillSpan(dc, cx - half, cx - half + 1, r.Top + 2 + y, RGB(0, 0, 0));
      FillSpan(dc, cx + half - 1, cx + half, r.Top + 2 + y, RGB(0, 0, 0));
    }
    glyph("!", RGB(0, 0, 0));
  } else if (icon == MB_ICONINFORMATION) {
    disc(RGB(255, 255, 255), RGB(0, 0, 160));
    glyph("i", RGB(0, 0, 200));
  } else if (icon == MB_ICONQUESTION) {
    disc(RGB(255, 255, 255), RGB(0, 0, 160));
    glyph("?", RGB(0, 0, 200));
  }
}

}  // namespace

TMessageForm::TMessageForm(TComponent* owner, const std::string& text, const std::string& caption, UINT flags)
    : TForm(owner), FText(text), FFlags(flags) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  Position = poMainFormCenter;
  SetCaption(caption);
  KeyPreview = false;
  const bool hasIcon = (flags & 0xF0) != 0;
  const int textLeft = hasIcon ? kMargin + kIcon + kMargin : kMargin;
  FIconRect = Bounds(kMargin, kMargin, kIcon, kIcon);

  // Measure the message with line breaks at the widest width a box allows.
  TDC probe(nullptr);
  SelectFont(&probe, Font()->LogFont());
  TRect measure{0, 0, kMaxTextWidth, 0};
  DrawText(&probe, text.empty() ? " " : text, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  const int textWidth = measure.Width(), textHeight = measure.Height();

  const std::vector<TButtonSpec> specs = ButtonsFor(flags);
  const int buttonsWidth = int(specs.size()) * kButtonWidth + (int(specs.size()) - 1) * kButtonGap;
  const int clientWidth = std::max({textLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin, 160});
  const int bodyHeight = std::max(hasIcon ? kIcon : 0, textHeight);
  const int buttonTop = kMargin + bodyHeight + kMargin + 4;
  const int clientHeight = buttonTop + kButtonHeight + kMargin;

  FLabel = new TLabel(this);
  FLabel->SetParent(this);
  FLabel->SetShowAccelChar(false);
  FLabel->SetWordWrap(true);
  FLabel->SetAutoSize(false);
  FLabel->SetBounds(textLeft, kMargin + std::max(0, (bodyHeight - textHeight) / 2), textWidth, textHeight);
  FLabel->SetCaption(text);

  int x = (clientWidth - buttonsWidth) / 2;
  for (size_t i = 0; i < specs.size(); ++i) {
    auto* b = new TButton(this);
    b->SetParent(this);
    b->SetBounds(x, buttonTop, kButtonWidth, kButtonHeight);
    b->SetCaption(specs[i].Caption);
    b->SetModalResult(specs[i].Id);
    b->SetDefault(i == 0);
    b->SetCancel(specs[i].Id == IDCANCEL || specs.size() == 1);
    FButtons.push_back(b);
    x += kButtonWidth + kButtonGap;
  }
  SetClientSize(clientWidth, clientHeight);
  if (!FButtons.empty()) SetActiveControl(FButtons.front());
}

void TMessageForm::PaintWindow(HDC dc) {
  TForm::PaintWindow(dc);
  DrawMessageIcon(dc, FIconRect, FFlags);
}

int TMessageForm::Execute() {
  const TModalResult r = ShowModal();
  if (r == mrCancel) {
    // Closing the box from its frame answers like its cancel button, or OK when that is all there is.
    const bool hasCancel = std::any_of(FButtons.begin(), FButtons.end(), [](TButton* b) { return b->ModalResult() == IDCANCEL; });
    return hasCancel ? IDCANCEL : FButtons.front()->ModalResult();
  }
  return r;
}

std::function<int(const std::string&, const std::string&, UINT)>& MessageBoxHandler() {
  static std::function<int(const std::string&, const std::string&, UINT)> handler;
  return handler;
}

int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
  if (MessageBoxHandler()) {
    const int answer = MessageBoxHandler()(text, caption, flags);
    if (answer >= 0) return answer;
  }
  auto* box = new TMessageForm(Application, text, caption, flags);
  const int result = box->Execute();
  TComponent::Free(box);
  return result;
}
