#include "platform/widgets/ListBox.h"

#include <algorithm>
#include <cctype>
#include <numeric>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/Button.h"

namespace {
// Sorted list boxes order their strings without regard to case.
bool SortsBefore(const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); }
}  // namespace

// ---- TListBoxStrings ---------------------------------------------------------------------------

int TListBoxStrings::Add(const std::string& s) {
  int index = Count();
  if (FOwner->FSorted) index = int(std::upper_bound(FItems.begin(), FItems.end(), s, SortsBefore) - FItems.begin());
  Insert(index, s);
  return index;
}

void TListBoxStrings::Insert(int index, const std::string& s) {
  index = std::clamp(index, 0, Count());
  FItems.insert(FItems.begin() + index, s);
  // The selected string stays selected.
  if (FOwner->FItemIndex >= index) ++FOwner->FItemIndex;
  FOwner->ItemsChanged();
}

void TListBoxStrings::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  FItems.erase(FItems.begin() + index);
  int& selected = FOwner->FItemIndex;
  if (selected == index) selected = -1;
  else if (selected > index) --selected;
  FOwner->ItemsChanged();
}

void TListBoxStrings::Clear() {
  FItems.clear();
  FOwner->FItemIndex = -1;
  FOwner->FTopIndex = 0;
  FOwner->ItemsChanged();
}

void TListBoxStrings::Put(int index, const std::string& s) {
  if (index < 0 || index >= Count()) return;
  FItems[size_t(index)] = s;
  FOwner->ItemsChanged();
}

int TListBoxStrings::IndexOf(const std::string& s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(FItems[size_t(i)], s)) return i;
  return -1;
}

void TListBoxStrings::SetStrings(const std::vector<std::string>& strings) {
  FItems = strings;
  if (FOwner->FSorted) std::stable_sort(FItems.begin(), FItems.end(), SortsBefore);
  FOwner->FItemIndex = -1;
  FOwner->FTopIndex = 0;
  FOwner->ItemsChanged();
}

void TListBoxStrings::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TListBoxStrings*>(source)) {
    if (other != this) SetStrings(other->FItems);
    return;
  }
  TPersistent::Assign(source);
}

const TPropertyTable& TListBoxStrings::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TListBoxStrings> b(t);
    b.Strings("Strings", [](TListBoxStrings& s, const std::vector<std::string>& v) { s.SetStrings(v); });
    return t;
  }();
  return table;
}

// ---- TCustomListBox ----------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomControl(owner), FItems(this) {
  ControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csOpaque;
  FWidth = 121;
  FHeight = 97;
  FColor = clWindow;
  FParentColor = false;
  SetTabStop(true);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::SetBorderStyle(TFormBorderStyle value) {
  if (value != bsNone) value = bsSingle;
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
  if (FItemHeight > 0) return FItemHeight;
  TDC probe(nullptr);
  SelectFont(&probe, Font()->LogFont());
  TSize size;
  GetTextExtentPoint32(&probe, "0", &size);
  return size.cy + 2;
}

void TCustomListBox::SetItemHeight(int value) {
  value = std::max(value, 0);
  if (value == FItemHeight) return;
  FItemHeight = value;
  ItemsChanged();
}

void TCustomListBox::SetSorted(bool value) {
  if (value == FSorted) return;
  FSorted = value;
  if (!value) return;
  std::vector<int> order(FItems.FItems.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return SortsBefore(FItems.FItems[size_t(a)], FItems.FItems[size_t(b)]); });
  std::vector<std::string> sorted;
  int selected = -1;
  for (int i = 0; i < int(order.size()); ++i) {
    sorted.push_back(FItems.FItems[size_t(order[size_t(i)])]);
    if (order[size_t(i)] == FItemIndex) selected = i;
  }
  FItems.FItems = std::move(sorted);
  FItemIndex = selected;
  ItemsChanged();
}

