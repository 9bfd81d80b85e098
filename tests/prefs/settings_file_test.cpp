#include <gtest/gtest.h>

#include "common/number_text.h"
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

TEST(SettingsWrite, OkOnANewFileGivesTheFifteenRecordsByteForByte) {
    const PatchedSettings out = patch_settings("", panel_defaults);
    EXPECT_TRUE(out.problems.empty());
    ASSERT_EQ(out.bytes.size(), 1795u);
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
    EXPECT_EQ(out.bytes.substr(640, 3), std::string("\x01\x00"
                                                    "0",
                                                    3)); // "Tous les émetteurs" off
    // Records 7 to 10, the devices of com1 to com4: empty texts, the defaults.
    EXPECT_EQ(out.bytes.substr(643, 1154 - 643), std::string(1154 - 643, '\0'));
    // Records 11 to 14, the pilot: today's APA, true bearings, no variation, talker AG.
    EXPECT_EQ(out.bytes.substr(1280, 5), std::string("\x03\x00"
                                                     "apa",
                                                     5));
    EXPECT_EQ(out.bytes.substr(1408, 6), std::string("\x04\x00"
                                                     "vrai",
                                                     6));
    EXPECT_EQ(out.bytes.substr(1536, 2), std::string("\0\0", 2));
    EXPECT_EQ(out.bytes.substr(1664, 4), std::string("\x02\x00"
                                                     "AG",
                                                     4));
    // Record 15, the journal's entry on a change of course: none.
    EXPECT_EQ(out.bytes.substr(1792), std::string("\x01\x00"
                                                  "0",
                                                  3));
}

TEST(SettingsPilot, TheChoiceReadsBackAndOldOrUnreadableRecordsMeanTodaysApa) {
    SettingsToWrite chosen = panel_defaults;
    chosen.pilot = {"apb+rmb+xte", "magnetique", "2,5W", "GP"};
    const std::string file = patch_settings("", chosen).bytes;
    EXPECT_EQ(parse_settings(file).pilot, chosen.pilot);
    EXPECT_TRUE(parse_settings(file).problems.empty());
    // Files of ten records or fewer (every earlier version): the defaults, nothing said.
    for (const std::size_t size : {516u, 643u, 1154u}) {
        const SettingsRecords old = parse_settings(file.substr(0, size));
        EXPECT_EQ(old.pilot, PilotRecords{}) << size;
        EXPECT_TRUE(old.problems.empty()) << size;
    }
    // A record that does not read is said and keeps its default; the others are applied.
    std::string bad = file;
    bad.replace(1282, 3, "APX");
    bad.replace(1666, 2, "g1");
    const SettingsRecords r = parse_settings(bad);
    EXPECT_EQ(r.pilot.kind, "apa");
    EXPECT_EQ(r.pilot.reference, "magnetique");
    EXPECT_EQ(r.pilot.variation, "2,5W");
    EXPECT_EQ(r.pilot.talker, "AG");
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_EQ(r.problems[0], "Préférences : ce qui part au pilote n'a pas été lu (ni apa, ni apb, "
                             "ni apb+rmb+xte).");
    EXPECT_EQ(r.problems[1], "Préférences : l'émetteur du pilote n'a pas été lu (pas deux lettres "
                             "majuscules).");
    std::string bad_variation = file;
    bad_variation.replace(1538, 4, "2,5X");
    EXPECT_EQ(parse_settings(bad_variation).pilot.variation, "");
    // Writing again over a longer choice leaves the old tail but reads exactly.
    const std::string back = patch_settings(file, panel_defaults).bytes;
    EXPECT_EQ(back.size(), file.size());
    EXPECT_EQ(parse_settings(back).pilot, PilotRecords{});
}

