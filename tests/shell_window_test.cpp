// The window procedure's message table and WinMain's start, loop and end,
// including the failures no real run can reach.
#include "shell/window.h"

#include "figure/engine.h"
#include "win32_stub/fake_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HINSTANCE const kInstance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});
constexpr int kShowCommand = 10;

class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetFake();
        fake.registered.lpfnWndProc = WndProc;
    }
    int Count(const std::string& call) const
    {
        int n = 0;
        for (const Event& e : fake.events)
            n += e.what == call;
        return n;
    }
};

TEST_F(WindowTest, CreateStartsTheTimerAndLaysOutWithoutPainting)
{
    fake.client = RECT{0, 0, 1000, 1000};
    EXPECT_EQ(WndProc(kFakeWindow, WM_CREATE, 0, 0), 0);
    EXPECT_EQ(fake.Calls(), (std::vector<std::string>{"SetTimer", "GetClientRect"}));
    EXPECT_EQ(fake.events[0].a, 100u);
    EXPECT_EQ(engineState.generatingRadius, 388);
    EXPECT_TRUE(fake.messageBoxes.empty());
}

TEST_F(WindowTest, TimerFailureWarnsOnceAndCarriesOn)
{
    fake.timerFails = true;
    EXPECT_EQ(WndProc(kFakeWindow, WM_CREATE, 0, 0), 0);
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0],
              std::wstring(L"\u30bf\u30a4\u30de\u30fc\u5931\u6557\uff01|\u5931\u6557|") +
                  std::to_wstring(MB_ICONWARNING) + L"|" +
                  std::to_wstring(reinterpret_cast<std::uintptr_t>(kFakeWindow)));
    EXPECT_EQ(engineState.generatingRadius, 233) << "layout still computed";
}

// Sizes come from the client rectangle, not from lParam.
TEST_F(WindowTest, SizeRelaysOutFromTheClientAreaAndInvalidates)
{
    fake.client = RECT{0, 0, 18, 40};
    EXPECT_EQ(WndProc(kFakeWindow, WM_SIZE, 0, (600 << 16) | 800), 0);
    EXPECT_EQ(fake.Calls(), (std::vector<std::string>{"GetClientRect", "InvalidateRect"}));
    EXPECT_EQ(engineState.generatingRadius, 7);
    EXPECT_EQ(engineState.eccentricity, 1);

    fake.client = RECT{0, 0, 0, 0};  // minimised
    WndProc(kFakeWindow, WM_SIZE, 1, 0);
    EXPECT_EQ(engineState.generatingRadius, 0);
    EXPECT_EQ(engineState.eccentricity, 0);
}

TEST_F(WindowTest, TimerOnlyInvalidatesWhateverItsId)
{
    for (WPARAM id : {WPARAM(100), WPARAM(7)}) {
        fake.events.clear();
        EXPECT_EQ(WndProc(kFakeWindow, WM_TIMER, id, 0), 0);
        EXPECT_EQ(fake.Calls(), (std::vector<std::string>{"InvalidateRect"}));
    }
    EXPECT_EQ(engineState.frameIndex, 0) << "the frame advances only when painting";
}

