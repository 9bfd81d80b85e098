#include "transfer/transfer_driver.h"
#include "common/number_text.h"

#include <ctime>
#include <sys/stat.h>
#include <system_error>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "transfer/cmap_route.h"
#include "transfer/ozi_files.h"

namespace marivent::transfer {

namespace fs = std::filesystem;

namespace {

// The file name without its last four characters (the extension with its point, as the list
// shows only .rte, .wpt and .plt files), counted in characters of the UTF-8 name.
std::string name_without_extension(const fs::path& file) {
    std::string name = display_path(file.filename());
    for (int k = 0; k < 4 && !name.empty(); ++k) {
        while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80)
            name.pop_back();
        if (!name.empty()) name.pop_back();
    }
    return name;
}

fs::path beside(const fs::path& folder, const std::string& name) {
    return folder / path_from_utf8(name);
}

class Run {
  public:
    Run(const Conversion& c, Dialogs& dialogs) : c_(c), dialogs_(dialogs) {}

    Outcome cmap_to_ozi();
    Outcome ozi_to_cmap();

  private:
    Outcome fail(const std::string& text) {
        tell(text);
        out_.end = Outcome::End::failed;
        return out_;
    }
    void tell(const std::string& text) {
        dialogs_.message(text, message_title);
        out_.shown.push_back(text);
    }
    Result<std::string> read_source() {
        Result<std::string> bytes = read_file(c_.source);
        if (!bytes)
            fail("Impossible de lire le fichier " + display_path(c_.source) + " : " + bytes.why() +
                 ".");
        return bytes;
    }
    bool folder_set(const fs::path& folder, std::string_view which) {
        if (!folder.empty()) return true;
        fail(std::string("Le dossier ") + std::string(which) +
             " n'est pas réglé dans les préférences : aucun fichier n'est écrit.");
        return false;
    }
    bool write(const fs::path& path, std::string_view bytes, std::string_view question) {
        return write_output(path, bytes, question, dialogs_, out_);
    }

    const Conversion& c_;
    Dialogs& dialogs_;
    Outcome out_;
};

Outcome Run::cmap_to_ozi() {
    if ((c_.route || c_.waypoints) && !folder_set(c_.ozi_folder, "OziExplorer")) return out_;
    const auto bytes = read_source();
    if (!bytes) return out_;
    const std::string source = display_path(c_.source);
    const Result<CmapRead> read = read_cmap_route(*bytes);
    if (!read)
        return fail("Le fichier " + source + " n'est pas une route C-Map ECS lisible : " +
                    read.why() + ". Aucun fichier n'est écrit.");
    const CmapRead& route = *read;
    out_.waypoint_count = route.waypoints.size();
    if (route.waypoints.empty())
        return fail("La route " + source +
                    " ne contient aucun waypoint : aucun fichier n'est écrit.");
    out_.lat = route.last_latitude_text;
    if (!route.warning.empty()) tell("Route " + source + " : " + route.warning + ".");

    if (c_.route) {
        const Result<std::string> file = ozi_route_file(route.waypoint_lines);
        if (!file)
            return fail("La route " + source + " ne peut pas devenir une route OziExplorer : " +
                        file.why() + ". Aucun fichier n'est écrit.");
        if (!write(ozi_route_output(c_), *file, replace_ozi_question)) return out_;
    }
    if (c_.waypoints)
        write(ozi_waypoint_output(c_), ozi_waypoint_file(route.waypoint_lines),
              replace_ozi_question);
    return out_;
}

Outcome Run::ozi_to_cmap() {
    if (!folder_set(c_.cmap_folder, "C-Map ECS")) return out_;
    const std::string stem = name_without_extension(c_.source);
    const std::string source = display_path(c_.source);
    if (stem.empty())
        return fail("Le nom du fichier " + source +
                    " est trop court pour donner un nom de route : aucun fichier n'est écrit.");
    const auto bytes = read_source();
    if (!bytes) return out_;
    const OziKind kind = ozi_kind(c_.source);
    const OziRead read = read_ozi(*bytes, kind);
    const char* what = kind == OziKind::track ? "points de trace" : "waypoints";
    if (read.too_many)
        return fail("Le fichier " + source + " contient plus de " + integer_text(max_waypoints) +
                    " " + what +
                    ", plus qu'une conversion peut prendre : aucun fichier n'est écrit.");
    out_.waypoint_count = read.rows.size();
    if (read.rows.empty())
        return fail("Le fichier " + source + " ne contient aucun" +
                    (kind == OziKind::track ? " point de trace" : " waypoint") +
                    " : aucun fichier n'est écrit.");
    const Result<std::string> file = cmap_route_file(utf8_to_cp1252(stem), read.rows);
    if (!file)
        return fail("Le fichier " + source + " ne peut pas devenir une route C-Map ECS : " +
                    file.why() + ". Aucun fichier n'est écrit.");
    write(cmap_output(c_), *file, replace_cmap_question);
    return out_;
}

} // namespace

