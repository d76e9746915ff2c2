// Widget tests need an application object; they run offscreen.
#include <QApplication>
#include <gtest/gtest.h>

#include "text/fonts.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerAppFonts(); // as the program does at start-up
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
