// What the printed journal reads besides its lines: the seal file beside it in each of its
// states, and the date format of the regional settings the journal was written under.
#include <gtest/gtest.h>

#include "common/number_text.h"
#include "fakes.h"
#include "journal/print_sources.h"

namespace {

using namespace marivent;
using namespace marivent::journal;
using marivent::testing::FrenchRegional;
using marivent::testing::TempRoot;
using marivent::testing::write_bytes;

// Dates month first with a two-digit year, as in the United States.
class UnitedStatesRegional : public FrenchRegional {
  public:
    std::string short_date(const Date& d) const override {
        return integer_text(d.month) + "/" + integer_text(d.day) + "/" + integer_text(d.year % 100);
    }
};

TEST(PrintSources, TheRegionalDateFormatIsTriedBeforeTheUsualOnes) {
    // French settings write one of the usual formats: nothing added.
    EXPECT_EQ(regional_date_formats(FrenchRegional{}).size(), default_date_formats().size());
    const std::vector<DateFormat> us = regional_date_formats(UnitedStatesRegional{});
    ASSERT_EQ(us.size(), default_date_formats().size() + 1);
    EXPECT_EQ(us[0].pattern(), "MM/dd/yy");
    const JournalRead journal =
        read_journal("12/25/26\r\n10:00 N4752.2720 W00355.0140  5,2 54  A \r\n3/4/26\r\n"
                     "10:00 N4752.2720 W00355.0140  5,2 54  A \r\n",
                     {0, us});
    ASSERT_EQ(journal.lines.size(), 2u);
    EXPECT_EQ(journal.lines[0].date, (Date{2026, 12, 25}));
    EXPECT_EQ(journal.lines[1].date, (Date{2026, 3, 4})); // not 3 April
}

TEST(PrintSources, TheHeadNamesTheJournalAndChecksTheSealBesideIt) {
    TempRoot root;
    const std::filesystem::path journal = root / "bord.txt";
    const std::string bytes = "ligne 1\r\nligne 2\r\n";
    PrintHead head = print_head(bytes, journal);
    EXPECT_EQ(head.name, "bord.txt");
    EXPECT_EQ(head.seal_name, "bord.sceau");
    EXPECT_EQ(head.seal.seal, SealCheck::Seal::missing);

    Sha256Digest first{}, second{};
    std::string seal = std::string(seal_title) + "\r\ndebut 0\r\n";
    seal += seal_record(1, "ligne 1\r\n", std::nullopt, first);
    seal += seal_record(2, "ligne 2\r\n", first, second);
    write_bytes(root / "bord.sceau", seal);
    EXPECT_EQ(seal_state(print_head(bytes, journal).seal), "intact");
    EXPECT_EQ(print_head("ligne 1\r\nligne 3\r\n", journal).seal.first_altered, 2);

    // A seal that cannot be read (a folder in its place): unreadable, with the reason.
    std::filesystem::remove(root / "bord.sceau");
    std::filesystem::create_directory(root / "bord.sceau");
    head = print_head(bytes, journal);
    EXPECT_EQ(head.seal.seal, SealCheck::Seal::unreadable);
    EXPECT_FALSE(head.seal.unreadable_why.empty());
}

} // namespace
