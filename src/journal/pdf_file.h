// Pages (journal_pages.h) as a PDF 1.4 file: the standard Type 1 fonts Courier and Courier-Bold,
// which every PDF reader has, with the Windows-1252 encoding ("WinAnsiEncoding"), so the
// journal's bytes go into the strings as they are and no font is embedded. The content streams
// are not compressed. The same pages give the same bytes: no date, no random identifier.
#pragma once
#include <string>

#include "journal/journal_pages.h"

namespace marivent::journal {

std::string pdf_file(const Pages& pages);

} // namespace marivent::journal
