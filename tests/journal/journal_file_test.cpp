#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

#include "common/file_io.h"
#include "fakes.h"
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
using marivent::testing::write_bytes;

const std::string header = "Heure        Position        Vi. Cap  Vers\r\n\r\n";

const EntryFields example{"143512", "N", "4512.345", "E", "00512.345", "5,2", "54", "WPT01"};

struct JournalTest : ::testing::Test {
    TempRoot root;
    FrenchRegional regional;
    FrozenClock clock;
    std::filesystem::path file = root / "journal.txt";
    JournalFile journal{file, regional, clock};
};

TEST(JournalFormat, HeaderIs42Characters) {
    EXPECT_EQ(header_line.size(), 42u);
}

TEST(JournalFormat, EntryLineOfTheExample) {
    EXPECT_EQ(entry_line(example), "14:35 N4512.345 E00512.345  5,2 54  WPT01 \r\n");
}

TEST(JournalFormat, EntryFieldsAreNeitherPaddedNorCut) {
    EXPECT_EQ(entry_line({"093005.00", "S", "1", "W", "2", ",", "7", ""}),
              "09:30 S1 W2  , 7   \r\n");
    EXPECT_EQ(entry_line({}), ": "
                              " "
                              "  "
                              " "
                              "   \r\n"); // before any GPS data
    EXPECT_EQ(entry_line({"1", "", "", "", "", "", "", ""}).substr(0, 3), "1: ");
    EXPECT_EQ(entry_line({"123", "", "", "", "", "", "", ""}).substr(0, 4), "12:3");
    EXPECT_EQ(entry_line({"143512", "N", "45\xB0", "", "", "", "", "Cap Fr\xE9hel"}),
              "14:35 N45\xB0      Cap Fr\xE9hel \r\n");
}

TEST(JournalFormat, HourCaption) {
    EXPECT_EQ(hour_caption(9, 5), "9:05");
    EXPECT_EQ(hour_caption(14, 30), "14:30");
    EXPECT_EQ(hour_caption(0, 0), "0:00");
}

TEST(JournalItems, CountsItemsAsTheStartUpReadsThem) {
    EXPECT_EQ(scan_items("").items, 0);
    EXPECT_EQ(scan_items("\r\n").items, 1);
    EXPECT_EQ(scan_items("a\r\n\r\n").items, 2);
    EXPECT_EQ(scan_items(header + "07/12/2026\r\n").third, "07/12/2026");
    EXPECT_EQ(scan_items("a,b,  c d \r\nx").third, "c d"); // commas end items; spaces trimmed
    EXPECT_EQ(scan_items("h\n\n07/12/2026").third, "07/12/2026");   // LF only, no last ending
    EXPECT_EQ(scan_items("h\r\r01/02/2025\r").third, "01/02/2025"); // CR only
    EXPECT_FALSE(scan_items("h\r\n\r\n").third);
}

TEST_F(JournalTest, NewJournalGetsItsThreeLinesAndKeepsTheZeroDate) {
    const PrepareOutcome out = journal.prepare();
    EXPECT_TRUE(out.usable);
    EXPECT_EQ(read_bytes(file), header + "07/12/2026\r\n");
    EXPECT_TRUE(journal.datejourn().is_zero());
}

TEST_F(JournalTest, FirstEntryOfTheCreationRunGetsASecondDateLine) {
    journal.prepare();
    ASSERT_TRUE(journal.append_entry(example).written);
    clock.time.minute = 40;
    ASSERT_TRUE(journal.append_entry(example).written); // same day: no date line
    EXPECT_EQ(read_bytes(file),
              header + "07/12/2026\r\n07/12/2026\r\n" + entry_line(example) + entry_line(example));
}

TEST_F(JournalTest, ReopenedOnTheCreationDayTheFirstEntryGetsNoDateLine) {
    journal.prepare();
    JournalFile again(file, regional, clock);
    EXPECT_TRUE(again.prepare().usable);
    EXPECT_EQ(again.datejourn(), (Date{2026, 12, 7}));
    again.append_entry(example);
    EXPECT_EQ(read_bytes(file), header + "07/12/2026\r\n" + entry_line(example));
}

TEST_F(JournalTest, ALaterDayAndMidnightBringADateLine) {
    write_bytes(file, header + "05/12/2026\r\n");
    journal.prepare();
    journal.append_entry(example); // a later day than line 3
    clock.time = {{2026, 12, 8}, 0, 1, 0};
    journal.append_entry(example); // after midnight
    EXPECT_EQ(read_bytes(file), header + "05/12/2026\r\n07/12/2026\r\n" + entry_line(example) +
                                    "08/12/2026\r\n" + entry_line(example));
}

