// The housing and rotor plotted through the logging stand-in, call for call.
#include "figure/engine.h"
#include "gdi_stub/gdi_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

HDC const kDc = reinterpret_cast<HDC>(std::uintptr_t{0x1234});

void Layout(int width, int height)
{
    engineState = {};
    UpdateEngineLayout(RECT{0, 0, width, height});
}

std::vector<GdiCall> Housing(int width, int height)
{
    Layout(width, height);
    ClearGdiLog();
    DrawHousing(kDc, width / 2, height / 2);
    return GdiLog();
}

std::vector<GdiCall> Rotor(int width, int height, int frame)
{
    Layout(width, height);
    ClearGdiLog();
    DrawRotor(kDc, engineState.eccentricity, CrankAngle(frame), width / 2, height / 2,
              engineState.generatingRadius);
    return GdiLog();
}

// The outline's points, in order (the move and every line).
std::vector<GdiCall> OutlineOf(const std::vector<GdiCall>& calls)
{
    std::vector<GdiCall> points;
    for (const GdiCall& c : calls)
        if (c.op != GdiCall::kEllipse)
            points.push_back(c);
    return points;
}

TEST(Housing, EightHundredBySixHundredCallForCall)
{
    const std::vector<GdiCall> calls = Housing(800, 600);
    ASSERT_EQ(calls.size(), 2u * 4 * 267) << "4 x (N + 1) move-and-line pairs";
    for (size_t k = 0; k < calls.size(); k += 2) {
        ASSERT_EQ(calls[k].op, GdiCall::kMoveTo) << "call " << k;
        ASSERT_FALSE(calls[k].askedPrevious) << "call " << k;
        ASSERT_EQ(calls[k + 1].op, GdiCall::kLineTo) << "call " << k + 1;
    }
    const std::vector<GdiCall> first(calls.begin(), calls.begin() + 16);
    const std::vector<GdiCall> expectedFirst = {
        // Sample 0: four empty segments on the side points.
        MoveCall(kDc, 600, 300), LineCall(kDc, 600, 300),
        MoveCall(kDc, 200, 300), LineCall(kDc, 200, 300),
        MoveCall(kDc, 600, 300), LineCall(kDc, 600, 300),
        MoveCall(kDc, 200, 300), LineCall(kDc, 200, 300),
        // Sample 1: the left and upper ends truncate away from the centre.
        MoveCall(kDc, 600, 300), LineCall(kDc, 600, 300),
        MoveCall(kDc, 199, 300), LineCall(kDc, 200, 300),
        MoveCall(kDc, 600, 299), LineCall(kDc, 600, 300),
        MoveCall(kDc, 199, 299), LineCall(kDc, 200, 300),
    };
    EXPECT_EQ(first, expectedFirst);
    const std::vector<GdiCall> last(calls.end() - 8, calls.end());
    const std::vector<GdiCall> expectedLast = {
        MoveCall(kDc, 400, 566), LineCall(kDc, 428, 564),
        MoveCall(kDc, 400, 566), LineCall(kDc, 372, 564),
        MoveCall(kDc, 400, 34), LineCall(kDc, 428, 36),
        MoveCall(kDc, 400, 34), LineCall(kDc, 372, 36),
    };
    EXPECT_EQ(last, expectedLast);
}

// Each segment runs from the newer sample back to the one before it, so
// every line ends where the same quarter's previous move started, up to the
// one-pixel difference of the two truncations.
TEST(Housing, SegmentsChainWithinAPixelInEveryQuarter)
{
    for (int side : {40, 300, 600, 1001}) {
        const std::vector<GdiCall> calls = Housing(side, side);
        for (size_t k = 8; k < calls.size(); k += 2) {
            const GdiCall& line = calls[k + 1];
            const GdiCall& olderMove = calls[k - 8];
            EXPECT_LE(std::abs(line.v[0] - olderMove.v[0]), 1) << side << " call " << k;
            EXPECT_LE(std::abs(line.v[1] - olderMove.v[1]), 1) << side << " call " << k;
        }
    }
}

struct ExtentCase {
    int width, height;
};
class HousingExtent : public testing::TestWithParam<ExtentCase> {};

