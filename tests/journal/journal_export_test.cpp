// The journal read back as the program's own writer leaves it (JournalFile, entry_line, the
// display's speed format) under French and German regional settings, and written as GPX and CSV.
#include <gtest/gtest.h>

#include <cmath>

#include "common/date.h"
#include "common/format.h"
#include "common/number_text.h"
#include "fakes.h"
#include "journal/journal_export.h"
#include "journal/journal_file.h"

namespace {

using namespace marivent;
using namespace marivent::journal;
using marivent::testing::FrenchRegional;
using marivent::testing::FrozenClock;
using marivent::testing::GermanRegional;
using marivent::testing::MapDisplay;
using marivent::testing::read_bytes;
using marivent::testing::TempRoot;

// A moment in UTC or local time: a date and the minute of the day.
struct Moment {
    Date date;
    int minute = 0;
};

Moment plus_minutes(Moment m, long minutes) {
    long total = m.minute + minutes;
    int days = 0;
    while (total >= 1440)
        total -= 1440, ++days;
    while (total < 0)
        total += 1440, --days;
    return {add_days(m.date, days), static_cast<int>(total)};
}

std::string pad2(int n) {
    return n < 10 ? "0" + integer_text(n) : integer_text(n);
}

// What the GPS said at one entry, and what the export must give back.
struct Fix {
    Moment utc;
    double latitude, longitude, speed;
    int course;
    std::string waypoint; // Windows-1252
};

// "ddmm.mmmm" / "dddmm.mmmm" as a GGA sentence carries a position.
std::string nmea_angle(double degrees, int degree_digits) {
    const double a = std::fabs(degrees);
    int whole = static_cast<int>(a);
    double minutes = (a - whole) * 60;
    if (std::round(minutes * 10000) >= 600000) ++whole, minutes = 0;
    std::string d = integer_text(whole);
    while (static_cast<int>(d.size()) < degree_digits)
        d.insert(0, 1, '0');
    std::string m = fixed_text(minutes, 4);
    if (minutes < 10) m.insert(0, 1, '0');
    return d + m;
}

// A journal written entry by entry through the window's entry writer, with the computer clock
// at the GPS time plus the offset (as the program sets it).
class Logbook {
  public:
    Logbook(const RegionalSettings& regional, double offset_hours)
        : regional_(regional), offset_minutes_(std::lround(offset_hours * 60)) {
        EXPECT_TRUE(journal_.prepare().usable);
    }

    void write(const Fix& f) {
        clock_.time = local(f.utc);
        MapDisplay display;
        display.set_text(Box::lat, nmea_angle(f.latitude, 2));
        display.set_text(Box::longit, nmea_angle(f.longitude, 3));
        display.set_text(Box::vi, format_number(f.speed, "###.#", regional_.decimal_separator()));
        display.set_text(Box::cap, integer_text(f.course));
        display.set_text(Box::wpt2, f.waypoint);
        const std::string heuretu = pad2(f.utc.minute / 60) + pad2(f.utc.minute % 60) + "17.00";
        const auto out = journecri(journal_, 0, heuretu, f.latitude < 0 ? "S" : "N",
                                   f.longitude < 0 ? "W" : "E", display);
        ASSERT_TRUE(out && out->written);
    }

    // An entry of the fields as they are, at a local moment.
    void write_fields(const EntryFields& fields, Moment local_time) {
        clock_.time = {local_time.date, local_time.minute / 60, local_time.minute % 60, 0};
        ASSERT_TRUE(journal_.append_entry(fields).written);
    }

    LocalDateTime local(Moment utc) const {
        const Moment l = plus_minutes(utc, offset_minutes_);
        return {l.date, l.minute / 60, l.minute % 60, 30};
    }

    std::string bytes() const { return read_bytes(file_); }

