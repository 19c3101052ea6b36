// The fake USER32/GDI32 behind the shell stand-in: one device context, one
// window, a message queue, and a log of everything the program asked for.
// What a real system would refuse, or the program must not do, fails the
// running test at the fake's check, with what it expected and what it got.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

struct Event {
    std::string what;  // the call: "BeginPaint", "CreatePen", "draw", ...
    std::uintptr_t a;  // its main argument (handle, colour, message...)
    COLORREF pen;      // for draws: colour of the pen selected in the dc
    int frame;         // engineState.frameIndex at the time
};

struct FakeWin32 {
    // Script: what the fake answers.
    RECT client = {0, 0, 800, 600};
    bool registerFails = false, createFails = false, timerFails = false, penFails = false;
    std::deque<MSG> queue;  // what GetMessageW hands out, after posts

    // Record.
    std::vector<Event> events;
    std::map<std::uintptr_t, COLORREF> livePens;  // created, not yet deleted
    std::set<std::uintptr_t> everDeleted;
    HGDIOBJ selectedPen = nullptr, selectedBrush = nullptr;
    WNDCLASSW registered = {};
    bool classRegistered = false;
    bool translated = false;  // the message GetMessageW last gave out
    std::vector<std::wstring> messageBoxes;  // text|caption|type|owner
    std::uintptr_t nextHandle = 0x1000;
    int getMessageOnEmptyQueue = 0;

    std::vector<std::string> Calls() const;  // events' names, in order
};

extern FakeWin32 fake;
void ResetFake();

// Queued, makes GetMessageW answer -1.
constexpr UINT kGetMessageFails = 0xFFFF;

HWND const kFakeWindow = reinterpret_cast<HWND>(std::uintptr_t{0x77});
HDC const kFakeDc = reinterpret_cast<HDC>(std::uintptr_t{0x88});
