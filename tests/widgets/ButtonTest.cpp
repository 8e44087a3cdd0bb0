#include <cstdio>

#include "platform/components/LayoutReader.h"
#include "platform/graphics/BmpFile.h"
#include "platform/widgets/BitBtn.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/WidgetClasses.h"
#include "tests/widgets/WidgetsTestSupport.h"

namespace {

const COLORREF kFace = GetSysColor(COLOR_BTNFACE), kShadow = GetSysColor(COLOR_BTNSHADOW),
               kLight = GetSysColor(COLOR_BTNHIGHLIGHT), kFrame = GetSysColor(COLOR_WINDOWFRAME);

class ButtonFixture : public WidgetTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    WidgetTest::SetUp();
    Form = new TForm(App);
    Form->SetBounds(50, 50, 320, 200);
  }
  template <class T>
  T* Add(int x, int y, int w, int h, const std::string& caption = "") {
    auto* c = new T(Form);
    c->SetParent(Form);
    c->SetBounds(x, y, w, h);
    if (!caption.empty()) c->SetCaption(caption);
    return c;
  }
  void ShowForm() {
    Form->Show();
    Display.Pump();
  }
  void MoveTo(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    Display.MoveMouse(p.X, p.Y);
  }
  static void Counter(TControl* c, int& count) {
    c->OnClick = [&count](TObject*) { ++count; };
  }
  // First and last column of a row of the control where the pixel has colour `c` (-1 if none).
  std::pair<int, int> ColumnsOf(TControl* control, int y, COLORREF c) {
    std::pair<int, int> r{-1, -1};
    for (int x = 0; x < control->Width(); ++x) {
      if (PixelOf(control, x, y) != c) continue;
      if (r.first < 0) r.first = x;
      r.second = x;
    }
    return r;
  }
};

using Button = ButtonFixture;

TEST_F(Button, ClicksOnlyWhenTheLeftButtonIsReleasedInside) {
  auto* button = Add<TButton>(20, 20, 80, 26, "Go");
  int clicks = 0;
  Counter(button, clicks);
  ShowForm();

  // Pressed, moved off, released outside: the pressed look follows the pointer, no click.
  MoveTo(button, 10, 10);
  Display.Press();
  Display.Pump();
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(PixelOf(button, 1, 1), kShadow);  // flat pressed face inside the black frame
  MoveTo(button, 150, 10);
  Display.Pump();
  EXPECT_FALSE(button->Pressed());
  EXPECT_EQ(PixelOf(button, 1, 1), kLight);
  MoveTo(button, 12, 12);
  Display.Pump();
  EXPECT_TRUE(button->Pressed());
  MoveTo(button, 150, 10);
  Display.Release();
  Display.Pump();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button->Pressed());
  EXPECT_NE(GetCapture(), button->Handle());

  ClickOn(button, 40, 13);
  EXPECT_EQ(clicks, 1);

  // The right button neither presses nor clicks.
  MoveTo(button, 40, 13);
  Display.Press(1);
  Display.Pump();
  EXPECT_FALSE(button->Pressed());
  Display.Release(1);
  Display.Pump();
  EXPECT_EQ(clicks, 1);

  button->SetEnabled(false);
  ClickOn(button, 40, 13);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Button, SpaceClicksOnceWhenReleased) {
  auto* button = Add<TButton>(20, 20, 80, 26, "Go");
  int clicks = 0;
  Counter(button, clicks);
  ShowForm();
  ASSERT_TRUE(button->Focused());
  Display.KeyDown(VK_SPACE);
  Display.KeyDown(VK_SPACE, true);
  Display.KeyDown(VK_SPACE, true);
  Display.Pump();
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(clicks, 0);
  Display.KeyUp(VK_SPACE);
  Display.Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Pressed());
  // Enter on the focused button clicks it once as well.
  Display.Key(VK_RETURN);
  Display.Pump();
  EXPECT_EQ(clicks, 2);
}