bool write_output(const fs::path& path, std::string_view bytes, std::string_view question,
                  Dialogs& dialogs, Outcome& out) {
    const auto fail = [&](const std::string& text) {
        dialogs.message(text, message_title);
        out.shown.push_back(text);
        out.end = Outcome::End::failed;
        return false;
    };
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (fs::exists(status)) {
        if (!fs::is_regular_file(status))
            return fail("Le fichier " + display_path(path) +
                        " ne peut pas être écrit : un dossier ou un objet qui n'est pas un fichier "
                        "porte déjà ce nom.");
        const auto size = fs::file_size(path, ec);
        if (!ec && size > 0 && !dialogs.ask_yes_no(question, question_title, file_detail(path))) {
            out.end = Outcome::End::declined;
            return false;
        }
    }
    const Status written = replace_file(path, bytes);
    if (!written)
        return fail("Le fichier " + display_path(path) + " n'a pas été écrit : " + written.why() +
                    ".");
    out.written.push_back(path);
    return true;
}

fs::path cmap_output(const Conversion& c) {
    return beside(c.cmap_folder, name_without_extension(c.source));
}
fs::path ozi_route_output(const Conversion& c) {
    return beside(c.ozi_folder, display_path(c.source.filename()) + ".rte");
}
fs::path ozi_waypoint_output(const Conversion& c) {
    return beside(c.ozi_folder, display_path(c.source.filename()) + ".wpt");
}

std::string file_detail(const fs::path& path) {
    std::error_code ec;
    std::string text = "Fichier : " + display_path(path);
    const auto size = fs::file_size(path, ec);
    if (!ec) text += "\nTaille : " + integer_text(static_cast<long long>(size)) + " octets";
#ifdef _WIN32
    struct _stat64 st {};
    tm t{};
    if (::_wstat64(path.c_str(), &st) == 0 && ::localtime_s(&t, &st.st_mtime) == 0) {
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        tm t{};
        ::localtime_r(&st.st_mtime, &t);
#endif
        auto two = [](int v) { return (v < 10 ? "0" : "") + integer_text(v); };
        text += "\nModifié le " + two(t.tm_mday) + "/" + two(t.tm_mon + 1) + "/" +
                integer_text(t.tm_year + 1900) + " à " + two(t.tm_hour) + ":" + two(t.tm_min);
    }
    return text;
}

std::string summary(const Conversion& c, const Outcome& out) {
    const bool to_cmap = c.direction == Direction::ozi_to_cmap;
    std::string text = std::string(to_cmap ? "Ozi vers Cmap" : "Cmap vers Ozi") + " : " +
                       display_path(c.source.filename());
    const std::string count = integer_text(static_cast<long long>(out.waypoint_count)) +
                              " waypoint" + (out.waypoint_count == 1 ? "" : "s");
    if (!out.written.empty()) {
        text += " → ";
        for (std::size_t i = 0; i < out.written.size(); ++i)
            text += (i ? " et " : "") + display_path(out.written[i].filename());
        text += " dans " + display_path(out.written.front().parent_path()) + " (" + count + ")";
    }
    switch (out.end) {
    case Outcome::End::done:
        if (out.written.empty())
            text += " lu (" + count +
                    ") ; aucun fichier écrit : ni « liste de waypoints » ni "
                    "« route » n'était coché.";
        else
            text += ".";
        break;
    case Outcome::End::declined:
        text += out.written.empty() ? " : aucun fichier écrit, le remplacement a été refusé."
                                    : " ; la suite n'est pas écrite, le remplacement a été refusé.";
        break;
    case Outcome::End::failed:
        text += out.written.empty() ? " : aucun fichier écrit." : " ; la suite n'est pas écrite.";
        if (!out.shown.empty()) text += " " + out.shown.back();
        break;
    }
    return text;
}

Outcome convert(const Conversion& c, Dialogs& dialogs) {
    Run run(c, dialogs);
    return c.direction == Direction::cmap_to_ozi ? run.cmap_to_ozi() : run.ozi_to_cmap();
}

Conversion conversion_of(const Click& click) {
    Conversion c;
    c.direction = click.ozicm == 0 ? Direction::cmap_to_ozi : Direction::ozi_to_cmap;
    c.source = click.file;
    c.ozi_folder = click.ozipath.empty() ? fs::path() : native_path(click.root, click.ozipath);
    c.cmap_folder = click.cmappath.empty() ? fs::path() : native_path(click.root, click.cmappath);
    c.waypoints = click.waypoin;
    c.route = click.rout;
    return c;
}

} // namespace marivent::transfer
