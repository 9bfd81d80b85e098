// What printing the journal reads besides its lines: its seal file, and the date format of the
// regional settings its date lines were written in.
#pragma once
#include <filesystem>
#include <string_view>
#include <vector>

#include "common/date_format.h"
#include "common/seams.h"
#include "journal/journal_pages.h"

namespace marivent::journal {

// The pages' head for the journal file `journal` holding `bytes`: its name, and its check
// against the seal file beside it (seal_path), missing when there is none, unreadable with the
// reason when it cannot be read.
PrintHead print_head(std::string_view bytes, const std::filesystem::path& journal);

// The formats of the journal's date lines under these regional settings: their short date
// format first, as they write a date, then the journal's usual ones (default_date_formats).
std::vector<DateFormat> regional_date_formats(const RegionalSettings& regional);

} // namespace marivent::journal
