// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Speed of the program's own work against a whole frame on the real renderer.
//
// Prints Google Benchmark's table, then the share of a frame spent on the
// mesh's numbers. The whole-frame rows need an X display (scripts/bench
// provides a virtual one); without one they report an error.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/shell.h"
#include "app/view_state.h"
#include "geometry/morph_mesh.h"
#include "geometry/surface.h"
#include "render/scene.h"

namespace morph {
namespace {

const char* const kFunctionNames[kSurfaceFunctionCount] = {"Plane",      "Wave",     "ProductWave",
                                                           "RippleDisc", "Cylinder", "Sphere"};

// The cheapest pair evaluates no trigonometry; the Sphere takes four sines
// and cosines per point, the most of the six, so the dearest pair is two of it.
constexpr int kCheapFirst = Plane;
constexpr int kCheapSecond = Plane;
constexpr int kDearFirst = Sphere;
constexpr int kDearSecond = Sphere;
constexpr float kWeight = 0.37F;  // any weight strictly inside (0, 1)

struct Pair {
    int first;
    int second;
};
constexpr Pair kPairs[] = {{kCheapFirst, kCheapSecond}, {kDearFirst, kDearSecond}};

std::string pairName(const Pair& pair) {
    return std::string(kFunctionNames[pair.first]) + "+" + kFunctionNames[pair.second];
}
std::string meshName(const Pair& pair) {
    return "mesh numbers/" + pairName(pair);
}
std::string frameName(const Pair& pair, bool swap) {
    return std::string(swap ? "frame with swap/" : "frame without swap/") + pairName(pair);
}

bool gHaveContext = false;

void evaluate(benchmark::State& state, int function) {
    double u = -1.0;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the benchmark loop idiom
        benchmark::DoNotOptimize(evaluateSurface(function, u, 0.3));
        u = u < 1.1 ? u + 0.001 : -1.0;  // sweep the parameter range
    }
}

void meshNumbers(benchmark::State& state, Pair pair) {
    const MorphBlend blend = MorphBlend::of(pair.first, pair.second, kWeight);
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the benchmark loop idiom
        double sink = 0.0;
        forEachMorphCell(blend, [&sink](double /*u*/, double /*v*/, const MeshCell& cell) {
            sink += cell.normal.x + cell.p11.y;
        });
        benchmark::DoNotOptimize(sink);
    }
    state.counters["cells/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kGridCellsPerSide * kGridCellsPerSide,
                           benchmark::Counter::kIsRate);
}

// drawFrame (or drawScene, which adds the swap) and glFinish, so that the
// renderer's worker threads have finished the frame when the clock stops.
void wholeFrame(benchmark::State& state, Pair pair, bool swap) {
    if (!gHaveContext) {
        state.SkipWithError("no X display: run under scripts/bench");
        return;
    }
    firstFunction = pair.first;
    secondFunction = pair.second;
    morphWeight = kWeight;
    for (int i = 0; i < 10; ++i) {  // let the driver build its state variants
        drawScene();
    }
    glFinish();
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the benchmark loop idiom
        if (swap) {
            drawScene();
        } else {
            drawFrame();
        }
        glFinish();
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void openContext(int* argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        return;
    }
    openWindowForOwnFrames(argc, argv);
    gHaveContext = true;
}

// The console table, plus the program's own share of a frame at the end.
class ShareReporter : public benchmark::ConsoleReporter {
public:
    ShareReporter() : ConsoleReporter(OO_Tabular) {}

    // Shows single runs, and only the median of repeated ones.
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                shown.push_back(run);
                if (!run.error_occurred) {
                    realTime_[run.run_name.function_name] = run.GetAdjustedRealTime();
                }
            }
        }
        ConsoleReporter::ReportRuns(shown);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const Pair& pair : kPairs) {
            for (const bool swap : {false, true}) {
                const auto mesh = realTime_.find(meshName(pair));
                const auto frame = realTime_.find(frameName(pair, swap));
                if (mesh != realTime_.end() && frame != realTime_.end()) {
                    std::printf(
                        "own share of a frame, %-11s %-18s %5.1f %%\n", pairName(pair).c_str(),
                        swap ? "(with swap):" : "(without swap):", 100.0 * mesh->second / frame->second);
                }
            }
        }
    }

private:
    std::map<std::string, double> realTime_;
};

}  // namespace
}  // namespace morph

int main(int argc, char** argv) {
    using namespace morph;
    benchmark::Initialize(&argc, argv);
    openContext(&argc, argv);
    for (int f = 0; f < kSurfaceFunctionCount; ++f) {
        benchmark::RegisterBenchmark((std::string("evaluateSurface/") + kFunctionNames[f]).c_str(), evaluate,
                                     f);
    }
    for (const Pair& pair : kPairs) {
        benchmark::RegisterBenchmark(meshName(pair).c_str(), meshNumbers, pair)
            ->Unit(benchmark::kMicrosecond);
    }
    // The renderer rasterises on worker threads: a frame costs wall-clock
    // time, which varies more from run to run than the mesh's numbers do.
    for (const bool swap : {false, true}) {
        for (const Pair& pair : kPairs) {
            benchmark::RegisterBenchmark(frameName(pair, swap).c_str(), wholeFrame, pair, swap)
                ->Unit(benchmark::kMicrosecond)
                ->UseRealTime()
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
    }
    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
