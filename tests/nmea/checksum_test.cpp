#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "nmea/checksum.h"

namespace {

using namespace marivent::nmea;

TEST(Checksum, ExclusiveOrOfTheBodyWhateverItsLength) {
    // Across the steps of eight bytes the sum is taken in.
    const std::string text = "GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V\xE9";
    for (std::size_t n = 0; n <= text.size(); ++n) {
        unsigned char x = 0;
        for (std::size_t k = 0; k < n; ++k)
            x ^= static_cast<unsigned char>(text[k]);
        ASSERT_EQ(checksum_of(std::string_view(text).substr(0, n)), x) << n;
    }
    EXPECT_EQ(checksum_of("$A"), '$' ^ 'A'); // the body as given: no start character skipped
    EXPECT_EQ(nmea_checksum("$A"), 'A');
}

TEST(Checksum, FoldedWordIsTheExclusiveOrOfItsBytes) {
    const char bytes[9] = "\x01\x02\x04\x08\x10\x20\x40\x80";
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    EXPECT_EQ(fold_checksum(word), 0xFF);
    EXPECT_EQ(fold_checksum(0), 0);
}

TEST(Checksum, WrittenAsTwoHexadecimalDigitsOfEitherCase) {
    EXPECT_EQ(written_checksum('0', '6'), 0x06);
    EXPECT_EQ(written_checksum('A', 'f'), 0xAF);
    EXPECT_EQ(written_checksum('f', 'F'), 0xFF);
    for (char bad : {'G', 'g', ' ', '*', '\r', '/', ':', '@', '`'}) {
        EXPECT_EQ(written_checksum(bad, '0'), -1) << bad;
        EXPECT_EQ(written_checksum('0', bad), -1) << bad;
    }
    for (int sum = 0; sum < 256; ++sum) {
        char digits[2];
        put_checksum(digits, static_cast<unsigned char>(sum));
        ASSERT_EQ(written_checksum(digits[0], digits[1]), sum);
        ASSERT_TRUE((digits[0] < 'a') && (digits[1] < 'a')) << sum; // upper case
    }
}

} // namespace