  private:
    const RegionalSettings& regional_;
    long offset_minutes_;
    TempRoot root_;
    std::filesystem::path file_ = root_ / "journal.txt";
    FrozenClock clock_;
    JournalFile journal_{file_, regional_, clock_};
};

// A passage of `count` fixes every `step` minutes from `start` (UTC), on both sides of the
// equator and of Greenwich, with waypoint names holding spaces and accents.
std::vector<Fix> passage(Moment start, int step, int count) {
    std::vector<Fix> fixes;
    for (int i = 0; i < count; ++i) {
        const double lat = 47.8712 - i * 0.731;
        const double lon = -3.9169 + i * 1.377;
        const std::string name = i % 3 == 0   ? ""
                                 : i % 3 == 1 ? "Les Gl\xE9nan"
                                              : "WPT" + integer_text(i);
        fixes.push_back({plus_minutes(start, static_cast<long>(i) * step), lat, lon, (i % 70) * 0.3,
                         (i * 37) % 360, name});
    }
    return fixes;
}

ReadOptions options(double offset) {
    return {offset, default_date_formats()};
}

// Every entry read back with the UTC date and time, position, speed, course and waypoint the GPS
// gave, to the precision the journal keeps (minutes of time, 1/10000 minute of arc, 0.1 knot).
void expect_read_back(const JournalRead& read, const std::vector<Fix>& fixes) {
    ASSERT_EQ(read.lines.size(), fixes.size());
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        const JournalLine& l = read.lines[i];
        const Fix& f = fixes[i];
        SCOPED_TRACE("entry " + integer_text(static_cast<long long>(i)) + ": " + l.text);
        ASSERT_TRUE(l.entry);
        ASSERT_TRUE(l.date);
        EXPECT_EQ(*l.date, f.utc.date);
        EXPECT_EQ(l.minute, f.utc.minute);
        ASSERT_TRUE(l.has_position());
        EXPECT_NEAR(*l.latitude, f.latitude, 1e-6);
        EXPECT_NEAR(*l.longitude, f.longitude, 1e-6);
        ASSERT_TRUE(l.speed);
        EXPECT_NEAR(*l.speed, f.speed, 0.051);
        EXPECT_EQ(l.course, f.course);
        EXPECT_EQ(l.waypoint, f.waypoint);
    }
}

// Offsets east and west, fractional ones, the widest the preferences allow.
class AcrossMidnight : public ::testing::TestWithParam<double> {};

TEST_P(AcrossMidnight, FrenchJournalGivesTheUtcDateOfEveryEntry) {
    FrenchRegional french;
    Logbook book(french, GetParam());
    // Three days at 47-minute steps: every entry lands at another minute past the hour, so the
    // local and the UTC midnights are both crossed at several distances.
    const auto fixes = passage({{2026, 12, 6}, 19 * 60 + 3}, 47, 100);
    for (const auto& f : fixes)
        book.write(f);
    const JournalRead read = read_journal(book.bytes(), options(GetParam()));
    EXPECT_TRUE(read.header);
    EXPECT_TRUE(read.bad_dates.empty());
    EXPECT_GE(read.date_lines, 4); // the one of the creation, then one per local day
    expect_read_back(read, fixes);
}

TEST_P(AcrossMidnight, GermanJournalGivesTheUtcDateOfEveryEntry) {
    GermanRegional german;
    Logbook book(german, GetParam());
    const auto fixes = passage({{2024, 2, 27}, 21 * 60 + 50}, 53, 90); // through 29 February
    for (const auto& f : fixes)
        book.write(f);
    const std::string bytes = book.bytes();
    ASSERT_NE(bytes.find("29.02.2024\r\n"), std::string::npos);
    ASSERT_NE(bytes.find(" 1,5 "), std::string::npos); // the speeds have the German separator
    expect_read_back(read_journal(bytes, options(GetParam())), fixes);
}

INSTANTIATE_TEST_SUITE_P(Offsets, AcrossMidnight,
                         ::testing::Values(0.0, 2.0, -5.0, 5.5, -9.5, 12.0, -12.0, 5.75));

TEST(JournalDates, TheTwoExamplesOfAnEntryAcrossMidnight) {
    FrenchRegional french;
    {
        // +2: 23:30 UTC is 01:30 local on the 8th, under the date line of the 8th.
        Logbook book(french, 2);
        book.write({{{2026, 12, 7}, 23 * 60 + 30}, 47.5, -3.5, 5.2, 54, "WPT01"});
        const std::string bytes = book.bytes();
        EXPECT_NE(bytes.find("08/12/2026\r\n23:30 N4730.0000 W00330.0000  5,2 54  WPT01 \r\n"),
                  std::string::npos)
            << bytes;
        const JournalRead read = read_journal(bytes, options(2));
        ASSERT_EQ(read.lines.size(), 1u);
        EXPECT_EQ(read.lines[0].date, (Date{2026, 12, 7}));
        EXPECT_EQ(read.lines[0].minute, 23 * 60 + 30);
        // Read with no offset the same line would be the 8th.
        EXPECT_EQ(read_journal(bytes, options(0)).lines[0].date, (Date{2026, 12, 8}));
    }
    {
        // -5: 02:00 UTC is 21:00 local on the 7th, under the date line of the 7th.
        Logbook book(french, -5);
        book.write({{{2026, 12, 8}, 2 * 60}, 47.5, -3.5, 5.2, 54, "WPT01"});
        const std::string bytes = book.bytes();
        EXPECT_NE(bytes.find("07/12/2026\r\n02:00 "), std::string::npos) << bytes;
        EXPECT_EQ(read_journal(bytes, options(-5)).lines[0].date, (Date{2026, 12, 8}));
    }
}

