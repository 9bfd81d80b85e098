#include "journal/journal_read.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/lines.h"
#include "common/number_text.h"
#include "common/text.h"
#include "journal/journal_file.h"

namespace marivent::journal {

namespace {

constexpr int minutes_per_day = 24 * 60;

// Cuts the text up to the next space off the front of `rest`, and that space.
bool cut_field(std::string_view& rest, std::string_view& field) {
    const std::size_t space = rest.find(' ');
    if (space == std::string_view::npos) return false;
    field = rest.substr(0, space);
    rest.remove_prefix(space + 1);
    return true;
}

bool cut_space(std::string_view& rest) {
    if (rest.empty() || rest.front() != ' ') return false;
    rest.remove_prefix(1);
    return true;
}

// "hh:mm" as minutes of the day.
std::optional<int> read_time(std::string_view t) {
    if (t.size() != 5 || t[2] != ':' || !is_digit(t[0]) || !is_digit(t[1]) || !is_digit(t[3]) ||
        !is_digit(t[4]))
        return std::nullopt;
    const int hour = (t[0] - '0') * 10 + (t[1] - '0');
    const int minute = (t[3] - '0') * 10 + (t[4] - '0');
    if (hour > 23 || minute > 59) return std::nullopt;
    return hour * 60 + minute;
}

// An unsigned decimal number "123" or "123.45" (or with the separator `comma_too` allows).
std::optional<double> read_decimal(std::string_view s, bool comma_too) {
    std::string text(s);
    std::size_t point = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (is_digit(text[i])) continue;
        if ((text[i] == '.' || (comma_too && text[i] == ',')) && point == std::string::npos) {
            point = i;
            text[i] = '.';
            continue;
        }
        return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    if (text == ".") return 0.0; // a speed of 0 as the display writes it
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A hemisphere letter and "ddmm.mmm" (latitude) or "dddmm.mmm" (longitude), any number of
// decimals, as decimal degrees. Degrees and minutes are read apart, so no digit is lost.
std::optional<double> read_coordinate(std::string_view s, char plus, char minus, double limit) {
    if (s.size() < 2 || (s[0] != plus && s[0] != minus)) return std::nullopt;
    const std::string_view number = s.substr(1);
    const std::size_t point = number.find('.');
    const std::size_t whole = point == std::string_view::npos ? number.size() : point;
    if (whole < 3) return std::nullopt; // at least one digit of degrees and two of minutes
    for (std::size_t i = 0; i < whole; ++i)
        if (!is_digit(number[i])) return std::nullopt;
    const std::optional<double> degrees = read_decimal(number.substr(0, whole - 2), false);
    const std::optional<double> minutes = read_decimal(number.substr(whole - 2), false);
    if (!degrees || !minutes || *minutes >= 60) return std::nullopt;
    const double result = *degrees + *minutes / 60;
    if (result > limit) return std::nullopt;
    return s[0] == minus ? -result : result;
}

// A whole number of degrees, as the display writes the course.
std::optional<long long> read_course(std::string_view s) {
    long long value = 0;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (first == last) return std::nullopt;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

bool is_empty_position(std::string_view s, char plus, char minus) {
    return s.empty() || (s.size() == 1 && (s[0] == plus || s[0] == minus));
}

// A whole number of one to nine digits, nothing else.
std::optional<long long> read_count(std::string_view s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    long long n = 0;
    for (const char c : s) {
        if (!is_digit(c)) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

// "hh:mm Remarque : text" or "hh:mm Correction de la ligne N : text", the time UTC (of the GPS,
// or of the computer when marked "(heure de l'ordinateur)").
bool read_remark(std::string_view text, JournalLine& line) {
    if (text.size() < 6 || text[5] != ' ') return false;
    const std::optional<int> minute = read_time(text.substr(0, 5));
    if (!minute) return false;
    std::string_view rest = text.substr(6);
    constexpr std::string_view computer = "(heure de l'ordinateur) ";
    constexpr std::string_view remark = "Remarque ";
    constexpr std::string_view correction = "Correction de la ligne ";
    if (rest.substr(0, remark.size()) == remark) {
        rest.remove_prefix(remark.size());
        line.remark = true;
    } else if (rest.substr(0, correction.size()) == correction) {
        rest.remove_prefix(correction.size());
        const std::size_t space = rest.find(' ');
        const std::optional<long long> number = read_count(rest.substr(0, space));
        if (space == std::string_view::npos || !number || *number == 0) return false;
        rest.remove_prefix(space + 1);
        line.correction = true;
        line.corrects = static_cast<int>(*number);
    } else {
        return false;
    }
    if (rest.substr(0, computer.size()) == computer) {
        rest.remove_prefix(computer.size());
        line.computer_clock = true;
    }
    if (rest.substr(0, 2) != ": ") return false;
    line.minute = minute;
    line.remark_text = std::string(rest.substr(2));
    return true;
}

// An entry line "hh:mm Nddmm.mmm Wdddmm.mmm  speed course  waypoint " (the last space may have
// gone in an editor). Fields are read left to right: only the waypoint may hold spaces. Returns
// false when the line is not in this layout or a field that is there does not read.
bool read_entry(std::string_view text, JournalLine& line) {
    std::string_view rest = text;
    std::string_view time, lat, lon, speed, course;
    if (!cut_field(rest, time) || !cut_field(rest, lat) || !cut_field(rest, lon) ||
        !cut_space(rest) || !cut_field(rest, speed) || !cut_field(rest, course) || !cut_space(rest))
        return false;
    // An entry on an event: the timed entry's text, a space and its mark.
    for (const EntryEvent event : {EntryEvent::waypoint, EntryEvent::course}) {
        const std::string mark = "  " + std::string(event_mark(event));
        if (rest.size() >= mark.size() && rest.substr(rest.size() - mark.size()) == mark) {
            line.event = event;
            rest.remove_suffix(mark.size());
            break;
        }
    }
    if (line.event == EntryEvent::none && !rest.empty() && rest.back() == ' ')
        rest.remove_suffix(1);

    // Before the GPS sends a time the entry starts ":"; the position stays empty until a fix.
    if (time != ":") {
        line.minute = read_time(time);
        if (!line.minute) return false;
    }
    const bool no_lat = is_empty_position(lat, 'N', 'S');
    const bool no_lon = is_empty_position(lon, 'E', 'W');
    if (!no_lat || !no_lon) {
        line.latitude = read_coordinate(lat, 'N', 'S', 90);
        line.longitude = read_coordinate(lon, 'E', 'W', 180);
        if (!line.latitude || !line.longitude) return false;
    }
    if (!speed.empty()) {
        // The display's "###.#": "5,2", "12,", ",5", "," for 0 (the regional separator).
        const bool negative = speed.front() == '-';
        line.speed = read_decimal(speed.substr(negative ? 1 : 0), true);
        if (!line.speed) return false;
        if (negative && *line.speed != 0) *line.speed = -*line.speed;
    }
    if (!course.empty()) {
        line.course = read_course(course);
        if (!line.course) return false;
    }
    line.waypoint = std::string(rest);
    return true;
}

// Three numbers between separators of the date formats ("2026/12/08", "12/25/2026"), or one of six
// digits or more ("20261208"): a date line, whether it reads or not. Other lines of digits (a
// telephone number, "12.5") are notes.
bool looks_like_date(std::string_view s, const std::vector<DateFormat>& formats) {
    int groups = 0, digits = 0;
    bool in_group = false;
    for (const char c : s) {
        if (is_digit(c)) {
            if (!in_group) ++groups;
            in_group = true;
            ++digits;
            continue;
        }
        in_group = false;
        bool separator = false;
        for (const auto& f : formats)
            separator = separator || f.is_separator(c);
        if (!separator) return false;
    }
    return groups == 3 || (groups == 1 && digits >= 6);
}

} // namespace

int JournalRead::entries_without_position() const {
    int n = 0;
    for (const auto& l : lines)
        n += l.entry && !l.has_position();
    return n;
}

std::vector<int> JournalRead::unreadable_lines() const {
    std::vector<int> numbers;
    for (const auto& l : lines)
        if (!l.entry && !l.remark && !l.correction) numbers.push_back(l.number);
    return numbers;
}

int JournalRead::positions_without_time() const {
    int n = 0;
    for (const auto& l : lines)
        n += l.has_position() && !(l.date && l.minute);
    return n;
}

int JournalRead::points() const {
    int n = 0;
    for (const auto& l : lines)
        n += l.has_position();
    return n;
}

bool JournalRead::looks_like_journal() const {
    if (header || date_lines > 0 || !bad_dates.empty()) return true;
    for (const auto& l : lines)
        if (l.entry || l.remark || l.correction) return true;
    return false;
}

JournalRead read_journal(std::string_view bytes, const ReadOptions& options) {
    JournalRead out;
    // 64 bits: a long has 32 on Windows, too few for an offset of years given by mistake.
    const long long offset =
        std::isfinite(options.offset_hours) ? std::llround(options.offset_hours * 60) : 0;
    std::optional<Date> local_date; // the latest date line's
    int number = 0;
    LineCursor cursor(bytes, LoneCr::kept);
    for (std::string_view text; cursor.next(text);) {
        ++number;

        const std::string_view bare = trimmed(text);
        if (bare.empty()) continue;
        if (bare == header_line) {
            out.header = true;
            continue;
        }
        JournalLine line;
        bool read = read_entry(text, line);
        if (!read) {
            line = JournalLine{}; // nothing an entry's reading left
            read = read_remark(text, line);
        }
        if (read) {
            line.number = number;
            line.text = std::string(text);
            line.entry = !line.remark && !line.correction;
            if (line.minute && local_date) {
                // The local time of day, UTC time plus the offset, may lie on the day before or
                // after the UTC time's: the date line is the local day, so the UTC date is the
                // other way.
                const long long local = *line.minute + offset;
                const long long shift = local >= 0
                                            ? local / minutes_per_day
                                            : -((minutes_per_day - 1 - local) / minutes_per_day);
                line.date = add_days(*local_date, static_cast<int>(-shift));
            }
            out.lines.push_back(std::move(line));
            continue;
        }
        if (const std::optional<Date> date = read_date(bare, options.formats)) {
            local_date = date;
            ++out.date_lines;
            continue;
        }
        if (looks_like_date(bare, options.formats)) {
            // Not a day to date the entries below by: they stay without a date until the next.
            out.bad_dates.push_back({number, std::string(bare)});
            local_date.reset();
            continue;
        }
        JournalLine unread;
        unread.number = number;
        unread.text = std::string(text);
        out.lines.push_back(std::move(unread));
    }
    // Each correction beside the line it names, when that line is above it and one of these.
    for (const JournalLine& c : out.lines) {
        if (!c.correction || c.corrects >= c.number) continue;
        const auto at =
            std::lower_bound(out.lines.begin(), out.lines.end(), c.corrects,
                             [](const JournalLine& l, int wanted) { return l.number < wanted; });
        if (at != out.lines.end() && at->number == c.corrects)
            at->corrections.push_back({c.number, c.remark_text});
    }
    return out;
}

Status correctable_line(std::string_view journal_bytes, long long number,
                        const ReadOptions& options) {
    long long count = 0;
    std::string_view text;
    LineCursor cursor(journal_bytes, LoneCr::kept);
    for (std::string_view l; cursor.next(l);)
        if (++count == number) text = l;
    const std::string n = integer_text(number);
    if (number < 1 || number > count)
        return failure("le journal n'a pas de ligne " + n + " (il en a " + integer_text(count) +
                       ")");
    const std::string_view bare = trimmed(text);
    if (bare.empty()) return failure("la ligne " + n + " est vide : rien à corriger");
    if (bare == header_line)
        return failure("la ligne " + n + " est l'en-tête du journal : elle ne se corrige pas");
    if (read_date(bare, options.formats) || looks_like_date(bare, options.formats))
        return failure("la ligne " + n +
                       " est une ligne de date : corrigez plutôt les lignes qu'elle date");
    return {};
}

} // namespace marivent::journal
