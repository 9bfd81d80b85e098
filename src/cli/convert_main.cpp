// marivent-convert: the conversions of the Transfert menu from the command line, with the same
// readers, writers and output names as the window, and the journal as a GPX track, a CSV table
// or a PDF file. A file that is not empty is replaced only with --force. The sub-commands are in
// convert_transfer.cpp and convert_journal.cpp.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/paths.h"
#include "console.h"
#include "convert.h"

namespace marivent::cli {

namespace {

constexpr const char* usage =
    "Usage : marivent-convert ozi2cmap FICHIER.rte|FICHIER.wpt|FICHIER.plt [-o DOSSIER] [--force]\n"
    "        marivent-convert cmap2ozi FICHIER [--route] [--waypoints] [-o DOSSIER] [--force]\n"
    "        marivent-convert journal2gpx JOURNAL [-o FICHIER.gpx] [--decalage H]\n"
    "                         [--format-date FORMAT] [--force]\n"
    "        marivent-convert journal2csv JOURNAL [-o FICHIER.csv] [--decalage H]\n"
    "                         [--format-date FORMAT] [--force]\n"
    "        marivent-convert journal2pdf JOURNAL [-o FICHIER.pdf] [--decalage H]\n"
    "                         [--format-date FORMAT] [--force]\n"
    "        marivent-convert journal-verifier JOURNAL\n"
    "        marivent-convert --help\n"
    "\n"
    "ozi2cmap  convertit une route, une liste de waypoints ou une trace OziExplorer en route\n"
    "          C-Map ECS, nommée comme le fichier sans ses quatre derniers caractères\n"
    "          (ile.rte donne ile). Une trace est un fichier .plt.\n"
    "cmap2ozi  convertit une route C-Map ECS en route OziExplorer FICHIER.rte (--route) et en\n"
    "          liste de waypoints FICHIER.wpt (--waypoints). Sans l'une ni l'autre, la route\n"
    "          est seulement lue et sa dernière latitude affichée.\n"
    "journal2gpx  écrit le journal de bord en trace GPX 1.1 : un point par entrée, avec sa\n"
    "          position, son heure UTC, et sa vitesse, son cap et son waypoint en description.\n"
    "          Les entrées sans position (écrites avant que le GPS soit valide) et les lignes\n"
    "          modifiées à la main sont laissées hors de la trace et comptées.\n"
    "journal2csv  écrit le journal en tableau CSV (UTF-8, virgules) : date et heure UTC,\n"
    "          latitude et longitude en degrés décimaux, vitesse en nœuds, cap, waypoint et la\n"
    "          ligne du journal telle quelle ; les champs illisibles restent vides.\n"
    "journal2pdf  écrit le journal en PDF, pages A4 numérotées « page k / n », pour l'imprimer\n"
    "          ou le garder : en tête le nom du journal, la période de ses lignes (dates UTC)\n"
    "          et l'état de son sceau ; puis chaque ligne avec son numéro, sa date et son heure\n"
    "          UTC, sa position en degrés et minutes, sa vitesse, son cap et son waypoint ; les\n"
    "          remarques et les lignes modifiées à la main en entier, les lignes corrigées\n"
    "          barrées avec leurs corrections dessous.\n"
    "journal-verifier  vérifie le journal avec son sceau (JOURNAL sans son extension, suivi de\n"
    "          .sceau, que le programme écrit à côté) : chaque ligne du journal y a son\n"
    "          empreinte SHA-256, enchaînée à la précédente. Dit si le journal est intact, ou\n"
    "          la première ligne modifiée, ôtée, ajoutée ou déplacée hors du programme, et les\n"
    "          lignes non scellées (écrites avant le sceau). Code de sortie 0 quand le journal\n"
    "          est intact, 1 quand il ne l'est pas ou que le sceau manque ou est illisible.\n"
    "          Ni le journal ni le sceau ne sont modifiés.\n"
    "\n"
    "-o DOSSIER  dossier où écrire (par défaut celui du fichier source)\n"
    "-o FICHIER  pour journal2gpx, journal2csv et journal2pdf : le fichier à écrire, ou le\n"
    "            dossier où l'écrire (par défaut le nom du journal avec .gpx, .csv ou .pdf,\n"
    "            dans son dossier)\n"
    "--decalage H  heure locale moins UTC, en heures (2, -5, 5.5) : les lignes de date du\n"
    "            journal portent la date locale, les heures des entrées sont UTC. Par défaut\n"
    "            le décalage des préférences journlog.txt à côté du journal, sinon 0.\n"
    "--format-date FORMAT  format des lignes de date : d ou dd pour le jour, M ou MM pour le\n"
    "            mois, yyyy ou yy (2000 à 2099) pour l'année, séparés par ce qu'on veut\n"
    "            (MM/dd/yyyy) ; j, m et a aussi (jj/mm/aaaa). Par défaut dd/MM/yyyy, dd.MM.yyyy\n"
    "            et yyyy-MM-dd. Une ligne de date qui ne se lit pas est signalée avec son\n"
    "            numéro, et rien n'est écrit.\n"
    "--force     remplace un fichier existant non vide (sinon rien n'est remplacé)\n"
    "\n"
    "Au plus 1024 waypoints ou points de trace par conversion OziExplorer ou C-Map. Le code de\n"
    "sortie est 0 quand tout ce qui était demandé a été écrit, 1 sur une erreur ou un fichier non\n"
    "remplacé, 2 sur une erreur d'utilisation.\n";

} // namespace

void ConsoleDialogs::message(std::string_view text, std::string_view) {
    std::fputs(("marivent-convert : " + std::string(text) + "\n").c_str(), stderr);
}

int usage_error(const std::string& text) {
    std::fputs(("marivent-convert : " + text + " (voir --help)\n").c_str(), stderr);
    return 2;
}

void say_error(const std::string& text) {
    std::fputs(("marivent-convert : " + text + "\n").c_str(), stderr);
}

void say_not_replaced(const std::filesystem::path& file, bool more) {
    say_error(display_path(file) +
              " existe déjà et n'est pas vide ; il n'est pas remplacé (--force pour le remplacer)" +
              (more ? " et la suite n'est pas écrite" : "") + ".");
}

} // namespace marivent::cli

int main(int argc, char** argv) {
    namespace cli = marivent::cli;
    cli::bytes_as_they_are();
    const std::vector<std::string> arguments = cli::utf8_arguments(argc, argv);
    std::vector<std::string_view> args;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        args.push_back(arguments[i]);
    for (auto a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(cli::usage, stdout);
            return 0;
        }
    }
    if (args.empty()) return cli::usage_error("aucune commande");
    if (args[0] == "journal2gpx") return cli::journal_command(cli::JournalExport::gpx, args);
    if (args[0] == "journal2csv") return cli::journal_command(cli::JournalExport::csv, args);
    if (args[0] == "journal2pdf") return cli::journal_command(cli::JournalExport::pdf, args);
    if (args[0] == "journal-verifier") return cli::seal_command(args);
    if (args[0] == "ozi2cmap" || args[0] == "cmap2ozi") return cli::transfer_command(args);
    return cli::usage_error("commande inconnue « " + std::string(args[0]) + " »");
}