TEST_F(JournalTest, AnExistingJournalIsNeverRewritten) {
    const std::string old = header + "01/01/2026\r\n10:00 N1 E2  , 0  A \r\n\xE9\x80\xFF\r\n";
    write_bytes(file, old);
    journal.prepare();
    EXPECT_EQ(read_bytes(file), old);
    journal.append_entry(example);
    EXPECT_EQ(read_bytes(file).substr(0, old.size()), old);
}

TEST_F(JournalTest, AThirdItemThatIsNotADateLeavesTheZeroDate) {
    write_bytes(file, "edited by hand\r\nsecond\r\nnot a date\r\n");
    const PrepareOutcome out = journal.prepare();
    EXPECT_TRUE(out.usable); // the next entry's date line deals with it: nothing to answer
    EXPECT_TRUE(out.notice);
    EXPECT_TRUE(journal.datejourn().is_zero());
    EXPECT_EQ(read_bytes(file), "edited by hand\r\nsecond\r\nnot a date\r\n");
    // A journal of one or two items is not new either: no header is added.
    write_bytes(file, "\r\n");
    JournalFile short_one(file, regional, clock);
    short_one.prepare();
    EXPECT_EQ(read_bytes(file), "\r\n");
}

// A journal begun under other regional settings, or dated by hand, opened under French and German
// ones: the date is kept, so the first entry of its creation day gets no second date line.
TEST(JournalThirdLine, ReadsInTheRegionalFormatOrInOneOfTheJournalsFormats) {
    const FrenchRegional french;
    const GermanRegional german;
    for (const RegionalSettings* regional : {static_cast<const RegionalSettings*>(&french),
                                             static_cast<const RegionalSettings*>(&german)}) {
        for (const char* third :
             {"07/12/2026", "07.12.2026", "2026-12-07", "7.12.2026", "  07/12/2026 "}) {
            TempRoot root;
            FrozenClock clock;
            const std::string old = header + third + "\r\n";
            write_bytes(root / "journal.txt", old);
            JournalFile journal(root / "journal.txt", *regional, clock);
            const PrepareOutcome out = journal.prepare();
            EXPECT_TRUE(out.usable) << third;
            EXPECT_FALSE(out.notice) << third;
            EXPECT_FALSE(journal.third_line_notice()) << third;
            EXPECT_EQ(journal.datejourn(), (Date{2026, 12, 7})) << third;
            ASSERT_TRUE(journal.append_entry(example).written);
            EXPECT_EQ(read_bytes(root / "journal.txt"), old + entry_line(example)) << third;
        }
    }
}

TEST(JournalThirdLine, TheRegionalFormatComesFirst) {
    // Read as the regional settings write it before the journal's formats: "12/07/2026" of an
    // American regional format is the 7th of December, not the 12th of July.
    struct American : marivent::testing::FrenchRegional {
        std::optional<Date> parse_short_date(std::string_view text) const override {
            const auto d = FrenchRegional::parse_short_date(text);
            if (!d) return d;
            return Date{d->year, d->day, d->month};
        }
    } american;
    TempRoot root;
    FrozenClock clock;
    write_bytes(root / "journal.txt", header + "12/07/2026\r\n");
    JournalFile journal(root / "journal.txt", american, clock);
    journal.prepare();
    EXPECT_EQ(journal.datejourn(), (Date{2026, 12, 7}));
}

TEST_F(JournalTest, AThirdLineInNoFormatIsNoticedUntilTheNextEntryDatesTheJournal) {
    const std::string old = header + "7 d\xE9"
                                     "cembre\x01 2026\r\n";
    write_bytes(file, old);
    const PrepareOutcome out = journal.prepare();
    EXPECT_TRUE(out.usable);
    ASSERT_TRUE(out.notice);
    EXPECT_EQ(*out.notice, "La troisième ligne du journal, « 7 décembre  2026 », n'est pas une "
                           "date : une ligne de date sera écrite avant la prochaine entrée.");
    EXPECT_EQ(journal.third_line_notice(), out.notice);
    EXPECT_TRUE(journal.datejourn().is_zero());
    EXPECT_EQ(read_bytes(file), old); // the file as it was
    ASSERT_TRUE(journal.append_entry(example).written);
    EXPECT_EQ(read_bytes(file), old + "07/12/2026\r\n" + entry_line(example));
    EXPECT_FALSE(journal.third_line_notice()); // dated now

    // A long line is quoted by its start; a journal of two lines has no third line to quote.
    write_bytes(file, header + std::string(5000, 'x') + "\r\n");
    JournalFile long_line(file, regional, clock);
    const auto quoted = long_line.prepare().notice;
    ASSERT_TRUE(quoted);
    EXPECT_NE(quoted->find("« " + std::string(40, 'x') + "… »"), std::string::npos) << *quoted;
    EXPECT_LT(quoted->size(), 200u);
    write_bytes(file, "a\r\nb\r\n");
    JournalFile two_lines(file, regional, clock);
    const auto missing = two_lines.prepare().notice;
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->rfind("Le journal n'a pas de troisième ligne", 0), 0u) << *missing;
}

