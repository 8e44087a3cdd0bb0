#include "skin/data/sSkinMessage.h"

#include "platform/widgets/Forms.h"

namespace {
std::function<void(const std::string&)>& Handler() {
  static std::function<void(const std::string&)> handler;
  return handler;
}
}  // namespace

void ShowSkinMessage(const std::string& text) {
  if (Handler()) {
    Handler()(text);
    return;
  }
  if (Application) Application->MessageBox(text, Application->Title(), MB_OK | MB_ICONERROR);
  else ShowMessageBox(text, "Skin", MB_OK | MB_ICONERROR);
}

std::function<void(const std::string&)> SetSkinMessageHandler(std::function<void(const std::string&)> handler) {
  std::function<void(const std::string&)> previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}
