// The journal laid out on A4 pages: numbering, every line in its row, long texts wrapped whole,
// struck lines with their corrections, event entries, journals without entries, the header.
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

constexpr double glyph = 0.6 * 8; // of the table's font
const double table_left = (page_width - 108 * glyph) / 2;
const std::string fix = " N4752.2720 W00355.0140  5,2 54  GLENAN";
const std::string shown = " 47\xB0"
                          "52,272' N 003\xB0"
                          "55,014' W   5,2  54\xB0 GLENAN";

JournalRead read(const std::string& bytes) {
    return read_journal(bytes, {0, default_date_formats()});
}

std::string two(int n) {
    return (n < 10 ? "0" : "") + integer_text(n);
}

// `n` entries a minute apart from 00:00 on 07/12/2026, a date line before each day: line 1 is
// the header, 2 empty, 3 the first date line, 4 the first entry.
std::string entries(int n) {
    std::string out = std::string(header_line) + "\r\n\r\n";
    for (int k = 0; k < n; ++k) {
        if (k % 1440 == 0) {
            const Date d = add_days({2026, 12, 7}, k / 1440);
            out += two(d.day) + "/" + two(d.month) + "/" + integer_text(d.year) + "\r\n";
        }
        out += two(k % 1440 / 60) + ":" + two(k % 60) + fix + "\r\n";
    }
    return out;
}

Pages laid_out(const std::string& bytes, SealCheck seal = {}) {
    return journal_pages(read(bytes), {"journal.txt", "journal.sceau", seal});
}

// A page's lines as text, top to bottom: the texts of a baseline at their columns.
std::vector<std::string> lines_of(const Page& page) {
    std::map<double, std::map<double, const std::string*>> rows;
    for (const PageText& t : page.texts)
        rows[t.y][t.x] = &t.text;
    std::vector<std::string> out;
    for (const auto& [y, texts] : rows) {
        std::string line;
        for (const auto& [x, text] : texts) {
            line.resize(std::max(line.size() + !line.empty(),
                                 static_cast<std::size_t>(std::max(0.0, (x - table_left) / glyph))),
                        ' ');
            line += *text;
        }
        out.push_back(line);
    }
    return out;
}

std::string text_of(const Pages& pages) {
    std::string out;
    for (const Page& p : pages.pages)
        for (const std::string& l : lines_of(p))
            out += l + "\n";
    return out;
}

bool has(const Pages& pages, const std::string& cp1252) {
    return text_of(pages).find(cp1252) != std::string::npos;
}

// The texts that are exactly `text`, with their page.
std::vector<std::pair<std::size_t, const PageText*>> items(const Pages& pages,
                                                           std::string_view text) {
    std::vector<std::pair<std::size_t, const PageText*>> out;
    for (std::size_t k = 0; k < pages.pages.size(); ++k)
        for (const PageText& t : pages.pages[k].texts)
            if (t.text == text) out.push_back({k, &t});
    return out;
}

const PageText& only(const Pages& pages, std::string_view text) {
    const auto found = items(pages, text);
    EXPECT_EQ(found.size(), 1u) << text;
    return found.empty() ? pages.pages[0].texts[0] : *found[0].second;
}

// A level rule a little above the baseline over the text's glyphs (not its aligning spaces).
bool struck(const Page& page, const PageText& t) {
    const double first = t.x + glyph * static_cast<double>(t.text.find_first_not_of(' '));
    return std::any_of(page.rules.begin(), page.rules.end(), [&](const PageRule& r) {
        return r.y1 == r.y2 && r.y1 < t.y && r.y1 > t.y - 4 && std::abs(r.x1 - first) < 0.01 &&
               std::abs(r.x2 - (t.x + t.width())) < 0.01;
    });
}

TEST(JournalPages, NumberedPagesHoldEveryLineInOrderWithinTheSheet) {
    // 400 entries, then positions that round up to a whole degree, south and east.
    std::string bytes = entries(400) + "00:00 S4759.99996 E00300.5000     \r\n" +
                        "00:00 N0000.0000 W17959.9994     \r\n";
    const Pages pages = laid_out(bytes);
    const std::size_t n = pages.pages.size();
    ASSERT_GT(n, 3u);
    for (std::size_t k = 0; k < n; ++k) {
        const auto number = items(pages, "page " + integer_text(static_cast<long long>(k + 1)) +
                                             " / " + integer_text(static_cast<long long>(n)));
        ASSERT_EQ(number.size(), 1u) << k;
        EXPECT_EQ(number[0].first, k);
        for (const PageText& t : pages.pages[k].texts)
            EXPECT_TRUE(t.x >= 30 && t.x + t.width() <= page_width - 30 && t.y >= 30 &&
                        t.y <= page_height - 20)
                << t.text;
    }
    EXPECT_EQ(lines_of(pages.pages[0])[4], "     4 07/12/2026 00:00" + shown);
    // Each line number once, in file order from page to page, in its row.
    std::pair<std::size_t, double> last{0, 0};
    for (int line = 4; line < 406; ++line) {
        const std::string number = integer_text(line);
        const auto found = items(pages, std::string(6 - number.size(), ' ') + number);
        ASSERT_EQ(found.size(), 1u) << line;
        EXPECT_LT(last, std::pair(found[0].first, found[0].second->y)) << line;
        last = {found[0].first, found[0].second->y};
    }
    EXPECT_TRUE(has(pages, "48\xB0"
                           "00,000' S 003\xB0"
                           "00,500' E"));
    EXPECT_TRUE(has(pages, "00\xB0"
                           "00,000' N 179\xB0"
                           "59,999' W"));
    EXPECT_EQ(pages.title, "Journal de bord \x97 journal.txt");
}

