#include <csignal>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <cerrno>

#include "common/file_io.h"
#else
#include <sys/resource.h>
#endif

#include <algorithm>
#include <deque>
#include <functional>

#include "common/paths.h"
#include "fakes.h"
#include "transfer/cmap_route.h"
#include "transfer/ozi_files.h"
#include "transfer/transfer_driver.h"

namespace marivent::transfer {
namespace {

namespace fs = std::filesystem;
using marivent::testing::read_bytes;
using marivent::testing::ScriptedDialogs;
using marivent::testing::TempRoot;
using marivent::testing::testdata_dir;
using marivent::testing::write_bytes;

const std::string ozi_text = "Le fichier existe déjà. Il va être remplacé";
const std::string cmap_text = ozi_text + ".\nSinon renomme le fichier Ozi";

// ROOT with the default folders of the settings, as the window gives them.
struct Station {
    TempRoot root;
    ScriptedDialogs dialogs;
    fs::path ozi = root / "oziexplorer" / "data";
    fs::path cmap = root / "Program Files" / "cmapecs" / "routes";
    Station() {
        fs::create_directories(ozi);
        fs::create_directories(cmap);
    }
    Outcome click(int ozicm, const fs::path& file, bool waypoin = false, bool rout = false) {
        Click c;
        c.ozicm = ozicm;
        c.file = file;
        c.root = root.path();
#ifdef _WIN32
        // "c:\..." is the real drive there: the folders by their own paths (ASCII).
        c.ozipath = marivent::display_path(ozi);
        c.cmappath = marivent::display_path(cmap);
#else
        c.ozipath = "c:\\oziexplorer\\data\\";
        c.cmappath = "c:\\Program Files\\cmapecs\\routes";
#endif
        c.waypoin = waypoin;
        c.rout = rout;
        return convert(conversion_of(c), dialogs);
    }
    // A C-Map ECS route "ile" of three waypoints in the routes folder.
    fs::path cmap_route() {
        const fs::path p = cmap / "ile";
        write_bytes(p, *cmap_route_file("ile", {{1, "A", 43.0853333, -5.5},
                                                {2, "B", -33.25, 151.2},
                                                {3, "C", 47.5, 3.25}}));
        return p;
    }
    bool no_temporary_left() const {
        for (const auto& e : fs::recursive_directory_iterator(root.path()))
            if (e.path().filename().string().find(".marivent-") != std::string::npos) return false;
        return true;
    }
};

TEST(TransferDirection, OzicmZeroIsCmapToOzi) {
    Click click;
    click.ozicm = 0;
    EXPECT_EQ(conversion_of(click).direction, Direction::cmap_to_ozi);
    for (int v : {1, 2, -1}) {
        click.ozicm = v;
        EXPECT_EQ(conversion_of(click).direction, Direction::ozi_to_cmap) << v;
    }
}

TEST(OziToCmap, RouteWaypointAndTrackFilesGiveTheRouteName) {
    for (const char* name : {"ile.rte", "ile.wpt", "ile.plt"}) {
        Station s;
        fs::copy_file(testdata_dir() / "ozi" /
                          (std::string(name) == "ile.rte"   ? "ozi.rte"
                           : std::string(name) == "ile.wpt" ? "ozi.wpt"
                                                            : "ozi1.plt"),
                      s.ozi / name);
        const Outcome out = s.click(1, s.ozi / name);
        EXPECT_EQ(out.end, Outcome::End::done) << name;
        ASSERT_EQ(out.written, std::vector<fs::path>{s.cmap / "ile"}) << name;
        EXPECT_TRUE(s.dialogs.questions.empty());
        EXPECT_TRUE(s.dialogs.messages.empty());
        const Result<CmapRead> r = read_cmap_route(read_bytes(s.cmap / "ile"));
        ASSERT_TRUE(r) << name << ": " << r.why();
        EXPECT_EQ(r->route_name, "ile");
        EXPECT_EQ(r->waypoints.size(), out.waypoint_count) << name;
        EXPECT_EQ(out.lat, std::nullopt);
    }
}

TEST(OziToCmap, ReplacementRule) {
    struct Case {
        const char* legend;
        std::string existing;
        std::deque<bool> answers;
        bool asked, replaced;
    } cases[] = {
        {"yes", "old route", {true}, true, true},
        {"no", "old route", {false}, true, false},
        {"one byte is not empty", "x", {false}, true, false},
        {"empty file", "", {}, false, true},
    };
    for (const auto& c : cases) {
        Station s;
        fs::copy_file(testdata_dir() / "ozi" / "ozi.wpt", s.ozi / "ile.wpt");
        write_bytes(s.cmap / "ile", c.existing);
        s.dialogs.answers = c.answers;
        const Outcome out = s.click(1, s.ozi / "ile.wpt");
        ASSERT_EQ(s.dialogs.questions.size(), c.asked ? 1u : 0u) << c.legend;
        if (c.asked) {
            EXPECT_EQ(s.dialogs.questions[0].text, cmap_text);
            EXPECT_EQ(s.dialogs.questions[0].title, "Tu veux");
        }
        EXPECT_EQ(out.end, c.replaced ? Outcome::End::done : Outcome::End::declined) << c.legend;
        EXPECT_EQ(read_bytes(s.cmap / "ile") == c.existing, !c.replaced) << c.legend;
        EXPECT_TRUE(s.dialogs.messages.empty()) << c.legend;
    }
}

TEST(CmapToOzi, BothBoxesRouteFirstAndLatitude) {
    Station s;
    const Outcome out = s.click(0, s.cmap_route(), true, true);
    EXPECT_EQ(out.end, Outcome::End::done);
    EXPECT_EQ(out.written, (std::vector<fs::path>{s.ozi / "ile.rte", s.ozi / "ile.wpt"}));
    EXPECT_EQ(out.lat, " 47 30.00N");
    EXPECT_EQ(out.waypoint_count, 3u);
    const Result<CmapRead> r = read_cmap_route(read_bytes(s.cmap / "ile"));
    ASSERT_TRUE(r) << r.why();
    EXPECT_EQ(read_bytes(s.ozi / "ile.rte"), *ozi_route_file(r->waypoint_lines));
    EXPECT_EQ(read_bytes(s.ozi / "ile.wpt"), ozi_waypoint_file(r->waypoint_lines));
    EXPECT_TRUE(s.dialogs.questions.empty());
    EXPECT_TRUE(s.no_temporary_left());
}

TEST(CmapToOzi, ReplacementRuleForEachFile) {
    struct Case {
        const char* legend;
        const char* existing_rte; // nullptr: no file
        const char* existing_wpt;
        std::deque<bool> answers;
        std::size_t questions;
        bool rte_written, wpt_written;
        Outcome::End end;
    } cases[] = {
        {"No to the route leaves out the waypoints",
         "old",
         nullptr,
         {false},
         1,
         false,
         false,
         Outcome::End::declined},
        {"Yes to the route", "old", nullptr, {true}, 1, true, true, Outcome::End::done},
        {"empty route file, no question", "", nullptr, {}, 0, true, true, Outcome::End::done},
        {"No to the waypoints keeps the route",
         nullptr,
         "old",
         {false},
         1,
         true,
         false,
         Outcome::End::declined},
        {"Yes to both", "old", "old", {true, true}, 2, true, true, Outcome::End::done},
    };
    for (const auto& c : cases) {
        Station s;
        if (c.existing_rte) write_bytes(s.ozi / "ile.rte", c.existing_rte);
        if (c.existing_wpt) write_bytes(s.ozi / "ile.wpt", c.existing_wpt);
        s.dialogs.answers = c.answers;
        const Outcome out = s.click(0, s.cmap_route(), true, true);
        EXPECT_EQ(out.end, c.end) << c.legend;
        ASSERT_EQ(s.dialogs.questions.size(), c.questions) << c.legend;
        for (const auto& q : s.dialogs.questions) {
            EXPECT_EQ(q.text, ozi_text);
            EXPECT_EQ(q.title, "Tu veux");
        }
        const std::string rte = read_bytes(s.ozi / "ile.rte");
        const std::string wpt = read_bytes(s.ozi / "ile.wpt");
        EXPECT_EQ(rte.rfind("OziExplorer Route File", 0) == 0, c.rte_written) << c.legend;
        EXPECT_EQ(wpt.rfind("OziExplorer Waypoint File", 0) == 0, c.wpt_written) << c.legend;
        if (!c.wpt_written && !c.existing_wpt) {
            EXPECT_FALSE(fs::exists(s.ozi / "ile.wpt"));
        }
        EXPECT_EQ(out.lat, " 47 30.00N") << c.legend;
    }
}

TEST(CmapToOzi, NeitherBoxReadsAndShowsTheLatitude) {
    Station s;
    const Outcome out = s.click(0, s.cmap_route());
    EXPECT_EQ(out.end, Outcome::End::done);
    EXPECT_TRUE(out.written.empty());
    EXPECT_EQ(out.lat, " 47 30.00N");
    EXPECT_TRUE(fs::is_empty(s.ozi));
}

TEST(CmapToOzi, BrokenLegsAreToldAndFilesStillWritten) {
    Station s;
    std::string bytes = *cmap_route_file("ile", {{1, "A", 1, 1}, {2, "B", 2, 2}});
    bytes[43] = 1; // the route starts at waypoint 1, and no leg leaves it
    write_bytes(s.cmap / "ile", bytes);
    const Outcome out = s.click(0, s.cmap / "ile", true, false);
    EXPECT_EQ(out.end, Outcome::End::done);
    ASSERT_EQ(s.dialogs.messages.size(), 1u);
    EXPECT_NE(s.dialogs.messages[0].text.find("ordre du fichier"), std::string::npos);
    EXPECT_EQ(s.dialogs.messages[0].title, "Journal de bord");
    const OziRead r = read_ozi_waypoints(read_bytes(s.ozi / "ile.wpt"));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].name, fixed_name("A"));
}

