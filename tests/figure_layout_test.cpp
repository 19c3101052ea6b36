// Engine layout from client sizes, the frame cycle and the crank angle.
#include "figure/engine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

struct LayoutCase {
    RECT client;
    int width, height, radius, eccentricity;
};

class LayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, DerivesWholePixelSizes)
{
    const LayoutCase& c = GetParam();
    engineState = {};
    UpdateEngineLayout(c.client);
    EXPECT_EQ(engineState.clientWidth, c.width);
    EXPECT_EQ(engineState.clientHeight, c.height);
    EXPECT_EQ(engineState.generatingRadius, c.radius);
    EXPECT_EQ(engineState.eccentricity, c.eccentricity);
    EXPECT_EQ(engineState.frameIndex, 0) << "layout must not touch the frame";
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LayoutTest,
    testing::Values(
        LayoutCase{{0, 0, 800, 600}, 800, 600, 233, 33},
        LayoutCase{{0, 0, 1000, 1000}, 1000, 1000, 388, 55},
        LayoutCase{{0, 0, 17, 40}, 17, 40, 6, 0},
        LayoutCase{{0, 0, 18, 40}, 18, 40, 7, 1},  // e first reaches 1
        LayoutCase{{0, 0, 40, 18}, 40, 18, 7, 1},  // the smaller side wins
        LayoutCase{{0, 0, 0, 0}, 0, 0, 0, 0},      // minimised
        LayoutCase{{0, 0, 3, 500}, 3, 500, 0, 0},  // half 1: R = 0
        LayoutCase{{0, 0, 4, 4}, 4, 4, 1, 0},      // smallest R > 0
        LayoutCase{{0, 0, 601, 601}, 601, 601, 233, 33},  // odd side halves down
        LayoutCase{{0, 0, 16384, 16384}, 16384, 16384, 6371, 910},
        LayoutCase{{10, 20, 810, 620}, 800, 600, 233, 33},  // offset rectangle
        // Not a rectangle the window system gives, but it must not
        // overflow: the widened arithmetic keeps it defined.
        LayoutCase{{INT_MIN, 0, INT_MAX, 200}, -1, 200, 77, 11}),
    [](const testing::TestParamInfo<LayoutCase>& test) {
        const LayoutCase& c = test.param;
        if (c.width < 0)
            return std::string("WiderThanAnInt");
        const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        return c.client.left || c.client.top ? size + "_offset" : size;
    });

TEST(LayoutInvariant, EccentricityIsASeventhAndThreeTimesItStaysBelowR)
{
    for (int side = 0; side <= 2000; ++side) {
        engineState = {};
        UpdateEngineLayout(RECT{0, 0, side, side + 7});
        const int r = engineState.generatingRadius;
        const int e = engineState.eccentricity;
        ASSERT_EQ(e, r / 7) << "side " << side;
        if (r > 0) {
            ASSERT_LT(3 * e, r) << "side " << side;
        }
    }
}

TEST(FrameCycle, RunsOneToSixtyThenZero)
{
    engineState = {};
    for (int expected = 1; expected <= 60; ++expected) {
        AdvanceFrame();
        ASSERT_EQ(engineState.frameIndex, expected);
    }
    AdvanceFrame();
    EXPECT_EQ(engineState.frameIndex, 0);
    AdvanceFrame();
    EXPECT_EQ(engineState.frameIndex, 1);
}

TEST(FrameCycle, SixtyOneStepsReturnToAnyStart)
{
    for (int start = 0; start <= 60; ++start) {
        engineState = {};
        engineState.frameIndex = start;
        for (int k = 0; k < 61; ++k) {
            AdvanceFrame();
            ASSERT_GE(engineState.frameIndex, 0);
            ASSERT_LE(engineState.frameIndex, 60);
        }
        EXPECT_EQ(engineState.frameIndex, start);
    }
}

TEST(CrankAngle, UsesThreePointOneFourAndOnlyDecreases)
{
    EXPECT_EQ(CrankAngle(0), 0.0);
    EXPECT_DOUBLE_EQ(CrankAngle(1), -0.314);
    EXPECT_DOUBLE_EQ(CrankAngle(30), -3 * 3.14);
    EXPECT_DOUBLE_EQ(CrankAngle(60), -6 * 3.14);
    // About a hundredth of a radian short of three full turns.
    EXPECT_NEAR(CrankAngle(60) + 6 * std::acos(-1.0), 0.00956, 0.0001);
    for (int n = 1; n <= 60; ++n)
        EXPECT_LT(CrankAngle(n), CrankAngle(n - 1)) << "frame " << n;
    EXPECT_TRUE(std::isfinite(CrankAngle(INT_MIN)));
}

}  // namespace
