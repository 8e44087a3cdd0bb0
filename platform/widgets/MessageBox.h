#pragma once
// The toolkit's message box: a modal form with an icon, the message and the buttons that
// the flags ask for (MB_OK, MB_OKCANCEL, MB_YESNO, ... with MB_ICONERROR and the others).
#include <functional>
#include <string>
#include <vector>

#include "platform/widgets/Button.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/Label.h"

// A replacement for the box's look (a skinned dialog): it answers like the box does, or -1
// to leave the message to the box itself.
std::function<int(const std::string& text, const std::string& caption, UINT flags)>& MessageBoxHandler();

class TMessageForm : public TForm {
 public:
  TMessageForm(TComponent* owner, const std::string& text, const std::string& caption, UINT flags);
  std::string ClassName() const override { return "TMessageForm"; }
  const std::string& MessageText() const { return FText; }
  // The buttons, left to right.
  const std::vector<TButton*>& Buttons() const { return FButtons; }
  // Shows the box modally and answers IDOK, IDCANCEL, IDYES, ...
  int Execute();

 protected:
  void PaintWindow(HDC dc) override;

 private:
  std::string FText;
  UINT FFlags;
  TLabel* FLabel = nullptr;
  std::vector<TButton*> FButtons;
  TRect FIconRect;
};