TEST(JournalPages, ARemarkOf500CharactersIsWrappedOverTheRowAndKeptWhole) {
    std::string words; // words of 1 to 11 letters, "é" among them
    for (int k = 0; words.size() < 500; ++k)
        words += std::string(1 + k % 11, static_cast<char>('a' + k % 26)) + (k % 7 ? " " : "\xE9 ");
    words.resize(499);
    words += 'z';
    const Pages pages =
        laid_out(entries(1) + "00:01 Remarque : " + words + "\r\n" + "00:02" + fix + "\r\n");
    ASSERT_EQ(pages.pages.size(), 1u);
    const std::vector<std::string> lines = lines_of(pages.pages[0]);
    const auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("     5 07/12/2026 00:01 Remarque : ", 0) == 0;
    });
    ASSERT_NE(first, lines.end());
    // The remark's lines up to the next row, one under the other, within the row's width.
    std::string joined = first->substr(35);
    auto l = first + 1;
    for (; l != lines.end() && l->rfind("                        ", 0) == 0; ++l) {
        EXPECT_NE((*l)[24], ' ');
        EXPECT_LE(l->size(), 108u);
        joined += " " + l->substr(24);
    }
    EXPECT_EQ(joined, words);
    EXPECT_GE(l - first, 6);
    ASSERT_NE(l, lines.end());
    EXPECT_EQ(*l, "     6 07/12/2026 00:02" + shown);
}

TEST(JournalPages, CorrectedLinesAreStruckWithTheirCorrectionsUnderThemAndEventsMarked) {
    // Lines 4 to 6 entries, 7 a remark; 8 and 9 correct line 5, 10 corrects the remark; 11 and
    // 12 entries written on a change of waypoint and of course.
    const Pages pages =
        laid_out(entries(3) + "00:05 Remarque : deux ris\r\n" +
                 correction_line(0, 6, false, 5, "cap 45, pas 54") +
                 correction_line(0, 7, true, 5, "et vitesse 4,2") +
                 correction_line(0, 8, false, 7, "trois ris") + "00:09" + fix +
                 "  (changement de waypoint)\r\n00:10" + fix + "  (changement de cap)\r\n");
    ASSERT_EQ(pages.pages.size(), 1u);
    const Page& page = pages.pages[0];
    const std::vector<std::string> lines = lines_of(page);
    const auto at = std::find(lines.begin(), lines.end(), "     5 07/12/2026 00:01" + shown);
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at + 1),
              utf8_to_cp1252("                        corrigée ligne 8 : cap 45, pas 54"));
    EXPECT_EQ(*(at + 2),
              utf8_to_cp1252("                        corrigée ligne 9 : et vitesse 4,2"));
    EXPECT_EQ(*(at + 4), "     7 07/12/2026 00:05 Remarque : deux ris");
    EXPECT_EQ(*(at + 5), utf8_to_cp1252("                        corrigée ligne 10 : trois ris"));
    for (const char* row :
         {"     8 07/12/2026 00:06 Correction de la ligne 5 : cap 45, pas 54",
          "     9 07/12/2026 00:07 Correction de la ligne 5 (heure de l'ordinateur) : et vitesse "
          "4,2",
          "    11 07/12/2026 00:09", "                        (changement de waypoint)",
          "    12 07/12/2026 00:10", "                        (changement de cap)"})
        EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                               [&](const std::string& l) { return l.rfind(row, 0) == 0; }),
                  lines.end())
            << row;
    // Struck: every text of lines 5 and 7 but their numbers (6 of the entry); nothing else.
    int strokes = 0;
    for (const PageText& t : page.texts) {
        const bool on_struck = t.y == only(pages, "     5").y || t.y == only(pages, "     7").y;
        const bool number = t.x < table_left + 1;
        EXPECT_EQ(struck(page, t), on_struck && !number) << t.text;
        strokes += struck(page, t);
    }
    EXPECT_EQ(strokes, 6 + 4);
    EXPECT_EQ(page.rules.size(), 1u + 6 + 4); // the headings' rule and the strokes
    EXPECT_EQ(only(pages, "(changement de cap)").face, Face::bold);
}

