// The seal of the journal: a file beside it, "journal.sceau" for "journal.txt", that chains a
// SHA-256 digest to each line the program appends, so that a line changed, removed, inserted or
// put in another order outside the program is found, with the first line that differs.
//
// The seal is ASCII text, lines ended by CR LF (LF alone is read too), readable in any editor:
//
//     Sceau du journal de bord Marivent, SHA-256, version 1
//     debut 0
//     1 <64 hexadecimal digits>
//     2 <64 hexadecimal digits>
//     ...
//
// "debut N" starts a chain after journal line N: lines up to N are not sealed by it (a journal
// written before its seal existed, or begun again). Each record "K HEX" seals journal line K:
// HEX = SHA-256(D || bytes of line K with its CR LF), D being the 32 bytes of the record before
// it in the chain, nothing for the chain's first record. Records follow their "debut" line by
// line (K = the line before + 1). The line numbers make a record findable by eye and let the
// check tell a line that changed from one that is missing; the chain makes a removed, inserted or
// moved line break the record of its place. A line of the journal is its bytes up to and with
// its LF; a last piece without LF (a line cut short) is a line too.
//
// Writing: the journal's lines first, then their records, each in one append (common/file_io.h:
// all or nothing). When the program stops between the two, the journal ends with the lines of
// that one append without their records. The check says so and does not count them as altered;
// the window seals them at its next start when they are no more than one append writes
// (`one_append_most`), else starts a new chain after them, leaving them shown as not sealed. A
// record written before its line would instead leave the seal ahead of the journal, which is
// just what a journal shortened from its end looks like: that would let an entry be removed
// unseen, where this way an added line is at worst shown as not sealed.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/sha256.h"

namespace marivent::journal {

inline constexpr std::string_view seal_title =
    "Sceau du journal de bord Marivent, SHA-256, version 1";

// The most lines one append of the entry writer holds: header, empty line, date line and entry of
// a journal begun again.
inline constexpr long long one_append_most = 4;

// "journal.sceau" beside "journal.txt".
std::filesystem::path seal_path(const std::filesystem::path& journal);

// The journal's lines, each with its LF; a last piece without LF is one too.
std::vector<std::string_view> journal_lines(std::string_view bytes);

// The digest of a line's bytes after the chain's record before, if any.
Sha256Digest chained_digest(const std::optional<Sha256Digest>& previous, std::string_view bytes);

// The record of one line: "K HEX" and CR LF; `previous` is the chain's record before, if any.
std::string seal_record(long long line, std::string_view bytes,
                        const std::optional<Sha256Digest>& previous, Sha256Digest& digest);

// What the check of a journal against its seal found.
struct SealCheck {
    enum class Seal { missing, unreadable, read };
    Seal seal = Seal::missing;
    std::string unreadable_why; // French: what is wrong in the seal, and on which of its lines

    long long lines = 0;         // lines of the journal
    bool last_cut_short = false; // its last line has no line end
    long long first_altered = 0; // the first line that differs from its record; 0 when none
    bool first_missing = false;  // that line is not in the journal any more (it ends before)
    std::vector<std::pair<long long, long long>> unsealed; // ranges no record covers, in order
    long long tail = 0; // lines after the last record or "debut" (the last range)

    // Where the last chain ends, for the writer to go on: the line its last record (or "debut")
    // stands for, that record's digest, and whether every record of that chain holds.
    long long chain_line = 0;
    std::optional<Sha256Digest> chain_digest;
    bool last_chain_holds = true;

    bool intact() const { return seal == Seal::read && first_altered == 0; }
    // The journal ends with whole lines, no more than one append, after a chain that holds: what
    // a stop between a line and its record leaves, which the window seals at its next start.
    bool tail_awaits_seal() const {
        return seal == Seal::read && tail > 0 && tail <= one_append_most && !last_cut_short &&
               last_chain_holds;
    }
};

// The check of the journal's bytes against the seal's, or against none.
SealCheck check_seal(std::string_view journal, std::optional<std::string_view> seal);

// The verdict in French, one sentence for each thing found: "Le journal ne correspond plus à son
// sceau à partir de la ligne 12 …", "Lignes 1 à 40 non scellées …". Empty when the seal covers
// every line and holds.
std::string seal_verdict(const SealCheck& check, std::string_view seal_name);

} // namespace marivent::journal