TEST(SettingsCourse, TheAngleReadsBackAndOldOrUnreadableRecordsMeanNone) {
    for (const int angle : {0, 1, 30, 180}) {
        SettingsToWrite chosen = panel_defaults;
        chosen.course_angle = angle;
        const std::string file = patch_settings("", chosen).bytes;
        const SettingsRecords r = parse_settings(file);
        EXPECT_EQ(r.course_angle, angle);
        EXPECT_TRUE(r.problems.empty());
        EXPECT_EQ(file.substr(1792), text_record(marivent::integer_text(angle), 0)) << angle;
    }
    SettingsToWrite thirty = panel_defaults;
    thirty.course_angle = 30;
    const std::string file = patch_settings("", thirty).bytes;
    // Files of fourteen records or fewer (every earlier version): none, nothing said.
    for (const std::size_t size : {516u, 643u, 1154u, 1668u}) {
        const SettingsRecords old = parse_settings(file.substr(0, size));
        EXPECT_EQ(old.course_angle, 0) << size;
        EXPECT_TRUE(old.problems.empty()) << size;
    }
    // A record that does not read is said and keeps its default: none.
    for (const char* bad :
         {"181", "999", "-5", "+5", "1.5", "1,5", " 30", "30 ", "", "abc", "0030"}) {
        const SettingsRecords r = parse_settings(file.substr(0, 1792) + text_record(bad, 0));
        EXPECT_EQ(r.course_angle, 0) << bad;
        ASSERT_EQ(r.problems.size(), 1u) << bad;
        EXPECT_EQ(r.problems[0], "Préférences : l'angle du changement de cap n'a pas été lu (pas "
                                 "un nombre entier de 0 à 180).");
        EXPECT_EQ(r.pilot, PilotRecords{}); // the others are applied
    }
    // A shorter angle over a longer one reads exactly; a later record is kept as it was.
    const std::string later = file + std::string(128 - 3, '\0') + text_record("futur", 0);
    const std::string back = patch_settings(later, {"30", "0", "c:\\a", "c:\\b", 1}).bytes;
    EXPECT_EQ(back.size(), later.size());
    EXPECT_EQ(back.substr(1792, 5), std::string("\x01\x00"
                                                "0"
                                                "0\0",
                                                5)); // "30" became "0", its tail left
    EXPECT_EQ(parse_settings(back).course_angle, 0);
    EXPECT_EQ(back.substr(1920), later.substr(1920));
    EXPECT_EQ(parse_settings(back).records, 16);
}

