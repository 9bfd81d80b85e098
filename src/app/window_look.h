// The window's style and font, set once on the application by the program and by its tests.
#pragma once

namespace marivent::app {

// Fusion, and a sans-serif of Arial's widths at 11 pixels: the original's captions, drawn in an
// 8-point system font at 96 dpi, fit their boxes at these widths. Call after the QApplication is
// made. When no such family is installed, the font database's substitute is used.
void set_window_look();

} // namespace marivent::app