void TCustomListBox::ItemsChanged() {
  if (FItemIndex >= Count()) FItemIndex = -1;
  FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
  Invalidate();
  if (!InState(csDestroying)) ScrollStateChanged();
}

int TCustomListBox::VisibleRows() const { return std::max(1, ClientHeight() / ItemHeight()); }

int TCustomListBox::MaxTopIndex() const { return std::max(0, Count() - VisibleRows()); }

void TCustomListBox::SetTopIndex(int value) {
  value = std::clamp(value, 0, MaxTopIndex());
  if (value == FTopIndex) return;
  FTopIndex = value;
  Invalidate();
  if (!InState(csDestroying)) ScrollStateChanged();
}

void TCustomListBox::MakeVisible(int index) {
  if (index < 0) return;
  if (index < FTopIndex) SetTopIndex(index);
  else if (index >= FTopIndex + VisibleRows()) SetTopIndex(index - VisibleRows() + 1);
}

void TCustomListBox::SetItemIndex(int value) {
  if (value < -1 || value >= Count()) value = -1;
  if (value != FItemIndex) {
    FItemIndex = value;
    Invalidate();
  }
  MakeVisible(value);
}

void TCustomListBox::SelectByUser(int index) {
  const int old = FItemIndex;
  SetItemIndex(index);
  if (FItemIndex != old) Click();
}

bool TCustomListBox::ScrollBarVisible() const { return Count() > VisibleRows(); }

TRect TCustomListBox::ScrollBarRect() const {
  const TRect client = ClientRect();
  return {client.Right - GetSystemMetrics(SM_CXVSCROLL), client.Top, client.Right, client.Bottom};
}

TRect TCustomListBox::ItemRect(int index) const {
  const TRect client = ClientRect();
  const int right = ScrollBarVisible() ? ScrollBarRect().Left : client.Right;
  const int h = ItemHeight();
  return {client.Left, client.Top + (index - FTopIndex) * h, right, client.Top + (index - FTopIndex + 1) * h};
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const {
  if (p.Y < 0) return existing ? -1 : FTopIndex - 1;
  const int index = FTopIndex + p.Y / ItemHeight();
  if (existing && index >= Count()) return -1;
  return index;
}

TRect TCustomListBox::ThumbRect() const {
  const TRect bar = ScrollBarRect();
  const int arrow = std::min(bar.Width(), bar.Height() / 2);
  const int trackTop = bar.Top + arrow, trackLength = bar.Height() - 2 * arrow;
  if (trackLength < 8 || Count() == 0) return {};
  const int thumb = std::max(8, trackLength * VisibleRows() / Count());
  const int maxTop = MaxTopIndex();
  const int top = trackTop + (maxTop ? (trackLength - thumb) * FTopIndex / maxTop : 0);
  return {bar.Left, top, bar.Right, top + thumb};
}

TCustomListBox::TScrollPart TCustomListBox::ScrollPartAt(TPoint p) const {
  const TRect bar = ScrollBarRect();
  if (!ScrollBarVisible() || !DrawsScrollBar() || !bar.Contains(p.X, p.Y)) return spNone;
  const int arrow = std::min(bar.Width(), bar.Height() / 2);
  if (p.Y < bar.Top + arrow) return spUpArrow;
  if (p.Y >= bar.Bottom - arrow) return spDownArrow;
  const TRect thumb = ThumbRect();
  if (thumb.Contains(p.X, p.Y)) return spThumb;
  return p.Y < thumb.Top ? spPageUp : spPageDown;
}

void TCustomListBox::ScrollBarPress(TPoint p) {
  FScrollPart = ScrollPartAt(p);
  switch (FScrollPart) {
    case spUpArrow: SetTopIndex(FTopIndex - 1); break;
    case spDownArrow: SetTopIndex(FTopIndex + 1); break;
    case spPageUp: SetTopIndex(FTopIndex - VisibleRows()); break;
    case spPageDown: SetTopIndex(FTopIndex + VisibleRows()); break;
    case spThumb: FThumbGrab = p.Y - ThumbRect().Top; break;
    case spNone: break;
  }
  Invalidate();
}

bool TCustomListBox::InHostedScrollBar(TPoint p) const {
  return !DrawsScrollBar() && ScrollBarVisible() && ScrollBarRect().Contains(p.X, p.Y);
}

// ---- Painting ----------------------------------------------------------------------------------

void TCustomListBox::PaintBackground(TCanvas* canvas, const TRect& client) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
}

