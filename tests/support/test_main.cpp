// The main of the core test programs: the C library's locale comes from the environment, as Qt
// sets it in the window, so every test sees the regional settings a user has.
#include <clocale>

#include <gtest/gtest.h>

#include "test_locale.h"

int main(int argc, char** argv) {
    marivent::testing::take_locale_argument(argc, argv);
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