TEST_F(Button, EnterGoesToTheFocusedOrDefaultButtonAndEscapeToCancel) {
  auto* edit = Add<TEdit>(10, 10, 100, 21);
  auto* ok = Add<TButton>(10, 50, 75, 25, "OK");
  auto* other = Add<TButton>(90, 50, 75, 25, "Other");
  auto* cancel = Add<TButton>(170, 50, 75, 25, "Cancel");
  ok->SetDefault(true);
  cancel->SetCancel(true);
  int okClicks = 0, otherClicks = 0, cancelClicks = 0;
  Counter(ok, okClicks);
  Counter(other, otherClicks);
  Counter(cancel, cancelClicks);
  ShowForm();
  ASSERT_TRUE(edit->Focused());

  EXPECT_TRUE(ok->Active());
  EXPECT_EQ(PixelOf(ok, 0, 0), kFrame);
  EXPECT_EQ(PixelOf(other, 0, 0), kLight);
  Display.Key(VK_RETURN);
  Display.Pump();
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(edit->Text(), "");
  Display.Key(VK_ESCAPE);
  Display.Pump();
  EXPECT_EQ(cancelClicks, 1);

  // A focused button takes Enter and the black frame from the default button.
  other->SetFocus();
  Display.Pump();
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(other->Active());
  EXPECT_EQ(PixelOf(ok, 0, 0), kLight);
  EXPECT_EQ(PixelOf(other, 0, 0), kFrame);
  Display.Key(VK_RETURN);
  Display.Pump();
  EXPECT_EQ(otherClicks, 1);
  EXPECT_EQ(okClicks, 1);
  Display.Key(VK_ESCAPE);
  Display.Pump();
  EXPECT_EQ(cancelClicks, 2);

  edit->SetFocus();
  Display.Pump();
  EXPECT_TRUE(ok->Active());
  ok->SetDefault(false);
  EXPECT_FALSE(ok->Active());
  Display.Key(VK_RETURN);
  Display.Pump();
  EXPECT_EQ(okClicks, 1);
}

TEST_F(Button, AcceleratorClicks) {
  auto* button = Add<TButton>(10, 10, 80, 26, "&Save");
  auto* edit = Add<TEdit>(10, 50, 80, 21);
  int clicks = 0;
  Counter(button, clicks);
  ShowForm();
  edit->SetFocus();
  Display.Pump();
  Display.KeyDown(VK_MENU);
  Display.Key('S');
  Display.KeyUp(VK_MENU);
  Display.Pump();
  EXPECT_EQ(clicks, 1);
  Display.KeyDown(VK_MENU);
  Display.Key('A');
  Display.KeyUp(VK_MENU);
  Display.Pump();
  EXPECT_EQ(clicks, 1);
}