TEST(JournalPages, JournalsWithoutEntriesGiveTheirLinesOrOnePageThatSaysSo) {
    for (const std::string& bytes :
         {std::string(), std::string(header_line) + "\r\n\r\n07/12/2026\r\n"}) {
        const Pages pages = laid_out(bytes);
        ASSERT_EQ(pages.pages.size(), 1u);
        EXPECT_TRUE(has(pages, "Le journal ne contient aucune ligne."));
        EXPECT_TRUE(has(pages, "page 1 / 1"));
        EXPECT_TRUE(has(pages, utf8_to_cp1252("Période : aucune ligne datée.")));
    }
    // Lines edited by hand: as written from the text's column, a tab as a space, a word longer
    // than the row cut where the row ends, bytes without a glyph as '?'.
    const Pages pages = laid_out("Escale \xE0 Groix\r\n\t21:30 N47\x81\x7F\r\nmot " +
                                 std::string(150, 'z') + "\r\n");
    const std::vector<std::string> lines = lines_of(pages.pages[0]);
    ASSERT_EQ(lines.size(), 10u); // title, period, seal, headings, 5 lines, page number
    const std::string row(18, ' ');
    EXPECT_EQ(lines[4], "     1" + row + "Escale \xE0 Groix");
    EXPECT_EQ(lines[5], "     2" + row + " 21:30 N47??");
    EXPECT_EQ(lines[6], "     3" + row + "mot");
    EXPECT_EQ(lines[7], std::string(24, ' ') + std::string(84, 'z'));
    EXPECT_EQ(lines[8], std::string(24, ' ') + std::string(66, 'z'));
    EXPECT_TRUE(has(pages, utf8_to_cp1252("Période : aucune ligne datée.")));
}

TEST(JournalPages, TheHeaderGivesTheUtcPeriodAndTheSealsState) {
    // Two days of entries, then one dated earlier: the period runs from the earliest date.
    const std::string bytes = entries(1441) + "01/12/2026\r\n00:00" + fix + "\r\n";
    SealCheck intact;
    intact.seal = SealCheck::Seal::read;
    SealCheck altered = intact;
    altered.first_altered = 12;
    SealCheck unsealed = intact;
    unsealed.unsealed = {{1, 40}};
    SealCheck unreadable;
    unreadable.seal = SealCheck::Seal::unreadable;
    unreadable.unreadable_why = "ligne 3 : ligne illisible";
    struct Case {
        SealCheck seal;
        const char* first_page; // UTF-8
        const char* state;
    };
    for (const Case& c :
         {Case{intact, "Toutes les lignes sont scellées (journal.sceau).", "intact"},
          Case{altered,
               "Le journal ne correspond plus à son sceau à partir de la "
               "ligne 12",
               "altéré à partir de la ligne 12"},
          Case{unsealed, "Lignes 1 à 40 non scellées", "intact, lignes non scellées"},
          Case{SealCheck{}, "Aucun sceau journal.sceau", "absent"},
          Case{unreadable, "journal.sceau est illisible (ligne 3 : ligne illisible)",
               "illisible"}}) {
        EXPECT_EQ(seal_state(c.seal), c.state);
        const Pages pages = laid_out(bytes, c.seal);
        ASSERT_GT(pages.pages.size(), 1u);
        std::string first;
        for (const std::string& l : lines_of(pages.pages[0]))
            first += l + " ";
        EXPECT_EQ(first.find(utf8_to_cp1252("Journal de bord — journal.txt Période : du 01/12/2026 "
                                            "au 08/12/2026 (dates UTC). Sceau : " +
                                            std::string(c.state) + ". ")),
                  0u)
            << first;
        EXPECT_NE(first.find(utf8_to_cp1252(c.first_page)), std::string::npos) << first;
        // The other pages: one short line.
        EXPECT_EQ(lines_of(pages.pages[1]).front(),
                  utf8_to_cp1252("journal.txt — du 01/12/2026 au 08/12/2026 — sceau " +
                                 std::string(c.state)));
    }
    EXPECT_TRUE(has(laid_out(entries(2)), utf8_to_cp1252("Période : le 07/12/2026 (dates UTC).")));
}

// The time is reported, not held to: the sanitizers' build takes several times as long.
TEST(JournalPages, AHundredThousandLinesAreLaidOutWhole) {
    const JournalRead journal = read(entries(100000));
    const auto start = std::chrono::steady_clock::now();
    const Pages pages = journal_pages(journal, {"journal.txt", "journal.sceau", {}});
    const auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::cout << "100,000 entries laid out on " << pages.pages.size() << " pages in "
              << static_cast<long long>(ms) << " ms\n";
    // The last line (after 70 date lines) on the last page; every full page as many rows.
    const auto last = items(pages, "100072");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].first, pages.pages.size() - 1);
    for (std::size_t k = 2; k + 1 < pages.pages.size(); ++k)
        ASSERT_EQ(pages.pages[k].texts.size(), pages.pages[1].texts.size()) << k;
}

} // namespace