TEST(SettingsRead, TheSixthRecordIsTheTalkerOptionAndOldFilesMeanOff) {
    SettingsToWrite on = panel_defaults;
    on.all_talkers = true;
    const std::string six = patch_settings("", on).bytes;
    EXPECT_EQ(six.substr(640, 3), std::string("\x01\x00"
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
    // A record past the last this version knows is read and ignored.
    EXPECT_TRUE(parse_settings(six + std::string(128, '\x7F')).problems.empty());
}

TEST(SettingsRead, TheWrittenFileReadsBack) {
    const SettingsRecords r = parse_settings(patch_settings("", panel_defaults).bytes);
    EXPECT_EQ(r.records, 15);
    EXPECT_EQ(r.all_talkers, false);
    EXPECT_EQ(r.course_angle, 0);
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
    old += std::string(300, 'Z'); // a longer file, with an eleventh record and more
    const PatchedSettings out = patch_settings(old, {"30", "0", "c:\\b", "x", 4, true});
    ASSERT_EQ(out.bytes.size(), old.size());
    EXPECT_EQ(out.bytes.substr(1795), old.substr(1795)); // nothing after the records changes
    const SettingsRecords r = parse_settings(out.bytes);
    EXPECT_EQ(r.text[2], "c:\\b");
    EXPECT_EQ(out.bytes.substr(256 + 6, 10), old.substr(256 + 6, 10)); // the old tail is left
    EXPECT_EQ(r.port, 4);
    EXPECT_EQ(r.all_talkers, true);
    EXPECT_EQ(r.records, 17);
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

SettingsToWrite with_devices(std::array<std::string, 4> devices) {
    SettingsToWrite v = panel_defaults;
    v.devices = std::move(devices);
    return v;
}

TEST(SettingsDevices, RecordsSevenToTenHoldEachLinesDeviceAsItsBytes) {
    // A Linux link with a non-ASCII product name, in UTF-8; a network address; a Windows port.
    const std::string by_id = "/dev/serial/by-id/usb-R\xC3\xA9"
                              "cepteur_GPS-if00";
    const PatchedSettings out =
        patch_settings("", with_devices({"", by_id, "udp://:10110>10.0.0.2:2000", "COM7"}));
    EXPECT_TRUE(out.problems.empty());
    EXPECT_EQ(out.bytes.substr(768, 2), std::string("\0\0", 2)); // com1: the default
    EXPECT_EQ(out.bytes.substr(896, 2 + by_id.size()),
              std::string(1, static_cast<char>(by_id.size())) + '\0' + by_id);
    EXPECT_EQ(out.bytes.substr(1152, 6), std::string("\x04\x00"
                                                     "COM7",
                                                     6));
    const SettingsRecords r = parse_settings(out.bytes);
    EXPECT_EQ(r.devices[0], "");
    EXPECT_EQ(r.devices[1], by_id);
    EXPECT_EQ(r.devices[2], "udp://:10110>10.0.0.2:2000");
    EXPECT_EQ(r.devices[3], "COM7");
    EXPECT_TRUE(r.problems.empty());

    // Written again with a shorter device: in place, the file keeps its length.
    const PatchedSettings again = patch_settings(out.bytes, with_devices({"", "/dev/ttyACM0"}));
    EXPECT_EQ(again.bytes.size(), out.bytes.size());
    EXPECT_EQ(parse_settings(again.bytes).devices[1], "/dev/ttyACM0");
    EXPECT_EQ(parse_settings(again.bytes).devices[3], "");
}

TEST(SettingsDevices, FilesOfFiveOrSixRecordsHoldNoDeviceAndGrowToTen) {
    const std::string written =
        patch_settings("", with_devices({"/dev/a", "/dev/b", "/dev/c"})).bytes;
    for (const std::size_t size : {516u, 643u}) { // as the earlier versions wrote it
        const std::string old = written.substr(0, size);
        const SettingsRecords r = parse_settings(old);
        EXPECT_EQ(r.devices, (std::array<std::optional<std::string>, 4>{})) << size;
        EXPECT_EQ(r.port, 2);
        EXPECT_TRUE(r.problems.empty());
        const PatchedSettings out = patch_settings(old, with_devices({"", "", "", "/dev/d"}));
        EXPECT_EQ(out.bytes.size(), 1795u);
        EXPECT_EQ(out.bytes.substr(0, 516), old.substr(0, 516)); // records 1 to 5 unchanged
        EXPECT_EQ(parse_settings(out.bytes).devices[3], "/dev/d");
    }
    // A file cut inside the text of record 9 applies the devices before it.
    const SettingsRecords cut = parse_settings(written.substr(0, 1024 + 4));
    EXPECT_EQ(cut.devices[1], "/dev/b");
    EXPECT_FALSE(cut.devices[2]);
    EXPECT_FALSE(cut.devices[3]);
    ASSERT_EQ(cut.problems.size(), 1u);
    EXPECT_NE(cut.problems[0].find("com3"), std::string::npos);
}

TEST(SettingsDevices, ADeviceOver126BytesIsRefusedAndTheOldOneKept) {
    const std::string old = patch_settings("", with_devices({"", "/dev/ttyUSB0"})).bytes;
    const std::string long_device = "/dev/serial/by-id/" + std::string(109, 'x'); // 127 bytes
    const PatchedSettings out = patch_settings(old, with_devices({"/dev/a", long_device}));
    ASSERT_EQ(out.problems.size(), 1u);
    EXPECT_NE(out.problems[0].find("com2"), std::string::npos);
    EXPECT_NE(out.problems[0].find("126"), std::string::npos);
    const SettingsRecords r = parse_settings(out.bytes);
    EXPECT_EQ(r.devices[0], "/dev/a");
    EXPECT_EQ(r.devices[1], "/dev/ttyUSB0");
    EXPECT_EQ(r.devices[2], "");
    // Exactly 126 fits; on a new file the refused record is an empty text.
    EXPECT_EQ(parse_settings(patch_settings(old, with_devices({"", long_device.substr(1)})).bytes)
                  .devices[1],
              long_device.substr(1));
    EXPECT_EQ(parse_settings(patch_settings("", with_devices({long_device})).bytes).devices[0], "");
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
