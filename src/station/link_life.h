// The life of the link to the GPS as the user is told of it: opened, cut and tried again every
// few seconds (told once), back (told once), stopped by the user; the counts of the last minute;
// the texts of the status line, of the rejection count and of the talker hint. Texts are French
// (UTF-8); the window shows them and owns the timers.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace marivent::station {

// Counts of the last minute, by whole seconds: no list that grows with the rate.
class LastMinute {
  public:
    void add(long long second);
    long total(long long now) const;

  private:
    struct Bucket {
        long long second = -1;
        long count = 0;
    };
    std::array<Bucket, 60> buckets_{};
};

class LinkLife {
  public:
    // Opened by the user: a cut before is forgotten.
    void opened();
    // Closed by the user: no more tries.
    void stopped() {
        cut_ = false;
        cut_said_ = false;
    }
    // The device went away while the link is meant to be open: it is tried again every
    // `retry_ms`. The text to tell the user, the first time of a series of cuts only.
    std::optional<std::string> hung_up(std::string_view why, bool network, std::string_view port,
                                       int retry_ms);
    // A try found the device still away.
    void retry_failed(std::string_view why) { cut_reason_ = why; }
    // A line came: when the link had been cut, the text saying it is back (and a later cut is told
    // again).
    std::optional<std::string> line_came(std::string_view port, std::string_view time);

    bool cut() const { return cut_; }
    const std::string& cut_reason() const { return cut_reason_; }

  private:
    bool cut_ = false;      // cut, and being tried again
    bool cut_said_ = false; // the user has been told of this cut
    std::string cut_reason_;
};

// What the status line says, in the order it says it.
struct StatusFacts {
    bool open = false;
    bool cut = false;
    std::string_view cut_reason;
    int retry_in_s = 0; // seconds to the next try, while cut
    std::string_view port;
    std::optional<long long> silent_ms; // the GPS's silence, once it is said
    long received = 0, rejected = 0;    // lines of the last minute
    std::string_view last_apa;          // local time the last autopilot sentence left, or empty
    std::string_view pilot; // what goes to the pilot when not APA ("APB, magnétique"), or empty
    std::string_view pilot_refused; // why sentences of that set are not sent, or empty
    std::string_view journal;       // why the last timed entry was not written, or empty
    std::string_view seal;          // what the start-up found wrong with the journal's seal
};
std::string status_text(const StatusFacts& facts);

// "Lignes rejetées : 3 (dernière : somme de contrôle fausse) — non envoyées au pilote : 1".
std::string rejection_text(long rejected, std::string_view last_fault, long apa_dropped);

// Fixes of other talkers while none is taken (a receiver of today or a chart program, which the
// option "Tous les émetteurs" would take): told once a run.
class TalkerHint {
  public:
    // A decoded line; true when the hint is to be told now.
    bool line(bool accepted, bool other_talker_fix);
    void link_opened() { taken_ = other_fixes_ = 0; }
    static const char* text();

  private:
    long taken_ = 0, other_fixes_ = 0; // since the link opened
    bool said_ = false;
};

} // namespace marivent::station
