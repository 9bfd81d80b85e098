// marivent-convert: the conversions of the Transfert menu from the command line, with the same
// readers, writers and output names as the window. A file that is not empty is replaced only
// with --force.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "transfer/transfer_driver.h"

namespace {

namespace fs = std::filesystem;
namespace tr = marivent::transfer;

constexpr const char* usage =
    "Usage : marivent-convert ozi2cmap FICHIER.rte|FICHIER.wpt|FICHIER.plt [-o DOSSIER] [--force]\n"
    "        marivent-convert cmap2ozi FICHIER [--route] [--waypoints] [-o DOSSIER] [--force]\n"
    "        marivent-convert --help\n"
    "\n"
    "ozi2cmap  convertit une route, une liste de waypoints ou une trace OziExplorer en route\n"
    "          C-Map ECS, nommée comme le fichier sans ses quatre derniers caractères\n"
    "          (ile.rte donne ile). Une trace est un fichier .plt.\n"
    "cmap2ozi  convertit une route C-Map ECS en route OziExplorer FICHIER.rte (--route) et en\n"
    "          liste de waypoints FICHIER.wpt (--waypoints). Sans l'une ni l'autre, la route\n"
    "          est seulement lue et sa dernière latitude affichée.\n"
    "\n"
    "-o DOSSIER  dossier où écrire (par défaut celui du fichier source)\n"
    "--force     remplace un fichier existant non vide (sinon rien n'est remplacé)\n"
    "\n"
    "Au plus 1024 waypoints ou points de trace par conversion. Le code de sortie est 0 quand\n"
    "tout ce qui était demandé a été écrit, 1 sur une erreur ou un fichier non remplacé, 2 sur\n"
    "une erreur d'utilisation.\n";

// Messages on the error output; the replacement question answered by --force.
class ConsoleDialogs : public marivent::Dialogs {
public:
    explicit ConsoleDialogs(bool force) : force_(force) {}
    void message(std::string_view text, std::string_view) override {
        std::fputs(("marivent-convert : " + std::string(text) + "\n").c_str(), stderr);
    }
    bool ask_yes_no(std::string_view, std::string_view, std::string_view) override { return force_; }

private:
    bool force_;
};

int usage_error(const std::string& text) {
    std::fputs(("marivent-convert : " + text + " (voir --help)\n").c_str(), stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    for (auto a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    if (args.empty()) return usage_error("aucune commande");

    tr::Conversion c;
    if (args[0] == "ozi2cmap") c.direction = tr::Direction::ozi_to_cmap;
    else if (args[0] == "cmap2ozi") c.direction = tr::Direction::cmap_to_ozi;
    else return usage_error("commande inconnue « " + std::string(args[0]) + " »");

    bool force = false;
    std::optional<fs::path> out_dir;
    std::optional<fs::path> source;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto a = args[i];
        if (a == "--force") force = true;
        else if (a == "--route" && c.direction == tr::Direction::cmap_to_ozi) c.route = true;
        else if (a == "--waypoints" && c.direction == tr::Direction::cmap_to_ozi) c.waypoints = true;
        else if (a == "-o") {
            if (i + 1 == args.size()) return usage_error("-o demande un dossier");
            out_dir = fs::path(std::string(args[++i]));
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return usage_error("option inconnue « " + std::string(a) + " »");
        } else if (source) {
            return usage_error("un seul fichier à la fois");
        } else {
            source = fs::path(std::string(a));
        }
    }
    if (!source) return usage_error("aucun fichier à convertir");
    c.source = *source;
    const fs::path folder = out_dir ? *out_dir
                            : source->has_parent_path() ? source->parent_path()
                                                        : fs::path(".");
    c.ozi_folder = folder;
    c.cmap_folder = folder;

    // The files asked for, in the order they are written.
    std::vector<fs::path> expected;
    if (c.direction == tr::Direction::ozi_to_cmap) {
        expected.push_back(tr::cmap_output(c));
    } else {
        if (c.route) expected.push_back(tr::ozi_route_output(c));
        if (c.waypoints) expected.push_back(tr::ozi_waypoint_output(c));
    }

    ConsoleDialogs dialogs(force);
    const tr::Outcome out = tr::convert(c, dialogs);
    for (const auto& p : out.written)
        std::fputs(("écrit : " + marivent::display_path(p) + " (" +
                    marivent::integer_text(static_cast<long long>(out.waypoint_count)) + " waypoints)\n")
                       .c_str(),
                   stdout);
    if (out.lat)
        std::fputs(("dernière latitude lue : " + marivent::cp1252_to_utf8(*out.lat) + "\n").c_str(), stdout);
    if (out.end == tr::Outcome::End::declined && out.written.size() < expected.size()) {
        const std::string said =
            "marivent-convert : " + marivent::display_path(expected[out.written.size()]) +
            " existe déjà et n'est pas vide ; il n'est pas remplacé (--force pour le remplacer)" +
            (out.written.size() + 1 < expected.size() ? " et la suite n'est pas écrite" : "") + ".\n";
        std::fputs(said.c_str(), stderr);
    }
    if (std::fflush(stdout) != 0) return 1;
    return out.end == tr::Outcome::End::done ? 0 : 1;
}
