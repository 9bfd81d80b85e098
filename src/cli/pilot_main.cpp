// marivent-pilot: reads NMEA lines on standard input and writes on standard output exactly the
// bytes the window would send to the autopilot, one $AGAPA sentence per accepted line while the
// route data is valid. It never sets the clock.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

#include "common/number_text.h"
#include "console.h"
#include "nmea/pilot_stream.h"

namespace {

constexpr const char* usage =
    "Usage : marivent-pilot [--tous-emetteurs] [--help] < NMEA > APA\n"
    "\n"
    "Lit des phrases NMEA 0183 sur l'entrée standard (lignes terminées par CR LF, LF ou CR) et\n"
    "écrit sur la sortie standard, octet pour octet, ce que la fenêtre Journal de bord enverrait\n"
    "au pilote automatique : une phrase $AGAPA après chaque ligne acceptée (talker GP ou PG),\n"
    "tant que la dernière phrase RMB n'est pas au statut V. Une ligne abîmée (somme de contrôle\n"
    "fausse, caractère de contrôle, deux phrases mêlées) ou une phrase RMA, RMB ou RMC sans\n"
    "somme de contrôle est rejetée et comptée sur l'erreur standard. Chaque ligne est traitée\n"
    "comme si le GPS l'avait envoyée terminée par CR LF, dès qu'elle arrive (un GPS en direct\n"
    "par un tube est suivi ligne à ligne). L'horloge de l'ordinateur n'est jamais réglée.\n"
    "\n"
    "--tous-emetteurs : prend aussi les phrases des récepteurs GNSS d'aujourd'hui (GN, GA, GL,\n"
    "GB, BD, GQ, GI) comme celles d'un GPS (GP), et la phrase RMB de tout émetteur (EC, II...).\n"
    "\n"
#ifdef _WIN32
    "Exemple : marivent-pilot < trace.nmea > COM2\n";
#else
    "Exemple : marivent-pilot < trace.nmea > /dev/ttyUSB1\n";
#endif

} // namespace

int main(int argc, char** argv) {
    marivent::cli::bytes_as_they_are();
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
        const std::string said =
            std::string("marivent-pilot : option inconnue « ") + argv[i] + " » (voir --help)\n";
        std::fputs(said.c_str(), stderr);
        return 2;
    }

    marivent::nmea::PilotStream stream(all_talkers);
    std::string out;
    out.reserve(1 << 17);
    static char buf[1 << 16];
    // read() hands over what has arrived, so a GPS piped in live is answered line by line; a
    // file comes in 64 KiB at a time.
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        stream.feed(std::string_view(buf, static_cast<std::size_t>(n)), out);
        if (!out.empty()) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            std::fflush(stdout);
            out.clear();
        }
    }
    stream.finish(out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    const long rejetees = stream.nav().rejetees;
    if (rejetees > 0) {
        const std::string said = "marivent-pilot : " + marivent::integer_text(rejetees) +
                                 " ligne(s) rejetée(s) (somme de contrôle fausse ou absente, "
                                 "caractère de contrôle ou phrases mêlées)\n";
        std::fputs(said.c_str(), stderr);
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
