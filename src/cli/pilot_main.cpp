// marivent-pilot: reads NMEA lines on standard input and writes on standard output exactly the
// bytes the window would send to the autopilot: by default one $AGAPA sentence per accepted line
// while the route data is valid, or with --pilote the APB (+ RMB + XTE) set once per valid RMB.
// It never sets the clock.
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
    "Usage : marivent-pilot [--tous-emetteurs] [--pilote apa|apb|apb+rmb+xte]\n"
    "                       [--relevement vrai|magnetique] [--declinaison 2.5W]\n"
    "                       [--emetteur AG] [--help] < NMEA > PILOTE\n"
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
    "--pilote : ce qui part au pilote. apa (par défaut) : $AGAPA comme ci-dessus. apb : une\n"
    "phrase APB pour chaque RMB valide (statut A) reçue. apb+rmb+xte : APB, RMB et XTE pour\n"
    "chaque RMB valide. Elles sont faites de cette RMB seule (écart de route, sens, point de\n"
    "destination, relèvement, arrivée) ; un champ vide ou illisible part vide.\n"
    "--relevement : les relèvements de APB vrais (vrai, par défaut) ou magnétiques (magnetique),\n"
    "avec la déclinaison de la dernière RMC, sinon celle de --declinaison. En magnétique sans\n"
    "déclinaison connue, APB et RMB ne partent pas (XTE si) et l'erreur standard dit pourquoi.\n"
    "La RMB garde son relèvement vrai, comme le veut la norme.\n"
    "--declinaison : la déclinaison quand le GPS n'en donne pas, en degrés suivis de E ou W\n"
    "(2.5W, 2,5W, 1E).\n"
    "--emetteur : les deux lettres de l'émetteur des phrases envoyées, APA comprise (AG par\n"
    "défaut).\n"
    "\n"
#ifdef _WIN32
    "Exemple : marivent-pilot < trace.nmea > COM2\n";
#else
    "Exemple : marivent-pilot < trace.nmea > /dev/ttyUSB1\n";
#endif

int refuse(const std::string& why) {
    std::fputs(("marivent-pilot : " + why + " (voir --help)\n").c_str(), stderr);
    return 2;
}

// The option `name`, given as "--name value" or "--name=value".
bool is_option(std::string_view arg, std::string_view name) {
    return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                           arg[name.size()] == '=');
}

} // namespace

int main(int argc, char** argv) {
    using namespace marivent::nmea;
    marivent::cli::bytes_as_they_are();
    bool all_talkers = false;
    PilotChoice choice;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
        if (arg == "--tous-emetteurs") {
            all_talkers = true;
            continue;
        }
        std::string_view name;
        for (std::string_view known : {"--pilote", "--relevement", "--declinaison", "--emetteur"})
            if (is_option(arg, known)) name = known;
        if (name.empty()) return refuse("option inconnue « " + std::string(arg) + " »");
        std::string_view value;
        if (arg.size() > name.size()) {
            value = arg.substr(name.size() + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return refuse("il manque la valeur de " + std::string(name));
        }
        const std::string said = std::string(name) + " « " + std::string(value) + " »";
        if (name == "--pilote") {
            const std::optional<PilotKind> kind = pilot_kind_named(value);
            if (!kind) return refuse(said + " inconnu : apa, apb ou apb+rmb+xte");
            choice.kind = *kind;
        } else if (name == "--relevement") {
            if (value == "vrai")
                choice.reference = BearingReference::true_north;
            else if (value == "magnetique" || value == "magnétique")
                choice.reference = BearingReference::magnetic;
            else
                return refuse(said + " inconnu : vrai ou magnetique");
        } else if (name == "--declinaison") {
            const marivent::Result<Variation> v = parse_variation(value);
            if (!v) return refuse(v.why());
            choice.user_variation = *v;
        } else {
            if (!valid_talker(value))
                return refuse(said + " : deux lettres majuscules, par exemple GP");
            choice.talker = std::string(value);
        }
    }

    PilotStream stream(all_talkers, choice);
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
    if (stream.refused() > 0) {
        const std::string said = "marivent-pilot : " + marivent::integer_text(stream.refused()) +
                                 " phrase(s) RMB sans leur APB (" + stream.refused_why() + ")\n";
        std::fputs(said.c_str(), stderr);
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
