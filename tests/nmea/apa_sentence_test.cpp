#include <gtest/gtest.h>

#include "nmea/apa_sentence.h"
#include "nmea/checksum.h"

namespace {

using namespace marivent::nmea;

TEST(Apa, BodyAndChecksumOfTheExample) {
    const std::string s = apa_sentence("0.66", "L", "052.5", "004");
    const std::string body = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004";
    unsigned char x = 0;
    for (char c : body.substr(1))
        x ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", x);
    EXPECT_EQ(s, body + tail);
    EXPECT_EQ(s, "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n");
}

TEST(Apa, EmptyFieldsKeepTheirCommas) {
    EXPECT_EQ(apa_sentence("", "", "", "").substr(0, 23), "$AGAPA,A,A,,,N,A,A,,T,*");
    const std::string no_waypoint = apa_sentence("1.5", "R", "270.0", "");
    EXPECT_NE(no_waypoint.find(",T,*"), std::string::npos);
}

TEST(Apa, ChecksumBelow16HasALeadingZeroAndUpperCase) {
    // One varying byte in the waypoint reaches every checksum value; check the form of each.
    int seen = 0;
    for (int i = 0; i < 256; ++i) {
        const std::string wpt(1, static_cast<char>(i));
        const std::string s = apa_sentence("0.1", "L", "1", wpt);
        const unsigned sum = nmea_checksum(s.substr(0, s.size() - 5));
        char expected[4];
        std::snprintf(expected, sizeof expected, "%02X", sum);
        ASSERT_EQ(s.substr(s.size() - 4, 2), expected) << s;
        ASSERT_EQ(s.substr(s.size() - 2), "\r\n");
        if (sum < 16) seen |= 1 << sum;
    }
    EXPECT_EQ(seen, 0xFFFF) << "not every checksum below 16 was produced";
}

TEST(Apa, ChecksumSkipsTheDollarOnly) {
    EXPECT_EQ(nmea_checksum("$A"), 'A');
    EXPECT_EQ(nmea_checksum("AB"), 'A' ^ 'B');
    EXPECT_EQ(nmea_checksum("$\xE9"), 0xE9); // bytes above 127 count as they are
}

} // namespace
