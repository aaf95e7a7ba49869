// placeholder replaced below
#include <gtest/gtest.h>
TEST(ContactFrame, Builds) {}
