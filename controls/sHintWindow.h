#pragma once
// The application's hints in the skin: the "HINT" section's background and border, its font
// colours, and the window's outline cut by the transparent corners of the section's border
// mask. Without an active skin (or without the section) the hint keeps the plain look.
#include "platform/widgets/HintWindow.h"

class TsSkinManager;

class TsHintWindow : public THintWindow {
 public:
  explicit TsHintWindow(TComponent* owner) : THintWindow(owner) {}
  std::string ClassName() const override { return "TsHintWindow"; }
  TRect CalcHintRect(int maxWidth, const std::string& text) override;

 protected:
  void Paint() override;
  void Resized() override;

 private:
  // The manager whose skin paints the hint, and the section's index; nullptr when none does.
  static TsSkinManager* SkinFor(int& section);
  // The room the border mask takes on each side (0 without one).
  static TRect MaskBorders(TsSkinManager* manager, int section);
};

// Makes the application's hints skinned ones (called once by the frame library's registration).
void RegisterSkinnedHints();
