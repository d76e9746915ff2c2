// GoogleTest main for the window tests: one QApplication with the program's
// fonts. Test discovery only lists the tests and needs no platform plugin.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "text/fonts.h"

int main(int argc, char** argv)
{
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
    std::unique_ptr<QApplication> app;
    if (!listing) {
        app = std::make_unique<QApplication>(argc, argv);
        registerAppFonts();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
