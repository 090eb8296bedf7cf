#include "runtime/ui/listformat.h"

#include <gtest/gtest.h>

TEST(ListFormat, Smoke) {
    EXPECT_EQ(tbk::ListFormat::parse("80L~A~@s5@").toString(), "80L~A~@s5@");
}
