#include "journal/journal_events.h"

#include <cmath>

namespace marivent::journal {

double course_difference(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

std::string_view event_words(EntryEvent event) {
    std::string_view mark = event_mark(event); // "(changement de cap)"
    if (mark.size() >= 2) mark = mark.substr(1, mark.size() - 2);
    return mark;
}

EntryEvent JournalEvents::line(const NavSample& s, int angle) {
    EntryEvent event = EntryEvent::none;
    if (s.route_valid && !s.destination.empty()) {
        if (!destination_.empty() && s.destination != destination_) event = EntryEvent::waypoint;
        destination_ = std::string(s.destination);
    }
    if (course_changed(s, angle) && event == EntryEvent::none) event = EntryEvent::course;
    return event;
}

void JournalEvents::link_changed() {
    destination_.clear();
    reference_.reset();
    held_since_.reset();
    last_course_.reset();
}

bool JournalEvents::course_changed(const NavSample& s, int angle) {
    if (angle != angle_) {
        angle_ = angle;
        reference_.reset();
        held_since_.reset();
    }
    if (angle_ <= 0 || !s.route_valid || !s.course || !s.speed || !std::isfinite(*s.course) ||
        !std::isfinite(*s.speed))
        return false;
    // A change must have been heard through: after a silence it starts again.
    if (last_course_ && s.now - *last_course_ > course_gap_ms) held_since_.reset();
    last_course_ = s.now;
    if (*s.speed < course_least_speed) {
        held_since_.reset();
        return false;
    }
    if (!reference_) {
        reference_ = *s.course;
        return false;
    }
    if (course_difference(*s.course, *reference_) <= angle_) {
        held_since_.reset();
        return false;
    }
    if (!held_since_) {
        held_since_ = s.now;
        return false;
    }
    if (s.now - *held_since_ < course_hold_ms) return false;
    reference_ = *s.course;
    held_since_.reset();
    return true;
}

} // namespace marivent::journal
