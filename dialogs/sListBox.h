#pragma once
// The skinned list box: the toolkit's list whose sunken edge and background come from the
// skin's "EDIT" section (as the skinned edit's do), whose items take the section's font
// colour, and whose selected item has the skin's look of a chosen item (a hot menu item).
// While skinned its vertical scroll bar is a skinned bar of its own. Without an active skin it
// is the plain list box with its built-in bar.
#include "controls/sEditFace.h"
#include "frame/sScrollBar.h"
#include "platform/widgets/ListBox.h"
#include "skin/render/sCommonData.h"

class TsListBox : public TListBox {
 public:
  explicit TsListBox(TComponent* owner);
  std::string ClassName() const override { return "TsListBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TsCommonData* SkinData() { return &FSkinData; }
  // The face as last composed: the whole window, edge included.
  const TDib* Face() const { return FSkinData.Cache(); }
  // The skinned bar (nullptr until the list first needs it while skinned).
  TsScrollBar* ScrollBar() const { return FBar; }

  void WndProc(TMessage& message) override;
  void Loaded() override;

 protected:
  void PaintBackground(TCanvas* canvas, const TRect& client) override;
  void DrawItem(int index, const TRect& rect, bool selected) override;
  // The dotted focus frame, only when the section asks for one.
  void DrawItemFocus(HDC dc, const TRect& rect) override;
  void CreateParams(TCreateParams& params) override;
  bool DrawsScrollBar() const override;
  void ScrollStateChanged() override;

 private:
  // Paints the selection band under an item's text; answers the text colour and the
  // contour colours (left, top, right, bottom; -1 none) the text takes on it.
  COLORREF PaintSelection(HDC dc, const TRect& rect, TColor contours[4]);
  TsCommonData FSkinData;
  TsEditFace FFace;
  TsScrollBar* FBar = nullptr;
  bool FUpdatingBar = false;
};

void RegisterTsListBoxClass();