TEST_F(Button, ModalResultEndsAModalForm) {
  ShowForm();
  auto* dialog = new TForm(App);
  dialog->SetBounds(100, 100, 260, 120);
  auto* edit = new TEdit(dialog);
  edit->SetParent(dialog);
  edit->SetBounds(10, 10, 100, 21);
  auto make = [&](int x, const char* caption, TModalResult result) {
    auto* b = new TButton(dialog);
    b->SetParent(dialog);
    b->SetBounds(x, 50, 70, 25);
    b->SetCaption(caption);
    b->SetModalResult(result);
    return b;
  };
  auto* ok = make(10, "OK", mrOk);
  auto* apply = make(90, "Apply", mrNone);
  auto* cancel = make(170, "Cancel", mrCancel);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  int applied = 0;
  Counter(apply, applied);
  auto click = [&](TControl* c) {
    const TPoint p = c->ClientToScreen({20, 10});
    Display.Click(p.X, p.Y);
  };

  Display.Schedule([&] { click(ok); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(dialog->Visible());

  // A button without a modal result leaves the dialog open.
  Display.Schedule([&] { click(apply); });
  Display.Schedule([&] { click(cancel); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(applied, 1);

  Display.Schedule([&] { edit->SetFocus(); });
  Display.Schedule([&] { Display.Key(VK_RETURN); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  Display.Schedule([&] { Display.Key(VK_ESCAPE); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

// ---- Classic drawing ---------------------------------------------------------------------------

TEST(ClassicLook, EdgesGiveTheFarCornersToTheBottomRightColour) {
  TDib dib(6, 6);
  dib.Fill(RGB(1, 2, 3));
  TDC dc(&dib);
  TRect r{0, 0, 6, 6};
  ASSERT_TRUE(DrawEdge(&dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST));
  const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW), light3d = GetSysColor(COLOR_3DLIGHT);
  EXPECT_EQ(dib.GetPixel(0, 0), kLight);
  EXPECT_EQ(dib.GetPixel(4, 0), kLight);
  EXPECT_EQ(dib.GetPixel(5, 0), dark);
  EXPECT_EQ(dib.GetPixel(0, 5), dark);
  EXPECT_EQ(dib.GetPixel(1, 1), light3d);
  EXPECT_EQ(dib.GetPixel(4, 1), kShadow);
  EXPECT_EQ(dib.GetPixel(2, 2), kFace);
  EXPECT_EQ(r, (TRect{2, 2, 4, 4}));
  // Only the sides asked for are drawn and taken off.
  dib.Fill(RGB(1, 2, 3));
  r = {0, 0, 6, 6};
  DrawEdge(&dc, &r, BDR_SUNKENOUTER, BF_BOTTOM | BF_ADJUST);
  EXPECT_EQ(dib.GetPixel(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(dib.GetPixel(0, 5), kLight);
  EXPECT_EQ(r, (TRect{0, 0, 6, 5}));
}

TEST(ClassicLook, FocusRectangleInvertsEveryOtherPixelAndUndoesItself) {
  TDib dib(7, 5);
  dib.Fill(kFace);
  TDC dc(&dib);
  const TRect r{1, 1, 6, 5};
  DrawFocusRect(&dc, &r);
  const COLORREF inverted = kFace ^ 0xFFFFFF;
  EXPECT_EQ(dib.GetPixel(1, 1), inverted);
  EXPECT_EQ(dib.GetPixel(2, 1), kFace);
  EXPECT_EQ(dib.GetPixel(3, 1), inverted);
  EXPECT_EQ(dib.GetPixel(1, 3), inverted);
  EXPECT_EQ(dib.GetPixel(3, 2), kFace);  // inside
  EXPECT_EQ(dib.GetPixel(0, 0), kFace);  // outside
  DrawFocusRect(&dc, &r);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(dib.GetPixel(x, y), kFace) << x << "," << y;
}

TEST(ClassicLook, AcceleratorIsTheCharacterAfterASingleAmpersand) {
  EXPECT_TRUE(IsAccel('s', "&Save"));
  EXPECT_TRUE(IsAccel('S', "&save"));
  EXPECT_FALSE(IsAccel('a', "&Save"));
  EXPECT_TRUE(IsAccel('c', "Fish && &Chips"));
  EXPECT_FALSE(IsAccel('&', "Fish && Chips"));
  EXPECT_FALSE(IsAccel('x', "Trailing &"));
}

// ---- TBitBtn -----------------------------------------------------------------------------------

const COLORREF kKey = RGB(0, 128, 128);

// A glyph of square images side by side, each the key colour with a coloured square at
// (4, 4)-(12, 12).
std::unique_ptr<TBitmap> MakeGlyph(std::initializer_list<COLORREF> parts) {
  TDib dib(16 * int(parts.size()), 16);
  dib.Fill(kKey);
  int i = 0;
  for (COLORREF c : parts) {
    for (int y = 4; y < 12; ++y)
      for (int x = 4; x < 12; ++x) dib.SetPixel(16 * i + x, y, c);
    ++i;
  }
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromDib(std::move(dib));
  return bitmap;
}


int TextWidth(const std::string& text) {
  TDC probe(nullptr);
  SelectFont(&probe, DefaultGuiFont());
  TSize size;
  GetTextExtentPoint32(&probe, text, &size);
  return size.cx;
}

using BitBtn = ButtonFixture;

TEST_F(BitBtn, GlyphAndCaptionAreCentredTogetherOrPlacedByMargin) {
  auto* button = Add<TBitBtn>(10, 10, 140, 40, "Go on");
  button->SetGlyph(MakeGlyph({clRed}).get());
  ShowForm();
  const int block = 16 + 4 + TextWidth("Go on");
  // The glyph's red square begins 4 pixels into the glyph.
  const int left = ColumnsOf(button, 20, clRed).first - 4;
  const int right = button->Width() - (left + block);
  EXPECT_LE(std::abs(left - right), 1) << "left " << left << " right " << right;
  // The key colour is transparent: the glyph's corner shows the button face.
  EXPECT_EQ(PixelOf(button, left, 20 - 7), kFace);

  button->SetMargin(6);
  Display.Pump();
  EXPECT_EQ(ColumnsOf(button, 20, clRed).first, 6 + 4);
  button->SetLayout(blGlyphRight);
  Display.Pump();
  EXPECT_EQ(ColumnsOf(button, 20, clRed).second, button->Width() - 6 - 4 - 1);
  button->SetLayout(blGlyphTop);
  button->SetMargin(3);
  Display.Pump();
  const int x = button->Width() / 2;
  int top = -1;
  for (int y = 0; y < button->Height() && top < 0; ++y)
    if (PixelOf(button, x, y) == COLORREF(clRed)) top = y;
  EXPECT_EQ(top, 3 + 4);
}

TEST_F(BitBtn, ImagesForDisabledAndDownStates) {
  auto* button = Add<TBitBtn>(10, 10, 60, 30);
  button->SetGlyph(MakeGlyph({clRed, clBlue, clLime}).get());
  EXPECT_EQ(button->NumGlyphs(), 3);  // taken from the picture's proportions
  ShowForm();
  const int cx = button->Width() / 2, cy = button->Height() / 2;
  EXPECT_EQ(PixelOf(button, cx, cy), COLORREF(clRed));
  MoveTo(button, 2, 2);
  Display.Press();
  Display.Pump();
  EXPECT_EQ(PixelOf(button, cx + 1, cy + 1), COLORREF(clLime));
  MoveTo(button, 200, 2);
  Display.Release();
  Display.Pump();
  button->SetEnabled(false);
  Display.Pump();
  EXPECT_EQ(PixelOf(button, cx, cy), COLORREF(clBlue));

  // With a single image the disabled glyph is the up image embossed.
  button->SetNumGlyphs(1);
  Display.Pump();
  EXPECT_EQ(ColumnsOf(button, cy, clRed).first, -1);
  EXPECT_EQ(ColumnsOf(button, cy, clBlue).first, -1);
  EXPECT_NE(ColumnsOf(button, cy, kShadow).first, -1);
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string s;
  char digits[3];
  for (uint8_t b : bytes) {
    std::snprintf(digits, sizeof(digits), "%02X", b);
    s += digits;
  }
  return s;
}

TEST_F(BitBtn, ReadsKindAndGlyphFromALayout) {
  RegisterWidgetClasses();
  const auto glyph = MakeGlyph({clRed, clBlue});
  const std::string layout = "object Form1: TForm\n"
                             "  object BitBtn1: TBitBtn\n"
                             "    Left = 8\n    Top = 8\n    Width = 75\n    Height = 25\n"
                             "    Kind = bkOK\n"
                             "    Glyph.Data = {" + Hex(SaveBmp(glyph->Dib(), 24)) + "}\n"
                             "    Layout = blGlyphRight\n    Margin = 2\n    Spacing = 6\n    NumGlyphs = 1\n"
                             "  end\n"
                             "  object BitBtn2: TBitBtn\n"
                             "    Caption = 'Stop'\n    Kind = bkCancel\n"
                             "  end\n"
                             "end\n";
  ReadLayout(Form, layout);
  auto* first = dynamic_cast<TBitBtn*>(Form->FindComponent("BitBtn1"));
  auto* second = dynamic_cast<TBitBtn*>(Form->FindComponent("BitBtn2"));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->Caption(), "OK");
  EXPECT_EQ(first->ModalResult(), mrOk);
  EXPECT_TRUE(first->Default());
  EXPECT_EQ(first->Glyph()->Width(), 32);
  EXPECT_EQ(first->NumGlyphs(), 1);
  EXPECT_EQ(first->Layout(), blGlyphRight);
  EXPECT_EQ(first->Margin(), 2);
  EXPECT_EQ(first->Spacing(), 6);
  // A stored caption wins over the kind's.
  EXPECT_EQ(second->Caption(), "Stop");
  EXPECT_TRUE(second->Cancel());
  EXPECT_EQ(second->ModalResult(), mrCancel);
}

}  // namespace
