// What the printed journal reads besides its lines: the seal file beside it, in each of its
// states, and the date format of the regional settings the journal was written under.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/number_text.h"
#include "fakes.h"
#include "journal/print_sources.h"

namespace {

using namespace marivent;
using namespace marivent::journal;
using marivent::testing::FrenchRegional;
using marivent::testing::GermanRegional;
using marivent::testing::TempRoot;
using marivent::testing::write_bytes;

// Settings that write dates month first, as in the United States, with a two-digit year.
class UnitedStatesRegional : public FrenchRegional {
  public:
    std::string short_date(const Date& d) const override {
        return integer_text(d.month) + "/" + integer_text(d.day) + "/" + integer_text(d.year % 100);
    }
};

// Settings whose dates no format can say (digits of another script).
class OtherDigitsRegional : public FrenchRegional {
  public:
    std::string short_date(const Date&) const override { return "\xD9\xA2\xD9\xA2"; }
};

TEST(PrintSources, TheRegionalDateFormatIsTriedBeforeTheUsualOnes) {
    const std::vector<DateFormat> usual = default_date_formats();
    auto patterns = [](const std::vector<DateFormat>& formats) {
        std::vector<std::string> out;
        for (const DateFormat& f : formats)
            out.push_back(f.pattern());
        return out;
    };
    // French and German settings write one of the usual formats: nothing added.
    EXPECT_EQ(patterns(regional_date_formats(FrenchRegional{})), patterns(usual));
    EXPECT_EQ(patterns(regional_date_formats(GermanRegional{})), patterns(usual));
    const std::vector<DateFormat> us = regional_date_formats(UnitedStatesRegional{});
    ASSERT_EQ(us.size(), usual.size() + 1);
    EXPECT_EQ(us[0].pattern(), "MM/dd/yy");
    // A date line of those settings reads as they meant it, not as a French one.
    const JournalRead journal =
        read_journal("12/25/26\r\n10:00 N4752.2720 W00355.0140  5,2 54  A \r\n3/4/26\r\n"
                     "10:00 N4752.2720 W00355.0140  5,2 54  A \r\n",
                     {0, us});
    ASSERT_EQ(journal.lines.size(), 2u);
    EXPECT_EQ(journal.lines[0].date, (Date{2026, 12, 25}));
    EXPECT_EQ(journal.lines[1].date, (Date{2026, 3, 4}));
    EXPECT_EQ(patterns(regional_date_formats(OtherDigitsRegional{})), patterns(usual));
}

TEST(PrintSources, TheHeadNamesTheJournalAndChecksTheSealBesideIt) {
    TempRoot root;
    const std::filesystem::path journal = root / "bord.txt";
    const std::string bytes = "ligne 1\r\nligne 2\r\n";
    write_bytes(journal, bytes);

    PrintHead head = print_head(bytes, journal);
    EXPECT_EQ(head.name, "bord.txt");
    EXPECT_EQ(head.seal_name, "bord.sceau");
    EXPECT_EQ(head.seal.seal, SealCheck::Seal::missing);

    Sha256Digest first{}, second{};
    std::string seal = std::string(seal_title) + "\r\ndebut 0\r\n";
    seal += seal_record(1, "ligne 1\r\n", std::nullopt, first);
    seal += seal_record(2, "ligne 2\r\n", first, second);
    write_bytes(root / "bord.sceau", seal);
    head = print_head(bytes, journal);
    EXPECT_TRUE(head.seal.intact());
    EXPECT_TRUE(head.seal.unsealed.empty());
    EXPECT_EQ(print_head("ligne 1\r\nligne 3\r\n", journal).seal.first_altered, 2);

    // A seal that cannot be read (a folder in its place): unreadable, with the reason.
    std::filesystem::remove(root / "bord.sceau");
    std::filesystem::create_directory(root / "bord.sceau");
    head = print_head(bytes, journal);
    EXPECT_EQ(head.seal.seal, SealCheck::Seal::unreadable);
    EXPECT_FALSE(head.seal.unreadable_why.empty());
}

} // namespace
