// The entry of the widget tests: one QApplication for the whole run (widgets need it before
// any is made), then every GoogleTest case. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The offscreen platform unless the caller chose one: the tests need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
