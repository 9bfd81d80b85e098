#include <gtest/gtest.h>

#include "prefs/panel.h"

namespace {

using namespace marivent;
using namespace marivent::prefs;

TEST(Spinner, StepsTheCaptionWithinItsLimits) {
    struct Case {
        Spinner s;
        const char* caption;
        int direction;
        const char* expected;
    } cases[] = {
        {interval_spinner, "30", +1, "35"},
        {interval_spinner, "30", -1, "25"},
        {interval_spinner, "120", +1, "120"},
        {interval_spinner, "5", -1, "5"},
        {interval_spinner, "32", +1, "35"},
        {interval_spinner, "32", -1, "30"}, // back on the grid
        {interval_spinner, "500", -1, "115"},
        {interval_spinner, "abc", +1, "10"},
        {offset_spinner, "0", -1, "-1"},
        {offset_spinner, "12", +1, "12"},
        {offset_spinner, "-12", -1, "-12"},
        {offset_spinner, "-3", +1, "-2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(step_caption(c.s, c.caption, c.direction), c.expected)
            << c.caption << " " << c.direction;
}

TEST(PanelOk, TakesNumbersFromTheCaptionsAndThePortFromTheLine) {
    Preferences p;
    const SettingsToWrite w = apply_ok({"45", "-3", "/home/m/ozi", "c:\\r", 2, false}, p);
    EXPECT_EQ(p.intervalle, 45);
    EXPECT_EQ(p.decalage, "-3");
    EXPECT_EQ(p.ozipath, "/home/m/ozi");
    EXPECT_EQ(p.cmappath, "c:\\r");
    EXPECT_EQ(p.port, 3);
    EXPECT_EQ(w.interval, "45");
    EXPECT_EQ(w.offset, "-3");
    EXPECT_EQ(w.port, 3);
    apply_ok({"30", "1.5", "", "", 0}, p); // a half-hour offset stays 1.5 under any locale
    EXPECT_EQ(p.decalage, "1.5");
    apply_ok({"30", "-9.75", "", "", 0}, p);
    EXPECT_EQ(p.decalage, "-9.75");
    apply_ok({"7.5x", "abc", "", "", 0}, p); // nothing is validated
    EXPECT_EQ(p.intervalle, 7.5);
    EXPECT_EQ(p.decalage, "0");
    EXPECT_EQ(p.port, 1);
}

// What "Appareil du port" keeps: any path or port name, trimmed; a network address only in a
// form the network device opens; nothing longer than its record.
TEST(PortDevice, AnAddressMustBeOneTheNetworkDeviceOpens) {
    for (const char* good : {"/dev/ttyUSB0", "COM7", "\\\\.\\COM12", "tcp://gps.local:10110",
                             "tcp://[::1]:2000", "udp://:10110", "udp://:10110>192.168.1.5:2000"}) {
        const auto r = check_device(good);
        ASSERT_TRUE(r) << good << " " << r.why();
        EXPECT_EQ(*r, good);
    }
    EXPECT_EQ(*check_device("  /dev/ttyACM0\t"), "/dev/ttyACM0");
    EXPECT_EQ(*check_device("   "), ""); // the line's default
    for (const char* bad : {"tcp://gps.local", "tcp://:10110", "tcp://h:0", "tcp://h:70000",
                            "udp://10110", "udp://:10110>:2000", "udp://:x"}) {
        const auto r = check_device(bad);
        ASSERT_FALSE(r) << bad;
        EXPECT_NE(r.why().find("n'est pas une adresse"), std::string::npos) << r.why();
    }
    EXPECT_TRUE(check_device(std::string(126, 'x')));
    // Too long: refused, its start quoted without cutting a character in two.
    const std::string long_name = std::string(39, 'x') + "\xC3\xA9" + std::string(100, 'y');
    const auto r = check_device(long_name);
    ASSERT_FALSE(r);
    EXPECT_NE(r.why().find("126"), std::string::npos);
    EXPECT_NE(r.why().find(std::string(39, 'x') + "…"), std::string::npos);
}

TEST(PanelOk, TheDevicesOfTheLinesAreAppliedAndSaved) {
    Preferences p;
    PanelCaptions panel{"30", "0", "o", "c", 1, false, {"", "/dev/ttyUSB0", "", "tcp://h:1"}};
    panel.course_angle = 25;
    const SettingsToWrite w = apply_ok(panel, p);
    EXPECT_EQ(p.devices, panel.devices);
    EXPECT_EQ(w.devices, panel.devices);
    EXPECT_EQ(p.course_angle, 25);
    EXPECT_EQ(w.course_angle, 25);
}

// "Entrée au journal si le cap change de plus de [ ] degrés": a whole number of degrees, 0 to 180.
TEST(CourseAngle, AWholeNumberOfDegreesFromZeroToOneHundredEighty) {
    const std::pair<const char*, int> good[] = {{"0", 0},     {"30", 30}, {" 45 ", 45},
                                                {"180", 180}, {"007", 7}, {"\t5", 5}};
    for (const auto& [typed, angle] : good) {
        const Result<int> r = check_course_angle(typed);
        ASSERT_TRUE(r) << typed << " " << r.why();
        EXPECT_EQ(*r, angle);
    }
    for (const char* bad :
         {"181", "360", "-10", "+10", "12.5", "12,5", "1e2", "trente", "3 0", "0030"}) {
        const Result<int> r = check_course_angle(bad);
        ASSERT_FALSE(r) << bad;
        EXPECT_EQ(r.why(), "« " + std::string(bad) +
                               " » n'est pas un nombre entier de degrés de 0 à 180 (0 : jamais)");
    }
    EXPECT_EQ(check_course_angle("  ").why(),
              "donnez un nombre entier de degrés de 0 à 180 (0 : jamais)");
}

} // namespace
