// What one frame of the figure costs (housing, frame step, gears and
// rotor into a device context that draws nothing), beside a floor: the
// same count of the same libm calls on the same arguments, alone.
#include "figure/engine.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

namespace {

HDC const kDc = reinterpret_cast<HDC>(std::uintptr_t{0x1});

void Layout(const benchmark::State& state)
{
    engineState = {};
    UpdateEngineLayout(RECT{0, 0, int(state.range(0)), int(state.range(1))});
}

void FigureFrame(benchmark::State& state)
{
    Layout(state);
    const int cx = engineState.clientWidth / 2;
    const int cy = engineState.clientHeight / 2;
    for (auto _ : state) {
        DrawHousing(kDc, cx, cy);
        AdvanceFrame();
        DrawRotor(kDc, engineState.eccentricity, CrankAngle(engineState.frameIndex), cx, cy,
                  engineState.generatingRadius);
    }
}

void LibmFloor(benchmark::State& state)
{
    Layout(state);
    const int e = engineState.eccentricity;
    const int n = e + engineState.generatingRadius;
    const double k1 = double(e) * 9.0 * e / engineState.generatingRadius /
                      engineState.generatingRadius;
    int frame = 0;
    for (auto _ : state) {
        double sink = 0;
        for (int i = 0; i <= n; ++i) {  // per housing sample
            const double theta = std::acos(double(i) / double(n));
            sink += std::cos(theta * 3.0) + std::cos(theta) + std::sin(theta * 3.0) +
                    std::sin(theta);
        }
        frame = frame > 59 ? 0 : frame + 1;
        const double b = CrankAngle(frame);
        const double phi = b * -2.0 / 3.0;
        sink += std::cos(b) + std::sin(b) + std::cos(phi) + std::sin(phi);
        double flank = 0.5233333333333333;
        do {  // per rotor point
            const double s3 = std::sin(3.0 * flank);
            sink += std::sqrt(1.0 - k1 * s3 * s3) + std::cos(3.0 * flank) +
                    std::sin(6.0 * flank) + std::cos(2.0 * flank) + std::sin(2.0 * flank);
            flank += 0.03488888888888889;
        } while (flank <= 3.6633333333333336);
        benchmark::DoNotOptimize(sink);
    }
}

BENCHMARK(FigureFrame)->Args({800, 600})->Args({3840, 2160});
BENCHMARK(LibmFloor)->Args({800, 600})->Args({3840, 2160});

}  // namespace

BENCHMARK_MAIN();