// Top and bottom at R + e from the centre, the side points at R - e.
TEST_P(HousingExtent, ReachesItsTopBottomAndSides)
{
    const ExtentCase c = GetParam();
    const std::vector<GdiCall> calls = Housing(c.width, c.height);
    const int cx = c.width / 2, cy = c.height / 2;
    const int r = engineState.generatingRadius, e = engineState.eccentricity;
    ASSERT_EQ(calls.size(), 8u * (r + e + 1));
    EXPECT_EQ(calls[0], MoveCall(kDc, cx + (r - e), cy));
    EXPECT_EQ(calls[2], MoveCall(kDc, cx - (r - e), cy));
    EXPECT_EQ(calls[calls.size() - 8], MoveCall(kDc, cx, cy + (r + e)));
    EXPECT_EQ(calls[calls.size() - 2], MoveCall(kDc, cx, cy - (r + e)));
    for (const GdiCall& call : calls) {
        EXPECT_LE(std::abs(call.v[0] - cx), r) << call;
        EXPECT_LE(std::abs(call.v[1] - cy), r + e) << call;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, HousingExtent,
                         testing::Values(ExtentCase{800, 600}, ExtentCase{18, 40},
                                         ExtentCase{1000, 1000}, ExtentCase{3000, 2000},
                                         ExtentCase{16384, 16384}),
                         [](const testing::TestParamInfo<ExtentCase>& test) {
                             return "Client" + std::to_string(test.param.width) + "x" +
                                    std::to_string(test.param.height);
                         });

TEST(Housing, WithoutEccentricityIsACircle)
{
    const std::vector<GdiCall> calls = Housing(17, 40);  // R 6, e 0
    ASSERT_EQ(calls.size(), 8u * 7);
    for (const GdiCall& c : calls) {
        const double d = std::hypot(c.v[0] - 8, c.v[1] - 20);
        EXPECT_NEAR(d, 6.0, 1.0) << c;
    }
}

// R = 0: the single sample is 0/0. Nothing may be drawn and, under the
// sanitizers, nothing undefined may happen on the way.
TEST(Degenerate, NoRadiusDrawsNothingAndDoesNotFail)
{
    for (int side : {0, 1, 2, 3}) {
        EXPECT_TRUE(Housing(side, side).empty()) << side;
        EXPECT_EQ(Rotor(side, side, 7),
                  (std::vector<GdiCall>{EllipseCall(kDc, side / 2, side / 2, side / 2, side / 2),
                                        EllipseCall(kDc, side / 2, side / 2, side / 2, side / 2)}))
            << side;
    }
    ClearGdiLog();
    DrawRotor(kDc, NAN, 0.0, 10.0, 10.0, 40.0);
    DrawRotor(kDc, 1.0, 0.0, 1e300, -1e300, 40.0);
    EXPECT_TRUE(GdiLog().empty()) << "unplottable input must plot nothing";
}

struct RotorCase {
    int width, height, frame;
    int ring[4];
    int centre[4];
    int point[6][3];  // outline index, x, y
};
class RotorTest : public testing::TestWithParam<RotorCase> {};

TEST_P(RotorTest, GearBoxesAndOutlinePoints)
{
    const RotorCase& c = GetParam();
    const std::vector<GdiCall> calls = Rotor(c.width, c.height, c.frame);
    ASSERT_EQ(calls.size(), 2u + 91);
    EXPECT_EQ(calls[0], EllipseCall(kDc, c.ring[0], c.ring[1], c.ring[2], c.ring[3]));
    EXPECT_EQ(calls[1], EllipseCall(kDc, c.centre[0], c.centre[1], c.centre[2], c.centre[3]));
    const std::vector<GdiCall> outline = OutlineOf(calls);
    ASSERT_EQ(outline.size(), 91u);
    EXPECT_EQ(outline[0].op, GdiCall::kMoveTo);
    EXPECT_FALSE(outline[0].askedPrevious);
    for (size_t k = 1; k < outline.size(); ++k)
        ASSERT_EQ(outline[k].op, GdiCall::kLineTo) << k;
    for (const auto& p : c.point) {
        if (p[0] < 0)
            continue;
        EXPECT_EQ(outline[p[0]].v[0], p[1]) << "point " << p[0];
        EXPECT_EQ(outline[p[0]].v[1], p[2]) << "point " << p[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, RotorTest,
    testing::Values(
        RotorCase{800, 600, 0, {301, 168, 499, 366}, {334, 234, 466, 366},
                  {{0, 601, 383}, {15, 544, 183}, {30, 400, 33},
                   {45, 255, 183}, {60, 198, 382}, {90, 601, 383}}},
        // Frame 1: the top apex has moved right, clockwise.
        RotorCase{800, 600, 1, {311, 169, 509, 367}, {334, 234, 466, 366},
                  {{0, 598, 405}, {30, 434, 36}, {-1}, {-1}, {-1}, {-1}}},
        // Frame 60: a hundredth of a radian short of frame 0.
        RotorCase{800, 600, 60, {300, 168, 498, 366}, {334, 234, 466, 366},
                  {{30, 399, 33}, {-1}, {-1}, {-1}, {-1}, {-1}}},
        // At this size the outline stays open by two pixels.
        RotorCase{1000, 1000, 0, {335, 280, 665, 610}, {390, 390, 610, 610},
                  {{0, 836, 639}, {90, 834, 639}, {-1}, {-1}, {-1}, {-1}}}),
    [](const testing::TestParamInfo<RotorCase>& test) {
        return "Client" + std::to_string(test.param.width) + "x" + std::to_string(test.param.height) +
               "Frame" + std::to_string(test.param.frame);
    });

// Without eccentricity the rotor is a circle of radius R about the centre
// and both gears shrink to an empty box there.
TEST(Rotor, WithoutEccentricityIsACircle)
{
    const std::vector<GdiCall> calls = Rotor(17, 40, 9);  // R 6, e 0
    ASSERT_EQ(calls.size(), 2u + 91);
    EXPECT_EQ(calls[0], EllipseCall(kDc, 8, 20, 8, 20));
    EXPECT_EQ(calls[1], EllipseCall(kDc, 8, 20, 8, 20));
    for (size_t k = 2; k < calls.size(); ++k)
        EXPECT_NEAR(std::hypot(calls[k].v[0] - 8, calls[k].v[1] - 20), 6.0, 1.5) << calls[k];
}

// Distance from p to the segment a-b.
double SegmentDistance(double px, double py, const GdiCall& a, const GdiCall& b)
{
    const double ax = a.v[0], ay = a.v[1], bx = b.v[0], by = b.v[1];
    const double lx = bx - ax, ly = by - ay;
    const double len2 = lx * lx + ly * ly;
    double t = len2 > 0 ? ((px - ax) * lx + (py - ay) * ly) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * lx), py - (ay + t * ly));
}

// The three apexes (points 0, 30, 60) ride on the housing in every frame,
// and every other outline point stays inside it: catches a wrong turn
// direction, a wrong rotor angle or a misplaced rotor centre.
TEST(Rotor, ApexesRideOnTheHousingThroughTheWholeCycle)
{
    for (const ExtentCase size : {ExtentCase{800, 600}, ExtentCase{1000, 1000},
                                  ExtentCase{2000, 900}, ExtentCase{130, 130}}) {
        const std::vector<GdiCall> housing = Housing(size.width, size.height);
        const int cx = size.width / 2, cy = size.height / 2;
        const int r = engineState.generatingRadius, e = engineState.eccentricity;
        for (int frame = 0; frame <= 60; ++frame) {
            const std::vector<GdiCall> outline = OutlineOf(Rotor(size.width, size.height, frame));
            ASSERT_EQ(outline.size(), 91u);
            for (int apex : {0, 30, 60}) {
                double best = 1e9;
                for (size_t k = 0; k < housing.size(); k += 2)
                    best = std::min(best, SegmentDistance(outline[apex].v[0], outline[apex].v[1],
                                                          housing[k], housing[k + 1]));
                EXPECT_LE(best, 2.5) << size.width << "x" << size.height << " frame " << frame
                                     << " apex " << apex << " at " << outline[apex];
            }
            for (const GdiCall& p : outline) {
                // Inside the housing's bounding box, and the flanks within R.
                EXPECT_LE(std::abs(p.v[0] - cx), r + 1) << frame << " " << p;
                EXPECT_LE(std::abs(p.v[1] - cy), r + e + 1) << frame << " " << p;
            }
        }
    }
}

// Point 15 of frame 0 is the middle of a flank: it bows in to about
// R - 2a from the rotor centre.
TEST(Rotor, FlanksBowInTowardsTheRotorCentre)
{
    const std::vector<GdiCall> outline = OutlineOf(Rotor(800, 600, 0));
    const double rotorX = 400, rotorY = 267;
    for (int middle : {15, 45, 75})
        EXPECT_NEAR(std::hypot(outline[middle].v[0] - rotorX, outline[middle].v[1] - rotorY),
                    233 - 2 * 33, 2.0)
            << "point " << middle;
}

}  // namespace
