// The journal read back line by line, for its exports and its printed pages.
//
// A journal line is the header, an empty line, a date line (the computer's local date, in the
// regional short date format, written when the local day changes at an entry) or an entry line
// "hh:mm Nddmm.mmm Wdddmm.mmm  speed course  waypoint " whose time is the GPS's UTC time. An
// entry's UTC date is the date line above it, moved a day when its local time (UTC time plus the
// offset) falls on another day than its UTC time. A remark line "hh:mm Remarque : text" (or
// "hh:mm Remarque (heure de l'ordinateur) : text") is dated the same way. Lines in none of these
// layouts were edited by hand or damaged: they are kept with their text only.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"
#include "common/date_format.h"
#include "common/result.h"
#include "journal/journal_file.h"

namespace marivent::journal {

// The date formats of the journal's date lines, shared with its start-up reading.
using marivent::DateFormat;
using marivent::default_date_formats;

struct ReadOptions {
    double offset_hours = 0;         // local time minus UTC; taken to the minute
    std::vector<DateFormat> formats; // date line formats, tried in order
};

// One line of the journal that is neither the header, nor empty, nor a date line.
// A correction of a line, found further down the journal: the line stays as written and is shown
// struck through, with its corrections beside it.
struct LineCorrection {
    int number = 0;   // the correction's own line
    std::string text; // Windows-1252
};

struct JournalLine {
    int number = 0;     // 1 for the file's first line
    std::string text;   // the line without its line end, Windows-1252
    bool entry = false; // in the entry layout; false: edited by hand or damaged, fields empty
    EntryEvent event = EntryEvent::none; // an entry's mark "(changement de waypoint)", ...
    bool remark = false;                 // "hh:mm Remarque : ...": the skipper's, with its UTC time
    bool correction = false;     // "hh:mm Correction de la ligne N : ...", with its UTC time
    int corrects = 0;            // a correction's line N
    std::string remark_text;     // the remark's or the correction's text, Windows-1252
    bool computer_clock = false; // a remark's or correction's time is the computer's, not the GPS's
    std::vector<LineCorrection> corrections;   // of this line, in file order: shown struck through
    std::optional<Date> date;                  // UTC date: needs a time and a date line above
    std::optional<int> minute;                 // UTC time of day in minutes
    std::optional<double> latitude, longitude; // decimal degrees, south and west negative
    std::optional<double> speed;               // knots
    std::optional<long long> course;           // whole degrees
    std::string waypoint;                      // Windows-1252

    bool struck() const { return !corrections.empty(); }
    bool has_position() const { return latitude.has_value(); }
};

// A date line that looks like one (digits and separators) but reads in none of the formats.
struct BadDate {
    int number = 0;
    std::string text; // Windows-1252
};

struct JournalRead {
    std::vector<JournalLine> lines; // in file order
    std::vector<BadDate> bad_dates;
    bool header = false;
    int date_lines = 0;

    // Entry lines without a position (written before the GPS was valid), lines not in the entry
    // layout, and entries with a position but no date or time.
    int entries_without_position() const;
    std::vector<int> unreadable_lines() const;
    int positions_without_time() const;
    int points() const; // lines with a position: the track's points
    // Neither the header, nor a date line, nor any entry: not a journal of this program.
    bool looks_like_journal() const;
};

// Reads a journal's bytes: CR LF or LF line ends, the last line with or without one; a CR alone
// stays in its line (LoneCr::kept of common/lines.h).
JournalRead read_journal(std::string_view bytes, const ReadOptions& options);

// The journal's line `number` (1 for its first line, as the viewer numbers them) may be
// corrected: it exists, holds text and is neither the header nor a date line (the entries below a
// wrong date are what gets corrected). Refused in French otherwise. `journal_bytes` is the
// journal as it is on the disk, read with the date formats of `options`.
Status correctable_line(std::string_view journal_bytes, long long number,
                        const ReadOptions& options);

} // namespace marivent::journal
