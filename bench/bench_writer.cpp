// Writes a model of 100,000 records (rooms, walls, exterior lines, openings,
// stairs and roofs) as a CEDXM file and reports the throughput. The counter
// "rss_growth_kB" is how much the peak resident memory grew while writing,
// after the model was built: the writer streams, holding at most two rounds
// of record chunks of a long list, so it stays small whatever the model's
// size.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

#include "exporter/model/ExportModel.h"
#include "exporter/writer/SectionWriters.h"

namespace {

using Common::Vector2d;
using Common::Vector3d;

std::vector<Vector2d> square(double x, double y, double size)
{
    return {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
}

std::unique_ptr<Exporter::ExportModel> makeModel(int records)
{
    auto m = std::make_unique<Exporter::ExportModel>();
    m->gridQuadrant = L"1";
    m->gridSpacing = Vector2d(910, 910);
    m->cadVersion = L"Ver.8.10";
    m->referenceFloorLevelByStorey = {{1, 500.f}, {2, 3400.f}};
    m->structuralLevelByStorey = m->referenceFloorLevelByStorey;
    for (int i = 0; i < records; ++i) {
        const double x = (i % 100) * 910.0;
        const double y = (i / 100) * 910.0;
        switch (i % 6) {
        case 0: {
            auto r = std::make_unique<Exporter::ExportRoom>();
            r->storey = 1;
            r->name = L"洋室" + std::to_wstring(i);
            r->kindCode = 3;
            r->floorHeight = 500;
            r->ceilingHeight = 2900;
            r->outline = square(x, y, 910);
            m->rooms.push_back(std::move(r));
            break;
        }
        case 1: {
            auto w = std::make_unique<Exporter::ExportWall>();
            w->storey = 1;
            w->kindCode = 1;
            w->start = Vector2d(x, y);
            w->end = Vector2d(x + 910, y);
            w->thickness = 120;
            w->bottomHeight = 500;
            w->topHeight = 2900;
            m->walls.push_back(std::move(w));
            break;
        }
        case 2: {
            auto l = std::make_unique<Exporter::ExportOuterLine>();
            l->storey = 1;
            l->points = square(x, y, 1820);
            m->outerLines.push_back(std::move(l));
            break;
        }
        case 3: {
            auto o = std::make_unique<Exporter::ExportOpening>();
            o->storey = 1;
            o->kindCode = 1;
            o->modelNumber = L"W-1690";
            o->headHeight = 2500;
            o->width = 1690;
            o->height = 1100;
            o->start = Vector2d(x, y);
            o->end = Vector2d(x + 1690, y);
            o->region3D = {{x, y, 1400}, {x + 1690, y, 1400}, {x + 1690, y, 2500}, {x, y, 2500}};
            m->openings.push_back(std::move(o));
            break;
        }
        case 4: {
            auto s = std::make_unique<Exporter::ExportStair>();
            s->storey = 1;
            s->form = 1;
            s->turnAngles = {0, 0};
            s->stepCounts = {6, 6};
            s->blockOutlines = {square(x, y, 910), square(x, y + 910, 910)};
            m->stairs.push_back(std::move(s));
            break;
        }
        default: {
            auto r = std::make_unique<Exporter::ExportRoof>();
            r->storey = 2;
            r->baseLineStart = Vector2d(x, y);
            r->baseLineEnd = Vector2d(x + 1820, y);
            r->baseHeight = 6300;
            r->pitch = 4.5;
            r->finishThickness = 30;
            r->outline = square(x, y, 1820);
            r->edgeOffsets = {455.f, 455.f, 455.f, 455.f};
            m->roofs.push_back(std::move(r));
            break;
        }
        }
    }
    return m;
}

long peakRssKb()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_WriteCedxm(benchmark::State& state)
{
    const auto model = makeModel(static_cast<int>(state.range(0)));
    const std::string path =
        (std::filesystem::temp_directory_path() / ("bench_writer_" + std::to_string(::getpid()) + ".xml")).string();
    const long before = peakRssKb();
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        std::string error;
        if (!Exporter::writeCedxmDocument(*model, path, L"bench", true, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        bytes = std::filesystem::file_size(path);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * static_cast<std::int64_t>(state.iterations()));
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["rss_growth_kB"] = static_cast<double>(peakRssKb() - before);
    std::filesystem::remove(path);
}

BENCHMARK(BM_WriteCedxm)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
