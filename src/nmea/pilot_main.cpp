// marivent-pilot: reads NMEA lines on standard input and writes on standard output exactly the
// bytes the window would send to the autopilot, one $AGAPA sentence per accepted line while the
// route data is valid. It never sets the clock.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "common/number_text.h"
#include "nmea/decoder.h"
#include "nmea/null_display.h"

namespace {

constexpr const char* usage =
    "Usage : marivent-pilot [--tous-emetteurs] [--help] < NMEA > APA\n"
    "\n"
    "Lit des phrases NMEA 0183 sur l'entrée standard (lignes terminées par CR LF, LF ou CR) et\n"
    "écrit sur la sortie standard, octet pour octet, ce que la fenêtre Journal de bord enverrait\n"
    "au pilote automatique : une phrase $AGAPA après chaque ligne acceptée (talker GP ou PG),\n"
    "tant que la dernière phrase RMB n'est pas au statut V. Une ligne abîmée (somme de contrôle\n"
    "fausse, caractère de contrôle, deux phrases mêlées) est rejetée et comptée sur l'erreur\n"
    "standard. Chaque ligne est traitée comme si le\n"
    "GPS l'avait envoyée terminée par CR LF. L'horloge de l'ordinateur n'est jamais réglée.\n"
    "\n"
    "--tous-emetteurs : prend aussi les phrases des récepteurs GNSS d'aujourd'hui (GN, GA, GL,\n"
    "GB, BD, GQ, GI) comme celles d'un GPS (GP), et la phrase RMB de tout émetteur (EC, II...).\n"
    "\n"
    "Exemple : marivent-pilot < trace.nmea > /dev/ttyUSB1\n";

} // namespace

int main(int argc, char** argv) {
    bool all_talkers = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--tous-emetteurs") == 0) {
            all_talkers = true;
            continue;
        }
        const std::string said = std::string("marivent-pilot : option inconnue « ") + argv[i] + " » (voir --help)\n";
        std::fputs(said.c_str(), stderr);
        return 2;
    }

    marivent::nmea::NullDisplay display;
    marivent::nmea::Navigation nav;
    const marivent::nmea::DecodeContext context{display, ',', "", nullptr, all_talkers};
    std::string out;
    out.reserve(1 << 17);
    // Each line reaches the decoder as the GPS sends it: its characters, CR, then LF.
    auto end_line = [&] {
        if (auto r = marivent::nmea::receive_char(nav, '\r', context)) out += r->apa;
        marivent::nmea::receive_char(nav, '\n', context);
        if (out.size() >= (1 << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    };

    static char buf[1 << 16];
    bool after_cr = false, in_line = false;
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, stdin);
        if (n == 0) break;
        for (std::size_t i = 0; i < n; ++i) {
            const char c = buf[i];
            if (c == '\n' && after_cr) { after_cr = false; continue; } // the LF of CR LF
            after_cr = c == '\r';
            if (c == '\r' || c == '\n') {
                end_line();
                in_line = false;
            } else {
                marivent::nmea::receive_char(nav, c, context);
                in_line = true;
            }
        }
    }
    if (in_line) end_line(); // a last line without its ending
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (nav.rejetees > 0) {
        const std::string said = "marivent-pilot : " + marivent::integer_text(nav.rejetees) +
                                 " ligne(s) rejetée(s) (somme de contrôle fausse, caractère de "
                                 "contrôle ou phrases mêlées)\n";
        std::fputs(said.c_str(), stderr);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
