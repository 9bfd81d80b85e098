// The texts of the journal's lines: entries, with their event marks, remarks and corrections, and
// the caption of the last entry's time.
#include "common/cp1252.h"
#include "common/number_text.h"
#include "common/text.h"
#include "journal/journal_file.h"

namespace marivent::journal {

std::string_view event_mark(EntryEvent event) {
    switch (event) {
    case EntryEvent::waypoint:
        return "(changement de waypoint)";
    case EntryEvent::course:
        return "(changement de cap)";
    case EntryEvent::none:
        break;
    }
    return {};
}

std::string entry_line(const EntryFields& f, EntryEvent event) {
    const std::string_view t = f.heuretu;
    std::string line;
    line.reserve(64);
    line += t.substr(0, 2);
    line += ':';
    line += t.size() > 2 ? t.substr(2, 2) : std::string_view{};
    line += ' ';
    line += f.hemlat;
    line += f.lat;
    line += ' ';
    line += f.hemlon;
    line += f.longit;
    line += "  ";
    line += f.vi;
    line += ' ';
    line += f.cap;
    line += "  ";
    line += f.wpt2;
    line += ' ';
    if (event != EntryEvent::none) {
        line += ' ';
        line += event_mark(event);
    }
    line += "\r\n";
    return line;
}

namespace {

// The text of a remark or a correction, `what` naming it in the reasons ("remarque", "correction").
Result<RemarkText> note_text(std::string_view utf8, const std::string& what) {
    RemarkText out;
    std::string cp;
    // Character by character, so that one Windows-1252 cannot hold is named, not made a "?".
    for (std::size_t at = 0; at < utf8.size();) {
        std::size_t end = at + 1;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
        const std::string_view c = utf8.substr(at, end - at);
        const std::string one = utf8_to_cp1252(c, '\0');
        if (one.size() != 1 || (one[0] == '\0' && c != std::string_view("\0", 1)))
            return failure("le caractère « " + std::string(c) +
                           " » ne peut pas être gardé dans le journal (Windows-1252) : la " + what +
                           " n'est pas écrite, corrigez-la");
        cp += one;
        at = end;
    }
    for (char c : cp) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            out.cleaned = true;
            c = ' ';
        }
        out.cp1252 += c;
    }
    out.cp1252 = std::string(trimmed(out.cp1252));
    if (out.cp1252.empty()) return failure("la " + what + " est vide : rien n'est écrit");
    if (out.cp1252.size() > remark_most)
        return failure("la " + what + " a " +
                       integer_text(static_cast<long long>(out.cp1252.size())) +
                       " caractères, le journal en garde " +
                       integer_text(static_cast<long long>(remark_most)) +
                       " au plus par ligne : rien n'est écrit");
    return out;
}

} // namespace

Result<RemarkText> remark_text(std::string_view utf8) {
    return note_text(utf8, "remarque");
}

Result<RemarkText> correction_text(std::string_view utf8) {
    return note_text(utf8, "correction");
}

namespace {

// "hh:mm " of a UTC time of day.
std::string time_prefix(int hour, int minute) {
    std::string t;
    t += static_cast<char>('0' + hour / 10);
    t += static_cast<char>('0' + hour % 10);
    t += ':';
    t += static_cast<char>('0' + minute / 10);
    t += static_cast<char>('0' + minute % 10);
    t += ' ';
    return t;
}

} // namespace

std::string remark_line(int hour, int minute, bool computer_clock, std::string_view cp1252) {
    std::string line = time_prefix(hour, minute);
    line += computer_clock ? "Remarque (heure de l'ordinateur) : " : "Remarque : ";
    line += cp1252;
    line += "\r\n";
    return line;
}

std::string correction_line(int hour, int minute, bool computer_clock, long long number,
                            std::string_view cp1252) {
    std::string line = time_prefix(hour, minute);
    line += "Correction de la ligne ";
    line += integer_text(number);
    line += computer_clock ? " (heure de l'ordinateur) : " : " : ";
    line += cp1252;
    line += "\r\n";
    return line;
}

std::string hour_caption(int hour, int minute) {
    std::string s = integer_text(hour) + ':';
    if (minute < 10) s += '0';
    return s + integer_text(minute);
}

} // namespace marivent::journal
