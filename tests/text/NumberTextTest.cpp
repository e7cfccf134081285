#include <gtest/gtest.h>

#include "text/NumberText.h"

using namespace kvado::text;

TEST(NumberText, Placeholder) { EXPECT_EQ(formatGeneral(0.001L, ','), "0,001"); }
