#include <gtest/gtest.h>

#include "prefs/settings_file.h"

namespace {

using namespace marivent::prefs;

std::string text_record(std::string_view text, std::size_t pad_to = record_length) {
    std::string r;
    r += static_cast<char>(text.size() & 0xFF);
    r += static_cast<char>(text.size() >> 8);
    r += text;
    if (r.size() < pad_to) r.resize(pad_to, '\0');
    return r;
}

const SettingsToWrite panel_defaults{"30", "0",  "c:\\oziexplorer\\data", "c:\\cmapecs\\routes",
                                     2,    false};

TEST(SettingsWrite, OkOnANewFileGivesTheSixRecordsByteForByte) {
    const PatchedSettings out = patch_settings("", panel_defaults);
    EXPECT_TRUE(out.problems.empty());
    ASSERT_EQ(out.bytes.size(), 643u);
    EXPECT_EQ(out.bytes.substr(0, 4), std::string("\x02\x00"
                                                  "30",
                                                  4));
    EXPECT_EQ(out.bytes.substr(128, 3), std::string("\x01\x00"
                                                    "0",
                                                    3));
    EXPECT_EQ(out.bytes.substr(256, 21), std::string("\x13\x00", 2) + "c:\\oziexplorer\\data");
    EXPECT_EQ(out.bytes.substr(384, 19), std::string("\x11\x00", 2) + "c:\\cmapecs\\routes");
    EXPECT_EQ(out.bytes.substr(512, 4), std::string("\x02\x00\x02\x00", 4));
    EXPECT_EQ(out.bytes.substr(516, 124), std::string(124, '\0'));
    EXPECT_EQ(out.bytes.substr(640), std::string("\x01\x00"
                                                 "0",
                                                 3)); // "Tous les émetteurs" off
}

TEST(SettingsRead, TheSixthRecordIsTheTalkerOptionAndOldFilesMeanOff) {
    SettingsToWrite on = panel_defaults;
    on.all_talkers = true;
    const std::string six = patch_settings("", on).bytes;
    EXPECT_EQ(six.substr(640), std::string("\x01\x00"
                                           "1",
                                           3));
    EXPECT_EQ(parse_settings(six).all_talkers, true);
    EXPECT_EQ(parse_settings(patch_settings(six, panel_defaults).bytes).all_talkers, false);
    // A file of the five records (as every earlier version wrote it) has no option: off.
    const SettingsRecords five = parse_settings(six.substr(0, 516));
    EXPECT_FALSE(five.all_talkers);
    EXPECT_TRUE(five.problems.empty());
    // What a reader of five records takes from the new file is what it took before.
    const SettingsRecords r = parse_settings(six);
    EXPECT_EQ(r.text, five.text);
    EXPECT_EQ(r.port, five.port);
    // A record past the sixth is read and ignored.
    EXPECT_TRUE(parse_settings(six + std::string(128, '\x7F')).problems.empty());
}

TEST(SettingsRead, TheWrittenFileReadsBack) {
    const SettingsRecords r = parse_settings(patch_settings("", panel_defaults).bytes);
    EXPECT_EQ(r.records, 6);
    EXPECT_EQ(r.all_talkers, false);
    EXPECT_EQ(r.text[0], "30");
    EXPECT_EQ(r.text[1], "0");
    EXPECT_EQ(r.text[2], "c:\\oziexplorer\\data");
    EXPECT_EQ(r.text[3], "c:\\cmapecs\\routes");
    EXPECT_EQ(r.port, 2);
    EXPECT_TRUE(r.problems.empty());
}

TEST(SettingsWrite, InPlaceNeverShortensAndAShorterTextReadsExactly) {
    std::string old =
        patch_settings("", {"30", "0", "c:\\a\\very\\long\\folder\\name", "x", 1, true}).bytes;
    old += std::string(300, 'Z'); // a longer file, with a seventh record and more
    const PatchedSettings out = patch_settings(old, {"30", "0", "c:\\b", "x", 4, true});
    ASSERT_EQ(out.bytes.size(), old.size());
    EXPECT_EQ(out.bytes.substr(640), old.substr(640)); // nothing after the records changes
    const SettingsRecords r = parse_settings(out.bytes);
    EXPECT_EQ(r.text[2], "c:\\b");
    EXPECT_EQ(out.bytes.substr(256 + 6, 10), old.substr(256 + 6, 10)); // the old tail is left
    EXPECT_EQ(r.port, 4);
    EXPECT_EQ(r.all_talkers, true);
    EXPECT_EQ(r.records, 8);
}

TEST(SettingsWrite, TextsAbove127KeepTheirBytes) {
    const std::string folder = "c:\\donn\xE9"
                               "es\\\x80\x81\xFF";
    const SettingsRecords r = parse_settings(patch_settings("", {"30", "0", folder, "y", 1}).bytes);
    EXPECT_EQ(r.text[2], folder);
}

TEST(SettingsWrite, ACaptionOver126IsRefusedAndNeverSpillsIntoTheNextRecord) {
    const std::string old = patch_settings("", panel_defaults).bytes;
    const std::string long_folder(127, 'd');
    const PatchedSettings out = patch_settings(old, {"45", "1", long_folder, "c:\\r", 3});
    ASSERT_EQ(out.problems.size(), 1u);
    EXPECT_NE(out.problems[0].find("126"), std::string::npos);
    const SettingsRecords r = parse_settings(out.bytes);
    EXPECT_EQ(r.text[0], "45");
    EXPECT_EQ(r.text[2], "c:\\oziexplorer\\data"); // the old folder stays
    EXPECT_EQ(r.text[3], "c:\\r");
    EXPECT_EQ(r.port, 3);

    // Exactly 126 fits.
    const std::string fits(126, 'f');
    EXPECT_EQ(parse_settings(patch_settings(old, {"30", "0", fits, "c", 1}).bytes).text[2], fits);

    // On a new file the refused record is an empty text, the others in their places.
    const SettingsRecords fresh =
        parse_settings(patch_settings("", {"30", "0", long_folder, "c", 1}).bytes);
    EXPECT_EQ(fresh.text[2], "");
    EXPECT_EQ(fresh.text[3], "c");
}

TEST(SettingsRead, EmptyFileHoldsNoRecord) {
    const SettingsRecords r = parse_settings("");
    EXPECT_EQ(r.records, 0);
    EXPECT_FALSE(r.port);
}

TEST(SettingsRead, AFileCutShortAppliesTheRecordsPresent) {
    const std::string two = text_record("15") + text_record("-3", 4);
    const SettingsRecords r = parse_settings(two);
    EXPECT_EQ(r.records, 2);
    EXPECT_EQ(r.text[0], "15");
    EXPECT_EQ(r.text[1], "-3");
    EXPECT_FALSE(r.text[2]);
    EXPECT_FALSE(r.port);
    EXPECT_TRUE(r.problems.empty());
}

TEST(SettingsRead, BadRecordsAreNotAppliedTheOthersAre) {
    // Record 2 claims 126 bytes but the file ends 3 bytes in.
    std::string cut = text_record("20") + std::string("\x7E\x00"
                                                      "ab",
                                                      4);
    SettingsRecords r = parse_settings(cut);
    EXPECT_EQ(r.text[0], "20");
    EXPECT_FALSE(r.text[1]);
    EXPECT_EQ(r.problems.size(), 1u);

    // A length past 126 bytes, in the middle of a whole file.
    std::string file = patch_settings("", panel_defaults).bytes;
    file[256] = '\x7F';
    r = parse_settings(file);
    EXPECT_FALSE(r.text[2]);
    EXPECT_EQ(r.text[3], "c:\\cmapecs\\routes");
    EXPECT_EQ(r.port, 2);

    // A record cut inside its length field.
    r = parse_settings(text_record("20") + std::string(1, '\x02'));
    EXPECT_EQ(r.records, 2);
    EXPECT_FALSE(r.text[1]);
    EXPECT_EQ(r.problems.size(), 1u);
}

TEST(SettingsRead, APortRecordMustHoldAPortFrom1To4) {
    std::string file = patch_settings("", panel_defaults).bytes;
    std::string zero_length = file;
    zero_length[512] = '\0';
    EXPECT_FALSE(parse_settings(zero_length).port);
    EXPECT_EQ(parse_settings(zero_length).problems.size(), 1u);
    std::string port9 = file;
    port9[514] = '\x09';
    EXPECT_FALSE(parse_settings(port9).port);
    std::string port4 = file;
    port4[514] = '\x04';
    EXPECT_EQ(parse_settings(port4).port, 4);
    EXPECT_FALSE(parse_settings(file.substr(0, 515)).port); // data byte missing
}

} // namespace
