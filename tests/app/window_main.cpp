// The window tests run on Qt's offscreen platform, in the window's own style and font.
#include <gtest/gtest.h>

#include <QApplication>

#include "window_look.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    marivent::app::set_window_look();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
