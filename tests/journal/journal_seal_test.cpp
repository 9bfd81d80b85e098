#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <iostream>
#include <unistd.h>
#include <vector>

#include "common/file_io.h"
#include "common/number_text.h"
#include "fakes.h"
#include "journal/journal_file.h"
#include "journal/journal_seal.h"

namespace {

using namespace marivent;
using namespace marivent::journal;
using marivent::testing::FrenchRegional;
using marivent::testing::FrozenClock;
using marivent::testing::read_bytes;
using marivent::testing::TempRoot;
using marivent::testing::write_bytes;
using Lines = std::vector<std::string>;

EntryFields entry(int k) {
    const std::string hh = (k / 60 % 24 < 10 ? "0" : "") + integer_text(k / 60 % 24);
    const std::string mm = (k % 60 < 10 ? "0" : "") + integer_text(k % 60);
    return {hh + mm + "00", "N", "4512.345", "E", "00512.345", "5,2", "54", "WPT01"};
}

Lines split(const std::string& bytes) {
    Lines out;
    for (const std::string_view line : journal_lines(bytes))
        out.emplace_back(line);
    return out;
}

std::string joined(const Lines& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l;
    return out;
}

std::string raw(const Sha256Digest& d) {
    return std::string(reinterpret_cast<const char*>(d.data()), d.size());
}

struct SealTest : ::testing::Test {
    TempRoot root;
    FrenchRegional regional;
    FrozenClock clock;
    std::filesystem::path file = root / "journal.txt";
    std::filesystem::path seal = root / "journal.sceau";

