#include "framework/win/Handles.h"
#include <gtest/gtest.h>
TEST(Handles, Smoke) { fw::MemoryDc dc(CreateCompatibleDC(nullptr)); EXPECT_TRUE(dc); }