// Every failure: one French message, no output file, no temporary left, nothing asked.
TEST(TransferFailures, MessageAndNoOutput) {
    struct Case {
        const char* legend;
        int ozicm;
        std::function<fs::path(Station&)> prepare; // gives the clicked file
        const char* expected_words;
    } cases[] = {
        {"missing source", 1, [](Station& s) { return s.ozi / "absent.rte"; },
         "Impossible de lire"},
        {"empty Ozi file", 1,
         [](Station& s) {
             write_bytes(s.ozi / "ile.wpt", "");
             return s.ozi / "ile.wpt";
         },
         "aucun waypoint"},
        {"track without points", 1,
         [](Station& s) {
             write_bytes(s.ozi / "ile.plt",
                         "OziExplorer Track Point File Version 2.1\r\nWGS 84\r\n"
                         "Altitude is in Feet\r\nReserved 3\r\n0,2,255,T\r\n0\r\n");
             return s.ozi / "ile.plt";
         },
         "aucun point de trace"},
        {"1025 waypoints", 1,
         [](Station& s) {
             std::vector<std::string> lines(1025, build_waypoint_line(1, "X", "01.0", "02.0"));
             write_bytes(s.ozi / "ile.wpt", ozi_waypoint_file(lines));
             return s.ozi / "ile.wpt";
         },
         "plus de 1024"},
        {"coordinates off the globe", 1,
         [](Station& s) {
             write_bytes(s.ozi / "ile.wpt", "h\r\nh\r\nh\r\nh\r\n1,X,95.0,2.0\r\n");
             return s.ozi / "ile.wpt";
         },
         "hors du globe"},
        {"output folder missing", 1,
         [](Station& s) {
             fs::copy_file(testdata_dir() / "ozi" / "ozi.rte", s.ozi / "ile.rte");
             fs::remove(s.cmap);
             return s.ozi / "ile.rte";
         },
         "n'a pas été écrit"},
        {"a folder where the route goes", 1,
         [](Station& s) {
             fs::copy_file(testdata_dir() / "ozi" / "ozi.rte", s.ozi / "ile.rte");
             fs::create_directory(s.cmap / "ile");
             return s.ozi / "ile.rte";
         },
         "pas un fichier"},
        {"not a C-Map route", 0,
         [](Station& s) {
             fs::copy_file(testdata_dir() / "ozi" / "ozi.rte", s.cmap / "ile");
             return s.cmap / "ile";
         },
         "pas une route C-Map ECS"},
        {"C-Map route cut short", 0,
         [](Station& s) {
             const fs::path p = s.cmap_route();
             fs::resize_file(p, 100);
             return p;
         },
         "s'arrête avant la fin"},
        {"name too short for a route", 1,
         [](Station& s) {
             fs::copy_file(testdata_dir() / "ozi" / "ozi.rte", s.ozi / ".rte");
             return s.ozi / ".rte";
         },
         "trop court"},
    };
    for (const auto& c : cases) {
        Station s;
        const fs::path file = c.prepare(s);
        const auto before = fs::exists(s.cmap) ? std::distance(fs::directory_iterator(s.cmap),
                                                               fs::directory_iterator())
                                               : 0;
        const Outcome out = s.click(c.ozicm, file, true, true);
        EXPECT_EQ(out.end, Outcome::End::failed) << c.legend;
        EXPECT_TRUE(out.written.empty()) << c.legend;
        ASSERT_EQ(s.dialogs.messages.size(), 1u) << c.legend;
        EXPECT_NE(s.dialogs.messages[0].text.find(c.expected_words), std::string::npos)
            << c.legend << ": " << s.dialogs.messages[0].text;
        EXPECT_EQ(s.dialogs.messages[0].title, "Journal de bord");
        EXPECT_EQ(out.shown.size(), 1u);
        EXPECT_TRUE(s.dialogs.questions.empty()) << c.legend;
        EXPECT_FALSE(fs::exists(s.ozi / "ile.rte") && c.ozicm == 0) << c.legend;
        if (fs::exists(s.cmap) && c.ozicm == 1) {
            EXPECT_EQ(std::distance(fs::directory_iterator(s.cmap), fs::directory_iterator()),
                      before)
                << c.legend;
        }
        EXPECT_TRUE(s.no_temporary_left()) << c.legend;
    }
}

