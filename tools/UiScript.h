#pragma once
// Scripts for driving a program on the headless display, one command a line:
//
//   move X Y          pointer to screen point (X, Y)
//   click X Y [right] press and release a button there
//   press [right]     press a button where the pointer is;  release [right] lets it go
//   key NAME          a key: Return, Escape, Tab, Space, Left, Right, Up, Down, Home, End,
//                     PageUp, PageDown, Backspace, Delete, F1..F12, a letter or a digit;
//                     with modifiers as Shift+Tab, Ctrl+A, Alt+F4
//   type TEXT         types the rest of the line
//   open PATH         answers a file dialog: types PATH and presses Return
//   wait MS           lets MS milliseconds pass on the virtual clock
//   shot FILE.png     writes a screenshot of the whole screen
//
// Blank lines and lines starting with '#' are ignored.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"

class EUiScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TUiCommand {
  std::string Verb;
  std::vector<int> Numbers;
  std::string Text;
  std::vector<WPARAM> Modifiers;
  WPARAM Key = 0;
  int Button = 0;
  int Line = 0;
};

// Raises EUiScriptError naming the line of the first bad command.
std::vector<TUiCommand> ParseUiScript(const std::string& text);
// Queues the commands on the display; they run one by one whenever the program waits.
void ScheduleUiScript(THeadlessDisplay& display, const std::vector<TUiCommand>& commands);
