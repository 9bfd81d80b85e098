// Corrections and entries on events: the lines as the writer makes them, read back, struck, and
// in the CSV and the GPX track.
#include <gtest/gtest.h>

#include "common/number_text.h"
#include "journal/journal_export.h"
#include "journal/journal_file.h"

namespace {

using namespace marivent;
using namespace marivent::journal;

ReadOptions options(double offset) {
    return {offset, default_date_formats()};
}

const EntryFields example{"143512", "N", "4512.345", "E", "00512.345", "5,2", "54", "WPT01"};

std::string journal_head() {
    return std::string(header_line) + "\r\n\r\n07/12/2026\r\n";
}

TEST(JournalCorrectionText, RefusalsNameTheCorrection) {
    const auto kept = correction_text("  position fausse : N4712.000  ");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->cp1252, "position fausse : N4712.000");
    EXPECT_EQ(correction_text(" \t").why(), "la correction est vide : rien n'est écrit");
    EXPECT_EQ(correction_text("cap → 270").why(),
              "le caractère « → » ne peut pas être gardé dans le journal (Windows-1252) : la "
              "correction n'est pas écrite, corrigez-la");
    EXPECT_EQ(correction_text(std::string(remark_most + 1, 'x')).why(),
              "la correction a 501 caractères, le journal en garde 500 au plus par ligne : rien "
              "n'est écrit");
    EXPECT_TRUE(correction_text("vent\x01"));
}

TEST(JournalCorrectionLine, OfTheGpsOrOfTheComputersClock) {
    EXPECT_EQ(correction_line(9, 5, false, 12, "lire 5,8 nd"),
              "09:05 Correction de la ligne 12 : lire 5,8 nd\r\n");
    EXPECT_EQ(correction_line(23, 0, true, 4, "cap 270"),
              "23:00 Correction de la ligne 4 (heure de l'ordinateur) : cap 270\r\n");
}

TEST(JournalEventEntry, TheTimedEntrysTextThenItsMark) {
    const std::string timed = entry_line(example);
    EXPECT_EQ(entry_line(example, EntryEvent::waypoint),
              "14:35 N4512.345 E00512.345  5,2 54  WPT01  (changement de waypoint)\r\n");
    EXPECT_EQ(entry_line(example, EntryEvent::course),
              timed.substr(0, timed.size() - 2) + " (changement de cap)\r\n");
    EXPECT_EQ(entry_line(example, EntryEvent::none), timed);
}

