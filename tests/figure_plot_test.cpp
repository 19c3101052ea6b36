// The housing and rotor plotted through the logging stand-in, call for call.
#include "figure/engine.h"
#include "gdi_stub/gdi_log.h"
#include "tests/animation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

HDC const kDc = reinterpret_cast<HDC>(std::uintptr_t{0x1234});

struct Client {
    int width, height;
};

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
    // Segments (from, to): sample 0's four empty ones on the side points;
    // sample 1's, whose left and upper ends truncate away from the centre;
    // and the last sample's.
    const int first[8][4] = {{600, 300, 600, 300}, {200, 300, 200, 300}, {600, 300, 600, 300},
                             {200, 300, 200, 300}, {600, 300, 600, 300}, {199, 300, 200, 300},
                             {600, 299, 600, 300}, {199, 299, 200, 300}};
    const int last[4][4] = {
        {400, 566, 428, 564}, {400, 566, 372, 564}, {400, 34, 428, 36}, {400, 34, 372, 36}};
    for (size_t k = 0; k < 12; ++k) {
        const int* s = k < 8 ? first[k] : last[k - 8];
        const size_t at = k < 8 ? 2 * k : calls.size() - 8 + 2 * (k - 8);
        EXPECT_EQ(calls[at], MoveCall(kDc, s[0], s[1])) << "call " << at;
        EXPECT_EQ(calls[at + 1], LineCall(kDc, s[2], s[3])) << "call " << at + 1;
    }
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

// Top and bottom at R + e from the centre, the side points at R - e.
TEST(Housing, ReachesItsTopBottomAndSides)
{
    for (const Client size : {Client{800, 600}, Client{18, 40}, Client{1000, 1000},
                              Client{3000, 2000}, Client{16384, 16384}}) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        const std::vector<GdiCall> calls = Housing(size.width, size.height);
        const int cx = size.width / 2, cy = size.height / 2;
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
}

// Without eccentricity (R 6, e 0) the housing and the rotor are circles of
// radius R about the centre, and both gears shrink to an empty box there.
TEST(Figure, WithoutEccentricityHousingAndRotorAreCircles)
{
    const std::vector<GdiCall> housing = Housing(17, 40);
    ASSERT_EQ(housing.size(), 8u * 7);
    for (const GdiCall& c : housing)
        EXPECT_NEAR(std::hypot(c.v[0] - 8, c.v[1] - 20), 6.0, 1.0) << c;
    const std::vector<GdiCall> rotor = Rotor(17, 40, 9);
    ASSERT_EQ(rotor.size(), 2u + 91);
    EXPECT_EQ(rotor[0], EllipseCall(kDc, 8, 20, 8, 20));
    EXPECT_EQ(rotor[1], EllipseCall(kDc, 8, 20, 8, 20));
    for (size_t k = 2; k < rotor.size(); ++k)
        EXPECT_NEAR(std::hypot(rotor[k].v[0] - 8, rotor[k].v[1] - 20), 6.0, 1.5) << rotor[k];
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

TEST(Rotor, GearBoxesAndOutlinePoints)
{
    const struct {
        int width, height, frame;
        int ring[4], centre[4];
        int point[6][3];  // outline index, x, y
    } cases[] = {
        {800, 600, 0, {301, 168, 499, 366}, {334, 234, 466, 366},
         {{0, 601, 383}, {15, 544, 183}, {30, 400, 33}, {45, 255, 183}, {60, 198, 382},
          {90, 601, 383}}},
        // Frame 1: the top apex has moved right, clockwise.
        {800, 600, 1, {311, 169, 509, 367}, {334, 234, 466, 366},
         {{0, 598, 405}, {30, 434, 36}, {-1}, {-1}, {-1}, {-1}}},
        // Frame 60: a hundredth of a radian short of frame 0.
        {800, 600, 60, {300, 168, 498, 366}, {334, 234, 466, 366},
         {{30, 399, 33}, {-1}, {-1}, {-1}, {-1}, {-1}}},
        // At this size the outline stays open by two pixels.
        {1000, 1000, 0, {335, 280, 665, 610}, {390, 390, 610, 610},
         {{0, 836, 639}, {90, 834, 639}, {-1}, {-1}, {-1}, {-1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " frame " << c.frame);
        const std::vector<GdiCall> calls = Rotor(c.width, c.height, c.frame);
        ASSERT_EQ(calls.size(), 2u + 91);
        EXPECT_EQ(calls[0], EllipseCall(kDc, c.ring[0], c.ring[1], c.ring[2], c.ring[3]));
        EXPECT_EQ(calls[1], EllipseCall(kDc, c.centre[0], c.centre[1], c.centre[2], c.centre[3]));
        const std::vector<GdiCall> outline = OutlineOf(calls);
        EXPECT_EQ(outline[0], MoveCall(kDc, outline[0].v[0], outline[0].v[1]));
        for (size_t k = 1; k < outline.size(); ++k)
            ASSERT_EQ(outline[k].op, GdiCall::kLineTo) << k;
        for (const auto& p : c.point) {
            if (p[0] < 0)
                continue;
            EXPECT_EQ(outline[p[0]], (p[0] ? LineCall : MoveCall)(kDc, p[1], p[2])) << p[0];
        }
    }
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
    for (const Client size :
         {Client{800, 600}, Client{1000, 1000}, Client{2000, 900}, Client{130, 130}}) {
        const std::vector<GdiCall> housing = Housing(size.width, size.height);
        const int cx = size.width / 2, cy = size.height / 2;
        const int r = engineState.generatingRadius, e = engineState.eccentricity;
        for (int frame = 0; frame < kFramesPerCycle; ++frame) {
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
