#include "engine/Decimal.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string Put(unsigned value, int nWidth, char cPad)
{
    char text[16];
    char* pEnd = PutDecimal(text, value, nWidth, cPad);
    return std::string(text, pEnd);
}
} // namespace

TEST(PutDecimal, WritesLikePrintfWithAWidth)
{
    EXPECT_EQ("0", Put(0, 0, '0'));
    EXPECT_EQ("00", Put(0, 2, '0'));
    EXPECT_EQ("09", Put(9, 2, '0'));
    EXPECT_EQ("10", Put(10, 2, '0'));
    EXPECT_EQ("1601", Put(1601, 4, '0'));
    EXPECT_EQ("30827", Put(30827, 4, '0')) << "wider than the width: all digits";
    EXPECT_EQ("     1", Put(1, 6, ' '));
    EXPECT_EQ("100000", Put(100000, 6, ' '));
    EXPECT_EQ("4294967295", Put(4294967295u, 0, '0'));
    EXPECT_EQ("004294967295", Put(4294967295u, 12, '0'));
}
