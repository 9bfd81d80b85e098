// The line settings text and the device of each port number.
#include <gtest/gtest.h>

#include <string>

#include "link/comm_control.h"

namespace {

using namespace marivent::nmea;

TEST(LineSettings, ParsesTheSettingsText) {
    const auto s = parse_line_settings("4800,m,8,1");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->parity, 'm');
    EXPECT_TRUE(parse_line_settings("9600,N,7,2"));
    for (const char* bad : {"", "4800", "4800,x,8,1", "4800,n,9,1", "4800,n,8,3", "4800,,8,1"})
        EXPECT_FALSE(parse_line_settings(bad)) << bad;
}

// --com k=DEVICE, then MARIVENT_COMk, then the preference's device, then the system's default.
TEST(PortDevices, OptionThenVariableThenPreferenceThenDefault) {
    const StartDevices start =
        start_devices({"/dev/ttyUSB0", "", "", ""}, [](const char* name) -> const char* {
            const std::string n = name;
            if (n == "MARIVENT_COM1" || n == "MARIVENT_COM2") return "/dev/pts/7";
            if (n == "MARIVENT_COM3") return ""; // set but empty: as if not set
            return nullptr;
        });
    EXPECT_EQ(start.given, (std::array<bool, 4>{true, true, false, false}));
    const PortDevices d = port_devices(start, {"/pref/1", "/pref/2", "tcp://gps:10110", ""});
    EXPECT_EQ(d[0], "/dev/ttyUSB0");
    EXPECT_EQ(d[1], "/dev/pts/7");
    EXPECT_EQ(d[2], "tcp://gps:10110");
#ifdef _WIN32
    EXPECT_EQ(d[3], "COM4");
    EXPECT_EQ(port_devices(start, {})[2], "COM3");
#else
    EXPECT_EQ(d[3], "/dev/ttyS3");
    EXPECT_EQ(port_devices(start, {})[2], "/dev/ttyS2");
#endif
    // Without a getenv nothing is given by the environment.
    EXPECT_EQ(start_devices({}, nullptr).given, (std::array<bool, 4>{}));
}

} // namespace
