// The window tests run on Qt's offscreen platform, in the window's own style and font, under the
// regional settings of the environment (or of "--locale=NAME"), which Qt hands to the C library.
#include <gtest/gtest.h>

#include <QApplication>

#include "test_locale.h"
#include "window_look.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    marivent::testing::take_locale_argument(argc, argv);
    QApplication application(argc, argv);
    marivent::app::set_window_look();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
