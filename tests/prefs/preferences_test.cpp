#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "fakes.h"
#include "prefs/preferences.h"

namespace {

using namespace marivent;
using namespace marivent::prefs;
using marivent::testing::read_bytes;
using marivent::testing::TempRoot;
using marivent::testing::write_bytes;

TEST(LoadSettings, FirstRunCreatesAnEmptyFileAndTakesTheDefaults) {
    TempRoot root;
    Preferences p;
    const LoadOutcome out = load_settings(root / "journlog.txt", p);
    EXPECT_TRUE(out.problems.empty());
    EXPECT_EQ(p.intervalle, 30);
    EXPECT_EQ(p.decalage, "");
    EXPECT_EQ(p.ozipath, "c:\\oziexplorer\\data\\");
    EXPECT_EQ(p.cmappath, "c:\\Program Files\\cmapecs\\routes");
    EXPECT_EQ(p.port, 1); // unchanged
    EXPECT_EQ(p.command1, "30");
    EXPECT_EQ(p.command2, "0");
    EXPECT_TRUE(std::filesystem::exists(root / "journlog.txt"));
    EXPECT_EQ(std::filesystem::file_size(root / "journlog.txt"), 0u);
}

TEST(LoadSettings, SavedPanelReadsBack) {
    TempRoot root;
    const auto file = root / "journlog.txt";
    SettingsToWrite values{"30", "0", "c:\\oziexplorer\\data", "c:\\cmapecs\\routes", 2};
    values.course_angle = 40;
    EXPECT_TRUE(save_settings(file, values).empty());
    Preferences p;
    load_settings(file, p);
    EXPECT_EQ(p.course_angle, 40);
    EXPECT_EQ(p.intervalle, 30);
    EXPECT_EQ(p.decalage, "0");
    EXPECT_EQ(p.ozipath, "c:\\oziexplorer\\data");
    EXPECT_EQ(p.cmappath, "c:\\cmapecs\\routes");
    EXPECT_EQ(p.port, 2);
}

TEST(LoadSettings, TheDevicesReadBackAndAFileWithoutThemMeansTheDefaults) {
    TempRoot root;
    const auto file = root / "journlog.txt";
    SettingsToWrite values{"30", "0", "o", "c", 2};
    values.devices = {"", "/dev/serial/by-id/usb-GPS-if00", "", "udp://:10110"};
    values.course_angle = 15;
    ASSERT_TRUE(save_settings(file, values).empty());
    Preferences p;
    p.devices[0] = "/dev/left/over";
    load_settings(file, p);
    EXPECT_EQ(p.devices, values.devices);
    EXPECT_EQ(p.course_angle, 15);
    // Five records, as earlier versions wrote them: every line on its default, no course entry.
    write_bytes(file, read_bytes(file).substr(0, 516));
    load_settings(file, p);
    EXPECT_EQ(p.devices, (std::array<std::string, 4>{}));
    EXPECT_EQ(p.course_angle, 0);
    EXPECT_EQ(p.port, 2);
}

TEST(LoadSettings, NumbersComeFromTheTextByTheValueRule) {
    TempRoot root;
    const auto file = root / "journlog.txt";
    save_settings(file, {"abc", "-3", "o", "c", 3});
    Preferences p;
    load_settings(file, p);
    EXPECT_EQ(p.intervalle, 0);   // no leading number
    EXPECT_EQ(p.command1, "abc"); // the caption shows the text
    EXPECT_EQ(p.decalage, "-3");
    EXPECT_EQ(p.command2, "-3");
}

TEST(LoadSettings, AFileCutShortAppliesNoDefault) {
    TempRoot root;
    const auto file = root / "journlog.txt";
    write_bytes(file, std::string("\x02\x00"
                                  "10",
                                  4));
    Preferences p;
    p.port = 1;
    load_settings(file, p);
    EXPECT_EQ(p.intervalle, 10);
    EXPECT_EQ(p.ozipath, "");
    EXPECT_EQ(p.cmappath, "");
    EXPECT_EQ(p.port, 1);
}

TEST(LoadSettings, ABadFirstRecordLeavesTheIntervalOfTheCaption) {
    TempRoot root;
    const auto file = root / "journlog.txt";
    write_bytes(file, std::string("\xFF\xFF", 2));
    Preferences p;
    const LoadOutcome out = load_settings(file, p);
    EXPECT_EQ(out.problems.size(), 1u);
    EXPECT_EQ(p.intervalle, 30);
}

TEST(LoadSettings, AnUnusableFileGivesTheDefaultsAndSaysSo) {
    TempRoot root;
    std::filesystem::create_directory(root / "journlog.txt"); // a folder where the file should be
    Preferences p;
    LoadOutcome out = load_settings(root / "journlog.txt", p);
    EXPECT_FALSE(out.file_usable);
    ASSERT_EQ(out.problems.size(), 1u);
    EXPECT_NE(out.problems[0].find("par défaut"), std::string::npos);
    EXPECT_EQ(p.intervalle, 30);
    EXPECT_EQ(p.ozipath, "c:\\oziexplorer\\data\\");

    Preferences q;
    out = load_settings(root / "missing" / "journlog.txt", q); // ROOT missing
    EXPECT_FALSE(out.file_usable);
    EXPECT_EQ(q.cmappath, "c:\\Program Files\\cmapecs\\routes");
}

TEST(SaveSettings, FailureIsReportedAndTheOldFileIsUntouched) {
    TempRoot root;
    EXPECT_FALSE(
        save_settings(root / "missing" / "journlog.txt", {"30", "0", "o", "c", 2}).empty());

    const auto file = root / "journlog.txt";
    write_bytes(file, "old");
#ifdef _WIN32
    // The read-only attribute; no account writes past it.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    {
#else
    ::chmod(file.c_str(), 0444);
    if (::geteuid() != 0) { // root may write anywhere
#endif
        EXPECT_FALSE(save_settings(file, {"30", "0", "o", "c", 2}).empty());
        EXPECT_EQ(read_bytes(file), "old");
    }
}

TEST(SaveSettings, LeavesNoTemporaryFileBehind) {
    TempRoot root;
    const auto file = root / "journlog.txt";
    save_settings(file, {"30", "0", "o", "c", 2});
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(root.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

} // namespace