TEST_F(JournalTest, ACommaInTheFirstLineMovesTheThirdItem) {
    write_bytes(file, "a,07/12/2026,x\r\n");
    journal.prepare();
    EXPECT_TRUE(journal.datejourn().is_zero()); // item 3 is "x"
}

TEST_F(JournalTest, AJournalThatCannotBeWrittenKeepsItsLinesUntilItCan) {
    journal.prepare();
    std::filesystem::remove(file);
    std::filesystem::create_directory(file); // the journal's place is taken: appends fail
    EntryOutcome first = journal.append_entry(example);
    EXPECT_FALSE(first.written);
    ASSERT_FALSE(first.written.why().empty());
    EXPECT_TRUE(first.first_failure);
    const EntryOutcome second = journal.append_entry(example);
    EXPECT_FALSE(second.written.why().empty());
    EXPECT_FALSE(second.first_failure); // the series is told once
    EXPECT_GT(journal.kept_back_bytes(), 0u);

    std::filesystem::remove(file); // the disk comes back
    clock.time.minute = 50;
    const EntryOutcome back = journal.append_entry(example);
    EXPECT_TRUE(back.written);
    EXPECT_EQ(back.caption, "14:50");
    EXPECT_EQ(journal.kept_back_bytes(), 0u);
    // The journal had gone: a new one, one date line, then the three entries in order.
    EXPECT_TRUE(back.notice);
    EXPECT_EQ(read_bytes(file), header + "07/12/2026\r\n" + entry_line(example) +
                                    entry_line(example) + entry_line(example));
}

// A disk that fills part-way through a write: `budget` bytes go out, then ENOSPC.
long budget = 0;
long filling_disk(int fd, const void* bytes, std::size_t count) {
    if (budget <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t take = std::min<std::size_t>(count, static_cast<std::size_t>(budget));
#ifdef _WIN32
    const long n = ::write(fd, bytes, static_cast<unsigned>(take)); // the C run-time counts in int
#else
    const long n = ::write(fd, bytes, take);
#endif
    if (n > 0) budget -= n;
    return n;
}

struct FullDisk {
    WriteCall before;
    explicit FullDisk(long bytes) : before(set_write_call(filling_disk)) { budget = bytes; }
    ~FullDisk() { set_write_call(before); }
};

TEST_F(JournalTest, AnAppendThatFailsPartWayLeavesNoHalfLine) {
    journal.prepare();
    ASSERT_TRUE(journal.append_entry(example).written);
    const std::string before = read_bytes(file);
    EntryFields later = example;
    later.heuretu = "145512";
    for (long k : {0L, 1L, 19L, 45L}) { // k bytes of the lines went out before the disk was full
        FullDisk full(k);
        const EntryOutcome out = journal.append_entry(later);
        EXPECT_FALSE(out.written) << k;
        EXPECT_FALSE(out.written.why().empty()) << k;
        EXPECT_EQ(read_bytes(file), before) << k; // exactly as it was
    }
    const EntryOutcome back = journal.append_entry(example); // the disk has room again
    EXPECT_TRUE(back.written);
    EXPECT_FALSE(back.notice);
    EXPECT_EQ(read_bytes(file), before + entry_line(later) + entry_line(later) + entry_line(later) +
                                    entry_line(later) + entry_line(example));
}

TEST_F(JournalTest, AJournalDeletedBetweenTwoEntriesIsBegunAgainAndToldOnce) {
    journal.prepare();
    ASSERT_TRUE(journal.append_entry(example).written);
    std::filesystem::remove(file);
    clock.time.date = {2026, 12, 8}; // and the day changes meanwhile
    const EntryOutcome again = journal.append_entry(example);
    EXPECT_TRUE(again.written);
    ASSERT_TRUE(again.notice);
    EXPECT_NE(again.notice->find("nouveau journal"), std::string::npos);
    EXPECT_EQ(read_bytes(file), header + "08/12/2026\r\n" + entry_line(example));
    const EntryOutcome next = journal.append_entry(example);
    EXPECT_FALSE(next.notice);
    EXPECT_EQ(read_bytes(file),
              header + "08/12/2026\r\n" + entry_line(example) + entry_line(example));
    // A journal that comes back the same day gets its date line in the header only.
    std::filesystem::remove(file);
    EXPECT_TRUE(journal.append_entry(example).notice);
    EXPECT_EQ(read_bytes(file), header + "08/12/2026\r\n" + entry_line(example));
}

TEST_F(JournalTest, AJournalThatCannotBeCreatedDoesNotStopTheStartUp) {
    JournalFile nowhere(root / "missing" / "journal.txt", regional, clock);
    const PrepareOutcome out = nowhere.prepare();
    ASSERT_FALSE(out.usable);
    EXPECT_NE(out.usable.why().find("journal"), std::string::npos);
    EXPECT_TRUE(nowhere.datejourn().is_zero());
}

TEST_F(JournalTest, JournecriWritesNothingWhileTheRouteDataIsInvalid) {
    journal.prepare();
    const std::string before = read_bytes(file);
    MapDisplay display;
    EXPECT_FALSE(journecri(journal, 1, "143512", "N", "E", display));
    EXPECT_EQ(read_bytes(file), before);

    display.boxes = {{Box::lat, "4512.345"},
                     {Box::longit, "00512.345"},
                     {Box::vi, "5,2"},
                     {Box::cap, "54"},
                     {Box::wpt2, "WPT01"}};
    const auto written = journecri(journal, 0, "143512", "N", "E", display);
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->written);
    EXPECT_EQ(written->caption, "14:35");
    EXPECT_EQ(read_bytes(file), before + "07/12/2026\r\n" + entry_line(example));
}

} // namespace