TEST(JournalDates, AnEntryBelongsToTheLatestDateLineAboveIt) {
    const std::string j = std::string(header_line) +
                          "\r\n\r\n"
                          "31/12/2025\r\n"
                          "22:00 N4700.000 W00300.000  5,0 10  A \r\n"
                          "01/01/2026\r\n"
                          "23:10 N4700.000 W00300.000  5,0 10  A \r\n" // local 00:10 on the 1st
                          "23:40 N4700.000 W00300.000  5,0 10  A \r\n";
    const JournalRead r = read_journal(j, options(1));
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0].date, (Date{2025, 12, 31}));
    EXPECT_EQ(r.lines[1].date, (Date{2025, 12, 31}));
    EXPECT_EQ(r.lines[2].date, (Date{2025, 12, 31}));
    EXPECT_EQ(r.lines[2].number, 7);
}

TEST(JournalDates, TheOffsetIsTakenToTheMinute) {
    // +5:30: 18:29 UTC is 23:59 local, 18:30 UTC is midnight local, the next day.
    const std::string j = "08/12/2026\r\n18:30 N1000.000 E07600.000  , 0   \r\n"
                          "07/12/2026\r\n18:29 N1000.000 E07600.000  , 0   \r\n";
    const JournalRead r = read_journal(j, options(5.5));
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0].date, (Date{2026, 12, 7}));
    EXPECT_EQ(r.lines[1].date, (Date{2026, 12, 7}));
}

TEST(JournalDates, ADateLineInNoFormatIsReportedWithItsNumber) {
    const std::string j = std::string(header_line) + "\r\n\r\n07/12/2026\r\n"
                                                     "10:00 N4700.000 W00300.000  5,0 10  A \r\n"
                                                     "2026/12/08\r\n" // no such format
                                                     "11:00 N4700.000 W00300.000  5,0 10  A \r\n"
                                                     "31.02.2026\r\n" // no such day
                                                     "09/12/2026\r\n"
                                                     "12:00 N4700.000 W00300.000  5,0 10  A \r\n";
    const JournalRead r = read_journal(j, options(0));
    ASSERT_EQ(r.bad_dates.size(), 2u);
    EXPECT_EQ(r.bad_dates[0].number, 5);
    EXPECT_EQ(r.bad_dates[0].text, "2026/12/08");
    EXPECT_EQ(r.bad_dates[1].number, 7);
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0].date, (Date{2026, 12, 7}));
    EXPECT_FALSE(r.lines[1].date); // never the day of the line before the unreadable one
    EXPECT_EQ(r.lines[2].date, (Date{2026, 12, 9}));
    // Text and other numbers are not taken for dates: they are notes.
    for (const char* note : {"Escale 2 jours", "02 98 50 12 34", "12.5", "1-2"}) {
        const JournalRead n = read_journal(std::string(note) + "\r\n", options(0));
        EXPECT_TRUE(n.bad_dates.empty()) << note;
        EXPECT_EQ(n.unreadable_lines(), std::vector<int>{1}) << note;
    }
    EXPECT_EQ(read_journal("20261208\r\n", options(0)).bad_dates.size(), 1u);
    EXPECT_EQ(read_journal("1.1.26\r\n", options(0)).bad_dates.size(), 1u);
}

