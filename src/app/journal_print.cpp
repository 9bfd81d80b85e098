// Journal > Imprimer: the journal on pages (journal/journal_pages.h), printed where the user
// chooses in the system's dialog. The journal is only read.
#include <QAction>

#include "common/file_io.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "journ.h"
#include "journal/print_sources.h"
#include "printer.h"
#include "qt_seams.h"
#include "widget_helpers.h"

namespace marivent::app {

void Journ::mnujourimprimer_Click() {
    const Result<std::string> bytes = read_file(journal.path());
    if (!bytes) {
        services_.dialogs.message("Le journal " + display_path(journal.path()) +
                                      " ne peut pas être imprimé (" + bytes.why() + ").",
                                  program_title);
        return;
    }
    const journal::Pages pages =
        journal::journal_pages(journal::read_journal(*bytes, journal_read_options()),
                               journal::print_head(*bytes, journal.path()));
    if (!services_.printer) return;
    const Result<Printer::Outcome> printed = services_.printer->print(pages);
    if (!printed) {
        services_.dialogs.message("Le journal n'a pas été imprimé : " + printed.why() + ".",
                                  program_title);
        return;
    }
    const auto n = static_cast<long long>(pages.pages.size());
    note(*printed == Printer::Outcome::printed
             ? from_utf8("Journal imprimé (" + integer_text(n) + (n == 1 ? " page)." : " pages)."))
             : QString("Impression annulée."));
}

} // namespace marivent::app
