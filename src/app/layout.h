// The window `journ` as tables: its controls with their twip rectangles and its menus.
#pragma once
#include <span>

namespace marivent::app {

inline constexpr int twips_per_pixel = 15;
inline constexpr int client_width_twips = 9150;
inline constexpr int client_height_twips = 8310;

enum class Kind { Frame, Label, TextBox, Button, OptionButton, CheckBox, FileList, ListBox };

// A colour value as the original system writes it: red + 256 × green + 65536 × blue; -1 for the
// control's usual colour.
inline constexpr long rgb(int r, int g, int b) {
    return r + 256L * g + 65536L * b;
}

struct ControlRow {
    const char* name;
    Kind kind;
    const char* parent; // nullptr: the window itself
    const char* caption;
    int left, top, width, height; // twips, relative to the parent
    bool shown;
    long background = -1;
};

struct MenuRow {
    const char* name;
    const char* caption;
    const char* parent; // nullptr: an entry of the menu bar
    bool enabled = true;
    bool visible = true;
};

std::span<const ControlRow> control_rows();
std::span<const MenuRow> menu_rows();

} // namespace marivent::app
