// The journal's start-up preparation on any existing file: never shortened, never rewritten; a
// new (empty) journal gets its header and today's date; the date is taken from the third item
// only when it is one, in the regional format or one of the journal's.
#include <fstream>
#include <iterator>

#include "common/date_format.h"
#include "common/paths.h"
#include "fakes.h"
#include "journal/journal_file.h"
#include "support.h"

namespace {

using namespace marivent;

std::string read_all(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    const std::string_view bytes = marivent::fuzz::text(data, size);
    const std::filesystem::path file = marivent::fuzz::temp_dir() / journal_file_name;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        FUZZ_CHECK(out.good());
    }
    const testing::FrenchRegional regional; // dd/MM/yyyy, as the tests have it
    const testing::FrozenClock clock;       // 07/12/2026 14:35
    journal::JournalFile journal(file, regional, clock);
    const journal::PrepareOutcome outcome = journal.prepare();

    const std::string after = read_all(file);
    FUZZ_CHECK(after.size() >= bytes.size());
    if (bytes.empty()) {
        FUZZ_CHECK(outcome.usable.ok() && !outcome.notice);
        FUZZ_CHECK(after == std::string(journal::header_line) + "\r\n\r\n07/12/2026\r\n");
        FUZZ_CHECK(journal.datejourn().is_zero());
        return 0;
    }
    FUZZ_CHECK(after == bytes);
    const journal::ItemScan scan = journal::scan_items(bytes);
    FUZZ_CHECK(scan.items >= 1 && scan.items <= 3);
    std::optional<Date> date = scan.third ? regional.parse_short_date(*scan.third) : std::nullopt;
    if (!date && scan.third) date = read_date(*scan.third, default_date_formats());
    // Nothing of an existing file is a problem for the user: a third item that is no date is a
    // notice, and the next entry dates the journal.
    FUZZ_CHECK(outcome.usable.ok());
    if (date) {
        FUZZ_CHECK(!outcome.notice);
        FUZZ_CHECK(journal.datejourn() == *date);
    } else {
        FUZZ_CHECK(outcome.notice.has_value());
        FUZZ_CHECK(journal.third_line_notice() == outcome.notice);
        FUZZ_CHECK(journal.datejourn().is_zero());
    }
    return 0;
}
