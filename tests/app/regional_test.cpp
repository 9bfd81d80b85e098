// The window under the regional settings the test program runs with (French from make test,
// then German and none): the speed takes the regional decimal separator, the journal's date lines
// the regional short date, and every number written into a file keeps its ".".
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "qt_seams.h"
#include "transfer_panel.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::testing::GpsSide;
using marivent::testing::read_bytes;
using marivent::testing::wait_for;

// The locale the test program was started under, as the environment names it.
std::string environment_locale() {
    const char* all = std::getenv("LC_ALL");
    return all ? all : "";
}

bool starts_with(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// The short date format the program must take under the test's locale: German and French ones,
// and French when there are no regional settings or ones nobody knows. Nothing for the others.
std::optional<std::string> expected_date_format() {
    const std::string env = environment_locale();
    if (starts_with(env, "de_DE")) return "dd.MM.yyyy";
    if (starts_with(env, "fr_FR") || QLocale::system().language() == QLocale::C)
        return "dd/MM/yyyy";
    return std::nullopt;
}

struct RegionalTest : ::testing::Test {
    marivent::testing::TempRoot root;
    app::QtRegionalSettings regional; // the system's, as the program takes them
    marivent::testing::ScriptedDialogs dialogs;
    marivent::testing::FrozenClock clock;
    marivent::testing::RecordingViewer viewer;
    std::unique_ptr<app::Journ> open(const std::string& com1 = "") {
        auto w = std::make_unique<app::Journ>(
            root.path(), app::Services{regional, dialogs, clock, nullptr, &viewer},
            app::posix_serial({com1, "", "", ""}));
        w->show();
        return w;
    }
};

TEST_F(RegionalTest, TheEnvironmentsSettingsReachTheCLibraryAsInTheWindow) {
    // Proves the suite runs where the users are: a French or German C library writes "5,2" with
    // printf, which is the trap the program must not fall into.
    const std::string env = environment_locale();
    if (!starts_with(env, "fr_FR") && !starts_with(env, "de_DE")) GTEST_SKIP() << "LC_ALL=" << env;
    const char* active = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_TRUE(active && starts_with(active, env.substr(0, 5).c_str()))
        << "the locale " << env << " is not installed on this machine (scripts/install-deps.sh)";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 5.2);
    EXPECT_STREQ(buf, "5,2");
}

TEST_F(RegionalTest, DatesTakeTheRegionalShortFormatWithFourDigitYears) {
    const std::optional<std::string> expected = expected_date_format();
    if (!expected) GTEST_SKIP() << "LC_ALL=" << environment_locale();
    EXPECT_EQ(regional.date_format().toStdString(), *expected) << "LC_ALL=" << environment_locale();
    EXPECT_EQ(regional.decimal_separator(), ',');
}

TEST_F(RegionalTest, TheSpeedAndTheJournalEntryUseTheRegionalSeparatorAndDate) {
    GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    auto w = open(gps.device);
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w->MSComm1.PortOpen());
    ASSERT_TRUE(gps.send("\r\n$GPGGA,103016,4512.345,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*49\r\n"
                         "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n"
                         "$GPRMC,103016,A,4512.345,N,00512.345,E,5.23,054.7,071226,,*2E\r\n"));
    std::string back;
    ASSERT_TRUE(wait_for(
        [&] { return (back += gps.receive()).size() >= 2 * 40; })); // after the RMB and the RMC
    const QString sep(QChar::fromLatin1(regional.decimal_separator()));
    ASSERT_TRUE(marivent::testing::frame_shown(*w));
    EXPECT_EQ(qobject_cast<QLineEdit*>(w->control("vi"))->text(), "5" + sep + "2");
    EXPECT_EQ(qobject_cast<QLineEdit*>(w->control("cap"))->text(), "54");

    w->menu("mnujourecrire")->trigger();
    const std::string journal = read_bytes(root / "journal.txt");
    const std::string date = regional.short_date(clock.time.date);
    if (const auto format = expected_date_format()) {
        EXPECT_EQ(date, *format == "dd.MM.yyyy" ? "07.12.2026" : "07/12/2026");
    }
    const std::string tail = date + "\r\n" + "10:30 N4512.345 E00512.345  5" +
                             regional.decimal_separator() + "2 54  004 \r\n";
    ASSERT_GE(journal.size(), tail.size());
    EXPECT_EQ(journal.substr(journal.size() - tail.size()), tail);
}

// A transfer through the window, both ways, both boxes ticked, writes what marivent-convert
// writes: that tool never takes the regional settings, so it is what the C locale writes.
TEST_F(RegionalTest, TransfersWriteTheSameBytesAsUnderTheCLocale) {
    namespace fs = std::filesystem;
    const fs::path ozi = root / "oziexplorer" / "data";
    const fs::path cmap = root / "Program Files" / "cmapecs" / "routes";
    const fs::path c_side = root / "c-locale";
    for (const fs::path& d : {ozi, cmap, c_side / "cmap", c_side / "ozi"})
        fs::create_directories(d);
    fs::copy_file(marivent::testing::testdata_dir() / "ozi" / "ozi.rte", ozi / "ile.rte");
    fs::copy_file(ozi / "ile.rte", c_side / "ile.rte");

    auto w = open();
    w->menu("mnuozicmap")->trigger();
    w->transfers->File1_Click("ile.rte");
    fs::remove(ozi / "ile.rte");
    w->menu("mnulirewpts")->trigger();
    qobject_cast<QCheckBox*>(w->control("waypoin"))->setChecked(true);
    qobject_cast<QCheckBox*>(w->control("rout"))->setChecked(true);
    w->transfers->File1_Click("ile");
    EXPECT_TRUE(dialogs.messages.empty());

    const std::string tool = MARIVENT_CONVERT_TOOL;
    const std::string c = "LC_ALL=C LANG=C ";
    ASSERT_EQ(std::system((c + tool + " ozi2cmap '" + (c_side / "ile.rte").string() + "' -o '" +
                           (c_side / "cmap").string() + "' >/dev/null")
                              .c_str()),
              0);
    ASSERT_EQ(
        std::system((c + tool + " cmap2ozi '" + (c_side / "cmap" / "ile").string() +
                     "' --route --waypoints -o '" + (c_side / "ozi").string() + "' >/dev/null")
                        .c_str()),
        0);

    const std::string route = read_bytes(cmap / "ile");
    EXPECT_EQ(route, read_bytes(c_side / "cmap" / "ile"));
    EXPECT_NE(route.find(" 34 26.75S"), std::string::npos); // minutes with "."
    for (const char* file : {"ile.rte", "ile.wpt"}) {
        const std::string ours = read_bytes(ozi / file);
        EXPECT_EQ(ours, read_bytes(c_side / "ozi" / file)) << file;
        EXPECT_NE(ours.find("-34.445833, -58.523667"), std::string::npos) << file;
    }
}

} // namespace
