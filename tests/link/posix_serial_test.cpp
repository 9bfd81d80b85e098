// The serial device on a pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "link/posix_serial.h"
#include "pty_peer.h"

namespace {

using namespace marivent::nmea;

TEST(FloodedLink, TheTerminalIsReadAtMost64KiBACall) {
    // A peer that writes without a pause, from a thread of its own, as a flooding GPS: each read
    // stops at the bound however fast the bytes keep coming.
    marivent::testing::GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    PosixSerialDevice device;
    ASSERT_TRUE(device.open(gps.device, LineSettings{}, 0));
    const std::string sent(2 * 1024 * 1024, 'a');
    std::thread peer([&] {
        for (std::size_t written = 0; written < sent.size();) {
            const ssize_t n = ::write(gps.master, sent.data() + written, sent.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            else
                std::this_thread::yield();
        }
    });
    std::size_t received = 0, largest = 0;
    const auto start = std::chrono::steady_clock::now();
    while (received < sent.size() &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        pollfd p{device.descriptor(), POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue; // read as the window does: when there is input
        const DeviceInput in = device.read();
        ASSERT_FALSE(in.hung_up);
        largest = std::max(largest, in.data.size());
        received += in.data.size();
    }
    peer.join();
    EXPECT_EQ(received, sent.size());
    EXPECT_LE(largest, PosixSerialDevice::read_limit);
}

} // namespace
