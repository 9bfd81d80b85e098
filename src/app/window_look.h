// The window's style and font, set once on the application by the program and by its tests.
#pragma once

namespace marivent::app {

// Fusion, and a sans-serif of Arial's widths at 11 pixels: the original's captions, drawn in an
// 8-point system font at 96 dpi, fit their boxes at these widths. Call after the QApplication is
// made. Liberation Sans comes with the program (load_window_font); should it fail to load, an
// installed family of the list, else the font database's substitute, is used.
void set_window_look();

// Adds the program's own Liberation Sans faces (regular and italic) to the application's fonts;
// false if one cannot be read.
bool load_window_font();

// How many times a text box's frame was copied back from its last drawing instead of drawn again
// (the style of set_window_look), and whether it may be: the tests compare with Fusion's own.
extern long frames_copied;
extern bool copy_frames_back;

} // namespace marivent::app
