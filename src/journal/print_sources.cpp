#include "journal/print_sources.h"

#include <optional>
#include <string>

#include "common/file_io.h"
#include "common/paths.h"

namespace marivent::journal {

PrintHead print_head(std::string_view bytes, const std::filesystem::path& journal) {
    const std::filesystem::path seal = seal_path(journal);
    PrintHead head{display_path(journal.filename()), display_path(seal.filename()), {}};
    std::error_code ec;
    if (!std::filesystem::exists(seal, ec)) {
        head.seal = check_seal(bytes, std::nullopt);
        return head;
    }
    const Result<std::string> read = read_file(seal);
    if (!read) {
        head.seal.seal = SealCheck::Seal::unreadable;
        head.seal.unreadable_why = read.why();
        return head;
    }
    head.seal = check_seal(bytes, *read);
    return head;
}

std::vector<DateFormat> regional_date_formats(const RegionalSettings& regional) {
    std::vector<DateFormat> formats = default_date_formats();
    // A day, a month and a year that no field can be taken for another.
    std::string pattern = regional.short_date({2033, 11, 22});
    for (const auto& [written, letters] :
         {std::pair<std::string_view, std::string_view>{"2033", "yyyy"},
          {"33", "yy"},
          {"22", "dd"},
          {"11", "MM"}}) {
        const std::size_t at = pattern.find(written);
        if (at != std::string::npos) pattern.replace(at, written.size(), letters);
    }
    const Result<DateFormat> own = DateFormat::parse(pattern);
    if (!own) return formats;
    for (const DateFormat& f : formats)
        if (f.pattern() == own->pattern()) return formats;
    formats.insert(formats.begin(), *own);
    return formats;
}

} // namespace marivent::journal
