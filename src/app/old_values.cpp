// The values of the window that have grown old: shown in grey italics, the speed box neither
// green nor red while the route is unheard, and the timer that wakes when the next one ages.
#include <QLineEdit>
#include <algorithm>

#include "journ.h"
#include "widget_helpers.h"

namespace marivent::app {

namespace {

// A text box on its background (-1: the usual one); an old value in dark grey italics, which
// stays readable on every background of the window.
QString box_sheet(long background, bool old) {
    if (!old) return background < 0 ? QString() : colour_sheet("QLineEdit", background);
    const QString look = "color: rgb(105, 105, 105); font-style: italic;";
    if (background < 0) return "QLineEdit { " + look + " }";
    return QString("QLineEdit { background-color: rgb(%1, %2, %3); %4 }")
        .arg(background & 0xFF)
        .arg((background >> 8) & 0xFF)
        .arg((background >> 16) & 0xFF)
        .arg(look);
}

// The boxes of each group of values, by the sentence that brings them (station::Boxes).
const std::vector<std::string_view>& group_boxes(station::Boxes group) {
    static const std::vector<std::string_view> position{"vi", "cap", "lat", "longit"};
    static const std::vector<std::string_view> route{"wcap", "wdist", "Wpt1", "wpt2", "vmg"};
    static const std::vector<std::string_view> xte{"heur"};
    static const std::vector<std::string_view> raw{"Text2"};
    switch (group) {
    case station::Boxes::position:
        return position;
    case station::Boxes::route:
        return route;
    case station::Boxes::xte:
        return xte;
    case station::Boxes::raw:
        break;
    }
    return raw;
}

// The background of `vi` while the route data is old: neither the green of a valid route nor
// the red of an invalid one.
constexpr long colour_unknown = 220 + 220 * 256 + 220 * 65536;

} // namespace

void Journ::watch_freshness() {
    // The values shown as old come back at their first line; the timer wakes when the next one
    // can age. It is moved only to an earlier time: with lines coming, it wakes once a few
    // seconds, finds nothing old, and looks again.
    const long long now = steady_ms();
    for (int g = 0; g < station::box_groups; ++g)
        if (marked_old_[g] && !freshness_.old(static_cast<station::Boxes>(g), now)) {
            show_old_values();
            break;
        }
    if (silence_said_ && !freshness_.silent_for(now)) show_status();
    const std::optional<long long> next = freshness_.next_change(now);
    if (!next) {
        freshness_timer_.stop();
        return;
    }
    if (freshness_timer_.isActive() && freshness_due_ <= *next) return;
    freshness_due_ = *next;
    freshness_timer_.start(static_cast<int>(std::max<long long>(0, *next - now)));
}

void Journ::freshness_tick() {
    show_old_values();
    show_status();
    freshness_timer_.stop();
    watch_freshness();
}

void Journ::show_old_values() {
    const long long now = steady_ms();
    bool vi_changed = false;
    for (int g = 0; g < station::box_groups; ++g) {
        const auto group = static_cast<station::Boxes>(g);
        const bool old = freshness_.old(group, now);
        if (old == marked_old_[g]) continue;
        marked_old_[g] = old;
        for (std::string_view name : group_boxes(group)) {
            if (name == "vi") continue; // its colour says more: below
            const BoxView& box = boxes_.find(name)->second;
            box.edit->setStyleSheet(box_sheet(box.background, old));
        }
        vi_changed |= group == station::Boxes::position || group == station::Boxes::route;
    }
    if (vi_changed) {
        shown_speed_colour_ = speed_colour_;
        QWidget* vi = controls_.at("vi");
        if (const QString sheet = vi_sheet(); vi->styleSheet() != sheet) vi->setStyleSheet(sheet);
    }
}

QString Journ::vi_sheet() const {
    // The speed in the look of an old value when the position is old; the route's colour only
    // while the route is current, green never standing for a route no longer heard.
    const bool speed_old = marked_old_[static_cast<int>(station::Boxes::position)];
    const bool route_old = marked_old_[static_cast<int>(station::Boxes::route)];
    long colour = speed_colour_;
    if (route_old && colour == nmea::colour_valid) colour = colour_unknown;
    return box_sheet(colour, speed_old);
}

} // namespace marivent::app
