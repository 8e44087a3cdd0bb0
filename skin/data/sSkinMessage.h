#pragma once
// How the skin engine tells the user something (a skin that cannot be loaded, for example).
#include <functional>
#include <string>

// Shows `text` to the user: through the handler set with SetSkinMessageHandler, or, while
// none is set, in the application's message box with the error icon.
void ShowSkinMessage(const std::string& text);
// Replaces the way skin messages are shown; an empty function restores the message box.
// Returns the handler that was set before.
std::function<void(const std::string&)> SetSkinMessageHandler(std::function<void(const std::string&)> handler);
