#include "journal/journal_file.h"
#include "common/number_text.h"

#include "journal/journal_seal.h"

#include "common/cp1252.h"
#include "common/date_format.h"
#include "common/file_io.h"
#include "common/lines.h"
#include "common/paths.h"
#include "common/text.h"

namespace marivent::journal {

namespace {

// Lines kept back while the journal cannot be written: far more than days of entries.
constexpr std::size_t kept_back_limit = 1 << 20;

std::string unable(const std::filesystem::path& file, const char* what, const std::string& why) {
    return "Le journal " + display_path(file) + " " + what + " (" + why + ").";
}

// A line of the file quoted in a message: its start only, control characters as spaces.
std::string quote_of(std::string_view bytes) {
    constexpr std::size_t most = 40;
    std::string shown(bytes.substr(0, most));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return "« " + cp1252_to_utf8(shown) + (bytes.size() > most ? "… »" : " »");
}

} // namespace

ItemScan scan_items(std::string_view bytes) {
    ItemScan scan;
    LineCursor cursor(bytes);
    for (std::string_view line; scan.items < 3 && cursor.next(line);) {
        // The line's items, cut at its commas.
        for (;;) {
            while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
                line.remove_prefix(1);
            const std::size_t comma = line.find(',');
            if (++scan.items == 3) {
                scan.third = std::string(trimmed(line.substr(0, comma)));
                break;
            }
            if (comma == std::string_view::npos) break;
            line.remove_prefix(comma + 1);
            // A comma that ends the text has no item after it.
            if (line.empty() && line.data() == bytes.data() + bytes.size()) break;
        }
    }
    return scan;
}

JournalFile::JournalFile(std::filesystem::path file, const RegionalSettings& regional,
                         const Clock& clock)
    : file_(std::move(file)), regional_(regional), clock_(clock) {}

PrepareOutcome JournalFile::prepare() {
    if (const Status made = ensure_file(file_); !made)
        return {failure(unable(file_, "ne peut pas être créé", made.why())), std::nullopt};
    const Result<std::string> bytes = read_file(file_);
    if (!bytes) return {failure(unable(file_, "ne peut pas être lu", bytes.why())), std::nullopt};

    open_seal(*bytes);

    const ItemScan scan = scan_items(*bytes);
    if (scan.items == 0) {
        const std::string head = std::string(header_line) + "\r\n\r\n" +
                                 regional_.short_date(clock_.now().date) + "\r\n";
        if (const Status written = append_file(file_, head); !written)
            return {failure(unable(file_, "ne peut pas être écrit", written.why())), std::nullopt};
        PrepareOutcome out;
        out.notice = seal_appended(head);
        return out;
    }
    if (scan.third) {
        std::optional<Date> d = regional_.parse_short_date(*scan.third);
        if (!d) d = read_date(*scan.third, default_date_formats());
        if (d) {
            datejourn_ = *d;
            return {};
        }
    }
    const std::string what = scan.third ? "La troisième ligne du journal, " +
                                              quote_of(*scan.third) + ", n'est pas une date"
                                        : std::string("Le journal n'a pas de troisième ligne");
    third_line_notice_ = what + " : une ligne de date sera écrite avant la prochaine entrée.";
    PrepareOutcome out;
    out.notice = third_line_notice_;
    return out;
}

EntryOutcome JournalFile::append_entry(const EntryFields& fields, EntryEvent event) {
    return append_line(entry_line(fields, event));
}

EntryOutcome JournalFile::append_line(std::string line) {
    const LocalDateTime now = clock_.now();
    std::string lines;
    if (now.date != datejourn_) {
        lines = regional_.short_date(now.date) + "\r\n";
        datejourn_ = now.date; // the date line is written now or kept back with the entry
    }
    lines += line;

    EntryOutcome out;
    std::string bytes = kept_back_ + lines;
    std::error_code error;
    const bool gone = !std::filesystem::exists(file_, error) && !error;
    if (gone) {
        // Deleted or moved away while the program runs: a new journal, headed as at start-up and
        // dated by its first line, rather than entries without a header.
        const std::string date_line =
            regional_.short_date(kept_back_.empty() ? now.date : kept_back_date_) + "\r\n";
        if (bytes.compare(0, date_line.size(), date_line) == 0) bytes.erase(0, date_line.size());
        bytes = std::string(header_line) + "\r\n\r\n" + date_line + bytes;
    }
    if (gone) start_chain(0); // a new journal: its lines are numbered from 1 again
    const Status written = append_file(file_, bytes);
    if (written) {
        const std::optional<std::string> seal_failure = seal_appended(bytes);
        kept_back_.clear();
        third_line_notice_.reset(); // the entry came with its date line
        failing_ = false;
        out.caption = hour_caption(now.hour, now.minute);
        if (gone)
            out.notice = "Le journal " + display_path(file_) +
                         " avait disparu : un nouveau journal a été commencé avec cette entrée.";
        if (seal_failure)
            out.notice = out.notice ? *out.notice + " " + *seal_failure : *seal_failure;
        return out;
    }
    if (kept_back_.empty()) kept_back_date_ = now.date;
    if (kept_back_.size() + lines.size() <= kept_back_limit) kept_back_ += lines;
    out.written = failure(unable(file_, "ne peut pas être écrit", written.why()) +
                          " Les entrées sont gardées et seront écrites dès que possible.");
    out.first_failure = !failing_;
    failing_ = true;
    return out;
}

std::filesystem::path JournalFile::seal_file() const {
    return seal_path(file_);
}

void JournalFile::open_seal(std::string_view journal_bytes) {
    const std::filesystem::path seal = seal_file();
    const std::string name = display_path(seal);
    std::error_code error;
    const bool exists = std::filesystem::exists(seal, error);
    Result<std::string> seal_bytes = failure("");
    if (exists) {
        seal_bytes = read_file(seal);
        if (!seal_bytes) {
            seal_notice_ = "Le sceau " + name + " ne peut pas être lu (" + seal_bytes.why() +
                           ") : le journal n'est pas vérifié et ses nouvelles lignes ne sont pas "
                           "scellées.";
            seal_status_ = "illisible, journal non vérifié";
            return;
        }
    }
    SealCheck check = check_seal(
        journal_bytes, seal_bytes ? std::optional<std::string_view>(*seal_bytes) : std::nullopt);
    seal_on_ = true;
    switch (check.seal) {
    case SealCheck::Seal::unreadable:
        // Left as it is for whoever wants to see it; nothing is added to what cannot be read.
        seal_on_ = false;
        seal_notice_ = seal_verdict(check, name) +
                       " Il est laissé tel quel et les nouvelles lignes ne sont pas scellées ; "
                       "ôtez-le pour sceller le journal à partir de sa fin.";
        seal_status_ = "illisible, journal non vérifié";
        return;
    case SealCheck::Seal::missing:
        start_chain(check.lines);
        seal_glue_ = check.last_cut_short;
        if (check.lines > 0)
            seal_notice_ = "Le journal n'avait pas de sceau : il est scellé à partir de la ligne " +
                           integer_text(check.lines + 1) + " ; " +
                           (check.lines == 1 ? "la ligne 1 n'est pas scellée."
                                             : "les lignes 1 à " + integer_text(check.lines) +
                                                   " ne sont pas scellées.");
        break;
    case SealCheck::Seal::read: {
        seal_line_ = check.chain_line;
        seal_digest_ = check.chain_digest;
        std::string sealed_now;
        if (check.tail_awaits_seal()) {
            // The lines of one append whose records the program could not write before it
            // stopped: sealed now, and said.
            const std::vector<std::string_view> lines = journal_lines(journal_bytes);
            for (long long k = check.chain_line; k < check.lines; ++k) {
                Sha256Digest digest;
                seal_kept_ +=
                    seal_record(k + 1, lines[static_cast<std::size_t>(k)], seal_digest_, digest);
                seal_digest_ = digest;
            }
            const auto [first, last] = check.unsealed.back();
            sealed_now = first == last
                             ? "La ligne " + integer_text(first) +
                                   ", écrite sans son sceau (arrêt du programme, ou "
                                   "ajout hors de lui), est scellée maintenant."
                             : "Les lignes " + integer_text(first) + " à " + integer_text(last) +
                                   ", écrites sans leur sceau (arrêt du programme, ou "
                                   "ajout hors de lui), sont scellées maintenant.";
            seal_line_ = check.lines;
            check.unsealed.pop_back();
            check.tail = 0;
        } else if (!check.last_chain_holds || check.tail > 0 || check.last_cut_short) {
            // The chain cannot go on from where it is: a new one from the journal's end.
            start_chain(check.lines);
            seal_glue_ = check.last_cut_short;
        }
        seal_notice_ = seal_verdict(check, name);
        if (!sealed_now.empty()) seal_notice_ += (seal_notice_.empty() ? "" : " ") + sealed_now;
        if (check.first_altered != 0)
            seal_status_ = "journal modifié hors du programme à partir de la ligne " +
                           integer_text(check.first_altered) + " (Journal > Lire)";
        break;
    }
    }
    if (const std::optional<std::string> failed = write_seal()) {
        seal_notice_ += (seal_notice_.empty() ? "" : " ") + *failed;
        if (seal_status_.empty()) seal_status_ = "il ne peut pas être écrit";
    }
}

void JournalFile::start_chain(long long after_line) {
    seal_kept_ += "debut " + integer_text(after_line) + "\r\n";
    seal_line_ = after_line;
    seal_digest_.reset();
    seal_glue_ = false;
}

std::optional<std::string> JournalFile::seal_appended(std::string_view bytes) {
    if (!seal_on_) return std::nullopt;
    const std::vector<std::string_view> lines = journal_lines(bytes);
    std::size_t k = 0;
    if (seal_glue_ && !lines.empty()) k = 1; // the end of the cut line: it stays unsealed
    seal_glue_ = false;
    for (; k < lines.size(); ++k) {
        Sha256Digest digest;
        seal_kept_ += seal_record(++seal_line_, lines[k], seal_digest_, digest);
        seal_digest_ = digest;
    }
    return write_seal();
}

std::optional<std::string> JournalFile::write_seal() {
    if (!seal_on_ || seal_kept_.empty()) return std::nullopt;
    const std::filesystem::path seal = seal_file();
    std::error_code error;
    if (!std::filesystem::exists(seal, error) && !error &&
        seal_kept_.compare(0, seal_title.size(), seal_title) != 0) {
        // A seal that has gone begins again here: a new chain after the lines written so far,
        // the records kept back with it lost (their lines show as not sealed).
        seal_kept_.clear();
        start_chain(seal_line_);
        seal_kept_ = std::string(seal_title) + "\r\n" + seal_kept_;
    }
    const Status written = append_file(seal, seal_kept_);
    if (written) {
        seal_kept_.clear();
        seal_failing_ = false;
        return std::nullopt;
    }
    if (seal_kept_.size() > kept_back_limit) {
        // Too long kept: the chain begins again after the lines written, which stay unsealed.
        seal_kept_.clear();
        start_chain(seal_line_);
    }
    if (seal_failing_) return std::nullopt;
    seal_failing_ = true;
    return "Le sceau " + display_path(seal) + " ne peut pas être écrit (" + written.why() +
           ") : les lignes seront scellées dès que possible.";
}

std::optional<EntryOutcome> journecri(JournalFile& journal, int gpsmauvais,
                                      const std::string& heuretu, const std::string& hemlat,
                                      const std::string& hemlon, const Display& display,
                                      EntryEvent event) {
    if (gpsmauvais != 0) return std::nullopt;
    const EntryFields fields{heuretu,
                             hemlat,
                             display.text(Box::lat),
                             hemlon,
                             display.text(Box::longit),
                             display.text(Box::vi),
                             display.text(Box::cap),
                             display.text(Box::wpt2)};
    return journal.append_entry(fields, event);
}

} // namespace marivent::journal
