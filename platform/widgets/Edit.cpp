#include "platform/widgets/Edit.h"

#include <algorithm>
#include <cctype>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/Button.h"
#include "platform/widgets/PropertyRanges.h"

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsWordChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || u == '_' || u >= 0x80;
}

int CountChars(std::string_view s) {
  int n = 0;
  for (char c : s)
    if (!IsContinuation(c)) ++n;
  return n;
}

// The first `count` characters of `s`.
std::string FirstChars(const std::string& s, int count) {
  size_t i = 0;
  for (int n = 0; i < s.size(); ++i) {
    if (!IsContinuation(s[i]) && n++ == count) break;
  }
  return s.substr(0, i);
}

std::string EncodeChar(unsigned char c) {
  if (c < 0x80) return std::string(1, char(c));
  return {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
}

std::string ApplyCase(std::string s, TEditCharCase charCase) {
  if (charCase == ecNormal) return s;
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x80) c = char(charCase == ecUpperCase ? std::toupper(c) : std::tolower(c));
  return s;
}

}  // namespace

TCustomEdit::TCustomEdit(TComponent* owner) : TCustomControl(owner) {
  ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
  FWidth = 121;
  FHeight = 21;
  FColor = clWindow;
  FParentColor = false;
  SetTabStop(true);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::SetMaxLength(int value) { FMaxLength = std::max(value, 0); }

void TCustomEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  Invalidate();
}

void TCustomEdit::SetPasswordChar(char value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  if (value != ecNormal) SetText(ApplyCase(Text(), value));
  Invalidate();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  Invalidate();
}