TEST(JournalDates, TheThreeFormatsAndANamedOne) {
    const auto formats = default_date_formats();
    ASSERT_EQ(formats.size(), 3u);
    EXPECT_EQ(formats[0].read("07/12/2026"), (Date{2026, 12, 7}));
    EXPECT_EQ(formats[0].read(" 7/12/2026 "), (Date{2026, 12, 7}));
    EXPECT_EQ(formats[1].read("07.12.2026"), (Date{2026, 12, 7}));
    EXPECT_EQ(formats[2].read("2026-12-07"), (Date{2026, 12, 7}));
    EXPECT_FALSE(formats[0].read("07.12.2026"));
    EXPECT_FALSE(formats[0].read("29/02/2026"));
    EXPECT_EQ(formats[0].read("29/02/2028"), (Date{2028, 2, 29}));
    EXPECT_FALSE(formats[0].read("07/12/26"));
    EXPECT_FALSE(formats[0].read("07/12/2026x"));
    EXPECT_FALSE(formats[2].read("2026-123-07"));

    const auto us = DateFormat::parse("MM/dd/yyyy");
    ASSERT_TRUE(us) << us.why();
    EXPECT_EQ(us->read("12/25/2026"), (Date{2026, 12, 25}));
    EXPECT_EQ(DateFormat::parse("jj/mm/aa")->read("7/12/26"), (Date{2026, 12, 7}));
    EXPECT_EQ(DateFormat::parse("yyyyMMdd")->read("20261207"), (Date{2026, 12, 7}));
    EXPECT_FALSE(DateFormat::parse("yyyyMMdd")->read("202612"));
    EXPECT_FALSE(DateFormat::parse("yyyyMMdd")->read("2026-12-07"));
    EXPECT_EQ(DateFormat::parse("DD-MM-YYYY")->read("07-12-2026"), (Date{2026, 12, 7}));

    const auto no_year = DateFormat::parse("dd/MM");
    EXPECT_FALSE(no_year);
    EXPECT_NE(no_year.why().find("une année"), std::string::npos);
    EXPECT_FALSE(DateFormat::parse("dd/MM/yyy"));
    EXPECT_FALSE(DateFormat::parse("ddd/MM/yyyy"));
    const auto hours = DateFormat::parse("dd/MM/yyyy hh");
    EXPECT_FALSE(hours);
    EXPECT_NE(hours.why().find("« h »"), std::string::npos);
    EXPECT_FALSE(DateFormat::parse("dd/MM/yyyy/dd"));

    // A journal of month-first dates reads only with its format.
    const std::string j = "12/25/2026\r\n10:00 N4700.000 W00300.000  5.0 10  A \r\n";
    EXPECT_EQ(read_journal(j, options(0)).bad_dates.size(), 1u);
    const JournalRead r = read_journal(j, {0, {*us}});
    EXPECT_TRUE(r.bad_dates.empty());
    EXPECT_EQ(r.lines.at(0).date, (Date{2026, 12, 25}));
}

TEST(JournalEntries, EntriesBeforeTheGpsWasValidKeepTheirKnownFields) {
    FrenchRegional french;
    Logbook book(french, 1);
    const Moment local{{2026, 12, 7}, 9 * 60};
    book.write_fields({}, local);                                      // nothing yet
    book.write_fields({"081500", "", "", "", "", ",", "", ""}, local); // time, no position
    book.write_fields({"", "N", "", "W", "", "", "", "Groix"}, local); // hemispheres only
    book.write_fields({"0830", "N", "4712.5", "W", "00321.25", ",5", "359", "Groix"}, local);
    const std::string bytes = book.bytes();
    const std::string nothing = ":        "; // entry_line({}) without its line end
    ASSERT_NE(bytes.find("\r\n" + nothing + "\r\n"), std::string::npos) << bytes;

    const JournalRead r = read_journal(bytes, options(1));
    ASSERT_EQ(r.lines.size(), 4u);
    for (const auto& l : r.lines)
        EXPECT_TRUE(l.entry) << l.text;
    EXPECT_FALSE(r.lines[0].minute);
    EXPECT_FALSE(r.lines[0].date);
    EXPECT_FALSE(r.lines[0].has_position());
    EXPECT_FALSE(r.lines[0].speed);
    EXPECT_EQ(r.lines[1].minute, 8 * 60 + 15);
    EXPECT_EQ(r.lines[1].date, (Date{2026, 12, 7}));
    EXPECT_EQ(r.lines[1].speed, 0.0); // "," is the display's 0
    EXPECT_FALSE(r.lines[1].has_position());
    EXPECT_EQ(r.lines[2].waypoint, "Groix");
    EXPECT_FALSE(r.lines[2].has_position());
    EXPECT_NEAR(*r.lines[3].latitude, 47 + 12.5 / 60, 1e-12);
    EXPECT_NEAR(*r.lines[3].longitude, -(3 + 21.25 / 60), 1e-12);
    EXPECT_EQ(r.lines[3].speed, 0.5);
    EXPECT_EQ(r.entries_without_position(), 3);
    EXPECT_TRUE(r.unreadable_lines().empty());
    EXPECT_EQ(r.points(), 1);

    const std::string gpx = gpx_track(r, "journal");
    EXPECT_EQ(gpx.find("<trkpt"), gpx.rfind("<trkpt")); // one point
    EXPECT_NE(gpx.find("<time>2026-12-07T08:30:00Z</time>"), std::string::npos) << gpx;

    const std::string csv = csv_table(r);
    EXPECT_NE(csv.find("\r\n,,,,,,," + nothing + ",5,entrée,\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n2026-12-07,08:15,,,0,,,\"08:15    ,    \",6,entrée,\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n2026-12-07,08:30,47.208333333,-3.354166667,0.5,359,Groix,"
                       "\"08:30 N4712.5 W00321.25  ,5 359  Groix \",8,entrée,\r\n"),
              std::string::npos)
        << csv;
}

