// The machine's serial ports from the names of a folder standing for /dev.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes.h"
#include "link/port_list.h"

namespace {

using namespace marivent::nmea;
namespace fs = std::filesystem;

struct PortListTest : ::testing::Test {
    marivent::testing::TempRoot dev;
    void file(const std::string& name) { std::ofstream(dev / name).put('x'); }
};

TEST_F(PortListTest, ByIdLinksFirstThenUsbAndAcmTerminalsInNumberOrder) {
    fs::create_directories(dev / "serial" / "by-id");
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "tty1", "ttyUSB",
                             "ttyUSBx", "ttyACM0.lock", "null"})
        file(name);
    fs::create_directory(dev / "ttyUSB9"); // names only: a folder of that name is listed too
    const std::string ublox = "usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00";
    fs::create_symlink("../../ttyACM0", dev / "serial" / "by-id" / ublox);
    // A non-ASCII product name, as udev writes it in UTF-8.
    const std::string ch340 = "usb-1a86_Récepteur_CH340-if00-port0";
    fs::create_symlink("../../ttyUSB2", dev / "serial" / "by-id" / ch340);

    const std::vector<SerialPortName> ports = list_serial_ports(dev.path());
    std::vector<std::string> devices, labels;
    for (const SerialPortName& p : ports) {
        devices.push_back(p.device);
        labels.push_back(port_label(p));
    }
    const std::string d = dev.path().string();
    EXPECT_EQ(devices, (std::vector<std::string>{d + "/serial/by-id/" + ch340,
                                                 d + "/serial/by-id/" + ublox, d + "/ttyACM0",
                                                 d + "/ttyUSB2", d + "/ttyUSB9", d + "/ttyUSB10"}));
    EXPECT_EQ(labels[0], d + "/serial/by-id/" + ch340 + " — ttyUSB2");
    EXPECT_EQ(labels[1], d + "/serial/by-id/" + ublox + " — ttyACM0");
    EXPECT_EQ(labels[2], d + "/ttyACM0"); // no description: the device alone
}

TEST_F(PortListTest, AFolderWithoutPortsOrMissingListsNothing) {
    file("ttyS0");
    EXPECT_TRUE(list_serial_ports(dev.path()).empty());
    EXPECT_TRUE(list_serial_ports(dev / "absent").empty());
}

} // namespace
