#pragma once
// The skin library's message dialog: a modal form framed by a skin provider with the "DIALOG"
// section, a skinned label for the text, an icon drawn by the program for the message type
// and skinned push buttons, laid out like the classic message box from the base units of the
// message font.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/widgets/Forms.h"

class TsSkinProvider;
class TsLabel;
class TsBitBtn;
class TImage;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = std::set<TMsgDlgBtn>;

class TsMessageForm : public TForm {
 public:
  explicit TsMessageForm(TComponent* owner);
  std::string ClassName() const override { return "TsMessageForm"; }

  TsSkinProvider* Provider() const { return FProvider; }
  TsLabel* Message() const { return FMessage; }
  TImage* Icon() const { return FImage; }
  // The buttons in the order they appear, left to right.
  const std::vector<TsBitBtn*>& Buttons() const { return FButtons; }
  TsBitBtn* DefaultButton() const { return FDefault; }
  TsBitBtn* CancelButton() const { return FCancel; }
  std::string MessageText() const;
  int HelpContext = 0;
  std::string HelpFile;

  void WndProc(TMessage& message) override;

 private:
  friend TsMessageForm* CreateSkinMessageDialog(const std::optional<std::string>&, const std::string&, TMsgDlgType,
                                                const TMsgDlgButtons&);
  TsSkinProvider* FProvider = nullptr;
  TsLabel* FMessage = nullptr;
  TImage* FImage = nullptr;
  std::vector<TsBitBtn*> FButtons;
  TsBitBtn* FDefault = nullptr;
  TsBitBtn* FCancel = nullptr;
};

// Builds a dialog laid out for the text, type and buttons; the caller shows and frees it.
// Without a caption the type's own is used ("Warning", "Error", "Information", "Confirm", or
// the application's title for a custom one).
TsMessageForm* CreateSkinMessageDialog(const std::optional<std::string>& caption, const std::string& text,
                                       TMsgDlgType type, const TMsgDlgButtons& buttons);
// Shows a dialog modally at (x, y) where they are not negative (centred on the screen when
// both are), frees it and answers the modal result (mrOk, mrYes, ...).
int SkinMessageDlg(const std::optional<std::string>& caption, const std::string& text, TMsgDlgType type,
                   const TMsgDlgButtons& buttons, int helpContext = 0, int x = -1, int y = -1,
                   const std::string& helpFile = {});
// An error with an OK button, centred.
int ShowSkinMessageText(const std::string& text);

// The icon of a message type at `size` pixels (none for a custom message): a picture drawn by
// the program in the skin's glassy style, on the key colour 0xFF00FF.
TDib MessageIconPicture(TMsgDlgType type, int size);

// Makes the skin library show its messages, and the toolkit's message boxes, with this dialog
// while a skin is active.
void RegisterSkinDialogs();
