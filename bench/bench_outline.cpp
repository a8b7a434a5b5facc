// Room-edge wall lines and exterior outlines of synthetic storeys of growing
// size: a grid of rectangular rooms of mixed module widths (so that many
// vertices lie at distinct heights in the working frame), a gap every few
// rooms, and a window opening on every fourth room.
//
// Besides the Google Benchmark timings, a table gives for each size the time
// of one full storey (both computations, as the exporter does per storey) and
// the peak resident memory, each size measured in a process of its own.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "exporter/geometry/OutlineAlgorithms.h"

namespace {

using Common::Segment;
using Common::Vector2d;
using Exporter::StoreyOutlineSet;

StoreyOutlineSet syntheticStorey(int rooms)
{
    static const double modules[] = {910.0, 1365.0, 1820.0, 2275.0, 2730.0, 3185.0, 3640.0, 2047.5};
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(rooms))));
    std::vector<double> xs{0.0};
    for (int i = 0; i < columns; ++i) {
        xs.push_back(xs.back() + modules[(i * 5 + 3) % 8]);
    }
    StoreyOutlineSet set;
    int made = 0;
    double y0 = 0.0;
    for (int j = 0; made < rooms; ++j) {
        const double y1 = y0 + modules[(j * 3 + 1) % 8];
        for (int i = 0; i < columns && made < rooms; ++i) {
            // Leave a courtyard now and then, but never in the first row.
            if (j > 0 && (i * 7 + j * 13) % 29 == 0) {
                continue;
            }
            const double x0 = xs[static_cast<std::size_t>(i)];
            const double x1 = xs[static_cast<std::size_t>(i) + 1];
            set.outlines.push_back({Vector2d(x0, y0), Vector2d(x0, y1), Vector2d(x1, y1), Vector2d(x1, y0)});
            if (made % 4 == 0) {
                const double middle = (x0 + x1) / 2;
                set.openingSegments.push_back(Segment{Vector2d(middle - 400, y0), Vector2d(middle + 400, y0)});
            }
            ++made;
        }
        y0 = y1;
    }
    return set;
}

void BM_RoomEdgeWallLines(benchmark::State& state)
{
    const StoreyOutlineSet set = syntheticStorey(static_cast<int>(state.range(0)));
    std::size_t count = 0;
    for (auto _ : state) {
        const auto walls = Exporter::roomEdgeWallLines(set);
        count = walls.size();
        benchmark::DoNotOptimize(walls.data());
    }
    state.counters["walls"] = static_cast<double>(count);
}

void BM_ExteriorOutlines(benchmark::State& state)
{
    const StoreyOutlineSet set = syntheticStorey(static_cast<int>(state.range(0)));
    std::size_t count = 0;
    for (auto _ : state) {
        const auto outlines = Exporter::exteriorOutlines(set);
        count = outlines.size();
        benchmark::DoNotOptimize(outlines.data());
    }
    state.counters["outlines"] = static_cast<double>(count);
}

BENCHMARK(BM_RoomEdgeWallLines)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExteriorOutlines)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Storeys that the grid above does not make: one round room drawn with n
// points, n copies of one room on top of each other, n rooms in one row
// (their fronts and backs on two long lines).
StoreyOutlineSet roundRoom(int n)
{
    StoreyOutlineSet set;
    std::vector<Vector2d> outline;
    for (int i = 0; i < n; ++i) {
        const double a = -2 * M_PI * i / n;
        outline.push_back(Vector2d(5000 * std::cos(a), 5000 * std::sin(a)));
    }
    set.outlines.push_back(std::move(outline));
    return set;
}

StoreyOutlineSet stackedRooms(int n)
{
    StoreyOutlineSet set;
    for (int i = 0; i < n; ++i) {
        set.outlines.push_back({Vector2d(0, 0), Vector2d(0, 2730), Vector2d(3640, 2730), Vector2d(3640, 0)});
    }
    return set;
}

StoreyOutlineSet roomsInARow(int n)
{
    StoreyOutlineSet set;
    for (int i = 0; i < n; ++i) {
        const double x = i * 910.0;
        set.outlines.push_back({Vector2d(x, 0), Vector2d(x, 2730), Vector2d(x + 910, 2730), Vector2d(x + 910, 0)});
    }
    return set;
}

// Both computations of one storey, as the exporter does them.
template <StoreyOutlineSet (*Make)(int)>
void bothComputations(benchmark::State& state)
{
    const StoreyOutlineSet set = Make(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto lines = Exporter::storeyLines(set, false);
        benchmark::DoNotOptimize(lines.roomEdgeWalls.data());
        benchmark::DoNotOptimize(lines.exteriorOutlines.data());
    }
}

void BM_RoundRoom(benchmark::State& state) { bothComputations<roundRoom>(state); }
void BM_StackedRooms(benchmark::State& state) { bothComputations<stackedRooms>(state); }
void BM_RoomsInARow(benchmark::State& state) { bothComputations<roomsInARow>(state); }

BENCHMARK(BM_RoundRoom)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StackedRooms)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoomsInARow)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One storey of the given size in a child process, so that its peak memory
// is its own.
void measureInChild(int rooms)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        const StoreyOutlineSet set = syntheticStorey(rooms);
        const long before = peakKilobytes();
        const auto start = std::chrono::steady_clock::now();
        const auto lines = Exporter::storeyLines(set, false);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        std::printf("%6d rooms  %7zu opening segments  %7zu walls  %4zu outlines  %10.1f ms  peak %8ld KiB (%ld KiB before)\n",
                    static_cast<int>(set.outlines.size()), set.openingSegments.size(), lines.roomEdgeWalls.size(),
                    lines.exteriorOutlines.size(),
                    took.count(), peakKilobytes(), before);
        std::fflush(stdout);
        _exit(0);
    }
    if (child > 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::printf("One storey, both computations, each size in its own process:\n");
    for (const int rooms : {10, 100, 1000, 5000, 20000}) {
        measureInChild(rooms);
    }
    std::printf("\n");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
