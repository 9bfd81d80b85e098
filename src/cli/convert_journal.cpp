// marivent-convert journal2gpx, journal2csv and journal2pdf: the journal as a GPX track, a CSV
// table or printed pages, its dates in UTC with the offset of --decalage or of the settings beside
// the journal.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "common/text.h"
#include "common/value.h"
#include "convert.h"
#include "journal/journal_export.h"
#include "journal/journal_seal.h"
#include "journal/pdf_file.h"
#include "journal/print_sources.h"
#include "prefs/settings_file.h"
#include "transfer/transfer_driver.h"

namespace marivent::cli {

namespace fs = std::filesystem;
namespace tr = marivent::transfer;

namespace {

// "1 entrée", "3 entrées".
std::string counted(long long n, const char* one, const char* many) {
    return marivent::integer_text(n) + " " + (n == 1 ? one : many);
}

// An offset in hours as the user writes it: "2", "-5", "+5.5", "5,5".
std::optional<double> offset_argument(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == ',') c = '.';
    const std::size_t sign = !s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (s.size() == sign) return std::nullopt;
    for (std::size_t i = sign; i < s.size(); ++i)
        if (!marivent::is_digit(s[i]) && s[i] != '.') return std::nullopt;
    if (s.find('.') != s.rfind('.') || s.substr(sign) == ".") return std::nullopt;
    const double value = marivent::numeric_value(s);
    if (value < -24 || value > 24) return std::nullopt;
    return value;
}

struct Offset {
    double hours = 0;
    std::string origin; // French, for the report
};

// The offset of the settings file beside the journal (record 2), as the window takes it; 0 when
// there is no such file or record. Nothing, with the reason said, when it cannot be read.
std::optional<Offset> settings_offset(const fs::path& journal) {
    const fs::path file = (journal.has_parent_path() ? journal.parent_path() : fs::path(".")) /
                          std::string(marivent::settings_file_name);
    std::error_code ec;
    if (!fs::exists(file, ec)) return Offset{0, "aucun fichier " + marivent::display_path(file)};
    const marivent::Result<std::string> bytes = marivent::read_file(file);
    if (!bytes) {
        say_error("Impossible de lire les préférences " + marivent::display_path(file) + " : " +
                  bytes.why() + " (--decalage pour donner le décalage).");
        return std::nullopt;
    }
    const marivent::prefs::SettingsRecords records = marivent::prefs::parse_settings(*bytes);
    if (records.records == 0 || !records.text[1])
        return Offset{0, "pas de décalage dans " + marivent::display_path(file)};
    const double hours = marivent::numeric_value(*records.text[1]);
    if (hours < -24 || hours > 24) {
        say_error("Le décalage des préférences " + marivent::display_path(file) + " (" +
                  marivent::cp1252_to_utf8(*records.text[1]) +
                  ") n'est pas entre -24 et 24 heures (--decalage pour le donner).");
        return std::nullopt;
    }
    return Offset{hours, "pris dans " + marivent::display_path(file)};
}

} // namespace