TEST(JournalEntries, LinesEditedByHandAreKeptWithTheirTextOnly) {
    const std::string j = std::string(header_line) +
                          "\r\n\r\n07/12/2026\r\n"
                          "10:00 N4700.000 W00300.000  5,0 10  A \r\n"
                          "Escale \xE0 Groix, plein de gasoil\r\n"             // a note
                          "11:0 N4700.000 W00300.000  5,0 10  A \r\n"          // a time cut short
                          "12:00 N4700.000 W00300.000  5,0 10\r\n"             // fields missing
                          "13:00 N4790.000 W00300.000  5,0 10  A \r\n"         // 90 minutes
                          "14:00 X4700.000 W00300.000  5,0 10  A \r\n"         // no hemisphere
                          "15:00 N4700.000 W00300.000  vite 10  A \r\n"        // not a speed
                          "16:00 N4700.000 W00300.000  5,0 10  Port Tudy\r\n"; // end space gone
    const JournalRead r = read_journal(j, options(0));
    ASSERT_EQ(r.lines.size(), 8u);
    EXPECT_EQ(r.unreadable_lines(), (std::vector<int>{5, 6, 7, 8, 9, 10}));
    const JournalLine& note = r.lines[1];
    EXPECT_FALSE(note.entry);
    EXPECT_EQ(note.text, "Escale \xE0 Groix, plein de gasoil");
    EXPECT_FALSE(note.minute || note.date || note.latitude || note.speed || note.course);
    EXPECT_TRUE(r.lines[7].entry);
    EXPECT_EQ(r.lines[7].waypoint, "Port Tudy");
    EXPECT_EQ(r.points(), 2);
    EXPECT_EQ(r.entries_without_position(), 0);

    const std::string csv = csv_table(r);
    EXPECT_NE(csv.find("\r\n,,,,,,,\"Escale à Groix, plein de gasoil\",5,ligne non reconnue,\r\n"),
              std::string::npos)
        << csv;
}

TEST(JournalRemarks, RemarksAreDatedRowsOfTheirOwnNeverPointsNorHandEditedLines) {
    // As the window writes them, after midnight UTC of a local day ahead by two hours.
    const std::string j = std::string(header_line) + "\r\n\r\n08/12/2026\r\n" +
                          remark_line(22, 30, false, "2 ris pris") +
                          remark_line(23, 5, true, "N4700.000 W00300.000  5,0 10  A") +
                          "10:00 Remarque : \r\n"               // as a remark with nothing said
                          "1O:00 Remarque : pas une heure\r\n"; // a hand-edited line
    const JournalRead r = read_journal(j, options(2));
    ASSERT_EQ(r.lines.size(), 4u);
    const JournalLine& reefs = r.lines[0];
    EXPECT_TRUE(reefs.remark);
    EXPECT_FALSE(reefs.entry);
    EXPECT_EQ(reefs.remark_text, "2 ris pris");
    EXPECT_EQ(reefs.minute, 22 * 60 + 30);
    EXPECT_EQ(reefs.date, (Date{2026, 12, 7})); // 00:30 local on the 8th
    // A remark that reads like a position is still no track point.
    EXPECT_TRUE(r.lines[1].remark);
    EXPECT_FALSE(r.lines[1].has_position());
    EXPECT_TRUE(r.lines[2].remark);
    EXPECT_EQ(r.lines[2].remark_text, "");
    EXPECT_FALSE(r.lines[3].remark);
    EXPECT_EQ(r.unreadable_lines(), (std::vector<int>{7}));
    EXPECT_EQ(r.points(), 0);
    EXPECT_TRUE(r.looks_like_journal());
    const std::string csv = csv_table(r);
    EXPECT_NE(csv.find("\r\n2026-12-07,22:30,,,,,,22:30 Remarque : 2 ris pris,4,remarque,\r\n"),
              std::string::npos)
        << csv;
    EXPECT_EQ(gpx_track(r, "t").find("<trkpt"), std::string::npos);
}

