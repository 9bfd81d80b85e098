#include <gtest/gtest.h>

#include "seatalk/capture.h"

namespace {

using namespace marivent::seatalk;

TEST(CaptureFields, FourCharactersRightAligned) {
    std::string file;
    for (int b : {0, 6, 32, 132, 255})
        file += byte_field(static_cast<unsigned char>(b));
    EXPECT_EQ(file, "   0   6  32 132 255");
    EXPECT_EQ(text_field("A"), "   A");
}

TEST(CaptureDecoding, UpperCaseHexAndASpacePerField) {
    EXPECT_EQ(decode_capture("   0   6  32 132 255"), "0 6 20 84 FF ");
    EXPECT_EQ(decode_capture(" 132   6   0"), "84 6 0 ");
    EXPECT_EQ(decode_capture(" 132  1"), "84 1 "); // a last, shorter piece is a field
    EXPECT_EQ(decode_capture(""), "");
    EXPECT_EQ(decode_capture("   A abc"), "0 0 "); // not numbers: 0
    EXPECT_EQ(decode_capture("1e99  -1"), "0 FFFFFFFF ");
}

} // namespace
