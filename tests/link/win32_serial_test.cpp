// The Win32 serial device: port names, the French reasons, the line errors and modem lines as
// the termios device gives them, and a port that does not exist. What it does on a real line is
// shown under wine by win32_serial_wine_test.py (a COM port linked to a pseudo-terminal).
#include <gtest/gtest.h>

#include <windows.h>

#include "link/win32_serial.h"

namespace {

using namespace marivent::nmea;

TEST(Win32Serial, PortNamesInTheDeviceNamespace) {
    EXPECT_EQ(win32_port_name("COM7"), "\\\\.\\COM7");
    EXPECT_EQ(win32_port_name("COM12"), "\\\\.\\COM12");
    EXPECT_EQ(win32_port_name("\\\\.\\COM3"), "\\\\.\\COM3");
}

TEST(Win32Serial, OpeningFailuresAreToldInFrench) {
    EXPECT_EQ(win32_open_error("COM7", ERROR_FILE_NOT_FOUND),
              "COM7 n'existe pas (récepteur débranché ?)");
    EXPECT_EQ(win32_open_error("COM7", ERROR_ACCESS_DENIED),
              "COM7 est déjà utilisé par un autre programme");
    EXPECT_EQ(win32_open_error("COM7", ERROR_NOT_READY).rfind("COM7 : ", 0), 0u);
    for (DWORD gone :
         {ERROR_ACCESS_DENIED, ERROR_OPERATION_ABORTED, ERROR_BAD_COMMAND, ERROR_DEVICE_REMOVED})
        EXPECT_EQ(win32_lost_reason("COM7", gone), "COM7 a disparu (récepteur débranché ?)")
            << gone;
}

TEST(Win32Serial, APortThatDoesNotExistIsRefused) {
    Win32SerialDevice d;
    const auto opened = d.open("COM219", {}, 0);
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.why(), "COM219 n'existe pas (récepteur débranché ?)");
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(d.wait_handle(), nullptr);
    const auto speed = d.open("COM219", {1234, 'n', 8, 1}, 0);
    EXPECT_EQ(speed.why(), "vitesse non prise en charge : 1234");
}

TEST(Win32Serial, LineErrorsBecomeTheEventCodesOfTheTermiosDevice) {
    DeviceInput in;
    in.data = "$GP?GA";
    add_comm_errors(CE_BREAK | CE_FRAME | CE_OVERRUN | CE_RXPARITY, '?', in);
    ASSERT_EQ(in.events, (std::vector<int>{comm::er_break, comm::er_frame, comm::er_overrun,
                                           comm::er_rx_parity}));
    // The parity error at the byte the driver replaced; the others before the data.
    EXPECT_EQ(in.event_at, (std::vector<std::size_t>{0, 0, 0, 3}));

    DeviceInput buffer;
    add_comm_errors(CE_RXOVER, 0, buffer); // the driver's buffer overran: 1006 too
    EXPECT_EQ(buffer.events, std::vector<int>{comm::er_overrun});

    DeviceInput unplaced; // no replacement byte: the parity error before the data
    unplaced.data = "abc";
    add_comm_errors(CE_RXPARITY, 0, unplaced);
    EXPECT_EQ(unplaced.event_at, std::vector<std::size_t>{0});

    DeviceInput none;
    add_comm_errors(0, '?', none);
    EXPECT_TRUE(none.events.empty());
}

TEST(Win32Serial, ModemLineChanges) {
    DeviceInput in;
    in.data = "x";
    add_modem_changes(MS_CTS_ON | MS_RING_ON, MS_RLSD_ON | MS_DSR_ON, in);
    // CD and DSR rose, CTS fell, RI fell (only a rising ring is told), after the data.
    EXPECT_EQ(in.events, (std::vector<int>{comm::ev_cd, comm::ev_cts, comm::ev_dsr}));
    EXPECT_EQ(in.event_at, (std::vector<std::size_t>{1, 1, 1}));
    DeviceInput ring;
    add_modem_changes(0, MS_RING_ON, ring);
    EXPECT_EQ(ring.events, std::vector<int>{comm::ev_ring});
    DeviceInput same;
    add_modem_changes(MS_CTS_ON, MS_CTS_ON, same);
    EXPECT_TRUE(same.events.empty());
}

} // namespace