TEST(JournalEntries, LfEndingsAndAMissingLastEndReadTheSame) {
    FrenchRegional french;
    Logbook book(french, -3);
    const auto fixes = passage({{2026, 6, 30}, 22 * 60}, 31, 20);
    for (const auto& f : fixes)
        book.write(f);
    std::string lf = book.bytes();
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    ASSERT_EQ(lf.back(), '\n');
    lf.pop_back();
    const JournalRead r = read_journal(lf, options(-3));
    expect_read_back(r, fixes);
    EXPECT_EQ(r.lines.back().text.back(), ' ');
}

TEST(JournalEntries, SpeedsAsTheDisplayWritesThem) {
    auto speed_of = [](const std::string& vi) {
        const JournalRead r =
            read_journal("10:00 N4700.000 W00300.000  " + vi + " 10  A \r\n", options(0));
        return r.lines.at(0).speed;
    };
    EXPECT_EQ(speed_of("12,3"), 12.3);
    EXPECT_EQ(speed_of("12,"), 12.0);
    EXPECT_EQ(speed_of(",5"), 0.5);
    EXPECT_EQ(speed_of(","), 0.0);
    EXPECT_EQ(speed_of("12.3"), 12.3); // written without regional settings
    EXPECT_EQ(speed_of("1234,5"), 1234.5);
    EXPECT_FALSE(speed_of("1,2,3"));
}

TEST(JournalEntries, PositionsInAnyNumberOfDecimals) {
    auto at = [](const std::string& lat, const std::string& lon) {
        const JournalRead r =
            read_journal("10:00 " + lat + " " + lon + "  5,0 10  A \r\n", options(0));
        const JournalLine& l = r.lines.at(0);
        return l.has_position() ? std::make_pair(*l.latitude, *l.longitude)
                                : std::make_pair(999.0, 999.0);
    };
    auto expect_at = [&](const std::string& lat, const std::string& lon, double y, double x) {
        const auto p = at(lat, lon);
        EXPECT_NEAR(p.first, y, 1e-12) << lat;
        EXPECT_NEAR(p.second, x, 1e-12) << lon;
    };
    expect_at("N4512", "E00512", 45.2, 5.2);
    expect_at("S3412.123456", "W17959.999999", -(34 + 12.123456 / 60), -(179 + 59.999999 / 60));
    expect_at("N0000.0000", "E00000.0000", 0, 0);
    expect_at("N9000.000", "E18000.000", 90, 180);
    expect_at("N512.5", "W0012.5", 5 + 12.5 / 60, -12.5 / 60); // degrees without their zeros
    EXPECT_EQ(at("N9001.000", "E00000.000").first, 999.0);
    EXPECT_EQ(at("N4500.000", "E18000.001").first, 999.0);
    EXPECT_EQ(at("N45.5", "E00000.000").first, 999.0);
    EXPECT_EQ(at("N45\xB0", "E00000.000").first, 999.0);
    EXPECT_EQ(at("N4512.3", "E00512.3.4").first, 999.0);
    EXPECT_EQ(at("N4512.3", "").first, 999.0); // half a position
}