int journal_command(JournalExport kind, const std::vector<std::string_view>& args) {
    namespace jr = marivent::journal;
    bool force = false;
    std::optional<fs::path> out_file, source;
    std::optional<Offset> offset;
    std::vector<jr::DateFormat> formats;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto a = args[i];
        if (a == "--force") {
            force = true;
        } else if (a == "-o") {
            if (i + 1 == args.size()) return usage_error("-o demande un fichier");
            out_file = fs::path(std::string(args[++i]));
        } else if (a == "--decalage") {
            if (i + 1 == args.size()) return usage_error("--decalage demande un nombre d'heures");
            const std::optional<double> h = offset_argument(args[++i]);
            if (!h)
                return usage_error("--decalage « " + std::string(args[i]) +
                                   " » : un nombre d'heures entre -24 et 24 est attendu");
            offset = Offset{*h, "--decalage"};
        } else if (a == "--format-date") {
            if (i + 1 == args.size()) return usage_error("--format-date demande un format");
            const auto f = jr::DateFormat::parse(marivent::utf8_to_cp1252(args[++i]));
            if (!f)
                return usage_error("--format-date « " + std::string(args[i]) + " » : " + f.why());
            formats = {*f};
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return usage_error("option inconnue « " + std::string(a) + " »");
        } else if (source) {
            return usage_error("un seul journal à la fois");
        } else {
            source = fs::path(std::string(a));
        }
    }
    if (!source) return usage_error("aucun journal à convertir");
    if (formats.empty()) formats = jr::default_date_formats();
    // Beside the journal, or in the folder -o names, with the journal's name; else the file -o
    // names.
    const bool gpx = kind == JournalExport::gpx;
    const fs::path named =
        source->filename().replace_extension(gpx                          ? ".gpx"
                                             : kind == JournalExport::csv ? ".csv"
                                                                          : ".pdf");
    std::error_code folder_error;
    const fs::path out = !out_file                                   ? source->parent_path() / named
                         : fs::is_directory(*out_file, folder_error) ? *out_file / named
                                                                     : *out_file;
    const std::string shown = marivent::display_path(*source);

    const marivent::Result<std::string> bytes = marivent::read_file(*source);
    if (!bytes) {
        say_error("Impossible de lire le journal " + shown + " : " + bytes.why() + ".");
        return 1;
    }
    if (!offset) offset = settings_offset(*source);
    if (!offset) return 1;

    const jr::JournalRead journal = jr::read_journal(*bytes, {offset->hours, formats});
    if (!journal.looks_like_journal()) {
        say_error(shown + " n'est pas un journal de bord : ni en-tête, ni date, ni entrée. Aucun "
                          "fichier n'est écrit.");
        return 1;
    }
    if (!journal.bad_dates.empty()) {
        std::string names;
        for (std::size_t k = 0; k < formats.size(); ++k)
            names += (k == 0 ? "" : k + 1 == formats.size() ? " ni " : ", ") + formats[k].pattern();
        constexpr std::size_t shown_most = 10;
        for (std::size_t k = 0; k < journal.bad_dates.size() && k < shown_most; ++k)
            say_error(shown + ", ligne " + marivent::integer_text(journal.bad_dates[k].number) +
                      " : « " + marivent::cp1252_to_utf8(journal.bad_dates[k].text) +
                      " » n'est pas une date " + names + ".");
        if (journal.bad_dates.size() > shown_most)
            say_error("... et " +
                      counted(static_cast<long long>(journal.bad_dates.size() - shown_most),
                              "autre ligne de date", "autres lignes de date") +
                      ".");
        say_error("Les dates des entrées ne peuvent pas être établies : aucun fichier n'est écrit "
                  "(--format-date pour donner le format des dates).");
        return 1;
    }

    // Never over the journal itself, even with --force.
    std::error_code ec;
    if (fs::equivalent(out, *source, ec)) {
        say_error(marivent::display_path(out) +
                  " est le journal lui-même : il n'est pas remplacé.");
        return 1;
    }
    std::string text;
    long long rows = gpx ? journal.points() : static_cast<long long>(journal.lines.size());
    if (kind == JournalExport::pdf) {
        const jr::Pages pages = jr::journal_pages(journal, jr::print_head(*bytes, *source));
        rows = static_cast<long long>(pages.pages.size());
        text = jr::pdf_file(pages);
    } else {
        text = gpx ? jr::gpx_track(journal, marivent::display_path(source->stem()))
                   : jr::csv_table(journal);
    }
    ConsoleDialogs dialogs(force);
    tr::Outcome written;
    if (!tr::write_output(out, text, tr::replace_question, dialogs, written)) {
        if (written.end == tr::Outcome::End::declined) say_not_replaced(out, false);
        return 1;
    }

    const char* unit = gpx ? "point" : kind == JournalExport::csv ? "ligne" : "page";
    const char* units = gpx ? "points" : kind == JournalExport::csv ? "lignes" : "pages";
    std::fputs(("écrit : " + marivent::display_path(out) + " (" + counted(rows, unit, units) +
                ", décalage " + marivent::general_text(offset->hours) + " h, " + offset->origin +
                ")\n")
                   .c_str(),
               stdout);

    // What was not taken whole, in one line; the pages show every line as it is.
    if (kind == JournalExport::pdf) return std::fflush(stdout) == 0 ? 0 : 1;
    const int without_position = journal.entries_without_position();
    const std::vector<int> unreadable = journal.unreadable_lines();
    const int untimed = journal.positions_without_time();
    std::string said;
    if (without_position > 0)
        said = counted(without_position, "entrée sans position", "entrées sans position");
    if (!unreadable.empty()) {
        if (!said.empty()) said += " et ";
        said += counted(static_cast<long long>(unreadable.size()), "ligne non reconnue",
                        "lignes non reconnues");
        said += unreadable.size() == 1 ? " (ligne " : " (lignes ";
        for (std::size_t k = 0; k < unreadable.size() && k < 5; ++k)
            said += (k ? ", " : "") + marivent::integer_text(unreadable[k]);
        said += unreadable.size() > 5 ? "...)" : ")";
    }
    if (!said.empty()) {
        const bool one = static_cast<std::size_t>(without_position) + unreadable.size() == 1;
        said += gpx ? (one ? " laissée hors de la trace" : " laissées hors de la trace")
                    : (one ? " gardée avec des champs vides" : " gardées avec des champs vides");
    }
    if (untimed > 0) {
        if (!said.empty()) said += " ; ";
        said += gpx ? counted(untimed, "point sans date ou sans heure, dans la trace sans heure",
                              "points sans date ou sans heure, dans la trace sans heure")
                    : counted(untimed, "entrée avec une position mais sans date ou sans heure",
                              "entrées avec une position mais sans date ou sans heure");
    }
    if (!said.empty()) say_error(said + ".");
    if (std::fflush(stdout) != 0) return 1;
    return 0;
}

