#include "journal/journal_seal.h"

#include "common/number_text.h"
#include "common/text.h"

namespace marivent::journal {

namespace {

// A line number of the seal: decimal digits only, at most 15 of them.
std::optional<long long> line_number(std::string_view text) {
    if (text.empty() || text.size() > 15) return std::nullopt;
    long long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string lines_text(long long first, long long last) {
    return first == last ? "ligne " + integer_text(first)
                         : "lignes " + integer_text(first) + " à " + integer_text(last);
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 32);
    return text;
}

} // namespace

std::filesystem::path seal_path(const std::filesystem::path& journal) {
    std::filesystem::path seal = journal;
    return seal.replace_extension(".sceau");
}

std::vector<std::string_view> journal_lines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::size_t size = end == std::string_view::npos ? bytes.size() : end + 1;
        lines.push_back(bytes.substr(0, size));
        bytes.remove_prefix(size);
    }
    return lines;
}

Sha256Digest chained_digest(const std::optional<Sha256Digest>& previous, std::string_view bytes) {
    return previous ? sha256(std::string_view(reinterpret_cast<const char*>(previous->data()),
                                              previous->size()),
                             bytes)
                    : sha256(bytes);
}

std::string seal_record(long long line, std::string_view bytes,
                        const std::optional<Sha256Digest>& previous, Sha256Digest& digest) {
    digest = chained_digest(previous, bytes);
    return integer_text(line) + " " + hex_text(digest) + "\r\n";
}

SealCheck check_seal(std::string_view journal, std::optional<std::string_view> seal) {
    SealCheck check;
    const std::vector<std::string_view> lines = journal_lines(journal);
    check.lines = static_cast<long long>(lines.size());
    check.last_cut_short = !lines.empty() && lines.back().back() != '\n';
    if (!seal) {
        if (check.lines > 0) check.unsealed.emplace_back(1, check.lines);
        check.tail = check.lines;
        return check;
    }
    check.seal = SealCheck::Seal::read;
    const auto unreadable = [&](long long seal_line, const std::string& what) {
        check = SealCheck{};
        check.seal = SealCheck::Seal::unreadable;
        check.unreadable_why =
            seal_line > 0 ? "ligne " + integer_text(seal_line) + " du sceau : " + what : what;
        check.lines = static_cast<long long>(lines.size());
        check.last_cut_short = !lines.empty() && lines.back().back() != '\n';
        return check;
    };
    if (seal->empty()) return unreadable(0, "il est vide");
    if (seal->back() != '\n') return unreadable(0, "sa dernière ligne est coupée");

    long long covered = 0;      // the journal line the chain stands at
    bool chain_started = false; // a "debut" has been read
    std::optional<Sha256Digest> previous;
    const auto altered = [&](long long line, bool missing) {
        check.last_chain_holds = false;
        if (check.first_altered != 0) return;
        check.first_altered = line;
        check.first_missing = missing;
    };

    std::string_view rest = *seal;
    for (long long seal_line = 1; !rest.empty(); ++seal_line) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (seal_line == 1) {
            if (line != seal_title) return unreadable(1, "ce n'est pas un sceau de journal");
            continue;
        }
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) return unreadable(seal_line, "ligne illisible");
        const std::string_view first = line.substr(0, space), second = line.substr(space + 1);
        if (first == "debut") {
            const std::optional<long long> n = line_number(second);
            if (!n) return unreadable(seal_line, "numéro de ligne illisible");
            if (*n > covered && covered < check.lines)
                check.unsealed.emplace_back(covered + 1, std::min(*n, check.lines));
            chain_started = true;
            check.last_chain_holds = true;
            covered = *n;
            previous.reset();
            if (covered > check.lines) altered(check.lines + 1, true);
            continue;
        }
        const std::optional<long long> n = line_number(first);
        const std::optional<Sha256Digest> digest = digest_of_hex(second);
        if (!n || !digest) return unreadable(seal_line, "ligne illisible");
        if (!chain_started) return unreadable(seal_line, "une ligne scellée avant « debut »");
        if (*n != covered + 1)
            return unreadable(seal_line, "la ligne " + integer_text(covered + 1) +
                                             " du journal était attendue");
        if (*n > check.lines) {
            altered(*n, true);
        } else {
            if (chained_digest(previous, lines[static_cast<std::size_t>(*n - 1)]) != *digest)
                altered(*n, false);
        }
        previous = digest;
        covered = *n;
    }
    if (!chain_started) return unreadable(0, "il ne contient aucune ligne « debut »");
    check.chain_line = covered;
    check.chain_digest = previous;
    if (check.lines > covered) {
        check.tail = check.lines - covered;
        check.unsealed.emplace_back(covered + 1, check.lines);
    }
    return check;
}

std::string seal_verdict(const SealCheck& check, std::string_view seal_name) {
    const std::string name(seal_name);
    if (check.seal == SealCheck::Seal::missing)
        return "Aucun sceau " + name + " : le journal ne peut pas être vérifié.";
    if (check.seal == SealCheck::Seal::unreadable)
        return "Le sceau " + name + " est illisible (" + check.unreadable_why +
               ") : le journal ne peut pas être vérifié.";
    std::string said;
    const auto say = [&said](const std::string& sentence) {
        said += (said.empty() ? "" : " ") + sentence;
    };
    if (check.first_altered != 0) {
        const std::string at = integer_text(check.first_altered);
        say("Le journal ne correspond plus à son sceau à partir de la ligne " + at +
            (check.first_missing
                 ? " : il s'arrête à la ligne " + integer_text(check.lines) +
                       ", le sceau en connaît davantage."
                 : " : cette ligne a été modifiée, ôtée, ajoutée ou déplacée hors du programme."));
    }
    for (std::size_t k = 0; k < check.unsealed.size(); ++k) {
        const auto [first, last] = check.unsealed[k];
        const bool tail = k + 1 == check.unsealed.size() && check.tail > 0;
        const bool one = first == last;
        if (tail && check.tail_awaits_seal())
            say(capitalised(lines_text(first, last)) +
                (one ? " pas encore scellée : écrite" : " pas encore scellées : écrites") +
                " juste avant un arrêt du programme, ou ajoutée" + (one ? "" : "s") +
                " hors de lui.");
        else
            say(capitalised(lines_text(first, last)) +
                (one ? " non scellée (écrite" : " non scellées (écrites") +
                " avant le sceau ou sans lui).");
    }
    if (check.last_cut_short)
        say("La dernière ligne du journal (" + integer_text(check.lines) +
            ") n'a pas de fin de ligne : elle a été coupée.");
    return said;
}

} // namespace marivent::journal
