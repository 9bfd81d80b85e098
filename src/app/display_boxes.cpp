// The window's text boxes as the core writes them: each holds its text at once, and its widget
// catches up once a frame of the screen, with the colour of the speed box.
#include <QLineEdit>

#include "journ.h"
#include "qt_seams.h"
#include "widget_helpers.h"

namespace marivent::app {

void Journ::set_text(Box box, std::string_view text) {
    BoxView& b = view(box);
    if (b.text == text) return; // shown already, or at the next frame
    b.text.assign(text);
    if (!b.stale) {
        b.stale = true;
        stale_.push_back(&b);
    }
    request_frame();
}

std::string Journ::text(Box box) const {
    return view(box).text;
}

void Journ::set_speed_colour(long colour) {
    speed_colour_ = colour;
    if (colour != shown_speed_colour_) request_frame();
}

void Journ::request_frame() {
    if (!display_frame.isActive()) display_frame.start();
}

void Journ::show_frame() {
    // What changed since the last frame, each box once with the last text it was given.
    for (BoxView* b : stale_) {
        if (!b->stale) continue;
        b->stale = false;
        b->edit->setText(shown_text(b->text));
        b->edit->setCursorPosition(0);
    }
    stale_.clear();
    if (speed_colour_ != shown_speed_colour_) {
        shown_speed_colour_ = speed_colour_;
        const QString sheet = vi_sheet();
        QWidget* vi = controls_.at("vi");
        if (vi->styleSheet() != sheet)
            vi->setStyleSheet(sheet); // restyling costs: only on a change
    }
}

} // namespace marivent::app
