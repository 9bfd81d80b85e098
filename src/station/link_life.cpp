#include "station/link_life.h"

#include "common/number_text.h"
#include "station/freshness.h"

namespace marivent::station {

void LastMinute::add(long long second) {
    auto& b = buckets_[static_cast<std::size_t>(second % 60)];
    if (b.second != second) b = {second, 0};
    ++b.count;
}

long LastMinute::total(long long now) const {
    long sum = 0;
    for (const auto& b : buckets_)
        if (b.second > now - 60 && b.second <= now) sum += b.count;
    return sum;
}

void LinkLife::opened() {
    cut_ = false;
    cut_said_ = false;
}

namespace {

// Seconds as the user reads them: 5, 0.2.
std::string seconds_text(int ms) {
    return ms % 1000 == 0 ? integer_text(ms / 1000) : general_text(ms / 1000.0, 6);
}

} // namespace

std::optional<std::string> LinkLife::hung_up(std::string_view why, bool network,
                                             std::string_view port, int retry_ms) {
    cut_reason_ = why;
    cut_ = true;
    if (cut_said_) return std::nullopt;
    cut_said_ = true;
    std::string text =
        "La liaison avec le GPS (" + std::string(port) + ") est coupée : " + cut_reason_ + ".\n";
    if (network)
        text += "Le programme réessaie toutes les " + seconds_text(retry_ms) +
                " secondes ; Gps > Fin de Communication pour arrêter.";
    else
        text += "Rebranchez le récepteur : le programme le rouvre dès qu'il revient (essai toutes "
                "les " +
                seconds_text(retry_ms) + " secondes) ; Gps > Fin de Communication pour arrêter.";
    return text;
}

std::optional<std::string> LinkLife::line_came(std::string_view port, std::string_view time) {
    if (!cut_) return std::nullopt;
    opened();
    return "Liaison avec le GPS rétablie à " + std::string(time) + " (" + std::string(port) + ").";
}

std::string status_text(const StatusFacts& f) {
    std::string text;
    if (f.cut && !f.open)
        text = "Liaison coupée (" + std::string(f.cut_reason) + ") : nouvelle tentative dans " +
               integer_text(f.retry_in_s) + " s";
    else if (f.cut)
        text = "Nouvelle tentative : connexion à " + std::string(f.port) + "…";
    else if (f.open)
        text = "Liaison ouverte : " + std::string(f.port);
    else
        text = "Liaison fermée";
    // Said first after the link, where a line cut to the window's width still shows it.
    if (f.silent_ms) text += "  |  " + silence_text(*f.silent_ms);
    if (f.open || f.cut) {
        text += "  |  dernière minute : " + integer_text(f.received) + " lignes reçues, " +
                integer_text(f.rejected) + " rejetées";
        if (f.pilot.empty())
            text += f.last_apa.empty() ? std::string("  |  rien envoyé au pilote")
                                       : "  |  au pilote à " + std::string(f.last_apa);
        else
            text += "  |  au pilote : " + std::string(f.pilot) +
                    (f.last_apa.empty() ? std::string(", rien envoyé")
                                        : " à " + std::string(f.last_apa));
        if (!f.pilot_refused.empty()) text += " — " + std::string(f.pilot_refused);
    }
    if (!f.journal.empty()) text += "  |  " + std::string(f.journal);
    if (!f.seal.empty()) text += "  |  Sceau : " + std::string(f.seal);
    return text;
}

std::string rejection_text(long rejected, std::string_view last_fault, long apa_dropped) {
    std::string text;
    if (rejected > 0)
        text = "Lignes rejetées : " + integer_text(rejected) +
               " (dernière : " + std::string(last_fault) + ")";
    if (apa_dropped > 0) {
        if (!text.empty()) text += " — ";
        text += "non envoyées au pilote : " + integer_text(apa_dropped);
    }
    return text;
}

bool TalkerHint::line(bool accepted, bool other_talker_fix) {
    if (accepted) ++taken_;
    if (other_talker_fix) ++other_fixes_;
    if (said_ || taken_ > 0 || other_fixes_ < 3) return false;
    said_ = true;
    return true;
}

const char* TalkerHint::text() {
    return "Le GPS envoie ses positions ou sa route (GGA, RMC, RMB) sous un autre émetteur que GP, "
           "par exemple GN pour un récepteur GNSS récent, EC ou II pour un programme de navigation "
           "ou un multiplexeur : elles sont ignorées. Pour les prendre, cochez « Tous les "
           "émetteurs » dans Outils > Préférences.";
}

} // namespace marivent::station