// Yes, then the write fails: the old file stays whole and nothing more is written.
TEST(TransferFailures, FailedReplacementKeepsTheOldFile) {
    Station s;
    write_bytes(s.ozi / "ile.rte", "old");
    const fs::path route = s.cmap_route();
    // Files may not grow past 16 bytes while the conversion writes (binds root too, unlike
    // permissions): the new route cannot be written whole.
    s.dialogs.answers = {true};
#ifdef _WIN32
    // No file size limit there: every write fails, as on a full disk.
    const WriteCall before = set_write_call([](int, const void*, std::size_t) -> long {
        errno = ENOSPC;
        return -1;
    });
    const Outcome out = s.click(0, route, true, true);
    set_write_call(before);
#else
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ::getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const Outcome out = s.click(0, route, true, true);
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
#endif
    EXPECT_EQ(out.end, Outcome::End::failed);
    EXPECT_EQ(s.dialogs.questions.size(), 1u);
    EXPECT_EQ(read_bytes(s.ozi / "ile.rte"), "old");
    EXPECT_FALSE(fs::exists(s.ozi / "ile.wpt"));
    ASSERT_EQ(s.dialogs.messages.size(), 1u);
    EXPECT_NE(s.dialogs.messages[0].text.find("n'a pas été écrit"), std::string::npos);
}

