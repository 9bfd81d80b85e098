// The help text of "&Aide", held inside the program (Windows-1252, CR LF, tabs).
#pragma once
#include <string>

namespace marivent::app {

const std::string& help_text();

} // namespace marivent::app
