// The printer seam: pages printed where the user chooses, in the system's print dialog (a
// printer, or a PDF file); a fake that records the pages in the tests.
#pragma once
#include "common/result.h"
#include "journal/journal_pages.h"

namespace marivent::app {

class Printer {
  public:
    enum class Outcome { printed, cancelled };
    virtual ~Printer() = default;
    // The pages printed, or left unprinted when the user cancelled; why not (French) when they
    // could not be.
    virtual Result<Outcome> print(const journal::Pages& pages) = 0;
};

} // namespace marivent::app
