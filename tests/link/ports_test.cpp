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

TEST(PortDevices, OptionThenVariableThenDefault) {
    const auto d = port_devices({"", "/dev/ttyUSB0", "", ""}, [](const char* name) -> const char* {
        return std::string(name) == "MARIVENT_COM1" ? "/dev/pts/7" : nullptr;
    });
    EXPECT_EQ(d[0], "/dev/pts/7");
    EXPECT_EQ(d[1], "/dev/ttyUSB0");
#ifdef _WIN32
    EXPECT_EQ(d[2], "COM3");
    EXPECT_EQ(d[3], "COM4");
#else
    EXPECT_EQ(d[2], "/dev/ttyS2");
    EXPECT_EQ(d[3], "/dev/ttyS3");
#endif
}

} // namespace
