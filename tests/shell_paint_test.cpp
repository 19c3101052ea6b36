// One paint, seen through the fake GDI: the order of the sequence, the pens
// and brush, and that the dc is left as it was found with nothing leaked.
#include "shell/window.h"

#include "figure/engine.h"
#include "tests/animation.h"
#include "win32_stub/fake_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr COLORREF kGreen = 0x0000FF00;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kBlack = 0x00000000;

class PaintTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetFake();
        UpdateEngineLayout(RECT{0, 0, 800, 600});
    }
    void Paint()
    {
        const HGDIOBJ penBefore = fake.selectedPen;
        const HGDIOBJ brushBefore = fake.selectedBrush;
        PaintEngine(kFakeWindow);
        EXPECT_TRUE(fake.livePens.empty()) << fake.livePens.size() << " pen(s) left undeleted";
        EXPECT_EQ(fake.selectedPen, penBefore) << "the dc's own pen is not back";
        EXPECT_EQ(fake.selectedBrush, brushBefore) << "the dc's own brush is not back";
    }
    std::vector<const Event*> Draws() const
    {
        std::vector<const Event*> draws;
        for (const Event& e : fake.events)
            if (e.what == "draw")
                draws.push_back(&e);
        return draws;
    }
};

TEST_F(PaintTest, FollowsTheSequenceAndLeavesTheDcAsItWas)
{
    Paint();
    const std::vector<std::string> expected = {
        "BeginPaint",
        "CreatePen", "SelectObject", "GetStockObject", "SelectObject",
        "draw",  // the housing
        "SelectObject", "DeleteObject",
        "CreatePen", "SelectObject",
        "draw",  // gears and rotor
        "SelectObject", "SelectObject", "DeleteObject",
        "EndPaint",
    };
    EXPECT_EQ(fake.Calls(), expected);
    EXPECT_EQ(fake.everDeleted.size(), 2u) << "two pens made and deleted per paint";
}

TEST_F(PaintTest, HousingInGreenBeforeTheFrameAdvancesRotorInRedAfter)
{
    engineState.frameIndex = 5;
    Paint();
    const std::vector<const Event*> draws = Draws();
    ASSERT_EQ(draws.size(), 8u * 267 + 2 + 91);
    for (size_t k = 0; k < draws.size(); ++k) {
        const bool housing = k < 8u * 267;
        ASSERT_EQ(draws[k]->pen, housing ? kGreen : kRed) << "draw " << k;
        ASSERT_EQ(draws[k]->frame, housing ? 5 : 6) << "draw " << k;
    }
    EXPECT_EQ(engineState.frameIndex, 6);
}

TEST_F(PaintTest, EveryPaintAdvancesOneFrame)
{
    for (int paints = 1; paints <= kFramesPerCycle; ++paints) {
        Paint();
        ASSERT_EQ(engineState.frameIndex, paints % kFramesPerCycle) << "after " << paints;
    }
}

// With R = 0 nothing but two empty ellipses is drawn, yet the paint keeps
// its whole discipline: the frame advances and both pens come and go.
TEST_F(PaintTest, TinyClientStillAdvancesAndCleansUp)
{
    for (const RECT tiny : {RECT{0, 0, 3, 3}, RECT{0, 0, 0, 0}}) {
        ResetFake();
        UpdateEngineLayout(tiny);
        Paint();
        EXPECT_EQ(engineState.frameIndex, 1);
        EXPECT_EQ(Draws().size(), 2u) << "only the two zero-size gear boxes";
        EXPECT_EQ(fake.everDeleted.size(), 2u);
    }
}

// Pens that cannot be made leave the whole figure to the dc's own (black)
// pen; nothing stock is deleted and the dc still gets its objects back.
TEST_F(PaintTest, FailedPensLeaveTheWholeFigureInTheDcsOwnPen)
{
    fake.penFails = true;
    Paint();
    EXPECT_EQ(engineState.frameIndex, 1);
    const std::vector<const Event*> draws = Draws();
    ASSERT_EQ(draws.size(), 8u * 267 + 2 + 91) << "the figure must still be drawn";
    for (size_t k = 0; k < draws.size(); ++k)
        ASSERT_EQ(draws[k]->pen, kBlack) << "draw " << k;
    EXPECT_TRUE(fake.everDeleted.empty());
}

}  // namespace
