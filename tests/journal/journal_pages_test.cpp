// The journal laid out on A4 pages: numbering, the header, every line in its row, long texts
// wrapped whole, struck lines with their corrections, event entries, and journals without
// entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <map>

#include "common/cp1252.h"
#include "common/number_text.h"
#include "journal/journal_file.h"
#include "journal/journal_pages.h"

namespace {

using namespace marivent;
using namespace marivent::journal;

constexpr double body_glyph = 0.6 * 8;
const double table_left = (page_width - 108 * body_glyph) / 2;

// A journal as the program writes it, date lines in dd/MM/yyyy, read at UTC (offset 0).
JournalRead read(const std::string& bytes) {
    return read_journal(bytes, {0, default_date_formats()});
}

std::string two(int n) {
    return (n < 10 ? "0" : "") + integer_text(n);
}

// `n` entries, one a minute from 00:00 on 07/12/2026, a day's date line before each day: line 1
// is the header, 2 empty, 3 the first date line.
std::string entries(int n) {
    std::string out = "Heure        Position        Vi. Cap  Vers\r\n\r\n";
    for (int k = 0; k < n; ++k) {
        if (k % 1440 == 0) {
            const Date d = add_days({2026, 12, 7}, k / 1440);
            out += two(d.day) + "/" + two(d.month) + "/" + integer_text(d.year) + "\r\n";
        }
        const int m = k % 1440;
        out += two(m / 60) + ":" + two(m % 60) + " N4752.2720 W00355.0140  5,2 54  GLENAN\r\n";
    }
    return out;
}

PrintHead head(SealCheck seal = {}) {
    return {"journal.txt", "journal.sceau", seal};
}

// The lines of a page as text: the texts of one baseline in the columns of the body's font,
// top to bottom. Windows-1252.
std::vector<std::string> lines_of(const Page& page) {
    std::map<double, std::vector<const PageText*>> rows;
    for (const PageText& t : page.texts)
        rows[t.y].push_back(&t);
    std::vector<std::string> out;
    for (auto& [y, texts] : rows) {
        std::sort(texts.begin(), texts.end(),
                  [](const PageText* a, const PageText* b) { return a->x < b->x; });
        std::string line;
        for (const PageText* t : texts) {
            const auto column = static_cast<std::size_t>(
                std::max(0.0, std::round((t->x - table_left) / body_glyph)));
            if (line.size() < column)
                line.resize(column, ' ');
            else if (!line.empty())
                line += ' ';
            line += t->text;
        }
        out.push_back(line);
    }
    return out;
}

std::string all_text(const Pages& pages) {
    std::string out;
    for (const Page& p : pages.pages)
        for (const std::string& l : lines_of(p))
            out += l + "\n";
    return out;
}

bool has_line(const Page& page, std::string_view cp1252) {
    const std::vector<std::string> lines = lines_of(page);
    return std::find(lines.begin(), lines.end(), cp1252) != lines.end();
}

// The text items that are exactly `text`, with their page.
std::vector<std::pair<std::size_t, const PageText*>> items(const Pages& pages,
                                                           std::string_view text) {
    std::vector<std::pair<std::size_t, const PageText*>> out;
    for (std::size_t k = 0; k < pages.pages.size(); ++k)
        for (const PageText& t : pages.pages[k].texts)
            if (t.text == text) out.push_back({k, &t});
    return out;
}

// Whether a rule runs through a text: level, a little above its baseline, over its glyphs (the
// spaces that right-align it left out).
bool struck_through(const Page& page, const PageText& t) {
    const double first = t.x + body_glyph * static_cast<double>(t.text.find_first_not_of(' '));
    return std::any_of(page.rules.begin(), page.rules.end(), [&](const PageRule& r) {
        return r.y1 == r.y2 && r.y1 < t.y && r.y1 > t.y - t.size * 0.5 &&
               std::abs(r.x1 - first) < 0.01 && std::abs(r.x2 - (t.x + t.width())) < 0.01;
    });
}

TEST(JournalPages, EveryPageIsNumberedAndHoldsItsTextsWithinTheSheet) {
    const Pages pages = journal_pages(read(entries(400)), head());
    const std::size_t n = pages.pages.size();
    ASSERT_GT(n, 3u);
    for (std::size_t k = 0; k < n; ++k) {
        const std::string number = "page " + integer_text(static_cast<long long>(k + 1)) + " / " +
                                   integer_text(static_cast<long long>(n));
        const auto found = items(pages, number);
        ASSERT_EQ(found.size(), 1u) << number;
        EXPECT_EQ(found[0].first, k) << number;
        EXPECT_GT(found[0].second->y, page_height - 60); // at the foot
        for (const PageText& t : pages.pages[k].texts) {
            EXPECT_GE(t.x, 30) << t.text;
            EXPECT_LE(t.x + t.width(), page_width - 30) << t.text;
            EXPECT_GE(t.y, 30) << t.text;
            EXPECT_LE(t.y, page_height - 20) << t.text;
        }
        for (const PageRule& r : pages.pages[k].rules)
            EXPECT_TRUE(r.x1 >= 30 && r.x2 <= page_width - 30 && r.y1 <= page_height - 20);
        // Each page repeats the table's headings.
        EXPECT_EQ(items(pages, "Position").size(), n);
    }
    EXPECT_EQ(pages.title, "Journal de bord \x97 journal.txt");
}

TEST(JournalPages, EveryEntryHasItsRowInOrderWithItsFieldsInFrenchNotation) {
    const int n = 400;
    const Pages pages = journal_pages(read(entries(n)), head());
    // Line 4 is the first entry (header, empty line, date line before it).
    const std::string first = "     4 07/12/2026 00:00 47\xB0"
                              "52,272' N 003\xB0"
                              "55,014' W   5,2  54\xB0 GLENAN";
    EXPECT_TRUE(has_line(pages.pages[0], first)) << all_text(pages);
    // Each line number once, in file order from page to page.
    std::size_t page = 0;
    double y = 0;
    for (int line = 4; line < 4 + n; ++line) {
        const auto found =
            items(pages, std::string(6 - integer_text(line).size(), ' ') + integer_text(line));
        ASSERT_EQ(found.size(), 1u) << line;
        ASSERT_TRUE(found[0].first > page || (found[0].first == page && found[0].second->y > y))
            << line;
        page = found[0].first;
        y = found[0].second->y;
    }
}

TEST(JournalPages, PositionsAreRoundedToTheThousandthOfAMinuteOnEitherSideOfTheEquator) {
    JournalRead journal;
    JournalLine a;
    a.number = 1;
    a.entry = true;
    a.latitude = -(47 + 59.99996 / 60); // rounds up to the next degree
    a.longitude = 3 + 0.5 / 60;         // east, one digit of degrees
    JournalLine b = a;
    b.number = 2;
    b.latitude = 0;
    b.longitude = -(179 + 59.9994 / 60);
    journal.lines = {a, b};
    const std::string text = all_text(journal_pages(journal, head()));
    EXPECT_NE(text.find("48\xB0"
                        "00,000' S 003\xB0"
                        "00,500' E"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("00\xB0"
                        "00,000' N 179\xB0"
                        "59,999' W"),
              std::string::npos)
        << text;
}

TEST(JournalPages, AFiveHundredCharacterRemarkIsWrappedOverTheRowAndKeptWhole) {
    std::string words; // 500 characters of words of varied lengths, "é" among them
    for (int k = 0; words.size() < 500; ++k)
        words += (k ? " " : "") + std::string(1 + k % 11, static_cast<char>('a' + k % 26)) +
                 (k % 7 == 0 ? "\xE9" : "");
    words.resize(500);
    if (words.back() == ' ') words.back() = 'z';
    const std::string word(500, 'x'); // no space to break at
    const JournalRead journal =
        read(entries(1) + "00:01 Remarque : " + words + "\r\n00:02 Remarque : " + word + "\r\n");
    const Pages pages = journal_pages(journal, head());
    ASSERT_EQ(pages.pages.size(), 1u);
    const Page& page = pages.pages[0];

    for (const auto& [number, text, label] :
         {std::tuple{"     5", words, "Remarque :"}, std::tuple{"     6", word, "Remarque :"}}) {
        const auto row = items(pages, number);
        ASSERT_EQ(row.size(), 1u);
        // The pieces of the remark: the texts below the label, line after line, the label's
        // line first.
        std::vector<const PageText*> pieces;
        for (const PageText& t : page.texts)
            if (t.y >= row[0].second->y && t.x > row[0].second->x + 100 && t.text != label &&
                t.face == Face::regular)
                pieces.push_back(&t);
        std::sort(pieces.begin(), pieces.end(),
                  [](const PageText* a, const PageText* b) { return a->y < b->y; });
        std::string joined;
        double y = row[0].second->y;
        for (const PageText* p : pieces) {
            EXPECT_NE(p->text.front(), ' ');
            EXPECT_LE(p->x + p->width(), table_left + 108 * body_glyph + 0.01) << p->text;
            EXPECT_NEAR(p->y, y, 0.01); // one line under the other, none skipped
            y = p->y + 10;
            if (!joined.empty() && text == words) joined += ' ';
            joined += p->text;
            if (joined.size() >= text.size()) break;
        }
        EXPECT_EQ(joined, text);
        EXPECT_GE(pieces.size(), 6u); // 500 characters over 84 glyphs at most
    }
    // The entry of line 4 and the two remarks, nothing more.
    EXPECT_EQ(items(pages, "Remarque :").size(), 2u);
}

TEST(JournalPages, ACorrectedLineIsStruckThroughWithItsCorrectionsUnderIt) {
    // Lines 4 to 6 entries, 7 a remark; 8 and 9 correct line 5, 10 corrects the remark.
    const JournalRead journal = read(entries(3) + "00:05 Remarque : deux ris\r\n" +
                                     correction_line(0, 6, false, 5, "cap 45, pas 54") +
                                     correction_line(0, 7, true, 5, "et vitesse 4,2") +
                                     correction_line(0, 8, false, 7, "trois ris"));
    const Pages pages = journal_pages(journal, head());
    ASSERT_EQ(pages.pages.size(), 1u);
    const Page& page = pages.pages[0];
    const std::string text = all_text(pages);
    // Line 5, an entry: every field struck, not its number.
    const auto number = items(pages, "     5");
    ASSERT_EQ(number.size(), 1u);
    int struck = 0;
    for (const PageText& t : page.texts) {
        if (t.y != number[0].second->y) continue;
        if (&t == number[0].second) {
            EXPECT_FALSE(struck_through(page, t));
            continue;
        }
        EXPECT_TRUE(struck_through(page, t)) << t.text;
        ++struck;
    }
    EXPECT_EQ(struck, 6); // date, time, position, speed, course and waypoint
    // Its corrections under it, in order, and not struck.
    const auto first = items(pages, utf8_to_cp1252("corrigée ligne 8 :"));
    const auto second = items(pages, utf8_to_cp1252("corrigée ligne 9 :"));
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NEAR(first[0].second->y, number[0].second->y + 10, 0.01);
    EXPECT_NEAR(second[0].second->y, number[0].second->y + 20, 0.01);
    for (const PageText& t : page.texts)
        if (t.y > number[0].second->y + 1 && t.y < number[0].second->y + 21) {
            EXPECT_FALSE(struck_through(page, t)) << t.text;
        }
    EXPECT_NE(text.find(utf8_to_cp1252("corrigée ligne 8 : cap 45, pas 54")), std::string::npos);
    EXPECT_NE(text.find(utf8_to_cp1252("corrigée ligne 9 : et vitesse 4,2")), std::string::npos);
    // The remark, struck too, its text still there, its correction under it.
    const auto remark = items(pages, "deux ris");
    ASSERT_EQ(remark.size(), 1u);
    EXPECT_TRUE(struck_through(page, *remark[0].second));
    EXPECT_TRUE(
        has_line(page, utf8_to_cp1252("                        corrigée ligne 10 : trois ris")))
        << text;
    // The corrections as rows of their own, not struck.
    for (const char* row :
         {"     8 07/12/2026 00:06 Correction de la ligne 5 : cap 45, pas 54",
          "     9 07/12/2026 00:07 Correction de la ligne 5 (heure de l'ordinateur) : et vitesse "
          "4,2",
          "    10 07/12/2026 00:08 Correction de la ligne 7 : trois ris"})
        EXPECT_TRUE(has_line(page, row)) << row << "\n" << text;
    // Nothing else struck: lines 4, 6, 8, 9 and 10.
    for (const char* other : {"     4", "     6", "     8", "     9", "    10"}) {
        const auto o = items(pages, other);
        ASSERT_EQ(o.size(), 1u);
        for (const PageText& t : page.texts)
            if (t.y == o[0].second->y) {
                EXPECT_FALSE(struck_through(page, t)) << other << " " << t.text;
            }
    }
}

TEST(JournalPages, EntriesWrittenOnAnEventAreMarkedUnderTheirRow) {
    const std::string fix = " N4752.2720 W00355.0140  5,2 54  GLENAN";
    const Pages pages =
        journal_pages(read(entries(1) + "00:01" + fix + "  (changement de waypoint)\r\n" + "00:02" +
                           fix + "  (changement de cap)\r\n"),
                      head());
    const Page& page = pages.pages[0];
    const std::string row = " 07/12/2026 00:0";
    const std::string rest = " 47\xB0"
                             "52,272' N 003\xB0"
                             "55,014' W   5,2  54\xB0 GLENAN";
    // The timed entry before them has none: the next row follows it.
    EXPECT_TRUE(has_line(page, "     4" + row + "0" + rest));
    EXPECT_NEAR(items(pages, "     5")[0].second->y, items(pages, "     4")[0].second->y + 10,
                0.01);
    // The mark under the entry, not in its waypoint.
    for (const auto& [number, minute, mark] :
         {std::tuple{"     5", "1", "(changement de waypoint)"},
          std::tuple{"     6", "2", "(changement de cap)"}}) {
        EXPECT_TRUE(has_line(page, number + row + minute + rest)) << all_text(pages);
        const auto found = items(pages, mark);
        ASSERT_EQ(found.size(), 1u) << mark;
        EXPECT_NEAR(found[0].second->y, items(pages, number)[0].second->y + 10, 0.01);
        EXPECT_EQ(found[0].second->face, Face::bold);
    }
}

TEST(JournalPages, AJournalWithoutLinesGivesOnePageThatSaysSo) {
    for (const std::string& bytes :
         {std::string(), std::string("Heure        Position        "
                                     "Vi. Cap  Vers\r\n\r\n07/12/2026\r\n")}) {
        const Pages pages = journal_pages(read(bytes), head());
        ASSERT_EQ(pages.pages.size(), 1u);
        const std::string text = all_text(pages);
        EXPECT_NE(text.find("page 1 / 1"), std::string::npos);
        EXPECT_NE(text.find("Le journal ne contient aucune ligne."), std::string::npos);
        EXPECT_NE(text.find(utf8_to_cp1252("Période : aucune ligne datée.")), std::string::npos);
    }
}

TEST(JournalPages, LinesEditedByHandAreShownAsWrittenWithoutDateOrTime) {
    const std::string long_line = "Escale " + std::string(150, 'z') + " fin";
    const JournalRead journal =
        read("Escale \xE0 Groix, plein de gasoil\r\n\t21:30 N47  5,2\r\n" + long_line + "\r\n");
    const Pages pages = journal_pages(journal, head());
    ASSERT_EQ(pages.pages.size(), 1u);
    const Page& page = pages.pages[0];
    EXPECT_TRUE(has_line(page, "     1                  Escale \xE0 Groix, plein de gasoil"));
    EXPECT_TRUE(has_line(page, "     2                   21:30 N47  5,2")); // tab as a space
    EXPECT_TRUE(has_line(page, "     3                  Escale"));
    const std::string text = all_text(pages);
    EXPECT_NE(text.find(std::string(84, 'z')), std::string::npos); // cut where the row ends
    EXPECT_NE(text.find(std::string(66, 'z') + " fin"), std::string::npos);
    EXPECT_NE(text.find(utf8_to_cp1252("Période : aucune ligne datée.")), std::string::npos);
}

TEST(JournalPages, BytesWithoutAGlyphArePrintedAsQuestionMarks) {
    const Pages pages =
        journal_pages(read("note\x01 \x81\x8D\x8F\x90\x9D\x7F \x80\xFF\r\n"), head());
    EXPECT_EQ(items(pages, "note? ?????? \x80\xFF").size(), 1u) << all_text(pages);
    EXPECT_EQ(printable('\t'), ' ');
    EXPECT_EQ(printable('\x9C'), '\x9C'); // œ
}

TEST(JournalPages, TheHeaderGivesTheUtcPeriodAndTheSealsState) {
    // Two days of entries: 07/12 and 08/12/2026; the period from the earliest to the latest
    // date, whatever their order in the file.
    const std::string bytes =
        entries(1441) + "01/12/2026\r\n00:00 N4752.2720 W00355.0140  5,2 54  \r\n";
    const JournalRead journal = read(bytes);

    SealCheck intact;
    intact.seal = SealCheck::Seal::read;
    intact.lines = 1448;
    SealCheck altered = intact;
    altered.first_altered = 12;
    SealCheck unsealed = intact;
    unsealed.unsealed = {{1, 40}};
    SealCheck unreadable;
    unreadable.seal = SealCheck::Seal::unreadable;
    unreadable.unreadable_why = "ligne 3 : ligne illisible";
    struct Case {
        SealCheck seal;
        std::string first_page, other_pages; // UTF-8
    };
    for (const Case& c : std::vector<Case>{
             {intact, "Sceau : intact. Toutes les lignes sont scellées (journal.sceau).",
              "sceau intact"},
             {altered,
              "Sceau : altéré à partir de la ligne 12. Le journal ne correspond plus à son sceau "
              "à partir de la ligne 12",
              "sceau altéré à partir de la ligne 12"},
             {unsealed, "Sceau : intact, lignes non scellées. Lignes 1 à 40 non scellées",
              "sceau intact, lignes non scellées"},
             {SealCheck{}, "Sceau : absent. Aucun sceau journal.sceau", "sceau absent"},
             {unreadable,
              "Sceau : illisible. Le sceau journal.sceau est illisible (ligne 3 : ligne illisible)",
              "sceau illisible"}}) {
        const Pages pages = journal_pages(journal, head(c.seal));
        ASSERT_GT(pages.pages.size(), 1u);
        std::string first;
        for (const std::string& l : lines_of(pages.pages[0]))
            first += l + " ";
        EXPECT_NE(first.find(utf8_to_cp1252("Journal de bord — journal.txt")), std::string::npos);
        EXPECT_NE(first.find(utf8_to_cp1252("Période : du 01/12/2026 au 08/12/2026 (dates UTC).")),
                  std::string::npos)
            << first;
        EXPECT_NE(first.find(utf8_to_cp1252(c.first_page)), std::string::npos) << first;
        // The other pages: one short line.
        const std::string other = lines_of(pages.pages[1]).front();
        EXPECT_EQ(other,
                  utf8_to_cp1252("journal.txt — du 01/12/2026 au 08/12/2026 — " + c.other_pages));
    }
    // One day only.
    const std::string one_day = all_text(journal_pages(read(entries(2)), head()));
    EXPECT_NE(one_day.find(utf8_to_cp1252("Période : le 07/12/2026 (dates UTC).")),
              std::string::npos);
}

TEST(JournalPages, TheSealsStateComesFromItsCheck) {
    const std::string journal = "ligne 1\r\nligne 2\r\n";
    EXPECT_EQ(seal_state(check_seal(journal, std::nullopt)), "absent");
    EXPECT_EQ(seal_state(check_seal(journal, "pas un sceau\r\n")), "illisible");
    const std::string chain = std::string(seal_title) + "\r\ndebut 1\r\n";
    EXPECT_EQ(seal_state(check_seal(journal, chain)), "intact, lignes non scellées");
    Sha256Digest first{}, second{};
    std::string sealed = std::string(seal_title) + "\r\ndebut 0\r\n";
    sealed += seal_record(1, "ligne 1\r\n", std::nullopt, first);
    sealed += seal_record(2, "ligne 2\r\n", first, second);
    EXPECT_EQ(seal_state(check_seal(journal, sealed)), "intact");
    EXPECT_EQ(seal_state(check_seal("ligne 1\r\nligne 9\r\n", sealed)),
              "altéré à partir de la ligne 2");
}

TEST(JournalPages, AHundredThousandLinesAreLaidOutInWellUnderASecond) {
    const JournalRead journal = read(entries(100000));
    const auto start = std::chrono::steady_clock::now();
    const Pages pages = journal_pages(journal, head());
    const auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::cout << "100,000 entries laid out on " << pages.pages.size() << " pages in "
              << static_cast<long long>(ms) << " ms\n";
    EXPECT_LT(ms, 1000.0);
    // The last line, 100,000 entries and 70 date lines after the header and the empty line, on
    // the last page; each full page holds as many rows.
    const auto last = items(pages, "100072");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].first, pages.pages.size() - 1);
    for (std::size_t k = 2; k + 1 < pages.pages.size(); ++k)
        EXPECT_EQ(pages.pages[k].texts.size(), pages.pages[1].texts.size()) << k;
}

} // namespace