    // A new journal and `entries` entries: header, empty line, date line, a second date line
    // before the first entry, then the entries: 4 + entries lines.
    void write_journal(int entries) {
        JournalFile journal(file, regional, clock);
        journal.prepare();
        for (int k = 0; k < entries; ++k)
            ASSERT_TRUE(journal.append_entry(entry(k)).written);
    }
    SealCheck check() const { return check_seal(read_bytes(file), read_bytes(seal)); }
};

TEST(SealFormat, RecordsChainTheDigestsOfTheLines) {
    EXPECT_EQ(seal_path("/x/journal.txt"), std::filesystem::path("/x/journal.sceau"));
    Sha256Digest first, second;
    EXPECT_EQ(seal_record(1, "abc", std::nullopt, first),
              "1 ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\r\n");
    EXPECT_EQ(seal_record(2, "line\r\n", first, second),
              "2 " + hex_text(sha256(raw(first) + "line\r\n")) + "\r\n");
    EXPECT_EQ(journal_lines("a\r\nb\nc"), (std::vector<std::string_view>{"a\r\n", "b\n", "c"}));
    EXPECT_TRUE(journal_lines("").empty());
}

TEST_F(SealTest, ANewJournalIsSealedFromItsFirstLine) {
    write_journal(10);
    const SealCheck c = check();
    EXPECT_TRUE(c.intact());
    EXPECT_EQ(c.lines, 14);
    EXPECT_TRUE(c.unsealed.empty());
    EXPECT_EQ(seal_verdict(c, "journal.sceau"), "");
    // The seal's first lines, the digests computed here from the journal's lines.
    const Lines journal = split(read_bytes(file));
    const Sha256Digest d1 = sha256(journal[0]), d2 = sha256(raw(d1), journal[1]);
    const Lines lines = split(read_bytes(seal));
    ASSERT_EQ(lines.size(), 2u + 14u);
    EXPECT_EQ(lines[0], std::string(seal_title) + "\r\n");
    EXPECT_EQ(lines[1], "debut 0\r\n");
    EXPECT_EQ(lines[2], "1 " + hex_text(d1) + "\r\n");
    EXPECT_EQ(lines[3], "2 " + hex_text(d2) + "\r\n");
    EXPECT_EQ(lines.back().substr(0, 3), "14 ");
}

TEST_F(SealTest, EachChangeIsFoundAtItsLine) {
    write_journal(10); // 14 lines
    const std::string good = read_bytes(file);
    struct Case {
        const char* what;
        std::function<void(Lines&)> change;
        long long first;
        bool missing;
    };
    const std::vector<Case> cases = {
        {"one byte changed", [](Lines& l) { l[8][7] = '3'; }, 9, false},
        {"a line ended by LF alone", [](Lines& l) { l[10].erase(l[10].size() - 2, 1); }, 11, false},
        {"the header changed", [](Lines& l) { l[0][0] = 'h'; }, 1, false},
        {"line 7 deleted", [](Lines& l) { l.erase(l.begin() + 6); }, 7, false},
        {"a line inserted before line 6",
         [](Lines& l) {
             l.insert(l.begin() + 5, "12:00 N4512.345 E00512.345  5,2 54  WPT01 \r\n");
         },
         6, false},
        {"line 6 written twice", [](Lines& l) { l.insert(l.begin() + 5, l[5]); }, 7, false},
        {"lines 10 and 11 swapped", [](Lines& l) { std::swap(l[9], l[10]); }, 10, false},
        {"the last two lines removed", [](Lines& l) { l.resize(12); }, 13, true},
        {"cut in the middle of line 12",
         [](Lines& l) {
             l.resize(12);
             l[11].resize(9);
         },
         12, false},
        {"everything removed", [](Lines& l) { l.clear(); }, 1, true},
    };
    for (const Case& c : cases) {
        Lines lines = split(good);
        c.change(lines);
        write_bytes(file, joined(lines));
        const SealCheck found = check();
        EXPECT_FALSE(found.intact()) << c.what;
        EXPECT_EQ(found.first_altered, c.first) << c.what;
        EXPECT_EQ(found.first_missing, c.missing) << c.what;
        const std::string verdict = seal_verdict(found, "journal.sceau");
        EXPECT_NE(verdict.find("à partir de la ligne " + integer_text(c.first) + " "),
                  std::string::npos)
            << c.what << ": " << verdict;
    }
    write_bytes(file, good);
    EXPECT_TRUE(check().intact());
}

TEST_F(SealTest, TheWindowGoesOnSealingAJournalChangedOutsideIt) {
    write_journal(4); // 8 lines
    Lines lines = split(read_bytes(file));
    lines[5][0] = '2';
    write_bytes(file, joined(lines));
    const std::string changed = read_bytes(file), seal_before = read_bytes(seal);

    JournalFile journal(file, regional, clock);
    journal.prepare();
    EXPECT_EQ(read_bytes(file), changed); // the check writes nothing into the journal
    EXPECT_NE(journal.seal_status().find("ligne 6"), std::string::npos) << journal.seal_status();
    EXPECT_NE(journal.seal_notice().find("à partir de la ligne 6"), std::string::npos);
    ASSERT_TRUE(journal.append_entry(entry(50)).written);
    ASSERT_TRUE(journal.append_entry(entry(51)).written);
    // The seal kept what it had, and a new chain after the changed journal's end.
    const std::string seal_now = read_bytes(seal);
    EXPECT_EQ(seal_now.substr(0, seal_before.size()), seal_before);
    EXPECT_EQ(split(seal_now)[split(seal_before).size()], "debut 8\r\n");
    const SealCheck c = check();
    EXPECT_EQ(c.first_altered, 6); // still said, from the same line
    EXPECT_TRUE(c.last_chain_holds);
    EXPECT_EQ(c.lines, 10);
    EXPECT_TRUE(c.unsealed.empty());
    // The next start finds the new chain whole, and does not begin another.
    JournalFile again(file, regional, clock);
    again.prepare();
    EXPECT_EQ(read_bytes(seal), seal_now);
}

TEST_F(SealTest, AJournalWrittenBeforeTheSealIsSealedFromItsEnd) {
    const std::string old = std::string(header_line) + "\r\n\r\n01/12/2026\r\n" +
                            entry_line(entry(1)) + entry_line(entry(2)) + "02/12/2026\r\n" +
                            entry_line(entry(3));
    write_bytes(file, old);
    JournalFile journal(file, regional, clock);
    journal.prepare();
    EXPECT_EQ(read_bytes(file), old);
    EXPECT_NE(journal.seal_notice().find("ligne 8"), std::string::npos) << journal.seal_notice();
    EXPECT_NE(journal.seal_notice().find("lignes 1 à 7 ne sont pas scellées"), std::string::npos);
    EXPECT_EQ(journal.seal_status(), ""); // nothing wrong: not on the status line
    ASSERT_TRUE(journal.append_entry(entry(4)).written);
    const SealCheck c = check();
    EXPECT_TRUE(c.intact());
    ASSERT_EQ(c.unsealed.size(), 1u);
    EXPECT_EQ(c.unsealed[0], std::make_pair(1LL, 7LL));
    EXPECT_NE(seal_verdict(c, "s").find("Lignes 1 à 7 non scellées"), std::string::npos);
    // A change in the part before the seal is not seen; one after it is.
    Lines lines = split(read_bytes(file)); // with the date line of today before the entry
    ASSERT_EQ(lines.size(), 9u);
    lines[3][0] = '2';
    write_bytes(file, joined(lines));
    EXPECT_TRUE(check().intact());
    lines[7][0] = '2';
    write_bytes(file, joined(lines));
    EXPECT_EQ(check().first_altered, 8);
}

TEST_F(SealTest, LinesWrittenJustBeforeAStopAreSealedAtTheNextStart) {
    write_journal(3); // 7 lines
    // The program wrote an entry and stopped before its record.
    write_bytes(file, read_bytes(file) + entry_line(entry(10)));
    SealCheck c = check();
    EXPECT_TRUE(c.intact());
    EXPECT_EQ(c.tail, 1);
    EXPECT_TRUE(c.tail_awaits_seal());
    EXPECT_NE(seal_verdict(c, "s").find("Ligne 8 pas encore scellée"), std::string::npos);

    JournalFile journal(file, regional, clock);
    journal.prepare();
    EXPECT_NE(journal.seal_notice().find("La ligne 8"), std::string::npos);
    EXPECT_NE(journal.seal_notice().find("scellée maintenant"), std::string::npos);
    c = check();
    EXPECT_TRUE(c.intact());
    EXPECT_TRUE(c.unsealed.empty());

    // More lines than one append writes: not taken for the program's, left shown as not sealed.
    std::string added;
    for (int k = 0; k <= one_append_most; ++k)
        added += entry_line(entry(20 + k));
    write_bytes(file, read_bytes(file) + added);
    EXPECT_FALSE(check().tail_awaits_seal());
    JournalFile later(file, regional, clock);
    later.prepare();
    ASSERT_TRUE(later.append_entry(entry(30)).written);
    c = check();
    EXPECT_TRUE(c.intact());
    ASSERT_EQ(c.unsealed.size(), 1u);
    EXPECT_EQ(c.unsealed[0], std::make_pair(9LL, 8LL + one_append_most + 1));
    EXPECT_NE(seal_verdict(c, "s").find("non scellées"), std::string::npos);
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
    const long n = ::write(fd, bytes, static_cast<unsigned>(take));
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

TEST_F(SealTest, AFullDiskLeavesNoHalfRecordAndTheRecordsComeLater) {
    JournalFile journal(file, regional, clock);
    journal.prepare();
    ASSERT_TRUE(journal.append_entry(entry(0)).written);
    const long line = static_cast<long>(entry_line(entry(1)).size());
    // The line goes into the journal, its record only part-way, or not at all.
    for (long more : {0L, 1L, 30L}) {
        const std::string seal_before = read_bytes(seal), journal_before = read_bytes(file);
        EntryOutcome out;
        {
            FullDisk full(line + more);
            out = journal.append_entry(entry(1));
        }
        EXPECT_TRUE(out.written) << more;
        EXPECT_EQ(read_bytes(file), journal_before + entry_line(entry(1))) << more;
        EXPECT_EQ(read_bytes(seal), seal_before) << more; // exactly as it was
        // Said at the first failure only.
        EXPECT_EQ(out.notice.has_value(), more == 0) << more;
        if (out.notice) {
            EXPECT_NE(out.notice->find("sceau"), std::string::npos);
        }
        EXPECT_FALSE(check().intact() && check().unsealed.empty()) << more;
    }
    // Nothing goes out at all: the journal's lines are kept back, the seal waits with them.
    {
        const std::string seal_before = read_bytes(seal), journal_before = read_bytes(file);
        FullDisk full(0);
        EXPECT_FALSE(journal.append_entry(entry(2)).written);
        EXPECT_EQ(read_bytes(file), journal_before);
        EXPECT_EQ(read_bytes(seal), seal_before);
    }
    ASSERT_TRUE(journal.append_entry(entry(3)).written); // the disk has room again
    const SealCheck c = check();
    EXPECT_TRUE(c.intact());
    EXPECT_TRUE(c.unsealed.empty());
    EXPECT_EQ(c.lines, 10);
}

TEST_F(SealTest, AHalfLineAtTheEndIsSaidAndLeftUnsealed) {
    write_journal(2); // 6 lines
    // What a disk that fills leaves when the take-back fails too, or a power cut mid-write.
    write_bytes(file, read_bytes(file) + entry_line(entry(5)).substr(0, 9));
    SealCheck c = check();
    EXPECT_TRUE(c.intact()); // no sealed line changed
    EXPECT_TRUE(c.last_cut_short);
    EXPECT_FALSE(c.tail_awaits_seal());
    EXPECT_NE(seal_verdict(c, "s").find("(7) n'a pas de fin de ligne"), std::string::npos);

    JournalFile journal(file, regional, clock);
    journal.prepare();
    ASSERT_TRUE(journal.append_entry(entry(6)).written); // ends the cut line: line 7
    ASSERT_TRUE(journal.append_entry(entry(7)).written); // line 8
    c = check();
    EXPECT_TRUE(c.intact());
    EXPECT_EQ(c.lines, 8);
    ASSERT_EQ(c.unsealed.size(), 1u);
    EXPECT_EQ(c.unsealed[0], std::make_pair(7LL, 7LL));
    Lines lines = split(read_bytes(file));
    lines[7][1] = '9';
    write_bytes(file, joined(lines));
    EXPECT_EQ(check().first_altered, 8);
}

TEST_F(SealTest, ABadSealIsSaidAndTheJournalIsLeftAlone) {
    write_journal(3);
    const std::string good = read_bytes(seal);
    const Lines records = split(good);
    EXPECT_EQ(check_seal(read_bytes(file), std::nullopt).seal, SealCheck::Seal::missing);
    EXPECT_NE(
        seal_verdict(check_seal(read_bytes(file), std::nullopt), "j.sceau").find("Aucun sceau"),
        std::string::npos);

    std::string binary;
    for (int k = 0; k < 300; ++k)
        binary += static_cast<char>(k * 37 % 256);
    const std::vector<std::pair<const char*, std::string>> bad = {
        {"empty", ""},
        {"cut in a record", good.substr(0, good.size() - 10)},
        {"garbage", binary},
        {"another title", "Sceau\r\n" + joined(Lines(records.begin() + 1, records.end()))},
        {"a record before debut", records[0] + records[2]},
        {"a record out of order", records[0] + records[1] + records[3]},
        {"a digest of 63 digits", records[0] + records[1] + records[2].substr(0, 65) + "\r\n"},
        {"a digest with a letter", records[0] + records[1] + "1 " + std::string(64, 'z') + "\r\n"},
        {"no debut", records[0]},
        {"debut without a number", records[0] + "debut x\r\n"},
    };
    const std::string journal_bytes = read_bytes(file);
    for (const auto& [what, bytes] : bad) {
        const SealCheck c = check_seal(journal_bytes, bytes);
        EXPECT_EQ(c.seal, SealCheck::Seal::unreadable) << what;
        EXPECT_FALSE(c.intact()) << what;
        EXPECT_FALSE(c.unreadable_why.empty()) << what;
        EXPECT_NE(seal_verdict(c, "j.sceau").find("illisible"), std::string::npos) << what;
    }
    // The window: said, the seal left as it is, the journal written as ever, nothing else.
    for (const auto& [what, bytes] : bad) {
        write_bytes(seal, bytes);
        const std::string before = read_bytes(file);
        JournalFile journal(file, regional, clock);
        const PrepareOutcome prepared = journal.prepare();
        EXPECT_TRUE(prepared.usable) << what;
        EXPECT_EQ(read_bytes(file), before) << what;
        EXPECT_NE(journal.seal_status().find("illisible"), std::string::npos) << what;
        EXPECT_NE(journal.seal_notice().find("laissé tel quel"), std::string::npos) << what;
        ASSERT_TRUE(journal.append_entry(entry(9)).written) << what;
        EXPECT_EQ(read_bytes(file), before + entry_line(entry(9))) << what;
        EXPECT_EQ(read_bytes(seal), bytes) << what;
    }
}

TEST(SealSpeed, AHundredThousandLinesAreCheckedWellUnderASecond) {
    constexpr long long count = 100000;
    std::string journal = std::string(header_line) + "\r\n";
    std::string seal = std::string(seal_title) + "\r\ndebut 1\r\n";
    std::optional<Sha256Digest> previous;
    for (long long k = 2; k <= count; ++k) {
        const std::string line = entry_line(entry(static_cast<int>(k)));
        journal += line;
        Sha256Digest d;
        seal += seal_record(k, line, previous, d);
        previous = d;
    }
    const auto start = std::chrono::steady_clock::now();
    const SealCheck c = check_seal(journal, seal);
    const auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::cout << "check of " << count << " lines (" << journal.size() / 1024
              << " KiB): " << static_cast<long long>(ms) << " ms\n";
    EXPECT_TRUE(c.intact());
    EXPECT_EQ(c.lines, count);
    EXPECT_EQ(c.unsealed, (std::vector<std::pair<long long, long long>>{{1, 1}}));
    EXPECT_LT(ms, 1000.0);
    // The same file with its middle line changed, found as fast.
    journal[journal.size() / 2] ^= 1;
    EXPECT_GT(check_seal(journal, seal).first_altered, 1);
}

} // namespace