namespace {

TEST(JournalRemark, TheTypedTextIsKeptInWindows1252OrRefusedSayingWhy) {
    // Accents and the euro sign are Windows-1252 bytes; blanks at the ends go.
    const auto kept = remark_text("  2 ris pris, vent 25 nœuds, 3 € de gasoil  ");
    ASSERT_TRUE(kept) << kept.why();
    EXPECT_EQ(kept->cp1252, "2 ris pris, vent 25 n\x9C"
                            "uds, 3 \x80 de gasoil");
    EXPECT_FALSE(kept->cleaned);
    // Control characters become spaces, and it is said.
    const auto cleaned = remark_text("moteur\tcoupé\x01 \x7F");
    ASSERT_TRUE(cleaned);
    EXPECT_EQ(cleaned->cp1252, "moteur coup\xE9");
    EXPECT_TRUE(cleaned->cleaned);
    // A character Windows-1252 cannot hold is named, never dropped or made a "?".
    const auto arrow = remark_text("cap → 270");
    ASSERT_FALSE(arrow);
    EXPECT_EQ(arrow.why(), "le caractère « → » ne peut pas être gardé dans le journal "
                           "(Windows-1252) : la remarque n'est pas écrite, corrigez-la");
    EXPECT_FALSE(remark_text("⚓"));
    // Nothing to write, or more than a line holds.
    for (const char* empty : {"", "   ", "\t\r\n"})
        EXPECT_EQ(remark_text(empty).why(), "la remarque est vide : rien n'est écrit") << empty;
    EXPECT_TRUE(remark_text(std::string(remark_most, 'x')));
    const auto too_long = remark_text(std::string(remark_most + 1, 'x'));
    ASSERT_FALSE(too_long);
    EXPECT_EQ(too_long.why(), "la remarque a 501 caractères, le journal en garde 500 au plus par "
                              "ligne : rien n'est écrit");
}

TEST(JournalRemark, LineOfTheGpsOrOfTheComputersClock) {
    EXPECT_EQ(remark_line(9, 5, false, "ris pris"), "09:05 Remarque : ris pris\r\n");
    EXPECT_EQ(remark_line(23, 59, true, "moteur"),
              "23:59 Remarque (heure de l'ordinateur) : moteur\r\n");
}

TEST_F(JournalTest, ARemarkGetsADateLineWhenTheDayChangedAsAnEntryDoes) {
    write_bytes(file, header + "05/12/2026\r\n");
    journal.prepare();
    ASSERT_TRUE(journal.append_line(remark_line(14, 2, false, "ris pris")).written);
    journal.append_entry(example);
    clock.time = {{2026, 12, 8}, 0, 1, 0};
    journal.append_line(remark_line(23, 1, true, "moteur"));
    EXPECT_EQ(read_bytes(file), header +
                                    "05/12/2026\r\n07/12/2026\r\n14:02 Remarque : ris pris\r\n" +
                                    entry_line(example) +
                                    "08/12/2026\r\n23:01 Remarque (heure de l'ordinateur) : "
                                    "moteur\r\n");
}

} // namespace
