#include <gtest/gtest.h>

#include "storage/scrambler.h"

using ordalis::ScrambleText;

TEST(Scrambler, KnownVector) { EXPECT_EQ(ScrambleText("A"), std::string("\xD6")); }
