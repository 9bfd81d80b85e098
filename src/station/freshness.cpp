#include "station/freshness.h"

#include <algorithm>

#include "common/number_text.h"

namespace marivent::station {

void Freshness::opened(long long now) {
    open_ = true;
    opened_at_ = now;
    last_fix_.reset();
}

void Freshness::closed() {
    open_ = false;
}

void Freshness::line(bool fix, bool route, bool refreshed, long long now) {
    if (fix) last_fix_ = now;
    if (fix && refreshed) shown_[static_cast<int>(Boxes::position)] = now;
    if (route && refreshed) shown_[static_cast<int>(Boxes::route)] = now;
    if (route) shown_[static_cast<int>(Boxes::xte)] = now;
    shown_[static_cast<int>(Boxes::raw)] = now;
}

bool Freshness::old(Boxes group, long long now) const {
    const std::optional<long long>& shown = shown_[static_cast<int>(group)];
    return shown && (!open_ || now - *shown >= stale_after_ms);
}

std::optional<long long> Freshness::silent_for(long long now) const {
    if (!open_) return std::nullopt;
    const long long quiet = now - last_fix_.value_or(opened_at_);
    return quiet >= stale_after_ms ? std::optional<long long>(quiet) : std::nullopt;
}

std::optional<long long> Freshness::next_change(long long now) const {
    if (!open_) return std::nullopt; // closed: everything is old already, nothing ages
    std::optional<long long> next;
    auto sooner = [&](long long t) { next = next ? std::min(*next, t) : t; };
    for (const std::optional<long long>& shown : shown_)
        if (shown && now - *shown < stale_after_ms) sooner(*shown + stale_after_ms);
    const long long since = last_fix_.value_or(opened_at_);
    const long long quiet = now - since;
    if (quiet < stale_after_ms)
        sooner(since + stale_after_ms);
    else
        sooner(now + silence_step(quiet) - quiet % silence_step(quiet));
    return next;
}

long long silence_step(long long ms) {
    return ms < 60'000 ? 1000 : 60'000;
}

std::string duration_text(long long ms) {
    const long long s = ms / 1000;
    if (s < 60) return integer_text(s) + " s";
    if (s < 3600) return integer_text(s / 60) + " min";
    const long long min = s / 60 % 60;
    return integer_text(s / 3600) + " h " + (min < 10 ? "0" : "") + integer_text(min);
}

std::string silence_text(long long ms) {
    return "GPS muet depuis " + duration_text(ms);
}

std::optional<std::string> entry_refusal(const Freshness& freshness, long long now) {
    if (!freshness.link_open()) return "la liaison avec le GPS est fermée";
    if (const std::optional<long long> quiet = freshness.silent_for(now))
        return "aucune position du GPS depuis " + duration_text(*quiet);
    if (!freshness.position_shown()) return "aucune position reçue du GPS";
    if (freshness.old(Boxes::position, now))
        return "la position affichée date de plus de " + integer_text(stale_after_ms / 1000) + " s";
    return std::nullopt;
}

std::optional<std::string> timed_entry_refusal(const Freshness& freshness, long long now,
                                               bool route_valid, std::string_view hhmm,
                                               std::string_view event) {
    std::optional<std::string> why = entry_refusal(freshness, now);
    if (!why && !route_valid) why = "la route du GPS n'est pas valide";
    if (!why) return std::nullopt;
    const std::string what = event.empty() ? std::string() : " pour le " + std::string(event);
    return "journal : pas d'entrée" + what + " à " + std::string(hhmm) + " (" + *why + ")";
}

std::string asked_entry_refusal(std::string_view why) {
    return "Mauvaise communcation avec le gps : " + std::string(why) + ".";
}

} // namespace marivent::station
