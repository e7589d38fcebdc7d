// Program-wide globals: the text table's bounds and the conversion factors.

#include "core/globals.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Globals, TextTableKeepsItsBoundsAndEachFactorMatchesItsInverse)
{
    // Numbers outside the text table land nowhere.
    stls[601] = "Alert";
    EXPECT_EQ(stls.text[601], "Alert");
    stls.win_title = "Title";
    EXPECT_EQ(stls[0], "Title");
    stls[-1] = "stray";
    stls[stls_class::text_count] = "stray";
    EXPECT_EQ(stls[stls_class::text_count], "");
    EXPECT_EQ(stls[stls_class::text_count - 1], "");

    EXPECT_FLOAT_EQ(kgstolbs * lbstokgs, 1.0f);
    EXPECT_FLOAT_EQ(mtrstoft * fttomtrs, 1.0f);
    EXPECT_FLOAT_EQ(degtorad * radtodeg, 1.0f);
    EXPECT_FLOAT_EQ(ktstomsc * msctokts, 1.0f);
    EXPECT_FLOAT_EQ(nm_to_sm * sm_to_nm, 1.0f);
}
