// Program-wide globals: their state before start-up and the shared constants.

#include "core/globals.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(Globals, StateBeforeStartUp)
{
    EXPECT_EQ(no_install_name, "Not Yet Scanned");
    EXPECT_EQ(ear_path, "Resources:Earth nav data:");
    EXPECT_EQ(mar_path, "Resources:Mars nav data:");
    EXPECT_EQ(acf_path, "Aircraft:");
    EXPECT_EQ(afl_path, "Airfoils:");
    EXPECT_EQ(wpn_path, "Weapons:");
    EXPECT_TRUE(app_path.empty());
    EXPECT_EQ(g_case_sensitive, 0);
    EXPECT_EQ(app_done, 0);
    EXPECT_FALSE(ouf.is_open());
    EXPECT_FALSE(xer.is_open());

    // A write to the closed output stream goes nowhere and breaks nothing.
    ouf << "lost" << 12;
    EXPECT_FALSE(ouf.is_open());
    ouf.clear();
}

TEST(Globals, ScratchBufferIsAlignedInsideItsStorage)
{
    scratch_array_align();
    auto address = reinterpret_cast<std::uintptr_t>(scratch_array);
    EXPECT_EQ(address % 16, 0u);
    EXPECT_GE(scratch_array, scratch_array_storage);
    EXPECT_LE(scratch_array + scratch_array_bytes, scratch_array_storage + sizeof scratch_array_storage);
    scratch_array[scratch_array_bytes - 1] = 7;  // the whole 4 MB is usable
    EXPECT_EQ(scratch_array[scratch_array_bytes - 1], 7);
}

TEST(Globals, ConversionFactorsAreConsistent)
{
    EXPECT_FLOAT_EQ(kgstolbs * lbstokgs, 1.0f);
    EXPECT_FLOAT_EQ(mtrstoft * fttomtrs, 1.0f);
    EXPECT_FLOAT_EQ(degtorad * radtodeg, 1.0f);
    EXPECT_FLOAT_EQ(ktstomsc * msctokts, 1.0f);
    EXPECT_FLOAT_EQ(nm_to_sm * sm_to_nm, 1.0f);
    EXPECT_FLOAT_EQ(con_pi, 3.14159265f);
    EXPECT_EQ(scn_vis_ele, 30480.0f);
    EXPECT_EQ(fog_fals, 1);
    EXPECT_EQ(deR_fals, 9);
    EXPECT_EQ(is_net, 1);
    EXPECT_EQ(install_type, 0);
}

TEST(Globals, TextTableKeepsStrayNumbersOutside)
{
    stls[601] = "Alert";
    EXPECT_EQ(stls.text[601], "Alert");
    stls.win_title = "Title";
    EXPECT_EQ(stls[0], "Title");
    stls[-1] = "stray";
    stls[stls_class::text_count] = "stray";
    EXPECT_EQ(stls[stls_class::text_count], "");
    EXPECT_EQ(stls[stls_class::text_count - 1], "");
}
