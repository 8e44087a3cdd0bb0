#include "tools/UiScript.h"

#include <cctype>
#include <sstream>

#include "platform/graphics/PngFile.h"

namespace {

[[noreturn]] void Fail(int line, const std::string& message) {
  throw EUiScriptError("line " + std::to_string(line) + ": " + message);
}

bool SameWord(const std::string& a, const char* b) {
  std::string x = a, y = b;
  for (char& c : x) c = char(std::tolower(static_cast<unsigned char>(c)));
  for (char& c : y) c = char(std::tolower(static_cast<unsigned char>(c)));
  return x == y;
}

bool KeyByName(const std::string& name, WPARAM& vk) {
  static const std::pair<const char*, WPARAM> names[] = {
      {"Return", VK_RETURN}, {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Esc", VK_ESCAPE}, {"Tab", VK_TAB},
      {"Space", VK_SPACE}, {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP}, {"Down", VK_DOWN},
      {"Home", VK_HOME}, {"End", VK_END}, {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT}, {"Backspace", VK_BACK},
      {"Delete", VK_DELETE}, {"Insert", VK_INSERT}, {"Alt", VK_LMENU}, {"F10", VK_F10}};
  for (const auto& [n, v] : names)
    if (SameWord(name, n)) {
      vk = v;
      return true;
    }
  if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
    const int n = std::atoi(name.c_str() + 1);
    if (n >= 1 && n <= 12 && name.find_first_not_of("0123456789", 1) == std::string::npos) {
      vk = WPARAM(VK_F1 + n - 1);
      return true;
    }
  }
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    vk = WPARAM(std::toupper(static_cast<unsigned char>(name[0])));
    return true;
  }
  return false;
}

int Number(const std::string& word, int line) {
  if (word.empty() || word.find_first_not_of("-0123456789") != std::string::npos || word.size() > 9)
    Fail(line, "'" + word + "' is not a number");
  return std::atoi(word.c_str());
}

}  // namespace

std::vector<TUiCommand> ParseUiScript(const std::string& text) {
  std::vector<TUiCommand> out;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    size_t start = raw.find_first_not_of(" \t");
    if (start == std::string::npos || raw[start] == '#') continue;
    std::istringstream words(raw.substr(start));
    TUiCommand c;
    c.Line = lineNo;
    words >> c.Verb;
    std::string rest;
    std::getline(words, rest);
    const size_t restStart = rest.find_first_not_of(" \t");
    rest = restStart == std::string::npos ? "" : rest.substr(restStart);
    std::istringstream args(rest);
    std::vector<std::string> list;
    for (std::string w; args >> w;) list.push_back(w);
    auto buttonOf = [&](const std::string& w) {
      if (SameWord(w, "left")) return 0;
      if (SameWord(w, "right")) return 1;
      if (SameWord(w, "middle")) return 2;
      Fail(lineNo, "unknown button '" + w + "'");
    };
    if (SameWord(c.Verb, "move") || SameWord(c.Verb, "click")) {
      const bool click = SameWord(c.Verb, "click");
      if (list.size() < 2 || list.size() > (click ? 3u : 2u)) Fail(lineNo, c.Verb + " needs X and Y");
      c.Numbers = {Number(list[0], lineNo), Number(list[1], lineNo)};
      if (list.size() == 3) c.Button = buttonOf(list[2]);
    } else if (SameWord(c.Verb, "press") || SameWord(c.Verb, "release")) {
      if (list.size() > 1) Fail(lineNo, c.Verb + " takes at most a button");
      if (list.size() == 1) c.Button = buttonOf(list[0]);
    } else if (SameWord(c.Verb, "key")) {
      if (list.size() != 1) Fail(lineNo, "key needs one key name");
      std::string name = list[0];
      for (size_t plus; (plus = name.find('+')) != std::string::npos && plus + 1 < name.size();) {
        const std::string mod = name.substr(0, plus);
        if (SameWord(mod, "Shift")) c.Modifiers.push_back(VK_LSHIFT);
        else if (SameWord(mod, "Ctrl")) c.Modifiers.push_back(VK_LCONTROL);
        else if (SameWord(mod, "Alt")) c.Modifiers.push_back(VK_LMENU);
        else Fail(lineNo, "unknown modifier '" + mod + "'");
        name = name.substr(plus + 1);
      }
      if (!KeyByName(name, c.Key)) Fail(lineNo, "unknown key '" + name + "'");
    } else if (SameWord(c.Verb, "type") || SameWord(c.Verb, "open")) {
      if (rest.empty()) Fail(lineNo, c.Verb + " needs text");
      c.Text = rest;
    } else if (SameWord(c.Verb, "wait")) {
      if (list.size() != 1) Fail(lineNo, "wait needs milliseconds");
      c.Numbers = {Number(list[0], lineNo)};
      if (c.Numbers[0] < 0) Fail(lineNo, "wait needs a positive time");
    } else if (SameWord(c.Verb, "shot")) {
      if (list.size() != 1) Fail(lineNo, "shot needs a file name");
      c.Text = list[0];
    } else {
      Fail(lineNo, "unknown command '" + c.Verb + "'");
    }
    out.push_back(std::move(c));
  }
  return out;
}

void ScheduleUiScript(THeadlessDisplay& display, const std::vector<TUiCommand>& commands) {
  for (const TUiCommand& c : commands) {
    THeadlessDisplay* d = &display;
    if (SameWord(c.Verb, "move")) {
      display.Schedule([d, c] { d->MoveMouse(c.Numbers[0], c.Numbers[1]); });
    } else if (SameWord(c.Verb, "click")) {
      display.Schedule([d, c] { d->Click(c.Numbers[0], c.Numbers[1], c.Button); });
    } else if (SameWord(c.Verb, "press")) {
      display.Schedule([d, c] { d->Press(c.Button); });
    } else if (SameWord(c.Verb, "release")) {
      display.Schedule([d, c] { d->Release(c.Button); });
    } else if (SameWord(c.Verb, "key")) {
      display.Schedule([d, c] {
        for (WPARAM m : c.Modifiers) d->KeyDown(m);
        d->Key(c.Key);
        for (auto it = c.Modifiers.rbegin(); it != c.Modifiers.rend(); ++it) d->KeyUp(*it);
      });
    } else if (SameWord(c.Verb, "type")) {
      display.Schedule([d, c] { d->TypeText(c.Text); });
    } else if (SameWord(c.Verb, "open")) {
      display.Schedule([d, c] { d->TypeText(c.Text); });
      display.Schedule([d] { d->Key(VK_RETURN); });
    } else if (SameWord(c.Verb, "wait")) {
      display.ScheduleWait(uint64_t(c.Numbers[0]));
    } else if (SameWord(c.Verb, "shot")) {
      display.Schedule([d, c] { SavePngFile(d->Screenshot(), c.Text); });
    }
  }
}
