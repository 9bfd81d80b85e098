// The frames and lists that take the place below the navigation panel: the preferences `prefer`,
// the transfer panel `Frame1`, the file list `File1`, the capture list `File2` and the remark's
// line `remarquef`. One is shown
// at a time (the transfer panel with its list), never drawn over another.
#pragma once
#include <initializer_list>

namespace marivent::app {

class WindowSide;

// Puts away the ones shown that are not named, the preferences as Escape does (nothing applied)
// and a list with its line on the status line; then shows the named ones, each over the one
// before.
void show_panels(WindowSide& w, std::initializer_list<const char*> shown);

} // namespace marivent::app
