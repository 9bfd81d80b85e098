// The platform services the core reaches through, implemented by the window (Qt, POSIX) and by
// fakes in the tests. Texts of files, fields and display boxes are Windows-1252 bytes; messages
// to the user are UTF-8 (French literals in the source).
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date.h"
#include "result.h"

namespace marivent {

// Short date format and decimal separator of the regional settings.
class RegionalSettings {
  public:
    virtual ~RegionalSettings() = default;
    virtual std::string short_date(const Date& d) const = 0;
    // The date a text stands for in the short date format, or nothing when it is not a date.
    virtual std::optional<Date> parse_short_date(std::string_view text) const = 0;
    virtual char decimal_separator() const = 0;
};

// Message boxes with a title: an OK box, and a Yes/No question (true for Yes).
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual void message(std::string_view text, std::string_view title) = 0;
    // `detail`: a second text under the question (what exactly it is about), or empty.
    virtual bool ask_yes_no(std::string_view text, std::string_view title,
                            std::string_view detail) = 0;
};

// The computer's local date and time.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// Milliseconds from an arbitrary start, never set back: how long ago something happened, whatever
// is done to the computer's clock (the GPS sets it).
class SteadyClock {
  public:
    virtual ~SteadyClock() = default;
    virtual long long milliseconds() const = 0;
};

// Sets the time of day of the computer clock, keeping the date, or says why the system refuses.
class ClockSetter {
  public:
    virtual ~ClockSetter() = default;
    virtual Status set_time_of_day(int hour, int minute, int second) = 0;
};

// The text boxes the core writes and reads: the raw GPS line, the navigation panel and the hidden
// autopilot box. A name the compiler checks, so a box that does not exist cannot be written.
enum class Box { Text2, heur, vi, cap, wcap, wdist, Wpt1, wpt2, vmg, lat, longit, otopil };
inline constexpr Box all_boxes[] = {Box::Text2, Box::heur,  Box::vi,     Box::cap,
                                    Box::wcap,  Box::wdist, Box::Wpt1,   Box::wpt2,
                                    Box::vmg,   Box::lat,   Box::longit, Box::otopil};

// The control's name of a box, as the window's tables name it ("Text2", "vi", ...).
constexpr std::string_view box_name(Box box) {
    switch (box) {
    case Box::Text2:
        return "Text2";
    case Box::heur:
        return "heur";
    case Box::vi:
        return "vi";
    case Box::cap:
        return "cap";
    case Box::wcap:
        return "wcap";
    case Box::wdist:
        return "wdist";
    case Box::Wpt1:
        return "Wpt1";
    case Box::wpt2:
        return "wpt2";
    case Box::vmg:
        return "vmg";
    case Box::lat:
        return "lat";
    case Box::longit:
        return "longit";
    case Box::otopil:
        break;
    }
    return "otopil";
}

// The display boxes of the navigation panel and the raw text boxes.
class Display {
  public:
    virtual ~Display() = default;
    virtual void set_text(Box box, std::string_view text) = 0;
    virtual std::string text(Box box) const = 0;
    // Background colour of the speed box `vi`, as a colour value (red + 256 green + 65536 blue).
    virtual void set_speed_colour(long colour) = 0;
};

// A line of the journal that a later line corrects: shown struck through, `beside` after it
// (Windows-1252).
struct StruckLine {
    long long number = 0; // 1 for the first line
    std::string beside;
};

// Shows a text (Windows-1252, CR LF) in a read-only viewer; the caller goes on at once.
class TextViewer {
  public:
    virtual ~TextViewer() = default;
    virtual void show_text(std::string_view title, std::string_view text) = 0;
    // The journal's bytes with its lines numbered from 1, those of `struck` struck through; the
    // program's own `head` lines before them, not numbered. A viewer that cannot strike or number
    // shows the head, an empty line and the journal as text.
    virtual void show_journal(std::string_view title, std::string_view head,
                              std::string_view journal, const std::vector<StruckLine>& struck) {
        (void)struck;
        show_text(title, head.empty() ? std::string(journal)
                                      : std::string(head) + "\r\n" + std::string(journal));
    }
};

} // namespace marivent
