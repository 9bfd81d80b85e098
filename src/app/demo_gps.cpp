#include "demo_gps.h"

#include "common/paths.h"
#include "prefs/preferences.h"

#include <cstdio>

#include "common/file_io.h"

namespace marivent::app {

DemoGps::DemoGps(const std::string& recording, QObject* parent) : QObject(parent) {
    const Result<std::string> bytes = read_file(path_from_utf8(recording));
    if (!bytes) {
        error_ = "enregistrement " + recording + " illisible (" + bytes.why() + ")";
        return;
    }
    // One second of the recording ends at each GGA's second: a new second starts at each GGA.
    std::string line;
    for (char c : *bytes) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line.empty() || line[0] != '$') {
            line.clear();
            continue;
        }
        if (line.compare(0, 6, "$GPGGA") == 0 || seconds_.empty()) seconds_.emplace_back();
        seconds_.back() += line + "\r\n";
        line.clear();
    }
    if (seconds_.empty()) {
        error_ = "enregistrement " + recording + " vide";
        return;
    }
    start();
}

void DemoGps::heard(std::string_view bytes) {
    from_window_ += bytes;
    std::size_t end;
    while ((end = from_window_.find("\r\n")) != std::string::npos) {
        std::fputs(("au pilote : " + from_window_.substr(0, end) + "\n").c_str(), stdout);
        std::fflush(stdout);
        from_window_.erase(0, end + 2);
    }
    if (from_window_.size() > 4096) from_window_.clear();
}

std::vector<std::string> prepare_demo_folders(const std::filesystem::path& root,
                                              const std::filesystem::path& route) {
    namespace fs = std::filesystem;
    std::vector<std::string> done;
    const fs::path ozi = native_path(root, prefs::default_ozi_folder);
    const fs::path cmap = native_path(root, prefs::default_cmap_folder);
    std::error_code ec;
    for (const fs::path& folder : {ozi, cmap}) {
        if (fs::exists(folder, ec)) continue;
        if (fs::create_directories(folder, ec))
            done.push_back("dossier créé : " + display_path(folder));
        else // on Windows, C:\Program Files without the administrator's rights
            done.push_back("dossier non créé : " + display_path(folder) + " (" + error_text(ec) +
                           ")");
    }
    bool has_route = false;
    for (const auto& entry : fs::directory_iterator(ozi, ec))
        has_route = has_route || entry.path().extension() == ".rte";
    const fs::path copy = ozi / route.filename();
    if (!has_route && fs::copy_file(route, copy, ec))
        done.push_back("route d'exemple : " + display_path(copy));
    return done;
}

} // namespace marivent::app
