#include <gtest/gtest.h>

#include "common/paths.h"

namespace {

using namespace marivent;

TEST(Root, OptionThenEnvironmentThenPlatformDefault) {
    EXPECT_EQ(choose_root(std::string("/a"), "/b", "/c"), "/a");
    EXPECT_EQ(choose_root(std::nullopt, "/b", "/c"), "/b");
    EXPECT_EQ(choose_root(std::nullopt, "", "/c"), "/c");
    EXPECT_EQ(choose_root(std::string(""), nullptr, "/c"), "/c");
}

TEST(NativePath, DriveCLiesUnderRoot) {
    EXPECT_EQ(native_path("/r", "c:\\oziexplorer\\data\\"), "/r/oziexplorer/data");
    EXPECT_EQ(native_path("/r", "C:\\Program Files\\cmapecs\\routes"),
              "/r/Program Files/cmapecs/routes");
    EXPECT_EQ(native_path("/r", "c:/journal.txt"), "/r/journal.txt");
    EXPECT_EQ(native_path("/r", "c:"), "/r");
}

TEST(NativePath, OtherTextsAreNativePathsInUtf8) {
    EXPECT_EQ(native_path("/r", "/home/marin/routes"), "/home/marin/routes");
    EXPECT_EQ(native_path("/r", "/home/marin/d\xE9part").string(), "/home/marin/départ");
}

} // namespace
