// Engine layout from client sizes, the frame cycle and the crank angle.
#include "figure/engine.h"
#include "tests/animation.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

TEST(Layout, DerivesWholePixelSizes)
{
    const struct {
        RECT client;
        int width, height, radius, eccentricity;
    } cases[] = {
        {{0, 0, 800, 600}, 800, 600, 233, 33},
        {{0, 0, 1000, 1000}, 1000, 1000, 388, 55},
        {{0, 0, 17, 40}, 17, 40, 6, 0},
        {{0, 0, 18, 40}, 18, 40, 7, 1},  // e first reaches 1
        {{0, 0, 40, 18}, 40, 18, 7, 1},  // the smaller side wins
        {{0, 0, 0, 0}, 0, 0, 0, 0},      // minimised
        {{0, 0, 3, 500}, 3, 500, 0, 0},  // half 1: R = 0
        {{0, 0, 4, 4}, 4, 4, 1, 0},      // smallest R > 0
        {{0, 0, 601, 601}, 601, 601, 233, 33},  // odd side halves down
        {{0, 0, 16384, 16384}, 16384, 16384, 6371, 910},
        {{10, 20, 810, 620}, 800, 600, 233, 33},  // offset rectangle
        // Not a rectangle the window system gives, but it must not
        // overflow: the widened arithmetic keeps it defined.
        {{INT_MIN, 0, INT_MAX, 200}, -1, 200, 77, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "client (" << c.client.left << ", " << c.client.top
                                        << ")-(" << c.client.right << ", " << c.client.bottom
                                        << ")");
        engineState = {};
        UpdateEngineLayout(c.client);
        EXPECT_EQ(engineState.clientWidth, c.width);
        EXPECT_EQ(engineState.clientHeight, c.height);
        EXPECT_EQ(engineState.generatingRadius, c.radius);
        EXPECT_EQ(engineState.eccentricity, c.eccentricity);
        EXPECT_EQ(engineState.frameIndex, 0) << "layout must not touch the frame";
    }
}

TEST(Layout, EccentricityIsASeventhAndThreeTimesItStaysBelowR)
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

// From any start the frame runs on by one a step through 0 to 60, then 0.
TEST(FrameCycle, StepsByOneThroughSixtyThenZeroFromAnyStart)
{
    for (int start = 0; start < kFramesPerCycle; ++start) {
        engineState = {};
        engineState.frameIndex = start;
        for (int step = 1; step <= kFramesPerCycle + 1; ++step) {
            AdvanceFrame();
            ASSERT_EQ(engineState.frameIndex, (start + step) % kFramesPerCycle)
                << "from " << start << ", step " << step;
        }
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
    for (int n = 1; n < kFramesPerCycle; ++n)
        EXPECT_LT(CrankAngle(n), CrankAngle(n - 1)) << "frame " << n;
    EXPECT_TRUE(std::isfinite(CrankAngle(INT_MIN)));
}

}  // namespace
