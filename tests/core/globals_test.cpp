// Program-wide globals: their state before start-up and the shared constants.

#include "core/globals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

TEST(Globals, StateBeforeStartUpAndTheConversionFactors)
{
    EXPECT_EQ(no_install_name + "|" + ear_path + "|" + mar_path + "|" + acf_path + "|" + afl_path + "|" + wpn_path,
              "Not Yet Scanned|Resources:Earth nav data:|Resources:Mars nav data:|Aircraft:|Airfoils:|Weapons:");
    EXPECT_TRUE(app_path.empty());
    EXPECT_EQ(g_case_sensitive + app_done, 0);
    EXPECT_FALSE(ouf.is_open() || xer.is_open());
    // A write to the closed output stream goes nowhere and breaks nothing.
    ouf << "lost" << 12;
    EXPECT_FALSE(ouf.is_open());
    ouf.clear();

    // Each factor and its inverse.
    EXPECT_FLOAT_EQ(kgstolbs * lbstokgs, 1.0f);
    EXPECT_FLOAT_EQ(mtrstoft * fttomtrs, 1.0f);
    EXPECT_FLOAT_EQ(degtorad * radtodeg, 1.0f);
    EXPECT_FLOAT_EQ(ktstomsc * msctokts, 1.0f);
    EXPECT_FLOAT_EQ(nm_to_sm * sm_to_nm, 1.0f);
    EXPECT_FLOAT_EQ(con_pi, float(M_PI));
}

TEST(Globals, ScratchBufferAndTextTableKeepTheirBounds)
{
    scratch_array_align();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(scratch_array) % 16, 0u);
    EXPECT_GE(scratch_array, scratch_array_storage);
    EXPECT_LE(scratch_array + scratch_array_bytes, scratch_array_storage + sizeof scratch_array_storage);
    scratch_array[scratch_array_bytes - 1] = 7;  // the whole 4 MB is usable
    EXPECT_EQ(scratch_array[scratch_array_bytes - 1], 7);

    // Numbers outside the text table land nowhere.
    stls[601] = "Alert";
    EXPECT_EQ(stls.text[601], "Alert");
    stls.win_title = "Title";
    EXPECT_EQ(stls[0], "Title");
    stls[-1] = "stray";
    stls[stls_class::text_count] = "stray";
    EXPECT_EQ(stls[stls_class::text_count], "");
    EXPECT_EQ(stls[stls_class::text_count - 1], "");
}
