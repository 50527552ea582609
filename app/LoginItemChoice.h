#pragma once
// The user's own choice of starting at login, made with "Start at login" (in the tray's menu or
// the desktop entry's actions) and kept in the program's settings file: once it is made, no way
// of starting the program overrules it.

#include <optional>

namespace LoginItemChoice {

// Nothing while the user never chose.
std::optional<bool> stored();
// False when it could not be written.
bool store(bool startAtLogin);

} // namespace LoginItemChoice