void TCustomEdit::SetBorderStyle(TFormBorderStyle value) {
  if (value != bsNone) value = bsSingle;
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

// ---- Selection ---------------------------------------------------------------------------------

int TCustomEdit::SelStart() const { return std::min(FAnchor, FCaret); }
int TCustomEdit::SelLength() const { return std::abs(FCaret - FAnchor); }

std::string TCustomEdit::SelText() const { return FText.substr(size_t(SelStart()), size_t(SelLength())); }

void TCustomEdit::SetSelStart(int value) {
  value = std::clamp(value, 0, int(FText.size()));
  while (value > 0 && value < int(FText.size()) && IsContinuation(FText[size_t(value)])) --value;
  FAnchor = FCaret = value;
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  int end = std::clamp(start + value, 0, int(FText.size()));
  while (end > 0 && end < int(FText.size()) && IsContinuation(FText[size_t(end)])) --end;
  FAnchor = start;
  FCaret = end;
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::SelectAll() {
  FAnchor = 0;
  FCaret = int(FText.size());
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::ClearSelection() {
  if (SelLength() > 0) ReplaceSelection("");
}

void TCustomEdit::SetSelText(const std::string& text) {
  const int start = SelStart();
  std::string next = FText;
  next.replace(size_t(start), size_t(SelLength()), text);
  FCaret = FAnchor = start + int(text.size());
  FKeepSelection = true;
  SetText(next);
  FKeepSelection = false;
}

int TCustomEdit::PreviousBoundary(int offset) const {
  if (offset <= 0) return 0;
  --offset;
  while (offset > 0 && IsContinuation(FText[size_t(offset)])) --offset;
  return offset;
}

int TCustomEdit::NextBoundary(int offset) const {
  const int n = int(FText.size());
  if (offset >= n) return n;
  ++offset;
  while (offset < n && IsContinuation(FText[size_t(offset)])) ++offset;
  return offset;
}

int TCustomEdit::WordStart(int offset) const {
  int i = offset;
  while (i > 0 && !IsWordChar(FText[size_t(i - 1)])) i = PreviousBoundary(i);
  while (i > 0 && IsWordChar(FText[size_t(i - 1)])) i = PreviousBoundary(i);
  return i;
}

int TCustomEdit::WordEnd(int offset) const {
  const int n = int(FText.size());
  int i = offset;
  while (i < n && IsWordChar(FText[size_t(i)])) i = NextBoundary(i);
  while (i < n && !IsWordChar(FText[size_t(i)])) i = NextBoundary(i);
  return i;
}

void TCustomEdit::MoveCaret(int offset, bool extend) {
  FCaret = std::clamp(offset, 0, int(FText.size()));
  if (!extend) FAnchor = FCaret;
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::ReplaceSelection(const std::string& typed) {
  if (FReadOnly) return;
  const int start = SelStart(), length = SelLength();
  std::string insert = typed;
  if (FMaxLength > 0) {
    const int room = FMaxLength - (CountChars(FText) - CountChars(std::string_view(FText).substr(size_t(start), size_t(length))));
    if (room < CountChars(insert)) {
      insert = FirstChars(insert, std::max(room, 0));
      if (insert.empty() && length == 0) {
        MessageBeep(0);
        return;
      }
    }
  }
  std::string next = FText;
  next.replace(size_t(start), size_t(length), insert);
  FCaret = FAnchor = start + int(insert.size());
  if (next == FText) {
    ScrollToCaret();
    Invalidate();
    return;
  }
  Modified = true;
  FKeepSelection = true;
  SetText(next);
  FKeepSelection = false;
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

// ---- Geometry ----------------------------------------------------------------------------------

std::string TCustomEdit::DisplayText() const {
  if (!FPasswordChar) return FText;
  return std::string(size_t(CountChars(FText)), FPasswordChar);
}

int TCustomEdit::TextX(int offset) const {
  TDC probe(nullptr);
  SelectFont(&probe, Font()->LogFont());
  const std::string prefix = FText.substr(0, size_t(std::clamp(offset, 0, int(FText.size()))));
  const std::string shown = FPasswordChar ? std::string(size_t(CountChars(prefix)), FPasswordChar) : prefix;
  TSize size;
  GetTextExtentPoint32(&probe, shown, &size);
  return size.cx;
}

int TCustomEdit::OffsetAt(int clientX) const {
  const int x = clientX - TextRect().Left + FScrollX;
  int best = 0, bestDistance = std::abs(x);
  for (int i = NextBoundary(0), last = 0; i != last; last = i, i = NextBoundary(i)) {
    const int distance = std::abs(TextX(i) - x);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

TRect TCustomEdit::TextRect() const {
  const TRect client = ClientRect();
  return {client.Left + 1, client.Top, client.Right - 1, client.Bottom};
}

void TCustomEdit::ScrollToCaret() {
  const int width = TextRect().Width();
  if (width <= 1) {
    FScrollX = 0;
    return;
  }
  const int caret = TextX(FCaret);
  const int total = TextX(int(FText.size()));
  if (caret - FScrollX > width - 1) FScrollX = caret - width + 1;
  if (caret - FScrollX < 0) FScrollX = caret;
  // No empty room at the right while part of the text is scrolled away at the left.
  if (total - FScrollX < width - 1) FScrollX = total - width + 1;
  FScrollX = std::max(FScrollX, 0);
}

// ---- Painting ----------------------------------------------------------------------------------

void TCustomEdit::PaintBackground(TCanvas* canvas, const TRect& client) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
}

COLORREF TCustomEdit::TextColor() const {
  return Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT);
}

void TCustomEdit::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  if (!dc) return;
  const TRect client = ClientRect();
  PaintBackground(canvas, client);
  canvas->Font()->Assign(Font());
  canvas->Select();
  TSize cell;
  GetTextExtentPoint32(dc, "0", &cell);
  const TRect area = TextRect();
  const int x0 = area.Left - FScrollX;
  const int y = client.Top + (client.Height() - cell.cy) / 2;

  const int saved = SaveDC(dc);
  IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, TextColor());
  TextOut(dc, x0, y, DisplayText());
  const bool showSelection = SelLength() > 0 && (Focused() || !FHideSelection);
  if (showSelection) {
    const int from = TextX(SelStart()), to = TextX(SelStart() + SelLength());
    const TRect band{x0 + from, y, x0 + to, y + cell.cy};
    FillRect(dc, &band, CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    const std::string selected = SelText();
    TextOut(dc, x0 + from, y, FPasswordChar ? std::string(size_t(CountChars(selected)), FPasswordChar) : selected);
  }
  if (Focused()) PatBlt(dc, x0 + TextX(FCaret), y, 1, cell.cy, DSTINVERT);
  RestoreDC(dc, saved);
}

// ---- Messages ----------------------------------------------------------------------------------

void TCustomEdit::DoEnter() {
  // A click places the caret itself; the keyboard brings the focus with everything selected.
  if (AutoSelect && !(ControlState & csLButtonDown)) SelectAll();
  TCustomControl::DoEnter();
}

bool TCustomEdit::KeyNavigation(WPARAM key, TShiftState shift) {
  const bool extend = shift & ssShift, word = shift & ssCtrl;
  switch (key) {
    case VK_LEFT: MoveCaret(word ? WordStart(FCaret) : PreviousBoundary(FCaret), extend); break;
    case VK_RIGHT: MoveCaret(word ? WordEnd(FCaret) : NextBoundary(FCaret), extend); break;
    case VK_HOME: MoveCaret(0, extend); break;
    case VK_END: MoveCaret(int(FText.size()), extend); break;
    case VK_DELETE:
      if (FReadOnly) break;
      if (SelLength() == 0) FCaret = word ? WordEnd(FCaret) : NextBoundary(FCaret);
      ReplaceSelection("");
      break;
    default: return false;
  }
  return true;
}

void TCustomEdit::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      // Enter, Escape and Tab stay with the dialog.
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
      return;
    case WM_KEYDOWN:
      if (KeyNavigation(m.WParam, KeyboardState())) return;
      break;
    case WM_CHAR: {
      const auto c = static_cast<unsigned char>(m.WParam);
      if (c == 0x01) {
        SelectAll();
      } else if (c == 0x08) {
        if (FReadOnly) return;
        if (SelLength() == 0) FAnchor = (KeyboardState() & ssCtrl) ? WordStart(FCaret) : PreviousBoundary(FCaret);
        ReplaceSelection("");
      } else if (c >= 0x20 && c != 0x7F) {
        if (FReadOnly) {
          MessageBeep(0);
          return;
        }
        ReplaceSelection(ApplyCase(EncodeChar(c), FCharCase));
      }
      return;
    }
    default:
      break;
  }
  TCustomControl::DefaultHandler(m);
}

void TCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: {
      ControlState |= csLButtonDown;
      TCustomControl::WndProc(m);
      ControlState &= ~csLButtonDown;
      if (InState(csDestroying)) return;
      MoveCaret(OffsetAt(GET_X_LPARAM(m.LParam)), (m.WParam & MK_SHIFT) != 0);
      FSelecting = true;
      return;
    }
    case WM_LBUTTONDBLCLK: {
      ControlState |= csLButtonDown;
      TCustomControl::WndProc(m);
      ControlState &= ~csLButtonDown;
      if (InState(csDestroying) || FText.empty()) return;
      // A double click selects the word (or the run of spaces and signs) it is on.
      int at = OffsetAt(GET_X_LPARAM(m.LParam));
      if (at == int(FText.size())) at = PreviousBoundary(at);
      const bool wordChar = IsWordChar(FText[size_t(at)]);
      int start = at, end = at;
      while (start > 0 && IsWordChar(FText[size_t(PreviousBoundary(start))]) == wordChar) start = PreviousBoundary(start);
      while (end < int(FText.size()) && IsWordChar(FText[size_t(end)]) == wordChar) end = NextBoundary(end);
      FAnchor = start;
      MoveCaret(end, true);
      FSelecting = false;
      return;
    }
    case WM_MOUSEMOVE:
      TCustomControl::WndProc(m);
      if (FSelecting) MoveCaret(OffsetAt(GET_X_LPARAM(m.LParam)), true);
      return;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      FSelecting = false;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomControl::WndProc(m);
      Invalidate();
      return;
    case WM_SIZE:
      TCustomControl::WndProc(m);
      ScrollToCaret();
      return;
    case CM_TEXTCHANGED: {
      if (FCharCase != ecNormal && ApplyCase(FText, FCharCase) != FText) {
        SetText(ApplyCase(FText, FCharCase));  // comes back here once with the converted text
        return;
      }
      // Text set from code puts the caret at the start; typing has placed it already.
      if (!FKeepSelection) FAnchor = FCaret = 0;
      FAnchor = std::min(FAnchor, int(FText.size()));
      FCaret = std::min(FCaret, int(FText.size()));
      FScrollX = FKeepSelection ? FScrollX : 0;
      ScrollToCaret();
      Invalidate();
      if (!InState(csLoading)) Change();
      return;
    }
    case CM_FONTCHANGED:
      TCustomControl::WndProc(m);
      ScrollToCaret();
      return;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

const TPropertyTable& TCustomEdit::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TWinControl::ClassProperties());
    TPropertyBuilder<TCustomEdit> b(t);
    b.Integer("MaxLength", [](TCustomEdit& c, int64_t v) { c.SetMaxLength(int(v)); });
    b.Boolean("ReadOnly", [](TCustomEdit& c, bool v) { c.SetReadOnly(v); });
    b.Boolean("AutoSelect", [](TCustomEdit& c, bool v) { c.AutoSelect = v; });
    b.Boolean("HideSelection", [](TCustomEdit& c, bool v) { c.SetHideSelection(v); });
    b.Custom("PasswordChar", [](TCustomEdit& c, const TLayoutValue& v, TLayoutContext& ctx) {
      // Stored as a one-character string or as a character code (#42).
      if (v.Kind == TLayoutValue::lvInteger) return c.SetPasswordChar(char(v.AsInteger("PasswordChar", kByteRange)));
      const std::string& s = v.AsString();
      if (s.size() > 1) ctx.Fail(v.Line, "PasswordChar takes one character, not '" + s + "'");
      c.SetPasswordChar(s.empty() ? '\0' : s[0]);
    });
    b.Enum<TEditCharCase>("CharCase", {{"ecNormal", ecNormal}, {"ecUpperCase", ecUpperCase}, {"ecLowerCase", ecLowerCase}},
                          [](TCustomEdit& c, TEditCharCase v) { c.SetCharCase(v); });
    b.Enum<TFormBorderStyle>("BorderStyle", {{"bsNone", bsNone}, {"bsSingle", bsSingle}},
                             [](TCustomEdit& c, TFormBorderStyle v) { c.SetBorderStyle(v); });
    b.Event<TNotifyEvent>("OnChange", [](TCustomEdit& c, TNotifyEvent e) { c.OnChange = std::move(e); });
    return t;
  }();
  return table;
}
