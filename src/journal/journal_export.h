// The journal read back for other programs: its entries with UTC dates and times, as a GPX 1.1
// track for chart programs and as a CSV table for spreadsheets.
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

namespace marivent::journal {

// The date formats of the journal's date lines, shared with its start-up reading.
using marivent::DateFormat;
using marivent::default_date_formats;

struct ReadOptions {
    double offset_hours = 0;         // local time minus UTC; taken to the minute
    std::vector<DateFormat> formats; // date line formats, tried in order
};

// One line of the journal that is neither the header, nor empty, nor a date line.
struct JournalLine {
    int number = 0;           // 1 for the file's first line
    std::string text;         // the line without its line end, Windows-1252
    bool entry = false;       // in the entry layout; false: edited by hand or damaged, fields empty
    bool remark = false;      // "hh:mm Remarque : ...": the skipper's, with its UTC time
    std::string remark_text;  // the remark's text, Windows-1252
    std::optional<Date> date; // UTC date: needs a time and a date line above
    std::optional<int> minute;                 // UTC time of day in minutes
    std::optional<double> latitude, longitude; // decimal degrees, south and west negative
    std::optional<double> speed;               // knots
    std::optional<long long> course;           // whole degrees
    std::string waypoint;                      // Windows-1252

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

// GPX 1.1, UTF-8: one track named `track_name` (UTF-8) of the lines with a position, in file
// order, each point with its UTC time when known and its speed, course and waypoint in its
// description.
std::string gpx_track(const JournalRead& journal, std::string_view track_name);

// CSV after RFC 4180, UTF-8, CR LF: a header row, then one row per line with the UTC date
// (yyyy-mm-dd), the UTC time (hh:mm), latitude and longitude in decimal degrees, the speed in
// knots, the course, the waypoint and the line as written; numbers with ".", unknown fields empty.
std::string csv_table(const JournalRead& journal);

} // namespace marivent::journal
