// The journal read back for other programs: its entries with UTC dates and times, as a GPX 1.1
// track for chart programs and as a CSV table for spreadsheets.
#pragma once
#include <string>
#include <string_view>

#include "journal/journal_read.h"

namespace marivent::journal {

// GPX 1.1, UTF-8: one track named `track_name` (UTF-8) of the lines with a position, in file
// order, each point with its UTC time when known and its speed, course, waypoint, event mark and,
// for a struck line, its corrections in its description.
std::string gpx_track(const JournalRead& journal, std::string_view track_name);

// CSV after RFC 4180, UTF-8, CR LF: a header row, then one row per line with the UTC date
// (yyyy-mm-dd), the UTC time (hh:mm), latitude and longitude in decimal degrees, the speed in
// knots, the course, the waypoint, the line as written, its number, what it is (entry, entry on an
// event, remark, correction of line N, line not recognised) and, for a struck line, its
// corrections; numbers with ".", unknown fields empty. Remarks and corrections are rows of their
// own.
std::string csv_table(const JournalRead& journal);

} // namespace marivent::journal