TEST(JournalGpx, TextIsEscapedAndInUtf8) {
    const std::string j = "07/12/2026\r\n"
                          "10:00 N4700.000 W00300.000  5,0 10  A&B <C> \"D\" 'E' Fr\xE9hel\x01 \r\n"
                          "11:00 N4700.000 W00300.000     \r\n";
    const std::string gpx = gpx_track(read_journal(j, options(0)), "Journal & <co>");
    EXPECT_EQ(gpx.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\"", 0), 0u);
    EXPECT_NE(gpx.find("<name>Journal &amp; &lt;co&gt;</name>"), std::string::npos);
    EXPECT_NE(gpx.find("<trkpt lat=\"47\" lon=\"-3\"><time>2026-12-07T10:00:00Z</time>"
                       "<desc>vitesse 5 nd, cap 10°, vers A&amp;B &lt;C&gt; &quot;D&quot; "
                       "&apos;E&apos; Fr\xC3\xA9hel\xEF\xBF\xBD</desc></trkpt>\n"),
              std::string::npos)
        << gpx;
    // No speed, course nor waypoint: no description.
    EXPECT_NE(gpx.find("<time>2026-12-07T11:00:00Z</time></trkpt>"), std::string::npos) << gpx;
    EXPECT_NE(gpx.find("</trkseg>\n  </trk>\n</gpx>\n"), std::string::npos);
}

TEST(JournalGpx, AJournalWithoutEntriesIsAnEmptyTrack) {
    const JournalRead r =
        read_journal(std::string(header_line) + "\r\n\r\n07/12/2026\r\n", options(0));
    EXPECT_TRUE(r.looks_like_journal());
    const std::string gpx = gpx_track(r, "j");
    EXPECT_EQ(gpx.find("<trkpt"), std::string::npos);
    EXPECT_NE(gpx.find("<trkseg>\n    </trkseg>"), std::string::npos);
    EXPECT_FALSE(read_journal("a letter\nto a friend\n", options(0)).looks_like_journal());
    EXPECT_FALSE(read_journal("", options(0)).looks_like_journal());
}

TEST(JournalGpx, PointsWithoutADateLineAboveHaveNoTime) {
    const JournalRead r = read_journal("10:00 N4700.000 W00300.000  5,0 10  A \r\n", options(0));
    EXPECT_EQ(r.positions_without_time(), 1);
    const std::string gpx = gpx_track(r, "j");
    EXPECT_NE(gpx.find("<trkpt lat=\"47\" lon=\"-3\"><desc>"), std::string::npos) << gpx;
}

TEST(JournalCsv, HeaderRowAndQuotes) {
    const std::string j = "07/12/2026\r\n"
                          "10:00 S4700.000 E00300.000  12, 10  Ile \"Verte\", nord \r\n"
                          "stray\rreturn\r\n";
    const std::string csv = csv_table(read_journal(j, options(0)));
    EXPECT_EQ(csv,
              "Date UTC,Heure UTC,Latitude,Longitude,Vitesse (nœuds),Cap,Waypoint,Ligne du journal,"
              "N° de ligne,Nature,Barrée et corrigée par\r\n"
              "2026-12-07,10:00,-47,3,12,10,\"Ile \"\"Verte\"\", nord\","
              "\"10:00 S4700.000 E00300.000  12, 10  Ile \"\"Verte\"\", nord \",2,entrée,\r\n"
              ",,,,,,,\"stray\rreturn\",3,ligne non reconnue,\r\n");
}

// The size the tool must convert in well under a second; here for the count and the last date.
TEST(JournalLarge, AHundredThousandEntries) {
    FrenchRegional french;
    std::string j = std::string(header_line) + "\r\n\r\n";
    Moment utc{{2026, 1, 1}, 0};
    Date last_line_date;
    for (int i = 0; i < 100000; ++i) {
        const Moment local = plus_minutes(utc, 60);
        if (local.date != last_line_date)
            j += french.short_date(last_line_date = local.date) + "\r\n";
        j += entry_line({pad2(utc.minute / 60) + pad2(utc.minute % 60) + "00", "N", "4712.3456",
                         "W", "00321.2500", "5,2", "54", "WPT " + integer_text(i % 50)});
        utc = plus_minutes(utc, 7);
    }
    const JournalRead r = read_journal(j, options(1));
    ASSERT_EQ(r.points(), 100000);
    const Moment last = plus_minutes({{2026, 1, 1}, 0}, 7L * 99999);
    EXPECT_EQ(r.lines.back().date, last.date);
    EXPECT_EQ(r.lines.back().minute, last.minute);
    EXPECT_EQ(r.lines.back().waypoint, "WPT 49");
}

} // namespace