int seal_command(const std::vector<std::string_view>& args) {
    namespace jr = marivent::journal;
    std::optional<fs::path> source;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto a = args[i];
        if (!a.empty() && a[0] == '-' && a != "-")
            return usage_error("option inconnue « " + std::string(a) + " »");
        if (source) return usage_error("un seul journal à la fois");
        source = fs::path(std::string(a));
    }
    if (!source) return usage_error("aucun journal à vérifier");
    const std::string shown = marivent::display_path(*source);
    const fs::path seal = jr::seal_path(*source);
    const std::string seal_shown = marivent::display_path(seal);

    const marivent::Result<std::string> bytes = marivent::read_file(*source);
    if (!bytes) {
        say_error("Impossible de lire le journal " + shown + " : " + bytes.why() + ".");
        return 1;
    }
    std::error_code ec;
    std::optional<std::string> seal_bytes;
    if (fs::exists(seal, ec)) {
        marivent::Result<std::string> read = marivent::read_file(seal);
        if (!read) {
            say_error("Impossible de lire le sceau " + seal_shown + " : " + read.why() + ".");
            return 1;
        }
        seal_bytes = std::move(*read);
    }
    const jr::SealCheck check = jr::check_seal(
        *bytes, seal_bytes ? std::optional<std::string_view>(*seal_bytes) : std::nullopt);
    const std::string verdict = jr::seal_verdict(check, seal_shown);
    if (!check.intact()) {
        say_error(shown + " : " + verdict);
        return 1;
    }
    long long sealed = check.lines;
    for (const auto& [first, last] : check.unsealed)
        sealed -= last - first + 1;
    std::fputs((shown + " : intact, " + counted(sealed, "ligne scellée", "lignes scellées") +
                " sur " + marivent::integer_text(check.lines) + " (sceau " + seal_shown + ")." +
                (verdict.empty() ? "" : " " + verdict) + "\n")
                   .c_str(),
               stdout);
    return 0;
}

} // namespace marivent::cli