// The names are UTF-8 (u8): a path of plain chars is read in the locale's code page on Windows.
TEST(TransferPaths, FolderTextsUnderRoot) {
    Station s;
    fs::copy_file(testdata_dir() / "ozi" / "ozi.rte", s.ozi / u8"Île.rte");
    Click c;
    c.ozicm = 1;
    c.file = s.ozi / u8"Île.rte";
    c.root = s.root.path();
#ifdef _WIN32
    // Drive C: is the real drive there: the folder's own path (ASCII), with both separators.
    std::string folder = marivent::display_path(s.cmap);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    c.cmappath = folder + "\\";
#else
    c.cmappath = "C:/Program Files\\cmapecs\\\\routes\\"; // any case, both separators, doubled
#endif
    const Outcome out = convert(conversion_of(c), s.dialogs);
    ASSERT_EQ(out.written, std::vector<fs::path>{s.cmap / u8"Île"});
    const Result<CmapRead> ile = read_cmap_route(read_bytes(s.cmap / u8"Île"));
    ASSERT_TRUE(ile) << ile.why();
    EXPECT_EQ(ile->route_name, "\xCEle"); // Windows-1252
    c.cmappath.clear();
    EXPECT_EQ(convert(conversion_of(c), s.dialogs).end, Outcome::End::failed);
}

} // namespace
} // namespace marivent::transfer