TEST(JournalEventEntry, ReadBackAsEntriesWithTheirMarkAndTheirWaypoint) {
    EntryFields no_waypoint = example;
    no_waypoint.wpt2 = "";
    EntryFields spaced = example;
    spaced.wpt2 = "Les (Glenan)";
    const std::string j =
        journal_head() + entry_line(example) + entry_line(example, EntryEvent::waypoint) +
        entry_line(no_waypoint, EntryEvent::course) + entry_line(spaced, EntryEvent::waypoint) +
        // A waypoint that only looks like a mark, and an unknown mark.
        "14:40 N4512.345 E00512.345  5,2 54  A (changement de cap) \r\n"
        "14:41 N4512.345 E00512.345  5,2 54  B  (changement de voile)\r\n";
    const JournalRead r = read_journal(j, options(0));
    ASSERT_EQ(r.lines.size(), 6u);
    const EntryEvent events[] = {EntryEvent::none,     EntryEvent::waypoint, EntryEvent::course,
                                 EntryEvent::waypoint, EntryEvent::none,     EntryEvent::none};
    const char* waypoints[] = {
        "WPT01", "WPT01", "", "Les (Glenan)", "A (changement de cap)", "B  (changement de voile)"};
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
        EXPECT_TRUE(r.lines[i].entry) << i;
        EXPECT_EQ(r.lines[i].event, events[i]) << i;
        EXPECT_EQ(r.lines[i].waypoint, waypoints[i]) << i;
        EXPECT_TRUE(r.lines[i].has_position()) << i;
    }
    EXPECT_EQ(r.points(), 6);
    EXPECT_TRUE(r.unreadable_lines().empty());
    const std::string csv = csv_table(r);
    EXPECT_NE(csv.find(",5,entrée (changement de waypoint),\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",6,entrée (changement de cap),\r\n"), std::string::npos) << csv;
    const std::string gpx = gpx_track(r, "t");
    EXPECT_NE(gpx.find("vers WPT01, (changement de waypoint)</desc>"), std::string::npos) << gpx;
}

TEST(JournalCorrections, TheLineStaysAndIsStruckWithEveryCorrectionBesideIt) {
    // Lines: 1 header, 2 empty, 3 date, 4 entry, 5 remark, 6 and 7 corrections of 4, 8 of 5,
    // 9 of a date line, 10 of itself, 11 of a line below, 12 of a line past the end.
    const std::string j =
        journal_head() + entry_line(example) + remark_line(14, 40, false, "ris pris") +
        correction_line(14, 50, false, 4, "vitesse 6,2 nd") +
        correction_line(15, 0, true, 4, "cap 64") + correction_line(15, 1, false, 5, "deux ris") +
        correction_line(15, 2, false, 3, "date fausse") + correction_line(15, 3, false, 10, "moi") +
        correction_line(15, 4, false, 12, "plus bas") +
        correction_line(15, 5, false, 99, "nulle part");
    const JournalRead r = read_journal(j, options(0));
    ASSERT_EQ(r.lines.size(), 9u);
    const JournalLine& entry = r.lines[0];
    EXPECT_TRUE(entry.entry);
    EXPECT_TRUE(entry.struck());
    ASSERT_EQ(entry.corrections.size(), 2u);
    EXPECT_EQ(entry.corrections[0].number, 6);
    EXPECT_EQ(entry.corrections[0].text, "vitesse 6,2 nd");
    EXPECT_EQ(entry.corrections[1].number, 7);
    EXPECT_EQ(entry.text, entry_line(example).substr(0, entry_line(example).size() - 2));
    EXPECT_TRUE(entry.has_position()); // nothing of the struck line is lost
    ASSERT_EQ(r.lines[1].corrections.size(), 1u);
    EXPECT_EQ(r.lines[1].corrections[0].number, 8);

    const JournalLine& c = r.lines[2];
    EXPECT_TRUE(c.correction);
    EXPECT_FALSE(c.entry || c.remark);
    EXPECT_EQ(c.corrects, 4);
    EXPECT_EQ(c.remark_text, "vitesse 6,2 nd");
    EXPECT_EQ(c.minute, 14 * 60 + 50);
    EXPECT_EQ(c.date, (Date{2026, 12, 7}));
    EXPECT_FALSE(c.computer_clock);
    EXPECT_TRUE(r.lines[3].computer_clock);
    // A correction of no line above it strikes nothing, and is kept as written.
    for (std::size_t i = 5; i < r.lines.size(); ++i) {
        EXPECT_TRUE(r.lines[i].correction) << i;
        EXPECT_FALSE(r.lines[i].struck()) << i;
    }
    EXPECT_TRUE(r.unreadable_lines().empty());
    EXPECT_EQ(r.points(), 1);

    const std::string csv = csv_table(r);
    EXPECT_NE(csv.find(",4,entrée,\"ligne 6 : vitesse 6,2 nd ; ligne 7 : cap 64\"\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("2026-12-07,14:50,,,,,,\"14:50 Correction de la ligne 4 : vitesse 6,2 "
                       "nd\",6,correction de la ligne 4,\r\n"),
              std::string::npos)
        << csv;
    const std::string gpx = gpx_track(r, "t");
    EXPECT_EQ(gpx.find("<trkpt", gpx.find("<trkpt") + 1), std::string::npos); // one point
    EXPECT_NE(gpx.find("barrée, corrigée ligne 6 : vitesse 6,2 nd ; ligne 7 : cap 64</desc>"),
              std::string::npos)
        << gpx;
}

TEST(JournalCorrections, LinesThatOnlyLookLikeCorrectionsAreHandEdited) {
    const std::string j = journal_head() + "14:50 Correction de la ligne : sans numéro\r\n"
                                           "14:50 Correction de la ligne 0 : zéro\r\n"
                                           "14:50 Correction de la ligne 4x : lettre\r\n"
                                           "14:50 Correction de la ligne 4 sans deux-points\r\n"
                                           "Correction de la ligne 4 : sans heure\r\n";
    const JournalRead r = read_journal(j, options(0));
    EXPECT_EQ(r.unreadable_lines(), (std::vector<int>{4, 5, 6, 7, 8}));
}

TEST(JournalCorrections, OnlyALineWithTextOtherThanTheHeaderOrADateMayBeCorrected) {
    const std::string j = journal_head() + entry_line(example) + "\r\n" + "08/12/2026\r\n" +
                          "note à la main\r\n" + "   \r\n" + remark_line(1, 2, false, "x");
    const ReadOptions o = options(0);
    EXPECT_TRUE(correctable_line(j, 4, o));
    EXPECT_TRUE(correctable_line(j, 7, o));
    EXPECT_TRUE(correctable_line(j, 9, o));
    EXPECT_EQ(correctable_line(j, 1, o).why(),
              "la ligne 1 est l'en-tête du journal : elle ne se corrige pas");
    EXPECT_EQ(correctable_line(j, 2, o).why(), "la ligne 2 est vide : rien à corriger");
    EXPECT_EQ(correctable_line(j, 8, o).why(), "la ligne 8 est vide : rien à corriger");
    for (long long date : {3, 6})
        EXPECT_EQ(correctable_line(j, date, o).why(),
                  "la ligne " + integer_text(date) +
                      " est une ligne de date : corrigez plutôt les lignes qu'elle date");
    for (long long absent : {0LL, 10LL, -1LL, 1LL << 40})
        EXPECT_EQ(correctable_line(j, absent, o).why(),
                  "le journal n'a pas de ligne " + integer_text(absent) + " (il en a 9)");
    // A last line without its line end is a line too; an empty journal has none.
    EXPECT_TRUE(correctable_line(j.substr(0, j.size() - 2), 9, o));
    EXPECT_EQ(correctable_line("", 1, o).why(), "le journal n'a pas de ligne 1 (il en a 0)");
}

} // namespace
