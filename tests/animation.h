// The program's animation as the tests hold it to, named once here: one
// frame every 100 ms, and 61 frames to a cycle. Deliberately not taken from
// the program's own constants, which are what these numbers check.
#pragma once

constexpr int kFramesPerCycle = 61;
constexpr unsigned kTimerPeriodMs = 100;
