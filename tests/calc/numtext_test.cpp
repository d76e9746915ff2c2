#include <gtest/gtest.h>
#include "calc/numtext.h"
TEST(Numtext, Smoke) { EXPECT_EQ(numtext::formatFixed(0.25, 1), "0.3"); }