void TCustomListBox::DrawItem(int index, const TRect& rect, bool selected) {
  HDC dc = Canvas()->Handle();
  if (selected) FillRect(dc, &rect, CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                   : Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
  TRect text{rect.Left + 2, rect.Top, rect.Right, rect.Bottom};
  DrawText(dc, FItems[index], &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TCustomListBox::DrawItemFocus(HDC dc, const TRect& rect) { DrawFocusRect(dc, &rect); }

void TCustomListBox::PaintScrollBar(HDC dc) {
  const TRect bar = ScrollBarRect();
  const int arrow = std::min(bar.Width(), bar.Height() / 2);
  const TRect up{bar.Left, bar.Top, bar.Right, bar.Top + arrow};
  const TRect down{bar.Left, bar.Bottom - arrow, bar.Right, bar.Bottom};
  DrawScrollArrow(dc, up, saUp, FScrollPart == spUpArrow, Enabled());
  DrawScrollArrow(dc, down, saDown, FScrollPart == spDownArrow, Enabled());
  DrawScrollTrack(dc, {bar.Left, up.Bottom, bar.Right, down.Top}, false);
  const TRect thumb = ThumbRect();
  if (!thumb.IsEmpty()) DrawScrollThumb(dc, thumb);
}

void TCustomListBox::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  if (!dc) return;
  const TRect client = ClientRect();
  PaintBackground(canvas, client);
  canvas->Font()->Assign(Font());
  canvas->Select();
  for (int i = FTopIndex; i < Count(); ++i) {
    const TRect r = ItemRect(i);
    if (r.Top >= client.Bottom) break;
    DrawItem(i, r, i == FItemIndex);
  }
  if (Focused() && Count() > 0) {
    // Around the selected item, or the first one while none is selected.
    const TRect r = ItemRect(FItemIndex >= 0 ? FItemIndex : 0);
    if (r.Bottom > client.Top && r.Top < client.Bottom) DrawItemFocus(dc, r);
  }
  if (ScrollBarVisible() && DrawsScrollBar()) PaintScrollBar(dc);
}

// ---- Messages ----------------------------------------------------------------------------------

void TCustomListBox::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_KEYDOWN: {
      const int current = FItemIndex;
      const int page = std::max(1, VisibleRows() - 1);
      int next;
      switch (m.WParam) {
        case VK_UP: case VK_LEFT: next = current < 0 ? 0 : current - 1; break;
        case VK_DOWN: case VK_RIGHT: next = current < 0 ? 0 : current + 1; break;
        case VK_HOME: next = 0; break;
        case VK_END: next = Count() - 1; break;
        case VK_PRIOR: next = current - page; break;
        case VK_NEXT: next = current < 0 ? page : current + page; break;
        default: TCustomControl::DefaultHandler(m); return;
      }
      if (Count() > 0) SelectByUser(std::clamp(next, 0, Count() - 1));
      return;
    }
    case WM_CHAR: {
      // A letter selects the next item that starts with it.
      const auto c = static_cast<unsigned char>(m.WParam);
      if (c <= 0x20 || c >= 0x7F || Count() == 0) return;
      for (int step = 1; step <= Count(); ++step) {
        const int i = (std::max(FItemIndex, -1) + step) % Count();
        const std::string& s = FItems[i];
        if (!s.empty() && std::tolower(static_cast<unsigned char>(s[0])) == std::tolower(c)) {
          SelectByUser(i);
          break;
        }
      }
      return;
    }
    default:
      break;
  }
  TCustomControl::DefaultHandler(m);
}

