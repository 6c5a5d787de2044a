#include <gtest/gtest.h>

#include "run/path_tools.h"

TEST(PathTools, PlaceholderBuilds) { EXPECT_TRUE(isLeadByte(0x95)); }
