#pragma once
// Single-line text input: a caret, selection with the mouse and the keyboard, and a text
// that scrolls sideways to keep the caret in view.
#include <string>

#include "platform/widgets/ClassicLook.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/Forms.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The editing behaviour and classic drawing of a one-line edit; TEdit publishes it.
class TCustomEdit : public TCustomControl {
 public:
  explicit TCustomEdit(TComponent* owner);
  std::string ClassName() const override { return "TCustomEdit"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // The most characters typing may give the text (0: no limit). Text set from code is kept
  // whole.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // Shows this character in place of each character of the text ('\0': the text itself).
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  // Selects the whole text when the focus arrives from the keyboard.
  bool AutoSelect = true;
  // Hides the selection while the control does not have the focus.
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  // bsSingle: the sunken client edge; bsNone: none.
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  // Set when the user changes the text.
  bool Modified = false;

  // Selection in bytes of the UTF-8 text; the caret is at the end the user moved last.
  int SelStart() const;
  int SelLength() const;
  void SetSelStart(int value);
  void SetSelLength(int value);
  std::string SelText() const;
  // Replaces the selection (inserts at the caret when nothing is selected).
  void SetSelText(const std::string& text);
  int CaretPos() const { return FCaret; }
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(""); }

  TNotifyEvent OnChange;

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  // Fills the client area under the text (with Color).
  virtual void PaintBackground(TCanvas* canvas, const TRect& client);
  // The colour of the text outside the selection.
  virtual COLORREF TextColor() const;
  void DoEnter() override;
  virtual void Change();
  // The characters shown (the password character in place of each one when set).
  std::string DisplayText() const;
  // Pixel position of a byte offset of the text in the text's own coordinates, and the
  // nearest character boundary to a client x coordinate.
  int TextX(int offset) const;
  int OffsetAt(int clientX) const;
  // The area the text is drawn in (client coordinates).
  TRect TextRect() const;
  // Moves the caret, extending the selection from the anchor or collapsing it.
  void MoveCaret(int offset, bool extend);
  // Replaces the selection by the user's `text` (limited by MaxLength) and raises OnChange.
  void ReplaceSelection(const std::string& text);
  void ScrollToCaret();
  int PreviousBoundary(int offset) const;
  int NextBoundary(int offset) const;
  int WordStart(int offset) const;
  int WordEnd(int offset) const;
  // Caret keys and Delete; false for other keys.
  bool KeyNavigation(WPARAM key, TShiftState shift);
  int FMaxLength = 0;
  bool FReadOnly = false;
  char FPasswordChar = '\0';
  TEditCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  TFormBorderStyle FBorderStyle = bsSingle;
  int FAnchor = 0;
  int FCaret = 0;
  int FScrollX = 0;
  bool FSelecting = false;
  bool FKeepSelection = false;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
  std::string ClassName() const override { return "TEdit"; }
};