void TCustomListBox::WndProc(TMessage& m) {
  const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TCustomControl::WndProc(m);
      if (InState(csDestroying) || !Enabled() || InHostedScrollBar(p)) return;
      if (ScrollPartAt(p) != spNone) {
        ScrollBarPress(p);
        return;
      }
      FTracking = true;
      FIndexAtPress = FItemIndex;
      const int index = ItemAtPos(p, true);
      if (index >= 0) SetItemIndex(index);
      if (m.Msg == WM_LBUTTONDBLCLK && index >= 0) DblClick();
      return;
    }
    case WM_MOUSEMOVE:
      TCustomControl::WndProc(m);
      if (FScrollPart == spThumb) {
        const TRect bar = ScrollBarRect();
        const int arrow = std::min(bar.Width(), bar.Height() / 2);
        const int room = bar.Height() - 2 * arrow - ThumbRect().Height();
        if (room > 0) SetTopIndex(((p.Y - FThumbGrab - bar.Top - arrow) * MaxTopIndex() + room / 2) / room);
      } else if (FTracking && Count() > 0) {
        // Dragging past the top or bottom edge scrolls the list one item at a time.
        int index = ItemAtPos(p, false);
        if (p.Y >= ClientHeight()) index = FTopIndex + VisibleRows();
        SetItemIndex(std::clamp(index, 0, Count() - 1));
      }
      return;
    case WM_LBUTTONUP: {
      const bool tracking = FTracking;
      FTracking = false;
      if (FScrollPart != spNone) {
        FScrollPart = spNone;
        Invalidate();
      }
      TCustomControl::WndProc(m);
      if (tracking && !InState(csDestroying) && FItemIndex != FIndexAtPress) Click();
      return;
    }
    case WM_CAPTURECHANGED:
      TCustomControl::WndProc(m);
      if (FTracking || FScrollPart != spNone) {
        const bool changed = FTracking && FItemIndex != FIndexAtPress;
        FTracking = false;
        FScrollPart = spNone;
        Invalidate();
        if (changed) Click();
      }
      return;
    case WM_MOUSEWHEEL: {
      // Three rows for each notch; the selection stays where it is.
      FWheelDelta += int(int16_t(HIWORD(m.WParam)));
      const int notches = FWheelDelta / 120;
      FWheelDelta -= notches * 120;
      SetTopIndex(FTopIndex - notches * 3);
      m.Result = 1;
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomControl::WndProc(m);
      Invalidate();
      return;
    case WM_SIZE:
    case CM_FONTCHANGED:
      TCustomControl::WndProc(m);
      ItemsChanged();
      return;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

const TPropertyTable& TCustomListBox::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TWinControl::ClassProperties());
    TPropertyBuilder<TCustomListBox> b(t);
    b.Object("Items", [](TCustomListBox& c) -> TPersistent* { return c.Items(); });
    b.Integer("ItemIndex", [](TCustomListBox& c, int64_t v) { c.SetItemIndex(int(v)); });
    b.Boolean("Sorted", [](TCustomListBox& c, bool v) { c.SetSorted(v); });
    b.Enum<TFormBorderStyle>("BorderStyle", {{"bsNone", bsNone}, {"bsSingle", bsSingle}},
                             [](TCustomListBox& c, TFormBorderStyle v) { c.SetBorderStyle(v); });
    // Stored layouts keep the height of owner-drawn rows; a standard list box takes its rows'
    // height from its font.
    b.Custom("ItemHeight", [](TCustomListBox&, const TLayoutValue& v, TLayoutContext&) { v.AsInteger(); });
    return t;
  }();
  return table;
}
