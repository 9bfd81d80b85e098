#include <gtest/gtest.h>

#include <string>

#include "common/sha256.h"

namespace {

using namespace marivent;

// FIPS 180-2's examples, and a message longer than one block.
TEST(Sha256, DigestsOfTheStandardsExamples) {
    EXPECT_EQ(hex_text(sha256("")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex_text(sha256("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex_text(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hex_text(sha256(std::string(1000000, 'a'))),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, TwoPartsAreOneMessage) {
    EXPECT_EQ(sha256("ab", "c"), sha256("abc"));
    EXPECT_EQ(sha256("", "abc"), sha256("abc"));
    const std::string bytes("\0\xFF\r\n", 4); // any byte, a zero byte too
    EXPECT_EQ(sha256(bytes.substr(0, 1), bytes.substr(1)), sha256(bytes));
    EXPECT_NE(sha256(bytes), sha256(bytes.substr(1)));
}

TEST(Sha256, HexTextReadsBack) {
    const Sha256Digest d = sha256("abc");
    EXPECT_EQ(digest_of_hex(hex_text(d)), d);
    std::string upper = hex_text(d);
    for (char& c : upper)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 32);
    EXPECT_EQ(digest_of_hex(upper), d);
    EXPECT_FALSE(digest_of_hex(hex_text(d).substr(1)));       // 63 digits
    EXPECT_FALSE(digest_of_hex(hex_text(d) + "0"));           // 65
    EXPECT_FALSE(digest_of_hex("g" + hex_text(d).substr(1))); // not a digit
    EXPECT_FALSE(digest_of_hex(""));
}

} // namespace
