#include <gtest/gtest.h>
TEST(Skeleton, Runs) {}
