#include <QApplication>
#include <gtest/gtest.h>

#include "text/fonts.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerAppFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
