// Time to prepare and build an import of n walls and n openings per storey
// (two storeys, a row of rooms, some walls lying twice and some openings
// overlapping, as exported files have them) against a host that does nothing.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/host/AutomationObject.h"
#include "common/host/Binding.h"
#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "tests/support/FakePlatform.h"
#include "importer/building/BuildingPass.h"
#include "importer/model/ImportModel.h"
#include "importer/preparation/Preparation.h"
#include "hostsim/HostSession.h"

namespace {

using Common::Vector2d;

class IdleHost : public Common::AutomationObject {
public:
    void invoke(int, Common::Arguments&, Common::Variant& result) override { result = Common::Variant::i4(0); }
    void putProperty(int, const Common::Variant&) override {}
};

// Building with the host window minimised, as the benchmark has no screen.
std::unique_ptr<TestSupport::FakePlatform> quietPlatform()
{
    auto platform = std::make_unique<TestSupport::FakePlatform>();
    platform->minimized = true;
    return platform;
}

std::unique_ptr<Importer::ImportModel> plan(int n)
{
    auto m = std::make_unique<Importer::ImportModel>();
    m->gridSpacing = Vector2d(910, 910);
    m->levelByStorey = {{1, 500.0f}, {2, 3400.0f}};
    const int rooms = std::max(1, n / 40);
    for (int storey = 1; storey <= 2; ++storey) {
        for (int r = 0; r < rooms; ++r) {
            auto room = std::make_unique<Importer::ImportRoom>();
            room->storey = storey;
            room->kindCode = r % 20;
            const double x = r * 3640.0;
            room->outline = {Vector2d(x, 0), Vector2d(x + 3640, 0), Vector2d(x + 3640, 2730), Vector2d(x, 2730)};
            m->rooms.push_back(std::move(room));
        }
        // Walls on a grid of short stretches; every tenth one lies twice.
        for (int i = 0; i < n; ++i) {
            auto w = std::make_unique<Importer::ImportWall>();
            w->storey = storey;
            w->kindCode = i % 7 == 0 ? 3 : 1;
            w->thickness = i % 5 == 0 ? 150.0f : 120.0f;
            w->topHeight = 1200;
            const double row = (i / 200) * 2730.0;
            const double x = (i % 200) * 910.0;
            w->start = Vector2d(x, row);
            w->end = Vector2d(x + (i % 10 == 0 ? 1820.0 : 910.0), row);
            m->walls.push_back(std::move(w));
        }
        for (int i = 0; i < n; ++i) {
            auto o = std::make_unique<Importer::ImportOpening>();
            o->storey = storey;
            o->kindCode = 1 + i % 5;
            o->headHeight = 2000;
            o->height = 1000 + (i % 3) * 100;
            const double row = (i / 200) * 2730.0;
            const double x = (i % 200) * 910.0 + 100;
            o->start = Vector2d(x, row);
            o->end = Vector2d(x + (i % 8 == 0 ? 1200.0 : 700.0), row);
            m->openings.push_back(std::move(o));
        }
    }
    return m;
}

// Preparation, placement and the building pass of the model into the host.
void importInto(Importer::ImportModel& m, Common::HostApplication& application, Common::HostDocument& document,
                TestSupport::FakePlatform& platform, int openingExtendType)
{
    Importer::prepareImport(m, document, L"/nonexistent/CDX2DM.ini", openingExtendType, platform);
    Importer::flipToFirstQuadrant(m);
    Importer::moveOrigin(m, Importer::OriginPlacement::LowerLeftNearOrigin);
    Importer::runBuildingPass({.model = m,
                               .application = application,
                               .document = document,
                               .platform = platform,
                               .programDirectory = L"/opt/cdx2dm/",
                               .openings = Importer::OpeningMode::TemporaryFrames,
                               .fittingTablePath = L"",
                               .roofs = Importer::RoofMode::ManualFaces,
                               .barrierFreeGrade = 3});
}

// Preparation, placement and the building pass of the plan Make(n), with
// the given opening pull-back setting.
template <auto Make>
void wholeImport(benchmark::State& state, int openingExtendType)
{
    const int n = static_cast<int>(state.range(0));
    const auto platform = quietPlatform();
    Common::HostApplication application(std::make_shared<IdleHost>());
    Common::HostDocument document(std::make_shared<IdleHost>());
    for (auto _ : state) {
        state.PauseTiming();
        auto m = Make(n);
        state.ResumeTiming();
        importInto(*m, application, document, *platform, openingExtendType);
        benchmark::DoNotOptimize(m->walls.size());
    }
}

void BM_ImportPerStorey(benchmark::State& state)
{
    wholeImport<plan>(state, 1);
    state.SetLabel(std::to_string(state.range(0)) + " walls and openings per storey");
}

void BM_PrepareOnly(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto platform = quietPlatform();
    Common::HostDocument document(std::make_shared<IdleHost>());
    for (auto _ : state) {
        state.PauseTiming();
        auto m = plan(n);
        state.ResumeTiming();
        Importer::prepareImport(*m, document, L"/nonexistent/CDX2DM.ini", 1, *platform);
        benchmark::DoNotOptimize(m->walls.size());
    }
}

// n walls lying on one line, each overlapping its neighbours for most of
// its length (a file that lists every wall of a long facade many times).
std::unique_ptr<Importer::ImportModel> collinearWalls(int n)
{
    auto m = std::make_unique<Importer::ImportModel>();
    m->levelByStorey = {{1, 0.0f}, {2, 2900.0f}};
    for (int i = 0; i < n; ++i) {
        auto w = std::make_unique<Importer::ImportWall>();
        w->storey = 1;
        w->kindCode = 1;
        w->thickness = static_cast<float>(100 + i % 5 * 10);
        w->topHeight = 2400;
        const double x = i * 5.0;
        w->start = Vector2d(x, 0);
        w->end = Vector2d(x + 3000 + (i % 7) * 100, 0);
        m->walls.push_back(std::move(w));
    }
    return m;
}

// One wall on each of n storeys, with a roof face on each.
std::unique_ptr<Importer::ImportModel> manyStoreys(int n)
{
    auto m = std::make_unique<Importer::ImportModel>();
    for (int storey = 1; storey <= n; ++storey) {
        m->levelByStorey[storey] = static_cast<float>(storey * 2900);
        auto w = std::make_unique<Importer::ImportWall>();
        w->storey = storey;
        w->kindCode = 1;
        w->thickness = 120;
        w->topHeight = 2400;
        w->start = Vector2d(0, 0);
        w->end = Vector2d(3640, 0);
        m->walls.push_back(std::move(w));
        auto roof = std::make_unique<Importer::ImportRoof>();
        roof->storey = storey;
        roof->baseLineStart = Vector2d(0, 0);
        roof->baseLineEnd = Vector2d(3640, 0);
        roof->outline = {Vector2d(0, 0), Vector2d(3640, 0), Vector2d(3640, 1820), Vector2d(0, 1820)};
        m->roofs.push_back(std::move(roof));
    }
    return m;
}

// n storeys of four rooms each, a window on each room's front wall and a
// stair: every storey builds only its own few records out of the model's
// many.
std::unique_ptr<Importer::ImportModel> storeysOfRooms(int n)
{
    auto m = std::make_unique<Importer::ImportModel>();
    m->gridSpacing = Vector2d(910, 910);
    for (int storey = 1; storey <= n; ++storey) {
        m->levelByStorey[storey] = static_cast<float>(storey * 2900);
        for (int r = 0; r < 4; ++r) {
            const double x = r * 3640.0;
            auto room = std::make_unique<Importer::ImportRoom>();
            room->storey = storey;
            room->kindCode = 2 + r;
            room->floorHeight = storey * 2900.0;
            room->ceilingHeight = storey * 2900.0 + 2400.0;
            room->outline = {Vector2d(x, 0), Vector2d(x + 3640, 0), Vector2d(x + 3640, 2730), Vector2d(x, 2730)};
            m->rooms.push_back(std::move(room));
            auto o = std::make_unique<Importer::ImportOpening>();
            o->storey = storey;
            o->kindCode = 1;
            o->headHeight = storey * 2900.0 + 2000.0;
            o->height = 1100;
            o->start = Vector2d(x + 910, 0);
            o->end = Vector2d(x + 2730, 0);
            m->openings.push_back(std::move(o));
        }
        auto stair = std::make_unique<Importer::ImportStair>();
        stair->storey = storey;
        m->stairs.push_back(std::move(stair));
    }
    return m;
}

void BM_ImportCollinearWalls(benchmark::State& state) { wholeImport<collinearWalls>(state, 0); }
void BM_ImportStoreysOfRooms(benchmark::State& state) { wholeImport<storeysOfRooms>(state, 0); }
void BM_ImportManyStoreys(benchmark::State& state) { wholeImport<manyStoreys>(state, 0); }

// The same plan built into the simulated host, whose object walks (the roof
// clearing walks the whole plan once per storey) really visit its objects.
void BM_ImportManyStoreysSimulatedHost(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto platform = quietPlatform();
    const std::string planPath =
        (std::filesystem::temp_directory_path() / ("cedxm_bench_import_" + std::to_string(getpid()) + ".json")).string();
    for (auto _ : state) {
        state.PauseTiming();
        auto m = manyStoreys(n);
        std::filesystem::remove(planPath);
        const auto session = HostSim::HostSession::open(planPath, true);
        Common::HostApplication application =
            Common::bindHostObject(session->runningObjectTable(), Common::kHostApplicationProgId, 0);
        Common::HostDocument document =
            Common::bindHostObject(session->runningObjectTable(), Common::kHostDocumentProgId, 0);
        state.ResumeTiming();
        importInto(*m, application, document, *platform, 0);
        benchmark::DoNotOptimize(m->walls.size());
    }
}

}  // namespace

BENCHMARK(BM_ImportCollinearWalls)->Arg(400)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportManyStoreys)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportStoreysOfRooms)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportManyStoreysSimulatedHost)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPerStorey)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareOnly)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
