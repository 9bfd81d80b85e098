#include <gtest/gtest.h>

#include "common/cp1252.h"

namespace {

using namespace marivent;

TEST(Cp1252, EveryByteRoundTripsThroughUnicodeAndUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(cp1252_encode(cp1252_decode(all)), all);
    EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), all);
}

TEST(Cp1252, FrenchLettersAndTheEuroSign) {
    EXPECT_EQ(utf8_to_cp1252("Préférences"), "Pr\xE9"
                                             "f\xE9rences");
    EXPECT_EQ(cp1252_to_utf8("Illimit\xE9"
                             "e"),
              "Illimitée");
    EXPECT_EQ(cp1252_to_utf8("\x80\x9C"), "€œ");
    EXPECT_EQ(utf8_to_cp1252("€"), "\x80");
}

TEST(Cp1252, UnrepresentableAndMalformedInputBecomesOneReplacementEach) {
    EXPECT_EQ(utf8_to_cp1252("Москва"), "??????");
    EXPECT_EQ(utf8_to_cp1252("a\xC3"), "a?"); // cut short
    EXPECT_EQ(utf8_to_cp1252("a\xFF"
                             "b"),
              "a?b");                              // not UTF-8
    EXPECT_EQ(utf8_to_cp1252("\xE2\x82x"), "??x"); // a broken sequence, byte by byte
}

} // namespace