TEST_F(WindowTest, CloseKillsTheTimerBeforeDestroyingAndQuitsWithZero)
{
    EXPECT_EQ(WndProc(kFakeWindow, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(fake.Calls(),
              (std::vector<std::string>{"KillTimer", "DestroyWindow", "PostQuitMessage"}));
    EXPECT_EQ(fake.events[0].a, 100u);
    ASSERT_EQ(fake.queue.size(), 1u);
    EXPECT_EQ(fake.queue[0].message, UINT(WM_QUIT));
    EXPECT_EQ(fake.queue[0].wParam, 0u);
}

TEST_F(WindowTest, PaintPaintsAndOtherMessagesGoToTheDefault)
{
    EXPECT_EQ(WndProc(kFakeWindow, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(engineState.frameIndex, 1);
    for (UINT message : {UINT(WM_ERASEBKGND), UINT(WM_MOUSEMOVE)}) {
        fake.events.clear();
        const LRESULT expected = DefWindowProcW(kFakeWindow, message, 3, 4);
        fake.events.clear();
        EXPECT_EQ(WndProc(kFakeWindow, message, 3, 4), expected);
        EXPECT_EQ(fake.Calls(), (std::vector<std::string>{"DefWindowProcW"}));
    }
}

TEST_F(WindowTest, WinMainRegistersShowsPaintsRunsAndExitsWithZero)
{
    fake.registered = {};
    fake.queue = {MSG{kFakeWindow, WM_TIMER, 100, 0}, MSG{kFakeWindow, WM_PAINT, 0, 0},
                  MSG{kFakeWindow, WM_CLOSE, 0, 0}};
    char commandLine[] = "ignored arguments";
    EXPECT_EQ(WinMain(kInstance, nullptr, commandLine, kShowCommand), 0);

    const WNDCLASSW& c = fake.registered;
    EXPECT_EQ(c.style, CS_HREDRAW | CS_VREDRAW);
    EXPECT_EQ(c.lpfnWndProc, &WndProc);
    EXPECT_EQ(c.cbClsExtra, 0);
    EXPECT_EQ(c.cbWndExtra, 0);
    EXPECT_EQ(c.hInstance, kInstance);
    EXPECT_EQ(c.hIcon, nullptr);
    EXPECT_NE(c.hCursor, nullptr);
    EXPECT_EQ(c.hbrBackground, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(c.lpszMenuName, nullptr);
    EXPECT_EQ(std::wstring(c.lpszClassName), L"rotary");
    EXPECT_EQ(fake.events[0].what, "LoadCursorW");
    EXPECT_EQ(fake.events[0].a, 32512u) << "the arrow cursor";

    // Shown with the caller's show command, painted at once (frame 1), then
    // one more paint from the queue; the loop ends on the quit message.
    int shownAt = -1;
    for (size_t k = 0; k < fake.events.size(); ++k)
        if (fake.events[k].what == "ShowWindow") {
            EXPECT_EQ(fake.events[k].a, std::uintptr_t(kShowCommand));
            shownAt = int(k);
        }
    ASSERT_GE(shownAt, 0);
    EXPECT_EQ(fake.events[shownAt + 1].what, "UpdateWindow");
    EXPECT_EQ(fake.events[shownAt + 2].what, "BeginPaint");
    EXPECT_EQ(engineState.frameIndex, 2);
    EXPECT_EQ(Count("GetMessageW"), 4);
    EXPECT_EQ(fake.getMessageOnEmptyQueue, 0);
}

// An error from GetMessageW ends the program with a failure code instead
// of asking again for ever or reporting success.
TEST_F(WindowTest, WinMainStopsOnAMessageLoopError)
{
    fake.registered = {};
    fake.queue = {MSG{kFakeWindow, WM_TIMER, 100, 0}, MSG{nullptr, kGetMessageFails, 0, 0}};
    char commandLine[] = "";
    EXPECT_EQ(WinMain(kInstance, nullptr, commandLine, kShowCommand), 1);
    EXPECT_EQ(Count("GetMessageW"), 2);
}

TEST_F(WindowTest, WinMainSkipsRegistrationForASecondInstance)
{
    fake.classRegistered = true;
    fake.queue = {MSG{kFakeWindow, WM_CLOSE, 0, 0}};
    fake.registered.hInstance = kInstance;
    char commandLine[] = "";
    const HINSTANCE previous = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x1});
    EXPECT_EQ(WinMain(kInstance, previous, commandLine, kShowCommand), 0);
    EXPECT_EQ(Count("RegisterClassW"), 0);
    EXPECT_EQ(Count("CreateWindowExW"), 1);
}

// Neither failure may show anything or wait for a quit message that no
// window will ever post.
TEST_F(WindowTest, WinMainReturnsZeroAtOnceWhenStartingFails)
{
    for (const bool registration : {true, false}) {
        SCOPED_TRACE(registration ? "registration fails" : "window creation fails");
        SetUp();
        fake.registered = {};
        (registration ? fake.registerFails : fake.createFails) = true;
        char commandLine[] = "";
        EXPECT_EQ(WinMain(kInstance, nullptr, commandLine, kShowCommand), 0);
        EXPECT_EQ(Count("CreateWindowExW"), registration ? 0 : 1);
        EXPECT_EQ(Count("ShowWindow"), 0);
        EXPECT_EQ(Count("GetMessageW"), 0);
    }
}

}  // namespace
