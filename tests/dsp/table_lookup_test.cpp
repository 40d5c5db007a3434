#include "dsp/table_lookup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "dsp/diode_tables.h"
#include "dsp/rail_table.h"

namespace {

// Entry i belongs to 4 - i: arguments 4, 3, 2, 1, 0. A NaN sentinel follows the last entry so
// that any read past the end shows in the result.
class SmallTable : public ::testing::Test {
protected:
    SmallTable() { lookup_.Configure(values_.data(), 5, 4.0, 0.0, 4.0, 1.0); }

    std::vector<double> values_{40.0, 30.0, 20.0,
                                10.0, 0.0,  std::numeric_limits<double>::quiet_NaN()};
    TableLookup lookup_;
};

TEST_F(SmallTable, InterpolatesLinearlyBetweenEntries) {
    EXPECT_DOUBLE_EQ(lookup_.Lookup(3.0), 30.0);
    EXPECT_DOUBLE_EQ(lookup_.Lookup(2.5), 25.0);
    EXPECT_DOUBLE_EQ(lookup_.Lookup(0.25), 2.5);
}

TEST_F(SmallTable, ClampsToTheEndEntries) {
    EXPECT_EQ(lookup_.Lookup(4.0), 40.0);
    EXPECT_EQ(lookup_.Lookup(1e300), 40.0);
    EXPECT_EQ(lookup_.Lookup(std::numeric_limits<double>::infinity()), 40.0);
    EXPECT_EQ(lookup_.Lookup(0.0), 0.0);
    EXPECT_EQ(lookup_.Lookup(-std::numeric_limits<double>::infinity()), 0.0);
}

TEST_F(SmallTable, NeverReadsPastTheLastEntry) {
    // Position (4 - x) * 1 rounds to exactly 4 = count - 1.
    EXPECT_EQ(lookup_.Lookup(std::nextafter(0.0, 1.0)), 0.0);
    EXPECT_EQ(lookup_.Lookup(std::numeric_limits<double>::quiet_NaN()), 0.0);
}

TEST(RailTable, HasTheShapeOfTheOpAmpRails) {
    TableLookup rail;
    rail.Configure(RailTable(), kRailTableCount, 4.0, -4.0, 4.0, 100.0);
    const struct {
        double ideal;
        double volts;
    } rows[] = {{4.00, 3.501062},   {3.60, 3.501002},   {3.54, 3.500507},   {3.52, 3.499866},
                {3.50, 3.497602},   {3.48, 3.480244},   {3.00, 3.000255},   {1.00, 1.000267},
                {0.00, 0.000273},   {-1.00, -0.999721}, {-3.00, -2.999709}, {-3.48, -3.479697},
                {-3.50, -3.497445}, {-3.52, -3.499859}, {-3.54, -3.500520}, {-3.60, -3.501014},
                {-4.00, -3.501073}};
    for (const auto& row : rows) {
        EXPECT_NEAR(rail.Lookup(row.ideal), row.volts, 1e-6) << "ideal output " << row.ideal;
    }
    EXPECT_EQ(rail.Lookup(9.0), RailTable()[0]);
    EXPECT_EQ(rail.Lookup(-9.0), RailTable()[kRailTableCount - 1]);
    EXPECT_EQ(rail.Lookup(std::nextafter(-4.0, 0.0)), RailTable()[kRailTableCount - 1]);
}

TEST(DiodeTables, FollowSinhAndCoshWithinInterpolationError) {
    const DiodeTables& tables = DiodeTables::Shared();
    TableLookup sinh;
    TableLookup cosh;
    sinh.Configure(tables.Sinh(), DiodeTables::kCount, 35.0, -35.0, 35.0, 2285.7);
    cosh.Configure(tables.Cosh(), DiodeTables::kCount, 35.0, -35.0, 35.0, 2285.7);
    // Interpolation error h^2 / 8 |f''| with h = 4.375e-4, plus the scale's offset from 1 / h,
    // which shifts the argument by at most 70 * (1 - 2285.7 h) = 4.4e-4 at the far end.
    for (double x = -30.0; x <= 30.0; x += 0.37) {
        const double shift = (35.0 - x) * 6.25e-6;
        const double tolerance = 3e-8 + shift * 1.01;
        EXPECT_NEAR(sinh.Lookup(x) / std::cosh(x), std::sinh(x) / std::cosh(x), tolerance) << x;
        EXPECT_NEAR(cosh.Lookup(x) / std::cosh(x), 1.0, tolerance) << x;
    }
    // Beyond +-35 the diode current stops growing.
    EXPECT_EQ(sinh.Lookup(80.0), std::sinh(35.0));
    EXPECT_EQ(sinh.Lookup(-80.0), tables.Sinh()[DiodeTables::kCount - 1]);
    EXPECT_EQ(cosh.Lookup(std::nextafter(-35.0, 0.0)), tables.Cosh()[DiodeTables::kCount - 1]);
}

}  // namespace
